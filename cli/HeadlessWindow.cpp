#include "cli/HeadlessWindow.h"

HeadlessWindow::HeadlessWindow(int timeDivRow, std::FILE *progress)
    : row(timeDivRow)
    , progressOut(progress)
{}

HeadlessWindow::~HeadlessWindow()
{
    EndProgress();
}

void HeadlessWindow::EnableTimer(Timer timer, bool on)
{
    timers[static_cast<size_t>(timer)] = on;
}

bool HeadlessWindow::TimerEnabled(Timer timer) const
{
    return timers[static_cast<size_t>(timer)];
}

void HeadlessWindow::SetProgress(int percent)
{
    // The idle look of the bar is no progress of a capture.
    if (progressOut == nullptr || percent == shown || (shown < 0 && percent == IdleProgress))
        return;
    shown = percent;
    std::fprintf(progressOut, "\rcapture: %3d%%", percent);
    std::fflush(progressOut);
}

void HeadlessWindow::EndProgress()
{
    if (progressOut != nullptr && shown >= 0)
        std::fputc('\n', progressOut);
    shown = -1;
    progressOut = nullptr;
}
