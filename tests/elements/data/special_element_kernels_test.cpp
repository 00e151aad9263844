// The kernels of beams, joints, elastic elements and tie rods: the beam's
// Timoshenko matrix against one built here from the flexibility of a
// cantilever, the condensation of releases, the beam temperature of each
// load case, the joints' spring rule, the elastic element's axes and rates
// and its matrix against the energy of its springs, the tie rod's states.
#include "element_test_support.h"
#include "elements/beam.h"
#include "elements/beam_stiffness.h"
#include "elements/bellows.h"
#include "elements/elastic_element.h"
#include "elements/joint_analysis.h"
#include "elements/tie_rod.h"

#include <numbers>

using namespace element_test;

namespace {

// A member of 80 in: E 29e6, G 11.2e6, A 12, J 2, Iy 90, Iz 250, shear
// areas 5 (along y) and 7 (along z).
BeamProperties member()
{
    BeamProperties p;
    p.length = 80;
    p.modulus = 29.0e6;
    p.shear_modulus = 11.2e6;
    p.area = 12;
    p.torsion = 2;
    p.iy = 90;
    p.iz = 250;
    p.asy = 5;
    p.asz = 7;
    return p;
}

// The stiffness from first principles: node 2's flexibility as a
// cantilever held at node 1 (bending L^3/3EI + shear L/(G As), the
// rotations L/EI and their couplings L^2/2EI (no shear term without a
// shear area), with the signs of the local
// axes: +Fy turns about +z, +Fz about -y), inverted for node 2's block, and
// the whole matrix from the deformation d = u2 - R u1 (R the rigid motion
// of node 1 carried to node 2: t2 = t1 + theta1 x (L, 0, 0)) as B^T K22 B.
Dense independent_matrix(const BeamProperties& p)
{
    const double l = p.length, e = p.modulus, g = p.shear_modulus;
    Dense f(6, std::vector<double>(6));
    f[0][0] = l / (e * p.area);
    f[3][3] = l / (g * p.torsion);
    f[1][1] = l * l * l / (3 * e * p.iz) + (p.asy > 0 ? l / (g * p.asy) : 0.0);
    f[1][5] = f[5][1] = l * l / (2 * e * p.iz);
    f[5][5] = l / (e * p.iz);
    f[2][2] = l * l * l / (3 * e * p.iy) + (p.asz > 0 ? l / (g * p.asz) : 0.0);
    f[2][4] = f[4][2] = -l * l / (2 * e * p.iy);
    f[4][4] = l / (e * p.iy);
    // Node 2's block: the inverse of f, column by column.
    Dense k22(6, std::vector<double>(6));
    for (int c = 0; c < 6; ++c) {
        std::vector<double> unit(6);
        unit[static_cast<size_t>(c)] = 1;
        const std::vector<double> x = solve(f, unit);
        for (int r = 0; r < 6; ++r)
            k22[static_cast<size_t>(r)][static_cast<size_t>(c)] = x[static_cast<size_t>(r)];
    }
    // B = [-R, I], R = [[I, S], [0, I]] with S theta = theta x (L, 0, 0).
    Dense b(6, std::vector<double>(12));
    for (int i = 0; i < 6; ++i) {
        b[static_cast<size_t>(i)][static_cast<size_t>(i)] = -1;
        b[static_cast<size_t>(i)][static_cast<size_t>(i + 6)] = 1;
    }
    b[1][5] = -l;   // y: + theta_z L
    b[2][4] = l;    // z: - theta_y L
    Dense k(12, std::vector<double>(12));
    for (int i = 0; i < 12; ++i)
        for (int j = 0; j < 12; ++j)
            for (int m = 0; m < 6; ++m)
                for (int n = 0; n < 6; ++n)
                    k[static_cast<size_t>(i)][static_cast<size_t>(j)] +=
                        b[static_cast<size_t>(m)][static_cast<size_t>(i)] * k22[static_cast<size_t>(m)][static_cast<size_t>(n)] *
                        b[static_cast<size_t>(n)][static_cast<size_t>(j)];
    return k;
}

double largest_term(const ElementMatrix& k)
{
    double most = 0;
    for (int i = 1; i <= 12; ++i)
        for (int j = 1; j <= 12; ++j)
            most = std::max(most, std::fabs(k.k[i][j]));
    return most;
}

}  // namespace

