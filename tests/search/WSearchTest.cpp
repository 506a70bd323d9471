#include "search/WSearch.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "search/SearchPage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using C = SearchCondition;
constexpr uint32_t Bus0 = 16; // the first bus row of a 16-channel model

// A 16-sample record on a 16-channel model (512 KiB ring) that starts six
// samples before the end of the ring, so it wraps between samples 5 and 6.
// The trigger is sample 8 (index 0). Bus 0 is CH7..CH4, CH7 most significant.
// The words just outside the record have every bit set: a search that read
// them would find edges and levels there.
class Capture
{
public:
    static constexpr int Depth = 16;
    static constexpr int Trigger = 8;
    //                                     0  1  2  3  4  5  6  7  8  9 10 11 12 13 14 15
    static constexpr int Ch3[Depth] = {1, 1, 0, 0, 1, 1, 1, 0, 0, 0, 1, 1, 0, 0, 0, 1};
    static constexpr int Ch0[Depth] = {0, 1, 1, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 1, 0, 0};
    static constexpr int Bus[Depth] = {0, 3, 3, 5, 5, 5, 9, 3, 3, 0, 0, 12, 12, 5, 5, 15};

    Capture()
    {
        sys.SelectModel(3);
        file.ModelCode = 3;
        file.ResetSettings();
        file.BusEntry[0].Members.fill(16);
        file.BusEntry[0].Members[0] = 7;
        file.BusEntry[0].Members[1] = 6;
        file.BusEntry[0].Members[2] = 5;
        file.BusEntry[0].Members[3] = 4;
        file.BusEntry[0].BitCount = 4;
        rec.RecordStart = sys.MemorySize - 6 * 4;
        rec.TriggerAddress = Address(Trigger);
        rec.DepthSamples = Depth;
        rec.CaptureValid = 1;
        Put(-1, 0xFFFFFFFF);
        Put(Depth, 0xFFFFFFFF);
        for (int n = 0; n < Depth; ++n)
            Put(n, static_cast<uint32_t>(Ch3[n] << 3 | Ch0[n] | Bus[n] << 4));
    }
    uint32_t Address(int n) const { return (rec.RecordStart + 4u * n) & sys.AddressMask; }
    void Put(int n, uint32_t word) { std::memcpy(&sys.SampleBuffer[Address(n)], &word, 4); }

    WSystem sys;
    CFile file;
    CCaptureRecord rec{sys, file};
};

constexpr int None = -99;

struct Case
{
    const char *name;
    std::vector<SearchCondition> conditions;
    bool forward;
    int from;  // sample number of the start (index = n - Trigger)
    int bound; // sample number of the last (forward) or first (backward) to examine
    int found; // sample number of the match, or None
};

class SearchTable : public testing::TestWithParam<Case>
{
};

