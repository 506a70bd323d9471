#pragma once

#include "device/EmulatorFault.h"
#include "device/SceneOptions.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The emulated instruments named by TRACEMOOR_DEVICE: comma-separated
// key=value items (see the README), for example
//   model=5,count=2,scene=uart,text=Hello,baud=115200,busy=3,unplug=0x82
class EmulatorConfig
{
public:
    static constexpr int MaxDevices = 16;
    static constexpr const char *Variable = "TRACEMOOR_DEVICE";

    // Nothing (and a reason in `error`) when an item is not understood.
    static std::optional<EmulatorConfig> Parse(std::string_view text, std::string *error = nullptr);

    // Model code of analyzer `i` (the list repeats its last entry).
    int ModelOf(int i) const;

    std::vector<int> Models{1};
    int Count = 1;   // analyzers attached
    int Foreign = 0; // other devices of the same vendor listed before them
    SceneOptions Scene;
    uint32_t Seed = 1;
    int Polls = 1;          // ReadBlock polls that still see the capture running
    bool OldDriver = false; // report a driver without direct transfers
    bool NoAccess = false;  // every device is listed but this user may not open it
    std::vector<EmulatorFault> Faults;
};
