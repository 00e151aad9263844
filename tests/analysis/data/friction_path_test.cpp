// Friction along a load path against hand statics. The weightless
// cantilever of the friction tests, 120 in along X from an anchor, has a
// guide at its tip that a force of 2000 lb across the pipe (along +Z)
// presses with N = 2000 lb in both cases, and a force along the pipe at the
// tip, P1 in Sustained and P2 in Operating (W+P1+T1). Friction holds the
// tip while it takes less than mu N = 600 lb; beyond, the tip slides with
// mu N against its motion and the pipe carries the rest, P - mu N, in
// tension to the anchor, stretching by it over the pipe's axial stiffness
// in series with the anchor's spring.
//
// Along its load path Operating starts from Sustained and follows the
// force from P1 to P2; solved at once it starts from the unloaded piping.
// Where the force eases after the tip has slid, the two part: the tip that
// slid keeps its place (the friction, reversing its share, holds it), where
// the case solved at once finds it sliding from nothing.
#include "analysis/data/support_fixture.h"
#include "model/load_cases.h"
#include "supports/contact_solver.h"
#include "supports/guide.h"

using namespace analysis_test;

namespace {

constexpr double LENGTH = 120, MU = 0.3, ACROSS = 2000;

class FrictionLoadPath : public SupportTest {
protected:
    // Both cases solved, along their load paths or at once; each must
    // converge with the guide holding N and no friction across.
    void solve_with(double sustained, double operating, bool path)
    {
        weightless();
        anchor = anchor_at(10);
        guide = pipe(20, static_cast<float>(LENGTH), 0, 0, DT_GUIDE);
        support<Guide>(guide).v.mu = static_cast<float>(MU);
        for (int code : {LC_SUSTAINED, LC_OPERATING_1})
            force(20, code, 2, ACROSS);
        force(20, LC_SUSTAINED, 0, sustained);
        force(20, LC_OPERATING_1, 0, operating);
        choose({LC_SUSTAINED, LC_OPERATING_1});
        callbacks.load_path_only = path;
        results = solve();
        for (int code : {LC_SUSTAINED, LC_OPERATING_1}) {
            const CaseResults& c = results.at(code);
            EXPECT_TRUE(c.converged) << code;
            expect_relative(loads_of(c, guide)[2], -ACROSS, "normal force");
            EXPECT_NEAR(loads_of(c, guide)[1], 0.0, 1e-6);
        }
    }
    double mu() const { return static_cast<float>(MU); }   // as the model stores it
    // The tip's flexibility along the pipe: the pipe's axial flexibility
    // l / EA in series with the anchor's spring.
    double axial_flexibility() const { return LENGTH / (steel.e * steel.area) + 1 / RIGID; }
    double friction(int code) const { return loads_of(results.at(code), guide)[0]; }
    double tip(int code) const { return node_result(results.at(code), 20)[0]; }

    int anchor = 0, guide = 0;
    std::map<int, CaseResults> results;
};

}  // namespace

TEST_F(FrictionLoadPath, TipDrivenPastMuNSlidesAsWhenSolvedAtOnce)
{
    // P1 = 0, P2 = 900 lb: the force grows along the path and the tip
    // slides once it passes mu N = 600 lb, ending as the case at once: the
    // friction mu N against the motion, 300 lb in the pipe.
    solve_with(0, 900, true);
    const double tension = 900 - mu() * ACROSS;
    expect_relative(friction(LC_OPERATING_1), -mu() * ACROSS, "friction mu N against the slip");
    expect_relative(loads_of(results.at(LC_OPERATING_1), anchor)[0], -tension, "anchor holds the rest");
    expect_relative(tip(LC_OPERATING_1), tension * axial_flexibility(), "tip slides", 1e-5);
    // The path's solutions all count: its start and at least one
    // increment besides the settling of the limits.
    EXPECT_GE(results.at(LC_OPERATING_1).iterations, 3);
}

TEST_F(FrictionLoadPath, TipThatSlidKeepsItsPlaceWhenItsLoadEases)
{
    // P1 = 900 lb: in Sustained the tip slides and the pipe takes 300 lb.
    // P2 = 700 lb: easing from 900, the tip sticks where it stands; the
    // pipe keeps its 300 lb (its stretch is the tip's place) and friction
    // holds the 400 lb left, below mu N. The sticking zone lets the tip
    // back by 200 lb over the stick's stiffness, g / delta with delta at
    // most 0.001 in: at most 1e-4 of the tip's motion here, within the
    // tolerance.
    solve_with(900, 700, true);
    const double held = (900 - mu() * ACROSS) * axial_flexibility();
    expect_relative(tip(LC_SUSTAINED), held, "tip slides in Sustained", 1e-5);
    expect_relative(friction(LC_SUSTAINED), -mu() * ACROSS, "Sustained friction mu N");
    expect_relative(tip(LC_OPERATING_1), held, "tip keeps its place", 1e-4);
    expect_relative(friction(LC_OPERATING_1), -(700 - (900 - mu() * ACROSS)), "friction holds the rest", 1e-4);
    EXPECT_LT(std::fabs(friction(LC_OPERATING_1)), mu() * ACROSS);
}

TEST_F(FrictionLoadPath, CaseSolvedAtOnceSlidesFromTheUnloadedPiping)
{
    // The same loads solved at once: Operating's slip is measured from the
    // unloaded piping, so 700 lb past mu N slides the tip with 100 lb left
    // to the pipe, whatever Sustained did.
    solve_with(900, 700, false);
    const double tension = 700 - mu() * ACROSS;
    expect_relative(friction(LC_OPERATING_1), -mu() * ACROSS, "friction mu N against the slip");
    expect_relative(tip(LC_OPERATING_1), tension * axial_flexibility(), "tip slides", 1e-5);
}
