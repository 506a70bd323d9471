#pragma once

#include <QAbstractTableModel>
#include <QStringList>

// A grid's table model over rows kept elsewhere (the list's filled rows, the
// bus editor's table): a subclass tells how many rows and columns there are
// and makes each cell's text when the view asks (data(), headerData()), so
// nothing is stored per cell. The grid is flat and read-only: cells are
// enabled, selectable where the grid picks rows, never editable.
class ReadOnlyTableModel : public QAbstractTableModel
{
public:
    enum class Cells { Enabled, Selectable };

    ReadOnlyTableModel(QObject *parent, Cells cells);

    // The rows changed (in number or texts): the view asks for everything
    // anew.
    void Reset();

    int rowCount(const QModelIndex &parent = {}) const final;
    int columnCount(const QModelIndex &parent = {}) const final;
    Qt::ItemFlags flags(const QModelIndex &index) const final;

protected:
    virtual int Rows() const = 0;
    virtual int Columns() const = 0;

    // Text `i` of `texts`, empty past either end (header or trigger texts that
    // are fewer than the columns).
    static QString TextAt(const QStringList &texts, int i);

private:
    Qt::ItemFlags cellFlags;
};
