#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class CCaptureRecord;
class CEzUsb;
class CFile;
class WSystem;

// Gathermoor's capture sequence over the analyzer's command channel, with the
// settings block and trigger search the analyzer program uses:
//   Start  Identify + identity block (the model and its set-up), the
//          pre/post-trigger bytes, StopCapture, CheckReady, WriteBlock + the
//          settings block, StartCapture
//   Poll   ReadBlock until the block says the capture is done, then
//          ReadSamples + the whole sample memory, StopCapture, the trigger
//          address refined by the trigger search
// Start returns at once; the caller polls from a timer until the capture is
// finished, so the window stays alive while the analyzer waits for its
// trigger (a block is never read before the device says it is complete).
// Every device wait is bounded by the channel's time-outs. Qt-free.
class CGatherCapture
{
public:
    enum class Outcome {
        Waiting,  // the analyzer is capturing: Poll again
        Captured, // Memory() and TriggerAddress hold the capture
        Failed,   // stopped; Message says why when there is something to say
        NoDevice, // no analyzer connected
    };

    static constexpr uint32_t BlockTimeoutMs = 100;
    static constexpr uint32_t SamplesTimeoutMs = 1000;
    // Requests of a command the analyzer answers busy before it is given up.
    static constexpr int BusyAttempts = 50;
    // Blocks that fail their check in a row before the capture is given up.
    static constexpr int DamagedBlockLimit = 100;

    CGatherCapture(WSystem &system, CFile &record, CCaptureRecord &placement);

    void SetLink(CEzUsb *link) { EzUsb = link; }
    CEzUsb *Link() const { return EzUsb; }

    // The model an identity block's model text names (1..8 for the analyzers
    // this sequence serves, 9 for the compact model it does not), 0 when none.
    static int ModelOfText(std::string_view modelText);

    // Steps up to StartCapture. `reload` runs once the device answered the
    // identity command (the window loads the parameter file's paths again).
    Outcome Start(const std::function<void()> &reload = {});
    Outcome Poll();
    // Ends a capture that is still running (StopCapture).
    void Abandon();

    bool Capturing() const { return capturing; }
    uint32_t TriggerAddress = 0;
    std::string Message; // "Linking fail." after a link failure
    // The short pauses the device needs between commands (tests turn them off).
    bool Pauses = true;

private:
    // A command, asked again while the analyzer answers busy (at most
    // BusyAttempts requests, 10 ms apart).
    uint8_t Command(uint8_t code);
    Outcome Fail(std::string message = {});
    Outcome ReadOut();
    void Pause(int ms) const;
    void ResetPort();

    WSystem &sys;
    CFile &file;
    CCaptureRecord &record;
    CEzUsb *EzUsb = nullptr;
    bool capturing = false;
    int damagedBlocks = 0;
};
