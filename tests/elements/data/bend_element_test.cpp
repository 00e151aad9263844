// The curved element against answers worked out independently here: its
// flexibility and its free-end displacements under distributed loads by a
// numerical integration of the complementary energy of a curved beam
// (Castigliano and the unit-load method), its stiffness against the straight
// Timoshenko element and against itself split in two, a bend between two
// legs against the closed form, and the equilibrium of its end forces.
#include "element_test_support.h"

#include "elements/bend_element.h"
#include "elements/bend_flexibility.h"
#include "analysis_core/element_forces.h"
#include "elements/straight_element.h"
#include "framework/errors.h"

#include <numbers>
#include <string>

using namespace element_test;

namespace {

constexpr double PI = std::numbers::pi;
constexpr double R = 9.0;

BendElement bend_of(const Pipe6& p, double radius, double angle, double k)
{
    BendElement b;
    b.radius = radius;
    b.angle = angle;
    b.flexibility_factor = k;
    b.area = p.area;
    b.inertia = p.inertia;
    b.shear_coefficient = p.alpha;
    b.modulus = p.e;
    b.shear_modulus = p.g;
    b.poisson = p.nu;
    b.outside_diameter = p.od;
    b.thickness = p.t;
    return b;
}

// Section forces in the tangent frame at phi: N, V in plane, V out of
// plane, T, M about the in-plane normal, M about z.
using Resultants = std::array<double, 6>;

// The section forces at arc point phi of a load (force, moment) at node 2.
// The lever from the point to node 2, R (sin theta - sin phi, cos phi -
// cos theta), is taken in product form to keep its precision on short arcs.
Resultants section_forces(const double (&load)[6], double phi, double theta)
{
    const double half = std::sin((theta - phi) / 2), mid = (theta + phi) / 2;
    const double lx = 2 * R * std::cos(mid) * half, ly = 2 * R * std::sin(mid) * half;
    const double fx = load[0], fy = load[1], fz = load[2];
    const double mx = load[3] + ly * fz, my = load[4] - lx * fz, mz = load[5] + lx * fy - ly * fx;
    const double c = std::cos(phi), s = std::sin(phi);
    return {fx * c + fy * s, -fx * s + fy * c, fz, mx * c + my * s, -mx * s + my * c, mz};
}

Resultants unit_section_forces(int i, double phi, double theta)
{
    double load[6] = {};
    load[i - 1] = 1;
    return section_forces(load, phi, theta);
}

// The section forces at phi of a uniform load of 1 per length of arc along
// local axis j on the arc beyond phi: its resultant and its moment about the
// point (the lever integrated numerically).
Resultants distributed_section_forces(int j, double phi, double theta)
{
    auto lever = [&](int c) {
        return gauss_legendre(
            [&](double psi) {
                const double half = std::sin((psi - phi) / 2), mid = (psi + phi) / 2;
                return 2 * R * half * (c == 0 ? std::cos(mid) : std::sin(mid)) * R;
            },
            phi, theta, 20);
    };
    const double ax = lever(0), ay = lever(1);
    double load[6] = {};
    load[j] = R * (theta - phi);
    if (j == 2)
        load[3] = ay, load[4] = -ax;
    else
        load[5] = j == 0 ? -ay : ax;
    return section_forces(load, phi, phi);
}

// The integral over the arc of the compliance-weighted product of two
// section-force fields: N^2/(EA), alpha V^2/(GA), T^2/(G 2I), k M^2/(EI).
template <typename A, typename B>
double energy_product(const BendElement& b, A&& first, B&& second)
{
    const double bend = b.flexibility_factor / (b.modulus * b.inertia);
    const double shear = b.shear_coefficient / (b.shear_modulus * b.area);
    const double w[6] = {1 / (b.modulus * b.area), shear, shear, 1 / (2 * b.shear_modulus * b.inertia), bend, bend};
    return gauss_legendre(
        [&](double phi) {
            const Resultants x = first(phi), y = second(phi);
            double sum = 0;
            for (int c = 0; c < 6; ++c)
                sum += w[c] * x[c] * y[c];
            return sum * R;
        },
        0.0, b.angle);
}

// End forces with node 1 anchored (out of the analysis) and node 2 free,
// loaded by the load vector and a load at node 2; u2 gets node 2's movement.
ElementVector cantilever_end_forces(const ElementMatrix& k, const ElementVector& f, std::vector<double>& u2,
                                    const double (&node2_load)[6] = {})
{
    Dense k22(6, std::vector<double>(6));
    std::vector<double> rhs(6);
    for (int i = 0; i < 6; ++i) {
        rhs[i] = f.f[7 + i] + node2_load[i];
        for (int j = 0; j < 6; ++j)
            k22[i][j] = k.k[7 + i][7 + j];
    }
    u2 = solve(k22, rhs);
    std::vector<double> u(7);
    std::copy(u2.begin(), u2.end(), u.begin() + 1);
    const int dofs[13] = {0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6};
    ElementVector out;
    element_end_forces(k, f, LocalAxes{}, dofs, u, out);
    return out;
}

}  // namespace

