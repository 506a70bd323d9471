#pragma once

#include "files/CIniFile.h"
#include "lang/LanguageDefaults.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

// Finds the language texts the program's sources read through
// UiText::Get("section", "key", "default") (or with the default
// LanguageDefaults::Text("section", "key")) and checks them against the
// built-in texts and the language files. The windows name their keys as
// literals, so that a scan of the sources sees every key they read.
namespace LanguageKeyScan {

struct KeyRead
{
    std::string Where; // file:line
    std::string Section;
    std::string Key;
    std::string Default;
    bool Literal = true; // false: the arguments are not three string literals
};

// `source` with comments blanked out (line breaks kept), strings untouched.
inline std::string WithoutComments(std::string_view source)
{
    std::string out(source);
    for (size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '"' || out[i] == '\'') {
            const char quote = out[i];
            for (++i; i < out.size() && out[i] != quote; ++i)
                if (out[i] == '\\')
                    ++i;
        } else if (out.compare(i, 2, "//") == 0) {
            for (; i < out.size() && out[i] != '\n'; ++i)
                out[i] = ' ';
        } else if (out.compare(i, 2, "/*") == 0) {
            const size_t end = std::min(out.find("*/", i + 2), out.size() - 2) + 2;
            for (; i < end; ++i)
                if (out[i] != '\n')
                    out[i] = ' ';
            --i;
        }
    }
    return out;
}

inline int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

inline void SkipBlanks(std::string_view s, size_t &at)
{
    while (at < s.size() && (s[at] == ' ' || s[at] == '\t' || s[at] == '\n' || s[at] == '\r'))
        ++at;
}

// One or more adjacent narrow string literals at `at`, joined and unescaped.
inline bool ParseLiteral(std::string_view s, size_t &at, std::string &value)
{
    SkipBlanks(s, at);
    if (at >= s.size() || s[at] != '"')
        return false;
    value.clear();
    while (at < s.size() && s[at] == '"') {
        for (++at; at < s.size() && s[at] != '"'; ++at) {
            if (s[at] != '\\') {
                value += s[at];
                continue;
            }
            if (++at >= s.size())
                return false;
            const char c = s[at];
            if (c == 'x') {
                int byte = 0;
                while (at + 1 < s.size() && HexDigit(s[at + 1]) >= 0)
                    byte = byte * 16 + HexDigit(s[++at]);
                value += static_cast<char>(byte);
            } else if (c >= '0' && c <= '7') {
                int byte = c - '0';
                for (int n = 1; n < 3 && at + 1 < s.size() && s[at + 1] >= '0' && s[at + 1] <= '7';
                     ++n)
                    byte = byte * 8 + (s[++at] - '0');
                value += static_cast<char>(byte);
            } else {
                value += c == 'n' ? '\n' : c == 't' ? '\t' : c;
            }
        }
        if (at >= s.size())
            return false;
        ++at;
        SkipBlanks(s, at);
    }
    return true;
}

inline bool Expect(std::string_view s, size_t &at, char c)
{
    SkipBlanks(s, at);
    if (at < s.size() && s[at] == c) {
        ++at;
        return true;
    }
    return false;
}

// The default argument: a literal, or the table's own text of a key,
// LanguageDefaults::Text("section", "key").
inline bool ParseDefault(std::string_view s, size_t &at, std::string &value)
{
    static constexpr std::string_view FromTable = "LanguageDefaults::Text(";
    SkipBlanks(s, at);
    if (s.substr(at, FromTable.size()) != FromTable)
        return ParseLiteral(s, at, value);
    at += FromTable.size();
    std::string section;
    std::string key;
    if (!ParseLiteral(s, at, section) || !Expect(s, at, ',') || !ParseLiteral(s, at, key) ||
        !Expect(s, at, ')'))
        return false;
    value = std::string(LanguageDefaults::Text(section, key));
    return true;
}

inline bool IsNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// An identifier at `at` (after blanks).
inline bool ParseName(std::string_view s, size_t &at, std::string &name)
{
    SkipBlanks(s, at);
    const size_t start = at;
    while (at < s.size() && IsNameChar(s[at]))
        ++at;
    name.assign(s.substr(start, at - start));
    return !name.empty();
}

// A page may read one section through a wrapper of its own,
//   QString SpiText(const char *key, const char *def)
//   { return UiText::Get("SPI", key, def); }
// whose calls with literals are reads of that section. `call` is where the
// UiText::Get( of the wrapper's body starts; the wrapper's name is returned
// (empty when the call is no such wrapper).
inline std::string WrapperAt(std::string_view s, size_t call, size_t args, std::string &section)
{
    size_t at = args;
    std::string key;
    std::string def;
    if (!ParseLiteral(s, at, section) || !Expect(s, at, ',') || !ParseName(s, at, key) ||
        !Expect(s, at, ',') || !ParseName(s, at, def) || !Expect(s, at, ')'))
        return {};
    // Back from the call: "return", "{", ")" and the parameter list naming
    // `key` and `def`, then the function's name.
    const size_t open = s.rfind('(', call == 0 ? 0 : call - 1);
    const size_t close = s.rfind(')', call == 0 ? 0 : call - 1);
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return {};
    const std::string_view params = s.substr(open, close - open);
    if (params.find(key) == std::string_view::npos || params.find(def) == std::string_view::npos)
        return {};
    const std::string_view between = s.substr(close + 1, call - close - 1);
    if (between.find('{') == std::string_view::npos ||
        between.find("return") == std::string_view::npos)
        return {};
    size_t end = open;
    while (end > 0 && (s[end - 1] == ' ' || s[end - 1] == '\t'))
        --end;
    size_t begin = end;
    while (begin > 0 && IsNameChar(s[begin - 1]))
        --begin;
    return std::string(s.substr(begin, end - begin));
}

