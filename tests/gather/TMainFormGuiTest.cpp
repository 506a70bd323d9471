// Gathermoor's window on the offscreen platform, which has no notification
// area: the texts, the notice, the tray menu's commands, and a capture run by
// the window's own timers. With TRACEMOOR_SCREENSHOTS set, the window and its
// tray menu are kept as pictures.
#include "gather/TMainForm.h"

#include "../analyzer/AnalyzerTestFolder.h"
#include "device/EmulatedDriver.h"
#include "device/EmulatorConfig.h"
#include "ui/AppMessage.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

void KeepPicture(QWidget &widget, const char *name)
{
    const QString folder = qEnvironmentVariable("TRACEMOOR_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QTest::qWait(50);
    widget.grab().save(QDir(folder).filePath(QLatin1String(name)));
}

class GatherWindow : public testing::Test
{
protected:
    GatherWindow()
    {
        AppMessage::SetHandler([this](AppMessage::Kind, const QString &, const QString &text) {
            messages << text;
            return true;
        });
        form = std::make_unique<TMainForm>(
            folder.File("System.txt"),
            std::make_unique<EmulatedDriver>(*EmulatorConfig::Parse("model=3,scene=counter")));
        form->Control().Capture().Pauses = false;
        form->show();
    }
    ~GatherWindow() override { AppMessage::SetHandler({}); }

    AnalyzerTestFolder folder;
    QStringList messages;
    std::unique_ptr<TMainForm> form;
};

TEST_F(GatherWindow, ShowsItsTextsAndSaysOnceThatThereIsNoNotificationArea)
{
    EXPECT_EQ(form->windowTitle(), "Data Acquisition");
    EXPECT_EQ(form->PageControl->tabText(0), "Over View");
    EXPECT_FALSE(form->PageControl->isTabVisible(1));
    EXPECT_EQ(form->PageControl->tabText(1), "Properties");
    EXPECT_EQ(form->CheckBox_AutoRestart->text(), "Auto Restart");
    EXPECT_EQ(form->findChild<QLabel *>("SLabel_FilePath")->text(), "Parameter Input :");
    EXPECT_EQ(form->findChild<QLabel *>("SLabel_DataPath")->text(), "Data Output     :");
    EXPECT_EQ(form->SLabel_FilePathResult->text(), "Click here to select file path");
    EXPECT_EQ(form->SLabel_DataPathResult->text(), "Click here to select data path");
    EXPECT_EQ(form->SLabel_DataPathResult->toolTip(), "Click to change file path");
    EXPECT_EQ(form->btn_OK->text(), "Execute");
    EXPECT_EQ(form->btn_Exit->text(), "Exit");
    QStringList items;
    for (QAction *a : form->TrayIconPopMenu->actions())
        items << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(items.join('|'), "ShowMainWindow|-|Auto Restart|Start|Break|Force Trigger|-|Exit");

    ASSERT_FALSE(form->TrayAvailable());
    EXPECT_TRUE(form->NoticeLabel->isVisibleTo(form.get()));
    EXPECT_TRUE(messages.isEmpty()) << "said in the window, not in a box";
    form->btn_OKClick();
    EXPECT_EQ(messages, QStringList{"File is not exist "});
}

TEST_F(GatherWindow, ExecuteWatchesAndTheTimersCapture)
{
    const std::string param = folder.File("param.txt");
    const std::string data = folder.File("out.bin");
    std::ofstream(param) << "[Setting]\nAutoRestart=Yes\n[Files]\nDataPath=" << data
                         << "\n[Property]\nSampleRate=1MHZ\nDelayTime=0US\nVolt1=0\n";
    form->ExecuteFile(QString::fromStdString(param));
    EXPECT_EQ(form->SLabel_FilePathResult->text().toStdString(), param);
    EXPECT_EQ(form->SLabel_DataPathResult->text().toStdString(), data);
    EXPECT_TRUE(form->CheckBox_AutoRestart->isChecked());
    EXPECT_TRUE(form->TrayIconPopMenu_AutoRestart->isChecked());
    EXPECT_FALSE(form->TrayIconPopMenu_Start->isEnabled());
    EXPECT_TRUE(form->Control().Watching());
    QTRY_VERIFY_WITH_TIMEOUT(form->Control().DataFilesWritten() == 1, 20000);
    EXPECT_EQ(std::filesystem::file_size(data), 28u + 0x80000u);
    EXPECT_TRUE(form->Control().Watching()) << "Auto Restart";
    EXPECT_EQ(form->IconSet(), 1);

    form->TrayIconPopMenu_Stop->trigger();
    EXPECT_FALSE(form->Control().Watching());
    EXPECT_EQ(messages, QStringList{"Data Acquisition is terminated."});

    form->CheckBox_AutoRestart->click();
    EXPECT_FALSE(form->TrayIconPopMenu_AutoRestart->isChecked());
    EXPECT_TRUE(form->TrayIconPopMenu_Start->isEnabled());
    form->showNormal();
    KeepPicture(*form, "gathermoor-window.png");
    form->TrayIconPopMenu->popup(form->mapToGlobal(QPoint(40, 40)));
    KeepPicture(*form->TrayIconPopMenu, "gathermoor-tray-menu.png");
    form->TrayIconPopMenu->hide();
}

} // namespace
