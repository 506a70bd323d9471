#include "protocols/SpiSamplePass.h"

#include "protocols/SampleLanes.h"

#include <algorithm>
#include <array>
#include <bit>

using SampleLanes::Lanes;

namespace {

// How one line samples: its channel, whether bits are taken on rising (else
// falling) SCK edges, and whether an edge of the other kind must come first
// in a message (CPHA = 1), which arms the line.
struct LineMode
{
    uint32_t Bit = 0;
    bool Enabled = false;
    bool SampleRising = true;
    bool Arms = false;
};

LineMode ModeOf(const WSPI_Core::Line &line)
{
    LineMode m;
    // A disabled line's strip is still made; a channel it cannot have
    // (the model changed since) shows CH0 there.
    m.Bit = line.Channel >= 0 && line.Channel < 32 ? static_cast<uint32_t>(line.Channel) : 0;
    m.Enabled = line.Enabled;
    m.SampleRising = line.Mode == WSPI_Core::Cpol0Cpha0 || line.Mode == WSPI_Core::Cpol1Cpha1 ||
                     line.Mode == WSPI_Core::Raising;
    m.Arms = line.Mode == WSPI_Core::Cpol0Cpha1 || line.Mode == WSPI_Core::Cpol1Cpha1;
    return m;
}

// The state of one line between samples.
struct LineState
{
    bool FirstBitArmed = true;
    bool EndWritten = false;
    bool EdgeArmed = false;
};

uint32_t LowestBit(uint32_t m)
{
    return m & (0u - m);
}

// Puts right the events of up to 16 samples (the bits of `rest`) that the
// line's state decides. Bit k of `active` is SS activity at sample k, of
// `takes` a sampling edge there, of `arms` an arming edge; `events` holds
// the events as if no state changed: the data level at each sampling edge
// of an active sample, 9 elsewhere.
void Settle(const LineMode &m, LineState &l, uint32_t active, uint32_t takes, uint32_t arms,
            uint32_t rest, uint8_t *events)
{
    while (rest != 0) {
        // The stretch of equal SS activity that starts at the first sample.
        const uint32_t first = LowestBit(rest);
        const bool selected = (active & first) != 0;
        const uint32_t other = rest & (selected ? ~active : active);
        const uint32_t stretch = other == 0 ? rest : rest & (LowestBit(other) - 1);
        rest &= ~stretch;
        if (!selected) {
            // The first inactive sample after a message ends it.
            l.EdgeArmed = false;
            if (!l.EndWritten) {
                events[std::countr_zero(first)] = WSPI_Core::EventEnd;
                l.FirstBitArmed = l.EndWritten = true;
            }
            continue;
        }
        uint32_t taken = takes & stretch;
        if (m.Arms && !l.EdgeArmed) {
            // Sampling edges before the first arming edge take nothing.
            const uint32_t arm = arms & stretch;
            const uint32_t early = arm == 0 ? ~0u : LowestBit(arm) - 1;
            for (uint32_t e = taken & early; e != 0; e &= e - 1)
                events[std::countr_zero(e)] = WSPI_Core::EventNothing;
            taken &= ~early;
            l.EdgeArmed = arm != 0;
        }
        if (taken != 0 && l.FirstBitArmed) {
            events[std::countr_zero(taken)] += WSPI_Core::EventFirst0;
            l.FirstBitArmed = l.EndWritten = false;
        }
    }
}

} // namespace

