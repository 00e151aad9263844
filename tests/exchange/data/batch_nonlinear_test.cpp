// Whole models whose supports make the analysis iterate: a gap that closes,
// a rest the pipe slides on against friction or sticks to, a rod hanger the
// heated line lifts off, a guide whose gap closes, a guide on a riser, an
// axial stop pushed past its upper limit. Each answer is the linear solution
// of the state settled by hand (which stops are closed, which slide), worked
// in closed form or with the frame solver of the tests, and the test also
// checks that the state is consistent: closed stops push the pipe the way
// they can, open ones stay inside their gaps, a sticking rest holds less
// than mu N. Every state here settles exactly (the friction follows from a
// normal force that does not change with it), so the runs agree with the
// answers as closely as the linear ones do.
#include "exchange/batch_export.h"
#include "exchange/data/frame_solver.h"
#include "framework/data/thrown_text.h"
#include "framework/state.h"
#include "framework/text.h"
#include "model/model_file.h"
#include "supports/limit_stop.h"

using namespace batch_test;

namespace {

using BatchNonlinearTest = FrameSolveTest;

const Tube STD6{6.625, 0.28, 27.9e6, 0.3};
// The 6 in line's steel weight, lb/in.
const double W6 = 0.283 * STD6.area;
constexpr double REL = 1e-6;

const Vec X{1, 0, 0}, Y{0, 1, 0}, Z{0, 0, 1};

// 15 ft of 6 in STD along X from an anchor at node 10 to node 20, whose row
// carries the items given.
std::string cantilever_text(const std::string& tip_items, const std::string& loads = "")
{
    return "Cantilever\n" + ENGLISH_HEAD + "P6,6.625,0.28\n" + loads +
           "LAYOUT\n"
           "F10,MA106B,PP6,KA" +
           (loads.empty() ? "" : ",CL=L1") +
           "\n"
           "T20,X180," +
           tip_items + "\n";
}

}  // namespace

TEST_F(BatchNonlinearTest, CantileverSettlesOnARestBelowItsTip)
{
    // A rest 0.1 in below the tip: a limit stop along Y with the lower limit
    // -0.1 in and none above. Free, the tip would sag by about 0.26 in.
    run(cantilever_text("CLS(-0.1,NONE),DV(0,1,0)"));
    if (HasFatalFailure())
        return;

    // Closed: the tip stands at the limit less the stop's compression R / k,
    // and -sag + R f = -gap - R / k gives R = (sag - gap) / (f + 1/k).
    const double l = 180, gap = 0.1;
    const double sag = STD6.tip_under_uniform(l, W6, RIGID, RIGID), f = STD6.tip_flexibility(l, RIGID, RIGID);
    ASSERT_GT(sag, gap);
    const double r = (sag - gap) / (f + 1 / RIGID);
    ASSERT_GT(r, 0.0);   // the rest pushes up

    const CaseResults& s = result(LC_SUSTAINED);
    expect_relative(support(s, 20)[0], r, REL, "rest load");
    EXPECT_NEAR(support(s, 20)[1], 0.0, 1e-9 * r);
    expect_relative(at(s, 20)[1], -gap - r / RIGID, REL, "tip on the rest");
    expect_relative(support(s, 10)[1], W6 * l - r, REL, "anchor");
    // About Z: the weight's moment less the rest's, w l^2/2 - R l, on the pipe.
    expect_relative(support(s, 10)[5], W6 * l * l / 2 - r * l, REL, "anchor moment");
}

namespace {

using StopWithoutGap = BatchNonlinearTest;

}  // namespace

TEST_F(StopWithoutGap, HoldsTheTipWhereItStandsAsARigidRestraintWould)
{
    // LS(0,0) along Y: both limits where the tip stands. Under its weight the
    // tip presses on the lower limit, lifted by an upward 300 lb force it
    // presses on the upper one; either way it stays at 0 but for the stop's
    // own compression R / k, as a restraint along Y holds it. A tip held by
    // a rigid spring k: -sag + R f = -R / k, R = sag / (f + 1/k) (closed
    // form of the cantilever, the shear of the thick tube included).
    const double l = 180, force = 300;
    const double sag = STD6.tip_under_uniform(l, W6, RIGID, RIGID), f = STD6.tip_flexibility(l, RIGID, RIGID);
    for (const bool lifted : {false, true}) {
        SCOPED_TRACE(lifted ? "lifted" : "resting");
        reset_model();
        clear_model_sections();
        run(cantilever_text("CLS(0,0),DV(0,1,0)") + (lifted ? "L20,CFOR(0,300,0)\n" : ""));
        if (HasFatalFailure())
            return;
        const double push = lifted ? force : 0.0;
        const double r = (sag - push * f) / (f + 1 / RIGID);
        ASSERT_NE(r > 0.0, lifted);   // down onto the lower limit, or up onto the upper one
        const CaseResults& s = result(LC_SUSTAINED);
        expect_relative(support(s, 20)[0], r, REL, "stop load");
        EXPECT_NEAR(at(s, 20)[1], 0.0, 1e-9);
        expect_relative(at(s, 20)[1], -r / RIGID, REL, "tip");
        expect_relative(support(s, 10)[1], W6 * l - push - r, REL, "anchor");
    }
}

