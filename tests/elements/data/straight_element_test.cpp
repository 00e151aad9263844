// The straight element against the textbook Timoshenko beam, the stiffness
// of its special kinds, and its load, mass, wind and valve-weight terms
// against hand calculations.
#include "element_test_support.h"

#include "elements/straight_element.h"

using namespace element_test;

namespace {

// The 12 x 12 stiffness of a space frame member with shear deformation
// (Przemieniecki, Theory of Matrix Structural Analysis, eq. 5.120) for a
// tube: Iy = Iz = I, J = 2I, shear area A/alpha in both planes, so that
// phi = 12 E I alpha / (G A L^2).
ElementMatrix przemieniecki(const Pipe6& p, double l)
{
    const double phi = 12 * p.e * p.inertia * p.alpha / (p.g * p.area * l * l);
    const double ei = p.e * p.inertia / (1 + phi);
    const double axial = p.e * p.area / l, torsion = p.g * 2 * p.inertia / l;
    const double t = 12 * ei / (l * l * l), c = 6 * ei / (l * l);
    const double near = (4 + phi) * ei / l, far = (2 - phi) * ei / l;
    ElementMatrix k;
    auto set = [&](int i, int j, double v) { k.set_symmetric(i, j, v); };
    set(1, 1, axial), set(7, 7, axial), set(1, 7, -axial);
    set(4, 4, torsion), set(10, 10, torsion), set(4, 10, -torsion);
    // Plane x-y: v with theta z.
    set(2, 2, t), set(8, 8, t), set(2, 8, -t);
    set(2, 6, c), set(2, 12, c), set(6, 8, -c), set(8, 12, -c);
    set(6, 6, near), set(12, 12, near), set(6, 12, far);
    // Plane x-z: w with theta y (opposite coupling signs).
    set(3, 3, t), set(9, 9, t), set(3, 9, -t);
    set(3, 5, -c), set(3, 11, -c), set(5, 9, c), set(9, 11, c);
    set(5, 5, near), set(11, 11, near), set(5, 11, far);
    return k;
}

void expect_matrix(const ElementMatrix& a, const ElementMatrix& b, double rel, const char* what)
{
    for (int i = 1; i <= 12; ++i)
        for (int j = 1; j <= 12; ++j)
            EXPECT_NEAR(a.k[i][j], b.k[i][j], rel * std::sqrt(std::fabs(b.k[i][i] * b.k[j][j])))
                << what << " " << i << "," << j;
}

ElementMatrix stiffness(const StraightFlexibility& f, double l)
{
    ElementMatrix k;
    straight_element_stiffness(f, l, k);
    return k;
}

}  // namespace

TEST(StraightElement, StiffnessOfEachKind)
{
    const Pipe6 p;
    // A long pipe and a short one, where shear deformation matters.
    for (double l : {120.0, 5.0}) {
        const ElementMatrix k = stiffness(pipe_flexibility(l, p.area, p.inertia, p.e, p.g, p.alpha), l);
        expect_matrix(k, przemieniecki(p, l), 1e-9, "Timoshenko");
    }
    // A zero length counts as 1e-8 in the flexibility as in the stiffness:
    // finite, and the same as that length.
    const ElementMatrix zero = stiffness(pipe_flexibility(0, p.area, p.inertia, p.e, p.g, p.alpha), 0);
    expect_matrix(zero, stiffness(pipe_flexibility(1e-8, p.area, p.inertia, p.e, p.g, p.alpha), 1e-8), 1e-12,
                  "zero length");
    for (int i = 1; i <= 12; ++i)
        EXPECT_TRUE(std::isfinite(zero.k[i][i]) && zero.k[i][i] > 0);

    // Rigid: 1.0e12 axially and in torsion.
    const ElementMatrix rigid = stiffness(rigid_flexibility(), 10);
    EXPECT_DOUBLE_EQ(rigid.k[1][1], 1e12);
    EXPECT_DOUBLE_EQ(rigid.k[4][4], 1e12);
    EXPECT_DOUBLE_EQ(rigid.k[1][7], -1e12);
    // A bellows without rates: 0.0001 in every direction.
    const ElementMatrix bellows = stiffness(bellows_flexibility(0, 0, 0, 0), 0);
    for (int i = 1; i <= 12; ++i)
        EXPECT_NEAR(bellows.k[i][i], 1e-4, 1e-10) << i;
    EXPECT_NEAR(stiffness(bellows_flexibility(500, 300, 2000, 7000), 0).k[2][2], 300.0001, 1e-6);
    // A slip joint: its axial and torsional stiffnesses, rigid in bending.
    const ElementMatrix slip = stiffness(slip_joint_flexibility(40, 25), 12);
    EXPECT_DOUBLE_EQ(slip.k[1][1], 40);
    EXPECT_DOUBLE_EQ(slip.k[10][10], 25);
    EXPECT_NEAR(slip.k[6][6], 4e12, 1e3);   // a rigid rotation spring: 4 EI/L with EI/L = 1e12
}

