#pragma once

#include <string>
#include <string_view>

// A per-user named lock that marks a running program for as long as the
// process holds it. It is an open-file-description lock on a file in a
// private folder of the user's, so the kernel drops it when the process ends,
// however it ends: a crash never leaves a stale lock behind. Any program can
// test the lock without taking it (Gathermoor refuses to start while the
// analyzer's lock is held).
//
// The folder is $XDG_RUNTIME_DIR/tracemoor, or $XDG_CACHE_HOME/tracemoor
// (~/.cache/tracemoor) when there is no runtime folder. It is created 0700
// and used only while it is a real folder of the user's that nobody else can
// enter; the lock file in it is opened without following links and is
// written only when it is a plain file of the user's.
class InstanceLock
{
public:
    // The locks of the two programs.
    static constexpr std::string_view AnalyzerName = "tracemoor";
    static constexpr std::string_view GathermoorName = "gathermoor";

    enum class Result { Acquired, HeldElsewhere, Unavailable };

    explicit InstanceLock(std::string_view name);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // Unavailable when the lock file cannot be used (no private folder, a
    // link or a foreign file in its place), in which case nobody can hold it
    // either; Problem() then says why.
    Result TryAcquire();
    void Release();
    bool Held() const { return fd >= 0; }
    const std::string &Path() const { return path; }
    const std::string &Problem() const { return problem; }

    // True while some process (this one included) holds the named lock.
    static bool IsHeld(std::string_view name);

    // The folder of the locks (see above); empty when neither a runtime
    // folder nor a home is known. Nothing is created or checked here.
    static std::string Folder();
    // The lock file and the local socket of the holder for a name; characters
    // other than letters, digits, '.', '-' and '_' become '_'.
    static std::string LockPath(std::string_view name);
    static std::string ChannelPath(std::string_view name);

private:
    std::string path;
    std::string problem;
    int fd = -1;
};
