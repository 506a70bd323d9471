#pragma once

#include <array>
#include <cstdint>

class CFile;

// Encodes the trigger settings of the record into the trigger words of the
// run-parameter image (words 1..19, 26 and 27 of 29) that the compact models
// receive before each run. Pure functions of the record.
class TriggerWords
{
public:
    static constexpr int ImageWords = 29;

    // Fills words 1..19, 26 and 27; the other words are left as they are.
    // samplePeriodPs is the period of the current sample rate in picoseconds.
    static void Encode(const CFile &record, uint64_t samplePeriodPs,
                       std::array<uint16_t, ImageWords> &words);

    // Word 27: the pulse width in sample periods, adjusted by the comparison.
    static uint16_t PulseWidthWord(const CFile &record, uint64_t samplePeriodPs);

    // The pulse-width setting as picoseconds: whole units plus thousandths.
    static uint64_t PulseTimePs(const CFile &record);
};
