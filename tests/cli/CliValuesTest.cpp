// What the command line takes as a value: times, patterns, and the
// progress line it draws on a terminal.

#include "cli/CliValues.h"
#include "cli/CliArguments.h"
#include "cli/HeadlessWindow.h"
#include "cli/TriggerOptions.h"
#include "device/CFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

namespace {

struct TimeCase
{
    const char *text;
    std::optional<int64_t> ps; // signed; nothing for a text refused
};

class CliTime : public testing::TestWithParam<TimeCase>
{
};

TEST_P(CliTime, IsExactToThePicosecondOrRefused)
{
    const TimeCase &c = GetParam();
    const auto t = CliValues::Time(c.text);
    ASSERT_EQ(t.has_value(), c.ps.has_value()) << c.text;
    if (!t)
        return;
    const auto magnitude = static_cast<int64_t>(CliValues::Picoseconds(*t));
    EXPECT_EQ(t->IsNegative() ? -magnitude : magnitude, *c.ps) << c.text;
}

const TimeCase Times[] = {
    {"1.5ms", 1500000000},
    {"-2us", -2000000},
    {"700s", 700000000000000},
    {"40 ns", 40000},
    {"2.5uS", 2500000},
    {"1Sec", 1000000000000},
    {"0", 0},
    {"-0", 0},
    {".5ns", 500},
    {"1.0005ns", {}},
    {"5", {}},
    {"1.2.3us", {}},
    {"-", {}},
    {"3 parsecs", {}},
    {"", {}},
};
INSTANTIATE_TEST_SUITE_P(Texts, CliTime, testing::ValuesIn(Times));

TEST(CliPattern, LettersRunFromTheHighestChannelAndItemsNameTheirChannel)
{
    std::array<uint8_t, 32> row{};
    ASSERT_EQ(TriggerOptions::ParsePattern("XXXXXXXXXXXXXLHR", 16, row), "");
    EXPECT_EQ(row[0], CFile::CondRise);
    EXPECT_EQ(row[1], CFile::CondHigh);
    EXPECT_EQ(row[2], CFile::CondLow);
    EXPECT_EQ(row[15], CFile::CondX);
    EXPECT_EQ(TriggerOptions::PatternText(row, 16), "XXXXXXXXXXXXXLHR");

    ASSERT_EQ(TriggerOptions::ParsePattern("CH31=f,0=H", 32, row), "");
    EXPECT_EQ(row[31], CFile::CondFall);
    EXPECT_EQ(row[0], CFile::CondHigh);
    EXPECT_EQ(row[1], CFile::CondX);

    EXPECT_NE(TriggerOptions::ParsePattern("CH16=R", 16, row), ""); // no such channel
    EXPECT_NE(TriggerOptions::ParsePattern("XXXXR", 16, row), "");  // too few letters
    EXPECT_NE(TriggerOptions::ParsePattern("CH1=RR", 16, row), ""); // not one letter
}

TEST(CliArguments, TakesEveryFormOfAnOptionAndKeepsRepeatedValues)
{
    static constexpr CliArguments::Option Options[] = {
        {"output", 'o', "FILE", ""}, {"threshold", 0, "V", ""}, {"quiet", 'q', {}, ""}};
    CliArguments a;
    const std::vector<std::string> args{"in.pjf", "-oout.vcd",      "--threshold=1.5",
                                        "-q",     "--threshold",    "2=3.3",
                                        "--",     "--not-an-option"};
    ASSERT_TRUE(a.Parse(args, Options)) << a.Error;
    EXPECT_EQ(a.Value("output"), "out.vcd");
    EXPECT_EQ(a.Values("threshold"), (std::vector<std::string>{"1.5", "2=3.3"}));
    EXPECT_TRUE(a.Has("quiet"));
    EXPECT_FALSE(a.HelpAsked());
    EXPECT_EQ(a.Operands, (std::vector<std::string>{"in.pjf", "--not-an-option"}));

    CliArguments flagWithValue;
    EXPECT_FALSE(flagWithValue.Parse(std::vector<std::string>{"--quiet=yes"}, Options));
    EXPECT_EQ(flagWithValue.Error, "option --quiet takes no value");
}

TEST(HeadlessWindow, DrawsOneProgressLineEndedOnce)
{
    std::FILE *f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    {
        HeadlessWindow w(3, f);
        w.SetProgress(AcquisitionWindow::IdleProgress); // the idle bar before a run: nothing
        w.SetProgress(0);
        w.SetProgress(50);
        w.SetProgress(50);
        w.SetProgress(100);
        w.EndProgress();
        w.SetProgress(5); // after the end: nothing
    }
    std::rewind(f);
    char text[128] = {};
    const size_t n = std::fread(text, 1, sizeof text - 1, f);
    std::fclose(f);
    EXPECT_EQ(std::string(text, n), "\rcapture:   0%\rcapture:  50%\rcapture: 100%\n");
}

} // namespace
