#include "trigger/TriggerCounterText.h"

#include <charconv>

namespace {

// The text as a number; a number too long for the edit counts as large.
bool Number(std::string_view text, long long &value)
{
    if (text.empty())
        return false;
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec == std::errc::result_out_of_range) {
        value = text.front() == '-' ? -1 : 1000;
        return true;
    }
    return ec == std::errc() && ptr == end;
}

} // namespace

TriggerCounterText::Correction TriggerCounterText::Corrected(std::string_view text)
{
    long long value = 0;
    if (!Number(text, value))
        return {text.empty() ? "1" : std::string(text), Message::None};
    if (value >= 256)
        return {"255", Message::Maximum};
    if (value <= 0)
        return {"1", Message::Minimum};
    return {std::string(text), Message::None};
}

bool TriggerCounterText::Value(std::string_view text, int &value)
{
    long long v = 0;
    if (!Number(text, v) || v < 1 || v > 255)
        return false;
    value = static_cast<int>(v);
    return true;
}
