#pragma once

#include "device/UsbDriverHandle.h"

#include <cstdint>
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

    // Why the last Open gave nothing: the system refused this user access to
    // the device listed at that index (its IDs as listed), or another reason.
    struct OpenFailure
    {
        bool AccessDenied = false;
        uint16_t VendorId = 0;
        uint16_t ProductId = 0;
    };

    virtual int CountDevices() = 0;
    // Nothing when `index` is out of range or the device cannot be opened;
    // LastOpenFailure then says why.
    virtual std::unique_ptr<UsbDriverHandle> Open(int index) = 0;
    const OpenFailure &LastOpenFailure() const { return openFailure; }
    // Starts or stops reporting arrival and departure; false on failure.
    virtual bool RegisterEvents(EventHandler handler) = 0;
    virtual bool UnregisterEvents() = 0;
    // Delivers what has happened, waiting at most `timeoutMs` for something.
    virtual void PumpEvents(uint32_t timeoutMs) = 0;

    // The emulated instruments when TRACEMOOR_DEVICE names them (see the
    // README), else libusb.
    static std::unique_ptr<UsbDriver> FromEnvironment();

protected:
    OpenFailure openFailure;
};
