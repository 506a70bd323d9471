// The scans under the waveform's compressed columns: every sample of a
// stretch (ScanAll, four consecutive samples at a time), or an import's
// whole blocks through its summary (ScanSummarised). Qt-free.
#include "display/Graphics_Waveform.h"

#include "device/WSystem.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

uint32_t Load(const uint8_t *p)
{
    uint32_t w = 0;
    std::memcpy(&w, p, 4);
    return w;
}

// Four sample words in SIMD lanes (GCC/Clang vector extension; plain
// scalar code where the target has no vector unit).
using Lanes = uint32_t __attribute__((vector_size(16)));

// The samples p[0 .. n) that follow the word `previous`: ORs into `activity`
// the channels that change between consecutive samples and adds to
// changes[0..3] the number of samples that change a member of masks[0..3]
// (one bus each; a mask of 0 counts nothing). Returns the last word. Four
// consecutive samples are compared at a time, the loads overlapping by three
// words, so the stretch is read once at memory speed.
uint32_t ScanStretch(const uint8_t *p, uint64_t n, uint32_t previous, const uint32_t *masks,
                     uint32_t *changes, uint32_t &activity)
{
    if (n == 0)
        return previous;
    const uint32_t first = Load(p);
    uint32_t any = first ^ previous;
    for (int b = 0; b < 4; ++b)
        changes[b] += (any & masks[b]) != 0;

    const Lanes m0 = Lanes{} + masks[0];
    const Lanes m1 = Lanes{} + masks[1];
    const Lanes m2 = Lanes{} + masks[2];
    const Lanes m3 = Lanes{} + masks[3];
    Lanes acc{};
    Lanes z0{}; // lanes whose change missed bus 0 (a comparison gives -1 per lane)
    Lanes z1{};
    Lanes z2{};
    Lanes z3{};
    uint64_t k = 1;
    for (; k + 4 <= n; k += 4) {
        Lanes now;
        Lanes before;
        std::memcpy(&now, p + 4 * k, sizeof now);
        std::memcpy(&before, p + 4 * k - 4, sizeof before);
        const Lanes d = now ^ before;
        acc |= d;
        z0 -= reinterpret_cast<Lanes>((d & m0) == 0);
        z1 -= reinterpret_cast<Lanes>((d & m1) == 0);
        z2 -= reinterpret_cast<Lanes>((d & m2) == 0);
        z3 -= reinterpret_cast<Lanes>((d & m3) == 0);
    }
    const auto compared = static_cast<uint32_t>(k - 1);
    any |= acc[0] | acc[1] | acc[2] | acc[3];
    changes[0] += compared - (z0[0] + z0[1] + z0[2] + z0[3]);
    changes[1] += compared - (z1[0] + z1[1] + z1[2] + z1[3]);
    changes[2] += compared - (z2[0] + z2[1] + z2[2] + z2[3]);
    changes[3] += compared - (z3[0] + z3[1] + z3[2] + z3[3]);
    for (; k < n; ++k) {
        const uint32_t d = Load(p + 4 * k) ^ Load(p + 4 * k - 4);
        any |= d;
        for (int b = 0; b < 4; ++b)
            changes[b] += (d & masks[b]) != 0;
    }
    activity |= any;
    return Load(p + 4 * (n - 1));
}

} // namespace

uint32_t Graphics_Waveform::ScanAll(const uint8_t *p, uint64_t n, uint32_t previous,
                                    const uint32_t *masks, uint32_t *counts, size_t busTotal,
                                    uint32_t &activity)
{
    // Up to four buses per pass over the stretch (it is in the cache after
    // the first).
    uint32_t last = previous;
    for (size_t i = 0; i < std::max<size_t>(busTotal, 1); i += 4)
        last = ScanStretch(p, n, previous, masks + i, counts + i, activity);
    return last;
}

uint32_t Graphics_Waveform::ScanSummarised(uint32_t address, uint64_t n, uint32_t previous,
                                           const uint32_t *masks, uint32_t *counts, size_t busTotal,
                                           uint32_t &activity)
{
    constexpr uint64_t B = WSystem::SummaryBlock;
    const uint8_t *ring = System.SampleBuffer.data();
    const uint64_t s0 = address / 4;
    // The samples up to the first block boundary, the whole blocks, the rest.
    const uint64_t head = std::min<uint64_t>(n, (B - s0 % B) % B);
    const uint64_t blocks = (n - head) / B;
    if (blocks == 0)
        return ScanAll(ring + address, n, previous, masks, counts, busTotal, activity);
    uint32_t last = ScanAll(ring + address, head, previous, masks, counts, busTotal, activity);

    const uint64_t firstBlock = (s0 + head) / B;
    const uint32_t *summary = System.BlockChanges.data() + firstBlock;
    uint32_t any = 0;
    for (uint64_t j = 0; j < blocks; ++j)
        any |= summary[j];
    activity |= any;
    for (size_t i = 0; i < busTotal; ++i) {
        if ((any & masks[i]) == 0)
            continue;
        // Only "none, one or more than one change" matters: two blocks with a
        // change make two; one block is counted sample by sample.
        uint64_t changed = 0;
        uint64_t where = 0;
        for (uint64_t j = 0; j < blocks && changed < 2; ++j)
            if ((summary[j] & masks[i]) != 0) {
                ++changed;
                where = j;
            }
        if (changed >= 2) {
            counts[i] += 2;
            continue;
        }
        const uint64_t at = (firstBlock + where) * B;
        const uint64_t ringSamples = System.MemorySize / 4;
        const uint32_t before = Load(ring + 4 * ((at + ringSamples - 1) % ringSamples));
        std::array<uint32_t, 4> one{masks[i], 0, 0, 0};
        std::array<uint32_t, 4> count{};
        uint32_t unused = 0;
        ScanStretch(ring + 4 * at, B, before, one.data(), count.data(), unused);
        counts[i] += count[0];
    }
    const uint64_t tailStart = s0 + head + blocks * B;
    last = Load(ring + 4 * (tailStart - 1));
    return ScanAll(ring + 4 * tailStart, n - head - blocks * B, last, masks, counts, busTotal,
                   activity);
}
