#pragma once

#include "display/WTime.h"

#include <cstdint>
#include <string>

class CCaptureRecord;

// One channel of the record read by sample index (0 = the record's first
// sample), straight from the ring: one masked byte load, no call. The
// channel must be one of the model's.
class RecordLine
{
public:
    RecordLine(const CCaptureRecord &record, int channel);
    int operator()(uint64_t n) const
    {
        return (ring[((base + 4 * static_cast<uint32_t>(n)) & mask) + offset] >> shift) & 1;
    }

private:
    const uint8_t *ring;
    uint32_t mask;
    uint32_t base;
    uint32_t offset;
    int shift;
};

// Where the UART and CAN decoders stand on the record: how many samples one
// bit lasts at a rate, and the sample at which decoding begins (the trigger
// event, which the trigger cursor "T" marks). Pure arithmetic on exact time
// values; nothing is allocated but the start-time text.
struct UartCanTiming
{
    WTime SamplePeriod; // of the capture
    WTime TriggerEvent; // the trigger cursor's time: the trigger event relative to the
                        // record's trigger sample (signed; the delay with the opposite sign)
    WTime PreSpan;      // from the first recorded sample to the trigger sample

    // 1 s / rate truncated to whole nanoseconds; zero for a zero rate.
    static WTime BitTime(uint32_t rate);
    // Whole sample periods in one bit at `rate`; 0 when a bit is shorter
    // than one sample period.
    uint32_t SamplesPerBit(uint32_t rate) const;

    // The samples one bit lasts at `rate`, exactly (1 s / rate over the
    // sample period), as a fixed-point count in units of 2^-32 samples,
    // truncated; 0 for a zero rate or period. Frames are timed with it, so
    // that 115,200 baud at 1 us (8.68 samples) does not drift by the 0.68
    // that a whole number of samples would drop at every bit.
    static constexpr int FractionBits = 32;
    uint64_t BitLength(uint32_t rate) const;
    // "8.68": a bit length with two decimals (truncated), for messages.
    static std::string SamplesText(uint64_t length);
    // The sample nearest the middle of bit `bit` after an edge seen first
    // at sample `edge` (bit 0 begins at the edge): the edge lies between
    // the sample before and `edge`, so the middle is at edge - 1/2 +
    // (bit + 1/2) x length, and the nearest sample is
    // edge + floor((bit + 1/2) x length).
    static uint64_t Middle(uint64_t edge, uint64_t length, uint64_t bit)
    {
        return edge + (((2 * bit + 1) * length) >> (FractionBits + 1));
    }
    // The index (0 = the record's first sample) decoding begins at: the
    // trigger sample moved by the trigger event's time in whole sample
    // periods, later for a zero or positive time, earlier for a negative one
    // that lies inside the record (PreSpan); the trigger sample itself when
    // the event lies before the record. It may lie past the record's end.
    uint64_t StartIndex(const CCaptureRecord &record) const;

    // The time of a frame after the start of decoding: the groups from the
    // highest non-zero one down to the lowest non-zero one, the first in
    // decimal, then "." and each further one as three digits, then the
    // unit of the first: "S", "mS", "uS", "nS" or "pS". Empty for zero.
    // Examples: "104.166uS", "2mS", "1.000007mS".
    static std::string StartTimeText(const WTime &t);
};
