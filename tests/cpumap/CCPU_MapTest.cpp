// The CPU memory map over small hand-made bus captures: which samples are
// cycles, what they draw, count and log, the bars of the charts and the
// pointer read-out.

#include "cpumap/CCPU_Map.h"

#include "CpuMapCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace cpumap_test;

namespace {

using R = CpuBusCycle::Region;

struct StepCase
{
    const char *Name;
    std::vector<uint32_t> Words;
    uint32_t Before;
    int Channels;
    std::vector<std::string> Log; // every group enabled, stepped to the end
    friend void PrintTo(const StepCase &c, std::ostream *os) { *os << c.Name; }
};

class StepLog : public testing::TestWithParam<StepCase>
{
};

TEST_P(StepLog, LogsEveryCycleOncePerEnabledGroup)
{
    const StepCase &c = GetParam();
    CpuCapture capture(c.Words, c.Before, c.Channels);
    CCPU_Map map;
    int steps = 0;
    while (map.Step(capture.window))
        ASSERT_LT(++steps, 100);
    EXPECT_FALSE(map.Step(capture.window)) << "past the last cycle nothing is logged";
    EXPECT_EQ(map.Log(), c.Log);
    map.Start(capture.window);
    EXPECT_EQ(map.Cycles(), c.Log.size() / 3) << "Start finds the cycles Step walks";
}

std::vector<uint32_t> Words(std::initializer_list<uint32_t> w)
{
    return w;
}

const uint32_t ReadLow = Bus(0x12, true, false, R::ROM1);
const uint32_t BothLow = Bus(0x8001, true, true, R::RAM1);

INSTANTIATE_TEST_SUITE_P(
    Cycles, StepLog,
    testing::Values(
        StepCase{"no strobe edges", Words({Idle, Idle, Bus(5, false, false), Idle}), Idle, 32, {}},
        StepCase{"strobes held low all along", Words({BothLow, BothLow}), BothLow, 32, {}},
        StepCase{"a read strobe rising starts nothing", Words({ReadLow, Idle}), ReadLow, 32, {}},
        StepCase{"read and write strobes falling together are one write",
                 Words({Idle, BothLow, BothLow, Idle}),
                 Idle,
                 32,
                 {"Step: 1  ROM:Write , Address: 8001", "Step: 1  RAM:Write , Address: 8001",
                  " >> Step: 1  IO:Write , Address: 8001"}},
        StepCase{"a read, then a write while the read strobe stays low",
                 Words({Idle, ReadLow, Bus(0x12, true, true, R::ROM1), Idle}),
                 Idle,
                 32,
                 {"Step: 1  ROM:Read , Address: 0012", "Step: 1  RAM:Read , Address: 0012",
                  "Step: 1  IO:Read , Address: 0012", "Step: 2  ROM:Write , Address: 0012",
                  "Step: 2  RAM:Write , Address: 0012", " >> Step: 2  IO:Write , Address: 0012"}},
        StepCase{"all selects high still log a line per group",
                 Words({Idle, Bus(0xABCD, true, false)}),
                 Idle,
                 32,
                 {"Step: 1  ROM:Read , Address: ABCD", "Step: 1  RAM:Read , Address: ABCD",
                  " >> Step: 1  IO:Read , Address: ABCD"}},
        StepCase{"the first sample falls against the sample before the window",
                 Words({ReadLow, Idle}),
                 Idle,
                 32,
                 {"Step: 1  ROM:Read , Address: 0012", "Step: 1  RAM:Read , Address: 0012",
                  " >> Step: 1  IO:Read , Address: 0012"}},
        StepCase{"a 16-channel model has no strobes",
                 Words({Idle, ReadLow, Idle, BothLow}),
                 Idle,
                 16,
                 {}}));

// The pixel at an address's cell position.
TColor At(const CCPU_Map &map, uint32_t address)
{
    return map.Image().Map().Pixel(CpuMapImage::CellX(address), CpuMapImage::CellY(address));
}

TEST(CpuMap, StartMarksAndCountsOnlyEnabledSelectedRegions)
{
    std::vector<uint32_t> w;
    Cycle(w, 0x1234, false, R::ROM1);
    Cycle(w, 0x1236, false, R::ROM1);
    Cycle(w, 0x8000, true, R::RAM1);
    Cycle(w, 0x8004, false, R::RAM1);
    Cycle(w, 0xC000, false, R::IO1);
    Cycle(w, 0xE000, true, R::IO2);
    Cycle(w, 0x4000, false, -1);
    CpuCapture capture(w);
    CCPU_Map map;
    map.BlockSize = 1024;
    map.Enabled[CCPU_Map::IO2_R] = map.Enabled[CCPU_Map::IO2_W] = false;
    map.Start(capture.window);

    EXPECT_EQ(map.Cycles(), 7u);
    EXPECT_EQ(map.Histogram(R::ROM1)[4], 2u) << "0x1234 lies in block 4 of 1K";
    EXPECT_EQ(map.Histogram(R::RAM1)[0x20], 2u);
    EXPECT_EQ(map.Histogram(R::IO1)[0x30], 1u);
    EXPECT_EQ(map.Histogram(R::IO2)[0x38], 0u) << "I/O#2 is switched off";
    EXPECT_EQ(At(map, 0x1234), map.Colors[CCPU_Map::ROM1_R]);
    EXPECT_EQ(At(map, 0x8000), map.Colors[CCPU_Map::RAM1_W]);
    EXPECT_EQ(At(map, 0x8004), map.Colors[CCPU_Map::RAM1_R]);
    EXPECT_EQ(At(map, 0xC000), map.Colors[CCPU_Map::IO1_R]);
    EXPECT_EQ(At(map, 0xE000), CpuMapImage::White);
    EXPECT_EQ(At(map, 0x4000), CpuMapImage::White) << "no select, no mark";
    EXPECT_TRUE(map.ChartBuilt(CCPU_Map::IoGroup)) << "I/O#1 is still on";

    const auto bars = map.Bars(R::ROM1);
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_EQ(bars[0].Label, "00000-00FFF");
    EXPECT_EQ(bars[0].Value, 0u);
    EXPECT_EQ(bars[0].Color, CpuMapImage::White);
    EXPECT_EQ(bars[1].Label, "01000-013FF");
    EXPECT_EQ(bars[1].Value, 2u);
    EXPECT_EQ(bars[1].Color, map.Colors[CCPU_Map::ROM1_R]);
    EXPECT_EQ(bars[2].Label, "01400-1FFFF") << "the empty run up to the map's end";
}

TEST(CpuMap, TheRomTraceJoinsConsecutiveRomCellsWhenLineIsOn)
{
    std::vector<uint32_t> w;
    Cycle(w, 0x0010, false, R::ROM1);
    Cycle(w, 0x0030, false, R::ROM2);
    CpuCapture capture(w);
    for (bool line : {true, false}) {
        CCPU_Map map;
        map.Enabled[CCPU_Map::Line] = line;
        map.Start(capture.window);
        // Half way between the cells of 0x10 and 0x30, on their row.
        const TColor between = map.Image().Map().Pixel(CpuMapImage::CellX(0x20), 1);
        EXPECT_EQ(between, line ? map.Colors[CCPU_Map::Line] : CpuMapImage::White) << line;
        EXPECT_EQ(At(map, 0x30), map.Colors[CCPU_Map::ROM2_R]) << "the square over the line";
    }
}

TEST(CpuMap, NoEdgesLeaveTheGridAndOneEmptyBarPerSeries)
{
    CpuCapture capture({Idle, Idle, Idle});
    CCPU_Map map;
    map.Start(capture.window);
    CpuMapImage grid;
    grid.Rebuild(map.MapSize());
    EXPECT_TRUE(map.Image().Map() == grid.Map());
    EXPECT_EQ(map.Image().Map().Pixel(CpuMapImage::CellX(128), 0), CpuMapImage::GridGrey);
    EXPECT_EQ(map.Image().Map().Pixel(0, 64), CpuMapImage::GridGrey) << "every 8192 addresses";
    for (int r = 0; r < CpuBusCycle::RegionCount; ++r) {
        const auto bars = map.Bars(r);
        ASSERT_EQ(bars.size(), 1u);
        EXPECT_EQ(bars[0].Label, "00000-1FFFF");
    }
}

TEST(CpuMap, StepMarksTheNewestLineAndClearLeavesStepMode)
{
    std::vector<uint32_t> w;
    Cycle(w, 0x8000, true, R::RAM1);
    Cycle(w, 0x8001, false, R::RAM1);
    CpuCapture capture(w);
    CCPU_Map map;
    map.Enabled.fill(false);
    map.Enabled[CCPU_Map::RAM1_W] = true;
    ASSERT_TRUE(map.Step(capture.window));
    EXPECT_EQ(map.Log(), std::vector<std::string>{" >> Step: 1  RAM:Write , Address: 8000"});
    EXPECT_EQ(At(map, 0x8000), map.Colors[CCPU_Map::RAM1_W]);
    ASSERT_TRUE(map.Step(capture.window));
    EXPECT_EQ(map.Log(), (std::vector<std::string>{"Step: 1  RAM:Write , Address: 8000",
                                                   " >> Step: 2  RAM:Read , Address: 8001"}));
    EXPECT_FALSE(map.Step(capture.window));
    map.ClearImages();
    EXPECT_FALSE(map.Stepping());
    EXPECT_TRUE(map.Log().empty());
    EXPECT_EQ(At(map, 0x8000), CpuMapImage::White);
    ASSERT_TRUE(map.Step(capture.window)) << "stepping starts again at the first cycle";
    EXPECT_EQ(map.StepCount(), 1);
}

// Which of the 3 x 3 pixels around a cell position a mark sets, row by row.
struct ShapeCase
{
    int Region;
    const char *Pixels;
};

TEST(CpuMap, EachGroupDrawsItsOwnMark)
{
    const ShapeCase cases[] = {
        {R::ROM1, "###|###|###"}, {R::RAM2, ".#.|###|.#."}, {R::IO1, "#.#|.#.|#.#"}};
    for (const auto &c : cases) {
        std::vector<uint32_t> w;
        Cycle(w, 0x0208, false, c.Region); // cell position (9, 5)
        CpuCapture capture(w);
        CCPU_Map map;
        map.Start(capture.window);
        std::string pixels;
        for (int y = 4; y <= 6; ++y) {
            for (int x = 8; x <= 10; ++x)
                pixels += map.Image().Map().Pixel(x, y) == CpuMapImage::White ? '.' : '#';
            pixels += y < 6 ? "|" : "";
        }
        EXPECT_EQ(pixels, c.Pixels) << c.Region;
    }
}

struct PointerCase
{
    int X, Y;
    const char *Text;
};

TEST(CpuMap, PointerReadOutNamesTheCellsFourAddresses)
{
    const PointerCase cases[] = {
        {9, 13, "608 - 60B"}, {0, 0, "0 - 3"}, {511, 3, "1FC - 1FF"}, {4, 1023, "1FE04 - 1FE07"}};
    for (const auto &c : cases)
        EXPECT_EQ(CpuMapImage::RangeText(c.X, c.Y), c.Text) << c.X << "," << c.Y;
}

TEST(CpuMap, TextsOfTheLabelsAndBars)
{
    EXPECT_EQ(CpuMapImage::LabelText(0), "0x00000");
    EXPECT_EQ(CpuMapImage::LabelText(0x20000), "0x20000");
    EXPECT_EQ(CCPU_Map::BarText(0, 1, 8, 16), "12.5%");
    EXPECT_EQ(CCPU_Map::BarText(1, 37, 40, 80), "37");
    EXPECT_EQ(CCPU_Map::BarText(2, 4, 8, 16), "4 (25.0%)");
    EXPECT_EQ(CCPU_Map::BarText(0, 0, 0, 0), "0.0%");
}

TEST(CpuMap, EightAddressBitsMakeTheSmallMap)
{
    CpuCapture capture({Idle, Bus(0x1FF, true, false, R::ROM1), Idle});
    CCPU_Map map(0);
    map.Start(capture.window);
    EXPECT_EQ(map.Image().Map().Height(), 256);
    EXPECT_EQ(map.Image().Labels().Height(), 256);
    EXPECT_EQ(map.Histogram(R::ROM1)[0], 1u) << "0x1FF read through 8 lines is 0xFF";
    EXPECT_EQ(At(map, 0xFF), map.Colors[CCPU_Map::ROM1_R]);
}

} // namespace
