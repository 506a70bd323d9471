#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The rows a UART or CAN decode produces: texts in a fixed number of
// columns, with one mark per row (the row shows a fault) and, when nothing
// could be decoded at all, the message that says why. Plain data; the pages
// show it through a table model and export it as CSV.
// Cost: one std::string per cell, stored row after row in one vector.
class UartCanTable
{
public:
    explicit UartCanTable(std::vector<std::string> headers = {});

    size_t ColumnCount() const { return Headers.size(); }
    size_t RowCount() const { return marks.size(); }
    const std::string &Cell(size_t row, size_t column) const
    {
        return cells[row * Headers.size() + column];
    }
    bool Marked(size_t row) const { return marks[row] != 0; }

    // Appends a row of empty cells and returns its index; SetCell fills it.
    size_t AddRow();
    void SetCell(size_t row, size_t column, std::string text);
    void Mark(size_t row) { marks[row] = 1; }
    void Clear();

    std::vector<std::string> Headers;
    // Why the decode produced no rows (a channel the model lacks, a rate too
    // fast for the sample period); empty when it ran.
    std::string Message;

private:
    std::vector<std::string> cells;
    std::vector<uint8_t> marks;
};
