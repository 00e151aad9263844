// The model check before a run: each fault is refused with a message that
// names its row (or record or load case), and nothing reaches the store
// that would divide by zero or carry a NaN.
#include "analysis/data/analysis_fixture.h"
#include "analysis/load_case_steps.h"
#include "elements/elastic_element.h"
#include "elements/joints.h"
#include "elements/reducer.h"
#include "framework/units.h"
#include "materials/beam_section.h"
#include "materials/property_set_checks.h"
#include "model/piping_codes.h"

#include <limits>
#include <string>
#include <vector>

using namespace analysis_test;

namespace {

class ModelCheckTest : public AnalysisTest {
protected:
    void SetUp() override
    {
        AnalysisTest::SetUp();
        anchored_from(10);
        pipe(20, 100, 0, 0);
        choose({LC_SUSTAINED});
    }
    // The message that refuses the document's model, or "<nothing thrown>".
    static std::string refusal()
    {
        make_model();
        return thrown_text([] { make_analysis_model(); });
    }
    // A bend row at node 30 (corner at (100, 100, 0)) with a pipe on to node 40.
    static Bend& bend_row()
    {
        const int r = row(30, ET_BEND, 0, 100, 0);
        name(r);
        auto& b = dynamic_cast<Bend&>(*model().rows[r].element);
        b.geometry.radius_kind = RADIUS_USER;
        b.geometry.radius = 9.0f;
        return b;
    }
};

}  // namespace

TEST_F(ModelCheckTest, AGoodModelPasses)
{
    EXPECT_EQ(refusal(), "<nothing thrown>");
    // Attributes of the piping code only need no class of their own.
    model().rows[2].dtype = DT_FLANGE;
    model().rows[2].create_data_object(2);
    EXPECT_EQ(refusal(), "<nothing thrown>");
}

TEST_F(ModelCheckTest, KindsThisVersionCannotAnalyse)
{
    // A kind without its class.
    set_element_factory(ET_VALVE, {});
    name(row(30, ET_VALVE, 50, 0, 0));
    EXPECT_EQ(refusal(), "Row 3: Valve elements cannot be analysed in this version");
    model().rows.erase(3);
    // A class without analysis functions.
    // (A beam row names the beam sets; without names it names nothing undefined.)
    set_element_factory(ET_BEAM, [] { return std::make_unique<ElementData>(); });
    register_element_kind(ET_BEAM, ElementKind{});
    row(30, ET_BEAM, 50, 0, 0);
    EXPECT_EQ(refusal(), "Row 3: Beam elements cannot be analysed in this version");
    model().rows.erase(3);
    // Supports and loads without their class.
    for (int dtype : {DT_SNUBBER, DT_CONC_MASS, DT_GENERIC_SUPPORT}) {
        model().rows[2].dtype = dtype;
        model().rows[2].create_data_object(2);
        EXPECT_EQ(refusal(), std::string("Row 2: ") + data_type_name(dtype) + " cannot be analysed in this version");
    }
    // A jacket connection needs its partner on the other pipe.
    model().rows[2].dtype = DT_SPIDER;
    model().rows[2].create_data_object(2);
    EXPECT_EQ(refusal(), "Jacket connection at point 20 is not on a jacketed pipe");
    // Branch SIFs pass with and without the B31J joints.
    model().rows[2].dtype = DT_BRANCH_SIF;
    model().rows[2].create_data_object(2);
    EXPECT_EQ(refusal(), "<nothing thrown>");
    analysis_options().use_b31j = true;
    EXPECT_EQ(refusal(), "<nothing thrown>");
}

TEST_F(ModelCheckTest, ZeroLengthElements)
{
    pipe(30, 0, 0, 0);
    EXPECT_EQ(refusal(), "Row 3: the element from node 20 to node 30 has zero length");
    model().rows[3].dx = 0.0005f;
    EXPECT_EQ(refusal(), "Row 3: the element from node 20 to node 30 has zero length");
    model().rows[3].dx = 0.01f;
    EXPECT_EQ(refusal(), "<nothing thrown>");
}

