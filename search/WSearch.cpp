#include "search/WSearch.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "search/SearchPage.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "sample words are read straight from the little-endian ring");

namespace {

// Required levels of one sample word; a second, different requirement on the
// same bit makes the term impossible.
struct Levels
{
    uint32_t Mask = 0;
    uint32_t Value = 0;
    bool Possible = true;

    void Require(int channel, bool high)
    {
        const uint32_t bit = 1u << channel;
        if ((Mask & bit) != 0 && ((Value & bit) != 0) != high)
            Possible = false;
        Mask |= bit;
        Value = high ? (Value | bit) : (Value & ~bit);
    }
};

} // namespace

WSearch::WSearch(const WSystem &system, const CFile &settings, const CCaptureRecord &record,
                 std::span<const SearchCondition> conditions)
{
    const int channels = std::min<int>(system.ChannelCount, CFile::MaxChannels);
    const int rows = std::min<int>(system.RowCount, 2 * channels);
    ring = system.SampleBuffer.data();
    ringMask = system.AddressMask & ~3u;
    ringSamples = static_cast<uint32_t>(
        std::min<size_t>(system.SampleBuffer.size() / 4, uint64_t{system.AddressMask} / 4 + 1));
    base = record.RecordStart & ringMask;
    samples = std::min<int64_t>(record.DepthSamples, ringSamples);
    valid = record.CaptureValid != 0 && samples > 0 &&
            system.SampleBuffer.size() >= uint64_t{system.AddressMask} + 1;

    Levels later;
    Levels earlier;
    Levels stretch;
    for (const SearchCondition &c : conditions) {
        if (c.Row >= static_cast<uint32_t>(rows))
            continue; // "none", or a row this model does not have
        const bool first = conditionCount++ == 0;
        if (c.Row < static_cast<uint32_t>(channels)) {
            const int ch = static_cast<int>(c.Row);
            switch (c.Code) {
            case SearchCondition::Low:
            case SearchCondition::High:
                later.Require(ch, c.Code == SearchCondition::High);
                stretch.Require(ch, c.Code == SearchCondition::High);
                terms.StretchFirst = terms.StretchFirst || first;
                break;
            case SearchCondition::Falling:
            case SearchCondition::Rising:
                later.Require(ch, c.Code == SearchCondition::Rising);
                earlier.Require(ch, c.Code == SearchCondition::Falling);
                break;
            case SearchCondition::AnyEdge:
                terms.ChangeMask |= 1u << ch;
                break;
            default:
                terms.Possible = false; // no channel condition has this code
                break;
            }
            continue;
        }
        // A bus value: the members that are channels of the model, the first
        // one most significant, as the bus value is composed.
        const SignalEntry &bus = settings.BusEntry[c.Row - static_cast<uint32_t>(channels)];
        std::array<int, 16> members{};
        int width = 0;
        for (uint16_t m : bus.Members)
            if (m < channels)
                members[static_cast<size_t>(width++)] = m;
        if (width < 16 && (uint32_t{c.Code} >> width) != 0)
            terms.Possible = false; // wider than the bus
        for (int j = 0; j < width; ++j) {
            const bool high = ((uint32_t{c.Code} >> (width - 1 - j)) & 1) != 0;
            later.Require(members[static_cast<size_t>(j)], high);
            stretch.Require(members[static_cast<size_t>(j)], high);
        }
        terms.StretchFirst = terms.StretchFirst || first;
    }
    terms.Mask = later.Mask;
    terms.Value = later.Value;
    terms.EarlierMask = earlier.Mask;
    terms.EarlierValue = earlier.Value;
    terms.StretchMask = stretch.Mask;
    terms.StretchValue = stretch.Value;
    terms.Possible = terms.Possible && later.Possible && earlier.Possible;
}

uint32_t WSearch::Word(int64_t n) const
{
    uint32_t w = 0;
    std::memcpy(&w, ring + ((base + 4 * static_cast<uint32_t>(n)) & ringMask), 4);
    return w;
}

bool WSearch::Matches(uint32_t x, uint32_t e) const
{
    return (x & terms.Mask) == terms.Value && (e & terms.EarlierMask) == terms.EarlierValue &&
           ((x ^ e) & terms.ChangeMask) == terms.ChangeMask;
}

