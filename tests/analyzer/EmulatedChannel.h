#pragma once

#include "device/CEzUsb.h"
#include "device/CFile.h"
#include "device/EmulatedDriver.h"
#include "device/WSystem.h"

#include <memory>
#include <string>

// A command channel to the emulated analyzers that `config` names (the
// TRACEMOOR_DEVICE syntax), with a settings record and system tables of the
// first analyzer's model.
struct EmulatedChannel
{
    explicit EmulatedChannel(const std::string &config)
    {
        const auto parsed = EmulatorConfig::Parse(config);
        const int model = parsed ? parsed->ModelOf(0) : 1;
        system.SelectModel(model);
        record.ModelCode = static_cast<uint8_t>(model);
        record.ResetSettings();
        usb = std::make_unique<CEzUsb>(
            record, system, nullptr,
            std::make_unique<EmulatedDriver>(parsed ? *parsed : EmulatorConfig{}));
    }

    WSystem system;
    CFile record;
    std::unique_ptr<CEzUsb> usb;
};
