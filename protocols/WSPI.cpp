#include "protocols/WSPI.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "display/WTimeSystem.h"
#include "protocols/CaptureWindow.h"
#include "protocols/DecodeCsv.h"
#include "protocols/DecodeTableModel.h"
#include "protocols/ProtocolPageParts.h"
#include "protocols/ProtocolStrip.h"
#include "protocols/TRadioGroup.h"
#include "ui/AppMessage.h"
#include "ui/UiText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString SpiText(const char *key, const char *def)
{
    return UiText::Get("SPI", key, def);
}

constexpr const char *LineNames[] = {"MOSI", "MISO"};

// A column grows to its widest text at `perCharacter` pixels a character of
// a cell and as wide as its header's text in the header's font (plus the
// margins of a cell); it never shrinks. The cells are measured by the
// table's longest text per column, not row by row.
void GrowColumns(QTableView &grid, const DecodeTableModel &model, std::vector<int> &widths,
                 int perCharacter)
{
    constexpr int Margins = 8;
    const QStringList &headers = model.Headers();
    const DecodeTable *table = model.Table();
    const QFontMetrics headerFont = grid.horizontalHeader()->fontMetrics();
    widths.resize(static_cast<size_t>(headers.size()), 0);
    for (int c = 0; c < static_cast<int>(widths.size()); ++c) {
        const int header = std::max(5 * static_cast<int>(headers[c].size()),
                                    headerFont.horizontalAdvance(headers[c]));
        const int cells = table ? table->LongestText(c) * perCharacter : 0;
        int &w = widths[static_cast<size_t>(c)];
        w = std::max(w, std::max(header, cells) + Margins);
        grid.setColumnWidth(c, w);
    }
}

} // namespace

int WSPI::PixelsPerCharacter(const QTableView &grid)
{
    // Cell texts are mostly digits (values, times): a digit's width.
    return std::max(5, grid.fontMetrics().horizontalAdvance(QLatin1Char('0')));
}

