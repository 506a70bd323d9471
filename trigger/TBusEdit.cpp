#include "trigger/TBusEdit.h"

#include "device/ModelTable.h"
#include "trigger/BusFrame.h"
#include "trigger/CPulseWidth.h"
#include "trigger/GridFrame.h"
#include "trigger/TriggerFields.h"
#include "trigger/TriggerInfo.h"
#include "ui/AppMessage.h"
#include "ui/UiText.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int ClientHeight = 505;
constexpr int GridLeft = 60;
constexpr int InfoWidth = 140;
constexpr std::array<int, 3> GridTops{5, 100, 195};

// The pattern rows a page type shows, top to bottom (-1: none).
constexpr std::array<std::array<int, 3>, 6> RowsOfType{
    {{-1, -1, -1}, {0, -1, -1}, {0, 1, -1}, {0, 1, 2}, {0, 3, -1}, {-1, -1, -1}}};

// The picture of a page button: what the page triggers on, drawn.
QIcon PageIcon(int type)
{
    QPixmap picture(48, 48);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x20, 0x40, 0x90), 2));
    p.setBrush(QColor(0xB3, 0xAE, 0xF5));
    p.drawRoundedRect(3, 3, 42, 42, 6, 6);
    if (type == 5) {
        // A high pulse between two arrows: its width.
        p.drawPolyline(QPolygon({{8, 34}, {16, 34}, {16, 14}, {32, 14}, {32, 34}, {40, 34}}));
        p.drawLine(18, 24, 30, 24);
    } else {
        QFont f = p.font();
        f.setBold(true);
        f.setPointSize(type == 4 ? 11 : 16);
        p.setFont(f);
        p.drawText(QRect(3, 3, 42, 42), Qt::AlignCenter,
                   type == 4 ? QStringLiteral("1|OR") : QString::number(type));
    }
    return QIcon(picture);
}

} // namespace

TBusEdit::TBusEdit(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("BusEdit"));
    setModal(true);

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl->addTab(TabSheet1, QStringLiteral("Adv Bus"));
    PageControl->addTab(TabSheet2, QStringLiteral("Adv Trigger"));
    BuildTriggerPage();

    btn_Yes = new QPushButton(QStringLiteral("OK"), this);
    btn_Yes->setObjectName(QStringLiteral("btn_Yes"));
    btn_Yes->setDefault(true);
    btn_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    btn_Cancel->setObjectName(QStringLiteral("btn_Cancel"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btn_Yes);
    buttons->addWidget(btn_Cancel);
    layout->addLayout(buttons);
    resize(550, ClientHeight);

    connect(btn_Yes, &QPushButton::clicked, this, &TBusEdit::btn_YesClick);
    connect(btn_Cancel, &QPushButton::clicked, this, &TBusEdit::btn_CancelClick);
}

TBusEdit::~TBusEdit() = default;

void TBusEdit::BuildTriggerPage()
{
    auto *sheetLayout = new QVBoxLayout(TabSheet2);
    sheetLayout->setContentsMargins(0, 0, 0, 0);
    Edge = new QWidget(TabSheet2);
    Edge->setObjectName(QStringLiteral("Edge"));
    sheetLayout->addWidget(Edge);

    static const char *const names[] = {"btn_Pattern1", "btn_Pattern2", "btn_Pattern3",
                                        "btn_PatternOR", "btn_PulseWidth"};
    auto *group = new QButtonGroup(this);
    for (int i = 0; i < 5; ++i) {
        auto *b = new QToolButton(Edge);
        b->setObjectName(QLatin1String(names[i]));
        b->setIcon(PageIcon(i + 1));
        b->setIconSize(QSize(48, 48));
        b->setCheckable(true);
        b->setGeometry(4, 4 + i * 54, 52, 52);
        group->addButton(b, i + 1);
        PageButtons[static_cast<size_t>(i)] = b;
    }
    connect(group, &QButtonGroup::idClicked, this, &TBusEdit::PageButtonClick);

    btn_Erase_Pat = new QPushButton(QStringLiteral("Erase"), Edge);
    btn_Erase_Pat->setObjectName(QStringLiteral("btn_Erase_Pat"));
    connect(btn_Erase_Pat, &QPushButton::clicked, this, &TBusEdit::btn_Erase_PatClick);

    ptWarningLabel = new QLabel(Edge);
    ptWarningLabel->setObjectName(QStringLiteral("ptWarningLabel"));
    ptWarningLabel->setWordWrap(true);
    ptWarningLabel->setStyleSheet(QStringLiteral("color: #C00000;"));
    ptWarningLabel->hide();
}

