#include "display/wTranslate.h"

#include <algorithm>

namespace {

std::optional<uint32_t> ParseBase(std::string_view text, uint32_t base)
{
    if (text.empty())
        return std::nullopt;
    uint64_t v = 0;
    for (const char c : text) {
        uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        else
            return std::nullopt;
        if (digit >= base)
            return std::nullopt;
        v = v * base + digit;
        if (v > UINT32_MAX)
            return std::nullopt;
    }
    return static_cast<uint32_t>(v);
}

} // namespace

std::optional<uint32_t> wTranslate::ParseDec(std::string_view text)
{
    return ParseBase(text, 10);
}

std::optional<uint32_t> wTranslate::ParseHex(std::string_view text)
{
    return ParseBase(text, 16);
}

std::optional<uint32_t> wTranslate::ParseBin(std::string_view text)
{
    uint32_t v = 0;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        // i counts from the last character: weight 2^i.
        if (text[n - 1 - i] != '1')
            continue;
        if (i >= 32)
            return std::nullopt;
        v |= uint32_t{1} << i;
    }
    return v;
}

std::string wTranslate::Hex(uint32_t value, int bits)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string out;
    do {
        out.push_back(Digits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    // Widths beyond 128 bits are not meaningful; cap them so a wild argument
    // cannot ask for a huge text.
    const size_t width = bits > 0 ? (std::min<size_t>(static_cast<size_t>(bits), 128) + 3) / 4 : 0;
    if (out.size() < width)
        out.append(width - out.size(), '0');
    std::reverse(out.begin(), out.end());
    return out;
}

std::string wTranslate::Bin(uint32_t value, int bits)
{
    std::string all(32, '0');
    for (size_t i = 0; i < 32; ++i) {
        if (value & (uint32_t{1} << i))
            all[31 - i] = '1';
    }
    const size_t keep = bits <= 0 ? 0 : std::min<size_t>(static_cast<size_t>(bits), 32);
    return all.substr(32 - keep);
}

std::string wTranslate::Dec(uint32_t value)
{
    return std::to_string(value);
}

std::optional<std::string> wTranslate::HexToDec(std::string_view text)
{
    const auto v = ParseHex(text);
    if (!v)
        return std::nullopt;
    return Dec(*v);
}

std::optional<std::string> wTranslate::DecToHex(std::string_view text, int bits)
{
    const auto v = ParseDec(text);
    if (!v)
        return std::nullopt;
    return Hex(*v, bits);
}

std::optional<std::string> wTranslate::DecToBin(std::string_view text, int bits)
{
    const auto v = ParseDec(text);
    if (!v)
        return std::nullopt;
    return Bin(*v, bits);
}

std::optional<std::string> wTranslate::BinToHex(std::string_view text, int bits)
{
    const auto v = ParseBin(text);
    if (!v)
        return std::nullopt;
    return Hex(*v, bits);
}

std::optional<std::string> wTranslate::BinToDec(std::string_view text)
{
    const auto v = ParseBin(text);
    if (!v)
        return std::nullopt;
    return Dec(*v);
}

std::optional<std::string> wTranslate::BinToChar(std::string_view text)
{
    const auto v = ParseBin(text);
    if (!v)
        return std::nullopt;
    return std::string(1, static_cast<char>(*v & 0x7F));
}
