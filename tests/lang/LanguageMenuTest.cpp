#include "lang/LanguageMenu.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string LanguageFile(const std::string &text, const std::string &ownName)
{
    return "[Language]\nText=" + text + "\nFileName=" + ownName +
           "\nCheckSum=" + std::to_string(text.size() + ownName.size()) + "\n";
}

std::string ReadAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Expected
{
    const char *caption;
    const char *fileName;
    int tag;
    bool active;
};

class LanguageList : public testing::Test
{
protected:
    void SetUp() override
    {
        folder.Write("Language/localization_EN.lang",
                     LanguageFile("English", "localization_EN.lang"));
        folder.Write("Language/localization_DE.lang",
                     LanguageFile("Deutsch", "localization_DE.lang"));
        // Invalid: not listed, and no tag is spent on it.
        folder.Write("Language/localization_CZ.lang",
                     "[Language]\nText=Cesky\nFileName=localization_CZ.lang\nCheckSum=1\n");
        // No [Language] section: valid with an empty caption.
        folder.Write("Language/bare.lang", "[Common]\nstrOKBtnCaption=OK\n");
        // Extension in capitals, as the folder listing matches it.
        folder.Write("Language/UPPER.LANG", LanguageFile("Upper", "UPPER.LANG"));
        // Not language files.
        folder.Write("Language/readme.txt", LanguageFile("Readme", "readme.txt"));
        folder.Write("Language/localization_EN.lang.bak",
                     LanguageFile("Backup", "localization_EN.lang"));
        folder.Write("Language/.lang", LanguageFile("Hidden", ".lang"));
        std::filesystem::create_directories(folder.Path() + "/Language/folder.lang");
        dir = folder.Path() + "/Language";
    }

    static void Check(const std::vector<LanguageMenu::Item> &items,
                      const std::vector<Expected> &expected, const std::string &dir)
    {
        ASSERT_EQ(items.size(), expected.size());
        for (size_t i = 0; i < items.size(); ++i) {
            SCOPED_TRACE(expected[i].fileName);
            EXPECT_EQ(items[i].Caption, expected[i].caption);
            EXPECT_EQ(items[i].FileName, expected[i].fileName);
            EXPECT_EQ(items[i].Path, dir + "/" + expected[i].fileName);
            EXPECT_EQ(items[i].Tag, expected[i].tag);
            EXPECT_EQ(items[i].Active, expected[i].active);
        }
    }

    TempFolder folder;
    std::string dir;
};

TEST_F(LanguageList, ValidFilesInNameOrderWithTagsAndTheActiveOne)
{
    Check(LanguageMenu::List(dir, "localization_EN.lang"),
          {{"Upper", "UPPER.LANG", 0, false},
           {"", "bare.lang", 1, false},
           {"Deutsch", "localization_DE.lang", 2, false},
           {"English", "localization_EN.lang", 3, true}},
          dir);
}

TEST_F(LanguageList, ActiveIsDecidedByTheFilesOwnName)
{
    // A renamed copy still names the file it was made from; only the first
    // match is checked.
    folder.Write("Language/english_copy.lang", LanguageFile("English", "localization_EN.lang"));
    const auto items = LanguageMenu::List(dir, "localization_EN.lang");
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[2].FileName, "english_copy.lang");
    EXPECT_TRUE(items[2].Active);
    EXPECT_FALSE(items[4].Active);

    // The comparison is exact.
    for (const auto &item : LanguageMenu::List(dir, "LOCALIZATION_DE.LANG"))
        EXPECT_FALSE(item.Active) << item.FileName;
    // A file without its own name is never active, even for an empty active name.
    for (const auto &item : LanguageMenu::List(dir, ""))
        EXPECT_EQ(item.Active, item.FileName == "bare.lang") << item.FileName;
}

TEST_F(LanguageList, MissingFolderListsNothing)
{
    EXPECT_TRUE(LanguageMenu::List(folder.Path() + "/nowhere", "localization_EN.lang").empty());
    EXPECT_TRUE(LanguageMenu::List(std::vector<std::string>{}, "x").empty());
}

