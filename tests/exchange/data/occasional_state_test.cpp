// The occasional cases and Settlement of nonlinear models as the states the
// piping reaches: an occasional case is the change from the state of
// Operating (W+P1+T1) to the state that its loads and the occasional load
// reach from there, Seismic (g) both ways in each direction, the larger
// change taken value by value; Settlement the change from Sustained. Guides
// close at their gap, rests slide at mu N or lift off and pull on nothing.
// The answers are those of the line as a beam clamped at its anchors, with
// the supports that act as point loads, worked here by hand from the
// closed-form deflections of such a beam.
#include "scratch_files.h"
#include "analysis/model_check.h"
#include "framework/data/thrown_text.h"
#include "exchange/data/contact_check.h"
#include "framework/state.h"
#include "model/load_cases.h"
#include "results/results_session.h"
#include "results/support_summary.h"
#include "supports/support_item.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace batch_test;

namespace {

const Tube STD6{6.625, 0.28, 27.9e6, 0.3};
// Water at 60 degF, 62.37 lb/ft3 = 0.03609 lb/in3; the line carries a
// liquid of specific gravity 1.14.
constexpr double WATER = 0.03609;
constexpr double GRAVITY_OF_CONTENTS = 1.14;
// The filled 6 in line's weight per length (lb/in): steel of 0.283 lb/in3
// and the contents of its bore. Each rest of a line on equal spans between
// anchors carries w times a span, 554 lb at 200 in.
const double W = 0.283 * STD6.area + GRAVITY_OF_CONTENTS * WATER * std::numbers::pi * STD6.ri * STD6.ri;
constexpr double SPAN = 1000.0;   // in, anchor to anchor
const double EI = STD6.e * STD6.inertia;
constexpr double GAP = 0.0625;    // in, the guides'
constexpr double MU = 0.3;
const int RESTS[] = {20, 30, 40, 50};
const double REST_AT[] = {200, 400, 600, 800};

// The beam clamped at both ends, span L (W. C. Young, R. G. Budynas,
// "Roark's Formulas for Stress and Strain", 7th ed., Table 8.1, cases 1d
// and 2e; Euler-Bernoulli: the shear deformation of this slender line adds
// about 0.2 % to its deflections):
//   a unit load at a (b = L - a), deflection at x <= a:
//     b^2 x^2 (3 a L - (3 a + b) x) / (6 E I L^3), by symmetry beyond a;
//   a uniform load q: q x^2 (L - x)^2 / (24 E I);
//   the moments at the end x = 0: P a b^2 / L^2 and q L^2 / 12.
double clamped_point(double x, double a)
{
    double b = SPAN - a;
    if (x > a) {
        x = SPAN - x;
        std::swap(a, b);
    }
    return b * b * x * x * (3 * a * SPAN - (3 * a + b) * x) / (6 * EI * SPAN * SPAN * SPAN);
}
double clamped_uniform(double x, double q)
{
    return q * x * x * (SPAN - x) * (SPAN - x) / (24 * EI);
}
double end_moment_point(double a)
{
    return a * (SPAN - a) * (SPAN - a) / (SPAN * SPAN);
}

// 1000 in of the filled 6 in STD along X between anchors at nodes 10 and 60,
// at 200 degF, on one-way rests at nodes 20 to 50 (with mu 0.3 when
// `friction`), guides with a gap of 0.0625 in at nodes 30 and 40 when
// `guides`, under the static seismic factors `seismic` (gx, gy, gz).
std::string line_text(const std::string& seismic, bool friction, bool guides, const std::string& code = "B313")
{
    const std::string rest = ",CLS(0,NONE),DV(0,1,0)" + std::string(friction ? ",MU=0.3" : "") + "\n";
    std::string text = "Line on rests\nOPTIONS\n" + code +
                       ",IN\n"
                       "MATERIAL\n"
                       "A106B,0.283,0.3\n"
                       "A106B,70,27.9E6,6.0E-6,20000\n"
                       "A106B,700,27.9E6,8.1E-6,16000\n"
                       "PIPE\n"
                       "P6,6.625,0.28\n"
                       "LOADS\n"
                       "L1,200,0,1.14\n";
    if (!seismic.empty())
        text += "SEISMIC\n" + seismic + "\n";
    text += "LAYOUT\nF10,MA106B,PP6,KA,CL=L1\nT20,X200" + rest + "T30,X200" + rest;
    if (guides)
        text += "L30,CG,GGAP=0.0625\n";
    text += "T40,X200" + rest;
    if (guides)
        text += "L40,CG,GGAP=0.0625\n";
    return text + "T50,X200" + rest + "T60,X200,KA\n";
}

class OccasionalState : public ContactCheckTest {
protected:
    // The support values of the layout row of a kind at a node.
    std::vector<double> row_of_kind(const CaseResults& c, int node, int dtype)
    {
        for (int r = 1; r <= numrows(); ++r)
            if (model().rows[r].node == node && model().rows[r].dtype == dtype)
                return row_loads(c, r);
        ADD_FAILURE() << "no support of type " << dtype << " at node " << node;
        return std::vector<double>(3, 0.0);
    }
};

}  // namespace

