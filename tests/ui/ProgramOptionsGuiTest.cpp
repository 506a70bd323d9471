#include "ui/ProgramOptions.h"

#include <gtest/gtest.h>

namespace {

using Action = ProgramOptions::Action;
using Stage = ProgramOptions::Stage;

struct OptionsCase
{
    const char *name;
    bool analyzer;
    Stage stage;
    QStringList arguments; // after the program's own name
    Action action;
    bool autoScale = false;
    QString parameterFile = {};
    bool noWindow = false;
};

void PrintTo(const OptionsCase &c, std::ostream *os)
{
    *os << c.name;
}

class Options : public testing::TestWithParam<OptionsCase>
{
};

TEST_P(Options, ParseDecidesWhatTheProgramDoes)
{
    const OptionsCase &c = GetParam();
    ProgramOptions options =
        c.analyzer ? ProgramOptions::Tracemoor() : ProgramOptions::Gathermoor();
    EXPECT_EQ(options.Parse(QStringList{"/opt/tm/bin/tracemoor"} + c.arguments, c.stage), c.action);
    EXPECT_EQ(options.AutoScale(), c.autoScale);
    EXPECT_EQ(options.ParameterFile(), c.parameterFile);
    EXPECT_EQ(options.NoWindow(), c.noWindow);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, Options, testing::Values(
    OptionsCase{"Nothing", true, Stage::AfterQt, {}, Action::Start},
    OptionsCase{"AutoScale", true, Stage::AfterQt, {"--auto-scale"}, Action::Start, true},
    OptionsCase{"HelpWinsOverAnUnknownOption", true, Stage::BeforeQt, {"--bogus", "-?"},
                Action::Help},
    OptionsCase{"ShortVersion", false, Stage::BeforeQt, {"-v"}, Action::Version},
    // Before Qt a Qt option and its value are left to Qt; after Qt anything
    // left over is the user's mistake.
    OptionsCase{"QtOptionBeforeQt", true, Stage::BeforeQt,
                {"-style", "fusion", "--auto-scale"}, Action::Start, true},
    OptionsCase{"QtOptionAfterQt", true, Stage::AfterQt, {"-style", "fusion"}, Action::Error},
    OptionsCase{"UnknownBeforeQt", true, Stage::BeforeQt, {"-x"}, Action::Error},
    OptionsCase{"ArgumentAfterQt", true, Stage::AfterQt, {"file.pjf"}, Action::Error},
    OptionsCase{"ValueAfterQt", true, Stage::AfterQt, {"--auto-scale=1"}, Action::Error},
    OptionsCase{"AutoScaleInGathermoor", false, Stage::BeforeQt, {"--auto-scale"},
                Action::Error},
    OptionsCase{"GathermoorParam", false, Stage::AfterQt, {"--param", "/lab/p.txt"},
                Action::Start, false, "/lab/p.txt"},
    OptionsCase{"GathermoorNoWindowBeforeQt", false, Stage::BeforeQt,
                {"-platform", "offscreen", "--no-window"}, Action::Start, false, {}, true},
    OptionsCase{"GathermoorParamWithoutFile", false, Stage::AfterQt, {"--param"}, Action::Error},
    OptionsCase{"ParamInTracemoor", true, Stage::BeforeQt, {"--param", "p.txt"}, Action::Error}),
    [](const testing::TestParamInfo<OptionsCase> &row) { return row.param.name; });
// clang-format on

TEST(Options, TextsNameTheProgramAsItWasCalled)
{
    ProgramOptions options = ProgramOptions::Tracemoor();
    ASSERT_EQ(options.Parse({"/opt/tm/bin/tracemoor", "--nope"}, Stage::BeforeQt), Action::Error);
    EXPECT_EQ(options.ErrorText(), "tracemoor: Unknown option 'nope'.\nUsage: tracemoor [options]\n"
                                   "Try 'tracemoor --help' for more information.\n");
    EXPECT_TRUE(options.HelpText().startsWith("Usage: tracemoor [options]\n"));
}

} // namespace
