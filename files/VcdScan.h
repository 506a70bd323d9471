#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The text of a Value Change Dump taken apart: the header's timescale and
// the variables worth keeping (one-bit and up to 16-bit vectors of the
// wire-like kinds, in file order, at most `MaxBits` bits in all), then the
// body's time stamps and value changes.
//
// Header() reads the definitions and says what it skipped; Survey() walks
// the body once for its first and last time, the greatest common divisor of
// the time steps, the shortest pulse and whether time ever goes backwards; Replay() walks it
// again and hands every time stamp and every change of a kept variable to
// the caller, which may stop it early.
// Cost: the text is only looked at, never copied (the caller keeps it,
// typically a mapped file); a walk is one pass over the bytes; memory is a
// few strings per kept variable.
class VcdScan
{
public:
    static constexpr int MaxBits = 32;
    static constexpr int MaxBusWidth = 16;

    struct Variable
    {
        std::string Name; // as the file spells it, scope left out
        std::string Id;   // identifier code
        int Width = 1;    // 1 for a channel, 2..16 for a bus
        int FirstBit = 0; // the first of `Width` channels it takes
    };

    // Femtoseconds in one time unit (1 fs .. 100 s).
    uint64_t UnitFs = 1000000; // 1 ns when the header names none
    std::vector<Variable> Variables;
    // "$comment sample period N ps $end", as Tracemoor writes it; 0 without.
    uint64_t PeriodHintPs = 0;
    std::vector<std::string> Notes;

    // The body as Survey() found it.
    bool AnyTime = false;
    uint64_t FirstTime = 0;
    uint64_t LastTime = 0;
    uint64_t Step = 0;         // gcd of (time - FirstTime); 0 with one time only
    bool ChangeAtLast = false; // the last time stamp is followed by a value change
    // The shortest time between two changes of one kept variable (a pulse,
    // or one bit time of a bus); 0 when none changes twice.
    uint64_t ShortestPulse = 0;

    explicit VcdScan(std::string_view text);

    // Empty, or why the file cannot be read.
    std::string Header();
    std::string Survey();

    // Calls time(t) at every time stamp (false stops the walk) and
    // change(variable index, value) for every change of a kept variable,
    // bit 0 of the value being the vector's last (least significant) digit;
    // unknown digits (x, z, ...) read as 0. Empty, or why it stopped short.
    std::string Replay(const std::function<bool(uint64_t)> &time,
                       const std::function<void(size_t, uint32_t)> &change);

private:
    std::string Walk(const std::function<bool(uint64_t)> *time,
                     const std::function<void(size_t, uint32_t)> *change);
    std::string_view Token();
    bool SkipSection();
    std::string Where() const;
    std::string Definition(const std::vector<std::string_view> &words);
    std::string Timescale(const std::vector<std::string_view> &words);
    const std::vector<size_t> *Lookup(std::string_view id) const;
    int Entry(std::string_view id) const; // index into `ids`, -1 for a code not kept

    std::string_view text;
    size_t pos = 0;
    size_t bodyStart = 0;
    int bitsTaken = 0;
    size_t skippedKinds = 0, skippedWide = 0, skippedFull = 0;
    // Identifier codes of the kept variables with the variables they drive
    // (one code may stand for several variables).
    std::vector<std::pair<std::string, std::vector<size_t>>> ids;
    std::vector<int16_t> shortIds; // entries of `ids` by ShortSlot, -1 for none
    // Survey: per entry of `ids`, its value and the time it took it.
    struct Seen
    {
        bool any = false;
        uint32_t value = 0;
        uint64_t since = 0;
    };
    std::vector<Seen> seen;
};
