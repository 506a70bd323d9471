#include "trigger/BusFrame.h"

#include "device/CFile.h"
#include "device/ModelTable.h"
#include "display/Tform_name.h"
#include "trigger/BusRowsModel.h"
#include "trigger/PortLevels.h"
#include "trigger/Tform_Triglevel.h"
#include "ui/UiText.h"

#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>

#include <array>

namespace {

constexpr std::array<QRgb, 4> PortColours{0x707078, 0xCE6700, 0xFF7171, 0xFDAA57};

BusTable::Texts RowWords()
{
    BusTable::Texts t;
    t.User = UiText::Get("Bus/TriggerEdit", "strBus_User", "User").toStdString();
    t.Auto = UiText::Get("Bus/TriggerEdit", "strBus_Auto", "Auto").toStdString();
    t.None = UiText::Get("Bus/TriggerEdit", "strBus_None", "None").toLatin1().toStdString();
    return t;
}

QTableView *NewGrid(QWidget *parent, const char *name)
{
    auto *grid = new QTableView(parent);
    grid->setObjectName(QLatin1String(name));
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(BusFrame::RowHeight);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    grid->viewport()->setMouseTracking(true);
    return grid;
}

} // namespace

BusFrame::BusFrame(QWidget *sheet, CFile &settingsRecord)
    : QFrame(sheet)
    , settings(settingsRecord)
    , table(ModelTable::Model(settingsRecord.ModelCode).channels, RowWords())
{
    setObjectName(QStringLiteral("BusFrame"));
    setFrameShape(QFrame::NoFrame);
    setGeometry(0, 0, PanelWidth, PanelHeight);
    table.Load(settings);
    BuildGrids();
    BuildPorts();
    WriteLevelTexts();
    show();
}

void BusFrame::BuildGrids()
{
    const int n = table.ChannelCount();
    const int gridHeight = LeftHeaderHeight + VisibleRows * RowHeight + 2;

    LeftGrid = NewGrid(this, "LeftGrid");
    leftModel = new BusRowsModel(LeftGrid, table, BusRowsModel::Side::Left);
    leftModel->SetHeaders({UiText::Get("Bus/TriggerEdit", "strBus_Mode", "Mode"),
                           UiText::Get("Bus/TriggerEdit", "strBus_Name", "Name"),
                           UiText::Get("Bus/TriggerEdit", "strBus_Bits", "Bits")});
    LeftGrid->setModel(leftModel);
    LeftGrid->horizontalHeader()->setFixedHeight(LeftHeaderHeight);
    LeftGrid->setColumnWidth(0, 40);
    LeftGrid->setColumnWidth(1, 100);
    LeftGrid->setColumnWidth(2, 25);
    LeftGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    LeftGrid->setGeometry(0, 0, LeftWidth, gridHeight);

    RightGrid = NewGrid(this, "RightGrid");
    rightModel = new BusRowsModel(RightGrid, table, BusRowsModel::Side::Right);
    RightGrid->setModel(rightModel);
    RightGrid->horizontalHeader()->setFixedHeight(RowHeight);
    RightGrid->horizontalHeader()->setMinimumSectionSize(CellWidth);
    RightGrid->horizontalHeader()->setDefaultSectionSize(CellWidth);
    for (int c = 0; c < n; ++c)
        RightGrid->setColumnWidth(c, CellWidth);
    // Without a frame the columns lie exactly under the port headers.
    RightGrid->setFrameShape(QFrame::NoFrame);
    RightGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RightGrid->setGeometry(LeftWidth, RightTop, 21 * n + 20, gridHeight - RightTop);
    // Both grids always scroll together.
    connect(RightGrid->verticalScrollBar(), &QScrollBar::valueChanged,
            LeftGrid->verticalScrollBar(), &QScrollBar::setValue);
    connect(LeftGrid->verticalScrollBar(), &QScrollBar::valueChanged,
            RightGrid->verticalScrollBar(), &QScrollBar::setValue);
    LeftGrid->viewport()->installEventFilter(this);
    RightGrid->viewport()->installEventFilter(this);

    const int buttonsTop = gridHeight + 6;
    auto button = [this, buttonsTop](const char *name, const QString &text, int left) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(left, buttonsTop, 80, 26);
        return b;
    };
    Add = button("Add", UiText::Get("Common", "strAddBtnCaption", "Add"), 0);
    btn_Delete = button("btn_Delete", UiText::Get("Common", "strDeleteBtnCaption", "Delete"), 88);
    btn_Erase =
        button("btn_Erase", UiText::Get("Bus/TriggerEdit", "strEraseBtnCaption", "Erase"), 176);
    connect(Add, &QPushButton::clicked, this, [this] { AddClick(); });
    connect(btn_Delete, &QPushButton::clicked, this, [this] { btn_DeleteClick(); });
    connect(btn_Erase, &QPushButton::clicked, this, [this] { btn_EraseClick(); });

    ptStatusBar = new QStatusBar(this);
    ptStatusBar->setObjectName(QStringLiteral("ptStatusBar"));
    ptStatusBar->setSizeGripEnabled(false);
    for (int width : {100, 100, 50}) {
        auto *panel = new QLabel(ptStatusBar);
        panel->setMinimumWidth(width);
        ptStatusBar->addWidget(panel);
        StatusPanels.push_back(panel);
    }
    ptStatusBar->setGeometry(264, buttonsTop, PanelWidth - 264, 26);
    SetCurrentRow(0);
}

