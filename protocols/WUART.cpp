#include "protocols/WUART.h"

#include "display/CCaptureRecord.h"
#include "protocols/UartCanTiming.h"

#include <cstdio>

std::vector<std::string> WUART::Headers()
{
    return {"Packet", "Data", "Parity", "Status", "Start Time"};
}

std::string WUART::DataText(uint32_t value) const
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "%0*X", (FrameBits + 3) / 4, value);
    const std::string ascii(1, static_cast<char>(value & 0x7F));
    switch (TextMode) {
    case Hex:
        return std::string("0x") + hex;
    case Both:
        return ascii + "   (0x" + hex + ")";
    default:
        return ascii;
    }
}

std::string WUART::CheckSettings(const CCaptureRecord &record, const UartCanTiming &timing) const
{
    if (Channel < 0 || Channel >= 32 || ((record.ChannelMask() >> Channel) & 1) == 0)
        return "CH" + std::to_string(Channel) + " is not a channel of this model.";
    if (BaudIndex < 0 || BaudIndex >= static_cast<int>(BaudRates.size()))
        return "Unknown baud rate.";
    if (DataBits() < 5 || DataBits() > 8 || StopBits < 1 || StopBits > 2)
        return "Unknown data format.";
    if (record.DepthSamples == 0)
        return "There is no capture to decode.";
    const uint32_t baud = BaudRates[static_cast<size_t>(BaudIndex)];
    if (timing.SamplesPerBit(baud) < 2)
        return "At this sample rate a bit of " + std::to_string(baud) +
               " baud lasts fewer than two samples. Capture with a shorter sample period.";
    return {};
}

DecodeTable WUART::Decode(const CCaptureRecord &record, const UartCanTiming &timing) const
{
    DecodeTable table(ColumnCount);
    table.Message = CheckSettings(record, timing);
    if (!table.Message.empty())
        return table;

    const uint64_t s = timing.SamplesPerBit(BaudRates[static_cast<size_t>(BaudIndex)]);
    const uint64_t depth = record.DepthSamples;
    const uint64_t begin = timing.StartIndex(record);
    const uint32_t base = record.RecordStart;
    const int channel = Channel;
    const int idle = IdleLevel();
    const int dataBits = DataBits();
    // The ring is read by byte address; ChannelBit masks it into the ring.
    auto level = [&](uint64_t n) {
        return record.ChannelBit(base + 4 * static_cast<uint32_t>(n), channel);
    };

    int previous = idle; // the level before the first sample counts as idle
    for (uint64_t n = begin; n < depth;) {
        const int current = level(n);
        if (previous != idle || current == idle) {
            previous = current;
            ++n;
            continue;
        }
        // The leading edge of a start bit: sample every bit in its middle.
        const uint64_t first = n + s + s / 2;
        const uint64_t last = first + static_cast<uint64_t>(FrameBits - 1) * s;
        const uint64_t stopEnd = last + static_cast<uint64_t>(StopBits) * s;
        if (stopEnd >= depth)
            break; // the record ends inside this frame
        uint32_t value = 0;
        int ones = 0;
        for (int k = 0; k < FrameBits; ++k) {
            const int bit = level(first + static_cast<uint64_t>(k) * s) == idle ? 1 : 0;
            if (k < dataBits) {
                const int place = DataDirection == MsbFirst ? dataBits - 1 - k : k;
                value |= static_cast<uint32_t>(bit) << place;
            }
            ones += bit;
        }
        // Every sample from the middle of the first stop bit to the middle of
        // the last must be idle; the frame ends at the first that is not.
        uint64_t q = last + s;
        bool error = false;
        for (; q < stopEnd; ++q) {
            if (level(q) != idle) {
                error = true;
                break;
            }
        }
        previous = error ? 1 - idle : level(q);
        error = error || previous != idle;
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
