// What acquisition control checks and sends before a capture, over a
// window-less bench: the identity check, the delay and the pre/post-trigger
// bytes, and the smaller commands (status, Stop, the model change).

#include "AcquisitionBench.h"

#include "display/TimeText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Warning = AcquisitionWindow::Warning;

constexpr uint16_t WriteBlock = CEzUsb::WriteBlock;

// --- The identity check -------------------------------------------------------

struct MismatchCase
{
    const char *name;
    int selected;
    const char *emulator; // "" for no command channel at all
};

class ModelMismatch : public testing::TestWithParam<MismatchCase>
{
};

TEST_P(ModelMismatch, SaysVersionIsWrongAndOpensTheModelSelection)
{
    const MismatchCase &c = GetParam();
    AcquisitionBench bench(c.selected, c.emulator);
    bench.window.onChooseModel = [&bench] {
        bench.system.SelectModel(3);
        bench.settings.ModelCode = 3;
    };
    bench.settings.MemoryDepthIndex = 4;
    bench.acquisition->Run();
    bench.Tick();

    EXPECT_EQ(bench.window.warnings, std::vector<Warning>{Warning::DeviceWrong});
    EXPECT_EQ(bench.window.modelChoices, 1);
    EXPECT_EQ(bench.window.modelChanges, 1);
    EXPECT_TRUE(bench.window.Idle());
    EXPECT_EQ(bench.window.progress, AcquisitionWindow::IdleProgress);
    EXPECT_FALSE(bench.acquisition->Running);
    EXPECT_EQ(bench.acquisition->AcquisitionStep, CAcquisition::StepSendSettings);
    // The settings were reset for the model chosen, the ring cleared.
    EXPECT_EQ(bench.settings.MemoryDepthIndex, 0);
    EXPECT_EQ(bench.system.ModelCode, 3);
    EXPECT_TRUE(std::all_of(bench.system.SampleBuffer.begin(), bench.system.SampleBuffer.end(),
                            [](uint8_t b) { return b == 0; }));
    if (bench.driver != nullptr && bench.driver->FirmwareCount() > 0) {
        EXPECT_EQ(bench.CountOf(WriteBlock), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Identity, ModelMismatch,
                         testing::Values(MismatchCase{"AnotherModel", 5, "model=6"},
                                         MismatchCase{"Model9For10", 10, "model=9"}),
                         [](const testing::TestParamInfo<MismatchCase> &row) {
                             return row.param.name;
                         });

// No analyzer is no other model: Run and Single Run say so and keep the
// set-up and the last capture.
TEST(CaptureSequence, RunWithoutAnAnalyzerSaysNoDeviceAndKeepsTheSetUp)
{
    for (const char *emulator : {"count=0", ""}) {
        for (const bool single : {false, true}) {
            SCOPED_TRACE(std::string(emulator) + (single ? " single" : " run"));
            AcquisitionBench bench(5, emulator);
            bench.settings.MemoryDepthIndex = 4;
            std::fill(bench.system.SampleBuffer.begin(), bench.system.SampleBuffer.end(),
                      uint8_t{0x5A});
            if (single)
                bench.acquisition->SingleRun();
            else
                bench.acquisition->Run();
            bench.Tick();
            EXPECT_EQ(bench.window.warnings, std::vector<Warning>{Warning::NoDevice});
            EXPECT_EQ(bench.window.modelChoices, 0);
            EXPECT_TRUE(bench.window.Idle());
            EXPECT_EQ(bench.settings.MemoryDepthIndex, 4);
            EXPECT_EQ(bench.system.ModelCode, 5);
            EXPECT_TRUE(std::all_of(bench.system.SampleBuffer.begin(),
                                    bench.system.SampleBuffer.end(),
                                    [](uint8_t b) { return b == 0x5A; }));
        }
    }
}

// --- Delay and pre/post-trigger bytes -------------------------------------------

struct DelayCase
{
    const char *name;
    int model;
    int row;
    WTime delay;         // in the record before
    WTime expected;      // in the record after (sign in DelayNegative)
    uint32_t extraPost;  // bytes added after the trigger
    uint32_t extraPre;   // 4 x sample periods per microsecond
    bool notConfirmable; // the trigger lies before the record
    bool viewMoved;      // a negative delay moves the view instead
};

class PrepareDelay : public testing::TestWithParam<DelayCase>
{
};

TEST_P(PrepareDelay, TellsTheDeviceWhatToRecord)
{
    const DelayCase &c = GetParam();
    AcquisitionBench bench(c.model, "");
    CFile &s = bench.settings;
    bench.timeBase->SetRateFromTimeDiv(c.row); // as every run starts
    s.MemoryDepthIndex = 0;
    s.MemoryPercent = 5;
    for (size_t k = 0; k < 5; ++k)
        s.DelayGroups[k] = static_cast<uint16_t>(c.delay.g[k]);
    s.DelayNegative = c.delay.IsNegative() ? 1 : 0;
    bench.acquisition->Delay = c.delay;

    bench.acquisition->PrepareDelay();

    const int depth = bench.system.ComputeSplit(0, c.row);
    ASSERT_EQ(bench.record->DepthIndex, depth);
    const auto after = static_cast<uint32_t>(bench.system.SplitTable[0][5]);
    const auto before = static_cast<uint32_t>(bench.system.SplitTable[1][5]);
    EXPECT_EQ(s.PostTriggerBytes, after + c.extraPost);
    EXPECT_EQ(s.PreTriggerBytes, before + c.extraPre);
    for (size_t k = 0; k < 5; ++k)
        EXPECT_EQ(s.DelayGroups[k], c.expected.g[k]) << k;
    EXPECT_EQ(s.DelayNegative, c.expected.IsNegative() ? 1 : 0);
    EXPECT_EQ(bench.record->NotConfirmable, c.notConfirmable);
    if (c.viewMoved) {
        EXPECT_EQ(bench.window.viewPosition, c.expected);
        EXPECT_TRUE(bench.acquisition->Delay.IsZero());
    }
    EXPECT_EQ(bench.window.delayText, TimeText(c.expected, bench.timeBase->TimePerDivUnit));
}

// Model 1 (250 MHz), depth Auto at 50 %: row 0 records 512000 samples of
// 4 ns, 1.024 ms before the trigger; row 20 (2 ms) records 500 samples, 0.5 s.
INSTANTIATE_TEST_SUITE_P(
    Delays, PrepareDelay,
    testing::Values(DelayCase{"None", 1, 0, WTime{}, WTime{}, 0, 1000, false, false},
                    DelayCase{"CutToTheRowsMaximum", 1, 20, WTime::Of(0, 0, 0, 0, 700),
                              WTime::Of(0, 0, 0, 0, 600), 4 * 300000, 0, true, false},
                    DelayCase{"ExactlyTheMaximum", 1, 20, WTime::Of(0, 0, 0, 7, 600),
                              WTime::Of(0, 0, 0, 0, 600), 4 * 300000, 0, true, false},
                    DelayCase{"WholePeriodsAfterTheTrigger", 1, 0, WTime::Of(0, 500, 1),
                              WTime::Of(0, 500, 1), 4 * 375, 1000, false, false},
                    DelayCase{"PastThePreTriggerPart", 1, 0, WTime::Of(0, 0, 25, 1),
                              WTime::Of(0, 0, 25, 1), 4 * 256250, 1000, true, false},
                    DelayCase{"NegativeMovesTheView", 1, 0, WTime::Of(0, 0, 5, 0, 0, 0),
                              WTime::Of(0, 0, 5, 0, 0, 0), 0, 1000, false, true},
                    DelayCase{"NegativeStopsAtTheRecordStart", 1, 0, WTime::Of(0, 0, 0, 3, 0, 0),
                              WTime::Of(0, 0, 24, 1, 0, 0), 0, 1000, false, true}),
    [](const testing::TestParamInfo<DelayCase> &row) { return row.param.name; });

TEST(CaptureSequence, DelayIsRoundedToWholeSamplePeriodsAndCutBeforeTheCapture)
{
    AcquisitionBench bench(1, "model=1");
    bench.window.divIndex = 20;
    bench.acquisition->Delay = WTime::Of(0, 0, 0, 0, 700);
    bench.acquisition->Run();
    bench.Tick(1);
    EXPECT_EQ(bench.Analyzer().Record().DelayGroups[4], 600);
    EXPECT_EQ(bench.settings.DelayGroups, (std::array<uint16_t, 5>{0, 0, 0, 0, 600}));
    EXPECT_EQ(bench.window.delayText, "600.000s");
    bench.acquisition->Stop();

    // 1 ms 3 us at 2 ms per sample is no whole sample period.
    bench.acquisition->Delay = WTime::Of(0, 0, 3, 5);
    bench.acquisition->Run();
    bench.Tick(1);
    EXPECT_EQ(bench.settings.DelayGroups, (std::array<uint16_t, 5>{0, 0, 0, 4, 0}));
    bench.acquisition->Stop();
}

// --- Smaller pieces -------------------------------------------------------------------

TEST(ReportStatus, BusyIsIgnoredEverythingElseEndsTheRun)
{
    const struct
    {
        uint8_t status;
        std::vector<Warning> warnings;
        bool running;
    } cases[] = {{0xE0, {}, true},
                 {0x35, {Warning::LinkFail}, false},
                 {0x36, {Warning::NoDevice}, false},
                 {0x00, {}, false},
                 {0x33, {}, false}};
    for (const auto &c : cases) {
        AcquisitionBench bench(5, "");
        bench.acquisition->Run();
        bench.window.lamp = true;
        bench.acquisition->ReportStatus(c.status);
        EXPECT_EQ(bench.window.warnings, c.warnings) << int(c.status);
        EXPECT_EQ(bench.acquisition->Running, c.running) << int(c.status);
        EXPECT_EQ(bench.window.Idle(), !c.running) << int(c.status);
        EXPECT_EQ(bench.window.lamp, c.running) << int(c.status);
    }
}

TEST(NoTriggerCondition, IsTrueWhenThePatternsInUseAreAllDontCare)
{
    const struct
    {
        uint8_t type;
        int row;     // row given a condition (-1: none)
        int channel; // channel given it
        bool expected;
    } cases[] = {{1, -1, 0, true},  {1, 0, 15, false}, {1, 1, 0, true},  {2, 1, 3, false},
                 {3, 2, 0, false},  {3, 3, 0, true},   {4, 3, 7, false}, {4, 1, 7, true},
                 {5, -1, 0, false}, {0, -1, 0, true},  {0, 0, 3, false}, {1, 0, 20, true}};
    // Type 0 is Pattern 1; CH20 is no channel of the model.
    for (const auto &c : cases) {
        AcquisitionBench bench(5, ""); // 16 channels
        bench.settings.TriggerType = c.type;
        if (c.row >= 0)
            bench.settings
                .TriggerCondition[static_cast<size_t>(c.row)][static_cast<size_t>(c.channel)] =
                CFile::CondHigh;
        bench.acquisition->UpdateNoTriggerCondition();
        EXPECT_EQ(bench.acquisition->NoTriggerCondition, c.expected)
            << int(c.type) << " " << c.row << " " << c.channel;
    }
}

TEST(LastCaptureCopies, AreTheSettingsOfTheCaptureJustStarted)
{
    AcquisitionBench bench(5, "model=5");
    bench.settings.MemoryDepthIndex = 3;
    bench.settings.TriggerPositionCode = bench.settings.MemoryPercent = 2;
    bench.window.divIndex = 11;
    bench.acquisition->SingleRun();
    bench.Tick();
    EXPECT_EQ(bench.acquisition->LastTimeDivRow, 11);
    EXPECT_EQ(bench.acquisition->LastMemoryDepthIndex, 3);
    EXPECT_EQ(bench.acquisition->LastTriggerPositionCode, 2);
    EXPECT_EQ(bench.record->DepthIndex, 3);
    EXPECT_EQ(bench.record->TriggerPosition, 2);
    // The list window of the single run: 20 % of 4k samples before the trigger.
    EXPECT_EQ(bench.acquisition->ListSamplesBefore, 800u);
    EXPECT_EQ(bench.acquisition->ListSamplesAfter, 3200u);
}

TEST(StopCommand, SendsStopCaptureOnceAndReturnsToIdle)
{
    AcquisitionBench bench(8, "model=8");
    bench.acquisition->Run();
    bench.Tick(1);
    bench.window.lamp = true;
    EXPECT_LT(bench.window.progress, AcquisitionWindow::IdleProgress); // partly filled
    const int before = bench.CountOf(CEzUsb::StopCapture);
    bench.acquisition->Stop();
    EXPECT_EQ(bench.CountOf(CEzUsb::StopCapture), before + 1);
    EXPECT_FALSE(bench.window.lamp);
    EXPECT_EQ(bench.window.progress, AcquisitionWindow::IdleProgress);
    EXPECT_TRUE(bench.window.Idle());
    EXPECT_EQ(bench.acquisition->AcquisitionStep, CAcquisition::StepStart);
}

TEST(ChangeModel, ResetsTheSettingsForTheChosenModel)
{
    AcquisitionBench bench(1, "");
    bench.window.onChooseModel = [&bench] {
        bench.system.SelectModel(7);
        bench.settings.ModelCode = 7;
    };
    bench.settings.TriggerType = 4;
    bench.record->CaptureValid = 1;
    bench.acquisition->ChangeModel();
    EXPECT_EQ(bench.window.modelChoices, 1);
    EXPECT_EQ(bench.settings.TriggerType, 1);
    EXPECT_EQ(bench.record->CaptureValid, 0);
    EXPECT_EQ(bench.system.SampleBuffer.size(), 0x400000u);
    EXPECT_TRUE(bench.window.Idle());
}

} // namespace
