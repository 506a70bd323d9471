// The main window's view-command rules: zoom limits and steps, grid style,
// background style, the refresh after a view change, "GOTO Cursor" and
// "Default".

#include "analyzer/ViewCommands.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CursorMarkers.h"
#include "display/DIV_WTime.h"
#include "display/WCursor.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct LimitCase
{
    bool external;
    int row;
    bool zoomIn;
    bool zoomOut;
};

class ZoomLimits : public ::testing::TestWithParam<LimitCase>
{
};

TEST_P(ZoomLimits, EnabledCommandsAtRow)
{
    const LimitCase &c = GetParam();
    EXPECT_EQ(ViewCommands::ZoomLimits(c.external, c.row),
              (ViewCommands::ZoomEnables{c.zoomIn, c.zoomOut}))
        << (c.external ? "external row " : "internal row ") << c.row;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ZoomLimits,
    ::testing::Values(LimitCase{false, 0, false, true}, LimitCase{false, 1, true, true},
                      LimitCase{false, 12, true, true}, LimitCase{false, 23, true, true},
                      LimitCase{false, 24, true, false}, LimitCase{true, 3, false, true},
                      LimitCase{true, 5, true, true}, LimitCase{true, 16, true, false},
                      LimitCase{true, 0, false, true}));

struct StepCase
{
    const char *what;
    bool external;
    bool in;
    int row;
    int divider;
    int expectedRow;
    int expectedDivider;
    bool changed;
};

class ZoomSteps : public ::testing::TestWithParam<StepCase>
{
};

