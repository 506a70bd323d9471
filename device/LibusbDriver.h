#pragma once

#include "device/UsbDriver.h"

#include <libusb.h>

#include <deque>
#include <memory>
#include <vector>

// The driver for real analyzers: libusb-1.0. It serves the devices of the
// analyzer's vendor (0x04B4), in bus order. Transfers are asynchronous and
// complete while a handle waits; hotplug reports arrive the same way and are
// handed on from PumpEvents, all on the caller's thread.
class LibusbDriver : public UsbDriver
{
public:
    static constexpr uint16_t Vendor = 0x04B4;

    LibusbDriver();
    ~LibusbDriver() override;
    LibusbDriver(const LibusbDriver &) = delete;
    LibusbDriver &operator=(const LibusbDriver &) = delete;

    int CountDevices() override;
    std::unique_ptr<UsbDriverHandle> Open(int index) override;
    bool RegisterEvents(EventHandler handler) override;
    bool UnregisterEvents() override;
    void PumpEvents(uint32_t timeoutMs) override;

    // Lets libusb run completions and hotplug callbacks for up to `timeoutMs`,
    // returning early once `*completed` is set.
    void HandleEvents(uint32_t timeoutMs, int *completed);
    void Queue(Event event) { events.push_back(event); }
    // Whether hotplug has reported `device` gone; a handle forgets its device
    // when it closes.
    bool Left(libusb_device *device) const;
    void Forget(libusb_device *device);
    bool Usable() const { return context != nullptr; }

private:
    static int HotplugCallback(libusb_context *ctx, libusb_device *device,
                               libusb_hotplug_event event, void *user);

    libusb_context *context = nullptr;
    int hotplugHandle = 0;
    bool hotplugRegistered = false;
    std::deque<Event> events;
    EventHandler handler;
    std::vector<libusb_device *> departed;
};
