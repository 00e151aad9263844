// The line a nonlinear case leaves on standard error and above its tables:
// how it was solved (at once, along its load path, or for an occasional
// case from the state of its base case), its iterations and its
// factorisations.
#include "analysis/static_analysis.h"
#include "exchange/data/batch_solve_fixture.h"
#include "framework/state.h"

#include <filesystem>
#include <regex>
#include <string>

using namespace batch_test;

namespace {

// 20 ft of 6 in STD from an anchor to a one-way rest with mu 0.3, heated to
// 400 degF: the end slides on its rest; under 0.1 g across the line.
const std::string SLIDING_LINE = "Sliding\n" + ENGLISH_HEAD +
                                 "P6,6.625,0.28\n"
                                 "LOADS\n"
                                 "L1,400,0\n"
                                 "SEISMIC\n"
                                 "0,0,0.1\n"
                                 "LAYOUT\n"
                                 "F10,MA106B,PP6,KA,CL=L1\n"
                                 "T20,X240,CLS(0,NONE),DV(0,1,0),MU=0.3\n";

class LoadPathLine : public BatchSolveTest {
protected:
    void TearDown() override
    {
        std::error_code ignored;
        if (!folder_.empty())
            std::filesystem::remove_all(folder_, ignored);
    }
    // The whole run of the text's default cases, its cases along their load
    // paths alone or at once first; the lines it leaves.
    std::vector<std::string> notes_of_run(bool path_only)
    {
        reset_all();
        SetUp();
        EXPECT_NO_FATAL_FAILURE(import_ok(SLIDING_LINE));
        if (folder_.empty()) {
            std::string pattern = (std::filesystem::temp_directory_path() / "path-line-XXXXXX").string();
            EXPECT_NE(mkdtemp(pattern.data()), nullptr);
            folder_ = pattern;
        }
        make_model();
        std::unique_ptr<AnalysisModel> snapshot = make_analysis_model();
        snapshot->output.results_path = folder_ + "/model.res";
        RunCallbacks callbacks;
        callbacks.load_path_only = path_only;
        const RunOutcome outcome = run_analysis(*snapshot, callbacks);
        EXPECT_TRUE(outcome.completed) << outcome.message;
        return outcome.case_notes;
    }
    std::string folder_;
};

// The note of a case among the run's, by the case's name.
std::string note_of(const std::vector<std::string>& notes, const std::string& name)
{
    for (const std::string& note : notes)
        if (note.rfind(name + ": ", 0) == 0)
            return note;
    ADD_FAILURE() << "no line of " << name;
    return {};
}

}  // namespace

TEST_F(LoadPathLine, ACaseSolvedAtOnceKeepsItsLineAndOneAlongItsPathSaysSo)
{
    const std::regex at_once(R"((Sustained \(W\+P\)|Operating \(W\+P1\+T1\)): converged in [1-9][0-9]* iterations, )"
                             R"([1-9][0-9]* factorisations)");
    const std::regex along(R"((Sustained \(W\+P\)|Operating \(W\+P1\+T1\)): converged along its load path in )"
                           R"([1-9][0-9]* iterations, [1-9][0-9]* factorisations)");
    const std::vector<std::string> direct = notes_of_run(false);
    for (const char* name : {"Sustained (W+P)", "Operating (W+P1+T1)"})
        EXPECT_TRUE(std::regex_match(note_of(direct, name), at_once)) << note_of(direct, name);
    const std::vector<std::string> path = notes_of_run(true);
    for (const char* name : {"Sustained (W+P)", "Operating (W+P1+T1)"})
        EXPECT_TRUE(std::regex_match(note_of(path, name), along)) << note_of(path, name);
    // The occasional case, solved from the state of Operating, says which
    // state it starts from and the iterations of its solutions (both signs
    // of its one direction); one line for each case and no more.
    const std::regex from_operating(R"(Seismic \(g\): from the state of Operating \(W\+P1\+T1\), converged in )"
                                    R"([1-9][0-9]* iterations)");
    for (const auto* notes : {&direct, &path}) {
        EXPECT_TRUE(std::regex_match(note_of(*notes, "Seismic (g)"), from_operating)) << note_of(*notes, "Seismic (g)");
        EXPECT_EQ(notes->size(), 3u);
    }
}

TEST_F(LoadPathLine, NotConvergedOnItsPathSaysWhichWayItFailed)
{
    EXPECT_EQ(case_note(operating_code(1), true, 2436, 2436, true),
              "Operating (W+P1+T1): converged along its load path in 2436 iterations, 2436 factorisations");
    EXPECT_EQ(case_note(operating_code(1), true, 17, 9, false),
              "Operating (W+P1+T1): converged in 17 iterations, 9 factorisations");
    EXPECT_EQ(case_note(LC_SUSTAINED, false, 100, 97, true),
              "Sustained (W+P): not converged along its load path after 100 iterations, 97 factorisations");
    EXPECT_EQ(case_note(LC_SUSTAINED, false, 100, 100, false),
              "Sustained (W+P): not converged after 100 iterations, 100 factorisations");
    EXPECT_EQ(from_state_note(LC_SEISMIC_G, operating_code(1), true, true, 12),
              "Seismic (g): from the state of Operating (W+P1+T1), converged in 12 iterations");
    EXPECT_EQ(from_state_note(LC_SETTLEMENT, LC_SUSTAINED, true, false, 100),
              "Settlement: from the state of Sustained (W+P), not converged after 100 iterations");
    EXPECT_EQ(from_state_note(LC_WIND, LC_STATIC_ANALYSIS, false, true, 3),
              "Wind: from the state of Static analysis, which did not converge, converged in 3 iterations");
}
