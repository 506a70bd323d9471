// Value Change Dumps of other tools brought in: the time grid, the signals,
// the model chosen, and the files that must be refused with a reason.

#include "files/VcdReader.h"

#include "device/CFile.h"
#include "device/ModelTable.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The file read and its record parsed back, as a load would see them.
struct Loaded
{
    explicit Loaded(const std::string &text)
        : result(VcdReader::Parse(text))
    {
        if (!result.Error.empty())
            return;
        record.ModelCode = result.Contents.modelCode;
        record.BlockBuffer = result.Contents.block;
        parsed = record.ParseBlock();
    }
    uint32_t Word(size_t n) const
    {
        uint32_t w = 0;
        std::memcpy(&w, result.Contents.samples.data() + 4 * n, 4);
        return w;
    }
    std::string Name(const SignalEntry &e) const { return std::string(CFile::NameText(e)); }

    VcdReader::Result result;
    CFile record;
    bool parsed = false;
};

const char *const Simulator = R"($date today $end
$version some simulator $end
$timescale 1 ns $end
$scope module top $end
$var wire 1 ! clk $end
$var reg 8 " data [7:0] $end
$var real 64 # level $end
$var wire 1 $ a_very_long_name $end
$var event 1 % tick $end
$upscope $end
$enddefinitions $end
#0
$dumpvars
0!
b00000000 "
r0.5 #
1$
$end
#20
1!
b1010 "
#40
0!
r1.5 #
#60
1!
0$
#80
)";

TEST(VcdReader, PlacesWiresAndVectorsOnTheRowOfTheirSpacing)
{
    const Loaded f(Simulator);
    ASSERT_EQ(f.result.Error, "");
    ASSERT_TRUE(f.parsed);
    // A 1 ns unit: the finest period, 2 ns, on the first 16-channel model
    // that has it.
    EXPECT_EQ(f.result.PeriodPs, 2000u);
    EXPECT_EQ(f.result.Contents.modelCode, 7);
    EXPECT_EQ(ModelTable::Row(f.record.RateRow).period[1].value, 2);
    EXPECT_EQ(f.result.Samples, 40u); // #80 ends the fortieth sample
    EXPECT_EQ(f.result.SpacingNote, "");

    // clk CH0, data CH1..CH8 (most significant first), the long name CH9.
    EXPECT_EQ(f.Name(f.record.ChannelEntry[0]), "clk");
    EXPECT_EQ(f.Name(f.record.ChannelEntry[9]), "a_very_l");
    EXPECT_EQ(f.Name(f.record.ChannelEntry[1]), "data7");
    EXPECT_EQ(f.Name(f.record.ChannelEntry[8]), "data0");
    const SignalEntry &bus = f.record.BusEntry[0];
    EXPECT_EQ(f.Name(bus), "data");
    EXPECT_EQ(bus.BitCount, 8);
    EXPECT_EQ(bus.Members[0], 1);
    EXPECT_EQ(bus.Members[7], 8);
    EXPECT_EQ(bus.Members[8], 16); // none
    const uint8_t order[] = {0, 16, 9, 32};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(f.record.DisplayOrder[i], order[i]) << i;

    // 0b1010 on CH1..CH8 reads CH5 and CH7 high.
    const uint32_t data = (1u << 5) | (1u << 7);
    const uint32_t expected[] = {1u << 9, 1u | data | 1u << 9, data | 1u << 9, 1u | data};
    for (size_t n = 0; n < 40; ++n)
        EXPECT_EQ(f.Word(n), expected[n / 10]) << n;
    // The rest of the record holds the last values.
    EXPECT_EQ(f.Word(499), expected[3]);

    // The trigger at the first sample, nothing to search for.
    EXPECT_EQ(f.record.MemoryPercent, 0);
    EXPECT_EQ(f.record.DelayGroups, (std::array<uint16_t, 5>{}));
    EXPECT_EQ(f.record.ReportedEndAddress - f.record.PostTriggerBytes, 0u);
    EXPECT_EQ(f.record.TriggerCondition[0][0], CFile::CondX);

    ASSERT_EQ(f.result.Notes.size(), 1u);
    EXPECT_NE(f.result.Notes[0].find("2 variables of other kinds"), std::string::npos);
}

