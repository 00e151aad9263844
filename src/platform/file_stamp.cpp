#include "platform/file_stamp.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace {

int64_t nanoseconds(const struct statx_timestamp& t)
{
    return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

FileStamp stamp_at(int folder, const char* path, int flags)
{
    struct statx info {};
    if (::statx(folder, path, flags, STATX_BASIC_STATS | STATX_BTIME, &info) != 0 || !S_ISREG(info.stx_mode))
        return {};
    FileStamp s;
    s.known = true;
    s.device = (static_cast<uint64_t>(info.stx_dev_major) << 32) | info.stx_dev_minor;
    s.number = info.stx_ino;
    s.size = static_cast<int64_t>(info.stx_size);
    s.made_ns = nanoseconds((info.stx_mask & STATX_BTIME) ? info.stx_btime : info.stx_mtime);
    return s;
}

}  // namespace

FileStamp file_stamp(const std::string& path)
{
    return stamp_at(AT_FDCWD, path.c_str(), 0);
}

FileStamp descriptor_stamp(int fd)
{
    return stamp_at(fd, "", AT_EMPTY_PATH);
}
