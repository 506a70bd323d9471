#include "device/LibusbHandle.h"

#include "device/DriverReply.h"
#include "device/DriverRequestBlock.h"
#include "device/LibusbDriver.h"

#include <libusb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t DirectDriverVersion = 0x01060000;
constexpr uint32_t EventSliceMs = 100;
constexpr uint32_t LongestWaitMs = 24u * 3600u * 1000u;
// How long cancelled transfers may take to come back before a port reset or
// a close goes ahead; libusb returns them within milliseconds.
constexpr uint32_t CancelWaitMs = 250;


std::string NodeName(uint8_t bus, uint8_t address)
{
    char name[32];
    std::snprintf(name, sizeof name, "/dev/bus/usb/%03u/%03u", bus, address);
    return name;
}

} // namespace

LibusbHandle::LibusbHandle(LibusbDriver &owner, libusb_device_handle *device, uint8_t busNumber,
                           uint8_t busAddress)
    : driver(owner)
    , handle(device)
    , bus(busNumber)
    , address(busAddress)
{
    claimed = libusb_claim_interface(handle, 0) == LIBUSB_SUCCESS;
}

LibusbHandle::~LibusbHandle()
{
    Close();
}

bool LibusbHandle::Present() const
{
    return !gone && handle != nullptr && !driver.Left(libusb_get_device(handle));
}

bool LibusbHandle::Close()
{
    if (handle == nullptr)
        return true;
    CancelAll();
    driver.Forget(libusb_get_device(handle));
    if (claimed && !gone)
        libusb_release_interface(handle, 0);
    claimed = false;
    // Closing the device file ends what the kernel still holds, and libusb
    // forgets transfers of a closed handle: only then may their memory go.
    libusb_close(handle);
    handle = nullptr;
    for (const auto &flight : flights) {
        if (flight->Transfer == nullptr)
            continue;
        libusb_free_transfer(flight->Transfer);
        flight->Transfer = nullptr;
        if (flight->Io != nullptr && !flight->Released)
            Fail(*flight->Io, DriverStatus::NtCancelled, DriverStatus::UsbdCancelled);
    }
    flights.clear();
    return true;
}

void LibusbHandle::MarkGone()
{
    if (gone)
        return;
    gone = true;
    driver.Queue(UsbDriver::Event::Left);
}

bool LibusbHandle::Request(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out,
                           uint32_t &returned)
{
    returned = 0;
    if (handle == nullptr || gone)
        return false;
    switch (code) {
    case DriverCode::GetDriverVersion:
        return DriverReply::PutWord(out, DirectDriverVersion, returned);
    case DriverCode::GetUsbdiVersion: {
        const libusb_version *v = libusb_get_version();
        return DriverReply::PutWord(out, uint32_t{v->major} << 16 | uint32_t{v->minor} << 8 | v->micro,
                       returned);
    }
    case DriverCode::GetSpeed: {
        const int speed = libusb_get_device_speed(libusb_get_device(handle));
        return DriverReply::PutWord(out, speed >= LIBUSB_SPEED_HIGH ? 2 : 1, returned);
    }
    case DriverCode::GetAltInterface:
    case DriverCode::GetAddress:
        if (out.empty())
            return false;
        out[0] = code == DriverCode::GetAddress ? address : 0;
        returned = 1;
        return true;
    case DriverCode::GetDeviceName:
        return DriverReply::PutText(out, NodeName(bus, address), returned);
    case DriverCode::GetFriendlyName:
        return DriverReply::PutText(out, "USB device " + NodeName(bus, address).substr(13), returned);
    case DriverCode::ResetParentPort: {
        CancelAll();
        const int rc = libusb_reset_device(handle);
        if (rc == LIBUSB_ERROR_NO_DEVICE || rc == LIBUSB_ERROR_NOT_FOUND)
            MarkGone();
        return rc == LIBUSB_SUCCESS;
    }
    case DriverCode::AbortPipe:
        if (in.empty())
            return false;
        for (const auto &flight : flights) {
            if (flight->Transfer != nullptr && flight->Endpoint == in[0])
                libusb_cancel_transfer(flight->Transfer);
        }
        return true;
    default:
        return false;
    }
}

void LibusbHandle::Fail(UsbDriverIo &io, uint32_t ntStatus, uint32_t usbdStatus)
{
    DriverRequestBlock::WriteStatus(io.Block, ntStatus, usbdStatus);
    io.BytesReturned = 0;
    io.Succeeded = false;
    io.Done = true;
}

