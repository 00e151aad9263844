// The lowest natural modes of a piping model: the program's eigen solution
// (Lanczos iterations on the factor of K in mass coordinates, with its
// Sturm check) against a reference computed by another road on the same
// matrices, in one process.
//
// The model is the solver benchmark's piping model (bench_piping_model.h)
// of 30,000 equations (or the counts in KV_BENCH_MODAL_EQUATIONS,
// comma-separated), each pipe's weight full of water lumped half to each of
// its nodes' translations (weight / 386.4 in/s2), the rotations massless.
// The program's solution asks for the 50 lowest modes (KV_BENCH_MODES).
// The model keeps its rigid (1.0e12) supports but not its rigid links
// (KV_BENCH_MODAL_LINKS=1 puts them back): eliminating one node of a link
// leaves the other the pivot 1.0e12 + k - 1.0e12 * 1.0e12 / (1.0e12 + k'),
// where double precision keeps the linked stiffness k only to some 1e-4
// lb/in, so that any solution in double precision, the program's and the
// reference's alike, knows the frequencies of such a model to about 1e-8
// only (BM_CompareModesDense shows both against extended precision).
//
// The reference is Spectra's generalized solver in its buckling mode on
// Eigen's sparse matrices: K x = lambda M x with K positive definite and M
// only semidefinite, transformed to (K - sigma M)^-1 K x = nu x with
// nu = lambda / (lambda - sigma), iterated in the K inner product; K -
// sigma M is factorised by Eigen's SparseLU. The shift sigma is -(2 pi 1 Hz)^2,
// so that K - sigma M stays definite and the lowest modes are the smallest
// nu. Nothing of it is shared with the program's solution but the matrices.
//
// BM_ModalProgram and BM_ModalReference time each alone; BM_CompareModes
// runs both once and gives the seconds of each, the ratio program /
// reference, and the largest difference of the frequencies relative to
// each frequency (the goal: below 1e-8).
#include "analysis/eigen_solver.h"
#include "analysis_core/equation_store.h"
#include "bench_piping_model.h"
#include "bench_setup.h"

#include <Eigen/Dense>
#include <Eigen/SparseCore>
#include <Spectra/MatOp/SparseSymMatProd.h>
#include <Spectra/MatOp/SymShiftInvert.h>
#include <Spectra/SymGEigsShiftSolver.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace bench_piping;

constexpr double GRAVITY = 386.4;   // in/s2

// K - shift M on the program's store, M the lumped diagonal.
class StoreShift final : public ShiftedSystem {
public:
    StoreShift(EquationStore& store, const OneBased<double>& mass) : store_(store), mass_(mass) {}
    int size() const override { return store_.equation_count(); }
    std::optional<int> factor(double shift) override
    {
        FactorOptions options;
        if (shift != 0.0) {
            options.indefinite = true;
            options.shift = shift;
            options.shift_diagonal = &mass_;
        }
        const FactorResult result = store_.factor(options);
        if (!result.ok()) {
            if (shift == 0.0)
                throw std::runtime_error("the benchmark model is unstable");
            return std::nullopt;
        }
        return result.negative_pivots;
    }
    void solve(std::span<double> x) override { store_.solve(x, 1); }

private:
    EquationStore& store_;
    const OneBased<double>& mass_;
};

// KV_BENCH_MODAL_LINKS=1 puts the solver benchmark's rigid links back.
bool links_wanted()
{
    const char* text = std::getenv("KV_BENCH_MODAL_LINKS");
    return text && std::atoi(text) != 0;
}

struct ModalFixture {
    Model model;
    std::unique_ptr<EquationStore> store;
    OneBased<double> mass;   // by equation
    MassMatrix mass_matrix;
    Eigen::SparseMatrix<double> k, m;

