// The friction of a guide against hand statics, and the check of contact
// states built by hand that break each of its conditions. The guide holds
// a weightless cantilever of 120 in along X at its tip across Z; a force
// across the pipe gives the normal force N, one along it drives the tip
// against the friction, which holds it while that takes less than mu N
// and slides at mu N otherwise.
#include "analysis/data/support_fixture.h"
#include "analysis_core/steps.h"
#include "model/load_cases.h"
#include "supports/contact_solver.h"
#include "supports/guide.h"
#include "supports/limit_stop.h"

using namespace analysis_test;

namespace {

constexpr double LENGTH = 120, MU = 0.3, ACROSS = 2000;

class ContactFrictionHandCases : public SupportTest {
protected:
    // The run of the cantilever with the guide at node 20, ACROSS lb along
    // +Z and `along` lb along +X at the tip in Operating (W+P1+T1); it must
    // converge with the guide holding ACROSS and no friction along Y. The
    // guide's loads are kept.
    CaseResults solve_with(double along)
    {
        weightless();
        anchor = anchor_at(10);
        guide = pipe(20, static_cast<float>(LENGTH), 0, 0, DT_GUIDE);
        support<Guide>(guide).v.mu = static_cast<float>(MU);
        force(20, LC_OPERATING_1, 2, ACROSS);
        force(20, LC_OPERATING_1, 0, along);
        choose({LC_OPERATING_1});
        const CaseResults c = solve().at(LC_OPERATING_1);
        EXPECT_TRUE(c.converged);
        loads = loads_of(c, guide);
        EXPECT_EQ(loads.size(), 3u);
        loads.resize(3);
        expect_relative(loads[2], -ACROSS, "normal force");
        EXPECT_NEAR(loads[1], 0.0, 1e-6);
        return c;
    }
    double mu() const { return static_cast<float>(MU); }   // as the model stores it
    double axial() const { return steel.e * steel.area / LENGTH; }

    int anchor = 0, guide = 0;
    std::vector<double> loads;
};

}  // namespace

TEST_F(ContactFrictionHandCases, GuideHoldsWhatTakesLessThanMuN)
{
    // N = 2000 lb; 400 lb along X asks less than mu N = 600 lb of the
    // friction: the guide sticks and holds the tip, taking the force's
    // share P K / (K + EA/l) of a rigid hold against the pipe's axial
    // stiffness.
    const double along = 400;
    ASSERT_LT(along, mu() * ACROSS);
    solve_with(along);
    expect_relative(loads[0], -along * RIGID / (RIGID + axial()), "friction holds the tip", 1e-5);
    EXPECT_LT(std::fabs(loads[0]), mu() * ACROSS);
}

TEST_F(ContactFrictionHandCases, GuideSlidesAtMuNBeyond)
{
    // 900 lb along X asks more than mu N = 600 lb: the tip slides, the
    // friction is mu N against the motion, the pipe carries the rest in
    // tension to the anchor and the tip moves (P - mu N)(l/EA + 1/K).
    const double along = 900;
    ASSERT_GT(along, mu() * ACROSS);
    const CaseResults c = solve_with(along);
    expect_relative(loads[0], -mu() * ACROSS, "friction mu N against the slip");
    const double tension = along - mu() * ACROSS;
    expect_relative(loads_of(c, anchor)[0], -tension, "anchor holds the rest");
    expect_relative(node_result(c, 20)[0], tension * (1 / axial() + 1 / RIGID), "tip slides");
}

