// The equation store and its sparse LDLᵀ solver against a dense Gaussian
// elimination written here, on random node graphs assembled like elements
// and on small frames of pipe beams with rigid supports and links; beam
// deflections against their closed forms; the unstable cases name the node
// and direction that move; the inertia of shifted matrices against the
// closed-form eigenvalues of a spring chain; the fill of trees and loops.
#include "analysis_core/equation_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <random>
#include <thread>
#include <vector>

namespace {

constexpr double RIGID = 1.0e12;

// A dense symmetric matrix, 1-based, and its solution by Gaussian
// elimination with partial pivoting.
struct Dense {
    int n;
    std::vector<double> a;
    explicit Dense(int size) : n(size), a(static_cast<std::size_t>((size + 1) * (size + 1)), 0.0) {}
    double& at(int i, int j) { return a[static_cast<std::size_t>(i * (n + 1) + j)]; }

    std::vector<double> solve(std::vector<double> b) const
    {
        Dense m = *this;
        for (int c = 1; c <= n; ++c) {
            int p = c;
            for (int r = c + 1; r <= n; ++r)
                if (std::abs(m.at(r, c)) > std::abs(m.at(p, c))) p = r;
            for (int k = 1; k <= n; ++k) std::swap(m.at(c, k), m.at(p, k));
            std::swap(b[static_cast<std::size_t>(c)], b[static_cast<std::size_t>(p)]);
            for (int r = c + 1; r <= n; ++r) {
                const double f = m.at(r, c) / m.at(c, c);
                for (int k = c; k <= n; ++k) m.at(r, k) -= f * m.at(c, k);
                b[static_cast<std::size_t>(r)] -= f * b[static_cast<std::size_t>(c)];
            }
        }
        for (int r = n; r >= 1; --r) {
            double s = b[static_cast<std::size_t>(r)];
            for (int k = r + 1; k <= n; ++k) s -= m.at(r, k) * b[static_cast<std::size_t>(k)];
            b[static_cast<std::size_t>(r)] = s / m.at(r, r);
        }
        return b;
    }
};

// A store and a dense matrix with the same terms.
struct Assembly {
    EquationStore store;
    Dense dense;
    Assembly(int nodes, const std::vector<NodePair>& pairs) : store(nodes, pairs), dense(6 * nodes) {}
    void add(int i, int j, double v)
    {
        store.add(i, j, v);
        dense.at(i, j) += v;
        if (i != j) dense.at(j, i) += v;
    }
};

// Factors, solves each right-hand side with the one factorisation, one by
// one and all together, and compares with the dense solution, relative to
// the largest component; the solutions of both ways are the same bits.
void expect_solves_like_dense(Assembly& s, const std::vector<std::vector<double>>& loads, double tolerance)
{
    ASSERT_TRUE(s.store.factor().ok());
    const int n = s.dense.n;
    std::vector<double> together;
    for (const std::vector<double>& b : loads) together.insert(together.end(), b.begin() + 1, b.end());
    s.store.solve(together, static_cast<int>(loads.size()));
    for (std::size_t r = 0; r < loads.size(); ++r) {
        const std::vector<double>& b = loads[r];
        OneBased<double> x(n);
        for (int e = 1; e <= n; ++e) x[e] = b[static_cast<std::size_t>(e)];
        s.store.solve(x);
        const std::vector<double> expected = s.dense.solve(b);
        double largest = 0;
        for (int e = 1; e <= n; ++e) largest = std::max(largest, std::abs(expected[static_cast<std::size_t>(e)]));
        for (int e = 1; e <= n; ++e) {
            ASSERT_NEAR(x[e], expected[static_cast<std::size_t>(e)], tolerance * largest) << "equation " << e;
            ASSERT_EQ(x[e], together[r * static_cast<std::size_t>(n) + static_cast<std::size_t>(e) - 1]) << e;
        }
    }
}

// Terms of a symmetric positive definite matrix on a node graph: on every
// coupled pair a sum of eight random rank-one matrices over the two nodes'
// equations (positive semi-definite, dense inside the node blocks), plus
// 0.05 on the diagonal.
struct Term {
    int row, column;
    double value;
};
std::vector<Term> positive_pair_terms(int nodes, const std::vector<NodePair>& pairs, std::mt19937& random)
{
    std::vector<Term> terms;
    std::uniform_real_distribution<double> value(-3.0, 3.0);
    for (const NodePair& p : pairs) {
        if (p.a == p.b) continue;
        for (int rank = 0; rank < 8; ++rank) {
            std::vector<int> eqs;
            std::vector<double> v;
            for (int node : {p.a, p.b})
                for (int d = 0; d < 6; ++d) eqs.push_back(6 * node - 5 + d), v.push_back(value(random));
            for (std::size_t a = 0; a < eqs.size(); ++a)
                for (std::size_t b = a; b < eqs.size(); ++b) terms.push_back({eqs[a], eqs[b], v[a] * v[b]});
        }
    }
    for (int e = 1; e <= 6 * nodes; ++e) terms.push_back({e, e, 0.05});
    return terms;
}

std::vector<std::vector<double>> random_loads(int n, int count, std::mt19937& random)
{
    std::uniform_real_distribution<double> value(-1000.0, 1000.0);
    std::vector<std::vector<double>> loads(static_cast<std::size_t>(count), std::vector<double>(static_cast<std::size_t>(n) + 1, 0.0));
    for (auto& b : loads)
        for (int e = 1; e <= n; ++e) b[static_cast<std::size_t>(e)] = value(random);
    return loads;
}

// The 12 x 12 stiffness of an Euler-Bernoulli beam (no shear deformation)
// along global axis 0 (X), 1 (Y) or 2 (Z), 1-based with row stride 13: the
// textbook matrix in local axes, turned by the cyclic permutation of the
// axes that carries local x to the given one.
void beam(int axis, double e, double g, double area, double inertia, double length, double (&k)[13][13])
{
    double local[13][13] = {};
    auto set = [&](int r, int c, double v) { local[r][c] = local[c][r] = v; };
    const double ea = e * area / length, gj = g * 2 * inertia / length;
    const double b1 = 12 * e * inertia / (length * length * length), b2 = 6 * e * inertia / (length * length);
    const double b3 = 4 * e * inertia / length, b4 = 2 * e * inertia / length;
    set(1, 1, ea), set(7, 7, ea), set(1, 7, -ea), set(4, 4, gj), set(10, 10, gj), set(4, 10, -gj);
    set(2, 2, b1), set(8, 8, b1), set(2, 8, -b1), set(2, 6, b2), set(2, 12, b2), set(6, 8, -b2),
        set(8, 12, -b2), set(6, 6, b3), set(12, 12, b3), set(6, 12, b4);
    set(3, 3, b1), set(9, 9, b1), set(3, 9, -b1), set(3, 5, -b2), set(3, 11, -b2), set(5, 9, b2),
        set(9, 11, b2), set(5, 5, b3), set(11, 11, b3), set(5, 11, b4);
    auto global = [axis](int s) { return (s - 1) / 3 * 3 + ((s - 1) % 3 + axis) % 3 + 1; };
    for (int r = 0; r <= 12; ++r)
        for (int c = 0; c <= 12; ++c) k[r][c] = 0;
    for (int r = 1; r <= 12; ++r)
        for (int c = 1; c <= 12; ++c) k[global(r)][global(c)] = local[r][c];
}

// A 4 in standard-weight pipe, steel: E = 2.9e7 psi, nu = 0.3, OD 4.5 in,
// wall 0.237 in (A = 3.174 in2, I = 7.233 in4).
constexpr double E = 2.9e7, G = E / 2.6, AREA = 3.174, INERTIA = 7.233;

// A frame of nodes 1..nodes (equations 6n-5..6n): pipes, rigid links and
// terms on the diagonal.
struct Frame {
    struct Element {
        int eq[13];
        double k[13][13];
    };
    int nodes;
    std::vector<Element> elements;
    std::vector<std::pair<int, double>> diagonal;  // (equation, stiffness)

