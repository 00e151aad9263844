// Section quantities of elements: geometry, material values at the step
// temperature and the weight per length, checked against hand calculations
// for a 4 in standard-weight carbon-steel pipe (OD 4.5 in, wall 0.237 in:
// A = 3.174 in2, I = 7.233 in4, 10.79 lb/ft of steel and 5.51 lb/ft of water,
// as the usual pipe-data tables list them).
#include "analysis_core/analysis_model.h"
#include "analysis_core/analysis_run.h"
#include "analysis_core/section_properties.h"
#include "analysis_core/steps.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/data/model_fixture.h"
#include "model/element_data.h"

namespace {

// Element objects that carry what the real kinds give the section quantities.
struct TermsElement : ElementData {
    ElementSectionTerms terms;
    void copy_from(const ElementData& other) override { terms = dynamic_cast<const TermsElement&>(other).terms; }
    void section_terms(ElementSectionTerms& out) const override { out = terms; }
};

PipeMaterial steel(const std::string& name)
{
    PipeMaterial m;
    m.name = name;
    m.nu = 0.3f;
    m.density = 0.283f;
    m.table.push_back(PropertyRow{70, 29.5e6f, 6.07e-6f, 20000, 0, 0, 0, 0});
    m.table.push_back(PropertyRow{300, 28.3e6f, 6.70e-6f, 18000, 0, 0, 0, 0});
    return m;
}

PipeSection four_inch(const std::string& name)
{
    PipeSection s;
    s.name = name;
    s.outside_diameter = 4.5f;
    s.thickness = 0.237f;
    return s;
}

class SectionPropertiesTest : public ModelTest {
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        pipe_materials().push_back(steel("CS"));
        pipe_sections().push_back(four_inch("4"));
        model_hooks().material_index = pipe_material_index;
        model_hooks().section_index = section_index;
        model_hooks().load_index = [](const std::string& name) { return name == "L1" ? 1 : 0; };
        load.name = "L1";
        load.temperature[1] = 185.0;   // halfway up the table
        load.pressure[1] = 150.0;
        set_element_factory(ET_VALVE, [] { return std::make_unique<TermsElement>(); });
        set_element_factory(ET_RIGID, [] { return std::make_unique<TermsElement>(); });
        set_element_factory(ET_REDUCER, [] { return std::make_unique<TermsElement>(); });
    }
    void TearDown() override
    {
        ModelTest::TearDown();
    }

    // From node 10, then one row of the kind 20 in along X.
    int straight(int etype, const std::string& load = "L1", float length = 20.0f)
    {
        from(10);
        int r = row(20, etype, length);
        name(r, load);
        return r;
    }
    static void name(int r, const std::string& load)
    {
        model().rows[r].material = "CS";
        model().rows[r].section = "4";
        model().rows[r].load = load;
    }
    static ElementSectionTerms& terms_of(int r)
    {
        return dynamic_cast<TermsElement&>(*model().rows[r].element).terms;
    }
    // The quantities in Operating (W+P1+T1) of an analysis model made of
    // the document as it is now.
    SectionProperties properties(int element = 1)
    {
        make_model();
        build_element_records();
        return section_properties(snapshot(), step_row(LC_OPERATING_1), element);
    }
    // The document's model with the bend and jacket geometry its build made,
    // its sets, options and the pipe load.
    const AnalysisModel& snapshot()
    {
        analysis.model = model();
        for (int r = 1; r <= numrows(); ++r) {
            const ElementData* from = model().rows[r].element.get();
            ElementData* to = analysis.model.rows[r].element.get();
            if (from && from->bend_geometry())
                *to->bend_geometry() = *from->bend_geometry();
            if (from && from->jacket_geometry())
                *to->jacket_geometry() = *from->jacket_geometry();
        }
        analysis.pipe_materials = pipe_materials();
        analysis.pipe_sections = pipe_sections();
        analysis.options = analysis_options();
        analysis.loads.pipe_loads.clear();
        analysis.loads.pipe_loads.push_back(load);
        return analysis;
    }
    SectionProperties element_properties(int element) { return section_properties(snapshot(), step_row(LC_OPERATING_1), element); }

    PipeLoadValues load;
    AnalysisModel analysis;
};

}  // namespace

