#include "files/CIniFile.h"
#include "lang/CLanguageFile.h"
#include "lang/LanguageDefaults.h"
#include "lang/LanguageMenu.h"
#include "lang/WSysLanguage.h"

#include "LanguageKeyScan.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

// <source>/tests/lang/data -> <source>, by name only: the data folder need
// not exist.
const std::filesystem::path SourceRoot =
    std::filesystem::path(TRACEMOOR_TEST_DATA).parent_path().parent_path().parent_path();
const std::string ShippedFolder = (SourceRoot / "lang" / "Language").string();

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

// The built-in texts that are French or misspelt ("Paquet", "Dispaly",
// "Chnnel") stay as they are, so that a missing file still shows them; the
// shipped English file says them in plain English.
struct PlainText
{
    const char *section;
    const char *key;
    const char *text;
};
constexpr PlainText PlainEnglish[] = {
    {"Bus/TriggerEdit", "strTrigCounterCaption", "Trigger Counter"},
    {"Bus/TriggerEdit", "strHint1", "The value must be between 1 and 255."},
    {"Bus/TriggerEdit", "strInfo_Warning1", "Data format error. The data will not be saved."},
    {"Bus/TriggerEdit", "strFormCaption", "Advanced Settings"},
    {"Bus/TriggerEdit", "strTabSheet1", "Advanced Bus"},
    {"Bus/TriggerEdit", "strTabSheet2", "Advanced Trigger"},
    {"Bus/TriggerEdit", "strWarning1", "Channel 31 is fixed to \"Don't Care\" while the external clock is in use."},
    {"Bus/TriggerEdit", "strGrid_Raising", "Rising"},
    {"SetVoltage", "strHint1", "When this is selected, the setting is applied to all ports."},
    {"CursorMenu", "strFormCaption", "GOTO Cursor Setting"},
    {"FileSystem", "strFileWarning1", "The file already exists. Are you sure you want to overwrite it?"},
    {"FileSystem", "strFileWarning3", "Cannot get the data from the device."},
    {"FileSystem", "strFileWarning5", "Tracemoor is not connected."},
    {"FileSystem", "strFileWarning6", "Cannot get the data from the device."},
    {"FileSystem", "strFileWarning7", "Data import succeeded."},
    {"FileSystem", "strFileWarning8", "Cannot export to the device."},
    {"FileSystem", "strFileWarning9", "Data export succeeded."},
    {"DataSearch", "strDataSearch", "Data Search"},
    {"DataSearch", "strWarning1", "Warning! The search needs a value."},
    {"DataSearch", "strWarning3", "Out of limit. The maximum is"},
    {"DataSearch", "strRaising", "Rising"},
    {"SPI", "strMode_Sel5", "Rising"},
    {"SPI", "strSPIGrid1_1", "Min Msg. Time"},
    {"SPI", "strSPIGrid1_2", "Max Msg. Time"},
    {"SPI", "strSPIGrid1_3", "Avg Msg. Time"},
    {"SPI", "strSPIGrid1_4", "Min Idle Time"},
    {"SPI", "strSPIGrid1_5", "Max Idle Time"},
    {"SPI", "strSPIGrid1_6", "Avg Idle Time"},
    {"SPI", "strSPIGrid1_7", "Min Packet Length"},
    {"SPI", "strSPIGrid1_8", "Max Packet Length"},
    {"SPI", "strSPIGrid1_9", "Avg Packet Length"},
    {"SPI", "strSPIGrid1_10", "Min Error Bits"},
    {"SPI", "strSPIGrid1_11", "Max Error Bits"},
    {"SPI", "strSPIGrid1_12", "Total Error Bits"},
    {"SPI", "strSPIGrid2_1", "Packet"},
    {"SPI", "strSPIGrid2_2", "Error Bits"},
    {"SPI", "strSPIGrid2_3", "Length"},
    {"SPI", "strSPIGrid2_4", "Data"},
    {"SPI", "strSPIGrid2_7", "Idle Time"},
    {"I2C", "strDataGroupCaption", "Data Format"},
    {"CAN", "strBaudRateSetGroupCaption", "Baud Rate Setting"},
    {"CAN", "strBaudRateSelectLabel", "Baud Rate"},
    {"CAN", "strStartBitItem1", "Start with bits 111"},
    {"CAN", "strStartBitItem2", "Start with bit 0"},
    {"CAN", "strExtensionItem2", "Display"},
    {"CAN", "strArbitration", "Base ID"},
    {"CAN", "strExtensionID", "Extended ID"},
    {"CAN", "strControlField", "Control Field"},
    {"FileMenu", "strFileMenuItem3", "Change Model"},
    {"ViewMenu", "strViewMenuItem1", "Hand Shift"},
    {"Hint", "strSingleRunHint", "Single Run"},
    {"Hint", "strAutoScaleHint", "Auto Scale"},
    {"Hint", "strAutoStoreHint", "Auto Store"},
    {"Hint", "strZoomInHint", "Zoom In"},
    {"Hint", "strZoomOutHint", "Zoom Out"},
    {"Hint", "strSetHint", "Create Cursor State"},
    {"Hint", "strBWHint", "Background Style"},
    {"Hint", "strHandShiftHint", "Hand Shift"},
    {"WarningString", "strLinkFail", "Link failure."},
    {"WarningString", "strProcfail", "Processing failed."},
    {"WarningString", "strCmdfail", "Command failed."},
    {"WarningString", "strNoSupport", "This function is not supported by the PC-based logic analyzer."},
    {"UART", "strChnnelSelect", "Channel"},
    {"UART", "strDataFormat", "Data Format"},
};