    double (&add_element(int a, int b))[13][13]
    {
        Element& e = elements.emplace_back();
        e.eq[0] = 0;
        for (int d = 1; d <= 6; ++d) e.eq[d] = 6 * a - 6 + d, e.eq[d + 6] = 6 * b - 6 + d;
        for (auto& row : e.k)
            for (double& v : row) v = 0;
        return e.k;
    }
    void add_pipe(int a, int b, int axis, double length)
    {
        beam(axis, E, G, AREA, INERTIA, length, add_element(a, b));
    }
    // A rigid link in the given directions (1..6; all of them by default).
    void add_link(int a, int b, std::vector<int> directions = {1, 2, 3, 4, 5, 6})
    {
        double(&k)[13][13] = add_element(a, b);
        for (int d : directions) k[d][d] = k[d + 6][d + 6] = RIGID, k[d][d + 6] = k[d + 6][d] = -RIGID;
    }
    void anchor(int node)
    {
        for (int d = 1; d <= 6; ++d) diagonal.push_back({6 * node - 6 + d, RIGID});
    }
    std::vector<NodePair> pairs() const
    {
        std::vector<NodePair> out;
        for (const Element& e : elements) out.push_back({(e.eq[1] + 5) / 6, (e.eq[7] + 5) / 6});
        return out;
    }
    void add_to(EquationStore& store) const
    {
        for (const Element& e : elements) store.add_element(e.eq, e.k);
        for (auto [eq, v] : diagonal) store.add(eq, eq, v);
    }
    Assembly assemble() const
    {
        Assembly s(nodes, pairs());
        add_to(s.store);
        for (const Element& e : elements)
            for (int a = 1; a <= 12; ++a)
                for (int b = 1; b <= 12; ++b) s.dense.at(e.eq[a], e.eq[b]) += e.k[a][b];
        for (auto [eq, v] : diagonal) s.dense.at(eq, eq) += v;
        return s;
    }
};

double tip_deflection(EquationStore& store, int equation, double load)
{
    OneBased<double> x(store.equation_count());
    x[equation] = load;
    store.solve(x);
    return x[equation];
}

// The equation an unstable store names (0 when it factorises).
int named(const Frame& f)
{
    return f.assemble().store.factor().unstable_equation;
}

}  // namespace

TEST(EquationStore, ElementAssemblyMatchesTheCongruenceWithTheEquationMap)
{
    // Equation 0 slots are skipped, equations in any order, two slots on one
    // equation (both orders of the pair count on the diagonal); the lower
    // triangle of the element matrix is never read. The same through the
    // whole-node path: the two nodes' equations in order, either node first.
    double k[13][13];
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-10.0, 10.0);
    for (int a = 0; a <= 12; ++a)
        for (int b = a; b <= 12; ++b) k[a][b] = value(random);
    for (int a = 1; a <= 12; ++a)
        for (int b = 1; b < a; ++b) k[a][b] = std::numeric_limits<double>::quiet_NaN();

    const int scattered[13] = {0, 4, 2, 0, 7, 1, 4, 3, 5, 6, 0, 8, 2};
    const int forward[13] = {0, 1, 2, 3, 4, 5, 6, 13, 14, 15, 16, 17, 18};
    const int backward[13] = {0, 13, 14, 15, 16, 17, 18, 1, 2, 3, 4, 5, 6};
    for (const int* eq : {scattered, forward, backward}) {
        const int(&equations)[13] = *reinterpret_cast<const int(*)[13]>(eq);
        EquationStore store(3, std::vector<NodePair>{{1, 2}, {3, 1}});
        store.add_element(equations, k);
        store.add_element(equations, k);
        // K = Pᵀ k P summed slot by slot, k symmetric from its upper triangle.
        double expected[19][19] = {};
        for (int a = 1; a <= 12; ++a)
            for (int b = 1; b <= 12; ++b)
                if (eq[a] && eq[b]) expected[eq[a]][eq[b]] += 2 * k[std::min(a, b)][std::max(a, b)];
        for (int i = 1; i <= 18; ++i)
            for (int j = 1; j <= 18; ++j) EXPECT_NEAR(store.value(i, j), expected[i][j], 1e-12) << i << "," << j;
        store.clear_values();
        EXPECT_EQ(store.value(4, 4), 0.0);
    }
    // Nodes 2 and 3 are not coupled: nothing is kept between them.
    EquationStore store(3, std::vector<NodePair>{{1, 2}, {3, 1}, {2, 2}, {0, 1}, {2, 4}});
    EXPECT_EQ(store.assembled_terms(), 3u * 21 + 2 * 36);
    EXPECT_EQ(store.value(8, 15), 0.0);
}

