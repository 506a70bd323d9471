#include "lang/WSysLanguage.h"
#include "lang/LanguageDefaults.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(WSysLanguage, HoldsTheMainWindowsTextsEachOnce)
{
    std::set<std::string> keys;
    for (int i = 0; i < WSysLanguage::Count; ++i) {
        const auto id = static_cast<WSysLanguage::Id>(i);
        const auto *entry =
            LanguageDefaults::Find(WSysLanguage::Section(id), WSysLanguage::Key(id));
        ASSERT_NE(entry, nullptr) << WSysLanguage::Section(id) << "/" << WSysLanguage::Key(id);
        EXPECT_EQ(WSysLanguage::Default(id), entry->Text);
        EXPECT_TRUE(keys.emplace(WSysLanguage::Key(id)).second) << WSysLanguage::Key(id);
    }
    EXPECT_EQ(keys.size(), 112u);
}

struct SlotCase
{
    WSysLanguage::Id id;
    const char *section;
    const char *key;
    const char *text;
};

class MainText : public testing::TestWithParam<SlotCase>
{
};

TEST_P(MainText, BuiltInTextByName)
{
    const SlotCase &c = GetParam();
    const WSysLanguage texts;
    EXPECT_EQ(WSysLanguage::Section(c.id), c.section);
    EXPECT_EQ(WSysLanguage::Key(c.id), c.key);
    EXPECT_EQ(texts[c.id], c.text);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Slots, MainText, testing::Values(
    SlotCase{WSysLanguage::strButton1Caption, "Interface", "strButton1Caption", "Delay"},
    SlotCase{WSysLanguage::strCursorMenuItem1, "CursorMenu", "strCursorMenuItem1", "Delete"},
    SlotCase{WSysLanguage::strWaveformMenu2Item1, "WavefromMenu2", "strWaveformMenu2Item1",
             "GOTO..."},
    SlotCase{WSysLanguage::strRunMenu, "MainMenu", "strRunMenu", "Run/Stop"},
    SlotCase{WSysLanguage::strRunMenuItem3, "Run/StopMenu", "strRunMenuItem3", "Single Run"},
    SlotCase{WSysLanguage::strCANHint, "Hint", "strCANHint", "CAN Protocol"},
    SlotCase{WSysLanguage::strWaveformMenu1Item11, "WavefromMenu1", "strWaveformMenu1Item11",
             "\xE2\x86\x93"},
    SlotCase{WSysLanguage::strLanguageChange, "WarningString", "strLanguageChange",
             "Please restart Tracemoor."},
    SlotCase{WSysLanguage::strMemPercent, "StatusBar", "strMemPercent", "Memory Percent : "}));
// clang-format on

TEST(WSysLanguage, LoadTakesTheFilesTextsAndDefaultsForTheRest)
{
    TempFolder folder;
    const std::string path = folder.Write("de.lang", "[MainMenu]\n"
                                                     "strFileMenu=Datei\n"
                                                     "[statusbar]\n"
                                                     "STRSAMPLERATE=\"Abtastrate: \"\n"
                                                     "[WarningString]\n"
                                                     "strLanguageChange=Bitte neu starten.\n"
                                                     "[Common]\n"
                                                     "strCursorMenuItem1=wrong section\n");
    const WSysLanguage texts(path);
    EXPECT_EQ(texts[WSysLanguage::strFileMenu], "Datei");
    EXPECT_EQ(texts[WSysLanguage::strSampleRate], "Abtastrate: ");
    EXPECT_EQ(texts[WSysLanguage::strLanguageChange], "Bitte neu starten.");
    EXPECT_EQ(texts[WSysLanguage::strCursorMenuItem1], "Delete");
    EXPECT_EQ(texts[WSysLanguage::strHelpMenu], "Help");

    int fromFile = 0;
    for (int i = 0; i < WSysLanguage::Count; ++i) {
        const auto id = static_cast<WSysLanguage::Id>(i);
        if (texts.Text(id) != WSysLanguage::Default(id))
            ++fromFile;
    }
    EXPECT_EQ(fromFile, 3);
}

TEST(WSysLanguage, MissingFileKeepsEveryBuiltInText)
{
    TempFolder folder;
    WSysLanguage texts(folder.Path() + "/absent.lang");
    const WSysLanguage builtIn;
    for (int i = 0; i < WSysLanguage::Count; ++i) {
        const auto id = static_cast<WSysLanguage::Id>(i);
        EXPECT_EQ(texts[id], builtIn[id]);
        EXPECT_EQ(texts[id], WSysLanguage::Default(id));
    }
    // Loading again replaces every text, not only those the new file holds.
    texts.Load(folder.Write("a.lang", "[Hint]\nstrRunHint=Los\n"));
    EXPECT_EQ(texts[WSysLanguage::strRunHint], "Los");
    texts.Load(folder.Write("b.lang", "[Hint]\nstrStopHint=Halt\n"));
    EXPECT_EQ(texts[WSysLanguage::strRunHint], "Run");
    EXPECT_EQ(texts[WSysLanguage::strStopHint], "Halt");
}

} // namespace