TEST_F(OccasionalState, GuidesCloseAtTheirGapUnderSeismicAcross)
{
    // 0.5 g across the line on frictionless rests: laterally the beam
    // clamped at its anchors under 0.5 w, free of its guides until it
    // reaches their gap at nodes 30 and 40 (x = 400 and 600), where each
    // then holds it with R (the same at both, by symmetry):
    //   delta(400) - R (f(400, 400) + f(400, 600)) = gap.
    run_keeping_states(line_text("0,0,0.5", false, true));
    if (HasFatalFailure())
        return;
    const double q = 0.5 * W;
    const double free = clamped_uniform(400, q);
    ASSERT_GT(free, 50 * GAP);
    const double guide = (free - GAP) / (clamped_point(400, 400) + clamped_point(400, 600));
    const double anchor_moment = q * SPAN * SPAN / 12 - guide * (end_moment_point(400) + end_moment_point(600));
    EXPECT_NEAR(guide, 384, 10);
    EXPECT_NEAR(anchor_moment / 12, 1943, 15);

    const CaseResults& g = result(LC_SEISMIC_G);
    EXPECT_TRUE(g.converged);
    for (int node : {30, 40}) {
        const std::string at_guide = "guide " + std::to_string(node);
        // Stopped at the gap (a magnitude: the case takes both signs).
        EXPECT_NEAR(at(g, node)[2], GAP, 1e-6) << at_guide;
        EXPECT_LE(at(g, node)[2], 0.07) << at_guide;
        const std::vector<double> load = row_of_kind(g, node, DT_GUIDE);
        expect_relative(load[2], guide, 0.01, at_guide + " load");
        EXPECT_GE(load[2], 345) << at_guide;
        EXPECT_LE(load[2], 425) << at_guide;
    }
    expect_relative(support(g, 10)[4], anchor_moment, 0.01, "anchor moment");

    // Both states the case takes: Operating plus and minus 0.5 g, each with
    // its guides closed at their gap the way the pipe goes, and every
    // contact as the supports allow.
    const CaseResults& o = result(operating_code(1));
    for (const char* name : {"Seismic (g) +Z", "Seismic (g) -Z"}) {
        const CaseResults& s = state(name);
        const double sign = name[12] == '+' ? 1 : -1;
        for (int node : {30, 40})
            EXPECT_NEAR(at(s, node)[2], sign * GAP, 1e-6) << name << " node " << node;
        check_state_from(o, s, name);
    }
}