TEST(EquationStore, RandomNodeGraphsSolveLikeDenseElimination)
{
    // Trees with a few loops and some nodes left unconnected; on every
    // coupled pair a sum of random positive semi-definite element matrices
    // over the two nodes' equations, plus a small diagonal: symmetric
    // positive definite, dense inside the node blocks. Several right-hand
    // sides.
    std::mt19937 random(2024);
    for (int nodes : {1, 2, 9, 40}) {
        std::vector<NodePair> pairs;
        for (int n = 2; n <= nodes; ++n)
            if (n % 7 != 0) pairs.push_back({n, std::uniform_int_distribution<int>(1, n - 1)(random)});
        for (int loop = 0; loop < nodes / 8; ++loop)
            pairs.push_back({std::uniform_int_distribution<int>(1, nodes)(random), std::uniform_int_distribution<int>(1, nodes)(random)});
        Assembly s(nodes, pairs);
        for (const Term& t : positive_pair_terms(nodes, pairs, random)) s.add(t.row, t.column, t.value);
        SCOPED_TRACE(nodes);
        expect_solves_like_dense(s, random_loads(6 * nodes, 3, random), 1e-9);
    }
}

TEST(EquationStore, PipingFrameWithRigidTermsSolvesLikeDenseElimination)
{
    // A run along X with a branch along Z and a loop that closes back onto the
    // run through a rise in Y; anchored at both run ends, one rigid rest
    // support, a rigid link between the branch end and a short stub.
    Frame f{12, {}, {}};
    for (int n = 1; n <= 5; ++n) f.add_pipe(n, n + 1, 0, 120.0);
    f.add_pipe(3, 7, 2, 96.0);
    f.add_pipe(7, 8, 2, 96.0);
    f.add_pipe(8, 9, 0, 120.0);
    f.add_pipe(9, 10, 0, 120.0);
    f.add_pipe(10, 5, 2, 192.0);  // closes the loop back onto the run
    f.add_pipe(6, 11, 1, 60.0);
    f.add_link(11, 12);
    f.anchor(1);
    f.anchor(12);
    f.diagonal.push_back({6 * 8 - 4, RIGID});
    Assembly s = f.assemble();
    std::mt19937 random(11);
    expect_solves_like_dense(s, random_loads(72, 4, random), 1e-9);

    // The same values assembled again match the factor, which then serves
    // as it is; one term changed does not. After a new factorisation of the
    // same values the solution is the same to the last bit.
    OneBased<double> x(72), y(72);
    x[6 * 9 - 4] = y[6 * 9 - 4] = -1000.0;
    s.store.solve(x);
    s.store.clear_values();
    EXPECT_FALSE(s.store.factor_matches_values());
    f.add_to(s.store);
    EXPECT_TRUE(s.store.factor_matches_values());
    s.store.add(6 * 8 - 4, 6 * 8 - 4, 1.0);
    EXPECT_FALSE(s.store.factor_matches_values());
    s.store.add(6 * 8 - 4, 6 * 8 - 4, -1.0);
    ASSERT_TRUE(s.store.factor().ok());
    s.store.solve(y);
    for (int e = 1; e <= 72; ++e) EXPECT_EQ(x[e], y[e]);
}

TEST(EquationStore, FactorOnABaseKnowsWhetherTheTermsOnTopOfItChanged)
{
    // The frame's pipes as the base of a load case, and on top of it a rest
    // at node 3 (Y) and a spring between nodes 2 and 3 (Z) as nonlinear
    // items would add them, iteration after iteration.
    Frame f{4, {}, {}};
    for (int n = 1; n <= 3; ++n) f.add_pipe(n, n + 1, 0, 100.0);
    f.anchor(1);
    Assembly s = f.assemble();
    s.store.keep_as_base();
    auto on_top = [&](double rest, double spring) {
        s.store.add(6 * 3 - 4, 6 * 3 - 4, rest);
        s.store.add(6 * 2 - 3, 6 * 2 - 3, spring);
        s.store.add(6 * 3 - 3, 6 * 3 - 3, spring);
        s.store.add(6 * 2 - 3, 6 * 3 - 3, -spring);
    };
    on_top(RIGID, 500.0);
    ASSERT_TRUE(s.store.factor().ok());
    OneBased<double> first(24);
    first[6 * 4 - 4] = -100.0;
    first[6 * 4 - 3] = 50.0;
    s.store.solve(first);
    EXPECT_TRUE(s.store.factor_matches_values());

    s.store.restore_base();
    on_top(RIGID, 500.0);   // the same again
    EXPECT_TRUE(s.store.factor_matches_values());
    s.store.restore_base();
    on_top(RIGID, 400.0);   // the spring changed
    EXPECT_FALSE(s.store.factor_matches_values());
    s.store.restore_base();
    s.store.add(6 * 3 - 4, 6 * 3 - 4, RIGID);   // the rest alone: the spring is gone
    EXPECT_FALSE(s.store.factor_matches_values());
    s.store.restore_base();
    on_top(RIGID, 0.0);   // the spring's terms, all 0
    EXPECT_FALSE(s.store.factor_matches_values());
    s.store.restore_base();
    on_top(RIGID, 500.0);
    EXPECT_TRUE(s.store.factor_matches_values());

    // Put back and assembled with another spring, the factor made again is
    // that of the full assembly made afresh.
    s.store.restore_base();
    on_top(RIGID, 400.0);
    ASSERT_TRUE(s.store.factor().ok());
    Assembly fresh = f.assemble();
    fresh.store.add(6 * 3 - 4, 6 * 3 - 4, RIGID);
    fresh.store.add(6 * 2 - 3, 6 * 2 - 3, 400.0);
    fresh.store.add(6 * 3 - 3, 6 * 3 - 3, 400.0);
    fresh.store.add(6 * 2 - 3, 6 * 3 - 3, -400.0);
    ASSERT_TRUE(fresh.store.factor().ok());
    OneBased<double> x(24), y(24);
    x[6 * 4 - 4] = y[6 * 4 - 4] = -100.0;
    x[6 * 4 - 3] = y[6 * 4 - 3] = 50.0;
    s.store.solve(x);
    fresh.store.solve(y);
    for (int e = 1; e <= 24; ++e) EXPECT_EQ(x[e], y[e]) << e;
    EXPECT_GT(x[6 * 4 - 3], first[6 * 4 - 3]);   // the softer spring gives way more

    // Cleared, the store leaves the base and matches no factor.
    s.store.clear_values();
    f.add_to(s.store);
    on_top(RIGID, 400.0);
    EXPECT_FALSE(s.store.factor_matches_values());
}

