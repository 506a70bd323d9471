#pragma once

#include "device/AnalyzerFirmware.h"
#include "device/EmulatorConfig.h"
#include "device/UsbDriver.h"

#include <deque>
#include <memory>
#include <vector>

// The driver side of the emulated instruments: it takes the same request
// blocks a kernel driver would and hands their setup packets and data to the
// firmware of the device they address. Transfers complete at once, or stay
// pending while the firmware does not answer; a time-out then costs no real
// time. Foreign devices come first in the list, then the analyzers.
class EmulatedDriver : public UsbDriver
{
public:
    static constexpr uint32_t DriverVersion = 0x01060000;
    static constexpr uint32_t OldDriverVersion = 0x01040000;

    explicit EmulatedDriver(const EmulatorConfig &config);

    int CountDevices() override;
    std::unique_ptr<UsbDriverHandle> Open(int index) override;
    bool RegisterEvents(EventHandler handler) override;
    bool UnregisterEvents() override;
    void PumpEvents(uint32_t timeoutMs) override;

    // Every device ever attached, in list order, attached or not.
    int FirmwareCount() const { return static_cast<int>(devices.size()); }
    AnalyzerFirmware &Firmware(int i) { return *devices[static_cast<size_t>(i)]; }
    void Unplug(int i);
    void Plug(int i);
    // Called by a handle that found its device gone.
    void DeviceLeft();
    // Handles opened and not yet closed.
    int OpenHandles() const { return openHandles; }
    void HandleOpened() { ++openHandles; }
    void HandleClosed() { --openHandles; }
    // The time the host waited for transfers that did not complete, in
    // milliseconds: what a real device would have cost in time-outs.
    uint64_t WaitedMs() const { return waitedMs; }
    void Waited(uint32_t ms) { waitedMs += ms; }
    const EmulatorConfig &Config() const { return config; }

private:
    std::shared_ptr<AnalyzerFirmware> Attached(int index);

    EmulatorConfig config;
    std::vector<std::shared_ptr<AnalyzerFirmware>> devices;
    std::deque<Event> events;
    EventHandler handler;
    int openHandles = 0;
    uint64_t waitedMs = 0;
};
