#pragma once

#include "device/SceneOptions.h"

#include <cstdint>
#include <vector>

// The input signals the emulated instrument sees: a counter like the Demo's,
// or bus traffic (I2C on CH0/CH1, SPI on CH0..CH3, UART on CH4, CAN on CH5, a
// CPU bus on CH0..CH15 with selects CH22..CH27 and strobes CH28/CH29) that
// repeats forever. Bus scenes are kept as one period of level changes; a
// sample is found by binary search, so reading n samples costs n log(changes).
class SignalScene
{
public:
    // Channels of the scene's wiring.
    static constexpr int I2cScl = 0, I2cSda = 1;
    static constexpr int SpiSck = 0, SpiSs = 1, SpiMosi = 2, SpiMiso = 3;
    static constexpr int UartTx = 4;
    static constexpr int CanLine = 5;
    static constexpr int CpuSelectIo2 = 22, CpuSelectIo1 = 23, CpuSelectRam2 = 24,
                         CpuSelectRam1 = 25, CpuSelectRom2 = 26, CpuSelectRom1 = 27;
    static constexpr int CpuWrite = 28, CpuRead = 29;

    SignalScene(const SceneOptions &options, int channels);

    // The input word at sample `n` taken every `periodPs` picoseconds
    // (n × periodPs must stay below 2^64).
    uint32_t Sample(uint64_t n, uint64_t periodPs) const;
    // One period of a bus scene, in picoseconds (0 for the counter).
    uint64_t LoopPs() const { return loopPs; }

    struct Change
    {
        uint64_t TimePs;
        uint32_t Word;
    };
    const std::vector<Change> &Changes() const { return changes; }

private:
    void BuildI2c(const SceneOptions &o);
    void BuildSpi(const SceneOptions &o);
    void BuildUart(const SceneOptions &o);
    void BuildCan(const SceneOptions &o);
    void BuildCpuBus(const SceneOptions &o);

    SceneOptions::Kind kind;
    uint32_t counterTickNs;
    uint32_t channelMask;
    std::vector<Change> changes;
    uint64_t loopPs = 0;
};
