#include "protocols/WCAN_UI.h"

#include "protocols/DecodeCsv.h"
#include "protocols/DecodeTableModel.h"
#include "protocols/ProtocolPageParts.h"
#include "ui/AppMessage.h"
#include "ui/UiText.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QString CanText(const char *key, const char *def)
{
    return UiText::Get("CAN", key, def);
}

// A group box of the settings column with a label above a list.
QGroupBox *ListGroup(QWidget *parent, const QString &caption, const QString &label,
                     QLabel *&labelOut, QComboBox *&list, const char *listName)
{
    auto *box = new QGroupBox(caption, parent);
    box->setFixedSize(150, 70);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(8, 4, 8, 4);
    labelOut = new QLabel(label, box);
    list = new QComboBox(box);
    list->setObjectName(QLatin1String(listName));
    list->setFixedWidth(130);
    layout->addWidget(labelOut);
    layout->addWidget(list);
    return box;
}

} // namespace

WCAN_UI::WCAN_UI(ProtocolPageHost &pageHost, const ProtocolPageTab &pageTab)
    : QObject(pageTab.Sheet)
    , host(pageHost)
    , tab(pageTab)
{
    ChooseExportFile = [this] { return ProtocolPageParts::ChooseExportFile(host.DialogParent()); };
    Build();
    DefaultClick();
}

std::vector<std::string> WCAN_UI::Headers() const
{
    // One literal call a key, so that the language check sees every key read.
    return {
        CanText("strArbitration", "BasicID").toStdString(),
        CanText("strExtensionID", "ExtendedID").toStdString(),
        CanText("strRTR", "RTR").toStdString(),
        CanText("strIDE", "IDE").toStdString(),
        CanText("strControlField", "Ctrl Field").toStdString(),
        CanText("strData", "Data").toStdString(),
        CanText("strCRC", "CRC").toStdString(),
        CanText("strACK", "ACK").toStdString(),
        CanText("strStatus", "Status").toStdString(),
    };
}

