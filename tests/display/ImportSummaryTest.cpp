// An import larger than the model's memory: WSystem takes the ring and adds
// its depth entry, and the waveform's compressed columns built through the
// block summary are the columns built from every sample, at every time/div
// row, over pulses of every width around the block size, channels and buses.

#include "display/CWaveformCore.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr uint32_t ImportSamples = 600000; // more than model 3's 128k depth

std::vector<uint8_t> Ring(uint32_t samples, uint32_t seed)
{
    std::vector<uint8_t> ring(std::bit_ceil(size_t{4} * samples), 0);
    std::mt19937 random(seed);
    uint32_t word = 0;
    for (uint32_t i = 0; i < samples; ++i) {
        // Sparse changes of single bits, in bursts now and then: runs of every
        // length below and above a block.
        if (random() % 97 == 0 || (i / 5000 % 7 == 3 && random() % 3 == 0))
            word ^= 1u << (random() % 6);
        std::memcpy(ring.data() + 4 * size_t{i}, &word, 4);
    }
    return ring;
}

TEST(ImportRing, TakesTheRingAndAddsItsDepthEntry)
{
    WSystem system;
    system.SelectModel(3);
    const uint32_t depths = system.DepthCount;
    const int d = system.TakeImport(Ring(ImportSamples, 1), ImportSamples);
    ASSERT_EQ(d, static_cast<int>(depths));
    EXPECT_TRUE(system.HoldsImport());
    EXPECT_EQ(system.DepthCount, depths + 1);
    EXPECT_EQ(system.DepthSamples[static_cast<size_t>(d)], static_cast<int32_t>(ImportSamples));
    EXPECT_EQ(system.MemorySize, 4u << 20);
    EXPECT_EQ(system.AddressMask, (4u << 20) - 1);
    EXPECT_EQ(system.ModelMemorySize(), 0x80000u);
    EXPECT_TRUE(system.SpareBuffer.empty());
    EXPECT_EQ(system.BlockChanges.size(), (4u << 20) / 4 / WSystem::SummaryBlock);

    // A second import replaces the first one's entry.
    EXPECT_EQ(system.TakeImport(Ring(ImportSamples, 2), ImportSamples), d);
    EXPECT_EQ(system.DepthCount, depths + 1);

    // Rings that are no power of two, too small or too large are refused.
    struct Bad
    {
        size_t bytes;
        uint32_t samples;
    };
    for (const Bad &b : {Bad{3u << 20, 100}, Bad{0x40000, 100}, Bad{1u << 20, 300000},
                         Bad{size_t{512} << 20, 100}}) {
        std::vector<uint8_t> ring(b.bytes);
        EXPECT_EQ(system.TakeImport(std::move(ring), b.samples), -1) << b.bytes;
    }

    // A model selection gives the model's own memory back.
    system.SelectModel(3);
    EXPECT_FALSE(system.HoldsImport());
    EXPECT_EQ(system.MemorySize, 0x80000u);
    EXPECT_EQ(system.DepthCount, depths);
    EXPECT_TRUE(system.BlockChanges.empty());
    EXPECT_EQ(system.SpareBuffer.size(), 0x80000u);
}

class Summary : public ::testing::TestWithParam<int>
{
};

TEST_P(Summary, ColumnsAreTheColumnsOfEverySample)
{
    const int row = GetParam();
    WSystem system;
    system.SelectModel(3);
    const int d = system.TakeImport(Ring(ImportSamples, 7), ImportSamples);
    ASSERT_GE(d, 0);
    WSystem plain = system; // the same ring without its summary
    plain.BlockChanges.clear();

    CFile settings;
    settings.ModelCode = 3;
    settings.ResetSettings();
    settings.DisplayOrder.fill(32);
    for (int c = 0; c < 6; ++c)
        settings.DisplayOrder[static_cast<size_t>(c)] = static_cast<uint8_t>(c);
    // Two buses: CH3..CH0 and CH5, CH1.
    settings.BusEntry[0].BitCount = 4;
    for (int m = 0; m < 4; ++m)
        settings.BusEntry[0].Members[static_cast<size_t>(m)] = static_cast<uint16_t>(3 - m);
    settings.BusEntry[1].BitCount = 2;
    settings.BusEntry[1].Members[0] = 5;
    settings.BusEntry[1].Members[1] = 1;
    settings.DisplayOrder[6] = 16;
    settings.DisplayOrder[7] = 17;

    struct Built
    {
        std::unique_ptr<CCaptureRecord> record;
        std::unique_ptr<CWaveformCore> view;
    };
    auto build = [&](WSystem &sys, const WTime &at) {
        Built b;
        b.record = std::make_unique<CCaptureRecord>(sys, settings);
        b.record->DepthIndex = static_cast<uint16_t>(d);
        b.record->DepthSamples = ImportSamples;
        b.record->SetTriggerPosition(0);
        b.record->RecordStart = 0x100; // not on a block boundary
        b.record->TriggerAddress = 0x100;
        b.record->CaptureValid = 1;
        b.view = std::make_unique<CWaveformCore>(sys, settings, *b.record);
        b.view->RefreshRowTable();
        b.view->TimeDivIndex = static_cast<int16_t>(row);
        b.view->RateIndex = 9; // 400 ns a sample
        b.view->UpdateTimeBase();
        b.view->SetViewPosition(at);
        EXPECT_TRUE(b.view->ConvertWindow());
        return b;
    };
    for (const WTime &at : {WTime{}, Normalise(WTime::Of(0, 0, 0, 37, 0))}) {
        const Built a = build(system, at);
        const Built b = build(plain, at);
        ASSERT_EQ(a.view->LastColumn(), b.view->LastColumn());
        for (int c = 0; c < 6; ++c) {
            EXPECT_TRUE(std::equal(a.view->ChannelShapes(c).begin(), a.view->ChannelShapes(c).end(),
                                   b.view->ChannelShapes(c).begin()))
                << "row " << row << " CH" << c;
            EXPECT_TRUE(std::equal(a.view->ChannelLevels(c).begin(), a.view->ChannelLevels(c).end(),
                                   b.view->ChannelLevels(c).begin()))
                << "row " << row << " CH" << c;
        }
        for (int bus = 0; bus < 2; ++bus) {
            EXPECT_TRUE(std::equal(a.view->BusShapes(bus).begin(), a.view->BusShapes(bus).end(),
                                   b.view->BusShapes(bus).begin()))
                << "row " << row << " bus " << bus;
            EXPECT_TRUE(std::equal(a.view->BusValues(bus).begin(), a.view->BusValues(bus).end(),
                                   b.view->BusValues(bus).begin()))
                << "row " << row << " bus " << bus;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryTimeDivRow, Summary, ::testing::Range(0, 25));

} // namespace
