// The trigger-pattern pop-up: its items by row kind and trigger type, and
// what the items do to the settings record (one edge per pattern row).

#include "analyzer/PatternPopup.h"

#include "device/CFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using A = PatternPopup::Action;

constexpr int Channels = 16;
constexpr int Rows = 32;

// "Caption+" for an enabled item, "Caption-" for a disabled one, sub-items
// after a ">".
std::string Menu(int signal, int triggerType)
{
    std::string s;
    for (const PatternPopup::Item &i : PatternPopup::Items(signal, Channels, Rows, triggerType)) {
        if (!s.empty())
            s += ' ';
        if (i.Parent != PatternPopup::NoParent)
            s += '>';
        s += std::string(i.Caption) + (i.Enabled ? '+' : '-');
    }
    return s;
}

struct MenuCase
{
    const char *what;
    int signal;
    int triggerType;
    const char *expected;
};

class PopupItems : public ::testing::TestWithParam<MenuCase>
{
};

TEST_P(PopupItems, ByRowAndTriggerType)
{
    EXPECT_EQ(Menu(GetParam().signal, GetParam().triggerType), GetParam().expected)
        << GetParam().what;
}

const char *const AllChannelItems = "Low+ High+ Don't Care+ Raising+ Falling+ Advanced Trigger+";
const char *const NoEdgeItems = "Low+ High+ Don't Care+ Raising- Falling- Advanced Trigger+";

INSTANTIATE_TEST_SUITE_P(
    Cases, PopupItems,
    ::testing::Values(MenuCase{"pattern 1", 3, 1, AllChannelItems},
                      MenuCase{"type 0 reads as 1", 3, 0, AllChannelItems},
                      MenuCase{"patterns 1 and 2: no edges", 3, 2, NoEdgeItems},
                      MenuCase{"patterns 1 to 3: no edges", 3, 3, NoEdgeItems},
                      MenuCase{"OR pattern", 15, 4, AllChannelItems},
                      MenuCase{"pulse width: only Advanced Trigger", 3, 5,
                               "Low- High- Don't Care- Raising- Falling- Advanced Trigger+"},
                      MenuCase{"bus row", 16, 1,
                               "Base Mode...+ >Hexadecimal+ >Decimal+ >Binary+ Advanced Trigger+"},
                      MenuCase{"bus row, pulse width", 31, 5,
                               "Base Mode...+ >Hexadecimal+ >Decimal+ >Binary+ Advanced Trigger+"},
                      MenuCase{"beyond the rows", 32, 1, ""}));

TEST(PatternPopup, ChannelItemsUseTheLanguageTable)
{
    const std::vector<PatternPopup::Item> items = PatternPopup::Items(0, Channels, Rows, 1);
    ASSERT_EQ(items.size(), 6u);
    EXPECT_TRUE(items[3].HasLanguageText);
    EXPECT_EQ(items[3].TextId, WSysLanguage::strWaveformMenu1Item4);
    EXPECT_EQ(items[5].TextId, WSysLanguage::strWaveformMenu1Item6);
}

class PopupActions : public ::testing::Test
{
protected:
    PatternPopup::Outcome Do(A action, int signal, bool listing = false)
    {
        return PatternPopup::Apply(settings, action, signal, Channels, Rows, listing);
    }
    // Row r of the trigger conditions as letters, channel 0 first.
    std::string Pattern(int r) const
    {
        std::string s;
        for (int c = 0; c < Channels; ++c) {
            switch (settings.TriggerCondition[static_cast<size_t>(r)][static_cast<size_t>(c)]) {
            case CFile::CondLow:
                s += 'L';
                break;
            case CFile::CondHigh:
                s += 'H';
                break;
            case CFile::CondFall:
                s += 'F';
                break;
            case CFile::CondRise:
                s += 'R';
                break;
            case CFile::CondX:
                s += 'X';
                break;
            default:
                s += '?';
            }
        }
        return s;
    }
    void SetUp() override
    {
        for (auto &row : settings.TriggerCondition)
            row.fill(CFile::CondX);
    }
    CFile settings;
};