TEST_F(StopWithoutGap, IsTakenByTheImportTheModelCheckAndTheExportWhileCrossedLimitsAreNot)
{
    // A stop whose two limits are 0 is taken wherever a model goes; one
    // whose upper limit lies below the lower is not, even at 0.
    import_ok(cantilever_text("CLS(0,0),DV(0,1,0)"));
    const LimitStopValues stop = data<LimitStop>(row_of(20)).v;
    EXPECT_EQ(stop.lower, 0.0f);
    EXPECT_EQ(stop.upper, 0.0f);
    EXPECT_EQ(thrown_text([] { LimitStop::check_values(data<LimitStop>(row_of(20)).v); }), "<nothing thrown>");
    const std::string exported = batch_export_text();
    EXPECT_NE(exported.find("LS(0,0)"), std::string::npos) << exported;
    reset_model();
    clear_model_sections();
    import_ok(exported);
    EXPECT_EQ(data<LimitStop>(row_of(20)).v, stop);
    for (const char* crossed : {"CLS(0,-0.1)", "CLS(0.1,-0.1)", "CLS(0.5,0.5)"}) {
        reset_model();
        clear_model_sections();
        EXPECT_EQ(import(cantilever_text(std::string(crossed) + ",DV(0,1,0)")),
                  "Line = 12 :  T20,X180," + std::string(crossed) + ",DV(0,1,0)\nInvalid limit stop: " +
                      std::string(crossed).substr(1) + "\nUpper limit should be greater than the lower limit, or both limits 0")
            << crossed;
    }
}

TEST_F(BatchNonlinearTest, CantileverSettlesOnASpringRestBelowItsTip)
{
    // The same rest of stiffness 500 lb/in: the tip goes on down past the
    // limit by R / k.
    run(cantilever_text("CLS(-0.1,NONE),DV(0,1,0),STIFF=500"));
    if (HasFatalFailure())
        return;

    const double l = 180, gap = 0.1, k = 500;
    const double sag = STD6.tip_under_uniform(l, W6, RIGID, RIGID), f = STD6.tip_flexibility(l, RIGID, RIGID);
    const double r = (sag - gap) / (f + 1 / k);
    ASSERT_GT(r, 0.0);

    const CaseResults& s = result(LC_SUSTAINED);
    expect_relative(support(s, 20)[0], r, REL, "rest load");
    expect_relative(at(s, 20)[1], -gap - r / k, REL, "tip");
    expect_relative(support(s, 10)[1], W6 * l - r, REL, "anchor");
}

TEST_F(BatchNonlinearTest, CantileverClearsARestFarBelowItsTip)
{
    // 0.5 in below, more than the free sag: the gap stays open, the rest
    // carries nothing.
    run(cantilever_text("CLS(-0.5,NONE),DV(0,1,0)"));
    if (HasFatalFailure())
        return;

    const double l = 180, sag = STD6.tip_under_uniform(l, W6, RIGID, RIGID);
    ASSERT_LT(sag, 0.5);
    const CaseResults& s = result(LC_SUSTAINED);
    EXPECT_EQ(support(s, 20)[0], 0.0);
    expect_relative(at(s, 20)[1], -sag, REL, "free tip");
    expect_relative(support(s, 10)[1], W6 * l, REL, "anchor carries it all");
}

TEST_F(BatchNonlinearTest, CantileverHeldDownByAStopAboveItsTip)
{
    // A stop 0.05 in above the tip (upper limit along Y, none below) and an
    // upward force of 300 lb at the tip: the weight alone would leave the
    // gap open, the force lifts the tip into the stop, which then pushes
    // down. Free rise: P f - sag.
    run(cantilever_text("CLS(NONE,0.05),DV(0,1,0)") + "L20,CFOR(0,300,0)\n");
    if (HasFatalFailure())
        return;

    const double l = 180, gap = 0.05, force = 300;
    const double sag = STD6.tip_under_uniform(l, W6, RIGID, RIGID), f = STD6.tip_flexibility(l, RIGID, RIGID);
    ASSERT_GT(force * f - sag, gap);
    // Closed at the upper limit: -sag + (P + R) f = gap - R / k, R < 0.
    const double r = (gap + sag - force * f) / (f + 1 / RIGID);
    ASSERT_LT(r, 0.0);

    const CaseResults& s = result(LC_SUSTAINED);
    expect_relative(support(s, 20)[0], r, REL, "stop load");
    expect_relative(at(s, 20)[1], gap - r / RIGID, REL, "tip against the stop");
    expect_relative(support(s, 10)[1], W6 * l - force - r, REL, "anchor");
}