TEST_F(OccasionalState, LiftsOffItsRestsUnderUpwardSeismicAndPullsOnNone)
{
    // 2 g upward lifts the line off every rest: it hangs from its anchors as
    // the clamped beam under (2 - 1) w upward; -2 g presses every rest with
    // three times its weight. 1.2 g upward lifts it by a fifth as much,
    // each rest free of load where a held rest would pull with 0.2 of it.
    const double operating_rest = W * 200;   // equal clamped spans
    for (const double factor : {2.0, 1.2}) {
        const std::string name = std::to_string(factor) + " g";
        run_keeping_states(line_text("0," + std::to_string(factor) + ",0", true, false));
        if (HasFatalFailure())
            return;
        const double lift = clamped_uniform(400, (factor - 1) * W);
        if (factor == 2.0) {
            EXPECT_GE(lift, 7.6);
            EXPECT_LE(lift, 8.9);
        }
        const CaseResults& o = result(operating_code(1));
        const CaseResults& g = result(LC_SEISMIC_G);
        EXPECT_TRUE(g.converged) << name;
        expect_relative(at(g, 30)[1], lift, 0.01, name + " lift at node 30");
        const CaseResults& up = state("Seismic (g) +Y");
        const CaseResults& down = state("Seismic (g) -Y");
        for (std::size_t i = 0; i < std::size(RESTS); ++i) {
            const int node = RESTS[i];
            const std::string at_rest = name + " rest " + std::to_string(node);
            expect_relative(support(o, node)[0], operating_rest, 0.001, at_rest + " operating");
            // Lifted off, no load at all; pressed by (1 + factor) w.
            EXPECT_NEAR(support(up, node)[0], 0.0, 1e-3) << at_rest;
            EXPECT_GT(at(up, node)[1], 0.0) << at_rest;
            expect_relative(support(down, node)[0], (1 + factor) * operating_rest, 0.001, at_rest + " pressed");
            // The larger change of the two, as a magnitude.
            expect_relative(support(g, node)[0], factor * operating_rest, 0.001, at_rest + " seismic");
        }
        expect_relative(at(up, 30)[1], lift, 0.01, name + " lifted state");
        check_state_from(o, up, name + " up");
        check_state_from(o, down, name + " down");
    }
}

TEST_F(OccasionalState, SlidesOnItsRestsAtMuNUnderSeismicAcross)
{
    // 1 g across the line on rests with mu 0.3: each rest, pressed by its
    // share of the weight N = 200 w, slides and resists with mu N against
    // the motion (Coulomb), so that laterally the line is the clamped beam
    // under w with the four forces mu N against it at the rests:
    //   y(400) = delta_w(400) - mu N sum f(400, a_j),
    //   M(anchor) = w L^2 / 12 - mu N sum a_j b_j^2 / L^2.
    run_keeping_states(line_text("0,0,1", true, false));
    if (HasFatalFailure())
        return;
    const double friction = MU * W * 200;
    EXPECT_NEAR(friction, 166, 1);
    double motion = clamped_uniform(400, W), moment = W * SPAN * SPAN / 12;
    for (double a : REST_AT) {
        motion -= friction * clamped_point(400, a);
        moment -= friction * end_moment_point(a);
    }
    EXPECT_NEAR(moment / 12, 13695, 30);

    const CaseResults& g = result(LC_SEISMIC_G);
    EXPECT_TRUE(g.converged);
    expect_relative(at(g, 30)[2], motion, 0.01, "motion at node 30");
    expect_relative(support(g, 10)[4], moment, 0.01, "anchor moment");
    for (int node : RESTS) {
        // From no friction in Operating (the line heats between anchors
        // without moving along) to mu N across.
        EXPECT_NEAR(support(result(operating_code(1)), node)[1], 0.0, 1.0) << node;
        expect_relative(support(g, node)[1], friction, 0.01, "friction at rest " + std::to_string(node));
        EXPECT_NEAR(support(g, node)[0], 0.0, 1.0) << node;
    }
    for (const char* name : {"Seismic (g) +Z", "Seismic (g) -Z"})
        check_state_from(result(operating_code(1)), state(name), name);
}

TEST_F(OccasionalState, WindStateIsOperatingPlusTheCase)
{
    // Wind, which has a sign, is solved once: Operating plus the case is
    // the state that the operating loads and the wind reach, and the case
    // is nothing but that state less Operating. A wind along Z on the line
    // on rests with friction makes the rests slide.
    // 1 psi on the line's 6.625 in with a shape factor of 0.7: 4.6 lb/in
    // across, well beyond what the rests' friction holds.
    run_keeping_states(with_occasional_loads(line_text("", true, true), "", "0,1\n480,1"), wind_on_every_pipe_load);
    if (HasFatalFailure())
        return;
    ASSERT_FALSE(HasFailure());
    const CaseResults& o = result(operating_code(1));
    const CaseResults& w = result(LC_WIND);
    EXPECT_TRUE(w.converged);
    const CaseResults& s = state("Wind");
    ASSERT_EQ(s.displacements.size(), w.displacements.size());
    for (std::size_t k = 0; k < s.displacements.size(); ++k)
        EXPECT_NEAR(o.displacements[k] + w.displacements[k], s.displacements[k], 1e-9) << k;
    for (std::size_t k = 0; k < s.support_loads.size(); ++k)
        EXPECT_NEAR(o.support_loads[k] + w.support_loads[k], s.support_loads[k], 1e-6) << k;
    EXPECT_GT(std::fabs(at(w, 30)[2]), 0.01);
    check_state_from(o, s, "operating + wind");
}

