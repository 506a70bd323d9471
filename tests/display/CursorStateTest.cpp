// Cursor states: the time, frequency and clock-count texts of the buttons,
// the states list and the button layout.

#include "display/CursorState.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/DIV_WTime.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CursorStates : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tb.TimeDivIndex = 7; // 50 ns per pixel
        tb.UpdateTimeBase();
    }
    // Cursor A at a, B at b (times from the trigger event), one state A to B.
    std::string TextFor(const WTime &a, const WTime &b, uint8_t mode)
    {
        cursors.AddCursor(a);
        cursors.AddCursor(b);
        CursorState::CState &s = states.AddState('A', 'B');
        s.DisplayMode = mode;
        states.Refresh(cursors, tb);
        return s.Text;
    }

    WSystem system;
    CFile settings;
    DIV_WTime tb{system, settings};
    WCursor cursors;
    CursorState states;
};

struct TextCase
{
    const char *what;
    WTime a;
    WTime b;
    uint8_t mode;
    uint8_t clockSource;
    const char *expected;
};

class StateTexts : public CursorStates, public ::testing::WithParamInterface<TextCase>
{
};

TEST_P(StateTexts, ButtonText)
{
    const TextCase &c = GetParam();
    settings.ClockSource = c.clockSource;
    tb.UpdateTimeBase();
    EXPECT_EQ(TextFor(c.a, c.b, c.mode), c.expected) << c.what;
}

constexpr WTime Zero{};
constexpr WTime Us2500 = WTime::Of(0, 500, 2);

INSTANTIATE_TEST_SUITE_P(
    Cases, StateTexts,
    ::testing::Values(
        TextCase{"2.5 us as time", Zero, Us2500, 0, 0, "A To B = 2.500us"},
        TextCase{"2.5 us as frequency", Zero, Us2500, 1, 0, "A To B = 400KHz"},
        TextCase{"1 us as frequency", Zero, WTime::Of(0, 0, 1), 1, 0, "A To B = 1MHz"},
        TextCase{"2.5 s as frequency: the single-precision 0.4", Zero, WTime::Of(0, 0, 0, 500, 2),
                 1, 0, "A To B = 0.400000Hz"},
        TextCase{"3 us: eight characters of 333.333343505859", Zero, WTime::Of(0, 0, 3), 1, 0,
                 "A To B = 333.3333KHz"},
        TextCase{"2.5 ns", Zero, WTime::Of(500, 2), 1, 0, "A To B = 400MHz"},
        TextCase{"1 ps", Zero, WTime::Of(1), 1, 0, "A To B = 1THz"},
        TextCase{"negative as time", Us2500, Zero, 0, 0, "A To B = -2.500us"},
        TextCase{"negative as frequency: sign ignored", Us2500, Zero, 1, 0, "A To B = 400KHz"},
        TextCase{"zero as frequency", Zero, Zero, 1, 0, "A To B = 0GHz"},
        TextCase{"zero as time: time-per-pixel unit", Zero, Zero, 0, 0, "A To B = 0.0ns"},
        TextCase{"external clock, time mode", Zero, Us2500, 0, 1, "A To B = 625CK"},
        TextCase{"external clock, frequency mode", Zero, Us2500, 1, 1, "A To B = 625CK"},
        TextCase{"external clock, negative", Us2500, Zero, 0, 1, "A To B = -625CK"}));

TEST_F(CursorStates, MissingCursorAndTheTriggerCursor)
{
    cursors.SetTriggerCursor(WTime::Of(0, 0, 5));   // T lies 5 us before the trigger sample
    cursors.AddCursor(WTime::Of(0, 0, 2, 0, 0, 0)); // A at -2 + 5 = 3 us after the event
    states.AddState('A', 'C');
    states.AddState('T', 'A');
    states.Refresh(cursors, tb);
    std::vector<std::string> texts;
    for (const CursorState::CState &s : states.States())
        texts.push_back(s.Text);
    // "T" is the trigger event itself: A is 3 us after it, whatever the delay.
    EXPECT_EQ(texts, (std::vector<std::string>{"T To A = 3.000us", " ? To ? = xxx "}));

    // A state stays when its cursor goes, and shows the missing text.
    cursors.RemoveCursor('A');
    states.Refresh(cursors, tb);
    EXPECT_EQ(states.States().front().Text, " ? To ? = xxx ");
}

