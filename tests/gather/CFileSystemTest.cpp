#include "gather/CFileSystem.h"

#include "../analyzer/AnalyzerTestFolder.h"
#include "device/CFile.h"
#include "gather/ParameterFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace {

// Parses a parameter file whose [Property] section holds `lines`. Every
// other key is absent, so it reads "Empty": DelayTime without a unit (48,
// counted), Volt1 not a number (96, counted), patterns of the wrong length
// (64) -- the fixture fills those three with accepted values unless a case
// names them.
struct Parsed
{
    CFile record;
    CFileSystem parser;
};

Parsed ParseProperty(const std::string &lines)
{
    AnalyzerTestFolder folder;
    const std::string path = folder.File("param.txt");
    std::string text = "[Property]\n" + lines;
    const auto add = [&](const char *key, const char *value) {
        if (lines.find(std::string(key) + "=") == std::string::npos)
            text += std::string(key) + "=" + value + "\n";
    };
    add("DelayTime", "0US");
    add("Volt1", "1.5V");
    for (const char *key :
         {"TriggerPattern1", "TriggerPattern2", "TriggerPattern3", "TriggerPatternOR"})
        add(key, "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX");
    std::ofstream(path) << text;
    Parsed p;
    p.parser.Parse(ParameterFile(path), p.record);
    return p;
}

struct KeyCase
{
    const char *name;
    const char *lines;
    std::function<int(const CFile &)> field;
    int expected;
    int status; // the data file's status byte
};

class ParameterKeys : public testing::TestWithParam<KeyCase>
{
};

TEST_P(ParameterKeys, SetTheRecordAndTheStatus)
{
    const KeyCase &c = GetParam();
    const Parsed p = ParseProperty(c.lines);
    EXPECT_EQ(c.field(p.record), c.expected);
    EXPECT_EQ(p.parser.StatusByte(), c.status);
}

// clang-format off
int Rate(const CFile &f) { return f.RateRow; }
int Div(const CFile &f) { return f.TimeDivRow; }
int Depth(const CFile &f) { return f.MemoryDepthIndex; }
int Group(const CFile &f, int g) { return f.DelayGroups[static_cast<size_t>(g)]; }
int Ns(const CFile &f) { return Group(f, 1); }
int Us(const CFile &f) { return Group(f, 2); }
int Ms(const CFile &f) { return Group(f, 3); }
int Sec(const CFile &f) { return Group(f, 4); }
int AnyGroup(const CFile &f) { return Group(f, 0) + Ns(f) + Us(f) + Ms(f) + Sec(f); }
int Negative(const CFile &f) { return f.DelayNegative; }
int Percent(const CFile &f) { return f.MemoryPercent; }
int Continuous(const CFile &f) { return f.ContinuousTrigger; }
int Counter(const CFile &f) { return f.TriggerCounter; }
int Type(const CFile &f) { return f.TriggerType; }
int PulseChannel(const CFile &f) { return f.PulseChannel; }
int Compare(const CFile &f) { return f.PulseCompare; }
int Polarity(const CFile &f) { return f.PulsePolarity; }
int Whole(const CFile &f) { return f.PulseWhole; }
int Port1(const CFile &f) { return f.PortLevel[0]; }
int Port2(const CFile &f) { return f.PortLevel[1]; }
int Port3(const CFile &f) { return f.PortLevel[2]; }
int Port4(const CFile &f) { return f.PortLevel[3]; }
// clang-format on