TEST_F(OccasionalState, SolvedApartFromTheRunWithTheSameBits)
{
    // Wind alone is solved in the run itself; beside the six solutions of
    // Seismic (g) in three directions, all seven are solved at once on runs
    // of their own, which stand where the run stands in Operating. Each
    // depends on nothing else, so the Wind case comes out bit for bit the
    // same either way.
    const std::string text = with_occasional_loads(line_text("", true, true), "", "0,1\n480,1");
    run_keeping_states(text, wind_on_every_pipe_load);
    if (HasFatalFailure())
        return;
    const CaseResults alone = result(LC_WIND);
    std::string with_seismic = text;
    with_seismic.replace(with_seismic.find("WIND1"), 5, "SEISMIC\n0.3,0.2,0.3\nWIND1");
    run_keeping_states(with_seismic, wind_on_every_pipe_load);
    if (HasFatalFailure())
        return;
    const CaseResults& beside = result(LC_WIND);
    EXPECT_TRUE(beside.converged);
    EXPECT_TRUE(result(LC_SEISMIC_G).converged);
    EXPECT_EQ(states_.size(), 7u);
    EXPECT_EQ(beside.displacements, alone.displacements);
    EXPECT_EQ(beside.support_loads, alone.support_loads);
    ASSERT_EQ(beside.forces.size(), alone.forces.size());
    for (std::size_t e = 0; e < alone.forces.size(); ++e)
        for (int j = 1; j <= 12; ++j)
            EXPECT_EQ(beside.forces[e].f[j], alone.forces[e].f[j]) << e << " " << j;
    EXPECT_EQ(beside.iterations, alone.iterations);
}

TEST_F(OccasionalState, OneThatDoesNotConvergeIsReportedAsAnyCase)
{
    // The 1 g sliding line allowed too few iterations for its seismic
    // states, which its Sustained and Operating cases settle within: the
    // question is put for each, naming the direction and sign, OK keeps
    // the results marked as not converged, and the case's line says so.
    std::vector<std::string> questions;
    callbacks_.ask_unconverged = [&questions](const std::string& question) {
        questions.push_back(question);
        return true;
    };
    run_keeping_states(line_text("0,0,1", true, false), [] { analysis_options().max_iterations = 2; });
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(result(LC_SUSTAINED).converged);
    ASSERT_TRUE(result(operating_code(1)).converged);
    EXPECT_FALSE(result(LC_SEISMIC_G).converged);
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_NE(questions[0].find("of load case \"Seismic (g) +Z\" have not converged"), std::string::npos)
        << questions[0];
    EXPECT_NE(questions[1].find("\"Seismic (g) -Z\""), std::string::npos) << questions[1];
    // The whole run: it completes with the case among those that did not
    // converge (a batch run ends with 4), its line saying so; Cancel stops
    // it.
    ScratchFolder folder("occasional-unconverged");
    snapshot_->output.results_path = folder.path("line.res");
    RunCallbacks keep;
    keep.ask_unconverged = [](const std::string&) { return true; };
    const RunOutcome kept = run_analysis(*snapshot_, keep);
    ASSERT_TRUE(kept.completed) << kept.message;
    EXPECT_EQ(kept.unconverged, std::vector<int>{LC_SEISMIC_G});
    EXPECT_EQ(kept.unconverged_details.size(), 2u);
    const std::string note = "Seismic (g): from the state of Operating (W+P1+T1), not converged after ";
    EXPECT_EQ(std::count_if(kept.case_notes.begin(), kept.case_notes.end(),
                            [&note](const std::string& n) { return n.rfind(note, 0) == 0; }),
              1);
    RunCallbacks cancel;
    cancel.ask_unconverged = [](const std::string&) { return false; };
    const RunOutcome stopped = run_analysis(*snapshot_, cancel);
    EXPECT_FALSE(stopped.completed);
    EXPECT_EQ(stopped.message, "Analysis aborted.");
}