void SpiSamplePass::Run(const CaptureWindow &window, const WSPI_Core::Settings &s,
                        WSPI_Core::Result &r)
{
    using namespace SampleLanes;
    const uint32_t sck = static_cast<uint32_t>(s.SckChannel);
    const uint32_t ss = static_cast<uint32_t>(s.SsChannel);
    const std::array<LineMode, 2> modes{ModeOf(s.Lines[0]), ModeOf(s.Lines[1])};
    std::array<LineState, 2> states{};

    // Per line: which edges sample and arm (0xFF rising, 0 falling), and
    // whether the line samples and arms at all.
    std::array<Lanes, 2> sampleRising, armRising, samples, armed;
    for (size_t k = 0; k < 2; ++k) {
        sampleRising[k] = Splat(modes[k].SampleRising ? 0xFF : 0);
        armRising[k] = ~sampleRising[k];
        samples[k] = Splat(modes[k].Enabled ? 0xFF : 0);
        armed[k] = Splat(modes[k].Enabled && modes[k].Arms ? 0xFF : 0);
    }
    const Lanes inactiveHigh = Splat(s.SsLevel == 1 ? 0xFF : 0);

    // The levels of the sample before each group of 16 (in the last lane).
    const uint32_t before = window.Word(window.AddressOf(-1));
    auto level = [&](uint32_t c) { return Splat((before >> c & 1) != 0 ? 0xFF : 0); };
    Lanes sckBefore = level(sck), ssBefore = level(ss);
    std::array<Lanes, 2> dataBefore{level(modes[0].Bit), level(modes[1].Bit)};

    const uint32_t count = window.Count;
    uint8_t *const outputs[6] = {r.SckTrace.data(),       r.SsTrace.data(),
                                 r.Lines[0].Trace.data(), r.Lines[1].Trace.data(),
                                 r.Events[0].data(),      r.Events[1].data()};
    alignas(16) uint8_t copy[4 * Width];
    alignas(16) uint8_t tail[6][Width];
    for (uint32_t i = 0; i < count; i += Width) {
        const uint32_t n = std::min(Width, count - i);
        // Sixteen words straight from the ring, or put together where they
        // run past its end (or past the window's last sample).
        const uint32_t address = window.AddressOf(i);
        const uint8_t *bytes = window.Ring.data() + address;
        if (address + sizeof copy > window.Ring.size()) {
            std::memset(copy, 0, sizeof copy);
            for (uint32_t k = 0; k < n; ++k) {
                const uint32_t w = window.Word(window.AddressOf(int64_t{i} + k));
                std::memcpy(copy + 4 * k, &w, 4);
            }
            bytes = copy;
        }
        const Words words(bytes);

        const Lanes clock = words.Levels(sck), select = words.Levels(ss);
        const Lanes clockBefore = Previous(sckBefore, clock);
        const Lanes rising = clock & ~clockBefore, falling = clockBefore & ~clock;
        const Lanes active = select ^ inactiveHigh;
        std::array<Lanes, 6> lanes;
        lanes[0] = StripCodes(clockBefore, clock);
        lanes[1] = StripCodes(Previous(ssBefore, select), select);
        std::array<uint32_t, 2> takes, arms;
        for (size_t k = 0; k < 2; ++k) {
            const Lanes data = words.Levels(modes[k].Bit);
            lanes[2 + k] = StripCodes(Previous(dataBefore[k], data), data);
            const Lanes take = Select(sampleRising[k], rising, falling) & active & samples[k];
            lanes[4 + k] = Select(take, data & 1, Splat(WSPI_Core::EventNothing));
            takes[k] = Mask(take);
            arms[k] = Mask(Select(armRising[k], rising, falling) & active & armed[k]);
            dataBefore[k] = data;
        }
        sckBefore = clock;
        ssBefore = select;

        uint8_t *events[2];
        for (size_t k = 0; k < 6; ++k) {
            uint8_t *to = n == Width ? outputs[k] + i : tail[k];
            std::memcpy(to, &lanes[k], Width);
            if (k >= 4)
                events[k - 4] = to;
        }
        const uint32_t activeMask = Mask(active), valid = (1u << n) - 1;
        for (size_t k = 0; k < 2; ++k)
            Settle(modes[k], states[k], activeMask, takes[k], arms[k], valid, events[k]);
        if (n < Width) {
            for (size_t k = 0; k < 6; ++k)
                std::memcpy(outputs[k] + i, tail[k], n);
        }
    }
}
