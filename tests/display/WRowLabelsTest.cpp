// The texts of the signal list: row names, trigger texts of channel and bus
// rows, and the pulse-width text with its sample-period width.

#include "display/WRowLabels.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/Graphics_Waveform.h"
#include "lang/WSysLanguage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint8_t L = CFile::CondLow;
constexpr uint8_t H = CFile::CondHigh;
constexpr uint8_t F = CFile::CondFall;
constexpr uint8_t R = CFile::CondRise;
constexpr uint8_t X = CFile::CondX;

class RowLabels : public ::testing::Test
{
protected:
    // Model 1: 32 channels, rows 32..63 are buses; rate row 0 is 4 ns.
    WSystem system;
    CFile settings;
    Graphics_Waveform view{system, settings};
    WRowLabels labels{view};
    // The state list's row 1: its own fixed texts.
    WRowLabels list{view, WRowLabels::Texts::OfList()};
};

TEST_F(RowLabels, NamesOfChannelAndBusRows)
{
    settings.DisplayOrder.fill(64);
    const uint8_t order[] = {7, 33, 0, 64, 5};
    std::memcpy(settings.DisplayOrder.data(), order, sizeof order);
    std::memcpy(settings.ChannelEntry[7].Name.data(), "CLK\0", 4);
    std::memcpy(settings.BusEntry[1].Name.data(), "ADDR\0", 5);
    // Eight characters and no room left for a terminator: all ten bytes used.
    std::memcpy(settings.ChannelEntry[0].Name.data(), "ABCDEFGHIJ", 10);

    std::vector<std::string> names;
    for (uint8_t row : labels.Rows())
        names.push_back(labels.Name(row));
    EXPECT_EQ(names, (std::vector<std::string>{"CLK", "ADDR", "ABCDEFGH"}));

    std::memcpy(settings.BusEntry[31].Name.data(), "12345678XY", 10);
    EXPECT_EQ(labels.Name(63), "12345678");
    EXPECT_EQ(labels.Name(64), "");
    EXPECT_EQ(labels.Name(-1), "");
}

TEST_F(RowLabels, ChannelConditions)
{
    struct Case
    {
        uint8_t type;
        uint8_t condition;
        const char *text;
        const char *listText; // the state list's
    };
    const Case cases[] = {
        {1, L, "Low", "Low"},
        {1, H, "High", "High"},
        {1, X, "X", "X"},
        {1, R, "Pattern1\u2191", "Pattern1 \u2191"},
        {1, F, "Pattern1\u2193", "Pattern1 \u2193"},
        {1, 4, "", ""},
        {1, 9, "", ""},
        {3, H, "High", "High"},
        {2, R, "Pattern2\u2191", "Pattern2 \u2191"},
        {3, F, "Pattern3\u2193", "Pattern3 \u2193"},
        {4, R, "OR Pattern \u2191", "OR Pattern \u2191"},
        {4, F, "OR Pattern \u2193", "OR Pattern \u2193"},
        {4, L, "Low", "Low"},
        {0, R, "Pattern1\u2191", "Pattern1 \u2191"}, // type 0 reads as Pattern 1
        {6, H, "", ""},                              // no pattern row
    };
    for (const Case &c : cases) {
        for (auto &row : settings.TriggerCondition)
            row.fill(4); // draws nothing: a wrong pattern row shows up
        const size_t row = c.type == 0 ? 0 : c.type - 1u;
        if (row < CFile::PatternRows)
            settings.TriggerCondition[row][12] = c.condition;
        settings.TriggerType = c.type;
        EXPECT_EQ(labels.TriggerText(12), c.text)
            << "type " << int(c.type) << ", condition " << int(c.condition);
        EXPECT_EQ(list.TriggerText(12), c.listText)
            << "list, type " << int(c.type) << ", condition " << int(c.condition);
    }
}