struct Spacing
{
    const char *timescale;
    const char *times; // the time stamps, one change each
    uint64_t periodPs;
    int model;
    bool noted;
};

class VcdSpacing : public testing::TestWithParam<Spacing>
{
};

TEST_P(VcdSpacing, IsAtMostTheUnitAndAnEighthOfTheShortestPulse)
{
    const Spacing &c = GetParam();
    std::string text = std::string("$timescale ") + c.timescale +
                       " $end $var wire 1 ! a $end $enddefinitions $end\n";
    int v = 0;
    for (const char *t = c.times; *t;) {
        const char *end = std::strchr(t, ' ');
        const std::string stamp(t, end ? end : t + std::strlen(t));
        text += "#" + stamp + "\n" + std::to_string(v) + "!\n";
        v ^= 1;
        t = end ? end + 1 : t + stamp.size();
    }
    const Loaded f(text);
    ASSERT_EQ(f.result.Error, "");
    EXPECT_EQ(f.result.PeriodPs, c.periodPs);
    EXPECT_EQ(f.result.Contents.modelCode, c.model);
    EXPECT_EQ(!f.result.SpacingNote.empty(), c.noted) << f.result.SpacingNote;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VcdSpacing,
    testing::Values(Spacing{"1 ns", "0 40 80", 2000, 7, false}, // no row of 1 ns: the fastest
                    Spacing{"10 ns", "0 4 12", 4000, 5, false}, // 40 ns pulses: 5 ns, 4 ns
                    Spacing{"1 ps", "0 2000 4000", 2000, 7, false},
                    Spacing{"1 ns", "0 30 60", 2000, 7, false},
                    Spacing{"1 ns", "0 5 10", 2000, 7, true}, // 5 ns steps: off the 2 ns grid
                    Spacing{"1 fs", "0 1 2", 2000, 7, true},  // faster than anything
                    Spacing{"100 ns", "0 10 20 30", 100000, 3, false}, // edges on whole us: 100 ns
                    Spacing{"1 us", "0 4 8", 400000, 3, false},       // 4 us pulses: 500 ns, 400 ns
                    Spacing{"100 s", "0 1 2", 40000000000, 3, false}, // slower than anything
                    Spacing{"1 us", "0", 1000000, 3, false}));        // one time: its unit

TEST(VcdReader, TakesThePeriodADumpNamesWhenItsTimesLieOnIt)
{
    // Two changes 1 us apart, at a named period of 40 ns: 25 samples, not 1.
    const std::string head = "$timescale 10 ns $end $var wire 1 ! a $end $enddefinitions $end ";
    const Loaded named("$comment sample period 40000 ps $end " + head + "#0 1! #100 0! #200");
    EXPECT_EQ(named.result.PeriodPs, 40000u);
    EXPECT_EQ(named.result.Samples, 50u);
    EXPECT_EQ(named.Word(24), 1u);
    EXPECT_EQ(named.Word(25), 0u);
    // #102 is off the named grid: the time unit decides (10 ns).
    const Loaded off("$comment sample period 40000 ps $end " + head + "#0 1! #102 0! #104");
    EXPECT_EQ(off.result.PeriodPs, 10000u);
}

TEST(VcdReader, ChoosesTheModelByChannelsAndMemory)
{
    EXPECT_EQ(VcdReader::ChooseModel(16, 40000, 128000), 3);
    EXPECT_EQ(VcdReader::ChooseModel(16, 40000, 128001), 5);
    EXPECT_EQ(VcdReader::ChooseModel(16, 40000, 600000), 7);
    EXPECT_EQ(VcdReader::ChooseModel(17, 40000, 1000), 4);
    EXPECT_EQ(VcdReader::ChooseModel(32, 4000, 1000), 6); // 4 ns: not on the 100 MHz models
    EXPECT_EQ(VcdReader::ChooseModel(32, 2000, 1000), 8);
    EXPECT_EQ(VcdReader::ChooseModel(16, 40000, 5000000), 7); // the largest memory
}