TEST(StraightElement, LoadVectorTerms)
{
    const Pipe6 p;
    ElementMatrix k;
    StraightElement e = pipe_element(p, k);
    const double l = e.length, axial = p.e * p.area / l;
    ElementLoadOptions options;   // reference temperature 70 degF
    ElementLoadStep weight, hot, cold, seismic;
    weight.weight = true;
    hot.temperature = true;
    cold.weight = cold.cold_spring = true;
    seismic.seismic_g = true;
    seismic.g = {0.3, 0, 0.2};
    ElementVector f;
    auto loads = [&](const ElementLoadStep& step, const LocalAxes& axes = {}) {
        straight_element_loads(e, axes, k, step, options, f);
        return f;
    };

    // Weight of a pipe sloping 3 in 4 (axis (0.6, 0.8, 0)), Y vertical: its
    // local axes give global Y the components (0.8, 0.6, 0), so each end
    // takes -wL/2 (0.8, 0.6) = (-60, -45) and the moments +-L (-45)/6.
    LocalAxes sloped;
    sloped.x = {0.6, 0.8, 0};
    complete_local_axes(sloped, false);
    expect_terms(loads(weight, sloped), {0, -60, -45, 0, 0, 0, -750, -60, -45, 0, 0, 0, 750}, 1e-9, "weight");
    // Seismic 0.3 g along X and 0.2 g along Z on a pipe along X: the ends
    // take 0.3 wL/2 = 22.5 axially and 0.2 wL/2 = 15 along z, with the
    // fixed-end moments -+15 L/6 = -+250 about y.
    expect_terms(loads(seismic), {0, 22.5, 0, 15, 0, -250, 0, 22.5, 0, 15, 0, 250, 0}, 1e-9, "seismic");
    ElementLoadStep modal = weight;
    modal.modal = true;
    expect_terms(loads(modal), {}, 0, "modal");
    e.weight = 0;

    // Temperature: the blocked expansion E A alpha (T - 70) pushes the ends
    // apart. Bourdon: the strain r (1 - 2 nu) P / (2 E t), r = (OD - t)/2, in
    // the temperature steps, or with ZEDIRUVI in the weight steps.
    const double thermal = p.e * p.area * 6.5e-6 * 400;
    const double bourdon = axial * l * 3.1725 * 0.4 * 1000 / (2 * p.e * 0.28);
    EXPECT_NEAR(loads(hot).f[7], thermal, 1e-9 * thermal);
    EXPECT_NEAR(f.f[1], -thermal, 1e-9 * thermal);
    options.bourdon_effect = true;
    EXPECT_NEAR(loads(hot).f[7], thermal + bourdon, 1e-9 * thermal);
    EXPECT_NEAR(f.f[1], -thermal - bourdon, 1e-9 * thermal);
    EXPECT_EQ(loads(weight).f[7], 0.0);
    options.bourdon_with_weight = true;
    EXPECT_NEAR(loads(weight).f[7], bourdon, 1e-9 * bourdon);
    EXPECT_NEAR(loads(hot).f[7], thermal, 1e-9 * thermal);
    // Only pipes, jacketed pipes and reducers take it; slip joints do not expand.
    e.bourdon = e.thermal = false;
    EXPECT_EQ(loads(hot).f[7], 0.0);
    options = ElementLoadOptions{};

    // Cold spring: a cut of 0.5 in is closed by pulling the ends together,
    // in cold-spring steps only.
    e.cut = 0.5;
    EXPECT_EQ(loads(weight).f[7], 0.0);
    EXPECT_NEAR(loads(cold).f[7], -0.5 * axial, 1e-9 * axial);
    EXPECT_NEAR(f.f[1], 0.5 * axial, 1e-9 * axial);
    e.cut = 0;
    // Pressure thrust of a bellows: P A along the axis, outwards.
    e.thrust_area = 50;
    expect_terms(loads(weight), {0, -50000, 0, 0, 0, 0, 0, 50000, 0, 0, 0, 0, 0}, 0, "thrust");
}