bool WSearch::Stretch(uint32_t neighbour) const
{
    return terms.StretchFirst && (neighbour & terms.StretchMask) == terms.StretchValue;
}

std::optional<WSearch::Step> WSearch::Refuse(int64_t startIndex, bool emptyRange) const
{
    if (!valid)
        return Step{Outcome::NoCapture, startIndex};
    if (conditionCount == 0)
        return Step{Outcome::NoConditions, startIndex};
    if (!terms.Possible || emptyRange)
        return Step{Outcome::NoMatch, startIndex};
    return std::nullopt;
}

int64_t WSearch::Locate(uint32_t startAddress) const
{
    const auto offset = static_cast<int64_t>((((startAddress & ~3u) - base) & ringMask) / 4);
    if (offset < samples)
        return offset;
    // Outside the record: just past its end or just before its start,
    // whichever lies nearer in the ring.
    const int64_t after = offset - (samples - 1);
    const int64_t before = int64_t{ringSamples} - offset;
    return after <= before ? samples - 1 + after : -before;
}

WSearch::Step WSearch::SearchForward(int64_t lastIndex, int64_t startIndex,
                                     uint32_t startAddress) const
{
    if (const auto refused = Refuse(startIndex, lastIndex <= startIndex))
        return *refused;
    const Step none{Outcome::NoMatch, startIndex};
    const int64_t origin = Locate(startAddress);
    int64_t n = std::max<int64_t>(origin + 1, 0);
    const int64_t to = std::min(samples - 1, origin + std::min(lastIndex - startIndex, samples));
    if (n > to)
        return none;
    const auto found = [&](int64_t at) { return Step{Outcome::Found, startIndex + at - origin}; };
    if (n == 0) {
        // No sample before the first: no edge there, and nothing to continue.
        const uint32_t x = Word(0);
        if ((terms.EarlierMask | terms.ChangeMask) == 0 && Matches(x, 0))
            return found(0);
        ++n;
    }
    if (n > to)
        return none;
    uint32_t address = (base + 4 * static_cast<uint32_t>(n)) & ringMask;
    uint32_t e = Word(n - 1);
    for (; n <= to; ++n) {
        uint32_t x = 0;
        std::memcpy(&x, ring + address, 4);
        if (Matches(x, e) && !Stretch(e))
            return found(n);
        e = x;
        address = (address + 4) & ringMask;
    }
    return none;
}

WSearch::Step WSearch::SearchBackward(int64_t firstIndex, int64_t startIndex,
                                      uint32_t startAddress) const
{
    if (const auto refused = Refuse(startIndex, firstIndex >= startIndex))
        return *refused;
    const Step none{Outcome::NoMatch, startIndex};
    const int64_t origin = Locate(startAddress);
    int64_t n = std::min(origin - 1, samples - 1);
    const int64_t to = std::max<int64_t>(0, origin - std::min(startIndex - firstIndex, samples));
    if (n < to)
        return none;
    const auto found = [&](int64_t at) { return Step{Outcome::Found, startIndex + at - origin}; };
    // The neighbour the search came from (none past the record's end).
    bool haveLater = n + 1 < samples;
    uint32_t later = haveLater ? Word(n + 1) : 0;
    uint32_t x = Word(n);
    uint32_t address = (base + 4 * static_cast<uint32_t>(n)) & ringMask;
    for (; n >= std::max<int64_t>(to, 1); --n) {
        address = (address - 4) & ringMask;
        uint32_t e = 0;
        std::memcpy(&e, ring + address, 4);
        if (Matches(x, e) && !(haveLater && Stretch(later)))
            return found(n);
        later = x;
        haveLater = true;
        x = e;
    }
    if (n == 0 && to == 0 && (terms.EarlierMask | terms.ChangeMask) == 0 && Matches(x, 0) &&
        !(haveLater && Stretch(later)))
        return found(0);
    return none;
}

WSearch::Step WSearch::SearchOn(SearchPage &page, bool forward) const
{
    if (!valid)
        return {Outcome::NoCapture, 0};
    const SearchPage::Position at = page.SearchPosition();
    const Step step = forward ? SearchForward(at.Last, at.Index, at.Address)
                              : SearchBackward(at.First, at.Index, at.Address);
    if (step.What == Outcome::Found)
        page.ShowFoundSample(step.Index);
    return step;
}
