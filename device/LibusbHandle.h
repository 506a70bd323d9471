#pragma once

#include "device/UsbDriverHandle.h"

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

struct libusb_device_handle;
struct libusb_transfer;
class LibusbDriver;

// An open analyzer under libusb. Request blocks are turned into libusb
// transfers: endpoint-0 control requests, and bulk or interrupt transfers on
// the other endpoints. Time-outs are the caller's: a late transfer is
// cancelled through the abort request and completes as cancelled. A request
// the caller gives up before libusb has given it back stays with its flight
// until the callback has run, or until the handle closes.
class LibusbHandle : public UsbDriverHandle
{
public:
    LibusbHandle(LibusbDriver &driver, libusb_device_handle *handle, uint8_t busNumber,
                 uint8_t address);
    ~LibusbHandle() override;
    LibusbHandle(const LibusbHandle &) = delete;
    LibusbHandle &operator=(const LibusbHandle &) = delete;

    bool Request(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out,
                 uint32_t &returned) override;
    void Submit(UsbDriverIo &io) override;
    bool Wait(UsbDriverIo &io, uint32_t timeoutMs) override;
    void Release(std::unique_ptr<UsbDriverIo> io) override;
    bool Present() const override;
    bool Close() override;

    // One transfer in flight: libusb owns `transfer` until its callback ran.
    struct InFlight
    {
        LibusbHandle *Owner = nullptr;
        UsbDriverIo *Io = nullptr;
        std::unique_ptr<UsbDriverIo> Released; // Io, once the caller gave it up
        libusb_transfer *Transfer = nullptr;
        std::vector<uint8_t> Control; // setup packet and data of a control transfer
        uint8_t Endpoint = 0;
        bool Direct = false;
        uint32_t DataOffset = 0;
        int Completed = 0;
    };

private:
    static void Callback(libusb_transfer *transfer);
    void Complete(InFlight &flight);
    void Fail(UsbDriverIo &io, uint32_t ntStatus, uint32_t usbdStatus);
    void MarkGone();
    void Forget();
    void CancelAll();

    LibusbDriver &driver;
    libusb_device_handle *handle;
    uint8_t bus;
    uint8_t address;
    bool claimed = false;
    bool gone = false;
    std::list<std::unique_ptr<InFlight>> flights;
};
