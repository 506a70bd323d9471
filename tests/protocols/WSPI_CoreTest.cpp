#include "protocols/WSPI_Core.h"

#include "HandCapture.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr WTime TenNs = WTime::Of(0, 10);

// What a packet row says about the traffic (times are checked apart).
struct Row
{
    std::string Error, Words, Data;
    friend bool operator==(const Row &, const Row &) = default;
    friend std::ostream &operator<<(std::ostream &os, const Row &r)
    {
        return os << '{' << r.Error << '|' << r.Words << '|' << r.Data << '}';
    }
};

std::vector<Row> RowsOf(const DecodeTable &t)
{
    std::vector<Row> rows;
    for (int r = 0; r < t.Rows(); ++r)
        rows.push_back(
            {std::string(t.Cell(r, 1)), std::string(t.Cell(r, 2)), std::string(t.Cell(r, 3))});
    return rows;
}

// SS inactive (high) with the clock at its idle level.
void Idle(HandCapture &c, bool cpol = false, int samples = 3)
{
    c.Level(0, cpol);
    c.Level(1, true);
    c.Tick(samples);
}

void Message(HandCapture &c, uint32_t mosi, uint32_t miso, int bits, bool cpol = false,
             bool cpha = false)
{
    Idle(c, cpol);
    c.SpiSelect(true);
    c.SpiBits(mosi, miso, bits, cpol, cpha);
    c.SpiSelect(false);
}

// "00000000(b) 00000001(b) ... " for 40 bytes counting from `first` by `step`.
std::string BinaryBytes(int first, int step)
{
    std::string text;
    for (int k = 0; k < 40; ++k) {
        for (int b = 7; b >= 0; --b)
            text += static_cast<char>('0' + ((first + step * k) >> b & 1));
        text += "(b) ";
    }
    return text;
}

struct Case
{
    const char *Name;
    std::function<void(HandCapture &)> Traffic;
    std::function<void(WSPI_Core::Settings &)> Options;
    std::vector<Row> Mosi, Miso;
    friend void PrintTo(const Case &c, std::ostream *os) { *os << c.Name; }
};

class SpiCases : public testing::TestWithParam<Case>
{
};

TEST_P(SpiCases, DecodeToTheExpectedRows)
{
    const Case &c = GetParam();
    HandCapture capture;
    c.Traffic(capture);
    WSPI_Core::Settings s;
    if (c.Options)
        c.Options(s);
    const auto r = WSPI_Core::Decode(capture.Window(), s, TenNs);
    EXPECT_EQ(r.State, WSPI_Core::Status::Decoded);
    EXPECT_EQ(RowsOf(r.Lines[WSPI_Core::Mosi].Packets), c.Mosi);
    EXPECT_EQ(RowsOf(r.Lines[WSPI_Core::Miso].Packets), c.Miso);
}

void Mode(WSPI_Core::Settings &s, int mode)
{
    s.Lines[0].Mode = s.Lines[1].Mode = mode;
}

