// CAESAR II neutral files of every version the importer reads (4.5, 5.0,
// 5.1, 5.25, 5.3, 8.5 and 10.0), written by the fixture builder from the
// file layout, in English and in metric units with degC and its offset:
// each imports and gives back, field by field, the model it was written from
// (cii_model_fixture.h).
#include "closeness.h"
#include "elements/bellows.h"
#include "elements/bend.h"
#include "elements/branch_sif.h"
#include "elements/elastic_element.h"
#include "elements/joints.h"
#include "elements/reducer.h"
#include "elements/rigid_element.h"
#include "elements/user_sif.h"
#include "elements/valve.h"
#include "elements/weld.h"
#include "exchange/cii_build.h"
#include "exchange/data/cii_model_fixture.h"
#include "exchange/data/neutral_fixture.h"
#include "loads/hydrotest_load.h"
#include "loads/nodal_loads.h"
#include "loads/pipe_load.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/nodes.h"
#include "supports/anchor.h"
#include "supports/guide.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"
#include "supports/nozzle.h"
#include "supports/restraint.h"
#include "supports/skewed_restraint.h"
#include "supports/snubber.h"

#include <functional>

namespace neutral_test {
namespace {

using namespace cii_test;

// Factors written with seven digits, as the file gives them.
constexpr double REL = 1.0e-5;

void near(double actual, double expected, const std::string& what)
{
    expect_relative(actual, expected, REL, what, 1.0e-9);
}

struct VersionCase {
    double version;
    bool celsius;
};

std::string case_name(const ::testing::TestParamInfo<VersionCase>& info)
{
    std::string v = c_format("v%g", info.param.version);
    for (char& c : v)
        if (c == '.')
            c = '_';
    return v + (info.param.celsius ? "_celsius" : "_english");
}

// The rows of a node, of an element type or carrying a data type.
std::vector<int> rows_at(int node, const std::function<bool(const LayoutRow&)>& which)
{
    std::vector<int> found;
    for (int r = 1; r <= numrows(); ++r)
        if (model().rows[r].node == node && which(model().rows[r]))
            found.push_back(r);
    return found;
}
int element_row(int node, int etype)
{
    const std::vector<int> rows = rows_at(node, [etype](const LayoutRow& r) { return r.etype == etype; });
    EXPECT_EQ(rows.size(), 1u) << "node " << node << ", element type " << etype;
    return rows.empty() ? 1 : rows.front();
}
std::vector<int> item_rows(int node, int dtype)
{
    return rows_at(node, [dtype](const LayoutRow& r) { return r.dtype == dtype; });
}

void near_position(int node, double x, double y, double z)
{
    const int index = node_index(node);
    ASSERT_NE(index, 0) << node;
    const NodeRecord& n = model().nodes[index];
    near(n.x, x, c_format("x of %d", node));
    near(n.y, y, c_format("y of %d", node));
    near(n.z, z, c_format("z of %d", node));
}

class CiiVersionTest : public NeutralTest, public ::testing::WithParamInterface<VersionCase> {
protected:
    void import_rich()
    {
        scale_ = GetParam().celsius ? celsius_scale() : english_scale();
        ASSERT_NO_FATAL_FAILURE(cii_ok(rich_file(GetParam().version, scale_).text()));
    }
    FileScale scale_;
};

TEST_P(CiiVersionTest, RichModelImportsFieldByField)
{
    ASSERT_NO_FATAL_FAILURE(import_rich());
    const bool celsius = GetParam().celsius;

    // Title, options, units.
    EXPECT_EQ(model_title(), "RICH MODEL");
    EXPECT_FALSE(analysis_options().z_vertical);
    EXPECT_EQ(numtloads(), 10);
    EXPECT_TRUE(analysis_options().bourdon_effect);
    EXPECT_TRUE(analysis_options().liberal_allowable);
    near(analysis_options().reference_temperature, AMBIENT, "ambient");
    near(analysis_options().default_temperature, AMBIENT, "default temperature");
    const std::pair<UnitQuantity, int> metric[] = {
        {LENGTH, 4},      {DIMENSION, 1}, {FORCE, 1},   {WEIGHT, 1},         {MOMENT, 2},
        {STRESS, 1},      {TEMPERATURE, 1}, {PRESSURE, 1}, {MODULUS, 1},     {DENSITY, 2},
        {WEIGHT_DENSITY, 1}, {STIFFNESS, 1}, {ROT_STIFFNESS, 2}};
    for (const auto& [q, index] : metric)
        EXPECT_EQ(unit_choice()[q], celsius ? index : 0) << q;

    // Sections, found or added per element: the mill tolerance 12.5 where the file gives none.
    ASSERT_EQ(numsections(), 3);
    const PipeSection& a = pipe_sections()[1];
    EXPECT_EQ(a.name, "1");
    near(a.outside_diameter, OD_A, "OD A");
    near(a.thickness, WALL_A, "wall A");
    near(a.insulation_thickness, INSULATION_A, "insulation A");
    near(a.insulation_density, INSULATION_DENSITY_A, "insulation density A");
    near(a.corrosion_allowance, CORROSION_A, "corrosion A");
    EXPECT_EQ(a.mill_tolerance, 12.5f);
    near(pipe_sections()[2].outside_diameter, OD_B, "OD B");
    near(pipe_sections()[3].outside_diameter, OD_C, "OD C");
    EXPECT_EQ(pipe_sections()[3].mill_tolerance, 10.0f);

    // Materials by number and density, named in base 4, with the default table.
    ASSERT_EQ(nummats(), 2);
    EXPECT_EQ(pipe_materials()[1].description, "106.000000");
    near(pipe_materials()[1].density, 0.283, "density 1");
    near(pipe_materials()[1].nu, 0.3, "nu");
    EXPECT_EQ(pipe_materials()[2].name, "2");
    EXPECT_EQ(pipe_materials()[2].description, "201.000000");
    near(pipe_materials()[2].density, 0.290, "density 2");
    ASSERT_EQ(pipe_materials()[1].numtemps(), 2);
    EXPECT_EQ(pipe_materials()[1].table[2][PROP_MODULUS], 2.0e7f);

    // Pipe loads: temperatures the file leaves at 0, and T10, which it has
    // not, take the ambient one.
    ASSERT_EQ(numloads(), 2);
    const PipeLoad& hot = pipe_loads()[1];
    near(hot.temperature[1], T1, "T1");
    near(hot.temperature[2], T2, "T2");
    near(hot.temperature[5], AMBIENT, "T5");
    near(hot.temperature[10], AMBIENT, "T10");
    near(hot.pressure[1], P1, "P1");
    near(hot.pressure[2], P2, "P2");
    near(hot.specific_gravity, 1.0, "specific gravity");
    near(pipe_loads()[2].temperature[1], AMBIENT, "cold T1");
    EXPECT_EQ(pipe_loads()[2].specific_gravity, 0.0f);

    // Rows and elements.
    EXPECT_EQ(model().rows[1].etype, ET_COMMENT);
    near_position(10, 0, 0, 0);
    const int pipe = element_row(20, ET_PIPE);
    near(model().rows[pipe].dx, 120, "DX of 20");
    EXPECT_EQ(model().rows[pipe].section, "1");
    EXPECT_EQ(model().rows[pipe].material, "1");
    EXPECT_EQ(model().rows[pipe].load, "1");
    const Bend& bend = element<Bend>(element_row(30, ET_BEND));
    EXPECT_EQ(bend.geometry.radius_kind, RADIUS_USER);
    near(bend.geometry.radius, BEND_RADIUS, "bend radius");
    near(bend.geometry.thickness, FITTING, "fitting thickness");
    near(bend.geometry.bend_angle, std::numbers::pi / 2, "bend angle");
    // The negative angle of node 28 is half the bend's.
    EXPECT_EQ(bend.geometry.node1, 28);
    near(bend.geometry.angle1, std::numbers::pi / 4, "angle of 28");
    EXPECT_EQ(bend.geometry.node2, 29);
    near(bend.geometry.angle2, std::numbers::pi / 3, "angle of 29");
    // One hydrotest row for 500 and 500.0005 psi; it does not break the run after the bend.
    int hydrotests = 0, froms_at_30 = 0;
    for (const LayoutRow& r : model().rows) {
        if (r.etype == ET_HYDROTEST_LOAD) {
            ++hydrotests;
            near(dynamic_cast<const HydrotestLoad&>(*r.element).pressure, HYDROTEST, "hydrotest pressure");
        }
        froms_at_30 += r.etype == ET_FROM && r.node == 30;
    }
    EXPECT_EQ(hydrotests, 1);
    EXPECT_EQ(froms_at_30, 0);
    near_position(40, 216, 96, 0);
    // The short rigid takes the weight of its contents: SG (pi/4) d^2 L x water.
    const double bore = OD_A - 2 * WALL_A;
    near(element<RigidElement>(element_row(50, ET_RIGID)).weight,
         RIGID_SHORT + std::numbers::pi / 4 * bore * bore * 3 * WATER, "rigid weight");
    const Valve& valve = element<Valve>(element_row(60, ET_VALVE));
    near(valve.weight, RIGID_LONG, "valve weight");
    EXPECT_EQ(valve.thickness_multiplier, 10.0f);
    EXPECT_EQ(valve.insulation_multiplier, 1.75f);
    const Bellows& bellows = element<Bellows>(element_row(70, ET_BELLOWS));
    near(bellows.axial_stiffness, 1000, "axial");
    near(bellows.lateral_stiffness, 2000, "lateral");
    near(bellows.bending_stiffness, 500 * DEG, "bending");
    near(bellows.torsional_stiffness, 800 * DEG, "torsional");
    near(bellows.thrust_area, std::numbers::pi * 49 / 4, "thrust area");
    const ElasticElement& elastic = element<ElasticElement>(element_row(80, ET_ELASTIC));
    near(elastic.kx, 1000, "kx");
    near(elastic.ky, 2000, "ky");
    near(elastic.kxx, 800 * DEG, "kxx");
    near(elastic.kzz, 500 * DEG, "kzz");
    // Its axial stiffness acts along the element, which runs along Y.
    EXPECT_EQ(elastic.x_axis[1], 1.0f);
    EXPECT_EQ(elastic.y_axis[0], 1.0f);
    const BallJoint& ball = element<BallJoint>(element_row(90, ET_BALL_JOINT));
    EXPECT_EQ(ball.bending_stiffness, 0.0f);
    EXPECT_EQ(ball.torsional_stiffness, 0.0f);
    const Reducer& reducer = element<Reducer>(element_row(100, ET_REDUCER));
    near(reducer.od1, OD_A, "OD1");
    near(reducer.od2, OD_B, "OD2");
    near(reducer.thickness2, WALL_B, "wall 2");
    const Reducer& filled = element<Reducer>(element_row(120, ET_REDUCER));
    near(filled.od1, OD_B, "filled OD1");
    near(filled.od2, OD_C, "filled OD2 from the next section");
    near(filled.thickness2, WALL_C, "filled wall 2");
    EXPECT_EQ(model().rows[rows_at(130, [](const LayoutRow& r) { return r.etype == ET_PIPE; }).front()].load, "2");
    near_position(130, 216, 273, 0);
    // Placed back from 130; joined to the rigid that ends at 170; the
    // ordinary element ending at 170 keeps its rows; 200 from COORDS.
    near_position(160, 216, 273, 40);
    near_position(170, 216, 273, 6);
    near(element<RigidElement>(element_row(170, ET_RIGID)).weight,
         RIGID_JOINED + std::numbers::pi / 4 * bore * bore * 6 * WATER, "joined rigid");
    near_position(180, 226, 273, 6);
    near_position(190, 211, 273, 6);
    EXPECT_EQ(rows_at(170, [](const LayoutRow& r) { return r.etype == ET_PIPE; }).size(), 1u);
    near_position(200, COORD_200[0], COORD_200[1], COORD_200[2]);
    near_position(210, COORD_200[0] + 20, COORD_200[1], COORD_200[2]);
    // Ending at the bend's node 30, 1 in on from 195: placed back from the
    // bend's node, it joins the bend's far tangent point 30B, R = 9 in along
    // the bend's continuation 30-40 (+Y).
    near_position(195, 215, 0, 0);
    near_position(200030, 216, BEND_RADIUS, 0);
    const LayoutRow& joining = model().rows[element_row(200030, ET_PIPE)];
    near(joining.dx, 1, "DX to 30B");
    near(joining.dy, BEND_RADIUS, "DY to 30B");

    // Anchors: rigid at 10 with its displacements; stiffness 10 at 130.
    const Anchor& anchor = data<Anchor>(row_with(10, DT_ANCHOR));
    for (float k : anchor.v.stiffness)
        EXPECT_EQ(k, RIGID_STIFFNESS);
    for (std::size_t set = 1; set <= 9; ++set)
        EXPECT_EQ(anchor.v.displacements.given[set], 1) << set;
    near(anchor.v.displacements.values[1][0], DISPLACEMENT_10[0], "dx");
    near(anchor.v.displacements.values[1][1], DISPLACEMENT_10[1], "dy");
    near(anchor.v.displacements.values[1][3], DISPLACEMENT_10[3] / DEG, "rx in radian");
    EXPECT_EQ(anchor.v.displacements.values[1][5], 0.0f);   // free in vector 1, given in 2
    near(anchor.v.displacements.values[2][0], DISPLACEMENT_10_T2[0], "dx T2");
    const Anchor& soft = data<Anchor>(row_with(130, DT_ANCHOR));
    near(soft.v.stiffness[0], ANCHOR_K, "anchor K");
    // Below 14 in the file's unit the value stands for the rotations too.
    const double k_file = ANCHOR_K * scale_.stiffness;
    near(soft.v.stiffness[3], k_file / scale_.factors.rot_stiffness, "anchor rotation");

    // Restraints at 110 by type.
    std::vector<std::array<uint8_t, 3>> restrained;
    for (int r : item_rows(110, DT_RESTRAINT))
        restrained.push_back(data<Restraint>(r).v.restrained);
    EXPECT_EQ(restrained, (std::vector<std::array<uint8_t, 3>>{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}));
    EXPECT_EQ(data<Restraint>(row_with(200030, DT_RESTRAINT)).v.restrained, (std::array<uint8_t, 3>{0, 1, 0}));
    std::vector<SkewedRestraintValues> skewed;
    for (int r : item_rows(110, DT_SKEWED_RESTRAINT))
        skewed.push_back(data<SkewedRestraint>(r).v);
    ASSERT_EQ(skewed.size(), 8u);
    near(skewed[0].stiffness, SKEWED_K, "skewed K");
    EXPECT_EQ(skewed[0].direction, (std::array<float, 3>{1, 0, 0}));
    EXPECT_EQ(skewed[1].direction, (std::array<float, 3>{0.6f, 0.8f, 0}));
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_TRUE(skewed[2 + k].rotational);
        near(skewed[2 + k].stiffness, ROTATIONAL_K * DEG, "rotational K");
        EXPECT_EQ(skewed[2 + k].direction[k], 1.0f);
        // Types 27 to 29: a stop without a gap is a rigid restraint along its axis.
        EXPECT_FALSE(skewed[5 + k].rotational);
        EXPECT_EQ(skewed[5 + k].stiffness, 0.0f);
        EXPECT_EQ(skewed[5 + k].direction[k], 1.0f);
    }
    const Guide& guide = data<Guide>(row_with(110, DT_GUIDE));
    near(guide.v.gap, GUIDE_GAP, "guide gap");
    near(guide.v.mu, GUIDE_MU, "guide mu");
    std::vector<LimitStopValues> stops;
    for (int r : item_rows(110, DT_LIMIT_STOP))
        stops.push_back(data<LimitStop>(r).v);
    ASSERT_EQ(stops.size(), 15u);
    // Type 9: along the pipe (Y at 110), both ways.
    EXPECT_EQ(stops[0].direction, (std::array<float, 3>{0, 1, 0}));
    near(stops[0].upper, LIM_GAP, "LIM upper");
    near(stops[0].lower, -LIM_GAP, "LIM lower");
    near(stops[0].mu, LIM_MU, "LIM mu");
    // 13..18, 25, 26, 30..35: one way, along the axis the type names (25
    // and 26 the vertical); 30..35 without their gap.
    const struct {
        int axis;
        double upper, lower;
    } one_way[14] = {{0, NO_LIMIT, -STOP_GAP}, {1, NO_LIMIT, -STOP_GAP}, {2, NO_LIMIT, -STOP_GAP},
                     {0, STOP_GAP, -NO_LIMIT}, {1, STOP_GAP, -NO_LIMIT}, {2, STOP_GAP, -NO_LIMIT},
                     {1, NO_LIMIT, -STOP_GAP}, {1, STOP_GAP, -NO_LIMIT}, {0, NO_LIMIT, 0},
                     {1, NO_LIMIT, 0},         {2, NO_LIMIT, 0},         {0, 0, -NO_LIMIT},
                     {1, 0, -NO_LIMIT},        {2, 0, -NO_LIMIT}};
    for (std::size_t k = 0; k < 14; ++k) {
        const LimitStopValues& s = stops[1 + k];
        EXPECT_EQ(s.direction[static_cast<std::size_t>(one_way[k].axis)], 1.0f) << k;
        expect_relative(s.upper, one_way[k].upper, REL, c_format("upper %zu", k), 1e-9);
        expect_relative(s.lower, one_way[k].lower, REL, c_format("lower %zu", k), 1e-9);
    }
    const LimitStop& connected = data<LimitStop>(row_with(120, DT_LIMIT_STOP));
    EXPECT_EQ(connected.v.connected, 130);
    near(connected.v.upper, GUIDE_GAP, "connected stop");
    std::vector<SnubberValues> snubbers;
    for (int r : item_rows(110, DT_SNUBBER))
        snubbers.push_back(data<Snubber>(r).v);
    ASSERT_EQ(snubbers.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        near(snubbers[k].stiffness, SNUBBER_K, "snubber");
        EXPECT_EQ(snubbers[k].direction[k], 1.0f);
    }
    // Types 19 to 24 make Location rows without an item.
    EXPECT_EQ(item_rows(110, DT_NONE).size(), 6u);   // (the element row of 110 carries the hanger)

