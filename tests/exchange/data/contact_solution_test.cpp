// The contacts of whole models solved together: rests that lift off or
// carry, axial stops that a heated line closes or leaves open, two stops on
// one run where the far one keeps the near one open, and the lines the run
// gives for each nonlinear case. Each answer is the linear solution of the
// state settled by hand, in closed form (cantilever and bar formulas of
// batch_solve_fixture.h, Timoshenko beam with the anchor's springs).
#include "analysis/static_analysis.h"
#include "exchange/data/frame_solver.h"
#include "framework/text.h"
#include "model/load_cases.h"

#include <algorithm>
#include <array>

using namespace batch_test;

namespace {

using ContactHandCases = FrameSolveTest;
using NonlinearConvergence = FrameSolveTest;

const Tube STD6{6.625, 0.28, 27.9e6, 0.3};
// The 6 in line's steel weight, lb/in.
const double W6 = 0.283 * STD6.area;
constexpr double REL = 1e-6;

// 15 ft of 6 in STD along X from an anchor at node 10 to node 20, whose row
// carries the items given, with the loads given (a tip force row after it).
std::string cantilever_text(const std::string& tip_items, const std::string& after = "")
{
    return "Cantilever\n" + ENGLISH_HEAD + "P6,6.625,0.28\nLAYOUT\nF10,MA106B,PP6,KA\nT20,X180," + tip_items + "\n" +
           after;
}

// 20 ft of 6 in STD along X from an anchor at node 10, node 20 at 10 ft and
// node 30 at its end, heated from 70 to `hot` degF; the rows of 20 and 30
// carry the items given.
std::string heated_run_text(double hot, const std::string& at20, const std::string& at30)
{
    return "Heated run\n" + ENGLISH_HEAD + "P6,6.625,0.28\nLOADS\n" + c_format("L1,%g,0\n", hot) +
           "LAYOUT\nF10,MA106B,PP6,KA,CL=L1\nT20,X120" + at20 + "\nT30,X120" + at30 + "\n";
}

// The free growth of a length of the run heated to `hot`.
double growth(double hot, double length)
{
    return alpha_english(hot) * (hot - 70.0) * length;
}

}  // namespace

TEST_F(ContactHandCases, TipRestLiftsOffUnderAnUpwardForce)
{
    // An upward force at the tip beyond what the weight leaves on the rest:
    // the tip lifts off and rises by P f - sag; the rest carries nothing.
    const double l = 180, force = 400;
    const double sag = STD6.tip_under_uniform(l, W6, RIGID, RIGID), f = STD6.tip_flexibility(l, RIGID, RIGID);
    ASSERT_GT(force * f, sag);
    run(cantilever_text("CLS(0,NONE),DV(0,1,0)", c_format("L20,CFOR(0,%g,0)\n", force)));
    if (HasFatalFailure())
        return;
    const CaseResults& s = result(LC_SUSTAINED);
    EXPECT_TRUE(s.converged);
    EXPECT_EQ(support(s, 20)[0], 0.0);
    expect_relative(at(s, 20)[1], force * f - sag, REL, "tip lifted");
    expect_relative(support(s, 10)[1], W6 * l - force, REL, "anchor");
}

TEST_F(ContactHandCases, TipRestCarriesWhatASmallUpwardForceLeaves)
{
    // A force below the weight's share: the rest stays closed and carries
    // R from -sag + (P + R) f = -R / k.
    const double l = 180, force = 60;
    const double sag = STD6.tip_under_uniform(l, W6, RIGID, RIGID), f = STD6.tip_flexibility(l, RIGID, RIGID);
    const double r = (sag - force * f) / (f + 1 / RIGID);
    ASSERT_GT(r, 0.0);
    run(cantilever_text("CLS(0,NONE),DV(0,1,0)", c_format("L20,CFOR(0,%g,0)\n", force)));
    if (HasFatalFailure())
        return;
    const CaseResults& s = result(LC_SUSTAINED);
    EXPECT_TRUE(s.converged);
    expect_relative(support(s, 20)[0], r, REL, "rest load");
    expect_relative(support(s, 10)[1], W6 * l - force - r, REL, "anchor");
}

