// The main window's wiring of the UART, CAN and CPU Map pages: their tabs'
// places in the page control, the menu items and tool buttons that toggle
// them, and the language file System.ini names reaching the pages' texts.
// (The pages themselves: tests/protocols and tests/cpumap.)

#include "cpumap/CPUMapPage.h"
#include "protocols/UARTPage.h"
#include "protocols/WCAN_Core.h"
#include "protocols/WCAN_UI.h"
#include "tests/analyzer/AnalyzerWindowFixture.h"
#include "tests/protocols/CanPageLanguage.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

#include <filesystem>
#include <fstream>

namespace {

TEST(MainWindowPages, TheUartToolButtonAndMenuItemToggleItsTab)
{
    AnalyzerWindow w(5, Emulated(5));
    TForm1 &f = *w.form;
    const int tab = f.PageControl1->indexOf(f.Tab_UART);
    EXPECT_EQ(tab, 5);
    f.UARTButton->trigger();
    EXPECT_TRUE(f.PageControl1->isTabVisible(tab));
    EXPECT_EQ(f.PageControl1->currentIndex(), tab);
    EXPECT_TRUE(f.UART_Protocol->isChecked());
    EXPECT_TRUE(f.UARTButton->isChecked());
    EXPECT_EQ(f.UartPage->UART_ComboBox_Channel->count(), 16) << "the window's model";
    f.UART_Protocol->trigger();
    EXPECT_FALSE(f.PageControl1->isTabVisible(tab));
    EXPECT_EQ(f.PageControl1->currentIndex(), 0);
    EXPECT_FALSE(f.UARTButton->isChecked());
}

TEST(MainWindowPages, TheCanMenuItemAndToolButtonToggleItsTab)
{
    AnalyzerWindow w(8, Emulated(8));
    TForm1 &f = *w.form;
    f.CAN_Protocol->trigger();
    const int tab = f.PageControl1->indexOf(f.TabSheet6);
    EXPECT_EQ(tab, 4);
    EXPECT_EQ(f.PageControl1->currentIndex(), tab);
    EXPECT_TRUE(f.CANButton->isChecked());
    EXPECT_EQ(f.CanPage->ChannelList->count(), 32) << "the window's model";
    f.CANButton->trigger();
    EXPECT_FALSE(f.PageControl1->isTabVisible(tab));
    EXPECT_FALSE(f.CAN_Protocol->isChecked());
}

TEST(MainWindowPages, TheCpuMapToolButtonTogglesItsTab)
{
    AnalyzerWindow w(8, Emulated(8));
    TForm1 &f = *w.form;
    CPUMapPage &p = *f.CpuMapPage;
    const int tab = f.PageControl1->indexOf(f.Tab_CPU_Map);
    EXPECT_EQ(tab, 6);
    p.Map_Check[CCPU_Map::ROM1_R]->setChecked(false);
    f.btn_CPU_Map->trigger();
    EXPECT_TRUE(f.PageControl1->isTabVisible(tab));
    EXPECT_EQ(f.PageControl1->currentIndex(), tab);
    EXPECT_TRUE(f.btn_CPU_Map->isChecked());
    EXPECT_TRUE(p.Map_Check[CCPU_Map::ROM1_R]->isChecked()) << "showing the tab checks it";
    f.btn_CPU_Map->trigger();
    EXPECT_FALSE(f.PageControl1->isTabVisible(tab));
    EXPECT_EQ(f.PageControl1->currentIndex(), 0);
    EXPECT_FALSE(f.btn_CPU_Map->isChecked());
}

// The pages read the window's own capture, timed by its waveform view and
// trigger cursor, and report in its message boxes.
TEST(MainWindowPages, TheUartPageDecodesTheWindowsCapture)
{
    AnalyzerWindow w(5, Emulated(5, "scene=uart,text=Hi!,baud=9600,gap=2000,framingerror=2"));
    CFile &s = w.Settings();
    s.TriggerType = 5;
    s.PulseChannel = 4;
    s.PulsePolarity = 0;
    s.PulseCompare = 2;
    s.PulseUnit = 2;
    s.PulseWhole = 1500;
    s.MemoryDepthIndex = 5;
    s.MemoryPercent = 1;
    w.form->DivComboBox->setCurrentIndex(10);
    w.form->DivComboBoxChange();
    w.form->SingleRunButton->trigger();
    ASSERT_TRUE(w.WaitIdle());
    ASSERT_EQ(w.Record().CaptureValid, 1);
    UARTPage &p = *w.form->UartPage;
    w.form->UARTButton->trigger();
    p.UART_ComboBox_Channel->setCurrentIndex(4);
    p.TextModeItems->button(1)->setChecked(true); // Both
    p.UART_Start->click();
    const QAbstractItemModel *rows = p.UART_DataGrid->model();
    ASSERT_GE(rows->rowCount(), 4);
    EXPECT_EQ(rows->index(0, 1).data().toString(), "H   (0x48)");
    EXPECT_EQ(rows->index(1, 3).data().toString(), "Packet Error");
    EXPECT_TRUE(w.Messages().isEmpty());

    p.UART_ComboBox_Baudrate->setCurrentIndex(WUART::CustomIndex);
    p.UART_Edit_CustomBaud->setText("abc");
    p.UART_Start->click();
    ASSERT_EQ(w.Messages().size(), 1);
    EXPECT_TRUE(w.Messages().front().contains("is no baud rate"));
}

TEST(MainWindowPages, TheCpuMapTellsOfTheWindowsModelLackingItsChannels)
{
    AnalyzerWindow w(5, Emulated(5, "scene=cpu,clock=1000000"));
    w.form->SingleRunButton->trigger();
    ASSERT_TRUE(w.WaitIdle());
    w.form->btn_CPU_Map->trigger();
    w.form->CpuMapPage->Map_Btn_Start->click();
    ASSERT_EQ(w.Messages().size(), 1);
    EXPECT_TRUE(w.Messages().front().startsWith("This model has 16 channels"));
}

TEST(MainWindowPages, TheCanPageTakesItsTextsFromTheWindowsLanguageFile)
{
    AnalyzerTestFolder folder;
    std::ofstream(folder.File("System.ini"))
        << "[Language]\nFile=test_XX.lang\n[History]\nLastFile=\n[Model]\nHost=1\n";
    std::filesystem::create_directories(folder.Path() / "Language");
    std::ofstream(folder.Path() / "Language" / "test_XX.lang", std::ios::binary) << CanTestLanguage;
    DeviceEnvironment demo("demo");
    TForm1 form(nullptr, folder.File("System.ini"));
    const WCAN_UI &p = *form.CanPage;
    ExpectCanTestLanguage(p);
}

} // namespace
