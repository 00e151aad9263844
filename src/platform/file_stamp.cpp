#include "platform/file_stamp.h"

#include <sys/stat.h>

namespace {

FileStamp stamp_of(const struct stat& info)
{
    FileStamp s;
    s.known = true;
    s.device = static_cast<uint64_t>(info.st_dev);
    s.number = static_cast<uint64_t>(info.st_ino);
    s.size = static_cast<int64_t>(info.st_size);
    s.modified_ns = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return s;
}

}  // namespace

FileStamp file_stamp(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? stamp_of(info) : FileStamp{};
}

FileStamp descriptor_stamp(int fd)
{
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? stamp_of(info) : FileStamp{};
}
