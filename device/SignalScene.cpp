#include "device/SignalScene.h"

#include <algorithm>
#include <array>

namespace {

constexpr uint64_t PsPerSecond = 1000000000000ull;
constexpr uint64_t PsPerUs = 1000000ull;

// Collects level changes while a scene is played through once.
class Timeline
{
public:
    explicit Timeline(uint32_t idle)
        : word(idle)
    {
        changes.push_back({0, idle});
    }

    void Set(int channel, bool level)
    {
        const uint32_t bit = 1u << channel;
        word = level ? word | bit : word & ~bit;
        if (changes.back().TimePs == now)
            changes.back().Word = word;
        else if (changes.back().Word != word)
            changes.push_back({now, word});
    }
    void SetBits(uint32_t mask, uint32_t value)
    {
        for (int c = 0; c < 32; ++c) {
            if ((mask >> c) & 1)
                Set(c, (value >> c) & 1);
        }
    }
    void Wait(uint64_t ps) { now += ps; }
    uint64_t Now() const { return now; }

    std::vector<SignalScene::Change> changes;

private:
    uint32_t word;
    uint64_t now = 0;
};

uint64_t Period(uint32_t hz)
{
    return PsPerSecond / std::max<uint32_t>(hz, 1);
}

// One bit of a transmitter whose clock is `skew` percent fast.
uint64_t SkewedPeriod(uint32_t rate, int skew)
{
    const int percent = 100 + std::clamp(skew, -SceneOptions::MaxSkewPercent,
                                         SceneOptions::MaxSkewPercent);
    return PsPerSecond * 100 / (uint64_t{std::max<uint32_t>(rate, 1)} * static_cast<uint64_t>(percent));
}

// CRC-15 of CAN over the frame bits from start of frame to the data.
uint16_t CanCrc(const std::vector<bool> &bits)
{
    uint16_t crc = 0;
    for (bool bit : bits) {
        const bool top = ((crc >> 14) & 1) != bit;
        crc = static_cast<uint16_t>((crc << 1) & 0x7FFF);
        if (top)
            crc ^= 0x4599;
    }
    return crc;
}

void PushBits(std::vector<bool> &bits, uint32_t value, int count)
{
    for (int i = count - 1; i >= 0; --i)
        bits.push_back((value >> i) & 1);
}

// A fault given for item `at` (1 = the first, -1 every item, 0 none).
bool FaultOn(int at, size_t index)
{
    return at < 0 || (at > 0 && static_cast<size_t>(at) == index + 1);
}

} // namespace

SignalScene::SignalScene(const SceneOptions &options, int channels)
    : kind(options.Scene)
    , counterTickNs(options.CounterTickNs)
    , channelMask(channels >= 32 ? 0xFFFFFFFFu : (1u << channels) - 1)
{
    switch (kind) {
    case SceneOptions::Kind::I2c:
        BuildI2c(options);
        break;
    case SceneOptions::Kind::Spi:
        BuildSpi(options);
        break;
    case SceneOptions::Kind::Uart:
        BuildUart(options);
        break;
    case SceneOptions::Kind::Can:
        BuildCan(options);
        break;
    case SceneOptions::Kind::CpuBus:
        BuildCpuBus(options);
        break;
    case SceneOptions::Kind::Counter:
        break;
    }
}

uint32_t SignalScene::Sample(uint64_t n, uint64_t periodPs) const
{
    if (kind == SceneOptions::Kind::Counter) {
        // Like the Demo: a binary counter in both halves of the word.
        const uint64_t step = counterTickNs == 0 ? n / 8 : n * periodPs / (counterTickNs * 1000ull);
        const uint32_t value = static_cast<uint32_t>(step & 0xFFFF);
        return (value | value << 16) & channelMask;
    }
    if (changes.empty() || loopPs == 0)
        return 0;
    const uint64_t t = (n * periodPs) % loopPs;
    const auto after = std::upper_bound(changes.begin(), changes.end(), t,
                                        [](uint64_t v, const Change &c) { return v < c.TimePs; });
    return std::prev(after)->Word & channelMask;
}

