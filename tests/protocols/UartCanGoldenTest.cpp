// Known traffic end to end: the emulated instrument's UART and CAN scenes,
// captured through the command path on a 16-channel (5) and a 32-channel
// (8) model, decode to exactly what the scene sent. The small golden
// captures below keep their expected rows as CSV in tests/protocols/data/;
// TRACEMOOR_ACCEPT_ROWS=1 writes them instead (scripts/accept-rows.sh).

#include "files/AtomicFile.h"
#include "protocols/DecodeCsv.h"
#include "protocols/WCAN_Core.h"
#include "protocols/WUART.h"

#include "UartCanShot.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// --- Everything sent comes back ---------------------------------------------

struct UartTraffic
{
    UartCanShot shot;
    int baudIndex;
};

class UartTrafficTest : public testing::TestWithParam<UartTraffic>
{
};

// "Hello" again and again: the rows are the text from its first byte on,
// as far as the record reaches, every one clean.
TEST_P(UartTrafficTest, DecodesTheBytesSent)
{
    const UartTraffic &c = GetParam();
    WUART uart;
    uart.Channel = c.shot.channel;
    uart.BaudIndex = c.baudIndex;
    uart.TextMode = WUART::Hex;
    const DecodeTable table = c.shot.Decode(uart);
    ASSERT_EQ(table.Message, "");
    ASSERT_GE(table.Rows(), 6);
    const std::string text = "Hello";
    for (int r = 0; r < table.Rows(); ++r) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", text[r % text.size()]);
        EXPECT_EQ(table.Cell(r, 1), hex) << r;
        EXPECT_EQ(table.Cell(r, 3), "Packet OK") << r;
        EXPECT_FALSE(table.Marked(r)) << r;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rates, UartTrafficTest,
    testing::Values(UartTraffic{{5, "scene=uart,baud=9600,gap=2000", 10, 5, 4, 1500}, 11},
                    UartTraffic{{5, "scene=uart,baud=115200,gap=300", 7, 5, 4, 150}, 16},
                    UartTraffic{{8, "scene=uart,baud=1200,gap=20000", 12, 6, 4, 12000}, 6},
                    UartTraffic{{8, "scene=uart,baud=57600,gap=500", 8, 5, 4, 300}, 15}));

struct CanTraffic
{
    UartCanShot shot;
    int rateIndex;
};

class CanTrafficTest : public testing::TestWithParam<CanTraffic>
{
};

