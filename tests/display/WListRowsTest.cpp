#include "display/WListRows.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// A capture of depth 1000 at trigger position 5 whose sample word at index n
// (relative to the trigger sample) is n * 0x01010101 + 0x00300000, so the
// table can be checked against the index. The trigger sample lies near the
// ring's end so the record wraps.
class ListTable : public testing::Test
{
protected:
    void Use(int model)
    {
        sys.SelectModel(model);
        file.ModelCode = static_cast<uint8_t>(model);
        file.ResetSettings();
        record = std::make_unique<CCaptureRecord>(sys, file);
        record->DepthSamples = 1000;
        record->TriggerPosition = 5;
        record->TriggerAddress = sys.AddressMask + 1 - 40; // 10 samples before the end
        record->CaptureValid = 1;
        for (int32_t n = -600; n <= 600; ++n) {
            const uint32_t word = static_cast<uint32_t>(n) * 0x01010101u + 0x00300000u;
            const uint32_t at =
                (record->TriggerAddress + 4u * static_cast<uint32_t>(n)) & sys.AddressMask;
            std::memcpy(&sys.SampleBuffer[at], &word, 4);
        }
        rows = std::make_unique<WListRows>(*record, file);
        rows->SetVisibleRows(11);
        rows->SetSamplePeriod(WTime::Of(0, 10)); // 10 ns
    }
    void SetUp() override { Use(3); }

    // A bus of channels `first` down to `first - width + 1`.
    void DefineBus(int bus, int first, int width, int base)
    {
        SignalEntry &e = file.BusEntry[static_cast<size_t>(bus)];
        e.BitCount = static_cast<uint16_t>(width);
        e.DisplayFormat = static_cast<uint16_t>(base);
        for (int k = 0; k < width; ++k)
            e.Members[static_cast<size_t>(k)] = static_cast<uint16_t>(first - k);
    }

    WSystem sys;
    CFile file;
    std::unique_ptr<CCaptureRecord> record;
    std::unique_ptr<WListRows> rows;
};

TEST_F(ListTable, DepthThousandAtPositionFiveScrollsFromMinus500To500)
{
    EXPECT_EQ(rows->RecordFirst(), -500);
    EXPECT_EQ(rows->RecordLast(), 500);
    rows->SetCurrentIndex(-9999);
    EXPECT_EQ(rows->CurrentIndex(), -500);
    rows->SetCurrentIndex(9999);
    EXPECT_EQ(rows->CurrentIndex(), 500);
    EXPECT_EQ(WListRows::RecordFirstOf(1024000, 1), -102400);
    EXPECT_EQ(WListRows::RecordLastOf(1024000, 1), 921600);
}

TEST_F(ListTable, CentreRowIsTheCurrentSampleAndTheReferenceReadsZero)
{
    const std::vector<uint8_t> list{0, 1};
    rows->SetColumns(list, sys.ChannelCount);
    rows->SetCurrentIndex(0);
    rows->Fill();
    const int half = rows->Half();
    EXPECT_EQ(rows->Text(half, 0), " 0");
    EXPECT_EQ(rows->Text(half - 1, 0), "-1");
    EXPECT_EQ(rows->Text(half + 1, 0), "+1");
    EXPECT_EQ(rows->Text(half, rows->TimeColumn()), " 0.0nS");
    EXPECT_EQ(rows->Text(half + 1, rows->TimeColumn()), "+10.000nS");
    EXPECT_EQ(rows->Text(half - 1, rows->TimeColumn()), "-10.000nS");
    // Sample +1 is 0x01310101: CH0 1, CH1 0; the reference 0x00300000: both 0.
    EXPECT_EQ(rows->Text(half + 1, 1), "1");
    EXPECT_EQ(rows->Text(half + 1, 2), "0");
    EXPECT_EQ(rows->Text(half, 1), "0");
    EXPECT_EQ(rows->CentreAddress(), record->TriggerAddress);
}

struct BusCase
{
    int model;
    int base;
    const char *text; // of sample +3: byte 3 in CH7..CH0 gives 0x03, CH21..CH16 0x33
};

class ListBus : public ListTable, public testing::WithParamInterface<BusCase>
{
};

