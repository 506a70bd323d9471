#include "device/CFile.h"
#include "device/WSystem.h"
#include "files/ProjectFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Where the project is written: $TRACEMOOR_BENCH_DIR, else the working folder
// (a disk, not a RAM disk, so that the save's fsync is paid as a user pays it).
std::string ProjectPath(int model)
{
    const char *dir = std::getenv("TRACEMOOR_BENCH_DIR");
    return std::string(dir ? dir : ".") + "/bench-project-" + std::to_string(model) + ".pjf";
}

void Prepare(int model, CFile &settings, WSystem &system)
{
    system.SelectModel(model);
    settings.ModelCode = static_cast<uint8_t>(model);
    settings.ResetSettings();
    uint32_t x = 1;
    for (uint8_t &b : system.SampleBuffer) {
        x = x * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(x >> 24);
    }
}

// Save as the Save command does after its dialogs: BuildBlock, the file image,
// the atomic write (temporary file, write, fsync, rename).
void BM_ProjectSave(benchmark::State &state)
{
    const int model = static_cast<int>(state.range(0));
    CFile settings;
    WSystem system;
    Prepare(model, settings, system);
    const std::string path = ProjectPath(model);
    for (auto _ : state) {
        if (ProjectFile::Save(path, settings, system) != ProjectFile::Error::None)
            state.SkipWithError("save failed");
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(ProjectFile::FileSize(model)));
}
BENCHMARK(BM_ProjectSave)->Arg(2)->Arg(7)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

// Load as the Load command does after its dialogs: read and check the whole
// file, then select the model and take the record and samples over.
void BM_ProjectLoad(benchmark::State &state)
{
    const int model = static_cast<int>(state.range(0));
    CFile settings;
    WSystem system;
    Prepare(model, settings, system);
    const std::string path = ProjectPath(model);
    ProjectFile::Save(path, settings, system);
    for (auto _ : state) {
        if (ProjectFile::Load(path, settings, system) != ProjectFile::Error::None)
            state.SkipWithError("load failed");
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(ProjectFile::FileSize(model)));
}
BENCHMARK(BM_ProjectLoad)->Arg(2)->Arg(7)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
