#include "AnalyzerTestFolder.h"

#include "analyzer/InstanceLock.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Every test works in its own runtime folder.
class InstanceLockTest : public testing::Test
{
protected:
    void SetUp() override
    {
        const char *old = std::getenv("XDG_RUNTIME_DIR");
        hadOld = old != nullptr;
        saved = old ? old : "";
        setenv("XDG_RUNTIME_DIR", folder.Path().c_str(), 1);
    }
    void TearDown() override
    {
        if (hadOld)
            setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
    }

    AnalyzerTestFolder folder;
    bool hadOld = false;
    std::string saved;
};

TEST_F(InstanceLockTest, PathsLieInTheRuntimeFolderWithSafeNames)
{
    EXPECT_EQ(InstanceLock::RuntimeFolder(), folder.Path().string());
    EXPECT_EQ(InstanceLock::LockPath("MyMutexName"), folder.File("MyMutexName.lock"));
    EXPECT_EQ(InstanceLock::LockPath("Data Acquisition"), folder.File("Data_Acquisition.lock"));
    EXPECT_EQ(InstanceLock::LockPath("../x/y"), folder.File(".._x_y.lock"));
    EXPECT_EQ(InstanceLock::ChannelPath("MyMutexName"), folder.File("MyMutexName.socket"));
}

TEST_F(InstanceLockTest, OneHolderAtATime)
{
    EXPECT_FALSE(InstanceLock::IsHeld("MyMutexName"));
    InstanceLock first("MyMutexName");
    ASSERT_EQ(first.TryAcquire(), InstanceLock::Result::Acquired);
    EXPECT_TRUE(InstanceLock::IsHeld("MyMutexName"));
    EXPECT_FALSE(InstanceLock::IsHeld("OtherName"));

    InstanceLock second("MyMutexName");
    EXPECT_EQ(second.TryAcquire(), InstanceLock::Result::HeldElsewhere);
    EXPECT_FALSE(second.Held());

    first.Release();
    EXPECT_FALSE(InstanceLock::IsHeld("MyMutexName"));
    EXPECT_EQ(second.TryAcquire(), InstanceLock::Result::Acquired);
    EXPECT_TRUE(InstanceLock::IsHeld("MyMutexName"));
}

TEST_F(InstanceLockTest, TestingTheLockDoesNotTakeIt)
{
    EXPECT_FALSE(InstanceLock::IsHeld("MyMutexName"));
    InstanceLock lock("MyMutexName");
    EXPECT_EQ(lock.TryAcquire(), InstanceLock::Result::Acquired);
    lock.Release();
    EXPECT_FALSE(InstanceLock::IsHeld("MyMutexName"));
    EXPECT_EQ(lock.TryAcquire(), InstanceLock::Result::Acquired);
}

TEST_F(InstanceLockTest, AKilledHolderLeavesNoStaleLock)
{
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock lock("MyMutexName");
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

    EXPECT_TRUE(InstanceLock::IsHeld("MyMutexName"));
    InstanceLock mine("MyMutexName");
    EXPECT_EQ(mine.TryAcquire(), InstanceLock::Result::HeldElsewhere);

    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_FALSE(InstanceLock::IsHeld("MyMutexName"));
    EXPECT_EQ(mine.TryAcquire(), InstanceLock::Result::Acquired);
}

TEST_F(InstanceLockTest, AMissingRuntimeFolderFallsBackToAPrivateOne)
{
    setenv("XDG_RUNTIME_DIR", folder.File("gone").c_str(), 1);
    setenv("TMPDIR", folder.Path().c_str(), 1);
    const std::string expected = folder.File("runtime-" + std::to_string(getuid()));
    EXPECT_EQ(InstanceLock::RuntimeFolder(), expected);
    struct stat st
    {
    };
    ASSERT_EQ(stat(expected.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    InstanceLock lock("MyMutexName");
    EXPECT_EQ(lock.TryAcquire(), InstanceLock::Result::Acquired);
    EXPECT_TRUE(InstanceLock::IsHeld("MyMutexName"));
    unsetenv("TMPDIR");
}

} // namespace