TEST(BendElement, FlexibilityEqualsIntegratedCurvedBeamEnergy)
{
    const Pipe6 p;
    for (double theta : {1e-6, 1e-4, 1e-3, 0.02, 0.3, 0.49, 0.51, 1.0, PI / 2, 2.5, PI}) {
        const BendElement b = bend_of(p, R, theta, 3.7);
        const ArcFlexibility f = bend_arc_flexibility(b);
        for (int i = 1; i <= 6; ++i)
            for (int j = i; j <= 6; ++j) {
                const double ref = energy_product(b, [&](double phi) { return unit_section_forces(i, phi, theta); },
                                                  [&](double phi) { return unit_section_forces(j, phi, theta); });
                // In-plane and out-of-plane terms do not couple: 0 in both.
                expect_relative(f.f[i][j], ref, 1e-6, ("F" + std::to_string(10 * i + j) + " at " + std::to_string(theta)).c_str(),
                                1e-13 * std::sqrt(f.f[i][i] * f.f[j][j]));
                EXPECT_EQ(f.f[i][j], f.f[j][i]);
            }
    }
    // The textbook quarter ring (k = 1, no shear deformation): an end moment
    // turns it by M (pi/2) R/EI, a force along the fixed end's tangent by -R^2/EI.
    BendElement ring = bend_of(p, R, PI / 2, 1.0);
    ring.shear_coefficient = 0;
    const ArcFlexibility f = bend_arc_flexibility(ring);
    expect_relative(f.f[6][6], PI / 2 * R / (p.e * p.inertia), 1e-12, "F66");
    expect_relative(f.f[1][6], -R * R / (p.e * p.inertia), 1e-12, "F16");
}

TEST(BendElement, StiffnessIsRigidBodyFreeAndMatchesStraightAndSplitElements)
{
    const Pipe6 p;
    for (double theta : {1e-6, 0.4, PI / 2, PI}) {
        ElementMatrix k;
        bend_element_stiffness(bend_of(p, R, theta, 2.5), k);
        const Vec3 c = bend_chord(R, theta);
        // Translations, and rotations about node 1, strain nothing.
        for (int mode = 0; mode < 6; ++mode) {
            double u[13] = {};
            u[1 + mode] = u[7 + mode] = 1;
            if (mode >= 3) {
                const double w[3] = {mode == 3 ? 1.0 : 0.0, mode == 4 ? 1.0 : 0.0, mode == 5 ? 1.0 : 0.0};
                u[7] = w[1] * c.z - w[2] * c.y, u[8] = w[2] * c.x - w[0] * c.z, u[9] = w[0] * c.y - w[1] * c.x;
            }
            for (int i = 1; i <= 12; ++i) {
                double sum = 0, size = 0;
                for (int j = 1; j <= 12; ++j)
                    sum += k.k[i][j] * u[j], size += std::fabs(k.k[i][j]) * (1 + 2 * R);
                EXPECT_NEAR(sum, 0.0, 1e-12 * size) << "theta " << theta << " mode " << mode << " row " << i;
            }
        }
        for (int i = 1; i <= 12; ++i)
            for (int j = 1; j <= 12; ++j)
                EXPECT_EQ(k.k[i][j], k.k[j][i]);
    }

    // A nearly straight arc is the straight Timoshenko element of its length.
    const double theta = 1e-6, length = R * theta;
    ElementMatrix arc, straight;
    bend_element_stiffness(bend_of(p, R, theta, 1.0), arc);
    straight_element_stiffness(pipe_flexibility(length, p.area, p.inertia, p.e, p.g, p.alpha), length, straight);
    for (int i = 1; i <= 12; ++i)
        for (int j = 1; j <= 12; ++j)
            EXPECT_NEAR(arc.k[i][j], straight.k[i][j], 1e-5 * std::sqrt(straight.k[i][i] * straight.k[j][j]))
                << i << "," << j;

    // Arcs of 35 and 55 degrees joined at an intermediate node, that node
    // condensed out (K_ee - K_em K_mm^-1 K_me), are one arc of 90 degrees.
    const double t1 = 35 * PI / 180, t2 = 55 * PI / 180;
    ElementMatrix k1, k2, whole;
    bend_element_stiffness(bend_of(p, R, t1, 2.5), k1);
    bend_element_stiffness(bend_of(p, R, t2, 2.5), k2);
    bend_element_stiffness(bend_of(p, R, t1 + t2, 2.5), whole);
    Structure s(3);
    s.add(1, 2, k1, LocalAxes{});
    s.add(2, 3, k2, bend_tangent_axes(LocalAxes{}, t1));
    Dense kmm(6, std::vector<double>(6));
    for (int a = 0; a < 6; ++a)
        for (int b = 0; b < 6; ++b)
            kmm[a][b] = s.k[7 + a][7 + b];
    auto outer = [](int i) { return i <= 6 ? i : i + 6; };
    for (int j = 1; j <= 12; ++j) {
        std::vector<double> column(6);
        for (int a = 0; a < 6; ++a)
            column[a] = s.k[7 + a][outer(j)];
        const std::vector<double> x = solve(kmm, column);
        for (int i = 1; i <= 12; ++i) {
            double value = s.k[outer(i)][outer(j)];
            for (int a = 0; a < 6; ++a)
                value -= s.k[outer(i)][7 + a] * x[a];
            EXPECT_NEAR(value, whole.k[i][j], 1e-8 * std::sqrt(whole.k[i][i] * whole.k[j][j])) << i << "," << j;
        }
    }
}

