#pragma once

#include "display/WTime.h"

#include <cstdint>
#include <string>

class CCaptureRecord;

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
