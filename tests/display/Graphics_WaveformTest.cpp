// The column conversion of the waveform view against small hand-computed
// fixtures: zoomed in (20 and exactly 2 pixels per sample), compressed
// (2.5 samples per pixel, activity, bus change counting), the closing of bus
// runs into cells and ramps, and the row table.

#include "display/Graphics_Waveform.h"

#include "device/CFile.h"
#include "device/WSystem.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

namespace {

using Runs = std::vector<std::pair<int, int>>; // (code, columns)

std::vector<int> Expand(const Runs &runs)
{
    std::vector<int> out;
    for (auto [code, n] : runs)
        out.insert(out.end(), static_cast<size_t>(n), code);
    return out;
}

template <typename Span> std::vector<int> Slice(Span row, int from, int count)
{
    std::vector<int> out;
    for (int i = from; i < from + count; ++i)
        out.push_back(static_cast<int>(row[static_cast<size_t>(i)]));
    return out;
}

constexpr uint32_t Base = 0x1000; // ring address of the first sample of the fixtures

class Conversion : public ::testing::Test
{
protected:
    void SetUp() override
    {
        system.SelectModel(1); // 32 channels, 2 MiB ring, 4 ns at rows 0..3
        std::fill(system.SampleBuffer.begin(), system.SampleBuffer.end(), 0);
        view = std::make_unique<Graphics_Waveform>(system, settings);
        // Signal list: channels 0..3 and bus 0 (row 32); bus 0 = channels 7, 6, 5, 4.
        settings.DisplayOrder.fill(64);
        for (uint8_t r = 0; r < 4; ++r)
            settings.DisplayOrder[r] = r;
        settings.DisplayOrder[4] = 32;
        settings.BusEntry[0].BitCount = 4;
        settings.BusEntry[0].Members = {7, 6, 5, 4}; // the rest lies beyond the width
        view->RefreshRowTable();
        SetRecord(1000);
    }

    // A record of `depth` samples, half of them after the trigger.
    void SetRecord(uint32_t depth)
    {
        view->DepthSamples = depth;
        view->PreTriggerPercent = 50;
        view->PostTriggerPercent = 50;
        view->UpdateTimeBase();
    }

    void Rows(int timeDiv, int rate)
    {
        view->TimeDivIndex = static_cast<int16_t>(timeDiv);
        view->RateIndex = static_cast<int16_t>(rate);
        view->UpdateTimeBase();
    }

    void Put(uint32_t sample, uint32_t word, uint32_t base = Base)
    {
        const uint32_t a = (base + 4 * sample) & system.AddressMask;
        std::memcpy(system.SampleBuffer.data() + a, &word, 4);
    }

    // Samples from a list of words; word k is sample k.
    void PutAll(std::initializer_list<uint32_t> words, uint32_t base = Base)
    {
        uint32_t k = 0;
        for (uint32_t w : words)
            Put(k++, w, base);
    }

    void Build(uint16_t firstColumn, uint32_t phase, uint32_t parity = 0, uint32_t base = Base)
    {
        Graphics_Waveform::WindowPlacement w;
        w.FirstColumn = firstColumn;
        w.FirstAddress = base;
        w.Phase = phase;
        w.Parity = parity;
        w.SampleTime = WTime{}; // the first sample drawn is the trigger sample
        view->BuildColumns(w);
    }