void SignalScene::BuildI2c(const SceneOptions &o)
{
    // A write of the data to the slave, then a read of the same bytes back;
    // between them a STOP and the gap, or a repeated START. A 7-bit address
    // goes out with R/W in one byte; a 10-bit one as 11110 A9 A8 R/W = 0,
    // then A7..A0, and a read repeats START and 11110 A9 A8 with R/W = 1
    // (after a repeated START straight from the write, the header alone
    // reads from the address written last). A slave that acknowledges no
    // address ends each transfer right after it.
    const uint64_t q = Period(o.ClockHz) / 4;
    const bool tenBits = o.I2cAddressBits == 10;
    Timeline tl((1u << I2cScl) | (1u << I2cSda));
    auto bit = [&](bool level) {
        tl.Set(I2cSda, level);
        tl.Wait(q);
        tl.Set(I2cScl, true);
        tl.Wait(2 * q);
        tl.Set(I2cScl, false);
        tl.Wait(q);
    };
    auto bits = [&](uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i)
            bit((value >> i) & 1);
    };
    auto start = [&](bool repeated) {
        if (repeated) {
            tl.Set(I2cSda, true); // release SDA while SCL is low, then SCL
            tl.Wait(q);
            tl.Set(I2cScl, true);
        }
        tl.Wait(q);
        tl.Set(I2cSda, false); // start: SDA falls while SCL is high
        tl.Wait(q);
        tl.Set(I2cScl, false);
        tl.Wait(q);
    };
    const uint32_t header = 0x78 | ((o.Address >> 8) & 3); // 11110 A9 A8
    for (int read = 0; read < 2; ++read) {
        const bool restarted = read == 1 && o.I2cRestart;
        start(restarted);
        if (!tenBits) {
            bits(o.Address & 0x7F, 7);
            bit(read == 1);
            bit(o.I2cNack);
        } else if (restarted && !o.I2cNack) {
            bits(header, 7);
            bit(true);
            bit(false);
        } else {
            bits(header, 7);
            bit(false);
            bit(o.I2cNack);
            if (!o.I2cNack) {
                bits(o.Address & 0xFF, 8);
                bit(false);
                if (read == 1) {
                    start(true);
                    bits(header, 7);
                    bit(true);
                    bit(false);
                }
            }
        }
        for (size_t i = 0; !o.I2cNack && i < o.Data.size(); ++i) {
            bits(o.Data[i], 8);
            bit(read == 1 && i + 1 == o.Data.size()); // the master ends a read unacknowledged
        }
        if (read == 0 && o.I2cRestart && !o.I2cNack)
            continue;
        tl.Set(I2cSda, false);
        tl.Wait(q);
        tl.Set(I2cScl, true);
        tl.Wait(q);
        tl.Set(I2cSda, true); // stop: SDA rises while SCL is high
        tl.Wait(o.GapUs * PsPerUs + q);
    }
    changes = std::move(tl.changes);
    loopPs = tl.Now();
}

void SignalScene::BuildSpi(const SceneOptions &o)
{
    // Mode 0, MSB first, select active low; MISO answers the bytes in
    // reverse. Words of SpiWordBits bits are cut from the payload's bits, MSB
    // first; bits that make no whole word are not sent.
    const uint64_t half = Period(o.ClockHz) / 2;
    const size_t wordBits = std::clamp<uint32_t>(o.SpiWordBits, 1, 28);
    const size_t count = o.Data.size() * 8 / wordBits * wordBits;
    auto bitOf = [&](size_t k, bool reversed) {
        const size_t byte = k / 8;
        const uint8_t value = o.Data[reversed ? o.Data.size() - 1 - byte : byte];
        return ((value >> (7 - k % 8)) & 1) != 0;
    };
    Timeline tl(1u << SpiSs);
    tl.Wait(half);
    tl.Set(SpiSs, false);
    tl.Wait(half);
    for (size_t k = 0; k < count; ++k) {
        tl.Set(SpiMosi, bitOf(k, false));
        tl.Set(SpiMiso, bitOf(k, true));
        tl.Wait(half);
        tl.Set(SpiSck, true);
        tl.Wait(half);
        tl.Set(SpiSck, false);
    }
    tl.Wait(half);
    tl.Set(SpiSs, true);
    tl.Set(SpiMosi, false);
    tl.Set(SpiMiso, false);
    tl.Wait(o.GapUs * PsPerUs + half);
    changes = std::move(tl.changes);
    loopPs = tl.Now();
}

void SignalScene::BuildUart(const SceneOptions &o)
{
    // LSB first, idle high; 8N1 unless the options say otherwise. After the
    // stop bits the line stays idle for one more bit.
    const uint64_t bitPs = SkewedPeriod(o.Baud, o.SkewPercent);
    const int dataBits = std::clamp(o.UartDataBits, 5, 8);
    Timeline tl(1u << UartTx);
    tl.Wait(bitPs);
    for (size_t i = 0; i < o.Data.size(); ++i) {
        const uint8_t value = o.Data[i];
        tl.Set(UartTx, false);
        tl.Wait(bitPs);
        int ones = 0;
        for (int b = 0; b < dataBits; ++b) {
            ones += (value >> b) & 1;
            tl.Set(UartTx, (value >> b) & 1);
            tl.Wait(bitPs);
        }
        if (o.UartParity == 1 || o.UartParity == 2) {
            const bool odd = o.UartParity == 1;
            const bool parity = ((ones & 1) != 0) != odd;
            tl.Set(UartTx, parity != FaultOn(o.ParityErrorAt, i));
            tl.Wait(bitPs);
        }
        tl.Set(UartTx, !FaultOn(o.FramingErrorAt, i));
        tl.Wait(static_cast<uint64_t>(std::clamp(o.UartStopBits, 1, 2)) * bitPs);
        tl.Set(UartTx, true);
        tl.Wait(bitPs);
    }
    tl.Wait(o.GapUs * PsPerUs);
    changes = std::move(tl.changes);
    loopPs = tl.Now();
}

