// Buried piping: the soil springs of the American Lifelines Alliance
// guidelines (2001, Appendix B) against hand computations, and whole runs of
// buried lines against the closed forms of a bar on an elastic - perfectly
// plastic axial foundation and of a beam on an elastic foundation
// (Hetenyi), derived here.
#include "analysis/buried_piping.h"
#include "analysis/data/buried_fixture.h"
#include "analysis/data/support_fixture.h"
#include "analysis/model_check.h"
#include "analysis/results_file.h"
#include "framework/binfile.h"
#include "materials/soil.h"
#include "supports/anchor.h"

#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

using namespace analysis_test;

namespace {

constexpr double PI = std::numbers::pi;
constexpr double PCF = 1.0 / 1728.0;   // lb/ft3 in lb/in3
constexpr double MM = 1.0 / 25.4;

class BuriedPipingTest : public SupportTest {
protected:
    // The test's 6 in section buried in `soil`.
    void bury(const Soil& soil)
    {
        soils().push_back(soil);
        pipe_sections()[1].soil = soil.name;
    }
    // A straight line along X from node 10 at the origin: `count` elements
    // of length h, nodes 10, 20, ...; an anchor at the far end.
    void line(int count, double h)
    {
        from(10);
        for (int i = 1; i <= count; ++i)
            pipe(10 * (i + 1), static_cast<float>(h), 0, 0, i == count ? DT_ANCHOR : DT_NONE);
    }
    // The mean of the axial force at the two ends of an element: the force
    // at its middle where the friction along it is uniform.
    static double mean_axial(const CaseResults& c, int element)
    {
        const ElementVector& f = c.forces[static_cast<std::size_t>(element - 1)];
        return (std::fabs(f.f[1]) + std::fabs(f.f[7])) / 2;
    }
    SoilSpringValues sand_values(double depth) const
    {
        return soil_spring_values(sand(), steel.od, depth);
    }
    // A weightless line of 120 elements of 6 in in `soil`, with a force P
    // across it (Z) at its free end in Operating (1).
    void line_pushed_sideways(const Soil& soil, double p)
    {
        bury(soil);
        weightless();
        line(120, 6);
        const int r = at_node(10, DT_FORCE);
        item<TestForce>(r).code = LC_OPERATING_1;
        item<TestForce>(r).load[2] = p;
        choose({LC_OPERATING_1});
    }
};

}  // namespace

TEST(SoilSprings, CohesionlessSoilByHand)
{
    // Sand of 120 lb/ft3, delta 30 degrees, Ks 1; D 12.75 in, H 48 in.
    const double d = 12.75, h = 48, g = 120 * PCF, x = h / d;
    const SoilSpringValues v = soil_spring_values(sand(), d, h);
    // B.1: Tu = pi D H gamma (1 + K0) / 2 tan(delta), at 3 mm.
    const double tu = PI * d * h * g * 1.0 * std::tan(30 * PI / 180);
    expect_relative(v.axial_load, tu, "Tu");
    expect_relative(v.axial_stiffness, tu / (3 * MM), "axial stiffness");
    // B.2: Nqh at 30 degrees = 4.565 + 1.234 x - 0.089 x^2 + 4.275e-3 x^3
    // - 9.159e-5 x^4; Pu = Nqh gamma H D at 0.04 (H + D/2) = 2.175 in, but
    // at most 0.10 D = 1.275 in.
    const double nqh = 4.565 + 1.234 * x - 0.089 * x * x + 4.275e-3 * x * x * x - 9.159e-5 * x * x * x * x;
    expect_relative(v.transverse_load, nqh * g * h * d, "Pu");
    expect_relative(v.transverse_stiffness, nqh * g * h * d / 1.275, "lateral stiffness");
    // B.3: Nqv = phi H / (44 D) = 30 x / 44 (below Nq = 18.40);
    // Qu = Nqv gamma H D at 0.01 H = 0.48 in (below 0.1 D).
    const double nqv = 30 * x / 44;
    expect_relative(v.up_load, nqv * g * h * d, "Qu");
    expect_relative(v.up_stiffness, nqv * g * h * d / 0.48, "uplift stiffness");
    // B.4: Nq(30) = 18.40 and Ngamma(30) = exp(2.9) = 18.17 (the bearing
    // capacity factors as tabulated); Qd = Nq gamma H D + Ngamma gamma D^2/2
    // at 0.1 D.
    EXPECT_NEAR(bearing_surcharge_factor(30), 18.40, 0.005);
    EXPECT_NEAR(bearing_weight_factor(30), 18.17, 0.005);
    EXPECT_NEAR(bearing_cohesion_factor(30), 30.14, 0.01);
    const double qd = 18.401 * g * h * d + std::exp(2.9) * g * d * d / 2;
    expect_relative(v.down_load, qd, "Qd", 1e-4);
    expect_relative(v.down_stiffness, v.down_load / (0.1 * d), "bearing stiffness");
}

