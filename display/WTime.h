#pragma once

// The exact decimal time value of the analyzer and its
// arithmetic. Every time of the program (sample periods, time per division
// and per pixel, the delay, cursor times, pulse widths, durations) is one of
// these instead of a floating-point number, so that 4 ns steps add up without
// error over millions of samples.
//
// All operations are pure, constexpr and allocation-free: the waveform view
// calls them per pixel column and per sample. They work on the groups as
// unsigned 32-bit numbers and wrap modulo 2^32 on overflow exactly as the
// arithmetic defines; nothing is detected or reported (callers keep their values
// to minutes at most).
//
// Magnitude operations (Normalise, TimeAdd, TimeMul, TimeAbsDiff, TimeDivide,
// the comparisons) ignore the sign of their operands and return a positive
// value (sign 1); only the Signed* operations set a sign. The comparisons and
// TimeAbsDiff look at the groups from seconds down and so expect normalised
// operands (groups 0..3 in 0..999); TimeDivide and TimeToInt also accept the
// unnormalised values built from table entries (e.g. 2500 ns).

#include <array>
#include <cstddef>
#include <cstdint>

struct WTime
{
    // Unit indices, which are also the group indices.
    enum Unit : int { Ps = 0, Ns = 1, Us = 2, Ms = 3, Sec = 4 };
    static constexpr int GroupCount = 5;

    // g[0] ps, g[1] ns, g[2] us, g[3] ms, g[4] s. Normalised: g[0..3] in 0..999.
    std::array<uint32_t, GroupCount> g{};
    uint8_t sign = 1; // 1 = positive or zero, 0 = negative

    // Value v in unit u stored as it is in group u (not normalised: 2500 ns
    // stays 2500 in group 1), sign positive. A unit outside 0..4 gives zero.
    static constexpr WTime FromTable(uint32_t v, int u)
    {
        WTime t;
        if (u >= 0 && u < GroupCount)
            t.g[static_cast<std::size_t>(u)] = v;
        return t;
    }
    // Convenience for literals in code and tests: the five groups, seconds
    // last, and the sign (not normalised).
    static constexpr WTime Of(uint32_t ps, uint32_t ns = 0, uint32_t us = 0, uint32_t ms = 0,
                              uint32_t s = 0, uint8_t sign = 1)
    {
        WTime t;
        t.g = {ps, ns, us, ms, s};
        t.sign = sign;
        return t;
    }

    constexpr bool IsZero() const { return (g[0] | g[1] | g[2] | g[3] | g[4]) == 0; }
    constexpr bool IsNegative() const { return sign == 0; }

    // Exact equality of groups and sign (not the magnitude comparison TimeEqual).
    friend constexpr bool operator==(const WTime &, const WTime &) = default;
};

namespace WTimeDetail {
// Normalise on five groups held in registers (written out instead of looping
// over the array, which the compiler would keep in memory).
constexpr WTime Make(uint32_t g0, uint32_t g1, uint32_t g2, uint32_t g3, uint32_t g4)
{
    if (g0 >= 1000) {
        g1 += g0 / 1000;
        g0 %= 1000;
    }
    if (g1 >= 1000) {
        g2 += g1 / 1000;
        g1 %= 1000;
    }
    if (g2 >= 1000) {
        g3 += g2 / 1000;
        g2 %= 1000;
    }
    if (g3 >= 1000) {
        g4 += g3 / 1000;
        g3 %= 1000;
    }
    WTime t;
    t.g = {g0, g1, g2, g3, g4};
    return t;
}
} // namespace WTimeDetail

// For k = 0..3: a group of 1000 or more carries its thousands into the next
// group. The sign is kept.
constexpr WTime Normalise(const WTime &t)
{
    WTime r = WTimeDetail::Make(t.g[0], t.g[1], t.g[2], t.g[3], t.g[4]);
    r.sign = t.sign;
    return r;
}

// Groupwise sum of the magnitudes, normalised; positive.
constexpr WTime TimeAdd(const WTime &a, const WTime &b)
{
    return WTimeDetail::Make(a.g[0] + b.g[0], a.g[1] + b.g[1], a.g[2] + b.g[2], a.g[3] + b.g[3],
                             a.g[4] + b.g[4]);
}

