#include "protocols/DecodeTableModel.h"

DecodeTableModel::DecodeTableModel(QObject *parent, QStringList columnHeaders)
    : QAbstractTableModel(parent)
    , headers(std::move(columnHeaders))
{}

void DecodeTableModel::SetTable(const DecodeTable *t)
{
    beginResetModel();
    table = t;
    endResetModel();
}

void DecodeTableModel::SetHeaders(QStringList h)
{
    headers = std::move(h);
    emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(headers.size()) - 1);
}

int DecodeTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || table == nullptr ? 0 : table->Rows();
}

int DecodeTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(headers.size());
}

QVariant DecodeTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || table == nullptr || !index.isValid())
        return {};
    const std::string_view cell = table->Cell(index.row(), index.column());
    return QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size()));
}

QVariant DecodeTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < headers.size() ? headers[section] : QVariant();
    return {};
}
