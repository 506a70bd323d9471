// Parameter files are written by other programs and by people: any bytes
// must parse without harm into a record whose fields stay inside their
// ranges, and the status byte must follow from the codes recorded.
#include "device/CFile.h"
#include "gather/CFileSystem.h"
#include "gather/ParameterFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

struct ScratchFile
{
    static std::string Path()
    {
        const char *dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/fuzz_param_" +
               std::to_string(::getpid()) + ".txt";
    }
    const std::string path = Path();
    ~ScratchFile() { std::remove(path.c_str()); }
};

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const ScratchFile scratch;
    {
        std::ofstream out(scratch.path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    }
    CFileSystem parser;
    CFile record;
    parser.Parse(ParameterFile(scratch.path), record);

    Check(record.RateRow >= 3 && record.RateRow <= 23);
    Check(record.TimeDivRow >= 3 && record.TimeDivRow <= 23);
    Check(record.MemoryDepthIndex >= 0 && record.MemoryDepthIndex <= 12);
    Check(record.MemoryPercent >= 0 && record.MemoryPercent <= 10);
    Check(record.ContinuousTrigger <= 1 && record.TriggerType <= 5);
    Check(record.TriggerCounter >= 1 && record.PulseChannel <= 31);
    Check(record.PulseCompare <= 2 && record.PulsePolarity <= 1 && record.PulseWhole == 0);
    Check(record.DelayNegative <= 1);
    for (const uint16_t level : record.PortLevel)
        Check(level >= 87 && level <= 167);
    for (const auto &row : record.TriggerCondition) {
        int edges = 0;
        for (const uint8_t c : row) {
            Check(c <= 3 || c == CFile::CondX);
            edges += c == CFile::CondFall || c == CFile::CondRise;
        }
        Check(edges <= 1);
    }
    const uint8_t status = parser.StatusByte();
    Check(parser.ErrorCount == 0 ? status == parser.LastErrorCode : status == 255);
    Check(status == 0 || status == 48 || status == 64 || status == 80 || status == 96 ||
          status == 255);
    // The settings block of any parse reads back as it was built.
    record.BuildBlock();
    CFile reread = record;
    Check(reread.ParseBlock());
    return 0;
}
