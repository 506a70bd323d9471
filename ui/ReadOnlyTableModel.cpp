#include "ui/ReadOnlyTableModel.h"

ReadOnlyTableModel::ReadOnlyTableModel(QObject *parent, Cells cells)
    : QAbstractTableModel(parent)
    , cellFlags(cells == Cells::Selectable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable
                                           : Qt::ItemIsEnabled)
{}

void ReadOnlyTableModel::Reset()
{
    beginResetModel();
    endResetModel();
}

int ReadOnlyTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Rows();
}

int ReadOnlyTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns();
}

Qt::ItemFlags ReadOnlyTableModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? cellFlags : Qt::NoItemFlags;
}

QString ReadOnlyTableModel::TextAt(const QStringList &texts, int i)
{
    return i >= 0 && i < texts.size() ? texts[i] : QString();
}
