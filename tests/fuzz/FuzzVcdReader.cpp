// A Value Change Dump is whatever another tool (or a user) wrote: any bytes
// must give either a reason to refuse them with nothing filled in, or one
// model's whole sample memory (or an import's ring) with a settings block
// that passes its checks.
#include "ImportOracle.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CheckImport(VcdReader::Parse(std::string_view(reinterpret_cast<const char *>(data), size)));
    return 0;
}
