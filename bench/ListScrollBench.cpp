// One scroll step of the state list: the scroll position moves by one row and
// the visible rows are filled again (WListRows::Fill), on model 8 (4 MiB
// ring, 32 channels) with the deepest record (1,024,000 samples) and 32
// signal columns: four 8-member buses and channels 0..27. The grid shows 32
// data rows (a 720-pixel page). Figures are in docs/performance.md ("State
// list scroll step").

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "display/WListRows.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int Model = 8;
constexpr uint32_t DepthIndex = 11; // " 1M ": 1,024,000 samples
constexpr int VisibleRows = 33;

struct ListCapture
{
    WSystem system;
    CFile settings;
    std::unique_ptr<CCaptureRecord> record;
    std::unique_ptr<WListRows> rows;

    explicit ListCapture(int base)
    {
        system.SelectModel(Model);
        uint8_t *ring = system.SampleBuffer.data();
        for (uint32_t i = 0; i < system.MemorySize / 4; ++i) {
            const uint32_t word = i * 2654435761u;
            std::memcpy(ring + 4 * i, &word, 4);
        }
        record = std::make_unique<CCaptureRecord>(system, settings);
        record->DepthIndex = DepthIndex;
        record->DepthSamples = static_cast<uint32_t>(system.DepthSamples[DepthIndex]);
        record->SetTriggerPosition(5);
        record->TriggerAddress = 0x123450; // the record wraps the ring
        record->CaptureValid = 1;
        std::vector<uint8_t> list;
        for (uint8_t b = 0; b < 4; ++b) {
            SignalEntry &bus = settings.BusEntry[b];
            bus.BitCount = 8;
            bus.DisplayFormat = static_cast<uint16_t>(base);
            for (uint16_t m = 0; m < 8; ++m)
                bus.Members[m] = static_cast<uint16_t>(8 * b + 7 - m);
            list.push_back(static_cast<uint8_t>(32 + b));
        }
        for (uint8_t c = 0; c < 28; ++c)
            list.push_back(c);
        rows = std::make_unique<WListRows>(*record, settings);
        rows->SetVisibleRows(VisibleRows);
        rows->SetColumns(list, system.ChannelCount);
        rows->SetSamplePeriod(WTime::Of(0, 2));
    }
};

// Arg: the buses' base (0 hexadecimal, 1 decimal, 2 binary).
void BM_ListScrollStep(benchmark::State &state)
{
    ListCapture c(static_cast<int>(state.range(0)));
    int32_t position = c.rows->RecordFirst();
    for (auto _ : state) {
        if (++position > c.rows->RecordLast())
            position = c.rows->RecordFirst();
        c.rows->SetCurrentIndex(position);
        c.rows->Fill();
        benchmark::DoNotOptimize(c.rows->Text(0, 0).data());
    }
    state.counters["cells"] = c.rows->DataRows() * c.rows->ColumnCount();
}
BENCHMARK(BM_ListScrollStep)->ArgName("base")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

} // namespace
