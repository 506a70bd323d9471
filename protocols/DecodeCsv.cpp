#include "protocols/DecodeCsv.h"

std::string DecodeCsv::Field(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

std::string DecodeCsv::Line(const std::vector<std::string> &fields)
{
    std::string out;
    for (size_t k = 0; k < fields.size(); ++k) {
        if (k > 0)
            out.push_back(',');
        out += Field(fields[k]);
    }
    out += "\r\n";
    return out;
}

void DecodeCsv::AppendRows(std::string &out, const DecodeTable &table, std::string_view prefix)
{
    for (int r = 0; r < table.Rows(); ++r) {
        if (!prefix.empty()) {
            out += Field(prefix);
            out.push_back(',');
        }
        for (int c = 0; c < table.Columns(); ++c) {
            if (c > 0)
                out.push_back(',');
            out += Field(table.Cell(r, c));
        }
        out += "\r\n";
    }
}

std::string DecodeCsv::Text(const std::vector<std::string> &headers, const DecodeTable &table)
{
    std::string out = Line(headers);
    AppendRows(out, table);
    return out;
}
