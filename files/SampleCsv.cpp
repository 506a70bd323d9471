#include "files/SampleCsv.h"

#include "protocols/DecodeCsv.h"

#include <charconv>

namespace {

void AppendNumber(std::string &out, uint64_t n)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    out.append(digits, end);
}

} // namespace

std::string SampleCsv::Seconds(int64_t ps)
{
    constexpr uint64_t PsPerSecond = 1000000000000ULL;
    std::string out = ps < 0 ? "-" : "";
    const uint64_t magnitude = ps < 0 ? 0 - static_cast<uint64_t>(ps) : static_cast<uint64_t>(ps);
    AppendNumber(out, magnitude / PsPerSecond);
    uint64_t fraction = magnitude % PsPerSecond;
    if (fraction == 0)
        return out;
    std::string digits(12, '0');
    for (int i = 11; i >= 0; --i, fraction /= 10)
        digits[static_cast<size_t>(i)] = static_cast<char>('0' + fraction % 10);
    while (digits.back() == '0')
        digits.pop_back();
    return out + "." + digits;
}

std::string SampleCsv::Text(const SampleTrace &trace, bool changesOnly)
{
    std::vector<std::string> header{"Sample", "Time (s)"};
    for (const SampleTrace::Signal &s : trace.Signals)
        header.push_back(s.Name);
    std::string out = DecodeCsv::Line(header);
    out.reserve(out.size() + trace.Words.size() * (16 + 2 * trace.Signals.size()));

    const uint32_t mask = trace.ChannelMask();
    const size_t count = trace.Words.size();
    for (size_t n = 0; n < count; ++n) {
        const uint32_t word = trace.Words[n];
        if (changesOnly && n > 0 && n + 1 < count && ((word ^ trace.Words[n - 1]) & mask) == 0)
            continue;
        AppendNumber(out, n);
        out += ',';
        const int64_t ticks = static_cast<int64_t>(n) - static_cast<int64_t>(trace.TriggerIndex);
        out += Seconds(ticks * static_cast<int64_t>(trace.PeriodPs));
        for (const SampleTrace::Signal &s : trace.Signals) {
            out += ',';
            AppendNumber(out, s.Value(word));
        }
        out += "\r\n";
    }
    return out;
}
