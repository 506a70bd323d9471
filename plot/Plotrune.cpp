#include "plot/Plotrune.h"

#include <algorithm>
#include <climits>

namespace {

int Saturate(int64_t v)
{
    return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

void Line(TCanvas &canvas, int64_t x1, int64_t y1, int64_t x2, int64_t y2)
{
    canvas.MoveTo(Saturate(x1), Saturate(y1));
    canvas.LineTo(Saturate(x2), Saturate(y2));
}

// Codes 9 and 10: a vertical line from top towards bottom in each of the n
// columns from x. Columns whose pen span cannot reach the bitmap are
// skipped, except the last, which is always drawn so that the canvas ends
// in the same state as after the full loop.
void Columns(TCanvas &canvas, int64_t x, int64_t n, int64_t top, int64_t bottom)
{
    if (n <= 0)
        return;
    const int64_t penWidth = std::max(canvas.Pen.Width, 1);
    const int64_t before = penWidth / 2;
    const int64_t firstVisible = std::max<int64_t>(0, before - penWidth + 1 - x);
    const int64_t lastVisible = std::min<int64_t>(n - 2, canvas.Bitmap()->Width() - 1 + before - x);
    for (int64_t i = firstVisible; i <= lastVisible; ++i)
        Line(canvas, x + i, top, x + i, bottom);
    Line(canvas, x + n - 1, top, x + n - 1, bottom);
}

void DrawRun(TBitmap &bitmap, int64_t x, int64_t y, int64_t n, int64_t h, int32_t code)
{
    TCanvas &canvas = bitmap.Canvas();
    switch (code) {
    case 0:
        Line(canvas, x, y, x + n, y - h);
        Line(canvas, x, y, x + n, y + h);
        break;
    case 1:
        Line(canvas, x, y - h, x + n, y - h);
        Line(canvas, x, y + h, x + n, y + h);
        Line(canvas, x, y + h - 1, x + n, y + h - 1);
        break;
    case 2:
        Line(canvas, x, y - h, x + n, y);
        Line(canvas, x, y + h, x + n, y);
        break;
    case 3:
        Line(canvas, x, y, x + n, y - h);
        break;
    case 4:
        Line(canvas, x, y - h, x + n, y - h);
        break;
    case 5:
        Line(canvas, x, y - h, x + n, y);
        break;
    case 6:
        Line(canvas, x, y, x + n, y + h);
        break;
    case 7:
        Line(canvas, x, y + h, x + n, y + h);
        Line(canvas, x, y + h - 1, x + n, y + h - 1);
        break;
    case 8:
        Line(canvas, x, y + h, x + n, y);
        break;
    case 9:
        Columns(canvas, x, n, y - h, y + h);
        break;
    case 10:
        Columns(canvas, x, n, y - 1, y + 1);
        break;
    default:
        break;
    }
}

} // namespace

Plotrune::Plotrune() = default;
Plotrune::~Plotrune() = default;

void Plotrune::DrawGraphInformation(TBitmap *bitmap, int32_t x, int32_t y, int32_t length,
                                    int32_t halfHeight, int32_t code) const
{
    if (bitmap != nullptr)
        DrawRun(*bitmap, x, y, length, halfHeight, code);
}

void Plotrune::DrawGraphInfArray(TBitmap *bitmap, int32_t x, int32_t y, int32_t halfHeight,
                                 int32_t start, int32_t count, int32_t limit,
                                 const int32_t *values) const
{
    if (bitmap == nullptr || values == nullptr || start < 0 || start >= limit)
        return;
    int64_t column = x;
    int32_t current = values[start];
    int64_t run = 0;
    int64_t steps = 0;
    const int64_t stepLimit = static_cast<int64_t>(count) + 1;
    for (int64_t i = static_cast<int64_t>(start) + 1; i < limit;) {
        const int32_t next = values[i];
        if (next == current) {
            ++run;
        } else {
            DrawRun(*bitmap, column, y, run, halfHeight, current);
            column += run;
            run = 1;
            current = next;
        }
        ++steps;
        ++i;
        if (steps >= stepLimit)
            break;
    }
    if (column != stepLimit)
        DrawRun(*bitmap, column, y, run, halfHeight, current);
}
