// Closed forms of the circular arc element. The flexibility terms are the
// complementary energy of the arc under unit loads at node 2 (Castigliano),
// integrated over the arc:
//   N^2/(2EA) + alpha (Vy^2 + Vz^2)/(2GA) + T^2/(2G 2I) + k (My^2 + Mz^2)/(2EI)
// per length R dphi. Per radian of arc the four flexibilities are
//   a = R/(AE), s = alpha R/(2AG), tq = R/(4IG), b = kR/(EI).
#include "elements/bend_element.h"

#include "elements/arc_terms.h"
#include "framework/errors.h"

#include <cmath>
#include <numbers>

namespace {

// Combinations of the arc angle that the closed forms share (S = sin theta,
// C = cos theta, S2 = sin 2 theta, C2 = cos 2 theta).
constexpr ArcTerm TWO_THETA_PLUS_S2_TERMS[] = {arc_power(2, 1, 1), arc_sin(1, 1, 2)};
constexpr ArcTerm TWO_THETA_MINUS_S2_TERMS[] = {arc_power(2, 1, 1), arc_sin(-1, 1, 2)};
constexpr ArcTerm ONE_MINUS_C2_TERMS[] = {arc_power(1, 1, 0), arc_cos(-1, 1, 2)};
constexpr ArcTerm ONE_MINUS_C_TERMS[] = {arc_power(1, 1, 0), arc_cos(-1, 1, 1)};
constexpr ArcTerm THETA_MINUS_S_TERMS[] = {arc_power(1, 1, 1), arc_sin(-1, 1, 1)};
constexpr ArcTerm S_MINUS_THETA_C_TERMS[] = {arc_sin(1, 1, 1), arc_cos(-1, 1, 1, 1)};
constexpr ArcTerm THETA_S_PLUS_C_MINUS_ONE_TERMS[] = {arc_sin(1, 1, 1, 1), arc_cos(1, 1, 1),
                                                     arc_power(-1, 1, 0)};
constexpr ArcTerm TWO_MINUS_2C_MINUS_THETA_S_TERMS[] = {arc_power(2, 1, 0), arc_cos(-2, 1, 1),
                                                       arc_sin(-1, 1, 1, 1)};
// 2 theta (2 + C2) - 3 S2
constexpr ArcTerm F11_BENDING_TERMS[] = {arc_power(4, 1, 1), arc_cos(2, 1, 2, 1), arc_sin(-3, 1, 2)};
// 2 theta S2 + 3 C2 + 1 - 4 C
constexpr ArcTerm F12_BENDING_TERMS[] = {arc_sin(2, 1, 2, 1), arc_cos(3, 1, 2), arc_power(1, 1, 0),
                                         arc_cos(-4, 1, 1)};
// 2 theta (2 - C2) + 3 S2 - 8 S
constexpr ArcTerm F22_BENDING_TERMS[] = {arc_power(4, 1, 1), arc_cos(-2, 1, 2, 1), arc_sin(3, 1, 2),
                                         arc_sin(-8, 1, 1)};
// 6 theta + S2 - 8 S
constexpr ArcTerm F33_TORSION_TERMS[] = {arc_power(6, 1, 1), arc_sin(1, 1, 2), arc_sin(-8, 1, 1)};
// 2 theta^2 - C2 + 1 and 2 theta^2 + C2 - 1
constexpr ArcTerm TWO_THETA2_MINUS_C2_PLUS_ONE_TERMS[] = {arc_power(2, 1, 2), arc_cos(-1, 1, 2),
                                                          arc_power(1, 1, 0)};
constexpr ArcTerm TWO_THETA2_PLUS_C2_MINUS_ONE_TERMS[] = {arc_power(2, 1, 2), arc_cos(1, 1, 2),
                                                          arc_power(-1, 1, 0)};
// 9 C2 + 4 theta S2 + 2 theta^2 + 7 - 16 C
constexpr ArcTerm DXX_BENDING_TERMS[] = {arc_cos(9, 1, 2), arc_sin(4, 1, 2, 1), arc_power(2, 1, 2),
                                         arc_power(7, 1, 0), arc_cos(-16, 1, 1)};
// 8 (C - theta S) + 2 theta^2 + 1 - 9 C2 - 4 theta S2
constexpr ArcTerm DYY_BENDING_TERMS[] = {arc_cos(8, 1, 1),  arc_sin(-8, 1, 1, 1), arc_power(2, 1, 2),
                                         arc_power(1, 1, 0), arc_cos(-9, 1, 2),   arc_sin(-4, 1, 2, 1)};
// 9 S2 - 4 theta (2 C + C2) - 6 theta
constexpr ArcTerm DXY_BENDING_TERMS[] = {arc_sin(9, 1, 2), arc_cos(-8, 1, 1, 1), arc_cos(-4, 1, 2, 1),
                                         arc_power(-6, 1, 1)};
// 9 S2 - 4 theta C2 - 24 S + 10 theta
constexpr ArcTerm DYX_BENDING_TERMS[] = {arc_sin(9, 1, 2), arc_cos(-4, 1, 2, 1), arc_sin(-24, 1, 1),
                                         arc_power(10, 1, 1)};
// 2 S - theta - theta C
constexpr ArcTerm RZY_BENDING_TERMS[] = {arc_sin(2, 1, 1), arc_power(-1, 1, 1), arc_cos(-1, 1, 1, 1)};
// 2 theta^2 + 1 - 4 theta S - C2
constexpr ArcTerm DZZ_TORSION_TERMS[] = {arc_power(2, 1, 2), arc_power(1, 1, 0), arc_sin(-4, 1, 1, 1),
                                         arc_cos(-1, 1, 2)};
// C2 + 3 - 4 C
constexpr ArcTerm DZZ_BENDING_TERMS[] = {arc_cos(1, 1, 2), arc_power(3, 1, 0), arc_cos(-4, 1, 1)};
// (C + 2) theta - 3 S
constexpr ArcTerm RYZ_TORSION_TERMS[] = {arc_cos(1, 1, 1, 1), arc_power(2, 1, 1), arc_sin(-3, 1, 1)};

constexpr ArcFunction TWO_THETA_PLUS_S2{TWO_THETA_PLUS_S2_TERMS};
constexpr ArcFunction TWO_THETA_MINUS_S2{TWO_THETA_MINUS_S2_TERMS};
constexpr ArcFunction ONE_MINUS_C2{ONE_MINUS_C2_TERMS};
constexpr ArcFunction ONE_MINUS_C{ONE_MINUS_C_TERMS};
constexpr ArcFunction THETA_MINUS_S{THETA_MINUS_S_TERMS};
constexpr ArcFunction S_MINUS_THETA_C{S_MINUS_THETA_C_TERMS};
constexpr ArcFunction THETA_S_PLUS_C_MINUS_ONE{THETA_S_PLUS_C_MINUS_ONE_TERMS};
constexpr ArcFunction TWO_MINUS_2C_MINUS_THETA_S{TWO_MINUS_2C_MINUS_THETA_S_TERMS};
constexpr ArcFunction F11_BENDING{F11_BENDING_TERMS};
constexpr ArcFunction F12_BENDING{F12_BENDING_TERMS};
constexpr ArcFunction F22_BENDING{F22_BENDING_TERMS};
constexpr ArcFunction F33_TORSION{F33_TORSION_TERMS};
constexpr ArcFunction TWO_THETA2_MINUS_C2_PLUS_ONE{TWO_THETA2_MINUS_C2_PLUS_ONE_TERMS};
constexpr ArcFunction TWO_THETA2_PLUS_C2_MINUS_ONE{TWO_THETA2_PLUS_C2_MINUS_ONE_TERMS};
constexpr ArcFunction DXX_BENDING{DXX_BENDING_TERMS};
constexpr ArcFunction DYY_BENDING{DYY_BENDING_TERMS};
constexpr ArcFunction DXY_BENDING{DXY_BENDING_TERMS};
constexpr ArcFunction DYX_BENDING{DYX_BENDING_TERMS};
constexpr ArcFunction RZY_BENDING{RZY_BENDING_TERMS};
constexpr ArcFunction DZZ_TORSION{DZZ_TORSION_TERMS};
constexpr ArcFunction DZZ_BENDING{DZZ_BENDING_TERMS};
constexpr ArcFunction RYZ_TORSION{RYZ_TORSION_TERMS};

// The four flexibilities per radian of arc.
struct ArcRates {
    double a, s, tq, b;
};

ArcRates arc_rates(const BendElement& e)
{
    KV_ASSERT(e.radius > 0.0);
    KV_ASSERT(e.angle > 0.0);
    KV_ASSERT(e.flexibility_factor > 0.0);
    KV_ASSERT(e.area > 0.0 && e.inertia > 0.0 && e.modulus > 0.0 && e.shear_modulus > 0.0);
    const double r = e.radius;
    return {r / (e.area * e.modulus), e.shear_coefficient * r / (2.0 * e.area * e.shear_modulus),
            r / (4.0 * e.inertia * e.shear_modulus), e.flexibility_factor * r / (e.modulus * e.inertia)};
}

// Inverts a symmetric positive definite 3-by-3 matrix in place by
// Gauss-Jordan elimination; the arc's blocks need no pivoting.
void invert_positive_3(double m[3][3])
{
    for (int p = 0; p < 3; ++p) {
        const double pivot = m[p][p];
        KV_ASSERT(pivot > 0.0);
        m[p][p] = 1.0;
        for (int j = 0; j < 3; ++j)
            m[p][j] /= pivot;
        for (int i = 0; i < 3; ++i) {
            if (i == p)
                continue;
            const double factor = m[i][p];
            m[i][p] = 0.0;
            for (int j = 0; j < 3; ++j)
                m[i][j] -= factor * m[p][j];
        }
    }
}

// 6-by-6 blocks, 0-based: forces x, y, z, moments x, y, z.
using Block = double[6][6];

// The node-2 block of the stiffness: the inverse of the flexibility, block
// by block.
void node2_stiffness(const ArcFlexibility& flex, Block& k22)
{
    static constexpr int IN_PLANE[3] = {1, 2, 6};
    static constexpr int OUT_OF_PLANE[3] = {3, 4, 5};
    for (auto& row : k22)
        for (double& v : row)
            v = 0.0;
    for (const int* set : {IN_PLANE, OUT_OF_PLANE}) {
        double m[3][3];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                m[i][j] = flex.f[set[i]][set[j]];
        invert_positive_3(m);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                k22[set[i] - 1][set[j] - 1] = m[i][j];
    }
}

// Moves a node-2 load (force and moment, 0-based) to node 1 through the
// chord (dx, dy, 0): the same force, the moment plus the moment of the force
// about node 1.
void transfer_to_node1(const double (&in)[6], double dx, double dy, double (&out)[6])
{
    out[0] = in[0];
    out[1] = in[1];
    out[2] = in[2];
    out[3] = in[3] + dy * in[2];
    out[4] = in[4] - dx * in[2];
    out[5] = in[5] + dx * in[1] - dy * in[0];
}

// The chord offsets of node 2, computed without cancellation.
void chord_offsets(double radius, double angle, double& dx, double& dy)
{
    const double half = std::sin(0.5 * angle);
    dx = radius * std::sin(angle);
    dy = 2.0 * radius * half * half;
}

// Adds the equivalent end loads of a free-end displacement u of node 2
// (1-based, node 1 held) together with a load applied along the arc
// (resultant force and moment about node 1, 0-based; zero for imposed
// strains): node 2 gets K22 u, node 1 the applied load less the node-2 part
// carried back by equilibrium.
void add_end_loads(const ElementMatrix& k, const double (&u)[7], const double (&applied)[6], double dx,
                   double dy, ElementVector& f)
{
    double node2[6];
    for (int i = 0; i < 6; ++i) {
        double sum = 0.0;
        for (int j = 0; j < 6; ++j)
            sum += k.k[7 + i][7 + j] * u[j + 1];
        node2[i] = sum;
    }
    double carried[6];
    transfer_to_node1(node2, dx, dy, carried);
    for (int i = 0; i < 6; ++i) {
        f.f[1 + i] += applied[i] - carried[i];
        f.f[7 + i] += node2[i];
    }
}

// The displacement of node 2 (x, y, z, rotations x, y, z; index 0 unused)
// under a uniform load of 1 per length of arc along local x, y or z
// (direction 0, 1, 2), node 1 held: the unit-load method over the arc.
void bend_unit_load_displacement(const BendElement& e, int direction, double (&u)[7])
{
    const auto [a, s, tq, b] = arc_rates(e);
    const ArcAngle t(e.angle);
    const double theta = e.angle;
    const double r = e.radius;
    const double r2 = r * r;
    const double r3 = r2 * r;
    for (double& v : u)
        v = 0.0;
    switch (direction) {
    case 0:   // uniform load along local x
        u[1] = a * r * TWO_THETA2_MINUS_C2_PLUS_ONE(t) / 8.0 + s * r * TWO_THETA2_PLUS_C2_MINUS_ONE(t) / 4.0 +
               b * r3 * DXX_BENDING(t) / 8.0;
        u[2] = TWO_THETA_MINUS_S2(t) * (a * r / 8.0 - s * r / 4.0) + b * r3 * DYX_BENDING(t) / 8.0;
        u[6] = -TWO_MINUS_2C_MINUS_THETA_S(t) * b * r2;
        break;
    case 1:   // along local y
        u[1] = TWO_THETA_MINUS_S2(t) * (a * r / 8.0 - s * r / 4.0) + b * r3 * DXY_BENDING(t) / 8.0;
        u[2] = a * r * TWO_THETA2_PLUS_C2_MINUS_ONE(t) / 8.0 + s * r * TWO_THETA2_MINUS_C2_PLUS_ONE(t) / 4.0 +
               b * r3 * DYY_BENDING(t) / 8.0;
        u[6] = RZY_BENDING(t) * b * r2;
        break;
    default:  // along local z
        u[3] = theta * theta * s * r + tq * r3 * DZZ_TORSION(t) / 2.0 + b * r3 * DZZ_BENDING(t) / 4.0;
        u[4] = TWO_MINUS_2C_MINUS_THETA_S(t) * (b * r2 / 2.0 + tq * r2);
        u[5] = RYZ_TORSION(t) * tq * r2 - S_MINUS_THETA_C(t) * b * r2 / 2.0;
        break;
    }
}

}  // namespace

