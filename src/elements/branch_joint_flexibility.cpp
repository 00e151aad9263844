#include "elements/branch_joint_flexibility.h"

#include "analysis_core/element_assembly.h"
#include "framework/text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The ratio of thicknesses above which the formulas of types 1, 4 and 5 do
// not apply.
constexpr double MAX_THICKNESS_RATIO = 1.2;

// The moment of inertia of a pipe.
double pipe_inertia(double diameter, double thickness)
{
    const double inner = diameter - 2.0 * thickness;
    return std::numbers::pi / 64.0 * (std::pow(diameter, 4) - std::pow(inner, 4));
}

struct Ratios {
    double x, y, z;      // tb/T, R/T, r/R
    double y2;           // R/(tp/2 + T), with the pad thickness tp (type 2)
    double big_r;        // R, the run's mean radius
    double thickness;    // T
};

// a3 z^3 - a2 z^2 + a1 z
double cubic(double z, double a3, double a2, double a1)
{
    return ((a3 * z - a2) * z + a1) * z;
}

void run_factors(const BranchJointNode& node, const Ratios& g, BranchJointFactors& k)
{
    const double x = g.x, y = g.y, z = g.z, y2 = g.y2;
    const double mi = 1.23 * std::pow(x, -0.47) * std::pow(y, 0.47) * std::pow(z, 5.3);
    const double mt = std::pow(x, -0.8) * std::pow(y, 0.78) * std::pow(z, 7.8);
    double kr1 = k.kr1, krt = k.krt;
    bool capped = true;
    switch (node.sif_type) {
    case 1:
    case 4:
        if (x > MAX_THICKNESS_RATIO)
            return;
        kr1 = 0.18 * std::pow(y, 0.8) * std::pow(z, 5);
        krt = 0.08 * std::pow(y, 0.91) * std::pow(z, 5.7);
        break;
    case 2:
        kr1 = 0.21 * std::pow(y2, 0.97) * std::pow(x, -0.65) * std::pow(z, 6.2);
        krt = 0.12 * std::pow(y2, 1.39) * std::pow(z, 8.5) * std::pow(x, -0.74);
        break;
    case 3:
        kr1 = mi;
        krt = mt;
        capped = false;
        break;
    case 5:
        if (x > MAX_THICKNESS_RATIO)
            return;
        kr1 = 0.18 * std::pow(y, 0.84) * std::pow(z, 5);
        krt = 0.1 * std::pow(y, 0.91) * std::pow(z, 5.7);
        break;
    case 6:
        kr1 = 0.5 * std::pow(y, 0.5) * std::pow(z, 5);
        krt = 0.1 * y * std::pow(z, 5.7);
        break;
    default:
        return;
    }
    if (capped) {
        kr1 = std::min(kr1, mi);
        krt = std::min(krt, mt);
    }
    k.kr1 = kr1;
    k.krt = krt;
    k.kr2 = 1.0;
}

