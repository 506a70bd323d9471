#pragma once

#include "analyzer/AcquisitionWindow.h"

#include <array>
#include <cstdio>
#include <vector>

// The main window as acquisition control sees it, for a program without
// one: the timers are flags the caller's loop reads, the messages are kept
// for the caller to report, the views draw nothing, DivComboBox holds the
// time/div row the user chose, and the progress bar is a line on a terminal.
class HeadlessWindow : public AcquisitionWindow
{
public:
    // `progress`: where the progress line goes (null for none).
    HeadlessWindow(int timeDivRow, std::FILE *progress);
    ~HeadlessWindow() override;

    void EnableTimer(Timer timer, bool on) override;
    bool TimerEnabled(Timer timer) const override;
    void SetProgress(int percent) override;
    void SetLamp(bool) override {}
    void SetRunControls(RunMode) override {}
    void ShowWarning(Warning warning) override { Warnings.push_back(warning); }
    void ChooseModel() override {}
    void ModelChanged() override {}
    // A capture with nothing listed would open empty: list every channel.
    bool OfferEveryChannel() override { return true; }
    int ActivePage() const override { return WaveformPage; }
    int DivComboBoxIndex() const override { return row; }
    void SelectCombos() override {}
    void FillDivList() override {}
    void WriteStatusBar() override {}
    void ShowDelay(const std::string &) override {}
    void ClearWaveform(bool) override {}
    void SetViewPosition(const WTime &) override {}
    void ScrollWaveformHome() override {}
    void UpdateCursors() override {}
    void PlaceTriggerMark() override {}
    void RefreshList() override {}
    WTime ListDelay() const override { return {}; }
    void ShowCapture() override { ++Captures; }
    void RedrawWaveform() override {}
    void RefreshViews() override {}
    void EnableSpiPage() override {}

    // Ends the progress line.
    void EndProgress();

    std::vector<Warning> Warnings;
    int Captures = 0;

private:
    int row;
    std::FILE *progressOut;
    int shown = -1;
    std::array<bool, 4> timers{false, false, false, true};
};