TEST_F(SectionPropertiesTest, PipeGeometryMaterialAndWeights)
{
    load.specific_gravity = 1.0;
    load.added_weight = 0.5;
    pipe_sections()[1].insulation_density = 0.006655f;   // 11.5 lb/ft3
    pipe_sections()[1].insulation_thickness = 2.0f;
    pipe_sections()[1].lining_density = 0.05f;
    pipe_sections()[1].lining_thickness = 0.125f;
    straight(ET_PIPE);
    const SectionProperties p = properties();

    EXPECT_EQ(p.kind, ET_PIPE);
    EXPECT_FLOAT_EQ(p.length, 20.0f);
    EXPECT_FLOAT_EQ(p.outside_diameter, 4.5f);
    EXPECT_FLOAT_EQ(p.thickness, 0.237f);
    EXPECT_NEAR(p.area, 3.17405, 1e-4);
    EXPECT_NEAR(p.inertia, 7.23260, 1e-4);
    EXPECT_NEAR(p.shear_coefficient, 1.99589, 1e-4);   // close to 2 for a thin tube
    // Halfway between 70 and 300 degF.
    EXPECT_NEAR(p.modulus, 28.9e6, 1.0);
    EXPECT_NEAR(p.expansion, 6.385e-6, 1e-11);
    EXPECT_FLOAT_EQ(p.poisson, 0.3f);
    EXPECT_NEAR(p.shear_modulus, 28.9e6 * 0.5 / 1.3, 1.0);
    EXPECT_EQ(p.hoop_modulus, 0.0f);
    EXPECT_FLOAT_EQ(p.temperature, 185.0f);
    EXPECT_FLOAT_EQ(p.pressure, 150.0f);

    EXPECT_NEAR(p.metal_weight * 12, 10.779, 1e-3);      // lb/ft
    // Water fills the bore inside the lining, 1.888 in: 0.03609 pi 1.888^2.
    EXPECT_NEAR(p.contents_weight * 12, 4.8498, 1e-3);
    EXPECT_NEAR(p.insulation_weight, 0.271795, 1e-5);   // ring 2.25..4.25 in
    EXPECT_NEAR(p.lining_weight, 0.076596, 1e-5);       // ring 1.888..2.013 in
    EXPECT_FLOAT_EQ(p.added_weight, 0.5f);
    EXPECT_NEAR(p.weight, 0.898256 + 0.404148 + 0.271795 + 0.076596 + 0.5, 1e-5);
    EXPECT_EQ(p.thrust_area, 0.0f);
}

TEST_F(SectionPropertiesTest, WithoutLoadTheStepIsAtAmbient)
{
    analysis_options().reference_temperature = 300.0f;
    straight(ET_PIPE, "");
    const SectionProperties p = properties();
    EXPECT_FLOAT_EQ(p.temperature, 300.0f);
    EXPECT_EQ(p.pressure, 0.0f);
    EXPECT_NEAR(p.modulus, 28.3e6, 1.0);
    EXPECT_EQ(p.contents_weight, 0.0f);
    EXPECT_NEAR(p.weight, 0.898256, 1e-5);
}

TEST_F(SectionPropertiesTest, FrpTakesHoopAndShearModuliFromTheTable)
{
    PipeMaterial& m = pipe_materials()[1];
    m.set_type("FR");
    ASSERT_TRUE(m.frp);
    m.nu = 0.4f;
    for (int i = 1; i <= m.numtemps(); ++i) {
        m.table[i][PROP_MODULUS] = 3.0e6f;
        m.table[i][PROP_HOOP_MODULUS] = 4.0e6f;
        m.table[i][PROP_SHEAR_MODULUS] = 1.0e6f;
    }
    straight(ET_PIPE);
    const SectionProperties p = properties();
    EXPECT_NEAR(p.hoop_modulus, 4.0e6, 1.0);
    EXPECT_NEAR(p.shear_modulus, 1.0e6, 1.0);
    EXPECT_NEAR(p.poisson, 0.4 * 3.0 / 4.0, 1e-6);
}