TEST_F(OccasionalState, SnubberResistsTheMotionFromTheOperatingState)
{
    // The line on frictionless rests with its far end free along X but for
    // a rigid snubber there: heated, it grows at node 60 by alpha dT L,
    // which the snubber lets it do (it acts on occasional loads only). Under
    // 0.5 g along it, the snubber holds node 60 where Operating left it, so
    // that the line is a bar held at both ends under a uniform axial load
    // 0.5 w: each end takes half of 0.5 w L.
    std::string text = line_text("0.5,0,0", false, false);
    const std::string far_end = "T60,X200,KA\n";
    text.replace(text.find(far_end), far_end.size(), "T60,X200,CLS(0,NONE),DV(0,1,0)\nL60,CSNUBBER,DV(1,0,0)\n");
    run_keeping_states(text);
    if (HasFatalFailure())
        return;
    const double growth = alpha_english(200) * (200 - 70) * SPAN;
    const double each_end = 0.5 * (0.5 * W * SPAN);
    const CaseResults& o = result(operating_code(1));
    expect_relative(at(o, 60)[0], growth, 0.001, "growth at node 60");
    EXPECT_NEAR(row_of_kind(o, 60, DT_SNUBBER)[0], 0.0, 1e-6);
    const CaseResults& g = result(LC_SEISMIC_G);
    EXPECT_TRUE(g.converged);
    expect_relative(row_of_kind(g, 60, DT_SNUBBER)[0], each_end, 0.001, "snubber");
    expect_relative(support(g, 10)[0], each_end, 0.001, "anchor");
    EXPECT_LE(at(g, 60)[0], 1e-6);
    for (const char* name : {"Seismic (g) +X", "Seismic (g) -X"})
        expect_relative(at(state(name), 60)[0], growth, 1e-6, std::string(name) + " at node 60");
}

TEST_F(OccasionalState, LinearModelSolvesItsCaseAloneWithItsSigns)
{
    // The line held by rigid restraints where its rests and guides would
    // be: one linear solve. Laterally under 0.5 g the clamped beam with
    // rigid supports at nodes 30 and 40 (x = 400 and 600), which hold it at
    // 0: R (f(300, 400) + f(300, 600)) = delta(300), the same R at both.
    // The case keeps its signs (the line goes along +Z between them), and
    // twice the load gives, bit for bit, twice every value: a single solve
    // of the same stiffness.
    auto linear_text = [](const std::string& seismic) {
        std::string text = line_text(seismic, false, true);
        for (const char* rest : {",CLS(0,NONE),DV(0,1,0)"})
            for (std::size_t at = text.find(rest); at != std::string::npos; at = text.find(rest))
                text.replace(at, std::string(rest).size(), ",CFY");
        for (std::size_t at = text.find(",CG,GGAP=0.0625"); at != std::string::npos; at = text.find(",CG,GGAP=0.0625"))
            text.replace(at, 15, ",CFZ");
        return text;
    };
    run_keeping_states(linear_text("0,0,0.5"));
    if (HasFatalFailure())
        return;
    const CaseResults once = result(LC_SEISMIC_G);
    const double q = 0.5 * W;
    const double held = clamped_uniform(400, q) / (clamped_point(400, 400) + clamped_point(400, 600));
    for (const auto& [node, x] : {std::pair{20, 200.0}, std::pair{50, 800.0}}) {
        const double hand = clamped_uniform(x, q) - held * (clamped_point(x, 400) + clamped_point(x, 600));
        EXPECT_GT(hand, 0.0);
        expect_relative(at(once, node)[2], hand, 0.01, "node " + std::to_string(node));
    }
    expect_relative(at(once, 30)[2], 0.0, 0.0, "node 30", 1e-6);
    // The anchors push back against the load: -Z.
    EXPECT_LT(support(once, 10)[2], 0.0);

    run_keeping_states(linear_text("0,0,1"));
    if (HasFatalFailure())
        return;
    const CaseResults& twice = result(LC_SEISMIC_G);
    ASSERT_EQ(twice.displacements.size(), once.displacements.size());
    for (std::size_t k = 0; k < once.displacements.size(); ++k)
        EXPECT_EQ(twice.displacements[k], 2 * once.displacements[k]) << k;
    for (std::size_t k = 0; k < once.support_loads.size(); ++k)
        EXPECT_EQ(twice.support_loads[k], 2 * once.support_loads[k]) << k;
    for (std::size_t e = 0; e < once.forces.size(); ++e)
        for (int j = 1; j <= 12; ++j)
            EXPECT_EQ(twice.forces[e].f[j], 2 * once.forces[e].f[j]) << e << " " << j;
}

