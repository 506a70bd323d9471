#include "lang/LanguagePaths.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

#ifndef TRACEMOOR_SHARED_LANGUAGE_DIR
// The installed language folder relative to the installed program's folder.
#define TRACEMOOR_SHARED_LANGUAGE_DIR "../share/tracemoor/Language"
#endif

namespace fs = std::filesystem;

namespace {

std::string Join(const std::string &folder, std::string_view name)
{
    return (fs::path(folder) / fs::path(name)).lexically_normal().string();
}

} // namespace

LanguagePaths::LanguagePaths(const std::string &programFolder, const std::string &configHome,
                             bool portable_)
    : portable(portable_)
{
    if (portable) {
        systemIni = Join(programFolder, SystemIniName);
        folders.push_back(Join(programFolder, FolderName));
        return;
    }
    // The files shipped with the program come first, so that an old copy in
    // the config folder never hides an updated translation.
    folders.push_back(Join(programFolder, FolderName));
    folders.push_back(Join(programFolder, TRACEMOOR_SHARED_LANGUAGE_DIR));
    if (!configHome.empty()) {
        const std::string own = Join(configHome, "tracemoor");
        systemIni = Join(own, SystemIniName);
        folders.push_back(Join(own, FolderName));
    }
}

LanguagePaths::LanguagePaths(const std::string &programFolder)
    : LanguagePaths(programFolder, ConfigHome(), HasOwnSystemIni(programFolder))
{}

std::string LanguagePaths::ActiveFile(std::string_view name) const
{
    for (const std::string &folder : folders) {
        std::error_code ec;
        const std::string path = Join(folder, name);
        if (fs::is_regular_file(path, ec))
            return path;
    }
    return Join(folders.front(), name);
}

std::string LanguagePaths::ConfigHome()
{
    // Relative values are to be ignored, as the XDG rules say.
    if (const char *xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        return xdg;
    if (const char *home = std::getenv("HOME"); home && home[0] == '/')
        return Join(home, ".config");
    // A service or a cleaned environment: the account's home folder.
    if (const passwd *account = ::getpwuid(::getuid());
        account && account->pw_dir && account->pw_dir[0] == '/')
        return Join(account->pw_dir, ".config");
    return {};
}

bool LanguagePaths::HasOwnSystemIni(const std::string &programFolder)
{
    std::error_code ec;
    return fs::is_regular_file(Join(programFolder.empty() ? "." : programFolder, SystemIniName),
                               ec);
}
