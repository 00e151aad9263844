// The model build: node positions, bend arcs, jacket nodes and the element
// records, checked against hand-computed geometry.
#include "framework/document_events.h"
#include "model/data/model_fixture.h"
#include "model/element_data.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace {

struct Expected {
    int kind, n1, n2;
};

// The element records as (kind, node number 1, node number 2).
void expect_elements(const std::vector<Expected>& expected)
{
    const Model& m = model();
    ASSERT_EQ(m.numelems(), static_cast<int>(expected.size()));
    for (int e = 1; e <= m.numelems(); ++e) {
        const Elem& el = m.elems[e];
        const Expected& x = expected[static_cast<std::size_t>(e - 1)];
        EXPECT_EQ(el.kind, x.kind) << "element " << e;
        EXPECT_EQ(m.nodes[el.node1].number, x.n1) << "element " << e;
        EXPECT_EQ(m.nodes[el.node2].number, x.n2) << "element " << e;
    }
}

}  // namespace

// From 10 at the origin, a pipe to 20 (+120 X), a 90-degree bend at 30
// (+120 X, R = 15), a pipe to 40 (+120 Y). Tangent length R tan(45) = 15:
// near point (225, 0, 0), far point (240, 15, 0), centre (225, 15, 0).
TEST_F(ModelBuildTest, BuildsPipesAndRightAngleBend)
{
    from(10);
    row(20, ET_PIPE, 120, 0, 0);
    int b = bend(30, 120, 0, 0, 15);
    row(40, ET_PIPE, 0, 120, 0);
    make_model();

    EXPECT_EQ(numnodes(), 6);
    EXPECT_NODE_AT(10, 0, 0, 0);
    EXPECT_NODE_AT(20, 120, 0, 0);
    EXPECT_NODE_AT(30, 240, 0, 0);
    EXPECT_NODE_AT(40, 240, 120, 0);
    EXPECT_NODE_AT(100030, 225, 0, 0);
    EXPECT_NODE_AT(200030, 240, 15, 0);
    EXPECT_EQ(node(30).kind, NODE_BEND_CORNER);
    EXPECT_EQ(node(100030).row, b);

    const BendGeometry& g = bend_of(b);
    EXPECT_EQ(g.geometry_valid, 1);
    EXPECT_NEAR(g.bend_angle, std::numbers::pi / 2, 1e-6);
    EXPECT_NEAR(g.centre[0], 225, 1e-3);
    EXPECT_NEAR(g.centre[1], 15, 1e-3);
    EXPECT_EQ(number_of(g.far_node), 200030);

    expect_elements({{ET_PIPE, 10, 20}, {ET_PIPE, 20, 100030}, {ET_BEND, 100030, 200030}, {ET_PIPE, 200030, 40}});

    // A flange at the far tangent point (a Location row at 30B) counts one flanged end.
    row(200030, ET_LOCATION, 0, 0, 0, DT_FLANGE);
    make_model();
    recount_flanged_bend_ends();
    EXPECT_EQ(bend_of(b).flanged_ends, 1);
    EXPECT_EQ(model().elems[3].flanged_ends(), 1);

    // Drawing nodes: the bend row ends at its near point, the next row starts at the far point.
    const LayoutRow& br = model().rows[b];
    EXPECT_EQ(number_of(br.start_node), 20);
    EXPECT_EQ(number_of(br.end_node), 100030);
    EXPECT_EQ(number_of(model().rows[4].start_node), 200030);
    EXPECT_EQ(number_of(model().rows[4].from_node), 30);
    EXPECT_TRUE(br.built);
    EXPECT_FALSE(model_rebuild_needed());
}

