#include "display/TimeText.h"

#include <array>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 5> TimeUnits{"ps", "ns", "us", "ms", "s"};
constexpr std::array<std::string_view, 5> DurationUnits{"", "nS ", "uS ", "mS ", "Sec"};

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

std::string DurationText(const WTime &value)
{
    const WTime d = Normalise(value);
    size_t n = 4;
    while (n >= 1 && d.g[n] == 0)
        --n;
    if (n == 0)
        return "0nS";
    std::string out;
    AppendDecimal(out, d.g[n]);
    if (n >= 2 && d.g[n - 1] != 0) {
        out.push_back('.');
        AppendThree(out, d.g[n - 1]);
    }
    out += DurationUnits[n];
    return out;
}