TEST_F(SectionPropertiesTest, ValveThickensTheWallAndWeighsItself)
{
    load.specific_gravity = 1.0;
    pipe_sections()[1].insulation_density = 0.006655f;
    pipe_sections()[1].insulation_thickness = 2.0f;
    int r = straight(ET_VALVE);
    ElementSectionTerms& t = terms_of(r);
    t.own_weight = true;
    t.weight = 200.0;
    t.thickness_multiplier = 3.0;
    t.insulation_multiplier = 1.75;
    const SectionProperties p = properties();

    // Outer radius = inner radius + 3 x wall: 2.013 + 0.711 = 2.724 in.
    EXPECT_NEAR(p.area, 10.58091, 1e-4);
    EXPECT_NEAR(p.inertia, 30.34695, 1e-3);
    EXPECT_FLOAT_EQ(p.outside_diameter, 4.5f);
    EXPECT_FLOAT_EQ(p.metal_weight, 10.0f);               // 200 lb over 20 in
    EXPECT_NEAR(p.contents_weight, 0.459435, 1e-5);       // the pipe's bore
    EXPECT_NEAR(p.insulation_weight, 0.271795 * 1.75, 1e-5);
}

TEST_F(SectionPropertiesTest, RigidElementAddsContentsOnlyWhenAsked)
{
    load.specific_gravity = 1.0;
    load.added_weight = 0.25;
    int r = straight(ET_RIGID, "L1", 10.0f);
    ElementSectionTerms& t = terms_of(r);
    t.own_weight = true;
    t.weight = 100.0;
    t.add_cil = false;
    SectionProperties p = properties();
    EXPECT_FLOAT_EQ(p.metal_weight, 10.0f);
    EXPECT_EQ(p.contents_weight, 0.0f);
    // Without "Add CIL" its own weight alone, not the load's added weight.
    EXPECT_NEAR(p.weight, 10.0, 1e-6);

    t.add_cil = true;
    p = properties();
    EXPECT_NEAR(p.weight, 10.0 + 0.459435 + 0.25, 1e-5);   // never the pipe metal

    // A rigid element needs neither a material nor a section.
    model().rows[r].material.clear();
    model().rows[r].section.clear();
    p = properties();
    EXPECT_NEAR(p.weight, 10.25, 1e-6);
    EXPECT_EQ(p.modulus, 0.0f);
}

TEST_F(SectionPropertiesTest, ReducerUsesTheMeanOfItsEnds)
{
    int r = straight(ET_REDUCER);
    ElementSectionTerms& t = terms_of(r);
    t.two_ends = true;
    t.od1 = 6.625;
    t.thickness1 = 0.28;
    t.od2 = 4.5;
    t.thickness2 = 0.237;
    const SectionProperties p = properties();
    EXPECT_FLOAT_EQ(p.outside_diameter, 5.5625f);
    EXPECT_FLOAT_EQ(p.thickness, 0.2585f);
    EXPECT_NEAR(p.area, 4.30739, 1e-4);
    EXPECT_NEAR(p.metal_weight, 0.283 * 4.30739, 1e-5);
}

TEST_F(SectionPropertiesTest, BendArcTakesTheBendsOwnWall)
{
    from(10);
    int b = bend(20, 60, 0, 0, 6.0f);
    name(b, "L1");
    int p2 = row(30, ET_PIPE, 0, 40, 0);
    name(p2, "L1");
    bend_of(b).thickness = 0.337f;
    make_model();
    build_element_records();
    ASSERT_EQ(numelems(), 3);
    // The straight leg before the arc, the arc, the pipe after it.
    EXPECT_EQ(model().elems[1].kind, ET_PIPE);
    EXPECT_EQ(model().elems[2].kind, ET_BEND);
    const AnalysisModel& s = snapshot();
    EXPECT_NEAR(element_wall_thickness(s, s.model.elems[1]), 0.237, 1e-6);
    EXPECT_NEAR(element_wall_thickness(s, s.model.elems[2]), 0.337, 1e-6);
    EXPECT_NEAR(element_wall_thickness(s, s.model.elems[3]), 0.237, 1e-6);
    EXPECT_NEAR(element_properties(2).thickness, 0.337, 1e-6);
}