INSTANTIATE_TEST_SUITE_P(
    WSPI_Core, SpiCases,
    testing::Values(Case{"TwoBytesOnBothLines",
                         [](HandCapture &c) { Message(c, 0xA53C, 0x5AC3, 16); },
                         nullptr,
                         {{"0bit", "2", "A5(h) 3C(h) "}},
                         {{"0bit", "2", "5A(h) C3(h) "}}},
                    Case{"TwentyBitsAreTwoWordsAndFourErrorBits",
                         [](HandCapture &c) { Message(c, 0xABCDE, 0x12345, 20); },
                         nullptr,
                         {{"4bits", "2", "AB(h) CD(h) "}},
                         {{"4bits", "2", "12(h) 34(h) "}}},
                    Case{"OneBitLeftOver",
                         [](HandCapture &c) { Message(c, 0x1FF, 0, 9); },
                         nullptr,
                         {{"1bit", "1", "FF(h) "}},
                         {{"1bit", "1", "00(h) "}}},
                    Case{"NineBitWordsInHexHaveThreeDigits",
                         [](HandCapture &c) { Message(c, 0x1FF, 0x0AA, 9); },
                         [](WSPI_Core::Settings &s) {
                             s.Lines[0].WordBits = s.Lines[1].WordBits = 9;
                         },
                         {{"0bit", "1", "1FF(h) "}},
                         {{"0bit", "1", "0AA(h) "}}},
                    Case{"BinaryAndDecimal",
                         [](HandCapture &c) { Message(c, 0x0A, 0x0A, 8); },
                         [](WSPI_Core::Settings &s) { s.TextMode = 0; },
                         {{"0bit", "1", "00001010(b) "}},
                         {{"0bit", "1", "00001010(b) "}}},
                    Case{"Decimal",
                         [](HandCapture &c) { Message(c, 0x0A, 0xFF, 8); },
                         [](WSPI_Core::Settings &s) { s.TextMode = 1; },
                         {{"0bit", "1", "10(d) "}},
                         {{"0bit", "1", "255(d) "}}},
                    Case{"LsbFirstReversesEachWord",
                         [](HandCapture &c) { Message(c, 0x8, 0x8, 4); },
                         [](WSPI_Core::Settings &s) {
                             s.BitOrder = 1;
                             s.Lines[0].WordBits = 4;
                         },
                         {{"0bit", "1", "1(h) "}},
                         {{"4bits", "0", ""}}},
                    Case{"MsbFirstWithFourBitWords",
                         [](HandCapture &c) { Message(c, 0x8, 0x8, 4); },
                         [](WSPI_Core::Settings &s) { s.Lines[0].WordBits = 4; },
                         {{"0bit", "1", "8(h) "}},
                         {{"4bits", "0", ""}}},
                    Case{"Cpol0Cpha1",
                         [](HandCapture &c) { Message(c, 0x96, 0x69, 8, false, true); },
                         [](WSPI_Core::Settings &s) { Mode(s, WSPI_Core::Cpol0Cpha1); },
                         {{"0bit", "1", "96(h) "}},
                         {{"0bit", "1", "69(h) "}}},
                    Case{"Cpol0Cpha1IgnoresAFallingEdgeBeforeTheFirstRise",
                         [](HandCapture &c) {
                             Idle(c, true); // the clock is high when the message begins
                             c.SpiSelect(true);
                             c.SpiBits(0x96, 0x69, 8, false, true);
                             c.SpiSelect(false);
                         },
                         [](WSPI_Core::Settings &s) { Mode(s, WSPI_Core::Cpol0Cpha1); },
                         {{"0bit", "1", "96(h) "}},
                         {{"0bit", "1", "69(h) "}}},
                    Case{"Cpol1Cpha0",
                         [](HandCapture &c) { Message(c, 0x96, 0x69, 8, true, false); },
                         [](WSPI_Core::Settings &s) { Mode(s, WSPI_Core::Cpol1Cpha0); },
                         {{"0bit", "1", "96(h) "}},
                         {{"0bit", "1", "69(h) "}}},
                    Case{"Cpol1Cpha1",
                         [](HandCapture &c) { Message(c, 0x96, 0x69, 8, true, true); },
                         [](WSPI_Core::Settings &s) { Mode(s, WSPI_Core::Cpol1Cpha1); },
                         {{"0bit", "1", "96(h) "}},
                         {{"0bit", "1", "69(h) "}}},
                    Case{"RaisingAndFallingPerLine",
                         [](HandCapture &c) { Message(c, 0x96, 0x69, 8, true, false); },
                         [](WSPI_Core::Settings &s) {
                             s.Lines[0].Mode = WSPI_Core::Falling;
                             s.Lines[1].Mode = WSPI_Core::Raising;
                         },
                         // Sampled on the rise, MISO reads each bit half a clock late
                         // (the next bit, and the last one twice).
                         {{"0bit", "1", "96(h) "}},
                         {{"0bit", "1", "D3(h) "}}},
                    Case{"SsActiveHigh",
                         [](HandCapture &c) {
                             c.Level(1, false);
                             c.Tick(3);
                             c.Level(1, true);
                             c.Tick(2);
                             c.SpiBits(0x42, 0x24, 8);
                             c.Level(1, false);
                             c.Tick(2);
                         },
                         [](WSPI_Core::Settings &s) { s.SsLevel = 0; },
                         {{"0bit", "1", "42(h) "}},
                         {{"0bit", "1", "24(h) "}}},
                    Case{"SsNeverInactive",
                         [](HandCapture &c) {
                             c.SpiSelect(true);
                             c.SpiBits(0x42, 0x24, 8);
                         },
                         nullptr,
                         {},
                         {}},
                    Case{"PartialFirstPacket",
                         [](HandCapture &c) {
                             c.SpiSelect(true); // the window begins inside a message
                             c.SpiBits(0x5, 0x2, 3);
                             c.SpiSelect(false);
                             Message(c, 0x81, 0x18, 8);
                         },
                         nullptr,
                         {{"3bits", "0", ""}, {"0bit", "1", "81(h) "}},
                         {{"3bits", "0", ""}, {"0bit", "1", "18(h) "}}},
                    Case{"MessageOpenAtTheEndIsNotWritten",
                         [](HandCapture &c) {
                             Message(c, 0x81, 0x18, 8);
                             Idle(c);
                             c.SpiSelect(true);
                             c.SpiBits(0xFF, 0xFF, 8);
                         },
                         nullptr,
                         {{"0bit", "1", "81(h) "}},
                         {{"0bit", "1", "18(h) "}}},
                    Case{"DisabledLineGetsNoRows",
                         [](HandCapture &c) { Message(c, 0x81, 0x18, 8); },
                         [](WSPI_Core::Settings &s) { s.Lines[1].Enabled = false; },
                         {{"0bit", "1", "81(h) "}},
                         {}},
                    Case{"LongPacketKeepsEveryWord",
                         [](HandCapture &c) {
                             Idle(c);
                             c.SpiSelect(true);
                             for (uint32_t k = 0; k < 40; ++k)
                                 c.SpiBits(k, 255 - k, 8);
                             c.SpiSelect(false);
                         },
                         [](WSPI_Core::Settings &s) { s.TextMode = 0; },
                         {{"0bit", "40", BinaryBytes(0, 1)}},
                         {{"0bit", "40", BinaryBytes(255, -1)}}},
                    Case{"OtherDataChannels",
                         [](HandCapture &c) { Message(c, 0x81, 0x18, 8); },
                         [](WSPI_Core::Settings &s) {
                             s.Lines[0].Channel = 3;
                             s.Lines[1].Channel = 2;
                         },
                         {{"0bit", "1", "18(h) "}},
                         {{"0bit", "1", "81(h) "}}}),
    [](const testing::TestParamInfo<Case> &p) { return std::string(p.param.Name); });

