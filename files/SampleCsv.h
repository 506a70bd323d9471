#pragma once

#include "files/SampleTrace.h"

#include <cstdint>
#include <string>

// A capture as CSV text (RFC 4180, CRLF line ends): a header row "Sample",
// "Time (s)" and the signal names, then one row per sample: its index from
// the first sample, its time from the trigger sample in seconds (exact, for
// example "-0.000000512" or "0.001"), and each signal's value in decimal
// (0 or 1 for a channel). With `changesOnly`, only the first sample, the
// samples where a signal changes and the last sample get a row.
// Cost: one pass over the words, the text built in one string.
class SampleCsv
{
public:
    static std::string Text(const SampleTrace &trace, bool changesOnly);
    // Picoseconds as a decimal count of seconds, without trailing zeros.
    static std::string Seconds(int64_t ps);
};
