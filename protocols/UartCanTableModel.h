#pragma once

#include "protocols/UartCanTable.h"

#include <QAbstractTableModel>

// The rows of a UART or CAN decode for a QTableView: the view asks for the
// cells it shows, nothing is copied per cell. Marked rows (a fault) are
// drawn in red on a light red background.
class UartCanTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    // Replaces the rows (a model reset).
    void SetTable(UartCanTable table);
    const UartCanTable &Table() const { return rows; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    UartCanTable rows;
};
