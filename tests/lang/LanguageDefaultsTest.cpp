#include "lang/LanguageDefaults.h"
#include "lang/CLanguageFile.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

TEST(LanguageDefaults, EveryKeyOnceAndEveryTextValidUtf8)
{
    const auto entries = LanguageDefaults::Entries();
    ASSERT_EQ(entries.size(), 307u);
    std::set<std::pair<std::string, std::string>> seen;
    for (const auto &e : entries) {
        EXPECT_TRUE(seen.emplace(Lower(e.Section), Lower(e.Key)).second)
            << e.Section << "/" << e.Key;
        EXPECT_EQ(CLanguageFile::ToUtf8(e.Text), e.Text) << e.Section << "/" << e.Key;
        EXPECT_FALSE(e.Text.empty()) << e.Section << "/" << e.Key;
    }
}

TEST(LanguageDefaults, KeysPerSection)
{
    const std::map<std::string, size_t> expected = {
        {"Common", 9},       {"Keyboard", 1},       {"Bus/TriggerEdit", 41},
        {"Interface", 14},   {"Printer", 6},        {"SetVoltage", 6},
        {"Report", 1},       {"CursorMenu", 3},     {"Capture", 2},
        {"FileSystem", 12},  {"About", 1},          {"WavefromMenu2", 11},
        {"SelectDevice", 3}, {"DataSearch", 17},    {"SPI", 42},
        {"I2C", 24},         {"CAN", 20},           {"MainMenu", 6},
        {"FileMenu", 9},     {"ViewMenu", 5},       {"Run/StopMenu", 6},
        {"SearchMenu", 3},   {"ToolMenu", 5},       {"HelpMenu", 2},
        {"Hint", 26},        {"WavefromMenu1", 11}, {"WarningString", 10},
        {"StatusBar", 4},    {"UART", 7},
    };
    // [WarningString] also holds the program's own strEmptyList (the empty
    // signal list offer), which older language files do not have.
    std::map<std::string, size_t> counted;
    for (const auto &e : LanguageDefaults::Entries())
        ++counted[std::string(e.Section)];
    EXPECT_EQ(counted, expected);
}

struct TextCase
{
    const char *section;
    const char *key;
    const char *text;
};

class DefaultText : public testing::TestWithParam<TextCase>
{
};

TEST_P(DefaultText, IsTheSystemsOwnText)
{
    const TextCase &c = GetParam();
    EXPECT_EQ(LanguageDefaults::Text(c.section, c.key), c.text);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Samples, DefaultText, testing::Values(
    // Same key in different sections.
    TextCase{"Keyboard", "strFormCaption", "Name"},
    TextCase{"Bus/TriggerEdit", "strFormCaption", "Advance Setting"},
    TextCase{"CursorMenu", "strFormCaption", "Goto cursor setting"},
    TextCase{"I2C", "strData", "Data"},
    TextCase{"DataSearch", "strData", "Data "},
    // Names and texts exactly as the files have them, misspellings included.
    TextCase{"WarningString", "strNoDeivce", "No device connected."},
    TextCase{"CAN", "strExtensionItem2", "Dispaly"},
    TextCase{"SPI", "strSPIGrid2_1", "Paquet"},
    TextCase{"SPI", "strSPIGrid2_2", "Bit d'drreur"},
    TextCase{"UART", "strChnnelSelect", "Chnnel"},
    TextCase{"UART", "strDataFormat", "Data Formate"},
    TextCase{"Hint", "strSetHint", "Creat Cursor State"},
    TextCase{"Hint", "strBWHint", "Backgroud Style"},
    TextCase{"SPI", "strSPIGrid2_2", "Bit d'drreur"},
    TextCase{"SPI", "strSPIGrid1_9", "Min Package Length"},
    TextCase{"CAN", "strStartBitItem2", "Start by0 bit 0"},
    TextCase{"Bus/TriggerEdit", "strWarning1",
             "The channel31 is fixed to \"Don't Care\" while using external clock in."},
    // Texts that others are appended to keep their trailing blanks.
    TextCase{"Bus/TriggerEdit", "strBus_Volt3", "Volt 3 : "},
    TextCase{"StatusBar", "strSampleRate", "Sample Rate : "},
    TextCase{"DataSearch", "strWarning3", "Out of limit.The maximum is"},
    // The arrows, now UTF-8.
    TextCase{"WavefromMenu1", "strWaveformMenu1Item8", "OR Pattern \xE2\x86\x91"},
    TextCase{"WavefromMenu1", "strWaveformMenu1Item9", "OR Pattern \xE2\x86\x93"},
    TextCase{"WavefromMenu1", "strWaveformMenu1Item10", "\xE2\x86\x91"},
    TextCase{"WavefromMenu1", "strWaveformMenu1Item11", "\xE2\x86\x93"},
    TextCase{"SPI", "strSPIGrid2_4", "Donn\xC3\xA9" "es"},
    // Names match without regard to case.
    TextCase{"run/stopmenu", "STRRUNMENUITEM3", "Single Run"},
    // Not ours.
    TextCase{"Common", "strNoSuchKey", ""},
    TextCase{"NoSuchSection", "strOKBtnCaption", ""}));
// clang-format on

struct VariantCase
{
    const char *reader;
    const char *section;
    const char *key;
    const char *text;
};

class ReaderDefault : public testing::TestWithParam<VariantCase>
{
};

TEST_P(ReaderDefault, KeepsEachReadersText)
{
    const VariantCase &c = GetParam();
    EXPECT_EQ(LanguageDefaults::Text(c.reader, c.section, c.key), c.text);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(TwoReadersOneKey, ReaderDefault, testing::Values(
    VariantCase{"TForm1", "WavefromMenu2", "strWaveformMenu2Item1", "GOTO..."},
    VariantCase{"TForm4", "WavefromMenu2", "strWaveformMenu2Item1", "Low"},
    VariantCase{"TtDataSearch", "DataSearch", "strWarning1", "Warning! Need a value for search."},
    VariantCase{"Tform_DataEdit", "DataSearch", "strWarning1", "Warning! Need a value for search"},
    VariantCase{"TtDataSearch", "DataSearch", "strWarning2", "Data format error."},
    VariantCase{"Tform_DataEdit", "datasearch", "STRWARNING2", "Data format error"},
    // A reader without a text of its own gets the table's.
    VariantCase{"Tform_DataEdit", "DataSearch", "strWarning3", "Out of limit.The maximum is"}));
// clang-format on

TEST(LanguageDefaults, EveryVariantNamesAKnownKey)
{
    for (const auto &v : LanguageDefaults::Variants()) {
        const auto *e = LanguageDefaults::Find(v.Section, v.Key);
        ASSERT_NE(e, nullptr) << v.Section << "/" << v.Key;
        EXPECT_NE(e->Text, v.Text);
    }
}

} // namespace