void LibusbHandle::Submit(UsbDriverIo &io)
{
    io.Done = false;
    io.Succeeded = false;
    io.BytesReturned = 0;
    Forget();
    const auto header = DriverRequestBlock::Read(io.Block);
    if (!header || handle == nullptr) {
        Fail(io, DriverStatus::NtUnsuccessful, DriverStatus::UsbdError);
        return;
    }
    if (gone) {
        Fail(io, DriverStatus::NtDeviceGone, DriverStatus::UsbdDeviceGone);
        return;
    }
    auto flight = std::make_unique<InFlight>();
    flight->Owner = this;
    flight->Io = &io;
    flight->Endpoint = header->EndpointAddress;
    flight->Direct = io.Code == DriverCode::SendNonEp0Direct;
    flight->DataOffset = header->DataOffset;
    libusb_transfer *transfer = libusb_alloc_transfer(0);
    if (transfer == nullptr) {
        Fail(io, DriverStatus::NtUnsuccessful, DriverStatus::UsbdError);
        return;
    }
    const std::span<uint8_t> data = flight->Direct ? io.Direct : header->Data(io.Block);
    if (io.Code == DriverCode::SendEp0Control) {
        const size_t length = std::min<size_t>(header->wLength, data.size());
        flight->Control.assign(LIBUSB_CONTROL_SETUP_SIZE + length, 0);
        libusb_fill_control_setup(flight->Control.data(), header->bmRequestType, header->bRequest,
                                  header->wValue, header->wIndex, static_cast<uint16_t>(length));
        if ((header->bmRequestType & LIBUSB_ENDPOINT_IN) == 0 && length != 0)
            std::memcpy(flight->Control.data() + LIBUSB_CONTROL_SETUP_SIZE, data.data(), length);
        libusb_fill_control_transfer(transfer, handle, flight->Control.data(),
                                     &LibusbHandle::Callback, flight.get(), 0);
    } else if (io.Code == DriverCode::SendNonEp0 || flight->Direct) {
        libusb_fill_bulk_transfer(transfer, handle, header->EndpointAddress, data.data(),
                                  static_cast<int>(data.size()), &LibusbHandle::Callback,
                                  flight.get(), 0);
    } else {
        libusb_free_transfer(transfer);
        Fail(io, DriverStatus::NtUnsuccessful, DriverStatus::UsbdError);
        return;
    }
    flight->Transfer = transfer;
    const int rc = libusb_submit_transfer(transfer);
    if (rc != LIBUSB_SUCCESS) {
        libusb_free_transfer(transfer);
        if (rc == LIBUSB_ERROR_NO_DEVICE) {
            MarkGone();
            Fail(io, DriverStatus::NtDeviceGone, DriverStatus::UsbdDeviceGone);
        } else {
            Fail(io, DriverStatus::NtUnsuccessful, DriverStatus::UsbdError);
        }
        return;
    }
    flights.push_back(std::move(flight));
}

void LibusbHandle::Callback(libusb_transfer *transfer)
{
    auto *flight = static_cast<InFlight *>(transfer->user_data);
    flight->Owner->Complete(*flight);
}

void LibusbHandle::Complete(InFlight &flight)
{
    libusb_transfer *transfer = flight.Transfer;
    UsbDriverIo &io = *flight.Io;
    const auto moved = static_cast<uint32_t>(std::max(transfer->actual_length, 0));
    uint32_t nt = DriverStatus::Success;
    uint32_t usbd = DriverStatus::Success;
    switch (transfer->status) {
    case LIBUSB_TRANSFER_COMPLETED:
        break;
    case LIBUSB_TRANSFER_STALL:
        nt = DriverStatus::NtUnsuccessful;
        usbd = DriverStatus::UsbdStall;
        break;
    case LIBUSB_TRANSFER_CANCELLED:
        nt = DriverStatus::NtCancelled;
        usbd = DriverStatus::UsbdCancelled;
        break;
    case LIBUSB_TRANSFER_NO_DEVICE:
        MarkGone();
        nt = DriverStatus::NtDeviceGone;
        usbd = DriverStatus::UsbdDeviceGone;
        break;
    default:
        nt = DriverStatus::NtUnsuccessful;
        usbd = DriverStatus::UsbdError;
        break;
    }
    if (!flight.Control.empty()) {
        // Received control data goes back into the request block after the header.
        const auto header = DriverRequestBlock::Read(io.Block);
        const std::span<uint8_t> data = header ? header->Data(io.Block) : std::span<uint8_t>{};
        const size_t n = std::min<size_t>(moved, data.size());
        if ((flight.Control[0] & LIBUSB_ENDPOINT_IN) != 0 && n != 0)
            std::memcpy(data.data(), flight.Control.data() + LIBUSB_CONTROL_SETUP_SIZE, n);
    }
    DriverRequestBlock::WriteStatus(io.Block, nt, usbd);
    io.BytesReturned = flight.Direct ? moved : flight.DataOffset + moved;
    io.Succeeded = nt == DriverStatus::Success;
    io.Done = true;
    flight.Completed = 1;
    flight.Transfer = nullptr;
    flight.Io = nullptr;
    libusb_free_transfer(transfer);
}

void LibusbHandle::Forget()
{
    flights.remove_if([](const auto &f) { return f->Transfer == nullptr; });
}

bool LibusbHandle::Wait(UsbDriverIo &io, uint32_t timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto found =
        std::find_if(flights.begin(), flights.end(), [&](const auto &f) { return f->Io == &io; });
    int *completed = found != flights.end() ? &(*found)->Completed : nullptr;
    const auto deadline =
        Clock::now() + std::chrono::milliseconds(std::min(timeoutMs, LongestWaitMs));
    while (!io.Done && completed != nullptr) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            break;
        driver.HandleEvents(std::min<uint32_t>(static_cast<uint32_t>(left.count()), EventSliceMs),
                            completed);
    }
    if (io.Done)
        Forget();
    return io.Done;
}

void LibusbHandle::Release(std::unique_ptr<UsbDriverIo> io)
{
    const auto found = std::find_if(flights.begin(), flights.end(), [&](const auto &f) {
        return f->Io == io.get() && f->Transfer != nullptr;
    });
    // One that is done already (or never reached libusb) simply goes.
    if (found != flights.end())
        (*found)->Released = std::move(io);
}

void LibusbHandle::CancelAll()
{
    using Clock = std::chrono::steady_clock;
    for (const auto &flight : flights) {
        if (flight->Transfer != nullptr)
            libusb_cancel_transfer(flight->Transfer);
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(CancelWaitMs);
    for (Forget(); !flights.empty(); Forget()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            break;
        driver.HandleEvents(static_cast<uint32_t>(left.count()), &flights.front()->Completed);
    }
}