TEST_F(ContactHandCases, HeatedLineClosesTheGapOfAnAxialStopOnOneSide)
{
    // An axial stop at the end, 0.05 in of room ahead and 0.25 in behind:
    // the growth closes the front gap and the stop holds the rest of it,
    // R = (growth - gap) / (l / EA + 1 / k), pushing back along -X.
    const double hot = 400, l = 240, gap = 0.05;
    const double ea = STD6.e * STD6.area;
    const double free = growth(hot, l);
    ASSERT_GT(free, gap);
    run(heated_run_text(hot, "", ",CLS(-0.25,0.05),DV(1,0,0)"));
    if (HasFatalFailure())
        return;
    const double r = (free - gap) / (l / ea + 1 / RIGID + 1 / RIGID);
    const CaseResults& o = result(operating_code(1));
    EXPECT_TRUE(o.converged);
    expect_relative(support(o, 30)[0], -r, REL, "stop load");
    expect_relative(at(o, 30)[0], gap + r / RIGID, REL, "end against the stop");
    expect_relative(support(o, 10)[0], r, REL, "anchor takes the thrust");
    // Cold, nothing reaches either limit.
    const CaseResults& s = result(LC_SUSTAINED);
    EXPECT_EQ(support(s, 30)[0], 0.0);
}

TEST_F(ContactHandCases, HeatedLineLeavesAWideGapOpen)
{
    const double hot = 400, l = 240;
    const double free = growth(hot, l);
    ASSERT_LT(free, 1.0);
    run(heated_run_text(hot, "", ",CLS(-1.0,1.0),DV(1,0,0)"));
    if (HasFatalFailure())
        return;
    const CaseResults& o = result(operating_code(1));
    EXPECT_TRUE(o.converged);
    EXPECT_EQ(support(o, 30)[0], 0.0);
    expect_relative(at(o, 30)[0], free, REL, "free growth");
    EXPECT_NEAR(support(o, 10)[0], 0.0, 1e-6);
}

TEST_F(ContactHandCases, FarStopOfAStiffRunKeepsTheNearOneOpen)
{
    // Stops along X at 10 ft (0.02 in of room) and at 20 ft (0.03 in). Both
    // closed, the near one would have to pull; with the far one closed the
    // run between the anchor and it carries one force N = (0.03 - growth)
    // / (l / EA + 2 / k) and the near node stands at half the far one's
    // motion plus half the growth of the run, inside its room.
    const double hot = 300, l = 240;
    const double ea = STD6.e * STD6.area;
    const double free = growth(hot, l);
    ASSERT_GT(free / 2, 0.02);
    run(heated_run_text(hot, ",CLS(NONE,0.02),DV(1,0,0)", ",CLS(NONE,0.03),DV(1,0,0)"));
    if (HasFatalFailure())
        return;
    const double n = (0.03 - free) / (l / ea + 2 / RIGID);
    ASSERT_LT(n, 0.0);
    const CaseResults& o = result(operating_code(1));
    EXPECT_TRUE(o.converged);
    expect_relative(support(o, 30)[0], n, REL, "far stop");
    EXPECT_EQ(support(o, 20)[0], 0.0);
    const double near = free / 2 + n * (l / 2) / ea + n / RIGID;
    ASSERT_LT(near, 0.02);
    expect_relative(at(o, 20)[0], near, REL, "near node inside its room");
    expect_relative(support(o, 10)[0], -n, REL, "anchor");
}

TEST_F(ContactHandCases, BothStopsCloseWhenTheNearOneHasLessRoomThanHalf)
{
    // Room 0.005 in at 10 ft and 0.03 in at 20 ft: half the far node's
    // motion with the near one open would pass 0.005, so both close; the
    // near stop holds the first half's growth beyond its room less what the
    // second half pushes back: R20 = N1 - N2 with N1 = (0.005 - g1) / (l1 /
    // EA + 2 / k) and N2 = (0.025 - g2) / (l2 / EA) for rigid stops.
    const double hot = 300, half = 120;
    const double ea = STD6.e * STD6.area;
    const double g = growth(hot, half);
    run(heated_run_text(hot, ",CLS(NONE,0.005),DV(1,0,0)", ",CLS(NONE,0.03),DV(1,0,0)"));
    if (HasFatalFailure())
        return;
    const CaseResults& o = result(operating_code(1));
    EXPECT_TRUE(o.converged);
    // The nodes stand at their limits less the stops' compression, which
    // for rigid stops changes the forces by about 1e-8: the bar formulas
    // with the limits as the motions.
    const double n1 = ea / half * (0.005 - g), n2 = ea / half * (0.025 - g);
    ASSERT_LT(n1 - n2, 0.0);
    ASSERT_LT(n2, 0.0);
    expect_relative(support(o, 30)[0], n2, 1e-5, "far stop");
    expect_relative(support(o, 20)[0], n1 - n2, 1e-5, "near stop");
    expect_relative(support(o, 10)[0], -n1, 1e-5, "anchor");
}

