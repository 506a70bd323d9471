#include "protocols/WI2C_Analyzer.h"

#include "protocols/CI2C.h"
#include "protocols/WordText.h"

#include <array>
#include <unordered_map>

namespace {

constexpr std::array<std::string_view, 5> Units{"", "nS ", "uS ", "mS ", "S "};

// One packet's fields as they are decoded from its bits.
struct Fields
{
    std::string Address;
    std::string Data;
    std::string_view Dir;
    int Words = 0;
    bool Read = false;
    bool HasDir = false;
    bool NoAck = false;
};

// The value in the text mode with its suffix, and a space after a data word.
void Format(std::string &out, uint32_t value, int bits, int mode, bool dataWord)
{
    AppendWordText(out, value, bits, mode);
    if (dataWord)
        out.push_back(' ');
}

// The 10-bit address a read that names only its two high bits reads from:
// the one written last with the same high bits.
struct TenBitMemory
{
    uint32_t Address = 0;
    bool Known = false;
};

constexpr uint32_t TenBitHeader = 0x1E; // 11110, the first five bits of a 10-bit address

// Walks the data bits between begin and end: address, R/W, acknowledge,
// then data words each followed by an acknowledge. An acknowledge that is
// not at the ACK level marks the packet, except the one after the last word
// of a read, where the master ends the read by not acknowledging.
//
// With 10 address bits the address goes out as on the bus: 11110 A9 A8
// R/W, its acknowledge, then (for a write) A7..A0 and its acknowledge; a
// read names A9 A8 alone and reads from the address last written with
// them. A first byte that does not begin with 11110 is a 7-bit address.
void DecodeBits(const uint8_t *events, int64_t begin, int64_t end, const WI2C_Analyzer::Settings &s,
                TenBitMemory &tenBit, Fields &f)
{
    enum class State { Address, ReadWrite, Ack, LowAddress, Data };
    f.Address.clear();
    f.Data.clear();
    f.Dir = {};
    f.Words = 0;
    f.Read = f.HasDir = f.NoAck = false;
    State state = State::Address;
    uint64_t value = 0;
    int n = 0;
    bool addressAck = true; // the next acknowledge belongs to the address
    bool pendingReadNack = false;
    bool lowAddressNext = false; // a 10-bit write: A7..A0 follow the acknowledge
    uint32_t high = 0;           // A9 A8 of a 10-bit address
    const bool tenBits = s.AddressBits == 10;
    for (int64_t i = begin + 1; i < end; ++i) {
        const uint8_t e = events[i];
        if (e > 1)
            continue;
        switch (state) {
        case State::Address:
            value = value << 1 | e;
            ++n;
            if (tenBits && n == 7 && (value >> 2) == TenBitHeader) {
                high = static_cast<uint32_t>(value & 3);
                lowAddressNext = true;
                n = 0;
                value = 0;
                state = State::ReadWrite;
            } else if (n == (tenBits ? 7 : s.AddressBits)) {
                Format(f.Address, static_cast<uint32_t>(value), n, s.TextMode, false);
                n = 0;
                value = 0;
                state = State::ReadWrite;
            }
            break;
        case State::ReadWrite:
            f.HasDir = true;
            f.Read = e == s.ReadLevel;
            f.Dir = f.Read ? "R" : "W";
            if (lowAddressNext && f.Read) {
                lowAddressNext = false;
                if (tenBit.Known && (tenBit.Address >> 8) == high)
                    Format(f.Address, tenBit.Address, 10, s.TextMode, false);
            }
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
            state = lowAddressNext ? State::LowAddress : State::Data;
            lowAddressNext = false;
            break;
        case State::LowAddress:
            value = value << 1 | e;
            if (++n == 8) {
                const uint32_t address = high << 8 | static_cast<uint32_t>(value);
                Format(f.Address, address, 10, s.TextMode, false);
                tenBit = {address, true};
                n = 0;
                value = 0;
                addressAck = true;
                state = State::Ack;
            }
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
                Format(f.Data, static_cast<uint32_t>(value), s.DataBits, s.TextMode, true);
                n = 0;
                value = 0;
                state = State::Ack;
            }
            break;
        }
    }
}