void branch_factors(const BranchJointNode& node, const Ratios& g, BranchJointFactors& k)
{
    const double x = g.x, y = g.y, z = g.z, y2 = g.y2;
    const double m1 = std::pow(x, 0.49) * std::pow(y, 0.83) * std::pow(z, -0.2) * cubic(z, 4.0, 6.4, 3.15);
    const double m2 = std::pow(x, 0.6) * std::pow(y, 1.4) * std::pow(z, 0.12) * cubic(z, 1.1, 2.94, 2.05);
    const double mt = 0.95 * std::pow(y, 0.83) * std::pow(z, 5.42);
    double kb1, kb2, kbt;
    bool capped = true;
    switch (node.sif_type) {
    case 1:
    case 4:
        if (x > MAX_THICKNESS_RATIO)
            return;
        kb1 = x * std::pow(y, 0.77) * std::pow(z, 0.47) * cubic(z, 2.7, 4.32, 1.91);
        kb2 = x * std::pow(y, 1.46) * cubic(z, 0.18, 0.49, 0.34);
        kbt = x * std::pow(y, 0.77) * std::pow(z, node.sif_type == 1 ? 1.61 : 1.79) * cubic(z, 1.52, 2.44, 1.08);
        break;
    case 5:
        if (x > MAX_THICKNESS_RATIO)
            return;
        kb1 = x * std::pow(y, 0.77) * std::pow(z, 0.47) * cubic(z, 3.33, 5.33, 2.36);
        kb2 = x * std::pow(y, 1.46) * cubic(z, 0.36, 0.97, 0.67);
        kbt = x * std::pow(y, 0.77) * std::pow(z, 1.61) * cubic(z, 1.49, 2.36, 1.05);
        break;
    case 2:
        kb1 = std::pow(y2, 1.2) * std::pow(x, 0.56) * std::pow(z, 0.33) * cubic(z, 1.62, 2.73, 1.29);
        kb2 = std::pow(z, 0.21) * std::pow(y2, 1.69) * std::pow(x, 0.68) * cubic(z, 0.5, 1.27, 0.84);
        kbt = 1.1 * std::pow(z, 5.42) * std::pow(y2, 0.5);
        break;
    case 3:
        kb1 = m1;
        kb2 = m2;
        kbt = mt;
        capped = false;
        break;
    case 6:
        kb1 = x * y * cubic(z, 0.69, 1.13, 0.55);
        kb2 = x * std::pow(y, 1.4) * std::pow(z, 0.33) * cubic(z, 0.59, 1.55, 1.03);
        kbt = x * y * std::pow(z, 1.2) * cubic(z, 0.46, 0.75, 0.37);
        break;
    default:
        return;
    }
    if (capped) {
        kb1 = std::min(kb1, m1);
        kb2 = std::min(kb2, m2);
        kbt = std::min(kbt, mt);
    }
    if (node.end_count != 0) {
        // Flanges or rigid fittings at the run ends stiffen the branch joint.
        const double s = 2.0 * g.big_r / g.thickness;
        const double n = node.end_count;
        kb1 *= 1.0 - 0.032 * std::pow(s, 0.431) * std::pow(n, 1.345) * std::pow(z, 0.903);
        kb2 *= 1.0 - 0.07 * std::pow(s, 0.44) * std::pow(n, 0.61) * std::pow(z, 0.339);
        kbt *= 1.0 - 0.003 * std::pow(s, 0.548) * std::pow(n, 3.962) * std::pow(z, 0.693);
    }
    k.kb1 = kb1;
    k.kb2 = kb2;
    k.kbt = kbt;
}

}  // namespace

BranchJointFactors branch_joint_factors(const BranchJointNode& node, bool branch)
{
    BranchJointFactors k;
    const double big_r = (node.run_diameter - node.run_thickness) / 2.0;
    const double small_r = (node.branch_diameter - node.branch_thickness) / 2.0;
    if (!node.in_range || node.run_thickness <= 0.0 || node.branch_thickness <= 0.0 || big_r <= 0.0 ||
        small_r <= 0.0)
        return k;
    Ratios g;
    g.x = node.branch_thickness / node.run_thickness;
    g.y = big_r / node.run_thickness;
    g.z = small_r / big_r;
    const double pad = std::min(node.sif_dimension, 1.5 * node.run_thickness);
    g.y2 = big_r / (pad / 2.0 + node.run_thickness);
    g.big_r = big_r;
    g.thickness = node.run_thickness;

    run_factors(node, g, k);
    if (branch)
        branch_factors(node, g, k);
    for (double* factor : {&k.kb1, &k.kb2, &k.kbt, &k.kr1, &k.kr2, &k.krt})
        *factor = std::max(*factor, 1.0);
    return k;
}

namespace {

// Flexibilities below this are a rigid link.
constexpr double RIGID_FLEXIBILITY = 1.0 / RIGID_LINK;

double held(double flexibility)
{
    return std::max(flexibility, RIGID_FLEXIBILITY);
}

}  // namespace

JointSpring branch_leg_spring(const BranchJointNode& node, double modulus)
{
    const BranchJointFactors k = branch_joint_factors(node, true);
    const double d = node.branch_diameter, big_d = node.run_diameter;
    const double branch_term = d / (pipe_inertia(d, node.branch_thickness) * modulus);
    const double run_term = big_d / 2.0 / (pipe_inertia(big_d, node.run_thickness) * node.run_modulus);
    JointSpring s;
    s.torsion = k.kbt > 1.0 ? held(k.kbt * branch_term) : RIGID_FLEXIBILITY;
    s.in_plane = k.kb1 > 1.0 ? held(k.kb1 * branch_term - k.kr1 * run_term) : RIGID_FLEXIBILITY;
    s.out_of_plane = k.kb2 > 1.0 ? held(k.kb2 * branch_term - k.kr2 * run_term) : RIGID_FLEXIBILITY;
    return s;
}

