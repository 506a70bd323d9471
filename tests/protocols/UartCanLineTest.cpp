// UART and CAN lines drawn here, independently of the emulated instrument:
// bits of a fractional number of samples (any rate against any sample
// period), a transmitter clock that is off, the first edge at any phase of
// the sample clock, and edges that wander by a little. Random bytes
// (0x00 and 0xFF, the longest runs of equal bits, among them), formats and
// frames, from a fixed seed; every frame must decode to what was drawn.

#include "protocols/WCAN_Core.h"
#include "protocols/WUART.h"

#include "UartCanCapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

constexpr int Ch = 6;

// Draws bits of `bitSamples` samples each from sample `at` on; every edge
// moves by up to `wander` samples either way.
class Line
{
public:
    Line(UartCanCapture &capture, double at, std::mt19937 &random, double wander)
        : cap(capture)
        , t(at)
        , rng(random)
        , jitter(-wander, wander)
    {
    }
    void Bits(const std::vector<int> &bits, double bitSamples)
    {
        for (int b : bits) {
            const double from = t + (b != level ? jitter(rng) : 0.0);
            const auto first = static_cast<uint64_t>(std::ceil(std::max(from, 0.0)));
            const auto end = static_cast<uint64_t>(std::ceil(t + bitSamples));
            if (end > first)
                cap.Level(Ch, b, first, end - first);
            t += bitSamples;
            level = b;
        }
    }
    double Now() const { return t; }

private:
    UartCanCapture &cap;
    double t;
    int level = 1;
    std::mt19937 &rng;
    std::uniform_real_distribution<double> jitter;
};

TEST(UartLine, FramesAtAnyRateWithAnOffClockDecode)
{
    std::mt19937 rng(31);
    for (int run = 0; run < 200; ++run) {
        const int dataBits = 5 + static_cast<int>(rng() % 4);
        const int parity = dataBits == 8 ? 0 : static_cast<int>(rng() % 3);
        const int stopBits = 1 + static_cast<int>(rng() % 2);
        const uint32_t baud = 9600;
        // 3 to 24 samples per bit: the period is the bit over that.
        const double samplesPerBit = std::uniform_real_distribution<double>(3.0, 24.0)(rng);
        const uint64_t periodPs =
            static_cast<uint64_t>(std::llround(1e12 / baud / samplesPerBit));
        const double skew = std::uniform_real_distribution<double>(-0.03, 0.03)(rng);
        const double bit = 1e12 / baud / (1 + skew) / static_cast<double>(periodPs);

        UartCanCapture cap(4000);
        cap.timing.SamplePeriod = WTime::Of(static_cast<uint32_t>(periodPs % 1000),
                                            static_cast<uint32_t>(periodPs / 1000 % 1000),
                                            static_cast<uint32_t>(periodPs / 1000000));
        cap.Level(Ch, 1, 0, 4064);
        Line line(cap, 5 + std::uniform_real_distribution<double>(0, 1)(rng), rng, 0.02 * bit);
        std::vector<uint32_t> sent;
        while (line.Now() + 14 * bit < 4000) {
            const uint32_t value = rng() % 4 == 0 ? (rng() % 2 ? 0u : 0xFFu) : rng() % 256;
            const uint32_t data = value & ((1u << dataBits) - 1);
            std::vector<int> bits{0};
            int ones = 0;
            for (int k = 0; k < dataBits; ++k) {
                bits.push_back((data >> k) & 1);
                ones += (data >> k) & 1;
            }
            if (parity)
                bits.push_back(parity == WUART::ParityOdd ? (ones + 1) % 2 : ones % 2);
            bits.insert(bits.end(), static_cast<size_t>(stopBits), 1);
            line.Bits(bits, bit);
            line.Bits(std::vector<int>(rng() % 3, 1), bit); // idle between some frames
            sent.push_back(data);
        }

        WUART uart;
        uart.Channel = Ch;
        uart.BaudIndex = WUART::DefaultBaudIndex;
        uart.FrameBits = dataBits + (parity ? 1 : 0);
        uart.ParityMode = parity;
        uart.StopBits = stopBits;
        uart.TextMode = WUART::Hex;
        const DecodeTable table = uart.Decode(cap.rec, cap.timing);
        const std::string what = "run " + std::to_string(run) + ": " + std::to_string(dataBits) +
                                 "NOE"[parity] + std::to_string(stopBits) + ", " +
                                 std::to_string(samplesPerBit) + " samples per bit, skew " +
                                 std::to_string(skew * 100) + " %";
        ASSERT_EQ(table.Message, "") << what;
        ASSERT_EQ(table.Rows(), static_cast<int>(sent.size())) << what;
        for (int r = 0; r < table.Rows(); ++r) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", sent[static_cast<size_t>(r)]);
            ASSERT_EQ(table.Cell(r, 1), hex) << what << ", row " << r;
            ASSERT_EQ(table.Cell(r, 3), "Packet OK") << what << ", row " << r;
            ASSERT_EQ(table.Cell(r, 2).find("Fail"), std::string::npos) << what << ", row " << r;
        }
    }
}

