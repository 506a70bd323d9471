// The signal list left of the waveform: StringGrid1 (names, with the signal
// number in its hidden column 1) and StringGrid2 (trigger patterns). Mouse
// handling: selection shared by both grids, a red frame on the pressed name
// cell, rows dragged into a new order, double click to rename, right click
// for the trigger-pattern pop-up.

#include "analyzer/CAcquisition.h"
#include "analyzer/PatternPopup.h"
#include "analyzer/TForm1.h"
#include "display/CWaveform.h"
#include "display/Tform_name.h"
#include "protocols/WSPI.h"
#include "protocols/wI2C_UI.h"
#include "ui/UiText.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

// Paints the pressed cell of the name grid with a red frame.
class PressedFrame : public QStyledItemDelegate
{
public:
    PressedFrame(QObject *parent, const int &pressedRow)
        : QStyledItemDelegate(parent)
        , row(pressedRow)
    {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (index.row() != row || index.column() != 0)
            return;
        painter->save();
        painter->setPen(QPen(Qt::red, 2));
        painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
        painter->restore();
    }

private:
    const int &row;
};

int PressedRow = -1;

} // namespace

void TForm1::BindGrids()
{
    StringGrid1->setItemDelegate(new PressedFrame(StringGrid1, PressedRow));
    StringGrid1->viewport()->installEventFilter(this);
    StringGrid2->viewport()->installEventFilter(this);
    // A click in either grid selects the same row in the other.
    connect(StringGrid1, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0 && StringGrid2->currentRow() != row && row < StringGrid2->rowCount())
            StringGrid2->setCurrentCell(row, 0);
    });
    connect(StringGrid2, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0 && StringGrid1->currentRow() != row && row < StringGrid1->rowCount())
            StringGrid1->setCurrentCell(row, 0);
    });
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (column == 0)
            RenameListRow(row);
    });
}

bool TForm1::GridMouseEvent(QObject *watched, QEvent *event)
{
    const bool names = watched == StringGrid1->viewport();
    const bool patterns = watched == StringGrid2->viewport();
    if (!names && !patterns)
        return false;
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease)
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    QTableWidget *grid = names ? StringGrid1 : StringGrid2;
    const int row = grid->rowAt(static_cast<int>(mouse->position().y()));

    if (patterns) {
        if (type == QEvent::MouseButtonPress && mouse->button() == Qt::RightButton && row >= 0) {
            ShowPatternPopup(row, mouse->globalPosition().toPoint());
            return true;
        }
        return false;
    }
    if (mouse->button() != Qt::LeftButton)
        return false;
    if (type == QEvent::MouseButtonPress) {
        PressedRow = row;
        StringGrid1->viewport()->update();
        return false;
    }
    // Release: the frame goes; a row dropped on another row moves there.
    const int from = PressedRow;
    PressedRow = -1;
    StringGrid1->viewport()->update();
    if (from >= 0 && row >= 0 && row != from)
        MoveListRow(from, row);
    return false;
}

void TForm1::MoveListRow(int from, int to)
{
    const int listed = static_cast<int>(Waveform->ListedRows().size());
    if (from >= listed || to >= listed)
        return;
    // The signal list takes the new order; the grids are rebuilt from it.
    auto order = cFile->DisplayOrder.begin();
    if (from < to)
        std::rotate(order + from, order + from + 1, order + to + 1);
    else
        std::rotate(order + to, order + from, order + from + 1);
    Acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
    Waveform->RefreshRows();
    StringGrid1->setCurrentCell(to, 0);
    RefreshListing();
    RedrawWaveform();
}

void TForm1::RenameListRow(int listRow)
{
    if (Waveform->ListedRows().empty() || listRow < 0)
        return;
    const QTableWidgetItem *item = StringGrid1->item(listRow, 1);
    bool ok = false;
    const int row = item ? item->text().toInt(&ok) : -1;
    if (!ok)
        return;
    SuspendTimers();
    CreateDialogs();
    if (form_name->RenameRow(*cFile, row)) {
        I2C_UI->RefreshChannelLists();
        SPI_UI->RefreshChannelLists();
        Waveform->PaintRowLabels();
        RefreshListing();
        RedrawWaveform();
    }
    ResumeTimers();
}

void TForm1::ShowPatternPopup(int listRow, const QPoint &globalPos)
{
    const QTableWidgetItem *item = StringGrid1->item(listRow, 1);
    bool ok = false;
    const int signal = item ? item->text().toInt(&ok) : -1;
    if (!ok)
        return;
    const int channels = wSystem->ChannelCount;
    const int rows = wSystem->RowCount;
    const std::vector<PatternPopup::Item> items =
        PatternPopup::Items(signal, channels, rows, cFile->TriggerType);
    if (items.empty())
        return;

    QMenu menu(this);
    menu.setObjectName(QStringLiteral("PatternPopupMenu"));
    std::vector<QMenu *> parents(items.size(), nullptr);
    for (size_t i = 0; i < items.size(); ++i) {
        const PatternPopup::Item &it = items[i];
        const QString caption =
            it.HasLanguageText ? Text(it.TextId) : QString::fromUtf8(it.Caption);
        QMenu *into =
            it.Parent == PatternPopup::NoParent ? &menu : parents[static_cast<size_t>(it.Parent)];
        if (it.Id == PatternPopup::Action::BaseMode) {
            parents[i] = into->addMenu(caption);
            parents[i]->setEnabled(it.Enabled);
            continue;
        }
        QAction *a = into->addAction(caption);
        a->setEnabled(it.Enabled);
        const PatternPopup::Action action = it.Id;
        connect(a, &QAction::triggered, this, [this, action, signal, channels, rows] {
            const bool timer1 = Timer1->isActive();
            const PatternPopup::Outcome o =
                PatternPopup::Apply(*cFile, action, signal, channels, rows, false);
            if (o.DisplayBase >= 0)
                Waveform->SetDisplayBase(signal, o.DisplayBase);
            if (o.OpenAdvancedTrigger)
                AdvancedTrigger1Click();
            Waveform->PaintRowLabels();
            RefreshListing();
            if (o.TriggerChanged)
                ApplyViewChange(timer1);
            else
                RedrawWaveform();
        });
    }
    menu.exec(globalPos);
}

void TForm1::ApplyListColour()
{
    const QColor c(static_cast<int>(ListColor & 0xFF), static_cast<int>((ListColor >> 8) & 0xFF),
                   static_cast<int>((ListColor >> 16) & 0xFF));
    for (QTableWidget *grid : {StringGrid1, StringGrid2}) {
        QPalette p = grid->palette();
        p.setColor(QPalette::Base, c);
        grid->setPalette(p);
    }
    RefreshListing();
}
