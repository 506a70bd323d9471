#include "display/WRowTexts.h"

#include <algorithm>

namespace {

constexpr uint8_t EdgeShape = 9;
constexpr uint8_t NoDataShape = 255;

std::string Hex(uint32_t value, int digits)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string s;
    do {
        s.push_back(Digits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    while (static_cast<int>(s.size()) < digits)
        s.push_back('0');
    std::reverse(s.begin(), s.end());
    return s;
}

} // namespace

int WRowTexts::TextChars(int width, int base)
{
    width = std::max(width, 0);
    switch (base) {
    case 1:
        if (width <= 3)
            return 1;
        if (width <= 6)
            return 2;
        if (width <= 9)
            return 3;
        if (width <= 13)
            return 4;
        return 5;
    case 2:
        return width;
    default:
        return std::max(width - 1, 0) / 4 + 3;
    }
}

int WRowTexts::MinimumRun(int width, int base)
{
    const int f = TextChars(width, base);
    return base == 0 ? 8 * f + 2 : 8 * f + 10;
}

std::string WRowTexts::ValueText(uint32_t value, int width, int base, bool labelled)
{
    switch (base) {
    case 1:
        return std::to_string(value);
    case 2: {
        std::string bits(32, '0');
        for (int i = 0; i < 32; ++i)
            if ((value >> i) & 1u)
                bits[static_cast<size_t>(31 - i)] = '1';
        const auto keep = static_cast<size_t>(std::clamp(width, 0, 32));
        return bits.substr(32 - keep);
    }
    default:
        if (labelled)
            return "0x" + Hex(value, TextChars(width, base) - 2);
        return Hex(value, 2);
    }
}

void WRowTexts::LevelTexts(std::span<const uint8_t, Columns> levels,
                           std::span<const uint8_t, Columns> shapes, int firstColumn,
                           std::vector<Spot> &out)
{
    out.clear();
    if (firstColumn < 0 || firstColumn >= Columns)
        return;
    int runX = firstColumn - 20;
    int length = 1;
    uint8_t level = levels[static_cast<size_t>(firstColumn)];
    auto write = [&] {
        if (level <= 1)
            out.push_back(Spot{runX + length / 2, level ? "1" : "0"});
    };
    for (int col = firstColumn + 1; col < Columns; ++col) {
        const auto i = static_cast<size_t>(col);
        if (shapes[i] == NoDataShape) {
            if (length >= 9)
                write();
            return;
        }
        if (levels[i] == level && shapes[i] != EdgeShape) {
            ++length;
            continue;
        }
        if (length > 12)
            write();
        runX = col - 23;
        length = 1;
        level = levels[i];
    }
    write();
}

void WRowTexts::BusTexts(std::span<const int32_t, Columns> values,
                         std::span<const uint8_t, Columns> shapes, int firstColumn, int width,
                         int base, std::vector<Spot> &out)
{
    out.clear();
    if (firstColumn < 0 || firstColumn >= Columns - 1)
        return;
    const int f = TextChars(width, base);
    const int m = MinimumRun(width, base);
    int runX = firstColumn - 20;
    int length = 0;
    int32_t value = 0;
    auto write = [&](bool labelled) {
        std::string text = ValueText(static_cast<uint32_t>(value), width, base, labelled);
        if (!text.empty())
            out.push_back(Spot{runX + length / 2 - 4 * f, std::move(text)});
    };
    for (int col = firstColumn; col < Columns - 1; ++col) {
        const auto i = static_cast<size_t>(col);
        if (shapes[i] == NoDataShape) {
            if (length >= 9)
                write(false);
            return;
        }
        if (length > 0 && values[i] == value) {
            ++length;
            continue;
        }
        if (length > m)
            write(true);
        if (length > 0)
            runX = col - 21;
        length = 1;
        value = values[i];
    }
    if (length > m)
        write(false);
}
