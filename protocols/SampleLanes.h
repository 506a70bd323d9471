#pragma once

// Sixteen consecutive samples at a time, one byte per sample: the levels of a
// channel as 0xFF (high) or 0 (low), and what is computed from them (shape
// codes, edges, events). The byte arithmetic uses the compiler's vector
// types, which work on every target; only gathering a channel's bits out of
// the sample words and gathering the bytes' top bits into a mask use SSE2
// where the target has it (every x86-64), and plain loops elsewhere.

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace SampleLanes {

using Lanes = uint8_t __attribute__((vector_size(16)));
constexpr uint32_t Width = 16;

inline Lanes Splat(uint8_t v)
{
    return Lanes{} + v;
}

// Sixteen sample words (64 bytes, any alignment), loaded once for all the
// channels read from them.
struct Words
{
#if defined(__SSE2__)
    __m128i Quarter[4];
    explicit Words(const uint8_t *bytes)
    {
        for (int k = 0; k < 4; ++k)
            Quarter[k] = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + 16 * k));
    }
#else
    uint32_t Word[Width];
    explicit Words(const uint8_t *bytes)
    {
        std::memcpy(Word, bytes, sizeof Word);
    }
#endif

    // Channel c (0..31) of each word: 0xFF high, 0 low.
    Lanes Levels(uint32_t c) const
    {
#if defined(__SSE2__)
        // Bit c to each word's sign bit; the signed packs keep the sign.
        const __m128i up = _mm_cvtsi32_si128(static_cast<int>(31 - c));
        const __m128i low =
            _mm_packs_epi32(_mm_sll_epi32(Quarter[0], up), _mm_sll_epi32(Quarter[1], up));
        const __m128i high =
            _mm_packs_epi32(_mm_sll_epi32(Quarter[2], up), _mm_sll_epi32(Quarter[3], up));
        return std::bit_cast<Lanes>(
            _mm_cmplt_epi8(_mm_packs_epi16(low, high), _mm_setzero_si128()));
#else
        Lanes l{};
        for (uint32_t k = 0; k < Width; ++k)
            l[k] = (Word[k] >> c & 1) != 0 ? 0xFF : 0;
        return l;
#endif
    }
};

// Bit k of the result is the top bit of byte k.
inline uint32_t Mask(Lanes l)
{
#if defined(__SSE2__)
    return static_cast<uint32_t>(_mm_movemask_epi8(std::bit_cast<__m128i>(l)));
#else
    uint32_t m = 0;
    for (uint32_t k = 0; k < Width; ++k)
        m |= static_cast<uint32_t>(l[k] >> 7) << k;
    return m;
#endif
}

// Each sample's predecessor: the last lane of `before`, then `now` without
// its last lane.
inline Lanes Previous(Lanes before, Lanes now)
{
#if defined(__SSE2__)
    // (The generic shuffle becomes sixteen byte moves on SSE2.)
    return std::bit_cast<Lanes>(_mm_or_si128(_mm_slli_si128(std::bit_cast<__m128i>(now), 1),
                                             _mm_srli_si128(std::bit_cast<__m128i>(before), 15)));
#else
    return __builtin_shufflevector(before, now, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27,
                                   28, 29, 30);
#endif
}

// `yes` where `mask` is 0xFF, `no` where it is 0.
inline Lanes Select(Lanes mask, Lanes yes, Lanes no)
{
    return (mask & yes) | (~mask & no);
}

// The strip code of a level from (previous level, level): 9 changed, else 4
// high and 7 low.
inline Lanes StripCodes(Lanes previous, Lanes now)
{
    return Select(previous ^ now, Splat(9), Splat(7) ^ (now & 3));
}

} // namespace SampleLanes
