// Acquisition control's Auto Scale, the Demo's synthetic captures and the
// offer to list every channel when the signal list is empty, over a
// window-less bench (emulated analyzers, a recording window).

#include "AcquisitionBench.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Timer = AcquisitionWindow::Timer;
using Warning = AcquisitionWindow::Warning;
using RunMode = AcquisitionWindow::RunMode;

constexpr uint16_t ReadBlock = CEzUsb::ReadBlock;

// --- Auto Scale ---------------------------------------------------------------------

TEST(AutoScale, WithoutADeviceEndsWithNoDeviceConnected)
{
    for (const char *emulator : {"count=0", ""}) {
        AcquisitionBench bench(5, emulator);
        bench.acquisition->AutoScale();
        EXPECT_EQ(bench.window.warnings, std::vector<Warning>{Warning::NoDevice}) << emulator;
        EXPECT_TRUE(bench.window.Idle()) << emulator;
        EXPECT_FALSE(bench.acquisition->Running);
    }
}

TEST(AutoScale, AnAnalyzerThisUserMayNotOpenIsNamedInsteadOfNoDevice)
{
    // Run, Single Run and Auto Scale; another device of the vendor that may
    // not be opened is no analyzer.
    const struct
    {
        const char *emulator;
        std::vector<Warning> run;
        int modelChoices; // the run opens the model selection
        std::vector<Warning> autoScale;
    } cases[] = {
        {"model=5,noaccess", {Warning::NoAccess}, 0, {Warning::NoAccess}},
        {"foreign=1,count=0,noaccess", {Warning::NoDevice}, 0, {Warning::NoDevice}},
    };
    for (const auto &c : cases) {
        for (const bool single : {false, true}) {
            AcquisitionBench bench(5, c.emulator);
            if (single)
                bench.acquisition->SingleRun();
            else
                bench.acquisition->Run();
            bench.Tick();
            EXPECT_EQ(bench.window.warnings, c.run) << c.emulator;
            EXPECT_TRUE(bench.window.Idle()) << c.emulator;
            EXPECT_EQ(bench.window.modelChoices, c.modelChoices) << c.emulator;
        }
        AcquisitionBench bench(5, c.emulator);
        bench.acquisition->AutoScale();
        EXPECT_EQ(bench.window.warnings, c.autoScale) << c.emulator;
        EXPECT_TRUE(bench.window.Idle()) << c.emulator;
    }
}

TEST(AutoScale, GivesUpOnTheCommandAfter5002RequestsWithAMessage)
{
    AcquisitionBench bench(5, "model=5,answer=AutoScale:0xE0");
    bench.acquisition->AutoScale();
    EXPECT_EQ(bench.CountOf(CEzUsb::AutoScale), CAcquisition::AutoScaleRequests);
    EXPECT_EQ(bench.window.warnings, std::vector<Warning>{Warning::ProcessingFail});
    EXPECT_TRUE(bench.window.Idle());
    EXPECT_FALSE(bench.acquisition->Running);
}

TEST(AutoScale, WaitForTheScaledBlockIsBoundedAndSaysSo)
{
    for (const char *fault : {"answer=ReadBlock:0xE0", "timeout=ReadBlock", "corrupt"}) {
        AcquisitionBench bench(5, std::string("model=5,") + fault);
        bench.acquisition->AutoScale();
        EXPECT_EQ(bench.CountOf(ReadBlock), CAcquisition::AutoScaleBlockRequests) << fault;
        EXPECT_EQ(bench.window.warnings, std::vector<Warning>{Warning::ProcessingFail}) << fault;
        EXPECT_TRUE(bench.window.Idle()) << fault;
    }
}

TEST(AutoScale, StatusesEndTheCommandAsReported)
{
    const struct
    {
        const char *emulator;
        std::vector<Warning> warnings;
    } cases[] = {{"model=5,linkfail=CheckReady", {Warning::LinkFail}},
                 {"model=5,linkfail=ReadBlock", {Warning::LinkFail}},
                 {"model=5,unplug=ReadBlock", {Warning::NoDevice}},
                 {"model=5,answer=CheckReady:0xE0", {}},
                 {"model=6", {Warning::DeviceWrong}}};
    for (const auto &c : cases) {
        AcquisitionBench bench(5, c.emulator);
        bench.acquisition->AutoScale();
        EXPECT_EQ(bench.window.warnings, c.warnings) << c.emulator;
        EXPECT_TRUE(bench.window.Idle()) << c.emulator;
        EXPECT_FALSE(bench.acquisition->Running) << c.emulator;
    }
}