TEST_F(LanguageList, FirstFolderWinsOnEqualNames)
{
    const std::string user = folder.Path() + "/user";
    folder.Write("user/localization_DE.lang",
                 LanguageFile("Deutsch (eigene)", "localization_DE.lang"));
    folder.Write("user/localization_FR.lang", LanguageFile("Fran\xC3\xA7"
                                                           "ais",
                                                           "localization_FR.lang"));
    // Invalid in the first folder: the name is taken, so the shared file is not listed either.
    folder.Write("user/localization_EN.lang", "[Language]\nText=Broken\nCheckSum=0\n");
    const auto items =
        LanguageMenu::List(std::vector<std::string>{user, dir}, "localization_DE.lang");
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[2].Caption, "Deutsch (eigene)");
    EXPECT_EQ(items[2].Path, user + "/localization_DE.lang");
    EXPECT_TRUE(items[2].Active);
    EXPECT_EQ(items[3].Caption, "Fran\xC3\xA7"
                                "ais");
    EXPECT_EQ(items[3].Tag, 3);
}

TEST(LanguageMenuLimit, KeepsTheFirst128ValidFilesInNameOrder)
{
    TempFolder folder;
    for (int i = 0; i < 150; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "lang%03d.lang", i);
        // Every tenth file is invalid and takes no place: 135 valid files.
        folder.Write(name, i % 10 == 0 ? std::string("[Language]\nCheckSum=5\n")
                                       : LanguageFile("L" + std::to_string(i), name));
    }
    const auto items = LanguageMenu::List(folder.Path(), "lang005.lang");
    ASSERT_EQ(items.size(), LanguageMenu::MaxItems);
    EXPECT_EQ(items.front().FileName, "lang001.lang");
    EXPECT_EQ(items.back().FileName, "lang142.lang");
    for (size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(items[i].Tag, static_cast<int>(i));
    EXPECT_TRUE(items[4].Active);

    // A file past the limit is not offered, so nothing is checked.
    for (const auto &item : LanguageMenu::List(folder.Path(), "lang145.lang"))
        EXPECT_FALSE(item.Active) << item.FileName;
}

struct SelectCase
{
    const char *name;
    const char *systemIni; // nullptr: no System.ini
    const char *choice;
    bool written;
    const char *after; // content afterwards (nullptr: still no file)
};

class SelectLanguage : public testing::TestWithParam<SelectCase>
{
};

TEST_P(SelectLanguage, WritesOnlyIntoAnExistingSystemIni)
{
    const SelectCase &c = GetParam();
    TempFolder folder;
    const std::string ini = folder.Path() + "/System.ini";
    if (c.systemIni)
        folder.Write("System.ini", c.systemIni);
    EXPECT_EQ(LanguageMenu::Select(ini, c.choice), c.written);
    if (c.after)
        EXPECT_EQ(ReadAll(ini), c.after);
    else
        EXPECT_FALSE(std::filesystem::exists(ini));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, SelectLanguage, testing::Values(
    SelectCase{"NoSystemIni", nullptr, "localization_DE.lang", false, nullptr},
    SelectCase{"ReplacesTheName",
        "[History]\nLastFile=/tmp/a.pjf\n[Language]\nFile=localization_EN.lang\n"
        "[Model]\nHost=1\n",
        "localization_DE.lang", true,
        "[History]\nLastFile=/tmp/a.pjf\n[Language]\nFile=localization_DE.lang\n"
        "[Model]\nHost=1\n"},
    SelectCase{"AddsTheSection", "[Model]\r\nHost=1\r\n", "localization_DE.lang", true,
        "[Model]\r\nHost=1\r\n[Language]\r\nFile=localization_DE.lang\r\n"},
    SelectCase{"EmptyFileExists", "", "x.lang", true, "[Language]\nFile=x.lang\n"},
    SelectCase{"NoPathInTheName", "[Language]\nFile=a.lang\n", "../b.lang", false,
        "[Language]\nFile=a.lang\n"},
    SelectCase{"NoLineBreakInTheName", "[Language]\nFile=a.lang\n", "b.lang\n[Model]", false,
        "[Language]\nFile=a.lang\n"},
    SelectCase{"NoEmptyName", "[Language]\nFile=a.lang\n", "", false,
        "[Language]\nFile=a.lang\n"}),
    [](const testing::TestParamInfo<SelectCase> &row) { return row.param.name; });
// clang-format on

TEST(SelectLanguageFile, SystemIniThatIsAFolderIsNotWritten)
{
    TempFolder folder;
    std::filesystem::create_directories(folder.Path() + "/System.ini");
    EXPECT_FALSE(LanguageMenu::Select(folder.Path() + "/System.ini", "x.lang"));
    EXPECT_FALSE(LanguageMenu::Select("", "x.lang"));
}

} // namespace
