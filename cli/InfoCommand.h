#pragma once

#include <ostream>
#include <span>
#include <string>

class CliSession;

// "info FILE.pjf": the project's model, rate, depth, trigger and signal
// settings as "name: value" lines.
class InfoCommand
{
public:
    static int Run(std::span<const std::string> args, std::ostream &out, std::ostream &err);
    static std::string Text(const CliSession &session);
};
