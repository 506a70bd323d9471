#pragma once

#include "analyzer/AcquisitionWindow.h"

class TForm1;

// Acquisition control's view of the main window: its timers, progress bar,
// lamp, combo boxes, message boxes and the model selection. The view hooks
// reach the waveform page's picture (and, once they exist, the waveform
// view, the cursors, the state list and the SPI page).
class TForm1AcquisitionWindow : public AcquisitionWindow
{
public:
    explicit TForm1AcquisitionWindow(TForm1 &form);

    void EnableTimer(Timer timer, bool on) override;
    bool TimerEnabled(Timer timer) const override;
    void SetProgress(int percent) override;
    void SetLamp(bool on) override;
    void SetRunControls(RunMode mode) override;
    void ShowWarning(Warning warning) override;
    void ChooseModel() override;
    void ModelChanged() override;
    bool OfferEveryChannel() override;

    int ActivePage() const override;
    int DivComboBoxIndex() const override;
    void SelectCombos() override;
    void FillDivList() override;
    void WriteStatusBar() override;
    void ShowDelay(const std::string &text) override;

    void ClearWaveform(bool keepDrawing) override;
    void SetViewPosition(const WTime &t) override;
    void ScrollWaveformHome() override;
    void UpdateCursors() override;
    void PlaceTriggerMark() override;
    void RefreshList() override;
    WTime ListDelay() const override;
    void ShowCapture() override;
    void RedrawWaveform() override;
    void RefreshViews() override;
    void EnableSpiPage() override;

private:
    TForm1 &form;
};
