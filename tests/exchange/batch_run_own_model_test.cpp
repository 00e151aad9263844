// A batch run reports the model it analysed, and two runs on the same
// files do not mix them: the program binary on a generated network whose
// batch file and model file are changed while it runs, two runs of one
// batch file started together, a run that finds the outputs locked, and a
// lock left by a killed run.
#include "batch_runs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <regex>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

using batch_runs::bytes_of;
using batch_runs::finish_program;
using batch_runs::network;
using batch_runs::start_program;

constexpr const char* WAITING = "this run waits for it to end.";

// The wedged risers' network: its analysis takes ten times as long as its
// import, long enough for a test to change files around it.
std::string long_network(int variant)
{
    return network(variant, batch_runs::wedged_risers());
}

class BatchRunOwnModel : public batch_runs::ScratchFolderTest {
protected:
    fs::path at(const std::string& name) const { return scratch / name; }
    void write(const std::string& name, const std::string& text) const
    {
        std::ofstream(at(name), std::ios::binary) << text;
    }
    // Writes a file as a program saving it does: a new file renamed over the old.
    void replace(const std::string& name, const std::string& text) const
    {
        write(name + ".new", text);
        fs::rename(at(name + ".new"), at(name));
    }
    pid_t start(const std::string& batch, const std::string& err) const
    {
        return start_program(scratch, batch, at(err));
    }
    // Waits until the file exists; false after a minute without it.
    bool wait_for(const std::string& name) const
    {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (!fs::exists(at(name)))
            if (std::chrono::steady_clock::now() > give_up)
                return false;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return true;
    }
    bool wait_for_text(const std::string& name, const std::string& text) const
    {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (bytes_of(at(name)).find(text) == std::string::npos)
            if (std::chrono::steady_clock::now() > give_up)
                return false;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return true;
    }
};

// The report names the variant it was made of: its title, and the header's
// first operating temperature in the pipe loads (450 or 451 degF).
void expect_report_of_variant(const std::string& report, int variant)
{
    EXPECT_NE(report.find("Generated piping network, variant " + std::to_string(variant)), std::string::npos);
    EXPECT_EQ(report.find("Generated piping network, variant " + std::to_string(1 - variant)), std::string::npos);
    EXPECT_TRUE(std::regex_search(report, std::regex(variant == 0 ? "\n +HOT +450 +150 " : "\n +HOT +451 +150 ")));
    EXPECT_FALSE(std::regex_search(report, std::regex(variant == 0 ? "\n +HOT +451 " : "\n +HOT +450 ")));
}

}  // namespace

// While the run analyses variant 0, its batch file becomes variant 1 and
// its model file another model (as a save from the window would make it):
// the run still reports variant 0, the model it analysed, with its results.
TEST_F(BatchRunOwnModel, ReportIsOfTheModelItAnalysedWhenItsFilesChangeDuringTheRun)
{
    // The model file of variant 1, to put in place of the run's.
    fs::create_directories(at("other"));
    std::ofstream(at("other/net.mbf"), std::ios::binary) << long_network(1);
    ASSERT_EQ(finish_program(start_program(at("other"), "net.mbf", at("other/stderr.txt"))), 0);
    const std::string other_model = bytes_of(at("other/net.mod"));
    ASSERT_FALSE(other_model.empty());

    write("net.mbf", long_network(0));
    const pid_t run = start("net.mbf", "stderr.txt");
    ASSERT_TRUE(wait_for("net.mod"));
    write("net.mbf", long_network(1));
    replace("net.mod", other_model);
    // The run has not come to its results yet: it reports after they are written.
    ASSERT_FALSE(fs::exists(at("net.res")));
    ASSERT_EQ(finish_program(run), 0) << bytes_of(at("stderr.txt"));
    const std::string report = bytes_of(at("net.txt"));
    ASSERT_GT(report.size(), 100000u);
    expect_report_of_variant(report, 0);
    // Nor are the results marked older than a model the run did not analyse.
    EXPECT_EQ(report.find("out of date"), std::string::npos);
    EXPECT_EQ(bytes_of(at("stderr.txt")).find("older than the model"), std::string::npos);
    EXPECT_EQ(bytes_of(at("net.mod")), other_model);
}

