#include "files/TextReport.h"

#include "device/CFile.h"
#include "device/WSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace {

// A model-1 record listing CH0, a channel named with eight characters (CH2)
// and a 5-bit bus of CH4..CH0, over a ring of 16 samples whose word is the
// sample number + 3 (sample 0 at ring sample 5, the capture -5..+10).
struct Report
{
    explicit Report(int model = 1)
    {
        system.SelectModel(model);
        settings.ModelCode = static_cast<uint8_t>(model);
        settings.ResetSettings();
        settings.DisplayOrder[0] = 0;
        settings.DisplayOrder[1] = 2;
        settings.DisplayOrder[2] = static_cast<uint8_t>(system.ChannelCount + 1);
        std::memcpy(settings.ChannelEntry[2].Name.data(), "EightChr", 9);
        SignalEntry &bus = settings.BusEntry[1];
        std::memcpy(bus.Name.data(), "Bus", 4);
        bus.Members.fill(system.ChannelCount);
        for (uint16_t i = 0; i < 5; ++i)
            bus.Members[i] = static_cast<uint16_t>(4 - i);
        bus.BitCount = 5;
        bus.DisplayFormat = 1;
        for (uint32_t i = 0; i < 16; ++i) {
            const uint32_t word = (i + 16 - 5) % 16 + 3 - (i < 5 ? 16 : 0);
            for (int b = 0; b < 4; ++b)
                ring.push_back(static_cast<uint8_t>(word >> (8 * b)));
        }
        capture.Ring = ring;
        capture.ZeroAddress = 5 * 4;
        capture.Mask = 16 * 4 - 1;
        capture.First = -5;
        capture.Last = 10;
        capture.Cursors = {{'T', 0}, {'B', 2}, {'A', INT32_MIN}};
    }
    TextReport Make() const { return TextReport(settings, system, capture); }

    WSystem system;
    CFile settings;
    std::vector<uint8_t> ring;
    TextReport::Capture capture;
};

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> out;
    size_t at = 0;
    for (size_t end; (end = text.find('\r', at)) != std::string::npos; at = end + 1)
        out.push_back(text.substr(at, end - at));
    return out;
}

TEST(TextReport, BusValuesInEachBase)
{
    struct Case
    {
        uint32_t value;
        int bits, format;
        const char *text;
    } const cases[] = {
        {19, 5, 0, "0x13"}, {19, 5, 1, "19"},   {19, 5, 2, "10011"},
        {0, 8, 0, "0x00"},  {0, 9, 0, "0x000"}, {0xABCDE, 20, 0, "0xABCDE"},
        {1, 1, 2, "1"},     {2, 4, 2, "0010"},  {65535, 16, 1, "65535"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TextReport::BusValueText(c.value, c.bits, c.format), c.text) << c.text;
}

TEST(TextReport, PortLevels)
{
    EXPECT_EQ(TextReport::PortLevelText(1, 142), "TTL(1.5v)");
    EXPECT_EQ(TextReport::PortLevelText(1, 152), "CMOS(2.5v)");
    EXPECT_EQ(TextReport::PortLevelText(1, 114), "ECL(-1.3v)");
    EXPECT_EQ(TextReport::PortLevelText(9, 270), "TTL(1.5v)");
    EXPECT_EQ(TextReport::PortLevelText(9, 242), "ECL(-1.3v)");
    EXPECT_EQ(TextReport::PortLevelText(9, 275), "2v");
    EXPECT_EQ(TextReport::PortLevelText(1, 108), "-1v"); // -1.9 V toward zero
    EXPECT_EQ(TextReport::PortLevelText(1, 120), "0v");
}

TEST(TextReport, DataOnlyTextFile)
{
    Report r;
    TextReport::Options o;
    o.WithParameters = false;
    o.From = "b";
    o.To = "Start";
    const std::string text = r.Make().Text(o);
    EXPECT_EQ(text.find('\n'), std::string::npos);
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 1u + 8u); // -5 .. +2
    // The eight-character name is not followed by a tab.
    EXPECT_EQ(lines[0], "\tSample No.\tCH00\tEightChrBus\t");
    EXPECT_EQ(lines[1], "Start\t-5\t\t0\t1\t30\t\t"); // word -2: all ones but bit 0
    EXPECT_EQ(lines[6], "T\t+0\t\t1\t0\t3\t\t");
    EXPECT_EQ(lines[8], "B\t+2\t\t1\t1\t5\t\t");
}

