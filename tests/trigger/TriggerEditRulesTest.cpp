#include "device/CFile.h"
#include "trigger/PatternRowEdit.h"
#include "trigger/PortLevels.h"
#include "trigger/TriggerCounterText.h"
#include "trigger/TriggerFields.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TriggerCounterText, KeepsTheCounterWithinOneTo255)
{
    using M = TriggerCounterText::Message;
    struct Case
    {
        const char *typed;
        const char *shown;
        M said;
    };
    const Case cases[] = {{"300", "255", M::Maximum}, {"256", "255", M::Maximum},
                          {"255", "255", M::None},    {"0", "1", M::Minimum},
                          {"000", "1", M::Minimum},   {"", "1", M::None},
                          {"7", "7", M::None},        {"99999999999999999999", "255", M::Maximum}};
    for (const Case &c : cases) {
        const auto fixed = TriggerCounterText::Corrected(c.typed);
        EXPECT_EQ(fixed.Text, c.shown) << c.typed;
        EXPECT_EQ(fixed.Said, c.said) << c.typed;
    }
    int value = 0;
    EXPECT_TRUE(TriggerCounterText::Value("3", value));
    EXPECT_EQ(value, 3);
    for (const char *bad : {"", "0", "256", "1a", "-1"})
        EXPECT_FALSE(TriggerCounterText::Value(bad, value)) << bad;
}

TEST(PortLevels, CodesOfBothModelFamilies)
{
    struct Case
    {
        int model;
        int ttl, cmos, ecl, min, max;
    };
    for (const Case &c : {Case{9, 270, 280, 242, 55, 455}, Case{10, 270, 280, 242, 55, 455},
                          Case{3, 142, 152, 114, 87, 167}, Case{0, 142, 152, 114, 87, 167}}) {
        EXPECT_EQ(PortLevels::StandardCode(c.model, PortLevels::TTL), c.ttl);
        EXPECT_EQ(PortLevels::StandardCode(c.model, PortLevels::CMOS), c.cmos);
        EXPECT_EQ(PortLevels::StandardCode(c.model, PortLevels::ECL), c.ecl);
        EXPECT_EQ(PortLevels::MinCode(c.model), c.min);
        EXPECT_EQ(PortLevels::MaxCode(c.model), c.max);
        EXPECT_EQ(PortLevels::StandardOf(c.model, c.ecl), PortLevels::ECL);
        EXPECT_EQ(PortLevels::StandardOf(c.model, c.ttl + 1), -1);
    }
    struct Text
    {
        int model, code;
        const char *volts;
    };
    for (const Text &t : {Text{9, 242, "-1.3"}, Text{3, 142, "1.5"}, Text{3, 127, "0"},
                          Text{3, 87, "-4"}, Text{9, 275, "2"}, Text{4, 122, "-0.5"}})
        EXPECT_EQ(PortLevels::VoltText(t.model, t.code), t.volts) << t.code;
}

// A row of the working copy written as letters, highest channel first.
std::string Letters(const PatternRowEdit::Row &row, int channels)
{
    std::string s;
    for (int c = channels - 1; c >= 0; --c)
        s += PatternRowEdit::Letter(row[static_cast<size_t>(c)]);
    return s;
}

PatternRowEdit::Row AllX()
{
    PatternRowEdit::Row row;
    row.fill(CFile::CondX);
    return row;
}

TEST(PatternRowEdit, KeepsOneEdgePerRow)
{
    auto row = AllX();
    PatternRowEdit edit(row, 16, 1, -1);
    edit.SetEdge(5, CFile::CondFall);
    // Double clicks on channel 9: X -> L -> H -> F (the edge moves here).
    for (int i = 0; i < 3; ++i)
        edit.Cycle(9);
    EXPECT_EQ(Letters(row, 16), "XXXXXXFXXXXXXXXX");
    edit.Cycle(9);
    EXPECT_EQ(row[9], CFile::CondRise);
    edit.Drag(9, 2, CFile::CondRise);
    EXPECT_EQ(Letters(row, 16), "XXXXXXXXXXXXXRXX");
    edit.Drag(3, 4, CFile::CondHigh);
    EXPECT_EQ(row[4], CFile::CondHigh);
    EXPECT_EQ(row[2], CFile::CondRise);
}

TEST(PatternRowEdit, SequencesTakeLevelsOnly)
{
    auto row = AllX();
    PatternRowEdit edit(row, 16, 2, -1);
    edit.Cycle(0); // L
    edit.Cycle(0); // H
    edit.Cycle(0); // X: no edges in a sequence
    EXPECT_EQ(row[0], CFile::CondX);
    edit.SetEdge(1, CFile::CondRise);
    EXPECT_EQ(row[1], CFile::CondX);
}

TEST(PatternRowEdit, TheLockedChannelStaysDontCare)
{
    auto row = AllX();
    PatternRowEdit edit(row, 32, 1, 31);
    edit.SetAll(CFile::CondLow);
    EXPECT_EQ(row[31], CFile::CondX);
    EXPECT_EQ(row[30], CFile::CondLow);
    edit.Cycle(31);
    edit.SetLevel(31, CFile::CondHigh);
    edit.SetEdge(31, CFile::CondRise);
    edit.Drag(30, 31, CFile::CondLow);
    EXPECT_EQ(row[31], CFile::CondX);
}

TEST(TriggerFields, AFileWithFieldsOutOfRangeGivesSaneValues)
{
    CFile r;
    r.TriggerType = 9;
    r.TriggerCondition[0].fill(CFile::CondX);
    r.TriggerCondition[0][3] = 4;  // not a condition
    r.TriggerCondition[0][4] = 77; // not a condition
    r.TriggerCondition[0][6] = CFile::CondRise;
    r.TriggerCondition[0][9] = CFile::CondFall; // a second edge: the highest stays
    r.TriggerCondition[1][0] = CFile::CondHigh;
    r.ContinuousTrigger = 3;
    r.TriggerCounter = 0;
    r.ClockSource = 2;
    r.PulseChannel = 40;
    r.PulsePolarity = 5;
    r.PulseCompare = 9;
    r.PulseUnit = 0;
    r.PulseWhole = 5000;
    r.PulseFraction = 1000;
    TriggerFields::MakeSane(r);
    EXPECT_EQ(r.TriggerType, 1);
    EXPECT_EQ(r.TriggerCondition[0][3], CFile::CondX);
    EXPECT_EQ(r.TriggerCondition[0][4], CFile::CondX);
    EXPECT_EQ(r.TriggerCondition[0][6], CFile::CondX);
    EXPECT_EQ(r.TriggerCondition[0][9], CFile::CondFall);
    EXPECT_EQ(r.TriggerCondition[1][0], CFile::CondHigh);
    EXPECT_EQ(r.ContinuousTrigger, 1);
    EXPECT_EQ(r.TriggerCounter, 1);
    EXPECT_EQ(r.ClockSource, 0);
    EXPECT_EQ(r.PulseChannel, 0);
    EXPECT_EQ(r.PulsePolarity, 0);
    EXPECT_EQ(r.PulseCompare, 0);
    EXPECT_EQ(r.PulseUnit, 1);
    EXPECT_EQ(r.PulseWhole, 999);
    EXPECT_EQ(r.PulseFraction, 999);

    CFile stored;
    stored.TriggerType = 0; // an older block: Pattern 1
    TriggerFields::MakeSane(stored);
    EXPECT_EQ(stored.TriggerType, 1);
}

} // namespace
