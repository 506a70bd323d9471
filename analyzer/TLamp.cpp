#include "analyzer/TLamp.h"

#include <QPainter>

TLamp::TLamp(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(sizeHint());
}

void TLamp::SetOn(bool on)
{
    if (lit == on)
        return;
    lit = on;
    update();
}

QSize TLamp::sizeHint() const
{
    return {18, 18};
}

void TLamp::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    QRadialGradient glow(r.center() - QPointF(r.width() / 5, r.height() / 5), r.width() / 1.5);
    const QColor base = lit ? onColor : offColor;
    glow.setColorAt(0, base.lighter(lit ? 160 : 130));
    glow.setColorAt(1, base);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(glow);
    p.drawEllipse(r);
}