TEST(SoilSprings, CohesiveSoilByHand)
{
    // Clay of 1000 lb/ft2 (1.0 kip/ft2) shear strength, 110 lb/ft3; D 12.75,
    // H 60 in: x = H/D = 4.706.
    Soil clay;
    clay.name = "C";
    clay.type = SOIL_COHESIVE;
    clay.density = static_cast<float>(110 * PCF);
    clay.strength = static_cast<float>(1000.0 / 144.0);
    const double d = 12.75, h = 60, c = clay.strength, g = clay.density, x = h / d;
    const SoilSpringValues v = soil_spring_values(clay, d, h);
    // B.1: alpha(1.0 ksf) = 0.608 - 0.123 - 0.274/2 + 0.695/2 = 0.6955;
    // Tu = pi D alpha c at 8 mm.
    EXPECT_NEAR(soil_adhesion_factor(c), 0.6955, 1e-6);
    expect_relative(v.axial_load, PI * d * 0.6955 * c, "Tu", 1e-6);
    expect_relative(v.axial_stiffness, v.axial_load / (8 * MM), "axial stiffness");
    // B.2: Nch = 6.752 + 0.065 x - 11.063/(x+1)^2 + 7.119/(x+1)^3; Pu =
    // Nch c D at min(0.04 (H + D/2), 0.10 D) = 1.275 in.
    const double nch = 6.752 + 0.065 * x - 11.063 / std::pow(x + 1, 2) + 7.119 / std::pow(x + 1, 3);
    EXPECT_NEAR(nch, 6.756, 5e-4);
    expect_relative(v.transverse_load, nch * c * d, "Pu");
    expect_relative(v.transverse_stiffness, nch * c * d / 1.275, "lateral stiffness");
    EXPECT_DOUBLE_EQ(lateral_cohesion_factor(100), 9.0);
    // B.3: Ncv = 2 x = 9.41 (below 10); Qu = Ncv c D at min(0.1 H, 0.2 D) = 2.55 in.
    expect_relative(v.up_load, 2 * x * c * d, "Qu");
    expect_relative(v.up_stiffness, 2 * x * c * d / 2.55, "uplift stiffness");
    // B.4 with phi = 0: Nc = pi + 2 = 5.14, Nq = 1, Ngamma = exp(-2.5);
    // at 0.2 D.
    // (the formula's 0.001 degree keeps it off the limit by 2e-4).
    EXPECT_NEAR(bearing_cohesion_factor(0), PI + 2, 5e-4);
    const double qd = (PI + 2) * c * d + g * h * d + std::exp(-2.5) * g * d * d / 2;
    expect_relative(v.down_load, qd, "Qd", 1e-4);
    expect_relative(v.down_stiffness, v.down_load / (0.2 * d), "bearing stiffness");
}

