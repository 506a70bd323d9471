// Acquisition control's capture sequence over a window-less bench: a whole
// capture on every model, the status bytes and faults of each step (the
// identity check, the delay and the smaller commands are in
// CAcquisitionSetUpTest.cpp, Auto Scale in CAcquisitionAutoScaleTest.cpp).

#include "AcquisitionBench.h"

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

} // namespace
