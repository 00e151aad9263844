// Results, reports and models that belong together: a batch run removes the
// report and results of the model its model file held before it puts
// another in its place, so that a run refused on the way leaves none of the
// first model's beside the second; an Analyze in the window beside a batch
// run of the same names waits for it, never shows the batch model's results
// as its own model's, and, when it replaces the batch model with its own,
// leaves no report of the batch model. Batch runs are the program binary.
#include "batch_runs.h"
#include "exchange_fixture.h"

#include "framework/ui/frame.h"
#include "results/ui/results_window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <thread>

namespace fs = std::filesystem;

namespace {

using batch_runs::finish_program;
using batch_runs::network;

class OwnResults : public ExchangeProgramTest {
protected:
    int run(const std::string& batch) const
    {
        return finish_program(batch_runs::start_program(folder, batch, path("stderr.txt")));
    }
    std::string err() const { return bytes(path("stderr.txt")); }
    bool exists(const std::string& name) const { return fs::exists(path(name)); }
    // The report names the variant of the generated network it was made of.
    bool report_of(int variant) const
    {
        return bytes(path("net.txt")).find("Generated piping network, variant " + std::to_string(variant)) !=
               std::string::npos;
    }
};

}  // namespace

// A good run, then a run whose batch file is refused at a line (the model
// file stays the first model's), then one whose results do not fit on the
// disk (the model file is the second model's): neither leaves a report or
// results of the first model.
TEST_F(OwnResults, ARefusedRunAfterAGoodOneLeavesNoReportOfTheFirstModel)
{
    const std::string good = network(0);
    write("net.mbf", good);
    ASSERT_EQ(run("net.mbf"), 0) << err();
    const std::string first_model = bytes(path("net.mod"));
    ASSERT_TRUE(report_of(0));
    ASSERT_TRUE(exists("net.res"));

    std::string refused = network(1);
    refused.replace(refused.find("HOT,451,"), 8, "HOT,hot,");
    write("net.mbf", refused);
    EXPECT_EQ(run("net.mbf"), 1);
    EXPECT_NE(err().find("Line = "), std::string::npos) << err();
    EXPECT_EQ(bytes(path("net.mod")), first_model);
    EXPECT_FALSE(exists("net.txt"));
    EXPECT_FALSE(exists("net.res"));

    write("net.mbf", good);
    ASSERT_EQ(run("net.mbf"), 0) << err();
    const std::size_t below_results = bytes(path("net.mod")).size() + 1000;
    write("net.mbf", network(1));
    const pid_t full = batch_runs::start_program(folder, "net.mbf", path("stderr.txt"), [below_results] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{below_results, below_results};
        return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    });
    EXPECT_EQ(finish_program(full), 1);
    EXPECT_NE(err().find("File too large."), std::string::npos) << err();
    EXPECT_NE(bytes(path("net.mod")), first_model);
    EXPECT_FALSE(exists("net.txt"));
    EXPECT_FALSE(exists("net.res"));
}

// The window holds model A, read from net.mod; a batch run puts model B (the
// same rows, another temperature) under the same names. Analyze, pressed
// while the batch run works, waits for it and says so; then it finds its
// model file replaced and asks: not replaced, the files stay the batch
// run's, whole, and the window shows their results marked out of date, as
// not its model's; replaced, the window's model and its results take the
// names, and no report of the batch model stays beside them.
TEST_F(OwnResults, AnalyzeBesideABatchRunWaitsAndNeverTakesItsResultsForItsOwn)
{
    write("net.mbf", network(1, batch_runs::wedged_risers()));
    ASSERT_EQ(run("net.mbf"), 0) << err();
    const std::string results_a = bytes(path("net.res"));
    open_model_file(path("net.mod"));
    ASSERT_EQ(model_file_path(), path("net.mod"));

    write("net.mbf", network(0, batch_runs::wedged_risers()));
    const pid_t batch = batch_runs::start_program(folder, "net.mbf", path("stderr.txt"));
    // The batch run holds the lock once it has removed the old report.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (exists("net.txt") && std::chrono::steady_clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_FALSE(exists("net.txt"));

    std::string status_while_waiting;
    script().once("ANALYSIS_DIALOG",
                  [&](HeadlessDialog&) { status_while_waiting = hb->status_text(main_frame().window); });
    script().answer(IDCANCEL);   // do not replace the batch run's model
    EXPECT_FALSE(analyze_command(main_frame().window));
    EXPECT_EQ(status_while_waiting,
              "Another run is writing " + path("net.mod") + " and its results; the analysis waits for it to end.");
    EXPECT_NE(script().last_message().find(path("net.mod") + " has been replaced by another run"), std::string::npos)
        << script().last_message();
    ASSERT_EQ(finish_program(batch), 0) << err();
    EXPECT_TRUE(report_of(0));
    EXPECT_NE(bytes(path("net.res")), results_a);

    open_results();
    hb->run_loop();
    ASSERT_TRUE(in_results());
    EXPECT_TRUE(results_out_of_date());
    EXPECT_NE(script().last_message().find("the results are not of this model"), std::string::npos)
        << script().last_message();
    terminate_results();

    script().answer(IDOK);   // replace it
    ASSERT_TRUE(analyze_command(main_frame().window));
    EXPECT_FALSE(exists("net.txt"));
    EXPECT_EQ(bytes(path("net.res")), results_a);
    script().clear_log();
    open_results();
    hb->run_loop();
    ASSERT_TRUE(in_results());
    EXPECT_FALSE(results_out_of_date());
    EXPECT_TRUE(script().messages().empty()) << script().last_message();
}