// A 45-degree bend at (100, 0, 0) towards (200, 100, 0) with R = 20:
// T = 20 tan(22.5) = 8.28427; centre (100 - T, 20, 0). An intermediate node at
// 20 degrees lies at centre + R (sin 20, -cos 20, 0).
TEST_F(ModelBuildTest, BuildsObliqueBendWithIntermediateNodes)
{
    from(10);
    int b = bend(20, 100, 0, 0, 20);
    row(30, ET_PIPE, 100, 100, 0);
    // Given out of range or clashing nodes are skipped, the others placed.
    bend_of(b).node1 = 25;
    bend_of(b).angle1 = static_cast<float>(20 * std::numbers::pi / 180);
    bend_of(b).node2 = 26;
    bend_of(b).angle2 = 1.0f;   // beyond the 45-degree arc
    make_model();

    double t = 20 * std::tan(std::numbers::pi / 8);
    EXPECT_NODE_AT(100020, 100 - t, 0, 0);
    EXPECT_NODE_AT(200020, 100 + t / std::sqrt(2.0), t / std::sqrt(2.0), 0);
    EXPECT_NEAR(bend_of(b).centre[0], 100 - t, 1e-3);
    EXPECT_NEAR(bend_of(b).centre[1], 20, 1e-3);
    double a = 20 * std::numbers::pi / 180;
    EXPECT_NODE_AT(25, 100 - t + 20 * std::sin(a), 20 - 20 * std::cos(a), 0);
    EXPECT_EQ(node_index(26), 0);
    expect_elements({{ET_PIPE, 10, 100020}, {ET_BEND, 100020, 25}, {ET_BEND, 25, 200020}, {ET_PIPE, 200020, 30}});
}

TEST_F(ModelBuildTest, BendRadiusFromSectionAndInvalidGeometry)
{
    model_hooks().section_bend_radius = [](const std::string& section, int kind) {
        return section == "S8" ? (kind == RADIUS_LONG ? 12.0 : 8.0) : 0.0;
    };
    from(10);
    int b = row(20, ET_BEND, 100, 0, 0);
    model().rows[b].section = "S8";
    row(30, ET_PIPE, 0, 100, 0);
    make_model();
    EXPECT_FLOAT_EQ(bend_of(b).radius, 12.0f);
    EXPECT_NODE_AT(100020, 88, 0, 0);

    // A section change moves a Long or Short radius with it.
    bend_of(b).radius_kind = RADIUS_SHORT;
    make_model();
    EXPECT_FLOAT_EQ(bend_of(b).radius, 8.0f);
    EXPECT_NODE_AT(200020, 100, 8, 0);

    // No section radius: no arc; the row builds as a straight pipe to its node.
    model().rows[b].section = "";
    make_model();
    EXPECT_EQ(bend_of(b).geometry_valid, 0);
    EXPECT_EQ(node_index(100020), 0);
    EXPECT_EQ(node(20).kind, NODE_PLAIN);
    expect_elements({{ET_PIPE, 10, 20}, {ET_PIPE, 20, 30}});

    // An arc longer than a tangent, straight tangents and a bend without a
    // following run are refused the same way.
    bend_of(b).radius_kind = RADIUS_USER;
    bend_of(b).radius = 150;
    make_model();
    EXPECT_EQ(bend_of(b).geometry_valid, 0);
    model().rows[3].dx = 100;
    model().rows[3].dy = 0;
    bend_of(b).radius = 10;
    make_model();
    EXPECT_EQ(bend_of(b).geometry_valid, 0);
    model().rows[3].etype = ET_FROM;
    make_model();
    EXPECT_EQ(bend_of(b).geometry_valid, 0);
}

// Two bends whose tangent points touch: the second bend's arc starts at the
// first one's far point; no zero-length leg is made.
TEST_F(ModelBuildTest, BackToBackBendsShareTangentPoint)
{
    from(10);
    bend(20, 30, 0, 0, 15);
    int b2 = bend(30, 0, 30, 0, 15);
    row(40, ET_PIPE, -30, 0, 0);
    make_model();
    EXPECT_EQ(bend_of(b2).geometry_valid, 1);
    EXPECT_EQ(node_index(100030), 0);
    EXPECT_NODE_AT(200030, 15, 30, 0);
    expect_elements({{ET_PIPE, 10, 100020},
                     {ET_BEND, 100020, 200020},
                     {ET_BEND, 200020, 200030},
                     {ET_PIPE, 200030, 40}});
}

