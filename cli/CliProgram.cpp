#include "cli/CliProgram.h"

#include "cli/CaptureCommand.h"
#include "cli/CliStatus.h"
#include "cli/DecodeCommand.h"
#include "cli/DevicesCommand.h"
#include "cli/ExportCommand.h"
#include "cli/InfoCommand.h"

#include <array>

#ifndef TRACEMOOR_VERSION
#define TRACEMOOR_VERSION "2.06"
#endif

namespace {

struct Command
{
    std::string_view Name;
    int (*Run)(std::span<const std::string>, std::ostream &, std::ostream &);
    std::string_view Summary;
};

constexpr std::array<Command, 5> Commands{{
    {"devices", &DevicesCommand::Run, "list the analyzers found"},
    {"capture", &CaptureCommand::Run, "make one capture and write it as a project file"},
    {"info", &InfoCommand::Run, "print the settings of a project file"},
    {"decode", &DecodeCommand::Run, "decode I2C, SPI, UART or CAN traffic as CSV"},
    {"export", &ExportCommand::Run, "write a project's samples as VCD or CSV"},
}};

} // namespace

std::string CliProgram::HelpText()
{
    std::string text = "Usage: tracemoor-cli COMMAND [options] [FILE]\n\n"
                       "Captures, decodes and exports with the USB logic analyzers of Tracemoor,\n"
                       "without a window.\n\nCommands:\n";
    for (const Command &c : Commands) {
        std::string name = "  " + std::string(c.Name);
        name.resize(12, ' ');
        text += name + std::string(c.Summary) + "\n";
    }
    text += "\n`tracemoor-cli COMMAND --help` tells the options of each. Exit codes: 0 done,\n"
            "1 bad arguments, 2 a file or analyzer failure, 3 no trigger or an empty result.\n"
            "TRACEMOOR_DEVICE selects emulated analyzers, as for tracemoor(1).\n";
    return text;
}

int CliProgram::Run(std::span<const std::string> args, std::ostream &out, std::ostream &err)
{
    if (args.empty())
        return CliStatus::Fail(err, CliStatus::Usage,
                               "a command is needed: devices, capture, info, decode or export "
                               "(see --help)");
    const std::string &first = args[0];
    if (first == "--help" || first == "-h" || first == "help") {
        out << HelpText();
        return CliStatus::Ok;
    }
    if (first == "--version") {
        out << "tracemoor-cli " TRACEMOOR_VERSION "\n";
        return CliStatus::Ok;
    }
    for (const Command &c : Commands)
        if (first == c.Name)
            return c.Run(args.subspan(1), out, err);
    return CliStatus::Fail(err, CliStatus::Usage,
                           "unknown command " + first +
                               ": devices, capture, info, decode or export (see --help)");
}
