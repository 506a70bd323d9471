#include "protocols/WUART.h"

#include "UartCanCapture.h"

#include <gtest/gtest.h>

namespace {

constexpr int Ch = 4;
constexpr uint64_t S = 10; // samples per bit: 9600 baud at 10 us

// The line levels of one frame as an IC sends it (idle high): start bit,
// data bits in the order given, the parity bit when `parity` is 0 or 1,
// then the stop bits.
std::vector<int> Frame(uint32_t value, int dataBits, bool msbFirst = false, int parity = -1,
                       std::vector<int> stop = {1})
{
    std::vector<int> bits{0};
    for (int k = 0; k < dataBits; ++k)
        bits.push_back((value >> (msbFirst ? dataBits - 1 - k : k)) & 1);
    if (parity >= 0)
        bits.push_back(parity);
    bits.insert(bits.end(), stop.begin(), stop.end());
    return bits;
}

std::vector<int> Inverted(std::vector<int> bits)
{
    for (int &b : bits)
        b = 1 - b;
    return bits;
}

struct UartCase
{
    const char *name;
    int dataBits;
    int parity;
    int stopBits;
    int direction;
    int source;
    int textMode;
    std::vector<std::vector<int>> frames; // each after two idle bits
    std::vector<std::string> rows;
};

class UartRows : public testing::TestWithParam<UartCase>
{
};

TEST_P(UartRows, DecodeToTheRowsExpected)
{
    const UartCase &c = GetParam();
    UartCanCapture cap;
    const int idle = c.source == WUART::FromRS232 ? 0 : 1;
    for (const auto &frame : c.frames) {
        cap.Bits(Ch, {idle, idle}, S);
        cap.Bits(Ch, frame, S);
    }
    cap.HoldToEnd(Ch, idle);

    WUART uart;
    uart.Channel = Ch;
    uart.FrameBits = c.dataBits + (c.parity != WUART::ParityNone ? 1 : 0);
    uart.ParityMode = c.parity;
    uart.StopBits = c.stopBits;
    uart.DataDirection = c.direction;
    uart.DataSource = c.source;
    uart.TextMode = c.textMode;
    const DecodeTable table = uart.Decode(cap.rec, cap.timing);
    EXPECT_EQ(table.Message, "");
    EXPECT_EQ(RowTexts(table), c.rows);
    for (int r = 0; r < table.Rows(); ++r)
        EXPECT_EQ(table.Marked(r), table.Cell(r, 2).find("Fail") != std::string::npos ||
                                       table.Cell(r, 3) == "Packet Error")
            << r;
}

using W = WUART;
const std::vector<int> Stop2{1, 1};

// Frame 1's start bit begins at sample 20, its first data bit's middle lies
// at 35 (350 us); each further frame of 8N1 after two idle bits is 120
// samples later.
INSTANTIATE_TEST_SUITE_P(
    Frames, UartRows,
    testing::Values(
        UartCase{"EightNoneOne",
                 8,
                 W::ParityNone,
                 1,
                 W::LsbFirst,
                 W::FromIC,
                 W::Ascii,
                 {Frame(0x41, 8), Frame(0x62, 8)},
                 {"1|A|None|Packet OK|350uS", "2|b|None|Packet OK|1.550mS"}},
        UartCase{"TextModesShowHexWithFrameBitsWidth",
                 8,
                 W::ParityNone,
                 1,
                 W::LsbFirst,
                 W::FromIC,
                 W::Both,
                 {Frame(0x41, 8)},
                 {"1|A   (0x41)|None|Packet OK|350uS"}},
        UartCase{"HexMode",
                 5,
                 W::ParityNone,
                 1,
                 W::LsbFirst,
                 W::FromIC,
                 W::Hex,
                 {Frame(0x15, 5)},
                 {"1|0x15|None|Packet OK|350uS"}},
        UartCase{"AsciiDropsTheTopBit",
                 8,
                 W::ParityNone,
                 1,
                 W::LsbFirst,
                 W::FromIC,
                 W::Ascii,
                 {Frame(0xC1, 8)},
                 {"1|A|None|Packet OK|350uS"}},
        UartCase{"SevenEvenCountsTheParityBit",
                 7,
                 W::ParityEven,
                 1,
                 W::LsbFirst,
                 W::FromIC,
                 W::Hex,
                 {Frame(0x41, 7, false, 0), Frame(0x43, 7, false, 0)},
                 {"1|0x41|Even(Pass)|Packet OK|350uS", "2|0x43|Even(Fail)|Packet OK|1.550mS"}},
        UartCase{"OddParity",
                 8 - 1,
                 W::ParityOdd,
                 1,
                 W::LsbFirst,
                 W::FromIC,
                 W::Hex,
                 {Frame(0x41, 7, false, 1), Frame(0x41, 7, false, 0)},
                 {"1|0x41|Odd(Pass)|Packet OK|350uS", "2|0x41|Odd(Fail)|Packet OK|1.550mS"}},
        UartCase{"MsbFirst",
                 8,
                 W::ParityNone,
                 1,
                 W::MsbFirst,
                 W::FromIC,
                 W::Hex,
                 {Frame(0x41, 8, true)},
                 {"1|0x41|None|Packet OK|350uS"}},
        UartCase{"FromRs232ReadsTheInvertedLine",
                 8,
                 W::ParityNone,
                 1,
                 W::LsbFirst,
                 W::FromRS232,
                 W::Ascii,
                 {Inverted(Frame(0x41, 8))},
                 {"1|A|None|Packet OK|350uS"}},
        UartCase{"LowStopBitIsAnError",
                 8,
                 W::ParityNone,
                 1,
                 W::LsbFirst,
                 W::FromIC,
                 W::Ascii,
                 {Frame(0x41, 8, false, -1, {0}), Frame(0x42, 8)},
                 {"1|A|None|Packet Error|350uS", "2|B|None|Packet OK|1.550mS"}},
        UartCase{"SecondStopBitLowIsAnError",
                 8,
                 W::ParityNone,
                 2,
                 W::LsbFirst,
                 W::FromIC,
                 W::Ascii,
                 {Frame(0x41, 8, false, -1, {1, 0})},
                 {"1|A|None|Packet Error|350uS"}},
        UartCase{"TwoStopBitsGiveOneRowPerFrame",
                 8,
                 W::ParityNone,
                 2,
                 W::LsbFirst,
                 W::FromIC,
                 W::Ascii,
                 {Frame(0x41, 8, false, -1, Stop2), Frame(0x42, 8, false, -1, Stop2)},
                 {"1|A|None|Packet OK|350uS", "2|B|None|Packet OK|1.650mS"}}),
    [](const testing::TestParamInfo<UartCase> &p) { return p.param.name; });

// --- Where decoding begins and ends ------------------------------------------

TEST(UartStart, TheTriggerEventMovesTheStart)
{
    // Frames start at samples 20 and 300; the trigger sample is 200.
    struct Case
    {
        WTime event;
        std::vector<std::string> rows;
    };
    const std::vector<Case> cases{
        {WTime{}, {"1|b|None|Packet OK|1.150mS"}},            // at the trigger sample
        {WTime::Of(0, 0, 500), {"1|b|None|Packet OK|650uS"}}, // 50 samples later
        {WTime::Of(0, 0, 900, 1, 0, 0),                       // 190 samples earlier
         {"1|A|None|Packet OK|250uS", "2|b|None|Packet OK|3.050mS"}},
        {WTime::Of(0, 0, 0, 2, 0, 0),
         {"1|A|None|Packet OK|350uS", // the first sample
          "2|b|None|Packet OK|3.150mS"}},
        {WTime::Of(0, 0, 10, 2, 0, 0), {"1|b|None|Packet OK|1.150mS"}}, // before the record
    };
    for (const Case &c : cases) {
        UartCanCapture cap(1000, 0, 200);
        cap.Bits(Ch, {1, 1}, S);
        cap.Bits(Ch, Frame(0x41, 8), S);
        cap.Level(Ch, 1, 120, 180);
        cap.cursor = 300;
        cap.Bits(Ch, Frame(0x62, 8), S);
        cap.HoldToEnd(Ch, 1);
        cap.timing.TriggerEvent = c.event;
        WUART uart;
        uart.Channel = Ch;
        EXPECT_EQ(RowTexts(uart.Decode(cap.rec, cap.timing)), c.rows);
    }
}

TEST(UartStart, ALineAtTheStartLevelAtTheFirstSampleStartsAFrame)
{
    UartCanCapture cap;
    cap.Bits(Ch, Frame(0x41, 8), S);
    cap.HoldToEnd(Ch, 1);
    WUART uart;
    uart.Channel = Ch;
    EXPECT_EQ(RowTexts(uart.Decode(cap.rec, cap.timing)),
              (std::vector<std::string>{"1|A|None|Packet OK|150uS"}));
}

TEST(UartRecord, WrapsAroundTheRingAndStopsAtTheRecordsEnd)
{
    // The record starts 40 samples before the ring's end, so its first
    // frame crosses it; a third frame lies in the ring after the record.
    UartCanCapture cap(250, 0x80000 - 4 * 40);
    cap.Bits(Ch, {1, 1}, S);
    cap.Bits(Ch, Frame(0x41, 8), S); // samples 20..119
    cap.Bits(Ch, {1, 1}, S);
    cap.Bits(Ch, Frame(0x42, 8), S); // 140..239, stop bit's middle at 235
    cap.Bits(Ch, {1}, S);
    cap.Bits(Ch, Frame(0x43, 8), S); // 250..349: past the record
    cap.HoldToEnd(Ch, 1);
    WUART uart;
    uart.Channel = Ch;
    EXPECT_EQ(RowTexts(uart.Decode(cap.rec, cap.timing)),
              (std::vector<std::string>{"1|A|None|Packet OK|350uS", "2|B|None|Packet OK|1.550mS"}));
    // A record that ends inside the second frame's stop bit lists the first alone.
    cap.rec.DepthSamples = 235;
    EXPECT_EQ(uart.Decode(cap.rec, cap.timing).Rows(), 1);
}

TEST(UartInput, BadSettingsGiveAMessageAndNoRows)
{
    struct Case
    {
        int channel;
        int baudIndex;
        WTime period;
        std::string message;
    };
    const std::vector<Case> cases{
        {16, 11, WTime::Of(0, 0, 10), "CH16 is not a channel of this model."},
        {-1, 11, WTime::Of(0, 0, 10), "CH-1 is not a channel of this model."},
        {4, 19, WTime::Of(0, 0, 10), "Unknown baud rate."},
        // The "Custom" entry without a rate in 50 .. 10,000,000.
        {4, WUART::CustomIndex, WTime::Of(0, 0, 10),
         "A custom baud rate is a whole number from 50 to 10000000."},
        // 128000 baud: 7.8 us per bit, under one sample of 10 us.
        {4, 17, WTime::Of(0, 0, 10),
         "At this sample rate a bit of 128000 baud lasts 0.78 samples; the decoder needs at "
         "least 3. Capture with a shorter sample period."},
        // 57600 baud at 10 us: 17.3 us per bit, 1.7 samples.
        {4, 15, WTime::Of(0, 0, 10),
         "At this sample rate a bit of 57600 baud lasts 1.73 samples; the decoder needs at "
         "least 3. Capture with a shorter sample period."},
        // 38400 baud at 10 us: 2.6 samples, still too few.
        {4, 14, WTime::Of(0, 0, 10),
         "At this sample rate a bit of 38400 baud lasts 2.60 samples; the decoder needs at "
         "least 3. Capture with a shorter sample period."},
    };
    for (const Case &c : cases) {
        UartCanCapture cap;
        cap.Level(Ch, 0, 0, 4000); // traffic would be garbage rows
        cap.timing.SamplePeriod = c.period;
        WUART uart;
        uart.Channel = c.channel;
        uart.BaudIndex = c.baudIndex;
        const DecodeTable table = uart.Decode(cap.rec, cap.timing);
        EXPECT_EQ(table.Message, c.message);
        EXPECT_EQ(table.Rows(), 0);
    }
}

TEST(UartInput, NoTransitionsAndNoRecordGiveNoRows)
{
    UartCanCapture cap;
    cap.HoldToEnd(Ch, 1);
    WUART uart;
    uart.Channel = Ch;
    const DecodeTable idle = uart.Decode(cap.rec, cap.timing);
    EXPECT_EQ(idle.Rows(), 0);
    EXPECT_EQ(idle.Message, "");
    cap.rec.DepthSamples = 0;
    EXPECT_EQ(uart.Decode(cap.rec, cap.timing).Message, "There is no capture to decode.");
}


TEST(WUART, DataTextPadsTheDigitsToTheFrameAndKeepsWiderValuesWhole)
{
    struct Case
    {
        int frameBits;
        int mode;
        uint32_t value;
        std::string text;
    };
    const Case cases[] = {
        {8, WUART::Hex, 0x41, "0x41"},
        {8, WUART::Both, 0x41, "A   (0x41)"},
        {8, WUART::Ascii, 0xC1, "A"},
        {9, WUART::Hex, 0x41, "0x041"},
        {5, WUART::Hex, 0x0F, "0x0F"},
        {8, WUART::Hex, 0x1F3, "0x1F3"},
        {8, WUART::Both, 0x00, std::string("\0   (0x00)", 10)},
        {8, WUART::Ascii, 0x80, std::string(1, '\0')},
        {32, WUART::Hex, 0xDEADBEEF, "0xDEADBEEF"},
        {4, WUART::Hex, 0xDEADBEEF, "0xDEADBEEF"},
    };
    for (const Case &c : cases) {
        WUART uart;
        uart.FrameBits = c.frameBits;
        uart.TextMode = c.mode;
        EXPECT_EQ(uart.DataText(c.value), c.text) << c.frameBits << " bits, mode " << c.mode;
    }
}

} // namespace
