// The eigen solution alone, on small dense systems built here: chains of
// springs and masses whose frequencies are known in closed form, a pair of
// weakly coupled oscillators (closely spaced modes), repeated frequencies,
// massless equations, a cutoff frequency, and the Sturm check that catches a
// mode taken out of the answer.
#include "analysis/eigen_solver.h"
#include "closeness.h"
#include "framework/data/thrown_text.h"
#include "framework/errors.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using Matrix = Eigen::MatrixXd;

// K - shift M of dense matrices: the inertia from the eigenvalues of the
// shifted matrix (an independent count), the solves from its LDL^T.
class DenseSystem final : public ShiftedSystem {
public:
    DenseSystem(Matrix k, Matrix m) : k_(std::move(k)), m_(std::move(m)) {}
    int size() const override { return static_cast<int>(k_.rows()); }
    std::optional<int> factor(double shift) override
    {
        ++factors;
        const Matrix a = k_ - shift * m_;
        Eigen::SelfAdjointEigenSolver<Matrix> e(a, Eigen::EigenvaluesOnly);
        const double scale = a.cwiseAbs().maxCoeff();
        int negative = 0;
        for (Eigen::Index i = 0; i < e.eigenvalues().size(); ++i) {
            if (std::fabs(e.eigenvalues()[i]) < 1e-13 * scale)
                return std::nullopt;
            negative += e.eigenvalues()[i] < 0.0;
        }
        lu_.compute(a);
        return negative;
    }
    void solve(std::span<double> x) override
    {
        Eigen::Map<Eigen::VectorXd> v(x.data(), static_cast<Eigen::Index>(x.size()));
        v = lu_.solve(Eigen::VectorXd(v));
    }
    int factors = 0;

private:
    Matrix k_, m_;
    Eigen::PartialPivLU<Matrix> lu_;
};

MassMatrix diagonal_mass(const Matrix& m)
{
    MassMatrix mass;
    for (Eigen::Index i = 0; i < m.rows(); ++i)
        mass.diagonal.push_back(m(i, i));
    return mass;
}

// A chain of n equal masses m joined by springs k, its first mass held to
// the ground by a spring k, its last free.
Matrix chain_stiffness(int n, double k)
{
    Matrix s = Matrix::Zero(n, n);
    for (int i = 0; i < n; ++i) {
        s(i, i) += k;
        if (i + 1 < n) {
            s(i, i) += k;
            s(i, i + 1) -= k;
            s(i + 1, i) -= k;
        }
    }
    return s;
}

// The fixed-free chain's eigenvalues: w_j^2 = 4 k/m sin^2((2j - 1) pi /
// (2 (2n + 1))), j = 1..n (the tridiagonal matrix of the chain; e.g.
// Rao, "Mechanical Vibrations", the lumped model of the fixed-free bar).
double chain_eigenvalue(int n, int j, double k, double m)
{
    const double s = std::sin((2.0 * j - 1.0) * std::numbers::pi / (2.0 * (2.0 * n + 1.0)));
    return 4.0 * k / m * s * s;
}

}  // namespace

namespace {
// The requests of the tests: Lanczos iterations however small the system.
ModeRequest by_lanczos(int modes, double cutoff = 0.0)
{
    return {modes, cutoff, 0};
}
}  // namespace

