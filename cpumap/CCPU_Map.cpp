#include "cpumap/CCPU_Map.h"

#include "display/wTranslate.h"

#include <algorithm>
#include <cstdio>

CCPU_Map::CCPU_Map(int cpuType)
    : CpuType(cpuType == 0 ? 0 : 1)
{
    image.Rebuild(MapSize());
}

bool CCPU_Map::RegionEnabled(int region) const
{
    const int read = ReadFunction(region);
    // ROMs are only read; RAM and I/O regions count when either box is on.
    return Enabled[static_cast<size_t>(read)] ||
           (region >= CpuBusCycle::RAM1 && Enabled[static_cast<size_t>(read + 1)]);
}

bool CCPU_Map::GroupEnabled(int group) const
{
    return RegionEnabled(2 * group) || RegionEnabled(2 * group + 1);
}

void CCPU_Map::Reset()
{
    stepMode = false;
    stepSample = 0;
    stepCount = 0;
    log.clear();
    cycles = 0;
    for (auto &h : histograms)
        h.fill(0);
    chartBuilt.fill(false);
    image.Rebuild(MapSize());
}

void CCPU_Map::Mark(const CpuBusCycle &c)
{
    const TColor *line = Enabled[Line] ? &Colors[Line] : nullptr;
    for (int r = 0; r < CpuBusCycle::RegionCount; ++r) {
        if (!c.IsSelected(r) || !RegionEnabled(r))
            continue;
        const int read = ReadFunction(r);
        const TColor color =
            Colors[static_cast<size_t>(r >= CpuBusCycle::RAM1 && c.Write ? read + 1 : read)];
        if (r <= CpuBusCycle::ROM2)
            image.Rom(c.Address, color, line);
        else if (r <= CpuBusCycle::RAM2)
            image.Ram(c.Address, color);
        else
            image.Io(c.Address, color);
    }
}

void CCPU_Map::Count(const CpuBusCycle &c)
{
    const uint32_t block = std::min<uint32_t>(c.Address / BlockSize, HistogramBlocks - 1);
    for (int r = 0; r < CpuBusCycle::RegionCount; ++r) {
        if (c.IsSelected(r) && RegionEnabled(r))
            ++histograms[static_cast<size_t>(r)][block];
    }
}

void CCPU_Map::Start(const CaptureWindow &window)
{
    Reset();
    CpuBusCycle::ForEach(window, AddressMask(), [this](const CpuBusCycle &c) {
        ++cycles;
        if (c.Selected == 0)
            return;
        Mark(c);
        Count(c);
    });
    for (int g = 0; g < GroupCount; ++g)
        chartBuilt[static_cast<size_t>(g)] = GroupEnabled(g);
}

bool CCPU_Map::Step(const CaptureWindow &window)
{
    if (!stepMode) {
        Reset();
        stepMode = true;
    }
    const auto c = CpuBusCycle::Next(window, stepSample, AddressMask());
    if (!c)
        return false;
    ++stepCount;
    stepSample = c->Sample + 1;
    Mark(*c);
    const size_t before = log.size();
    for (int g = 0; g < GroupCount; ++g) {
        if (GroupEnabled(g))
            log.push_back(StepLine(stepCount, g, c->Write, c->Address));
    }
    if (log.size() == before)
        return true;
    // Only the newest line carries the mark.
    if (before > 0 && log[before - 1].rfind(Newest, 0) == 0)
        log[before - 1].erase(0, std::string_view(Newest).size());
    log.back().insert(0, Newest);
    return true;
}

void CCPU_Map::ClearImages()
{
    Reset();
}

std::string CCPU_Map::BlockLabel(uint32_t first, uint32_t last)
{
    return wTranslate::Hex(first, 20) + "-" + wTranslate::Hex(last, 20);
}

std::vector<CCPU_Map::Bar> CCPU_Map::Bars(int region) const
{
    std::vector<Bar> bars;
    const auto &h = histograms[static_cast<size_t>(region)];
    const TColor color = Colors[static_cast<size_t>(ReadFunction(region))];
    // The blocks that cover the map's addresses.
    const uint32_t blocks =
        std::min<uint32_t>((MapSize() + BlockSize - 1) / BlockSize, HistogramBlocks);
    for (uint32_t b = 0; b < blocks;) {
        uint32_t end = b + 1;
        if (h[b] == 0) {
            while (end < blocks && h[end] == 0)
                ++end;
        }
        bars.push_back({BlockLabel(b * BlockSize, end * BlockSize - 1), h[b],
                        h[b] == 0 ? CpuMapImage::White : color});
        b = end;
    }
    return bars;
}

std::string CCPU_Map::BarText(int style, uint32_t value, uint64_t seriesTotal, uint64_t pairTotal)
{
    auto percent = [](uint32_t v, uint64_t total) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f%%",
                      total == 0 ? 0.0
                                 : 100.0 * static_cast<double>(v) / static_cast<double>(total));
        return std::string(text);
    };
    switch (style) {
    case 1:
        return std::to_string(value);
    case 2:
        return std::to_string(value) + " (" + percent(value, pairTotal) + ")";
    default:
        return percent(value, seriesTotal);
    }
}

std::string CCPU_Map::StepLine(int step, int group, bool write, uint32_t address)
{
    static constexpr const char *Groups[] = {"  ROM:", "  RAM:", "  IO:"};
    return "Step: " + std::to_string(step) + Groups[std::clamp(group, 0, 2)] +
           (write ? "Write , " : "Read , ") + "Address: " + wTranslate::Hex(address, 16);
}
