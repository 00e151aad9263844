// The program's equation store and sparse LDLᵀ solver against Eigen's
// SimplicialLDLT with its approximate minimum degree ordering, in one
// process on the same matrices.
//
// Piping-like models of 6,000, 60,000 and 600,000 equations (or the counts
// given in KV_BENCH_EQUATIONS, comma-separated; each is rounded down to
// whole nodes of six): a long header with branches off branches, bypass
// loops that close back onto their run, pipes from 1 to 24 inch as 3D beam
// elements with shear deformation, anchors at the run ends, rigid (1.0e12)
// supports along the runs and a few rigid links between nodes.
//
// Each solver gets the same matrix: the program's store assembles the
// element matrices as the analysis does; Eigen gets the same terms as a
// sparse matrix without the terms that are exactly 0 (an axis-parallel pipe
// leaves most of its off-diagonal block 0), which is the smallest pattern
// it can be given. The benchmarks time the ordering and symbolic work (the
// store's construction from the node pairs; Eigen's analyzePattern), the
// numeric factorisation (what a nonlinear iteration repeats; the store's
// includes copying the assembled values into the factor), and one solve.
// BM_CompareWithEigen times both solvers in turn on the same matrix (the
// best of several runs each) and gives the ratios program / Eigen of the
// factorisation and solve times and of the factor terms (the store's lower
// triangle with its diagonal; Eigen's L and D), and the largest difference
// of the two solutions relative to the largest displacement. The counter
// eigen_terms_node_pattern is Eigen's factor on the store's own pattern
// (every term of the node blocks kept), for comparison.
#include "analysis_core/equation_store.h"

#include <Eigen/OrderingMethods>
#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#include "bench_piping_model.h"
#include "bench_setup.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace bench_piping;

using EigenLdlt = Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>, Eigen::Lower, Eigen::AMDOrdering<int>>;


// Weight-like loads: down on every node, a moment here and there.
std::vector<double> load_vector(const Model& m)
{
    std::vector<double> f(static_cast<std::size_t>(6 * m.nodes), 0.0);
    for (int n = 1; n <= m.nodes; ++n) {
        f[static_cast<std::size_t>(6 * n - 5)] = -100.0 - n % 7;
        if (n % 13 == 0) f[static_cast<std::size_t>(6 * n - 1)] = 2500.0;
    }
    return f;
}

// One model and its matrices per size, made at first use.
struct Fixture {
    Model model;
    std::unique_ptr<EquationStore> store;
    Eigen::SparseMatrix<double> matrix;
    std::vector<double> load;
    explicit Fixture(int nodes)
        : model(make_piping_model(nodes)), store(std::make_unique<EquationStore>(nodes, model.pairs)),
          matrix(eigen_matrix(model)), load(load_vector(model))
    {
        assemble(model, *store);
    }
};

Fixture& fixture(int equations)
{
    static std::map<int, std::unique_ptr<Fixture>> made;
    std::unique_ptr<Fixture>& f = made[equations];
    if (!f) f = std::make_unique<Fixture>(equations / 6);
    return *f;
}

void BM_StoreOrdering(benchmark::State& state)
{
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        EquationStore store(f.model.nodes, f.model.pairs);
        benchmark::DoNotOptimize(store.factor_terms());
    }
    state.counters["equations"] = 6 * f.model.nodes;
    state.counters["elements"] = static_cast<double>(f.model.elements.size());
    state.counters["factor_terms"] = static_cast<double>(f.store->factor_terms());
}

void BM_StoreFactor(benchmark::State& state)
{
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    for (auto _ : state)
        if (!f.store->factor().ok()) state.SkipWithError("unstable");
}

void BM_StoreSolve(benchmark::State& state)
{
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    if (!f.store->factor().ok()) {
        state.SkipWithError("unstable");
        return;
    }
    std::vector<double> x(f.load.size());
    for (auto _ : state) {
        std::copy(f.load.begin(), f.load.end(), x.begin());
        f.store->solve(x, 1);
        benchmark::DoNotOptimize(x.data());
    }
}

void BM_EigenAnalyzePattern(benchmark::State& state)
{
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        EigenLdlt ldlt;
        ldlt.analyzePattern(f.matrix);
        benchmark::DoNotOptimize(ldlt.permutationP().indices().data());
    }
}

void BM_EigenFactorize(benchmark::State& state)
{
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    EigenLdlt ldlt;
    ldlt.analyzePattern(f.matrix);
    for (auto _ : state) {
        ldlt.factorize(f.matrix);
        if (ldlt.info() != Eigen::Success) state.SkipWithError("not factorised");
    }
}

