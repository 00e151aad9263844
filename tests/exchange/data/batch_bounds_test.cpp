// Values no pipe can have, and numbers that are no numbers: the model check
// refuses coordinates, offsets, temperatures and pressures beyond the bounds
// of a piping model, naming where they are; the results file refuses a NaN
// or an infinity, naming the node or element where it first appears, and is
// then not written.
#include "analysis/results_file.h"
#include "exchange/data/batch_solve_fixture.h"
#include "framework/data/thrown_text.h"
#include "framework/state.h"
#include "loads/pipe_load.h"

#include <unistd.h>

#include <filesystem>

using namespace batch_test;

namespace {

class NanGuardTest : public BatchSolveTest {
protected:
    // The message with which the analysis model of the text is refused.
    std::string refused(const std::string& text, const std::function<void()>& adjust = {})
    {
        EXPECT_NO_FATAL_FAILURE(import_ok(text));
        if (adjust)
            adjust();
        make_model();
        try {
            make_analysis_model();
        } catch (const MessageText& m) {
            return m.text;
        }
        return {};
    }
};

std::string line_text(const std::string& rows, const std::string& loads = "L1,400,100\n")
{
    return "Line\n" + ENGLISH_HEAD + "P6,6.625,0.28\nLOADS\n" + loads +
           "LAYOUT\n"
           "F10,MA106B,PP6,KA,CL=L1\n" +
           rows;
}

}  // namespace

TEST_F(NanGuardTest, OffsetOf1E30IsRefusedNamingItsRow)
{
    EXPECT_EQ(refused(line_text("T20,X120\nT30,Z1E30,KA\n")),
              "Row 4: the offset DZ of 1E+30 inch is beyond what a piping model can hold (-1E+06 inch to 1E+06 inch)");
    // Within the bounds the same line is taken.
    reset_all();
    SetUp();
    EXPECT_EQ(refused(line_text("T20,X120\nT30,Z1E5,KA\n")), "");
}

TEST_F(NanGuardTest, NodeCarriedBeyondTheBoundsByItsOffsetsIsRefused)
{
    // Each offset is within the bounds, their sum is not.
    EXPECT_EQ(refused(line_text("T20,X9E5\nT30,X9E5,KA\n")),
              "Node 30: its X coordinate of 1.8E+06 inch is beyond what a piping model can hold (-1E+06 inch to 1E+06 inch)");
}

TEST_F(NanGuardTest, TemperaturesAndPressuresNoPipeCanHaveAreRefusedNamingTheLoad)
{
    const std::string rows = "T20,X120,KA\n";
    EXPECT_EQ(refused(line_text(rows, "L1,330450,100\n")),
              "Load L1: the temperature T1 of 3.3045E+05 F is beyond what a piping model can hold (-459.67 F "
              "to 3000 F)");
    reset_all();
    SetUp();
    EXPECT_EQ(refused(line_text(rows, "L1,400,-20\n")),
              "Load L1: the pressure P1 of -20 psi is beyond what a piping model can hold (-14.7 psi to 1E+05 psi)");
    reset_all();
    SetUp();
    // The design temperature, typed in the load's dialog.
    EXPECT_EQ(refused(line_text(rows), [] { pipe_loads()[1].design_temperature = 330450.0f; }),
              "Load L1: the design temperature of 3.3045E+05 F is beyond what a piping model can hold (-459.67 "
              "F to 3000 F)");
    // A full vacuum is a pressure a pipe can have.
    reset_all();
    SetUp();
    EXPECT_EQ(refused(line_text(rows, "L1,400,-14.7\n")), "");
}

TEST_F(NanGuardTest, ResultsWithANaNAreNotWrittenAndTheNodeIsNamed)
{
    run(line_text("T20,X120\nT30,X120,KA\n"));
    if (HasFatalFailure())
        return;
    const std::string path = ::testing::TempDir() + "nan_guard_" + std::to_string(::getpid()) + ".res";
    std::filesystem::remove(path);
    std::vector<const CaseResults*> blocks;
    std::vector<CaseResults> cases;
    for (int i = 1; i <= snapshot_->load_cases.count(); ++i)
        cases.push_back(result(snapshot_->load_cases.code(i)));
    for (const CaseResults& c : cases)
        blocks.push_back(&c);
    // What the run gave is written.
    ASSERT_NO_THROW(write_results_file(path, *snapshot_, blocks));
    std::filesystem::remove(path);

    // A NaN in the rotation RY of node 20 of the Sustained case.
    const int index = node_index(20);
    cases[0].displacements[6 * static_cast<std::size_t>(index - 1) + 4] = std::nan("");
    EXPECT_EQ(thrown_text([&] { write_results_file(path, *snapshot_, blocks); }),
              "Load case Sustained (W+P): the displacement of node 20 is not a finite number; no results file is "
              "written");
    EXPECT_FALSE(std::filesystem::exists(path));

    // An end force beyond a float, in the second element.
    cases[0].displacements[6 * static_cast<std::size_t>(index - 1) + 4] = 0.0;
    cases[1].forces[1].f[7] = 1.0e300;
    EXPECT_EQ(thrown_text([&] { write_results_file(path, *snapshot_, blocks); }),
              "Load case " + load_case_names(cases[1].code) +
                  ": an end force of the element from node 20 to node 30 is not a finite number; no results file "
                  "is written");
    EXPECT_FALSE(std::filesystem::exists(path));
}