    explicit ModalFixture(int nodes)
        : model(make_piping_model(nodes, links_wanted())), store(std::make_unique<EquationStore>(model.nodes, model.pairs)),
          mass(6 * model.nodes), k(eigen_matrix(model))
    {
        assemble(model, *store);
        for (const Element& e : model.elements)
            for (int node : {e.a, e.b})
                for (int d = 1; d <= 3; ++d)
                    mass[6 * node - 6 + d] += e.weight / 2.0 / GRAVITY;
        mass_matrix.diagonal.assign(mass.begin(), mass.end());
        std::vector<Eigen::Triplet<double>> terms;
        for (int e = 1; e <= mass.size(); ++e)
            if (mass[e] != 0.0)
                terms.emplace_back(e - 1, e - 1, mass[e]);
        m.resize(k.rows(), k.cols());
        m.setFromTriplets(terms.begin(), terms.end());
    }
};

ModalFixture& fixture(int equations)
{
    static std::map<int, std::unique_ptr<ModalFixture>> made;
    std::unique_ptr<ModalFixture>& f = made[equations];
    if (!f)
        f = std::make_unique<ModalFixture>(equations / 6);
    return *f;
}

int mode_count()
{
    const char* text = std::getenv("KV_BENCH_MODES");
    const int modes = text && *text ? std::atoi(text) : 50;
    return std::max(modes, 1);
}

// The relative difference of an eigenvalue from the Rayleigh quotient of its
// vector, x^T K x / x^T M x, the strain energy summed element by element
// (a rigid link's from the differences of its two nodes' motions, so that
// its 1.0e12 terms cancel nothing) and x by equation: an error e in the
// vector gives one of e^2 in the quotient.
double rayleigh_difference(const ModalFixture& f, double lambda, const double* x)
{
    double energy = 0.0, mass = 0.0;
    for (const Element& e : f.model.elements) {
        double u[13] = {};
        for (int d = 1; d <= 6; ++d) {
            u[d] = x[6 * e.a - 7 + d];
            u[d + 6] = x[6 * e.b - 7 + d];
        }
        if (e.weight == 0.0) {
            for (int d = 1; d <= 6; ++d)
                energy += RIGID * (u[d] - u[d + 6]) * (u[d] - u[d + 6]);
            continue;
        }
        for (int i = 1; i <= 12; ++i)
            for (int j = 1; j <= 12; ++j)
                energy += u[i] * e.k[i][j] * u[j];
    }
    for (auto [node, d] : f.model.rigid)
        energy += RIGID * x[6 * node - 7 + d] * x[6 * node - 7 + d];
    for (int e = 1; e <= f.mass.size(); ++e)
        mass += f.mass[e] * x[e - 1] * x[e - 1];
    return std::abs(energy / mass - lambda) / lambda;
}

struct Modes {
    std::vector<double> hz;    // ascending
    double rayleigh = 0.0;     // the largest rayleigh_difference of the modes
};

// The program's modes.
Modes program_modes(ModalFixture& f, int modes, bool residuals = false)
{
    StoreShift system(*f.store, f.mass);
    ModeRequest request;
    request.modes = modes;
    const ModeSolution solution = lowest_modes(system, f.mass_matrix, request);
    Modes out;
    for (std::size_t i = 0; i < solution.eigenvalues.size(); ++i) {
        out.hz.push_back(eigenvalue_frequency(solution.eigenvalues[i]));
        if (residuals) {
            out.rayleigh =
                std::max(out.rayleigh, rayleigh_difference(f, solution.eigenvalues[i], solution.shapes[i].data()));
        }
    }
    return out;
}

