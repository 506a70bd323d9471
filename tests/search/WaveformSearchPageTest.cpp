#include "search/WaveformSearchPage.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "display/CWaveformCore.h"

#include <gtest/gtest.h>

namespace {

// The waveform page counts samples from the trigger in whole sample periods
// (4 ns on model 1), either side of it, and puts a found one at the trigger
// column.
TEST(WaveformSearchPage, CountsFromTheTriggerSampleBothWays)
{
    WSystem system;
    system.SelectModel(1);
    CFile settings;
    CCaptureRecord record(system, settings);
    record.DepthSamples = 1000;
    record.SetTriggerPosition(3);
    record.TriggerAddress = 0x1000;
    record.CaptureValid = 1;
    CWaveformCore view(system, settings, record);
    WaveformSearchPage page(view);

    view.SetViewPosition(Normalise(WTime::Of(0, 43, 0, 0, 0, 0))); // -43 ns: 10 samples and 3 ns
    SearchPage::Position at = page.SearchPosition();
    EXPECT_EQ(at.Index, -10);
    EXPECT_EQ(at.Address, 0x1000u - 40);
    EXPECT_EQ(at.First, -300);
    EXPECT_EQ(at.Last, 700);

    page.ShowFoundSample(-7);
    EXPECT_EQ(view.ViewPosition, Normalise(WTime::Of(0, 28, 0, 0, 0, 0)));
    page.ShowFoundSample(250);
    EXPECT_EQ(view.ViewPosition, Normalise(WTime::Of(0, 0, 1)));
    at = page.SearchPosition();
    EXPECT_EQ(at.Index, 250);
    EXPECT_EQ(at.Address, 0x1000u + 1000);
}

} // namespace
