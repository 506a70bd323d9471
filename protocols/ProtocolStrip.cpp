#include "protocols/ProtocolStrip.h"

#include "display/TPaintBox.h"

#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

ProtocolStrip::ProtocolStrip(QWidget *parent, const char *name, int height)
    : QWidget(parent)
    , bitmap(Columns, std::max(height - 16, 20), 0)
    , paintBox(new TPaintBox(this, "PaintBox"))
    , scrollBar(new QScrollBar(Qt::Horizontal, this))
{
    setObjectName(QLatin1String(name));
    setFixedHeight(height);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The picture is exactly as high as the bitmap: a taller box would leave
    // rows that nothing paints, where another page's pixels could show.
    paintBox->setFixedHeight(bitmap.Height());
    layout->addWidget(paintBox);
    layout->addStretch(1);
    layout->addWidget(scrollBar);
    paintBox->SetBitmap(&bitmap);
    scrollBar->setObjectName(QStringLiteral("ScrollBar"));
    connect(scrollBar, &QScrollBar::valueChanged, this, [this] { Redraw(); });
}

ProtocolStrip::~ProtocolStrip()
{
    paintBox->SetBitmap(nullptr);
}

void ProtocolStrip::SetTraces(std::vector<Trace> t)
{
    traces = std::move(t);
}

void ProtocolStrip::SetRange(int maximum, int pageStep)
{
    const QSignalBlocker quiet(scrollBar);
    scrollBar->setRange(0, std::max(maximum, 0));
    scrollBar->setPageStep(std::max(pageStep, 1));
}

int ProtocolStrip::Position() const
{
    return scrollBar->value();
}

void ProtocolStrip::SetPosition(int position)
{
    scrollBar->setValue(position);
}

void ProtocolStrip::Redraw()
{
    bitmap.Fill(0);
    const int p = Position();
    for (const Trace &t : traces) {
        if (t.Codes == nullptr || p < 0 || static_cast<size_t>(p) >= t.Codes->size())
            continue;
        // Plotrune reads at most count + 2 entries from the start.
        const size_t n = std::min<size_t>(t.Codes->size() - static_cast<size_t>(p), Columns + 2);
        wide.assign(t.Codes->begin() + p, t.Codes->begin() + p + static_cast<ptrdiff_t>(n));
        bitmap.Canvas().Pen.Color = t.Color;
        plotrune.DrawGraphInfArray(&bitmap, 20, t.Y, 10, 0, Columns, static_cast<int32_t>(n),
                                   wide.data());
    }
    paintBox->update();
}
