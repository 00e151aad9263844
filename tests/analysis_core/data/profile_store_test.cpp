// The profile store and its LDLᵀ solver against a dense Gaussian elimination
// written here, on random matrices assembled like elements and on small
// frames of pipe beams with rigid supports and links; the unstable cases
// report the equation at which a mechanism or a negative stiffness shows.
#include "analysis_core/profile_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
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

// Both assemblies of the same terms: the store through add(), the dense
// matrix symmetrically.
struct Assembly {
    ProfileStore store;
    Dense dense;
    explicit Assembly(const ProfileLayout& layout) : store(layout), dense(layout.equation_count()) {}
    void add(int i, int j, double v)
    {
        if (i > j) std::swap(i, j);
        store.add(i, j, v);
        dense.at(i, j) += v;
        if (i != j) dense.at(j, i) += v;
    }
};

// Factors, solves each right-hand side with the one factorisation and
// compares with the dense solution, relative to the largest component.
void expect_solves_like_dense(Assembly& s, const std::vector<std::vector<double>>& loads, double tolerance)
{
    ASSERT_EQ(s.store.factor(), 0);
    for (const std::vector<double>& b : loads) {
        OneBased<double> x(s.dense.n);
        for (int e = 1; e <= s.dense.n; ++e) x[e] = b[static_cast<std::size_t>(e)];
        s.store.solve(x);
        const std::vector<double> expected = s.dense.solve(b);
        double largest = 0;
        for (int e = 1; e <= s.dense.n; ++e) largest = std::max(largest, std::abs(expected[static_cast<std::size_t>(e)]));
        for (int e = 1; e <= s.dense.n; ++e)
            ASSERT_NEAR(x[e], expected[static_cast<std::size_t>(e)], tolerance * largest) << "equation " << e;
    }
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

// A frame of nodes 1..nodes numbered as they are (equations 6n-5..6n):
// pipes, rigid links and terms on the diagonal.
struct Frame {
    struct Element {
        int eq[13];
        double k[13][13];
    };
    int nodes;
    std::vector<Element> elements;
    std::vector<std::pair<int, double>> diagonal;  // (equation, stiffness)

    Element& add_element(int a, int b)
    {
        Element& e = elements.emplace_back();
        e.eq[0] = 0;
        for (int d = 1; d <= 6; ++d) e.eq[d] = 6 * a - 6 + d, e.eq[d + 6] = 6 * b - 6 + d;
        return e;
    }
    void add_pipe(int a, int b, int axis, double length)
    {
        beam(axis, E, G, AREA, INERTIA, length, add_element(a, b).k);
    }
    void add_link(int a, int b)
    {
        double(&k)[13][13] = add_element(a, b).k;
        for (int r = 0; r <= 12; ++r)
            for (int c = 0; c <= 12; ++c) k[r][c] = 0;
        for (int d = 1; d <= 6; ++d) k[d][d] = k[d + 6][d + 6] = RIGID, k[d][d + 6] = k[d + 6][d] = -RIGID;
    }
    void anchor(int node)
    {
        for (int d = 1; d <= 6; ++d) diagonal.push_back({6 * node - 6 + d, RIGID});
    }

    void add_to(ProfileStore& store) const
    {
        for (const Element& e : elements) store.add_element(e.eq, e.k);
        for (auto [eq, v] : diagonal) store.add(eq, eq, v);
    }
    Assembly assemble() const
    {
        ProfileLayout layout(6 * nodes);
        for (const Element& e : elements) layout.include_element(e.eq);
        Assembly s(layout);
        add_to(s.store);
        for (const Element& e : elements)
            for (int a = 1; a <= 12; ++a)
                for (int b = 1; b <= 12; ++b) s.dense.at(e.eq[a], e.eq[b]) += e.k[a][b];
        for (auto [eq, v] : diagonal) s.dense.at(eq, eq) += v;
        return s;
    }
};

double tip_deflection(ProfileStore& store, int equation, double load)
{
    OneBased<double> x(store.equation_count());
    x[equation] = load;
    store.solve(x);
    return x[equation];
}

}  // namespace

