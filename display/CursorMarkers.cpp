#include "display/CursorMarkers.h"

namespace {

// tpp x n for a signed pixel count n, as a signed time.
WTime PixelsToTime(const WTime &tpp, int32_t n)
{
    WTime t = TimeMul(tpp, static_cast<uint32_t>(n < 0 ? -static_cast<int64_t>(n) : n));
    t.sign = n < 0 && !t.IsZero() ? 0 : 1;
    return t;
}

} // namespace

CursorMarkers::Edges CursorMarkers::EdgesOf(const WTime &viewPosition, const WTime &triggerTime,
                                            const DIV_WTime &tb)
{
    Edges e;
    e.Centre = SignedSub(viewPosition, triggerTime);
    e.Left = SignedSub(e.Centre, tb.MarkerLeftSpan);
    e.Right = SignedAdd(e.Centre, tb.MarkerRightSpan);
    return e;
}

CursorMarkers::Placement CursorMarkers::Place(const WTime &t, const Edges &edges,
                                              const DIV_WTime &tb)
{
    Placement p;
    if (SignedGreaterEq(t, edges.Left) && SignedLessEq(t, edges.Right)) {
        const WColumn c = ColumnOf(SignedSub(t, edges.Left), tb.TimePerPixel, tb.TimePerPixelUnit);
        if (c.ok && c.column <= static_cast<uint32_t>(INT32_MAX - WCursor::TipOffset)) {
            p.HasLine = true;
            p.Column = static_cast<int32_t>(c.column);
            p.MarkerLeft = p.Column - WCursor::TipOffset;
        } else {
            p.MarkerLeft = NoColumn;
        }
    } else if (!SignedLessEq(t, edges.Right)) {
        p.MarkerLeft = tb.PanelWidth - OffRightMargin;
    } else {
        p.MarkerLeft = OffLeft;
    }
    return p;
}

std::vector<CursorMarkers::Line> CursorMarkers::Layout(WCursor &cursors, const WTime &viewPosition,
                                                       const DIV_WTime &tb)
{
    const Edges edges = EdgesOf(viewPosition, cursors.TriggerCursor().Time, tb);
    std::vector<Line> lines;
    lines.reserve(static_cast<size_t>(cursors.Count()) + 2);
    auto place = [&](WCursor::Cursor &c, const WTime &t) {
        const Placement p = Place(t, edges, tb);
        c.MarkerLeft = p.MarkerLeft;
        if (p.HasLine)
            lines.push_back(Line{c.Name, p.Column, c.Colour, c.LineStyle});
    };
    for (WCursor::Cursor &c : cursors.Cursors())
        place(c, c.Time);
    place(cursors.TriggerCursor(), WTime{});
    if (WCursor::Cursor *s = cursors.Selected())
        place(*s, s->Time);
    return lines;
}

CursorMarkers::DragResult CursorMarkers::DragMove(int32_t markerLeft, int32_t x, int32_t plotWidth,
                                                  const WTime &viewPosition,
                                                  const WTime &triggerTime, const DIV_WTime &tb)
{
    DragResult r;
    r.MarkerLeft = markerLeft;
    r.ViewPosition = viewPosition;
    if (x > 0) {
        if (static_cast<int64_t>(markerLeft) + WCursor::MarkerWidth <= plotWidth) {
            r.MarkerLeft = markerLeft + x;
            r.RightScroll = Timer::Stop;
        } else {
            r.RightScroll = Timer::Run;
        }
    } else if (x < 0) {
        const int64_t away = -static_cast<int64_t>(x);
        if (markerLeft <= 9 || markerLeft < away) {
            r.ViewPosition = SignedSub(viewPosition, tb.TimePerPixel);
            r.MarkerLeft = 10;
            r.LeftScroll = Timer::Run;
        } else {
            r.MarkerLeft = markerLeft + x;
            r.LeftScroll = Timer::Stop;
        }
    }
    const Edges edges = EdgesOf(r.ViewPosition, triggerTime, tb);
    r.CursorTime = SignedAdd(edges.Left, PixelsToTime(tb.TimePerPixel, r.MarkerLeft));
    return r;
}

CursorMarkers::ScrollResult CursorMarkers::AutoScrollTick(bool left, const WTime &viewPosition,
                                                          const WTime &cursorTime,
                                                          const DIV_WTime &tb)
{
    ScrollResult r;
    if (left) {
        r.ViewPosition = SignedSub(viewPosition, tb.TimePerPixel);
        r.CursorTime = SignedSub(cursorTime, tb.TimePerPixel);
    } else {
        r.ViewPosition = SignedAdd(viewPosition, tb.TimePerPixel);
        r.CursorTime = SignedAdd(cursorTime, tb.TimePerPixel);
    }
    return r;
}
