#pragma once

#include <cstdint>

// What Search Next and Search Previous need of a page that shows the capture:
// where it stands and how far it reaches, and how it brings a found sample
// into view. The waveform page (WaveformSearchPage) counts samples from the
// trigger sample and puts a found one at the trigger column; the state list
// counts from its reference sample and puts it at its current row.
class SearchPage
{
public:
    struct Position
    {
        int64_t Index = 0;    // the sample the page stands on
        uint32_t Address = 0; // its ring address
        int64_t First = 0;    // the page's first and last sample index
        int64_t Last = 0;
    };

    virtual ~SearchPage() = default;

    virtual Position SearchPosition() = 0;
    // Moves the view so that sample `index` (counted as in SearchPosition)
    // stands where the page shows its current sample.
    virtual void ShowFoundSample(int64_t index) = 0;
};
