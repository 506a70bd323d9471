#include "display/CWaveformCore.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "display/TimeText.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

WTime Magnitude(WTime t)
{
    t.sign = 1;
    return t;
}

WTime Negated(WTime t)
{
    t.sign = t.IsZero() ? 1 : static_cast<uint8_t>(t.sign ? 0 : 1);
    return t;
}

uint32_t Count(const WTime &a, const WTime &b)
{
    return TimeToInt(TimeDivide(a, b).q);
}

int32_t ClampToInt32(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

} // namespace

CWaveformCore::CWaveformCore(const WSystem &system, CFile &settings, CCaptureRecord &record)
    : Graphics_Waveform(system, settings)
    , Record(record)
{
    UpdateTimeBase();
}

void CWaveformCore::UpdateTimeBase()
{
    DepthSamples = Record.DepthSamples;
    PreTriggerPercent = Record.PreTriggerPercent;
    PostTriggerPercent = Record.PostTriggerPercent;
    DIV_WTime::UpdateTimeBase();
}

bool CWaveformCore::CaptureValid() const
{
    return Record.CaptureValid == 1;
}

bool CWaveformCore::ConvertWindow()
{
    UpdateTimeBase();
    if (!CaptureValid())
        return false;
    PlaceWindow();
    BuildColumns();
    return true;
}

void CWaveformCore::PlaceWindow()
{
    WindowPlacement &w = Placement;
    const WTime &period = SamplePeriod;
    const WTime &tpp = TimePerPixel;
    const WTime view = Magnitude(ViewPosition);
    const bool positive = ViewPosition.sign != 0 || ViewPosition.IsZero();
    const uint32_t mask = System.AddressMask;

    // The window lies wholly after the record's end or before its start.
    if ((positive && TimeGreater(view, TimeAdd(PostSpan, LeftSpan))) ||
        (!positive && TimeGreater(view, TimeAdd(PreSpan, RightSpan))) ||
        (PixelsPerSample == 0 && SamplesPerPixel == 0)) {
        w.FirstColumn = ColumnCount;
        return;
    }

    const WTime columnZero = SignedSub(ViewPosition, LeftSpan); // time shown at column 0
    const WTime rel = SignedAdd(columnZero, PreSpan); // the same from the record's first sample

    if (rel.sign != 0) {
        // The window starts inside the record.
        const WTimeQuotient samples = TimeDivide(rel, period);
        const uint32_t c = TimeToInt(samples.q);
        w.FirstAddress = (Record.RecordStart + 4u * c) & mask;
        w.SampleTime = columnZero;
        if (PixelsPerSample > 0) {
            w.FirstColumn = 0;
            const uint32_t k = Count(samples.r, tpp); // columns of the sample before column 0
            w.Phase = k == 0 ? PixelsPerSample : PixelsPerSample - std::min(k, PixelsPerSample);
            w.Parity = columnZero.sign != 0 ? Count(rel, tpp) & 1u : w.Phase & 1u;
        } else {
            w.FirstColumn = positive ? 2 : 1;
            if (FractionPerPixel == 0.5f)
                w.Phase = (c % 10 == 0 || c % 10 == 5) ? 0 : 1;
            else if (FractionPerPixel == 0.25f)
                w.Phase = c % (4 * SamplesPerPixel + 1);
            else
                w.Phase = 0;
            w.Parity = 0;
        }
        return;
    }

    // The window starts before the record: the columns up to the record's
    // start stay empty.
    const uint32_t g = Count(Magnitude(rel), tpp);
    uint64_t first = uint64_t{g} + 1;
    w.FirstAddress = Record.RecordStart & mask;
    w.SampleTime = Negated(PreSpan);
    if (PixelsPerSample > 0) {
        if (!positive && TimeGreater(PreSpan, LeftSpan))
            first = g;
        // The first sample covers the columns up to where it would end if the
        // window started inside the record, so the samples keep their columns
        // as the view scrolls past the record's start, and the comparison
        // columns of the two-pixels-per-sample case stay on the first column
        // of each sample.
        w.Phase = first == g ? PixelsPerSample : PixelsPerSample - 1;
        w.Parity = g & 1u;
    } else {
        w.Phase = 0;
        w.Parity = 0;
    }
    w.FirstColumn = static_cast<uint16_t>(std::min<uint64_t>(first, ColumnCount));
}

void CWaveformCore::SetViewPosition(const WTime &t)
{
    ViewPosition = t;
    if (ViewPosition.IsZero())
        ViewPosition.sign = 1;
    DisplayedDelay = SignedSub(ViewPosition, TriggerCursorTime);
}

void CWaveformCore::GotoBegin()
{
    UpdateTimeBase();
    SetViewPosition(Negated(PreSpan));
}

void CWaveformCore::GotoEnd()
{
    UpdateTimeBase();
    SetViewPosition(Magnitude(PostSpan));
}

void CWaveformCore::GotoTrigger(bool running)
{
    ViewPosition = running ? WTime{} : TriggerCursorTime;
    if (ViewPosition.IsZero())
        ViewPosition.sign = 1;
    DisplayedDelay = WTime{};
}

std::string CWaveformCore::DelayText() const
{
    if (Settings.ClockSource == 1)
        return ClockCountText(DisplayedDelay);
    return TimeText(DisplayedDelay, TimePerDivUnit);
}

