#pragma once

#include "protocols/CaptureWindow.h"

#include <cstdint>
#include <optional>

// One bus cycle of a CPU recorded by the analyzer, and where the cycles lie
// in a capture. The wiring is fixed: the address on CH0 upwards (CH0 the
// least significant bit), the write strobe on CH28, the read strobe on CH29
// (a falling edge of either is one cycle; when both fall on the same sample
// it is one write cycle), and six chip selects, active low: ROM#1 CH27,
// ROM#2 CH26, RAM#1 CH25, RAM#2 CH24, I/O#1 CH23, I/O#2 CH22.
// Channels the model lacks read as high, so on a 16-channel model no strobe
// ever falls and no region is ever selected.
// Cost: one load, a mask and a compare per sample; nothing is allocated.
struct CpuBusCycle
{
    enum Region { ROM1, ROM2, RAM1, RAM2, IO1, IO2, RegionCount };
    static constexpr int WriteStrobe = 28, ReadStrobe = 29;
    // The select line of a region: ROM#1 on CH27 down to I/O#2 on CH22.
    static constexpr int SelectChannel(int region) { return 27 - region; }
    static constexpr int LowestSelect = 22;
    // Channels a model needs for the map: both strobes and every select.
    static constexpr int ChannelsNeeded = ReadStrobe + 1;
    static constexpr uint32_t Strobes = (1u << WriteStrobe) | (1u << ReadStrobe);

    uint32_t Sample = 0;  // index in the window
    uint32_t Address = 0; // the address lines on that sample
    bool Write = false;
    uint8_t Selected = 0; // bit r: region r's select line is low

    bool IsSelected(int region) const { return ((Selected >> region) & 1) != 0; }

    // The sample word as the map reads it: the channels the model lacks high.
    static uint32_t Levels(uint32_t word, int channels)
    {
        const uint32_t present = channels >= 32 ? 0xFFFFFFFFu : (1u << channels) - 1;
        return (word & present) | ~present;
    }
    // The cycle that sample `levels` begins after `previous`, if any.
    static std::optional<CpuBusCycle> Of(uint32_t previous, uint32_t levels, uint32_t index,
                                         uint32_t addressMask)
    {
        const uint32_t falling = previous & ~levels & Strobes;
        if (falling == 0)
            return std::nullopt;
        CpuBusCycle c;
        c.Sample = index;
        c.Address = levels & addressMask;
        c.Write = ((falling >> WriteStrobe) & 1) != 0;
        const uint32_t low = ~levels >> LowestSelect;
        // Bit k of `low` is CH22 + k; region r is CH27 - r, that is bit 5 - r.
        for (int r = 0; r < RegionCount; ++r)
            c.Selected |= static_cast<uint8_t>(((low >> (5 - r)) & 1) << r);
        return c;
    }

    // The first cycle at or after sample `from` of the window (the levels
    // before the window's first sample come from the sample before it).
    static std::optional<CpuBusCycle> Next(const CaptureWindow &w, uint32_t from,
                                           uint32_t addressMask);

    // Every cycle of the window in order: fn(const CpuBusCycle &).
    template <typename Fn>
    static void ForEach(const CaptureWindow &w, uint32_t addressMask, Fn &&fn)
    {
        if (w.Ring.empty() || w.Count == 0)
            return;
        uint32_t previous = Levels(w.Word(w.AddressOf(-1)), w.Channels);
        const int channels = w.Channels;
        w.ForEachRun([&](uint32_t first, uint32_t count, const uint8_t *bytes) {
            for (uint32_t k = 0; k < count; ++k) {
                uint32_t word;
                std::memcpy(&word, bytes + 4 * k, 4);
                const uint32_t levels = Levels(word, channels);
                // Most samples start no cycle: one test decides.
                if ((previous & ~levels & Strobes) != 0)
                    fn(*Of(previous, levels, first + k, addressMask));
                previous = levels;
            }
        });
    }
};
