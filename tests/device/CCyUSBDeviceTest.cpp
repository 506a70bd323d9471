#include "device/CCyUSBDevice.h"
#include "device/CCyBulkEndPoint.h"
#include "device/CCyIsocEndPoint.h"
#include "device/DriverRequestBlock.h"
#include "device/EmulatedDriver.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<EmulatedDriver> Emulator(const char *text)
{
    const auto config = EmulatorConfig::Parse(text);
    EXPECT_TRUE(config) << text;
    return std::make_unique<EmulatedDriver>(*config);
}

// Opens the emulated devices a configuration names and keeps the driver at hand.
struct Bench
{
    explicit Bench(const char *text, CCyUSBDevice::ChangeHandler handler = nullptr)
    {
        auto emulator = Emulator(text);
        driver = emulator.get();
        device = std::make_unique<CCyUSBDevice>(std::move(emulator), std::move(handler), false);
    }
    EmulatedDriver *driver;
    std::unique_ptr<CCyUSBDevice> device;
};

TEST(CCyUSBDevice, CountsAndOpensTheSecondOfTwoAnalyzers)
{
    Bench bench("count=2");
    EXPECT_EQ(bench.device->CountDevices(), 2);
    ASSERT_TRUE(bench.device->OpenDevice(1));
    EXPECT_EQ(bench.device->OpenIndex(), 1);
    EXPECT_EQ(bench.device->SerialNumber, "EMU1001");
    EXPECT_FALSE(bench.device->OpenDevice(2));
    EXPECT_FALSE(bench.device->IsOpen());
}

TEST(CCyUSBDevice, ReadsDescriptorsStringsAndTheSevenEndpointReferences)
{
    Bench bench("model=3");
    ASSERT_TRUE(bench.device->OpenDevice(0));
    const CCyUSBDevice &d = *bench.device;
    EXPECT_EQ(d.VendorID, 0x04B4);
    EXPECT_EQ(d.ProductID, 0x1010);
    EXPECT_EQ(d.BcdUSB, 0x0200);
    EXPECT_EQ(d.MaxPacketSize, 64);
    EXPECT_EQ(d.ConfigCount, 1);
    EXPECT_EQ(d.StrLangID, 0x0409);
    EXPECT_EQ(d.Manufacturer, "Tracemoor");
    EXPECT_EQ(d.Product, "Logic Analyzer");
    EXPECT_EQ(d.DriverVersion, EmulatedDriver::DriverVersion);
    EXPECT_EQ(d.FriendlyName, "Tracemoor emulated analyzer");
    ASSERT_EQ(d.Configs.size(), 1u);
    ASSERT_NE(d.ControlEndPt, nullptr);
    EXPECT_EQ(d.ControlEndPt->Address, 0);
    EXPECT_EQ(d.ControlEndPt->TimeOut, 10000u);
    ASSERT_NE(d.BulkInEndPt, nullptr);
    ASSERT_NE(d.BulkOutEndPt, nullptr);
    EXPECT_EQ(d.BulkInEndPt->Address, 0x86);
    EXPECT_EQ(d.BulkOutEndPt->Address, 0x02);
    EXPECT_TRUE(d.BulkInEndPt->DirectTransfer);
    EXPECT_EQ(d.IsocInEndPt, nullptr);
    EXPECT_EQ(d.IsocOutEndPt, nullptr);
    EXPECT_EQ(d.InterruptInEndPt, nullptr);
    EXPECT_EQ(d.InterruptOutEndPt, nullptr);
}

TEST(CCyUSBDevice, OldDriverGetsBufferedTransfersThatStillMoveTheData)
{
    Bench bench("model=1,olddriver");
    ASSERT_TRUE(bench.device->OpenDevice(0));
    CCyUSBDevice &d = *bench.device;
    EXPECT_FALSE(d.BulkInEndPt->DirectTransfer);
    EXPECT_FALSE(d.BulkOutEndPt->DirectTransfer);

    // Identity command, then the identity block through the request block.
    CCyControlEndPoint &ep = *d.ControlEndPt;
    ep.ReqCode = 0x43;
    ep.Value = 0x80;
    std::array<uint8_t, 1> status{};
    uint32_t length = 0;
    ASSERT_TRUE(ep.ControlRequest(true, status, length));
    EXPECT_EQ(status[0], 0x10);
    std::vector<uint8_t> block(1024);
    ASSERT_TRUE(d.BulkInEndPt->XferData(block, length));
    EXPECT_EQ(length, 1024u);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(block.data())), "Version:1.3");
}

