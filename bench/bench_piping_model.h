// A piping-like model for the solver and modal benchmarks, the same at every
// run: a long header with branches off branches, bypass loops that close
// back onto their run, pipes from 1 to 24 inch as 3D beam elements with
// shear deformation, anchors at the run ends, rigid (1.0e12) supports along
// the runs and a few rigid links between nodes. Each pipe also carries its
// weight full of water, which the modal benchmark lumps half to each end.
#pragma once

#include "analysis_core/equation_store.h"
#include "bench_random.h"

#include <Eigen/SparseCore>

#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace bench_piping {

constexpr double RIGID = 1.0e12;
constexpr double E = 2.9e7;         // psi, carbon steel
constexpr double G = E / 2.6;       // Poisson's ratio 0.3


struct Vec {
    double x = 0, y = 0, z = 0;
};
inline Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec operator*(double s, Vec a) { return {s * a.x, s * a.y, s * a.z}; }
inline double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline Vec unit(Vec a) { return (1.0 / std::sqrt(dot(a, a))) * a; }

struct Pipe {
    double od, wall, span;  // span: the usual support spacing
};
// Standard-weight outside diameters and walls, inch, with support spacings.
constexpr std::array<Pipe, 9> PIPES = {{{1.315, 0.133, 84}, {2.375, 0.154, 120}, {3.5, 0.216, 144},
                                        {4.5, 0.237, 168}, {6.625, 0.280, 204}, {8.625, 0.322, 228},
                                        {12.75, 0.375, 276}, {16.0, 0.375, 324}, {24.0, 0.375, 360}}};

struct Element {
    int a, b;
    double k[13][13];
    double weight = 0.0;   // lb, the pipe full of water; 0 for a rigid link
};

struct Model {
    int nodes = 0;
    std::vector<Vec> at;                     // by node, slot 0 unused
    std::vector<Element> elements;           // pipes and rigid links
    std::vector<std::pair<int, int>> rigid;  // (node, direction 1..6) restraints
    std::vector<NodePair> pairs;
};

// The 12 x 12 stiffness of a straight pipe from a to b in global axes:
// Timoshenko beam (shear area half the metal area) turned by the direction
// cosines, local y in the vertical plane (global Y up; X for a vertical run).
inline void pipe_stiffness(Vec a, Vec b, Pipe p, double (&k)[13][13])
{
    const double ro = p.od / 2, ri = ro - p.wall;
    const double area = M_PI * (ro * ro - ri * ri);
    const double inertia = M_PI / 4 * (ro * ro * ro * ro - ri * ri * ri * ri);
    const double length = std::sqrt(dot(b - a, b - a));
    const double phi = 12 * E * inertia / (G * area / 2 * length * length);
    const double ea = E * area / length, gj = G * 2 * inertia / length;
    const double b1 = 12 * E * inertia / (length * length * length * (1 + phi));
    const double b2 = 6 * E * inertia / (length * length * (1 + phi));
    const double b3 = (4 + phi) * E * inertia / (length * (1 + phi));
    const double b4 = (2 - phi) * E * inertia / (length * (1 + phi));

    double local[13][13] = {};
    auto set = [&](int r, int c, double v) { local[r][c] = local[c][r] = v; };
    set(1, 1, ea), set(7, 7, ea), set(1, 7, -ea);
    set(4, 4, gj), set(10, 10, gj), set(4, 10, -gj);
    // Bending in the local x-y plane (uy, rz) and x-z plane (uz, ry).
    set(2, 2, b1), set(8, 8, b1), set(2, 8, -b1);
    set(2, 6, b2), set(2, 12, b2), set(6, 8, -b2), set(8, 12, -b2);
    set(6, 6, b3), set(12, 12, b3), set(6, 12, b4);
    set(3, 3, b1), set(9, 9, b1), set(3, 9, -b1);
    set(3, 5, -b2), set(3, 11, -b2), set(5, 9, b2), set(9, 11, b2);
    set(5, 5, b3), set(11, 11, b3), set(5, 11, b4);

    const Vec ex = unit(b - a);
    const Vec up = std::abs(ex.y) > 0.99 ? Vec{1, 0, 0} : Vec{0, 1, 0};
    const Vec ez = unit(cross(ex, up));
    const Vec ey = cross(ez, ex);
    const double r[3][3] = {{ex.x, ex.y, ex.z}, {ey.x, ey.y, ey.z}, {ez.x, ez.y, ez.z}};
    // k = Tᵀ local T, block by block.
    for (int bi = 0; bi < 4; ++bi)
        for (int bj = 0; bj < 4; ++bj)
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j) {
                    double s = 0;
                    for (int m = 0; m < 3; ++m)
                        for (int n = 0; n < 3; ++n)
                            s += r[m][i] * local[1 + 3 * bi + m][1 + 3 * bj + n] * r[n][j];
                    k[1 + 3 * bi + i][1 + 3 * bj + j] = s;
                }
    for (int i = 0; i <= 12; ++i) k[0][i] = k[i][0] = 0;
}

