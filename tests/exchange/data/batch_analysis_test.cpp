// A batch file all the way to the analysis: a cantilever written as a batch
// file is imported, built and solved, and its tip moves as beam theory says.
// This checks what no single layer's test does: that the file's material
// table, section, pipe load, anchor and force reach the run with their
// meaning and their units intact.
#include "analysis/analysis_model.h"
#include "analysis/static_analysis.h"
#include "analysis_core/analysis_run.h"
#include "elements/element_analysis.h"
#include "exchange/data/batch_fixture.h"
#include "model/load_cases.h"
#include "model/nodes.h"

#include <numbers>

using namespace batch_test;

namespace {

class BatchAnalysisTest : public BatchTest {
protected:
    void SetUp() override
    {
        BatchTest::SetUp();
        install_element_analysis();
    }
    std::map<int, CaseResults> solve()
    {
        make_model();
        snapshot_ = make_analysis_model();
        AnalysisRun run(*snapshot_);
        return solve_load_cases(run, RunCallbacks{});
    }
    static std::array<double, 6> at(const CaseResults& c, int node)
    {
        const auto base = 6 * static_cast<std::size_t>(node_index(node) - 1);
        std::array<double, 6> u{};
        for (std::size_t d = 0; d < 6; ++d)
            u[d] = c.displacements[base + d];
        return u;
    }
    std::unique_ptr<AnalysisModel> snapshot_;
};

}  // namespace

TEST_F(BatchAnalysisTest, CantileverFromABatchFileBendsAndExpandsAsBeamTheorySays)
{
    // 10 ft of 6 in pipe (6.625 x 0.28 in) anchored at node 10, with 1000 lb
    // down at its tip, node 20; the pipe load heats it to 300 degF.
    ASSERT_NO_FATAL_FAILURE(import_ok("Cantilever\n"
              "OPTIONS\n"
              "B313,IN\n"
              "MATERIAL\n"
              "CS,0.283\n"
              "CS,70,29.5E6,6.07E-6,20000\n"
              "CS,700,25.5E6,7.9E-6,16000\n"
              "PIPE\n"
              "P6,6.625,0.28\n"
              "LOADS\n"
              "L1,300,0\n"
              "LAYOUT\n"
              "F10,MCS,PP6,KA,CL=L1\n"
              "T20,X120,CFOR(0,-1000,0)\n"));

    const double l = 120, p = 1000;
    const double ro = 6.625 / 2, ri = ro - 0.28;
    const double area = std::numbers::pi * (ro * ro - ri * ri);
    const double inertia = std::numbers::pi / 4 * (std::pow(ro, 4) - std::pow(ri, 4));
    // Thick tube's shear coefficient (shear energy alpha V^2 / 2GA).
    const double shear = 4.0 / 3.0 * (ro * ro * ro - ri * ri * ri) / ((ro - ri) * (ri * ri + ro * ro));
    const double w = 0.283 * area;   // lb/in of steel, no contents

    // Sustained: the weight and the force, both at the reference
    // temperature of 70 degF (E = 29.5e6 psi, nu = 0.3 of carbon steel).
    // Tip: P l^3/3EI + alpha P l/GA + w l^4/8EI + alpha w l^2/2GA, and the
    // anchor's springs of 1.0e12: its translation (P + w l)/K and its
    // rotation (P l + w l^2/2)/K carried over the length l.
    const double e = 29.5e6, g = e / (2 * 1.3), k = 1.0e12;
    const double tip = p * l * l * l / (3 * e * inertia) + shear * p * l / (g * area) +
                       w * std::pow(l, 4) / (8 * e * inertia) + shear * w * l * l / (2 * g * area) +
                       (p + w * l) / k + (p * l + w * l * l / 2) * l / k;

    std::map<int, CaseResults> results;
    try {
        results = solve();
    } catch (const MessageText& m) {
        FAIL() << m.text;
    }
    ASSERT_TRUE(results.count(LC_SUSTAINED));
    const auto sustained = at(results.at(LC_SUSTAINED), 20);
    EXPECT_NEAR(sustained[1], -tip, 1e-5 * tip);
    EXPECT_NEAR(sustained[0], 0.0, 1e-9);
    EXPECT_NEAR(sustained[2], 0.0, 1e-9);

    // Expansion: a free cantilever grows by alpha(300) (300 - 70) l, the
    // coefficient interpolated linearly in the material's table:
    // 6.07e-6 + (7.9e-6 - 6.07e-6) (300 - 70) / (700 - 70); it bends not at all.
    ASSERT_TRUE(results.count(LC_EXPANSION_T1));
    const double alpha = 6.07e-6 + (7.9e-6 - 6.07e-6) * 230.0 / 630.0;
    const auto expansion = at(results.at(LC_EXPANSION_T1), 20);
    EXPECT_NEAR(expansion[0], alpha * 230.0 * l, 1e-5 * alpha * 230.0 * l);
    EXPECT_NEAR(expansion[1], 0.0, 1e-9);
}