ArcFlexibility bend_arc_flexibility(const BendElement& e)
{
    const auto [a, s, tq, b] = arc_rates(e);
    const ArcAngle t(e.angle);
    const double theta = e.angle;
    const double r = e.radius;
    const double r2 = r * r;

    ArcFlexibility out;
    double(&f)[7][7] = out.f;
    const double plus = TWO_THETA_PLUS_S2(t);
    const double minus = TWO_THETA_MINUS_S2(t);
    const double one_minus_c2 = ONE_MINUS_C2(t);
    const double s_minus_theta_c = S_MINUS_THETA_C(t);

    f[1][1] = a * plus / 4.0 + s * minus / 2.0 + b * r2 * F11_BENDING(t) / 4.0;
    f[1][2] = a * one_minus_c2 / 4.0 - s * one_minus_c2 / 2.0 + b * r2 * F12_BENDING(t) / 4.0;
    f[1][6] = -s_minus_theta_c * b * r;
    f[2][2] = a * minus / 4.0 + s * plus / 2.0 + b * r2 * F22_BENDING(t) / 4.0;
    f[2][6] = THETA_S_PLUS_C_MINUS_ONE(t) * b * r;
    f[6][6] = theta * b;
    f[3][3] = 2.0 * theta * s + tq * r2 * F33_TORSION(t) / 2.0 + b * r2 * minus / 4.0;
    f[3][4] = s_minus_theta_c * (tq * r + b * r / 2.0);
    f[3][5] = TWO_MINUS_2C_MINUS_THETA_S(t) * tq * r - theta * t.s1 * b * r / 2.0;
    f[4][4] = tq * plus / 2.0 + b * minus / 4.0;
    f[4][5] = one_minus_c2 * (tq / 2.0 - b / 4.0);
    f[5][5] = tq * minus / 2.0 + b * plus / 4.0;
    for (int i = 1; i <= 6; ++i)
        for (int j = 1; j < i; ++j)
            f[i][j] = f[j][i];
    return out;
}

