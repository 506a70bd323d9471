#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class CEzUsb;

// The model and BIOS lines of the About box, read from the connected
// analyzer's identity block. They stay "None" when no analyzer is connected,
// when it has no identity block (models 9 and 10 answer the identity command
// with their model byte) or when the block cannot be read.
class AboutIdentity
{
public:
    static constexpr std::string_view NoModelText = "H/W Model : None";
    static constexpr std::string_view NoBiosText = "BIOS Version: None";
    // The analyzer needs this long to queue the block after the command.
    static constexpr std::chrono::milliseconds BlockDelay{10};

    std::string ModelText{NoModelText};
    std::string BiosText{NoBiosText};

    // Sends the identity command and, when it is accepted, reads the
    // 1024-byte identity block (100 ms time-out).
    static AboutIdentity Read(CEzUsb &usb);
    // "H/W " + the block's third string, "BIOS " + its first.
    static AboutIdentity FromBlock(std::span<const uint8_t> block);
};
