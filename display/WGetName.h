#pragma once

#include <string>
#include <string_view>

class CFile;

// Reads (and, for the name keyboard, writes) channel and bus names in the
// settings record. A name is at most 8 characters followed by a zero byte.
class WGetName
{
public:
    static constexpr size_t MaxName = 8;

    explicit WGetName(CFile &settings) : file(settings) {}

    // The channel's name; an out-of-range channel has an empty name.
    std::string GetName(int channel) const;
    // The name of a signal-list row: a channel below channelCount, else bus
    // row - channelCount.
    std::string RowName(int row, int channelCount) const;
    // Clears the first nine name bytes of the row's entry and copies in at
    // most 8 characters of text. False for a row outside the record.
    bool SetRowName(int row, int channelCount, std::string_view text);

private:
    CFile &file;
};
