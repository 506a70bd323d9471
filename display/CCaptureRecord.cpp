#include "display/CCaptureRecord.h"

#include "device/CFile.h"
#include "device/WSystem.h"

#include <algorithm>
#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "sample words are read straight from the little-endian ring");

namespace {

bool RowIsDontCare(const std::array<uint8_t, CFile::MaxChannels> &row, int channels)
{
    return std::all_of(row.begin(), row.begin() + channels,
                       [](uint8_t c) { return c == CFile::CondX; });
}

} // namespace

CCaptureRecord::CCaptureRecord(WSystem &system, CFile &settings)
    : sys(system)
    , file(settings)
{
    SetTriggerPosition(TriggerPosition);
}

uint32_t CCaptureRecord::ChannelMask() const
{
    return sys.ChannelCount >= 32 ? 0xFFFFFFFFu : (1u << sys.ChannelCount) - 1;
}

uint32_t CCaptureRecord::RingSize() const
{
    return sys.MemorySize;
}

uint32_t CCaptureRecord::RingMask() const
{
    return sys.AddressMask;
}

uint32_t CCaptureRecord::Word(const uint8_t *ring, uint32_t address) const
{
    uint32_t w = 0;
    std::memcpy(&w, ring + (address & sys.AddressMask & ~3u), 4);
    return w; // little-endian host
}

uint32_t CCaptureRecord::ReadSample(uint32_t address) const
{
    return Word(sys.SampleBuffer.data(), address);
}

const uint8_t *CCaptureRecord::RingData() const
{
    return sys.SampleBuffer.data();
}

int CCaptureRecord::ChannelBit(uint32_t address, int channel) const
{
    if (channel < 0 || channel >= sys.ChannelCount)
        return 0;
    const uint8_t byte =
        sys.SampleBuffer[((address & sys.AddressMask) + channel / 8) & sys.AddressMask];
    return (byte >> (channel % 8)) & 1;
}

uint32_t CCaptureRecord::BusValue(uint32_t sampleWord, std::span<const uint16_t> members,
                                  int channelCount)
{
    uint32_t value = 0;
    for (uint16_t m : members.first(std::min<size_t>(members.size(), 16))) {
        if (m >= channelCount)
            continue;
        value = (value << 1) | ((sampleWord >> m) & 1);
    }
    return value;
}

uint32_t CCaptureRecord::BusValue(uint32_t sampleWord, int bus) const
{
    if (bus < 0 || bus >= CFile::MaxChannels)
        return 0;
    return BusValue(sampleWord, file.BusEntry[static_cast<size_t>(bus)].Members, sys.ChannelCount);
}

bool CCaptureRecord::TriggerIsDontCare() const
{
    const int n = sys.ChannelCount;
    const auto &rows = file.TriggerCondition;
    const int type = file.EffectiveTriggerType();
    switch (type) {
    case 1:
    case 2:
    case 3:
        for (int r = 0; r < type; ++r)
            if (!RowIsDontCare(rows[static_cast<size_t>(r)], n))
                return false;
        return true;
    case 4:
        return RowIsDontCare(rows[0], n) && RowIsDontCare(rows[3], n);
    default:
        return false;
    }
}

