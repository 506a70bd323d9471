#include "files/VcdWriter.h"

#include <array>
#include <charconv>

namespace {

void AppendNumber(std::string &out, uint64_t n)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    out.append(digits, end);
}

void AppendValue(std::string &out, const SampleTrace::Signal &s, uint32_t value,
                 const std::string &id)
{
    if (s.Width() == 1) {
        out += static_cast<char>('0' + (value & 1u));
    } else {
        out += 'b';
        for (int b = s.Width() - 1; b >= 0; --b)
            out += static_cast<char>('0' + ((value >> b) & 1u));
        out += ' ';
    }
    out += id;
    out += '\n';
}

} // namespace

VcdWriter::Timescale VcdWriter::ScaleOf(uint64_t periodPs)
{
    static constexpr std::array<const char *, 5> Units{"ps", "ns", "us", "ms", "s"};
    Timescale t;
    if (periodPs == 0) {
        t.Text = "1 ps";
        return t;
    }
    // The largest power of ten (up to 100 s) that divides the period.
    int exponent = 0;
    uint64_t unit = 1;
    while (exponent < 14 && periodPs % (unit * 10) == 0) {
        unit *= 10;
        ++exponent;
    }
    t.UnitPs = unit;
    t.TicksPerSample = periodPs / unit;
    static constexpr std::array<const char *, 3> Mantissas{"1", "10", "100"};
    t.Text = std::string(Mantissas[static_cast<size_t>(exponent % 3)]) + " " +
             Units[static_cast<size_t>(exponent / 3)];
    return t;
}

std::string VcdWriter::Identifier(size_t index)
{
    std::string id;
    do {
        id += static_cast<char>('!' + index % 94);
        index /= 94;
    } while (index-- > 0);
    return id;
}

std::string VcdWriter::Text(const SampleTrace &trace, std::string_view comment)
{
    const Timescale scale = ScaleOf(trace.PeriodPs);
    std::string out;
    out.reserve(1024 + trace.Words.size() * 8);
    out += "$version Tracemoor $end\n";
    if (!comment.empty()) {
        out += "$comment ";
        out += comment;
        out += " $end\n";
    }
    // A reader cannot tell the period from the changes alone (a signal
    // that changes every other sample looks twice as slow): say it.
    if (trace.PeriodPs != 0)
        out += "$comment sample period " + std::to_string(trace.PeriodPs) + " ps $end\n";
    out += "$timescale " + scale.Text + " $end\n";
    out += "$scope module capture $end\n";
    std::vector<std::string> ids;
    for (size_t i = 0; i < trace.Signals.size(); ++i) {
        const SampleTrace::Signal &s = trace.Signals[i];
        ids.push_back(Identifier(i));
        out += "$var wire " + std::to_string(s.Width()) + " " + ids.back() + " " + s.Name;
        if (s.Width() > 1)
            out += " [" + std::to_string(s.Width() - 1) + ":0]";
        out += " $end\n";
    }
    out += "$upscope $end\n$enddefinitions $end\n";
    if (trace.Words.empty())
        return out;

    out += "#0\n$dumpvars\n";
    uint32_t previous = trace.Words[0];
    for (size_t i = 0; i < trace.Signals.size(); ++i)
        AppendValue(out, trace.Signals[i], trace.Signals[i].Value(previous), ids[i]);
    out += "$end\n";

    const uint32_t mask = trace.ChannelMask();
    for (size_t n = 1; n < trace.Words.size(); ++n) {
        const uint32_t word = trace.Words[n];
        const uint32_t changed = (word ^ previous) & mask;
        if (changed == 0)
            continue;
        out += '#';
        AppendNumber(out, n * scale.TicksPerSample);
        out += '\n';
        for (size_t i = 0; i < trace.Signals.size(); ++i) {
            const SampleTrace::Signal &s = trace.Signals[i];
            const uint32_t before = s.Value(previous);
            const uint32_t now = s.Value(word);
            if (before != now)
                AppendValue(out, s, now, ids[i]);
        }
        previous = word;
    }
    out += '#';
    AppendNumber(out, trace.Words.size() * scale.TicksPerSample);
    out += '\n';
    return out;
}
