#include "files/VcdScan.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <numeric>

namespace {

constexpr std::array<std::string_view, 16> WireKinds{
    "wire",  "reg",    "logic", "bit", "tri",     "tri0",    "tri1",  "triand",
    "trior", "trireg", "wand",  "wor", "supply0", "supply1", "uwire", "integer"};

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool Number(std::string_view digits, uint64_t &out)
{
    if (digits.empty())
        return false;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), out);
    return error == std::errc() && end == digits.data() + digits.size();
}

// An index into a table of 128 x 128 slots for codes of one or two
// characters, which nearly every file uses; -1 for longer codes.
int ShortSlot(std::string_view id)
{
    if (id.empty() || id.size() > 2)
        return -1;
    const auto a = static_cast<unsigned char>(id[0]);
    const auto b = id.size() == 2 ? static_cast<unsigned char>(id[1]) : 0u;
    if (a >= 128 || b >= 128)
        return -1;
    return static_cast<int>(a * 128 + b);
}

} // namespace

VcdScan::VcdScan(std::string_view vcdText)
    : text(vcdText)
{}

std::string_view VcdScan::Token()
{
    while (pos < text.size() && IsSpace(text[pos]))
        ++pos;
    const size_t start = pos;
    while (pos < text.size() && !IsSpace(text[pos]))
        ++pos;
    return text.substr(start, pos - start);
}

bool VcdScan::SkipSection()
{
    for (std::string_view t = Token(); !t.empty(); t = Token())
        if (t == "$end")
            return true;
    return false;
}

std::string VcdScan::Where() const
{
    return " (byte " + std::to_string(pos) + ")";
}

std::string VcdScan::Header()
{
    pos = 0;
    for (std::string_view t = Token(); !t.empty(); t = Token()) {
        if (t == "$enddefinitions") {
            if (!SkipSection())
                return "the file ends inside $enddefinitions";
            bodyStart = pos;
            if (skippedKinds > 0)
                Notes.push_back(std::to_string(skippedKinds) +
                                " variables of other kinds (real, event, ...) skipped");
            if (skippedWide > 0)
                Notes.push_back(std::to_string(skippedWide) +
                                " vectors wider than 16 bits skipped (a bus has 16 members)");
            if (skippedFull > 0)
                Notes.push_back(std::to_string(skippedFull) +
                                " variables past the 32nd channel skipped");
            if (Variables.empty())
                return "the file declares no one-bit wire or vector of up to 16 bits";
            return {};
        }
        if (t.front() != '$')
            return "unexpected \"" + std::string(t.substr(0, 40)) + "\" in the header" + Where();
        if (t == "$timescale" || t == "$var" || t == "$comment") {
            const std::string keyword(t);
            std::vector<std::string_view> words;
            bool ended = false;
            for (std::string_view w = Token(); !w.empty(); w = Token()) {
                if (w == "$end") {
                    ended = true;
                    break;
                }
                if (words.size() < 8)
                    words.push_back(w);
            }
            if (!ended)
                return "the file ends inside " + keyword;
            uint64_t period = 0;
            if (keyword == "$comment") {
                if (words.size() == 4 && words[0] == "sample" && words[1] == "period" &&
                    words[3] == "ps" && Number(words[2], period))
                    PeriodHintPs = period;
                continue;
            }
            const std::string bad = keyword == "$var" ? Definition(words) : Timescale(words);
            if (!bad.empty())
                return bad + Where();
            continue;
        }
        // $scope, $upscope, $version, $date, $comment and keywords of other
        // tools: their words up to $end say nothing about the samples.
        if (!SkipSection())
            return "the file ends inside " + std::string(t.substr(0, 40));
    }
    return "the header does not end: no $enddefinitions";
}

std::string VcdScan::Timescale(const std::vector<std::string_view> &words)
{
    std::string joined;
    for (std::string_view w : words)
        joined += w;
    size_t digits = 0;
    while (digits < joined.size() && joined[digits] >= '0' && joined[digits] <= '9')
        ++digits;
    const std::string number = joined.substr(0, digits);
    const std::string unit = joined.substr(digits);
    static constexpr std::array<std::pair<std::string_view, uint64_t>, 6> Units{
        {{"s", 1000000000000000ULL},
         {"ms", 1000000000000ULL},
         {"us", 1000000000ULL},
         {"ns", 1000000ULL},
         {"ps", 1000ULL},
         {"fs", 1ULL}}};
    const auto u = std::find_if(Units.begin(), Units.end(),
                                [&unit](const auto &e) { return e.first == unit; });
    if ((number != "1" && number != "10" && number != "100") || u == Units.end())
        return "$timescale \"" + joined.substr(0, 40) +
               "\" is not 1, 10 or 100 s, ms, us, ns, "
               "ps or fs";
    UnitFs = std::stoull(number) * u->second;
    return {};
}

