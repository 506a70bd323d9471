#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

// The Demo row's search window reaches back 0x1FFFFF samples: with a
// condition that never occurs, ConfirmTrigger walks all of it.
void BM_ConfirmTriggerWorstCase(benchmark::State &state)
{
    WSystem sys;
    sys.SelectModel(0);
    CFile file;
    file.ModelCode = 0;
    file.ResetSettings();
    file.TriggerType = static_cast<uint8_t>(state.range(0));
    file.TriggerCondition[0][31] = CFile::CondRise;
    file.TriggerCondition[0][3] = CFile::CondHigh;
    file.TriggerCondition[3][30] = CFile::CondFall;
    file.TriggerCondition[1][7] = CFile::CondHigh;
    file.TriggerCondition[1][31] = CFile::CondHigh;
    std::fill(sys.SampleBuffer.begin(), sys.SampleBuffer.end(), 0);
    CCaptureRecord rec(sys, file);
    for (auto _ : state) {
        rec.TriggerAddress = 0x1000;
        benchmark::DoNotOptimize(rec.ConfirmTrigger());
    }
    state.SetItemsProcessed(state.iterations() * (0x1FFFFF + 10));
}
BENCHMARK(BM_ConfirmTriggerWorstCase)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_SaveCapture4MiB(benchmark::State &state)
{
    WSystem sys;
    sys.SelectModel(8); // 4 MiB ring
    CFile file;
    CCaptureRecord rec(sys, file);
    for (auto _ : state) {
        rec.SaveCapture();
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t{sys.MemorySize});
}
BENCHMARK(BM_SaveCapture4MiB)->Unit(benchmark::kMicrosecond);

} // namespace
