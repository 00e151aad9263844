// The dynamic analyses of whole runs: the analysis fixture's steel pipe and
// test supports with the program's own concentrated masses and dynamic
// loads, the dynamic input set by each test, and a frame computation of its
// own to check the program against:
//
//   PlanarPipe: a straight pipe along X of equal Timoshenko elements
//   (Przemieniecki, "Theory of Matrix Structural Analysis", section 5.6: the
//   beam with shear deformation, phi = 12 E I alpha / (G A L^2)), bending in
//   the XY plane (v and rz at each node) and stretching (u), the lumped
//   masses w L / 2 / 386.4 on the translations, supports as springs of
//   1.0e12; its modes from Eigen's dense solver after the massless
//   rotations are condensed out.
#pragma once

#include "analysis/data/analysis_fixture.h"
#include "framework/data/thrown_text.h"
#include "loads/nodal_loads.h"

#include <Eigen/Dense>

namespace analysis_test {

inline constexpr double G_ACCELERATION = 386.4;   // in/s2

struct PlanarPipe {
    using Matrix = Eigen::MatrixXd;
    using Vector = Eigen::VectorXd;

    // n elements of length l each, of the steel tube, weighing w per length.
    PlanarPipe(const Steel& s, int n, double l, double w) : elements(n), k(Matrix::Zero(3 * (n + 1), 3 * (n + 1))), m(k)
    {
        const double phi = 12.0 * s.e * s.inertia * s.shear / (s.g * s.area * l * l);
        const double c = s.e * s.inertia / ((1.0 + phi) * l * l * l);
        const double axial = s.e * s.area / l;
        const double b[4][4] = {{12.0, 6.0 * l, -12.0, 6.0 * l},
                                {6.0 * l, (4.0 + phi) * l * l, -6.0 * l, (2.0 - phi) * l * l},
                                {-12.0, -6.0 * l, 12.0, -6.0 * l},
                                {6.0 * l, (2.0 - phi) * l * l, -6.0 * l, (4.0 + phi) * l * l}};
        for (int e = 0; e < n; ++e) {
            const int u1 = 3 * e, u2 = 3 * (e + 1);
            k(u1, u1) += axial;
            k(u2, u2) += axial;
            k(u1, u2) -= axial;
            k(u2, u1) -= axial;
            const int dofs[4] = {u1 + 1, u1 + 2, u2 + 1, u2 + 2};
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 4; ++j)
                    k(dofs[i], dofs[j]) += c * b[i][j];
            const double half = w * l / 2.0 / G_ACCELERATION;
            for (int node : {e, e + 1}) {
                m(3 * node, 3 * node) += half;
                m(3 * node + 1, 3 * node + 1) += half;
            }
        }
    }
    // A spring of 1.0e12 on direction d (0 u, 1 v, 2 rz) of a node 0..n.
    void hold(int node, int d) { k(3 * node + d, 3 * node + d) += RIGID; }

    // The eigenvalues w^2 (ascending) and the mass-normalised shapes (all
    // freedoms) of the massed freedoms' condensed problem.
    void modes(Vector& eigenvalues, Matrix& shapes) const
    {
        std::vector<int> massed, free;
        for (int i = 0; i < k.rows(); ++i)
            (m(i, i) > 0.0 ? massed : free).push_back(i);
        const auto pick = [&](const std::vector<int>& rows, const std::vector<int>& cols) {
            Matrix a(rows.size(), cols.size());
            for (std::size_t i = 0; i < rows.size(); ++i)
                for (std::size_t j = 0; j < cols.size(); ++j)
                    a(static_cast<Eigen::Index>(i), static_cast<Eigen::Index>(j)) = k(rows[i], cols[j]);
            return a;
        };
        const Matrix kmm = pick(massed, massed), kms = pick(massed, free), kss = pick(free, free);
        const Eigen::LDLT<Matrix> s(kss);
        const Matrix condensed = kmm - kms * s.solve(kms.transpose());
        Vector root(massed.size());
        for (std::size_t i = 0; i < massed.size(); ++i)
            root(static_cast<Eigen::Index>(i)) = std::sqrt(m(massed[i], massed[i]));
        const Matrix a = root.cwiseInverse().asDiagonal() * condensed * root.cwiseInverse().asDiagonal();
        Eigen::SelfAdjointEigenSolver<Matrix> e(0.5 * (a + a.transpose()));
        eigenvalues = e.eigenvalues();
        const Matrix xm = root.cwiseInverse().asDiagonal() * e.eigenvectors();
        const Matrix xs = -s.solve(kms.transpose() * xm);
        shapes = Matrix::Zero(k.rows(), xm.cols());
        for (std::size_t i = 0; i < massed.size(); ++i)
            shapes.row(massed[i]) = xm.row(static_cast<Eigen::Index>(i));
        for (std::size_t i = 0; i < free.size(); ++i)
            shapes.row(free[i]) = xs.row(static_cast<Eigen::Index>(i));
    }
    std::vector<double> frequencies() const
    {
        Vector e;
        Matrix x;
        modes(e, x);
        std::vector<double> f;
        for (Eigen::Index i = 0; i < e.size(); ++i)
            f.push_back(std::sqrt(e[i]) / (2.0 * std::numbers::pi));
        return f;
    }
    // K^-1 f.
    Vector statics(const Vector& f) const { return k.ldlt().solve(f); }

