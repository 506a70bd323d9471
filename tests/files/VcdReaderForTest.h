#pragma once

// A small Value Change Dump reader of its own, to check written files
// against: the timescale, the variables of every scope, and every value
// change with its time, as the text says them (no knowledge of the writer).

#include <cstdint>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

struct VcdReaderForTest
{
    struct Var
    {
        std::string Type, Id, Name;
        int Width = 0;
    };
    struct Change
    {
        uint64_t Time;
        std::string Id;
        uint64_t Value;
    };

    uint64_t TimescalePs = 0;
    std::vector<Var> Vars;
    std::vector<Change> Changes;
    uint64_t LastTime = 0;
    std::string Error;

    static VcdReaderForTest Parse(const std::string &text)
    {
        VcdReaderForTest r;
        std::istringstream in(text);
        std::string tok;
        auto section = [&in]() {
            std::vector<std::string> words;
            std::string w;
            while (in >> w && w != "$end")
                words.push_back(w);
            return words;
        };
        bool body = false;
        std::optional<uint64_t> time;
        while (in >> tok) {
            if (!body) {
                if (tok == "$timescale") {
                    std::string joined;
                    for (const std::string &w : section())
                        joined += w;
                    size_t digits = 0;
                    while (digits < joined.size() &&
                           std::isdigit(static_cast<unsigned char>(joined[digits])))
                        ++digits;
                    const std::map<std::string, uint64_t> units{{"ps", 1},
                                                                {"ns", 1000},
                                                                {"us", 1000000},
                                                                {"ms", 1000000000},
                                                                {"s", 1000000000000ULL}};
                    const std::string number = joined.substr(0, digits);
                    const auto u = units.find(joined.substr(digits));
                    if ((number != "1" && number != "10" && number != "100") || u == units.end())
                        r.Error = "bad timescale " + joined;
                    else
                        r.TimescalePs = std::stoull(number) * u->second;
                } else if (tok == "$var") {
                    const auto w = section();
                    if (w.size() < 4) {
                        r.Error = "short $var";
                        continue;
                    }
                    r.Vars.push_back({w[0], w[2], w[3], std::stoi(w[1])});
                } else if (tok == "$enddefinitions") {
                    section();
                    body = true;
                } else if (tok[0] == '$') {
                    section(); // $version, $comment, $scope, $upscope, $date
                }
                continue;
            }
            if (tok == "$dumpvars" || tok == "$end")
                continue;
            if (tok[0] == '#') {
                const uint64_t t = std::stoull(tok.substr(1));
                if (time && t <= *time)
                    r.Error = "time " + tok + " does not increase";
                time = t;
                r.LastTime = t;
            } else if (tok[0] == 'b' || tok[0] == 'B') {
                std::string id;
                in >> id;
                const uint64_t value = std::stoull(tok.substr(1), nullptr, 2);
                r.Changes.push_back({time.value_or(0), id, value});
            } else if (tok[0] == '0' || tok[0] == '1') {
                r.Changes.push_back({time.value_or(0), tok.substr(1), uint64_t(tok[0] - '0')});
            } else {
                r.Error = "unexpected " + tok;
            }
        }
        if (!body)
            r.Error = "no $enddefinitions";
        return r;
    }

    // Every variable's value at sample n of `ticks` time units each, by
    // name (all ones before its first value); changes between sample times
    // are errors of the file, so they are left out and the test sees them.
    std::map<std::string, std::vector<uint64_t>> Samples(uint64_t count, uint64_t ticks) const
    {
        struct Track
        {
            std::vector<uint64_t> *values;
            uint64_t filled = 0;
            uint64_t current = ~uint64_t{0};
        };
        std::map<std::string, std::vector<uint64_t>> out;
        std::map<std::string, Track> tracks;
        for (const Var &v : Vars) {
            out[v.Name].assign(count, ~uint64_t{0});
            tracks[v.Id] = Track{&out[v.Name]};
        }
        auto fill = [count](Track &t, uint64_t upTo) {
            for (; t.filled < upTo && t.filled < count; ++t.filled)
                (*t.values)[t.filled] = t.current;
        };
        for (const Change &c : Changes) {
            const auto it = tracks.find(c.Id);
            if (ticks == 0 || c.Time % ticks != 0 || it == tracks.end())
                continue;
            fill(it->second, c.Time / ticks);
            it->second.current = c.Value;
        }
        for (auto &[id, t] : tracks)
            fill(t, count);
        return out;
    }
};
