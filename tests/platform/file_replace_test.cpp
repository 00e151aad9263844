// Files replaced through a temporary file beside them: the temporary's name
// and permissions, the one rename that puts it in place, the reasons of
// failures, and the temporaries that ended processes left behind.
#include "platform/file_lock.h"
#include "platform/file_replace.h"
#include "scratch_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

class FileReplaceTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return scratch.path(name); }
    void put(const std::string& name, const std::string& text) const { std::ofstream(path(name)) << text; }
    std::string text_of(const std::string& name) const
    {
        std::ifstream in(path(name));
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto& entry : fs::directory_iterator(dir))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    static void write_all(int fd, const std::string& text)
    {
        ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        ASSERT_EQ(::close(fd), 0);
    }

    ScratchFolder scratch{"file-replace"};
    const fs::path& dir = scratch.dir();
};

// A process that has ended (its child, waited for) and one that runs until
// it is killed.
pid_t ended_process()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

struct RunningProcess {
    pid_t pid = ::fork();
    RunningProcess()
    {
        if (pid == 0) {
            ::pause();
            ::_exit(0);
        }
    }
    ~RunningProcess()
    {
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
};

}  // namespace

TEST_F(FileReplaceTest, TemporaryBesideTheTargetTakesItsPermissionsAndReplacesItInOneRename)
{
    put("report.txt", "old");
    ASSERT_EQ(::chmod(path("report.txt").c_str(), 0640), 0);
    ReplacementFile file;
    const int fd = file.create(path("report.txt"));
    ASSERT_GE(fd, 0) << file.failure();
    EXPECT_EQ(file.temporary().rfind(path("report.txt") + ".tmp-" + std::to_string(::getpid()) + "-", 0), 0u);
    struct stat info {};
    ASSERT_EQ(::stat(file.temporary().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    write_all(fd, "new");
    // Until it is put in place the target is the previous file.
    EXPECT_EQ(text_of("report.txt"), "old");
    ASSERT_TRUE(file.put_in_place()) << file.failure();
    EXPECT_EQ(text_of("report.txt"), "new");
    EXPECT_EQ(names(), std::vector<std::string>{"report.txt"});
    EXPECT_FALSE(file.active());

    // Dropped: the target stays, the temporary goes, also by the destructor.
    {
        ReplacementFile dropped;
        write_all(dropped.create(path("report.txt")), "lost");
    }
    EXPECT_EQ(text_of("report.txt"), "new");
    EXPECT_EQ(names(), std::vector<std::string>{"report.txt"});
}

// Each failure says the system's reason, and leaves the folder as it was.
TEST_F(FileReplaceTest, WriteFailureReasonOfTheTemporaryAndOfTheRename)
{
    ReplacementFile file;
    EXPECT_LT(file.create(path("no-such-folder/report.txt")), 0);
    EXPECT_EQ(file.failure(), "No such file or directory.");
    EXPECT_FALSE(file.active());

    fs::create_directories(dir / "in-the-way" / "child");
    write_all(file.create(path("in-the-way")), "new");
    EXPECT_FALSE(file.put_in_place());
    EXPECT_EQ(file.failure(), "Is a directory.");
    EXPECT_EQ(names(), std::vector<std::string>{"in-the-way"});

    EXPECT_EQ(system_reason(ENOSPC), "No space left on device.");
    EXPECT_EQ(with_reason("Unable to write txt file:\n/x.txt", "No space left on device."),
              "Unable to write txt file:\n/x.txt\nNo space left on device.");
    EXPECT_EQ(with_reason("Unable to write txt file:\n/x.txt", ""), "Unable to write txt file:\n/x.txt");
}

// A killed run leaves its temporary file; the next one that writes the same
// name removes it, and only such files: those of a process that still runs
// (another's, this one's), of another target, of another form, and what is
// not a plain file stay.
TEST_F(FileReplaceTest, StaleTempFilesOfEndedProcessesGoWithTheNextWriteOfTheName)
{
    const std::string target = path("sample.txt");
    const pid_t gone = ended_process();
    const RunningProcess running;
    ASSERT_GT(running.pid, 0);
    const std::string stale = temporary_name(target, gone, 7);
    const std::string stale_first = temporary_name(target, gone, 0);
    const std::string live = temporary_name(target, running.pid, 3);
    const std::string own = temporary_name(target, static_cast<long>(::getpid()), 99999);
    const std::string other_target = temporary_name(path("sample.res"), gone, 1);
    const std::vector<std::string> other_forms = {target + ".tmp-" + std::to_string(gone) + "-7.old",
                                                  target + ".tmp-" + std::to_string(gone),
                                                  target + ".tmp-x" + std::to_string(gone) + "-1",
                                                  target + ".tmp--1-1", target + ".tmp"};
    for (const std::string& name : {stale, stale_first, live, own, other_target})
        std::ofstream(name) << std::string(1000, 'x');
    for (const std::string& name : other_forms)
        std::ofstream(name) << "x";
    const std::string folder = temporary_name(target, gone, 8);
    fs::create_directories(folder);
    put("sample.txt", "old");

    ReplacementFile file;
    write_all(file.create(target), "new");
    ASSERT_TRUE(file.put_in_place());
    EXPECT_EQ(text_of("sample.txt"), "new");
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_FALSE(fs::exists(stale_first));
    for (const std::string& kept : {live, own, other_target, folder})
        EXPECT_TRUE(fs::exists(kept)) << kept;
    for (const std::string& kept : other_forms)
        EXPECT_TRUE(fs::exists(kept)) << kept;

    // The same by a call of its own.
    std::ofstream(stale) << "x";
    remove_stale_temporaries(target);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(live));
}

namespace {

// The calls of put_in_place as a test sees them: each call, in order, with
// what it was given and what the target held at that moment; the system's
// calls do the work. Put back as they were at the end of the scope.
struct RecordedCalls {
    struct Call {
        std::string what;        // "sync file", "rename", "sync folder"
        ino_t file = 0;          // of the descriptor synced
        std::string from, to;    // of a rename
    };
    std::vector<Call> calls;
    int sync_file_error = 0;     // when not 0, sync_file fails with it
    int sync_folder_error = 0;

    RecordedCalls()
    {
        ReplacementCalls recorded;
        recorded.sync_file = [this](int fd) { return sync("sync file", fd, sync_file_error); };
        recorded.rename = [this](const char* from, const char* to) {
            calls.push_back({"rename", 0, from, to});
            return ::rename(from, to);
        };
        recorded.sync_folder = [this](int fd) { return sync("sync folder", fd, sync_folder_error); };
        set_replacement_calls(std::move(recorded));
    }
    ~RecordedCalls() { set_replacement_calls(system_replacement_calls()); }
    RecordedCalls(const RecordedCalls&) = delete;
    RecordedCalls& operator=(const RecordedCalls&) = delete;

    int sync(const char* what, int fd, int error)
    {
        struct stat info {};
        ::fstat(fd, &info);
        calls.push_back({what, info.st_ino, {}, {}});
        if (error != 0) {
            errno = error;
            return -1;
        }
        return ::fsync(fd);
    }
    std::vector<std::string> order() const
    {
        std::vector<std::string> out;
        for (const Call& c : calls)
            out.push_back(c.what);
        return out;
    }
};

ino_t inode_of(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

class DurableWrite : public FileReplaceTest {};
class LongFileName : public FileReplaceTest {};

std::string name_of(const std::string& path)
{
    return fs::path(path).filename().string();
}

}  // namespace

// The new file's data are flushed before it takes the target's name, and
// the folder after, so that a power cut leaves the old file or the whole
// new one: the file synced is the temporary one, the rename puts that one
// in place, the folder synced is the target's.
TEST_F(DurableWrite, FileIsFlushedBeforeItsRenameAndTheFolderAfter)
{
    put("model.mod", "old");
    RecordedCalls recorded;
    ReplacementFile file;
    const int fd = file.create(path("model.mod"));
    ASSERT_GE(fd, 0) << file.failure();
    const std::string temporary = file.temporary();
    const ino_t written = inode_of(temporary);
    write_all(fd, "new");
    ASSERT_TRUE(file.put_in_place()) << file.failure();
    ASSERT_EQ(recorded.order(), (std::vector<std::string>{"sync file", "rename", "sync folder"}));
    EXPECT_EQ(recorded.calls[0].file, written);
    EXPECT_EQ(recorded.calls[1].from, temporary);
    EXPECT_EQ(recorded.calls[1].to, path("model.mod"));
    EXPECT_EQ(recorded.calls[2].file, inode_of(dir.string()));
    EXPECT_EQ(inode_of(path("model.mod")), written);
    EXPECT_EQ(text_of("model.mod"), "new");
}

// A flush that fails is a failed write: the target stays as it was and the
// temporary goes. A folder the file system cannot flush at all is no
// failure; one whose flush fails after the rename is (the new file is in
// place, but not for sure on the disk).
TEST_F(DurableWrite, AFailedFlushIsAFailedWrite)
{
    put("model.res", "old");
    RecordedCalls recorded;
    recorded.sync_file_error = EIO;
    ReplacementFile file;
    write_all(file.create(path("model.res")), "new");
    EXPECT_FALSE(file.put_in_place());
    EXPECT_EQ(file.failure(), "Input/output error.");
    EXPECT_EQ(recorded.order(), std::vector<std::string>{"sync file"});
    EXPECT_EQ(text_of("model.res"), "old");
    EXPECT_EQ(names(), std::vector<std::string>{"model.res"});

    recorded.calls.clear();
    recorded.sync_file_error = 0;
    recorded.sync_folder_error = EINVAL;
    write_all(file.create(path("model.res")), "newer");
    EXPECT_TRUE(file.put_in_place()) << file.failure();
    EXPECT_EQ(text_of("model.res"), "newer");

    recorded.sync_folder_error = EIO;
    write_all(file.create(path("model.res")), "newest");
    EXPECT_FALSE(file.put_in_place());
    EXPECT_EQ(file.failure(), "Input/output error.");
    EXPECT_EQ(text_of("model.res"), "newest");
    EXPECT_EQ(names(), std::vector<std::string>{"model.res"});
}

// A model file of the longest name the system takes (255 bytes): its
// temporary and lock files are in its folder, within the limit, begin with
// as much of its name as fits and name it alone (two names alike but for
// their ends get names of their own); the write and the lock work.
TEST_F(LongFileName, TemporaryAndLockNamesOfA255ByteNameStayWithinTheLimit)
{
    const std::string name = std::string(251, 'm') + ".mod";
    const std::string alike = std::string(250, 'm') + "n.mod";
    ReplacementFile file;
    const int fd = file.create(path(name));
    ASSERT_GE(fd, 0) << file.failure();
    const std::string temporary = file.temporary();
    EXPECT_EQ(fs::path(temporary).parent_path(), dir);
    EXPECT_LE(name_of(temporary).size(), 255u);
    EXPECT_EQ(name_of(temporary).rfind(std::string(200, 'm'), 0), 0u);
    write_all(fd, "model");
    ASSERT_TRUE(file.put_in_place()) << file.failure();
    EXPECT_EQ(text_of(name), "model");
    EXPECT_NE(name_of(temporary_name(path(name), 7, 1)), name_of(temporary_name(path(alike), 7, 1)));

    const std::string lock_path = lock_file_path(path(name));
    EXPECT_EQ(fs::path(lock_path).parent_path(), dir);
    EXPECT_LE(name_of(lock_path).size(), 255u);
    EXPECT_NE(lock_path, lock_file_path(path(alike)));
    EXPECT_EQ(lock_file_path(path("short.mod")), path("short.mod") + ".lock");
    FileLock lock;
    ASSERT_EQ(lock.acquire(lock_path), FileLock::Outcome::Held) << lock.failure();
    EXPECT_TRUE(fs::exists(lock_path));
    lock.release();
    EXPECT_EQ(names(), std::vector<std::string>{name});
}

// A name cut short is never cut inside a character: a name of two-byte
// characters keeps whole ones.
TEST_F(LongFileName, ANameIsCutBetweenCharacters)
{
    std::string name;
    for (int i = 0; i < 125; ++i)
        name += "\xc3\xa9";   // e acute
    name += ".mod";
    ASSERT_EQ(name.size(), 254u);
    const std::string lock = name_of(lock_file_path(path(name)));
    ASSERT_LE(lock.size(), 255u);
    const std::size_t mark = lock.find('~');
    ASSERT_NE(mark, std::string::npos);
    EXPECT_EQ(mark % 2, 0u);
    EXPECT_EQ(lock.substr(0, mark), name.substr(0, mark));
}

// The temporaries a killed run left beside a long name are known for the
// target's and go with the next write; those of a running process stay.
TEST_F(LongFileName, StaleTemporariesOfALongNameGo)
{
    const std::string target = path(std::string(251, 'r') + ".res");
    const pid_t gone = ended_process();
    const RunningProcess running;
    const std::string stale = temporary_name(target, gone, 12);
    const std::string live = temporary_name(target, running.pid, 4);
    for (const std::string& made : {stale, live})
        std::ofstream(made) << "x";
    ASSERT_TRUE(fs::exists(stale));
    ReplacementFile file;
    write_all(file.create(target), "results");
    ASSERT_TRUE(file.put_in_place());
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(live));
}

// A file whose path is as long as the system takes (4095 bytes): the paths
// made beside it are no longer, and the write works.
TEST_F(LongFileName, NamesBesideAPathAtTheSystemsLimitStayWithinIt)
{
    fs::path folder = dir;
    while (folder.string().size() < 3800)
        folder /= std::string(200, 'f');
    fs::create_directories(folder);
    const std::string target =
        (folder / (std::string(4095 - folder.string().size() - 1 - 4, 'p') + ".mod")).string();
    ASSERT_EQ(target.size(), 4095u);
    ReplacementFile file;
    const int fd = file.create(target);
    ASSERT_GE(fd, 0) << file.failure();
    EXPECT_LE(file.temporary().size(), 4095u);
    write_all(fd, "model");
    ASSERT_TRUE(file.put_in_place()) << file.failure();
    EXPECT_TRUE(fs::exists(target));
    EXPECT_LE(lock_file_path(target).size(), 4095u);
    FileLock lock;
    EXPECT_EQ(lock.acquire(lock_file_path(target)), FileLock::Outcome::Held) << lock.failure();
}
