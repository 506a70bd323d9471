#include "plot/TBitmap.h"

#include "tests/plot/PlotTestSupport.h"

#include <gtest/gtest.h>

#include <utility>

using PlotTest::Picture;
using PlotTest::Rows;

namespace {

constexpr TColor Red = 0x0000FF;
constexpr TColor White = 0xFFFFFF;

uint32_t LittleEndian(const std::vector<uint8_t> &bytes, size_t at, int count)
{
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | bytes[at + i];
    return value;
}

TEST(TBitmap, StartsEmptyAndTakesASize)
{
    TBitmap bitmap;
    EXPECT_TRUE(bitmap.Empty());
    bitmap.SetSize(3, 2);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(bitmap.Bits().size(), 6u);
    EXPECT_EQ(bitmap.BytesPerLine(), 12);
    EXPECT_EQ(bitmap.Pixel(2, 1), 0);
}

TEST(TBitmap, NegativeSidesAreEmpty)
{
    TBitmap bitmap(-5, 10);
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_TRUE(bitmap.Bits().empty());
}

TEST(TBitmap, ColoursAreBgrAndPixelsNativeRgb32)
{
    EXPECT_EQ(TBitmap::PixelOf(Red), 0xFFFF0000u);
    EXPECT_EQ(TBitmap::PixelOf(0xFF0000), 0xFF0000FFu); // blue
    EXPECT_EQ(TBitmap::PixelOf(0x123456), 0xFF563412u);
    EXPECT_EQ(TBitmap::ColorOf(0xFF563412u), 0x123456);
    EXPECT_EQ(TBitmap::ColorOf(TBitmap::PixelOf(0x7F00FF)), 0x7F00FF);
    EXPECT_EQ(TBitmap::PixelOf(0x7F000000), 0xFF000000u); // the unused high byte is dropped

    TBitmap bitmap(4, 3, White);
    bitmap.SetPixel(1, 2, Red);
    EXPECT_EQ(bitmap.Pixel(1, 2), Red);
    EXPECT_EQ(bitmap.ScanLine(2)[1], 0xFFFF0000u);
    EXPECT_EQ(bitmap.Bits()[2 * 4 + 1], 0xFFFF0000u);
    EXPECT_EQ(bitmap.ScanLine(0)[0], 0xFFFFFFFFu);
}

TEST(TBitmap, FillSetsEveryPixelWhateverTheSize)
{
    // Sizes around the 16-pixel steps of the fill, and a layer row.
    const std::pair<int, int> sizes[] = {{1, 1}, {3, 5}, {15, 1}, {16, 1}, {17, 1},
                                         {4, 8}, {33, 3}, {1024, 3}};
    for (const auto &[w, h] : sizes) {
        TBitmap bitmap(w, h, White);
        bitmap.Fill(Red);
        int red = 0;
        for (const uint32_t pixel : bitmap.Bits())
            red += pixel == TBitmap::PixelOf(Red);
        EXPECT_EQ(red, w * h) << w << " x " << h;
    }
}

TEST(TBitmap, OutsidePixelsAreIgnored)
{
    TBitmap bitmap(2, 2);
    for (const auto &[x, y] :
         {std::pair{-1, 0}, std::pair{2, 0}, std::pair{0, -1}, std::pair{0, 2}}) {
        bitmap.SetPixel(x, y, White);
        EXPECT_EQ(bitmap.Pixel(x, y), TBitmap::InvalidColor);
        EXPECT_TRUE(bitmap.ScanLine(y).empty() || x < 0 || x >= 2);
    }
    EXPECT_EQ(Picture(bitmap), Rows({"..", ".."}));
}

TEST(TBitmap, ScanLineIsWritableInPlace)
{
    TBitmap bitmap(3, 2);
    std::span<uint32_t> row = bitmap.ScanLine(1);
    ASSERT_EQ(row.size(), 3u);
    row[2] = TBitmap::PixelOf(White);
    EXPECT_EQ(bitmap.Pixel(2, 1), White);
}

TEST(TBitmap, SetSizeKeepsTheSharedArea)
{
    TBitmap bitmap(3, 3, White);
    bitmap.SetPixel(1, 1, Red);
    bitmap.SetSize(2, 4);
    EXPECT_EQ(Picture(bitmap, {{0, '.'}, {White, 'W'}, {Red, 'R'}}),
              Rows({"WW", "WR", "WW", ".."}));
}

TEST(TBitmap, CopyHasItsOwnPixelsAndCanvas)
{
    TBitmap original(4, 2);
    original.Canvas().Pen.Color = Red;
    original.Canvas().MoveTo(1, 1);
    TBitmap copy(original);
    EXPECT_EQ(copy, original);
    EXPECT_EQ(copy.Canvas().Bitmap(), &copy);
    EXPECT_EQ(copy.Canvas().Pen.Color, Red);
    EXPECT_EQ(copy.Canvas().PenPos, (TPoint{1, 1}));
    copy.Canvas().LineTo(3, 1);
    EXPECT_EQ(Picture(copy, {{0, '.'}, {Red, 'R'}}), Rows({"....", ".RR."}));
    EXPECT_EQ(Picture(original), Rows({"....", "...."}));

    TBitmap assigned;
    assigned = copy;
    EXPECT_EQ(assigned, copy);
    EXPECT_EQ(assigned.Canvas().Bitmap(), &assigned);
}

TEST(TBitmap, MoveCarriesThePixelsAndRebindsTheCanvas)
{
    TBitmap source(2, 1, White);
    TBitmap moved(std::move(source));
    EXPECT_EQ(moved.Width(), 2);
    EXPECT_EQ(moved.Canvas().Bitmap(), &moved);
    EXPECT_EQ(moved.Pixel(1, 0), White);
    TBitmap target;
    target = std::move(moved);
    EXPECT_EQ(target.Canvas().Bitmap(), &target);
    target.Canvas().Pen.Color = Red;
    target.Canvas().MoveTo(0, 0);
    target.Canvas().LineTo(2, 0);
    EXPECT_EQ(target.Pixel(1, 0), Red);
}

TEST(TBitmap, EqualityComparesSizeAndPixels)
{
    EXPECT_EQ(TBitmap(2, 2), TBitmap(2, 2));
    EXPECT_FALSE(TBitmap(2, 2) == TBitmap(2, 2, White));
    EXPECT_FALSE(TBitmap(1, 4) == TBitmap(4, 1));
}

TEST(TBitmap, EncodesA24BitBottomUpBmp)
{
    TBitmap bitmap(2, 2);
    bitmap.SetPixel(0, 0, Red);      // top left
    bitmap.SetPixel(1, 1, 0x112233); // bottom right: red 33, green 22, blue 11
    const std::vector<uint8_t> bmp = bitmap.EncodeBmp();
    const size_t rowBytes = 8; // 2 × 3 bytes, padded to 4
    ASSERT_EQ(bmp.size(), 54 + 2 * rowBytes);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(LittleEndian(bmp, 2, 4), bmp.size());
    EXPECT_EQ(LittleEndian(bmp, 10, 4), 54u);
    EXPECT_EQ(LittleEndian(bmp, 14, 4), 40u);
    EXPECT_EQ(LittleEndian(bmp, 18, 4), 2u);
    EXPECT_EQ(LittleEndian(bmp, 22, 4), 2u);
    EXPECT_EQ(LittleEndian(bmp, 26, 2), 1u);
    EXPECT_EQ(LittleEndian(bmp, 28, 2), 24u);
    EXPECT_EQ(LittleEndian(bmp, 30, 4), 0u);
    // First stored row is the bottom one: black, then (blue, green, red) = 11 22 33.
    const std::vector<uint8_t> bottom(bmp.begin() + 54, bmp.begin() + 54 + rowBytes);
    EXPECT_EQ(bottom, (std::vector<uint8_t>{0, 0, 0, 0x11, 0x22, 0x33, 0, 0}));
    const std::vector<uint8_t> top(bmp.begin() + 54 + rowBytes, bmp.end());
    EXPECT_EQ(top, (std::vector<uint8_t>{0, 0, 0xFF, 0, 0, 0, 0, 0}));
}

} // namespace
