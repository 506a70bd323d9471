#pragma once

#include "plot/PlotruneApi.h"
#include "plot/TBitmap.h"

#include <cstdint>

// Plotrune draws runs of equal shape codes as lines on a caller's bitmap.
// The object carries no state; it is a handle for the two
// operations. Both draw with the bitmap canvas's current pen and never change
// its pen, brush or font; they move its pen position.
//
// Shape codes, for a run at column x, centre line y, length n, half height h
// (a → b: MoveTo(a), LineTo(b), end pixel not set):
//   0  (x, y) → (x + n, y − h); (x, y) → (x + n, y + h)          bus cell opening
//   1  (x, y − h) → (x + n, y − h); (x, y + h) → (x + n, y + h);
//      (x, y + h − 1) → (x + n, y + h − 1)                       bus cell body
//   2  (x, y − h) → (x + n, y); (x, y + h) → (x + n, y)          bus cell closing
//   3  (x, y) → (x + n, y − h)      4  (x, y − h) → (x + n, y − h)
//   5  (x, y − h) → (x + n, y)      6  (x, y) → (x + n, y + h)
//   7  (x, y + h) → (x + n, y + h); (x, y + h − 1) → (x + n, y + h − 1)
//   8  (x, y + h) → (x + n, y)
//   9  for i = 0 .. n − 1: (x + i, y − h) → (x + i, y + h)       filled band
//   10 for i = 0 .. n − 1: (x + i, y − 1) → (x + i, y + 1)       thin band
//   any other code draws nothing (the callers use 255).
// So a band column covers rows y − h .. y + h − 1 (the end pixel y + h is
// not set). A length of 0 gives zero-width lines for 0..8 (vertical strokes
// for 0, 2, 3, 5, 6 and 8, nothing for 1, 4 and 7) and nothing for 9 and 10.
class PLOTRUNE_API Plotrune
{
public:
    Plotrune();
    ~Plotrune();

    // One run. A null bitmap draws nothing. Work is bounded by the bitmap's
    // size, whatever the length.
    void DrawGraphInformation(TBitmap *bitmap, int32_t x, int32_t y, int32_t length,
                              int32_t halfHeight, int32_t code) const;

    // Every run of values[start ..], one column per entry, from column x:
    //   start >= limit: nothing.
    //   cur = values[start]; run = 0; i = start + 1; steps = 0;
    //   while i < limit: next = values[i]; equal → run + 1; else draw (x, run,
    //     cur), x + run, run = 1, cur = next; steps + 1, i + 1; stop when
    //     steps reaches count + 1;
    //   then, unless x equals count + 1, draw (x, run, cur).
    // The first run is one column shorter than its entries (the first entry
    // only starts the comparison). The classic form of this loop is a do-while; here
    // i < limit is tested before every read, so values[limit] is never read
    // (with start = limit − 1 only the pending run of length 0 is drawn).
    // The caller's array must hold `limit` entries (every index from start
    // up to min(limit, start + count + 2) − 1 is read). A null bitmap or
    // values, or a negative start, draws nothing.
    void DrawGraphInfArray(TBitmap *bitmap, int32_t x, int32_t y, int32_t halfHeight, int32_t start,
                           int32_t count, int32_t limit, const int32_t *values) const;
};
