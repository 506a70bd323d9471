#include "files/TextReport.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/WListRows.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <climits>
#include <utility>

namespace {

constexpr std::array<std::string_view, 11> ModelTexts{"Demo",
                                                      "Tracemoor 200MHz/4ns",
                                                      "Tracemoor 200MHz/2ns",
                                                      "QX-A16",
                                                      "QX-A32",
                                                      "QX-B16",
                                                      "QX-B32",
                                                      "QX-C16",
                                                      "QX-C32",
                                                      "QX-A16E",
                                                      "QX-B32E"};
constexpr std::array<std::string_view, 25> RateTexts{
    "250MHz/4nS", "250MHz/4nS",  "250MHz/4nS",  "250MHz/4nS",   "100MHz/10nS",
    "50MHz/20nS", "25MHz/40nS",  "10HHz/100nS", "5MHz/200nS",   "2.5MHz/400nS",
    "1MHz/1uS",   "500KHz/2uS",  "250KHz/4uS",  "100KHz/10uS",  "50KHz/20uS",
    "25KHz/40uS", "10KHz/100uS", "5KHz/200uS",  "2.5KHz/400uS", "1KHz/1mS",
    "500Hz/2mS",  "250Hz/4mS",   "100Hz/10mS",  "50Hz/20mS",    "25Hz/40mS"};
constexpr std::array<std::string_view, 2> ClockTexts{"Int", "Ext"};
constexpr std::array<std::string_view, 15> MemoryTexts12{
    "Auto Size", "512 bits",  "1 Kbits",  "2 Kbits",  "4 Kbits",
    "8 Kbits",   "16 Kbits",  "32 Kbits", "64 Kbits", "128 Kbits",
    "256 Kbits", "512 Kbits", "1 Mbits",  "2 Mbits",  "4 Mbits"};
constexpr std::array<std::string_view, 14> MemoryTexts{
    "Auto",     "1 Kbits",   "2 Kbits",   "4 Kbits",   "8 Kbits", "16 Kbits", "32 Kbits",
    "64 Kbits", "128 Kbits", "256 Kbits", "512 Kbits", "1 Mbits", "2 Mbits",  "4 Mbits"};
constexpr std::array<std::string_view, 10> PercentTexts{"00%", "10%", "20%", "30%", "40%",
                                                        "50%", "60%", "70%", "80%", "90%"};
constexpr std::array<std::string_view, 6> ModeTexts{"All Don't Care", "Pattern 1",  "Pattern 2",
                                                    "Pattern 3",      "OR Pattern", "Pulse Width"};
constexpr std::array<std::string_view, 6> ConditionTexts{"L", "H", "F", "R", "F/R", "X"};
constexpr std::array<std::string_view, 3> CompareTexts{"< (less than)", "= (equal)", "> (surpass)"};
constexpr std::array<std::string_view, 2> LevelTexts{"Hith Level", "Low Level"};
constexpr std::array<std::string_view, 5> UnitTexts{"", "nS", "uS", "mS", "Sec"};
constexpr std::array<std::string_view, 3> PatternTitles{
    "--------------------------------------- Pattern 1 ---------------------------------------",
    "--------------------------------------- Pattern 2 ---------------------------------------",
    "--------------------------------------- Pattern 3 ---------------------------------------"};
constexpr std::string_view OrTitle =
    "--------------------------------------- OR Pattern ---------------------------------------";
constexpr std::string_view PulseTitle =
    "--------------------------------------- Pulse Width ---------------------------------------";

// A table entry, or nothing for an index outside the table.
template <size_t N> std::string_view Entry(const std::array<std::string_view, N> &t, int index)
{
    return index >= 0 && static_cast<size_t>(index) < N ? t[static_cast<size_t>(index)]
                                                        : std::string_view{};
}

void Line(std::string &out, std::string_view a, std::string_view b = {})
{
    out.append(a).append(b).push_back(TextReport::LineEnd);
}

void AppendNumber(std::string &out, uint64_t v)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
    out.append(digits, end);
}

