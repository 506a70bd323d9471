#include "device/CCyUSBDevice.h"

#include "device/DriverRequestBlock.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace {
constexpr uint8_t GetDescriptorRequest = 6;
constexpr uint16_t DeviceDescriptor = 0x0100;
constexpr uint16_t ConfigDescriptor = 0x0200;
constexpr uint16_t StringDescriptor = 0x0300;
constexpr uint16_t EnglishUs = 0x0409;
constexpr size_t TextBytes = 256;
} // namespace

CCyUSBDevice::CCyUSBDevice(std::unique_ptr<UsbDriver> driver, ChangeHandler changeHandler,
                           bool openNow)
    : driverImpl(std::move(driver))
    , handler(std::move(changeHandler))
{
    if (handler)
        eventsRegistered =
            driverImpl->RegisterEvents([this](UsbDriver::Event e) { OnDriverEvent(e); });
    if (openNow)
        OpenDevice(0);
}

CCyUSBDevice::~CCyUSBDevice()
{
    try {
        CloseDevice();
    } catch (const std::runtime_error &) {
        // Nothing more can be done for a handle the driver will not release.
    }
    if (eventsRegistered)
        driverImpl->UnregisterEvents();
}

uint8_t CCyUSBDevice::CountDevices()
{
    return static_cast<uint8_t>(std::clamp(driverImpl->CountDevices(), 0, 255));
}

bool CCyUSBDevice::OpenDevice(int index)
{
    CloseDevice();
    AccessDenied = false;
    if (index < 0 || index >= CountDevices())
        return false;
    Handle = driverImpl->Open(index);
    if (!Handle) {
        const UsbDriver::OpenFailure &failure = driverImpl->LastOpenFailure();
        AccessDenied = failure.AccessDenied;
        if (AccessDenied) {
            VendorID = failure.VendorId;
            ProductID = failure.ProductId;
        }
        return false;
    }
    openIndex = index;
    removalReported = false;
    if (!ReadDescriptors()) {
        CloseDevice();
        return false;
    }
    return true;
}

bool CCyUSBDevice::GetDescriptor(uint16_t value, uint16_t index, std::span<uint8_t> buffer,
                                 uint32_t &length)
{
    CCyControlEndPoint &ep = *control;
    ep.Target = CCyControlEndPoint::TgtDevice;
    ep.ReqType = CCyControlEndPoint::ReqStd;
    ep.ReqCode = GetDescriptorRequest;
    ep.Value = value;
    ep.Index = index;
    const bool ok = ep.ControlRequest(true, buffer, length);
    ep.ReqType = CCyControlEndPoint::ReqVendor;
    return ok;
}

std::string CCyUSBDevice::ReadString(uint8_t stringIndex)
{
    if (stringIndex == 0)
        return {};
    std::array<uint8_t, 255> raw{};
    uint32_t length = 0;
    const uint16_t value = static_cast<uint16_t>(StringDescriptor | stringIndex);
    if (!GetDescriptor(value, StrLangID, std::span(raw).first(2), length) || length < 2)
        return {};
    const size_t total = std::min<size_t>(raw[0], raw.size());
    if (total < 2 || !GetDescriptor(value, StrLangID, std::span(raw).first(total), length))
        return {};
    std::string text;
    for (size_t at = 2; at + 1 < std::min<size_t>(length, total); at += 2) {
        const unsigned code = raw[at] | raw[at + 1] << 8;
        text.push_back(code < 0x80 ? static_cast<char>(code) : '?');
    }
    return text;
}

uint32_t CCyUSBDevice::RequestWord(uint32_t code)
{
    std::array<uint8_t, 4> out{};
    uint32_t returned = 0;
    if (!Handle->Request(code, {}, out, returned) || returned < out.size())
        return 0;
    return uint32_t{out[0]} | uint32_t{out[1]} << 8 | uint32_t{out[2]} << 16 |
           uint32_t{out[3]} << 24;
}

std::string CCyUSBDevice::RequestText(uint32_t code)
{
    std::array<uint8_t, TextBytes> out{};
    uint32_t returned = 0;
    if (!Handle->Request(code, {}, out, returned))
        return {};
    const auto used = std::span(out).first(std::min<size_t>(returned, out.size()));
    const auto end = std::find(used.begin(), used.end(), uint8_t{0});
    return std::string(used.begin(), end);
}

