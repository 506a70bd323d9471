#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Writes a whole file through a temporary file in the same folder that is
// flushed and then renamed over the target, so readers see either the old or
// the new content, never a half-written file (a full disk leaves the old one).
class AtomicFile
{
public:
    static bool Write(const std::string &path, std::span<const uint8_t> data);
    static bool Write(const std::string &path, std::string_view data);
};
