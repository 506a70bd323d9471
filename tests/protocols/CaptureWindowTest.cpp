#include "protocols/CaptureWindow.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// Every word the window visits equals the word put together byte by byte
// from the masked addresses, wherever the window starts and however it wraps.
TEST(CaptureWindow, VisitsEveryWordOnceAcrossTheRingsEnd)
{
    std::vector<uint8_t> ring(64);
    for (size_t k = 0; k < ring.size(); ++k)
        ring[k] = static_cast<uint8_t>(k * 7 + 1);
    for (uint32_t start : {0u, 4u, 40u, 60u, 62u, 63u, 1u}) {
        for (uint32_t count : {0u, 1u, 5u, 16u, 40u}) {
            const CaptureWindow w{ring, 63, start, count, 32};
            std::vector<uint32_t> seen;
            w.ForEachWord([&](uint32_t i, uint32_t word) {
                EXPECT_EQ(i, seen.size());
                seen.push_back(word);
            });
            ASSERT_EQ(seen.size(), count);
            for (uint32_t i = 0; i < count; ++i) {
                uint32_t expected = 0;
                for (uint32_t b = 0; b < 4; ++b)
                    expected |= uint32_t{ring[(start + 4 * i + b) & 63]} << (8 * b);
                EXPECT_EQ(seen[i], expected) << start << " " << i;
            }
        }
    }
}

TEST(CaptureWindow, OfRecordStartsThePreTriggerShareBeforeTheTrigger)
{
    WSystem sys;
    sys.SelectModel(3);
    CFile file;
    file.ModelCode = 3;
    file.ResetSettings();
    CCaptureRecord record(sys, file);
    record.DepthSamples = 300;
    record.TriggerAddress = 400; // 100 samples in: the window starts before address 0
    const std::pair<int, uint32_t> cases[] = {
        {5, (400u - 150u * 4u) & sys.AddressMask},
        {1, 400u - 30u * 4u},
        {9, (400u - 270u * 4u) & sys.AddressMask},
    };
    for (const auto &[percent, start] : cases) {
        file.MemoryPercent = static_cast<int16_t>(percent);
        const CaptureWindow w = CaptureWindow::OfRecord(record, sys, file);
        EXPECT_EQ(w.Start, start) << percent;
        EXPECT_EQ(w.Count, 300u);
        EXPECT_EQ(w.Mask, sys.AddressMask);
        EXPECT_EQ(w.Channels, sys.ChannelCount);
    }
    // A depth beyond the ring reads the ring once, never more.
    record.DepthSamples = sys.MemorySize;
    EXPECT_EQ(CaptureWindow::OfRecord(record, sys, file).Count, sys.MemorySize / 4);
}

} // namespace