inline std::string LineOf(std::string_view text, size_t at, const std::string &file)
{
    return file + ":" + std::to_string(1 + std::count(text.begin(), text.begin() + at, '\n'));
}

// Every UiText::Get( call in one source file, and every call of a wrapper
// the file reads one section through.
inline std::vector<KeyRead> Scan(std::string_view source, const std::string &file)
{
    static constexpr std::string_view Call = "UiText::Get(";
    const std::string text = WithoutComments(source);
    std::vector<KeyRead> reads;
    std::vector<std::pair<std::string, std::string>> wrappers; // name, section
    for (size_t found = text.find(Call); found != std::string::npos;
         found = text.find(Call, found + 1)) {
        std::string section;
        std::string wrapper = WrapperAt(text, found, found + Call.size(), section);
        if (!wrapper.empty()) {
            wrappers.emplace_back(std::move(wrapper), std::move(section));
            continue;
        }
        KeyRead r;
        r.Where = LineOf(text, found, file);
        size_t at = found + Call.size();
        r.Literal = ParseLiteral(text, at, r.Section) && Expect(text, at, ',') &&
                    ParseLiteral(text, at, r.Key) && Expect(text, at, ',') &&
                    ParseDefault(text, at, r.Default) && Expect(text, at, ')');
        reads.push_back(std::move(r));
    }
    for (const auto &[name, section] : wrappers) {
        const std::string call = name + "(";
        for (size_t found = text.find(call); found != std::string::npos;
             found = text.find(call, found + 1)) {
            if (found > 0 && (IsNameChar(text[found - 1]) || text[found - 1] == ':'))
                continue;
            size_t at = found + call.size();
            // The definition itself: its parameters are declarations.
            size_t probe = at;
            std::string first;
            if (ParseName(text, probe, first) && first == "const")
                continue;
            KeyRead r;
            r.Where = LineOf(text, found, file);
            r.Section = section;
            r.Literal = ParseLiteral(text, at, r.Key) && Expect(text, at, ',') &&
                        ParseDefault(text, at, r.Default) && Expect(text, at, ')');
            reads.push_back(std::move(r));
        }
    }
    return reads;
}

// The program's sources under `root`: every .cpp and .h outside the tests,
// the benchmarks, hidden folders and build folders. UiText itself, which
// defines the call, is left out.
inline std::vector<KeyRead> ScanTree(const std::filesystem::path &root)
{
    namespace fs = std::filesystem;
    std::vector<KeyRead> reads;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path &path = it->path();
        const std::string name = path.filename().string();
        if (it->is_directory(ec)) {
            if (name[0] == '.' || name == "tests" || name == "bench" ||
                fs::exists(path / "CMakeCache.txt", ec))
                it.disable_recursion_pending();
            continue;
        }
        const std::string ext = path.extension().string();
        if ((ext != ".cpp" && ext != ".h") || path.stem() == "UiText")
            continue;
        std::ifstream in(path, std::ios::binary);
        std::stringstream buffer;
        buffer << in.rdbuf();
        for (KeyRead &r : Scan(buffer.str(), fs::relative(path, root).string()))
            reads.push_back(std::move(r));
    }
    return reads;
}

// What is wrong with the reads: a key with no built-in text, a default that
// is none of the key's built-in texts, a key missing from a language file.
inline std::vector<std::string> Problems(const std::vector<KeyRead> &reads,
                                         const std::vector<std::string> &languageFiles)
{
    std::vector<CIniFile> files;
    for (const std::string &path : languageFiles)
        files.emplace_back(path);
    std::vector<std::string> problems;
    for (const KeyRead &r : reads) {
        const std::string name = r.Where + " [" + r.Section + "] " + r.Key;
        if (!r.Literal) {
            problems.push_back(r.Where + ": section, key and default are not literals");
            continue;
        }
        const LanguageDefaults::Entry *entry = LanguageDefaults::Find(r.Section, r.Key);
        if (!entry) {
            problems.push_back(name + ": no built-in text");
            continue;
        }
        bool known = r.Default == entry->Text;
        for (const auto &v : LanguageDefaults::Variants())
            known = known || (LanguageDefaults::SameName(v.Section, r.Section) &&
                              LanguageDefaults::SameName(v.Key, r.Key) && r.Default == v.Text);
        if (!known)
            problems.push_back(name + ": default \"" + r.Default +
                               "\" is not its built-in text \"" + std::string(entry->Text) + "\"");
        for (const CIniFile &file : files)
            if (!file.ValueExists(r.Section, r.Key))
                problems.push_back(name + ": missing in " + file.FileName());
    }
    return problems;
}

} // namespace LanguageKeyScan