    // Forces: vector 1, also where its MZ is 0; at a bend's node its far end.
    const ForceLoad& force = data<ForceLoad>(row_with(20, DT_FORCE));
    for (std::size_t c = 0; c < 6; ++c)
        near(force.values[c], FORCE_20[c], "force");
    EXPECT_EQ(data<ForceLoad>(row_with(200030, DT_FORCE)).values, (std::array<float, 6>{0, 0, 50, 0, 0, 0}));

    // SIFs at 120 by type.
    std::vector<int> branch_types, weld_types;
    std::vector<std::pair<float, float>> user_sifs;
    for (int r : item_rows(120, DT_BRANCH_SIF)) {
        const BranchSif& s = data<BranchSif>(r);
        branch_types.push_back(s.sif_type);
        if (s.sif_type == BRANCH_REINFORCED_TEE)
            near(s.value1, 0.25, "pad");
        if (s.sif_type == BRANCH_EXTRUDED_TEE)
            near(s.value1, 0.5, "crotch");
        if (s.sif_type == BRANCH_CONNECTION)
            near(s.value1, 1.0, "branch radius");
    }
    for (int r : item_rows(120, DT_USER_SIF))
        user_sifs.push_back({data<UserSif>(r).sif_in, data<UserSif>(r).sif_out});
    for (int r : item_rows(120, DT_WELD))
        weld_types.push_back(data<Weld>(r).weld_type);
    EXPECT_EQ(branch_types, (std::vector<int>{BRANCH_REINFORCED_TEE, BRANCH_EXTRUDED_TEE, BRANCH_CONNECTION,
                                             BRANCH_WELDING_TEE, BRANCH_UNREINFORCED_TEE, BRANCH_WELDING_TEE,
                                             BRANCH_SWEEPOLET, BRANCH_WELDOLET}));
    EXPECT_EQ(user_sifs, (std::vector<std::pair<float, float>>{
                             {1.2f, 1.3f}, {2.0f, 2.5f}, {1, 1}, {1, 1}, {1, 1}, {2.0f, 2.5f}, {2.0f, 2.5f}}));
    EXPECT_EQ(weld_types, (std::vector<int>{WELD_BUTT, WELD_TAPERED, WELD_FILLET, WELD_CONCAVE_FILLET}));
    EXPECT_EQ(item_rows(120, DT_THREADED_JOINT).size(), 1u);

