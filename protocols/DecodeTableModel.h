#pragma once

#include "protocols/DecodeTable.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <string>
#include <vector>

// A result grid's model over a decoder's table: the view asks only for the
// cells it shows, so a capture of 100,000 packets fills its grid at once.
// Marked rows (a fault) are drawn in red on a light red background.
// The table belongs to the page (it must outlive the model or be unset).
class DecodeTableModel : public QAbstractTableModel
{
public:
    DecodeTableModel(QObject *parent, QStringList headers);

    // A new result (nullptr: an empty grid).
    void SetTable(const DecodeTable *table);
    const DecodeTable *Table() const { return table; }
    void SetHeaders(QStringList headers);
    const QStringList &Headers() const { return headers; }
    // The headers as UTF-8, for the CSV export.
    std::vector<std::string> HeaderTexts() const;
    // Headers from UTF-8 texts (a decoder's built-in headers).
    static QStringList HeadersOf(const std::vector<std::string> &texts);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const DecodeTable *table = nullptr;
    QStringList headers;
};