struct AddressRow
{
    int Times = 0;
    int Reads = 0;
    int Writes = 0;
    WTime MessageSum;
};

} // namespace

std::vector<std::string> WI2C_Analyzer::PacketHeaders()
{
    return {"Packet", "Status", "Address", "Msg. Time", "Idle Time", "Dir", "Length", "Data"};
}

std::vector<std::string> WI2C_Analyzer::AddressHeaders()
{
    return {"Address", "Times", "Avg. Time", "Read", "Write"};
}

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
    Decode(window, s, period, r);
    return r;
}

void WI2C_Analyzer::Decode(const CaptureWindow &window, const Settings &s, const WTime &period,
                           Result &r)
{
    r.State = Status::Decoded;
    r.Packets.Clear();
    r.Addresses.Clear();
    const auto validChannel = [&](int c) { return c >= 0 && c < window.Channels && c < 32; };
    if (!validChannel(s.SclChannel) || !validChannel(s.SdaChannel))
        r.State = Status::ChannelMissing;
    else if (s.AddressBits < 1 || s.AddressBits > MaxBits || s.DataBits < 1 || s.DataBits > MaxBits)
        r.State = Status::BitsOutOfRange;
    if (r.State != Status::Decoded) {
        r.SclTrace.assign(window.Count, 10);
        r.SdaTrace.assign(window.Count, 10);
        return;
    }

    CI2C classifier(window.Ring, window.Count * 4);
    if (classifier.GetSize() != window.Count) {
        r.State = Status::NoMemory;
        return;
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
    std::vector<std::string> rowText;
    std::unordered_map<std::string, size_t> rowOf;
    size_t lastRow = SIZE_MAX;
    int packetCount = 0;
    int64_t previousEnd = -1;
    int64_t begin = 0, end = 0;
    bool startSeen = false, repeatedStart = false, stopSeen = false, packageError = false;
    Fields f;
    std::string status;

    TenBitMemory tenBit;
    // `to` is the STOP or repeated START that ends the packet; for a
    // transfer the window ends inside of (`cut`), one past its last sample.
    auto emit = [&](int64_t from, int64_t to, bool cut) {
        DecodeBits(events, from, to, s, tenBit, f);
        const WTime message = duration(to - from + (cut ? 0 : 1));
        status.clear();
        if (packageError) {
            status = "Package Error";
        } else {
            if (startSeen || repeatedStart)
                status = "S";
            if (stopSeen)
                status += "P";
            if (f.NoAck)
                status += " , !Ack";
            if (cut)
                status += " , Cut";
        }
        const std::string number = std::to_string(packetCount);
        const std::string messageText = DurationText(message);
        const std::string idleText =
            previousEnd >= 0 ? DurationText(duration(from - previousEnd)) : std::string();
        const std::string words = f.Words > 0 ? std::to_string(f.Words) : std::string();
        r.Packets.AddRow({number, status, f.Address, messageText, idleText, f.Dir, words, f.Data});
        previousEnd = to;

        // Packets mostly go to the address of the one before.
        if (lastRow == SIZE_MAX || rowText[lastRow] != f.Address) {
            auto [it, added] = rowOf.try_emplace(f.Address, rows.size());
            if (added) {
                rows.emplace_back();
                rowText.push_back(f.Address);
            }
            lastRow = it->second;
        }
        AddressRow &a = rows[lastRow];
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
            emit(begin, end, false);
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

    // A transfer the window ends inside of (no STOP yet) is listed as cut,
    // with what it carried so far.
    if (startSeen && size > begin + 1) {
        emit(begin, size, true);
        ++packetCount;
    }

    for (size_t k = 0; k < rows.size(); ++k) {
        const AddressRow &a = rows[k];
        const WTime average = TimeDivide(a.MessageSum, WTime::Of(static_cast<uint32_t>(a.Times))).q;
        r.Addresses.AddRow({rowText[k], std::to_string(a.Times), DurationText(average),
                            std::to_string(a.Reads), std::to_string(a.Writes)});
    }
}
