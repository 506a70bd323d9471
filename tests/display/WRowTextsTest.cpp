// Level texts, bus value texts and the shape runs of a waveform row.

#include "display/WRowTexts.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using Spots = std::vector<WRowTexts::Spot>;

struct Row
{
    std::array<uint8_t, 1024> levels{};
    std::array<uint8_t, 1024> shapes{};
    std::array<int32_t, 1024> values{};
    Row() { shapes.fill(255); }
    // Columns from..to (inclusive): level or value v with shape s.
    Row &Set(int from, int to, int v, uint8_t s)
    {
        for (int c = from; c <= to; ++c) {
            levels[static_cast<size_t>(c)] = static_cast<uint8_t>(v);
            values[static_cast<size_t>(c)] = v;
            shapes[static_cast<size_t>(c)] = s;
        }
        return *this;
    }
};

Spots Levels(const Row &r, int first)
{
    Spots out;
    WRowTexts::LevelTexts(r.levels, r.shapes, first, out);
    return out;
}

Spots Bus(const Row &r, int first, int width, int base)
{
    Spots out;
    WRowTexts::BusTexts(r.values, r.shapes, first, width, base, out);
    return out;
}

TEST(LevelTexts, LongRunsAreLabelledAtTheirMiddle)
{
    Row r;
    r.Set(0, 12, 0, 7)     // 13 columns
        .Set(13, 13, 1, 9) // an edge starts the next run
        .Set(14, 25, 1, 4)
        .Set(26, 26, 0, 9) // 12 columns: too short
        .Set(27, 37, 0, 7)
        .Set(38, 38, 1, 9) // 22 columns up to the end of the data
        .Set(39, 59, 1, 4);
    EXPECT_EQ(Levels(r, 0), (Spots{{-14, "0"}, {-4, "1"}, {26, "1"}}));

    // Before the end of the data a run needs 9 columns.
    Row s;
    s.Set(100, 130, 1, 4).Set(131, 131, 0, 9).Set(132, 138, 0, 7);
    EXPECT_EQ(Levels(s, 100), (Spots{{80 + 15, "1"}}));
    s.Set(139, 139, 0, 7);
    EXPECT_EQ(Levels(s, 100), (Spots{{80 + 15, "1"}, {108 + 4, "0"}}));
}

TEST(LevelTexts, ARunOpenAtTheLastColumnIsAlwaysWritten)
{
    Row r;
    r.Set(1000, 1019, 1, 4).Set(1020, 1020, 0, 9).Set(1021, 1023, 0, 7);
    EXPECT_EQ(Levels(r, 1000), (Spots{{980 + 10, "1"}, {997 + 2, "0"}}));

    // A running mark (an active column of the compressed view) is no level.
    Row m;
    m.Set(1000, 1022, 1, 4).Set(1023, 1023, 200, 9);
    EXPECT_EQ(Levels(m, 1000), (Spots{{980 + 11, "1"}}));
}

TEST(LevelTexts, NothingFromColumn1024)
{
    Row r;
    r.Set(0, 1023, 1, 4);
    EXPECT_TRUE(Levels(r, 1024).empty());
    EXPECT_TRUE(Levels(r, 5000).empty());
}

TEST(BusTexts, HexadecimalLabelOfAWidth8BusNeeds35Columns)
{
    Row r;
    r.Set(0, 99, 1, 1)          // 100 columns
        .Set(100, 134, 0x3A, 1) // 35 columns: labelled
        .Set(135, 168, 0x3B, 1) // 34 columns: not
        .Set(169, 1023, 2, 1);  // open after column 1022: the plain form
    EXPECT_EQ(Bus(r, 0, 8, 0), (Spots{{14, "0x01"}, {80, "0x3A"}, {559, "02"}}));
}

TEST(BusTexts, EndOfDataDecimalAndBinary)
{
    Row r;
    r.Set(0, 49, 5, 1); // the data ends at column 50: 9 columns are enough
    EXPECT_EQ(Bus(r, 0, 8, 0), (Spots{{-11, "05"}}));
    Row s;
    s.Set(0, 7, 5, 1);
    EXPECT_TRUE(Bus(s, 0, 8, 0).empty());

    Row d;
    d.Set(10, 49, 200, 1).Set(50, 1023, 7, 1);
    // Decimal, width 8: f = 3, m = 34 (40 columns labelled).
    EXPECT_EQ(Bus(d, 10, 8, 1), (Spots{{-10 + 20 - 12, "200"}, {29 + 486 - 12, "7"}}));
    Row b;
    b.Set(10, 52, 5, 1).Set(53, 1023, 6, 1);
    // Binary, width 4: f = 4, m = 42 (43 columns labelled).
    EXPECT_EQ(Bus(b, 10, 4, 2), (Spots{{-10 + 21 - 16, "0101"}, {32 + 485 - 16, "0110"}}));
}

TEST(BusTexts, ValueTextsAndRunLimits)
{
    struct Case
    {
        uint32_t value;
        int width;
        int base;
        bool labelled;
        const char *text;
    };
    for (const Case &c : std::initializer_list<Case>{{0x3A, 8, 0, true, "0x3A"},
                                                     {0x3A, 8, 0, false, "3A"},
                                                     {5, 3, 0, true, "0x5"},
                                                     {5, 3, 0, false, "05"},
                                                     {0x123, 16, 0, true, "0x0123"},
                                                     {0x1F2, 9, 0, false, "1F2"},
                                                     {200, 8, 1, true, "200"},
                                                     {5, 4, 2, true, "0101"},
                                                     {5, 0, 2, true, ""}})
        EXPECT_EQ(WRowTexts::ValueText(c.value, c.width, c.base, c.labelled), c.text)
            << c.value << " " << c.width << " " << c.base;

    for (auto [width, base, m] : std::initializer_list<std::tuple<int, int, int>>{{8, 0, 34},
                                                                                  {16, 0, 50},
                                                                                  {1, 0, 26},
                                                                                  {2, 1, 18},
                                                                                  {8, 1, 34},
                                                                                  {12, 1, 42},
                                                                                  {14, 1, 50},
                                                                                  {4, 2, 42}})
        EXPECT_EQ(WRowTexts::MinimumRun(width, base), m) << width << " " << base;
}

TEST(ShapeRuns, EqualCodesFormRunsAndEveryEdgeIsItsOwn)
{
    std::array<uint8_t, 1024> shapes{};
    shapes.fill(255);
    for (int c = 0; c <= 3; ++c)
        shapes[static_cast<size_t>(c)] = 7;
    shapes[4] = shapes[5] = 9;
    for (int c = 6; c <= 9; ++c)
        shapes[static_cast<size_t>(c)] = 4;
    shapes[1023] = 4;
    std::vector<std::tuple<int, int, int>> runs;
    WRowTexts::ForEachShapeRun(shapes,
                               [&](int x, int n, int code) { runs.emplace_back(x, n, code); });
    EXPECT_EQ(runs, (std::vector<std::tuple<int, int, int>>{
                        {-20, 3, 7}, {-17, 1, 9}, {-16, 1, 9}, {-15, 4, 4}, {1002, 1, 4}}));
}

} // namespace
