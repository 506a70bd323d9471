#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CCaptureRecord;
class CFile;
class WSystem;

// A capture as the sample exports see it, apart from the ring and the
// settings record: named signals (a channel, or a bus whose members are
// listed from its most significant bit down), the sample period and the
// sample words in time order (channel c is bit c). The VCD and CSV writers
// read it; a reader of those files can fill the same model.
// Cost: one 32-bit word per sample (4 MiB for the largest record) and a
// short name and member list per signal.
struct SampleTrace
{
    struct Signal
    {
        std::string Name;
        std::vector<uint8_t> Channels; // most significant first; one for a channel

        int Width() const { return static_cast<int>(Channels.size()); }
        uint32_t Value(uint32_t word) const
        {
            uint32_t v = 0;
            for (uint8_t c : Channels)
                v = (v << 1) | ((word >> c) & 1u);
            return v;
        }
    };

    uint64_t PeriodPs = 0;     // from one sample to the next
    uint64_t TriggerIndex = 0; // the trigger sample's index in Words
    std::vector<Signal> Signals;
    std::vector<uint32_t> Words;

    // The bits of a word any signal reads.
    uint32_t ChannelMask() const;

    // The record's samples (the window the protocol pages decode) with the
    // rows of the signal list in list order, or every channel of the model
    // when the list is empty or `everyChannel` is set. Names are the
    // channels' and buses' own, with characters a waveform file cannot
    // carry in a name (spaces, controls, anything beyond ASCII) as "_", and
    // a repeated name followed by "_2", "_3", ...
    static SampleTrace OfRecord(const CCaptureRecord &record, const WSystem &system,
                                const CFile &settings, uint64_t periodPs, bool everyChannel);
};
