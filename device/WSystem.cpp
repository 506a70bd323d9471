#include "device/WSystem.h"

#include "files/CIniFile.h"

#include <algorithm>
#include <cstring>

using namespace ModelTable;

WSystem::WSystem()
{
    SelectModel(1);
}

void WSystem::SelectModel(int code)
{
    const bool known = code >= 0 && code < ModelCount;
    const ModelRow &m = Model(known ? code : 0);
    const DepthList &depths = Depths(m.depth);
    const auto rate = static_cast<size_t>(m.rate);

    ModelCode = known ? static_cast<uint16_t>(code) : 0;
    importDepth = -1;
    BlockChanges.clear();
    BlockChanges.shrink_to_fit();
    DepthCount = depths.count;
    MemorySize = m.memorySize;
    AddressMask = m.memorySize - 1;
    SearchLookAhead = known ? m.lookAhead : 10;
    SearchReachBack = known ? m.reachBack : 30;
    ChannelCount = m.channels;
    FirstBusRow = m.channels;
    RowCount = static_cast<uint16_t>(m.channels * 2);
    LevelGroups = m.levelGroups;

    for (size_t r = 0; r < Rows.size(); ++r) {
        const TimeDivRow &row = Rows[r];
        TimePixelValue[r] = row.timePixel.value;
        TimePixelUnit[r] = row.timePixel.unit;
        TimeDivValue[r] = row.timeDiv.value;
        TimeDivUnit[r] = row.timeDiv.unit;
        SamplePeriodValue[r] = row.period[rate].value;
        SamplePeriodUnit[r] = row.period[rate].unit;
        FrequencyText[r] = row.frequency[rate];
        MaxDelaySeconds[r] = row.maxDelaySeconds;
        ConstantFour[r] = 4;
        AutoDepthIndex[r] = row.autoDepth[m.autoDepthColumn];
        TimeDivTexts[r] = row.text;
    }
    DepthSamples.fill(0);
    DepthBytes.fill(0);
    DepthTexts.fill({});
    for (size_t d = 0; d < depths.count; ++d) {
        DepthSamples[d] = depths.samples[d];
        DepthBytes[d] = depths.bytes[d];
        DepthTexts[d] = depths.texts[d];
    }

    // Fresh zeroed buffers: a capture of another model must never show through.
    SampleBuffer.assign(MemorySize, 0);
    SpareBuffer.assign(MemorySize, 0);
    if (known && code == 0)
        FillDemoPattern();
}

void WSystem::FillDemoPattern()
{
    // Every 32-byte line holds its line number eight times (little-endian).
    for (uint32_t i = 0; i < 65536; ++i) {
        const uint8_t word[4] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8),
                                 static_cast<uint8_t>(i >> 16), static_cast<uint8_t>(i >> 24)};
        for (uint32_t j = 0; j < 8; ++j) {
            const size_t at = size_t{i} * 32 + size_t{j} * 4;
            std::memcpy(&SampleBuffer[at], word, 4);
            std::memcpy(&SpareBuffer[at], word, 4);
        }
    }
}

uint32_t WSystem::ModelMemorySize() const
{
    return Model(ModelCode < ModelCount ? ModelCode : 0).memorySize;
}

int WSystem::TakeImport(std::vector<uint8_t> &&ring, uint32_t samples)
{
    const size_t size = ring.size();
    if (size < ModelMemorySize() || size > MaxImportBytes || (size & (size - 1)) != 0 ||
        uint64_t{samples} * 4 > size)
        return -1;
    // A second import replaces the first one's entry.
    if (importDepth >= 0)
        DepthCount = static_cast<uint32_t>(importDepth);
    const auto d = static_cast<int>(std::min<uint32_t>(DepthCount, MaxDepthCount - 1));
    DepthSamples[static_cast<size_t>(d)] = static_cast<int32_t>(samples);
    DepthBytes[static_cast<size_t>(d)] = static_cast<int32_t>(4 * samples);
    DepthTexts[static_cast<size_t>(d)] = "Import";
    DepthCount = static_cast<uint32_t>(d + 1);
    importDepth = d;
    SampleBuffer = std::move(ring);
    BuildSummary();
    SpareBuffer.clear();
    SpareBuffer.shrink_to_fit();
    MemorySize = static_cast<uint32_t>(size);
    AddressMask = MemorySize - 1;
    return d;
}

