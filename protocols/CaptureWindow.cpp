#include "protocols/CaptureWindow.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"

#include <algorithm>

CaptureWindow CaptureWindow::OfRecord(const CCaptureRecord &record, const WSystem &system,
                                      const CFile &settings)
{
    CaptureWindow w;
    const size_t size = system.SampleBuffer.size();
    // The mask is only meaningful over a ring of a power-of-two size.
    if (size == 0 || (size & (size - 1)) != 0 || size > (size_t{1} << 31))
        return w;
    w.Ring = system.SampleBuffer;
    w.Mask = static_cast<uint32_t>(size - 1);
    w.Channels = system.ChannelCount;
    const uint32_t depth = std::min<uint32_t>(record.DepthSamples, static_cast<uint32_t>(size / 4));
    const uint32_t pre = static_cast<uint32_t>(std::clamp<int>(settings.MemoryPercent, 0, 10));
    const uint32_t before = static_cast<uint32_t>(uint64_t{depth} * pre / 10);
    w.Start = (record.TriggerAddress - before * 4) & w.Mask;
    w.Count = depth;
    return w;
}
