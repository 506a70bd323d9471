#include "device/EmulatedDriver.h"

#include "device/EmulatedHandle.h"

EmulatedDriver::EmulatedDriver(const EmulatorConfig &emulatorConfig)
    : config(emulatorConfig)
{
    int serial = 0;
    for (int i = 0; i < config.Foreign; ++i)
        devices.push_back(std::make_shared<AnalyzerFirmware>(config, 0, serial++));
    for (int i = 0; i < config.Count; ++i)
        devices.push_back(std::make_shared<AnalyzerFirmware>(config, config.ModelOf(i), serial++));
}

std::shared_ptr<AnalyzerFirmware> EmulatedDriver::Attached(int index)
{
    if (index < 0)
        return nullptr;
    for (const auto &device : devices) {
        if (device->Attached() && index-- == 0)
            return device;
    }
    return nullptr;
}

int EmulatedDriver::CountDevices()
{
    int n = 0;
    for (const auto &device : devices)
        n += device->Attached() ? 1 : 0;
    return n;
}

std::unique_ptr<UsbDriverHandle> EmulatedDriver::Open(int index)
{
    openFailure = {};
    std::shared_ptr<AnalyzerFirmware> firmware = Attached(index);
    if (!firmware)
        return nullptr;
    if (config.NoAccess) {
        openFailure = {true, AnalyzerFirmware::VendorId, firmware->Product()};
        return nullptr;
    }
    int position = 0;
    while (devices[static_cast<size_t>(position)] != firmware)
        ++position;
    return std::make_unique<EmulatedHandle>(*this, firmware, position + 2,
                                            config.OldDriver ? OldDriverVersion : DriverVersion);
}

bool EmulatedDriver::RegisterEvents(EventHandler eventHandler)
{
    handler = std::move(eventHandler);
    return true;
}

bool EmulatedDriver::UnregisterEvents()
{
    handler = nullptr;
    return true;
}

void EmulatedDriver::PumpEvents(uint32_t)
{
    while (!events.empty()) {
        const Event e = events.front();
        events.pop_front();
        if (handler)
            handler(e);
    }
}

void EmulatedDriver::Unplug(int i)
{
    AnalyzerFirmware &device = Firmware(i);
    if (!device.Attached())
        return;
    device.Unplug();
    events.push_back(Event::Left);
}

void EmulatedDriver::Plug(int i)
{
    AnalyzerFirmware &device = Firmware(i);
    if (device.Attached())
        return;
    device.Plug();
    events.push_back(Event::Arrived);
}

void EmulatedDriver::DeviceLeft()
{
    events.push_back(Event::Left);
}
