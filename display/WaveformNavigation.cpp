#include "display/WaveformNavigation.h"

#include <algorithm>

namespace {

// n pixel columns as a signed time.
WTime PixelsToTime(const WTime &tpp, int64_t n)
{
    const auto steps = static_cast<uint32_t>(std::min<int64_t>(n < 0 ? -n : n, UINT32_MAX));
    WTime t = TimeMul(tpp, steps);
    t.sign = n < 0 && !t.IsZero() ? 0 : 1;
    return t;
}

int32_t TriggerX(const DIV_WTime &tb)
{
    return static_cast<int32_t>(int64_t{tb.PreTriggerPercent} * std::max(tb.PanelWidth, 0) / 100);
}

} // namespace

WTime WaveformNavigation::TimeAtColumn(const WTime &viewPosition, int32_t x, const DIV_WTime &tb)
{
    return SignedAdd(viewPosition,
                     PixelsToTime(tb.TimePerPixel, int64_t{x} - TriggerX(tb)));
}

WTime WaveformNavigation::ViewShowingAt(const WTime &time, int32_t x, const DIV_WTime &tb)
{
    return SignedSub(time, PixelsToTime(tb.TimePerPixel, int64_t{x} - TriggerX(tb)));
}

WTime WaveformNavigation::KeptInRecord(const WTime &viewPosition, const DIV_WTime &tb)
{
    WTime first = tb.PreSpan;
    first.sign = first.IsZero() ? 1 : 0;
    if (!SignedGreaterEq(viewPosition, first))
        return first;
    if (!SignedLessEq(viewPosition, tb.PostSpan))
        return tb.PostSpan;
    return viewPosition;
}

WTime WaveformNavigation::Scrolled(const WTime &viewPosition, int32_t tenths, const DIV_WTime &tb)
{
    const int64_t pixels = int64_t{std::max(tb.PanelWidth, 0)} * tenths / ScreenTenths;
    return KeptInRecord(SignedAdd(viewPosition, PixelsToTime(tb.TimePerPixel, pixels)), tb);
}

WaveformNavigation::Steps WaveformNavigation::ScrollSteps(const DIV_WTime &tb)
{
    const int32_t width = std::max(tb.PanelWidth, 1);
    // The scroll bar counts samples when a sample spans 100 pixels or more
    // (then a division is less than one sample), else pixels.
    if (tb.SamplesPerPixel == 0 && tb.PixelsPerSample >= 100) {
        const auto pps = static_cast<int32_t>(tb.PixelsPerSample);
        return Steps{1, std::max(1, width / pps)};
    }
    return Steps{DIV_WTime::DivisionPixels, width};
}

int WaveformNavigation::Wheel::Notches(int32_t delta)
{
    rest += delta;
    const int notches = rest / WheelNotch;
    rest -= notches * WheelNotch;
    return notches;
}
