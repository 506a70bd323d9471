// The Qt-free waveform view: placement of the window in the record in every
// case, the Goto commands, the displayed delay, the row refresh, the scroll
// bar arithmetic in both regimes and the ruler marks.

#include "display/CWaveformCore.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "display/WRowTexts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr uint32_t Start = 0x2000; // ring address of the record's first sample

WTime Ns(uint32_t ps, uint32_t ns, uint32_t us = 0, bool negative = false)
{
    return Normalise(WTime::Of(ps, ns, us, 0, 0, negative ? 0 : 1));
}

class View : public ::testing::Test
{
protected:
    void SetUp() override
    {
        system.SelectModel(1); // 32 channels, 4 ns at rows 0..3
        std::fill(system.SampleBuffer.begin(), system.SampleBuffer.end(), 0);
        record = std::make_unique<CCaptureRecord>(system, settings);
        view = std::make_unique<CWaveformCore>(system, settings, *record);
        settings.DisplayOrder.fill(64);
        settings.DisplayOrder[0] = 0;
        view->RefreshRowTable();
        Record(1000, 5);
    }

    // A valid capture of `depth` samples with `tenths` of them before the trigger.
    void Record(uint32_t depth, int tenths)
    {
        record->DepthSamples = depth;
        record->SetTriggerPosition(tenths);
        record->RecordStart = Start;
        record->CaptureValid = 1;
    }

    void Rows(int timeDiv, int rate)
    {
        view->TimeDivIndex = static_cast<int16_t>(timeDiv);
        view->RateIndex = static_cast<int16_t>(rate);
        view->UpdateTimeBase();
    }

    void Put(uint32_t sample, uint32_t word)
    {
        std::memcpy(system.SampleBuffer.data() + Start + 4 * sample, &word, 4);
    }

    std::vector<int> Shapes(int channel) const
    {
        const auto s = view->ChannelShapes(channel);
        return {s.begin(), s.end()};
    }

    WSystem system;
    CFile settings;
    std::unique_ptr<CCaptureRecord> record;
    std::unique_ptr<CWaveformCore> view;
};

struct PlaceCase
{
    const char *name;
    int timeDiv;
    int rate;
    uint32_t depth;
    int tenths;
    WTime position;
    int firstColumn;
    int64_t sample; // FirstAddress = Start + 4 x sample; -1: not checked
    uint32_t phase;
    uint32_t parity;
    WTime sampleTime;
};

class PlaceWindowTable : public View, public ::testing::WithParamInterface<PlaceCase>
{
};

TEST_P(PlaceWindowTable, Placement)
{
    const PlaceCase &c = GetParam();
    Record(c.depth, c.tenths);
    Rows(c.timeDiv, c.rate);
    view->SetViewPosition(c.position);
    view->PlaceWindow();
    const auto &p = view->Placement;
    EXPECT_EQ(p.FirstColumn, c.firstColumn);
    if (c.sample < 0)
        return; // outside the record: nothing else is decided
    EXPECT_EQ(p.FirstAddress, Start + 4 * static_cast<uint32_t>(c.sample));
    EXPECT_EQ(p.Phase, c.phase);
    EXPECT_EQ(p.Parity, c.parity);
    EXPECT_EQ(p.SampleTime, c.sampleTime);
}

