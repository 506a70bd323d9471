#include "display/WGetName.h"

#include "device/CFile.h"

#include <algorithm>
#include <cstring>

namespace {

SignalEntry *RowEntry(CFile &file, int row, int channelCount)
{
    if (row < 0 || channelCount <= 0 || channelCount > CFile::MaxChannels)
        return nullptr;
    if (row < channelCount)
        return &file.ChannelEntry[static_cast<size_t>(row)];
    const int bus = row - channelCount;
    if (bus >= CFile::MaxChannels)
        return nullptr;
    return &file.BusEntry[static_cast<size_t>(bus)];
}

}  // namespace

std::string WGetName::GetName(int channel) const
{
    if (channel < 0 || channel >= CFile::MaxChannels)
        return {};
    return std::string(CFile::NameText(file.ChannelEntry[static_cast<size_t>(channel)]));
}

std::string WGetName::RowName(int row, int channelCount) const
{
    const SignalEntry *e = RowEntry(file, row, channelCount);
    return e ? std::string(CFile::NameText(*e)) : std::string();
}

bool WGetName::SetRowName(int row, int channelCount, std::string_view text)
{
    SignalEntry *e = RowEntry(file, row, channelCount);
    if (!e)
        return false;
    std::fill(e->Name.begin(), e->Name.begin() + 9, 0);
    const size_t n = std::min(text.size(), MaxName);
    std::memcpy(e->Name.data(), text.data(), n);
    return true;
}
