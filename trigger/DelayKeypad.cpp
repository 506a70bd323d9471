#include "trigger/DelayKeypad.h"

#include <algorithm>
#include <cstdint>

namespace {

// A non-empty run of decimal digits, at most nine of them counted as value
// (the edit holds eight characters; longer runs are cut, never overflow).
std::optional<uint64_t> Digits(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = std::min<uint64_t>(value * 10 + static_cast<uint64_t>(c - '0'), 999999999999);
    }
    return value;
}

std::string ThreeDigits(uint32_t v)
{
    std::string s = std::to_string(v % 1000);
    return std::string(3 - s.size(), '0') + s;
}

} // namespace

DelayKeypad::Shown DelayKeypad::Show(const WTime &delay)
{
    const WTime t = Normalise(delay);
    for (int k = WTime::Sec; k >= WTime::Ns; --k) {
        const uint32_t group = t.g[static_cast<size_t>(k)];
        if (group == 0)
            continue;
        Shown shown;
        shown.Text = (delay.IsNegative() ? "-" : "") + std::to_string(group) + "." +
                     ThreeDigits(t.g[static_cast<size_t>(k - 1)]);
        shown.UnitIndex = k - 1;
        return shown;
    }
    return {"0", Ns};
}

std::optional<WTime> DelayKeypad::Parse(std::string_view text, int unit)
{
    const size_t point = text.rfind('.');
    std::string_view whole = point == std::string_view::npos ? text : text.substr(0, point);
    const bool negative = !whole.empty() && whole.front() == '-';
    if (negative)
        whole.remove_prefix(1);
    const std::optional<uint64_t> integer = Digits(whole);
    if (!integer)
        return std::nullopt;
    unit = std::clamp(unit, static_cast<int>(Ns), static_cast<int>(Sec));
    const int group = unit + 1; // nS is the nanosecond group 1

    uint64_t value = *integer;
    int at = group;
    if (point == std::string_view::npos) {
        if (unit == Sec)
            value = std::min<uint64_t>(value, 999);
        else if (unit == Ms)
            value = std::min<uint64_t>(value, 999999);
    } else {
        std::string fraction(text.substr(point + 1));
        if (!Digits(fraction))
            return std::nullopt;
        if (unit == Us) {
            fraction.resize(3, '0');
            value = value * 1000 + *Digits(fraction);
            at = WTime::Ns;
        } else if (unit == Ms || unit == Sec) {
            if (unit == Sec)
                value = std::min<uint64_t>(value, 999);
            const size_t places = fraction.size() > 3 ? 6 : 3;
            fraction.resize(places, '0');
            value = value * (places == 3 ? 1000 : 1000000) + *Digits(fraction);
            at = group - (places == 3 ? 1 : 2);
        }
        // nS: the fraction is dropped.
    }

    // Carry through the groups from `at` upwards; seconds keep the rest.
    WTime t;
    for (int k = at; k < WTime::GroupCount; ++k) {
        const bool top = k == WTime::Sec;
        t.g[static_cast<size_t>(k)] =
            static_cast<uint32_t>(top ? std::min<uint64_t>(value, 999999) : value % 1000);
        value /= 1000;
    }
    t.sign = negative && !t.IsZero() ? 0 : 1;
    return t;
}
