#pragma once

// The keys and mouse moves of the analyzer's main window, as the Help
// menu's "Keys" box and the README list them. The menu items that have a
// key show it too; the waveform's keys act while the waveform has the
// keyboard focus (a click on it gives it), the Listing's while its grid has,
// so that the keys never change a box that does not have the focus.

#include <array>
#include <string_view>

struct KeyEntry
{
    std::string_view Where; // "Everywhere", "Waveform", "Listing"
    std::string_view Keys;
    std::string_view Does;
};

inline constexpr std::array<KeyEntry, 20> KeyTable{{
    {"Everywhere", "Ctrl+O", "Load a project"},
    {"Everywhere", "Ctrl+S", "Save the project"},
    {"Everywhere", "Ctrl+P", "Print"},
    {"Everywhere", "Ctrl+Q", "Exit"},
    {"Everywhere", "F5", "Run"},
    {"Everywhere", "F6", "Single Run"},
    {"Everywhere", "Esc, F8", "Stop"},
    {"Waveform", "+ (or =), wheel away", "Zoom in one time/div row (the wheel keeps the time under "
                                         "the pointer in place)"},
    {"Waveform", "-, wheel towards you", "Zoom out one time/div row (likewise)"},
    {"Waveform", "Ctrl+wheel", "Zoom, as the wheel alone"},
    {"Waveform", "Shift+wheel, sideways wheel or swipe", "Scroll a tenth of the screen per notch"},
    {"Waveform", "Left, Right", "Scroll a tenth of the screen"},
    {"Waveform", "PgUp, PgDn", "Scroll a screen"},
    {"Waveform", "Home, End", "GOTO Begin, GOTO End: the record's first, last sample"},
    {"Waveform", "T", "GOTO Trigger"},
    {"Waveform", "1, 2", "Put cursor A, B at the pointer"},
    {"Listing", "Up, Down, wheel", "One row"},
    {"Listing", "PgUp, PgDn", "One page of rows"},
    {"Listing", "Home, End", "The record's first, last sample"},
    {"Both", "Click", "Gives the waveform or the list the keyboard focus"},
}};
