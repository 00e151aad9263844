// What a CAESAR II import says and selects when it closes: the materials
// that take the default property table named by their numbers as the file
// gives them, and the modal analysis chosen beside the static cases, whose
// modes an imported model then has.
#include "analysis/dynamic_analysis.h"
#include "exchange/cii_build.h"
#include "exchange/data/batch_solve_fixture.h"
#include "exchange/data/cii_fixture.h"
#include "exchange/data/neutral_fixture.h"
#include "model/analysis_options.h"

#include <cmath>
#include <numbers>

namespace batch_test {
namespace {

using namespace cii_test;

class CiiImportNotes : public BatchSolveTest {
protected:
    void cii_ok(const std::string& text)
    {
        reset_model();
        clear_model_sections();
        ASSERT_EQ(neutral_test::import_cii_into(text, notes_), "");
    }

    ImportNotes notes_;
};

// An element of the given material number along X from `from`.
CiiElementRecord element_of(double from, double to, double material)
{
    CiiElementRecord e;
    e.from = from, e.to = to, e.dx = 120;
    e.material = material;
    return e;
}

TEST_F(CiiImportNotes, MaterialsAreNamedByTheirNumbersAsTheFileGivesThem)
{
    CiiFile f;
    f.elements = {element_of(10, 20, 106), element_of(20, 30, 106.5), element_of(30, 40, 201),
                  element_of(40, 50, 106)};
    f.restraints.push_back({{10, 1, 0, 0, 0, 0, {}}});
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    // Three materials (the fourth element shares the first's), named 1 to 3.
    EXPECT_EQ(nummats(), 3);
    EXPECT_EQ(notes_.items(CII_DEFAULT_TABLES), (std::vector<std::string>{"1 (106)", "2 (106.5)", "3 (201)"}));
    EXPECT_NE(notes_.text("The import did not take everything the file holds:")
                  .find("Materials with the default property table: 1 (106), 2 (106.5), 3 (201)"),
              std::string::npos)
        << notes_.text("");
}

// A cantilever of one element, 240 in of 6.625 x 0.28 in pipe along X from
// an anchor, at ambient temperature (the default table's E 3.0e7 psi at
// 70 degF) and with no contents: the import selects the modal analysis, and
// the run finds the two modes across the pipe. The lumped model (half the
// weight w L at the free end, translational mass only) is one oscillator in
// Y and one in Z, each k / m with k = 1 / (L^3/3EI + alpha L/GA + 1/K +
// L^2/K) for the anchor's springs K = 1.0e12, m = w L / 2 / 386.4; the
// axial mode, sqrt(EA/L / m) / 2 pi = 190 Hz, lies above the 33 Hz cut-off.
TEST_F(CiiImportNotes, TheImportedModelAnalysesItsModes)
{
    CiiFile f;
    CiiElementRecord e;
    e.from = 10, e.to = 20, e.dx = 240;
    f.elements.push_back(e);
    f.restraints.push_back({{10, 1, 0, 0, 0, 0, {}}});
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    ASSERT_TRUE(load_case_list().contains(LC_MODAL));
    ASSERT_EQ(analysis_options().cutoff_frequency, 33);

    RunModes modes;
    try {
        make_model();
        snapshot_ = make_analysis_model();
        AnalysisRun run(*snapshot_);
        results_ = solve_load_cases(run, RunCallbacks{}, nullptr, &modes);
    } catch (const MessageText& m) {
        FAIL() << m.text;
    }
    // The values as the model's float records hold them.
    const Tube pipe{6.625, static_cast<double>(0.28f), 3.0e7, static_cast<double>(0.3f)};
    const double l = 240.0, mass = static_cast<double>(0.283f) * pipe.area * l / 2 / 386.4;
    const double k = 1.0 / pipe.tip_flexibility(l, RIGID, RIGID);
    const double across = std::sqrt(k / mass) / (2 * std::numbers::pi);
    const double axial = std::sqrt(pipe.e * pipe.area / l / mass) / (2 * std::numbers::pi);
    ASSERT_GT(axial, 33.0);
    ASSERT_EQ(modes.frequencies.size(), 2u);
    for (double hz : modes.frequencies)
        EXPECT_NEAR(hz, across, 1e-6 * across);
}

}  // namespace
}  // namespace batch_test
