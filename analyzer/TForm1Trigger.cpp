// The main window's trigger commands: the "Advance Setting" dialog on its
// trigger or bus page, and the delay keypad behind the "Delay" button.

#include "analyzer/CAcquisition.h"
#include "analyzer/TForm1.h"
#include "analyzer/Tform_ExtFreq.h"
#include "display/CWaveform.h"
#include "display/CursorState.h"
#include "protocols/WSPI.h"
#include "protocols/wI2C_UI.h"
#include "trigger/TBusEdit.h"
#include "trigger/Tform_Triglevel.h"
#include "trigger/Tform_delay.h"

#include <QTabWidget>

void TForm1::CreateTriggerDialogs()
{
    form_delay = new Tform_delay(this);
    form_Triglevel = new Tform_Triglevel(this);
}

void TForm1::CreateBusEdit()
{
    BusEdit = new TBusEdit(this);
    BusEdit->AskExternalClock = [this] { form_ExtFreq->exec(); };
}

void TForm1::OpenAdvanceSetting(int page)
{
    CreateDialogs();
    SuspendTimers();
    const bool timer1WasRunning = TimerStates[0];
    const uint8_t clockBefore = cFile->ClockSource;
    const bool written = BusEdit->Open(*cFile, page);
    if (written) {
        Acquisition->UpdateNoTriggerCondition();
        Acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
        if (cFile->ClockSource != clockBefore) {
            FillDivList();
            WriteStatusBar();
        }
        Waveform->RefreshRows();
        RefreshListing();
        RefreshCursorStates();
        // The protocol page on show lists the channels by their names.
        if (PageControl1->currentWidget() == TabSheet3)
            I2C_UI->RefreshChannelLists();
        else if (PageControl1->currentWidget() == TabSheet4)
            SPI_UI->RefreshChannelLists();
    }
    ResumeTimers();
    ApplyViewChange(timer1WasRunning && written);
}

void TForm1::Button1Click()
{
    CreateDialogs();
    SuspendTimers();
    WTime delay = Acquisition->Delay;
    form_delay->Execute(delay);
    Acquisition->Delay = delay;
    SyncTriggerCursor();
    Waveform->SetViewPosition(delay);
    // Edit1 in clock periods ("CK") with the external clock, else as a time.
    ShowDelay();
    // A repeated run sends the new delay with its next capture.
    Acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
    ResumeTimers();
    RedrawWaveform();
}

void TForm1::TriggerEdit1Click()
{
    OpenAdvanceSetting(TBusEdit::TriggerPageIndex);
}

void TForm1::AdvancedTrigger1Click()
{
    OpenAdvanceSetting(TBusEdit::TriggerPageIndex);
}

void TForm1::ChannelBusEdit1Click()
{
    OpenAdvanceSetting(TBusEdit::BusPageIndex);
}

void TForm1::AdvancedBus1Click()
{
    OpenAdvanceSetting(TBusEdit::BusPageIndex);
}
