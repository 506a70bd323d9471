#pragma once

#include <array>
#include <cstdint>
#include <span>

class CFile;

// The run-parameter image of the compact models (codes 9 and 10): 29 words
// built from the settings record and sent in a 1024-byte buffer, which also
// receives the device's short reply carrying the end address.
class AFile
{
public:
    static constexpr size_t BufferSize = 1024;
    static constexpr int Words = 29;
    // The start of the device's reply that ReadTriggerReply takes (three
    // words); the device may end its reply after them.
    static constexpr size_t TriggerReplyBytes = 6;

    // Fills words 0..28 from the record and writes them to bytes 0..57 of the
    // buffer; the rest of the buffer keeps what it holds.
    void BuildRunImage(const CFile &record);
    // Takes the end address from the reply in the buffer into the record's
    // reported and export addresses.
    void ReadTriggerReply(CFile &record);

    // Word 0's high byte: 0 with the internal clock; with the external clock
    // 23 OR the rate code of the rate row (0 for rows 0..3, row - 2 after).
    static uint8_t ClockCode(const CFile &record);
    // The sample period of the record's rate row in picoseconds; with the
    // external clock the value of row 0 in the unit of row 7.
    static uint64_t SamplePeriodPs(const CFile &record);

    std::span<uint8_t, BufferSize> Buffer() { return std::span<uint8_t, BufferSize>(buffer); }

    int32_t ByteCursor = 0;
    std::array<uint16_t, Words> Word{};
    std::array<uint16_t, 3> ReplyWord{};
    std::array<uint8_t, BufferSize> buffer{};
};
