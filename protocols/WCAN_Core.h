#pragma once

#include "protocols/DecodeTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CCaptureRecord;
struct UartCanTiming;

// The CAN decoder: data and remote frames with standard (11-bit) and
// extended (29-bit) identifiers on one channel of the record (dominant is
// low), from the trigger event to the record's last sample. Stuff bits are
// removed; one row per frame: "BasicID", "ExtendedID", "RTR", "IDE",
// "Ctrl Field", "Data", "CRC", "ACK" and "Status".
//
// Beyond the fields, each frame is checked: the CRC-15 over the destuffed
// frame (start of frame to the last data bit) against the received CRC
// ("CRC Error"; the received CRC stays in its cell), six equal bits where a
// stuff bit belongs ("Stuff Error"; the frame ends there), a dominant bit in
// the CRC delimiter, the ACK delimiter or the end of frame ("Form Error"), a
// recessive ACK slot ("No ACK"), and a frame the record ends inside of
// ("Incomplete"). Several marks are joined by ", "; a clean frame reads "OK".
//
// Cost: the line is read one channel bit (one byte load from the ring) per
// sample while the bus is idle and one per bit inside a frame, plus about
// log2(samples per bit) per recessive-to-dominant edge; the frame's bits are
// kept in a fixed array, nothing is allocated but the rows.
class WCAN_Core
{
public:
    static constexpr std::array<uint32_t, 26> BitRates{
        1250,   2000,   2500,   3125,   4000,   5000,   6250,   8000,   10000,
        12500,  15625,  20000,  25000,  31250,  40000,  50000,  62500,  80000,
        100000, 125000, 200000, 250000, 400000, 500000, 800000, 1000000};
    static constexpr std::array<std::string_view, 26> BitRateTexts{
        "1,250",   "2,000",   "2,500",   "3,125",   "4,000",    "5,000",   "6,250",
        "8,000",   "10,000",  "12,500",  "15,625",  "20,000",   "25,000",  "31,250",
        "40,000",  "50,000",  "62,500",  "80,000",  "100,000",  "125,000", "200,000",
        "250,000", "400,000", "500,000", "800,000", "1,000,000"};
    static constexpr int DefaultRateIndex = 19; // 125,000
    // A rate of one's own (the command line's --rate): RateIndex
    // CustomIndex takes CustomRate, a whole number MinRate .. MaxRate.
    static constexpr int CustomIndex = 26;
    static constexpr uint32_t MinRate = 1000, MaxRate = 1000000;
    // Fewer samples per bit do not find a bit's middle between two edges
    // reliably; the decoder says so instead of listing frames.
    static constexpr uint32_t MinSamplesPerBit = 4;
    static constexpr int ColumnCount = 9;
    enum Column : int { BasicId, ExtendedId, Rtr, Ide, Control, Data, Crc, Ack, Status };

    static constexpr std::string_view TextOk = "OK";
    static constexpr std::string_view TextCrcError = "CRC Error";
    static constexpr std::string_view TextStuffError = "Stuff Error";
    static constexpr std::string_view TextFormError = "Form Error";
    static constexpr std::string_view TextNoAck = "No ACK";
    static constexpr std::string_view TextIncomplete = "Incomplete";

    // The built-in column headers (the page takes them from the language file).
    static std::vector<std::string> Headers();

    bool ShowExtendedId = true; // Extension Mode "Dispaly"
    int Channel = 0;
    int RateIndex = DefaultRateIndex;
    uint32_t CustomRate = 0; // with RateIndex CustomIndex

    // The bit rate chosen; 0 for an index out of range or a custom rate
    // outside MinRate .. MaxRate.
    uint32_t Rate() const;

    // Decodes the record. With a channel the model lacks, a rate whose bit
    // lasts fewer than MinSamplesPerBit samples or no record the table has
    // no rows and says why in its Message.
    //
    // Timing, as a CAN controller keeps it: a falling edge after 11
    // recessive bits (or on a record that is recessive from its first
    // sample) is a start of frame, and the bits are timed from it with the
    // exact bit length (hard synchronisation); every recessive-to-dominant
    // edge inside the frame, stuff bits included, times the bits after it
    // anew (resynchronisation; the edge is found by bisection between the
    // two bits' middles), so a transmitter whose clock is off by 1 % is
    // still read in the middle of every bit of a long frame.
    DecodeTable Decode(const CCaptureRecord &record, const UartCanTiming &timing) const;

    // The CRC-15 of CAN (polynomial 0x4599, initial value 0) over bits of
    // value 0 or 1, first bit first.
    static uint16_t Crc15(const uint8_t *bits, size_t count);

private:
    struct Frame;
    void WriteRow(DecodeTable &table, const Frame &frame) const;
};
