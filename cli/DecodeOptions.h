#pragma once

#include "cli/CliArguments.h"

#include <array>

// The options of "decode", per protocol: the controls of its page.
namespace DecodeOptions {

inline constexpr CliArguments::Option Output{"output", 'o', "FILE",
                                             "write the CSV here (default: standard output)"};

inline constexpr std::array<CliArguments::Option, 9> I2c{{
    Output,
    {"scl", 0, "CH", "SCL channel (0)"},
    {"sda", 0, "CH", "SDA channel (1)"},
    {"text", 0, "MODE", "bin, dec or hex (hex)"},
    {"address-bits", 0, "N", "address bits (7)"},
    {"data-bits", 0, "N", "data bits (8)"},
    {"read-level", 0, "LEVEL", "level of the read bit: low or high (high)"},
    {"ack-level", 0, "LEVEL", "level of an ACK bit: low or high (low)"},
    {"addresses", 0, {}, "the table per address instead of the packets"},
}};

inline constexpr std::array<CliArguments::Option, 15> Spi{{
    Output,
    {"sck", 0, "CH", "SCK channel (0)"},
    {"ss", 0, "CH", "SS channel (1)"},
    {"bit-order", 0, "ORDER", "msb (MSB -> LSB) or lsb (LSB -> MSB) (msb)"},
    {"ss-level", 0, "LEVEL", "active SS level: low or high (low)"},
    {"mosi", 0, "CH", "MOSI channel (2)"},
    {"mosi-mode", 0, "MODE", "0..3 (CPOL, CPHA), raising or falling (0)"},
    {"mosi-bits", 0, "N", "bits per MOSI word: 1 .. 28 (8)"},
    {"no-mosi", 0, {}, "leave MOSI out"},
    {"miso", 0, "CH", "MISO channel (3)"},
    {"miso-mode", 0, "MODE", "as --mosi-mode (0)"},
    {"miso-bits", 0, "N", "bits per MISO word: 1 .. 28 (8)"},
    {"no-miso", 0, {}, "leave MISO out"},
    {"text", 0, "MODE", "bin, dec or hex (hex)"},
    {"statistics", 0, {}, "the statistics row of each line instead of the packets"},
}};

inline constexpr std::array<CliArguments::Option, 9> Uart{{
    Output,
    {"channel", 0, "CH", "the line's channel (0)"},
    {"baud", 0, "RATE",
     "any whole number 50 .. 10000000, such as 9600, 115200 or 921600\n"
     "                              (9600)"},
    {"data-bits", 0, "N", "5 .. 8 (8)"},
    {"parity", 0, "PARITY", "none, odd or even (none; 8 data bits leave no room for one)"},
    {"stop-bits", 0, "N", "1 or 2 (1)"},
    {"bit-order", 0, "ORDER", "lsb (LSB -> MSB) or msb (MSB -> LSB) (lsb)"},
    {"source", 0, "SOURCE", "ic (From IC) or rs232 (From RS-232, inverted line) (ic)"},
    {"text", 0, "MODE", "ascii, both or hex (ascii)"},
}};

inline constexpr std::array<CliArguments::Option, 4> Can{{
    Output,
    {"channel", 0, "CH", "the bus channel, dominant low (0)"},
    {"rate", 0, "BITS", "bit rate: any whole number 1000 .. 1000000 (125000)"},
    {"extended", 0, "MODE", "display or hide the extended identifier (display)"},
}};

} // namespace DecodeOptions
