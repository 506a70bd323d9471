#pragma once

// The "Listing" page: the capture as a table, one row per sample, one column
// per entry of the signal list, the sample number relative to the reference
// sample first and the time last. Owns the page's controls: the marker lane
// (the cursors' list markers and the middle-row bar), the grid (a table view
// over ListTableModel, so only the visible rows are ever filled) and the
// vertical scroll bar that picks the current sample (drawn in the middle
// row). Row texts come from WListRows; the names and trigger texts of the
// columns from WRowLabels with the fixed English words of the list.
//
// Not a QObject: it reports through the hooks below, which the main window
// sets. The view, record, settings, cursors and language must outlive it.

#include "display/WCursor.h"
#include "display/WListRows.h"
#include "display/WTime.h"

#include <QColor>
#include <QPoint>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class CCaptureRecord;
class CFile;
class CWaveformCore;
class ListTableModel;
class QMenu;
class QScrollBar;
class QTableView;
class QWidget;
class TPaintBox;
class WSysLanguage;

class CListMode
{
public:
    static constexpr int LaneWidth = 40;
    static constexpr int ScrollBarWidth = 20;
    static constexpr int LargeChange = 50;
    static constexpr QRgb FrameColour = 0x808080;

    CListMode(QWidget *page, CWaveformCore &view, CCaptureRecord &record, CFile &settings,
              WCursor &cursors, const WSysLanguage &language);
    ~CListMode();
    CListMode(const CListMode &) = delete;
    CListMode &operator=(const CListMode &) = delete;

    // After a capture, a model change, a signal-list change or a GOTO:
    // reference, columns, headers, trigger texts, data rows and markers.
    void Refresh();
    // The page changed size: visible rows, scroll range, middle-row bar.
    void Resize();
    // Fixed rows in the list colour, cells in the background colour, texts
    // in the foreground colour.
    void Recolour(QColor list, QColor background, QColor foreground);

    // The scroll position (the sample index of the middle row), kept inside
    // the record.
    void SetPosition(int32_t index);
    int32_t Position() const { return rows.CurrentIndex(); }
    // Moves the list so that sample `index` is the top data row (a search
    // match, for instance).
    void ShowSampleAtTop(int32_t index);
    // The time of the middle row relative to the reference sample (where a
    // cursor added on this page goes).
    WTime PositionTime() const;

    // The sample index a cursor lies on: the trigger cursor at its own time,
    // a user cursor at its time plus the trigger cursor's (relative to the
    // reference sample).
    int32_t RowOfCursor(const WCursor::Cursor &c) const;
    // The popup's GOTO commands.
    void GotoTrigger();
    void GotoBegin() { SetPosition(rows.RecordFirst()); }
    void GotoEnd() { SetPosition(rows.RecordLast()); }
    void GotoCursor(char name);

    // Repositions the list markers and repaints the rows' frames.
    void PlaceMarkers();

    struct Hooks
    {
        std::function<void()> Scrolled;                  // the scroll position changed
        std::function<void(int signal)> Rename;          // double click on a name
        std::function<void(int from, int to)> MoveRow;   // a column dragged (list positions)
        std::function<void(int signal, QPoint)> Pattern; // right click on a trigger text
        std::function<void()> CursorMoved;               // a list marker was dragged
        std::function<void()> GotoCursor;                // "GOTO Cursor"
        std::function<void(int direction)> Search;       // -1 previous, 0 setting, +1 next
        std::function<void()> AdvancedTrigger;
        std::function<void()> AdvancedBus;
        std::function<bool()> Running; // search commands are disabled while a run is active
    };
    Hooks On;

    const WListRows &Rows() const { return rows; }
    QTableView *Grid() const { return grid; }
    QScrollBar *ScrollBar() const { return scrollBar; }
    QWidget *Lane() const { return lane; }
    QWidget *MiddleBar() const { return middleBar; }
    // The list marker of a cursor, or nullptr.
    TPaintBox *MarkerOf(char name) const;
    // The row lines a data row gets: the middle row's frame, then the cursors on it.
    struct RowLine
    {
        QColor Colour;
        bool Dotted = false;
    };
    const std::vector<RowLine> &LinesOfRow(int dataRow) const;
    // The popup menu as the right button builds it (tests look at it).
    std::unique_ptr<QMenu> BuildPopup();

private:
    void BuildControls(QWidget *page);
    void Reposition();
    void FillRows();
    void ColumnsFromSignalList();
    void FitColumns();
    void DragMarkerTo(char name, int laneY);
    void CollectRowLines();
    void ShowPopup(QPoint globalPos, int viewRow, int column);

    CWaveformCore &view;
    CCaptureRecord &record;
    CFile &settings;
    WCursor &cursors;
    const WSysLanguage &language;
    WListRows rows;

    QWidget *panel = nullptr;
    QWidget *lane = nullptr;
    QWidget *middleBar = nullptr;
    QTableView *grid = nullptr;
    QScrollBar *scrollBar = nullptr;
    ListTableModel *model = nullptr;
    std::map<char, TPaintBox *> markers;
    std::map<char, int32_t> markerRows;
    std::vector<std::vector<RowLine>> rowLines; // per data row, from PlaceMarkers
    char dragging = 0;
    bool settingPosition = false;
    int fontSize = 8;
};
