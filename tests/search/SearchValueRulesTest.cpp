#include "search/SearchValueRules.h"

#include "device/CFile.h"

#include <gtest/gtest.h>

namespace {

using R = SearchValueRules;
using V = SearchValueRules::Verdict;
constexpr int Hex = SearchCondition::Hexadecimal;
constexpr int Dec = SearchCondition::Decimal;
constexpr int Bin = SearchCondition::Binary;

struct ReadCase
{
    const char *text;
    int base;
    int width;
    V verdict;
    uint16_t value;
};

TEST(SearchValueRules, ReadsAValueAgainstTheBusWidth)
{
    const ReadCase cases[] = {
        {"F", Hex, 4, V::Ok, 15},
        {"10", Hex, 4, V::OutOfLimit, 0},
        {"7", Dec, 3, V::Ok, 7},
        {"8", Dec, 3, V::OutOfLimit, 0},
        {"111", Bin, 3, V::Ok, 7},
        {"1000", Bin, 3, V::OutOfLimit, 0},
        {"FFFF", Hex, 16, V::Ok, 0xFFFF},
        {"65536", Dec, 16, V::OutOfLimit, 0},
        {"0", Hex, 0, V::Ok, 0},
        {"1", Bin, 0, V::OutOfLimit, 0},
        {"", Hex, 4, V::Empty, 0},
        {"G", Hex, 4, V::FormatError, 0},
        {"12", Bin, 4, V::FormatError, 0},
        {"-1", Dec, 4, V::FormatError, 0},
        {"99999999999", Dec, 16, V::FormatError, 0},
    };
    for (const ReadCase &c : cases) {
        const R::Reading r = R::Read(c.text, c.base, c.width);
        EXPECT_EQ(r.What, c.verdict) << c.text << " base " << c.base;
        EXPECT_EQ(r.Value, c.value) << c.text << " base " << c.base;
    }
}

TEST(SearchValueRules, LimitsAndTexts)
{
    EXPECT_EQ(R::MaximumText(4, Hex), "F(h)");
    EXPECT_EQ(R::MaximumText(3, Dec), "7");
    EXPECT_EQ(R::MaximumText(3, Bin), "111(b)");
    EXPECT_EQ(R::MaximumText(16, Hex), "FFFF(h)");
    // A 16-bit bus fits the hexadecimal box on every model.
    EXPECT_EQ(R::MaxLength(Hex), 4);
    EXPECT_EQ(R::MaxLength(Dec), 5);
    EXPECT_EQ(R::MaxLength(Bin), 16);
    EXPECT_TRUE(R::Accepts('f', Hex) && R::Accepts('9', Dec) && R::Accepts('\b', Bin));
    EXPECT_FALSE(R::Accepts('G', Hex) || R::Accepts('A', Dec) || R::Accepts('2', Bin));
    EXPECT_EQ(R::BusCellText(10, Hex, 4), "A(h)");
    EXPECT_EQ(R::BusCellText(5, Bin, 4), "0101(b)");
    EXPECT_EQ(R::EnteredText("A", Hex), "A (h)");
    EXPECT_EQ(R::EnteredText("12", Dec), "12");

    SignalEntry wide;
    wide.BitCount = 40; // from a damaged file
    EXPECT_EQ(R::BusWidth(wide), 16);
}

TEST(SearchValueRules, ConvertsBetweenBases)
{
    EXPECT_EQ(R::Convert("5", Hex, Bin, 4), "0101");
    EXPECT_EQ(R::Convert("0101", Bin, Dec, 4), "5");
    EXPECT_EQ(R::Convert("15", Dec, Hex, 8), "0F");
    // Too wide for the bus: every digit kept, so the check on entry sees it.
    EXPECT_EQ(R::Convert("FF", Hex, Bin, 4), "11111111");
    EXPECT_EQ(R::Convert("", Hex, Dec, 4), std::nullopt);
}

} // namespace
