#pragma once

#include "search/SearchPage.h"

class CWaveformCore;

// The waveform page as a search page: the current sample is the one at the
// trigger column (ViewPosition in whole sample periods, from the trigger
// sample), the range the record's spans before and after the trigger, and a
// found sample moves to the trigger column.
class WaveformSearchPage : public SearchPage
{
public:
    explicit WaveformSearchPage(CWaveformCore &view)
        : waveform(view)
    {}

    Position SearchPosition() override;
    void ShowFoundSample(int64_t index) override;

private:
    CWaveformCore &waveform;
};
