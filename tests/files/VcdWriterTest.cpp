// The sample exports: the VCD text read back by a reader of the test's own,
// the CSV rows, and the signals a record gives them.

#include "files/VcdWriter.h"
#include "files/SampleCsv.h"
#include "files/SampleTrace.h"

#include "VcdReaderForTest.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

struct ScaleCase
{
    uint64_t periodPs;
    const char *text;
    uint64_t ticks;
};

class VcdTimescale : public testing::TestWithParam<ScaleCase>
{
};

TEST_P(VcdTimescale, IsTheCoarsestUnitThePeriodIsAWholeMultipleOf)
{
    const ScaleCase &c = GetParam();
    const VcdWriter::Timescale s = VcdWriter::ScaleOf(c.periodPs);
    EXPECT_EQ(s.Text, c.text);
    EXPECT_EQ(s.TicksPerSample, c.ticks);
    EXPECT_EQ(s.UnitPs * s.TicksPerSample, c.periodPs);
}

const ScaleCase Scales[] = {
    {2000, "1 ns", 2},         {4000, "1 ns", 4},    {10000, "10 ns", 1},
    {40000, "10 ns", 4},       {1000000, "1 us", 1}, {2500000, "100 ns", 25},
    {40000000000, "10 ms", 4}, {1, "1 ps", 1},       {100000000000000, "100 s", 1},
};
INSTANTIATE_TEST_SUITE_P(Periods, VcdTimescale, testing::ValuesIn(Scales));

SampleTrace SmallTrace()
{
    SampleTrace t;
    t.PeriodPs = 40000; // 40 ns: timescale 10 ns, 4 ticks a sample
    t.Signals = {{"CH00", {0}}, {"CLK", {7}}, {"BUS00", {5, 3, 1}}};
    // CH4 changes alone in sample 3: no signal sees it.
    t.Words = {0x00, 0x00, 0x81, 0x91, 0x28, 0x28, 0xAA, 0x01};
    t.TriggerIndex = 2;
    return t;
}

TEST(VcdWriter, ReadsBackAsEverySampleWithOnlyTheChangesWritten)
{
    const SampleTrace t = SmallTrace();
    const VcdReaderForTest vcd = VcdReaderForTest::Parse(VcdWriter::Text(t, "a comment"));
    ASSERT_EQ(vcd.Error, "");
    EXPECT_EQ(vcd.TimescalePs, 10000u);
    ASSERT_EQ(vcd.Vars.size(), 3u);
    EXPECT_EQ(vcd.Vars[0].Name, "CH00");
    EXPECT_EQ(vcd.Vars[1].Width, 1);
    EXPECT_EQ(vcd.Vars[2].Name, "BUS00");
    EXPECT_EQ(vcd.Vars[2].Width, 3);
    EXPECT_EQ(vcd.LastTime, 8u * 4u); // the end of the last sample

    const auto values = vcd.Samples(t.Words.size(), 4);
    for (size_t n = 0; n < t.Words.size(); ++n)
        for (const SampleTrace::Signal &s : t.Signals)
            EXPECT_EQ(values.at(s.Name)[n], s.Value(t.Words[n])) << s.Name << " sample " << n;

    // After the first dump, a change line only where the value changed, at
    // a sample's time.
    std::map<std::string, uint64_t> last;
    std::set<uint64_t> times;
    for (const auto &c : vcd.Changes) {
        if (c.Time > 0) {
            EXPECT_NE(last.at(c.Id), c.Value) << "time " << c.Time;
            EXPECT_EQ(c.Time % 4, 0u);
            times.insert(c.Time);
        }
        last[c.Id] = c.Value;
    }
    // Samples 1 (no change), 3 (CH4 only) and 5 (repeat) get no time stamp.
    EXPECT_EQ(times, (std::set<uint64_t>{2 * 4, 4 * 4, 6 * 4, 7 * 4}));
}

TEST(VcdWriter, IdentifiersArePrintableAndDistinctPastOneCharacter)
{
    std::set<std::string> seen;
    for (size_t i = 0; i < 300; ++i) {
        const std::string id = VcdWriter::Identifier(i);
        for (char c : id)
            EXPECT_TRUE(c >= '!' && c <= '~') << i;
        EXPECT_TRUE(seen.insert(id).second) << i;
        EXPECT_EQ(id.size(), i < 94 ? 1u : 2u);
    }
}

