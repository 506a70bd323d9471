#include "protocols/UartCanTable.h"

#include <utility>

UartCanTable::UartCanTable(std::vector<std::string> headers)
    : Headers(std::move(headers))
{}

size_t UartCanTable::AddRow()
{
    cells.resize(cells.size() + Headers.size());
    marks.push_back(0);
    return marks.size() - 1;
}

void UartCanTable::SetCell(size_t row, size_t column, std::string text)
{
    if (row < marks.size() && column < Headers.size())
        cells[row * Headers.size() + column] = std::move(text);
}

void UartCanTable::Clear()
{
    cells.clear();
    marks.clear();
    Message.clear();
}