// The reference modes; none when it failed.
Modes reference_modes(ModalFixture& f, int modes, bool residuals = false)
{
    using Op = Spectra::SymShiftInvert<double, Eigen::Sparse, Eigen::Sparse>;
    using BOp = Spectra::SparseSymMatProd<double>;
    Op op(f.k, f.m);
    BOp bop(f.k);
    const double sigma = -std::pow(2.0 * std::numbers::pi, 2);
    const Eigen::Index ncv = std::min<Eigen::Index>(f.k.rows(), 2 * modes + 20);
    Spectra::SymGEigsShiftSolver<Op, BOp, Spectra::GEigsMode::Buckling> eigs(op, bop, modes, ncv, sigma);
    eigs.init();
    eigs.compute(Spectra::SortRule::SmallestAlge, 2000, 1e-13, Spectra::SortRule::SmallestAlge);
    if (eigs.info() != Spectra::CompInfo::Successful)
        return {};
    Modes out;
    const Eigen::VectorXd lambda = eigs.eigenvalues();
    const Eigen::MatrixXd x = residuals ? eigs.eigenvectors() : Eigen::MatrixXd();
    for (Eigen::Index i = 0; i < lambda.size(); ++i) {
        out.hz.push_back(std::sqrt(lambda[i]) / (2.0 * std::numbers::pi));
        if (residuals)
            out.rayleigh = std::max(out.rayleigh, rayleigh_difference(f, lambda[i], x.col(i).data()));
    }
    std::sort(out.hz.begin(), out.hz.end());
    return out;
}

// The lowest eigenvalues by a dense solution in extended precision (long
// double): the massless equations condensed out statically, K_mm - K_ms
// K_ss^-1 K_sm, scaled by the square roots of the masses, and all the
// eigenvalues of that symmetric matrix; for a small model only.
std::vector<double> dense_frequencies(const ModalFixture& f, int modes)
{
    using Real = long double;
    using Matrix = Eigen::Matrix<Real, Eigen::Dynamic, Eigen::Dynamic>;
    const Eigen::Index n = f.k.rows();
    const Eigen::SparseMatrix<double> full = f.k.selfadjointView<Eigen::Lower>();
    const Matrix k = Eigen::MatrixXd(full).cast<Real>();
    std::vector<Eigen::Index> massed, free;
    for (Eigen::Index e = 0; e < n; ++e)
        (f.mass[static_cast<int>(e) + 1] > 0.0 ? massed : free).push_back(e);
    const auto pick = [&](const std::vector<Eigen::Index>& rows, const std::vector<Eigen::Index>& cols) {
        Matrix a(static_cast<Eigen::Index>(rows.size()), static_cast<Eigen::Index>(cols.size()));
        for (std::size_t i = 0; i < rows.size(); ++i)
            for (std::size_t j = 0; j < cols.size(); ++j)
                a(static_cast<Eigen::Index>(i), static_cast<Eigen::Index>(j)) = k(rows[i], cols[j]);
        return a;
    };
    const Matrix kms = pick(massed, free);
    const Matrix condensed = pick(massed, massed) - kms * pick(free, free).ldlt().solve(kms.transpose());
    Eigen::Matrix<Real, Eigen::Dynamic, 1> scale(static_cast<Eigen::Index>(massed.size()));
    for (std::size_t i = 0; i < massed.size(); ++i)
        scale[static_cast<Eigen::Index>(i)] = 1 / std::sqrt(static_cast<Real>(f.mass[static_cast<int>(massed[i]) + 1]));
    const Matrix a = scale.asDiagonal() * condensed * scale.asDiagonal();
    const Eigen::SelfAdjointEigenSolver<Matrix> solver((a + a.transpose()) / 2, Eigen::EigenvaluesOnly);
    std::vector<double> hz;
    for (Eigen::Index i = 0; i < std::min<Eigen::Index>(modes, solver.eigenvalues().size()); ++i)
        hz.push_back(static_cast<double>(std::sqrt(solver.eigenvalues()[i]) / (2 * std::numbers::pi_v<Real>)));
    return hz;
}

double largest_difference(const std::vector<double>& a, const std::vector<double>& b)
{
    if (a.size() != b.size() || a.empty())
        return 1.0;
    double difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        difference = std::max(difference, std::abs(a[i] - b[i]) / b[i]);
    return difference;
}

