#pragma once

#include "plot/PlotruneApi.h"
#include "plot/TGraphicsTypes.h"

#include <cstdint>
#include <span>
#include <string_view>

class TBitmap;

// The drawing state of one TBitmap (pen, brush, font, pen position) and the
// operations that draw with it. Everything is clipped to the bitmap: any
// coordinates are accepted and nothing is ever written outside it; the work
// of a line is bounded by the bitmap's size, not by the line's length.
//
// Lines follow the usual end-point rule: LineTo(b) after MoveTo(a) sets the
// pixels of the Bresenham line from a towards b without b itself, so
// MoveTo(a); LineTo(a) sets nothing. Step i (0-based) along the major axis
// moves the minor coordinate by round(i × minor ÷ major), halves rounding
// towards a. A pen of width w > 1 sets, at every point of that line, w pixels
// across the major axis (w div 2 before the point, the rest after), so a
// horizontal line of width 2 at y covers rows y − 1 and y. Styled pens
// (Dash, Dot, ...) count their pattern in steps along the major axis; the
// pattern restarts at MoveTo and runs on through following LineTo calls; it
// applies at every pen width (GDI would draw a wide styled pen solid).
class PLOTRUNE_API TCanvas
{
public:
    explicit TCanvas(TBitmap *bitmap);
    TCanvas(const TCanvas &) = delete;
    TCanvas &operator=(const TCanvas &) = delete;

    // Takes pen, brush, font and pen position (not the bitmap) of another canvas.
    void AssignState(const TCanvas &other);

    TPen Pen;
    TBrush Brush;
    TFont Font;
    TPoint PenPos;

    TBitmap *Bitmap() const { return bitmap; }

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    // Lines through the points in turn (end-point rule at the last one),
    // the pattern starting afresh. Pen position and pattern are kept.
    void Polyline(std::span<const TPoint> points);
    // Fills the inside (even-odd rule, pixel centres) with the brush, then
    // outlines the closed figure with the pen. Pen position and pattern are kept.
    void Polygon(std::span<const TPoint> points);
    // Fills columns Left .. Right − 1, rows Top .. Bottom − 1 with the brush
    // and outlines that area's border pixels with the pen. Reversed corners
    // are put in order. Pen position and pattern are kept. (Unlike GDI, a
    // Clear pen does not make the fill one pixel smaller.)
    void Rectangle(const TRect &r);
    void Rectangle(int x1, int y1, int x2, int y2) { Rectangle(TRect{x1, y1, x2, y2}); }
    // The area as for Rectangle filled with the brush (nothing with a Clear
    // brush); the pen is not used.
    void FillRect(const TRect &r);
    // The border pixels of that area in the brush colour (width 1).
    void FrameRect(const TRect &r);

    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor colour);

    // Writes text (UTF-8) with its cell's top-left corner at (x, y) in the
    // font colour; with a Solid brush the cells are filled with the brush
    // colour first, with a Clear brush the background stays. Printable ASCII,
    // "↑", "↓", "µ" and "°" have glyphs, any other character a box. The pen
    // position moves to (x + TextWidth(text), y).
    void TextOut(int x, int y, std::string_view text);
    int TextWidth(std::string_view text) const;
    int TextHeight(std::string_view text) const;

    // Copies source with its top-left pixel at (x, y), clipped.
    void Draw(int x, int y, const TBitmap &source);

    // Pixels per font pixel for a font size: 1 up to size 11, 2 for 12..18,
    // 3 for 19..26 and so on (the height of the size at 96 dpi over 10).
    static int FontScale(int size);
    // Advance of one character and height of a line for a font.
    static int CellWidth(const TFont &font);
    static int CellHeight(const TFont &font);

private:
    void Segment(int64_t x1, int64_t y1, int64_t x2, int64_t y2);
    void HorizontalRun(int64_t x1, int64_t x2, int64_t y, uint32_t pixel);
    void FillArea(TRect r, uint32_t pixel);

    TBitmap *bitmap;
    uint32_t patternStep = 0; // steps drawn since the last MoveTo
};