    // The nozzle and its displacements.
    const Nozzle& nozzle = data<Nozzle>(row_with(200, DT_NOZZLE));
    EXPECT_EQ(nozzle.v.type, NOZZLE_WRC_297);
    near(nozzle.v.nozzle_od, NOZZLE[0], "nozzle OD");
    near(nozzle.v.vessel_od, NOZZLE[2], "vessel OD");
    near(nozzle.v.length2, NOZZLE[5], "L2");
    EXPECT_EQ(nozzle.v.axis, (std::array<float, 3>{0, 0, 1}));
    near(nozzle.v.displacements.values[1][0], DISPLACEMENT_200[0], "nozzle dx");

    // Hangers by table code; at the bend's node its far end.
    const Hanger& lisega = data<Hanger>(row_with(40, DT_HANGER));
    EXPECT_EQ(lisega.v.type, 18);
    EXPECT_EQ(lisega.v.count, 2);
    EXPECT_EQ(data<Hanger>(row_with(200030, DT_HANGER)).v.type, 16);
    EXPECT_EQ(data<Hanger>(row_with(200030, DT_HANGER)).v.count, 1);
    EXPECT_EQ(data<Hanger>(row_with(110, DT_HANGER)).v.type, 21);

    // The closing note.
    const int skipped = 6 + (GetParam().version > 5.0) + (GetParam().version > 5.2);
    EXPECT_EQ(notes_.count(CII_SKIPPED), skipped - 1);   // node names, uniform, wind, offsets, allowables, ...
    EXPECT_EQ(notes_.count(CII_DROPPED), 1);             // the force at node 999
    EXPECT_EQ(notes_.count(CII_DEFAULT_TABLES), 2);
    // The elements joined to the rigid that ends at 170, which no connection
    // ties to the rest, is named with the line of its first element, the
    // 14th; every element ends where its to node stands.
    const double v = GetParam().version;
    const int per_element = 9 + (v > 5.0 ? 2 : 0) + (v > 5.2 ? 1 : 0) + (v > 8.0 ? 1 : 0);
    const int element_14 =
        cii_test::line_of(cii_test::lines_of(rich_file(v, scale_).text()), "#$ ELEMENTS") + 1 + 13 * per_element;
    EXPECT_EQ(notes_.items(CII_UNPLACED),
              std::vector<std::string>{c_format("elements 170-180, 175-170, 190-170 (from line %d) connect to no "
                                                "other element and no COORDS node: placed at the end of the row before",
                                                element_14)});
    EXPECT_EQ(notes_.count(CII_OPEN_LOOPS), 0) << notes_.text("");
}

INSTANTIATE_TEST_SUITE_P(CaesarVersions, CiiVersionTest,
                         ::testing::Values(VersionCase{4.5, false}, VersionCase{5.0, false}, VersionCase{5.1, false},
                                           VersionCase{5.25, false}, VersionCase{5.3, false},
                                           VersionCase{8.5, false}, VersionCase{10.0, false},
                                           VersionCase{4.5, true}, VersionCase{5.0, true}, VersionCase{5.1, true},
                                           VersionCase{5.25, true}, VersionCase{5.3, true}, VersionCase{8.5, true},
                                           VersionCase{10.0, true}),
                         case_name);

}  // namespace
}  // namespace neutral_test