void bend_element_stiffness(const BendElement& e, ElementMatrix& k)
{
    k.clear();
    Block k22;
    node2_stiffness(bend_arc_flexibility(e), k22);
    double dx, dy;
    chord_offsets(e.radius, e.angle, dx, dy);

    // T K22: each column of K22 moved to node 1.
    Block tk;
    for (int j = 0; j < 6; ++j) {
        double column[6], moved[6];
        for (int i = 0; i < 6; ++i)
            column[i] = k22[i][j];
        transfer_to_node1(column, dx, dy, moved);
        for (int i = 0; i < 6; ++i)
            tk[i][j] = moved[i];
    }
    // K11 = T K22 T^T: the rows of T K22 moved to node 1 again.
    for (int i = 0; i < 6; ++i) {
        double row[6], moved[6];
        for (int j = 0; j < 6; ++j)
            row[j] = tk[i][j];
        transfer_to_node1(row, dx, dy, moved);
        for (int j = 0; j < 6; ++j)
            k.k[1 + i][1 + j] = moved[j];
    }
    for (int i = 0; i < 6; ++i) {
        for (int j = 0; j < 6; ++j) {
            k.k[7 + i][7 + j] = k22[i][j];
            k.k[1 + i][7 + j] = -tk[i][j];
            k.k[7 + j][1 + i] = -tk[i][j];
        }
    }
    // Symmetric by construction; average the rounding of the two halves.
    for (int i = 1; i <= 12; ++i)
        for (int j = i + 1; j <= 12; ++j)
            k.set_symmetric(i, j, 0.5 * (k.k[i][j] + k.k[j][i]));
}

