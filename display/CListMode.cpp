#include "display/CListMode.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "display/CWaveformCore.h"
#include "display/CursorMarkerPicture.h"
#include "display/ListKeys.h"
#include "display/ListTableModel.h"
#include "display/TPaintBox.h"
#include "display/WRowLabels.h"
#include "lang/WSysLanguage.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int Row = WListRows::RowHeight;
constexpr int Fixed = WListRows::FixedRows;

// Paints a cell as plainly as the list needs (its background, its text and
// the lines of its row), without the style's item machinery: a scroll step
// repaints every visible cell.
class RowLinesDelegate : public QStyledItemDelegate
{
public:
    RowLinesDelegate(QObject *parent, const CListMode &list)
        : QStyledItemDelegate(parent)
        , owner(list)
    {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        const QRect r = option.rect;
        painter->fillRect(r, index.data(Qt::BackgroundRole).value<QColor>());
        painter->setPen(index.data(Qt::ForegroundRole).value<QColor>());
        painter->drawText(r.adjusted(2, 0, -1, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          index.data(Qt::DisplayRole).toString());
        if (index.row() == 0)
            return;
        for (const CListMode::RowLine &line : owner.LinesOfRow(index.row() - 1)) {
            painter->setPen(QPen(line.Colour, 1, line.Dotted ? Qt::DotLine : Qt::SolidLine));
            painter->drawLine(r.left(), r.top(), r.right(), r.top());
            painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        }
    }

private:
    const CListMode &owner;
};

// The wheel of the grid moves the list by one sample per notch.
class WheelFilter : public QObject
{
public:
    WheelFilter(QObject *parent, std::function<void(int)> step)
        : QObject(parent)
        , onStep(std::move(step))
    {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Wheel)
            return QObject::eventFilter(watched, event);
        const int dy = static_cast<QWheelEvent *>(event)->angleDelta().y();
        if (dy != 0)
            onStep(dy < 0 ? 1 : -1);
        return true;
    }

private:
    std::function<void(int)> onStep;
};

QColor ColourOf(TColor c)
{
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

} // namespace

CListMode::CListMode(QWidget *page, CWaveformCore &waveform, CCaptureRecord &captureRecord,
                     CFile &settingsRecord, WCursor &cursorList, const WSysLanguage &texts)
    : view(waveform)
    , record(captureRecord)
    , settings(settingsRecord)
    , cursors(cursorList)
    , language(texts)
    , rows(captureRecord, settingsRecord)
{
    BuildControls(page);
}

CListMode::~CListMode() = default;

