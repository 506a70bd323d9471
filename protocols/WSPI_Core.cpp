#include "protocols/WSPI_Core.h"

#include "display/TimeText.h"
#include "display/wTranslate.h"

#include <algorithm>
#include <cstring>

namespace {

// Strip code from (previous level, level): 7 low, 9 changed, 4 high.
constexpr std::array<int32_t, 4> TraceTable{7, 9, 9, 4};

// Clock edges as (previous SCK << 1 | SCK).
constexpr uint32_t Rising = 1, Falling = 2;

// The sample pass's state of one line.
struct LineState
{
    uint32_t Bit = 0;        // channel of the line
    uint32_t SampleEdge = 0; // edge that samples a bit
    uint32_t ArmEdge = 0;    // edge that must come first in a message (0: none)
    bool Enabled = false;
    bool FirstBitArmed = true;
    bool EndWritten = false;
    bool EdgeArmed = false;
    uint8_t *Events = nullptr;
};

void SetUp(LineState &l, const WSPI_Core::Line &line, uint8_t *events)
{
    l.Bit = static_cast<uint32_t>(line.Channel);
    l.Enabled = line.Enabled;
    l.Events = events;
    switch (line.Mode) {
    case WSPI_Core::Cpol0Cpha1:
        l.ArmEdge = Rising;
        l.SampleEdge = Falling;
        break;
    case WSPI_Core::Cpol1Cpha1:
        l.ArmEdge = Falling;
        l.SampleEdge = Rising;
        break;
    case WSPI_Core::Cpol1Cpha0:
    case WSPI_Core::Falling:
        l.SampleEdge = Falling;
        break;
    default:
        l.SampleEdge = Rising;
        break;
    }
}

inline uint8_t Step(LineState &l, bool active, uint32_t edge, uint32_t word)
{
    if (!active) {
        l.EdgeArmed = false;
        if (l.EndWritten)
            return WSPI_Core::EventNothing;
        l.FirstBitArmed = l.EndWritten = true;
        return WSPI_Core::EventEnd;
    }
    if (!l.Enabled || edge == 0)
        return WSPI_Core::EventNothing;
    if (l.ArmEdge != 0 && !l.EdgeArmed) {
        if (edge == l.ArmEdge)
            l.EdgeArmed = true;
        return WSPI_Core::EventNothing;
    }
    if (edge != l.SampleEdge)
        return WSPI_Core::EventNothing;
    const auto level = static_cast<uint8_t>((word >> l.Bit) & 1);
    if (l.FirstBitArmed) {
        l.FirstBitArmed = l.EndWritten = false;
        return static_cast<uint8_t>(WSPI_Core::EventFirst0 + level);
    }
    return level;
}

uint32_t Reverse(uint32_t value, int bits)
{
    uint32_t r = 0;
    for (int k = 0; k < bits; ++k)
        r |= ((value >> k) & 1u) << (bits - 1 - k);
    return r;
}

std::string BitsText(uint32_t n, bool space)
{
    return std::to_string(n) + (space ? " " : "") + (n <= 1 ? "bit" : "bits");
}

// Minimum, maximum and sum of one quantity over the packets that have it.
struct Figure
{
    uint32_t Min = 0, Max = 0;
    uint64_t Sum = 0;
    uint32_t Count = 0;
    void Add(uint32_t v)
    {
        Min = Count == 0 ? v : std::min(Min, v);
        Max = Count == 0 ? v : std::max(Max, v);
        Sum += v;
        ++Count;
    }
    uint32_t Average() const { return Count == 0 ? 0 : static_cast<uint32_t>(Sum / Count); }
};

// The packet pass of one line over its events.
void Packets(const std::vector<uint8_t> &events, const WSPI_Core::Line &line,
             const WSPI_Core::Settings &s, const WTime &period, WSPI_Core::LineResult &out)
{
    auto duration = [&](int64_t samples) {
        return DurationText(TimeMul(period, static_cast<uint32_t>(samples)));
    };
    const int bits = line.WordBits;
    Figure message, idle, words, errors;
    int packetCount = 0;
    int64_t firstStart = -1, packetStart = 0, idleStart = 0;
    int64_t idleLength = -1; // before the current packet; -1 while none ended there
    std::string idleText;
    bool inIdle = false, inPacket = false;
    uint32_t bitCount = 0, shift = 0;
    std::string data;

    const uint8_t *ev = events.data();
    const int64_t size = static_cast<int64_t>(events.size());
    for (int64_t i = 0; i < size; ++i) {
        const uint8_t e = ev[i];
        if (e == WSPI_Core::EventNothing)
            continue;
        const bool first = e == WSPI_Core::EventFirst0 || e == WSPI_Core::EventFirst1;
        if (!inIdle && e == WSPI_Core::EventEnd) {
            idleStart = i;
            inIdle = true;
        } else if (inIdle && first) {
            idleLength = i - idleStart;
            idleText = duration(idleLength);
            inIdle = false;
        }
        if (!inPacket && first) {
            ++packetCount;
            if (firstStart < 0)
                firstStart = i;
            packetStart = i;
            bitCount = shift = 0;
            data.clear();
            inPacket = true;
        }
        if (!inPacket)
            continue;
        if (e == WSPI_Core::EventEnd) {
            const uint32_t count = bitCount / static_cast<uint32_t>(bits);
            const uint32_t error = bitCount % static_cast<uint32_t>(bits);
            const int row = out.Packets.AddRow();
            out.Packets.Set(row, 0, std::to_string(packetCount));
            out.Packets.Set(row, 1, BitsText(error, false));
            out.Packets.Set(row, 2, std::to_string(count));
            out.Packets.Set(row, 3, data);
            out.Packets.Set(row, 4, duration(i - packetStart));
            message.Add(static_cast<uint32_t>(i - packetStart));
            words.Add(count);
            errors.Add(error);
            if (packetCount > 1) {
                out.Packets.Set(row, 5, duration(packetStart - firstStart));
                out.Packets.Set(row, 6, idleText);
                if (idleLength >= 0)
                    idle.Add(static_cast<uint32_t>(idleLength));
            }
            idleLength = -1;
            inPacket = false;
            continue;
        }
        const uint32_t bit = e & 1u; // 0 and 2 are 0, 1 and 3 are 1
        ++bitCount;
        shift = (shift + bit) * 2;
        if (bitCount % static_cast<uint32_t>(bits) == 0) {
            uint32_t value = shift / 2;
            if (s.BitOrder == 1)
                value = Reverse(value, bits);
            switch (s.TextMode) {
            case 0:
                data += wTranslate::Bin(value, bits) + "(b) ";
                break;
            case 1:
                data += wTranslate::Dec(value) + "(d) ";
                break;
            default:
                data += wTranslate::Hex(value, bits) + "(h) ";
                break;
            }
            shift = 0;
        }
    }

    if (message.Count == 0)
        return;
    const int row = out.Statistics.AddRow();
    out.Statistics.Set(row, 0, duration(message.Min));
    out.Statistics.Set(row, 1, duration(message.Max));
    out.Statistics.Set(row, 2, duration(message.Average()));
    if (idle.Count > 0) {
        out.Statistics.Set(row, 3, duration(idle.Min));
        out.Statistics.Set(row, 4, duration(idle.Max));
        out.Statistics.Set(row, 5, duration(idle.Average()));
    }
    out.Statistics.Set(row, 6, std::to_string(words.Min));
    out.Statistics.Set(row, 7, std::to_string(words.Max));
    out.Statistics.Set(row, 8, std::to_string(words.Average()));
    out.Statistics.Set(row, 9, BitsText(errors.Min, true));
    out.Statistics.Set(row, 10, BitsText(errors.Max, true));
    out.Statistics.Set(row, 11, BitsText(static_cast<uint32_t>(errors.Sum), true));
}

} // namespace