TEST(TextReport, CommaSeparatedRowsAndReversedRange)
{
    Report r;
    TextReport::Options o;
    o.Kind = TextReport::Format::Csv;
    o.WithParameters = false;
    o.From = "End";
    o.To = "T";
    const TextReport report = r.Make();
    const std::vector<std::string> lines = Lines(report.Text(o));
    ASSERT_EQ(lines.size(), 1u + 11u);
    EXPECT_EQ(lines[0], ",Sample No.,CH00,EightChr,Bus,");
    EXPECT_EQ(lines[11], "End,+10,1,1,13,");
    o.From = "T";
    o.To = "End";
    const std::string forward = report.Text(o);
    std::swap(o.From, o.To);
    EXPECT_EQ(report.Text(o), forward);
    // The preview table shows the same cells.
    EXPECT_EQ(report.Headings(),
              (std::vector<std::string>{"", "Sample No.", "CH00", "EightChr", "Bus"}));
    EXPECT_EQ(report.Cell(10, 0, o), "End");
    EXPECT_EQ(report.Cell(10, 1, o), "+10");
    EXPECT_EQ(report.Cell(10, 4, o), "13");
}

TEST(TextReport, RangeChoicesAndCursorsOutsideTheCapture)
{
    Report r;
    const TextReport report = r.Make();
    EXPECT_EQ(report.RangeChoices(), (std::vector<std::string>{"Start", "End", "T", "B", "A"}));
    EXPECT_EQ(report.Resolve("a"), -5); // before the capture: its first sample
    EXPECT_EQ(report.Resolve("B"), 2);
    EXPECT_EQ(report.Resolve("End"), 10);

    const WTime period = Normalise(WTime{{0, 10, 0, 0, 0}, 1}); // 10 ns
    const WTime back = Normalise(WTime{{0, 25, 0, 0, 0}, 0});   // -25 ns
    const WTime far = Normalise(WTime{{0, 0, 0, 1, 0}, 1});     // 1 ms
    EXPECT_EQ(TextReport::CursorSample(back, period, -5, 10), -2);
    EXPECT_EQ(TextReport::CursorSample(far, period, -5, 10), INT32_MAX);
    EXPECT_EQ(TextReport::CursorSample(back, period, 0, 10), INT32_MIN);
}

// Start and End are the Listing's first and last rows: the record's depth
// split at the trigger position, the trigger sample counted after it too.
TEST(TextReport, StartAndEndAreTheListingsFirstAndLastSamples)
{
    struct Case
    {
        uint32_t depth;
        int position;
        int64_t first, last;
    } const cases[] = {
        {1000, 5, -500, 500},
        {300, 9, -270, 30},
        {20000, 3, -6000, 14000},
        {512000, 1, -51200, 460800},
        {4194304, 3, -1258291, 2936012},
        {1024000, 0, 0, 1024000},
        {1024000, 10, -1024000, 0},
        {0, 5, 0, 0},
    };
    for (const Case &c : cases) {
        const TextReport::SampleRange range = TextReport::RecordRange(c.depth, c.position);
        EXPECT_EQ(range.First, c.first) << c.depth << " at " << c.position;
        EXPECT_EQ(range.Last, c.last) << c.depth << " at " << c.position;
    }

    // A default report of such a capture lists every one of its rows.
    Report r;
    const TextReport::SampleRange range = TextReport::RecordRange(20000, 3);
    r.capture.First = range.First;
    r.capture.Last = range.Last;
    r.capture.Cursors = {{'T', 0}};
    TextReport::Options o;
    o.WithParameters = false;
    const std::vector<std::string> lines = Lines(r.Make().Text(o));
    ASSERT_EQ(lines.size(), 1u + 20001u);
    EXPECT_EQ(lines[1].substr(0, 12), "Start\t-6000\t");
    EXPECT_EQ(lines[6001].substr(0, 5), "T\t+0\t");
    EXPECT_EQ(lines.back().substr(0, 11), "End\t+14000\t");
}