bool CCyUSBDevice::ReadDescriptors()
{
    control = std::make_unique<CCyControlEndPoint>(Handle.get(), 64);
    ControlEndPt = control.get();

    std::array<uint8_t, 18> device{};
    uint32_t length = 0;
    if (!GetDescriptor(DeviceDescriptor, 0, device, length) || length < device.size())
        return false;
    BcdUSB = static_cast<uint16_t>(device[2] | device[3] << 8);
    DevClass = device[4];
    DevSubClass = device[5];
    DevProtocol = device[6];
    MaxPacketSize = device[7];
    VendorID = static_cast<uint16_t>(device[8] | device[9] << 8);
    ProductID = static_cast<uint16_t>(device[10] | device[11] << 8);
    ConfigCount = device[17];

    // The language: the first one listed, English (US) when it is among them.
    std::array<uint8_t, 255> langs{};
    StrLangID = 0;
    if (GetDescriptor(StringDescriptor, 0, std::span(langs).first(2), length) && length == 2) {
        const size_t total = std::min<size_t>(langs[0], langs.size());
        if (total >= 4 &&
            GetDescriptor(StringDescriptor, 0, std::span(langs).first(total), length)) {
            for (size_t at = 2; at + 1 < std::min<size_t>(length, total); at += 2) {
                const uint16_t id = static_cast<uint16_t>(langs[at] | langs[at + 1] << 8);
                if (at == 2 || id == EnglishUs)
                    StrLangID = id;
            }
        }
    }
    Manufacturer = ReadString(device[14]);
    Product = ReadString(device[15]);
    SerialNumber = ReadString(device[16]);

    std::array<uint8_t, 1> address{};
    uint32_t returned = 0;
    USBAddress = Handle->Request(DriverCode::GetAddress, {}, address, returned) && returned == 1
                     ? address[0]
                     : 0;
    FriendlyName = RequestText(DriverCode::GetFriendlyName);
    DeviceName = RequestText(DriverCode::GetDeviceName);
    DriverVersion = RequestWord(DriverCode::GetDriverVersion);
    USBDIVersion = RequestWord(DriverCode::GetUsbdiVersion);

    for (uint8_t i = 0; i < std::min<size_t>(ConfigCount, MaxConfigs); ++i) {
        std::array<uint8_t, 9> head{};
        const uint16_t value = static_cast<uint16_t>(ConfigDescriptor | i);
        if (!GetDescriptor(value, 0, head, length) || length < head.size())
            continue;
        const uint16_t total = static_cast<uint16_t>(head[2] | head[3] << 8);
        std::vector<uint8_t> whole(std::max<uint16_t>(total, 9));
        if (!GetDescriptor(value, 0, whole, length))
            continue;
        whole.resize(length);
        Configs.push_back(std::make_unique<CCyUSBConfig>(Handle.get(), whole));
        ConfigDescriptors.push_back(std::move(whole));
    }
    control = std::make_unique<CCyControlEndPoint>(Handle.get(), MaxPacketSize);
    ControlEndPt = control.get();
    SelectInterface();
    return true;
}

void CCyUSBDevice::SelectInterface()
{
    ConfigIndex = 0;
    IntfcIndex = 0;
    std::array<uint8_t, 1> alt{};
    uint32_t returned = 0;
    AltSetting = Handle->Request(DriverCode::GetAltInterface, {}, alt, returned) && returned == 1
                     ? alt[0]
                     : 0;
    if (Configs.empty())
        return;
    CCyUSBInterface *chosen = nullptr;
    for (const auto &intfc : Configs[0]->Interfaces) {
        if (intfc->bInterfaceNumber == 0 && intfc->bAlternateSetting == AltSetting) {
            chosen = intfc.get();
            break;
        }
    }
    if (chosen == nullptr && !Configs[0]->Interfaces.empty())
        chosen = Configs[0]->Interfaces.front().get();
    if (chosen == nullptr)
        return;
    for (const auto &ep : chosen->EndPoints) {
        CCyUSBEndPoint **slot = nullptr;
        switch (ep->TransferType()) {
        case CCyUSBEndPoint::Isochronous:
            slot = ep->bIn ? &IsocInEndPt : &IsocOutEndPt;
            break;
        case CCyUSBEndPoint::Bulk:
            slot = ep->bIn ? &BulkInEndPt : &BulkOutEndPt;
            break;
        case CCyUSBEndPoint::Interrupt:
            slot = ep->bIn ? &InterruptInEndPt : &InterruptOutEndPt;
            break;
        default:
            break;
        }
        if (slot != nullptr && *slot == nullptr)
            *slot = ep.get();
    }
    if (DriverVersion < MinDirectDriverVersion) {
        for (CCyUSBEndPoint *ep : {IsocInEndPt, IsocOutEndPt, BulkInEndPt, BulkOutEndPt,
                                   InterruptInEndPt, InterruptOutEndPt}) {
            if (ep != nullptr)
                ep->DirectTransfer = false;
        }
    }
}

void CCyUSBDevice::ReleaseTree()
{
    ControlEndPt = nullptr;
    IsocInEndPt = IsocOutEndPt = nullptr;
    BulkInEndPt = BulkOutEndPt = nullptr;
    InterruptInEndPt = InterruptOutEndPt = nullptr;
    // Endpoints cancel what they still have in flight before the handle goes.
    Configs.clear();
    control.reset();
    ConfigDescriptors.clear();
    VendorID = ProductID = 0;
    DevClass = DevSubClass = DevProtocol = MaxPacketSize = 0;
    BcdUSB = 0;
    ConfigCount = 0;
    Manufacturer.clear();
    Product.clear();
    SerialNumber.clear();
    FriendlyName.clear();
    DeviceName.clear();
    DriverVersion = USBDIVersion = 0;
    USBAddress = 0;
}

void CCyUSBDevice::CloseDevice()
{
    ReleaseTree();
    if (!Handle)
        return;
    std::unique_ptr<UsbDriverHandle> closing = std::move(Handle);
    openIndex = -1;
    if (!closing->Close())
        throw std::runtime_error(CloseHandleError);
}

bool CCyUSBDevice::ResetDevicePort()
{
    if (!Handle)
        return false;
    uint32_t returned = 0;
    return Handle->Request(DriverCode::ResetParentPort, {}, {}, returned);
}

void CCyUSBDevice::PumpEvents(uint32_t timeoutMs)
{
    driverImpl->PumpEvents(timeoutMs);
}

void CCyUSBDevice::OnDriverEvent(UsbDriver::Event event)
{
    if (!handler)
        return;
    if (event == UsbDriver::Event::Arrived) {
        handler(Change::Arrived);
    } else if (Handle && !Handle->Present() && !removalReported) {
        removalReported = true;
        handler(Change::Removed);
    }
}
