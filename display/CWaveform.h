#pragma once

// The waveform page's view: the drawing of CWaveformDrawing bound to the
// page's controls (Graphics_Device). It shows the display layer in the paint
// box and the ruler image above it, keeps the two scroll bars in step with
// the view, pans the picture by hand (hand-shift) and fills the signal list
// (StringGrid1 names, StringGrid2 trigger texts) from the settings record.
// Not a QObject: the controls' events come back through small hooks, and the
// main window connects the scroll bars to its own handlers.

#include "display/CWaveformDrawing.h"
#include "display/CursorMarkers.h"
#include "display/WRowLabels.h"

#include <QCursor>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QEvent;
class QFrame;
class QMenu;
class QMouseEvent;
class QObject;
class QScrollBar;
class QTableWidget;
class QWidget;
class TPaintBox;
class WCursor;

class CWaveform : public CWaveformDrawing
{
public:
    static constexpr int RulerPanelHeight = 48;
    static constexpr int ScrollBarWidth = 18;
    static constexpr int VerticalLargeChange = 20;
    static constexpr int VerticalSmallChange = 3;
    static constexpr int MinRowHeight = 22;
    static constexpr int VerticalSlack = 100; // the list scrolls this far past its end

    // The controls of the page area, children of the main window's Panel_Ly0.
    struct Graphics_Device
    {
        QFrame *AreaPanel = nullptr;
        QScrollBar *VScrollBar = nullptr; // right edge; main window V_Waveform_ScrollBar*
        QFrame *RulerPanel = nullptr;     // top, 48 high
        TPaintBox *RulerImage = nullptr;  // 1024 x 50, shows the ruler bitmap
        QFrame *PlotPanel = nullptr;      // the rest; popup WaveformPopupMenu1
        TPaintBox *PaintBox = nullptr;    // 1024 x 768 at (0, 0), shows the display layer
        QScrollBar *HScrollBar = nullptr; // bottom of the plot; main window H_Waveform_*
        int ColumnCount = LayerWidth;
        int LayerHeight = DefaultLayerHeight;
    };

    CWaveform(const WSystem &system, CFile &settings, CCaptureRecord &record, QWidget *panelLy0,
              QMenu *popup);
    ~CWaveform();
    CWaveform(const CWaveform &) = delete;
    CWaveform &operator=(const CWaveform &) = delete;

    Graphics_Device Device;

    // Set once by the main window.
    QTableWidget *NameGrid = nullptr;    // StringGrid1: column 1 holds the row number
    QTableWidget *PatternGrid = nullptr; // StringGrid2
    WCursor *Cursors = nullptr;
    QCursor HandCursor{Qt::OpenHandCursor};
    // The view was moved by the user (hand-shift): the main window shows the
    // delay and lets a running capture resend its settings.
    std::function<void()> OnViewMoved;
    // The words of the signal list's trigger texts (the active language's).
    WRowLabels::Texts LabelTexts;
    // The signal-list panel and its name panel: a pulse-width trigger text
    // widens the former to fit.
    QWidget *ChannelPanel = nullptr; // Channel_Panel
    QWidget *NamePanel = nullptr;    // Panel1

    // The whole redraw: layers (ruler, grid, rows, cursor lines) for the
    // rows of the signal list, the horizontal scroll position, the repaint.
    void Redraw();

    // The horizontal scroll bar's range and position from the view (the
    // scroll handler itself is CWaveformCore::ScrollTo, then a redraw).
    void SetScrollRange();
    void SyncScrollPosition();

    // After the signal list or the bus definitions change: the time rows,
    // delay and row table from the settings record, the grids sized and
    // numbered, the row labels.
    void RefreshRows();
    // Names into StringGrid1, trigger texts into StringGrid2.
    void PaintRowLabels();
    // Row heights of at least 22 pixels in both grids, and the vertical
    // scroll bar's range from them.
    void LayoutRows();
    // The vertical scroll position: the rows move up by it.
    void SetVerticalOffset(int offset);

    // Hand-shift panning on or off (the paint box shows the hand cursor).
    void SetHandShift(bool on);
    bool HandShift = false;

    // The rows of the signal list as the name grid shows them.
    std::vector<ListRow> ListRowsOfGrid() const;

    // --- Cursor markers in the ruler band ----------------------------------
    // One marker control per cursor, moved to the cursor's MarkerLeft after
    // every redraw; markers of removed cursors go away.
    void PlaceMarkers();
    // The marker control of a cursor (nullptr when it has none yet).
    TPaintBox *MarkerOf(char name) const;
    // Dragging a user cursor's marker: x relative to the marker's left edge.
    void DragMarker(int x);
    // One tick of the auto-scroll while a marker is dragged past an edge.
    void AutoScrollMarker(bool left);
    // A marker was pressed (its cursor is now selected), moved or released:
    // the main window refreshes the cursor states.
    std::function<void()> OnCursorsChanged;
    // Runs or stops the left (Timer4) and right (Timer5) auto-scroll.
    std::function<void(CursorMarkers::Timer left, CursorMarkers::Timer right)> OnDragTimers;
    QMenu *CursorPopup = nullptr; // CursorPopupMenu, on the user markers

private:
    void PanelResized();
    void MouseDown(QMouseEvent *event);
    void MouseMove(QMouseEvent *event);
    void MouseUp(QMouseEvent *event);

    struct Drag
    {
        bool Dragging = false;
        int StartX = 0;
        int StartY = 0;
        int VerticalPosition = 0;
        int HorizontalPosition = 0;
        WTime View;
    } drag;
    void MarkerPressed(char name, QMouseEvent *event);

    struct Marker
    {
        TPaintBox *Control = nullptr;
        TColor Colour = 0;
    };
    std::map<char, Marker> markers;
    std::unique_ptr<QObject> resizeHook;
    bool settingScrollBar = false;
    ScrollRange scrollRange; // as SetScrollRange last computed it
};
