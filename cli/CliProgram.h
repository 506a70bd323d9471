#pragma once

#include <ostream>
#include <span>
#include <string>

// tracemoor-cli: the subcommands devices, capture, info, decode and export
// over the core, without a window.
class CliProgram
{
public:
    static int Run(std::span<const std::string> args, std::ostream &out, std::ostream &err);
    static std::string HelpText();
};
