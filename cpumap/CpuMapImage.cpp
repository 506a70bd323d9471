#include "cpumap/CpuMapImage.h"

#include "display/wTranslate.h"

uint32_t CpuMapImage::AddressAt(int x, int y)
{
    const auto ux = static_cast<uint32_t>(x < 0 ? 0 : x);
    const auto uy = static_cast<uint32_t>(y < 0 ? 0 : y);
    return uy / 4 * 512 + (ux & ~3u);
}

std::string CpuMapImage::RangeText(int x, int y)
{
    const uint32_t a = AddressAt(x, y);
    return wTranslate::Hex(a, 4) + " - " + wTranslate::Hex(a + 3, 4);
}

std::string CpuMapImage::LabelText(uint32_t address)
{
    return "0x" + wTranslate::Hex(address, 18);
}

void CpuMapImage::Rebuild(uint32_t mapSize)
{
    size = mapSize;
    const int height = static_cast<int>(mapSize / 512 * 4);
    map = TBitmap(MapWidth, height, White);
    labels = TBitmap(LabelWidth, height, White);
    previousRomX = previousRomY = -1;

    TCanvas &m = map.Canvas();
    m.Pen = TPen{GridGrey};
    for (uint32_t a = GridStep; a < mapSize; a += GridStep) {
        const int y = static_cast<int>(a / 512 * 4);
        m.MoveTo(0, y);
        m.LineTo(MapWidth, y);
    }
    for (uint32_t a : {128u, 256u, 384u}) {
        m.MoveTo(CellX(a), 0);
        m.LineTo(CellX(a), height);
    }

    TCanvas &l = labels.Canvas();
    l.Font.Color = 0;
    l.Brush.Style = TBrushStyle::Clear;
    for (uint32_t a = 0; a <= mapSize; a += GridStep) {
        const int y = static_cast<int>(a / 512 * 4);
        l.TextOut(2, a == mapSize ? y - 15 : y + 1, LabelText(a));
    }
    l.Pen = TPen{0};
    l.MoveTo(LabelWidth - 1, 0);
    l.LineTo(LabelWidth - 1, height);
}

void CpuMapImage::Rom(uint32_t address, TColor color, const TColor *lineColor)
{
    const int x = CellX(address), y = CellY(address);
    TCanvas &c = map.Canvas();
    if (lineColor != nullptr) {
        if (previousRomX >= 0) {
            c.Pen = TPen{*lineColor};
            c.MoveTo(previousRomX, previousRomY);
            c.LineTo(x, y);
        }
        previousRomX = x;
        previousRomY = y;
    }
    c.Brush = TBrush{color};
    c.FillRect(TRect{x - 1, y - 1, x + 2, y + 2});
}

void CpuMapImage::Ram(uint32_t address, TColor color)
{
    const int x = CellX(address), y = CellY(address);
    for (int d = -1; d <= 1; ++d) {
        map.SetPixel(x, y + d, color);
        map.SetPixel(x + d, y, color);
    }
}

void CpuMapImage::Io(uint32_t address, TColor color)
{
    const int x = CellX(address), y = CellY(address);
    map.SetPixel(x, y, color);
    for (int dx : {-1, 1}) {
        for (int dy : {-1, 1})
            map.SetPixel(x + dx, y + dy, color);
    }
}
