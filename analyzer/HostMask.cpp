#include "analyzer/HostMask.h"

#include <charconv>

std::optional<uint64_t> HostMask::Parse(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    if (text.empty())
        return std::nullopt;
    uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::vector<uint8_t> HostMask::Models(uint64_t mask)
{
    std::vector<uint8_t> codes;
    for (int n = 0; n <= LastModelCode; ++n)
        if (mask & (uint64_t{1} << n))
            codes.push_back(static_cast<uint8_t>(n));
    return codes;
}

std::vector<uint8_t> HostMask::Offered(std::optional<uint64_t> mask, int connected)
{
    uint64_t offered = mask.value_or(0);
    // The Demo needs no analyzer, so no analyzer ever stands for it.
    if (connected >= 1 && connected <= LastModelCode)
        offered |= uint64_t{1} << connected;
    return Models(offered);
}
