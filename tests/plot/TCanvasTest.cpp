// TCanvas's lines: end pixels, Bresenham steps, pen widths and styles, and
// clipping against the bitmap (rectangles, polygons, text and bitmap copies
// are in TCanvasAreaTest.cpp).

#include "plot/TBitmap.h"

#include "tests/plot/PlotTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <random>
#include <vector>

using PlotTest::Blank;
using PlotTest::Crop;
using PlotTest::Picture;
using PlotTest::PixelSet;
using PlotTest::Rows;
using PlotTest::SetPixels;

namespace {

constexpr TColor White = 0xFFFFFF;

void Line(TCanvas &canvas, int x1, int y1, int x2, int y2)
{
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

// --- lines -------------------------------------------------------------------

TEST(TCanvasLine, EndPixelIsNotSet)
{
    TBitmap bitmap = Blank(10, 3);
    Line(bitmap.Canvas(), 2, 1, 8, 1);
    EXPECT_EQ(Picture(bitmap), Rows({"..........", "..######..", ".........."}));
}

TEST(TCanvasLine, ReversedLineStopsBeforeItsOwnEnd)
{
    TBitmap bitmap = Blank(10, 3);
    Line(bitmap.Canvas(), 8, 1, 2, 1);
    EXPECT_EQ(Picture(bitmap), Rows({"..........", "...######.", ".........."}));
}

TEST(TCanvasLine, LineToTheSamePointSetsNothing)
{
    TBitmap bitmap = Blank(5, 5);
    Line(bitmap.Canvas(), 2, 2, 2, 2);
    EXPECT_TRUE(SetPixels(bitmap).empty());
}

TEST(TCanvasLine, ConnectedLinesShareTheirCorner)
{
    TBitmap bitmap = Blank(6, 5);
    TCanvas &canvas = bitmap.Canvas();
    canvas.MoveTo(1, 1);
    canvas.LineTo(4, 1);
    canvas.LineTo(4, 4);
    EXPECT_EQ(canvas.PenPos, (TPoint{4, 4}));
    EXPECT_EQ(Picture(bitmap), Rows({"......", ".####.", "....#.", "....#.", "......"}));
}

TEST(TCanvasLine, ShallowLineFollowsBresenhamWithHalvesTowardsTheStart)
{
    // (0,0) → (8,4): offsets round(i / 2) with halves down: 0 0 1 1 2 2 3 3.
    TBitmap bitmap = Blank(9, 5);
    Line(bitmap.Canvas(), 0, 0, 8, 4);
    EXPECT_EQ(Picture(bitmap),
              Rows({"##.......", "..##.....", "....##...", "......##.", "........."}));
}

TEST(TCanvasLine, SteepLineFollowsBresenham)
{
    // (0,0) → (3,7): x offsets ⌊(6i + 6) / 14⌋ = 0 0 1 1 2 2 3.
    TBitmap bitmap = Blank(4, 8);
    Line(bitmap.Canvas(), 0, 0, 3, 7);
    EXPECT_EQ(Picture(bitmap),
              Rows({"#...", "#...", ".#..", ".#..", "..#.", "..#.", "...#", "...."}));
}

TEST(TCanvasLine, DiagonalInEveryDirection)
{
    for (const auto &[dx, dy] :
         {std::pair{1, 1}, std::pair{1, -1}, std::pair{-1, 1}, std::pair{-1, -1}}) {
        TBitmap bitmap = Blank(11, 11);
        Line(bitmap.Canvas(), 5, 5, 5 + 4 * dx, 5 + 4 * dy);
        PixelSet expected;
        for (int i = 0; i < 4; ++i)
            expected.insert({5 + i * dx, 5 + i * dy});
        EXPECT_EQ(SetPixels(bitmap), expected) << dx << "," << dy;
    }
}

TEST(TCanvasLine, PenWidthTwoCoversTheRowAboveAndTheRow)
{
    TBitmap bitmap = Blank(8, 5);
    bitmap.Canvas().Pen.Width = 2;
    Line(bitmap.Canvas(), 1, 2, 6, 2);
    EXPECT_EQ(Picture(bitmap), Rows({"........", ".#####..", ".#####..", "........", "........"}));
}

TEST(TCanvasLine, PenWidthThreeIsCentredAcrossTheLine)
{
    TBitmap bitmap = Blank(5, 6);
    bitmap.Canvas().Pen.Width = 3;
    Line(bitmap.Canvas(), 2, 1, 2, 5);
    EXPECT_EQ(Picture(bitmap), Rows({".....", ".###.", ".###.", ".###.", ".###.", "....."}));
}

TEST(TCanvasLine, ThickDiagonalSetsASpanAtEveryPoint)
{
    TBitmap bitmap = Blank(6, 6);
    bitmap.Canvas().Pen.Width = 2;
    Line(bitmap.Canvas(), 0, 1, 4, 5); // x-major tie: vertical spans y − 1 .. y
    EXPECT_EQ(Picture(bitmap), Rows({"#.....", "##....", ".##...", "..##..", "...#..", "......"}));
}

TEST(TCanvasLine, PenWidthBelowOneDrawsAsOne)
{
    TBitmap bitmap = Blank(5, 3);
    bitmap.Canvas().Pen.Width = -4;
    Line(bitmap.Canvas(), 0, 1, 5, 1);
    EXPECT_EQ(Picture(bitmap), Rows({".....", "#####", "....."}));
}

struct StyleCase
{
    TPenStyle style;
    const char *row; // MoveTo(0, 0), LineTo(30, 0)
};

void PrintTo(const StyleCase &c, std::ostream *os)
{
    *os << "style " << static_cast<int>(c.style);
}

class TCanvasPenStyle : public testing::TestWithParam<StyleCase>
{
};

TEST_P(TCanvasPenStyle, DrawsItsPattern)
{
    TBitmap bitmap = Blank(30, 1);
    bitmap.Canvas().Pen.Style = GetParam().style;
    Line(bitmap.Canvas(), 0, 0, 30, 0);
    EXPECT_EQ(Picture(bitmap), Rows({GetParam().row}));
}

INSTANTIATE_TEST_SUITE_P(
    TCanvas, TCanvasPenStyle,
    testing::Values(StyleCase{TPenStyle::Solid, "##############################"},
                    StyleCase{TPenStyle::Dash, "##################......######"},
                    StyleCase{TPenStyle::Dot, "###...###...###...###...###..."},
                    StyleCase{TPenStyle::DashDot, "#########......###......######"},
                    StyleCase{TPenStyle::DashDotDot, "#########...###...###...######"},
                    StyleCase{TPenStyle::Clear, ".............................."},
                    StyleCase{TPenStyle::InsideFrame, "##############################"}));

TEST(TCanvasLine, PatternRunsOnThroughLineToAndRestartsAtMoveTo)
{
    TBitmap bitmap = Blank(14, 3);
    TCanvas &canvas = bitmap.Canvas();
    canvas.Pen.Style = TPenStyle::Dot;
    canvas.MoveTo(0, 0);
    canvas.LineTo(4, 0);
    canvas.LineTo(13, 0);
    canvas.MoveTo(0, 2);
    canvas.LineTo(4, 2);
    canvas.MoveTo(4, 2);
    canvas.LineTo(13, 2);
    EXPECT_EQ(Picture(bitmap), Rows({"###...###...#.", "..............", "###.###...###."}));
}

TEST(TCanvasLine, DottedVerticalGridLine)
{
    TBitmap bitmap = Blank(1, 12);
    bitmap.Canvas().Pen.Style = TPenStyle::Dot;
    Line(bitmap.Canvas(), 0, 0, 0, 12);
    EXPECT_EQ(Picture(bitmap), Rows({"#", "#", "#", ".", ".", ".", "#", "#", "#", ".", ".", "."}));
}

// --- clipping --------------------------------------------------------------------

// A line on a 40 × 30 bitmap must set exactly the pixels the same line sets
// inside that window of a bitmap large enough to hold it whole.
TEST(TCanvasClipping, ClippedLinesMatchTheWholeLine)
{
    std::mt19937 random(42);
    const int offset = 200;
    for (int round = 0; round < 600; ++round) {
        const int x1 = static_cast<int>(random() % 160) - 60;
        const int y1 = static_cast<int>(random() % 150) - 60;
        const int x2 = static_cast<int>(random() % 160) - 60;
        const int y2 = static_cast<int>(random() % 150) - 60;
        const int width = 1 + static_cast<int>(random() % 4);
        const auto style = static_cast<TPenStyle>(random() % 5);
        TBitmap small = Blank(40, 30);
        TBitmap large = Blank(440, 430);
        for (TBitmap *b : {&small, &large}) {
            b->Canvas().Pen.Width = width;
            b->Canvas().Pen.Style = style;
        }
        Line(small.Canvas(), x1, y1, x2, y2);
        Line(large.Canvas(), x1 + offset, y1 + offset, x2 + offset, y2 + offset);
        ASSERT_EQ(Picture(small), Picture(Crop(large, offset, offset, 40, 30)))
            << "(" << x1 << "," << y1 << ") → (" << x2 << "," << y2 << ") width " << width
            << " style " << static_cast<int>(style);
    }
}

TEST(TCanvasClipping, LinesWhollyOutsideSetNothing)
{
    TBitmap bitmap = Blank(20, 10);
    TCanvas &canvas = bitmap.Canvas();
    canvas.Pen.Width = 3;
    Line(canvas, -50, -2, 70, -2); // above, the span reaches row −1
    Line(canvas, -50, 11, 70, 11); // below, reaches row 10
    Line(canvas, -2, -50, -2, 60); // left
    Line(canvas, 21, -50, 21, 60); // right
    Line(canvas, -30, 0, 0, -30);  // diagonal past the corner
    Line(canvas, 30, 5, 45, -40);
    EXPECT_TRUE(SetPixels(bitmap).empty());
}

TEST(TCanvasClipping, ExtremeCoordinatesAreSafe)
{
    TBitmap bitmap = Blank(20, 10);
    TCanvas &canvas = bitmap.Canvas();
    Line(canvas, INT_MIN, 5, INT_MAX, 5);
    PixelSet expected;
    PlotTest::AddRow(expected, 0, 19, 5);
    EXPECT_EQ(SetPixels(bitmap), expected);
    for (int width : {1, 2, 1000000})
        for (auto style : {TPenStyle::Solid, TPenStyle::Dot}) {
            canvas.Pen.Width = width;
            canvas.Pen.Style = style;
            Line(canvas, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
            Line(canvas, INT_MAX, INT_MIN, INT_MIN, INT_MAX);
            Line(canvas, INT_MIN, 3, INT_MAX, 4);
            Line(canvas, 3, INT_MIN, 4, INT_MAX);
            canvas.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
            canvas.TextOut(INT_MAX - 3, INT_MAX - 3, "ABC");
            canvas.TextOut(INT_MIN, INT_MIN, "ABC");
        }
    SUCCEED(); // nothing written outside (checked by the sanitizer build)
}

// Random operations with coordinates anywhere; the sanitizer build checks
// that nothing is written outside the pixel buffer.
TEST(TCanvasClipping, RandomDrawingStaysInside)
{
    std::mt19937 random(99);
    const auto coordinate = [&random]() -> int {
        switch (random() % 4) {
        case 0:
            return static_cast<int>(random() % 80) - 20;
        case 1:
            return static_cast<int>(random() % 4000) - 2000;
        case 2:
            return static_cast<int>(random());
        default:
            return random() % 2 == 0 ? INT_MIN : INT_MAX;
        }
    };
    TBitmap bitmap = Blank(37, 23);
    TCanvas &canvas = bitmap.Canvas();
    for (int k = 0; k < 3000; ++k) {
        canvas.Pen.Width = static_cast<int>(random() % 6);
        canvas.Pen.Style = static_cast<TPenStyle>(random() % 7);
        canvas.Brush.Style = static_cast<TBrushStyle>(random() % 2);
        canvas.Font.Size = static_cast<int>(random() % 30);
        canvas.Font.Bold = random() % 2 == 0;
        const int x = coordinate();
        const int y = coordinate();
        switch (random() % 7) {
        case 0:
            canvas.MoveTo(x, y);
            canvas.LineTo(coordinate(), coordinate());
            break;
        case 1:
            canvas.Rectangle(x, y, coordinate(), coordinate());
            break;
        case 2:
            canvas.FillRect({x, y, coordinate(), coordinate()});
            break;
        case 3:
            canvas.FrameRect({x, y, coordinate(), coordinate()});
            break;
        case 4: {
            const std::vector<TPoint> points = {
                {x, y}, {coordinate(), coordinate()}, {coordinate(), coordinate()}};
            canvas.Polygon(points);
            break;
        }
        case 5:
            canvas.TextOut(x, y, "Wq\xC2\xB5~");
            break;
        default:
            canvas.Draw(x % 50, y % 50, Blank(5, 70));
            break;
        }
    }
    EXPECT_EQ(bitmap.Bits().size(), 37u * 23u);
}

TEST(TCanvasClipping, EmptyBitmapAcceptsEverything)
{
    TBitmap bitmap;
    TCanvas &canvas = bitmap.Canvas();
    Line(canvas, 0, 0, 10, 10);
    canvas.Rectangle(0, 0, 5, 5);
    canvas.FillRect({0, 0, 5, 5});
    canvas.FrameRect({0, 0, 5, 5});
    const std::vector<TPoint> points = {{0, 0}, {5, 0}, {0, 5}};
    canvas.Polygon(points);
    canvas.TextOut(0, 0, "x");
    canvas.Draw(0, 0, Blank(3, 3));
    EXPECT_TRUE(bitmap.Empty());
}

} // namespace
