#include "platform/file_replace.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

constexpr const char* TEMPORARY_MARK = ".tmp-";
// "~" and sixteen hex digits.
constexpr std::size_t HASH_MARK_SIZE = 17;

// A target as the names beside it are made: the path up to its name (with
// the slash), its name, and the longest name the folder takes there.
struct TargetName {
    std::string prefix;
    std::string name;
    std::string folder;
    std::size_t limit = NAME_MAX;
};

TargetName target_name_of(const std::string& target)
{
    TargetName t;
    const std::size_t slash = target.rfind('/');
    const std::size_t name_at = slash == std::string::npos ? 0 : slash + 1;
    t.prefix = target.substr(0, name_at);
    t.name = target.substr(name_at);
    t.folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const long folder_limit = ::pathconf(t.folder.c_str(), _PC_NAME_MAX);
    if (folder_limit > 0 && static_cast<unsigned long>(folder_limit) < t.limit)
        t.limit = static_cast<std::size_t>(folder_limit);
    // PATH_MAX counts the closing NUL.
    const std::size_t path_room = name_at + 1 < PATH_MAX ? PATH_MAX - 1 - name_at : 0;
    if (path_room < t.limit)
        t.limit = path_room;
    return t;
}

// FNV-1a: the same in every process and every build, so that the name one
// run made is known to the next.
uint64_t name_hash(std::string_view name)
{
    uint64_t hash = 14695981039346656037ull;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

// The name beside the target with the suffix (see path_beside).
std::string name_beside(const TargetName& t, std::string_view suffix)
{
    if (t.name.size() + suffix.size() <= t.limit)
        return t.name + std::string(suffix);
    std::size_t keep = t.limit > suffix.size() + HASH_MARK_SIZE ? t.limit - suffix.size() - HASH_MARK_SIZE : 0;
    if (keep > t.name.size())
        keep = t.name.size();
    // Not inside a character: a continuation byte of UTF-8 is 10xxxxxx.
    while (keep > 0 && keep < t.name.size() && (static_cast<unsigned char>(t.name[keep]) & 0xC0) == 0x80)
        --keep;
    char mark[HASH_MARK_SIZE + 1];
    std::snprintf(mark, sizeof mark, "~%016llx", static_cast<unsigned long long>(name_hash(t.name)));
    return t.name.substr(0, keep) + mark + std::string(suffix);
}

std::string temporary_suffix(long process, unsigned serial)
{
    return TEMPORARY_MARK + std::to_string(process) + "-" + std::to_string(serial);
}

// A whole decimal number of a text, no sign, no blanks, above 0; false
// otherwise.
bool whole_number(std::string_view text, long& value)
{
    if (text.empty() || text.size() > 18)
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value > 0;
}

// The process a temporary name of the target belongs to; 0 when the name
// is not one: the name the target's temporary of that process and serial
// number has.
long temporary_process(std::string_view entry, const TargetName& target)
{
    const std::size_t mark = entry.rfind(TEMPORARY_MARK);
    if (mark == std::string_view::npos)
        return 0;
    const std::string_view rest = entry.substr(mark + std::strlen(TEMPORARY_MARK));
    const std::size_t dash = rest.find('-');
    long process = 0, serial = 0;
    if (dash == std::string_view::npos || !whole_number(rest.substr(0, dash), process) ||
        (rest.substr(dash + 1) != "0" && !whole_number(rest.substr(dash + 1), serial)) || serial > UINT_MAX)
        return 0;
    return name_beside(target, temporary_suffix(process, static_cast<unsigned>(serial))) == entry ? process : 0;
}

// Only a process that is known to be gone: kill(0) tells of one that runs,
// also of another user (EPERM).
bool process_gone(long process)
{
    if (process <= 0 || process == static_cast<long>(::getpid()) || process > static_cast<long>(INT32_MAX))
        return false;
    return ::kill(static_cast<pid_t>(process), 0) != 0 && errno == ESRCH;
}

struct InstalledCalls {
    std::mutex mutex;
    ReplacementCalls calls = system_replacement_calls();
};

// Never destroyed: a file may be written as the program's state goes, at
// the process's end.
InstalledCalls& installed_calls()
{
    static InstalledCalls* const installed = new InstalledCalls;
    return *installed;
}

// Errors of a folder's flush that say the file system keeps no such thing to
// flush, rather than that something was lost.
bool folder_cannot_be_flushed(int error)
{
    return error == EINVAL || error == EOPNOTSUPP || error == EROFS;
}

bool flush_folder(const std::string& target, const ReplacementCalls& calls, std::string& failure)
{
    const TargetName t = target_name_of(target);
    const int folder = ::open(t.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return true;   // a folder this user may not read: nothing to flush it through
    const bool flushed = calls.sync_folder(folder) == 0;
    const int error = flushed ? 0 : errno;
    ::close(folder);
    if (!flushed && !folder_cannot_be_flushed(error)) {
        failure = system_reason(error);
        return false;
    }
    return true;
}

// The calls installed now.
ReplacementCalls current_calls()
{
    InstalledCalls& installed = installed_calls();
    const std::lock_guard<std::mutex> lock(installed.mutex);
    return installed.calls;
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

std::string path_beside(const std::string& target, std::string_view suffix)
{
    const TargetName t = target_name_of(target);
    return t.prefix + name_beside(t, suffix);
}

ReplacementCalls system_replacement_calls()
{
    return {::fsync, ::rename, ::fsync, ::write};
}

bool write_replacement(int fd, const void* data, std::size_t size, std::string& failure)
{
    const ReplacementCalls calls = current_calls();
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t put = calls.write ? calls.write(fd, bytes, size) : ::write(fd, bytes, size);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            // A write that took nothing without an error would take nothing again.
            failure = system_reason(put < 0 ? errno : EIO);
            return false;
        }
        bytes += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

const ReplacementCalls& replacement_calls()
{
    return installed_calls().calls;
}

void set_replacement_calls(ReplacementCalls calls)
{
    InstalledCalls& installed = installed_calls();
    const std::lock_guard<std::mutex> lock(installed.mutex);
    installed.calls = std::move(calls);
}

bool flush_folder_of(const std::string& target, std::string& failure)
{
    return flush_folder(target, current_calls(), failure);
}

std::string temporary_name(const std::string& target, long process, unsigned serial)
{
    return path_beside(target, temporary_suffix(process, serial));
}

void remove_stale_temporaries(const std::string& target)
{
    const TargetName t = target_name_of(target);
    if (t.name.empty())
        return;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(t.folder.c_str()), ::closedir);
    if (!dir)
        return;
    const uid_t user = ::geteuid();
    while (const dirent* entry = ::readdir(dir.get())) {
        const long process = temporary_process(entry->d_name, t);
        if (!process_gone(process))
            continue;
        const std::string path = t.prefix + entry->d_name;
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
    const ReplacementCalls calls = current_calls();
    // The data first: a name that reached the disk before its file's data
    // would stand for an empty or partial file after a power cut.
    const int fd = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
    int error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        if (calls.sync_file(fd) != 0)
            error = errno;
        ::close(fd);
    }
    if (error == 0 && calls.rename(temporary_.c_str(), target_.c_str()) != 0)
        error = errno;
    if (error != 0) {
        failure_ = system_reason(error);
        discard();
        return false;
    }
    temporary_.clear();
    // Then the name: the folder holds it.
    return flush_folder(target_, calls, failure_);
}

void ReplacementFile::discard()
{
    if (temporary_.empty())
        return;
    (void)::unlink(temporary_.c_str());
    temporary_.clear();
}
