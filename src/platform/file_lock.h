// A lock that one process at a time holds on a set of files, made by a
// lock file beside them. The lock is the kernel's (flock) on the open lock
// file, so it ends with the process that holds it however that process
// ends: a run that was killed never blocks the next one. The holder removes
// the lock file when it lets go; one left by a killed process is taken over.
//
// Within one process the locks of one lock file share the kernel's lock:
// a second FileLock of a path this process holds holds it at once (a save
// inside a run that holds the lock goes on), and the lock is let go when the
// last of them is.
#pragma once

#include <functional>
#include <string>

// The lock file of a file: "<target>.lock", or a name as short as the
// system's limits need that still names the one target (path_beside).
std::string lock_file_path(const std::string& target);

class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    enum class Outcome {
        Held,        // this process holds the lock
        Busy,        // another process holds it (try_acquire only)
        Unavailable  // no lock file could be made or locked (a read-only
                     // folder, a folder in its place); failure() says why
    };
    // Takes the lock of `path` (the lock file), letting go of one held
    // before. When another process holds it, `waiting` is called once and
    // the call waits until that process lets go or ends.
    Outcome acquire(const std::string& path, const std::function<void()>& waiting = {});
    // The same without waiting: Busy while another process holds it.
    Outcome try_acquire(const std::string& path);
    // Lets go of the lock; the last holder in the process removes the lock
    // file.
    void release();

    bool held() const { return !path_.empty(); }
    const std::string& path() const { return path_; }
    const std::string& failure() const { return failure_; }

private:
    Outcome take(const std::string& path, bool wait, const std::function<void()>& waiting);

    std::string path_;   // of the lock held, else empty
    std::string failure_;
};
