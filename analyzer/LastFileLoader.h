#pragma once

#include <cstddef>
#include <string>

class CFile;
class WSystem;

// Reopens the start of a project file at start-up: one byte with the model
// code, the 4096-byte settings block, then the model's sample memory. A file
// that ends early supplies what it has; a block that fails its checks leaves
// the settings at their defaults for the model read.
class LastFileLoader
{
public:
    struct Result
    {
        bool opened = false;        // the file could be opened for reading
        bool modelRead = false;     // the model byte was there (and was selected)
        size_t blockBytes = 0;      // settings-block bytes read (0..4096)
        size_t sampleBytes = 0;     // sample bytes read (0..memory size)
        bool blockAccepted = false; // ParseBlock took the block
    };

    // Selects the model of the file in `system` and `settings` (an unknown
    // code selects the Demo model), resets the settings for it and loads what
    // the file holds. With no model byte (missing or empty file) nothing
    // changes.
    static Result Load(const std::string &path, CFile &settings, WSystem &system);
};
