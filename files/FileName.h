#pragma once

#include <string>
#include <string_view>

// Names the save commands write under.
class FileName
{
public:
    // `name` with `extension` appended unless its last characters are exactly
    // `extension` (compared case-sensitively): abc -> abc.pjf, abc.PJF ->
    // abc.PJF.pjf.
    static std::string WithExtension(const std::string &name, std::string_view extension);
    // `path` with `extension` appended when its file name has no extension of
    // its own (no '.' after the first character): log -> log.csv, log.txt
    // and log.dat stay, .hidden -> .hidden.csv; an empty path stays empty.
    static std::string WithDefaultExtension(const std::string &path, std::string_view extension);
    // Whether `path` ends in `extension` (a lower-case ".vcd"), letters of the
    // path compared in either case: x.VCD and x.vcd both end in ".vcd".
    static bool EndsWithExtension(std::string_view path, std::string_view extension);
    // The part after the last '/'.
    static std::string_view WithoutFolder(std::string_view path);
};
