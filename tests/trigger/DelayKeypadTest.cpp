#include "trigger/DelayKeypad.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase
{
    const char *text;
    int unit;
    WTime expected;
};

class DelayKeypadParse : public testing::TestWithParam<ParseCase>
{
};

TEST_P(DelayKeypadParse, GivesTheDelayOfTheText)
{
    const ParseCase &c = GetParam();
    const auto parsed = DelayKeypad::Parse(c.text, c.unit);
    ASSERT_TRUE(parsed.has_value()) << c.text;
    EXPECT_EQ(*parsed, c.expected) << c.text;
}

using K = DelayKeypad;
INSTANTIATE_TEST_SUITE_P(Table, DelayKeypadParse,
                         testing::Values(ParseCase{"2.5", K::Us, WTime::Of(0, 500, 2)},
                                         ParseCase{"1.000001", K::Sec, WTime::Of(0, 0, 1, 0, 1)},
                                         ParseCase{"12345", K::Sec, WTime::Of(0, 0, 0, 0, 999)},
                                         ParseCase{"99999999", K::Ms, WTime::Of(0, 0, 0, 999, 999)},
                                         ParseCase{"1.7", K::Ns, WTime::Of(0, 1)},
                                         ParseCase{"-3", K::Ms, WTime::Of(0, 0, 0, 3, 0, 0)},
                                         ParseCase{"1.005", K::Ms, WTime::Of(0, 0, 5, 1)},
                                         ParseCase{"2.5", K::Ms, WTime::Of(0, 0, 500, 2)},
                                         ParseCase{"1.2345", K::Ms, WTime::Of(0, 500, 234, 1)},
                                         ParseCase{"1.23456", K::Us, WTime::Of(0, 234, 1)},
                                         ParseCase{"1234.5", K::Sec, WTime::Of(0, 0, 0, 500, 999)},
                                         ParseCase{"99999999", K::Ns, WTime::Of(0, 999, 999, 99)},
                                         ParseCase{"0", K::Ns, WTime{}},
                                         ParseCase{"-0", K::Us, WTime{}}));

TEST(DelayKeypad, RejectsTextsThatAreNoNumber)
{
    for (const char *text : {"1.2.3", "-", "", ".5", "5.", "1-2", "--1", "1e3", "-.5"})
        EXPECT_FALSE(DelayKeypad::Parse(text, DelayKeypad::Us).has_value()) << text;
}

TEST(DelayKeypad, ShowsTheHighestGroupWithTheOneBelow)
{
    struct Case
    {
        WTime delay;
        const char *text;
        int unit;
    };
    const Case cases[] = {
        {WTime::Of(0, 0, 5, 1), "1.005", K::Ms},         {WTime::Of(0, 0, 0, 0, 0), "0", K::Ns},
        {WTime::Of(0, 0, 0, 3, 0, 0), "-3.000", K::Ms},  {WTime::Of(0, 250, 7), "7.250", K::Us},
        {WTime::Of(0, 0, 0, 999, 12), "12.999", K::Sec},
    };
    for (const Case &c : cases) {
        const auto shown = DelayKeypad::Show(c.delay);
        EXPECT_EQ(shown.Text, c.text);
        EXPECT_EQ(shown.UnitIndex, c.unit) << c.text;
        // What is shown reads back as the same delay, to the group below.
        const auto again = DelayKeypad::Parse(shown.Text, shown.UnitIndex);
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(*again, c.delay) << c.text;
    }
}

} // namespace
