#pragma once

#include "device/CCyControlEndPoint.h"
#include "device/CCyUSBConfig.h"
#include "device/CCyUSBEndPoint.h"
#include "device/UsbDriver.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The analyzer's USB device as the program sees it: counting and opening by
// index, the descriptors and the configuration/interface/endpoint tree, the
// seven endpoint references of the selected interface, port reset, and the
// two device-change events (an analyzer may have arrived; the open one was
// removed), delivered from PumpEvents on the caller's thread.
class CCyUSBDevice
{
public:
    enum class Change { Arrived, Removed };
    using ChangeHandler = std::function<void(Change)>;

    static constexpr size_t MaxConfigs = 2;
    static constexpr uint32_t MinDirectDriverVersion = 0x01050500;

    // With a handler, registers for device changes; with `openNow`, opens
    // device 0.
    CCyUSBDevice(std::unique_ptr<UsbDriver> driver, ChangeHandler handler, bool openNow);
    // Closes the device and stops the change reports (errors are swallowed
    // here; call CloseDevice first to see them).
    ~CCyUSBDevice();
    CCyUSBDevice(const CCyUSBDevice &) = delete;
    CCyUSBDevice &operator=(const CCyUSBDevice &) = delete;

    uint8_t CountDevices();
    bool OpenDevice(int index);
    // Throws std::runtime_error with the driver's text when the handle cannot
    // be released.
    void CloseDevice();
    bool IsOpen() const { return Handle != nullptr; }
    bool ResetDevicePort();
    // Delivers transfer completions and device changes, waiting at most
    // `timeoutMs` for the first.
    void PumpEvents(uint32_t timeoutMs);

    UsbDriver &Driver() { return *driverImpl; }
    int OpenIndex() const { return openIndex; }

    // The last OpenDevice found the device but the system does not let this
    // user open it; VendorID and ProductID then hold the IDs it is listed with.
    bool AccessDenied = false;
    uint16_t VendorID = 0;
    uint16_t ProductID = 0;
    uint8_t DevClass = 0;
    uint8_t DevSubClass = 0;
    uint8_t DevProtocol = 0;
    uint8_t MaxPacketSize = 0;
    uint16_t BcdUSB = 0;
    uint8_t ConfigCount = 0;
    uint16_t StrLangID = 0;
    std::string Manufacturer;
    std::string Product;
    std::string SerialNumber;
    uint32_t DriverVersion = 0;
    uint32_t USBDIVersion = 0;
    uint8_t USBAddress = 0;
    std::string FriendlyName;
    std::string DeviceName;
    std::vector<std::vector<uint8_t>> ConfigDescriptors;
    std::vector<std::unique_ptr<CCyUSBConfig>> Configs;
    uint8_t ConfigIndex = 0;
    uint8_t IntfcIndex = 0;
    uint8_t AltSetting = 0;

    // The seven endpoint references (none when the interface lacks them).
    CCyControlEndPoint *ControlEndPt = nullptr;
    CCyUSBEndPoint *IsocInEndPt = nullptr;
    CCyUSBEndPoint *IsocOutEndPt = nullptr;
    CCyUSBEndPoint *BulkInEndPt = nullptr;
    CCyUSBEndPoint *BulkOutEndPt = nullptr;
    CCyUSBEndPoint *InterruptInEndPt = nullptr;
    CCyUSBEndPoint *InterruptOutEndPt = nullptr;

    static constexpr const char *CloseNotificationError =
        "Failed to close the handle notification handle.";
    static constexpr const char *CloseHandleError = "Failed to close handle to driver.";
    static constexpr const char *CloseDeviceNotificationError =
        "Failed to close the device notification handle.";

private:
    bool ReadDescriptors();
    bool GetDescriptor(uint16_t value, uint16_t index, std::span<uint8_t> buffer, uint32_t &length);
    std::string ReadString(uint8_t stringIndex);
    uint32_t RequestWord(uint32_t code);
    std::string RequestText(uint32_t code);
    void SelectInterface();
    void ReleaseTree();
    void OnDriverEvent(UsbDriver::Event event);

    std::unique_ptr<UsbDriver> driverImpl;
    ChangeHandler handler;
    bool eventsRegistered = false;
    std::unique_ptr<UsbDriverHandle> Handle;
    std::unique_ptr<CCyControlEndPoint> control;
    int openIndex = -1;
    bool removalReported = false;
};
