// The main window's file commands: project Load and Save, the Capture
// window, Import and Export (FileSys), the text report (TReport_form) and
// printing (CPrinter).
#include "analyzer/CAcquisition.h"
#include "analyzer/TForm1.h"
#include "analyzer/TForm1FileSysHost.h"
#include "analyzer/TForm1StatusBar.h"
#include "display/CCaptureRecord.h"
#include "display/CWaveform.h"
#include "display/WCursor.h"
#include "files/CPrinter.h"
#include "files/FileSys.h"
#include "files/TReport_form.h"
#include "files/TextReport.h"
#include "protocols/WSPI.h"
#include "protocols/wI2C_UI.h"

#include <QComboBox>
#include <QTimer>

#include <memory>

namespace {

// After a load or an import: every control, list and view from the record
// and model now in force, and the samples placed as after a read-out.
void ReapplyRecord(TForm1 &form)
{
    CAcquisition &acquisition = *form.Acquisition;
    const CFile &record = form.Settings();
    acquisition.AcquisitionStep = CAcquisition::StepSendSettings;
    acquisition.CaptureReady = false;
    form.UpdateTitle();
    form.FillDivList();
    form.FillDepthList();
    form.Memory_Depth_ComboBox->setCurrentIndex(record.MemoryDepthIndex);
    form.MemoryPercent->setCurrentIndex(record.MemoryPercent - 1);
    form.System().ComputeSplit(record.MemoryDepthIndex, record.RateRow);
    form.I2C_UI->RefreshChannelLists();
    form.SPI_UI->RefreshChannelLists();
    form.Waveform->AllocateRows();
    acquisition.UpdateNoTriggerCondition();

    // The samples brought in are the capture to fall back to when their
    // trigger cannot be confirmed, not whatever the ring held before.
    CCaptureRecord &capture = *form.CaptureRecord;
    const uint32_t mask = capture.RingMask();
    capture.EndAddress = record.ReportedEndAddress & mask;
    capture.TriggerAddress = (capture.EndAddress - record.PostTriggerBytes) & mask;
    capture.CaptureValid = 0;
    capture.SaveCapture();
    form.RefreshFromSettings(true);
    form.WriteStatusBar();
}

// The end of Load and Import. A new record and capture end a run that was
// going on (its next tick would overwrite them); otherwise the timers go on
// as they were.
void FinishReplacement(TForm1 &form, bool replaced)
{
    if (!replaced) {
        form.ResumeTimers();
        return;
    }
    if (form.Acquisition->Running)
        form.Acquisition->Stop();
    ReapplyRecord(form);
    form.Timer3->start();
}

// What the report reads of the capture now shown.
std::unique_ptr<TextReport> MakeReport(TForm1 &form)
{
    const CCaptureRecord &capture = *form.CaptureRecord;
    TextReport::Capture c;
    c.Ring = form.System().SampleBuffer;
    c.Mask = capture.RingMask();
    c.ZeroAddress = capture.TriggerAddress;
    // The samples the Listing shows, from its "GOTO Begin" to its "GOTO End".
    const TextReport::SampleRange range =
        TextReport::RecordRange(capture.DepthSamples, capture.TriggerPosition);
    c.First = range.First;
    c.Last = range.Last;
    const WTime period = form.Waveform->SamplePeriod;
    const WCursor &cursors = *form.Cursors;
    const WTime trigger = cursors.TriggerCursor().Time;
    c.Cursors.push_back({'T', TextReport::CursorSample(trigger, period, c.First, c.Last)});
    for (const WCursor::Cursor &cursor : cursors.Cursors())
        c.Cursors.push_back({cursor.Name, TextReport::CursorSample(SignedAdd(cursor.Time, trigger),
                                                                   period, c.First, c.Last)});
    return std::make_unique<TextReport>(form.Settings(), form.System(), std::move(c));
}

} // namespace

void TForm1::LoadClick()
{
    SuspendTimers();
    bool loaded = false;
    QString note;
    {
        FileSys files(*FilesHost);
        loaded = files.Load();
        note = files.LoadNote;
    }
    FinishReplacement(*this, loaded);
    if (loaded && !note.isEmpty())
        StatusBar->SetPanelText(3, note); // the panel no one else writes
}

void TForm1::SaveClick()
{
    SuspendTimers();
    if (FileSys(*FilesHost).Save())
        RedrawWaveform();
    ResumeTimers();
}

void TForm1::CaptureClick()
{
    SuspendTimers();
    FileSys(*FilesHost).CaptureWindowShow();
    ResumeTimers();
}

void TForm1::ImportClick()
{
    SuspendTimers();
    bool imported = false;
    {
        FileSys files(*FilesHost);
        imported = files.Import();
    }
    FinishReplacement(*this, imported);
}

void TForm1::ExportClick()
{
    SuspendTimers();
    FileSys(*FilesHost).Export();
    ResumeTimers();
}

void TForm1::Report1Click()
{
    SuspendTimers();
    TReport_form(this, MakeReport(*this)).Open();
    ResumeTimers();
}

void TForm1::Print1Click()
{
    SuspendTimers();
    CPrinter(*this).Execute();
    ResumeTimers();
}
