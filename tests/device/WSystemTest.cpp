#include "device/WSystem.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

struct ModelCase
{
    int code;
    uint16_t storedCode;
    const char *title;
    uint16_t channels;
    uint16_t levelGroups;
    uint32_t memory;
    uint32_t depthCount;
    uint32_t lookAhead;
    uint32_t reachBack;
    int32_t rowZeroPeriodNs;
};

class ModelRows : public testing::TestWithParam<ModelCase>
{};

TEST_P(ModelRows, SelectModelLoadsTheRow)
{
    const ModelCase &c = GetParam();
    WSystem sys;
    sys.SelectModel(c.code);
    EXPECT_EQ(sys.ModelCode, c.storedCode);
    EXPECT_EQ(sys.WindowTitle(), std::string("Logic Analyzer V2.06 - ") + c.title);
    EXPECT_EQ(sys.ChannelCount, c.channels);
    EXPECT_EQ(sys.FirstBusRow, c.channels);
    EXPECT_EQ(sys.RowCount, c.channels * 2);
    EXPECT_EQ(sys.LevelGroups, c.levelGroups);
    EXPECT_EQ(sys.MemorySize, c.memory);
    EXPECT_EQ(sys.AddressMask, c.memory - 1);
    EXPECT_EQ(sys.SampleBuffer.size(), c.memory);
    EXPECT_EQ(sys.SpareBuffer.size(), c.memory);
    EXPECT_EQ(sys.DepthCount, c.depthCount);
    EXPECT_EQ(sys.SearchLookAhead, c.lookAhead);
    EXPECT_EQ(sys.SearchReachBack, c.reachBack);
    EXPECT_EQ(sys.SamplePeriodValue[0], c.rowZeroPeriodNs);
    EXPECT_EQ(sys.SamplePeriodUnit[0], 1);
    EXPECT_EQ(sys.DepthTexts[0], "Auto");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(AllModels, ModelRows, testing::Values(
    ModelCase{0, 0, "Demo", 32, 4, 0x200000, 12, 10, 0x1FFFFF, 4},
    ModelCase{1, 1, "Logic Analyzer 200MHz/4ns", 32, 4, 0x200000, 12, 10, 30, 4},
    ModelCase{2, 2, "Logic Analyzer 200MHz/2ns", 32, 4, 0x400000, 13, 30, 80, 2},
    ModelCase{3, 3, "PC-Based LA 100MHz/10ns(16CH)", 16, 1, 0x80000, 9, 10, 30, 10},
    ModelCase{4, 4, "PC-Based LA 100MHz/10ns(32CH)", 32, 2, 0x80000, 9, 10, 30, 10},
    ModelCase{5, 5, "PC-Based LA 100MHz/4ns(16CH)", 16, 1, 0x200000, 11, 30, 80, 4},
    ModelCase{6, 6, "PC-Based LA 100MHz/4ns(32CH)", 32, 2, 0x200000, 11, 30, 80, 4},
    ModelCase{7, 7, "PC-Based LA 200MHz/2ns(16CH)", 16, 1, 0x400000, 12, 30, 80, 2},
    ModelCase{8, 8, "PC-Based LA 200MHz/2ns(32CH)", 32, 2, 0x400000, 12, 30, 80, 2},
    ModelCase{9, 9, "PC-Based LA 100MHz/10ns(16CH)A", 16, 1, 0x80000, 9, 10, 30, 10},
    ModelCase{10, 10, "PC-Based LA 100MHz/4ns(32CH)A", 32, 2, 0x200000, 11, 150, 400, 4},
    // Unknown codes load the Demo row but a narrow search window.
    ModelCase{11, 0, "Demo", 32, 4, 0x200000, 12, 10, 30, 4},
    ModelCase{-1, 0, "Demo", 32, 4, 0x200000, 12, 10, 30, 4}));
// clang-format on

TEST(WSystem, StartsOnModelOne)
{
    WSystem sys;
    EXPECT_EQ(sys.ModelCode, 1);
    EXPECT_EQ(sys.LanguageFile, "localization_EN.lang");
}

TEST(WSystem, PerRowTablesFollowTheRateClass)
{
    WSystem sys;
    sys.SelectModel(7);  // 500 MHz: 2 ns for rows 0..2, 4 ns for row 3
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(sys.SamplePeriodValue[r], 2) << r;
    EXPECT_EQ(sys.SamplePeriodValue[3], 4);
    EXPECT_EQ(sys.FrequencyText[3], "(250MHz)");
    EXPECT_EQ(sys.SamplePeriodValue[4], 10);

    sys.SelectModel(3);  // 100 MHz: 10 ns up to row 4
    EXPECT_EQ(sys.SamplePeriodValue[4], 10);
    EXPECT_EQ(sys.FrequencyText[0], "(100MHz)");

    // Rows shared by all models, including values kept in a smaller unit.
    EXPECT_EQ(sys.TimeDivTexts[7], "2.5uS");
    EXPECT_EQ(sys.TimeDivValue[7], 2500);
    EXPECT_EQ(sys.TimeDivUnit[7], 1);
    EXPECT_EQ(sys.TimePixelValue[0], 200);
    EXPECT_EQ(sys.TimePixelUnit[0], 0);
    EXPECT_EQ(sys.SamplePeriodValue[10], 1);
    EXPECT_EQ(sys.SamplePeriodUnit[10], 2);
    EXPECT_EQ(sys.FrequencyText[9], "(2.5MHz)");
    EXPECT_EQ(sys.FrequencyText[18], "(2.5KHz)");
    EXPECT_EQ(sys.FrequencyText[24], "(25Hz)");
    EXPECT_EQ(sys.TimeDivTexts[24], "1Sec");
    EXPECT_EQ(sys.MaxDelaySeconds[9], 104);
    EXPECT_EQ(sys.ConstantFour[12], 4);
    EXPECT_EQ((*sys.DividerRows)[11], 16);
    EXPECT_EQ((*sys.DividerTexts)[2], "25ck");
}

TEST(WSystem, DepthTablesKeepTheirTextsAndSizes)
{
    WSystem sys;
    sys.SelectModel(7);
    EXPECT_EQ(sys.DepthTexts[11], " 1M ");
    EXPECT_EQ(sys.DepthSamples[11], 1024000);
    EXPECT_EQ(sys.DepthBytes[11], 4194304);

    sys.SelectModel(2);
    EXPECT_EQ(sys.DepthTexts[12], "1M");
    EXPECT_EQ(sys.DepthBytes[12], 4194464);
    EXPECT_EQ(sys.DepthSamples[12], 1000000);
}

struct SplitCase
{
    int model;
    int depth;
    int row;
    int position;
    int usedDepth;
    bool autoFlag;
    int32_t after;
    int32_t before;
};

class ComputeSplit : public testing::TestWithParam<SplitCase>
{};

TEST_P(ComputeSplit, ResolvesDepthAndSplitsIt)
{
    const SplitCase &c = GetParam();
    WSystem sys;
    sys.SelectModel(c.model);
    sys.AutoDepth = !c.autoFlag;
    EXPECT_EQ(sys.ComputeSplit(c.depth, c.row), c.usedDepth);
    EXPECT_EQ(sys.AutoDepth, c.autoFlag);
    EXPECT_EQ(sys.SplitTable[0][c.position], c.after);
    EXPECT_EQ(sys.SplitTable[1][c.position], c.before);
    for (int k = 0; k <= 10; ++k) {
        EXPECT_EQ(sys.SplitTable[0][k] % 4, 0);
        EXPECT_EQ(sys.SplitTable[1][k] % 4, 0);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, ComputeSplit, testing::Values(
    SplitCase{1, 2, 3, 1, 2, false, 3828, 424},      // "1k", 10% before
    SplitCase{1, 2, 3, 5, 2, false, 2128, 2128},     // half and half
    SplitCase{1, 2, 3, 0, 2, false, 4256, 0},
    SplitCase{1, 2, 3, 10, 2, false, 0, 4256},
    SplitCase{1, 2, 3, 9, 2, false, 424, 3828},      // N - P(90) rounded down
    SplitCase{1, 0, 18, 5, 1, true, 1104, 1104},     // Auto on row 18 is "512"
    SplitCase{5, 0, 18, 10, 0, true, 0, 2208},       // Auto resolves to index 0 itself
    SplitCase{2, 0, 0, 5, 12, true, 2097232, 2097232},
    SplitCase{3, 20, 0, 5, 0, false, 1104, 1104}));  // beyond the list: stays inside it
// clang-format on

TEST(WSystem, DemoFillsBothBuffersWithTheCounter)
{
    WSystem sys;
    sys.SelectModel(0);
    for (uint32_t i : {0u, 1u, 255u, 256u, 40000u, 65535u}) {
        for (uint32_t j = 0; j < 8; ++j) {
            uint32_t a = 0;
            uint32_t b = 0;
            std::memcpy(&a, &sys.SampleBuffer[i * 32 + j * 4], 4);
            std::memcpy(&b, &sys.SpareBuffer[i * 32 + j * 4], 4);
            EXPECT_EQ(a, i);
            EXPECT_EQ(b, i);
        }
    }
    // Another model starts from clean buffers of its own size.
    sys.SelectModel(3);
    ASSERT_EQ(sys.SampleBuffer.size(), 0x80000u);
    EXPECT_EQ(sys.SampleBuffer[32 * 300], 0);
}

std::vector<uint8_t> IdentityBlock(const std::string &version, const std::string &second,
                                   const std::string &model)
{
    std::vector<uint8_t> block(1024, 0);
    std::string all = version;
    all.push_back('\0');
    all += second;
    all.push_back('\0');
    all += model;
    std::memcpy(block.data(), all.data(), std::min(all.size(), block.size()));
    return block;
}

struct IdentityCase
{
    const char *version;
    const char *model;
    uint8_t code;
};

class Identity : public testing::TestWithParam<IdentityCase>
{};

TEST_P(Identity, ModelFromIdentity)
{
    const IdentityCase &c = GetParam();
    const auto block = IdentityBlock(c.version, "Build", c.model);
    EXPECT_EQ(WSystem::ModelFromIdentity(block), c.code);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, Identity, testing::Values(
    IdentityCase{"Version:1.3", "Moudel :Logic Analyzer 200MHz/4ns", 1},
    IdentityCase{"Version:1.8", "Model  :Logic Analyzer 200MHz/4ns", 1},
    IdentityCase{"Version:1.2", "Model  :Logic Analyzer 200MHz/4ns", 0},   // version unknown
    IdentityCase{"Version:1.0", "Model  :Logic Analyzer 200MHz/2ns", 2},
    IdentityCase{"Version:1.2", "Model  :Logic Analyzer 200MHz/2ns", 2},
    IdentityCase{"Version:1.3", "Model  :Logic Analyzer 200MHz/2ns", 0},
    IdentityCase{"Version:1.0", "Model  :QX-A16", 3},
    IdentityCase{"Version:1.0", "Model  :QX-C32", 8},
    IdentityCase{"Version:1.1", "Model  :QX-C32", 0},
    IdentityCase{"Version:1.0", "Model :QX-A16", 0},     // one space is another text
    IdentityCase{"Version:1.0", "Moudel  :QX-A16", 0},
    IdentityCase{"Version:1.0", "", 0},
    IdentityCase{"", "Model  :QX-B16", 0}));
// clang-format on

TEST(WSystem, IdentityStringsAreCutAndBounded)
{
    // 40 characters are kept to 33; a block without any NUL is read safely.
    const auto block = IdentityBlock(std::string(40, 'v'), "two", "Model  :QX-A16");
    const auto s = WSystem::IdentityStrings(block);
    EXPECT_EQ(s[0], std::string(33, 'v'));
    EXPECT_EQ(s[1], "two");
    EXPECT_EQ(s[2], "Model  :QX-A16");

    std::vector<uint8_t> full(1024, 'x');
    const auto t = WSystem::IdentityStrings(full);
    EXPECT_EQ(t[0].size(), 33u);
    EXPECT_TRUE(t[2].empty());
    EXPECT_EQ(WSystem::ModelFromIdentity(full), 0);
    EXPECT_EQ(WSystem::ModelFromIdentity(std::span<const uint8_t>()), 0);
}

TEST(WSystem, ReadsTheLanguageFileName)
{
    const std::string dir = testing::TempDir();
    const std::string ini = dir + "/wsystem_language.ini";
    std::remove(ini.c_str());
    WSystem sys;
    sys.LanguageFile = "something";
    sys.ReadLanguageFileName(ini);
    EXPECT_EQ(sys.LanguageFile, "localization_EN.lang");

    std::ofstream(ini) << "[LANGUAGE]\nfile=localization_DE.lang\n";
    sys.ReadLanguageFileName(ini);
    EXPECT_EQ(sys.LanguageFile, "localization_DE.lang");
    std::remove(ini.c_str());
}

}  // namespace
