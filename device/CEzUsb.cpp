#include "device/CEzUsb.h"

#include "device/CFile.h"
#include "device/WSystem.h"

#include <vector>

namespace {
constexpr uint16_t Port1Bits = 0x1000;
constexpr uint16_t Port2Bits = 0x5000;
constexpr size_t HelloReplyBytes = 4;

bool CompactModel(uint8_t model)
{
    return model == 9 || model == 10;
}
} // namespace

CEzUsb::CEzUsb(CFile &record, WSystem &wsystem, CCyUSBDevice::ChangeHandler onChange,
               std::unique_ptr<UsbDriver> driver)
    : settings(record)
    , system(wsystem)
    , USBDevice(std::make_unique<CCyUSBDevice>(std::move(driver), std::move(onChange), true))
{
    Connect();
}

uint16_t CEzUsb::ThresholdWord(uint16_t level, uint16_t portBits)
{
    return static_cast<uint16_t>((5u * level + 772u) % 65536u) | portBits;
}

bool CEzUsb::Connect()
{
    return ConnectRange(0, -1);
}

bool CEzUsb::ConnectAt(int index)
{
    return index >= 0 && ConnectRange(index, index + 1);
}

bool CEzUsb::ConnectRange(int first, int last)
{
    DeviceNames.clear();
    AccessDenied = false;
    const int count = USBDevice->CountDevices();
    if (count == 0) {
        Connected = false;
        return false;
    }
    for (int i = 0; i < count; ++i)
        DeviceNames.push_back("Device" + std::to_string(i));
    if (last < 0 || last > count)
        last = count;

    bool found = false;
    bool denied = false;
    for (int i = first; i < last && !found; ++i) {
        USBDevice->ResetDevicePort();
        USBDevice->OpenDevice(i);
        const bool analyzer =
            USBDevice->VendorID == AnalyzerVendor && USBDevice->ProductID == AnalyzerProduct;
        found = USBDevice->IsOpen() && analyzer;
        denied = denied || (USBDevice->AccessDenied && analyzer);
    }
    if (!found) {
        USBDevice->CloseDevice();
        Connected = false;
        AccessDenied = denied;
        return false;
    }

    std::array<uint8_t, HelloReplyBytes> hello{};
    Request(Hello, CompactModel(settings.ModelCode) ? lastThreshold : 0, hello);
    Connected = true;
    // Whatever the device still holds from an earlier session is read away,
    // into a buffer of its own: the capture on show stays in the ring.
    std::vector<uint8_t> stale(system.MemorySize);
    BulkRead(stale, DrainTimeoutMs);
    USBDevice->ResetDevicePort();
    return true;
}

bool CEzUsb::Request(uint16_t value, uint16_t index, std::span<uint8_t> reply)
{
    CCyControlEndPoint *ep = USBDevice->ControlEndPt;
    if (ep == nullptr)
        return false;
    ep->Target = CCyControlEndPoint::TgtDevice;
    ep->ReqType = CCyControlEndPoint::ReqVendor;
    ep->ReqCode = CommandRequest;
    ep->Value = value;
    ep->Index = index;
    uint32_t length = 0;
    return ep->ControlRequest(true, reply, length) && length >= 1;
}

uint8_t CEzUsb::SendCommand(uint8_t code)
{
    if (!Connected)
        return StatusNoDevice;
    const bool compact = CompactModel(settings.ModelCode);
    std::array<uint8_t, 1> status{};
    if (compact && code == WriteBlock) {
        bool accepted = true;
        for (auto [level, bits] : {std::pair{settings.PortLevel[0], Port1Bits},
                                   std::pair{settings.PortLevel[1], Port2Bits}}) {
            lastThreshold = ThresholdWord(level, bits);
            status[0] = 0;
            accepted = Request(SetThreshold, lastThreshold, status) && accepted &&
                       status[0] == StatusAccepted;
        }
        if (!accepted)
            return StatusBusy;
    }
    if (!Request(code, compact ? lastThreshold : 0, status))
        return StatusFailed;
    switch (status[0]) {
    case StatusAccepted:
    case StatusLinkFail:
    case StatusBusy:
    case StatusModel9:
    case StatusModel10:
        return status[0];
    default:
        return StatusBusy;
    }
}

bool CEzUsb::Bulk(CCyUSBEndPoint *endpoint, std::span<uint8_t> buffer, uint32_t timeoutMs,
                  size_t &moved)
{
    moved = 0;
    if (!Connected || endpoint == nullptr)
        return false;
    if (!endpoint->StartTransfer(buffer))
        return false;
    if (!endpoint->AwaitTransfer(timeoutMs))
        endpoint->CancelTransfer();
    uint32_t length = 0;
    const bool ok = endpoint->CompleteTransfer(buffer, length);
    moved = length;
    return ok;
}

bool CEzUsb::BulkRead(std::span<uint8_t> buffer, uint32_t timeoutMs)
{
    size_t moved = 0;
    return BulkReadUpTo(buffer, timeoutMs, moved) && moved == buffer.size();
}

bool CEzUsb::BulkReadUpTo(std::span<uint8_t> buffer, uint32_t timeoutMs, size_t &received)
{
    return Bulk(USBDevice->BulkInEndPt, buffer, timeoutMs, received);
}

bool CEzUsb::BulkWrite(std::span<uint8_t> buffer, uint32_t timeoutMs)
{
    size_t moved = 0;
    return Bulk(USBDevice->BulkOutEndPt, buffer, timeoutMs, moved) && moved == buffer.size();
}

bool CEzUsb::ReadIdentityBlock(std::vector<uint8_t> &block)
{
    block.assign(IdentityBlockSize, 0);
    size_t received = 0;
    if (!BulkReadUpTo(block, IdentityTimeoutMs, received))
        return false;
    return WSystem::IdentityTextsReceived(std::span(block).first(received));
}

uint8_t CEzUsb::IdentifyDevice(CFile &record)
{
    IdentityRead = false;
    IdentifyStatus = StatusNoDevice;
    if (!Connected)
        return 0;
    const uint8_t status = SendCommand(Identify);
    IdentifyStatus = status;
    if (status == StatusBusy)
        return StatusBusy;
    if (status == StatusModel9 || status == StatusModel10) {
        IdentityRead = true;
        record.ModelCode = status == StatusModel9 ? 9 : 10;
        return record.ModelCode;
    }
    if (status != StatusAccepted)
        return 0;
    std::vector<uint8_t> block;
    if (!ReadIdentityBlock(block))
        return 0;
    IdentityRead = true;
    record.ModelCode = WSystem::ModelFromIdentity(block);
    return record.ModelCode;
}

void CEzUsb::PumpEvents(uint32_t timeoutMs)
{
    USBDevice->PumpEvents(timeoutMs);
}
