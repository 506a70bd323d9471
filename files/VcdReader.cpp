#include "files/VcdReader.h"

#include "device/CFile.h"
#include "device/ModelTable.h"
#include "device/WSystem.h"
#include "files/FileName.h"
#include "files/VcdScan.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

__extension__ typedef unsigned __int128 Wide;

constexpr std::array<int, 6> Order16{3, 5, 7, 4, 6, 8};
constexpr std::array<int, 3> Order32{4, 6, 8};

uint64_t PeriodPsOf(int row, ModelTable::RateClass rate)
{
    const ModelTable::TimeValueEntry p = ModelTable::Row(row).period[static_cast<size_t>(rate)];
    uint64_t ps = static_cast<uint64_t>(p.value);
    for (int u = 0; u < p.unit; ++u)
        ps *= 1000;
    return ps;
}

// The slowest row of the model with exactly this period; -1 when none.
int RowOf(int model, uint64_t periodPs)
{
    const ModelTable::RateClass rate = ModelTable::Model(model).rate;
    for (int r = ModelTable::TimeDivRowCount - 1; r >= 0; --r)
        if (PeriodPsOf(r, rate) == periodPs)
            return r;
    return -1;
}

uint32_t LargestDepth(int model)
{
    const ModelTable::DepthList &d = ModelTable::Depths(ModelTable::Model(model).depth);
    return static_cast<uint32_t>(d.samples[d.count - 1]);
}

uint64_t Saturated(Wide v)
{
    return v > UINT64_MAX ? UINT64_MAX : static_cast<uint64_t>(v);
}

// The finest sample period of the rate rows at which `samplesAt` stays
// within an import's limit; the slowest of all when none does.
template <typename SamplesAt> uint64_t FittingPeriodPs(const SamplesAt &samplesAt)
{
    return VcdReader::FinestFittingPeriodPs(
        [&](uint64_t ps) { return samplesAt(ps) <= Wide{WSystem::MaxImportSamples}; });
}

std::string TimeText(Wide fs)
{
    static constexpr std::array<const char *, 6> Units{"fs", "ps", "ns", "us", "ms", "s"};
    size_t u = 0;
    Wide scale = 1;
    while (u + 1 < Units.size() && fs >= scale * 1000) {
        scale *= 1000;
        ++u;
    }
    if (fs / scale > Wide{1000000000000ULL})
        return "more than 1000000000000 s";
    const auto whole = static_cast<uint64_t>(fs / scale);
    auto part = static_cast<uint64_t>((fs % scale) * 1000 / scale);
    std::string text = std::to_string(whole);
    if (part != 0) {
        std::string digits = std::to_string(1000 + part).substr(1);
        while (digits.back() == '0')
            digits.pop_back();
        text += "." + digits;
    }
    return text + " " + Units[u];
}

// A name for the record: printable ASCII, at most 8 characters.
void StoreName(SignalEntry &entry, std::string_view name)
{
    entry.Name.fill(0);
    for (size_t i = 0; i < std::min<size_t>(name.size(), 8); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        entry.Name[i] = (c > 32 && c < 127) ? static_cast<char>(c) : '_';
    }
}

} // namespace

bool VcdReader::IsVcdName(std::string_view path)
{
    return FileName::EndsWithExtension(path, Extension);
}

uint64_t VcdReader::RowPeriodPs(uint64_t spacingFs, bool &exact)
{
    uint64_t best = 0;
    uint64_t fastest = UINT64_MAX;
    for (int model : Order16)
        for (int r = 0; r < ModelTable::TimeDivRowCount; ++r) {
            const uint64_t ps = PeriodPsOf(r, ModelTable::Model(model).rate);
            fastest = std::min(fastest, ps);
            if (Wide{ps} * 1000 <= spacingFs)
                best = std::max(best, ps);
        }
    exact = best != 0 && Wide{best} * 1000 == spacingFs;
    return best != 0 ? best : fastest;
}

std::string VcdReader::PeriodText(uint64_t ps)
{
    return TimeText(Wide{ps} * 1000);
}

uint64_t VcdReader::FinestFittingPeriodPs(const std::function<bool(uint64_t)> &fits)
{
    uint64_t best = 0;
    uint64_t slowest = 0;
    for (int model : Order16)
        for (int r = 0; r < ModelTable::TimeDivRowCount; ++r) {
            const uint64_t ps = PeriodPsOf(r, ModelTable::Model(model).rate);
            slowest = std::max(slowest, ps);
            if ((best == 0 || ps < best) && fits(ps))
                best = ps;
        }
    return best != 0 ? best : slowest;
}

int VcdReader::ChooseModel(int channels, uint64_t periodPs, uint64_t samples)
{
    const std::span<const int> order =
        channels <= 16 ? std::span<const int>(Order16) : std::span<const int>(Order32);
    int roomiest = -1;
    for (int model : order) {
        if (RowOf(model, periodPs) < 0 || ModelTable::Model(model).channels < channels)
            continue;
        if (LargestDepth(model) >= samples)
            return model;
        if (roomiest < 0 || LargestDepth(model) > LargestDepth(roomiest))
            roomiest = model;
    }
    return roomiest;
}

