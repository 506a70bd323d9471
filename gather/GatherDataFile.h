#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The data file Gathermoor writes after every capture, replacing the old one
// whole (a reader sees the old file or the new one, never half a capture):
//   0   1 byte    status (CFileSystem::StatusByte)
//   1   23 bytes  local time of writing, "YYYY/MM/DD/hh:mm:ss.mmm", no terminator
//   24  4 bytes   byte address of the trigger sample, most significant first
//   28  ...       the sample memory as read, in the device's ring order
// Cost: one copy of the memory (up to 4 MiB) into the file's bytes.
class GatherDataFile
{
public:
    static constexpr size_t HeaderBytes = 28;
    static constexpr size_t TimeTextBytes = 23;

    // The time text of a moment, in local time.
    static std::string TimeText(std::chrono::system_clock::time_point when);
    static std::vector<uint8_t> Bytes(uint8_t status, const std::string &timeText,
                                      uint32_t triggerAddress, std::span<const uint8_t> memory);
    // Writes the file with the time of now; false when it could not be
    // written (the old file is then left as it was).
    static bool Write(const std::string &path, uint8_t status, uint32_t triggerAddress,
                      std::span<const uint8_t> memory);
};
