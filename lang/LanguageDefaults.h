#pragma once

#include <cstddef>
#include <span>
#include <string_view>

// The built-in English text of every language key, by section. A window that
// finds no file or no key shows these. Two readers of one key may want
// different built-in texts: the table holds the usual one, Variants() the
// other reader's. Lookups match section and key names without regard to ASCII
// letter case, as the language files are read.
// Cost: static data only; a lookup walks the 298 rows.
class LanguageDefaults
{
public:
    struct Entry
    {
        std::string_view Section;
        std::string_view Key;
        std::string_view Text;
    };

    // A reader whose built-in text for a key differs from the table's.
    struct Variant
    {
        std::string_view Reader; // class name of the window that reads it
        std::string_view Section;
        std::string_view Key;
        std::string_view Text;
    };

    static constexpr size_t Count = 307;

    // Every key, grouped by section in the order the windows are listed.
    static std::span<const Entry> Entries();
    static std::span<const Variant> Variants();

    // The row of (section, key), or nullptr when the key is not ours.
    static const Entry *Find(std::string_view section, std::string_view key);
    // The built-in text of (section, key); empty for an unknown key.
    static std::string_view Text(std::string_view section, std::string_view key);
    // The built-in text that `reader` uses for (section, key).
    static std::string_view Text(std::string_view reader, std::string_view section,
                                 std::string_view key);

    static bool SameName(std::string_view a, std::string_view b);
};