TEST(EquationStore, CantileverTipDeflectionsMatchBeamTheory)
{
    // Two 60 in elements along X, anchored at node 1 by 1e12 springs R.
    // Tip load P: compliance L³ / (3 E I) + L² / R + 1 / R with L = 120 in
    // (the anchor's rotation and translation in series with the beam);
    // torsion T: L / (G J) + 1 / R with J = 2 I. A spring k at the tip acts
    // in parallel, also a negative one weaker than the beam (the matrix
    // stays positive definite).
    const double L = 120.0, P = 500.0;
    const double beam_stiffness = 1.0 / (L * L * L / (3 * E * INERTIA) + L * L / RIGID + 1.0 / RIGID);
    const double torsion = P * (L / (G * 2 * INERTIA) + 1.0 / RIGID);
    for (double spring : {0.0, 800.0, -0.5 * beam_stiffness}) {
        Frame f{3, {}, {}};
        f.add_pipe(1, 2, 0, 60.0);
        f.add_pipe(2, 3, 0, 60.0);
        f.anchor(1);
        if (spring != 0) f.diagonal.push_back({6 * 3 - 4, spring});
        Assembly s = f.assemble();
        ASSERT_TRUE(s.store.factor().ok()) << spring;
        const double deflection = P / (beam_stiffness + spring);
        EXPECT_NEAR(tip_deflection(s.store, 6 * 3 - 4, P), deflection, 1e-9 * deflection) << spring;
        EXPECT_NEAR(tip_deflection(s.store, 6 * 3 - 2, P), torsion, 1e-9 * torsion);
    }
}

TEST(EquationStore, SoftDirectionBehindARigidLinkIsNotAMechanism)
{
    // Node 1 held by a 100 lb/in spring in X and rigid in the other five
    // directions, node 2 linked rigidly to it: X at node 2 sees the spring and
    // the link in series, 1 / (1/100 + 1/1e12), a pivot 1e-10 of its diagonal.
    Frame f{2, {}, {}};
    f.add_link(1, 2);
    f.diagonal.push_back({1, 100.0});
    for (int d = 2; d <= 6; ++d) f.diagonal.push_back({d, RIGID});
    Assembly s = f.assemble();
    ASSERT_TRUE(s.store.factor().ok());
    const double series = 1.0 / (1.0 / 100.0 + 1.0 / RIGID);
    EXPECT_NEAR(tip_deflection(s.store, 7, 250.0), 250.0 / series, 1e-6 * 250.0 / series);
}

