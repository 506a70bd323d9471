// The main window's side of the waveform view: its scroll bars, the idle
// redraw, and the commands that change what is shown (zoom, the combo boxes,
// grid style, colours, hand-shift, the GOTO commands, page changes,
// "Default" and the About box).

#include "analyzer/CAcquisition.h"
#include "analyzer/TForm1.h"
#include "analyzer/TForm1AcquisitionWindow.h"
#include "analyzer/TForm3.h"
#include "analyzer/ViewCommands.h"
#include "device/CEzUsb.h"
#include "display/CCaptureRecord.h"
#include "display/CListMode.h"
#include "display/CWaveform.h"
#include "display/TForm4.h"
#include "display/WCursor.h"
#include "ui/AppMessage.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

#include <initializer_list>

namespace {

void Enable(std::initializer_list<QAction *> actions, bool on)
{
    for (QAction *a : actions)
        a->setEnabled(on);
}

// Suspends the five timers for one command and restores them afterwards;
// tells whether the capture sequence (Timer1) was running.
class TimersSuspended
{
public:
    explicit TimersSuspended(TForm1 &f)
        : form(f)
    {
        form.SuspendTimers();
    }
    ~TimersSuspended() { form.ResumeTimers(); }
    TimersSuspended(const TimersSuspended &) = delete;
    TimersSuspended &operator=(const TimersSuspended &) = delete;
    bool Timer1WasRunning() const { return form.TimerStates[0]; }

private:
    TForm1 &form;
};

} // namespace

void TForm1::BindWaveform()
{
    CWaveform &w = *Waveform;
    w.NameGrid = StringGrid1;
    w.PatternGrid = StringGrid2;
    w.Cursors = Cursors.get();
    w.ChannelPanel = Channel_Panel;
    w.NamePanel = Panel1;
    w.CursorPopup = CursorPopupMenu;
    w.OnViewMoved = [this] {
        Acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
        ShowDelay();
    };
    w.OnCursorsChanged = [this] { RefreshCursorStates(); };
    w.OnDragTimers = [this](CursorMarkers::Timer left, CursorMarkers::Timer right) {
        auto apply = [](QTimer *t, CursorMarkers::Timer what) {
            if (what == CursorMarkers::Timer::Run && !t->isActive())
                t->start();
            else if (what == CursorMarkers::Timer::Stop)
                t->stop();
        };
        apply(Timer4, left);
        apply(Timer5, right);
    };
    connect(w.Device.VScrollBar, &QScrollBar::valueChanged, this,
            &TForm1::V_Waveform_ScrollBarChange);
    connect(w.Device.HScrollBar, &QScrollBar::valueChanged, this,
            &TForm1::H_Waveform_ScrollBarScroll);
}

void TForm1::SyncTriggerCursor()
{
    Waveform->TriggerCursorTime = Cursors->TriggerCursor().Time;
}

void TForm1::ShowDelay()
{
    Edit1->setText(QString::fromStdString(Waveform->DelayText()));
}

void TForm1::RedrawWaveform()
{
    if (!Waveform || !Acquisition)
        return;
    SyncWaveformColours();
    Waveform->AutoStore = Acquisition->AutoStoreOn;
    SyncTriggerCursor();
    Waveform->Redraw();
}

void TForm1::SyncWaveformColours()
{
    Waveform->BackgroundColour = static_cast<TColor>(BackgroundColor);
    Waveform->ForegroundColour = static_cast<TColor>(ForegroundColor);
}

void TForm1::ApplyZoomLimits()
{
    const ViewCommands::ZoomEnables zoom =
        ViewCommands::ZoomLimits(cFile->ClockSource == 1, Waveform->TimeDivIndex);
    const bool waveformPage = PageControl1->currentIndex() == AcquisitionWindow::WaveformPage;
    Enable({ZoomIn1, ZoomInButton}, zoom.ZoomIn && waveformPage);
    Enable({ZoomOut1, ZoomOutButton}, zoom.ZoomOut && waveformPage);
}

void TForm1::ApplyViewChange(bool timer1WasRunning)
{
    ViewCommands::ApplyViewChange(*Waveform, Acquisition->SelectedTimeDivRow(), timer1WasRunning);
    Acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
    RedrawWaveform();
    // The state list re-reads the record here once it exists.
}

// Depth, split and the time base after a change of the depth or the trigger
// position; the capture on show stays valid only when it was taken with the
// depth and position now chosen.
void TForm1::ApplyRecordChoice()
{
    const int depth = wSystem->ComputeSplit(cFile->MemoryDepthIndex, cFile->RateRow);
    CaptureRecord->SetDepthAndPosition(depth, cFile->MemoryPercent);
    const size_t d = std::min<size_t>(CaptureRecord->DepthIndex,
                                      wSystem->DepthCount ? wSystem->DepthCount - 1 : 0);
    CaptureRecord->DepthSamples = static_cast<uint32_t>(std::max(wSystem->DepthSamples[d], 0));
    Waveform->UpdateTimeBase();
    Waveform->SetScrollRange();
}