TEST(ProfileStore, LayoutFromEquationListsSkipsEquationsOutsideTheAnalysis)
{
    ProfileLayout layout(10);
    const int element[13] = {0, 3, 0, 5, 0, 0, 0, 0, 9, 0, 0, 0, 0};
    layout.include_element(element);
    const int support[3] = {7, 0, 6};
    layout.include(support);
    // Columns 5 and 9 reach up to 3, column 7 to 6; the others only hold their diagonal.
    const int expected[11] = {0, 1, 2, 3, 4, 3, 6, 6, 8, 3, 10};
    for (int j = 1; j <= 10; ++j) EXPECT_EQ(layout.first_row(j), expected[j]) << "column " << j;
    const ProfileStore store(layout);
    EXPECT_EQ(store.stored_terms(), 10u + 2 + 1 + 6);
    EXPECT_EQ(store.value(3, 9), 0.0);
    EXPECT_EQ(store.value(1, 9), 0.0);  // outside the profile
}

TEST(ProfileStore, ElementAssemblyMatchesTheCongruenceWithTheEquationMap)
{
    // Equation 0 slots are skipped, equations in any order, two slots on one
    // equation (both orders of the pair count on the diagonal); the lower
    // triangle of the element matrix is never read.
    const int eq[13] = {0, 4, 2, 0, 7, 1, 4, 3, 5, 6, 0, 8, 2};
    double k[13][13];
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-10.0, 10.0);
    for (int a = 0; a <= 12; ++a)
        for (int b = a; b <= 12; ++b) k[a][b] = value(random);
    for (int a = 1; a <= 12; ++a)
        for (int b = 1; b < a; ++b) k[a][b] = std::numeric_limits<double>::quiet_NaN();

    ProfileLayout layout(8);
    layout.include_element(eq);
    ProfileStore store(layout);
    store.add_element(eq, k);
    store.add_element(eq, k);

    // K = Pᵀ k P summed slot by slot, k symmetric from its upper triangle.
    double expected[9][9] = {};
    for (int a = 1; a <= 12; ++a)
        for (int b = 1; b <= 12; ++b)
            if (eq[a] && eq[b]) expected[eq[a]][eq[b]] += 2 * k[std::min(a, b)][std::max(a, b)];
    for (int i = 1; i <= 8; ++i)
        for (int j = 1; j <= 8; ++j) EXPECT_NEAR(store.value(i, j), expected[i][j], 1e-12) << i << "," << j;

    store.clear_values();
    EXPECT_EQ(store.value(4, 4), 0.0);
    EXPECT_EQ(store.stored_terms(), 8u * 9 / 2);
}

TEST(ProfileStore, RandomElementAssembliesSolveLikeDenseElimination)
{
    // Sums of random positive semi-definite element matrices over scattered
    // equations plus a small diagonal: symmetric positive definite, with
    // uneven column heights, some columns holding only their diagonal.
    std::mt19937 random(2024);
    for (int n : {1, 7, 40, 123}) {
        std::uniform_int_distribution<int> pick(1, n);
        std::uniform_real_distribution<double> value(-3.0, 3.0);
        std::vector<std::vector<int>> elements;
        for (int c = 0; c < n; ++c) {
            const int centre = pick(random);
            std::vector<int> eqs;
            for (int k = 0; k < 4; ++k)
                eqs.push_back(std::clamp(centre + std::uniform_int_distribution<int>(-6, 6)(random), 1, n));
            std::sort(eqs.begin(), eqs.end());
            eqs.erase(std::unique(eqs.begin(), eqs.end()), eqs.end());
            elements.push_back(eqs);
        }
        ProfileLayout layout(n);
        for (const auto& eqs : elements) layout.include(eqs);
        Assembly s(layout);
        for (const auto& eqs : elements)
            for (int rank = 0; rank < 2; ++rank) {
                std::vector<double> v;
                for (std::size_t k = 0; k < eqs.size(); ++k) v.push_back(value(random));
                for (std::size_t a = 0; a < eqs.size(); ++a)
                    for (std::size_t b = a; b < eqs.size(); ++b) s.add(eqs[a], eqs[b], v[a] * v[b]);
            }
        for (int e = 1; e <= n; ++e) s.add(e, e, 0.05);
        SCOPED_TRACE(n);
        expect_solves_like_dense(s, random_loads(n, 3, random), 1e-9);
    }
}

TEST(ProfileStore, PipingFrameWithRigidTermsSolvesLikeDenseElimination)
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

    // Cleared and assembled again after a factorisation, the store gives
    // the same solution to the last bit.
    s.store.clear_values();
    f.add_to(s.store);
    ASSERT_EQ(s.store.factor(), 0);
    Assembly fresh = f.assemble();
    ASSERT_EQ(fresh.store.factor(), 0);
    OneBased<double> x(72), y(72);
    x[6 * 9 - 4] = y[6 * 9 - 4] = -1000.0;
    s.store.solve(x);
    fresh.store.solve(y);
    for (int e = 1; e <= 72; ++e) EXPECT_EQ(x[e], y[e]);
}