// Twelve bytes in two frames (8 and 4 bytes) again and again.
TEST_P(CanTrafficTest, DecodesTheFramesSent)
{
    const CanTraffic &c = GetParam();
    WCAN_Core can;
    can.Channel = c.shot.channel;
    can.RateIndex = c.rateIndex;
    const DecodeTable table = c.shot.Decode(can);
    ASSERT_EQ(table.Message, "");
    ASSERT_GE(table.Rows(), 3);
    const std::string frames[2] = {"48 , 65 , 6C , 6C , 6F , 2C , 20 , 43 , ",
                                   "41 , 4E , 21 , 21 , "};
    for (int r = 0; r < table.Rows(); ++r) {
        if (r + 1 == table.Rows() && table.Cell(r, WCAN_Core::Status) == "Incomplete")
            break;
        EXPECT_EQ(table.Cell(r, WCAN_Core::BasicId), "123") << r;
        EXPECT_EQ(table.Cell(r, WCAN_Core::Control), r % 2 ? "4" : "8") << r;
        EXPECT_EQ(table.Cell(r, WCAN_Core::Data), frames[r % 2]) << r;
        EXPECT_EQ(table.Cell(r, WCAN_Core::Ack), "01") << r;
        EXPECT_EQ(table.Cell(r, WCAN_Core::Status), "OK") << r;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rates, CanTrafficTest,
    testing::Values(CanTraffic{{5, "scene=can,data=48656C6C6F2C2043414E2121,bitrate=125000,gap=300",
                                8, 5, 5, 200},
                               19},
                    CanTraffic{{5, "scene=can,data=48656C6C6F2C2043414E2121,bitrate=10000,gap=4000",
                                12, 5, 5, 2500},
                               8},
                    CanTraffic{{8, "scene=can,data=48656C6C6F2C2043414E2121,bitrate=500000,gap=100",
                                6, 5, 5, 50},
                               23},
                    CanTraffic{{8, "scene=can,data=48656C6C6F2C2043414E2121,bitrate=1000000,gap=50",
                                4, 6, 5, 25},
                               25}));

// --- Golden captures ----------------------------------------------------------

struct Golden
{
    const char *name; // tests/protocols/data/<name>.csv
    UartCanShot shot;
    bool can;
    // UART: data bits, parity, text mode; CAN: Extension Mode "Dispaly".
    int dataBits = 8;
    int parity = WUART::ParityNone;
    int textMode = WUART::Both;
    int rateIndex = 0;
};

class GoldenTest : public testing::TestWithParam<Golden>
{
};

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_P(GoldenTest, DecodesToTheStoredRows)
{
    const Golden &g = GetParam();
    DecodeTable table;
    std::vector<std::string> headers;
    if (g.can) {
        WCAN_Core can;
        can.Channel = g.shot.channel;
        can.RateIndex = g.rateIndex;
        table = g.shot.Decode(can);
        headers = WCAN_Core::Headers();
    } else {
        WUART uart;
        uart.Channel = g.shot.channel;
        uart.BaudIndex = g.rateIndex;
        uart.FrameBits = g.dataBits + (g.parity != WUART::ParityNone ? 1 : 0);
        uart.ParityMode = g.parity;
        uart.TextMode = g.textMode;
        table = g.shot.Decode(uart);
        headers = WUART::Headers();
    }
    ASSERT_EQ(table.Message, "");
    const std::string csv = DecodeCsv::Text(headers, table);
    const std::string path = std::string(TRACEMOOR_TEST_DATA "/") + g.name + ".csv";
    const char *accept = std::getenv("TRACEMOOR_ACCEPT_ROWS");
    if (accept && std::string(accept) == "1") {
        ASSERT_TRUE(AtomicFile::Write(path, csv)) << path;
        std::printf("accepted %s\n", path.c_str());
        return;
    }
    EXPECT_EQ(csv, ReadFile(path)) << path << " (TRACEMOOR_ACCEPT_ROWS=1 writes it)";
}

INSTANTIATE_TEST_SUITE_P(
    Captures, GoldenTest,
    testing::Values(
        Golden{"uart-parity-error",
               {5, "scene=uart,text=Hi!,uart=7O1,parityerror=2,baud=9600,gap=2000", 10, 4, 4, 1500},
               false,
               7,
               WUART::ParityOdd,
               WUART::Both,
               11},
        Golden{"uart-framing-error",
               {8, "scene=uart,text=Hi!,framingerror=2,baud=19200,gap=1000", 9, 4, 4, 700},
               false,
               8,
               WUART::ParityNone,
               WUART::Hex,
               13},
        Golden{"uart-7-even",
               {5, "scene=uart,text=Ok,uart=7E1,baud=38400,gap=500", 8, 4, 4, 300},
               false,
               7,
               WUART::ParityEven,
               WUART::Ascii,
               14},
        Golden{"can-extended",
               {8, "scene=can,ext,id=0x1ABCDEF,text=Ext,bitrate=125000,gap=300", 8, 4, 5, 200},
               true,
               8,
               0,
               0,
               19},
        Golden{"can-remote",
               {5, "scene=can,rtr,dlc=2,id=0x7A5,bitrate=125000,gap=300", 8, 4, 5, 200},
               true,
               8,
               0,
               0,
               19},
        Golden{"can-dlc0",
               {5, "scene=can,dlc=0,id=0x010,bitrate=250000,gap=200", 7, 4, 5, 100},
               true,
               8,
               0,
               0,
               21},
        Golden{"can-no-ack",
               {8, "scene=can,noack,text=Hi,id=0x2B0,bitrate=125000,gap=300", 8, 4, 5, 200},
               true,
               8,
               0,
               0,
               19},
        Golden{"can-crc-error",
               {5, "scene=can,crcerror=2,text=0123456789,bitrate=125000,gap=300", 8, 5, 5, 200},
               true,
               8,
               0,
               0,
               19}),
    [](const testing::TestParamInfo<Golden> &p) {
        std::string name = p.param.name;
        for (char &ch : name)
            if (ch == '-')
                ch = '_';
        return name;
    });

} // namespace
