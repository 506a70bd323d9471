#pragma once

#include <string>
#include <string_view>

// The trigger counter edit's rules: how many times the trigger condition must
// occur, 1..255, typed as decimal digits.
class TriggerCounterText
{
public:
    enum class Message { None, Maximum, Minimum };

    struct Correction
    {
        std::string Text;
        Message Said = Message::None;
    };

    // What the edit holds after a change to `text`: 256 or more becomes "255"
    // (with the maximum message), 0 or less "1" (minimum message), an empty
    // text "1" without a message; anything else stays.
    static Correction Corrected(std::string_view text);

    // The counter for the settings record; nothing when the text is not a
    // number of 1..255.
    static bool Value(std::string_view text, int &value);
};
