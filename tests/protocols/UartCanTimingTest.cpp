#include "protocols/UartCanTiming.h"

#include <gtest/gtest.h>

namespace {

TEST(UartCanTiming, BitTimeIsTruncatedToNanosecondsAndCountedInWholeSamples)
{
    struct Case
    {
        uint32_t rate;
        WTime period;
        WTime bit;
        uint32_t samples;
    };
    const Case cases[] = {
        {9600, WTime::Of(0, 4), WTime::Of(0, 166, 104), 26041},
        {9600, WTime::Of(0, 0, 10), WTime::Of(0, 166, 104), 10},
        {128000, WTime::Of(0, 0, 10), WTime::Of(0, 812, 7), 0},
        {1000000, WTime::Of(0, 500), WTime::Of(0, 0, 1), 2},
        {1250, WTime::Of(0, 0, 0, 1), WTime::Of(0, 0, 800), 0},
        {0, WTime::Of(0, 4), WTime{}, 0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(UartCanTiming::BitTime(c.rate), c.bit) << c.rate;
        UartCanTiming t;
        t.SamplePeriod = c.period;
        EXPECT_EQ(t.SamplesPerBit(c.rate), c.samples) << c.rate;
    }
}

TEST(UartCanTiming, StartTimeTextKeepsEveryGroupDownToTheLastNonZeroOne)
{
    EXPECT_EQ(UartCanTiming::StartTimeText(WTime{}), "");
    EXPECT_EQ(UartCanTiming::StartTimeText(WTime::Of(0, 166, 104)), "104.166uS");
    EXPECT_EQ(UartCanTiming::StartTimeText(WTime::Of(0, 0, 0, 2)), "2mS");
    EXPECT_EQ(UartCanTiming::StartTimeText(WTime::Of(0, 7, 0, 1)), "1.000007mS");
    EXPECT_EQ(UartCanTiming::StartTimeText(WTime::Of(0, 0, 1500)), "1.500mS");
    EXPECT_EQ(UartCanTiming::StartTimeText(WTime::Of(5, 0, 0, 0, 3)), "3.000000000005S");
    EXPECT_EQ(UartCanTiming::StartTimeText(WTime::Of(40)), "40pS");
}

} // namespace
