#include "analyzer/AboutIdentity.h"

#include "device/CEzUsb.h"
#include "device/WSystem.h"

#include <thread>
#include <vector>

AboutIdentity AboutIdentity::Read(CEzUsb &usb)
{
    if (!usb.Connected || usb.SendCommand(CEzUsb::Identify) != CEzUsb::StatusAccepted)
        return {};
    std::this_thread::sleep_for(BlockDelay);
    std::vector<uint8_t> block;
    if (!usb.ReadIdentityBlock(block))
        return {};
    return FromBlock(block);
}

AboutIdentity AboutIdentity::FromBlock(std::span<const uint8_t> block)
{
    const auto strings = WSystem::IdentityStrings(block);
    AboutIdentity lines;
    lines.ModelText = "H/W " + strings[2];
    lines.BiosText = "BIOS " + strings[0];
    return lines;
}
