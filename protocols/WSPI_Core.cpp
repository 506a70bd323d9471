#include "protocols/WSPI_Core.h"

#include "display/TimeText.h"
#include "protocols/WordText.h"

#include <algorithm>
#include <cstring>

namespace {

// Strip code from (previous level, level): 7 low, 9 changed, 4 high.
constexpr std::array<uint8_t, 4> TraceTable{7, 9, 9, 4};

// Clock edges as (previous SCK << 1 | SCK).
constexpr uint32_t Rising = 1, Falling = 2;

// How one line samples: its channel, the edge that samples a bit and the
// edge that must come first in a message (0: none), as (previous SCK << 1 |
// SCK).
struct LineMode
{
    uint32_t Bit = 0;
    uint32_t SampleEdge = Rising;
    uint32_t ArmEdge = 0;
    bool Enabled = false;
};

LineMode ModeOf(const WSPI_Core::Line &line)
{
    LineMode m;
    // A disabled line's strip is still made; a channel it cannot have
    // (the model changed since) shows CH0 there.
    m.Bit = line.Channel >= 0 && line.Channel < 32 ? static_cast<uint32_t>(line.Channel) : 0;
    m.Enabled = line.Enabled;
    switch (line.Mode) {
    case WSPI_Core::Cpol0Cpha1:
        m.ArmEdge = Rising;
        m.SampleEdge = Falling;
        break;
    case WSPI_Core::Cpol1Cpha1:
        m.ArmEdge = Falling;
        m.SampleEdge = Rising;
        break;
    case WSPI_Core::Cpol1Cpha0:
    case WSPI_Core::Falling:
        m.SampleEdge = Falling;
        break;
    default:
        break;
    }
    return m;
}

// The sample pass's state of one line.
struct LineState
{
    bool FirstBitArmed = true;
    bool EndWritten = false;
    bool EdgeArmed = false;
};

// One sample of one line: the event, and the state changed by it.
uint8_t Step(const LineMode &m, LineState &l, bool active, uint32_t edge, uint32_t level)
{
    if (!active) {
        l.EdgeArmed = false;
        if (l.EndWritten)
            return WSPI_Core::EventNothing;
        l.FirstBitArmed = l.EndWritten = true;
        return WSPI_Core::EventEnd;
    }
    if (!m.Enabled || edge == 0)
        return WSPI_Core::EventNothing;
    if (m.ArmEdge != 0 && !l.EdgeArmed) {
        if (edge == m.ArmEdge)
            l.EdgeArmed = true;
        return WSPI_Core::EventNothing;
    }
    if (edge != m.SampleEdge)
        return WSPI_Core::EventNothing;
    if (l.FirstBitArmed) {
        l.FirstBitArmed = l.EndWritten = false;
        return static_cast<uint8_t>(WSPI_Core::EventFirst0 + level);
    }
    return static_cast<uint8_t>(level);
}

// Step as a table, so that the sample pass runs without branches: indexed by
// state (first-bit armed, end written, edge armed as bits 0..2) << 4 |
// active << 3 | (previous SCK << 1 | SCK) << 1 | data level; each entry is
// the event | the next state << 4.
std::array<uint8_t, 128> StepTable(const LineMode &m)
{
    std::array<uint8_t, 128> t{};
    for (uint32_t k = 0; k < t.size(); ++k) {
        LineState l{(k >> 4 & 1) != 0, (k >> 5 & 1) != 0, (k >> 6 & 1) != 0};
        const uint32_t clock = k >> 1 & 3;
        const uint32_t edge = clock == Rising || clock == Falling ? clock : 0;
        const uint8_t event = Step(m, l, (k >> 3 & 1) != 0, edge, k & 1);
        const uint32_t next =
            (l.FirstBitArmed ? 1u : 0u) | (l.EndWritten ? 2u : 0u) | (l.EdgeArmed ? 4u : 0u);
        t[k] = static_cast<uint8_t>(event | next << 4);
    }
    return t;
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
    // Message and idle lengths repeat from packet to packet: each kind keeps
    // its last text.
    struct Memo
    {
        int64_t Samples = -1;
        std::string Text;
    };
    auto duration = [&](int64_t samples) {
        return DurationText(TimeMul(period, static_cast<uint32_t>(samples)));
    };
    auto remembered = [&](Memo &m, int64_t samples) -> const std::string & {
        if (m.Samples != samples) {
            m.Samples = samples;
            m.Text = duration(samples);
        }
        return m.Text;
    };
    Memo messageMemo, idleMemo;
    const int bits = line.WordBits;
    Figure message, idle, words, errors;
    int packetCount = 0;
    int64_t firstStart = -1, packetStart = 0, idleStart = 0;
    int64_t idleLength = -1; // before the current packet; -1 while none ended there
    std::string idleText;
    bool inIdle = false, inPacket = false;
    // Bits of the packet as whole words plus the bits of the word being
    // filled (no division per bit).
    uint32_t wordCount = 0, wordFill = 0, shift = 0;
    const auto wordBits = static_cast<uint32_t>(bits);
    std::string data;

    const uint8_t *ev = events.data();
    const int64_t size = static_cast<int64_t>(events.size());
    constexpr uint64_t Nothing8 = 0x0909090909090909ull;
    for (int64_t i = 0; i < size; ++i) {
        // Stretches without events go eight at a time.
        uint64_t eight;
        while (i + 8 <= size && (std::memcpy(&eight, ev + i, 8), eight == Nothing8))
            i += 8;
        if (i >= size)
            break;
        const uint8_t e = ev[i];
        if (e == WSPI_Core::EventNothing)
            continue;
        const bool first = e == WSPI_Core::EventFirst0 || e == WSPI_Core::EventFirst1;
        if (!inIdle && e == WSPI_Core::EventEnd) {
            idleStart = i;
            inIdle = true;
        } else if (inIdle && first) {
            idleLength = i - idleStart;
            idleText = remembered(idleMemo, idleLength);
            inIdle = false;
        }
        if (!inPacket && first) {
            ++packetCount;
            if (firstStart < 0)
                firstStart = i;
            packetStart = i;
            wordCount = wordFill = shift = 0;
            data.clear();
            inPacket = true;
        }
        if (!inPacket)
            continue;
        if (e == WSPI_Core::EventEnd) {
            const uint32_t count = wordCount;
            const uint32_t error = wordFill;
            const bool later = packetCount > 1;
            DecodeTable &t = out.Packets;
            t.PushNumber(static_cast<uint64_t>(packetCount));
            t.PushNumber(error, error <= 1 ? "bit" : "bits");
            t.PushNumber(count);
            t.Push(data);
            t.Push(remembered(messageMemo, i - packetStart));
            t.Push(later ? duration(packetStart - firstStart) : std::string());
            t.Push(later ? std::string_view(idleText) : std::string_view());
            message.Add(static_cast<uint32_t>(i - packetStart));
            words.Add(count);
            errors.Add(error);
            if (later && idleLength >= 0)
                idle.Add(static_cast<uint32_t>(idleLength));
            idleLength = -1;
            inPacket = false;
            continue;
        }
        const uint32_t bit = e & 1u; // 0 and 2 are 0, 1 and 3 are 1
        shift = (shift + bit) * 2;
        if (++wordFill == wordBits) {
            wordFill = 0;
            ++wordCount;
            uint32_t value = shift / 2;
            if (s.BitOrder == 1)
                value = Reverse(value, bits);
            AppendWordText(data, value, bits, s.TextMode);
            data.push_back(' ');
            shift = 0;
        }
    }

    if (message.Count == 0)
        return;
    const bool idles = idle.Count > 0;
    out.Statistics.AddRow(
        {duration(message.Min), duration(message.Max), duration(message.Average()),
         idles ? duration(idle.Min) : "", idles ? duration(idle.Max) : "",
         idles ? duration(idle.Average()) : "", std::to_string(words.Min),
         std::to_string(words.Max), std::to_string(words.Average()), BitsText(errors.Min, true),
         BitsText(errors.Max, true), BitsText(static_cast<uint32_t>(errors.Sum), true)});
}

} // namespace

