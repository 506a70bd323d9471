#include "protocols/DecodeTableModel.h"

#include <QBrush>
#include <QColor>

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

std::vector<std::string> DecodeTableModel::HeaderTexts() const
{
    std::vector<std::string> texts;
    for (const QString &h : headers)
        texts.push_back(h.toStdString());
    return texts;
}

QStringList DecodeTableModel::HeadersOf(const std::vector<std::string> &texts)
{
    QStringList list;
    for (const std::string &t : texts)
        list << QString::fromStdString(t);
    return list;
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
    if (table == nullptr || !index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        const std::string_view cell = table->Cell(index.row(), index.column());
        return QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size()));
    }
    case Qt::ForegroundRole:
        return table->Marked(index.row()) ? QVariant(QBrush(QColor(0xC0, 0x00, 0x00))) : QVariant();
    case Qt::BackgroundRole:
        return table->Marked(index.row()) ? QVariant(QBrush(QColor(0xFF, 0xE0, 0xE0))) : QVariant();
    default:
        return {};
    }
}

QVariant DecodeTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < headers.size() ? headers[section] : QVariant();
    return {};
}
