#pragma once

#include <QImage>
#include <QWidget>

#include "plot/TGraphicsTypes.h"

#include <functional>

class QMouseEvent;
class TBitmap;

// A control that shows one of our bitmaps at (0, 0) without copying it (the
// bitmap's rows are wrapped in a QImage on every paint) and hands its mouse
// events to whoever owns it. The waveform view uses one for the plot (the
// display layer) and one for the ruler image.
class TPaintBox : public QWidget
{
public:
    TPaintBox(QWidget *parent, const char *name);

    // The bitmap painted; it must outlive the control or be reset first.
    void SetBitmap(const TBitmap *bitmap);
    // A picture of its own instead, painted with its transparency (the
    // cursor markers): pixels of `transparent` are left out.
    void SetPicture(const TBitmap &picture, TColor transparent);

    std::function<void(QMouseEvent *)> OnMouseDown;
    std::function<void(QMouseEvent *)> OnMouseMove;
    std::function<void(QMouseEvent *)> OnMouseUp;
    std::function<void(QMouseEvent *)> OnDoubleClick;
    std::function<void(QMouseEvent *)> OnContextMenu;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    const TBitmap *bitmap = nullptr;
    QImage picture;
};
