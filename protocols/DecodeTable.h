#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The rows of texts a decoder produces (packets, statistics, frames), as
// plain data for the pages' table models and the CSV export. A fixed number
// of columns; rows are appended whole or cell by cell. A row may be marked
// (it shows a fault; the pages draw it in red), and a decode that could not
// run at all says why in Message. It also keeps, per column, the length of
// its longest text, so a page can size its columns without walking the rows.
// Cost: all texts live in one character buffer with one 32-bit end offset
// per cell, so a row costs its characters plus 4 bytes a cell and no
// allocation of its own; marks take one byte a row up to the last marked
// row (none while nothing is marked); Clear keeps the memory for the next
// decode.
class DecodeTable
{
public:
    explicit DecodeTable(int columns = 0);

    int Columns() const { return columns; }
    int Rows() const { return rows; }
    bool Empty() const { return rows == 0; }

    // Appends a row; cells beyond `cells` are empty, texts beyond the last
    // column are dropped.
    void AddRow(std::span<const std::string_view> cells);
    void AddRow(std::initializer_list<std::string_view> cells)
    {
        AddRow(std::span<const std::string_view>(cells.begin(), cells.size()));
    }
    // Building a row cell by cell, straight into the table's text: each call
    // adds the next cell; the row counts once its last cell is added.
    void Push(std::string_view cell);
    // The value in decimal followed by `suffix`.
    void PushNumber(uint64_t value, std::string_view suffix = {});
    // The cell in `column` of the row being built; the cells between the
    // last one pushed and `column` stay empty. A column already passed, or
    // outside the table, is ignored.
    void PushAt(int column, std::string_view cell);

    // Marks a whole row (one that shows a fault); rows outside the table are
    // ignored.
    void Mark(int row);
    bool Marked(int row) const;

    // The cell's text; empty for a cell outside the table.
    std::string_view Cell(int row, int column) const;
    // Characters of the longest text in the column.
    int LongestText(int column) const;

    // Rows, marks and Message go; the column count stays.
    void Clear();
    void Reserve(int rowCount, size_t characters);

    // Why the decode produced no rows (a channel the model lacks, a rate
    // too fast for the sample period); empty when it ran.
    std::string Message;

private:
    int columns;
    void EndCell(size_t size);

    int rows = 0;
    int nextColumn = 0; // of the next cell pushed
    std::string text;
    std::vector<uint32_t> ends; // end offset in `text` of every cell, row-major
    std::vector<int> longest;
    std::vector<uint8_t> marks; // 1 for a marked row; rows past its end are unmarked
};
