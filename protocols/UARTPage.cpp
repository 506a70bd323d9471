#include "protocols/UARTPage.h"

#include "protocols/DecodeCsv.h"
#include "protocols/DecodeTableModel.h"
#include "protocols/ProtocolPageParts.h"
#include "ui/AppMessage.h"
#include "ui/UiText.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QString UartText(const char *key, const char *def)
{
    return UiText::Get("UART", key, def);
}

QComboBox *NewList(QWidget *parent, const char *name, const QStringList &items)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    list->addItems(items);
    return list;
}

QGroupBox *NewRadioGroup(QWidget *parent, const char *name, const char *caption,
                         const QStringList &items, QButtonGroup *&group)
{
    auto *box = new QGroupBox(QLatin1String(caption), parent);
    box->setObjectName(QLatin1String(name));
    auto *layout = new QHBoxLayout(box);
    group = new QButtonGroup(box);
    for (int i = 0; i < items.size(); ++i) {
        auto *item = new QRadioButton(items[i], box);
        group->addButton(item, i);
        layout->addWidget(item);
    }
    group->button(0)->setChecked(true);
    return box;
}

} // namespace

UARTPage::UARTPage(ProtocolPageHost &pageHost, const ProtocolPageTab &pageTab)
    : QObject(pageTab.Sheet)
    , host(pageHost)
    , tab(pageTab)
{
    ChooseExportFile = [this] { return ProtocolPageParts::ChooseExportFile(host.DialogParent()); };
    Build();
    UART_DefaultClick();
}

void UARTPage::Build()
{
    QWidget *page = tab.Sheet;
    auto *pageLayout = new QHBoxLayout(page);
    auto *column = new QWidget(page);
    column->setFixedWidth(230);
    auto *settings = new QVBoxLayout(column);
    settings->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(column);

    UART_ChannelSetting = new QGroupBox(UartText("strChannelSetting", "Channel Setting"), page);
    UART_ChannelSetting->setObjectName(QStringLiteral("UART_ChannelSetting"));
    auto *channelLayout = new QVBoxLayout(UART_ChannelSetting);
    UART_Str_ChnnelSelect = new QLabel(UartText("strChnnelSelect", "Chnnel"), UART_ChannelSetting);
    UART_Str_ChnnelSelect->setObjectName(QStringLiteral("UART_Str_ChnnelSelect"));
    UART_ComboBox_Channel = NewList(UART_ChannelSetting, "UART_ComboBox_Channel", {});
    channelLayout->addWidget(UART_Str_ChnnelSelect);
    channelLayout->addWidget(UART_ComboBox_Channel);
    settings->addWidget(UART_ChannelSetting);

    UART_DataFormat = new QGroupBox(UartText("strDataFormat", "Data Formate"), page);
    UART_DataFormat->setObjectName(QStringLiteral("UART_DataFormat"));
    auto *format = new QFormLayout(UART_DataFormat);
    QStringList bauds;
    for (uint32_t baud : WUART::BaudRates)
        bauds << QString::number(baud);
    bauds << QStringLiteral("Custom");
    UART_ComboBox_Baudrate = NewList(UART_DataFormat, "UART_ComboBox_Baudrate", bauds);
    UART_Edit_CustomBaud = new QLineEdit(UART_DataFormat);
    UART_Edit_CustomBaud->setObjectName(QStringLiteral("UART_Edit_CustomBaud"));
    UART_Edit_CustomBaud->setPlaceholderText(
        QStringLiteral("%1 .. %2").arg(WUART::MinBaud).arg(WUART::MaxBaud));
    UART_Edit_CustomBaud->setMaxLength(12);
    UART_ComboBox_Databit = NewList(UART_DataFormat, "UART_ComboBox_Databit", {"5", "6", "7", "8"});
    UART_ComboBox_Paritybit =
        NewList(UART_DataFormat, "UART_ComboBox_Paritybit", {"None", "Odd", "Even"});
    UART_ComboBox_Stopbit = NewList(UART_DataFormat, "UART_ComboBox_Stopbit", {"1", "2"});
    format->addRow(UartText("strBaudRate", "Baud rate"), UART_ComboBox_Baudrate);
    format->addRow(QStringLiteral("Custom"), UART_Edit_CustomBaud);
    format->addRow(UartText("strDataBit", "Data bit"), UART_ComboBox_Databit);
    format->addRow(UartText("strParityBit", "Parity bit"), UART_ComboBox_Paritybit);
    format->addRow(UartText("strStopBit", "Stop bit"), UART_ComboBox_Stopbit);
    settings->addWidget(UART_DataFormat);

    UART_DataDir = NewRadioGroup(page, "UART_DataDir", "Data Direction",
                                 {"LSB -> MSB", "MSB -> LSB"}, DataDirItems);
    UART_DataSource = NewRadioGroup(page, "UART_DataSource", "Data Source",
                                    {"From IC", "From RS-232"}, DataSourceItems);
    UART_TextMode =
        NewRadioGroup(page, "UART_TextMode", "Text Mode", {"ASCII", "Both", "Hex"}, TextModeItems);
    settings->addWidget(UART_DataDir);
    settings->addWidget(UART_DataSource);
    settings->addWidget(UART_TextMode);

    auto *buttons = new QHBoxLayout;
    auto button = [page, buttons](const char *name, const char *caption) {
        auto *b = new QPushButton(QLatin1String(caption), page);
        b->setObjectName(QLatin1String(name));
        buttons->addWidget(b);
        return b;
    };
    UART_Start = button("UART_Start", "Start");
    UART_Default = button("UART_Default", "Default");
    UART_Export = button("UART_Export", "Export");
    settings->addLayout(buttons);
    settings->addStretch(1);

    Rows = new DecodeTableModel(this, DecodeTableModel::HeadersOf(WUART::Headers()));
    Rows->SetTable(&frames);
    UART_DataGrid = ProtocolPageParts::NewGrid(page, "UART_DataGrid", Rows, {96, 180, 97, 114, 86});
    pageLayout->addWidget(UART_DataGrid, 1);

    connect(UART_ComboBox_Databit, &QComboBox::activated, this,
            &UARTPage::UART_ComboBox_DatabitChange);
    connect(UART_ComboBox_Paritybit, &QComboBox::activated, this,
            &UARTPage::UART_ComboBox_ParitybitChange);
    connect(UART_ComboBox_Baudrate, &QComboBox::currentIndexChanged, this,
            &UARTPage::UART_ComboBox_BaudrateChange);
    connect(UART_Start, &QPushButton::clicked, this, &UARTPage::UART_StartClick);
    connect(UART_Default, &QPushButton::clicked, this, &UARTPage::UART_DefaultClick);
    connect(UART_Export, &QPushButton::clicked, this, &UARTPage::UART_ExportClick);
    connect(tab.Pages, &QTabWidget::currentChanged, this, [this] {
        if (tab.Pages->currentWidget() == tab.Sheet)
            Tab_UARTShow();
    });
}

