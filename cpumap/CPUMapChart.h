#pragma once

#include "cpumap/CCPU_Map.h"

#include <QChartView>
#include <QStringList>

#include <vector>

class QBarCategoryAxis;
class QBarSet;
class QGraphicsSimpleTextItem;
class QHorizontalStackedBarSeries;
class QValueAxis;

// One access chart of the CPU map's Performance tab: a horizontal bar chart
// of two series (ROM2 and ROM1, RAM2 and RAM1, IO2 and IO1). Each series'
// bars are listed on their own, the first series above: a category per bar
// ("ROM1 01000-013FF"), the other series 0 there. The text at the end of a
// non-empty bar is its percentage, its count, or both (BarText). When more
// bars than lines of text fit, the ranges and texts give way to tool tips.
class CPUMapChart : public QChartView
{
public:
    static constexpr size_t MaxLabelledBars = 32;

    CPUMapChart(QWidget *parent, const char *name, const QString &first, const QString &second);

    void Clear();
    // The bars of both series with their colours.
    void Fill(const std::vector<CCPU_Map::Bar> &first, TColor firstColor,
              const std::vector<CCPU_Map::Bar> &second, TColor secondColor);
    // 0 Percent, 1 Value, 2 Value + Percent.
    void SetStyle(int style);

    QBarSet *Series(int index) const { return sets[index]; }
    // The category texts from the top down.
    QStringList Categories() const;
    // The texts on the bars, first series first.
    QStringList BarTexts() const;
    // The tool tip of a category (counted from the bottom, as the chart does).
    QString HoverText(int category) const;

private:
    void PlaceTexts();

    QChart *chart;
    QHorizontalStackedBarSeries *bars;
    QBarSet *sets[2];
    QBarCategoryAxis *categoryAxis;
    QValueAxis *valueAxis;
    QString names[2];
    std::vector<CCPU_Map::Bar> lists[2];
    int style = 0;
    bool labelled = true;
    struct Text
    {
        QGraphicsSimpleTextItem *Item;
        int Category;
        double Value;
    };
    std::vector<Text> texts;
};
