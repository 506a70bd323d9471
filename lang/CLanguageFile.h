#pragma once

#include "files/CIniFile.h"

#include <cstdint>
#include <string>
#include <string_view>

// One language file, opened for a group of reads (a window reads its texts
// when it is built or shown and lets the object go). Texts are UTF-8; a value
// that is not valid UTF-8 (a file from an 8-bit code page) has its Big5 arrows
// turned into "↑" and "↓" and every other stray byte into U+FFFD, so a window
// never receives broken text. A missing file reads like a file without keys.
class CLanguageFile
{
public:
    explicit CLanguageFile(std::string path);

    const std::string &FileName() const { return ini.FileName(); }
    bool Exists() const { return ini.FileExists(); }

    // The file's text of (section, key), else `def`.
    std::string ReadText(std::string_view section, std::string_view key,
                         std::string_view def) const;
    // The same with the key's built-in English text as the default.
    std::string ReadText(std::string_view section, std::string_view key) const;

    // [Language] Text: the language's name as the menu shows it.
    std::string Caption() const;
    // [Language] FileName: the name the file gives itself, as written.
    std::string OwnName() const;
    // [Language] CheckSum equals the byte length of Text plus that of
    // FileName; missing keys count as empty texts and as 0, so a file
    // without a [Language] section is valid.
    bool CheckSumValid() const;

    // `raw` when it is valid UTF-8, else the repaired text described above.
    static std::string ToUtf8(std::string_view raw);

private:
    CIniFile ini;
};
