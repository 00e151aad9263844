// A batch run whose folder lies on a file system mounted read-only: the
// run stops at the lock of its outputs, whose message names the system's
// reason, "Read-only file system.", whether the model file is there already
// or not, and keeps the file; a file made read-only on a writable file
// system is still "The file is read-only.", and the run changes nothing.
// The folder is bind-mounted read-only in a mount namespace of the run's
// own (as root, or as root of a user namespace of its own).
#include "batch_runs.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <string>
#include <utility>

namespace fs = std::filesystem;

namespace {

using batch_runs::bytes_of;

bool write_process_file(const char* path, const std::string& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    return ::close(fd) == 0 && ok;
}

// What the new process needs to mount `folder` read-only, made before it
// starts, so that it only calls the system.
struct ReadOnlyMount {
    std::string folder;
    std::string uid_map = "0 " + std::to_string(::getuid()) + " 1";
    std::string gid_map = "0 " + std::to_string(::getgid()) + " 1";

    // In the new process: a mount namespace of its own (with a user
    // namespace whose root is this user where the user may not make one
    // alone), in which the folder is bound onto itself read-only. The
    // remount keeps the flags the folder's file system has, which a user
    // namespace may not drop.
    bool operator()() const
    {
        if (::unshare(CLONE_NEWNS) != 0 &&
            (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 || !write_process_file("/proc/self/setgroups", "deny") ||
             !write_process_file("/proc/self/uid_map", uid_map) || !write_process_file("/proc/self/gid_map", gid_map)))
            return false;
        struct statvfs info {};
        if (::statvfs(folder.c_str(), &info) != 0)
            return false;
        unsigned long kept = 0;
        for (auto [st, ms] : {std::pair{ST_NOSUID, MS_NOSUID}, std::pair{ST_NODEV, MS_NODEV},
                              std::pair{ST_NOEXEC, MS_NOEXEC}, std::pair{ST_NOATIME, MS_NOATIME},
                              std::pair{ST_NODIRATIME, MS_NODIRATIME}, std::pair{ST_RELATIME, MS_RELATIME}})
            if (info.f_flag & st)
                kept |= ms;
        return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
               ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
               ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY | kept, nullptr) == 0;
    }
};

// The exit code that start_program gives a process whose set-up failed.
constexpr int NOT_STARTED = 125;

class ReadOnlyFileSystem : public batch_runs::ScratchFolderTest {
protected:
    int run(const std::string& batch, bool read_only) const
    {
        const ReadOnlyMount mount{scratch.string()};
        return batch_runs::finish_program(batch_runs::start_program(
            scratch, batch, err_file(), [read_only, &mount] { return !read_only || mount(); }));
    }
    // Standard error lies outside the folder, which may be read-only.
    fs::path err_file() const { return scratch.string() + "-stderr.txt"; }
    std::string err() const { return bytes_of(err_file()); }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove(err_file(), ignored);
        ScratchFolderTest::TearDown();
    }
};

}  // namespace

TEST_F(ReadOnlyFileSystem, WriteFailureNamesTheReadOnlyFileSystem)
{
    fs::copy_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf", scratch / "pump.mbf");
    fs::copy_file(scratch / "pump.mbf", scratch / "fresh.mbf");
    ASSERT_EQ(run("pump.mbf", false), 0) << err();
    const std::string model = bytes_of(scratch / "pump.mod");

    // The model file is there: the mount, not the file, refuses it.
    const int code = run("pump.mbf", true);
    if (code == NOT_STARTED)
        GTEST_SKIP() << "no mount namespace can be made here";
    EXPECT_EQ(code, 1);
    const std::string target = (scratch / "pump.mod").string();
    EXPECT_NE(err().find("Unable to lock the model file and its results:\n" + target + ".lock\nRead-only file system."),
              std::string::npos)
        << err();
    EXPECT_EQ(err().find("The file is read-only."), std::string::npos) << err();
    EXPECT_EQ(bytes_of(scratch / "pump.mod"), model);

    // No model file yet: the same reason.
    EXPECT_EQ(run("fresh.mbf", true), 1);
    EXPECT_NE(err().find("Unable to lock the model file and its results:\n" + (scratch / "fresh.mod").string() +
                         ".lock\nRead-only file system."),
              std::string::npos)
        << err();
    EXPECT_FALSE(fs::exists(scratch / "fresh.mod"));

    // A model file without write permission on a writable file system.
    fs::permissions(scratch / "pump.mod", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(run("pump.mbf", false), 1);
    EXPECT_NE(err().find("Unable to write model file:\n" + target + "\nThe file is read-only."), std::string::npos)
        << err();
    EXPECT_EQ(bytes_of(scratch / "pump.mod"), model);
    EXPECT_TRUE(fs::exists(scratch / "pump.res"));
    EXPECT_TRUE(fs::exists(scratch / "pump.txt"));
}
