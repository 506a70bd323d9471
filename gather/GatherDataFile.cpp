#include "gather/GatherDataFile.h"

#include "files/AtomicFile.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

std::string GatherDataFile::TimeText(std::chrono::system_clock::time_point when)
{
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(when.time_since_epoch()).count() % 1000;
    const std::time_t seconds = system_clock::to_time_t(when);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char text[96];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d/%02d:%02d:%02d.%03d",
                  std::clamp(local.tm_year + 1900, 0, 9999), local.tm_mon + 1, local.tm_mday,
                  local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms < 0 ? 0 : ms));
    return std::string(text, TimeTextBytes);
}

std::vector<uint8_t> GatherDataFile::Bytes(uint8_t status, const std::string &timeText,
                                           uint32_t triggerAddress, std::span<const uint8_t> memory)
{
    std::vector<uint8_t> bytes(HeaderBytes + memory.size(), 0);
    bytes[0] = status;
    std::copy_n(timeText.begin(), std::min(timeText.size(), TimeTextBytes), bytes.begin() + 1);
    for (int i = 0; i < 4; ++i)
        bytes[24 + static_cast<size_t>(i)] = static_cast<uint8_t>(triggerAddress >> (24 - 8 * i));
    std::copy(memory.begin(), memory.end(), bytes.begin() + HeaderBytes);
    return bytes;
}

bool GatherDataFile::Write(const std::string &path, uint8_t status, uint32_t triggerAddress,
                           std::span<const uint8_t> memory)
{
    if (path.empty())
        return false;
    const auto bytes =
        Bytes(status, TimeText(std::chrono::system_clock::now()), triggerAddress, memory);
    return AtomicFile::Write(path, bytes);
}
