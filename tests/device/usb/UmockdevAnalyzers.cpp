#include "UmockdevAnalyzers.h"

#include <umockdev.h>

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

constexpr int Bus = 1;

std::string Text(const char *format, int value)
{
    char out[64];
    std::snprintf(out, sizeof out, format, value);
    return out;
}

} // namespace

UmockdevAnalyzers::UmockdevAnalyzers(const EmulatorConfig &config, int count)
    : testbed(umockdev_testbed_new())
{
    for (int i = 0; i < count; ++i) {
        auto device = std::make_unique<Device>();
        device->Owner = this;
        device->Firmware = std::make_unique<AnalyzerFirmware>(config, config.ModelOf(i), i);
        const int devnum = 2 + i;
        device->Node = "/dev/bus/usb/" + Text("%03d", Bus) + "/" + Text("%03d", devnum);

        // The handler must be on the node before the device exists.
        device->Handler = umockdev_ioctl_base_new();
        g_signal_connect(device->Handler, "handle-ioctl", G_CALLBACK(&UmockdevAnalyzers::OnIoctl),
                         device.get());
        GError *error = nullptr;
        if (!umockdev_testbed_attach_ioctl(testbed, device->Node.c_str(), device->Handler,
                                           &error)) {
            const std::string message = error != nullptr ? error->message : "attach failed";
            g_clear_error(&error);
            throw std::runtime_error(message);
        }
        // A device description as umockdev-record writes it; the N: line
        // creates the device node, the H: line the binary descriptors.
        const std::string name = "usb1/1-" + std::to_string(i + 1);
        std::string description = "P: /devices/" + name + "\n";
        description += "N: " + device->Node.substr(5) + "\n";
        description += "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n";
        description += "E: DEVNAME=" + device->Node + "\n";
        description +=
            "E: BUSNUM=" + Text("%03d", Bus) + "\nE: DEVNUM=" + Text("%03d", devnum) + "\n";
        description += "A: idVendor=" + Text("%04x", AnalyzerFirmware::VendorId) + "\\n\n";
        description += "A: idProduct=" + Text("%04x", device->Firmware->Product()) + "\\n\n";
        description += "A: busnum=" + std::to_string(Bus) + "\\n\n";
        description += "A: devnum=" + std::to_string(devnum) + "\\n\n";
        description += "A: bConfigurationValue=1\\n\nA: speed=480\\n\n";
        description += "A: dev=189:" + std::to_string(devnum - 1) + "\\n\n";
        description += "H: descriptors=";
        for (uint8_t b : device->Firmware->Descriptors())
            description += Text("%02X", b);
        description += "\n\n";
        if (!umockdev_testbed_add_from_string(testbed, description.c_str(), &error)) {
            const std::string message = error != nullptr ? error->message : "add failed";
            g_clear_error(&error);
            throw std::runtime_error(message);
        }
        device->SysPath = "/sys/devices/" + name;
        devices.push_back(std::move(device));
    }
}

UmockdevAnalyzers::~UmockdevAnalyzers()
{
    for (auto &device : devices) {
        umockdev_testbed_detach_ioctl(testbed, device->Node.c_str(), nullptr);
        std::lock_guard guard(lock);
        for (auto *urb : device->Pending)
            g_object_unref(urb);
        for (auto *urb : device->Completed)
            g_object_unref(urb);
        for (auto *urb : device->Late)
            g_object_unref(urb);
        g_object_unref(device->Handler);
    }
    g_object_unref(testbed);
}

void UmockdevAnalyzers::With(int i, const std::function<void(AnalyzerFirmware &)> &use)
{
    std::lock_guard guard(lock);
    use(*devices[static_cast<size_t>(i)]->Firmware);
}

int UmockdevAnalyzers::Discarded() const
{
    std::lock_guard guard(lock);
    return discarded;
}

void UmockdevAnalyzers::Unplug(int i)
{
    Device &device = *devices[static_cast<size_t>(i)];
    {
        std::lock_guard guard(lock);
        device.Firmware->Unplug();
    }
    umockdev_testbed_uevent(testbed, device.SysPath.c_str(), "remove");
}

void UmockdevAnalyzers::Plug(int i)
{
    Device &device = *devices[static_cast<size_t>(i)];
    {
        std::lock_guard guard(lock);
        device.Firmware->Plug();
    }
    umockdev_testbed_uevent(testbed, device.SysPath.c_str(), "add");
}

int UmockdevAnalyzers::OnIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, void *user)
{
    auto *device = static_cast<Device *>(user);
    return device->Owner->Ioctl(*device, client) ? TRUE : FALSE;
}

