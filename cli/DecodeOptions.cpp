#include "cli/DecodeOptions.h"

#include "cli/CliValues.h"

namespace DecodeOptions {

namespace {

std::string RangeText(const Field &f)
{
    return std::to_string(f.Low) + " .. " + std::to_string(f.High);
}

// "a, b, c": the names of a list.
std::string Listed(std::span<const std::string_view> names)
{
    std::string list;
    for (std::string_view n : names)
        list += (list.empty() ? "" : ", ") + std::string(n);
    return list;
}

} // namespace

std::string HelpLine(const Field &f)
{
    std::string line(f.Help);
    static constexpr std::string_view Range = "{range}";
    if (const size_t at = line.find(Range); at != std::string::npos)
        line.replace(at, Range.size(), RangeText(f));
    if (f.Kind == Flag)
        return line;
    if (!line.empty() && line.back() == '\n')
        line += std::string(CliArguments::HelpColumn, ' ');
    else
        line += ' ';
    line += "(";
    line += f.Kind == Choice ? std::string(f.Choices[static_cast<size_t>(f.Default)])
                             : std::to_string(f.Default);
    if (!f.Note.empty())
        line += "; " + std::string(f.Note);
    return line + ")";
}

std::string_view ValueName(const Field &f)
{
    switch (f.Kind) {
    case Channel:
        return "CH";
    case Number:
        return "N";
    case Rate:
    case Choice:
    case Flag:
        break;
    }
    return f.Value;
}

std::optional<int> Read(const Field &f, std::string_view text, std::span<const std::string> signals,
                        std::string &why)
{
    switch (f.Kind) {
    case Channel:
        if (const auto c = CliValues::Channel(text, signals))
            return *c;
        why = "no channel of this capture: a number 0 .. " +
              std::to_string(static_cast<int>(signals.size()) - 1) +
              ", CHn or a name of its signals: ";
        for (size_t k = 0; k < signals.size(); ++k)
            why += (k ? ", " : "") + signals[k] + " (CH" + std::to_string(k) + ")";
        return std::nullopt;
    case Number:
        if (const auto n = CliValues::Integer(text, f.Low, f.High))
            return static_cast<int>(*n);
        why = RangeText(f);
        return std::nullopt;
    case Rate: {
        std::string digits(text);
        digits.erase(std::remove(digits.begin(), digits.end(), ','), digits.end());
        if (const auto n = CliValues::Integer(digits, f.Low, f.High))
            return static_cast<int>(*n);
        why = "a whole number from " + std::to_string(f.Low) + " to " + std::to_string(f.High);
        return std::nullopt;
    }
    case Choice:
        if (const auto i = CliValues::Choice(text, f.Choices))
            return *i;
        why = "one of " + Listed(f.Choices);
        return std::nullopt;
    case Flag:
        break;
    }
    return 1;
}

} // namespace DecodeOptions
