#include "device/CCyUSBConfig.h"
#include "device/CCyBulkEndPoint.h"
#include "device/CCyInterruptEndPoint.h"
#include "device/CCyIsocEndPoint.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// A configuration descriptor set assembled from parts; wTotalLength is set
// to the real length unless told otherwise.
struct DescriptorSet
{
    std::vector<uint8_t> Bytes{9, 2, 0, 0, 1, 1, 0, 0x80, 50};

    DescriptorSet &Interface(uint8_t number, uint8_t alt, uint8_t endpoints)
    {
        Bytes.insert(Bytes.end(), {9, 4, number, alt, endpoints, 0xFF, 0, 0, 0});
        return *this;
    }
    DescriptorSet &Endpoint(uint8_t address, uint8_t attributes, uint16_t maxPacket = 512)
    {
        Bytes.insert(Bytes.end(), {7, 5, address, attributes, static_cast<uint8_t>(maxPacket),
                                   static_cast<uint8_t>(maxPacket >> 8), 0});
        return *this;
    }
    DescriptorSet &Other(std::vector<uint8_t> raw)
    {
        Bytes.insert(Bytes.end(), raw.begin(), raw.end());
        return *this;
    }
    std::vector<uint8_t> Build(int totalLength = -1) const
    {
        std::vector<uint8_t> out = Bytes;
        const auto total = static_cast<uint16_t>(totalLength < 0 ? out.size() : totalLength);
        out[2] = static_cast<uint8_t>(total);
        out[3] = static_cast<uint8_t>(total >> 8);
        return out;
    }
};

TEST(CCyUSBConfig, BuildsInterfacesWithEndpointsOfTheirTransferTypes)
{
    const auto bytes = DescriptorSet{}
                           .Interface(0, 0, 4)
                           .Other({5, 0x24, 1, 2, 3}) // a class descriptor is skipped
                           .Endpoint(0x02, 2)
                           .Endpoint(0x86, 2)
                           .Endpoint(0x81, 3, 64)
                           .Endpoint(0x83, 1, 0x1400) // 2 extra transactions of 1024
                           .Interface(0, 1, 0)
                           .Build();
    CCyUSBConfig config(nullptr, bytes);

    EXPECT_EQ(config.bConfigurationValue, 1);
    ASSERT_EQ(config.Interfaces.size(), 2u);
    EXPECT_EQ(config.AltInterfaces, 2);
    const auto &eps = config.Interfaces[0]->EndPoints;
    ASSERT_EQ(eps.size(), 4u);
    EXPECT_NE(dynamic_cast<CCyBulkEndPoint *>(eps[0].get()), nullptr);
    EXPECT_FALSE(eps[0]->bIn);
    EXPECT_NE(dynamic_cast<CCyBulkEndPoint *>(eps[1].get()), nullptr);
    EXPECT_TRUE(eps[1]->bIn);
    EXPECT_EQ(eps[1]->MaxPktSize, 512);
    EXPECT_NE(dynamic_cast<CCyInterruptEndPoint *>(eps[2].get()), nullptr);
    EXPECT_NE(dynamic_cast<CCyIsocEndPoint *>(eps[3].get()), nullptr);
    EXPECT_EQ(eps[3]->MaxPktSize, 3 * 1024);
    EXPECT_EQ(eps[0]->TimeOut, 10000u);
    EXPECT_TRUE(eps[0]->DirectTransfer);
    EXPECT_EQ(config.Interfaces[1]->bAlternateSetting, 1);
}

TEST(CCyUSBConfig, KeepsAtMostEightInterfacesAndFifteenEndpoints)
{
    DescriptorSet set;
    set.Interface(0, 0, 16);
    for (uint8_t i = 0; i < 16; ++i)
        set.Endpoint(static_cast<uint8_t>(0x81 + i % 15), 2);
    for (uint8_t i = 1; i < 10; ++i)
        set.Interface(i, 0, 1).Endpoint(0x02, 2);
    CCyUSBConfig config(nullptr, set.Build());

    ASSERT_EQ(config.Interfaces.size(), CCyUSBConfig::MaxInterfaces);
    EXPECT_EQ(config.Interfaces[0]->EndPoints.size(), CCyUSBInterface::MaxEndPoints);
    EXPECT_EQ(config.Interfaces[7]->bInterfaceNumber, 7);
    EXPECT_EQ(config.Interfaces[7]->EndPoints.size(), 1u);
}

struct MalformedCase
{
    const char *Name;
    std::vector<uint8_t> Bytes;
    size_t Interfaces;
    size_t EndpointsOfFirst;
};

class MalformedDescriptors : public testing::TestWithParam<MalformedCase>
{
};

// Each case is copied into a buffer of exactly its size, so a read past the
// end shows under the address sanitizer.
TEST_P(MalformedDescriptors, AreWalkedOnlyAsFarAsTheyHold)
{
    const auto &c = GetParam();
    const std::vector<uint8_t> exact(c.Bytes.begin(), c.Bytes.end());
    CCyUSBConfig config(nullptr, exact);
    ASSERT_EQ(config.Interfaces.size(), c.Interfaces);
    if (c.Interfaces > 0) {
        EXPECT_EQ(config.Interfaces[0]->EndPoints.size(), c.EndpointsOfFirst);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedDescriptors,
    testing::Values(
        MalformedCase{"TooShortForAHeader", {9, 2, 9, 0}, 0, 0},
        MalformedCase{"TotalLengthBeyondBuffer",
                      DescriptorSet{}.Interface(0, 0, 1).Endpoint(0x86, 2).Build(4000), 1, 1},
        MalformedCase{"ZeroLengthDescriptorStops",
                      DescriptorSet{}.Interface(0, 0, 2).Other({0, 5}).Endpoint(0x86, 2).Build(), 1,
                      0},
        MalformedCase{"DescriptorRunningOffTheEnd",
                      DescriptorSet{}.Interface(0, 0, 1).Other({200, 5, 0x86, 2}).Build(), 1, 0},
        MalformedCase{"TruncatedEndpoint",
                      DescriptorSet{}.Interface(0, 0, 1).Other({4, 5, 0x86, 2}).Build(), 1, 0},
        MalformedCase{"EndpointBeforeAnyInterface",
                      DescriptorSet{}.Endpoint(0x86, 2).Interface(0, 0, 0).Build(), 1, 0},
        MalformedCase{"ShortInterfaceDescriptor",
                      DescriptorSet{}.Other({5, 4, 0, 0, 1}).Endpoint(0x86, 2).Build(), 0, 0},
        MalformedCase{
            "HeaderLengthZero",
            {0, 2, 25, 0, 1, 1, 0, 0x80, 50, 9, 4, 0, 0, 1, 0xFF, 0, 0, 0, 7, 5, 0x86, 2, 0, 2, 0},
            1,
            1}),
    [](const testing::TestParamInfo<MalformedCase> &param) { return param.param.Name; });

} // namespace