void BM_ModalProgram(benchmark::State& state)
{
    ModalFixture& f = fixture(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(program_modes(f, mode_count()).hz.data());
    state.counters["equations"] = 6 * f.model.nodes;
}

void BM_ModalReference(benchmark::State& state)
{
    ModalFixture& f = fixture(static_cast<int>(state.range(0)));
    for (auto _ : state)
        if (reference_modes(f, mode_count()).hz.empty())
            state.SkipWithError("the reference did not converge");
}

template <typename F>
double seconds(F&& f)
{
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_CompareModes(benchmark::State& state)
{
    ModalFixture& f = fixture(static_cast<int>(state.range(0)));
    const int modes = mode_count();
    Modes program_run, reference_run;
    double program_s = 0, reference_s = 0;
    for (auto _ : state) {
        program_s = seconds([&] { program_run = program_modes(f, modes); });
        reference_s = seconds([&] { reference_run = reference_modes(f, modes); });
    }
    // Once more, untimed, with the Rayleigh quotients of the eigenpairs.
    program_run = program_modes(f, modes, true);
    reference_run = reference_modes(f, modes, true);
    const std::vector<double>& program = program_run.hz;
    const std::vector<double>& reference = reference_run.hz;
    if (reference.size() != program.size() || program.empty()) {
        state.SkipWithError("the two solutions found different numbers of modes");
        return;
    }
    const double difference = largest_difference(program, reference);
    state.counters["equations"] = 6 * f.model.nodes;
    state.counters["modes"] = static_cast<double>(program.size());
    state.counters["first_hz"] = program.front();
    state.counters["last_hz"] = program.back();
    state.counters["program_s"] = program_s;
    state.counters["reference_s"] = reference_s;
    state.counters["ratio"] = program_s / reference_s;
    state.counters["max_difference_relative"] = difference;
    state.counters["program_rayleigh"] = program_run.rayleigh;
    state.counters["reference_rayleigh"] = reference_run.rayleigh;
}

// Both iterative solutions of a small model (1,200 equations, or
// KV_BENCH_MODAL_DENSE_EQUATIONS) against the dense one in extended
// precision.
void BM_CompareModesDense(benchmark::State& state)
{
    ModalFixture& f = fixture(static_cast<int>(state.range(0)));
    const int modes = mode_count();
    std::vector<double> dense;
    double dense_s = 0;
    for (auto _ : state)
        dense_s = seconds([&] { dense = dense_frequencies(f, modes); });
    state.counters["equations"] = 6 * f.model.nodes;
    state.counters["dense_s"] = dense_s;
    state.counters["program_vs_dense"] = largest_difference(program_modes(f, modes).hz, dense);
    state.counters["reference_vs_dense"] = largest_difference(reference_modes(f, modes).hz, dense);
}

// The sizes: KV_BENCH_MODAL_EQUATIONS, or 30,000 equations (1,200 in the
// brief pass), each in whole nodes.
std::vector<int> sizes()
{
    std::vector<int> out;
    for (int equations : bench::counts("KV_BENCH_MODAL_EQUATIONS", "30000", "1200", 600))
        out.push_back(equations / 6 * 6);
    return out;
}

const bool registered = [] {
    for (int equations : sizes()) {
        benchmark::RegisterBenchmark("BM_ModalProgram", &BM_ModalProgram)->Arg(equations)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_ModalReference", &BM_ModalReference)
            ->Arg(equations)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_CompareModes", &BM_CompareModes)
            ->Arg(equations)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    }
    const int equations = bench::count("KV_BENCH_MODAL_DENSE_EQUATIONS", 1200, 600) / 6 * 6;
    if (equations >= 600)
        benchmark::RegisterBenchmark("BM_CompareModesDense", &BM_CompareModesDense)
            ->Arg(equations)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    return true;
}();

}  // namespace
