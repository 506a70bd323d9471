// The time texts: TimeText, ClockCountText, the duration texts
// of WTimeSystem and the wTranslate conversions.

#include "display/TimeText.h"
#include "display/WTimeSystem.h"
#include "display/wTranslate.h"

#include "device/CFile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

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

TEST(TimeText, Examples)
{
    struct Case
    {
        WTime t;
        int fallback;
        const char *text;
    };
    const Case cases[] = {
        // The documented examples.
        {T(0, 500, 1), 1, "1.500us"},
        {T(250, 500, 1), 1, "1.500250us"},
        {T(0, 7, 5, 2), 1, "2.005007ms"},
        {Neg(T(0, 20)), 1, "-20.000ns"},
        {T(0), 1, "0.0ns"},
        // 999 ps alone is never shown: "0.0" and the fallback unit, without "-".
        {T(999), 1, "0.0ns"},
        {T(999), 2, "0.0us"},
        {Neg(T(999)), 3, "0.0ms"},
        {T(0), 4, "0.0s"},
        {T(0), 0, "0.0ps"},
        {T(0), 7, "0.0"},
        // Nanoseconds show picoseconds as their one fraction group.
        {T(5, 1), 0, "1.005ns"},
        {T(200, 0), 0, "0.0ps"},
        // The third group only when it is not zero.
        {T(0, 0, 0, 0, 3), 1, "3.000s"},
        {T(0, 0, 5, 0, 1), 1, "1.000005s"},
        {T(0, 7, 0, 1), 1, "1.000007ms"},
        {T(5, 0, 0, 1), 1, "1.000ms"}, // a fourth group is never shown
        {T(0, 0, 0, 0, 20480), 1, "20480.000s"},
        {Neg(T(0, 0, 0, 500, 1)), 1, "-1.500s"},
        // A table value is normalised first: 2500 ns reads as microseconds.
        {T(0, 2500), 1, "2.500us"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TimeText(c.t, c.fallback), c.text);
}

TEST(ClockCountText, CountsWholePeriods)
{
    const WTime p4 = T(0, 4);
    EXPECT_EQ(ClockCountText(T(0, 0, 0, 1), p4), "250000CK");
    EXPECT_EQ(ClockCountText(Neg(T(0, 10)), p4), "-2CK");
    EXPECT_EQ(ClockCountText(T(0), p4), "0CK");
    EXPECT_EQ(ClockCountText(T(0, 3), p4), "0CK");
    EXPECT_EQ(ClockCountText(T(0, 5), T(0)), "0CK"); // zero period
}

TEST(DurationText, Forms)
{
    struct Case
    {
        WTime d;
        const char *text;
    };
    const Case cases[] = {
        // The documented examples.
        {T(0, 0, 500, 1), "1.500mS "},
        {T(0, 0, 0, 0, 3), "3Sec"},
        {T(0, 80), "80nS "},
        // The fraction is the next lower group, three digits, never misread.
        {T(0, 0, 5, 1), "1.005mS "},
        {T(0, 0, 50, 1), "1.050mS "},
        {T(0, 999, 999), "999.999uS "},
        {T(0, 0, 0, 5, 2), "2.005Sec"},
        // Left out when the next lower group is zero; nothing further below.
        {T(0, 7, 0, 1), "1mS "},
        {T(0, 0, 0, 0, 61), "61Sec"},
        // Nanoseconds have no fraction (picoseconds are never shown).
        {T(500, 3), "3nS "},
        {T(999), "0nS"},
        {T(0), "0nS"},
        // Normalised first.
        {T(0, 2500), "2.500uS "},
    };
    for (const Case &c : cases)
        EXPECT_EQ(DurationText(c.d), c.text);
}

// The decoders' quick form for n sample periods reads exactly as the text of
// the product, also where a group of the product wraps or carries far.
TEST(DurationText, OfCountIsTheTextOfTheProduct)
{
    const WTime periods[] = {T(0, 4),
                             T(0, 10),
                             T(500, 2),
                             T(0, 2500),
                             T(0, 0, 1),
                             T(0, 0, 0, 10),
                             T(0, 0, 0, 0, 1),
                             T(999, 999, 999, 999),
                             T(0, 0, 0, 0, 5000),
                             T(0)};
    const uint32_t counts[] = {0u,       1u,       249u,     250u,        999u,
                               1024000u, 4194303u, 4300000u, 0x7FFFFFFFu, 0xFFFFFFFFu};
    for (const WTime &p : periods) {
        for (uint32_t n : counts) {
            char text[DurationTextMax];
            EXPECT_EQ(std::string(text, WriteDurationOfCount(text, p, n)),
                      DurationText(TimeMul(p, n)))
                << p.g[0] << ' ' << p.g[1] << ' ' << p.g[4] << " x " << n;
        }
    }
}

TEST(WTimeSystem, DurationOfCountUsesThePeriodOfTimeDivRow)
{
    CFile settings;
    settings.ModelCode = 1;  // 250 MHz model
    settings.TimeDivRow = 0; // 4 ns
    settings.RateRow = 24;   // not used
    const WTimeSystem ts(settings);
    EXPECT_EQ(ts.Period(), T(0, 4));
    EXPECT_EQ(ts.DurationOfCount(20), "80nS ");
    EXPECT_EQ(ts.DurationOfCount(0), "0nS");
    EXPECT_EQ(ts.DurationOfCount(375), "1.500uS ");
    EXPECT_EQ(ts.Duration(250000), T(0, 0, 0, 1));

    // The object reads the record at every call.
    settings.TimeDivRow = 10; // 1 us
    EXPECT_EQ(ts.DurationOfCount(1005), "1.005mS ");
    EXPECT_EQ(ts.DurationOfCount(1500), "1.500mS ");
    settings.TimeDivRow = 24; // 40 ms
    EXPECT_EQ(ts.DurationOfCount(75), "3Sec");
    EXPECT_EQ(ts.DurationOfCount(512000), "20480Sec");

    // The rate class follows the record's model.
    settings.TimeDivRow = 0;
    settings.ModelCode = 2; // 500 MHz: 2 ns
    EXPECT_EQ(ts.DurationOfCount(40), "80nS ");
    settings.ModelCode = 3; // 100 MHz: 10 ns
    EXPECT_EQ(ts.DurationOfCount(8), "80nS ");
    settings.ModelCode = 200; // unknown: Demo row, 4 ns
    EXPECT_EQ(ts.DurationOfCount(20), "80nS ");
}

TEST(WTimeSystem, DurationOfRangeCountsBothEnds)
{
    CFile settings;
    settings.ModelCode = 1;
    settings.TimeDivRow = 3; // 4 ns
    const WTimeSystem ts(settings);
    EXPECT_EQ(ts.DurationOfRange(10, 29), "80nS "); // 20 samples
    EXPECT_EQ(ts.DurationOfRange(7, 7), "4nS ");
    EXPECT_EQ(ts.DurationOfRange(8, 7), "0nS");    // empty range
    EXPECT_EQ(ts.DurationOfRange(100, 7), "0nS");  // reversed range counts nothing
    EXPECT_EQ(ts.DurationOfRange(-5, 4), "40nS "); // 10 samples
}

using Text = std::optional<std::string>;

TEST(wTranslate, DocumentedExamples)
{
    EXPECT_EQ(wTranslate::DecToBin("5", 4), Text("0101"));
    EXPECT_EQ(wTranslate::BinToHex("101", 8), Text("05"));
    EXPECT_EQ(wTranslate::BinToChar("1000001"), Text("A")); // 65
}

TEST(wTranslate, HexToDec)
{
    const struct
    {
        const char *in;
        Text out;
    } cases[] = {
        {"0", "0"},
        {"ff", "255"},
        {"FF", "255"},
        {"1a2B", "6699"},
        {"FFFFFFFF", "4294967295"},
        {"000000000001", "1"},       // leading zeros do not count against 32 bits
        {"100000000", std::nullopt}, // too large for 32 bits
        {"", std::nullopt},
        {"0x1F", std::nullopt}, // no prefix in the text
        {"G", std::nullopt},
        {"1 ", std::nullopt},
        {"-1", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(wTranslate::HexToDec(c.in), c.out) << '"' << c.in << '"';
}

TEST(wTranslate, DecToHexAndBin)
{
    const struct
    {
        const char *in;
        int bits;
        Text hex, bin;
    } cases[] = {
        {"255", 8, "FF", "11111111"},
        {"255", 16, "00FF", "0000000011111111"},
        {"10", 4, "A", "1010"},
        {"10", 18, "0000A", "000000000000001010"},
        {"0", 4, "0", "0000"},
        {"0", 0, "0", ""},
        {"5", 1, "5", "1"}, // the binary text keeps only the last bits
        {"4294967295", 32, "FFFFFFFF", "11111111111111111111111111111111"},
        {"5", 40, "0000000005", "00000000000000000000000000000101"}, // 32 characters at most
        {"4294967296", 32, std::nullopt, std::nullopt},
        {"99999999999999999999", 8, std::nullopt, std::nullopt},
        {"-1", 8, std::nullopt, std::nullopt},
        {"", 8, std::nullopt, std::nullopt},
        {"12a", 8, std::nullopt, std::nullopt},
        {" 5", 8, std::nullopt, std::nullopt},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(wTranslate::DecToHex(c.in, c.bits), c.hex) << '"' << c.in << "\" " << c.bits;
        EXPECT_EQ(wTranslate::DecToBin(c.in, c.bits), c.bin) << '"' << c.in << "\" " << c.bits;
    }
}

TEST(wTranslate, BinaryReading)
{
    const struct
    {
        const char *in;
        int bits;
        Text hex, dec;
    } cases[] = {
        {"101", 8, "05", "5"},
        {"11111111", 8, "FF", "255"},
        {"1", 0, "1", "1"},
        {"", 4, "0", "0"},    // nothing to add: 0
        {"1x1", 4, "5", "5"}, // any character but "1" counts as 0
        {"2121", 4, "5", "5"},
        {"10000000000000000000000000000000", 32, "80000000", "2147483648"},
        {"11111111111111111111111111111111", 32, "FFFFFFFF", "4294967295"},
        {"0000000011111111111111111111111111111111", 32, "FFFFFFFF", "4294967295"},
        {"100000000000000000000000000000000", 32, std::nullopt, std::nullopt}, // 2^32
    };
    for (const auto &c : cases) {
        EXPECT_EQ(wTranslate::BinToHex(c.in, c.bits), c.hex) << '"' << c.in << '"';
        EXPECT_EQ(wTranslate::BinToDec(c.in), c.dec) << '"' << c.in << '"';
    }
}

TEST(wTranslate, BinToChar)
{
    EXPECT_EQ(wTranslate::BinToChar("01100001"), Text("a"));
    EXPECT_EQ(wTranslate::BinToChar("11000001"), Text("A")); // 193 AND 0x7F = 65
    EXPECT_EQ(wTranslate::BinToChar("0"), Text(std::string(1, '\0')));
    EXPECT_EQ(wTranslate::BinToChar("1" + std::string(32, '0')), std::nullopt);
}

TEST(wTranslate, NumberWriters)
{
    EXPECT_EQ(wTranslate::Hex(0x1F, 4), "1F");
    EXPECT_EQ(wTranslate::Hex(0x1F, 20), "0001F");
    EXPECT_EQ(wTranslate::Hex(7, -3), "7");
    EXPECT_EQ(wTranslate::Bin(5, 3), "101");
    EXPECT_EQ(wTranslate::Dec(4294967295u), "4294967295");
    EXPECT_EQ(wTranslate::ParseDec("65535"), std::optional<uint32_t>(65535));
    EXPECT_EQ(wTranslate::ParseHex("fFfF"), std::optional<uint32_t>(65535));
    EXPECT_EQ(wTranslate::ParseBin("1111"), std::optional<uint32_t>(15));
}

} // namespace
