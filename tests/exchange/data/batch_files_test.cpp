// The batch files under tests/data/batch imported and checked field by field
// against the model in memory: the smallest model, a file with every
// section, and one with every support, element and load keyword. Values
// given in the file's units are checked in internal units, converted here:
// 1 ft = 12 in, 1 ft3 = 1728 in3, 1 degree = pi/180 radian.
#include "elements/bend.h"
#include "elements/jacketed_bend.h"
#include "elements/miter.h"
#include "elements/pipe.h"
#include "elements/reducer.h"
#include "exchange/data/batch_fixture.h"
#include "loads/beam_load.h"
#include "loads/hydrotest_load.h"
#include "loads/nodal_loads.h"
#include "loads/pipe_load.h"
#include "loads/seismic.h"
#include "loads/wind.h"
#include "materials/beam_material.h"
#include "materials/beam_section.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/soil.h"
#include "supports/anchor.h"
#include "supports/guide.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"
#include "supports/nozzle.h"
#include "supports/restraint.h"
#include "supports/skewed_restraint.h"
#include "supports/snubber.h"

#include <numbers>

using namespace batch_test;

namespace {

constexpr double DEG = std::numbers::pi / 180.0;   // radian per degree
constexpr double FT = 12.0;                         // inch per foot
constexpr double FT3 = 1728.0;                      // cubic inch per cubic foot

}  // namespace

TEST_F(BatchTest, SmallestModelIsAFromRowAndAPipe)
{
    import_ok(file_text("smallest.mbf"));
    ASSERT_EQ(numrows(), 2);
    EXPECT_EQ(model().rows[1].etype, ET_FROM);
    EXPECT_EQ(model().rows[1].node, 10);
    EXPECT_EQ(model().rows[2].etype, ET_PIPE);
    // No OPTIONS: lengths are feet, so X10 is 120 in.
    expect_value(model().rows[2].dx, 10 * FT, "DX");
    EXPECT_EQ(model_title(), "");
    EXPECT_EQ(numelems(), 1);   // the model is built at the end
}

