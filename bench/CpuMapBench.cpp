// The CPU memory map over a full 4 MiB capture (model 8, 1,048,576 samples)
// with a bus cycle every four samples (262,144 cycles), every region and box
// on: the classification of the samples alone, and Start (classification,
// marks, counts) followed by the bars of the six series, with the ROM trace
// (Line, argument 1) and without it (0). Addresses are random, so the trace
// lines are long: the worst case of the drawing.

#include "cpumap/CCPU_Map.h"
#include "device/WSystem.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

namespace {

struct FullCapture
{
    FullCapture()
    {
        sys.SelectModel(8);
        std::mt19937 random(5);
        const uint32_t idle = CpuBusCycle::Strobes | (0x3Fu << CpuBusCycle::LowestSelect);
        const size_t samples = sys.SampleBuffer.size() / 4;
        for (size_t i = 0; i < samples; i += 4) {
            const uint32_t address = random() & 0xFFFF;
            const int region = static_cast<int>(random() % 7); // 6: none selected
            const int strobe = random() % 2 ? CpuBusCycle::WriteStrobe : CpuBusCycle::ReadStrobe;
            uint32_t bus = idle | address;
            if (region < CpuBusCycle::RegionCount)
                bus &= ~(1u << CpuBusCycle::SelectChannel(region));
            const uint32_t words[4] = {bus, bus & ~(1u << strobe), bus & ~(1u << strobe), bus};
            std::memcpy(&sys.SampleBuffer[4 * i], words, sizeof words);
        }
        window = CaptureWindow{sys.SampleBuffer, static_cast<uint32_t>(sys.SampleBuffer.size() - 1),
                               0, static_cast<uint32_t>(samples), sys.ChannelCount};
    }
    WSystem sys;
    CaptureWindow window;
};

void BM_CpuMapClassifyFullMemory(benchmark::State &state)
{
    const FullCapture capture;
    for (auto _ : state) {
        uint32_t cycles = 0;
        CpuBusCycle::ForEach(capture.window, 0xFFFF,
                             [&cycles](const CpuBusCycle &c) { cycles += c.Selected != 0; });
        benchmark::DoNotOptimize(cycles);
    }
    state.SetItemsProcessed(state.iterations() * capture.window.Count);
}
BENCHMARK(BM_CpuMapClassifyFullMemory)->Unit(benchmark::kMillisecond);

void BM_CpuMapStartFullMemory(benchmark::State &state)
{
    const FullCapture capture;
    CCPU_Map map;
    map.Enabled[CCPU_Map::Line] = state.range(0) != 0;
    for (auto _ : state) {
        map.Start(capture.window);
        size_t bars = 0;
        for (int r = 0; r < CpuBusCycle::RegionCount; ++r)
            bars += map.Bars(r).size();
        benchmark::DoNotOptimize(bars);
    }
    state.SetItemsProcessed(state.iterations() * capture.window.Count);
}
BENCHMARK(BM_CpuMapStartFullMemory)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace
