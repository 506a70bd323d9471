#pragma once

#include "device/AnalyzerFirmware.h"
#include "device/UsbDriverHandle.h"

#include <cstdint>
#include <memory>
#include <vector>

class EmulatedDriver;

// An open emulated device: decodes request blocks for the firmware.
class EmulatedHandle : public UsbDriverHandle
{
public:
    EmulatedHandle(EmulatedDriver &driver, std::shared_ptr<AnalyzerFirmware> firmware, int address,
                   uint32_t driverVersion);
    ~EmulatedHandle() override;

    bool Request(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out,
                 uint32_t &returned) override;
    void Submit(UsbDriverIo &io) override;
    bool Wait(UsbDriverIo &io, uint32_t timeoutMs) override;
    void Release(std::unique_ptr<UsbDriverIo> io) override;
    bool Present() const override;
    bool Close() override;

private:
    // Runs the request against the firmware; false when it stays pending.
    bool Attempt(UsbDriverIo &io);
    void Finish(UsbDriverIo &io, uint32_t ntStatus, uint32_t usbdStatus, uint32_t bytes);
    void Gone(UsbDriverIo &io);
    // Transfers whose abort the device answers late complete now, with data
    // (the host has moved on to its next request).
    void FinishLateAborts();

    // The bytes a transfer completing after its abort delivers.
    static constexpr uint8_t LateFiller = 0xA5;

    EmulatedDriver &driver;
    std::shared_ptr<AnalyzerFirmware> firmware;
    int address;
    uint32_t version;
    std::vector<UsbDriverIo *> pending;
    std::vector<UsbDriverIo *> lateAborts;              // pending, aborted, not yet back
    std::vector<std::unique_ptr<UsbDriverIo>> released; // given up by the caller
    bool goneReported = false;
};
