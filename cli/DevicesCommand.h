#pragma once

#include <ostream>
#include <span>
#include <string>

// "devices": every device the driver lists, one line each; for an analyzer
// the model its identity names and the identity texts.
class DevicesCommand
{
public:
    static int Run(std::span<const std::string> args, std::ostream &out, std::ostream &err);
};
