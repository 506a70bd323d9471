#include "device/CCyUSBConfig.h"

#include <algorithm>

namespace {
constexpr uint8_t InterfaceDescriptor = 4;
constexpr uint8_t EndpointDescriptor = 5;
} // namespace

CCyUSBConfig::CCyUSBConfig(UsbDriverHandle *handle, std::span<const uint8_t> descriptors)
{
    if (descriptors.size() < 9)
        return;
    bLength = descriptors[0];
    bDescriptorType = descriptors[1];
    wTotalLength = static_cast<uint16_t>(descriptors[2] | descriptors[3] << 8);
    bNumInterfaces = descriptors[4];
    bConfigurationValue = descriptors[5];
    iConfiguration = descriptors[6];
    bmAttributes = descriptors[7];
    MaxPower = descriptors[8];

    const size_t end = std::min<size_t>(wTotalLength, descriptors.size());
    size_t at = std::max<size_t>(bLength, 9);
    CCyUSBInterface *current = nullptr;
    while (at + 2 <= end) {
        const size_t length = descriptors[at];
        const uint8_t type = descriptors[at + 1];
        if (length < 2 || length > end - at)
            break;
        const auto descriptor = descriptors.subspan(at, length);
        if (type == InterfaceDescriptor) {
            current = nullptr;
            if (length >= 9 && Interfaces.size() < MaxInterfaces) {
                Interfaces.push_back(std::make_unique<CCyUSBInterface>(descriptor));
                current = Interfaces.back().get();
            }
        } else if (type == EndpointDescriptor && current != nullptr) {
            current->AddEndPoint(handle, descriptor);
        }
        at += length;
    }
    AltInterfaces = static_cast<uint8_t>(Interfaces.size());
}
