#pragma once

#include <array>
#include <cstdint>
#include <span>

class CFile;
class WSystem;

// Where the record lies in the sample ring, and the software confirmation of
// the trigger after a read-out. The ring itself (and its saved copy) belongs
// to WSystem; every reader of samples (views, decoders, search, the
// unattended program) goes through the placement kept here.
// Cost: reads are one masked load from the ring; SaveCapture/RestoreCapture
// copy the whole ring (up to 4 MiB); ConfirmTrigger reads at most L + R
// samples (2 M for the Demo window) and allocates nothing.
class CCaptureRecord
{
public:
    CCaptureRecord(WSystem &system, CFile &settings);

    // Ring arithmetic over unsigned 32-bit byte addresses.
    static uint32_t RingForward(uint32_t pos, uint32_t step, uint32_t size, uint32_t base = 0)
    {
        return step < size - pos ? pos + step : step - (size - pos) + base;
    }
    static uint32_t RingBack(uint32_t pos, uint32_t step, uint32_t size)
    {
        return pos >= step ? pos - step : size - step + pos;
    }

    uint32_t RingSize() const;
    uint32_t RingMask() const;

    // The sample word at a byte address (masked into the ring).
    uint32_t ReadSample(uint32_t address) const;
    // One channel's bit; channels the model lacks read as 0.
    int ChannelBit(uint32_t address, int channel) const;
    // The ring itself (RingSize() bytes), for readers that walk it sample by
    // sample in a tight loop; byte addresses are masked with RingMask().
    const uint8_t *RingData() const;
    // A bus's value: members in definition order, the first one ends as the
    // most significant bit; members at or above the channel count are "none".
    uint32_t BusValue(uint32_t sampleWord, int bus) const;
    static uint32_t BusValue(uint32_t sampleWord, std::span<const uint16_t> members,
                             int channelCount);

    // After a read-out: places end, trigger and start of the record, confirms
    // the trigger and falls back to the last confirmed capture when it cannot
    // be confirmed. True when this capture was confirmed.
    bool PlaceRecord();
    void SaveCapture();
    void RestoreCapture();
    bool ConfirmTrigger();
    // True when the trigger settings leave nothing to search for.
    bool TriggerIsDontCare() const;
    // Does the sample pair (earlier, later) satisfy the trigger condition?
    bool PairMatches(uint32_t earlier, uint32_t later) const;

    uint32_t SampleAddress(uint32_t n) const { return (RecordStart + 4 * n) & RingMask(); }

    // The user chose another depth or trigger position: the capture stays
    // valid only while both match the ones it was read out with.
    void SetDepthAndPosition(int depthIndex, int triggerPosition);
    // Tenths of the record before the trigger, 1..9 from the trigger
    // position list; 0 puts the trigger at the record's first sample (a
    // capture brought in from a Value Change Dump).
    void SetTriggerPosition(int triggerPosition);

    // The demo run's pattern: word i * 0x10001 repeated eight times per line,
    // in both rings.
    void FillDemoRun();

    uint16_t DepthIndex = 2;
    uint32_t DepthSamples = 0;
    int16_t TriggerPosition = 5;
    uint16_t PreTriggerPercent = 50;
    uint16_t PostTriggerPercent = 50;
    uint32_t EndAddress = 0;
    uint32_t TriggerAddress = 0;
    uint32_t RecordStart = 0;
    std::array<uint32_t, 3> SavedPlacement{}; // RecordStart, TriggerAddress, EndAddress
    uint8_t CaptureValid = 0;
    uint8_t CaptureValidAtReadout = 0;

    // Set by the time base: the pulse width fits the trigger's counter.
    bool PulseWidthRepresentable = true;
    // Set by acquisition control for a run whose positive delay reaches past
    // the record's pre-trigger span: nothing to confirm.
    bool NotConfirmable = false;

    // The trigger condition compiled into mask terms, so the search costs a
    // few operations per sample whatever the channel count.
    struct Term
    {
        uint32_t eMask = 0;
        uint32_t eValue = 0;
        uint32_t xMask = 0;
        uint32_t xValue = 0;
        bool possible = true;
        bool Matches(uint32_t e, uint32_t x) const
        {
            return possible && (e & eMask) == eValue && (x & xMask) == xValue;
        }
    };
    struct Matcher
    {
        std::array<Term, 2> terms{};
        int count = 0;
        bool Matches(uint32_t e, uint32_t x) const
        {
            return (count > 0 && terms[0].Matches(e, x)) || (count > 1 && terms[1].Matches(e, x));
        }
    };
    Matcher CompileTrigger() const;
    // Bits of a sample word that carry channels of this model.
    uint32_t ChannelMask() const;

private:
    uint32_t Word(const uint8_t *ring, uint32_t address) const;

    WSystem &sys;
    CFile &file;
    uint16_t readoutDepthIndex = 0xFFFF;
    int16_t readoutTriggerPosition = -1;
};
