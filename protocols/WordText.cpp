#include "protocols/WordText.h"

#include <algorithm>
#include <charconv>

void AppendWordText(std::string &out, uint32_t value, int bits, int mode)
{
    bits = std::clamp(bits, 1, 32);
    char buf[40];
    size_t n = 0;
    switch (mode) {
    case 0:
        for (int k = bits - 1; k >= 0; --k)
            buf[n++] = static_cast<char>('0' + ((value >> k) & 1));
        out.append(buf, n);
        out += "(b)";
        return;
    case 1:
        n = static_cast<size_t>(std::to_chars(buf, buf + sizeof buf, value).ptr - buf);
        out.append(buf, n);
        out += "(d)";
        return;
    default:
        for (int k = (bits + 3) / 4 - 1; k >= 0; --k)
            buf[n++] = "0123456789ABCDEF"[(value >> (4 * k)) & 0xF];
        out.append(buf, n);
        out += "(h)";
        return;
    }
}
