// Whole runs against closed-form beam theory: each expected value is worked
// out here from the beam theory the elements implement (bending, shear with
// the tube's shear coefficient, axial and torsion), with the anchors' and
// restraints' springs of 1.0e12 taken into account as springs in series, so
// that the run must agree to 1e-6 relative.
#include "analysis/data/analysis_fixture.h"
#include "elements/data/element_test_support.h"

using namespace analysis_test;

namespace {

class ClosedFormTest : public AnalysisTest {};

}  // namespace

TEST_F(ClosedFormTest, CantileverWithATipLoadBendsAndShears)
{
    // 120 in from an anchor at node 10; 1000 lb down at node 20, weightless.
    weightless();
    const double l = 120, p = 1000;
    anchored_from(10);
    const int tip = pipe(20, static_cast<float>(l), 0, 0, DT_FORCE);
    item<TestForce>(tip).load[1] = -p;
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);

    // Tip: P l^3 / 3EI + alpha P l / GA, plus the anchor's springs; the
    // rotation P l^2 / 2EI plus the anchor's P l / K.
    const auto u = node_result(c, 20);
    expect_relative(u[1], -p * tip_flexibility(l), "tip deflection");
    expect_relative(u[5], -(p * l * l / (2 * steel.e * steel.inertia) + p * l / RIGID), "tip rotation");
    EXPECT_NEAR(u[0], 0.0, 1e-12);
    EXPECT_NEAR(u[2], 0.0, 1e-12);

    // The anchor holds P up and the moment P l; the element carries the
    // shear P at both ends and the moment P l at the anchor, 0 at the tip.
    const double* support = &c.support_loads[0];
    expect_relative(support[1], p, "anchor force");
    expect_relative(support[5], p * l, "anchor moment");
    const ElementVector& f = c.forces[0];
    expect_relative(std::fabs(f.f[2]), p, "shear at the anchor");
    expect_relative(std::fabs(f.f[8]), p, "shear at the tip");
    expect_relative(std::fabs(f.f[6]), p * l, "moment at the anchor");
    EXPECT_NEAR(f.f[12], 0.0, 1e-6 * p * l);
    EXPECT_NEAR(f.f[1], 0.0, 1e-9);
}

TEST_F(ClosedFormTest, PipeAnchoredAtBothEndsUnderATemperatureRise)
{
    // 200 in between two anchors, heated from 70 to 370 degF: the free
    // expansion alpha dT L is held by the pipe (L / EA) and the two anchor
    // springs in series: N = alpha dT L / (L / EA + 2 / K).
    const double l = 200, dt = 300;
    load.temperature[1] = 70 + dt;
    anchored_from(10);
    pipe(20, static_cast<float>(l), 0, 0, DT_ANCHOR);
    choose({LC_EXPANSION_T1});
    const CaseResults c = solve().at(LC_EXPANSION_T1);

    const double n = steel.alpha * dt * l / (l / (steel.e * steel.area) + 2 / RIGID);
    const ElementVector& f = c.forces[0];
    expect_relative(f.f[1], -n, "axial force at node 1 (compression)");
    expect_relative(f.f[7], -n, "axial force at node 2");
    // The anchors push the pipe back: -N at the far end, +N at the near one.
    expect_relative(c.support_loads[0], n, "near anchor");
    expect_relative(c.support_loads[6], -n, "far anchor");
    expect_relative(node_result(c, 20)[0], n / RIGID, "far end, pressed into its anchor");
    for (int i : {2, 3, 5, 6, 8, 9, 11, 12})
        EXPECT_NEAR(f.f[i], 0.0, 1e-6 * n) << i;
}

