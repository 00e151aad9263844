// A settlement given at a nozzle is analysed by the load cases a batch file
// brings (none: the defaults) under a piping code that has the Settlement
// case, as the change from the Sustained state; under a code without it,
// or when the case is left out of the chosen ones, the model check names it.
//
// The answers are those of the line as a continuous beam clamped at the
// nozzle and the far anchor, on the rests that push, worked by the
// slope-deflection method with shear deformation (J. S. Przemieniecki,
// "Theory of Matrix Structural Analysis", 1968, section 5.6: a span of
// length L with phi = 12 E I alpha / (G A L^2) has the end moments
//   M_near = E I / (L (1 + phi)) ((4 + phi) th_near + (2 - phi) th_far - 6 psi)
//            + FEM_near,
// psi the chord's clockwise turn (v_near - v_far) / L, and a uniform load w
// down the fixed-end moments -w L^2 / 12 and +w L^2 / 12, which shear does
// not change). The joint rotations at the rests make the moments there sum
// to 0; a span's end shears follow from its end moments and its load.
#include "analysis/analysis_model.h"
#include "analysis/model_check.h"
#include "exchange/data/batch_solve_fixture.h"
#include "exchange/data/settling_line.h"
#include "framework/state.h"
#include "model/load_cases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

using namespace batch_test;

namespace {

const Tube STD6{6.625, 0.28, 27.9e6, 0.3};
// The filled line's weight per length (lb/in): steel of 0.283 lb/in3 and a
// liquid of specific gravity 1.14 (water at 60 degF is 0.03609 lb/in3) in
// its bore: 2.768 lb/in.
const double W = 0.283 * STD6.area + 1.14 * 0.03609 * std::numbers::pi * STD6.ri * STD6.ri;
const double EI = STD6.e * STD6.inertia;
const double REST_AT[] = {200, 400, 600, 800};   // in; the nozzle at 0, the anchor at 1000
const int RESTS[] = {20, 30, 40, 50};
constexpr double SETTLED = 2.0;   // in, down

// The line clamped at x = 0 (lowered by `settled`) and x = 1000 under its
// weight, on the rests that push: the rests' pushes, and the nozzle's force
// (up) and moment (clockwise on the line, about -Z) on the line.
struct BeamOnRests {
    double force = 0.0, moment = 0.0;
    std::vector<double> rest = std::vector<double>(std::size(REST_AT), 0.0);

    explicit BeamOnRests(double settled)
    {
        std::vector<std::size_t> closed{0, 1, 2, 3};
        for (;;) {
            std::vector<double> x{0.0}, v{-settled};
            for (std::size_t c : closed) {
                x.push_back(REST_AT[c]);
                v.push_back(0.0);
            }
            x.push_back(1000.0);
            v.push_back(0.0);
            const std::vector<double> reactions = solve(x, v);
            std::vector<std::size_t> pushing;
            for (std::size_t i = 0; i < closed.size(); ++i)
                if (reactions[i + 1] >= 0)
                    pushing.push_back(closed[i]);
            if (pushing.size() == closed.size()) {
                for (std::size_t i = 0; i < closed.size(); ++i)
                    rest[closed[i]] = reactions[i + 1];
                force = reactions[0];
                return;
            }
            closed = pushing;
        }
    }

    // The reactions (up) at the supports x, at the heights v, both ends
    // clamped; sets `moment`.
    std::vector<double> solve(const std::vector<double>& x, const std::vector<double>& v)
    {
        const std::size_t spans = x.size() - 1;
        // The moments at both ends of every span for the joint rotations th
        // (0 at the clamps).
        auto end_moments = [&](const std::vector<double>& th) {
            std::vector<std::array<double, 2>> m(spans);
            for (std::size_t i = 0; i < spans; ++i) {
                const double l = x[i + 1] - x[i];
                const double phi = 12 * EI * STD6.shear / (STD6.g * STD6.area * l * l);
                const double k = EI / (l * (1 + phi));
                const double psi = (v[i] - v[i + 1]) / l;
                m[i][0] = k * ((4 + phi) * th[i] + (2 - phi) * th[i + 1] - 6 * psi) - W * l * l / 12;
                m[i][1] = k * ((4 + phi) * th[i + 1] + (2 - phi) * th[i] - 6 * psi) + W * l * l / 12;
            }
            return m;
        };
        // Joint equilibrium at the rests, linear in th: its columns by unit
        // rotations.
        const std::size_t n = spans - 1;
        auto unbalance = [&](const std::vector<double>& th) {
            const auto m = end_moments(th);
            std::vector<double> r(n);
            for (std::size_t j = 1; j <= n; ++j)
                r[j - 1] = m[j - 1][1] + m[j][0];
            return r;
        };
        const std::vector<double> zero(spans + 1, 0.0);
        const std::vector<double> r0 = unbalance(zero);
        Dense a(n, std::vector<double>(n));
        for (std::size_t j = 0; j < n; ++j) {
            std::vector<double> unit = zero;
            unit[j + 1] = 1.0;
            const std::vector<double> rj = unbalance(unit);
            for (std::size_t i = 0; i < n; ++i)
                a[i][j] = rj[i] - r0[i];
        }
        std::vector<double> b(n);
        for (std::size_t i = 0; i < n; ++i)
            b[i] = -r0[i];
        const std::vector<double> t = solve_dense(a, b);
        std::vector<double> th = zero;
        std::copy(t.begin(), t.end(), th.begin() + 1);
        const auto m = end_moments(th);
        // A span's shear at its left end, up: w L / 2 - (M_left + M_right) / L.
        std::vector<double> reactions(spans + 1, 0.0);
        for (std::size_t i = 0; i < spans; ++i) {
            const double l = x[i + 1] - x[i];
            const double left = W * l / 2 - (m[i][0] + m[i][1]) / l;
            reactions[i] += left;
            reactions[i + 1] += W * l - left;
        }
        moment = m[0][0];
        return reactions;
    }
};

class SettlementByDefault : public BatchSolveTest {};

}  // namespace

