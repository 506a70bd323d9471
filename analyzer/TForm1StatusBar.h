#pragma once

#include <QStatusBar>

#include <array>

class QLabel;
class QProgressBar;

// The main window's status bar: four centred text panels (sample rate, memory
// depth, memory percent, one unused) and the capture progress bar, which sits
// on the bar's right end, 30 pixels from the edge.
class TForm1StatusBar : public QStatusBar
{
    Q_OBJECT

public:
    static constexpr int PanelCount = 4;
    static constexpr std::array<int, PanelCount> PanelWidths{150, 150, 200, 150};
    static constexpr int ProgressWidth = 100;
    static constexpr int ProgressRightGap = 30;

    explicit TForm1StatusBar(QWidget *parent = nullptr);

    void SetPanelText(int panel, const QString &text);
    QString PanelText(int panel) const;
    QLabel *Panel(int panel) const { return panels.at(static_cast<size_t>(panel)); }
    QProgressBar *ProgressBar() const { return progress; }

    // Left edge = bar width - bar's progress width - 30.
    void PlaceProgressBar();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    std::array<QLabel *, PanelCount> panels{};
    QProgressBar *progress = nullptr;
};
