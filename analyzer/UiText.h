#pragma once

#include <QString>

#include <string_view>

// The one place windows of this folder take their texts from: a text by
// language section, key and built-in default.
class UiText
{
public:
    static QString Get(std::string_view section, std::string_view key, std::string_view def);
};