void CListMode::BuildControls(QWidget *page)
{
    panel = new QWidget(page);
    panel->setObjectName(QStringLiteral("ListPanel"));
    if (page->layout())
        page->layout()->addWidget(panel);
    auto *h = new QHBoxLayout(panel);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(0);

    lane = new QWidget(panel);
    lane->setObjectName(QStringLiteral("ListMarkerLane"));
    lane->setFixedWidth(LaneWidth);
    lane->setContextMenuPolicy(Qt::CustomContextMenu);
    middleBar = new QWidget(lane);
    middleBar->setObjectName(QStringLiteral("ListMiddleBar"));
    middleBar->setGeometry(0, 0, LaneWidth, 5);
    middleBar->setAutoFillBackground(true);
    QPalette barPalette = middleBar->palette();
    barPalette.setColor(QPalette::Window, QColor(FrameColour));
    middleBar->setPalette(barPalette);

    grid = new QTableView(panel);
    grid->setObjectName(QStringLiteral("ListGrid"));
    model = new ListTableModel(grid, rows);
    grid->setModel(model);
    grid->setItemDelegate(new RowLinesDelegate(grid, *this));
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setMinimumSectionSize(Row);
    grid->verticalHeader()->setDefaultSectionSize(Row);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView *header = grid->horizontalHeader();
    header->setFixedHeight(Row);
    header->setSectionsMovable(true);
    header->setHighlightSections(false);
    header->setMinimumSectionSize(10);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid->setShowGrid(false);
    grid->setFrameShape(QFrame::NoFrame);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    fontSize = std::max(8, grid->font().pointSize());

    scrollBar = new QScrollBar(Qt::Vertical, panel);
    scrollBar->setObjectName(QStringLiteral("ListScrollBar"));
    scrollBar->setFixedWidth(ScrollBarWidth);
    scrollBar->setSingleStep(1);
    scrollBar->setPageStep(LargeChange);
    scrollBar->setRange(0, 0);

    h->addWidget(lane);
    h->addWidget(grid, 1);
    h->addWidget(scrollBar);

    QObject::connect(scrollBar, &QScrollBar::valueChanged, grid, [this](int value) {
        if (settingPosition)
            return;
        SetPosition(value);
        if (On.Scrolled)
            On.Scrolled();
    });
    grid->viewport()->installEventFilter(new WheelFilter(grid, [this](int step) {
        SetPosition(Position() + step);
        if (On.Scrolled)
            On.Scrolled();
    }));
    new ListKeys(grid, [this](ListKeys::Move m) {
        SetPosition(ListKeys::Moved(m, Position(), rows.VisibleRows(), rows.RecordFirst(),
                                    rows.RecordLast()));
        if (On.Scrolled)
            On.Scrolled();
    });
    // Only the signal columns move; the list takes the new order and the
    // columns are rebuilt from it, so the header itself never stays moved.
    QObject::connect(header, &QHeaderView::sectionMoved, grid,
                     [this, header](int, int from, int to) {
                         const QSignalBlocker block(header);
                         header->moveSection(to, from);
                         const int last = rows.TimeColumn();
                         if (from < 1 || to < 1 || from >= last || to >= last || !On.MoveRow)
                             return;
                         On.MoveRow(from - 1, to - 1);
                     });
    QObject::connect(header, &QHeaderView::sectionDoubleClicked, grid, [this](int column) {
        if (column >= 1 && column < rows.TimeColumn() && On.Rename)
            On.Rename(rows.Columns()[static_cast<size_t>(column - 1)].Row);
    });
    QObject::connect(grid, &QWidget::customContextMenuRequested, grid, [this](QPoint at) {
        const QModelIndex index = grid->indexAt(at);
        ShowPopup(grid->viewport()->mapToGlobal(at), index.isValid() ? index.row() : -1,
                  index.isValid() ? index.column() : -1);
    });
    QObject::connect(lane, &QWidget::customContextMenuRequested, lane,
                     [this](QPoint at) { ShowPopup(lane->mapToGlobal(at), -1, -1); });
}

void CListMode::Refresh()
{
    view.UpdateTimeBase();
    rows.SetSamplePeriod(view.SamplePeriod);
    ColumnsFromSignalList();
    Reposition();
}

void CListMode::Resize()
{
    const int height = grid->height();
    rows.SetVisibleRows(WListRows::VisibleRowsOf(height));
    model->Reset();
    middleBar->move(0, (Fixed + rows.Half()) * Row + 11);
    Reposition();
}

void CListMode::Reposition()
{
    const QSignalBlocker block(scrollBar);
    scrollBar->setRange(rows.RecordFirst(), std::max(rows.RecordFirst(), rows.RecordLast()));
    SetPosition(Position());
}

void CListMode::ColumnsFromSignalList()
{
    rows.SetColumns(view.ListedRows(), view.System.ChannelCount);
    WRowLabels labels(view, WRowLabels::Texts::OfList());
    QStringList names{QString::fromUtf8(language.Text(WSysLanguage::strSampleNumber))};
    QStringList triggers{QString()};
    for (const WListRows::Column &c : rows.Columns()) {
        names << QString::fromLatin1(labels.Name(c.Row));
        triggers << QString::fromUtf8(labels.TriggerText(c.Row));
    }
    names << QString::fromUtf8(language.Text(WSysLanguage::strTimer));
    triggers << QString();
    model->SetHeaders(names, triggers);
    for (int c = 0; c < rows.ColumnCount(); ++c) {
        const bool wide = c == 0 || c == rows.TimeColumn();
        const auto longest = std::max(names[c].size(), triggers[c].size());
        grid->setColumnWidth(
            c, std::max<int>(fontSize * (wide ? 10 : 5), static_cast<int>(longest) * fontSize));
    }
}

void CListMode::FitColumns()
{
    for (int c = 0; c < rows.ColumnCount(); ++c) {
        size_t longest = 0;
        for (int r = 0; r < rows.DataRows(); ++r)
            longest = std::max(longest, rows.Text(r, c).size());
        const int wanted = static_cast<int>(longest) * fontSize;
        if (wanted > grid->columnWidth(c))
            grid->setColumnWidth(c, wanted);
    }
}

void CListMode::FillRows()
{
    rows.Fill();
    model->RowsFilled();
    FitColumns();
}

