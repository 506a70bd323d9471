#include "analyzer/CAcquisition.h"

#include "device/AFile.h"
#include "device/CEzUsb.h"
#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "display/DIV_WTime.h"
#include "display/TimeText.h"

#include <algorithm>
#include <limits>

namespace {

constexpr uint8_t Accepted = CEzUsb::StatusAccepted;
constexpr uint8_t Busy = CEzUsb::StatusBusy;
constexpr uint8_t NoDevice = CEzUsb::StatusNoDevice;
constexpr uint8_t LinkFail = CEzUsb::StatusLinkFail;
constexpr uint8_t Failed = CEzUsb::StatusFailed;

// Seconds beyond this are not a delay any row allows; keeps the picosecond
// count inside 64 bits.
constexpr uint64_t MaxSeconds = 1000000;
constexpr uint64_t PsPerSecond = 1000000000000ULL;

// The magnitude of a time value in picoseconds (groups need not be normalised).
uint64_t PsOf(const WTime &t)
{
    uint64_t ps = std::min<uint64_t>(t.g[4], MaxSeconds) * PsPerSecond;
    uint64_t unit = 1;
    for (size_t k = 0; k < 4; ++k, unit *= 1000)
        ps += uint64_t{t.g[k]} * unit;
    return ps;
}

WTime FromPs(uint64_t ps, bool negative)
{
    WTime t;
    for (size_t k = 0; k < 4; ++k, ps /= 1000)
        t.g[k] = static_cast<uint32_t>(ps % 1000);
    t.g[4] = static_cast<uint32_t>(ps);
    t.sign = negative && !t.IsZero() ? 0 : 1;
    return t;
}

int ClampRow(int row)
{
    return std::clamp(row, 0, ModelTable::TimeDivRowCount - 1);
}

// Restores the ring after a read-out that failed half-way: since every
// placement leaves the saved copy equal to the ring, the copy is the ring as
// it was before the read-out started.
void RestoreRing(WSystem &sys)
{
    if (sys.SpareBuffer.size() == sys.SampleBuffer.size())
        std::copy(sys.SpareBuffer.begin(), sys.SpareBuffer.end(), sys.SampleBuffer.begin());
}

} // namespace

CAcquisition::CAcquisition(WSystem &system, CFile &settings, AFile &runImage,
                           CCaptureRecord &captureRecord, DIV_WTime &timeBase,
                           AcquisitionWindow &mainWindow, std::minstd_rand &random)
    : sys(system)
    , file(settings)
    , image(runImage)
    , record(captureRecord)
    , time(timeBase)
    , window(mainWindow)
    , randomNumbers(random)
{}

// --- Link -------------------------------------------------------------------

bool CAcquisition::Connected() const
{
    return EzUsb != nullptr && EzUsb->Connected;
}

bool CAcquisition::AccessDenied() const
{
    return EzUsb != nullptr && !EzUsb->Connected && EzUsb->AccessDenied;
}

bool CAcquisition::CompactModel() const
{
    return file.ModelCode == 9 || file.ModelCode == 10;
}

bool CAcquisition::LinkLost()
{
    if (EzUsb == nullptr)
        return true;
    if (EzUsb->Connected) {
        pumping = true;
        EzUsb->PumpEvents(0);
        pumping = false;
    }
    return !EzUsb->Connected;
}

uint8_t CAcquisition::Send(uint8_t code)
{
    if (EzUsb == nullptr)
        return NoDevice;
    const uint8_t status = EzUsb->SendCommand(code);
    // A transfer that failed because the analyzer was pulled out is told
    // apart from a passing glitch by the removal it leaves behind.
    if (status == Failed && LinkLost())
        return NoDevice;
    return status;
}

void CAcquisition::ResetPort()
{
    if (EzUsb != nullptr)
        EzUsb->Device().ResetDevicePort();
}

void CAcquisition::DeviceRemoved()
{
    // Removals found by the sequence itself are reported by the sequence.
    if (pumping)
        return;
    // A run that a failed transfer ended without a word turns out to have
    // lost its analyzer.
    if (!Running && endedByTransferFailure && sys.ModelCode != 0) {
        endedByTransferFailure = false;
        window.ShowWarning(Warning::NoDevice);
    }
}