TEST(EquationStore, UnstableModelsNameTheFirstNodeAndDirectionThatMove)
{
    // A free translation: a run of four pipes along X whose first node is
    // held in every direction but Z. The whole run moves in Z alike: the
    // first node is named, in Z, whatever order the nodes are eliminated in.
    {
        Frame f{5, {}, {}};
        for (int n = 1; n <= 4; ++n) f.add_pipe(n, n + 1, 0, 100.0);
        for (int d : {1, 2, 4, 5, 6}) f.diagonal.push_back({d, RIGID});
        Assembly s = f.assemble();
        const FactorResult r = s.store.factor();
        EXPECT_EQ(r.unstable_equation, 3);
        EXPECT_NE(r.pivot_equation, 0);
        EXPECT_FALSE(s.store.factored());
    }
    // The same run numbered backwards (node 5 held): node 1, now the far
    // end, is still the first in the model's order.
    {
        Frame f{5, {}, {}};
        for (int n = 1; n <= 4; ++n) f.add_pipe(n + 1, n, 0, 100.0);
        for (int d : {1, 2, 4, 5, 6}) f.diagonal.push_back({24 + d, RIGID});
        EXPECT_EQ(named(f), 3);
    }
    // A rigid link between the last two nodes: the mechanism comes out of
    // 1e12 terms as round-off, still caught.
    {
        Frame f{6, {}, {}};
        for (int n = 1; n <= 4; ++n) f.add_pipe(n, n + 1, 0, 100.0);
        f.add_link(5, 6);
        for (int d : {1, 2, 4, 5, 6}) f.diagonal.push_back({d, RIGID});
        EXPECT_EQ(named(f), 3);
    }
    // A free turn about the run's axis: held in X, Y, Z at node 1 and in Y,
    // Z at node 5; every node turns alike about X.
    {
        Frame f{5, {}, {}};
        for (int n = 1; n <= 4; ++n) f.add_pipe(n, n + 1, 0, 50.0);
        for (int d : {1, 2, 3}) f.diagonal.push_back({d, RIGID});
        for (int d : {2, 3}) f.diagonal.push_back({24 + d, RIGID});
        EXPECT_EQ(named(f), 4);
    }
    // Beside a sound link to a cantilever tip (nodes 2-3), a rigid link pair
    // 4-5 held only by a soft X spring: X is sound (see above), the pair is
    // free in Y first; both its nodes move, node 4 is named.
    {
        Frame f{5, {}, {}};
        f.add_pipe(1, 2, 0, 100.0);
        f.anchor(1);
        f.add_link(2, 3);
        f.add_link(4, 5);
        f.diagonal.push_back({6 * 4 - 5, 100.0});
        EXPECT_EQ(named(f), 6 * 4 - 4);
    }
    // A negative spring at a cantilever tip stronger than the tip's
    // stiffness: the tip's Y moves most in the motion of negative stiffness.
    {
        Frame f{3, {}, {}};
        f.add_pipe(1, 2, 0, 60.0);
        f.add_pipe(2, 3, 0, 60.0);
        f.anchor(1);
        f.diagonal.push_back({6 * 3 - 4, -2 * 12 * E * INERTIA / std::pow(60.0, 3)});
        EXPECT_EQ(named(f), 6 * 3 - 4);
    }
    // A node with no stiffness at all, and a NaN term: reported at the
    // node's first direction and at the NaN; no NaN reaches a solution.
    {
        Frame f{2, {}, {}};
        f.anchor(1);
        EXPECT_EQ(named(f), 7);
        f.diagonal.push_back({8, std::numeric_limits<double>::quiet_NaN()});
        for (int d = 7; d <= 12; ++d) f.diagonal.push_back({d, 5.0});
        const FactorResult r = f.assemble().store.factor();
        EXPECT_EQ(r.unstable_equation, 8);
        EXPECT_EQ(r.pivot_equation, 8);
    }
}

TEST(EquationStore, MechanismDeepInsideALoopIsFound)
{
    // A portal frame of pipes in the X-Y plane whose four corners are hinges
    // (two nodes linked rigidly in all but RZ): its foot is anchored at both
    // ends, and its top carries a ring of pipe that closes on itself and on
    // the top twice more, all beside a stiff anchored loop joined to the
    // foot. Each leg of the portal is eight pipes. The portal sways: the
    // legs turn about their feet, and the top, the ring and the legs' upper
    // ends move alike in X; the left leg's top comes first in the model's
    // order among them.
    Frame f{0, {}, {}};
    int next = 0;
    auto node = [&] { return f.nodes = ++next; };
    // The foot: nodes 1..9 along X, 40 in apart, anchored at both ends.
    for (int n = 1; n <= 9; ++n) node();
    for (int n = 1; n < 9; ++n) f.add_pipe(n, n + 1, 0, 40.0);
    f.anchor(1);
    f.anchor(9);
    const std::vector<int> hinge = {1, 2, 3, 4, 5};
    // A leg of eight pipes up Y from a hinge at `foot`; its top node.
    auto leg = [&](int foot) {
        int below = node();
        f.add_link(foot, below, hinge);
        for (int k = 0; k < 8; ++k) {
            const int above = node();
            f.add_pipe(below, above, 1, 30.0);
            below = above;
        }
        return below;
    };
    const int left_top = leg(1);
    const int right_top = leg(9);
    // The top along X between hinges at the legs' tops.
    int previous = node();
    f.add_link(left_top, previous, hinge);
    const int top_first = previous;
    std::vector<int> top = {previous};
    for (int k = 0; k < 8; ++k) {
        const int n = node();
        f.add_pipe(previous, n, 0, 40.0);
        top.push_back(previous = n);
    }
    f.add_link(right_top, previous, hinge);
    // The ring over the top: up from the top's third node, across, and down
    // onto its seventh, with a cross pipe that closes a second loop.
    const int up1 = node(), up2 = node(), over1 = node(), over2 = node(), down1 = node();
    f.add_pipe(top[2], up1, 1, 40.0);
    f.add_pipe(up1, up2, 1, 40.0);
    f.add_pipe(up2, over1, 0, 80.0);
    f.add_pipe(over1, over2, 0, 80.0);
    f.add_pipe(over2, down1, 1, 40.0);
    f.add_pipe(down1, top[6], 1, 40.0);
    f.add_pipe(up1, top[4], 0, 80.0);
    // A stiff loop beside the foot: a square of pipes on nodes 3 and 7
    // through two more, anchored at a third.
    const int side1 = node(), side2 = node(), side3 = node();
    f.add_pipe(3, side1, 2, 60.0);
    f.add_pipe(side1, side2, 0, 80.0);
    f.add_pipe(side2, side3, 0, 80.0);
    f.add_pipe(side3, 7, 2, 60.0);
    f.anchor(side2);
    (void)top_first;

    EXPECT_EQ(named(f), 6 * left_top - 5);

    // Held in X at the top's middle, the portal stands.
    f.diagonal.push_back({6 * top[4] - 5, RIGID});
    EXPECT_EQ(named(f), 0);
}