TEST(ProfileStore, CantileverTipDeflectionsMatchBeamTheory)
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
        ASSERT_EQ(s.store.factor(), 0) << spring;
        const double deflection = P / (beam_stiffness + spring);
        EXPECT_NEAR(tip_deflection(s.store, 6 * 3 - 4, P), deflection, 1e-9 * deflection) << spring;
        EXPECT_NEAR(tip_deflection(s.store, 6 * 3 - 2, P), torsion, 1e-9 * torsion);
    }
}

TEST(ProfileStore, SoftDirectionBehindARigidLinkIsNotAMechanism)
{
    // Node 1 held by a 100 lb/in spring in X and rigid in the other five
    // directions, node 2 linked rigidly to it: X at node 2 sees the spring and
    // the link in series, 1 / (1/100 + 1/1e12), a pivot 1e-10 of its diagonal.
    Frame f{2, {}, {}};
    f.add_link(1, 2);
    f.diagonal.push_back({1, 100.0});
    for (int d = 2; d <= 6; ++d) f.diagonal.push_back({d, RIGID});
    Assembly s = f.assemble();
    ASSERT_EQ(s.store.factor(), 0);
    const double series = 1.0 / (1.0 / 100.0 + 1.0 / RIGID);
    EXPECT_NEAR(tip_deflection(s.store, 7, 250.0), 250.0 / series, 1e-6 * 250.0 / series);
}

TEST(ProfileStore, UnstableModelsStopAtTheEquationWhereTheMechanismShows)
{
    // A free translation: a run of four pipes along X whose first node is
    // held in every direction but Z. Nothing resists Z as a whole, which
    // shows at the last node's Z equation, 6*5 - 3.
    {
        Frame f{5, {}, {}};
        for (int n = 1; n <= 4; ++n) f.add_pipe(n, n + 1, 0, 100.0);
        for (int d : {1, 2, 4, 5, 6}) f.diagonal.push_back({d, RIGID});
        Assembly s = f.assemble();
        EXPECT_EQ(s.store.factor(), 27);
        EXPECT_FALSE(s.store.factored());
    }
    // The same with a rigid link between the last two nodes: the mechanism
    // comes out of 1e12 terms as round-off, still caught.
    {
        Frame f{6, {}, {}};
        for (int n = 1; n <= 4; ++n) f.add_pipe(n, n + 1, 0, 100.0);
        f.add_link(5, 6);
        for (int d : {1, 2, 4, 5, 6}) f.diagonal.push_back({d, RIGID});
        EXPECT_EQ(f.assemble().store.factor(), 6 * 6 - 3);
    }
    // Beside a sound link to a cantilever tip (nodes 2-3), a rigid link pair
    // 4-5 held only by a soft X spring: X is sound (see above), Y of the
    // second node is the first free direction.
    {
        Frame f{5, {}, {}};
        f.add_pipe(1, 2, 0, 100.0);
        f.anchor(1);
        f.add_link(2, 3);
        f.add_link(4, 5);
        f.diagonal.push_back({6 * 4 - 5, 100.0});
        EXPECT_EQ(f.assemble().store.factor(), 6 * 5 - 4);
    }
    // A negative spring at a cantilever tip stronger than the tip's
    // stiffness with its rotation held (12 E I / L³): the pivot of that
    // equation turns negative.
    {
        Frame f{3, {}, {}};
        f.add_pipe(1, 2, 0, 60.0);
        f.add_pipe(2, 3, 0, 60.0);
        f.anchor(1);
        f.diagonal.push_back({6 * 3 - 4, -2 * 12 * E * INERTIA / std::pow(60.0, 3)});
        EXPECT_EQ(f.assemble().store.factor(), 6 * 3 - 4);
    }
    // A node with no stiffness at all, and a NaN term: reported, no NaN
    // reaches a solution.
    {
        ProfileLayout layout(3);
        ProfileStore store(layout);
        store.add(1, 1, 5.0);
        store.add(3, 3, 5.0);
        EXPECT_EQ(store.factor(), 2);
        ProfileStore bad(layout);
        bad.add(1, 1, 5.0);
        bad.add(2, 2, std::numeric_limits<double>::quiet_NaN());
        bad.add(3, 3, 5.0);
        EXPECT_EQ(bad.factor(), 2);
    }
}

TEST(ProfileStore, UnstableMessageNamesTheNodeAndDirection)
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
