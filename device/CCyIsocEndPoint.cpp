#include "device/CCyIsocEndPoint.h"

bool CCyIsocEndPoint::StartTransfer(std::span<uint8_t> buffer)
{
    if (Handle == nullptr || TransferPending() || MaxPktSize == 0)
        return false;
    Submit(buffer, PacketCount(static_cast<uint32_t>(buffer.size())) * PacketEntryBytes);
    return true;
}

uint32_t CCyIsocEndPoint::PacketCount(uint32_t length) const
{
    if (MaxPktSize == 0)
        return 0;
    return (length + MaxPktSize - 1) / MaxPktSize;
}
