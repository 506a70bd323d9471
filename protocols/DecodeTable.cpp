#include "protocols/DecodeTable.h"

#include <algorithm>

namespace {
const std::string NoText;
}

DecodeTable::DecodeTable(int columnCount)
    : columns(std::max(columnCount, 0))
    , longest(static_cast<size_t>(columns), 0)
{}

int DecodeTable::AddRow()
{
    cells.resize(cells.size() + static_cast<size_t>(columns));
    return Rows() - 1;
}

void DecodeTable::Set(int row, int column, std::string text)
{
    if (row < 0 || row >= Rows() || column < 0 || column >= columns)
        return;
    int &l = longest[static_cast<size_t>(column)];
    l = std::max(l, static_cast<int>(text.size()));
    cells[static_cast<size_t>(row) * columns + column] = std::move(text);
}

const std::string &DecodeTable::Cell(int row, int column) const
{
    if (row < 0 || row >= Rows() || column < 0 || column >= columns)
        return NoText;
    return cells[static_cast<size_t>(row) * columns + column];
}

int DecodeTable::LongestText(int column) const
{
    if (column < 0 || column >= columns)
        return 0;
    return longest[static_cast<size_t>(column)];
}

void DecodeTable::Clear()
{
    cells.clear();
    std::fill(longest.begin(), longest.end(), 0);
}
