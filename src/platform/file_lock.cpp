#include "platform/file_lock.h"

#include "platform/file_replace.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The lock files this process holds: the open file that carries the
// kernel's lock, and how many FileLocks hold it.
struct HeldFile {
    int fd = -1;
    int holds = 0;
};
struct HeldFiles {
    std::mutex mutex;
    std::map<std::string, HeldFile> files;
};

// Never destroyed: a lock held in the program's state is let go as that
// state goes, at the process's end, after the statics made before it.
HeldFiles& held_files()
{
    static HeldFiles* const held = new HeldFiles;
    return *held;
}

// flock, taken again when a signal interrupts the wait.
int lock_descriptor(int fd, int operation)
{
    int result = 0;
    do
        result = ::flock(fd, operation);
    while (result != 0 && errno == EINTR);
    return result;
}

enum class Locked { Yes, Busy, Failed };

// The kernel's lock on the lock file of the path, made if need be: its
// descriptor in `fd` when Yes; the reason in `failure` when Failed.
Locked lock_file(const std::string& path, bool wait, const std::function<void()>& waiting, int& fd,
                 std::string& failure)
{
    bool told = false;
    for (;;) {
        // Not blocked by a pipe of that name, which opens only when written to.
        fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
        if (fd < 0) {
            failure = system_reason(errno);
            return Locked::Failed;
        }
        struct stat opened {};
        const bool stated = ::fstat(fd, &opened) == 0;
        if (!stated || !S_ISREG(opened.st_mode)) {
            failure = stated ? "Is not a plain file." : system_reason(errno);
            ::close(fd);
            return Locked::Failed;
        }
        if (lock_descriptor(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            if (error != EWOULDBLOCK) {
                ::close(fd);
                failure = system_reason(error);
                return Locked::Failed;
            }
            if (!wait) {
                ::close(fd);
                return Locked::Busy;
            }
            if (!told && waiting)
                waiting();
            told = true;
            if (lock_descriptor(fd, LOCK_EX) != 0) {
                failure = system_reason(errno);
                ::close(fd);
                return Locked::Failed;
            }
        }
        // The holder before removes the file as it lets go: a lock taken on
        // a file that is no longer under its name locks nothing, and the
        // file of that name is tried again.
        struct stat named {};
        if (::stat(path.c_str(), &named) != 0 && errno != ENOENT) {
            failure = system_reason(errno);
            ::close(fd);
            return Locked::Failed;
        }
        if (named.st_nlink != 0 && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino)
            return Locked::Yes;
        ::close(fd);
    }
}

}  // namespace

std::string lock_file_path(const std::string& target)
{
    return path_beside(target, ".lock");
}

FileLock::~FileLock()
{
    release();
}

FileLock::Outcome FileLock::acquire(const std::string& path, const std::function<void()>& waiting)
{
    return take(path, true, waiting);
}

FileLock::Outcome FileLock::try_acquire(const std::string& path)
{
    return take(path, false, {});
}

FileLock::Outcome FileLock::take(const std::string& path, bool wait, const std::function<void()>& waiting)
{
    release();
    failure_.clear();
    HeldFiles& held = held_files();
    {
        const std::lock_guard<std::mutex> guard(held.mutex);
        if (const auto file = held.files.find(path); file != held.files.end()) {
            ++file->second.holds;
            path_ = path;
            return Outcome::Held;
        }
    }
    // The wait happens outside the guard.
    int fd = -1;
    switch (lock_file(path, wait, waiting, fd, failure_)) {
    case Locked::Busy: return Outcome::Busy;
    case Locked::Failed: return Outcome::Unavailable;
    case Locked::Yes: break;
    }
    const std::lock_guard<std::mutex> guard(held.mutex);
    HeldFile& file = held.files[path];
    if (file.holds > 0)
        ::close(fd);
    else
        file.fd = fd;
    ++file.holds;
    path_ = path;
    return Outcome::Held;
}

void FileLock::release()
{
    if (path_.empty())
        return;
    HeldFiles& held = held_files();
    const std::lock_guard<std::mutex> guard(held.mutex);
    const auto file = held.files.find(path_);
    if (file != held.files.end() && --file->second.holds <= 0) {
        // Removed while still held, so that no one takes a lock on a file
        // that is about to go.
        (void)::unlink(path_.c_str());
        ::close(file->second.fd);
        held.files.erase(file);
    }
    path_.clear();
}
