// Acquisition control's timers: the capture sequence one step per Timer1
// tick (or one demo capture), and the hand-over to the display on Timer2.

#include "analyzer/CAcquisition.h"

#include "device/AFile.h"
#include "device/CEzUsb.h"
#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "display/DIV_WTime.h"

#include <algorithm>
#include <chrono>
#include <span>

namespace {

// Restores the ring after a read-out that failed half-way: since every
// placement leaves the saved copy equal to the ring, the copy is the ring as
// it was before the read-out started.
void RestoreRing(WSystem &sys)
{
    if (sys.SpareBuffer.size() == sys.SampleBuffer.size())
        std::copy(sys.SpareBuffer.begin(), sys.SpareBuffer.end(), sys.SampleBuffer.begin());
}

} // namespace

// --- Timers ---------------------------------------------------------------------

void CAcquisition::Timer1Tick()
{
    if (sys.ModelCode != 0)
        CaptureStep();
    else
        DemoCapture();
}

void CAcquisition::CaptureStep()
{
    if (CaptureReady)
        return;
    switch (AcquisitionStep) {
    case StepSendSettings:
        SendSettings();
        break;
    case StepStart:
        StartCaptureStep();
        break;
    case StepWait:
        WaitCaptureDone();
        break;
    default:
        break;
    }
    if (AcquisitionStep == StepReadOut)
        ReadOut();
}

void CAcquisition::SendSettings()
{
    if (file.ClockSource == 1)
        time.TimeDivIndex = static_cast<int16_t>(SelectedTimeDivRow());
    Send(CEzUsb::StopCapture);
    ApplyRecordGeometry();

    const int page = window.ActivePage();
    if (page == AcquisitionWindow::WaveformPage) {
        window.ClearWaveform(AutoStoreOn);
        window.SetViewPosition(WTime{});
        if (file.ClockSource == 1) {
            file.RateRow = DIV_WTime::ExternalClockUnitRow;
            file.TimeDivRow = time.TimeDivIndex;
            time.RateIndex = file.RateRow;
            ApplyRecordGeometry();
        } else {
            TakeRowsFromDivComboBox();
        }
        CopyDelayToRecord();
        window.ScrollWaveformHome();
    } else if (page == AcquisitionWindow::ListPage) {
        const WTime listDelay = window.ListDelay();
        StoreDelay(listDelay, listDelay.IsNegative());
        window.RefreshList();
    }
    TakePulseCount();
    PrepareDelay();
    window.UpdateCursors();
    window.RefreshList();
    window.SetProgress(0);
    TakeLastCaptureCopies();
    window.WriteStatusBar();

    if (AccessDenied()) {
        // Not another model: the analyzer is there but may not be opened.
        ReportStatus(NoDevice);
        return;
    }
    const uint8_t model = EzUsb != nullptr ? EzUsb->IdentifyDevice(file) : 0;
    if (!IdentityKnown(model, true))
        return;
    if (model != sys.ModelCode && model != Busy) {
        ModelMismatch();
        return;
    }

    window.SetRunControls(RunMode::Running);
    const uint8_t status = Send(CEzUsb::WriteBlock);
    if (status != Accepted) {
        ReportStatus(status);
        return;
    }
    bool written = false;
    if (CompactModel()) {
        image.BuildRunImage(file);
        written = EzUsb->BulkWrite(image.Buffer(), BlockTimeoutMs);
    } else {
        file.BuildBlock();
        written = EzUsb->BulkWrite(file.Block(), BlockTimeoutMs);
    }
    if (written) {
        AcquisitionStep = StepStart;
        window.SetProgress(5);
    } else {
        ResetPort(); // the step is tried again on the next tick
    }
}

void CAcquisition::StartCaptureStep()
{
    window.SetProgress(15);
    const uint8_t status = Send(CEzUsb::StartCapture);
    if (status != Accepted) {
        ReportStatus(status);
        return;
    }
    AcquisitionStep = StepWait;
    window.SetProgress(30);
}