// A second run of the batch file, started while the first analyses, waits
// for it: the files change in the order of one whole run and then the
// other (model, results, report; model, results, report), and at the end
// they are all the second run's.
TEST_F(BatchRunOwnModel, TwoRunsOfOneBatchFileWriteOneAfterTheOther)
{
    write("net.mbf", long_network(0));
    const pid_t first = start("net.mbf", "first.txt");
    ASSERT_TRUE(wait_for("net.mod"));
    write("net.mbf", long_network(1));
    const pid_t second = start("net.mbf", "second.txt");

    // Every change of the three files, in order: each write puts a new file
    // in place under the name. A run removes the old results and report
    // first, and the file system may give the new file the freed inode: a
    // name seen missing counts its next file as new, and a file put in
    // place has a change time of its own.
    const char* const names[] = {"net.mod", "net.res", "net.txt"};
    std::vector<std::string> changes = {"net.mod"};
    struct stat seen[3] = {};
    ::stat(at("net.mod").c_str(), &seen[0]);
    auto same_file = [](const struct stat& a, const struct stat& b) {
        return a.st_ino == b.st_ino && a.st_dev == b.st_dev && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
               a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
    };
    int first_code = -1, second_code = -1;
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(5);
    while ((first_code < 0 || second_code < 0) && std::chrono::steady_clock::now() < give_up) {
        for (std::size_t i = 0; i < 3; ++i) {
            struct stat now {};
            if (::stat(at(names[i]).c_str(), &now) != 0) {
                seen[i] = {};
            } else if (!same_file(now, seen[i])) {
                seen[i] = now;
                changes.push_back(names[i]);
            }
        }
        int status = 0;
        for (auto [pid, code] : {std::pair{first, &first_code}, std::pair{second, &second_code}})
            if (*code < 0 && ::waitpid(pid, &status, WNOHANG) == pid)
                *code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    ASSERT_EQ(first_code, 0) << bytes_of(at("first.txt"));
    ASSERT_EQ(second_code, 0) << bytes_of(at("second.txt"));
    EXPECT_EQ(changes, (std::vector<std::string>{"net.mod", "net.res", "net.txt", "net.mod", "net.res", "net.txt"}));
    expect_report_of_variant(bytes_of(at("net.txt")), 1);
    EXPECT_EQ(bytes_of(at("first.txt")).find(WAITING), std::string::npos);
    EXPECT_FALSE(fs::exists(at("net.mod.lock")));
}

// Outputs locked as a running batch run locks them: the run says that it
// waits and writes nothing until the lock is let go, then runs whole.
TEST_F(BatchRunOwnModel, ARunWaitsWhileTheOutputsAreLockedAndThenRunsWhole)
{
    fs::copy_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf", at("pump.mbf"));
    const int lock = ::open(at("pump.mod.lock").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    const pid_t run = start("pump.mbf", "stderr.txt");
    ASSERT_TRUE(wait_for_text("stderr.txt", WAITING));
    EXPECT_NE(bytes_of(at("stderr.txt")).find("Another run is writing " + at("pump.mod").string() + " and its results"),
              std::string::npos)
        << bytes_of(at("stderr.txt"));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(fs::exists(at("pump.mod")));
    EXPECT_EQ(::waitpid(run, nullptr, WNOHANG), 0);   // still waiting
    ::close(lock);
    EXPECT_EQ(finish_program(run), 0) << bytes_of(at("stderr.txt"));
    EXPECT_TRUE(fs::exists(at("pump.res")));
    EXPECT_GT(fs::file_size(at("pump.txt")), 10000u);
    EXPECT_FALSE(fs::exists(at("pump.mod.lock")));
}

// A run killed while it holds the lock leaves the lock file, but the
// kernel's lock ended with it: the next run neither waits nor fails, and
// removes the file when it ends.
TEST_F(BatchRunOwnModel, ALockLeftByAKilledRunDoesNotBlockTheNext)
{
    write("net.mbf", network(0));
    const pid_t killed = start("net.mbf", "killed.txt");
    ASSERT_TRUE(wait_for("net.mod.lock"));
    ::kill(killed, SIGKILL);
    EXPECT_EQ(finish_program(killed), 128 + SIGKILL);
    EXPECT_TRUE(fs::exists(at("net.mod.lock")));
    const auto begun = std::chrono::steady_clock::now();
    EXPECT_EQ(finish_program(start("net.mbf", "stderr.txt")), 0) << bytes_of(at("stderr.txt"));
    EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::minutes(2));
    EXPECT_EQ(bytes_of(at("stderr.txt")).find(WAITING), std::string::npos);
    expect_report_of_variant(bytes_of(at("net.txt")), 0);
    EXPECT_FALSE(fs::exists(at("net.mod.lock")));
}

// A folder where the lock file of the outputs goes: the run says why it
// cannot take the lock and stops, writing nothing.
TEST_F(BatchRunOwnModel, ALockThatCannotBeTakenStopsTheRunWithItsReason)
{
    fs::copy_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf", at("pump.mbf"));
    fs::create_directories(at("pump.mod.lock"));
    EXPECT_EQ(finish_program(start("pump.mbf", "stderr.txt")), 1);
    EXPECT_NE(bytes_of(at("stderr.txt"))
                  .find("Unable to lock the model file and its results:\n" + at("pump.mod.lock").string() +
                        "\nIs a directory."),
              std::string::npos)
        << bytes_of(at("stderr.txt"));
    for (const char* name : {"pump.mod", "pump.res", "pump.txt"})
        EXPECT_FALSE(fs::exists(at(name))) << name;
}
