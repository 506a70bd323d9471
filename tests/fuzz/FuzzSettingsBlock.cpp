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
    file.ModelCode = static_cast<uint8_t>((data[0] & 0x7F) % 12);
    file.ResetSettings();
    const size_t n = std::min(size - 1, CFile::BlockSize);
    std::memcpy(file.BlockBuffer.data(), data + 1, n);
    // With the top bit of the first byte set the block gets a good seal (magic
    // and byte sum where its length word puts them), so that mutated fields
    // reach the checks behind the seal.
    const size_t length = file.BlockBuffer[0] | file.BlockBuffer[1] << 8;
    if ((data[0] & 0x80) && length + 4 <= CFile::BlockSize) {
        uint16_t sum = 0;
        for (size_t i = 0; i < length; ++i)
            sum = static_cast<uint16_t>(sum + file.BlockBuffer[i]);
        const uint8_t seal[4] = {0xAA, 0x55, static_cast<uint8_t>(sum),
                                 static_cast<uint8_t>(sum >> 8)};
        std::memcpy(file.BlockBuffer.data() + length, seal, sizeof seal);
    }
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
