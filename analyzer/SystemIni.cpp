#include "analyzer/SystemIni.h"

#include "files/CIniFile.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

std::string SystemIni::Resolve(const std::string &programFolder)
{
    if (!programFolder.empty() && access(programFolder.c_str(), W_OK | X_OK) == 0)
        return (fs::path(programFolder) / FileName).string();
    fs::path config;
    const char *xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        config = xdg;
    } else {
        const char *home = std::getenv("HOME");
        config = fs::path(home && home[0] ? home : "/tmp") / ".config";
    }
    return (config / "tracemoor" / FileName).string();
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
