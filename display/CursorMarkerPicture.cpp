#include "display/CursorMarkerPicture.h"

#include "display/WCursor.h"

#include <algorithm>
#include <string>

namespace {

constexpr int BoxHeight = 15;    // ruler marker: box rows 0..14, arrow rows 15..20
constexpr int ListBoxWidth = 15; // list marker: box columns 0..14, arrow from 15

void DrawBox(TCanvas &canvas, int width, int height, TColor colour)
{
    canvas.Pen = TPen{CursorMarkerPicture::OutlineColour, TPenStyle::Solid, 1};
    canvas.Brush = TBrush{colour, TBrushStyle::Solid};
    canvas.Rectangle(0, 0, width, height);
}

void DrawLetter(TCanvas &canvas, int x, int y, char name)
{
    canvas.Brush.Style = TBrushStyle::Clear;
    canvas.Font.Size = 8;
    canvas.Font.Bold = false;
    canvas.Font.Color = CursorMarkerPicture::OutlineColour;
    canvas.TextOut(x, y, std::string(1, name));
}

// One row of an arrow: colour between the ends, the ends in the outline colour.
void ArrowRow(TBitmap &b, int x1, int x2, int y, TColor colour)
{
    for (int x = x1; x <= x2; ++x)
        b.SetPixel(x, y, x == x1 || x == x2 ? CursorMarkerPicture::OutlineColour : colour);
}

} // namespace

TBitmap CursorMarkerPicture::RulerMarker(char name, TColor colour)
{
    TBitmap b(WCursor::MarkerWidth, WCursor::MarkerHeight, TransparentColour);
    DrawBox(b.Canvas(), WCursor::MarkerWidth, BoxHeight, colour);
    DrawLetter(b.Canvas(), 5, 1, name);
    // Down-pointing arrow under the box, narrowing to the tip at (7, 20).
    const int tip = WCursor::TipOffset;
    for (int y = BoxHeight; y < WCursor::MarkerHeight; ++y) {
        const int half = WCursor::MarkerHeight - 1 - y;
        ArrowRow(b, tip - half, tip + half, y, colour);
    }
    return b;
}

TBitmap CursorMarkerPicture::ListMarker(char name, TColor colour)
{
    const int size = WCursor::ListMarkerSize;
    TBitmap b(size, size, TransparentColour);
    DrawBox(b.Canvas(), ListBoxWidth, size, colour);
    DrawLetter(b.Canvas(), 4, 3, name);
    // Right-pointing arrow beside the box, its tip at column 19 in the middle rows.
    for (int y = 0; y < size; ++y) {
        const int d = std::min(y, size - 1 - y);
        ArrowRow(b, ListBoxWidth - 1, std::min(size - 1, ListBoxWidth + d / 2), y, colour);
    }
    return b;
}
