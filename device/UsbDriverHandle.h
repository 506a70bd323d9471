#pragma once

#include "device/UsbDriverIo.h"

#include <cstdint>
#include <memory>
#include <span>

// An open device at the driver. Requests without a transfer (versions, names,
// port reset, abort) complete at once; transfers are submitted and completed
// later, while events are pumped on the calling thread.
class UsbDriverHandle
{
public:
    virtual ~UsbDriverHandle() = default;

    // A request that completes at once; `returned` receives the bytes written
    // to `out`.
    virtual bool Request(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out,
                         uint32_t &returned) = 0;
    // Hands a transfer request to the driver. It may complete at once (Done set)
    // or stay pending until Wait sees it finish or an abort ends it.
    virtual void Submit(UsbDriverIo &io) = 0;
    // Pumps events until `io` is done or `timeoutMs` has passed; true when done.
    virtual bool Wait(UsbDriverIo &io, uint32_t timeoutMs) = 0;
    // Takes over a request the caller gives up while the driver may still
    // hold it (an abort that has not come back yet). The handle frees it once
    // the driver has let go of it, at the latest when the handle closes.
    virtual void Release(std::unique_ptr<UsbDriverIo> io) = 0;
    // False once the device has been unplugged.
    virtual bool Present() const = 0;
    // Releases the handle; false when the driver refused.
    virtual bool Close() = 0;
};
