#include "platform/file_replace.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

constexpr const char* TEMPORARY_MARK = ".tmp-";

// The folder and the name of a path ("." for a bare name).
void split_path(const std::string& path, std::string& folder, std::string& name)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        folder = ".";
        name = path;
    } else {
        folder = slash == 0 ? "/" : path.substr(0, slash);
        name = path.substr(slash + 1);
    }
}

// A whole decimal number of a text, no sign, no blanks; false otherwise.
bool whole_number(std::string_view text, long& value)
{
    if (text.empty() || text.size() > 18)
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value > 0;
}

// The process a temporary name of the target belongs to; 0 when the name
// is not one.
long temporary_process(std::string_view entry, std::string_view target_name)
{
    const std::string_view mark = TEMPORARY_MARK;
    if (entry.size() <= target_name.size() + mark.size() || entry.substr(0, target_name.size()) != target_name ||
        entry.substr(target_name.size(), mark.size()) != mark)
        return 0;
    const std::string_view rest = entry.substr(target_name.size() + mark.size());
    const std::size_t dash = rest.find('-');
    long process = 0, serial = 0;
    if (dash == std::string_view::npos || !whole_number(rest.substr(0, dash), process) ||
        (rest.substr(dash + 1) != "0" && !whole_number(rest.substr(dash + 1), serial)))
        return 0;
    return process;
}

// Only a process that is known to be gone: kill(0) tells of one that runs,
// also of another user (EPERM).
bool process_gone(long process)
{
    if (process <= 0 || process == static_cast<long>(::getpid()) || process > static_cast<long>(INT32_MAX))
        return false;
    return ::kill(static_cast<pid_t>(process), 0) != 0 && errno == ESRCH;
}

}  // namespace

std::string system_reason(int error)
{
    char buffer[256] = {};
    // The GNU form returns the text, which may or may not be in the buffer.
    const char* text = ::strerror_r(error, buffer, sizeof buffer);
    return std::string(text ? text : "Unknown error") + ".";
}

std::string with_reason(const std::string& message, const std::string& reason)
{
    return reason.empty() ? message : message + "\n" + reason;
}

std::string temporary_name(const std::string& target, long process, unsigned serial)
{
    return target + TEMPORARY_MARK + std::to_string(process) + "-" + std::to_string(serial);
}

void remove_stale_temporaries(const std::string& target)
{
    std::string folder, name;
    split_path(target, folder, name);
    if (name.empty())
        return;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir)
        return;
    const uid_t user = ::geteuid();
    while (const dirent* entry = ::readdir(dir.get())) {
        const long process = temporary_process(entry->d_name, name);
        if (!process_gone(process))
            continue;
        const std::string path = (folder == "/" ? "" : folder) + "/" + entry->d_name;
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != user)
            continue;
        (void)::unlink(path.c_str());
    }
}

ReplacementFile::~ReplacementFile()
{
    discard();
}

int ReplacementFile::create(const std::string& target)
{
    discard();
    failure_.clear();
    target_ = target;
    remove_stale_temporaries(target);
    static std::atomic<unsigned> serial{0};
    struct stat existing {};
    const bool have_target = ::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    const long process = static_cast<long>(::getpid());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = temporary_name(target, process, serial.fetch_add(1));
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (have_target)
                (void)::fchmod(fd, existing.st_mode & 07777);
            temporary_ = name;
            return fd;
        }
        if (errno != EEXIST) {
            failure_ = system_reason(errno);
            return -1;
        }
    }
    failure_ = system_reason(EEXIST);
    return -1;
}

bool ReplacementFile::put_in_place()
{
    if (temporary_.empty()) {
        failure_ = system_reason(ENOENT);
        return false;
    }
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        failure_ = system_reason(errno);
        discard();
        return false;
    }
    temporary_.clear();
    return true;
}

void ReplacementFile::discard()
{
    if (temporary_.empty())
        return;
    (void)::unlink(temporary_.c_str());
    temporary_.clear();
}
