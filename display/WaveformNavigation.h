#pragma once

// Moving around the waveform page by mouse wheel, keys and scroll bar: the
// time under a pixel column, the view position that keeps a time under the
// pointer while the zoom row changes, scrolling by a part of the screen
// within the record, the scroll bar's arrow and trough steps, and the
// counting of wheel notches. Pure functions over the time base (DIV_WTime);
// the window binds them to its events.
//
// Pixel columns are those of the plot as the user sees it (0 at its left
// edge), the trigger column at floor(PreTriggerPercent x W / 100), as the
// cursor lines are drawn. Times are relative to the record's trigger sample,
// like ViewPosition.

#include "display/DIV_WTime.h"
#include "display/WTime.h"

#include <cstdint>

class WaveformNavigation
{
public:
    // One notch of a mouse wheel, in the eighths of a degree wheels report.
    static constexpr int WheelNotch = 120;
    // A Left/Right key or a sideways wheel notch scrolls this part of the screen.
    static constexpr int ScreenTenths = 10;

    // The time shown at column x for the view position.
    static WTime TimeAtColumn(const WTime &viewPosition, int32_t x, const DIV_WTime &tb);
    // The view position that shows `time` at column x.
    static WTime ViewShowingAt(const WTime &time, int32_t x, const DIV_WTime &tb);
    // The view position kept inside the record: from -PreSpan (the first
    // sample at the trigger column, "GOTO Begin") to +PostSpan ("GOTO End").
    static WTime KeptInRecord(const WTime &viewPosition, const DIV_WTime &tb);
    // The view moved by `tenths` tenths of the screen width, towards later
    // times for a positive count, kept inside the record.
    static WTime Scrolled(const WTime &viewPosition, int32_t tenths, const DIV_WTime &tb);

    // The horizontal scroll bar's steps in its own units (pixels, or samples
    // when one sample spans 100 pixels or more): an arrow moves one division,
    // a click in the trough one screen.
    struct Steps
    {
        int32_t Arrow = 1;
        int32_t Page = 1;
        friend bool operator==(const Steps &, const Steps &) = default;
    };
    static Steps ScrollSteps(const DIV_WTime &tb);

    // Counts whole wheel notches from the deltas of a wheel or touchpad,
    // keeping the rest for the next event (touchpads send small deltas).
    class Wheel
    {
    public:
        // Notches up to now: positive away from the user (or to the left).
        int Notches(int32_t delta);
        void Reset() { rest = 0; }

    private:
        int32_t rest = 0;
    };
};
