#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "search/WSearch.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

// The largest record (1,024,000 samples of model 8's 4 MiB ring), starting
// half a megabyte before the ring's end so the walk wraps. Four channel
// conditions and one on a 16-bit bus that never hold together: a search
// from the first sample that walks the whole record and finds nothing.
void BM_SearchNoMatch1M(benchmark::State &state)
{
    WSystem sys;
    sys.SelectModel(8);
    CFile file;
    file.ModelCode = 8;
    file.ResetSettings();
    SignalEntry &bus = file.BusEntry[0];
    for (int j = 0; j < 16; ++j)
        bus.Members[static_cast<size_t>(j)] = static_cast<uint16_t>(31 - j);
    bus.BitCount = 16;
    for (uint32_t i = 0; i < sys.MemorySize / 4; ++i) {
        // A counter below, its upper half never all ones.
        const uint32_t w = (i & 0xFFFF) | ((i >> 3) & 0x7FFF) << 16;
        std::memcpy(&sys.SampleBuffer[4 * size_t{i}], &w, 4);
    }
    CCaptureRecord rec(sys, file);
    rec.DepthSamples = static_cast<uint32_t>(sys.DepthSamples[11]);
    rec.RecordStart = sys.MemorySize - 0x80000;
    rec.TriggerAddress = (rec.RecordStart + 4 * (rec.DepthSamples / 2)) & sys.AddressMask;
    rec.CaptureValid = 1;
    const uint32_t busRow = sys.ChannelCount;
    const std::vector<SearchCondition> conditions{{SearchCondition::High, 1, 0},
                                                  {SearchCondition::Rising, 0, 0},
                                                  {SearchCondition::Low, 2, 0},
                                                  {SearchCondition::AnyEdge, 3, 0},
                                                  {0xFFFF, busRow, 0}};
    const int64_t first = -static_cast<int64_t>(rec.DepthSamples / 2);
    const int64_t last = first + rec.DepthSamples - 1;
    for (auto _ : state) {
        const WSearch search(sys, file, rec, conditions);
        benchmark::DoNotOptimize(search.SearchForward(last, first, rec.RecordStart));
    }
    state.SetItemsProcessed(state.iterations() * int64_t{rec.DepthSamples});
}
BENCHMARK(BM_SearchNoMatch1M)->Unit(benchmark::kMillisecond);

} // namespace
