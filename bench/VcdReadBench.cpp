#include "files/VcdReader.h"
#include "files/VcdWriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// Where the 100 MB dumps are written: $TRACEMOOR_BENCH_DIR, else the working
// folder.
std::string DumpPath(int kind)
{
    const char *dir = std::getenv("TRACEMOOR_BENCH_DIR");
    return std::string(dir ? dir : ".") + "/bench-dump-" + std::to_string(kind) + ".vcd";
}

constexpr size_t TargetBytes = 100'000'000;

// Kind 0: 32 wires that all change at every 2 ns step, about 105 bytes a
// sample, so 100 MB is 950,000 samples and fits the largest memory (model 8).
// Kind 1: one wire of 32 toggling at every step: 100 MB is 7 million
// samples, of which the first 1,024,000 are kept.
void WriteDump(int kind, const std::string &path)
{
    std::string text = "$timescale 1 ns $end\n$scope module bench $end\n";
    for (size_t i = 0; i < 32; ++i)
        text += "$var wire 1 " + VcdWriter::Identifier(i) + " d" + std::to_string(i) + " $end\n";
    text += "$upscope $end\n$enddefinitions $end\n";
    text.reserve(TargetBytes + 4096);
    for (uint64_t n = 0; text.size() < TargetBytes; ++n) {
        text += '#';
        text += std::to_string(2 * n);
        text += '\n';
        const char bit = static_cast<char>('0' + (n & 1));
        for (size_t i = 0; i < (kind == 0 ? 32u : 1u); ++i) {
            text += bit;
            text += VcdWriter::Identifier(i);
            text += '\n';
        }
    }
    std::ofstream(path, std::ios::binary) << text;
}

// The whole of VcdReader::Read on a 100 MB file already in the page cache:
// map, header, the survey of the body, the samples.
void BM_VcdRead100MB(benchmark::State &state)
{
    const int kind = static_cast<int>(state.range(0));
    const std::string path = DumpPath(kind);
    WriteDump(kind, path);
    uint64_t samples = 0;
    for (auto _ : state) {
        const VcdReader::Result r = VcdReader::Read(path);
        if (!r.Error.empty())
            state.SkipWithError(r.Error.c_str());
        samples = r.Samples;
        benchmark::DoNotOptimize(r.Contents.samples.data());
    }
    std::remove(path.c_str());
    state.counters["samples"] = static_cast<double>(samples);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(TargetBytes));
}
BENCHMARK(BM_VcdRead100MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