// --- Status -----------------------------------------------------------------

void CAcquisition::EndRun()
{
    Running = false;
    SingleShot = false;
    window.EnableTimer(Timer::Timer1, false);
    window.EnableTimer(Timer::Timer2, false);
    window.EnableTimer(Timer::Timer3, true);
    ShowIdle();
}

void CAcquisition::ShowIdle()
{
    window.SetLamp(false);
    window.SetRunControls(RunMode::Idle);
    window.SetProgress(AcquisitionWindow::IdleProgress);
}

bool CAcquisition::SignalListEmpty() const
{
    return file.DisplayOrder[0] >= sys.RowCount;
}

bool CAcquisition::OfferSignalList()
{
    if (!SignalListEmpty())
        return true;
    if (!window.OfferEveryChannel())
        return false;
    ListEveryChannel();
    window.RefreshViews();
    return true;
}

void CAcquisition::ListEveryChannel()
{
    for (size_t c = 0; c < sys.ChannelCount && c < CFile::MaxChannels; ++c) {
        file.DisplayOrder[c] = static_cast<uint8_t>(c);
        file.ChannelEntry[c].Members[0] = static_cast<uint16_t>(c);
        file.ChannelEntry[c].BitCount = 1;
        file.ChannelEntry[c].InUse = 1;
        file.BusEntry[c].BitCount = 0;
    }
}

void CAcquisition::ReportStatus(uint8_t status)
{
    if (status == Busy)
        return;
    EndRun();
    endedByTransferFailure = status == Failed;
    if (status == LinkFail)
        window.ShowWarning(Warning::LinkFail);
    else if (status == NoDevice)
        window.ShowWarning(AccessDenied() ? Warning::NoAccess : Warning::NoDevice);
}

void CAcquisition::ModelMismatch()
{
    window.EnableTimer(Timer::Timer1, false);
    window.EnableTimer(Timer::Timer2, false);
    window.EnableTimer(Timer::Timer3, true);
    record.CaptureValid = 0;
    AcquisitionStep = StepSendSettings;
    // The run is over: nothing captures until the user starts again.
    Running = false;
    SingleShot = false;
    window.SetLamp(false);
    window.ShowWarning(Warning::DeviceWrong);
    window.ChooseModel();
    ResetAfterModelChange();
    ShowIdle();
    window.SelectCombos();
}

void CAcquisition::ResetAfterModelChange()
{
    file.ResetSettings();
    std::fill(sys.SampleBuffer.begin(), sys.SampleBuffer.end(), uint8_t{0});
    // An empty ring holds no capture, of this model or any other.
    record.CaptureValid = 0;
    record.CaptureValidAtReadout = 0;
    ViewFromRecord();
    UpdateNoTriggerCondition();
    window.ModelChanged();
}

// --- Settings for a run -------------------------------------------------------

void CAcquisition::UpdateNoTriggerCondition()
{
    NoTriggerCondition = record.TriggerIsDontCare();
}

void CAcquisition::TakeLastCaptureCopies()
{
    LastTimeDivRow = file.TimeDivRow;
    LastMemoryDepthIndex = file.MemoryDepthIndex;
    LastTriggerPositionCode = file.TriggerPositionCode;
}

int CAcquisition::SelectedTimeDivRow() const
{
    const int index = window.DivComboBoxIndex();
    if (file.ClockSource == 1) {
        if (index >= 0 && static_cast<uint32_t>(index) < sys.DividerCount)
            return (*sys.DividerRows)[static_cast<size_t>(index)];
        return time.TimeDivIndex;
    }
    return index >= 0 ? ClampRow(index) : time.TimeDivIndex;
}

void CAcquisition::TakeRowsFromDivComboBox()
{
    time.SetRateFromTimeDiv(SelectedTimeDivRow());
}

void CAcquisition::TakePulseCount()
{
    time.PulseCount();
    record.PulseWidthRepresentable = time.PulseWidthRepresentable != 0;
}

