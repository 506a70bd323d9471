#pragma once

#include "device/CaptureSettings.h"
#include "device/ModelTable.h"
#include "device/SignalScene.h"

#include <cstdint>
#include <optional>
#include <random>
#include <span>

// One acquisition of the emulated instrument into its circular sample memory:
// recording starts at an arbitrary address, the trigger is armed once the
// pre-trigger bytes are recorded, and recording stops the post-trigger bytes
// after the trigger sample. Like the real instruments, the end address it
// reports is only approximate: off by a few samples, never so far that the
// host's trigger search (L samples ahead, R further back) would miss the
// trigger sample or take a later occurrence for it.
// Cost: evaluates the scene once per sample until the trigger (at most
// MaxSearchSamples) and once per recorded sample (at most the memory size).
class EmulatedCapture
{
public:
    static constexpr uint64_t MaxSearchSamples = uint64_t{1} << 23;
    static constexpr int MaxOffsetSamples = 3;
    // The clock on the external clock input: 10 MHz.
    static constexpr uint64_t ExternalClockPeriodPs = 100000;
    // The scenes drive their lines between 0 V and 3.3 V.
    static constexpr int HighInputTenths = 33;

    struct Result
    {
        uint32_t TriggerAddress; // where the trigger sample was stored
        uint32_t EndAddress;     // where recording stopped (trigger + post bytes)
        uint32_t ReportedEnd;    // what the instrument reports
        uint32_t ArmAddress;     // where the first sample the trigger unit looked at was stored
    };

    // Sample period of a time/div row of a model, in picoseconds.
    static uint64_t SamplePeriodPs(const ModelTable::ModelRow &model, int rateRow);
    // The input word as the ports read it: a port whose threshold lies at or
    // above the lines' high level reads all low, one below 0 V all high.
    static uint32_t Inputs(uint32_t lines, const CaptureSettings &settings);

    // Nothing when the trigger did not come within MaxSearchSamples: the
    // instrument then keeps waiting.
    static std::optional<Result> Record(std::span<uint8_t> memory, const CaptureSettings &settings,
                                        const SignalScene &scene, const ModelTable::ModelRow &model,
                                        std::mt19937 &random);
};
