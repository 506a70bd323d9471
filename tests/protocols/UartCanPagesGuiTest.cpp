// The UART and CAN pages over captures of the emulated instrument: the tab
// toggles, the settings rules, Start filling the grid through its model,
// the marks, the messages and the CSV export.

#include "analyzer/TForm1.h"
#include "protocols/UARTPage.h"
#include "protocols/WCAN_Core.h"
#include "protocols/WCAN_UI.h"
#include "tests/analyzer/AnalyzerWindowFixture.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// One capture on the window: triggered on the first start bit after the
// scene's pause (a high pulse longer than `pulseUs` on `channel`).
void Capture(AnalyzerWindow &w, int row, int depthIndex, int channel, uint16_t pulseUs)
{
    CFile &s = w.Settings();
    s.TriggerType = 5;
    s.PulseChannel = static_cast<uint8_t>(channel);
    s.PulsePolarity = 0;
    s.PulseCompare = 2;
    s.PulseUnit = 2;
    s.PulseWhole = pulseUs;
    s.MemoryDepthIndex = static_cast<int16_t>(depthIndex);
    s.MemoryPercent = 1;
    w.form->DivComboBox->setCurrentIndex(row);
    w.form->DivComboBoxChange();
    w.form->SingleRunButton->trigger();
    ASSERT_TRUE(w.WaitIdle());
    ASSERT_EQ(w.Record().CaptureValid, 1);
}

QString Cell(const QTableView *grid, int row, int column)
{
    return grid->model()->index(row, column).data().toString();
}

std::string ReadFile(const QString &path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(UartPage, TheToolButtonTogglesTheTab)
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
    f.UART_Protocol->trigger();
    EXPECT_FALSE(f.PageControl1->isTabVisible(tab));
    EXPECT_EQ(f.PageControl1->currentIndex(), 0);
    EXPECT_FALSE(f.UARTButton->isChecked());
}

TEST(UartPage, EightDataBitsTakeNoParityAndDefaultRestoresEverything)
{
    AnalyzerWindow w(5, Emulated(5));
    UARTPage &p = *w.form->UartPage;
    w.form->UARTButton->trigger();
    EXPECT_EQ(p.UART_ComboBox_Channel->count(), 16);
    EXPECT_EQ(p.UART_ComboBox_Channel->itemText(4), "CH4  [CH04]");

    p.UART_ComboBox_Databit->setCurrentIndex(2); // 7
    p.UART_ComboBox_Paritybit->setCurrentIndex(2);
    emit p.UART_ComboBox_Paritybit->activated(2);
    EXPECT_EQ(p.UART_ComboBox_Paritybit->currentText(), "Even");
    p.UART_ComboBox_Databit->setCurrentIndex(3); // 8
    emit p.UART_ComboBox_Databit->activated(3);
    EXPECT_EQ(p.UART_ComboBox_Paritybit->currentText(), "None");
    p.UART_ComboBox_Paritybit->setCurrentIndex(1);
    emit p.UART_ComboBox_Paritybit->activated(1);
    EXPECT_EQ(p.UART_ComboBox_Paritybit->currentText(), "None");

    p.UART_ComboBox_Channel->setCurrentIndex(7);
    p.UART_ComboBox_Baudrate->setCurrentIndex(2);
    p.UART_ComboBox_Stopbit->setCurrentIndex(1);
    p.TextModeItems->button(2)->setChecked(true);
    p.DataSourceItems->button(1)->setChecked(true);
    p.UART_Default->click();
    EXPECT_EQ(p.UART_ComboBox_Channel->currentIndex(), 0);
    EXPECT_EQ(p.UART_ComboBox_Baudrate->currentText(), "9600");
    EXPECT_EQ(p.UART_ComboBox_Databit->currentText(), "8");
    EXPECT_EQ(p.UART_ComboBox_Stopbit->currentText(), "1");
    EXPECT_EQ(p.TextModeItems->checkedId(), 0);
    EXPECT_EQ(p.DataSourceItems->checkedId(), 0);
    EXPECT_EQ(p.DataDirItems->checkedId(), 0);
}