TEST(EquationStore, ShiftedFactorCountsTheEigenvaluesBelowTheShift)
{
    // A chain of n nodes along X joined by springs k in X, node 1 on a
    // spring k to the ground, masses m at every node; the other five
    // directions of each node on springs c to the ground. The X chain fixed
    // at one end and free at the other has the eigenvalues
    // lambda_j = 4 k / m sin²((2j - 1) pi / (2 (2n + 1))), j = 1..n
    // (the fixed-free spring-mass chain); the others are c / m, 5n times.
    // The inertia of K - sigma M is the number of eigenvalues below sigma.
    const int n = 12;
    const double k = 5000.0, m = 2.0, c = 7000.0;
    Frame f{n, {}, {}};
    for (int a = 1; a < n; ++a) f.add_link(a, a + 1, {});
    std::vector<NodePair> pairs = f.pairs();
    Assembly s(n, pairs);
    for (int a = 1; a < n; ++a) {
        const int x = 6 * a - 5, y = 6 * (a + 1) - 5;
        s.store.add(x, x, k), s.store.add(y, y, k), s.store.add(y, x, -k);
    }
    s.store.add(1, 1, k);
    OneBased<double> mass(6 * n);
    for (int a = 1; a <= n; ++a)
        for (int d = 0; d < 6; ++d) {
            mass[6 * a - 5 + d] = m;
            if (d > 0) s.store.add(6 * a - 5 + d, 6 * a - 5 + d, c);
        }
    std::vector<double> eigenvalues(5 * n, c / m);
    for (int j = 1; j <= n; ++j)
        eigenvalues.push_back(4 * k / m * std::pow(std::sin((2 * j - 1) * std::numbers::pi / (2 * (2 * n + 1))), 2));
    std::sort(eigenvalues.begin(), eigenvalues.end());
    for (std::size_t i = 0; i + 1 < eigenvalues.size(); ++i) {
        if (eigenvalues[i + 1] - eigenvalues[i] < 1.0) continue;
        const double sigma = 0.5 * (eigenvalues[i] + eigenvalues[i + 1]);
        const FactorResult r = s.store.factor({true, sigma, &mass});
        ASSERT_TRUE(r.ok()) << sigma;
        EXPECT_EQ(r.negative_pivots, static_cast<int>(i + 1)) << sigma;
        EXPECT_EQ(s.store.negative_pivots(), r.negative_pivots);
    }
    // Below every eigenvalue nothing is negative; the shift leaves the
    // assembled values alone.
    EXPECT_EQ(s.store.factor({true, 1.0, &mass}).negative_pivots, 0);
    EXPECT_EQ(s.store.value(8, 8), c);
    // On an eigenvalue (sigma = c / m) the pivots of the five directions
    // vanish: a failure, not a count. Refused without `indefinite`.
    EXPECT_FALSE(s.store.factor({true, c / m, &mass}).ok());
    EXPECT_FALSE(s.store.factor({false, 0.5 * (eigenvalues[0] + eigenvalues[1]) + 1e3, &mass}).ok());
    // The matrix itself is positive definite.
    EXPECT_TRUE(s.store.factor().ok());
    EXPECT_EQ(s.store.negative_pivots(), 0);
}

TEST(EquationStore, TreesFillNothingAndLoopsOnlyAlongThemselves)
{
    // A random tree of 500 nodes eliminated from its leaves inwards: the
    // factor holds the assembled pattern and nothing more. A ring of 200
    // nodes fills one block per node at most. The order depends on the set
    // of pairs, not on their order or repeats.
    std::mt19937 random(5);
    std::vector<NodePair> tree;
    for (int n = 2; n <= 500; ++n) tree.push_back({std::uniform_int_distribution<int>(1, n - 1)(random), n});
    const EquationStore store(500, tree);
    EXPECT_EQ(store.factor_terms(), store.assembled_terms());
    EXPECT_EQ(store.elimination().factor_blocks(), 500u + 499);

    std::vector<NodePair> ring;
    for (int n = 1; n <= 200; ++n) ring.push_back({n, n % 200 + 1});
    EXPECT_LE(EquationStore(200, ring).elimination().factor_blocks(), 200u + 2 * 200);

    std::vector<NodePair> shuffled = tree;
    shuffled.insert(shuffled.end(), tree.begin(), tree.begin() + 50);
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    for (NodePair& p : shuffled)
        if (p.a % 2) std::swap(p.a, p.b);
    EXPECT_EQ(EquationStore(500, shuffled).elimination().order, store.elimination().order);
}

TEST(EquationStore, UnstableMessageNamesTheNodeAndDirection)
{
    EXPECT_EQ(unstable_model_message(6 * 5 - 3, "30"), "Model is unstable at node 30 in the Z direction");
    const char* names[6] = {"X", "Y", "Z", "RX", "RY", "RZ"};
    for (int d = 0; d < 6; ++d) {
        const int equation = 6 * 17 - 5 + d;
        EXPECT_EQ(equation_node(equation), 17);
        EXPECT_EQ(unstable_model_message(equation, "1020A"),
                  std::string("Model is unstable at node 1020A in the ") + names[d] + " direction");
    }
}

