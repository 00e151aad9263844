// A small frame solver for the whole-model tests: members of steel tubes
// (straights and circular bends, whole or split at inner nodes, and legs
// that branch off), rotational joints between nodes at one place, anchors
// as springs on every freedom, and
// supports as springs along a direction, each closed at a limit, under a
// thermal strain, a weight per length and nodal loads. The answers of the
// nonlinear models are the linear solutions of their settled states.
#pragma once

#include "exchange/data/batch_solve_fixture.h"

#include <algorithm>
#include <optional>

namespace batch_test {

inline Vec operator+(const Vec& a, const Vec& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
inline Vec operator-(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline Vec operator*(double s, const Vec& a) { return {s * a[0], s * a[1], s * a[2]}; }
inline double norm(const Vec& a) { return std::sqrt(dot(a, a)); }
inline Vec unit(const Vec& a) { return (1 / norm(a)) * a; }

using Six = std::array<double, 6>;

// A member of the frame between the nodes of indices i1 and i2: a straight
// from a to b, or a circular arc of radius r about the centre c, leaving a
// along the unit tangent v (u points from c to a) and turning through theta.
struct Member {
    std::size_t i1 = 0, i2 = 0;
    Vec a{}, b{};
    double r = 0, theta = 0, k = 1;   // k: flexibility factor in bending
    Vec c{}, u{}, v{};
    Tube tube{};
    double weight = 1;                // multiplies the weight per length of the solve

    double length() const { return r > 0 ? r * theta : norm(b - a); }
    // The point at the arc length s from a, and the unit tangent there.
    void point(double s, Vec& p, Vec& t) const
    {
        if (r == 0) {
            t = unit(b - a);
            p = a + s * t;
            return;
        }
        const double phi = s / r;
        p = c + r * (std::cos(phi) * u + std::sin(phi) * v);
        t = -std::sin(phi) * u + std::cos(phi) * v;
    }
    // The integral of the point over the arc length from s to the end: the
    // moment of a uniform load carried beyond s is (this - (l - s) p) x w.
    Vec first_moment(double s) const
    {
        const double l = length();
        if (r == 0)
            return (l - s) * a + (0.5 * (l * l - s * s)) * unit(b - a);
        const double phi = s / r;
        return r * ((theta - phi) * c +
                    r * ((std::sin(theta) - std::sin(phi)) * u + (std::cos(phi) - std::cos(theta)) * v));
    }
};

// The force and moment carried through a cross-section.
struct Section {
    Vec f{}, m{};
};

// The frame: members of steel tubes (one for the route, others on legs that
// name theirs); anchors are springs kt and kr on each freedom of their
// node. A member's stiffness comes from its flexibility by the unit-load
// method (Castigliano): with node 1 held, node 2 moves under loads by the
// integral along the member of
//   N1 N2 / EA + alpha (F1.F2 - N1 N2) / GA + T1 T2 / GJ + k (M1.M2 - T1 T2) / EI
// (N and T the components of force and moment along the tangent, alpha the
// tube's shear coefficient, J = 2I, k = 1 on a straight, where this is the
// Timoshenko beam and the integrand at most cubic, exact for Simpson's rule).
// Node 2's stiffness is the inverse of that 6x6 flexibility C; node 1 takes
// what equilibrium sends back through the chord d = b - a (force -F, moment
// -M - d x F: the matrix H), so that K = G C^-1 G^T with G = [H; I]. A load
// along the member becomes end loads the same way: with node 1 held, node 2
// moves freely by delta (the chord's free thermal growth, and the unit-load
// integral under the weight carried beyond each section); G C^-1 delta, plus
// at node 1 the weight's resultant and its moment about a, are the end loads
// that give the exact displacements at the nodes.
class Frame {
public:
    // A point of the route: its node, position and the radius of the bend
    // whose tangents meet there (0: none, and always 0 at the ends). A bend
    // takes the factor k in bending (0: B31.3's 1.65 / h) and may be split
    // at nodes standing at angles (radian) from its near tangent point. The
    // straight leg that ends here may be of a tube of its own, and its
    // weight per length a multiple of the solve's.
    struct Corner {
        int node;
        Vec p;
        double radius = 0;
        double k = 0;
        std::vector<std::pair<int, double>> inner = {};
        std::optional<Tube> leg = std::nullopt;
        double leg_weight = 1;
    };
    // A support closed at its limit: a spring k along the unit direction d
    // from the node to the ground that pushes the pipe by k (limit - u.d)
    // along d (a rigid stop of stiffness k at the limit, or a stop holding
    // both ways at 0).
    struct Support {
        int node;
        Vec d;
        double k;
        double limit = 0;
    };
    struct Solution {
        std::map<int, Six> u;           // displacements by node
        std::map<int, Six> anchor;      // force and moment on the pipe at each anchor
        std::vector<double> support;    // force along d on the pipe at each support
    };

    // The route's legs, with a bend at each corner of a radius; a bend's
    // tangent points are the nodes NEAR_TANGENT_OFFSET and FAR_TANGENT_OFFSET
    // above the corner's, and where one falls on the end of the route it is
    // that node. Anchors: the ends of the route unless given.
    Frame(const Tube& tube, const std::vector<Corner>& route, double kt, double kr, std::vector<int> anchors = {})
        : kt_(kt), kr_(kr), anchors_(std::move(anchors))
    {
        if (anchors_.empty())
            anchors_ = {route.front().node, route.back().node};
        add_node(route.front().node, route.front().p);
        for (std::size_t i = 1; i + 1 < route.size(); ++i) {
            const Corner& at = route[i];
            const Tube& leg = at.leg ? *at.leg : tube;
            if (at.radius == 0) {
                add_straight(at.node, at.p, leg, at.leg_weight);
                continue;
            }
            // The tangent points lie R tan(theta / 2) from the corner, the
            // centre R from the near one towards the outgoing leg.
            const Vec d1 = unit(at.p - route[i - 1].p), d2 = unit(route[i + 1].p - at.p);
            Member m;
            m.tube = tube;
            m.r = at.radius;
            const double theta = std::acos(std::clamp(dot(d1, d2), -1.0, 1.0));
            const double tangent = m.r * std::tan(theta / 2);
            add_straight(at.node + NEAR_TANGENT_OFFSET, at.p - tangent * d1, leg, at.leg_weight);
            const Vec u = -1 * unit(d2 - dot(d1, d2) * d1);
            m.c = xyz_.back() - m.r * u;
            // B31.3 flexibility characteristic h = t R / rm^2, factor 1.65 / h.
            const double rm = (tube.od - tube.t) / 2;
            m.k = at.k > 0 ? at.k : 1.65 * rm * rm / (tube.t * m.r);
            // The arc from the near tangent point through the inner nodes to
            // the far one, each piece about the same centre.
            std::vector<std::pair<int, double>> ends = at.inner;
            std::sort(ends.begin(), ends.end(), [](const auto& x, const auto& y) { return x.second < y.second; });
            ends.emplace_back(at.node + FAR_TANGENT_OFFSET, theta);
            double from = 0;
            for (const auto& [node, to] : ends) {
                m.i1 = nodes_.size() - 1;
                m.a = xyz_.back();
                m.u = std::cos(from) * u + std::sin(from) * d1;
                m.v = -std::sin(from) * u + std::cos(from) * d1;
                m.theta = to - from;
                add_node(node, m.c + m.r * (std::cos(to) * u + std::sin(to) * d1));
                m.i2 = nodes_.size() - 1;
                m.b = xyz_.back();
                members_.push_back(m);
                from = to;
            }
        }
        const Corner& end = route.back();
        add_straight(end.node, end.p, end.leg ? *end.leg : tube, end.leg_weight);
    }

    const std::vector<int>& nodes() const { return nodes_; }

    // A branch of the frame: a straight of `tube` from the node `from` to a
    // new node at p (a point of its own when `from` is 0), or to the node
    // where the frame has it already (a loop's last leg; p is not used).
    void add_leg(int from, int node, const Vec& p, const Tube& tube, double weight = 1)
    {
        const bool closing = std::find(nodes_.begin(), nodes_.end(), node) != nodes_.end();
        if (from == 0) {
            if (!closing)
                add_node(node, p);
            return;
        }
        Member m;
        m.tube = tube;
        m.weight = weight;
        m.i1 = index(from);
        m.a = xyz_[m.i1];
        if (!closing)
            add_node(node, p);
        m.i2 = index(node);
        m.b = xyz_[m.i2];
        members_.push_back(m);
    }
    // A joint between two nodes at one place: rigid in translation (kt) and
    // a rotational spring of flexibility f[i] about each of three orthogonal
    // unit axes.
    void add_joint(int a, int b, const std::array<Vec, 3>& axes, const std::array<double, 3>& f)
    {
        joints_.push_back({a, b, axes, f});
    }
    Vec position(int node) const { return xyz_[index(node)]; }

    // The frame under a thermal strain of every chord, a weight per length
    // (a vector) and forces and moments at nodes, held by its anchors and
    // the supports.
    Solution solve(double strain, const Vec& weight, const std::map<int, Six>& loads = {},
                   const std::vector<Support>& supports = {}) const
    {
        const std::size_t n = 6 * nodes_.size();
        Dense k(n, std::vector<double>(n, 0.0));
        std::vector<double> p(n, 0.0);
        for (const Member& m : members_)
            add_member(m, strain, weight, k, p);
        for (const auto& [node, load] : loads)
            for (std::size_t d = 0; d < 6; ++d)
                p[6 * index(node) + d] += load[d];
        for (const int a : anchors_)
            for (std::size_t d = 0; d < 6; ++d)
                k[6 * index(a) + d][6 * index(a) + d] += d < 3 ? kt_ : kr_;
        for (const Joint& j : joints_) {
            const std::size_t a = 6 * index(j.a), b = 6 * index(j.b);
            double spring[6][6] = {};
            for (std::size_t d = 0; d < 3; ++d)
                spring[d][d] = kt_;
            for (std::size_t m = 0; m < 3; ++m)
                for (std::size_t p = 0; p < 3; ++p)
                    for (std::size_t q = 0; q < 3; ++q)
                        spring[3 + p][3 + q] += j.axes[m][p] * j.axes[m][q] / j.f[m];
            for (std::size_t p = 0; p < 6; ++p)
                for (std::size_t q = 0; q < 6; ++q) {
                    k[a + p][a + q] += spring[p][q];
                    k[b + p][b + q] += spring[p][q];
                    k[a + p][b + q] -= spring[p][q];
                    k[b + p][a + q] -= spring[p][q];
                }
        }
        for (const Support& s : supports)
            for (std::size_t i = 0; i < 3; ++i) {
                p[6 * index(s.node) + i] += s.k * s.limit * s.d[i];
                for (std::size_t j = 0; j < 3; ++j)
                    k[6 * index(s.node) + i][6 * index(s.node) + j] += s.k * s.d[i] * s.d[j];
            }
        const std::vector<double> x = solve_dense(k, p);
        Solution s;
        for (std::size_t i = 0; i < nodes_.size(); ++i)
            for (std::size_t d = 0; d < 6; ++d)
                s.u[nodes_[i]][d] = x[6 * i + d];
        for (const int a : anchors_)
            for (std::size_t d = 0; d < 6; ++d)
                s.anchor[a][d] = -(d < 3 ? kt_ : kr_) * x[6 * index(a) + d];
        for (const Support& r : supports) {
            const std::size_t at = 6 * index(r.node);
            s.support.push_back(r.k * (r.limit - dot(Vec{x[at], x[at + 1], x[at + 2]}, r.d)));
        }
        return s;
    }

private:
    std::size_t index(int node) const
    {
        const auto at = std::find(nodes_.begin(), nodes_.end(), node);
        EXPECT_NE(at, nodes_.end()) << "no node " << node << " in the frame";
        return at == nodes_.end() ? 0 : static_cast<std::size_t>(at - nodes_.begin());
    }
    void add_node(int node, const Vec& p)
    {
        nodes_.push_back(node);
        xyz_.push_back(p);
    }
    // A straight from the last node to a new one; none where the two
    // coincide, the node then keeping the lower number (the route's own).
    void add_straight(int node, const Vec& p, const Tube& tube, double weight)
    {
        if (norm(p - xyz_.back()) < 1e-9 * (1 + norm(p))) {
            nodes_.back() = std::min(node, nodes_.back());
            return;
        }
        Member m;
        m.tube = tube;
        m.weight = weight;
        m.i1 = nodes_.size() - 1;
        m.a = xyz_.back();
        add_node(node, p);
        m.i2 = nodes_.size() - 1;
        m.b = p;
        members_.push_back(m);
    }

    // The complementary energy density of two load states at a section with
    // tangent t, per length.
    static double energy(const Section& s1, const Section& s2, const Vec& t, const Member& m)
    {
        const Tube& tube = m.tube;
        const double k = m.k;
        const double ea = tube.e * tube.area, gas = tube.g * tube.area / tube.shear;
        const double gj = tube.g * 2 * tube.inertia, ei = tube.e * tube.inertia;
        const double n1 = dot(s1.f, t), n2 = dot(s2.f, t), t1 = dot(s1.m, t), t2 = dot(s2.m, t);
        return n1 * n2 / ea + (dot(s1.f, s2.f) - n1 * n2) / gas + t1 * t2 / gj +
               k * (dot(s1.m, s2.m) - t1 * t2) / ei;
    }
    // What a unit force (i < 3) or moment (i >= 3) along a global axis at
    // node 2 carries through the section at p.
    static Section unit_load(const Member& m, std::size_t i, const Vec& p)
    {
        Section s;
        (i < 3 ? s.f : s.m)[i % 3] = 1;
        s.m = s.m + cross(m.b - p, s.f);
        return s;
    }

    void add_member(const Member& m, double strain, const Vec& solve_weight, Dense& k, std::vector<double>& p) const
    {
        const double l = m.length();
        const Vec weight = m.weight * solve_weight;
        // Flexibility of node 2, and its free movement.
        Dense c(6, std::vector<double>(6, 0.0));
        std::vector<double> delta(6, 0.0);
        for (std::size_t i = 0; i < 6; ++i) {
            for (std::size_t j = i; j < 6; ++j)
                c[i][j] = c[j][i] = simpson(
                    [&](double s) {
                        Vec pt, t;
                        m.point(s, pt, t);
                        return energy(unit_load(m, i, pt), unit_load(m, j, pt), t, m);
                    },
                    0, l);
            delta[i] = simpson(
                [&](double s) {
                    Vec pt, t;
                    m.point(s, pt, t);
                    const Section carried{(l - s) * weight, cross(m.first_moment(s) - (l - s) * pt, weight)};
                    return energy(unit_load(m, i, pt), carried, t, m);
                },
                0, l);
        }
        for (std::size_t i = 0; i < 3; ++i)
            delta[i] += strain * (m.b[i] - m.a[i]);

        // G (12 x 6): node 1's rows H, node 2's the identity; then G C^-1.
        Dense g(12, std::vector<double>(6, 0.0));
        for (std::size_t j = 0; j < 6; ++j) {
            g[j][j] = -1;
            g[6 + j][j] = 1;
        }
        for (std::size_t j = 0; j < 3; ++j) {
            Vec e{};
            e[j] = 1;
            const Vec moment = cross(m.b - m.a, e);
            for (std::size_t i = 0; i < 3; ++i)
                g[3 + i][j] = -moment[i];
        }
        Dense gk(12, std::vector<double>(6, 0.0));
        for (std::size_t j = 0; j < 6; ++j) {
            std::vector<double> e(6, 0.0);
            e[j] = 1;
            const std::vector<double> column = solve_dense(c, e);
            for (std::size_t i = 0; i < 12; ++i)
                for (std::size_t q = 0; q < 6; ++q)
                    gk[i][j] += g[i][q] * column[q];
        }
        const Vec total = l * weight, moment = cross(m.first_moment(0) - l * m.a, weight);
        const std::size_t at[2] = {6 * m.i1, 6 * m.i2};
        for (std::size_t i = 0; i < 12; ++i) {
            const std::size_t row = at[i / 6] + i % 6;
            for (std::size_t j = 0; j < 12; ++j)
                for (std::size_t q = 0; q < 6; ++q)
                    k[row][at[j / 6] + j % 6] += gk[i][q] * g[j][q];
            for (std::size_t q = 0; q < 6; ++q)
                p[row] += gk[i][q] * delta[q];
            if (i < 3)
                p[row] += total[i];
            else if (i < 6)
                p[row] += moment[i - 3];
        }
    }

    double kt_, kr_;
    struct Joint {
        int a, b;
        std::array<Vec, 3> axes;
        std::array<double, 3> f;
    };
    std::vector<int> anchors_;
    std::vector<Joint> joints_;
    std::vector<int> nodes_;
    std::vector<Vec> xyz_;
    std::vector<Member> members_;
};

// The agreement asked of the runs: 1e-5 of the largest value of a kind
// (translation, rotation, force, moment) in the case. The frame and the
// program differ in the float coordinates and properties the model keeps
// (near 1e-7) and in the quadrature (near 1e-12).
inline constexpr double AGREE = 1e-5;

// Whole models whose cases are checked against the frame.
class FrameSolveTest : public BatchSolveTest {
protected:
    // The nodes of the frame stand where the model build put them; `length`
    // turns inch into the frame's unit.
    static void expect_nodes_where_the_frame_has_them(const Frame& frame, double length)
    {
        double extent = 0;
        for (const int node : frame.nodes())
            extent = std::max(extent, norm(frame.position(node)));
        for (const int node : frame.nodes()) {
            const int index = node_index(node);
            ASSERT_NE(index, 0) << node_text(node);
            const Vec3 p = node_position(model(), index);
            const Vec got{p.x * length, p.y * length, p.z * length};
            EXPECT_LE(norm(got - frame.position(node)), 1e-6 * extent) << "node " << node_text(node);
        }
    }
    // Every node's six displacements and every anchor's six loads of a case
    // against the frame's; `length` and `force` turn inch and pound into the
    // frame's units.
    void expect_case(int code, const Frame& frame, const Frame::Solution& s, double length, double force,
                     const std::string& what)
    {
        const CaseResults& c = result(code);
        double scale[4] = {};   // translation, rotation, force, moment
        for (const auto& [node, u] : s.u)
            for (std::size_t d = 0; d < 6; ++d)
                scale[d / 3] = std::max(scale[d / 3], std::fabs(u[d]));
        for (const auto& [node, r] : s.anchor)
            for (std::size_t d = 0; d < 6; ++d)
                scale[2 + d / 3] = std::max(scale[2 + d / 3], std::fabs(r[d]));
        const char* names[6] = {"X", "Y", "Z", "RX", "RY", "RZ"};
        for (const int node : frame.nodes()) {
            const std::array<double, 6> u = at(c, node);
            for (std::size_t d = 0; d < 6; ++d)
                expect_relative(u[d] * (d < 3 ? length : 1.0), s.u.at(node)[d], 0.0,
                                what + ": node " + node_text(node) + " D" + names[d], AGREE * scale[d / 3]);
        }
        for (const auto& [node, r] : s.anchor) {
            const std::vector<double> got = support(c, node);
            ASSERT_EQ(got.size(), 6u);
            for (std::size_t d = 0; d < 6; ++d)
                expect_relative(got[d] * force * (d < 3 ? 1.0 : length), r[d], 0.0,
                                what + ": anchor " + node_text(node) + (d < 3 ? " F" : " M") + names[d % 3],
                                AGREE * scale[2 + d / 3]);
        }
    }
};

}  // namespace batch_test