void WSystem::ClearSamples()
{
    std::fill(SampleBuffer.begin(), SampleBuffer.end(), uint8_t{0});
    std::fill(BlockChanges.begin(), BlockChanges.end(), 0u);
}

void WSystem::BuildSummary()
{
    const size_t samples = SampleBuffer.size() / 4;
    BlockChanges.assign(samples / SummaryBlock, 0);
    if (BlockChanges.empty())
        return;
    const uint8_t *p = SampleBuffer.data();
    auto word = [p](size_t i) {
        uint32_t w = 0;
        std::memcpy(&w, p + 4 * i, 4);
        return w;
    };
    uint32_t previous = word(samples - 1); // the ring's last sample comes before its first
    for (size_t b = 0; b < BlockChanges.size(); ++b) {
        uint32_t changes = 0;
        for (size_t i = b * SummaryBlock; i < (b + 1) * SummaryBlock; ++i) {
            const uint32_t w = word(i);
            changes |= w ^ previous;
            previous = w;
        }
        BlockChanges[b] = changes;
    }
}

int WSystem::ComputeSplit(int depthIndex, int rateRow)
{
    int d = depthIndex;
    if (d != 0) {
        AutoDepth = false;
    } else {
        AutoDepth = true;
        d = AutoDepthIndex[static_cast<size_t>(std::clamp(rateRow, 0, TimeDivRowCount - 1))];
    }
    // An index beyond the model's list (a damaged block) would read a zero
    // depth; keep it inside the list instead.
    if (d < 0 || static_cast<uint32_t>(d) >= DepthCount)
        d = 0;

    const uint32_t n = static_cast<uint32_t>(DepthBytes[static_cast<size_t>(d)]);
    auto p = [n](uint32_t x) { return n * x / 100; };
    const std::array<uint32_t, 11> after{n,         p(90),     p(80),     p(70),     p(60), p(50),
                                         n - p(60), n - p(70), n - p(80), n - p(90), 0};
    const std::array<uint32_t, 11> before{0,     n - p(90), n - p(80), n - p(70), n - p(60), p(50),
                                          p(60), p(70),     p(80),     p(90),     n};
    for (size_t k = 0; k < 11; ++k) {
        SplitTable[0][k] = static_cast<int32_t>(after[k] & ~3u);
        SplitTable[1][k] = static_cast<int32_t>(before[k] & ~3u);
    }
    return d;
}

void WSystem::ReadLanguageFileName(const std::string &systemIniPath)
{
    CIniFile ini(systemIniPath);
    LanguageFile = ini.ReadString("Language", "File", DefaultLanguageFile);
}

std::string_view WSystem::ModelName() const
{
    return Model(ModelCode).name;
}

std::string WSystem::WindowTitle() const
{
    return std::string(ProgramTitle) + " - " + std::string(ModelName());
}

std::array<std::string, 3> WSystem::IdentityStrings(std::span<const uint8_t> block)
{
    std::array<std::string, 3> out;
    size_t at = 0;
    for (auto &s : out) {
        const size_t start = at;
        while (at < block.size() && block[at] != 0)
            ++at;
        const size_t len = std::min(at - start, IdentityStringMax);
        s.assign(reinterpret_cast<const char *>(block.data()) + start, len);
        if (at < block.size())
            ++at; // step over the NUL
    }
    return out;
}

bool WSystem::IdentityTextsReceived(std::span<const uint8_t> received)
{
    return received.size() >= IdentityBlockSize ||
           std::count(received.begin(), received.end(), uint8_t{0}) >= 3;
}

uint8_t WSystem::ModelFromIdentity(std::span<const uint8_t> block)
{
    const auto strings = IdentityStrings(block);
    const std::string &version = strings[0];
    const std::string &model = strings[2];
    for (const ModelRow &row : Models) {
        if (row.identity.empty())
            continue;
        if (model != row.identity && (row.identityAlt.empty() || model != row.identityAlt))
            continue;
        const bool versionKnown =
            std::any_of(row.versions.begin(), row.versions.end(),
                        [&](std::string_view v) { return !v.empty() && v == version; });
        return versionKnown ? row.code : 0;
    }
    return 0;
}