// clang-format off
INSTANTIATE_TEST_SUITE_P(Keys, ParameterKeys, testing::Values(
    KeyCase{"RateFirst", "SampleRate=250MHZ\n", Rate, 3, 0},
    KeyCase{"RateLastSetsDivToo", "SampleRate=50Hz\n", Div, 23, 0},
    KeyCase{"RateAnyCase", "SampleRate=2.5mhz\n", Rate, 9, 0},
    KeyCase{"Rate1KOnly", "SampleRate=1K\n", Rate, 19, 0},
    KeyCase{"Rate1KHZRefused", "SampleRate=1KHZ\n", Rate, 4, 0},
    KeyCase{"RateRefusedKeepsDiv", "SampleRate=1KHZ\n", Div, 3, 0},
    KeyCase{"RateMissing", "", Rate, 4, 0},
    KeyCase{"RamAuto", "RamSize=auto\n", Depth, 0, 0},
    KeyCase{"Ram1MB", "RamSize=1MB\n", Depth, 12, 0},
    KeyCase{"Ram512B", "RamSize=512B\n", Depth, 1, 0},
    KeyCase{"RamRefused", "RamSize=2MB\n", Depth, 0, 0},
    KeyCase{"DelayNs", "DelayTime=250ns\n", Ns, 250, 0},
    KeyCase{"DelaySec", "DelayTime=3Sec\n", Sec, 3, 0},
    KeyCase{"DelayMs", "DelayTime=7MS\n", Ms, 7, 0},
    KeyCase{"DelayNegativeUs", "DelayTime=-20US\n", Us, 20, 0},
    KeyCase{"DelayNegativeFlag", "DelayTime=-20US\n", Negative, 1, 0},
    KeyCase{"DelayWithoutUnit", "DelayTime=100\n", AnyGroup, 0, 255},
    KeyCase{"DelayNotANumber", "DelayTime=abcUS\n", Us, 0, 0},
    KeyCase{"DelayTooLargeForItsGroup", "DelayTime=70000US\n", Us, 0, 0},
    KeyCase{"MainDelayFirst", "MainDelay=0%\n", Percent, 0, 0},
    KeyCase{"MainDelayLast", "MainDelay=100%\n", Percent, 10, 0},
    KeyCase{"MainDelayRefused", "MainDelay=15%\n", Percent, 5, 0},
    KeyCase{"ContinuousOn", "Continuous=on\n", Continuous, 1, 0},
    KeyCase{"ContinuousRefused", "Continuous=maybe\n", Continuous, 0, 0},
    KeyCase{"CounterInRange", "TrigCounter=255\n", Counter, 255, 0},
    KeyCase{"CounterZero", "TrigCounter=0\n", Counter, 1, 255},
    KeyCase{"CounterTooLarge", "TrigCounter=256\n", Counter, 1, 255},
    KeyCase{"CounterHuge", "TrigCounter=99999999999999999999\n", Counter, 1, 255},
    KeyCase{"CounterNotANumber", "TrigCounter=ten\n", Counter, 1, 0},
    KeyCase{"ModePattern1", "TriggerMode=Pattern1\n", Type, 1, 0},
    KeyCase{"ModeOr", "TriggerMode=PatternOR\n", Type, 4, 0},
    KeyCase{"ModePulse", "TriggerMode=pulsewidth\n", Type, 5, 0},
    KeyCase{"ModeOther", "TriggerMode=AllDontcart\n", Type, 0, 0},
    KeyCase{"PulseChannel", "PulseWidth_Channel=31\n", PulseChannel, 31, 0},
    KeyCase{"PulseChannelRefused", "PulseWidth_Channel=32\n", PulseChannel, 0, 0},
    KeyCase{"PulseCompareMore", "PulseWidth_Condition=>\n", Compare, 2, 0},
    KeyCase{"PulseCompareRefused", "PulseWidth_Condition=!\n", Compare, 0, 0},
    KeyCase{"PulseLow", "PulseWidth_Level=low\n", Polarity, 1, 0},
    KeyCase{"PulseValueNotRead", "PulseWidth_Value=20us\n", Whole, 0, 0},
    KeyCase{"VoltHalves", "Volt1=1.5V\n", Port1, 142, 0},
    KeyCase{"VoltNegative", "Volt2=-0.8V\n", Port2, 119, 0},
    // 2.3 x 10 is 22.999999999999996 in double precision, 23 in single.
    KeyCase{"VoltSinglePrecision", "Volt3=2.3\n", Port3, 150, 0},
    KeyCase{"VoltTruncatedTowardZero", "Volt4=-0.35v\n", Port4, 124, 0},
    KeyCase{"VoltLimit", "Volt4=-4\n", Port4, 87, 0},
    KeyCase{"VoltOutside", "Volt2=5\n", Port2, 142, 255},
    KeyCase{"Volt1NotANumber", "Volt1=high\n", Port1, 142, 255},
    KeyCase{"Volt2NotANumberNotCounted", "Volt2=high\n", Port2, 142, 0},
    KeyCase{"VoltNoExponent", "Volt1=1e0\n", Port1, 142, 255}),
    [](const auto &row) { return std::string(row.param.name); });
// clang-format on

struct PatternCase
{
    const char *name;
    std::string text;
    std::string expected; // channel 31 first, as the file writes it
    uint8_t status;
};

class TriggerPatterns : public testing::TestWithParam<PatternCase>
{
};

std::string RowText(const CFile &f, int row)
{
    std::string s;
    for (int ch = 31; ch >= 0; --ch)
        s += "LHFR?X"[f.TriggerCondition[static_cast<size_t>(row)][static_cast<size_t>(ch)]];
    return s;
}

TEST_P(TriggerPatterns, FillTheirRowChannel31First)
{
    const PatternCase &c = GetParam();
    for (int row = 0; row < 4; ++row) {
        const char *keys[] = {"TriggerPattern1", "TriggerPattern2", "TriggerPattern3",
                              "TriggerPatternOR"};
        const Parsed p = ParseProperty(std::string(keys[row]) + "=" + c.text + "\n");
        EXPECT_EQ(RowText(p.record, row), c.expected) << keys[row];
        EXPECT_EQ(p.parser.StatusByte(), c.status) << keys[row];
    }
}

const std::string X31 = std::string(31, 'X');