TEST(BeamKernel, TimoshenkoMatrixEqualsTheInvertedCantileverFlexibility)
{
    for (bool shear : {true, false}) {
        BeamProperties p = member();
        if (!shear)
            p.asy = p.asz = 0;   // Euler-Bernoulli
        ElementMatrix k;
        beam_local_stiffness(p, k);
        const Dense expected = independent_matrix(p);
        const double scale = largest_term(k);
        for (int i = 1; i <= 12; ++i)
            for (int j = 1; j <= 12; ++j)
                EXPECT_NEAR(k.k[i][j], expected[static_cast<size_t>(i - 1)][static_cast<size_t>(j - 1)], 1e-9 * scale)
                    << i << "," << j << (shear ? " shear" : " no shear");
    }
}

TEST(BeamKernel, ReleasesAreCondensedFromSavedCopies)
{
    // A propped cantilever (node 1 pinned about z: direction 6 released)
    // under a uniform load q down local y: the condensed load vector holds
    // the fixed-end forces of a fixed-pinned beam (Roark): 3qL/8 at the pin,
    // 5qL/8 and q L^2 / 8 at the fixed end; row and column 6 are zero.
    BeamProperties p = member();
    p.asy = p.asz = 0;
    ElementMatrix k;
    beam_local_stiffness(p, k);
    ElementMatrix full = k;
    ElementVector f;
    const double q = 3.0, l = p.length;
    LocalAxes axes;
    ElementLoadStep step;
    step.weight = true;
    ElementLoadOptions options;   // Y vertical: the load along -y
    beam_loads(p, {q, 0, 0}, axes, step, options, f);
    BeamReleaseSet released{};
    released[6] = true;
    condense_beam_releases(released, full, &f);
    condense_beam_releases(released, k);
    EXPECT_NEAR(f.f[6], 0.0, 1e-9);
    EXPECT_NEAR(f.f[2], -3 * q * l / 8, 1e-9);
    EXPECT_NEAR(f.f[8], -5 * q * l / 8, 1e-9);
    EXPECT_NEAR(f.f[12], q * l * l / 8, 1e-7);
    for (int i = 1; i <= 12; ++i) {
        EXPECT_EQ(k.k[6][i], 0.0);
        EXPECT_EQ(k.k[i][6], 0.0);
        EXPECT_DOUBLE_EQ(k.k[i][i], full.k[i][i]);
    }
    // The condensed stiffness of node 2's deflection: 3EI/L^3, the
    // propped cantilever's tip stiffness.
    EXPECT_NEAR(k.k[8][8], 3 * p.modulus * p.iz / (l * l * l), 1e-9 * k.k[8][8]);

    // Both ends released about y: no stiffness left along z (a mechanism
    // in that plane), none about y at either end.
    beam_local_stiffness(p, k);
    released = {};
    released[5] = released[11] = true;
    condense_beam_releases(released, k);
    const double scale = largest_term(k);
    for (int i : {3, 5, 9, 11})
        for (int j = 1; j <= 12; ++j)
            EXPECT_NEAR(k.k[i][j], 0.0, 1e-12 * scale) << i << "," << j;
    // Axial and the other plane untouched.
    EXPECT_DOUBLE_EQ(k.k[1][1], p.modulus * p.area / l);
    EXPECT_DOUBLE_EQ(k.k[2][2], 12 * p.modulus * p.iz / (l * l * l));
}

