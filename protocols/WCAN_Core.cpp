#include "protocols/WCAN_Core.h"

#include "display/CCaptureRecord.h"
#include "protocols/UartCanTiming.h"

#include <algorithm>

namespace {

// Destuffed positions of the fields in a frame (index 0 is the start of frame).
constexpr int IdeBit = 13;             // standard and extended frames alike
constexpr int StandardRtrBit = 12;     // after the 11 identifier bits
constexpr int ExtendedRtrBit = 32;     // after 11 + SRR + IDE + 18 identifier bits
constexpr int StandardControlEnd = 19; // IDE, r0, DLC
constexpr int ExtendedControlEnd = 39; // r1, r0, DLC
constexpr int CrcBits = 15;
constexpr int EndOfFrameBits = 7;

// The bits [from, from + count) as an upper-case hexadecimal number of
// ceil(count / 4) digits, most significant bit first, written to `out`
// (room for 8 digits); returns the number of digits. Rows are written by
// the thousand, so this is done by hand rather than by a formatted print.
size_t WriteHex(char *out, const uint8_t *bits, int from, int count)
{
    uint32_t value = 0;
    for (int k = 0; k < count; ++k)
        value = (value << 1) | bits[from + k];
    const size_t digits = static_cast<size_t>((count + 3) / 4);
    for (size_t d = digits; d-- > 0; value >>= 4)
        out[d] = "0123456789ABCDEF"[value & 0xF];
    return digits;
}

struct HexText
{
    char text[8];
    size_t size;
    HexText(const uint8_t *bits, int from, int count) : size(WriteHex(text, bits, from, count)) {}
    operator std::string_view() const { return {text, size}; }
};

} // namespace

struct WCAN_Core::Frame
{
    std::array<uint8_t, ExtendedControlEnd + 64 + CrcBits> bits{}; // destuffed, SOF first
    int count = 1;      // bits held (the start of frame is bit 0)
    int controlEnd = 0; // where the control field ends, once it is read
    int dataBytes = 0;  // bytes the data field carries
    int crcEnd = 0;     // where the CRC sequence ends, once it is read
    int ackSlot = -1;   // -1 until read
    int ackDelimiter = -1;
    bool formError = false;
    bool stuffError = false;
    bool incomplete = false;

    bool Extended() const { return count > IdeBit && bits[IdeBit] == 1; }
    int Rtr() const { return bits[Extended() ? ExtendedRtrBit : StandardRtrBit]; }
    int Dlc() const { return controlEnd ? Hex4(controlEnd - 4) : 0; }
    int Hex4(int from) const
    {
        return bits[from] << 3 | bits[from + 1] << 2 | bits[from + 2] << 1 | bits[from + 3];
    }
};

std::vector<std::string> WCAN_Core::Headers()
{
    return {"BasicID", "ExtendedID", "RTR", "IDE", "Ctrl Field", "Data", "CRC", "ACK", "Status"};
}

uint16_t WCAN_Core::Crc15(const uint8_t *bits, size_t count)
{
    uint16_t crc = 0;
    for (size_t k = 0; k < count; ++k) {
        const bool top = ((crc >> 14) & 1) != bits[k];
        crc = static_cast<uint16_t>((crc << 1) & 0x7FFF);
        if (top)
            crc ^= 0x4599;
    }
    return crc;
}

uint32_t WCAN_Core::Rate() const
{
    if (RateIndex == CustomIndex)
        return CustomRate >= MinRate && CustomRate <= MaxRate ? CustomRate : 0;
    if (RateIndex < 0 || RateIndex >= static_cast<int>(BitRates.size()))
        return 0;
    return BitRates[static_cast<size_t>(RateIndex)];
}

