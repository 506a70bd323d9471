#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the emulated instrument's signal scene shows, and with which content.
struct SceneOptions
{
    enum class Kind { Counter, I2c, Spi, Uart, Can, CpuBus };

    Kind Scene = Kind::Counter;
    std::vector<uint8_t> Data{0x48, 0x65, 0x6C, 0x6C, 0x6F}; // payload bytes ("Hello")
    uint32_t Address = 0x50;    // I2C slave address (7 bits), CPU bus start address
    uint32_t ClockHz = 100000;  // I2C and SPI bit clock
    uint32_t Baud = 9600;       // UART
    uint32_t BitRate = 125000;  // CAN
    uint32_t CanId = 0x123;     // CAN identifier
    bool Extended = false;      // CAN 29-bit identifier
    uint32_t GapUs = 100;       // idle time between frames
    // UART and CAN: the transmitter's clock runs this many percent fast
    // (negative: slow), so its bits last 100 / (100 + skew) of their time.
    int SkewPercent = 0;
    static constexpr int MaxSkewPercent = 20;
    uint32_t CounterTickNs = 0; // counter: 0 = one step every 8 samples, else a step per tick

    // UART frame format (data bits 5..8, parity 0 none / 1 odd / 2 even, stop
    // bits 1 or 2) and faults: the byte (1 = the first, -1 every byte, 0
    // none) whose parity bit is inverted or whose stop bit is low.
    int UartDataBits = 8;
    int UartParity = 0;
    int UartStopBits = 1;
    int ParityErrorAt = 0;
    int FramingErrorAt = 0;
    // CAN: remote frames, a data length code other than the byte count
    // (-1: the byte count), and faults on a frame (1 = the first, -1 every
    // frame, 0 none): a wrong CRC sent, the ACK slot left recessive.
    bool Remote = false;
    int Dlc = -1;
    int CrcErrorAt = 0;
    int NoAckAt = 0;
    // I2C: the address bits sent before R/W (7 or 10); a slave that
    // acknowledges no address; a repeated START instead of STOP and gap
    // between the write and the read.
    uint32_t I2cAddressBits = 7;
    bool I2cNack = false;
    bool I2cRestart = false;
    // SPI: bits per word, cut from the payload's bits.
    uint32_t SpiWordBits = 8;
};