TEST_F(SectionPropertiesTest, JacketContentsFillTheSpaceAroundTheCore)
{
    load.specific_gravity = 1.0;
    PipeSection jacket = four_inch("8");
    jacket.outside_diameter = 8.625f;
    jacket.thickness = 0.322f;
    pipe_sections().push_back(jacket);
    pipe_sections()[1].insulation_thickness = 0.5f;   // on the core, inside the jacket
    pipe_sections()[1].insulation_density = 0.006655f;
    from(10);
    int r = row(20, ET_JACKETED_PIPE, 20);
    name(r, "L1");
    jacket_of(r).material = "CS";
    jacket_of(r).section = "8";
    jacket_of(r).load = "L1";
    make_model();
    build_element_records();
    ASSERT_EQ(numelems(), 2);
    const Elem& outer = model().elems[2];
    ASSERT_TRUE(outer.jacket);
    const SectionProperties p = element_properties(2);
    // Bore of the jacket (r = 3.9905 in) less the core with its insulation (r = 2.75 in).
    const double annulus = 3.1415927 * (3.9905 * 3.9905 - 2.75 * 2.75);
    EXPECT_NEAR(p.contents_weight, annulus * 0.03609, 1e-5);
    EXPECT_FLOAT_EQ(p.outside_diameter, 8.625f);
}

TEST_F(SectionPropertiesTest, MissingDataIsRefusedWithTheRow)
{
    int r = straight(ET_PIPE);
    make_model();
    build_element_records();
    auto quantities = [&] { return section_properties(analysis, step_row(LC_OPERATING_1), 1); };
    snapshot();

    analysis.model.elems[1].material = 0;
    EXPECT_EQ(thrown_text(quantities), "Row 2: Material CS is not defined");
    analysis.model.elems[1].material = 1;
    analysis.model.elems[1].section = 0;
    EXPECT_EQ(thrown_text(quantities), "Row 2: Section 4 is not defined");
    analysis.model.elems[1].section = 1;

    analysis.pipe_sections[1].thickness = 0.0f;
    EXPECT_EQ(thrown_text(quantities), "Row 2: Section 4 has no valid outside diameter and wall thickness");
    analysis.pipe_sections[1].thickness = 0.237f;

    analysis.pipe_materials[1].table = PropertyTable{};
    EXPECT_NE(thrown_text(quantities).find("Row 2: "), std::string::npos);
    (void)r;
}

TEST_F(SectionPropertiesTest, KindWithoutItsClassIsRefused)
{
    straight(ET_BELLOWS);
    EXPECT_EQ(thrown_text([&] { properties(); }), "Row 2: Bellows elements cannot be analysed in this version");
}

TEST_F(SectionPropertiesTest, CutPipeIsAPipeElement)
{
    straight(ET_CUT_PIPE);
    const SectionProperties p = properties();
    EXPECT_EQ(p.kind, ET_PIPE);
    EXPECT_NEAR(p.metal_weight, 0.898256, 1e-5);
}

TEST_F(SectionPropertiesTest, RunKeepsEachElementsQuantitiesByTheStepsSets)
{
    // Worked out once per run for each combination of temperature set,
    // pressure set and contents, and taken from there afterwards: the run's
    // answer in each step is the one of that step, however the steps
    // alternate. Operating 1 is at 185 degF with 150 psi and water, Sustained
    // at the largest pressure without temperature, Empty Weight without
    // contents.
    load.specific_gravity = 1.0;
    straight(ET_PIPE);
    make_model();
    build_element_records();
    const AnalysisModel& m = snapshot();
    AnalysisRun run(m);
    for (int round = 0; round < 2; ++round)
        for (int code : {LC_OPERATING_1, LC_SUSTAINED, LC_EMPTY_WEIGHT}) {
            run.set_step(code);
            const SectionProperties& kept = section_properties(run, 1);
            const SectionProperties fresh = section_properties(m, step_row(code), 1);
            EXPECT_EQ(kept.modulus, fresh.modulus) << code;
            EXPECT_EQ(kept.temperature, fresh.temperature) << code;
            EXPECT_EQ(kept.pressure, fresh.pressure) << code;
            EXPECT_EQ(kept.weight, fresh.weight) << code;
            EXPECT_EQ(&section_properties(run, 1), &kept) << code;
        }
    run.set_step(LC_OPERATING_1);
    EXPECT_NEAR(section_properties(run, 1).modulus, 28.9e6, 1.0);
    run.set_step(LC_EMPTY_WEIGHT);
    EXPECT_EQ(section_properties(run, 1).contents_weight, 0.0);
    EXPECT_EQ(run.section_cache().by_sets.size(), 3u);
}