    int elements;
    Matrix k, m;
};

// The steel and pipe of the analysis fixture as the model holds them: the
// float values of the material and section records.
inline Steel stored_steel()
{
    Steel s;
    s.nu = static_cast<double>(0.3f);
    s.g = s.e / (2 * (1 + s.nu));
    s.t = static_cast<double>(0.28f);
    s.ri = s.ro - s.t;
    s.area = std::numbers::pi * (s.ro * s.ro - s.ri * s.ri);
    s.inertia = std::numbers::pi / 4 * (std::pow(s.ro, 4) - std::pow(s.ri, 4));
    s.shear = 4.0 / 3.0 * (s.ro * s.ro * s.ro - s.ri * s.ri * s.ri) / ((s.ro - s.ri) * (s.ri * s.ri + s.ro * s.ro));
    s.density = static_cast<double>(0.283f);
    s.weight = s.density * s.area;
    return s;
}

class ModalTest : public AnalysisTest {
protected:
    void SetUp() override
    {
        AnalysisTest::SetUp();
        steel = stored_steel();
        set_data_factory(DT_CONC_MASS, [] { return std::make_unique<ConcentratedMass>(); });
        set_data_factory(DT_TIME_VARYING_LOAD, [] { return std::make_unique<TimeVaryingLoad>(); });
        set_data_factory(DT_HARMONIC_LOAD, [] { return std::make_unique<HarmonicLoad>(); });
        set_data_factory(DT_FORCE_SPECTRUM_LOAD, [] { return std::make_unique<ForceSpectrumLoad>(); });
        analysis_load_hooks().fill_loads = [this](AnalysisLoads& l) {
            l.pipe_loads.clear();
            l.pipe_loads.push_back(load);
            l.seismic = seismic;
            l.dynamic = dynamic;
        };
        analysis_options().number_of_modes = 20;
        analysis_options().cutoff_frequency = 0;
    }

    // The run of the document's model with its modes.
    std::map<int, CaseResults> run_dynamics()
    {
        make_model();
        snapshot = make_analysis_model();
        AnalysisRun run(*snapshot);
        modes = RunModes{};
        return solve_load_cases(run, callbacks, nullptr, &modes);
    }
    std::string dynamic_failure()
    {
        return thrown_text([&] { run_dynamics(); });
    }

    // A weightless cantilever from an anchor at node 10: a row to node 20
    // (l1 along X) with `first`, and one to node 30 (l2 further) with
    // `second` (restrained in Z when DT_RESTRAINT).
    void weightless_line(double l1, int first, double l2, int second)
    {
        weightless();
        anchored_from(10);
        pipe(20, static_cast<float>(l1), 0, 0, first);
        pipe(30, static_cast<float>(l2), 0, 0, second);
        if (second == DT_RESTRAINT)
            restrain(3, {2});
    }
    // Cantilever influence coefficients of the anchored pipe: the motion
    // across at x from a unit force across at a <= x (Euler-Bernoulli
    // a^2 (3x - a) / 6EI, the shear alpha a / GA, and the anchor's springs:
    // its translation 1/K and its rotation a/K carried over x).
    double influence(double a, double x) const
    {
        return a * a * (3 * x - a) / (6 * steel.e * steel.inertia) + steel.shear * a / (steel.g * steel.area) +
               1 / RIGID + a * x / RIGID;
    }
    // A spectrum over frequency of accelerations (in/s2) or load factors.
    static SpectrumCurve spectrum(const std::string& name, int ordinate, std::vector<std::array<double, 2>> points)
    {
        SpectrumCurve s;
        s.name = name;
        s.ordinate = ordinate;
        s.points = std::move(points);
        return s;
    }

    DynamicInput dynamic;
    RunModes modes;
};

}  // namespace analysis_test
