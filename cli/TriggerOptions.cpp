#include "cli/TriggerOptions.h"

#include "cli/CliArguments.h"
#include "cli/CliValues.h"
#include "device/CFile.h"
#include "device/WSystem.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::string_view Letters = "LHFR?X"; // by condition code 0..5

std::optional<uint8_t> Condition(char letter)
{
    const size_t at =
        Letters.find(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
    if (at == std::string_view::npos || letter == '?')
        return std::nullopt;
    return static_cast<uint8_t>(at);
}

bool CompactModel(const CFile &file)
{
    return file.ModelCode == 9 || file.ModelCode == 10;
}

} // namespace

namespace TriggerOptions {

std::string ParsePattern(std::string_view text, int channels, std::array<uint8_t, 32> &row)
{
    row.fill(CFile::CondX);
    if (text.find('=') == std::string_view::npos) {
        if (static_cast<int>(text.size()) != channels)
            return "give " + std::to_string(channels) +
                   " letters (the highest channel first) or CHn=L|H|F|R|X items";
        for (int c = 0; c < channels; ++c) {
            const auto code = Condition(text[static_cast<size_t>(channels - 1 - c)]);
            if (!code)
                return std::string("the letter ") + text[static_cast<size_t>(channels - 1 - c)] +
                       " is none of L, H, F, R, X";
            row[static_cast<size_t>(c)] = *code;
        }
        return {};
    }
    while (!text.empty()) {
        const size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        const size_t eq = item.find('=');
        const auto channel = eq == std::string_view::npos
                                 ? std::nullopt
                                 : CliValues::Channel(item.substr(0, eq), channels);
        if (!channel)
            return std::string(item) + ": not CHn=L|H|F|R|X with a channel below " +
                   std::to_string(channels);
        const std::string_view letter = item.substr(eq + 1);
        const auto code = letter.size() == 1 ? Condition(letter[0]) : std::nullopt;
        if (!code)
            return std::string(item) + ": the condition is none of L, H, F, R, X";
        row[static_cast<size_t>(*channel)] = *code;
    }
    return {};
}

std::string PatternText(const std::array<uint8_t, 32> &row, int channels)
{
    std::string text;
    for (int c = channels - 1; c >= 0; --c) {
        const uint8_t code = row[static_cast<size_t>(c)];
        text += code < Letters.size() && code != 4 ? Letters[code] : '?';
    }
    return text;
}

std::string ApplyThreshold(std::string_view text, CFile &file)
{
    int first = 0, last = 3;
    const size_t eq = text.find('=');
    if (eq != std::string_view::npos) {
        const auto port = CliValues::Integer(text.substr(0, eq), 1, 4);
        if (!port)
            return "the port is 1 .. 4";
        first = last = static_cast<int>(*port) - 1;
        text = text.substr(eq + 1);
    }
    const auto tenths = CliValues::Tenths(text);
    const int centre = CompactModel(file) ? 255 : 127;
    const int limit = CompactModel(file) ? 200 : 40;
    if (!tenths || *tenths < -limit || *tenths > limit)
        return "volts from " + std::to_string(-limit / 10) + " to " + std::to_string(limit / 10) +
               " in steps of 0.1";
    for (int p = first; p <= last; ++p)
        file.PortLevel[static_cast<size_t>(p)] = static_cast<uint16_t>(centre + *tenths);
    return {};
}

std::string Volts(const CFile &file, uint16_t code)
{
    const int tenths = static_cast<int>(code) - (CompactModel(file) ? 255 : 127);
    const int magnitude = tenths < 0 ? -tenths : tenths;
    std::string text = (tenths < 0 ? "-" : "") + std::to_string(magnitude / 10);
    if (magnitude % 10 != 0)
        text += "." + std::to_string(magnitude % 10);
    return text;
}

std::string ApplyTrigger(const CliArguments &a, const WSystem &sys, CFile &file)
{
    const int channels = sys.ChannelCount;
    static constexpr std::array<std::string_view, 4> Rows{"pattern1", "pattern2", "pattern3",
                                                          "or-pattern"};
    int highest = 1;
    bool orPattern = false;
    for (size_t r = 0; r < Rows.size(); ++r) {
        const auto text = a.Value(Rows[r]);
        if (!text)
            continue;
        const std::string error = ParsePattern(*text, channels, file.TriggerCondition[r]);
        if (!error.empty())
            return "--" + std::string(Rows[r]) + ": " + error;
        if (r == 3)
            orPattern = true;
        else
            highest = std::max(highest, static_cast<int>(r) + 1);
    }
    if (orPattern && highest > 1 && !a.Has("trigger-type"))
        return "--or-pattern goes with pattern 1 alone: give --trigger-type to choose";
    int type = orPattern ? 4 : highest;
    if (const auto text = a.Value("pulse")) {
        std::array<std::string, 4> parts;
        size_t n = 0;
        for (char ch : *text) {
            if (ch == ',' && n < 3)
                ++n;
            else
                parts[n] += ch;
        }
        const auto channel = CliValues::Channel(parts[0], channels);
        const auto level = CliValues::Choice(parts[1], {"high", "low"});
        const auto compare = CliValues::Choice(parts[2], {"<", "=", ">"});
        const auto width = CliValues::Time(parts[3]);
        if (n != 3 || !channel || !level || !compare || !width || width->IsNegative())
            return "--pulse " + *text + ": CHANNEL,high|low,<|=|>,WIDTH such as 4,high,>,1.5ms";
        const WTime w = Normalise(*width);
        int unit = 4; // the highest non-zero group: 4 s .. 1 ns
        while (unit > 1 && w.g[static_cast<size_t>(unit)] == 0)
            --unit;
        if (w.g[4] > 999 ||
            std::any_of(w.g.begin(), w.g.begin() + unit - 1, [](uint32_t g) { return g != 0; }))
            return "--pulse " + *text +
                   ": the width takes at most three decimal places of its unit";
        file.PulseChannel = static_cast<uint8_t>(*channel);
        file.PulsePolarity = static_cast<uint8_t>(*level);
        file.PulseCompare = static_cast<uint8_t>(*compare);
        file.PulseUnit = static_cast<uint8_t>(unit);
        file.PulseWhole = static_cast<uint16_t>(w.g[static_cast<size_t>(unit)]);
        file.PulseFraction = static_cast<uint16_t>(w.g[static_cast<size_t>(unit - 1)]);
        type = 5;
    }
    if (const auto v = a.Value("trigger-type")) {
        const auto t = CliValues::Integer(*v, 1, 5);
        if (!t)
            return "--trigger-type " + *v + ": 1 .. 5";
        type = static_cast<int>(*t);
    }
    file.TriggerType = static_cast<uint8_t>(type);
    return {};
}

std::string PulseWidthText(const CFile &file)
{
    static constexpr std::array<const char *, 5> Units{"", "ns", "us", "ms", "s"};
    const int unit = std::clamp<int>(file.PulseUnit, 1, 4);
    std::string text = std::to_string(file.PulseWhole);
    if (file.PulseFraction != 0) {
        std::string f = std::to_string(1000 + file.PulseFraction % 1000).substr(1);
        while (f.back() == '0')
            f.pop_back();
        text += "." + f;
    }
    return text + Units[static_cast<size_t>(unit)];
}

std::string DepthList(const WSystem &sys)
{
    std::string text;
    for (uint32_t d = 0; d < sys.DepthCount; ++d) {
        std::string_view t = sys.DepthTexts[d];
        while (!t.empty() && t.front() == ' ')
            t.remove_prefix(1);
        while (!t.empty() && t.back() == ' ')
            t.remove_suffix(1);
        text += (d ? ", " : "") + std::string(t);
    }
    return text;
}

} // namespace TriggerOptions
