#pragma once

// The cursors: the trigger cursor "T", which marks the trigger event, and up
// to 25 user cursors "A".."Z" (never "T"), newest first. Every cursor time is
// relative to the trigger event, that is to the trigger cursor; the trigger
// cursor's own time is where the trigger event lies relative to the record's
// trigger sample (the delay with the opposite sign).
//
// Qt-free: the window keeps one ruler marker and one list marker per cursor
// (pictures from CursorMarkerPicture, positions from CursorMarkers) and finds
// them by the cursor's name. Cursors live in a std::list, so a Cursor pointer
// stays valid until that cursor is removed.

#include "display/WTime.h"
#include "plot/TGraphicsTypes.h"

#include <array>
#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <vector>

class WCursor
{
public:
    static constexpr int MaxUserCursors = 25;
    static constexpr char TriggerName = 'T';
    static constexpr std::string_view OutOfLimitText = "Out of Cursor limit.";
    static constexpr std::string_view MemoryFullText = "Memory is full!";
    static constexpr std::string_view NoneText = "<None>";

    // Line styles (the pen styles of TCanvas): the selected cursor and "T"
    // are solid, the others dotted.
    enum LineStyle : uint8_t { Solid = 0, Dotted = 2 };

    static constexpr TColor TriggerColour = 0x0000FF; // red
    // A user cursor takes entry (serial + 1) mod 10 when it is created.
    static constexpr std::array<TColor, 10> MarkerColours{0xFFFF00, 0xFF0000, 0x800080, 0xFF00FF,
                                                          0x008000, 0x00FF00, 0xC0C0C0, 0x000080,
                                                          0x800000, 0x008080};

    // Marker geometry. The ruler marker's arrow tip lies TipOffset pixels
    // right of its left edge.
    static constexpr int MarkerWidth = 17;
    static constexpr int MarkerHeight = 21;
    static constexpr int TipOffset = 7;
    static constexpr int TriggerMarkerLeft = 50; // ruler marker of "T" before the first redraw
    static constexpr int TriggerMarkerTop = 0;
    static constexpr int UserMarkerLeft = -10;
    static constexpr int UserMarkerTop = 3;
    static constexpr int ListMarkerSize = 20;
    static constexpr int TriggerListMarkerLeft = 0;
    static constexpr int UserListMarkerLeft = 19;

    struct Cursor
    {
        char Name = TriggerName;
        int32_t Serial = 0;        // the cursor counter when it was created
        uint8_t LineStyle = Solid; // Solid or Dotted
        int32_t ListPosition = 0;  // row offset on the state list page
        WTime Time;                // relative to the trigger event
        int32_t MarkerLeft = UserMarkerLeft;
        int32_t MarkerHeight = WCursor::MarkerHeight;
        int32_t MarkerWidth = WCursor::MarkerWidth;
        TColor Colour = TriggerColour; // fill of both markers and pen of the line

        bool IsTrigger() const { return Name == TriggerName; }
    };

    // What AddCursor did: the new cursor, or none and the message to show.
    struct AddOutcome
    {
        Cursor *Added = nullptr;
        std::string_view Message; // empty on success
    };

    // Start-up: the trigger cursor only, made by CreateTriggerCursor.
    WCursor();

    // The trigger cursor: line style solid, time zero, list position 0; it
    // takes the next serial (0 at start-up).
    void CreateTriggerCursor();

    // Before every run: the trigger cursor's time = the delay with the
    // opposite sign (zero stays positive).
    void SetTriggerCursor(const WTime &delay);

    // A new user cursor at `time` (a time relative to the record's trigger
    // sample: ViewPosition on the waveform page, so that the cursor lands on
    // the trigger column; sample period x row offset on the list page). With
    // 25 user cursors nothing is made and the message is OutOfLimitText. The
    // name is the first letter "A".."Z" that is neither "T" nor used; the
    // cursor becomes the head of the list and the selected cursor (the one
    // selected before becomes dotted); its time = time - trigger cursor time.
    // `wanted` names the cursor instead when that letter is free (the keys
    // that place cursors "A" and "B").
    AddOutcome AddCursor(const WTime &time, int32_t listPosition = 0, char wanted = 0);

    // Unlinks the cursor with that name; the selection becomes none. False
    // when no user cursor has that name ("T" is never removed).
    bool RemoveCursor(char name);

    // The popup command "Delete": removes the selected cursor, then selects
    // the newest remaining one (or none). With user cursors but none selected
    // it removes them all. False when there was nothing to remove.
    bool DeleteSelected();

    // Removes every user cursor ("Default"); the trigger cursor stays.
    void RemoveAll();

    // "T" gives the trigger cursor; otherwise the user cursor of that name,
    // or nullptr.
    Cursor *FindCursor(char name);
    const Cursor *FindCursor(char name) const;

    // Number of user cursors.
    int Count() const { return static_cast<int>(cursors.size()); }

    // Makes the user cursor of that name the selected one (solid line; the
    // one selected before becomes dotted). The trigger cursor cannot be
    // selected. False when there is no such user cursor.
    bool Select(char name);

    Cursor &TriggerCursor() { return trigger; }
    const Cursor &TriggerCursor() const { return trigger; }
    Cursor *Selected() { return selected; }
    const Cursor *Selected() const { return selected; }
    Cursor *LastCreated() { return lastCreated; }
    // Index of the selected cursor in the list (0 = newest), -1 for none.
    int SelectedIndex() const;

    // User cursors, newest first.
    std::list<Cursor> &Cursors() { return cursors; }
    const std::list<Cursor> &Cursors() const { return cursors; }

    // The names of the user cursors sorted by character code ("GOTO Cursor
    // Setting"), or NoneText alone when there are none.
    std::vector<std::string> GotoChoices() const;
    // "T" and the user cursor names sorted by character code ("Cursor Set"),
    // or NoneText alone when there are no user cursors.
    std::vector<std::string> StateChoices() const;

    // The colour of a user cursor with this serial.
    static TColor ColourOfSerial(int32_t serial);

    bool Dragging = false;

private:
    char FreeName(char wanted = 0) const;

    std::list<Cursor> cursors;
    Cursor trigger;
    Cursor *selected = nullptr;
    Cursor *lastCreated = nullptr;
    int32_t counter = 0;
};
