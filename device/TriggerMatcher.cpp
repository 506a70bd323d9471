#include "device/TriggerMatcher.h"

#include <array>
#include <cstddef>

namespace {

// Edge code of one channel: both low 0, both high 1, falling 2, rising 3.
// Looked up from the two levels as one 2-bit index: g++ 12 at -O2 with the
// shift sanitizer (-fsanitize=shift -fno-sanitize-recover) compiled the
// comparison of the two levels as bools wrongly (a steady high came out as
// falling, a fall as nothing), so falling-edge triggers fired on no edge.
uint8_t EdgeCode(uint32_t earlier, uint32_t later, int channel)
{
    using C = CaptureSettings;
    static constexpr std::array<uint8_t, 4> Code{C::Low, C::Rise, C::Fall, C::High};
    return Code[((earlier >> channel) & 1) << 1 | ((later >> channel) & 1)];
}

} // namespace

TriggerMatcher::TriggerMatcher(const CaptureSettings &settings, int channelCount)
    : s(settings)
    , channelMask(channelCount >= 32 ? 0xFFFFFFFFu : (1u << channelCount) - 1)
    , channels(channelCount)
{}

bool TriggerMatcher::RowEmpty(int row) const
{
    for (int j = 0; j < channels; ++j) {
        if (s.Condition[static_cast<std::size_t>(row)][static_cast<std::size_t>(j)] !=
            CaptureSettings::DontCare)
            return false;
    }
    return true;
}

bool TriggerMatcher::AllDontCare() const
{
    switch (s.TriggerType) {
    case 1:
        return RowEmpty(0);
    case 2:
        return RowEmpty(0) && RowEmpty(1);
    case 3:
        return RowEmpty(0) && RowEmpty(1) && RowEmpty(2);
    case 4:
        return RowEmpty(0) && RowEmpty(3);
    default:
        return false;
    }
}

bool TriggerMatcher::RowLevels(int row, uint32_t word) const
{
    for (int j = 0; j < channels; ++j) {
        const uint8_t c = s.Condition[static_cast<std::size_t>(row)][static_cast<std::size_t>(j)];
        if (c == CaptureSettings::DontCare)
            continue;
        if (((word >> j) & 1) != c)
            return false;
    }
    return true;
}

bool TriggerMatcher::RowWithEdges(int row, uint32_t earlier, uint32_t later) const
{
    for (int j = 0; j < channels; ++j) {
        const uint8_t c = s.Condition[static_cast<std::size_t>(row)][static_cast<std::size_t>(j)];
        if (c == CaptureSettings::DontCare)
            continue;
        const uint8_t seen = c >= 2 && c <= 4 ? EdgeCode(earlier, later, j) : (later >> j) & 1;
        if (seen != c)
            return false;
    }
    return true;
}

bool TriggerMatcher::PairMatches(uint32_t earlier, uint32_t later) const
{
    earlier &= channelMask;
    later &= channelMask;
    switch (s.TriggerType) {
    case 1:
        return RowWithEdges(0, earlier, later);
    case 2:
        return RowLevels(1, later);
    case 3:
        return RowLevels(2, later);
    case 4:
        return RowWithEdges(0, earlier, later) || RowWithEdges(3, earlier, later);
    case 5: {
        if (s.PulseSamples < 0 || s.PulseChannel >= channels)
            return false;
        const uint8_t edge = EdgeCode(earlier, later, s.PulseChannel);
        return edge == (s.PulsePolarity == 1 ? CaptureSettings::Rise : CaptureSettings::Fall);
    }
    default:
        return false;
    }
}

bool TriggerMatcher::Occurrence(uint32_t earlier, uint32_t later)
{
    switch (s.TriggerType) {
    case 2:
    case 3: {
        const int last = s.TriggerType - 1;
        if (stage < last) {
            if (RowLevels(stage, later))
                ++stage;
            return false;
        }
        if (RowLevels(last, later)) {
            stage = 0;
            return true;
        }
        // Continuous: the patterns must follow each other without another
        // input change in between.
        if (s.Continuous && later != earlier)
            stage = RowLevels(0, later) ? 1 : 0;
        return false;
    }
    case 5: {
        if (s.PulseChannel >= channels)
            return false;
        const bool ended = PairMatches(earlier, later);
        const bool changed = ((earlier ^ later) >> s.PulseChannel) & 1;
        const uint32_t width = runLength;
        runLength = changed ? 1 : runLength + 1;
        if (!ended || s.PulseSamples < 0)
            return false;
        const auto want = static_cast<uint32_t>(s.PulseSamples);
        switch (s.PulseCompare) {
        case CaptureSettings::Shorter:
            return width < want;
        case CaptureSettings::Equal:
            return width == want;
        default:
            return width > want;
        }
    }
    default:
        return PairMatches(earlier, later);
    }
}

bool TriggerMatcher::Step(uint32_t earlier, uint32_t later)
{
    earlier &= channelMask;
    later &= channelMask;
    if (AllDontCare())
        return true;
    if (!Occurrence(earlier, later))
        return false;
    ++hits;
    const int needed = s.TriggerCounter == 0 ? 1 : s.TriggerCounter;
    if (hits < needed)
        return false;
    hits = 0;
    return true;
}
