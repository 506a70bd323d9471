#pragma once

#include <string>
#include <string_view>
#include <vector>

// Where System.ini and the language files lie. A program whose own folder is
// writable (a build tree, a portable copy) keeps both there: System.ini and
// Language/ beside the program file. An installed program keeps System.ini in
// the user's config folder (<config>/tracemoor/) and reads language files
// from <config>/tracemoor/Language/ first, then from the shared
// <prefix>/share/tracemoor/Language/ that is installed with it.
class LanguagePaths
{
public:
    static constexpr std::string_view FolderName = "Language";
    static constexpr std::string_view SystemIniName = "System.ini";

    // `configHome` is the user's config base ($XDG_CONFIG_HOME); empty when
    // unknown, in which case an installed program has no System.ini.
    LanguagePaths(const std::string &programFolder, const std::string &configHome, bool portable);
    // Portable when `programFolder` is writable; config base from the environment.
    explicit LanguagePaths(const std::string &programFolder);

    bool Portable() const { return portable; }
    // Empty when there is no place for it.
    const std::string &SystemIni() const { return systemIni; }
    // The language folders, the one that wins on equal file names first.
    const std::vector<std::string> &Folders() const { return folders; }
    // The path of the language file `name`: in the first folder that holds
    // it, else in the first folder (where it is missing, so every text takes
    // its built-in value).
    std::string ActiveFile(std::string_view name) const;

    // $XDG_CONFIG_HOME, else $HOME/.config, else empty.
    static std::string ConfigHome();
    static bool IsWritable(const std::string &folder);

private:
    bool portable;
    std::string systemIni;
    std::vector<std::string> folders;
};
