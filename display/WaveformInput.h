#pragma once

// The mouse wheel and the keys of the waveform page's plot. Installed on the
// plot panel (which takes the keyboard focus when clicked) and on the ruler
// panel, it turns
//   wheel, Ctrl+wheel           -> zoom one time/div row per notch about the pointer
//   Shift+wheel, sideways wheel -> scroll a tenth of the screen per notch
//   Left / Right                -> scroll a tenth of the screen
//   PgUp / PgDn                 -> scroll a screen
//   1 / 2                       -> cursor A / B at the pointer
// into calls of its hooks; the GOTO, zoom and run keys are the shortcuts of
// the main window's menu items. Not the window's business how a zoom or a
// scroll is done: that is the main window's, through the hooks.

#include "display/WaveformNavigation.h"

#include <QObject>

#include <functional>

class QWidget;

class WaveformInput : public QObject
{
public:
    struct Hooks
    {
        std::function<void(bool zoomIn, int x)> Zoom;  // x: the pointer's plot column
        std::function<void(int tenths)> Scroll;        // positive: later times
        std::function<void(char name, int x)> PlaceCursor;
    };

    // `plot` takes the focus on a click; its events and those of `ruler`
    // (whose columns are the plot's) are watched.
    WaveformInput(QWidget *plot, QWidget *ruler, Hooks hooks);

    // The column of the pointer over the plot, or -1 when it was never there.
    int PointerX() const { return pointerX; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool Wheel(QEvent *event);
    bool Key(QEvent *event);

    QWidget *plot;
    Hooks on;
    WaveformNavigation::Wheel zoomWheel;
    WaveformNavigation::Wheel scrollWheel;
    int pointerX = -1;
};
