#include "host/InstanceLock.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
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

// An absolute folder named by the environment variable, else empty (relative
// values are to be ignored).
std::string EnvFolder(const char *variable)
{
    const char *value = std::getenv(variable);
    return value && value[0] == '/' ? std::string(value) : std::string();
}

bool IsDirectory(const std::string &path)
{
    struct stat st
    {
    };
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Parent(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Opens `folder` when it is a folder of the user's that no one else may
// enter, creating it (0700, and its missing parent likewise) when `create`
// says so; -1 with `problem` set otherwise.
int OpenPrivateFolder(const std::string &folder, bool create, std::string &problem)
{
    if (create && mkdir(folder.c_str(), 0700) != 0 && errno == ENOENT) {
        // ~/.cache itself may be missing on a fresh account.
        mkdir(Parent(folder).c_str(), 0700);
        mkdir(folder.c_str(), 0700);
    }
    // Not through a link: the folder itself must be ours.
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0) {
        problem = folder + ": " + std::strerror(errno);
        return -1;
    }
    struct stat st
    {
    };
    if (fstat(dir, &st) != 0 || st.st_uid != geteuid()) {
        problem = folder + " belongs to another user";
    } else if ((st.st_mode & 077) != 0) {
        problem = folder + " is open to other users";
    } else {
        return dir;
    }
    close(dir);
    return -1;
}

// Opens the lock file `name` in the private `folder` without following a
// link; only a plain file of the user's is accepted. -1 with `problem` set
// otherwise (a missing file without `create` sets none).
int OpenLockFile(const std::string &folder, const std::string &name, bool create,
                 std::string &problem)
{
    const int dir = OpenPrivateFolder(folder, create, problem);
    if (dir < 0)
        return -1;
    const int flags = create ? O_RDWR | O_CREAT : O_RDONLY;
    const int f = openat(dir, name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, 0600);
    const int err = errno;
    close(dir);
    const std::string path = folder + "/" + name;
    if (f < 0) {
        if (err == ELOOP)
            problem = path + " is a link";
        else if (create || err != ENOENT)
            problem = path + ": " + std::strerror(err);
        return -1;
    }
    struct stat st
    {
    };
    if (fstat(f, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid())
        return f;
    close(f);
    problem = path + " is not a plain file of the user's";
    return -1;
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

std::string LockFileName(std::string_view name)
{
    return SafeName(name) + ".lock";
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
    problem.clear();
    if (path.empty()) {
        problem = "neither XDG_RUNTIME_DIR nor HOME names a folder";
        return Result::Unavailable;
    }
    const std::string folder = Parent(path);
    const int f = OpenLockFile(folder, path.substr(folder.size() + 1), true, problem);
    if (f < 0)
        return Result::Unavailable;
    struct flock fl = WholeFile(F_WRLCK);
    if (fcntl(f, F_OFD_SETLK, &fl) != 0) {
        const int err = errno;
        close(f);
        if (err == EAGAIN || err == EACCES)
            return Result::HeldElsewhere;
        problem = path + ": " + std::strerror(err);
        return Result::Unavailable;
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
    std::string ignored;
    const int f = OpenLockFile(Folder(), LockFileName(name), false, ignored);
    if (f < 0)
        return false;
    struct flock fl = WholeFile(F_WRLCK);
    const bool held = fcntl(f, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
    close(f);
    return held;
}

std::string InstanceLock::Folder()
{
    if (const std::string runtime = EnvFolder("XDG_RUNTIME_DIR"); IsDirectory(runtime))
        return runtime + "/tracemoor";
    // Without a runtime folder (a plain su or ssh session, cron) the user's
    // cache folder stands in; it is never shared with other users like /tmp.
    if (const std::string cache = EnvFolder("XDG_CACHE_HOME"); !cache.empty())
        return cache + "/tracemoor";
    if (const std::string home = EnvFolder("HOME"); !home.empty())
        return home + "/.cache/tracemoor";
    return {};
}

std::string InstanceLock::LockPath(std::string_view name)
{
    const std::string folder = Folder();
    return folder.empty() ? std::string() : folder + "/" + LockFileName(name);
}

std::string InstanceLock::ChannelPath(std::string_view name)
{
    const std::string folder = Folder();
    return folder.empty() ? std::string() : folder + "/" + SafeName(name) + ".socket";
}
