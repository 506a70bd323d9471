// The libusb driver against analyzers on a umockdev test bed: real libusb,
// real usbfs requests, the emulated firmware answering them. Runs under
// umockdev-wrapper.

#include "UmockdevAnalyzers.h"

#include "device/CCyUSBDevice.h"
#include "device/CEzUsb.h"
#include "device/CFile.h"
#include "device/LibusbDriver.h"
#include "device/UsbDriverIo.h"
#include "device/WSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

class LibusbPath : public testing::Test
{
protected:
    void SetUp() override
    {
        const char *preload = std::getenv("LD_PRELOAD");
        if (preload == nullptr || std::strstr(preload, "umockdev-preload") == nullptr)
            GTEST_FAIL() << "run this test under umockdev-wrapper";
    }

    void Attach(const char *text, int count)
    {
        const auto config = EmulatorConfig::Parse(text);
        ASSERT_TRUE(config) << text;
        bed = std::make_unique<UmockdevAnalyzers>(*config, count);
    }

    // A command channel over libusb; the record and tables follow `model`.
    void Connect(int model)
    {
        system.SelectModel(model);
        record.ModelCode = static_cast<uint8_t>(model);
        record.ResetSettings();
        usb = std::make_unique<CEzUsb>(
            record, system, [this](CCyUSBDevice::Change c) { changes.push_back(c); },
            std::make_unique<LibusbDriver>());
    }

    std::unique_ptr<UmockdevAnalyzers> bed;
    WSystem system;
    CFile record;
    std::unique_ptr<CEzUsb> usb;
    std::vector<CCyUSBDevice::Change> changes;
};

TEST_F(LibusbPath, EnumeratesTwoAnalyzersAndOpensTheSecond)
{
    Attach("model=1", 2);
    CCyUSBDevice device(std::make_unique<LibusbDriver>(), nullptr, false);
    EXPECT_EQ(device.CountDevices(), 2);
    ASSERT_TRUE(device.OpenDevice(1));
    EXPECT_EQ(device.VendorID, 0x04B4);
    EXPECT_EQ(device.ProductID, 0x1010);
    EXPECT_EQ(device.SerialNumber, "EMU1001");
    EXPECT_EQ(device.USBAddress, 3);
    EXPECT_EQ(device.DeviceName, "/dev/bus/usb/001/003");
    ASSERT_NE(device.BulkInEndPt, nullptr);
    EXPECT_EQ(device.BulkInEndPt->Address, 0x86);
    ASSERT_NE(device.BulkOutEndPt, nullptr);
    EXPECT_TRUE(device.BulkInEndPt->DirectTransfer);
}

TEST_F(LibusbPath, CommandRequestAndIdentityBlock)
{
    Attach("model=5", 1);
    Connect(5);
    ASSERT_TRUE(usb->Connected);
    EXPECT_EQ(usb->SendCommand(CEzUsb::CheckReady), CEzUsb::StatusAccepted);
    EXPECT_EQ(usb->IdentifyDevice(record), 5);
    bed->With(0, [](AnalyzerFirmware &fw) {
        ASSERT_GE(fw.Commands().size(), 3u);
        EXPECT_EQ(fw.Commands()[0].Value, CEzUsb::Hello);
        EXPECT_EQ(fw.Commands()[1].Value, CEzUsb::CheckReady);
        EXPECT_EQ(fw.Commands()[2].Value, CEzUsb::Identify);
    });
}

TEST_F(LibusbPath, ReadsTheWhole4MiBSampleMemory)
{
    Attach("model=2", 1);
    std::vector<uint8_t> pattern;
    bed->With(0, [&](AnalyzerFirmware &fw) {
        auto memory = fw.Memory();
        for (size_t i = 0; i < memory.size(); ++i)
            memory[i] = static_cast<uint8_t>(i ^ (i >> 11));
        pattern.assign(memory.begin(), memory.end());
    });
    Connect(2);
    ASSERT_TRUE(usb->Connected);
    ASSERT_EQ(usb->SendCommand(CEzUsb::ReadSamples), CEzUsb::StatusAccepted);
    ASSERT_EQ(system.SampleBuffer.size(), 0x400000u);
    ASSERT_TRUE(usb->BulkRead(system.SampleBuffer, 1000));
    EXPECT_TRUE(system.SampleBuffer == pattern);
}

