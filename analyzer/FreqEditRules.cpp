#include "analyzer/FreqEditRules.h"

#include <cstdint>
#include <optional>

namespace {

// The value of a text of decimal digits, saturated so that a long run of
// digits still counts as a large number.
std::optional<uint64_t> Number(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    uint64_t v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v > 100000000 ? v : v * 10 + static_cast<uint64_t>(c - '0');
    }
    return v;
}

} // namespace

bool FreqEditRules::AcceptsKey(char c)
{
    return (c >= '0' && c <= '9') || c == Backspace || c == Enter;
}

std::string FreqEditRules::Step(std::string_view text, int unit)
{
    const std::optional<uint64_t> n = Number(text);
    if (!n)
        return text.empty() ? std::string("25") : std::string(text);
    if (*n > 100 && unit == MHz)
        return "100";
    if (*n >= 1000 && (unit == KHz || unit == Hz))
        return "999";
    if (*n == 0)
        return "1";
    if (*n == 1 && unit == Hz)
        return "25";
    return std::string(text);
}

std::string FreqEditRules::Corrected(std::string_view text, int unit)
{
    std::string current(text);
    for (int i = 0; i < 4; ++i) {
        std::string next = Step(current, unit);
        if (next == current)
            break;
        current = std::move(next);
    }
    return current;
}
