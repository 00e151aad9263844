// PipePak neutral files with every keyword, in each of the three unit
// systems, imported and compared field by field with the values worked out
// here from the file's numbers and the units' definitions:
//   1 in = 25.4 mm; 1 lbf = 4.4482216152605 N; 1 kgf = 9.80665 N, so that
//   1 kgf = 2.2046226218 lbf; 1 psi = 6894.757293 Pa; 1 bar = 1e5 Pa;
//   1 kgf/cm2 = 98066.5 Pa; degF = 1.8 degC + 32; 1 lb/in3 = 27679.9047 kg/m3.
#include "elements/bellows.h"
#include "elements/bend.h"
#include "elements/branch_sif.h"
#include "elements/flange.h"
#include "elements/joints.h"
#include "elements/pipe.h"
#include "elements/reducer.h"
#include "elements/user_sif.h"
#include "elements/valve.h"
#include "exchange/data/neutral_fixture.h"
#include "exchange/data/neutral_samples.h"
#include "exchange/pnf_reader.h"
#include "loads/nodal_loads.h"
#include "loads/pipe_load.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/element_data.h"
#include "supports/anchor.h"
#include "supports/guide.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"
#include "supports/restraint.h"
#include "supports/skewed_restraint.h"
#include "supports/snubber.h"

#include <numbers>

