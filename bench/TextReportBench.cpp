#include "device/CFile.h"
#include "device/WSystem.h"
#include "files/AtomicFile.h"
#include "files/TextReport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The largest record (model 8: 4 MiB, 1,048,576 samples), every one of the
// 32 channels listed and four 8-bit buses in hexadecimal, decimal and binary:
// the whole range as a text file, built and then written as Report's OK does.
void BM_TextReportWholeRecord(benchmark::State &state)
{
    WSystem system;
    system.SelectModel(8);
    CFile settings;
    settings.ModelCode = 8;
    settings.ResetSettings();
    for (int c = 0; c < 32; ++c)
        settings.DisplayOrder[static_cast<size_t>(c)] = static_cast<uint8_t>(c);
    for (int b = 0; b < 4; ++b) {
        SignalEntry &bus = settings.BusEntry[static_cast<size_t>(b)];
        for (int m = 0; m < 8; ++m)
            bus.Members[static_cast<size_t>(m)] = static_cast<uint16_t>(8 * b + m);
        bus.BitCount = 8;
        bus.DisplayFormat = static_cast<uint16_t>(b % 3);
        settings.DisplayOrder[static_cast<size_t>(28 + b)] = static_cast<uint8_t>(32 + b);
    }
    uint32_t x = 1;
    for (uint8_t &v : system.SampleBuffer) {
        x = x * 1664525u + 1013904223u;
        v = static_cast<uint8_t>(x >> 24);
    }
    TextReport::Capture capture;
    capture.Ring = system.SampleBuffer;
    capture.Mask = system.AddressMask;
    capture.ZeroAddress = 0x200000;
    capture.First = -(0x200000 / 4);
    capture.Last = 0x200000 / 4 - 1;
    const TextReport report(settings, system, capture);
    TextReport::Options options;
    const bool write = state.range(0) != 0;
    const char *dir = std::getenv("TRACEMOOR_BENCH_DIR");
    const std::string path = std::string(dir ? dir : ".") + "/bench-report.txt";
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = report.Text(options);
        bytes = text.size();
        if (write && !AtomicFile::Write(path, text))
            state.SkipWithError("write failed");
        benchmark::DoNotOptimize(text.data());
    }
    std::remove(path.c_str());
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_TextReportWholeRecord)
    ->ArgName("write")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