TEST(EigenSolver, SpringMassChainByLanczosMatchesItsClosedForm)
{
    const int n = 80;
    const double k = 2.0e5, m = 0.75;
    DenseSystem system(chain_stiffness(n, k), m * Matrix::Identity(n, n));
    const ModeSolution s = lowest_modes(system, diagonal_mass(m * Matrix::Identity(n, n)), by_lanczos(20));
    ASSERT_EQ(s.eigenvalues.size(), 20u);
    for (int j = 1; j <= 20; ++j)
        expect_relative(s.eigenvalues[static_cast<std::size_t>(j - 1)], chain_eigenvalue(n, j, k, m), 1e-9, "w^2");
    // Shapes: mass-normalised and solutions of K x = w^2 M x; the largest
    // of the X, Y, Z equations (the first three of each six) positive.
    const Matrix kk = chain_stiffness(n, k);
    for (std::size_t i = 0; i < s.shapes.size(); ++i) {
        const Eigen::Map<const Eigen::VectorXd> x(s.shapes[i].data(), n);
        EXPECT_NEAR(m * x.squaredNorm(), 1.0, 1e-9);
        const double residual = (kk * x - s.eigenvalues[i] * m * x).norm() / (kk * x).norm();
        EXPECT_LT(residual, 1e-7) << i;
        int largest = 0;
        for (int e = 0; e < n; ++e)
            if (e % 6 < 3 && std::fabs(x[e]) > std::fabs(x[largest]) * (1 + 1e-9))
                largest = e;
        EXPECT_GT(x[largest], 0.0);
    }
    // The Sturm check counted the 20 below its shift.
    EXPECT_EQ(s.sturm_count, 20);
    EXPECT_GT(s.sturm_shift, s.eigenvalues.back());
    EXPECT_LT(s.sturm_shift, chain_eigenvalue(n, 21, k, m));
}

TEST(EigenSolver, SmallChainIsSolvedWholeAndAskingMoreModesThanMassesIsSaid)
{
    const int n = 5;
    const double k = 1000.0, m = 2.0;
    DenseSystem system(chain_stiffness(n, k), m * Matrix::Identity(n, n));
    const ModeSolution s = lowest_modes(system, diagonal_mass(m * Matrix::Identity(n, n)), {8, 0.0});
    ASSERT_EQ(s.eigenvalues.size(), 5u);
    for (int j = 1; j <= n; ++j)
        expect_relative(s.eigenvalues[static_cast<std::size_t>(j - 1)], chain_eigenvalue(n, j, k, m), 1e-12, "w^2");
    ASSERT_EQ(s.notes.size(), 1u);
    EXPECT_EQ(s.notes[0], "5 modes are found, not 8: the mass points limit the count (the model has 5 degrees of freedom with mass)");
}

TEST(EigenSolver, CutoffFrequencyKeepsOnlyTheModesBelowIt)
{
    const int n = 80;
    const double k = 2.0e5, m = 0.75;
    DenseSystem system(chain_stiffness(n, k), m * Matrix::Identity(n, n));
    // Between the 7th and 8th frequencies; at most 20 modes.
    const double cutoff =
        0.5 * (eigenvalue_frequency(chain_eigenvalue(n, 7, k, m)) + eigenvalue_frequency(chain_eigenvalue(n, 8, k, m)));
    const ModeSolution s = lowest_modes(system, diagonal_mass(m * Matrix::Identity(n, n)), by_lanczos(20, cutoff));
    ASSERT_EQ(s.eigenvalues.size(), 7u);
    expect_relative(s.eigenvalues.back(), chain_eigenvalue(n, 7, k, m), 1e-9, "w7^2");
    // At most 3 modes, the cutoff above them.
    const ModeSolution three = lowest_modes(system, diagonal_mass(m * Matrix::Identity(n, n)), by_lanczos(3, cutoff));
    EXPECT_EQ(three.eigenvalues.size(), 3u);
    // A cutoff below the first frequency: no mode, and a note.
    const ModeSolution none = lowest_modes(system, diagonal_mass(m * Matrix::Identity(n, n)), by_lanczos(3, 0.001));
    EXPECT_TRUE(none.eigenvalues.empty());
    ASSERT_EQ(none.notes.size(), 1u);
    EXPECT_EQ(none.notes[0], "No natural frequency lies below the cutoff frequency of 0.001 Hz");
}

