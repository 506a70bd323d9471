#include "search/SearchValueRules.h"

#include "device/CFile.h"
#include "display/wTranslate.h"

#include <algorithm>
#include <bit>

std::optional<uint32_t> SearchValueRules::Parse(std::string_view text, int base)
{
    switch (base) {
    case SearchCondition::Hexadecimal:
        return wTranslate::ParseHex(text);
    case SearchCondition::Decimal:
        return wTranslate::ParseDec(text);
    default:
        // The binary reader counts any character but "1" as a zero; a value
        // pasted into the box must be made of binary digits.
        if (text.empty() || text.find_first_not_of("01") != std::string_view::npos)
            return std::nullopt;
        return wTranslate::ParseBin(text);
    }
}

int SearchValueRules::BusWidth(const SignalEntry &bus)
{
    return std::clamp<int>(bus.BitCount, 0, MaxBusWidth);
}

uint32_t SearchValueRules::BusMaximum(int width)
{
    return (1u << std::clamp(width, 0, MaxBusWidth)) - 1;
}

int SearchValueRules::MaxLength(int base)
{
    switch (base) {
    case SearchCondition::Hexadecimal:
        return 4;
    case SearchCondition::Decimal:
        return 5;
    default:
        return MaxBusWidth;
    }
}

bool SearchValueRules::Accepts(char key, int base)
{
    if (key == '\b')
        return true;
    switch (base) {
    case SearchCondition::Hexadecimal:
        return (key >= '0' && key <= '9') || (key >= 'A' && key <= 'F') ||
               (key >= 'a' && key <= 'f');
    case SearchCondition::Decimal:
        return key >= '0' && key <= '9';
    default:
        return key == '0' || key == '1';
    }
}

std::string SearchValueRules::BusCellText(uint16_t value, int base, int width)
{
    switch (base) {
    case SearchCondition::Hexadecimal:
        return wTranslate::Hex(value, width) + "(h)";
    case SearchCondition::Binary:
        return wTranslate::Bin(value, width) + "(b)";
    default:
        return wTranslate::Dec(value);
    }
}

std::string SearchValueRules::MaximumText(int width, int base)
{
    return BusCellText(static_cast<uint16_t>(BusMaximum(width)), base, width);
}

SearchValueRules::Reading SearchValueRules::Read(std::string_view text, int base, int width)
{
    if (text.empty())
        return {};
    const std::optional<uint32_t> value = Parse(text, base);
    if (!value)
        return {Verdict::FormatError, 0};
    if (*value > BusMaximum(width))
        return {Verdict::OutOfLimit, 0};
    return {Verdict::Ok, static_cast<uint16_t>(*value)};
}

std::optional<std::string> SearchValueRules::Convert(std::string_view text, int from, int to,
                                                     int width)
{
    const std::optional<uint32_t> value = Parse(text, from);
    if (!value)
        return std::nullopt;
    // A value too wide for the bus keeps all its digits, so that the check
    // on entry still sees it.
    const int bits = std::max<int>(width, std::bit_width(*value));
    switch (to) {
    case SearchCondition::Hexadecimal:
        return wTranslate::Hex(*value, bits);
    case SearchCondition::Decimal:
        return wTranslate::Dec(*value);
    default:
        return wTranslate::Bin(*value, bits);
    }
}

std::string SearchValueRules::EnteredText(std::string_view text, int base)
{
    std::string out(text);
    if (base == SearchCondition::Hexadecimal)
        out += " (h)";
    else if (base == SearchCondition::Binary)
        out += " (b)";
    return out;
}