std::string Number(int64_t v)
{
    return std::to_string(v);
}

} // namespace

TextReport::TextReport(const CFile &settings, const WSystem &system, Capture capture)
    : file(settings)
    , sys(system)
    , cap(std::move(capture))
{
    const int channels = sys.ChannelCount;
    const size_t limit = std::min<size_t>(static_cast<size_t>(channels), file.DisplayOrder.size());
    for (size_t i = 0; i < limit && file.DisplayOrder[i] < sys.RowCount; ++i) {
        const int entry = file.DisplayOrder[i];
        Row row;
        row.bus = entry >= channels;
        const SignalEntry &e = row.bus ? file.BusEntry[static_cast<size_t>(entry - channels)]
                                       : file.ChannelEntry[static_cast<size_t>(entry)];
        row.name = std::string(CFile::NameText(e));
        row.channel = entry;
        if (row.bus) {
            for (uint16_t m : e.Members)
                if (m < channels)
                    row.members.push_back(m);
            row.bits = e.BitCount > 0 ? e.BitCount : static_cast<int>(row.members.size());
            row.format = e.DisplayFormat;
        }
        rows.push_back(std::move(row));
    }
}

std::vector<std::string> TextReport::RangeChoices() const
{
    std::vector<std::string> choices{"Start", "End"};
    for (const CursorMark &c : cap.Cursors)
        choices.emplace_back(1, c.Name);
    return choices;
}

int64_t TextReport::Resolve(std::string_view choice) const
{
    if (choice == "End")
        return cap.Last;
    if (choice.empty() || choice == "Start")
        return cap.First;
    const char name = static_cast<char>(std::toupper(static_cast<unsigned char>(choice[0])));
    for (const CursorMark &c : cap.Cursors)
        if (c.Name == name)
            return std::clamp(c.Sample, cap.First, cap.Last);
    return cap.First;
}

TextReport::SampleRange TextReport::RecordRange(uint32_t depthSamples, int triggerPosition)
{
    const int t = std::clamp(triggerPosition, 0, 10);
    return {WListRows::RecordFirstOf(depthSamples, t), WListRows::RecordLastOf(depthSamples, t)};
}

int64_t TextReport::CursorSample(const WTime &time, const WTime &period, int64_t first,
                                 int64_t last)
{
    const int64_t count = static_cast<int64_t>(TimeToInt64(TimeDivide(time, period).q));
    const int64_t sample = time.IsNegative() ? -count : count;
    if (sample < first)
        return INT32_MIN;
    if (sample > last)
        return INT32_MAX;
    return sample;
}

std::string TextReport::BusValueText(uint32_t value, int bits, int format)
{
    std::string out;
    if (format == 0) {
        static constexpr char Hex[] = "0123456789ABCDEF";
        const int digits = std::max(1, (bits + 3) / 4);
        out = "0x";
        for (int d = digits - 1; d >= 0; --d)
            out.push_back(Hex[d < 8 ? (value >> (4 * d)) & 0xF : 0]);
    } else if (format == 2) {
        for (int b = std::max(bits, 1) - 1; b >= 0; --b)
            out.push_back(b < 32 && ((value >> b) & 1) ? '1' : '0');
    } else {
        AppendNumber(out, value);
    }
    return out;
}

std::string TextReport::PortLevelText(int modelCode, uint16_t code)
{
    const bool compact = modelCode == 9 || modelCode == 10;
    if (code == (compact ? 270 : 142))
        return "TTL(1.5v)";
    if (code == (compact ? 280 : 152))
        return "CMOS(2.5v)";
    if (code == (compact ? 242 : 114))
        return "ECL(-1.3v)";
    // Tenths of a volt, truncated toward zero to whole volts.
    const int tenths = static_cast<int>(code) - (compact ? 255 : 127);
    return std::to_string(tenths / 10) + "v";
}