TEST(BeamKernel, ReleaseDirectionsAndBetaFollowTheVerticalAxis)
{
    // Z vertical: major bending about local y (5), major shear along z (3).
    EXPECT_EQ(beam_release_direction(BEAM_MAJOR_BENDING, true), 5);
    EXPECT_EQ(beam_release_direction(BEAM_MAJOR_SHEAR, true), 3);
    EXPECT_EQ(beam_release_direction(BEAM_MINOR_BENDING, true), 6);
    EXPECT_EQ(beam_release_direction(BEAM_MAJOR_BENDING, false), 6);
    EXPECT_EQ(beam_release_direction(BEAM_MINOR_SHEAR, false), 3);
    EXPECT_EQ(beam_release_direction(BEAM_TORSION, false), 4);
    // A member along X, Z vertical: local y = Y, z = Z; beta 90 degrees turns
    // y onto Z and z onto -Y.
    const LocalAxes a = beam_axes({0, 0, 0}, {10, 0, 0}, std::numbers::pi / 2, true);
    EXPECT_NEAR(a.y.z, 1.0, 1e-12);
    EXPECT_NEAR(a.z.y, -1.0, 1e-12);
    EXPECT_NEAR(a.x.x, 1.0, 1e-12);
    // The table columns of the flags: From and To of a kind side by side.
    EXPECT_EQ(beam_release_column(BEAM_AXIAL), 4);
    EXPECT_EQ(beam_release_column(BEAM_RELEASES_PER_END + BEAM_AXIAL), 5);
    EXPECT_EQ(beam_release_column(BEAM_MINOR_SHEAR), 14);
    EXPECT_EQ(beam_release_column(BEAM_RELEASE_COUNT - 1), 15);
}

TEST(BeamKernel, TemperatureOfEachLoadCase)
{
    const std::pair<int, int> table[] = {{2, 1},   {8, 1},   {32, 1},  {38, 1},  {3, 2},   {39, 2},  {4, 3},
                                         {40, 3},  {51, 4},  {100, 4}, {110, 4}, {117, 4}, {57, 10}, {106, 10},
                                         {116, 10}, {123, 10}, {54, 7}, {1, 0},   {13, 0},  {30, 0},  {41, 0},
                                         {50, 0},  {107, 0}, {125, 0}, {127, 0}};
    for (const auto& [code, set] : table)
        EXPECT_EQ(beam_temperature_set(code), set) << code;
    // Codes that no step assembles have no beam temperature (the run turns
    // that into a message).
    for (int code : {0, 5, 6, 7, 18, 24, 25, 29, 58, 99, 128, -3})
        EXPECT_EQ(beam_temperature_set(code), -1) << code;
}

TEST(BeamKernel, ThermalAndSeismicLoads)
{
    // Temperature: P = dT alpha E A pushes the ends apart; seismic 0.5 g
    // along global X on a member along X: 0.5 w L / 2 at each end, axially.
    const BeamProperties p = member();
    LocalAxes axes;
    ElementLoadStep step;
    step.temperature = true;
    step.seismic_g = true;
    step.g = {0.5, 0, 0};
    ElementVector f;
    beam_loads(p, {2.0, 100.0, 6.5e-6}, axes, step, {}, f);
    const double thermal = 100.0 * 6.5e-6 * p.modulus * p.area;
    EXPECT_NEAR(f.f[1], -thermal + 0.5 * 2.0 * p.length / 2, 1e-6);
    EXPECT_NEAR(f.f[7], thermal + 0.5 * 2.0 * p.length / 2, 1e-6);
    for (int i : {2, 3, 5, 6, 8, 9, 11, 12})
        EXPECT_EQ(f.f[i], 0.0);
}

