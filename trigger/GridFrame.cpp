#include "trigger/GridFrame.h"

#include "device/CFile.h"
#include "device/ModelTable.h"
#include "trigger/PatternRowEdit.h"
#include "ui/UiText.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int CellSize = 20;

// Port header colours, port 1 first (0xRRGGBB).
constexpr std::array<QRgb, 4> PortColours{0x707078, 0xCE6700, 0xFF7171, 0xFDAA57};

QColor ConditionColour(char letter)
{
    switch (letter) {
    case 'L':
        return QColor(0x30, 0x60, 0xD0);
    case 'H':
        return QColor(0xD0, 0x30, 0x30);
    case 'R':
    case 'F':
        return QColor(0x10, 0x90, 0x30);
    default:
        return QColor(0x80, 0x80, 0x80);
    }
}

} // namespace

GridFrame::GridFrame(QWidget *parent, CFile &settings, int pageType, int patternRow,
                     bool channel31Reserved, int clockSource)
    : QFrame(parent)
    , record(settings)
    , type(pageType)
    , row(patternRow)
    , channels(ModelTable::Model(settings.ModelCode).channels)
    , reserved(channel31Reserved)
    , clock(clockSource)
{
    setObjectName(QStringLiteral("GridFrame%1").arg(patternRow));
    setFrameShape(QFrame::NoFrame);
    const QString captions[] = {UiText::Get("Bus/TriggerEdit", "strGrid_Pat1", "Pattern 1"),
                                UiText::Get("Bus/TriggerEdit", "strGrid_Pat2", "Pattern 2"),
                                UiText::Get("Bus/TriggerEdit", "strGrid_Pat3", "Pattern 3"),
                                UiText::Get("Bus/TriggerEdit", "strGrid_PatOR", "Pattern OR")};
    Title = new QLabel(captions[std::clamp(row, 0, 3)], this);
    Title->setObjectName(QStringLiteral("Title"));
    Title->setFixedSize(100, 20);
    Title->setAlignment(Qt::AlignCenter);
    QFont bold = Title->font();
    bold.setBold(true);
    bold.setPointSize(10);
    Title->setFont(bold);
    Title->setAutoFillBackground(true);
    Title->setStyleSheet(QStringLiteral("background-color: #B3AEF5;"));

    if (record.TriggerEditReload == 1) {
        for (size_t r = 0; r < CFile::PatternRows; ++r)
            for (int c = 0; c < channels; ++c)
                record.TriggerConditionEdit[r][static_cast<size_t>(c)] =
                    record.TriggerCondition[r][static_cast<size_t>(c)];
        record.TriggerEditReload = 0;
    }
    // Pattern sequences take levels only: an edge left from another type
    // becomes X here and in the OR row at the same channel.
    if (type == 2 || type == 3) {
        for (int c = 0; c < channels; ++c) {
            auto &code = Row()[static_cast<size_t>(c)];
            if (PatternRowEdit::IsEdge(code)) {
                code = CFile::CondX;
                record.TriggerConditionEdit[3][static_cast<size_t>(c)] = CFile::CondX;
            }
        }
    }

    BuildGrid();
    BuildMenu();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Title);
    layout->addWidget(Grid);
    SetClockSource(clock);
}

std::array<uint8_t, 32> &GridFrame::Row()
{
    return record.TriggerConditionEdit[static_cast<size_t>(std::clamp(row, 0, 3))];
}