TEST(TextReport, EmptySignalListHasNoDataSection)
{
    Report r;
    r.settings.DisplayOrder.fill(static_cast<uint8_t>(r.system.RowCount));
    TextReport::Options o;
    o.WithParameters = false;
    EXPECT_EQ(r.Make().Text(o), "");
    o.WithParameters = true;
    const std::vector<std::string> lines = Lines(r.Make().Text(o));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), std::string(89, '-'));
}

TEST(TextReport, HeaderAndParameters)
{
    Report r(9); // two ports
    r.settings.PortLevel[1] = 275;
    r.settings.TriggerType = 2;
    r.settings.TriggerCondition[1][15] = CFile::CondRise;
    r.settings.TriggerCounter = 3;
    TextReport::Options o;
    o.FileName = "run.txt";
    o.Date = "2026-12-10";
    o.Time = "12:00";
    o.Tester = "Ada";
    o.Comments = "line one\nline two";
    o.From = "T";
    o.To = "B";
    const std::string text = r.Make().Text(o);
    const std::vector<std::string> lines = Lines(text);
    const std::vector<std::string> head(lines.begin(), lines.begin() + 24);
    const std::vector<std::string> expected{
        "File Name: run.txt",
        "Date: 2026-12-10 Time: 12:00",
        "Tester: Ada",
        "Comments: line one\nline two",
        "",
        std::string(50, '-'),
        "--         Parameters of Logic Analyzer         --",
        std::string(50, '-'),
        "Model: QX-A16E",
        "Sample Rate: 250MHz/4nS",
        "       Int/Ext: Int",
        "       Ram Size: Auto",
        "       Memory Percentage(%): 50%",
        "",
        "Trigger Level",
        "        Port 0: TTL(1.5v)",
        "        Port 1: 2v",
        "Trigger Mode: Pattern 2",
        "Trig Counter(Times): 3",
        "Description of patterns : X = Don't Care | H = High | L = Low | R = Raising | F = "
        "Falling",
        "--------------------------------------- Pattern 1 ---------------------------------------",
        "15  14  13  12  11  10  9   8   7   6   5   4   3   2   1   0   ",
        "X   X   X   X   X   X   X   X   X   X   X   X   X   X   X   X   ",
        "",
    };
    EXPECT_EQ(head, expected);
    EXPECT_EQ(lines[25], "15  14  13  12  11  10  9   8   7   6   5   4   3   2   1   0   ");
    EXPECT_EQ(lines[26].substr(0, 8), "R   X   ");
    EXPECT_EQ(lines[28], "From: T\tTo: B");
    EXPECT_EQ(lines[29], std::string(89, '-'));
    EXPECT_EQ(lines[30].substr(0, 12), "\tSample No.\t");
}

TEST(TextReport, PulseWidthAndOrPatternBlocks)
{
    Report r;
    r.settings.TriggerType = 5;
    r.settings.PulseChannel = 7;
    r.settings.PulsePolarity = 1;
    r.settings.PulseCompare = 2;
    r.settings.PulseWhole = 12;
    r.settings.PulseFraction = 5;
    r.settings.PulseUnit = 2;
    TextReport::Options o;
    o.Kind = TextReport::Format::Csv;
    const std::string pulse = r.Make().Parameters(o);
    EXPECT_EQ(pulse.find("Description"), std::string::npos);
    EXPECT_NE(pulse.find("Channel: 7\rLevel: Low Level\rCondition: > (surpass)\rTime: 12.5uS\r\r"),
              std::string::npos);

    r.settings.TriggerType = 4;
    const std::string orPattern = r.Make().Parameters(o);
    EXPECT_NE(orPattern.find("- OR Pattern -"), std::string::npos);
    EXPECT_EQ(orPattern.find(','), std::string::npos); // no commas, even comma-separated
    r.settings.TriggerType = 1;
    EXPECT_NE(r.Make().Parameters(o).find("31  ,30  ,"), std::string::npos);
}

} // namespace