void WCAN_UI::Build()
{
    QWidget *page = tab.Sheet;
    auto *pageLayout = new QHBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);

    SettingsPanel = new QFrame(page);
    SettingsPanel->setObjectName(QStringLiteral("CAN_SettingsPanel"));
    SettingsPanel->setFixedWidth(150);
    auto *column = new QVBoxLayout(SettingsPanel);
    column->setContentsMargins(0, 0, 0, 0);
    ChannelGroup = ListGroup(SettingsPanel, CanText("strChannelSetGroupCaption", "Channel Setting"),
                             CanText("strChannelSelectLabel1", "Dominant High"), ChannelLabel,
                             ChannelList, "CAN_ChannelList");
    BaudRateGroup =
        ListGroup(SettingsPanel, CanText("strBaudRateSetGroupCaption", "BaudRate Setting"),
                  CanText("strBaudRateSelectLabel", "BaudRate"), BaudRateLabel, BaudRateList,
                  "CAN_BaudRateList");
    for (std::string_view rate : WCAN_Core::BitRateTexts)
        BaudRateList->addItem(
            QString::fromLatin1(rate.data(), static_cast<qsizetype>(rate.size())));
    column->addWidget(ChannelGroup);
    column->addWidget(BaudRateGroup);

    ExtensionMode =
        new QGroupBox(CanText("strExtensionGroupCaption", "Extension Mode"), SettingsPanel);
    ExtensionMode->setObjectName(QStringLiteral("CAN_ExtensionMode"));
    ExtensionMode->setFixedSize(150, 80);
    auto *modes = new QVBoxLayout(ExtensionMode);
    ExtensionItems = new QButtonGroup(ExtensionMode);
    const QString items[2] = {CanText("strExtensionItem1", "Hide"),
                              CanText("strExtensionItem2", "Dispaly")};
    for (int i = 0; i < 2; ++i) {
        auto *item = new QRadioButton(items[i], ExtensionMode);
        ExtensionItems->addButton(item, i);
        modes->addWidget(item);
    }
    column->addWidget(ExtensionMode);

    auto button = [this, column](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, SettingsPanel);
        b->setObjectName(QLatin1String(name));
        b->setFixedSize(115, 30);
        column->addWidget(b, 0, Qt::AlignHCenter);
        return b;
    };
    StartButton = button("CAN_Start", UiText::Get("Common", "strStartBtnCaption", "Start"));
    DefaultButton = button("CAN_Default", UiText::Get("Common", "strDefaultBtnCaption", "Default"));
    ExportButton = button("CAN_Export", QStringLiteral("Export"));
    column->addStretch(1);
    pageLayout->addWidget(SettingsPanel);

    Splitter = new QFrame(page);
    Splitter->setObjectName(QStringLiteral("CAN_Splitter"));
    Splitter->setFixedWidth(5);
    Splitter->setAutoFillBackground(true);
    Splitter->setStyleSheet(QStringLiteral("background-color: blue;"));
    pageLayout->addWidget(Splitter);

    Rows = new DecodeTableModel(this, DecodeTableModel::HeadersOf(Headers()));
    Rows->SetTable(&frames);
    FrameGrid = ProtocolPageParts::NewGrid(page, "CAN_FrameGrid", Rows,
                                           {60, 100, 45, 45, 50, 240, 50, 50, 120});
    pageLayout->addWidget(FrameGrid, 1);

    connect(ChannelList, &QComboBox::activated, this, [this](int index) { ChannelIndex = index; });
    connect(StartButton, &QPushButton::clicked, this, &WCAN_UI::StartClick);
    connect(DefaultButton, &QPushButton::clicked, this, &WCAN_UI::DefaultClick);
    connect(ExportButton, &QPushButton::clicked, this, &WCAN_UI::ExportClick);
    connect(tab.Pages, &QTabWidget::currentChanged, this, [this] {
        if (tab.Pages->currentWidget() == tab.Sheet)
            TabSheet6Show();
    });
}

void WCAN_UI::CANButtonClick()
{
    ProtocolPageParts::TogglePage(*tab.Pages, tab.Sheet, tab.MenuItem, tab.Button);
}

void WCAN_UI::TabSheet6Show()
{
    ChannelList->clear();
    ChannelList->addItems(ProtocolPageParts::ChannelItems(host.System(), host.Settings()));
    ChannelIndex = std::min(ChannelIndex, ChannelList->count() - 1);
    ChannelList->setCurrentIndex(ChannelIndex);
}

void WCAN_UI::DefaultClick()
{
    ChannelIndex = 0;
    TabSheet6Show();
    BaudRateList->setCurrentIndex(WCAN_Core::DefaultRateIndex);
    ExtensionItems->button(1)->setChecked(true);
}

void WCAN_UI::StartClick()
{
    // A new grid, and a decoder for this Start only.
    Rows->SetTable(nullptr);
    Rows->SetHeaders(DecodeTableModel::HeadersOf(Headers()));
    WCAN_Core core;
    core.ShowExtendedId = ExtensionItems->checkedId() != 0;
    core.Channel = ChannelList->currentIndex();
    core.RateIndex = BaudRateList->currentIndex();
    const UartCanTiming timing = ProtocolPageParts::PrepareDecode(host);
    frames = core.Decode(host.Record(), timing);
    Rows->SetTable(&frames);
    if (!frames.Message.empty())
        AppMessage::Warning(host.DialogParent(), QStringLiteral("CAN Protocol"),
                            QString::fromStdString(frames.Message));
}

std::string WCAN_UI::ExportText() const
{
    return DecodeCsv::Text(Rows->HeaderTexts(), frames);
}

void WCAN_UI::ExportClick()
{
    ProtocolPageParts::Export(host.DialogParent(), ChooseExportFile(), ExportText());
}