void CListMode::Recolour(QColor list, QColor background, QColor foreground)
{
    model->SetColours(list, background, foreground);
    QPalette p = grid->palette();
    p.setColor(QPalette::Base, background);
    grid->setPalette(p);
}

void CListMode::SetPosition(int32_t index)
{
    rows.SetCurrentIndex(index);
    {
        const QSignalBlocker block(scrollBar);
        settingPosition = true;
        scrollBar->setValue(rows.CurrentIndex());
        settingPosition = false;
    }
    FillRows();
    PlaceMarkers();
}

void CListMode::ShowSampleAtTop(int32_t index)
{
    SetPosition(index + rows.Half());
}

WTime CListMode::PositionTime() const
{
    return WListRows::TimeOfIndex(rows.CurrentIndex(), rows.SamplePeriod());
}

int32_t CListMode::RowOfCursor(const WCursor::Cursor &c) const
{
    const WTime &trigger = cursors.TriggerCursor().Time;
    const WTime t = c.IsTrigger() ? trigger : SignedAdd(c.Time, trigger);
    return WListRows::IndexOfTime(t, rows.SamplePeriod());
}

void CListMode::GotoTrigger()
{
    SetPosition(RowOfCursor(cursors.TriggerCursor()));
}

void CListMode::GotoCursor(char name)
{
    if (const WCursor::Cursor *c = cursors.FindCursor(name))
        SetPosition(RowOfCursor(*c));
}

TPaintBox *CListMode::MarkerOf(char name) const
{
    const auto it = markers.find(name);
    return it == markers.end() ? nullptr : it->second;
}

void CListMode::PlaceMarkers()
{
    std::vector<const WCursor::Cursor *> all{&cursors.TriggerCursor()};
    for (const WCursor::Cursor &c : cursors.Cursors())
        all.push_back(&c);
    // Markers of cursors that are gone go too.
    for (auto it = markers.begin(); it != markers.end();) {
        const bool alive = std::any_of(all.begin(), all.end(), [&it](const WCursor::Cursor *c) {
            return c->Name == it->first;
        });
        if (alive) {
            ++it;
            continue;
        }
        delete it->second;
        markerRows.erase(it->first);
        it = markers.erase(it);
    }
    for (const WCursor::Cursor *c : all) {
        TPaintBox *&box = markers[c->Name];
        if (box == nullptr) {
            box = new TPaintBox(lane, "ListMarker");
            box->setObjectName(QStringLiteral("ListMarker%1").arg(QLatin1Char(c->Name)));
            box->SetPicture(CursorMarkerPicture::ListMarker(c->Name, c->Colour),
                            CursorMarkerPicture::TransparentColour);
            if (!c->IsTrigger()) {
                const char name = c->Name;
                box->OnMouseDown = [this, name](QMouseEvent *e) {
                    if (e->button() == Qt::LeftButton)
                        dragging = name;
                };
                box->OnMouseMove = [this, name, box](QMouseEvent *e) {
                    if (dragging == name)
                        DragMarkerTo(name, box->y() + static_cast<int>(e->position().y()));
                };
                box->OnMouseUp = [this](QMouseEvent *) {
                    if (dragging != 0 && On.CursorMoved)
                        On.CursorMoved();
                    dragging = 0;
                };
            }
            box->show();
        }
        const int32_t n = RowOfCursor(*c);
        markerRows[c->Name] = n;
        const int32_t d = n - rows.FirstIndex();
        int top = 0;
        if (d < 0)
            top = -10;
        else if (d >= rows.DataRows())
            top = lane->height() - 10;
        else
            top = (d + Fixed) * Row;
        const int left =
            c->IsTrigger() ? WCursor::TriggerListMarkerLeft : WCursor::UserListMarkerLeft;
        box->move(left, top);
    }
    CollectRowLines();
    if (const WCursor::Cursor *selected = cursors.Selected())
        if (TPaintBox *box = MarkerOf(selected->Name))
            box->raise();
    grid->viewport()->update();
}

const std::vector<CListMode::RowLine> &CListMode::LinesOfRow(int dataRow) const
{
    static const std::vector<RowLine> none;
    if (dataRow < 0 || static_cast<size_t>(dataRow) >= rowLines.size())
        return none;
    return rowLines[static_cast<size_t>(dataRow)];
}