TEST(EigenSolver, MasslessEquationsCarryNoModeAndFollowTheMassesStatically)
{
    // The chain of 3 masses again, each spring made of two springs 2k in
    // series with a massless point between them: the same frequencies, and
    // each massless point half way between its neighbours' motions.
    const int masses = 3;
    const double k = 500.0, m = 1.5;
    const int n = 2 * masses;   // point, mass, point, mass ...
    Matrix kk = Matrix::Zero(n, n), mm = Matrix::Zero(n, n);
    auto spring = [&](int a, int b, double s) {
        kk(a, a) += s;
        if (b >= 0) {
            kk(b, b) += s;
            kk(a, b) -= s;
            kk(b, a) -= s;
        }
    };
    for (int j = 0; j < masses; ++j) {
        const int point = 2 * j, mass = 2 * j + 1;
        spring(point, j == 0 ? -1 : mass - 2, 2 * k);
        spring(point, mass, 2 * k);
        mm(mass, mass) = m;
    }
    DenseSystem system(kk, mm);
    const ModeSolution s = lowest_modes(system, diagonal_mass(mm), {10, 0.0});
    ASSERT_EQ(s.eigenvalues.size(), 3u);
    for (int j = 1; j <= masses; ++j)
        expect_relative(s.eigenvalues[static_cast<std::size_t>(j - 1)], chain_eigenvalue(masses, j, k, m), 1e-12, "w^2");
    for (const std::vector<double>& x : s.shapes) {
        EXPECT_NEAR(x[0], 0.5 * x[1], 1e-12);
        EXPECT_NEAR(x[2], 0.5 * (x[1] + x[3]), 1e-12);
    }
}

TEST(EigenSolver, WeaklyCoupledPairHasItsCloselySpacedModes)
{
    // Two masses m on springs k to the ground, joined by a weak spring c:
    // in phase w^2 = k/m, out of phase w^2 = (k + 2c)/m (Den Hartog,
    // "Mechanical Vibrations", coupled pendulums); 0.5 % apart.
    const double k = 4.0e4, m = 3.0, c = 100.0;
    Matrix kk(2, 2);
    kk << k + c, -c, -c, k + c;
    const Matrix mm = m * Matrix::Identity(2, 2);
    DenseSystem system(kk, mm);
    const ModeSolution s = lowest_modes(system, diagonal_mass(mm), {2, 0.0});
    ASSERT_EQ(s.eigenvalues.size(), 2u);
    expect_relative(s.eigenvalues[0], k / m, 1e-12, "in phase");
    expect_relative(s.eigenvalues[1], (k + 2 * c) / m, 1e-12, "out of phase");
    EXPECT_NEAR(s.shapes[0][0], s.shapes[0][1], 1e-12);
    EXPECT_NEAR(s.shapes[1][0], -s.shapes[1][1], 1e-12);
}

TEST(EigenSolver, NoMassAndNoRequestAreRefused)
{
    DenseSystem system(chain_stiffness(3, 10.0), Matrix::Zero(3, 3));
    EXPECT_EQ(thrown_text([&] { lowest_modes(system, diagonal_mass(Matrix::Zero(3, 3)), {5, 0.0}); }),
              "The model has no mass: it has no natural modes");
    DenseSystem massive(chain_stiffness(3, 10.0), Matrix::Identity(3, 3));
    EXPECT_EQ(thrown_text([&] { lowest_modes(massive, diagonal_mass(Matrix::Identity(3, 3)), {0, 0.0}); }),
              "No number of modes and no cutoff frequency are given");
}

