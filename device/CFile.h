#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

// One channel or bus of the signal list as the settings record holds it.
struct SignalEntry
{
    std::array<char, 10> Name{};       // up to 8 characters, zero-terminated
    std::array<uint16_t, 16> Members{};  // channel numbers; the channel count marks "none"
    uint16_t DisplayFormat = 0;
    uint16_t BitCount = 0;
    uint8_t InUse = 0;
    uint8_t Spare = 0;
    uint16_t Reserved = 0;
};

// The settings record: every acquisition and display setting, and its
// serialized form, the 4096-byte settings block that goes to the instrument
// and into project files. Fields the device reserves are carried unchanged.
class CFile
{
public:
    static constexpr size_t BlockSize = 4096;
    static constexpr uint16_t Magic = 0x55AA;
    static constexpr uint16_t LayoutLength = 3329;  // bytes from offset 0 up to the magic
    static constexpr int PatternRows = 4;
    static constexpr int MaxChannels = 32;

    // Trigger condition codes per pattern row and channel.
    enum Condition : uint8_t { CondLow = 0, CondHigh = 1, CondFall = 2, CondRise = 3, CondX = 5 };

    CFile() = default;

    void ResetSettings();
    void BuildBlock();
    // True when the block passed its checks and was loaded; a rejected block
    // leaves every field (but BlockSum) as it was.
    bool ParseBlock();

    std::span<uint8_t, BlockSize> Block() { return std::span<uint8_t, BlockSize>(BlockBuffer); }
    std::span<const uint8_t, BlockSize> Block() const
    {
        return std::span<const uint8_t, BlockSize>(BlockBuffer);
    }

    // The name of a channel or bus as text (at most 8 characters).
    static std::string_view NameText(const SignalEntry &entry);

    // The trigger type in force for a stored TriggerType: a stored 0 (an
    // older block, a parameter file without a known trigger mode) means
    // Pattern 1, for the trigger search, the pattern rows and the device.
    static constexpr int EffectiveTriggerType(int stored) { return stored == 0 ? 1 : stored; }
    int EffectiveTriggerType() const { return EffectiveTriggerType(TriggerType); }

    uint16_t BlockLength = 0;
    int16_t TimeDivRow = 3;
    int16_t RateRow = 3;
    uint8_t Reserved6 = 0;
    int16_t Reserved7 = 10;
    uint8_t Reserved9 = 1;
    int16_t TriggerPositionCode = 5;
    int16_t MemoryPercent = 5;
    std::array<uint16_t, 4> PortLevel{142, 142, 142, 142};  // [0] here, [1..3] at the end
    uint8_t Reserved16 = 1;
    uint8_t Reserved17 = 0x2D;
    int16_t MemoryDepthIndex = 0;
    uint8_t Reserved20 = 1;
    uint8_t Reserved21 = 1;
    int16_t Reserved22 = 0;
    std::array<std::array<uint8_t, MaxChannels>, PatternRows> TriggerCondition{};
    std::array<uint8_t, MaxChannels> DisplayOrder{};
    std::array<SignalEntry, MaxChannels> ChannelEntry{};
    std::array<SignalEntry, MaxChannels> BusEntry{};
    uint8_t TriggerType = 1;
    uint8_t Reserved3257 = 1;
    uint8_t Reserved3258 = 31;
    uint8_t ContinuousTrigger = 0;
    std::array<uint8_t, 2> Reserved3260{};
    int16_t Reserved3262 = 10;
    int16_t Reserved3264 = 0;
    uint8_t DelayNegative = 0;
    std::array<uint16_t, 5> DelayGroups{};
    uint8_t Reserved3277 = 0;
    std::array<uint16_t, 5> Reserved3278{};
    uint32_t PreTriggerBytes = 0;
    uint32_t PostTriggerBytes = 0;
    std::array<uint8_t, 2> Reserved3296{};
    uint32_t ExportTriggerAddress = 0;
    std::array<uint16_t, 2> Reserved3302{};
    uint32_t ReportedEndAddress = 0;
    uint8_t TriggerCounter = 1;
    uint8_t PulsePolarity = 0;
    uint8_t PulseCompare = 0;
    uint8_t PulseChannel = 0;
    int16_t PulseSamples = 0;
    uint8_t ClockSource = 0;
    uint8_t CaptureDone = 0;
    uint8_t PulseUnit = 1;
    uint16_t PulseWhole = 0;
    uint16_t PulseFraction = 0;
    uint16_t BlockMagic = Magic;
    uint16_t BlockSum = 0;
    uint8_t TriggerEditReload = 0;
    std::array<std::array<uint8_t, MaxChannels>, PatternRows> TriggerConditionEdit{};
    std::array<uint8_t, BlockSize> BlockBuffer{};
    uint8_t ModelCode = 0;
    uint32_t BlockCursor = 0;

private:
    template <typename Io> void Fields(Io &io);
};
