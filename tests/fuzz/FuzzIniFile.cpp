// INI files are written by people and other programs: any bytes must read
// without harm, and writing one key must make exactly that key read back.
#include "files/CIniFile.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string path = "/tmp/fuzz_ini_" + std::to_string(::getpid()) + ".ini";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
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
    return 0;
}
