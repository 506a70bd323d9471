// INI files are written by people and other programs: any bytes must read
// without harm, writing one key must make exactly that key read back, and a
// value is either refused or read back exactly as written.
#include "files/CIniFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

std::string Contents(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The file the inputs go through, one per process, removed at exit.
struct ScratchFile
{
    static std::string Path()
    {
        const char *dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/fuzz_ini_" + std::to_string(::getpid()) +
               ".ini";
    }
    const std::string path = Path();
    ~ScratchFile() { std::remove(path.c_str()); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Every run writes the file (and syncs it): point TMPDIR at a RAM disk for speed.
    static const ScratchFile scratch;
    const std::string &path = scratch.path;
    const std::string input(reinterpret_cast<const char *>(data), size);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << input;
    }
    CIniFile ini(path);
    const std::string before = ini.ReadString("History", "LastFile", "FileNameIsHere");
    (void)ini.ReadInteger("Model", "Host", 1);
    (void)ini.ReadSection("Language");

    if (!ini.WriteString("Model", "Host", "3F"))
        std::abort();
    CIniFile reread(path);
    if (reread.ReadString("model", "HOST", "") != "3F")
        std::abort();
    // Another section's key is untouched (unless it was in the same section).
    if (reread.ReadString("History", "LastFile", "FileNameIsHere") != before)
        std::abort();

    // The last bytes of the input as a value of a key of its own.
    const std::string value = input.substr(input.size() - std::min<size_t>(input.size(), 24));
    const std::string written = Contents(path);
    if (reread.WriteString("Model", "Fuzz", value)) {
        CIniFile again(path);
        if (again.ReadString("Model", "Fuzz", "") != value ||
            again.ReadString("Model", "Host", "") != "3F" ||
            again.ReadString("History", "LastFile", "FileNameIsHere") != before)
            std::abort();
    } else if (reread.LastError().empty() || Contents(path) != written) {
        std::abort();
    }
    return 0;
}
