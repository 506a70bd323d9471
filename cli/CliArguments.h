#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The options of one subcommand: "--name value", "--name=value", "-x value"
// for the options that take a value, "--name" for the flags, the rest in
// order as operands ("--" ends the options). "--help" and "-h" are known to
// every subcommand. An option given twice keeps every value in order.
class CliArguments
{
public:
    struct Option
    {
        std::string_view Name;  // without the leading "--"
        char Short = 0;         // "-o" for 'o'; 0 for none
        std::string_view Value; // what the value is called in the help; empty for a flag
        std::string_view Help;
    };

    // False, with Error set, for an option the list lacks or one without its
    // value.
    bool Parse(std::span<const std::string> args, std::span<const Option> options);

    bool Has(std::string_view name) const { return values.count(std::string(name)) != 0; }
    // The last value given; nothing when the option was not given.
    std::optional<std::string> Value(std::string_view name) const;
    std::vector<std::string> Values(std::string_view name) const;
    bool HelpAsked() const { return Has("help"); }

    std::vector<std::string> Operands;
    std::string Error;

    // "Usage: ..." and the text, then one line per option, its help text
    // from HelpColumn on.
    static constexpr size_t HelpColumn = 30;
    static std::string HelpText(std::string_view usage, std::string_view text,
                                std::span<const Option> options);

private:
    std::map<std::string, std::vector<std::string>> values;
};
