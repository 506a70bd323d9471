#include "device/SignalScene.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

bool Bit(uint32_t word, int channel)
{
    return (word >> channel) & 1;
}

// One period of a scene, sampled every `periodPs`.
std::vector<uint32_t> Sampled(const SignalScene &scene, uint64_t periodPs)
{
    std::vector<uint32_t> out;
    for (uint64_t n = 0; n * periodPs < scene.LoopPs(); ++n)
        out.push_back(scene.Sample(n, periodPs));
    return out;
}

SceneOptions Options(SceneOptions::Kind kind, std::string text)
{
    SceneOptions o;
    o.Scene = kind;
    o.Data.assign(text.begin(), text.end());
    return o;
}

TEST(SignalScene, CounterStepsEveryEightSamplesInBothHalves)
{
    const SignalScene scene({}, 32);
    EXPECT_EQ(scene.Sample(0, 4000), 0u);
    EXPECT_EQ(scene.Sample(7, 4000), 0u);
    EXPECT_EQ(scene.Sample(8, 4000), 0x00010001u);
    EXPECT_EQ(scene.Sample(8 * 0x1234, 4000), 0x12341234u);
    const SignalScene narrow({}, 16);
    EXPECT_EQ(narrow.Sample(8 * 0x1234, 4000), 0x1234u) << "no inputs above CH15";
}

TEST(SignalScene, UartSendsTheTextEightNOne)
{
    SceneOptions o = Options(SceneOptions::Kind::Uart, "Hello");
    o.Baud = 9600;
    const SignalScene scene(o, 32);
    const uint64_t period = 1000000; // 1 us: about 104 samples per bit
    const auto s = Sampled(scene, period);
    const double bit = 1e12 / 9600 / static_cast<double>(period);
    std::string text;
    for (size_t n = 1; n < s.size(); ++n) {
        if (Bit(s[n - 1], SignalScene::UartTx) && !Bit(s[n], SignalScene::UartTx)) {
            uint8_t value = 0;
            for (int b = 0; b < 8; ++b) {
                const auto at = static_cast<size_t>(n + bit * (1.5 + b));
                value |= static_cast<uint8_t>(Bit(s[at], SignalScene::UartTx) << b);
            }
            EXPECT_TRUE(Bit(s[static_cast<size_t>(n + bit * 9.5)], SignalScene::UartTx));
            text.push_back(static_cast<char>(value));
            n += static_cast<size_t>(bit * 9.5);
        }
    }
    EXPECT_EQ(text, "Hello");
    for (uint32_t w : s)
        ASSERT_EQ(w & ~(1u << SignalScene::UartTx), 0u) << "only CH4 moves";
}

// A transmitter whose clock runs `skew` percent fast sends bits of
// 100 / (100 + skew) of their time: the first low stretch (the UART start
// bit of 0x55; the CAN start of frame and two identifier zeros) shows it.
TEST(SignalScene, SkewedTransmittersSendShorterOrLongerBits)
{
    for (int skew : {-3, -1, 0, 1, 3}) {
        SceneOptions uart = Options(SceneOptions::Kind::Uart, "U");
        uart.Baud = 9600;
        uart.SkewPercent = skew;
        const SignalScene us(uart, 16);
        const auto &u = us.Changes();
        ASSERT_GE(u.size(), 3u);
        EXPECT_EQ(u[2].TimePs - u[1].TimePs, 100000000000000ull / (9600 * (100 + skew))) << skew;
        EXPECT_EQ(u[1].TimePs, 100000000000000ull / (9600 * (100 + skew))) << skew;

        SceneOptions can = Options(SceneOptions::Kind::Can, "A");
        can.BitRate = 500000;
        can.SkewPercent = skew;
        const SignalScene cs(can, 16);
        const auto &c = cs.Changes();
        ASSERT_GE(c.size(), 3u);
        EXPECT_EQ(c[2].TimePs - c[1].TimePs, 3 * (100000000000000ull / (500000 * (100 + skew))))
            << skew;
    }
}