TEST_F(ModelCheckTest, BendsThatCannotBeAnalysed)
{
    // No run after the bend: no arc.
    Bend& b = bend_row();
    EXPECT_EQ(refusal(), "Row 3: the bend at node 30 has no arc: it needs a section or a radius, and a run before "
                         "and after it");
    pipe(40, 100, 0, 0);
    EXPECT_EQ(refusal(), "<nothing thrown>");
    // Without a section the long radius is 0: no arc either.
    b.geometry.radius_kind = RADIUS_LONG;
    model().rows[3].section.clear();
    EXPECT_NE(refusal().find("Row 3: the bend at node 30 has no arc"), std::string::npos);
    model().rows[3].section = "6";
    b.geometry.radius_kind = RADIUS_USER;
    b.geometry.radius = 9.0f;   // the build gave a Long bend the section's radius
    // A typed radius lays out the arc without a section; the section is then missing.
    model().rows[3].section.clear();
    EXPECT_EQ(refusal(), "Row 3: Section is not defined");
    model().rows[3].section = "6";

    b.ff_in = 0.0;
    EXPECT_EQ(refusal(), "Row 3: the flexibility factor of the bend at node 30 is 0");
    b.ff_in = -1.0;
    b.geometry.node1 = 35;
    b.geometry.angle1 = 2.0f;   // beyond the quarter bend
    EXPECT_EQ(refusal(), "Row 3: intermediate node 35 is at 114.6 deg, at or beyond the bend angle of 90 deg");
    // At 0 the node is the near tangent point, which the bend makes itself.
    b.geometry.angle1 = 0.0f;
    EXPECT_EQ(refusal(), "Row 3: intermediate node 35 is at 0 deg, the bend's near tangent point 30A");
    b.geometry.angle1 = -0.1f;
    EXPECT_EQ(refusal(), "Row 3: intermediate node 35 is at -5.73 deg, before the bend's near tangent point 30A");
    b.geometry.angle1 = 0.5f;
    EXPECT_EQ(refusal(), "<nothing thrown>");
    b.geometry.material = "XX";
    EXPECT_EQ(refusal(), "Row 3: Bend material XX is not defined");
}

TEST_F(ModelCheckTest, NumbersThatAreNotNumbers)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    load.temperature[1] = std::numeric_limits<double>::infinity();
    EXPECT_EQ(refusal(), "Load L1: a value is not a number");
    load.temperature[1] = 0;

    pipe_materials()[1].density = nan;
    EXPECT_EQ(refusal(), "Row 2: a value of its material, section or load is not a number");
    pipe_materials()[1].density = 0.283f;

    // Records out of their editors' ranges are refused by name.
    pipe_materials()[1].density = -0.283f;
    EXPECT_EQ(refusal(), "Material CS: Density should be >= 0");
    pipe_materials()[1].density = 0.283f;
    pipe_sections()[1].lining_density = 0.05f;
    pipe_sections()[1].lining_thickness = -0.1f;
    EXPECT_EQ(refusal(), "Section 6: Lining thickness should be >= 0");
    pipe_sections()[1].lining_density = 0.0f;
    pipe_sections()[1].lining_thickness = 0.0f;

    pipe_sections()[1].outside_diameter = nan;
    EXPECT_EQ(refusal(), "Section 6: Outside diameter should be at least 0.0010 (inch)");
    pipe_sections()[1].outside_diameter = 6.625f;

    // A material value that is only reached at the temperature of a case.
    pipe_materials()[1].table.push_back(PropertyRow{2000, nan, 6.5e-6f, 20000, 0, 0, 0, 0});
    load.temperature[1] = 1800;
    EXPECT_EQ(refusal(), "<nothing thrown>");   // Sustained is at the reference temperature
    choose({LC_SUSTAINED, LC_OPERATING_1});
    EXPECT_EQ(refusal(), "Row 2: a value of its material, section or load is not a number");
    load.temperature[1] = 0;

    seismic.x = true;
    seismic.gx = nan;
    EXPECT_EQ(refusal(), "Seismic: a g factor is not a number");
}

