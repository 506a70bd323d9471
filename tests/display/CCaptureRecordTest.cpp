#include "display/CCaptureRecord.h"

#include "device/CFile.h"
#include "device/WSystem.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A model-3 ring (512 KiB, 16 channels, search window 10 ahead / 30 back)
// or any other model, with helpers to plant sample words.
class Ring : public testing::Test
{
protected:
    void Use(int model)
    {
        sys.SelectModel(model);
        file.ModelCode = static_cast<uint8_t>(model);
        file.ResetSettings();
        file.MemoryPercent = 5;
        sys.ComputeSplit(2, 3);
        // Zero delay: the post-trigger bytes are exactly the split's.
        file.PostTriggerBytes = static_cast<uint32_t>(sys.SplitTable[0][5]);
        std::fill(sys.SampleBuffer.begin(), sys.SampleBuffer.end(), 0);
    }
    void SetUp() override { Use(3); }

    void Put(uint32_t address, uint32_t word)
    {
        std::memcpy(&sys.SampleBuffer[address & sys.AddressMask], &word, 4);
    }
    // Reported end address that makes the first guess land on `trigger`.
    void ReportTriggerNear(uint32_t trigger)
    {
        file.ReportedEndAddress = (trigger + file.PostTriggerBytes) & sys.AddressMask;
    }

    WSystem sys;
    CFile file;
    CCaptureRecord rec{sys, file};
};

TEST(RingArithmetic, WrapsAtBothEnds)
{
    const uint32_t size = 0x80000;
    EXPECT_EQ(CCaptureRecord::RingForward(size - 4, 4, size), 0u);
    EXPECT_EQ(CCaptureRecord::RingForward(size - 4, 8, size), 4u);
    EXPECT_EQ(CCaptureRecord::RingForward(100, 4, size), 104u);
    EXPECT_EQ(CCaptureRecord::RingForward(size - 4, 4, size, 16), 16u);
    EXPECT_EQ(CCaptureRecord::RingBack(0, 4, size), size - 4);
    EXPECT_EQ(CCaptureRecord::RingBack(4, 4, size), 0u);
    EXPECT_EQ(CCaptureRecord::RingBack(8, 12, size), size - 4);
}

TEST_F(Ring, BitsAndBusValues)
{
    Use(1);
    Put(0x100, 0b1010);
    EXPECT_EQ(rec.ChannelBit(0x100, 1), 1);
    EXPECT_EQ(rec.ChannelBit(0x100, 2), 0);
    EXPECT_EQ(rec.ChannelBit(0x100 + sys.MemorySize, 3), 1);  // masked
    Put(0x104, 1u << 29);
    EXPECT_EQ(rec.ChannelBit(0x104, 29), 1);

    // Members 3, 1, 0: the first listed member is the most significant bit.
    file.BusEntry[2].Members = {3, 1, 0, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32};
    EXPECT_EQ(rec.BusValue(0b1010, 2), 0b110u);
    // The row count marks "none" as well as the channel count.
    file.BusEntry[2].Members.fill(64);
    file.BusEntry[2].Members[0] = 31;
    EXPECT_EQ(rec.BusValue(0x80000000u, 2), 1u);
    // Sixteen members of an all-ones bus.
    for (uint16_t k = 0; k < 16; ++k)
        file.BusEntry[3].Members[k] = k;
    EXPECT_EQ(rec.BusValue(0xFFFFFFFFu, 3), 0xFFFFu);
}

TEST_F(Ring, SixteenChannelModelsIgnoreTheUpperHalf)
{
    Put(0x40, 0xFFFF0000u);
    EXPECT_EQ(rec.ChannelBit(0x40, 16), 0);
    EXPECT_EQ(rec.ChannelBit(0x40, 31), 0);
    file.BusEntry[0].Members = {20, 3, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16};
    EXPECT_EQ(rec.BusValue(0xFFFF0008u, 0), 1u);  // member 20 does not exist here

    // A condition row that would need bit 20 high cannot be met by bit 20.
    file.TriggerType = 1;
    file.TriggerCondition[0][20] = CFile::CondHigh;
    file.TriggerCondition[0][3] = CFile::CondRise;
    EXPECT_TRUE(rec.PairMatches(0x0, 0x8));
    EXPECT_TRUE(rec.PairMatches(0xFFFF0000u, 0x8));
    EXPECT_FALSE(rec.PairMatches(0x8, 0x8));
}

struct TriggerCase
{
    const char *name;
    void (*setup)(CFile &);
    uint32_t before;  // word of the sample before the trigger
    uint32_t at;      // word of the trigger sample (the later one of the pair)
    bool found;
};