std::string VcdScan::Definition(const std::vector<std::string_view> &words)
{
    if (words.size() < 4)
        return "a $var needs a kind, a size, a code and a name";
    uint64_t width = 0;
    if (!Number(words[1], width) || width == 0)
        return "$var " + std::string(words[3].substr(0, 40)) + " has no size";
    if (std::find(WireKinds.begin(), WireKinds.end(), words[0]) == WireKinds.end()) {
        ++skippedKinds;
        return {};
    }
    if (width > MaxBusWidth) {
        ++skippedWide;
        return {};
    }
    if (bitsTaken + static_cast<int>(width) > MaxBits) {
        ++skippedFull;
        return {};
    }
    Variable v;
    v.Name = std::string(words[3].substr(0, 64));
    // A one-bit select of a vector ("data [3]") keeps its index in the name.
    if (width == 1 && words.size() > 4 && words[4].front() == '[')
        v.Name += std::string(words[4].substr(0, 8));
    v.Id = std::string(words[2]);
    v.Width = static_cast<int>(width);
    v.FirstBit = bitsTaken;
    bitsTaken += v.Width;
    const size_t index = Variables.size();
    Variables.push_back(std::move(v));

    const std::string &id = Variables.back().Id;
    const auto known =
        std::find_if(ids.begin(), ids.end(), [&id](const auto &e) { return e.first == id; });
    if (known != ids.end()) {
        known->second.push_back(index); // the same code again: one signal, two names
        return {};
    }
    ids.push_back({id, {index}});
    if (const int slot = ShortSlot(id); slot >= 0) {
        if (shortIds.empty())
            shortIds.assign(128 * 128, -1);
        shortIds[static_cast<size_t>(slot)] = static_cast<int16_t>(ids.size() - 1);
    }
    return {};
}

int VcdScan::Entry(std::string_view id) const
{
    if (const int slot = ShortSlot(id); slot >= 0)
        return shortIds.empty() ? -1 : shortIds[static_cast<size_t>(slot)];
    for (size_t e = 0; e < ids.size(); ++e)
        if (ids[e].first == id)
            return static_cast<int>(e);
    return -1;
}

const std::vector<size_t> *VcdScan::Lookup(std::string_view id) const
{
    if (const int slot = ShortSlot(id); slot >= 0) {
        if (shortIds.empty() || shortIds[static_cast<size_t>(slot)] < 0)
            return nullptr;
        return &ids[static_cast<size_t>(shortIds[static_cast<size_t>(slot)])].second;
    }
    for (const auto &e : ids)
        if (e.first == id)
            return &e.second;
    return nullptr;
}

std::string VcdScan::Survey()
{
    pos = bodyStart;
    AnyTime = false;
    Step = 0;
    ChangeAtLast = false;
    ShortestPulse = 0;
    seen.assign(ids.size(), Seen{});
    return Walk(nullptr, nullptr);
}

std::string VcdScan::Replay(const std::function<bool(uint64_t)> &time,
                            const std::function<void(size_t, uint32_t)> &change)
{
    pos = bodyStart;
    return Walk(&time, &change);
}

std::string VcdScan::Walk(const std::function<bool(uint64_t)> *time,
                          const std::function<void(size_t, uint32_t)> *change)
{
    bool any = false;
    uint64_t last = 0;
    for (std::string_view t = Token(); !t.empty(); t = Token()) {
        const char c = t.front();
        if (c == '#') {
            uint64_t stamp = 0;
            if (!Number(t.substr(1), stamp))
                return "\"" + std::string(t.substr(0, 40)) + "\" is no time" + Where();
            if (any && stamp < last)
                return "time goes backwards, #" + std::to_string(stamp) + " after #" +
                       std::to_string(last) + Where();
            if (time == nullptr) {
                if (!AnyTime)
                    FirstTime = stamp;
                Step = std::gcd(Step, stamp - FirstTime);
                LastTime = stamp;
                AnyTime = true;
                ChangeAtLast = false;
            } else if (!(*time)(stamp)) {
                return {};
            }
            any = true;
            last = stamp;
            continue;
        }
        if (c == '$') {
            // $dumpvars, $dumpall, $dumpon, $dumpoff and their $end hold
            // ordinary changes; anything else ($comment) is skipped whole.
            if (t == "$end" || t == "$dumpvars" || t == "$dumpall" || t == "$dumpon" ||
                t == "$dumpoff")
                continue;
            if (!SkipSection())
                return "the file ends inside " + std::string(t.substr(0, 40));
            continue;
        }
        std::string_view id;
        uint32_t value = 0;
        bool kept = true;
        if (c == 'b' || c == 'B') {
            for (char d : t.substr(1))
                value = (value << 1) | (d == '1' ? 1u : 0u);
            id = Token();
        } else if (c == 'r' || c == 'R' || c == 's' || c == 'S') {
            id = Token(); // a real or a string: no variable of ours has one
            kept = false;
        } else if (std::string_view("01xXzZuUwWlLhH-").find(c) != std::string_view::npos) {
            value = (c == '1' || c == 'h' || c == 'H') ? 1u : 0u;
            id = t.substr(1);
        } else {
            return "unexpected \"" + std::string(t.substr(0, 40)) + "\" among the changes" +
                   Where();
        }
        if (id.empty())
            return "a value without an identifier code" + Where();
        if (time == nullptr) {
            ChangeAtLast = true;
            if (const int e = kept ? Entry(id) : -1; e >= 0) {
                Seen &v = seen[static_cast<size_t>(e)];
                if (v.any && v.value != value) {
                    const uint64_t pulse = last - v.since;
                    if (pulse != 0 && (ShortestPulse == 0 || pulse < ShortestPulse))
                        ShortestPulse = pulse;
                }
                if (!v.any || v.value != value)
                    v.since = last;
                v.any = true;
                v.value = value;
            }
            continue;
        }
        if (const std::vector<size_t> *vars = kept ? Lookup(id) : nullptr)
            for (size_t v : *vars)
                (*change)(v, value);
    }
    return {};
}