TEST(EigenSolver, OffsetMassBlockTurnsTheNodeAsARigidBody)
{
    // One node on a spring ky across and a rotational spring krz, carrying
    // a mass m at a lever d along X: the mass moves v + d rz, so it sits on
    // the two springs in series, k = 1 / (1/ky + d^2/krz), and w^2 = k/m is
    // the one mode across (the block is of rank 1 in the pair v, rz).
    const double ky = 3.0e4, krz = 8.0e6, m = 2.0, d = 12.0;
    Matrix kk = Matrix::Zero(6, 6);
    const double stiff[6] = {1e9, ky, 1e9, 1e9, 1e9, krz};
    for (int i = 0; i < 6; ++i)
        kk(i, i) = stiff[i];
    MassMatrix mass;
    mass.diagonal.assign(6, 0.0);
    MassMatrix::Block b;
    b.first = 0;
    // Kinetic energy m/2 (v + d rz)^2 (and the other directions' terms,
    // here on stiff springs).
    b.m[6 * 1 + 1] = m;
    b.m[6 * 1 + 5] = b.m[6 * 5 + 1] = m * d;
    b.m[6 * 5 + 5] = m * d * d;
    mass.blocks.push_back(b);
    Matrix mm = Matrix::Zero(6, 6);
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j)
            mm(i, j) = b.m[static_cast<std::size_t>(6 * i + j)];
    DenseSystem system(kk, mm);
    const ModeSolution s = lowest_modes(system, mass, {4, 0.0});
    ASSERT_EQ(s.eigenvalues.size(), 1u);
    expect_relative(s.eigenvalues[0], 1.0 / (1.0 / ky + d * d / krz) / m, 1e-12, "w^2");
    EXPECT_NEAR(mass.quadratic(s.shapes[0]), 1.0, 1e-12);
}

TEST(SturmCheck, CatchesAModeTakenOutOfTheAnswer)
{
    const int n = 80;
    const double k = 2.0e5, m = 0.75;
    DenseSystem system(chain_stiffness(n, k), m * Matrix::Identity(n, n));
    const ModeSolution s = lowest_modes(system, diagonal_mass(m * Matrix::Identity(n, n)), by_lanczos(10));
    ASSERT_EQ(s.eigenvalues.size(), 10u);
    std::vector<double> found = s.eigenvalues;
    EXPECT_NO_THROW(sturm_check(system, found, s.sturm_shift));
    // The fourth mode left out.
    found.erase(found.begin() + 3);
    const std::string text = thrown_text([&] { sturm_check(system, found, s.sturm_shift); });
    EXPECT_EQ(text.find("The eigen solution missed 1 mode(s) below "), 0u) << text;
    EXPECT_NE(text.find("the Sturm check counts 10, the solution found 9"), std::string::npos) << text;
}

TEST(SturmCheck, RepeatedFrequenciesAreAllFound)
{
    // Two equal chains side by side: every frequency twice. The Lanczos
    // iterations meet a repeated eigenvalue once from most starting vectors;
    // the Sturm check sends the solution back for the other.
    const int n = 50;
    const double k = 2.0e5, m = 0.75;
    Matrix kk = Matrix::Zero(2 * n, 2 * n);
    kk.topLeftCorner(n, n) = chain_stiffness(n, k);
    kk.bottomRightCorner(n, n) = chain_stiffness(n, k);
    const Matrix mm = m * Matrix::Identity(2 * n, 2 * n);
    DenseSystem system(kk, mm);
    const ModeSolution s = lowest_modes(system, diagonal_mass(mm), by_lanczos(10));
    ASSERT_EQ(s.eigenvalues.size(), 10u);
    for (int j = 1; j <= 5; ++j) {
        expect_relative(s.eigenvalues[static_cast<std::size_t>(2 * j - 2)], chain_eigenvalue(n, j, k, m), 1e-9, "first");
        expect_relative(s.eigenvalues[static_cast<std::size_t>(2 * j - 1)], chain_eigenvalue(n, j, k, m), 1e-9, "second");
    }
    // The two shapes of a pair are M-orthogonal.
    double cross = 0.0;
    for (int i = 0; i < 2 * n; ++i)
        cross += m * s.shapes[0][static_cast<std::size_t>(i)] * s.shapes[1][static_cast<std::size_t>(i)];
    EXPECT_NEAR(cross, 0.0, 1e-8);
    EXPECT_EQ(s.sturm_count, 10);
}