TEST_F(BatchNonlinearTest, HeatedLineSlidesOnAFrictionRestAtItsEnd)
{
    // 20 ft of 6 in STD from an anchor at node 10 to a rest at node 20
    // (mu 0.3), heated from 70 to 400 degF. The growth needs a force near
    // EA alpha dT to hold, far beyond mu N: the end slides along +X and the
    // rest pulls it back by mu N.
    run("Sliding\n" + ENGLISH_HEAD +
        "P6,6.625,0.28\n"
        "LOADS\n"
        "L1,400,0\n"
        "LAYOUT\n"
        "F10,MA106B,PP6,KA,CL=L1\n"
        "T20,X240,CLS(0,NONE),DV(0,1,0),MU=0.3\n");
    if (HasFatalFailure())
        return;

    // N: the propped cantilever, the tip held at 0 by the rest's spring:
    // -sag + N f = -N / k. The friction along the pipe's axis bends nothing,
    // so N is the same hot and cold.
    const double l = 240, mu = 0.3;
    const double sag = STD6.tip_under_uniform(l, W6, RIGID, RIGID), f = STD6.tip_flexibility(l, RIGID, RIGID);
    const double n = sag / (f + 1 / RIGID), friction = mu * n;
    const double growth = alpha_english(400) * (400 - 70) * l;
    const double ea = STD6.e * STD6.area;
    // To hold the end would take the force that undoes the growth.
    ASSERT_GT(growth / (l / ea + 2 / RIGID), friction);

    const CaseResults& o = result(operating_code(1));
    expect_relative(support(o, 20)[0], n, REL, "normal force, operating");
    expect_relative(support(o, 20)[1], friction, REL, "friction, operating");
    // The end moves by the growth less the shortening under the friction.
    expect_relative(at(o, 20)[0], growth - friction * (l / ea + 1 / RIGID), REL, "end slides");
    expect_relative(support(o, 10)[0], friction, REL, "anchor holds the friction");
    expect_relative(o.forces[0].f[1], -friction, REL, "pipe in compression");
    expect_relative(support(o, 10)[1], W6 * l - n, REL, "anchor, vertical");
    expect_relative(support(o, 10)[5], W6 * l * l / 2 - n * l, REL, "anchor moment");

    // Cold, nothing moves along the pipe and the rest holds no friction.
    const CaseResults& s = result(LC_SUSTAINED);
    expect_relative(support(s, 20)[0], n, REL, "normal force, sustained");
    EXPECT_NEAR(support(s, 20)[1], 0.0, 1e-9 * friction);
    EXPECT_NEAR(support(s, 10)[0], 0.0, 1e-9 * friction);
    // The Expansion case is the range from the installed state to the
    // operating one: along the pipe all of the operating slide and its
    // friction, nothing up or down.
    const CaseResults& e = result(LC_EXPANSION_T1);
    expect_relative(support(e, 20)[1], friction, REL, "friction, expansion");
    expect_relative(support(e, 10)[0], friction, REL, "anchor, expansion");
    expect_relative(at(e, 20)[0], growth - friction * (l / ea + 1 / RIGID), REL, "end slides, expansion");
    EXPECT_NEAR(support(e, 20)[0], 0.0, 1e-9 * n);
}

namespace {

// An L in the horizontal plane of 6 in STD: anchor 10, 10 ft along X to the
// corner 20, 5 ft along Z to node 30 on a rest with friction, carrying a
// valve; heated from 70 degF to `hot`.
std::string l_on_a_rest_text(double hot, double mu, double valve)
{
    return "L on a rest\n" + ENGLISH_HEAD + "P6,6.625,0.28\n" + "LOADS\n" + c_format("L1,%g,0\n", hot) +
           "LAYOUT\n"
           "F10,MA106B,PP6,KA,CL=L1\n"
           "T20,X120\n" +
           c_format("T30,Z60,CLS(0,NONE),DV(0,1,0),MU=%g\n", mu) + c_format("L30,CCWGT=%g\n", valve);
}

const std::vector<Frame::Corner> L_ROUTE = {{10, {0, 0, 0}}, {20, {120, 0, 0}}, {30, {120, 0, 60}}};

}  // namespace

