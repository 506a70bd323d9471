// The emulated instrument's I2C and SPI traffic, captured through the real
// command path on a 16- and a 32-channel model, decodes to exactly the
// addresses, directions and bytes the scene was given.

#include "ProtocolBench.h"

#include "protocols/WI2C_Analyzer.h"
#include "protocols/WSPI_Core.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string HexWords(const std::vector<uint8_t> &bytes)
{
    std::string out;
    char buf[8];
    for (uint8_t b : bytes) {
        std::snprintf(buf, sizeof buf, "%02X(h) ", b);
        out += buf;
    }
    return out;
}

struct Traffic
{
    const char *Scene;
    std::vector<uint8_t> Bytes;
    uint32_t Address;
    int TimeDivRow;
};

class EndToEnd : public testing::TestWithParam<std::tuple<int, Traffic>>
{
};

TEST_P(EndToEnd, I2cWriteAndReadBack)
{
    const auto &[model, t] = GetParam();
    ProtocolCapture capture(model, std::string("scene=i2c,") + t.Scene, t.TimeDivRow, 2, 1,
                            {CFile::CondHigh, CFile::CondFall});
    ASSERT_TRUE(capture.Valid()) << capture.Why();
    const auto r = WI2C_Analyzer::Decode(capture.Window(), {}, capture.Period());
    ASSERT_EQ(r.State, WI2C_Analyzer::Status::Decoded);
    ASSERT_GE(r.Packets.Rows(), 2);
    char address[16];
    std::snprintf(address, sizeof address, "%02X(h)", t.Address);
    // A transfer open at the record's start is no row, one the record ends
    // inside of is listed as cut with what it carried so far: every other
    // row is a whole write or read, and they alternate.
    int rows = r.Packets.Rows();
    const int last = rows - 1;
    if (r.Packets.Cell(last, 1) == "S , Cut") {
        const std::string data(r.Packets.Cell(last, 7));
        EXPECT_EQ(HexWords(t.Bytes).substr(0, data.size()), data);
        if (!r.Packets.Cell(last, 2).empty()) {
            EXPECT_EQ(r.Packets.Cell(last, 2), address);
        }
        --rows;
    }
    for (int row = 0; row < rows; ++row) {
        EXPECT_EQ(r.Packets.Cell(row, 1), "SP") << row;
        EXPECT_EQ(r.Packets.Cell(row, 2), address) << row;
        EXPECT_EQ(r.Packets.Cell(row, 6), std::to_string(t.Bytes.size())) << row;
        EXPECT_EQ(r.Packets.Cell(row, 7), HexWords(t.Bytes)) << row;
        if (row > 0) {
            EXPECT_NE(r.Packets.Cell(row, 5), r.Packets.Cell(row - 1, 5)) << row;
        }
    }
    // (A cut transfer that ended before its address is a row of its own.)
    const bool blankCut = rows < r.Packets.Rows() && r.Packets.Cell(last, 2).empty();
    ASSERT_EQ(r.Addresses.Rows(), blankCut ? 2 : 1);
    EXPECT_EQ(r.Addresses.Cell(0, 0), address);
    EXPECT_EQ(std::stoi(std::string(r.Addresses.Cell(0, 3))) +
                  std::stoi(std::string(r.Addresses.Cell(0, 4))),
              r.Packets.Rows() - (blankCut ? 1 : 0));
}

TEST_P(EndToEnd, SpiBothLines)
{
    const auto &[model, t] = GetParam();
    ProtocolCapture capture(model, std::string("scene=spi,") + t.Scene, t.TimeDivRow, 2, 1,
                            {CFile::CondX, CFile::CondFall});
    ASSERT_TRUE(capture.Valid()) << capture.Why();
    const auto r = WSPI_Core::Decode(capture.Window(), {}, capture.Period());
    ASSERT_EQ(r.State, WSPI_Core::Status::Decoded);
    const std::vector<uint8_t> reversed(t.Bytes.rbegin(), t.Bytes.rend());
    for (int line : {WSPI_Core::Mosi, WSPI_Core::Miso}) {
        const DecodeTable &p = r.Lines[static_cast<size_t>(line)].Packets;
        ASSERT_GE(p.Rows(), 1) << line;
        for (int row = 0; row < p.Rows(); ++row) {
            EXPECT_EQ(p.Cell(row, 1), "0bit") << line << " " << row;
            EXPECT_EQ(p.Cell(row, 3), HexWords(line == WSPI_Core::Mosi ? t.Bytes : reversed))
                << line << " " << row;
        }
    }
}

// Models 3 (16 channels) and 4 (32 channels); 400 kHz and 1 MHz traffic at
// 200 ns, 100 kHz at 1 us per sample.
INSTANTIATE_TEST_SUITE_P(
    Models, EndToEnd,
    testing::Combine(
        testing::Values(3, 4),
        testing::Values(
            Traffic{
                "text=Hello,addr=0x50,clock=100000,gap=200", {'H', 'e', 'l', 'l', 'o'}, 0x50, 10},
            Traffic{
                "data=00FF7E81,addr=0x2C,clock=400000,gap=50", {0x00, 0xFF, 0x7E, 0x81}, 0x2C, 8},
            Traffic{"data=A5,addr=0x7F,clock=1000000,gap=40", {0xA5}, 0x7F, 8})));

} // namespace
