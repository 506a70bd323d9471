#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A sectioned key=value text file with the usual INI semantics: section and
// key names match without regard to ASCII letter case, the first occurrence
// wins, a missing file or key reads as the caller's default, values are
// trimmed and one pair of enclosing quotes is removed, lines starting with ';'
// are comments. LF, CRLF and a bare CR each end a line. Writing one key
// rewrites only that key's line (or appends it, with the file's own line
// break) and leaves every other byte of the file as it was; the new file is
// written beside the old one and renamed over it, so a crash never leaves
// half a file. A written value reads back exactly: it is quoted when it has
// blanks at an end or is itself quoted, and refused when it holds a line
// break or another control character.
// Cost: the file is read once per object (and again before each write);
// lookups walk the parsed lines.
class CIniFile
{
public:
    explicit CIniFile(std::string path);

    const std::string &FileName() const { return path; }
    bool FileExists() const;

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // Decimal, or hexadecimal with 0x or $; anything else gives the default.
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // Key names of a section, in file order (first section of that name).
    std::vector<std::string> ReadSection(std::string_view section) const;

    // Creates the file when it does not exist. False, with the old file left
    // untouched and the reason in LastError(), when the value or a name
    // cannot be written or the new content could not be written.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInteger(std::string_view section, std::string_view key, int32_t value);
    // Why the last write failed; empty after a good one.
    const std::string &LastError() const { return error; }

    // Re-reads the file from disk.
    void Reload();

    static bool ParseInteger(std::string_view text, int32_t &value);

private:
    struct Line
    {
        size_t begin;  // byte range of the line in text, without its line break
        size_t end;
        size_t next;   // start of the following line
        enum Kind : uint8_t { Other, Section, Key } kind;
        std::string_view name;   // section or key name, trimmed
        std::string_view value;  // raw value, trimmed (keys only)
    };

    void Parse();
    // Index range [first, last) of the body lines of the first matching
    // section; first = npos when the section is absent.
    void FindSection(std::string_view section, size_t &first, size_t &last) const;
    const Line *FindKey(std::string_view section, std::string_view key) const;
    // The file's own line break (its first one), LF when it has none.
    std::string LineBreak() const;
    bool Refuse(std::string_view section, std::string_view key, const char *why);

    std::string path;
    std::string text;
    bool exists = false;
    std::vector<Line> lines;
    std::string error;
};
