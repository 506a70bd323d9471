#include "AnalyzerTestFolder.h"

#include "analyzer/LastFileLoader.h"
#include "device/CFile.h"
#include "device/WSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The start of a project file of model 2: model byte, settings block with a
// few settings away from their defaults, then a numbered sample memory.
std::vector<uint8_t> ProjectStart(uint8_t model = 2)
{
    CFile source;
    source.ModelCode = model;
    source.ResetSettings();
    source.TriggerType = 3;
    source.MemoryPercent = 7;
    source.TriggerPositionCode = 7;
    source.TimeDivRow = 12;
    source.BuildBlock();

    WSystem system;
    system.SelectModel(model);
    std::vector<uint8_t> bytes(1 + CFile::BlockSize + system.MemorySize);
    bytes[0] = model;
    std::copy(source.BlockBuffer.begin(), source.BlockBuffer.end(), bytes.begin() + 1);
    for (uint32_t i = 0; i < system.MemorySize; ++i)
        bytes[1 + CFile::BlockSize + i] = static_cast<uint8_t>(i * 7 + 3);
    return bytes;
}

void WriteFile(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

struct Loaded
{
    CFile settings;
    WSystem system;
    LastFileLoader::Result result;
};

void LoadInto(Loaded &l, const std::string &path)
{
    l.settings.ModelCode = 0;
    l.settings.ResetSettings();
    l.result = LastFileLoader::Load(path, l.settings, l.system);
}

TEST(LastFileLoader, AWholeFileSetsModelSettingsAndSamples)
{
    AnalyzerTestFolder folder;
    const std::vector<uint8_t> bytes = ProjectStart();
    WriteFile(folder.File("last.pjf"), bytes);

    Loaded l;
    LoadInto(l, folder.File("last.pjf"));
    EXPECT_TRUE(l.result.opened);
    EXPECT_TRUE(l.result.modelRead);
    EXPECT_TRUE(l.result.blockAccepted);
    EXPECT_EQ(l.system.ModelCode, 2);
    EXPECT_EQ(l.settings.ModelCode, 2);
    EXPECT_EQ(l.settings.TriggerType, 3);
    EXPECT_EQ(l.settings.MemoryPercent, 7);
    EXPECT_EQ(l.settings.TimeDivRow, 12);
    ASSERT_EQ(l.result.sampleBytes, l.system.MemorySize);
    EXPECT_TRUE(std::equal(l.system.SampleBuffer.begin(), l.system.SampleBuffer.end(),
                           bytes.begin() + 1 + CFile::BlockSize));
}

// A file cut anywhere loads what it holds and keeps the defaults for the rest.
struct CutCase
{
    const char *what;
    size_t length;
    bool blockAccepted;
};

class LastFileCut : public testing::TestWithParam<CutCase>
{
};

TEST_P(LastFileCut, LoadsWhatItHoldsAndNeverMore)
{
    AnalyzerTestFolder folder;
    std::vector<uint8_t> bytes = ProjectStart();
    bytes.resize(GetParam().length);
    WriteFile(folder.File("cut.pjf"), bytes);

    Loaded l;
    LoadInto(l, folder.File("cut.pjf"));
    ASSERT_TRUE(l.result.modelRead) << GetParam().what;
    EXPECT_EQ(l.system.ModelCode, 2) << GetParam().what;
    EXPECT_EQ(l.result.blockAccepted, GetParam().blockAccepted) << GetParam().what;
    EXPECT_EQ(l.result.blockBytes, std::min<size_t>(GetParam().length - 1, CFile::BlockSize));
    if (!GetParam().blockAccepted) {
        // The defaults of model 2 stay.
        CFile defaults;
        defaults.ModelCode = 2;
        defaults.ResetSettings();
        EXPECT_EQ(l.settings.TriggerType, defaults.TriggerType) << GetParam().what;
        EXPECT_EQ(l.settings.MemoryPercent, defaults.MemoryPercent) << GetParam().what;
        EXPECT_EQ(l.settings.TimeDivRow, defaults.TimeDivRow) << GetParam().what;
    }
    // Sample bytes past the end of the file read as zero.
    const size_t samples = l.result.sampleBytes;
    EXPECT_EQ(samples, GetParam().length > 1 + CFile::BlockSize
                           ? GetParam().length - 1 - CFile::BlockSize
                           : 0);
    EXPECT_TRUE(std::all_of(l.system.SampleBuffer.begin() + static_cast<long>(samples),
                            l.system.SampleBuffer.end(), [](uint8_t b) { return b == 0; }));
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, LastFileCut,
    testing::Values(CutCase{"model byte only", 1, false}, CutCase{"part of the block", 100, false},
                    CutCase{"block less one byte", CFile::BlockSize, false},
                    CutCase{"block, no samples", 1 + CFile::BlockSize, true},
                    CutCase{"block and some samples", 1 + CFile::BlockSize + 1001, true}));

TEST(LastFileLoader, ADamagedBlockLeavesTheModelsDefaults)
{
    AnalyzerTestFolder folder;
    std::vector<uint8_t> bytes = ProjectStart();
    bytes[1 + 20] ^= 0x5A; // inside the summed layout
    WriteFile(folder.File("damaged.pjf"), bytes);

    Loaded l;
    LoadInto(l, folder.File("damaged.pjf"));
    EXPECT_TRUE(l.result.modelRead);
    EXPECT_FALSE(l.result.blockAccepted);
    EXPECT_EQ(l.settings.ModelCode, 2);
    EXPECT_EQ(l.settings.TriggerType, 1);
    EXPECT_EQ(l.result.sampleBytes, l.system.MemorySize);
}

TEST(LastFileLoader, AnUnknownModelCodeSelectsDemo)
{
    AnalyzerTestFolder folder;
    std::vector<uint8_t> bytes = ProjectStart();
    bytes[0] = 200;
    WriteFile(folder.File("odd.pjf"), bytes);

    Loaded l;
    l.system.SelectModel(5);
    LoadInto(l, folder.File("odd.pjf"));
    EXPECT_TRUE(l.result.modelRead);
    EXPECT_EQ(l.system.ModelCode, 0);
    EXPECT_EQ(l.settings.ModelCode, 0);
    EXPECT_EQ(l.system.SampleBuffer.size(), l.system.MemorySize);
}

TEST(LastFileLoader, AnEmptyMissingOrUnreadableFileChangesNothing)
{
    AnalyzerTestFolder folder;
    WriteFile(folder.File("empty.pjf"), {});
    for (const std::string &path :
         {folder.File("empty.pjf"), folder.File("absent.pjf"), folder.Path().string()}) {
        Loaded l;
        l.system.SelectModel(4);
        LoadInto(l, path);
        EXPECT_FALSE(l.result.modelRead) << path;
        EXPECT_EQ(l.system.ModelCode, 4) << path;
        EXPECT_EQ(l.settings.ModelCode, 0) << path;
    }
}

} // namespace