TEST_F(ClosedFormTest, LOfTwoPipesAnchoredAtBothEndsUnderATemperatureRise)
{
    // Anchors at A = node 10 (0, 0, 0) and B = node 30 (a, b, 0), the corner
    // C = node 20 at (a, 0, 0); 300 degF above ambient.
    const double a = 120, b = 80, dt = 300;
    load.temperature[1] = 70 + dt;
    anchored_from(10);
    pipe(20, static_cast<float>(a), 0, 0);
    pipe(30, 0, static_cast<float>(b), 0, DT_ANCHOR);
    choose({LC_EXPANSION_T1});
    const CaseResults c = solve().at(LC_EXPANSION_T1);

    // The force method: B released and loaded by the anchor's forces X, Y and
    // moment M (about z) on the pipe. The moment at a point p of the path is
    // m(p) = M + (Bx - px) Y - (By - py) X; leg AC carries N = X and V = Y,
    // leg CB carries N = Y and V = X. Integrating the complementary energy
    // m^2 / 2EI + N^2 / 2EA + alpha V^2 / 2GA over the legs gives the
    // flexibility of B; the springs of A move B as a rigid body (u_A = (X, Y)
    // / K, theta_A = (M + aY - bX) / K), those of B add 1 / K. Compatibility:
    // F r = -(alpha dT a, alpha dT b, 0).
    const double ei = steel.e * steel.inertia, ea = steel.e * steel.area, gas = steel.g * steel.area / steel.shear;
    double f[3][3];
    f[0][0] = (a * b * b + b * b * b / 3) / ei + a / ea + b / gas + 2 / RIGID + b * b / RIGID;
    f[1][1] = a * a * a / (3 * ei) + b / ea + a / gas + 2 / RIGID + a * a / RIGID;
    f[2][2] = (a + b) / ei + 2 / RIGID;
    f[0][1] = f[1][0] = -b * a * a / (2 * ei) - a * b / RIGID;
    f[0][2] = f[2][0] = -(a * b + b * b / 2) / ei - b / RIGID;
    f[1][2] = f[2][1] = a * a / (2 * ei) + a / RIGID;
    const std::vector<double> r = element_test::solve(
        {{f[0][0], f[0][1], f[0][2]}, {f[1][0], f[1][1], f[1][2]}, {f[2][0], f[2][1], f[2][2]}},
        {-steel.alpha * dt * a, -steel.alpha * dt * b, 0.0});
    const double x = r[0], y = r[1], m = r[2];
    const double m_a = m + a * y - b * x;   // the moment at A
    const double m_c = m - b * x;           // at the corner

    // The anchors' loads on the pipe: B gives (X, Y, M), A the opposite of
    // what B's loads carry to A.
    const double* at_a = &c.support_loads[0];
    const double* at_b = &c.support_loads[6];
    expect_relative(at_b[0], x, "X at B");
    expect_relative(at_b[1], y, "Y at B");
    expect_relative(at_b[5], m, "M at B");
    expect_relative(at_a[0], -x, "X at A");
    expect_relative(at_a[1], -y, "Y at A");
    expect_relative(at_a[5], -m_a, "M at A");

    // End forces: leg AC in tension X with the moments m(A) and m(C) at its
    // ends; leg CB in tension Y with m(C) and M.
    const ElementVector& ac = c.forces[0];
    const ElementVector& cb = c.forces[1];
    expect_relative(ac.f[1], x, "axial force of AC");
    expect_relative(std::fabs(ac.f[2]), std::fabs(y), "shear of AC");
    expect_relative(std::fabs(ac.f[6]), std::fabs(m_a), "moment of AC at A");
    expect_relative(std::fabs(ac.f[12]), std::fabs(m_c), "moment of AC at C");
    expect_relative(cb.f[7], y, "axial force of CB");
    expect_relative(std::fabs(cb.f[8]), std::fabs(x), "shear of CB");
    expect_relative(std::fabs(cb.f[6]), std::fabs(m_c), "moment of CB at C");
    expect_relative(std::fabs(cb.f[12]), std::fabs(m), "moment of CB at B");
    // Out of the plane nothing moves.
    EXPECT_NEAR(node_result(c, 20)[2], 0.0, 1e-12);
}

