// Files replaced through a temporary file beside them: the temporary's name
// and permissions, the one rename that puts it in place, the reasons of
// failures, and the temporaries that ended processes left behind.
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
