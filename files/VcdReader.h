#pragma once

#include "files/ProjectFile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A Value Change Dump made by another tool, turned into what a project file
// gives: a model, a settings record and a whole sample memory, ready for
// ProjectFile::Apply. Nothing of the running program changes here.
//
// - Time: the dump's spacing is the greatest common divisor of its time
//   steps. When it is a sample period of the analyzers it is kept; otherwise
//   the samples are taken at the nearest faster period (or the fastest of
//   all), and a note says so. A dump that names its period in a comment
//   "$comment sample period N ps $end" (Tracemoor's exports do) keeps that
//   period when every time stamp lies on it, however sparse its changes.
//   Sample n holds the values at time n periods after the first time stamp.
// - Signals: one-bit wires become channels in file order; a vector of 2 to
//   16 bits becomes a bus whose members are channels of its own, most
//   significant first, named after it with the bit number. Other kinds and
//   anything past the 32nd channel are skipped with a note. Names are cut
//   to 8 characters. The signal list holds the variables in file order.
// - Model: the first of 3, 5, 7, 4, 6, 8 (16-channel models first, then by
//   memory) that has enough channels, offers the period and holds every
//   sample; when none holds them all, the one with the largest memory, and
//   the first part of the capture is kept with a note.
// - Trigger: a dump has none, so it is placed at the first sample (position
//   0 %, no delay, every condition don't care) and the decoders that start
//   at the trigger read the whole capture.
// Cost: the text is walked twice (the second walk stops when the memory is
// full); apart from the file's own bytes, memory is the model's sample
// memory (at most 4 MiB).
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
    // The model for `channels` channels at `periodPs` holding `samples`.
    static int ChooseModel(int channels, uint64_t periodPs, uint64_t samples);
};
