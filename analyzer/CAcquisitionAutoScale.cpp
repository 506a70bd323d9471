// Acquisition control's Auto Scale: the device chooses the settings (the
// Demo and the compact models 9 and 10 set them here), then the capture
// sequence runs with them.

#include "analyzer/CAcquisition.h"

#include "device/CEzUsb.h"
#include "device/CFile.h"
#include "device/WSystem.h"

#include <algorithm>
#include <chrono>

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
        if (!IdentityKnown(model, false))
            return;
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
