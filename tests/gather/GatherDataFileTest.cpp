#include "gather/GatherDataFile.h"

#include "../analyzer/AnalyzerTestFolder.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

TEST(GatherDataFile, StatusTimeAddressMostSignificantFirstThenTheMemory)
{
    const std::vector<uint8_t> memory{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
    const auto bytes = GatherDataFile::Bytes(255, "2026/12/10/13:08:15.042", 0x0012ABCD, memory);
    std::vector<uint8_t> expected{255};
    for (char c : std::string("2026/12/10/13:08:15.042"))
        expected.push_back(static_cast<uint8_t>(c));
    expected.insert(expected.end(), {0x00, 0x12, 0xAB, 0xCD});
    expected.insert(expected.end(), memory.begin(), memory.end());
    EXPECT_EQ(bytes, expected);
}

TEST(GatherDataFile, TimeTextIsLocalTimeZeroPaddedWithMilliseconds)
{
    std::tm local{};
    local.tm_year = 2027 - 1900;
    local.tm_mon = 0;
    local.tm_mday = 2;
    local.tm_hour = 3;
    local.tm_min = 4;
    local.tm_sec = 5;
    local.tm_isdst = -1;
    const auto when =
        std::chrono::system_clock::from_time_t(std::mktime(&local)) + std::chrono::milliseconds(7);
    EXPECT_EQ(GatherDataFile::TimeText(when), "2027/01/02/03:04:05.007");
}

TEST(GatherDataFile, AFailedWriteLeavesTheOldFile)
{
    AnalyzerTestFolder folder;
    const std::string path = folder.File("capture.bin");
    const std::vector<uint8_t> memory(16, 0xA5);
    ASSERT_TRUE(GatherDataFile::Write(path, 0, 4, memory));
    EXPECT_EQ(std::filesystem::file_size(path), GatherDataFile::HeaderBytes + 16);
    // A folder that does not exist: nothing written, nothing left behind.
    EXPECT_FALSE(GatherDataFile::Write(folder.File("none/capture.bin"), 0, 4, memory));
    EXPECT_FALSE(GatherDataFile::Write("", 0, 4, memory));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

} // namespace
