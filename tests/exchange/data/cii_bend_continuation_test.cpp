// A CAESAR II bend is continued by the element that leaves its node,
// wherever that element stands in the file: the bend then stands and solves
// as it does with its elements in order, a node at its whole angle is its
// far tangent point, and a bend that nothing continues is named in the
// closing note with what the analysis will refuse. Two intermediate nodes
// that come to one point of the arc are refused at import with the bend's
// line.
#include "exchange/data/cii_branch_lines.h"
#include "exchange/data/cii_solve_fixture.h"
#include "exchange/import_check.h"
#include "supports/restraint.h"

#include <numbers>

namespace batch_test {
namespace {

using namespace cii_test;
using std::numbers::pi;

constexpr double R = LINE_BEND_RADIUS;

// The nodes of the two-bend line, its tangent points among them.
const std::vector<int> TWO_BEND_LINE_NODES = {10, 100020, 19, 200020, 100030, 29, 200030, 40};

class CiiBendContinuation : public CiiLineTest {
protected:
    Solved solved(const std::vector<int>& supports) { return CiiLineTest::solved(TWO_BEND_LINE_NODES, supports); }
};

TEST_F(CiiBendContinuation, ABendContinuedLaterInTheFileStandsAndSolvesAsInOrder)
{
    const std::vector<int> supports = {10, 40, 100020, 100030};
    ASSERT_NO_FATAL_FAILURE(cii_ok(two_bend_line().text()));
    const Solved in_order = solved(supports);
    ASSERT_FALSE(HasFatalFailure());

    // 10-20, 30-40, 20-30: the bend at 20 is continued two elements on,
    // the bend at 30 by an element before it.
    ASSERT_NO_FATAL_FAILURE(cii_ok(later_continuation_line().text()));
    EXPECT_EQ(model_check_refusal(), "");
    EXPECT_EQ(notes_.count(IMPORT_MODEL_CHECK), 0);
    for (int corner : {20, 30}) {
        EXPECT_NEAR(bend_at(corner).bend_angle, pi / 2, 1e-6) << corner;
        EXPECT_EQ(bend_at(corner).node1, corner - 1);
    }
    const Solved later = solved(supports);
    ASSERT_FALSE(HasFatalFailure());
    for (int node : TWO_BEND_LINE_NODES) {
        EXPECT_LE(norm(later.position.at(node) - in_order.position.at(node)), 1e-5) << node_text(node);
        for (std::size_t d = 0; d < 6; ++d)
            EXPECT_NEAR(later.displacement.at(node)[d], in_order.displacement.at(node)[d], 1e-9)
                << node_text(node) << " " << d;
    }
    double carried = 0;
    for (int node : supports) {
        for (std::size_t d = 0; d < later.support.at(node).size(); ++d)
            EXPECT_NEAR(later.support.at(node)[d], in_order.support.at(node)[d], 1e-6 * W6 * 360)
                << node_text(node) << " " << d;
        carried += later.support.at(node)[1];
    }
    // By hand: three legs of 120 in, each bend taking 2 R of them and
    // giving a quarter arc.
    expect_relative(carried, W6 * (3 * 120 - 2 * 2 * R + 2 * pi / 2 * R), 0.01, "the supports carry the weight");
}

TEST_F(CiiBendContinuation, ANodeAtTheWholeAngleOfABendContinuedLaterIsItsFarTangentPoint)
{
    // Node 17 at 90 degrees on the bend at 20, whose continuation 20-30
    // comes last: the far tangent point 20B, 9 in along Z from the corner.
    CiiFile f = later_continuation_line();
    f.bends[0].angle2 = 90, f.bends[0].node2 = 17;
    f.restraints = {y_restraint(17), y_restraint(28)};
    const std::string text = f.text();
    ASSERT_NO_FATAL_FAILURE(cii_ok(text));
    EXPECT_EQ(node_index(17), 0);
    EXPECT_EQ(bend_at(20).node2, 0);
    EXPECT_NE(item_row_at(200020, DT_RESTRAINT), 0);
    expect_at(200020, {120, 0, 9});
    EXPECT_EQ(notes_.items(CII_TANGENT_POINTS).front(),
              c_format("17 at 90 degrees as 20B, the far tangent point of the bend at 20 (line %d)",
                       line_of(lines_of(text), "#$ BEND") + 1));
    EXPECT_EQ(model_check_refusal(), "");
}

TEST_F(CiiBendContinuation, ABendThatNothingContinuesIsNamedWithWhatTheAnalysisWillRefuse)
{
    // A bend on the last element, 20-30, of a line anchored at 10: no
    // element leaves 30.
    CiiFile f = bent_line({10, 20, 30}, {{0, 0, 0}, {120, 0, 0}, {120, 0, 120}});
    f.bends.push_back({R, 0, 0, 0, 0, 0});
    f.elements[1].bend = 2;
    f.displacements.clear();
    f.restraints = {{anchor_at(10)}};
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    const std::string refusal = model_check_refusal();
    EXPECT_NE(refusal.find("the bend at node 30 has no arc"), std::string::npos) << refusal;
    EXPECT_EQ(notes_.items(IMPORT_MODEL_CHECK), std::vector<std::string>{refusal});
}

// ---- The angles of a bend's nodes ----------------------------------------------------------------

class CiiBendNodeAngles : public CiiLineTest {
protected:
    // The refusal of the line with the bend at 20 given its second node
    // at `angle`, its first at `first`: the error text of the bend's line.
    void expect_refused(double first, double angle, const std::string& message)
    {
        CiiFile f = two_bend_line();
        f.bends[0].angle1 = first;
        f.bends[0].angle2 = angle;
        f.restraints = {y_restraint(28)};
        const std::string text = f.text();
        const std::vector<std::string> lines = lines_of(text);
        const int line = line_of(lines, "#$ BEND") + 1;
        EXPECT_EQ(import_cii(text),
                  neutral_test::cii_error(line, lines[static_cast<std::size_t>(line - 1)], message));
        EXPECT_EQ(numrows(), 0);
    }
};

TEST_F(CiiBendNodeAngles, TwoNodesAtOnePointOfTheArcAreRefusedWithTheBendsLine)
{
    // -2.0202 and -10 both stand for the mid point.
    expect_refused(MID_POINT_ANGLE, -10,
                   "Bend node 18 at -10 degrees is the mid point again: bend node 19 at -2.0202 degrees stands "
                   "there; two nodes at one point of the arc would make an element of no length");
    // 45 degrees is the mid point of the bend of 90 degrees.
    expect_refused(MID_POINT_ANGLE, 45,
                   "Bend node 18 at 45 degrees is the mid point again: bend node 19 at -2.0202 degrees stands "
                   "there; two nodes at one point of the arc would make an element of no length");
    expect_refused(30, 30,
                   "Bend node 18 at 30 degrees stands where bend node 19 at 30 degrees does; two nodes at one "
                   "point of the arc would make an element of no length");
    // Two nodes apart on the arc are taken.
    CiiFile f = two_bend_line();
    f.bends[0].angle1 = 30, f.bends[0].angle2 = 60;
    f.restraints = {y_restraint(28)};
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    EXPECT_EQ(model_check_refusal(), "");
}

TEST_F(CiiBendNodeAngles, ANodeBeyondTheAngleOfABendContinuedLaterIsRefused)
{
    CiiFile f = later_continuation_line();
    f.bends[0].angle2 = 120;
    f.restraints = {y_restraint(28)};
    const std::string text = f.text();
    const std::vector<std::string> lines = lines_of(text);
    const int line = line_of(lines, "#$ ELEMENTS") + 1;
    EXPECT_EQ(import_cii(text), neutral_test::cii_error(line, lines[static_cast<std::size_t>(line - 1)],
                                                        "Bend node 18 at 120 degrees lies at or beyond the bend "
                                                        "angle of 90 degrees"));
    EXPECT_EQ(numrows(), 0);
}

}  // namespace
}  // namespace batch_test
