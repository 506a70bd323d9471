#include "trigger/BusRowsModel.h"

#include "trigger/BusTable.h"

BusRowsModel::BusRowsModel(QObject *parent, const BusTable &busTable, Side gridSide)
    : ReadOnlyTableModel(parent, Cells::Selectable)
    , table(busTable)
    , side(gridSide)
{}

void BusRowsModel::SetHeaders(QStringList texts)
{
    headers = std::move(texts);
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int BusRowsModel::ChannelOf(int column) const
{
    return table.ChannelCount() - 1 - column;
}

int BusRowsModel::Rows() const
{
    return table.RowCount();
}

int BusRowsModel::Columns() const
{
    return side == Side::Left ? 3 : table.ChannelCount();
}

QVariant BusRowsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignCenter);
    if (role != Qt::DisplayRole)
        return {};
    const int row = index.row();
    if (side == Side::Right)
        return QString::fromStdString(table.CellText(row, ChannelOf(index.column())));
    switch (index.column()) {
    case 0:
        return QString::fromStdString(table.ModeText(row));
    case 1:
        return QString::fromLatin1(table.RowAt(row).Name);
    default:
        return QString::fromStdString(table.BitsText(row));
    }
}

QVariant BusRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignCenter);
    if (role != Qt::DisplayRole)
        return {};
    if (side == Side::Right)
        return QString::number(ChannelOf(section) % 8); // the channel within its port
    return TextAt(headers, section);
}