TEST_F(ContactHandCases, HeatedLineClosesTheStopAtItsMiddleAndGrowsFreelyBeyond)
{
    // One stop at 10 ft with 0.02 in of room and a free end at 20 ft: the
    // first half's growth beyond the room is held, R = (g - 0.02) / (l / EA
    // + 2 / k), and the second half grows freely from the stop.
    const double hot = 300, half = 120;
    const double ea = STD6.e * STD6.area;
    const double g = growth(hot, half);
    ASSERT_GT(g, 0.02);
    run(heated_run_text(hot, ",CLS(NONE,0.02),DV(1,0,0)", ""));
    if (HasFatalFailure())
        return;
    const double r = (g - 0.02) / (half / ea + 2 / RIGID);
    const CaseResults& o = result(operating_code(1));
    EXPECT_TRUE(o.converged);
    expect_relative(support(o, 20)[0], -r, REL, "stop");
    expect_relative(at(o, 30)[0], 0.02 + r / RIGID + g, REL, "free end");
    expect_relative(support(o, 10)[0], r, REL, "anchor");
}

namespace {

// Four stops along Y under a 20 ft cantilever of 6 in STD with its weight,
// at 10, 12, 16 and 20 ft with 0.1, 0, 0.2 and 0.05 in of room below, 1000
// lb down at the tip and 2000 lb up at 14 ft. Changing every contradicted
// status at once goes round a cycle of three states from the start (the
// rest at 12 ft closed); the state the contacts settle to is the one of
// the sixteen whose stops push and whose open nodes stay above their room.
struct FourStops {
    static constexpr int COUNT = 4;
    std::array<double, COUNT> x{120, 144, 192, 240};
    std::array<double, COUNT> room{0.1, 0.0, 0.2, 0.05};
    double length = 240, tip_force = -1000, lift = 2000, lift_at = 168;

    // The Timoshenko cantilever from a rigid anchor (translational and
    // rotational springs RIGID): the deflection at a under a unit force at
    // b, a^2 (3b - a) / 6EI + alpha a / GA + 1/kt + a b / kr for a <= b.
    static double flexibility(double a, double b)
    {
        if (a > b)
            std::swap(a, b);
        return a * a * (3 * b - a) / (6 * STD6.e * STD6.inertia) + STD6.shear * a / (STD6.g * STD6.area) + 1 / RIGID +
               a * b / RIGID;
    }
    // Under the weight q per inch: q x^2 (6L^2 - 4Lx + x^2) / 24EI + alpha q
    // (Lx - x^2 / 2) / GA and the anchor's springs under q L and q L^2 / 2.
    double under_weight(double at) const
    {
        const double q = W6, l = length;
        return -(q * at * at * (6 * l * l - 4 * l * at + at * at) / (24 * STD6.e * STD6.inertia) +
                 STD6.shear * q * (l * at - at * at / 2) / (STD6.g * STD6.area) + q * l / RIGID + q * l * l / 2 * at / RIGID);
    }
    // The stops' loads R (up) and the nodes' motions u in the state whose
    // closed stops are `closed` (bit i for stop i): (W + I/k) R = -room - u0
    // over the closed ones.
    void solve(unsigned closed, std::array<double, COUNT>& r, std::array<double, COUNT>& u) const
    {
        std::array<double, COUNT> free{};
        for (int i = 0; i < COUNT; ++i)
            free[i] = under_weight(x[i]) + tip_force * flexibility(x[i], length) + lift * flexibility(x[i], lift_at);
        std::vector<int> on;
        for (int i = 0; i < COUNT; ++i)
            if (closed >> i & 1)
                on.push_back(i);
        Dense a(on.size(), std::vector<double>(on.size()));
        std::vector<double> b(on.size());
        for (std::size_t p = 0; p < on.size(); ++p) {
            for (std::size_t q = 0; q < on.size(); ++q)
                a[p][q] = flexibility(x[on[p]], x[on[q]]) + (p == q ? 1 / RIGID : 0.0);
            b[p] = -room[on[p]] - free[on[p]];
        }
        const std::vector<double> held = on.empty() ? std::vector<double>{} : solve_dense(a, b);
        r = {};
        for (std::size_t p = 0; p < on.size(); ++p)
            r[on[p]] = held[p];
        for (int i = 0; i < COUNT; ++i) {
            u[i] = free[i];
            for (int j = 0; j < COUNT; ++j)
                u[i] += flexibility(x[i], x[j]) * r[j];
        }
    }
    // The statuses a solution of `closed` asks for, all at once.
    unsigned asked(unsigned closed) const
    {
        std::array<double, COUNT> r{}, u{};
        solve(closed, r, u);
        unsigned next = 0;
        for (int i = 0; i < COUNT; ++i)
            if ((closed >> i & 1) ? r[i] >= 0 : u[i] < -room[i])
                next |= 1u << i;
        return next;
    }
    std::string text() const
    {
        return "Four stops\n" + ENGLISH_HEAD + "P6,6.625,0.28\nLAYOUT\nF10,MA106B,PP6,KA\n" +
               "T20,X120,CLS(-0.1,NONE),DV(0,1,0)\nT30,X24,CLS(0,NONE),DV(0,1,0)\nT35,X24\n" +
               "T40,X24,CLS(-0.2,NONE),DV(0,1,0)\nT50,X48,CLS(-0.05,NONE),DV(0,1,0)\n" +
               c_format("L35,CFOR(0,%g,0)\nL50,CFOR(0,%g,0)\n", lift, tip_force);
    }
};

}  // namespace

