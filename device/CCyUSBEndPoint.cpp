#include "device/CCyUSBEndPoint.h"

#include "device/DriverRequestBlock.h"

#include <algorithm>
#include <cstring>

namespace {
// How long an aborted transfer may take to come back from the driver. An
// abort is answered as soon as the host controller has unlinked the request,
// within a few milliseconds; a quarter of a second covers a loaded machine
// many times over and is not felt as a frozen window. A request that is
// still out after that is handed to the driver handle with its buffers.
constexpr uint32_t CancelWaitMs = 250;
} // namespace

CCyUSBEndPoint::CCyUSBEndPoint(UsbDriverHandle *handle, std::span<const uint8_t> descriptor)
    : Handle(handle)
{
    if (descriptor.size() < 7)
        return;
    DscLen = descriptor[0];
    DscType = descriptor[1];
    Address = descriptor[2];
    Attributes = descriptor[3];
    const uint16_t raw = static_cast<uint16_t>(descriptor[4] | descriptor[5] << 8);
    // High-bandwidth endpoints move up to three packets per microframe.
    MaxPktSize = static_cast<uint16_t>((1 + ((raw >> 11) & 3)) * (raw & 0x7FF));
    Interval = descriptor[6];
    bIn = (Address & 0x80) != 0;
}

CCyUSBEndPoint::CCyUSBEndPoint(UsbDriverHandle *handle, uint8_t address, uint16_t maxPacket,
                               uint8_t attributes)
    : DscLen(7)
    , DscType(5)
    , Address(address)
    , Attributes(attributes)
    , MaxPktSize(maxPacket)
    , bIn((address & 0x80) != 0)
    , Handle(handle)
{}

CCyUSBEndPoint::~CCyUSBEndPoint()
{
    CancelTransfer();
}

bool CCyUSBEndPoint::TransferPending() const
{
    return Io && !Io->Done;
}

bool CCyUSBEndPoint::StartTransfer(std::span<uint8_t> buffer)
{
    if (Handle == nullptr || TransferPending())
        return false;
    Submit(buffer, 0);
    return true;
}

void CCyUSBEndPoint::Submit(std::span<uint8_t> buffer, uint32_t tableBytes)
{
    Io = std::make_unique<UsbDriverIo>();
    TransferIn = bIn;
    DriverRequestBlock header;
    header.EndpointAddress = Address;
    if (tableBytes != 0) {
        header.IsoPacketOffset = DriverRequestBlock::HeaderSize;
        header.IsoPacketLength = tableBytes;
    }
    const size_t front = DriverRequestBlock::HeaderSize + tableBytes;
    if (DirectTransfer) {
        // The data buffer belongs to the request, not to the caller: received
        // data are copied out when the transfer completes.
        Io->Code = DriverCode::SendNonEp0Direct;
        Io->Block.assign(front, 0);
        Io->DirectData = std::make_unique_for_overwrite<uint8_t[]>(buffer.size());
        Io->Direct = std::span<uint8_t>(Io->DirectData.get(), buffer.size());
        if (!bIn && !buffer.empty())
            std::memcpy(Io->Direct.data(), buffer.data(), buffer.size());
    } else {
        Io->Code = DriverCode::SendNonEp0;
        header.DataOffset = static_cast<uint32_t>(front);
        header.DataLength = static_cast<uint32_t>(buffer.size());
        Io->Block.assign(front + buffer.size(), 0);
        if (!bIn && !buffer.empty())
            std::memcpy(Io->Block.data() + front, buffer.data(), buffer.size());
    }
    header.Write(Io->Block);
    Handle->Submit(*Io);
}

bool CCyUSBEndPoint::AwaitTransfer(uint32_t timeoutMs)
{
    if (!Io)
        return false;
    if (Io->Done)
        return true;
    return Handle->Wait(*Io, timeoutMs);
}

bool CCyUSBEndPoint::CompleteTransfer(std::span<uint8_t> buffer, uint32_t &length)
{
    length = 0;
    if (!Io || !Io->Done)
        return false;
    const auto header = DriverRequestBlock::Read(Io->Block);
    if (!header) {
        Io.reset();
        return false;
    }
    NtStatus = header->NtStatus;
    UsbdStatus = header->UsbdStatus;
    uint32_t moved = 0;
    if (header->DataOffset == 0) {
        moved = std::min<uint32_t>({Io->BytesReturned, static_cast<uint32_t>(buffer.size()),
                                    static_cast<uint32_t>(Io->Direct.size())});
        if (TransferIn && moved != 0)
            std::memcpy(buffer.data(), Io->Direct.data(), moved);
    } else {
        const std::span<uint8_t> data = header->Data(Io->Block);
        if (Io->BytesReturned > header->DataOffset)
            moved = Io->BytesReturned - header->DataOffset;
        moved = std::min<uint32_t>(
            {moved, static_cast<uint32_t>(data.size()), static_cast<uint32_t>(buffer.size())});
        if (TransferIn && moved != 0)
            std::memcpy(buffer.data(), data.data(), moved);
    }
    const bool ok = Io->Succeeded && NtStatus == 0 && UsbdStatus == 0;
    LastError = ok ? 0 : 1;
    BytesXfered = moved;
    length = moved;
    Io.reset();
    return ok;
}

void CCyUSBEndPoint::CancelTransfer()
{
    if (!TransferPending())
        return;
    const uint8_t address[1] = {Address};
    uint32_t returned = 0;
    Handle->Request(DriverCode::AbortPipe, address, {}, returned);
    Handle->Wait(*Io, CancelWaitMs);
    if (Io->Done)
        return;
    // The driver still holds the request and may yet write into its block
    // and data: the handle keeps both until the driver lets go. The transfer
    // counts as cancelled here; nothing of it reaches the caller.
    Handle->Release(std::move(Io));
    NtStatus = DriverStatus::NtCancelled;
    UsbdStatus = DriverStatus::UsbdCancelled;
    BytesXfered = 0;
    LastError = 1;
}

bool CCyUSBEndPoint::XferData(std::span<uint8_t> buffer, uint32_t &length)
{
    length = 0;
    if (!StartTransfer(buffer))
        return false;
    if (!AwaitTransfer(TimeOut))
        CancelTransfer();
    return CompleteTransfer(buffer, length);
}
