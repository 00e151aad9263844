// The lines a run says of its cases: the passes of the hanger design, which
// solve the operating cases of the thermal sets after the first in the
// steps of those cases, keep the names of the passes, so that each case the
// run solves has its own line once.
#include "analysis/data/hanger_test_catalogues.h"
#include "analysis/data/support_fixture.h"
#include "analysis/static_analysis.h"
#include "analysis_core/steps.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace analysis_test;

namespace {

class CaseLinesOfTheirRun : public SupportTest {
protected:
    // The lines that begin with a name and ": ".
    static int named(const std::vector<std::string>& lines, const std::string& name)
    {
        return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&name](const std::string& line) {
            return line.rfind(name + ": ", 0) == 0;
        }));
    }
};

}  // namespace

TEST_F(CaseLinesOfTheirRun, HangerDesignPassesOfTheSecondSetKeepTheirNames)
{
    // A line from an anchor at node 10 over a rest with friction at node 20
    // (nonlinear) and a catalogue spring at node 30 to an anchor at node 40,
    // heated in two thermal sets; the cases of both sets chosen.
    analysis_options().numtloads = 2;
    load.temperature[1] = 400;
    load.temperature[2] = 300;
    anchor_at(10);
    const int rest = pipe(20, 200, 0, 0, DT_LIMIT_STOP);
    support<LimitStop>(rest).v = {"", 0.0f, NO_LIMIT, {0.0f, 1.0f, 0.0f}, 0.3f, 0.0f, 0};
    pipe(30, 200, 0, 0, DT_HANGER);
    with(pipe(40, 200, 0, 0), DT_ANCHOR);
    choose({LC_SUSTAINED, LC_OPERATING_1, operating_code(2)});
    write_test_catalogue(folder, "CATALOGUE 16 Grinnell\nSPRING S 1 LONG 10 10000 20 # test\n");
    make_model();
    snapshot = make_analysis_model();
    const RunOutcome outcome = run_analysis(*snapshot, RunCallbacks{});
    ASSERT_TRUE(outcome.completed) << outcome.message;
    ASSERT_TRUE(outcome.warnings.empty()) << outcome.warnings[0];
    const std::vector<std::string>& lines = outcome.case_notes;

    // Each case the run solves once, under its name.
    for (int code : {int{LC_SUSTAINED}, int{LC_OPERATING_1}, operating_code(2)})
        EXPECT_EQ(named(lines, load_case_names(code)), 1) << load_case_names(code);
    // The passes of the design: the travel in set 1 in its own step, in set
    // 2 in the step of Operating (W+P2+T2) under the pass's name; again with
    // the states of the hot case held.
    for (const char* pass : {"Calculating hanger loads", "Calculating hanger travel (T1)",
                             "Calculating hanger travel (T2)", "Recalculating hanger travel (T1)",
                             "Recalculating hanger travel (T2)"})
        EXPECT_EQ(named(lines, pass), 1) << pass;
    EXPECT_EQ(lines.size(), 8u);
}
