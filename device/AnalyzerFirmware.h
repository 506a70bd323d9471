#pragma once

#include "device/CFile.h"
#include "device/CaptureSettings.h"
#include "device/EmulatedCapture.h"
#include "device/EmulatorConfig.h"
#include "device/SignalScene.h"

#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <span>
#include <vector>

// The analyzer's firmware, in our own code: the USB descriptors, the
// standard requests, and the vendor command request (0x43) with its status
// bytes, the identity block, the settings block or run-parameter image, the
// thresholds, captures into a circular sample memory of the model's size, and
// the sample memory read and written in bulk. Faults are injected on request.
// Both the emulated driver and the umockdev harness drive it; it is used from
// one thread at a time.
class AnalyzerFirmware
{
public:
    static constexpr uint16_t VendorId = 0x04B4;
    static constexpr uint16_t ProductId = 0x1010;
    static constexpr uint16_t ForeignProductId = 0x1004; // another device of the vendor
    static constexpr uint8_t BulkOutEp = 0x02;
    static constexpr uint8_t BulkInEp = 0x86;
    static constexpr uint8_t CommandRequest = 0x43;
    static constexpr size_t IdentityBlockSize = 1024;
    static constexpr size_t ImageSize = 1024;

    // Status bytes.
    static constexpr uint8_t Accepted = 0x10;
    static constexpr uint8_t LinkFail = 0x35;
    static constexpr uint8_t Busy = 0xE0;
    static constexpr uint8_t IsModel9 = 0xF1;
    static constexpr uint8_t IsModel10 = 0xF2;

    enum class Outcome { Done, Stall, Nak, Gone };
    struct Reply
    {
        Outcome What = Outcome::Done;
        size_t Bytes = 0;
    };
    struct Setup
    {
        uint8_t bmRequestType = 0;
        uint8_t bRequest = 0;
        uint16_t wValue = 0;
        uint16_t wIndex = 0;
        uint16_t wLength = 0;
    };
    struct CommandRecord
    {
        uint16_t Value;
        uint16_t Index;
        uint8_t Status;
    };

    // `model` 1..10 for an analyzer; 0 gives a foreign device of the same
    // vendor that answers only the standard requests.
    AnalyzerFirmware(const EmulatorConfig &config, int model, int serial);

    // A control transfer on endpoint 0: `data` is the OUT data or the IN
    // buffer of wLength bytes; an IN reply says how many bytes it filled.
    Reply Control(const Setup &setup, std::span<uint8_t> data);
    // A bulk transfer; Nak leaves the host's transfer pending.
    Reply BulkIn(uint8_t endpoint, std::span<uint8_t> out);
    Reply BulkOut(uint8_t endpoint, std::span<const uint8_t> in);
    // The host reset the port: transfers in progress are forgotten.
    void ResetPort();
    // The host aborts the pending bulk read: true when the device answers the
    // abort late (the LateAbort fault), so that the read still completes.
    bool AnswersAbortLate();

    // Faults from now on, besides those still active (an unplug's request
    // count starts now); or none at all.
    void Inject(std::span<const EmulatorFault> more);
    void ClearFaults() { faults.clear(); }

    bool Attached() const { return attached; }
    void Unplug() { attached = false; }
    void Plug() { attached = true; }

    uint16_t Product() const { return productId; }
    int Model() const { return model; }
    // Device, configuration, interface and endpoint descriptors back to back.
    std::vector<uint8_t> Descriptors() const;
    std::vector<uint8_t> DeviceDescriptor() const;
    std::vector<uint8_t> ConfigDescriptor() const;
    std::vector<uint8_t> IdentityBlock() const;
    // Makes the device answer the identity command with `block` instead.
    void SetIdentityBlock(std::vector<uint8_t> block) { identityOverride = std::move(block); }

    // What the host has done, for tests.
    const std::vector<CommandRecord> &Commands() const { return commands; }
    // Long runs let the record of commands go now and then.
    void ForgetCommands() { commands.clear(); }
    std::span<const uint8_t> Memory() const { return memory; }
    std::span<uint8_t> Memory() { return memory; }
    const CaptureSettings &Settings() const { return settings; }
    const std::optional<EmulatedCapture::Result> &LastCapture() const { return capture; }
    uint16_t Threshold(int port) const { return thresholds[static_cast<size_t>(port & 1)]; }
    const CFile &Record() const { return record; }
    int CapturesStarted() const { return capturesStarted; }

private:
    enum class Expect { Nothing, Settings, Samples };
    enum class CaptureState { Idle, Running, Done };

    Reply Standard(const Setup &setup, std::span<uint8_t> data);
    Reply Vendor(const Setup &setup, std::span<uint8_t> data);
    uint8_t Execute(uint8_t code, uint16_t index);
    EmulatorFault *ActiveFault(EmulatorFault::Kind kind, int code);
    static void Use(EmulatorFault &fault);
    void Queue(std::span<const uint8_t> data);
    // Auto Scale: the time/div and rate rows that suit the inputs' activity.
    void ChooseTimeBase();
    void StartCapture();
    bool CaptureFinished();
    void TakeBlock(std::span<const uint8_t> block);
    void TakeImage(std::span<const uint8_t> image);
    std::vector<uint8_t> BlockReply();
    std::vector<uint8_t> ImageReply() const;

    std::vector<EmulatorFault> faults;
    int model;
    int serial;
    uint16_t productId;
    bool attached = true;
    ModelTable::ModelRow row;
    SignalScene scene;
    int pollsBeforeDone;
    std::mt19937 random;

    std::vector<uint8_t> memory;
    CFile record;
    bool blockFromHost = false; // the last WriteBlock carried a whole settings block
    CaptureSettings settings;
    std::array<uint16_t, 2> thresholds{};

    std::vector<uint8_t> inData;
    size_t inAt = 0;
    Expect expect = Expect::Nothing;
    size_t outAt = 0;
    enum class BulkFault { None, Timeout, Short, LateAbort } bulkFault = BulkFault::None;
    int shortBytes = -1; // bytes of a Short read, -1 for half

    CaptureState state = CaptureState::Idle;
    int pollsLeft = 0;
    std::optional<EmulatedCapture::Result> capture;
    uint32_t reportedEnd = 0;
    int capturesStarted = 0;
    std::map<int, int> seen; // requests per command code
    std::vector<CommandRecord> commands;
    std::vector<uint8_t> identityOverride;
};
