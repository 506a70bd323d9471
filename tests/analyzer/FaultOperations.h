#pragma once

// The device operations of the fault matrix: for each, the requests it sends
// to the analyzer, what every injected fault at each of them must lead to, and
// the driver that starts the operation on a bench and runs it until it is
// over. The faults are TRACEMOOR_DEVICE items of the emulated analyzer.

#include "AcquisitionBench.h"

#include "analyzer/AboutIdentity.h"
#include "files/DeviceTransfer.h"
#include "gather/CGatherCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace FaultOperations {

enum class Outcome {
    NotApplicable,  // the request moves no data of this kind
    GoesOn,         // no message: the capture comes (the analyzer connects, its identity reads)
    EndsQuietly,    // the run ends without a message
    LinkFail,       // "Linking fail."
    NoDevice,       // "No device connected."
    DeviceWrong,    // "Version is wrong." and the model selection
    ProcessingFail, // "Processing fail."
    NotConnected,   // the analyzer is not connected afterwards (no message)
    NoIdentity,     // the About box shows "None"
    Busy,           // "Tracemoor is busy."
    NotLinking,     // "Tracemoor is not linking."
    NoData,         // "Can't not get data from device."
    NotExported,    // "Can't not export to device."
    GatherNoDevice, // Gathermoor's "Device is not connected.Please connect the device with PC."
};

inline const char *Text(Outcome o)
{
    switch (o) {
    case Outcome::NotApplicable:
        return "—";
    case Outcome::GoesOn:
        return "goes on";
    case Outcome::EndsQuietly:
        return "ends, no message";
    case Outcome::LinkFail:
        return "\"Linking fail.\"";
    case Outcome::NoDevice:
        return "\"No device connected.\"";
    case Outcome::DeviceWrong:
        return "\"Version is wrong.\"";
    case Outcome::ProcessingFail:
        return "\"Processing fail.\"";
    case Outcome::NotConnected:
        return "not connected";
    case Outcome::NoIdentity:
        return "\"None\"";
    case Outcome::Busy:
        return "\"Tracemoor is busy.\"";
    case Outcome::NotLinking:
        return "\"Tracemoor is not linking.\"";
    case Outcome::NoData:
        return "\"Can't not get data from device.\"";
    case Outcome::NotExported:
        return "\"Can't not export to device.\"";
    case Outcome::GatherNoDevice:
        return "\"Device is not connected.Please connect the device with PC.\"";
    }
    return "?";
}

// What each fault at one request leads to.
struct Expect
{
    Outcome busy, linkFail, otherStatus, failedRequest, timeout, shortRead, lateAbort, corrupt,
        unplug;
};

// The faults, as TRACEMOOR_DEVICE items for command C.
struct Fault
{
    const char *name;
    const char *item; // "%" stands for the command
    Outcome Expect::*expected;
};

inline const std::vector<Fault> &Faults()
{
    static const std::vector<Fault> faults{
        {"busy", "answer=%:0xE0*3", &Expect::busy},
        {"link failure", "linkfail=%*1", &Expect::linkFail},
        {"other status", "answer=%:0x20*1", &Expect::otherStatus},
        {"failed request", "stall=%*1", &Expect::failedRequest},
        {"bulk time-out", "timeout=%*1", &Expect::timeout},
        {"short read", "short=%*1", &Expect::shortRead},
        {"late abort", "lateabort=%*1", &Expect::lateAbort},
        {"corrupted block", "corrupt=1", &Expect::corrupt},
        {"unplug", "unplug=%", &Expect::unplug},
    };
    return faults;
}

inline constexpr auto NA = Outcome::NotApplicable;
inline constexpr auto On = Outcome::GoesOn;

// A request of the capture sequence that must be accepted (and its data
// moved) before the sequence goes on.
constexpr Expect Request(Outcome timeout, Outcome shortRead, Outcome lateAbort,
                         Outcome corrupt = NA)
{
    return {On,        Outcome::LinkFail, On,      Outcome::EndsQuietly, timeout,
            shortRead, lateAbort,         corrupt, Outcome::NoDevice};
}
// The identity check before the settings go out: only an identity that was
// read and names another model opens the model selection; one that did not
// come keeps the set-up and the capture (a late block is asked for again on
// the next tick of a run, and ends Auto Scale).
constexpr Expect IdentityCheck(Outcome lateBlock)
{
    return {On, Outcome::LinkFail, On, Outcome::EndsQuietly, lateBlock,
            On, lateBlock,         NA, Outcome::NoDevice};
}
// StopCapture before the settings: its status does not matter.
inline constexpr Expect StopFirst{On, On, On, On, NA, NA, NA, NA, Outcome::NoDevice};