TEST_F(BatchNonlinearTest, HeatedLSticksOnAFrictionRestUnderAHeavyValve)
{
    // 100 degF, mu 0.4, an 800 lb valve on the rest: holding the end where
    // it stands takes less than mu N, so it sticks.
    run(l_on_a_rest_text(100, 0.4, 800));
    if (HasFatalFailure())
        return;

    // Sticking, the rest holds the end along X, Y and Z: the frame with
    // three rigid springs there. In the plane of the L the weight does
    // nothing and the heat nothing out of it, so N is the same as cold.
    const Frame frame(STD6, L_ROUTE, RIGID, RIGID, {10});
    const std::map<int, Six> valve{{30, {0, -800, 0, 0, 0, 0}}};
    const std::vector<Frame::Support> held{{30, Y, RIGID}, {30, X, RIGID}, {30, Z, RIGID}};
    const Frame::Solution hot = frame.solve(alpha_english(100) * 30, {0, -W6, 0}, valve, held);
    const double n = hot.support[0], friction = std::hypot(hot.support[1], hot.support[2]);
    ASSERT_GT(n, 0.0);
    ASSERT_LT(friction, 0.4 * n);         // sticking is consistent
    ASSERT_GT(friction, 0.4 * 0.3 * n);   // and the friction is no trifle

    expect_case(operating_code(1), frame, hot, 1, 1, "sticking");
    const CaseResults& o = result(operating_code(1));
    expect_relative(support(o, 30)[0], n, AGREE, "normal force");
    expect_relative(support(o, 30)[1], friction, AGREE, "friction held");
}

TEST_F(BatchNonlinearTest, HeatedLSlidesOnAFrictionRest)
{
    // 300 degF, mu 0.3, a 100 lb valve: holding the end would take more than
    // mu N. It slides, the friction mu N against its motion, whose direction
    // in the plane of the L is found by iterating by hand: the end's motion
    // under the heat and the friction, the friction turned against it, until
    // the direction stands.
    run(l_on_a_rest_text(300, 0.3, 100));
    if (HasFatalFailure())
        return;

    const Frame frame(STD6, L_ROUTE, RIGID, RIGID, {10});
    const double strain = alpha_english(300) * 230, mu = 0.3;
    const Vec weight{0, -W6, 0};
    // N from the vertical problem alone (the friction lies in the plane).
    const double n = frame.solve(0, weight, {{30, {0, -100, 0, 0, 0, 0}}}, {{30, Y, RIGID}}).support[0];
    const double friction = mu * n;
    const std::vector<Frame::Support> held{{30, Y, RIGID}, {30, X, RIGID}, {30, Z, RIGID}};
    const Frame::Solution stuck = frame.solve(strain, weight, {{30, {0, -100, 0, 0, 0, 0}}}, held);
    ASSERT_GT(std::hypot(stuck.support[1], stuck.support[2]), friction);   // it cannot stick

    Vec direction = unit(Vec{stuck.support[1], 0, stuck.support[2]});   // of the friction
    Frame::Solution sliding;
    bool settled = false;
    for (int i = 0; i < 200 && !settled; ++i) {
        const Vec f = friction * direction;
        sliding = frame.solve(strain, weight, {{30, {f[0], -100, f[2], 0, 0, 0}}}, {{30, Y, RIGID}});
        const Vec next = -1 * unit(Vec{sliding.u[30][0], 0, sliding.u[30][2]});
        settled = norm(next - direction) < 1e-12;
        direction = next;
    }
    ASSERT_TRUE(settled);
    // The friction the run applied: the only load in the plane of the L
    // besides the heat, so the anchor gives it back.
    const CaseResults& o = result(operating_code(1));
    const std::vector<double> anchor = support(o, 10);
    const Vec applied{-anchor[0], 0, -anchor[2]};
    expect_relative(norm(applied), friction, AGREE, "friction mu N");
    expect_relative(support(o, 30)[1], friction, AGREE, "friction mu N at the rest");
    expect_relative(support(o, 30)[0], n, AGREE, "normal force");
    // Its direction is the run's iterate: the run stops when the friction
    // changes by less than the iteration tolerance (0.001) of its size in an
    // iteration, which leaves it within about that angle of the direction
    // that stands (twice that allowed here).
    EXPECT_LT(norm(unit(applied) - direction), 2e-3);
    // With that friction the run is the linear solution of the sliding state,
    // and the end moves against the friction.
    sliding = frame.solve(strain, weight, {{30, {applied[0], -100, applied[2], 0, 0, 0}}}, {{30, Y, RIGID}});
    EXPECT_LT(dot(Vec{sliding.u[30][0], 0, sliding.u[30][2]}, applied), 0.0);
    expect_case(operating_code(1), frame, sliding, 1, 1, "sliding");
}

