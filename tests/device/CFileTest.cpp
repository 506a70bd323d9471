#include "device/CFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

CFile FreshRecord(uint8_t model)
{
    CFile f;
    f.ModelCode = model;
    f.ResetSettings();
    return f;
}

uint16_t WordAt(const CFile &f, size_t at)
{
    return static_cast<uint16_t>(f.BlockBuffer[at] | (f.BlockBuffer[at + 1] << 8));
}

void PutWord(CFile &f, size_t at, uint16_t v)
{
    f.BlockBuffer[at] = static_cast<uint8_t>(v);
    f.BlockBuffer[at + 1] = static_cast<uint8_t>(v >> 8);
}

// Recomputes the sum after a deliberate edit, so only the value checks decide.
void Reseal(CFile &f)
{
    uint32_t sum = 0;
    for (size_t i = 0; i < CFile::LayoutLength; ++i)
        sum += f.BlockBuffer[i];
    PutWord(f, 3331, static_cast<uint16_t>(sum));
}

// A record with every field, reserved ones included, away from its default.
CFile BusyRecord()
{
    CFile f = FreshRecord(2);
    f.TimeDivRow = 17;
    f.RateRow = 16;
    f.Reserved6 = 0xA1;
    f.Reserved7 = -1234;
    f.Reserved9 = 0xB2;
    f.TriggerPositionCode = 8;
    f.MemoryPercent = 7;
    f.PortLevel = {101, 202, 303, 404};
    f.Reserved16 = 0xC3;
    f.Reserved17 = 0xD4;
    f.MemoryDepthIndex = 12;
    f.Reserved20 = 0xE5;
    f.Reserved21 = 0xF6;
    f.Reserved22 = 0x1357;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 32; ++c)
            f.TriggerCondition[r][c] = static_cast<uint8_t>((r + c) % 4);
    for (int i = 0; i < 32; ++i) {
        f.DisplayOrder[i] = static_cast<uint8_t>(63 - i);
        f.ChannelEntry[i].Members[3] = static_cast<uint16_t>(i);
        f.ChannelEntry[i].BitCount = static_cast<uint16_t>(i + 1);
        f.ChannelEntry[i].InUse = 1;
        f.ChannelEntry[i].Reserved = 0xBEEF;
        f.BusEntry[i].DisplayFormat = 2;
        f.BusEntry[i].Members[15] = 7;
        std::memcpy(f.BusEntry[i].Name.data(), "ADDR\0\0\0\0\xAA", 9);
    }
    f.TriggerType = 4;
    f.Reserved3257 = 9;
    f.Reserved3258 = 8;
    f.ContinuousTrigger = 1;
    f.Reserved3260 = {7, 6};
    f.Reserved3262 = 555;
    f.Reserved3264 = -2;
    f.DelayNegative = 1;
    f.DelayGroups = {1, 2, 3, 4, 5};
    f.Reserved3277 = 0x77;
    f.Reserved3278 = {11, 12, 13, 14, 15};
    f.PreTriggerBytes = 0x12345678;
    f.PostTriggerBytes = 0x9ABCDEF0;
    f.Reserved3296 = {0x42, 0x43};
    f.ExportTriggerAddress = 0x00123456;
    f.Reserved3302 = {0xAAAA, 0x5555};
    f.ReportedEndAddress = 0x003FFFFC;
    f.TriggerCounter = 200;
    f.PulsePolarity = 1;
    f.PulseCompare = 2;
    f.PulseChannel = 31;
    f.PulseSamples = -1;
    f.ClockSource = 1;
    f.CaptureDone = 1;
    f.PulseUnit = 3;
    f.PulseWhole = 999;
    f.PulseFraction = 500;
    return f;
}

TEST(CFile, FreshModelOneBlockHasLengthMagicAndSum)
{
    CFile f = FreshRecord(1);
    f.BuildBlock();
    EXPECT_EQ(f.BlockBuffer[0], 0x01);
    EXPECT_EQ(f.BlockBuffer[1], 0x0D);
    EXPECT_EQ(f.BlockBuffer[3329], 0xAA);
    EXPECT_EQ(f.BlockBuffer[3330], 0x55);
    uint32_t sum = 0;
    for (size_t i = 0; i < 3329; ++i)
        sum += f.BlockBuffer[i];
    EXPECT_EQ(WordAt(f, 3331), static_cast<uint16_t>(sum));
    EXPECT_EQ(f.BlockSum, static_cast<uint16_t>(sum));
    EXPECT_EQ(f.BlockCursor, 3333u);
    // Nothing beyond the sum is written.
    EXPECT_TRUE(std::all_of(f.BlockBuffer.begin() + 3333, f.BlockBuffer.end(),
                            [](uint8_t b) { return b == 0; }));
}