TEST_F(BatchTest, EverySectionOfAFile)
{
    import_ok(file_text("every_section.mbf"));
    // Title: the first non-empty line before the first head.
    ASSERT_GE(numrows(), 1);
    EXPECT_EQ(model().rows[1].etype, ET_COMMENT);
    EXPECT_EQ(model().rows[1].comment_text(), "Title = Every section of a batch file");
    EXPECT_EQ(model_title(), "Every section of a batch file");

    // VERSION with IN, OPTIONS HGRB, B313, Z.
    EXPECT_EQ(unit_choice()[LENGTH], 2);
    EXPECT_EQ(piping_code(), CODE_B313);
    const AnalysisOptions& o = analysis_options();
    EXPECT_TRUE(o.z_vertical);
    // OPCODE 1,0,1,2,3,1,2,1,1.5: B31J is taken under B31.3.
    EXPECT_TRUE(o.include_axial_force);
    EXPECT_FALSE(o.liberal_allowable);
    EXPECT_TRUE(o.use_b31j);
    EXPECT_EQ(o.service_level, 2);
    EXPECT_EQ(o.b318_design_factor_index, 3);
    EXPECT_EQ(o.z183_location_factor_index, 1);
    EXPECT_EQ(o.z184_class_location, 2);
    EXPECT_TRUE(o.z184_sour_service);
    EXPECT_FLOAT_EQ(o.seismic_coefficient, 1.5f);
    // OPTEMP 60,5000,3,1,1: the cold modulus is no option under B31.3.
    EXPECT_FLOAT_EQ(o.reference_temperature, 60.0f);
    EXPECT_EQ(o.thermal_cycles, 5000);
    EXPECT_EQ(o.numtloads, 3);
    EXPECT_TRUE(o.solve_thermal_case);
    EXPECT_FALSE(o.use_cold_modulus);
    // OPPRES 1,0,0,1.2 and OPMISC 40,12,0,1,0.
    EXPECT_TRUE(o.pressure_stress_option);
    EXPECT_FALSE(o.bourdon_effect);
    EXPECT_FALSE(o.pressure_correction);
    EXPECT_FLOAT_EQ(o.peak_pressure_factor, 1.2f);
    EXPECT_EQ(o.cutoff_frequency, 40);
    EXPECT_EQ(o.number_of_modes, 12);
    EXPECT_FALSE(o.include_missing_mass);
    EXPECT_TRUE(o.friction_in_dynamics);
    EXPECT_FALSE(o.include_hanger_stiffness);

    // MATERIAL.
    ASSERT_EQ(nummats(), 2);
    const PipeMaterial& cs = pipe_materials()[1];
    EXPECT_EQ(cs.name, "CS1");
    EXPECT_EQ(cs.type, "CS");
    EXPECT_EQ(cs.description, "CARBON STEEL FOR THE TESTS");   // the work line is upper-cased
    expect_value(cs.density, 0.284, "density (lb/in3)");
    expect_value(cs.nu, 0.29, "nu");
    expect_value(cs.joint_factor, 0.95, "joint factor");
    expect_value(cs.circ_joint_factor, 0.9, "circ joint factor");
    ASSERT_EQ(cs.numtemps(), 2);
    const PropertyRow r1{70, 29.5e6f, 6.07e-6f, 20000, 35000, 60000, 0, 0};
    const PropertyRow r2{400, 27.7e6f, 6.82e-6f, 19000, 0, 0, 0, 0};
    EXPECT_EQ(cs.table[1], r1);
    EXPECT_EQ(cs.table[2], r2);
    const PipeMaterial& ss = pipe_materials()[2];
    EXPECT_EQ(ss.name, "SS1");
    EXPECT_FLOAT_EQ(ss.nu, 0.3f);
    EXPECT_FLOAT_EQ(ss.joint_factor, 1.0f);
    EXPECT_FLOAT_EQ(ss.circ_joint_factor, 1.0f);
    EXPECT_EQ(ss.density, 0.0f);
    EXPECT_EQ(ss.numtemps(), 0);

    // SOILS: weight densities in lb/ft3, lengths in inch, delta in degrees.
    ASSERT_EQ(numsoils(), 2);
    const Soil& s1 = soils()[1];
    EXPECT_EQ(s1.type, SOIL_COHESIONLESS);
    expect_value(s1.density, 120 / FT3, "soil density");
    expect_value(s1.ground_level, -36, "ground level");
    expect_value(s1.delta, 30 * DEG, "delta");
    expect_value(s1.ks, 1.5, "Ks");
    EXPECT_EQ(s1.include_insulation, 1);
    const Soil& s2 = soils()[2];
    EXPECT_EQ(s2.type, SOIL_COHESIVE);
    expect_value(s2.strength, 10, "cohesive strength");
    EXPECT_EQ(s2.include_insulation, 0);

    // PIPE.
    ASSERT_EQ(numsections(), 2);
    const PipeSection& p8 = pipe_sections()[1];
    EXPECT_EQ(p8.name, "P8");
    EXPECT_EQ(p8.nominal_size, "Non Std");
    expect_value(p8.outside_diameter, 8.625, "OD");
    expect_value(p8.thickness, 0.322, "wall");
    EXPECT_EQ(p8.corrosion_allowance, 0.0f);
    const PipeSection& p6 = pipe_sections()[2];
    expect_value(p6.corrosion_allowance, 0.0625, "corrosion");
    expect_value(p6.mill_tolerance, 12.5, "mill tolerance");
    expect_value(p6.insulation_density, 11 / FT3, "insulation density");
    expect_value(p6.insulation_thickness, 2, "insulation thickness");
    expect_value(p6.lining_density, 50 / FT3, "lining density");
    expect_value(p6.lining_thickness, 0.125, "lining thickness");
    EXPECT_EQ(p6.soil, "S1");

    // LOADS: with three sets in use L1 takes 70 degF and the stored-zero
    // pressure in sets 2 and 3, and its design values are its highest.
    ASSERT_EQ(numloads(), 2);
    const PipeLoad& l1 = pipe_loads()[1];
    EXPECT_EQ(l1.temperature[1], 300.0f);
    EXPECT_EQ(l1.pressure[1], 150.0f);
    for (int k = 2; k <= NUM_LOAD_SETS; ++k) {
        EXPECT_EQ(l1.temperature[static_cast<std::size_t>(k)], 70.0f) << k;
        EXPECT_EQ(l1.pressure[static_cast<std::size_t>(k)], ENTERED_ZERO) << k;
    }
    EXPECT_EQ(l1.design_temperature, 300.0f);
    EXPECT_EQ(l1.design_pressure, 150.0f);
    EXPECT_EQ(l1.wind, 0);
    const PipeLoad& l2 = pipe_loads()[2];
    EXPECT_FLOAT_EQ(l2.specific_gravity, 1.1f);
    EXPECT_EQ(l2.temperature[2], 350.0f);
    EXPECT_EQ(l2.pressure[3], 90.0f);
    expect_value(l2.added_weight, 0.5 / FT, "added weight (lb/in)");
    EXPECT_EQ(l2.design_temperature, 400.0f);
    EXPECT_EQ(l2.design_pressure, 160.0f);
    EXPECT_EQ(l2.temperature[4], ENTERED_ZERO);   // an entered 0 degF
    EXPECT_EQ(l2.wind, 1);

    // BMATERIALS, BSECTIONS, BLOADS.
    ASSERT_EQ(numbmats(), 1);
    const BeamMaterial& bm = beam_materials()[1];
    EXPECT_EQ(bm.E, 29e6f);
    EXPECT_FLOAT_EQ(bm.nu, 0.3f);
    EXPECT_FLOAT_EQ(bm.density, 0.283f);
    EXPECT_FLOAT_EQ(bm.alpha, 6.5e-6f);
    ASSERT_EQ(beam_sections().size(), 1);
    const std::array<float, BS_VALUE_COUNT> w8{8.25f, 127, 9.77f, 0.282f, 2.1f, 5.5f, 8.0f, 6.5f};
    EXPECT_EQ(beam_sections()[1].values, w8);
    ASSERT_EQ(numbloads(), 1);
    const BeamLoad& bl = beam_loads()[1];
    const float temperatures[] = {300, 200, 150, 90, 80, 70, 60, 50, 40, 30};
    for (int k = 1; k <= NUM_LOAD_SETS; ++k)
        EXPECT_EQ(bl.temperature[static_cast<std::size_t>(k)], temperatures[k - 1]) << k;
    expect_value(bl.added_weight, 0.1 / FT, "beam load added weight (lb/in)");
    EXPECT_EQ(bl.wind, 1);

    // LAYOUT (before COD only).
    ASSERT_EQ(numrows(), 3);
    EXPECT_EQ(model().rows[2].dtype, DT_ANCHOR);
    EXPECT_EQ(model().rows[3].load, "L1");

    // SEISMIC 0.2,0,0.1: the factors given act.
    const SeismicLoad& g = seismic_g();
    EXPECT_EQ(g.g, (std::array<float, 3>{0.2f, 0.0f, 0.1f}));
    EXPECT_EQ(g.flag, (std::array<uint8_t, 3>{1, 0, 1}));
    EXPECT_TRUE(g.any());

    // ASCEW and the wind loads.
    EXPECT_TRUE(asce_wind_on());
    const AsceWind& a = asce_wind();
    EXPECT_EQ(a.occupancy, 2);
    EXPECT_FLOAT_EQ(a.speed, 115.0f);
    EXPECT_FLOAT_EQ(a.kd, 0.85f);
    EXPECT_EQ(a.exposure, EXPOSURE_C);
    EXPECT_EQ(a.surface, SURFACE_ROUGH);
    EXPECT_FLOAT_EQ(a.gust, 0.85f);
    const WindLoad& w1 = wind_load(1);
    EXPECT_EQ(w1.asce, 1);
    EXPECT_EQ(w1.direction, (std::array<float, 3>{0, 0, 1}));   // the WIND line's direction
    EXPECT_FLOAT_EQ(w1.shape_factor, DEFAULT_SHAPE_FACTOR);
    ASSERT_EQ(w1.velocity.size(), 1u);   // the WIND line's velocity at the entered-zero elevation
    EXPECT_EQ(w1.velocity[0], (XYPair{ENTERED_ZERO, 60.0f}));
    const WindLoad& w2 = wind_load(2);
    EXPECT_EQ(w2.asce, 0);
    EXPECT_FLOAT_EQ(w2.shape_factor, 0.7f);
    EXPECT_EQ(w2.direction, (std::array<float, 3>{0, 0, 1}));
    // Velocity over elevation in m and m/s: 1 m = 39.37 in, 1 m/s = 2.23694 mph.
    ASSERT_EQ(w2.velocity.size(), 3u);
    EXPECT_TRUE(w2.pressure.empty());
    EXPECT_EQ(w2.velocity[0].x, ENTERED_ZERO);
    expect_value(w2.velocity[1].x, 10 / 0.0254, "elevation (in)");
    expect_value(w2.velocity[2].y, 40 * 3600 / 1609.344, "velocity (mph)");
    EXPECT_EQ(unit_choice()[SPEED], 0);   // the file's own units came back after the points

    // Equipment.
    ASSERT_EQ(pumps().size(), 2);
    const PumpRecord& vertical = pumps()[1];
    EXPECT_EQ(vertical.name, "P-101 FEED PUMP");
    EXPECT_EQ(vertical.vertical, 1);
    EXPECT_EQ(vertical.suction_node, 10);
    EXPECT_EQ(vertical.discharge_node, 20);
    const PumpRecord& horizontal = pumps()[2];
    EXPECT_EQ(horizontal.vertical, 0);
    EXPECT_EQ(horizontal.shaft_axis, (std::array<float, 3>{1, 0, 0}));
    EXPECT_EQ(horizontal.centre, (std::array<float, 3>{100, 20, -50}));
    EXPECT_EQ(horizontal.suction_location, LOCATION_SIDE);
    EXPECT_EQ(horizontal.discharge_location, LOCATION_END);
    ASSERT_EQ(compressors().size(), 1);
    const CompressorRecord& k1 = compressors()[1];
    EXPECT_EQ(k1.name, "K-1 COMPRESSOR");
    EXPECT_EQ(k1.inlet, 10);
    EXPECT_EQ(k1.exhaust, 0);
    EXPECT_EQ(k1.extraction1, 100020);   // 20A: the A band
    ASSERT_EQ(turbines().size(), 1);
    EXPECT_EQ(turbines()[1].shaft_axis, (std::array<float, 3>{1, 0, 0}));
    ASSERT_EQ(allowables().size(), 1);
    const AllowableLoad& allowed = allowables()[1];
    EXPECT_EQ(allowed.node, 10);
    // Forces in lb; moments in ft-lb, stored in in-lb.
    const std::array<float, ALLOWABLE_VALUES> values{1000, 0, 0, static_cast<float>(500 * FT), 0,
                                                     static_cast<float>(-250 * FT)};
    EXPECT_EQ(allowed.values, values);
}

