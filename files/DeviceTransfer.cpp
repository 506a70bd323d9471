#include "files/DeviceTransfer.h"

#include "device/CEzUsb.h"
#include "device/CFile.h"
#include "device/ModelTable.h"
#include "device/WSystem.h"

#include <span>
#include <utility>
#include <vector>

DeviceTransfer::DeviceTransfer(CEzUsb &link, std::function<void(int ms)> wait)
    : usb(link)
    , pause(std::move(wait))
{
    if (!pause)
        pause = [](int) {};
}

void DeviceTransfer::ResetPort(Result &result)
{
    usb.Device().ResetDevicePort();
    result.portReset = true;
}

bool DeviceTransfer::CheckDevice(Result &result, int &model)
{
    model = -1;
    if (!usb.Connected)
        return true; // the requests below find no device and say so
    pause(10);
    const uint8_t ready = usb.SendCommand(CEzUsb::CheckReady);
    if (ready != CEzUsb::StatusAccepted) {
        result.outcome = Outcome::StatusRefused;
        result.status = ready;
        return false;
    }
    pause(10);
    // Asked with a record of its own: the settings keep their model code.
    CFile probe;
    const uint8_t attached = usb.IdentifyDevice(probe);
    if (attached >= 3 && attached <= 8) {
        result.outcome = Outcome::NotSupported;
        return false;
    }
    // 0 names no known model (or no answer), 0xE0 a busy device.
    if (attached >= 1 && attached < ModelTable::ModelCount)
        model = attached;
    return true;
}

DeviceTransfer::Result DeviceTransfer::Import(CFile &settings, WSystem &system)
{
    Result result;
    int attached = -1;
    if (!CheckDevice(result, attached))
        return result;
    const int model = attached >= 0 ? attached : system.ModelCode;

    const uint8_t status = usb.SendCommand(CEzUsb::ReadBlock);
    CFile block;
    block.ModelCode = static_cast<uint8_t>(model);
    block.ResetSettings();
    if (status == CEzUsb::StatusAccepted) {
        if (!usb.BulkRead(block.BlockBuffer, BlockTimeoutMs) || !block.ParseBlock()) {
            ResetPort(result);
            result.outcome = Outcome::NoData;
            return result;
        }
    } else {
        result.outcome = status == CEzUsb::StatusBusy       ? Outcome::Busy
                         : status == CEzUsb::StatusLinkFail ? Outcome::NotLinking
                                                            : Outcome::BlockRefused;
        return result;
    }
    pause(50);

    std::vector<uint8_t> samples(ModelTable::Model(model).memorySize);
    for (result.attempts = 1; result.attempts <= SampleAttempts; ++result.attempts) {
        if (usb.SendCommand(CEzUsb::ReadSamples) != CEzUsb::StatusAccepted)
            continue;
        pause(10);
        if (!usb.BulkRead(samples, SamplesTimeoutMs))
            continue;
        // Everything arrived: now the program takes it over.
        // An import larger than the model's memory gives way to the
        // model's own rings.
        if (model != system.ModelCode || system.HoldsImport()) {
            system.SelectModel(model);
            result.modelChanged = true;
        }
        settings.ModelCode = static_cast<uint8_t>(model);
        settings.BlockBuffer = block.BlockBuffer;
        settings.ParseBlock();
        system.SampleBuffer.swap(samples);
        result.outcome = Outcome::Imported;
        return result;
    }
    result.attempts = SampleAttempts;
    ResetPort(result);
    result.outcome = Outcome::NoData;
    return result;
}

DeviceTransfer::Result DeviceTransfer::Export(CFile &settings, WSystem &system)
{
    Result result;
    int attached = -1;
    if (!CheckDevice(result, attached))
        return result;
    if (attached >= 0 && attached != system.ModelCode) {
        result.outcome = Outcome::WrongModel;
        return result;
    }

    const uint8_t status = usb.SendCommand(CEzUsb::WriteBlock);
    if (status != CEzUsb::StatusAccepted) {
        // Only an accepted request is followed by the block: a busy or
        // unlinked device would not take it.
        result.outcome = status == CEzUsb::StatusBusy       ? Outcome::Busy
                         : status == CEzUsb::StatusLinkFail ? Outcome::NotLinking
                                                            : Outcome::NotExported;
        return result;
    }
    settings.BuildBlock();
    if (!usb.BulkWrite(settings.BlockBuffer, BlockTimeoutMs)) {
        ResetPort(result);
        result.outcome = Outcome::NotExported;
        return result;
    }
    pause(50);

    // The instrument takes its own memory size, an import's first part.
    const std::span<uint8_t> samples =
        std::span(system.SampleBuffer).first(system.ModelMemorySize());
    for (result.attempts = 1; result.attempts <= SampleAttempts; ++result.attempts) {
        if (usb.SendCommand(CEzUsb::WriteSamples) != CEzUsb::StatusAccepted)
            continue;
        pause(10);
        if (usb.BulkWrite(samples, SamplesTimeoutMs)) {
            result.outcome = Outcome::Exported;
            return result;
        }
    }
    result.attempts = SampleAttempts;
    ResetPort(result);
    result.outcome = Outcome::NotExported;
    return result;
}