TEST(CCyUSBDevice, ShortControlInReportsTheShorterLength)
{
    Bench bench("model=1");
    ASSERT_TRUE(bench.device->OpenDevice(0));
    CCyControlEndPoint &ep = *bench.device->ControlEndPt;
    ep.ReqType = CCyControlEndPoint::ReqStd;
    ep.ReqCode = 6;
    ep.Value = 0x0100; // the 18-byte device descriptor, asked for 64
    std::array<uint8_t, 64> buffer{};
    uint32_t length = 0;
    ASSERT_TRUE(ep.ControlRequest(true, buffer, length));
    EXPECT_EQ(length, 18u);
    EXPECT_EQ(buffer[0], 18);
}

TEST(CCyUSBDevice, LateBulkTransferIsCancelledAndCompletesAsFailed)
{
    Bench bench("model=1");
    ASSERT_TRUE(bench.device->OpenDevice(0));
    CCyUSBEndPoint &in = *bench.device->BulkInEndPt;
    std::vector<uint8_t> buffer(4096);
    ASSERT_TRUE(in.StartTransfer(buffer)); // nothing to read: the device does not answer
    EXPECT_FALSE(in.AwaitTransfer(10));
    EXPECT_TRUE(in.TransferPending());
    EXPECT_FALSE(in.StartTransfer(buffer)) << "one transfer at a time";
    in.CancelTransfer();
    EXPECT_FALSE(in.TransferPending());
    uint32_t length = 1;
    EXPECT_FALSE(in.CompleteTransfer(buffer, length));
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(in.UsbdStatus, DriverStatus::UsbdCancelled);
    // The endpoint is usable again afterwards.
    EXPECT_TRUE(in.StartTransfer(buffer));
    in.CancelTransfer();
}

TEST(CCyUSBDevice, ReportsRemovalOfTheOpenDeviceAndArrivals)
{
    std::vector<CCyUSBDevice::Change> changes;
    Bench bench("count=2", [&](CCyUSBDevice::Change c) { changes.push_back(c); });
    ASSERT_TRUE(bench.device->OpenDevice(0));

    bench.driver->Unplug(1); // not the open one
    bench.device->PumpEvents(0);
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(bench.device->CountDevices(), 1);

    bench.driver->Unplug(0);
    EXPECT_TRUE(changes.empty()) << "events are delivered only while pumping";
    bench.device->PumpEvents(0);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], CCyUSBDevice::Change::Removed);
    EXPECT_FALSE(bench.device->ResetDevicePort());

    bench.driver->Plug(1);
    bench.device->PumpEvents(0);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[1], CCyUSBDevice::Change::Arrived);
}

TEST(CCyUSBDevice, OpeningClosesTheDeviceOpenBefore)
{
    Bench bench("count=3");
    ASSERT_TRUE(bench.device->OpenDevice(0));
    ASSERT_TRUE(bench.device->OpenDevice(2));
    EXPECT_EQ(bench.driver->OpenHandles(), 1);
    bench.device->CloseDevice();
    EXPECT_EQ(bench.driver->OpenHandles(), 0);
    EXPECT_EQ(bench.device->BulkInEndPt, nullptr);
}

// A driver handle that keeps every request block it is handed and answers
// control reads with a fixed number of bytes.
class RecordingHandle : public UsbDriverHandle
{
public:
    bool Request(uint32_t, std::span<const uint8_t>, std::span<uint8_t>, uint32_t &) override
    {
        return false;
    }
    void Submit(UsbDriverIo &io) override
    {
        Codes.push_back(io.Code);
        Blocks.push_back(io.Block);
        DirectSizes.push_back(io.Direct.size());
        io.Done = true;
        io.Succeeded = true;
        const auto header = DriverRequestBlock::Read(io.Block);
        io.BytesReturned = io.Code == 0x22004B
                               ? static_cast<uint32_t>(io.Direct.size())
                               : header->DataOffset + std::min(header->DataLength, Answer);
    }
    bool Wait(UsbDriverIo &io, uint32_t) override { return io.Done; }
    void Release(std::unique_ptr<UsbDriverIo>) override {}
    bool Present() const override { return true; }
    bool Close() override { return true; }

    uint32_t Answer = 1;
    std::vector<uint32_t> Codes;
    std::vector<std::vector<uint8_t>> Blocks;
    std::vector<size_t> DirectSizes;
};

struct WireCase
{
    const char *Name;
    uint32_t TimeOut;
    bool Read;
    uint16_t Length;
    std::array<uint8_t, 8> Setup; // bmRequestType .. wLength as sent
    uint32_t Seconds;
};

class ControlWire : public testing::TestWithParam<WireCase>
{
};

