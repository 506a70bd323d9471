// The emulated instrument's trigger unit on edges: the edge code of a sample
// pair on its own, and a falling-edge capture of the UART and CAN lines
// through the whole capture sequence, confirmed by the host's search.

#include "device/TriggerMatcher.h"
#include "tests/analyzer/AcquisitionBench.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class EdgeCodes : public testing::TestWithParam<int>
{
};

// Every condition code of a Pattern 1 channel against the four level pairs
// it can see, on a low, a middle and the top channel of a 32-channel model.
TEST_P(EdgeCodes, PairMatchesOnlyTheLevelsOfItsCode)
{
    const int channel = GetParam();
    struct Case
    {
        uint8_t code;
        bool earlier, later, fires;
    };
    const Case cases[] = {
        {CaptureSettings::Fall, true, false, true},   {CaptureSettings::Fall, true, true, false},
        {CaptureSettings::Fall, false, false, false}, {CaptureSettings::Fall, false, true, false},
        {CaptureSettings::Rise, false, true, true},   {CaptureSettings::Rise, true, true, false},
        {CaptureSettings::Rise, false, false, false}, {CaptureSettings::Rise, true, false, false},
        {CaptureSettings::High, true, true, true},    {CaptureSettings::High, false, true, true},
        {CaptureSettings::High, true, false, false},  {CaptureSettings::Low, false, false, true},
        {CaptureSettings::Low, true, false, true},    {CaptureSettings::Low, false, true, false},
    };
    for (const Case &c : cases) {
        CaptureSettings s;
        s.Condition[0][static_cast<size_t>(channel)] = c.code;
        TriggerMatcher trigger(s, 32);
        // The other channels move against the one watched: they must not matter.
        const uint32_t bit = 1u << channel;
        const uint32_t earlier = c.earlier ? bit : ~bit;
        const uint32_t later = c.later ? 0x5A5A5A5Au | bit : 0x5A5A5A5Au & ~bit;
        const std::string what = "code " + std::to_string(c.code) + ", levels " +
                                 std::to_string(c.earlier) + std::to_string(c.later);
        EXPECT_EQ(trigger.PairMatches(earlier, later), c.fires) << what;
        EXPECT_EQ(trigger.Step(earlier, later), c.fires) << what;
    }
}

INSTANTIATE_TEST_SUITE_P(Channels, EdgeCodes, testing::Values(0, 4, 31));

struct Line
{
    const char *name;
    int model;
    const char *scene; // TRACEMOOR_DEVICE items
    int row;           // time/div row: the sample period
    int channel;
};

class FallingEdgeCapture : public testing::TestWithParam<Line>
{
};

TEST_P(FallingEdgeCapture, IsConfirmedOnAFallOfTheLine)
{
    const Line &c = GetParam();
    AcquisitionBench bench(c.model, "model=" + std::to_string(c.model) + "," + c.scene);
    bench.settings.TriggerType = 1;
    bench.settings.TriggerCondition[0][static_cast<size_t>(c.channel)] = CFile::CondFall;
    bench.window.divIndex = c.row;
    bench.acquisition->SingleRun();
    bench.Tick();
    ASSERT_TRUE(bench.window.warnings.empty());
    ASSERT_EQ(bench.record->CaptureValid, 1);

    const auto &capture = bench.Analyzer().LastCapture();
    ASSERT_TRUE(capture);
    const uint32_t t = bench.record->TriggerAddress;
    EXPECT_EQ(t, capture->TriggerAddress);
    EXPECT_EQ((bench.record->ReadSample(t - 4) >> c.channel) & 1, 1u);
    EXPECT_EQ((bench.record->ReadSample(t) >> c.channel) & 1, 0u);
}

INSTANTIATE_TEST_SUITE_P(Scenes, FallingEdgeCapture,
                         testing::Values(Line{"Uart", 5, "scene=uart,text=Hi,baud=115200", 7, 4},
                                         Line{"Can", 8, "scene=can,data=4869,bitrate=125000", 8,
                                              5}),
                         [](const auto &p) { return std::string(p.param.name); });

} // namespace
