#include "analyzer/HostMask.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

struct MaskCase
{
    const char *text;
    std::vector<uint8_t> models;
};

class HostMaskModels : public testing::TestWithParam<MaskCase>
{
};

TEST_P(HostMaskModels, OffersTheModelsOfTheSetBitsInCodeOrder)
{
    const MaskCase &c = GetParam();
    const std::optional<uint64_t> mask = HostMask::Parse(c.text);
    ASSERT_TRUE(mask.has_value()) << c.text;
    EXPECT_EQ(HostMask::Models(*mask), c.models) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Masks, HostMaskModels,
    testing::Values(MaskCase{"7FF", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}, MaskCase{"6", {1, 2}},
                    MaskCase{"1", {0}}, MaskCase{"7ff", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
                    // Bits above model 10 are ignored.
                    MaskCase{"FFFFF", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}, MaskCase{"800", {}},
                    MaskCase{"0", {}}, MaskCase{"401", {0, 10}}, MaskCase{"0x3", {0, 1}},
                    MaskCase{" 200 ", {9}},
                    MaskCase{"FFFFFFFFFFFFFFFF", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}));

TEST(HostMaskParse, RejectsTextThatIsNoHexadecimalNumber)
{
    for (const char *bad : {"", " ", "xyz", "12G", "-1", "0x", "1 2", "10000000000000000"})
        EXPECT_FALSE(HostMask::Parse(bad).has_value()) << '"' << bad << '"';
}

TEST(HostMaskOffered, AddsTheConnectedAnalyzerToWhateverTheMaskOffers)
{
    struct Case
    {
        std::optional<uint64_t> mask;
        int connected;
        std::vector<uint8_t> offered;
    };
    const Case cases[] = {
        {0x1, 5, {0, 5}}, // a fresh System.ini offers Demo only
        {0x6, 1, {1, 2}}, // already offered: not listed twice
        {0x7FF, 10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {0x0, 9, {9}},          // an empty mask still offers the analyzer
        {std::nullopt, 3, {3}}, // and so does a mask that is no number
        {0x1, -1, {0}},         // nothing connected
        {0x1, 0, {0}},          // not identified
        {0x2, 0xE0, {1}},       // busy, or any byte that is no model
        {std::nullopt, -1, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(HostMask::Offered(c.mask, c.connected), c.offered)
            << "mask " << (c.mask ? std::to_string(*c.mask) : "none") << ", connected "
            << c.connected;
}

} // namespace
