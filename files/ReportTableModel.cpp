#include "files/ReportTableModel.h"

#include <algorithm>
#include <climits>

ReportTableModel::ReportTableModel(const TextReport &r, QObject *parent)
    : QAbstractTableModel(parent)
    , report(r)
    , headings(r.Headings())
{}

void ReportTableModel::SetRange(const TextReport::Options &o)
{
    beginResetModel();
    options = o;
    const int64_t a = report.Resolve(o.From);
    const int64_t b = report.Resolve(o.To);
    first = std::min(a, b);
    rows = report.HasDataSection() ? std::max(a, b) - first + 1 : 0;
    endResetModel();
}

int ReportTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(std::min<int64_t>(rows, INT_MAX));
}

int ReportTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(headings.size());
}

QVariant ReportTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return QString::fromLatin1(
        report.Cell(first + index.row(), static_cast<size_t>(index.column()), options));
}

QVariant ReportTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return QString::number(section + 1);
    if (section < 0 || static_cast<size_t>(section) >= headings.size())
        return {};
    return QString::fromLatin1(headings[static_cast<size_t>(section)]);
}
