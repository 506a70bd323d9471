#include "plot/TCanvas.h"

#include "plot/TBitmap.h"
#include "plot/TBitmapFont.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace {

__extension__ typedef __int128 Int128;

// A pen style as a bit mask over one period of steps (bit s on = step s set).
struct StyleMask
{
    uint32_t bits;
    uint32_t period; // 0: every step is set
};

// All periods divide this, so the pattern position can be kept modulo it.
constexpr uint32_t PatternCycle = 24;

StyleMask MaskOf(TPenStyle style)
{
    switch (style) {
    case TPenStyle::Dash:
        return {0x3FFFFu, 24}; // 18 on, 6 off
    case TPenStyle::Dot:
        return {0x7u, 6}; // 3 on, 3 off
    case TPenStyle::DashDot:
        return {0x1FFu | 0x7u << 15, 24}; // 9 on, 6 off, 3 on, 6 off
    case TPenStyle::DashDotDot:
        return {0x1FFu | 0x7u << 12 | 0x7u << 18, 24}; // 9 on, (3 off, 3 on) × 2, 3 off
    default:
        return {0, 0};
    }
}

int64_t ClampTo(int64_t v, int64_t lo, int64_t hi)
{
    return std::min(std::max(v, lo), hi);
}

int SaturateInt(int64_t v)
{
    return static_cast<int>(ClampTo(v, INT_MIN, INT_MAX));
}

} // namespace

TCanvas::TCanvas(TBitmap *target)
    : bitmap(target)
{}

void TCanvas::AssignState(const TCanvas &other)
{
    Pen = other.Pen;
    Brush = other.Brush;
    Font = other.Font;
    PenPos = other.PenPos;
    patternStep = other.patternStep;
}

void TCanvas::MoveTo(int x, int y)
{
    PenPos = {x, y};
    patternStep = 0;
}

void TCanvas::LineTo(int x, int y)
{
    Segment(PenPos.X, PenPos.Y, x, y);
    PenPos = {x, y};
}