void CAcquisition::ApplyRecordGeometry()
{
    const int depth = sys.ComputeSplit(file.MemoryDepthIndex, file.RateRow);
    record.DepthIndex = static_cast<uint16_t>(std::max(depth, 0));
    record.SetTriggerPosition(file.MemoryPercent);
    const size_t d = std::min<size_t>(record.DepthIndex, sys.DepthCount ? sys.DepthCount - 1 : 0);
    // The record's depth follows at the read-out; the view needs it now.
    record.DepthSamples = static_cast<uint32_t>(std::max(sys.DepthSamples[d], 0));
    time.DepthSamples = record.DepthSamples;
    time.PreTriggerPercent = record.PreTriggerPercent;
    time.PostTriggerPercent = record.PostTriggerPercent;
    time.UpdateTimeBase();
}

void CAcquisition::ViewFromRecord()
{
    time.TimeDivIndex = static_cast<int16_t>(ClampRow(file.TimeDivRow));
    time.RateIndex = static_cast<int16_t>(ClampRow(file.RateRow));
    ApplyRecordGeometry();
}

WTime CAcquisition::RecordDelay() const
{
    WTime t;
    for (size_t k = 0; k < t.g.size(); ++k)
        t.g[k] = file.DelayGroups[k];
    t = Normalise(t);
    t.sign = file.DelayNegative == 1 && !t.IsZero() ? 0 : 1;
    return t;
}

void CAcquisition::StoreDelay(const WTime &delay, bool negative)
{
    const WTime t = Normalise(delay);
    for (size_t k = 0; k < t.g.size(); ++k)
        file.DelayGroups[k] = static_cast<uint16_t>(std::min<uint32_t>(t.g[k], 0xFFFF));
    file.DelayNegative = negative && !t.IsZero() ? 1 : 0;
}

void CAcquisition::CopyDelayToRecord()
{
    const uint64_t period = PsOf(time.RatePeriod());
    uint64_t ps = PsOf(Delay);
    if (period != 0)
        ps = ps / period * period;
    StoreDelay(FromPs(ps, false), Delay.IsNegative());
}

std::string CAcquisition::DelayText(const WTime &delay) const
{
    if (file.ClockSource == 1)
        return ClockCountText(delay, time.SamplePeriod);
    return TimeText(delay, time.TimePerDivUnit);
}

void CAcquisition::PrepareDelay()
{
    ApplyRecordGeometry();
    const auto k = static_cast<size_t>(std::clamp<int>(file.MemoryPercent, 0, 10));
    const auto before = static_cast<uint32_t>(std::max(sys.SplitTable[1][k], 0));
    uint64_t after = static_cast<uint32_t>(std::max(sys.SplitTable[0][k], 0));
    const uint64_t period = PsOf(time.SamplePeriod);

    WTime delay = RecordDelay();
    record.NotConfirmable = false;
    if (file.DelayNegative == 1) {
        // The view cannot go further back than the record's first sample;
        // the device records without delay.
        if (TimeGreaterEq(delay, time.PreSpan))
            delay = Normalise(time.PreSpan);
        delay.sign = delay.IsZero() ? 1 : 0;
        window.SetViewPosition(delay);
        StoreDelay(delay, true);
        Delay = WTime{};
    } else {
        const auto row = static_cast<size_t>(ClampRow(file.RateRow));
        const auto maxSeconds = static_cast<uint32_t>(std::max(sys.MaxDelaySeconds[row], 0));
        if (delay.g[4] >= maxSeconds) {
            delay = WTime::Of(0, 0, 0, 0, maxSeconds);
            StoreDelay(delay, false);
            Delay = delay;
        }
        // Delayed past the pre-trigger part, the record no longer holds the
        // trigger sample to confirm.
        record.NotConfirmable = TimeGreater(delay, time.PreSpan);
        if (period != 0)
            after += 4 * (PsOf(delay) / period);
    }
    window.ShowDelay(DelayText(delay));

    const auto perMicrosecond = static_cast<uint16_t>(period ? 1000000 / period : 0);
    file.PreTriggerBytes = before + (4u * perMicrosecond) % 65536u;
    file.PostTriggerBytes =
        static_cast<uint32_t>(std::min<uint64_t>(after, std::numeric_limits<uint32_t>::max()));
}

