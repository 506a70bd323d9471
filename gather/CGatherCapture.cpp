#include "gather/CGatherCapture.h"

#include "device/CEzUsb.h"
#include "device/CFile.h"
#include "device/ModelTable.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"

#include <algorithm>
#include <chrono>
#include <span>
#include <thread>
#include <vector>

namespace {

constexpr std::string_view LinkFailText = "Linking fail.";
// The compact 16-channel model names itself this way; it takes a
// run-parameter image instead of a settings block.
constexpr std::string_view CompactModelText = "QX-A16E";

} // namespace

CGatherCapture::CGatherCapture(WSystem &system, CFile &settings, CCaptureRecord &placement)
    : sys(system)
    , file(settings)
    , record(placement)
{}

int CGatherCapture::ModelOfText(std::string_view text)
{
    // Model 1 analyzers exist with either spelling of their model line.
    for (int code = 1; code <= 8; ++code) {
        const ModelTable::ModelRow &row = ModelTable::Model(code);
        if (text == row.identity || (!row.identityAlt.empty() && text == row.identityAlt))
            return code;
    }
    return text == CompactModelText ? 9 : 0;
}

void CGatherCapture::Pause(int ms) const
{
    if (Pauses)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void CGatherCapture::ResetPort()
{
    if (EzUsb != nullptr && EzUsb->Connected)
        EzUsb->Device().ResetDevicePort();
}

uint8_t CGatherCapture::Command(uint8_t code)
{
    // A busy analyzer is asked again a little later: one busy answer must
    // not cost the capture the parameter file asked for.
    uint8_t status = EzUsb->SendCommand(code);
    for (int i = 1; i < BusyAttempts && status == CEzUsb::StatusBusy; ++i) {
        Pause(10);
        status = EzUsb->SendCommand(code);
    }
    return status;
}

CGatherCapture::Outcome CGatherCapture::Fail(std::string message)
{
    Message = std::move(message);
    capturing = false;
    return Outcome::Failed;
}

CGatherCapture::Outcome CGatherCapture::Start(const std::function<void()> &reload)
{
    Message.clear();
    capturing = false;
    damagedBlocks = 0;
    if (EzUsb == nullptr || !EzUsb->Connected)
        return Outcome::NoDevice;

    const uint8_t identity = Command(CEzUsb::Identify);
    if (identity == CEzUsb::StatusNoDevice)
        return Outcome::NoDevice;
    if (identity != CEzUsb::StatusAccepted)
        return Fail(); // busy, a failed transfer, or a compact model
    if (reload)
        reload();
    std::vector<uint8_t> block;
    if (!EzUsb->ReadIdentityBlock(block))
        return Fail();
    const int model = ModelOfText(WSystem::IdentityStrings(block)[2]);
    if (model == 9)
        return Fail();
    if (model != 0) {
        file.ModelCode = static_cast<uint8_t>(model);
        if (sys.ModelCode != model)
            sys.SelectModel(model);
    }
    // An unknown model text keeps the model and set-up in force.
    sys.ComputeSplit(file.MemoryDepthIndex, file.RateRow);
    const auto k = static_cast<size_t>(std::clamp<int>(file.MemoryPercent, 0, 10));
    file.PreTriggerBytes = static_cast<uint32_t>(std::max(sys.SplitTable[1][k], 0));
    file.PostTriggerBytes = static_cast<uint32_t>(std::max(sys.SplitTable[0][k], 0));
    file.BuildBlock();

    if (EzUsb->SendCommand(CEzUsb::StopCapture) == CEzUsb::StatusAccepted)
        Pause(5);
    const uint8_t ready = EzUsb->SendCommand(CEzUsb::CheckReady);
    if (ready == CEzUsb::StatusLinkFail)
        return Fail(std::string(LinkFailText));
    if (ready == CEzUsb::StatusAccepted)
        Pause(5);
    if (Command(CEzUsb::WriteBlock) != CEzUsb::StatusAccepted)
        return Fail();
    if (!EzUsb->BulkWrite(file.Block(), BlockTimeoutMs)) {
        ResetPort();
        return Fail();
    }
    Pause(50);
    const uint8_t start = Command(CEzUsb::StartCapture);
    if (start != CEzUsb::StatusAccepted)
        return Fail(start == CEzUsb::StatusLinkFail ? std::string(LinkFailText) : std::string());
    capturing = true;
    return Outcome::Waiting;
}

CGatherCapture::Outcome CGatherCapture::Poll()
{
    if (!capturing)
        return Outcome::Failed;
    const uint8_t status = EzUsb->SendCommand(CEzUsb::ReadBlock);
    if (status == CEzUsb::StatusBusy)
        return Outcome::Waiting;
    if (status != CEzUsb::StatusAccepted)
        return Fail(status == CEzUsb::StatusLinkFail ? std::string(LinkFailText) : std::string());
    // The block is read over the record's own, so that a short read brings
    // in nothing but the record; only a block that passes its check can say
    // the capture is done.
    file.BuildBlock();
    if (!EzUsb->BulkRead(file.Block(), BlockTimeoutMs)) {
        ResetPort();
        return Fail();
    }
    if (!file.ParseBlock()) {
        if (++damagedBlocks >= DamagedBlockLimit)
            return Fail();
        return Outcome::Waiting;
    }
    damagedBlocks = 0;
    if (file.CaptureDone == 0)
        return Outcome::Waiting;
    Pause(5);
    return ReadOut();
}

CGatherCapture::Outcome CGatherCapture::ReadOut()
{
    const uint8_t status = Command(CEzUsb::ReadSamples);
    if (status != CEzUsb::StatusAccepted)
        return Fail(status == CEzUsb::StatusLinkFail ? std::string(LinkFailText) : std::string());
    if (!EzUsb->BulkRead(std::span(sys.SampleBuffer).first(sys.MemorySize), SamplesTimeoutMs)) {
        ResetPort();
        return Fail();
    }
    Pause(5);
    if (EzUsb->SendCommand(CEzUsb::StopCapture) == CEzUsb::StatusAccepted)
        Pause(5);
    capturing = false;

    // The device reports the end address only approximately: search back
    // from the expected trigger sample for the trigger condition.
    const uint32_t mask = record.RingMask();
    record.NotConfirmable = false;
    record.EndAddress = file.ReportedEndAddress & mask;
    record.TriggerAddress = (record.EndAddress - file.PostTriggerBytes) & mask;
    record.ConfirmTrigger();
    TriggerAddress = record.TriggerAddress & mask;
    return Outcome::Captured;
}

void CGatherCapture::Abandon()
{
    if (capturing && EzUsb != nullptr)
        EzUsb->SendCommand(CEzUsb::StopCapture);
    capturing = false;
}
