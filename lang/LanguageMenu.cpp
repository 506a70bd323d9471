#include "lang/LanguageMenu.h"

#include "files/CIniFile.h"
#include "lang/CLanguageFile.h"

#include <algorithm>
#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace {

bool HasLanguageExtension(const std::string &name)
{
    constexpr std::string_view ext = ".lang";
    if (name.size() <= ext.size())
        return false;
    const std::string_view tail = std::string_view(name).substr(name.size() - ext.size());
    return std::equal(tail.begin(), tail.end(), ext.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}

} // namespace

std::vector<LanguageMenu::Item> LanguageMenu::List(const std::vector<std::string> &folders,
                                                   std::string_view activeName)
{
    // File name -> path; the first folder that holds a name keeps it.
    std::map<std::string, std::string> files;
    for (const std::string &folder : folders) {
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            std::error_code typeError;
            if (HasLanguageExtension(name) && it->is_regular_file(typeError))
                files.emplace(name, it->path().string());
        }
    }

    std::vector<Item> items;
    bool activeFound = false;
    for (const auto &[name, path] : files) {
        if (items.size() == MaxItems)
            break;
        const CLanguageFile file(path);
        if (!file.CheckSumValid())
            continue;
        Item item;
        item.Caption = file.Caption();
        item.FileName = name;
        item.Path = path;
        item.Tag = static_cast<int>(items.size());
        item.Active = !activeFound && file.OwnName() == activeName;
        activeFound = activeFound || item.Active;
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<LanguageMenu::Item> LanguageMenu::List(const std::string &folder,
                                                   std::string_view activeName)
{
    return List(std::vector<std::string>{folder}, activeName);
}

bool LanguageMenu::Select(const std::string &systemIni, std::string_view fileName)
{
    // Only a plain name of a file in the language folder; a line break would
    // add lines of its own to System.ini.
    if (fileName.empty() || fileName.find_first_of("/\r\n") != std::string_view::npos)
        return false;
    CIniFile ini(systemIni);
    if (systemIni.empty() || !ini.FileExists())
        return false;
    return ini.WriteString("Language", "File", fileName);
}
