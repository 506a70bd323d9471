#pragma once

// The drawing half of the waveform view, without a window: the two 1024 x 768
// layers (rows, grid and trigger mark on the waveform layer; a copy of it
// plus the cursor lines on the display layer), the 1024 x 50 ruler image and
// the Plotrune object that draws the shape runs. The window class CWaveform
// derives from this class, wraps the bitmaps in QImages (no copy) and paints
// them; tests and benchmarks draw here directly.
//
// Cost: three bitmaps (2 x 3 MiB + 200 KiB), allocated once. A full redraw
// is one column conversion (CWaveformCore) plus, per listed row, one grid
// and one Plotrune call per run of equal shape codes; the text list is kept
// from redraw to redraw, so a redraw allocates only the texts themselves.

#include "display/CWaveformCore.h"
#include "display/WRowTexts.h"
#include "plot/Plotrune.h"
#include "plot/TBitmap.h"

#include <cstdint>
#include <span>
#include <vector>

class WCursor;

class CWaveformDrawing : public CWaveformCore
{
public:
    static constexpr int LayerWidth = 1024;
    static constexpr int DefaultLayerHeight = 768;
    static constexpr int RulerWidth = 1024;
    static constexpr int RulerHeight = 50;
    static constexpr int FontSize = 8;
    static constexpr TColor RulerBackground = 0xF0F0F0;
    static constexpr TColor RulerPen = 0x000000;

    CWaveformDrawing(const WSystem &system, CFile &settings, CCaptureRecord &record);

    // One row of the signal list as the name grid shows it: the row number
    // and its cell's top and height in pixels (the top counted from the top
    // of the plot, before the vertical scroll).
    struct ListRow
    {
        int Row = 0;
        int Top = 0;
        int Height = 0;
    };

    // The drawing steps of a redraw: the ruler, the time base, the layers
    // cleared (the waveform layer kept with Auto Store), the grid, and, when
    // the capture is valid, the window converted and every listed row drawn
    // (stopping at a row of height 0, or at a later row whose top is 0:
    // scrolled away). Then the display layer is composed with the cursors
    // (none when `cursors` is null). True when rows were drawn.
    bool DrawLayers(std::span<const ListRow> rows, WCursor *cursors);

    // Fills the layer with the background colour.
    void ClearLayer(TBitmap &layer) const;
    // Grid (GridStyle) and trigger mark into the waveform layer.
    void DrawGrid();
    // The time ruler into the ruler image.
    void DrawRuler();
    // Where a ruler label is drawn: at its place, but moved inside the panel
    // when it would be cut at an edge (the leftmost label keeps its minus
    // sign, the rightmost its unit).
    int RulerLabelLeft(const RulerLabel &label) const;
    // One row at its cell (top, height) from the per-column arrays: the grid
    // first, then level or value texts and the shape runs in the row colour.
    void DrawRow(int top, int height, int row);
    // The display layer: a copy of the waveform layer and the cursor lines
    // (the selected cursor's last, on top); sets every cursor's marker left.
    void ComposeDisplay(WCursor *cursors);

    TBitmap WaveformLayer;
    TBitmap DisplayLayer;
    TBitmap RulerImage;
    Plotrune Graph;

    int PanelHeight = DefaultLayerHeight; // H of the grid: height of the plot panel
    uint16_t GridStyle = 2;               // 0..3
    bool AutoStore = false;               // successive captures pile up on the waveform layer
    TColor BackgroundColour = 0x000000;
    TColor ForegroundColour = 0xFFFFFF;

private:
    int TriggerMarkColumn() const;

    std::vector<WRowTexts::Spot> texts;
};
