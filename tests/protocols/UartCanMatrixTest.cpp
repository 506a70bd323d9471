// UART and CAN traffic of the emulated instrument, captured through the
// command path on model 8 and decoded as the pages decode it, over the
// rates people use, every sample period of the model that gives the
// decoder its minimum of samples per bit (3 for UART, 4 for CAN), and a
// transmitter whose clock is off (UART -3 %, 0, +3 %; CAN -1 %, 0, +1 %).
// Every frame the record holds whole must come back with the bytes sent and
// a clean status; at the first period below the minimum the decoder gives a
// message instead of rows. UART frame formats (5..8 data bits, no, odd or
// even parity, 1 or 2 stop bits) take turns over the cases.

#include "device/EmulatedCapture.h"
#include "device/ModelTable.h"
#include "protocols/WCAN_Core.h"
#include "protocols/WUART.h"

#include "UartCanShot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int Model = 8;
// Model 8's time/div rows with distinct sample periods (2 ns .. 40 us).
constexpr int Rows[] = {0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
// Model 8's depths (1k .. 1M samples), by depth index from 1.
constexpr uint32_t Depths[] = {1000,  2000,   4000,   8000,   16000,  32000,
                               64000, 128000, 256000, 512000, 1024000};
constexpr int MaxDepthIndex = 11;

uint64_t PeriodPs(int row)
{
    return EmulatedCapture::SamplePeriodPs(ModelTable::Model(Model), row);
}

std::string PeriodText(uint64_t ps)
{
    return ps >= 1000000 ? std::to_string(ps / 1000000) + "us" : std::to_string(ps / 1000) + "ns";
}

// The smallest depth whose 90 % after the trigger hold `bits` bits.
int DepthIndexFor(uint64_t bits, uint32_t rate, uint64_t periodPs)
{
    const uint64_t samples = bits * 1000000000000ull / rate / periodPs * 10 / 9 + 64;
    for (int k = 0; k < MaxDepthIndex; ++k)
        if (Depths[k] >= samples)
            return k + 1;
    return MaxDepthIndex;
}

struct Format
{
    int dataBits;
    int parity; // WUART::Parity
    int stopBits;
};
constexpr Format Formats[] = {{8, 0, 1}, {7, 2, 1}, {5, 0, 1}, {6, 1, 2}, {8, 0, 2}, {7, 1, 1},
                              {5, 2, 2}, {6, 0, 1}, {7, 2, 2}, {5, 1, 1}, {6, 2, 1}, {7, 0, 2}};

struct MatrixCase
{
    bool can;
    uint32_t rate;
    int row;
    int skew;
    Format format;          // UART
    bool extended;          // CAN
    bool belowMinimum;      // the decoder must refuse
    std::string name;
    friend void PrintTo(const MatrixCase &c, std::ostream *os) { *os << c.name; }
};

std::string Signed(int v)
{
    return v < 0 ? "m" + std::to_string(-v) : "p" + std::to_string(v);
}

std::vector<MatrixCase> Cases()
{
    std::vector<MatrixCase> cases;
    int turn = 0;
    for (uint32_t baud : {9600u, 19200u, 57600u, 115200u, 921600u}) {
        bool refused = false;
        for (int row : Rows) {
            const uint64_t p = PeriodPs(row);
            const bool enough = 1000000000000ull / baud >= 3 * p;
            if (!enough && refused)
                break;
            refused = !enough;
            for (int skew : {-3, 0, 3}) {
                if (!enough && skew != 0)
                    continue;
                const Format f = Formats[turn++ % std::size(Formats)];
                const char parity = "NOE"[f.parity];
                cases.push_back({false, baud, row, skew, f, false, !enough,
                                 "uart_" + std::to_string(baud) + "_" +
                                     std::to_string(f.dataBits) + parity +
                                     std::to_string(f.stopBits) + "_" + PeriodText(p) + "_skew_" +
                                     Signed(skew)});
            }
        }
    }
    for (uint32_t rate : {125000u, 250000u, 500000u, 1000000u}) {
        bool refused = false;
        for (int row : Rows) {
            const uint64_t p = PeriodPs(row);
            const bool enough = 1000000000000ull / rate >= 4 * p;
            if (!enough && refused)
                break;
            refused = !enough;
            for (int skew : {-1, 0, 1}) {
                if (!enough && skew != 0)
                    continue;
                const bool extended = turn++ % 2 == 0;
                cases.push_back({true, rate, row, skew, {}, extended, !enough,
                                 "can_" + std::to_string(rate / 1000) + "k_" +
                                     (extended ? "ext_" : "std_") + PeriodText(p) + "_skew_" +
                                     Signed(skew)});
            }
        }
    }
    return cases;
}

class UartCanMatrix : public testing::TestWithParam<MatrixCase>
{
};

const std::string Text = "Hello";

std::string HexByte(uint32_t v, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, v);
    return text;
}

