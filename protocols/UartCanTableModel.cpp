#include "protocols/UartCanTableModel.h"

#include <QBrush>
#include <QColor>

void UartCanTableModel::SetTable(UartCanTable table)
{
    beginResetModel();
    rows = std::move(table);
    endResetModel();
}

int UartCanTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows.RowCount());
}

int UartCanTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows.ColumnCount());
}

QVariant UartCanTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const auto row = static_cast<size_t>(index.row());
    switch (role) {
    case Qt::DisplayRole: {
        const std::string &text = rows.Cell(row, static_cast<size_t>(index.column()));
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    case Qt::ForegroundRole:
        return rows.Marked(row) ? QVariant(QBrush(QColor(0xC0, 0x00, 0x00))) : QVariant();
    case Qt::BackgroundRole:
        return rows.Marked(row) ? QVariant(QBrush(QColor(0xFF, 0xE0, 0xE0))) : QVariant();
    default:
        return {};
    }
}

QVariant UartCanTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= columnCount())
        return {};
    const std::string &text = rows.Headers[static_cast<size_t>(section)];
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
