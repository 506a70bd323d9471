#pragma once

#include <ostream>
#include <span>
#include <string>

// "decode i2c|spi|uart|can [options] FILE.pjf": the rows the protocol page
// lists for the project's capture, with the page's options (DecodeOptions),
// as the CSV its Export writes.
class DecodeCommand
{
public:
    static int Run(std::span<const std::string> args, std::ostream &out, std::ostream &err);
};
