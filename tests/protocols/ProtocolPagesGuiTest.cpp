// The I2C and SPI pages in the main window over the emulated instrument's
// scenes: decoding, limits of the edits, Default, turning a page off and on,
// following a new capture, export, and (with TRACEMOOR_SCREENSHOTS) pictures.

#include "tests/analyzer/AnalyzerWindowFixture.h"

#include "display/CWaveform.h"
#include "protocols/ProtocolPageParts.h"
#include "protocols/ProtocolStrip.h"
#include "protocols/TRadioGroup.h"
#include "protocols/WSPI.h"
#include "protocols/wI2C_UI.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

QString Cell(QTableView *grid, int row, int column)
{
    return grid->model()->index(row, column).data().toString();
}

// Some row holds `text` in `column` (the record may begin inside a message).
bool HasRow(QTableView *grid, int column, const QString &text)
{
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        if (Cell(grid, row, column) == text)
            return true;
    return false;
}

// A single run of the emulated scene on model 5 at the time/div row given,
// the trigger on CH1 falling (an I2C START with CH0 high, or SS going low).
void Capture(AnalyzerWindow &w, int divRow, bool i2c)
{
    CFile &s = w.Settings();
    for (auto &row : s.TriggerCondition)
        row.fill(CFile::CondX);
    s.TriggerType = 1;
    s.TriggerCondition[0][1] = CFile::CondFall;
    if (i2c)
        s.TriggerCondition[0][0] = CFile::CondHigh;
    w.form->DivComboBox->setCurrentIndex(divRow);
    w.form->DivComboBoxChange();
    w.form->SingleRunButton->trigger();
    ASSERT_TRUE(w.WaitIdle());
    ASSERT_EQ(w.Record().CaptureValid, 1);
}

TEST(I2cPage, DecodesTheCaptureAndExportsItsRows)
{
    AnalyzerWindow w(5, Emulated(5, "scene=i2c,text=Hi,addr=0x50,clock=100000,gap=200"));
    Capture(w, 11, true);
    w.form->I2CButton->trigger();
    EXPECT_TRUE(w.form->PageControl1->isTabVisible(2));
    EXPECT_EQ(w.form->PageControl1->currentIndex(), 2);
    EXPECT_TRUE(w.form->I2C_Protocol->isChecked());
    wI2C_UI &page = *w.form->I2C_UI;
    page.I2C_Btn_Start->click();

    QTableView *grid = page.I2C_DataGrid;
    ASSERT_GE(grid->model()->rowCount(), 2);
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
        EXPECT_EQ(Cell(grid, row, 1), "SP");
        EXPECT_EQ(Cell(grid, row, 2), "50(h)");
        EXPECT_EQ(Cell(grid, row, 7), "48(h) 69(h) ");
    }
    EXPECT_EQ(grid->model()->headerData(7, Qt::Horizontal).toString(), "Data");
    ASSERT_EQ(page.I2C_AddressGrid->model()->rowCount(), 1);
    EXPECT_EQ(Cell(page.I2C_AddressGrid, 0, 0), "50(h)");
    // The strips show both lines: SDA in red somewhere on its row.
    bool red = false;
    for (int x = 20; x < ProtocolStrip::Columns && !red; ++x)
        red =
            page.Strip().Bitmap().Pixel(x, 40) == 255 || page.Strip().Bitmap().Pixel(x, 60) == 255;
    EXPECT_TRUE(red);
    KeepScreenshot(*w.form, "i2c-page.png");

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rows.csv"));
    ProtocolPageParts::ChooseExportFile = [&path](QWidget *) { return path; };
    page.I2C_Btn_Export->click();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    EXPECT_EQ(lines[0], "Packet,Status,Address,Msg. Time,Idle Time,Dir,Length,Data\r");
    EXPECT_TRUE(lines[1].startsWith("0,SP,50(h),")) << lines[1].toStdString();
    EXPECT_EQ(lines.size(), grid->model()->rowCount() + 2); // and the empty rest after CRLF
}

