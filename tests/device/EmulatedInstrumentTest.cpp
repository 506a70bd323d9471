#include "device/AFile.h"
#include "device/CEzUsb.h"
#include "device/CFile.h"
#include "device/EmulatedDriver.h"
#include "device/WSystem.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// How far `a` lies after `b` in a ring of `size` bytes, negative when before.
int32_t Distance(uint32_t a, uint32_t b, uint32_t size)
{
    const uint32_t d = (a - b) & (size - 1);
    return d < size / 2 ? static_cast<int32_t>(d)
                        : static_cast<int32_t>(d) - static_cast<int32_t>(size);
}

uint32_t ReadWord(const std::vector<uint8_t> &ring, uint32_t address)
{
    const uint32_t mask = static_cast<uint32_t>(ring.size() - 1);
    uint32_t w = 0;
    for (uint32_t i = 0; i < 4; ++i)
        w |= uint32_t{ring[(address + i) & mask]} << (8 * i);
    return w;
}

// The host's view of an instrument: the capture sequence as the program runs
// it, over the command channel.
struct Host
{
    explicit Host(const std::string &text)
    {
        const auto config = EmulatorConfig::Parse(text);
        EXPECT_TRUE(config) << text;
        model = config->ModelOf(0);
        system.SelectModel(model);
        record.ModelCode = static_cast<uint8_t>(model);
        record.ResetSettings();
        auto emulator = std::make_unique<EmulatedDriver>(*config);
        driver = emulator.get();
        usb = std::make_unique<CEzUsb>(record, system, nullptr, std::move(emulator));
    }

    AnalyzerFirmware &Analyzer() { return driver->Firmware(0); }
    bool Compact() const { return model == 9 || model == 10; }

    // Depth, trigger position and the pre/post byte counts as the program
    // computes them for a zero delay.
    void Prepare(int depthIndex, int position)
    {
        record.MemoryDepthIndex = static_cast<int16_t>(depthIndex);
        record.TriggerPositionCode = record.MemoryPercent = static_cast<int16_t>(position);
        system.ComputeSplit(depthIndex, record.RateRow);
        const auto k = static_cast<size_t>(position);
        record.PreTriggerBytes = static_cast<uint32_t>(system.SplitTable[1][k]) + 4 * 250;
        record.PostTriggerBytes = static_cast<uint32_t>(system.SplitTable[0][k]);
    }

    bool SendSettings()
    {
        if (usb->SendCommand(CEzUsb::WriteBlock) != CEzUsb::StatusAccepted)
            return false;
        if (Compact()) {
            image.BuildRunImage(record);
            return usb->BulkWrite(image.Buffer(), 100);
        }
        record.BuildBlock();
        return usb->BulkWrite(record.Block(), 100);
    }

    // Steps 1..3 of the capture sequence; false when the capture never ends.
    bool Capture(int maxPolls = 20)
    {
        if (usb->SendCommand(CEzUsb::StartCapture) != CEzUsb::StatusAccepted)
            return false;
        bool done = false;
        for (int poll = 0; poll < maxPolls && !done; ++poll) {
            const uint8_t status = usb->SendCommand(CEzUsb::ReadBlock);
            if (status != CEzUsb::StatusAccepted)
                continue;
            if (Compact()) {
                done = usb->BulkRead(std::span(image.Buffer()).first(AFile::BufferSize), 100);
                if (done)
                    image.ReadTriggerReply(record);
            } else if (usb->BulkRead(record.Block(), 100) && record.ParseBlock()) {
                done = record.CaptureDone == 1;
            }
        }
        if (!done)
            return false;
        return usb->SendCommand(CEzUsb::ReadSamples) == CEzUsb::StatusAccepted &&
               usb->BulkRead(system.SampleBuffer, 1000);
    }

    // The host's trigger search: from L samples after the trigger address the
    // reported end implies, back over L + R samples, for the first pair where
    // channel `channel` rises.
    std::optional<uint32_t> FindRisingEdge(int channel) const
    {
        const uint32_t mask = system.AddressMask;
        const uint32_t end = record.ReportedEndAddress & mask;
        const uint32_t trigger = (end - record.PostTriggerBytes) & mask;
        uint32_t later = (trigger + 4 * system.SearchLookAhead) & mask;
        for (uint32_t i = 0; i < system.SearchLookAhead + system.SearchReachBack; ++i) {
            const uint32_t earlier = (later - 4) & mask;
            const bool e = (ReadWord(system.SampleBuffer, earlier) >> channel) & 1;
            const bool x = (ReadWord(system.SampleBuffer, later) >> channel) & 1;
            if (!e && x)
                return later;
            later = earlier;
        }
        return std::nullopt;
    }