TEST_F(ModelBuildTest, NodePlacementRules)
{
    from(10, 5, 6, 7);
    row(20, ET_PIPE, 10, 0, 0);
    int loc = row(25, ET_LOCATION, 0, 50, 0);             // not an element row
    row(30, ET_PIPE, 0, 0, 10);                          // from 20, not from 25
    int abs_row = row(40, ET_PIPE, 1, 2, 3);
    model().rows[abs_row].absolute = 1;
    from(20);                                            // a branch from an existing node
    row(10, ET_PIPE, 0, 0, 0);                           // closes the loop on node 10
    int comment = row(0, ET_COMMENT);
    make_model();

    EXPECT_NODE_AT(10, 5, 6, 7);
    EXPECT_NODE_AT(20, 15, 6, 7);
    EXPECT_NODE_AT(25, 15, 56, 7);
    EXPECT_NODE_AT(30, 15, 6, 17);
    EXPECT_NODE_AT(40, 1, 2, 3);
    EXPECT_EQ(numnodes(), 5);
    EXPECT_EQ(node(25).row, loc);
    EXPECT_TRUE(model().rows[loc].built);
    EXPECT_FALSE(model().rows[comment].built);
    expect_elements({{ET_PIPE, 10, 20}, {ET_PIPE, 20, 30}, {ET_PIPE, 30, 40}, {ET_PIPE, 20, 10}});
    EXPECT_EQ(node(20).elements.size(), 3u);
}

// Jacketed pipe and jacketed bend: core R = 15, jacket R = 30 about the
// corner (100, 0, 0); jacket tangent points (70, 0, 0) and (100, 30, 0),
// jacket centre (70, 30, 0); the intermediate node lies on the jacket.
TEST_F(ModelBuildTest, JacketNodesAndElements)
{
    from(10);
    int jb = row(20, ET_JACKETED_BEND, 100, 0, 0);
    bend_of(jb).radius_kind = RADIUS_USER;
    bend_of(jb).radius = 15;
    bend_of(jb).node1 = 25;
    bend_of(jb).angle1 = static_cast<float>(std::numbers::pi / 4);
    jacket_of(jb).radius_kind = RADIUS_USER;
    jacket_of(jb).radius = 30;
    int jp = row(30, ET_JACKETED_PIPE, 0, 100, 0);
    make_model();

    EXPECT_NODE_AT(100020, 85, 0, 0);
    EXPECT_NODE_AT(200020, 100, 15, 0);
    EXPECT_NODE_AT(300020, 70, 0, 0);
    EXPECT_NODE_AT(400020, 100, 30, 0);
    EXPECT_NODE_AT(500010, 0, 0, 0);
    EXPECT_NODE_AT(500020, 100, 0, 0);
    EXPECT_NODE_AT(500030, 100, 100, 0);
    EXPECT_NODE_AT(25, 70 + 30 * std::sqrt(0.5), 30 - 30 * std::sqrt(0.5), 0);
    EXPECT_EQ(node(500020).kind, NODE_BEND_CORNER);
    EXPECT_NEAR(jacket_of(jb).centre[0], 70, 1e-3);
    EXPECT_NEAR(jacket_of(jb).centre[1], 30, 1e-3);
    EXPECT_EQ(number_of(jacket_of(jp).node1), 400020);
    EXPECT_EQ(number_of(jacket_of(jp).node2), 500030);

    expect_elements({{ET_JACKETED_PIPE, 10, 100020},
                     {ET_BEND, 100020, 200020},
                     {ET_JACKETED_PIPE, 500010, 300020},
                     {ET_JACKETED_BEND, 300020, 25},
                     {ET_JACKETED_BEND, 25, 400020},
                     {ET_JACKETED_PIPE, 200020, 30},
                     {ET_JACKETED_PIPE, 400020, 500030}});
    const Model& m = model();
    EXPECT_TRUE(m.elems[1].is_jacket_core());
    EXPECT_FALSE(m.elems[3].is_jacket_core());
    EXPECT_DOUBLE_EQ(m.elems[2].bend_radius(), 15.0);
    EXPECT_DOUBLE_EQ(m.elems[4].bend_radius(), 30.0);
    EXPECT_DOUBLE_EQ(m.elems[1].bend_radius(), 0.0);

    // A jacketed pipe exactly one jacket tangent long: the jacket's arc ends
    // at its node, and the jacket goes on from there, not from the core's
    // far point.
    model().rows[jp].dy = 30;
    make_model();
    EXPECT_EQ(number_of(jacket_of(jb).far_node), 500030);
    EXPECT_EQ(node_index(400020), 0);
    expect_elements({{ET_JACKETED_PIPE, 10, 100020},
                     {ET_BEND, 100020, 200020},
                     {ET_JACKETED_PIPE, 500010, 300020},
                     {ET_JACKETED_BEND, 300020, 25},
                     {ET_JACKETED_BEND, 25, 500030},
                     {ET_JACKETED_PIPE, 200020, 30}});
}