namespace {

class SettlementState : public OccasionalState {};

// The line whose anchor at x = 0 has settled s (in, down), with its weight
// acting, on the rests that stay closed, worked by the force method with
// shear deformation (S. P. Timoshenko, J. M. Gere, "Mechanics of
// Materials", the unit-load method: the deflection of a beam is the
// integral of M m / EI + alpha V v / GA): the line is the cantilever
// clamped at the anchor x = L, loaded by its weight w, the force F and the
// moment M of the settled anchor at x = 0 and the push R_j of each closed
// rest. With r the distance from the clamp, its upward deflection at r
//   under a unit force at p: min(r, p)^2 (3 max(r, p) - min(r, p)) / 6EI
//                            + alpha min(r, p) / GA,
//   under a unit moment at r = L: r^2 / 2EI,
//   under w down: -w r^2 (6 L^2 - 4 L r + r^2) / 24EI - alpha w (L r - r^2/2) / GA,
// and its slope at r = L: p^2 / 2EI, L / EI and -w L^3 / 6EI. The anchor
// moves down by s without turning and each closed rest holds the line at
// 0: F, M and R solve those equations. A rest whose R would be negative
// lifts off and is left out, until every closed rest pushes.
struct SettledLine {
    double settled = 0.0;
    // Of the anchor at x = 0 on the line: its force up, and its moment,
    // sagging at that end (clockwise in the XY plane: about -Z).
    double force = 0.0, moment = 0.0;
    std::vector<double> rest;           // up, by rest

    static double along(double x) { return SPAN - x; }
    static double under_force(double r, double p)
    {
        const double near = std::min(r, p), far = std::max(r, p);
        return near * near * (3 * far - near) / (6 * EI) + STD6.shear * near / (STD6.g * STD6.area);
    }
    static double under_weight(double r)
    {
        return -W * r * r * (6 * SPAN * SPAN - 4 * SPAN * r + r * r) / (24 * EI) -
               STD6.shear * W * (SPAN * r - r * r / 2) / (STD6.g * STD6.area);
    }
    // The line's deflection (in, up) at x.
    double up(double x) const
    {
        const double r = along(x);
        double y = under_weight(r) + force * under_force(r, SPAN) + moment * r * r / (2 * EI);
        for (std::size_t j = 0; j < rest.size(); ++j)
            y += rest[j] * under_force(r, along(REST_AT[j]));
        return y;
    }

    explicit SettledLine(double s) : settled(s), rest(std::size(REST_AT), 0.0)
    {
        std::vector<std::size_t> closed{0, 1, 2, 3};
        for (;;) {
            // The unknowns F, M, R of the closed rests; the equations: the
            // anchor's deflection and slope, each closed rest's deflection.
            const std::size_t n = 2 + closed.size();
            std::vector<double> at(n);   // the points (r) of the force unknowns
            at[0] = SPAN;
            for (std::size_t i = 0; i < closed.size(); ++i)
                at[2 + i] = along(REST_AT[closed[i]]);
            Dense a(n, std::vector<double>(n, 0.0));
            std::vector<double> b(n, 0.0);
            for (std::size_t row = 0; row < n; ++row) {
                const bool slope = row == 1;
                const double r = row == 0 ? SPAN : at[row];
                for (std::size_t col = 0; col < n; ++col) {
                    if (col == 1)   // the anchor's moment
                        a[row][col] = slope ? SPAN / EI : r * r / (2 * EI);
                    else
                        a[row][col] = slope ? at[col] * at[col] / (2 * EI) : under_force(r, at[col]);
                }
                b[row] = slope ? W * SPAN * SPAN * SPAN / (6 * EI) : -under_weight(r);
            }
            b[0] -= settled;
            const std::vector<double> x = solve_dense(a, b);
            std::vector<std::size_t> pushing;
            for (std::size_t i = 0; i < closed.size(); ++i)
                if (x[2 + i] >= 0)
                    pushing.push_back(closed[i]);
            if (pushing.size() == closed.size()) {
                force = x[0];
                moment = x[1];
                std::fill(rest.begin(), rest.end(), 0.0);
                for (std::size_t i = 0; i < closed.size(); ++i)
                    rest[closed[i]] = x[2 + i];
                return;
            }
            closed = pushing;
        }
    }
};

}  // namespace

