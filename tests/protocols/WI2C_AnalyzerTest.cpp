#include "protocols/WI2C_Analyzer.h"

#include "HandCapture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr WTime TenNs = WTime::Of(0, 10);

// What a packet row says about the traffic (times are checked apart).
struct Row
{
    std::string Status, Address, Dir, Length, Data;
    friend bool operator==(const Row &, const Row &) = default;
    friend std::ostream &operator<<(std::ostream &os, const Row &r)
    {
        return os << '{' << r.Status << '|' << r.Address << '|' << r.Dir << '|' << r.Length << '|'
                  << r.Data << '}';
    }
};

std::vector<Row> RowsOf(const DecodeTable &t)
{
    std::vector<Row> rows;
    for (int r = 0; r < t.Rows(); ++r)
        rows.push_back({std::string(t.Cell(r, 1)), std::string(t.Cell(r, 2)),
                        std::string(t.Cell(r, 5)), std::string(t.Cell(r, 6)),
                        std::string(t.Cell(r, 7))});
    return rows;
}

void Write(HandCapture &c, uint32_t address, std::initializer_list<uint8_t> bytes, bool stop = true)
{
    c.I2cStart();
    c.I2cByte(static_cast<uint8_t>(address << 1));
    for (uint8_t b : bytes)
        c.I2cByte(b);
    if (stop)
        c.I2cStop();
}

struct Case
{
    const char *Name;
    std::function<void(HandCapture &)> Traffic;
    std::function<void(WI2C_Analyzer::Settings &)> Options;
    std::vector<Row> Expected;
    friend void PrintTo(const Case &c, std::ostream *os) { *os << c.Name; }
};

class I2cCases : public testing::TestWithParam<Case>
{
};

