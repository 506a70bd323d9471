#pragma once

#include "device/CFile.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class WSystem;

// A project file (".pjf"): one byte with the model code of the settings
// record, the 4096-byte settings block as CFile::BuildBlock makes it, then the
// model's whole sample memory. The format has no header and no version; the
// block's magic and byte sum are its only seal.
//
// Reading checks the whole file before anything in the running program
// changes: a model code above 10, a length other than 1 + 4096 + S (S the
// sample-memory size of that model) or a block that CFile::ParseBlock
// rejects refuse the file, and the caller's record, model and samples stay as
// they were. Writing goes through AtomicFile, so a failed save leaves the old
// file whole.
//
// Cost: a read holds the file once in memory (up to 4 MiB + 4097 bytes), its
// samples are then moved, not copied, into WSystem; a write builds the file
// image once (one copy of the sample memory).
class ProjectFile
{
public:
    static constexpr std::string_view Extension = ".pjf";
    static constexpr size_t HeaderSize = 1 + CFile::BlockSize;

    enum class Error {
        None,
        CannotOpen,   // missing, unreadable or not a regular file
        UnknownModel, // the first byte is not a model code 0..10 (or the file is empty)
        WrongLength,  // not 1 + 4096 + the model's memory size bytes
        BadBlock,     // the settings block fails its seal or field checks
        CannotWrite,  // the new file could not be written; any old one is whole
        Mismatch,     // (write) the sample memory is not the size of the record's model
    };

    // What a valid file holds, checked.
    struct Contents
    {
        uint8_t modelCode = 0;
        std::array<uint8_t, CFile::BlockSize> block{};
        std::vector<uint8_t> samples;
        // An import longer than the model's memory: the number of samples
        // in `samples`, a ring of a power-of-two size (WSystem::TakeImport);
        // 0 for a project file.
        uint32_t importSamples = 0;
    };

    // The bytes a file of `modelCode` must have; 0 for an unknown code.
    static size_t FileSize(int modelCode);

    // Checks a whole file image and fills `out` only when it is valid.
    static Error Parse(std::span<const uint8_t> image, Contents &out);
    // Reads and checks the named file; `out` is filled only when it is valid.
    static Error Read(const std::string &path, Contents &out);

    // Puts checked contents into the program: selects the model in `system`,
    // stores its code in `settings`, parses the block into the record and
    // takes the samples over (`contents.samples` is left empty).
    static void Apply(Contents &&contents, CFile &settings, WSystem &system);
    // Read followed by Apply when the file is valid.
    static Error Load(const std::string &path, CFile &settings, WSystem &system);

    // Builds the block from the record and returns the whole file image of
    // the record's model with `samples` as its memory; empty when `samples`
    // is not that model's memory size.
    static std::vector<uint8_t> Image(CFile &settings, std::span<const uint8_t> samples);
    // Image written to `path` through AtomicFile.
    static Error Write(const std::string &path, CFile &settings, std::span<const uint8_t> samples);
    static Error Save(const std::string &path, CFile &settings, const WSystem &system);

    // The save name: `name` with ".pjf" appended unless its last four
    // characters are exactly ".pjf" (abc -> abc.pjf, abc.PJF -> abc.PJF.pjf).
    static std::string WithExtension(const std::string &name);

    // A short English description of an error, for messages and the command line.
    static std::string_view ErrorText(Error error);
};