TEST_F(SettlementState, AnchorSettlesWithTheWeightOnItsRests)
{
    // ASME Class 2 (2017), which has the Settlement case: the anchor at
    // node 10 settles 2 in. The weight keeps the line on its rests: the
    // first rest takes much of it, the second lifts off a little, the
    // others carry on, and none pulls. The case is the change from
    // Sustained, among the default cases.
    constexpr double SETTLED = 2.0;
    std::string text = line_text("", false, false, "ASME-2017");
    const std::string anchor = "F10,MA106B,PP6,KA,CL=L1";
    text.replace(text.find(anchor), anchor.size(), "F10,MA106B,PP6,KA,CL=L1,SETT(0,-2,0)");
    run_keeping_states(text);
    if (HasFatalFailure())
        return;
    const SettledLine before(0.0), after(SETTLED);
    // Equal clamped spans: each rest carries about a span's weight at first.
    for (double r : before.rest)
        EXPECT_NEAR(r, W * 200, 0.01 * W * 200);
    EXPECT_EQ(after.rest[1], 0.0);
    const double lift = after.up(400);
    EXPECT_GT(lift, 0.1);

    const CaseResults& s = result(LC_SUSTAINED);
    const CaseResults& c = result(LC_SETTLEMENT);
    EXPECT_TRUE(c.converged);
    expect_relative(at(c, 10)[1], -SETTLED, 1e-6, "the anchor's settlement");
    expect_relative(at(c, 30)[1], lift, 0.001, "the second rest's lift");
    for (std::size_t i = 0; i < std::size(RESTS); ++i) {
        const std::string at_rest = "rest " + std::to_string(RESTS[i]);
        expect_relative(support(s, RESTS[i])[0], before.rest[i], 1e-4, at_rest + " sustained");
        expect_relative(support(c, RESTS[i])[0], after.rest[i] - before.rest[i], 0.001, at_rest + " settlement", 0.5);
        EXPECT_GE(support(s, RESTS[i])[0] + support(c, RESTS[i])[0], -1e-3) << at_rest;
    }
    // The anchor: its vertical force and its moment about Z, both as the
    // change from Sustained.
    expect_relative(support(c, 10)[1], after.force - before.force, 0.001, "anchor force", 0.5);
    expect_relative(support(c, 10)[5], -(after.moment - before.moment), 0.001, "anchor moment", 50);
    check_state_from(s, state("Settlement"), "sustained + settlement");
}

TEST_F(SettlementState, UnderACodeWithoutTheCaseIsNamedNotLost)
{
    // B31.3 has no Settlement case: the model check names the node and the
    // code; the analysis goes on without it.
    std::string text = line_text("", false, false);
    const std::string anchor = "F10,MA106B,PP6,KA,CL=L1";
    text.replace(text.find(anchor), anchor.size(), "F10,MA106B,PP6,KA,CL=L1,SETT(0,-2.053,0)");
    ASSERT_NO_FATAL_FAILURE(import_ok(text));
    make_model();
    const std::vector<std::string> warnings = analysis_model_warnings(*make_analysis_model());
    EXPECT_EQ(warnings, std::vector<std::string>{"The settlement given at node 10 is not analysed: B31.3 (2018) has no "
                                                 "Settlement load case (the ASME Class 2 and 3, RCC-M and EN 13480 "
                                                 "codes have it)"});
    // Under EN 13480, which has the case, nothing to say.
    text.replace(text.find("B313"), 4, "EUROPEAN");
    reset_all();
    SetUp();
    ASSERT_NO_FATAL_FAILURE(import_ok(text));
    make_model();
    EXPECT_TRUE(analysis_model_warnings(*make_analysis_model()).empty());
}