// The line from (x1, y1) towards (x2, y2) without its end point. The walk
// runs along the major axis a with the minor coordinate b; only the steps
// whose a lies inside the bitmap are visited, so the cost is at most the
// bitmap's side whatever the line's length.
void TCanvas::Segment(int64_t x1, int64_t y1, int64_t x2, int64_t y2)
{
    const int64_t adx = x2 >= x1 ? x2 - x1 : x1 - x2;
    const int64_t ady = y2 >= y1 ? y2 - y1 : y1 - y2;
    const bool xMajor = adx >= ady;
    const int64_t da = xMajor ? adx : ady; // steps of the line
    const int64_t db = xMajor ? ady : adx;
    const uint32_t phase = patternStep;
    patternStep = static_cast<uint32_t>((phase + static_cast<uint64_t>(da)) % PatternCycle);
    if (da == 0 || Pen.Style == TPenStyle::Clear || bitmap == nullptr || bitmap->Empty())
        return;

    const int64_t width = bitmap->Width();
    const int64_t height = bitmap->Height();
    const int64_t penWidth = std::max(Pen.Width, 1);
    const int64_t before = penWidth / 2; // pixels of the pen across, before the point
    const uint32_t pixel = TBitmap::PixelOf(Pen.Color);
    const StyleMask style = MaskOf(Pen.Style);
    uint32_t *const bits = bitmap->Bits().data();

    const int64_t a1 = xMajor ? x1 : y1;
    const int64_t b1 = xMajor ? y1 : x1;
    const int64_t sa = (xMajor ? x2 - x1 : y2 - y1) > 0 ? 1 : -1;
    const int64_t sb =
        (xMajor ? y2 - y1 : x2 - x1) > 0 ? 1 : ((xMajor ? y2 - y1 : x2 - x1) < 0 ? -1 : 0);
    const int64_t majorSize = xMajor ? width : height;
    const int64_t minorSize = xMajor ? height : width;

    // Steps i (0 .. da − 1) whose major coordinate a1 + sa·i is inside.
    int64_t iLo = 0;
    int64_t iHi = 0;
    if (sa > 0) {
        iLo = std::max<int64_t>(0, -a1);
        iHi = std::min(da - 1, majorSize - 1 - a1);
    } else {
        iLo = std::max<int64_t>(0, a1 - (majorSize - 1));
        iHi = std::min(da - 1, a1);
    }
    if (iLo > iHi)
        return;

    // A point b is visible across when its pen span b − before .. b − before
    // + penWidth − 1 meets 0 .. minorSize − 1.
    const int64_t bMin = before - penWidth + 1;
    const int64_t bMax = minorSize - 1 + before;

    if (db == 0 && style.period == 0) {
        // Horizontal or vertical solid line: whole runs.
        if (b1 < bMin || b1 > bMax)
            return;
        const int64_t aFirst = sa > 0 ? a1 + iLo : a1 - iHi;
        const int64_t aLast = sa > 0 ? a1 + iHi : a1 - iLo;
        const int64_t bFirst = std::max<int64_t>(b1 - before, 0);
        const int64_t bLast = std::min(b1 - before + penWidth - 1, minorSize - 1);
        if (xMajor) {
            for (int64_t y = bFirst; y <= bLast; ++y)
                std::fill(bits + y * width + aFirst, bits + y * width + aLast + 1, pixel);
        } else if (bFirst == bLast) {
            for (uint32_t *p = bits + aFirst * width + bFirst; p <= bits + aLast * width + bFirst;
                 p += width)
                *p = pixel;
        } else {
            for (int64_t y = aFirst; y <= aLast; ++y)
                std::fill(bits + y * width + bFirst, bits + y * width + bLast + 1, pixel);
        }
        return;
    }

    // Bresenham: the minor offset at step i is k = ⌊(2·i·db + da − 1) ÷ (2·da)⌋,
    // kept incrementally as k and the remainder r.
    const int64_t twoDa = 2 * da;
    const Int128 start = static_cast<Int128>(2) * iLo * db + da - 1;
    int64_t k = static_cast<int64_t>(start / twoDa);
    int64_t r = static_cast<int64_t>(start % twoDa);
    uint32_t p = style.period == 0
                     ? 0
                     : static_cast<uint32_t>((phase + static_cast<uint64_t>(iLo)) % style.period);
    for (int64_t i = iLo; i <= iHi; ++i) {
        const int64_t b = b1 + sb * k;
        if (b < bMin || b > bMax) {
            if ((sb > 0 && b > bMax) || (sb < 0 && b < bMin) || sb == 0)
                return; // moving away: nothing more is visible
        } else if (style.period == 0 || (style.bits >> p & 1u) != 0) {
            const int64_t a = a1 + sa * i;
            const int64_t from = std::max<int64_t>(b - before, 0);
            const int64_t to = std::min(b - before + penWidth - 1, minorSize - 1);
            if (xMajor) {
                for (int64_t y = from; y <= to; ++y)
                    bits[y * width + a] = pixel;
            } else {
                std::fill(bits + a * width + from, bits + a * width + to + 1, pixel);
            }
        }
        r += 2 * db;
        if (r >= twoDa) {
            r -= twoDa;
            ++k;
        }
        if (style.period != 0 && ++p == style.period)
            p = 0;
    }
}

void TCanvas::HorizontalRun(int64_t x1, int64_t x2, int64_t y, uint32_t pixel)
{
    if (bitmap == nullptr || y < 0 || y >= bitmap->Height())
        return;
    x1 = std::max<int64_t>(x1, 0);
    x2 = std::min<int64_t>(x2, bitmap->Width() - 1);
    if (x1 > x2)
        return;
    uint32_t *row = bitmap->ScanLine(static_cast<int>(y)).data();
    std::fill(row + x1, row + x2 + 1, pixel);
}

void TCanvas::FillArea(TRect r, uint32_t pixel)
{
    if (bitmap == nullptr)
        return;
    const int64_t left = std::max<int64_t>(std::min(r.Left, r.Right), 0);
    const int64_t right = std::min<int64_t>(std::max(r.Left, r.Right), bitmap->Width());
    const int64_t top = std::max<int64_t>(std::min(r.Top, r.Bottom), 0);
    const int64_t bottom = std::min<int64_t>(std::max(r.Top, r.Bottom), bitmap->Height());
    for (int64_t y = top; y < bottom; ++y)
        HorizontalRun(left, right - 1, y, pixel);
}

void TCanvas::Polyline(std::span<const TPoint> points)
{
    if (points.empty())
        return;
    const TPoint keptPos = PenPos;
    const uint32_t keptStep = patternStep;
    MoveTo(points[0].X, points[0].Y);
    for (const TPoint &p : points.subspan(1))
        LineTo(p.X, p.Y);
    PenPos = keptPos;
    patternStep = keptStep;
}