void CAcquisition::WaitCaptureDone()
{
    window.SetProgress(50);
    window.SetLamp(true);
    const uint8_t status = Send(CEzUsb::ReadBlock);
    if (status != Accepted) {
        ReportStatus(status);
        return;
    }
    if (CompactModel()) {
        // The reply may be shorter than the buffer: it counts once the words
        // that carry the end address have arrived.
        size_t received = 0;
        if (!EzUsb->BulkReadUpTo(image.Buffer().first(RunImageBytes), BlockTimeoutMs, received) ||
            received < AFile::TriggerReplyBytes) {
            ResetPort();
            return;
        }
        AcquisitionStep = StepReadOut;
        window.SetProgress(60);
        image.ReadTriggerReply(file);
        return;
    }
    // The block is read over the record's own, so that a short read cannot
    // bring in anything but the record; only a block that passes its check
    // can say the capture is done.
    file.BuildBlock();
    if (!EzUsb->BulkRead(file.Block(), BlockTimeoutMs)) {
        ResetPort();
        return;
    }
    if (!file.ParseBlock()) {
        ++RejectedBlocks;
    } else if (file.CaptureDone != 0) {
        AcquisitionStep = StepReadOut;
        window.SetProgress(60);
    }
}

void CAcquisition::ReadOut()
{
    window.SetProgress(80);
    window.SetLamp(true);
    const uint8_t status = Send(CEzUsb::ReadSamples);
    if (status != Accepted) {
        ReportStatus(status);
    } else if (EzUsb->BulkRead(std::span(sys.SampleBuffer).first(sys.MemorySize),
                               SamplesTimeoutMs)) {
        if (record.PlaceRecord())
            window.SetProgress(100);
        record.CaptureValidAtReadout = record.CaptureValid;
        Send(CEzUsb::StopCapture);
        CaptureReady = true;
        if (SingleShot && record.CaptureValid != 0)
            window.EnableTimer(Timer::Timer1, false);
    } else {
        // Half a memory is no capture: the last one stays, and the next
        // tick starts a new capture.
        ResetPort();
        RestoreRing(sys);
    }
    AcquisitionStep = StepStart;
    window.SetLamp(false);
}

void CAcquisition::DemoCapture()
{
    if (CaptureReady)
        return;
    // Paced without blocking the window.
    const auto now = std::chrono::steady_clock::now();
    if (DemoPauseMs != 0 && now - lastDemo < std::chrono::milliseconds(DemoPauseMs))
        return;
    lastDemo = now;

    window.SetProgress(0);
    const int page = window.ActivePage();
    if (page == AcquisitionWindow::WaveformPage) {
        CopyDelayToRecord();
        window.ClearWaveform(AutoStoreOn);
    } else if (page == AcquisitionWindow::ListPage) {
        const WTime listDelay = window.ListDelay();
        StoreDelay(listDelay, listDelay.IsNegative());
    }
    window.SetProgress(20);
    PrepareDelay();
    window.UpdateCursors();
    window.RefreshList();
    window.SetProgress(40);
    TakeLastCaptureCopies();
    window.WriteStatusBar();
    ApplyRecordGeometry();
    window.SetRunControls(RunMode::Running);

    file.CaptureDone = 1;
    const uint32_t r = static_cast<uint32_t>(randomNumbers()) % 32768u;
    const uint32_t v = sys.AddressMask != 0 ? r % sys.AddressMask : 0;
    file.ReportedEndAddress = ((v / 65536u) << 16) | ((v & ~3u) & 0xFFFFu);

    window.SetProgress(80);
    record.PlaceRecord();
    record.CaptureValidAtReadout = record.CaptureValid;
    CaptureReady = true;
    window.SetProgress(100);
    if (SingleShot && record.CaptureValid != 0)
        window.EnableTimer(Timer::Timer1, false);
}

void CAcquisition::Timer2Tick()
{
    if (!CaptureReady) {
        if (!Running)
            window.RedrawWaveform();
        return;
    }
    window.ShowCapture();
    CaptureReady = false;
    if (SingleShot)
        EndRun();
}