TEST_P(ZoomSteps, OneRowOrOneDivider)
{
    const StepCase &c = GetParam();
    const WSystem system;
    const ViewCommands::ZoomStep s =
        c.in ? ViewCommands::ZoomIn(c.external, c.row, c.divider, system)
             : ViewCommands::ZoomOut(c.external, c.row, c.divider, system);
    EXPECT_EQ(s.Row, c.expectedRow) << c.what;
    EXPECT_EQ(s.Changed, c.changed) << c.what;
    if (c.external) {
        EXPECT_EQ(s.DividerIndex, c.expectedDivider) << c.what;
    }
    // Zooming on from the limit is then disabled.
    const ViewCommands::ZoomEnables e = ViewCommands::ZoomLimits(c.external, s.Row);
    if (!c.changed) {
        EXPECT_FALSE(c.in ? e.ZoomIn : e.ZoomOut) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ZoomSteps,
    ::testing::Values(StepCase{"in from 5", false, true, 5, -1, 4, -1, true},
                      StepCase{"in at 0", false, true, 0, -1, 0, -1, false},
                      StepCase{"out from 5", false, false, 5, -1, 6, -1, true},
                      StepCase{"out at 24", false, false, 24, -1, 24, -1, false},
                      StepCase{"external in from 25ck", true, true, 7, 2, 5, 1, true},
                      StepCase{"external in at 1ck", true, true, 3, 0, 3, 0, false},
                      StepCase{"external out from 1ck", true, false, 3, 0, 5, 1, true},
                      StepCase{"external out at 25000ck", true, false, 16, 11, 16, 11, false}));

TEST(ViewCommands, DividerOfRow)
{
    const WSystem system;
    EXPECT_EQ(ViewCommands::DividerIndexOfRow(system, 3), 0);
    EXPECT_EQ(ViewCommands::DividerIndexOfRow(system, 16), 11);
    EXPECT_EQ(ViewCommands::DividerIndexOfRow(system, 4), -1);
}

TEST(ViewCommands, GridStyleCycles)
{
    int style = ViewCommands::InitialGridStyle;
    const int expected[] = {3, 0, 1, 2};
    for (int e : expected) {
        style = ViewCommands::NextGridStyle(style);
        EXPECT_EQ(style, e);
    }
    EXPECT_EQ(style, ViewCommands::InitialGridStyle); // four presses return to the start
    EXPECT_EQ(ViewCommands::NextGridStyle(7), 0);     // a stray value restarts the cycle
}

TEST(ViewCommands, BackgroundStyle)
{
    using S = ViewCommands::ColourScheme;
    const TColor system = 0xF0F0F0;
    EXPECT_EQ(ViewCommands::ToggleBackground(0x000000, system), (S{0xFFFFFF, 0x000000, 0xFFFFFF}));
    EXPECT_EQ(ViewCommands::ToggleBackground(0xFFFFFF, system), (S{0x000000, 0xFFFFFF, system}));
    EXPECT_EQ(ViewCommands::ToggleBackground(0x123456, system), (S{0x000000, 0xFFFFFF, system}));
}

class ViewChange : public ::testing::Test
{
protected:
    WSystem system;
    CFile settings;
    DIV_WTime view{system, settings};
};

TEST_F(ViewChange, WhileRunningTheViewTakesTheComboRow)
{
    view.TimeDivIndex = 9;
    view.RateIndex = 4;
    const ViewCommands::ViewChange c = ViewCommands::ApplyViewChange(view, 9, true);
    EXPECT_TRUE(c.ResetAcquisitionStep);
    EXPECT_TRUE(c.Redraw);
    EXPECT_TRUE(c.RereadList);
    EXPECT_EQ(view.RateIndex, 9);
    EXPECT_EQ(settings.TimeDivRow, 9);
    EXPECT_EQ(settings.RateRow, 9);
    EXPECT_EQ(view.SamplePeriod, WTime::Of(0, 400)); // the time base follows: row 9 samples 400 ns
}

TEST_F(ViewChange, IdleKeepsTheCaptureRow)
{
    view.TimeDivIndex = 9;
    view.RateIndex = 4;
    const ViewCommands::ViewChange c = ViewCommands::ApplyViewChange(view, 9, false);
    EXPECT_TRUE(c.ResetAcquisitionStep);
    EXPECT_FALSE(c.Redraw);
    EXPECT_TRUE(c.RereadList);
    EXPECT_EQ(view.RateIndex, 4);
    EXPECT_EQ(settings.RateRow, 3);
}

TEST_F(ViewChange, ExternalClockRecordsRateRowSeven)
{
    settings.ClockSource = 1;
    ViewCommands::ApplyViewChange(view, 16, true);
    EXPECT_EQ(view.TimeDivIndex, 16);
    EXPECT_EQ(settings.TimeDivRow, 16);
    EXPECT_EQ(settings.RateRow, 7);
}

TEST(ViewCommands, SettingsDelay)
{
    CFile settings;
    settings.DelayGroups = {0, 0, 5, 0, 0};
    EXPECT_EQ(ViewCommands::SettingsDelay(settings), WTime::Of(0, 0, 5));
    settings.DelayNegative = 1;
    EXPECT_EQ(ViewCommands::SettingsDelay(settings), WTime::Of(0, 0, 5, 0, 0, 0));
    settings.DelayGroups = {0, 0, 0, 0, 0};
    EXPECT_EQ(ViewCommands::SettingsDelay(settings), WTime{});
}

struct GotoCase
{
    const char *what;
    WTime delay;
    WTime createdAt; // ViewPosition when the cursor was made
    WTime scrolledTo;
};

class GotoCursor : public ::testing::TestWithParam<GotoCase>
{
};

TEST_P(GotoCursor, BringsTheCursorBackToTheTriggerColumn)
{
    const GotoCase &c = GetParam();
    WSystem system;
    CFile settings;
    DIV_WTime tb{system, settings};
    tb.PanelWidth = 1000;
    tb.TimeDivIndex = 7; // 50 ns per pixel: the trigger column is pixel 500
    tb.UpdateTimeBase();
    WCursor cursors;
    cursors.SetTriggerCursor(c.delay);

    WCursor::Cursor &a = *cursors.AddCursor(c.createdAt).Added;
    CursorMarkers::Layout(cursors, c.createdAt, tb);
    ASSERT_EQ(a.MarkerLeft, 500 - WCursor::TipOffset) << c.what; // made on the trigger column

    CursorMarkers::Layout(cursors, c.scrolledTo, tb);
    EXPECT_NE(a.MarkerLeft, 500 - WCursor::TipOffset) << c.what;

    const WTime view = ViewCommands::GotoCursorPosition(a.Time, cursors.TriggerCursor().Time);
    EXPECT_EQ(view, c.createdAt) << c.what;
    const std::vector<CursorMarkers::Line> lines = CursorMarkers::Layout(cursors, view, tb);
    EXPECT_EQ(a.MarkerLeft, 500 - WCursor::TipOffset) << c.what;
    EXPECT_EQ(lines.front().X, 500) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Delays, GotoCursor,
    ::testing::Values(
        GotoCase{"delay +5 us", WTime::Of(0, 0, 5), WTime::Of(0, 0, 3), WTime::Of(0, 0, 0, 1)},
        GotoCase{"no delay", WTime{}, WTime::Of(0, 0, 3, 0, 0, 0), WTime::Of(0, 0, 40)},
        GotoCase{"delay -2 us", WTime::Of(0, 0, 2, 0, 0, 0), WTime::Of(0, 0, 7),
                 WTime::Of(0, 0, 90, 0, 0, 0)}));

TEST(ViewCommands, DefaultRemovesEveryCursor)
{
    WSystem system;
    CFile settings;
    WCursor cursors;
    settings.TriggerType = 3;
    settings.DelayGroups = {0, 0, 5, 0, 0};
    std::fill(system.SampleBuffer.begin(), system.SampleBuffer.end(), uint8_t{0x5A});
    cursors.SetTriggerCursor(WTime::Of(0, 0, 5));
    for (int i = 0; i < 4; ++i)
        cursors.AddCursor(WTime::Of(0, 0, static_cast<uint32_t>(i)));
    WTime delay = WTime::Of(0, 0, 5);

    ViewCommands::ResetToDefault(settings, system, cursors, delay);

    EXPECT_EQ(cursors.Count(), 0);
    EXPECT_EQ(cursors.Selected(), nullptr);
    EXPECT_EQ(cursors.TriggerCursor().Time, WTime{}); // "T" back on the trigger
    EXPECT_EQ(delay, WTime{});
    EXPECT_EQ(settings.TriggerType, 1);
    EXPECT_EQ(ViewCommands::SettingsDelay(settings), WTime{});
    EXPECT_TRUE(std::all_of(system.SampleBuffer.begin(), system.SampleBuffer.end(),
                            [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(cursors.AddCursor(WTime{}).Added->Name, 'A');
}

} // namespace
