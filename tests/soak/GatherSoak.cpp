// Gathermoor's soak run, made by hand and kept out of the test suite:
//   build/tests/gather_soak [changes, default 1000] [emulator, default model=3,scene=counter]
// Every change rewrites the parameter file (another sample rate and memory
// depth each time), moves its modification time and lets the watch tick
// capture; each data file must be written whole and match the emulated
// memory. Prints the resident memory at the 100th change and at the last;
// ends with 1 when a capture was missed or memory grew by more than 1 MiB.
#include "device/AnalyzerFirmware.h"
#include "device/EmulatedDriver.h"
#include "device/EmulatorConfig.h"
#include "gather/CGatherControl.h"
#include "gather/GatherDataFile.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    const int changes = argc > 1 ? std::atoi(argv[1]) : 1000;
    const std::string config = argc > 2 ? argv[2] : "model=3,scene=counter";
    const auto folder = std::filesystem::temp_directory_path() / "gathermoor-soak";
    std::filesystem::create_directories(folder);
    const std::string param = (folder / "param.txt").string();
    const std::string data = (folder / "capture.bin").string();

    CGatherControl control((folder / "System.txt").string(), {});
    auto driver = std::make_unique<EmulatedDriver>(*EmulatorConfig::Parse(config));
    EmulatedDriver *emulated = driver.get();
    control.CreateLink(std::move(driver));
    control.Capture().Pauses = false;

    const char *rates[] = {"10MHZ", "1MHZ", "100KHZ", "250MHZ", "5MHZ"};
    const char *depths[] = {"AUTO", "4KB", "64KB", "128KB"};
    auto age = std::filesystem::file_time_type::clock::now();
    long at100 = 0;
    int mismatches = 0;
    const auto started = std::chrono::steady_clock::now();
    for (int i = 1; i <= changes; ++i) {
        std::ofstream(param) << "[Setting]\nAutoRestart=Yes\n[Files]\nDataPath=" << data
                             << "\n[Property]\nSampleRate=" << rates[i % 5]
                             << "\nRamSize=" << depths[i % 4] << "\nDelayTime=0US\nVolt1=1V\n"
                             << "TriggerPattern1=" << std::string(31, 'X') << "R\n";
        age += std::chrono::seconds(1);
        std::filesystem::last_write_time(param, age);
        if (i == 1) {
            control.LoadParameterFile(param);
            control.Execute();
        }
        control.WatchTick();
        while (control.Capturing())
            control.PollTick();
        std::ifstream in(data, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
        const auto memory = emulated->Firmware(0).Memory();
        if (control.DataFilesWritten() != i ||
            bytes.size() != GatherDataFile::HeaderBytes + memory.size() ||
            !std::equal(memory.begin(), memory.end(), bytes.begin() + 28))
            ++mismatches;
        if (i == 100)
            at100 = ResidentKiB();
    }
    const long atEnd = ResidentKiB();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("changes %d, data files written %d, mismatches %d, %.1f s\n", changes,
                control.DataFilesWritten(), mismatches, seconds);
    std::printf("resident memory: %ld KiB at change 100, %ld KiB at change %d\n", at100, atEnd,
                changes);
    // The emulated analyzer keeps every command it was sent, for tests.
    const auto &log = emulated->Firmware(0).Commands();
    std::printf("of which the emulated analyzer's command log: %zu commands, %zu KiB\n", log.size(),
                log.capacity() * sizeof(log[0]) / 1024);
    std::filesystem::remove_all(folder);
    return mismatches == 0 && control.DataFilesWritten() == changes && atEnd - at100 <= 1024 ? 0
                                                                                             : 1;
}
