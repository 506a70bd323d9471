#include "files/CIniFile.h"

#include "files/AtomicFile.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

constexpr size_t npos = static_cast<size_t>(-1);

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Where the line starting at `at` ends: LF, CRLF and a bare CR each end one
// line. Returns the end of its text; `next` is the start of the next line.
size_t LineEnd(std::string_view all, size_t at, size_t &next)
{
    const size_t end = all.find_first_of("\r\n", at);
    if (end == std::string_view::npos) {
        next = all.size();
        return all.size();
    }
    next = end + (all[end] == '\r' && end + 1 < all.size() && all[end + 1] == '\n' ? 2 : 1);
    return end;
}

// Bytes an INI line cannot hold as they are: line breaks and the other
// control characters (a tab is fine).
bool IsControl(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u < 0x20 && c != '\t') || u == 0x7F;
}

bool HasControl(std::string_view s)
{
    for (char c : s)
        if (IsControl(c))
            return true;
    return false;
}

// The reader trims a value and takes off one pair of enclosing quotes, so a
// value with blanks at either end, or one that is itself quoted, is written
// in quotes to read back unchanged.
std::string QuotedIfNeeded(std::string_view value)
{
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || quoted))
        return "\"" + std::string(value) + "\"";
    return std::string(value);
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

}  // namespace

CIniFile::CIniFile(std::string path_)
    : path(std::move(path_))
{
    Reload();
}

bool CIniFile::FileExists() const
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void CIniFile::Reload()
{
    text.clear();
    exists = false;
    std::ifstream in(path, std::ios::binary);
    if (in) {
        std::ostringstream buffer;
        buffer << in.rdbuf();
        text = std::move(buffer).str();
        exists = true;
    }
    Parse();
}

void CIniFile::Parse()
{
    lines.clear();
    size_t at = 0;
    // A UTF-8 byte-order mark belongs to no line.
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        at = 3;
    const std::string_view all(text);
    while (at < all.size()) {
        size_t next = 0;
        const size_t end = LineEnd(all, at, next);
        Line line{at, end, next, Line::Other, {}, {}};
        const std::string_view body = Trim(all.substr(at, end - at));
        if (!body.empty() && body.front() == '[') {
            const size_t close = body.find(']');
            if (close != std::string_view::npos) {
                line.kind = Line::Section;
                line.name = Trim(body.substr(1, close - 1));
            }
        } else if (!body.empty() && body.front() != ';') {
            const size_t eq = body.find('=');
            if (eq != std::string_view::npos && eq > 0) {
                line.kind = Line::Key;
                line.name = Trim(body.substr(0, eq));
                line.value = Trim(body.substr(eq + 1));
            }
        }
        lines.push_back(line);
        at = next;
    }
}

void CIniFile::FindSection(std::string_view section, size_t &first, size_t &last) const
{
    first = npos;
    last = npos;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != Line::Section)
            continue;
        if (first != npos) {
            last = i;
            return;
        }
        if (SameName(lines[i].name, Trim(section)))
            first = i + 1;
    }
    if (first != npos)
        last = lines.size();
}

const CIniFile::Line *CIniFile::FindKey(std::string_view section, std::string_view key) const
{
    size_t first = 0;
    size_t last = 0;
    FindSection(section, first, last);
    if (first == npos)
        return nullptr;
    key = Trim(key);
    for (size_t i = first; i < last; ++i)
        if (lines[i].kind == Line::Key && SameName(lines[i].name, key))
            return &lines[i];
    return nullptr;
}

std::string CIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view def) const
{
    const Line *line = FindKey(section, key);
    if (!line)
        return std::string(def);
    std::string_view v = line->value;
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

bool CIniFile::ParseInteger(std::string_view text_, int32_t &value)
{
    std::string_view s = Trim(text_);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    } else if (s.size() > 1 && s[0] == '$') {
        base = 16;
        s.remove_prefix(1);
    }
    if (s.empty())
        return false;
    int64_t magnitude = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
    if (ec != std::errc() || ptr != s.data() + s.size())
        return false;
    const int64_t v = negative ? -magnitude : magnitude;
    if (v < INT32_MIN || v > (base == 16 ? int64_t{UINT32_MAX} : int64_t{INT32_MAX}))
        return false;
    value = static_cast<int32_t>(static_cast<uint32_t>(v));
    return true;
}

