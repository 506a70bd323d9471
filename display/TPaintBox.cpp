#include "display/TPaintBox.h"

#include "plot/TBitmap.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

TPaintBox::TPaintBox(QWidget *parent, const char *name)
    : QWidget(parent)
{
    setObjectName(QLatin1String(name));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPaintBox::SetBitmap(const TBitmap *b)
{
    bitmap = b;
    update();
}

void TPaintBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (bitmap == nullptr || bitmap->Empty()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    // The image only borrows the rows; it lives for this paint.
    const QImage image(reinterpret_cast<const uchar *>(bitmap->Bits().data()), bitmap->Width(),
                       bitmap->Height(), bitmap->BytesPerLine(), QImage::Format_RGB32);
    painter.drawImage(0, 0, image);
}

void TPaintBox::mousePressEvent(QMouseEvent *event)
{
    if (OnMouseDown)
        OnMouseDown(event);
}

void TPaintBox::mouseMoveEvent(QMouseEvent *event)
{
    if (OnMouseMove)
        OnMouseMove(event);
}

void TPaintBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (OnMouseUp)
        OnMouseUp(event);
}

void TPaintBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (OnDoubleClick)
        OnDoubleClick(event);
}
