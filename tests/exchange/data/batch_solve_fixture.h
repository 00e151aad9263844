// Whole models solved from batch files: the fixture that imports a text,
// builds it and runs its default load cases, and the small numerical tools
// that the independent answers are worked out with (vectors, Simpson's rule,
// a dense solver, a steel tube's section). Every anchor of these files is
// rigid, a spring of 1.0e12 lb/in and in-lb/rad on each freedom.
#pragma once

#include "analysis/analysis_model.h"
#include "analysis/static_analysis.h"
#include "analysis_core/analysis_run.h"
#include "analysis_core/results_sink.h"
#include "analysis_core/steps.h"
#include "closeness.h"
#include "elements/element_analysis.h"
#include "exchange/data/batch_fixture.h"
#include "exchange/data/english_head.h"
#include "model/load_cases.h"
#include "model/nodes.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <numbers>
#include <vector>

namespace batch_test {

inline constexpr double RIGID = 1.0e12;            // lb/in and in-lb/rad
inline constexpr double MM = 25.4;                 // mm in an inch
inline constexpr double NEWTON = 4.4482216152605;  // N in a pound-force (0.45359237 kg x 9.80665 m/s2)

// A steel tube: area, inertia and the thick-wall shear coefficient of beam
// theory (shear energy alpha V^2 / 2GA with alpha = 4/3 (ro^3 - ri^3) /
// ((ro - ri)(ro^2 + ri^2))), in whatever consistent units it is given.
struct Tube {
    double od, t, e, nu;
    double ro = od / 2, ri = ro - t;
    double area = std::numbers::pi * (ro * ro - ri * ri);
    double inertia = std::numbers::pi / 4 * (std::pow(ro, 4) - std::pow(ri, 4));
    double shear = 4.0 / 3.0 * (ro * ro * ro - ri * ri * ri) / ((ro - ri) * (ri * ri + ro * ro));
    double g = e / (2 * (1 + nu));

    // Tip of a cantilever of length l under a tip force: l^3/3EI + alpha l/GA,
    // with an anchor of translational spring kt and rotational spring kr.
    double tip_flexibility(double l, double kt, double kr) const
    {
        return l * l * l / (3 * e * inertia) + shear * l / (g * area) + 1 / kt + l * l / kr;
    }
    // Tip of the same cantilever under a uniform load q: q l^4/8EI +
    // alpha q l^2/2GA, and the anchor's springs under q l and q l^2/2.
    double tip_under_uniform(double l, double q, double kt, double kr) const
    {
        return q * std::pow(l, 4) / (8 * e * inertia) + shear * q * l * l / (2 * g * area) + q * l / kt +
               q * l * l / 2 * l / kr;
    }
};

using Vec = std::array<double, 3>;
inline Vec cross(const Vec& a, const Vec& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline double dot(const Vec& a, const Vec& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Composite Simpson's rule over [lo, hi] in n (even) intervals: exact for the
// cubics of a straight leg; over a quarter arc 400 intervals leave an error
// near 1e-12 of the integral.
template <typename F>
double simpson(F&& f, double lo, double hi, int n = 400)
{
    const double step = (hi - lo) / n;
    double sum = f(lo) + f(hi);
    for (int i = 1; i < n; ++i)
        sum += (i % 2 ? 4.0 : 2.0) * f(lo + i * step);
    return sum * step / 3.0;
}

using Dense = std::vector<std::vector<double>>;

// Solves a x = b by Gaussian elimination with partial pivoting.
inline std::vector<double> solve_dense(Dense a, std::vector<double> b)
{
    const std::size_t n = b.size();
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t r = col + 1; r < n; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col]))
                pivot = r;
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        for (std::size_t r = col + 1; r < n; ++r) {
            const double factor = a[r][col] / a[col][col];
            for (std::size_t k = col; k < n; ++k)
                a[r][k] -= factor * a[col][k];
            b[r] -= factor * b[col];
        }
    }
    std::vector<double> x(n);
    for (std::size_t i = n; i-- > 0;) {
        double sum = b[i];
        for (std::size_t k = i + 1; k < n; ++k)
            sum -= a[i][k] * x[k];
        x[i] = sum / a[i][i];
    }
    return x;
}

