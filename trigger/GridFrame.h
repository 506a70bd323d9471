#pragma once

#include <QFrame>

class CFile;
class QLabel;
class QMenu;
class QTableWidget;

// One pattern row of the trigger page: a title and a grid with a column per
// channel (highest channel at the left) under the port headers and the
// channel digits; its third row shows each channel's condition (L, H, R, F,
// X). It edits the working copy TriggerConditionEdit of the record, never the
// stored conditions: by double click (cycling), the pop-up menu, and dragging
// (an edge moves, a level paints). The first grid built after the dialog
// opened loads the working copy from the stored conditions.
class GridFrame : public QFrame
{
    Q_OBJECT

public:
    // Row 2 of the table holds the conditions.
    static constexpr int ConditionRow = 2;

    GridFrame(QWidget *parent, CFile &record, int pageType, int patternRow, bool channel31Reserved,
              int clockSource);

    // The channel shown in a column, and back.
    int ChannelOf(int column) const { return channels - 1 - column; }
    int ColumnOf(int channel) const { return channels - 1 - channel; }
    // The clock source changed: with the external clock on a 200 MHz model
    // the highest channel is locked at X.
    void SetClockSource(int clockSource);
    // Every condition of the row becomes X.
    void Erase();
    // The pop-up menu's item `tag` (0 Low, 1 High, 2 Don't Care, 3 Raising,
    // 4 Falling, 6..8 All Low/High/Don't Care) on the selected cell.
    void MenuItemClick(int tag);
    // A double click on a column's condition.
    void CycleColumn(int column);
    // The channel that cannot be edited now, or -1.
    int LockedChannel() const;
    // The conditions shown, left to right ("XXLH...").
    QString RowText() const;

    QLabel *Title = nullptr;
    QTableWidget *Grid = nullptr;
    QMenu *PopupMenu = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildGrid();
    void BuildMenu();
    void ShowRow();
    std::array<uint8_t, 32> &Row();

    CFile &record;
    int type;
    int row;
    int channels;
    bool reserved;
    int clock;
    int dragColumn = -1;
    uint8_t dragCode = 0;
    bool dragging = false;
};
