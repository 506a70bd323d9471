#include "protocols/WordText.h"

#include <algorithm>
#include <charconv>

size_t WriteWordText(char *out, uint32_t value, int bits, int mode)
{
    bits = std::clamp(bits, 1, 32);
    size_t n = 0;
    auto suffix = [&](char kind) {
        out[n++] = '(';
        out[n++] = kind;
        out[n++] = ')';
        return n;
    };
    switch (mode) {
    case 0:
        for (int k = bits - 1; k >= 0; --k)
            out[n++] = static_cast<char>('0' + ((value >> k) & 1));
        return suffix('b');
    case 1:
        n = static_cast<size_t>(std::to_chars(out, out + WordTextMax, value).ptr - out);
        return suffix('d');
    default:
        for (int k = (bits + 3) / 4 - 1; k >= 0; --k)
            out[n++] = "0123456789ABCDEF"[(value >> (4 * k)) & 0xF];
        return suffix('h');
    }
}

void AppendWordText(std::string &out, uint32_t value, int bits, int mode)
{
    char buf[WordTextMax];
    out.append(buf, WriteWordText(buf, value, bits, mode));
}
