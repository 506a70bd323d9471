#include "protocols/WI2C_Analyzer.h"

#include "display/wTranslate.h"
#include "protocols/CI2C.h"

#include <array>
#include <unordered_map>

namespace {

constexpr std::array<std::string_view, 5> Units{"", "nS ", "uS ", "mS ", "S "};

// One packet's fields as they are decoded from its bits.
struct Fields
{
    std::string Address;
    std::string Data;
    std::string Dir;
    int Words = 0;
    bool Read = false;
    bool HasDir = false;
    bool NoAck = false;
};

std::string Format(uint64_t value, int bits, int mode, bool dataWord)
{
    std::string text;
    switch (mode) {
    case 0:
        text = wTranslate::Bin(static_cast<uint32_t>(value), bits) + "(b)";
        break;
    case 1:
        text = wTranslate::Dec(static_cast<uint32_t>(value)) + "(d)";
        break;
    default:
        text = wTranslate::Hex(static_cast<uint32_t>(value), bits) + "(h)";
        break;
    }
    if (dataWord)
        text.push_back(' ');
    return text;
}

// Walks the data bits between begin and end: address, R/W, acknowledge,
// then data words each followed by an acknowledge. An acknowledge that is
// not at the ACK level marks the packet, except the one after the last word
// of a read, where the master ends the read by not acknowledging.
Fields DecodeBits(const uint8_t *events, int64_t begin, int64_t end,
                  const WI2C_Analyzer::Settings &s)
{
    enum class State { Address, ReadWrite, Ack, Data };
    Fields f;
    State state = State::Address;
    uint64_t value = 0;
    int n = 0;
    bool addressAck = true; // the next acknowledge belongs to the address
    bool pendingReadNack = false;
    for (int64_t i = begin + 1; i < end; ++i) {
        const uint8_t e = events[i];
        if (e > 1)
            continue;
        switch (state) {
        case State::Address:
            value = value << 1 | e;
            if (++n == s.AddressBits) {
                f.Address = Format(value, s.AddressBits, s.TextMode, false);
                n = 0;
                value = 0;
                state = State::ReadWrite;
            }
            break;
        case State::ReadWrite:
            f.HasDir = true;
            f.Read = e == s.ReadLevel;
            f.Dir = f.Read ? "R" : "W";
            state = State::Ack;
            break;
        case State::Ack:
            if (e != s.AckLevel) {
                if (f.Read && !addressAck)
                    pendingReadNack = true;
                else
                    f.NoAck = true;
            }
            addressAck = false;
            state = State::Data;
            break;
        case State::Data:
            value = value << 1 | e;
            if (++n == s.DataBits) {
                // The read went on after a refused word. (The clock pulse of
                // the STOP that follows the last word is no word.)
                if (pendingReadNack)
                    f.NoAck = true;
                pendingReadNack = false;
                ++f.Words;
                f.Data += Format(value, s.DataBits, s.TextMode, true);
                n = 0;
                value = 0;
                state = State::Ack;
            }
            break;
        }
    }
    return f;
}

struct AddressRow
{
    int Times = 0;
    int Reads = 0;
    int Writes = 0;
    WTime MessageSum;
};

} // namespace

std::string WI2C_Analyzer::DurationText(const WTime &value)
{
    const WTime d = Normalise(value);
    int first = 4;
    while (first >= 1 && d.g[static_cast<size_t>(first)] == 0)
        --first;
    if (first == 0)
        return "0nS";
    int last = 1;
    while (d.g[static_cast<size_t>(last)] == 0)
        ++last;
    std::string out = std::to_string(d.g[static_cast<size_t>(first)]);
    for (int k = first - 1; k >= last; --k) {
        const uint32_t g = d.g[static_cast<size_t>(k)];
        if (k == first - 1)
            out.push_back('.');
        out.push_back(static_cast<char>('0' + g / 100));
        out.push_back(static_cast<char>('0' + g / 10 % 10));
        out.push_back(static_cast<char>('0' + g % 10));
    }
    out += Units[static_cast<size_t>(first)];
    return out;
}

