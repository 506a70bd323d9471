#pragma once

#include "device/CCyUSBDevice.h"
#include "device/UsbDriver.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class CFile;
class WSystem;

// The command channel to the analyzer: one-byte commands in a vendor control
// request that answers one status byte, and the bulk transfers that follow an
// accepted command. The device never sends anything unasked.
class CEzUsb
{
public:
    // Status bytes.
    static constexpr uint8_t StatusFailed = 0x00; // the control transfer failed
    static constexpr uint8_t StatusAccepted = 0x10;
    static constexpr uint8_t StatusLinkFail = 0x35;
    static constexpr uint8_t StatusNoDevice = 0x36;
    static constexpr uint8_t StatusBusy = 0xE0;
    static constexpr uint8_t StatusModel9 = 0xF1;
    static constexpr uint8_t StatusModel10 = 0xF2;

    // Command codes.
    static constexpr uint8_t Hello = 0x00;
    static constexpr uint8_t AutoScale = 0x0A;
    static constexpr uint8_t CheckReady = 0x16;
    static constexpr uint8_t StartCapture = 0x70;
    static constexpr uint8_t StopCapture = 0x71;
    static constexpr uint8_t Identify = 0x80;
    static constexpr uint8_t ReadBlock = 0x81;
    static constexpr uint8_t ReadSamples = 0x82;
    static constexpr uint8_t WriteBlock = 0x88;
    static constexpr uint8_t WriteSamples = 0x89;
    static constexpr uint16_t SetThreshold = 0xA0; // wValue of a threshold request

    static constexpr uint8_t CommandRequest = 0x43;
    static constexpr uint16_t AnalyzerVendor = 0x04B4;
    static constexpr uint16_t AnalyzerProduct = 0x1010;
    static constexpr uint32_t DrainTimeoutMs = 500;
    static constexpr uint32_t IdentityTimeoutMs = 100;
    static constexpr size_t IdentityBlockSize = 1024;

    // Creates the device (opening device 0) and connects. `onChange` receives
    // the device-change events while PumpEvents runs; `driver` defaults to
    // the one TRACEMOOR_DEVICE selects.
    CEzUsb(CFile &record, WSystem &system, CCyUSBDevice::ChangeHandler onChange,
           std::unique_ptr<UsbDriver> driver = UsbDriver::FromEnvironment());

    // Finds the first analyzer (vendor 0x04B4, product 0x1010), greets it and
    // drains what it may still hold. Afterwards the caller restarts its
    // capture sequence at step 0. True when connected.
    bool Connect();
    // The same for device `index` of the driver alone (0-based, every device
    // counted): false when it is no analyzer or cannot be opened.
    bool ConnectAt(int index);
    // Sends a command and returns its status: 0x10, 0x35, 0xE0, 0xF1, 0xF2 as
    // the device said (any other byte becomes 0xE0), 0x36 when not connected,
    // 0 when the transfer failed. Models 9 and 10 get their two thresholds
    // before WriteBlock; a refused threshold gives 0xE0 and no command.
    uint8_t SendCommand(uint8_t code);
    // Moves exactly buffer.size() bytes; a late transfer is cancelled, a short
    // one counts as failed.
    bool BulkRead(std::span<uint8_t> buffer, uint32_t timeoutMs);
    bool BulkWrite(std::span<uint8_t> buffer, uint32_t timeoutMs);
    // Reads at most buffer.size() bytes: true when the transfer completed,
    // however short the device ended it; `received` says how many came (the
    // caller checks that the bytes it uses are among them).
    bool BulkReadUpTo(std::span<uint8_t> buffer, uint32_t timeoutMs, size_t &received);
    // The identity block after an accepted Identify, zero-filled past what
    // arrived. A device may end it early: it counts once its three texts
    // arrived whole (each with its closing zero byte).
    bool ReadIdentityBlock(std::vector<uint8_t> &block);
    // The model code the connected device names (stored in the record's
    // ModelCode), 0xE0 when it was busy, 0 when not connected or not known.
    // IdentityRead and IdentifyStatus tell a 0 that names no known model
    // apart from one where the identity never arrived.
    uint8_t IdentifyDevice(CFile &record);

    // Delivers device changes and transfer completions (call it from a timer).
    void PumpEvents(uint32_t timeoutMs = 0);
    CCyUSBDevice &Device() { return *USBDevice; }

    // The threshold request word: (5 x level + 772) mod 65536, OR the port bits.
    static uint16_t ThresholdWord(uint16_t level, uint16_t portBits);

    bool Connected = false;
    // Connect found an analyzer but the system does not let this user open
    // it (no udev rule for it yet): the cause to name instead of "no device".
    bool AccessDenied = false;
    bool ArrivalSeen = false;
    // The last IdentifyDevice got an identity from the device (a status that
    // names the model, or a whole identity block); otherwise IdentifyStatus
    // is the status of its Identify request (0x10 when only the block failed).
    bool IdentityRead = false;
    uint8_t IdentifyStatus = 0;
    std::vector<std::string> DeviceNames; // "Device0", "Device1", ...

private:
    // Opens the first analyzer among devices first .. last - 1 (last < 0: all).
    bool ConnectRange(int first, int last);
    // One command request; false when the transfer failed.
    bool Request(uint16_t value, uint16_t index, std::span<uint8_t> reply);
    bool Bulk(CCyUSBEndPoint *endpoint, std::span<uint8_t> buffer, uint32_t timeoutMs,
              size_t &moved);

    CFile &settings;
    WSystem &system;
    std::unique_ptr<CCyUSBDevice> USBDevice;
    uint16_t lastThreshold = 0;
};