DecodeTable WCAN_Core::Decode(const CCaptureRecord &record, const UartCanTiming &timing) const
{
    DecodeTable table(ColumnCount);
    if (Channel < 0 || Channel >= 32 || ((record.ChannelMask() >> Channel) & 1) == 0) {
        table.Message = "CH" + std::to_string(Channel) + " is not a channel of this model.";
        return table;
    }
    const uint32_t rate = Rate();
    if (rate == 0) {
        table.Message = RateIndex == CustomIndex
                            ? "A bit rate is a whole number from " + std::to_string(MinRate) +
                                  " to " + std::to_string(MaxRate) + " bit/s."
                            : std::string("Unknown bit rate.");
        return table;
    }
    if (record.DepthSamples == 0) {
        table.Message = "There is no capture to decode.";
        return table;
    }
    const uint64_t length = timing.BitLength(rate);
    if (length < uint64_t{MinSamplesPerBit} << UartCanTiming::FractionBits) {
        table.Message = "At this sample rate a bit of " + std::to_string(rate) + " bit/s lasts " +
                        UartCanTiming::SamplesText(length) +
                        " samples; the decoder needs at least " +
                        std::to_string(MinSamplesPerBit) +
                        ". Capture with a shorter sample period.";
        return table;
    }

    const uint64_t depth = record.DepthSamples;
    const RecordLine level(record, Channel);
    // A node takes the bus for idle once it has been recessive for 11 bits;
    // the 11th is sampled in its middle.
    const uint64_t idleSamples = (21 * length) >> (UartCanTiming::FractionBits + 1);

    const uint64_t begin = timing.StartIndex(record);
    // The recessive stretch before the first sample decoded, as far as the
    // record shows it; one that reaches back to the record's first sample
    // counts as idle (what came before is not known).
    bool idle = false;
    uint64_t since = begin; // where the line last went recessive
    int previous = 1;
    if (begin < depth) {
        previous = level(begin > 0 ? begin - 1 : 0);
        if (previous == 1) {
            uint64_t k = begin > 0 ? begin - 1 : 0;
            while (k > 0 && begin - k < idleSamples && level(k - 1) == 1)
                --k;
            since = k;
            idle = k == 0 || begin - k >= idleSamples;
        }
    }
    for (uint64_t n = begin; n < depth;) {
        const int current = level(n);
        if (current == 1) {
            if (previous == 0) {
                since = n;
                idle = false;
            }
            previous = 1;
            ++n;
            continue;
        }
        if (previous == 0 || (!idle && n - since < idleSamples)) {
            previous = 0;
            ++n;
            continue;
        }
        // A start of frame (hard synchronisation): bit k of the frame is
        // read in its middle, timed from the last recessive-to-dominant edge
        // (resynchronisation), stuff bits counted.
        Frame f;
        uint64_t edge = n; // the first dominant sample of that edge
        // (2 j + 1) x length for the bit j bits after the one the edge
        // begins (UartCanTiming::Middle), kept as a running sum: one
        // addition per bit.
        uint64_t offset = length;
        const uint64_t twoLengths = 2 * length;
        uint64_t lastRead = n;
        int lastLevel = 0;
        int last = 0; // the stuff state: the start of frame is the first 0
        int run = 0;  // equal bits after the first of a run
        // The next bit: 0 or 1; -1 when the record ends, -2 for six equal
        // bits where a stuff bit belongs. With `stuffed` stuff bits are dropped.
        auto next = [&](bool stuffed) {
            for (;;) {
                offset += twoLengths;
                const uint64_t p = edge + (offset >> (UartCanTiming::FractionBits + 1));
                if (p >= depth)
                    return -1;
                const int b = level(p);
                if (b == 0 && lastLevel == 1) {
                    uint64_t lo = lastRead, hi = p; // recessive at lo, dominant at hi
                    while (hi - lo > 1) {
                        const uint64_t m = lo + (hi - lo) / 2;
                        (level(m) == 0 ? hi : lo) = m;
                    }
                    edge = hi;
                    offset = length; // this bit is the edge's bit 0
                }
                lastRead = p;
                lastLevel = b;
                if (!stuffed)
                    return b;
                if (run == 4) {
                    if (b == last)
                        return -2;
                    last = b;
                    run = 0;
                    continue;
                }
                run = b == last ? run + 1 : 0;
                last = b;
                return b;
            }
        };
        auto take = [&](int bits) {
            for (int k = 0; k < bits; ++k) {
                const int b = next(true);
                if (b < 0)
                    return b;
                f.bits[static_cast<size_t>(f.count++)] = static_cast<uint8_t>(b);
            }
            return 0;
        };

        int got = take(IdeBit); // identifier, RTR or SRR, IDE
        if (got == 0)
            got = take((f.Extended() ? ExtendedControlEnd : StandardControlEnd) - f.count);
        if (got == 0) {
            f.controlEnd = f.count;
            f.dataBytes = f.Rtr() ? 0 : std::min(f.Dlc(), 8);
            got = take(8 * f.dataBytes);
        }
        if (got == 0)
            got = take(CrcBits);
        if (got == 0) {
            f.crcEnd = f.count;
            got = next(true); // a stuff bit may follow the CRC's last bit
            f.formError = got == 0;
        }
        if (got >= 0) {
            f.ackSlot = got = next(false);
        }
        bool quiet = true; // the ACK delimiter and the end of frame stayed recessive
        if (got >= 0) {
            f.ackDelimiter = got = next(false);
            f.formError = f.formError || got == 0;
            quiet = got == 1;
        }
        for (int k = 0; k < EndOfFrameBits && got >= 0; ++k) {
            got = next(false);
            f.formError = f.formError || got == 0;
            quiet = quiet && got == 1;
        }
        f.stuffError = got == -2;
        f.incomplete = got == -1;
        WriteRow(table, f);
        if (f.incomplete)
            break;
        // After a whole frame the bus has been recessive since the ACK
        // delimiter: the intermission makes it idle again. After a fault
        // the error frame follows, and only 11 recessive bits end it.
        previous = level(lastRead);
        idle = false;
        since = lastRead + 1;
        if (quiet && f.ackDelimiter == 1) {
            const uint64_t recessive = (15 * length) >> (UartCanTiming::FractionBits + 1);
            since = lastRead > recessive ? lastRead - recessive : 0;
        }
        n = lastRead + 1;
    }
    return table;
}