void BM_EigenSolve(benchmark::State& state)
{
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    EigenLdlt ldlt(f.matrix);
    Eigen::VectorXd b = Eigen::Map<const Eigen::VectorXd>(f.load.data(), static_cast<Eigen::Index>(f.load.size()));
    Eigen::VectorXd x;
    for (auto _ : state) {
        x = ldlt.solve(b);
        benchmark::DoNotOptimize(x.data());
    }
}

// The shortest of `runs` timings of f, in seconds.
template <typename F>
double best_of(int runs, F&& f)
{
    double best = 1e300;
    for (int r = 0; r < runs; ++r) {
        const auto start = std::chrono::steady_clock::now();
        f();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

void BM_CompareWithEigen(benchmark::State& state)
{
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    const int runs = f.model.nodes > 50000 ? 7 : 25;
    EigenLdlt ldlt;
    ldlt.analyzePattern(f.matrix);
    std::vector<double> x(f.load.size());
    Eigen::VectorXd b = Eigen::Map<const Eigen::VectorXd>(f.load.data(), static_cast<Eigen::Index>(f.load.size()));
    Eigen::VectorXd y;
    double factor_store = 0, factor_eigen = 0, solve_store = 0, solve_eigen = 0;
    for (auto _ : state) {
        factor_store = best_of(runs, [&] { f.store->factor(); });
        factor_eigen = best_of(runs, [&] { ldlt.factorize(f.matrix); });
        solve_store = best_of(runs, [&] {
            std::copy(f.load.begin(), f.load.end(), x.begin());
            f.store->solve(x, 1);
        });
        solve_eigen = best_of(runs, [&] { y = ldlt.solve(b); });
    }
    if (!f.store->factored() || ldlt.info() != Eigen::Success) {
        state.SkipWithError("not factorised");
        return;
    }
    const double eigen_terms = static_cast<double>(ldlt.matrixL().nestedExpression().nonZeros()) + static_cast<double>(b.size());
    // Factorised, not only analysed: the factor's terms are known after the
    // analysis, but Eigen asserts a factorisation before it gives them.
    EigenLdlt node_pattern;
    node_pattern.compute(eigen_matrix(f.model, true));
    double largest = 0, difference = 0;
    for (Eigen::Index e = 0; e < y.size(); ++e) {
        largest = std::max(largest, std::abs(y[e]));
        difference = std::max(difference, std::abs(y[e] - x[static_cast<std::size_t>(e)]));
    }
    state.counters["equations"] = static_cast<double>(b.size());
    state.counters["factor_ms"] = 1e3 * factor_store;
    state.counters["eigen_factor_ms"] = 1e3 * factor_eigen;
    state.counters["factor_ratio"] = factor_store / factor_eigen;
    state.counters["solve_ms"] = 1e3 * solve_store;
    state.counters["eigen_solve_ms"] = 1e3 * solve_eigen;
    state.counters["solve_ratio"] = solve_store / solve_eigen;
    state.counters["factor_terms"] = static_cast<double>(f.store->factor_terms());
    state.counters["eigen_terms"] = eigen_terms;
    state.counters["terms_ratio"] = static_cast<double>(f.store->factor_terms()) / eigen_terms;
    state.counters["eigen_terms_node_pattern"] =
        static_cast<double>(node_pattern.matrixL().nestedExpression().nonZeros()) + static_cast<double>(b.size());
    state.counters["max_difference_relative"] = difference / largest;
}

// The sizes: KV_BENCH_EQUATIONS, or 6,000, 60,000 and 600,000 equations
// (6,000 alone in the brief pass), each in whole nodes.
std::vector<int> sizes()
{
    std::vector<int> out;
    for (int equations : bench::counts("KV_BENCH_EQUATIONS", "6000,60000,600000", "6000", 600))
        out.push_back(equations / 6 * 6);
    return out;
}

const bool registered = [] {
    for (auto [name, function] : {std::pair{"BM_StoreOrdering", &BM_StoreOrdering},
                                  std::pair{"BM_EigenAnalyzePattern", &BM_EigenAnalyzePattern},
                                  std::pair{"BM_StoreFactor", &BM_StoreFactor},
                                  std::pair{"BM_EigenFactorize", &BM_EigenFactorize},
                                  std::pair{"BM_StoreSolve", &BM_StoreSolve},
                                  std::pair{"BM_EigenSolve", &BM_EigenSolve}}) {
        for (int equations : sizes())
            benchmark::RegisterBenchmark(name, function)->Arg(equations)->Unit(benchmark::kMillisecond);
    }
    for (int equations : sizes())
        benchmark::RegisterBenchmark("BM_CompareWithEigen", &BM_CompareWithEigen)
            ->Arg(equations)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    return true;
}();

}  // namespace
