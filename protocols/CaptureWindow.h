#pragma once

#include <cstdint>
#include <cstring>
#include <span>

class CCaptureRecord;
class CFile;
class WSystem;

// The stretch of the sample ring a decoder reads: `Count` samples from byte
// address `Start`, 4 bytes apart, wrapping with `Mask`. It only points into
// the ring (which must outlive it) and never reads outside it: every address
// is masked, and a word that straddles the ring's end is put together byte by
// byte, so channel c of sample i is bit c mod 8 of byte (Start + 4i + c div 8)
// AND Mask, whatever the alignment of Start.
struct CaptureWindow
{
    std::span<const uint8_t> Ring; // RingSize bytes, a power of two
    uint32_t Mask = 0;             // RingSize - 1
    uint32_t Start = 0;            // byte address of sample 0
    uint32_t Count = 0;            // samples in the window
    int Channels = 0;              // channels of the model (16 or 32)

    // The decode window of the protocol pages: `DepthSamples` samples ending
    // where the record's post-trigger part ends, that is starting
    // floor(depth x MemoryPercent / 10) samples before the trigger sample.
    // The depth is cut to the ring's size, and an empty ring gives an empty
    // window.
    static CaptureWindow OfRecord(const CCaptureRecord &record, const WSystem &system,
                                  const CFile &settings);

    // Byte address of sample i (i may be -1: the sample before the window).
    uint32_t AddressOf(int64_t i) const
    {
        return static_cast<uint32_t>(Start + static_cast<uint32_t>(i) * 4u) & Mask;
    }

    // The 32-bit word whose bit c is channel c, read at a masked byte address.
    uint32_t Word(uint32_t address) const
    {
        address &= Mask;
        uint32_t w = 0;
        if (address + 4 <= Ring.size()) {
            std::memcpy(&w, Ring.data() + address, 4);
            return w; // the ring is little-endian, as the host
        }
        for (uint32_t k = 0; k < 4; ++k)
            w |= uint32_t{Ring[(address + k) & Mask]} << (8 * k);
        return w;
    }

    // Visits the window as runs of consecutive samples laid out in memory:
    // fn(first index, count, bytes) with 4 x count bytes of little-endian
    // words. Inside the ring the bytes are the ring's own; a word that crosses
    // the ring's end comes alone, from a copy.
    template <typename Fn> void ForEachRun(Fn &&fn) const
    {
        if (Ring.empty())
            return;
        uint32_t a = Start & Mask;
        uint32_t i = 0;
        while (i < Count) {
            const uint32_t room = a + 4 <= Ring.size() ? (Mask + 1 - a - 4) / 4 + 1 : 0;
            const uint32_t run = room < Count - i ? room : Count - i;
            if (run > 0)
                fn(i, run, Ring.data() + a);
            i += run;
            a = (a + 4 * run) & Mask;
            if (i < Count && room == 0) {
                uint8_t copy[4];
                const uint32_t w = Word(a);
                std::memcpy(copy, &w, 4);
                fn(i, uint32_t{1}, static_cast<const uint8_t *>(copy));
                ++i;
                a = (a + 4) & Mask;
            }
        }
    }

    // Visits every sample of the window in order: fn(index, word).
    template <typename Fn> void ForEachWord(Fn &&fn) const
    {
        ForEachRun([&fn](uint32_t first, uint32_t count, const uint8_t *bytes) {
            for (uint32_t k = 0; k < count; ++k) {
                uint32_t w;
                std::memcpy(&w, bytes + 4 * k, 4);
                fn(first + k, w);
            }
        });
    }
};
