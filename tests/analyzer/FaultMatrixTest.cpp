// Every fault the emulated analyzer injects, at every request of every
// device operation: the operation ends within its time-outs with the message
// it owes the user, the last good capture and the settings record survive,
// and once the fault is gone (and the analyzer plugged back) the next run
// captures again.
//
// An operation is one entry of Operations() with the requests it sends and
// what each fault there must lead to; the cases are every fault at every
// request. With TRACEMOOR_FAULT_TABLE naming a file, the suite writes the
// outcomes it saw into that file, between the two marker lines (run the whole
// suite):
//   TRACEMOOR_FAULT_TABLE=$PWD/docs/reliability.md build/tests/tests_analyzer
//     --gtest_filter='Faults/FaultMatrix.*'

#include "AcquisitionBench.h"

#include "analyzer/AboutIdentity.h"
#include "device/UsbDriverIo.h"
#include "files/DeviceTransfer.h"
#include "gather/CGatherCapture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace {

using Warning = AcquisitionWindow::Warning;

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

const char *Text(Outcome o)
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

const std::vector<Fault> &Faults()
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

constexpr auto NA = Outcome::NotApplicable;
constexpr auto On = Outcome::GoesOn;

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
constexpr Expect StopFirst{On, On, On, On, NA, NA, NA, NA, Outcome::NoDevice};

