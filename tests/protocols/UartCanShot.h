#pragma once

// One capture of the emulated instrument's UART or CAN scene through the
// real command path (settings block, StartCapture, ReadBlock polls,
// ReadSamples, record placement), triggered on the first start bit after
// the scene's pause: a high pulse longer than `pulseUs` on the line (with
// `pulseUs` 0: the first falling edge).

#include "protocols/DecodeTable.h"
#include "protocols/UartCanTiming.h"
#include "tests/analyzer/AcquisitionBench.h"

#include <string>

struct UartCanShot
{
    int model;
    std::string scene; // TRACEMOOR_DEVICE items
    int row;           // time/div row: the sample period
    int depthIndex;
    int channel;
    uint32_t pulseUs;

    // Runs one capture and hands the record and its timing to `decode`.
    template <typename Decoder> DecodeTable Decode(const Decoder &decoder) const
    {
        AcquisitionBench bench(model, "model=" + std::to_string(model) + "," + scene);
        CFile &s = bench.settings;
        if (pulseUs == 0) {
            // Any falling edge on the line.
            for (auto &pattern : s.TriggerCondition)
                pattern.fill(CFile::CondX);
            s.TriggerType = 1;
            s.TriggerCondition[0][static_cast<size_t>(channel)] = CFile::CondFall;
        } else {
            s.TriggerType = 5;
            s.PulseChannel = static_cast<uint8_t>(channel);
            s.PulsePolarity = 0; // a high pulse, ended by a falling edge
            s.PulseCompare = 2;  // longer than the width
            s.PulseUnit = 2;     // microseconds
            s.PulseWhole = static_cast<uint16_t>(pulseUs);
        }
        s.MemoryDepthIndex = static_cast<int16_t>(depthIndex);
        s.MemoryPercent = 1; // 10 % before the trigger
        bench.window.divIndex = row;
        bench.acquisition->SingleRun();
        bench.Tick();
        EXPECT_EQ(bench.record->CaptureValid, 1) << scene;
        EXPECT_TRUE(bench.window.warnings.empty()) << scene;
        UartCanTiming timing;
        timing.SamplePeriod = bench.timeBase->SamplePeriod;
        timing.PreSpan = bench.timeBase->PreSpan;
        return decoder.Decode(*bench.record, timing);
    }
};
