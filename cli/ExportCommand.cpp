#include "cli/ExportCommand.h"

#include "cli/CliArguments.h"
#include "cli/CliSession.h"
#include "cli/CliStatus.h"
#include "cli/CliValues.h"
#include "files/AtomicFile.h"
#include "files/SampleCsv.h"
#include "files/SigrokSession.h"
#include "files/VcdWriter.h"

#include <array>

namespace {

constexpr std::array<CliArguments::Option, 4> Options{{
    {"output", 'o', "FILE", "the file to write: .vcd, .csv or .sr (required)"},
    {"format", 0, "FORMAT", "vcd, csv or sr (default: from the file's extension)"},
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
            "tracemoor-cli export FILE.pjf|FILE.vcd|FILE.sr -o OUT.vcd|OUT.csv|OUT.sr [options]",
            "Writes the record's samples (the window the protocol pages decode) with the\n"
            "signals of the signal list, or every channel when the list is empty:\n"
            "  .vcd  a Value Change Dump: a wire per channel, a vector per bus, the\n"
            "        timescale of the sample period, only the changes; time 0 is the\n"
            "        record's first sample;\n"
            "  .csv  a row per sample: index, time from the trigger in seconds, values;\n"
            "  .sr   a sigrok session: a probe per channel (a bus as its members) at\n"
            "        the sample rate, every sample.",
            Options);
        return CliStatus::Ok;
    }
    if (a.Operands.size() != 1)
        return CliStatus::Fail(err, CliStatus::Usage,
                               "export takes one FILE.pjf, FILE.vcd or FILE.sr");
    const auto output = a.Value("output");
    if (!output || output->empty())
        return CliStatus::Fail(err, CliStatus::Usage,
                               "export needs -o OUT.vcd, -o OUT.csv or -o OUT.sr");
    const auto format =
        CliValues::Choice(a.Value("format").value_or(Extension(*output)), {"vcd", "csv", "sr"});
    if (!format)
        return CliStatus::Fail(
            err, CliStatus::Usage,
            "export writes .vcd, .csv or .sr: name the file so or give --format");

    CliSession session;
    const std::string error = session.Load(a.Operands[0]);
    if (!error.empty())
        return CliStatus::Fail(err, CliStatus::FileOrDevice, a.Operands[0] + ": " + error);
    session.TellNotes(err, a.Operands[0]);
    const SampleTrace trace =
        SampleTrace::OfRecord(session.Record, session.System, session.Settings, session.PeriodPs(),
                              a.Has("all-channels"));
    if (*format == 2) {
        if (!SigrokSession::Write(*output, trace))
            return CliStatus::Fail(err, CliStatus::FileOrDevice, "cannot write " + *output);
        return CliStatus::Ok;
    }
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
