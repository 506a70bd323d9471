// Every fault the emulated analyzer injects, at every request of every
// device operation: the operation ends within its time-outs with the message
// it owes the user, the last good capture and the settings record survive,
// and once the fault is gone (and the analyzer plugged back) the next run
// captures again.
//
// An operation is one entry of Operations() (FaultOperations.h) with the
// requests it sends and what each fault there must lead to; the cases are
// every fault at every request. With TRACEMOOR_FAULT_TABLE naming a file, the suite writes the
// outcomes it saw into that file, between the two marker lines (run the whole
// suite):
//   TRACEMOOR_FAULT_TABLE=$PWD/docs/reliability.md build/tests/tests_analyzer
//     --gtest_filter='Faults/FaultMatrix.*'

#include "FaultOperations.h"

#include "device/UsbDriverIo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace {

using namespace FaultOperations;
using Warning = AcquisitionWindow::Warning;

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