void bend_element_loads(const BendElement& e, const LocalAxes& axes, const ElementMatrix& k,
                        const ElementLoadStep& step, const ElementLoadOptions& options, ElementVector& f)
{
    f.clear();
    if (step.modal)
        return;
    const ArcAngle t(e.angle);
    const double theta = e.angle;
    const double r = e.radius;
    double dx, dy;
    chord_offsets(r, theta, dx, dy);

    // Distributed load per length of arc, local components.
    Vec3 q;
    if (step.weight) {
        const Vec3 up = global_axis_in_local(axes, vertical_axis(options));
        q.x -= e.weight * up.x;
        q.y -= e.weight * up.y;
        q.z -= e.weight * up.z;
    }
    if (step.seismic_g) {
        const double g[3] = {step.g.x, step.g.y, step.g.z};
        for (int axis = 0; axis < 3; ++axis) {
            if (g[axis] == 0.0)
                continue;
            const Vec3 u = global_axis_in_local(axes, axis);
            q.x += g[axis] * e.weight * u.x;
            q.y += g[axis] * e.weight * u.y;
            q.z += g[axis] * e.weight * u.z;
        }
    }
    if (q.x != 0.0 || q.y != 0.0 || q.z != 0.0) {
        double u[7] = {};
        const double load[3] = {q.x, q.y, q.z};
        for (int direction = 0; direction < 3; ++direction) {
            if (load[direction] == 0.0)
                continue;
            double unit[7];
            bend_unit_load_displacement(e, direction, unit);
            for (int i = 1; i <= 6; ++i)
                u[i] += load[direction] * unit[i];
        }
        // The load's resultant and its moment about node 1: the arc's points
        // lie at R (sin phi, 1 - cos phi, 0) from node 1.
        const double length = r * theta;
        const double arm_x = r * r * THETA_MINUS_S(t);   // integral of R (1 - cos phi) R dphi
        const double arm_y = r * r * ONE_MINUS_C(t);     // integral of R sin phi R dphi
        const double applied[6] = {q.x * length, q.y * length, q.z * length,
                                   q.z * arm_x,  -q.z * arm_y, q.y * arm_y - q.x * arm_x};
        add_end_loads(k, u, applied, dx, dy, f);
    }

    static constexpr double NONE[6] = {};
    if (step.temperature) {
        // The arc grows uniformly: node 2 moves along the chord.
        const double strain = (e.temperature - options.reference_temperature) * e.expansion;
        const double u[7] = {0.0, strain * dx, strain * dy, 0.0, 0.0, 0.0, 0.0};
        add_end_loads(k, u, NONE, dx, dy, f);
    }
    if (bourdon_in_step(step, options) && e.pressure != 0.0) {
        // Pressure lengthens the arc (ea: axial strain times R) and opens it
        // (dphi: change of the arc angle, from a uniform change of curvature).
        KV_ASSERT(e.thickness > 0.0);
        const double rm = 0.5 * (e.outside_diameter - e.thickness);
        const double nu = e.poisson;
        const double opening = e.pressure * std::numbers::pi * std::pow(rm, 4) / (2.0 * e.modulus * e.inertia) *
                               ((1.5 * nu + 3.0) * rm * rm / (r * r) + 2.0 - 2.0 * nu);
        const double dphi = -theta * opening;
        const double ea = (1.0 - 2.0 * nu) * e.pressure * r * rm / (2.0 * e.modulus * e.thickness);
        const double c = r * opening;   // -R dphi / theta
        const double u[7] = {0.0,
                             t.s1 * ea + S_MINUS_THETA_C(t) * c,
                             ONE_MINUS_C(t) * ea - THETA_S_PLUS_C_MINUS_ONE(t) * c,
                             0.0,
                             0.0,
                             0.0,
                             dphi};
        add_end_loads(k, u, NONE, dx, dy, f);
    }
}

