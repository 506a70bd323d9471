#pragma once

#include "protocols/DecodeTable.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CCaptureRecord;
struct UartCanTiming;

// The UART decoder: asynchronous frames (start bit, 5 to 8 data bits, an
// optional parity bit, 1 or 2 stop bits) on one channel of the record, from
// the trigger event to the record's last sample, one row per frame:
// "Packet", "Data", "Parity", "Status", "Start Time". The page copies its
// choices into the public fields and calls Decode.
//
// Cost: the line is read one channel bit (one byte load from the ring) per
// sample while it is idle and during the stop bits, one per bit inside a
// frame and about log2(samples per bit) more per edge inside it; nothing is
// allocated but the rows (five short texts per frame).
// A frame the record ends inside of gives no row.
class WUART
{
public:
    static constexpr std::array<uint32_t, 18> BaudRates{75,    110,   134,   150,   300,    600,
                                                        1200,  1800,  2400,  4800,  7200,   9600,
                                                        14400, 19200, 38400, 57600, 115200, 128000};
    static constexpr int DefaultBaudIndex = 11; // 9600
    // The page's "Custom" entry after the 18 rates: the rate is CustomBaud,
    // a whole number of baud in MinBaud .. MaxBaud.
    static constexpr int CustomIndex = 18;
    static constexpr uint32_t MinBaud = 50, MaxBaud = 10000000;
    // A bit is sampled in its middle; with fewer samples per bit than this
    // the middle is no longer found reliably (the edge itself is only known
    // to a sample), and the decoder says so instead of listing frames.
    static constexpr uint32_t MinSamplesPerBit = 3;

    enum Parity : int { ParityNone = 0, ParityOdd = 1, ParityEven = 2 };
    enum Direction : int { LsbFirst = 0, MsbFirst = 1 };
    enum Source : int { FromIC = 0, FromRS232 = 1 };
    enum TextModes : int { Ascii = 0, Both = 1, Hex = 2 };

    static constexpr int ColumnCount = 5;
    static std::vector<std::string> Headers();

    int Channel = 0;
    int BaudIndex = DefaultBaudIndex;
    uint32_t CustomBaud = 0; // with BaudIndex CustomIndex
    int FrameBits = 8; // data bits, plus one with a parity bit
    int ParityMode = ParityNone;
    int StopBits = 1;
    int DataDirection = LsbFirst;
    int DataSource = FromIC; // "From RS-232" reads the inverted line
    int TextMode = Ascii;

    int DataBits() const { return FrameBits - (ParityMode != ParityNone ? 1 : 0); }
    // The baud rate chosen: a rate of the list or the custom one; 0 for an
    // index out of range or a custom rate outside MinBaud .. MaxBaud.
    uint32_t Baud() const;
    // The line level between frames; a start bit takes the other one.
    int IdleLevel() const { return DataSource == FromRS232 ? 0 : 1; }

    // Decodes the record. With a channel the model lacks, a setting out of
    // range, a baud rate whose bit lasts fewer than MinSamplesPerBit samples
    // or no record the table has no rows and says why in its Message.
    //
    // Timing: every frame is timed from its own start edge with the exact
    // bit length (UartCanTiming::BitLength), and again from every edge
    // inside the frame (the edge between two bits sampled with different
    // levels is found by bisection between their middles), so that a
    // transmitter whose clock is a few percent off is still sampled in the
    // middle of each bit: the error only grows over a run of equal bits.
    DecodeTable Decode(const CCaptureRecord &record, const UartCanTiming &timing) const;

    // The "Data" text of a value: "ASCII" the character of its lower seven
    // bits, "Hex" "0x" and at least ceil(frame bits / 4) upper-case digits,
    // "Both" the character, "   (0x", the digits and ")".
    std::string DataText(uint32_t value) const;

private:
    std::string CheckSettings(const CCaptureRecord &record, const UartCanTiming &timing) const;
};
