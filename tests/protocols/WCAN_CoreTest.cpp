#include "protocols/WCAN_Core.h"

#include "UartCanCapture.h"

#include <gtest/gtest.h>

namespace {

constexpr int Ch = 5;
constexpr uint64_t S = 8; // samples per bit: 125 kbit/s at 1 us

constexpr std::array<uint8_t, 2> DeAd{0xDE, 0xAD};

struct CanFrame
{
    uint32_t id = 0x123;
    bool extended = false;
    bool rtr = false;
    std::vector<uint8_t> data = std::vector<uint8_t>(DeAd.begin(), DeAd.end());
    int dlc = -1;               // -1: the number of data bytes
    uint16_t crcFlip = 0;       // bits of the sent CRC to invert
    bool ack = true;            // a receiver pulls the ACK slot dominant
    bool breakStuffBit = false; // the first stuff bit repeats the run instead
    bool dominantCrcDelimiter = false;
};

void Push(std::vector<int> &bits, uint32_t value, int count)
{
    for (int i = count - 1; i >= 0; --i)
        bits.push_back((value >> i) & 1);
}

// Start of frame to the last data bit, without stuff bits.
std::vector<int> Destuffed(const CanFrame &f)
{
    std::vector<int> bits{0};
    const int dlc = f.dlc >= 0 ? f.dlc : static_cast<int>(f.data.size());
    if (f.extended) {
        Push(bits, f.id >> 18, 11);
        Push(bits, 3, 2); // SRR, IDE
        Push(bits, f.id & 0x3FFFF, 18);
        Push(bits, f.rtr, 1);
        Push(bits, 0, 2); // r1, r0
    } else {
        Push(bits, f.id, 11);
        Push(bits, f.rtr, 1);
        Push(bits, 0, 2); // IDE, r0
    }
    Push(bits, static_cast<uint32_t>(dlc), 4);
    if (!f.rtr)
        for (uint8_t b : f.data)
            Push(bits, b, 8);
    return bits;
}

uint16_t Crc(const std::vector<int> &bits)
{
    std::vector<uint8_t> b(bits.begin(), bits.end());
    return WCAN_Core::Crc15(b.data(), b.size());
}

// The line levels of the frame, then end of frame and intermission.
std::vector<int> Line(const CanFrame &f, int *stuffBitsAfterCrc = nullptr)
{
    std::vector<int> bits = Destuffed(f);
    Push(bits, Crc(bits) ^ f.crcFlip, 15);
    std::vector<int> line;
    int run = 0;
    int last = -1;
    bool broken = false;
    for (size_t k = 0; k < bits.size(); ++k) {
        if (broken) {
            // The receivers' error flag and the error delimiter end the frame.
            line.insert(line.end(), 6, 0);
            line.insert(line.end(), 8 + 3, 1);
            return line;
        }
        line.push_back(bits[k]);
        run = bits[k] == last ? run + 1 : 1;
        last = bits[k];
        if (run == 5) {
            const int stuff = f.breakStuffBit && !broken ? last : 1 - last;
            broken = broken || f.breakStuffBit;
            line.push_back(stuff);
            run = stuff == last ? 6 : 1;
            last = stuff;
            if (stuffBitsAfterCrc && k + 1 == bits.size())
                ++*stuffBitsAfterCrc;
        }
    }
    line.push_back(f.dominantCrcDelimiter ? 0 : 1);
    line.push_back(f.ack ? 0 : 1);
    for (int k = 0; k < 1 + 7 + 3; ++k) // ACK delimiter, end of frame, intermission
        line.push_back(1);
    return line;
}

std::vector<std::string> Decode(const std::vector<CanFrame> &frames, bool showExtended = true,
                                uint32_t depth = 4000)
{
    UartCanCapture cap(depth);
    cap.timing.SamplePeriod = WTime::Of(0, 0, 1);
    cap.Bits(Ch, {1, 1, 1}, S);
    for (const CanFrame &f : frames)
        cap.Bits(Ch, Line(f), S);
    cap.HoldToEnd(Ch, 1);
    WCAN_Core can;
    can.Channel = Ch;
    can.ShowExtendedId = showExtended;
    const DecodeTable table = can.Decode(cap.rec, cap.timing);
    EXPECT_EQ(table.Message, "");
    for (int r = 0; r < table.Rows(); ++r)
        EXPECT_EQ(table.Marked(r), table.Cell(r, WCAN_Core::Status) != "OK" &&
                                       table.Cell(r, WCAN_Core::Status) != "Incomplete");
    return RowTexts(table);
}

using Rows = std::vector<std::string>;

// The cells of a row but its CRC.
std::string WithoutCrc(const std::string &row)
{
    const size_t crcStart = row.rfind('|', row.rfind('|', row.rfind('|') - 1) - 1);
    const size_t crcEnd = row.find('|', crcStart + 1);
    return row.substr(0, crcStart + 1) + row.substr(crcEnd);
}

// Frames recorded from real buses, with the CRC their senders computed.
TEST(CanCrc, MatchesTheCrcOfKnownFrames)
{
    struct Known
    {
        CanFrame frame;
        uint16_t crc;
    };
    const Known known[] = {
        {{0x123, false, false, {0xDE, 0xAD}}, 0x0B6E},
        {{0x0D370401, true, false, {0xA8, 0xF3, 0x00}}, 0x29DB},
        {{0x0D040004, true, false, {0x00, 0x3A, 0x42, 0x43}}, 0x20E8},
        {{0x0D130201, true, false, {0x64, 0x03, 0xF6}}, 0x2146},
    };
    for (const Known &k : known)
        EXPECT_EQ(Crc(Destuffed(k.frame)), k.crc) << std::hex << k.frame.id;
}

TEST(CanFrames, StandardDataFrameWithItsFields)
{
    EXPECT_EQ(Decode({CanFrame{}}), (Rows{"123||0|0|2|DE , AD , |0B6E|01|OK"}));
}

TEST(CanFrames, ExtendedFrameShowsItsExtendedIdOnlyWhenAsked)
{
    const CanFrame ext{0x0D040004, true, false, {0x00, 0x3A, 0x42, 0x43}};
    EXPECT_EQ(Decode({ext}, true), (Rows{"341|00004|0|1|4|00 , 3A , 42 , 43 , |20E8|01|OK"}));
    EXPECT_EQ(Decode({ext}, false), (Rows{"341||0|1|4|00 , 3A , 42 , 43 , |20E8|01|OK"}));
}

TEST(CanFrames, RemoteFramesDlcZeroAndDlcAboveEight)
{
    CanFrame remote{0x7FF, false, true, {}, 4};
    CanFrame empty{0x000, false, false, {}};
    CanFrame long_{0x555, false, false, {1, 2, 3, 4, 5, 6, 7, 8}, 12};
    Rows rows = Decode({remote, empty, long_});
    for (std::string &r : rows)
        r = WithoutCrc(r);
    EXPECT_EQ(rows, (Rows{"7FF||1|0|4|||01|OK", "000||0|0|0|||01|OK",
                          "555||0|0|C|01 , 02 , 03 , 04 , 05 , 06 , 07 , 08 , ||01|OK"}));
}

TEST(CanFrames, StuffBitsAreRemovedWhereverTheyFall)
{
    // Runs of equal bits in the identifiers and the data stuff every fifth bit.
    const CanFrame zeros{0x000, false, false, {0x00, 0xFF, 0x00}};
    const CanFrame ones{0x1FFFFFF0, true, false, {0xFF, 0xFF}};
    // The identifier's last four zeros and RTR: the stuff bit falls between
    // RTR and IDE, so IDE is the bit after it.
    const CanFrame beforeIde{0x7F0, false, false, {0x01}};
    Rows rows = Decode({zeros, ones, beforeIde});
    for (std::string &r : rows)
        r = WithoutCrc(r);
    EXPECT_EQ(rows, (Rows{"000||0|0|3|00 , FF , 00 , ||01|OK", "7FF|3FFF0|0|1|2|FF , FF , ||01|OK",
                          "7F0||0|0|1|01 , ||01|OK"}));
}

TEST(CanFrames, FixedFormBitsAfterTheCrcAreNotStuffChecked)
{
    // A CRC ending in four recessive bits makes five with the delimiter: the
    // dominant ACK slot after them is no stuff bit. A CRC ending in five
    // equal bits is followed by a stuff bit before the delimiter.
    bool fourOnes = false;
    bool stuffAfter = false;
    for (uint32_t v = 0; v < 256 && !(fourOnes && stuffAfter); ++v) {
        const CanFrame f{0x123, false, false, {static_cast<uint8_t>(v)}};
        const uint16_t crc = Crc(Destuffed(f));
        int after = 0;
        Line(f, &after);
        const bool ends01111 = (crc & 0x1F) == 0x0F;
        if ((ends01111 && !fourOnes) || (after && !stuffAfter)) {
            fourOnes = fourOnes || ends01111;
            stuffAfter = stuffAfter || after;
            const Rows rows = Decode({f});
            ASSERT_EQ(rows.size(), 1u) << v;
            EXPECT_EQ(rows[0].substr(rows[0].size() - 6), "|01|OK") << v << " " << rows[0];
        }
    }
    EXPECT_TRUE(fourOnes);
    EXPECT_TRUE(stuffAfter);
}

TEST(CanMarks, FaultsAreMarkedAndTheReceivedValuesStayShown)
{
    CanFrame wrongCrc;
    wrongCrc.crcFlip = 0x0001;
    CanFrame noAck;
    noAck.ack = false;
    CanFrame form;
    form.dominantCrcDelimiter = true;
    CanFrame stuff{0x000, false, false, {0x12}};
    stuff.breakStuffBit = true;
    const Rows rows = Decode({wrongCrc, noAck, form, stuff, CanFrame{}});
    EXPECT_EQ(rows, (Rows{"123||0|0|2|DE , AD , |0B6F|01|CRC Error",
                          "123||0|0|2|DE , AD , |0B6E|11|No ACK",
                          "123||0|0|2|DE , AD , |0B6E|01|Form Error", "||||||||Stuff Error",
                          "123||0|0|2|DE , AD , |0B6E|01|OK"}));
}

TEST(CanRecord, AFrameTheRecordEndsInsideOfIsListedIncomplete)
{
    // The frame starts at sample 24; its first data byte (after 19 bits and
    // a stuff bit) ends at sample 248.
    EXPECT_EQ(Decode({CanFrame{}}, true, 200), (Rows{"123||0|0|2||||Incomplete"}));
    EXPECT_EQ(Decode({CanFrame{}}, true, 260), (Rows{"123||0|0|2|DE , |||Incomplete"}));
}

// A record that begins on a dominant bit inside a frame: its falling edges
// are no start of frame until the bus has been recessive for 11 bits; the
// next whole frame is the first row. (A record that begins recessive counts
// as idle from its first sample: what came before it is not known.)
TEST(CanRecord, ADecodeStartingInsideAFrameListsOnlyWholeFrames)
{
    const std::vector<int> line = Line(CanFrame{});
    std::vector<size_t> starts;
    for (size_t k = 2; k + 14 < line.size(); ++k)
        if (line[k] == 0 && line[k + 1] == 1)
            starts.push_back(k);
    ASSERT_GE(starts.size(), 8u);
    for (size_t from : starts) {
        UartCanCapture cap;
        cap.timing.SamplePeriod = WTime::Of(0, 0, 1);
        cap.Bits(Ch, std::vector<int>(line.begin() + static_cast<std::ptrdiff_t>(from), line.end()),
                 S);
        cap.Bits(Ch, Line(CanFrame{0x2B0, false, false, {0x42}}), S);
        cap.HoldToEnd(Ch, 1);
        WCAN_Core can;
        can.Channel = Ch;
        const Rows rows = RowTexts(can.Decode(cap.rec, cap.timing));
        ASSERT_EQ(rows.size(), 1u) << from;
        EXPECT_EQ(WithoutCrc(rows[0]), "2B0||0|0|1|42 , ||01|OK") << from;
    }
}

TEST(CanInput, BadSettingsGiveAMessageAndNoRows)
{
    struct Case
    {
        int channel;
        int rateIndex;
        std::string message;
    };
    const std::vector<Case> cases{
        {16, 19, "CH16 is not a channel of this model."},
        {5, 27, "Unknown bit rate."},
        {5, WCAN_Core::CustomIndex, "A bit rate is a whole number from 1000 to 1000000 bit/s."},
        {5, 25,
         "At this sample rate a bit of 1000000 bit/s lasts 1.00 samples; the decoder needs at "
         "least 4. Capture with a shorter sample period."},
        // 2.5 samples per bit: too few to find the middles between edges.
        {5, 22,
         "At this sample rate a bit of 400000 bit/s lasts 2.50 samples; the decoder needs at "
         "least 4. Capture with a shorter sample period."},
    };
    for (const Case &c : cases) {
        UartCanCapture cap;
        cap.timing.SamplePeriod = WTime::Of(0, 0, 1);
        cap.Bits(Ch, Line(CanFrame{}), S);
        WCAN_Core can;
        can.Channel = c.channel;
        can.RateIndex = c.rateIndex;
        const DecodeTable table = can.Decode(cap.rec, cap.timing);
        EXPECT_EQ(table.Message, c.message);
        EXPECT_EQ(table.Rows(), 0);
    }
}

TEST(CanInput, NoTransitionsGiveNoRows)
{
    for (int level : {0, 1}) {
        UartCanCapture cap;
        cap.timing.SamplePeriod = WTime::Of(0, 0, 1);
        cap.HoldToEnd(Ch, level);
        WCAN_Core can;
        can.Channel = Ch;
        const DecodeTable table = can.Decode(cap.rec, cap.timing);
        EXPECT_EQ(table.Rows(), 0);
        EXPECT_EQ(table.Message, "");
    }
}

} // namespace
