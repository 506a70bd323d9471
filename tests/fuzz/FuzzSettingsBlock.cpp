// Settings blocks come from project files and from the instrument: any bytes
// must be either rejected unchanged or loaded into a record that builds the
// same block again.
#include "device/CFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    CFile file;
    file.ModelCode = static_cast<uint8_t>(data[0] % 12);
    file.ResetSettings();
    const size_t n = std::min(size - 1, CFile::BlockSize);
    std::memcpy(file.BlockBuffer.data(), data + 1, n);
    const auto given = file.BlockBuffer;
    if (!file.ParseBlock())
        return 0;

    CFile again;
    again.ModelCode = file.ModelCode;
    file.BuildBlock();
    again.BlockBuffer = file.BlockBuffer;
    if (!again.ParseBlock())
        std::abort();
    // A block of this layout comes back byte for byte.
    if (file.BlockLength == CFile::LayoutLength &&
        !std::equal(given.begin(), given.begin() + 3333, file.BlockBuffer.begin()))
        std::abort();
    return 0;
}