TEST(BendElement, LoadsGiveTheFreeEndDisplacementAndBalance)
{
    const Pipe6 p;
    for (double theta : {1e-6, 1e-3, 0.3, 1.0, PI / 2, PI}) {
        BendElement b = bend_of(p, R, theta, 3.7);
        b.weight = 2.1;
        b.expansion = 7.0e-6;
        b.temperature = 570;
        b.pressure = 900;
        ElementMatrix k;
        bend_element_stiffness(b, k);
        // A frame in which gravity and the seismic directions have
        // components along all three local axes.
        LocalAxes axes;
        axes.x = {std::cos(0.4), std::sin(0.4) * std::cos(0.7), std::sin(0.4) * std::sin(0.7)};
        complete_local_axes(axes, false);
        const Vec3 chord = bend_chord(R, theta);

        // Weight, and seismic 0.3 g on X with 0.2 g on Z: a cantilever from
        // node 1 deflects at node 2 as the unit-load method gives, its free
        // end carries nothing, and node 1 carries the load's resultant and
        // its moment (both integrated here).
        ElementLoadOptions options;   // reference temperature 70 degF
        ElementLoadStep weight, seismic;
        weight.weight = true;
        seismic.seismic_g = true;
        seismic.g = {0.3, 0.0, 0.2};
        const Vec3 ex = global_axis_in_local(axes, 0), ey = global_axis_in_local(axes, 1),
                   ez = global_axis_in_local(axes, 2);
        const double w = b.weight;
        const std::array<double, 3> gravity{-w * ey.x, -w * ey.y, -w * ey.z};
        const std::array<double, 3> quake{w * (0.3 * ex.x + 0.2 * ez.x), w * (0.3 * ex.y + 0.2 * ez.y),
                                          w * (0.3 * ex.z + 0.2 * ez.z)};
        for (const auto& [step, q] : {std::pair{weight, gravity}, std::pair{seismic, quake}}) {
            ElementVector f;
            bend_element_loads(b, axes, k, step, options, f);
            std::vector<double> u2;
            const ElementVector out = cantilever_end_forces(k, f, u2);
            for (int i = 1; i <= 6; ++i) {
                double expected = 0;
                for (int j = 0; j < 3; ++j)
                    expected += q[j] * energy_product(b, [&](double phi) { return unit_section_forces(i, phi, theta); },
                                                      [&](double phi) { return distributed_section_forces(j, phi, theta); });
                EXPECT_NEAR(u2[i - 1], expected, 1e-6 * std::fabs(expected) + 1e-12 * std::fabs(u2[i < 4 ? 1 : 5]))
                    << "theta " << theta << " u" << i;
            }
            const double moment[3] = {
                gauss_legendre([&](double phi) { return 2 * R * std::pow(std::sin(phi / 2), 2) * q[2] * R; }, 0, theta),
                gauss_legendre([&](double phi) { return -R * std::sin(phi) * q[2] * R; }, 0, theta),
                gauss_legendre([&](double phi) {
                    return (R * std::sin(phi) * q[1] - 2 * R * std::pow(std::sin(phi / 2), 2) * q[0]) * R;
                }, 0, theta)};
            const double scale = 1e-9 * w * R * R * std::max(theta, 1e-3);
            for (int i = 0; i < 3; ++i) {
                EXPECT_NEAR(out.f[1 + i], q[i] * R * theta, scale) << "force " << i;
                EXPECT_NEAR(out.f[4 + i], moment[i], scale * R) << "moment " << i;
                EXPECT_NEAR(out.f[7 + i], 0.0, scale);
                EXPECT_NEAR(out.f[10 + i], 0.0, scale * R);
            }
        }

        // Temperature: the arc grows freely along its chord; no force.
        ElementLoadStep hot;
        hot.temperature = true;
        ElementVector thermal, f;
        bend_element_loads(b, axes, k, hot, options, thermal);
        std::vector<double> u2;
        ElementVector out = cantilever_end_forces(k, thermal, u2);
        const double strain = 500 * 7.0e-6;
        EXPECT_NEAR(u2[0], strain * chord.x, 1e-9 * strain * R);
        EXPECT_NEAR(u2[1], strain * chord.y, 1e-9 * strain * R);
        for (int i = 1; i <= 12; ++i)
            EXPECT_NEAR(out.f[i], 0.0, 1e-6 * strain * p.e * p.area) << "thermal " << i;

        // Bourdon: a uniform axial strain and a uniform change of curvature
        // dphi/(R theta) that opens the bend; a curvature change kappa moves
        // node 2 of a cantilever by the integral of kappa z x (p2 - p) ds.
        options.bourdon_effect = true;
        bend_element_loads(b, axes, k, hot, options, f);
        for (int i = 1; i <= 12; ++i)
            f.f[i] -= thermal.f[i];
        out = cantilever_end_forces(k, f, u2);
        const double rm = (p.od - p.t) / 2;
        const double dphi = -(theta * 900 * PI * std::pow(rm, 4) / (2 * p.e * p.inertia)) *
                            ((1.5 * 0.3 + 3) * rm * rm / (R * R) + 2 - 2 * 0.3);
        const double strain_p = (1 - 2 * 0.3) * 900 * rm / (2 * p.e * p.t);
        const double kappa = dphi / (R * theta);
        auto lever = [&](bool x) {
            return gauss_legendre([&](double phi) {
                return 2 * R * std::sin((theta - phi) / 2) * (x ? std::cos((theta + phi) / 2) : std::sin((theta + phi) / 2)) * R;
            }, 0, theta);
        };
        const double bx = -kappa * lever(false), by = kappa * lever(true);
        EXPECT_NEAR(u2[0], strain_p * chord.x + bx, 1e-7 * (std::fabs(strain_p * chord.x) + std::fabs(bx)));
        EXPECT_NEAR(u2[1], strain_p * chord.y + by, 1e-7 * (std::fabs(strain_p * chord.y) + std::fabs(by)));
        EXPECT_NEAR(u2[5], dphi, 1e-9 * std::fabs(dphi));
        for (int i = 1; i <= 12; ++i)
            EXPECT_NEAR(out.f[i], 0.0, 1e-6 * 900 * p.area) << "Bourdon " << i;

        // With ZEDIRUVI the Bourdon strain goes with the weight steps; a
        // modal step forms no loads.
        options.bourdon_with_weight = true;
        ElementVector moved, with_bourdon, weight_only;
        bend_element_loads(b, axes, k, hot, options, moved);
        bend_element_loads(b, axes, k, weight, options, with_bourdon);
        options.bourdon_effect = false;
        bend_element_loads(b, axes, k, weight, options, weight_only);
        for (int i = 1; i <= 12; ++i) {
            EXPECT_EQ(moved.f[i], thermal.f[i]);
            EXPECT_NEAR(with_bourdon.f[i] - weight_only.f[i], f.f[i], 1e-9 * (std::fabs(f.f[i]) + 900 * p.area));
        }
        ElementLoadStep modal = weight;
        modal.modal = true;
        bend_element_loads(b, axes, k, modal, options, moved);
        expect_terms(moved, {}, 0.0, "modal");
    }
    BendElement b = bend_of(p, R, 1.2, 1.0);
    b.weight = 3.0;
    EXPECT_DOUBLE_EQ(bend_element_mass(b), 3.0 * R * 1.2 / 2 / 386.4);
    EXPECT_DOUBLE_EQ(bend_wind_area(7.0, R, PI / 2), 7.0 * R * std::sqrt(2.0));
}