TEST_F(BatchNonlinearTest, RodHangerHoldsColdAndGoesSlackAsTheRiserGrows)
{
    // A riser of 6 in STD from an anchor at node 10, 20 ft up to the corner
    // 20, then 5 ft along X to node 30: a rod hanger and a 300 lb valve.
    // Cold, the rod carries the end; at 400 degF the riser grows by about
    // 0.56 in, more than the end's sag without the rod, and lifts it off.
    run("Rod hanger on a riser\n" + ENGLISH_HEAD +
        "P6,6.625,0.28\n"
        "LOADS\n"
        "L1,400,0\n"
        "LAYOUT\n"
        "F10,MA106B,PP6,KA,CL=L1\n"
        "T20,Y240\n"
        "T30,X60,CRH\n"
        "L30,CCWGT=300\n");
    if (HasFatalFailure())
        return;

    const Frame frame(STD6, {{10, {0, 0, 0}}, {20, {0, 240, 0}}, {30, {60, 240, 0}}}, RIGID, RIGID, {10});
    const Vec weight{0, -W6, 0};
    const std::map<int, Six> valve{{30, {0, -300, 0, 0, 0, 0}}};

    // Sustained: the rod holds the end (a rigid stop below it at 0); it must
    // pull up.
    const Frame::Solution cold = frame.solve(0, weight, valve, {{30, Y, RIGID}});
    ASSERT_GT(cold.support[0], 0.0);
    expect_case(LC_SUSTAINED, frame, cold, 1, 1, "cold");
    expect_relative(support(result(LC_SUSTAINED), 30)[0], cold.support[0], AGREE, "rod load, cold");

    // Operating: slack, the frame without the rod; the end must stand above
    // where the rod would hold it.
    const Frame::Solution hot = frame.solve(alpha_english(400) * 330, weight, valve);
    ASSERT_GT(hot.u.at(30)[1], 0.0);
    expect_case(operating_code(1), frame, hot, 1, 1, "hot");
    EXPECT_EQ(support(result(operating_code(1)), 30)[0], 0.0);
}

TEST_F(BatchNonlinearTest, GuideGapClosesUnderASideForce)
{
    // 20 ft of 6 in STD along X from an anchor at node 10: a guide with a gap
    // of 0.05 in at node 20, half way, and a side force of 500 lb along +Z at
    // the end, node 30 (with the weight, in the Sustained case). Free, node 20
    // would move near 0.9 in: the gap closes on the +Z side, where the
    // guide pushes back along -Z. The weight bends the line in the vertical
    // plane, which the guide leaves alone.
    run("Guide gap\n" + ENGLISH_HEAD +
        "P6,6.625,0.28\n"
        "LAYOUT\n"
        "F10,MA106B,PP6,KA\n"
        "T20,X120,CG,GGAP=0.05\n"
        "T30,X120,CFOR(0,0,500)\n");
    if (HasFatalFailure())
        return;

    const Frame frame(STD6, {{10, {0, 0, 0}}, {20, {120, 0, 0}}, {30, {240, 0, 0}}}, RIGID, RIGID, {10});
    const Vec weight{0, -W6, 0};
    const std::map<int, Six> push{{30, {0, 0, 500, 0, 0, 0}}};
    ASSERT_GT(frame.solve(0, weight, push).u.at(20)[2], 0.05);   // it would pass the gap
    const Frame::Solution s = frame.solve(0, weight, push, {{20, Z, RIGID, 0.05}});
    ASSERT_LT(s.support[0], 0.0);   // pushes back

    expect_case(LC_SUSTAINED, frame, s, 1, 1, "pushed");
    const std::vector<double> guide = support(result(LC_SUSTAINED), 20);
    ASSERT_EQ(guide.size(), 3u);
    EXPECT_NEAR(guide[0], 0.0, 1e-9 * 500);
    EXPECT_NEAR(guide[1], 0.0, 1e-9 * 500);
    expect_relative(guide[2], s.support[0], AGREE, "guide load");
}

TEST_F(BatchNonlinearTest, GuideOnARiserHoldsBothHorizontalDirections)
{
    // A riser of 6 in STD from an anchor at node 10: a guide without gap at
    // node 20, 10 ft up, and 5 ft higher a force of (300, 0, -400) lb at the
    // top, node 30. On a vertical pipe the guide holds along X and along Z.
    run("Guided riser\n" + ENGLISH_HEAD +
        "P6,6.625,0.28\n"
        "LAYOUT\n"
        "F10,MA106B,PP6,KA\n"
        "T20,Y120,CG\n"
        "T30,Y60,CFOR(300,0,-400)\n");
    if (HasFatalFailure())
        return;

    const Frame frame(STD6, {{10, {0, 0, 0}}, {20, {0, 120, 0}}, {30, {0, 180, 0}}}, RIGID, RIGID, {10});
    const Frame::Solution s =
        frame.solve(0, {0, -W6, 0}, {{30, {300, 0, -400, 0, 0, 0}}}, {{20, X, RIGID}, {20, Z, RIGID}});
    expect_case(LC_SUSTAINED, frame, s, 1, 1, "riser");
    const std::vector<double> guide = support(result(LC_SUSTAINED), 20);
    ASSERT_EQ(guide.size(), 3u);
    // The guide takes more than the force (the riser above it levers on it),
    // against it.
    ASSERT_LT(s.support[0], -300.0);
    ASSERT_GT(s.support[1], 400.0);
    expect_relative(guide[0], s.support[0], AGREE, "guide along X");
    EXPECT_NEAR(guide[1], 0.0, 1e-9 * 500);
    expect_relative(guide[2], s.support[1], AGREE, "guide along Z");
}