TEST_F(RowLabels, BusPatterns)
{
    struct Case
    {
        const char *what;
        uint8_t type;
        std::vector<uint8_t> conditions; // most significant member first
        const char *text;
        const char *listText; // the state list's
    };
    const Case cases[] = {
        {"six members", 1, {H, L, X, X, X, X}, "Pattern1 = 2X", "Pattern1 = 2X"},
        {"OR pattern", 4, {H, L, X, X, X, X}, "Pattern = 2X", "OR Pattern = 2X"},
        {"OR pattern, sixteen levels",
         4,
         {H, H, H, H, L, L, L, H, H, L, H, L, L, H, L, L},
         "Pattern = F1A4",
         "OR Pattern = F1A4"},
        {"X mixed with 0", 2, {L, X, X, X}, "Pattern2 = $", "Pattern2 = $"},
        {"edge member", 1, {H, L, H, H, L, R, H, L}, "Pattern1 = B$", "Pattern1 = B$"},
        {"falling edge alone", 1, {F}, "Pattern1 = $", "Pattern1 = $"},
        {"sixteen levels",
         3,
         {H, L, H, L, L, H, L, H, H, H, L, L, L, L, H, H},
         "Pattern3 = A5C3",
         "Pattern3 = A5C3"},
        {"short top group", 1, {H, H, L, H, L}, "Pattern1 = 1A", "Pattern1 = 1A"},
        {"no members", 1, {}, "Pattern1 = ", "Pattern1 = "},
    };
    const int bus = 3;
    for (const Case &c : cases) {
        SignalEntry &entry = settings.BusEntry[bus];
        entry.Members.fill(32);
        entry.BitCount = static_cast<uint16_t>(c.conditions.size());
        for (auto &row : settings.TriggerCondition)
            row.fill(H);
        const size_t row = c.type - 1u;
        for (size_t i = 0; i < c.conditions.size(); ++i) {
            const auto channel = static_cast<uint16_t>((5 + 7 * i) % 32); // scattered
            entry.Members[i] = channel;
            settings.TriggerCondition[row][channel] = c.conditions[i];
        }
        settings.TriggerType = c.type;
        EXPECT_EQ(labels.TriggerText(32 + bus), c.text) << c.what;
        EXPECT_EQ(list.TriggerText(32 + bus), c.listText) << c.what;
    }
}

TEST_F(RowLabels, BusMembersThatAreNoChannelsAreLeftOut)
{
    SignalEntry &bus = settings.BusEntry[0];
    bus.Members.fill(32); // "none"
    bus.Members[0] = 1;
    bus.Members[2] = 2;
    bus.Members[3] = 900;
    bus.BitCount = 40; // more than a bus can have
    settings.TriggerType = 1;
    settings.TriggerCondition[0][1] = H;
    settings.TriggerCondition[0][2] = L;
    EXPECT_EQ(labels.TriggerText(32), "Pattern1 = 2");
}

TEST_F(RowLabels, PulseTexts)
{
    struct Case
    {
        int rate; // 0: 4 ns, 24: 40 ms
        uint8_t polarity, compare, unit;
        uint16_t whole, fraction;
        const char *text;
    };
    const Case cases[] = {
        {0, 0, 0, 2, 1, 5, "High < 1.005 uS (1.004us)"},
        {0, 1, 1, 1, 4, 0, "Low = 4.000 nS (4.000ns)"},
        {0, 1, 1, 1, 3, 0, "Low = 3.000 nS (Underflow)"},
        {0, 1, 2, 3, 1, 0, "Low > 1.000 mS (Overflow) "},
        {0, 0, 2, 2, 262, 140, "High > 262.140 uS (262.140us)"}, // 65535 periods
        {0, 0, 2, 2, 262, 144, "High > 262.144 uS (Overflow) "}, // 65536 periods
        {24, 0, 0, 4, 1, 70, "High < 1.070 Sec (1.040s)"},
        {0, 0, 1, 2, 1, 1500, "High = 2.500 uS (2.500us)"}, // fraction carried
        {0, 0, 1, 0, 8, 0, "High = 8.000 nS (8.000ns)"},    // unit 0 counts as ns
        {0, 7, 9, 1, 8, 0, "  8.000 nS (8.000ns)"},         // no such level or comparison
    };
    settings.TriggerType = 5;
    settings.PulseChannel = 9;
    for (const Case &c : cases) {
        view.RateIndex = static_cast<int16_t>(c.rate);
        view.UpdateTimeBase();
        settings.PulsePolarity = c.polarity;
        settings.PulseCompare = c.compare;
        settings.PulseUnit = c.unit;
        settings.PulseWhole = c.whole;
        settings.PulseFraction = c.fraction;
        EXPECT_EQ(labels.TriggerText(9), c.text);
    }
}