TEST_F(CursorStates, FrequencyWorkValue)
{
    EXPECT_EQ(states.FrequencyText(WTime::Of(0, 0, 0, 500, 2)), "0.400000Hz");
    EXPECT_EQ(states.FrequencyValue, 0.4f);
    EXPECT_EQ(states.FrequencyUnit, 4);
    EXPECT_EQ(states.FrequencyText(Us2500), "400KHz");
    EXPECT_EQ(states.FrequencyValue, 400.0f);
    EXPECT_EQ(states.FrequencyUnit, 3);
    // Only the digits are cut: a very long time keeps its exponent.
    EXPECT_EQ(states.FrequencyText(WTime::Of(0, 0, 0, 0, 200000)), "4.999999E-6Hz");
}

struct GeneralCase
{
    double v;
    const char *text;
};

class GeneralText : public ::testing::TestWithParam<GeneralCase>
{
};

TEST_P(GeneralText, FifteenSignificantDigits)
{
    EXPECT_EQ(CursorState::GeneralText(GetParam().v), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, GeneralText,
    ::testing::Values(GeneralCase{0.0, "0"}, GeneralCase{400.0, "400"}, GeneralCase{1.0, "1"},
                      GeneralCase{static_cast<double>(0.4f), "0.400000005960464"},
                      GeneralCase{1000.0, "1000"}, GeneralCase{0.00001, "0.00001"},
                      GeneralCase{0.000015, "0.000015"}, GeneralCase{0.000001, "1E-6"},
                      GeneralCase{123456789012345.0, "123456789012345"}, GeneralCase{1e15, "1E15"},
                      GeneralCase{-2.5, "-2.5"}));

TEST_F(CursorStates, IdsModesSelectionAndRemoval)
{
    const int32_t first = states.AddState('A', 'B').Id;
    const int32_t second = states.AddState('B', 'T').Id;
    EXPECT_NE(first, second);
    EXPECT_EQ(states.States().front().Id, second); // newest first

    EXPECT_TRUE(states.ToggleMode(first));
    EXPECT_EQ(states.FindState(first)->DisplayMode, CursorState::FrequencyMode);
    EXPECT_TRUE(states.ToggleMode(first));
    EXPECT_EQ(states.FindState(first)->DisplayMode, CursorState::TimeMode);

    EXPECT_FALSE(states.DeleteSelected()); // nothing selected
    EXPECT_TRUE(states.Select(first));
    EXPECT_TRUE(states.DeleteSelected());
    EXPECT_EQ(states.Count(), 1);
    EXPECT_EQ(states.Selected(), nullptr);
    EXPECT_EQ(states.FindState(first), nullptr);
    EXPECT_FALSE(states.RemoveState(first));
    // Ids are never reused.
    EXPECT_NE(states.AddState('A', 'B').Id, first);
}

struct LayoutCase
{
    const char *what;
    int count;
    int32_t panelWidth;
    int32_t scrollBarWidth;
    int32_t scrollPosition;
    std::vector<CursorState::Rect> expected;
    int rows;
};

class ButtonLayout : public ::testing::TestWithParam<LayoutCase>
{
};

TEST_P(ButtonLayout, RowsOfWholeButtons)
{
    const LayoutCase &c = GetParam();
    EXPECT_EQ(CursorState::ButtonRects(c.count, c.panelWidth, c.scrollBarWidth, c.scrollPosition),
              c.expected)
        << c.what;
    EXPECT_EQ(CursorState::RowsOf(c.count, c.panelWidth, c.scrollBarWidth), c.rows) << c.what;
}

using R = CursorState::Rect;
INSTANTIATE_TEST_SUITE_P(
    Panels, ButtonLayout,
    ::testing::Values(
        LayoutCase{"three columns",
                   5,
                   400,
                   20,
                   0,
                   {R{0, 1}, R{120, 1}, R{240, 1}, R{0, 34}, R{120, 34}},
                   2},
        LayoutCase{
            "scrolled by 33", 4, 400, 20, 33, {R{0, -32}, R{120, -32}, R{240, -32}, R{0, 1}}, 2},
        LayoutCase{"exactly two columns", 3, 260, 20, 0, {R{0, 1}, R{120, 1}, R{0, 34}}, 2},
        LayoutCase{"no whole column: one row", 3, 100, 20, 0, {R{0, 1}, R{120, 1}, R{240, 1}}, 1},
        LayoutCase{"panel narrower than the scroll bar", 2, 10, 20, 0, {R{0, 1}, R{120, 1}}, 1},
        LayoutCase{"no states", 0, 400, 20, 0, {}, 0}));

} // namespace
