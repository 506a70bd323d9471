// A sigrok session file is a zip archive another tool (or a user) wrote: any
// bytes must give either a reason to refuse them with nothing filled in, or
// one model's ring with a settings block that passes its checks.
#include "ImportOracle.h"

#include "files/SigrokSession.h"

#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CheckImport(SigrokSession::Parse(std::span(data, size)));
    return 0;
}