TEST(VcdReader, KeepsACaptureLongerThanTheLargestMemoryWhole)
{
    // 4 ms at 2 ns: 2,000,001 samples, more than model 7's 1,024,000, kept
    // whole as an import in a ring of 8 MiB.
    const Loaded f("$timescale 1 ns $end $var wire 1 ! a $end $enddefinitions $end\n"
                   "#0 1! #2 0! #4000000 1!\n");
    ASSERT_EQ(f.result.Error, "");
    EXPECT_EQ(f.result.Contents.modelCode, 7);
    EXPECT_EQ(f.result.Samples, 2000001u);
    EXPECT_EQ(f.result.Contents.importSamples, 2000001u);
    EXPECT_EQ(f.result.Contents.samples.size(), size_t{8} << 20);
    EXPECT_TRUE(f.result.Notes.empty());
    EXPECT_EQ(f.record.MemoryDepthIndex, 12); // the entry after model 7's twelve
    EXPECT_EQ(f.record.ReportedEndAddress - f.record.PostTriggerBytes, 0u);
    EXPECT_EQ(f.Word(0), 1u);
    EXPECT_EQ(f.Word(1), 0u);
    EXPECT_EQ(f.Word(1999999), 0u);
    EXPECT_EQ(f.Word(2000000), 1u);
}

TEST(VcdReader, KeepsNoMoreThan32ChannelsAndSharesReusedCodes)
{
    std::string text = "$var wire 1 ! first $end $var wire 1 ! again $end\n";
    for (int i = 0; i < 40; ++i)
        text += "$var wire 1 c" + std::to_string(i) + " w" + std::to_string(i) + " $end\n";
    text += "$enddefinitions $end #0 1! 1c29 #1 0!\n";
    const Loaded f(text);
    ASSERT_EQ(f.result.Error, "");
    EXPECT_EQ(ModelTable::Model(f.result.Contents.modelCode).channels, 32);
    // Both names of "!" follow its changes; w29 is channel 31, w30 on are left out.
    EXPECT_EQ(f.Word(0), 3u | 1u << 31);
    EXPECT_EQ(f.Word(1), 1u << 31);
    bool noted = false;
    for (const std::string &n : f.result.Notes)
        noted = noted || n.find("10 variables past the 32nd channel") != std::string::npos;
    EXPECT_TRUE(noted);
}

struct Refused
{
    const char *name;
    const char *text;
    const char *reason;
};

class VcdRefused : public testing::TestWithParam<Refused>
{
};

TEST_P(VcdRefused, WithItsReason)
{
    const VcdReader::Result r = VcdReader::Parse(GetParam().text);
    EXPECT_NE(r.Error.find(GetParam().reason), std::string::npos) << r.Error;
    EXPECT_TRUE(r.Contents.samples.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VcdRefused,
    testing::Values(
        Refused{"Empty", "", "no $enddefinitions"},
        Refused{"TruncatedHeader", "$timescale 1 ns $end $var wire 1 ! a", "inside $var"},
        Refused{"NoSignals", "$var real 64 ! r $end $enddefinitions $end", "declares no"},
        Refused{"BadTimescale", "$timescale 7 ns $end", "not 1, 10 or 100"},
        Refused{"BackwardsTime", "$var wire 1 ! a $end $enddefinitions $end #5 1! #3 0!",
                "time goes backwards, #3 after #5"},
        Refused{"NotATime", "$var wire 1 ! a $end $enddefinitions $end #x", "no time"},
        Refused{"Garbage", "$var wire 1 ! a $end $enddefinitions $end %%", "unexpected"},
        Refused{"ShortVar", "$var wire 1 ! $end", "a kind, a size"}),
    [](const auto &p) { return std::string(p.param.name); });

TEST(VcdReader, KnowsItsNames)
{
    EXPECT_TRUE(VcdReader::IsVcdName("a/b.vcd"));
    EXPECT_TRUE(VcdReader::IsVcdName("B.VCD"));
    EXPECT_FALSE(VcdReader::IsVcdName("b.pjf"));
    EXPECT_FALSE(VcdReader::IsVcdName("vcd"));
}

} // namespace