// --- Commands -----------------------------------------------------------------

void CAcquisition::FillDemoCapture()
{
    window.SetRunControls(RunMode::Running);
    record.FillDemoRun();
}

void CAcquisition::Run()
{
    OfferSignalList();
    Running = true;
    SingleShot = false;
    record.CaptureValid = 0;
    AcquisitionStep = StepSendSettings;
    endedByTransferFailure = false;
    UpdateNoTriggerCondition();
    if (sys.ModelCode == 0)
        FillDemoCapture();
    if (window.ActivePage() == AcquisitionWindow::WaveformPage) {
        TakeRowsFromDivComboBox();
        TakePulseCount();
        window.ClearWaveform(false);
    }
    window.EnableTimer(Timer::Timer1, true);
    window.EnableTimer(Timer::Timer2, true);
    window.EnableTimer(Timer::Timer3, false);
}

void CAcquisition::SingleRun()
{
    OfferSignalList();
    Running = true;
    CaptureReady = false;
    record.CaptureValid = 0;
    endedByTransferFailure = false;
    window.EnableTimer(Timer::Timer1, false);
    window.EnableTimer(Timer::Timer2, false);
    window.EnableTimer(Timer::Timer3, false);
    UpdateNoTriggerCondition();
    if (sys.ModelCode != 0) {
        AcquisitionStep = StepSendSettings;
        TakeRowsFromDivComboBox();
        TakePulseCount();
        window.SetRunControls(RunMode::Running);
        window.ClearWaveform(false);
        SingleShot = true;
        // The state list's window around the trigger.
        const int depth = sys.ComputeSplit(file.MemoryDepthIndex, file.RateRow);
        const auto samples = static_cast<uint64_t>(
            std::max(sys.DepthSamples[static_cast<size_t>(std::max(depth, 0))], 0));
        const auto p = static_cast<uint64_t>(std::clamp<int>(file.MemoryPercent, 0, 10));
        ListSamplesBefore = static_cast<uint32_t>(samples * p / 10);
        ListSamplesAfter = static_cast<uint32_t>((10 - p) * samples / 10);
    } else {
        FillDemoCapture();
        SingleShot = true;
    }
    window.EnableTimer(Timer::Timer1, true);
    window.EnableTimer(Timer::Timer2, true);
    window.EnableTimer(Timer::Timer3, false);
}

void CAcquisition::Stop()
{
    window.SetLamp(false);
    Running = false;
    SingleShot = false;
    window.EnableTimer(Timer::Timer1, false);
    window.EnableTimer(Timer::Timer2, false);
    window.EnableTimer(Timer::Timer3, true);
    // Repeated only while the transfer itself fails (a gone analyzer
    // answers "no device" and ends it at once).
    const auto deadline = std::chrono::steady_clock::now() + StopTime;
    for (int i = 0; i < StopAttempts && Send(CEzUsb::StopCapture) == Failed; ++i) {
        if (std::chrono::steady_clock::now() > deadline)
            break;
    }
    AcquisitionStep = StepStart;
    window.EnableSpiPage();
    ShowIdle();
}

void CAcquisition::ToggleAutoStore()
{
    AutoStoreOn = !AutoStoreOn;
}

void CAcquisition::ChangeModel()
{
    window.EnableTimer(Timer::Timer1, false);
    window.EnableTimer(Timer::Timer2, false);
    window.EnableTimer(Timer::Timer3, true);
    Running = false;
    SingleShot = false;
    window.ChooseModel();
    ResetAfterModelChange();
    ShowIdle();
}

// --- Auto Scale -----------------------------------------------------------------

void CAcquisition::AutoScaleDemo()
{
    ListEveryChannel();
    window.RefreshViews();
    FillDemoCapture();
    window.EnableTimer(Timer::Timer1, true);
    window.EnableTimer(Timer::Timer2, true);
    window.EnableTimer(Timer::Timer3, false);
}

