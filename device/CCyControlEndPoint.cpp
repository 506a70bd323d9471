#include "device/CCyControlEndPoint.h"

#include "device/DriverRequestBlock.h"

#include <cstring>
#include <limits>

CCyControlEndPoint::CCyControlEndPoint(UsbDriverHandle *handle, uint16_t maxPacket)
    : CCyUSBEndPoint(handle, 0, maxPacket, Control)
{}

CCyControlEndPoint::CCyControlEndPoint(UsbDriverHandle *handle, std::span<const uint8_t> descriptor)
    : CCyUSBEndPoint(handle, descriptor)
{}

bool CCyControlEndPoint::StartTransfer(std::span<uint8_t> buffer)
{
    if (Handle == nullptr || TransferPending() || buffer.size() > 0xFFFF)
        return false;
    Io = std::make_unique<UsbDriverIo>();
    TransferIn = Direction == DirFromDevice;
    DriverRequestBlock header;
    header.bmRequestType = DriverRequestBlock::RequestType(Direction, ReqType, Target);
    header.bRequest = ReqCode;
    header.wValue = Value;
    header.wIndex = Index;
    header.wLength = static_cast<uint16_t>(buffer.size());
    header.TimeoutSeconds = DriverRequestBlock::ControlTimeoutSeconds(TimeOut);
    header.EndpointAddress = 0;
    header.DataOffset = DriverRequestBlock::HeaderSize;
    header.DataLength = static_cast<uint32_t>(buffer.size());
    Io->Code = DriverCode::SendEp0Control;
    Io->Block.assign(DriverRequestBlock::HeaderSize + buffer.size(), 0);
    header.Write(Io->Block);
    if (!TransferIn && !buffer.empty())
        std::memcpy(Io->Block.data() + DriverRequestBlock::HeaderSize, buffer.data(),
                    buffer.size());
    Handle->Submit(*Io);
    return true;
}

bool CCyControlEndPoint::ControlRequest(bool read, std::span<uint8_t> buffer, uint32_t &length)
{
    length = 0;
    Direction = read ? DirFromDevice : DirToDevice;
    if (!StartTransfer(buffer))
        return false;
    // A time-out of 0 tells the driver to wait for as long as it takes.
    const uint32_t wait = TimeOut == 0 ? std::numeric_limits<uint32_t>::max() : TimeOut;
    if (!AwaitTransfer(wait)) {
        CancelTransfer();
        uint32_t ignored = 0;
        CompleteTransfer(buffer, ignored);
        return false;
    }
    return CompleteTransfer(buffer, length);
}
