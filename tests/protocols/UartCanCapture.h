#pragma once

// Small hand-made captures for the UART and CAN decoder tests: a model's
// ring with a record placed in it (anywhere, wrapping included) and helpers
// that draw a line level by level, bit by bit, frame by frame.

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "protocols/DecodeTable.h"
#include "protocols/UartCanTiming.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class UartCanCapture
{
public:
    // Model 3: 16 channels, 512 KiB ring. The record of `depth` samples
    // starts at byte address `start`; the trigger sample is `trigger`
    // samples into it. Every line starts at `idle`. Sample period 10 us.
    explicit UartCanCapture(uint32_t depth = 4000, uint32_t start = 0, uint32_t trigger = 0,
                            int model = 3)
    {
        sys.SelectModel(model);
        file.ModelCode = static_cast<uint8_t>(model);
        std::fill(sys.SampleBuffer.begin(), sys.SampleBuffer.end(), uint8_t{0});
        rec.RecordStart = start & sys.AddressMask;
        rec.DepthSamples = depth;
        rec.TriggerAddress = (start + 4 * trigger) & sys.AddressMask;
        timing.SamplePeriod = WTime::Of(0, 0, 10);
        timing.PreSpan = TimeMul(timing.SamplePeriod, trigger);
    }

    // Sets `channel` to `level` in samples [from, from + count) of the
    // record (sample indices may run past the record into the ring).
    void Level(int channel, int level, uint64_t from, uint64_t count)
    {
        for (uint64_t n = from; n < from + count; ++n) {
            const uint32_t address =
                (rec.RecordStart + 4 * static_cast<uint32_t>(n)) & sys.AddressMask;
            uint32_t word = 0;
            std::memcpy(&word, &sys.SampleBuffer[address], 4);
            word = level ? word | (1u << channel) : word & ~(1u << channel);
            std::memcpy(&sys.SampleBuffer[address], &word, 4);
        }
    }
    // Appends bits of `samplesPerBit` samples each at the line's cursor.
    void Bits(int channel, const std::vector<int> &bits, uint64_t samplesPerBit)
    {
        for (int b : bits) {
            Level(channel, b, cursor, samplesPerBit);
            cursor += samplesPerBit;
        }
    }
    // Holds the line at `level` to the record's end (and a little beyond).
    void HoldToEnd(int channel, int level)
    {
        if (cursor < rec.DepthSamples + 64)
            Level(channel, level, cursor, rec.DepthSamples + 64 - cursor);
    }

    WSystem sys;
    CFile file;
    CCaptureRecord rec{sys, file};
    UartCanTiming timing;
    uint64_t cursor = 0; // where Bits continues
};

// The rows of a table as lines of cells joined by "|", for comparisons.
inline std::vector<std::string> RowTexts(const DecodeTable &table)
{
    std::vector<std::string> rows;
    for (int r = 0; r < table.Rows(); ++r) {
        std::string line;
        for (int c = 0; c < table.Columns(); ++c)
            line.append(c ? "|" : "").append(table.Cell(r, c));
        rows.push_back(line);
    }
    return rows;
}