void TForm1::V_Waveform_ScrollBarChange(int position)
{
    WaveformScrollPosition = position;
    LayoutPanel8();
    Waveform->SetVerticalOffset(position);
}

void TForm1::H_Waveform_ScrollBarScroll(int position)
{
    SyncTriggerCursor();
    Waveform->ScrollTo(position);
    ShowDelay();
    Acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
    RedrawWaveform();
}

void TForm1::Timer3Timer()
{
    if (PageControl1->currentIndex() == AcquisitionWindow::WaveformPage)
        RedrawWaveform();
}

// While a cursor marker is dragged past the left (Timer4) or right (Timer5)
// edge, the view and the cursor move on together.
void TForm1::Timer4Timer()
{
    if (!Cursors->Dragging) {
        Timer4->stop();
        return;
    }
    Waveform->AutoScrollMarker(true);
}

void TForm1::Timer5Timer()
{
    if (!Cursors->Dragging) {
        Timer5->stop();
        return;
    }
    Waveform->AutoScrollMarker(false);
}

void TForm1::RefreshFromSettings(bool searchTrigger)
{
    Acquisition->ViewFromRecord();
    Waveform->RefreshRows();
    MemoryPercent->setCurrentIndex(cFile->MemoryPercent - 1);
    acquisitionWindow->SelectCombos();
    Acquisition->PrepareDelay();
    ShowDelay();
    Cursors->SetTriggerCursor(ViewCommands::SettingsDelay(*cFile));
    SyncTriggerCursor();
    Acquisition->TakeLastCaptureCopies();
    if (searchTrigger) {
        CaptureRecord->PlaceRecord();
        CaptureRecord->CaptureValidAtReadout = CaptureRecord->CaptureValid;
    }
    Waveform->SetScrollRange();
    ApplyZoomLimits();
    RedrawWaveform();
    RefreshCursorStates();
}

// --- Combo boxes -----------------------------------------------------------------

void TForm1::DivComboBoxChange()
{
    TimersSuspended timers(*this);
    const int index = DivComboBox->currentIndex();
    if (index < 0)
        return;
    if (cFile->ClockSource == 1) {
        Acquisition->CaptureReady = false;
        if (static_cast<uint32_t>(index) < wSystem->DividerCount)
            Waveform->TimeDivIndex =
                static_cast<int16_t>((*wSystem->DividerRows)[static_cast<size_t>(index)]);
    } else {
        Waveform->TimeDivIndex = static_cast<int16_t>(index);
        if (timers.Timer1WasRunning())
            Waveform->SetRateFromTimeDiv(index);
        wSystem->ComputeSplit(cFile->MemoryDepthIndex, cFile->RateRow);
    }
    Waveform->SetScrollRange();
    ApplyZoomLimits();
    ApplyViewChange(timers.Timer1WasRunning());
}

void TForm1::Memory_Depth_ComboBoxChange()
{
    TimersSuspended timers(*this);
    const int index = Memory_Depth_ComboBox->currentIndex();
    if (index < 0)
        return;
    cFile->MemoryDepthIndex = static_cast<int16_t>(index);
    ApplyRecordChoice();
    WriteStatusBar();
    ApplyViewChange(timers.Timer1WasRunning());
}

void TForm1::MemoryPercentChange()
{
    TimersSuspended timers(*this);
    const int index = MemoryPercent->currentIndex();
    if (index < 0)
        return;
    Acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
    cFile->TriggerPositionCode = static_cast<int16_t>(index + 1);
    cFile->MemoryPercent = static_cast<int16_t>(index + 1);
    ApplyRecordChoice();
    Waveform->SetViewPosition(WTime{});
    ShowDelay();
    WriteStatusBar();
    ApplyViewChange(timers.Timer1WasRunning());
}

// --- Zoom, grid, colours, hand-shift ------------------------------------------------

// One zoom step: the view's row (the divider's with the external clock),
// DivComboBox, the scroll range and the zoom limits. Zooming out while a run
// goes on lets the capture's rate follow the row.
void TForm1::ApplyZoomStep(bool zoomIn)
{
    TimersSuspended timers(*this);
    const bool external = cFile->ClockSource == 1;
    const int row = Waveform->TimeDivIndex;
    const int divider = DivComboBox->currentIndex();
    const ViewCommands::ZoomStep step =
        zoomIn ? ViewCommands::ZoomIn(external, row, divider, *wSystem)
               : ViewCommands::ZoomOut(external, row, divider, *wSystem);
    if (step.Changed) {
        if (external)
            Acquisition->CaptureReady = false;
        Waveform->TimeDivIndex = static_cast<int16_t>(step.Row);
        DivComboBox->setCurrentIndex(external ? step.DividerIndex : step.Row);
        if (!zoomIn && !external && timers.Timer1WasRunning())
            Waveform->SetRateFromTimeDiv(step.Row);
    }
    Waveform->SetScrollRange();
    ApplyZoomLimits();
    ApplyViewChange(timers.Timer1WasRunning());
}