void TCanvas::Polygon(std::span<const TPoint> points)
{
    if (points.empty() || bitmap == nullptr)
        return;
    if (points.size() >= 3 && Brush.Style == TBrushStyle::Solid) {
        // Even-odd fill: a pixel is inside when its centre (x + ½, y + ½) is.
        const uint32_t pixel = TBitmap::PixelOf(Brush.Color);
        int64_t top = INT64_MAX;
        int64_t bottom = INT64_MIN;
        for (const TPoint &p : points) {
            top = std::min<int64_t>(top, p.Y);
            bottom = std::max<int64_t>(bottom, p.Y);
        }
        top = std::max<int64_t>(top, 0);
        bottom = std::min<int64_t>(bottom, bitmap->Height());
        std::vector<double> crossings;
        for (int64_t y = top; y < bottom; ++y) {
            const double yc = static_cast<double>(y) + 0.5;
            crossings.clear();
            for (size_t e = 0; e < points.size(); ++e) {
                const TPoint &p = points[e];
                const TPoint &q = points[(e + 1) % points.size()];
                if ((p.Y <= yc) == (q.Y <= yc))
                    continue; // the edge does not cross this centre line
                const double t = (yc - p.Y) / (static_cast<double>(q.Y) - p.Y);
                crossings.push_back(p.X + t * (static_cast<double>(q.X) - p.X));
            }
            std::sort(crossings.begin(), crossings.end());
            for (size_t c = 0; c + 1 < crossings.size(); c += 2) {
                // Centres x + ½ in [from, to): x from ⌈from − ½⌉ to ⌈to − ½⌉ − 1.
                const double from = std::clamp(crossings[c], -1.0, bitmap->Width() + 1.0);
                const double to = std::clamp(crossings[c + 1], -1.0, bitmap->Width() + 1.0);
                const auto x1 = static_cast<int64_t>(std::ceil(from - 0.5));
                const auto x2 = static_cast<int64_t>(std::ceil(to - 0.5)) - 1;
                HorizontalRun(x1, x2, y, pixel);
            }
        }
    }
    const TPoint keptPos = PenPos;
    const uint32_t keptStep = patternStep;
    MoveTo(points[0].X, points[0].Y);
    for (const TPoint &p : points.subspan(1))
        LineTo(p.X, p.Y);
    LineTo(points[0].X, points[0].Y);
    PenPos = keptPos;
    patternStep = keptStep;
}

void TCanvas::Rectangle(const TRect &r)
{
    const int64_t left = std::min(r.Left, r.Right);
    const int64_t right = std::max(r.Left, r.Right);
    const int64_t top = std::min(r.Top, r.Bottom);
    const int64_t bottom = std::max(r.Top, r.Bottom);
    if (left == right || top == bottom)
        return;
    if (Brush.Style == TBrushStyle::Solid)
        FillArea(r, TBitmap::PixelOf(Brush.Color));
    const uint32_t keptStep = patternStep;
    const int64_t x2 = right - 1;
    const int64_t y2 = bottom - 1;
    patternStep = 0;
    if (bottom - top == 1) {
        Segment(left, top, right, top);
    } else if (right - left == 1) {
        Segment(left, top, left, bottom);
    } else {
        Segment(left, top, x2, top);
        Segment(x2, top, x2, y2);
        Segment(x2, y2, left, y2);
        Segment(left, y2, left, top);
    }
    patternStep = keptStep;
}

void TCanvas::FillRect(const TRect &r)
{
    if (Brush.Style == TBrushStyle::Solid)
        FillArea(r, TBitmap::PixelOf(Brush.Color));
}

void TCanvas::FrameRect(const TRect &r)
{
    if (Brush.Style != TBrushStyle::Solid)
        return;
    const int64_t left = std::min(r.Left, r.Right);
    const int64_t right = std::max(r.Left, r.Right) - int64_t{1};
    const int64_t top = std::min(r.Top, r.Bottom);
    const int64_t bottom = std::max(r.Top, r.Bottom) - int64_t{1};
    if (left > right || top > bottom || bitmap == nullptr)
        return;
    const uint32_t pixel = TBitmap::PixelOf(Brush.Color);
    HorizontalRun(left, right, top, pixel);
    HorizontalRun(left, right, bottom, pixel);
    const int64_t from = std::max<int64_t>(top + 1, 0);
    const int64_t to = std::min<int64_t>(bottom - 1, bitmap->Height() - 1);
    for (int64_t y = from; y <= to; ++y) {
        HorizontalRun(left, left, y, pixel);
        HorizontalRun(right, right, y, pixel);
    }
}