TEST(ShippedFiles, EnglishFileHoldsTheBuiltInTextsInPlainEnglish)
{
    const CLanguageFile file(ShippedFolder + "/localization_EN.lang");
    ASSERT_TRUE(file.Exists());
    EXPECT_EQ(file.Caption(), "English");
    for (const auto &e : LanguageDefaults::Entries()) {
        std::string want(e.Text);
        for (const PlainText &p : PlainEnglish)
            if (e.Section == p.section && e.Key == p.key)
                want = p.text;
        EXPECT_EQ(file.ReadText(e.Section, e.Key, "<missing>"), want)
            << e.Section << "/" << e.Key;
    }
    for (const PlainText &p : PlainEnglish) {
        const LanguageDefaults::Entry *e = LanguageDefaults::Find(p.section, p.key);
        ASSERT_NE(e, nullptr) << p.section << "/" << p.key;
        EXPECT_NE(e->Text, p.text) << p.section << "/" << p.key << " needs no correction";
    }
}

// No French word or known misspelling is left in the shipped files.
TEST_P(ShippedFile, SaysNoFrenchOrMisspeltWords)
{
    const CLanguageFile file(ShippedFolder + "/" + GetParam());
    const char *const wrong[] = {"Paquet", "drreur", "Longueur", "Donn\xC3\xA9", "Chnnel",
                                 "Formate", "Dispaly", "seletion", "setted", "Backgroud",
                                 "Creat ", "Can't not", "succeed.", "by0"};
    for (const auto &e : LanguageDefaults::Entries()) {
        const std::string text = file.ReadText(e.Section, e.Key, "");
        for (const char *w : wrong)
            EXPECT_EQ(text.find(w), std::string::npos)
                << GetParam() << " " << e.Section << "/" << e.Key << ": " << text;
    }
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

std::vector<std::string> ShippedPaths()
{
    std::vector<std::string> paths;
    for (const std::string &name : ShippedFiles())
        paths.push_back(ShippedFolder + "/" + name);
    return paths;
}

std::string Lines(const std::vector<std::string> &problems)
{
    std::string out;
    for (const std::string &p : problems)
        out += p + "\n";
    return out;
}

// Every key the program reads: the main window's table and every window's
// UiText::Get in the sources. A key a new window reads must be in the
// built-in table and in every shipped file.
TEST(ShippedFiles, HoldEveryKeyTheProgramReads)
{
    std::vector<LanguageKeyScan::KeyRead> reads = LanguageKeyScan::ScanTree(SourceRoot);
    // The scan saw the windows (the goto-cursor dialog reads four keys).
    ASSERT_GE(
        std::count_if(reads.begin(), reads.end(),
                      [](const auto &r) { return r.Where.find("TForm4.cpp:") != r.Where.npos; }),
        4);
    for (int id = 0; id < WSysLanguage::Count; ++id) {
        const auto i = static_cast<WSysLanguage::Id>(id);
        reads.push_back({"WSysLanguage #" + std::to_string(id),
                         std::string(WSysLanguage::Section(i)), std::string(WSysLanguage::Key(i)),
                         std::string(WSysLanguage::Default(i)), true});
    }
    const auto problems = LanguageKeyScan::Problems(reads, ShippedPaths());
    EXPECT_TRUE(problems.empty()) << Lines(problems);
}

struct ScanCase
{
    const char *name;
    const char *source;
    std::vector<LanguageKeyScan::KeyRead> reads;
};

class KeyScan : public testing::TestWithParam<ScanCase>
{
};

TEST_P(KeyScan, FindsTheKeysASourceReads)
{
    const auto reads = LanguageKeyScan::Scan(GetParam().source, "w.cpp");
    ASSERT_EQ(reads.size(), GetParam().reads.size());
    for (size_t i = 0; i < reads.size(); ++i) {
        const auto &want = GetParam().reads[i];
        EXPECT_EQ(reads[i].Where, want.Where);
        EXPECT_EQ(reads[i].Literal, want.Literal);
        if (want.Literal) {
            EXPECT_EQ(reads[i].Section, want.Section);
            EXPECT_EQ(reads[i].Key, want.Key);
            EXPECT_EQ(reads[i].Default, want.Default);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sources, KeyScan,
    testing::Values(
        ScanCase{"OneCall",
                 R"(x->setText(UiText::Get("Common", "strOKBtnCaption", "OK"));)",
                 {{"w.cpp:1", "Common", "strOKBtnCaption", "OK", true}}},
        ScanCase{"WrappedAndJoined",
                 "\n a(UiText::Get(\"FileSystem\",\n   \"strOverWrite\", \"\\xC3\\x9C\" \"ber\"));",
                 {{"w.cpp:2", "FileSystem", "strOverWrite",
                   "\xC3\x9C"
                   "ber",
                   true}}},
        ScanCase{"EscapedQuote",
                 R"(UiText::Get("S", "k", "to \"X\"\tin"))",
                 {{"w.cpp:1", "S", "k", "to \"X\"\tin", true}}},
        ScanCase{"DefaultFromTheTable",
                 R"(UiText::Get("Common", "strON",
                    LanguageDefaults::Text("Common", "strON")))",
                 {{"w.cpp:1", "Common", "strON", "ON", true}}},
        ScanCase{"CommentsAreNoCalls",
                 "// UiText::Get(a, b, c)\n/* UiText::Get(\"A\", \"b\", \"c\") */ f(\"//\");",
                 {}},
        ScanCase{
            "NonLiteralKey", R"(UiText::Get("S", key, "d"))", {{"w.cpp:1", "", "", "", false}}},
        // A page reading one section through a wrapper of its own: the calls
        // of the wrapper are the reads, and one with a variable key is refused.
        ScanCase{"SectionWrapper",
                 "QString SpiText(const char *key, const char *def)\n"
                 "{\n    return UiText::Get(\"SPI\", key, def);\n}\n"
                 "a(SpiText(\"strMode\", \"Mode\"));\nb(SpiText(name, \"x\"));\n"
                 "c(MySpiText(\"k\", \"d\"));",
                 {{"w.cpp:5", "SPI", "strMode", "Mode", true}, {"w.cpp:6", "", "", "", false}}},
        ScanCase{"NoWrapperWithoutItsParameters",
                 "QString T(const char *a, const char *b)\n{\n    return UiText::Get(\"S\", "
                 "key, def);\n}",
                 {{"w.cpp:3", "", "", "", false}}}),
    [](const testing::TestParamInfo<ScanCase> &row) { return std::string(row.param.name); });

