#pragma once

// Conversions between binary, decimal and hexadecimal texts.
// No state: every member is static, an object may still be created where the
// main window keeps one.
//
// Texts carry no prefix ("1F", not "0x1F"). Where the original raised the
// run-time library's conversion error on text that is not a number in the
// expected base, these return std::nullopt instead; they never throw. Values
// are unsigned 32-bit: a text whose value does not fit in 32 bits fails too.
// Accepted number texts are strict: one or more digits of the base (hex
// digits in either case), no sign, no spaces, leading zeros allowed.
//
// `bits` is the field width in bits: hexadecimal results have at least
// ceil(bits / 4) digits (and at least one), binary results are the last
// `bits` characters of the 32-character binary text (all 32 for bits >= 32,
// empty for bits <= 0).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class wTranslate
{
public:
    // The value of the hexadecimal text, in decimal.
    static std::optional<std::string> HexToDec(std::string_view text);
    // The value of the decimal text in upper-case hexadecimal.
    static std::optional<std::string> DecToHex(std::string_view text, int bits);
    // The value of the decimal text in binary, most significant bit first.
    static std::optional<std::string> DecToBin(std::string_view text, int bits);
    // Binary text read from its last character towards its first with
    // weights 1, 2, 4, ...: every "1" adds its weight, any other character
    // counts as 0 (so only a "1" beyond the 32nd character from the end, a
    // value too large for 32 bits, fails).
    static std::optional<std::string> BinToHex(std::string_view text, int bits);
    static std::optional<std::string> BinToDec(std::string_view text);
    // BinToDec, then the one-character text whose code is value AND 0x7F.
    static std::optional<std::string> BinToChar(std::string_view text);

    // The number readers behind the conversions, for callers that check
    // ranges themselves (e.g. a bus value against 2^width - 1).
    static std::optional<uint32_t> ParseDec(std::string_view text);
    static std::optional<uint32_t> ParseHex(std::string_view text);
    static std::optional<uint32_t> ParseBin(std::string_view text);

    // The writers, for values already held as numbers (they cannot fail).
    static std::string Hex(uint32_t value, int bits); // upper case, >= ceil(bits/4) digits
    static std::string Bin(uint32_t value, int bits); // last `bits` of 32 characters
    static std::string Dec(uint32_t value);
};
