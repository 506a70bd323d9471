// Known traffic end to end: the emulated instrument's CPU bus scene, captured
// through the command path, gives the map, the counts and the step log its
// programme implies. One such capture is kept in tests/cpumap/data/ with its
// expected counts and log lines; TRACEMOOR_ACCEPT_CPUMAP=1 writes the expected
// file from the stored capture again, TRACEMOOR_ACCEPT_CPUMAP=capture takes
// the capture anew as well. Review `git diff` before committing.

#include "cpumap/CCPU_Map.h"
#include "tests/protocols/DecodeFixture.h"

#include "CpuShot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

using namespace cpumap_test;

namespace {

// Start's counts (block size 256) and the whole step log, every box on.
std::string Analysis(const CaptureWindow &w)
{
    CCPU_Map map;
    map.Start(w);
    std::string out = "[cycles]\n" + std::to_string(map.Cycles()) + "\n[counts 256]\n";
    static const char *Names[] = {"ROM1", "ROM2", "RAM1", "RAM2", "IO1", "IO2"};
    for (int r = 0; r < CpuBusCycle::RegionCount; ++r) {
        for (const auto &bar : map.Bars(r)) {
            if (bar.Value > 0)
                out += std::string(Names[r]) + " " + bar.Label + " " + std::to_string(bar.Value) +
                       "\n";
        }
    }
    out += "[steps]\n";
    while (map.Step(w)) {
    }
    for (const auto &line : map.Log())
        out += line + "\n";
    return out;
}

TEST(CpuMapEndToEnd, TheCaptureHoldsTheProgrammeOnce)
{
    CpuShot shot;
    ASSERT_TRUE(shot.Valid());
    const CaptureWindow w = shot.Window();
    ASSERT_EQ(w.Count, 2000u);
    const auto programme = Programme();

    CCPU_Map map;
    map.Enabled[CCPU_Map::Line] = false; // the trace would cross the squares
    map.Start(w);
    EXPECT_EQ(map.Cycles(), programme.size());
    std::map<std::pair<int, uint32_t>, uint32_t> counts;
    for (const auto &c : programme)
        ++counts[{c.Region, c.Address / 256}];
    for (int r = 0; r < CpuBusCycle::RegionCount; ++r) {
        for (uint32_t b = 0; b < CCPU_Map::HistogramBlocks; ++b) {
            const auto it = counts.find({r, b});
            EXPECT_EQ(map.Histogram(r)[b], it == counts.end() ? 0u : it->second)
                << "region " << r << " block " << b;
        }
    }
    for (const auto &c : programme) {
        const int read = CCPU_Map::ReadFunction(c.Region);
        const int function = c.Region >= CpuBusCycle::RAM1 && c.Write ? read + 1 : read;
        EXPECT_EQ(
            map.Image().Map().Pixel(CpuMapImage::CellX(c.Address), CpuMapImage::CellY(c.Address)),
            map.Colors[static_cast<size_t>(function)])
            << std::hex << c.Address;
    }

    // Only the RAM boxes on: a line per cycle, the programme's order.
    CCPU_Map ram;
    ram.Enabled.fill(false);
    ram.Enabled[CCPU_Map::RAM1_R] = true;
    while (ram.Step(w)) {
    }
    ASSERT_EQ(ram.Log().size(), programme.size());
    for (size_t i = 0; i < programme.size(); ++i) {
        const auto &c = programme[i];
        std::string line =
            CCPU_Map::StepLine(static_cast<int>(i + 1), CCPU_Map::RamGroup, c.Write, c.Address);
        if (i + 1 == programme.size())
            line.insert(0, CCPU_Map::Newest);
        EXPECT_EQ(ram.Log()[i], line);
    }
}

TEST(CpuMapEndToEnd, TheStoredCaptureGivesItsStoredCountsAndLog)
{
    const std::string base = std::string(TRACEMOOR_TEST_DATA) + "/cpu-programme";
    const char *accept = std::getenv("TRACEMOOR_ACCEPT_CPUMAP");
    const std::string mode = accept == nullptr ? "" : accept;
    if (mode == "capture") {
        CpuShot shot;
        ASSERT_TRUE(shot.Valid());
        const auto fixture = DecodeFixture::FromWindow(shot.Window(), WTime::Of(0, 100));
        ASSERT_TRUE(WriteText(base + ".capture", fixture.Text()));
    }
    const auto text = ReadText(base + ".capture");
    ASSERT_TRUE(text) << base << ".capture is missing (TRACEMOOR_ACCEPT_CPUMAP=capture)";
    auto fixture = DecodeFixture::Parse(*text);
    ASSERT_TRUE(fixture);
    const std::string result = Analysis(fixture->Window());
    if (!mode.empty()) {
        ASSERT_TRUE(WriteText(base + ".expected", result));
        return;
    }
    const auto expected = ReadText(base + ".expected");
    ASSERT_TRUE(expected) << base << ".expected is missing (TRACEMOOR_ACCEPT_CPUMAP=1)";
    EXPECT_EQ(result, *expected);
}

} // namespace
