#pragma once

#include "ui/ReadOnlyTableModel.h"

#include <QColor>
#include <QStringList>

class WListRows;

// The state list's grid as a table model: the header holds the column names
// ("Sample Number", the signals' names, "Timer"), model row 0 the trigger
// texts and the rows after it the data rows of WListRows, whose texts are
// handed out as they were filled. Nothing is stored per cell here; Reset()
// when rows or columns changed in number.
class ListTableModel : public ReadOnlyTableModel
{
public:
    ListTableModel(QObject *parent, const WListRows &rows);

    // The columns changed (count, names or trigger texts).
    void SetHeaders(QStringList names, QStringList triggerTexts);
    // The data rows were filled again: every visible cell is asked anew.
    void RowsFilled();
    void SetColours(QColor fixed, QColor cell, QColor text);

    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    int Rows() const override;
    int Columns() const override;

private:
    const WListRows &rows;
    QStringList names;
    QStringList triggers;
    QColor fixedColour;
    QColor cellColour;
    QColor textColour;
};