void GridFrame::BuildGrid()
{
    Grid = new QTableWidget(3, channels, this);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->horizontalHeader()->hide();
    Grid->verticalHeader()->hide();
    Grid->horizontalHeader()->setMinimumSectionSize(CellSize);
    Grid->horizontalHeader()->setDefaultSectionSize(CellSize);
    Grid->verticalHeader()->setMinimumSectionSize(CellSize);
    Grid->verticalHeader()->setDefaultSectionSize(CellSize);
    Grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setFixedSize(channels * CellSize + 2, 3 * CellSize + 2);
    Grid->setContextMenuPolicy(Qt::CustomContextMenu);
    const QString port = UiText::Get("Bus/TriggerEdit", "strGrid_Port", "Port ");
    const int ports = channels / 8;
    for (int p = 0; p < ports; ++p) {
        // The highest port at the left.
        const int portIndex = ports - 1 - p;
        auto *header = new QTableWidgetItem(port + QString::number(portIndex + 1));
        header->setFlags(Qt::ItemIsEnabled);
        header->setTextAlignment(Qt::AlignCenter);
        header->setBackground(QColor::fromRgb(PortColours[static_cast<size_t>(portIndex % 4)]));
        header->setForeground(Qt::white);
        Grid->setItem(0, p * 8, header);
        Grid->setSpan(0, p * 8, 1, 8);
    }
    for (int col = 0; col < channels; ++col) {
        auto *digit = new QTableWidgetItem(QString::number(ChannelOf(col) % 8));
        digit->setFlags(Qt::ItemIsEnabled);
        digit->setTextAlignment(Qt::AlignCenter);
        digit->setBackground(QColor(0xE0, 0xE0, 0xE0));
        Grid->setItem(1, col, digit);
        auto *cell = new QTableWidgetItem;
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        cell->setTextAlignment(Qt::AlignCenter);
        QFont bold = cell->font();
        bold.setBold(true);
        cell->setFont(bold);
        Grid->setItem(ConditionRow, col, cell);
    }
    Grid->viewport()->installEventFilter(this);
    connect(Grid, &QTableWidget::cellDoubleClicked, this, [this](int r, int col) {
        if (r == ConditionRow)
            CycleColumn(col);
    });
    connect(Grid, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        const QModelIndex index = Grid->indexAt(at);
        if (index.row() == ConditionRow && ChannelOf(index.column()) != LockedChannel())
            Grid->setCurrentCell(index.row(), index.column());
        PopupMenu->popup(Grid->viewport()->mapToGlobal(at));
    });
}

void GridFrame::BuildMenu()
{
    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    auto item = [this](QMenu *menu, const QString &text, int tag) {
        QAction *a = menu->addAction(text);
        a->setData(tag);
        connect(a, &QAction::triggered, this, [this, tag] { MenuItemClick(tag); });
        return a;
    };
    const QString low = UiText::Get("Bus/TriggerEdit", "strGrid_Low", "Low");
    const QString high = UiText::Get("Bus/TriggerEdit", "strGrid_High", "High");
    const QString dontCare = UiText::Get("Bus/TriggerEdit", "strGrid_DontCare", "Don't Care");
    item(PopupMenu, low, 0);
    item(PopupMenu, high, 1);
    item(PopupMenu, dontCare, 2);
    const bool edges = PatternRowEdit::EdgesAllowed(type);
    item(PopupMenu, UiText::Get("Bus/TriggerEdit", "strGrid_Raising", "Raising"), 3)
        ->setEnabled(edges);
    item(PopupMenu, UiText::Get("Bus/TriggerEdit", "strGrid_Falling", "Falling"), 4)
        ->setEnabled(edges);
    QMenu *all = PopupMenu->addMenu(UiText::Get("Bus/TriggerEdit", "strGrid_All", "All"));
    all->menuAction()->setData(5);
    item(all, low, 6);
    item(all, high, 7);
    item(all, dontCare, 8);
}

int GridFrame::LockedChannel() const
{
    return reserved && clock == 1 ? channels - 1 : -1;
}

