#pragma once

#include "device/CCyUSBEndPoint.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// One interface descriptor (one alternate setting) with its endpoints.
class CCyUSBInterface
{
public:
    static constexpr size_t MaxEndPoints = 15;

    // From a 9-byte interface descriptor; endpoints are added by the
    // configuration that walks the descriptors after it.
    explicit CCyUSBInterface(std::span<const uint8_t> descriptor);

    // Adds the endpoint an endpoint descriptor describes, of the class its
    // transfer type names; false when the interface is full or the descriptor
    // is too short.
    bool AddEndPoint(UsbDriverHandle *handle, std::span<const uint8_t> descriptor);

    uint8_t bLength = 0;
    uint8_t bDescriptorType = 0;
    uint8_t bInterfaceNumber = 0;
    uint8_t bAlternateSetting = 0;
    uint8_t bNumEndpoints = 0;
    uint8_t bInterfaceClass = 0;
    uint8_t bInterfaceSubClass = 0;
    uint8_t bInterfaceProtocol = 0;
    uint8_t iInterface = 0;
    std::vector<std::unique_ptr<CCyUSBEndPoint>> EndPoints;
};