TEST(WSPI_Core, TimesAndStatistics)
{
    HandCapture c;
    Message(c, 0x01, 0, 8); // 3 idle, 2 selected, 17 clock, 2 released
    Message(c, 0x0203, 0, 16);
    Message(c, 0x07, 0, 12); // 4 error bits
    const auto r = WSPI_Core::Decode(c.Window(), {}, TenNs);
    const DecodeTable &p = r.Lines[0].Packets;
    ASSERT_EQ(p.Rows(), 3);
    EXPECT_EQ(p.Cell(0, 0), "1");
    EXPECT_EQ(p.Cell(2, 0), "3");
    // From the first sampled bit to the first inactive sample: the first
    // rise is the 2nd of 17 clock samples.
    EXPECT_EQ(p.Cell(0, 4), "160nS ");
    EXPECT_EQ(p.Cell(1, 4), "320nS ");
    EXPECT_EQ(p.Cell(0, 5), "");
    EXPECT_EQ(p.Cell(0, 6), "");
    // 24 samples from message to message; the idle lasts from the release
    // to the first bit: 2 + 3 + 2 + 1 samples.
    EXPECT_EQ(p.Cell(1, 5), "240nS ");
    EXPECT_EQ(p.Cell(1, 6), "80nS ");
    EXPECT_EQ(p.Cell(2, 5), "640nS ");

    const DecodeTable &st = r.Lines[0].Statistics;
    ASSERT_EQ(st.Rows(), 1);
    // The first packet's idle (3 idle, 2 selected, 1 clock sample) counts.
    const std::vector<std::string> expected{"160nS ", "320nS ", "240nS ", "60nS ",
                                            "80nS ",  "70nS ",  "1",      "2",
                                            "1",      "0 bit",  "4 bits", "4 bits"};
    for (int k = 0; k < WSPI_Core::StatisticsColumns; ++k)
        EXPECT_EQ(st.Cell(0, k), expected[static_cast<size_t>(k)]) << k;
}