void CAcquisition::AutoScaleCompactModel()
{
    const size_t n = file.ModelCode == 9 ? 16 : 32;
    file.TriggerType = 1;
    file.TriggerCounter = 1;
    file.Reserved6 = 0;
    file.MemoryDepthIndex = 0;
    for (auto &row : file.TriggerCondition)
        std::fill(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(n), CFile::CondX);
    for (size_t c = 0; c < n; ++c) {
        SignalEntry &e = file.ChannelEntry[c];
        e.Name[0] = 'C';
        e.Name[1] = 'H';
        e.Name[2] = static_cast<char>('0' + c / 10);
        e.Name[3] = static_cast<char>('0' + c % 10);
        e.Name[4] = 0;
        e.Members[0] = static_cast<uint16_t>(c);
        e.BitCount = 1;
        e.InUse = 1;
        file.DisplayOrder[c] = static_cast<uint8_t>(c);
    }
    ViewFromRecord();
    window.RefreshViews();
    Run();
}

bool CAcquisition::ReadScaledBlock()
{
    const auto deadline = std::chrono::steady_clock::now() + AutoScaleBlockTime;
    uint8_t last = Accepted;
    for (int request = 0; request < AutoScaleBlockRequests && Connected(); ++request) {
        if (std::chrono::steady_clock::now() > deadline)
            break;
        const uint8_t status = Send(CEzUsb::ReadBlock);
        if (status != Accepted) {
            last = status;
            continue;
        }
        // A block that fails its check is no answer either.
        if (EzUsb->BulkRead(file.Block(), AutoScaleBlockTimeoutMs) && file.ParseBlock())
            return true;
    }
    if (!Connected()) {
        ReportStatus(NoDevice);
    } else if (last == LinkFail) {
        ReportStatus(LinkFail);
    } else {
        EndRun();
        window.ShowWarning(Warning::ProcessingFail);
    }
    return false;
}

void CAcquisition::AutoScale()
{
    Running = true;
    SingleShot = false;
    endedByTransferFailure = false;
    UpdateNoTriggerCondition();
    if (sys.ModelCode == 0) {
        AutoScaleDemo();
        return;
    }
    if (CompactModel()) {
        AutoScaleCompactModel();
        return;
    }
    if (Connected()) {
        const uint8_t ready = Send(CEzUsb::CheckReady);
        if (ready != Accepted) {
            ReportStatus(ready);
            // Busy: the command ends without a capture.
            Running = false;
            return;
        }
        const uint8_t model = EzUsb->IdentifyDevice(file);
        if (model == 0 && LinkLost()) {
            ReportStatus(NoDevice);
            return;
        }
        if (model != sys.ModelCode && model != Busy) {
            ModelMismatch();
            return;
        }
    }

    window.SetRunControls(RunMode::Running);
    const auto deadline = std::chrono::steady_clock::now() + AutoScaleCommandTime;
    for (int request = 1;; ++request) {
        const uint8_t status = Send(CEzUsb::AutoScale);
        if (status == Accepted)
            break;
        if (request >= AutoScaleRequests || std::chrono::steady_clock::now() > deadline) {
            ReportStatus(status);
            if (status == Busy) {
                // Still busy after every try: say so rather than stay "running".
                EndRun();
                window.ShowWarning(Warning::ProcessingFail);
            }
            return;
        }
    }
    if (!ReadScaledBlock())
        return;

    // The device's settings are the record now.
    Delay = WTime{};
    window.PlaceTriggerMark();
    ViewFromRecord();
    AcquisitionStep = StepSendSettings;
    UpdateNoTriggerCondition();
    window.RefreshViews();
    window.FillDivList();
    window.SelectCombos();
    TakeLastCaptureCopies();
    window.UpdateCursors();

    if (!OfferSignalList()) {
        // Nothing to show: back to idle.
        window.RedrawWaveform();
        EndRun();
        return;
    }
    window.EnableTimer(Timer::Timer1, true);
    window.EnableTimer(Timer::Timer2, true);
    window.EnableTimer(Timer::Timer3, false);
}

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
    const bool wasConnected = Connected();
    const uint8_t model = EzUsb != nullptr ? EzUsb->IdentifyDevice(file) : 0;
    if (model == 0 && wasConnected && LinkLost()) {
        ReportStatus(NoDevice);
        return;
    }
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
    if (file.ParseBlock() && file.CaptureDone != 0) {
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
