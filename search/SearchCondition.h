#pragma once

#include <cstdint>

// One condition of the data search. Channel rows (0 .. channel count - 1):
// Code 0 level low, 1 level high, 2 falling edge, 3 rising edge, 4 any edge.
// Bus rows (from the channel count): Code is the bus value searched for and
// Mode the base it was entered in (0 hexadecimal, 1 decimal, 2 binary).
struct SearchCondition
{
    enum ChannelCode : uint16_t { Low = 0, High = 1, Falling = 2, Rising = 3, AnyEdge = 4 };
    enum Base : int32_t { Hexadecimal = 0, Decimal = 1, Binary = 2 };

    uint16_t Code = 0;
    uint32_t Row = 0;
    int32_t Mode = 0;

    friend bool operator==(const SearchCondition &, const SearchCondition &) = default;
};