    int model = 1;
    WSystem system;
    CFile record;
    AFile image;
    EmulatedDriver *driver = nullptr;
    std::unique_ptr<CEzUsb> usb;
};

class EveryModel : public testing::TestWithParam<int>
{
};

TEST_P(EveryModel, TriggerLandsWhereTheHostSearchFindsIt)
{
    Host host("model=" + std::to_string(GetParam()) + ",seed=" + std::to_string(GetParam()));
    ASSERT_TRUE(host.usb->Connected);
    EXPECT_EQ(host.usb->IdentifyDevice(host.record), GetParam());
    host.record.TriggerCondition[0][3] = CFile::CondRise;
    host.Prepare(2, 3);
    ASSERT_TRUE(host.SendSettings());
    for (int run = 0; run < 3; ++run) {
        ASSERT_TRUE(host.Capture()) << "run " << run;
        const auto capture = host.Analyzer().LastCapture();
        ASSERT_TRUE(capture);
        EXPECT_EQ(host.system.SampleBuffer.size(), host.system.MemorySize);
        const auto found = host.FindRisingEdge(3);
        ASSERT_TRUE(found) << "run " << run;
        EXPECT_EQ(*found, capture->TriggerAddress) << "run " << run;
        // The reported end is off, but only within the search window.
        const int32_t offset =
            Distance(host.record.ReportedEndAddress, capture->EndAddress, host.system.MemorySize);
        EXPECT_EQ(host.record.ReportedEndAddress % 4, 0u);
        EXPECT_LE(offset, 4 * static_cast<int32_t>(host.system.SearchReachBack));
        EXPECT_GE(offset, -4 * static_cast<int32_t>(host.system.SearchLookAhead));
    }
}

TEST_P(EveryModel, RecordsThePreAndPostTriggerBytesAroundTheTrigger)
{
    Host host("model=" + std::to_string(GetParam()));
    host.record.TriggerCondition[0][4] = CFile::CondRise;
    host.Prepare(1, 7);
    ASSERT_TRUE(host.SendSettings());
    ASSERT_TRUE(host.Capture());
    const auto capture = host.Analyzer().LastCapture();
    ASSERT_TRUE(capture);
    const std::vector<uint8_t> &ring = host.system.SampleBuffer;
    const uint32_t mask = host.system.AddressMask;
    // The counter runs on through the whole record: each sample equals the
    // one before or is one step further.
    const uint32_t first = (capture->TriggerAddress - host.record.PreTriggerBytes) & mask;
    const uint32_t samples = (host.record.PreTriggerBytes + host.record.PostTriggerBytes) / 4;
    for (uint32_t k = 0; k < samples; ++k) {
        const uint32_t a = ReadWord(ring, (first + 4 * k) & mask) & 0xFFFF;
        const uint32_t b = ReadWord(ring, (first + 4 * k + 4) & mask) & 0xFFFF;
        ASSERT_TRUE(b == a || b == ((a + 1) & 0xFFFF)) << "sample " << k;
    }
    EXPECT_EQ((capture->EndAddress - capture->TriggerAddress) & mask, host.record.PostTriggerBytes);
    // Nothing was recorded after the end on a fresh memory.
    EXPECT_EQ(ReadWord(ring, capture->EndAddress + 4), 0u);
}

INSTANTIATE_TEST_SUITE_P(Models, EveryModel, testing::Range(1, 11));

TEST(EmulatedInstrument, AllDontCareTriggersAtOnceWithASlightlyOffEnd)
{
    Host host("model=6");
    host.Prepare(3, 5);
    ASSERT_TRUE(host.SendSettings());
    ASSERT_TRUE(host.Capture());
    const auto capture = host.Analyzer().LastCapture();
    ASSERT_TRUE(capture);
    const int32_t offset =
        Distance(host.record.ReportedEndAddress, capture->EndAddress, host.system.MemorySize);
    EXPECT_LE(std::abs(offset), 4 * 3);
    EXPECT_EQ(offset % 4, 0);
}

TEST(EmulatedInstrument, TriggerThatNeverComesKeepsTheCaptureRunning)
{
    Host host("model=1,scene=uart");
    host.record.TriggerCondition[0][0] = CFile::CondHigh; // the UART is on CH4; CH0 stays low
    host.Prepare(1, 5);
    ASSERT_TRUE(host.SendSettings());
    EXPECT_FALSE(host.Capture(5));
    EXPECT_EQ(host.record.CaptureDone, 0);
}

