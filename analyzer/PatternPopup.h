#pragma once

// The pop-up menu of the trigger-pattern grid (StringGrid2): which items a
// signal row offers under the current trigger type, and what each item does
// to the settings record. The edited pattern row is TriggerType - 1 (a
// stored 0 counts as 1); a pattern row holds at most one edge (R or F):
// choosing "Raising" or "Falling" turns every other edge of the row into X,
// and setting the edge channel to L, H or X drops the edge.

#include "lang/WSysLanguage.h"

#include <cstdint>
#include <string_view>
#include <vector>

class CFile;

class PatternPopup
{
public:
    enum class Action : uint8_t {
        Low,
        High,
        DontCare,
        Raising,
        Falling,
        AdvancedTrigger,
        BaseMode, // parent of the three bases
        Hexadecimal,
        Decimal,
        Binary,
    };

    static constexpr int PulseWidthType = 5;
    static constexpr int NoParent = -1;

    struct Item
    {
        Action Id = Action::Low;
        // Channel items take their caption from the language table; bus items
        // have fixed captions (HasLanguageText false, Caption only).
        bool HasLanguageText = false;
        WSysLanguage::Id TextId = WSysLanguage::strWaveformMenu1Item1;
        std::string_view Caption; // the built-in English caption
        bool Enabled = true;
        int Parent = NoParent; // index of the parent item (sub-items of "Base Mode...")
    };

    // The items for signal s (the signal number of the clicked row): six
    // channel items for s below the channel count, "Base Mode..." with its
    // three bases and "Advanced Trigger" for a bus (s below the row count),
    // none otherwise. Trigger types 2 and 3 disable "Raising" and "Falling";
    // the pulse-width type 5 leaves only "Advanced Trigger" enabled.
    static std::vector<Item> Items(int signal, int channelCount, int rowCount, int triggerType);

    struct Outcome
    {
        bool TriggerChanged = false;      // ApplyViewChange (waveform) or refresh the list
        bool OpenAdvancedTrigger = false; // open the trigger dialog on "Adv Trigger"
        int DisplayBase = -1;             // 0/1/2 for the bus row's base, -1 for none
    };
    // Performs an item on the settings record. Items that Items() does not
    // offer enabled for that signal and trigger type change nothing. A base
    // item on the listing page is stored in the bus entry's display format;
    // on the waveform page the window gives DisplayBase to the view's row.
    static Outcome Apply(CFile &settings, Action action, int signal, int channels, int rows,
                         bool listingPage);

    // The pattern row edited under a trigger type (0 is read as 1); -1 for
    // the pulse-width trigger, which has no pattern row.
    static int PatternRow(int triggerType);

    // The channel holding the edge (R or F) of a pattern row, the highest
    // one if several do; -1 without an edge.
    static int EdgeChannel(const CFile &settings, int patternRow, int channelCount);
};