struct ProblemCase
{
    const char *name;
    LanguageKeyScan::KeyRead read;
    const char *problem; // what the report says, or "" for none
};

class KeyProblems : public testing::TestWithParam<ProblemCase>
{
};

TEST_P(KeyProblems, AreReported)
{
    TempFolder folder;
    const std::string file = folder.Write("x.lang", "[Common]\nstrOKBtnCaption=OK\n"
                                                    "[CursorMenu]\nstrCursorSet=Cursor Set\n");
    const auto problems = LanguageKeyScan::Problems({GetParam().read}, {file});
    if (*GetParam().problem == 0) {
        EXPECT_TRUE(problems.empty()) << Lines(problems);
    } else {
        ASSERT_EQ(problems.size(), 1u) << Lines(problems);
        EXPECT_NE(problems[0].find(GetParam().problem), std::string::npos) << problems[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Reads, KeyProblems,
    testing::Values(
        ProblemCase{"KnownKey", {"w.cpp:1", "common", "STROKBTNCAPTION", "OK", true}, ""},
        ProblemCase{"MissingInTheFile",
                    {"w.cpp:1", "Common", "strCancelBtnCaption", "Cancel", true},
                    "missing in"},
        ProblemCase{
            "NoBuiltInText", {"w.cpp:1", "NewPage", "strTitle", "Title", true}, "no built-in text"},
        ProblemCase{"OtherDefault",
                    {"w.cpp:1", "Common", "strOKBtnCaption", "Okay", true},
                    "is not its built-in text"},
        ProblemCase{"NotLiterals", {"w.cpp:1", "", "", "", false}, "not literals"}),
    [](const testing::TestParamInfo<ProblemCase> &row) { return std::string(row.param.name); });

} // namespace
