#include "device/CFile.h"
#include "device/SignalScene.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "protocols/UartCanTiming.h"
#include "protocols/WCAN_Core.h"
#include "protocols/WUART.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

// Model 8's full memory (4 MiB, 1,024,000 samples in the record, which
// starts in the ring's second half and wraps) filled with back-to-back
// traffic of the emulated instrument's scene at `periodNs` per sample.
struct FullCapture
{
    FullCapture(const SceneOptions &options, uint32_t periodNs)
    {
        sys.SelectModel(8);
        file.ModelCode = 8;
        const SignalScene scene(options, sys.ChannelCount);
        rec.DepthSamples = 1024000;
        rec.RecordStart = sys.MemorySize / 2 + 4 * 1000;
        rec.TriggerAddress = rec.RecordStart;
        for (uint32_t n = 0; n < rec.DepthSamples; ++n) {
            const uint32_t word = scene.Sample(n, uint64_t{periodNs} * 1000);
            std::memcpy(&sys.SampleBuffer[(rec.RecordStart + 4 * n) & sys.AddressMask], &word, 4);
        }
        timing.SamplePeriod = WTime::Of(0, periodNs % 1000, periodNs / 1000);
    }

    WSystem sys;
    CFile file;
    CCaptureRecord rec{sys, file};
    UartCanTiming timing;
};

SceneOptions Traffic(SceneOptions::Kind kind, uint32_t rate)
{
    SceneOptions o;
    o.Scene = kind;
    o.Data.assign(64, 0);
    for (size_t i = 0; i < o.Data.size(); ++i)
        o.Data[i] = static_cast<uint8_t>(0x20 + i);
    o.Baud = rate;
    o.BitRate = rate;
    o.GapUs = 0; // back to back
    return o;
}

template <typename Decoder>
void Run(benchmark::State &state, const FullCapture &capture, const Decoder &decoder)
{
    int rows = 0;
    for (auto _ : state) {
        const DecodeTable table = decoder.Decode(capture.rec, capture.timing);
        rows = table.Rows();
        benchmark::DoNotOptimize(rows);
    }
    state.SetItemsProcessed(state.iterations() * int64_t{capture.rec.DepthSamples});
    state.counters["rows"] = static_cast<double>(rows);
}

// Args: baud rate, sample period in ns.
void BM_WUART_FullMemory(benchmark::State &state)
{
    const auto baud = static_cast<uint32_t>(state.range(0));
    const FullCapture capture(Traffic(SceneOptions::Kind::Uart, baud),
                              static_cast<uint32_t>(state.range(1)));
    WUART uart;
    uart.Channel = SignalScene::UartTx;
    for (size_t i = 0; i < WUART::BaudRates.size(); ++i)
        if (WUART::BaudRates[i] == baud)
            uart.BaudIndex = static_cast<int>(i);
    uart.TextMode = WUART::Both;
    Run(state, capture, uart);
}
BENCHMARK(BM_WUART_FullMemory)
    ->Args({115200, 1000})
    ->Args({115200, 100})
    ->Args({9600, 4})
    ->Unit(benchmark::kMillisecond);

// Args: bit rate, sample period in ns.
void BM_WCAN_Core_FullMemory(benchmark::State &state)
{
    const auto rate = static_cast<uint32_t>(state.range(0));
    const FullCapture capture(Traffic(SceneOptions::Kind::Can, rate),
                              static_cast<uint32_t>(state.range(1)));
    WCAN_Core can;
    can.Channel = SignalScene::CanLine;
    for (size_t i = 0; i < WCAN_Core::BitRates.size(); ++i)
        if (WCAN_Core::BitRates[i] == rate)
            can.RateIndex = static_cast<int>(i);
    Run(state, capture, can);
}
BENCHMARK(BM_WCAN_Core_FullMemory)
    ->Args({1000000, 100})
    ->Args({125000, 1000})
    ->Args({125000, 4})
    ->Unit(benchmark::kMillisecond);

// The per-sample cost: a line that never leaves the idle level, so that
// both decoders read every sample of the record.
void BM_IdleLine(benchmark::State &state)
{
    SceneOptions o = Traffic(SceneOptions::Kind::Uart, 9600);
    o.Data.clear();
    const FullCapture capture(o, 1000);
    if (state.range(0) == 0) {
        WUART uart;
        uart.Channel = SignalScene::UartTx;
        Run(state, capture, uart);
    } else {
        WCAN_Core can;
        can.Channel = SignalScene::UartTx;
        can.RateIndex = 8; // 10 kbit/s: 100 samples per bit
        Run(state, capture, can);
    }
}
BENCHMARK(BM_IdleLine)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