TEST(JointKernel, SpringRule)
{
    SpringInput in;
    in.stiffness = 1000;
    in.limit = 0.2;
    in.friction = 50;
    // Sticking: M below F with a friction moment; rigid when it has not
    // turned, else c F / |theta|.
    EXPECT_EQ(spring_stiffness_after(in, 1e-7, 30, -30, BALL_STICKING_FACTOR), JOINT_RIGID);
    EXPECT_DOUBLE_EQ(spring_stiffness_after(in, -0.01, 30, -30, BALL_STICKING_FACTOR), 2 * 50 / 0.01);
    EXPECT_DOUBLE_EQ(spring_stiffness_after(in, 0.01, 30, -30, HINGE_STICKING_FACTOR), 1.01 * 50 / 0.01);
    // Sliding within the limit: k.
    EXPECT_EQ(spring_stiffness_after(in, 0.1, 120, -50, BALL_STICKING_FACTOR), 1000.0);
    // Beyond k L + F = 250: the secant (M - F) / L.
    EXPECT_DOUBLE_EQ(spring_stiffness_after(in, 0.5, 400, -50, BALL_STICKING_FACTOR), (400 - 50) / 0.2);
    // The operating secant M k / (M - F), rigid at or below the friction.
    EXPECT_DOUBLE_EQ(spring_operating_stiffness(1000, -200, 50), 200 * 1000 / 150.0);
    EXPECT_EQ(spring_operating_stiffness(1000, 40, 50), JOINT_RIGID);
    EXPECT_FALSE(SpringInput{}.nonlinear());

    // The ball joint's friction split by |Mz| / |My|: My = 300, Mz = 400 of a
    // friction 100 give 60 and 80 against the moments; each part no more
    // than its moment.
    double fy = 0, fz = 0;
    ball_bending_friction(100, 300, -400, fy, fz);
    EXPECT_NEAR(fy, -60, 1e-9);
    EXPECT_NEAR(fz, 80, 1e-9);
    ball_bending_friction(100, 0, 0, fy, fz);
    EXPECT_EQ(fy, 0.0);
    EXPECT_EQ(fz, 0.0);
    ball_bending_friction(100, 0, -500, fy, fz);   // all about z
    EXPECT_NEAR(fz, 100, 1e-9);
    EXPECT_NEAR(fy, 0.0, 1e-9);
}

TEST(JointKernel, Matrices)
{
    ElementMatrix k;
    ball_joint_matrix(300, 700, k);
    EXPECT_EQ(k.k[1][7], -JOINT_RIGID);
    EXPECT_EQ(k.k[4][10], -300.0);
    EXPECT_EQ(k.k[11][11], 700.0);
    EXPECT_EQ(k.k[6][12], -700.0);
    hinge_matrix(300, k);
    EXPECT_EQ(k.k[4][4], 300.0);
    EXPECT_EQ(k.k[5][11], -JOINT_RIGID);
    EXPECT_EQ(k.k[1][5], 0.0);
}

TEST(ElasticKernel, MatrixIsTheEnergyOfItsSprings)
{
    // The springs' elongations as linear maps of the twelve displacements
    // (the arm from node 2 back by (a, b, c)), K = sum k_i g_i g_i^T.
    const double rates[6] = {1e3, 2e3, 3e3, 4e5, 5e5, 6e5};
    const double a = 4, b = -2, c = 7;
    ElementMatrix k;
    elastic_element_stiffness(rates, a, b, c, k);
    double g[6][13] = {};
    // dx = ux2 + b tz2 - c ty2 - ux1
    g[0][7] = 1, g[0][12] = b, g[0][11] = -c, g[0][1] = -1;
    // dy = uy2 + c tx2 - a tz2 - uy1
    g[1][8] = 1, g[1][10] = c, g[1][12] = -a, g[1][2] = -1;
    // dz = uz2 + a ty2 - b tx2 - uz1
    g[2][9] = 1, g[2][11] = a, g[2][10] = -b, g[2][3] = -1;
    for (int r = 0; r < 3; ++r)
        g[3 + r][10 + r] = 1, g[3 + r][4 + r] = -1;
    for (int i = 1; i <= 12; ++i)
        for (int j = 1; j <= 12; ++j) {
            double expected = 0;
            for (int s = 0; s < 6; ++s)
                expected += rates[s] * g[s][i] * g[s][j];
            EXPECT_NEAR(k.k[i][j], expected, 1e-9 * 6e5) << i << "," << j;
        }
}

