#include "display/DIV_WTime.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/TimeText.h"

#include <algorithm>
#include <cmath>

namespace {

size_t RowOf(int row)
{
    return static_cast<size_t>(std::clamp(row, 0, ModelTable::TimeDivRowCount - 1));
}

// A table value in nanoseconds as the ratio step reads it: units 1..3 are
// scaled, a value in unit 0 or 4 is taken as it stands.
double TableNanoseconds(uint16_t value, uint16_t unit)
{
    switch (unit) {
    case 2:
        return value * 1e3;
    case 3:
        return value * 1e6;
    default:
        return value;
    }
}

} // namespace

DIV_WTime::DIV_WTime(const WSystem &system, CFile &settings)
    : System(system)
    , Settings(settings)
{
    if (DefaultDepthIndex < static_cast<int>(System.DepthCount))
        DepthSamples = static_cast<uint32_t>(System.DepthSamples[DefaultDepthIndex]);
    UpdateTimeBase();
}

void DIV_WTime::LoadPeriod(uint16_t &value, uint16_t &unit) const
{
    if (Settings.ClockSource == 1) {
        value = static_cast<uint16_t>(System.SamplePeriodValue[ExternalClockValueRow]);
        unit = static_cast<uint16_t>(System.SamplePeriodUnit[ExternalClockUnitRow]);
    } else {
        const size_t r = RowOf(RateIndex);
        value = static_cast<uint16_t>(System.SamplePeriodValue[r]);
        unit = static_cast<uint16_t>(System.SamplePeriodUnit[r]);
    }
}

WTime DIV_WTime::RatePeriod() const
{
    uint16_t value = 0;
    uint16_t unit = 0;
    LoadPeriod(value, unit);
    return WTime::FromTable(value, unit);
}

void DIV_WTime::UpdateTimeBase()
{
    const size_t row = RowOf(TimeDivIndex);
    TimePerPixelValue = static_cast<uint16_t>(System.TimePixelValue[row]);
    TimePerPixelUnit = static_cast<uint16_t>(System.TimePixelUnit[row]);
    TimePerPixel = WTime::FromTable(TimePerPixelValue, TimePerPixelUnit);
    TimePerDivValue = static_cast<uint16_t>(System.TimeDivValue[row]);
    TimePerDivUnit = static_cast<uint16_t>(System.TimeDivUnit[row]);
    TimePerDiv = WTime::FromTable(TimePerDivValue, TimePerDivUnit);

    LoadPeriod(SamplePeriodValue, SamplePeriodUnit);
    SamplePeriod = WTime::FromTable(SamplePeriodValue, SamplePeriodUnit);

    ComputeSpans();
    ComputeRatios();
}

void DIV_WTime::ComputeSpans()
{
    const uint32_t w = PanelWidth > 0 ? static_cast<uint32_t>(PanelWidth) : 0;
    const uint32_t pre = PreTriggerPercent * w / 100;
    const uint32_t right = w - std::min(pre, w);

    MarkerLeftSpan = TimeMul(TimePerPixel, pre);
    MarkerRightSpan = TimeMul(TimePerPixel, right);

    TriggerColumn = static_cast<int16_t>(pre + TriggerColumnOffset);
    RightColumns = static_cast<int16_t>(right);

    PreSpan = TimeMul(SamplePeriod,
                      static_cast<uint32_t>(uint64_t{PreTriggerPercent} * DepthSamples / 100));
    PostSpan = TimeMul(SamplePeriod,
                       static_cast<uint32_t>(uint64_t{PostTriggerPercent} * DepthSamples / 100));

    LeftSpan = TimeMul(TimePerPixel, pre + TriggerColumnOffset);
    RightSpan = TimeMul(TimePerPixel, right);
}

void DIV_WTime::ComputeRatios()
{
    if (TimeGreaterEq(SamplePeriod, TimePerPixel)) {
        SamplesPerPixel = 0;
        FractionPerPixel = 0;
        PixelsPerSample = TimeToInt(TimeDivide(SamplePeriod, TimePerPixel).q);
        return;
    }
    PixelsPerSample = 0;
    // Exact for every pair of the tables (the ratios are multiples of 0.25
    // far below 2^24), so 0, 0.25 and 0.5 come out exactly.
    const double tpp = TableNanoseconds(TimePerPixelValue, TimePerPixelUnit);
    const double period = TableNanoseconds(SamplePeriodValue, SamplePeriodUnit);
    const double x = period > 0 ? tpp / period : 0;
    FractionPerPixel = static_cast<float>(x - std::trunc(x));
    SamplesPerPixel = TimeToInt(TimeDivide(TimePerPixel, SamplePeriod).q);
}

void DIV_WTime::SetRateFromTimeDiv(int row)
{
    const auto r = static_cast<int16_t>(RowOf(row));
    TimeDivIndex = r;
    RateIndex = r;
    Settings.TimeDivRow = r;
    Settings.RateRow = r;
}

uint64_t DIV_WTime::PulseCount()
{
    const size_t unit = static_cast<size_t>(std::clamp<int>(Settings.PulseUnit, 1, 4));
    WTime pulse;
    pulse.g[unit] = Settings.PulseWhole;
    pulse.g[unit - 1] = Settings.PulseFraction;

    const uint64_t n = TimeToInt64(TimeDivide(pulse, RatePeriod()).q);
    if (n > MaxPulseSamples) {
        Settings.PulseSamples = -1;
        PulseWidthRepresentable = 0;
    } else {
        PulseWidthRepresentable = 1;
        Settings.PulseSamples = static_cast<int16_t>(static_cast<uint16_t>(n == 0 ? 1 : n));
    }
    return n;
}

std::string DIV_WTime::ClockCountText(const WTime &t) const
{
    return ::ClockCountText(t, SamplePeriod);
}
