#pragma once

// The cursor states: buttons of the main window's cursor panel that show the
// time between two cursors (mode 0) or its inverse as a frequency (mode 1),
// newest first. Qt-free: Refresh computes every button's text, ButtonRects
// their places in Cursor_State_Panel; the window keeps one button per state
// id and copies both.

#include "display/WCursor.h"
#include "display/WTime.h"

#include <array>
#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <vector>

class DIV_WTime;

class CursorState
{
public:
    enum Mode : uint8_t { TimeMode = 0, FrequencyMode = 1 };

    static constexpr std::array<std::string_view, 5> FrequencyUnits{"THz", "GHz", "MHz", "KHz",
                                                                    "Hz"};
    static constexpr std::string_view MissingText = " ? To ? = xxx ";
    static constexpr int FrequencyDigits = 8; // characters of the number kept

    static constexpr int ButtonWidth = 120;
    static constexpr int ButtonHeight = 30;
    static constexpr int RowPitch = 33;

    struct CState
    {
        int32_t Id = 0;
        char From = WCursor::TriggerName;
        char To = WCursor::TriggerName;
        uint8_t DisplayMode = TimeMode;
        std::string Text; // the button caption, set by Refresh
    };

    // A new state with the next id, time mode, at the head of the list.
    // Returns the new state (Refresh follows).
    CState &AddState(char fromName, char toName);
    // Unlinks the state with that id (the selection becomes none when it
    // was selected). False when there is none.
    bool RemoveState(int32_t id);
    // The popup command "Delete": removes the selected state.
    bool DeleteSelected();

    CState *FindState(int32_t id);
    // Mouse down on a state's button. False for an unknown id.
    bool Select(int32_t id);
    CState *Selected() { return selected; }
    // A click on a state's button: time <-> frequency.
    bool ToggleMode(int32_t id);

    std::list<CState> &States() { return states; }
    const std::list<CState> &States() const { return states; }
    int Count() const { return static_cast<int>(states.size()); }

    // Recomputes every state's Text from the cursors: the time text in the
    // time-per-pixel unit, the frequency text, or the clock count with the
    // external clock (the time base's settings record says which).
    void Refresh(const WCursor &cursors, const DIV_WTime &tb);

    // The text of one state: from + " To " + to + " = " + the text of the
    // time from the one cursor to the other ("T" counts as 0, the time of
    // the trigger event), or MissingText when either cursor is gone.
    std::string TextOf(const CState &state, const WCursor &cursors, const DIV_WTime &tb);

    // The frequency of the period d: a number of at most 8 characters and
    // its unit ("THz" .. "Hz"); the sign of d is ignored. Also leaves the
    // value and its unit index in FrequencyValue and FrequencyUnit.
    std::string FrequencyText(const WTime &d);

    // The general decimal form of v: at most 15 significant digits, trailing
    // zeros dropped, an exponent ("E-6") only below 0.00001 or from 10^15 up.
    static std::string GeneralText(double v);

    // Places of the buttons in the list order (newest first): left to right
    // 120 pixels apart, a new row of 33 pixels after every
    // (panel width - scroll bar width) div 120 buttons (one row when that is
    // 0 or less), moved up by the scroll bar's position.
    struct Rect
    {
        int32_t Left = 0;
        int32_t Top = 0;
        friend bool operator==(const Rect &, const Rect &) = default;
    };
    static std::vector<Rect> ButtonRects(int count, int32_t panelWidth, int32_t scrollBarWidth,
                                         int32_t scrollPosition);
    // Rows the buttons take (for the scroll bar's range).
    static int RowsOf(int count, int32_t panelWidth, int32_t scrollBarWidth);

    float FrequencyValue = 0;  // work value of the last frequency text
    int32_t FrequencyUnit = 0; // its unit index

private:
    std::list<CState> states;
    CState *selected = nullptr;
    int32_t counter = 0;
};
