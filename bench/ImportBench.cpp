// The waveform's whole redraw of the layers (CWaveformDrawing::DrawLayers)
// over the largest import, at every time/div row: 64 M samples (256 MiB of
// sample words) on model 8 at 2 ns, with the block summary TakeImport
// builds (and, for comparison, without it). The samples are those of WaveformBench (channels 0..15
// a counter of every sample, 16..31 a pattern changing every 64 samples), the view at the record's
// first sample; the 32 entries of the list are four 8-member buses and channels 0..27. Figures are
// in docs/performance.md ("Imported captures").

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "display/CWaveformDrawing.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr uint32_t Samples = 64u << 20;

struct Import
{
    WSystem system;
    CFile settings;
    std::unique_ptr<CCaptureRecord> record;
    std::unique_ptr<CWaveformDrawing> view;
    int depth = 0;

    Import()
    {
        system.SelectModel(8);
        std::vector<uint8_t> ring(size_t{4} * Samples);
        for (uint32_t i = 0; i < Samples; ++i) {
            const uint32_t slow = ((i >> 6) * 2654435761u) >> 16;
            const uint32_t word = (i & 0xFFFFu) | (slow << 16);
            std::memcpy(ring.data() + 4 * size_t{i}, &word, 4);
        }
        depth = system.TakeImport(std::move(ring), Samples);
        record = std::make_unique<CCaptureRecord>(system, settings);
        record->DepthIndex = static_cast<uint16_t>(depth);
        record->DepthSamples = Samples;
        record->SetTriggerPosition(0);
        record->CaptureValid = 1;
        settings.DisplayOrder.fill(64);
        for (uint8_t b = 0; b < 4; ++b) {
            settings.DisplayOrder[b] = static_cast<uint8_t>(32 + b);
            SignalEntry &bus = settings.BusEntry[b];
            bus.BitCount = 8;
            for (uint16_t m = 0; m < 8; ++m)
                bus.Members[m] = static_cast<uint16_t>(8 * b + 7 - m);
        }
        for (uint8_t c = 0; c < 28; ++c)
            settings.DisplayOrder[4 + c] = c;
        view = std::make_unique<CWaveformDrawing>(system, settings, *record);
        view->RefreshRowTable();
    }
};

Import &TheImport()
{
    static Import import;
    return import;
}

void BM_ImportDrawLayers(benchmark::State &state)
{
    Import &c = TheImport();
    c.view->RateIndex = 0; // 2 ns
    c.view->TimeDivIndex = static_cast<int16_t>(state.range(0));
    c.view->SetViewPosition(WTime{});
    c.view->UpdateTimeBase();
    constexpr int RowHeight = 22;
    std::vector<CWaveformDrawing::ListRow> rows;
    for (const uint8_t row : c.view->ListedRows())
        rows.push_back({row, static_cast<int>(rows.size()) * RowHeight, RowHeight});
    // Argument 0 draws without the summary: every sample under the columns.
    std::vector<uint32_t> summary;
    if (state.range(1) == 0)
        summary.swap(c.system.BlockChanges);
    for (auto _ : state) {
        benchmark::DoNotOptimize(c.view->DrawLayers(rows, nullptr));
        benchmark::DoNotOptimize(c.view->DisplayLayer.Bits().data());
        benchmark::ClobberMemory();
    }
    if (state.range(1) == 0)
        summary.swap(c.system.BlockChanges);
    state.counters["samples"] = static_cast<double>(c.view->SamplesRead());
}
BENCHMARK(BM_ImportDrawLayers)
    ->ArgNames({"row", "summary"})
    ->ArgsProduct({benchmark::CreateDenseRange(0, 24, 1), {0, 1}})
    ->Unit(benchmark::kMicrosecond);

} // namespace
