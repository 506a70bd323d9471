#pragma once

#include "device/CCyUSBEndPoint.h"

// An isochronous endpoint: the request block carries a packet table of 8
// bytes per packet between header and data.
class CCyIsocEndPoint : public CCyUSBEndPoint
{
public:
    static constexpr uint32_t PacketEntryBytes = 8;

    using CCyUSBEndPoint::CCyUSBEndPoint;

    bool StartTransfer(std::span<uint8_t> buffer) override;
    // Packets needed for `length` bytes, rounded up.
    uint32_t PacketCount(uint32_t length) const;
};
