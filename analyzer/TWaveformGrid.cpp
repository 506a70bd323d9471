#include "analyzer/TWaveformGrid.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int DivisionPixels = 50;
constexpr int DotStep = 10;

QColor FromColorRef(uint32_t c)
{
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

} // namespace

TWaveformGrid::TWaveformGrid(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("WaveformGrid"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TWaveformGrid::SetTriggerPercent(int percent)
{
    triggerPercent = std::clamp(percent, 0, 100);
    update();
}

void TWaveformGrid::SetColors(uint32_t background, uint32_t foreground)
{
    backgroundColor = background;
    foregroundColor = foreground;
    update();
}

void TWaveformGrid::Erase()
{
    update();
}

int TWaveformGrid::TriggerColumn() const
{
    return triggerPercent * width() / 100;
}

void TWaveformGrid::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), FromColorRef(backgroundColor));
    const QColor pen = FromColorRef(foregroundColor);
    painter.setPen(pen);
    const int w = width();
    const int h = height();
    const int t = TriggerColumn();

    // The trigger mark: a small triangle pointing down at the top edge.
    const QPoint mark[] = {{t - 6, 1}, {t, 7}, {t + 6, 1}};
    painter.drawPolygon(mark, 3);

    // Ticks along the middle line every 10 pixels.
    const int middle = h / 2;
    for (int x = w / 2 % DotStep; x < w; x += DotStep)
        painter.drawLine(x, middle + 2, x, middle - 3);

    // Division lines every 50 pixels from the trigger column, dotted.
    const int first = t % DivisionPixels;
    for (int x = first; x < w; x += DivisionPixels) {
        for (int y = middle % DotStep; y < h; y += DotStep)
            painter.drawPoint(x, y);
    }
}