TEST_F(BatchNonlinearTest, AxialStopTakesWhatPushesPastItsUpperLimit)
{
    // 6 in STD from an anchor at node 10: 10 ft along Z to the corner 20,
    // 10 ft along X to node 30, and 5 ft on to node 40. At node 30 a limit
    // stop along the pipe's axis lets it move from -0.05 in to +0.1 in; a
    // force of 500 lb along +X at node 40 bends the Z leg and would carry
    // node 30 near 0.37 in: the upper limit closes. Hot (400 degF), the X
    // leg's growth pushes node 30 further the same way.
    run("Axial stop\n" + ENGLISH_HEAD +
        "P6,6.625,0.28\n"
        "LOADS\n"
        "L1,400,0\n"
        "LAYOUT\n"
        "F10,MA106B,PP6,KA,CL=L1\n"
        "T20,Z120\n"
        "T30,X120,CLS(-0.05,0.1),DV(1,0,0)\n"
        "T40,X60,CFOR(500,0,0)\n");
    if (HasFatalFailure())
        return;

    const Frame frame(STD6, {{10, {0, 0, 0}}, {20, {0, 0, 120}}, {30, {120, 0, 120}}, {40, {180, 0, 120}}}, RIGID,
                      RIGID, {10});
    const Vec weight{0, -W6, 0};
    const std::map<int, Six> push{{40, {500, 0, 0, 0, 0, 0}}};
    for (const double strain : {0.0, alpha_english(400) * 330}) {
        const int code = strain == 0 ? LC_SUSTAINED : operating_code(1);
        const std::string what = strain == 0 ? "cold" : "hot";
        ASSERT_GT(frame.solve(strain, weight, push).u.at(30)[0], 0.1);   // it would pass the limit
        const Frame::Solution s = frame.solve(strain, weight, push, {{30, X, RIGID, 0.1}});
        ASSERT_LT(s.support[0], 0.0);   // the stop pushes back along -X
        expect_case(code, frame, s, 1, 1, what);
        const std::vector<double> stop = support(result(code), 30);
        expect_relative(stop[0], s.support[0], AGREE, what + ": stop load");
        EXPECT_EQ(stop[1], 0.0);
    }
}

TEST_F(BatchNonlinearTest, TieRodBetweenTwoHeatedLinesClosesInCompressionOnlyWhenHotEnough)
{
    // Two 10 ft lines of 6 in STD along X, from anchors at nodes 10 and 40,
    // meet across a 12 in tie rod from node 20 to node 30: tension 1e5 lb/in
    // beyond a gap of 0.1 in, compression 2e4 lb/in beyond 0.25 in. At
    // 400 degF (T1) the two lines grow towards each other by 0.56 in and
    // close the compression gap; at 150 degF (T2) by 0.12 in, and the rod
    // stays slack.
    run("Tie rod\n" + ENGLISH_HEAD +
        "P6,6.625,0.28\n"
        "LOADS\n"
        "L1,400,0,0,150,0\n"
        "LAYOUT\n"
        "F10,MA106B,PP6,KA,CL=L1\n"
        "T20,X120\n"
        "T30,X12,JT,CKTIE(1E5,2E4),GAP(0.1,0.25)\n"
        "T40,X120,KA\n");
    if (HasFatalFailure())
        return;

    // Along X the lines are springs: each pipe l/EA with its anchor 1/Kt in
    // series, c = l/EA + 1/Kt. Hot, node 20 moves by e l - P c and node 30 by
    // -(e l - P c) under a compression P in the rod; its shortening
    // 2 (e l - P c) beyond the gap gc closes a spring kc:
    // P = kc (2 e l - 2 P c - gc), so P = kc (2 e l - gc) / (1 + 2 kc c).
    // (The rod's slack stiffness of 0.001 lb/in across is left out: near
    // 1e-8 of the answers.)
    const double l = 120, kc = 2e4, gc = 0.25, c = l / (STD6.e * STD6.area) + 1 / RIGID;
    const double e1 = alpha_english(400) * 330, e2 = alpha_english(150) * 80;
    ASSERT_GT(2 * e1 * l, gc);
    ASSERT_LT(2 * e2 * l, gc);
    const double p = kc * (2 * e1 * l - gc) / (1 + 2 * kc * c);
    ASSERT_GT(p, 0.0);
    ASSERT_GT(2 * (e1 * l - p * c), gc);   // still beyond the gap under P

    // T1, the Expansion case (the heat alone; the weight bends nothing along X).
    const CaseResults& hot = result(LC_EXPANSION_T1);
    expect_relative(at(hot, 20)[0], e1 * l - p * c, REL, "node 20, hot");
    expect_relative(at(hot, 30)[0], -(e1 * l - p * c), REL, "node 30, hot");
    expect_relative(support(hot, 10)[0], p, REL, "anchor 10 pushes back along +X");
    expect_relative(support(hot, 40)[0], -p, REL, "anchor 40 along -X");
    ASSERT_EQ(hot.forces.size(), 3u);
    expect_relative(hot.forces[1].f[1], -p, REL, "rod in compression");
    expect_relative(hot.forces[0].f[1], -p, REL, "pipe in compression");

    // T2: slack, both lines grow freely; the slack rod's 0.001 lb/in pushes
    // back by 0.001 times its shortening of 2 e l.
    const CaseResults& warm = result(expansion_code(2));
    expect_relative(at(warm, 20)[0], e2 * l, REL, "node 20, warm");
    expect_relative(at(warm, 30)[0], -e2 * l, REL, "node 30, warm");
    expect_relative(warm.forces[1].f[1], -0.001 * 2 * e2 * l, 1e-3, "slack rod");
    expect_relative(support(warm, 10)[0], 0.001 * 2 * e2 * l, 1e-3, "anchor 10, warm");
}

