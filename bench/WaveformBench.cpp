// The waveform view's column conversion at every time/div row, the
// conversion with the drawing of the rows into a 1024 x 768 layer, and the
// whole redraw of the layers (CWaveformDrawing::DrawLayers). Model 8 (4 MiB
// ring, 32 channels), the deepest record (1,024,000 samples = 4 MB) captured
// at row 0 (2 ns), the view centred on the trigger; all 32 channels and four
// 8-member buses. Figures are in docs/performance.md ("Waveform column
// conversion", "Full waveform redraw").

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "display/CWaveformDrawing.h"
#include "display/WCursor.h"
#include "display/WRowTexts.h"
#include "plot/Plotrune.h"
#include "plot/TBitmap.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int Model = 8;
constexpr uint32_t DepthIndex = 11; // " 1M ": 1,024,000 samples
constexpr int Rows = 25;
constexpr auto Us = benchmark::kMicrosecond;

// The capture: channels 0..15 a counter that counts every sample (channel 0
// toggles at the sample rate), channels 16..31 a pattern that changes every
// 64 samples.
struct Capture
{
    WSystem system;
    CFile settings;
    std::unique_ptr<CCaptureRecord> record;
    std::unique_ptr<CWaveformDrawing> view;

    Capture()
    {
        system.SelectModel(Model);
        uint8_t *ring = system.SampleBuffer.data();
        for (uint32_t i = 0; i < system.MemorySize / 4; ++i) {
            const uint32_t slow = ((i >> 6) * 2654435761u) >> 16;
            const uint32_t word = (i & 0xFFFFu) | (slow << 16);
            std::memcpy(ring + 4 * i, &word, 4);
        }
        record = std::make_unique<CCaptureRecord>(system, settings);
        record->DepthIndex = DepthIndex;
        record->DepthSamples = static_cast<uint32_t>(system.DepthSamples[DepthIndex]);
        record->SetTriggerPosition(5);
        record->RecordStart = 0x123450; // the record wraps the ring
        record->CaptureValid = 1;

        // The list holds 32 entries: the four buses and channels 0..27 (the
        // conversion fills all 32 channel rows whatever the list holds).
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

    void Zoom(int row)
    {
        view->RateIndex = 0; // 2 ns
        view->TimeDivIndex = static_cast<int16_t>(row);
        view->SetViewPosition(WTime{});
        view->UpdateTimeBase();
    }
};

Capture &TheCapture()
{
    static Capture capture;
    return capture;
}

void SetCounters(benchmark::State &state, const Capture &c)
{
    const auto samples = static_cast<double>(c.view->SamplesRead());
    state.counters["samples"] = samples;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * samples * 4));
}

// PlaceWindow + BuildColumns (what Redraw converts), per time/div row.
void BM_ConvertWindow(benchmark::State &state)
{
    Capture &c = TheCapture();
    c.Zoom(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(c.view->ConvertWindow());
        benchmark::ClobberMemory();
    }
    SetCounters(state, c);
}
BENCHMARK(BM_ConvertWindow)->ArgName("row")->DenseRange(0, Rows - 1)->Unit(Us);

// The memory-bandwidth reference: reading every word of the 4 MB record once.
void BM_ReadRecordOnce(benchmark::State &state)
{
    Capture &c = TheCapture();
    const uint8_t *ring = c.system.SampleBuffer.data();
    const size_t words = c.system.MemorySize / 4;
    for (auto _ : state) {
        uint32_t x = 0;
        for (size_t i = 0; i < words; ++i) {
            uint32_t w = 0;
            std::memcpy(&w, ring + 4 * i, 4);
            x |= w ^ (w >> 1);
        }
        benchmark::DoNotOptimize(x);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * words * 4));
}
BENCHMARK(BM_ReadRecordOnce)->Unit(Us);

