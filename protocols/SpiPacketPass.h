#pragma once

#include "display/WTime.h"
#include "protocols/WSPI_Core.h"

#include <cstdint>
#include <vector>

// The SPI decoder's packet pass over one line's events: a packet runs from
// a message's first bit (event 2 or 3) to the first inactive sample (4), its
// bits are cut into words, and each packet gives a row of seven texts; the
// statistics row follows the last packet. Events 9 (nothing), most of them,
// are skipped eight at a time by bit tricks; the bits themselves cost a few
// register operations each, texts are made per word and per packet (the
// repeating message and idle times once per distinct length).
class SpiPacketPass
{
public:
    // Appends to out.Packets and out.Statistics; the line's settings are valid.
    static void Run(const std::vector<uint8_t> &events, const WSPI_Core::Line &line,
                    const WSPI_Core::Settings &settings, const WTime &period,
                    WSPI_Core::LineResult &out);
};
