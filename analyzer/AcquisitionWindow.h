#pragma once

#include "display/WTime.h"

#include <string>

// What acquisition control needs from the main window: its timers, the
// progress bar and the lamp, the command states, the message boxes and the
// model selection, and the views that show a capture. The main window
// implements it over its widgets; tests implement it with plain records.
class AcquisitionWindow
{
public:
    // Commands idle or running, for SetRunControls.
    enum class RunMode { Idle, Running };
    // The three timers acquisition control switches.
    enum class Timer {
        Timer1 = 1, // one step of the capture sequence (or a demo capture)
        Timer2 = 2, // hands a finished capture to the display
        Timer3 = 3, // redraws the idle waveform page
    };
    // The messages acquisition control shows.
    enum class Warning {
        NoDevice,       // "No device connected."
        LinkFail,       // "Linking fail."
        DeviceWrong,    // "Version is wrong."
        ProcessingFail, // "Processing fail.": Auto Scale got no settings back
        NoAccess,       // NoAccessText: an analyzer is there that may not be opened
    };
    static constexpr const char *NoAccessText =
        "The analyzer is connected but this user may not open it. Install the udev rule "
        "(60-tracemoor.rules) and plug the analyzer in again.";
    // Pages of the main window the sequence tells apart.
    static constexpr int WaveformPage = 0;
    static constexpr int ListPage = 1;

    virtual ~AcquisitionWindow() = default;

    virtual void EnableTimer(Timer timer, bool on) = 0;
    virtual bool TimerEnabled(Timer timer) const = 0;
    // The progress bar, 0..100; IdleProgress when no run is going on.
    static constexpr int IdleProgress = 100;
    virtual void SetProgress(int percent) = 0;
    virtual void SetLamp(bool on) = 0;
    virtual void SetRunControls(RunMode mode) = 0;
    virtual void ShowWarning(Warning warning) = 0;
    // The model selection dialog (dialog-only variant); it selects the model
    // and resets the settings record for it.
    virtual void ChooseModel() = 0;
    // After a model change: title, time/div and depth lists, views.
    virtual void ModelChanged() = 0;
    // The signal list is empty, so a run would draw nothing: tells the user
    // and offers to list every channel of the model. True when accepted.
    virtual bool OfferEveryChannel() = 0;

    // The page showing (WaveformPage, ListPage or another).
    virtual int ActivePage() const = 0;
    // The index selected in DivComboBox (-1 when none).
    virtual int DivComboBoxIndex() const = 0;
    // Memory_Depth_ComboBox = the record's MemoryDepthIndex, DivComboBox = the
    // view's time/div row (the divider of that row with the external clock).
    virtual void SelectCombos() = 0;
    virtual void FillDivList() = 0;
    virtual void WriteStatusBar() = 0;
    // Edit1.
    virtual void ShowDelay(const std::string &text) = 0;

    // --- The views ---------------------------------------------------------
    // Clears the display picture and, unless `keepDrawing` (Auto Store), the
    // drawing picture, draws the grid and presents the picture.
    virtual void ClearWaveform(bool keepDrawing) = 0;
    // The waveform view shows time `t` (relative to the trigger) at its
    // trigger column.
    virtual void SetViewPosition(const WTime &t) = 0;
    // Horizontal scroll position 0.
    virtual void ScrollWaveformHome() = 0;
    virtual void UpdateCursors() = 0;
    // Puts the "T" mark on the trigger.
    virtual void PlaceTriggerMark() = 0;
    // The state list: refreshes it; the delay its position stands for.
    virtual void RefreshList() = 0;
    virtual WTime ListDelay() const = 0;
    // A capture was read out: ruler, pictures, grid, the rows when the
    // trigger was found, cursors; or the list on the list page.
    virtual void ShowCapture() = 0;
    // Idle: redraws the waveform page and repaints the window.
    virtual void RedrawWaveform() = 0;
    // The settings record changed under the views (Auto Scale): row table,
    // combos, grids, list.
    virtual void RefreshViews() = 0;
    // Stop re-enables the SPI page's controls.
    virtual void EnableSpiPage() = 0;
};