WI2C_Analyzer::Result WI2C_Analyzer::Decode(const CaptureWindow &window, const Settings &s,
                                            const WTime &period)
{
    Result r;
    const auto validChannel = [&](int c) { return c >= 0 && c < window.Channels && c < 32; };
    if (!validChannel(s.SclChannel) || !validChannel(s.SdaChannel))
        r.State = Status::ChannelMissing;
    else if (s.AddressBits < 1 || s.AddressBits > MaxBits || s.DataBits < 1 || s.DataBits > MaxBits)
        r.State = Status::BitsOutOfRange;
    if (r.State != Status::Decoded) {
        r.SclTrace.assign(window.Count, 10);
        r.SdaTrace.assign(window.Count, 10);
        return r;
    }

    CI2C classifier(window.Ring, window.Count * 4);
    if (classifier.GetSize() != window.Count) {
        r.State = Status::NoMemory;
        return r;
    }
    classifier.StartAddress = window.Start;
    classifier.AddressBits = s.AddressBits;
    classifier.DataBits = s.DataBits;
    classifier.AckLevel = s.AckLevel;
    classifier.ReadLevel = s.ReadLevel;
    classifier.SclChannel = static_cast<uint32_t>(s.SclChannel);
    classifier.SdaChannel = static_cast<uint32_t>(s.SdaChannel);
    classifier.TextMode = s.TextMode;
    r.SclTrace.resize(window.Count);
    r.SdaTrace.resize(window.Count);
    classifier.IIC_Analyzer(r.SclTrace, r.SdaTrace);

    const uint8_t *events = classifier.Events().data();
    const int64_t size = classifier.GetSize();
    auto duration = [&](int64_t samples) {
        return TimeMul(period, static_cast<uint32_t>(samples));
    };

    std::vector<AddressRow> rows;
    std::unordered_map<std::string, size_t> rowOf;
    int packetCount = 0;
    int64_t previousEnd = -1;
    int64_t begin = 0, end = 0;
    bool startSeen = false, repeatedStart = false, stopSeen = false, packageError = false;

    auto emit = [&](int64_t from, int64_t to) {
        const Fields f = DecodeBits(events, from, to, s);
        const WTime message = duration(to - from + 1);
        const int row = r.Packets.AddRow();
        r.Packets.Set(row, 0, std::to_string(packetCount));
        std::string status;
        if (packageError) {
            status = "Package Error";
        } else {
            if (startSeen || repeatedStart)
                status = "S";
            if (stopSeen)
                status += "P";
            if (f.NoAck)
                status += " , !Ack";
        }
        r.Packets.Set(row, 1, std::move(status));
        r.Packets.Set(row, 2, f.Address);
        r.Packets.Set(row, 3, DurationText(message));
        if (previousEnd >= 0)
            r.Packets.Set(row, 4, DurationText(duration(from - previousEnd)));
        previousEnd = to;
        r.Packets.Set(row, 5, f.Dir);
        if (f.Words > 0)
            r.Packets.Set(row, 6, std::to_string(f.Words));
        r.Packets.Set(row, 7, f.Data);

        auto [it, added] = rowOf.try_emplace(f.Address, rows.size());
        if (added)
            rows.emplace_back();
        AddressRow &a = rows[it->second];
        ++a.Times;
        if (f.HasDir)
            ++(f.Read ? a.Reads : a.Writes);
        a.MessageSum = TimeAdd(a.MessageSum, message);
    };

    for (int64_t i = 0; i < size; ++i) {
        const uint8_t e = events[i];
        if (e == CI2C::EventStart) {
            if (!startSeen) {
                // A STOP seen with no START open (the capture began inside a
                // transfer) closes nothing: this START opens a packet anew.
                stopSeen = false;
                begin = i;
                startSeen = true;
            } else {
                repeatedStart = true;
                end = i;
            }
        } else if (e == CI2C::EventStop) {
            if (!stopSeen) {
                stopSeen = true;
                end = i;
            } else {
                // A second STOP without a START between them.
                begin = end;
                end = i;
                startSeen = stopSeen = packageError = true;
            }
        } else {
            continue;
        }
        if (startSeen && (stopSeen || repeatedStart)) {
            emit(begin, end);
            ++packetCount;
            if (startSeen && stopSeen) {
                startSeen = stopSeen = packageError = false;
                repeatedStart = false;
            } else {
                startSeen = repeatedStart = false;
                --i; // the repeated START opens the next packet
            }
        }
    }

    r.Addresses.Reserve(static_cast<int>(rows.size()));
    for (size_t k = 0; k < rows.size(); ++k)
        r.Addresses.AddRow();
    for (const auto &[text, index] : rowOf) {
        const AddressRow &a = rows[index];
        const int row = static_cast<int>(index);
        r.Addresses.Set(row, 0, text);
        r.Addresses.Set(row, 1, std::to_string(a.Times));
        const WTime average = TimeDivide(a.MessageSum, WTime::Of(static_cast<uint32_t>(a.Times))).q;
        r.Addresses.Set(row, 2, DurationText(average));
        r.Addresses.Set(row, 3, std::to_string(a.Reads));
        r.Addresses.Set(row, 4, std::to_string(a.Writes));
    }
    return r;
}
