// A buried bend takes its soil along its arc: the soil loads of its length
// R theta (not of its chord 2 R sin(theta/2)), on points of the arc, each
// spring along the arc's tangent, across it in the bend's plane or
// vertical there; its arc divided for the soil keeps the flexibility of
// the whole bend. The soil loads per length are those of the American
// Lifelines Alliance, Guidelines for the Design of Buried Steel Pipe (July
// 2001), Appendix B, worked out here.
#include "analysis/buried_piping.h"
#include "analysis/data/buried_fixture.h"
#include "analysis/data/support_fixture.h"
#include "analysis/results_file.h"
#include "materials/soil.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <set>

using namespace analysis_test;

namespace {

constexpr double PI = std::numbers::pi;
constexpr double PCF = 1.0 / 1728.0;   // lb/ft3 in lb/in3
constexpr double MM = 1.0 / 25.4;
constexpr double RADIUS = 12.0;

// ALA (2001) B.1, cohesionless: Tu = pi D H gamma (1 + K0) / 2 tan(delta),
// here with K0 = 1: pi D H gamma tan(30).
double axial_load_per_length(double d, double h)
{
    return PI * d * h * 120 * PCF * std::tan(30 * PI / 180);
}

// ALA (2001) B.2: Pu = Nqh gamma H D, Nqh at 30 degrees = 4.565 + 1.234 x
// - 0.089 x^2 + 4.275e-3 x^3 - 9.159e-5 x^4, x = H / D.
double lateral_load_per_length(double d, double h)
{
    const double x = h / d;
    const double nqh = 4.565 + 1.234 * x - 0.089 * x * x + 4.275e-3 * x * x * x - 9.159e-5 * x * x * x * x;
    return nqh * 120 * PCF * h * d;
}

class BuriedBendArc : public SupportTest {
protected:
    // Node 10 at the origin, a bend row at the corner (100, 0, 0) of radius
    // R turning from +X to the direction of `leg`, a pipe on by `leg` to
    // node 30; the line weightless and buried in `soil`. With `anchored_start`
    // node 10 is anchored and node 30 holds a force item, else node 30 is
    // anchored. Returns the bend row (node 30's row is the next).
    int bend_line(const Soil& soil, const Vec3& leg, bool anchored_start = false)
    {
        soils().push_back(soil);
        pipe_sections()[1].soil = soil.name;
        weightless();
        anchored_start ? anchored_from(10) : from(10);
        const int b = row(20, ET_BEND, 100, 0, 0);
        name(b);
        bend_of(b).radius_kind = RADIUS_USER;
        bend_of(b).radius = static_cast<float>(RADIUS);
        pipe(30, static_cast<float>(leg.x), static_cast<float>(leg.y), static_cast<float>(leg.z),
             anchored_start ? DT_FORCE : DT_ANCHOR);
        return b;
    }
    // The bend turning from +X to +Z, node 30 at (100, 0, 100) anchored.
    int horizontal_bend(const Soil& soil) { return bend_line(soil, {0, 0, 100}); }
    // The elements of `model` that are arcs of row `row`.
    static std::vector<int> arcs_of(const Model& model, int row)
    {
        std::vector<int> out;
        for (int e = 1; e <= model.numelems(); ++e)
            if (model.elems[e].row == row && model.elems[e].kind == ET_BEND)
                out.push_back(e);
        return out;
    }
    // The springs of the arcs of row `row`.
    std::vector<SoilSprings::Spring> arc_springs(const SoilSprings& springs, int row) const
    {
        std::vector<SoilSprings::Spring> out;
        for (const SoilSprings::Spring& s : springs.springs())
            if (snapshot->model.elems[s.element].row == row && snapshot->model.elems[s.element].kind == ET_BEND)
                out.push_back(s);
        return out;
    }
};

}  // namespace

