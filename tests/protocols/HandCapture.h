#pragma once

// Small hand-made captures for the decoder tests: sample words written one
// after another into a ring, with helpers that play I2C and SPI traffic.

#include "protocols/CaptureWindow.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

class HandCapture
{
public:
    // A ring of `ringBytes` bytes (a power of two); samples are written from
    // byte address `first` on and wrap at the ring's end.
    explicit HandCapture(uint32_t ringBytes = 4096, uint32_t first = 0)
        : ring(ringBytes, 0)
        , start(first)
    {}

    // Byte by byte, so that a sample may straddle the ring's end.
    void Put(uint32_t word)
    {
        for (uint32_t b = 0; b < 4; ++b)
            ring[(start + 4 * count + b) & (ring.size() - 1)] =
                static_cast<uint8_t>(word >> (8 * b));
        ++count;
    }
    void Hold(uint32_t word, int samples)
    {
        for (int k = 0; k < samples; ++k)
            Put(word);
    }
    // Sets or clears channel c in every sample from now on.
    void Level(int channel, bool high)
    {
        level = high ? level | 1u << channel : level & ~(1u << channel);
    }
    void Tick(int samples = 1) { Hold(level, samples); }

    // I2C on SCL CH0 / SDA CH1 (or the channels given): idle high.
    void I2cIdle(int samples = 4)
    {
        Level(scl, true);
        Level(sda, true);
        Tick(samples);
    }
    void I2cStart()
    {
        Level(scl, true);
        Level(sda, true);
        Tick();
        Level(sda, false);
        Tick();
        Level(scl, false);
        Tick();
    }
    // A bit starts by lowering SCL (if it is not low yet) and setting SDA.
    void I2cBit(bool b)
    {
        Level(scl, false);
        Level(sda, b);
        Tick();
        Level(scl, true);
        Tick(2);
        Level(scl, false);
        Tick();
    }
    void I2cBits(uint32_t value, int bits)
    {
        for (int k = bits - 1; k >= 0; --k)
            I2cBit((value >> k) & 1);
    }
    void I2cByte(uint8_t value, bool ack = true)
    {
        I2cBits(value, 8);
        I2cBit(!ack);
    }
    void I2cStop()
    {
        Level(scl, false);
        Level(sda, false);
        Tick();
        Level(scl, true);
        Tick();
        Level(sda, true);
        Tick();
    }

    // SPI mode 0 (data changes while SCK is low, sampled on the rise) on
    // SCK CH0, SS CH1 (active low), MOSI CH2, MISO CH3.
    void SpiSelect(bool active)
    {
        Level(1, !active);
        Tick(2);
    }
    // One clock period per bit with the given idle clock level; the data
    // change half-way through the period of the clock's idle level.
    void SpiBits(uint32_t mosi, uint32_t miso, int bits, bool cpol = false, bool cpha = false)
    {
        for (int k = bits - 1; k >= 0; --k) {
            if (!cpha) {
                Level(2, (mosi >> k) & 1);
                Level(3, (miso >> k) & 1);
            }
            Level(0, cpol);
            Tick();
            Level(0, !cpol);
            if (cpha) {
                Level(2, (mosi >> k) & 1);
                Level(3, (miso >> k) & 1);
            }
            Tick();
        }
        Level(0, cpol);
        Tick();
    }

    uint32_t Samples() const { return count; }
    CaptureWindow Window(int channels = 16) const
    {
        return CaptureWindow{ring, static_cast<uint32_t>(ring.size() - 1), start, count, channels};
    }

    std::vector<uint8_t> ring;
    uint32_t start;
    uint32_t count = 0;
    uint32_t level = 0;
    int scl = 0, sda = 1;
};
