// What tells one version of a file on disk from another: the file system's
// device and file number, the size, and the time the file was made (the
// time of the last change of its data where the file system keeps no such
// time). A file written anew (a new file renamed into place) is another
// file, even where its number is one that an earlier file had; a file
// whose times alone were set is the same.
#pragma once

#include <cstdint>
#include <string>

struct FileStamp {
    bool known = false;   // false: no file, or it could not be looked at
    uint64_t device = 0;
    uint64_t number = 0;
    int64_t size = 0;
    int64_t made_ns = 0;

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file a path names now (unknown when there is none).
FileStamp file_stamp(const std::string& path);
// The stamp of an open file.
FileStamp descriptor_stamp(int fd);
