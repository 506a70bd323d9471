#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The entries of the Tool > Language menu and the effect of picking one. The
// menu widget itself belongs to the main window; this is the part that reads
// folders and files.
class LanguageMenu
{
public:
    // The menu's name table has this many places; further valid files (in
    // name order) are left out of the menu.
    static constexpr size_t MaxItems = 128;

    struct Item
    {
        std::string Caption;  // [Language] Text, shown as the item's caption
        std::string FileName; // the file's name in its folder, written on selection
        std::string Path;     // full path of the file
        int Tag = 0;          // position among the valid files, from 0
        bool Active = false;  // its [Language] FileName names the active file
    };

    // Every valid "*.lang" file of the folders, sorted by file name. A name
    // found in several folders is taken from the first of them. Only the
    // first item whose FileName equals `activeName` is active.
    static std::vector<Item> List(const std::vector<std::string> &folders,
                                  std::string_view activeName);
    static std::vector<Item> List(const std::string &folder, std::string_view activeName);

    // Writes `fileName` to System.ini [Language] File when System.ini exists
    // (without it the menu does nothing). True when it was written. The new
    // language takes effect at the next start.
    static bool Select(const std::string &systemIni, std::string_view fileName);
};