class Confirm : public Ring, public testing::WithParamInterface<TriggerCase>
{};

TEST_P(Confirm, FindsThePairAcrossTheWrap)
{
    const TriggerCase &c = GetParam();
    c.setup(file);
    // The trigger sample is the first of the ring and the one before it the
    // last, 12 samples before the first guess; the background is all zero.
    // The trigger sample is a one-sample blip in a steady background.
    const uint32_t trigger = 0;
    for (uint32_t a = trigger - 256; a != trigger + 256; a += 4)
        Put(a, c.before);
    Put(trigger, c.at);
    rec.TriggerAddress = (trigger + 12 * 4) & sys.AddressMask;
    const bool found = rec.ConfirmTrigger();
    EXPECT_EQ(found, c.found) << c.name;
    if (c.found) {
        EXPECT_EQ(rec.TriggerAddress, trigger) << c.name;
    } else {
        EXPECT_EQ(rec.TriggerAddress, trigger + 48) << c.name;  // untouched
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(AllTypes, Confirm, testing::Values(
    TriggerCase{"rising", [](CFile &f) { f.TriggerCondition[0][5] = CFile::CondRise; },
                0x0000, 0x0020, true},
    TriggerCase{"falling", [](CFile &f) { f.TriggerCondition[0][5] = CFile::CondFall; },
                0xFFFF, 0xFFDF, true},
    TriggerCase{"type 0 is pattern 1", [](CFile &f) {
                    f.TriggerType = 0;
                    f.TriggerCondition[0][5] = CFile::CondRise; },
                0x0000, 0x0020, true},
    TriggerCase{"rising with a level", [](CFile &f) {
                    f.TriggerCondition[0][5] = CFile::CondRise;
                    f.TriggerCondition[0][0] = CFile::CondHigh; },
                0x0001, 0x0021, true},
    TriggerCase{"rising but level wrong", [](CFile &f) {
                    f.TriggerCondition[0][5] = CFile::CondRise;
                    f.TriggerCondition[0][0] = CFile::CondLow; },
                0x0001, 0x0021, false},
    TriggerCase{"pattern 2 level", [](CFile &f) {
                    f.TriggerType = 2;
                    f.TriggerCondition[0][1] = CFile::CondHigh;
                    f.TriggerCondition[1][4] = CFile::CondHigh;
                    f.TriggerCondition[1][6] = CFile::CondLow; },
                0x0000, 0x0010, true},
    TriggerCase{"pattern 3 uses row 2", [](CFile &f) {
                    f.TriggerType = 3;
                    f.TriggerCondition[0][1] = CFile::CondHigh;
                    f.TriggerCondition[2][15] = CFile::CondHigh; },
                0x0000, 0x8000, true},
    TriggerCase{"OR: row 3 matches", [](CFile &f) {
                    f.TriggerType = 4;
                    f.TriggerCondition[0][2] = CFile::CondHigh;
                    f.TriggerCondition[0][7] = CFile::CondHigh;
                    f.TriggerCondition[3][9] = CFile::CondRise; },
                0x0000, 0x0200, true},
    TriggerCase{"low pulse ends rising", [](CFile &f) {
                    f.TriggerType = 5; f.PulseChannel = 3; f.PulsePolarity = 1; },
                0x0000, 0x0008, true},
    TriggerCase{"high pulse ends falling", [](CFile &f) {
                    f.TriggerType = 5; f.PulseChannel = 3; f.PulsePolarity = 0; },
                0xFFFF, 0xFFF7, true},
    TriggerCase{"pulse on a channel the model lacks", [](CFile &f) {
                    f.TriggerType = 5; f.PulseChannel = 20; f.PulsePolarity = 1; },
                0x0000, 0xFFFFFFFF, false},
    TriggerCase{"edge code 4 never occurs", [](CFile &f) { f.TriggerCondition[0][5] = 4; },
                0x0000, 0x0020, false}));
// clang-format on

TEST_F(Ring, OrTypeSteadyLevelsUnderAnEdgeColumn)
{
    // In the OR type a level in a column that holds an edge in the other row
    // is compared as a steady level (no change between the pair).
    file.TriggerType = 4;
    file.TriggerCondition[0][9] = CFile::CondHigh;
    file.TriggerCondition[3][9] = CFile::CondRise;
    EXPECT_TRUE(rec.PairMatches(0x200, 0x200));   // steady high: row 0
    EXPECT_TRUE(rec.PairMatches(0x000, 0x200));   // rising: row 3
    EXPECT_FALSE(rec.PairMatches(0x200, 0x000));  // falling: neither
    EXPECT_FALSE(rec.PairMatches(0x000, 0x000));  // steady low: neither
}

TEST_F(Ring, PulseTriggerNeedsARepresentableWidth)
{
    file.TriggerType = 5;
    file.PulseChannel = 3;
    file.PulsePolarity = 1;
    EXPECT_TRUE(rec.PairMatches(0x0, 0x8));
    rec.PulseWidthRepresentable = false;
    EXPECT_FALSE(rec.PairMatches(0x0, 0x8));
    EXPECT_FALSE(rec.TriggerIsDontCare());  // type 5 always has something to find
}

TEST_F(Ring, DontCareAndNotConfirmableChangeNothing)
{
    rec.TriggerAddress = 0x1234;
    EXPECT_TRUE(rec.TriggerIsDontCare());
    EXPECT_TRUE(rec.ConfirmTrigger());
    EXPECT_EQ(rec.TriggerAddress, 0x1234u);
    file.TriggerType = 0; // Pattern 1
    EXPECT_TRUE(rec.TriggerIsDontCare());

    // Type 2 looks at rows 0 and 1 only; the OR row does not count.
    file.TriggerType = 2;
    file.TriggerCondition[3][0] = CFile::CondHigh;
    EXPECT_TRUE(rec.TriggerIsDontCare());
    file.TriggerCondition[1][15] = CFile::CondLow;
    EXPECT_FALSE(rec.TriggerIsDontCare());
    // Channels above the model's count are not looked at.
    file.TriggerCondition[1][15] = CFile::CondX;
    file.TriggerCondition[1][16] = CFile::CondLow;
    EXPECT_TRUE(rec.TriggerIsDontCare());

    file.TriggerCondition[0][2] = CFile::CondRise;
    rec.NotConfirmable = true;
    EXPECT_TRUE(rec.ConfirmTrigger());
    EXPECT_EQ(rec.TriggerAddress, 0x1234u);
}

TEST_F(Ring, SequentialCheckLooksAtTheLastChange)
{
    file.TriggerType = 2;
    file.ContinuousTrigger = 1;
    file.TriggerCondition[0][0] = CFile::CondHigh;  // pattern 1: CH0 high
    file.TriggerCondition[1][4] = CFile::CondHigh;  // pattern 2: CH4 high
    const uint32_t trigger = 0x1000;
    Put(trigger, 0x10);  // pattern 2 holds at this one sample only

    Put(trigger - 4, 0x01);  // the change before it held pattern 1
    rec.TriggerAddress = trigger + 20;
    EXPECT_TRUE(rec.ConfirmTrigger());
    EXPECT_EQ(rec.TriggerAddress, trigger);

    Put(trigger - 4, 0x02);  // it did not
    rec.TriggerAddress = trigger + 20;
    EXPECT_FALSE(rec.ConfirmTrigger());

    // Differences only in bits the 16-channel model lacks are no change.
    Put(trigger - 4, 0xFFFF0010u);
    Put(trigger - 8, 0x01);
    rec.TriggerAddress = trigger + 20;
    EXPECT_TRUE(rec.ConfirmTrigger());
}

TEST_F(Ring, DelayMovesTheTriggerFromTheMatch)
{
    file.TriggerCondition[0][5] = CFile::CondRise;
    const uint32_t trigger = 0x2000;
    Put(trigger, 0x20);
    for (uint32_t a = trigger + 4; a < trigger + 64; a += 4)
        Put(a, 0x20);

    // Positive delay: the device recorded 400 bytes more after the trigger.
    file.PostTriggerBytes += 400;
    rec.TriggerAddress = trigger + 16;
    ASSERT_TRUE(rec.ConfirmTrigger());
    EXPECT_EQ(rec.TriggerAddress, trigger + 400);

    // Negative delay: the time origin is the matching sample itself.
    file.DelayNegative = 1;
    rec.TriggerAddress = trigger + 16;
    ASSERT_TRUE(rec.ConfirmTrigger());
    EXPECT_EQ(rec.TriggerAddress, trigger);
}

TEST_F(Ring, PlaceRecordKeepsTheLastGoodCapture)
{
    Use(1);
    file.TriggerCondition[0][5] = CFile::CondRise;
    rec.DepthIndex = 0;  // 300 samples
    rec.SetTriggerPosition(5);

    // Nothing ever confirmed: nothing is valid.
    ReportTriggerNear(0x3000);
    EXPECT_FALSE(rec.PlaceRecord());
    EXPECT_EQ(rec.CaptureValid, 0);

    // A good capture near the start of the ring.
    const uint32_t trigger = 0x40;
    Put(trigger, 0x20);
    Put(trigger + 4, 0x20);
    ReportTriggerNear(trigger + 8);
    ASSERT_TRUE(rec.PlaceRecord());
    EXPECT_EQ(rec.CaptureValid, 1);
    EXPECT_EQ(rec.TriggerAddress, trigger);
    EXPECT_EQ(rec.DepthSamples, 300u);
    // 150 samples before the trigger: the record starts near the ring's end.
    EXPECT_EQ(rec.RecordStart, (trigger - 600) & sys.AddressMask);
    EXPECT_EQ(rec.SampleAddress(150), trigger);
    EXPECT_EQ(rec.SampleAddress(0), sys.MemorySize - 600 + trigger);
    const auto goodPlacement = std::make_tuple(rec.RecordStart, rec.TriggerAddress,
                                               rec.EndAddress);

    // A capture without the edge: the ring and the addresses come back.
    std::fill(sys.SampleBuffer.begin(), sys.SampleBuffer.end(), 0x55);
    ReportTriggerNear(0x9000);
    EXPECT_FALSE(rec.PlaceRecord());
    EXPECT_EQ(rec.CaptureValid, 1);
    EXPECT_EQ(std::make_tuple(rec.RecordStart, rec.TriggerAddress, rec.EndAddress),
              goodPlacement);
    EXPECT_EQ(rec.ReadSample(trigger), 0x20u);
}

TEST_F(Ring, RestoreDoesNotMoveADelayedTriggerAgain)
{
    Use(1);
    file.TriggerCondition[0][5] = CFile::CondRise;
    file.PostTriggerBytes += 800;  // positive delay
    const uint32_t edge = 0x10000;
    for (uint32_t a = edge; a < edge + 0x2000; a += 4)
        Put(a, 0x20);
    file.ReportedEndAddress = edge + file.PostTriggerBytes;
    ASSERT_TRUE(rec.PlaceRecord());
    EXPECT_EQ(rec.TriggerAddress, edge + 800);

    std::fill(sys.SampleBuffer.begin(), sys.SampleBuffer.end(), 0);
    file.ReportedEndAddress = 0x30000;
    EXPECT_FALSE(rec.PlaceRecord());
    EXPECT_EQ(rec.TriggerAddress, edge + 800);
}

TEST_F(Ring, DemoWindowWalksTheWholeRing)
{
    Use(0);  // reach-back of 0x1FFFFF samples: several laps of a 2 MiB ring
    file.TriggerCondition[0][31] = CFile::CondRise;
    Put(0x100, 0x80000000u);
    Put(0x104, 0x80000000u);
    rec.TriggerAddress = 0x200;  // the edge lies just behind the starting point
    ASSERT_TRUE(rec.ConfirmTrigger());
    EXPECT_EQ(rec.TriggerAddress, 0x100u);

    std::fill(sys.SampleBuffer.begin(), sys.SampleBuffer.end(), 0);
    EXPECT_FALSE(rec.ConfirmTrigger());
}

TEST_F(Ring, ValidityFollowsDepthAndPosition)
{
    Use(1);
    rec.DepthIndex = 3;
    rec.SetTriggerPosition(2);
    ReportTriggerNear(0x100);
    ASSERT_TRUE(rec.PlaceRecord());  // all don't care
    rec.CaptureValidAtReadout = rec.CaptureValid;

    rec.SetDepthAndPosition(4, 2);
    EXPECT_EQ(rec.CaptureValid, 0);
    rec.SetDepthAndPosition(3, 7);
    EXPECT_EQ(rec.CaptureValid, 0);
    rec.SetDepthAndPosition(3, 2);
    EXPECT_EQ(rec.CaptureValid, 1);
    EXPECT_EQ(rec.PreTriggerPercent, 20);
    EXPECT_EQ(rec.PostTriggerPercent, 80);
}

TEST_F(Ring, DemoRunPattern)
{
    Use(0);
    rec.FillDemoRun();
    EXPECT_EQ(rec.ReadSample(32 * 7 + 4), 7u * 0x10001u);
    EXPECT_EQ(rec.ReadSample(32 * 65535 + 28), 65535u * 0x10001u);
    uint32_t spare = 0;
    std::memcpy(&spare, &sys.SpareBuffer[32 * 9], 4);
    EXPECT_EQ(spare, 9u * 0x10001u);
}

}  // namespace