TEST_F(BuriedBendArc, SoilLoadsOfABuriedBendAreThoseOfItsArcLength)
{
    // The 6 in pipe (D = 6.625 in) at H = 46.865 in in the sand: Tu =
    // pi 6.625 46.865 (120/1728) tan 30 = 39.11 lb/in. A 90 degree bend of
    // R = 12 in is pi R / 2 = 18.85 in long: 737 lb along it, where its
    // chord 2 R sin 45 = 16.97 in would hold only 664 lb.
    const double d = steel.od, h = 46.865;
    const double tu = axial_load_per_length(d, h);
    ASSERT_NEAR(tu, 39.11, 0.005);
    const double arc = PI * RADIUS / 2;
    ASSERT_NEAR(tu * arc, 737.2, 0.05);
    ASSERT_NEAR(tu * 2 * RADIUS * std::sin(PI / 4), 663.7, 0.05);
    const double pu = lateral_load_per_length(d, h);
    const int b = horizontal_bend(sand(h));
    make_model();
    snapshot = make_analysis_model();

    // The results file's record of the bend's arc (one element of the
    // model as written) holds the loads and stiffnesses of its arc length:
    // axial reached at 3 mm, lateral at min(0.04 (H + D/2), 0.1 D).
    const std::vector<int> written_arcs = arcs_of(snapshot->written_model(), b);
    ASSERT_EQ(written_arcs.size(), 1u);
    const std::vector<SoilRestraintRecord> records = soil_restraint_records(*snapshot);
    const auto record = std::find_if(records.begin(), records.end(),
                                     [&](const SoilRestraintRecord& r) { return r.element == written_arcs[0]; });
    ASSERT_NE(record, records.end());
    expect_relative(record->axial_load, tu * arc, "axial load of the arc", 1e-5);
    expect_relative(record->axial_stiffness, tu / (3 * MM) * arc, "axial stiffness of the arc", 1e-5);
    expect_relative(record->transverse_load, pu * arc, "lateral load of the arc", 1e-5);
    expect_relative(record->transverse_stiffness, pu / std::min(0.04 * (h + d / 2), 0.1 * d) * arc,
                    "lateral stiffness of the arc", 1e-5);
    // The model as written keeps its bend's arc whole.
    const BendAxes whole = bend_arc(snapshot->written_model(), written_arcs[0]);
    expect_relative(whole.radius, RADIUS, "radius of the written arc", 1e-6);
    expect_relative(whole.theta, PI / 2, "angle of the written arc", 1e-6);

    // The springs of the arc carry the same: their yield loads add up to the
    // arc's in each direction, the axial ones along the tangents, the lateral
    // ones across the arc in its plane, the others vertical.
    const SoilSprings springs(*snapshot);
    const std::vector<SoilSprings::Spring> on_arc = arc_springs(springs, b);
    ASSERT_FALSE(on_arc.empty());
    const Vec3 centre{100 - RADIUS, 0, RADIUS}, up{0, 1, 0};
    double axial = 0, lateral = 0, down = 0;
    for (const SoilSprings::Spring& s : on_arc) {
        const Vec3 out = minus(node_position(snapshot->model, s.node), centre);
        const Vec3 radial = scaled(out, 1 / norm(out));
        const Vec3 tangent = cross(up, radial);
        if (std::fabs(dot(s.d, tangent)) > 1 - 1e-6) {
            axial += s.p_pos;
            EXPECT_DOUBLE_EQ(s.p_pos, s.p_neg);
        } else if (std::fabs(dot(s.d, radial)) > 1 - 1e-6) {
            lateral += s.p_pos;
        } else {
            EXPECT_GT(std::fabs(dot(s.d, up)), 1 - 1e-9) << "a spring off the tangent, the radius and the vertical";
            down += s.p_neg;
        }
    }
    expect_relative(axial, tu * arc, "axial loads of the arc's springs", 1e-5);
    expect_relative(lateral, pu * arc, "lateral loads of the arc's springs", 1e-5);
    // B.4 bearing: Qd = Nq gamma H D + Ngamma gamma D^2 / 2, Nq(30) =
    // exp(pi tan 30) tan^2 60, Ngamma(30) = exp(0.18 30 - 2.5).
    const double nq = std::exp(PI * std::tan(30 * PI / 180)) * 3.0, ngamma = std::exp(2.9);
    const double qd = nq * 120 * PCF * h * d + ngamma * 120 * PCF * d * d / 2;
    expect_relative(down, qd * arc, "bearing loads of the arc's springs", 1e-5);
}

