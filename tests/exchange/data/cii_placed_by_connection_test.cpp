// A CAESAR II file's nodes stand where its elements put them, whatever the
// order its elements come in: branches written from their free ends toward
// a tee placed before them, and a loop whose first elements come before the
// one that ties it to the header, are placed along their connections from
// the COORDS node and solved against the frame solver and by hand; a loop
// that does not close and elements tied to nothing are kept and named.
#include "exchange/data/cii_branch_lines.h"
#include "exchange/data/cii_solve_fixture.h"
#include "model/elements.h"
#include "supports/anchor.h"

#include <cmath>
#include <numbers>

namespace batch_test {
namespace {

using namespace cii_test;
using std::numbers::pi;

class CiiPlacedByConnection : public CiiLineTest {
protected:
    void expect_placed(const std::vector<PlacedNode>& nodes)
    {
        for (const PlacedNode& n : nodes)
            expect_at(n.node, n.p);
    }
    // The frame of the placed nodes: straights of STD6 along `route` and
    // along each leg (from, to), anchored at `anchors`.
    static Frame frame_of(const std::vector<PlacedNode>& nodes, const std::vector<int>& route,
                          const std::vector<std::pair<int, int>>& legs, const std::vector<int>& anchors)
    {
        const auto at = [&nodes](int node) { return point_of(nodes, node); };
        std::vector<Frame::Corner> corners;
        for (int node : route)
            corners.push_back({node, at(node)});
        Frame frame(STD6, corners, RIGID, RIGID, anchors);
        for (const auto& [from, to] : legs)
            frame.add_leg(from, to, at(to), STD6);
        return frame;
    }
    // The vertical loads of the anchors at `nodes` in the Sustained case
    // carry the pipe's weight, W6 per inch of its length: within 1 %, as an
    // engineer adds them up, and as the frame has them.
    void expect_weight_carried(const std::vector<int>& anchors, double length)
    {
        const CaseResults& c = result(LC_SUSTAINED);
        double carried = 0;
        for (int node : anchors)
            carried += support(c, node)[1];
        expect_relative(carried, W6 * length, 0.01, "the anchors carry the pipe's weight");
    }
};

TEST_F(CiiPlacedByConnection, BranchesWrittenFromTheirFreeEndsStandWhereTheirElementsPutThem)
{
    // Branch A is written 240-250, ..., 450-110 and branch B 500-510, ...,
    // 520-120: their first nodes are on no COORDS record, and their tees
    // were placed before them.
    const std::string text = branch_file().text();
    ASSERT_NO_FATAL_FAILURE(cii_ok(text));
    expect_placed(branch_nodes());
    // Every element joins its nodes: the branches end at their tees.
    EXPECT_TRUE(joined(450, 110));
    EXPECT_TRUE(joined(520, 120));
    EXPECT_TRUE(joined(240, 250));
    EXPECT_EQ(notes_.count(CII_UNPLACED), 0);
    EXPECT_EQ(notes_.count(CII_OPEN_LOOPS), 0);
    EXPECT_EQ(model_check_refusal(), "");

    solve();
    if (HasFatalFailure())
        return;
    std::vector<std::pair<int, int>> legs;
    for (int n = 450; n > 240; n -= 10)
        legs.push_back({n == 450 ? 110 : n + 10, n});
    legs.push_back({250, 240});
    legs.insert(legs.end(), {{120, 520}, {520, 510}, {510, 500}});
    const std::vector<int> anchors = {10, 130, 240, 500};
    const Frame frame = frame_of(branch_nodes(), {10, 100, 110, 120, 130}, legs, anchors);
    expect_nodes_where_the_frame_has_them(frame, 1.0);
    expect_case(LC_SUSTAINED, frame, frame.solve(0, {0, -W6, 0}), 1, 1, "weight");
    expect_weight_carried(anchors, BRANCH_FILE_LENGTH);
}

TEST_F(CiiPlacedByConnection, ALoopWrittenBeforeItsTieClosesOnTheHeader)
{
    // 60-70 and 70-30 come before 20-60, which places 60.
    ASSERT_NO_FATAL_FAILURE(cii_ok(loop_file().text()));
    expect_placed(loop_nodes());
    EXPECT_TRUE(joined(70, 30));
    EXPECT_TRUE(joined(20, 60));
    EXPECT_EQ(notes_.count(CII_OPEN_LOOPS), 0);
    EXPECT_EQ(model_check_refusal(), "");

    solve();
    if (HasFatalFailure())
        return;
    const Frame frame = frame_of(loop_nodes(), {10, 20, 30, 40}, {{20, 60}, {60, 70}, {70, 30}}, {10, 40});
    expect_case(LC_SUSTAINED, frame, frame.solve(0, {0, -W6, 0}), 1, 1, "weight");
    expect_weight_carried({10, 40}, LOOP_FILE_LENGTH);
}

TEST_F(CiiPlacedByConnection, ABranchWrittenTowardABendsNodeStandsWhereTheBendPutsThatNode)
{
    // 1000-1010 and 1010-18, 18 the 0-degree node of the bend at 20 (R 9 in
    // of 90 degrees, the near tangent point 20A at (111, 0, 0)): the branch
    // hangs 60 in down from it, anchored at its free end 1000. And 2000-19,
    // 19 the bend's mid node, 45 degrees on the arc about (111, 0, 9).
    CiiFile f = two_bend_line();
    f.restraints = {{anchor_at(1000), anchor_at(2000)}};
    CiiElementRecord e;
    e.from = 1000, e.to = 1010, e.dy = 30;
    f.elements.push_back(e);
    e.from = 1010, e.to = 18;
    f.elements.push_back(e);
    e.from = 2000, e.to = 19;
    f.elements.push_back(e);
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    expect_at(1010, {111, -30, 0});
    expect_at(1000, {111, -60, 0});
    expect_at(2000, {111 + 9 * std::sin(pi / 4), -30, 9 - 9 * std::cos(pi / 4)});
    EXPECT_TRUE(joined(1010, 100020));
    EXPECT_TRUE(joined(2000, 19));
    EXPECT_EQ(notes_.count(CII_UNPLACED), 0);
    EXPECT_EQ(notes_.count(CII_OPEN_LOOPS), 0);
    EXPECT_EQ(model_check_refusal(), "");

    // A bend the file gives no radius has its section's long radius,
    // 1.5 x 6.625 in.
    f.bends[0].radius = 0;
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    const double r = 1.5 * 6.625;
    expect_at(100020, {120 - r, 0, 0});
    expect_at(1000, {120 - r, -60, 0});
    expect_at(2000, {120 - r + r * std::sin(pi / 4), -30, r - r * std::cos(pi / 4)});
    EXPECT_EQ(notes_.count(CII_OPEN_LOOPS), 0);
}

TEST_F(CiiPlacedByConnection, ALoopThatDoesNotCloseIsKeptAsTheFileGivesItAndNamed)
{
    // 70-30 goes down 94 in where 96 in would close the loop: the element
    // stays between 70 and 30, and the note gives the gap of 2 inch (50.8 mm).
    CiiFile f = loop_file();
    f.elements[4].dz = -94;
    const std::string text = f.text();
    ASSERT_NO_FATAL_FAILURE(cii_ok(text));
    expect_placed(loop_nodes());
    EXPECT_TRUE(joined(70, 30));
    // Element 5 of a version 10 file: 13 lines an element.
    const int line = line_of(lines_of(text), "#$ ELEMENTS") + 1 + 4 * 13;
    EXPECT_EQ(notes_.items(CII_OPEN_LOOPS),
              std::vector<std::string>{c_format("element 70-30 (line %d) ends 2 inch from node 30", line)});
    // In millimetres where the file's lengths are.
    for (CiiElementRecord& e : f.elements)
        e.dx *= 25.4, e.dy *= 25.4, e.dz *= 25.4, e.od *= 25.4, e.wall *= 25.4;
    f.coords = {{10, 0, 0, 0}};
    f.units.length = f.units.diameter = f.units.wall = 25.4;
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    EXPECT_EQ(notes_.items(CII_OPEN_LOOPS),
              std::vector<std::string>{c_format("element 70-30 (line %d) ends 50.8 mm from node 30", line)});
    // A loop that closes within 1 mm is closed.
    f.elements[4].dz = -96 * 25.4 + 0.9;
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    EXPECT_EQ(notes_.count(CII_OPEN_LOOPS), 0);
}

TEST_F(CiiPlacedByConnection, ElementsTiedToNothingStandAtTheEndOfTheRowBeforeAndAreNamed)
{
    // 900-910 and 910-920 touch no other element and no COORDS node: they
    // start where the header ends, at 40, tied to nothing, and carry an
    // anchor of their own at 920.
    CiiFile f = loop_file();
    f.elements.resize(3);
    CiiElementRecord e;
    e.from = 900, e.to = 910, e.dz = 60;
    f.elements.push_back(e);
    e.from = 910, e.to = 920, e.dz = 0, e.dx = 60;
    f.elements.push_back(e);
    f.restraints = {{anchor_at(10), anchor_at(40), anchor_at(920)}};
    const std::string text = f.text();
    ASSERT_NO_FATAL_FAILURE(cii_ok(text));
    const int line = line_of(lines_of(text), "#$ ELEMENTS") + 1 + 3 * 13;
    EXPECT_EQ(notes_.items(CII_UNPLACED),
              std::vector<std::string>{c_format("elements 900-910, 910-920 (from line %d) connect to no other "
                                                "element and no COORDS node: placed at the end of the row before",
                                                line)});
    expect_at(900, {360, 0, 0});
    expect_at(910, {360, 0, 60});
    expect_at(920, {420, 0, 60});
    // Tied to nothing: no element of no length joins it to 40.
    EXPECT_FALSE(joined(40, 900));
    EXPECT_EQ(model_check_refusal(), "");
    solve();
    if (HasFatalFailure())
        return;
    // The two elements hang on their own anchor: 120 in of pipe.
    expect_relative(support(result(LC_SUSTAINED), 920)[1], W6 * 120, 1e-6, "the anchor at 920");
}

}  // namespace
}  // namespace batch_test