TEST_P(ListBus, SixBitBusInItsBase)
{
    const BusCase c = GetParam();
    Use(c.model);
    // A 6-bit bus: CH21..CH16 on the 32-channel model, CH5..CH0 on the 16-channel one.
    const int top = sys.ChannelCount == 32 ? 21 : 5;
    DefineBus(0, top, 6, c.base);
    const std::vector<uint8_t> list{static_cast<uint8_t>(sys.ChannelCount)};
    rows->SetColumns(list, sys.ChannelCount);
    rows->SetCurrentIndex(3);
    rows->Fill();
    EXPECT_EQ(rows->Text(rows->Half(), 1), c.text);
}

INSTANTIATE_TEST_SUITE_P(Bases, ListBus,
                         testing::Values(BusCase{3, 0, "0x03"}, BusCase{3, 1, "3"},
                                         BusCase{3, 2, "000011"}, BusCase{8, 0, "0x33"},
                                         BusCase{8, 1, "51"}, BusCase{8, 2, "110011"}));

TEST_F(ListTable, RowsPastTheRecordStayEmpty)
{
    const std::vector<uint8_t> list{0};
    rows->SetColumns(list, sys.ChannelCount);
    rows->SetCurrentIndex(500);
    rows->Fill();
    EXPECT_EQ(rows->Text(rows->Half(), 0), "+500");
    for (int r = rows->Half() + 1; r < rows->DataRows(); ++r)
        for (int c = 0; c < rows->ColumnCount(); ++c)
            EXPECT_TRUE(rows->Text(r, c).empty()) << r << "," << c;
    record->CaptureValid = 0;
    rows->Fill();
    EXPECT_TRUE(rows->Text(rows->Half(), 0).empty());
}

TEST_F(ListTable, BadBusDefinitionsReadNoMoreThanTheModelHas)
{
    // A width above 16, members the model lacks, a width of 0, a row that is
    // neither a channel nor a bus of the 16-channel model.
    SignalEntry &wide = file.BusEntry[0];
    wide.BitCount = 40;
    wide.Members.fill(1);
    wide.Members[0] = 31;
    file.BusEntry[1].BitCount = 0;
    const std::vector<uint8_t> list{16, 17, 40, 0};
    rows->SetColumns(list, sys.ChannelCount);
    ASSERT_EQ(rows->Columns().size(), 3u);
    EXPECT_EQ(rows->Columns()[0].Width, 16);
    rows->SetCurrentIndex(1);
    rows->Fill();
    // CH31 reads 0, the other 15 members CH1 (0 at +1): all zero.
    EXPECT_EQ(rows->Text(rows->Half(), 1), "0x0000");
    EXPECT_TRUE(rows->Text(rows->Half(), 2).empty());
    EXPECT_EQ(rows->Text(rows->Half(), 3), "1");

    // A signal list of nothing but "none": the sample number and the time.
    rows->SetColumns({}, sys.ChannelCount);
    rows->Fill();
    EXPECT_EQ(rows->ColumnCount(), 2);
    EXPECT_EQ(rows->Text(rows->Half(), 1), "+10.000nS");
}

TEST(ListTexts, TimerAndSampleNumbers)
{
    const WTime ns4 = WTime::Of(0, 4);
    EXPECT_EQ(WListRows::TimerText(375, ns4), "+1.500uS");
    EXPECT_EQ(WListRows::TimerText(-250000, ns4), "-1.000mS");
    EXPECT_EQ(WListRows::TimerText(0, WTime::Of(0, 0, 1)), " 0.0uS");
    EXPECT_EQ(WListRows::TimerText(3, WTime::Of(0, 0, 0, 0, 1)), "+3.000Sec");
    EXPECT_EQ(WListRows::SampleNumberText(-102400), "-102400");
    EXPECT_EQ(WListRows::ValueText(0xABCD, 16, 0), "0xABCD");
    EXPECT_EQ(WListRows::ValueText(5, 0, 1), "");
}

TEST(ListTexts, TimesAndIndicesRoundTrip)
{
    const WTime ns10 = WTime::Of(0, 10);
    EXPECT_EQ(WListRows::IndexOfTime(WTime::Of(0, 25), ns10), 2);
    EXPECT_EQ(WListRows::IndexOfTime(WTime::Of(0, 25, 0, 0, 0, 0), ns10), -3);
    EXPECT_EQ(WListRows::IndexOfTime(WTime::Of(0, 20, 0, 0, 0, 0), ns10), -2);
    for (int32_t n : {-123456, -1, 0, 7, 99999})
        EXPECT_EQ(WListRows::IndexOfTime(WListRows::TimeOfIndex(n, ns10), ns10), n);
}

} // namespace
