#pragma once

#include <string>
#include <string_view>

// Where the analyzer's System.ini lives and the start-up steps that keep its
// keys present. The file itself is read and written through CIniFile.
//
// Keys: [Language] File (active language file name), [History] LastFile (last
// project file saved or loaded), [Model] Host (hexadecimal bit mask of the
// models the selection dialog offers).
class SystemIni
{
public:
    static constexpr std::string_view FileName = "System.ini";
    static constexpr std::string_view NoLastFile = "FileNameIsHere";
    static constexpr std::string_view DefaultHost = "1";

    // $XDG_CONFIG_HOME/tracemoor/ (~/.config/tracemoor/ without it), for a
    // build tree as much as for an installed program; the program folder only
    // when a System.ini already lies there (a portable copy).
    static std::string Resolve(const std::string &programFolder);

    // What start-up found in System.ini.
    struct StartState
    {
        bool existed = false; // the file was there before start-up
        std::string lastFile; // [History] LastFile, "FileNameIsHere" when missing
    };

    // The start-up steps on the file at `path`: an existing file gets
    // [Model] Host = "1" when that key or its section is missing; a missing
    // file is created with [History] LastFile empty and [Model] Host = "1"
    // (creating its folder when needed).
    static StartState PrepareAtStart(const std::string &path);
};
