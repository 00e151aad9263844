// A lock that one process at a time holds on a set of files, made by a
// lock file beside them. The lock is the kernel's (flock) on the open lock
// file, so it ends with the process that holds it however that process
// ends: a run that was killed never blocks the next one. The holder removes
// the lock file when it lets go; one left by a killed process is taken over.
#pragma once

#include <functional>
#include <string>

class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    enum class Outcome {
        Held,        // this process holds the lock
        Unavailable  // no lock file could be made (a read-only folder, say); failure() says why
    };
    // Takes the lock of `path` (the lock file), letting go of one held
    // before. When another process holds it, `waiting` is called once and
    // the call waits until that process lets go or ends.
    Outcome acquire(const std::string& path, const std::function<void()>& waiting = {});
    // Lets go of the lock and removes the lock file.
    void release();

    bool held() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    const std::string& failure() const { return failure_; }

private:
    int fd_ = -1;
    std::string path_;
    std::string failure_;
};
