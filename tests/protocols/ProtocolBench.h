#pragma once

// A capture of the emulated instrument's I2C or SPI scene taken through the
// real command path (settings block, StartCapture, ReadBlock polls,
// ReadSamples, record placement), ready for the decoders.

#include "tests/analyzer/AcquisitionBench.h"

#include "display/WTimeSystem.h"
#include "protocols/CaptureWindow.h"

#include <algorithm>
#include <array>
#include <string>

struct ProtocolCapture
{
    // Model, the scene items of TRACEMOOR_DEVICE (without the model), the
    // time/div row, the memory-depth index and the pre-trigger share in
    // tenths; the trigger is pattern 1 with `conditions` for CH0.. (one
    // condition code per channel, the rest don't care).
    ProtocolCapture(int model, const std::string &scene, int timeDivRow, int depthIndex, int tenths,
                    std::initializer_list<uint8_t> conditions)
        : bench(model, "model=" + std::to_string(model) + "," + scene)
    {
        CFile &s = bench.settings;
        for (auto &row : s.TriggerCondition)
            row.fill(CFile::CondX);
        s.TriggerType = 1;
        size_t c = 0;
        for (uint8_t code : conditions)
            s.TriggerCondition[0][c++] = code;
        s.MemoryDepthIndex = static_cast<int16_t>(depthIndex);
        s.MemoryPercent = s.TriggerPositionCode = static_cast<int16_t>(tenths);
        bench.window.divIndex = timeDivRow;
        asked = s.TriggerCondition;
        bench.acquisition->SingleRun();
        ticks = bench.Tick();
    }

    bool Valid() const { return bench.record->CaptureValid == 1; }
    // Why a capture is not valid, for a failing test's message.
    std::string Why()
    {
        return "ticks " + std::to_string(ticks) + ", captures " +
               std::to_string(bench.window.captures) + ", warnings " +
               std::to_string(bench.window.warnings.size()) + ", step " +
               std::to_string(static_cast<int>(bench.acquisition->AcquisitionStep)) +
               ", the analyzer " + (TriggerTaken() ? "took" : "did not take") + " the trigger rows";
    }
    // Whether the analyzer runs the trigger rows the host sent: one that
    // rejected the settings block keeps its own (every channel don't care)
    // and fires at once.
    bool TriggerTaken()
    {
        const auto &rows = bench.Analyzer().Settings().Condition;
        return std::equal(rows.begin(), rows.end(), asked.begin());
    }
    CaptureWindow Window() const
    {
        return CaptureWindow::OfRecord(*bench.record, bench.system, bench.settings);
    }
    WTime Period() const { return WTimeSystem(bench.settings).Period(); }

    AcquisitionBench bench;
    int ticks = 0;
    std::array<std::array<uint8_t, CFile::MaxChannels>, CFile::PatternRows> asked{};
};