namespace neutral_test {
namespace {

constexpr double MM = 25.4;                       // mm per inch
constexpr double N_PER_LBF = 4.4482216152605;
constexpr double KGF_IN_LBF = 9.80665 / N_PER_LBF;   // 2.2046226 lbf
constexpr double PA_PER_PSI = 6894.757293168;
constexpr double KG_M3_PER_LB_IN3 = 27679.9047;
constexpr double DEG = 180.0 / std::numbers::pi;

// One file's units, as the internal value of one of its file units.
struct FileUnits {
    const char* name;
    double length;        // DX, DY, DZ: inch per file unit
    double dimension;     // diameters, thicknesses, radii, gaps
    double force, moment, weight, pressure, stress, allowable, density, weight_density;
    double stiffness, rot_stiffness, area;
    double (*temperature)(double);
};

double fahrenheit(double t) { return t; }
double celsius(double t) { return 1.8 * t + 32.0; }

const FileUnits ENGLISH{"ENGLISH",
                        12.0,                 // a plain length is feet
                        1.0,
                        1.0,
                        1.0,                  // in-lb
                        1.0,
                        1.0,
                        1.0,
                        1.0,
                        1.0,
                        1.0 / 1728.0,         // lb/ft3
                        1.0,
                        DEG,                  // in-lb/deg
                        1.0,
                        fahrenheit};
const FileUnits METRIC{"METRIC",
                       10.0 / MM,                          // cm
                       10.0 / MM,                          // cm
                       KGF_IN_LBF,                         // kg
                       KGF_IN_LBF * 1000.0 / MM,           // kg-m
                       KGF_IN_LBF,                         // kg (weight)
                       98066.5 / PA_PER_PSI,               // kg/cm2
                       98066.5 / PA_PER_PSI,               // kg/cm2
                       98066.5 / PA_PER_PSI,
                       1.0 / KG_M3_PER_LB_IN3,             // kg/m3
                       1.0 / KG_M3_PER_LB_IN3,
                       KGF_IN_LBF * MM / 10.0,             // kg/cm
                       KGF_IN_LBF * 1000.0 / MM * DEG,     // kg-m/deg
                       100.0 / (MM * MM),                  // cm2
                       celsius};
const FileUnits SI{"SI",
                   1.0 / MM,                               // mm
                   1.0 / MM,
                   1.0 / N_PER_LBF,                        // N
                   1000.0 / MM / N_PER_LBF,                // N m
                   KGF_IN_LBF,                             // kg
                   1.0e5 / PA_PER_PSI,                     // bar
                   1.0e6 / PA_PER_PSI,                     // MPa
                   1.0e3 / PA_PER_PSI,                     // kPa (allowables)
                   1.0 / KG_M3_PER_LB_IN3,
                   1.0 / KG_M3_PER_LB_IN3,
                   MM / N_PER_LBF,                         // N/mm
                   1000.0 / MM / N_PER_LBF * DEG,          // N m/deg
                   1.0 / (MM * MM),                        // mm2
                   celsius};

class PnfUnitsTest : public NeutralTest {
protected:
    void check_every_keyword(const FileUnits& u)
    {
        ASSERT_NO_FATAL_FAILURE(pnf_ok(every_keyword_pnf(u.name)));
        const double l = u.length, d = u.dimension;
        // Title, options, code.
        EXPECT_EQ(model_title(), "EVERY KEYWORD ");
        EXPECT_EQ(piping_code(), CODE_B313);
        expect_value(analysis_options().reference_temperature, u.temperature(80), "ambient");
        expect_value(analysis_options().default_temperature, u.temperature(80), "default temperature");
        expect_value(analysis_options().peak_pressure_factor, 1.2, "E factor");
        EXPECT_EQ(analysis_options().cutoff_frequency, 25);
        EXPECT_FALSE(analysis_options().z_vertical);

        // Material with the file's allowables; E and alpha from the default
        // rows (30e6 psi, 6e-6 at 70 degF; 20e6, 8e-6 at 1200 degF), linear.
        ASSERT_EQ(nummats(), 1);
        const PipeMaterial& m = pipe_materials()[1];
        EXPECT_EQ(m.name, "CS");
        EXPECT_EQ(m.description, "(CARBON STEEL)");
        expect_value(m.density, 0.283 * u.density, "density");
        expect_value(m.nu, 0.29, "nu");
        ASSERT_EQ(m.numtemps(), 2);
        const double t1 = u.temperature(70), t2 = u.temperature(500);
        auto interpolated = [](double t, double a, double b) {
            const double s = std::clamp((t - 70.0) / (1200.0 - 70.0), 0.0, 1.0);
            return a + s * (b - a);
        };
        expect_value(m.table[1][PROP_TEMPERATURE], t1, "T row 1");
        expect_value(m.table[1][PROP_STRESS1], 20000 * u.allowable, "allowable row 1");
        expect_value(m.table[2][PROP_STRESS1], 18900 * u.allowable, "allowable row 2");
        expect_value(m.table[2][PROP_MODULUS], interpolated(t2, 30e6, 20e6), "E row 2");
        expect_value(m.table[2][PROP_ALPHA], interpolated(t2, 6e-6, 8e-6), "alpha row 2");

        // Loads: T2 above 70 degF asks for two thermal sets.
        ASSERT_EQ(numloads(), 2);
        const PipeLoad& l1 = pipe_loads()[1];
        expect_value(l1.temperature[1], u.temperature(300), "T1");
        expect_value(l1.pressure[1], 150 * u.pressure, "P1");
        expect_value(l1.temperature[2], u.temperature(400), "T2");
        expect_value(l1.pressure[2], 100 * u.pressure, "P2");
        expect_value(l1.temperature[3], 70.0, "T3 not given");
        EXPECT_EQ(numtloads(), 2);

        // Sections: METRIC gives centimetres, SI millimetres.
        ASSERT_EQ(numsections(), 2);
        const PipeSection& s6 = pipe_sections()[1];
        expect_value(s6.outside_diameter, 6.625 * d, "OD");
        expect_value(s6.thickness, 0.28 * d, "wall");
        expect_value(s6.corrosion_allowance, 0.0625 * d, "corrosion");
        expect_value(s6.insulation_thickness, 2 * d, "insulation");
        expect_value(s6.insulation_density, 11 * u.weight_density, "insulation density");
        EXPECT_EQ(s6.nominal_size, "Non Std");

        // Rows: title, From, the run, the ball joint, the comment, then the
        // items' Location rows in file order.
        const LayoutRow& from = model().rows[2];
        EXPECT_EQ(from.etype, ET_FROM);
        EXPECT_EQ(from.node, 10);
        EXPECT_EQ(from.section, "");
        const LayoutRow& b = model().rows[3];
        EXPECT_EQ(b.node, 20);
        expect_value(b.dx, 10 * l, "DX of B");
        EXPECT_EQ(b.section, "S6");
        EXPECT_EQ(b.material, "CS");
        EXPECT_EQ(b.load, "L1");
        const LayoutRow& c = model().rows[4];
        ASSERT_EQ(c.etype, ET_BEND);
        expect_value(c.dy, 80 * l, "DY of C");
        EXPECT_EQ(element<Bend>(4).geometry.radius_kind, RADIUS_LONG);
        // RIGID C MID: the bend's middle, node 35, at half its 90 degrees.
        EXPECT_EQ(element<Bend>(4).geometry.node1, 35);
        expect_value(element<Bend>(4).geometry.angle1, std::numbers::pi / 4, "mid angle");
        EXPECT_EQ(model().rows[6].section, "S4");
        EXPECT_EQ(model().rows[6].load, "L2");
        const LayoutRow& j = model().rows[10];
        ASSERT_EQ(j.etype, ET_BEND);
        EXPECT_EQ(element<Bend>(10).geometry.radius_kind, RADIUS_USER);
        expect_value(element<Bend>(10).geometry.radius, 18 * d, "user radius");
        // BSJ: a node of its own (BA12, the 11th name: 110), stiffness both ways.
        const LayoutRow& ball = model().rows[12];
        ASSERT_EQ(ball.etype, ET_BALL_JOINT);
        EXPECT_EQ(ball.node, 110);
        expect_value(element<BallJoint>(12).bending_stiffness, 1000 * u.rot_stiffness, "ball stiffness");
        expect_value(element<BallJoint>(12).torsional_stiffness, 1000 * u.rot_stiffness, "ball torsion");
        EXPECT_EQ(element<BallJoint>(12).bending_limit, NO_ROTATION_LIMIT);
        ASSERT_EQ(model().rows[14].etype, ET_COMMENT);
        EXPECT_EQ(model().rows[14].comment_text(), "A COMMENT LINE ");
        EXPECT_EQ(model().rows[14].node, 120);

        // Second pass: VALVE A acts on the first pipe after the From row.
        ASSERT_EQ(model().rows[3].etype, ET_VALVE);
        const Valve& valve = element<Valve>(3);
        expect_value(valve.weight, 300 * u.weight, "valve weight");
        expect_value(valve.insulation_multiplier, 2, "insulation factor");
        expect_value(valve.thickness_multiplier, 3, "thickness factor");
        // REDUCER E: from the S4 of the row before to its own S6.
        ASSERT_EQ(model().rows[7].etype, ET_REDUCER);
        expect_value(element<Reducer>(7).od1, 4.5 * d, "reducer OD1");
        expect_value(element<Reducer>(7).od2, 6.625 * d, "reducer OD2");
        ASSERT_EQ(model().rows[8].etype, ET_CUT_PIPE);
        expect_value(element<CutPipe>(8).cut, 0.5 * d, "cut");
        ASSERT_EQ(model().rows[9].etype, ET_BELLOWS);
        const Bellows& bellows = element<Bellows>(9);
        expect_value(bellows.weight, 40 * u.weight, "bellows weight");
        expect_value(bellows.thrust_area, 30 * u.area, "thrust area");
        EXPECT_EQ(bellows.axial_stiffness, 1.0f);   // FREE: 1 lb/in
        expect_value(bellows.lateral_stiffness, 800 * u.stiffness, "lateral");
        EXPECT_EQ(bellows.bending_stiffness, RIGID_STIFFNESS);   // "*"
        expect_value(bellows.torsional_stiffness, 60 * u.rot_stiffness, "torsional");

        // Items.
        const Anchor& anchor_a = data<Anchor>(row_with(10, DT_ANCHOR));
        for (float k : anchor_a.v.stiffness)
            EXPECT_EQ(k, RIGID_STIFFNESS);
        EXPECT_FALSE(anchor_a.v.displacements.any());
        const Anchor& anchor_m = data<Anchor>(row_with(120, DT_ANCHOR));
        EXPECT_EQ(anchor_m.v.stiffness[0], RIGID_STIFFNESS);
        EXPECT_EQ(anchor_m.v.stiffness[1], 1.0f);
        expect_value(anchor_m.v.stiffness[3], 7000 * u.rot_stiffness, "KXX");
        EXPECT_EQ(anchor_m.v.displacements.given[1], 1);
        EXPECT_EQ(anchor_m.v.displacements.given[2], 1);
        EXPECT_EQ(anchor_m.v.displacements.given[3], 0);
        expect_value(anchor_m.v.displacements.values[1][1], 0.5 * d, "dy T1");
        expect_value(anchor_m.v.displacements.values[1][2], -1 * d, "dz T1");
        expect_value(anchor_m.v.displacements.values[1][4], 2 / DEG, "ry T1");
        EXPECT_EQ(data<Restraint>(row_with(20, DT_RESTRAINT)).v.restrained, (std::array<uint8_t, 3>{0, 1, 0}));
        EXPECT_EQ(data<Restraint>(row_with(35, DT_RESTRAINT)).v.restrained, (std::array<uint8_t, 3>{0, 1, 0}));
        EXPECT_EQ(data<Guide>(row_with(40, DT_GUIDE)).v.stiffness, 1.0f);
        // Line stops along the pipe: E lies on the X run.
        const SkewedRestraint& line_stop = data<SkewedRestraint>(row_with(50, DT_SKEWED_RESTRAINT));
        expect_value(line_stop.v.stiffness, 5000 * u.stiffness, "line stop");
        EXPECT_EQ(line_stop.v.direction, (std::array<float, 3>{1, 0, 0}));
        expect_value(data<SkewedRestraint>(row_with(60, DT_SKEWED_RESTRAINT)).v.stiffness, 2000 * u.stiffness,
                     "inclined");
        const SkewedRestraint& rotational = data<SkewedRestraint>(row_with(70, DT_SKEWED_RESTRAINT));
        EXPECT_TRUE(rotational.v.rotational);
        expect_value(rotational.v.stiffness, 100 * u.rot_stiffness, "rotational");
        EXPECT_EQ(rotational.v.direction, (std::array<float, 3>{0, 1, 0}));
        int spring = 0, constant = 0;
        for (int r = 1; r <= numrows(); ++r)
            if (model().rows[r].node == 80 && model().rows[r].dtype == DT_HANGER)
                (data<Hanger>(r).v.type == HANGER_USER ? spring : constant) = r;
        ASSERT_NE(spring, 0);
        ASSERT_NE(constant, 0);
        expect_value(data<Hanger>(spring).v.spring_rate, 500 * u.stiffness, "spring rate");
        expect_value(data<Hanger>(spring).v.load, 1200 * u.force, "cold load");
        EXPECT_EQ(data<Hanger>(spring).v.load_type, 1);
        EXPECT_EQ(data<Hanger>(constant).v.type, HANGER_CONSTANT);
        EXPECT_EQ(data<Hanger>(row_with(100, DT_HANGER)).v.type, 16);
        EXPECT_EQ(data<Hanger>(row_with(100, DT_HANGER)).v.load_variation, 25);
        const LimitStop& stop = data<LimitStop>(row_with(100090, DT_LIMIT_STOP));
        expect_value(stop.v.stiffness, 1000 * u.stiffness, "stop stiffness");
        expect_value(stop.v.upper, 0.5 * d, "upper");
        expect_value(stop.v.lower, -0.5 * d, "lower");
        expect_value(stop.v.mu, 0.3, "mu");
        EXPECT_EQ(stop.v.direction, (std::array<float, 3>{0, 1, 0}));
        const LimitStop& oneway = data<LimitStop>(row_with(100, DT_LIMIT_STOP));
        EXPECT_EQ(oneway.v.direction, (std::array<float, 3>{0, -1, 0}));
        EXPECT_EQ(oneway.v.upper, NO_LIMIT);
        EXPECT_EQ(oneway.v.lower, 0.0f);
        EXPECT_EQ(oneway.v.stiffness, RIGID_STIFFNESS);
        const Snubber& snubber = data<Snubber>(row_with(20, DT_SNUBBER));
        expect_value(snubber.v.stiffness, 3000 * u.stiffness, "snubber");
        const Flange& flange = data<Flange>(row_with(40, DT_FLANGE));
        EXPECT_EQ(flange.flange_type, 5);
        expect_value(flange.weight, 25 * u.weight, "flange weight");
        expect_value(flange.gasket_diameter, 10 * d, "gasket");
        const BranchSif& tee_e = data<BranchSif>(row_with(50, DT_BRANCH_SIF));
        EXPECT_EQ(tee_e.sif_type, BRANCH_REINFORCED_TEE);
        expect_value(tee_e.value1, 0.375 * d, "pad");
        const BranchSif& tee_f = data<BranchSif>(row_with(60, DT_BRANCH_SIF));
        EXPECT_EQ(tee_f.sif_type, BRANCH_EXTRUDED_TEE);
        expect_value(tee_f.value1, 0.5 * d, "crotch");
        const UserSif& sif = data<UserSif>(row_with(70, DT_USER_SIF));
        expect_value(sif.sif_in, 1.5, "in-plane SIF");
        expect_value(sif.sif_out, 2.0, "out-plane SIF");
        const ForceLoad& force = data<ForceLoad>(row_with(80, DT_FORCE));
        const double forces[6] = {100 * u.force, -200 * u.force, 300 * u.force,
                                  10 * u.moment, 20 * u.moment,  30 * u.moment};
        for (std::size_t i = 0; i < 6; ++i)
            expect_value(force.values[i], forces[i], "force");
        expect_value(data<ConcentratedMass>(row_with(200090, DT_CONC_MASS)).weight, 50 * u.weight, "weight");
        expect_value(data<ConcentratedMass>(row_with(100, DT_CONC_MASS)).weight, 25 * u.weight, "mass");

        // The closing note: the default property table of CS, the cold
        // load of the constant support.
        EXPECT_EQ(notes_.count(PNF_DEFAULT_TABLES), 1);
        EXPECT_EQ(notes_.count(PNF_COLD_LOADS), 1);
    }
};

}  // namespace

TEST_F(PnfUnitsTest, EnglishFileWithEveryKeyword)
{
    check_every_keyword(ENGLISH);
    for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q)
        EXPECT_EQ(unit_choice()[static_cast<std::size_t>(q)], q == MOMENT ? 1 : 0) << q;
}

TEST_F(PnfUnitsTest, MetricFileWithEveryKeyword)
{
    check_every_keyword(METRIC);
    EXPECT_EQ(unit_choice()[LENGTH], 4);
    EXPECT_EQ(unit_choice()[PRESSURE], 5);
    EXPECT_EQ(unit_choice()[ROT_STIFFNESS], 4);
}

TEST_F(PnfUnitsTest, SiFileWithEveryKeyword)
{
    check_every_keyword(SI);
    EXPECT_EQ(unit_choice()[FORCE], 1);
    EXPECT_EQ(unit_choice()[STRESS], 1);
}

}  // namespace neutral_test