TEST(I2cPage, BitCountLimitsDefaultAndAnEmptyEdit)
{
    AnalyzerWindow w(5, Emulated(5, "scene=i2c,text=Hi,clock=100000"));
    wI2C_UI &page = *w.form->I2C_UI;
    page.I2C_Edit_Addr->setText(QStringLiteral("40"));
    EXPECT_EQ(page.I2C_Edit_Addr->text(), "32");
    page.I2C_Edit_Data->setText(QStringLiteral("0"));
    EXPECT_EQ(page.I2C_Edit_Data->text(), "1");
    EXPECT_EQ(w.Messages(),
              (QStringList{"Out of limit. The maximum is 32.", "Out of limit. The minimum is 1."}));
    QTest::keyClicks(page.I2C_Edit_Data, "x");
    EXPECT_EQ(page.I2C_Edit_Data->text(), "1") << "letters are not taken";

    // An empty address-bits edit: the previous address bits, and nothing
    // after it is read either.
    page.Defaults();
    page.I2C_Btn_Start->click();
    page.I2C_Edit_Addr->clear();
    page.I2C_Edit_Data->setText(QStringLiteral("9"));
    page.I2C_ComboBox_SDA->setCurrentIndex(5);
    page.I2C_Btn_Start->click();
    EXPECT_EQ(page.DecoderSettings().AddressBits, 7);
    EXPECT_EQ(page.DecoderSettings().DataBits, 8);
    EXPECT_EQ(page.DecoderSettings().SdaChannel, 1);

    page.I2C_RadioGroup_Text->SetItemIndex(0);
    page.I2C_RadioGroup_Read->SetItemIndex(0);
    page.I2C_Btn_Default->click();
    EXPECT_EQ(page.I2C_Edit_Addr->text(), "7");
    EXPECT_EQ(page.I2C_Edit_Data->text(), "8");
    EXPECT_EQ(page.I2C_ComboBox_SDA->currentIndex(), 1);
    EXPECT_EQ(page.I2C_RadioGroup_Text->ItemIndex(), 2);
    EXPECT_EQ(page.I2C_RadioGroup_Read->ItemIndex(), 1);
    EXPECT_EQ(page.I2C_RadioGroup_Ack->ItemIndex(), 0);
}

TEST(I2cPage, OffAndOnKeepsTheChannelsAndTakesNewNames)
{
    AnalyzerWindow w(5, Emulated(5, "scene=i2c"));
    wI2C_UI &page = *w.form->I2C_UI;
    w.form->I2CButton->trigger();
    page.I2C_ComboBox_SCL->setCurrentIndex(3);
    std::memcpy(w.Settings().ChannelEntry[3].Name.data(), "CLK", 4);
    w.form->I2CButton->trigger();
    EXPECT_FALSE(w.form->PageControl1->isTabVisible(2));
    EXPECT_EQ(w.form->PageControl1->currentIndex(), 0);
    EXPECT_FALSE(w.form->I2CButton->isChecked());
    w.form->I2C_Protocol->trigger();
    EXPECT_TRUE(w.form->I2CButton->isChecked());
    EXPECT_EQ(page.I2C_ComboBox_SCL->currentIndex(), 3);
    EXPECT_EQ(page.I2C_ComboBox_SCL->currentText(), "CH3  [CLK]");
    EXPECT_EQ(page.I2C_ComboBox_SCL->count(), 16);
}

// Names are stored as Latin-1 (as the names keyboard writes them); every
// page's channel list shows them alike.
TEST(ProtocolPages, ChannelListsShowLatin1Names)
{
    AnalyzerWindow w(5, Emulated(5, "scene=i2c"));
    std::memcpy(w.Settings().ChannelEntry[2].Name.data(), "M\xFCX", 4);
    w.form->I2CButton->trigger();
    w.form->SPIButton->trigger();
    EXPECT_EQ(w.form->I2C_UI->I2C_ComboBox_SCL->itemText(2), "CH2  [M\u00FCX]");
    EXPECT_EQ(w.form->SPI_UI->SPI_ComboBox_SCK->itemText(2), "CH2  [M\u00FCX]");
}

TEST(I2cPage, ResultsFollowANewCapture)
{
    AnalyzerWindow w(5, Emulated(5, "scene=i2c,text=Hi,addr=0x21,clock=100000,gap=200"));
    wI2C_UI &page = *w.form->I2C_UI;
    page.I2C_Btn_Start->click(); // before any capture: nothing to find
    EXPECT_EQ(page.I2C_DataGrid->model()->rowCount(), 0);
    Capture(w, 11, true);
    ASSERT_GE(page.I2C_DataGrid->model()->rowCount(), 1);
    EXPECT_EQ(Cell(page.I2C_DataGrid, 0, 2), "21(h)");
}