TEST(SoilSprings, LateralFrictionFactorBetweenTheTabulatedAngles)
{
    // Nqh at 32.5 degrees lies halfway between 30 and 35; 0 at 0 degrees;
    // above 45 that of 45.
    const double x = 3;
    const double n30 = 4.565 + 1.234 * x - 0.089 * x * x + 4.275e-3 * x * x * x - 9.159e-5 * x * x * x * x;
    const double n35 = 6.816 + 2.019 * x - 0.146 * x * x + 7.651e-3 * x * x * x - 1.683e-4 * x * x * x * x;
    EXPECT_NEAR(lateral_friction_factor(32.5, x), (n30 + n35) / 2, 1e-12);
    EXPECT_EQ(lateral_friction_factor(0, x), 0.0);
    EXPECT_EQ(lateral_friction_factor(60, x), lateral_friction_factor(45, x));
}

TEST_F(BuriedPipingTest, BuriedElementLiesAtOrBelowItsGroundLevel)
{
    // Ground at 36 in: the line at elevation 0 is buried; an element that
    // rises through the ground is not, nor one of a section without soil.
    bury(sand());
    line(2, 24);
    pipe(40, 0, 48, 0);
    make_model();
    snapshot = make_analysis_model();
    EXPECT_TRUE(element_is_buried(*snapshot, 1));
    EXPECT_TRUE(element_is_buried(*snapshot, 2));
    EXPECT_FALSE(element_is_buried(*snapshot, 3));
    // With Z as the vertical axis the ground level is a Z coordinate.
    EXPECT_TRUE(element_is_buried(snapshot->model, snapshot->pipe_sections, snapshot->soils, true, 3));
    soils()[1].ground_level = -1.0f;
    EXPECT_FALSE(element_is_buried(model(), pipe_sections(), soils(), false, 1));
    // At the ground level exactly it is buried.
    soils()[1].ground_level = 0.0f;
    EXPECT_TRUE(element_is_buried(model(), pipe_sections(), soils(), false, 1));
}

TEST_F(BuriedPipingTest, ModelCheckRefusesAMissingSoilOrASoilThatBuriesNothing)
{
    line(2, 24);
    pipe_sections()[1].soil = "X";
    make_model();
    EXPECT_EQ(thrown_text([] { make_analysis_model(); }), "Section 6: Soil X is not defined");
    bury(sand(-10.0));
    make_model();
    EXPECT_EQ(thrown_text([] { make_analysis_model(); }),
              "Section 6: the ground level of its soil S is below every node of its elements, so none of them is "
              "buried");
}

TEST_F(BuriedPipingTest, SoilRestraintRecordsAreWrittenPerBuriedElement)
{
    // Per element the stiffness and maximum load of its length, and the
    // soil's index; read back from the results file after the elements.
    bury(sand());
    line(3, 30);
    weightless();
    choose({LC_SUSTAINED});
    make_model();
    snapshot = make_analysis_model();
    const RunOutcome outcome = run_analysis(*snapshot, RunCallbacks{});
    ASSERT_TRUE(outcome.completed) << outcome.message;
    BinFile file;
    ASSERT_TRUE(file.open_read(snapshot->output.results_path));
    const int elements = 3;
    file.seek(RESULTS_HEADER_SIZE + 4 + RESULTS_ELEMENT_RECORD_SIZE * elements);
    ASSERT_EQ(file.read_int(), 3);
    const SoilSpringValues v = sand_values(36);
    for (int e = 1; e <= 3; ++e) {
        EXPECT_EQ(file.read_int(), e);
        float values[8];
        for (float& f : values)
            f = file.read_float();
        const double expected[8] = {v.axial_stiffness, v.axial_load, v.transverse_stiffness, v.transverse_load,
                                    v.down_stiffness,  v.down_load,  v.up_stiffness,         v.up_load};
        for (int i = 0; i < 8; ++i)
            expect_relative(values[i], expected[i] * 30, "record value", 1e-6);
        EXPECT_EQ(file.read_int(), 1);
    }
    EXPECT_FALSE(file.error());
}

