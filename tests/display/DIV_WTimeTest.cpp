// The time base (DIV_WTime) over the model tables.

#include "display/DIV_WTime.h"

#include "device/CFile.h"
#include "device/WSystem.h"

#include <gtest/gtest.h>

#include <string>

namespace {

uint64_t Picoseconds(int32_t value, int32_t unit)
{
    uint64_t v = static_cast<uint64_t>(value);
    for (int k = 0; k < unit; ++k)
        v *= 1000;
    return v;
}

class TimeBase : public ::testing::Test
{
protected:
    WSystem system;
    CFile settings;
    DIV_WTime tb{system, settings};
};

TEST_F(TimeBase, ConstructionDefaults)
{
    EXPECT_EQ(tb.TimeDivIndex, 0);
    EXPECT_EQ(tb.RateIndex, 0);
    EXPECT_EQ(tb.PreTriggerPercent, 50);
    EXPECT_EQ(tb.PostTriggerPercent, 50);
    EXPECT_EQ(tb.DepthSamples, 1000u); // depth index 2 of model 1 ("1k")
}

TEST_F(TimeBase, LoadsRowsOfTheTables)
{
    tb.TimeDivIndex = 7; // "2.5uS": 2500 ns per division, 50 ns per pixel
    tb.RateIndex = 0;    // 4 ns
    tb.UpdateTimeBase();
    EXPECT_EQ(tb.TimePerDiv, WTime::Of(0, 2500)); // kept unnormalised, as in the table
    EXPECT_EQ(tb.TimePerDivValue, 2500);
    EXPECT_EQ(tb.TimePerDivUnit, WTime::Ns);
    EXPECT_EQ(tb.TimePerPixel, WTime::Of(0, 50));
    EXPECT_EQ(tb.TimePerPixelValue, 50);
    EXPECT_EQ(tb.TimePerPixelUnit, WTime::Ns);
    EXPECT_EQ(tb.SamplePeriod, WTime::Of(0, 4));
    EXPECT_EQ(tb.SamplePeriodValue, 4);
    EXPECT_EQ(tb.SamplePeriodUnit, WTime::Ns);

    tb.TimeDivIndex = 24;
    tb.RateIndex = 24;
    tb.UpdateTimeBase();
    EXPECT_EQ(tb.TimePerDiv, WTime::Of(0, 0, 0, 0, 1));
    EXPECT_EQ(tb.TimePerPixel, WTime::Of(0, 0, 0, 20));
    EXPECT_EQ(tb.SamplePeriod, WTime::Of(0, 0, 0, 40));

    // Out-of-range rows read the nearest row.
    tb.TimeDivIndex = 99;
    tb.RateIndex = -3;
    tb.UpdateTimeBase();
    EXPECT_EQ(tb.TimePerPixel, WTime::Of(0, 0, 0, 20));
    EXPECT_EQ(tb.SamplePeriod, WTime::Of(0, 4));
}

TEST_F(TimeBase, Spans)
{
    tb.PanelWidth = 1000;
    tb.TimeDivIndex = 0; // 200 ps per pixel
    tb.RateIndex = 0;    // 4 ns
    tb.UpdateTimeBase();
    EXPECT_EQ(tb.TriggerColumn, 520); // 500 + 20
    EXPECT_EQ(tb.RightColumns, 500);
    EXPECT_EQ(tb.MarkerLeftSpan, WTime::Of(0, 100));  // 200 ps x 500
    EXPECT_EQ(tb.MarkerRightSpan, WTime::Of(0, 100)); // 200 ps x 500
    EXPECT_EQ(tb.LeftSpan, WTime::Of(0, 104));        // 200 ps x 520
    EXPECT_EQ(tb.RightSpan, WTime::Of(0, 100));
    EXPECT_EQ(tb.PreSpan, WTime::Of(0, 0, 2));  // 4 ns x 500
    EXPECT_EQ(tb.PostSpan, WTime::Of(0, 0, 2)); // 4 ns x 500

    // 30 % / 70 % on a panel of 1003 pixels: pre = floor(300.9) = 300.
    tb.PanelWidth = 1003;
    tb.PreTriggerPercent = 30;
    tb.PostTriggerPercent = 70;
    tb.DepthSamples = 512000;
    tb.TimeDivIndex = 15; // 20 us per pixel
    tb.RateIndex = 24;    // 40 ms
    tb.UpdateTimeBase();
    EXPECT_EQ(tb.TriggerColumn, 320);
    EXPECT_EQ(tb.RightColumns, 703);
    EXPECT_EQ(tb.MarkerLeftSpan, WTime::Of(0, 0, 0, 6));    // 20 us x 300
    EXPECT_EQ(tb.MarkerRightSpan, WTime::Of(0, 0, 60, 14)); // 20 us x 703
    EXPECT_EQ(tb.LeftSpan, WTime::Of(0, 0, 400, 6));        // 20 us x 320
    EXPECT_EQ(tb.RightSpan, WTime::Of(0, 0, 60, 14));
    EXPECT_EQ(tb.PreSpan, WTime::Of(0, 0, 0, 0, 6144));   // 40 ms x 153600
    EXPECT_EQ(tb.PostSpan, WTime::Of(0, 0, 0, 0, 14336)); // 40 ms x 358400

    // No panel yet: the trigger column is the off-screen margin.
    tb.PanelWidth = 0;
    tb.UpdateTimeBase();
    EXPECT_EQ(tb.TriggerColumn, 20);
    EXPECT_EQ(tb.RightColumns, 0);
    EXPECT_TRUE(tb.RightSpan.IsZero());
}

TEST_F(TimeBase, TwentyPixelsPerSampleAtTenNanosecondsPerDivision)
{
    tb.UpdateTimeBase(); // row 0: 200 ps per pixel, 4 ns period
    EXPECT_EQ(tb.PixelsPerSample, 20u);
    EXPECT_EQ(tb.SamplesPerPixel, 0u);
    EXPECT_EQ(tb.FractionPerPixel, 0.0f);
}

TEST_F(TimeBase, TwoAndAHalfSamplesPerPixel)
{
    // 10 ns per pixel with a 4 ns period gives 2.5 samples per pixel.
    tb.RateIndex = 0;    // 4 ns
    tb.TimeDivIndex = 5; // 10 ns per pixel
    tb.UpdateTimeBase();
    EXPECT_EQ(tb.PixelsPerSample, 0u);
    EXPECT_EQ(tb.SamplesPerPixel, 2u);
    EXPECT_EQ(tb.FractionPerPixel, 0.5f);

    tb.TimeDivIndex = 4; // 5 ns per pixel: 1.25 samples
    tb.UpdateTimeBase();
    EXPECT_EQ(tb.SamplesPerPixel, 1u);
    EXPECT_EQ(tb.FractionPerPixel, 0.25f);
}

// Every capture row against every zoom row, for each rate class and for the
// external clock: the ratio fields agree with exact integer arithmetic in
// picoseconds, and the fraction is exactly 0, 0.25 or 0.5.
struct RatioClass
{
    const char *name;
    int model;
    uint8_t clock;
    bool hasHalf;    // some pair gives 0.5
    bool hasQuarter; // some pair gives 0.25
};

class Ratios : public ::testing::TestWithParam<RatioClass>
{
};

TEST_P(Ratios, AllRowsMatchExactArithmetic)
{
    const RatioClass rc = GetParam();
    WSystem system;
    system.SelectModel(rc.model);
    CFile settings;
    settings.ClockSource = rc.clock;
    DIV_WTime tb(system, settings);

    int halves = 0;
    int quarters = 0;
    // With the external clock the period does not depend on the rate row.
    const int rateRows = rc.clock ? 1 : 25;
    for (int rate = 0; rate < rateRows; ++rate) {
        for (int div = 0; div < 25; ++div) {
            tb.RateIndex = static_cast<int16_t>(rate);
            tb.TimeDivIndex = static_cast<int16_t>(div);
            tb.UpdateTimeBase();
            const int periodRow = rc.clock ? 7 : rate;
            const int valueRow = rc.clock ? 0 : rate;
            const uint64_t period =
                Picoseconds(system.SamplePeriodValue[valueRow], system.SamplePeriodUnit[periodRow]);
            const uint64_t tpp = Picoseconds(system.TimePixelValue[div], system.TimePixelUnit[div]);
            SCOPED_TRACE(std::string(rc.name) + " rate " + std::to_string(rate) + " div " +
                         std::to_string(div));
            if (period >= tpp) {
                EXPECT_EQ(tb.PixelsPerSample, period / tpp);
                EXPECT_EQ(tb.SamplesPerPixel, 0u);
                EXPECT_EQ(tb.FractionPerPixel, 0.0f);
            } else {
                EXPECT_EQ(tb.PixelsPerSample, 0u);
                EXPECT_EQ(tb.SamplesPerPixel, tpp / period);
                const uint64_t rest = tpp % period;
                const float expected = static_cast<float>(rest) / static_cast<float>(period);
                EXPECT_EQ(tb.FractionPerPixel, expected);
                EXPECT_TRUE(tb.FractionPerPixel == 0.0f || tb.FractionPerPixel == 0.25f ||
                            tb.FractionPerPixel == 0.5f)
                    << tb.FractionPerPixel;
                halves += tb.FractionPerPixel == 0.5f;
                quarters += tb.FractionPerPixel == 0.25f;
            }
        }
    }
    EXPECT_EQ(halves > 0, rc.hasHalf);
    EXPECT_EQ(quarters > 0, rc.hasQuarter);
}

INSTANTIATE_TEST_SUITE_P(AllRateClasses, Ratios,
                         // The external clock period (2, 4 or 10 ns) against the
                         // time per pixel ({1, 2, 5} x 10^k) gives 5/4 only at
                         // 4 ns and 5/2 only at 2 and 4 ns.
                         ::testing::Values(RatioClass{"250MHz", 1, 0, true, true},
                                           RatioClass{"500MHz", 2, 0, true, true},
                                           RatioClass{"100MHz", 3, 0, true, true},
                                           RatioClass{"250MHz ext", 1, 1, true, true},
                                           RatioClass{"500MHz ext", 7, 1, true, false},
                                           RatioClass{"100MHz ext", 9, 1, false, false}),
                         [](const auto &p) {
                             std::string n = p.param.name;
                             for (char &c : n)
                                 if (c == ' ')
                                     c = '_';
                             return n;
                         });

TEST_F(TimeBase, ExternalClockTakesRowZeroValueWithRowSevenUnit)
{
    settings.ClockSource = 1;
    tb.RateIndex = 20;   // ignored with the external clock
    tb.TimeDivIndex = 5; // 10 ns per pixel
    tb.UpdateTimeBase();
    EXPECT_EQ(tb.SamplePeriod, WTime::Of(0, 4));
    EXPECT_EQ(tb.SamplePeriodValue, 4);
    EXPECT_EQ(tb.SamplePeriodUnit, WTime::Ns);
    EXPECT_EQ(tb.SamplesPerPixel, 2u);
    EXPECT_EQ(tb.FractionPerPixel, 0.5f);
    EXPECT_EQ(tb.RatePeriod(), WTime::Of(0, 4));

    WSystem slow;
    slow.SelectModel(3);
    DIV_WTime tb3(slow, settings);
    tb3.UpdateTimeBase();
    EXPECT_EQ(tb3.SamplePeriod, WTime::Of(0, 10));
}

TEST_F(TimeBase, SetRateFromTimeDiv)
{
    tb.SetRateFromTimeDiv(7);
    EXPECT_EQ(tb.TimeDivIndex, 7);
    EXPECT_EQ(tb.RateIndex, 7);
    EXPECT_EQ(settings.TimeDivRow, 7);
    EXPECT_EQ(settings.RateRow, 7);
    tb.UpdateTimeBase();
    EXPECT_EQ(tb.SamplePeriod, WTime::Of(0, 100));

    tb.SetRateFromTimeDiv(-1); // no selection
    EXPECT_EQ(tb.TimeDivIndex, 0);
    EXPECT_EQ(settings.RateRow, 0);
    tb.SetRateFromTimeDiv(30);
    EXPECT_EQ(tb.RateIndex, 24);
    EXPECT_EQ(settings.TimeDivRow, 24);
}

TEST_F(TimeBase, PulseCount)
{
    struct Case
    {
        const char *what;
        int rate;
        uint8_t unit;
        uint16_t whole, fraction;
        uint64_t count;
        uint8_t representable;
        int16_t samples;
    };
    const Case cases[] = {
        {"10ns at 4ns", 0, 1, 10, 0, 2, 1, 2},
        {"zero width", 0, 1, 0, 0, 0, 1, 1},
        {"3ns at 4ns (shorter than a period)", 0, 1, 3, 0, 0, 1, 1},
        {"1us 5ns at 4ns", 0, 2, 1, 5, 251, 1, 251},
        {"1ns 500ps at 4ns", 0, 1, 1, 500, 0, 1, 1},
        {"12ns 500ps at 4ns", 0, 1, 12, 500, 3, 1, 3},
        {"1ms at 4ns", 0, 3, 1, 0, 250000, 0, -1},
        {"262.140us at 4ns = 65535", 0, 2, 262, 140, 65535, 1, -1}, // 16-bit pattern
        {"262.144us at 4ns = 65536", 0, 2, 262, 144, 65536, 0, -1},
        {"160us at 4ns = 40000", 0, 2, 160, 0, 40000, 1, static_cast<int16_t>(40000 - 65536)},
        {"1s at 40ms", 24, 4, 1, 0, 25, 1, 25},
        {"unit 0 reads as ns", 0, 0, 8, 0, 2, 1, 2},
    };
    for (const Case &c : cases) {
        tb.RateIndex = static_cast<int16_t>(c.rate);
        settings.PulseUnit = c.unit;
        settings.PulseWhole = c.whole;
        settings.PulseFraction = c.fraction;
        settings.PulseSamples = 1234;
        tb.PulseWidthRepresentable = 7;
        const uint64_t n = tb.PulseCount();
        EXPECT_EQ(n, c.count) << c.what;
        EXPECT_EQ(tb.PulseWidthRepresentable, c.representable) << c.what;
        EXPECT_EQ(settings.PulseSamples, c.samples) << c.what;
    }
    // 999.999 s at 4 ns: far beyond 32 bits, counted exactly.
    settings.PulseUnit = 4;
    settings.PulseWhole = 999;
    settings.PulseFraction = 999;
    tb.RateIndex = 0;
    EXPECT_EQ(tb.PulseCount(), 249999750000ull);
}

TEST_F(TimeBase, PulseCountUsesTheExternalClockPeriod)
{
    settings.ClockSource = 1;
    tb.RateIndex = 24; // would be 40 ms with the internal clock
    settings.PulseUnit = 1;
    settings.PulseWhole = 40;
    settings.PulseFraction = 0;
    EXPECT_EQ(tb.PulseCount(), 10u);
    EXPECT_EQ(settings.PulseSamples, 10);
}

TEST_F(TimeBase, ClockCountText)
{
    tb.UpdateTimeBase(); // 4 ns
    EXPECT_EQ(tb.ClockCountText(WTime::Of(0, 12, 0, 0, 0, 0)), "-3CK");
    EXPECT_EQ(tb.ClockCountText(WTime::Of(0, 0, 0, 1)), "250000CK");
}

} // namespace
