#pragma once

#include "plot/TBitmap.h"

#include <cstdint>
#include <string>

// The two pictures of the CPU memory map: the map itself, 512 addresses to a
// row of 128 cells of 4 addresses (4 x 4 pixels each), and the address-label
// strip beside it, both as high as the map. Address a lies in the cell whose
// position is x = (a AND 0x1FC) + 1, y = (a div 512) x 4 + 1; a mark is
// drawn around that position, inside the cell.
// Cost: 562 x height pixels (height 1024 for a 16-bit map: about 2.2 MiB);
// a mark sets at most nine pixels, a line of the ROM trace at most the map's
// width or height.
class CpuMapImage
{
public:
    static constexpr int MapWidth = 512;
    static constexpr int LabelWidth = 50;
    static constexpr TColor White = 0xFFFFFF;
    static constexpr TColor GridGrey = 0xC0C0C0;
    static constexpr uint32_t GridStep = 8192; // addresses between grid lines and labels

    // Cell position of an address.
    static int CellX(uint32_t address) { return static_cast<int>(address & 0x1FC) + 1; }
    static int CellY(uint32_t address) { return static_cast<int>(address / 512) * 4 + 1; }
    // The first address of the 4-address cell under a point of the map.
    static uint32_t AddressAt(int x, int y);
    // The pointer read-out: "608 - 60B" (upper case, no leading zeros).
    static std::string RangeText(int x, int y);
    // "0x" and at least five hexadecimal digits: the labels of the strip.
    static std::string LabelText(uint32_t address);

    // Empty pictures with the grid and the labels for a map of `mapSize`
    // addresses (a multiple of 512); the ROM trace starts afresh.
    void Rebuild(uint32_t mapSize);

    // A ROM access: a line from the previous ROM cell (when `lineColor` is
    // given, that is Line is enabled; the first ROM cell only starts the
    // trace), then a filled 3 x 3 square.
    void Rom(uint32_t address, TColor color, const TColor *lineColor);
    // A RAM access: a cross of two 3-pixel strokes.
    void Ram(uint32_t address, TColor color);
    // An I/O access: the cell position and its four diagonal neighbours.
    void Io(uint32_t address, TColor color);

    const TBitmap &Map() const { return map; }
    const TBitmap &Labels() const { return labels; }
    uint32_t MapSize() const { return size; }

private:
    TBitmap map;
    TBitmap labels;
    uint32_t size = 0;
    int previousRomX = -1;
    int previousRomY = -1;
};
