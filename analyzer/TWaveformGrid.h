#pragma once

#include <QWidget>

#include <cstdint>

// The waveform page's picture until the waveform view takes the page over:
// the background, the grid (dots every 10 pixels on the division lines,
// 50 pixels apart from the trigger column) and the trigger mark.
class TWaveformGrid : public QWidget
{
    Q_OBJECT

public:
    explicit TWaveformGrid(QWidget *parent = nullptr);

    // Pre-trigger share in percent: where the trigger mark sits.
    void SetTriggerPercent(int percent);
    // Colours as 0x00BBGGRR.
    void SetColors(uint32_t background, uint32_t foreground);
    // Clears the picture and draws the grid again.
    void Erase();

    int TriggerColumn() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int triggerPercent = 50;
    uint32_t backgroundColor = 0x000000;
    uint32_t foregroundColor = 0xFFFFFF;
};