void CListMode::CollectRowLines()
{
    rowLines.assign(static_cast<size_t>(std::max(rows.DataRows(), 0)), {});
    auto add = [this](int32_t n, const WCursor::Cursor &c) {
        const int32_t d = n - rows.FirstIndex();
        if (d >= 0 && d < rows.DataRows())
            rowLines[static_cast<size_t>(d)].push_back(
                RowLine{ColourOf(c.Colour), c.LineStyle != WCursor::Solid});
    };
    if (rows.Half() < rows.DataRows())
        rowLines[static_cast<size_t>(rows.Half())].push_back(RowLine{QColor(FrameColour), false});
    for (const auto &[name, n] : markerRows)
        if (name == WCursor::TriggerName)
            add(n, cursors.TriggerCursor());
    for (const WCursor::Cursor &c : cursors.Cursors())
        add(markerRows[c.Name], c);
    if (const WCursor::Cursor *selected = cursors.Selected())
        add(markerRows[selected->Name], *selected);
}

void CListMode::DragMarkerTo(char name, int laneY)
{
    WCursor::Cursor *c = cursors.FindCursor(name);
    if (c == nullptr || c->IsTrigger())
        return;
    int d = (laneY < 0 ? laneY - Row + 1 : laneY) / Row - Fixed;
    if (d < 0) {
        SetPosition(Position() - 1);
        d = 0;
    } else if (d >= rows.DataRows()) {
        SetPosition(Position() + 1);
        d = rows.DataRows() - 1;
    }
    const int32_t n = std::clamp(rows.IndexOfRow(d), rows.RecordFirst(), rows.RecordLast());
    c->ListPosition = n;
    c->Time =
        SignedSub(WListRows::TimeOfIndex(n, rows.SamplePeriod()), cursors.TriggerCursor().Time);
    PlaceMarkers();
}

std::unique_ptr<QMenu> CListMode::BuildPopup()
{
    auto text = [this](WSysLanguage::Id id) { return QString::fromUtf8(language.Text(id)); };
    auto menu = std::make_unique<QMenu>(grid);
    menu->setObjectName(QStringLiteral("ListPopupMenu"));
    auto after = [this](void (CListMode::*go)()) {
        return [this, go] {
            (this->*go)();
            if (On.Scrolled)
                On.Scrolled();
        };
    };
    QMenu *go = menu->addMenu(text(WSysLanguage::strWaveformMenu2Item1));
    QObject::connect(go->addAction(text(WSysLanguage::strWaveformMenu2Item5)), &QAction::triggered,
                     grid, [this] {
                         if (On.GotoCursor)
                             On.GotoCursor();
                     });
    QObject::connect(go->addAction(text(WSysLanguage::strWaveformMenu2Item6)), &QAction::triggered,
                     grid, after(&CListMode::GotoTrigger));
    QObject::connect(go->addAction(text(WSysLanguage::strWaveformMenu2Item7)), &QAction::triggered,
                     grid, after(&CListMode::GotoBegin));
    QObject::connect(go->addAction(text(WSysLanguage::strWaveformMenu2Item8)), &QAction::triggered,
                     grid, after(&CListMode::GotoEnd));

    QMenu *search = menu->addMenu(text(WSysLanguage::strWaveformMenu2Item2));
    const bool running = On.Running && On.Running();
    auto searchItem = [&](WSysLanguage::Id id, int direction) {
        QAction *a = search->addAction(text(id));
        a->setEnabled(direction == 0 || !running);
        QObject::connect(a, &QAction::triggered, grid, [this, direction] {
            if (On.Search)
                On.Search(direction);
        });
    };
    searchItem(WSysLanguage::strWaveformMenu2Item9, -1);
    searchItem(WSysLanguage::strWaveformMenu2Item10, 0);
    searchItem(WSysLanguage::strWaveformMenu2Item11, 1);

    QObject::connect(menu->addAction(text(WSysLanguage::strWaveformMenu2Item3)),
                     &QAction::triggered, grid, [this] {
                         if (On.AdvancedTrigger)
                             On.AdvancedTrigger();
                     });
    QObject::connect(menu->addAction(text(WSysLanguage::strWaveformMenu2Item4)),
                     &QAction::triggered, grid, [this] {
                         if (On.AdvancedBus)
                             On.AdvancedBus();
                     });
    return menu;
}

void CListMode::ShowPopup(QPoint globalPos, int viewRow, int column)
{
    // A right click on a signal's trigger text opens its trigger pop-up.
    if (viewRow == 0 && column >= 1 && column < rows.TimeColumn() && On.Pattern) {
        On.Pattern(rows.Columns()[static_cast<size_t>(column - 1)].Row, globalPos);
        return;
    }
    BuildPopup()->exec(globalPos);
}
