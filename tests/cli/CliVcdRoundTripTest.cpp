// A capture of each emulated scene exported as a Value Change Dump and read
// back: the same samples, names, buses and sample period, and the decoders
// give the same rows from either file.

#include "cli/CliSession.h"
#include "files/ProjectFile.h"
#include "files/SampleTrace.h"
#include "tests/cli/CliRun.h"
#include "tests/lang/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>

namespace {

using CliRun::Cli;
using CliRun::Outcome;

struct Scene
{
    const char *name;
    const char *device;
    std::vector<std::string> capture; // after "capture -o f.pjf"
    std::vector<std::string> decode;  // after "decode", before the file; empty: none
    bool fromTrigger = false;         // the decoder starts at the trigger event
};

// The rows of a decoder's CSV without the header; with `bare`, without the
// first and the last cell of a row either (a UART row's number and start
// time, which count from where the decoder began).
std::vector<std::string> Rows(const std::string &csv, bool bare)
{
    std::vector<std::string> rows;
    for (size_t at = csv.find("\r\n"); at != std::string::npos && at + 2 < csv.size();) {
        const size_t end = csv.find("\r\n", at + 2);
        std::string row = csv.substr(at + 2, end - at - 2);
        if (bare && row.find(',') != std::string::npos)
            row = row.substr(row.find(',') + 1, row.rfind(',') - row.find(',') - 1);
        rows.push_back(row);
        at = end;
    }
    return rows;
}

class VcdRoundTrip : public testing::TestWithParam<Scene>
{
};

SampleTrace TraceOf(const CliSession &s)
{
    return SampleTrace::OfRecord(s.Record, s.System, s.Settings, s.PeriodPs(), false);
}

TEST_P(VcdRoundTrip, GivesTheSameCaptureAndTheSameRows)
{
    const Scene &scene = GetParam();
    TempFolder folder;
    std::vector<std::string> capture{"capture", "-o", "f.pjf"};
    capture.insert(capture.end(), scene.capture.begin(), scene.capture.end());
    const Outcome c = Cli(folder.Path(), scene.device, capture);
    ASSERT_EQ(c.code, 0) << c.err;

    // A bus of three channels, listed after them, as a user would add it.
    ProjectFile::Contents contents;
    ASSERT_EQ(ProjectFile::Read(folder.Path() + "/f.pjf", contents), ProjectFile::Error::None);
    CFile record;
    WSystem system;
    ProjectFile::Apply(std::move(contents), record, system);
    SignalEntry &bus = record.BusEntry[0];
    std::memcpy(bus.Name.data(), "lines\0", 6);
    bus.BitCount = 3;
    bus.Members = {};
    bus.Members.fill(system.ChannelCount);
    bus.Members[0] = 2, bus.Members[1] = 1, bus.Members[2] = 0;
    record.DisplayOrder.fill(static_cast<uint8_t>(system.RowCount));
    record.DisplayOrder[0] = 0, record.DisplayOrder[1] = 1, record.DisplayOrder[2] = 2;
    record.DisplayOrder[3] = static_cast<uint8_t>(system.ChannelCount);
    ASSERT_EQ(ProjectFile::Save(folder.Path() + "/bus.pjf", record, system),
              ProjectFile::Error::None);

    for (const char *project : {"f", "bus"}) {
        const std::string pjf = folder.Path() + "/" + project + ".pjf";
        const std::string vcd = folder.Path() + "/" + project + ".vcd";
        const Outcome e = Cli(folder.Path(), "", {"export", pjf, "-o", vcd});
        ASSERT_EQ(e.code, 0) << e.err;

        CliSession original, again;
        ASSERT_EQ(original.Load(pjf), "");
        ASSERT_EQ(again.Load(vcd), "");
        EXPECT_TRUE(again.Notes.empty()) << again.Notes.front();
        const SampleTrace a = TraceOf(original);
        const SampleTrace b = TraceOf(again);
        EXPECT_EQ(b.PeriodPs, a.PeriodPs) << project;
        ASSERT_EQ(b.Signals.size(), a.Signals.size()) << project;
        for (size_t i = 0; i < a.Signals.size(); ++i) {
            EXPECT_EQ(b.Signals[i].Name, a.Signals[i].Name);
            EXPECT_EQ(b.Signals[i].Width(), a.Signals[i].Width());
        }
        ASSERT_EQ(b.Words.size(), a.Words.size()) << project;
        size_t wrong = 0;
        for (size_t n = 0; n < a.Words.size(); ++n)
            for (size_t i = 0; i < a.Signals.size(); ++i)
                wrong += a.Signals[i].Value(a.Words[n]) != b.Signals[i].Value(b.Words[n]);
        EXPECT_EQ(wrong, 0u) << project;
        if (std::string(project) == "f") {
            // Every channel listed in channel order: the very same words.
            EXPECT_EQ(again.System.ChannelCount, original.System.ChannelCount);
            EXPECT_TRUE(b.Words == a.Words);
        }
    }

    // The same capture as a sigrok session: a probe per channel, the very
    // same words at the same rate.
    const std::string sr = folder.Path() + "/f.sr";
    const Outcome e = Cli(folder.Path(), "", {"export", folder.Path() + "/f.pjf", "-o", sr});
    ASSERT_EQ(e.code, 0) << e.err;
    {
        CliSession original, again;
        ASSERT_EQ(original.Load(folder.Path() + "/f.pjf"), "");
        ASSERT_EQ(again.Load(sr), "");
        EXPECT_TRUE(again.Notes.empty()) << again.Notes.front();
        const SampleTrace a = TraceOf(original);
        const SampleTrace b = TraceOf(again);
        EXPECT_EQ(b.PeriodPs, a.PeriodPs);
        ASSERT_EQ(b.Signals.size(), a.Signals.size());
        for (size_t i = 0; i < a.Signals.size(); ++i)
            EXPECT_EQ(b.Signals[i].Name, a.Signals[i].Name);
        EXPECT_TRUE(b.Words == a.Words);
    }

    if (scene.decode.empty())
        return;
    std::string rows[3];
    for (int k = 0; k < 3; ++k) {
        std::vector<std::string> decode{"decode"};
        decode.insert(decode.end(), scene.decode.begin(), scene.decode.end());
        decode.push_back(k == 0 ? "f.pjf" : k == 1 ? "f.vcd" : "f.sr");
        const Outcome d = Cli(folder.Path(), "", decode);
        ASSERT_EQ(d.code, 0) << d.err;
        rows[k] = d.out;
    }
    EXPECT_EQ(rows[2], rows[1]); // a session decodes as the dump
    if (!scene.fromTrigger) {
        EXPECT_EQ(rows[1], rows[0]);
        return;
    }
    // The dump has its trigger at its first sample: the decoder reads the
    // pre-trigger part too, and then the very rows of the project.
    const bool bare = scene.decode.front() == "uart";
    const std::vector<std::string> project = Rows(rows[0], bare);
    const std::vector<std::string> dump = Rows(rows[1], bare);
    ASSERT_FALSE(project.empty());
    ASSERT_GE(dump.size(), project.size());
    EXPECT_TRUE(std::equal(project.begin(), project.end(), dump.end() - project.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, VcdRoundTrip,
    testing::Values(
        Scene{"Counter", "model=6,scene=counter", {"--time-div", "10uS"}, {}},
        Scene{"I2C", "model=5,scene=i2c,text=Hi,addr=0x50", {"--time-div", "1uS"}, {"i2c"}},
        Scene{"SPI", "model=5,scene=spi,text=Hi", {"--time-div", "1uS"}, {"spi"}},
        Scene{"UART",
              "model=5,scene=uart,text=Hi,baud=115200,gap=300",
              {"--rate", "10MHz", "--position", "10", "--pulse", "4,high,>,150us"},
              {"uart", "--channel", "4", "--baud", "115200"},
              true},
        Scene{"CAN",
              "model=8,scene=can,data=4869,bitrate=125000,gap=300",
              {"--time-div", "2.5uS", "--position", "10", "--pulse", "5,high,>,200us"},
              {"can", "--channel", "5", "--rate", "125,000"},
              true},
        Scene{"CPU", "model=6,scene=cpu", {"--time-div", "1uS"}, {}}),
    [](const auto &p) { return std::string(p.param.name); });

// A dump whose wires are named SCL and SDA: the channel options take the
// names (any case) as well as the numbers, and give the same rows.
TEST(VcdSignalNames, ChannelOptionsTakeTheCapturesNames)
{
    TempFolder folder;
    const std::string device = "model=5,scene=i2c,text=Hi,addr=0x50";
    ASSERT_EQ(Cli(folder.Path(), device, {"capture", "-o", "f.pjf", "--time-div", "1uS"}).code, 0);
    ASSERT_EQ(Cli(folder.Path(), "", {"export", "f.pjf", "-o", "f.vcd"}).code, 0);
    std::string vcd = CliRun::Slurp(folder.Path() + "/f.vcd");
    for (const auto &[from, to] : {std::pair{" CH00 $end", " SCL $end"}, {" CH01 $end", " SDA $end"}}) {
        const size_t at = vcd.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        vcd.replace(at, std::strlen(from), to);
    }
    std::ofstream(folder.Path() + "/named.vcd", std::ios::binary) << vcd;

    const Outcome numbers =
        Cli(folder.Path(), "", {"decode", "i2c", "--scl", "0", "--sda", "1", "named.vcd"});
    ASSERT_EQ(numbers.code, 0) << numbers.err;
    ASSERT_NE(numbers.out.find(",50(h),"), std::string::npos) << numbers.out;
    for (const auto &[scl, sda] : {std::pair{"SCL", "SDA"}, {"scl", "Sda"}, {"CH0", "SDA"}}) {
        const Outcome names =
            Cli(folder.Path(), "", {"decode", "i2c", "--scl", scl, "--sda", sda, "named.vcd"});
        EXPECT_EQ(names.code, 0) << names.err;
        EXPECT_EQ(names.out, numbers.out) << scl << " " << sda;
    }
    const Outcome unknown = Cli(folder.Path(), "", {"decode", "i2c", "--sda", "DATA", "named.vcd"});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_NE(unknown.err.find("--sda DATA: no channel of this capture: a number 0 .. 15, CHn or "
                               "a name of its signals: SCL (CH0), SDA (CH1), CH02 (CH2)"),
              std::string::npos)
        << unknown.err;
}

} // namespace
