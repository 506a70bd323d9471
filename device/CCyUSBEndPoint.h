#pragma once

#include "device/UsbDriverHandle.h"
#include "device/UsbDriverIo.h"

#include <cstdint>
#include <memory>
#include <span>

// One endpoint of the selected interface. A transfer is started, awaited,
// completed, or cancelled when it is late; one transfer at a time per
// endpoint. The driver handle is not owned; the endpoint lives only while its
// device stays open.
class CCyUSBEndPoint
{
public:
    static constexpr uint32_t DefaultTimeOut = 10000;
    enum Type : uint8_t { Control = 0, Isochronous = 1, Bulk = 2, Interrupt = 3 };

    // From an endpoint descriptor (at least 7 bytes; shorter ones give an
    // endpoint with address 0 and no packet size).
    CCyUSBEndPoint(UsbDriverHandle *handle, std::span<const uint8_t> descriptor);
    virtual ~CCyUSBEndPoint();
    CCyUSBEndPoint(const CCyUSBEndPoint &) = delete;
    CCyUSBEndPoint &operator=(const CCyUSBEndPoint &) = delete;

    // Starts a transfer of the whole `buffer`. OUT data are taken now; IN
    // data reach `buffer` only in CompleteTransfer, so the buffer may be
    // released once the transfer is completed or cancelled.
    virtual bool StartTransfer(std::span<uint8_t> buffer);
    // True at once when the transfer has finished, else waits up to
    // `timeoutMs`; false on time-out or when nothing was started.
    bool AwaitTransfer(uint32_t timeoutMs);
    // Collects the result without waiting: copies received data into
    // `buffer` for IN transfers, sets `length` to the transferred
    // bytes. True only when the driver, USBD and NT status all say success.
    bool CompleteTransfer(std::span<uint8_t> buffer, uint32_t &length);
    // Aborts what is pending on the endpoint and waits a short while for the
    // driver to give the request back. One that is still out then goes to the
    // driver handle, which keeps it (and every buffer the driver may write)
    // until the driver lets go; CompleteTransfer then reports a cancelled,
    // empty transfer.
    void CancelTransfer();
    bool TransferPending() const;
    // Start, wait up to TimeOut, cancel when late, complete.
    bool XferData(std::span<uint8_t> buffer, uint32_t &length);

    Type TransferType() const { return static_cast<Type>(Attributes & 3); }

    uint8_t DscLen = 0;
    uint8_t DscType = 0;
    uint8_t Address = 0;
    uint8_t Attributes = 0;
    uint16_t MaxPktSize = 0;
    uint8_t Interval = 0;
    bool bIn = false;
    bool DirectTransfer = true;
    uint32_t TimeOut = DefaultTimeOut;
    uint32_t UsbdStatus = 0;
    uint32_t NtStatus = 0;
    uint32_t BytesXfered = 0;
    uint32_t LastError = 0;

protected:
    CCyUSBEndPoint(UsbDriverHandle *handle, uint8_t address, uint16_t maxPacket,
                   uint8_t attributes);
    // Builds the request block for a transfer of `buffer`, `tableBytes` of
    // packet table between header and data.
    void Submit(std::span<uint8_t> buffer, uint32_t tableBytes);

    UsbDriverHandle *Handle;
    std::unique_ptr<UsbDriverIo> Io;
    bool TransferIn = false; // direction of the transfer in flight
};
