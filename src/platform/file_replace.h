// Files written beside their target under a temporary name and put in its
// place by one rename, so that at every moment the target is the previous
// file or the whole new one, under its own name, whatever happens to the
// writer: a failed write, a full disk, a process killed at any instant.
//
// The temporary file is "<target>.tmp-<process id>-<n>". Making one first
// removes the temporaries of the same target that processes no longer
// running left behind (a run that was killed); those of a running process,
// this one's included, are never touched.
#pragma once

#include <string>

// The system's reason for an error number, as a sentence: "No space left on
// device.".
std::string system_reason(int error);
// A failure message and, on a line of its own after it, the reason when
// there is one.
std::string with_reason(const std::string& message, const std::string& reason);

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
    // Renames the temporary file over the target in one step. False, with
    // failure() set and the temporary removed, when that failed; the target
    // is then as it was.
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