// CheckReady before Import or Export: a refused status goes the way of the
// acquisition's (a busy device ends the command without a word).
inline constexpr Expect Refused{Outcome::EndsQuietly,
                                Outcome::LinkFail,
                                Outcome::EndsQuietly,
                                Outcome::EndsQuietly,
                                NA,
                                NA,
                                NA,
                                NA,
                                Outcome::NoDevice};
// The block request of Import or Export and the bulk transfer after it.
constexpr Expect Transfer(Outcome failed, Outcome read = Outcome::NoData)
{
    return {Outcome::Busy, Outcome::NotLinking, Outcome::Busy, failed, failed, read, read, NA,
            failed};
}
inline constexpr auto Q = Outcome::EndsQuietly;
inline constexpr auto L = Outcome::LinkFail;
inline constexpr auto G = Outcome::GatherNoDevice;

struct Step
{
    const char *command; // as TRACEMOOR_DEVICE names it
    Expect expect;
};

class FaultBench;

struct Operation
{
    const char *name;
    std::vector<Step> steps;
    // Starts the operation and drives it until it is over (or, for a
    // repeated run, until it has shown one capture); returns what it did when
    // there was no message.
    Outcome (*run)(FaultBench &);
    bool keepsTrigger = true; // Auto Scale takes the device's settings
    // A run clears the trigger-found state when it starts (the ring keeps
    // the capture; the view draws no rows until the next one).
    bool startsRun = true;
    int model = 3; // 512 KiB: the smallest memory to read
    // Gathermoor reads the samples into its working memory and writes its
    // data file only from a whole capture: the ring is not what must survive.
    bool replacesRing = false;
};

inline constexpr int TickLimit = 400;
// The longest the emulated time-outs of one operation may add up to.
inline constexpr uint64_t WaitBudgetMs = 3000;

class FaultBench : public AcquisitionBench
{
public:
    explicit FaultBench(int model)
        : AcquisitionBench(model, "model=" + std::to_string(model))
    {
        // The model selection keeps the model (its OK button).
        window.onChooseModel = [this] {
            settings.ModelCode = static_cast<uint8_t>(system.ModelCode);
            settings.ResetSettings();
        };
        window.listEveryChannel = true;
        SetCounterTrigger();
    }

    int TicksUsed = 0;

    // Ticks until the run is over or has shown one more capture.
    Outcome RunToCapture()
    {
        const int before = window.captures;
        for (; TicksUsed < TickLimit && window.captures == before &&
               (window.TimerEnabled(AcquisitionWindow::Timer::Timer1) ||
                window.TimerEnabled(AcquisitionWindow::Timer::Timer2));
             ++TicksUsed)
            Tick(1);
        const bool captured = window.captures > before;
        if (acquisition->Running)
            acquisition->Stop();
        return captured ? Outcome::GoesOn : Outcome::EndsQuietly;
    }
};

// What Import and Export tell the user, as the file commands do: a refused
// status and another model go the acquisition's way, the rest are their own
// messages.
inline Outcome FromTransfer(FaultBench &b, const DeviceTransfer::Result &r, Outcome failed)
{
    using T = DeviceTransfer::Outcome;
    switch (r.outcome) {
    case T::Imported:
    case T::Exported:
        return Outcome::GoesOn;
    case T::StatusRefused:
        b.acquisition->ReportStatus(r.status);
        b.link->PumpEvents(); // a removal behind a failed request shows now
        return Outcome::EndsQuietly;
    case T::WrongModel:
        b.acquisition->ModelMismatch();
        return Outcome::DeviceWrong;
    case T::Busy:
        return Outcome::Busy;
    case T::NotLinking:
        return Outcome::NotLinking;
    default:
        return failed;
    }
}

// Gathermoor's capture over the bench's channel, polled as its timer does;
// the outcome as its control tells it (the data file is written only from a
// capture that ended Captured).
inline Outcome GatherCapture(FaultBench &b)
{
    CGatherCapture capture(b.system, b.settings, *b.record);
    capture.Pauses = false;
    capture.SetLink(b.link.get());
    CGatherCapture::Outcome o = capture.Start();
    for (; o == CGatherCapture::Outcome::Waiting && b.TicksUsed < TickLimit; ++b.TicksUsed)
        o = capture.Poll();
    capture.Abandon();
    b.link->PumpEvents();
    if (o == CGatherCapture::Outcome::Captured)
        return Outcome::GoesOn;
    if (o == CGatherCapture::Outcome::NoDevice || !b.link->Connected)
        return Outcome::GatherNoDevice;
    return capture.Message == "Linking fail." ? Outcome::LinkFail : Outcome::EndsQuietly;
}

