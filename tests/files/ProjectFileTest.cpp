#include "files/ProjectFile.h"

#include "device/ModelTable.h"
#include "device/WSystem.h"
#include "files/FileName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace {

std::vector<uint8_t> FileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void PutBytes(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// A record and sample memory of `code` that differ from the defaults.
void MakeProject(int code, CFile &settings, WSystem &system)
{
    system.SelectModel(code);
    settings.ModelCode = static_cast<uint8_t>(code);
    settings.ResetSettings();
    settings.TimeDivRow = 7;
    settings.RateRow = 7;
    settings.MemoryDepthIndex = 2;
    settings.TriggerPositionCode = 3;
    settings.TriggerType = 2;
    settings.TriggerCondition[1][4] = CFile::CondRise;
    settings.DisplayOrder[0] = 3;
    settings.ChannelEntry[3].Name = {'C', 'l', 'o', 'c', 'k', 0};
    settings.DelayGroups = {1, 2, 3, 4, 5};
    uint32_t x = 0x12345678u + static_cast<uint32_t>(code);
    for (uint8_t &b : system.SampleBuffer) {
        x = x * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(x >> 24);
    }
}

class ProjectFileTest : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_'); // parameterized tests
        path = testing::TempDir() + "/project_" + name + ".pjf";
        std::remove(path.c_str());
    }
    void TearDown() override { std::remove(path.c_str()); }

    std::string path;
};

TEST(ProjectFileNames, AppendTheExtensionUnlessTheNameEndsInItExactly)
{
    const std::pair<const char *, const char *> cases[] = {
        {"abc", "abc.pjf"},         {"abc.PJF", "abc.PJF.pjf"}, {"abc.pjf", "abc.pjf"},
        {"/d/x.pj", "/d/x.pj.pjf"}, {".pjf", ".pjf"},           {"", ".pjf"},
    };
    for (const auto &[name, saved] : cases)
        EXPECT_EQ(ProjectFile::WithExtension(name), saved) << name;
    EXPECT_EQ(FileName::WithExtension("shot", ".bmp"), "shot.bmp");
    EXPECT_EQ(FileName::WithoutFolder("/a/b/c.txt"), "c.txt");
}

class ProjectFileRoundTrip : public ProjectFileTest, public testing::WithParamInterface<int>
{
};

TEST_P(ProjectFileRoundTrip, SavedFileIsModelBlockAndMemoryAndLoadsBack)
{
    const int code = GetParam();
    CFile saved;
    WSystem source;
    MakeProject(code, saved, source);
    ASSERT_EQ(ProjectFile::Save(path, saved, source), ProjectFile::Error::None);

    const std::vector<uint8_t> bytes = FileBytes(path);
    const size_t memory = ModelTable::Model(code).memorySize;
    ASSERT_EQ(bytes.size(), 1 + 4096 + memory);
    EXPECT_EQ(bytes[0], code);
    EXPECT_TRUE(std::equal(saved.BlockBuffer.begin(), saved.BlockBuffer.end(), bytes.begin() + 1));
    EXPECT_TRUE(
        std::equal(source.SampleBuffer.begin(), source.SampleBuffer.end(), bytes.begin() + 4097));

    CFile loaded;
    WSystem target;
    target.SelectModel(code == 1 ? 2 : 1);
    loaded.ModelCode = static_cast<uint8_t>(target.ModelCode);
    loaded.ResetSettings();
    ASSERT_EQ(ProjectFile::Load(path, loaded, target), ProjectFile::Error::None);
    EXPECT_EQ(target.ModelCode, code);
    EXPECT_EQ(loaded.ModelCode, code);
    EXPECT_EQ(loaded.TimeDivRow, 7);
    EXPECT_EQ(loaded.TriggerCondition[1][4], CFile::CondRise);
    EXPECT_EQ(CFile::NameText(loaded.ChannelEntry[3]), "Clock");
    EXPECT_EQ(loaded.DelayGroups, saved.DelayGroups);
    EXPECT_TRUE(target.SampleBuffer == source.SampleBuffer);
    loaded.BuildBlock();
    EXPECT_TRUE(loaded.BlockBuffer == saved.BlockBuffer);
}

