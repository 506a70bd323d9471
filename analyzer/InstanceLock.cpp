#include "analyzer/InstanceLock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string SafeName(std::string_view name)
{
    std::string out;
    out.reserve(name.size());
    for (const char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        out += plain ? c : '_';
    }
    return out.empty() ? std::string("_") : out;
}

bool IsDirectory(const std::string &path)
{
    struct stat st
    {
    };
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

struct flock WholeFile(short type)
{
    struct flock fl
    {
    };
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 0;
    fl.l_pid = 0; // required for open-file-description locks
    return fl;
}

} // namespace

InstanceLock::InstanceLock(std::string_view name)
    : path(LockPath(name))
{}

InstanceLock::~InstanceLock()
{
    Release();
}

InstanceLock::Result InstanceLock::TryAcquire()
{
    if (fd >= 0)
        return Result::Acquired;
    const int f = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (f < 0)
        return Result::Unavailable;
    struct flock fl = WholeFile(F_WRLCK);
    if (fcntl(f, F_OFD_SETLK, &fl) != 0) {
        const int err = errno;
        close(f);
        return (err == EAGAIN || err == EACCES) ? Result::HeldElsewhere : Result::Unavailable;
    }
    fd = f;
    // The holder's process id, for people looking at the folder.
    const std::string pid = std::to_string(getpid()) + "\n";
    if (ftruncate(fd, 0) == 0 && write(fd, pid.data(), pid.size()) < 0) {
        // informational only
    }
    return Result::Acquired;
}

void InstanceLock::Release()
{
    if (fd < 0)
        return;
    close(fd); // drops the lock; the file stays for the next holder
    fd = -1;
}

bool InstanceLock::IsHeld(std::string_view name)
{
    const std::string p = LockPath(name);
    const int f = open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (f < 0)
        return false;
    struct flock fl = WholeFile(F_WRLCK);
    const bool held = fcntl(f, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
    close(f);
    return held;
}

std::string InstanceLock::RuntimeFolder()
{
    const char *xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg && xdg[0] == '/' && IsDirectory(xdg))
        return xdg;
    const char *tmp = std::getenv("TMPDIR");
    std::string base = (tmp && tmp[0] == '/' && IsDirectory(tmp)) ? tmp : "/tmp";
    std::string folder = base + "/runtime-" + std::to_string(getuid());
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return base;
    // Only a folder of our own is trusted with the lock.
    struct stat st
    {
    };
    if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
        return base;
    return folder;
}

std::string InstanceLock::LockPath(std::string_view name)
{
    return RuntimeFolder() + "/" + SafeName(name) + ".lock";
}

std::string InstanceLock::ChannelPath(std::string_view name)
{
    return RuntimeFolder() + "/" + SafeName(name) + ".socket";
}
