#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// The [Model] Host value of System.ini: a hexadecimal bit mask (no prefix)
// whose bit n offers model code n in the model selection. Bits above the last
// model code are ignored.
class HostMask
{
public:
    static constexpr int LastModelCode = 10;

    // Hexadecimal digits, optionally with a 0x prefix and surrounding blanks;
    // nothing when the text is no hexadecimal number.
    static std::optional<uint64_t> Parse(std::string_view text);
    // The model codes the mask offers, in code order.
    static std::vector<uint8_t> Models(uint64_t mask);
    // What the model selection offers: the mask's models plus the model of
    // the analyzer that is connected (`connected`, when it names a model of
    // 1..10), in code order. A mask that is no number offers the connected
    // model alone.
    static std::vector<uint8_t> Offered(std::optional<uint64_t> mask, int connected);
};