TEST_F(ModelCheckTest, LoadCasesTheRunCannotCompute)
{
    // The acceleration steps make the response spectrum; they are no case.
    choose({LC_SUSTAINED, 26});
    EXPECT_EQ(refusal(), "Load case X acceleration cannot be analysed in this version");
    choose({29});
    EXPECT_EQ(refusal(), "Load case Combining acceleration results cannot be analysed in this version");
    choose({LC_EMPTY});
    EXPECT_EQ(refusal(), "Load case Empty cannot be analysed in this version");
    choose({LC_SUSTAINED, LC_EXPANSION_T1, LC_SUSTAINED});
    EXPECT_EQ(refusal(), "Load case Sustained (W+P) is chosen twice");
    choose({LC_SETTLEMENT});
    EXPECT_EQ(refusal(), "Load case Settlement applies to the ASME Class 2 and 3, RCC-M and EN 13480 codes only");
    piping_code() = CODE_EN13480;
    EXPECT_EQ(refusal(), "<nothing thrown>");
    choose({108});
    EXPECT_EQ(refusal(), "Load case Wind 3: wind load 3 is not defined");
    choose({LC_SEISMIC_G});
    EXPECT_EQ(refusal(), "Load case Seismic (g): no static seismic g factor is given");
    seismic.y = true;
    seismic.gy = 0.3;
    EXPECT_EQ(refusal(), "<nothing thrown>");
    choose({LC_HYDROTEST});
    EXPECT_EQ(refusal(), "Load case Hydrotest: the hydrotest load is not defined");
}

TEST_F(ModelCheckTest, DefaultLoadCasesFollowTheModel)
{
    load_case_list().clear();
    auto defaults = [] {
        make_model();
        return make_analysis_model()->load_cases;
    };
    auto list = [](std::initializer_list<int> codes) {
        LoadCaseList l;
        for (int c : codes)
            l.add(c);
        return l;
    };
    EXPECT_EQ(defaults(), list({1, 2, 8}));
    analysis_options().numtloads = 3;
    EXPECT_EQ(defaults(), list({1, 2, 3, 4, 8, 9, 10}));
    analysis_options().numtloads = 10;
    EXPECT_EQ(defaults().count(), 21);
    EXPECT_EQ(defaults().code(21), 106);
    analysis_options().numtloads = 1;
    seismic.z = true;
    seismic.gz = 0.1;
    auto cut = row(30, ET_CUT_PIPE, 50, 0, 0);
    name(cut);
    EXPECT_EQ(defaults(), list({1, 2, 8, 12, 14, 15}));
    // The wind cases of the defined wind loads and Hydrotest when defined.
    analysis_load_hooks().fill_loads = [this](AnalysisLoads& l) {
        l.pipe_loads.push_back(load);
        l.wind[2].defined = true;
        l.wind[4].defined = true;
        l.hydrotest.defined = true;
    };
    const LoadCaseList with_wind = default_load_cases(analysis_options().numtloads, current_analysis_loads(), true, false);
    EXPECT_EQ(with_wind, list({1, 2, 8, 107, 109, 14, 15, 19}));
}

TEST_F(ModelCheckTest, HingeWithoutAxisElasticWithoutAxesAndBeamWithoutItsSets)
{
    const int h = row(30, ET_HINGE_JOINT);
    EXPECT_EQ(refusal(), "Row 3: the hinge at node 30 has no axis direction");
    dynamic_cast<HingeJoint&>(*model().rows[h].element).axis[1] = 1.0f;
    EXPECT_EQ(refusal(), "<nothing thrown>");
    model().rows.erase(3);

    const int e = row(30, ET_ELASTIC, 10, 0, 0);
    auto& elastic = dynamic_cast<ElasticElement&>(*model().rows[e].element);
    elastic.x_axis[0] = 1.0f;
    elastic.y_axis[0] = 3.0f;   // along x
    EXPECT_EQ(refusal(), "Row 3: the local axes of the elastic element at node 30 are not valid");
    elastic.y_axis[1] = 1.0f;
    EXPECT_EQ(refusal(), "<nothing thrown>");
    model().rows.erase(3);

    const int b = row(30, ET_BEAM, 50, 0, 0);
    model().rows[b].material = "BM";
    EXPECT_EQ(refusal(), "Row 3: Beam material BM is not defined");
}

// ---- Section bounds -------------------------------------------------------------------------

namespace {

class SectionBounds : public ModelCheckTest {};

}  // namespace

