// What a CAESAR II file joins to a bend's node, the to node of the bend's
// element where its tangents meet, is taken: an element that ends there
// (or leaves it without continuing the bend) joins the bend where the file's
// bend ends, at its far tangent point, with its supports and weight, in
// whatever order and direction the file writes it; and what the file puts
// at the node of a bend that ends a line, which has no arc, stands at that
// node, the closing note saying what F12 will refuse. The solved line is
// checked against the small frame solver of the tests and its weight by hand.
#include "exchange/data/cii_bend_node_lines.h"
#include "exchange/data/cii_solve_fixture.h"
#include "exchange/import_check.h"
#include "supports/anchor.h"
#include "supports/restraint.h"

#include <algorithm>
#include <numbers>

namespace batch_test {
namespace {

using namespace cii_test;
using std::numbers::pi;

constexpr double R = LINE_BEND_RADIUS;
const Vec Y{0, 1, 0};

// The drain line's nodes: the two-bend line with its tangent points and
// mid nodes, and the drain's.
const std::vector<int> DRAIN_LINE_NODES = {10,     100020, 19,  200020, 100030, 29, 200030,
                                           40,     500,    505, 510};
const std::vector<int> DRAIN_LINE_SUPPORTS = {10, 40, 510};

class CiiEndsAtBendCorner : public CiiLineTest {
protected:
    Solved solved() { return CiiLineTest::solved(DRAIN_LINE_NODES, DRAIN_LINE_SUPPORTS); }
    // The drain imported whole: its nodes where its elements put them, 28 in
    // and more below the bend's node, joined to the bend's far tangent
    // point and not to its node; nothing dropped, no loop left open, and
    // F12 takes the model.
    void expect_drain_joined() const
    {
        for (const PlacedNode& n : drain_nodes())
            expect_at(n.node, n.p);
        EXPECT_TRUE(joined(510, 200030));
        EXPECT_FALSE(joined(510, 30));
        for (const char* heading : {CII_NOT_TAKEN, CII_DROPPED, CII_OPEN_LOOPS})
            EXPECT_EQ(notes_.count(heading), 0) << notes_.text("");
        EXPECT_EQ(model_check_refusal(), "");
    }
};

TEST_F(CiiEndsAtBendCorner, ADrainIntoABendsNodeJoinsItsFarTangentPointAndCarriesItsWeight)
{
    const std::string text = drain_line().text();
    ASSERT_NO_FATAL_FAILURE(cii_ok(text));
    // 510 stands where the drain's elements put it, 28 in below the bend's
    // node, and the drain joins the bend's far tangent point 30B, R = 9 in
    // along the bend's continuation (+X) from its node.
    expect_drain_joined();
    expect_at(200030, {129, 0, 120});
    // Named with the bend nodes taken as tangent points: 510-30 is the sixth
    // element of a version 10 file, 13 lines each.
    const std::vector<std::string> tangents = notes_.items(CII_TANGENT_POINTS);
    EXPECT_NE(std::find(tangents.begin(), tangents.end(),
                        c_format("30 as 30B, the far tangent point of the bend at 30, for element 510-30 (line %d)",
                                 line_of(lines_of(text), "#$ ELEMENTS") + 1 + 5 * 13)),
              tangents.end())
        << notes_.text("");
    ASSERT_NE(item_row_at(510, DT_RESTRAINT), 0);
    // The rigid 500-505, longer than its pipe is wide, is a valve.
    EXPECT_EQ(model().rows[item_row_at(505, DT_NONE)].etype, ET_VALVE);

    solve();
    if (HasFatalFailure())
        return;
    // The frame: the line with its two bends, anchored at its fixed ends,
    // and the drain as legs from 30B: 4 in STD pipe to 510 and 505, the
    // valve as the pipe with ten times its wall (grown outwards) to 500, each
    // with its weight per length as a multiple of the line's.
    const DrainWeights w = drain_weights();
    const Tube std4{DRAIN_OD, static_cast<double>(static_cast<float>(DRAIN_WALL)), 3.0e7, static_cast<double>(0.3f)};
    const Tube valve{2 * (std4.ri + 10 * std4.t), 10 * std4.t, std4.e, std4.nu};
    Frame frame(STD6,
                {{10, {0, 0, 0}},
                 {20, {120, 0, 0}, R, 0, {{19, pi / 4}}},
                 {30, {120, 0, 120}, R, 0, {{29, pi / 4}}},
                 {40, {240, 0, 120}}},
                RIGID, RIGID);
    const double drain = w.drain_per_inch / w.line_per_inch;
    frame.add_leg(200030, 510, {120, -28, 120}, std4, drain);
    frame.add_leg(510, 505, {120, -40, 120}, std4, drain);
    frame.add_leg(505, 500, {120, -52, 120}, valve, w.valve / 12 / w.line_per_inch);
    expect_nodes_where_the_frame_has_them(frame, 1.0);
    const Frame::Solution s = frame.solve(0, {0, -w.line_per_inch, 0}, {}, {{510, Y, RIGID}});
    expect_case(LC_SUSTAINED, frame, s, 1, 1, "weight");
    const CaseResults& c = result(LC_SUSTAINED);
    const double rest = support(c, 510)[1];
    expect_relative(rest, s.support[0], AGREE, "restraint at 510");

    // By hand: the supports carry the line, the drain's pipe and water, and
    // the valve; the rest at 510 carries at least what hangs below it.
    expect_relative(support(c, 10)[1] + support(c, 40)[1] + rest, w.total, 1e-4, "the supports carry the weight");
    EXPECT_GT(rest, w.below_the_rest);
}

TEST_F(CiiEndsAtBendCorner, TheDrainWrittenInAnyOrderOrFromTheBendOutwardGivesTheSameResults)
{
    ASSERT_NO_FATAL_FAILURE(cii_ok(drain_line().text()));
    const Solved first = solved();
    ASSERT_FALSE(HasFatalFailure());
    const std::pair<DrainOrder, const char*> orders[] = {{DrainOrder::FromTheBend, "from the bend outward"},
                                                         {DrainOrder::BeforeTheLine, "before the line"},
                                                         {DrainOrder::BeforeTheBendEnds, "before the bend ends"}};
    const DrainWeights w = drain_weights();
    for (const auto& [order, name] : orders) {
        SCOPED_TRACE(name);
        ASSERT_NO_FATAL_FAILURE(cii_ok(drain_line(order).text()));
        expect_drain_joined();
        const std::vector<std::string> tangents = notes_.items(CII_TANGENT_POINTS);
        EXPECT_EQ(std::count_if(tangents.begin(), tangents.end(),
                                [](const std::string& t) { return t.rfind("30 as 30B, ", 0) == 0; }),
                  1)
            << notes_.text("");
        const Solved again = solved();
        ASSERT_FALSE(HasFatalFailure());
        for (int node : DRAIN_LINE_NODES)
            for (std::size_t d = 0; d < 6; ++d)
                EXPECT_NEAR(again.displacement.at(node)[d], first.displacement.at(node)[d], 1e-9)
                    << node_text(node) << " " << d;
        for (int node : DRAIN_LINE_SUPPORTS)
            for (std::size_t d = 0; d < again.support.at(node).size(); ++d)
                EXPECT_NEAR(again.support.at(node)[d], first.support.at(node)[d], 1e-6 * w.total)
                    << node_text(node) << " " << d;
    }
}

// ---- A bend at a line's end ----------------------------------------------------------------------

class CiiBendAtLineEnd : public CiiLineTest {
protected:
    // The loads along Y of the supports at a node (every node for 0).
    static double vertical_load(const CaseResults& c, int node)
    {
        double sum = 0;
        std::size_t offset = 0;
        for (int row = 1; row <= numrows(); ++row) {
            const LayoutRow& r = model().rows[row];
            const int words = support_word_count(r.dtype);
            if (words > 0 && (node == 0 || r.node == node))
                sum += c.support_loads[offset + 1];
            offset += static_cast<std::size_t>(words);
        }
        return sum;
    }
};

TEST_F(CiiBendAtLineEnd, AnAnchorAtTheBendsNodeIsTakenThereAndTheNoteSaysWhatF12WillRefuse)
{
    const std::string text = bend_at_line_end().text();
    ASSERT_NO_FATAL_FAILURE(cii_ok(text));
    // The bend at 30 has no arc and so no tangent points: the anchor at its
    // node stands on a Location row at 30 after the bend's row, and the Y
    // restraint at its 0-degree node 28 there too.
    const int bend = cii_bend_row(30);
    ASSERT_NE(bend, 0);
    EXPECT_FALSE(bend_at(30).geometry_valid);
    EXPECT_EQ(model().rows[bend].dtype, DT_NONE);
    const int anchor = item_row_at(30, DT_ANCHOR);
    ASSERT_GT(anchor, bend);
    EXPECT_EQ(model().rows[anchor].etype, ET_LOCATION);
    for (float k : data<Anchor>(anchor).v.stiffness)
        EXPECT_EQ(k, RIGID_STIFFNESS);
    EXPECT_GT(item_row_at(30, DT_RESTRAINT), bend);
    for (int none : {200030, 100030, 28})
        EXPECT_EQ(node_index(none), 0) << none;
    EXPECT_EQ(notes_.count(CII_DROPPED), 0) << notes_.text("");
    const std::vector<std::string> taken = notes_.items(CII_TAKEN_AS);
    EXPECT_NE(std::find(taken.begin(), taken.end(),
                        "30A, the near tangent point of the bend at 30, which has no arc, as its node 30"),
              taken.end())
        << notes_.text("");
    // What F12 will refuse comes first.
    const std::string refusal = model_check_refusal();
    EXPECT_NE(refusal.find("the bend at node 30 has no arc"), std::string::npos) << refusal;
    EXPECT_EQ(notes_.items(IMPORT_MODEL_CHECK), std::vector<std::string>{refusal});
    EXPECT_EQ(notes_.text("").find("\nThe analysis (F12) will refuse the model: "), 0u) << notes_.text("");
}

TEST_F(CiiBendAtLineEnd, MendedAsF12AsksTheLineHangsOnTheAnchorAtItsEnd)
{
    // The bend at 30 made a pipe, as the user mends it in the layout: the
    // anchor at its node (and the Y restraint beside it) then holds the end
    // of the line. By hand: two legs of 120 in, the bend at 20 taking R of
    // each and giving a quarter arc, carried by the supports at 10 and 30.
    ASSERT_NO_FATAL_FAILURE(cii_ok(bend_at_line_end().text()));
    LayoutRow::change_etype(cii_bend_row(30), ET_PIPE);
    make_model();
    EXPECT_EQ(model_check_refusal(), "");
    solve();
    if (HasFatalFailure())
        return;
    const CaseResults& c = result(LC_SUSTAINED);
    expect_relative(vertical_load(c, 0), W6 * (2 * 120 - 2 * R + pi / 2 * R), 1e-4,
                    "the supports carry the line's weight");
    EXPECT_GT(vertical_load(c, 30), 0.1 * W6 * 120);
}

}  // namespace
}  // namespace batch_test