std::string Hex(const std::string &bytes)
{
    std::string hex;
    for (char ch : bytes)
        hex += HexByte(static_cast<unsigned char>(ch), 2);
    return hex;
}

void CheckUart(const MatrixCase &c)
{
    const uint64_t bitPs = 1000000000000ull / c.rate;
    const uint32_t bitUs = static_cast<uint32_t>((bitPs + 999999) / 1000000);
    const Format &f = c.format;
    const int frameBits = 1 + f.dataBits + (f.parity ? 1 : 0) + f.stopBits + 1;
    char format[8];
    std::snprintf(format, sizeof format, "%d%c%d", f.dataBits, "NOE"[f.parity], f.stopBits);
    // The trigger: the line high for longer than 10 bits, which only the
    // pause after the text is. The analyzer counts a pulse in 16 bits of
    // samples; where 10 bits are more, the bytes are 0x00, whose frames
    // have no falling edge but their start bit's, and any falling edge
    // triggers.
    const bool pulse = 10 * bitPs / PeriodPs(c.row) < 60000;
    const std::string text = pulse ? Text : std::string(1, '\0');
    const UartCanShot shot{Model,
                           "scene=uart,data=" + Hex(text) + ",baud=" + std::to_string(c.rate) +
                               ",uart=" + format + ",skew=" + std::to_string(c.skew) +
                               ",gap=" + std::to_string(16 * bitUs),
                           c.row,
                           DepthIndexFor(static_cast<uint64_t>(frameBits) * text.size() + 16,
                                         c.rate, PeriodPs(c.row)),
                           4,
                           pulse ? 10 * bitUs : 0};
    WUART uart;
    uart.Channel = 4;
    uart.BaudIndex = WUART::CustomIndex; // 921600 is no rate of the list
    uart.CustomBaud = c.rate;
    uart.FrameBits = f.dataBits + (f.parity ? 1 : 0);
    uart.ParityMode = f.parity;
    uart.StopBits = f.stopBits;
    uart.TextMode = WUART::Hex;
    const DecodeTable table = shot.Decode(uart);
    if (c.belowMinimum) {
        EXPECT_NE(table.Message.find("the decoder needs at least 3"), std::string::npos)
            << table.Message;
        EXPECT_EQ(table.Rows(), 0);
        return;
    }
    ASSERT_EQ(table.Message, "");
    ASSERT_GE(table.Rows(), 1);
    const char *parity[] = {"None", "Odd(Pass)", "Even(Pass)"};
    for (int r = 0; r < table.Rows(); ++r) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X",
                      static_cast<unsigned char>(text[static_cast<size_t>(r) % text.size()]) &
                          ((1u << f.dataBits) - 1));
        EXPECT_EQ(table.Cell(r, 1), hex) << "row " << r;
        EXPECT_EQ(table.Cell(r, 2), parity[f.parity]) << "row " << r;
        EXPECT_EQ(table.Cell(r, 3), "Packet OK") << "row " << r;
    }
}