namespace {

// Six rows: a guide (mu 0.3) on a run along X, a bend, a user hanger, a
// valve and an anchor at each end. Heated, the run slides through the
// guide; the guide's node is soft up and down (the bend, the hanger), so
// that the direction of its slip is found only by the iterations.
const std::string GUIDE_BEND_HANGER_VALVE = "Guide, bend, hanger and valve\n" + ENGLISH_HEAD +
                                            "P6,6.625,0.28\n"
                                            "LOADS\n"
                                            "L1,400,100\n"
                                            "LAYOUT\n"
                                            "F10,MA106B,PP6,KA,CL=L1\n"
                                            "T20,X180,CG,MU=0.3\n"
                                            "T30,X60,KI,B9\n"
                                            "T40,Z120,CUS(1,1500,400)\n"
                                            "T50,Z24,JV,CVWGT=300\n"
                                            "T60,Z120\n"
                                            "T70,X60,KA\n";

}  // namespace

TEST_F(BatchNonlinearTest, GuideWithFrictionBeforeABendAndHangerSettlesInAFewIterations)
{
    run(GUIDE_BEND_HANGER_VALVE);
    if (HasFatalFailure())
        return;

    // The weight the supports carry: 6 in STD over the route less the
    // valve's 24 in (the valve weighs its 300 lb instead), the 90 degree bend
    // of radius 9 in taking its arc for the two 9 in of the corner.
    const double pipe = 180 + 60 + 120 + 120 + 60 - 2 * 9 + std::numbers::pi / 2 * 9;
    const double weight = W6 * pipe + 300;
    const double mu = 0.3;
    for (const int code : {LC_SUSTAINED, LC_EXPANSION_T1, LC_OPERATING_1}) {
        const CaseResults& c = result(code);
        const std::string name = load_case_names(code);
        EXPECT_TRUE(c.converged) << name;
        EXPECT_LE(c.iterations, 8) << name;

        // Statics: the supports (anchors, the guide, the hanger's upward
        // force) carry the weight and nothing else.
        const std::vector<double> a10 = support(c, 10), a70 = support(c, 70), guide = support(c, 20);
        const double hanger = support(c, 40)[0];
        const double carried = code == LC_EXPANSION_T1 ? 0.0 : weight;
        EXPECT_NEAR(a10[0] + a70[0] + guide[0], 0.0, 1e-6 * weight) << name;
        EXPECT_NEAR(a10[1] + a70[1] + guide[1] + hanger, carried, 1e-6 * weight) << name;
        EXPECT_NEAR(a10[2] + a70[2] + guide[2], 0.0, 1e-6 * weight) << name;

        // Coulomb at the guide: it holds along Z; its friction, in X and Y,
        // is at most mu N, and where the pipe slides it is mu N against the
        // slip (in the two states; the Expansion is their difference).
        if (code == LC_EXPANSION_T1)
            continue;
        const double normal = std::fabs(guide[2]), friction = std::hypot(guide[0], guide[1]);
        EXPECT_LE(friction, mu * normal * (1 + 1e-3) + 1e-6) << name;
        const std::array<double, 6> u = at(c, 20);
        const double slip = std::hypot(u[0], u[1]);
        if (slip > 1e-4 && normal > 1e-3) {
            expect_relative(friction, mu * normal, 2e-3, name + ": sliding friction");
            const double cosine = (guide[0] * u[0] + guide[1] * u[1]) / (friction * slip);
            EXPECT_LT(cosine, -0.999) << name << ": the friction opposes the slip";
        }
    }
    // The heat pushes the run through the guide.
    EXPECT_GT(std::fabs(at(result(LC_OPERATING_1), 20)[0]), 1e-2);
}

