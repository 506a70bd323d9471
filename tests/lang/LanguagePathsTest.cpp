#include "lang/LanguagePaths.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct PathsCase
{
    const char *name;
    const char *program;
    const char *config;
    bool portable;
    const char *systemIni;
    std::vector<std::string> folders;
};

class Paths : public testing::TestWithParam<PathsCase>
{
};

TEST_P(Paths, SystemIniAndLanguageFolders)
{
    const PathsCase &c = GetParam();
    const LanguagePaths paths(c.program, c.config, c.portable);
    EXPECT_EQ(paths.Portable(), c.portable);
    EXPECT_EQ(paths.SystemIni(), c.systemIni);
    EXPECT_EQ(paths.Folders(), c.folders);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Layouts, Paths, testing::Values(
    PathsCase{"BuildTree", "/home/u/build", "/home/u/.config", true,
              "/home/u/build/System.ini", {"/home/u/build/Language"}},
    PathsCase{"TrailingSlash", "/opt/tm/", "", true, "/opt/tm/System.ini", {"/opt/tm/Language"}},
    PathsCase{"Installed", "/usr/bin", "/home/u/.config", false,
              "/home/u/.config/tracemoor/System.ini",
              {"/home/u/.config/tracemoor/Language", "/usr/share/tracemoor/Language"}},
    PathsCase{"InstalledWithoutHome", "/usr/local/bin", "", false, "",
              {"/usr/local/share/tracemoor/Language"}}),
    [](const testing::TestParamInfo<PathsCase> &row) { return row.param.name; });
// clang-format on

TEST(Paths, ActiveFileIsFoundInTheFirstFolderHoldingIt)
{
    TempFolder folder;
    const std::string program = folder.Path() + "/prefix/bin";
    const std::string config = folder.Path() + "/config";
    folder.Write("prefix/share/tracemoor/Language/localization_DE.lang", "[Language]\n");
    folder.Write("prefix/share/tracemoor/Language/localization_EN.lang", "[Language]\n");
    folder.Write("config/tracemoor/Language/localization_EN.lang", "[Language]\n");
    const LanguagePaths paths(program, config, false);
    EXPECT_EQ(paths.ActiveFile("localization_EN.lang"),
              config + "/tracemoor/Language/localization_EN.lang");
    EXPECT_EQ(paths.ActiveFile("localization_DE.lang"),
              folder.Path() + "/prefix/share/tracemoor/Language/localization_DE.lang");
    // Nowhere: the first folder, where it is missing.
    EXPECT_EQ(paths.ActiveFile("localization_XX.lang"),
              config + "/tracemoor/Language/localization_XX.lang");
}

TEST(Paths, WritableProgramFolderIsPortable)
{
    TempFolder folder;
    EXPECT_TRUE(LanguagePaths::IsWritable(folder.Path()));
    EXPECT_FALSE(LanguagePaths::IsWritable(folder.Path() + "/absent"));
    const LanguagePaths paths(folder.Path());
    EXPECT_TRUE(paths.Portable());
    EXPECT_EQ(paths.SystemIni(), folder.Path() + "/System.ini");
    EXPECT_EQ(paths.ActiveFile("a.lang"), folder.Path() + "/Language/a.lang");
}

TEST(Paths, ConfigHomeFollowsTheEnvironment)
{
    const char *oldXdg = std::getenv("XDG_CONFIG_HOME");
    const char *oldHome = std::getenv("HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "";
    const std::string savedHome = oldHome ? oldHome : "";

    ::setenv("XDG_CONFIG_HOME", "/x/config", 1);
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(LanguagePaths::ConfigHome(), "/x/config");
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(LanguagePaths::ConfigHome(), "/home/u/.config");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(LanguagePaths::ConfigHome(), "/home/u/.config");
    ::unsetenv("HOME");
    EXPECT_EQ(LanguagePaths::ConfigHome(), "");

    if (oldXdg)
        ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
    if (oldHome)
        ::setenv("HOME", savedHome.c_str(), 1);
}

} // namespace
