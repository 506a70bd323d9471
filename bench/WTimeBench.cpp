// The time value operations the waveform view runs per pixel column and per
// sample: adding a sample period and dividing by it.

#include "display/WTime.h"

#include <benchmark/benchmark.h>

namespace {

// SampleTime += P, sample by sample (the compressed regime of the waveform view).
void BM_TimeAdd(benchmark::State &state)
{
    const WTime period = WTime::FromTable(4, WTime::Ns);
    WTime t;
    for (auto _ : state) {
        t = TimeAdd(t, period);
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_TimeAdd);

void BM_SignedAdd(benchmark::State &state)
{
    const WTime period = WTime::FromTable(4, WTime::Ns);
    WTime t = WTime::Of(0, 0, 0, 7, 0, 0); // -7 ms: crosses zero after 1.75M steps
    for (auto _ : state) {
        t = SignedAdd(t, period);
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_SignedAdd);

// Counting periods in a window time (window placement, cursor columns).
void BM_TimeDivide(benchmark::State &state)
{
    const WTime period = WTime::FromTable(4, WTime::Ns);
    WTime t = WTime::Of(123, 456, 789, 12, 3);
    uint32_t sum = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(t);
        sum += TimeToInt(TimeDivide(t, period).q);
        t.g[1] = (t.g[1] + 4) % 1000;
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_TimeDivide);

void BM_ColumnOf(benchmark::State &state)
{
    const WTime tpp = WTime::FromTable(200, WTime::Ps);
    WTime t = WTime::Of(0, 600, 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(t);
        benchmark::DoNotOptimize(ColumnOf(t, tpp, WTime::Ps));
    }
}
BENCHMARK(BM_ColumnOf);

} // namespace
