#pragma once

// The time texts shared by the views, dialogs and decoders:
// the time text with unit, the clock-count text of the external clock and
// the duration text of the protocol decoders. Pure functions; each returns a
// new text.

#include "display/WTime.h"

#include <cstddef>
#include <string>

// "-" for a negative value, the highest non-zero group n among seconds ..
// nanoseconds in decimal, ".", group n - 1 as three digits, group n - 2 as
// three more digits when n >= 2 and it is not zero, then the unit of group n
// ("ps", "ns", "us", "ms", "s"). A value with no group above picoseconds
// (picoseconds are never shown alone) reads "0.0" + the unit of
// fallbackUnit, without the "-"; a fallback unit outside 0..4 gives no unit.
// Examples: 1.500us, 1.500250us, 2.005007ms, -20.000ns, 0.0ns.
// The value is normalised first, so a table value such as 2500 ns reads
// 2.500us (normalised values are written exactly as the steps above say).
std::string TimeText(const WTime &t, int fallbackUnit);

// "-" for a negative value, then the whole number of sample periods in |t|
// (TimeToInt of the quotient |t| / samplePeriod) in decimal, then "CK".
// Used instead of TimeText wherever the external clock is selected. A zero
// period counts 0.
std::string ClockCountText(const WTime &t, const WTime &samplePeriod);

// The duration text of the decoders (DurationOfCount/DurationOfRange of
// WTimeSystem) for the duration d (picoseconds are never shown, the sign is
// ignored). The first non-zero group among seconds .. nanoseconds is written
// in decimal and fixes the unit: "Sec", "mS ", "uS ", "nS ".
//
// The fractional part has to read unambiguously; the form chosen here is the one
// that cannot be misread: the fraction is always the next lower group,
// written as exactly three digits after a "." (zero-padded, as in TimeText),
// so that the digits after the point are a true decimal fraction of the
// unit. It is left out when that next lower group is zero (and always at
// nanoseconds, whose next group is picoseconds). At most two groups are
// written; anything below the next lower group is cut off, never rounded.
//   1 ms 500 us -> "1.500mS ", 1 ms 5 us -> "1.005mS ", 3 s -> "3Sec",
//   80 ns -> "80nS ", 1 ms 0 us 7 ns -> "1mS ", zero (or only ps) -> "0nS".
// The value is normalised first.
std::string DurationText(const WTime &d);

// The same text written to `out`, which has room for DurationTextMax
// characters; returns its length (for the decoders' many rows).
constexpr size_t DurationTextMax = 24;
size_t WriteDurationText(char *out, const WTime &d);
// WriteDurationText of TimeMul(period, count), with less arithmetic (for the
// times of every packet of a decode).
size_t WriteDurationOfCount(char *out, const WTime &period, uint32_t count);
