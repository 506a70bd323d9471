#include "device/EmulatedHandle.h"

#include "device/DriverReply.h"
#include "device/DriverRequestBlock.h"
#include "device/EmulatedDriver.h"

#include <algorithm>
#include <string>

namespace {
constexpr uint32_t UsbdiVersion = 0x00000200;
constexpr uint32_t HighSpeed = 2;

} // namespace

EmulatedHandle::EmulatedHandle(EmulatedDriver &owner, std::shared_ptr<AnalyzerFirmware> device,
                               int busAddress, uint32_t driverVersion)
    : driver(owner)
    , firmware(std::move(device))
    , address(busAddress)
    , version(driverVersion)
{
    driver.HandleOpened();
}

EmulatedHandle::~EmulatedHandle()
{
    // Nothing the caller still holds may point back into this handle.
    for (UsbDriverIo *io : pending)
        Finish(*io, DriverStatus::NtCancelled, DriverStatus::UsbdCancelled, 0);
    driver.HandleClosed();
}

bool EmulatedHandle::Present() const
{
    return firmware->Attached();
}

bool EmulatedHandle::Close()
{
    return true;
}

bool EmulatedHandle::Request(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out,
                             uint32_t &returned)
{
    returned = 0;
    if (!firmware->Attached())
        return false;
    switch (code) {
    case DriverCode::GetDriverVersion:
        return DriverReply::PutWord(out, version, returned);
    case DriverCode::GetUsbdiVersion:
        return DriverReply::PutWord(out, UsbdiVersion, returned);
    case DriverCode::GetSpeed:
        return DriverReply::PutWord(out, HighSpeed, returned);
    case DriverCode::GetAltInterface:
    case DriverCode::GetAddress:
        if (out.empty())
            return false;
        out[0] = code == DriverCode::GetAddress ? static_cast<uint8_t>(address) : 0;
        returned = 1;
        return true;
    case DriverCode::GetDeviceName:
        return DriverReply::PutText(out, "emulated-" + std::to_string(address), returned);
    case DriverCode::GetFriendlyName:
        return DriverReply::PutText(out, "Tracemoor emulated analyzer", returned);
    case DriverCode::ResetParentPort:
        firmware->ResetPort();
        return true;
    case DriverCode::AbortPipe: {
        if (in.empty())
            return false;
        const uint8_t endpoint = in[0];
        auto aborted = [&](UsbDriverIo *io) {
            const auto header = DriverRequestBlock::Read(io->Block);
            if (!header || header->EndpointAddress != endpoint ||
                std::find(lateAborts.begin(), lateAborts.end(), io) != lateAborts.end())
                return false;
            if (firmware->AnswersAbortLate()) {
                lateAborts.push_back(io);
                return false;
            }
            Finish(*io, DriverStatus::NtCancelled, DriverStatus::UsbdCancelled, 0);
            return true;
        };
        pending.erase(std::remove_if(pending.begin(), pending.end(), aborted), pending.end());
        return true;
    }
    default:
        return false;
    }
}

void EmulatedHandle::Finish(UsbDriverIo &io, uint32_t ntStatus, uint32_t usbdStatus, uint32_t bytes)
{
    DriverRequestBlock::WriteStatus(io.Block, ntStatus, usbdStatus);
    io.BytesReturned = bytes;
    io.Succeeded = ntStatus == DriverStatus::Success;
    io.Done = true;
}

void EmulatedHandle::Gone(UsbDriverIo &io)
{
    Finish(io, DriverStatus::NtDeviceGone, DriverStatus::UsbdDeviceGone, 0);
    if (!goneReported) {
        goneReported = true;
        driver.DeviceLeft();
    }
}

void EmulatedHandle::FinishLateAborts()
{
    for (UsbDriverIo *io : lateAborts) {
        const auto header = DriverRequestBlock::Read(io->Block);
        const bool direct = io->Code == DriverCode::SendNonEp0Direct;
        const std::span<uint8_t> data = direct   ? io->Direct
                                        : header ? header->Data(io->Block)
                                                 : std::span<uint8_t>{};
        std::fill(data.begin(), data.end(), LateFiller);
        const auto bytes = static_cast<uint32_t>(data.size());
        Finish(*io, DriverStatus::Success, DriverStatus::Success,
               direct || !header ? bytes : header->DataOffset + bytes);
        std::erase(pending, io);
    }
    lateAborts.clear();
    std::erase_if(released, [](const auto &io) { return io->Done; });
}

void EmulatedHandle::Release(std::unique_ptr<UsbDriverIo> io)
{
    if (io && !io->Done)
        released.push_back(std::move(io));
}

void EmulatedHandle::Submit(UsbDriverIo &io)
{
    FinishLateAborts();
    io.Done = false;
    io.Succeeded = false;
    io.BytesReturned = 0;
    if (!Attempt(io))
        pending.push_back(&io);
}

bool EmulatedHandle::Attempt(UsbDriverIo &io)
{
    const auto header = DriverRequestBlock::Read(io.Block);
    if (!header) {
        Finish(io, DriverStatus::NtUnsuccessful, DriverStatus::UsbdError, 0);
        return true;
    }
    if (!firmware->Attached()) {
        Gone(io);
        return true;
    }
    const bool direct = io.Code == DriverCode::SendNonEp0Direct;
    const std::span<uint8_t> data = direct ? io.Direct : header->Data(io.Block);
    AnalyzerFirmware::Reply reply;
    if (io.Code == DriverCode::SendEp0Control) {
        const AnalyzerFirmware::Setup setup{header->bmRequestType, header->bRequest, header->wValue,
                                            header->wIndex, header->wLength};
        reply = firmware->Control(setup, data);
    } else if (io.Code == DriverCode::SendNonEp0 || direct) {
        if ((header->EndpointAddress & 0x80) != 0)
            reply = firmware->BulkIn(header->EndpointAddress, data);
        else
            reply = firmware->BulkOut(header->EndpointAddress, data);
    } else {
        Finish(io, DriverStatus::NtUnsuccessful, DriverStatus::UsbdError, 0);
        return true;
    }

    switch (reply.What) {
    case AnalyzerFirmware::Outcome::Nak:
        return false;
    case AnalyzerFirmware::Outcome::Gone:
        Gone(io);
        return true;
    case AnalyzerFirmware::Outcome::Stall:
        Finish(io, DriverStatus::NtUnsuccessful, DriverStatus::UsbdStall, 0);
        return true;
    case AnalyzerFirmware::Outcome::Done:
        break;
    }
    const auto bytes = static_cast<uint32_t>(reply.Bytes);
    Finish(io, DriverStatus::Success, DriverStatus::Success,
           direct ? bytes : header->DataOffset + bytes);
    return true;
}

bool EmulatedHandle::Wait(UsbDriverIo &io, uint32_t timeoutMs)
{
    if (io.Done)
        return true;
    // An abort the device answers late comes back after the next request.
    const bool late = std::find(lateAborts.begin(), lateAborts.end(), &io) != lateAborts.end();
    // The firmware may have something for a pending transfer by now.
    const auto it = std::find(pending.begin(), pending.end(), &io);
    if (!late && it != pending.end() && Attempt(io))
        pending.erase(it);
    if (!io.Done)
        driver.Waited(timeoutMs);
    return io.Done;
}
