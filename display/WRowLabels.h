#pragma once

// The two texts of every row of the signal list left of the waveform: the
// row's name (StringGrid1) and its trigger condition (StringGrid2). Qt-free:
// PaintRowLabels in the window walks Rows() and draws what Name() and
// TriggerText() return.
//
// The words of the trigger texts come from the active language (Texts); the
// defaults are the built-in English texts. The view (time base, row walk) and
// its settings record are referenced, not owned, and must outlive this object.
//
// Cost: a few short strings per listed row; nothing is kept between calls.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class CFile;
class Graphics_Waveform;
class WSysLanguage;

class WRowLabels
{
public:
    static constexpr int PulseWidthType = 5;
    static constexpr int BusGroupSize = 4; // members per character of a bus pattern

    // The words of the trigger texts. The first seven are the language texts
    // of [WavefromMenu1] (strWaveformMenu1Item1, 2, 7, 8, 9, 10, 11); the
    // pulse-width words are the item texts of the pulse-width panel.
    struct Texts
    {
        std::string Low = "Low";
        std::string High = "High";
        std::string Pattern = "Pattern";
        std::string OrBusPattern = "Pattern"; // before " = " with the OR pattern
        std::string OrPatternUp = "OR Pattern \u2191";
        std::string OrPatternDown = "OR Pattern \u2193";
        std::string UpArrow = "\u2191";
        std::string DownArrow = "\u2193";
        std::array<std::string, 2> PulseLevels{"High", "Low"};          // by PulsePolarity
        std::array<std::string, 3> PulseCompares{"<", "=", ">"};        // by PulseCompare
        std::array<std::string, 4> PulseUnits{"nS", "uS", "mS", "Sec"}; // by PulseUnit - 1

        // The language texts of the main window's table; the pulse-width
        // words keep their defaults.
        static Texts FromLanguage(const WSysLanguage &language);
        // The state list's own fixed texts: an arrow after a space
        // ("Pattern1 \u2191") and "OR Pattern = " before the OR pattern of
        // a bus.
        static Texts OfList();
    };

    // The built-in English words, or the active language's.
    explicit WRowLabels(Graphics_Waveform &view);
    WRowLabels(Graphics_Waveform &view, Texts words);

    // The rows to label, in list order: the signal list up to its first entry
    // that is no row ("none"), at most channel-count entries.
    std::span<const uint8_t> Rows() const;

    // The name of a row: the channel's (row < channel count) or the bus's
    // (row - channel count), at most 8 characters. Empty for a row that is
    // neither.
    std::string Name(int row) const;

    // The trigger text of a row (empty when the row shows none). With the
    // pulse-width trigger only the row of PulseChannel has one, PulseText();
    // otherwise a channel row shows its condition in the pattern row of the
    // trigger type and a bus row the pattern of its members.
    std::string TriggerText(int row);

    // The pulse-width text: level, comparison, width and unit as set, then in
    // brackets the width the analyzer uses at the capture's sample period,
    // "Underflow" below one period or "Overflow" above 65535 periods. Runs
    // the view's PulseCount first (which updates PulseSamples).
    std::string PulseText();

    // The width the channel panel needs to show a pulse text: font size times
    // the text's length in characters, plus the width of Panel1.
    static int ChannelPanelWidth(int fontSize, std::string_view text, int panel1Width);

    // One character per group of four bus members' conditions (given most
    // significant first), grouped from the least significant member, most
    // significant group first: "X" when all are don't care, "$" when one is
    // an edge (or any code other than low, high and don't care) or don't care
    // mixes with levels, else the upper-case hexadecimal digit of the levels.
    static std::string BusPattern(std::span<const uint8_t> conditions);

private:
    std::string ChannelText(int channel, int type) const;
    std::string BusText(int bus, int type) const;

    Graphics_Waveform &view;
    CFile &settings;
    Texts texts;
};
