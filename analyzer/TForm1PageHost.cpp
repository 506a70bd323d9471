#include "analyzer/TForm1PageHost.h"

#include "analyzer/TForm1.h"
#include "display/CCaptureRecord.h"
#include "display/CWaveform.h"
#include "display/WCursor.h"

TForm1PageHost::TForm1PageHost(TForm1 &mainForm)
    : form(mainForm)
{}

WSystem &TForm1PageHost::System()
{
    return form.System();
}

CFile &TForm1PageHost::Settings()
{
    return form.Settings();
}

CCaptureRecord &TForm1PageHost::Record()
{
    return *form.CaptureRecord;
}

UartCanTiming TForm1PageHost::DecodeTiming()
{
    // The view's time base follows the record just placed.
    form.Waveform->UpdateTimeBase();
    UartCanTiming timing;
    timing.SamplePeriod = form.Waveform->SamplePeriod;
    timing.TriggerEvent = form.Cursors->TriggerCursor().Time;
    timing.PreSpan = form.Waveform->PreSpan;
    return timing;
}

QWidget *TForm1PageHost::DialogParent()
{
    return &form;
}

void TForm1PageHost::SuspendTimers()
{
    form.SuspendTimers();
}

void TForm1PageHost::ResumeTimers()
{
    form.ResumeTimers();
}