// A whole 4 MiB memory of back-to-back I2C transfers (24,000 packets) fills
// the grid through its model; the time is printed, not checked.
TEST(I2cPage, HoldsAFullMemoryOfPackets)
{
    AnalyzerWindow w(8, Emulated(8));
    WSystem &sys = w.form->System();
    uint32_t n = 0;
    auto put = [&](uint32_t word) {
        if (4 * n < sys.SampleBuffer.size())
            std::memcpy(&sys.SampleBuffer[4 * n], &word, 4);
        ++n;
    };
    auto bit = [&](bool b) {
        put(b ? 2u : 0u);
        put(b ? 3u : 1u);
    };
    uint8_t data = 0;
    while (4 * n < sys.SampleBuffer.size()) {
        for (uint32_t word : {3u, 1u, 0u}) // idle, START
            put(word);
        for (uint32_t byte : {0x50u << 1, uint32_t{data++}}) {
            for (int k = 7; k >= 0; --k)
                bit((byte >> k) & 1);
            bit(false);
        }
        for (uint32_t word : {0u, 1u, 3u}) // STOP
            put(word);
    }
    w.Record().DepthSamples = 1024000;
    w.Record().TriggerAddress = 4 * 512000;
    w.Settings().MemoryPercent = 5;
    w.form->I2CButton->trigger();
    wI2C_UI &page = *w.form->I2C_UI;
    QElapsedTimer clock;
    clock.start();
    page.I2C_Btn_Start->click();
    QTest::qWait(1);
    std::printf("decode and grid of %d packets: %lld ms\n", page.I2C_DataGrid->model()->rowCount(),
                static_cast<long long>(clock.elapsed()));
    EXPECT_GT(page.I2C_DataGrid->model()->rowCount(), 24000);
    page.I2C_DataGrid->scrollToBottom();
    const int last = page.I2C_DataGrid->model()->rowCount() - 1;
    EXPECT_EQ(Cell(page.I2C_DataGrid, last, 2), "50(h)");
}

// Every column of the four SPI grids is as wide as its widest text: its
// header in the header's font, its cells at 5 pixels (or the font's digit) a
// character; a later decode with shorter texts leaves it as wide.
TEST(SpiPage, ColumnsGrowToTheirWidestTextAndKeepTheirWidth)
{
    AnalyzerWindow w(5, Emulated(5, "scene=spi,text=Tracemoor12345,clock=1000000,gap=100"));
    Capture(w, 8, false);
    w.form->SPIButton->trigger();
    WSPI &page = *w.form->SPI_UI;
    struct Grid
    {
        const char *name;
        QTableView *view;
    };
    std::vector<Grid> grids;
    for (const WSPI::Half &h : page.halves) {
        grids.push_back({"statistics", h.StatisticsGrid});
        grids.push_back({"packets", h.PacketGrid});
    }
    // Headers alone before the first decode.
    for (const Grid &g : grids) {
        const QAbstractItemModel &m = *g.view->model();
        for (int c = 0; c < m.columnCount(); ++c) {
            const QString header = m.headerData(c, Qt::Horizontal).toString();
            EXPECT_GE(g.view->columnWidth(c),
                      std::max(5 * static_cast<int>(header.size()),
                               g.view->horizontalHeader()->fontMetrics().horizontalAdvance(header)))
                << g.name << " " << header.toStdString();
        }
    }
    auto widestCell = [](const QTableView &v, int c) {
        const QAbstractItemModel &m = *v.model();
        qsizetype chars = 0;
        for (int r = 0; r < m.rowCount(); ++r)
            chars = std::max(chars, m.index(r, c).data().toString().size());
        return static_cast<int>(chars);
    };
    page.SPI_RadioGroup_Text->SetItemIndex(0); // binary: the longest texts
    page.SPI_Btn_Start->click();
    ASSERT_GE(page.halves[WSPI_Core::Mosi].PacketGrid->model()->rowCount(), 2);
    std::vector<std::vector<int>> before;
    for (const Grid &g : grids) {
        before.emplace_back();
        const int perCharacter = WSPI::PixelsPerCharacter(*g.view);
        EXPECT_GE(perCharacter, 5);
        for (int c = 0; c < g.view->model()->columnCount(); ++c) {
            EXPECT_GE(g.view->columnWidth(c), perCharacter * widestCell(*g.view, c))
                << g.name << " column " << c;
            before.back().push_back(g.view->columnWidth(c));
        }
    }
    // The data column holds 14 words of "01010100(b) ".
    EXPECT_GE(page.halves[WSPI_Core::Mosi].PacketGrid->columnWidth(3), 5 * 14 * 12);

    page.SPI_RadioGroup_Text->SetItemIndex(2); // hexadecimal: shorter texts
    page.SPI_Btn_Start->click();
    for (size_t k = 0; k < grids.size(); ++k)
        for (int c = 0; c < grids[k].view->model()->columnCount(); ++c)
            EXPECT_EQ(grids[k].view->columnWidth(c), before[k][static_cast<size_t>(c)])
                << grids[k].name << " column " << c;
    KeepScreenshot(*w.form, "spi-page-columns.png");
}