INSTANTIATE_TEST_SUITE_P(Models, ProjectFileRoundTrip, testing::Values(0, 1, 2, 7, 8, 9, 10));

// A bad file is refused as a whole: the running record, model and samples
// are exactly as before.
struct BadFile
{
    const char *name;
    void (*spoil)(std::vector<uint8_t> &file);
    ProjectFile::Error error;
};

class ProjectFileRefusal : public ProjectFileTest, public testing::WithParamInterface<BadFile>
{
};

TEST_P(ProjectFileRefusal, LeavesEverythingAsItWas)
{
    CFile other;
    WSystem source;
    MakeProject(2, other, source);
    std::vector<uint8_t> file = ProjectFile::Image(other, source.SampleBuffer);
    ASSERT_FALSE(file.empty());
    GetParam().spoil(file);
    PutBytes(path, file);

    CFile settings;
    WSystem system;
    MakeProject(5, settings, system);
    settings.TimeDivRow = 11;
    const CFile before = settings;
    const std::vector<uint8_t> samples = system.SampleBuffer;

    EXPECT_EQ(ProjectFile::Load(path, settings, system), GetParam().error);
    EXPECT_EQ(system.ModelCode, 5);
    EXPECT_EQ(settings.ModelCode, 5);
    EXPECT_EQ(settings.TimeDivRow, 11);
    EXPECT_TRUE(settings.BlockBuffer == before.BlockBuffer);
    EXPECT_TRUE(system.SampleBuffer == samples);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ProjectFileRefusal,
    testing::Values(BadFile{"Empty", [](std::vector<uint8_t> &f) { f.clear(); },
                            ProjectFile::Error::UnknownModel},
                    BadFile{"ModelAboveTen", [](std::vector<uint8_t> &f) { f[0] = 11; },
                            ProjectFile::Error::UnknownModel},
                    BadFile{"ModelByte255", [](std::vector<uint8_t> &f) { f[0] = 255; },
                            ProjectFile::Error::UnknownModel},
                    BadFile{"OneByteShort", [](std::vector<uint8_t> &f) { f.pop_back(); },
                            ProjectFile::Error::WrongLength},
                    BadFile{"BlockOnly", [](std::vector<uint8_t> &f) { f.resize(4097); },
                            ProjectFile::Error::WrongLength},
                    BadFile{"OneByteLong", [](std::vector<uint8_t> &f) { f.push_back(0); },
                            ProjectFile::Error::WrongLength},
                    // A model-2 file whose first byte names model 3 (512 KiB).
                    BadFile{"OtherModelsLength", [](std::vector<uint8_t> &f) { f[0] = 3; },
                            ProjectFile::Error::WrongLength},
                    BadFile{"WrongSum", [](std::vector<uint8_t> &f) { f[1 + 2] ^= 1; },
                            ProjectFile::Error::BadBlock},
                    BadFile{"NoMagic", [](std::vector<uint8_t> &f) { f[1 + 3329] = 0; },
                            ProjectFile::Error::BadBlock}),
    [](const testing::TestParamInfo<BadFile> &row) { return row.param.name; });

TEST_F(ProjectFileTest, MissingFileOrFolderCannotBeOpened)
{
    ProjectFile::Contents contents;
    EXPECT_EQ(ProjectFile::Read(path, contents), ProjectFile::Error::CannotOpen);
    EXPECT_EQ(ProjectFile::Read(testing::TempDir(), contents), ProjectFile::Error::CannotOpen);
}

TEST_F(ProjectFileTest, FailedWriteIsReportedAndKeepsTheOldFile)
{
    CFile settings;
    WSystem system;
    MakeProject(1, settings, system);
    EXPECT_EQ(ProjectFile::Save(testing::TempDir() + "/no-such-folder/x.pjf", settings, system),
              ProjectFile::Error::CannotWrite);

    // A file of the record's model needs that model's memory.
    PutBytes(path, {1, 2, 3});
    const std::vector<uint8_t> half(system.SampleBuffer.size() / 2);
    EXPECT_EQ(ProjectFile::Write(path, settings, half), ProjectFile::Error::Mismatch);
    EXPECT_EQ(FileBytes(path), (std::vector<uint8_t>{1, 2, 3}));
}

} // namespace
