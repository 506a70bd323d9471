#include "trigger/BusTable.h"

#include "device/CFile.h"

#include <algorithm>
#include <cstring>

int BusTable::Row::Bits() const
{
    return static_cast<int>(
        std::count_if(Marks.begin(), Marks.end(), [](uint8_t m) { return m != 0; }));
}

BusTable::BusTable(int channelCount)
    : BusTable(channelCount, Texts{})
{}

BusTable::BusTable(int channelCount, Texts words)
    : channels(std::clamp(channelCount, 1, MaxChannels))
    , texts(std::move(words))
    , rows(1)
{}

void BusTable::Load(const CFile &settings)
{
    rows.assign(1, Row{});
    int loaded = 0;
    for (const uint8_t entry : settings.DisplayOrder) {
        if (loaded == channels)
            break;
        if (entry >= EmptyEntry())
            break; // the used entries come first
        Row row;
        row.RowMode = Mode::User;
        const bool bus = entry >= channels;
        const SignalEntry &e = bus ? settings.BusEntry[static_cast<size_t>(entry - channels)]
                                   : settings.ChannelEntry[entry];
        row.Name = std::string(CFile::NameText(e));
        const int count = bus ? std::min<int>(e.BitCount, BusSizeLimit) : 1;
        uint8_t next = 1;
        for (int k = 0; k < count; ++k) {
            const uint16_t member = bus ? e.Members[static_cast<size_t>(k)] : entry;
            if (member >= channels || row.Marks[member] != 0)
                continue;
            row.Marks[member] = next++;
        }
        if (loaded == 0)
            rows[0] = row;
        else
            rows.push_back(row);
        ++loaded;
    }
}

bool BusTable::Add()
{
    const bool firstEmpty = rows.size() == 1 && rows[0].IsEmpty();
    if (!firstEmpty && RowCount() >= channels)
        return false;
    Row row;
    row.RowMode = Mode::User;
    row.Name = texts.None + std::to_string(firstEmpty ? 0 : RowCount());
    if (firstEmpty)
        rows[0] = row;
    else
        rows.push_back(row);
    return true;
}

void BusTable::Delete(int row)
{
    if (!Valid(row))
        return;
    if (rows.size() == 1)
        rows[0] = Row{};
    else
        rows.erase(rows.begin() + row);
}

void BusTable::Erase(int row)
{
    if (Valid(row))
        rows[static_cast<size_t>(row)].Marks.fill(0);
}

void BusTable::ToggleMode(int row)
{
    if (!Valid(row))
        return;
    Row &r = rows[static_cast<size_t>(row)];
    r.Marks.fill(0);
    r.RowMode = r.RowMode == Mode::User ? Mode::Auto : Mode::User;
}

void BusTable::SetName(int row, const std::string &name)
{
    if (Valid(row))
        rows[static_cast<size_t>(row)].Name = name.substr(0, NameLength);
}

void BusTable::ToggleCell(int row, int channel)
{
    if (!Valid(row) || channel < 0 || channel >= channels)
        return;
    Row &r = rows[static_cast<size_t>(row)];
    if (r.IsEmpty())
        return;
    uint8_t &mark = r.Marks[static_cast<size_t>(channel)];
    const int marked = r.Bits();
    if (mark == 0) {
        if (marked < BusSizeLimit)
            mark = static_cast<uint8_t>(r.RowMode == Mode::Auto ? 1 : marked + 1);
        return;
    }
    const uint8_t removed = mark;
    mark = 0;
    if (r.RowMode == Mode::User)
        for (uint8_t &m : r.Marks)
            if (m > removed)
                --m;
}

std::string BusTable::ModeText(int row) const
{
    if (!Valid(row))
        return {};
    switch (RowAt(row).RowMode) {
    case Mode::User:
        return texts.User;
    case Mode::Auto:
        return texts.Auto;
    default:
        return {};
    }
}

std::string BusTable::BitsText(int row) const
{
    if (!Valid(row) || RowAt(row).IsEmpty())
        return {};
    return std::to_string(RowAt(row).Bits());
}

std::string BusTable::CellText(int row, int channel) const
{
    if (!Valid(row) || channel < 0 || channel >= channels)
        return {};
    const Row &r = RowAt(row);
    const uint8_t m = r.Marks[static_cast<size_t>(channel)];
    if (m == 0)
        return {};
    return r.RowMode == Mode::Auto ? std::string("V") : std::to_string(m);
}

std::vector<int> BusTable::Members(int row) const
{
    std::vector<int> out;
    if (!Valid(row))
        return out;
    const Row &r = RowAt(row);
    if (r.RowMode == Mode::Auto) {
        for (int c = channels - 1; c >= 0; --c)
            if (r.Marks[static_cast<size_t>(c)] != 0)
                out.push_back(c);
        return out;
    }
    out.assign(static_cast<size_t>(r.Bits()), 0);
    for (int c = 0; c < channels; ++c) {
        const uint8_t m = r.Marks[static_cast<size_t>(c)];
        if (m != 0 && m <= out.size())
            out[m - 1u] = c;
    }
    return out;
}

std::string BusTable::MsbText(int row) const
{
    const std::vector<int> members = Members(row);
    if (members.empty())
        return {};
    return "MSB = CH" + std::to_string(members.front());
}

std::string BusTable::MembersText(int row) const
{
    std::string out;
    for (const int c : Members(row)) {
        if (!out.empty())
            out += " , ";
        out += std::to_string(c);
    }
    return out;
}

namespace {

void StoreName(SignalEntry &e, const std::string &name)
{
    e.Name.fill(0);
    std::memcpy(e.Name.data(), name.data(), std::min<size_t>(name.size(), BusTable::NameLength));
}

} // namespace

void BusTable::Commit(CFile &settings) const
{
    const auto n = static_cast<uint16_t>(channels);
    settings.DisplayOrder.fill(static_cast<uint8_t>(EmptyEntry()));
    for (int c = 0; c < channels; ++c) {
        SignalEntry &ch = settings.ChannelEntry[static_cast<size_t>(c)];
        ch.BitCount = 1;
        ch.InUse = 0;
        ch.Members[0] = static_cast<uint16_t>(c);
        ch.Name.fill(0);
        SignalEntry &bus = settings.BusEntry[static_cast<size_t>(c)];
        bus.BitCount = 0;
        bus.InUse = 0;
        bus.Name.fill(0);
    }
    size_t position = 0;
    int nextBus = 0;
    for (int i = 0; i < RowCount(); ++i) {
        const std::vector<int> members = Members(i);
        if (members.empty())
            continue;
        const std::string &name = RowAt(i).Name;
        if (members.size() == 1) {
            const int c = members.front();
            settings.DisplayOrder[position++] = static_cast<uint8_t>(c);
            SignalEntry &ch = settings.ChannelEntry[static_cast<size_t>(c)];
            StoreName(ch, name);
            ch.BitCount = 1;
            ch.InUse = 1;
            continue;
        }
        SignalEntry &bus = settings.BusEntry[static_cast<size_t>(nextBus)];
        bus.Members.fill(n);
        for (size_t k = 0; k < members.size(); ++k)
            bus.Members[k] = static_cast<uint16_t>(members[k]);
        StoreName(bus, name);
        bus.BitCount = static_cast<uint16_t>(members.size());
        bus.InUse = 1;
        settings.DisplayOrder[position++] = static_cast<uint8_t>(channels + nextBus);
        ++nextBus;
    }
}
