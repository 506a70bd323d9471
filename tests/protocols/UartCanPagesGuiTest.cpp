// The UART and CAN pages over a host of their own and captures of the
// emulated instrument: the tab toggles, the settings rules, Start filling
// the grid through its model, the marks, the messages and the CSV export.
// (The main window's menu items and tool buttons: tests/analyzer.)

#include "protocols/UARTPage.h"
#include "protocols/WCAN_Core.h"
#include "protocols/WCAN_UI.h"
#include "tests/analyzer/AnalyzerTestFolder.h"
#include "tests/protocols/CanPageLanguage.h"
#include "tests/protocols/PageHostFake.h"
#include "ui/UiText.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

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

// The page keeps its tab, menu item and tool button in step; shown, it is
// selected, hidden, the first page.
TEST(UartPage, TogglingShowsAndHidesItsTab)
{
    PageHostFake host(5);
    UARTPage p(host, host.Tab());
    p.UARTButtonClick();
    EXPECT_TRUE(host.Pages->isTabVisible(PageHostFake::PageTab));
    EXPECT_EQ(host.Pages->currentIndex(), PageHostFake::PageTab);
    EXPECT_TRUE(host.MenuItem.isChecked());
    EXPECT_TRUE(host.Button.isChecked());
    p.UARTButtonClick();
    EXPECT_FALSE(host.Pages->isTabVisible(PageHostFake::PageTab));
    EXPECT_EQ(host.Pages->currentIndex(), 0);
    EXPECT_FALSE(host.MenuItem.isChecked());
    EXPECT_FALSE(host.Button.isChecked());
}

TEST(UartPage, EightDataBitsTakeNoParityAndDefaultRestoresEverything)
{
    PageHostFake host(5);
    UARTPage p(host, host.Tab());
    p.UARTButtonClick();
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
    PageHostFake host(5, "scene=uart,text=Hi!,baud=9600,gap=2000,framingerror=2");
    host.CaptureAfterPause(10, 5, 4, 1500);
    UARTPage p(host, host.Tab());
    p.UARTButtonClick();
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
    EXPECT_TRUE(host.Messages().isEmpty());
    KeepScreenshot(host.window, "uart-page.png");

    AnalyzerTestFolder folder;
    const QString path = QString::fromStdString(folder.File("uart.csv"));
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
    PageHostFake host(5, "scene=uart,text=Hi!,baud=9600,gap=2000");
    host.CaptureAfterPause(13, 5, 4, 1500); // 10 us per sample
    UARTPage p(host, host.Tab());
    p.UARTButtonClick();
    p.UART_ComboBox_Channel->setCurrentIndex(4);
    p.UART_ComboBox_Baudrate->setCurrentIndex(17); // 128000
    p.UART_Start->click();
    EXPECT_EQ(p.UART_DataGrid->model()->rowCount(), 0);
    ASSERT_EQ(host.Messages().size(), 1);
    EXPECT_TRUE(host.Messages().front().startsWith("At this sample rate a bit of 128000 baud"));
}

// 921600 baud is no rate of the list: "Custom" takes it, at 100 ns per
// sample (10.85 samples per bit); a text that is no whole number of baud in
// 50 .. 10,000,000 is refused with a message and decodes nothing.
TEST(UartPage, ACustomBaudRateDecodesAndOtherTextsAreRefused)
{
    PageHostFake host(5, "scene=uart,text=Hi!,baud=921600,gap=100");
    host.CaptureAfterPause(7, 5, 4, 50);
    UARTPage p(host, host.Tab());
    p.UARTButtonClick();
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
    EXPECT_TRUE(host.Messages().isEmpty());
    KeepScreenshot(host.window, "uart-page-custom-baud.png");

    const int rows = grid->model()->rowCount();
    for (const char *bad : {"abc", "49", "10000001", "9600.5", ""}) {
        p.UART_Edit_CustomBaud->setText(bad);
        p.UART_Start->click();
        ASSERT_FALSE(host.Messages().isEmpty()) << bad;
        EXPECT_TRUE(host.Messages().back().contains("is no baud rate: enter a whole number from "
                                                    "50 to 10000000."))
            << host.Messages().back().toStdString();
        EXPECT_EQ(grid->model()->rowCount(), rows) << "the last rows stay";
    }
    p.UART_Default->click();
    EXPECT_EQ(p.UART_ComboBox_Baudrate->currentText(), "9600");
    EXPECT_FALSE(p.UART_Edit_CustomBaud->isEnabled());
}

TEST(CanPage, TogglesBuildsItsTextsAndDefaults)
{
    PageHostFake host(8);
    WCAN_UI p(host, host.Tab());
    p.CANButtonClick();
    const int tab = PageHostFake::PageTab;
    EXPECT_TRUE(host.Pages->isTabVisible(tab));
    EXPECT_EQ(host.Pages->currentIndex(), tab);
    EXPECT_TRUE(host.MenuItem.isChecked());
    EXPECT_TRUE(host.Button.isChecked());
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
    host.Pages->setCurrentIndex(0);
    host.Pages->setCurrentIndex(tab);
    EXPECT_EQ(p.ChannelList->currentIndex(), 9) << "the list is rebuilt, the choice kept";
    p.ExtensionItems->button(0)->setChecked(true);
    p.BaudRateList->setCurrentIndex(3);
    p.DefaultButton->click();
    EXPECT_EQ(p.ChannelList->currentIndex(), 0);
    EXPECT_EQ(p.BaudRateList->currentIndex(), WCAN_Core::DefaultRateIndex);
    EXPECT_EQ(p.ExtensionItems->checkedId(), 1);
    p.CANButtonClick();
    EXPECT_FALSE(host.Pages->isTabVisible(tab));
    EXPECT_EQ(host.Pages->currentIndex(), 0);
    EXPECT_FALSE(host.MenuItem.isChecked());
    EXPECT_FALSE(host.Button.isChecked());
}

// The texts come from the active language file, read when the page is built.
TEST(CanPage, TakesItsTextsFromTheLanguageFile)
{
    AnalyzerTestFolder folder;
    const std::string language = folder.File("test_XX.lang");
    std::ofstream(language, std::ios::binary) << CanTestLanguage;
    const std::string before = UiText::LanguageFile();
    UiText::SetLanguageFile(language);
    PageHostFake host(8);
    const WCAN_UI p(host, host.Tab());
    UiText::SetLanguageFile(before);
    ExpectCanTestLanguage(p);
}

TEST(CanPage, StartMarksAWrongCrcAndHidesTheExtendedIdOnRequest)
{
    PageHostFake host(8, "scene=can,ext,id=0x1ABCDEF,data=00112233445566778899,"
                         "crcerror=2,bitrate=125000,gap=300");
    host.CaptureAfterPause(8, 5, 5, 200);
    WCAN_UI p(host, host.Tab());
    p.CANButtonClick();
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
    KeepScreenshot(host.window, "can-page-crc-error.png");

    p.ExtensionItems->button(0)->setChecked(true); // Hide
    p.StartButton->click();
    EXPECT_EQ(Cell(grid, 0, WCAN_Core::ExtendedId), "");
    EXPECT_EQ(Cell(grid, 0, WCAN_Core::BasicId), "06A");
}

} // namespace
