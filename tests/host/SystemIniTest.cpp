#include "tests/ScopedEnvironment.h"
#include "tests/analyzer/AnalyzerTestFolder.h"

#include "files/CIniFile.h"
#include "host/SystemIni.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

void WriteText(const std::string &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

TEST(SystemIniStart, AnAbsentFileIsCreatedWithEmptyLastFileAndDemoOnly)
{
    AnalyzerTestFolder folder;
    const std::string path = folder.File("System.ini");
    const SystemIni::StartState state = SystemIni::PrepareAtStart(path);
    EXPECT_FALSE(state.existed);
    EXPECT_EQ(state.lastFile, "");

    CIniFile ini(path);
    ASSERT_TRUE(ini.FileExists());
    EXPECT_TRUE(ini.ValueExists("History", "LastFile"));
    EXPECT_EQ(ini.ReadString("History", "LastFile", "x"), "");
    EXPECT_EQ(ini.ReadString("Model", "Host", "x"), "1");
}

TEST(SystemIniStart, CreatesTheConfigFolderWhenNeeded)
{
    AnalyzerTestFolder folder;
    const std::string path = folder.File("config/tracemoor/System.ini");
    SystemIni::PrepareAtStart(path);
    EXPECT_EQ(CIniFile(path).ReadString("Model", "Host", "x"), "1");
}

struct ExistingCase
{
    const char *what;
    const char *text;
    const char *lastFile;
    const char *host;
};

class SystemIniExisting : public testing::TestWithParam<ExistingCase>
{
};

TEST_P(SystemIniExisting, ReadsLastFileAndKeepsHostPresent)
{
    const ExistingCase &c = GetParam();
    AnalyzerTestFolder folder;
    const std::string path = folder.File("System.ini");
    WriteText(path, c.text);
    const SystemIni::StartState state = SystemIni::PrepareAtStart(path);
    EXPECT_TRUE(state.existed) << c.what;
    EXPECT_EQ(state.lastFile, c.lastFile) << c.what;
    CIniFile ini(path);
    EXPECT_EQ(ini.ReadString("Model", "Host", "absent"), c.host) << c.what;
    // The language choice is never touched.
    EXPECT_EQ(ini.ReadString("Language", "File", "absent"), "localization_DE.lang") << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Files, SystemIniExisting,
    testing::Values(ExistingCase{"all keys",
                                 "[Language]\nFile=localization_DE.lang\n[History]\n"
                                 "LastFile=/tmp/a.pjf\n[Model]\nHost=7FF\n",
                                 "/tmp/a.pjf", "7FF"},
                    ExistingCase{"no Model section",
                                 "[Language]\nFile=localization_DE.lang\n[History]\n"
                                 "LastFile=/tmp/b.pjf\n",
                                 "/tmp/b.pjf", "1"},
                    ExistingCase{"Model without Host",
                                 "[Language]\nFile=localization_DE.lang\n[model]\n"
                                 "Other=3\n",
                                 "FileNameIsHere", "1"},
                    ExistingCase{"names in another case",
                                 "[LANGUAGE]\nfile=localization_DE.lang\n"
                                 "[history]\nlastfile=\n[MODEL]\nHOST=6\n",
                                 "", "6"}));

TEST(SystemIniResolve, LiesInTheUsersConfigFolderUnlessOneLiesBesideTheProgram)
{
    AnalyzerTestFolder folder;
    ScopedEnvironment env;
    env.Set("XDG_CONFIG_HOME", folder.File("config"));
    const std::string config = folder.File("config/tracemoor/System.ini");
    // A writable program folder (a build tree) does not keep it.
    EXPECT_EQ(SystemIni::Resolve(folder.Path().string()), config);
    EXPECT_EQ(SystemIni::Resolve("/nonexistent/program/folder"), config);
    // A portable copy keeps its own.
    WriteText(folder.File("System.ini"), "[Model]\nHost=1\n");
    EXPECT_EQ(SystemIni::Resolve(folder.Path().string()), folder.File("System.ini"));
}

} // namespace
