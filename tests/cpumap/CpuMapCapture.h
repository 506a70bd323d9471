#pragma once

// Small hand-made CPU bus captures: sample words built from an address, the
// strobes and the selects, laid into a ring the map reads as its window.

#include "cpumap/CpuBusCycle.h"
#include "protocols/CaptureWindow.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace cpumap_test {

constexpr uint32_t SelectBits = 0x3Fu << CpuBusCycle::LowestSelect;
// Strobes and selects high: no cycle, no region.
constexpr uint32_t Idle = CpuBusCycle::Strobes | SelectBits;

// A word of the bus: `address` on the address lines, the given strobes low
// and region `select` (-1: none) selected.
inline uint32_t Bus(uint32_t address, bool readLow, bool writeLow, int select = -1)
{
    uint32_t w = Idle | (address & 0xFFFF);
    if (readLow)
        w &= ~(1u << CpuBusCycle::ReadStrobe);
    if (writeLow)
        w &= ~(1u << CpuBusCycle::WriteStrobe);
    if (select >= 0)
        w &= ~(1u << CpuBusCycle::SelectChannel(select));
    return w;
}

// The samples from address 0 of a ring just large enough; the sample before
// the window in the ring's last word.
struct CpuCapture
{
    explicit CpuCapture(std::vector<uint32_t> words, uint32_t before = Idle, int channels = 32)
    {
        size_t size = 16;
        while (size < (words.size() + 1) * 4)
            size *= 2;
        ring.assign(size, 0);
        for (size_t i = 0; i < words.size(); ++i)
            std::memcpy(&ring[4 * i], &words[i], 4);
        std::memcpy(&ring[size - 4], &before, 4);
        window = CaptureWindow{ring, static_cast<uint32_t>(size - 1), 0,
                               static_cast<uint32_t>(words.size()), channels};
    }
    std::vector<uint8_t> ring;
    CaptureWindow window;
};

// One cycle: address and select set up, the strobe low, released.
inline void Cycle(std::vector<uint32_t> &w, uint32_t address, bool write, int select)
{
    w.push_back(Bus(address, false, false, select));
    w.push_back(Bus(address, !write, write, select));
    w.push_back(Bus(address, !write, write, select));
    w.push_back(Bus(address, false, false, select));
    w.push_back(Idle);
}

} // namespace cpumap_test