TEST_P(I2cCases, DecodeToTheExpectedRows)
{
    const Case &c = GetParam();
    HandCapture capture;
    capture.I2cIdle();
    c.Traffic(capture);
    capture.I2cIdle();
    WI2C_Analyzer::Settings s;
    if (c.Options)
        c.Options(s);
    const auto r = WI2C_Analyzer::Decode(capture.Window(), s, TenNs);
    EXPECT_EQ(r.State, WI2C_Analyzer::Status::Decoded);
    EXPECT_EQ(RowsOf(r.Packets), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    WI2C_Analyzer, I2cCases,
    testing::Values(Case{"WriteOfTwoBytes",
                         [](HandCapture &c) {
                             Write(c, 0x50, {0x12, 0x34});
                         },
                         nullptr,
                         {{"SP", "50(h)", "W", "2", "12(h) 34(h) "}}},
                    Case{"NoStartNoRows", [](HandCapture &c) { c.I2cBits(0x55, 8); }, nullptr, {}},
                    Case{"BinaryAndDecimal",
                         [](HandCapture &c) { Write(c, 0x50, {0x0A}); },
                         [](WI2C_Analyzer::Settings &s) { s.TextMode = 0; },
                         {{"SP", "1010000(b)", "W", "1", "00001010(b) "}}},
                    Case{"Decimal",
                         [](HandCapture &c) { Write(c, 0x50, {0x0A}); },
                         [](WI2C_Analyzer::Settings &s) { s.TextMode = 1; },
                         {{"SP", "80(d)", "W", "1", "10(d) "}}},
                    Case{"ReadWithTheMastersFinalNack",
                         [](HandCapture &c) {
                             c.I2cStart();
                             c.I2cByte(0x50 << 1 | 1);
                             c.I2cByte(0xAB);
                             c.I2cByte(0xCD, false);
                             c.I2cStop();
                         },
                         nullptr,
                         {{"SP", "50(h)", "R", "2", "AB(h) CD(h) "}}},
                    Case{"AddressNotAcknowledged",
                         [](HandCapture &c) {
                             c.I2cStart();
                             c.I2cByte(0x51 << 1, false);
                             c.I2cStop();
                         },
                         nullptr,
                         {{"SP , !Ack", "51(h)", "W", "", ""}}},
                    Case{"WriteWordNotAcknowledged",
                         [](HandCapture &c) {
                             c.I2cStart();
                             c.I2cByte(0x50 << 1);
                             c.I2cByte(0x01, false);
                             c.I2cStop();
                         },
                         nullptr,
                         {{"SP , !Ack", "50(h)", "W", "1", "01(h) "}}},
                    Case{"ReadGoingOnAfterANack",
                         [](HandCapture &c) {
                             c.I2cStart();
                             c.I2cByte(0x50 << 1 | 1);
                             c.I2cByte(0x01, false);
                             c.I2cByte(0x02, false);
                             c.I2cStop();
                         },
                         nullptr,
                         {{"SP , !Ack", "50(h)", "R", "2", "01(h) 02(h) "}}},
                    Case{"AckLevelHigh",
                         [](HandCapture &c) { Write(c, 0x50, {0x12}); },
                         [](WI2C_Analyzer::Settings &s) { s.AckLevel = 1; },
                         {{"SP , !Ack", "50(h)", "W", "1", "12(h) "}}},
                    Case{"ReadLevelLow",
                         [](HandCapture &c) { Write(c, 0x50, {0x12}); },
                         [](WI2C_Analyzer::Settings &s) { s.ReadLevel = 0; },
                         {{"SP", "50(h)", "R", "1", "12(h) "}}},
                    Case{"RepeatedStartEndsThePacketAndOpensTheNext",
                         [](HandCapture &c) {
                             Write(c, 0x50, {0x00}, false);
                             c.I2cStart();
                             c.I2cByte(0x50 << 1 | 1);
                             c.I2cByte(0x77, false);
                             c.I2cStop();
                         },
                         nullptr,
                         {{"S", "50(h)", "W", "1", "00(h) "}, {"SP", "50(h)", "R", "1", "77(h) "}}},
                    Case{"TwoStopsWithoutStartAreAPackageError",
                         [](HandCapture &c) {
                             c.I2cStop();
                             c.I2cBits(0xA5, 8);
                             c.I2cStop();
                             Write(c, 0x20, {0x01});
                         },
                         nullptr,
                         {{"Package Error", "52(h)", "R", "", ""},
                          {"SP", "20(h)", "W", "1", "01(h) "}}},
                    Case{"LoneStopBeforeTheFirstStartIsDropped",
                         [](HandCapture &c) {
                             c.I2cBits(0x3, 2);
                             c.I2cStop();
                             Write(c, 0x20, {0x01});
                         },
                         nullptr,
                         {{"SP", "20(h)", "W", "1", "01(h) "}}},
                    // The capture ends before the second transfer's STOP: it
                    // is listed with what it carried, marked as cut.
                    Case{"TransferOpenAtTheEndIsListedCut",
                         [](HandCapture &c) {
                             Write(c, 0x20, {0x01});
                             Write(c, 0x21, {0x02}, false);
                         },
                         nullptr,
                         {{"SP", "20(h)", "W", "1", "01(h) "},
                          {"S , Cut", "21(h)", "W", "1", "02(h) "}}},
                    // 11110 A9 A8 W, ACK, A7..A0, ACK, then 13 data bits.
                    Case{"TenBitAddressAndThirteenDataBits",
                         [](HandCapture &c) {
                             c.I2cStart();
                             c.I2cBits(0x1E << 2 | 0x1, 7); // 11110, A9 A8 = 01
                             c.I2cBit(0);                    // write
                             c.I2cBit(0);                    // ack
                             c.I2cBits(0x23, 8);             // A7..A0
                             c.I2cBit(0);                    // ack
                             c.I2cBits(0x1FFF, 13);
                             c.I2cStop();
                         },
                         [](WI2C_Analyzer::Settings &s) { s.AddressBits = 10; },
                         // The ninth of the 13 bits (a 1) sits where the acknowledge goes.
                         {{"SP , !Ack", "123(h)", "W", "1", "FF(h) "}}},
                    // A write to 0x123, then a repeated START with 11110 01 R:
                    // the read comes from 0x123. A read whose high bits name
                    // no address written before has no address.
                    Case{"TenBitReadAfterARepeatedStart",
                         [](HandCapture &c) {
                             c.I2cStart();
                             c.I2cByte(0xF2); // 11110 01 W
                             c.I2cByte(0x23);
                             c.I2cStart();
                             c.I2cByte(0xF3); // 11110 01 R
                             c.I2cByte(0x5A, false);
                             c.I2cStart();
                             c.I2cByte(0xF7); // 11110 11 R
                             c.I2cByte(0x66, false);
                             c.I2cStop();
                         },
                         [](WI2C_Analyzer::Settings &s) { s.AddressBits = 10; },
                         {{"S", "123(h)", "W", "", ""},
                          {"S", "123(h)", "R", "1", "5A(h) "},
                          {"SP", "", "R", "1", "66(h) "}}},
                    // Seven-bit devices share the bus: a first byte without
                    // 11110 is a 7-bit address and R/W.
                    Case{"SevenBitAddressAmongTenBitOnes",
                         [](HandCapture &c) { Write(c, 0x50, {0x12}); },
                         [](WI2C_Analyzer::Settings &s) { s.AddressBits = 10; },
                         {{"SP", "50(h)", "W", "1", "12(h) "}}},
                    Case{"IncompleteAddressIsDropped",
                         [](HandCapture &c) {
                             c.I2cStart();
                             c.I2cBits(0x5, 3);
                             c.I2cStop();
                         },
                         nullptr,
                         {{"SP", "", "", "", ""}}},
                    Case{"NineBitDataInHexHasThreeDigits",
                         [](HandCapture &c) {
                             c.I2cStart();
                             c.I2cByte(0x10 << 1);
                             c.I2cBits(0x1FF, 9);
                             c.I2cBit(0);
                             c.I2cStop();
                         },
                         [](WI2C_Analyzer::Settings &s) { s.DataBits = 9; },
                         {{"SP", "10(h)", "W", "1", "1FF(h) "}}},
                    Case{"SclEqualToSdaFindsNothing",
                         [](HandCapture &c) { Write(c, 0x50, {0x12}); },
                         [](WI2C_Analyzer::Settings &s) { s.SdaChannel = 0; },
                         {}}),
    [](const testing::TestParamInfo<Case> &p) { return std::string(p.param.Name); });

TEST(WI2C_Analyzer, TimesNumbersAndAddressSummary)
{
    HandCapture c;
    c.I2cIdle(10);
    Write(c, 0x50, {0x01});
    c.I2cIdle(20);
    Write(c, 0x50, {0x02});
    c.I2cIdle(5);
    c.I2cStart();
    c.I2cByte(0x60 << 1 | 1);
    c.I2cByte(0x03, false);
    c.I2cStop();
    c.I2cIdle();
    const auto r = WI2C_Analyzer::Decode(c.Window(), {}, TenNs);
    ASSERT_EQ(r.Packets.Rows(), 3);
    EXPECT_EQ(r.Packets.Cell(0, 0), "0");
    EXPECT_EQ(r.Packets.Cell(2, 0), "2");
    // From the sample where SDA fell (START) to the one where it rose (STOP),
    // both included: 2 + 18 bits x 4 + 3 samples.
    EXPECT_EQ(r.Packets.Cell(0, 3), "770nS ");
    EXPECT_EQ(r.Packets.Cell(0, 4), "");
    // From the STOP of the first to the START of the second: the STOP's
    // sample, 20 + 1 idle samples before SDA falls.
    EXPECT_EQ(r.Packets.Cell(1, 4), "220nS ");

    ASSERT_EQ(r.Addresses.Rows(), 2);
    EXPECT_EQ(r.Addresses.Cell(0, 0), "50(h)");
    EXPECT_EQ(r.Addresses.Cell(0, 1), "2");
    EXPECT_EQ(r.Addresses.Cell(0, 2), "770nS ");
    EXPECT_EQ(r.Addresses.Cell(0, 3), "0");
    EXPECT_EQ(r.Addresses.Cell(0, 4), "2");
    EXPECT_EQ(r.Addresses.Cell(1, 0), "60(h)");
    EXPECT_EQ(r.Addresses.Cell(1, 3), "1");
    EXPECT_EQ(r.Addresses.Cell(1, 4), "0");
}

TEST(WI2C_Analyzer, StripsShowLevelsAndChanges)
{
    HandCapture c;
    c.I2cIdle(2);
    c.I2cStart();
    const auto r = WI2C_Analyzer::Decode(c.Window(), {}, TenNs);
    // The sample before the window reads 0 (empty ring): the first sample
    // changed; then high, high, SDA falls, SCL falls.
    EXPECT_EQ(r.SclTrace, (std::vector<uint8_t>{9, 4, 4, 4, 9}));
    EXPECT_EQ(r.SdaTrace, (std::vector<uint8_t>{9, 4, 4, 9, 7}));
}

TEST(WI2C_Analyzer, DurationTextWritesEveryGroupDownToTheLastNonZero)
{
    const std::pair<WTime, const char *> cases[] = {
        {WTime::Of(0), "0nS"},
        {WTime::Of(500), "0nS"},
        {WTime::Of(0, 80), "80nS "},
        {WTime::Of(0, 0, 12), "12uS "},
        {WTime::Of(0, 500, 12), "12.500uS "},
        {WTime::Of(0, 0, 5, 1), "1.005mS "},
        {WTime::Of(0, 7, 0, 1), "1.000007mS "},
        {WTime::Of(0, 0, 0, 0, 3), "3S "},
        {WTime::Of(0, 2500), "2.500uS "},
    };
    for (const auto &[t, text] : cases)
        EXPECT_EQ(WI2C_Analyzer::DurationText(t), text);
}

TEST(WI2C_Analyzer, BadSettingsGiveNoRowsAndEmptyStrips)
{
    HandCapture c;
    Write(c, 0x50, {0x12});
    struct Bad
    {
        std::function<void(WI2C_Analyzer::Settings &)> Change;
        WI2C_Analyzer::Status Expected;
    };
    const Bad cases[] = {
        {[](auto &s) { s.SdaChannel = 16; }, WI2C_Analyzer::Status::ChannelMissing},
        {[](auto &s) { s.SclChannel = -1; }, WI2C_Analyzer::Status::ChannelMissing},
        {[](auto &s) { s.AddressBits = 0; }, WI2C_Analyzer::Status::BitsOutOfRange},
        {[](auto &s) { s.DataBits = 33; }, WI2C_Analyzer::Status::BitsOutOfRange},
    };
    for (const Bad &b : cases) {
        WI2C_Analyzer::Settings s;
        b.Change(s);
        const auto r = WI2C_Analyzer::Decode(c.Window(16), s, TenNs);
        EXPECT_EQ(r.State, b.Expected);
        EXPECT_EQ(r.Packets.Rows(), 0);
        EXPECT_EQ(r.SclTrace, std::vector<uint8_t>(c.Samples(), 10));
    }
    // The same channel is there on a 32-channel model.
    WI2C_Analyzer::Settings s;
    s.SdaChannel = 16;
    EXPECT_EQ(WI2C_Analyzer::Decode(c.Window(32), s, TenNs).State, WI2C_Analyzer::Status::Decoded);
}

TEST(WI2C_Analyzer, TrafficAcrossTheRingsEndDecodes)
{
    // The transfer starts 40 bytes before the end of a 1 KiB ring and goes
    // on at address 0; the window starts at an odd byte address as well.
    for (uint32_t first : {1024u - 40u, 1024u - 42u}) {
        HandCapture c(1024, first);
        c.I2cIdle();
        Write(c, 0x50, {0xC3, 0x3C});
        c.I2cIdle();
        const auto r = WI2C_Analyzer::Decode(c.Window(), {}, TenNs);
        EXPECT_EQ(RowsOf(r.Packets), (std::vector<Row>{{"SP", "50(h)", "W", "2", "C3(h) 3C(h) "}}))
            << first;
    }
}

TEST(WI2C_Analyzer, TinyWindowsDecodeNothing)
{
    HandCapture c(16);
    for (uint32_t count : {0u, 1u, 4u}) {
        CaptureWindow w{c.ring, 15, 12, count, 16};
        const auto r = WI2C_Analyzer::Decode(w, {}, TenNs);
        EXPECT_EQ(r.Packets.Rows(), 0);
        EXPECT_EQ(r.SclTrace.size(), count);
    }
}

} // namespace
