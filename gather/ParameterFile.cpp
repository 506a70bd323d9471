#include "gather/ParameterFile.h"

#include "files/CIniFile.h"

#include <fstream>
#include <sys/stat.h>

ParameterFile::ParameterFile(std::string path_)
    : path(std::move(path_))
{}

std::string ParameterFile::Upper(std::string_view text)
{
    std::string s(text);
    for (char &c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

bool ParameterFile::Exists() const
{
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ParameterFile::TryRead(std::string_view section, std::string_view key,
                            std::string &value) const
{
    value = std::string(Empty);
    struct stat st
    {
    };
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return true; // no file: every key reads "Empty"
    if (!S_ISREG(st.st_mode) || !std::ifstream(path, std::ios::binary).good())
        return false;
    const CIniFile ini(path);
    std::string text = ini.ReadString(section, key, Empty);
    if (!text.empty())
        value = std::move(text);
    return true;
}

std::string ParameterFile::Read(std::string_view section, std::string_view key) const
{
    std::string value;
    TryRead(section, key, value);
    return value;
}

bool ParameterFile::Write(std::string_view section, std::string_view key,
                          std::string_view value) const
{
    if (!Exists())
        return false;
    CIniFile ini(path);
    return ini.WriteString(section, key, value);
}
