#include "protocols/SpiPacketPass.h"

#include "display/TimeText.h"
#include "protocols/WordText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>

namespace {

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

// A duration text kept for the last length asked: message and idle lengths
// repeat from packet to packet.
struct Memo
{
    int64_t Samples = -1;
    std::string Text;
};

// All of the packet pass but the bits themselves: idle stretches, packet
// starts and ends, the texts of words and rows, the statistics. The loop
// over the events calls it per word and per event 2, 3 or 4 only.
class Rows
{
public:
    Rows(const WSPI_Core::Line &line, const WSPI_Core::Settings &s, const WTime &p,
         WSPI_Core::LineResult &result)
        : bits(line.WordBits)
        , lsbFirst(s.BitOrder == 1)
        , textMode(s.TextMode)
        , period(p)
        , out(result)
    {
        for (uint32_t k = 0; k < errorTexts.size(); ++k)
            errorTexts[k] = BitsText(k, false);
    }

    // A message's first bit at sample i: ends an idle stretch, and opens a
    // packet unless one is open; true when it does.
    [[gnu::noinline]] bool First(int64_t i, bool inPacket)
    {
        if (inIdle) {
            idleLength = i - idleStart;
            Remembered(idleMemo, idleLength);
            inIdle = false;
        }
        if (inPacket)
            return false;
        ++packetCount;
        if (firstStart < 0)
            firstStart = i;
        packetStart = i;
        shortLength = 0;
        longData = false;
        return true;
    }

    // The first inactive sample at i: begins an idle stretch, and writes the
    // open packet's row (if one is open) with its whole words and error bits.
    [[gnu::noinline]] void End(int64_t i, bool inPacket, uint32_t words, uint32_t errorBits);

    // A whole word of the open packet, first bit as its most significant.
    void Word(uint32_t value)
    {
        if (lsbFirst)
            value = Reverse(value, bits);
        if (!longData && shortLength + WordTextMax + 1 <= shortData.size()) {
            char *to = shortData.data() + shortLength;
            const size_t n = WriteWordText(to, value, bits, textMode);
            to[n] = ' ';
            shortLength += n + 1;
            return;
        }
        if (!longData)
            data.assign(shortData.data(), shortLength);
        longData = true;
        char text[WordTextMax + 1];
        const size_t n = WriteWordText(text, value, bits, textMode);
        text[n] = ' ';
        data.append(text, n + 1);
    }

    void WriteStatistics();

private:
    std::string Duration(int64_t samples) const
    {
        return DurationText(TimeMul(period, static_cast<uint32_t>(samples)));
    }
    const std::string &Remembered(Memo &m, int64_t samples)
    {
        if (m.Samples != samples) {
            m.Samples = samples;
            m.Text = Duration(samples);
        }
        return m.Text;
    }
    void PushDecimal(uint32_t v)
    {
        char digits[12];
        const char *end = std::to_chars(digits, digits + sizeof digits, v).ptr;
        out.Packets.Push(std::string_view(digits, static_cast<size_t>(end - digits)));
    }

