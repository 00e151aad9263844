// What a batch run leaves beside its batch file when it is killed or cannot
// write: the program binary run on a generated network, killed at random
// moments, leaves each of its files (model, results, report) as the
// previous run wrote it or as this one did, whole, under its own name, and
// the next run clears the temporary files the killed one left; a file-size
// limit refuses the results file or the report, and the message on
// standard error names the system's reason.
//
// KV_KILL_RUNS sets how many runs are killed (scripts/kill_batch_runs.sh
// runs a few dozen and prints the counts).
#include "../bench/piping_network.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string bytes_of(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class BatchFilesOnFailure : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch = fs::path(::testing::TempDir()) /
                  ("korvane_batch_files_" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
                   std::to_string(::getpid()));
        fs::remove_all(scratch);
        fs::create_directories(scratch);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    }

    // Starts the program on a batch file in the scratch folder, without a
    // display, its standard error to stderr.txt; with a file-size limit in
    // bytes when `file_limit` is not 0 (its signal ignored, so that a write
    // beyond it fails as a full disk's would).
    pid_t start(const std::string& batch, rlim_t file_limit = 0) const
    {
        const std::string err = (scratch / "stderr.txt").string();
        const pid_t child = ::fork();
        if (child != 0)
            return child;
        if (::chdir(scratch.c_str()) != 0)
            ::_exit(120);
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::unsetenv("QT_QPA_PLATFORM");
        const int null_fd = ::open("/dev/null", O_RDWR);
        const int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (null_fd < 0 || err_fd < 0)
            ::_exit(121);
        ::dup2(null_fd, 0);
        ::dup2(null_fd, 1);
        ::dup2(err_fd, 2);
        if (file_limit != 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{file_limit, file_limit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execl(KV_PROGRAM_PATH, KV_PROGRAM_PATH, batch.c_str(), static_cast<char*>(nullptr));
        ::_exit(122);
    }
    static int finish(pid_t child)
    {
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::string err() const { return bytes_of(scratch / "stderr.txt"); }
    std::vector<std::string> temporaries() const
    {
        std::vector<std::string> out;
        for (const auto& entry : fs::directory_iterator(scratch))
            if (entry.path().filename().string().find(".tmp") != std::string::npos)
                out.push_back(entry.path().filename().string());
        return out;
    }

    fs::path scratch;
};

// The generated network, its title naming the variant and the header's
// first operating temperature a degree higher in variant 1, so that two
// runs of different variants write different files, results included.
std::string network(int variant)
{
    piping_network::Options o;
    o.rows = 600;
    o.rigid = true;
    std::string text = piping_network::batch_text(o);
    text.replace(0, text.find('\n'), "Generated piping network, variant " + std::to_string(variant));
    const std::string hot = "HOT,450,";
    const std::size_t at = text.find(hot);
    if (variant == 1 && at != std::string::npos)
        text.replace(at, hot.size(), "HOT,451,");
    return text;
}

int kill_runs()
{
    const char* text = std::getenv("KV_KILL_RUNS");
    const int n = text ? std::atoi(text) : 0;
    return n > 0 ? n : 8;
}

}  // namespace

// Each run writes the variant that the run before it did not; a run killed
// at a random moment between its start and a little past the time a whole
// run takes leaves every file as one of the two whole runs wrote it.
TEST_F(BatchFilesOnFailure, ReportReplaceAtomicUnderKillsAtRandomMomentsAndStaleTempFilesGo)
{
    // The files of a whole run of each variant.
    std::map<std::string, std::string> whole[2];
    double seconds = 0.0;
    for (int variant : {1, 0}) {
        std::ofstream(scratch / "net.mbf", std::ios::binary) << network(variant);
        const auto begun = std::chrono::steady_clock::now();
        ASSERT_EQ(finish(start("net.mbf")), 0) << err();
        seconds = std::max(seconds, std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count());
        for (const char* ext : {"mod", "res", "txt"})
            whole[variant][ext] = bytes_of(scratch / (std::string("net.") + ext));
        ASSERT_GT(whole[variant]["txt"].size(), 1000000u);
    }
    for (const char* ext : {"mod", "res", "txt"})
        ASSERT_NE(whole[0][ext], whole[1][ext]) << ext;

    std::mt19937 random(static_cast<unsigned>(::getpid()));
    std::uniform_real_distribution<double> moment(0.0, 1.1 * seconds);
    // By file: kept as the run before wrote it, or replaced by this run's.
    std::map<std::string, int> kept, replaced;
    int temporaries_left = 0;
    const int runs = kill_runs();
    for (int run = 1; run <= runs; ++run) {
        const int variant = run % 2;
        std::ofstream(scratch / "net.mbf", std::ios::binary) << network(variant);
        const pid_t child = start("net.mbf");
        std::this_thread::sleep_for(std::chrono::duration<double>(moment(random)));
        ::kill(child, SIGKILL);
        finish(child);
        for (const char* ext : {"mod", "res", "txt"}) {
            const fs::path file = scratch / (std::string("net.") + ext);
            ASSERT_TRUE(fs::exists(file)) << "run " << run << ": no net." << ext;
            const std::string bytes = bytes_of(file);
            if (bytes == whole[variant][ext])
                ++replaced[ext];
            else if (bytes == whole[1 - variant][ext])
                ++kept[ext];
            else
                ADD_FAILURE() << "run " << run << ": net." << ext << " is neither run's whole file (" << bytes.size()
                              << " bytes)";
        }
        temporaries_left += static_cast<int>(temporaries().size());
        // The next run (a whole one now and then) clears what this one left.
        if (run % 4 == 0) {
            ASSERT_EQ(finish(start("net.mbf")), 0) << err();
            EXPECT_EQ(temporaries(), std::vector<std::string>{});
            for (const char* ext : {"mod", "res", "txt"})
                EXPECT_EQ(bytes_of(scratch / (std::string("net.") + ext)), whole[variant][ext]) << ext;
        }
    }
    std::ofstream(scratch / "net.mbf", std::ios::binary) << network(0);
    ASSERT_EQ(finish(start("net.mbf")), 0) << err();
    EXPECT_EQ(temporaries(), std::vector<std::string>{});
    std::printf("%d runs killed at random moments:", runs);
    for (const char* ext : {"mod", "res", "txt"})
        std::printf(" net.%s kept %d, replaced %d;", ext, kept[ext], replaced[ext]);
    std::printf(" none missing or cut short; temporary files the kills left: %d, cleared by the next runs\n",
                temporaries_left);
}

// A file-size limit lets the model through but not the results file, then
// the results but not the report: standard error names the system's
// reason, the run ends with 1, and a report that could not be written
// leaves none (the previous one would pass for the new results').
TEST_F(BatchFilesOnFailure, WriteFailureReasonOfTheResultsFileAndTheReport)
{
    std::ofstream(scratch / "net.mbf", std::ios::binary) << network(0);
    ASSERT_EQ(finish(start("net.mbf")), 0) << err();
    const std::string mod = bytes_of(scratch / "net.mod");
    const std::string res = bytes_of(scratch / "net.res");
    ASSERT_LT(mod.size(), res.size());
    ASSERT_LT(res.size(), bytes_of(scratch / "net.txt").size());

    const rlim_t below_results = (mod.size() + res.size()) / 2;
    EXPECT_EQ(finish(start("net.mbf", below_results)), 1);
    EXPECT_NE(err().find("Unable to write results file:\n" + (scratch / "net.res").string() + "\nFile too large."),
              std::string::npos)
        << err();
    EXPECT_EQ(bytes_of(scratch / "net.res"), res);

    const rlim_t below_report = res.size() + 1000;
    EXPECT_EQ(finish(start("net.mbf", below_report)), 1);
    EXPECT_NE(err().find("Unable to write txt file:\n" + (scratch / "net.txt").string() + "\nFile too large."),
              std::string::npos)
        << err();
    EXPECT_FALSE(fs::exists(scratch / "net.txt"));
    EXPECT_EQ(temporaries(), std::vector<std::string>{});
}
