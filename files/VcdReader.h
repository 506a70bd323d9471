#pragma once

#include "files/ProjectFile.h"
#include "files/VcdScan.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A Value Change Dump made by another tool, turned into what a project file
// gives: a model, a settings record and a whole sample memory, ready for
// ProjectFile::Apply. Nothing of the running program changes here.
//
// - Time: the sample period is the slowest rate row at most the dump's time
//   unit and at most an eighth of its shortest pulse (the fastest row when
//   none is that fine), so that every edge lands on a sample and the
//   decoders see several samples a bit. A dump that names its period in a
//   comment "$comment sample period N ps $end" (Tracemoor's exports do)
//   keeps that period when every time stamp lies on it. When the whole dump
//   would not fit WSystem::MaxImportSamples at that period, the finest row
//   that fits is taken, with a note. Sample n holds the values at time n
//   periods after the first time stamp.
// - Signals: one-bit wires become channels in file order; a vector of 2 to
//   16 bits becomes a bus whose members are channels of its own, most
//   significant first, named after it with the bit number. Other kinds and
//   anything past the 32nd channel are skipped with a note. Names are cut
//   to 8 characters. The signal list holds the variables in file order.
// - Model: the first of 3, 5, 7, 4, 6, 8 (16-channel models first, then by
//   memory) that has enough channels, offers the period and holds every
//   sample; when none holds them all, the one with the largest memory.
// - Length: a capture that fits the model's depth list takes the smallest
//   depth that holds it (the rest holds the last values); a longer one is
//   kept whole as an import (Contents::importSamples, a ring of the next
//   power of two, WSystem::TakeImport), up to 64 M samples; only beyond that
//   is the rest left out, with a note.
// - Trigger: a dump has none, so it is placed at the first sample (position
//   0 %, no delay, every condition don't care) and the decoders that start
//   at the trigger read the whole capture.
// Cost: the text is walked twice (the second walk stops when the samples
// are full); apart from the file's own bytes, memory is the ring (the
// model's memory, or for an import 4 bytes a sample rounded up to a power of
// two, at most 256 MiB).
class VcdReader
{
public:
    static constexpr std::string_view Extension = ".vcd";

    struct Result
    {
        std::string Error; // empty when the file was read
        ProjectFile::Contents Contents;
        std::vector<std::string> Notes; // what was changed or left out
        std::string SpacingNote;        // the note about the spacing, if any
        uint64_t PeriodPs = 0;          // the sample period chosen
        uint64_t Samples = 0;           // samples taken from the dump
    };

    static Result Parse(std::string_view text);
    // The named file, mapped rather than read into memory.
    static Result Read(const std::string &path);

    // True for a name ending in ".vcd", in any case.
    static bool IsVcdName(std::string_view path);

    // The sample period of the rate rows nearest to a spacing from below
    // (or the fastest of all), in picoseconds; `exact` when they are equal.
    static uint64_t RowPeriodPs(uint64_t spacingFs, bool &exact);
    // The finest period of the rate rows for which `fits` holds; the slowest
    // of all when none does.
    static uint64_t FinestFittingPeriodPs(const std::function<bool(uint64_t)> &fits);
    // A sample period for the notes: 40 ns, 1.5 us, 2 ms.
    static std::string PeriodText(uint64_t ps);
    // The model for `channels` channels at `periodPs` holding `samples`.
    static int ChooseModel(int channels, uint64_t periodPs, uint64_t samples);

    // The rest of a reading once the grid is chosen, for every reader of
    // captures of other tools: the model, the depth or the import of
    // `needed` samples, the ring (filled by `fill` with the first `keep`
    // samples, the rest of `depth` holding the last values; it returns an
    // error or nothing) and the settings record, named after `variables`.
    using Filler =
        std::function<std::string(std::span<uint8_t> ring, uint64_t keep, uint32_t depth)>;
    static void Place(const std::vector<VcdScan::Variable> &variables, uint64_t periodPs,
                      uint64_t needed, Result &result, const Filler &fill);
};