TEST(UartPage, StartListsTheFramesAndExportWritesThemAsCsv)
{
    AnalyzerWindow w(5, Emulated(5, "scene=uart,text=Hi!,baud=9600,gap=2000,framingerror=2"));
    Capture(w, 10, 5, 4, 1500);
    UARTPage &p = *w.form->UartPage;
    w.form->UARTButton->trigger();
    p.UART_ComboBox_Channel->setCurrentIndex(4);
    p.TextModeItems->button(1)->setChecked(true); // Both
    p.UART_Start->click();

    const QTableView *grid = p.UART_DataGrid;
    ASSERT_GE(grid->model()->rowCount(), 4);
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "Packet");
    EXPECT_EQ(Cell(grid, 0, 1), "H   (0x48)");
    EXPECT_EQ(Cell(grid, 1, 3), "Packet Error");
    EXPECT_EQ(Cell(grid, 2, 1), "!   (0x21)");
    EXPECT_EQ(Cell(grid, 3, 0), "4");
    EXPECT_FALSE(grid->model()->index(0, 3).data(Qt::ForegroundRole).isValid());
    EXPECT_TRUE(grid->model()->index(1, 3).data(Qt::ForegroundRole).isValid()) << "marked";
    EXPECT_TRUE(w.Messages().isEmpty());
    KeepScreenshot(*w.form, "uart-page.png");

    const QString path = QString::fromStdString(w.folder.File("uart.csv"));
    p.ChooseExportFile = [path] { return path; };
    p.UART_Export->click();
    const std::string csv = ReadFile(path);
    EXPECT_EQ(csv.rfind("Packet,Data,Parity,Status,Start Time\r\n1,H   (0x48),None,Packet OK,", 0),
              0u)
        << csv;
    EXPECT_EQ(csv, p.ExportText());
}

TEST(UartPage, ABaudRateTooFastForTheSamplePeriodIsToldNotDecoded)
{
    AnalyzerWindow w(5, Emulated(5, "scene=uart,text=Hi!,baud=9600,gap=2000"));
    Capture(w, 13, 5, 4, 1500); // 10 us per sample
    UARTPage &p = *w.form->UartPage;
    w.form->UARTButton->trigger();
    p.UART_ComboBox_Channel->setCurrentIndex(4);
    p.UART_ComboBox_Baudrate->setCurrentIndex(17); // 128000
    p.UART_Start->click();
    EXPECT_EQ(p.UART_DataGrid->model()->rowCount(), 0);
    ASSERT_EQ(w.Messages().size(), 1);
    EXPECT_TRUE(w.Messages().front().startsWith("At this sample rate a bit of 128000 baud"));
}

// 921600 baud is no rate of the list: "Custom" takes it, at 100 ns per
// sample (10.85 samples per bit); a text that is no whole number of baud in
// 50 .. 10,000,000 is refused with a message and decodes nothing.
TEST(UartPage, ACustomBaudRateDecodesAndOtherTextsAreRefused)
{
    AnalyzerWindow w(5, Emulated(5, "scene=uart,text=Hi!,baud=921600,gap=100"));
    Capture(w, 7, 5, 4, 50);
    UARTPage &p = *w.form->UartPage;
    w.form->UARTButton->trigger();
    p.UART_ComboBox_Channel->setCurrentIndex(4);
    EXPECT_FALSE(p.UART_Edit_CustomBaud->isEnabled());
    p.UART_ComboBox_Baudrate->setCurrentIndex(WUART::CustomIndex);
    EXPECT_EQ(p.UART_ComboBox_Baudrate->currentText(), "Custom");
    EXPECT_TRUE(p.UART_Edit_CustomBaud->isEnabled());
    p.UART_Edit_CustomBaud->setText("921600");
    p.UART_Start->click();
    const QTableView *grid = p.UART_DataGrid;
    ASSERT_GE(grid->model()->rowCount(), 3);
    EXPECT_EQ(Cell(grid, 0, 1), "H");
    EXPECT_EQ(Cell(grid, 1, 1), "i");
    EXPECT_EQ(Cell(grid, 2, 1), "!");
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        EXPECT_EQ(Cell(grid, r, 3), "Packet OK") << r;
    EXPECT_TRUE(w.Messages().isEmpty());
    KeepScreenshot(*w.form, "uart-page-custom-baud.png");

    const int rows = grid->model()->rowCount();
    for (const char *bad : {"abc", "49", "10000001", "9600.5", ""}) {
        p.UART_Edit_CustomBaud->setText(bad);
        p.UART_Start->click();
        ASSERT_FALSE(w.Messages().isEmpty()) << bad;
        EXPECT_TRUE(w.Messages().back().contains("is no baud rate: enter a whole number from 50 "
                                                 "to 10000000."))
            << w.Messages().back().toStdString();
        EXPECT_EQ(grid->model()->rowCount(), rows) << "the last rows stay";
    }
    p.UART_Default->click();
    EXPECT_EQ(p.UART_ComboBox_Baudrate->currentText(), "9600");
    EXPECT_FALSE(p.UART_Edit_CustomBaud->isEnabled());
}

