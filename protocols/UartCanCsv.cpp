#include "protocols/UartCanCsv.h"

#include "files/AtomicFile.h"
#include "protocols/UartCanTable.h"

namespace {

void Field(std::string &out, const std::string &text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void Record(std::string &out, const UartCanTable &table, size_t row, bool header)
{
    for (size_t c = 0; c < table.ColumnCount(); ++c) {
        if (c)
            out += ',';
        Field(out, header ? table.Headers[c] : table.Cell(row, c));
    }
    out += "\r\n";
}

} // namespace

std::string UartCanCsv::Text(const UartCanTable &table)
{
    std::string out;
    Record(out, table, 0, true);
    for (size_t r = 0; r < table.RowCount(); ++r)
        Record(out, table, r, false);
    return out;
}

bool UartCanCsv::Write(const UartCanTable &table, const std::string &path)
{
    return AtomicFile::Write(path, Text(table));
}