TEST(SignalScene, SpiShiftsMosiAndMisoOnRisingClockWhileSelected)
{
    SceneOptions o = Options(SceneOptions::Kind::Spi, "AB");
    o.Data = {0x3C, 0xA5, 0x81};
    const SignalScene scene(o, 16);
    const auto s = Sampled(scene, 500000); // 0.5 us against a 10 us clock
    std::vector<uint8_t> mosi, miso;
    int bits = 0;
    uint8_t out = 0, in = 0;
    for (size_t n = 1; n < s.size(); ++n) {
        if (Bit(s[n], SignalScene::SpiSs))
            continue;
        if (!Bit(s[n - 1], SignalScene::SpiSck) && Bit(s[n], SignalScene::SpiSck)) {
            out = static_cast<uint8_t>(out << 1 | Bit(s[n], SignalScene::SpiMosi));
            in = static_cast<uint8_t>(in << 1 | Bit(s[n], SignalScene::SpiMiso));
            if (++bits % 8 == 0) {
                mosi.push_back(out);
                miso.push_back(in);
            }
        }
    }
    EXPECT_EQ(mosi, (std::vector<uint8_t>{0x3C, 0xA5, 0x81}));
    EXPECT_EQ(miso, (std::vector<uint8_t>{0x81, 0xA5, 0x3C}));
    EXPECT_TRUE(Bit(s.front(), SignalScene::SpiSs));
}

TEST(SignalScene, I2cWritesThenReadsBackWithAcknowledges)
{
    SceneOptions o = Options(SceneOptions::Kind::I2c, "");
    o.Data = {0x12, 0xFE};
    o.Address = 0x50;
    const SignalScene scene(o, 16);
    const auto s = Sampled(scene, 250000); // 0.25 us against a 10 us bit
    // Bytes with their ninth (acknowledge) bit, frame by frame.
    std::vector<std::vector<std::pair<uint8_t, bool>>> frames;
    int bits = 0;
    unsigned value = 0;
    for (size_t n = 1; n < s.size(); ++n) {
        const bool sclWas = Bit(s[n - 1], SignalScene::I2cScl);
        const bool scl = Bit(s[n], SignalScene::I2cScl);
        const bool sdaWas = Bit(s[n - 1], SignalScene::I2cSda);
        const bool sda = Bit(s[n], SignalScene::I2cSda);
        if (scl && sclWas && sdaWas && !sda) { // start
            frames.emplace_back();
            bits = 0;
            value = 0;
        } else if (!sclWas && scl && !frames.empty()) {
            value = value << 1 | (sda ? 1 : 0);
            if (++bits == 9) {
                frames.back().emplace_back(static_cast<uint8_t>(value >> 1), (value & 1) == 0);
                bits = 0;
                value = 0;
            }
        }
    }
    ASSERT_EQ(frames.size(), 2u);
    using Byte = std::pair<uint8_t, bool>;
    EXPECT_EQ(frames[0], (std::vector<Byte>{{0xA0, true}, {0x12, true}, {0xFE, true}}));
    EXPECT_EQ(frames[1], (std::vector<Byte>{{0xA1, true}, {0x12, true}, {0xFE, false}}));
}

// The bits clocked in each I2C frame (from a START to the next START or
// STOP, as "0"/"1" text) and how each frame ended ('P' STOP, 'S' START).
std::vector<std::pair<std::string, char>> I2cFrames(const SignalScene &scene)
{
    const auto s = Sampled(scene, 250000);
    std::vector<std::pair<std::string, char>> frames;
    bool open = false;
    for (size_t n = 1; n < s.size(); ++n) {
        const bool sclWas = Bit(s[n - 1], SignalScene::I2cScl);
        const bool scl = Bit(s[n], SignalScene::I2cScl);
        const bool sdaWas = Bit(s[n - 1], SignalScene::I2cSda);
        const bool sda = Bit(s[n], SignalScene::I2cSda);
        if (scl && sclWas && sdaWas != sda) {
            if (open)
                frames.back().second = sda ? 'P' : 'S';
            open = !sda;
            if (open)
                frames.push_back({"", '?'});
        } else if (!sclWas && scl && open) {
            frames.back().first.push_back(sda ? '1' : '0');
        }
    }
    return frames;
}

