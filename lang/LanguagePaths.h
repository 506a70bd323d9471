#pragma once

#include <string>
#include <string_view>
#include <vector>

// Where System.ini and the language files lie.
//
// System.ini lives in the user's config folder (<config>/tracemoor/), for a
// program in a build tree as much as for an installed one, so that no two
// users share one. Only a program with a System.ini beside it (a portable
// copy) keeps using that one, with the language files in its own Language/.
//
// Otherwise the language files are looked for in the program's Language/ (a
// build tree), then in the shared <prefix>/share/tracemoor/Language/ that is
// installed with it, then in <config>/tracemoor/Language/, where the user may
// add languages of their own.
class LanguagePaths
{
public:
    static constexpr std::string_view FolderName = "Language";
    static constexpr std::string_view SystemIniName = "System.ini";

    // `configHome` is the user's config base ($XDG_CONFIG_HOME); empty when
    // unknown, in which case a program that is not portable has no System.ini.
    LanguagePaths(const std::string &programFolder, const std::string &configHome, bool portable);
    // Portable when a System.ini lies beside the program; config base from
    // the environment.
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

    // $XDG_CONFIG_HOME, else $HOME/.config, else the account's home folder
    // + /.config, else empty.
    static std::string ConfigHome();
    // A System.ini file lies in `programFolder`.
    static bool HasOwnSystemIni(const std::string &programFolder);

private:
    bool portable;
    std::string systemIni;
    std::vector<std::string> folders;
};
