#include "files/SampleTrace.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "protocols/CaptureWindow.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace {

std::string CleanName(const std::array<char, 10> &raw, const std::string &fallback)
{
    std::string name;
    for (char ch : raw) {
        if (ch == '\0' || name.size() == 8)
            break;
        const auto u = static_cast<unsigned char>(ch);
        name += (u > 32 && u < 127) ? ch : '_';
    }
    while (!name.empty() && name.back() == '_')
        name.pop_back();
    return name.empty() ? fallback : name;
}

std::string TwoDigits(int n)
{
    return (n < 10 ? "0" : "") + std::to_string(n);
}

} // namespace

uint32_t SampleTrace::ChannelMask() const
{
    uint32_t mask = 0;
    for (const Signal &s : Signals)
        for (uint8_t c : s.Channels)
            mask |= 1u << c;
    return mask;
}

SampleTrace SampleTrace::OfRecord(const CCaptureRecord &record, const WSystem &system,
                                  const CFile &settings, uint64_t periodPs, bool everyChannel)
{
    SampleTrace t;
    t.PeriodPs = periodPs;
    const int channels = std::min<int>(system.ChannelCount, CFile::MaxChannels);

    std::vector<int> rows;
    if (!everyChannel) {
        for (size_t i = 0; i < static_cast<size_t>(channels); ++i) {
            if (settings.DisplayOrder[i] >= system.RowCount)
                break;
            rows.push_back(settings.DisplayOrder[i]);
        }
    }
    if (rows.empty())
        for (int c = 0; c < channels; ++c)
            rows.push_back(c);

    std::set<std::string> taken;
    for (int row : rows) {
        Signal s;
        if (row < channels) {
            s.Name = CleanName(settings.ChannelEntry[static_cast<size_t>(row)].Name,
                               "CH" + TwoDigits(row));
            s.Channels.push_back(static_cast<uint8_t>(row));
        } else {
            const int bus = row - channels;
            const SignalEntry &entry = settings.BusEntry[static_cast<size_t>(bus)];
            s.Name = CleanName(entry.Name, "BUS" + TwoDigits(bus));
            const int width = std::min<int>(entry.BitCount, 16);
            for (int j = 0; j < width; ++j)
                if (entry.Members[static_cast<size_t>(j)] < channels)
                    s.Channels.push_back(
                        static_cast<uint8_t>(entry.Members[static_cast<size_t>(j)]));
            if (s.Channels.empty())
                continue; // a bus without members carries nothing
        }
        const std::string base = s.Name;
        for (int n = 2; !taken.insert(s.Name).second; ++n)
            s.Name = base + "_" + std::to_string(n);
        t.Signals.push_back(std::move(s));
    }

    const CaptureWindow window = CaptureWindow::OfRecord(record, system, settings);
    t.Words.resize(window.Count);
    window.ForEachRun([&t](uint32_t first, uint32_t count, const uint8_t *bytes) {
        std::memcpy(t.Words.data() + first, bytes, 4 * size_t{count});
    });
    const uint32_t fromStart = (record.TriggerAddress - window.Start) & window.Mask;
    t.TriggerIndex = window.Count ? std::min<uint64_t>(fromStart / 4, window.Count - 1) : 0;
    return t;
}