TEST_F(BatchTest, EveryLayoutKeyword)
{
    import_ok(file_text("every_keyword.mbf"));
    const double k_rot = 1.0 / DEG;   // in-lb/deg to in-lb/rad

    // Anchor: stiffnesses given, given as 0 (free) and not given (rigid).
    const Anchor& anchor = data<Anchor>(row_of(10));
    EXPECT_EQ(anchor.v.tag, "ANCHOR-10");
    EXPECT_EQ(anchor.v.stiffness[0], 1000.0f);
    EXPECT_EQ(anchor.v.stiffness[1], 0.0f);
    EXPECT_EQ(anchor.v.stiffness[2], RIGID_STIFFNESS);
    EXPECT_EQ(anchor.v.stiffness[3], RIGID_STIFFNESS);
    EXPECT_EQ(anchor.v.stiffness[4], 0.0f);   // the empty member is positional: given as 0
    expect_value(anchor.v.stiffness[5], 500 * k_rot, "KZZ");
    EXPECT_TRUE(anchor.v.local_axes);
    EXPECT_TRUE(anchor.v.local_displacements);
    EXPECT_EQ(anchor.v.released, (std::array<uint8_t, 6>{1, 0, 0, 0, 0, 1}));
    const DisplacementSets& d = anchor.v.displacements;
    for (int set = 1; set <= DISPLACEMENT_SETS; ++set)
        EXPECT_EQ(d.given[static_cast<std::size_t>(set)], set <= 6 ? 1 : 0) << set;
    auto set_values = [](const DisplacementSets& s, int set) { return s.values[static_cast<std::size_t>(set)]; };
    const std::array<float, 6> set1{0.1f, 0, -0.2f, 0, static_cast<float>(DEG), 0};
    EXPECT_EQ(set_values(d, 1), set1);
    EXPECT_EQ(set_values(d, 2)[0], 1.0f);
    expect_value(set_values(d, 2)[5], 2 * DEG, "RZ of set 2");
    EXPECT_EQ(set_values(d, 4), (std::array<float, 6>{0.4f, 0, 0, 0, static_cast<float>(0.4 * DEG), 0}));
    EXPECT_FLOAT_EQ(analysis_options().reference_temperature, 60.0f);   // AMB

    // Restraints.
    EXPECT_EQ(data<Restraint>(row_of(20)).v.restrained, (std::array<uint8_t, 3>{1, 0, 1}));
    EXPECT_EQ(data<Restraint>(row_of(20)).v.tag, "REST-20");
    EXPECT_EQ(data<Restraint>(row_of(50)).v.restrained, (std::array<uint8_t, 3>{1, 1, 0}));
    EXPECT_EQ(data<Restraint>(row_of(55)).v.restrained, (std::array<uint8_t, 3>{1, 0, 1}));

    // Skewed restraints.
    const SkewedRestraint& k30 = data<SkewedRestraint>(row_of(30));
    EXPECT_FALSE(k30.v.rotational);
    EXPECT_EQ(k30.v.stiffness, 5000.0f);
    EXPECT_EQ(k30.v.direction, (std::array<float, 3>{0, 1, 0}));
    EXPECT_EQ(k30.v.connected, 10);
    EXPECT_EQ(k30.v.tag, "SKEW");
    const SkewedRestraint& k40 = data<SkewedRestraint>(row_of(40));
    EXPECT_TRUE(k40.v.rotational);
    EXPECT_EQ(k40.v.stiffness, RIGID_STIFFNESS);

    // Hangers.
    const Hanger& h60 = data<Hanger>(row_of(60));
    EXPECT_EQ(h60.v.type, 5);
    EXPECT_EQ(h60.v.count, 2);
    EXPECT_EQ(h60.v.load_variation, 25);
    EXPECT_TRUE(h60.v.short_range);
    EXPECT_EQ(h60.v.connected, 10);
    EXPECT_EQ(data<Hanger>(row_of(70)).v.type, HANGER_CONSTANT);
    EXPECT_EQ(data<Hanger>(row_of(70)).v.count, 3);
    EXPECT_EQ(data<Hanger>(row_of(80)).v.type, HANGER_ROD);
    const Hanger& h90 = data<Hanger>(row_of(90));
    EXPECT_EQ(h90.v.type, HANGER_USER);
    EXPECT_EQ(h90.v.count, 2);
    EXPECT_EQ(h90.v.spring_rate, 500.0f);
    EXPECT_EQ(h90.v.load, 1200.0f);
    EXPECT_EQ(h90.v.load_type, 1);

    // Guide, limit stop, snubber.
    const Guide& guide = data<Guide>(row_of(100));
    EXPECT_FLOAT_EQ(guide.v.mu, 0.3f);
    EXPECT_EQ(guide.v.stiffness, RIGID_STIFFNESS);
    EXPECT_FLOAT_EQ(guide.v.gap, 0.25f);
    EXPECT_EQ(guide.v.connected, 10);
    EXPECT_EQ(guide.v.tag, "GUIDE");
    const LimitStop& stop = data<LimitStop>(row_of(110));
    EXPECT_FLOAT_EQ(stop.v.lower, -0.5f);
    EXPECT_EQ(stop.v.upper, NO_LIMIT);
    EXPECT_EQ(stop.v.direction, (std::array<float, 3>{0, 1, 0}));
    EXPECT_FLOAT_EQ(stop.v.mu, 0.2f);
    EXPECT_EQ(stop.v.stiffness, 10000.0f);
    const Snubber& snubber = data<Snubber>(row_of(120));
    EXPECT_EQ(snubber.v.stiffness, 2e5f);
    EXPECT_EQ(snubber.v.direction, (std::array<float, 3>{1, 0, 0}));

    // Nozzles: WRC 297 with sets 1 and 7 to 12, API 650 with its pad, PD 5500
    // without the axis and L1 that follow NOZZLE=5500.
    const Nozzle& n297 = data<Nozzle>(row_of(130));
    EXPECT_EQ(n297.v.type, NOZZLE_WRC_297);
    EXPECT_FALSE(n297.v.pad);
    EXPECT_FLOAT_EQ(n297.v.nozzle_od, 6.625f);
    EXPECT_FLOAT_EQ(n297.v.vessel_thickness, 0.5f);
    EXPECT_FLOAT_EQ(n297.v.length1, 48.0f);
    EXPECT_FLOAT_EQ(n297.v.length2, 60.0f);
    EXPECT_EQ(n297.v.modulus, 29e6f);
    EXPECT_EQ(n297.v.tag, "N1");
    const DisplacementSets& nd = n297.v.displacements;
    for (int set = 1; set <= DISPLACEMENT_SETS; ++set)
        EXPECT_EQ(nd.given[static_cast<std::size_t>(set)], set == 1 || set >= 7 ? 1 : 0) << set;
    const std::array<float, 6> nozzle_set1{0.11f, 0.12f, 0.13f, static_cast<float>(DEG), static_cast<float>(2 * DEG),
                                           static_cast<float>(3 * DEG)};
    EXPECT_EQ(set_values(nd, 1), nozzle_set1);
    EXPECT_EQ(set_values(nd, SETTLEMENT_DISPLACEMENT_SET)[1], -0.3f);
    EXPECT_EQ(set_values(nd, SEISMIC_DISPLACEMENT_SET)[0], 0.2f);
    const Nozzle& n650 = data<Nozzle>(row_of(140));
    EXPECT_EQ(n650.v.type, NOZZLE_API_650);
    EXPECT_TRUE(n650.v.pad);
    EXPECT_EQ(n650.v.length2, 0.0f);
    const Nozzle& n5500 = data<Nozzle>(row_of(150));
    EXPECT_EQ(n5500.v.type, NOZZLE_PD_5500);
    EXPECT_EQ(n5500.v.axis, (std::array<float, 3>{}));
    EXPECT_EQ(n5500.v.length1, 0.0f);
    EXPECT_FLOAT_EQ(n5500.v.length2, 30.0f);

    // Bend: intermediate nodes put in order of their angles.
    const Bend& bend = element<Bend>(row_of(160));
    EXPECT_EQ(bend.geometry.radius_kind, RADIUS_USER);
    EXPECT_FLOAT_EQ(bend.geometry.radius, 9.0f);
    EXPECT_FLOAT_EQ(bend.geometry.thickness, 0.3f);
    EXPECT_EQ(bend.geometry.material, "CS");
    EXPECT_FLOAT_EQ(bend.ff_in, 2.5f);
    EXPECT_FLOAT_EQ(bend.sif_in, 1.5f);
    EXPECT_FLOAT_EQ(bend.sif_out, 1.3f);
    EXPECT_FLOAT_EQ(bend.sif_axial, 1.2f);
    EXPECT_FLOAT_EQ(bend.sif_torsion, 1.1f);
    EXPECT_EQ(bend.geometry.node1, 161);
    expect_value(bend.geometry.angle1, 30 * DEG, "angle 1");
    EXPECT_EQ(bend.geometry.node2, 162);
    EXPECT_TRUE(bend.geometry.geometry_valid);   // built once at the end
    const Miter& miter = element<Miter>(row_of(180));
    EXPECT_FLOAT_EQ(miter.geometry.radius, 12.0f);
    EXPECT_EQ(miter.spacing, MITER_WIDELY_SPACED_ID);
    EXPECT_FLOAT_EQ(miter.ff_in, 3.0f);
    const JacketedBend& jbend = element<JacketedBend>(row_of(200));
    EXPECT_FLOAT_EQ(jbend.geometry.radius, 15.0f);
    EXPECT_EQ(jbend.jacket.material, "CS");
    EXPECT_EQ(jbend.jacket.section, "J10");
    EXPECT_EQ(jbend.jacket.load, "L2");
    EXPECT_EQ(jbend.jacket.radius_kind, RADIUS_USER);
    EXPECT_FLOAT_EQ(jbend.jacket.radius, 20.0f);
    EXPECT_FLOAT_EQ(jbend.jacket.thickness, 0.4f);
    EXPECT_EQ(jbend.geometry.node1, 201);

    // Reducer, cut pipes, hydrotest and comment rows.
    const Reducer& reducer = element<Reducer>(row_of(220));
    EXPECT_EQ((std::array<float, 4>{reducer.od1, reducer.thickness1, reducer.od2, reducer.thickness2}),
              (std::array<float, 4>{6.625f, 0.28f, 4.5f, 0.237f}));
    expect_value(reducer.cone_angle, 15 * DEG, "cone angle");
    EXPECT_FLOAT_EQ(element<CutPipe>(row_of(230)).cut, 0.5f);
    EXPECT_FLOAT_EQ(element<CutPipe>(row_of(235)).cut, -0.25f);
    EXPECT_EQ(model().rows[row_of(230)].section, "P4");
    int hydro = 0, comment = 0;
    for (int r = 1; r <= numrows(); ++r) {
        hydro = model().rows[r].etype == ET_HYDROTEST_LOAD ? r : hydro;
        comment = model().rows[r].etype == ET_COMMENT ? r : comment;
    }
    ASSERT_NE(hydro, 0);
    EXPECT_FLOAT_EQ(element<HydrotestLoad>(hydro).specific_gravity, 1.0f);
    EXPECT_FLOAT_EQ(element<HydrotestLoad>(hydro).pressure, 300.0f);
    ASSERT_NE(comment, 1);
    EXPECT_EQ(model().rows[comment].comment_text(), " a comment row");

    // Loads: moments in ft-lb.
    const ForceLoad& f240 = data<ForceLoad>(row_of(240));
    EXPECT_EQ(f240.values, (std::array<float, 6>{100, 0, -50, 120, 240, 360}));
    EXPECT_EQ(f240.load_case, FORCE_WITH_WEIGHT);
    EXPECT_EQ(data<ForceLoad>(row_of(250)).values, (std::array<float, 6>{100, -20, 5, 12, 24, 36}));
    const ConcentratedMass& mass = data<ConcentratedMass>(row_of(260));
    EXPECT_EQ(mass.weight, 50.0f);
    EXPECT_EQ(mass.offset, (std::array<float, 3>{0, 18, 0}));
    const HarmonicLoad& harmonic = data<HarmonicLoad>(row_of(270));
    EXPECT_EQ(harmonic.frequency, 15.0f);
    expect_value(harmonic.phase, 30 * DEG, "phase");
    EXPECT_EQ(harmonic.values, (std::array<float, 3>{0, 100, 0}));

    // The operating condition: a new load for T=300, P=150, SG=1, U=2 lb/ft
    // (named by its number), the next row takes it again, L=L1 names L1, and
    // the same condition once more finds the load made for it.
    ASSERT_EQ(numloads(), 3);
    const PipeLoad& made = pipe_loads()[3];
    EXPECT_EQ(made.name, "3");
    EXPECT_EQ(made.temperature[1], 300.0f);
    EXPECT_EQ(made.pressure[1], 150.0f);
    EXPECT_FLOAT_EQ(made.specific_gravity, 1.0f);
    expect_value(made.added_weight, 2 / FT, "uniform load (lb/in)");
    EXPECT_EQ(made.wind, 1);
    EXPECT_EQ(made.design_temperature, 300.0f);
    EXPECT_EQ(model().rows[row_of(280)].load, "3");
    EXPECT_EQ(model().rows[row_of(290)].load, "3");
    EXPECT_EQ(model().rows[row_of(295)].load, "L1");
    EXPECT_EQ(model().rows[row_of(296)].load, "3");
    EXPECT_EQ(model().rows[row_of(20)].load, "L1");
    EXPECT_EQ(model().rows[row_of(10)].load, "");   // a From row takes no names
    EXPECT_EQ(model().rows[row_of(10)].material, "");
    EXPECT_EQ(model().rows[row_of(20)].material, "CS");

    // The second anchor's set 1 from DISX, DY, DISZ; SEIS.
    const Anchor& a300 = data<Anchor>(row_of(300));
    EXPECT_EQ(set_values(a300.v.displacements, 1), (std::array<float, 6>{0.3f, 0.4f, 0.5f, 0, 0, 0}));
    EXPECT_EQ(set_values(a300.v.displacements, SEISMIC_DISPLACEMENT_SET)[2], 3.0f);

    // Keywords of kinds the row has not got are read and checked, and change nothing.
    EXPECT_EQ(model().rows[row_of(310)].etype, ET_PIPE);
    EXPECT_EQ(model().rows[row_of(310)].dtype, DT_NONE);

    // Location row, absolute coordinates.
    EXPECT_EQ(model().rows[row_of(320)].etype, ET_LOCATION);
    const LayoutRow& absolute = model().rows[row_of(330)];
    EXPECT_EQ(absolute.absolute, 1);
    EXPECT_EQ(absolute.dx, 1000.0f);
    EXPECT_EQ(numrows(), 40);
}
