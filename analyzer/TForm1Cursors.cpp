// The main window's cursor commands and the cursor-state buttons.

#include "analyzer/TForm1.h"
#include "display/CListMode.h"
#include "display/CWaveform.h"
#include "display/CursorState.h"
#include "display/TForm2.h"
#include "display/WCursor.h"
#include "ui/AppMessage.h"

#include <QFrame>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>

#include <algorithm>

void TForm1::CursorAddButtonClick()
{
    SuspendTimers();
    SyncTriggerCursor();
    // The list page adds its cursor at the list's current sample, the
    // waveform page at the trigger column.
    const bool list = PageControl1->currentIndex() == AcquisitionWindow::ListPage;
    const WCursor::AddOutcome added =
        list ? Cursors->AddCursor(ListMode->PositionTime(), ListMode->Position())
             : Cursors->AddCursor(Waveform->ViewPosition);
    if (added.Added == nullptr)
        AppMessage::Warning(this, windowTitle(), QString::fromUtf8(added.Message));
    RedrawWaveform();
    RefreshCursorStates();
    ResumeTimers();
}

void TForm1::CursorSetButtonClick()
{
    SuspendTimers();
    CreateDialogs();
    Form2->Execute(*Cursors);
    ResumeTimers();
}

void TForm1::Delete1Click()
{
    SuspendTimers();
    Cursors->DeleteSelected();
    RedrawWaveform();
    RefreshCursorStates();
    ResumeTimers();
}

void TForm1::wCStateDeleteClick()
{
    CursorStates->DeleteSelected();
    RefreshCursorStates();
}

void TForm1::ScrollBar3Change()
{
    RefreshCursorStates();
}

void TForm1::RefreshCursorStates()
{
    CursorState &states = *CursorStates;
    states.Refresh(*Cursors, *Waveform);
    if (ListMode)
        ListMode->PlaceMarkers();

    // Buttons of removed states go; new states get one.
    for (auto it = StateButtons.begin(); it != StateButtons.end();) {
        if (states.FindState(it->first) == nullptr) {
            delete it->second;
            it = StateButtons.erase(it);
        } else {
            ++it;
        }
    }
    const int panelWidth = Cursor_State_Panel->width();
    const int barWidth = ScrollBar3->width();
    const std::vector<CursorState::Rect> places =
        CursorState::ButtonRects(states.Count(), panelWidth, barWidth, ScrollBar3->value());
    size_t i = 0;
    for (CursorState::CState &s : states.States()) {
        QPushButton *&button = StateButtons[s.Id];
        if (button == nullptr) {
            button = new QPushButton(Cursor_State_Panel);
            button->setObjectName(QStringLiteral("CursorStateButton%1").arg(s.Id));
            button->setFixedSize(CursorState::ButtonWidth, CursorState::ButtonHeight);
            button->setFocusPolicy(Qt::NoFocus);
            // A smaller face so that "A To B = 100.000ns" fits the button.
            QFont small = button->font();
            small.setPointSizeF(small.pointSizeF() * 0.85);
            button->setFont(small);
            button->setContextMenuPolicy(Qt::CustomContextMenu);
            const int32_t id = s.Id;
            connect(button, &QPushButton::pressed, this, [this, id] { CursorStates->Select(id); });
            connect(button, &QPushButton::clicked, this, [this, id] {
                CursorStates->ToggleMode(id);
                RefreshCursorStates();
            });
            connect(button, &QWidget::customContextMenuRequested, this,
                    [this, id, b = button](const QPoint &p) {
                        CursorStates->Select(id);
                        CursorStatePopupMenu->popup(b->mapToGlobal(p));
                    });
            button->show();
        }
        button->setText(QString::fromStdString(s.Text));
        button->move(places[i].Left, places[i].Top);
        ++i;
    }
    // The scroll bar covers the rows that do not fit.
    const int rows = CursorState::RowsOf(states.Count(), panelWidth, barWidth);
    const int hidden = rows * CursorState::RowPitch - Cursor_State_Panel->height();
    ScrollBar3->setRange(0, std::max(0, hidden));
}
