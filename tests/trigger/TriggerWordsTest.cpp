#include "device/AFile.h"
#include "device/CFile.h"
#include "trigger/TriggerWords.h"

#include <gtest/gtest.h>

namespace {

CFile Record(uint8_t model)
{
    CFile f;
    f.ModelCode = model;
    f.ResetSettings();
    return f;
}

std::array<uint16_t, 29> Encode(const CFile &f, uint64_t periodPs = 10000)
{
    std::array<uint16_t, 29> w{};
    TriggerWords::Encode(f, periodPs, w);
    return w;
}

struct PulseCase
{
    uint16_t whole;
    uint16_t fraction;
    uint8_t unit;
    uint8_t compare;
    uint64_t periodPs;
    uint16_t word;
};

class PulseWord : public testing::TestWithParam<PulseCase>
{};

TEST_P(PulseWord, CountsPeriodsAndAdjustsByComparison)
{
    const PulseCase &c = GetParam();
    CFile f = Record(10);
    f.PulseWhole = c.whole;
    f.PulseFraction = c.fraction;
    f.PulseUnit = c.unit;
    f.PulseCompare = c.compare;
    EXPECT_EQ(TriggerWords::PulseWidthWord(f, c.periodPs), c.word);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, PulseWord, testing::Values(
    PulseCase{1, 0, 2, 0, 10000, 98},        // 1 us at 10 ns, "<"
    PulseCase{1, 0, 2, 1, 10000, 100},       // "="
    PulseCase{1, 0, 2, 2, 10000, 101},       // ">"
    PulseCase{0, 9, 1, 2, 10000, 1},         // 9 ps: shorter than one period
    PulseCase{0, 0, 1, 1, 10000, 1},
    PulseCase{30, 0, 1, 0, 10000, 1},        // n = 3 < 4 with "<"
    PulseCase{40, 0, 1, 0, 10000, 2},        // n = 4 with "<"
    PulseCase{10, 0, 1, 1, 10000, 1},        // n = 1 with "="
    PulseCase{20, 0, 1, 1, 10000, 2},
    PulseCase{10, 0, 1, 2, 10000, 2},        // n = 1 with ">"
    PulseCase{1, 5, 2, 1, 1000, 1005},       // fraction is thousandths: 1 us 5 ns at 1 ns
    PulseCase{999, 999, 4, 1, 2000, 65535},  // far above one word
    PulseCase{2, 10, 4, 1, 2000, 65535},     // 1,000,000,005 periods, not 5
    PulseCase{655, 350, 2, 1, 10000, 65535}, // 65535 periods exactly
    PulseCase{655, 340, 2, 1, 10000, 65534}));
// clang-format on

TEST(TriggerWords, FirstWordPacksTypeContinuousAndCounter)
{
    CFile f = Record(10);
    f.TriggerType = 3;
    f.ContinuousTrigger = 1;
    f.TriggerCounter = 255;
    EXPECT_EQ(Encode(f)[1], 0xFF13);
}

TEST(TriggerWords, LevelsAndMasksOfEveryRow)
{
    CFile f = Record(10);
    f.TriggerType = 2;
    f.TriggerCondition[0][0] = CFile::CondHigh;
    f.TriggerCondition[0][1] = CFile::CondLow;
    f.TriggerCondition[0][17] = CFile::CondHigh;
    f.TriggerCondition[0][2] = CFile::CondRise;  // edges carry no level
    f.TriggerCondition[1][15] = CFile::CondHigh;
    f.TriggerCondition[2][31] = CFile::CondLow;
    f.TriggerCondition[3][16] = CFile::CondHigh;
    const auto w = Encode(f);
    EXPECT_EQ(w[3], 0x0001);
    EXPECT_EQ(w[4], 0x0002);
    EXPECT_EQ(w[9], 0x0003);
    EXPECT_EQ(w[10], 0x0002);
    EXPECT_EQ(w[5], 0x8000);
    EXPECT_EQ(w[11], 0x8000);
    EXPECT_EQ(w[8], 0x0000);
    EXPECT_EQ(w[14], 0x8000);
    // The OR row is carried whatever the type.
    EXPECT_EQ(w[17], 0x0001);
    EXPECT_EQ(w[19], 0x0001);
    // Edges are only sent for types 1 and 4.
    EXPECT_EQ(w[2], 0);
    EXPECT_EQ(w[15], 0);
}

TEST(TriggerWords, AllDontCareGivesZeroWords)
{
    const auto w = Encode(Record(10));
    for (int k = 2; k <= 19; ++k)
        EXPECT_EQ(w[k], 0) << k;
}

TEST(TriggerWords, EdgeWordsNameTheChannel)
{
    CFile f = Record(10);
    f.TriggerType = 4;
    f.TriggerCondition[0][9] = CFile::CondRise;
    f.TriggerCondition[0][20] = CFile::CondFall;  // only the lowest channel counts
    f.TriggerCondition[3][5] = CFile::CondFall;
    f.TriggerCondition[3][2] = CFile::CondRise;
    const auto w = Encode(f);
    EXPECT_EQ(w[2], (9 << 8) | 1);
    EXPECT_EQ(w[15], ((5 << 8) | 2) | ((2 << 8) | 1));

    f.TriggerType = 1;
    EXPECT_EQ(Encode(f)[2], (9 << 8) | 1);
    EXPECT_EQ(Encode(f)[15], 0);

    // A stored type 0 is Pattern 1: the device is told so, with the edge word.
    f.TriggerType = 0;
    EXPECT_EQ(Encode(f)[1] & 0x0F, 1);
    EXPECT_EQ(Encode(f)[2], (9 << 8) | 1);
}

TEST(TriggerWords, SixteenChannelModelIgnoresTheUpperChannels)
{
    CFile f = Record(9);
    f.TriggerCondition[0][16] = CFile::CondHigh;
    f.TriggerCondition[0][20] = CFile::CondFall;
    const auto w = Encode(f);
    EXPECT_EQ(w[4], 0);
    EXPECT_EQ(w[10], 0);
    EXPECT_EQ(w[2], 0);
}

TEST(TriggerWords, PulseSettingsWord)
{
    CFile f = Record(10);
    f.PulsePolarity = 1;
    f.PulseCompare = 2;
    f.PulseChannel = 31;
    EXPECT_EQ(Encode(f)[26], (31 << 8) | (2 << 3) | 1);
}

TEST(AFile, RunImageFrame)
{
    CFile f = Record(10);
    f.PreTriggerBytes = 0x00012344;
    f.PostTriggerBytes = 0x0001FF00;
    f.TriggerType = 2;
    AFile a;
    a.buffer[58] = 0xAB;  // bytes after the image are sent as the buffer holds them
    a.buffer[1023] = 0xCD;
    a.BuildRunImage(f);
    EXPECT_EQ(a.Word[0], 6);
    EXPECT_EQ(a.Word[20], 0x2344);
    EXPECT_EQ(a.Word[21], 0x0001);
    EXPECT_EQ(a.Word[22], 0xFF00);
    EXPECT_EQ(a.Word[23], 0x0001);
    EXPECT_EQ(a.Word[24], 0);
    EXPECT_EQ(a.Word[28], 0);
    EXPECT_EQ(a.Word[1] & 0x0F, 2);
    EXPECT_EQ(a.buffer[0], 6);
    EXPECT_EQ(a.buffer[40], 0x44);
    EXPECT_EQ(a.buffer[41], 0x23);
    EXPECT_EQ(a.buffer[58], 0xAB);
    EXPECT_EQ(a.buffer[1023], 0xCD);
    EXPECT_EQ(a.ByteCursor, 58);
}

TEST(AFile, ClockCodeAndPeriod)
{
    CFile f = Record(10);
    f.RateRow = 7;
    EXPECT_EQ(AFile::ClockCode(f), 0);
    EXPECT_EQ(AFile::SamplePeriodPs(f), 100000u);  // row 7: 100 ns
    f.RateRow = 19;
    EXPECT_EQ(AFile::SamplePeriodPs(f), 1000000000u);  // 1 ms

    f.ClockSource = 1;
    f.RateRow = 7;
    EXPECT_EQ(AFile::ClockCode(f), 23 | 5);
    EXPECT_EQ(AFile::SamplePeriodPs(f), 4000u);  // row 0's value in ns
    f.RateRow = 3;
    EXPECT_EQ(AFile::ClockCode(f), 23);

    AFile a;
    f.RateRow = 7;
    a.BuildRunImage(f);
    EXPECT_EQ(a.Word[0], 6 | ((23 | 5) << 8));

    CFile slow = Record(9);  // 100 MHz model, row 0 is 10 ns
    slow.ClockSource = 1;
    EXPECT_EQ(AFile::SamplePeriodPs(slow), 10000u);
}

TEST(AFile, ReplyCarriesTheEndAddress)
{
    CFile f = Record(10);
    AFile a;
    a.buffer[0] = 0x10;
    a.buffer[2] = 0x34;
    a.buffer[3] = 0x12;
    a.buffer[4] = 0x1F;
    a.buffer[5] = 0x00;
    a.ReadTriggerReply(f);
    EXPECT_EQ(f.ReportedEndAddress, 0x001F1234u);
    EXPECT_EQ(f.ExportTriggerAddress, 0x001F1234u);
    EXPECT_EQ(a.ReplyWord[1], 0x1234);
    EXPECT_EQ(a.ReplyWord[2], 0x001F);
}

}  // namespace