void TBusEdit::ApplyTexts()
{
    setWindowTitle(UiText::Get("Bus/TriggerEdit", "strFormCaption", "Advance Setting"));
    PageControl->setTabText(BusPageIndex,
                            UiText::Get("Bus/TriggerEdit", "strTabSheet1", "Adv Bus"));
    PageControl->setTabText(TriggerPageIndex,
                            UiText::Get("Bus/TriggerEdit", "strTabSheet2", "Adv Trigger"));
    btn_Erase_Pat->setText(UiText::Get("Bus/TriggerEdit", "strEraseBtnCaption", "Erase"));
    ptWarningLabel->setText(
        UiText::Get("Bus/TriggerEdit", "strWarning1",
                    "The channel31 is fixed to \"Don't Care\" while using external clock in."));
    btn_Yes->setText(UiText::Get("Common", "strOKBtnCaption", "OK"));
    btn_Cancel->setText(UiText::Get("Common", "strCancelBtnCaption", "Cancel"));
}

bool TBusEdit::Open(CFile &record, int page)
{
    Begin(record, page);
    exec();
    const bool written = target == nullptr;
    DestroyFrames();
    target = nullptr;
    return written;
}

void TBusEdit::Begin(CFile &record, int page)
{
    DestroyFrames();
    target = &record;
    edit = record;
    TriggerFields::MakeSane(edit);
    pageType = edit.TriggerType;
    edit.TriggerEditReload = 1;
    PageControl->setCurrentIndex(page == 1 ? TriggerPageIndex : BusPageIndex);

    ApplyTexts();
    const int channels = ModelTable::Model(edit.ModelCode).channels;
    const int width = channels == 16 ? 550 : channels == 32 ? 890 : this->width();
    setFixedSize(width, ClientHeight);
    channel31Reserved = edit.ModelCode == 1 || edit.ModelCode == 2;
    clockSource = edit.ClockSource;

    BuildBusFrame();
    triggerInfo = new TriggerInfo(Edge, edit);
    connect(triggerInfo, &TriggerInfo::TriggerModeClicked, this, &TBusEdit::ClockSourceClick);
    triggerInfo->Load();
    // The options at the right edge, "Erase" under them, the warning below
    // the grids.
    const int sheetWidth = width - 24;
    triggerInfo->setGeometry(sheetWidth - InfoWidth - 4, 4, InfoWidth, 300);
    triggerInfo->show();
    btn_Erase_Pat->setGeometry(sheetWidth - InfoWidth - 4, 312, InfoWidth, 28);
    ptWarningLabel->setGeometry(GridLeft, 292, sheetWidth - InfoWidth - GridLeft - 12, 40);

    QToolButton *pulse = PageButtons[4];
    pulse->setEnabled(edit.ModelCode != 0);
    pulse->setDown(edit.ModelCode == 0);
    UpdateClockControls();
    ShowPage(pageType);
}

void TBusEdit::UpdateClockControls()
{
    ptWarningLabel->setVisible(clockSource == 1 && channel31Reserved);
}