namespace {

using NonlinearExpansionTest = FrameSolveTest;

// a - b, value by value, against the case `got`: displacements, element end
// forces and support loads (the range is formed exactly, so to round-off).
void expect_difference(const CaseResults& got, const CaseResults& a, const CaseResults& b)
{
    ASSERT_EQ(got.displacements.size(), a.displacements.size());
    ASSERT_EQ(got.forces.size(), a.forces.size());
    ASSERT_EQ(got.support_loads.size(), a.support_loads.size());
    for (std::size_t k = 0; k < got.displacements.size(); ++k)
        EXPECT_NEAR(got.displacements[k], a.displacements[k] - b.displacements[k], 1e-12) << "displacement " << k;
    for (std::size_t e = 0; e < got.forces.size(); ++e)
        for (int j = 1; j <= 12; ++j)
            EXPECT_NEAR(got.forces[e].f[j], a.forces[e].f[j] - b.forces[e].f[j], 1e-9) << "element " << e + 1;
    for (std::size_t k = 0; k < got.support_loads.size(); ++k)
        EXPECT_NEAR(got.support_loads[k], a.support_loads[k] - b.support_loads[k], 1e-9) << "support word " << k;
}

void choose_only(int code)
{
    load_case_list() = LoadCaseList{};
    load_case_list().add(code);
}

}  // namespace

TEST_F(NonlinearExpansionTest, FrictionModelExpansionIsOperatingLessSustained)
{
    // The L sliding on its rest: cold the rest carries the valve and the
    // pipe, hot the end slides against mu N. A step of the heat alone has
    // no weight on the rest, so no friction; the range from the installed
    // to the operating state has it.
    run(l_on_a_rest_text(300, 0.3, 100));
    if (HasFatalFailure())
        return;
    const CaseResults& expansion = result(LC_EXPANSION_T1);
    const CaseResults& operating = result(LC_OPERATING_1);
    const CaseResults& sustained = result(LC_SUSTAINED);
    EXPECT_TRUE(expansion.converged);
    expect_difference(expansion, operating, sustained);

    // The difference carries the friction: the anchor's share of the
    // range is not that of the free growth along the L (hand check: the
    // heat alone leaves the rest's tangential force 0).
    const std::vector<double> rest = support(expansion, 30);
    EXPECT_GT(std::fabs(rest[1]), 1.0);
}

TEST_F(NonlinearExpansionTest, ExpansionChosenAloneStillSolvesItsTwoStates)
{
    // Only Expansion (T1) chosen: the run still solves Sustained and
    // Operating, and the expansion is their difference, the same as in a
    // run of all three.
    run(l_on_a_rest_text(300, 0.3, 100));
    if (HasFatalFailure())
        return;
    const CaseResults operating = result(LC_OPERATING_1), sustained = result(LC_SUSTAINED);

    reset_all();
    SetUp();
    run(l_on_a_rest_text(300, 0.3, 100), [] { choose_only(LC_EXPANSION_T1); });
    if (HasFatalFailure())
        return;
    expect_difference(result(LC_EXPANSION_T1), operating, sustained);
}

TEST_F(NonlinearExpansionTest, LinearModelKeepsItsStepOfTheHeatAlone)
{
    // A cantilever with no nonlinear item: Expansion (T1) is its own step,
    // the free growth alpha dT L of the tip and no load at the anchor; no
    // other case is solved for it.
    run("Cantilever\n" + ENGLISH_HEAD +
            "P6,6.625,0.28\n"
            "LOADS\n"
            "L1,400,0\n"
            "LAYOUT\n"
            "F10,MA106B,PP6,KA,CL=L1\n"
            "T20,X180\n",
        [] { choose_only(LC_EXPANSION_T1); });
    if (HasFatalFailure())
        return;
    EXPECT_EQ(results_.size(), 1u);
    const CaseResults& c = result(LC_EXPANSION_T1);
    expect_relative(at(c, 20)[0], alpha_english(400) * 330 * 180, 1e-6, "free growth");
    EXPECT_NEAR(support(c, 10)[0], 0.0, 1e-6);
}
