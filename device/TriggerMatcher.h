#pragma once

#include "device/CaptureSettings.h"

#include <cstdint>

// The emulated instrument's trigger unit. It is fed the input word sample by
// sample and fires on the sample where the condition (pattern, edge, pattern
// sequence, OR pattern or pulse width, repeated TriggerCounter times) is met.
class TriggerMatcher
{
public:
    TriggerMatcher(const CaptureSettings &settings, int channels);

    // No channel of the rows in use has a condition: fire at once.
    bool AllDontCare() const;
    // Feeds the pair (previous sample, this sample); true when the trigger
    // fires on this sample.
    bool Step(uint32_t earlier, uint32_t later);
    // Whether the pair is one the host's trigger search accepts (the last
    // pattern of a sequence, any end of a pulse of the right polarity).
    bool PairMatches(uint32_t earlier, uint32_t later) const;

private:
    bool RowLevels(int row, uint32_t word) const;
    bool RowWithEdges(int row, uint32_t earlier, uint32_t later) const;
    bool RowEmpty(int row) const;
    bool Occurrence(uint32_t earlier, uint32_t later);

    const CaptureSettings &s;
    uint32_t channelMask;
    int channels;
    int stage = 0;          // pattern sequence: rows already met
    uint32_t runLength = 0; // pulse width: samples at the current level
    int hits = 0;
};
