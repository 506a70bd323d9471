#include "files/CIniFile.h"
#include "lang/CLanguageFile.h"
#include "lang/LanguageDefaults.h"
#include "lang/LanguageMenu.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

// <source>/tests/lang/data -> <source>/lang/Language, by name only: the data
// folder need not exist.
const std::string ShippedFolder =
    (std::filesystem::path(TRACEMOOR_TEST_DATA).parent_path().parent_path().parent_path() / "lang" /
     "Language")
        .string();

std::vector<std::string> ShippedFiles()
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto &entry : std::filesystem::directory_iterator(ShippedFolder, ec))
        if (entry.path().extension() == ".lang")
            names.push_back(entry.path().filename().string());
    return names;
}

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

class ShippedFile : public testing::TestWithParam<std::string>
{
};

TEST_P(ShippedFile, IsValidAndNamesItself)
{
    const CLanguageFile file(ShippedFolder + "/" + GetParam());
    EXPECT_TRUE(file.CheckSumValid());
    EXPECT_EQ(file.OwnName(), GetParam());
    EXPECT_FALSE(file.Caption().empty());
}

TEST_P(ShippedFile, HoldsEveryKeyAndNothingElse)
{
    const std::string path = ShippedFolder + "/" + GetParam();
    const CIniFile ini(path);
    const CLanguageFile file(path);
    std::set<std::string> known;
    for (const auto &e : LanguageDefaults::Entries()) {
        SCOPED_TRACE(std::string(e.Section) + "/" + std::string(e.Key));
        known.insert(Lower(e.Section) + "/" + Lower(e.Key));
        ASSERT_TRUE(ini.ValueExists(e.Section, e.Key));
        const std::string raw = ini.ReadString(e.Section, e.Key, "");
        EXPECT_EQ(CLanguageFile::ToUtf8(raw), raw);
        EXPECT_FALSE(raw.empty());
        // Numbers and values are appended to these texts: keep the blank.
        if (e.Text.back() == ' ') {
            EXPECT_EQ(raw.back(), ' ');
        }
    }
    std::set<std::string> sections;
    for (const auto &e : LanguageDefaults::Entries())
        sections.emplace(e.Section);
    for (const std::string &section : sections) {
        for (const std::string &key : ini.ReadSection(section))
            EXPECT_TRUE(known.count(Lower(section) + "/" + Lower(key)))
                << "unknown key " << section << "/" << key;
    }
}

INSTANTIATE_TEST_SUITE_P(Language, ShippedFile, testing::ValuesIn(ShippedFiles()),
                         [](const testing::TestParamInfo<std::string> &row) {
                             std::string name = row.param.substr(0, row.param.find('.'));
                             for (char &c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST(ShippedFiles, EnglishFileHoldsTheBuiltInTexts)
{
    const CLanguageFile file(ShippedFolder + "/localization_EN.lang");
    ASSERT_TRUE(file.Exists());
    EXPECT_EQ(file.Caption(), "English");
    for (const auto &e : LanguageDefaults::Entries())
        EXPECT_EQ(file.ReadText(e.Section, e.Key, "<missing>"), e.Text)
            << e.Section << "/" << e.Key;
}

TEST(ShippedFiles, GermanFileIsTranslated)
{
    const CLanguageFile file(ShippedFolder + "/localization_DE.lang");
    ASSERT_TRUE(file.Exists());
    EXPECT_EQ(file.Caption(), "Deutsch");
    int same = 0;
    for (const auto &e : LanguageDefaults::Entries())
        same += file.ReadText(e.Section, e.Key) == e.Text;
    // Names, abbreviations and signal levels stay as they are ("OK", "CRC", "L").
    EXPECT_LT(same, 60);
    EXPECT_EQ(file.ReadText("FileSystem", "strOverWrite"), "\xC3\x9C"
                                                           "berschreiben?");
    EXPECT_EQ(file.ReadText("WavefromMenu1", "strWaveformMenu1Item8"), "ODER-Muster \xE2\x86\x91");
    EXPECT_EQ(file.ReadText("StatusBar", "strMemDepth"), "Speichertiefe: ");
}

TEST(ShippedFiles, MenuListsEveryShippedLanguage)
{
    const auto items = LanguageMenu::List(ShippedFolder, "localization_EN.lang");
    EXPECT_EQ(items.size(), ShippedFiles().size());
    int active = 0;
    for (const auto &item : items)
        active += item.Active;
    EXPECT_EQ(active, 1);
}

} // namespace
