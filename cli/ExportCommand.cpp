#include "cli/ExportCommand.h"

#include "cli/CliArguments.h"
#include "cli/CliSession.h"
#include "cli/CliStatus.h"
#include "cli/CliValues.h"
#include "files/AtomicFile.h"
#include "files/SampleCsv.h"
#include "files/VcdWriter.h"

#include <array>

namespace {

constexpr std::array<CliArguments::Option, 4> Options{{
    {"output", 'o', "FILE", "the file to write: .vcd or .csv (required)"},
    {"format", 0, "FORMAT", "vcd or csv (default: from the file's extension)"},
    {"all-channels", 0, {}, "every channel of the model instead of the signal list"},
    {"changes", 0, {}, "CSV: only the rows where a signal changes (and the first and last)"},
}};

std::string Extension(const std::string &path)
{
    const size_t dot = path.rfind('.');
    const size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return path.substr(dot + 1);
}

} // namespace

int ExportCommand::Run(std::span<const std::string> args, std::ostream &out, std::ostream &err)
{
    CliArguments a;
    if (!a.Parse(args, Options))
        return CliStatus::Fail(err, CliStatus::Usage, a.Error + " (see export --help)");
    if (a.HelpAsked()) {
        out << CliArguments::HelpText(
            "tracemoor-cli export FILE.pjf|FILE.vcd -o OUT.vcd|OUT.csv [options]",
            "Writes the record's samples (the window the protocol pages decode) with the\n"
            "signals of the signal list, or every channel when the list is empty:\n"
            "  .vcd  a Value Change Dump: a wire per channel, a vector per bus, the\n"
            "        timescale of the sample period, only the changes; time 0 is the\n"
            "        record's first sample;\n"
            "  .csv  a row per sample: index, time from the trigger in seconds, values.",
            Options);
        return CliStatus::Ok;
    }
    if (a.Operands.size() != 1)
        return CliStatus::Fail(err, CliStatus::Usage, "export takes one FILE.pjf or FILE.vcd");
    const auto output = a.Value("output");
    if (!output || output->empty())
        return CliStatus::Fail(err, CliStatus::Usage, "export needs -o OUT.vcd or -o OUT.csv");
    const auto format =
        CliValues::Choice(a.Value("format").value_or(Extension(*output)), {"vcd", "csv"});
    if (!format)
        return CliStatus::Fail(err, CliStatus::Usage,
                               "export writes .vcd or .csv: name the file so or give --format");

    CliSession session;
    const std::string error = session.Load(a.Operands[0]);
    if (!error.empty())
        return CliStatus::Fail(err, CliStatus::FileOrDevice, a.Operands[0] + ": " + error);
    session.TellNotes(err, a.Operands[0]);
    const SampleTrace trace =
        SampleTrace::OfRecord(session.Record, session.System, session.Settings, session.PeriodPs(),
                              a.Has("all-channels"));
    std::string text;
    if (*format == 0) {
        const std::string comment =
            "model " + std::to_string(session.System.ModelCode) + ", " +
            std::to_string(trace.Words.size()) + " samples, trigger at #" +
            std::to_string(trace.TriggerIndex * VcdWriter::ScaleOf(trace.PeriodPs).TicksPerSample);
        text = VcdWriter::Text(trace, comment);
    } else {
        text = SampleCsv::Text(trace, a.Has("changes"));
    }
    if (!AtomicFile::Write(*output, std::string_view(text)))
        return CliStatus::Fail(err, CliStatus::FileOrDevice, "cannot write " + *output);
    return CliStatus::Ok;
}
