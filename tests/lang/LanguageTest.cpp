#include "lang/CLanguageFile.h"
#include "lang/LanguageDefaults.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CheckSumCase
{
    const char *name;
    const char *content;
    bool valid;
    const char *caption;
};

class CheckSum : public testing::TestWithParam<CheckSumCase>
{
};

TEST_P(CheckSum, ValidOnlyWhenItAddsUpTheTwoLengths)
{
    const CheckSumCase &c = GetParam();
    TempFolder folder;
    const CLanguageFile file(folder.Write("x.lang", c.content));
    EXPECT_EQ(file.CheckSumValid(), c.valid);
    EXPECT_EQ(file.Caption(), c.caption);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rule, CheckSum, testing::Values(
    CheckSumCase{"NoLanguageSection", "[Common]\nstrOKBtnCaption=Ja\n", true, ""},
    CheckSumCase{"EmptyFile", "", true, ""},
    CheckSumCase{"EmptySection", "[Language]\n", true, ""},
    CheckSumCase{"SevenPlusTwenty",
        "[Language]\nText=English\nFileName=localization_EN.lang\nCheckSum=27\n", true, "English"},
    CheckSumCase{"OneShort",
        "[Language]\nText=English\nFileName=localization_EN.lang\nCheckSum=26\n", false,
        "English"},
    CheckSumCase{"OneOver",
        "[Language]\nText=English\nFileName=localization_EN.lang\nCheckSum=28\n", false,
        "English"},
    CheckSumCase{"MissingCheckSum",
        "[Language]\nText=English\nFileName=localization_EN.lang\n", false, "English"},
    CheckSumCase{"NotANumber",
        "[Language]\nText=English\nFileName=localization_EN.lang\nCheckSum=abc\n", false,
        "English"},
    CheckSumCase{"NegativeNeverMatches", "[Language]\nCheckSum=-1\n", false, ""},
    CheckSumCase{"OnlyTextCounted", "[Language]\nText=Deutsch\nCheckSum=7\n", true, "Deutsch"},
    CheckSumCase{"OnlyFileNameCounted", "[language]\nfilename=de.lang\nchecksum=7\n", true, ""},
    // Bytes, not characters: "Français" is 9 bytes in UTF-8.
    CheckSumCase{"BytesOfUtf8",
        "[Language]\nText=Fran\xC3\xA7" "ais\nFileName=fr.lang\nCheckSum=16\n", true,
        "Fran\xC3\xA7" "ais"},
    CheckSumCase{"CharactersAreNotEnough",
        "[Language]\nText=Fran\xC3\xA7" "ais\nFileName=fr.lang\nCheckSum=15\n", false,
        "Fran\xC3\xA7" "ais"},
    // Bytes as they stand in the file, before any repair of the caption.
    CheckSumCase{"BytesOfEightBitText",
        "[Language]\nText=Fran\xE7" "ais\nFileName=fr.lang\nCheckSum=15\n", true,
        "Fran\xEF\xBF\xBD" "ais"}),
    [](const testing::TestParamInfo<CheckSumCase> &row) { return row.param.name; });
// clang-format on

TEST(LanguageFile, MissingFileGivesEveryDefault)
{
    TempFolder folder;
    const CLanguageFile file(folder.Path() + "/localization_XX.lang");
    EXPECT_FALSE(file.Exists());
    EXPECT_TRUE(file.CheckSumValid());
    for (const auto &e : LanguageDefaults::Entries())
        EXPECT_EQ(file.ReadText(e.Section, e.Key), e.Text) << e.Section << "/" << e.Key;
    EXPECT_EQ(file.ReadText("DataSearch", "strWarning1", "Reader's own"), "Reader's own");
}

