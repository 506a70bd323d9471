#include "AcquisitionBench.h"

#include "display/TimeText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <span>

namespace {

using Timer = AcquisitionWindow::Timer;
using Warning = AcquisitionWindow::Warning;
using RunMode = AcquisitionWindow::RunMode;

constexpr uint16_t WriteBlock = CEzUsb::WriteBlock;
constexpr uint16_t StartCapture = CEzUsb::StartCapture;
constexpr uint16_t ReadBlock = CEzUsb::ReadBlock;
constexpr uint16_t ReadSamples = CEzUsb::ReadSamples;

bool RingEqualsDevice(AcquisitionBench &bench)
{
    const auto device = bench.Analyzer().Memory();
    return device.size() == bench.system.MemorySize &&
           std::equal(device.begin(), device.end(), bench.system.SampleBuffer.begin());
}

// --- A whole capture on every model ---------------------------------------

class EveryModel : public testing::TestWithParam<int>
{
};

TEST_P(EveryModel, SingleRunGoesThroughAllFourStepsAndConfirmsTheTrigger)
{
    const int model = GetParam();
    AcquisitionBench bench(model, "model=" + std::to_string(model) + ",polls=3");
    ASSERT_TRUE(bench.link->Connected);
    bench.SetCounterTrigger();

    bench.acquisition->SingleRun();
    EXPECT_EQ(bench.window.mode, RunMode::Running);
    bench.Tick();

    // Step 0 sent the settings (block or image), then StartCapture, ReadBlock
    // polled until done, ReadSamples read the memory.
    const auto codes = bench.Commands();
    const auto at = [&codes](uint16_t code) {
        return std::find(codes.begin(), codes.end(), code) - codes.begin();
    };
    ASSERT_EQ(bench.CountOf(WriteBlock), 1);
    EXPECT_LT(at(WriteBlock), at(StartCapture));
    EXPECT_LT(at(StartCapture), at(ReadBlock));
    EXPECT_LT(at(ReadBlock), at(ReadSamples));
    EXPECT_GE(bench.CountOf(ReadBlock), 2); // the device said "not yet" first
    EXPECT_EQ(bench.CountOf(ReadSamples), 1);
    // The device took the trigger as sent.
    EXPECT_EQ(bench.Analyzer().Settings().Condition[0][0], CFile::CondRise);

    // The record: the whole memory, the trigger found where the device stored it.
    EXPECT_TRUE(RingEqualsDevice(bench));
    ASSERT_TRUE(bench.Analyzer().LastCapture());
    EXPECT_EQ(bench.record->CaptureValid, 1);
    EXPECT_EQ(bench.record->CaptureValidAtReadout, 1);
    EXPECT_EQ(bench.record->TriggerAddress, bench.Analyzer().LastCapture()->TriggerAddress);
    EXPECT_EQ(bench.window.captures, 1);
    EXPECT_EQ(bench.window.progress, 100);
    EXPECT_FALSE(bench.window.lamp);

    // A single run ends idle.
    EXPECT_TRUE(bench.window.Idle());
    EXPECT_FALSE(bench.acquisition->Running);
    EXPECT_FALSE(bench.acquisition->SingleShot);
    EXPECT_TRUE(bench.window.warnings.empty());
}

TEST_P(EveryModel, RepeatedRunContinuesWithStartCaptureUntilStop)
{
    const int model = GetParam();
    AcquisitionBench bench(model, "model=" + std::to_string(model));
    bench.SetCounterTrigger();

    bench.acquisition->Run();
    bench.TickUntilShown(3);
    ASSERT_EQ(bench.window.captures, 3);
    EXPECT_TRUE(bench.acquisition->Running);
    EXPECT_EQ(bench.window.mode, RunMode::Running);
    // The settings went once; every capture after the first started at step 1.
    EXPECT_EQ(bench.CountOf(WriteBlock), 1);
    EXPECT_GE(bench.CountOf(StartCapture), 3);
    EXPECT_EQ(bench.record->TriggerAddress, bench.Analyzer().LastCapture()->TriggerAddress);

    bench.acquisition->Stop();
    EXPECT_TRUE(bench.window.Idle());
    EXPECT_FALSE(bench.acquisition->Running);
    EXPECT_EQ(bench.acquisition->AcquisitionStep, CAcquisition::StepStart);
    EXPECT_EQ(bench.Commands().back(), CEzUsb::StopCapture);
}

INSTANTIATE_TEST_SUITE_P(Models, EveryModel, testing::Range(1, 11));

// --- Status bytes and faults ------------------------------------------------

TEST(CaptureSequence, BusyStartCaptureKeepsStepOneWithoutAMessage)
{
    AcquisitionBench bench(5, "model=5,answer=StartCapture:0xE0*40");
    bench.acquisition->Run();
    bench.Tick(20);
    EXPECT_EQ(bench.acquisition->AcquisitionStep, CAcquisition::StepStart);
    EXPECT_TRUE(bench.acquisition->Running);
    EXPECT_TRUE(bench.window.TimerEnabled(Timer::Timer1));
    EXPECT_TRUE(bench.window.warnings.empty());
    EXPECT_EQ(bench.window.captures, 0);

    bench.TickUntilShown(1);
    EXPECT_EQ(bench.window.captures, 1);
    EXPECT_TRUE(bench.window.warnings.empty());
    EXPECT_EQ(bench.CountOf(StartCapture), 41);
}

struct FaultCase
{
    const char *name;
    const char *emulator;
    std::vector<Warning> warnings; // what the faulty run shows
    bool captured;                 // the faulty run still ends with a capture
};

class SequenceFault : public testing::TestWithParam<FaultCase>
{
};

TEST_P(SequenceFault, GivesItsMessageAndLeavesTheProgramUsable)
{
    const FaultCase &c = GetParam();
    AcquisitionBench bench(5, std::string("model=5,") + c.emulator);
    bench.SetCounterTrigger();

    bench.acquisition->SingleRun();
    const int ticks = bench.Tick();
    EXPECT_LT(ticks, 400) << "the run never ended";
    EXPECT_EQ(bench.window.warnings, c.warnings);
    EXPECT_TRUE(bench.window.Idle());
    EXPECT_FALSE(bench.window.lamp);
    EXPECT_EQ(bench.window.progress, AcquisitionWindow::IdleProgress);
    EXPECT_FALSE(bench.acquisition->Running);
    EXPECT_EQ(bench.record->CaptureValid, c.captured ? 1 : 0);
    if (c.captured) {
        EXPECT_TRUE(RingEqualsDevice(bench));
        EXPECT_EQ(bench.record->TriggerAddress, bench.Analyzer().LastCapture()->TriggerAddress);
    }

    // The next run works when the analyzer is still there; a gone one is
    // reported again, at once.
    bench.window.warnings.clear();
    bench.acquisition->SingleRun();
    EXPECT_LT(bench.Tick(), 400);
    EXPECT_TRUE(bench.window.Idle());
    if (bench.link->Connected) {
        EXPECT_TRUE(bench.window.warnings.empty());
        EXPECT_EQ(bench.record->CaptureValid, 1);
    } else {
        EXPECT_EQ(bench.window.warnings, std::vector<Warning>{Warning::NoDevice});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SequenceFault,
    testing::Values(
        FaultCase{"Busy", "busy=6", {}, true},
        FaultCase{"LinkFailOnStart", "linkfail=StartCapture*1", {Warning::LinkFail}, false},
        FaultCase{"LinkFailOnWriteBlock", "linkfail=WriteBlock*1", {Warning::LinkFail}, false},
        FaultCase{"UnplugAtReadSamples", "unplug=ReadSamples", {Warning::NoDevice}, false},
        FaultCase{"UnplugAtReadBlock", "unplug=ReadBlock@2", {Warning::NoDevice}, false},
        FaultCase{"UnplugAtIdentify", "unplug=0x80", {Warning::NoDevice}, false},
        FaultCase{"ShortSampleRead", "short=ReadSamples*1", {}, true},
        FaultCase{"ShortBlockRead", "short=ReadBlock*2", {}, true},
        FaultCase{"ShortIdentityBlock", "short=Identify", {}, true},
        FaultCase{"CorruptedBlock", "corrupt=3", {}, true},
        FaultCase{"BlockTimeOut", "timeout=ReadBlock*2", {}, true},
        FaultCase{"SampleTimeOut", "timeout=ReadSamples*1", {}, true},
        FaultCase{"SettingsTimeOut", "timeout=WriteBlock*1", {}, true}),
    [](const testing::TestParamInfo<FaultCase> &row) { return row.param.name; });

TEST(CaptureSequence, CompactModelsTakeAShortReplyThatCarriesTheEndAddress)
{
    const struct
    {
        int model;
        const char *fault;
        bool captured; // else step 2 keeps asking
    } cases[] = {
        {9, "short=ReadBlock:6", true},
        {10, "short=ReadBlock:64", true},
        {9, "short=ReadBlock:5", false},
    };
    for (const auto &c : cases) {
        const std::string config = "model=" + std::to_string(c.model) + "," + c.fault;
        AcquisitionBench bench(c.model, config);
        bench.SetCounterTrigger();
        bench.acquisition->SingleRun();
        bench.Tick(50);
        EXPECT_EQ(bench.window.captures, c.captured ? 1 : 0) << config;
        EXPECT_TRUE(bench.window.warnings.empty()) << config;
        if (c.captured) {
            EXPECT_TRUE(bench.window.Idle()) << config;
            EXPECT_EQ(bench.record->CaptureValid, 1) << config;
            EXPECT_EQ(bench.settings.ReportedEndAddress,
                      bench.Analyzer().LastCapture()->ReportedEnd)
                << config;
        } else {
            EXPECT_EQ(bench.acquisition->AcquisitionStep, CAcquisition::StepWait) << config;
        }
    }
}

TEST(CaptureSequence, FailedSampleReadKeepsTheCaptureBefore)
{
    AcquisitionBench bench(3, "model=3,short=ReadSamples*1");
    bench.SetCounterTrigger();
    // An earlier capture in the ring and its saved copy.
    std::fill(bench.system.SampleBuffer.begin(), bench.system.SampleBuffer.end(), uint8_t{0xAB});
    bench.system.SpareBuffer = bench.system.SampleBuffer;
    const std::vector<uint8_t> ring = bench.system.SampleBuffer;

    bench.acquisition->Run();
    while (bench.CountOf(ReadSamples) < 1)
        bench.Tick(1);
    // Half a memory came back: the ring is the earlier capture still.
    EXPECT_EQ(bench.system.SampleBuffer, ring);
    EXPECT_EQ(bench.window.captures, 0);
    EXPECT_EQ(bench.acquisition->AcquisitionStep, CAcquisition::StepStart);

    bench.TickUntilShown(1);
    EXPECT_TRUE(RingEqualsDevice(bench));
    EXPECT_EQ(bench.record->CaptureValid, 1);
    bench.acquisition->Stop();
}

TEST(CaptureSequence, LastGoodCaptureSurvivesACaptureWhoseTriggerIsNotFound)
{
    AcquisitionBench bench(6, "model=6");
    bench.SetCounterTrigger();
    bench.acquisition->Run();
    bench.TickUntilShown(1);
    ASSERT_EQ(bench.record->CaptureValid, 1);
    const std::vector<uint8_t> ring = bench.system.SampleBuffer;
    const uint32_t trigger = bench.record->TriggerAddress;
    const uint32_t start = bench.record->RecordStart;

    // The next capture is recorded; then its memory loses every edge.
    while (bench.acquisition->AcquisitionStep != CAcquisition::StepWait)
        bench.Tick(1);
    std::fill(bench.Analyzer().Memory().begin(), bench.Analyzer().Memory().end(), uint8_t{0});
    bench.TickUntilShown(2);

    ASSERT_EQ(bench.window.captures, 2);
    EXPECT_EQ(bench.system.SampleBuffer, ring);
    EXPECT_EQ(bench.record->TriggerAddress, trigger);
    EXPECT_EQ(bench.record->RecordStart, start);
    EXPECT_EQ(bench.record->CaptureValid, 1);
    bench.acquisition->Stop();
}

TEST_P(EveryModel, StoredTriggerTypeZeroRunsAndConfirmsAsPatternOne)
{
    // A block from an older project or a parameter file may hold type 0.
    const int model = GetParam();
    AcquisitionBench bench(model, "model=" + std::to_string(model));
    bench.SetCounterTrigger();
    bench.settings.TriggerType = 0;
    bench.acquisition->Run();
    bench.TickUntilShown(2);
    ASSERT_EQ(bench.window.captures, 2);
    ASSERT_TRUE(bench.Analyzer().LastCapture());
    // Each capture is taken, not replaced by the one before.
    EXPECT_EQ(bench.record->TriggerAddress, bench.Analyzer().LastCapture()->TriggerAddress);
    EXPECT_TRUE(RingEqualsDevice(bench));
    EXPECT_EQ(bench.record->CaptureValid, 1);
    bench.acquisition->Stop();
}

TEST(CaptureSequence, SingleRunEndsAfterACaptureWithoutTrigger)
{
    AcquisitionBench bench(4, "model=4");
    bench.SetCounterTrigger();
    bench.acquisition->SingleRun();
    while (bench.acquisition->AcquisitionStep != CAcquisition::StepWait)
        bench.Tick(1);
    std::fill(bench.Analyzer().Memory().begin(), bench.Analyzer().Memory().end(), uint8_t{0});
    bench.Tick();
    EXPECT_EQ(bench.window.captures, 1);
    EXPECT_EQ(bench.record->CaptureValid, 0);
    EXPECT_TRUE(bench.window.Idle());
    EXPECT_FALSE(bench.acquisition->Running);
}

TEST(CaptureSequence, OnlyACheckedBlockSaysTheCaptureIsDone)
{
    AcquisitionBench bench(5, "model=5,corrupt=2");
    bench.SetCounterTrigger();
    // Left from an earlier capture: done, ending somewhere else.
    bench.settings.CaptureDone = 1;
    bench.settings.ReportedEndAddress = 0x1234;
    bench.acquisition->SingleRun();
    bench.Tick();
    EXPECT_EQ(bench.record->CaptureValid, 1);
    EXPECT_EQ(bench.record->TriggerAddress, bench.Analyzer().LastCapture()->TriggerAddress);
    EXPECT_GE(bench.CountOf(ReadBlock), 3);
}

TEST(CaptureSequence, ARunEndedByAFailedTransferIsReportedWhenTheDeviceTurnsOutGone)
{
    AcquisitionBench bench(5, "model=5");
    bench.acquisition->Run();
    bench.Tick(1);
    bench.acquisition->ReportStatus(CEzUsb::StatusFailed);
    EXPECT_TRUE(bench.window.warnings.empty());
    bench.driver->Unplug(0);
    bench.link->PumpEvents(0);
    EXPECT_EQ(bench.window.warnings, std::vector<Warning>{Warning::NoDevice});
    bench.link->PumpEvents(0);
    EXPECT_EQ(bench.window.warnings.size(), 1u);
}

TEST(CaptureSequence, UnpluggingBetweenTicksEndsTheRunWithAMessage)
{
    AcquisitionBench bench(7, "model=7");
    bench.acquisition->Run();
    bench.TickUntilShown(1);
    bench.driver->Unplug(0);
    bench.Tick();
    EXPECT_EQ(bench.window.warnings, std::vector<Warning>{Warning::NoDevice});
    EXPECT_TRUE(bench.window.Idle());
    EXPECT_FALSE(bench.link->Connected);
}

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