TEST_F(ClosedFormTest, WeightOfASimplySupportedSpan)
{
    // 240 in in four elements on restraints at both ends (X, Y, Z and RX at
    // the first; Y and Z at the last). Weight w = rho A per length.
    const double l = 240, w = steel.weight;
    const int first = from(10);
    restrain(first, {0, 1, 2, 3});
    for (int node : {20, 30, 40})
        pipe(node, static_cast<float>(l / 4), 0, 0);
    restrain(pipe(50, static_cast<float>(l / 4), 0, 0), {1, 2});
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);

    // Midspan: 5 w L^4 / 384 EI + alpha w L^2 / 8 GA, plus the supports'
    // springs, each pressed by w L / 2.
    const double mid = 5 * w * std::pow(l, 4) / (384 * steel.e * steel.inertia) +
                       steel.shear * w * l * l / (8 * steel.g * steel.area) + w * l / 2 / RIGID;
    expect_relative(node_result(c, 30)[1], -mid, "midspan deflection");
    // Slope at the supports: w L^3 / 24 EI (shear adds none at a support).
    expect_relative(std::fabs(node_result(c, 10)[5]), w * l * l * l / (24 * steel.e * steel.inertia), "end slope");
    expect_relative(c.support_loads[1], w * l / 2, "reaction at the first support");
    expect_relative(c.support_loads[4], w * l / 2, "reaction at the last support");
    // The moment at midspan w L^2 / 8 at the end of the second element.
    expect_relative(std::fabs(c.forces[1].f[12]), w * l * l / 8, "midspan moment");
}

TEST_F(ClosedFormTest, SupportWithAGapThatCloses)
{
    // A 120 in cantilever under its weight with a stop below its tip.
    const double l = 120, w = steel.weight;
    const double free_tip = weight_tip_deflection(l, w);
    anchored_from(10);
    const int tip = pipe(20, static_cast<float>(l), 0, 0, DT_LIMIT_STOP);
    choose({LC_SUSTAINED});

    // A gap larger than the free deflection stays open.
    item<TestGap>(tip).gap = 1.5 * free_tip;
    CaseResults c = solve().at(LC_SUSTAINED);
    expect_relative(node_result(c, 20)[1], -free_tip, "free tip");
    EXPECT_EQ(c.support_loads[6], 0.0);
    EXPECT_TRUE(c.converged);

    // A smaller gap closes: the tip stops at the gap, the stop's force R
    // from (free tip - R * tip flexibility) = gap + R / K.
    const double gap = 0.4 * free_tip;
    item<TestGap>(tip).gap = gap;
    c = solve().at(LC_SUSTAINED);
    const double r = (free_tip - gap) / (tip_flexibility(l) + 1 / RIGID);
    expect_relative(c.support_loads[6], r, "stop force");
    EXPECT_EQ(c.support_loads[7], 1.0);
    expect_relative(node_result(c, 20)[1], -(gap + r / RIGID), "tip at the stop");
    expect_relative(c.support_loads[1], w * l - r, "anchor force");
    EXPECT_TRUE(c.converged);
    EXPECT_EQ(c.iterations, 2);
}

TEST_F(ClosedFormTest, FrictionAtAGuide)
{
    // A 120 in pipe from an anchor to a guide, under its weight and heated by
    // 300 degF. The guide's normal force N is the propped cantilever's
    // reaction; the expansion slides the pipe through the guide against
    // mu N, which is then the axial force of the pipe.
    const double l = 120, w = steel.weight, dt = 300, mu = 0.3;
    load.temperature[1] = 70 + dt;
    anchored_from(10);
    const int end = pipe(20, static_cast<float>(l), 0, 0, DT_GUIDE);
    item<TestGuide>(end).mu = mu;
    choose({LC_OPERATING_1});
    const CaseResults c = solve().at(LC_OPERATING_1);

    // N: the free tip deflection taken back through the tip's flexibility
    // and the guide's spring.
    const double normal = weight_tip_deflection(l, w) / (tip_flexibility(l) + 1 / RIGID);
    const double friction = mu * normal;
    expect_relative(c.support_loads[7], normal, "normal force");
    expect_relative(c.support_loads[6], -friction, "friction against the expansion");
    expect_relative(c.forces[0].f[1], -friction, "axial force");
    // The end moves by the free expansion less the shortening under mu N
    // and the anchor's spring.
    expect_relative(node_result(c, 20)[0],
                    steel.alpha * dt * l - friction * (l / (steel.e * steel.area) + 1 / RIGID), "sliding end");
    EXPECT_TRUE(c.converged);
}

