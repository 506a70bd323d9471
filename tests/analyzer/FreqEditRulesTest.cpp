#include "analyzer/FreqEditRules.h"

#include <gtest/gtest.h>

namespace {

struct FreqCase
{
    const char *typed;
    int unit;
    const char *shown;
};

class FreqEditCorrection : public testing::TestWithParam<FreqCase>
{
};

TEST_P(FreqEditCorrection, KeepsTheNumberInsideTheUnitsRange)
{
    const FreqCase &c = GetParam();
    EXPECT_EQ(FreqEditRules::Corrected(c.typed, c.unit), c.shown)
        << '"' << c.typed << "\" unit " << c.unit;
}

using R = FreqEditRules;
INSTANTIATE_TEST_SUITE_P(
    Edits, FreqEditCorrection,
    testing::Values(FreqCase{"250", R::MHz, "100"}, FreqCase{"101", R::MHz, "100"},
                    FreqCase{"100", R::MHz, "100"}, FreqCase{"250", R::KHz, "250"},
                    FreqCase{"999", R::KHz, "999"}, FreqCase{"1000", R::KHz, "999"},
                    FreqCase{"5000", R::Hz, "999"}, FreqCase{"1000", R::MHz, "100"},
                    FreqCase{"0", R::MHz, "1"}, FreqCase{"0", R::KHz, "1"},
                    // 0 Hz becomes 1, which in Hz becomes 25.
                    FreqCase{"0", R::Hz, "25"}, FreqCase{"1", R::Hz, "25"},
                    FreqCase{"1", R::KHz, "1"}, FreqCase{"2", R::Hz, "2"},
                    FreqCase{"", R::MHz, "25"}, FreqCase{"", R::Hz, "25"},
                    FreqCase{"99999999999999999999", R::KHz, "999"},
                    FreqCase{"99999999999999999999", R::MHz, "100"}));

TEST(FreqEditKeys, TakesOnlyDigitsBackspaceAndEnter)
{
    for (char c = '0'; c <= '9'; ++c)
        EXPECT_TRUE(FreqEditRules::AcceptsKey(c)) << c;
    EXPECT_TRUE(FreqEditRules::AcceptsKey('\b'));
    EXPECT_TRUE(FreqEditRules::AcceptsKey('\r'));
    for (char c : {'a', 'Z', '-', '+', '.', ',', ' ', '\t', '\x16', 'e'})
        EXPECT_FALSE(FreqEditRules::AcceptsKey(c)) << int(c);
}

} // namespace
