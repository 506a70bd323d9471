#include "cpumap/CPUMapChart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QColor>
#include <QCursor>
#include <QGraphicsSimpleTextItem>
#include <QHorizontalStackedBarSeries>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>

namespace {

QColor Colour(TColor c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

uint64_t Total(const std::vector<CCPU_Map::Bar> &bars)
{
    uint64_t sum = 0;
    for (const auto &b : bars)
        sum += b.Value;
    return sum;
}

} // namespace

CPUMapChart::CPUMapChart(QWidget *parent, const char *name, const QString &first,
                         const QString &second)
    : QChartView(parent)
    , chart(new QChart)
    , bars(new QHorizontalStackedBarSeries)
    , categoryAxis(new QBarCategoryAxis)
    , valueAxis(new QValueAxis)
    , names{first, second}
{
    setObjectName(QLatin1String(name));
    setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < 2; ++i) {
        sets[i] = new QBarSet(names[i]);
        bars->append(sets[i]);
    }
    bars->setBarWidth(0.8);
    chart->addSeries(bars);
    chart->addAxis(categoryAxis, Qt::AlignLeft);
    chart->addAxis(valueAxis, Qt::AlignBottom);
    bars->attachAxis(categoryAxis);
    bars->attachAxis(valueAxis);
    valueAxis->setLabelFormat(QStringLiteral("%d"));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(2, 2, 2, 2));
    setChart(chart);
    connect(chart, &QChart::plotAreaChanged, this, [this] { PlaceTexts(); });
    // Every bar names its range and value under the pointer, labelled or not.
    connect(bars, &QAbstractBarSeries::hovered, this, [this](bool on, int index, QBarSet *) {
        if (on)
            QToolTip::showText(QCursor::pos(), HoverText(index), this);
        else
            QToolTip::hideText();
    });
    Clear();
}

void CPUMapChart::Clear()
{
    Fill({}, 0, {}, 0);
}

void CPUMapChart::Fill(const std::vector<CCPU_Map::Bar> &first, TColor firstColor,
                       const std::vector<CCPU_Map::Bar> &second, TColor secondColor)
{
    lists[0] = first;
    lists[1] = second;
    const size_t count = first.size() + second.size();
    QStringList labels;
    QList<qreal> values[2];
    uint32_t highest = 0;
    // The chart's first category is its bottom one: the list goes in from
    // its end, so that the first series' lowest addresses come out on top.
    for (int s = 1; s >= 0; --s) {
        for (auto b = lists[s].rbegin(); b != lists[s].rend(); ++b) {
            labels << names[s] + QLatin1Char(' ') + QString::fromStdString(b->Label);
            highest = std::max(highest, b->Value);
            for (int t = 0; t < 2; ++t)
                values[t] << (t == s ? static_cast<qreal>(b->Value) : 0.0);
        }
    }
    // More bars than lines of text fit: the ranges would overlap (and laying
    // out hundreds of labels costs a tenth of a second), so only the tool
    // tips name them.
    labelled = count <= MaxLabelledBars;
    categoryAxis->setLabelsVisible(labelled);
    categoryAxis->clear();
    if (count > 0)
        categoryAxis->append(labels);
    const TColor colors[2] = {firstColor, secondColor};
    for (int s = 0; s < 2; ++s) {
        sets[s]->remove(0, sets[s]->count());
        sets[s]->append(values[s]);
        sets[s]->setColor(Colour(colors[s]));
        sets[s]->setBorderColor(Colour(colors[s]).darker(130));
    }
    // Room at the bar ends for their texts.
    valueAxis->setRange(0, std::max<uint32_t>(4, highest + highest / 4 + 1));
    valueAxis->applyNiceNumbers();
    SetStyle(style);
}

void CPUMapChart::SetStyle(int newStyle)
{
    style = newStyle;
    for (const Text &t : texts)
        delete t.Item;
    texts.clear();
    const uint64_t totals[2] = {Total(lists[0]), Total(lists[1])};
    const int count = static_cast<int>(lists[0].size() + lists[1].size());
    int category = count - 1; // the top one
    for (int s = 0; s < 2 && labelled; ++s) {
        for (const auto &b : lists[s]) {
            if (b.Value > 0) {
                const std::string text =
                    CCPU_Map::BarText(style, b.Value, totals[s], totals[0] + totals[1]);
                auto *item = new QGraphicsSimpleTextItem(QString::fromStdString(text), chart);
                item->setZValue(10);
                texts.push_back({item, category, static_cast<double>(b.Value)});
            }
            --category;
        }
    }
    PlaceTexts();
}

void CPUMapChart::PlaceTexts()
{
    for (const Text &t : texts) {
        const QPointF end = chart->mapToPosition(QPointF(t.Value, t.Category), bars);
        const QRectF box = t.Item->boundingRect();
        t.Item->setPos(end.x() + 3, end.y() - box.height() / 2);
    }
}

QStringList CPUMapChart::Categories() const
{
    QStringList top = categoryAxis->categories();
    std::reverse(top.begin(), top.end());
    return top;
}

QStringList CPUMapChart::BarTexts() const
{
    QStringList out;
    for (const Text &t : texts)
        out << t.Item->text();
    return out;
}

QString CPUMapChart::HoverText(int category) const
{
    // Categories count from the bottom: the second series' last bar first.
    const int count = static_cast<int>(lists[0].size() + lists[1].size());
    const int fromTop = count - 1 - category;
    const int s = fromTop < static_cast<int>(lists[0].size()) ? 0 : 1;
    const size_t i =
        static_cast<size_t>(s == 0 ? fromTop : fromTop - static_cast<int>(lists[0].size()));
    if (fromTop < 0 || i >= lists[s].size())
        return {};
    const auto &b = lists[s][i];
    return names[s] + QLatin1Char(' ') + QString::fromStdString(b.Label) +
           QStringLiteral(": %1").arg(b.Value);
}
