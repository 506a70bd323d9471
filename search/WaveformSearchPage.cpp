#include "search/WaveformSearchPage.h"

#include "display/CCaptureRecord.h"
#include "display/CWaveformCore.h"

namespace {

// Whole sample periods in a time value, without its sign.
int64_t Periods(const WTime &t, const WTime &period)
{
    if (period.IsZero())
        return 0;
    return static_cast<int64_t>(TimeToInt64(TimeDivide(t, period).q));
}

} // namespace

SearchPage::Position WaveformSearchPage::SearchPosition()
{
    waveform.UpdateTimeBase();
    const WTime &p = waveform.SamplePeriod;
    const int64_t s = Periods(waveform.ViewPosition, p);
    Position at;
    at.Index = waveform.ViewPosition.IsNegative() ? -s : s;
    at.Address = waveform.Record.TriggerAddress + 4 * static_cast<uint32_t>(at.Index);
    at.First = -Periods(waveform.PreSpan, p);
    at.Last = Periods(waveform.PostSpan, p);
    return at;
}

void WaveformSearchPage::ShowFoundSample(int64_t index)
{
    const uint64_t n = index < 0 ? 0 - static_cast<uint64_t>(index) : static_cast<uint64_t>(index);
    WTime t = TimeMul(waveform.SamplePeriod, static_cast<uint32_t>(n));
    t.sign = index < 0 ? 0 : 1;
    waveform.SetViewPosition(t);
}