TEST_P(SearchTable, FindsTheSample)
{
    const Case &c = GetParam();
    Capture cap;
    const WSearch search(cap.sys, cap.file, cap.rec, c.conditions);
    const int64_t start = c.from - Capture::Trigger;
    const int64_t bound = c.bound - Capture::Trigger;
    const uint32_t address = cap.Address(c.from);
    const WSearch::Step step = c.forward ? search.SearchForward(bound, start, address)
                                         : search.SearchBackward(bound, start, address);
    if (c.found == None) {
        EXPECT_EQ(step.What, WSearch::Outcome::NoMatch);
        EXPECT_EQ(step.Index, start);
    } else {
        EXPECT_EQ(step.What, WSearch::Outcome::Found);
        EXPECT_EQ(step.Index, c.found - Capture::Trigger);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, SearchTable,
    testing::Values(
        // A level first finds the start of the next stretch, not the next sample.
        Case{"LevelFromInsideAStretch", {{1, 3, 0}}, true, 4, 15, 10},
        Case{"LevelBackwardFindsTheStretchEnd", {{1, 3, 0}}, false, 12, 0, 11},
        Case{"FallingForward", {{2, 0, 0}}, true, 0, 15, 3},
        Case{"FallingBackward", {{2, 0, 0}}, false, 15, 0, 14},
        Case{"RisingOnTheSecondSample", {{3, 0, 0}}, true, 0, 15, 1},
        Case{"AnyEdge", {{4, 3, 0}}, true, 0, 15, 2},
        Case{"EdgeAcrossTheRingEnd", {{2, 0, 0}}, true, 5, 15, 6},
        Case{"LevelAcrossTheRingEnd", {{1, 0, 0}}, false, 7, 0, 5},
        Case{"LevelOnTheFirstSample", {{0, 0, 0}}, false, 1, 0, 0},
        Case{"NoEdgeOnTheFirstSample", {{2, 0, 0}}, false, 2, 0, None},
        Case{"LevelOnTheLastSample", {{1, 3, 0}}, true, 13, 15, 15},
        Case{"NothingPastTheLastSample", {{1, 3, 0}}, true, 15, 30, None},
        Case{"NothingBeforeTheFirstSample", {{1, 0, 0}}, false, 0, -20, None},
        Case{"BoundStopsTheWalk", {{1, 3, 0}}, true, 4, 9, None},
        Case{"StartBeforeTheRecord", {{0, 0, 0}}, true, -3, 15, 0},
        Case{"StartPastTheRecord", {{0, 0, 0}}, false, 19, 0, 15},
        Case{"BusValueStretch", {{5, Bus0, 0}}, true, 0, 15, 3},
        Case{"BusValueNextStretch", {{5, Bus0, 0}}, true, 3, 15, 13},
        Case{"BusAndChannel", {{12, Bus0, 0}, {0, 0, 0}}, false, 15, 0, 12},
        // Order matters: a level first passes over samples whose earlier
        // neighbour holds the level too; an edge first reports every match.
        Case{"LevelThenEdge", {{1, 3, 0}, {2, 0, 0}}, true, 0, 15, 10},
        Case{"EdgeThenLevel", {{2, 0, 0}, {1, 3, 0}}, true, 0, 15, 6},
        Case{"NoSampleHoldsAll", {{1, 3, 0}, {1, 0, 0}, {15, Bus0, 0}}, true, 0, 15, None},
        Case{"ContradictingConditions", {{1, 4, 0}, {0, Bus0, 0}}, true, 0, 15, None},
        Case{"ValueWiderThanTheBus", {{16, Bus0, 0}}, true, 0, 15, None},
        Case{"RowsTheModelLacksAreLeftOut", {{1, 40, 0}, {1, 3, 0}}, true, 4, 15, 10}),
    [](const auto &p) { return std::string(p.param.name); });

TEST(Search, NothingToSearch)
{
    Capture cap;
    const uint32_t a = cap.Address(4);
    const std::vector<SearchCondition> none;
    const std::vector<SearchCondition> lacking{{1, 32, 0}, {1, 16 + 32, 0}};
    for (const auto &list : {none, lacking}) {
        const WSearch s(cap.sys, cap.file, cap.rec, list);
        EXPECT_FALSE(s.HasConditions());
        EXPECT_EQ(s.SearchForward(7, -4, a).What, WSearch::Outcome::NoConditions);
        EXPECT_EQ(s.SearchBackward(-8, -4, a).Index, -4);
    }
    cap.rec.CaptureValid = 0;
    const std::vector<SearchCondition> one{{1, 3, 0}};
    const WSearch s(cap.sys, cap.file, cap.rec, one);
    EXPECT_EQ(s.SearchForward(7, -4, a).What, WSearch::Outcome::NoCapture);
}

// The engine against the conditions read one by one, sample by sample, on
// random captures and conditions.
struct Reference
{
    const Capture &cap;
    std::vector<SearchCondition> list;

    uint32_t W(int n) const { return cap.rec.ReadSample(cap.Address(n)); }
    bool Holds(const SearchCondition &c, int n) const
    {
        const uint32_t x = W(n);
        if (c.Row >= Bus0)
            return CCaptureRecord::BusValue(x, cap.file.BusEntry[c.Row - Bus0].Members, 16) ==
                   c.Code;
        const int b = (x >> c.Row) & 1;
        if (c.Code <= 1)
            return b == c.Code;
        if (n == 0)
            return false;
        const int p = (W(n - 1) >> c.Row) & 1;
        return c.Code == 2 ? (b == 0 && p == 1) : c.Code == 3 ? (b == 1 && p == 0) : b != p;
    }
    bool Matches(int n, int comp) const
    {
        bool also = false;
        for (size_t i = 0; i < list.size(); ++i) {
            const SearchCondition &c = list[i];
            if (!Holds(c, n))
                return false;
            if (c.Row < Bus0 && c.Code > 1)
                continue;
            const bool again = comp >= 0 && comp < Capture::Depth && Holds(c, comp);
            also = again ? (i == 0 ? true : also) : false;
        }
        return !also;
    }
};

TEST(Search, AgreesWithTheConditionsReadOneByOne)
{
    std::mt19937 rng(7);
    Capture cap;
    for (int round = 0; round < 300; ++round) {
        for (int n = 0; n < Capture::Depth; ++n)
            cap.Put(n, rng() & 0xFF);
        Reference ref{cap, {}};
        const int count = 1 + static_cast<int>(rng() % 3);
        for (int i = 0; i < count; ++i) {
            const bool bus = rng() % 3 == 0;
            ref.list.push_back(
                bus ? C{static_cast<uint16_t>(rng() % 16), Bus0, 0}
                    : C{static_cast<uint16_t>(rng() % 5), static_cast<uint32_t>(rng() % 8), 0});
        }
        const WSearch search(cap.sys, cap.file, cap.rec, ref.list);
        const int from = static_cast<int>(rng() % Capture::Depth);
        const bool forward = rng() % 2 == 0;
        int expected = None;
        for (int n = from + (forward ? 1 : -1); n >= 0 && n < Capture::Depth && expected == None;
             n += forward ? 1 : -1)
            if (ref.Matches(n, forward ? n - 1 : n + 1))
                expected = n;
        const int64_t start = from - Capture::Trigger;
        const WSearch::Step step =
            forward ? search.SearchForward(Capture::Depth, start, cap.Address(from))
                    : search.SearchBackward(-Capture::Depth, start, cap.Address(from));
        ASSERT_EQ(step.What == WSearch::Outcome::Found, expected != None) << "round " << round;
        if (expected != None) {
            ASSERT_EQ(step.Index, expected - Capture::Trigger) << "round " << round;
        }
    }
}

// A page that stands on one sample and records where it was sent.
struct FakePage : SearchPage
{
    Position at;
    std::vector<int64_t> shown;
    Position SearchPosition() override { return at; }
    void ShowFoundSample(int64_t index) override { shown.push_back(index); }
};

TEST(Search, MovesThePageOnlyToAMatch)
{
    Capture cap;
    const std::vector<SearchCondition> list{{1, 3, 0}};
    const WSearch search(cap.sys, cap.file, cap.rec, list);
    FakePage page;
    page.at = {4 - Capture::Trigger, cap.Address(4), -Capture::Trigger, 7};
    EXPECT_EQ(search.SearchOn(page, true).What, WSearch::Outcome::Found);
    EXPECT_EQ(page.shown, std::vector<int64_t>{10 - Capture::Trigger});
    page.at = {14 - Capture::Trigger, cap.Address(14), 12 - Capture::Trigger, 7};
    EXPECT_EQ(search.SearchOn(page, false).What, WSearch::Outcome::NoMatch);
    EXPECT_EQ(page.shown.size(), 1u);
}

} // namespace
