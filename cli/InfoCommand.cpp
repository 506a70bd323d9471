#include "cli/InfoCommand.h"

#include "analyzer/ViewCommands.h"
#include "cli/CliArguments.h"
#include "cli/CliSession.h"
#include "cli/CliStatus.h"
#include "cli/TriggerOptions.h"
#include "display/TimeText.h"
#include "files/SampleTrace.h"

#include <algorithm>
#include <array>

namespace {

std::string Line(std::string_view name, const std::string &value)
{
    std::string head = std::string(name) + ":";
    head.resize(std::max<size_t>(head.size() + 1, 18), ' ');
    return head + value + "\n";
}

std::string Trimmed(std::string_view t)
{
    while (!t.empty() && t.front() == ' ')
        t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ')
        t.remove_suffix(1);
    return std::string(t);
}

std::string Signals(const SampleTrace &trace)
{
    std::string text;
    for (const SampleTrace::Signal &s : trace.Signals) {
        text += text.empty() ? "" : ", ";
        text += s.Name;
        if (s.Width() > 1) {
            text += " [";
            for (size_t k = 0; k < s.Channels.size(); ++k)
                text += (k ? " " : "") + std::string("CH") + std::to_string(s.Channels[k]);
            text += "]";
        }
    }
    return text;
}

} // namespace

std::string InfoCommand::Text(const CliSession &session)
{
    const CFile &f = session.Settings;
    const WSystem &sys = session.System;
    const DIV_WTime &time = session.TimeBase;
    const CCaptureRecord &rec = session.Record;
    static constexpr std::array<const char *, 6> Types{"",
                                                       "1 (pattern 1)",
                                                       "2 (patterns 1 and 2)",
                                                       "3 (patterns 1, 2 and 3)",
                                                       "4 (pattern 1 OR the OR pattern)",
                                                       "5 (pulse width)"};
    static constexpr std::array<const char *, 3> Compares{"<", "=", ">"};

    std::string out;
    out += Line("Model", std::to_string(sys.ModelCode) + " " + std::string(sys.ModelName()));
    out += Line("Channels", std::to_string(sys.ChannelCount));
    const size_t row = static_cast<size_t>(time.RateIndex);
    out += Line("Time/div", std::string(sys.TimeDivTexts[static_cast<size_t>(time.TimeDivIndex)]));
    out += Line("Sample period", f.ClockSource == 1
                                     ? "external clock"
                                     : TimeText(time.SamplePeriod, time.SamplePeriodUnit) + " " +
                                           std::string(sys.FrequencyText[row]));
    const std::string chosen = Trimmed(sys.DepthTexts[static_cast<size_t>(
        std::clamp<int>(f.MemoryDepthIndex, 0, static_cast<int>(sys.DepthCount) - 1))]);
    const std::string used = Trimmed(sys.DepthTexts[rec.DepthIndex]);
    out += Line("Depth", (chosen == used ? used : chosen + " (" + used + ")") + ", " +
                             std::to_string(rec.DepthSamples) + " samples");
    out += Line("Trigger position", std::to_string(rec.PreTriggerPercent) + "% / " +
                                        std::to_string(rec.PostTriggerPercent) + "%");
    const int type = f.TriggerType >= 1 && f.TriggerType <= 5 ? f.TriggerType : 1;
    out += Line("Trigger type", Types[static_cast<size_t>(type)]);
    if (type == 5) {
        out += Line("Pulse width", "CH" + std::to_string(f.PulseChannel) + " " +
                                       (f.PulsePolarity ? "low" : "high") + " " +
                                       Compares[std::min<size_t>(f.PulseCompare, 2)] + " " +
                                       TriggerOptions::PulseWidthText(f));
    } else {
        const std::array<int, 3> rows = type == 4   ? std::array<int, 3>{0, 3, -1}
                                        : type == 3 ? std::array<int, 3>{0, 1, 2}
                                        : type == 2 ? std::array<int, 3>{0, 1, -1}
                                                    : std::array<int, 3>{0, -1, -1};
        static constexpr std::array<const char *, 4> Names{"Pattern 1", "Pattern 2", "Pattern 3",
                                                           "OR pattern"};
        for (int r : rows)
            if (r >= 0)
                out += Line(Names[static_cast<size_t>(r)],
                            TriggerOptions::PatternText(f.TriggerCondition[static_cast<size_t>(r)],
                                                        sys.ChannelCount) +
                                " (CH" + std::to_string(sys.ChannelCount - 1) + " .. CH0)");
    }
    out += Line("Trigger counter", std::to_string(f.TriggerCounter));
    out += Line("Continuous", f.ContinuousTrigger ? "on" : "off");
    out += Line("Delay", TimeText(ViewCommands::SettingsDelay(f), time.TimePerDivUnit));
    std::string levels;
    for (int p = 0; p < sys.LevelGroups; ++p)
        levels += (p ? ", " : "") + std::string("port ") + std::to_string(p + 1) + " " +
                  TriggerOptions::Volts(f, f.PortLevel[static_cast<size_t>(p)]) + " V";
    out += Line("Thresholds", levels);
    const uint32_t trigger = ((rec.TriggerAddress - rec.RecordStart) & rec.RingMask()) / 4;
    const std::string confirmed = rec.CaptureValid ? ", confirmed" : ", not confirmed";
    out += Line("Trigger sample",
                std::to_string(trigger) + " of " + std::to_string(rec.DepthSamples) + confirmed);
    if (session.FromVcd)
        out += Line("Trigger", "placed at the first sample (a file of another tool has none)");
    const SampleTrace trace = SampleTrace::OfRecord(rec, sys, f, 0, false);
    out += Line("Signals", Signals(trace));
    return out;
}

int InfoCommand::Run(std::span<const std::string> args, std::ostream &out, std::ostream &err)
{
    CliArguments a;
    if (!a.Parse(args, std::span<const CliArguments::Option>{}))
        return CliStatus::Fail(err, CliStatus::Usage, a.Error + " (see info --help)");
    if (a.HelpAsked()) {
        out << CliArguments::HelpText(
            "tracemoor-cli info FILE.pjf|FILE.vcd|FILE.sr",
            "Prints the project's model, time base, depth, trigger and bus settings and\n"
            "where the trigger lies in the record, one \"name: value\" line each.",
            {});
        return CliStatus::Ok;
    }
    if (a.Operands.size() != 1)
        return CliStatus::Fail(err, CliStatus::Usage,
                               "info takes one FILE.pjf, FILE.vcd or FILE.sr");
    CliSession session;
    const std::string error = session.Load(a.Operands[0]);
    if (!error.empty())
        return CliStatus::Fail(err, CliStatus::FileOrDevice, a.Operands[0] + ": " + error);
    session.TellNotes(err, a.Operands[0]);
    out << Text(session);
    return CliStatus::Ok;
}
