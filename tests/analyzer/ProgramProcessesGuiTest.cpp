#include "AnalyzerTestFolder.h"

#include "host/InstanceLock.h"

#include <QFile>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <fstream>

#include <filesystem>
#include <memory>
#include <vector>

#if defined(TRACEMOOR_PROGRAM) && defined(GATHERMOOR_PROGRAM) && defined(TRACEMOOR_VERSION)

namespace {

// Upper bounds only: under load a start may take long, and nothing waits for
// a bound to pass.
constexpr int StartMs = 60000;

enum class Display { None, Offscreen };

// The real programs as processes, with a runtime folder (the locks) of the
// test's own. Tracemoor runs as a copy in a folder of its own, so that no
// System.ini lies beside it, and every start names its config folder.
class ProgramProcesses : public testing::Test
{
protected:
    void SetUp() override
    {
        tracemoor = QString::fromStdString(folder.File("tracemoor"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(TRACEMOOR_PROGRAM), tracemoor));
        savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.Path().string()));
    }
    void TearDown() override
    {
        for (const auto &p : processes) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(StartMs);
            }
        }
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
    }

    QProcess &Start(const QString &program, const QStringList &arguments, Display display,
                    const std::string &config, bool demo = true, const QString &device = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        if (display == Display::Offscreen)
            env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.Path().string()));
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(folder.File(config)));
        // Under the sanitizers a leak report would change the exit code looked at.
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":detect_leaks=0");
        if (!device.isEmpty())
            env.insert("TRACEMOOR_DEVICE", device);
        else if (demo)
            env.insert("TRACEMOOR_DEVICE", "demo");
        else
            env.remove("TRACEMOOR_DEVICE");
        processes.push_back(std::make_unique<QProcess>());
        QProcess &p = *processes.back();
        p.setProcessEnvironment(env);
        p.start(program, arguments);
        EXPECT_TRUE(p.waitForStarted(StartMs));
        return p;
    }

    // The program holds its lock and listens for a second start.
    static bool Listening(std::string_view lock)
    {
        return InstanceLock::IsHeld(lock) &&
               QFile::exists(QString::fromStdString(InstanceLock::ChannelPath(lock)));
    }

    static void ExpectEndedWith(QProcess &p, int code)
    {
        ASSERT_TRUE(p.waitForFinished(StartMs));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), code);
    }

    bool ConfigWritten(const std::string &config) const
    {
        return std::filesystem::exists(folder.File(config));
    }

    AnalyzerTestFolder runtime;
    AnalyzerTestFolder folder;
    QByteArray savedRuntime;
    QString tracemoor;
    const QString gathermoor = QStringLiteral(GATHERMOOR_PROGRAM);
    std::vector<std::unique_ptr<QProcess>> processes;
};

// What the command line asks for is answered without a display (no window
// could open: the platform would fail) and without a configuration.
struct CommandLineCase
{
    const char *name;
    bool analyzer; // tracemoor, else gathermoor
    QStringList arguments;
    int code;
    const char *out;    // contained in standard output ("" = empty)
    const char *err;    // contained in standard error ("" = empty)
    bool exact = false; // `out` is all of standard output
};

void PrintTo(const CommandLineCase &c, std::ostream *os)
{
    *os << c.name;
}

class CommandLine : public ProgramProcesses, public testing::WithParamInterface<CommandLineCase>
{
};

TEST_P(CommandLine, IsAnsweredWithoutAWindow)
{
    const CommandLineCase &c = GetParam();
    QProcess &p = Start(c.analyzer ? tracemoor : gathermoor, c.arguments, Display::None, "config");
    ExpectEndedWith(p, c.code);
    const std::string out = p.readAllStandardOutput().toStdString();
    const std::string err = p.readAllStandardError().toStdString();
    if (c.exact || !*c.out)
        EXPECT_EQ(out, c.out);
    else
        EXPECT_NE(out.find(c.out), std::string::npos) << out;
    if (*c.err)
        EXPECT_NE(err.find(c.err), std::string::npos) << err;
    else
        EXPECT_EQ(err, "");
    EXPECT_FALSE(ConfigWritten("config"));
}

INSTANTIATE_TEST_SUITE_P(
    Programs, CommandLine,
    testing::Values(
        CommandLineCase{"TracemoorHelp", true, {"--help"}, 0, "Usage: tracemoor [options]\n", ""},
        CommandLineCase{"TracemoorHelpNamesAutoScale", true, {"-h"}, 0, "--auto-scale", ""},
        CommandLineCase{"TracemoorVersion",
                        true,
                        {"--version"},
                        0,
                        "Tracemoor " TRACEMOOR_VERSION "\n",
                        "",
                        true},
        CommandLineCase{
            "GathermoorHelp", false, {"--help"}, 0, "Usage: gathermoor [options]\n", ""},
        CommandLineCase{
            "GathermoorVersion", false, {"-v"}, 0, "Gathermoor " TRACEMOOR_VERSION "\n", "", true},
        CommandLineCase{"UnknownOption",
                        true,
                        {"--bogus"},
                        1,
                        "",
                        "tracemoor: Unknown option 'bogus'.\nUsage: tracemoor [options]\n"},
        CommandLineCase{"AutoScaleIsTracemoorsOnly",
                        false,
                        {"--auto-scale"},
                        1,
                        "",
                        "gathermoor: Unknown option 'auto-scale'.\nUsage: gathermoor"},
        // Qt's own options still reach Qt: -platform gives the display here.
        CommandLineCase{"QtOptionsGoToQt",
                        true,
                        {"-platform", "offscreen", "extra"},
                        1,
                        "",
                        "tracemoor: Unexpected argument 'extra'.\n"},
        CommandLineCase{"VersionBesideQtOptions",
                        false,
                        {"-platform", "offscreen", "--version"},
                        0,
                        "Gathermoor " TRACEMOOR_VERSION "\n",
                        "",
                        true}),
    [](const testing::TestParamInfo<CommandLineCase> &row) { return row.param.name; });

