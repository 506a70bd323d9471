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
    // The part after the last '/'.
    static std::string_view WithoutFolder(std::string_view path);
};
