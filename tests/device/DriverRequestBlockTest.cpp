#include "device/DriverRequestBlock.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

struct TimeoutCase
{
    uint32_t Ms;
    uint32_t Seconds;
};

class ControlTimeout : public testing::TestWithParam<TimeoutCase>
{
};

TEST_P(ControlTimeout, IsSentInWholeSecondsWithShortOnesRoundedUp)
{
    EXPECT_EQ(DriverRequestBlock::ControlTimeoutSeconds(GetParam().Ms), GetParam().Seconds);
}

INSTANTIATE_TEST_SUITE_P(Rounding, ControlTimeout,
                         testing::Values(TimeoutCase{0, 0}, TimeoutCase{1, 1}, TimeoutCase{500, 1},
                                         TimeoutCase{999, 1}, TimeoutCase{1000, 1},
                                         TimeoutCase{1999, 1}, TimeoutCase{2500, 2},
                                         TimeoutCase{10000, 10}));

TEST(DriverRequestBlock, HeaderFieldsSitAtTheirOffsetsLittleEndian)
{
    DriverRequestBlock b;
    b.bmRequestType = 0xC0;
    b.bRequest = 0x43;
    b.wValue = 0x1234;
    b.wIndex = 0x17FF;
    b.wLength = 0x0001;
    b.TimeoutSeconds = 0x0A;
    b.EndpointAddress = 0x86;
    b.NtStatus = 0xC0000001;
    b.UsbdStatus = 0xC0000004;
    b.IsoPacketOffset = 38;
    b.IsoPacketLength = 0x10;
    b.DataOffset = 0x26;
    b.DataLength = 0x00400000;
    std::vector<uint8_t> out(DriverRequestBlock::HeaderSize + 2, 0xEE);
    ASSERT_TRUE(b.Write(out));

    const std::array<uint8_t, 38> expected{
        0xC0, 0x43, 0x34, 0x12, 0xFF, 0x17, 0x01, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x00,
        0x86, 0x01, 0x00, 0x00, 0xC0, 0x04, 0x00, 0x00, 0xC0, 0x26, 0x00, 0x00, 0x00,
        0x10, 0x00, 0x00, 0x00, 0x26, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x00};
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(out[i], expected[i]) << "offset " << i;
    EXPECT_EQ(out[38], 0xEE) << "the header must not spill into the data";

    const auto back = DriverRequestBlock::Read(out);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->wValue, 0x1234);
    EXPECT_EQ(back->wIndex, 0x17FF);
    EXPECT_EQ(back->UsbdStatus, 0xC0000004u);
    EXPECT_EQ(back->DataLength, 0x00400000u);
}

TEST(DriverRequestBlock, ShortBuffersAreRefused)
{
    std::vector<uint8_t> shortBlock(DriverRequestBlock::HeaderSize - 1);
    EXPECT_FALSE(DriverRequestBlock{}.Write(shortBlock));
    EXPECT_FALSE(DriverRequestBlock::Read(shortBlock));
}

struct RequestTypeCase
{
    uint8_t Direction, Type, Recipient, Expected;
};

class RequestType : public testing::TestWithParam<RequestTypeCase>
{
};

TEST_P(RequestType, PacksDirectionTypeAndRecipient)
{
    const auto &c = GetParam();
    EXPECT_EQ(DriverRequestBlock::RequestType(c.Direction, c.Type, c.Recipient), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Bits, RequestType,
                         testing::Values(RequestTypeCase{1, 2, 0, 0xC0}, // vendor IN, device
                                         RequestTypeCase{0, 2, 0, 0x40},
                                         RequestTypeCase{1, 0, 0, 0x80}, // GET_DESCRIPTOR
                                         RequestTypeCase{0, 1, 1, 0x21},
                                         RequestTypeCase{1, 7, 0x3F, 0xFF})); // masked

struct DataCase
{
    uint32_t Offset, Length;
    size_t BlockSize;
    size_t ExpectedSize;
};

class DataSpan : public testing::TestWithParam<DataCase>
{
};

TEST_P(DataSpan, NeverReachesPastTheBlock)
{
    const auto &c = GetParam();
    std::vector<uint8_t> block(c.BlockSize);
    DriverRequestBlock b;
    b.DataOffset = c.Offset;
    b.DataLength = c.Length;
    const auto data = b.Data(block);
    EXPECT_EQ(data.size(), c.ExpectedSize);
    if (!data.empty()) {
        EXPECT_EQ(data.data(), block.data() + c.Offset);
    }
}

INSTANTIATE_TEST_SUITE_P(Bounds, DataSpan,
                         testing::Values(DataCase{38, 4, 42, 4},   // as built
                                         DataCase{38, 100, 42, 4}, // length too large
                                         DataCase{0, 4, 42, 0},    // direct transfer
                                         DataCase{50, 4, 42, 0},   // offset past the end
                                         DataCase{38, 0xFFFFFFFF, 40, 2}));

} // namespace