TEST(AutoScale, TakesTheDevicesSettingsAndRunsWithThem)
{
    AcquisitionBench bench(5, "model=5");
    // The device answers with the block it was sent last (one signal shown)
    // and the time base its Auto Scale chose.
    bench.settings.DisplayOrder[0] = 3;
    bench.settings.TimeDivRow = bench.settings.RateRow = 9;
    bench.window.divIndex = 9;
    bench.acquisition->SingleRun();
    bench.Tick();
    bench.settings.DisplayOrder[0] = bench.system.RowCount;
    bench.settings.TimeDivRow = bench.settings.RateRow = 2;
    bench.acquisition->Delay = WTime::Of(0, 0, 7);

    bench.acquisition->AutoScale();
    EXPECT_EQ(bench.settings.DisplayOrder[0], 3);
    // The time base is the one the device chose for its inputs (the
    // counter's CH0 changes every 8 samples of 4 ns: 100nS), not the one it
    // was sent.
    const int chosen = bench.Analyzer().Record().TimeDivRow;
    EXPECT_EQ(chosen, 3);
    EXPECT_EQ(bench.settings.TimeDivRow, chosen);
    EXPECT_EQ(bench.settings.RateRow, chosen);
    EXPECT_EQ(bench.timeBase->TimeDivIndex, chosen);
    EXPECT_TRUE(bench.acquisition->Delay.IsZero());
    EXPECT_EQ(bench.acquisition->AcquisitionStep, CAcquisition::StepSendSettings);
    EXPECT_EQ(bench.acquisition->LastTimeDivRow, chosen);
    EXPECT_TRUE(bench.window.TimerEnabled(Timer::Timer1));
    EXPECT_EQ(bench.window.mode, RunMode::Running);
    bench.TickUntilShown(2);
    EXPECT_EQ(bench.window.captures, 2);
    bench.acquisition->Stop();
}

TEST(AutoScale, NothingToShowEndsIdleUnlessTheUserListsEveryChannel)
{
    for (const bool accept : {false, true}) {
        AcquisitionBench bench(6, "model=6");
        bench.window.listEveryChannel = accept;
        bench.acquisition->AutoScale(); // the device's block lists no signal
        EXPECT_EQ(bench.window.channelOffers, 1);
        EXPECT_TRUE(bench.window.warnings.empty());
        EXPECT_EQ(bench.CountOf(CEzUsb::AutoScale), 1);
        if (!accept) {
            EXPECT_TRUE(bench.window.Idle());
            EXPECT_FALSE(bench.acquisition->Running);
            continue;
        }
        // The scaled settings now list CH0..CH31 and the capture sequence runs.
        EXPECT_EQ(bench.settings.DisplayOrder[31], 31);
        EXPECT_EQ(bench.settings.ChannelEntry[31].Members[0], 31);
        EXPECT_TRUE(bench.window.TimerEnabled(Timer::Timer1));
        bench.TickUntilShown(1);
        EXPECT_EQ(bench.window.captures, 1);
        bench.acquisition->Stop();
    }
}

TEST(AutoScale, CompactModelsResetTheTriggerAndListEveryChannel)
{
    for (int model : {9, 10}) {
        AcquisitionBench bench(model, "model=" + std::to_string(model));
        bench.SetCounterTrigger();
        bench.settings.TriggerType = 3;
        bench.settings.MemoryDepthIndex = 4;
        bench.settings.Reserved6 = 9;
        bench.acquisition->AutoScale();
        const size_t n = model == 9 ? 16 : 32;
        EXPECT_EQ(bench.settings.TriggerType, 1);
        EXPECT_EQ(bench.settings.MemoryDepthIndex, 0);
        EXPECT_EQ(bench.settings.Reserved6, 0);
        EXPECT_EQ(bench.settings.TriggerCondition[0][0], CFile::CondX);
        EXPECT_STREQ(bench.settings.ChannelEntry[n - 1].Name.data(), n == 16 ? "CH15" : "CH31");
        EXPECT_EQ(bench.settings.DisplayOrder[n - 1], n - 1);
        EXPECT_EQ(bench.settings.ChannelEntry[7].BitCount, 1);
        EXPECT_EQ(bench.CountOf(CEzUsb::AutoScale), 0);
        // Then an ordinary run.
        EXPECT_TRUE(bench.acquisition->Running);
        bench.TickUntilShown(1);
        EXPECT_EQ(bench.record->CaptureValid, 1);
        bench.acquisition->Stop();
    }
}

// --- Demo -------------------------------------------------------------------------

