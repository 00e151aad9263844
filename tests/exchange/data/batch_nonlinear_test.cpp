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
#include "exchange/data/frame_solver.h"

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
