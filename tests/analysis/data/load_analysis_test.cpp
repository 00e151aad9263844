// The loads in whole runs of the analysis, against closed forms and statics
// worked here: wind on a straight pipe between anchors (a profile and the
// ASCE design wind), a pipe full of water against its published weight, the
// Hydrotest case, a concentrated mass and forces at nodes against the
// reactions of statics, the load case a force acts in, the static seismic
// combination of directions, and the load sets beyond those in use.
#include "analysis/data/analysis_fixture.h"
#include "analysis_core/section_properties.h"
#include "framework/text.h"
#include "loads/data/loads_fixture.h"

#include <cmath>
#include <limits>

using namespace analysis_test;
using namespace loads_test;

namespace {

class LoadAnalysisTest : public AnalysisTest {
protected:
    void SetUp() override
    {
        AnalysisTest::SetUp();
        install_loads();
        PipeLoad l = make_pipe_load();
        l.name = "L1";
        l.wind = 1;
        pipe_loads().push_back(l);
    }
    static PipeLoad& l1() { return pipe_loads()[1]; }

    // Anchors at nodes 10 and 30, 240 in apart along X at elevation 120 in,
    // with node 20 at midspan.
    void anchored_span()
    {
        const int first = from(10, 0, 120, 0);
        model().rows[first].dtype = DT_ANCHOR;
        model().rows[first].create_data_object(first);
        pipe(20, 120, 0, 0);
        pipe(30, 120, 0, 0, DT_ANCHOR);
    }
};

}  // namespace

TEST_F(LoadAnalysisTest, WindProfileOnAPipeBetweenAnchors)
{
    // A pressure profile of 0.05 psi at every elevation with shape factor
    // 0.6, blowing along Z on a weightless pipe: w = 0.05 x 0.6 x 6.625
    // lb/in. The elements put the wind on their nodes, half of each
    // element's at each end: the anchors take w L / 4 straight, the midspan
    // node P = w L / 2. Fixed-fixed beam under P at midspan: end moments
    // P L / 8, midspan P L^3 / 192 EI + alpha P L / 4 GA (plus the anchors'
    // springs), each anchor w L / 2 in all.
    weightless();
    wind_load(1).direction = {0.0f, 0.0f, 3.0f};
    wind_load(1).pressure = curve({{0.0f, 0.05f}});
    anchored_span();
    choose({LC_WIND});
    const CaseResults c = solve().at(LC_WIND);
    const double w = 0.05 * 0.6 * steel.od, l = 240, p = w * l / 2;
    const double mid = p * l * l * l / (192 * steel.e * steel.inertia) +
                       steel.shear * p * l / (4 * steel.g * steel.area) + w * l / 2 / RIGID;
    expect_relative(node_result(c, 20)[2], mid, "midspan", 1e-4);
    expect_relative(c.support_loads[2], -w * l / 2, "first anchor");
    expect_relative(c.support_loads[8], -w * l / 2, "second anchor");
    expect_relative(std::fabs(c.support_loads[4]), p * l / 8, "end moment", 1e-5);
    EXPECT_NEAR(c.support_loads[1], 0.0, 1e-9);

    // A load without its wind flag feels none.
    l1().wind = 0;
    const CaseResults calm = solve().at(LC_WIND);
    EXPECT_NEAR(calm.support_loads[2], 0.0, 1e-12);
}

TEST_F(LoadAnalysisTest, AsceWindOnAPipeBetweenAnchors)
{
    // V = 115 mph, Kd 0.85, exposure C, G 0.85, smooth surface, at 10 ft:
    // Kz at 15 ft = 2.01 (15 / 900)^(2 / 9.5), qz = 0.00256 Kz Kd V^2 psf.
    // The structure height not given: h is the elevation, h/D = 120 / 6.625;
    // D sqrt(qz) above 2.5 (D in ft, qz in psf): Cf between 0.6 (h/D 7) and
    // 0.7 (25). F = qz G Cf D L on the pipe (eq. 29.5-1).
    weightless();
    AsceWind& a = asce_wind();
    a.speed = 115.0f;
    a.kd = 0.85f;
    a.exposure = EXPOSURE_C;
    a.gust = 0.85f;
    a.surface = SURFACE_SMOOTH;
    asce_wind_on() = true;
    wind_load(2).asce = 1;
    wind_load(2).direction = {0.0f, 0.0f, -1.0f};
    anchored_span();
    choose({107});
    const CaseResults c = solve().at(107);

    const double kz = 2.01 * std::pow(15.0 / 900.0, 2.0 / 9.5);
    const double psf = 0.00256 * kz * 0.85 * 115.0 * 115.0;
    const double d_ft = steel.od / 12.0;
    ASSERT_GT(d_ft * std::sqrt(psf), 2.5);
    const double h_over_d = 120.0 / steel.od;
    const double cf = 0.6 + (h_over_d - 7.0) / (25.0 - 7.0) * (0.7 - 0.6);
    const double total = psf / 144.0 * 0.85 * cf * steel.od * 240.0;
    expect_relative(c.support_loads[2] + c.support_loads[8], total, "the anchors hold the wind", 1e-5);
    expect_relative(c.support_loads[2], total / 2, "half at each", 1e-5);
}

