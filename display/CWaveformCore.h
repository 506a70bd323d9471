#pragma once

// The Qt-free part of the waveform view CWaveform: where the record lies
// (through the capture record), the view position and the commands that move
// it, the placement of the 1024-column window in the record (PlaceWindow),
// the conversion of that window into the per-column arrays, and the
// arithmetic of the scroll bar and the ruler. The window class CWaveform
// derives from this class and adds the widgets, the layers and the drawing
// (Graphics_Device, DrawRow, DrawGrid, DrawRuler); it calls, in Redraw:
//   UpdateTimeBase(); if (CaptureValid()) { PlaceWindow(); BuildColumns(); }
// (ConvertWindow does exactly that), then draws every listed row from the
// arrays of Graphics_Waveform, and sets its scroll bar from ScrollRangeOf()
// and ScrollPositionOf().
//
// Times follow the exact time values of WTime.h. Cost: nothing here allocates
// except the texts (DelayText, RulerMarks).

#include "display/Graphics_Waveform.h"

#include <array>
#include <cstdint>
#include <string>

class CCaptureRecord;

class CWaveformCore : public Graphics_Waveform
{
public:
    // The record placement is read from `record`; system, settings and record
    // must outlive the view.
    CWaveformCore(const WSystem &system, CFile &settings, CCaptureRecord &record);

    // Takes depth and trigger share from the capture record, then updates
    // the time base (DIV_WTime::UpdateTimeBase).
    void UpdateTimeBase();

    // Decides which sample lands in which column: FirstColumn, FirstAddress,
    // Phase, Parity and SampleTime of Placement, from ViewPosition and the
    // time base (UpdateTimeBase first).
    void PlaceWindow();

    // Graphics_Waveform::BuildColumns over the current Placement.
    void BuildColumns() { Graphics_Waveform::BuildColumns(Placement); }

    // Redraw steps 3 and 6 without the drawing: UpdateTimeBase, then, when the
    // capture is valid, PlaceWindow and BuildColumns. True when rows are to be
    // drawn.
    bool ConvertWindow();

    bool CaptureValid() const;

    // ViewPosition = t; DisplayedDelay = t - TriggerCursorTime (DelayText is
    // what the delay box shows).
    void SetViewPosition(const WTime &t);
    // "GOTO Begin": the record's first sample at the trigger column.
    void GotoBegin();
    // "GOTO End": the record's last sample at the trigger column.
    void GotoEnd();
    // "GOTO Trigger": DisplayedDelay = 0; the view goes to 0 while a run is
    // active, otherwise to the trigger cursor's time.
    void GotoTrigger(bool running);
    // The displayed delay as the delay box shows it: TimeText in the time/div
    // unit, or the clock count with the external clock.
    std::string DelayText() const;

    // After a change of the signal list or the bus definitions, or a project
    // load: time/div and rate rows and the displayed delay from the settings
    // record, then the row table (RefreshRowTable). The window part adds the
    // depth index (ComputeSplit), the grids and the row labels.
    void RefreshRows();

    // --- Scroll bar -------------------------------------------------------
    // Minimum, maximum and page size of the horizontal scroll bar, counted as
    // a scroll bar whose maximum includes the page (position Min .. Max -
    // PageSize + 1; a QScrollBar's maximum is Max - PageSize + 1).
    struct ScrollRange
    {
        int32_t Min = 0;
        int32_t Max = 0;
        int32_t PageSize = 1;
        friend bool operator==(const ScrollRange &, const ScrollRange &) = default;
    };
    // SetScrollRange's arithmetic.
    ScrollRange ScrollRangeOf() const;
    // SyncScrollPosition's arithmetic: the position that shows ViewPosition.
    int32_t ScrollPositionOf(const ScrollRange &range) const;
    // The scroll handler: ViewPosition = position x unit (time per pixel, or
    // the sample period when a sample spans 100 pixels or more), then as
    // SetViewPosition.
    void ScrollTo(int32_t position);

    // --- Ruler ------------------------------------------------------------
    struct RulerLabel
    {
        int32_t X = 0; // left edge of the text, y = 20
        std::string Text;
    };
    struct RulerTick
    {
        int32_t X = 0;
        bool Major = false; // major ticks run from y = 35 to 45, minor ones from 40
    };
    static constexpr int MaxRulerLabels = 64;
    static constexpr int MaxRulerTicks = 320;
    struct RulerMarks
    {
        std::array<RulerLabel, MaxRulerLabels> Labels;
        int LabelCount = 0;
        std::array<RulerTick, MaxRulerTicks> Ticks;
        int TickCount = 0;
    };
    // The ruler's texts and ticks for the current view, the trigger cursor
    // and the panel width (UpdateTimeBase first).
    void RulerMarksOf(RulerMarks &marks) const;

    CCaptureRecord &Record;

    WTime ViewPosition; // time at the trigger column, relative to the trigger sample
    WindowPlacement Placement;
    WTime DisplayedDelay;    // ViewPosition - TriggerCursorTime, shown in the delay box
    WTime TriggerCursorTime; // kept current by the cursors
    int32_t VerticalOffset = 0;

private:
    uint32_t PreSamples() const;
    uint32_t PostSamples() const;
};
