// CAESAR II files that leave material values to the database of their
// writer: an insulation thickness without a density is insulation that
// weighs nothing but keeps its size, a pipe density or Poisson's ratio of 0
// is named with what was taken; and files that hold no model, which the
// import takes as such and which change nothing.
#include "analysis/model_check.h"
#include "analysis_core/section_properties.h"
#include "analysis_core/steps.h"
#include "exchange/cii_build.h"
#include "exchange/data/cii_fixture.h"
#include "exchange/data/cii_solve_fixture.h"
#include "exchange/data/neutral_samples.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"

#include <numbers>
#include <tuple>

namespace batch_test {
namespace {

using namespace cii_test;
using std::numbers::pi;

class CiiInsulationWithoutDensity : public CaesarSolveTest {};

TEST_F(CiiInsulationWithoutDensity, TheThicknessIsKeptAndWeighsNothing)
{
    const std::string text = insulation_without_density_cii().text();
    ASSERT_NO_FATAL_FAILURE(cii_ok(text));
    ASSERT_EQ(numsections(), 2);
    const PipeSection& bare = pipe_sections()[1];
    EXPECT_EQ(bare.insulation_thickness, 2.0f);
    EXPECT_TRUE(bare.has_insulation());
    EXPECT_LT(bare.insulation_density, 1.0e-30f);
    // As the guide says it shows: 0, in lb/ft3 and in kg/m3.
    EXPECT_EQ(format_weight_density(bare.insulation_density), "0");
    unit_choice()[WEIGHT_DENSITY] = 1;
    EXPECT_EQ(format_weight_density(bare.insulation_density), "0");
    reset_unit_choice();
    EXPECT_FLOAT_EQ(pipe_sections()[2].insulation_density, 0.0065f);
    const int line6 = line_of(lines_of(text), "#$ ELEMENTS") + 6;
    EXPECT_EQ(notes_.items(CII_WEIGHTLESS_INSULATION),
              std::vector<std::string>{c_format("section 1 (element 10-20, line %d)", line6)});
    EXPECT_NE(notes_.text("").find("Insulation without a density, taken as weighing nothing: section 1"),
              std::string::npos)
        << notes_.text("");
    // F12 takes it.
    make_model();
    EXPECT_NO_THROW(check_analysis_model(*make_analysis_model()));

    solve();
    if (HasFatalFailure())
        return;
    // The first span's insulation counts for its size, not its weight.
    int first = 0;
    for (int e = 1; e <= snapshot_->model.numelems(); ++e)
        if (model().rows[snapshot_->model.elems[e].row].node == 20)
            first = e;
    ASSERT_NE(first, 0);
    const SectionProperties p = section_properties(*snapshot_, step_row(LC_SUSTAINED), first);
    EXPECT_EQ(p.insulation_thickness, 2.0);
    EXPECT_LT(p.insulation_weight, 1.0e-30);
    // By hand, lb: steel 0.283 x pi/4 (6.625^2 - 6.065^2) per inch on both
    // spans, the insulation 0.0065 x pi/4 (10.625^2 - 6.625^2) on the second.
    const double steel = static_cast<double>(0.283f) * pi / 4 * (6.625 * 6.625 - std::pow(6.625 - 2 * 0.28, 2));
    const double insulation = static_cast<double>(0.0065f) * pi / 4 * (10.625 * 10.625 - 6.625 * 6.625);
    const double weight = 240 * steel + 120 * insulation;
    const CaseResults& c = result(LC_SUSTAINED);
    expect_relative(support(c, 10)[1] + support(c, 30)[1], weight, 1e-5, "the line's weight");
}

class CiiPipeDensityZero : public CaesarSolveTest {};

TEST_F(CiiPipeDensityZero, TheNoteNamesTheMaterialAndWhatWasTaken)
{
    // Material 106 without a density, 201 with one; the file in English and
    // in metric units, where 0.001 lb/in3 shows as 0.001 x 27679.9 kg/m3.
    for (const bool metric : {false, true}) {
        SCOPED_TRACE(metric);
        CiiFile f = insulation_without_density_cii();
        f.version = 10.0;
        f.d_exponents = false;
        f.elements[1].insulation_density = f.elements[0].insulation = f.elements[1].insulation = 0;
        f.elements[0].density = 0;
        f.elements[1].material = 201;
        if (metric) {
            f.units = celsius_factors();
            f.elements[1].density = 7833;
            for (CiiElementRecord& e : f.elements)
                e.dx *= 25.4, e.od *= 25.4, e.wall *= 25.4;
        }
        ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
        ASSERT_EQ(nummats(), 2);
        EXPECT_FLOAT_EQ(pipe_materials()[1].density, 0.001f);
        EXPECT_EQ(notes_.items(CII_MATERIAL_VALUES),
                  std::vector<std::string>{metric ? "1 (106) taken at 27.68 kg/m3, so that its pipe weighs next to "
                                                    "nothing"
                                                  : "1 (106) taken at 0.001 lb/in3, so that its pipe weighs next to "
                                                    "nothing"});
    }
}

// A Poisson's ratio of 0, as the file gives it for a material of its
// writer's library, is taken as 0.3, a batch file's default, and named with
// the density taken where that is missing too.
class CiiPoissonZero : public CiiLineTest {};

TEST_F(CiiPoissonZero, TakenAsThreeTenthsAndNamed)
{
    // An L of two 120 in legs, 10 along X to 20 and along Z to 30, anchored
    // at 10 alone: the weight of the second leg twists the first, whose
    // torsion takes G = E / 2 (1 + nu).
    CiiFile f;
    for (const auto& [from, to, dx, dz] : {std::tuple{10, 20, 120.0, 0.0}, std::tuple{20, 30, 0.0, 120.0}}) {
        CiiElementRecord e;
        e.from = from, e.to = to, e.dx = dx, e.dz = dz, e.nu = 0;
        f.elements.push_back(e);
    }
    f.restraints = {{{10, 1, 0, 0, 0, 0, {}}}};
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    ASSERT_EQ(nummats(), 1);
    EXPECT_EQ(pipe_materials()[1].nu, 0.3f);
    EXPECT_EQ(notes_.items(CII_MATERIAL_VALUES), std::vector<std::string>{"1 (106) taken with Poisson's ratio 0.3"});
    solve();
    if (HasFatalFailure())
        return;
    // The frame of the L with nu 0.3 (with nu 0 the tip would drop
    // F L2 x L1 x L2 / GJ less by 0.3 of that term: 30 % stiffer in torsion).
    const Frame frame(STD6, {{10, {0, 0, 0}}, {20, {120, 0, 0}}, {30, {120, 0, 120}}}, RIGID, RIGID, {10});
    expect_case(LC_SUSTAINED, frame, frame.solve(0, {0, -W6, 0}), 1, 1, "weight");

    // A material of the writer's library: density and Poisson's ratio 0.
    f.elements[0].density = f.elements[1].density = 0;
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    EXPECT_EQ(pipe_materials()[1].nu, 0.3f);
    EXPECT_EQ(notes_.items(CII_MATERIAL_VALUES),
              std::vector<std::string>{"1 (106) taken at 0.001 lb/in3, so that its pipe weighs next to nothing, "
                                       "and with Poisson's ratio 0.3"});
}

// ---- Files that hold no model ---------------------------------------------------------------------

class CiiNoModel : public CaesarSolveTest {
protected:
    // Imported with settings that the import must leave as they were.
    void expect_no_model(const std::string& text)
    {
        reset_unit_choice();
        unit_choice()[LENGTH] = 3;
        analysis_options().z_vertical = true;
        const UnitChoices units = unit_choice();
        const AnalysisOptions options = analysis_options();
        EXPECT_EQ(import_cii(text), "");
        EXPECT_EQ(numrows(), 0);
        EXPECT_EQ(nummats(), 0);
        EXPECT_EQ(numsections(), 0);
        EXPECT_EQ(unit_choice(), units);
        EXPECT_EQ(analysis_options(), options);
    }
};

TEST_F(CiiNoModel, EmptyTitledAndElementlessFilesHoldNoModel)
{
    const std::vector<std::string> lines = lines_of(small_cii().text());
    const int elements = line_of(lines, "#$ ELEMENTS");
    const std::vector<std::string> title_only(lines.begin(), lines.begin() + 3);
    const std::vector<std::string> to_elements(lines.begin(), lines.begin() + elements);
    CiiFile none = small_cii();
    none.elements.clear();
    none.restraints.clear();
    for (const std::string& text : {std::string(), std::string("\xEF\xBB\xBF"), std::string("\n\n"),
                                     std::string("A title\n"), text_of(title_only), text_of(to_elements),
                                     none.text()}) {
        SCOPED_TRACE(text.substr(0, 40));
        expect_no_model(text);
    }
    EXPECT_TRUE(notes_.empty());
    // A file cut inside its first element holds one: it is refused where
    // it ends.
    const std::vector<std::string> cut(lines.begin(), lines.begin() + elements + 3);
    EXPECT_EQ(import_cii(text_of(cut)), neutral_test::cii_error(elements + 4, "", "End of file reached"));
    // A file of text and a NUL line is refused at that line, not taken as empty.
    EXPECT_EQ(import_cii(std::string("A title\n\0\n", 10)).rfind("line = 1\n", 0), 0u);
}

}  // namespace
}  // namespace batch_test