JointSpring run_leg_spring(const BranchJointNode& node, double modulus)
{
    const BranchJointFactors k = branch_joint_factors(node, false);
    const double big_d = node.run_diameter;
    const double run_term = 2.0 * big_d / (pipe_inertia(big_d, node.run_thickness) * modulus);
    JointSpring s;
    s.torsion = k.krt > 1.0 ? held(k.krt * run_term) : RIGID_FLEXIBILITY;
    s.in_plane = k.kr1 > 1.0 ? held(k.kr1 * run_term) : RIGID_FLEXIBILITY;
    s.out_of_plane = k.kr2 > 1.0 ? held(k.kr2 * run_term) : RIGID_FLEXIBILITY;
    return s;
}

bool spring_is_rigid(const JointSpring& s)
{
    return s.in_plane <= RIGID_FLEXIBILITY && s.out_of_plane <= RIGID_FLEXIBILITY && s.torsion <= RIGID_FLEXIBILITY;
}

void join_end_through_spring(ElementMatrix& k, ElementVector& f, int end, const JointSpring& spring,
                             const Vec3& plane_normal, const Vec3& leg_axis)
{
    // The spring's stiffness in local axes: the inverse of its flexibility,
    // which is diagonal in the orthonormal axes n, o, t.
    const Vec3 n = plane_normal, t = leg_axis, o = cross(t, n);
    const Vec3 axes[3] = {n, o, t};
    const double stiffness[3] = {1.0 / held(spring.in_plane), 1.0 / held(spring.out_of_plane),
                                 1.0 / held(spring.torsion)};
    double a[3][3] = {};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int m = 0; m < 3; ++m)
                a[i][j] += stiffness[m] * component(axes[m], i) * component(axes[m], j);

    // The element's rotations at that end become the node's plus the
    // spring's phi: phi's terms are the end's rotation rows and columns of K,
    // its diagonal block with the spring added; then phi is condensed out.
    const int r[3] = {6 * end + 4, 6 * end + 5, 6 * end + 6};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            a[i][j] += k.k[r[i]][r[j]];
    // The inverse of the 3 x 3 block, by its cofactors.
    double inv[3][3];
    const double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                       a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                       a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const int i1 = (j + 1) % 3, i2 = (j + 2) % 3, j1 = (i + 1) % 3, j2 = (i + 2) % 3;
            inv[i][j] = (a[i1][j1] * a[i2][j2] - a[i1][j2] * a[i2][j1]) / det;
        }
    // K' = K - B inv B^T and F' = F - B inv F_phi, with B the end's rotation
    // columns of K.
    double b[13][3];
    for (int i = 1; i <= 12; ++i)
        for (int p = 0; p < 3; ++p)
            b[i][p] = k.k[i][r[p]];
    double fphi[3];
    for (int p = 0; p < 3; ++p)
        fphi[p] = f.f[r[p]];
    for (int i = 1; i <= 12; ++i) {
        double bi[3] = {};
        for (int p = 0; p < 3; ++p)
            for (int q = 0; q < 3; ++q)
                bi[q] += b[i][p] * inv[p][q];
        for (int j = 1; j <= 12; ++j)
            for (int q = 0; q < 3; ++q)
                k.k[i][j] -= bi[q] * b[j][q];
        for (int q = 0; q < 3; ++q)
            f.f[i] -= bi[q] * fphi[q];
    }
}

std::string branch_joint_debug_line(bool branch, int node1, int node2, const JointSpring& s)
{
    return c_format("%s: Node: %d - %d, f[4][4] = %f, f[5][5] = %f, f[6][6] = %f\n", branch ? "Branch" : "Run",
                    node1, node2, 1.0 / held(s.torsion), 1.0 / held(s.in_plane), 1.0 / held(s.out_of_plane));
}
