// The states that generated plant networks converge to (the generator of
// the nonlinear benchmark, bench/piping_network.h): every nonlinear case of
// every seed converges, which the run grants only to a state that passes
// its check (each stop within its limits and pushing only where closed,
// towards the inside; friction at most mu N and against the slip where it
// slides), with friction on the rests and guides (mu 0.3) and without.
// Registered as a CTest entry of its own (its run time).
#include "../bench/piping_network.h"
#include "exchange/data/batch_solve_fixture.h"
#include "framework/state.h"
#include "model/load_cases.h"

using namespace batch_test;

namespace {

class StateCheckGenerated : public BatchSolveTest {
public:
    void expect_converged(const piping_network::Options& o)
    {
        // Each network from the program's start-up state.
        reset_all();
        SetUp();
        run(piping_network::batch_text(o));
        if (HasFatalFailure())
            return;
        for (int code : {static_cast<int>(LC_SUSTAINED), operating_code(1), operating_code(2)})
            EXPECT_TRUE(result(code).converged) << "rows " << o.rows << " seed " << o.seed << " case " << code;
    }
};

void expect_seeds_converge(StateCheckGenerated& test, int rows, bool friction)
{
    for (unsigned long long seed = 1; seed <= 20; ++seed) {
        piping_network::Options o;
        o.rows = rows;
        o.seed = seed;
        o.friction = friction;
        test.expect_converged(o);
    }
}

}  // namespace

TEST_F(StateCheckGenerated, NetworksOf300RowsWithoutFriction)
{
    expect_seeds_converge(*this, 300, false);
}

TEST_F(StateCheckGenerated, NetworksOf1000RowsWithoutFriction)
{
    expect_seeds_converge(*this, 1000, false);
}

TEST_F(StateCheckGenerated, NetworksOf300RowsWithFriction)
{
    expect_seeds_converge(*this, 300, true);
}

TEST_F(StateCheckGenerated, NetworksOf1000RowsWithFriction)
{
    expect_seeds_converge(*this, 1000, true);
}

TEST_F(StateCheckGenerated, NetworksWithRiserGuidesAndUnevenStops)
{
    for (unsigned long long seed = 1; seed <= 5; ++seed) {
        piping_network::Options o;
        o.rows = 300;
        o.seed = seed;
        o.friction = false;
        o.riser_guides = true;
        o.stop_lower = -0.125;
        o.stop_upper = 0.375;
        o.guide_gap = 0.125;
        expect_converged(o);
    }
}