TEST_F(LoadAnalysisTest, PipeFullOfWaterWeighsItsPublishedWeight)
{
    // 6 in standard pipe: 18.97 lb/ft of steel and 12.51 lb/ft of water
    // (the published weights of NPS 6 Sch 40). A 120 in cantilever's anchor
    // carries both; Empty Weight carries the steel only.
    l1().specific_gravity = 1.0f;
    anchored_from(10);
    pipe(20, 120, 0, 0);
    choose({LC_SUSTAINED, LC_EMPTY_WEIGHT});
    const auto results = solve();
    const double steel_per_inch = 18.97 / 12.0, water_per_inch = 12.51 / 12.0;
    expect_relative(results.at(LC_SUSTAINED).support_loads[1], (steel_per_inch + water_per_inch) * 120.0,
                    "full pipe", 2e-3);
    expect_relative(results.at(LC_EMPTY_WEIGHT).support_loads[1], steel_per_inch * 120.0, "empty pipe", 2e-3);
    // The added weight of the load adds to it.
    l1().added_weight = 2.0f;
    expect_relative(solve().at(LC_EMPTY_WEIGHT).support_loads[1], (steel_per_inch + 2.0) * 120.0, "added weight",
                    2e-3);
}

TEST_F(LoadAnalysisTest, HydrotestCaseFillsAndPressurisesTheRowsAfterItsLoad)
{
    // Three cantilevers from one anchor, along X, Y and Z, each 100 in: the
    // first before any hydrotest row (not tested), the second after a row
    // of water at 1500 psi, the third after one of SG 0.5 at 800 psi. The
    // line carries gas (SG 0).
    weightless();
    pipe_materials()[1].density = 0.283f;
    const int anchor = from(10);
    model().rows[anchor].dtype = DT_ANCHOR;
    model().rows[anchor].create_data_object(anchor);
    pipe(20, 100, 0, 0);
    const int h1 = row(0, ET_HYDROTEST_LOAD);
    element_of<HydrotestLoad>(h1).specific_gravity = 1.0f;
    element_of<HydrotestLoad>(h1).pressure = 1500.0f;
    from(10);
    pipe(30, 0, 0, 100);
    const int h2 = row(0, ET_HYDROTEST_LOAD);
    element_of<HydrotestLoad>(h2).specific_gravity = 0.5f;
    element_of<HydrotestLoad>(h2).pressure = 800.0f;
    element_of<HydrotestLoad>(h2).temperature = 50.0f;
    from(10);
    pipe(40, 0, 0, -100);
    load_case_list().clear();
    make_model();
    const auto snap = make_analysis_model();
    // The default cases include Hydrotest once a hydrotest row is there.
    EXPECT_TRUE(snap->load_cases.contains(LC_HYDROTEST));

    const StepRow& test = step_row(LC_HYDROTEST);
    const double water = 0.03609 * std::numbers::pi * steel.ri * steel.ri;   // lb/in, 62.37 lb/ft3
    const SectionProperties untested = section_properties(*snap, test, 1);
    EXPECT_DOUBLE_EQ(untested.pressure, 0.0);
    EXPECT_DOUBLE_EQ(untested.contents_weight, 0.0);
    const SectionProperties first = section_properties(*snap, test, 2);
    EXPECT_DOUBLE_EQ(first.pressure, 1500.0);
    expect_relative(first.contents_weight, water, "water");
    EXPECT_DOUBLE_EQ(first.temperature, snap->options.reference_temperature);
    const SectionProperties second = section_properties(*snap, test, 3);
    EXPECT_DOUBLE_EQ(second.pressure, 800.0);
    expect_relative(second.contents_weight, 0.5 * water, "half water");
    EXPECT_DOUBLE_EQ(second.temperature, 50.0);
    // Outside Hydrotest the rows have their own load.
    EXPECT_DOUBLE_EQ(section_properties(*snap, step_row(LC_SUSTAINED), 2).contents_weight, 0.0);

    // The anchor holds the three pipes' steel and the two tested ones'
    // water; Sustained only the steel.
    choose({LC_SUSTAINED, LC_HYDROTEST});
    const auto results = solve();
    const double steel_weight = steel.weight * 300.0;
    expect_relative(results.at(LC_SUSTAINED).support_loads[1], steel_weight, "sustained");
    expect_relative(results.at(LC_HYDROTEST).support_loads[1], steel_weight + 1.5 * water * 100.0, "hydrotest");
}