TEST_F(BuriedPipingTest, LongBuriedPipeUnderATemperatureRiseOnAnElasticPlasticAxialFoundation)
{
    // A line free at x = 0 and anchored far away, heated by dT, weightless.
    // Fully restrained force F = EA alpha dT; friction f per length
    // (axial Tu), elastic up to the slip dt = 3 mm (k = f/dt per length).
    // From the free end the soil slips up to Lp, where the pipe's motion is
    // dt; beyond it decays as dt exp(-beta (x - Lp)), beta = sqrt(k/EA).
    // The axial force is -f x up to Lp and -F + EA beta dt exp(-beta (x -
    // Lp)) beyond; at Lp they meet: Lp = (F - sqrt(EA f dt)) / f. The free
    // end moves by s0 = dt + alpha dT Lp - f Lp^2 / 2EA towards the free
    // end. (The rigid-plastic anchor length F/f is longer by sqrt(EA dt/f).)
    bury(sand());
    weightless();
    const double dt = 100, h = 30;
    const int count = 400;
    load.temperature[1] = 70 + dt;
    line(count, h);
    choose({LC_OPERATING_1});
    const double ea = steel.e * steel.area, big_f = ea * steel.alpha * dt;
    const double f = sand_values(36).axial_load, slip = 3 * MM;
    const double beta = std::sqrt(f / slip / ea);
    const double lp = (big_f - std::sqrt(ea * f * slip)) / f;
    const double s0 = slip + steel.alpha * dt * lp - f * lp * lp / (2 * ea);
    ASSERT_GT(count * h, lp + 8 / beta);
    ASSERT_LT(f * lp / big_f, 0.9);

    const CaseResults c = solve().at(LC_OPERATING_1);
    EXPECT_TRUE(c.converged);
    expect_relative(-node_result(c, 10)[0], s0, "free end", 2e-3);
    // In the slipping zone the force is the friction of the length before.
    for (double part : {0.1, 0.5, 0.9}) {
        const int e = static_cast<int>(part * lp / h) + 1;
        const double x_mid = (e - 0.5) * h;
        ASSERT_LT(x_mid, lp);
        expect_relative(mean_axial(c, e), f * x_mid, "slipping", 1e-3);
    }
    // Beyond it the force approaches F.
    for (double lengths : {0.5, 1.5, 3.0}) {
        const int e = static_cast<int>((lp + lengths / beta) / h) + 1;
        const double x_mid = (e - 0.5) * h;
        ASSERT_GT(x_mid, lp);
        const double n = big_f - ea * beta * slip * std::exp(-beta * (x_mid - lp));
        expect_relative(mean_axial(c, e), n, "elastic zone", 2e-3);
    }
}

TEST_F(BuriedPipingTest, LateralLoadOnABuriedLegAsABeamOnAnElasticFoundation)
{
    // A long line with a horizontal force P across it at its free end, the
    // soil elastic: Hetenyi's semi-infinite beam, y(0) = 2 P beta / k and
    // the end turning by 2 P beta^2 / k, beta = (k / 4EI)^(1/4), k the
    // lateral stiffness per length. The pipe's shear deformation (about
    // 0.7 % here) and the soil put on the nodes leave the run within 1.5 %.
    const double h = 6, p = 300;
    line_pushed_sideways(sand(), p);
    const SoilSpringValues v = sand_values(36);
    const double k = v.transverse_stiffness, ei = steel.e * steel.inertia;
    const double beta = std::pow(k / (4 * ei), 0.25);
    const double y0 = 2 * p * beta / k;
    ASSERT_LT(k * y0, v.transverse_load);   // elastic
    ASSERT_GT(120 * h * beta, 3 * PI);

    const CaseResults c = solve().at(LC_OPERATING_1);
    expect_relative(node_result(c, 10)[2], y0, "end deflection", 0.015);
    expect_relative(std::fabs(node_result(c, 10)[4]), 2 * p * beta * beta / k, "end rotation", 0.015);
    // Nothing along the pipe or vertically.
    EXPECT_NEAR(node_result(c, 10)[1], 0.0, 1e-9);
}

