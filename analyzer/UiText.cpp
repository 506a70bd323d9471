#include "analyzer/UiText.h"

QString UiText::Get(std::string_view section, std::string_view key, std::string_view def)
{
    // Until the language files are read, every text is its built-in default.
    (void)section;
    (void)key;
    return QString::fromUtf8(def.data(), static_cast<qsizetype>(def.size()));
}
