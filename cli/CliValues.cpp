#include "cli/CliValues.h"

#include "display/WTimePicoseconds.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

std::string_view Trim(std::string_view t)
{
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front())))
        t.remove_prefix(1);
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back())))
        t.remove_suffix(1);
    return t;
}

constexpr uint64_t MaxSeconds = 100000;

} // namespace

namespace CliValues {

std::optional<int64_t> Integer(std::string_view text, int64_t low, int64_t high)
{
    text = Trim(text);
    int64_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size() || v < low ||
        v > high)
        return std::nullopt;
    return v;
}

std::optional<int> Tenths(std::string_view text)
{
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view fraction = dot == std::string_view::npos ? "" : text.substr(dot + 1);
    const auto w = Integer(whole, 0, 1000);
    if (!w || fraction.size() > 1 || (dot != std::string_view::npos && fraction.empty()) ||
        (!fraction.empty() && !std::isdigit(static_cast<unsigned char>(fraction[0]))))
        return std::nullopt;
    const int t = static_cast<int>(*w) * 10 + (fraction.empty() ? 0 : fraction[0] - '0');
    return negative ? -t : t;
}

uint64_t Picoseconds(const WTime &t)
{
    return WTimePicoseconds::Of(t);
}

WTime FromPicoseconds(uint64_t ps, bool negative)
{
    return WTimePicoseconds::ToTime(ps, negative);
}

std::optional<WTime> Time(std::string_view text)
{
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    size_t n = 0;
    auto numeric = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) || c == '.'; };
    while (n < text.size() && numeric(text[n]))
        ++n;
    const std::string_view number = text.substr(0, n);
    const std::string_view unit = Trim(text.substr(n));
    if (number.empty() || number == "." || std::count(number.begin(), number.end(), '.') > 1)
        return std::nullopt;
    int exponent = 0; // of the unit, in powers of ten of a picosecond
    if (Same(unit, "ps"))
        exponent = 0;
    else if (Same(unit, "ns"))
        exponent = 3;
    else if (Same(unit, "us"))
        exponent = 6;
    else if (Same(unit, "ms"))
        exponent = 9;
    else if (Same(unit, "s") || Same(unit, "sec"))
        exponent = 12;
    else if (unit.empty() && number.find_first_not_of("0.") == std::string_view::npos)
        exponent = 0; // zero needs no unit
    else
        return std::nullopt;
    const size_t dot = number.find('.');
    const std::string_view whole = number.substr(0, dot);
    std::string_view fraction = dot == std::string_view::npos ? "" : number.substr(dot + 1);
    if (static_cast<int>(fraction.size()) > exponent)
        return std::nullopt; // finer than a picosecond
    uint64_t scale = 1;
    for (int k = 0; k < exponent; ++k)
        scale *= 10;
    const auto w = whole.empty() ? std::optional<int64_t>(0) : Integer(whole, 0, 1000000000000);
    if (!w || static_cast<uint64_t>(*w) > MaxSeconds * 1000000000000ULL / scale)
        return std::nullopt;
    uint64_t ps = static_cast<uint64_t>(*w) * scale;
    uint64_t place = scale;
    for (char c : fraction) {
        place /= 10;
        ps += static_cast<uint64_t>(c - '0') * place;
    }
    return FromPicoseconds(ps, negative);
}

std::optional<int> Channel(std::string_view text, int channels)
{
    text = Trim(text);
    if (text.size() > 2 && Same(text.substr(0, 2), "ch"))
        text.remove_prefix(2);
    const auto c = Integer(text, 0, channels - 1);
    if (!c)
        return std::nullopt;
    return static_cast<int>(*c);
}

std::optional<int> Channel(std::string_view text, std::span<const std::string> names)
{
    const int channels = static_cast<int>(names.size());
    if (const auto c = Channel(text, channels))
        return c;
    text = Trim(text);
    std::optional<int> found;
    for (int c = 0; c < channels; ++c)
        if (!text.empty() && names[static_cast<size_t>(c)] == text)
            return c;
    for (int c = 0; c < channels; ++c) {
        if (!text.empty() && Same(names[static_cast<size_t>(c)], text)) {
            if (found)
                return std::nullopt; // SDA and sda: which one is meant is not known
            found = c;
        }
    }
    return found;
}

bool Same(std::string_view a, std::string_view b)
{
    a = Trim(a);
    b = Trim(b);
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::optional<int> Choice(std::string_view text, std::initializer_list<std::string_view> names)
{
    return Choice(text, std::span<const std::string_view>(names.begin(), names.size()));
}

std::optional<int> Choice(std::string_view text, std::span<const std::string_view> names)
{
    int i = 0;
    for (std::string_view n : names) {
        if (Same(text, n))
            return i;
        ++i;
    }
    return std::nullopt;
}

} // namespace CliValues
