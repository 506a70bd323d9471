#include "protocols/CaptureWindow.h"
#include "protocols/WI2C_Analyzer.h"
#include "protocols/WSPI_Core.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

// The deepest record of models 7 and 8 (1,024,000 samples) in their 4 MiB
// ring, starting 1 MiB before the ring's end so that it wraps, filled with
// back-to-back traffic: a transfer every few tens of samples.
constexpr uint32_t RingBytes = 0x400000;
constexpr uint32_t Depth = 1024000;
constexpr uint32_t First = RingBytes - 0x100000;
constexpr WTime Period = WTime::Of(0, 4);

class DenseCapture
{
public:
    DenseCapture()
        : ring(RingBytes)
    {}
    void Put(uint32_t word)
    {
        if (count < Depth)
            std::memcpy(&ring[(First + 4 * count) & (RingBytes - 1)], &word, 4);
        ++count;
    }
    bool Full() const { return count >= Depth; }
    CaptureWindow Window(int channels) const
    {
        return CaptureWindow{ring, RingBytes - 1, First, Depth, channels};
    }

private:
    std::vector<uint8_t> ring;
    uint32_t count = 0;
};

// I2C on CH0 (SCL) / CH1 (SDA): START, address 0x50 write, one data byte,
// STOP, two samples per bit: 42 samples a transfer, about 24,000 packets.
DenseCapture DenseI2c()
{
    DenseCapture c;
    uint8_t data = 0;
    auto bit = [&](bool b) {
        c.Put(b ? 2u : 0u);
        c.Put(b ? 3u : 1u);
    };
    auto byte = [&](uint8_t v) {
        for (int k = 7; k >= 0; --k)
            bit((v >> k) & 1);
        bit(false); // acknowledge
    };
    while (!c.Full()) {
        c.Put(3); // idle
        c.Put(1); // START
        c.Put(0);
        byte(0x50 << 1);
        byte(data++);
        c.Put(0); // STOP
        c.Put(1);
        c.Put(3);
    }
    return c;
}

// SPI mode 0 on SCK CH0, SS CH1 (active low), MOSI CH2, MISO CH3: one byte
// per message, `half` samples per half clock, two samples deselected. With
// half = 1: 19 samples a message, about 54,000 packets per line.
DenseCapture DenseSpi(int half)
{
    DenseCapture c;
    uint8_t data = 0;
    auto put = [&](uint32_t word, int n) {
        for (int k = 0; k < n; ++k)
            c.Put(word);
    };
    while (!c.Full()) {
        put(2, 2);
        for (int k = 7; k >= 0; --k) {
            const uint32_t lines = ((data >> k) & 1u) << 2 | ((~data >> k) & 1u) << 3;
            put(lines, half);
            put(lines | 1, half);
        }
        put(0, half);
        ++data;
    }
    return c;
}

void BM_DecodeI2c(benchmark::State &state)
{
    const DenseCapture capture = DenseI2c();
    const CaptureWindow w = capture.Window(32);
    int rows = 0;
    WI2C_Analyzer::Result r; // kept from run to run, as the page keeps it
    for (auto _ : state) {
        WI2C_Analyzer::Decode(w, {}, Period, r);
        rows = r.Packets.Rows();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["packets"] = rows;
    state.SetItemsProcessed(state.iterations() * int64_t{Depth});
}
BENCHMARK(BM_DecodeI2c)->Unit(benchmark::kMillisecond);

// state.range(0): lines enabled (1 MOSI only, 2 both); state.range(1):
// samples per half clock.
void BM_DecodeSpi(benchmark::State &state)
{
    const DenseCapture capture = DenseSpi(static_cast<int>(state.range(1)));
    const CaptureWindow w = capture.Window(32);
    WSPI_Core::Settings s;
    s.Lines[1].Enabled = state.range(0) > 1;
    int rows = 0;
    WSPI_Core::Result r;
    for (auto _ : state) {
        WSPI_Core::Decode(w, s, Period, r);
        rows = r.Lines[0].Packets.Rows();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["packets"] = rows;
    state.SetItemsProcessed(state.iterations() * int64_t{Depth});
}
BENCHMARK(BM_DecodeSpi)
    ->ArgNames({"lines", "half"})
    ->Args({1, 1})
    ->Args({2, 1})
    ->Args({2, 4})
    ->Unit(benchmark::kMillisecond);

// The same captures with no traffic at all (every sample idle): the cost of
// the passes themselves, without any text.
void BM_DecodeQuiet(benchmark::State &state)
{
    DenseCapture c;
    while (!c.Full())
        c.Put(3);
    const CaptureWindow w = c.Window(32);
    WI2C_Analyzer::Result i2c;
    WSPI_Core::Result spi;
    for (auto _ : state) {
        if (state.range(0) == 0)
            WI2C_Analyzer::Decode(w, {}, Period, i2c);
        else
            WSPI_Core::Decode(w, {}, Period, spi);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t{Depth});
}
BENCHMARK(BM_DecodeQuiet)->ArgName("spi")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