INSTANTIATE_TEST_SUITE_P(
    Rows, TriggerPatterns,
    testing::Values(PatternCase{"RiseOnChannel0", X31 + "R", X31 + "R", 0},
                    PatternCase{"LevelsAnyCase", "lhLH" + std::string(28, 'x'),
                                "LHLH" + std::string(28, 'X'), 0},
                    PatternCase{"OtherCharactersAreX", "Q1" + std::string(30, 'h'),
                                "XX" + std::string(30, 'H'), 0},
                    PatternCase{"SecondEdgeWins", "R" + std::string(30, 'X') + "F",
                                "X" + std::string(30, 'X') + "F", 64},
                    PatternCase{"ShortCountsAsX", "LF", "LF" + std::string(30, 'X'), 64},
                    PatternCase{"LongIsCut", "H" + X31 + "L", "H" + X31, 64}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(ParameterFileErrors, TheLastCodeIsKeptAndCountedOnesMake255)
{
    // A pattern error alone is the status; with a counted one it is 255.
    EXPECT_EQ(ParseProperty("TriggerPattern1=LF\n").parser.LastErrorCode, 64);
    const Parsed both = ParseProperty("TriggerPattern1=LF\nVolt2=9\n");
    EXPECT_EQ(both.parser.LastErrorCode, 96);
    EXPECT_EQ(both.parser.ErrorCount, 1);
    EXPECT_EQ(both.parser.StatusByte(), 255);
}

TEST(ParameterFileErrors, AnUnreadableFileRecordsTheReadFailures)
{
    // A folder where the file should be: every read fails.
    AnalyzerTestFolder folder;
    CFileSystem parser;
    CFile record;
    parser.Parse(ParameterFile(folder.Path().string()), record);
    // SampleRate 16, RamSize 32, DelayTime 48, Continuous 80, Volt1 96.
    EXPECT_EQ(parser.ErrorCount, 5);
    EXPECT_EQ(parser.LastErrorCode, 96);
    EXPECT_EQ(record.RateRow, 4);
}

TEST(ParameterFileErrors, BreakRecords240UntilTheNextParse)
{
    Parsed p = ParseProperty("");
    p.parser.RecordStop();
    EXPECT_EQ(p.parser.StatusByte(), CFileSystem::ErrorStopped);
    AnalyzerTestFolder folder;
    std::ofstream(folder.File("p.txt")) << "[Property]\nDelayTime=1US\nVolt1=0\n";
    p.parser.Parse(ParameterFile(folder.File("p.txt")), p.record);
    EXPECT_EQ(p.parser.LastErrorCode, CFileSystem::ErrorPattern);
}

TEST(ParameterFileDefaults, ChannelsInOrderAndInUseLevels142)
{
    CFile record;
    record.PortLevel.fill(1);
    CFileSystem::Defaults(record);
    EXPECT_EQ(record.ModelCode, 1);
    for (int i = 0; i < 32; ++i) {
        const auto n = static_cast<size_t>(i);
        EXPECT_EQ(record.DisplayOrder[n], i);
        EXPECT_EQ(record.ChannelEntry[n].Members[0], i);
        EXPECT_EQ(record.ChannelEntry[n].Members[1], 32);
        EXPECT_EQ(record.ChannelEntry[n].InUse, 1);
    }
    EXPECT_EQ(record.PortLevel, (std::array<uint16_t, 4>{142, 142, 142, 142}));
}

TEST(ParameterFileWatch, ChangedOnlyWhenTheModificationTimeMoves)
{
    AnalyzerTestFolder folder;
    const std::string path = folder.File("param.txt");
    CFileSystem watch;
    EXPECT_FALSE(watch.FileAgeChanged(path)) << "no file, nothing to capture";
    std::ofstream(path) << "[Property]\n";
    EXPECT_TRUE(watch.FileAgeChanged(path));
    EXPECT_FALSE(watch.FileAgeChanged(path));
    const auto t = std::filesystem::last_write_time(path);
    std::filesystem::last_write_time(path, t + std::chrono::seconds(1));
    EXPECT_TRUE(watch.FileAgeChanged(path));
    EXPECT_FALSE(watch.FileAgeChanged(path));
    watch.Forget();
    EXPECT_TRUE(watch.FileAgeChanged(path));
}

TEST(ParameterFileAccess, EmptyForMissingThingsAndNoWriteIntoNothing)
{
    AnalyzerTestFolder folder;
    const ParameterFile missing(folder.File("none.txt"));
    EXPECT_EQ(missing.Read("Setting", "AutoRestart"), "Empty");
    EXPECT_FALSE(missing.Write("Setting", "AutoRestart", "NO"));
    EXPECT_FALSE(std::filesystem::exists(missing.Path()));
    const ParameterFile file(folder.File("p.txt"));
    std::ofstream(file.Path()) << "[Setting]\nAutoRestart=\n";
    EXPECT_EQ(file.Read("setting", "autorestart"), "Empty");
    EXPECT_TRUE(file.Write("Setting", "AutoRestart", "Yes"));
    EXPECT_EQ(file.Read("Setting", "AutoRestart"), "Yes");
}

} // namespace