inline void rigid_link(double (&k)[13][13])
{
    for (auto& row : k)
        for (double& v : row) v = 0;
    for (int d = 1; d <= 6; ++d) {
        k[d][d] = k[d + 6][d + 6] = RIGID;
        k[d][d + 6] = k[d + 6][d] = -RIGID;
    }
}

// Runs of axis-parallel pipes that turn every few spools; branches start at
// random nodes of earlier runs; some branches close back onto their parent
// run further down (a bypass loop), the others end at an anchor or free.
// Without `rigid_links` the model has none of the links below.
inline Model make_piping_model(int node_count, bool rigid_links = true)
{
    const int NODES = node_count;
    Model m;
    BenchRandom random(20240611);
    m.at.push_back({});
    const Vec axes[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    struct Run {
        std::vector<int> nodes;
    };
    std::vector<Run> runs;
    std::vector<int> run_of(1, 0);
    std::vector<int> place_in_run(1, 0);

    auto new_node = [&](Vec p, int run) {
        m.at.push_back(p);
        run_of.push_back(run);
        place_in_run.push_back(static_cast<int>(runs[static_cast<std::size_t>(run)].nodes.size()));
        runs[static_cast<std::size_t>(run)].nodes.push_back(++m.nodes);
        return m.nodes;
    };
    auto add_pipe = [&](int a, int b, Pipe p) {
        Element e{a, b, {}, 0.0};
        pipe_stiffness(m.at[static_cast<std::size_t>(a)], m.at[static_cast<std::size_t>(b)], p, e.k);
        // Steel 0.283 lb/in3 and water 0.0361 lb/in3 in the bore.
        const Vec along = m.at[static_cast<std::size_t>(b)] - m.at[static_cast<std::size_t>(a)];
        const double ro = p.od / 2, ri = ro - p.wall;
        e.weight = (0.283 * M_PI * (ro * ro - ri * ri) + 0.0361 * M_PI * ri * ri) * std::sqrt(dot(along, along));
        m.elements.push_back(e);
        m.pairs.push_back({a, b});
    };
    auto add_link = [&](int a, int b) {
        Element e{a, b, {}, 0.0};
        rigid_link(e.k);
        m.elements.push_back(e);
        m.pairs.push_back({a, b});
    };
    auto restrain = [&](int node, int direction) { m.rigid.push_back({node, direction}); };
    auto anchor = [&](int node) {
        for (int d = 1; d <= 6; ++d) restrain(node, d);
    };
    // Grows a run from node `from` (0 for the first) with `count` new nodes.
    auto grow = [&](int from, int count, int size, Vec direction) {
        runs.push_back({});
        const int run = static_cast<int>(runs.size()) - 1;
        const Pipe pipe = PIPES[static_cast<std::size_t>(size)];
        Vec p = from ? m.at[static_cast<std::size_t>(from)] : Vec{};
        int previous = from;
        int straight = random.between(3, 12);
        double unsupported = 0;
        int supports = 0;
        for (int c = 0; c < count && m.nodes < NODES; ++c) {
            if (--straight == 0) {
                Vec turn = axes[random.below(6)];
                if (std::abs(dot(turn, direction)) < 0.5) direction = turn;
                straight = random.between(3, 12);
            }
            const double length = random.between(12, static_cast<int>(pipe.span));
            p = p + length * direction;
            unsupported += length;
            const int node = new_node(p, run);
            if (previous) add_pipe(previous, node, pipe);
            if (!previous) {
                anchor(node);
            } else if (unsupported + 12 > pipe.span || random.chance(0.1)) {
                // A rest support; every third one also guides the pipe sideways.
                unsupported = 0;
                if (direction.y == 0) restrain(node, 2);
                if (++supports % 3 == 0) {
                    if (direction.x == 0) restrain(node, 1);
                    if (direction.z == 0) restrain(node, 3);
                }
            }
            previous = node;
        }
        return run;
    };

    grow(0, 400, 8, {1, 0, 0});
    while (m.nodes < NODES) {
        // Larger branches early, small bore later; off an existing node.
        const int from = random.between(1, m.nodes);
        const int size = std::max(0, random.below(8) - static_cast<int>(runs.size()) / 200);
        const int run = grow(from, random.between(5, 90), size, axes[random.below(6)]);
        const std::vector<int>& nodes = runs[static_cast<std::size_t>(run)].nodes;
        if (nodes.empty()) break;
        const int last = nodes.back();
        const int parent = run_of[static_cast<std::size_t>(from)];
        const std::vector<int>& along = runs[static_cast<std::size_t>(parent)].nodes;
        const int back = place_in_run[static_cast<std::size_t>(from)] + random.between(4, 30);
        if (random.chance(0.15) && back < static_cast<int>(along.size())) {
            add_pipe(last, along[static_cast<std::size_t>(back)], PIPES[2]);   // bypass loop
        } else if (random.chance(0.6)) {
            anchor(last);
        }
    }
    // Rigid links between a node and one a little further along its run
    // (a stiff assembly), and between a node and one of another run.
    if (!rigid_links)
        return m;
    for (int c = 0; c < 60; ++c) {
        const int a = random.between(1, m.nodes - 3);
        if (run_of[static_cast<std::size_t>(a)] == run_of[static_cast<std::size_t>(a + 2)])
            add_link(a, a + 2);
    }
    for (int c = 0; c < 20; ++c) add_link(random.between(1, m.nodes), random.between(1, m.nodes));
    return m;
}

inline void element_equations(int a, int b, int (&eq)[13])
{
    eq[0] = 0;
    for (int d = 1; d <= 6; ++d) {
        eq[d] = 6 * a - 6 + d;
        eq[d + 6] = 6 * b - 6 + d;
    }
}

inline void assemble(const Model& m, EquationStore& store)
{
    store.clear_values();
    int eq[13];
    for (const Element& e : m.elements) {
        element_equations(e.a, e.b, eq);
        store.add_element(eq, e.k);
    }
    for (auto [node, d] : m.rigid) {
        const int e = 6 * node - 6 + d;
        store.add(e, e, RIGID);
    }
}

// The lower triangle of the same matrix (all that SimplicialLDLT reads),
// without its exact zeros, or (keep_zeros) with every term of the node
// blocks the store keeps.
inline Eigen::SparseMatrix<double> eigen_matrix(const Model& m, bool keep_zeros = false)
{
    std::vector<Eigen::Triplet<double>> terms;
    for (const Element& e : m.elements) {
        const int base[2] = {6 * e.a - 6, 6 * e.b - 6};
        for (int i = 1; i <= 12; ++i)
            for (int j = 1; j <= 12; ++j) {
                const int r = base[(i - 1) / 6] + (i - 1) % 6;
                const int c = base[(j - 1) / 6] + (j - 1) % 6;
                if (r >= c && (keep_zeros || e.k[i][j] != 0)) terms.emplace_back(r, c, e.k[i][j]);
            }
    }
    for (auto [node, d] : m.rigid) terms.emplace_back(6 * node - 7 + d, 6 * node - 7 + d, RIGID);
    Eigen::SparseMatrix<double> k(6 * m.nodes, 6 * m.nodes);
    k.setFromTriplets(terms.begin(), terms.end());
    return k;
}

}  // namespace bench_piping
