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

struct ModalFixture {
    Model model;
    std::unique_ptr<EquationStore> store;
    OneBased<double> mass;   // by equation
    MassMatrix mass_matrix;
    Eigen::SparseMatrix<double> k, m;

    explicit ModalFixture(int nodes)
        : model(make_piping_model(nodes)), store(std::make_unique<EquationStore>(model.nodes, model.pairs)),
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

// The program's frequencies (Hz), ascending.
std::vector<double> program_frequencies(ModalFixture& f, int modes)
{
    StoreShift system(*f.store, f.mass);
    ModeRequest request;
    request.modes = modes;
    const ModeSolution solution = lowest_modes(system, f.mass_matrix, request);
    std::vector<double> hz;
    for (double w2 : solution.eigenvalues)
        hz.push_back(eigenvalue_frequency(w2));
    return hz;
}

// The reference frequencies (Hz), ascending; empty when it failed.
std::vector<double> reference_frequencies(ModalFixture& f, int modes)
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
    std::vector<double> hz;
    for (double lambda : eigs.eigenvalues())
        hz.push_back(std::sqrt(lambda) / (2.0 * std::numbers::pi));
    std::sort(hz.begin(), hz.end());
    return hz;
}

void BM_ModalProgram(benchmark::State& state)
{
    ModalFixture& f = fixture(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(program_frequencies(f, mode_count()).data());
    state.counters["equations"] = 6 * f.model.nodes;
}

void BM_ModalReference(benchmark::State& state)
{
    ModalFixture& f = fixture(static_cast<int>(state.range(0)));
    for (auto _ : state)
        if (reference_frequencies(f, mode_count()).empty())
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
    std::vector<double> program, reference;
    double program_s = 0, reference_s = 0;
    for (auto _ : state) {
        program_s = seconds([&] { program = program_frequencies(f, modes); });
        reference_s = seconds([&] { reference = reference_frequencies(f, modes); });
    }
    if (reference.size() != program.size() || program.empty()) {
        state.SkipWithError("the two solutions found different numbers of modes");
        return;
    }
    double difference = 0;
    for (std::size_t i = 0; i < program.size(); ++i)
        difference = std::max(difference, std::abs(program[i] - reference[i]) / reference[i]);
    state.counters["equations"] = 6 * f.model.nodes;
    state.counters["modes"] = static_cast<double>(program.size());
    state.counters["first_hz"] = program.front();
    state.counters["last_hz"] = program.back();
    state.counters["program_s"] = program_s;
    state.counters["reference_s"] = reference_s;
    state.counters["ratio"] = program_s / reference_s;
    state.counters["max_difference_relative"] = difference;
}

std::vector<int> sizes()
{
    std::vector<int> out;
    const char* text = std::getenv("KV_BENCH_MODAL_EQUATIONS");
    const std::string list = text && *text ? text : "30000";
    std::size_t at = 0;
    while (at < list.size()) {
        const std::size_t comma = std::min(list.find(',', at), list.size());
        const int equations = std::atoi(list.substr(at, comma - at).c_str());
        if (equations >= 600)
            out.push_back(equations / 6 * 6);
        at = comma + 1;
    }
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
    return true;
}();

}  // namespace