TEST_F(ContactHandCases, StopsThatGoRoundACycleWhenAllChangeAtOnceSettle)
{
    const FourStops stops;
    // All at once from the start state: it comes back to a state it left.
    std::vector<unsigned> seen{0b0010};
    bool cycle = false;
    for (int k = 0; k < 8 && !cycle; ++k) {
        const unsigned next = stops.asked(seen.back());
        ASSERT_NE(next, seen.back()) << "all at once settled";
        cycle = std::find(seen.begin(), seen.end(), next) != seen.end();
        seen.push_back(next);
    }
    ASSERT_TRUE(cycle);
    // The solution: the one complementary state of the sixteen.
    int found = -1;
    std::array<double, FourStops::COUNT> r{}, u{};
    for (unsigned closed = 0; closed < 16; ++closed) {
        std::array<double, FourStops::COUNT> rc{}, uc{};
        stops.solve(closed, rc, uc);
        bool fits = true;
        for (int i = 0; i < FourStops::COUNT; ++i)
            fits = fits && ((closed >> i & 1) ? rc[i] >= 0 : uc[i] >= -stops.room[i]);
        if (fits) {
            ASSERT_EQ(found, -1) << "two solutions";
            found = static_cast<int>(closed);
            r = rc;
            u = uc;
        }
    }
    ASSERT_GE(found, 0);

    run(stops.text());
    if (HasFatalFailure())
        return;
    const CaseResults& s = result(LC_SUSTAINED);
    EXPECT_TRUE(s.converged);
    const int nodes[FourStops::COUNT] = {20, 30, 40, 50};
    double scale = 0.0;
    for (double v : r)
        scale = std::max(scale, std::fabs(v));
    for (int i = 0; i < FourStops::COUNT; ++i) {
        expect_relative(support(s, nodes[i])[0], r[i], 0.0, c_format("stop at node %d", nodes[i]), 1e-6 * scale);
        expect_relative(at(s, nodes[i])[1], u[i], 1e-6, c_format("node %d", nodes[i]), 1e-9);
    }
}

TEST_F(NonlinearConvergence, EachNonlinearCaseCountsItsFactorisations)
{
    run(heated_run_text(300, ",CLS(NONE,0.02),DV(1,0,0)", ",CLS(NONE,0.03),DV(1,0,0)"));
    if (HasFatalFailure())
        return;
    for (int code : {static_cast<int>(LC_SUSTAINED), operating_code(1)}) {
        const CaseResults& c = result(code);
        EXPECT_TRUE(c.converged) << code;
        EXPECT_GE(c.factorisations, 1) << code;
        EXPECT_LE(c.factorisations, c.iterations) << code;
    }
    // Cold, the stops stay open as they start: one solution settles it.
    EXPECT_EQ(result(LC_SUSTAINED).iterations, 1);
    // Hot, both close at once and the near one lets go: three solutions.
    EXPECT_EQ(result(operating_code(1)).iterations, 3);
}

TEST_F(NonlinearConvergence, TheExpansionOfANonlinearModelIsOperatingLessSustained)
{
    run(heated_run_text(400, "", ",CLS(-0.25,0.05),DV(1,0,0)"));
    if (HasFatalFailure())
        return;
    const CaseResults& o = result(operating_code(1));
    const CaseResults& s = result(LC_SUSTAINED);
    const CaseResults& e = result(LC_EXPANSION_T1);
    ASSERT_EQ(e.displacements.size(), o.displacements.size());
    for (std::size_t k = 0; k < e.displacements.size(); ++k)
        EXPECT_DOUBLE_EQ(e.displacements[k], o.displacements[k] - s.displacements[k]) << k;
    for (std::size_t k = 0; k < e.support_loads.size(); ++k)
        EXPECT_DOUBLE_EQ(e.support_loads[k], o.support_loads[k] - s.support_loads[k]) << k;
}

TEST(NonlinearConvergenceNote, NamesTheCaseItsIterationsAndFactorisations)
{
    EXPECT_EQ(case_note(operating_code(1), true, 17, 9),
              "Operating (W+P1+T1): converged in 17 iterations, 9 factorisations");
    EXPECT_EQ(case_note(LC_SUSTAINED, false, 100, 100),
              "Sustained (W+P): not converged after 100 iterations, 100 factorisations");
}