WSPI_Core::Result WSPI_Core::Decode(const CaptureWindow &window, const Settings &s,
                                    const WTime &period)
{
    Result r;
    Decode(window, s, period, r);
    return r;
}

void WSPI_Core::Decode(const CaptureWindow &window, const Settings &s, const WTime &period,
                       Result &r)
{
    const auto validChannel = [&](int c) { return c >= 0 && c < window.Channels && c < 32; };
    bool channelsOk = validChannel(s.SckChannel) && validChannel(s.SsChannel);
    bool bitsOk = true, modesOk = true;
    for (const Line &line : s.Lines) {
        if (line.Enabled) {
            channelsOk = channelsOk && validChannel(line.Channel);
            bitsOk = bitsOk && line.WordBits >= MinBits && line.WordBits <= MaxBits;
            modesOk = modesOk && line.Mode >= Cpol0Cpha0 && line.Mode <= Falling;
        }
    }
    r.State = !channelsOk ? Status::ChannelMissing
              : !bitsOk   ? Status::BitsOutOfRange
              : !modesOk  ? Status::BadMode
                          : Status::Decoded;
    for (LineResult &l : r.Lines) {
        l.Packets.Clear();
        l.Statistics.Clear();
    }
    const size_t n = window.Count;
    if (r.State != Status::Decoded || window.Ring.empty()) {
        r.SckTrace.assign(n, 10);
        r.SsTrace.assign(n, 10);
        for (LineResult &l : r.Lines)
            l.Trace.assign(n, 10);
        return;
    }

    r.SckTrace.resize(n);
    r.SsTrace.resize(n);
    for (size_t k = 0; k < 2; ++k) {
        r.Lines[k].Trace.resize(n);
        r.Events[k].resize(n);
    }

    const uint32_t sck = static_cast<uint32_t>(s.SckChannel);
    const uint32_t ss = static_cast<uint32_t>(s.SsChannel);
    const uint32_t activeLevel = s.SsLevel == 1 ? 0 : 1;
    const LineMode mosiMode = ModeOf(s.Lines[0]), misoMode = ModeOf(s.Lines[1]);
    uint32_t previous = window.Word(window.AddressOf(-1));
    const std::array<uint8_t, 128> mosiTable = StepTable(mosiMode), misoTable = StepTable(misoMode);
    uint32_t mosiState = 1, misoState = 1; // first bit armed
    window.ForEachRun([&](uint32_t first, uint32_t count, const uint8_t *bytes) {
        uint8_t *sckOut = r.SckTrace.data() + first;
        uint8_t *ssOut = r.SsTrace.data() + first;
        uint8_t *mosiOut = r.Lines[0].Trace.data() + first;
        uint8_t *misoOut = r.Lines[1].Trace.data() + first;
        uint8_t *mosiEvents = r.Events[0].data() + first;
        uint8_t *misoEvents = r.Events[1].data() + first;
        // State in locals: the byte stores below may alias anything in memory.
        uint32_t p = previous, mo = mosiState, mi = misoState;
        for (uint32_t k = 0; k < count; ++k) {
            uint32_t w;
            std::memcpy(&w, bytes + 4 * k, 4);
            const uint32_t clock = ((p >> sck) & 1) << 1 | ((w >> sck) & 1);
            const uint32_t cSs = (w >> ss) & 1;
            const uint32_t mosiLevel = (w >> mosiMode.Bit) & 1;
            const uint32_t misoLevel = (w >> misoMode.Bit) & 1;
            sckOut[k] = TraceTable[clock];
            ssOut[k] = TraceTable[((p >> ss) & 1) << 1 | cSs];
            mosiOut[k] = TraceTable[((p >> mosiMode.Bit) & 1) << 1 | mosiLevel];
            misoOut[k] = TraceTable[((p >> misoMode.Bit) & 1) << 1 | misoLevel];
            const uint32_t inputs = (cSs == activeLevel ? 8u : 0u) | clock << 1;
            const uint8_t x = mosiTable[mo << 4 | inputs | mosiLevel];
            const uint8_t y = misoTable[mi << 4 | inputs | misoLevel];
            mosiEvents[k] = x & 15;
            misoEvents[k] = y & 15;
            mo = x >> 4;
            mi = y >> 4;
            p = w;
        }
        previous = p;
        mosiState = mo;
        misoState = mi;
    });

    for (size_t k = 0; k < 2; ++k) {
        if (s.Lines[k].Enabled)
            Packets(r.Events[k], s.Lines[k], s, period, r.Lines[k]);
    }
}