// CheckReady before Import or Export: a refused status goes the way of the
// acquisition's (a busy device ends the command without a word).
constexpr Expect Refused{Outcome::EndsQuietly,
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
constexpr auto Q = Outcome::EndsQuietly;
constexpr auto L = Outcome::LinkFail;
constexpr auto G = Outcome::GatherNoDevice;

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

constexpr int TickLimit = 400;
// The longest the emulated time-outs of one operation may add up to.
constexpr uint64_t WaitBudgetMs = 3000;

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
Outcome FromTransfer(FaultBench &b, const DeviceTransfer::Result &r, Outcome failed)
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
Outcome GatherCapture(FaultBench &b)
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

const std::vector<Operation> &Operations()
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

struct Case
{
    size_t operation, step, fault;
    const Operation &Op() const { return Operations()[operation]; }
    const Step &StepOf() const { return Op().steps[step]; }
    const Fault &FaultOf() const { return Faults()[fault]; }
    Outcome Expected() const { return StepOf().expect.*FaultOf().expected; }
    std::string Item() const
    {
        std::string item = FaultOf().item;
        if (const size_t at = item.find('%'); at != std::string::npos)
            item.replace(at, 1, StepOf().command);
        return item;
    }
};

std::vector<Case> Cases()
{
    std::vector<Case> cases;
    for (size_t o = 0; o < Operations().size(); ++o)
        for (size_t s = 0; s < Operations()[o].steps.size(); ++s)
            for (size_t f = 0; f < Faults().size(); ++f) {
                const Case c{o, s, f};
                if (c.Expected() != Outcome::NotApplicable)
                    cases.push_back(c);
            }
    return cases;
}

Outcome FromWarnings(const std::vector<Warning> &warnings, Outcome quiet)
{
    if (warnings.empty())
        return quiet;
    switch (warnings.front()) {
    case Warning::LinkFail:
        return Outcome::LinkFail;
    case Warning::NoDevice:
        return Outcome::NoDevice;
    case Warning::DeviceWrong:
        return Outcome::DeviceWrong;
    case Warning::ProcessingFail:
        return Outcome::ProcessingFail;
    case Warning::NoAccess:
        break;
    }
    return quiet;
}

// The record builds a block that loads back into the same record.
bool RecordConsistent(const CFile &settings, int model)
{
    CFile built = settings;
    built.BuildBlock();
    CFile loaded;
    loaded.ModelCode = static_cast<uint8_t>(model);
    loaded.ResetSettings();
    loaded.BlockBuffer = built.BlockBuffer;
    if (!loaded.ParseBlock())
        return false;
    loaded.BuildBlock();
    return settings.ModelCode == model && loaded.BlockBuffer == built.BlockBuffer;
}

std::map<std::tuple<size_t, size_t, size_t>, Outcome> &Seen()
{
    static std::map<std::tuple<size_t, size_t, size_t>, Outcome> seen;
    return seen;
}

// The longest time-outs of one case, per operation.
std::map<size_t, uint64_t> &LongestWait()
{
    static std::map<size_t, uint64_t> longest;
    return longest;
}

void WriteTable(const std::string &path);

class FaultMatrix : public testing::TestWithParam<Case>
{
public:
    static void TearDownTestSuite()
    {
        const char *path = std::getenv("TRACEMOOR_FAULT_TABLE");
        if (path != nullptr && *path != 0 && Seen().size() == Cases().size())
            WriteTable(path);
    }
};

TEST_P(FaultMatrix, EndsAsItShouldAndTheNextRunCaptures)
{
    const Case &c = GetParam();
    FaultBench bench(c.Op().model);
    // A good capture first: the one that must survive the fault.
    bench.acquisition->SingleRun();
    bench.Tick();
    ASSERT_EQ(bench.record->CaptureValid, 1);
    const std::vector<uint8_t> ring = bench.system.SampleBuffer;
    const uint32_t trigger = bench.record->TriggerAddress;
    const auto conditions = bench.settings.TriggerCondition;
    const int transfers = UsbDriverIo::Alive();
    const uint64_t waitedBefore = bench.driver->WaitedMs();

    const std::string item = c.Item();
    const auto parsed = EmulatorConfig::Parse(item);
    ASSERT_TRUE(parsed) << item;
    bench.Analyzer().Inject(parsed->Faults);
    const Outcome quiet = c.Op().run(bench);
    const Outcome seen = FromWarnings(bench.window.warnings, quiet);
    Seen()[{c.operation, c.step, c.fault}] = seen;

    EXPECT_EQ(Text(seen), std::string(Text(c.Expected())));
    EXPECT_LT(bench.TicksUsed, TickLimit) << "the operation never ended";
    const uint64_t waited = bench.driver->WaitedMs() - waitedBefore;
    EXPECT_LE(waited, WaitBudgetMs);
    LongestWait()[c.operation] = std::max(LongestWait()[c.operation], waited);
    EXPECT_FALSE(bench.acquisition->Running);
    EXPECT_LE(bench.window.warnings.size(), 1u);
    EXPECT_TRUE(RecordConsistent(bench.settings, c.Op().model));
    if (seen == Outcome::DeviceWrong) {
        // The model selection started afresh: nothing of the old capture.
        EXPECT_EQ(bench.record->CaptureValid, 0);
    } else {
        if (c.Op().keepsTrigger) {
            EXPECT_EQ(bench.settings.TriggerCondition, conditions);
        }
        EXPECT_TRUE(c.Op().startsRun || bench.record->CaptureValid == 1);
        if (seen == Outcome::GoesOn && bench.window.captures > 1) {
            EXPECT_TRUE(std::equal(bench.system.SampleBuffer.begin(),
                                   bench.system.SampleBuffer.end(),
                                   bench.Analyzer().Memory().begin()));
        } else if (!c.Op().replacesRing) {
            EXPECT_TRUE(bench.system.SampleBuffer == ring) << "the last capture was lost";
            EXPECT_EQ(bench.record->TriggerAddress, trigger);
        }
    }

    // The fault goes, the analyzer comes back: the next run captures.
    bench.Analyzer().ClearFaults();
    bench.driver->Plug(bench.driver->Config().Foreign);
    bench.link->PumpEvents();
    ASSERT_TRUE(bench.link->Connected);
    bench.SetCounterTrigger();
    bench.window.warnings.clear();
    const int captures = bench.window.captures;
    bench.acquisition->SingleRun();
    bench.Tick();
    EXPECT_TRUE(bench.window.warnings.empty());
    EXPECT_EQ(bench.window.captures, captures + 1);
    EXPECT_EQ(bench.record->CaptureValid, 1);
    EXPECT_TRUE(bench.window.Idle());
    // Nothing is left in flight, and one handle is open.
    EXPECT_EQ(UsbDriverIo::Alive(), transfers);
    EXPECT_EQ(bench.driver->OpenHandles(), 1);
}

std::string CaseName(const testing::TestParamInfo<Case> &info)
{
    std::string name = "Model" + std::to_string(info.param.Op().model) + "_" +
                       info.param.Op().name + "_" + info.param.StepOf().command + "_" +
                       info.param.FaultOf().name;
    for (char &ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrix, testing::ValuesIn(Cases()), CaseName);

// A fault that never goes: the run keeps trying without a message, no tick
// blocks the window for longer than its request's time-outs, and Stop ends it.
TEST(LastingFault, EveryTickStaysWithinItsTimeOutsAndStopEndsTheRun)
{
    const char *items[] = {"timeout=WriteBlock",      "timeout=ReadBlock",   "timeout=ReadSamples",
                           "short=ReadSamples",       "lateabort=ReadBlock", "corrupt",
                           "answer=StartCapture:0xE0"};
    // The longest bulk time-out and its cancellation.
    constexpr uint64_t TickBudgetMs = 1000 + 250;
    for (const char *item : items) {
        SCOPED_TRACE(item);
        FaultBench bench(3);
        bench.Analyzer().Inject(EmulatorConfig::Parse(item)->Faults);
        bench.acquisition->Run();
        for (int tick = 0; tick < 30; ++tick) {
            const uint64_t before = bench.driver->WaitedMs();
            bench.Tick(1);
            EXPECT_LE(bench.driver->WaitedMs() - before, TickBudgetMs);
        }
        EXPECT_TRUE(bench.acquisition->Running);
        EXPECT_TRUE(bench.window.warnings.empty());
        EXPECT_EQ(bench.window.captures, 0);
        bench.acquisition->Stop();
        EXPECT_TRUE(bench.window.Idle());

        bench.Analyzer().ClearFaults();
        bench.acquisition->SingleRun();
        bench.Tick();
        EXPECT_EQ(bench.window.captures, 1);
        EXPECT_EQ(bench.record->CaptureValid, 1);
    }
}

// One grid per operation: a row per fault, a column per request.
std::string Table()
{
    std::ostringstream out;
    out << "The fault matrix (written by `tests/analyzer/FaultMatrixTest.cpp`): each fault "
           "injected once (busy three times) at the first request of that command in the "
           "operation, after a good capture. Afterwards every case also checks: no more than "
        << WaitBudgetMs
        << " ms of time-outs, the last good capture kept (the model selection clears it), a "
           "settings record that builds and reloads its block, no transfer left in flight, "
           "and a capture on the next Single Run once the fault is gone and the analyzer is "
           "plugged back. Import and Export tell what the file commands show; Gathermoor's "
           "capture keeps no picture (its data file is written only from a whole capture), so "
           "its rows check what it tells and the runs before and after.\n";
    for (size_t o = 0; o < Operations().size(); ++o) {
        const Operation &op = Operations()[o];
        out << "\n#### " << op.name << " (model " << op.model
            << ")\n\nLongest time-outs of one case: " << LongestWait()[o] << " ms.\n\n| fault |";
        for (const Step &s : op.steps)
            out << " " << s.command << " |";
        out << "\n|---|";
        for (size_t s = 0; s < op.steps.size(); ++s)
            out << "---|";
        out << "\n";
        for (size_t f = 0; f < Faults().size(); ++f) {
            std::string item = Faults()[f].item;
            if (const size_t at = item.find('%'); at != std::string::npos)
                item.replace(at, 1, "C");
            out << "| " << Faults()[f].name << " (`" << item << "`) |";
            for (size_t s = 0; s < op.steps.size(); ++s) {
                const auto it = Seen().find({o, s, f});
                out << " " << Text(it == Seen().end() ? NA : it->second) << " |";
            }
            out << "\n";
        }
    }
    return out.str();
}

void WriteTable(const std::string &path)
{
    static constexpr std::string_view Begin = "<!-- fault matrix begin -->";
    static constexpr std::string_view End = "<!-- fault matrix end -->";
    std::string text;
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        text = s.str();
    }
    const std::string table = std::string(Begin) + "\n" + Table() + std::string(End);
    const size_t begin = text.find(Begin);
    const size_t end = text.find(End);
    if (begin != std::string::npos && end != std::string::npos && end > begin)
        text.replace(begin, end + End.size() - begin, table);
    else
        text += "\n" + table + "\n";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

} // namespace