TEST_F(ElemTest, RecordNamesAndBendMaterial)
{
    model_hooks().material_index = [](const std::string& n) { return n == "A106" ? 1 : n == "SS" ? 2 : 0; };
    model_hooks().section_index = [](const std::string& n) { return n == "S8" ? 3 : 0; };
    model_hooks().beam_section_index = [](const std::string& n) { return n == "W8" ? 4 : 0; };
    from(10);
    int b = bend(20, 100, 0, 0, 10);
    model().rows[b].material = "A106";
    model().rows[b].section = "S8";
    row(30, ET_PIPE, 0, 100, 0);
    int beam = row(40, ET_BEAM, 0, 0, 50);
    model().rows[beam].section = "W8";
    bend_of(b).material = "XX";

    // The build itself does not fail on an undefined bend material.
    make_model();
    ASSERT_EQ(numelems(), 4);
    EXPECT_EQ(model().elems[1].material, 1);
    EXPECT_EQ(model().elems[2].material, 0);
    EXPECT_EQ(model().elems[4].beam_section, 4);
    EXPECT_EQ(model().elems[4].section, 0);
    EXPECT_EQ(model().elems[2].mid_elevation(), 5.0);   // arc from y = 0 to y = 10

    // Element generation refuses it and keeps the table.
    EXPECT_EQ(thrown_text([] { build_element_records(); }), "Row 2: Bend material XX is not defined");
    EXPECT_EQ(numelems(), 4);

    bend_of(b).material = "SS";
    build_element_records();
    EXPECT_EQ(model().elems[1].material, 1);   // the leg keeps the row's material
    EXPECT_EQ(model().elems[2].material, 2);
    EXPECT_EQ(model().elems[2].section, 3);
    EXPECT_TRUE(element_is_pipe_like(model().elems[2]));
    EXPECT_FALSE(element_is_pipe_like(model().elems[4]));
}

TEST_F(ModelBuildTest, RecountListsAndBranchPoints)
{
    from(10);
    row(20, ET_VALVE, 100, 0, 0, DT_BRANCH_SIF);
    row(30, ET_PIPE, 100, 0, 0, DT_ANCHOR);
    from(20);
    row(40, ET_VALVE, 0, 100, 0, DT_SPIDER);
    int last_sif = row(20, ET_LOCATION, 0, 0, 0, DT_BRANCH_SIF);
    row(50, ET_JACKETED_PIPE, 0, 0, 100, DT_JACKET_END_CAP);
    make_model();

    const Model& m = model();
    EXPECT_EQ(m.list(VALVE_ROWS).count, 2);
    EXPECT_EQ(m.list(VALVE_ROWS).rows[1], 2);
    EXPECT_EQ(m.list(VALVE_ROWS).rows[2], 5);
    EXPECT_EQ(m.list(BRANCH_SIF_ROWS).count, 2);
    EXPECT_EQ(m.list(ANCHOR_ROWS).count, 1);
    EXPECT_EQ(m.list(JACKET_CONNECTION_ROWS).count, 2);
    EXPECT_EQ(m.list(BEND_ROWS).count, 0);
    EXPECT_GE(m.list(VALVE_ROWS).rows.size(), 2 + 16);

    ASSERT_EQ(m.branch_points.size(), 1);
    EXPECT_EQ(m.nodes[m.branch_points[1].node].number, 20);
    EXPECT_EQ(m.branch_points[1].sif_row, last_sif);
    EXPECT_EQ(node(20).branch_mark, 2);
    EXPECT_EQ(node(30).branch_mark, 0);

    // A recount after an edit starts from zero: no double counting.
    model().rows[3].dtype = DT_NONE;
    model().rows[3].data.reset();
    recount_model();
    EXPECT_EQ(m.list(ANCHOR_ROWS).count, 0);
    EXPECT_EQ(m.list(VALVE_ROWS).count, 2);
}

TEST_F(ModelBuildTest, ChangedMarksModifiedAndRefreshes)
{
    int refreshed = 0, redrawn = 0;
    subscribe_document_changed("test", [&](const DocumentChange&) { ++refreshed; });
    model_hooks().redraw_graphics = [&] { ++redrawn; };
    from(10);
    row(20, ET_PIPE, 10, 0, 0);
    model_rebuild_needed() = true;
    model_changed();
    EXPECT_TRUE(model_modified());
    EXPECT_FALSE(model_rebuild_needed());
    EXPECT_EQ(numelems(), 1);
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(redrawn, 1);
}