void GridFrame::ShowRow()
{
    const QString L = UiText::Get("Bus/TriggerEdit", "strGrid_L", "L");
    const QString H = UiText::Get("Bus/TriggerEdit", "strGrid_H", "H");
    const QString R = UiText::Get("Bus/TriggerEdit", "strGrid_R", "R");
    const QString F = UiText::Get("Bus/TriggerEdit", "strGrid_F", "F");
    for (int col = 0; col < channels; ++col) {
        const char letter = PatternRowEdit::Letter(Row()[static_cast<size_t>(ChannelOf(col))]);
        QTableWidgetItem *cell = Grid->item(ConditionRow, col);
        const QString text = letter == 'L'   ? L
                             : letter == 'H' ? H
                             : letter == 'R' ? R
                             : letter == 'F' ? F
                                             : QStringLiteral("X");
        cell->setText(text);
        cell->setData(Qt::UserRole, QChar::fromLatin1(letter));
        cell->setForeground(ConditionColour(letter));
        const bool locked = ChannelOf(col) == LockedChannel();
        cell->setBackground(locked ? QColor(0xC0, 0xC0, 0xC0) : QColor(Qt::white));
    }
}

QString GridFrame::RowText() const
{
    QString text;
    for (int col = 0; col < channels; ++col)
        text += Grid->item(ConditionRow, col)->data(Qt::UserRole).toChar();
    return text;
}

void GridFrame::SetClockSource(int clockSource)
{
    clock = clockSource;
    if (const int locked = LockedChannel(); locked >= 0)
        Row()[static_cast<size_t>(locked)] = CFile::CondX;
    ShowRow();
}

void GridFrame::Erase()
{
    for (int c = 0; c < channels; ++c)
        Row()[static_cast<size_t>(c)] = CFile::CondX;
    ShowRow();
}

void GridFrame::CycleColumn(int column)
{
    PatternRowEdit(Row(), channels, type, LockedChannel()).Cycle(ChannelOf(column));
    ShowRow();
}

void GridFrame::MenuItemClick(int tag)
{
    PatternRowEdit edit(Row(), channels, type, LockedChannel());
    static constexpr std::array<uint8_t, 3> Levels{CFile::CondLow, CFile::CondHigh, CFile::CondX};
    if (tag >= 6 && tag <= 8) {
        edit.SetAll(Levels[static_cast<size_t>(tag - 6)]);
    } else if (Grid->currentRow() == ConditionRow && Grid->currentColumn() >= 0) {
        const int channel = ChannelOf(Grid->currentColumn());
        if (tag >= 0 && tag <= 2)
            edit.SetLevel(channel, Levels[static_cast<size_t>(tag)]);
        else if (tag == 3 || tag == 4)
            edit.SetEdge(channel, tag == 3 ? CFile::CondRise : CFile::CondFall);
    }
    ShowRow();
}

bool GridFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != Grid->viewport())
        return QFrame::eventFilter(watched, event);
    const auto type_ = event->type();
    if (type_ != QEvent::MouseButtonPress && type_ != QEvent::MouseMove &&
        type_ != QEvent::MouseButtonRelease)
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    const QModelIndex index = Grid->indexAt(mouse->position().toPoint());
    const bool onCell = index.isValid() && index.row() == ConditionRow &&
                        ChannelOf(index.column()) != LockedChannel();
    if (type_ == QEvent::MouseButtonPress) {
        if (!onCell)
            return true; // the header rows and the locked cell take no selection
        Grid->setCurrentCell(index.row(), index.column());
        if (mouse->button() == Qt::LeftButton) {
            dragging = true;
            dragColumn = index.column();
            dragCode = Row()[static_cast<size_t>(ChannelOf(dragColumn))];
        }
        return false;
    }
    if (type_ == QEvent::MouseMove) {
        if (dragging && onCell && index.column() != dragColumn) {
            PatternRowEdit(Row(), channels, type, LockedChannel())
                .Drag(ChannelOf(dragColumn), ChannelOf(index.column()), dragCode);
            dragColumn = index.column();
            Grid->setCurrentCell(index.row(), index.column());
            ShowRow();
        }
        return dragging;
    }
    if (mouse->button() == Qt::LeftButton)
        dragging = false;
    return false;
}
