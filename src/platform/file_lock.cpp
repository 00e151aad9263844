#include "platform/file_lock.h"

#include "platform/file_replace.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// flock, taken again when a signal interrupts the wait.
int lock_descriptor(int fd, int operation)
{
    int result = 0;
    do
        result = ::flock(fd, operation);
    while (result != 0 && errno == EINTR);
    return result;
}

}  // namespace

FileLock::~FileLock()
{
    release();
}

FileLock::Outcome FileLock::acquire(const std::string& path, const std::function<void()>& waiting)
{
    release();
    failure_.clear();
    bool told = false;
    for (;;) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) {
            failure_ = system_reason(errno);
            return Outcome::Unavailable;
        }
        if (lock_descriptor(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            if (error != EWOULDBLOCK) {
                ::close(fd);
                failure_ = system_reason(error);
                return Outcome::Unavailable;
            }
            if (!told && waiting)
                waiting();
            told = true;
            if (lock_descriptor(fd, LOCK_EX) != 0) {
                failure_ = system_reason(errno);
                ::close(fd);
                return Outcome::Unavailable;
            }
        }
        // The holder before removes the file as it lets go: a lock taken on
        // a file that is no longer under its name locks nothing, and the
        // file of that name is tried again.
        struct stat opened {}, named {};
        if (::fstat(fd, &opened) != 0 || (::stat(path.c_str(), &named) != 0 && errno != ENOENT)) {
            failure_ = system_reason(errno);
            ::close(fd);
            return Outcome::Unavailable;
        }
        if (named.st_nlink != 0 && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
            fd_ = fd;
            path_ = path;
            return Outcome::Held;
        }
        ::close(fd);
    }
}

void FileLock::release()
{
    if (fd_ < 0)
        return;
    // Removed while still held, so that no one takes a lock on a file that
    // is about to go.
    (void)::unlink(path_.c_str());
    ::close(fd_);
    fd_ = -1;
    path_.clear();
}
