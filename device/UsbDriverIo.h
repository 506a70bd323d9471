#pragma once

#include <cstdint>
#include <span>
#include <vector>

// One request in flight at the driver: the request block (header and, for
// buffered transfers, the data) and, for direct transfers, the caller's own
// buffer. The driver fills the status words of the block, the byte count and
// the done flag. The object must not be released while the request is
// pending: cancel it and wait for its completion first.
struct UsbDriverIo
{
    uint32_t Code = 0;
    std::vector<uint8_t> Block;
    std::span<uint8_t> Direct;
    bool Done = false;
    bool Succeeded = false;
    // Bytes the driver returned: the block length up to the end of the
    // transferred data for buffered requests, the data bytes for direct ones.
    uint32_t BytesReturned = 0;
};
