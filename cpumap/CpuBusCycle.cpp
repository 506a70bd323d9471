#include "cpumap/CpuBusCycle.h"

std::optional<CpuBusCycle> CpuBusCycle::Next(const CaptureWindow &w, uint32_t from,
                                             uint32_t addressMask)
{
    if (w.Ring.empty() || from >= w.Count)
        return std::nullopt;
    uint32_t previous = Levels(w.Word(w.AddressOf(static_cast<int64_t>(from) - 1)), w.Channels);
    for (uint32_t i = from; i < w.Count; ++i) {
        const uint32_t levels = Levels(w.Word(w.AddressOf(i)), w.Channels);
        if (auto cycle = Of(previous, levels, i, addressMask))
            return cycle;
        previous = levels;
    }
    return std::nullopt;
}