// The idle columns of the statistics: the first packet sets minimum and
// maximum with the idle before it, counted from the window's first inactive
// sample; a window that begins inside a message has no idle before its first
// packet, which then adds none.
TEST(WSPI_Core, IdleStatisticsCountTheFirstPacket)
{
    struct IdleCase
    {
        const char *name;
        std::function<void(HandCapture &)> traffic;
        std::array<const char *, 3> idle; // minimum, maximum, average
    };
    // A message of 8 bits after `idle` inactive samples (and the 2 samples
    // each of selecting and releasing, the first clock sample): its idle
    // lasts idle + 3 samples, or + 5 after an earlier message.
    auto message = [](HandCapture &c, int idle) {
        Idle(c, false, idle);
        c.SpiSelect(true);
        c.SpiBits(0xA5, 0x5A, 8);
        c.SpiSelect(false);
    };
    auto inside = [](HandCapture &c) { // the window begins with SS active
        c.SpiSelect(true);
        c.SpiBits(0x3C, 0xC3, 8);
        c.SpiSelect(false);
    };
    const IdleCase cases[] = {
        {"OnePacket",
         [&](HandCapture &c) { message(c, 12345); },
         {"123.480uS ", "123.480uS ", "123.480uS "}},
        {"FirstIdleIsTheLongest",
         [&](HandCapture &c) {
             message(c, 54321);
             message(c, 10000);
             message(c, 20000);
         },
         {"100.050uS ", "543.240uS ", "281.110uS "}},
        {"FirstIdleIsTheShortest",
         [&](HandCapture &c) {
             message(c, 10000);
             message(c, 54321);
         },
         {"100.030uS ", "543.260uS ", "321.640uS "}},
        {"WindowBeginsInsideAMessage",
         [&](HandCapture &c) {
             inside(c);
             message(c, 12345);
             message(c, 54321);
         },
         {"123.500uS ", "543.260uS ", "333.380uS "}},
        {"OnlyAMessageTheWindowBeganIn", inside, {"", "", ""}},
    };
    for (const IdleCase &c : cases) {
        HandCapture capture(1u << 20); // room for 262144 samples
        c.traffic(capture);
        const auto r = WSPI_Core::Decode(capture.Window(), {}, TenNs);
        const DecodeTable &st = r.Lines[0].Statistics;
        ASSERT_EQ(st.Rows(), 1) << c.name;
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(std::string(st.Cell(0, 3 + k)), c.idle[static_cast<size_t>(k)])
                << c.name << " " << k;
    }
}

TEST(WSPI_Core, StripsFollowTheChosenChannels)
{
    HandCapture c;
    Message(c, 0x80, 0x01, 8);
    WSPI_Core::Settings s;
    s.Lines[1].Channel = 0; // MISO shows SCK
    const auto r = WSPI_Core::Decode(c.Window(), s, TenNs);
    EXPECT_EQ(r.Lines[1].Trace, r.SckTrace);
    EXPECT_EQ(r.SsTrace[0], 9); // the ring before the window reads 0
    EXPECT_EQ(r.SsTrace[1], 4);
    EXPECT_EQ(r.Lines[0].Trace[5], 9); // MOSI rises for the first bit
    EXPECT_EQ(r.Lines[0].Trace[6], 4);
}