TEST(EquationStore, FactorOnABaseMakesAgainOnlyWhatTheChangedTermsReach)
{
    // A random node graph (a tree with a few loops, dense node blocks, as in
    // RandomNodeGraphsSolveLikeDenseElimination) as the base of a load case;
    // on top of it, round after round, springs to ground at a few nodes and
    // a coupling between two coupled nodes, as the contacts of a nonlinear
    // iteration would add them. Each factor made in part solves like the
    // dense elimination of the same terms and gives, to the last bit, the
    // solution of a store that factorised the same terms in full.
    std::mt19937 random(38);
    const int nodes = 60;
    std::vector<NodePair> pairs;
    for (int n = 2; n <= nodes; ++n) pairs.push_back({n, std::uniform_int_distribution<int>(std::max(1, n - 6), n - 1)(random)});
    for (int loop = 0; loop < 4; ++loop)
        pairs.push_back({std::uniform_int_distribution<int>(1, nodes / 2)(random), std::uniform_int_distribution<int>(nodes / 2 + 1, nodes)(random)});
    const std::vector<Term> base_terms = positive_pair_terms(nodes, pairs, random);

    Assembly s(nodes, pairs);
    for (const Term& t : base_terms) s.store.add(t.row, t.column, t.value);
    s.store.keep_as_base();
    const NodePair coupled = pairs[static_cast<std::size_t>(nodes / 3)];
    auto terms_on_top = [&](int round) {
        std::vector<Term> top;
        std::mt19937 pick(static_cast<unsigned>(round));
        for (int k = 0; k < 3; ++k) {
            const int node = std::uniform_int_distribution<int>(1, nodes)(pick);
            const int d = std::uniform_int_distribution<int>(0, 2)(pick);
            top.push_back({6 * node - 5 + d, 6 * node - 5 + d, 10.0 + round});
        }
        // A spring between the two nodes' X: k on both diagonals, -k across.
        const double k = round % 2 == 0 ? 4.0 : 5.0;
        top.push_back({6 * coupled.a - 5, 6 * coupled.a - 5, k});
        top.push_back({6 * coupled.b - 5, 6 * coupled.b - 5, k});
        top.push_back({6 * coupled.a - 5, 6 * coupled.b - 5, -k});
        return top;
    };
    const std::vector<std::vector<double>> loads = random_loads(6 * nodes, 1, random);
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        if (round > 0) s.store.restore_base();
        Assembly fresh(nodes, pairs);
        for (const Term& t : base_terms) fresh.store.add(t.row, t.column, t.value);
        Dense dense(6 * nodes);
        for (const Term& t : base_terms) {
            dense.at(t.row, t.column) += t.value;
            if (t.row != t.column) dense.at(t.column, t.row) += t.value;
        }
        for (const Term& t : terms_on_top(round)) {
            s.store.add(t.row, t.column, t.value);
            fresh.store.add(t.row, t.column, t.value);
            dense.at(t.row, t.column) += t.value;
            if (t.row != t.column) dense.at(t.column, t.row) += t.value;
        }
        ASSERT_TRUE(s.store.factor().ok());
        ASSERT_TRUE(fresh.store.factor().ok());
        EXPECT_EQ(fresh.store.panels_made(), fresh.store.panel_count());
        if (round == 0)
            EXPECT_EQ(s.store.panels_made(), s.store.panel_count());
        else {
            EXPECT_GT(s.store.panels_made(), 0);
            EXPECT_LT(s.store.panels_made(), s.store.panel_count());
        }
        OneBased<double> x(6 * nodes), y(6 * nodes);
        for (int e = 1; e <= 6 * nodes; ++e) x[e] = y[e] = loads[0][static_cast<std::size_t>(e)];
        s.store.solve(x);
        fresh.store.solve(y);
        const std::vector<double> expected = dense.solve(loads[0]);
        double largest = 0;
        for (int e = 1; e <= 6 * nodes; ++e) largest = std::max(largest, std::abs(expected[static_cast<std::size_t>(e)]));
        for (int e = 1; e <= 6 * nodes; ++e) {
            ASSERT_EQ(x[e], y[e]) << "equation " << e;
            ASSERT_NEAR(x[e], expected[static_cast<std::size_t>(e)], 1e-9 * largest) << "equation " << e;
        }
    }

    // The same terms factorised again: nothing differs, nothing is made.
    s.store.restore_base();
    for (const Term& t : terms_on_top(5)) s.store.add(t.row, t.column, t.value);
    ASSERT_TRUE(s.store.factor().ok());
    EXPECT_EQ(s.store.panels_made(), 0);

    // A factor that fails leaves none to keep: the next is made in full and
    // is right. A spring of -1e6 at node 1 makes the matrix indefinite.
    s.store.restore_base();
    s.store.add(1, 1, -1.0e6);
    EXPECT_FALSE(s.store.factor().ok());
    EXPECT_FALSE(s.store.factored());
    s.store.restore_base();
    for (const Term& t : terms_on_top(2)) s.store.add(t.row, t.column, t.value);
    ASSERT_TRUE(s.store.factor().ok());
    EXPECT_EQ(s.store.panels_made(), s.store.panel_count());
    Assembly fresh(nodes, pairs);
    for (const Term& t : base_terms) fresh.store.add(t.row, t.column, t.value);
    for (const Term& t : terms_on_top(2)) fresh.store.add(t.row, t.column, t.value);
    ASSERT_TRUE(fresh.store.factor().ok());
    OneBased<double> x(6 * nodes), y(6 * nodes);
    for (int e = 1; e <= 6 * nodes; ++e) x[e] = y[e] = loads[0][static_cast<std::size_t>(e)];
    s.store.solve(x);
    fresh.store.solve(y);
    for (int e = 1; e <= 6 * nodes; ++e) ASSERT_EQ(x[e], y[e]) << "equation " << e;

    // A shifted factor is made in full, and the plain one after it too.
    OneBased<double> mass(6 * nodes);
    for (int e = 1; e <= 6 * nodes; ++e) mass[e] = 1.0;
    ASSERT_TRUE(s.store.factor({true, 0.01, &mass}).ok());
    EXPECT_EQ(s.store.panels_made(), s.store.panel_count());
    ASSERT_TRUE(s.store.factor().ok());
    EXPECT_EQ(s.store.panels_made(), s.store.panel_count());
}

