#pragma once

#include "plot/PlotruneApi.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The built-in fixed font of TCanvas: 5 × 9 glyphs (cap height 7, two rows
// of descender) for printable ASCII and a few symbols the program's texts
// use. A character cell is 6 × 10 font pixels: one empty row above the
// glyph, one empty column right of it.
class PLOTRUNE_API TBitmapFont
{
public:
    static constexpr int GlyphWidth = 5;
    static constexpr int GlyphRows = 9;
    static constexpr int CellWidth = 6;
    static constexpr int CellHeight = 10;
    static constexpr int TopMargin = 1;

    // Row r of a glyph is Rows[r]; bit 4 is the leftmost column.
    using Rows = std::array<uint8_t, GlyphRows>;

    static bool HasGlyph(char32_t code);
    // The glyph of a character; the box glyph for characters without one.
    static const Rows &Glyph(char32_t code);

    // Decodes the UTF-8 character at text[pos] and moves pos past it; a byte
    // that does not start a valid sequence decodes as U+FFFD and moves one byte.
    static char32_t NextCharacter(std::string_view text, size_t &pos);
    // Number of characters NextCharacter yields for the text.
    static size_t CharacterCount(std::string_view text);
};
