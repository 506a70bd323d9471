#pragma once

#include <QString>

#include <string>
#include <string_view>

// The one lookup windows take their texts from: a text by language section,
// key and built-in default, read from the active language file (a missing
// file or key gives the default). The main window names the file at start.
class UiText
{
public:
    static QString Get(std::string_view section, std::string_view key, std::string_view def);

    static void SetLanguageFile(std::string path);
    static const std::string &LanguageFile();

    static QString FromUtf8(std::string_view text);
};