// Model 1, panel 1024 wide: at 50 % the trigger column is 532 (L = 532 pixels,
// R = 512 pixels); at 10 % it is 122 (R = 922 pixels).
INSTANTIATE_TEST_SUITE_P(
    Cases, PlaceWindowTable,
    ::testing::Values(
        // 200 ps per pixel, 4 ns per sample; record 2 us either side.
        PlaceCase{"ZoomedInsideBeforeTrigger", 0, 0, 1000, 5, WTime{}, 0, 473, 12, 0,
                  Ns(400, 106, 0, true)},
        PlaceCase{"ZoomedInsideAfterTrigger", 0, 0, 1000, 5, Ns(200, 0, 1), 0, 723, 11, 1,
                  Ns(800, 893)},
        PlaceCase{"OutsideAfterTheEnd", 0, 0, 1000, 5, Ns(600, 106, 2), 1024, -1, 0, 0, WTime{}},
        PlaceCase{"OutsideBeforeTheStart", 0, 0, 1000, 5, Ns(600, 102, 2, true), 1024, -1, 0, 0,
                  WTime{}},
        PlaceCase{"GotoBegin", 0, 0, 1000, 5, Ns(0, 0, 2, true), 532, 0, 20, 0, Ns(0, 0, 2, true)},
        // 1 ns per pixel, 4 ns per sample; 30 samples (120 ns) before the trigger,
        // less than the 122 ns left of the trigger column.
        PlaceCase{"ZoomedBeforeShortPreSpan", 2, 0, 300, 1, Ns(0, 100, 0, true), 103, 0, 3, 0,
                  Ns(0, 120, 0, true)},
        PlaceCase{"ZoomedBeforeViewPositive", 2, 0, 300, 1, WTime{}, 3, 0, 3, 0,
                  Ns(0, 120, 0, true)},
        // 10 ns per pixel, 4 ns per sample (2.5 samples a pixel); 128 us either side.
        PlaceCase{"CompressedHalfPhaseZero", 5, 0, 64000, 5, WTime{}, 2, 30670, 0, 0,
                  Ns(0, 320, 5, true)},
        PlaceCase{"CompressedHalfPhaseOne", 5, 0, 64000, 5, Ns(0, 4), 2, 30671, 1, 0,
                  Ns(0, 316, 5, true)},
        PlaceCase{"CompressedHalfViewNegative", 5, 0, 64000, 5, Ns(0, 8, 0, true), 1, 30668, 1, 0,
                  Ns(0, 328, 5, true)},
        PlaceCase{"CompressedHalfFiveModTen", 5, 0, 64000, 5, Ns(0, 20), 2, 30675, 0, 0,
                  Ns(0, 300, 5, true)},
        // 5 ns per pixel, 4 ns per sample (1.25 samples a pixel).
        PlaceCase{"CompressedQuarter", 4, 3, 64000, 5, WTime{}, 2, 31335, 0, 0,
                  Ns(0, 660, 2, true)},
        PlaceCase{"CompressedQuarterPhaseTwo", 4, 3, 64000, 5, Ns(0, 8), 2, 31337, 2, 0,
                  Ns(0, 652, 2, true)},
        PlaceCase{"CompressedBeforeRecord", 5, 0, 1000, 5, WTime{}, 333, 0, 0, 0,
                  Ns(0, 0, 2, true)}),
    [](const auto &param) { return std::string(param.param.name); });

TEST_F(View, GotoBeginPutsTheFirstSampleAtTheTriggerColumn)
{
    Rows(0, 0); // 20 pixels per sample
    Put(0, 1);  // channel 0 high for the first sample only
    view->GotoBegin();
    EXPECT_EQ(view->ViewPosition, Ns(0, 0, 2, true));
    ASSERT_TRUE(view->ConvertWindow());
    const std::vector<int> begin = Shapes(0);
    EXPECT_EQ(view->Placement.FirstColumn, view->TriggerColumn);
    for (int col = 0; col < 532; ++col)
        ASSERT_EQ(begin[static_cast<size_t>(col)], 255) << col;
    EXPECT_EQ(begin[532], 9); // the record starts high
    EXPECT_EQ(begin[533], 4);
    EXPECT_EQ(begin[552], 4);
    EXPECT_EQ(begin[553], 9); // sample 1 falls
    EXPECT_EQ(begin[554], 7);

    // The same samples keep their columns whether the window starts before the
    // record or inside it: with the record's first sample at column 0 the
    // picture is the same, 532 columns further left.
    view->SetViewPosition(SignedAdd(Ns(0, 0, 2, true), view->LeftSpan));
    ASSERT_TRUE(view->ConvertWindow());
    EXPECT_EQ(view->Placement.FirstColumn, 0);
    const std::vector<int> inside = Shapes(0);
    for (int col = 533; col < 1024; ++col)
        ASSERT_EQ(begin[static_cast<size_t>(col)], inside[static_cast<size_t>(col - 532)]) << col;

    // Scrolled one sample further left, everything moves 20 columns right.
    view->SetViewPosition(Ns(0, 4, 2, true));
    ASSERT_TRUE(view->ConvertWindow());
    EXPECT_EQ(view->Placement.FirstColumn, 552);
    EXPECT_EQ(Shapes(0)[573], 9);
    EXPECT_EQ(Shapes(0)[551], 255);
}