void BusFrame::BuildPorts()
{
    const int ports = table.ChannelCount() / 8;
    const QString port = UiText::Get("Bus/TriggerEdit", "strBus_Port", "Port ");
    for (int p = ports - 1; p >= 0; --p) {
        const int left = LeftWidth + (ports - 1 - p) * 8 * CellWidth;
        auto *header = new QLabel(port + QString::number(p + 1), this);
        header->setObjectName(QStringLiteral("PortHeader%1").arg(p + 1));
        header->setAlignment(Qt::AlignCenter);
        header->setAutoFillBackground(true);
        QPalette pal = header->palette();
        pal.setColor(QPalette::Window, QColor::fromRgb(PortColours[static_cast<size_t>(p % 4)]));
        header->setPalette(pal);
        header->setGeometry(left, 0, 8 * CellWidth, 20);
        auto *level = new QPushButton(this);
        level->setObjectName(QStringLiteral("LevelButton%1").arg(p + 1));
        level->setGeometry(left, 22, 8 * CellWidth, 20);
        level->setCursor(Qt::PointingHandCursor);
        connect(level, &QPushButton::released, this, [this, p] { LevelButtonClick(p); });
        PortHeaders.insert(PortHeaders.begin(), header);
        LevelButtons.insert(LevelButtons.begin(), level);
    }
}

void BusFrame::WriteLevelTexts()
{
    const std::array<QString, 4> captions{
        UiText::Get("Bus/TriggerEdit", "strBus_Volt1", "Volt 1 : "),
        UiText::Get("Bus/TriggerEdit", "strBus_Volt2", "Volt 2 : "),
        UiText::Get("Bus/TriggerEdit", "strBus_Volt3", "Volt 3 : "),
        UiText::Get("Bus/TriggerEdit", "strBus_Volt4", "Volt 4 : ")};
    for (size_t p = 0; p < LevelButtons.size() && p < captions.size(); ++p) {
        const std::string volts = PortLevels::VoltText(settings.ModelCode, settings.PortLevel[p]);
        LevelButtons[p]->setText(captions[p] + QString::fromStdString(volts) + QLatin1Char('v'));
    }
}

void BusFrame::Commit()
{
    table.Commit(settings);
}

void BusFrame::RowsChanged()
{
    leftModel->Reset();
    rightModel->Reset();
    SetCurrentRow(std::min(currentRow, table.RowCount() - 1));
}

void BusFrame::SetCurrentRow(int row)
{
    currentRow = std::max(0, row);
    LeftGrid->setCurrentIndex(leftModel->index(currentRow, 1));
}

void BusFrame::AddClick()
{
    if (!table.Add())
        return;
    RowsChanged();
    SetCurrentRow(table.RowCount() - 1);
    // Past the visible rows the grids scroll so the last ones show.
    RightGrid->scrollToBottom();
}

void BusFrame::btn_DeleteClick()
{
    table.Delete(currentRow);
    RowsChanged();
}

void BusFrame::btn_EraseClick()
{
    table.Erase(currentRow);
    RowsChanged();
}

void BusFrame::LevelButtonClick(int port)
{
    Tform_Triglevel::Show(this, port, settings);
    WriteLevelTexts();
}

void BusFrame::ShowRowStatus(int row)
{
    if (row < 0 || row >= table.RowCount())
        return;
    StatusPanels[0]->setText(QString::fromLatin1(table.RowAt(row).Name));
    StatusPanels[1]->setText(QString::fromStdString(table.MsbText(row)));
    StatusPanels[2]->setText(QString::fromStdString(table.MembersText(row)));
}

void BusFrame::RenameRow(int row)
{
    Tform_name keyboard(this);
    const QString name = QString::fromLatin1(table.RowAt(row).Name);
    table.SetName(row, keyboard.EditText(name).toLatin1().toStdString());
    RowsChanged();
}

bool BusFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == LeftGrid->viewport())
        return LeftGridEvent(event);
    if (watched == RightGrid->viewport())
        return RightGridEvent(event);
    return QFrame::eventFilter(watched, event);
}

bool BusFrame::LeftGridEvent(QEvent *event)
{
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseMove)
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    const QModelIndex at = LeftGrid->indexAt(mouse->position().toPoint());
    if (!at.isValid())
        return false;
    if (type == QEvent::MouseMove) {
        ShowRowStatus(at.row());
        return false;
    }
    if (mouse->button() != Qt::LeftButton)
        return true;
    SetCurrentRow(at.row());
    if (type == QEvent::MouseButtonPress && at.column() == 0) {
        table.ToggleMode(at.row());
        RowsChanged();
    } else if (type == QEvent::MouseButtonDblClick && at.column() == 1 &&
               !table.RowAt(at.row()).IsEmpty()) {
        RenameRow(at.row());
    }
    return true;
}

bool BusFrame::RightGridEvent(QEvent *event)
{
    const auto type = event->type();
    if (type == QEvent::MouseButtonRelease) {
        editingRow = -1;
        lastToggled = -1;
        return true;
    }
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonDblClick)
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    const QModelIndex at = RightGrid->indexAt(mouse->position().toPoint());
    if (type == QEvent::MouseButtonDblClick)
        return true;
    if (!at.isValid())
        return type == QEvent::MouseButtonPress;
    const int channel = rightModel->ChannelOf(at.column());
    if (type == QEvent::MouseMove) {
        ShowRowStatus(at.row());
        if (editingRow < 0 || !(mouse->buttons() & Qt::LeftButton) || at.row() != editingRow ||
            channel == lastToggled)
            return false;
    } else {
        if (mouse->button() != Qt::LeftButton)
            return true;
        editingRow = at.row();
        SetCurrentRow(at.row());
    }
    lastToggled = channel;
    table.ToggleCell(at.row(), channel);
    RowsChanged();
    return true;
}