CCaptureRecord::Matcher CCaptureRecord::CompileTrigger() const
{
    // Every trigger type reduces to at most two terms of the form
    // (earlier & eMask) == eValue && (later & xMask) == xValue, ORed.
    const int n = sys.ChannelCount;
    const auto &rows = file.TriggerCondition;
    Matcher m;

    // One pattern row, channel by channel. `edges` says which channels are
    // compared by their edge code instead of the later level.
    auto addRow = [&](const std::array<uint8_t, CFile::MaxChannels> &row,
                      const std::array<bool, CFile::MaxChannels> &edges) {
        Term t;
        for (int j = 0; j < n; ++j) {
            const uint8_t c = row[static_cast<size_t>(j)];
            const uint32_t bit = 1u << j;
            if (c == CFile::CondX)
                continue;
            if (!edges[static_cast<size_t>(j)]) {
                if (c > 1)
                    t.possible = false; // a level is never 2 or more
                t.xMask |= bit;
                t.xValue |= c ? bit : 0;
                continue;
            }
            // Edge codes: 0 steady low, 1 steady high, 2 falling, 3 rising.
            t.eMask |= bit;
            t.xMask |= bit;
            switch (c) {
            case 0:
                break;
            case 1:
                t.eValue |= bit;
                t.xValue |= bit;
                break;
            case CFile::CondFall:
                t.eValue |= bit;
                break;
            case CFile::CondRise:
                t.xValue |= bit;
                break;
            default:
                t.possible = false;
                break;
            }
        }
        m.terms[m.count++] = t;
    };

    std::array<bool, CFile::MaxChannels> noEdges{};
    std::array<bool, CFile::MaxChannels> edgeCodes{};
    const int type = file.EffectiveTriggerType();
    switch (type) {
    case 1:
        for (int j = 0; j < n; ++j) {
            const uint8_t c = rows[0][static_cast<size_t>(j)];
            edgeCodes[static_cast<size_t>(j)] = c >= 2 && c <= 4;
        }
        addRow(rows[0], edgeCodes);
        break;
    case 2:
    case 3:
        addRow(rows[type == 2 ? 1 : 2], noEdges);
        break;
    case 4:
        for (int j = 0; j < n; ++j) {
            const uint8_t c0 = rows[0][static_cast<size_t>(j)];
            const uint8_t c3 = rows[3][static_cast<size_t>(j)];
            edgeCodes[static_cast<size_t>(j)] = (c0 >= 2 && c0 <= 4) || (c3 >= 2 && c3 <= 4);
        }
        addRow(rows[0], edgeCodes);
        addRow(rows[3], edgeCodes);
        break;
    case 5: {
        Term t;
        const int ch = file.PulseChannel;
        t.possible = PulseWidthRepresentable && ch < n;
        if (t.possible) {
            const uint32_t bit = 1u << ch;
            t.eMask = t.xMask = bit;
            // A low pulse ends rising, a high pulse ends falling.
            if (file.PulsePolarity == 1)
                t.xValue = bit;
            else
                t.eValue = bit;
        }
        m.terms[m.count++] = t;
        break;
    }
    default:
        break;
    }
    return m;
}

bool CCaptureRecord::PairMatches(uint32_t earlier, uint32_t later) const
{
    return CompileTrigger().Matches(earlier, later);
}

bool CCaptureRecord::ConfirmTrigger()
{
    if (TriggerIsDontCare() || NotConfirmable)
        return true;

    const uint32_t size = RingSize();
    const uint32_t mask = RingMask();
    const uint32_t lookAhead = sys.SearchLookAhead;
    const uint64_t window = uint64_t{lookAhead} + sys.SearchReachBack;
    const uint8_t *ring = sys.SampleBuffer.data();
    const Matcher matcher = CompileTrigger();

    const uint32_t a = RingForward(TriggerAddress & mask, (4 * lookAhead) & mask, size);
    uint32_t later = Word(ring, a);
    uint32_t p = RingBack(a & mask, 4, size);
    uint64_t i = 0;
    for (; i < window; ++i) {
        const uint32_t earlier = Word(ring, p);
        if (matcher.Matches(earlier, later))
            break;
        p = RingBack(p, 4, size);
        later = earlier;
    }
    if (i == window)
        return false;

    // With the continuous sequence the step before the last pattern must
    // have held pattern 1: look back at the last change.
    if (file.EffectiveTriggerType() == 2 && file.ContinuousTrigger == 1) {
        const uint32_t channels = ChannelMask();
        uint32_t q = p;
        for (int k = 0; k < 50; ++k, q = (q - 4) & mask) {
            const uint32_t w = Word(ring, q);
            if ((w & channels) == (later & channels))
                continue;
            for (int j = 0; j < sys.ChannelCount; ++j) {
                const uint8_t c = file.TriggerCondition[0][static_cast<size_t>(j)];
                if (c != CFile::CondX && ((w >> j) & 1) != c)
                    return false;
            }
            break;
        }
    }

    if (file.DelayNegative == 1) {
        TriggerAddress = RingForward(p, 4, size);
    } else {
        const uint32_t t = RingBack(a, static_cast<uint32_t>((4 * i) & mask), size);
        const int k = std::clamp<int>(file.MemoryPercent, 0, 10);
        const uint32_t delayBytes =
            file.PostTriggerBytes -
            static_cast<uint32_t>(sys.SplitTable[0][static_cast<size_t>(k)]);
        // Modular: the mask below brings any wrap back into the ring.
        TriggerAddress = t + delayBytes;
    }
    TriggerAddress &= mask;
    return true;
}