class FileText : public testing::Test
{
protected:
    void SetUp() override
    {
        path = folder.Write("localization_DE.lang",
                            "\xEF\xBB\xBF[Language]\r\n"
                            "Text=Deutsch\r\n"
                            "[common]\r\n"
                            "STROKBTNCAPTION=Jawohl\r\n"
                            "strCancelBtnCaption=\r\n"
                            "[Bus/TriggerEdit]\r\n"
                            "strBus_Volt1=\"Spannung 1: \"\r\n"
                            "[WavefromMenu1]\r\n"
                            "strWaveformMenu1Item8=ODER-Muster \xE2\x86\x91\r\n"
                            "strWaveformMenu1Item9=OR Pattern \xA1\xF5\r\n"
                            "strWaveformMenu1Item10=\xA1\xF4\r\n"
                            "strWaveformMenu1Item11=\xF0\x9F\x91\x8D\xA1\r\n"
                            "[SetVoltage]\r\n"
                            "strStandard=Gr\xC3\xB6\xC3\x9F"
                            "e\r\n"
                            "strSetting=Gr\xF6\xDF"
                            "e\r\n"
                            "strUserDefine=\xED\xA0\x80\xC0\xAF\r\n");
    }

    TempFolder folder;
    std::string path;
};

struct ReadCase
{
    const char *section;
    const char *key;
    const char *text;
};

class FileTextRead : public FileText, public testing::WithParamInterface<ReadCase>
{
};

TEST_P(FileTextRead, ReadsTheFileElseTheDefault)
{
    const ReadCase &c = GetParam();
    const CLanguageFile file(path);
    ASSERT_TRUE(file.Exists());
    EXPECT_EQ(file.ReadText(c.section, c.key), c.text);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Keys, FileTextRead, testing::Values(
    // Names match without regard to case, in both directions.
    ReadCase{"Common", "strOKBtnCaption", "Jawohl"},
    ReadCase{"COMMON", "strokbtncaption", "Jawohl"},
    // A key with an empty value is present: the empty text, not the default.
    ReadCase{"Common", "strCancelBtnCaption", ""},
    // Missing key, missing section: the built-in text.
    ReadCase{"Common", "strON", "ON"},
    ReadCase{"Printer", "strPrint", "Print"},
    // Quotes keep the blank that a number is appended to.
    ReadCase{"Bus/TriggerEdit", "strBus_Volt1", "Spannung 1: "},
    // UTF-8 passes unchanged.
    ReadCase{"WavefromMenu1", "strWaveformMenu1Item8", "ODER-Muster \xE2\x86\x91"},
    ReadCase{"SetVoltage", "strStandard", "Gr\xC3\xB6\xC3\x9F" "e"},
    // Big5 arrows of an old 8-bit file become the Unicode arrows.
    ReadCase{"WavefromMenu1", "strWaveformMenu1Item9", "OR Pattern \xE2\x86\x93"},
    ReadCase{"WavefromMenu1", "strWaveformMenu1Item10", "\xE2\x86\x91"},
    // Any other stray byte becomes U+FFFD; valid sequences around it stay.
    ReadCase{"WavefromMenu1", "strWaveformMenu1Item11", "\xF0\x9F\x91\x8D\xEF\xBF\xBD"},
    ReadCase{"SetVoltage", "strSetting", "Gr\xEF\xBF\xBD\xEF\xBF\xBD" "e"},
    // Surrogates and overlong forms are not valid UTF-8.
    ReadCase{"SetVoltage", "strUserDefine",
             "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"}));
// clang-format on

TEST_F(FileText, ExplicitDefaultOnlyForMissingKeys)
{
    const CLanguageFile file(path);
    EXPECT_EQ(file.ReadText("Common", "strOKBtnCaption", "fallback"), "Jawohl");
    EXPECT_EQ(file.ReadText("Common", "strON", "fallback"), "fallback");
    EXPECT_EQ(file.ReadText("Nowhere", "strNothing"), "");
}

TEST(LanguageFile, ToUtf8KeepsValidTextAsItIs)
{
    for (const char *text :
         {"", "plain", "\xE2\x86\x91\xE2\x86\x93", "\xF4\x8F\xBF\xBF", "\xC2\x80", "\xEF\xBB\xBF"})
        EXPECT_EQ(CLanguageFile::ToUtf8(text), text);
    // Cut sequences at the end, lone continuation bytes, code points past U+10FFFF.
    EXPECT_EQ(CLanguageFile::ToUtf8("ab\xE2\x86"), "ab\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(CLanguageFile::ToUtf8("\x80"), "\xEF\xBF\xBD");
    EXPECT_EQ(CLanguageFile::ToUtf8("\xF4\x90\x80\x80"),
              "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(CLanguageFile::ToUtf8("\xA1"), "\xEF\xBF\xBD");
}

} // namespace
