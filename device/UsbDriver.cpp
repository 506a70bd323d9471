#include "device/UsbDriver.h"

#include "device/EmulatedDriver.h"
#include "device/EmulatorConfig.h"
#include "device/LibusbDriver.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

std::unique_ptr<UsbDriver> UsbDriver::FromEnvironment()
{
    const char *value = std::getenv(EmulatorConfig::Variable);
    if (value == nullptr || *value == '\0' || std::string_view(value) == "usb")
        return std::make_unique<LibusbDriver>();
    if (std::string_view(value) == "demo") {
        // The Demo model needs no instrument: none is attached.
        EmulatorConfig none;
        none.Count = 0;
        return std::make_unique<EmulatedDriver>(none);
    }
    std::string error;
    if (const auto config = EmulatorConfig::Parse(value, &error))
        return std::make_unique<EmulatedDriver>(*config);
    // A mistyped setting must not silently talk to real hardware instead:
    // no device is attached, and the reason goes to the terminal.
    std::fprintf(stderr, "%s\n", error.c_str());
    EmulatorConfig none;
    none.Count = 0;
    return std::make_unique<EmulatedDriver>(none);
}
