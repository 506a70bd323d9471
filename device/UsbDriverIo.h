#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// One request in flight at the driver: the request block (header and, for
// buffered transfers, the data) and, for direct transfers, the data buffer
// the driver reads or fills. The request owns every byte the driver may
// write, so that a transfer completing late never writes into memory of the
// caller's. The driver fills the status words of the block, the byte count
// and the done flag. The object must not be released while the request is
// pending: cancel it, and hand it to the driver handle (Release) when it
// does not finish in time.
struct UsbDriverIo
{
    UsbDriverIo() { ++alive; }
    ~UsbDriverIo() { --alive; }
    UsbDriverIo(const UsbDriverIo &) = delete;
    UsbDriverIo &operator=(const UsbDriverIo &) = delete;
    // Requests in existence, in the whole process: a count that keeps
    // growing is a transfer nobody gives back.
    static int Alive() { return alive; }

    uint32_t Code = 0;
    std::vector<uint8_t> Block;
    std::span<uint8_t> Direct; // the bytes of DirectData
    std::unique_ptr<uint8_t[]> DirectData;
    bool Done = false;
    bool Succeeded = false;
    // Bytes the driver returned: the block length up to the end of the
    // transferred data for buffered requests, the data bytes for direct ones.
    uint32_t BytesReturned = 0;

private:
    static inline std::atomic<int> alive{0};
};
