#include "protocols/DecodeTable.h"

#include <algorithm>
#include <charconv>

DecodeTable::DecodeTable(int columnCount)
    : columns(std::max(columnCount, 0))
    , longest(static_cast<size_t>(columns), 0)
{}

void DecodeTable::AddRow(std::span<const std::string_view> cells)
{
    for (int c = 0; c < columns; ++c)
        Push(static_cast<size_t>(c) < cells.size() ? cells[static_cast<size_t>(c)] : "");
}

void DecodeTable::Push(std::string_view cell)
{
    if (columns == 0)
        return;
    text.append(cell);
    EndCell(cell.size());
}

void DecodeTable::PushNumber(uint64_t value, std::string_view suffix)
{
    if (columns == 0)
        return;
    char digits[24];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    (void)ec; // 24 characters hold every 64-bit value
    const size_t n = static_cast<size_t>(end - digits);
    text.append(digits, n);
    text.append(suffix);
    EndCell(n + suffix.size());
}

void DecodeTable::PushAt(int column, std::string_view cell)
{
    if (column < nextColumn || column >= columns)
        return;
    while (nextColumn < column)
        EndCell(0);
    Push(cell);
}

void DecodeTable::Mark(int row)
{
    if (row < 0 || row >= rows)
        return;
    const auto k = static_cast<size_t>(row);
    if (marks.size() <= k)
        marks.resize(k + 1, 0);
    marks[k] = 1;
}

bool DecodeTable::Marked(int row) const
{
    return row >= 0 && static_cast<size_t>(row) < marks.size() &&
           marks[static_cast<size_t>(row)] != 0;
}

void DecodeTable::EndCell(size_t size)
{
    ends.push_back(static_cast<uint32_t>(text.size()));
    int &l = longest[static_cast<size_t>(nextColumn)];
    l = std::max(l, static_cast<int>(size));
    if (++nextColumn == columns) {
        nextColumn = 0;
        ++rows;
    }
}

std::string_view DecodeTable::Cell(int row, int column) const
{
    if (row < 0 || row >= rows || column < 0 || column >= columns)
        return {};
    const size_t k =
        static_cast<size_t>(row) * static_cast<size_t>(columns) + static_cast<size_t>(column);
    const uint32_t begin = k == 0 ? 0 : ends[k - 1];
    return std::string_view(text).substr(begin, ends[k] - begin);
}

int DecodeTable::LongestText(int column) const
{
    if (column < 0 || column >= columns)
        return 0;
    return longest[static_cast<size_t>(column)];
}

void DecodeTable::Clear()
{
    rows = 0;
    nextColumn = 0;
    text.clear();
    ends.clear();
    std::fill(longest.begin(), longest.end(), 0);
    marks.clear();
    Message.clear();
}

void DecodeTable::Reserve(int rowCount, size_t characters)
{
    ends.reserve(static_cast<size_t>(std::max(rowCount, 0)) * static_cast<size_t>(columns));
    text.reserve(characters);
}
