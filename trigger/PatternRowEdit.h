#pragma once

#include <array>
#include <cstdint>

// The edits of one pattern row of the working copy, by channel, as the
// pattern grids make them: levels L/H/X anywhere, at most one edge (R or F)
// per row and only for the trigger types that take an edge (1 and 4), one
// locked channel that always stays X (channel 31 on the 200 MHz models while
// the external clock is in use).
class PatternRowEdit
{
public:
    using Row = std::array<uint8_t, 32>;

    // `locked` is the channel that cannot be edited, or -1.
    PatternRowEdit(Row &row, int channels, int type, int locked);

    static bool EdgesAllowed(int type) { return type == 1 || type == 4; }
    static bool IsEdge(uint8_t code);
    // 'L', 'H', 'F', 'R' or 'X' (any code that is not a condition shows X).
    static char Letter(uint8_t code);

    // The highest channel holding R or F, or -1.
    int EdgeChannel() const;
    bool Editable(int channel) const;
    // Double click: L, H, F, R, X, L... where edges are allowed, else L, H, X.
    void Cycle(int channel);
    // L, H or X for one channel.
    void SetLevel(int channel, uint8_t code);
    // R or F for one channel; every other edge of the row becomes X.
    void SetEdge(int channel, uint8_t code);
    // L, H or X for every channel; the locked channel becomes X.
    void SetAll(uint8_t code);
    // Dragging: an edge carried from `from` to `to` moves there; a level is
    // painted onto `to`.
    void Drag(int from, int to, uint8_t carried);

private:
    Row &row;
    int channels;
    int type;
    int locked;
};
