#include "host/SystemIni.h"

#include "files/CIniFile.h"
#include "lang/LanguagePaths.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string SystemIni::Resolve(const std::string &programFolder)
{
    // The language files follow the same rule, so both are decided in one place.
    const LanguagePaths paths(programFolder);
    if (!paths.SystemIni().empty())
        return paths.SystemIni();
    // No home folder is known at all: beside the program, never in a folder
    // shared with other users.
    return (fs::path(programFolder) / FileName).string();
}

SystemIni::StartState SystemIni::PrepareAtStart(const std::string &path)
{
    StartState state;
    CIniFile ini(path);
    state.existed = ini.FileExists();
    if (state.existed) {
        state.lastFile = ini.ReadString("History", "LastFile", NoLastFile);
        if (!ini.ValueExists("Model", "Host"))
            ini.WriteString("Model", "Host", DefaultHost);
        return state;
    }
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    ini.WriteString("History", "LastFile", "");
    ini.WriteString("Model", "Host", DefaultHost);
    state.lastFile.clear();
    return state;
}
