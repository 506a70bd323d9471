// Tracemoor's window in Run mode against the emulated analyzer, for many
// captures (10,000 unless TRACEMOOR_LONG_RUN_CAPTURES says otherwise), with
// Auto Store off and on: the memory in use and the open files must stay as
// they were after the warm-up. Not part of the test suite; run it with
// scripts/long-run.sh, which prints the figures as a table.

#include "../AnalyzerWindowFixture.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

long ResidentKiB()
{
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

int OpenFiles()
{
    int n = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

int Captures()
{
    const char *text = std::getenv("TRACEMOOR_LONG_RUN_CAPTURES");
    return text != nullptr && std::atoi(text) > 0 ? std::atoi(text) : 10000;
}

// Growth after the warm-up (the first tenth) that still counts as flat.
constexpr long SlackKiB = 1024;

TEST(LongRun, RunModeKeepsMemoryAndOpenFilesFlat)
{
    const int captures = Captures();
    const int model = 5;
    std::printf(
        "| Auto Store | captures | RSS after warm-up (KiB) | RSS at the end (KiB) | "
        "open files after warm-up | at the end | seconds |\n|---|---|---|---|---|---|---|\n");
    for (const bool autoStore : {false, true}) {
        AnalyzerWindow w(model, Emulated(model));
        w.SetCounterTrigger();
        w.form->RunRepetitive1Click();
        if (autoStore)
            w.form->AutoStoreButtonClick();
        ASSERT_EQ(w.Acquisition().AutoStoreOn, autoStore);

        QElapsedTimer clock;
        clock.start();
        int shown = 0;
        long warmRss = 0;
        int warmFiles = 0;
        for (long tick = 0; shown < captures; ++tick) {
            // The timers' work, tick after tick, without waiting for them.
            w.form->Timer1Timer();
            if (w.Acquisition().CaptureReady) {
                w.form->Timer2Timer();
                ++shown;
                if (shown % 1000 == 0)
                    w.Analyzer().ForgetCommands();
                if (shown == captures / 10) {
                    warmRss = ResidentKiB();
                    warmFiles = OpenFiles();
                }
            }
            // Paint requests and deferred work, but no timer of the window.
            if (tick % 8 == 0)
                QCoreApplication::sendPostedEvents();
            ASSERT_TRUE(w.Acquisition().Running) << "the run ended after " << shown;
        }
        const long endRss = ResidentKiB();
        const int endFiles = OpenFiles();
        w.form->Stop2Click();
        EXPECT_TRUE(w.Messages().isEmpty());
        std::printf("| %s | %d | %ld | %ld | %d | %d | %.0f |\n", autoStore ? "on" : "off", shown,
                    warmRss, endRss, warmFiles, endFiles,
                    static_cast<double>(clock.elapsed()) / 1000.0);
        std::fflush(stdout);
        EXPECT_LE(endRss, warmRss + SlackKiB);
        EXPECT_EQ(endFiles, warmFiles);
    }
}

} // namespace
