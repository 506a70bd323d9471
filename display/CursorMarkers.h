#pragma once

// Where the cursors show on the waveform page: the left position of each
// ruler marker, the columns of the cursor lines on the display layer and
// their drawing order, and the arithmetic of dragging a marker with the
// auto-scroll at the panel edges. Pure functions over the time base; the
// window moves its marker controls to Cursor::MarkerLeft and draws the lines
// it is given, in order (so the selected cursor's line lies on top).

#include "display/DIV_WTime.h"
#include "display/WCursor.h"
#include "display/WTime.h"

#include <cstdint>
#include <vector>

class CursorMarkers
{
public:
    // Marker left positions of cursors that have no column.
    static constexpr int OffLeft = -8;        // before the left edge
    static constexpr int OffRightMargin = 10; // after the right edge: panel width - 10
    static constexpr int NoColumn = -7;       // inside, but too far to count in pixels

    // The window on the trigger-event time axis: Centre is the time at the
    // trigger column (ViewPosition - trigger cursor time), Left and Right the
    // times at the panel's edges.
    struct Edges
    {
        WTime Centre;
        WTime Left;
        WTime Right;
    };
    static Edges EdgesOf(const WTime &viewPosition, const WTime &triggerTime, const DIV_WTime &tb);

    struct Placement
    {
        int32_t MarkerLeft = OffLeft;
        bool HasLine = false; // a line is drawn at Column
        int32_t Column = 0;
    };
    // The marker of a cursor at time t (relative to the trigger event).
    static Placement Place(const WTime &t, const Edges &edges, const DIV_WTime &tb);

    struct Line
    {
        char Name = WCursor::TriggerName;
        int32_t X = 0; // from y = 0 to the panel height
        TColor Colour = WCursor::TriggerColour;
        uint8_t Style = WCursor::Solid; // TPenStyle numbering
        friend bool operator==(const Line &, const Line &) = default;
    };
    // The placement step of every redraw: every user cursor (newest first),
    // then the trigger cursor (at time 0 on this axis), then the selected
    // cursor once more, so that its line lies on top. Sets each cursor's
    // MarkerLeft and returns the lines in drawing order.
    static std::vector<Line> Layout(WCursor &cursors, const WTime &viewPosition,
                                    const DIV_WTime &tb);

    // --- Dragging a ruler marker ---------------------------------------------
    enum class Timer : uint8_t { Keep, Run, Stop };
    struct DragResult
    {
        int32_t MarkerLeft = 0;
        WTime ViewPosition;
        WTime CursorTime;                // the dragged cursor's new time
        Timer LeftScroll = Timer::Keep;  // Timer4
        Timer RightScroll = Timer::Keep; // Timer5
    };
    // A mouse move while dragging, x relative to the marker's left edge.
    // Moving right: the marker follows while it still fits in the plot panel,
    // else the right auto-scroll runs. Moving left: past the left edge (left
    // at most 9, or the mouse left of the panel) the view moves one pixel
    // earlier, the marker stops at 10 and the left auto-scroll runs;
    // otherwise the marker follows. The cursor then takes the time under the
    // marker's new left position (the next Layout puts its arrow tip there).
    static DragResult DragMove(int32_t markerLeft, int32_t x, int32_t plotWidth,
                               const WTime &viewPosition, const WTime &triggerTime,
                               const DIV_WTime &tb);

    struct ScrollResult
    {
        WTime ViewPosition;
        WTime CursorTime;
    };
    // One auto-scroll tick (10 ms): the view and the dragged cursor move one
    // pixel together, earlier for the left scroll, later for the right one.
    static ScrollResult AutoScrollTick(bool left, const WTime &viewPosition,
                                       const WTime &cursorTime, const DIV_WTime &tb);
};
