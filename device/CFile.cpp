#include "device/CFile.h"

#include "device/ModelTable.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

// Walks the block field by field from the cursor; the same field list drives
// both directions so that build and parse can never disagree on the layout.
class BlockWriter
{
public:
    BlockWriter(std::array<uint8_t, CFile::BlockSize> &b, uint32_t &c) : buf(b), cursor(c) {}
    void U8(const uint8_t &v) { buf[cursor++] = v; }
    void U16(const uint16_t &v)
    {
        buf[cursor++] = static_cast<uint8_t>(v);
        buf[cursor++] = static_cast<uint8_t>(v >> 8);
    }
    void I16(const int16_t &v) { U16(static_cast<uint16_t>(v)); }
    void LowHigh(const uint32_t &v)
    {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void HighLow(const uint32_t &v)
    {
        U16(static_cast<uint16_t>(v >> 16));
        U16(static_cast<uint16_t>(v));
    }
    void Bytes(const uint8_t *v, size_t n)
    {
        std::memcpy(&buf[cursor], v, n);
        cursor += static_cast<uint32_t>(n);
    }
    void Chars(const char *v, size_t n) { Bytes(reinterpret_cast<const uint8_t *>(v), n); }

private:
    std::array<uint8_t, CFile::BlockSize> &buf;
    uint32_t &cursor;
};

class BlockReader
{
public:
    BlockReader(const std::array<uint8_t, CFile::BlockSize> &b, uint32_t &c) : buf(b), cursor(c) {}
    void U8(uint8_t &v) { v = buf[cursor++]; }
    void U16(uint16_t &v)
    {
        v = static_cast<uint16_t>(buf[cursor] | (buf[cursor + 1] << 8));
        cursor += 2;
    }
    void I16(int16_t &v)
    {
        uint16_t u = 0;
        U16(u);
        v = static_cast<int16_t>(u);
    }
    void LowHigh(uint32_t &v)
    {
        uint16_t lo = 0;
        uint16_t hi = 0;
        U16(lo);
        U16(hi);
        v = (uint32_t{hi} << 16) | lo;
    }
    void HighLow(uint32_t &v)
    {
        uint16_t lo = 0;
        uint16_t hi = 0;
        U16(hi);
        U16(lo);
        v = (uint32_t{hi} << 16) | lo;
    }
    void Bytes(uint8_t *v, size_t n)
    {
        std::memcpy(v, &buf[cursor], n);
        cursor += static_cast<uint32_t>(n);
    }
    void Chars(char *v, size_t n) { Bytes(reinterpret_cast<uint8_t *>(v), n); }

private:
    const std::array<uint8_t, CFile::BlockSize> &buf;
    uint32_t &cursor;
};

template <typename Io, typename Entry> void EntryFields(Io &io, Entry &e)
{
    io.Chars(e.Name.data(), 9);
    for (auto &m : e.Members)
        io.U16(m);
    io.U16(e.DisplayFormat);
    io.U16(e.BitCount);
    io.U8(e.InUse);
    io.U16(e.Reserved);
}

uint16_t SumBytes(const std::array<uint8_t, CFile::BlockSize> &b, size_t count)
{
    uint32_t sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum += b[i];
    return static_cast<uint16_t>(sum);
}

uint16_t ReadWord(const std::array<uint8_t, CFile::BlockSize> &b, size_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

}  // namespace

template <typename Io> void CFile::Fields(Io &io)
{
    io.I16(TimeDivRow);
    io.I16(RateRow);
    io.U8(Reserved6);
    io.I16(Reserved7);
    io.U8(Reserved9);
    io.I16(TriggerPositionCode);
    io.I16(MemoryPercent);
    io.U16(PortLevel[0]);
    io.U8(Reserved16);
    io.U8(Reserved17);
    io.I16(MemoryDepthIndex);
    io.U8(Reserved20);
    io.U8(Reserved21);
    io.I16(Reserved22);
    for (auto &row : TriggerCondition)
        io.Bytes(row.data(), row.size());
    io.Bytes(DisplayOrder.data(), DisplayOrder.size());
    for (auto &e : ChannelEntry)
        EntryFields(io, e);
    for (auto &e : BusEntry)
        EntryFields(io, e);
    io.U8(TriggerType);
    io.U8(Reserved3257);
    io.U8(Reserved3258);
    io.U8(ContinuousTrigger);
    io.Bytes(Reserved3260.data(), Reserved3260.size());
    io.I16(Reserved3262);
    io.I16(Reserved3264);
    io.U8(DelayNegative);
    for (auto &g : DelayGroups)
        io.U16(g);
    io.U8(Reserved3277);
    for (auto &w : Reserved3278)
        io.U16(w);
    io.LowHigh(PreTriggerBytes);
    io.LowHigh(PostTriggerBytes);
    io.Bytes(Reserved3296.data(), Reserved3296.size());
    io.HighLow(ExportTriggerAddress);
    for (auto &w : Reserved3302)
        io.U16(w);
    io.HighLow(ReportedEndAddress);
    io.U8(TriggerCounter);
    io.U8(PulsePolarity);
    io.U8(PulseCompare);
    io.U8(PulseChannel);
    io.I16(PulseSamples);
    io.U8(ClockSource);
    io.U8(CaptureDone);
    io.U8(PulseUnit);
    io.U16(PulseWhole);
    io.U16(PulseFraction);
    io.U16(PortLevel[1]);
    io.U16(PortLevel[2]);
    io.U16(PortLevel[3]);
}

void CFile::ResetSettings()
{
    const ModelTable::ModelRow &model = ModelTable::Model(ModelCode);
    const uint16_t channels = model.channels;
    const auto rows = static_cast<uint8_t>(channels * 2);

    BlockLength = 0;
    TimeDivRow = 3;
    RateRow = 3;
    Reserved6 = 0;
    Reserved7 = 10;
    Reserved9 = 1;
    TriggerPositionCode = 5;
    MemoryPercent = 5;
    PortLevel.fill((ModelCode == 9 || ModelCode == 10) ? 270 : 142);
    Reserved16 = 1;
    Reserved17 = 0x2D;
    MemoryDepthIndex = 0;
    Reserved20 = 1;
    Reserved21 = 1;
    Reserved22 = 0;
    for (auto &row : TriggerCondition)
        row.fill(CondX);
    DisplayOrder.fill(rows);
    for (int i = 0; i < MaxChannels; ++i) {
        for (int bus = 0; bus < 2; ++bus) {
            SignalEntry &e = bus ? BusEntry[i] : ChannelEntry[i];
            const char *prefix = bus ? "BUS" : "CH";
            const size_t len = std::strlen(prefix);
            // "CH07", a zero byte, then spaces up to the eighth byte.
            std::fill(e.Name.begin(), e.Name.begin() + 8, ' ');
            std::memcpy(e.Name.data(), prefix, len);
            e.Name[len] = static_cast<char>('0' + i / 10);
            e.Name[len + 1] = static_cast<char>('0' + i % 10);
            e.Name[len + 2] = 0;
            e.Members.fill(channels);
            e.DisplayFormat = bus ? 0 : 1;
            e.InUse = 0;
            e.Reserved = 0;
        }
    }
    TriggerType = 1;
    Reserved3257 = 1;
    Reserved3258 = 31;
    ContinuousTrigger = 0;
    Reserved3260.fill(0);
    Reserved3262 = 10;
    Reserved3264 = 0;
    DelayNegative = 0;
    DelayGroups.fill(0);
    Reserved3277 = 0;
    Reserved3278.fill(0);
    PreTriggerBytes = 0;
    PostTriggerBytes = 0;
    Reserved3296.fill(0);
    ExportTriggerAddress = 0;
    Reserved3302.fill(0);
    ReportedEndAddress = 0;
    TriggerCounter = 1;
    PulsePolarity = 0;
    PulseCompare = 0;
    PulseChannel = 0;
    PulseSamples = 0;
    ClockSource = 0;
    CaptureDone = 0;
    PulseUnit = 1;
    PulseWhole = 0;
    PulseFraction = 0;
    BlockMagic = Magic;
}

void CFile::BuildBlock()
{
    BlockCursor = 2;
    BlockWriter writer(BlockBuffer, BlockCursor);
    Fields(writer);
    BlockMagic = Magic;
    writer.U16(BlockMagic);
    const uint16_t length = static_cast<uint16_t>(BlockCursor - 2);
    BlockBuffer[0] = static_cast<uint8_t>(length);
    BlockBuffer[1] = static_cast<uint8_t>(length >> 8);
    BlockSum = SumBytes(BlockBuffer, length);
    writer.U16(BlockSum);
}

bool CFile::ParseBlock()
{
    if (ModelCode > 10)
        return false;
    const uint16_t length = ReadWord(BlockBuffer, 0);
    if (length > BlockSize - 4)
        return false;
    BlockSum = SumBytes(BlockBuffer, length);
    if (ReadWord(BlockBuffer, length) != Magic || ReadWord(BlockBuffer, length + 2u) != BlockSum)
        return false;
    // The fields sit at fixed offsets up to 3329; a shorter block would hand
    // bytes beyond its own end to the record as settings.
    if (length < LayoutLength)
        return false;

    // Fields that later code uses as table indices must be inside their
    // tables, whatever a file or a device sent.
    auto row = [&](size_t at) {
        const auto v = static_cast<int16_t>(ReadWord(BlockBuffer, at));
        return v >= 0 && v < ModelTable::TimeDivRowCount;
    };
    const auto position = static_cast<int16_t>(ReadWord(BlockBuffer, 10));
    const auto depth = static_cast<int16_t>(ReadWord(BlockBuffer, 18));
    const uint8_t type = BlockBuffer[3256]; // 0 is a valid type: Pattern 1
    const uint8_t unit = BlockBuffer[3318];
    if (!row(2) || !row(4) || position < 1 || position > 9 || depth < 0 ||
        depth >= ModelTable::MaxDepthCount || type > 5 || unit > 4)
        return false;

    BlockCursor = 0;
    BlockReader reader(BlockBuffer, BlockCursor);
    reader.U16(BlockLength);
    Fields(reader);
    reader.U16(BlockMagic);
    reader.U16(BlockSum);
    for (auto &e : ChannelEntry)
        e.Name[9] = 0;
    for (auto &e : BusEntry)
        e.Name[9] = 0;
    return true;
}

std::string_view CFile::NameText(const SignalEntry &entry)
{
    const char *name = entry.Name.data();
    size_t n = 0;
    while (n < 8 && name[n] != 0)
        ++n;
    return {name, n};
}