void UARTPage::UARTButtonClick()
{
    ProtocolPageParts::TogglePage(*tab.Pages, tab.Sheet, tab.MenuItem, tab.Button);
}

void UARTPage::Tab_UARTShow()
{
    const int selected = std::max(UART_ComboBox_Channel->currentIndex(), 0);
    UART_ComboBox_Channel->clear();
    UART_ComboBox_Channel->addItems(
        ProtocolPageParts::ChannelItems(host.System(), host.Settings()));
    UART_ComboBox_Channel->setCurrentIndex(std::min(selected, UART_ComboBox_Channel->count() - 1));
}

void UARTPage::UART_ComboBox_DatabitChange()
{
    // A frame carries at most 8 bits between its start and stop bits.
    if (UART_ComboBox_Databit->currentText() == QLatin1String("8"))
        UART_ComboBox_Paritybit->setCurrentIndex(WUART::ParityNone);
}

void UARTPage::UART_ComboBox_ParitybitChange()
{
    UART_ComboBox_DatabitChange();
}

void UARTPage::UART_ComboBox_BaudrateChange()
{
    const bool custom = UART_ComboBox_Baudrate->currentIndex() == WUART::CustomIndex;
    UART_Edit_CustomBaud->setEnabled(custom);
    if (custom)
        UART_Edit_CustomBaud->setFocus();
}

void UARTPage::UART_DefaultClick()
{
    if (UART_ComboBox_Channel->count() == 0)
        Tab_UARTShow();
    UART_ComboBox_Channel->setCurrentIndex(0);
    UART_ComboBox_Baudrate->setCurrentIndex(WUART::DefaultBaudIndex);
    UART_ComboBox_BaudrateChange();
    UART_ComboBox_Databit->setCurrentIndex(3);
    UART_ComboBox_Paritybit->setCurrentIndex(WUART::ParityNone);
    UART_ComboBox_Stopbit->setCurrentIndex(0);
    DataDirItems->button(WUART::LsbFirst)->setChecked(true);
    DataSourceItems->button(WUART::FromIC)->setChecked(true);
    TextModeItems->button(WUART::Ascii)->setChecked(true);
}

void UARTPage::UART_StartClick()
{
    Decoder.Channel = UART_ComboBox_Channel->currentIndex();
    Decoder.BaudIndex = UART_ComboBox_Baudrate->currentIndex();
    if (Decoder.BaudIndex == WUART::CustomIndex) {
        // A whole number of baud; anything else is no rate.
        bool whole = false;
        const qulonglong baud = UART_Edit_CustomBaud->text().trimmed().toULongLong(&whole);
        if (!whole || baud < WUART::MinBaud || baud > WUART::MaxBaud) {
            AppMessage::Warning(host.DialogParent(), QStringLiteral("UART Decoder"),
                                QStringLiteral("\"%1\" is no baud rate: enter a whole number from "
                                               "%2 to %3.")
                                    .arg(UART_Edit_CustomBaud->text())
                                    .arg(WUART::MinBaud)
                                    .arg(WUART::MaxBaud));
            return;
        }
        Decoder.CustomBaud = static_cast<uint32_t>(baud);
    }
    Decoder.ParityMode = UART_ComboBox_Paritybit->currentIndex();
    Decoder.FrameBits = UART_ComboBox_Databit->currentIndex() + 5 +
                        (Decoder.ParityMode != WUART::ParityNone ? 1 : 0);
    Decoder.StopBits = UART_ComboBox_Stopbit->currentIndex() + 1;
    Decoder.DataDirection = DataDirItems->checkedId();
    Decoder.DataSource = DataSourceItems->checkedId();
    Decoder.TextMode = TextModeItems->checkedId();
    const UartCanTiming timing = ProtocolPageParts::PrepareDecode(host);
    Rows->SetTable(nullptr);
    frames = Decoder.Decode(host.Record(), timing);
    Rows->SetTable(&frames);
    if (!frames.Message.empty())
        AppMessage::Warning(host.DialogParent(), QStringLiteral("UART Decoder"),
                            QString::fromStdString(frames.Message));
}

std::string UARTPage::ExportText() const
{
    return DecodeCsv::Text(Rows->HeaderTexts(), frames);
}

void UARTPage::UART_ExportClick()
{
    ProtocolPageParts::Export(host.DialogParent(), ChooseExportFile(), ExportText());
}
