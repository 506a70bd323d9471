#include "plot/Plotrune.h"

#include "tests/plot/PlotTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

using PlotTest::AddColumn;
using PlotTest::AddRow;
using PlotTest::PixelSet;
using PlotTest::SetPixels;

namespace {

constexpr TColor White = 0xFFFFFF;

TBitmap StripBitmap(int width = 40, int height = 30)
{
    TBitmap bitmap(width, height);
    bitmap.Canvas().Pen.Color = White;
    return bitmap;
}

// The ramps below run 10 columns over a height of 5: step i moves the minor
// coordinate by round(i ÷ 2) with halves rounded towards the start, so by i div 2.
constexpr int X = 5;
constexpr int Y = 15;
constexpr int N = 10;
constexpr int H = 5;

void AddRamp(PixelSet &set, int yStart, int direction)
{
    for (int i = 0; i < N; ++i)
        set.insert({X + i, yStart + direction * (i / 2)});
}

struct CodeCase
{
    const char *name;
    int32_t code;
    std::function<void(PixelSet &)> expect;
};

std::vector<CodeCase> CodeCases()
{
    return {
        {"Code0_BusOpening", 0, [](PixelSet &s) { AddRamp(s, Y, -1), AddRamp(s, Y, +1); }},
        {"Code1_BusBody", 1,
         [](PixelSet &s) {
             AddRow(s, X, X + N - 1, Y - H);
             AddRow(s, X, X + N - 1, Y + H);
             AddRow(s, X, X + N - 1, Y + H - 1);
         }},
        {"Code2_BusClosing", 2, [](PixelSet &s) { AddRamp(s, Y - H, +1), AddRamp(s, Y + H, -1); }},
        {"Code3_RampUpFromMiddle", 3, [](PixelSet &s) { AddRamp(s, Y, -1); }},
        {"Code4_High", 4, [](PixelSet &s) { AddRow(s, X, X + N - 1, Y - H); }},
        {"Code5_RampHighToMiddle", 5, [](PixelSet &s) { AddRamp(s, Y - H, +1); }},
        {"Code6_RampMiddleDown", 6, [](PixelSet &s) { AddRamp(s, Y, +1); }},
        {"Code7_LowTwoThick", 7,
         [](PixelSet &s) {
             AddRow(s, X, X + N - 1, Y + H);
             AddRow(s, X, X + N - 1, Y + H - 1);
         }},
        {"Code8_RampLowToMiddle", 8, [](PixelSet &s) { AddRamp(s, Y + H, -1); }},
        {"Code9_FilledBand", 9,
         [](PixelSet &s) {
             for (int i = 0; i < N; ++i)
                 AddColumn(s, X + i, Y - H, Y + H - 1); // end pixel y + h not set
         }},
        {"Code10_ThinBand", 10,
         [](PixelSet &s) {
             for (int i = 0; i < N; ++i)
                 AddColumn(s, X + i, Y - 1, Y);
         }},
        {"Code11_Nothing", 11, [](PixelSet &) {}},
        {"Code255_NoData", 255, [](PixelSet &) {}},
        {"CodeMinus1_Nothing", -1, [](PixelSet &) {}},
        {"CodeIntMin_Nothing", INT_MIN, [](PixelSet &) {}},
    };
}

void PrintTo(const CodeCase &c, std::ostream *os)
{
    *os << c.name;
}

class DrawGraphInformationCode : public testing::TestWithParam<CodeCase>
{
};

TEST_P(DrawGraphInformationCode, SetsExactlyTheTablesLines)
{
    TBitmap bitmap = StripBitmap();
    Plotrune().DrawGraphInformation(&bitmap, X, Y, N, H, GetParam().code);
    PixelSet expected;
    GetParam().expect(expected);
    EXPECT_EQ(SetPixels(bitmap), expected);
    for (const auto &[x, y] : SetPixels(bitmap))
        EXPECT_EQ(bitmap.Pixel(x, y), White) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Plotrune, DrawGraphInformationCode, testing::ValuesIn(CodeCases()),
                         [](const auto &test) { return std::string(test.param.name); });

// Length 0: the lines of codes 0..8 have no width; those that are not
// horizontal still cover their vertical extent (end pixel excluded).
struct ZeroLengthCase
{
    int32_t code;
    std::vector<int> rows; // rows set in column X
};

void PrintTo(const ZeroLengthCase &c, std::ostream *os)
{
    *os << "code " << c.code;
}

class DrawGraphInformationZeroLength : public testing::TestWithParam<ZeroLengthCase>
{
};

TEST_P(DrawGraphInformationZeroLength, DrawsTheDegenerateLines)
{
    TBitmap bitmap = StripBitmap();
    Plotrune().DrawGraphInformation(&bitmap, X, Y, 0, H, GetParam().code);
    PixelSet expected;
    for (int row : GetParam().rows)
        expected.insert({X, row});
    EXPECT_EQ(SetPixels(bitmap), expected);
}

std::vector<int> Span(int from, int to)
{
    std::vector<int> rows;
    for (int r = from; r <= to; ++r)
        rows.push_back(r);
    return rows;
}

std::vector<int> Without(std::vector<int> rows, int row)
{
    std::erase(rows, row);
    return rows;
}

INSTANTIATE_TEST_SUITE_P(
    Plotrune, DrawGraphInformationZeroLength,
    testing::Values(ZeroLengthCase{0, Span(Y - H + 1, Y + H - 1)}, // (x,y)→(x,y∓h)
                    ZeroLengthCase{1, {}}, ZeroLengthCase{2, Without(Span(Y - H, Y + H), Y)},
                    ZeroLengthCase{3, Span(Y - H + 1, Y)}, ZeroLengthCase{4, {}},
                    ZeroLengthCase{5, Span(Y - H, Y - 1)}, ZeroLengthCase{6, Span(Y, Y + H - 1)},
                    ZeroLengthCase{7, {}}, ZeroLengthCase{8, Span(Y + 1, Y + H)},
                    ZeroLengthCase{9, {}}, ZeroLengthCase{10, {}}),
    [](const auto &test) { return "Code" + std::to_string(test.param.code); });

TEST(Plotrune, Code9WithLengthThreeFillsThreeColumns)
{
    TBitmap bitmap = StripBitmap();
    Plotrune().DrawGraphInformation(&bitmap, 10, 12, 3, 4, 9);
    PixelSet expected;
    for (int column : {10, 11, 12})
        AddColumn(expected, column, 12 - 4, 12 + 4 - 1);
    EXPECT_EQ(SetPixels(bitmap), expected);
}

TEST(Plotrune, PenWidthTwoThickensEveryLine)
{
    TBitmap bitmap = StripBitmap();
    bitmap.Canvas().Pen.Width = 2;
    Plotrune().DrawGraphInformation(&bitmap, X, Y, N, H, 4);  // rows y − h − 1 and y − h
    Plotrune().DrawGraphInformation(&bitmap, 20, Y, 3, H, 9); // columns 19 .. 22
    PixelSet expected;
    AddRow(expected, X, X + N - 1, Y - H - 1);
    AddRow(expected, X, X + N - 1, Y - H);
    for (int column = 19; column <= 22; ++column)
        AddColumn(expected, column, Y - H, Y + H - 1);
    EXPECT_EQ(SetPixels(bitmap), expected);
}

TEST(Plotrune, DottedPenDrawsTheDotPattern)
{
    TBitmap bitmap = StripBitmap();
    bitmap.Canvas().Pen.Style = TPenStyle::Dot;
    Plotrune().DrawGraphInformation(&bitmap, 0, 10, 20, 5, 4);
    PixelSet expected;
    for (int x : {0, 1, 2, 6, 7, 8, 12, 13, 14, 18, 19})
        expected.insert({x, 5});
    EXPECT_EQ(SetPixels(bitmap), expected);
}

TEST(Plotrune, NeverChangesPenBrushOrFont)
{
    TBitmap bitmap = StripBitmap();
    TCanvas &canvas = bitmap.Canvas();
    canvas.Pen = {0x123456, TPenStyle::DashDot, 3};
    canvas.Brush = {0x654321, TBrushStyle::Clear};
    canvas.Font = {"Courier", 12, 0x00FF00, true};
    const TPen pen = canvas.Pen;
    const TBrush brush = canvas.Brush;
    const TFont font = canvas.Font;
    const std::vector<int32_t> values = {4, 9, 7, 0, 1, 2, 3, 5, 6, 8, 10, 255};
    for (int32_t code = -1; code <= 12; ++code)
        Plotrune().DrawGraphInformation(&bitmap, 3, 15, 7, 6, code);
    Plotrune().DrawGraphInfArray(&bitmap, 0, 15, 6, 0, 10, 12, values.data());
    EXPECT_EQ(canvas.Pen, pen);
    EXPECT_EQ(canvas.Brush, brush);
    EXPECT_EQ(canvas.Font, font);
}

TEST(Plotrune, NullBitmapDrawsNothing)
{
    const std::vector<int32_t> values = {4, 7, 4};
    Plotrune().DrawGraphInformation(nullptr, 0, 0, 10, 5, 9);
    Plotrune().DrawGraphInfArray(nullptr, 0, 10, 5, 0, 2, 3, values.data());
    SUCCEED();
}

// --- clipping ----------------------------------------------------------------

TEST(PlotruneClipping, FirstRunOfAWaveformRowStartsLeftOfTheBitmap)
{
    TBitmap bitmap = StripBitmap();
    Plotrune().DrawGraphInformation(&bitmap, -20, 15, 30, 5, 4); // columns −20 .. 9
    PixelSet expected;
    AddRow(expected, 0, 9, 10);
    EXPECT_EQ(SetPixels(bitmap), expected);
}

TEST(PlotruneClipping, RampsCutByTheEdgeKeepTheirPixels)
{
    // The same runs drawn on a bitmap large enough to hold them whole, then
    // cut to the small one, must give the small one's pixels.
    for (int32_t code = 0; code <= 10; ++code) {
        for (int width : {1, 2, 3}) {
            TBitmap small = StripBitmap();
            TBitmap large = StripBitmap(200, 150);
            small.Canvas().Pen.Width = large.Canvas().Pen.Width = width;
            const int offsetX = 80;
            const int offsetY = 60;
            for (const auto &[x, y, n, h] :
                 {std::tuple{-20, 15, 30, 8}, std::tuple{33, 3, 21, 9}, std::tuple{-7, 26, 13, 11},
                  std::tuple{-30, -5, 11, 4}, std::tuple{10, 40, 9, 12}}) {
                Plotrune().DrawGraphInformation(&small, x, y, n, h, code);
                Plotrune().DrawGraphInformation(&large, x + offsetX, y + offsetY, n, h, code);
            }
            EXPECT_EQ(PlotTest::Picture(small),
                      PlotTest::Picture(PlotTest::Crop(large, offsetX, offsetY, 40, 30)))
                << "code " << code << " width " << width;
        }
    }
}

TEST(PlotruneClipping, RunsWhollyOutsideSetNothing)
{
    TBitmap bitmap = StripBitmap();
    for (int32_t code = 0; code <= 10; ++code) {
        Plotrune().DrawGraphInformation(&bitmap, -60, 15, 30, 5, code); // left
        Plotrune().DrawGraphInformation(&bitmap, 40, 15, 30, 5, code);  // right
        Plotrune().DrawGraphInformation(&bitmap, 5, -20, 30, 5, code);  // above
        Plotrune().DrawGraphInformation(&bitmap, 5, 50, 30, 5, code);   // below
        Plotrune().DrawGraphInformation(&bitmap, 5, 15, -30, 5, code);  // back to x = −25
    }
    // Only the last runs, drawn leftwards from x = 5, reach inside.
    for (const auto &[x, y] : SetPixels(bitmap))
        EXPECT_LE(x, 5) << x << "," << y;
    TBitmap outside = StripBitmap();
    for (int32_t code = 0; code <= 10; ++code) {
        Plotrune().DrawGraphInformation(&outside, -60, 15, 30, 5, code);
        Plotrune().DrawGraphInformation(&outside, 40, 15, 30, 5, code);
        Plotrune().DrawGraphInformation(&outside, 5, -20, 30, 5, code);
        Plotrune().DrawGraphInformation(&outside, 5, 50, 30, 5, code);
    }
    EXPECT_TRUE(SetPixels(outside).empty());
}

TEST(PlotruneClipping, ExtremeArgumentsStayInsideAndFinishQuickly)
{
    TBitmap bitmap = StripBitmap();
    // A band over the whole width from far left to far right.
    Plotrune().DrawGraphInformation(&bitmap, -1000000000, 15, 2000000000, 5, 9);
    PixelSet expected;
    for (int x = 0; x < 40; ++x)
        AddColumn(expected, x, 10, 19);
    EXPECT_EQ(SetPixels(bitmap), expected);
    for (int32_t code = 0; code <= 10; ++code) {
        for (const auto &[x, y, n, h] :
             {std::tuple{INT_MIN, INT_MIN, INT_MAX, INT_MAX},
              std::tuple{INT_MAX, INT_MAX, INT_MAX, 1}, std::tuple{INT_MIN, 15, INT_MAX, INT_MIN},
              std::tuple{0, 15, INT_MAX, INT_MAX}, std::tuple{39, 0, INT_MIN, 7}}) {
            Plotrune().DrawGraphInformation(&bitmap, x, y, n, h, code);
        }
    }
    SUCCEED(); // no write outside the bitmap (checked by the sanitizer build)
}

// --- DrawGraphInfArray ---------------------------------------------------------

TEST(PlotruneArray, HighRunThenLowRun)
{
    // Values 4, 4, 4, 7, 7 from start 0, count 4, limit 5: a high line of
    // length 2 at x, then a low line of length 2 at x + 2.
    const std::vector<int32_t> values = {4, 4, 4, 7, 7};
    TBitmap walked = StripBitmap();
    Plotrune().DrawGraphInfArray(&walked, 10, 15, 5, 0, 4, 5, values.data());

    PixelSet expected;
    AddRow(expected, 10, 11, 10); // high: row y − h
    AddRow(expected, 12, 13, 20); // low: rows y + h and y + h − 1
    AddRow(expected, 12, 13, 19);
    EXPECT_EQ(SetPixels(walked), expected);

    TBitmap direct = StripBitmap();
    Plotrune().DrawGraphInformation(&direct, 10, 15, 2, 5, 4);
    Plotrune().DrawGraphInformation(&direct, 12, 15, 2, 5, 7);
    EXPECT_EQ(walked, direct);
}

TEST(PlotruneArray, StartAtOrPastLimitDrawsNothing)
{
    const std::vector<int32_t> values = {9, 9, 9, 9, 9};
    for (int32_t start : {5, 6, 100}) {
        TBitmap bitmap = StripBitmap();
        Plotrune().DrawGraphInfArray(&bitmap, 0, 15, 5, start, 4, 5, values.data());
        EXPECT_TRUE(SetPixels(bitmap).empty()) << start;
    }
    TBitmap bitmap = StripBitmap();
    Plotrune().DrawGraphInfArray(&bitmap, 0, 15, 5, -1, 4, 5, values.data());
    EXPECT_TRUE(SetPixels(bitmap).empty()) << "negative start";
}

TEST(PlotruneArray, PendingRunIsSkippedWhenXEqualsCountPlusOne)
{
    // From x = 3 the high run of length 2 leaves x at 5 = count + 1, so the
    // low run still pending at the end is not drawn.
    const std::vector<int32_t> values = {4, 4, 4, 7, 7};
    TBitmap bitmap = StripBitmap();
    Plotrune().DrawGraphInfArray(&bitmap, 3, 15, 5, 0, 4, 5, values.data());
    PixelSet expected;
    AddRow(expected, 3, 4, 10);
    EXPECT_EQ(SetPixels(bitmap), expected);
}

TEST(PlotruneArray, CountEndsTheWalk)
{
    // count 2: at most three entries after the first one are compared.
    const std::vector<int32_t> values = {4, 4, 4, 4, 7, 7, 7, 7};
    TBitmap bitmap = StripBitmap();
    Plotrune().DrawGraphInfArray(&bitmap, 10, 15, 5, 0, 2, 8, values.data());
    PixelSet expected;
    AddRow(expected, 10, 12, 10);
    EXPECT_EQ(SetPixels(bitmap), expected);
}

TEST(PlotruneArray, WalkFromAnOffsetDrawsEveryRunAtItsColumn)
{
    // From index 2: 4 4 4 | 9 | 4 -> high (2 columns, first run one short),
    // band (1), high (1, the pending run).
    const std::vector<int32_t> values = {7, 7, 4, 4, 4, 9, 4};
    TBitmap bitmap = StripBitmap();
    Plotrune().DrawGraphInfArray(&bitmap, 10, 15, 5, 2, 10, 7, values.data());
    PixelSet expected;
    AddRow(expected, 10, 11, 10);
    AddColumn(expected, 12, 10, 19);
    expected.insert({13, 10});
    EXPECT_EQ(SetPixels(bitmap), expected);
}

TEST(PlotruneArray, LastEntryAsStartDrawsOnlyTheEmptyPendingRun)
{
    // start = limit − 1: no entry after the first one is read (the array ends at
    // limit); the pending run has length 0, which for code 0 is a vertical stroke.
    const std::vector<int32_t> values = {4, 0};
    TBitmap bitmap = StripBitmap();
    Plotrune().DrawGraphInfArray(&bitmap, 10, 15, 5, 1, 1024, 2, values.data());
    PixelSet expected;
    AddColumn(expected, 10, 11, 19);
    EXPECT_EQ(SetPixels(bitmap), expected);
}

// The walk in its classic do-while form, for arrays that
// reach past every index it can read.
void ReferenceWalk(TBitmap &bitmap, int32_t x, int32_t y, int32_t h, int32_t start, int32_t count,
                   int32_t limit, const int32_t *values)
{
    if (start >= limit)
        return;
    int32_t cur = values[start];
    int32_t run = 0;
    int32_t i = start + 1;
    int32_t steps = 0;
    do {
        const int32_t next = values[i];
        if (next == cur) {
            run += 1;
        } else {
            Plotrune().DrawGraphInformation(&bitmap, x, y, run, h, cur);
            x += run;
            run = 1;
            cur = next;
        }
        steps += 1;
        i += 1;
    } while (steps < count + 1 && i < limit);
    if (x != count + 1)
        Plotrune().DrawGraphInformation(&bitmap, x, y, run, h, cur);
}

TEST(PlotruneArray, WalkStopsAtLimitWhenCountReachesFurther)
{
    // The array holds exactly `limit` entries; count would allow 1025 steps.
    const std::vector<int32_t> values = {7, 7, 7, 4, 4, 9, 9, 7, 4, 4};
    TBitmap walked = StripBitmap();
    Plotrune().DrawGraphInfArray(&walked, 2, 15, 5, 3, 1024, 10, values.data());
    TBitmap reference = StripBitmap();
    ReferenceWalk(reference, 2, 15, 5, 3, 1024, 10, values.data());
    EXPECT_EQ(walked, reference);
    // 4 4 | 9 9 | 7 | 4 4: high 1 (first run one short), band 2, low 1, high 2.
    PixelSet expected;
    expected.insert({2, 10});
    AddColumn(expected, 3, 10, 19);
    AddColumn(expected, 4, 10, 19);
    AddColumn(expected, 5, 19, 20);
    AddRow(expected, 6, 7, 10);
    EXPECT_EQ(SetPixels(walked), expected);
}

TEST(PlotruneArray, StripCallMatchesTheClassicWalk)
{
    // As the I2C and SPI pages call it: (strip, 20, y, 10, p, 1024, p + 2048).
    std::mt19937 random(1234);
    std::vector<int32_t> trace(6000);
    int32_t level = 4;
    for (size_t k = 0; k < trace.size(); ++k) {
        if (random() % 23 == 0) {
            trace[k] = 9;
            level = level == 4 ? 7 : 4;
        } else {
            trace[k] = level;
        }
    }
    for (int32_t p : {0, 1, 777, 3000}) {
        TBitmap walked = StripBitmap(1024, 100);
        TBitmap reference = StripBitmap(1024, 100);
        for (int32_t y : {15, 50, 85}) {
            Plotrune().DrawGraphInfArray(&walked, 20, y, 10, p, 1024, p + 2048, trace.data());
            ReferenceWalk(reference, 20, y, 10, p, 1024, p + 2048, trace.data());
        }
        EXPECT_EQ(walked, reference) << "p = " << p;
        EXPECT_FALSE(SetPixels(walked).empty());
    }
}

TEST(PlotruneArray, OneRunPerColumnMatchesTheClassicWalk)
{
    std::vector<int32_t> trace(3000);
    for (size_t k = 0; k < trace.size(); ++k)
        trace[k] = k % 2 == 0 ? 4 : 7;
    TBitmap walked = StripBitmap(1024, 100);
    TBitmap reference = StripBitmap(1024, 100);
    Plotrune().DrawGraphInfArray(&walked, 20, 50, 10, 5, 1024, 2053, trace.data());
    ReferenceWalk(reference, 20, 50, 10, 5, 1024, 2053, trace.data());
    EXPECT_EQ(walked, reference);
    // The first entry (7 at index 5) makes an empty first run; then every column
    // from 20 holds a run of one: high (row 40) at even offsets, low (rows 59
    // and 60) at odd ones.
    for (int x = 0; x < 1024; ++x) {
        const bool high = x >= 20 && (x - 20) % 2 == 0;
        const bool low = x >= 20 && (x - 20) % 2 == 1;
        EXPECT_EQ(walked.Pixel(x, 40) == White, high) << x;
        EXPECT_EQ(walked.Pixel(x, 60) == White, low) << x;
        EXPECT_EQ(walked.Pixel(x, 59) == White, low) << x;
    }
}

} // namespace
