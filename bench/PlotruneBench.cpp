// Plotrune and the TBitmap canvas: the drawing a waveform redraw and a
// protocol page's strips do. Figures are in docs/performance.md ("Plotrune").

#include "plot/Plotrune.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

constexpr int Columns = 1024;

// Trace codes of a protocol strip (4 high, 7 low, 9 changed), one per sample.
enum StripShape { LongRuns = 0, RunPerColumn = 1, BandPerColumn = 2 };

std::vector<int32_t> StripTrace(int shape, size_t length)
{
    std::vector<int32_t> trace(length);
    for (size_t k = 0; k < length; ++k) {
        switch (shape) {
        case LongRuns: // 40 high, an edge, 40 low, an edge, ...
            trace[k] = k % 41 == 40 ? 9 : ((k / 41) % 2 == 0 ? 4 : 7);
            break;
        case RunPerColumn: // alternating high and low: every column a run
            trace[k] = k % 2 == 0 ? 4 : 7;
            break;
        default: // alternating edge and high: every second column a full band
            trace[k] = k % 2 == 0 ? 9 : 4;
            break;
        }
    }
    return trace;
}

// One strip as the I2C and SPI pages draw it:
// DrawGraphInfArray(strip, 20, y, 10, p, 1024, p + 2048, trace).
void BM_DrawGraphInfArray(benchmark::State &state)
{
    const std::vector<int32_t> trace = StripTrace(static_cast<int>(state.range(0)), 4096);
    TBitmap strip(Columns, 100);
    strip.Canvas().Pen.Color = 0xFFFFFF;
    const Plotrune plotrune;
    for (auto _ : state) {
        plotrune.DrawGraphInfArray(&strip, 20, 50, 10, 0, Columns, 2048, trace.data());
        benchmark::DoNotOptimize(strip.Bits().data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * Columns);
}
BENCHMARK(BM_DrawGraphInfArray)
    ->ArgName("shape")
    ->Arg(LongRuns)
    ->Arg(RunPerColumn)
    ->Arg(BandPerColumn);

struct Run
{
    int32_t x;
    int32_t length;
    int32_t code;
};

// The runs of one waveform row as the view makes them: equal codes other
// than 9 form a run, every 9 column is a run of its own, x = column − 21.
std::vector<Run> RowRuns(const std::vector<int32_t> &shapes)
{
    std::vector<Run> runs;
    for (int column = 0; column < Columns;) {
        int end = column + 1;
        while (shapes[column] != 9 && end < Columns && shapes[end] == shapes[column])
            ++end;
        runs.push_back({column - 21, end - column, shapes[column]});
        column = end;
    }
    return runs;
}

enum RowShape { EdgesEvery16 = 0, EdgePerColumnPair = 1, BusCells = 2 };

std::vector<int32_t> RowShapes(int shape)
{
    std::vector<int32_t> shapes(Columns);
    for (int c = 0; c < Columns; ++c) {
        switch (shape) {
        case EdgesEvery16: // a level for 15 columns, then an edge column
            shapes[c] = c % 16 == 15 ? 9 : ((c / 16) % 2 == 0 ? 4 : 7);
            break;
        case EdgePerColumnPair: // the densest channel row: edge, level, edge, ...
            shapes[c] = c % 2 == 0 ? 9 : ((c / 2) % 2 == 0 ? 4 : 7);
            break;
        default: { // bus cells of 32 columns: 7 opening, 18 body, 7 closing
            const int j = c % 32;
            shapes[c] = j < 7 ? 0 : (j < 25 ? 1 : 2);
            break;
        }
        }
    }
    return shapes;
}

// One 1024-column row of a 1024 × 768 waveform layer, one call per run.
void BM_DrawGraphInformationRow(benchmark::State &state)
{
    const std::vector<Run> runs = RowRuns(RowShapes(static_cast<int>(state.range(0))));
    TBitmap layer(Columns, 768);
    layer.Canvas().Pen.Color = 0x00FFFF;
    const Plotrune plotrune;
    for (auto _ : state) {
        for (const Run &run : runs)
            plotrune.DrawGraphInformation(&layer, run.x, 300 + 6, run.length, 9, run.code);
        benchmark::DoNotOptimize(layer.Bits().data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * Columns);
    state.counters["runs"] = static_cast<double>(runs.size());
}
BENCHMARK(BM_DrawGraphInformationRow)
    ->ArgName("shape")
    ->Arg(EdgesEvery16)
    ->Arg(EdgePerColumnPair)
    ->Arg(BusCells);

// A whole page: 32 channel rows of 24 pixels (h = 9) with an edge on average
// every 16 columns at random places.
void BM_DrawGraphInformationPage(benchmark::State &state)
{
    std::mt19937 random(7);
    std::vector<std::vector<Run>> rows;
    for (int row = 0; row < 32; ++row) {
        std::vector<int32_t> shapes(Columns);
        int32_t level = 4;
        for (int c = 0; c < Columns; ++c) {
            if (random() % 16 == 0) {
                shapes[c] = 9;
                level = level == 4 ? 7 : 4;
            } else {
                shapes[c] = level;
            }
        }
        rows.push_back(RowRuns(shapes));
    }
    TBitmap layer(Columns, 768);
    const Plotrune plotrune;
    for (auto _ : state) {
        for (size_t row = 0; row < rows.size(); ++row) {
            layer.Canvas().Pen.Color = static_cast<TColor>(0x404040 + row);
            const int32_t y = static_cast<int32_t>(row) * 24 + 9 + 6;
            for (const Run &run : rows[row])
                plotrune.DrawGraphInformation(&layer, run.x, y, run.length, 9, run.code);
        }
        benchmark::DoNotOptimize(layer.Bits().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawGraphInformationPage);

// ClearLayer of the waveform view: FillRect (−1, −1)–(1024, 768).
void BM_ClearLayer(benchmark::State &state)
{
    TBitmap layer(Columns, 768);
    layer.Canvas().Brush.Color = 0;
    for (auto _ : state) {
        layer.Canvas().FillRect({-1, -1, Columns, 768});
        benchmark::DoNotOptimize(layer.Bits().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ClearLayer);

// Copying the waveform layer into the display layer.
void BM_CopyLayer(benchmark::State &state)
{
    const TBitmap waveform(Columns, 768, 0x123456);
    TBitmap display(Columns, 768);
    for (auto _ : state) {
        display.Canvas().Draw(0, 0, waveform);
        benchmark::DoNotOptimize(display.Bits().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyLayer);

// 64 bus value labels of a row ("0x3F") with a transparent background.
void BM_TextOutLabels(benchmark::State &state)
{
    TBitmap layer(Columns, 768);
    layer.Canvas().Brush.Style = TBrushStyle::Clear;
    layer.Canvas().Font.Color = 0xFFFFFF;
    for (auto _ : state) {
        for (int k = 0; k < 64; ++k)
            layer.Canvas().TextOut(k * 16, 300, "0x3F");
        benchmark::DoNotOptimize(layer.Bits().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TextOutLabels);

} // namespace