TEST(SignalScene, I2cOptionsChangeTheFrames)
{
    struct Case
    {
        void (*Change)(SceneOptions &);
        std::vector<std::pair<std::string, char>> Frames;
    };
    // Address 0x50, one data byte 0x12. Each clocked bit is listed; the last
    // one of a frame is the clock pulse of the STOP (SDA low).
    const Case cases[] = {
        {[](SceneOptions &) {},
         {{"1010000"
           "0"
           "0"
           "00010010"
           "0"
           "0",
           'P'},
          {"1010000"
           "1"
           "0"
           "00010010"
           "1"
           "0",
           'P'}}},
        {[](SceneOptions &o) { o.I2cNack = true; },
         {{"1010000"
           "0"
           "1"
           "0",
           'P'},
          {"1010000"
           "1"
           "1"
           "0",
           'P'}}},
        {[](SceneOptions &o) { o.I2cRestart = true; },
         {{"1010000"
           "0"
           "0"
           "00010010"
           "0"
           "1",
           'S'},
          {"1010000"
           "1"
           "0"
           "00010010"
           "1"
           "0",
           'P'}}},
        // 10 bits: 11110 A9 A8 W, ACK, A7..A0, ACK; a read repeats START
        // and 11110 A9 A8 with R.
        {[](SceneOptions &o) {
             o.I2cAddressBits = 10;
             o.Address = 0x2A5;
         },
         {{"1111010"
           "0"
           "0"
           "10100101"
           "0"
           "00010010"
           "0"
           "0",
           'P'},
          {"1111010"
           "0"
           "0"
           "10100101"
           "0"
           "1",
           'S'},
          {"1111010"
           "1"
           "0"
           "00010010"
           "1"
           "0",
           'P'}}},
        // Straight after the write, the header alone reads from its address.
        {[](SceneOptions &o) {
             o.I2cAddressBits = 10;
             o.Address = 0x2A5;
             o.I2cRestart = true;
         },
         {{"1111010"
           "0"
           "0"
           "10100101"
           "0"
           "00010010"
           "0"
           "1",
           'S'},
          {"1111010"
           "1"
           "0"
           "00010010"
           "1"
           "0",
           'P'}}},
        {[](SceneOptions &o) {
             o.I2cAddressBits = 10;
             o.Address = 0x2A5;
             o.I2cNack = true;
         },
         {{"1111010"
           "0"
           "1"
           "0",
           'P'},
          {"1111010"
           "0"
           "1"
           "0",
           'P'}}},
    };
    for (const Case &c : cases) {
        SceneOptions o = Options(SceneOptions::Kind::I2c, "");
        o.Data = {0x12};
        o.Address = 0x50;
        c.Change(o);
        EXPECT_EQ(I2cFrames(SignalScene(o, 16)), c.Frames);
    }
}

TEST(SignalScene, SpiWordsOfNineBitsComeFromThePayloadsBits)
{
    SceneOptions o = Options(SceneOptions::Kind::Spi, "");
    o.Data = {0xA5, 0x0F, 0xF0};
    o.SpiWordBits = 9;
    const SignalScene scene(o, 16);
    const auto s = Sampled(scene, 500000);
    std::string mosi, miso;
    for (size_t n = 1; n < s.size(); ++n) {
        if (!Bit(s[n], SignalScene::SpiSs) && !Bit(s[n - 1], SignalScene::SpiSck) &&
            Bit(s[n], SignalScene::SpiSck)) {
            mosi.push_back(Bit(s[n], SignalScene::SpiMosi) ? '1' : '0');
            miso.push_back(Bit(s[n], SignalScene::SpiMiso) ? '1' : '0');
        }
    }
    // 24 payload bits make two words; the last six bits are not sent.
    EXPECT_EQ(mosi, "101001010"
                    "000111111");
    EXPECT_EQ(miso, "111100000"
                    "000111110");
}