// A 90 degree bend (R = 9 in, 6 in standard pipe, B31.3 k = 1.65/h) between a
// leg of L1 = 40 in along X from an anchor and a leg of L2 = 30 in along Y,
// with an in-plane moment M about Z at the free end D. Every section carries
// the moment M and no force, so only bending strains it, with the curvature
// M/EI in the legs and k M/EI in the bend. The end rotation is the integral
// of the curvature, the end displacement the integral of kappa z x (D - p(s)):
//   rotation = M/EI (L1 + L2 + k pi R/2)
//   ux = -M/EI ((R + L2) L1 + k R (L2 pi/2 + R) + L2^2/2)
//   uy =  M/EI ((L1 + R) L1 - L1^2/2 + k R^2 (pi/2 - 1))
TEST(BendElement, BendBetweenTwoLegsUnderEndMomentMatchesClosedForm)
{
    const Pipe6 p;
    const double l1 = 40.0, l2 = 30.0, m = 12000.0;
    // h = t R / rm^2 = 0.28 x 9 / 3.1725^2 = 0.250379.
    const double k = 1.65 / (0.28 * 9.0 / (3.1725 * 3.1725));
    BendFlexibilityInput in;
    in.outside_diameter = p.od;
    in.thickness = p.t;
    in.radius = R;
    in.piping_code = 3;   // B31.3
    ASSERT_NEAR(bend_flexibility_factor(in), k, 1e-12 * k);

    ElementMatrix leg1, bend, leg2;
    const auto flex = [&](double l) { return pipe_flexibility(l, p.area, p.inertia, p.e, p.g, p.alpha); };
    straight_element_stiffness(flex(l1), l1, leg1);
    straight_element_stiffness(flex(l2), l2, leg2);
    bend_element_stiffness(bend_of(p, R, PI / 2, k), bend);
    LocalAxes along_y;
    along_y.x = {0, 1, 0}, along_y.y = {-1, 0, 0}, along_y.z = {0, 0, 1};
    Structure s(4);
    s.add(1, 2, leg1, LocalAxes{});
    s.add(2, 3, bend, LocalAxes{});
    s.add(3, 4, leg2, along_y);
    s.f[24] = m;   // node 4, moment about Z
    const std::vector<double> u = s.solve_anchored(1);

    const double ei = p.e * p.inertia;
    expect_relative(u[24], m / ei * (l1 + l2 + k * PI * R / 2), 1e-6, "rotation");
    expect_relative(u[19], -m / ei * ((R + l2) * l1 + k * R * (l2 * PI / 2 + R) + l2 * l2 / 2), 1e-6, "ux");
    expect_relative(u[20], m / ei * ((l1 + R) * l1 - l1 * l1 / 2 + k * R * R * (PI / 2 - 1)), 1e-6, "uy");
    EXPECT_NEAR(u[21], 0.0, 1e-12);
}