TEST_F(ClosedFormTest, QuarterBendCantileverAgainstTheArcsEnergy)
{
    // Node 10 anchored at the origin, a 90 degree bend of radius 9 in at
    // (100, 0, 0) and the pipe on to node 30 at (100, 0, 100), flexibility
    // factor 2.5 given. Loads at node 30: 500 lb along X in case Sustained,
    // 400 lb along Y (out of the bend's plane) in Expansion (T1).
    weightless();
    const double r = 9, k = 2.5, fx = 500, fy = 400;
    anchored_from(10);
    const int bend = row(20, ET_BEND, 100, 0, 0);
    name(bend);
    auto& b = dynamic_cast<Bend&>(*model().rows[bend].element);
    b.geometry.radius_kind = RADIUS_USER;
    b.geometry.radius = static_cast<float>(r);
    b.ff_in = static_cast<float>(k);
    const int tip = pipe(30, 0, 0, 100, DT_FORCE);
    item<TestForce>(tip).load[0] = fx;
    model().rows[tip].dtype = DT_FORCE;
    choose({LC_SUSTAINED, LC_EXPANSION_T1});
    const std::map<int, CaseResults> all = [&] {
        // The second load in the second case: a second force row at node 30.
        const int second = row(30, ET_NONE, 0, 0, 0, DT_FORCE);
        item<TestForce>(second).code = LC_EXPANSION_T1;
        item<TestForce>(second).load[1] = fy;
        return solve();
    }();

    // The tip flexibility along a unit load e: the complementary energy of
    // the path from the tip back to the anchor, N^2/EA + alpha V^2/GA +
    // T^2/(G 2I) + k Mb^2/EI per length (k on the arc only), integrated by
    // Gauss-Legendre, plus the anchor's springs.
    const double ei = steel.e * steel.inertia, ea = steel.e * steel.area;
    const double gas = steel.g * steel.area / steel.shear, gj = steel.g * 2 * steel.inertia;
    const Vec3 tip_point{100, 0, 100};
    auto energy = [&](const Vec3& e, const Vec3& p, const Vec3& t, double factor) {
        const Vec3 arm{tip_point.x - p.x, tip_point.y - p.y, tip_point.z - p.z};
        const Vec3 m{arm.y * e.z - arm.z * e.y, arm.z * e.x - arm.x * e.z, arm.x * e.y - arm.y * e.x};
        const double n = e.x * t.x + e.y * t.y + e.z * t.z;
        const double v2 = e.x * e.x + e.y * e.y + e.z * e.z - n * n;
        const double tq = m.x * t.x + m.y * t.y + m.z * t.z;
        const double mb2 = m.x * m.x + m.y * m.y + m.z * m.z - tq * tq;
        return n * n / ea + v2 / gas + tq * tq / gj + factor * mb2 / ei;
    };
    auto flexibility = [&](const Vec3& e) {
        using element_test::gauss_legendre;
        const double leg1 = gauss_legendre([&](double s) { return energy(e, {s, 0, 0}, {1, 0, 0}, 1); }, 0, 100 - r);
        const double arc = gauss_legendre(
            [&](double phi) {
                const Vec3 p{100 - r + r * std::sin(phi), 0, r - r * std::cos(phi)};
                return energy(e, p, {std::cos(phi), 0, std::sin(phi)}, k) * r;
            },
            0, std::numbers::pi / 2);
        const double leg2 = gauss_legendre([&](double s) { return energy(e, {100, 0, s}, {0, 0, 1}, 1); }, r, 100);
        // The anchor moves the tip by e / K and (arm x e) / K x arm.
        const Vec3 m{tip_point.y * e.z - tip_point.z * e.y, tip_point.z * e.x - tip_point.x * e.z,
                     tip_point.x * e.y - tip_point.y * e.x};
        return leg1 + arc + leg2 + 1 / RIGID + (m.x * m.x + m.y * m.y + m.z * m.z) / RIGID;
    };
    expect_relative(node_result(all.at(LC_SUSTAINED), 30)[0], fx * flexibility({1, 0, 0}), "in-plane tip");
    expect_relative(node_result(all.at(LC_EXPANSION_T1), 30)[1], fy * flexibility({0, 1, 0}), "out-of-plane tip");

    // The arc's end forces at its far end are in the tangent's axes there
    // (along Z): under the load along X no axial force, the shear fx.
    const CaseResults& c = all.at(LC_SUSTAINED);
    const ElementVector& arc = c.forces[1];
    EXPECT_NEAR(arc.f[7], 0.0, 1e-6 * fx);
    expect_relative(std::hypot(arc.f[8], arc.f[9]), fx, "shear at the far tangent");
    // And at its near end, along X: the axial force fx.
    expect_relative(std::fabs(arc.f[1]), fx, "axial force at the near tangent");
}
