#include "cli/CliArguments.h"

namespace {

const CliArguments::Option HelpOption{"help", 'h', {}, "print this help and exit"};

} // namespace

bool CliArguments::Parse(std::span<const std::string> args, std::span<const Option> options)
{
    auto find = [&](std::string_view name, char letter) -> const Option * {
        if ((!name.empty() && name == HelpOption.Name) || (letter != 0 && letter == 'h'))
            return &HelpOption;
        for (const Option &o : options)
            if ((!name.empty() && o.Name == name) || (letter != 0 && o.Short == letter))
                return &o;
        return nullptr;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (a == "--") {
            Operands.insert(Operands.end(), args.begin() + static_cast<long>(i) + 1, args.end());
            break;
        }
        if (a.size() < 2 || a[0] != '-' || a == "-") {
            Operands.push_back(a);
            continue;
        }
        const Option *o = nullptr;
        std::optional<std::string> inlineValue;
        if (a[1] == '-') {
            const size_t eq = a.find('=');
            const std::string name = a.substr(2, eq == std::string::npos ? eq : eq - 2);
            if (eq != std::string::npos)
                inlineValue = a.substr(eq + 1);
            o = find(name, 0);
        } else if (a.size() == 2) {
            o = find({}, a[1]);
        } else {
            o = find({}, a[1]);
            if (o != nullptr)
                inlineValue = a.substr(2); // "-ofile"
        }
        if (o == nullptr) {
            Error = "unknown option " + a;
            return false;
        }
        std::vector<std::string> &slot = values[std::string(o->Name)];
        if (o->Value.empty()) {
            if (inlineValue) {
                Error = "option --" + std::string(o->Name) + " takes no value";
                return false;
            }
            slot.emplace_back();
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                Error = "option --" + std::string(o->Name) + " needs a value (" +
                        std::string(o->Value) + ")";
                return false;
            }
            inlineValue = args[++i];
        }
        slot.push_back(*inlineValue);
    }
    return true;
}

std::optional<std::string> CliArguments::Value(std::string_view name) const
{
    const auto it = values.find(std::string(name));
    if (it == values.end() || it->second.empty())
        return std::nullopt;
    return it->second.back();
}

std::vector<std::string> CliArguments::Values(std::string_view name) const
{
    const auto it = values.find(std::string(name));
    return it == values.end() ? std::vector<std::string>{} : it->second;
}

std::string CliArguments::HelpText(std::string_view usage, std::string_view text,
                                   std::span<const Option> options)
{
    std::string out = "Usage: " + std::string(usage) + "\n\n" + std::string(text) + "\n";
    if (options.empty())
        return out;
    out += "\nOptions:\n";
    auto line = [&out](const Option &o) {
        std::string head = "  ";
        head += o.Short ? std::string("-") + o.Short + ", " : std::string("    ");
        head += "--" + std::string(o.Name);
        if (!o.Value.empty())
            head += " " + std::string(o.Value);
        if (head.size() < HelpColumn)
            head.resize(HelpColumn, ' ');
        else
            head += "\n" + std::string(HelpColumn, ' ');
        out += head + std::string(o.Help) + "\n";
    };
    for (const Option &o : options)
        line(o);
    line(HelpOption);
    return out;
}