TEST(CanPage, TogglesBuildsItsTextsAndDefaults)
{
    AnalyzerWindow w(8, Emulated(8));
    TForm1 &f = *w.form;
    WCAN_UI &p = *f.CanPage;
    f.CAN_Protocol->trigger();
    const int tab = f.PageControl1->indexOf(f.TabSheet6);
    EXPECT_EQ(tab, 4);
    EXPECT_EQ(f.PageControl1->currentIndex(), tab);
    EXPECT_TRUE(f.CANButton->isChecked());
    EXPECT_EQ(p.ChannelList->count(), 32);
    EXPECT_EQ(p.BaudRateList->count(), 26);
    EXPECT_EQ(p.BaudRateList->currentText(), "125,000");
    EXPECT_EQ(p.ExtensionItems->checkedButton()->text(), "Dispaly");
    EXPECT_EQ(p.ChannelLabel->text(), "Dominant High");
    const QStringList headers{"BasicID", "ExtendedID", "RTR", "IDE",   "Ctrl Field",
                              "Data",    "CRC",        "ACK", "Status"};
    for (int c = 0; c < headers.size(); ++c)
        EXPECT_EQ(p.FrameGrid->model()->headerData(c, Qt::Horizontal).toString(), headers[c]);

    p.ChannelList->setCurrentIndex(9);
    emit p.ChannelList->activated(9);
    f.PageControl1->setCurrentIndex(0);
    f.PageControl1->setCurrentIndex(tab);
    EXPECT_EQ(p.ChannelList->currentIndex(), 9) << "the list is rebuilt, the choice kept";
    p.ExtensionItems->button(0)->setChecked(true);
    p.BaudRateList->setCurrentIndex(3);
    p.DefaultButton->click();
    EXPECT_EQ(p.ChannelList->currentIndex(), 0);
    EXPECT_EQ(p.BaudRateList->currentIndex(), WCAN_Core::DefaultRateIndex);
    EXPECT_EQ(p.ExtensionItems->checkedId(), 1);
    f.CANButton->trigger();
    EXPECT_FALSE(f.PageControl1->isTabVisible(tab));
    EXPECT_FALSE(f.CAN_Protocol->isChecked());
}

TEST(CanPage, TakesItsTextsFromTheLanguageFile)
{
    AnalyzerTestFolder folder;
    std::ofstream(folder.File("System.ini"))
        << "[Language]\nFile=test_XX.lang\n[History]\nLastFile=\n[Model]\nHost=1\n";
    std::filesystem::create_directories(folder.Path() / "Language");
    std::ofstream(folder.Path() / "Language" / "test_XX.lang", std::ios::binary)
        << "[Language]\nText=Testish\nFileName=test_XX.lang\nCheckSum=19\n"
           "[CAN]\nstrChannelSelectLabel1=Dominant hoch\nstrCRC=Pruefsumme\nstrStatus=Zustand\n"
           "strExtensionItem2=Zeigen\n[Common]\nstrStartBtnCaption=Los\n";
    DeviceEnvironment demo("demo");
    TForm1 form(nullptr, folder.File("System.ini"));
    const WCAN_UI &p = *form.CanPage;
    EXPECT_EQ(p.ChannelLabel->text(), "Dominant hoch");
    EXPECT_EQ(p.StartButton->text(), "Los");
    EXPECT_EQ(p.DefaultButton->text(), "Default") << "a missing key gives the default";
    EXPECT_EQ(p.ExtensionItems->button(1)->text(), "Zeigen");
    const QAbstractItemModel *rows = p.FrameGrid->model();
    EXPECT_EQ(rows->headerData(WCAN_Core::BasicId, Qt::Horizontal).toString(), "BasicID");
    EXPECT_EQ(rows->headerData(WCAN_Core::Crc, Qt::Horizontal).toString(), "Pruefsumme");
    EXPECT_EQ(rows->headerData(WCAN_Core::Status, Qt::Horizontal).toString(), "Zustand");
}

TEST(CanPage, StartMarksAWrongCrcAndHidesTheExtendedIdOnRequest)
{
    AnalyzerWindow w(8, Emulated(8, "scene=can,ext,id=0x1ABCDEF,data=00112233445566778899,"
                                    "crcerror=2,bitrate=125000,gap=300"));
    Capture(w, 8, 5, 5, 200);
    WCAN_UI &p = *w.form->CanPage;
    w.form->CANButton->trigger();
    p.ChannelList->setCurrentIndex(5);
    p.StartButton->click();
    const QTableView *grid = p.FrameGrid;
    ASSERT_GE(grid->model()->rowCount(), 2);
    EXPECT_EQ(Cell(grid, 0, WCAN_Core::ExtendedId), "3CDEF");
    EXPECT_EQ(Cell(grid, 0, WCAN_Core::Status), "OK");
    EXPECT_EQ(Cell(grid, 1, WCAN_Core::Status), "CRC Error");
    EXPECT_FALSE(Cell(grid, 1, WCAN_Core::Crc).isEmpty()) << "the received CRC stays shown";
    EXPECT_TRUE(grid->model()->index(1, 0).data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(grid->model()->index(0, 0).data(Qt::BackgroundRole).isValid());
    KeepScreenshot(*w.form, "can-page-crc-error.png");

    p.ExtensionItems->button(0)->setChecked(true); // Hide
    p.StartButton->click();
    EXPECT_EQ(Cell(grid, 0, WCAN_Core::ExtendedId), "");
    EXPECT_EQ(Cell(grid, 0, WCAN_Core::BasicId), "06A");
}

} // namespace