TEST_F(LoadAnalysisTest, ConcentratedMassAndForceGiveTheReactionsOfStatics)
{
    // From an anchor at the origin: node 20 at (50, 0, 0) with a force
    // (100, -200, 0) lb and MZ 300 in-lb, node 30 at (100, 0, 0) with a
    // 500 lb mass 10 in off along Z. Weightless pipe. The applied moments
    // about the anchor: r x F of the force (0, 0, -10000) plus 300, of the
    // weight (100, 0, 10) x (0, -500, 0) = (5000, 0, -50000).
    weightless();
    anchored_from(10);
    const int f = pipe(20, 50, 0, 0, DT_FORCE);
    data_of<ForceLoad>(f).values = {100.0f, -200.0f, 0.0f, 0.0f, 0.0f, 300.0f};
    const int m = pipe(30, 50, 0, 0, DT_CONC_MASS);
    data_of<ConcentratedMass>(m).weight = 500.0f;
    data_of<ConcentratedMass>(m).offset = {0.0f, 0.0f, 10.0f};
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);
    const double expected[6] = {-100.0, 700.0, 0.0, -5000.0, 0.0, 59700.0};
    for (int d = 0; d < 6; ++d) {
        if (expected[d] == 0.0)
            EXPECT_NEAR(c.support_loads[static_cast<std::size_t>(d)], 0.0, 1e-6) << d;
        else
            expect_relative(c.support_loads[static_cast<std::size_t>(d)], expected[d], "anchor load");
    }
}

