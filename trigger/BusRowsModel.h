#pragma once

#include "ui/ReadOnlyTableModel.h"

class BusTable;

// One of the two grids of the bus page over the editor's rows: the left one
// ("Mode", "Name", "Bits") or the right one (one column per channel, the
// highest channel at the left, showing the marks). Texts come from BusTable
// when the view asks; Reset() tells the view that the rows changed.
class BusRowsModel : public ReadOnlyTableModel
{
public:
    enum class Side { Left, Right };

    BusRowsModel(QObject *parent, const BusTable &table, Side side);

    // The header texts of the left grid.
    void SetHeaders(QStringList headers);
    // The channel a column of the right grid shows.
    int ChannelOf(int column) const;

    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    int Rows() const override;
    int Columns() const override;

private:
    const BusTable &table;
    Side side;
    QStringList headers;
};