TEST(SignalScene, CanFrameCarriesIdentifierDataAndCrcWithStuffing)
{
    SceneOptions o = Options(SceneOptions::Kind::Can, "");
    o.Data = {0x00, 0xFF, 0x55};
    o.CanId = 0x123;
    o.BitRate = 125000;
    const SignalScene scene(o, 32);
    const uint64_t bitPs = 8000000;
    // Take one sample per bit in the middle of the bit.
    std::vector<bool> line;
    for (uint64_t t = bitPs / 2; t < scene.LoopPs(); t += bitPs)
        line.push_back(Bit(scene.Sample(t / 1000, 1000), SignalScene::CanLine));
    size_t sof = 0;
    while (sof < line.size() && line[sof])
        ++sof;
    ASSERT_LT(sof, line.size());
    // Remove stuff bits up to the end of the CRC (19 + 24 + 15 bits unstuffed).
    std::vector<bool> bits;
    int run = 0;
    bool last = true;
    for (size_t i = sof; bits.size() < 19 + 24 + 15 && i < line.size(); ++i) {
        if (run == 5) {
            EXPECT_NE(line[i], last) << "a stuff bit follows five equal bits";
            run = 1;
            last = line[i];
            continue;
        }
        bits.push_back(line[i]);
        run = line[i] == last ? run + 1 : 1;
        last = line[i];
    }
    auto field = [&](size_t from, int count) {
        uint32_t v = 0;
        for (int k = 0; k < count; ++k)
            v = v << 1 | (bits[from + static_cast<size_t>(k)] ? 1 : 0);
        return v;
    };
    EXPECT_EQ(field(1, 11), 0x123u);
    EXPECT_EQ(field(15, 4), 3u);
    EXPECT_EQ(field(19, 8), 0x00u);
    EXPECT_EQ(field(27, 8), 0xFFu);
    EXPECT_EQ(field(35, 8), 0x55u);
    uint16_t crc = 0;
    for (size_t i = 0; i < 43; ++i) {
        const bool top = ((crc >> 14) & 1) != bits[i];
        crc = static_cast<uint16_t>((crc << 1) & 0x7FFF);
        if (top)
            crc ^= 0x4599;
    }
    EXPECT_EQ(field(43, 15), crc);
}

TEST(SignalScene, CpuBusCyclesHaveOneSelectAndAStableAddress)
{
    SceneOptions o = Options(SceneOptions::Kind::CpuBus, "");
    o.Address = 0x0100;
    o.ClockHz = 1000000;
    const SignalScene scene(o, 32);
    const auto s = Sampled(scene, 50000); // 50 ns against 250 ns phases
    int reads = 0, writes = 0, rom1 = 0;
    for (size_t n = 1; n < s.size(); ++n) {
        const bool readFell =
            Bit(s[n - 1], SignalScene::CpuRead) && !Bit(s[n], SignalScene::CpuRead);
        const bool writeFell =
            Bit(s[n - 1], SignalScene::CpuWrite) && !Bit(s[n], SignalScene::CpuWrite);
        if (!readFell && !writeFell)
            continue;
        reads += readFell;
        writes += writeFell;
        const uint32_t selects = ~(s[n] >> SignalScene::CpuSelectIo2) & 0x3F;
        ASSERT_EQ(__builtin_popcount(selects), 1) << "sample " << n;
        if (Bit(selects, SignalScene::CpuSelectRom1 - SignalScene::CpuSelectIo2)) {
            EXPECT_EQ(s[n] & 0xFFFF, 0x0100u + 2u * static_cast<uint32_t>(rom1));
            ++rom1;
        }
    }
    EXPECT_EQ(rom1, 64);
    EXPECT_GT(writes, 0);
    EXPECT_GT(reads, writes);
}

} // namespace
