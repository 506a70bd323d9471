#include "display/ListTableModel.h"

#include "display/WListRows.h"

ListTableModel::ListTableModel(QObject *parent, const WListRows &listRows)
    : ReadOnlyTableModel(parent, Cells::Enabled)
    , rows(listRows)
    , fixedColour(Qt::lightGray)
    , cellColour(Qt::black)
    , textColour(Qt::white)
{}

void ListTableModel::SetHeaders(QStringList columnNames, QStringList triggerTexts)
{
    beginResetModel();
    names = std::move(columnNames);
    triggers = std::move(triggerTexts);
    endResetModel();
}

void ListTableModel::RowsFilled()
{
    if (rowCount() > 1 && columnCount() > 0)
        emit dataChanged(index(1, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

void ListTableModel::SetColours(QColor fixed, QColor cell, QColor text)
{
    fixedColour = fixed;
    cellColour = cell;
    textColour = text;
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int ListTableModel::Rows() const
{
    return 1 + rows.DataRows();
}

int ListTableModel::Columns() const
{
    return rows.ColumnCount();
}

QVariant ListTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const bool fixed = index.row() == 0;
    switch (role) {
    case Qt::DisplayRole: {
        if (fixed)
            return TextAt(triggers, index.column());
        const std::string_view text = rows.Text(index.row() - 1, index.column());
        return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    }
    case Qt::BackgroundRole:
        return fixed ? fixedColour : cellColour;
    case Qt::ForegroundRole:
        return fixed ? QColor(Qt::black) : textColour;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant ListTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return TextAt(names, section);
}
