#include "device/CCyUSBEndPoint.h"

#include "device/DriverRequestBlock.h"

#include <algorithm>
#include <cstring>

namespace {
// How long a cancelled transfer may take to come back from the driver.
constexpr uint32_t CancelWaitMs = 1000;
constexpr int CancelWaitRounds = 30;
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
        Io->Code = DriverCode::SendNonEp0Direct;
        Io->Block.assign(front, 0);
        Io->Direct = buffer;
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
        moved = std::min<uint32_t>(Io->BytesReturned, static_cast<uint32_t>(buffer.size()));
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
    for (int round = 0; round < CancelWaitRounds && !Io->Done; ++round)
        Handle->Wait(*Io, CancelWaitMs);
    if (!Io->Done) {
        // The driver still holds the request: its block must outlive it, so it
        // is given up rather than released under the driver's feet.
        static_cast<void>(Io.release());
    }
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