TEST_F(SectionBounds, EverySectionValueBeyondWhatAPipingModelCanHoldIsRefusedByNameInTheChosenUnits)
{
    // An outside diameter of 1E19 in leaves the difference of the two
    // squares of the wall's radii below what a double resolves: the run
    // would have met a wall of no area. The check names the section first.
    pipe_sections()[1].outside_diameter = 1.0e19f;
    EXPECT_EQ(refusal(), "Section 6: Outside diameter of 1E+19 inch is beyond what a piping model can hold "
                         "(0.001 inch to 1000 inch)");
    // In millimetres the same bounds, 0.0254 mm to 25400 mm.
    unit_choice()[DIMENSION] = 1;
    EXPECT_EQ(pipe_section_problems(pipe_sections()[1]),
              std::vector<std::string>{"Section 6: Outside diameter of 2.54E+20 mm is beyond what a piping model "
                                       "can hold (0.0254 mm to 25400 mm)"});
    reset_unit_choice();
    pipe_sections()[1].outside_diameter = 6.625f;

    // Each value of the record against its own bound, all of them listed;
    // the combined checks (a wall thicker than the radius) wait for them.
    PipeSection s = pipe_sections()[1];
    s.thickness = 1001.0f;
    s.corrosion_allowance = 2000.0f;
    s.insulation_density = 1.5f;
    s.insulation_thickness = 1.0e6f;
    s.lining_density = 2.0f;
    s.lining_thickness = 1.0e5f;
    EXPECT_EQ(pipe_section_problems(s),
              (std::vector<std::string>{
                  "Section 6: Thickness of 1001 inch is beyond what a piping model can hold (0.0001 inch to 1000 inch)",
                  "Section 6: Corrosion allowance of 2000 inch is beyond what a piping model can hold (0 inch to 1000 "
                  "inch)",
                  "Section 6: Insulation density of 2592 lb/ft3 is beyond what a piping model can hold (0 lb/ft3 to "
                  "1728 lb/ft3)",
                  "Section 6: Insulation thickness of 1E+06 inch is beyond what a piping model can hold (0 inch to "
                  "1000 inch)",
                  "Section 6: Lining density of 3456 lb/ft3 is beyond what a piping model can hold (0 lb/ft3 to 1728 "
                  "lb/ft3)",
                  "Section 6: Lining thickness of 1E+05 inch is beyond what a piping model can hold (0 inch to 1000 "
                  "inch)"}));
    // At the bounds a section passes (the combined checks aside).
    s = pipe_sections()[1];
    s.outside_diameter = 1000.0f;
    s.thickness = 0.0001f;
    s.insulation_density = 1.0f;
    s.insulation_thickness = 1000.0f;
    EXPECT_TRUE(pipe_section_problems(s).empty());

    // Beam sections: an area, moment of inertia and depth of a solid
    // 1000 in by 1000 in and no more.
    BeamSection b;
    b.name = "W8";
    b.values = {1.0e7f, 30.8f, 9.77f, 1.0e13f, 0, 0, 8.0f, 2000.0f};
    EXPECT_EQ(beam_section_problems(b),
              (std::vector<std::string>{
                  "Beam section W8: Area of 1E+07 in2 is beyond what a piping model can hold (0 in2 to 1E+06 in2)",
                  "Beam section W8: Torsional constant of 1E+13 in4 is beyond what a piping model can hold (0 in4 to "
                  "1E+12 in4)",
                  "Beam section W8: Width of 2000 inch is beyond what a piping model can hold (0 inch to 1000 "
                  "inch)"}));
}

TEST_F(SectionBounds, AReducerOfAnOutsideDiameterBeyondWhatAModelCanHoldIsRefusedByItsRow)
{
    // A reducer's own diameters are no section's: the element's check names
    // the row.
    const int r = pipe(30, 50, 0, 0);
    model().rows[r].etype = ET_REDUCER;
    model().rows[r].create_element_object();
    auto& reducer = dynamic_cast<Reducer&>(*model().rows[r].element);
    reducer.od1 = 1.0e19f;
    reducer.thickness1 = 0.322f;
    reducer.od2 = 1.0e19f;
    reducer.thickness2 = 0.28f;
    EXPECT_EQ(refusal(), "Row 3: the reducer at node 30: OD1 of 1E+19 inch is beyond what a piping model can hold "
                         "(0.001 inch to 1000 inch)");
    reducer.od1 = 8.625f;
    reducer.od2 = 6.625f;
    EXPECT_EQ(refusal(), "<nothing thrown>");
}
