#pragma once

#include <cstdint>
#include <functional>

class CEzUsb;
class CFile;
class WSystem;

// Import and Export: the settings block and the whole sample memory read
// from, or written to, the instrument over the command channel.
//
// An import is all or nothing: the block and the samples are read into
// buffers of their own and only a block that passes its checks together with
// a whole sample memory replace the record, the model and the samples, so a
// busy, unlinked, timed-out, short or unplugged transfer leaves the running
// program's record and capture exactly as they were. An export changes
// nothing on the host but the record's block buffer (BuildBlock).
//
// Cost: an import holds a second sample memory (up to 4 MiB) while it reads.
// The waits between requests (10 ms, 50 ms) go through `wait`, so that tests
// do not sleep; every bulk transfer is bounded by its time-out.
class DeviceTransfer
{
public:
    static constexpr int SampleAttempts = 500;
    static constexpr uint32_t BlockTimeoutMs = 100;
    static constexpr uint32_t SamplesTimeoutMs = 1000;

    enum class Outcome {
        Imported,      // "Data import succeed."
        Exported,      // "Data export succeed."
        StatusRefused, // CheckReady did not answer 0x10: `status` says what it was
        NotSupported,  // the attached model is 3..8
        WrongModel,    // (export) the attached analyzer is another model
        Busy,          // the block request answered 0xE0
        NotLinking,    // the block request answered 0x35
        NoData,        // the block or the samples did not arrive: "Can't not get data from device."
        BlockRefused,  // the block request answered another status: the same text, its own key
        NotExported,   // "Can't not export to device."
    };

    struct Result
    {
        Outcome outcome = Outcome::NoData;
        uint8_t status = 0;        // the refused status of CheckReady
        int attempts = 0;          // sample requests made
        bool modelChanged = false; // (import) the attached model was taken over
        bool portReset = false;
    };

    DeviceTransfer(CEzUsb &link, std::function<void(int ms)> wait);

    Result Import(CFile &settings, WSystem &system);
    Result Export(CFile &settings, WSystem &system);

private:
    // CheckReady and the attached model; false (with `result` set) when the
    // command must stop. `model` is the attached model, or -1 when unknown.
    bool CheckDevice(Result &result, int &model);
    void ResetPort(Result &result);

    CEzUsb &usb;
    std::function<void(int ms)> pause;
};