WSPI_Core::Result WSPI_Core::Decode(const CaptureWindow &window, const Settings &s,
                                    const WTime &period)
{
    Result r;
    const auto validChannel = [&](int c) { return c >= 0 && c < window.Channels && c < 32; };
    bool channelsOk = validChannel(s.SckChannel) && validChannel(s.SsChannel);
    bool bitsOk = true, modesOk = true;
    for (const Line &line : s.Lines) {
        channelsOk = channelsOk && validChannel(line.Channel);
        if (line.Enabled) {
            bitsOk = bitsOk && line.WordBits >= MinBits && line.WordBits <= MaxBits;
            modesOk = modesOk && line.Mode >= Cpol0Cpha0 && line.Mode <= Falling;
        }
    }
    r.State = !channelsOk ? Status::ChannelMissing
              : !bitsOk   ? Status::BitsOutOfRange
              : !modesOk  ? Status::BadMode
                          : Status::Decoded;
    const size_t n = window.Count;
    if (r.State != Status::Decoded || window.Ring.empty()) {
        r.SckTrace.assign(n, 10);
        r.SsTrace.assign(n, 10);
        for (LineResult &l : r.Lines)
            l.Trace.assign(n, 10);
        return r;
    }

    r.SckTrace.resize(n);
    r.SsTrace.resize(n);
    std::array<std::vector<uint8_t>, 2> events;
    std::array<LineState, 2> state;
    for (size_t k = 0; k < 2; ++k) {
        r.Lines[k].Trace.resize(n);
        events[k].resize(n);
        SetUp(state[k], s.Lines[k], events[k].data());
    }

    const uint32_t sck = static_cast<uint32_t>(s.SckChannel);
    const uint32_t ss = static_cast<uint32_t>(s.SsChannel);
    const uint32_t activeLevel = s.SsLevel == 1 ? 0 : 1;
    uint32_t previous = window.Word(window.AddressOf(-1));
    int32_t *sckOut = r.SckTrace.data();
    int32_t *ssOut = r.SsTrace.data();
    int32_t *mosiOut = r.Lines[0].Trace.data();
    int32_t *misoOut = r.Lines[1].Trace.data();
    LineState &mosi = state[0];
    LineState &miso = state[1];
    window.ForEachWord([&](uint32_t i, uint32_t w) {
        const uint32_t pSck = (previous >> sck) & 1, cSck = (w >> sck) & 1;
        const uint32_t pSs = (previous >> ss) & 1, cSs = (w >> ss) & 1;
        sckOut[i] = TraceTable[pSck << 1 | cSck];
        ssOut[i] = TraceTable[pSs << 1 | cSs];
        mosiOut[i] = TraceTable[((previous >> mosi.Bit) & 1) << 1 | ((w >> mosi.Bit) & 1)];
        misoOut[i] = TraceTable[((previous >> miso.Bit) & 1) << 1 | ((w >> miso.Bit) & 1)];
        const bool active = cSs == activeLevel;
        const uint32_t edge = pSck << 1 | cSck;
        const uint32_t clockEdge = edge == 1 || edge == 2 ? edge : 0;
        mosi.Events[i] = Step(mosi, active, clockEdge, w);
        miso.Events[i] = Step(miso, active, clockEdge, w);
        previous = w;
    });

    for (size_t k = 0; k < 2; ++k) {
        if (s.Lines[k].Enabled)
            Packets(events[k], s.Lines[k], s, period, r.Lines[k]);
    }
    return r;
}
