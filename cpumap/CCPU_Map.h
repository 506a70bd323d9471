#pragma once

#include "cpumap/CpuBusCycle.h"
#include "cpumap/CpuMapImage.h"
#include "protocols/CaptureWindow.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The CPU memory map: where a CPU recorded by the analyzer reads and writes.
// Start walks every bus cycle of the capture window (CpuBusCycle), marks it
// on the map in the colour of the region its chip select names, and counts
// it in that region's histogram of address blocks; the bar lists of the
// charts come from the histograms. Step walks the same cycles one at a time
// and logs a line per enabled group (ROM, RAM, I/O). The windows only show
// the pictures, the log and the bars.
// Cost: Start reads every sample of the window once (a load and a compare
// per sample that begins no cycle) and draws at most nine pixels (plus one
// ROM trace line) per cycle; it allocates only the two pictures. A Step
// reads the samples up to the next cycle.
class CCPU_Map
{
public:
    using Region = CpuBusCycle::Region;
    // The colour and enable rows of the page, in this order.
    enum Function {
        Line,
        ROM1_R,
        ROM2_R,
        RAM1_R,
        RAM1_W,
        RAM2_R,
        RAM2_W,
        IO1_R,
        IO1_W,
        IO2_R,
        IO2_W,
        FunctionCount
    };
    enum Group { RomGroup, RamGroup, IoGroup, GroupCount };
    static constexpr int HistogramBlocks = 512;
    static constexpr std::array<uint32_t, 10> BlockSizes{256,  512,   1024,  2048,  4096,
                                                         8192, 16384, 32768, 65536, 131072};

    // cpuType 0: 8 address bits, 1: 16 address bits.
    explicit CCPU_Map(int cpuType = 1);

    // Settings the page copies in before Start and Step.
    std::array<TColor, FunctionCount> Colors{0,        255,    255,    0x8000,   0x8000,  0xFF0000,
                                             0xFF0000, 0x8080, 0x8080, 0xFFFF00, 0xFFFF00};
    std::array<bool, FunctionCount> Enabled{true, true, true, true, true, true,
                                            true, true, true, true, true};
    int CpuType = 1;
    uint32_t BlockSize = 256;

    uint32_t MapSize() const { return CpuType == 0 ? 0x8000 : 0x20000; }
    uint32_t AddressMask() const { return CpuType == 0 ? 0xFF : 0xFFFF; }
    static constexpr int ReadFunction(int region)
    {
        return region < 2 ? 1 + region : 2 * region - 1;
    }
    bool RegionEnabled(int region) const;
    bool GroupEnabled(int group) const;
    static constexpr int GroupOf(int region) { return region / 2; }

    // Full analysis: leaves step mode, clears the log and the histograms,
    // rebuilds the pictures and walks every cycle of the window.
    void Start(const CaptureWindow &window);
    // The first Step after Start or ClearImages enters step mode at the
    // window's first sample. Each Step finds the next cycle, marks it and
    // logs it; false (nothing logged) when no further cycle is left.
    bool Step(const CaptureWindow &window);
    // Leaves step mode, clears the log, rebuilds the pictures (the grid).
    void ClearImages();

    bool Stepping() const { return stepMode; }
    int StepCount() const { return stepCount; }
    // Log lines, the newest with the prefix " >> ".
    const std::vector<std::string> &Log() const { return log; }
    const CpuMapImage &Image() const { return image; }
    // Cycles Start found (for the counts).
    uint32_t Cycles() const { return cycles; }
    const std::array<uint32_t, HistogramBlocks> &Histogram(int region) const
    {
        return histograms[static_cast<size_t>(region)];
    }
    // Whether the last Start built the charts of a group (only enabled
    // groups get bars; the others stay empty).
    bool ChartBuilt(int group) const { return chartBuilt[static_cast<size_t>(group)]; }

    // A bar of a chart: every non-empty block of the map's address range is
    // a bar of its count in the region's read colour; every run of empty
    // blocks one white bar of 0.
    struct Bar
    {
        std::string Label; // "01000-013FF"
        uint32_t Value;
        TColor Color;
    };
    std::vector<Bar> Bars(int region) const;
    // The texts on the bars: 0 "Percent" (of the series' total), 1 "Value",
    // 2 "Value + Percent" (the count and its share of both series of the
    // pair together).
    static std::string BarText(int style, uint32_t value, uint64_t seriesTotal, uint64_t pairTotal);
    static std::string BlockLabel(uint32_t first, uint32_t last);
    // "Step: 3  RAM:Write , Address: 8001"
    static std::string StepLine(int step, int group, bool write, uint32_t address);
    static constexpr const char *Newest = " >> ";

private:
    void Mark(const CpuBusCycle &cycle);
    void Count(const CpuBusCycle &cycle);
    void Reset();

    CpuMapImage image;
    std::array<std::array<uint32_t, HistogramBlocks>, CpuBusCycle::RegionCount> histograms{};
    std::array<bool, GroupCount> chartBuilt{};
    std::vector<std::string> log;
    uint32_t cycles = 0;
    bool stepMode = false;
    uint32_t stepSample = 0;
    int stepCount = 0;
};
