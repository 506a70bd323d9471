// The main window's keys and mouse wheel: the shortcuts of its menu items,
// the waveform's wheel and keys (WaveformInput) with what they do to the
// view (zoom about the pointer, scrolling by parts of the screen, cursors A
// and B at the pointer), and the Help menu's table of keys.

#include "analyzer/CAcquisition.h"
#include "analyzer/KeyTable.h"
#include "analyzer/TForm1.h"
#include "display/CWaveform.h"
#include "display/WCursor.h"
#include "display/WaveformInput.h"
#include "display/WaveformNavigation.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFrame>
#include <QHeaderView>
#include <QMenu>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

void Keys(QAction *action, std::initializer_list<QKeySequence> keys,
          Qt::ShortcutContext context = Qt::WindowShortcut)
{
    action->setShortcuts(QList<QKeySequence>(keys));
    action->setShortcutContext(context);
}

} // namespace

void TForm1::BindKeys()
{
    Keys(Load, {QKeySequence(Qt::CTRL | Qt::Key_O)});
    Keys(Save, {QKeySequence(Qt::CTRL | Qt::Key_S)});
    Keys(Print1, {QKeySequence(Qt::CTRL | Qt::Key_P)});
    Keys(Exit1, {QKeySequence(Qt::CTRL | Qt::Key_Q)});
    Keys(RunRepetitive1, {QKeySequence(Qt::Key_F5)});
    Keys(SingleRun, {QKeySequence(Qt::Key_F6)});
    Keys(Stop2, {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::Key_F8)});

    // Zoom and the GOTO items of the waveform's pop-up act while the
    // waveform has the focus: a box that has it keeps its keys, and no key
    // changes the DIV box while another box has the focus.
    QWidget *plot = Waveform->Device.PlotPanel;
    const Qt::ShortcutContext waveform = Qt::WidgetWithChildrenShortcut;
    Keys(ZoomIn1, {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)}, waveform);
    Keys(ZoomOut1, {QKeySequence(Qt::Key_Minus)}, waveform);
    Keys(GOTO1, {QKeySequence(Qt::Key_Home)}, waveform);
    Keys(GOTOEnd1, {QKeySequence(Qt::Key_End)}, waveform);
    Keys(GOTOTrigger1, {QKeySequence(Qt::Key_T)}, waveform);
    plot->addActions({ZoomIn1, ZoomOut1, GOTO1, GOTOEnd1, GOTOTrigger1});

    WaveformInput::Hooks on;
    on.Zoom = [this](bool zoomIn, int x) { ZoomAt(zoomIn, x); };
    on.Scroll = [this](int tenths) { ScrollWaveform(tenths); };
    on.PlaceCursor = [this](char name, int x) { PlaceCursorAt(name, x); };
    waveformInput = new WaveformInput(plot, Waveform->Device.RulerPanel, std::move(on));

    Keys1 = new QAction(QStringLiteral("&Keys..."), this);
    Keys1->setObjectName(QStringLiteral("Keys1"));
    Help1->insertAction(About1, Keys1);
    connect(Keys1, &QAction::triggered, this, &TForm1::Keys1Click);
    // The waveform has the keys from the start, and each page's picture or
    // list when that page is chosen.
    plot->setFocus(Qt::OtherFocusReason);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this, plot](int page) {
        if (page == AcquisitionWindow::WaveformPage)
            plot->setFocus(Qt::OtherFocusReason);
        else if (page == AcquisitionWindow::ListPage && ListGrid)
            ListGrid->setFocus(Qt::OtherFocusReason);
    });
}

void TForm1::ZoomAt(bool zoomIn, int x)
{
    QAction *zoom = zoomIn ? ZoomIn1 : ZoomOut1;
    if (!zoom->isEnabled())
        return;
    Waveform->UpdateTimeBase();
    const bool anchored = x >= 0 && x < Waveform->PanelWidth;
    const WTime underPointer = WaveformNavigation::TimeAtColumn(Waveform->ViewPosition, x, *Waveform);
    ApplyZoomStep(zoomIn);
    if (!anchored)
        return;
    Waveform->UpdateTimeBase();
    SyncTriggerCursor();
    Waveform->SetViewPosition(WaveformNavigation::KeptInRecord(
        WaveformNavigation::ViewShowingAt(underPointer, x, *Waveform), *Waveform));
    ShowDelay();
    Acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
    RedrawWaveform();
}

void TForm1::ScrollWaveform(int tenths)
{
    SuspendTimers();
    Waveform->UpdateTimeBase();
    SyncTriggerCursor();
    Waveform->SetViewPosition(WaveformNavigation::Scrolled(Waveform->ViewPosition, tenths, *Waveform));
    ShowDelay();
    Acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
    RedrawWaveform();
    ResumeTimers();
}

void TForm1::PlaceCursorAt(char name, int x)
{
    SuspendTimers();
    Waveform->UpdateTimeBase();
    SyncTriggerCursor();
    // Without the pointer over the plot the cursor goes where "Creat Cursor"
    // puts one: on the trigger column.
    const bool over = x >= 0 && x < Waveform->PanelWidth;
    const WTime at = over ? WaveformNavigation::TimeAtColumn(Waveform->ViewPosition, x, *Waveform)
                          : Waveform->ViewPosition;
    if (WCursor::Cursor *c = Cursors->FindCursor(name)) {
        c->Time = SignedSub(at, Cursors->TriggerCursor().Time);
        Cursors->Select(name);
    } else {
        Cursors->AddCursor(at, 0, name);
    }
    RedrawWaveform();
    RefreshCursorStates();
    ResumeTimers();
}

void TForm1::Keys1Click()
{
    if (KeysBox == nullptr) {
        KeysBox = new QDialog(this);
        KeysBox->setObjectName(QStringLiteral("KeysBox"));
        KeysBox->setWindowTitle(QStringLiteral("Keys"));
        auto *layout = new QVBoxLayout(KeysBox);
        auto *table = new QTableWidget(static_cast<int>(KeyTable.size()), 3, KeysBox);
        table->setObjectName(QStringLiteral("KeyTable"));
        table->setHorizontalHeaderLabels({QStringLiteral("Where"), QStringLiteral("Keys"),
                                          QStringLiteral("What they do")});
        table->verticalHeader()->hide();
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        for (size_t r = 0; r < KeyTable.size(); ++r) {
            const KeyEntry &k = KeyTable[r];
            const std::string_view cells[] = {k.Where, k.Keys, k.Does};
            for (int c = 0; c < 3; ++c)
                table->setItem(static_cast<int>(r), c,
                               new QTableWidgetItem(QString::fromUtf8(
                                   cells[c].data(), static_cast<qsizetype>(cells[c].size()))));
        }
        table->resizeColumnsToContents();
        table->horizontalHeader()->setStretchLastSection(true);
        layout->addWidget(table);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, KeysBox);
        connect(buttons, &QDialogButtonBox::rejected, KeysBox, &QDialog::close);
        layout->addWidget(buttons);
        KeysBox->resize(760, 560);
    }
    // Not modal: it may stay open beside the window while the keys are tried.
    KeysBox->show();
    KeysBox->raise();
}