TEST(BendElement, EndMomentComesBackAtBothEnds)
{
    const Pipe6 p;
    const double theta = 1.1, mz = 5000, my = -3000;   // my about the tangent axes' y at node 2
    ElementMatrix k;
    bend_element_stiffness(bend_of(p, R, theta, 4.0), k);
    const LocalAxes tangent = bend_tangent_axes(LocalAxes{}, theta);
    const double moment[6] = {0, 0, 0, my * tangent.y.x, my * tangent.y.y, mz};
    std::vector<double> u2;
    ElementVector out = cantilever_end_forces(k, ElementVector{}, u2, moment);
    bend_forces_to_tangent_axes(theta, out);
    // A pure moment is the same vector all along the arc; no force anywhere.
    expect_terms(out, {0, 0, 0, 0, moment[3], moment[4], mz, 0, 0, 0, 0, my, mz}, 1e-9 * mz, "end moment");
}

TEST(BendElement, RefusesAZeroFlexibilityFactorRadiusOrAngle)
{
    set_assert_exit_handler([](int code) { throw code; });
    const Pipe6 p;
    ElementMatrix k;
    EXPECT_THROW(bend_element_stiffness(bend_of(p, R, 1.0, 0.0), k), int);
    EXPECT_THROW(bend_element_stiffness(bend_of(p, 0.0, 1.0, 1.0), k), int);
    EXPECT_THROW(bend_element_stiffness(bend_of(p, R, 0.0, 1.0), k), int);
    set_assert_exit_handler({});
}