TEST(StraightElement, MassWindValveWeightAndSlipFriction)
{
    EXPECT_DOUBLE_EQ(straight_element_mass(1.5, 100), 75 / 386.4);

    // Wind of 0.2 psi along X on a pipe along (0.6, 0.8, 0), 6.625 in with
    // 2 in of insulation, 100 in long: area 100 (6.625 + 4) = 1062.5 in2;
    // the normal part of the direction is (1, 0, 0) - 0.6 (0.6, 0.8, 0) =
    // (0.64, -0.48, 0); each node takes 0.2 * 1062.5 / 2 times that. A valve
    // with 1.75 times the insulation adds 2 (0.75) 2 in over its length.
    EXPECT_DOUBLE_EQ(straight_wind_area(100, 6.625, 2), 1062.5);
    EXPECT_DOUBLE_EQ(straight_wind_area(100, 6.625, 2, 1.75), 1362.5);
    const Vec3 wind = wind_node_force(0.2, 1062.5, {0.6, 0.8, 0}, {1, 0, 0});
    EXPECT_NEAR(wind.x, 68.0, 1e-12);
    EXPECT_NEAR(wind.y, -51.0, 1e-12);
    EXPECT_EQ(wind.z, 0.0);

    // A 400 lb operator at `offset` from the middle of a 20 in valve along X.
    ElementLoadOptions options;
    auto valve = [&](const ElementLoadStep& step, const Vec3& offset) {
        ElementVector v;
        valve_added_weight_loads(400, offset, {0, 0, 0}, {20, 0, 0}, step, options, v);
        return v;
    };
    ElementLoadStep weight, seismic, modal;
    weight.weight = true;
    seismic.seismic_g = true;
    seismic.g = {0.5, 0, 0};
    modal.modal = true;
    // Y vertical, 10 in up: each node carries -200 lb with the levers
    // (10, 10, 0) and (-10, 10, 0), so Mz = -2000 and +2000.
    expect_terms(valve(weight, {0, 10, 0}), {0, 0, -200, 0, 0, 0, -2000, 0, -200, 0, 0, 0, 2000}, 1e-9, "Y up");
    // Seismic 0.5 g along X: 100 lb along X, Mz = -g dy W/2 = -1000 at both.
    expect_terms(valve(seismic, {0, 10, 0}), {0, 100, 0, 0, 0, 0, -1000, 100, 0, 0, 0, 0, -1000}, 1e-9, "seismic");
    const double m = 200 / 386.4;
    expect_terms(valve(modal, {0, 10, 0}), {0, m, m, m, 0, 0, 0, m, m, m, 0, 0, 0}, 1e-15, "modal");
    // Z vertical, offset (0, 5, 10): Mx = -dy W/2 = -1000, My = dx W/2 = +-2000.
    options.z_vertical = true;
    expect_terms(valve(weight, {0, 5, 10}), {0, 0, 0, -200, -1000, 2000, 0, 0, 0, -200, -1000, -2000, 0}, 1e-9, "Z up");

    // Slip joint: friction 100 against a force of 400 through the joint gives
    // the secant 400 k / 300; a force below the friction sticks rigidly.
    EXPECT_DOUBLE_EQ(slip_joint_secant_stiffness(1.0, -400, 100), 4.0 / 3.0);
    EXPECT_DOUBLE_EQ(slip_joint_secant_stiffness(1.0, 40, 100), 1e12);
    ElementVector g;
    slip_joint_friction_loads({0.6, 0.8, 0}, 50, 20, g);
    expect_terms(g, {0, -30, -40, 0, -12, -16, 0, 30, 40, 0, 12, 16, 0}, 1e-12, "friction");
    remove_slip_joint_friction(50, 20, g);
    EXPECT_DOUBLE_EQ(g.f[1], -80);
    EXPECT_DOUBLE_EQ(g.f[10], 32);
}
