#pragma once

#include "display/WTime.h"

#include <algorithm>
#include <cstdint>

// A time value as a plain count of picoseconds and back, for arithmetic
// that needs no exact five-group form (rounding to sample periods, time
// stamps of exported samples).
namespace WTimePicoseconds {

// Seconds beyond this are no time the analyzer deals in; keeps the count
// inside 64 bits.
inline constexpr uint64_t MaxSeconds = 1000000;
inline constexpr uint64_t PerSecond = 1000000000000ULL;

// The magnitude in picoseconds (the groups need not be normalised).
constexpr uint64_t Of(const WTime &t)
{
    uint64_t ps = std::min<uint64_t>(t.g[4], MaxSeconds) * PerSecond;
    uint64_t unit = 1;
    for (size_t k = 0; k < 4; ++k, unit *= 1000)
        ps += uint64_t{t.g[k]} * unit;
    return ps;
}

// The normalised time of `ps` picoseconds, negative when asked (zero stays
// positive).
constexpr WTime ToTime(uint64_t ps, bool negative = false)
{
    WTime t;
    for (size_t k = 0; k < 4; ++k, ps /= 1000)
        t.g[k] = static_cast<uint32_t>(ps % 1000);
    t.g[4] = static_cast<uint32_t>(ps);
    t.sign = negative && !t.IsZero() ? 0 : 1;
    return t;
}

static_assert(Of(WTime::Of(1, 2, 3, 4, 5)) == 5004003002001ULL);
static_assert(Of(ToTime(1500000, true)) == 1500000 && ToTime(1500000, true).IsNegative());

} // namespace WTimePicoseconds