int32_t CIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const
{
    const Line *line = FindKey(section, key);
    int32_t v = def;
    if (!line || !ParseInteger(ReadString(section, key, ""), v))
        return def;
    return v;
}

bool CIniFile::SectionExists(std::string_view section) const
{
    size_t first = 0;
    size_t last = 0;
    FindSection(section, first, last);
    return first != npos;
}

bool CIniFile::ValueExists(std::string_view section, std::string_view key) const
{
    return FindKey(section, key) != nullptr;
}

std::vector<std::string> CIniFile::ReadSection(std::string_view section) const
{
    std::vector<std::string> keys;
    size_t first = 0;
    size_t last = 0;
    FindSection(section, first, last);
    if (first == npos)
        return keys;
    for (size_t i = first; i < last; ++i)
        if (lines[i].kind == Line::Key)
            keys.emplace_back(lines[i].name);
    return keys;
}

std::string CIniFile::LineBreak() const
{
    for (const Line &line : lines)
        if (line.next > line.end)
            return text.substr(line.end, line.next - line.end);
    return "\n";
}

bool CIniFile::Refuse(std::string_view section, std::string_view key, const char *why)
{
    error = "[" + std::string(section) + "] " + std::string(key) + ": " + why + "; " + path +
            " was not changed.";
    return false;
}

bool CIniFile::WriteString(std::string_view section, std::string_view key,
                           std::string_view value)
{
    error.clear();
    section = Trim(section);
    key = Trim(key);
    // A name that would read back as something else, or a value that would
    // spill onto lines of its own, is refused rather than mangled. Escapes
    // are no way out: files written by people and other programs hold plain
    // backslashes (C:\new\data.bin) that must keep reading as they are.
    if (HasControl(section) || section.find(']') != std::string_view::npos)
        return Refuse(section, key, "the section name cannot be written in an INI file");
    if (key.empty() || HasControl(key) || key.find('=') != std::string_view::npos ||
        key.front() == ';' || key.front() == '[')
        return Refuse(section, key, "the key name cannot be written in an INI file");
    if (HasControl(value))
        return Refuse(section, key,
                      "the value holds a line break or another control character, "
                      "which an INI file cannot keep on one line");

    // Another writer may have changed the file since we read it.
    Reload();
    const std::string eol = LineBreak();
    const std::string entry = std::string(key) + "=" + QuotedIfNeeded(value);

    std::string out;
    size_t first = 0;
    size_t last = 0;
    FindSection(section, first, last);
    if (first == npos) {
        out = text;
        if (!lines.empty() && lines.back().next == lines.back().end)
            out += eol;
        out += "[" + std::string(section) + "]" + eol + entry + eol;
    } else if (const Line *line = FindKey(section, key)) {
        out = text.substr(0, line->begin) + entry + text.substr(line->end);
    } else {
        // After the last non-blank line of the section.
        size_t insertAt = lines[first - 1].next;
        bool needBreak = lines[first - 1].next == lines[first - 1].end;
        for (size_t i = first; i < last; ++i) {
            if (!Trim(std::string_view(text).substr(lines[i].begin,
                                                    lines[i].end - lines[i].begin)).empty()) {
                insertAt = lines[i].next;
                needBreak = lines[i].next == lines[i].end;
            }
        }
        out = text.substr(0, insertAt) + (needBreak ? eol : "") + entry + eol +
              text.substr(insertAt);
    }
    if (!AtomicFile::Write(path, out)) {
        error = path + " could not be written.";
        return false;
    }
    text = std::move(out);
    exists = true;
    Parse();
    return true;
}

bool CIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value)
{
    return WriteString(section, key, std::to_string(value));
}