// Conversion and drawing into the 1024 x 768 waveform layer without the
// screen: clear the layer, convert, then every one of the 32 channel rows and
// 4 bus rows (21 pixels each) through Plotrune, with their level and value
// texts. The grid, ruler and cursors are the window's and not included.
void BM_ConvertAndDraw(benchmark::State &state)
{
    Capture &c = TheCapture();
    c.Zoom(static_cast<int>(state.range(0)));
    TBitmap layer(Graphics_Waveform::ColumnCount, 768);
    TCanvas &canvas = layer.Canvas();
    canvas.Font.Size = 8;
    canvas.Brush.Style = TBrushStyle::Clear;
    const Plotrune plotrune;
    std::vector<WRowTexts::Spot> texts;
    texts.reserve(256);
    constexpr int RowHeight = 21;
    constexpr int Half = (RowHeight - 6) / 2;
    const int channels = c.system.ChannelCount;

    for (auto _ : state) {
        canvas.Brush.Style = TBrushStyle::Solid;
        canvas.Brush.Color = 0;
        canvas.FillRect(TRect{-1, -1, 1024, 768});
        canvas.Brush.Style = TBrushStyle::Clear;
        if (c.view->ConvertWindow()) {
            const int first = c.view->Placement.FirstColumn;
            for (int row = 0; row < channels + 4; ++row) {
                const int y = row * RowHeight + Half;
                const auto &entry = c.view->Rows[static_cast<size_t>(row)];
                canvas.Pen.Color = entry.Colour;
                canvas.Font.Color = entry.Colour;
                std::span<const uint8_t, 1024> shapes = c.view->ChannelShapes(0);
                if (row < channels) {
                    shapes = c.view->ChannelShapes(row);
                    WRowTexts::LevelTexts(c.view->ChannelLevels(row), shapes, first, texts);
                } else {
                    const int bus = row - channels;
                    shapes = c.view->BusShapes(bus);
                    WRowTexts::BusTexts(c.view->BusValues(bus), shapes, first, entry.BusWidth,
                                        entry.DisplayBase, texts);
                }
                for (const WRowTexts::Spot &t : texts)
                    canvas.TextOut(t.X, y, t.Text);
                WRowTexts::ForEachShapeRun(shapes, [&](int x, int n, int code) {
                    plotrune.DrawGraphInformation(&layer, x, y + 6, n, Half, code);
                });
            }
        }
        benchmark::DoNotOptimize(layer.Bits().data());
        benchmark::ClobberMemory();
    }
    SetCounters(state, c);
}
BENCHMARK(BM_ConvertAndDraw)->ArgName("row")->DenseRange(0, Rows - 1)->Unit(Us);

// The whole redraw of the layers as Redraw does it (DrawLayers): ruler, both
// layers cleared, grid, conversion, every row of the signal list drawn with
// its grid, texts and shape runs, the display layer composed. The list holds
// its 32 entries (the four buses and channels 0..27) in cells of 22 pixels,
// the smallest row height of the name grid. Argument 1 adds four user
// cursors (two in the window, one on each side of it at most rows) to the
// trigger cursor.
void BM_DrawLayers(benchmark::State &state)
{
    Capture &c = TheCapture();
    c.Zoom(static_cast<int>(state.range(0)));
    constexpr int RowHeight = 22;
    std::vector<CWaveformDrawing::ListRow> rows;
    for (const uint8_t row : c.view->ListedRows()) {
        const int top = static_cast<int>(rows.size()) * RowHeight;
        rows.push_back({row, top, RowHeight});
    }
    WCursor cursors;
    if (state.range(1) != 0) {
        const WTime div = c.view->TimePerDiv;
        for (const int n : {-3, 5, -40, 40}) {
            WTime t = Normalise(TimeMul(div, static_cast<uint32_t>(n < 0 ? -n : n)));
            t.sign = n < 0 ? 0 : 1;
            cursors.AddCursor(t);
        }
    }
    WCursor *withCursors = state.range(1) != 0 ? &cursors : nullptr;
    for (auto _ : state) {
        benchmark::DoNotOptimize(c.view->DrawLayers(rows, withCursors));
        benchmark::DoNotOptimize(c.view->DisplayLayer.Bits().data());
        benchmark::ClobberMemory();
    }
    SetCounters(state, c);
}
BENCHMARK(BM_DrawLayers)
    ->ArgNames({"row", "cursors"})
    ->ArgsProduct({benchmark::CreateDenseRange(0, Rows - 1, 1), {0, 1}})
    ->Unit(Us);

} // namespace
