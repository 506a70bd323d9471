#pragma once

#include "files/SampleTrace.h"

#include <cstdint>
#include <string>
#include <string_view>

// A capture as a Value Change Dump (IEEE 1364 VCD) text: one wire per
// channel, one vector per bus, all in one scope; the timescale is the
// coarsest of 1, 10 or 100 s, ms, us, ns or ps that the sample period is a
// whole multiple of, so every time stamp is exact, and a comment
// "sample period N ps" names the period itself; time 0 is the first
// sample. The first sample's values are dumped whole, then only the
// signals that change, and a last time stamp where the last sample ends.
// Cost: one pass over the words; a word in which no signal changes costs a
// compare; the text is built in one string (about 20 bytes per change).
class VcdWriter
{
public:
    struct Timescale
    {
        uint64_t UnitPs = 1; // 1, 10, 100, 1000, ... picoseconds
        uint64_t TicksPerSample = 0;
        std::string Text; // "4 ns" is written as unit "1 ns", 4 ticks
    };
    static Timescale ScaleOf(uint64_t periodPs);

    // The identifier code of signal i: printable ASCII from "!", several
    // characters past the 94th.
    static std::string Identifier(size_t index);

    // `comment` goes into a $comment section (may be empty).
    static std::string Text(const SampleTrace &trace, std::string_view comment = {});
};
