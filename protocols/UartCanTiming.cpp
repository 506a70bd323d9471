#include "protocols/UartCanTiming.h"

#include "display/CCaptureRecord.h"
#include "display/WTimePicoseconds.h"

#include <array>
#include <cstdio>
#include <string_view>

WTime UartCanTiming::BitTime(uint32_t rate)
{
    // 1 ms / rate counts picoseconds per bit of 1 ms, that is nanoseconds per
    // bit of 1 s: the quotient's groups move up one place.
    const WTime q = TimeDivide(WTime::Of(0, 0, 0, 1), WTime::Of(rate)).q;
    return WTime::Of(0, q.g[0], q.g[1], q.g[2], q.g[3]);
}

uint32_t UartCanTiming::SamplesPerBit(uint32_t rate) const
{
    const uint64_t n = TimeToInt64(TimeDivide(BitTime(rate), SamplePeriod).q);
    return n > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(n);
}

RecordLine::RecordLine(const CCaptureRecord &record, int channel)
    : ring(record.RingData())
    , mask(record.RingMask())
    , base(record.RecordStart)
    , offset(static_cast<uint32_t>(channel / 8))
    , shift(channel % 8)
{
}

namespace {
__extension__ typedef unsigned __int128 Wide; // GCC and Clang
} // namespace

uint64_t UartCanTiming::BitLength(uint32_t rate) const
{
    const uint64_t periodPs = WTimePicoseconds::Of(SamplePeriod);
    if (rate == 0 || periodPs == 0)
        return 0;
    // 2^32 x 10^12 does not fit 64 bits; the quotient is kept below 2^58
    // (far beyond any bit the record can hold), so that the middles of a
    // frame's bits stay inside 64 bits.
    const Wide scaled = static_cast<Wide>(WTimePicoseconds::PerSecond) << FractionBits;
    const Wide length = scaled / (static_cast<Wide>(rate) * periodPs);
    constexpr uint64_t Limit = uint64_t{1} << 58;
    return length > Limit ? Limit : static_cast<uint64_t>(length);
}

std::string UartCanTiming::SamplesText(uint64_t length)
{
    const uint64_t hundredths = static_cast<uint64_t>(
        (static_cast<Wide>(length) * 100) >> FractionBits);
    char text[32];
    std::snprintf(text, sizeof text, "%llu.%02llu",
                  static_cast<unsigned long long>(hundredths / 100),
                  static_cast<unsigned long long>(hundredths % 100));
    return text;
}

uint64_t UartCanTiming::StartIndex(const CCaptureRecord &record) const
{
    const uint64_t trigger = ((record.TriggerAddress - record.RecordStart) & record.RingMask()) / 4;
    const uint64_t moved = TimeToInt64(TimeDivide(TriggerEvent, SamplePeriod).q);
    if (!TriggerEvent.IsNegative() || TriggerEvent.IsZero())
        return trigger + moved;
    if (TimeLessEq(TriggerEvent, PreSpan))
        return moved <= trigger ? trigger - moved : 0;
    return trigger;
}

std::string UartCanTiming::StartTimeText(const WTime &t)
{
    static constexpr std::array<const char *, WTime::GroupCount> Units{"pS", "nS", "uS", "mS", "S"};
    const WTime n = Normalise(t);
    int high = WTime::GroupCount - 1;
    while (high >= 0 && n.g[static_cast<size_t>(high)] == 0)
        --high;
    if (high < 0)
        return {};
    int low = 0;
    while (n.g[static_cast<size_t>(low)] == 0)
        ++low;
    // Written by hand rather than by formatted prints: a dense record has
    // a start time on each of thousands of rows.
    char text[64];
    char *end = text;
    char digits[12];
    int count = 0;
    for (uint32_t v = n.g[static_cast<size_t>(high)]; count == 0 || v != 0; v /= 10)
        digits[count++] = static_cast<char>('0' + v % 10);
    while (count > 0)
        *end++ = digits[--count];
    if (low < high)
        *end++ = '.';
    for (int k = high - 1; k >= low; --k) {
        const uint32_t v = n.g[static_cast<size_t>(k)] % 1000;
        *end++ = static_cast<char>('0' + v / 100);
        *end++ = static_cast<char>('0' + v / 10 % 10);
        *end++ = static_cast<char>('0' + v % 10);
    }
    const std::string_view unit = Units[static_cast<size_t>(high)];
    for (char c : unit)
        *end++ = c;
    return std::string(text, static_cast<size_t>(end - text));
}
