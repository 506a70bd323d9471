#include "display/TimeText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 5> TimeUnits{"ps", "ns", "us", "ms", "s"};
constexpr std::array<std::string_view, 5> DurationUnits{"", "nS ", "uS ", "mS ", "Sec"};
static_assert(DurationUnits[1].size() == 3 && DurationUnits[2].size() == 3 &&
              DurationUnits[3].size() == 3 && DurationUnits[4].size() == 3);

void AppendDecimal(std::string &out, uint64_t v)
{
    char buf[24];
    size_t n = 0;
    do {
        buf[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    while (n > 0)
        out.push_back(buf[--n]);
}

// A normalised group (0..999) as exactly three digits.
void AppendThree(std::string &out, uint32_t v)
{
    v %= 1000;
    out.push_back(static_cast<char>('0' + v / 100));
    out.push_back(static_cast<char>('0' + v / 10 % 10));
    out.push_back(static_cast<char>('0' + v % 10));
}

} // namespace

std::string TimeText(const WTime &value, int fallbackUnit)
{
    const WTime t = Normalise(value);
    size_t n = 4;
    while (n >= 1 && t.g[n] == 0)
        --n;
    std::string out;
    if (n == 0) {
        out = "0.0";
        if (fallbackUnit >= 0 && fallbackUnit < 5)
            out += TimeUnits[static_cast<size_t>(fallbackUnit)];
        return out;
    }
    out.reserve(16);
    if (t.sign == 0)
        out.push_back('-');
    AppendDecimal(out, t.g[n]);
    out.push_back('.');
    AppendThree(out, t.g[n - 1]);
    if (n >= 2 && t.g[n - 2] != 0)
        AppendThree(out, t.g[n - 2]);
    out += TimeUnits[n];
    return out;
}

std::string ClockCountText(const WTime &t, const WTime &samplePeriod)
{
    std::string out;
    if (t.sign == 0)
        out.push_back('-');
    AppendDecimal(out, TimeToInt(TimeDivide(t, samplePeriod).q));
    out += "CK";
    return out;
}

namespace {

// The duration text from the highest non-zero group n (1..4, 0 when there is
// none), its value and the next lower group's.
size_t WriteDurationGroups(char *out, size_t n, uint64_t top, uint32_t next)
{
    if (n == 0) {
        std::memcpy(out, "0nS", 3);
        return 3;
    }
    char *p = out;
    if (top < 1000) { // the usual case: without the general conversion
        if (top >= 100)
            *p++ = static_cast<char>('0' + top / 100);
        if (top >= 10)
            *p++ = static_cast<char>('0' + top / 10 % 10);
        *p++ = static_cast<char>('0' + top % 10);
    } else {
        p = std::to_chars(out, out + 20, top).ptr;
    }
    if (n >= 2 && next != 0) {
        const uint32_t v = next % 1000;
        *p++ = '.';
        *p++ = static_cast<char>('0' + v / 100);
        *p++ = static_cast<char>('0' + v / 10 % 10);
        *p++ = static_cast<char>('0' + v % 10);
    }
    std::memcpy(p, DurationUnits[n].data(), 3); // every unit has three characters
    return static_cast<size_t>(p - out) + 3;
}

} // namespace

size_t WriteDurationText(char *out, const WTime &value)
{
    const WTime d = Normalise(value);
    size_t n = 4;
    while (n >= 1 && d.g[n] == 0)
        --n;
    return WriteDurationGroups(out, n, d.g[n], n >= 1 ? d.g[n - 1] : 0);
}

size_t WriteDurationOfCount(char *out, const WTime &period, uint32_t count)
{
    // Without a group product near 2^32 nothing wraps, and the groups of the
    // product are the base-1000 digits of count x the period in picoseconds
    // (below 2^64 while the period is below 2^32 ps): two divisions instead
    // of the carries through five groups.
    const uint32_t largest =
        std::max({period.g[0], period.g[1], period.g[2], period.g[3], period.g[4]});
    const uint64_t ps = period.g[0] + uint64_t{period.g[1]} * 1000 +
                        uint64_t{period.g[2]} * 1000000 + uint64_t{period.g[3]} * 1000000000 +
                        uint64_t{period.g[4]} * 1000000000000;
    if (uint64_t{largest} * count > 0xFF000000u || ps > 0xFFFFFFFFu)
        return WriteDurationText(out, TimeMul(period, count));
    const uint64_t v = ps * count;
    constexpr uint64_t Ns = 1000, Us = 1000000, Ms = 1000000000, Sec = 1000000000000;
    if (v >= Sec)
        return WriteDurationGroups(out, 4, v / Sec, static_cast<uint32_t>(v / Ms % 1000));
    if (v >= Ms)
        return WriteDurationGroups(out, 3, v / Ms, static_cast<uint32_t>(v / Us % 1000));
    if (v >= Us)
        return WriteDurationGroups(out, 2, v / Us, static_cast<uint32_t>(v / Ns % 1000));
    if (v >= Ns)
        return WriteDurationGroups(out, 1, v / Ns, 0);
    return WriteDurationGroups(out, 0, 0, 0);
}

std::string DurationText(const WTime &value)
{
    char buf[DurationTextMax];
    return std::string(buf, WriteDurationText(buf, value));
}