TEST(EquationStore, ProductsMatchTheDenseMatrix)
{
    // y = K x and the quadratic form x'Kx split by regions of the nodes,
    // against the same sums over a dense copy of the terms, on a random
    // node graph with loops (dense node blocks; pairs assembled in either
    // order of their nodes).
    std::mt19937 random(5);
    const int nodes = 30;
    std::vector<NodePair> pairs;
    for (int n = 2; n <= nodes; ++n) pairs.push_back({n, std::uniform_int_distribution<int>(1, n - 1)(random)});
    pairs.push_back({3, 27});
    pairs.push_back({29, 11});
    Assembly s(nodes, pairs);
    std::uniform_real_distribution<double> value(-5.0, 5.0);
    for (const NodePair& p : pairs)
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 6; ++c) {
                s.add(6 * p.a - 5 + r, 6 * p.b - 5 + c, value(random));
                if (c >= r) s.add(6 * p.a - 5 + r, 6 * p.a - 5 + c, value(random));
            }
    const int n = 6 * nodes;
    OneBased<double> x(n), y(n);
    for (int e = 1; e <= n; ++e) x[e] = value(random);
    s.store.multiply(x, y);
    double scale = 0;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c) scale = std::max(scale, std::abs(s.dense.at(r, c) * x[c]));
    for (int r = 1; r <= n; ++r) {
        double expected = 0;
        for (int c = 1; c <= n; ++c) expected += s.dense.at(r, c) * x[c];
        EXPECT_NEAR(y[r], expected, 1e-12 * n * scale) << "equation " << r;
    }

    // Three regions: nodes by their number modulo 3.
    std::vector<int> region(static_cast<std::size_t>(nodes));
    for (int k = 0; k < nodes; ++k) region[static_cast<std::size_t>(k)] = k % 3;
    std::vector<double> products;
    s.store.region_products(x, region, 3, products);
    ASSERT_EQ(products.size(), 9u);
    double total = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double expected = 0;
            for (int r = 1; r <= n; ++r)
                for (int c = 1; c <= n; ++c)
                    if ((r - 1) / 6 % 3 == i && (c - 1) / 6 % 3 == j) expected += x[r] * s.dense.at(r, c) * x[c];
            EXPECT_NEAR(products[static_cast<std::size_t>(3 * i + j)], expected, 1e-12 * n * n * scale) << i << "," << j;
            total += products[static_cast<std::size_t>(3 * i + j)];
        }
    // The regions add up to x'Kx = x'y.
    double xy = 0;
    for (int e = 1; e <= n; ++e) xy += x[e] * y[e];
    EXPECT_NEAR(total, xy, 1e-12 * n * n * scale);
}

TEST(EquationStore, FactorSharedAmongThreadsGivesTheSameBitsAsOneThread)
{
    // A network of 3 000 nodes (a tree with loops, dense node blocks, as in
    // RandomNodeGraphsSolveLikeDenseElimination), factorised and solved on
    // several threads even where that would not pay. Its solution is the same to
    // the last bit as on one thread, and solves K x = b to
    // round-off (the residual through the assembled product, which
    // ProductsMatchTheDenseMatrix checks against dense sums). So is a factor
    // made in part on a base, and an unstable matrix names the same
    // equation either way, wherever the failing pivot lies.
    if (std::thread::hardware_concurrency() < 2) GTEST_SKIP() << "one processor";
    std::mt19937 random(2026);
    const int nodes = 3000;
    std::vector<NodePair> pairs;
    for (int n = 2; n <= nodes; ++n) pairs.push_back({n, std::uniform_int_distribution<int>(std::max(1, n - 40), n - 1)(random)});
    for (int loop = 0; loop < 30; ++loop)
        pairs.push_back({std::uniform_int_distribution<int>(1, nodes)(random), std::uniform_int_distribution<int>(1, nodes)(random)});
    const std::vector<Term> terms = positive_pair_terms(nodes, pairs, random);
    const int n = 6 * nodes;
    auto assembled = [&] {
        auto store = std::make_unique<EquationStore>(nodes, pairs);
        for (const Term& t : terms) store->add(t.row, t.column, t.value);
        store->keep_as_base();
        return store;
    };
    std::unique_ptr<EquationStore> shared = assembled(), alone = assembled();
    ASSERT_GE(shared->thread_runs(), 2);
    shared->share(EquationStore::Sharing::Always);
    alone->share(EquationStore::Sharing::Never);
    const std::vector<std::vector<double>> loads = random_loads(n, 1, random);
    auto solved = [&](EquationStore& store) {
        OneBased<double> x(n);
        for (int e = 1; e <= n; ++e) x[e] = loads[0][static_cast<std::size_t>(e)];
        store.solve(x);
        return x;
    };
    auto expect_same_and_solved = [&](EquationStore& a, EquationStore& b) {
        const OneBased<double> x = solved(a), y = solved(b);
        OneBased<double> product(n);
        a.multiply(x, product);
        double largest = 0, residual = 0;
        for (int e = 1; e <= n; ++e) {
            ASSERT_EQ(x[e], y[e]) << "equation " << e;
            largest = std::max(largest, std::abs(loads[0][static_cast<std::size_t>(e)]));
            residual = std::max(residual, std::abs(product[e] - loads[0][static_cast<std::size_t>(e)]));
        }
        EXPECT_LT(residual, 1e-8 * largest);
    };
    ASSERT_TRUE(shared->factor().ok());
    ASSERT_TRUE(alone->factor().ok());
    expect_same_and_solved(*shared, *alone);

    // On the base: springs at a few nodes, factorised again in part.
    shared->restore_base();
    alone->restore_base();
    for (int node : {17, 1500, 2999}) {
        shared->add(6 * node - 4, 6 * node - 4, 250.0);
        alone->add(6 * node - 4, 6 * node - 4, 250.0);
    }
    ASSERT_TRUE(shared->factor().ok());
    ASSERT_TRUE(alone->factor().ok());
    EXPECT_LT(shared->panels_made(), shared->panel_count());
    EXPECT_EQ(shared->panels_made(), alone->panels_made());
    expect_same_and_solved(*shared, *alone);

    // A negative spring makes a pivot fail: near the first nodes eliminated,
    // in the middle, and at the last.
    for (int node : {1, nodes / 2, nodes}) {
        SCOPED_TRACE(node);
        shared->restore_base();
        alone->restore_base();
        shared->add(6 * node - 5, 6 * node - 5, -1.0e9);
        alone->add(6 * node - 5, 6 * node - 5, -1.0e9);
        const FactorResult a = shared->factor(), b = alone->factor();
        EXPECT_FALSE(a.ok());
        EXPECT_EQ(a.unstable_equation, b.unstable_equation);
        EXPECT_EQ(a.pivot_equation, b.pivot_equation);
    }
    // After failures, a factor in full on both, the same again.
    shared->restore_base();
    alone->restore_base();
    ASSERT_TRUE(shared->factor().ok());
    ASSERT_TRUE(alone->factor().ok());
    expect_same_and_solved(*shared, *alone);
}