TEST(ElasticKernel, AxesAndRatesNotGiven)
{
    ElasticElement e;
    e.x_axis[0] = 2;
    e.y_axis[0] = 0.5;
    e.y_axis[1] = 2;
    LocalAxes axes;
    ASSERT_TRUE(e.axes(axes));
    // y made orthogonal to x before z = x cross y.
    EXPECT_NEAR(axes.y.x, 0.0, 1e-12);
    EXPECT_NEAR(axes.y.y, 1.0, 1e-12);
    EXPECT_NEAR(axes.z.z, 1.0, 1e-12);
    e.y_axis[1] = 0;   // y along x: no frame
    EXPECT_FALSE(e.axes(axes));
    // Rates at or below 0 are not given: 1.0e-8, never a negative spring.
    e.kx = -1;
    e.ky = 0;
    e.kz = 500;
    double r[6];
    e.rates(r);
    EXPECT_EQ(r[0], ELASTIC_FREE_RATE);
    EXPECT_EQ(r[1], ELASTIC_FREE_RATE);
    EXPECT_EQ(r[2], 500.0);
    EXPECT_EQ(e.cell_text(3), "");
}

TEST(TieRodKernel, StatesStiffnessAndGapLoads)
{
    TieRod rod;
    rod.tension_stiffness = 100;
    rod.compression_stiffness = 200;
    rod.tension_gap = 0.1f;
    rod.compression_gap = 0.2f;
    EXPECT_EQ(rod.status_of(0.15), TIE_TENSION);
    EXPECT_EQ(rod.status_of(0.05), TIE_SLACK);
    EXPECT_EQ(rod.status_of(-0.25), TIE_COMPRESSION);
    EXPECT_EQ(rod.axial_stiffness(TIE_SLACK), TIE_ROD_SLACK_STIFFNESS);
    EXPECT_EQ(rod.axial_stiffness(TIE_TENSION), 100.0);
    // No tension stiffness: slack in tension (not a free axis).
    TieRod pushing;
    pushing.compression_stiffness = 300;
    EXPECT_EQ(pushing.axial_stiffness(TIE_TENSION), TIE_ROD_SLACK_STIFFNESS);
    // The spring force k (e - gap) in tension: the load P = k gap.
    EXPECT_NEAR(rod.gap_load(TIE_TENSION), 100 * 0.1, 1e-6);
    EXPECT_NEAR(rod.gap_load(TIE_COMPRESSION), -200 * 0.2, 1e-5);
    EXPECT_EQ(rod.gap_load(TIE_SLACK), 0.0);
    // Gaps 0: any extension pulls or pushes, 0 is slack.
    TieRod tight;
    EXPECT_EQ(tight.status_of(1e-9), TIE_TENSION);
    EXPECT_EQ(tight.status_of(-1e-9), TIE_COMPRESSION);
    EXPECT_EQ(tight.status_of(0.0), TIE_SLACK);
    ElementMatrix k;
    tie_rod_stiffness(500, k);
    EXPECT_EQ(k.k[1][7], -500.0);
    EXPECT_EQ(k.k[3][9], -TIE_ROD_SLACK_STIFFNESS);
}

TEST(BellowsKernel, Convolutions)
{
    // n = floor(L / (0.5 r)), at least 1; none without a radius; capped.
    EXPECT_EQ(bellows_convolutions(0.2 * 3, 3), 1);
    EXPECT_EQ(bellows_convolutions(10 * 3, 3), 20);
    EXPECT_EQ(bellows_convolutions(10, 0), 0);
    EXPECT_EQ(bellows_convolutions(1.0e9, 1e-6), MAX_BELLOWS_CONVOLUTIONS);
}
