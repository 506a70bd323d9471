#include "device/LibusbDriver.h"

#include "device/LibusbHandle.h"

#include <libusb.h>

#include <algorithm>
#include <tuple>
#include <vector>

namespace {

// The vendor's devices present now, in bus and address order.
std::vector<libusb_device *> VendorDevices(libusb_device **list, ssize_t count)
{
    std::vector<libusb_device *> found;
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(list[i], &descriptor) == 0 &&
            descriptor.idVendor == LibusbDriver::Vendor)
            found.push_back(list[i]);
    }
    std::sort(found.begin(), found.end(), [](libusb_device *a, libusb_device *b) {
        return std::tuple(libusb_get_bus_number(a), libusb_get_device_address(a)) <
               std::tuple(libusb_get_bus_number(b), libusb_get_device_address(b));
    });
    return found;
}

} // namespace

LibusbDriver::LibusbDriver()
{
    if (libusb_init(&context) != 0)
        context = nullptr;
}

LibusbDriver::~LibusbDriver()
{
    UnregisterEvents();
    if (context != nullptr)
        libusb_exit(context);
}

int LibusbDriver::CountDevices()
{
    if (context == nullptr)
        return 0;
    libusb_device **list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    if (count < 0)
        return 0;
    const auto n = static_cast<int>(VendorDevices(list, count).size());
    libusb_free_device_list(list, 1);
    return n;
}

std::unique_ptr<UsbDriverHandle> LibusbDriver::Open(int index)
{
    if (context == nullptr || index < 0)
        return nullptr;
    libusb_device **list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    if (count < 0)
        return nullptr;
    openFailure = {};
    std::unique_ptr<UsbDriverHandle> opened;
    const std::vector<libusb_device *> devices = VendorDevices(list, count);
    if (static_cast<size_t>(index) < devices.size()) {
        libusb_device *device = devices[static_cast<size_t>(index)];
        libusb_device_handle *handle = nullptr;
        const int rc = libusb_open(device, &handle);
        if (rc == 0) {
            Forget(device); // present now, whatever an earlier device at this address did
            opened = std::make_unique<LibusbHandle>(*this, handle, libusb_get_bus_number(device),
                                                    libusb_get_device_address(device));
        } else if (rc == LIBUSB_ERROR_ACCESS) {
            // The device node is there but not ours to open (no udev rule).
            libusb_device_descriptor descriptor{};
            libusb_get_device_descriptor(device, &descriptor);
            openFailure = {true, descriptor.idVendor, descriptor.idProduct};
        }
    }
    libusb_free_device_list(list, 1);
    return opened;
}

int LibusbDriver::HotplugCallback(libusb_context *, libusb_device *device,
                                  libusb_hotplug_event event, void *user)
{
    auto *driver = static_cast<LibusbDriver *>(user);
    if (event == LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT) {
        driver->departed.push_back(device);
        driver->Queue(Event::Left);
    } else {
        driver->Queue(Event::Arrived);
    }
    return 0;
}

bool LibusbDriver::Left(libusb_device *device) const
{
    return std::find(departed.begin(), departed.end(), device) != departed.end();
}

void LibusbDriver::Forget(libusb_device *device)
{
    std::erase(departed, device);
}

bool LibusbDriver::RegisterEvents(EventHandler eventHandler)
{
    handler = std::move(eventHandler);
    if (context == nullptr || !libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG))
        return false;
    if (hotplugRegistered)
        return true;
    const int rc = libusb_hotplug_register_callback(
        context,
        static_cast<libusb_hotplug_event>(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED |
                                          LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
        LIBUSB_HOTPLUG_NO_FLAGS, Vendor, LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY,
        &LibusbDriver::HotplugCallback, this, &hotplugHandle);
    hotplugRegistered = rc == LIBUSB_SUCCESS;
    return hotplugRegistered;
}

bool LibusbDriver::UnregisterEvents()
{
    handler = nullptr;
    if (hotplugRegistered && context != nullptr)
        libusb_hotplug_deregister_callback(context, hotplugHandle);
    hotplugRegistered = false;
    return true;
}

void LibusbDriver::HandleEvents(uint32_t timeoutMs, int *completed)
{
    if (context == nullptr)
        return;
    timeval tv{};
    tv.tv_sec = static_cast<time_t>(timeoutMs / 1000);
    tv.tv_usec = static_cast<suseconds_t>((timeoutMs % 1000) * 1000);
    libusb_handle_events_timeout_completed(context, &tv, completed);
}

void LibusbDriver::PumpEvents(uint32_t timeoutMs)
{
    HandleEvents(events.empty() ? timeoutMs : 0, nullptr);
    while (!events.empty()) {
        const Event e = events.front();
        events.pop_front();
        if (handler)
            handler(e);
    }
}
