#pragma once

#include <ostream>
#include <span>
#include <string>

// "export FILE.pjf -o OUT.vcd|OUT.csv": the record's samples as a Value
// Change Dump or as CSV.
class ExportCommand
{
public:
    static int Run(std::span<const std::string> args, std::ostream &out, std::ostream &err);
};