void CheckCan(const MatrixCase &c)
{
    const uint32_t bitUs = (1000000 + c.rate - 1) / c.rate;
    const uint32_t id = c.extended ? 0x0D040004 : 0x123;
    const std::string data = "Hello, CAN!!"; // an 8-byte and a 4-byte frame
    // The trigger: the bus recessive for longer than 13 bits; between the
    // frames it is for 11.
    const UartCanShot shot{Model,
                           "scene=can,data=" + Hex(data) + ",id=" + std::to_string(id) +
                               (c.extended ? ",ext" : "") + ",bitrate=" +
                               std::to_string(c.rate) + ",skew=" + std::to_string(c.skew) +
                               ",gap=" + std::to_string(24 * bitUs),
                           c.row,
                           DepthIndexFor(2 * 160 + 24, c.rate, PeriodPs(c.row)),
                           5,
                           13 * bitUs};
    WCAN_Core can;
    can.Channel = 5;
    can.RateIndex = WCAN_Core::CustomIndex;
    can.CustomRate = c.rate;
    const DecodeTable table = shot.Decode(can);
    if (c.belowMinimum) {
        EXPECT_NE(table.Message.find("the decoder needs at least 4"), std::string::npos)
            << table.Message;
        EXPECT_EQ(table.Rows(), 0);
        return;
    }
    ASSERT_EQ(table.Message, "");
    ASSERT_GE(table.Rows(), 1);
    for (int r = 0; r < table.Rows(); ++r) {
        if (r + 1 == table.Rows() && table.Cell(r, WCAN_Core::Status) == "Incomplete")
            break;
        const size_t from = r % 2 ? 8 : 0, count = r % 2 ? 4 : 8;
        std::string bytes;
        for (size_t k = from; k < from + count; ++k)
            bytes += HexByte(static_cast<unsigned char>(data[k]), 2) + " , ";
        EXPECT_EQ(table.Cell(r, WCAN_Core::BasicId),
                  HexByte(c.extended ? id >> 18 : id, 3)) << "row " << r;
        EXPECT_EQ(table.Cell(r, WCAN_Core::ExtendedId),
                  c.extended ? HexByte(id & 0x3FFFF, 5) : "") << "row " << r;
        EXPECT_EQ(table.Cell(r, WCAN_Core::Control), std::to_string(count)) << "row " << r;
        EXPECT_EQ(table.Cell(r, WCAN_Core::Data), bytes) << "row " << r;
        EXPECT_EQ(table.Cell(r, WCAN_Core::Ack), "01") << "row " << r;
        EXPECT_EQ(table.Cell(r, WCAN_Core::Status), "OK") << "row " << r;
    }
}

TEST_P(UartCanMatrix, EveryFrameDecodesCleanly)
{
    const MatrixCase &c = GetParam();
    if (c.can)
        CheckCan(c);
    else
        CheckUart(c);
}

INSTANTIATE_TEST_SUITE_P(Emulated, UartCanMatrix, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<MatrixCase> &p) { return p.param.name; });

// One scene, every sample period that gives the decoder its minimum: the
// decoded content (UART data, parity and status; CAN identifiers, data and
// status) is the same at every period, as far as each record reaches, and
// it is what was sent. The payload holds the bytes with the longest runs of
// equal bits (0x00, 0xFF) and the densest edges (0x55, 0xAA).
struct SameScene
{
    bool can;
    uint32_t rate;
    const char *name;
};

class EveryPeriod : public testing::TestWithParam<SameScene>
{
};

