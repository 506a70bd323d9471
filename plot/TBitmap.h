#pragma once

#include "plot/PlotruneApi.h"
#include "plot/TCanvas.h"
#include "plot/TGraphicsTypes.h"

#include <cstdint>
#include <span>
#include <vector>

// An off-screen 32-bit image with its canvas. Pixels are stored top row
// first, Width() pixels per row with no padding, each as a native 32-bit
// word 0xFFRRGGBB (the layout of QImage::Format_RGB32 and of a 32-bit BMP
// row), so a window can wrap Bits() in a QImage without copying.
// Colours given to and returned by the pixel functions are TColor values
// (0x00BBGGRR); PixelOf and ColorOf convert. In memory (little-endian) a
// pixel is the bytes B, G, R, 0xFF: a window wraps the image with
//   QImage(reinterpret_cast<uchar *>(b.Bits().data()), b.Width(), b.Height(),
//          b.BytesPerLine(), QImage::Format_RGB32)
// and libjpeg-turbo reads the rows as JCS_EXT_BGRX.
// Cost: Width() × Height() × 4 bytes, allocated by SetSize; drawing
// allocates nothing except for polygons (one small vector per call).
class PLOTRUNE_API TBitmap
{
public:
    static constexpr int MaxSide = 32767; // sides are clamped to 0 .. MaxSide
    static constexpr TColor InvalidColor = -1;

    TBitmap();
    // New pixels are black unless another fill colour is given.
    TBitmap(int width, int height, TColor fill = 0);
    TBitmap(const TBitmap &other);
    TBitmap(TBitmap &&other) noexcept;
    TBitmap &operator=(const TBitmap &other);
    TBitmap &operator=(TBitmap &&other) noexcept;
    ~TBitmap();

    int Width() const { return width; }
    int Height() const { return height; }
    bool Empty() const { return width == 0 || height == 0; }

    // Keeps the pixels of the area both sizes share; new pixels are black.
    void SetSize(int newWidth, int newHeight);
    void Fill(TColor colour);

    TCanvas &Canvas() { return canvas; }
    const TCanvas &Canvas() const { return canvas; }

    // InvalidColor outside the bitmap.
    TColor Pixel(int x, int y) const;
    // Nothing happens outside the bitmap.
    void SetPixel(int x, int y, TColor colour);

    // Row y in native pixels (0 <= y < Height(); an empty span otherwise).
    std::span<uint32_t> ScanLine(int y);
    std::span<const uint32_t> ScanLine(int y) const;
    // All rows, top first.
    std::span<uint32_t> Bits() { return pixels; }
    std::span<const uint32_t> Bits() const { return pixels; }
    int BytesPerLine() const { return width * 4; }

    static constexpr uint32_t PixelOf(TColor colour)
    {
        const auto c = static_cast<uint32_t>(colour);
        return 0xFF000000u | (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
    }
    static constexpr TColor ColorOf(uint32_t pixel)
    {
        return static_cast<TColor>((pixel & 0xFFu) << 16 | (pixel & 0xFF00u) |
                                   (pixel >> 16 & 0xFFu));
    }

    // The whole image as a 24-bit uncompressed BMP file (bottom-up rows).
    std::vector<uint8_t> EncodeBmp() const;

    // Same size and same pixels (the canvas state is not compared).
    bool operator==(const TBitmap &other) const;

private:
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    TCanvas canvas;
};
