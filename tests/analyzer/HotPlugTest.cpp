// The analyzer pulled out and plugged in again, a hundred times, while
// captures run: each time the run ends with "No device connected.", the
// analyzer connects again on its arrival, and no handle or transfer is left
// behind.

#include "AcquisitionBench.h"

#include "device/UsbDriverIo.h"

#include <gtest/gtest.h>

namespace {

using Warning = AcquisitionWindow::Warning;

TEST(HotPlug, HundredUnplugsDuringRunsEachReportedAndReconnected)
{
    AcquisitionBench bench(3, "model=3");
    bench.SetCounterTrigger();
    ASSERT_TRUE(bench.link->Connected);
    const int transfers = UsbDriverIo::Alive();
    const char *commands[] = {"StopCapture",  "Identify",  "WriteBlock",
                              "StartCapture", "ReadBlock", "ReadSamples"};
    int captures = 0;
    for (int cycle = 0; cycle < 100; ++cycle) {
        SCOPED_TRACE(cycle);
        bench.window.warnings.clear();
        bench.acquisition->Run();
        if (cycle % 2 == 0) {
            // Pulled out between two ticks, at a different point each time.
            bench.Tick(1 + cycle % 9);
            bench.driver->Unplug(0);
        } else {
            // Pulled out in the middle of a request.
            const auto fault =
                EmulatorConfig::Parse(std::string("unplug=") + commands[cycle / 2 % 6]);
            bench.Analyzer().Inject(fault->Faults);
        }
        EXPECT_LT(bench.Tick(), 400);
        EXPECT_EQ(bench.window.warnings, std::vector<Warning>{Warning::NoDevice});
        EXPECT_FALSE(bench.link->Connected);
        EXPECT_TRUE(bench.window.Idle());
        EXPECT_EQ(bench.driver->OpenHandles(), 0);
        EXPECT_EQ(UsbDriverIo::Alive(), transfers);
        captures = std::max(captures, bench.window.captures);

        bench.Analyzer().ClearFaults();
        bench.driver->Plug(0);
        bench.link->PumpEvents();
        ASSERT_TRUE(bench.link->Connected);
        EXPECT_EQ(bench.driver->OpenHandles(), 1);
    }
    // Runs got as far as a capture now and then, and the last one still does.
    EXPECT_GT(captures, 0);
    bench.window.warnings.clear();
    bench.acquisition->SingleRun();
    bench.Tick();
    EXPECT_TRUE(bench.window.warnings.empty());
    EXPECT_EQ(bench.record->CaptureValid, 1);
    EXPECT_EQ(UsbDriverIo::Alive(), transfers);
}

} // namespace