TEST_F(RowLabels, PulseTextOnlyOnThePulseChannel)
{
    settings.TriggerType = 5;
    settings.PulseChannel = 9;
    settings.PulseUnit = 2;
    settings.PulseWhole = 1;
    settings.PulseFraction = 5;
    settings.PulseSamples = 0;
    settings.TriggerCondition[0].fill(H);
    EXPECT_EQ(labels.TriggerText(8), "");
    EXPECT_EQ(labels.TriggerText(32 + 9), "");
    EXPECT_EQ(labels.TriggerText(9), "High < 1.005 uS (1.004us)");
    EXPECT_EQ(settings.PulseSamples, 251); // the pulse count ran

    settings.PulseChannel = 40; // no channel of the model
    for (int row = 0; row < 64; ++row)
        EXPECT_EQ(labels.TriggerText(row), "") << row;
}

TEST_F(RowLabels, WordsComeFromTheLanguage)
{
    WRowLabels::Texts words;
    words.Low = "Niedrig";
    words.Pattern = "Muster";
    words.UpArrow = "^";
    words.OrPatternDown = "ODER v";
    words.PulseLevels = {"Hoch", "Tief"};
    WRowLabels german(view, words);
    settings.TriggerType = 1;
    settings.TriggerCondition[0][0] = L;
    settings.TriggerCondition[0][1] = R;
    settings.BusEntry[0].BitCount = 1;
    settings.BusEntry[0].Members[0] = 0;
    EXPECT_EQ(german.TriggerText(0), "Niedrig");
    EXPECT_EQ(german.TriggerText(1), "Muster1^");
    EXPECT_EQ(german.TriggerText(32), "Muster1 = 0");
    settings.TriggerType = 4;
    settings.TriggerCondition[3][2] = F;
    EXPECT_EQ(german.TriggerText(2), "ODER v");
    settings.TriggerType = 5;
    settings.PulseChannel = 3;
    settings.PulsePolarity = 1;
    settings.PulseWhole = 8;
    EXPECT_EQ(german.TriggerText(3), "Tief < 8.000 nS (8.000ns)");

    // The main window's table maps each word to its own key.
    const WRowLabels::Texts built = WRowLabels::Texts::FromLanguage(WSysLanguage());
    const WRowLabels::Texts defaults;
    EXPECT_EQ(built.Low, defaults.Low);
    EXPECT_EQ(built.High, defaults.High);
    EXPECT_EQ(built.Pattern, defaults.Pattern);
    EXPECT_EQ(built.OrPatternUp, defaults.OrPatternUp);
    EXPECT_EQ(built.OrPatternDown, defaults.OrPatternDown);
    EXPECT_EQ(built.UpArrow, defaults.UpArrow);
    EXPECT_EQ(built.DownArrow, defaults.DownArrow);
    EXPECT_EQ(built.OrBusPattern, defaults.OrBusPattern);
}

TEST(RowLabelsPanel, WidthCountsCharacters)
{
    EXPECT_EQ(WRowLabels::ChannelPanelWidth(8, "High < 1.005 uS (1.004us)", 100), 8 * 25 + 100);
    EXPECT_EQ(WRowLabels::ChannelPanelWidth(8, "OR Pattern \u2191", 0), 8 * 12);
    EXPECT_EQ(WRowLabels::ChannelPanelWidth(10, "", 57), 57);
}

} // namespace