TEST_F(LibusbPath, LateBulkReadIsDiscardedAndTheLinkStaysUsable)
{
    Attach("model=1,timeout=ReadBlock*1", 1);
    Connect(1);
    ASSERT_TRUE(usb->Connected);
    const int discardedBefore = bed->Discarded();
    ASSERT_EQ(usb->SendCommand(CEzUsb::ReadBlock), CEzUsb::StatusAccepted);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(usb->BulkRead(record.Block(), 50));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(bed->Discarded(), discardedBefore + 1);
    EXPECT_FALSE(usb->Device().BulkInEndPt->TransferPending());

    ASSERT_EQ(usb->SendCommand(CEzUsb::ReadBlock), CEzUsb::StatusAccepted);
    ASSERT_TRUE(usb->BulkRead(record.Block(), 100));
    EXPECT_TRUE(record.ParseBlock());
}

TEST_F(LibusbPath, ReadWhoseAbortComesBackLateIsLeftToTheHandleAtOnce)
{
    Attach("model=1,lateabort=ReadBlock*1", 1);
    Connect(1);
    ASSERT_TRUE(usb->Connected);
    ASSERT_EQ(usb->SendCommand(CEzUsb::ReadBlock), CEzUsb::StatusAccepted);
    const auto start = std::chrono::steady_clock::now();
    {
        std::vector<uint8_t> block(CFile::BlockSize);
        EXPECT_FALSE(usb->BulkRead(block, 50));
    }
    // The abort is not waited for long: the read goes to the handle, which
    // keeps its buffer until libusb gives it back.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(usb->Device().BulkInEndPt->TransferPending());

    // The next request brings the read back; the link goes on.
    ASSERT_EQ(usb->SendCommand(CEzUsb::ReadBlock), CEzUsb::StatusAccepted);
    ASSERT_TRUE(usb->BulkRead(record.Block(), 100));
    EXPECT_TRUE(record.ParseBlock());
}

TEST_F(LibusbPath, UnplugFailsCommandsAndReportsTheRemoval)
{
    Attach("model=1", 1);
    Connect(1);
    ASSERT_TRUE(usb->Connected);
    bed->Unplug(0);
    EXPECT_EQ(usb->SendCommand(CEzUsb::StartCapture), CEzUsb::StatusFailed);
    for (int i = 0; i < 20 && changes.empty(); ++i)
        usb->PumpEvents(10);
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back(), CCyUSBDevice::Change::Removed);
}

// The open file descriptors of this process.
int OpenFiles()
{
    int n = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

TEST_F(LibusbPath, UnplugAndReplugDuringCapturesLeavesNothingBehind)
{
    // Each cycle costs the greeting's drain read (500 ms) on connecting again.
    const char *cyclesText = std::getenv("TRACEMOOR_HOTPLUG_CYCLES");
    const int cycles = cyclesText != nullptr ? std::atoi(cyclesText) : 2;
    Attach("model=3", 1);
    Connect(3);
    ASSERT_TRUE(usb->Connected);
    const int files = OpenFiles();
    const int transfers = UsbDriverIo::Alive();
    for (int cycle = 0; cycle < cycles; ++cycle) {
        SCOPED_TRACE(cycle);
        // A capture under way: settings written, started, polled.
        ASSERT_EQ(usb->SendCommand(CEzUsb::WriteBlock), CEzUsb::StatusAccepted);
        record.BuildBlock();
        ASSERT_TRUE(usb->BulkWrite(record.Block(), 100));
        ASSERT_EQ(usb->SendCommand(CEzUsb::StartCapture), CEzUsb::StatusAccepted);
        if (cycle % 2 == 1) {
            // Pulled out while the block read is pending.
            ASSERT_EQ(usb->SendCommand(CEzUsb::ReadBlock), CEzUsb::StatusAccepted);
            bed->Unplug(0);
            EXPECT_FALSE(usb->BulkRead(record.Block(), 100));
        } else {
            bed->Unplug(0);
            EXPECT_EQ(usb->SendCommand(CEzUsb::ReadBlock), CEzUsb::StatusFailed);
        }
        changes.clear();
        for (int i = 0; i < 100 && changes.empty(); ++i)
            usb->PumpEvents(10);
        ASSERT_EQ(changes, std::vector{CCyUSBDevice::Change::Removed});
        usb->Device().CloseDevice();
        usb->Connected = false;

        changes.clear();
        bed->Plug(0);
        for (int i = 0; i < 100 && changes.empty(); ++i)
            usb->PumpEvents(10);
        ASSERT_EQ(changes, std::vector{CCyUSBDevice::Change::Arrived});
        ASSERT_TRUE(usb->Connect());
        EXPECT_EQ(OpenFiles(), files);
        EXPECT_EQ(UsbDriverIo::Alive(), transfers);
    }
    EXPECT_EQ(usb->IdentifyDevice(record), 3);
}

} // namespace