TEST_F(BuriedPipingTest, BuriedRiserTakesTheSoilAcrossItInBothHorizontalDirections)
{
    // A vertical pipe in clay from 300 in below the ground down, where Nch
    // has reached its 9 and the lateral yield displacement its 0.10 D: the
    // soil across it is uniform, k = 9 c D / 0.1 D per length, in X and Z
    // alike. Forces P in X and 2P in Z at its top: y = 2 P beta / k each
    // (Hetenyi, as above), 1.5 % for shear and lumping.
    Soil clay;
    clay.name = "C";
    clay.type = SOIL_COHESIVE;
    clay.density = static_cast<float>(110 * PCF);
    clay.strength = static_cast<float>(1500.0 / 144.0);
    clay.ground_level = 300.0f;
    bury(clay);
    weightless();
    const double h = 6, p = 200;
    from(10);
    for (int i = 1; i <= 120; ++i)
        pipe(10 * (i + 1), 0, static_cast<float>(-h), 0, i == 120 ? DT_ANCHOR : DT_NONE);
    const int r = at_node(10, DT_FORCE);
    item<TestForce>(r).code = LC_OPERATING_1;
    item<TestForce>(r).load[0] = p;
    item<TestForce>(r).load[2] = 2 * p;
    choose({LC_OPERATING_1});
    const double c = clay.strength, k = 9 * c * steel.od / (0.1 * steel.od);
    expect_relative(soil_spring_values(clay, steel.od, 300).transverse_stiffness, k, "k", 1e-9);
    const double beta = std::pow(k / (4 * steel.e * steel.inertia), 0.25);
    const CaseResults res = solve().at(LC_OPERATING_1);
    expect_relative(node_result(res, 10)[0], 2 * p * beta / k, "X", 0.015);
    expect_relative(node_result(res, 10)[2], 4 * p * beta / k, "Z", 0.015);
}

TEST_F(BuriedPipingTest, BuriedPipeOfOneLongElementIsDividedForItsSoil)
{
    // The lateral case above as one 720 in element and the axial one as a
    // single element: divided into segments for their soil, they give the
    // closed forms as the fine models do; the results keep the model's two
    // nodes and one element.
    bury(sand());
    weightless();
    const double p = 300;
    line(1, 720);
    const int r = at_node(10, DT_FORCE);
    item<TestForce>(r).code = LC_OPERATING_1;
    item<TestForce>(r).load[2] = p;
    choose({LC_OPERATING_1});
    const SoilSpringValues v = sand_values(36);
    const double k = v.transverse_stiffness, beta = std::pow(k / (4 * steel.e * steel.inertia), 0.25);
    CaseResults c = solve().at(LC_OPERATING_1);
    ASSERT_EQ(c.displacements.size(), 12u);
    ASSERT_EQ(c.forces.size(), 1u);
    EXPECT_GT(snapshot->model.numelems(), 50);
    expect_relative(node_result(c, 10)[2], 2 * p * beta / k, "end deflection", 0.015);

    // Heated, without the force: the free end's slip as on the fine mesh.
    item<TestForce>(r).load[2] = 0;
    const double dt = 100, length = 12000;
    load.temperature[1] = 70 + dt;
    model().rows[2].dx = static_cast<float>(length);
    const double ea = steel.e * steel.area, big_f = ea * steel.alpha * dt;
    const double f = v.axial_load, slip = 3 * MM;
    const double lp = (big_f - std::sqrt(ea * f * slip)) / f;
    c = solve().at(LC_OPERATING_1);
    expect_relative(-node_result(c, 10)[0], slip + steel.alpha * dt * lp - f * lp * lp / (2 * ea), "free end", 3e-3);
}

// ---- Deep cover ---------------------------------------------------------------------------------

