#pragma once

// The emulated instrument's CPU bus scene captured through the real command
// path (settings block, StartCapture, ReadBlock polls, ReadSamples, record
// placement) on a 32-channel model, and the programme the scene runs.
//
// The scene at a 1 MHz bus clock runs its 112 cycles in 112 us, then stays
// idle for 100 us. The capture triggers on the first read strobe falling
// after that pause (a high pulse longer than 50 us on CH29); at 100 ns a
// sample, 2000 samples with a tenth before the trigger hold the whole
// programme once and nothing else.

#include "cpumap/CpuBusCycle.h"
#include "protocols/CaptureWindow.h"
#include "tests/analyzer/AcquisitionBench.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cpumap_test {

inline const std::string CpuScene = "scene=cpu,clock=1000000";
constexpr int CpuModel = 8;
constexpr int CpuRow = 7;        // 100 ns per sample
constexpr int CpuDepthIndex = 2; // 2000 samples

// Sets the window's settings record for the capture.
inline void SetCpuTrigger(CFile &s)
{
    s.TriggerType = 5;
    s.PulseChannel = CpuBusCycle::ReadStrobe;
    s.PulsePolarity = 0; // a high pulse, ended by a falling edge
    s.PulseCompare = 2;  // longer than the width
    s.PulseUnit = 2;     // microseconds
    s.PulseWhole = 50;
    s.MemoryDepthIndex = CpuDepthIndex;
    s.MemoryPercent = 1; // 10 % before the trigger
}

struct CpuShot
{
    CpuShot()
        : bench(CpuModel, "model=" + std::to_string(CpuModel) + "," + CpuScene)
    {
        SetCpuTrigger(bench.settings);
        bench.window.divIndex = CpuRow;
        bench.acquisition->SingleRun();
        bench.Tick();
    }
    bool Valid() const { return bench.record->CaptureValid == 1; }
    CaptureWindow Window() const
    {
        return CaptureWindow::OfRecord(*bench.record, bench.system, bench.settings);
    }
    AcquisitionBench bench;
};

// The scene's programme, written out again as the test's oracle: 64 fetches
// from ROM#1 at 0x50 + 2i; after fetch i, by i mod 8: 1 a RAM#1 write at
// 0x8000 + i, 2 a RAM#1 read there, 3 a ROM#2 read at 0x4000 + 16i, 4 a
// RAM#2 write at 0xA000 + 4i, 5 an I/O#1 read at 0xC000, 6 an I/O#2 write
// at 0xE000 + 6.
struct ProgrammeCycle
{
    int Region;
    bool Write;
    uint32_t Address;
};

inline std::vector<ProgrammeCycle> Programme()
{
    using R = CpuBusCycle::Region;
    std::vector<ProgrammeCycle> p;
    for (uint32_t i = 0; i < 64; ++i) {
        p.push_back({R::ROM1, false, 0x50 + 2 * i});
        switch (i % 8) {
        case 1:
            p.push_back({R::RAM1, true, 0x8000 + i});
            break;
        case 2:
            p.push_back({R::RAM1, false, 0x8000 + i});
            break;
        case 3:
            p.push_back({R::ROM2, false, 0x4000 + 16 * i});
            break;
        case 4:
            p.push_back({R::RAM2, true, 0xA000 + 4 * i});
            break;
        case 5:
            p.push_back({R::IO1, false, 0xC000});
            break;
        case 6:
            p.push_back({R::IO2, true, 0xE006});
            break;
        default:
            break;
        }
    }
    return p;
}

} // namespace cpumap_test
