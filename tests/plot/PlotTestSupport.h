#pragma once

#include "plot/TBitmap.h"

#include <algorithm>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <utility>

// Helpers for pixel-exact drawing tests: pixel sets and small text pictures.
namespace PlotTest {

using PixelSet = std::set<std::pair<int, int>>; // (x, y)

// A bitmap of the size, black, its pen white.
inline TBitmap Blank(int width, int height)
{
    TBitmap bitmap(width, height);
    bitmap.Canvas().Pen.Color = 0xFFFFFF;
    return bitmap;
}

// Every pixel whose colour differs from the background.
inline PixelSet SetPixels(const TBitmap &bitmap, TColor background = 0)
{
    PixelSet set;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            if (bitmap.Pixel(x, y) != background)
                set.insert({x, y});
        }
    }
    return set;
}

// Pixels (x, y) .. (x2, y) and (x, y) .. (x, y2), inclusive, in either order.
inline void AddRow(PixelSet &set, int x1, int x2, int y)
{
    for (int x = std::min(x1, x2); x <= std::max(x1, x2); ++x)
        set.insert({x, y});
}

inline void AddColumn(PixelSet &set, int x, int y1, int y2)
{
    for (int y = std::min(y1, y2); y <= std::max(y1, y2); ++y)
        set.insert({x, y});
}

// Only the pixels inside a width × height bitmap.
inline PixelSet Inside(const PixelSet &set, int width, int height)
{
    PixelSet inside;
    for (const auto &[x, y] : set) {
        if (x >= 0 && y >= 0 && x < width && y < height)
            inside.insert({x, y});
    }
    return inside;
}

// The bitmap as text, one line per row: each pixel's character from the
// legend, '#' for colours the legend does not name.
inline std::string Picture(const TBitmap &bitmap, const std::map<TColor, char> &legend = {{0, '.'}})
{
    std::string text;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            const auto it = legend.find(bitmap.Pixel(x, y));
            text += it != legend.end() ? it->second : '#';
        }
        text += '\n';
    }
    return text;
}

inline std::string Rows(std::initializer_list<const char *> rows)
{
    std::string text;
    for (const char *row : rows) {
        text += row;
        text += '\n';
    }
    return text;
}

// The part of a bitmap at (left, top) of size width × height.
inline TBitmap Crop(const TBitmap &bitmap, int left, int top, int width, int height)
{
    TBitmap part(width, height);
    part.Canvas().Draw(-left, -top, bitmap);
    return part;
}

} // namespace PlotTest
