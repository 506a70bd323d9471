#pragma once

#include <ostream>
#include <span>
#include <string>

class CliArguments;
class CliSession;

// "decode i2c|spi|uart|can [options] FILE.pjf": the rows the protocol page
// lists for the project's capture, with the page's options, as the CSV its
// Export writes.
class DecodeCommand
{
public:
    static int Run(std::span<const std::string> args, std::ostream &out, std::ostream &err);

    struct Outcome
    {
        std::string Csv;
        int Rows = 0;
        std::string Error; // options that do not fit this capture
    };
    static Outcome I2c(const CliArguments &a, const CliSession &session);
    static Outcome Spi(const CliArguments &a, const CliSession &session);
    static Outcome Uart(const CliArguments &a, const CliSession &session);
    static Outcome Can(const CliArguments &a, const CliSession &session);
};