TEST(WSPI_Core, BadSettingsGiveNoRowsAndEmptyStrips)
{
    HandCapture c;
    Message(c, 0x81, 0x18, 8);
    const std::pair<std::function<void(WSPI_Core::Settings &)>, WSPI_Core::Status> cases[] = {
        {[](auto &s) { s.SckChannel = 16; }, WSPI_Core::Status::ChannelMissing},
        {[](auto &s) { s.Lines[1].Channel = 40; }, WSPI_Core::Status::ChannelMissing},
        {[](auto &s) { s.Lines[0].WordBits = 0; }, WSPI_Core::Status::BitsOutOfRange},
        {[](auto &s) { s.Lines[1].WordBits = 29; }, WSPI_Core::Status::BitsOutOfRange},
        {[](auto &s) { s.Lines[0].Mode = 6; }, WSPI_Core::Status::BadMode},
    };
    for (const auto &[change, status] : cases) {
        WSPI_Core::Settings s;
        change(s);
        const auto r = WSPI_Core::Decode(c.Window(16), s, TenNs);
        EXPECT_EQ(r.State, status);
        EXPECT_EQ(r.Lines[0].Packets.Rows() + r.Lines[1].Packets.Rows(), 0);
        EXPECT_EQ(r.SckTrace, std::vector<uint8_t>(c.Samples(), 10));
    }
    // Bits and channel of a disabled line are not looked at.
    WSPI_Core::Settings s;
    s.Lines[1].Enabled = false;
    s.Lines[1].WordBits = 0;
    s.Lines[1].Channel = 40;
    EXPECT_EQ(WSPI_Core::Decode(c.Window(16), s, TenNs).State, WSPI_Core::Status::Decoded);
}

TEST(WSPI_Core, TrafficAcrossTheRingsEndDecodes)
{
    for (uint32_t first : {512u - 60u, 512u - 62u}) {
        HandCapture c(512, first);
        Message(c, 0xBEEF, 0xCAFE, 16);
        const auto r = WSPI_Core::Decode(c.Window(), {}, TenNs);
        EXPECT_EQ(RowsOf(r.Lines[0].Packets), (std::vector<Row>{{"0bit", "2", "BE(h) EF(h) "}}));
        EXPECT_EQ(RowsOf(r.Lines[1].Packets), (std::vector<Row>{{"0bit", "2", "CA(h) FE(h) "}}));
    }
}

// The sample pass reads the ring 16 samples at a time, straight from the
// ring or through a copy where they run past its end: wherever the same
// traffic lies in the ring, strips, events and rows are the same.
TEST(WSPI_Core, PlaceInTheRingChangesNothing)
{
    auto play = [](HandCapture &c) {
        for (uint32_t k = 0; k < 6; ++k) {
            Message(c, 0x9A5 * k, 0x3C3 + k, 4 + 3 * static_cast<int>(k), k % 2 == 1, true);
            c.Level(2, k % 2 == 0);
            c.Tick(static_cast<int>(k)); // idle of varying length
        }
    };
    WSPI_Core::Settings s;
    s.Lines[0].Mode = WSPI_Core::Cpol0Cpha1; // right on even messages, armed late on odd
    s.Lines[1].Mode = WSPI_Core::Cpol1Cpha1;
    s.Lines[1].WordBits = 5;
    HandCapture reference(1024);
    play(reference);
    const auto expected = WSPI_Core::Decode(reference.Window(), s, TenNs);
    ASSERT_GT(expected.Lines[0].Packets.Rows(), 4);
    for (uint32_t first : {1u, 2u, 3u, 1024u - 40u, 1024u - 41u, 1024u - 64u, 1024u - 200u}) {
        HandCapture c(1024, first);
        play(c);
        const auto r = WSPI_Core::Decode(c.Window(), s, TenNs);
        EXPECT_EQ(r.SckTrace, expected.SckTrace) << first;
        EXPECT_EQ(r.SsTrace, expected.SsTrace) << first;
        for (size_t k = 0; k < 2; ++k) {
            EXPECT_EQ(r.Events[k], expected.Events[k]) << first;
            EXPECT_EQ(r.Lines[k].Trace, expected.Lines[k].Trace) << first;
            EXPECT_EQ(RowsOf(r.Lines[k].Packets), RowsOf(expected.Lines[k].Packets)) << first;
        }
    }
}

TEST(WSPI_Core, TinyWindowsDecodeNothing)
{
    HandCapture c(16);
    for (uint32_t count : {0u, 1u, 4u}) {
        const auto r = WSPI_Core::Decode(CaptureWindow{c.ring, 15, 12, count, 16}, {}, TenNs);
        EXPECT_EQ(r.Lines[0].Packets.Rows(), 0);
        EXPECT_EQ(r.SsTrace.size(), count);
    }
}

} // namespace