// Every group times n (wrapping modulo 2^32), normalised; positive.
constexpr WTime TimeMul(const WTime &a, uint32_t n)
{
    return WTimeDetail::Make(a.g[0] * n, a.g[1] * n, a.g[2] * n, a.g[3] * n, a.g[4] * n);
}

// Magnitude comparisons: from group 4 down, the first differing group decides.
constexpr int TimeCompare(const WTime &a, const WTime &b)
{
    for (std::size_t k = 5; k-- > 0;) {
        if (a.g[k] != b.g[k])
            return a.g[k] < b.g[k] ? -1 : 1;
    }
    return 0;
}
constexpr bool TimeLess(const WTime &a, const WTime &b)
{
    return TimeCompare(a, b) < 0;
}
constexpr bool TimeGreater(const WTime &a, const WTime &b)
{
    return TimeCompare(a, b) > 0;
}
constexpr bool TimeLessEq(const WTime &a, const WTime &b)
{
    return TimeCompare(a, b) <= 0;
}
constexpr bool TimeGreaterEq(const WTime &a, const WTime &b)
{
    return TimeCompare(a, b) >= 0;
}
constexpr bool TimeEqual(const WTime &a, const WTime &b)
{
    return TimeCompare(a, b) == 0;
}

// |a - b| of the magnitudes: the larger minus the smaller, group by group
// from group 0, borrowing 1000 from the next group; positive.
constexpr WTime TimeAbsDiff(const WTime &a, const WTime &b)
{
    const bool aLarger = TimeGreaterEq(a, b);
    const WTime &big = aLarger ? a : b;
    const WTime &small = aLarger ? b : a;
    // One step: big - (small + borrow), borrowing 1000 from the next group
    // when it does not fit. Written out group by group to stay in registers.
    uint32_t borrow = 0;
    auto step = [&borrow](uint32_t x, uint32_t y) {
        const uint32_t take = y + borrow;
        borrow = x < take ? 1 : 0;
        return x + borrow * 1000 - take;
    };
    const uint32_t r0 = step(big.g[0], small.g[0]);
    const uint32_t r1 = step(big.g[1], small.g[1]);
    const uint32_t r2 = step(big.g[2], small.g[2]);
    const uint32_t r3 = step(big.g[3], small.g[3]);
    WTime t;
    t.g = {r0, r1, r2, r3, big.g[4] - small.g[4] - borrow};
    return t;
}

struct WTimeQuotient
{
    WTime q; // the quotient as a count: group 0 units, group 1 thousands, ...; normalised
    WTime r; // the remainder, in the groups of the dividend
};

// a / b. Only the lowest non-zero group k of b (value d) takes part: the
// groups k..4 of a are divided by d from group 4 down, each step dividing
// (previous remainder * 1000 + group); the quotient groups are then moved down
// by k so that q's group 0 counts units. r holds the final remainder in group
// k and a's groups below k unchanged. A zero divisor gives zero q and r.
constexpr WTimeQuotient TimeDivide(const WTime &a, const WTime &b)
{
    WTimeQuotient out;
    std::size_t k = 0;
    while (k < 5 && b.g[k] == 0)
        ++k;
    if (k == 5)
        return out;
    const uint32_t d = b.g[k];
    uint32_t qg[5] = {};
    uint64_t rem = 0;
    for (std::size_t j = 5; j-- > k;) {
        const uint64_t cur = rem * 1000 + a.g[j];
        // 32-bit division whenever the step fits (always with the tables'
        // divisors); 64-bit only for huge groups or divisors.
        if (cur <= UINT32_MAX) {
            const auto c = static_cast<uint32_t>(cur);
            qg[j - k] = c / d;
            rem = c % d;
        } else {
            qg[j - k] = static_cast<uint32_t>(cur / d);
            rem = cur % d;
        }
    }
    out.q = WTimeDetail::Make(qg[0], qg[1], qg[2], qg[3], qg[4]);
    uint32_t rg[5] = {};
    for (std::size_t j = 0; j < k; ++j)
        rg[j] = a.g[j];
    rg[k] = static_cast<uint32_t>(rem);
    out.r.g = {rg[0], rg[1], rg[2], rg[3], rg[4]};
    return out;
}

