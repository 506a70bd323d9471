#pragma once

// The rules of a bus value entry, shared by the search dialog and the
// condition editor: how long the text may be in each base, which keys it
// takes, the bus maximum as text, reading a value against the bus width,
// converting the text when the base changes, and the text of a saved
// condition in the condition grid. Pure functions, no state.

#include "search/SearchCondition.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct SignalEntry;

class SearchValueRules
{
public:
    static constexpr int MaxBusWidth = 16;

    // The width of a bus as its definition gives it (at most 16 members).
    static int BusWidth(const SignalEntry &bus);
    // 2^width - 1.
    static uint32_t BusMaximum(int width);

    // Characters the value box takes in a base: enough for the widest bus
    // (4 hexadecimal digits, 5 decimal, 16 binary).
    static int MaxLength(int base);
    // Digits of the base; the box's key filter (backspace is always taken).
    static bool Accepts(char key, int base);
    // The bus maximum in a base: "F(h)", "15", "1111(b)".
    static std::string MaximumText(int width, int base);

    enum class Verdict { Ok, Empty, FormatError, OutOfLimit };
    struct Reading
    {
        Verdict What = Verdict::Empty;
        uint16_t Value = 0;
    };
    // Reads the text in a base and checks it against 0 .. 2^width - 1.
    static Reading Read(std::string_view text, int base, int width);

    // The text read in one base, written in another (binary texts of the bus
    // width); nothing when the text is no number of the first base.
    static std::optional<std::string> Convert(std::string_view text, int from, int to, int width);

    // Column 2 of the condition grid for a saved bus condition: "1F(h)",
    // "31" or "11111(b)".
    static std::string BusCellText(uint16_t value, int base, int width);
    // The text of a value just entered: the edit text, with " (h)" or " (b)".
    static std::string EnteredText(std::string_view text, int base);

private:
    static std::optional<uint32_t> Parse(std::string_view text, int base);
};
