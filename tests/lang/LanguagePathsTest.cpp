#include "lang/LanguagePaths.h"

#include "TempFolder.h"
#include "tests/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <string>
#include <unistd.h>
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
    PathsCase{"PortableCopy", "/home/u/tm", "/home/u/.config", true,
              "/home/u/tm/System.ini", {"/home/u/tm/Language"}},
    PathsCase{"TrailingSlash", "/opt/tm/", "", true, "/opt/tm/System.ini", {"/opt/tm/Language"}},
    PathsCase{"BuildTree", "/home/u/src/build", "/home/u/.config", false,
              "/home/u/.config/tracemoor/System.ini",
              {"/home/u/src/build/Language", "/home/u/src/share/tracemoor/Language",
               "/home/u/.config/tracemoor/Language"}},
    PathsCase{"Installed", "/usr/bin", "/home/u/.config", false,
              "/home/u/.config/tracemoor/System.ini",
              {"/usr/bin/Language", "/usr/share/tracemoor/Language",
               "/home/u/.config/tracemoor/Language"}},
    PathsCase{"InstalledWithoutHome", "/usr/local/bin", "", false, "",
              {"/usr/local/bin/Language", "/usr/local/share/tracemoor/Language"}}),
    [](const testing::TestParamInfo<PathsCase> &row) { return row.param.name; });
// clang-format on

TEST(Paths, ActiveFileIsFoundInTheFirstFolderHoldingIt)
{
    TempFolder folder;
    const std::string program = folder.Path() + "/prefix/bin";
    const std::string config = folder.Path() + "/config";
    const std::string shared = folder.Path() + "/prefix/share/tracemoor/Language";
    folder.Write("prefix/share/tracemoor/Language/localization_DE.lang", "[Language]\n");
    folder.Write("prefix/share/tracemoor/Language/localization_EN.lang", "[Language]\n");
    folder.Write("config/tracemoor/Language/localization_EN.lang", "[Language]\n");
    folder.Write("config/tracemoor/Language/localization_FR.lang", "[Language]\n");
    const LanguagePaths paths(program, config, false);
    // A shipped file wins over a copy of the same name in the config folder.
    EXPECT_EQ(paths.ActiveFile("localization_EN.lang"), shared + "/localization_EN.lang");
    EXPECT_EQ(paths.ActiveFile("localization_DE.lang"), shared + "/localization_DE.lang");
    EXPECT_EQ(paths.ActiveFile("localization_FR.lang"),
              config + "/tracemoor/Language/localization_FR.lang");
    // Nowhere: the first folder, where it is missing.
    EXPECT_EQ(paths.ActiveFile("localization_XX.lang"), program + "/Language/localization_XX.lang");
}

TEST(Paths, OnlyAProgramWithItsOwnSystemIniIsPortable)
{
    TempFolder folder;
    ScopedEnvironment env;
    env.Set("XDG_CONFIG_HOME", folder.Path() + "/config");
    // A writable program folder is not enough.
    EXPECT_FALSE(LanguagePaths::HasOwnSystemIni(folder.Path()));
    const LanguagePaths build(folder.Path());
    EXPECT_FALSE(build.Portable());
    EXPECT_EQ(build.SystemIni(), folder.Path() + "/config/tracemoor/System.ini");
    EXPECT_EQ(build.ActiveFile("a.lang"), folder.Path() + "/Language/a.lang");

    folder.Write("System.ini", "[Model]\nHost=1\n");
    EXPECT_TRUE(LanguagePaths::HasOwnSystemIni(folder.Path()));
    const LanguagePaths portable(folder.Path());
    EXPECT_TRUE(portable.Portable());
    EXPECT_EQ(portable.SystemIni(), folder.Path() + "/System.ini");
    EXPECT_EQ(portable.Folders(), std::vector<std::string>{folder.Path() + "/Language"});
}

TEST(Paths, ConfigHomeFollowsTheEnvironment)
{
    ScopedEnvironment env;
    env.Set("XDG_CONFIG_HOME", "/x/config");
    env.Set("HOME", "/home/u");
    EXPECT_EQ(LanguagePaths::ConfigHome(), "/x/config");
    env.Set("XDG_CONFIG_HOME", "relative");
    EXPECT_EQ(LanguagePaths::ConfigHome(), "/home/u/.config");
    env.Unset("XDG_CONFIG_HOME");
    EXPECT_EQ(LanguagePaths::ConfigHome(), "/home/u/.config");
    // Without HOME the account's home folder, never a shared temporary one.
    env.Unset("HOME");
    const passwd *account = getpwuid(getuid());
    ASSERT_NE(account, nullptr);
    EXPECT_EQ(LanguagePaths::ConfigHome(), std::string(account->pw_dir) + "/.config");
}

} // namespace