TEST_F(PopupActions, LevelsGoToThePatternRowOfTheTriggerType)
{
    settings.TriggerType = 3;
    EXPECT_TRUE(Do(A::High, 0).TriggerChanged);
    EXPECT_TRUE(Do(A::Low, 2).TriggerChanged);
    EXPECT_TRUE(Do(A::DontCare, 2).TriggerChanged);
    EXPECT_EQ(Pattern(2), "HXXXXXXXXXXXXXXX");
    EXPECT_EQ(Pattern(0), "XXXXXXXXXXXXXXXX");
    EXPECT_EQ(Pattern(1), "XXXXXXXXXXXXXXXX");
}

TEST_F(PopupActions, OneEdgePerPatternRow)
{
    settings.TriggerType = 1;
    Do(A::High, 1);
    Do(A::Raising, 3);
    EXPECT_EQ(Pattern(0), "XHXRXXXXXXXXXXXX");
    EXPECT_EQ(PatternPopup::EdgeChannel(settings, 0, Channels), 3);

    // "Raising" on a second channel turns the first channel's edge into X.
    Do(A::Raising, 9);
    EXPECT_EQ(Pattern(0), "XHXXXXXXXRXXXXXX");
    Do(A::Falling, 12);
    EXPECT_EQ(Pattern(0), "XHXXXXXXXXXXFXXX");
    EXPECT_EQ(PatternPopup::EdgeChannel(settings, 0, Channels), 12);

    // Setting the edge channel to a level drops the edge.
    Do(A::Low, 12);
    EXPECT_EQ(Pattern(0), "XHXXXXXXXXXXLXXX");
    EXPECT_EQ(PatternPopup::EdgeChannel(settings, 0, Channels), -1);
}

TEST_F(PopupActions, OrPatternEditsRowThree)
{
    settings.TriggerType = 4;
    settings.TriggerCondition[0][5] = CFile::CondRise; // the edge of another row stays
    Do(A::Falling, 7);
    EXPECT_EQ(Pattern(3), "XXXXXXXFXXXXXXXX");
    EXPECT_EQ(Pattern(0), "XXXXXRXXXXXXXXXX");
}

TEST_F(PopupActions, DisabledItemsChangeNothing)
{
    settings.TriggerType = 2;
    EXPECT_FALSE(Do(A::Raising, 3).TriggerChanged);
    EXPECT_EQ(Pattern(1), "XXXXXXXXXXXXXXXX");

    settings.TriggerType = 5;
    EXPECT_FALSE(Do(A::Low, 3).TriggerChanged);
    EXPECT_TRUE(Do(A::AdvancedTrigger, 3).OpenAdvancedTrigger);
    for (int r = 0; r < CFile::PatternRows; ++r)
        EXPECT_EQ(Pattern(r), "XXXXXXXXXXXXXXXX");

    settings.TriggerType = 1;
    EXPECT_FALSE(Do(A::Low, 16).TriggerChanged);      // a bus row has no level items
    EXPECT_EQ(Do(A::Hexadecimal, 3).DisplayBase, -1); // a channel row has no bases
    EXPECT_FALSE(Do(A::Low, 40).TriggerChanged);      // beyond the rows
}

TEST_F(PopupActions, BaseOfABusRow)
{
    settings.BusEntry[2].DisplayFormat = 0;
    // Waveform page: the base goes to the view's row, not to the record.
    const PatternPopup::Outcome wave = Do(A::Binary, Channels + 2, false);
    EXPECT_EQ(wave.DisplayBase, 2);
    EXPECT_FALSE(wave.TriggerChanged);
    EXPECT_EQ(settings.BusEntry[2].DisplayFormat, 0);
    // Listing page: the bus entry's display format.
    EXPECT_EQ(Do(A::Decimal, Channels + 2, true).DisplayBase, 1);
    EXPECT_EQ(settings.BusEntry[2].DisplayFormat, 1);
    EXPECT_TRUE(Do(A::AdvancedTrigger, Channels + 2).OpenAdvancedTrigger);
}

} // namespace