void TForm1::ZoomIn1Click()
{
    ApplyZoomStep(true);
}

void TForm1::ZoomOut1Click()
{
    ApplyZoomStep(false);
}

void TForm1::GridStyle1Click()
{
    TimersSuspended timers(*this);
    Waveform->GridStyle = static_cast<uint16_t>(ViewCommands::NextGridStyle(Waveform->GridStyle));
    RedrawWaveform();
}

void TForm1::BW1Click()
{
    TimersSuspended timers(*this);
    const ViewCommands::ColourScheme c = ViewCommands::ToggleBackground(
        static_cast<TColor>(BackgroundColor), static_cast<TColor>(SystemListColor));
    BackgroundColor = static_cast<uint32_t>(c.Background);
    ForegroundColor = static_cast<uint32_t>(c.Foreground);
    ListColor = static_cast<uint32_t>(c.List);
    ApplyListColour();
    RedrawWaveform();
}

void TForm1::HandShift1Click()
{
    const bool on = !Waveform->HandShift;
    Waveform->SetHandShift(on);
    HandShift1->setChecked(on);
    HandShiftButton->setChecked(on);
}

// --- GOTO --------------------------------------------------------------------------

void TForm1::Cursor1Click()
{
    TimersSuspended timers(*this);
    CreateDialogs();
    const std::optional<char> name = Form4->Execute(*Cursors);
    if (name) {
        if (const WCursor::Cursor *c = Cursors->FindCursor(*name)) {
            SyncTriggerCursor();
            Waveform->SetViewPosition(
                ViewCommands::GotoCursorPosition(c->Time, Cursors->TriggerCursor().Time));
            ShowDelay();
            ListMode->GotoCursor(*name);
        }
        Acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
    }
    ApplyViewChange(timers.Timer1WasRunning());
}

void TForm1::GOTOTrigger1Click()
{
    TimersSuspended timers(*this);
    Acquisition->Delay = WTime{};
    SyncTriggerCursor();
    Waveform->GotoTrigger(timers.Timer1WasRunning());
    ShowDelay();
    Acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
    RedrawWaveform();
}

void TForm1::GOTO1Click()
{
    TimersSuspended timers(*this);
    SyncTriggerCursor();
    Waveform->GotoBegin();
    ShowDelay();
    Acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
    RedrawWaveform();
}

void TForm1::GOTOEnd1Click()
{
    TimersSuspended timers(*this);
    SyncTriggerCursor();
    Waveform->GotoEnd();
    ShowDelay();
    Acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
    RedrawWaveform();
}

// --- Pages, Default, About ------------------------------------------------------------

void TForm1::PageControl1Change()
{
    const int page = PageControl1->currentIndex();
    const bool waveform = page == AcquisitionWindow::WaveformPage;
    const bool listing = page == AcquisitionWindow::ListPage;
    if (page <= 6) {
        Enable({ZoomIn1, ZoomInButton, ZoomOut1, ZoomOutButton, GridStyle1, GridButton, HandShift1,
                HandShiftButton, AutoStore1, AutoStoreButton, Erase1, EraseButton},
               waveform);
        Enable({BW1, B_W_Button}, waveform || listing);
        if (!waveform) {
            Waveform->SetHandShift(false);
            HandShift1->setChecked(false);
            HandShiftButton->setChecked(false);
        } else {
            ApplyZoomLimits();
            // Hand-shift is offered only while idle.
            Enable({HandShift1, HandShiftButton}, !Acquisition->Running);
            ShowDelay();
            RedrawWaveform();
        }
    }
    if (listing) {
        ListMode->Resize();
        RefreshListing();
    }
    RefreshCursorStates();
}

void TForm1::Default1Click()
{
    Timer1->stop();
    Timer2->stop();
    Timer3->start();
    Acquisition->Running = false;
    Acquisition->SingleShot = false;
    ViewCommands::ResetToDefault(*cFile, *wSystem, *Cursors, Acquisition->Delay);
    SyncTriggerCursor();
    Waveform->SetViewPosition(WTime{});
    ShowDelay();
    Acquisition->ViewFromRecord();
    acquisitionWindow->RefreshViews();
    FillDivList();
    FillDepthList();
    acquisitionWindow->SelectCombos();
    MemoryPercent->setCurrentIndex(cFile->MemoryPercent - 1);
    Waveform->SetScrollRange();
    WriteStatusBar();
    RedrawWaveform();
    RefreshCursorStates();
    SetRunControls(RunMode::Idle);
}

void TForm1::About1Click()
{
    TimersSuspended timers(*this);
    CreateDialogs();
    Form3->Execute(EzUsb != nullptr && EzUsb->Connected ? EzUsb : nullptr);
}
