#pragma once

#include "files/SampleTrace.h"
#include "files/VcdReader.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// A sigrok session file (".sr"): a zip archive with a "version" file ("2"),
// a "metadata" file (INI text: section "[device 1]" with "capturefile",
// "total probes", "samplerate", "probeN" names and "unitsize") and the
// logic samples in chunks "logic-1-1", "logic-1-2", ... (version 1: one
// "logic-1"), each sample `unitsize` little-endian bytes, probe N being bit
// N - 1. The zip is read and written through libzip.
//
// Reading gives what VcdReader gives (model, settings record, ring; an import
// when the capture is longer than the model's memory): the probes become
// channels in probe order with their names (at most 32; analog channels are
// skipped with a note), and the sample period is the session's own when a
// rate row has it (samples one for one), else the nearest finer row (a
// session at 24 MHz is resampled at 40 ns: each sample takes the value the
// session had at its time), the finest that fits 64 M samples when that
// grid does not,
// with a note. The trigger is at the first sample, as for a dump.
// Writing stores a trace's channels (a bus as its member channels, named
// after it with the bit number) at the trace's rate in chunks of 4 MiB.
//
// Cost: reading holds the archive's logic bytes once (unitsize bytes a
// sample, at most 512 MiB) beside the ring; writing compresses the words
// once.
class SigrokSession
{
public:
    static constexpr std::string_view Extension = ".sr";
    static constexpr uint64_t MaxLogicBytes = uint64_t{512} << 20;

    // True for a name ending in ".sr", in any case.
    static bool IsSessionName(std::string_view path);

    static VcdReader::Result Parse(std::span<const uint8_t> archive);
    static VcdReader::Result Read(const std::string &path);

    // The archive of a trace; empty when libzip fails.
    static std::vector<uint8_t> Archive(const SampleTrace &trace);
    // Archive written to `path` through AtomicFile; false when it failed.
    static bool Write(const std::string &path, const SampleTrace &trace);

    // "1 MHz", "24 MHz", "2500 kHz", "250 Hz" as sigrok writes a rate, and
    // back (0 for a text that is no rate).
    static std::string RateText(uint64_t hertz);
    static uint64_t RateOf(std::string_view text);
};
