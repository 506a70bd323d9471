#pragma once

#include <string>
#include <string_view>

// A per-user named lock that marks a running program for as long as the
// process holds it. It is an open-file-description lock on a file in the
// user's runtime folder, so the kernel drops it when the process ends, however
// it ends: a crash never leaves a stale lock behind. Any program can test the
// lock without taking it (Gathermoor refuses to start while the analyzer's
// lock is held).
class InstanceLock
{
public:
    // The lock of the analyzer program.
    static constexpr std::string_view AnalyzerName = "MyMutexName";

    enum class Result { Acquired, HeldElsewhere, Unavailable };

    explicit InstanceLock(std::string_view name);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // Unavailable when the lock file cannot be opened at all (no runtime
    // folder), in which case nobody can hold it either.
    Result TryAcquire();
    void Release();
    bool Held() const { return fd >= 0; }
    const std::string &Path() const { return path; }

    // True while some process (this one included) holds the named lock.
    static bool IsHeld(std::string_view name);

    // $XDG_RUNTIME_DIR, or a private folder under the temporary folder when
    // that is not set.
    static std::string RuntimeFolder();
    // The lock file and the local socket of the holder for a name; characters
    // other than letters, digits, '.', '-' and '_' become '_'.
    static std::string LockPath(std::string_view name);
    static std::string ChannelPath(std::string_view name);

private:
    std::string path;
    int fd = -1;
};