TEST(CFile, DefaultsFollowTheModel)
{
    CFile f = FreshRecord(1);
    // "CH07", a zero byte, three spaces; "BUS07", a zero byte, two spaces.
    EXPECT_EQ(std::memcmp(f.ChannelEntry[7].Name.data(), "CH07\0   ", 8), 0);
    EXPECT_EQ(std::memcmp(f.BusEntry[7].Name.data(), "BUS07\0  ", 8), 0);
    EXPECT_EQ(CFile::NameText(f.ChannelEntry[7]), "CH07");
    EXPECT_EQ(CFile::NameText(f.BusEntry[31]), "BUS31");
    EXPECT_EQ(f.ChannelEntry[0].DisplayFormat, 1);
    EXPECT_EQ(f.BusEntry[0].DisplayFormat, 0);
    EXPECT_EQ(f.DisplayOrder[5], 64);
    EXPECT_EQ(f.ChannelEntry[3].Members[15], 32);
    EXPECT_EQ(f.PortLevel[3], 142);
    EXPECT_EQ(f.TriggerCondition[3][31], CFile::CondX);

    CFile small = FreshRecord(3);
    EXPECT_EQ(small.DisplayOrder[0], 32);
    EXPECT_EQ(small.BusEntry[9].Members[0], 16);

    CFile compact = FreshRecord(9);
    EXPECT_EQ(compact.PortLevel[0], 270);
    EXPECT_EQ(compact.PortLevel[2], 270);

    // ResetSettings really resets what an earlier session changed.
    CFile busy = BusyRecord();
    busy.ModelCode = 1;
    busy.ResetSettings();
    // BitCount belongs to the signal-list editor and survives a reset, as do
    // the name bytes after the eighth.
    EXPECT_EQ(busy.ChannelEntry[4].BitCount, 5);
    for (auto &e : busy.ChannelEntry)
        e.BitCount = 0;
    for (auto &e : busy.BusEntry)
        e.Name[8] = 0;
    busy.BuildBlock();
    f.BuildBlock();
    EXPECT_EQ(busy.BlockBuffer, f.BlockBuffer);
}

TEST(CFile, BlockLayoutOfSelectedFields)
{
    CFile f = BusyRecord();
    f.BuildBlock();
    EXPECT_EQ(WordAt(f, 2), 17);
    EXPECT_EQ(WordAt(f, 14), 101);     // PortLevel[0]
    EXPECT_EQ(f.BlockBuffer[24 + 32 + 5], (1 + 5) % 4);  // row 1, channel 5
    EXPECT_EQ(f.BlockBuffer[152], 63);  // DisplayOrder[0]
    EXPECT_EQ(std::memcmp(&f.BlockBuffer[1720], "ADDR", 4), 0);
    EXPECT_EQ(WordAt(f, 184 + 9 + 3 * 2), 0);              // channel 0, member 3
    EXPECT_EQ(WordAt(f, 184 + 48 + 9 + 3 * 2), 1);         // channel 1, member 3
    EXPECT_EQ(f.BlockBuffer[3256], 4);
    EXPECT_EQ(WordAt(f, 3267), 1);                         // DelayGroups[0]
    EXPECT_EQ(WordAt(f, 3288), 0x5678);                    // low word first
    EXPECT_EQ(WordAt(f, 3290), 0x1234);
    EXPECT_EQ(WordAt(f, 3298), 0x0012);                    // high word first
    EXPECT_EQ(WordAt(f, 3300), 0x3456);
    EXPECT_EQ(WordAt(f, 3306), 0x003F);
    EXPECT_EQ(WordAt(f, 3308), 0xFFFC);
    EXPECT_EQ(f.BlockBuffer[3310], 200);
    EXPECT_EQ(WordAt(f, 3314), 0xFFFF);
    EXPECT_EQ(f.BlockBuffer[3318], 3);
    EXPECT_EQ(WordAt(f, 3323), 202);                        // PortLevel[1..3]
    EXPECT_EQ(WordAt(f, 3327), 404);
}

TEST(CFile, ParseRestoresEveryFieldIncludingReserved)
{
    CFile source = BusyRecord();
    source.BuildBlock();

    CFile target = FreshRecord(1);
    target.BlockBuffer = source.BlockBuffer;
    ASSERT_TRUE(target.ParseBlock());
    EXPECT_EQ(target.BlockLength, 3329);
    EXPECT_EQ(target.BlockMagic, 0x55AA);
    EXPECT_EQ(target.Reserved7, -1234);
    EXPECT_EQ(target.Reserved3302[1], 0x5555);
    EXPECT_EQ(target.ExportTriggerAddress, 0x00123456u);
    EXPECT_EQ(target.PreTriggerBytes, 0x12345678u);
    EXPECT_EQ(CFile::NameText(target.BusEntry[4]), "ADDR");
    EXPECT_EQ(target.BusEntry[4].Name[8], '\xAA');

    // Building the parsed record again gives the same bytes.
    const auto original = source.BlockBuffer;
    target.BuildBlock();
    EXPECT_EQ(std::vector<uint8_t>(target.BlockBuffer.begin(), target.BlockBuffer.begin() + 3333),
              std::vector<uint8_t>(original.begin(), original.begin() + 3333));
}

