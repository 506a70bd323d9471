#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

// How a driver writes the small replies of its query requests (a 32-bit
// value, a zero-terminated text) into the caller's output buffer.
class DriverReply
{
public:
    static bool PutWord(std::span<uint8_t> out, uint32_t value, uint32_t &returned)
    {
        if (out.size() < 4)
            return false;
        for (size_t i = 0; i < 4; ++i)
            out[i] = static_cast<uint8_t>(value >> (8 * i));
        returned = 4;
        return true;
    }

    static bool PutText(std::span<uint8_t> out, const std::string &text, uint32_t &returned)
    {
        if (out.size() <= text.size())
            return false;
        std::copy(text.begin(), text.end(), out.begin());
        out[text.size()] = 0;
        returned = static_cast<uint32_t>(text.size() + 1);
        return true;
    }
};