TEST_F(LoadAnalysisTest, AForceActsInTheCasesOfItsLoadSet)
{
    // A W+P force acts with the weight, a T2 force in the cases of set 2.
    weightless();
    numtloads() = 2;
    anchored_from(10);
    const int a = pipe(20, 50, 0, 0, DT_FORCE);
    data_of<ForceLoad>(a).values = {0.0f, -100.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    const int b = pipe(30, 50, 0, 0, DT_FORCE);
    data_of<ForceLoad>(b).values = {0.0f, 0.0f, 40.0f, 0.0f, 0.0f, 0.0f};
    data_of<ForceLoad>(b).load_case = 2;
    choose({LC_SUSTAINED, expansion_code(1), expansion_code(2), operating_code(1), operating_code(2)});
    const auto r = solve();
    auto fy = [&](int code) { return r.at(code).support_loads[1]; };
    auto fz = [&](int code) { return r.at(code).support_loads[2]; };
    EXPECT_NEAR(fy(LC_SUSTAINED), 100.0, 1e-6);
    EXPECT_NEAR(fz(LC_SUSTAINED), 0.0, 1e-9);
    EXPECT_NEAR(fy(expansion_code(1)), 0.0, 1e-9);
    EXPECT_NEAR(fz(expansion_code(2)), -40.0, 1e-6);
    EXPECT_NEAR(fy(expansion_code(2)), 0.0, 1e-9);
    EXPECT_NEAR(fz(operating_code(1)), 0.0, 1e-9);
    EXPECT_NEAR(fy(operating_code(2)), 100.0, 1e-6);
    EXPECT_NEAR(fz(operating_code(2)), -40.0, 1e-6);
}

TEST_F(LoadAnalysisTest, SeismicDirectionsCombineAsChosen)
{
    // A 500 lb mass at (100, 0, 10) from the anchor, weightless pipe, g 0.3
    // along X and 0.4 along Z. X alone: the anchor holds -150 lb in X and
    // My = -(10 x 150) = -1500; Z alone: -200 lb in Z and My = +20000.
    // Combined: |1500| + |20000| or sqrt(1500^2 + 20000^2) for My.
    weightless();
    anchored_from(10);
    const int m = pipe(20, 100, 0, 0, DT_CONC_MASS);
    data_of<ConcentratedMass>(m).weight = 500.0f;
    data_of<ConcentratedMass>(m).offset = {0.0f, 0.0f, 10.0f};
    seismic_g() = {{0.3f, 0.0f, 0.4f}, {1, 1, 1}, SEISMIC_ABSOLUTE_SUM};
    choose({LC_SEISMIC_G});
    CaseResults c = solve().at(LC_SEISMIC_G);
    expect_relative(c.support_loads[0], 150.0, "X");
    expect_relative(c.support_loads[2], 200.0, "Z");
    expect_relative(c.support_loads[4], 21500.0, "My, absolute sum");
    EXPECT_NEAR(c.support_loads[1], 0.0, 1e-9);
    seismic_g().combination = SEISMIC_SRSS;
    c = solve().at(LC_SEISMIC_G);
    expect_relative(c.support_loads[4], std::hypot(1500.0, 20000.0), "My, SRSS");
    expect_relative(c.support_loads[0], 150.0, "X, SRSS");
    // One direction alone keeps its signs.
    seismic_g().flag = {0, 0, 1};
    c = solve().at(LC_SEISMIC_G);
    expect_relative(c.support_loads[2], -200.0, "Z alone");
    expect_relative(c.support_loads[4], 20000.0, "My of Z alone");
}

TEST_F(LoadAnalysisTest, LoadSetsBeyondThoseInUseAreNotUsed)
{
    // T3 is kept in the load but numtloads is 2: a case of set 3 is refused
    // by name rather than run with it; the defaults stop at set 2.
    numtloads() = 3;
    l1().temperature[3] = 400.0f;
    anchored_from(10);
    pipe(20, 100, 0, 0, DT_ANCHOR);
    numtloads() = 2;
    choose({LC_SUSTAINED, expansion_code(3)});
    EXPECT_EQ(failure(), "Load case Expansion (T3): load set 3 is beyond the 2 thermal load sets in use");
    choose({LC_SUSTAINED, 6});   // Expansion (T1-T3)
    EXPECT_EQ(failure(), "Load case Expansion (T1-T3): load set 3 is beyond the 2 thermal load sets in use");
    choose({operating_code(2)});
    EXPECT_EQ(failure(), "<nothing thrown>");
    load_case_list().clear();
    make_model();
    EXPECT_FALSE(make_analysis_model()->load_cases.contains(expansion_code(3)));
    // The highest temperature of the load is taken over the sets in use.
    EXPECT_FLOAT_EQ(load_max_temperature(l1()), 70.0f);
    numtloads() = 3;
    EXPECT_FLOAT_EQ(load_max_temperature(l1()), 400.0f);
}

TEST_F(LoadAnalysisTest, ModelCheckRefusesAnItemOutOfRange)
{
    anchored_from(10);
    const int m = pipe(20, 100, 0, 0, DT_CONC_MASS);
    data_of<ConcentratedMass>(m).weight = -5.0f;
    choose({LC_SUSTAINED});
    EXPECT_EQ(failure(), "Row 2: the weight is below 0");
    data_of<ConcentratedMass>(m).weight = 5.0f;
    // A dynamic load without its frequency does not stop a static run; a
    // value that is not a number does.
    const int h = pipe(30, 10, 0, 0, DT_HARMONIC_LOAD);
    EXPECT_EQ(failure(), "<nothing thrown>");
    data_of<HarmonicLoad>(h).values[1] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(failure(), c_format("Row %d: a value is not a number", h));
}

TEST_F(LoadAnalysisTest, MassesAndDynamicLoadsGoIntoTheirSteps)
{
    // The modal step takes a concentrated mass's weight / 386.4 on the
    // three translations of its node (in/s2: masses are weights over g);
    // the dynamic steps take the amplitudes of their own kind of load only.
    anchored_from(10);
    const int m = pipe(20, 50, 0, 0, DT_CONC_MASS);
    data_of<ConcentratedMass>(m).weight = 772.8f;
    const int t = pipe(30, 50, 0, 0, DT_TIME_VARYING_LOAD);
    data_of<TimeVaryingLoad>(t).function = 1;
    data_of<TimeVaryingLoad>(t).values = {0.0f, 0.0f, 0.0f, 0.0f, 75.0f, 0.0f};
    const int h = pipe(40, 50, 0, 0, DT_HARMONIC_LOAD);
    data_of<HarmonicLoad>(h).frequency = 10.0f;
    data_of<HarmonicLoad>(h).values = {0.0f, 40.0f, 0.0f};
    const int f = pipe(50, 50, 0, 0, DT_FORCE_SPECTRUM_LOAD);
    data_of<ForceSpectrumLoad>(f).spectrum = "SLUG";
    data_of<ForceSpectrumLoad>(f).values = {0.0f, 0.0f, -90.0f};
    choose({LC_SUSTAINED});
    make_model();
    const auto snap = make_analysis_model();
    AnalysisRun run(*snap);
    auto equation = [&](int row, int d) { return run.equation(run.layout().rows[row].node_index, d); };
    auto assemble = [&](int code) {
        run.set_step(code);
        std::fill(run.loads.begin(), run.loads.end(), 0.0);
        for (int row = 1; row <= run.layout().numrows(); ++row)
            if (const DataItem* item = run.layout().rows[row].data.get()) {
                if (step_is_modal(run))
                    item->add_mass(run, row);
                item->add_dynamic_loads(run, row);
            }
    };
    assemble(LC_MODAL);
    for (int d = 0; d < 3; ++d)
        EXPECT_NEAR(run.loads[equation(m, d)], 2.0, 1e-7) << d;   // 772.8 / 386.4
    EXPECT_DOUBLE_EQ(run.loads[equation(m, 3)], 0.0);
    assemble(LC_TIME_HISTORY);
    EXPECT_DOUBLE_EQ(run.loads[equation(t, 4)], 75.0);
    EXPECT_DOUBLE_EQ(run.loads[equation(h, 1)], 0.0);
    assemble(LC_HARMONIC);
    EXPECT_DOUBLE_EQ(run.loads[equation(h, 1)], 40.0);
    EXPECT_DOUBLE_EQ(run.loads[equation(t, 4)], 0.0);
    assemble(LC_FORCE_SPECTRUM);
    EXPECT_DOUBLE_EQ(run.loads[equation(f, 2)], -90.0);
    EXPECT_DOUBLE_EQ(run.loads[equation(h, 1)], 0.0);
}

TEST_F(LoadAnalysisTest, AsceWindWithTheStructureHeightGiven)
{
    // The structure height of 50 ft given: h/D = 600 / 6.625 = 90.6, held at
    // 25 in figure 29.5-1; D sqrt(qz) with qz at 50 ft above 2.5, so the
    // very rough row gives Cf 1.2. The pipe at 10 ft still takes qz at 10 ft
    // (15 ft of table 29.3-1). Exposure B: Kz 2.01 (15 / 1200)^(2 / 7).
    weightless();
    AsceWind& a = asce_wind();
    a.speed = 130.0f;
    a.kd = 0.95f;
    a.exposure = EXPOSURE_B;
    a.gust = 0.85f;
    a.surface = SURFACE_VERY_ROUGH;
    asce_wind_on() = true;
    wind_load(1).asce = 1;
    wind_load(1).direction = {0.0f, 0.0f, 1.0f};
    wind_load(1).height_given = 1;
    wind_load(1).structure_height = 600.0f;
    anchored_span();
    choose({LC_WIND});
    const CaseResults c = solve().at(LC_WIND);
    const double qz_at = [](double z_ft) {
        return 0.00256 * 2.01 * std::pow(std::max(z_ft, 15.0) / 1200.0, 2.0 / 7.0) * 0.95 * 130.0 * 130.0;
    }(10.0);
    const double qz_h = 0.00256 * 2.01 * std::pow(50.0 / 1200.0, 2.0 / 7.0) * 0.95 * 130.0 * 130.0;
    ASSERT_GT(steel.od / 12.0 * std::sqrt(qz_h), 2.5);
    const double total = qz_at / 144.0 * 0.85 * 1.2 * steel.od * 240.0;
    expect_relative(-(c.support_loads[2] + c.support_loads[8]), total, "the anchors hold the wind", 1e-5);
}
