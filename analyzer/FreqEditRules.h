#pragma once

#include <string>
#include <string_view>

// The rules of the external-clock frequency box: which keys it takes and how
// its text is corrected after every edit. The accepted range is 1..100 MHz,
// 1..999 KHz and 2..999 Hz (1 Hz becomes 25 Hz).
class FreqEditRules
{
public:
    enum Unit { MHz = 0, KHz = 1, Hz = 2 };

    static constexpr char Backspace = '\b';
    static constexpr char Enter = '\r';

    // Only the digits, backspace and Enter are typed into the box.
    static bool AcceptsKey(char c);

    // The text the box shows after an edit to `text` with `unit` selected.
    // Each correction is itself an edit, so the rules run until the text
    // stays as it is.
    static std::string Corrected(std::string_view text, int unit);

private:
    static std::string Step(std::string_view text, int unit);
};