namespace {

// Sample n holds the values at FirstTime + n periods.
std::string FillFromDump(VcdScan &scan, Wide periodFs, std::span<uint8_t> memory, uint64_t keep,
                         uint32_t depth)
{
    uint32_t word = 0;
    uint64_t filled = 0;
    auto fill = [&](uint64_t upTo) {
        for (; filled < upTo; ++filled)
            std::memcpy(memory.data() + 4 * filled, &word, 4);
    };
    std::vector<std::pair<uint32_t, int>> layout; // mask of the variable's bits, first bit
    for (const VcdScan::Variable &v : scan.Variables)
        layout.push_back(
            {static_cast<uint32_t>(((uint64_t{1} << v.Width) - 1) << v.FirstBit), v.FirstBit});
    const std::string error = scan.Replay(
        [&](uint64_t t) {
            const Wide offset = Wide{t - scan.FirstTime} * scan.UnitFs;
            const Wide first = (offset + periodFs - 1) / periodFs; // the first sample it reaches
            fill(first < keep ? static_cast<uint64_t>(first) : keep);
            return filled < keep;
        },
        [&](size_t v, uint32_t value) {
            const VcdScan::Variable &var = scan.Variables[v];
            // The vector's most significant bit is its first channel.
            uint32_t bits = 0;
            for (int j = 0; j < var.Width; ++j)
                bits |= ((value >> (var.Width - 1 - j)) & 1u) << (layout[v].second + j);
            word = (word & ~layout[v].first) | bits;
        });
    if (!error.empty())
        return error;
    fill(depth); // the record's rest holds the last values
    return {};
}

} // namespace

VcdReader::Result VcdReader::Parse(std::string_view text)
{
    Result result;
    VcdScan scan(text);
    result.Error = scan.Header();
    if (result.Error.empty())
        result.Error = scan.Survey();
    if (!result.Error.empty())
        return result;

    // Time: fine enough for the decoders, at most the file's time unit and
    // at most an eighth of its shortest pulse; a dump that names its own
    // period (Tracemoor's exports do) keeps it when every time stamp lies on
    // it, however sparse its changes.
    const Wide unitFs = scan.UnitFs;
    const Wide stepFs = scan.Step != 0 ? Wide{scan.Step} * unitFs : unitFs;
    const Wide pulseFs = Wide{scan.ShortestPulse} * unitFs;
    const Wide spanFs = Wide{scan.LastTime - scan.FirstTime} * unitFs;
    const Wide hint = Wide{scan.PeriodHintPs} * 1000;
    Wide wantFs = unitFs;
    if (pulseFs != 0)
        wantFs = std::min(wantFs, pulseFs / 8);
    if (hint != 0 && hint % unitFs == 0 && scan.Step % (hint / unitFs) == 0)
        wantFs = hint;
    bool exact = false;
    uint64_t periodPs = RowPeriodPs(Saturated(wantFs), exact);
    // Samples from the first time stamp to the last (and one more when
    // something changes there).
    auto samplesAt = [&](uint64_t ps) {
        const Wide p = Wide{ps} * 1000;
        return std::max<Wide>((spanFs + p - 1) / p + (scan.ChangeAtLast ? 1 : 0), 1);
    };
    if (samplesAt(periodPs) > Wide{WSystem::MaxImportSamples}) {
        const uint64_t fitting = FittingPeriodPs(samplesAt);
        result.Notes.push_back(
            "At " + TimeText(Wide{periodPs} * 1000) + " the capture would be " +
            std::to_string(Saturated(samplesAt(periodPs))) + " samples, more than the " +
            std::to_string(WSystem::MaxImportSamples) + " an import holds: sampled every " +
            TimeText(Wide{fitting} * 1000) + " instead.");
        periodPs = fitting;
    }
    const Wide periodFs = Wide{periodPs} * 1000;
    if (stepFs % periodFs != 0) {
        result.SpacingNote =
            "The changes are " + TimeText(stepFs) +
            " apart, which is no multiple of a sample period: sampled every " + TimeText(periodFs) +
            (pulseFs != 0 && periodFs > pulseFs ? ", changes closer than that are lost."
                                                : ", each change at the next sample.");
        result.Notes.push_back(result.SpacingNote);
    }
    const uint64_t needed = Saturated(samplesAt(periodPs));

    result.Notes.insert(result.Notes.end(), scan.Notes.begin(), scan.Notes.end());
    Place(scan.Variables, periodPs, needed, result,
          [&](std::span<uint8_t> memory, uint64_t keep, uint32_t depth) {
              return FillFromDump(scan, periodFs, memory, keep, depth);
          });
    return result;
}

