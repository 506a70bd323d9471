#pragma once

#include <string>
#include <string_view>
#include <vector>

// The rows of texts a decoder produces (packets, statistics), as plain data
// for the pages' table models and the CSV export. A fixed number of columns,
// row-major; every cell starts empty. It also keeps, per column, the length
// of its longest text, so a page can size its columns without walking the
// rows. Cost: one std::string per cell (short texts stay inside the string).
class DecodeTable
{
public:
    explicit DecodeTable(int columns = 0);

    int Columns() const { return columns; }
    int Rows() const { return columns == 0 ? 0 : static_cast<int>(cells.size()) / columns; }
    bool Empty() const { return cells.empty(); }

    // Appends an empty row and returns its index.
    int AddRow();
    void Set(int row, int column, std::string text);
    // The cell's text; empty for a cell outside the table.
    const std::string &Cell(int row, int column) const;
    // Characters of the longest text ever set in the column.
    int LongestText(int column) const;

    void Clear();
    void Reserve(int rows) { cells.reserve(static_cast<size_t>(rows) * columns); }

private:
    int columns;
    std::vector<std::string> cells;
    std::vector<int> longest;
};
