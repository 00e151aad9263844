// Lines that turn in space, written as batch files and solved, against a
// small frame solver written here: every displacement of every node and the
// anchors' loads, hot (Expansion) and under weight (Sustained). Bends that
// turn up and down, bends in a vertical plane, a bend in no global plane and
// a loop whose bends turn both ways are where the local axes of the elements
// and the signs of their moments show. Last, a span on two restraints under
// its weight and a concentrated weight, by hand.
#include "exchange/data/batch_solve_fixture.h"

using namespace batch_test;

namespace {

Vec operator+(const Vec& a, const Vec& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
Vec operator-(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec operator*(double s, const Vec& a) { return {s * a[0], s * a[1], s * a[2]}; }
double norm(const Vec& a) { return std::sqrt(dot(a, a)); }
Vec unit(const Vec& a) { return (1 / norm(a)) * a; }

using Six = std::array<double, 6>;

// A member of the frame between the nodes of indices i1 and i2: a straight
// from a to b, or a circular arc of radius r about the centre c, leaving a
// along the unit tangent v (u points from c to a) and turning through theta.
struct Member {
    std::size_t i1 = 0, i2 = 0;
    Vec a{}, b{};
    double r = 0, theta = 0, k = 1;   // k: flexibility factor in bending
    Vec c{}, u{}, v{};

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

// The frame: members of one steel tube; anchors are springs kt and kr on
// each freedom of their node. A member's stiffness comes from its
// flexibility by the unit-load method (Castigliano): with node 1 held, node
// 2 moves under loads by the integral along the member of
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
    // whose tangents meet there (0: none, and always 0 at the ends).
    struct Corner {
        int node;
        Vec p;
        double radius = 0;
    };
    struct Solution {
        std::map<int, Six> u;        // displacements by node
        std::map<int, Six> anchor;   // force and moment on the pipe at each anchor
    };

    // The route's legs, with a bend at each corner of a radius; a bend's
    // tangent points are the nodes NEAR_TANGENT_OFFSET and FAR_TANGENT_OFFSET
    // above the corner's, and where one falls on the end of the route it is
    // that node. Anchors: the ends of the route unless given.
    Frame(const Tube& tube, const std::vector<Corner>& route, double kt, double kr, std::vector<int> anchors = {})
        : tube_(tube), kt_(kt), kr_(kr), anchors_(std::move(anchors))
    {
        if (anchors_.empty())
            anchors_ = {route.front().node, route.back().node};
        add_node(route.front().node, route.front().p);
        for (std::size_t i = 1; i + 1 < route.size(); ++i) {
            const Corner& at = route[i];
            if (at.radius == 0) {
                add_straight(at.node, at.p);
                continue;
            }
            // The tangent points lie R tan(theta / 2) from the corner, the
            // centre R from the near one towards the outgoing leg.
            const Vec d1 = unit(at.p - route[i - 1].p), d2 = unit(route[i + 1].p - at.p);
            Member m;
            m.r = at.radius;
            m.theta = std::acos(std::clamp(dot(d1, d2), -1.0, 1.0));
            const double tangent = m.r * std::tan(m.theta / 2);
            add_straight(at.node + NEAR_TANGENT_OFFSET, at.p - tangent * d1);
            m.i1 = nodes_.size() - 1;
            m.a = xyz_.back();
            m.v = d1;
            m.u = -1 * unit(d2 - dot(d1, d2) * d1);
            m.c = m.a - m.r * m.u;
            add_node(at.node + FAR_TANGENT_OFFSET, at.p + tangent * d2);
            m.i2 = nodes_.size() - 1;
            m.b = xyz_.back();
            // B31.3 flexibility characteristic h = t R / rm^2, factor 1.65 / h.
            const double rm = (tube.od - tube.t) / 2;
            m.k = 1.65 * rm * rm / (tube.t * m.r);
            members_.push_back(m);
        }
        add_straight(route.back().node, route.back().p);
    }

    const std::vector<int>& nodes() const { return nodes_; }
    Vec position(int node) const { return xyz_[index(node)]; }

    // The frame under a thermal strain of every chord, a weight per length
    // (a vector) and forces and moments at nodes.
    Solution solve(double strain, const Vec& weight, const std::map<int, Six>& loads = {}) const
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
        const std::vector<double> x = solve_dense(k, p);
        Solution s;
        for (std::size_t i = 0; i < nodes_.size(); ++i)
            for (std::size_t d = 0; d < 6; ++d)
                s.u[nodes_[i]][d] = x[6 * i + d];
        for (const int a : anchors_)
            for (std::size_t d = 0; d < 6; ++d)
                s.anchor[a][d] = -(d < 3 ? kt_ : kr_) * x[6 * index(a) + d];
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
    void add_straight(int node, const Vec& p)
    {
        if (norm(p - xyz_.back()) < 1e-9 * (1 + norm(p))) {
            nodes_.back() = std::min(node, nodes_.back());
            return;
        }
        Member m;
        m.i1 = nodes_.size() - 1;
        m.a = xyz_.back();
        add_node(node, p);
        m.i2 = nodes_.size() - 1;
        m.b = p;
        members_.push_back(m);
    }

    // The complementary energy density of two load states at a section with
    // tangent t, per length.
    double energy(const Section& s1, const Section& s2, const Vec& t, double k) const
    {
        const double ea = tube_.e * tube_.area, gas = tube_.g * tube_.area / tube_.shear;
        const double gj = tube_.g * 2 * tube_.inertia, ei = tube_.e * tube_.inertia;
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

    void add_member(const Member& m, double strain, const Vec& weight, Dense& k, std::vector<double>& p) const
    {
        const double l = m.length();
        // Flexibility of node 2, and its free movement.
        Dense c(6, std::vector<double>(6, 0.0));
        std::vector<double> delta(6, 0.0);
        for (std::size_t i = 0; i < 6; ++i) {
            for (std::size_t j = i; j < 6; ++j)
                c[i][j] = c[j][i] = simpson(
                    [&](double s) {
                        Vec pt, t;
                        m.point(s, pt, t);
                        return energy(unit_load(m, i, pt), unit_load(m, j, pt), t, m.k);
                    },
                    0, l);
            delta[i] = simpson(
                [&](double s) {
                    Vec pt, t;
                    m.point(s, pt, t);
                    const Section carried{(l - s) * weight, cross(m.first_moment(s) - (l - s) * pt, weight)};
                    return energy(unit_load(m, i, pt), carried, t, m.k);
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

    Tube tube_;
    double kt_, kr_;
    std::vector<int> anchors_;
    std::vector<int> nodes_;
    std::vector<Vec> xyz_;
    std::vector<Member> members_;
};

}  // namespace

TEST(SpaceFrameSolver, CantileversAgreeWithCastigliano)
{
    // The solver itself, where closed forms exist. 6 in STD steel; anchor
    // springs kt, kr small enough to show.
    const Tube p{6.625, 0.28, 27.9e6, 0.3};
    const double kt = 1e9, kr = 1e11, force = 1000, q = 20, pi = std::numbers::pi;
    const double ei = p.e * p.inertia, gj = p.g * 2 * p.inertia, gas = p.g * p.area / p.shear, ea = p.e * p.area;

    // A straight cantilever of 120 in along X: tip under a force along Z and
    // under a weight along -Y (Tube: Timoshenko with the anchor's springs).
    const Frame straight(p, {{10, {0, 0, 0}}, {20, {120, 0, 0}}}, kt, kr, {10});
    expect_relative(straight.solve(0, {0, 0, 0}, {{20, {0, 0, force, 0, 0, 0}}}).u[20][2],
                    force * p.tip_flexibility(120, kt, kr), 1e-10, "straight, tip force");
    expect_relative(straight.solve(0, {0, -q, 0}).u[20][1], -p.tip_under_uniform(120, q, kt, kr), 1e-10,
                    "straight, weight");

    // A quarter circle of radius R about the origin in the XY plane, clamped
    // at (R, 0, 0), free at (0, R, 0). At the angle phi from the clamp, with
    // beta = pi/2 - phi, a tip force P carries
    //   along Z: torsion P R (1 - sin phi), bending P R cos phi, shear P;
    //   along X: bending P R (1 - sin phi), axial -P sin phi, shear P cos phi;
    // and a weight q along -Z: torsion q R^2 (cos phi - beta), bending
    // q R^2 (sin phi - 1), shear -q R beta. Castigliano with the quarter
    // circle's integrals (cos^2, sin^2: pi/4; (1 - sin)^2: 3 pi/4 - 2;
    // cos (sin - 1): -1/2; (1 - sin)(cos - beta): pi/2 - pi^2/8 - 1/2;
    // beta: pi^2/8), and the clamp's springs under its force and its moment
    // (P R (1, 1, 0), -P R about Z, q R^2 (-1, 1 - pi/2, 0)) turned through
    // the chord R (-1, 1, 0).
    const double r = 30, rm = (p.od - p.t) / 2, k = 1.65 * rm * rm / (p.t * r);
    const Frame arc(p, {{10, {r, 0, 0}}, {20, {r, r, 0}, r}, {30, {0, r, 0}}}, kt, kr, {10});
    ASSERT_EQ(arc.nodes(), (std::vector<int>{10, 30}));
    const double out_of_plane = force * r * r * r * (k * pi / (4 * ei) + (3 * pi / 4 - 2) / gj) +
                                force * r * pi / (2 * gas) + force / kt + 2 * force * r * r / kr;
    const double in_plane = force * r * (r * r * k * (3 * pi / 4 - 2) / ei + pi / (4 * ea) + pi / (4 * gas)) +
                            force / kt + force * r * r / kr;
    const double sag = q * std::pow(r, 4) * (-k / (2 * ei) + (pi / 2 - pi * pi / 8 - 0.5) / gj) -
                       q * r * r * pi * pi / (8 * gas) - q * r * pi / (2 * kt) - pi * q * r * r * r / (2 * kr);
    expect_relative(arc.solve(0, {0, 0, 0}, {{30, {0, 0, force, 0, 0, 0}}}).u[30][2], out_of_plane, 1e-10,
                    "arc, force out of its plane");
    expect_relative(arc.solve(0, {0, 0, 0}, {{30, {force, 0, 0, 0, 0, 0}}}).u[30][0], in_plane, 1e-10,
                    "arc, force in its plane");
    expect_relative(arc.solve(0, {0, 0, -q}).u[30][2], sag, 1e-10, "arc, weight");

    // Heated, the free end moves by the strain times its distance from the
    // clamp and turns not at all.
    const Frame::Solution hot = arc.solve(1e-3, {0, 0, 0});
    for (std::size_t d = 0; d < 6; ++d)
        EXPECT_NEAR(hot.u.at(30)[d], d == 0 ? -1e-3 * r : d == 1 ? 1e-3 * r : 0.0, 1e-12) << d;
}

namespace {

// The agreement asked of the runs: 1e-5 of the largest value of a kind
// (translation, rotation, force, moment) in the case. The frame and the
// program differ in the float coordinates and properties the model keeps
// (near 1e-7) and in the quadrature (near 1e-12).
constexpr double AGREE = 1e-5;

class BatchSpaceFrameTest : public BatchSolveTest {
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

}  // namespace

TEST_F(BatchSpaceFrameTest, ZLineTurningUpAndAcrossBetweenAnchors)
{
    // 8 in STD (8.625 x 0.322 in), long-radius elbows R = 12 in. Anchor 10 at
    // the origin, 144 in along X to the corner 20, where a bend in the XY
    // plane turns the line up; 120 in up +Y to the corner 30, where a bend in
    // the YZ plane turns it along +Z; 144 in to anchor 40. Heated from 70 to
    // 350 degF (Expansion), and under its weight cold (Sustained).
    run("Z line in space\n" + ENGLISH_HEAD +
        "P8,8.625,0.322\n"
        "LOADS\n"
        "L1,350,0\n"
        "LAYOUT\n"
        "F10,MA106B,PP8,KA,CL=L1\n"
        "T20,X144,KI,B12\n"
        "T30,Y120,KI,B12\n"
        "T40,Z144,KA\n");
    if (HasFatalFailure())
        return;

    const Tube p{8.625, 0.322, 27.9e6, 0.3};
    const Frame frame(p, {{10, {0, 0, 0}}, {20, {144, 0, 0}, 12}, {30, {144, 120, 0}, 12}, {40, {144, 120, 144}}},
                      RIGID, RIGID);
    ASSERT_EQ(frame.nodes().size(), 6u);
    expect_nodes_where_the_frame_has_them(frame, 1.0);
    expect_case(LC_EXPANSION_T1, frame, frame.solve(alpha_english(350) * (350 - 70), {0, 0, 0}), 1, 1, "hot");
    expect_case(LC_SUSTAINED, frame, frame.solve(0, {0, -0.283 * p.area, 0}), 1, 1, "weight");
}

TEST_F(BatchSpaceFrameTest, ExpansionLoopInAHorizontalPlaneInSIUnits)
{
    // 8 in STD (219.1 x 8.18 mm), elbows of R = 305 mm. From anchor 10, 6 m
    // along X; the loop turns to +Z at 20, runs 3 m out, turns back along +X
    // at 30 (node 35 half way along its 2.5 m top) and along -Z at 40, comes
    // back 3 m and turns along +X at 50; 6 m on to anchor 60. Its bends turn
    // left and right in the XZ plane. At 200 degC from 20 degC, and under its
    // weight, which bends them out of their plane.
    run("Expansion loop\n" + SI_HEAD +
        "LOADS\n"
        "L1,200,0\n"
        "LAYOUT\n"
        "F10,MCS,PP8,KA,CL=L1,AMB=20\n"
        "T20,X6000,KI,B305\n"
        "T30,Z3000,KI,B305\n"
        "T35,X1250\n"
        "T40,X1250,KI,B305\n"
        "T50,Z-3000,KI,B305\n"
        "T60,X6000,KA\n");
    if (HasFatalFailure())
        return;

    // The frame in N and mm.
    const Tube p{219.1, 8.18, 200000, 0.29};
    const Frame frame(p,
                      {{10, {0, 0, 0}},
                       {20, {6000, 0, 0}, 305},
                       {30, {6000, 0, 3000}, 305},
                       {35, {7250, 0, 3000}},
                       {40, {8500, 0, 3000}, 305},
                       {50, {8500, 0, 0}, 305},
                       {60, {14500, 0, 0}}},
                      KT_SI, KR_SI);
    ASSERT_EQ(frame.nodes().size(), 11u);
    expect_nodes_where_the_frame_has_them(frame, MM);
    expect_case(LC_EXPANSION_T1, frame, frame.solve(alpha_si(200) * (200 - 20), {0, 0, 0}), MM, NEWTON, "hot");
    expect_case(LC_SUSTAINED, frame, frame.solve(0, {0, -weight_si(p), 0}), MM, NEWTON, "weight");
}

TEST_F(BatchSpaceFrameTest, BendsInNoGlobalPlane)
{
    // 6 in STD (6.625 x 0.28 in), R = 9 in. From anchor 10 a leg along
    // (1, 1, 0) to the corner 20, where a bend in the vertical plane through
    // that leg turns the line up +Z; at the corner 30, 120 in higher, a bend
    // of 54.7 degrees turns it along (1, -1, 1) to anchor 40. At 350 degF from
    // 70 degF, and under its weight.
    run("Skew bends\n" + ENGLISH_HEAD +
        "P6,6.625,0.28\n"
        "LOADS\n"
        "L1,350,0\n"
        "LAYOUT\n"
        "F10,MA106B,PP6,KA,CL=L1\n"
        "T20,X96,Y96,KI,B9\n"
        "T30,Z120,KI,B9\n"
        "T40,X60,Y-60,Z60,KA\n");
    if (HasFatalFailure())
        return;

    const Tube p{6.625, 0.28, 27.9e6, 0.3};
    const Frame frame(p, {{10, {0, 0, 0}}, {20, {96, 96, 0}, 9}, {30, {96, 96, 120}, 9}, {40, {156, 36, 180}}},
                      RIGID, RIGID);
    ASSERT_EQ(frame.nodes().size(), 6u);
    expect_nodes_where_the_frame_has_them(frame, 1.0);
    expect_case(LC_EXPANSION_T1, frame, frame.solve(alpha_english(350) * (350 - 70), {0, 0, 0}), 1, 1, "hot");
    expect_case(LC_SUSTAINED, frame, frame.solve(0, {0, -0.283 * p.area, 0}), 1, 1, "weight");
}

TEST_F(BatchSpaceFrameTest, SpanOnTwoRestraintsCarryingAConcentratedWeight)
{
    // 6 in STD (6.625 x 0.28 in) simply supported over L = 240 in: restrained
    // along X, Y, Z at node 10 and along Y, Z at node 30; a 500 lb weight at
    // node 20, a = 90 in from 10; node 25 at midspan. A rotational restraint
    // about X at node 15 stops the line turning about its own axis, which
    // the weight does not load.
    run("Span\n" + ENGLISH_HEAD +
        "P6,6.625,0.28\n"
        "LAYOUT\n"
        "F10,MA106B,PP6,CF(1,1,1)\n"
        "T15,X45,CKR=RIGID,DV(1,0,0)\n"
        "T20,X45,CCWGT=500\n"
        "T25,X30\n"
        "T30,X120,CF(0,1,1)\n");
    if (HasFatalFailure())
        return;

    // Statics: R1 = q L/2 + P b/L, R2 = q L/2 + P a/L. Midspan (x = L/2,
    // beyond the weight) sags by the sum of
    //   uniform load, bending: 5 q L^4 / 384 EI;
    //   point load, bending: P a (L - x)(L^2 - a^2 - (L - x)^2) / 6 E I L;
    //   shear: alpha M(x) / GA, as v_s' = alpha V / GA and v_s(0) = M(0) = 0;
    //   the restraints' springs of 1.0e12 lb/in: (R1 + R2) / 2k.
    const Tube p{6.625, 0.28, 27.9e6, 0.3};
    const double l = 240, a = 90, b = l - a, x = l / 2, weight = 500, q = 0.283 * p.area;
    const double r1 = q * l / 2 + weight * b / l, r2 = q * l / 2 + weight * a / l;
    const double ei = p.e * p.inertia, moment = r1 * x - q * x * x / 2 - weight * (x - a);
    const double sag = 5 * q * std::pow(l, 4) / (384 * ei) +
                       weight * a * (l - x) * (l * l - a * a - (l - x) * (l - x)) / (6 * ei * l) +
                       p.shear * moment / (p.g * p.area) + (r1 + r2) / (2 * RIGID);

    const CaseResults& c = result(LC_SUSTAINED);
    const std::vector<double> at_10 = support(c, 10), at_30 = support(c, 30);
    ASSERT_EQ(at_10.size(), 3u);
    ASSERT_EQ(at_30.size(), 3u);
    expect_relative(at_10[1], r1, AGREE, "restraint 10 holds up");
    expect_relative(at_30[1], r2, AGREE, "restraint 30 holds up");
    for (std::size_t d : {0u, 2u}) {
        EXPECT_NEAR(at_10[d], 0.0, AGREE * r1) << d;
        EXPECT_NEAR(at_30[d], 0.0, AGREE * r1) << d;
    }
    expect_relative(at(c, 25)[1], -sag, AGREE, "midspan");
}
