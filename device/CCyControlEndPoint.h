#pragma once

#include "device/CCyUSBEndPoint.h"

// Endpoint 0: control requests built from the fields below.
class CCyControlEndPoint : public CCyUSBEndPoint
{
public:
    enum Recipient : uint8_t { TgtDevice = 0, TgtInterface = 1, TgtEndpoint = 2, TgtOther = 3 };
    enum RequestKind : uint8_t { ReqStd = 0, ReqClass = 1, ReqVendor = 2 };
    enum Dir : uint8_t { DirToDevice = 0, DirFromDevice = 1 };

    CCyControlEndPoint(UsbDriverHandle *handle, uint16_t maxPacket);
    CCyControlEndPoint(UsbDriverHandle *handle, std::span<const uint8_t> descriptor);

    // A control transfer of `buffer` in the direction given by `read`, with the
    // request fields as set. `length` receives the bytes moved; an IN request
    // answered with fewer bytes reports the shorter length.
    bool ControlRequest(bool read, std::span<uint8_t> buffer, uint32_t &length);
    bool StartTransfer(std::span<uint8_t> buffer) override;

    uint8_t Target = TgtDevice;
    uint8_t ReqType = ReqVendor;
    uint8_t Direction = DirToDevice;
    uint8_t ReqCode = 0;
    uint16_t Value = 0;
    uint16_t Index = 0;
};