void VcdReader::Place(const std::vector<VcdScan::Variable> &variables, uint64_t periodPs,
                      uint64_t needed, Result &result, const Filler &fill)
{
    // Model and depth: the model's own list when the capture fits it; an
    // import of its own length otherwise (a ring of the next power of two).
    const int channels = variables.back().FirstBit + variables.back().Width;
    const int model = ChooseModel(channels, periodPs, needed);
    const ModelTable::ModelRow &row = ModelTable::Model(model);
    const ModelTable::DepthList &depths = ModelTable::Depths(row.depth);
    int depthIndex = static_cast<int>(depths.count) - 1;
    uint32_t depth = static_cast<uint32_t>(depths.samples[static_cast<size_t>(depthIndex)]);
    size_t ringSize = row.memorySize;
    uint64_t keep = needed;
    if (needed > depth) {
        keep = std::min<uint64_t>(needed, WSystem::MaxImportSamples);
        if (keep < needed)
            result.Notes.push_back("The capture is " + std::to_string(needed) +
                                   " samples long; the first " + std::to_string(keep) +
                                   " are kept, the most an import holds.");
        depth = static_cast<uint32_t>(keep);
        depthIndex = static_cast<int>(depths.count);
        ringSize = std::max<size_t>(std::bit_ceil(static_cast<size_t>(4 * keep)), ringSize);
        result.Contents.importSamples = depth;
    } else {
        for (int d = 1; d < static_cast<int>(depths.count); ++d)
            if (static_cast<uint64_t>(depths.samples[static_cast<size_t>(d)]) >= needed) {
                depthIndex = d;
                depth = static_cast<uint32_t>(depths.samples[static_cast<size_t>(d)]);
                break;
            }
    }

    std::vector<uint8_t> memory(ringSize, 0);
    result.Error = fill(memory, keep, depth);
    if (!result.Error.empty())
        return;

    // The settings record.
    CFile s;
    s.ModelCode = static_cast<uint8_t>(model);
    s.ResetSettings();
    s.TimeDivRow = s.RateRow = static_cast<int16_t>(RowOf(model, periodPs));
    s.MemoryDepthIndex = static_cast<int16_t>(depthIndex);
    // The record and the decoders place the trigger by MemoryPercent; the
    // block's position code must stay one the trigger list offers.
    s.MemoryPercent = 0;
    s.TriggerPositionCode = 1;
    // Placed as the instrument places a record: it ends the depth's byte
    // count after the trigger (a model's depths count some bytes more than
    // their samples), which is what the window computes again before it
    // places the record.
    const uint32_t depthBytes =
        result.Contents.importSamples != 0
            ? 4 * depth
            : static_cast<uint32_t>(depths.bytes[static_cast<size_t>(depthIndex)]) & ~3u;
    s.PreTriggerBytes = 0;
    s.PostTriggerBytes = depthBytes;
    s.ReportedEndAddress = depthBytes;
    size_t listed = 0;
    int buses = 0;
    for (const VcdScan::Variable &v : variables) {
        if (v.Width == 1) {
            SignalEntry &ch = s.ChannelEntry[static_cast<size_t>(v.FirstBit)];
            StoreName(ch, v.Name);
            ch.BitCount = 1;
            ch.InUse = 1;
            ch.Members[0] = static_cast<uint16_t>(v.FirstBit);
            s.DisplayOrder[listed++] = static_cast<uint8_t>(v.FirstBit);
            continue;
        }
        SignalEntry &bus = s.BusEntry[static_cast<size_t>(buses)];
        StoreName(bus, v.Name);
        bus.BitCount = static_cast<uint16_t>(v.Width);
        bus.InUse = 1;
        for (int j = 0; j < v.Width; ++j) {
            const int c = v.FirstBit + j;
            bus.Members[static_cast<size_t>(j)] = static_cast<uint16_t>(c);
            const std::string bit = std::to_string(v.Width - 1 - j);
            SignalEntry &ch = s.ChannelEntry[static_cast<size_t>(c)];
            StoreName(ch, v.Name.substr(0, 8 - bit.size()) + bit);
            ch.BitCount = 1;
            ch.Members[0] = static_cast<uint16_t>(c);
        }
        s.DisplayOrder[listed++] = static_cast<uint8_t>(row.channels + buses++);
    }
    s.BuildBlock();

    result.Contents.modelCode = static_cast<uint8_t>(model);
    result.Contents.block = s.BlockBuffer;
    result.Contents.samples = std::move(memory);
    result.PeriodPs = periodPs;
    result.Samples = keep;
}

VcdReader::Result VcdReader::Read(const std::string &path)
{
    Result result;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st
    {
    };
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        result.Error = std::string(ProjectFile::ErrorText(ProjectFile::Error::CannotOpen));
        return result;
    }
    const auto size = static_cast<size_t>(st.st_size);
    if (size == 0) {
        ::close(fd);
        return Parse({});
    }
    void *map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED) {
        result.Error = std::string(ProjectFile::ErrorText(ProjectFile::Error::CannotOpen));
        return result;
    }
    ::madvise(map, size, MADV_SEQUENTIAL);
    result = Parse(std::string_view(static_cast<const char *>(map), size));
    ::munmap(map, size);
    return result;
}
