#include "trigger/BusTable.h"

#include "device/CFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int Channels = 16;

CFile Record()
{
    CFile f;
    f.ModelCode = 3;
    f.ResetSettings();
    return f;
}

std::vector<uint16_t> Members(const SignalEntry &e)
{
    return {e.Members.begin(), e.Members.begin() + e.BitCount};
}

TEST(BusTable, UserModeNumbersInMarkingOrderAndRenumbersOnUnmark)
{
    BusTable t(Channels);
    ASSERT_TRUE(t.Add());
    EXPECT_EQ(t.RowCount(), 1);
    EXPECT_EQ(t.RowAt(0).Name, "None0");
    for (int c : {7, 3, 5})
        t.ToggleCell(0, c);
    EXPECT_EQ(t.CellText(0, 7), "1");
    EXPECT_EQ(t.CellText(0, 3), "2");
    EXPECT_EQ(t.CellText(0, 5), "3");
    t.ToggleCell(0, 7);
    EXPECT_EQ(t.CellText(0, 3), "1");
    EXPECT_EQ(t.CellText(0, 5), "2");
    EXPECT_EQ(t.BitsText(0), "2");
    EXPECT_EQ(t.MsbText(0), "MSB = CH3");
    EXPECT_EQ(t.MembersText(0), "3 , 5");

    CFile f = Record();
    t.Commit(f);
    EXPECT_EQ(f.DisplayOrder[0], Channels);
    EXPECT_EQ(f.DisplayOrder[1], 2 * Channels);
    EXPECT_EQ(Members(f.BusEntry[0]), (std::vector<uint16_t>{3, 5}));
    EXPECT_EQ(f.BusEntry[0].Members[2], Channels);
    EXPECT_EQ(CFile::NameText(f.BusEntry[0]), "None0");
    EXPECT_EQ(f.BusEntry[0].InUse, 1);
}

TEST(BusTable, AutoModeTakesMembersFromTheHighestChannelDown)
{
    BusTable t(Channels);
    t.Add();
    t.ToggleMode(0);
    EXPECT_EQ(t.ModeText(0), "Auto");
    for (int c : {2, 9, 4})
        t.ToggleCell(0, c);
    EXPECT_EQ(t.CellText(0, 9), "V");
    CFile f = Record();
    t.Commit(f);
    EXPECT_EQ(Members(f.BusEntry[0]), (std::vector<uint16_t>{9, 4, 2}));
    // Toggling the mode empties the row.
    t.ToggleMode(0);
    EXPECT_EQ(t.BitsText(0), "0");
    EXPECT_EQ(t.ModeText(0), "User");
}

TEST(BusTable, MarkingStopsAtSixteenAndAddingAtTheChannelCount)
{
    BusTable t(32);
    t.Add();
    for (int c = 0; c < 20; ++c)
        t.ToggleCell(0, c);
    EXPECT_EQ(t.RowAt(0).Bits(), 16);
    EXPECT_TRUE(t.CellText(0, 16).empty());
    for (int i = 1; i < 32; ++i)
        EXPECT_TRUE(t.Add());
    EXPECT_FALSE(t.Add());
    EXPECT_EQ(t.RowCount(), 32);
    EXPECT_EQ(t.RowAt(31).Name, "None31");
}

TEST(BusTable, LoadKeepsTheOrderAndCommitDropsRowsWithoutMarks)
{
    // Two buses and three channels, in this order: CH4, BUS01, CH0, BUS00, CH9.
    CFile f = Record();
    f.DisplayOrder.fill(2 * Channels);
    const uint8_t order[] = {4, Channels + 1, 0, Channels, 9};
    std::copy(std::begin(order), std::end(order), f.DisplayOrder.begin());
    f.BusEntry[0].BitCount = 2;
    f.BusEntry[0].Members[0] = 8;
    f.BusEntry[0].Members[1] = 6;
    f.BusEntry[1].BitCount = 3;
    for (int k = 0; k < 3; ++k)
        f.BusEntry[1].Members[static_cast<size_t>(k)] = static_cast<uint16_t>(12 + k);

    BusTable t(Channels);
    t.Load(f);
    ASSERT_EQ(t.RowCount(), 5);
    for (int r = 0; r < 5; ++r)
        EXPECT_EQ(t.ModeText(r), "User") << r;
    EXPECT_EQ(t.RowAt(0).Name, "CH04");
    EXPECT_EQ(t.RowAt(1).Name, "BUS01");
    EXPECT_EQ(t.CellText(1, 14), "3");
    EXPECT_EQ(t.CellText(3, 8), "1");

    // Cancel: the record was never touched by loading.
    EXPECT_EQ(f.DisplayOrder[1], Channels + 1);

    t.Erase(2); // CH0 loses its mark and disappears, and so its name
    t.SetName(4, "LONGNAME99");
    t.Commit(f);
    const uint8_t stored[] = {4, Channels, Channels + 1, 9, 2 * Channels};
    for (size_t i = 0; i < std::size(stored); ++i)
        EXPECT_EQ(f.DisplayOrder[i], stored[i]) << i;
    EXPECT_EQ(Members(f.BusEntry[0]), (std::vector<uint16_t>{12, 13, 14}));
    EXPECT_EQ(Members(f.BusEntry[1]), (std::vector<uint16_t>{8, 6}));
    EXPECT_EQ(CFile::NameText(f.ChannelEntry[9]), "LONGNAME");
    EXPECT_EQ(CFile::NameText(f.ChannelEntry[0]), "");
    EXPECT_EQ(f.ChannelEntry[0].BitCount, 1);
}

TEST(BusTable, BadEntriesFromAFileLoadWhatTheModelHas)
{
    CFile f = Record();
    f.DisplayOrder.fill(2 * Channels);
    f.DisplayOrder[0] = Channels;
    f.DisplayOrder[1] = Channels + 1;
    f.BusEntry[0].BitCount = 40; // wider than a bus can be
    for (size_t k = 0; k < 16; ++k)
        f.BusEntry[0].Members[k] = static_cast<uint16_t>(k % 2 ? 31 : k); // 31: no such channel
    f.BusEntry[1].BitCount = 0;
    BusTable t(Channels);
    t.Load(f);
    ASSERT_EQ(t.RowCount(), 2);
    EXPECT_EQ(t.MembersText(0), "0 , 2 , 4 , 6 , 8 , 10 , 12 , 14");
    EXPECT_EQ(t.CellText(0, 2), "2");
    EXPECT_EQ(t.BitsText(1), "0");
}

TEST(BusTable, DeleteRemovesTheRowAndEmptiesTheLastOne)
{
    BusTable t(Channels);
    t.Add();
    t.Add();
    t.ToggleCell(1, 3);
    t.Delete(0);
    ASSERT_EQ(t.RowCount(), 1);
    EXPECT_EQ(t.CellText(0, 3), "1");
    t.Delete(0);
    EXPECT_EQ(t.RowCount(), 1);
    EXPECT_TRUE(t.RowAt(0).IsEmpty());
    EXPECT_TRUE(t.BitsText(0).empty());
    // The emptied row is taken by the next Add.
    t.Add();
    EXPECT_EQ(t.RowCount(), 1);
    EXPECT_EQ(t.RowAt(0).Name, "None0");
}

} // namespace