inline const std::vector<Operation> &Operations()
{
    const std::vector<Step> sequence{
        {"StopCapture", StopFirst},
        {"Identify", IdentityCheck(On)},
        {"WriteBlock", Request(On, NA, NA)},
        {"StartCapture", Request(NA, NA, NA)},
        {"ReadBlock", Request(On, On, On, On)},
        {"ReadSamples", Request(On, On, On)},
    };
    const auto run = [](FaultBench &b) {
        b.acquisition->Run();
        return b.RunToCapture();
    };
    static const std::vector<Operation> operations{
        {"Connect",
         {{"Hello", {On, On, On, On, On, On, On, NA, Outcome::NotConnected}}},
         [](FaultBench &b) {
             b.link->Connect();
             b.link->PumpEvents();
             return b.link->Connected ? Outcome::GoesOn : Outcome::NotConnected;
         },
         true,
         false},
        {"Identify",
         {{"Identify",
           {Outcome::NoIdentity, Outcome::NoIdentity, Outcome::NoIdentity, Outcome::NoIdentity,
            Outcome::NoIdentity, On, Outcome::NoIdentity, NA, Outcome::NoIdentity}}},
         [](FaultBench &b) {
             const AboutIdentity id = AboutIdentity::Read(*b.link);
             b.link->PumpEvents();
             return id.ModelText != AboutIdentity::NoModelText ? Outcome::GoesOn
                                                               : Outcome::NoIdentity;
         },
         true,
         false},
        {"Run", sequence, run},
        {"Single Run", sequence,
         [](FaultBench &b) {
             b.acquisition->SingleRun();
             return b.RunToCapture();
         }},
        {"Auto Scale",
         {{"CheckReady",
           {Outcome::EndsQuietly, Outcome::LinkFail, Outcome::EndsQuietly, Outcome::EndsQuietly, NA,
            NA, NA, NA, Outcome::NoDevice}},
          {"Identify", IdentityCheck(Outcome::EndsQuietly)},
          {"AutoScale", {On, On, On, On, NA, NA, NA, NA, Outcome::NoDevice}},
          {"ReadBlock", {On, On, On, On, On, On, On, On, Outcome::NoDevice}}},
         [](FaultBench &b) {
             b.acquisition->AutoScale();
             return b.RunToCapture();
         },
         false},
        {"Auto Store", sequence,
         [](FaultBench &b) {
             b.acquisition->ToggleAutoStore();
             b.acquisition->Run();
             const Outcome o = b.RunToCapture();
             // The earlier captures stay on the picture.
             EXPECT_TRUE(o != Outcome::GoesOn || b.window.lastClearKept);
             return o;
         }},
        // The compact models: thresholds before the run-parameter image, the
        // model named by the identity status, a short reply to ReadBlock.
        {"Run",
         {{"StopCapture", StopFirst},
          {"Identify",
           {On, Outcome::LinkFail, On, Outcome::EndsQuietly, On, On, On, NA, Outcome::NoDevice}},
          {"SetThreshold", {On, On, On, On, NA, NA, NA, NA, Outcome::NoDevice}},
          {"WriteBlock", Request(On, NA, NA)},
          {"StartCapture", Request(NA, NA, NA)},
          {"ReadBlock", Request(On, On, On)},
          {"ReadSamples", Request(On, On, On)}},
         run,
         true,
         true,
         9},
        {"Import",
         {{"CheckReady", Refused},
          {"Identify", {On, On, On, On, On, On, On, NA, Outcome::NoData}},
          {"ReadBlock", Transfer(Outcome::NoData)},
          {"ReadSamples", {On, On, On, On, On, On, On, NA, Outcome::NoData}}},
         [](FaultBench &b) {
             DeviceTransfer transfer(*b.link, {});
             return FromTransfer(b, transfer.Import(b.settings, b.system), Outcome::NoData);
         },
         true,
         false,
         1}, // the models 3..8 take no import or export
        {"Export",
         {{"CheckReady", Refused},
          {"Identify", {On, On, On, On, On, On, On, NA, Outcome::NotExported}},
          {"WriteBlock", Transfer(Outcome::NotExported, NA)},
          {"WriteSamples", {On, On, On, On, On, NA, NA, NA, Outcome::NotExported}}},
         [](FaultBench &b) {
             DeviceTransfer transfer(*b.link, {});
             return FromTransfer(b, transfer.Export(b.settings, b.system), Outcome::NotExported);
         },
         true,
         false,
         1},
        {"Gathermoor capture",
         {{"Identify", {On, Q, On, Q, Q, On, Q, NA, G}},
          {"StopCapture", {On, On, On, On, NA, NA, NA, NA, G}},
          {"CheckReady", {On, L, On, On, NA, NA, NA, NA, G}},
          {"WriteBlock", {On, Q, On, Q, Q, NA, NA, NA, G}},
          {"StartCapture", {On, L, On, Q, NA, NA, NA, NA, G}},
          {"ReadBlock", {On, L, On, Q, Q, Q, Q, On, G}},
          {"ReadSamples", {On, L, On, Q, Q, Q, Q, NA, G}}},
         GatherCapture,
         true,
         false,
         3,
         true},
    };
    return operations;
}

} // namespace FaultOperations