namespace {

// ALA (2001) B.2: Nqh = a + b x + c x^2 + d x^3 + e x^4, x = H/D, with the
// coefficients of the guideline's table for one friction angle.
double nqh_polynomial(const std::array<double, 5>& k, double x)
{
    return k[0] + k[1] * x + k[2] * x * x + k[3] * x * x * x + k[4] * x * x * x * x;
}
constexpr std::array<double, 5> NQH_30 = {4.565, 1.234, -0.089, 4.275e-3, -9.159e-5};
constexpr std::array<double, 5> NQH_40 = {10.959, 1.783, 0.045, -5.425e-3, -1.153e-4};
constexpr std::array<double, 5> NQH_45 = {17.658, 3.309, 0.048, -6.443e-3, -1.299e-4};

// The sand of the tests with its ground `cover_ratio` outside diameters of
// the test's pipe above the line at elevation 0.
Soil sand_at_depth_ratio(double cover_ratio, double od)
{
    return sand(static_cast<float>(cover_ratio * od));
}

}  // namespace

class BuriedDeepCover : public BuriedPipingTest {};

TEST_F(BuriedDeepCover, CohesionlessSoilFarBelowTheGroundTakesTheFactorOfTheEndOfTheFit)
{
    // Sand of 120 lb/ft3, phi 30; D 12.75 in at H/D 300: the polynomial
    // gives Nqh(300) = -7.1e5 there, which made the soil free sideways.
    // Beyond H/D 10 the factor of H/D 10 holds:
    // Nqh(10) = 4.565 + 12.34 - 8.9 + 4.275 - 0.9159 = 11.3641.
    const double d = 12.75, x = 300, h = x * d, g = 120 * PCF;
    ASSERT_LT(nqh_polynomial(NQH_30, x), 0.0);
    const double nqh = nqh_polynomial(NQH_30, 10);
    EXPECT_NEAR(nqh, 11.3641, 1e-9);
    const SoilSpringValues v = soil_spring_values(sand(), d, h);
    // Pu = Nqh gamma H D, reached at min(0.04 (H + D/2), 0.10 D) = 1.275 in.
    expect_relative(v.transverse_load, nqh * g * h * d, "Pu");
    expect_relative(v.transverse_stiffness, nqh * g * h * d / 1.275, "transverse stiffness");
    EXPECT_GT(v.transverse_stiffness, 0.0);
    // Between H/D 10 and the turn of the fits of 40 and 45 degrees (H/D
    // 11.5 and 13) the fit still rises, against its chart: the end value
    // holds from 10 on, as far down as the line goes.
    for (double deeper : {10.5, 12.0, 500.0}) {
        EXPECT_NEAR(lateral_friction_factor(45, deeper), nqh_polynomial(NQH_45, 10), 1e-12) << deeper;
        EXPECT_NEAR(lateral_friction_factor(40, deeper), nqh_polynomial(NQH_40, 10), 1e-12) << deeper;
    }
}

TEST_F(BuriedDeepCover, ShallowCoverTakesTheFittedPolynomial)
{
    // Within the fit the factor is the polynomial itself, up to and at its
    // end: phi 30 and 45 at H/D 2.5, 7 and 10; phi 42.5 halfway between 40
    // and 45 (linear in phi).
    for (double x : {2.5, 7.0, 10.0}) {
        EXPECT_NEAR(lateral_friction_factor(30, x), nqh_polynomial(NQH_30, x), 1e-12) << x;
        EXPECT_NEAR(lateral_friction_factor(45, x), nqh_polynomial(NQH_45, x), 1e-12) << x;
        EXPECT_NEAR(lateral_friction_factor(42.5, x), (nqh_polynomial(NQH_40, x) + nqh_polynomial(NQH_45, x)) / 2,
                    1e-12)
            << x;
    }
    // A 12.75 in pipe 48 in below the sand: Pu = Nqh(3.765) gamma H D.
    const double d = 12.75, h = 48, g = 120 * PCF;
    expect_relative(soil_spring_values(sand(), d, h).transverse_load, nqh_polynomial(NQH_30, h / d) * g * h * d, "Pu");
}

