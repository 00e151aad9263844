// What a batch run leaves beside its batch file when it is killed or cannot
// write: the program binary run on a generated network, killed at random
// moments, leaves each of its files (model, results, report) as the
// previous run wrote it, as this one did, or removed, whole, under its own
// name, and never a report or results beside a model they were not made
// from; the next run clears the temporary files the killed one left; a
// file-size limit refuses the results file or the report, and the message
// on standard error names the system's reason.
//
// KV_KILL_RUNS sets how many runs are killed (scripts/kill_batch_runs.sh
// runs a few dozen and prints the counts).
#include "batch_runs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

using batch_runs::bytes_of;
using batch_runs::network;

class BatchFilesOnFailure : public batch_runs::ScratchFolderTest {
protected:
    // Starts the program on a batch file in the scratch folder, its
    // standard error to stderr.txt; with a file-size limit in bytes when
    // `file_limit` is not 0 (its signal ignored, so that a write beyond it
    // fails as a full disk's would).
    pid_t start(const std::string& batch, rlim_t file_limit = 0) const
    {
        return batch_runs::start_program(scratch, batch, scratch / "stderr.txt", [file_limit] {
            if (file_limit != 0) {
                std::signal(SIGXFSZ, SIG_IGN);
                rlimit limit{file_limit, file_limit};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
            return true;
        });
    }
    static int finish(pid_t child) { return batch_runs::finish_program(child); }
    std::string err() const { return bytes_of(scratch / "stderr.txt"); }
    std::vector<std::string> temporaries() const
    {
        std::vector<std::string> out;
        for (const auto& entry : fs::directory_iterator(scratch))
            if (entry.path().filename().string().find(".tmp") != std::string::npos)
                out.push_back(entry.path().filename().string());
        return out;
    }
};

int kill_runs()
{
    const char* text = std::getenv("KV_KILL_RUNS");
    const int n = text ? std::atoi(text) : 0;
    return n > 0 ? n : 8;
}

}  // namespace

// Each run writes the variant that the run before it did not; a run killed
// at a random moment between its start and a little past the time a whole
// run takes leaves every file as one of the two whole runs wrote it, or
// removed: the model file always, the results only beside the model they
// were made from, the report only beside those results.
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
    // By file: kept as the run before wrote it, replaced by this run's, or removed.
    std::map<std::string, int> kept, replaced, removed;
    int temporaries_left = 0;
    const int runs = kill_runs();
    for (int run = 1; run <= runs; ++run) {
        const int variant = run % 2;
        std::ofstream(scratch / "net.mbf", std::ios::binary) << network(variant);
        const pid_t child = start("net.mbf");
        std::this_thread::sleep_for(std::chrono::duration<double>(moment(random)));
        ::kill(child, SIGKILL);
        finish(child);
        // The variant each file is of: -1 for none.
        std::map<std::string, int> of;
        for (const char* ext : {"mod", "res", "txt"}) {
            const fs::path file = scratch / (std::string("net.") + ext);
            of[ext] = -1;
            if (!fs::exists(file)) {
                ++removed[ext];
                continue;
            }
            const std::string bytes = bytes_of(file);
            if (bytes == whole[variant][ext]) {
                ++replaced[ext];
                of[ext] = variant;
            } else if (bytes == whole[1 - variant][ext]) {
                ++kept[ext];
                of[ext] = 1 - variant;
            } else {
                ADD_FAILURE() << "run " << run << ": net." << ext << " is neither run's whole file (" << bytes.size()
                              << " bytes)";
            }
        }
        EXPECT_NE(of["mod"], -1) << "run " << run << ": no model file";
        if (fs::exists(scratch / "net.res")) {
            EXPECT_EQ(of["res"], of["mod"]) << "run " << run << ": results beside another model";
        }
        if (fs::exists(scratch / "net.txt")) {
            EXPECT_EQ(of["txt"], of["mod"]) << "run " << run << ": a report beside another model";
            EXPECT_TRUE(fs::exists(scratch / "net.res")) << "run " << run << ": a report without its results";
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
        std::printf(" net.%s kept %d, replaced %d, removed %d;", ext, kept[ext], replaced[ext], removed[ext]);
    std::printf(" none cut short, none beside another model; temporary files the kills left: %d, cleared by the "
                "next runs\n",
                temporaries_left);
}

// A file-size limit lets the model through but not the results file, then
// the results but not the report: standard error names the system's
// reason, the run ends with 1, and the results and report of the model
// before are gone (they would pass for the new model's).
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
    EXPECT_FALSE(fs::exists(scratch / "net.res"));
    EXPECT_FALSE(fs::exists(scratch / "net.txt"));

    const rlim_t below_report = res.size() + 1000;
    EXPECT_EQ(finish(start("net.mbf", below_report)), 1);
    EXPECT_NE(err().find("Unable to write txt file:\n" + (scratch / "net.txt").string() + "\nFile too large."),
              std::string::npos)
        << err();
    EXPECT_FALSE(fs::exists(scratch / "net.txt"));
    EXPECT_EQ(temporaries(), std::vector<std::string>{});
}