TEST(Demo, RunMakesSyntheticCapturesUntilStop)
{
    AcquisitionBench bench(0, "");
    bench.acquisition->Run();
    EXPECT_EQ(bench.window.mode, RunMode::Running);
    // Both rings hold the demo run's pattern: word i * 0x10001, 8 samples each.
    uint32_t word = 0;
    std::memcpy(&word, &bench.system.SampleBuffer[32 * 1234 + 8], 4);
    EXPECT_EQ(word, 1234u * 0x10001u);
    EXPECT_EQ(bench.system.SpareBuffer, bench.system.SampleBuffer);

    bench.TickUntilShown(3);
    EXPECT_EQ(bench.window.captures, 3);
    EXPECT_EQ(bench.record->CaptureValid, 1);
    EXPECT_EQ(bench.settings.CaptureDone, 1);
    EXPECT_EQ(bench.settings.ReportedEndAddress % 4, 0u);
    EXPECT_LT(bench.settings.ReportedEndAddress, 32768u);
    EXPECT_EQ(bench.window.progress, 100);
    EXPECT_TRUE(bench.acquisition->Running);

    bench.acquisition->Stop();
    EXPECT_TRUE(bench.window.Idle());
}

TEST(Demo, SingleRunEndsIdleAfterOneCapture)
{
    AcquisitionBench bench(0, "");
    bench.acquisition->SingleRun();
    bench.Tick();
    EXPECT_EQ(bench.window.captures, 1);
    EXPECT_EQ(bench.record->CaptureValid, 1);
    EXPECT_TRUE(bench.window.Idle());
    EXPECT_FALSE(bench.acquisition->Running);
}

TEST(Demo, CapturesArePacedWithoutWaiting)
{
    AcquisitionBench bench(0, "");
    bench.acquisition->DemoPauseMs = 60000;
    bench.acquisition->Run();
    bench.Tick(50);
    EXPECT_EQ(bench.window.captures, 1);
}

TEST(Demo, AutoScaleListsEveryChannel)
{
    AcquisitionBench bench(0, "");
    bench.acquisition->AutoScale();
    EXPECT_EQ(bench.settings.DisplayOrder[31], 31);
    EXPECT_EQ(bench.settings.ChannelEntry[31].Members[0], 31);
    EXPECT_EQ(bench.settings.ChannelEntry[31].InUse, 1);
    EXPECT_TRUE(bench.window.TimerEnabled(Timer::Timer1));
    bench.TickUntilShown(1);
    EXPECT_EQ(bench.window.captures, 1);
    bench.acquisition->Stop();
}

// --- The empty signal list ------------------------------------------------------

struct EmptyListCase
{
    const char *name;
    int model;
    bool single;
    bool accept;
};

class EmptySignalList : public testing::TestWithParam<EmptyListCase>
{
};

TEST_P(EmptySignalList, RunsOfferToListEveryChannelAndGoOnEitherWay)
{
    const EmptyListCase &c = GetParam();
    AcquisitionBench bench(c.model, c.model == 0 ? "" : "model=" + std::to_string(c.model));
    bench.window.listEveryChannel = c.accept;
    const CFile defaults = bench.settings;
    const size_t channels = bench.system.ChannelCount;
    if (c.single)
        bench.acquisition->SingleRun();
    else
        bench.acquisition->Run();
    EXPECT_EQ(bench.window.channelOffers, 1);
    EXPECT_TRUE(bench.acquisition->Running);
    if (c.accept) {
        for (size_t ch = 0; ch < channels; ++ch) {
            EXPECT_EQ(bench.settings.DisplayOrder[ch], ch);
            EXPECT_EQ(bench.settings.ChannelEntry[ch].Members[0], ch);
            EXPECT_EQ(bench.settings.ChannelEntry[ch].InUse, 1);
        }
        EXPECT_GE(bench.window.viewRefreshes, 1);
    } else {
        EXPECT_EQ(bench.settings.DisplayOrder, defaults.DisplayOrder);
    }
    bench.TickUntilShown(1);
    EXPECT_EQ(bench.window.captures, 1);
    bench.acquisition->Stop();

    // Once listed, the next run asks nothing; a declined list asks again.
    bench.acquisition->Run();
    EXPECT_EQ(bench.window.channelOffers, c.accept ? 1 : 2);
    bench.acquisition->Stop();

    // The stored defaults of a fresh record stay as they were.
    CFile fresh;
    fresh.ModelCode = static_cast<uint8_t>(c.model);
    fresh.ResetSettings();
    EXPECT_EQ(fresh.DisplayOrder, defaults.DisplayOrder);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, EmptySignalList,
    testing::Values(EmptyListCase{"RunAccepted", 5, false, true},
                    EmptyListCase{"RunDeclined", 5, false, false},
                    EmptyListCase{"SingleRunAccepted32Channels", 8, true, true},
                    EmptyListCase{"SingleRunDeclined", 5, true, false},
                    EmptyListCase{"DemoRunAccepted", 0, false, true},
                    EmptyListCase{"DemoSingleRunDeclined", 0, true, false}),
    [](const testing::TestParamInfo<EmptyListCase> &row) { return row.param.name; });

} // namespace