    WSystem system;
    CFile settings;
    std::unique_ptr<Graphics_Waveform> view;
};

TEST_F(Conversion, TwentyPixelsPerSampleShowsAnEdgeAsOneFilledColumn)
{
    Rows(0, 0); // 200 ps per pixel, 4 ns per sample
    ASSERT_EQ(view->PixelsPerSample, 20u);
    PutAll({0b00, 0b01, 0b01, 0b00, 0b10});
    Build(0, 20);
    // The first sample covers Phase + 1 columns, every later one 20; an edge is
    // the first column of the new sample.
    EXPECT_EQ(Slice(view->ChannelShapes(0), 0, 82),
              Expand({{7, 21}, {9, 1}, {4, 39}, {9, 1}, {7, 20}}));
    EXPECT_EQ(Slice(view->ChannelLevels(0), 19, 4), (std::vector<int>{0, 0, 1, 1}));
    EXPECT_EQ(Slice(view->ChannelShapes(1), 0, 82), Expand({{7, 81}, {9, 1}}));
    EXPECT_EQ(view->ChannelShapes(1)[82], 4);
}

TEST_F(Conversion, ExactlyTwoPixelsPerSampleComparesOncePerSample)
{
    Rows(3, 3); // 2 ns per pixel, 4 ns per sample
    ASSERT_EQ(view->PixelsPerSample, 2u);
    // Sample 0 covers columns 0..2, sample k >= 1 columns 2k + 1 and 2k + 2.
    // Channel 0: 0 0 1 1 1 0 1 0 0 0 ...; the comparisons fall on the odd columns.
    PutAll({0, 0, 1, 1, 1, 0, 1, 0, 0, 0, 0, 0});
    Build(0, 2, 0);
    // A lone rising edge (sample 2) fills column 5; its second column is given
    // back to the level when the next sample keeps it. Two changes in a row
    // (samples 5, 6, 7) fill both columns of each changed sample.
    EXPECT_EQ(Slice(view->ChannelShapes(0), 0, 22),
              Expand({{7, 5}, {9, 1}, {4, 5}, {9, 5}, {7, 6}}));
    EXPECT_EQ(Slice(view->ChannelLevels(0), 0, 8), (std::vector<int>{0, 0, 0, 0, 0, 1, 1, 1}));

    // The other alignment: Phase 1 puts sample k at columns 2k, 2k + 1 and the
    // comparisons on the even columns.
    PutAll({0, 0, 1, 1, 0, 1, 1, 1});
    Build(0, 1, 1);
    EXPECT_EQ(Slice(view->ChannelShapes(0), 0, 16),
              Expand({{7, 4}, {9, 1}, {4, 3}, {9, 3}, {4, 5}}));
}

TEST_F(Conversion, TwoAndAHalfSamplesPerPixelAlternateTwoAndThreeSamples)
{
    Rows(5, 0); // 10 ns per pixel, 4 ns per sample
    ASSERT_EQ(view->SamplesPerPixel, 2u);
    ASSERT_EQ(view->FractionPerPixel, 0.5f);
    // Phase 1: column 2 takes samples 0, 1; column 3 takes 2..4; column 4 5, 6;
    // column 5 7..9; column 6 10, 11; ...
    // Channel 0 rises between columns 3 and 4 and falls inside column 5.
    // Channel 1 rises inside column 3 (sample 3).
    // Channel 2 is high throughout.
    std::vector<uint32_t> words(40, 0b100);
    for (uint32_t k : {5u, 6u, 7u})
        words[k] |= 0b001;
    for (uint32_t k = 3; k < 40; ++k)
        words[k] |= 0b010;
    for (uint32_t k = 0; k < words.size(); ++k)
        Put(k, words[k]);
    Build(2, 1);
    EXPECT_EQ(Slice(view->ChannelShapes(0), 0, 9),
              (std::vector<int>{255, 255, 7, 7, 9, 9, 7, 7, 7}));
    EXPECT_EQ(Slice(view->ChannelShapes(1), 0, 9),
              (std::vector<int>{255, 255, 7, 9, 4, 4, 4, 4, 4}));
    // Before the first column the levels count as 0: a high channel starts with
    // an edge column.
    EXPECT_EQ(Slice(view->ChannelShapes(2), 0, 5), (std::vector<int>{255, 255, 9, 4, 4}));
    // Level cells: the level, or a running mark (never 0 or 1 here) at edges.
    EXPECT_EQ(Slice(view->ChannelLevels(0), 2, 2), (std::vector<int>{0, 0}));
    EXPECT_GT(view->ChannelLevels(0)[4], 1);
    EXPECT_GT(view->ChannelLevels(0)[5], 1);
    EXPECT_NE(view->ChannelLevels(0)[4], view->ChannelLevels(0)[5]);
    EXPECT_EQ(view->ChannelLevels(0)[6], 0);
}

TEST_F(Conversion, TheFractionPhaseDecidesWhereTheThirdSampleFalls)
{
    Rows(5, 0);
    // Channel 0 changes only at sample 4: with Phase 1 that is inside column 3
    // (samples 2..4), with Phase 0 it is the first sample of column 4 (columns
    // take 2, 2, 3 samples).
    std::vector<uint32_t> words(40, 0);
    for (uint32_t k = 4; k < 40; ++k)
        words[k] = 1;
    for (uint32_t k = 0; k < words.size(); ++k)
        Put(k, words[k]);
    Build(2, 1);
    EXPECT_EQ(Slice(view->ChannelShapes(0), 2, 4), (std::vector<int>{7, 9, 4, 4}));
    Build(2, 0);
    EXPECT_EQ(Slice(view->ChannelShapes(0), 2, 4), (std::vector<int>{7, 7, 9, 4}));
}

TEST_F(Conversion, CompressedActivityAndBusChangeCounting)
{
    Rows(6, 0); // 20 ns per pixel, 4 ns per sample: 5 samples a column
    ASSERT_EQ(view->SamplesPerPixel, 5u);
    SetRecord(120); // 60 samples after the trigger: columns 2..13
    // Bus 0 (bits 7..4) per column of five samples:
    //  col 2: 3 3 3 3 3   col 3: 3 3 3 3 3   col 4: 3 3 5 5 5   col 5, 6: 5 ...
    //  col 7: 5 6 7 7 7   col 8..10: 7 ...   col 11..: 9 (a change at the boundary)
    std::vector<uint32_t> bus(60, 9);
    for (int k = 0; k < 12; ++k)
        bus[static_cast<size_t>(k)] = 3;
    for (int k = 12; k < 26; ++k)
        bus[static_cast<size_t>(k)] = 5;
    bus[26] = 6;
    for (int k = 27; k < 45; ++k)
        bus[static_cast<size_t>(k)] = 7;
    std::vector<uint32_t> words(60, 0);
    for (size_t k = 0; k < words.size(); ++k)
        words[k] = bus[k] << 4;
    // Channel 0 toggles inside column 3 only; channel 1 rises at column 4.
    for (size_t k : {5u, 7u, 9u})
        words[k] |= 1;
    for (size_t k = 10; k < words.size(); ++k)
        words[k] |= 2;
    for (uint32_t k = 0; k < words.size(); ++k)
        Put(k, words[k]);
    Put(60, 0xFF); // the sample after the record's end is never shown

    Build(2, 0);
    EXPECT_EQ(view->LastColumn(), 13);
    EXPECT_EQ(Slice(view->ChannelShapes(0), 0, 15),
              Expand({{255, 2}, {7, 1}, {9, 1}, {7, 10}, {255, 1}}));
    EXPECT_EQ(Slice(view->ChannelShapes(1), 0, 15),
              Expand({{255, 2}, {7, 2}, {9, 1}, {4, 9}, {255, 1}}));
    // Column 2: first value against the reset value 0 (one change, a marked
    // one-column run); column 4: one change (the run 2..3 closes as one
    // filled pair); column 7: two changes (the run 4..6 closes as a two-ramp
    // cell and its last column turns into an edge); column 10: a change at the
    // boundary counts in the column before it. The last column (13) of the
    // record has no bus step; the pending run 10..12 closes at the end.
    EXPECT_EQ(Slice(view->BusShapes(0), 0, 15),
              (std::vector<int>{255, 255, 9, 9, 0, 2, 9, 0, 2, 2, 0, 2, 2, 255, 255}));
    const auto values = view->BusValues(0);
    EXPECT_EQ(Slice(values, 3, 1), (std::vector<int>{3}));
    EXPECT_EQ(Slice(values, 5, 6), (std::vector<int>{5, 5, 5, 7, 7, 9}));
    EXPECT_EQ(Slice(values, 11, 3), (std::vector<int>{9, 9, 0}));
    EXPECT_GT(values[2], 127); // marks at the one-change columns
    EXPECT_GT(values[4], 127);
    EXPECT_NE(values[2], values[4]);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(view->ChannelShapes(c)[14], 255) << c;
}

TEST_F(Conversion, ChangesAreCountedWhereverTheyFallInAColumn)
{
    Rows(8, 0); // 100 ns per pixel, 4 ns per sample: 25 samples a column
    ASSERT_EQ(view->SamplesPerPixel, 25u);
    // Six listed buses on the same channels: the fifth and sixth are counted
    // in a second pass and must come out as the first.
    for (uint8_t b = 0; b < 6; ++b) {
        settings.DisplayOrder[4 + b] = static_cast<uint8_t>(32 + b);
        settings.BusEntry[b] = settings.BusEntry[0];
    }
    view->RefreshRowTable();
    // Column 3 holds samples 25..49. Bus value 1, then 2 from sample 25 + j
    // (one change), or 2 for samples 25 + j .. 25 + k - 1 only (two changes).
    auto fill = [&](int j, int k) {
        for (uint32_t n = 0; n < 150; ++n)
            Put(n, (n >= 25u + j && n < 25u + k ? 2u : 1u) << 4);
    };
    for (int j = 1; j < 25; ++j) {
        fill(j, 150);
        Build(2, 0);
        for (int b = 0; b < 6; ++b) {
            EXPECT_GT(view->BusValues(b)[3], 127) << "change at " << j << ", bus " << b;
            EXPECT_EQ(view->BusShapes(b)[2], 9) << j << " " << b; // the run 2..2 closed
            EXPECT_EQ(view->BusValues(b)[4], 2) << j << " " << b;
        }
        EXPECT_EQ(view->ChannelShapes(4)[3], 9) << j; // activity of the changed channels
        EXPECT_EQ(view->ChannelShapes(5)[3], 9) << j;
        EXPECT_EQ(view->ChannelShapes(0)[3], 7) << j;
        for (int k = j + 1; k < 25; ++k) {
            fill(j, k);
            Build(2, 0);
            for (int b = 0; b < 6; ++b) {
                EXPECT_EQ(view->BusValues(b)[3], 1) << j << ".." << k << ", bus " << b;
                EXPECT_EQ(view->BusValues(b)[4], 1) << j << ".." << k << ", bus " << b;
            }
        }
    }
}

TEST_F(Conversion, ARecordWrappingTheRingConvertsAsAContiguousOne)
{
    Rows(6, 0);
    std::vector<uint32_t> words(400);
    for (size_t k = 0; k < words.size(); ++k)
        words[k] = static_cast<uint32_t>((k * 2654435761u) >> 7) & 0x0F0F0F0Fu;
    const uint32_t wrapped = system.MemorySize - 4 * 37; // the ring wraps inside column 9
    for (uint32_t k = 0; k < words.size(); ++k) {
        Put(k, words[k]);
        Put(k, words[k], wrapped);
    }
    Build(2, 0, 0, Base);
    std::vector<std::vector<int>> plain;
    for (int c = 0; c < 32; ++c)
        plain.push_back(Slice(view->ChannelShapes(c), 0, 90));
    plain.push_back(Slice(view->BusShapes(0), 0, 90));
    plain.push_back(Slice(view->BusValues(0), 0, 90));
    Build(2, 0, 0, wrapped);
    for (int c = 0; c < 32; ++c)
        EXPECT_EQ(Slice(view->ChannelShapes(c), 0, 90), plain[static_cast<size_t>(c)]) << c;
    EXPECT_EQ(Slice(view->BusShapes(0), 0, 90), plain[32]);
    EXPECT_EQ(Slice(view->BusValues(0), 0, 90), plain[33]);
}

TEST_F(Conversion, AnAllOnesBusIsAHighLevelWithRampsAtBothEnds)
{
    Rows(0, 0);
    for (uint32_t k = 0; k < 60; ++k)
        Put(k, 0xF0);
    Build(0, 20);
    EXPECT_EQ(Slice(view->BusShapes(0), 0, 1024), Expand({{3, 7}, {4, 1009}, {5, 8}}));
    EXPECT_EQ(view->BusValues(0)[500], 15);

    // A zero bus likewise with the low codes, an unlisted bus not at all.
    for (uint32_t k = 0; k < 60; ++k)
        Put(k, 0);
    Build(0, 20);
    EXPECT_EQ(Slice(view->BusShapes(0), 0, 1024), Expand({{6, 7}, {7, 1009}, {8, 8}}));
    EXPECT_EQ(Slice(view->BusShapes(1), 0, 1024), Expand({{255, 1024}}));
}

TEST_F(Conversion, ZoomedBusValueRunsBecomeCells)
{
    Rows(0, 0);
    // Bus 0: 5 for samples 0..2, then 6: the first run (columns 0..60) closes
    // at the change; the second one closes at the last column, which a run
    // begun inside the window does not reach.
    for (uint32_t k = 0; k < 60; ++k)
        Put(k, (k < 3 ? 5u : 6u) << 4);
    Build(0, 20);
    EXPECT_EQ(Slice(view->BusShapes(0), 0, 70), Expand({{0, 7}, {1, 47}, {2, 7}, {0, 7}, {1, 2}}));
    EXPECT_EQ(view->BusValues(0)[60], 5);
    EXPECT_EQ(view->BusValues(0)[61], 6);
    EXPECT_EQ(Slice(view->BusShapes(0), 1014, 10), Expand({{1, 1}, {2, 8}, {255, 1}}));
}

TEST_F(Conversion, NothingIsDrawnFromFirstColumn1024OrPastTheRecord)
{
    Rows(0, 0);
    for (uint32_t k = 0; k < 60; ++k)
        Put(k, 0xFFFFFFFF);
    Build(Graphics_Waveform::ColumnCount, 20);
    EXPECT_EQ(view->LastColumn(), -1);
    for (int c = 0; c < 32; ++c)
        EXPECT_EQ(Slice(view->ChannelShapes(c), 0, 1024), Expand({{255, 1024}})) << c;
    EXPECT_EQ(Slice(view->BusShapes(0), 0, 1024), Expand({{255, 1024}}));

    // A record of 3 samples after the first drawn one: 21 + 20 + 20 columns.
    SetRecord(6);
    Build(0, 20);
    EXPECT_EQ(view->LastColumn(), 60);
    EXPECT_EQ(Slice(view->ChannelShapes(5), 0, 62), Expand({{4, 61}, {255, 1}}));
    EXPECT_EQ(Slice(view->BusShapes(0), 0, 62), Expand({{3, 7}, {4, 46}, {5, 8}, {255, 1}}));
}

struct RunCase
{
    const char *name;
    int length; // columns minus one
    int32_t value;
    Runs expected;
};

class CloseRunTable : public ::testing::TestWithParam<RunCase>
{
};

TEST_P(CloseRunTable, Shapes)
{
    const RunCase &c = GetParam();
    Graphics_Waveform::ShapeRow row;
    row.fill(Graphics_Waveform::NoData);
    Graphics_Waveform::CloseRun(row, 100, c.length, c.value, 0xFF, 0);
    EXPECT_EQ(Slice(row, 99, c.length + 3), Expand(c.expected)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Runs, CloseRunTable,
    ::testing::Values(
        RunCase{"one column", 0, 0x12, {{255, 1}, {9, 1}, {255, 1}}},
        RunCase{"two columns", 1, 0x12, {{255, 1}, {9, 2}, {255, 1}}},
        RunCase{"three columns", 2, 0x12, {{255, 1}, {0, 1}, {2, 2}, {255, 1}}},
        RunCase{"14 columns: two ramps", 13, 0x12, {{255, 1}, {0, 7}, {2, 7}, {255, 1}}},
        RunCase{"15 columns: a cell", 14, 0x12, {{255, 1}, {0, 7}, {2, 8}, {255, 1}}},
        RunCase{"16 columns: with a body", 15, 0x12, {{255, 1}, {0, 7}, {1, 1}, {2, 8}, {255, 1}}},
        RunCase{"all ones, 15 columns", 14, 0xFF, {{255, 1}, {3, 7}, {5, 8}, {255, 1}}},
        RunCase{"all ones, 16 columns", 15, 0xFF, {{255, 1}, {3, 7}, {4, 1}, {5, 8}, {255, 1}}},
        RunCase{"zero, 15 columns", 14, 0, {{255, 1}, {6, 7}, {8, 8}, {255, 1}}},
        RunCase{"zero, 20 columns", 19, 0, {{255, 1}, {6, 7}, {7, 5}, {8, 8}, {255, 1}}}));

TEST(CloseRunEdges, ColumnsOutsideTheRowAreSkipped)
{
    Graphics_Waveform::ShapeRow row;
    row.fill(Graphics_Waveform::NoData);
    Graphics_Waveform::CloseRun(row, 1020, 20, 1, 0xFF, 0);
    EXPECT_EQ(Slice(row, 1019, 5), (std::vector<int>{255, 0, 0, 0, 0}));
    Graphics_Waveform::CloseRun(row, -5, 20, 1, 0xFF, 0);
    EXPECT_EQ(Slice(row, 0, 3), (std::vector<int>{0, 0, 1}));
}

TEST(RowTable, PaletteMembersWidthsAndDisplayBase)
{
    WSystem system;
    CFile settings;
    Graphics_Waveform view(system, settings);
    ASSERT_EQ(view.Rows.size(), 64u);
    EXPECT_EQ(view.Rows[0].Colour, 0x000080);
    EXPECT_EQ(view.Rows[13].Colour, 0xFF0000);
    EXPECT_EQ(view.Rows[39].Colour, 0xC0C0C0);
    EXPECT_EQ(view.Rows[40].Members[0], 64);

    settings.DisplayOrder.fill(64);
    settings.DisplayOrder[0] = 33;
    settings.DisplayOrder[1] = 2;
    settings.DisplayOrder[2] = 64; // end of the list
    settings.DisplayOrder[3] = 5;
    settings.BusEntry[1].BitCount = 3;
    settings.BusEntry[1].Members = {9, 8, 1, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4};
    settings.BusEntry[2].BitCount = 40; // from a damaged file
    view.RefreshRowTable();
    EXPECT_EQ(view.ListedRows().size(), 2u);
    EXPECT_EQ(view.Rows[33].Visible, 1);
    EXPECT_EQ(view.Rows[2].Visible, 1);
    EXPECT_EQ(view.Rows[5].Visible, 0);
    EXPECT_EQ(view.Rows[33].BusWidth, 3);
    EXPECT_EQ(view.Rows[33].Members[2], 1);
    EXPECT_EQ(view.Rows[33].Members[3], 64);
    EXPECT_EQ(view.Rows[33].AllOnesValue, 7);
    EXPECT_EQ(view.Rows[34].BusWidth, 16);
    EXPECT_EQ(view.Rows[34].AllOnesValue, 0xFFFF);

    view.SetDisplayBase(33, Graphics_Waveform::Binary);
    view.SetDisplayBase(33, 7);  // not a base
    view.SetDisplayBase(640, 1); // not a row
    EXPECT_EQ(view.Rows[33].DisplayBase, Graphics_Waveform::Binary);
}

} // namespace
