#pragma once

#include <array>
#include <cstdint>

// What the emulated instrument was told to record, taken from the settings
// block or from the run-parameter image.
struct CaptureSettings
{
    // Trigger condition codes per pattern row and channel.
    enum Condition : uint8_t { Low = 0, High = 1, Fall = 2, Rise = 3, DontCare = 5 };
    enum Compare : uint8_t { Shorter = 0, Equal = 1, Longer = 2 };

    int RateRow = 3;
    uint32_t PreTriggerBytes = 0;
    uint32_t PostTriggerBytes = 0;
    uint8_t TriggerType = 1;
    bool Continuous = false;
    uint8_t TriggerCounter = 1;
    std::array<std::array<uint8_t, 32>, 4> Condition{};
    uint8_t PulsePolarity = 0; // 1: low pulse, else high pulse
    uint8_t PulseCompare = 0;
    uint8_t PulseChannel = 0;
    int32_t PulseSamples = 0; // -1 (or below) when the width is not representable
    // Sampled on the external clock input instead of the rate row's clock.
    bool ExternalClock = false;
    // The input threshold of each port of eight channels, in tenths of a volt.
    std::array<int, 4> ThresholdTenths{15, 15, 15, 15};

    CaptureSettings()
    {
        for (auto &row : Condition)
            row.fill(DontCare);
    }
};
