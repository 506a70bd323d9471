// The time value arithmetic.

#include "display/WTime.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

constexpr WTime T(uint32_t ps, uint32_t ns = 0, uint32_t us = 0, uint32_t ms = 0, uint32_t s = 0)
{
    return WTime::Of(ps, ns, us, ms, s);
}
constexpr WTime Neg(WTime t)
{
    t.sign = 0;
    return t;
}

// The operations are constexpr: the key cases hold at compile time.
static_assert(Normalise(T(0, 2500)) == T(0, 500, 2));
static_assert(TimeToInt(TimeDivide(T(0, 0, 0, 1), T(0, 4)).q) == 250000);
static_assert(SignedAdd(Neg(T(0, 3)), T(0, 5)) == T(0, 2));

} // namespace

void PrintTo(const WTime &t, std::ostream *os)
{
    *os << (t.sign ? "+" : "-") << "{" << t.g[4] << "s " << t.g[3] << "ms " << t.g[2] << "us "
        << t.g[1] << "ns " << t.g[0] << "ps}";
}

namespace {

TEST(WTime, ZeroIsAllGroupsZeroAndPositive)
{
    const WTime z;
    EXPECT_TRUE(z.IsZero());
    EXPECT_EQ(z.sign, 1);
    EXPECT_EQ(z, T(0));
}

TEST(WTime, FromTableKeepsTheValueInItsGroup)
{
    EXPECT_EQ(WTime::FromTable(2500, WTime::Ns), T(0, 2500));
    EXPECT_EQ(WTime::FromTable(40, WTime::Ms), T(0, 0, 0, 40));
    EXPECT_EQ(WTime::FromTable(1, WTime::Sec), T(0, 0, 0, 0, 1));
    EXPECT_EQ(WTime::FromTable(200, WTime::Ps), T(200));
    EXPECT_TRUE(WTime::FromTable(7, 5).IsZero());
    EXPECT_TRUE(WTime::FromTable(7, -1).IsZero());
}

TEST(WTime, Normalise)
{
    struct Case
    {
        WTime in, out;
    };
    const Case cases[] = {
        {T(0, 2500), T(0, 500, 2)}, // 2500 ns = 2 us 500 ns
        {T(1500), T(500, 1)},
        {T(999, 999, 999, 999, 7), T(999, 999, 999, 999, 7)}, // already normalised
        {T(1000, 999, 999, 999), T(0, 0, 0, 0, 1)},           // the carry ripples all the way up
        {T(0, 0, 0, 2500000), T(0, 0, 0, 0, 2500)},           // group 4 is unbounded
        {T(4000000000u), T(0, 0, 0, 4)},                      // 4e9 ps = 4 ms
        {T(0, 0, 0, 0, 4000000), T(0, 0, 0, 0, 4000000)},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Normalise(c.in), c.out);
    EXPECT_EQ(Normalise(Neg(T(0, 2500))).sign, 0); // Normalise keeps the sign
}

TEST(WTime, TimeAdd)
{
    struct Case
    {
        WTime a, b, sum;
    };
    const Case cases[] = {
        {T(1500), T(700), T(200, 2)}, // 1500 ps + 700 ps = 2 ns 200 ps
        {T(999, 999, 999, 999), T(1), T(0, 0, 0, 0, 1)},
        {T(0, 4), T(0, 4), T(0, 8)},
        {T(0, 0, 0, 0, 3), T(0, 0, 0, 0, 4), T(0, 0, 0, 0, 7)},
        {T(0, 2500), T(0, 2500), T(0, 0, 5)}, // unnormalised table values
    };
    for (const Case &c : cases) {
        EXPECT_EQ(TimeAdd(c.a, c.b), c.sum);
        EXPECT_EQ(TimeAdd(c.b, c.a), c.sum);
    }
    // Magnitude operation: the signs are ignored and the result is positive.
    EXPECT_EQ(TimeAdd(Neg(T(0, 3)), Neg(T(0, 5))), T(0, 8));
}

TEST(WTime, TimeMul)
{
    struct Case
    {
        WTime a;
        uint32_t n;
        WTime product;
    };
    const Case cases[] = {
        {T(0, 4), 250000, T(0, 0, 0, 1)},
        {T(200), 520, T(0, 104)}, // 200 ps per pixel x 520 columns
        {T(0, 0, 0, 40), 512000, T(0, 0, 0, 0, 20480)},
        {T(0, 2500), 3, T(0, 500, 7)},
        {T(1, 2, 3, 4, 5), 0, T(0)},
        {T(999, 999, 999, 999, 1), 1, T(999, 999, 999, 999, 1)},
        // Wrapping modulo 2^32: 3e9 s x 2 = 6e9 s, kept as 6e9 - 2^32.
        {T(0, 0, 0, 0, 3000000000u), 2, T(0, 0, 0, 0, 1705032704u)},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TimeMul(c.a, c.n), c.product) << c.n;
}

TEST(WTime, TimeAbsDiff)
{
    struct Case
    {
        WTime a, b, diff;
    };
    const Case cases[] = {
        {T(0, 0, 0, 0, 1), T(1), T(999, 999, 999, 999, 0)}, // borrow through every group
        {T(0, 10), T(0, 4), T(0, 6)},
        {T(200, 2), T(700, 1), T(500, 0)},
        {T(5, 6, 7), T(5, 6, 7), T(0)},
        {T(0, 0, 1), T(0, 1), T(0, 999)},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(TimeAbsDiff(c.a, c.b), c.diff);
        EXPECT_EQ(TimeAbsDiff(c.b, c.a), c.diff); // the larger minus the smaller
    }
    EXPECT_EQ(TimeAbsDiff(Neg(T(0, 3)), T(0, 5)), T(0, 2));
}

TEST(WTime, TimeDivide)
{
    struct Case
    {
        const char *what;
        WTime a, b, q, r;
    };
    const Case cases[] = {
        // 1 ms / 4 ns: quotient 250000 (group 1 = 250, group 0 = 0), remainder zero.
        {"1ms/4ns", T(0, 0, 0, 1), T(0, 4), T(0, 250), T(0)},
        // 10 ns / 4 ns: quotient 2, remainder 2 ns.
        {"10ns/4ns", T(0, 10), T(0, 4), T(2), T(0, 2)},
        // a divisor of 2500 ns divides by 2500 in the nanosecond group.
        {"10us/2500ns", T(0, 0, 10), T(0, 2500), T(4), T(0)},
        {"7us/2500ns", T(0, 0, 7), T(0, 2500), T(2), T(0, 2000)},
        // Groups below the divisor's group stay in the remainder.
        {"10ns300ps/4ns", T(300, 10), T(0, 4), T(2), T(300, 2)},
        {"4ns/200ps", T(0, 4), T(200), T(20), T(0)},
        {"1s/4ns", T(0, 0, 0, 0, 1), T(0, 4), T(0, 0, 250), T(0)},
        {"1s/1ps", T(0, 0, 0, 0, 1), T(1), T(0, 0, 0, 0, 1), T(0)},
        {"50us/4ns", T(0, 0, 50), T(0, 4), T(500, 12), T(0)},
        // Only the lowest non-zero group of the divisor takes part.
        {"1us/(1us+1ns)", T(0, 0, 1), T(0, 1, 1), T(0, 1), T(0)},
        // An unnormalised dividend divides by its true value.
        {"2500ns/10ns", T(0, 2500), T(0, 10), T(250), T(0)},
        // Division by zero gives zero quotient and remainder.
        {"5ns/0", T(0, 5), T(0), T(0), T(0)},
        {"0/4ns", T(0), T(0, 4), T(0), T(0)},
    };
    for (const Case &c : cases) {
        const WTimeQuotient d = TimeDivide(c.a, c.b);
        EXPECT_EQ(d.q, c.q) << c.what;
        EXPECT_EQ(d.r, c.r) << c.what;
    }
    EXPECT_EQ(TimeToInt(TimeDivide(T(0, 0, 0, 1), T(0, 4)).q), 250000u);
    EXPECT_EQ(TimeToInt(TimeDivide(T(0, 0, 50), T(0, 4)).q), 12500u);
}

TEST(WTime, TimeToInt)
{
    EXPECT_EQ(TimeToInt(T(0)), 0u);
    EXPECT_EQ(TimeToInt(T(0, 250)), 250000u);
    EXPECT_EQ(TimeToInt(T(7, 6, 5, 4)), 4005006007u);
    // Wraps modulo 2^32: 5 s = 5e12 ps.
    EXPECT_EQ(TimeToInt(T(0, 0, 0, 0, 5)), static_cast<uint32_t>(5000000000000ull));
    EXPECT_EQ(TimeToInt64(T(0, 0, 0, 0, 5)), 5000000000000ull);
}

TEST(WTime, MagnitudeComparisons)
{
    struct Case
    {
        WTime a, b;
        int order; // -1 a < b, 0 equal, 1 a > b
    };
    const Case cases[] = {
        {T(0, 4), T(200), 1},
        {T(0, 4), T(0, 4), 0},
        {T(999, 999, 999, 999), T(0, 0, 0, 0, 1), -1},
        {T(0, 1, 0, 0, 2), T(0, 0, 999, 999, 2), -1}, // the higher group decides
        {T(0, 0, 0, 1, 2), T(999, 999, 999, 0, 2), 1},
        {Neg(T(0, 5)), T(0, 3), 1}, // the sign is ignored
        {Neg(T(0, 3)), T(0, 3), 0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(TimeLess(c.a, c.b), c.order < 0);
        EXPECT_EQ(TimeGreater(c.a, c.b), c.order > 0);
        EXPECT_EQ(TimeLessEq(c.a, c.b), c.order <= 0);
        EXPECT_EQ(TimeGreaterEq(c.a, c.b), c.order >= 0);
        EXPECT_EQ(TimeEqual(c.a, c.b), c.order == 0);
        EXPECT_EQ(TimeEqual(c.b, c.a), c.order == 0);
        EXPECT_EQ(TimeLess(c.b, c.a), c.order > 0);
    }
}

TEST(WTime, SignedAddAndSub)
{
    struct Case
    {
        const char *what;
        WTime a, b, sum, difference;
    };
    const WTime p3 = T(0, 3), p5 = T(0, 5), n3 = Neg(T(0, 3)), n5 = Neg(T(0, 5));
    const Case cases[] = {
        // SignedAdd(-3, +5) = +2; SignedAdd(+3, -5) = -2; SignedSub(-3, -5) = +2.
        {"-3,+5", n3, p5, T(0, 2), Neg(T(0, 8))},
        {"+3,-5", p3, n5, Neg(T(0, 2)), T(0, 8)},
        {"-3,-5", n3, n5, Neg(T(0, 8)), T(0, 2)},
        {"-5,-3", n5, n3, Neg(T(0, 8)), Neg(T(0, 2))},
        {"+3,+5", p3, p5, T(0, 8), Neg(T(0, 2))},
        {"+5,+3", p5, p3, T(0, 8), T(0, 2)},
        {"+5,-5", p5, n5, T(0), T(0, 10)},
        {"-5,+5", n5, p5, T(0), Neg(T(0, 10))},
        {"+5,+5", p5, p5, T(0, 10), T(0)},
        {"-5,-5", n5, n5, Neg(T(0, 10)), T(0)},
        {"0,-5", T(0), n5, Neg(T(0, 5)), T(0, 5)},
        {"-1ps,+1s", Neg(T(1)), T(0, 0, 0, 0, 1), T(999, 999, 999, 999), Neg(T(1, 0, 0, 0, 1))},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(SignedAdd(c.a, c.b), c.sum) << c.what;
        EXPECT_EQ(SignedSub(c.a, c.b), c.difference) << c.what;
    }
}

TEST(WTime, SignedComparisons)
{
    struct Case
    {
        WTime a, b;
        bool ge, le;
    };
    const WTime p3 = T(0, 3), p5 = T(0, 5), n3 = Neg(T(0, 3)), n5 = Neg(T(0, 5));
    const Case cases[] = {
        {p5, p3, true, false},   {p3, p5, false, true}, {p3, p3, true, true},
        {n5, n3, false, true},   {n3, n5, true, false}, {n3, n3, true, true},
        {p3, n5, true, false},   {n5, p3, false, true}, {T(0), n3, true, false},
        {n3, T(0), false, true},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(SignedGreaterEq(c.a, c.b), c.ge);
        EXPECT_EQ(SignedLessEq(c.a, c.b), c.le);
    }
}

TEST(WTime, ColumnOf)
{
    struct Case
    {
        const char *what;
        WTime t, tpp;
        int unit;
        bool ok;
        uint32_t column;
    };
    const Case cases[] = {
        // 1.5 s at 200 ps per pixel is not ok (group 4 set with unit 0).
        {"1.5s@200ps", T(0, 0, 0, 500, 1), T(200), 0, false, 0},
        {"1ms@200ps", T(0, 0, 0, 1), T(200), 0, false, 0},
        {"1s@1ns", T(0, 0, 0, 0, 1), T(0, 1), 1, false, 0},
        {"1us@200ps", T(0, 0, 1), T(200), 0, true, 5000},
        {"999.999999us@200ps", T(999, 999, 999), T(200), 0, true, 4999999},
        {"3ns500ps@1ns", T(500, 3), T(0, 1), 1, true, 3}, // picoseconds dropped
        {"999ms@2ns", T(0, 0, 0, 999), T(0, 2), 1, true, 499500000},
        {"1.5s@20ms", T(0, 0, 0, 500, 1), T(0, 0, 0, 20), 3, true, 75},
        {"1.5s@20us", T(0, 0, 0, 500, 1), T(0, 0, 20), 2, true, 75000},
        {"zero tpp counts 1", T(0, 7), T(0), 1, true, 7},
        {"negative t", Neg(T(0, 0, 2)), T(0, 20), 1, true, 100},
        {"unit 5", T(0, 1), T(0, 1), 5, false, 0},
    };
    for (const Case &c : cases) {
        const WColumn col = ColumnOf(c.t, c.tpp, c.unit);
        EXPECT_EQ(col.ok, c.ok) << c.what;
        if (c.ok) {
            EXPECT_EQ(col.column, c.column) << c.what;
        }
    }
}

} // namespace
