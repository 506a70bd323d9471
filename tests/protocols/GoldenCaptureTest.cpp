// Stored decodes of the emulated instrument's I2C and SPI scenes: each
// capture in tests/protocols/data/ decodes to exactly its stored rows.
//
// After a reviewed decoder change, TRACEMOOR_ACCEPT_DECODES=1 rewrites the
// .rows files from the stored captures; TRACEMOOR_ACCEPT_DECODES=capture
// also takes the captures anew from the emulated instrument
// (scripts/accept-decodes.sh). Review `git diff` before committing.

#include "DecodeFixture.h"
#include "ProtocolBench.h"

#include "protocols/WI2C_Analyzer.h"
#include "protocols/WSPI_Core.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

namespace {

struct Golden
{
    const char *Name;
    const char *Scene; // TRACEMOOR_DEVICE items
    int Model, TimeDivRow, DepthIndex, Tenths;
    std::initializer_list<uint8_t> Trigger; // pattern 1 from CH0 on
    bool Spi;
    std::function<void(WI2C_Analyzer::Settings &)> I2cOptions;
    std::function<void(WSPI_Core::Settings &)> SpiOptions;
    friend void PrintTo(const Golden &g, std::ostream *os) { *os << g.Name; }
};

constexpr uint8_t H = CFile::CondHigh, L = CFile::CondLow, F = CFile::CondFall, R = CFile::CondRise,
                  X = CFile::CondX;

// I2C START: SDA falls while SCL is high. SPI: SS falls, SS rises, or SCK
// rises while SS is low.
const std::initializer_list<uint8_t> I2cStart{H, F};
const std::initializer_list<uint8_t> SsFalls{X, F}, SsRises{X, R}, ClockInMessage{R, L};

std::string Decoded(const Golden &g, const CaptureWindow &w, const WTime &period)
{
    std::string out;
    if (!g.Spi) {
        WI2C_Analyzer::Settings s;
        if (g.I2cOptions)
            g.I2cOptions(s);
        const auto r = WI2C_Analyzer::Decode(w, s, period);
        AppendTable(out, "packets", r.Packets);
        AppendTable(out, "addresses", r.Addresses);
        return out;
    }
    WSPI_Core::Settings s;
    if (g.SpiOptions)
        g.SpiOptions(s);
    const auto r = WSPI_Core::Decode(w, s, period);
    AppendTable(out, "mosi packets", r.Lines[0].Packets);
    AppendTable(out, "mosi statistics", r.Lines[0].Statistics);
    AppendTable(out, "miso packets", r.Lines[1].Packets);
    AppendTable(out, "miso statistics", r.Lines[1].Statistics);
    return out;
}

class GoldenCaptures : public testing::TestWithParam<Golden>
{
};

TEST_P(GoldenCaptures, DecodeToTheStoredRows)
{
    const Golden &g = GetParam();
    const std::string base = std::string(TRACEMOOR_TEST_DATA) + "/" + g.Name;
    const char *accept = std::getenv("TRACEMOOR_ACCEPT_DECODES");
    const std::string mode = accept == nullptr ? "" : accept;

    if (mode == "capture") {
        ProtocolCapture capture(g.Model, g.Scene, g.TimeDivRow, g.DepthIndex, g.Tenths, g.Trigger);
        ASSERT_TRUE(capture.Valid()) << "the trigger was not confirmed";
        const auto fixture = DecodeFixture::FromWindow(capture.Window(), capture.Period());
        ASSERT_TRUE(WriteText(base + ".capture", fixture.Text()));
    }
    const auto text = ReadText(base + ".capture");
    ASSERT_TRUE(text) << base << ".capture is missing (TRACEMOOR_ACCEPT_DECODES=capture)";
    auto fixture = DecodeFixture::Parse(*text);
    ASSERT_TRUE(fixture) << base << ".capture cannot be read";
    const std::string rows = Decoded(g, fixture->Window(), fixture->Period());
    if (!mode.empty()) {
        ASSERT_TRUE(WriteText(base + ".rows", rows));
        return;
    }
    const auto expected = ReadText(base + ".rows");
    ASSERT_TRUE(expected) << base << ".rows is missing (TRACEMOOR_ACCEPT_DECODES=1)";
    EXPECT_EQ(rows, *expected) << "decode of " << base << ".capture";
}

INSTANTIATE_TEST_SUITE_P(
    Emulated, GoldenCaptures,
    testing::Values(
        // A write of "Hi" to 0x50 and its read back, the read's last byte
        // unacknowledged by the master; 1 us samples of a 100 kHz bus.
        Golden{"i2c-write-read", "scene=i2c,text=Hi,addr=0x50,clock=100000,gap=200", 3, 10, 1, 1,
               I2cStart, false, nullptr, nullptr},
        Golden{"i2c-nack", "scene=i2c,text=Hi,addr=0x3C,clock=100000,gap=200,nack", 3, 10, 1, 1,
               I2cStart, false, nullptr, nullptr},
        Golden{"i2c-repeated-start", "scene=i2c,data=0142,addr=0x68,clock=100000,gap=200,restart",
               3, 10, 1, 1, I2cStart, false, nullptr, nullptr},
        Golden{"i2c-10bit-address", "scene=i2c,data=A5,addr=0x2A5,abits=10,clock=100000,gap=200", 4,
               10, 1, 1, I2cStart, false, [](WI2C_Analyzer::Settings &s) { s.AddressBits = 10; },
               nullptr},
        // A 256-bit message at 100 kHz outlasts the 1 ms record taken inside it.
        Golden{"spi-ss-never-inactive",
               "scene=spi,text=SS stays low over the whole record!,clock=100000,gap=10,seed=2", 3,
               10, 1, 1, ClockInMessage, true, nullptr, nullptr},
        // The record begins 20 us before the end of a 40 us message.
        Golden{"spi-partial-first-packet", "scene=spi,text=Hello,clock=1000000,gap=100", 3, 8, 1, 1,
               SsRises, true, nullptr, nullptr},
        Golden{"spi-9bit-words", "scene=spi,data=A50FF0C3,bits=9,clock=1000000,gap=100", 4, 8, 1, 1,
               SsFalls, true, nullptr,
               [](WSPI_Core::Settings &s) { s.Lines[0].WordBits = s.Lines[1].WordBits = 9; }}),
    [](const testing::TestParamInfo<Golden> &p) {
        std::string name = p.param.Name;
        for (char &c : name)
            c = c == '-' ? '_' : c;
        return name;
    });

} // namespace
