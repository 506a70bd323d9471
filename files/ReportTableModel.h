#pragma once

#include "files/TextReport.h"

#include <QAbstractTableModel>

// The report window's preview of the data section: one row per sample of
// the chosen range, the columns of TextReport::Headings(). Cells are made by
// the report when the view asks for them, so a range of a million samples
// costs nothing until it is scrolled to.
class ReportTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    ReportTableModel(const TextReport &report, QObject *parent = nullptr);

    // The range (sample numbers, either order) and the options the cells
    // follow (the range letters, the separator does not matter here).
    void SetRange(const TextReport::Options &options);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const TextReport &report;
    std::vector<std::string> headings;
    TextReport::Options options;
    int64_t first = 0;
    int64_t rows = 0;
};