void CCaptureRecord::SaveCapture()
{
    // An import has no saved copy: nothing reads out over it (a run gives
    // it up first), so only its placement is kept.
    if (sys.SpareBuffer.size() == sys.SampleBuffer.size())
        std::copy(sys.SampleBuffer.begin(), sys.SampleBuffer.end(), sys.SpareBuffer.begin());
    SavedPlacement = {RecordStart, TriggerAddress, EndAddress};
}

void CCaptureRecord::RestoreCapture()
{
    if (sys.SpareBuffer.size() == sys.SampleBuffer.size())
        std::copy(sys.SpareBuffer.begin(), sys.SpareBuffer.end(), sys.SampleBuffer.begin());
    RecordStart = SavedPlacement[0];
    TriggerAddress = SavedPlacement[1];
    EndAddress = SavedPlacement[2];
}

bool CCaptureRecord::PlaceRecord()
{
    const uint32_t mask = RingMask();
    EndAddress = file.ReportedEndAddress & mask;
    TriggerAddress = (EndAddress - file.PostTriggerBytes) & mask;

    const bool confirmed = ConfirmTrigger();
    TriggerAddress &= mask;
    if (confirmed) {
        SaveCapture();
        CaptureValid = 1;
    } else {
        // The saved addresses were confirmed when they were saved; searching
        // again from them would move a delayed trigger a second time.
        RestoreCapture();
    }

    const size_t depth = std::min<size_t>(DepthIndex, sys.DepthCount ? sys.DepthCount - 1 : 0);
    DepthSamples = static_cast<uint32_t>(sys.DepthSamples[depth]);
    const uint64_t bytes = uint64_t{4} * DepthSamples;
    const uint64_t before = bytes - bytes * PostTriggerPercent / 100;
    RecordStart = RingBack(TriggerAddress, static_cast<uint32_t>(before & mask), RingSize()) & mask;

    readoutDepthIndex = DepthIndex;
    readoutTriggerPosition = TriggerPosition;
    return confirmed;
}

void CCaptureRecord::SetTriggerPosition(int triggerPosition)
{
    TriggerPosition = static_cast<int16_t>(std::clamp(triggerPosition, 0, 9));
    PreTriggerPercent = static_cast<uint16_t>(TriggerPosition * 10);
    PostTriggerPercent = static_cast<uint16_t>(100 - TriggerPosition * 10);
}

void CCaptureRecord::SetDepthAndPosition(int depthIndex, int triggerPosition)
{
    DepthIndex = static_cast<uint16_t>(std::max(depthIndex, 0));
    SetTriggerPosition(triggerPosition);
    CaptureValid = (DepthIndex == readoutDepthIndex && TriggerPosition == readoutTriggerPosition)
                       ? CaptureValidAtReadout
                       : 0;
}

void CCaptureRecord::FillDemoRun()
{
    const size_t lines = std::min<size_t>(65536, sys.SampleBuffer.size() / 32);
    for (uint32_t i = 0; i < lines; ++i) {
        const uint32_t w = i * 0x10001u;
        for (uint32_t j = 0; j < 8; ++j) {
            std::memcpy(&sys.SampleBuffer[size_t{i} * 32 + j * 4], &w, 4);
            std::memcpy(&sys.SpareBuffer[size_t{i} * 32 + j * 4], &w, 4);
        }
    }
}
