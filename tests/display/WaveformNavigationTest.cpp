// Moving around the waveform page: the time under a column, zooming about
// the pointer, scrolling within the record, the scroll bar's steps at every
// row and the counting of wheel notches.

#include "display/WaveformNavigation.h"

#include "device/CFile.h"
#include "device/WSystem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Navigation : public ::testing::Test
{
protected:
    void Rows(int timeDiv, int rate)
    {
        tb.TimeDivIndex = static_cast<int16_t>(timeDiv);
        tb.RateIndex = static_cast<int16_t>(rate);
        tb.PanelWidth = 1000;
        tb.DepthSamples = 1000;
        tb.UpdateTimeBase();
    }

    WSystem system;
    CFile settings;
    DIV_WTime tb{system, settings};
};

constexpr WTime Us(uint32_t us, uint8_t sign = 1)
{
    return WTime::Of(0, 0, us % 1000, us / 1000, 0, sign);
}

TEST_F(Navigation, TimeAtColumnCountsFromTheTriggerColumn)
{
    Rows(11, 11); // 50 us/div: 1 us per pixel; the trigger column is 500
    EXPECT_EQ(WaveformNavigation::TimeAtColumn(WTime{}, 500, tb), WTime{});
    EXPECT_EQ(WaveformNavigation::TimeAtColumn(WTime{}, 600, tb), Us(100));
    EXPECT_EQ(WaveformNavigation::TimeAtColumn(WTime{}, 0, tb), Us(500, 0));
    EXPECT_EQ(WaveformNavigation::TimeAtColumn(Us(50, 0), 520, tb), Us(30, 0));
}

// The time under the pointer stays there when the row changes, at every row
// step in both directions, at the edges and the middle of the plot.
TEST_F(Navigation, ZoomKeepsTheTimeUnderThePointer)
{
    const WTime views[] = {WTime{}, Us(1234, 0), Us(77)};
    for (int row = 0; row < 24; ++row) {
        for (const int step : {1, -1}) {
            const int from = step > 0 ? row : row + 1;
            for (const WTime &view : views) {
                for (const int x : {0, 137, 500, 999}) {
                    Rows(from, from);
                    const WTime t = WaveformNavigation::TimeAtColumn(view, x, tb);
                    Rows(from + step, from + step);
                    const WTime kept = WaveformNavigation::ViewShowingAt(t, x, tb);
                    EXPECT_EQ(WaveformNavigation::TimeAtColumn(kept, x, tb), t)
                        << "row " << from << " to " << from + step << ", x " << x;
                }
            }
        }
    }
    // By hand: at 50 us/div the pointer at column 600 shows +100 us; at
    // 100 us/div (2 us per pixel) the view goes to -100 us to keep it there.
    Rows(12, 12);
    EXPECT_EQ(WaveformNavigation::ViewShowingAt(Us(100), 600, tb), Us(100, 0));
}

TEST_F(Navigation, ScrollingMovesByTenthsOfTheScreenWithinTheRecord)
{
    Rows(11, 11); // 1 us per pixel, 2 us per sample: the record spans -1 ms .. +1 ms
    struct Case
    {
        WTime from;
        int tenths;
        WTime to;
    };
    const Case cases[] = {
        {WTime{}, 1, Us(100)},        // Right: a tenth of 1000 pixels
        {WTime{}, -1, Us(100, 0)},    // Left
        {Us(250), 10, Us(1000)},      // PgDn past the end stops at the last sample
        {Us(900, 0), -10, Us(1000, 0)}, // PgUp past the start stops at the first
        {Us(1000, 0), -1, Us(1000, 0)},
        {Us(300, 0), 10, Us(700)},
    };
    for (const Case &c : cases)
        EXPECT_EQ(WaveformNavigation::Scrolled(c.from, c.tenths, tb), c.to)
            << c.tenths << " tenths";
}

// One arrow step is one division and one trough click one screen, at every
// row; once a sample spans 100 pixels or more the bar counts samples.
TEST_F(Navigation, ScrollStepsAreADivisionAndAScreenAtEveryRow)
{
    for (int row = 0; row < 25; ++row) {
        Rows(row, row);
        const WaveformNavigation::Steps s = WaveformNavigation::ScrollSteps(tb);
        EXPECT_EQ(s, (WaveformNavigation::Steps{50, 1000})) << "row " << row;
    }
    struct Case
    {
        int timeDiv, rate;
        WaveformNavigation::Steps steps;
    };
    const Case zoomedIn[] = {
        {0, 24, {1, 1}},   // 40 ms samples at 200 ps per pixel
        {0, 6, {1, 5}},    // 40 ns samples at 200 ps per pixel: 200 pixels per sample
        {0, 1, {50, 1000}}, // 4 ns samples: 20 pixels per sample, the bar counts pixels
        {0, 0, {50, 1000}},
        {5, 12, {1, 2}},   // 4 us samples at 10 ns per pixel: 400 pixels per sample
    };
    for (const Case &c : zoomedIn) {
        Rows(c.timeDiv, c.rate);
        EXPECT_EQ(WaveformNavigation::ScrollSteps(tb).Arrow, c.steps.Arrow)
            << c.timeDiv << "/" << c.rate;
        EXPECT_EQ(WaveformNavigation::ScrollSteps(tb).Page, c.steps.Page)
            << c.timeDiv << "/" << c.rate;
    }
}

TEST(WheelNotches, CountsWholeNotchesAndKeepsTheRest)
{
    struct Case
    {
        std::vector<int> deltas;
        std::vector<int> notches;
    };
    const Case cases[] = {
        {{120}, {1}},
        {{-120}, {-1}},
        {{240, -360}, {2, -3}},
        {{60, 60}, {0, 1}},       // a touchpad's half notches
        {{50, -50, 30}, {0, 0, 0}},
        {{100, 100, 100}, {0, 1, 1}},
    };
    for (const Case &c : cases) {
        WaveformNavigation::Wheel wheel;
        for (size_t i = 0; i < c.deltas.size(); ++i)
            EXPECT_EQ(wheel.Notches(c.deltas[i]), c.notches[i]) << "delta #" << i;
    }
}

} // namespace