WSPI::WSPI(QWidget *sheet, CFile &settings, WSystem &system, CCaptureRecord &record)
    : QWidget(sheet)
    , file(settings)
    , sys(system)
    , rec(record)
{
    setObjectName(QStringLiteral("WSPI"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto *outer = new QSplitter(Qt::Horizontal, this);
    outer->setHandleWidth(5);
    outer->addWidget(BuildSettingsColumn());
    auto *sides = new QSplitter(Qt::Horizontal, outer);
    sides->setObjectName(QStringLiteral("SPI_Splitter"));
    sides->setHandleWidth(5);
    sides->addWidget(BuildHalf(sides, WSPI_Core::Mosi));
    sides->addWidget(BuildHalf(sides, WSPI_Core::Miso));
    outer->addWidget(sides);
    outer->setStretchFactor(1, 1);
    layout->addWidget(outer);
    if (sheet != nullptr) {
        auto *sheetLayout = new QVBoxLayout(sheet);
        sheetLayout->setContentsMargins(0, 0, 0, 0);
        sheetLayout->addWidget(this);
    }
    RefreshChannelLists();
    Defaults();
}

WSPI::~WSPI()
{
    for (Half &h : halves) {
        h.Statistics->SetTable(nullptr);
        h.Packets->SetTable(nullptr);
    }
}

QWidget *WSPI::BuildSettingsColumn()
{
    auto *column = new QWidget(this);
    // At least 200 wide, wider when a text needs it (the Mode boxes).
    column->setMinimumWidth(200);
    column->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto *v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);

    auto *bus = new QGroupBox(SpiText("strBUSGroupCaption", "Bus Setting"), column);
    bus->setObjectName(QStringLiteral("SPI_GroupBox_Bus"));
    auto *g = new QGridLayout(bus);
    SPI_ComboBox_SCK = ProtocolPageParts::NewChannelList(bus, "SPI_ComboBox_SCK");
    SPI_ComboBox_DIR = ProtocolPageParts::NewChannelList(bus, "SPI_ComboBox_DIR");
    SPI_ComboBox_DIR->addItems(
        {SpiText("strDIR_Sel1", "MSB -> LSB"), SpiText("strDIR_Sel2", "LSB -> MSB")});
    SPI_ComboBox_SS = ProtocolPageParts::NewChannelList(bus, "SPI_ComboBox_SS");
    g->addWidget(new QLabel(QStringLiteral("SCK"), bus), 0, 0);
    g->addWidget(SPI_ComboBox_SCK, 0, 1);
    g->addWidget(new QLabel(SpiText("strDirLabelCaption", "DIR"), bus), 1, 0);
    g->addWidget(SPI_ComboBox_DIR, 1, 1);
    g->addWidget(new QLabel(QStringLiteral("SS"), bus), 2, 0);
    g->addWidget(SPI_ComboBox_SS, 2, 1);
    SPI_RadioGroup_SSLevel = new TRadioGroup(
        bus, "SPI_RadioGroup_SSLevel", SpiText("strSSGroupCaption", "SS Level"),
        {SpiText("strHighLevelCaption", "High"), SpiText("strLowLevelCaption", "Low")}, 2);
    g->addWidget(SPI_RadioGroup_SSLevel, 3, 0, 1, 2);
    v->addWidget(bus);

    auto *enable = new QGroupBox(SpiText("strOutPutGroupCaption", "Enable"), column);
    enable->setObjectName(QStringLiteral("SPI_GroupBox_Enable"));
    auto *e = new QHBoxLayout(enable);
    for (int line : {WSPI_Core::Mosi, WSPI_Core::Miso}) {
        Half &h = halves[static_cast<size_t>(line)];
        h.Enabled = new QCheckBox(QLatin1String(LineNames[line]), enable);
        h.Enabled->setObjectName(QStringLiteral("SPI_CheckBox_%1").arg(LineNames[line]));
        e->addWidget(h.Enabled);
        connect(h.Enabled, &QCheckBox::toggled, this, [&h](bool on) { h.Group->setEnabled(on); });
    }
    v->addWidget(enable);
    v->addWidget(BuildLineGroup(column, WSPI_Core::Mosi));
    v->addWidget(BuildLineGroup(column, WSPI_Core::Miso));

    SPI_RadioGroup_Text =
        new TRadioGroup(column, "SPI_RadioGroup_Text", SpiText("strTextGroupCaption", "Text Mode"),
                        {QStringLiteral("Bin"), QStringLiteral("Dec"), QStringLiteral("Hex")}, 3);
    v->addWidget(SPI_RadioGroup_Text);

    auto *buttons = new QHBoxLayout;
    auto button = [&](const char *name, const QString &text, void (WSPI::*slot)()) {
        auto *b = new QPushButton(text, column);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    SPI_Btn_Start =
        button("SPI_Btn_Start", UiText::Get("Common", "strStartBtnCaption", "Start"), &WSPI::Start);
    SPI_Btn_Default =
        button("SPI_Btn_Default", UiText::Get("Common", "strDefaultBtnCaption", "Default"),
               &WSPI::Defaults);
    v->addLayout(buttons);
    SPI_Btn_Export = new QPushButton(SpiText("strExportBtnCaption", "Export"), column);
    SPI_Btn_Export->setObjectName(QStringLiteral("SPI_Btn_Export"));
    connect(SPI_Btn_Export, &QPushButton::clicked, this, &WSPI::ExportClick);
    v->addWidget(SPI_Btn_Export);
    v->addStretch(1);
    return column;
}

QWidget *WSPI::BuildLineGroup(QWidget *parent, int line)
{
    Half &h = halves[static_cast<size_t>(line)];
    h.Group =
        new QGroupBox(line == WSPI_Core::Mosi ? SpiText("strMOSIGroupCaption", "MOSI Setting")
                                              : SpiText("strMISOGroupCaption", "MISO Setting"),
                      parent);
    const QString name = QLatin1String(LineNames[line]);
    h.Group->setObjectName(QStringLiteral("SPI_GroupBox_%1").arg(name));
    auto *g = new QGridLayout(h.Group);
    h.Mode = ProtocolPageParts::NewChannelList(h.Group, "Mode");
    h.Mode->setObjectName(QStringLiteral("SPI_ComboBox_%1Mode").arg(name));
    h.Mode->addItems(QStringList{
        SpiText("strMode_Sel1", "CPOL=0 , CPHA=0"), SpiText("strMode_Sel2", "CPOL=0 , CPHA=1"),
        SpiText("strMode_Sel3", "CPOL=1 , CPHA=0"), SpiText("strMode_Sel4", "CPOL=1 , CPHA=1"),
        SpiText("strMode_Sel5", "Raising"), SpiText("strMode_Sel6", "Falling")});
    h.Mode->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    h.Channel = ProtocolPageParts::NewChannelList(h.Group, "Channel");
    h.Channel->setObjectName(QStringLiteral("SPI_ComboBox_%1").arg(name));
    h.Bits = ProtocolPageParts::NewDigitsEdit(h.Group, "Bits", 2);
    h.Bits->setObjectName(QStringLiteral("SPI_Edit_%1Bits").arg(name));
    connect(h.Bits, &QLineEdit::textChanged, this, [this, edit = h.Bits] { CheckBits(edit); });
    g->addWidget(new QLabel(SpiText("strModeLabelCaption", "Mode"), h.Group), 0, 0);
    g->addWidget(h.Mode, 0, 1);
    g->addWidget(new QLabel(SpiText("strChannelLabelCaption", "Channel"), h.Group), 1, 0);
    g->addWidget(h.Channel, 1, 1);
    g->addWidget(new QLabel(SpiText("strBitsLabelCaption", "Bits"), h.Group), 2, 0);
    g->addWidget(h.Bits, 2, 1);
    return h.Group;
}

QWidget *WSPI::BuildHalf(QWidget *parent, int line)
{
    Half &h = halves[static_cast<size_t>(line)];
    auto *half = new QWidget(parent);
    auto *v = new QVBoxLayout(half);
    v->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(QStringLiteral("%1 LIST").arg(LineNames[line]), half);
    caption->setAlignment(Qt::AlignCenter);
    v->addWidget(caption);
    h.Statistics = new DecodeTableModel(
        this,
        QStringList{
            SpiText("strSPIGrid1_1", "Min MSG. Time"), SpiText("strSPIGrid1_2", "Max MSG. Time"),
            SpiText("strSPIGrid1_3", "Avg MSG. Time"), SpiText("strSPIGrid1_4", "Min Idle. Time"),
            SpiText("strSPIGrid1_5", "Max Idle. Time"), SpiText("strSPIGrid1_6", "Avg Idle. Time"),
            SpiText("strSPIGrid1_7", "Min Package Length"),
            SpiText("strSPIGrid1_8", "Max Package Length"),
            SpiText("strSPIGrid1_9", "Min Package Length"),
            SpiText("strSPIGrid1_10", "Min Error-Bit"), SpiText("strSPIGrid1_11", "Max Error-Bit"),
            SpiText("strSPIGrid1_12", "Total Error-Bit")});
    h.StatisticsGrid = ProtocolPageParts::NewGrid(half, "StatisticsGrid", h.Statistics);
    h.StatisticsGrid->setObjectName(QStringLiteral("SPI_%1StatisticsGrid").arg(LineNames[line]));
    h.StatisticsGrid->setFixedHeight(80);
    v->addWidget(h.StatisticsGrid);
    const QString stripName = QStringLiteral("SPI_%1Strip").arg(LineNames[line]);
    h.Strip = new ProtocolStrip(half, stripName.toLatin1().constData(), 130);
    h.Strip->SetRange(1000, 200);
    v->addWidget(h.Strip);
    h.Packets = new DecodeTableModel(
        this,
        QStringList{SpiText("strSPIGrid2_1", "Paquet"), SpiText("strSPIGrid2_2", "Bit d'drreur"),
                    SpiText("strSPIGrid2_3", "Longueur"), SpiText("strSPIGrid2_4", "Données"),
                    SpiText("strSPIGrid2_5", "Msg. Time"), SpiText("strSPIGrid2_6", "Abs. Time"),
                    SpiText("strSPIGrid2_7", "Idle. Time")});
    h.PacketGrid = ProtocolPageParts::NewGrid(half, "PacketGrid", h.Packets);
    h.PacketGrid->setObjectName(QStringLiteral("SPI_%1PacketGrid").arg(LineNames[line]));
    v->addWidget(h.PacketGrid, 1);
    FitColumns(h);
    return half;
}

void WSPI::CheckBits(QLineEdit *edit)
{
    if (edit->text().isEmpty()) {
        edit->setText(QStringLiteral("1"));
        return;
    }
    bool ok = false;
    const int value = edit->text().toInt(&ok);
    if (!ok)
        return;
    if (value < WSPI_Core::MinBits) {
        AppMessage::Warning(this, QString(),
                            SpiText("strWarningString1", "Out of limit. The minimum is 1."));
        edit->setText(QStringLiteral("1"));
    } else if (value > WSPI_Core::MaxBits) {
        AppMessage::Warning(this, QString(),
                            SpiText("strWarningString2", "Out of limit. The maximum is 28."));
        edit->setText(QString::number(WSPI_Core::MaxBits));
    }
}

void WSPI::Defaults()
{
    const auto pick = [](QComboBox *list, int index) {
        if (index < list->count())
            list->setCurrentIndex(index);
    };
    pick(SPI_ComboBox_SCK, 0);
    pick(SPI_ComboBox_SS, 1);
    SPI_ComboBox_DIR->setCurrentIndex(0);
    SPI_RadioGroup_SSLevel->SetItemIndex(1);
    for (int line : {WSPI_Core::Mosi, WSPI_Core::Miso}) {
        Half &h = halves[static_cast<size_t>(line)];
        h.Mode->setCurrentIndex(0);
        pick(h.Channel, line == WSPI_Core::Mosi ? 2 : 3);
        h.Bits->setText(QStringLiteral("8"));
        h.Enabled->setChecked(true);
    }
    SPI_RadioGroup_Text->SetItemIndex(2);
    ReadSettings();
    // Every strip shows "no data" until the next Start.
    noData.assign(std::max<size_t>(result.SckTrace.size(), rec.DepthSamples), 10);
    for (Half &h : halves) {
        h.Strip->SetTraces(
            {{&noData, 15, 0xFFFFFF}, {&noData, 50, 0xFFFFFF}, {&noData, 85, 0xFFFFFF}});
        h.Strip->Redraw();
    }
}

void WSPI::RefreshChannelLists()
{
    for (QComboBox *list :
         {SPI_ComboBox_SCK, SPI_ComboBox_SS, halves[0].Channel, halves[1].Channel})
        ProtocolPageParts::FillChannelList(*list, sys, file);
}

void WSPI::Enable()
{
    for (Half &h : halves)
        h.Enabled->setEnabled(true);
    SPI_RadioGroup_SSLevel->setEnabled(true);
    SPI_RadioGroup_Text->setEnabled(true);
}

void WSPI::ReadSettings()
{
    decoder.SckChannel = SPI_ComboBox_SCK->currentIndex();
    decoder.SsChannel = SPI_ComboBox_SS->currentIndex();
    decoder.BitOrder = std::max(SPI_ComboBox_DIR->currentIndex(), 0);
    decoder.SsLevel = std::max(SPI_RadioGroup_SSLevel->ItemIndex(), 0);
    decoder.TextMode = std::max(SPI_RadioGroup_Text->ItemIndex(), 0);
    for (size_t k = 0; k < 2; ++k) {
        Half &h = halves[k];
        WSPI_Core::Line &l = decoder.Lines[k];
        l.Enabled = h.Enabled->isChecked();
        if (!l.Enabled)
            continue;
        l.Mode = std::max(h.Mode->currentIndex(), 0);
        l.Channel = h.Channel->currentIndex();
        bool ok = false;
        const int bits = h.Bits->text().toInt(&ok);
        if (ok)
            l.WordBits = bits;
    }
}

void WSPI::Start()
{
    ReadSettings();
    for (Half &h : halves) {
        h.Packets->SetTable(nullptr);
        h.Statistics->SetTable(nullptr);
    }
    const CaptureWindow window = CaptureWindow::OfRecord(rec, sys, file);
    WSPI_Core::Decode(window, decoder, WTimeSystem(file).Period(), result);
    started = true;
    const int depth = static_cast<int>(result.SckTrace.size());
    for (size_t k = 0; k < 2; ++k) {
        Half &h = halves[k];
        h.Packets->SetTable(&result.Lines[k].Packets);
        h.Statistics->SetTable(&result.Lines[k].Statistics);
        FitColumns(h);
        if (!decoder.Lines[k].Enabled)
            continue; // the strip keeps its picture
        h.Strip->SetTraces({{&result.SckTrace, 15, 0xFFFFFF},
                            {&result.SsTrace, 50, 0xFFFFFF},
                            {&result.Lines[k].Trace, 85, 0xFFFFFF}});
        h.Strip->SetRange(depth, std::max(depth / 5, 1));
        if (h.Strip->Position() > depth)
            h.Strip->SetPosition(0);
        h.Strip->Redraw();
    }
}

void WSPI::FitColumns(Half &h)
{
    GrowColumns(*h.StatisticsGrid, *h.Statistics, h.StatisticsWidths,
                PixelsPerCharacter(*h.StatisticsGrid));
    GrowColumns(*h.PacketGrid, *h.Packets, h.PacketWidths, PixelsPerCharacter(*h.PacketGrid));
}

void WSPI::CaptureArrived()
{
    if (started)
        Start();
}

std::string WSPI::ExportText() const
{
    std::vector<std::string> header{"Line"};
    for (std::string &t : halves[0].Packets->HeaderTexts())
        header.push_back(std::move(t));
    std::string out = DecodeCsv::Line(header);
    if (!started)
        return out;
    for (size_t k = 0; k < 2; ++k)
        DecodeCsv::AppendRows(out, result.Lines[k].Packets, LineNames[k]);
    return out;
}

void WSPI::ExportClick()
{
    ProtocolPageParts::Export(this, ExportText());
}
