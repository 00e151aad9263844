// Results name the model file they were computed from by its contents: a
// model file replaced by another of the same size keeping its times (as
// `cp -p`, an archive or a checkout leave it) shows the old results out of
// date when the Results command reads it again; a model and its results
// copied together elsewhere, with new times, stay current; a model saved
// again in results mode with only results-mode changes keeps its results.
#include "exchange_fixture.h"

#include "framework/commands.h"
#include "framework/qa_block.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "model/model.h"
#include "results/ui/results_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A cantilever of 6 in STD from an anchor, 120 in along X, then 80 in along
// Z, at 300 degF; `wall` its wall, so that two files of the same size hold
// different models.
std::string l_text(const std::string& wall)
{
    return "L\nOPTIONS\nB313,IN\nMATERIAL\nA106B,0.283,0.3\nA106B,70,27.9E6,6.0E-6,20000\n"
           "A106B,700,27.9E6,8.1E-6,16000\nPIPE\nP6,6.625," +
           wall + "\nLOADS\nL1,300,0,0\nLAYOUT\nF10,MA106B,PP6,KA,CL=L1\nT20,X120\nT30,Z80,KA\n";
}

const std::string OUT_OF_DATE = "The results are older than the model.\n"
                                "They are shown marked (out of date); analyze the model again.";

class ResultsFingerprint : public ExchangeProgramTest {
protected:
    void TearDown() override
    {
        terminate_results();
        ExchangeProgramTest::TearDown();
    }
    // The model of `wall` saved as `name` and analysed; the results closed.
    void analysed(const std::string& wall, const std::string& name)
    {
        open_saved_batch(l_text(wall), name);
        ASSERT_TRUE(analyze_command(0));
        script().clear_log();
    }
    bool said_out_of_date() const
    {
        const std::vector<std::string> m = script().messages();
        return std::find(m.begin(), m.end(), OUT_OF_DATE) != m.end();
    }
    // Ctrl+R: the model file read again and its results opened.
    void results_command_run()
    {
        ASSERT_TRUE(run_command(CMD_RESULTS));
        hb->run_loop();
        ASSERT_TRUE(in_results());
    }
};

}  // namespace

TEST_F(ResultsFingerprint, ModelFileReplacedKeepingItsTimesShowsTheResultsOutOfDate)
{
    analysed("0.432", "other.mod");
    analysed("0.28", "line.mod");
    ASSERT_EQ(fs::file_size(path("other.mod")), fs::file_size(path("line.mod")));
    ASSERT_NO_FATAL_FAILURE(results_command_run());
    EXPECT_FALSE(results_out_of_date());
    terminate_results();

    // The other model's file over line.mod, with line.mod's time: older
    // than the results.
    const auto model_time = fs::last_write_time(path("line.mod"));
    fs::copy_file(path("other.mod"), path("line.mod"), fs::copy_options::overwrite_existing);
    fs::last_write_time(path("line.mod"), model_time);
    ASSERT_LE(fs::last_write_time(path("line.mod")), fs::last_write_time(path("line.res")));
    script().clear_log();
    ASSERT_NO_FATAL_FAILURE(results_command_run());
    EXPECT_TRUE(results_out_of_date());
    EXPECT_TRUE(said_out_of_date());
}

TEST_F(ResultsFingerprint, ModelAndResultsCopiedTogetherStayCurrent)
{
    analysed("0.28", "line.mod");
    // Copied to another folder, the results first: the model is the newer
    // file there, by a minute.
    fs::create_directories(folder / "copy");
    const fs::path copied_model = folder / "copy" / "line.mod", copied_results = folder / "copy" / "line.res";
    fs::copy_file(path("line.res"), copied_results);
    fs::copy_file(path("line.mod"), copied_model);
    fs::last_write_time(copied_model, fs::last_write_time(copied_results) + std::chrono::minutes(1));
    close_model();
    script().clear_log();
    open_by_extension(copied_results.string());
    hb->run_loop();
    ASSERT_TRUE(in_results());
    EXPECT_FALSE(results_out_of_date());
    EXPECT_FALSE(said_out_of_date());

    // A QA block changed in results mode and saved: the file's contents
    // change, the results are still this model's.
    qa_block().file_number = "F-7";
    model_modified() = true;
    ASSERT_TRUE(save_model(0));
    terminate_results();
    script().clear_log();
    ASSERT_NO_FATAL_FAILURE(results_command_run());
    EXPECT_FALSE(results_out_of_date());
    EXPECT_FALSE(said_out_of_date());
    terminate_results();

    // An edit of the model saved outside results mode: out of date.
    model().rows[2].dx += 12.0f;
    model_changed();
    ASSERT_TRUE(save_model(0));
    script().clear_log();
    ASSERT_NO_FATAL_FAILURE(results_command_run());
    EXPECT_TRUE(results_out_of_date());
}
