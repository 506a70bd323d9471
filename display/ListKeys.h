#pragma once

// The keys of the "Listing" page's grid: Up/Down move the list one row,
// PgUp/PgDn one page of visible rows, Home/End to the record's first and
// last sample. Installed on the grid, it hands the new position to its hook
// (which keeps it inside the record) and eats the keys, so that the grid's
// own current cell does not wander off.

#include <QObject>

#include <cstdint>
#include <functional>

class QWidget;

class ListKeys : public QObject
{
public:
    enum class Move { RowUp, RowDown, PageUp, PageDown, First, Last };

    ListKeys(QWidget *grid, std::function<void(Move)> move);

    // The position after a move from `current`: one row, `page` rows, or the
    // record's ends.
    static int32_t Moved(Move m, int32_t current, int32_t page, int32_t first, int32_t last);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(Move)> onMove;
};
