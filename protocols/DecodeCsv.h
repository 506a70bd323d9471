#pragma once

#include "protocols/DecodeTable.h"

#include <string>
#include <string_view>
#include <vector>

// The rows of a decode as CSV text (RFC 4180): one header row, then the
// rows; fields that hold a comma, a double quote, a CR or an LF are quoted,
// with their double quotes doubled; every line ends with CRLF. Texts are
// written as they are (UTF-8). A first column may be added with the same
// text on every row (the line of the SPI page). Marks are not written.
class DecodeCsv
{
public:
    static std::string Field(std::string_view text);
    static std::string Line(const std::vector<std::string> &fields);
    // The table's rows after `prefix` (when not empty) as the first field.
    static void AppendRows(std::string &out, const DecodeTable &table,
                           std::string_view prefix = {});
    // The header row, then the table's rows.
    static std::string Text(const std::vector<std::string> &headers, const DecodeTable &table);
};
