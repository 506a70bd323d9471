#include "lang/CLanguageFile.h"

#include "lang/LanguageDefaults.h"

#include <utility>

namespace {

constexpr std::string_view LanguageSection = "Language";
constexpr std::string_view Replacement = "\xEF\xBF\xBD"; // U+FFFD

// Length of the valid UTF-8 sequence starting at s[at], or 0.
size_t SequenceLength(std::string_view s, size_t at)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = byte(at);
    if (b0 < 0x80)
        return 1;
    size_t n = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        n = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        n = 3;
        if (b0 == 0xE0)
            lo = 0xA0; // no overlong forms
        if (b0 == 0xED)
            hi = 0x9F; // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        n = 4;
        if (b0 == 0xF0)
            lo = 0x90;
        if (b0 == 0xF4)
            hi = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (at + n > s.size())
        return 0;
    if (byte(at + 1) < lo || byte(at + 1) > hi)
        return 0;
    for (size_t i = 2; i < n; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
            return 0;
    return n;
}

} // namespace

CLanguageFile::CLanguageFile(std::string path)
    : ini(std::move(path))
{}

std::string CLanguageFile::ReadText(std::string_view section, std::string_view key,
                                    std::string_view def) const
{
    if (!ini.ValueExists(section, key))
        return std::string(def);
    return ToUtf8(ini.ReadString(section, key, def));
}

std::string CLanguageFile::ReadText(std::string_view section, std::string_view key) const
{
    return ReadText(section, key, LanguageDefaults::Text(section, key));
}

std::string CLanguageFile::Caption() const
{
    return ToUtf8(ini.ReadString(LanguageSection, "Text", ""));
}

std::string CLanguageFile::OwnName() const
{
    return ini.ReadString(LanguageSection, "FileName", "");
}

bool CLanguageFile::CheckSumValid() const
{
    // The lengths are those of the bytes in the file, before any repair.
    const size_t expected = ini.ReadString(LanguageSection, "Text", "").size() +
                            ini.ReadString(LanguageSection, "FileName", "").size();
    const int32_t checkSum = ini.ReadInteger(LanguageSection, "CheckSum", 0);
    return checkSum >= 0 && static_cast<size_t>(checkSum) == expected;
}

std::string CLanguageFile::ToUtf8(std::string_view raw)
{
    size_t at = 0;
    while (at < raw.size()) {
        const size_t n = SequenceLength(raw, at);
        if (n == 0)
            break;
        at += n;
    }
    if (at == raw.size())
        return std::string(raw);

    std::string out(raw.substr(0, at));
    while (at < raw.size()) {
        if (const size_t n = SequenceLength(raw, at)) {
            out.append(raw.substr(at, n));
            at += n;
        } else if (raw.substr(at, 2) == "\xA1\xF4") {
            out += "↑";
            at += 2;
        } else if (raw.substr(at, 2) == "\xA1\xF5") {
            out += "↓";
            at += 2;
        } else {
            out += Replacement;
            ++at;
        }
    }
    return out;
}
