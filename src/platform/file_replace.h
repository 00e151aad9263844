// Files written beside their target under a temporary name and put in its
// place by one rename, so that at every moment the target is the previous
// file or the whole new one, under its own name, whatever happens to the
// writer: a failed write, a full disk, a process killed at any instant, the
// power cut. The new file's data reach the disk before it takes the name,
// and the name reaches it before the write is reported done.
//
// The temporary file is "<target>.tmp-<process id>-<n>", or, where that
// would pass the system's limit on a name (or on a path), the target's name
// cut short and marked with a hash of the whole name before ".tmp-...":
// every name made beside a target stays within the limits the target's own
// name keeps. Making one first removes the temporaries of the same target
// that processes no longer running left behind (a run that was killed);
// those of a running process, this one's included, are never touched.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include <sys/types.h>

// The system's reason for an error number, as a sentence: "No space left on
// device.".
std::string system_reason(int error);
// The reason a FIFO or a device is not read as a file.
inline constexpr const char* NOT_REGULAR_FILE_REASON = "Not a regular file.";
// A failure message and, on a line of its own after it, the reason when
// there is one.
std::string with_reason(const std::string& message, const std::string& reason);

// A path in the target's folder named for the target: the target with
// `suffix` after it where the name and the path stay within the system's
// limits (NAME_MAX of the folder's file system, PATH_MAX), else the target's
// name cut short (never inside a UTF-8 character), "~", the sixteen hex
// digits of a hash of its whole name, then the suffix: as long as the
// limits allow, and still the one target's.
std::string path_beside(const std::string& target, std::string_view suffix);

// The calls through which a replacement reaches the disk, in their order:
// the data a writer hands over go into the temporary file (write, for the
// writers that write through write_replacement), the temporary file's data
// are flushed (sync_file on the file, opened again for it), the file takes
// the target's name (rename), and the folder is flushed so that the new
// name lasts (sync_folder on the folder). Tests put in calls of their own
// to see the order or to make one fail (a full disk); each returns as the
// system's call does, -1 with errno set on a failure. A write left empty
// is the system's.
struct ReplacementCalls {
    std::function<int(int fd)> sync_file;
    std::function<int(const char* from, const char* to)> rename;
    std::function<int(int fd)> sync_folder;
    std::function<ssize_t(int fd, const void* data, std::size_t size)> write;
};
// The system's calls: fsync, rename, fsync, write.
ReplacementCalls system_replacement_calls();
// The calls that put_in_place uses now; set_replacement_calls(
// system_replacement_calls()) puts the system's back.
const ReplacementCalls& replacement_calls();
void set_replacement_calls(ReplacementCalls calls);

// Writes all the bytes to the descriptor (of a temporary file) through
// replacement_calls().write, again after an interrupted or a short write:
// false, with the system's reason ("No space left on device.") in
// `failure`, at the first write that fails.
bool write_replacement(int fd, const void* data, std::size_t size, std::string& failure);

// Flushes the folder of the target (through replacement_calls().sync_folder),
// so that the names that were made or removed there last: false, with the
// reason in `failure`, when that failed (a file system that cannot flush a
// folder at all is no failure).
bool flush_folder_of(const std::string& target, std::string& failure);

// One temporary file beside a target, removed again unless it was put in
// place.
class ReplacementFile {
public:
    ReplacementFile() = default;
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Makes the temporary file (discarding one made before) with the
    // target's permission bits when the target is a file, else those of a
    // new file. Returns its descriptor, open for writing, which the caller
    // closes; -1 with failure() set when no file could be made.
    int create(const std::string& target);
    // Flushes the (closed) temporary file to the disk, renames it over the
    // target in one step and flushes the folder. False, with failure() set,
    // when the flush of the file or the rename failed (the temporary is then
    // removed and the target is as it was) or when the flush of the folder
    // failed (the new file has the name, but its lasting is not assured); a
    // file system that cannot flush a folder at all is no failure.
    bool put_in_place();
    // Removes the temporary file; the target stays as it was.
    void discard();

    bool active() const { return !temporary_.empty(); }
    const std::string& target() const { return target_; }
    const std::string& temporary() const { return temporary_; }
    // Why the last create or put_in_place failed, as a sentence; empty when
    // it did not.
    const std::string& failure() const { return failure_; }

private:
    std::string target_;
    std::string temporary_;
    std::string failure_;
};

// Removes the temporary files of the target that processes no longer
// running left behind, and only those: a name of another form, a process
// that runs (or whose state cannot be told), a file of another user or one
// that is not a plain file stays.
void remove_stale_temporaries(const std::string& target);
// The temporary-file name of the target for a process and a serial number.
std::string temporary_name(const std::string& target, long process, unsigned serial);
