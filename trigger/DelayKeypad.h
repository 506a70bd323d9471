#pragma once

#include "display/WTime.h"

#include <optional>
#include <string>
#include <string_view>

// The delay keypad's text and unit: how a delay is shown for editing and how
// the edited text is read back. Units are the keypad's list: 0 nS, 1 uS,
// 2 mS, 3 Sec. Pure functions, no allocation beyond the shown text.
class DelayKeypad
{
public:
    enum Unit : int { Ns = 0, Us = 1, Ms = 2, Sec = 3 };

    struct Shown
    {
        std::string Text;
        int UnitIndex = Ns;
    };

    // The highest non-zero group from seconds down to nanoseconds with the
    // group below it as three digits ("1.005" in mS for 1 ms 5 us); "0" in nS
    // when all are zero.
    static Shown Show(const WTime &delay);

    // The delay for `text` in `unit`, normalised; nothing when the text is not
    // a decimal number (two points, a lone minus sign, letters, nothing).
    static std::optional<WTime> Parse(std::string_view text, int unit);
};
