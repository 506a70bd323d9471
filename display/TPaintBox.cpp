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

void TPaintBox::SetPicture(const TBitmap &source, TColor transparent)
{
    bitmap = nullptr;
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    picture = QImage(source.Width(), source.Height(), QImage::Format_ARGB32);
    const uint32_t clear = TBitmap::PixelOf(transparent);
    for (int y = 0; y < source.Height(); ++y) {
        auto *line = reinterpret_cast<uint32_t *>(picture.scanLine(y));
        const std::span<const uint32_t> row = source.ScanLine(y);
        for (size_t x = 0; x < row.size(); ++x)
            line[x] = row[x] == clear ? 0u : row[x];
    }
    resize(source.Width(), source.Height());
    update();
}

void TPaintBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!picture.isNull()) {
        painter.drawImage(0, 0, picture);
        return;
    }
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
    if (event->button() == Qt::RightButton && OnContextMenu) {
        OnContextMenu(event);
        return;
    }
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
