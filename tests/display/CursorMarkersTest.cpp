// Cursor markers on the waveform page: where each marker and line goes, the
// drawing order, dragging with the edge auto-scroll, and the pictures.

#include "display/CursorMarkers.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CursorMarkerPicture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr WTime Us(uint32_t us, uint32_t ns = 0, uint8_t sign = 1)
{
    return WTime::Of(0, ns, us, 0, 0, sign);
}

// 1000 pixels at 50 ns per pixel, trigger at 50 %: the trigger column is
// pixel 500, the edges lie 25 us either side of it.
class Markers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tb.PanelWidth = 1000;
        tb.TimeDivIndex = 7;
        tb.UpdateTimeBase();
    }
    WSystem system;
    CFile settings;
    DIV_WTime tb{system, settings};
    WCursor cursors;
};

struct PlaceCase
{
    const char *what;
    WTime delay;
    WTime view;
    WTime t;
    int32_t markerLeft;
    bool line;
    int32_t column;
};

class MarkerPlace : public Markers, public ::testing::WithParamInterface<PlaceCase>
{
};

TEST_P(MarkerPlace, MarkerAndLine)
{
    const PlaceCase &c = GetParam();
    cursors.SetTriggerCursor(c.delay);
    const WTime trigger = cursors.TriggerCursor().Time;
    const CursorMarkers::Edges e = CursorMarkers::EdgesOf(c.view, trigger, tb);
    const CursorMarkers::Placement p = CursorMarkers::Place(c.t, e, tb);
    EXPECT_EQ(p.MarkerLeft, c.markerLeft) << c.what;
    EXPECT_EQ(p.HasLine, c.line) << c.what;
    if (c.line) {
        EXPECT_EQ(p.Column, c.column) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkerPlace,
    ::testing::Values(
        PlaceCase{"at the trigger column", Us(0), Us(0), Us(0), 493, true, 500},
        PlaceCase{"1 us later", Us(0), Us(0), Us(1), 513, true, 520},
        PlaceCase{"on the left edge", Us(0), Us(0), Us(25, 0, 0), -7, true, 0},
        PlaceCase{"on the right edge", Us(0), Us(0), Us(25), 993, true, 1000},
        PlaceCase{"off the right edge", Us(0), Us(0), Us(25, 50), 990, false, 0},
        PlaceCase{"off the left edge", Us(0), Us(0), Us(25, 50, 0), -8, false, 0},
        PlaceCase{"view moved 30 us on: off the left", Us(0), Us(30), Us(0), -8, false, 0},
        PlaceCase{"view moved 30 us back: off the right", Us(0), Us(30, 0, 0), Us(0), 990, false,
                  0},
        PlaceCase{"delay 5 us: the event 100 pixels left of the trigger column", Us(5), Us(0),
                  Us(0), 393, true, 400},
        PlaceCase{"delay 5 us, view on the event", Us(5), Us(5, 0, 0), Us(0), 493, true, 500}));

TEST_F(Markers, TooFarToCountInPixelsParksTheMarker)
{
    tb.TimeDivIndex = 0; // 200 ps per pixel: a millisecond does not count in picoseconds
    tb.UpdateTimeBase();
    CursorMarkers::Edges e;
    e.Left = WTime{};
    e.Right = WTime::Of(0, 0, 0, 2);
    const CursorMarkers::Placement p = CursorMarkers::Place(WTime::Of(0, 0, 500, 1), e, tb);
    EXPECT_EQ(p.MarkerLeft, -7);
    EXPECT_FALSE(p.HasLine);
}

TEST_F(Markers, LayoutDrawsTheSelectedCursorLast)
{
    cursors.AddCursor(Us(1));       // A
    cursors.AddCursor(Us(2, 0, 0)); // B
    cursors.AddCursor(Us(40));      // C, off the right edge
    cursors.Select('A');
    const std::vector<CursorMarkers::Line> lines = CursorMarkers::Layout(cursors, Us(0), tb);
    const TColor a = cursors.FindCursor('A')->Colour;
    const TColor b = cursors.FindCursor('B')->Colour;
    using L = CursorMarkers::Line;
    EXPECT_EQ(lines,
              (std::vector<L>{L{'B', 460, b, WCursor::Dotted}, L{'A', 520, a, WCursor::Solid},
                              L{'T', 500, WCursor::TriggerColour, WCursor::Solid},
                              L{'A', 520, a, WCursor::Solid}}));
    EXPECT_EQ(cursors.FindCursor('A')->MarkerLeft, 513);
    EXPECT_EQ(cursors.FindCursor('B')->MarkerLeft, 453);
    EXPECT_EQ(cursors.FindCursor('C')->MarkerLeft, 990);
    EXPECT_EQ(cursors.TriggerCursor().MarkerLeft, 493);
}

TEST_F(Markers, DraggingFollowsTheMouse)
{
    cursors.AddCursor(Us(0));
    WCursor::Cursor &a = *cursors.Selected();
    CursorMarkers::Layout(cursors, Us(0), tb);
    ASSERT_EQ(a.MarkerLeft, 493);

    // Grabbed at its tip (x = 7) and moved 20 pixels right: x = 27.
    CursorMarkers::DragResult r =
        CursorMarkers::DragMove(a.MarkerLeft, 27, 1000, Us(0), cursors.TriggerCursor().Time, tb);
    EXPECT_EQ(r.MarkerLeft, 520);
    EXPECT_EQ(r.RightScroll, CursorMarkers::Timer::Stop);
    EXPECT_EQ(r.LeftScroll, CursorMarkers::Timer::Keep);
    EXPECT_EQ(r.ViewPosition, Us(0));
    EXPECT_EQ(r.CursorTime, Us(1)); // pixel 520 is 1 us after the trigger column
    a.Time = r.CursorTime;
    CursorMarkers::Layout(cursors, r.ViewPosition, tb);
    EXPECT_EQ(a.MarkerLeft, 513); // the arrow tip under the mouse

    // Moved left but still inside.
    r = CursorMarkers::DragMove(513, -13, 1000, Us(0), cursors.TriggerCursor().Time, tb);
    EXPECT_EQ(r.MarkerLeft, 500);
    EXPECT_EQ(r.LeftScroll, CursorMarkers::Timer::Stop);
    EXPECT_EQ(r.CursorTime, Us(0));
}

struct EdgeDragCase
{
    const char *what;
    int32_t markerLeft;
    int32_t x;
    int32_t expectedLeft;
    CursorMarkers::Timer left;
    CursorMarkers::Timer right;
    bool viewMovesBack;
};

class EdgeDrag : public Markers, public ::testing::WithParamInterface<EdgeDragCase>
{
};

TEST_P(EdgeDrag, PastAnEdgeScrollsTheView)
{
    const EdgeDragCase &c = GetParam();
    const CursorMarkers::DragResult r =
        CursorMarkers::DragMove(c.markerLeft, c.x, 1000, Us(0), WTime{}, tb);
    EXPECT_EQ(r.MarkerLeft, c.expectedLeft) << c.what;
    EXPECT_EQ(r.LeftScroll, c.left) << c.what;
    EXPECT_EQ(r.RightScroll, c.right) << c.what;
    EXPECT_EQ(r.ViewPosition, c.viewMovesBack ? WTime::Of(0, 50, 0, 0, 0, 0) : Us(0)) << c.what;
    // The cursor takes the time under the new marker position.
    const CursorMarkers::Edges e = CursorMarkers::EdgesOf(r.ViewPosition, WTime{}, tb);
    const CursorMarkers::Placement p = CursorMarkers::Place(r.CursorTime, e, tb);
    EXPECT_EQ(p.Column, r.MarkerLeft) << c.what;
}

using T = CursorMarkers::Timer;
INSTANTIATE_TEST_SUITE_P(
    Cases, EdgeDrag,
    ::testing::Values(EdgeDragCase{"left edge reached", 9, -2, 10, T::Run, T::Keep, true},
                      EdgeDragCase{"mouse left of the panel", 30, -40, 10, T::Run, T::Keep, true},
                      EdgeDragCase{"left, still inside", 30, -5, 25, T::Stop, T::Keep, false},
                      EdgeDragCase{"right edge reached", 990, 10, 990, T::Keep, T::Run, false},
                      EdgeDragCase{"right, the marker still fits", 983, 3, 986, T::Keep, T::Stop,
                                   false},
                      EdgeDragCase{"no move", 400, 0, 400, T::Keep, T::Keep, false}));

TEST_F(Markers, AutoScrollMovesViewAndCursorTogether)
{
    cursors.AddCursor(Us(0));
    WCursor::Cursor &a = *cursors.Selected();
    WTime view = Us(0);
    for (int tick = 0; tick < 3; ++tick) {
        const auto s = CursorMarkers::AutoScrollTick(true, view, a.Time, tb);
        view = s.ViewPosition;
        a.Time = s.CursorTime;
    }
    EXPECT_EQ(view, WTime::Of(0, 150, 0, 0, 0, 0));
    EXPECT_EQ(a.Time, WTime::Of(0, 150, 0, 0, 0, 0));
    CursorMarkers::Layout(cursors, view, tb);
    EXPECT_EQ(a.MarkerLeft, 493); // the cursor stays under the mouse while the view scrolls

    const auto back = CursorMarkers::AutoScrollTick(false, view, a.Time, tb);
    EXPECT_EQ(back.ViewPosition, WTime::Of(0, 100, 0, 0, 0, 0));
    EXPECT_EQ(back.CursorTime, WTime::Of(0, 100, 0, 0, 0, 0));
}

// --- Pictures ---------------------------------------------------------------

struct PixelCase
{
    const char *what;
    int x;
    int y;
    TColor expected; // -1: the marker's colour
};

constexpr TColor Fill = -1;
constexpr TColor Clear = CursorMarkerPicture::TransparentColour;
constexpr TColor Ink = CursorMarkerPicture::OutlineColour;

void ExpectPixels(const TBitmap &b, TColor colour, const std::vector<PixelCase> &cases)
{
    for (const PixelCase &c : cases)
        EXPECT_EQ(b.Pixel(c.x, c.y), c.expected == Fill ? colour : c.expected) << c.what;
}

TEST(MarkerPictures, RulerMarker)
{
    const TColor colour = 0x800080;
    const TBitmap b = CursorMarkerPicture::RulerMarker('T', colour);
    ASSERT_EQ(b.Width(), 17);
    ASSERT_EQ(b.Height(), 21);
    ExpectPixels(b, colour,
                 {{"box corner outline", 0, 0, Ink},
                  {"box right outline", 16, 7, Ink},
                  {"box inside", 2, 5, Fill},
                  {"box inside, right", 14, 12, Fill},
                  {"letter bar", 5, 2, Ink},
                  {"letter stem", 7, 6, Ink},
                  {"arrow inside", 7, 17, Fill},
                  {"arrow tip, 7 right of the left edge", 7, 20, Ink},
                  {"beside the tip", 6, 20, Clear},
                  {"beside the tip, right", 8, 20, Clear},
                  {"bottom left corner", 0, 20, Clear},
                  {"bottom right corner", 16, 20, Clear},
                  {"beside the arrow", 1, 15, Clear}});
}

TEST(MarkerPictures, ListMarker)
{
    const TColor colour = WCursor::TriggerColour;
    const TBitmap b = CursorMarkerPicture::ListMarker('A', colour);
    ASSERT_EQ(b.Width(), 20);
    ASSERT_EQ(b.Height(), 20);
    ExpectPixels(b, colour,
                 {{"box corner outline", 0, 0, Ink},
                  {"box bottom outline", 7, 19, Ink},
                  {"box inside", 2, 14, Fill},
                  {"letter top", 6, 4, Ink},
                  {"arrow inside", 17, 10, Fill},
                  {"arrow tip", 19, 9, Ink},
                  {"above the tip", 19, 1, Clear},
                  {"below the tip", 19, 18, Clear}});
}

} // namespace