TEST(SpiPage, DecodesBothLinesAndKeepsALineThatIsOff)
{
    AnalyzerWindow w(5, Emulated(5, "scene=spi,text=Hi,clock=1000000,gap=100"));
    Capture(w, 8, false);
    w.form->SPIButton->trigger();
    EXPECT_EQ(w.form->PageControl1->currentIndex(), 3);
    WSPI &page = *w.form->SPI_UI;
    page.SPI_Btn_Start->click();
    QTableView *mosi = page.halves[WSPI_Core::Mosi].PacketGrid;
    QTableView *miso = page.halves[WSPI_Core::Miso].PacketGrid;
    ASSERT_GE(mosi->model()->rowCount(), 1);
    EXPECT_TRUE(HasRow(mosi, 3, "48(h) 69(h) "));
    EXPECT_TRUE(HasRow(miso, 3, "69(h) 48(h) "));
    EXPECT_TRUE(HasRow(mosi, 1, "0bit"));
    EXPECT_EQ(page.halves[WSPI_Core::Mosi].StatisticsGrid->model()->rowCount(), 1);
    KeepScreenshot(*w.form, "spi-page.png");

    // MISO off: only MOSI is decoded, the MISO grids are empty and its strip
    // keeps its picture.
    const TBitmap before = page.Strip(WSPI_Core::Miso).Bitmap();
    page.halves[WSPI_Core::Miso].Enabled->setChecked(false);
    EXPECT_FALSE(page.halves[WSPI_Core::Miso].Group->isEnabled());
    page.halves[WSPI_Core::Mosi].Channel->setCurrentIndex(3); // MOSI reads the MISO line
    page.SPI_Btn_Start->click();
    EXPECT_EQ(miso->model()->rowCount(), 0);
    EXPECT_EQ(page.halves[WSPI_Core::Miso].StatisticsGrid->model()->rowCount(), 0);
    EXPECT_TRUE(HasRow(mosi, 3, "69(h) 48(h) "));
    const TBitmap &after = page.Strip(WSPI_Core::Miso).Bitmap();
    ASSERT_EQ(after.Bits().size(), before.Bits().size());
    EXPECT_TRUE(std::equal(after.Bits().begin(), after.Bits().end(), before.Bits().begin()));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("spi.csv"));
    ProtocolPageParts::ChooseExportFile = [&path](QWidget *) { return path; };
    page.SPI_Btn_Export->click();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray csv = file.readAll();
    EXPECT_TRUE(csv.startsWith("Line,Paquet,Bit d'drreur,Longueur,Donn\xC3\xA9"
                               "es,"));
    EXPECT_TRUE(csv.contains(",0bit,2,69(h) 48(h) ,")) << csv.toStdString();
    EXPECT_TRUE(csv.contains("\r\nMOSI,1,")) << csv.toStdString();
}

TEST(SpiPage, BitsLimitsSsLevelAndDefault)
{
    AnalyzerWindow w(5, Emulated(5, "scene=spi"));
    WSPI &page = *w.form->SPI_UI;
    QLineEdit *bits = page.halves[WSPI_Core::Mosi].Bits;
    bits->setText(QStringLiteral("30"));
    EXPECT_EQ(bits->text(), "28");
    EXPECT_EQ(w.Messages(), QStringList{"Out of limit. The maximum is 28."});
    bits->clear();
    EXPECT_EQ(bits->text(), "1");

    page.SPI_RadioGroup_SSLevel->SetItemIndex(0); // High
    page.SPI_Btn_Start->click();
    EXPECT_EQ(page.DecoderSettings().SsLevel, 0);
    EXPECT_EQ(page.DecoderSettings().Lines[0].WordBits, 1);

    page.SPI_Btn_Default->click();
    EXPECT_EQ(bits->text(), "8");
    EXPECT_EQ(page.SPI_RadioGroup_SSLevel->ItemIndex(), 1);
    EXPECT_EQ(page.SPI_RadioGroup_Text->ItemIndex(), 2);
    EXPECT_EQ(page.halves[WSPI_Core::Miso].Channel->currentIndex(), 3);
    EXPECT_EQ(page.DecoderSettings().SsLevel, 1);
    // The strips show "no data": the thin band around each centre line only.
    const TBitmap &strip = page.Strip(WSPI_Core::Mosi).Bitmap();
    EXPECT_NE(strip.Pixel(100, 15), 0);
    EXPECT_EQ(strip.Pixel(100, 5), 0);
}

} // namespace
