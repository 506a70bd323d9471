#include "tests/ScopedEnvironment.h"
#include "tests/analyzer/AnalyzerTestFolder.h"

#include "host/InstanceLock.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view Name = InstanceLock::AnalyzerName;

std::string ReadText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned ModeOf(const std::string &path)
{
    struct stat st
    {
    };
    return lstat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

// Every test works in its own runtime folder.
class InstanceLockTest : public testing::Test
{
protected:
    void SetUp() override { env.Set("XDG_RUNTIME_DIR", folder.Path().string()); }

    std::string LockFolder() const { return folder.File("tracemoor"); }

    AnalyzerTestFolder folder;
    ScopedEnvironment env;
};

TEST_F(InstanceLockTest, PathsLieInAPrivateFolderOfTheRuntimeFolderWithSafeNames)
{
    EXPECT_EQ(InstanceLock::Folder(), LockFolder());
    EXPECT_EQ(InstanceLock::LockPath(Name), LockFolder() + "/tracemoor.lock");
    EXPECT_EQ(InstanceLock::LockPath(InstanceLock::GathermoorName),
              LockFolder() + "/gathermoor.lock");
    EXPECT_EQ(InstanceLock::LockPath("Data Acquisition"), LockFolder() + "/Data_Acquisition.lock");
    EXPECT_EQ(InstanceLock::LockPath("../x/y"), LockFolder() + "/.._x_y.lock");
    EXPECT_EQ(InstanceLock::ChannelPath(Name), LockFolder() + "/tracemoor.socket");

    InstanceLock lock(Name);
    ASSERT_EQ(lock.TryAcquire(), InstanceLock::Result::Acquired);
    EXPECT_EQ(ModeOf(LockFolder()), 0700u);
    EXPECT_EQ(ModeOf(lock.Path()), 0600u);
    EXPECT_EQ(ReadText(lock.Path()), std::to_string(getpid()) + "\n");
}

TEST_F(InstanceLockTest, OneHolderAtATime)
{
    EXPECT_FALSE(InstanceLock::IsHeld(Name));
    InstanceLock first(Name);
    ASSERT_EQ(first.TryAcquire(), InstanceLock::Result::Acquired);
    EXPECT_TRUE(InstanceLock::IsHeld(Name));
    EXPECT_FALSE(InstanceLock::IsHeld(InstanceLock::GathermoorName));

    InstanceLock second(Name);
    EXPECT_EQ(second.TryAcquire(), InstanceLock::Result::HeldElsewhere);
    EXPECT_FALSE(second.Held());

    first.Release();
    EXPECT_FALSE(InstanceLock::IsHeld(Name));
    EXPECT_EQ(second.TryAcquire(), InstanceLock::Result::Acquired);
    EXPECT_TRUE(InstanceLock::IsHeld(Name));
}

TEST_F(InstanceLockTest, TestingTheLockDoesNotTakeIt)
{
    EXPECT_FALSE(InstanceLock::IsHeld(Name));
    InstanceLock lock(Name);
    EXPECT_EQ(lock.TryAcquire(), InstanceLock::Result::Acquired);
    lock.Release();
    EXPECT_FALSE(InstanceLock::IsHeld(Name));
    EXPECT_EQ(lock.TryAcquire(), InstanceLock::Result::Acquired);
}

TEST_F(InstanceLockTest, AKilledHolderLeavesNoStaleLock)
{
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock lock(Name);
        const char ok = lock.TryAcquire() == InstanceLock::Result::Acquired ? '1' : '0';
        if (write(ready[1], &ok, 1) != 1)
            _exit(2);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    close(ready[0]);
    ASSERT_EQ(ok, '1');

    EXPECT_TRUE(InstanceLock::IsHeld(Name));
    InstanceLock mine(Name);
    EXPECT_EQ(mine.TryAcquire(), InstanceLock::Result::HeldElsewhere);

    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_FALSE(InstanceLock::IsHeld(Name));
    EXPECT_EQ(mine.TryAcquire(), InstanceLock::Result::Acquired);
}

// Without a usable runtime folder the lock goes to the user's cache folder
// (created 0700 when missing), never to a folder shared with other users.
struct FallbackCase
{
    const char *name;
    bool runtimeSet;    // XDG_RUNTIME_DIR names a missing folder, else it is unset
    bool cacheHomeSet;  // XDG_CACHE_HOME = <tmp>/cache
    const char *folder; // expected, below <tmp>
};

class InstanceLockFallback : public testing::TestWithParam<FallbackCase>
{
};

TEST_P(InstanceLockFallback, TheLockWorksInTheUsersCacheFolder)
{
    const FallbackCase &c = GetParam();
    AnalyzerTestFolder tmp;
    ScopedEnvironment env;
    if (c.runtimeSet)
        env.Set("XDG_RUNTIME_DIR", tmp.File("gone"));
    else
        env.Unset("XDG_RUNTIME_DIR");
    if (c.cacheHomeSet)
        env.Set("XDG_CACHE_HOME", tmp.File("cache"));
    else
        env.Unset("XDG_CACHE_HOME");
    env.Set("HOME", tmp.File("home"));
    fs::create_directory(tmp.File("home"));
    fs::create_directory(tmp.File("cache"));

    const std::string expected = tmp.File(c.folder);
    EXPECT_EQ(InstanceLock::Folder(), expected);
    InstanceLock lock(Name);
    ASSERT_EQ(lock.TryAcquire(), InstanceLock::Result::Acquired) << lock.Problem();
    EXPECT_EQ(lock.Path(), expected + "/tracemoor.lock");
    EXPECT_EQ(ModeOf(expected), 0700u);
    EXPECT_TRUE(InstanceLock::IsHeld(Name));
    InstanceLock second(Name);
    EXPECT_EQ(second.TryAcquire(), InstanceLock::Result::HeldElsewhere);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, InstanceLockFallback,
    testing::Values(FallbackCase{"Unset", false, true, "cache/tracemoor"},
                    FallbackCase{"Missing", true, true, "cache/tracemoor"},
                    FallbackCase{"HomeOnly", false, false, "home/.cache/tracemoor"}),
    [](const testing::TestParamInfo<FallbackCase> &row) { return row.param.name; });

// A lock folder or lock file that someone else could have put there is
// refused: the lock is unavailable, says why, and nothing is followed,
// created or truncated.
struct RefusalCase
{
    const char *name;
    bool needsRoot; // to give files to another user
    // Prepares the hostile state in the runtime folder `base`.
    std::function<void(const AnalyzerTestFolder &base)> prepare;
    // Checks that the victim is untouched.
    std::function<void(const AnalyzerTestFolder &base)> check;
};

constexpr uid_t OtherUser = 65534; // nobody

void PrivateFolder(const AnalyzerTestFolder &base)
{
    ASSERT_EQ(mkdir(base.File("tracemoor").c_str(), 0700), 0);
}

void VictimFile(const AnalyzerTestFolder &base)
{
    std::ofstream(base.File("victim")) << "keep";
}

void VictimKept(const AnalyzerTestFolder &base)
{
    EXPECT_EQ(ReadText(base.File("victim")), "keep");
}

void PrintTo(const RefusalCase &c, std::ostream *os)
{
    *os << c.name;
}

class InstanceLockRefusal : public testing::TestWithParam<RefusalCase>
{
};

TEST_P(InstanceLockRefusal, AForeignFolderOrFileIsRefused)
{
    const RefusalCase &c = GetParam();
    if (c.needsRoot && geteuid() != 0)
        GTEST_SKIP() << "giving a file to another user needs root";
    AnalyzerTestFolder base;
    ScopedEnvironment env;
    env.Set("XDG_RUNTIME_DIR", base.Path().string());
    c.prepare(base);

    InstanceLock lock(Name);
    EXPECT_EQ(lock.TryAcquire(), InstanceLock::Result::Unavailable);
    EXPECT_FALSE(lock.Held());
    EXPECT_FALSE(lock.Problem().empty());
    EXPECT_FALSE(InstanceLock::IsHeld(Name));
    c.check(base);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstanceLockRefusal,
    testing::Values(
        RefusalCase{"LockIsALinkToAFile", false,
                    [](const AnalyzerTestFolder &base) {
                        PrivateFolder(base);
                        VictimFile(base);
                        fs::create_symlink(base.File("victim"),
                                           base.File("tracemoor/tracemoor.lock"));
                    },
                    VictimKept},
        RefusalCase{
            "LockIsADanglingLink", false,
            [](const AnalyzerTestFolder &base) {
                PrivateFolder(base);
                fs::create_symlink(base.File("created"), base.File("tracemoor/tracemoor.lock"));
            },
            [](const AnalyzerTestFolder &base) { EXPECT_FALSE(fs::exists(base.File("created"))); }},
        RefusalCase{"FolderIsALink", false,
                    [](const AnalyzerTestFolder &base) {
                        ASSERT_EQ(mkdir(base.File("elsewhere").c_str(), 0700), 0);
                        fs::create_directory_symlink(base.File("elsewhere"),
                                                     base.File("tracemoor"));
                    },
                    [](const AnalyzerTestFolder &base) {
                        EXPECT_TRUE(fs::is_empty(base.File("elsewhere")));
                    }},
        RefusalCase{"FolderOpenToOthers", false,
                    [](const AnalyzerTestFolder &base) {
                        PrivateFolder(base);
                        ASSERT_EQ(chmod(base.File("tracemoor").c_str(), 0755), 0);
                    },
                    [](const AnalyzerTestFolder &base) {
                        EXPECT_TRUE(fs::is_empty(base.File("tracemoor")));
                    }},
        RefusalCase{"FolderOfAnotherUser", true,
                    [](const AnalyzerTestFolder &base) {
                        PrivateFolder(base);
                        ASSERT_EQ(chown(base.File("tracemoor").c_str(), OtherUser, OtherUser), 0);
                    },
                    [](const AnalyzerTestFolder &base) {
                        EXPECT_TRUE(fs::is_empty(base.File("tracemoor")));
                    }},
        RefusalCase{"LockFileOfAnotherUser", true,
                    [](const AnalyzerTestFolder &base) {
                        PrivateFolder(base);
                        const std::string file = base.File("tracemoor/tracemoor.lock");
                        std::ofstream(file) << "keep";
                        ASSERT_EQ(chown(file.c_str(), OtherUser, OtherUser), 0);
                    },
                    [](const AnalyzerTestFolder &base) {
                        EXPECT_EQ(ReadText(base.File("tracemoor/tracemoor.lock")), "keep");
                    }}),
    [](const testing::TestParamInfo<RefusalCase> &row) { return row.param.name; });

} // namespace
