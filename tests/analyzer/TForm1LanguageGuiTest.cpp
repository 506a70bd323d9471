#include "AnalyzerGuiHelpers.h"
#include "AnalyzerTestFolder.h"

#include "analyzer/TDeviceSelectForm.h"
#include "analyzer/TForm1.h"
#include "analyzer/TForm1StatusBar.h"
#include "files/CIniFile.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

void WriteText(const std::filesystem::path &path, const std::string &text)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A program folder with System.ini and three language files: the active
// "Testish", a second valid one and one whose check sum is wrong.
class LanguageFolder : public testing::Test
{
protected:
    void SetUp() override
    {
        WriteText(folder.Path() / "System.ini", "[Language]\nFile=test_XX.lang\n"
                                                "[History]\nLastFile=\n[Model]\nHost=1\n");
        WriteText(folder.Path() / "Language" / "test_XX.lang",
                  "[Language]\nText=Testish\nFileName=test_XX.lang\nCheckSum=19\n"
                  "[MainMenu]\nstrFileMenu=Datei\n[Hint]\nstrRunHint=Starten\n"
                  "[Interface]\nstrModeWaveform=Signale\n"
                  "[StatusBar]\nstrSampleRate=Rate: \n"
                  "[WarningString]\nstrSelDevice=Kein Gerät.\nstrLanguageChange=Neu starten.\n"
                  "[SelectDevice]\nstrCaption=Modellwahl\n[Common]\nstrOKBtnCaption=Gut\n");
        WriteText(folder.Path() / "Language" / "other.lang",
                  "[Language]\nText=Other\nFileName=other.lang\nCheckSum=15\n");
        WriteText(folder.Path() / "Language" / "broken.lang",
                  "[Language]\nText=Broken\nFileName=broken.lang\nCheckSum=3\n");
    }

    AnalyzerTestFolder folder;
};

TEST_F(LanguageFolder, TheMainWindowShowsTheActiveFilesTexts)
{
    qputenv("TRACEMOOR_DEVICE", "demo");
    TForm1 form(nullptr, folder.File("System.ini"));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    qunsetenv("TRACEMOOR_DEVICE");

    EXPECT_EQ(form.File1->title(), "Datei");
    EXPECT_EQ(form.RunButton->toolTip(), "Starten");
    EXPECT_EQ(form.PageControl1->tabText(0), "Signale");
    EXPECT_EQ(form.combo_Device->currentText(), "Kein Gerät.");
    // Values are trimmed: "Rate:" directly followed by the period.
    EXPECT_TRUE(form.StatusBar->PanelText(0).startsWith("Rate:4nS"))
        << form.StatusBar->PanelText(0).toStdString();
    // Keys the file lacks keep their English texts.
    EXPECT_EQ(form.View1->title(), "View");
    EXPECT_EQ(form.StopButton->toolTip(), "Stop");
}

TEST_F(LanguageFolder, TheLanguageMenuListsValidFilesAndPickingOneAsksForARestart)
{
    qputenv("TRACEMOOR_DEVICE", "demo");
    TForm1 form(nullptr, folder.File("System.ini"));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    qunsetenv("TRACEMOOR_DEVICE");

    QStringList captions;
    QList<bool> checked;
    for (QAction *a : form.Language1->actions()) {
        captions << a->text();
        checked << a->isChecked();
    }
    EXPECT_EQ(captions, QStringList({"Other", "Testish"}));
    EXPECT_EQ(checked, QList<bool>({false, true}));

    MessageRecorder messages;
    form.Language1->actions()[0]->trigger();
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Neu starten.");
    const CIniFile ini(folder.File("System.ini"));
    EXPECT_EQ(ini.ReadString("Language", "File", ""), "other.lang");
    EXPECT_TRUE(form.Language1->actions()[0]->isChecked());
    EXPECT_FALSE(form.Language1->actions()[1]->isChecked());
    // Nothing changes before the next start.
    EXPECT_EQ(form.File1->title(), "Datei");
}

TEST_F(LanguageFolder, TheModelSelectionReadsItsTextsWhenShown)
{
    qunsetenv("TRACEMOOR_DEVICE");
    TForm1 form(nullptr, folder.File("System.ini"));
    QString caption;
    QString ok;
    ModalAnswerer answer([&](QWidget *w) {
        auto *select = qobject_cast<TDeviceSelectForm *>(w);
        ASSERT_NE(select, nullptr);
        caption = select->windowTitle();
        ok = select->OK_btn->text();
        select->OK_btn->click();
    });
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(answer.Seen(), 1);
    EXPECT_EQ(caption, "Modellwahl");
    EXPECT_EQ(ok, "Gut");
}

} // namespace