TEST_F(BuriedBendArc, SpringsStandOnPointsOfTheArc)
{
    // The bend is divided for its soil into arcs of at most 15 degrees: its
    // springs stand at seven points, every one R from the bend's centre,
    // the near and far tangent points and five between, and each point
    // takes half the arc length of the segments on either side of it.
    const double h = 46.865;
    const int b = horizontal_bend(sand(h));
    make_model();
    snapshot = make_analysis_model();
    const std::vector<int> arcs = arcs_of(snapshot->model, b);
    EXPECT_EQ(arcs.size(), 6u);
    const Vec3 centre{100 - RADIUS, 0, RADIUS};
    const SoilSprings springs(*snapshot);
    std::set<int> points;
    const double tu = axial_load_per_length(steel.od, h);
    std::map<int, double> axial_at;   // by node
    for (const SoilSprings::Spring& s : arc_springs(springs, b)) {
        points.insert(s.node);
        const Vec3 p = node_position(snapshot->model, s.node);
        EXPECT_NEAR(norm(minus(p, centre)), RADIUS, 1e-5) << "a spring off the arc";
        EXPECT_NEAR(p.y, 0.0, 1e-9);
        if (std::fabs(s.d.y) < 1e-9 && std::fabs(dot(s.d, minus(p, centre))) < 1e-4)
            axial_at[s.node] += s.p_pos;
    }
    EXPECT_EQ(points.size(), 7u);
    // An arc of 15 degrees is pi R / 12 long: the tangent points take half
    // of one, the points between a whole one.
    const double segment = PI * RADIUS / 12;
    for (const auto& [node, load] : axial_at) {
        const bool tangent_point = node == node_index(100020) || node == node_index(200020);
        expect_relative(load, tu * segment * (tangent_point ? 0.5 : 1.0), "axial load at a point", 1e-5);
    }
    EXPECT_EQ(axial_at.size(), 7u);
}