void CWaveformCore::RefreshRows()
{
    TimeDivIndex = Settings.TimeDivRow;
    RateIndex = Settings.RateRow;
    WTime delay;
    for (size_t k = 0; k < Settings.DelayGroups.size(); ++k)
        delay.g[k] = Settings.DelayGroups[k];
    delay = Normalise(delay);
    delay.sign = (Settings.DelayNegative == 0 || delay.IsZero()) ? 1 : 0;
    DisplayedDelay = delay;
    RefreshRowTable();
    UpdateTimeBase();
}

uint32_t CWaveformCore::PreSamples() const
{
    return static_cast<uint32_t>(uint64_t{PreTriggerPercent} * DepthSamples / 100);
}

uint32_t CWaveformCore::PostSamples() const
{
    return static_cast<uint32_t>(uint64_t{PostTriggerPercent} * DepthSamples / 100);
}

CWaveformCore::ScrollRange CWaveformCore::ScrollRangeOf() const
{
    ScrollRange r;
    const int64_t pre = PreSamples();
    const int64_t post = PostSamples();
    if (SamplesPerPixel > 0) {
        const double f = SamplesPerPixel + static_cast<double>(FractionPerPixel);
        const auto a = static_cast<int64_t>(std::trunc(static_cast<double>(pre) / f));
        const auto b = static_cast<int64_t>(std::trunc(static_cast<double>(post) / f));
        const int64_t w = std::max(PanelWidth, 0);
        if (a + b >= w) {
            r.Min = ClampToInt32(-a);
            r.Max = ClampToInt32(b);
            r.PageSize = 1;
        } else {
            r.Min = ClampToInt32(-((a + b) / 2));
            r.Max = ClampToInt32((a + b) / 2 + w);
            r.PageSize = ClampToInt32(w);
        }
        return r;
    }
    const int64_t scale = PixelsPerSample >= 100 ? 1 : PixelsPerSample;
    r.Min = ClampToInt32(-scale * pre);
    r.Max = ClampToInt32(scale * post);
    // An empty record still gets a range of one step. A record triggered at
    // its first sample (a capture brought in from a file) has no minimum
    // but its whole length after the trigger.
    if (r.Min == 0 && r.Max == 0)
        r.Max = 1;
    return r;
}

int32_t CWaveformCore::ScrollPositionOf(const ScrollRange &range) const
{
    const WTime view = Magnitude(ViewPosition);
    const bool negative = ViewPosition.sign == 0 && !ViewPosition.IsZero();
    if (negative && TimeGreater(view, PreSpan))
        return range.Min;
    if (!negative && TimeGreater(view, PostSpan))
        return range.Max;
    const WTime &unit =
        (SamplesPerPixel == 0 && PixelsPerSample >= 100) ? SamplePeriod : TimePerPixel;
    const int64_t q = TimeToInt64(TimeDivide(view, unit).q);
    return ClampToInt32(negative ? -q : q);
}

void CWaveformCore::ScrollTo(int32_t position)
{
    const WTime &unit =
        (SamplesPerPixel > 0 || PixelsPerSample < 100) ? TimePerPixel : SamplePeriod;
    const uint32_t steps =
        position < 0 ? 0u - static_cast<uint32_t>(position) : static_cast<uint32_t>(position);
    WTime t = TimeMul(unit, steps);
    t.sign = position < 0 ? 0 : 1;
    SetViewPosition(t);
}

void CWaveformCore::RulerMarksOf(RulerMarks &marks) const
{
    marks.LabelCount = 0;
    marks.TickCount = 0;
    const int32_t w = std::max(PanelWidth, 0);
    const int32_t origin = static_cast<int32_t>(int64_t{PreTriggerPercent} * w / 100) - 1;
    const WTime step = TimeMul(TimePerPixel, DivisionPixels);

    auto label = [&](int32_t column, const WTime &t) {
        if (marks.LabelCount >= MaxRulerLabels)
            return;
        RulerLabel &l = marks.Labels[static_cast<size_t>(marks.LabelCount++)];
        l.Text = Settings.ClockSource == 1 ? ClockCountText(t) : TimeText(t, TimePerPixelUnit);
        l.X = column - static_cast<int32_t>(5 * l.Text.size() / 2);
    };
    auto tick = [&](int32_t x, bool major) {
        if (marks.TickCount < MaxRulerTicks)
            marks.Ticks[static_cast<size_t>(marks.TickCount++)] = RulerTick{x, major};
    };

    int32_t left = origin;
    int32_t right = origin;
    WTime leftTime = SignedSub(ViewPosition, TriggerCursorTime);
    WTime rightTime = leftTime;
    for (int k = 0;; ++k) {
        if (k % 2 == 0) {
            // Every second step is labelled on each side (the origin twice).
            label(left, leftTime);
            label(right, rightTime);
            tick(left, true);
            tick(right, true);
            // Four minor ticks on both sides of every labelled position, so
            // the ruler reads in steps of 10 pixels.
            for (int i = 1; i <= 4; ++i) {
                tick(left - 10 * i, false);
                tick(left + 10 * i, false);
                if (right != left) {
                    tick(right - 10 * i, false);
                    tick(right + 10 * i, false);
                }
            }
        }
        if ((left <= 0 && right >= w) || marks.LabelCount >= MaxRulerLabels)
            break;
        left -= DivisionPixels;
        right += DivisionPixels;
        leftTime = SignedSub(leftTime, step);
        rightTime = SignedAdd(rightTime, step);
    }
}