TEST_F(SettlementByDefault, NozzleSettlementIsAnalysedFromTheSustainedState)
{
    // ASME Class 2 (2017) has the Settlement case: the batch file chooses no
    // cases and the defaults take it. The nozzle goes down 2 in: the rest
    // beside it takes the line's weight over the nozzle, the next rest lifts
    // off and loses its whole load, pulling on nothing.
    ASSERT_NO_FATAL_FAILURE(run(settling_line("ASME-2017")));
    EXPECT_TRUE(snapshot_->load_cases.contains(LC_SETTLEMENT));
    EXPECT_TRUE(analysis_model_warnings(*snapshot_).empty());
    const BeamOnRests before(0.0), after(SETTLED);
    EXPECT_EQ(after.rest[1], 0.0);
    EXPECT_GT(before.rest[1], 0.0);

    const CaseResults& s = result(LC_SUSTAINED);
    const CaseResults& c = result(LC_SETTLEMENT);
    EXPECT_TRUE(c.converged);
    expect_relative(at(c, 10)[1], -SETTLED, 1e-6, "the nozzle's settlement");
    for (std::size_t i = 0; i < std::size(RESTS); ++i) {
        const std::string rest = "rest " + std::to_string(RESTS[i]);
        expect_relative(support(s, RESTS[i])[0], before.rest[i], 0.002, rest + " sustained", 0.5);
        expect_relative(support(c, RESTS[i])[0], after.rest[i] - before.rest[i], 0.002, rest + " settlement", 0.5);
        EXPECT_GE(support(s, RESTS[i])[0] + support(c, RESTS[i])[0], -1e-3) << rest;
    }
    // The nozzle: its force up and its moment about Z on the line, as the
    // change from Sustained (the hand moment is clockwise, about -Z).
    expect_relative(support(c, 10)[1], after.force - before.force, 0.002, "nozzle force", 0.5);
    expect_relative(support(c, 10)[5], -(after.moment - before.moment), 0.002, "nozzle moment", 50);
}

TEST_F(SettlementByDefault, NamedWhereItIsNotAnalysed)
{
    // B31.3 has no Settlement case: the defaults leave it out and the model
    // check names the node and the code, as before.
    ASSERT_NO_FATAL_FAILURE(run(settling_line("B313")));
    EXPECT_FALSE(snapshot_->load_cases.contains(LC_SETTLEMENT));
    EXPECT_EQ(analysis_model_warnings(*snapshot_),
              std::vector<std::string>{"The settlement given at node 10 is not analysed: B31.3 (2018) has no "
                                       "Settlement load case (the ASME Class 2 and 3, RCC-M and EN 13480 codes "
                                       "have it)"});
    EXPECT_FALSE(default_analysis_load_cases().contains(LC_SETTLEMENT));

    // Under ASME Class 2 with cases chosen that leave Settlement out, the
    // settlement is named as not chosen; chosen, nothing is said.
    reset_all();
    SetUp();
    ASSERT_NO_FATAL_FAILURE(import_ok(settling_line("ASME-2017")));
    EXPECT_TRUE(default_analysis_load_cases().contains(LC_SETTLEMENT));
    LoadCaseList chosen;
    chosen.add(LC_SUSTAINED);
    load_case_list() = chosen;
    make_model();
    EXPECT_EQ(analysis_model_warnings(*make_analysis_model()),
              std::vector<std::string>{
                  "The settlement given at node 10 is not analysed: the Settlement load case is not chosen"});
    chosen.add(LC_SETTLEMENT);
    load_case_list() = chosen;
    EXPECT_TRUE(analysis_model_warnings(*make_analysis_model()).empty());
}