double bend_element_mass(const BendElement& e)
{
    return e.weight * e.radius * e.angle * 0.5 / GRAVITY;
}

Vec3 bend_chord(double radius, double angle)
{
    double dx, dy;
    chord_offsets(radius, angle, dx, dy);
    return {dx, dy, 0.0};
}

LocalAxes bend_tangent_axes(const LocalAxes& axes, double angle)
{
    const double s = std::sin(angle), c = std::cos(angle);
    LocalAxes out;
    out.x = {c * axes.x.x + s * axes.y.x, c * axes.x.y + s * axes.y.y, c * axes.x.z + s * axes.y.z};
    out.y = {-s * axes.x.x + c * axes.y.x, -s * axes.x.y + c * axes.y.y, -s * axes.x.z + c * axes.y.z};
    out.z = axes.z;
    return out;
}

void bend_forces_to_tangent_axes(double angle, ElementVector& forces)
{
    const double s = std::sin(angle), c = std::cos(angle);
    for (int base : {7, 10}) {
        const double x = forces.f[base], y = forces.f[base + 1];
        forces.f[base] = c * x + s * y;
        forces.f[base + 1] = -s * x + c * y;
    }
}

double bend_wind_area(double exposed_diameter, double radius, double angle)
{
    return exposed_diameter * 2.0 * radius * std::sin(0.5 * angle);
}