TEST_P(ControlWire, RequestBlockCarriesSetupTimeoutAndData)
{
    const auto &c = GetParam();
    RecordingHandle handle;
    CCyControlEndPoint ep(&handle, 64);
    ep.TimeOut = c.TimeOut;
    ep.ReqCode = 0x43;
    ep.Value = 0x0088;
    ep.Index = 0x17FF;
    std::vector<uint8_t> data(c.Length, 0x5A);
    uint32_t length = 0;
    ASSERT_TRUE(ep.ControlRequest(c.Read, data, length));
    ASSERT_EQ(handle.Codes.size(), 1u);
    EXPECT_EQ(handle.Codes[0], 0x220020u);
    const auto &block = handle.Blocks[0];
    ASSERT_EQ(block.size(), 38u + c.Length);
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(block[i], c.Setup[i]) << "setup byte " << i;
    const auto header = DriverRequestBlock::Read(block);
    EXPECT_EQ(header->TimeoutSeconds, c.Seconds);
    EXPECT_EQ(header->EndpointAddress, 0);
    EXPECT_EQ(header->DataOffset, 38u);
    EXPECT_EQ(header->DataLength, c.Length);
    if (!c.Read && c.Length > 0) {
        EXPECT_EQ(block[38], 0x5A) << "OUT data follows the header";
    }
    EXPECT_EQ(length, std::min<uint32_t>(c.Length, handle.Answer));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ControlWire,
    testing::Values(
        WireCase{"VendorInOneByte", 10000, true, 1, {0xC0, 0x43, 0x88, 0, 0xFF, 0x17, 1, 0}, 10},
        WireCase{"VendorInHalfSecond", 500, true, 4, {0xC0, 0x43, 0x88, 0, 0xFF, 0x17, 4, 0}, 1},
        WireCase{"VendorOutNoTimeout", 0, false, 3, {0x40, 0x43, 0x88, 0, 0xFF, 0x17, 3, 0}, 0}),
    [](const testing::TestParamInfo<WireCase> &param) { return param.param.Name; });

TEST(BulkWire, DirectTransfersSendAHeaderAndTheCallersBuffer)
{
    RecordingHandle handle;
    const std::array<uint8_t, 7> descriptor{7, 5, 0x86, 2, 0x00, 0x02, 0};
    CCyBulkEndPoint direct(&handle, descriptor);
    std::vector<uint8_t> buffer(4096);
    uint32_t length = 0;
    ASSERT_TRUE(direct.XferData(buffer, length));
    EXPECT_EQ(handle.Codes[0], 0x22004Bu);
    EXPECT_EQ(handle.Blocks[0].size(), 38u);
    EXPECT_EQ(handle.DirectSizes[0], 4096u);
    const auto header = DriverRequestBlock::Read(handle.Blocks[0]);
    EXPECT_EQ(header->EndpointAddress, 0x86);
    EXPECT_EQ(header->DataOffset, 0u);
    EXPECT_EQ(header->DataLength, 0u);
    EXPECT_EQ(header->TimeoutSeconds, 0u);
    EXPECT_EQ(length, 4096u);
}

TEST(BulkWire, BufferedTransfersCarryTheDataAfterTheHeader)
{
    RecordingHandle handle;
    handle.Answer = 100;
    const std::array<uint8_t, 7> descriptor{7, 5, 0x02, 2, 0x00, 0x02, 0};
    CCyBulkEndPoint out(&handle, descriptor);
    out.DirectTransfer = false;
    std::vector<uint8_t> buffer{1, 2, 3, 4};
    uint32_t length = 0;
    ASSERT_TRUE(out.XferData(buffer, length));
    EXPECT_EQ(handle.Codes[0], 0x220024u);
    ASSERT_EQ(handle.Blocks[0].size(), 42u);
    EXPECT_EQ(handle.Blocks[0][38], 1);
    EXPECT_EQ(handle.Blocks[0][41], 4);
    EXPECT_EQ(length, 4u);
}

TEST(BulkWire, IsochronousTransfersPutAPacketTableBeforeTheData)
{
    RecordingHandle handle;
    const std::array<uint8_t, 7> descriptor{7, 5, 0x83, 1, 0x00, 0x04, 1}; // 1024-byte packets
    CCyIsocEndPoint iso(&handle, descriptor);
    iso.DirectTransfer = false;
    std::vector<uint8_t> buffer(2500);
    uint32_t length = 0;
    ASSERT_TRUE(iso.XferData(buffer, length));
    const auto header = DriverRequestBlock::Read(handle.Blocks[0]);
    EXPECT_EQ(header->IsoPacketOffset, 38u);
    EXPECT_EQ(header->IsoPacketLength, 3u * 8u);
    EXPECT_EQ(header->DataOffset, 38u + 24u);
    EXPECT_EQ(handle.Blocks[0].size(), 38u + 24u + 2500u);
}

} // namespace
