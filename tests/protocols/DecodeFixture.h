#pragma once

// A stored decode window (tests/protocols/data/<name>.capture) and the
// expected rows of its decode (<name>.rows).
//
// The capture file is text: "channels N", "period_ps N", "before W" (the
// sample just before the window, hexadecimal), then one line per run of
// equal samples, "count word" (decimal, hexadecimal). The rows file lists
// every table of the decode under a "[name]" line, one row per line, each
// cell followed by "|" (so trailing spaces of a cell stay visible).

#include "display/WTime.h"
#include "protocols/CaptureWindow.h"
#include "protocols/DecodeTable.h"

#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

struct DecodeFixture
{
    int Channels = 16;
    uint64_t PeriodPs = 0;
    uint32_t Before = 0;
    std::vector<uint32_t> Samples;
    std::vector<uint8_t> Ring; // Window() reads from here

    static DecodeFixture FromWindow(const CaptureWindow &w, const WTime &period)
    {
        DecodeFixture f;
        f.Channels = w.Channels;
        const WTime p = Normalise(period);
        f.PeriodPs = p.g[0] + 1000ull * (p.g[1] + 1000ull * (p.g[2] + 1000ull * p.g[3]));
        f.Before = w.Word(w.AddressOf(-1));
        w.ForEachWord([&](uint32_t, uint32_t word) { f.Samples.push_back(word); });
        return f;
    }

    WTime Period() const
    {
        return Normalise(WTime::Of(static_cast<uint32_t>(PeriodPs % 1000),
                                   static_cast<uint32_t>(PeriodPs / 1000 % 1000),
                                   static_cast<uint32_t>(PeriodPs / 1000000 % 1000),
                                   static_cast<uint32_t>(PeriodPs / 1000000000)));
    }

    // The samples from address 0 of a ring just large enough, the sample
    // before them in its last word.
    CaptureWindow Window()
    {
        size_t size = 16;
        while (size < (Samples.size() + 1) * 4)
            size *= 2;
        Ring.assign(size, 0);
        auto put = [&](size_t at, uint32_t word) {
            for (size_t b = 0; b < 4; ++b)
                Ring[at + b] = static_cast<uint8_t>(word >> (8 * b));
        };
        for (size_t i = 0; i < Samples.size(); ++i)
            put(4 * i, Samples[i]);
        put(size - 4, Before);
        return CaptureWindow{Ring, static_cast<uint32_t>(size - 1), 0,
                             static_cast<uint32_t>(Samples.size()), Channels};
    }

    std::string Text() const
    {
        std::ostringstream out;
        out << "channels " << Channels << "\nperiod_ps " << PeriodPs << "\nbefore " << std::hex
            << Before << "\n";
        for (size_t i = 0; i < Samples.size();) {
            size_t n = 1;
            while (i + n < Samples.size() && Samples[i + n] == Samples[i])
                ++n;
            out << std::dec << n << ' ' << std::hex << Samples[i] << '\n';
            i += n;
        }
        return out.str();
    }

    static std::optional<DecodeFixture> Parse(const std::string &text)
    {
        DecodeFixture f;
        std::istringstream in(text);
        std::string key;
        if (!(in >> key >> f.Channels) || key != "channels")
            return std::nullopt;
        if (!(in >> key >> f.PeriodPs) || key != "period_ps")
            return std::nullopt;
        if (!(in >> key >> std::hex >> f.Before) || key != "before")
            return std::nullopt;
        size_t n = 0;
        uint32_t word = 0;
        while (in >> std::dec >> n >> std::hex >> word)
            f.Samples.insert(f.Samples.end(), n, word);
        return f;
    }
};

inline void AppendTable(std::string &out, const std::string &name, const DecodeTable &t)
{
    out += "[" + name + "]\n";
    for (int r = 0; r < t.Rows(); ++r) {
        for (int c = 0; c < t.Columns(); ++c) {
            out += t.Cell(r, c);
            out += '|';
        }
        out += "\n";
    }
}

inline std::optional<std::string> ReadText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline bool WriteText(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}
