// TCanvas's areas and text: rectangles and polygons with pen and brush, the
// built-in bitmap font, and copies of other bitmaps.

#include "plot/TBitmap.h"
#include "plot/TBitmapFont.h"

#include "tests/plot/PlotTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <vector>

using PlotTest::Blank;
using PlotTest::Crop;
using PlotTest::Picture;
using PlotTest::PixelSet;
using PlotTest::Rows;
using PlotTest::SetPixels;

namespace {

constexpr TColor White = 0xFFFFFF;
constexpr TColor Red = 0x0000FF;
constexpr TColor Blue = 0xFF0000;

// --- rectangles --------------------------------------------------------------------

TEST(TCanvasRectangle, FillsWithTheBrushAndOutlinesWithThePen)
{
    TBitmap bitmap = Blank(9, 7);
    TCanvas &canvas = bitmap.Canvas();
    canvas.Pen.Color = Red;
    canvas.Brush.Color = Blue;
    canvas.MoveTo(8, 6);
    canvas.Rectangle(2, 1, 7, 6);
    EXPECT_EQ(canvas.PenPos, (TPoint{8, 6}));
    EXPECT_EQ(Picture(bitmap, {{0, '.'}, {Red, 'P'}, {Blue, 'B'}}),
              Rows({".........", "..PPPPP..", "..PBBBP..", "..PBBBP..", "..PBBBP..", "..PPPPP..",
                    "........."}));
}

TEST(TCanvasRectangle, ClearBrushLeavesTheInside)
{
    TBitmap bitmap = Blank(6, 5);
    bitmap.Canvas().Brush.Style = TBrushStyle::Clear;
    bitmap.Canvas().Rectangle(4, 4, 1, 0); // corners in any order
    EXPECT_EQ(Picture(bitmap), Rows({".###..", ".#.#..", ".#.#..", ".###..", "......"}));
}

TEST(TCanvasRectangle, ClearPenFillsTheWholeArea)
{
    TBitmap bitmap = Blank(5, 4);
    bitmap.Canvas().Pen.Style = TPenStyle::Clear;
    bitmap.Canvas().Brush.Color = Blue;
    bitmap.Canvas().Rectangle(1, 1, 4, 3);
    EXPECT_EQ(Picture(bitmap, {{0, '.'}, {Blue, 'B'}}), Rows({".....", ".BBB.", ".BBB.", "....."}));
}

TEST(TCanvasRectangle, OnePixelHighOrWideRectanglesAreDrawnWhole)
{
    TBitmap bitmap = Blank(6, 4);
    bitmap.Canvas().Brush.Style = TBrushStyle::Clear;
    bitmap.Canvas().Rectangle(1, 0, 5, 1);
    bitmap.Canvas().Rectangle(0, 1, 1, 4);
    bitmap.Canvas().Rectangle(3, 2, 4, 3);
    bitmap.Canvas().Rectangle(5, 2, 5, 4); // empty
    EXPECT_EQ(Picture(bitmap), Rows({".####.", "#.....", "#..#..", "#....."}));
}

TEST(TCanvasRectangle, FillRectExcludesRightAndBottomAndClips)
{
    TBitmap bitmap = Blank(5, 4);
    TCanvas &canvas = bitmap.Canvas();
    canvas.FillRect({1, 1, 3, 3});
    EXPECT_EQ(Picture(bitmap, {{0, '.'}, {White, 'W'}}),
              Rows({".....", ".WW..", ".WW..", "....."}));
    canvas.Brush.Color = Red;
    canvas.FillRect({-1, -1, 1024, 768}); // as ClearLayer does
    EXPECT_EQ(SetPixels(bitmap, Red).size(), 0u);
    canvas.Brush = {Blue, TBrushStyle::Clear};
    canvas.FillRect({0, 0, 5, 4});
    EXPECT_EQ(SetPixels(bitmap, Red).size(), 0u);
}

TEST(TCanvasRectangle, FrameRectUsesTheBrushColour)
{
    TBitmap bitmap = Blank(6, 5);
    bitmap.Canvas().Brush.Color = Blue;
    bitmap.Canvas().FrameRect({1, 1, 5, 5});
    EXPECT_EQ(Picture(bitmap, {{0, '.'}, {Blue, 'B'}}),
              Rows({"......", ".BBBB.", ".B..B.", ".B..B.", ".BBBB."}));
}

// --- polygons ------------------------------------------------------------------------

TEST(TCanvasPolygon, FillsPixelsWhoseCentresAreInside)
{
    // Triangle (0,0) (8,0) (0,8): centre (x + ½, y + ½) inside when x + y < 7.
    TBitmap bitmap = Blank(9, 9);
    bitmap.Canvas().Pen.Style = TPenStyle::Clear;
    const std::vector<TPoint> points = {{0, 0}, {8, 0}, {0, 8}};
    bitmap.Canvas().Polygon(points);
    PixelSet expected;
    for (int y = 0; y < 7; ++y)
        PlotTest::AddRow(expected, 0, 6 - y, y);
    EXPECT_EQ(SetPixels(bitmap), expected);
}

TEST(TCanvasPolygon, OutlineWithThePenOverTheBrush)
{
    TBitmap bitmap = Blank(8, 7);
    TCanvas &canvas = bitmap.Canvas();
    canvas.Pen.Color = Red;
    canvas.Brush.Color = Blue;
    canvas.MoveTo(7, 6);
    const std::vector<TPoint> square = {{1, 1}, {6, 1}, {6, 5}, {1, 5}};
    canvas.Polygon(square);
    EXPECT_EQ(canvas.PenPos, (TPoint{7, 6}));
    EXPECT_EQ(
        Picture(bitmap, {{0, '.'}, {Red, 'P'}, {Blue, 'B'}}),
        Rows({"........", ".PPPPPP.", ".PBBBBP.", ".PBBBBP.", ".PBBBBP.", ".PPPPPP.", "........"}));
}

TEST(TCanvasPolygon, ClearBrushDrawsOnlyTheOutline)
{
    TBitmap bitmap = Blank(5, 5);
    bitmap.Canvas().Brush.Style = TBrushStyle::Clear;
    const std::vector<TPoint> points = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    bitmap.Canvas().Polygon(points);
    EXPECT_EQ(Picture(bitmap), Rows({"#####", "#...#", "#...#", "#...#", "#####"}));
}

TEST(TCanvasPolygon, CursorMarkerArrowStaysInItsImage)
{
    // The waveform cursor marker: 17 × 21, arrow tip at (8, 20).
    TBitmap marker = Blank(17, 21);
    TCanvas &canvas = marker.Canvas();
    canvas.Brush.Color = Red;
    canvas.Pen.Color = Red;
    canvas.Rectangle(0, 0, 17, 15);
    const std::vector<TPoint> arrow = {{0, 14},  {7, 14}, {7, 15}, {3, 15}, {8, 20},
                                       {13, 15}, {9, 15}, {9, 14}, {7, 14}, {0, 14}};
    canvas.Polygon(arrow);
    EXPECT_EQ(marker.Pixel(8, 20), Red); // the tip starts the edge (8,20) → (13,15)
    EXPECT_EQ(marker.Pixel(8, 16), Red); // inside the arrow head
    EXPECT_EQ(marker.Pixel(0, 20), 0);
    EXPECT_EQ(marker.Pixel(16, 20), 0);
    EXPECT_EQ(marker.Pixel(16, 0), Red);
}

TEST(TCanvasPolygon, PolylineIsOpen)
{
    TBitmap bitmap = Blank(5, 5);
    const std::vector<TPoint> points = {{0, 0}, {4, 0}, {4, 4}};
    bitmap.Canvas().Polyline(points);
    EXPECT_EQ(Picture(bitmap), Rows({"#####", "....#", "....#", "....#", "....."}));
}

// --- text ----------------------------------------------------------------------------

TEST(TCanvasText, MeasuresCellsOfTheBuiltInFont)
{
    TBitmap bitmap = Blank(10, 10);
    TCanvas &canvas = bitmap.Canvas();
    EXPECT_EQ(canvas.TextWidth("0x1F"), 24);
    EXPECT_EQ(canvas.TextHeight("0x1F"), 10);
    EXPECT_EQ(canvas.TextWidth(""), 0);
    EXPECT_EQ(canvas.TextWidth("\xE2\x86\x91"), 6); // "↑" is one character
    canvas.Font.Size = 12;
    EXPECT_EQ(canvas.TextWidth("ab"), 24);
    EXPECT_EQ(canvas.TextHeight("ab"), 20);
    canvas.Font.Bold = true;
    EXPECT_EQ(canvas.TextWidth("ab"), 28);
}

TEST(TCanvasText, FontScaleFollowsTheSize)
{
    for (const auto &[size, scale] :
         {std::pair{8, 1}, std::pair{11, 1}, std::pair{12, 2}, std::pair{18, 2}, std::pair{19, 3},
          std::pair{0, 1}, std::pair{-12, 2}, std::pair{INT_MAX, 100}})
        EXPECT_EQ(TCanvas::FontScale(size), scale) << size;
}

TEST(TCanvasText, DrawsTheGlyphInTheFontColourOnTheBrush)
{
    TBitmap bitmap = Blank(7, 11);
    TCanvas &canvas = bitmap.Canvas();
    canvas.Font.Color = White;
    canvas.Brush.Color = Blue;
    canvas.TextOut(1, 0, "A");
    EXPECT_EQ(canvas.PenPos, (TPoint{7, 0}));
    EXPECT_EQ(Picture(bitmap, {{0, ' '}, {White, '#'}, {Blue, '.'}}),
              Rows({" ......", " .###..", " #...#.", " #...#.", " #...#.", " #####.", " #...#.",
                    " #...#.", " ......", " ......", "       "}));
}

TEST(TCanvasText, ClearBrushKeepsTheBackground)
{
    TBitmap bitmap = Blank(12, 10);
    TCanvas &canvas = bitmap.Canvas();
    canvas.Font.Color = White;
    canvas.Brush.Style = TBrushStyle::Clear;
    canvas.TextOut(0, -1, "gT");
    EXPECT_EQ(Picture(bitmap), Rows({"......#####.", "........#...", ".####...#...", "#...#...#...",
                                     "#...#...#...", "#...#...#...", ".####...#...", "....#.......",
                                     ".###........", "............"}));
}

TEST(TCanvasText, BoldAndScaledGlyphs)
{
    TBitmap bitmap = Blank(14, 20);
    TCanvas &canvas = bitmap.Canvas();
    canvas.Font = {"Any", 12, White, true};
    canvas.Brush.Style = TBrushStyle::Clear;
    canvas.TextOut(0, 0, "l");
    // "l" is .##.. / ..#.. ×5 / .###.; bold adds the right neighbours, scale 2.
    EXPECT_EQ(Picture(Crop(bitmap, 0, 2, 14, 4)),
              Rows({"..######......", "..######......", "....####......", "....####......"}));
    EXPECT_EQ(Picture(Crop(bitmap, 0, 14, 14, 2)), Rows({"..########....", "..########...."}));
}

TEST(TCanvasText, UnknownCharactersDrawABox)
{
    TBitmap boxed = Blank(6, 10);
    boxed.Canvas().Font.Color = White;
    boxed.Canvas().Brush.Style = TBrushStyle::Clear;
    boxed.Canvas().TextOut(0, 0, "\xE4\xB8\xAD"); // a CJK character
    TBitmap invalid = Blank(12, 10);
    invalid.Canvas().Font.Color = White;
    invalid.Canvas().Brush.Style = TBrushStyle::Clear;
    invalid.Canvas().TextOut(0, 0, "\xFF\x80"); // two bytes that start no character
    EXPECT_EQ(Picture(boxed), Rows({"......", "#####.", "#...#.", "#...#.", "#...#.", "#...#.",
                                    "#...#.", "#####.", "......", "......"}));
    EXPECT_EQ(Picture(Crop(invalid, 6, 0, 6, 10)), Picture(boxed));
}

TEST(TCanvasText, ClippedTextMatchesTheWholeText)
{
    const int offset = 50;
    for (const auto &[x, y] :
         {std::pair{-7, 3}, std::pair{30, -4}, std::pair{-2, 25}, std::pair{35, 24}}) {
        TBitmap small = Blank(40, 30);
        TBitmap large = Blank(140, 130);
        for (TBitmap *b : {&small, &large}) {
            b->Canvas().Font.Color = White;
            b->Canvas().Brush.Color = Blue;
        }
        small.Canvas().TextOut(x, y, "Az~9");
        large.Canvas().TextOut(x + offset, y + offset, "Az~9");
        EXPECT_EQ(
            Picture(small, {{0, '.'}, {White, '#'}, {Blue, 'b'}}),
            Picture(Crop(large, offset, offset, 40, 30), {{0, '.'}, {White, '#'}, {Blue, 'b'}}))
            << x << "," << y;
    }
}

TEST(TBitmapFontTest, EveryPrintableCharacterHasItsOwnGlyph)
{
    std::set<TBitmapFont::Rows> seen;
    for (char32_t c = 0x21; c <= 0x7E; ++c) {
        ASSERT_TRUE(TBitmapFont::HasGlyph(c));
        const TBitmapFont::Rows &rows = TBitmapFont::Glyph(c);
        EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](uint8_t r) { return r != 0; }))
            << static_cast<char>(c);
        EXPECT_TRUE(seen.insert(rows).second) << "duplicate glyph " << static_cast<char>(c);
    }
    for (char32_t c : {U'\u2191', U'\u2193', U'\u00B5', U'\u00B0', U' '})
        EXPECT_TRUE(TBitmapFont::HasGlyph(c));
    EXPECT_FALSE(TBitmapFont::HasGlyph(U'\t'));
    EXPECT_FALSE(TBitmapFont::HasGlyph(U'\u4E2D'));
}

