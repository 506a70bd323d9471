#include "protocols/wI2C_UI.h"

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

#include <QComboBox>
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

namespace {

QString I2cText(const char *key, const char *def)
{
    return UiText::Get("I2C", key, def);
}

QStringList PacketHeaders()
{
    return {I2cText("strPackage", "Packet"),     I2cText("strStatus", "Status"),
            I2cText("strAddress", "Address"),    I2cText("strMsgTime", "Msg. Time"),
            I2cText("strIdleTime", "Idle Time"), I2cText("strDir", "Dir"),
            I2cText("strLength", "Length"),      I2cText("strData", "Data")};
}

QStringList AddressHeaders()
{
    return {I2cText("strAddress", "Address"), I2cText("strTimes", "Times"),
            I2cText("strAvgTime", "Avg. Time"), I2cText("strRead", "Read"),
            I2cText("strWrite", "Write")};
}

constexpr int PacketWidths[] = {60, 100, 60, 90, 90, 50, 50, 280};

} // namespace

wI2C_UI::wI2C_UI(QWidget *sheet, CFile &settings, WSystem &system, CCaptureRecord &record)
    : QWidget(sheet)
    , file(settings)
    , sys(system)
    , rec(record)
{
    setObjectName(QStringLiteral("wI2C_UI"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(BuildSettingsColumn());
    layout->addWidget(BuildResults(), 1);
    if (sheet != nullptr) {
        auto *sheetLayout = new QVBoxLayout(sheet);
        sheetLayout->setContentsMargins(0, 0, 0, 0);
        sheetLayout->addWidget(this);
    }

    // Empty strips (low) over the record's length until the first Start.
    const uint32_t depth = rec.DepthSamples;
    sclTrace.assign(depth, 7);
    sdaTrace.assign(depth, 7);
    strip->SetRange(static_cast<int>(depth), static_cast<int>(std::max<uint32_t>(depth / 100, 1)));
    strip->SetTraces({{&sclTrace, 15, 0xFFFFFF}, {&sdaTrace, 50, 255}});
    RefreshChannelLists();
    Defaults();
    strip->Redraw();
}

wI2C_UI::~wI2C_UI()
{
    packetModel->SetTable(nullptr);
    addressModel->SetTable(nullptr);
}

QWidget *wI2C_UI::BuildSettingsColumn()
{
    auto *column = new QWidget(this);
    column->setFixedWidth(160);
    auto *v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);

    auto *bus = new QGroupBox(I2cText("strChannelGroupCaption", "Bus Setting"), column);
    bus->setObjectName(QStringLiteral("I2C_GroupBox_Bus"));
    auto *busGrid = new QGridLayout(bus);
    I2C_ComboBox_SCL = ProtocolPageParts::NewChannelList(bus, "I2C_ComboBox_SCL");
    I2C_ComboBox_SDA = ProtocolPageParts::NewChannelList(bus, "I2C_ComboBox_SDA");
    busGrid->addWidget(new QLabel(QStringLiteral("SCL"), bus), 0, 0);
    busGrid->addWidget(I2C_ComboBox_SCL, 0, 1);
    busGrid->addWidget(new QLabel(QStringLiteral("SDA"), bus), 1, 0);
    busGrid->addWidget(I2C_ComboBox_SDA, 1, 1);
    v->addWidget(bus);

    I2C_RadioGroup_Text =
        new TRadioGroup(column, "I2C_RadioGroup_Text", I2cText("strModeGroupCaption", "Text Mode"),
                        {QStringLiteral("Bin"), QStringLiteral("Dec"), QStringLiteral("Hex")}, 3);
    v->addWidget(I2C_RadioGroup_Text);

    auto *bits = new QGroupBox(I2cText("strDataGroupCaption", "Data format"), column);
    bits->setObjectName(QStringLiteral("I2C_GroupBox_Bits"));
    auto *bitsGrid = new QGridLayout(bits);
    I2C_Edit_Addr = ProtocolPageParts::NewDigitsEdit(bits, "I2C_Edit_Addr", 3);
    I2C_Edit_Data = ProtocolPageParts::NewDigitsEdit(bits, "I2C_Edit_Data", 3);
    bitsGrid->addWidget(new QLabel(I2cText("strAddrLabelCaption", "Addr"), bits), 0, 0);
    bitsGrid->addWidget(I2C_Edit_Addr, 0, 1);
    bitsGrid->addWidget(new QLabel(I2cText("strDataLabelCaption", "Data"), bits), 1, 0);
    bitsGrid->addWidget(I2C_Edit_Data, 1, 1);
    v->addWidget(bits);
    for (QLineEdit *edit : {I2C_Edit_Addr, I2C_Edit_Data})
        connect(edit, &QLineEdit::textChanged, this, [this, edit] { CheckBits(edit); });

    const QStringList levels{I2cText("strLowLevelCaption", "Low Level"),
                             I2cText("strHighLevelCaption", "High Level")};
    I2C_RadioGroup_Read = new TRadioGroup(column, "I2C_RadioGroup_Read",
                                          I2cText("strRWGroupCaption", "Read Bit"), levels, 1);
    I2C_RadioGroup_Ack = new TRadioGroup(column, "I2C_RadioGroup_Ack",
                                         I2cText("strAckGroupCaption", "ACK Bit"), levels, 1);
    v->addWidget(I2C_RadioGroup_Read);
    v->addWidget(I2C_RadioGroup_Ack);

    auto button = [&](const char *name, const QString &text, void (wI2C_UI::*slot)()) {
        auto *b = new QPushButton(text, column);
        b->setObjectName(QLatin1String(name));
        b->setFixedSize(120, 40);
        connect(b, &QPushButton::clicked, this, slot);
        v->addWidget(b, 0, Qt::AlignHCenter);
        return b;
    };
    I2C_Btn_Default =
        button("I2C_Btn_Default", UiText::Get("Common", "strDefaultBtnCaption", "Default"),
               &wI2C_UI::Defaults);
    I2C_Btn_Start = button("I2C_Btn_Start", UiText::Get("Common", "strStartBtnCaption", "Start"),
                           &wI2C_UI::Start);
    I2C_Btn_Export =
        button("I2C_Btn_Export", I2cText("strExportBtnCaption", "Export"), &wI2C_UI::ExportClick);
    v->addStretch(1);
    return column;
}

QWidget *wI2C_UI::BuildResults()
{
    auto *split = new QSplitter(Qt::Vertical, this);
    split->setObjectName(QStringLiteral("I2C_Splitter"));
    auto *upper = new QWidget(split);
    upper->setMaximumHeight(250);
    auto *u = new QVBoxLayout(upper);
    u->setContentsMargins(0, 0, 0, 0);
    strip = new ProtocolStrip(upper, "I2C_Strip", 90);
    u->addWidget(strip);
    addressModel = new DecodeTableModel(this, AddressHeaders());
    I2C_AddressGrid = ProtocolPageParts::NewGrid(upper, "I2C_AddressGrid", addressModel);
    I2C_AddressGrid->horizontalHeader()->setDefaultSectionSize(137);
    u->addWidget(I2C_AddressGrid, 1);

    packetModel = new DecodeTableModel(this, PacketHeaders());
    I2C_DataGrid = ProtocolPageParts::NewGrid(split, "I2C_DataGrid", packetModel);
    for (int c = 0; c < WI2C_Analyzer::PacketColumns; ++c)
        I2C_DataGrid->setColumnWidth(c, PacketWidths[c]);
    split->addWidget(upper);
    split->addWidget(I2C_DataGrid);
    split->setSizes({200, 400});
    return split;
}

void wI2C_UI::CheckBits(QLineEdit *edit)
{
    bool ok = false;
    const int value = edit->text().toInt(&ok);
    if (!ok)
        return;
    if (value < 1) {
        AppMessage::Warning(this, QString(),
                            I2cText("strWarningString1", "Out of limit. The minimum is 1."));
        edit->setText(QStringLiteral("1"));
    } else if (value > WI2C_Analyzer::MaxBits) {
        AppMessage::Warning(this, QString(),
                            I2cText("strWarningString2", "Out of limit. The maximum is 32."));
        edit->setText(QString::number(WI2C_Analyzer::MaxBits));
    }
}

void wI2C_UI::Defaults()
{
    if (I2C_ComboBox_SCL->count() > 0)
        I2C_ComboBox_SCL->setCurrentIndex(0);
    if (I2C_ComboBox_SDA->count() > 1)
        I2C_ComboBox_SDA->setCurrentIndex(1);
    I2C_RadioGroup_Text->SetItemIndex(2);
    I2C_Edit_Addr->setText(QStringLiteral("7"));
    I2C_Edit_Data->setText(QStringLiteral("8"));
    I2C_RadioGroup_Read->SetItemIndex(1);
    I2C_RadioGroup_Ack->SetItemIndex(0);
}

void wI2C_UI::RefreshChannelLists()
{
    ProtocolPageParts::FillChannelList(*I2C_ComboBox_SCL, sys, file);
    ProtocolPageParts::FillChannelList(*I2C_ComboBox_SDA, sys, file);
}

void wI2C_UI::ReadSettings()
{
    bool ok = false;
    const int addressBits = I2C_Edit_Addr->text().toInt(&ok);
    if (!ok)
        return;
    decoder.AddressBits = addressBits;
    const int dataBits = I2C_Edit_Data->text().toInt(&ok);
    if (!ok)
        return;
    decoder.DataBits = dataBits;
    decoder.AckLevel = static_cast<uint8_t>(std::max(I2C_RadioGroup_Ack->ItemIndex(), 0));
    decoder.ReadLevel = static_cast<uint8_t>(std::max(I2C_RadioGroup_Read->ItemIndex(), 0));
    decoder.SclChannel = I2C_ComboBox_SCL->currentIndex();
    decoder.SdaChannel = I2C_ComboBox_SDA->currentIndex();
    decoder.TextMode = std::max(I2C_RadioGroup_Text->ItemIndex(), 0);
}

void wI2C_UI::Start()
{
    ReadSettings();
    const CaptureWindow window = CaptureWindow::OfRecord(rec, sys, file);
    packetModel->SetTable(nullptr);
    WI2C_Analyzer::Decode(window, decoder, WTimeSystem(file).Period(), result);
    started = true;
    packetModel->SetTable(&result.Packets);
    // The statistics change only with a run that found packets.
    if (!result.Packets.Empty()) {
        addressModel->SetTable(nullptr);
        addresses = result.Addresses;
        addressModel->SetTable(&addresses);
    }
    // Data texts wider than the column widen it (5 pixels a character).
    const int dataWidth = 5 * result.Packets.LongestText(7);
    I2C_DataGrid->setColumnWidth(7, std::max(PacketWidths[7], dataWidth));
    ShowStrips();
}

void wI2C_UI::ShowStrips()
{
    strip->SetTraces({{&result.SclTrace, 15, 0xFFFFFF}, {&result.SdaTrace, 50, 255}});
    const int depth = static_cast<int>(result.SclTrace.size());
    strip->SetRange(depth, std::max(depth / 100, 1));
    if (strip->Position() > depth)
        strip->SetPosition(0);
    strip->Redraw();
}

void wI2C_UI::CaptureArrived()
{
    if (started)
        Start();
}

std::string wI2C_UI::ExportText() const
{
    std::string out = DecodeCsv::Line(packetModel->HeaderTexts());
    if (started)
        DecodeCsv::AppendRows(out, result.Packets);
    return out;
}

void wI2C_UI::ExportClick()
{
    ProtocolPageParts::Export(this, ExportText());
}