TEST_F(View, GotoEndPutsTheLastSampleAtTheTriggerColumn)
{
    Rows(0, 0);
    for (uint32_t k = 0; k < 1001; ++k)
        Put(k, 1); // sample 1000 lies past the record and is never shown
    view->GotoEnd();
    EXPECT_EQ(view->ViewPosition, Ns(0, 0, 2));
    ASSERT_TRUE(view->ConvertWindow());
    EXPECT_EQ(view->LastColumn(), view->TriggerColumn);
    EXPECT_EQ(Shapes(0)[532], 4);
    EXPECT_EQ(Shapes(0)[533], 255);
}

TEST_F(View, AWindowOutsideTheRecordDrawsNothing)
{
    Rows(0, 0);
    for (uint32_t k = 0; k < 1000; ++k)
        Put(k, 0xFFFFFFFF);
    std::vector<WRowTexts::Spot> texts;
    for (const WTime &position : {Ns(600, 106, 2), Ns(600, 102, 2, true), Ns(0, 0, 900)}) {
        view->SetViewPosition(position);
        ASSERT_TRUE(view->ConvertWindow());
        EXPECT_EQ(view->Placement.FirstColumn, 1024);
        EXPECT_EQ(view->LastColumn(), -1);
        for (int c = 0; c < 32; ++c)
            EXPECT_EQ(Shapes(c), std::vector<int>(1024, 255)) << c;
        WRowTexts::LevelTexts(view->ChannelLevels(0), view->ChannelShapes(0),
                              view->Placement.FirstColumn, texts);
        EXPECT_TRUE(texts.empty());
    }
    // Exactly at the record's end the window starts with no sample left.
    view->SetViewPosition(Ns(400, 106, 2));
    ASSERT_TRUE(view->ConvertWindow());
    EXPECT_EQ(view->LastColumn(), -1);
}

TEST_F(View, AnInvalidCaptureIsNotConverted)
{
    record->CaptureValid = 0;
    EXPECT_FALSE(view->ConvertWindow());
    EXPECT_EQ(Shapes(0), std::vector<int>(1024, 255));
}

TEST_F(View, ViewPositionDelayAndGotoTrigger)
{
    Rows(0, 0); // time/div unit ns
    view->TriggerCursorTime = Ns(0, 50);
    view->SetViewPosition(Ns(0, 20));
    EXPECT_EQ(view->DisplayedDelay, Ns(0, 30, 0, true));
    EXPECT_EQ(view->DelayText(), "-30.000ns");
    settings.ClockSource = 1; // external clock: periods of row 0's value in row 7's unit (4 ns)
    view->UpdateTimeBase();
    EXPECT_EQ(view->DelayText(), "-7CK");
    settings.ClockSource = 0;

    view->GotoTrigger(false);
    EXPECT_EQ(view->ViewPosition, Ns(0, 50));
    EXPECT_TRUE(view->DisplayedDelay.IsZero());
    view->GotoTrigger(true);
    EXPECT_TRUE(view->ViewPosition.IsZero());
    EXPECT_EQ(view->ViewPosition.sign, 1);
}

TEST_F(View, RefreshRowsTakesRowsAndDelayFromTheSettings)
{
    settings.TimeDivRow = 7;
    settings.RateRow = 2;
    settings.DelayGroups = {0, 500, 2, 0, 0};
    settings.DelayNegative = 1;
    settings.DisplayOrder[1] = 40;
    settings.BusEntry[8].BitCount = 2;
    settings.BusEntry[8].Members = {3, 2};
    view->RefreshRows();
    EXPECT_EQ(view->TimeDivIndex, 7);
    EXPECT_EQ(view->RateIndex, 2);
    EXPECT_EQ(view->DisplayedDelay, Ns(0, 500, 2, true));
    EXPECT_EQ(view->TimePerPixel, WTime::Of(0, 50));
    EXPECT_EQ(view->Rows[40].Visible, 1);
    EXPECT_EQ(view->Rows[40].AllOnesValue, 3);
}

struct ScrollCase
{
    const char *name;
    int timeDiv;
    int rate;
    uint32_t depth;
    CWaveformCore::ScrollRange range;
};

class ScrollRangeTable : public View, public ::testing::WithParamInterface<ScrollCase>
{
};