TEST_F(ProgramProcesses, ASecondAnalyzerHandsOverEndsWithCode1AndWritesNothing)
{
    QProcess &first = Start(tracemoor, {}, Display::Offscreen, "first");
    QTRY_VERIFY_WITH_TIMEOUT(Listening(InstanceLock::AnalyzerName), StartMs);

    // The second has a config folder of its own: had it gone on to build its
    // window, it would have written System.ini there (and, without the Demo
    // device, stopped at the model selection), whatever the first is doing.
    QProcess &second = Start(tracemoor, {}, Display::Offscreen, "second", false);
    ExpectEndedWith(second, 1);
    EXPECT_EQ(second.readAllStandardError().toStdString(),
              "Tracemoor is already running; its window was raised.\n");
    EXPECT_EQ(second.readAllStandardOutput().toStdString(), "");
    EXPECT_FALSE(ConfigWritten("second"));
    EXPECT_EQ(first.state(), QProcess::Running);

    // The first one killed: its lock goes with it and a new start runs.
    first.kill();
    ASSERT_TRUE(first.waitForFinished(StartMs));
    EXPECT_FALSE(InstanceLock::IsHeld(InstanceLock::AnalyzerName));
    QProcess &third = Start(tracemoor, {}, Display::Offscreen, "first");
    QTRY_VERIFY_WITH_TIMEOUT(Listening(InstanceLock::AnalyzerName), StartMs);
    EXPECT_EQ(third.state(), QProcess::Running);
}

TEST_F(ProgramProcesses, ASecondGathermoorHandsOverAndEndsWithCode1)
{
    QProcess &first = Start(gathermoor, {}, Display::Offscreen, "first");
    QTRY_VERIFY_WITH_TIMEOUT(Listening(InstanceLock::GathermoorName), StartMs);
    QProcess &second = Start(gathermoor, {}, Display::Offscreen, "second");
    ExpectEndedWith(second, 1);
    EXPECT_EQ(second.readAllStandardError().toStdString(),
              "Gathermoor is already running; its window was raised.\n");
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(ProgramProcesses, GathermoorRefusesToRunBesideTracemoorAndSaysWhy)
{
    Start(tracemoor, {}, Display::Offscreen, "analyzer");
    QTRY_VERIFY_WITH_TIMEOUT(Listening(InstanceLock::AnalyzerName), StartMs);
    QProcess &gather = Start(gathermoor, {}, Display::Offscreen, "gather");
    QByteArray err;
    QTRY_VERIFY_WITH_TIMEOUT((err += gather.readAllStandardError()).contains('\n'), StartMs);
    // The first line; the platform may add its own once the box is up.
    EXPECT_EQ(err.left(err.indexOf('\n')).toStdString(),
              "Gathermoor does not run while Tracemoor runs; end Tracemoor first.");
    // It took no lock of its own; its box waits for a person, so it is
    // ended here (the exit code is a test of the program entry).
    EXPECT_FALSE(InstanceLock::IsHeld(InstanceLock::GathermoorName));
}

TEST_F(ProgramProcesses, GathermoorWithoutAWindowCapturesOnceWithoutADisplay)
{
    const std::string param = folder.File("param.txt");
    const std::string data = folder.File("capture.bin");
    std::ofstream(param) << "[Setting]\nAutoRestart=No\n[Files]\nDataPath=" << data
                         << "\n[Property]\nSampleRate=1MHZ\nDelayTime=0US\nVolt1=0\n";
    const QStringList arguments{"--no-window", "--param", QString::fromStdString(param)};
    QProcess &gather =
        Start(gathermoor, arguments, Display::None, "windowless", false, "model=3,scene=counter");
    ExpectEndedWith(gather, 0);
    EXPECT_EQ(std::filesystem::file_size(data), 28u + 0x80000u);
    EXPECT_FALSE(InstanceLock::IsHeld(InstanceLock::GathermoorName));

    // Beside the analyzer it refuses as the window does, on standard error.
    Start(tracemoor, {}, Display::Offscreen, "analyzer");
    QTRY_VERIFY_WITH_TIMEOUT(Listening(InstanceLock::AnalyzerName), StartMs);
    QProcess &refused =
        Start(gathermoor, arguments, Display::None, "windowless", false, "model=3,scene=counter");
    ExpectEndedWith(refused, 1);
    EXPECT_EQ(refused.readAllStandardError().toStdString(),
              "gathermoor: Gathermoor does not run while Tracemoor runs; end Tracemoor first.\n");
}

} // namespace

#endif