    const int bits;
    const bool lsbFirst;
    const int textMode;
    const WTime period;
    WSPI_Core::LineResult &out;
    // The error-bit texts a packet can have (fewer than a word's bits).
    std::array<std::string, WSPI_Core::MaxBits> errorTexts;
    Memo messageMemo, idleMemo; // the idle text of a row is the idle memo's
    Figure message, idle, wordFigure, errors;
    int packetCount = 0;
    int64_t firstStart = -1, packetStart = 0, idleStart = 0;
    int64_t idleLength = -1; // before the current packet; -1 while none ended there
    bool inIdle = false;
    // The open packet's data text: in shortData while it fits (no string
    // operations per word), else in data.
    std::array<char, 256> shortData;
    size_t shortLength = 0;
    bool longData = false;
    std::string data;
};

void Rows::End(int64_t i, bool inPacket, uint32_t words, uint32_t errorBits)
{
    if (!inIdle) {
        idleStart = i;
        inIdle = true;
    }
    if (!inPacket)
        return;
    const bool later = packetCount > 1;
    DecodeTable &t = out.Packets;
    PushDecimal(static_cast<uint32_t>(packetCount));
    t.Push(errorTexts[errorBits]);
    PushDecimal(words);
    t.Push(longData ? std::string_view(data) : std::string_view(shortData.data(), shortLength));
    t.Push(Remembered(messageMemo, i - packetStart));
    char since[DurationTextMax];
    const auto sinceFirst = static_cast<uint32_t>(packetStart - firstStart);
    t.Push(std::string_view(since, later ? WriteDurationOfCount(since, period, sinceFirst) : 0));
    t.Push(later ? std::string_view(idleMemo.Text) : std::string_view());
    message.Add(static_cast<uint32_t>(i - packetStart));
    wordFigure.Add(words);
    errors.Add(errorBits);
    // The idle stretch that ended at this packet, the first packet's too
    // (from the window's first inactive sample). A window that begins inside
    // a message has no idle stretch before its first packet: that packet
    // adds no idle length rather than a length of 0.
    if (idleLength >= 0)
        idle.Add(static_cast<uint32_t>(idleLength));
    idleLength = -1;
}

void Rows::WriteStatistics()
{
    if (message.Count == 0)
        return;
    const bool idles = idle.Count > 0;
    const Figure &w = wordFigure;
    out.Statistics.AddRow(
        {Duration(message.Min), Duration(message.Max), Duration(message.Average()),
         idles ? Duration(idle.Min) : "", idles ? Duration(idle.Max) : "",
         idles ? Duration(idle.Average()) : "", std::to_string(w.Min), std::to_string(w.Max),
         std::to_string(w.Average()), BitsText(errors.Min, true), BitsText(errors.Max, true),
         BitsText(static_cast<uint32_t>(errors.Sum), true)});
}

} // namespace

void SpiPacketPass::Run(const std::vector<uint8_t> &events, const WSPI_Core::Line &line,
                        const WSPI_Core::Settings &s, const WTime &period,
                        WSPI_Core::LineResult &out)
{
    static_assert(std::endian::native == std::endian::little, "byte k is bits 8k..8k+7");
    constexpr uint64_t Nothing8 = 0x0909090909090909ull, Low7 = 0x7F7F7F7F7F7F7F7Full;
    Rows rows(line, s, period, out);
    // The open packet's bits as whole words plus the bits of the word being
    // filled (no division per bit), in locals of this loop alone.
    const auto wordBits = static_cast<uint32_t>(line.WordBits);
    uint32_t words = 0, fill = 0, shift = 0;
    bool inPacket = false;
    const size_t size = events.size();
    for (size_t i = 0; i < size; i += 8) {
        // (The last few events through a copy, so that x stays a register.)
        const uint8_t *from = events.data() + i;
        uint8_t last[8];
        if (i + 8 > size) {
            std::memset(last, WSPI_Core::EventNothing, 8);
            std::memcpy(last, from, size - i);
            from = last;
        }
        uint64_t x;
        std::memcpy(&x, from, 8);
        const uint64_t y = x ^ Nothing8; // zero bytes where nothing
        for (uint64_t m = (((y & Low7) + Low7) | y) & ~Low7; m != 0; m &= m - 1) {
            const int k = std::countr_zero(m) / 8;
            const auto e = static_cast<uint8_t>(x >> (8 * k));
            const auto at = static_cast<int64_t>(i) + k;
            if (e == WSPI_Core::EventEnd) {
                rows.End(at, inPacket, words, fill);
                inPacket = false;
                continue;
            }
            if (e >= WSPI_Core::EventFirst0 && rows.First(at, inPacket)) {
                words = fill = shift = 0;
                inPacket = true;
            }
            if (!inPacket)
                continue;
            shift = (shift + (e & 1u)) * 2; // 0 and 2 are 0, 1 and 3 are 1
            if (++fill == wordBits) {
                fill = 0;
                ++words;
                rows.Word(shift / 2);
                shift = 0;
            }
        }
    }
    rows.WriteStatistics();
}
