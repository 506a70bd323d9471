#pragma once

#include "display/WTime.h"
#include "protocols/CaptureWindow.h"
#include "protocols/DecodeTable.h"

#include <cstdint>
#include <string>
#include <vector>

// The I2C decoder: classifies the decode window with CI2C, cuts it into
// packets at START/STOP (a repeated START ends one packet and opens the
// next), decodes address, direction and data words, and keeps a summary per
// address text. The results are plain rows of texts for the page.
// Cost: two linear passes over the window (CI2C's, then one over its event
// bytes); per sample one event byte (allocated per run) and two strip bytes
// (kept in the result, whose memory a page reuses); texts are built only per
// packet, into the result's tables.
class WI2C_Analyzer
{
public:
    struct Settings
    {
        int AddressBits = 7; // 1..MaxBits
        int DataBits = 8;    // 1..MaxBits
        uint8_t AckLevel = 0;
        uint8_t ReadLevel = 1;
        int SclChannel = 0;
        int SdaChannel = 1;
        int TextMode = 2; // 0 binary, 1 decimal, 2 hexadecimal
    };
    static constexpr int MaxBits = 32;

    enum class Status { Decoded, ChannelMissing, BitsOutOfRange, NoMemory };

    // Packet columns: number (from 0), status, address, message time, idle
    // time, direction, words, data. Address columns: address, times, average
    // message time, reads, writes.
    static constexpr int PacketColumns = 8;
    static constexpr int AddressColumns = 5;
    // The built-in headers of the two tables (the page takes them from the
    // language file).
    static std::vector<std::string> PacketHeaders();
    static std::vector<std::string> AddressHeaders();

    struct Result
    {
        Status State = Status::Decoded;
        DecodeTable Packets{PacketColumns};
        DecodeTable Addresses{AddressColumns};
        std::vector<uint8_t> SclTrace; // one shape code per sample
        std::vector<uint8_t> SdaTrace;
    };

    // One run over the window at the given sample period. Bad settings
    // (a channel the model lacks, a bit count outside 1..MaxBits) give no
    // rows, strips of "no data" (10) and the reason in State.
    static Result Decode(const CaptureWindow &window, const Settings &settings,
                         const WTime &period);
    // The same into `out`, whose memory is used again (a page keeps one
    // result and decodes into it at every Start).
    static void Decode(const CaptureWindow &window, const Settings &settings, const WTime &period,
                       Result &out);

    // Duration text of the I2C page: the first non-zero group among seconds
    // .. nanoseconds in decimal, then every lower group down to the last
    // non-zero one as three digits after a ".", then the unit of the first
    // group ("S ", "mS ", "uS ", "nS "). 1 ms 5 us reads "1.005mS ",
    // 1 ms 0 us 7 ns "1.000007mS ", 12 us "12uS ", zero "0nS".
    static std::string DurationText(const WTime &d);
};