void WCAN_Core::WriteRow(DecodeTable &table, const Frame &f) const
{
    // Cells are pushed column by column; a field not read stays empty.
    const int row = table.Rows();
    const uint8_t *bits = f.bits.data();
    const bool ideKnown = f.count > IdeBit;
    const bool extended = f.Extended();
    if (f.count > 11)
        table.PushAt(BasicId, HexText(bits, 1, 11));
    if (ShowExtendedId && extended && f.count > ExtendedRtrBit - 1)
        table.PushAt(ExtendedId, HexText(bits, 14, 18));
    if (ideKnown && f.count > (extended ? ExtendedRtrBit : StandardRtrBit))
        table.PushAt(Rtr, f.Rtr() ? "1" : "0");
    if (ideKnown)
        table.PushAt(Ide, extended ? "1" : "0");
    if (f.controlEnd) {
        table.PushAt(Control, HexText(bits, f.controlEnd - 4, 4));
        char data[8 * 5]; // "XX , " per byte
        size_t size = 0;
        const int bytes = std::min(f.dataBytes, (f.count - f.controlEnd) / 8);
        for (int k = 0; k < bytes; ++k) {
            size += WriteHex(data + size, bits, f.controlEnd + 8 * k, 8);
            for (char c : {' ', ',', ' '})
                data[size++] = c;
        }
        if (!f.Rtr())
            table.PushAt(Data, std::string_view(data, size));
    }
    bool crcError = false;
    if (f.crcEnd) {
        table.PushAt(Crc, HexText(bits, f.crcEnd - CrcBits, CrcBits));
        const uint16_t computed = Crc15(bits, static_cast<size_t>(f.crcEnd - CrcBits));
        uint16_t received = 0;
        for (int k = f.crcEnd - CrcBits; k < f.crcEnd; ++k)
            received = static_cast<uint16_t>(received << 1 | bits[k]);
        crcError = computed != received;
    }
    if (f.ackDelimiter >= 0)
        table.PushAt(Ack, f.ackSlot == 0 && f.ackDelimiter == 1 ? "01" : "11");

    std::string status;
    auto add = [&status](std::string_view mark) {
        if (!status.empty())
            status += ", ";
        status += mark;
    };
    if (f.stuffError)
        add(TextStuffError);
    if (crcError)
        add(TextCrcError);
    if (f.formError)
        add(TextFormError);
    if (f.ackSlot == 1)
        add(TextNoAck);
    const bool fault = !status.empty();
    if (f.incomplete)
        add(TextIncomplete);
    table.PushAt(Status, status.empty() ? TextOk : std::string_view(status));
    if (fault)
        table.Mark(row);
}
