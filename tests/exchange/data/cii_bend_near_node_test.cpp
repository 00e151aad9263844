// CAESAR II lines as that program writes them: a bend's node at the angle 0
// is its near tangent point (and one at the whole bend angle its far one),
// where everything the file puts at that node acts and where an element
// that starts there begins; a line whose ends the file fixes only by
// displacement records stands on rigid anchors there. The solved lines are
// checked against the small frame solver of the tests and by hand.
#include "elements/bend.h"
#include "exchange/cii_build.h"
#include "exchange/data/cii_bend_lines.h"
#include "exchange/data/cii_solve_fixture.h"
#include "loads/nodal_loads.h"
#include "supports/anchor.h"
#include "supports/restraint.h"

#include <numbers>

namespace batch_test {
namespace {

using namespace cii_test;
using std::numbers::pi;

constexpr double R = LINE_BEND_RADIUS;
const Vec Y{0, 1, 0};

// ---- The bend's nodes --------------------------------------------------------------------------

class CiiBendNearNode : public CiiLineTest {};

TEST_F(CiiBendNearNode, TheZeroDegreeNodeIsTheNearTangentPointAndEverythingAtItActsThere)
{
    CiiFile f = bent_line(TWO_BEND_NODES, TWO_BEND_POINTS);
    // At 18, the 0-degree node of the bend at 20: a Y restraint and a
    // force; at 28, that of the bend at 30: a SIF, and a branch 60 in down
    // to node 1000.
    f.restraints = {y_restraint(18)};
    std::array<CiiVectorBlock, 2> force{};
    force[0].node = 18;
    force[0].vectors[0] = {0, -100, 0, 0, 0, 5};
    f.forces.push_back(force);
    std::array<std::array<double, 30>, 2> sif{};
    sif[0][0] = 28, sif[0][1] = 15, sif[0][2] = 2.0, sif[0][3] = 2.5;
    f.sifs.push_back(sif);
    CiiElementRecord branch;
    branch.from = 28, branch.to = 1000, branch.dy = -60;
    f.elements.push_back(branch);
    const std::string text = f.text();
    ASSERT_NO_FATAL_FAILURE(cii_ok(text));

    // The tangent points by hand: R tan 45 = 9 in before and after each
    // corner; the centre of the bend at 20 lies R from its near point
    // towards +Z, and its mid point 45 degrees on: 111 + 9 sin 45, 9 - 9 cos 45.
    expect_at(100020, {111, 0, 0});
    expect_at(200020, {120, 0, 9});
    expect_at(100030, {120, 0, 111});
    expect_at(19, {111 + R * std::sin(pi / 4), 0, R - R * std::cos(pi / 4)});
    // The branch begins at the near tangent point of the bend at 30.
    expect_at(1000, {120, -60, 111});
    // Only the mid nodes are intermediate nodes, at half the bend angle.
    for (int corner : {20, 30}) {
        const BendGeometry& g = bend_at(corner);
        EXPECT_EQ(g.node1, corner - 1);
        EXPECT_FLOAT_EQ(g.angle1, static_cast<float>(pi / 4));
        EXPECT_EQ(g.node2, 0);
    }
    for (int gone : {18, 28})
        EXPECT_EQ(node_index(gone), 0) << gone;
    ASSERT_NE(item_row_at(100020, DT_RESTRAINT), 0);
    EXPECT_EQ(data<Restraint>(item_row_at(100020, DT_RESTRAINT)).v.restrained[1], 1);
    ASSERT_NE(item_row_at(100020, DT_FORCE), 0);
    EXPECT_FLOAT_EQ(data<ForceLoad>(item_row_at(100020, DT_FORCE)).values[1], -100.0f);
    EXPECT_NE(item_row_at(100030, DT_USER_SIF), 0);
    const int bends = line_of(lines_of(text), "#$ BEND") + 1;
    EXPECT_EQ(notes_.items(CII_TANGENT_POINTS),
              (std::vector<std::string>{
                  c_format("18 at 0 degrees as 20A, the near tangent point of the bend at 20 (line %d)", bends),
                  c_format("28 at 0 degrees as 30A, the near tangent point of the bend at 30 (line %d)", bends + 3)}));
    EXPECT_EQ(model_check_refusal(), "");

    // A node at the whole bend angle is the far tangent point.
    f.bends[1].angle2 = 90, f.bends[1].node2 = 27;
    f.restraints = {y_restraint(27)};
    f.elements.pop_back();
    const std::string far = f.text();
    ASSERT_NO_FATAL_FAILURE(cii_ok(far));
    EXPECT_NE(item_row_at(200030, DT_RESTRAINT), 0);
    expect_at(200030, {129, 0, 120});
    EXPECT_EQ(bend_at(30).node2, 0);
    EXPECT_EQ(notes_.items(CII_TANGENT_POINTS).back(),
              c_format("27 at 90 degrees as 30B, the far tangent point of the bend at 30 (line %d)",
                       line_of(lines_of(far), "#$ BEND") + 4));
    EXPECT_EQ(model_check_refusal(), "");
}

TEST_F(CiiBendNearNode, WhereTheArcBeginsAtANodeTheZeroDegreeNodeIsThatNode)
{
    // The leg from the corner 20 to the corner 30 is 18 in, the two
    // tangents of R = 9: the arc of the bend at 30 begins at the far
    // tangent point of the one at 20, which is then also its 0-degree node 28.
    CiiFile f = bent_line(TWO_BEND_NODES, {{0, 0, 0}, {120, 0, 0}, {120, 0, 18}, {240, 0, 18}});
    f.restraints = {y_restraint(28)};
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    EXPECT_EQ(node_index(100030), 0);
    EXPECT_NE(item_row_at(200020, DT_RESTRAINT), 0);
    expect_at(200020, {120, 0, 9});
    EXPECT_EQ(model_check_refusal(), "");

    // A bend whose element begins where its arc does, and whose 0-degree
    // node is that element's own from node: 10 to 18, 111 in along X, then
    // the bend's element 18-20, 9 in, the tangent of R = 9.
    CiiFile from_node = bent_line({10, 20, 30}, {{0, 0, 0}, {120, 0, 0}, {120, 0, 120}});
    CiiElementRecord lead = from_node.elements[0];
    lead.to = 18, lead.dx = 111, lead.bend = 0;
    from_node.elements[0].from = 18, from_node.elements[0].dx = 9;
    from_node.elements.insert(from_node.elements.begin(), lead);
    from_node.restraints = {y_restraint(18)};
    ASSERT_NO_FATAL_FAILURE(cii_ok(from_node.text()));
    EXPECT_NE(item_row_at(18, DT_RESTRAINT), 0);
    EXPECT_EQ(node_index(100020), 0);
    expect_at(18, {111, 0, 0});
    EXPECT_EQ(bend_at(20).node1, 19);
    EXPECT_EQ(bend_at(20).node2, 0);
    EXPECT_EQ(notes_.items(CII_TANGENT_POINTS),
              std::vector<std::string>{c_format("18 at 0 degrees, the near tangent point of the bend at 20 (line %d)",
                                                line_of(lines_of(from_node.text()), "#$ BEND") + 1)});
    EXPECT_EQ(model_check_refusal(), "");

    // A bend node beyond the bend angle is refused with the bend's element.
    f.bends[0].angle2 = 120;
    const std::string text = f.text();
    EXPECT_EQ(import_cii(text),
              neutral_test::cii_error(line_of(lines_of(text), "#$ ELEMENTS") + 1,
                                      lines_of(text)[static_cast<std::size_t>(line_of(lines_of(text), "#$ ELEMENTS"))],
                                      "Bend node 18 at 120 degrees lies at or beyond the bend angle of 90 degrees"));
    EXPECT_EQ(numrows(), 0);

    // An element that starts at a bend node must come after the bend.
    f = bent_line(TWO_BEND_NODES, TWO_BEND_POINTS);
    CiiElementRecord branch;
    branch.from = 28, branch.to = 1000, branch.dy = -60;
    f.elements.insert(f.elements.begin(), branch);
    const std::vector<std::string> lines = lines_of(f.text());
    // Each element of a version 10 file stands on 13 lines: the bend's
    // element 20-30 is the third.
    const int first = line_of(lines, "#$ ELEMENTS") + 1;
    EXPECT_EQ(import_cii(f.text()),
              neutral_test::cii_error(first, lines[static_cast<std::size_t>(first - 1)],
                                      c_format("Element 28-1000 starts at node 28 of the bend of element 20-30 "
                                               "(line %d), which must come before it in the file",
                                               first + 2 * 13)));
    EXPECT_EQ(numrows(), 0);
}

// The two-bend line with a Y restraint at each bend's 0-degree node and its
// ends fixed only by displacements: the frame with anchors at 10 and 40 and
// rigid supports along Y at the near tangent points 20A and 30A, under the
// weight of the steel. Were the restraints at the corners or the far
// tangent points, or the ends free, the loads would differ.
TEST_F(CiiBendNearNode, RestraintsAtTheNearNodesCarryTheLineWithItsFixedEnds)
{
    CiiFile f = bent_line(TWO_BEND_NODES, TWO_BEND_POINTS);
    f.restraints = {y_restraint(18), y_restraint(28)};
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    solve();
    if (HasFatalFailure())
        return;

    const Frame frame(STD6,
                      {{10, {0, 0, 0}},
                       {20, {120, 0, 0}, R, 0, {{19, pi / 4}}},
                       {30, {120, 0, 120}, R, 0, {{29, pi / 4}}},
                       {40, {240, 0, 120}}},
                      RIGID, RIGID);
    expect_nodes_where_the_frame_has_them(frame, 1.0);
    const Frame::Solution s =
        frame.solve(0, {0, -W6, 0}, {}, {{100020, Y, RIGID}, {100030, Y, RIGID}});
    expect_case(LC_SUSTAINED, frame, s, 1, 1, "weight");
    const CaseResults& c = result(LC_SUSTAINED);
    const double near20 = support(c, 100020)[1], near30 = support(c, 100030)[1];
    expect_relative(near20, s.support[0], AGREE, "restraint at 20A");
    expect_relative(near30, s.support[1], AGREE, "restraint at 30A");

    // By hand: the line is 3 x 120 in less 2 R per bend, plus two quarter
    // arcs; its weight is W6 times that, and the supports carry all of it.
    const double length = 3 * 120 - 2 * 2 * R + 2 * pi / 2 * R;
    const double carried = support(c, 10)[1] + support(c, 40)[1] + near20 + near30;
    expect_relative(carried, W6 * length, 0.01, "the supports carry the line's weight");
    // Both restraints hold the line up.
    EXPECT_GT(near20, 0.1 * W6 * length);
    EXPECT_GT(near30, 0.1 * W6 * length);
}

TEST_F(CiiBendNearNode, SixBendsOfAVersionSevenFileStandOnTheirRestraintsAndFixedEnds)
{
    ASSERT_NO_FATAL_FAILURE(cii_ok(six_bend_line().text()));
    EXPECT_EQ(notes_.count(CII_TANGENT_POINTS), 6);
    EXPECT_EQ(model_check_refusal(), "");
    solve();
    if (HasFatalFailure())
        return;
    const CaseResults& c = result(LC_SUSTAINED);
    // By hand: the legs add up to 120 + 96 + 60 + 96 + 72 + 60 + 120 in;
    // each of the six bends takes 2 R of them and gives a quarter arc.
    const double length = 624 - 6 * 2 * R + 6 * pi / 2 * R;
    const double near20 = support(c, 100020)[1], near50 = support(c, 100050)[1];
    const double carried = support(c, 10)[1] + support(c, 80)[1] + near20 + near50;
    expect_relative(carried, W6 * length, 0.01, "the supports carry the line's weight");
    EXPECT_GT(near20, 0.05 * W6 * length);
    EXPECT_GT(near50, 0.05 * W6 * length);
    // The frame with the six bends.
    std::vector<Frame::Corner> route;
    for (std::size_t k = 0; k < SIX_BEND_NODES.size(); ++k) {
        const bool corner = k > 0 && k + 1 < SIX_BEND_NODES.size();
        route.push_back({SIX_BEND_NODES[k], SIX_BEND_POINTS[k], corner ? R : 0.0, 0,
                         corner ? std::vector<std::pair<int, double>>{{SIX_BEND_NODES[k] - 1, pi / 4}}
                                : std::vector<std::pair<int, double>>{}});
    }
    const Frame frame(STD6, route, RIGID, RIGID);
    const Frame::Solution s = frame.solve(0, {0, -W6, 0}, {}, {{100020, Y, RIGID}, {100050, Y, RIGID}});
    expect_case(LC_SUSTAINED, frame, s, 1, 1, "weight");
    expect_relative(near20, s.support[0], AGREE, "restraint at 20A");
    expect_relative(near50, s.support[1], AGREE, "restraint at 50A");
}

// ---- Ends fixed by displacements ------------------------------------------------------------------

class CiiFixedByDisplacement : public CiiLineTest {};

TEST_F(CiiFixedByDisplacement, ALineFixedOnlyByDisplacementsHangsOnAnchorsAtItsEnds)
{
    // 240 in along X from 10 to 20, fixed at both ends by one displacement
    // record: a beam built in at both ends under its weight w, whose
    // anchors each carry w L / 2 and the moment w L^2 / 12.
    const CiiFile f = bent_line({10, 20}, {{0, 0, 0}, {240, 0, 0}});
    const std::string text = f.text();
    ASSERT_NO_FATAL_FAILURE(cii_ok(text));
    const int record = line_of(lines_of(text), "#$ DISPLMNT") + 1;
    for (int node : {10, 20}) {
        const int row = item_row_at(node, DT_ANCHOR);
        ASSERT_NE(row, 0) << node;
        EXPECT_EQ(model().rows[row].etype, ET_LOCATION);
        const AnchorValues& a = data<Anchor>(row).v;
        for (float k : a.stiffness)
            EXPECT_EQ(k, RIGID_STIFFNESS);
        EXPECT_EQ(a.displacements.given[1], 1);
        for (float d : a.displacements.values[1])
            EXPECT_EQ(d, 0.0f);
    }
    const std::vector<std::string> taken = notes_.items(CII_TAKEN_AS);
    EXPECT_NE(std::find(taken.begin(), taken.end(),
                        c_format("displacements at node 10 that give every component, as a rigid anchor (line %d)",
                                 record)),
              taken.end());
    EXPECT_NE(std::find(taken.begin(), taken.end(),
                        c_format("displacements at node 20 that give every component, as a rigid anchor (line %d)",
                                 record + 10)),
              taken.end());
    EXPECT_EQ(model_check_refusal(), "");

    solve();
    if (HasFatalFailure())
        return;
    const CaseResults& c = result(LC_SUSTAINED);
    const double l = 240;
    for (int node : {10, 20}) {
        const std::vector<double> a = support(c, node);
        expect_relative(a[1], W6 * l / 2, 1e-6, c_format("FY at %d", node));
        // The anchors' rotational springs of 1.0e12 in-lb/rad give way by
        // about 2 EI / (k L) = 7e-6 of it.
        expect_relative(std::fabs(a[5]), W6 * l * l / 12, 1e-4, c_format("MZ at %d", node));
    }
}

TEST_F(CiiFixedByDisplacement, GivenDisplacementsMoveTheirAnchorAndPartialOnesFixNothing)
{
    // 10 - 20 - 30 along X, 120 in each. Node 10 is anchored by a restraint
    // record; at 20 the file gives DY alone, which holds nothing; at 30 its
    // first vector gives every component, DY = -0.25 in.
    CiiFile f = bent_line({10, 20, 30}, {{0, 0, 0}, {120, 0, 0}, {240, 0, 0}});
    f.bends.clear();
    f.elements[0].bend = 0;
    f.displacements.clear();
    f.restraints = {{{10, 1, 0, 0, 0, 0, {}}}};
    std::array<CiiVectorBlock, 2> record{fixed_by_displacement(20), fixed_by_displacement(30)};
    record[0].vectors[0] = {FREE_DISPLACEMENT, 0.5, FREE_DISPLACEMENT, FREE_DISPLACEMENT, FREE_DISPLACEMENT,
                            FREE_DISPLACEMENT};
    record[1].vectors[0][1] = -0.25;
    f.displacements.push_back(record);
    const std::string text = f.text();
    ASSERT_NO_FATAL_FAILURE(cii_ok(text));
    const int first = line_of(lines_of(text), "#$ DISPLMNT") + 1;
    EXPECT_EQ(item_row_at(20, DT_ANCHOR), 0);
    // Named under a heading that says it fixes nothing: node 20 has a row.
    EXPECT_EQ(notes_.count(CII_DROPPED), 0);
    EXPECT_EQ(notes_.items(CII_UNHELD_DISPLACEMENTS),
              std::vector<std::string>{
                  c_format("displacements at node 20 in DY, which has no anchor or nozzle (line %d)", first)});
    const int row = item_row_at(30, DT_ANCHOR);
    ASSERT_NE(row, 0);
    EXPECT_FLOAT_EQ(data<Anchor>(row).v.displacements.values[1][1], -0.25f);

    // Expansion (T1) moves the end 30 down by 0.25 in: a cantilever of
    // L = 240 in built in at 10 and held against turning at 30, whose end
    // force is the displacement over L^3/12EI + alpha L/GA and the anchor
    // springs in series (the moment at each end is that force times L/2).
    solve();
    if (HasFatalFailure())
        return;
    const double l = 240;
    const double flexibility = l * l * l / (12 * STD6.e * STD6.inertia) + STD6.shear * l / (STD6.g * STD6.area) +
                               2 / RIGID + l * l / (2 * RIGID);
    const double force = 0.25 / flexibility;
    const CaseResults& hot = result(LC_EXPANSION_T1);
    expect_relative(at(hot, 30)[1], -0.25, 1e-6, "DY of 30");
    expect_relative(std::fabs(support(hot, 30)[1]), force, 1e-4, "FY at 30");
    expect_relative(std::fabs(support(hot, 10)[1]), force, 1e-4, "FY at 10");
}

}  // namespace
}  // namespace batch_test