TEST(TBitmapFontTest, DecodesUtf8)
{
    const std::string_view text = "a\xC2\xB5\xE2\x86\x93\xF0\x9F\x98\x80\xC0\xAF\xE2\x86";
    std::vector<char32_t> decoded;
    for (size_t pos = 0; pos < text.size();)
        decoded.push_back(TBitmapFont::NextCharacter(text, pos));
    EXPECT_EQ(decoded, (std::vector<char32_t>{U'a', U'\u00B5', U'\u2193', U'\U0001F600', U'\uFFFD',
                                              U'\uFFFD', U'\uFFFD', U'\uFFFD'}));
    EXPECT_EQ(TBitmapFont::CharacterCount(text), decoded.size());
}

// --- Draw ----------------------------------------------------------------------------

TEST(TCanvasDraw, CopiesAnotherBitmapClipped)
{
    TBitmap source = Blank(3, 2);
    source.SetPixel(0, 0, White);
    source.SetPixel(2, 1, Red);
    TBitmap target = Blank(4, 3);
    target.Canvas().Draw(2, 1, source);
    target.Canvas().Draw(-2, -1, source);
    EXPECT_EQ(Picture(target, {{0, '.'}, {White, 'W'}, {Red, 'R'}}),
              Rows({"R...", "..W.", "...."}));
}

TEST(TCanvasDraw, DrawingABitmapOntoItselfShiftsIt)
{
    TBitmap bitmap = Blank(4, 1);
    bitmap.SetPixel(0, 0, White);
    bitmap.SetPixel(1, 0, Red);
    bitmap.Canvas().Draw(1, 0, bitmap);
    EXPECT_EQ(Picture(bitmap, {{0, '.'}, {White, 'W'}, {Red, 'R'}}), Rows({"WWR."}));
}

} // namespace
