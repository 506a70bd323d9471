#include "AnalyzerGuiHelpers.h"
#include "AnalyzerTestFolder.h"

#include "analyzer/InstanceChannel.h"
#include "analyzer/InstanceLock.h"
#include "analyzer/ProgramEntry.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace {

// Every test has its own runtime folder, so a running analyzer is never seen.
class SingleInstance : public testing::Test
{
protected:
    void SetUp() override
    {
        savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.Path().string()));
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", savedRuntime); }

    AnalyzerTestFolder runtime;
    QByteArray savedRuntime;
};

TEST_F(SingleInstance, ASecondStartAsksTheFirstToRaiseAndEndsWith1)
{
    InstanceLock first("TestAnalyzer");
    ASSERT_EQ(first.TryAcquire(), InstanceLock::Result::Acquired);
    InstanceChannel channel;
    ASSERT_TRUE(channel.Listen(QString::fromStdString(InstanceLock::ChannelPath("TestAnalyzer"))));
    QSignalSpy raise(&channel, &InstanceChannel::RaiseRequested);

    int built = 0;
    const int code = ProgramEntry::Run(
        [&built] {
            ++built;
            return std::make_unique<QWidget>();
        },
        "TestAnalyzer");
    EXPECT_EQ(code, ProgramEntry::SecondInstanceExitCode);
    EXPECT_EQ(built, 0);
    EXPECT_TRUE(raise.count() == 1 || raise.wait(2000));
    EXPECT_TRUE(first.Held());
}

TEST_F(SingleInstance, AnErrorWhileBuildingTheWindowsIsShownAndReleasesTheLock)
{
    MessageRecorder messages;
    const int code = ProgramEntry::Run(
        []() -> std::unique_ptr<QWidget> {
            EXPECT_TRUE(InstanceLock::IsHeld("TestAnalyzer"));
            throw std::runtime_error("Cannot build the main window.");
        },
        "TestAnalyzer");
    EXPECT_EQ(code, ProgramEntry::ErrorExitCode);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].kind, AppMessage::Kind::Error);
    EXPECT_EQ(messages.messages[0].text, "Cannot build the main window.");
    EXPECT_FALSE(InstanceLock::IsHeld("TestAnalyzer"));
}

TEST_F(SingleInstance, AnErrorInTheEventLoopIsShownAndEndsTheProgram)
{
    MessageRecorder messages;
    const int code = ProgramEntry::Run(
        [] {
            auto window = std::make_unique<QWidget>();
            QTimer::singleShot(0, [] { ProgramEntry::Fail("Lost in a handler."); });
            return window;
        },
        "TestAnalyzer");
    EXPECT_EQ(code, ProgramEntry::ErrorExitCode);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Lost in a handler.");
    EXPECT_FALSE(InstanceLock::IsHeld("TestAnalyzer"));

    // A later modal loop still runs (the failure left no pending exit behind).
    QDialog dialog;
    QTimer::singleShot(0, &dialog, &QDialog::accept);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
}

TEST_F(SingleInstance, BringToFrontRestoresAMinimisedWindow)
{
    QWidget window;
    window.showMinimized();
    ProgramEntry::BringToFront(&window);
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isVisible());
}

#ifdef TRACEMOOR_PROGRAM

// The real program, copied into a folder of its own (where no System.ini
// lies beside it), with a config folder of its own.
class ProgramProcesses : public SingleInstance
{
protected:
    void SetUp() override
    {
        SingleInstance::SetUp();
        program = QString::fromStdString((folder.Path() / "tracemoor").string());
        ASSERT_TRUE(QFile::copy(QStringLiteral(TRACEMOOR_PROGRAM), program));
    }
    void TearDown() override
    {
        for (QProcess *p : {&first, &second, &third}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
        SingleInstance::TearDown();
    }

    void Start(QProcess &p, bool demo)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.Path().string()));
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(folder.File("config")));
        // Under the sanitizers a leak report would change the exit code looked at.
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":detect_leaks=0");
        if (demo)
            env.insert("TRACEMOOR_DEVICE", "demo");
        else
            env.remove("TRACEMOOR_DEVICE");
        p.setProcessEnvironment(env);
        p.start(program, {});
        ASSERT_TRUE(p.waitForStarted(5000));
    }

    // The program holds its lock and listens once its window is being built.
    static bool Running()
    {
        return InstanceLock::IsHeld(InstanceLock::AnalyzerName) &&
               QFile::exists(
                   QString::fromStdString(InstanceLock::ChannelPath(InstanceLock::AnalyzerName)));
    }

    AnalyzerTestFolder folder;
    QString program;
    QProcess first;
    QProcess second;
    QProcess third;
};

TEST_F(ProgramProcesses, ASecondAnalyzerEndsWithCode1AndOpensNoWindow)
{
    Start(first, true);
    QTRY_VERIFY_WITH_TIMEOUT(Running(), 10000);
    const std::filesystem::path ini = folder.Path() / "config" / "tracemoor" / "System.ini";
    QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(ini), 10000);
    std::filesystem::remove(ini);

    // Without the Demo device the second would stop at the model selection
    // (and write System.ini) had it gone on to build its window.
    Start(second, false);
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_FALSE(std::filesystem::exists(ini));
    EXPECT_EQ(first.state(), QProcess::Running);

    // The first one killed: its lock goes with it and a new start runs.
    first.kill();
    ASSERT_TRUE(first.waitForFinished(5000));
    EXPECT_FALSE(InstanceLock::IsHeld(InstanceLock::AnalyzerName));
    Start(third, true);
    QTRY_VERIFY_WITH_TIMEOUT(Running(), 10000);
    EXPECT_EQ(third.state(), QProcess::Running);
}

#endif

} // namespace
