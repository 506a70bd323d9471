#pragma once

#include "device/UsbDriverHandle.h"

#include <functional>
#include <memory>

// The driver below the USB access layer: the real one over libusb, or the
// emulated instruments. It lists the analyzers it serves, opens them by
// index and reports arrival and departure of devices. Everything it reports
// is delivered from PumpEvents (or from a handle's Wait) on the caller's
// thread; there is no thread of its own.
class UsbDriver
{
public:
    enum class Event { Arrived, Left };
    using EventHandler = std::function<void(Event)>;

    virtual ~UsbDriver() = default;

    virtual int CountDevices() = 0;
    // Nothing when `index` is out of range or the device cannot be opened.
    virtual std::unique_ptr<UsbDriverHandle> Open(int index) = 0;
    // Starts or stops reporting arrival and departure; false on failure.
    virtual bool RegisterEvents(EventHandler handler) = 0;
    virtual bool UnregisterEvents() = 0;
    // Delivers what has happened, waiting at most `timeoutMs` for something.
    virtual void PumpEvents(uint32_t timeoutMs) = 0;

    // The emulated instruments when TRACEMOOR_DEVICE names them (see the
    // README), else libusb.
    static std::unique_ptr<UsbDriver> FromEnvironment();
};
