#include "trigger/PortLevels.h"

#include <algorithm>
#include <cstdlib>

int PortLevels::StandardCode(int model, int level)
{
    static constexpr std::array<int, 3> Tenths{15, 25, -13};
    return Centre(model) + Tenths[static_cast<size_t>(std::clamp(level, 0, 2))];
}

int PortLevels::StandardOf(int model, int code)
{
    for (int level = TTL; level <= ECL; ++level) {
        if (StandardCode(model, level) == code)
            return level;
    }
    return -1;
}

std::string PortLevels::VoltText(int model, int code)
{
    const int tenths = code - Centre(model);
    const int magnitude = std::abs(tenths);
    std::string text = tenths < 0 ? "-" : "";
    text += std::to_string(magnitude / 10);
    if (magnitude % 10 != 0)
        text += "." + std::to_string(magnitude % 10);
    return text;
}

int PortLevels::Clamped(int model, int code)
{
    return std::clamp(code, MinCode(model), MaxCode(model));
}
