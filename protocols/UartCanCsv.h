#pragma once

#include <string>

class UartCanTable;

// The rows of a UART or CAN decode as CSV (RFC 4180): one header row, then
// one record per row, fields separated by commas, lines ended by CR LF. A
// field holding a comma, a double quote, CR or LF is enclosed in double
// quotes, its double quotes doubled. Allocates the one text it returns.
class UartCanCsv
{
public:
    static std::string Text(const UartCanTable &table);
    // Writes the text to `path` through AtomicFile; false when it failed.
    static bool Write(const UartCanTable &table, const std::string &path);
};