TEST_F(BuriedBendArc, DividedBendKeepsTheFlexibilityOfItsArc)
{
    // The sand's ground at the pipe's axis (H = 0) gives no axial, lateral
    // or uplift soil (each in proportion to H), only bearing: a moment M
    // about the vertical at node 30, with node 10 anchored, bends the line
    // in its horizontal plane and the soil takes nothing. The arcs the bend
    // is divided into must together be as flexible as the bend: k = 1.65/h
    // on pi R / 2 (ASME B31.3 Appendix D). A constant moment M about Y on
    // the path anchor (0, 0, 0), leg to (100 - R, 0, 0), quarter arc, leg
    // to the tip (100, 0, 100): the curvature M/EI (k M/EI on the arc)
    // turns the tip by its integral and moves it by the integral of the
    // curvature times ey x (tip - point) = (tip_z - z, 0, -(tip_x - x)):
    //   leg 1 (z = 0, x = s to 100 - R): int (100 - z) = 100 L, int (100 - x) = 100 L - L^2/2
    //   arc (x = 100 - R + R sin p, z = R - R cos p, ds = R dp):
    //       int (100 - z) ds = R ((100 - R) pi/2 + R), int (100 - x) ds = R^2 (pi/2 - 1)
    //   leg 2 (x = 100, z = R to 100): int (100 - z) = L^2/2, int (100 - x) = 0
    // The anchor's rotational stiffness (1e12) adds M/K and its lever.
    const int b = bend_line(sand(0.0), {0, 0, 100}, true);
    const double moment = 25000;
    const int tip = b + 1;
    item<TestForce>(tip).load[4] = moment;
    item<TestForce>(tip).code = LC_OPERATING_1;
    choose({LC_OPERATING_1});
    const CaseResults c = solve().at(LC_OPERATING_1);
    ASSERT_TRUE(c.converged);
    ASSERT_EQ(arcs_of(snapshot->model, b).size(), 6u);
    ASSERT_EQ(c.forces.size(), 3u);   // the results keep the model's elements

    const double r = (steel.od - steel.t) / 2, k = 1.65 / (steel.t * RADIUS / (r * r));
    const double ei = steel.e * steel.inertia, l = 100 - RADIUS;
    const double along_z = 100 * l + k * RADIUS * ((100 - RADIUS) * PI / 2 + RADIUS) + l * l / 2;
    const double along_x = 100 * l - l * l / 2 + k * RADIUS * RADIUS * (PI / 2 - 1);
    const std::array<double, 6> u = node_result(c, 30);
    expect_relative(u[4], moment / ei * (2 * l + k * RADIUS * PI / 2) + moment / RIGID, "tip rotation", 1e-5);
    expect_relative(u[0], moment / ei * along_z + moment / RIGID * 100, "tip along X", 1e-5);
    expect_relative(u[2], -moment / ei * along_x - moment / RIGID * 100, "tip along Z", 1e-5);
    EXPECT_NEAR(u[1], 0.0, 1e-9);
    // The bend's end forces, from its first and last arc: the moment about
    // its local z (normal to its plane) at both ends, nothing else.
    const ElementVector& f = c.forces[1];
    expect_relative(std::fabs(f.f[6]), moment, "moment at the near tangent point", 1e-6);
    expect_relative(std::fabs(f.f[12]), moment, "moment at the far tangent point", 1e-6);
    for (int i : {1, 2, 3, 4, 5, 7, 8, 9, 10, 11})
        EXPECT_NEAR(f.f[i], 0.0, 1e-6 * moment) << i;
}

TEST_F(BuriedBendArc, BendTurningDownTakesTheSoilOfEachPointsDepth)
{
    // A bend from +X down to -Y (R = 12 in, centre at (88, -12, 0)) under
    // the sand's ground at 48 in: each arc segment takes the soil of the
    // depth of its middle, so that the arc's axial springs add up to the
    // integral of Tu over it, Tu in proportion to H: pi D gamma tan 30 times
    // int H ds = int (48 - y) R dp, y = -R (1 - cos p): R (48 pi/2 + R (pi/2
    // - 1)), within the midpoint rule on 15 degree arcs (0.1 %). Where the
    // arc runs vertical (the far tangent point) the springs across it are
    // the two horizontal ones.
    const int b = bend_line(sand(48.0), {0, -100, 0});
    make_model();
    snapshot = make_analysis_model();
    const SoilSprings springs(*snapshot);
    const double per_depth = axial_load_per_length(steel.od, 1.0);
    const double integral = per_depth * RADIUS * (48 * PI / 2 + RADIUS * (PI / 2 - 1));
    const Vec3 centre{100 - RADIUS, -RADIUS, 0};
    double axial = 0;
    const int far = node_index(200020);
    for (const SoilSprings::Spring& s : arc_springs(springs, b)) {
        const Vec3 out = minus(node_position(snapshot->model, s.node), centre);
        const Vec3 tangent = cross({0, 0, 1}, scaled(out, 1 / norm(out)));
        if (std::fabs(dot(s.d, tangent)) > 1 - 1e-6)
            axial += s.p_pos;
        if (s.node == far && std::fabs(dot(s.d, tangent)) < 1e-6) {
            EXPECT_NEAR(s.d.y, 0.0, 1e-9) << "a spring across the vertical end of the arc is horizontal";
        }
    }
    expect_relative(axial, integral, "axial loads over the arc's depths", 1e-3);
}