void UmockdevAnalyzers::Submit(Device &device, UMockdevIoctlClient *client)
{
    // A discard the device answered late: the URB comes back now, as if it
    // had completed just before the discard reached it, with nothing read.
    for (auto *late : device.Late) {
        auto *urb = reinterpret_cast<usbdevfs_urb *>(late->data);
        urb->status = 0;
        urb->actual_length = 0;
        device.Completed.push_back(late);
    }
    device.Late.clear();
    // The argument holds the URB's address; the URB holds the buffer's.
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    if (!device.Firmware->Attached()) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return;
    }
    GError *error = nullptr;
    UMockdevIoctlData *urbData = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), &error);
    if (urbData == nullptr) {
        g_clear_error(&error);
        umockdev_ioctl_client_complete(client, -1, EFAULT);
        return;
    }
    auto *urb = reinterpret_cast<usbdevfs_urb *>(urbData->data);
    UMockdevIoctlData *buffer =
        umockdev_ioctl_data_resolve(urbData, offsetof(usbdevfs_urb, buffer),
                                    static_cast<gsize>(std::max(urb->buffer_length, 0)), &error);
    if (buffer == nullptr) {
        g_clear_error(&error);
        g_object_unref(urbData);
        umockdev_ioctl_client_complete(client, -1, EFAULT);
        return;
    }
    const std::span<uint8_t> data(buffer->data, static_cast<size_t>(buffer->data_len));
    AnalyzerFirmware::Reply reply;
    if (urb->type == USBDEVFS_URB_TYPE_CONTROL && data.size() >= 8) {
        const AnalyzerFirmware::Setup setup{data[0], data[1],
                                            static_cast<uint16_t>(data[2] | data[3] << 8),
                                            static_cast<uint16_t>(data[4] | data[5] << 8),
                                            static_cast<uint16_t>(data[6] | data[7] << 8)};
        reply = device.Firmware->Control(setup, data.subspan(8));
    } else if (urb->type == USBDEVFS_URB_TYPE_BULK && (urb->endpoint & 0x80) != 0) {
        reply = device.Firmware->BulkIn(urb->endpoint, data);
    } else if (urb->type == USBDEVFS_URB_TYPE_BULK) {
        reply = device.Firmware->BulkOut(urb->endpoint, data);
    } else {
        reply.What = AnalyzerFirmware::Outcome::Stall;
    }
    g_object_unref(buffer);

    switch (reply.What) {
    case AnalyzerFirmware::Outcome::Gone:
        g_object_unref(urbData);
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return;
    case AnalyzerFirmware::Outcome::Nak:
        urb->status = 0;
        urb->actual_length = 0;
        device.Pending.push_back(urbData);
        break;
    case AnalyzerFirmware::Outcome::Stall:
        urb->status = -EPIPE;
        urb->actual_length = 0;
        device.Completed.push_back(urbData);
        break;
    case AnalyzerFirmware::Outcome::Done:
        urb->status = 0;
        urb->actual_length = static_cast<int>(reply.Bytes);
        device.Completed.push_back(urbData);
        break;
    }
    umockdev_ioctl_client_complete(client, 0, 0);
}

bool UmockdevAnalyzers::Ioctl(Device &device, UMockdevIoctlClient *client)
{
    std::lock_guard guard(lock);
    const gulong request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    const bool attached = device.Firmware->Attached();

    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        // One URB per transfer, whatever its size.
        UMockdevIoctlData *caps = umockdev_ioctl_data_resolve(arg, 0, sizeof(uint32_t), nullptr);
        if (caps == nullptr) {
            umockdev_ioctl_client_complete(client, -1, EFAULT);
            return true;
        }
        *reinterpret_cast<uint32_t *>(caps->data) = USBDEVFS_CAP_NO_PACKET_SIZE_LIM;
        umockdev_ioctl_client_complete(client, 0, 0);
        g_object_unref(caps);
        return true;
    }
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_DISCONNECT_CLAIM:
    case USBDEVFS_RELEASEINTERFACE:
    case USBDEVFS_SETINTERFACE:
    case USBDEVFS_SETCONFIGURATION:
    case USBDEVFS_CLEAR_HALT:
    case USBDEVFS_RESET:
        if (request == USBDEVFS_RESET && attached)
            device.Firmware->ResetPort();
        umockdev_ioctl_client_complete(client, attached ? 0 : -1, attached ? 0 : ENODEV);
        return true;
    case USBDEVFS_SUBMITURB:
        Submit(device, client);
        return true;
    case USBDEVFS_DISCARDURB: {
        // The argument is the address of the URB itself.
        uint64_t address = 0;
        std::memcpy(&address, arg->data,
                    std::min<size_t>(sizeof address, static_cast<size_t>(arg->data_len)));
        for (auto it = device.Pending.begin(); it != device.Pending.end(); ++it) {
            if ((*it)->client_addr != address)
                continue;
            if (device.Firmware->AnswersAbortLate()) {
                // Too late to discard: the URB is on its way back (as the
                // kernel says of one that completed but is not reaped yet).
                device.Late.push_back(*it);
                device.Pending.erase(it);
                umockdev_ioctl_client_complete(client, -1, EINVAL);
                return true;
            }
            auto *urb = reinterpret_cast<usbdevfs_urb *>((*it)->data);
            urb->status = -ENOENT;
            urb->actual_length = 0;
            device.Completed.push_back(*it);
            device.Pending.erase(it);
            ++discarded;
            umockdev_ioctl_client_complete(client, 0, 0);
            return true;
        }
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return true;
    }
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY:
        if (device.Completed.empty()) {
            umockdev_ioctl_client_complete(client, -1, attached ? EAGAIN : ENODEV);
            return true;
        }
        {
            // The argument points at the slot that receives the URB's address.
            UMockdevIoctlData *slot = umockdev_ioctl_data_resolve(arg, 0, sizeof(void *), nullptr);
            if (slot == nullptr) {
                umockdev_ioctl_client_complete(client, -1, EFAULT);
                return true;
            }
            UMockdevIoctlData *urb = device.Completed.front();
            device.Completed.erase(device.Completed.begin());
            umockdev_ioctl_data_set_ptr(slot, 0, urb);
            umockdev_ioctl_client_complete(client, 0, 0);
            g_object_unref(urb);
            g_object_unref(slot);
            return true;
        }
    default:
        umockdev_ioctl_client_complete(client, -1, attached ? ENOTTY : ENODEV);
        return true;
    }
}