void TBusEdit::ShowPage(int type)
{
    pageType = type;
    if (type >= 1 && type <= 5)
        PageButtons[static_cast<size_t>(type - 1)]->setChecked(true);
    if (type == 0)
        pageType = 1;
    if (pageType == 5) {
        pulseWidth = new CPulseWidth(Edge, edit, [this](int c) {
            return std::string(CFile::NameText(edit.ChannelEntry[static_cast<size_t>(c & 31)]));
        });
        pulseWidth->Load();
        pulseWidth->setGeometry(GridLeft, 5, width() - InfoWidth - GridLeft - 40, 90);
        pulseWidth->show();
        return;
    }
    if (pageType < 1 || pageType > 5)
        return;
    for (size_t i = 0; i < 3; ++i) {
        const int row = RowsOfType[static_cast<size_t>(pageType)][i];
        if (row < 0)
            continue;
        auto *grid = new GridFrame(Edge, edit, pageType, row, channel31Reserved, clockSource);
        grid->move(GridLeft, GridTops[i]);
        grid->show();
        grids[i] = grid;
    }
}

void TBusEdit::DestroyPage()
{
    for (GridFrame *&g : grids) {
        delete g;
        g = nullptr;
    }
    delete pulseWidth;
    pulseWidth = nullptr;
}

void TBusEdit::DestroyFrames()
{
    DestroyPage();
    delete triggerInfo;
    triggerInfo = nullptr;
    DestroyBusFrame();
}

void TBusEdit::PageButtonClick(int type)
{
    if (type == pageType && (grids[0] || pulseWidth))
        return;
    DestroyPage();
    ShowPage(type);
}

void TBusEdit::ClockSourceClick(int index)
{
    clockSource = index == 1 ? 1 : 0;
    if (pageType == 5 && clockSource == 1) {
        // Pulse widths are measured with the internal clock only.
        DestroyPage();
        ShowPage(1);
    }
    for (GridFrame *g : grids)
        if (g)
            g->SetClockSource(clockSource);
    QToolButton *pulse = PageButtons[4];
    pulse->setEnabled(clockSource == 0 && edit.ModelCode != 0);
    pulse->setDown(clockSource == 1 || edit.ModelCode == 0);
    UpdateClockControls();
}

void TBusEdit::btn_Erase_PatClick()
{
    for (GridFrame *g : grids)
        if (g)
            g->Erase();
    if (pulseWidth)
        pulseWidth->Erase();
    const bool wasExternal = clockSource == 1;
    triggerInfo->Erase();
    if (wasExternal)
        ClockSourceClick(0);
}

void TBusEdit::btn_YesClick()
{
    if (!target)
        return;
    CommitBusFrame();
    triggerInfo->Commit();
    if (edit.ClockSource == 1 && AskExternalClock)
        AskExternalClock();
    const int channels = ModelTable::Model(edit.ModelCode).channels;
    if (pageType >= 1 && pageType <= 4) {
        for (size_t r = 0; r < CFile::PatternRows; ++r)
            for (int c = 0; c < channels; ++c)
                edit.TriggerCondition[r][static_cast<size_t>(c)] =
                    edit.TriggerConditionEdit[r][static_cast<size_t>(c)];
    } else if (pageType == 5 && pulseWidth && !pulseWidth->Commit()) {
        AppMessage::Error(this, windowTitle(),
                          QStringLiteral("The pulse width is not a valid integer value."));
        return;
    }
    DestroyPage();
    edit.TriggerType = static_cast<uint8_t>(pageType);
    DestroyFrames();
    *target = edit;
    target = nullptr;
    accept();
}

void TBusEdit::btn_CancelClick()
{
    DestroyFrames();
    reject();
}

void TBusEdit::BuildBusFrame()
{
    DestroyBusFrame();
    busFrame = new BusFrame(TabSheet1, edit);
}

void TBusEdit::CommitBusFrame()
{
    if (busFrame)
        busFrame->Commit();
}

void TBusEdit::DestroyBusFrame()
{
    delete busFrame;
    busFrame = nullptr;
}