TEST(SampleCsv, SecondsAreExactDecimals)
{
    const std::pair<int64_t, const char *> cases[] = {{0, "0"},
                                                      {1, "0.000000000001"},
                                                      {-512000, "-0.000000512"},
                                                      {1000000000, "0.001"},
                                                      {1500000000000, "1.5"},
                                                      {-40000000000000, "-40"}};
    for (const auto &[ps, text] : cases)
        EXPECT_EQ(SampleCsv::Seconds(ps), text) << ps;
}

TEST(SampleCsv, ChangesOnlyKeepsTheFirstTheChangedAndTheLastRow)
{
    const SampleTrace t = SmallTrace();
    const std::string all = SampleCsv::Text(t, false);
    EXPECT_EQ(all.substr(0, all.find("\r\n")), "Sample,Time (s),CH00,CLK,BUS00");
    EXPECT_NE(all.find("\r\n2,0,1,1,0\r\n"), std::string::npos); // the trigger sample
    EXPECT_NE(all.find("\r\n0,-0.00000008,0,0,0\r\n"), std::string::npos);
    EXPECT_NE(all.find("\r\n6,0.00000016,0,1,7\r\n"), std::string::npos);

    const std::string changes = SampleCsv::Text(t, true);
    std::vector<std::string> firstCells;
    for (size_t at = changes.find("\r\n") + 2; at < changes.size();
         at = changes.find("\r\n", at) + 2)
        firstCells.push_back(changes.substr(at, changes.find(',', at) - at));
    EXPECT_EQ(firstCells, (std::vector<std::string>{"0", "2", "4", "6", "7"}));
}

// A model-3 ring (16 channels) holding words 0x100 + i from byte 0, the
// record's trigger sample 4 of 8 at the middle.
struct RecordFixture
{
    RecordFixture()
    {
        sys.SelectModel(3);
        file.ModelCode = 3;
        file.ResetSettings();
        for (uint32_t i = 0; i < 16; ++i) {
            const uint32_t w = 0x100 + i;
            std::memcpy(&sys.SampleBuffer[4 * i], &w, 4);
        }
        rec.DepthSamples = 8;
        rec.TriggerAddress = 16;
        file.MemoryPercent = 5;
    }
    WSystem sys;
    CFile file;
    CCaptureRecord rec{sys, file};
};

TEST(SampleTrace, TakesTheSignalListWithBusMembersMostSignificantFirst)
{
    RecordFixture f;
    f.file.DisplayOrder[0] = 2;  // channel 2
    f.file.DisplayOrder[1] = 16; // bus 0
    f.file.DisplayOrder[2] = 17; // bus 1: no members, left out
    f.file.DisplayOrder[3] = 3;  // channel 3, named like channel 2
    std::memcpy(f.file.ChannelEntry[2].Name.data(), "a b\0", 4);
    std::memcpy(f.file.ChannelEntry[3].Name.data(), "a b\0", 4);
    f.file.BusEntry[0].BitCount = 2;
    f.file.BusEntry[0].Members[0] = 8; // the most significant bit
    f.file.BusEntry[0].Members[1] = 0;
    f.file.BusEntry[1].BitCount = 0;

    const SampleTrace t = SampleTrace::OfRecord(f.rec, f.sys, f.file, 10000, false);
    ASSERT_EQ(t.Signals.size(), 3u);
    EXPECT_EQ(t.Signals[0].Name, "a_b");
    EXPECT_EQ(t.Signals[0].Channels, std::vector<uint8_t>{2});
    EXPECT_EQ(t.Signals[1].Name, "BUS00");
    EXPECT_EQ(t.Signals[1].Channels, (std::vector<uint8_t>{8, 0}));
    EXPECT_EQ(t.Signals[2].Name, "a_b_2");
    EXPECT_EQ(t.Signals[1].Value(0x101), 3u);
    EXPECT_EQ(t.Signals[1].Value(0x100), 2u);

    ASSERT_EQ(t.Words.size(), 8u);
    EXPECT_EQ(t.Words.front(), 0x100u);
    EXPECT_EQ(t.Words.back(), 0x107u);
    EXPECT_EQ(t.TriggerIndex, 4u);
}

TEST(SampleTrace, AnEmptySignalListGivesEveryChannel)
{
    RecordFixture f;
    const SampleTrace t = SampleTrace::OfRecord(f.rec, f.sys, f.file, 10000, false);
    ASSERT_EQ(t.Signals.size(), 16u);
    EXPECT_EQ(t.Signals[7].Name, "CH07");
    EXPECT_EQ(t.ChannelMask(), 0xFFFFu);
}

} // namespace