void SignalScene::BuildCan(const SceneOptions &o)
{
    // Data frames of up to 8 bytes carrying the payload; recessive is high.
    const uint64_t bitPs = SkewedPeriod(o.BitRate, o.SkewPercent);
    Timeline tl(1u << CanLine);
    tl.Wait(11 * bitPs);
    const size_t frames = std::max<size_t>(1, (o.Data.size() + 7) / 8);
    for (size_t f = 0; f < frames; ++f) {
        const size_t from = f * 8;
        const size_t count = std::min<size_t>(8, o.Data.size() - std::min(from, o.Data.size()));
        std::vector<bool> bits{false}; // start of frame
        if (o.Extended) {
            PushBits(bits, o.CanId >> 18, 11);
            bits.push_back(true); // SRR
            bits.push_back(true); // IDE
            PushBits(bits, o.CanId & 0x3FFFF, 18);
            bits.push_back(o.Remote); // RTR
            bits.push_back(false);    // r1
            bits.push_back(false);    // r0
        } else {
            PushBits(bits, o.CanId & 0x7FF, 11);
            bits.push_back(o.Remote); // RTR
            bits.push_back(false);    // IDE
            bits.push_back(false);    // r0
        }
        // A remote frame carries no data; a given DLC sends as many bytes
        // (at most 8) as it says, zeros past the payload.
        const size_t dlc = o.Dlc >= 0 ? static_cast<size_t>(std::min(o.Dlc, 15)) : count;
        PushBits(bits, static_cast<uint32_t>(dlc), 4);
        const size_t sent = o.Remote ? 0 : std::min<size_t>(dlc, 8);
        for (size_t i = 0; i < sent; ++i)
            PushBits(bits, i < count ? o.Data[from + i] : 0, 8);
        const uint16_t crcFlip = FaultOn(o.CrcErrorAt, f) ? 0x0001 : 0;
        PushBits(bits, CanCrc(bits) ^ crcFlip, 15);

        // Bit stuffing: after five equal bits an opposite one is inserted.
        std::vector<bool> line;
        int run = 0;
        bool last = true;
        for (bool bit : bits) {
            line.push_back(bit);
            run = bit == last ? run + 1 : 1;
            last = bit;
            if (run == 5) {
                line.push_back(!bit);
                last = !bit;
                run = 1;
            }
        }
        line.push_back(true);                  // CRC delimiter
        line.push_back(FaultOn(o.NoAckAt, f)); // ACK slot, taken by a receiver
        line.push_back(true);                  // ACK delimiter
        for (int i = 0; i < 7 + 3; ++i)        // end of frame and intermission
            line.push_back(true);
        for (bool bit : line) {
            tl.Set(CanLine, bit);
            tl.Wait(bitPs);
        }
    }
    tl.Wait(o.GapUs * PsPerUs);
    changes = std::move(tl.changes);
    loopPs = tl.Now();
}

void SignalScene::BuildCpuBus(const SceneOptions &o)
{
    // A small program: fetches from ROM#1, table reads from ROM#2, stack and
    // data traffic in the RAMs, a status read and a port write on the I/O.
    struct Cycle
    {
        int Select;
        bool Write;
        uint16_t Address;
    };
    std::vector<Cycle> cycles;
    const auto base = static_cast<uint16_t>(o.Address);
    for (uint16_t i = 0; i < 64; ++i) {
        cycles.push_back({CpuSelectRom1, false, static_cast<uint16_t>(base + 2 * i)});
        switch (i % 8) {
        case 1:
            cycles.push_back({CpuSelectRam1, true, static_cast<uint16_t>(0x8000 + (i & 0x3F))});
            break;
        case 2:
            cycles.push_back({CpuSelectRam1, false, static_cast<uint16_t>(0x8000 + (i & 0x3F))});
            break;
        case 3:
            cycles.push_back({CpuSelectRom2, false, static_cast<uint16_t>(0x4000 + 16 * i)});
            break;
        case 4:
            cycles.push_back({CpuSelectRam2, true, static_cast<uint16_t>(0xA000 + 4 * i)});
            break;
        case 5:
            cycles.push_back({CpuSelectIo1, false, 0xC000});
            break;
        case 6:
            cycles.push_back({CpuSelectIo2, true, static_cast<uint16_t>(0xE000 + (i & 7))});
            break;
        default:
            break;
        }
    }
    const uint64_t q = Period(o.ClockHz) / 4;
    const uint32_t selects = 0x3Fu << CpuSelectIo2;
    const uint32_t strobes = (1u << CpuWrite) | (1u << CpuRead);
    Timeline tl(selects | strobes);
    for (const Cycle &c : cycles) {
        tl.SetBits(0xFFFF, c.Address);
        tl.Set(c.Select, false);
        tl.Wait(q);
        tl.Set(c.Write ? CpuWrite : CpuRead, false);
        tl.Wait(2 * q);
        tl.Set(c.Write ? CpuWrite : CpuRead, true);
        tl.Wait(q / 2);
        tl.Set(c.Select, true);
        tl.Wait(q / 2);
    }
    tl.Wait(o.GapUs * PsPerUs);
    changes = std::move(tl.changes);
    loopPs = tl.Now();
}
