#pragma once

// The duration texts of the protocol decoders: n samples, or
// the samples first..last, at the sample period of the settings record's
// time/div row TimeDivRow for the record's model. Created on the settings
// record, which it references (it must outlive this object) and reads at
// every call; it holds nothing else.

#include "display/WTime.h"

#include <cstdint>
#include <string>

class CFile;

class WTimeSystem
{
public:
    explicit WTimeSystem(const CFile &settings);

    // Sample period of row TimeDivRow (clamped to 0..24) in the model of the
    // record's ModelCode (an unknown code reads the Demo row).
    WTime Period() const;
    // Period x n (normalised).
    WTime Duration(uint32_t n) const;

    // DurationText (TimeText.h) of n samples: "1.500mS ", "3Sec", "80nS ", "0nS".
    std::string DurationOfCount(uint32_t n) const;
    // The same for last - first + 1 samples; a range with last < first
    // counts 0 samples, one of more than 2^32 - 1 samples counts 2^32 - 1.
    std::string DurationOfRange(int64_t first, int64_t last) const;

private:
    const CFile &Settings;
};
