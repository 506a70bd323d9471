#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The first pass of the I2C decoder: classifies every sample of the decode
// window as a START, a STOP, a data bit (SCL rose; the bit is SDA) or
// nothing, and writes the level strips of SCL and SDA (shape codes 4 high,
// 7 low, 9 changed) for the page.
// Cost: one linear pass reading one 32-bit word per sample straight from the
// ring; Init allocates the event array (one byte per sample); the strips are
// the caller's (one byte per sample each: the page widens only the part it
// draws to Plotrune's 32-bit codes).
class CI2C
{
public:
    // Event codes, one per sample.
    static constexpr uint8_t EventBit0 = 0, EventBit1 = 1, EventStart = 2, EventStop = 7,
                             EventNothing = 8;

    // Over the capture buffer (the sample ring, a power of two in size),
    // with the window length `byteCount` (4 bytes per sample).
    CI2C(std::span<const uint8_t> sampleData, uint32_t byteCount);

    // Bits per sample (a multiple of 8) and the window length in bytes; makes
    // the event array of GetSize() entries, all "nothing". False when the
    // array cannot be made; the object is then empty.
    bool Init(unsigned bitsPerSample, uint32_t byteCount);
    uint32_t GetSize() const { return Size; }
    // Bit (channel mod 8) of byte (byteAddress + channel div 8), masked into the ring.
    int GetLogicData(uint32_t channel, uint32_t byteAddress) const;

    // The classification pass over GetSize() samples from StartAddress. Both
    // strips must hold GetSize() entries. False (with nothing written) when
    // a strip is too short or a channel is not one of the word's 32 bits.
    bool IIC_Analyzer(std::span<uint8_t> sclTrace, std::span<uint8_t> sdaTrace);

    const std::vector<uint8_t> &Events() const { return events; }

    int TextMode = 0; // 0 binary, 1 decimal, 2 hexadecimal
    uint32_t StartAddress = 0;
    int AddressBits = 7;
    int DataBits = 8;
    uint8_t AckLevel = 0;
    uint8_t ReadLevel = 1;
    uint32_t SclChannel = 0;
    uint32_t SdaChannel = 1;
    uint32_t BufferMask = 0;
    uint32_t BitsPerSample = 32;
    uint32_t BytesPerSample = 4;
    uint32_t ByteCount = 0;
    uint32_t Size = 0;
    std::string Name = "I2C Bus";

private:
    std::span<const uint8_t> data;
    std::vector<uint8_t> events;
    uint8_t previousScl = 0, previousSda = 0, currentScl = 0, currentSda = 0;
};