namespace {

class SummaryFriction : public OccasionalState {
protected:
    // Analyses the text's model, opens its results and builds their summary.
    void open_summary_of(const std::string& text)
    {
        ASSERT_NO_FATAL_FAILURE(import_ok(text));
        make_model();
        std::unique_ptr<AnalysisModel> snapshot = make_analysis_model();
        snapshot->output.results_path = folder_.path("line.res");
        const RunOutcome outcome = run_analysis(*snapshot, {});
        ASSERT_TRUE(outcome.completed) << outcome.message;
        ASSERT_TRUE(load_results(folder_.path("line.res"), "").empty());
        ASSERT_TRUE(support_summary_built());
    }
    void TearDown() override
    {
        close_results();
        OccasionalState::TearDown();
    }
    static int column(const std::string& name)
    {
        const OneBased<std::string>& columns = support_summary_columns();
        for (int c = 1; c <= columns.size(); ++c)
            if (columns[c] == name)
                return c;
        ADD_FAILURE() << "no column " << name;
        return 1;
    }
    // The friction of the rest at a node in a column, and in every column
    // but the allowables.
    static const SupportItem& rest_at(int node)
    {
        for (const LayoutRow& r : model().rows)
            if (r.node == node && r.dtype == DT_LIMIT_STOP)
                return dynamic_cast<const SupportItem&>(*r.data);
        throw MessageText("no rest at node " + std::to_string(node));
    }
    static float value(int node, const std::string& name, int word = 1)
    {
        return rest_at(node).summary[static_cast<std::size_t>(column(name))][static_cast<std::size_t>(word)];
    }
    static void expect_every_friction_a_magnitude(int node)
    {
        const auto& summary = rest_at(node).summary;
        for (int c = 1; c < column("Allowables"); ++c)
            EXPECT_GE(summary[static_cast<std::size_t>(c)][1], 0.0f)
                << "rest " << node << " " << support_summary_columns()[c];
    }

    ScratchFolder folder_{"summary-friction"};
};

}  // namespace

TEST_F(SummaryFriction, ARestThatLiftsOffGivesNoNegativeFriction)
{
    // The line free at its far end, heated: it grows along its rests,
    // which slide at mu N in Operating. 1.2 g upward lifts it off them (its
    // friction goes to 0), -1.2 g presses them with 2.2 times the weight
    // (2.2 mu N): the case holds the larger change, 1.2 mu N, so that
    // Operating - Seismic, mu N - 1.2 mu N, is shown as 0, a magnitude.
    std::string text = line_text("0,1.2,0", true, false);
    const std::string far_end = "T60,X200,KA\n";
    text.replace(text.find(far_end), far_end.size(), "T60,X200,CLS(0,NONE),DV(0,1,0),MU=0.3\n");
    ASSERT_NO_FATAL_FAILURE(open_summary_of(text));
    for (int node : {20, 30, 40, 50, 60}) {
        const std::string at_rest = "rest " + std::to_string(node);
        expect_relative(value(node, "Operating1"), MU * value(node, "Operating1", 0), 1e-3,
                        at_rest + " operating friction");
        EXPECT_EQ(value(node, "Operating1-Seismic"), 0.0f) << at_rest;
        expect_every_friction_a_magnitude(node);
    }
}

TEST_F(SummaryFriction, CombinationsOfTheSlidingRestsFrictionAreMagnitudes)
{
    // The 1 g line sliding on its rests, analysed, its results opened and
    // summed up: each rest's friction is 0 in Sustained (nothing moves
    // it), mu N in the Seismic (g) case; so Sustained + Seismic is mu N and
    // Sustained - Seismic, a bound, is 0, not -mu N.
    ASSERT_NO_FATAL_FAILURE(open_summary_of(line_text("0,0,1", true, false)));
    const double friction = MU * W * 200;
    for (int node : RESTS) {
        const std::string at_rest = "rest " + std::to_string(node);
        EXPECT_NEAR(value(node, "Sustained"), 0.0, 1.0) << at_rest;
        expect_relative(value(node, "Sustained+Seismic"), friction, 0.01, at_rest + " sustained + seismic");
        EXPECT_EQ(value(node, "Sustained-Seismic"), 0.0f) << at_rest;
        EXPECT_EQ(value(node, "Operating1-Seismic"), 0.0f) << at_rest;
        expect_every_friction_a_magnitude(node);
    }
}
