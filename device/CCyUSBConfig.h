#pragma once

#include "device/CCyUSBInterface.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// One configuration: the interfaces and endpoints found by walking its
// descriptor set. Descriptors of other types are skipped; a descriptor whose
// length is below 2 or reaches past the data ends the walk, so a malformed
// set is never read beyond its buffer.
class CCyUSBConfig
{
public:
    static constexpr size_t MaxInterfaces = 8;

    CCyUSBConfig(UsbDriverHandle *handle, std::span<const uint8_t> descriptors);

    uint8_t bLength = 0;
    uint8_t bDescriptorType = 0;
    uint16_t wTotalLength = 0;
    uint8_t bNumInterfaces = 0;
    uint8_t bConfigurationValue = 0;
    uint8_t iConfiguration = 0;
    uint8_t bmAttributes = 0;
    uint8_t MaxPower = 0;
    uint8_t AltInterfaces = 0; // interface descriptors kept
    std::vector<std::unique_ptr<CCyUSBInterface>> Interfaces;
};