uint32_t TextReport::Word(int64_t sample) const
{
    const uint32_t at =
        (cap.ZeroAddress + static_cast<uint32_t>(sample) * 4u) & cap.Mask & ~uint32_t{3};
    if (static_cast<size_t>(at) + 4 > cap.Ring.size())
        return 0;
    const uint8_t *p = cap.Ring.data() + at;
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

std::string TextReport::Header(const Options &options) const
{
    std::string out;
    Line(out, "File Name: ", options.FileName);
    Line(out, "Date: " + options.Date + " Time: ", options.Time);
    Line(out, "Tester: ", options.Tester);
    out.append("Comments: ").append(options.Comments);
    out.push_back(LineEnd);
    out.push_back(LineEnd);
    return out;
}

void TextReport::PatternBlock(std::string &out, int row, std::string_view title, bool commas) const
{
    Line(out, title);
    const int channels = sys.ChannelCount;
    for (int c = channels - 1; c >= 0; --c) {
        std::string heading = std::to_string(c);
        heading.resize(4, ' ');
        out.append(heading);
        if (commas)
            out.push_back(',');
    }
    out.push_back(LineEnd);
    for (int c = channels - 1; c >= 0; --c) {
        const uint8_t code =
            file.TriggerCondition[static_cast<size_t>(row)][static_cast<size_t>(c)];
        out.append(Entry(ConditionTexts, code)).append("   ");
        if (commas)
            out.push_back(',');
    }
    out.push_back(LineEnd);
    out.push_back(LineEnd);
}

std::string TextReport::Parameters(const Options &options) const
{
    std::string out;
    const std::string dashes(50, '-');
    Line(out, dashes);
    Line(out, "--         Parameters of Logic Analyzer         --");
    Line(out, dashes);
    const int model = file.ModelCode;
    Line(out, "Model: ", Entry(ModelTexts, model));
    Line(out, "Sample Rate: ", Entry(RateTexts, file.TimeDivRow));
    Line(out, "       Int/Ext: ", Entry(ClockTexts, file.ClockSource));
    Line(out, "       Ram Size: ",
         model == 1 || model == 2 ? Entry(MemoryTexts12, file.MemoryDepthIndex)
                                  : Entry(MemoryTexts, file.MemoryDepthIndex));
    Line(out, "       Memory Percentage(%): ", Entry(PercentTexts, file.MemoryPercent));
    out.push_back(LineEnd);

    Line(out, "Trigger Level");
    // A port is eight channels: two on the 16-channel models, four on the others.
    const int ports = std::min<int>(sys.ChannelCount / 8, static_cast<int>(file.PortLevel.size()));
    for (int k = 0; k < ports; ++k)
        Line(out, "        Port " + std::to_string(k) + ": ",
             PortLevelText(model, file.PortLevel[static_cast<size_t>(k)]));

    const int type = file.TriggerType;
    Line(out, "Trigger Mode: ", Entry(ModeTexts, type));
    Line(out, "Trig Counter(Times): ", std::to_string(file.TriggerCounter));
    const bool csv = options.Kind == Format::Csv;
    if (type != 5)
        Line(out, "Description of patterns : X = Don't Care | H = High | L = Low | R = Raising | "
                  "F = Falling");
    if (type >= 1 && type <= 3) {
        for (int r = 0; r < type; ++r)
            PatternBlock(out, r, PatternTitles[static_cast<size_t>(r)], csv);
    } else if (type == 4) {
        PatternBlock(out, 0, PatternTitles[0], false);
        PatternBlock(out, 3, OrTitle, false);
    } else if (type == 5) {
        Line(out, PulseTitle);
        Line(out, "Channel: ", std::to_string(file.PulseChannel));
        Line(out, "Level: ", Entry(LevelTexts, file.PulsePolarity));
        Line(out, "Condition: ", Entry(CompareTexts, file.PulseCompare));
        Line(out,
             "Time: " + std::to_string(file.PulseWhole) + "." + std::to_string(file.PulseFraction),
             Entry(UnitTexts, file.PulseUnit));
        out.push_back(LineEnd);
    }
    Line(out, "From: " + options.From + "\tTo: ", options.To);
    Line(out, std::string(89, '-'));
    return out;
}

std::vector<std::string> TextReport::Headings() const
{
    std::vector<std::string> out{"", "Sample No."};
    for (const Row &r : rows)
        out.push_back(r.name);
    return out;
}

TextReport::Mark TextReport::MarkOf(const std::string &choice) const
{
    if (choice.empty() || choice == "Start" || choice == "End")
        return {};
    return {static_cast<char>(std::toupper(static_cast<unsigned char>(choice[0]))),
            Resolve(choice)};
}

std::string TextReport::Label(int64_t sample, const Mark &from, const Mark &to) const
{
    if (sample == 0)
        return "T";
    if (sample == cap.First)
        return "Start";
    if (sample == cap.Last)
        return "End";
    if (from.name != 0 && from.sample == sample)
        return std::string(1, from.name);
    if (to.name != 0 && to.sample == sample)
        return std::string(1, to.name);
    return {};
}

std::string TextReport::Cell(int64_t sample, size_t column, const Options &options) const
{
    if (column == 0)
        return Label(sample, MarkOf(options.From), MarkOf(options.To));
    if (column == 1)
        return (sample < 0 ? "-" : "+") + Number(sample < 0 ? -sample : sample);
    if (column - 2 >= rows.size())
        return {};
    const Row &r = rows[column - 2];
    const uint32_t word = Word(sample);
    if (!r.bus)
        return ((word >> r.channel) & 1) ? "1" : "0";
    uint32_t value = 0;
    for (uint16_t m : r.members)
        value = (value << 1) | ((word >> m) & 1);
    return BusValueText(value, r.bits, r.format);
}

void TextReport::DataLine(std::string &out, int64_t sample, bool csv, const Mark &from,
                          const Mark &to) const
{
    const char sep = csv ? ',' : '\t';
    if (sample == 0 || sample == cap.First || sample == cap.Last ||
        (from.name != 0 && from.sample == sample) || (to.name != 0 && to.sample == sample))
        out.append(Label(sample, from, to));
    out.push_back(sep);
    out.push_back(sample < 0 ? '-' : '+');
    AppendNumber(out, static_cast<uint64_t>(sample < 0 ? -sample : sample));
    if (csv)
        out.push_back(',');
    else
        out.append("\t\t");
    const uint32_t word = Word(sample);
    for (const Row &r : rows) {
        if (!r.bus) {
            out.push_back(((word >> r.channel) & 1) ? '1' : '0');
            out.push_back(sep);
            continue;
        }
        uint32_t value = 0;
        for (uint16_t m : r.members)
            value = (value << 1) | ((word >> m) & 1);
        out.append(BusValueText(value, r.bits, r.format));
        if (csv)
            out.push_back(',');
        else
            out.append("\t\t");
    }
    out.push_back(LineEnd);
}

std::string TextReport::Text(const Options &options,
                             const std::function<void(int64_t, int64_t)> &progress) const
{
    std::string out;
    if (options.WithParameters) {
        out = Header(options);
        out.append(Parameters(options));
    }
    if (rows.empty())
        return out;

    const bool csv = options.Kind == Format::Csv;
    const char sep = csv ? ',' : '\t';
    out.push_back(sep);
    out.append("Sample No.");
    out.push_back(sep);
    for (const Row &r : rows) {
        out.append(r.name);
        if (r.bus || csv || r.name.size() < 8)
            out.push_back(sep);
    }
    out.push_back(LineEnd);

    const int64_t a = Resolve(options.From);
    const int64_t b = Resolve(options.To);
    const int64_t first = std::min(a, b);
    const int64_t last = std::max(a, b);
    out.reserve(out.size() + static_cast<size_t>(last - first + 1) * (16 + 3 * rows.size()));
    const Mark from = MarkOf(options.From);
    const Mark to = MarkOf(options.To);
    for (int64_t s = first; s <= last; ++s) {
        DataLine(out, s, csv, from, to);
        if (progress && ((s - first) % 65536 == 0 || s == last))
            progress(s - first, last - first);
    }
    return out;
}
