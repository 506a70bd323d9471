#pragma once

#include "display/WTime.h"
#include "protocols/CaptureWindow.h"
#include "protocols/DecodeTable.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The SPI decoder: a packet is one stretch of slave-select activity, its
// words are cut from the bits each enabled line (MOSI, MISO) samples on the
// clock edge of its mode. Produces per line the packet rows and one row of
// statistics, and the four level strips (SCK, SS, MOSI, MISO) for the page.
// Cost: one pass over the window reading each 32-bit sample word once
// straight from the ring, 16 samples at a time (SpiSamplePass), writing four
// strip bytes and two event bytes per sample (kept in the result, whose
// memory a page reuses), then one pass per enabled line over its event bytes,
// eight at a time (SpiPacketPass); texts are built only per word and packet.
class WSPI_Core
{
public:
    enum Mode { Cpol0Cpha0, Cpol0Cpha1, Cpol1Cpha0, Cpol1Cpha1, Raising, Falling };
    static constexpr int MinBits = 1, MaxBits = 28;

    struct Line
    {
        bool Enabled = true;
        int Mode = Cpol0Cpha0;
        int Channel = 2;
        int WordBits = 8; // MinBits..MaxBits
    };
    struct Settings
    {
        int SckChannel = 0;
        int SsChannel = 1;
        int BitOrder = 0; // 0 "MSB -> LSB", 1 "LSB -> MSB"
        int SsLevel = 1;  // 0 active high, 1 active low
        int TextMode = 2; // 0 binary, 1 decimal, 2 hexadecimal
        std::array<Line, 2> Lines{Line{true, Cpol0Cpha0, 2, 8}, Line{true, Cpol0Cpha0, 3, 8}};
    };
    static constexpr int Mosi = 0, Miso = 1;

    enum class Status { Decoded, ChannelMissing, BitsOutOfRange, BadMode };

    // Packet columns: number (from 1), error bits, words, data, message time,
    // time since the first packet, idle time before it. Statistics: minimum,
    // maximum and a third figure of message time, idle time, words and error
    // bits (12 columns, one row).
    static constexpr int PacketColumns = 7;
    static constexpr int StatisticsColumns = 12;
    // The built-in headers of the two tables (the page takes them from the
    // language file) and the names of the two lines.
    static std::vector<std::string> PacketHeaders();
    static std::vector<std::string> StatisticsHeaders();
    static constexpr std::array<const char *, 2> LineNames{"MOSI", "MISO"};

    struct LineResult
    {
        DecodeTable Packets{PacketColumns};
        DecodeTable Statistics{StatisticsColumns};
        std::vector<uint8_t> Trace; // the line's channel, one shape code per sample
    };
    struct Result
    {
        Status State = Status::Decoded;
        std::vector<uint8_t> SckTrace;
        std::vector<uint8_t> SsTrace;
        std::array<LineResult, 2> Lines;
        std::array<std::vector<uint8_t>, 2> Events; // the sample pass's, per line
    };

    // One run over the window at the given sample period. Bad settings give
    // no rows, strips of "no data" (10) and the reason in State. A disabled
    // line gets no rows; its strip is still made.
    static Result Decode(const CaptureWindow &window, const Settings &settings,
                         const WTime &period);
    // The same into `out`, whose memory is used again (a page keeps one
    // result and decodes into it at every Start).
    static void Decode(const CaptureWindow &window, const Settings &settings, const WTime &period,
                       Result &out);

    // Event codes of the sample pass, one per sample and line.
    static constexpr uint8_t EventBit0 = 0, EventBit1 = 1, EventFirst0 = 2, EventFirst1 = 3,
                             EventEnd = 4, EventNothing = 9;
};