struct RejectCase
{
    const char *what;
    void (*edit)(CFile &);
};

class ParseRejects : public testing::TestWithParam<RejectCase>
{};

TEST_P(ParseRejects, AndKeepsTheRecord)
{
    CFile source = BusyRecord();
    source.BuildBlock();

    CFile target = FreshRecord(1);
    target.BlockBuffer = source.BlockBuffer;
    GetParam().edit(target);
    CFile before = target;
    EXPECT_FALSE(target.ParseBlock()) << GetParam().what;
    // Every field (apart from the recomputed sum) is as it was.
    target.BlockSum = before.BlockSum;
    target.BuildBlock();
    before.BuildBlock();
    EXPECT_EQ(target.BlockBuffer, before.BlockBuffer) << GetParam().what;
    EXPECT_EQ(target.TimeDivRow, 3);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, ParseRejects, testing::Values(
    RejectCase{"length byte", [](CFile &f) { f.BlockBuffer[0] ^= 1; }},
    RejectCase{"first field", [](CFile &f) { f.BlockBuffer[2] ^= 0x10; }},
    RejectCase{"a name", [](CFile &f) { f.BlockBuffer[1000] += 1; }},
    RejectCase{"last field", [](CFile &f) { f.BlockBuffer[3328] += 1; }},
    RejectCase{"magic", [](CFile &f) { f.BlockBuffer[3330] = 0x56; }},
    RejectCase{"sum", [](CFile &f) { f.BlockBuffer[3331] ^= 0xFF; }},
    RejectCase{"two edits that keep the sum", [](CFile &f) {
        f.BlockBuffer[100] += 1; f.BlockBuffer[101] -= 1; f.BlockBuffer[3330] = 0; }},
    RejectCase{"length above 4092", [](CFile &f) { PutWord(f, 0, 4093); }},
    RejectCase{"length 0xFFFF", [](CFile &f) { PutWord(f, 0, 0xFFFF); }},
    RejectCase{"model code above 10", [](CFile &f) { f.ModelCode = 11; }},
    RejectCase{"short block with a valid seal", [](CFile &f) {
        // Length 100 with magic and sum where that length puts them.
        PutWord(f, 0, 100);
        PutWord(f, 100, 0x55AA);
        uint32_t sum = 0;
        for (size_t i = 0; i < 100; ++i) sum += f.BlockBuffer[i];
        PutWord(f, 102, static_cast<uint16_t>(sum)); }},
    RejectCase{"time/div row 25", [](CFile &f) { PutWord(f, 2, 25); Reseal(f); }},
    RejectCase{"rate row -1", [](CFile &f) { PutWord(f, 4, 0xFFFF); Reseal(f); }},
    RejectCase{"trigger position 0", [](CFile &f) { PutWord(f, 10, 0); Reseal(f); }},
    RejectCase{"depth index 13", [](CFile &f) { PutWord(f, 18, 13); Reseal(f); }},
    RejectCase{"trigger type 6", [](CFile &f) { f.BlockBuffer[3256] = 6; Reseal(f); }},
    RejectCase{"pulse unit 5", [](CFile &f) { f.BlockBuffer[3318] = 5; Reseal(f); }}));
// clang-format on

TEST(CFile, TriggerTypeZeroIsAValidBlock)
{
    CFile f = BusyRecord();
    f.TriggerType = 0;
    f.BuildBlock();
    CFile g = FreshRecord(1);
    g.BlockBuffer = f.BlockBuffer;
    ASSERT_TRUE(g.ParseBlock());
    EXPECT_EQ(g.TriggerType, 0);
    EXPECT_EQ(g.EffectiveTriggerType(), 1);
}

TEST(CFile, BytesAfterTheSumDoNotMatter)
{
    CFile f = BusyRecord();
    f.BuildBlock();
    f.BlockBuffer[3333] = 0x99;
    f.BlockBuffer[4095] = 0x77;
    CFile g = FreshRecord(1);
    g.BlockBuffer = f.BlockBuffer;
    EXPECT_TRUE(g.ParseBlock());
    EXPECT_EQ(g.TimeDivRow, 17);
}

TEST(CFile, AcceptsALongerBlockOfALaterLayout)
{
    // Fields keep their offsets; extra bytes before the magic are only summed.
    CFile f = BusyRecord();
    f.BuildBlock();
    PutWord(f, 0, 3400);
    PutWord(f, 3400, 0x55AA);
    uint32_t sum = 0;
    for (size_t i = 0; i < 3400; ++i)
        sum += f.BlockBuffer[i];
    PutWord(f, 3402, static_cast<uint16_t>(sum));
    CFile g = FreshRecord(1);
    g.BlockBuffer = f.BlockBuffer;
    ASSERT_TRUE(g.ParseBlock());
    EXPECT_EQ(g.BlockLength, 3400);
    EXPECT_EQ(g.PortLevel[3], 404);
}

}  // namespace
