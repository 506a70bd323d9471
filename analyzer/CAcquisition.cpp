#include "analyzer/CAcquisition.h"

#include "device/AFile.h"
#include "device/CEzUsb.h"
#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "display/DIV_WTime.h"
#include "display/TimeText.h"
#include "display/WTimePicoseconds.h"

#include <algorithm>
#include <limits>

namespace {

int ClampRow(int row)
{
    return std::clamp(row, 0, ModelTable::TimeDivRowCount - 1);
}

} // namespace

// The class keeps the command channel's status bytes under short names.
static_assert(CAcquisition::Accepted == CEzUsb::StatusAccepted);
static_assert(CAcquisition::Busy == CEzUsb::StatusBusy);
static_assert(CAcquisition::NoDevice == CEzUsb::StatusNoDevice);
static_assert(CAcquisition::LinkFail == CEzUsb::StatusLinkFail);
static_assert(CAcquisition::Failed == CEzUsb::StatusFailed);

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
    LastStatus = status;
    // A transfer that failed because the analyzer was pulled out is told
    // apart from a passing glitch by the removal it leaves behind.
    if (status == Failed && LinkLost())
        return NoDevice;
    return status;
}

void CAcquisition::ResetPort()
{
    ++FailedTransfers;
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

bool CAcquisition::IdentityKnown(uint8_t model, bool retry)
{
    // Demo answers to no identity; a model code, or a block that names no
    // known model, is an identity that was read.
    if (model != 0 || sys.ModelCode == 0 || (EzUsb != nullptr && EzUsb->IdentityRead))
        return true;
    // Nothing was read: a failed transfer is not another model, and must not
    // cost the user the set-up and the last capture.
    if (EzUsb == nullptr || !EzUsb->Connected || LinkLost()) {
        ReportStatus(NoDevice);
        return false;
    }
    const uint8_t status = EzUsb->IdentifyStatus;
    if (status != Accepted) {
        ReportStatus(status);
        return false;
    }
    // The identity block did not come (late or short): the step is tried
    // again on the next tick, or the command ends.
    ResetPort();
    if (!retry)
        ReportStatus(Failed);
    return false;
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
    sys.ClearSamples();
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
    const uint64_t period = WTimePicoseconds::Of(time.RatePeriod());
    uint64_t ps = WTimePicoseconds::Of(Delay);
    if (period != 0)
        ps = ps / period * period;
    StoreDelay(WTimePicoseconds::ToTime(ps, false), Delay.IsNegative());
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
    const uint64_t period = WTimePicoseconds::Of(time.SamplePeriod);

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
            after += 4 * (WTimePicoseconds::Of(delay) / period);
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

void CAcquisition::LeaveImport()
{
    if (!sys.HoldsImport())
        return;
    sys.SelectModel(sys.ModelCode);
    file.MemoryDepthIndex = static_cast<int16_t>(
        std::clamp<int>(file.MemoryDepthIndex, 0, static_cast<int>(sys.DepthCount) - 1));
    record.CaptureValid = 0;
    record.CaptureValidAtReadout = 0;
    ViewFromRecord();
    window.ModelChanged();
}

void CAcquisition::Run()
{
    LeaveImport();
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
    LeaveImport();
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
