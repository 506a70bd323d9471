#pragma once

// The "Adv Bus" page of the "Advance Setting" dialog: the editor of the
// signal list. The left grid holds each row's mode, name and bit count, the
// right grid one cell per channel (the highest channel at the left) with the
// row's marks; the port headers with their level buttons lie above it. The
// rows live in a BusTable; the settings record it is built on (the dialog's
// copy) is written only by Commit, and the level buttons change that record
// through the logic-level dialog, so Cancel of the dialog discards both.
//
// Built when the dialog is shown, destroyed when it closes.

#include "trigger/BusTable.h"

#include <QFrame>

#include <vector>

class CFile;
class BusRowsModel;
class QLabel;
class QPushButton;
class QStatusBar;
class QTableView;

class BusFrame : public QFrame
{
public:
    static constexpr int PanelWidth = 882;
    static constexpr int PanelHeight = 415;
    static constexpr int LeftWidth = 171;
    static constexpr int CellWidth = 20;
    static constexpr int RowHeight = 20;
    static constexpr int LeftHeaderHeight = 62;
    static constexpr int RightTop = 42;
    static constexpr int VisibleRows = 16;

    BusFrame(QWidget *sheet, CFile &settings);

    // OK: the rows into the settings record.
    void Commit();
    // The level button texts from the record's port codes.
    void WriteLevelTexts();

    const BusTable &Table() const { return table; }
    BusTable &Table() { return table; }
    // The grids show the rows anew.
    void RowsChanged();
    // The row Delete and Erase act on.
    int CurrentRow() const { return currentRow; }
    void SetCurrentRow(int row);

    // The page's commands.
    void AddClick();
    void btn_DeleteClick();
    void btn_EraseClick();
    // A level button released: the logic-level dialog for that port.
    void LevelButtonClick(int port);
    // The status bar texts of a row.
    void ShowRowStatus(int row);

    QTableView *LeftGrid = nullptr;
    QTableView *RightGrid = nullptr;
    QPushButton *Add = nullptr;
    QPushButton *btn_Delete = nullptr;
    QPushButton *btn_Erase = nullptr;
    std::vector<QLabel *> PortHeaders;
    std::vector<QPushButton *> LevelButtons;
    QStatusBar *ptStatusBar = nullptr;
    std::vector<QLabel *> StatusPanels;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildGrids();
    void BuildPorts();
    bool LeftGridEvent(QEvent *event);
    bool RightGridEvent(QEvent *event);
    void RenameRow(int row);

    CFile &settings;
    BusTable table;
    BusRowsModel *leftModel = nullptr;
    BusRowsModel *rightModel = nullptr;
    int currentRow = 0;
    int editingRow = -1;  // the row of the right grid being marked
    int lastToggled = -1; // the cell (channel) toggled last while marking
};