TColor TCanvas::Pixel(int x, int y) const
{
    return bitmap != nullptr ? bitmap->Pixel(x, y) : TBitmap::InvalidColor;
}

void TCanvas::SetPixel(int x, int y, TColor colour)
{
    if (bitmap != nullptr)
        bitmap->SetPixel(x, y, colour);
}

int TCanvas::FontScale(int size)
{
    const int64_t s = ClampTo(size < 0 ? -static_cast<int64_t>(size) : size, 1, 750);
    return static_cast<int>(std::max<int64_t>(1, (s * 4 + 15) / 30));
}

int TCanvas::CellWidth(const TFont &font)
{
    return (font.Bold ? TBitmapFont::CellWidth + 1 : TBitmapFont::CellWidth) * FontScale(font.Size);
}

int TCanvas::CellHeight(const TFont &font)
{
    return TBitmapFont::CellHeight * FontScale(font.Size);
}

int TCanvas::TextWidth(std::string_view text) const
{
    return SaturateInt(static_cast<int64_t>(TBitmapFont::CharacterCount(text)) * CellWidth(Font));
}

int TCanvas::TextHeight(std::string_view) const
{
    return CellHeight(Font);
}

void TCanvas::TextOut(int x, int y, std::string_view text)
{
    const int64_t cellWidth = CellWidth(Font);
    const int64_t cellHeight = CellHeight(Font);
    const int64_t scale = FontScale(Font.Size);
    const int64_t total = static_cast<int64_t>(TBitmapFont::CharacterCount(text)) * cellWidth;
    PenPos = {SaturateInt(x + total), y};
    if (bitmap == nullptr || bitmap->Empty())
        return;
    if (Brush.Style == TBrushStyle::Solid) {
        const uint32_t back = TBitmap::PixelOf(Brush.Color);
        const int64_t bottom = std::min<int64_t>(y + cellHeight, bitmap->Height());
        for (int64_t row = std::max<int64_t>(y, 0); row < bottom; ++row)
            HorizontalRun(x, x + total - 1, row, back);
    }
    const uint32_t ink = TBitmap::PixelOf(Font.Color);
    int64_t cellX = x;
    for (size_t pos = 0; pos < text.size() && cellX < bitmap->Width(); cellX += cellWidth) {
        const char32_t code = TBitmapFont::NextCharacter(text, pos);
        if (cellX + cellWidth <= 0)
            continue;
        const TBitmapFont::Rows &glyph = TBitmapFont::Glyph(code);
        for (int r = 0; r < TBitmapFont::GlyphRows; ++r) {
            // Bit 5 is the leftmost of six columns; Bold adds each pixel's right neighbour.
            uint32_t bits = static_cast<uint32_t>(glyph[r]) << 1;
            if (Font.Bold)
                bits |= bits >> 1;
            const int64_t top = y + (TBitmapFont::TopMargin + r) * scale;
            for (int c = 0; c < 6;) {
                if ((bits >> (5 - c) & 1u) == 0) {
                    ++c;
                    continue;
                }
                const int first = c;
                while (c < 6 && (bits >> (5 - c) & 1u) != 0)
                    ++c;
                for (int64_t dy = 0; dy < scale; ++dy)
                    HorizontalRun(cellX + first * scale, cellX + c * scale - 1, top + dy, ink);
            }
        }
    }
}

void TCanvas::Draw(int x, int y, const TBitmap &source)
{
    if (bitmap == nullptr || source.Empty())
        return;
    if (&source == bitmap) {
        const TBitmap copy(source);
        Draw(x, y, copy);
        return;
    }
    const int64_t fromX = std::max<int64_t>(0, -static_cast<int64_t>(x));
    const int64_t toX =
        std::min<int64_t>(source.Width(), static_cast<int64_t>(bitmap->Width()) - x);
    const int64_t fromY = std::max<int64_t>(0, -static_cast<int64_t>(y));
    const int64_t toY =
        std::min<int64_t>(source.Height(), static_cast<int64_t>(bitmap->Height()) - y);
    if (fromX >= toX)
        return;
    for (int64_t sy = fromY; sy < toY; ++sy) {
        const auto from = source.ScanLine(static_cast<int>(sy));
        auto to = bitmap->ScanLine(static_cast<int>(sy + y));
        std::copy(from.begin() + fromX, from.begin() + toX, to.begin() + (fromX + x));
    }
}
