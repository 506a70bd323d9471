#include "display/WGetName.h"

#include "device/CFile.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(WGetName, ReadsAndRenamesChannelsAndBuses)
{
    CFile file;
    file.ModelCode = 3;  // 16 channels
    file.ResetSettings();
    WGetName names(file);
    EXPECT_EQ(names.GetName(7), "CH07");
    EXPECT_EQ(names.GetName(-1), "");
    EXPECT_EQ(names.GetName(32), "");

    // Row 18 of a 16-channel model is bus 2, not channel 18.
    ASSERT_TRUE(names.SetRowName(18, 16, "ADDR"));
    EXPECT_EQ(CFile::NameText(file.BusEntry[2]), "ADDR");
    EXPECT_EQ(names.GetName(18), "CH18");
    EXPECT_EQ(names.RowName(18, 16), "ADDR");

    // Nine characters: eight are kept, followed by the zero byte.
    ASSERT_TRUE(names.SetRowName(5, 16, "ABCDEFGHI"));
    EXPECT_EQ(names.GetName(5), "ABCDEFGH");
    EXPECT_EQ(std::memcmp(file.ChannelEntry[5].Name.data(), "ABCDEFGH\0", 9), 0);

    // The old name's tail does not survive a shorter one.
    ASSERT_TRUE(names.SetRowName(5, 16, "X"));
    EXPECT_EQ(std::memcmp(file.ChannelEntry[5].Name.data(), "X\0\0\0\0\0\0\0\0", 9), 0);

    EXPECT_FALSE(names.SetRowName(48, 16, "out"));
    EXPECT_FALSE(names.SetRowName(-1, 16, "out"));
}

}  // namespace
