#include "protocols/WUART.h"

#include "display/CCaptureRecord.h"
#include "protocols/UartCanTiming.h"

#include <algorithm>
#include <cstdio>

std::vector<std::string> WUART::Headers()
{
    return {"Packet", "Data", "Parity", "Status", "Start Time"};
}

std::string WUART::DataText(uint32_t value) const
{
    // One text per row of a dense record: written by hand, not printed.
    const int width = (FrameBits + 3) / 4;
    char hex[16];
    size_t hexSize = 0;
    if (width >= 1 && width <= 8 && (width == 8 || value >> (4 * width) == 0)) {
        hexSize = static_cast<size_t>(width);
        uint32_t v = value;
        for (size_t d = hexSize; d-- > 0; v >>= 4)
            hex[d] = "0123456789ABCDEF"[v & 0xF];
    } else {
        const int written = std::snprintf(hex, sizeof hex, "%0*X", width, value);
        hexSize = written > 0 ? std::min(static_cast<size_t>(written), sizeof hex - 1) : 0;
    }
    const std::string_view digits(hex, hexSize);
    const char ascii = static_cast<char>(value & 0x7F);
    std::string text;
    switch (TextMode) {
    case Hex:
        text.reserve(2 + hexSize);
        text.append("0x").append(digits);
        return text;
    case Both:
        text.reserve(7 + hexSize);
        text.append(1, ascii).append("   (0x").append(digits).append(1, ')');
        return text;
    default:
        return std::string(1, ascii);
    }
}

uint32_t WUART::Baud() const
{
    if (BaudIndex == CustomIndex)
        return CustomBaud >= MinBaud && CustomBaud <= MaxBaud ? CustomBaud : 0;
    if (BaudIndex < 0 || BaudIndex >= static_cast<int>(BaudRates.size()))
        return 0;
    return BaudRates[static_cast<size_t>(BaudIndex)];
}

std::string WUART::CheckSettings(const CCaptureRecord &record, const UartCanTiming &timing) const
{
    if (Channel < 0 || Channel >= 32 || ((record.ChannelMask() >> Channel) & 1) == 0)
        return "CH" + std::to_string(Channel) + " is not a channel of this model.";
    if (BaudIndex == CustomIndex && Baud() == 0)
        return "A custom baud rate is a whole number from " + std::to_string(MinBaud) + " to " +
               std::to_string(MaxBaud) + ".";
    if (Baud() == 0)
        return "Unknown baud rate.";
    if (DataBits() < 5 || DataBits() > 8 || StopBits < 1 || StopBits > 2)
        return "Unknown data format.";
    if (record.DepthSamples == 0)
        return "There is no capture to decode.";
    const uint64_t length = timing.BitLength(Baud());
    if (length < uint64_t{MinSamplesPerBit} << UartCanTiming::FractionBits)
        return "At this sample rate a bit of " + std::to_string(Baud()) + " baud lasts " +
               UartCanTiming::SamplesText(length) + " samples; the decoder needs at least " +
               std::to_string(MinSamplesPerBit) + ". Capture with a shorter sample period.";
    return {};
}

DecodeTable WUART::Decode(const CCaptureRecord &record, const UartCanTiming &timing) const
{
    DecodeTable table(ColumnCount);
    table.Message = CheckSettings(record, timing);
    if (!table.Message.empty())
        return table;

    const uint64_t length = timing.BitLength(Baud());
    const uint64_t depth = record.DepthSamples;
    const uint64_t begin = timing.StartIndex(record);
    const int idle = IdleLevel();
    const int dataBits = DataBits();
    const int frameBits = FrameBits;
    const RecordLine level(record, Channel);

    int previous = idle; // the level before the first sample counts as idle
    for (uint64_t n = begin; n < depth;) {
        const int current = level(n);
        if (previous != idle || current == idle) {
            previous = current;
            ++n;
            continue;
        }
        // The leading edge of a start bit: bit k (the start bit is bit 0)
        // is read in its middle, timed from the last edge seen.
        uint64_t edge = n;     // the first sample after that edge
        uint64_t edgeBit = 0;  // the bit it begins
        uint64_t known = n;    // the last sample read, and its level
        int knownLevel = 1 - idle;
        bool cut = false;
        // The level of bit k; an edge between it and the bit before times
        // the bits after it.
        auto read = [&](uint64_t k, uint64_t &at) {
            at = UartCanTiming::Middle(edge, length, k - edgeBit);
            if (at >= depth) {
                cut = true;
                return 0;
            }
            const int b = level(at);
            if (b != knownLevel) {
                uint64_t lo = known, hi = at; // level(lo) != b == level(hi)
                while (hi - lo > 1) {
                    const uint64_t m = lo + (hi - lo) / 2;
                    (level(m) == b ? hi : lo) = m;
                }
                edge = hi;
                edgeBit = k;
            }
            known = at;
            knownLevel = b;
            return b;
        };
        uint32_t value = 0;
        int ones = 0;
        uint64_t first = n;
        for (int k = 0; k < frameBits && !cut; ++k) {
            uint64_t at = 0;
            const int bit = read(static_cast<uint64_t>(k) + 1, at) == idle ? 1 : 0;
            if (k == 0)
                first = at;
            if (k < dataBits) {
                const int place = DataDirection == MsbFirst ? dataBits - 1 - k : k;
                value |= static_cast<uint32_t>(bit) << place;
            }
            ones += bit;
        }
        // Every sample from the middle of the first stop bit to the middle of
        // the last must be idle; the frame ends at the first that is not.
        uint64_t q = 0;
        bool error = false;
        if (!cut)
            error = read(static_cast<uint64_t>(frameBits) + 1, q) != idle;
        const uint64_t stopEnd =
            UartCanTiming::Middle(edge, length, static_cast<uint64_t>(frameBits + StopBits) - edgeBit);
        if (cut || stopEnd >= depth)
            break; // the record ends inside this frame
        for (; !error && q < stopEnd; ++q) {
            if (level(q + 1) != idle)
                error = true;
        }
        previous = error ? 1 - idle : idle;
        n = q + 1;

        const int row = table.Rows();
        table.PushNumber(static_cast<uint64_t>(row) + 1);
        table.Push(DataText(value));
        bool parityFails = false;
        if (ParityMode == ParityNone) {
            table.Push("None");
        } else {
            const bool odd = (ones & 1) != 0;
            parityFails = ParityMode == ParityOdd ? !odd : odd;
            const char *name = ParityMode == ParityOdd ? "Odd" : "Even";
            table.Push(std::string(name) + (parityFails ? "(Fail)" : "(Pass)"));
        }
        table.Push(error ? "Packet Error" : "Packet OK");
        table.Push(UartCanTiming::StartTimeText(
            TimeMul(timing.SamplePeriod, static_cast<uint32_t>(first - begin))));
        if (error || parityFails)
            table.Mark(row);
    }
    return table;
}