TEST_P(EveryPeriod, GivesTheSameContent)
{
    const SameScene &c = GetParam();
    const std::string payload("\x00\xFF\x55\xAA Hello, 0\x01\x80\x7F\xFE\x0F\xF0~", 20);
    std::vector<std::vector<std::string>> contents;
    for (int row : Rows) {
        const uint64_t p = PeriodPs(row);
        const uint64_t bitPs = 1000000000000ull / c.rate;
        if (bitPs < (c.can ? 4 : 3) * p)
            break;
        const uint32_t bitUs = static_cast<uint32_t>((bitPs + 999999) / 1000000);
        DecodeTable table;
        std::vector<std::string> content;
        if (!c.can) {
            // 0xFF keeps the line high for 10 bits: the pause is longer.
            const UartCanShot shot{Model,
                                   "scene=uart,data=" + Hex(payload) + ",baud=" +
                                       std::to_string(c.rate) + ",gap=" + std::to_string(20 * bitUs),
                                   row,
                                   DepthIndexFor(11 * payload.size(), c.rate, p),
                                   4,
                                   14 * bitUs};
            WUART uart;
            uart.Channel = 4;
            uart.BaudIndex = WUART::CustomIndex;
            uart.CustomBaud = c.rate;
            uart.TextMode = WUART::Hex;
            table = shot.Decode(uart);
            for (int r = 0; r < table.Rows(); ++r)
                content.push_back(std::string(table.Cell(r, 1)) + " " +
                                  std::string(table.Cell(r, 2)) + " " +
                                  std::string(table.Cell(r, 3)));
        } else {
            const UartCanShot shot{Model,
                                   "scene=can,ext,id=0x1ABCDEF,data=" + Hex(payload) +
                                       ",bitrate=" + std::to_string(c.rate) +
                                       ",gap=" + std::to_string(24 * bitUs),
                                   row,
                                   DepthIndexFor(3 * 160 + 24, c.rate, p),
                                   5,
                                   13 * bitUs};
            WCAN_Core can;
            can.Channel = 5;
            can.RateIndex = WCAN_Core::CustomIndex;
            can.CustomRate = c.rate;
            table = shot.Decode(can);
            for (int r = 0; r < table.Rows(); ++r)
                if (table.Cell(r, WCAN_Core::Status) != "Incomplete")
                    content.push_back(std::string(table.Cell(r, WCAN_Core::BasicId)) + " " +
                                      std::string(table.Cell(r, WCAN_Core::ExtendedId)) + " " +
                                      std::string(table.Cell(r, WCAN_Core::Data)) + " " +
                                      std::string(table.Cell(r, WCAN_Core::Status)));
        }
        ASSERT_EQ(table.Message, "") << PeriodText(p);
        ASSERT_FALSE(content.empty()) << PeriodText(p);
        contents.push_back(content);
    }
    ASSERT_GE(contents.size(), 7u);
    // The longest is what was sent; every other one is the start of it.
    const auto longest = std::max_element(
        contents.begin(), contents.end(),
        [](const auto &a, const auto &b) { return a.size() < b.size(); });
    for (size_t k = 0; k < longest->size(); ++k) {
        if (c.can) {
            const size_t from = 8 * (k % 3), count = std::min<size_t>(8, payload.size() - from);
            std::string data;
            for (size_t i = from; i < from + count; ++i)
                data += HexByte(static_cast<unsigned char>(payload[i]), 2) + " , ";
            EXPECT_EQ((*longest)[k], "06A 3CDEF " + data + " OK") << k;
        } else {
            EXPECT_EQ((*longest)[k],
                      "0x" + HexByte(static_cast<unsigned char>(payload[k % payload.size()]), 2) +
                          " None Packet OK")
                << k;
        }
    }
    for (size_t r = 0; r < contents.size(); ++r)
        EXPECT_TRUE(std::equal(contents[r].begin(), contents[r].end(), longest->begin()))
            << "period " << PeriodText(PeriodPs(Rows[r]));
}

INSTANTIATE_TEST_SUITE_P(Emulated, EveryPeriod,
                         testing::Values(SameScene{false, 115200, "uart_115200"},
                                         SameScene{true, 500000, "can_500k_ext"}),
                         [](const testing::TestParamInfo<SameScene> &p) { return p.param.name; });

} // namespace
