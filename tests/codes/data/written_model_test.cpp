// The code evaluation of a run whose analysis divided buried elements takes
// the model as written (the document's nodes and elements): its bends keep
// the arcs the model build laid out, so that what the evaluation works out
// from an arc (the tangent of a leg at a branch, say) is the bend's.
#include "analysis/data/buried_fixture.h"
#include "analysis/data/support_fixture.h"
#include "codes/code_driver.h"

#include <numbers>

using namespace analysis_test;

namespace {

class WrittenModel : public SupportTest {};

}  // namespace

TEST_F(WrittenModel, CodeEvaluationTakesTheBendsOfTheWrittenModelWhole)
{
    // A line 36 in under a sand, a bend of R = 12 in at (100, 0, 0) turning
    // from +X to +Z: the analysis divides it for its soil, the evaluation
    // takes it back whole, centred at (88, 0, 12).
    soils().push_back(sand(36.0));
    pipe_sections()[1].soil = "S";
    from(10);
    const int b = row(20, ET_BEND, 100, 0, 0);
    name(b);
    bend_of(b).radius_kind = RADIUS_USER;
    bend_of(b).radius = 12.0f;
    pipe(30, 0, 0, 100, DT_ANCHOR);
    make_model();
    std::unique_ptr<AnalysisModel> snapshot = make_analysis_model();
    ASSERT_NE(snapshot->results_model, nullptr);
    take_written_model(*snapshot);
    int arc = 0;
    for (int e = 1; e <= snapshot->model.numelems(); ++e)
        if (snapshot->model.elems[e].kind == ET_BEND)
            arc = e;
    ASSERT_NE(arc, 0);
    EXPECT_EQ(snapshot->model.numelems(), 3);
    const BendAxes whole = bend_arc(snapshot->model, arc);
    EXPECT_NEAR(whole.radius, 12.0, 1e-5);
    EXPECT_NEAR(whole.theta, std::numbers::pi / 2, 1e-6);
    // The tangent at the near tangent point (88, 0, 0) runs along +X.
    EXPECT_NEAR(whole.axes.x.x, 1.0, 1e-6);
}
