#include "protocols/CI2C.h"

#include "protocols/CaptureWindow.h"

#include <array>
#include <new>

namespace {

// Event of a sample from (previous SCL, previous SDA, SCL, SDA).
constexpr std::array<uint8_t, 16> EventTable = [] {
    std::array<uint8_t, 16> t{};
    for (int k = 0; k < 16; ++k) {
        const int pScl = (k >> 3) & 1, pSda = (k >> 2) & 1, scl = (k >> 1) & 1, sda = k & 1;
        if (pScl == 1 && pSda == 1 && scl == 1 && sda == 0)
            t[k] = CI2C::EventStart;
        else if (pScl == 1 && pSda == 0 && scl == 1 && sda == 1)
            t[k] = CI2C::EventStop;
        else if (pScl != 0 || scl != 1)
            t[k] = CI2C::EventNothing;
        else
            t[k] = static_cast<uint8_t>(sda);
    }
    return t;
}();

// Strip code from (previous level, level): 7 low, 9 changed, 4 high.
constexpr std::array<uint8_t, 4> TraceTable{7, 9, 9, 4};

uint32_t MaskOf(size_t size)
{
    return size != 0 && (size & (size - 1)) == 0 ? static_cast<uint32_t>(size - 1) : 0;
}

} // namespace

CI2C::CI2C(std::span<const uint8_t> sampleData, uint32_t byteCount)
    : data(sampleData)
{
    Init(32, byteCount);
}

bool CI2C::Init(unsigned bitsPerSample, uint32_t byteCount)
{
    BitsPerSample = bitsPerSample;
    BytesPerSample = bitsPerSample / 8;
    ByteCount = byteCount;
    BufferMask = MaskOf(data.size());
    // A ring that is not a power of two cannot be addressed with a mask.
    const bool usable = BytesPerSample != 0 && BufferMask != 0;
    Size = usable ? byteCount / BytesPerSample : 0;
    events.clear();
    try {
        events.assign(Size, EventNothing);
    } catch (const std::bad_alloc &) {
        Size = 0;
        return false;
    }
    return usable || byteCount == 0;
}

int CI2C::GetLogicData(uint32_t channel, uint32_t byteAddress) const
{
    if (BufferMask == 0)
        return 0;
    return (data[(byteAddress + channel / 8) & BufferMask] >> (channel % 8)) & 1;
}

bool CI2C::IIC_Analyzer(std::span<uint8_t> sclTrace, std::span<uint8_t> sdaTrace)
{
    if (sclTrace.size() < Size || sdaTrace.size() < Size || SclChannel >= 32 || SdaChannel >= 32 ||
        BytesPerSample != 4)
        return false;
    std::fill(events.begin(), events.end(), EventNothing);
    if (Size == 0)
        return true;
    CaptureWindow window{data, BufferMask, StartAddress, Size, 32};
    const uint32_t before = window.Word(window.AddressOf(-1));
    previousScl = static_cast<uint8_t>((before >> SclChannel) & 1);
    previousSda = static_cast<uint8_t>((before >> SdaChannel) & 1);
    uint32_t pScl = previousScl, pSda = previousSda;
    const uint32_t sclBit = SclChannel, sdaBit = SdaChannel;
    uint8_t *ev = events.data();
    uint8_t *sclOut = sclTrace.data();
    uint8_t *sdaOut = sdaTrace.data();
    window.ForEachWord([&](uint32_t i, uint32_t w) {
        const uint32_t scl = (w >> sclBit) & 1, sda = (w >> sdaBit) & 1;
        ev[i] = EventTable[pScl << 3 | pSda << 2 | scl << 1 | sda];
        sclOut[i] = TraceTable[pScl << 1 | scl];
        sdaOut[i] = TraceTable[pSda << 1 | sda];
        pScl = scl;
        pSda = sda;
    });
    currentScl = previousScl = static_cast<uint8_t>(pScl);
    currentSda = previousSda = static_cast<uint8_t>(pSda);
    return true;
}
