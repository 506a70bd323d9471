#pragma once

#include <array>
#include <cstdint>
#include <string>

// The threshold codes of the input ports (eight channels each) as the
// settings record holds them: steps of 0.1 V around a centre code, which
// differs between the compact models (codes 9 and 10) and all others.
class PortLevels
{
public:
    enum Standard : int { TTL = 0, CMOS = 1, ECL = 2 };

    static bool Compact(int model) { return model == 9 || model == 10; }
    static int Centre(int model) { return Compact(model) ? 255 : 127; }
    // The codes the dialog offers: -20 V..+20 V on the compact models,
    // -4 V..+4 V on the others.
    static int MinCode(int model) { return Centre(model) - (Compact(model) ? 200 : 40); }
    static int MaxCode(int model) { return Centre(model) + (Compact(model) ? 200 : 40); }
    // The code of TTL (1.5 V), CMOS (2.5 V) or ECL (-1.3 V).
    static int StandardCode(int model, int level);
    // Which standard level `code` is, or -1.
    static int StandardOf(int model, int code);
    // The threshold in volts with one decimal in its shortest form: "1.5",
    // "-1.3", "0", "2".
    static std::string VoltText(int model, int code);
    // The code of a threshold within the dialog's range.
    static int Clamped(int model, int code);
};