// ((((g4 * 1000 + g3) * 1000 + g2) * 1000 + g1) * 1000 + g0), wrapping modulo
// 2^32. Applied to a quotient it gives the plain count.
constexpr uint32_t TimeToInt(const WTime &t)
{
    uint32_t v = t.g[4];
    for (std::size_t k = 4; k-- > 0;)
        v = v * 1000 + t.g[k];
    return v;
}

// The same sum without wrapping (64 bits; exact for every normalised value
// whose seconds group is below 18 million), for range checks such as "more
// than 65535 periods".
constexpr uint64_t TimeToInt64(const WTime &t)
{
    uint64_t v = t.g[4];
    for (std::size_t k = 4; k-- > 0;)
        v = v * 1000 + t.g[k];
    return v;
}

// Equal signs: magnitudes added, sign kept. Different signs: the magnitude
// difference, positive exactly when the positive operand's magnitude is at
// least the negative one's.
constexpr WTime SignedAdd(const WTime &a, const WTime &b)
{
    WTime r;
    if (a.sign == b.sign) {
        r = TimeAdd(a, b);
        r.sign = a.sign;
    } else {
        r = TimeAbsDiff(a, b);
        const WTime &pos = a.sign ? a : b;
        const WTime &neg = a.sign ? b : a;
        r.sign = TimeGreaterEq(pos, neg) ? 1 : 0;
    }
    return r;
}

// a - b. Both positive: |a - b|, positive when a >= b. Both negative:
// |a - b|, positive when |a| <= |b|. Different signs: magnitudes added, with
// a's sign.
constexpr WTime SignedSub(const WTime &a, const WTime &b)
{
    WTime r;
    if (a.sign != b.sign) {
        r = TimeAdd(a, b);
        r.sign = a.sign;
    } else {
        r = TimeAbsDiff(a, b);
        if (a.sign)
            r.sign = TimeGreaterEq(a, b) ? 1 : 0;
        else
            r.sign = TimeLessEq(a, b) ? 1 : 0;
    }
    return r;
}

// Positive >= negative always; two positives compare magnitudes; two
// negatives compare magnitudes the other way round.
constexpr bool SignedGreaterEq(const WTime &a, const WTime &b)
{
    if (a.sign != b.sign)
        return a.sign != 0;
    return a.sign ? TimeGreaterEq(a, b) : TimeLessEq(a, b);
}
constexpr bool SignedLessEq(const WTime &a, const WTime &b)
{
    if (a.sign != b.sign)
        return a.sign == 0;
    return a.sign ? TimeLessEq(a, b) : TimeGreaterEq(a, b);
}

struct WColumn
{
    bool ok = false;
    uint32_t column = 0;
};

// The pixel column of the time difference t at tpp per pixel, tpp's unit
// being u. With u = 0, t must have groups 3 and 4 zero; with u = 1, group 4
// zero; else (t too large to count in that unit) ok is false. u outside 0..4
// is not ok either. Both values are reduced to whole units of group u (groups
// below u are dropped); column = t' div tpp' with a zero divisor counting as
// 1. The sign of t is ignored. The reduction is done in 64 bits, so a very
// large t' does not wrap; a column beyond 2^32 - 1 reads as 2^32 - 1.
constexpr WColumn ColumnOf(const WTime &t, const WTime &tpp, int u)
{
    WColumn out;
    if (u < 0 || u > 4)
        return out;
    if (u == 0 && (t.g[3] != 0 || t.g[4] != 0))
        return out;
    if (u == 1 && t.g[4] != 0)
        return out;
    uint64_t tv = 0;
    uint64_t pv = 0;
    for (std::size_t k = 5; k-- > static_cast<std::size_t>(u);) {
        tv = tv * 1000 + t.g[k];
        pv = pv * 1000 + tpp.g[k];
    }
    if (pv == 0)
        pv = 1;
    const uint64_t c = tv / pv;
    out.ok = true;
    out.column = c > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(c);
    return out;
}
