// The states a run keeps for the whole run, by type, and for each row: one
// per type and row, kept between calls; a row's state of another type made
// anew, one of a type derived from the asked one served as it is.
#include "analysis_core/analysis_run.h"

#include <gtest/gtest.h>

namespace {

struct CountState : CopiedState<CountState> {
    int count = 0;
};
struct MoreState : CountState {
    int more = 0;
};
struct OtherState : CopiedState<OtherState> {
    double value = 0.0;
};

}  // namespace

TEST(AnalysisRunStates, OneStatePerTypeForTheRunAndPerTypeAndRow)
{
    AnalysisModel model;
    AnalysisRun run(model);
    EXPECT_EQ(run.find_run_state<CountState>(), nullptr);
    run.run_state<CountState>().count = 3;
    run.run_state<OtherState>().value = 2.5;
    EXPECT_EQ(run.run_state<CountState>().count, 3);
    EXPECT_EQ(run.run_state<OtherState>().value, 2.5);
    ASSERT_NE(run.find_run_state<CountState>(), nullptr);
    EXPECT_EQ(run.find_run_state<CountState>(), &run.run_state<CountState>());
    EXPECT_EQ(run.find_run_state<MoreState>(), nullptr);   // a type of its own, not found through its base
    run.run_state<MoreState>().more = 7;
    EXPECT_EQ(run.run_state<CountState>().count, 3);
    EXPECT_EQ(run.find_run_state<MoreState>()->more, 7);

    // Rows: each its own state, kept.
    run.row_state<CountState>(2).count = 5;
    run.row_state<CountState>(9).count = 6;
    EXPECT_EQ(run.row_state<CountState>(2).count, 5);
    EXPECT_EQ(run.row_state<CountState>(9).count, 6);
    // Asked as another type, the row's state is made anew ...
    run.row_state<OtherState>(2).value = 1.0;
    EXPECT_EQ(run.row_state<CountState>(2).count, 0);
    // ... but a state of a derived type serves for its base.
    MoreState& more = run.row_state<MoreState>(4);
    more.count = 8;
    more.more = 9;
    EXPECT_EQ(&run.row_state<CountState>(4), &more);
    EXPECT_EQ(run.row_state<CountState>(4).count, 8);
    EXPECT_EQ(run.row_state<MoreState>(4).more, 9);
}
