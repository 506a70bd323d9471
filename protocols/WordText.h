#pragma once

#include <cstdint>
#include <string>

// The text of a decoded word in the pages' text modes, appended to `out`
// without any allocation of its own: mode 0 exactly `bits` binary digits +
// "(b)", mode 1 decimal + "(d)", otherwise ceil(bits / 4) upper-case
// hexadecimal digits + "(h)". `bits` is 1..32.
void AppendWordText(std::string &out, uint32_t value, int bits, int mode);

// The same text written to `out`, which has room for WordTextMax characters;
// returns its length.
constexpr size_t WordTextMax = 40;
size_t WriteWordText(char *out, uint32_t value, int bits, int mode);
