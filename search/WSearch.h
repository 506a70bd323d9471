#pragma once

// The data search engine: walks the capture from a position towards the
// record's first or last sample until a sample satisfies every search
// condition. The conditions are compiled once, when the engine is made, into
// three mask tests on the sample word, the word before it and their
// difference, so one sample costs a few operations whatever the number of
// conditions; a walk over a 1 M sample record reads each word once and
// allocates nothing.
//
// Positions are given as the caller counts them (the waveform page counts
// from the trigger sample, the state list from its reference sample) with the
// ring address of the start; the engine finds where that address lies in the
// record and never reads outside it: a walk stops at the record's first and
// last sample whatever bound it was given, and an edge is never seen on the
// first sample of the record (the sample before it is not part of the
// capture).
//
// A level or bus condition at the head of the list finds the start of a
// stretch where the conditions hold: a sample whose neighbour on the side the
// search came from satisfies every level and bus condition as well is passed
// over. With an edge condition first every matching sample is reported.

#include "search/SearchCondition.h"

#include <cstdint>
#include <optional>
#include <span>

class CCaptureRecord;
class CFile;
class SearchPage;
class WSystem;

class WSearch
{
public:
    enum class Outcome {
        Found,        // Index is the matching sample
        NoMatch,      // the range was exhausted; Index is the start
        NoConditions, // nothing to search for; Index is the start
        NoCapture,    // the ring holds no valid capture; Index is the start
    };
    struct Step
    {
        Outcome What = Outcome::NoConditions;
        int64_t Index = 0;
    };

    // Conditions on rows the model lacks (or the "none" row) are left out;
    // the engine keeps no reference to `conditions`.
    WSearch(const WSystem &system, const CFile &settings, const CCaptureRecord &record,
            std::span<const SearchCondition> conditions);

    // Examines startIndex + 1, startIndex + 2, ... up to lastIndex.
    Step SearchForward(int64_t lastIndex, int64_t startIndex, uint32_t startAddress) const;
    // Examines startIndex - 1, startIndex - 2, ... down to firstIndex.
    Step SearchBackward(int64_t firstIndex, int64_t startIndex, uint32_t startAddress) const;

    // One Search Next (forward) or Search Previous on a page, from its
    // current sample to its first or last one; the page shows a found sample.
    Step SearchOn(SearchPage &page, bool forward) const;

    // At least one condition on a row of the model.
    bool HasConditions() const { return conditionCount > 0; }

    // The compiled form: a sample word x with the word before it e matches
    // when (x & Mask) == Value, (e & EarlierMask) == EarlierValue and
    // ((x ^ e) & ChangeMask) == ChangeMask. Stretch* is the level and bus
    // part, checked on the neighbour when StretchFirst.
    struct Compiled
    {
        uint32_t Mask = 0;
        uint32_t Value = 0;
        uint32_t EarlierMask = 0;
        uint32_t EarlierValue = 0;
        uint32_t ChangeMask = 0;
        uint32_t StretchMask = 0;
        uint32_t StretchValue = 0;
        bool StretchFirst = false;
        bool Possible = true; // false: contradicting conditions, a value wider than its bus
    };
    const Compiled &Terms() const { return terms; }

private:
    // The record sample number of a start address: negative before the
    // record, the record length or more after it.
    int64_t Locate(uint32_t startAddress) const;
    // The answer when there is nothing to walk.
    std::optional<Step> Refuse(int64_t startIndex, bool emptyRange) const;
    bool Matches(uint32_t x, uint32_t e) const;
    bool Stretch(uint32_t neighbour) const;
    uint32_t Word(int64_t n) const;

    const uint8_t *ring = nullptr;
    uint32_t ringMask = 0;
    uint32_t ringSamples = 0;
    uint32_t base = 0;   // ring address of record sample 0
    int64_t samples = 0; // record length
    bool valid = false;  // a capture to search
    int conditionCount = 0;
    Compiled terms;
};