TEST_P(ScrollRangeTable, Range)
{
    const ScrollCase &c = GetParam();
    Record(c.depth, 5);
    Rows(c.timeDiv, c.rate);
    EXPECT_EQ(view->ScrollRangeOf(), c.range);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScrollRangeTable,
    ::testing::Values(
        // 500 samples either side of the trigger unless said otherwise.
        ScrollCase{"TwentyPixelsPerSample", 0, 0, 1000, {-10000, 10000, 1}},
        ScrollCase{"HundredPixelsOrMoreCountSamples", 0, 24, 1000, {-500, 500, 1}},
        ScrollCase{"CompressedRecordFitsThePanel", 6, 0, 1000, {-100, 1124, 1024}},
        ScrollCase{"TwoAndAHalfSamplesPerPixel", 5, 0, 1000, {-200, 1224, 1024}},
        ScrollCase{"CompressedLongRecord", 6, 0, 512000, {-51200, 51200, 1}},
        ScrollCase{"NoRecord", 0, 0, 0, {0, 1, 1}}),
    [](const auto &param) { return std::string(param.param.name); });

TEST_F(View, ScrollPositionFollowsTheViewAndScrollToMovesIt)
{
    Rows(6, 0); // compressed: positions count 20 ns pixels
    const CWaveformCore::ScrollRange range = view->ScrollRangeOf();
    view->SetViewPosition(Ns(0, 0, 1, true));
    EXPECT_EQ(view->ScrollPositionOf(range), -50);
    view->SetViewPosition(Ns(0, 4, 2, true)); // before the record's start
    EXPECT_EQ(view->ScrollPositionOf(range), range.Min);
    view->SetViewPosition(Ns(0, 4, 2)); // after its end
    EXPECT_EQ(view->ScrollPositionOf(range), range.Max);

    view->ScrollTo(-50);
    EXPECT_EQ(view->ViewPosition, Ns(0, 0, 1, true));
    EXPECT_EQ(view->DelayText(), "-1.000us");
    view->ScrollTo(0);
    EXPECT_TRUE(view->ViewPosition.IsZero());
    EXPECT_EQ(view->ViewPosition.sign, 1);

    Rows(0, 24); // a sample spans 2 x 10^8 pixels: positions count samples of 40 ms
    view->ScrollTo(3);
    EXPECT_EQ(view->ViewPosition, WTime::Of(0, 0, 0, 120));
    EXPECT_EQ(view->ScrollPositionOf(view->ScrollRangeOf()), 3);
    Rows(0, 0); // 20 pixels per sample: positions count pixels
    view->ScrollTo(-7);
    EXPECT_EQ(view->ViewPosition, Ns(400, 1, 0, true));
    EXPECT_EQ(view->ScrollPositionOf(view->ScrollRangeOf()), -7);
}

TEST_F(View, RulerLabelsEveryTwoDivisionsFromTheOrigin)
{
    view->PanelWidth = 1000;
    Rows(0, 0); // 200 ps per pixel: 10 ns per division
    CWaveformCore::RulerMarks marks;
    view->RulerMarksOf(marks);
    ASSERT_EQ(marks.LabelCount, 12); // steps 0, 2, .., 10 on both sides
    EXPECT_EQ(marks.Labels[0].Text, "0.0ps");
    EXPECT_EQ(marks.Labels[0].X, 499 - 12);
    EXPECT_EQ(marks.Labels[1].X, 499 - 12);
    EXPECT_EQ(marks.Labels[2].Text, "-20.000ns");
    EXPECT_EQ(marks.Labels[2].X, 399 - 22);
    EXPECT_EQ(marks.Labels[3].Text, "20.000ns");
    EXPECT_EQ(marks.Labels[3].X, 599 - 20);
    EXPECT_EQ(marks.Labels[11].Text, "100.000ns");
    ASSERT_EQ(marks.TickCount, 2 + 8 + 10 * 9); // the origin's minor ticks once
    EXPECT_TRUE(marks.Ticks[0].Major);
    EXPECT_EQ(marks.Ticks[0].X, 499);
    EXPECT_EQ(marks.Ticks[2].X, 489);
    EXPECT_FALSE(marks.Ticks[2].Major);
    EXPECT_EQ(marks.Ticks[3].X, 509);

    // The origin is the view position less the trigger cursor's time.
    view->TriggerCursorTime = Ns(0, 4);
    view->SetViewPosition(Ns(0, 10));
    view->RulerMarksOf(marks);
    EXPECT_EQ(marks.Labels[0].Text, "6.000ns");
    EXPECT_EQ(marks.Labels[2].Text, "-14.000ns");
}

} // namespace