TEST(EmulatedInstrument, CapturePollsSeeItRunningFirst)
{
    Host host("model=1,polls=3");
    host.Prepare(1, 5);
    ASSERT_TRUE(host.SendSettings());
    ASSERT_EQ(host.usb->SendCommand(CEzUsb::StartCapture), CEzUsb::StatusAccepted);
    int polls = 0;
    do {
        ASSERT_EQ(host.usb->SendCommand(CEzUsb::ReadBlock), CEzUsb::StatusAccepted);
        ASSERT_TRUE(host.usb->BulkRead(host.record.Block(), 100));
        ASSERT_TRUE(host.record.ParseBlock());
        ++polls;
    } while (host.record.CaptureDone == 0 && polls < 10);
    EXPECT_EQ(polls, 4);
}

TEST(EmulatedInstrument, CompactModelsAnswerBusyUntilTheCaptureIsDone)
{
    Host host("model=10,polls=1");
    host.Prepare(1, 5);
    ASSERT_TRUE(host.SendSettings());
    ASSERT_EQ(host.usb->SendCommand(CEzUsb::StartCapture), CEzUsb::StatusAccepted);
    EXPECT_EQ(host.usb->SendCommand(CEzUsb::ReadBlock), CEzUsb::StatusBusy);
    ASSERT_EQ(host.usb->SendCommand(CEzUsb::ReadBlock), CEzUsb::StatusAccepted);
    ASSERT_TRUE(host.usb->BulkRead(std::span(host.image.Buffer()).first(1024), 100));
    host.image.ReadTriggerReply(host.record);
    EXPECT_EQ(host.record.ReportedEndAddress, host.Analyzer().LastCapture()->ReportedEnd);
    EXPECT_EQ(host.Analyzer().Settings().PreTriggerBytes, host.record.PreTriggerBytes);
    EXPECT_EQ(host.Analyzer().Settings().PostTriggerBytes, host.record.PostTriggerBytes);
}

TEST(EmulatedInstrument, CorruptedBlockIsRejectedByTheHost)
{
    Host host("model=1,corrupt=1");
    ASSERT_EQ(host.usb->SendCommand(CEzUsb::ReadBlock), CEzUsb::StatusAccepted);
    ASSERT_TRUE(host.usb->BulkRead(host.record.Block(), 100));
    EXPECT_FALSE(host.record.ParseBlock());
    ASSERT_EQ(host.usb->SendCommand(CEzUsb::ReadBlock), CEzUsb::StatusAccepted);
    ASSERT_TRUE(host.usb->BulkRead(host.record.Block(), 100));
    EXPECT_TRUE(host.record.ParseBlock());
}

TEST(EmulatedInstrument, KeepsExportedSettingsAndSamplesForImport)
{
    Host host("model=2");
    host.record.TimeDivRow = 9;
    host.record.ExportTriggerAddress = 0x123458;
    for (size_t i = 0; i < host.system.SampleBuffer.size(); ++i)
        host.system.SampleBuffer[i] = static_cast<uint8_t>(i * 7 + i / 4096);
    const std::vector<uint8_t> exported = host.system.SampleBuffer;
    ASSERT_TRUE(host.SendSettings());
    ASSERT_EQ(host.usb->SendCommand(CEzUsb::WriteSamples), CEzUsb::StatusAccepted);
    ASSERT_TRUE(host.usb->BulkWrite(host.system.SampleBuffer, 1000));

    CFile imported;
    imported.ModelCode = 2;
    ASSERT_EQ(host.usb->SendCommand(CEzUsb::ReadBlock), CEzUsb::StatusAccepted);
    ASSERT_TRUE(host.usb->BulkRead(imported.Block(), 100));
    ASSERT_TRUE(imported.ParseBlock());
    EXPECT_EQ(imported.TimeDivRow, 9);
    EXPECT_EQ(imported.ExportTriggerAddress, 0x123458u);
    std::fill(host.system.SampleBuffer.begin(), host.system.SampleBuffer.end(), 0);
    ASSERT_EQ(host.usb->SendCommand(CEzUsb::ReadSamples), CEzUsb::StatusAccepted);
    ASSERT_TRUE(host.usb->BulkRead(host.system.SampleBuffer, 1000));
    EXPECT_EQ(host.system.SampleBuffer, exported);
}

} // namespace