TEST_F(BuriedDeepCover, StiffClayKeepsTheAdhesionFactorOfTheEndOfItsFit)
{
    // alpha = 0.608 - 0.123 c - 0.274 / (c^2 + 1) + 0.695 / (c^3 + 1), c
    // in ksf, falls below 0 past 4.95 ksf: at 6 ksf it would be
    // 0.608 - 0.738 - 0.274/37 + 0.695/217 = -0.134 and the clay would hold
    // the pipe nowhere along it. From 4 ksf on alpha(4) holds:
    // 0.608 - 0.492 - 0.274/17 + 0.695/65.
    const double alpha4 = 0.608 - 0.492 - 0.274 / 17 + 0.695 / 65;
    EXPECT_NEAR(alpha4, 0.110574, 1e-6);
    const double ksf = 1000.0 / 144.0;
    EXPECT_NEAR(soil_adhesion_factor(6 * ksf), alpha4, 1e-12);
    EXPECT_NEAR(soil_adhesion_factor(4 * ksf), alpha4, 1e-12);
    EXPECT_NEAR(soil_adhesion_factor(2 * ksf), 0.608 - 0.246 - 0.274 / 5 + 0.695 / 9, 1e-12);
    // Tu = pi D alpha c, reached at 8 mm.
    Soil clay;
    clay.type = SOIL_COHESIVE;
    clay.density = static_cast<float>(120 * PCF);
    clay.strength = static_cast<float>(6 * ksf);
    const double d = 12.75, c = clay.strength;
    const SoilSpringValues v = soil_spring_values(clay, d, 60);
    expect_relative(v.axial_load, PI * d * alpha4 * c, "Tu");
    expect_relative(v.axial_stiffness, PI * d * alpha4 * c / (8 * MM), "axial stiffness");
}

TEST_F(BuriedDeepCover, DeepLineCarriesALateralLoadOnItsSoilAndTheRunSaysWhichFactorIsHeld)
{
    // The lateral case of the shallow line, 20 diameters down: Hetenyi's
    // y(0) = 2 P beta / k with k = Nqh(10) gamma H D / 0.1 D per length
    // (the fit would give Nqh(20) = 13.19, 16 % more). The model's warnings
    // name the soil once for all its deep elements.
    const double ratio = 20;
    ASSERT_NEAR(nqh_polynomial(NQH_30, ratio), 13.19, 0.005);
    const double p = 300;
    line_pushed_sideways(sand_at_depth_ratio(ratio, steel.od), p);
    const double g = 120 * PCF, depth = ratio * steel.od;
    const double k = nqh_polynomial(NQH_30, 10) * g * depth * steel.od / (0.1 * steel.od);
    const double beta = std::pow(k / (4 * steel.e * steel.inertia), 0.25);
    const CaseResults c = solve().at(LC_OPERATING_1);
    expect_relative(node_result(c, 10)[2], 2 * p * beta / k, "end deflection", 0.015);

    const std::vector<std::string> warnings = analysis_model_warnings(*snapshot);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0],
              "Soil S: 120 buried elements lie deeper than the transverse factor Nqh of the soil springs is fitted "
              "for (H/D up to 10; H/D 20 from node 10 to node 20): they take the factor of H/D 10");

    // A stiff clay says so of its adhesion factor, in the chosen units; a
    // shallow sand says nothing.
    Soil clay;
    clay.name = "C";
    clay.type = SOIL_COHESIVE;
    clay.density = static_cast<float>(120 * PCF);
    clay.strength = 50.0f;
    clay.ground_level = 36.0f;
    soils()[1] = clay;
    pipe_sections()[1].soil = "C";
    make_model();
    snapshot = make_analysis_model();
    EXPECT_EQ(analysis_model_warnings(*snapshot),
              std::vector<std::string>{"Soil C: its shear strength of 50 psi lies beyond the range the axial "
                                       "adhesion factor alpha of the soil springs is fitted for (up to 27.778 psi): "
                                       "its buried elements take the factor of 27.778 psi"});
    soils()[1] = sand();
    pipe_sections()[1].soil = "S";
    make_model();
    snapshot = make_analysis_model();
    EXPECT_TRUE(analysis_model_warnings(*snapshot).empty());
}
