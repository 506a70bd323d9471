#pragma once

// The rules behind the main window's view commands that need no widget:
// zoom limits and steps, grid style, the background style, the refresh after
// a view change, the view position of "GOTO Cursor" and the "Default" reset.
// The window binds them to its actions and combo boxes; "GOTO Trigger",
// "GOTO Begin" and "GOTO End" are the waveform view's own commands.

#include "display/WTime.h"
#include "plot/TGraphicsTypes.h"

#include <cstdint>

class CFile;
class DIV_WTime;
class WCursor;
class WSystem;

class ViewCommands
{
public:
    static constexpr int InternalFirstRow = 0;
    static constexpr int InternalLastRow = 24;
    static constexpr int ExternalFirstRow = 3; // rows of the first and last divider
    static constexpr int ExternalLastRow = 16;
    static constexpr int ExternalRateRow = 7; // rate row recorded with the external clock
    static constexpr int GridStyleCount = 4;
    static constexpr int InitialGridStyle = 2;
    static constexpr TColor Black = 0x000000;
    static constexpr TColor White = 0xFFFFFF;

    // Enabled states of "Zoom &In"/ZoomInButton and "Zoom &Out"/ZoomOutButton
    // at a time/div row, applied after every zoom, combo and run-state change.
    struct ZoomEnables
    {
        bool ZoomIn = true;
        bool ZoomOut = true;
        friend bool operator==(const ZoomEnables &, const ZoomEnables &) = default;
    };
    static ZoomEnables ZoomLimits(bool externalClock, int row);

    // One zoom step. Internal clock: the row moves by one within 0..24 (the
    // divider index is not used). External clock: the divider index moves by
    // one within the dividers and the row is that divider's row. Changed is
    // false at the limit (nothing moves).
    struct ZoomStep
    {
        int Row = 0;
        int DividerIndex = -1;
        bool Changed = false;
    };
    static ZoomStep ZoomIn(bool externalClock, int row, int dividerIndex, const WSystem &system);
    static ZoomStep ZoomOut(bool externalClock, int row, int dividerIndex, const WSystem &system);
    // The divider whose row is `row`, -1 when none is.
    static int DividerIndexOfRow(const WSystem &system, int row);

    // "Grid Style": 0 -> 1 -> 2 -> 3 -> 0.
    static int NextGridStyle(int style);

    // "B/W" / "Background Style": a background other than black becomes
    // black with white foreground and the system background colour for the
    // list; a black one becomes white with black foreground and a white list.
    struct ColourScheme
    {
        TColor Background = Black;
        TColor Foreground = White;
        TColor List = White;
        friend bool operator==(const ColourScheme &, const ColourScheme &) = default;
    };
    static ColourScheme ToggleBackground(TColor background, TColor systemBackground);

    // ApplyViewChange, after every view command. The acquisition step goes
    // back to 0 (a running capture resends its settings). When Timer1 was
    // running the view takes the rows of DivComboBox (divRow: the time/div
    // row it shows) as a run start does, recomputes its time base and
    // pulse-width samples, and is redrawn. The list view always re-reads
    // the record.
    struct ViewChange
    {
        bool ResetAcquisitionStep = true;
        bool Redraw = false;
        bool RereadList = true;
    };
    static ViewChange ApplyViewChange(DIV_WTime &view, int divRow, bool timer1WasRunning);

    // The delay stored in the settings record (DelayGroups, negative when
    // DelayNegative is 1).
    static WTime SettingsDelay(const CFile &settings);

    // "GOTO Cursor" on the waveform page: the view position that shows the
    // cursor at the trigger column. Cursor times count from the trigger
    // event, which lies at the trigger cursor's time from the record's
    // trigger sample, so the position is cursor time + trigger cursor time.
    static WTime GotoCursorPosition(const WTime &cursorTime, const WTime &triggerCursorTime);

    // "Default", the part without widgets: the settings record reset, the
    // main window's delay zero, the trigger cursor back on the trigger, every
    // user cursor removed, the sample buffer cleared. The window then stops
    // Timer1/Timer2, starts Timer3, refreshes views and combos, redraws and
    // shows the idle controls.
    static void ResetToDefault(CFile &settings, WSystem &system, WCursor &cursors, WTime &delay);
};