void Push(std::vector<int> &bits, uint32_t value, int count)
{
    for (int i = count - 1; i >= 0; --i)
        bits.push_back((value >> i) & 1);
}

// A data frame on the line: stuffed from the start of frame to the CRC,
// then the delimiters, ACK, end of frame and intermission.
std::vector<int> CanLine(uint32_t id, bool extended, const std::vector<uint8_t> &data)
{
    std::vector<int> bits{0};
    if (extended) {
        Push(bits, id >> 18, 11);
        Push(bits, 3, 2);
        Push(bits, id & 0x3FFFF, 18);
        Push(bits, 0, 3);
    } else {
        Push(bits, id, 11);
        Push(bits, 0, 3);
    }
    Push(bits, static_cast<uint32_t>(data.size()), 4);
    for (uint8_t b : data)
        Push(bits, b, 8);
    std::vector<uint8_t> raw(bits.begin(), bits.end());
    Push(bits, WCAN_Core::Crc15(raw.data(), raw.size()), 15);
    std::vector<int> line;
    int run = 0, last = -1;
    for (int b : bits) {
        line.push_back(b);
        run = b == last ? run + 1 : 1;
        last = b;
        if (run == 5) {
            line.push_back(1 - b);
            last = 1 - b;
            run = 1;
        }
    }
    for (int b : {1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1})
        line.push_back(b);
    return line;
}

TEST(CanLine, LongFramesWithAnOffClockDecode)
{
    std::mt19937 rng(32);
    for (int run = 0; run < 200; ++run) {
        const uint32_t rate = 500000;
        const double samplesPerBit = std::uniform_real_distribution<double>(4.0, 20.0)(rng);
        const uint64_t periodPs =
            static_cast<uint64_t>(std::llround(1e12 / rate / samplesPerBit));
        const double skew = std::uniform_real_distribution<double>(-0.01, 0.01)(rng);
        const double bit = 1e12 / rate / (1 + skew) / static_cast<double>(periodPs);

        UartCanCapture cap(4000);
        cap.timing.SamplePeriod = WTime::Of(static_cast<uint32_t>(periodPs % 1000),
                                            static_cast<uint32_t>(periodPs / 1000 % 1000));
        cap.Level(Ch, 1, 0, 4064);
        Line line(cap, 3 + std::uniform_real_distribution<double>(0, 1)(rng), rng, 0.01 * bit);
        struct Sent
        {
            uint32_t id;
            bool extended;
            std::vector<uint8_t> data;
        };
        std::vector<Sent> sent;
        while (line.Now() + 170 * bit < 4000) {
            Sent s{static_cast<uint32_t>(rng() & 0x1FFFFFFF), rng() % 2 == 0, {}};
            if (!s.extended)
                s.id &= 0x7FF;
            s.data.resize(rng() % 9);
            for (uint8_t &b : s.data)
                b = static_cast<uint8_t>(rng() % 3 == 0 ? (rng() % 2 ? 0 : 0xFF) : rng());
            line.Bits(CanLine(s.id, s.extended, s.data), bit);
            sent.push_back(s);
        }

        WCAN_Core can;
        can.Channel = Ch;
        can.RateIndex = 23; // 500,000
        const DecodeTable table = can.Decode(cap.rec, cap.timing);
        const std::string what = "run " + std::to_string(run) + ", " +
                                 std::to_string(samplesPerBit) + " samples per bit, skew " +
                                 std::to_string(skew * 100) + " %";
        ASSERT_EQ(table.Message, "") << what;
        ASSERT_EQ(table.Rows(), static_cast<int>(sent.size())) << what;
        for (int r = 0; r < table.Rows(); ++r) {
            const Sent &s = sent[static_cast<size_t>(r)];
            std::string data;
            for (uint8_t b : s.data) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "%02X , ", b);
                data += hex;
            }
            char id[16];
            std::snprintf(id, sizeof id, "%03X", s.extended ? s.id >> 18 : s.id);
            ASSERT_EQ(table.Cell(r, WCAN_Core::BasicId), id) << what << ", row " << r;
            ASSERT_EQ(table.Cell(r, WCAN_Core::Data), data) << what << ", row " << r;
            ASSERT_EQ(table.Cell(r, WCAN_Core::Status), "OK") << what << ", row " << r;
        }
    }
}

} // namespace