namespace {

// A rest (a stop along +Y from 0, mu 0.3) at the tip of a cantilever,
// whose state and displacements are set by hand for the check.
class StateCheckHandBuilt : public SupportTest {
protected:
    void SetUp() override
    {
        SupportTest::SetUp();
        anchor_at(10);
        rest = pipe(20, 100, 0, 0, DT_LIMIT_STOP);
        support<LimitStop>(rest).v = {"", 0.0f, NO_LIMIT, {0.0f, 1.0f, 0.0f}, 0.3f, 0.0f, 0};
        choose({LC_SUSTAINED});
        make_model();
        snapshot = make_analysis_model();
        run = std::make_unique<AnalysisRun>(*snapshot);
        run->set_identity_numbering();
        run->set_step(LC_SUSTAINED);
        model().rows[rest].data->reset_nonlinear_state(*run, rest);
        node = model().rows[rest].node_index;
    }
    ContactState& state() { return run->row_state<ContactState>(rest); }
    // The tip's translation.
    void move(double x, double y, double z)
    {
        run->solution[run->equation(node, 0)] = x;
        run->solution[run->equation(node, 1)] = y;
        run->solution[run->equation(node, 2)] = z;
    }
    // The one failure of the check, which names the rest and its node.
    std::string only_failure()
    {
        const std::vector<std::string> failures = check_contact_states(*run);
        EXPECT_EQ(failures.size(), 1u);
        if (failures.empty())
            return {};
        EXPECT_EQ(failures[0].rfind("Limit stop at node 20: ", 0), 0u) << failures[0];
        return failures[0];
    }
    // Closed and sliding along +X with the friction force f (on the pipe)
    // under a normal force of 1000 lb: the tip 1e-9 in into the rest.
    void slide(double f)
    {
        move(0.5, -1000 / RIGID, 0);
        state().status[0] = CONTACT_LOWER;
        state().limit = 300;
        state().stick = 300 / 1.0e-6;
        state().sliding = true;
        state().friction = {f, 0, 0};
    }

    std::unique_ptr<AnalysisRun> run;
    int rest = 0, node = 0;
};

}  // namespace

TEST_F(StateCheckHandBuilt, PassesAStateThatMeetsEveryCondition)
{
    // Sliding along +X under N = 1000 lb with mu N = 300 lb against it.
    slide(-300);
    EXPECT_TRUE(check_contact_states(*run).empty());
}

TEST_F(StateCheckHandBuilt, FailsANodePastItsLimit)
{
    // Open, the tip 0.1 in below the rest's limit of 0.
    state().status[0] = CONTACT_OPEN;
    move(0, -0.1, 0);
    EXPECT_NE(only_failure().find("past its lower limit"), std::string::npos);
}

TEST_F(StateCheckHandBuilt, FailsAStopThatPullsThePipeOutward)
{
    // Closed at 0 with the tip 0.2 in above it: the stop would pull it
    // down, a load along -n where it has no limit to push from.
    state().status[0] = CONTACT_LOWER;
    move(0, 0.2, 0);
    EXPECT_NE(only_failure().find("along -n"), std::string::npos);
}

TEST_F(StateCheckHandBuilt, FailsAFrictionAboveMuN)
{
    slide(-450);
    EXPECT_NE(only_failure().find("above mu N = 300 lb"), std::string::npos);
}

TEST_F(StateCheckHandBuilt, FailsAFrictionAlongTheSlip)
{
    slide(300);
    EXPECT_NE(only_failure().find("not mu N = 300 lb against the slip"), std::string::npos);
}

TEST_F(StateCheckHandBuilt, FailsAStickingFrictionThatMovedMoreThanItsZone)
{
    // Closed under N = 1000 lb with a friction of 200 lb, below mu N =
    // 300 lb, against a slip of 0.01 in along X, where the sticking zone
    // is 1e-4 in wide: a contact that sticks moves at most that much.
    // Within the zone the same friction passes.
    run->run_state<ContactSet>().slip = 1.0e-4;
    state().status[0] = CONTACT_LOWER;
    state().limit = 300;
    state().stick = 300 / 1.0e-4;
    state().sliding = false;
    state().spring = 200 / 0.01;
    move(0.01, -1000 / RIGID, 0);
    EXPECT_NE(only_failure().find("a contact that sticks may move at most 0.0001 in"), std::string::npos);
    state().spring = 200 / 0.5e-4;
    move(0.5e-4, -1000 / RIGID, 0);
    EXPECT_TRUE(check_contact_states(*run).empty());
}