// The English files under B31.3 (english_head.h).
inline const std::string ENGLISH_HEAD = english_head("B313");

// Mean expansion coefficient of the English material, per degF, linear in
// its table.
inline double alpha_english(double t)
{
    return 6.0e-6 + (8.1e-6 - 6.0e-6) * (t - 70.0) / (700.0 - 70.0);
}

// The SI files: 8 in STD pipe (219.1 x 8.18 mm) of carbon steel, 7850 kg/m3,
// E constant over temperature. The answers are worked in N and mm; the
// program's inch and pound results are turned into them.
inline const std::string SI_HEAD = "OPTIONS\n"
                                   "SI,B313\n"
                                   "MATERIAL\n"
                                   "CS,7850,0.29\n"
                                   "CS,20,200000,11.5E-6,138\n"
                                   "CS,400,200000,13.9E-6,100\n"
                                   "PIPE\n"
                                   "P8,219.1,8.18\n";
inline const double KT_SI = RIGID * NEWTON / MM;   // an anchor's 1.0e12 lb/in in N/mm
inline const double KR_SI = RIGID * NEWTON * MM;   // its 1.0e12 in-lb/rad in N mm/rad
// Weight of the steel per mm of pipe, N/mm: rho g A.
inline double weight_si(const Tube& p)
{
    return 7850e-9 * 9.80665 * p.area;
}
// Mean expansion coefficient of the SI material, per degC, linear in its table.
inline double alpha_si(double t)
{
    return 11.5e-6 + (13.9e-6 - 11.5e-6) * (t - 20.0) / (400.0 - 20.0);
}


class BatchSolveTest : public BatchTest {
protected:
    void SetUp() override
    {
        BatchTest::SetUp();
        install_element_analysis();
    }
    // Imports the text and solves its default load cases; `adjust`, when
    // given, changes the imported model first, as an engineer would in a
    // dialog for what the batch file has no word for.
    void run(const std::string& text, const std::function<void()>& adjust = {})
    {
        ASSERT_NO_FATAL_FAILURE(import_ok(text));
        solve(adjust);
    }
    // Solves the default load cases of the current model.
    void solve(const std::function<void()>& adjust = {})
    {
        try {
            if (adjust)
                adjust();
            make_model();
            snapshot_ = make_analysis_model();
            AnalysisRun r(*snapshot_);
            results_ = solve_load_cases(r, callbacks_);
        } catch (const MessageText& m) {
            FAIL() << m.text;
        }
    }
    const CaseResults& result(int code)
    {
        EXPECT_TRUE(results_.count(code)) << "no case " << code;
        return results_[code];
    }
    // DX, DY, DZ (inch) and RX, RY, RZ (radian) of a node.
    static std::array<double, 6> at(const CaseResults& c, int node)
    {
        const int index = node_index(node);
        EXPECT_NE(index, 0) << node;
        std::array<double, 6> u{};
        if (index == 0)
            return u;
        for (std::size_t d = 0; d < 6; ++d)
            u[d] = c.displacements[6 * static_cast<std::size_t>(index - 1) + d];
        return u;
    }
    // The support-load values of the support at a node.
    static std::vector<double> support(const CaseResults& c, int node)
    {
        int offset = 0;
        for (int r = 1; r <= numrows(); ++r) {
            const LayoutRow& row = model().rows[r];
            const int words = support_word_count(row.dtype);
            if (row.node == node && words > 0)
                return {c.support_loads.begin() + offset, c.support_loads.begin() + offset + words};
            offset += words;
        }
        ADD_FAILURE() << "no support at node " << node;
        return std::vector<double>(6, 0.0);
    }

    std::unique_ptr<AnalysisModel> snapshot_;
    std::map<int, CaseResults> results_;
    // What solve gives the run.
    RunCallbacks callbacks_;
};

}  // namespace batch_test
