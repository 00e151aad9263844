// The nozzle evaluations: the maximum allowable individual loads of
// EN 13445-3:2009 clause 16 (16.4.5 spherical, 16.5.5 cylindrical shells)
// and the local stresses of WRC Bulletin 537 from curve fits (synthetic
// curves chosen here, and the two records the program ships), each worked
// out here from the clauses' formulas.
#include "closeness.h"
#include "framework/errors.h"
#include "qualification/en13445_nozzle.h"
#include "qualification/wrc537.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace {

NozzleEvaluation en_sphere()
{
    NozzleEvaluation n;
    n.spherical = 1;
    n.R = 40.0f;     // mean shell radius
    n.e = 0.5f;
    n.c = 0.0625f;
    n.de = 6.625f;
    n.eb = 0.28f;
    n.d = 6.345f;
    n.e2 = 0.5f;
    n.d2 = 12.0f;
    n.ec = 0.9f;
    n.f = 20000.0f;
    n.fb = 17000.0f;
    n.f2 = 10000.0f;
    return n;
}

NozzleEvaluation en_cylinder(float eb)
{
    NozzleEvaluation n = en_sphere();
    n.spherical = 0;
    n.R = 80.0f;     // mean shell diameter
    n.eb = eb;
    return n;
}

// The C3 polynomials of 16.5.5 at t <= 0.2 and t >= 0.5.
double c3_low(double l) { return 4.8844123 - 0.071389213 * l + 0.79991257 * l * l - 0.02415571 * l * l * l; }
double c3_high(double l)
{
    return 6.3178077 - 3.6618209 * l + 4.5145392 * l * l - 0.83094841 * l * l * l + 0.050698493 * l * l * l * l;
}

}  // namespace

TEST(En13445Sphere, AllowableLoads16_4_5)
{
    const NozzleEvaluation n = en_sphere();
    const En13445Result r = en13445_sphere(n);
    ASSERT_TRUE(r.problem.empty()) << r.problem;
    // 16.4.2: ea = e - c; ec = ea + e2 min(f2/f, 1) (a pad of half the
    // shell's design stress counts with half its thickness).
    const double ea = 0.5 - 0.0625, ec = ea + 0.5 * 0.5;
    EXPECT_NEAR(r.ea, ea, 1e-7);
    EXPECT_NEAR(r.ec, ec, 1e-7);
    EXPECT_TRUE(r.ratio_passed);
    EXPECT_NEAR(r.ratio, ea / 40.0, 1e-9);
    EXPECT_NEAR(r.load_distance, std::sqrt(40.0 * ec), 1e-6);
    EXPECT_NEAR(r.thickness_distance, std::sqrt(0.28f * 6.345f), 1e-6);
    // 16.4.5: nu = min(1, 2 fb eb sqrt(eb/d) / (f ec)), lambda = d/sqrt(R ec),
    // Fz = f ec^2 (1.82 + 2.4 sqrt(1 + nu) lambda + 0.91 nu lambda^2),
    // Mb = (d/4) f ec^2 (4.9 + 2.0 sqrt(1 + nu) lambda + 0.91 nu lambda^2).
    const double eb = 0.28f, d = 6.345f;
    const double nu = std::min(1.0, 2.0 * 17000.0 * eb * std::sqrt(eb / d) / (20000.0 * ec));
    const double lambda = d / std::sqrt(40.0 * ec);
    expect_relative(r.nu, nu, 1e-6, "nu");
    expect_relative(r.lambda, lambda, 1e-6, "lambda");
    expect_relative(r.Fz_max, 20000.0 * ec * ec * (1.82 + 2.4 * std::sqrt(1 + nu) * lambda + 0.91 * nu * lambda * lambda),
                    1e-6, "Fz,max");
    expect_relative(r.Mb_max,
                    d / 4 * 20000.0 * ec * ec * (4.9 + 2.0 * std::sqrt(1 + nu) * lambda + 0.91 * nu * lambda * lambda),
                    1e-6, "Mb,max");
}

TEST(En13445Sphere, PadAndConditionA)
{
    NozzleEvaluation n = en_sphere();
    n.f2 = 25000.0f;   // f2 >= f counts the whole pad
    EXPECT_NEAR(en13445_sphere(n).ec, 0.4375 + 0.5, 1e-7);
    n.f2 = 0.0f;       // no pad strength: ec = ea
    EXPECT_NEAR(en13445_sphere(n).ec, 0.4375, 1e-7);
    // 16.4.3 a): 0.001 <= ea/R <= 0.1, both ends included.
    n.c = 0.0f;
    n.R = 1000.0f;
    n.e = 1.0f;        // ea/R = 0.001
    EXPECT_TRUE(en13445_sphere(n).ratio_passed);
    n.e = 100.0f;      // 0.1
    EXPECT_TRUE(en13445_sphere(n).ratio_passed);
    n.e = 0.9f;        // 0.0009: no loads
    const En13445Result fail = en13445_sphere(n);
    EXPECT_FALSE(fail.ratio_passed);
    EXPECT_DOUBLE_EQ(fail.Fz_max, 0.0);
}

TEST(En13445Cylinder, AllowableLoadsAroundEachC3Bound)
{
    // ec = 0.4375 + 0.25 = 0.6875; t = eb/ec on both sides of 0.2 and 0.5.
    const double ec = 0.6875;
    for (double t : {0.15, 0.2, 0.21, 0.35, 0.49, 0.5, 0.6}) {
        const float eb = static_cast<float>(t * ec);
        const NozzleEvaluation n = en_cylinder(eb);
        const En13445Result r = en13445_cylinder(n);
        ASSERT_TRUE(r.problem.empty()) << r.problem;
        ASSERT_TRUE(r.ratio_passed);
        // 16.5.3 b): lambda = d / sqrt(D ec) with ec as entered (0.9).
        const double lambda = 6.345f / std::sqrt(80.0 * 0.9f);
        expect_relative(r.lambda, lambda, 1e-6, "lambda");
        EXPECT_TRUE(r.lambda_passed);
        // 16.5.5: C1, C2 polynomials with their floors 1.81 and 4.9.
        const double C1 = std::max(1.81, 0.60072181 + 0.95196257 * lambda + 0.005195788 * lambda * lambda -
                                             0.001406381 * lambda * lambda * lambda);
        const double C2 = std::max(4.9, 4.526315 + 0.064021889 * lambda + 0.15887638 * lambda * lambda -
                                            0.021419298 * std::pow(lambda, 3) + 0.001035041 * std::pow(lambda, 4));
        const double tt = eb / ec;
        double C3;
        if (tt <= 0.2)
            C3 = c3_low(lambda);
        else if (tt >= 0.5)
            C3 = c3_high(lambda);
        else   // the straight line between the two polynomials
            C3 = c3_low(lambda) + (c3_high(lambda) - c3_low(lambda)) * (tt - 0.2) / 0.3;
        C3 = std::max(4.9, C3);
        const std::string at = "t = " + std::to_string(t);
        expect_relative(r.C1, C1, 1e-6, "C1 " + at);
        expect_relative(r.C2, C2, 1e-6, "C2 " + at);
        expect_relative(r.C3, C3, 1e-6, "C3 " + at);
        const double base = 20000.0 * ec * ec;
        expect_relative(r.Fz_max, C1 * base, 1e-6, "Fz " + at);
        expect_relative(r.Mx_max, C2 * 6.345f / 4 * base, 1e-6, "Mx " + at);
        expect_relative(r.My_max, C3 * 6.345f / 4 * base, 1e-6, "My " + at);
    }
    // The blend meets both polynomials at its ends, and the floors hold at lambda = 0.
    for (double l : {0.5, 2.0, 6.0}) {
        expect_relative(en13445_c3(0.2 + 1e-9, l), std::max(4.9, c3_low(l)), 1e-6, "C3 after 0.2");
        expect_relative(en13445_c3(0.5 - 1e-9, l), std::max(4.9, c3_high(l)), 1e-6, "C3 before 0.5");
    }
    EXPECT_DOUBLE_EQ(en13445_c3(0.1, 0.0), 4.9);
    EXPECT_DOUBLE_EQ(en13445_c3(0.6, 0.0), 6.3178077);
}

TEST(En13445Cylinder, LambdaAboveTenReportsAndGoesOn)
{
    NozzleEvaluation n = en_cylinder(0.28f);
    n.d = 12.0f * std::sqrt(80.0f * 0.9f);   // lambda = 12
    const En13445Result r = en13445_cylinder(n);
    EXPECT_NEAR(r.lambda, 12.0, 1e-5);
    EXPECT_FALSE(r.lambda_passed);
    EXPECT_GT(r.Fz_max, 0.0);
    // A file's zero diameter: a message, no number.
    n.R = 0.0f;
    EXPECT_FALSE(en13445_cylinder(n).problem.empty());
}

// ---- WRC 537 --------------------------------------------------------------------------

namespace {

// A curve of constant value c (a0 = c, every other coefficient 0).
Wrc537Curve constant(const std::string& name, double c)
{
    Wrc537Curve curve;
    curve.name = name;
    curve.coefficients[0] = static_cast<float>(c);
    curve.source = "test";
    return curve;
}

// The rational form, evaluated here from the coefficient order a0 b1 a1 b2
// a2 b3 a3 b4 a4 b5.
double rational(const std::array<double, 10>& k, double x)
{
    double num = 0, den = 1;
    for (int p = 0; p <= 4; ++p)
        num += k[static_cast<std::size_t>(2 * p)] * std::pow(x, p);
    for (int p = 1; p <= 5; ++p)
        den += k[static_cast<std::size_t>(2 * p - 1)] * std::pow(x, p);
    return num / den;
}

NozzleEvaluation wrc_sphere()
{
    NozzleEvaluation n;
    n.method = NOZZLE_WRC537;
    n.spherical = 1;
    n.load_case = WRC_OPERATING;
    n.P = 5000;
    n.V1 = 800;
    n.V2 = -600;
    n.M1 = 20000;
    n.M2 = -15000;
    n.MT = 9000;
    n.T = 1.0f;
    n.Rm = 60.0f;
    n.eb = 0.5f;    // t
    n.rm = 3.0f;    // gamma = 6
    n.ro = 3.25f;
    n.r = 0.75f;    // r/T = 0.75
    n.Pm = 10000;
    n.Pb = 2000;
    n.allowable = 30000;
    return n;
}

// Point order Au, Al, Bu, Bl, Cu, Cl, Du, Dl.
using Points = std::array<double, 8>;

Points pattern(double v, std::array<int, 8> signs)
{
    Points p{};
    for (std::size_t i = 0; i < 8; ++i)
        p[i] = signs[i] * v;
    return p;
}

void expect_points(const Points& actual, const Points& expected, const std::string& what)
{
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-6 * (1 + std::fabs(expected[i]))) << what << " point " << i;
}

double intensity(double a, double b, double tau)
{
    if (tau == 0)
        return std::max({std::fabs(a), std::fabs(b), std::fabs(a - b)});
    const double R = std::sqrt((a - b) * (a - b) + 4 * tau * tau);
    return std::max({std::fabs((a + b + R) / 2), std::fabs((a + b - R) / 2), R});
}

}  // namespace

TEST(Wrc537Curves, ShippedRecordsByTheRationalFormula)
{
    const Wrc537CurveStore store = read_wrc537_curves(std::string(KV_SOURCE_DIR) + "/libraries/wrc537_curves.txt");
    ASSERT_TRUE(store.load_error.empty()) << store.load_error;
    EXPECT_EQ(store.size(), 2u);
    const Wrc537Curve* sp1 = store.find("SPHERE-RADIAL-MEMBRANE-P", 1);
    const Wrc537Curve* c3 = store.find("CYLINDER-3C", 5);
    ASSERT_TRUE(sp1 && c3);
    EXPECT_EQ(sp1->name, "SP-1");
    EXPECT_EQ(c3->name, "3C");
    EXPECT_FALSE(sp1->source.empty());
    // SP-1: a0 = 0.213228, b1 = 4.20504, a1 = 0.10917, b2 = 5.4914, a2 =
    // 1.40801, b3 = 24.927, a3 = -0.244019; 3C: 1.06682, 7.91408, 8.11023,
    // -11.292, -17.9458, 25.026, 29.9773, 30.4393.
    const std::array<double, 10> sp = {0.213228, 4.20504, 0.10917, 5.4914, 1.40801, 24.927, -0.244019, 0, 0, 0};
    const std::array<double, 10> cc = {1.06682, 7.91408, 8.11023, -11.292, -17.9458, 25.026, 29.9773, 30.4393, 0, 0};
    for (double x : {0.0, 0.05, 0.1, 0.25, 0.5, 1.0, 1.5}) {
        EXPECT_NEAR(sp1->value(x), rational(sp, x), 2e-7 * (1 + std::fabs(rational(sp, x)))) << "SP-1 at " << x;
        EXPECT_NEAR(c3->value(x), rational(cc, x), 2e-7 * (1 + std::fabs(rational(cc, x)))) << "3C at " << x;
    }
    EXPECT_DOUBLE_EQ(sp1->value(0.0), 0.213228f);
}

TEST(Wrc537Curves, StoreTextIsCheckedLineByLine)
{
    const std::string good = "# comment\n\nCYLINDER-1C 7.5 1C 1 0 0 0 0 0 0 0 0 0 \"a source\"\n";
    const Wrc537CurveStore s = parse_wrc537_curves(good, "curves.txt");
    ASSERT_NE(s.find("CYLINDER-1C", 7.5), nullptr);
    struct Bad {
        const char* text;
        const char* says;
    };
    for (const Bad& b : {Bad{"SPHERE-X 1 SP-1 1 0 0 0 0 0 0 0 0 0 \"s\"", "Unknown figure key"},
                         Bad{"CYLINDER-1C -5 1C 1 0 0 0 0 0 0 0 0 0 \"s\"", "slot"},
                         Bad{"CYLINDER-1C 5 1C 1 0 0 0 0 nan 0 0 0 0 \"s\"", "coefficient"},
                         Bad{"CYLINDER-1C 5 1C 1 0 0 0 0 0 0 0 0 0", "source"},
                         Bad{"CYLINDER-1C 5 1C 1 0 0 0 0 0 0 0 0 0 \"s", "closing quote"},
                         Bad{"CYLINDER-1C 5 LONGNAME99 1 0 0 0 0 0 0 0 0 0 \"s\"", "8 characters"},
                         Bad{"CYLINDER-1C 5 1C 1 0 0 0 0 0 0 0 0 0 \"\"", "source"}}) {
        try {
            parse_wrc537_curves(std::string("\n") + b.text + "\n", "curves.txt");
            ADD_FAILURE() << b.text;
        } catch (const MessageText& m) {
            EXPECT_NE(m.text.find("curves.txt, line 2"), std::string::npos) << m.text;
            EXPECT_NE(m.text.find(b.says), std::string::npos) << m.text;
        }
    }
    const Wrc537CurveStore missing = read_wrc537_curves("/nonexistent/wrc537_curves.txt");
    EXPECT_EQ(missing.size(), 0u);
    EXPECT_FALSE(missing.load_error.empty());
}

TEST(Wrc537FigB2, StressConcentrationFactors)
{
    // Fig. B-2 at r/T = 0.75: between 1.9 (0.5) and 1.5 (1.0) for Kn, 1.6 and 1.35 for Kb.
    EXPECT_NEAR(fig_b2_kn(0.75), 1.7, 1e-12);
    EXPECT_NEAR(fig_b2_kb(0.75), 1.475, 1e-12);
    EXPECT_DOUBLE_EQ(fig_b2_kn(0.0), 5.0);
    EXPECT_DOUBLE_EQ(fig_b2_kb(0.0), 5.0);
    EXPECT_DOUBLE_EQ(fig_b2_kn(4.0), 1.0);
    EXPECT_DOUBLE_EQ(fig_b2_kn(3.5), 1.3);
    // Below the first tabulated point the curve starts from (0, 5.0).
    EXPECT_NEAR(fig_b2_kn(0.05), 4.8, 1e-12);
    EXPECT_NEAR(fig_b2_kb(0.05), 4.4, 1e-12);
    EXPECT_NEAR(fig_b2_kn(0.025), 4.9, 1e-12);
    EXPECT_NEAR(fig_b2_kb(0.025), 4.7, 1e-12);
}

TEST(Wrc537Figures, SphereAndCylinderCurveChoice)
{
    EXPECT_EQ(wrc537_sphere_figure(15, 10), 7);    // SP-8 and SM-8
    EXPECT_EQ(wrc537_sphere_figure(20, 10), 9);    // SP-10
    EXPECT_EQ(wrc537_sphere_figure(5, 6), 7);      // on to the gamma <= 15 step
    EXPECT_EQ(wrc537_sphere_figure(5, 0.25), 0);
    EXPECT_EQ(wrc537_sphere_figure(60, 1), -1);
    EXPECT_EQ(wrc537_sphere_figure(30, 12), -1);
    EXPECT_EQ(wrc537_sphere_figure(30, 4), 8);
    // Cylinders: the first tabulated Rm/T not below gamma.
    EXPECT_EQ(wrc537_curve_index(2, 20), 4);   // 1C: 25
    EXPECT_EQ(wrc537_curve_index(1, 20), 2);   // 3C: 50
    EXPECT_EQ(wrc537_curve_index(5, 20), 2);   // 1A: 50
    EXPECT_EQ(wrc537_curve_index(2, 300), 11);
    EXPECT_EQ(wrc537_curve_index(2, 320), -1);
    EXPECT_EQ(wrc537_curve_index(9, 20), -1);  // unused id

    NozzleEvaluation n = wrc_sphere();
    n.Rm = 320.0f;
    n.ro = 10.0f;
    n.spherical = 0;
    const Wrc537Result r = wrc537_cylinder(n, Wrc537CurveStore{});
    EXPECT_EQ(r.figure_error, "No curve available for Fig. 3C with Rm/T =   320");
    n.spherical = 1;
    n.rm = 40.0f;   // gamma = 80
    EXPECT_EQ(wrc537_sphere(n, Wrc537CurveStore{}).figure_error,
              "Not able to determine Figure Number for Spherical Shells with r =    80 and p =     2. Analysis aborted");
}

TEST(Wrc537Sphere, StressesWithSyntheticCurves)
{
    // gamma = rm/t = 6, rho = T/t = 2: record 5 (SP-6, SM-6); U = ro/sqrt(Rm T).
    const NozzleEvaluation n = wrc_sphere();
    const double family_value[8] = {0.11, 0.021, 0.31, 0.052, 0.071, 0.013, 0.19, 0.034};
    Wrc537CurveStore store;
    for (int f = 0; f < WRC_SPHERE_FAMILIES; ++f) {
        const bool moment = f == 2 || f == 3 || f == 6 || f == 7;
        store.add(wrc537_sphere_family_key(f), 6, constant(moment ? "SM-6" : "SP-6", family_value[f]));
    }
    const Wrc537Result r = wrc537_sphere(n, store);
    ASSERT_TRUE(r.figure_error.empty() && r.problem.empty() && r.missing.empty());
    EXPECT_EQ(r.record, 5);
    EXPECT_DOUBLE_EQ(r.gamma, 6.0);
    EXPECT_DOUBLE_EQ(r.rho, 2.0);
    // Kn, Kb from Fig. B-2 at r/T = 0.75.
    EXPECT_TRUE(r.kn_looked_up && r.kb_looked_up);
    const double Kn = 1.7, Kb = 1.475, T = 1, S = std::sqrt(60.0);
    auto fv = [&](int f) { return static_cast<double>(static_cast<float>(family_value[f])); };
    // Rows in report order: radial P, P, M1, M1, M2, M2, empty, Sx, empty; tangential the same.
    ASSERT_EQ(r.rows.size(), 23u);
    Points Sx{}, Sy{};
    for (int side = 0; side < 2; ++side) {
        const int base = side == 0 ? 0 : 4;
        const std::size_t first = side == 0 ? 0 : 9;
        const Points rows[6] = {
            pattern(fv(base) * Kn * 5000 / (T * T), {-1, -1, -1, -1, -1, -1, -1, -1}),
            pattern(fv(base + 1) * Kb * 6 * 5000 / (T * T), {-1, 1, -1, 1, -1, 1, -1, 1}),
            pattern(fv(base + 2) * Kn * 20000 / (T * T * S), {0, 0, 0, 0, -1, -1, 1, 1}),
            pattern(fv(base + 3) * Kb * 6 * 20000 / (T * T * S), {0, 0, 0, 0, -1, 1, 1, -1}),
            pattern(fv(base + 2) * Kn * -15000 / (T * T * S), {-1, -1, 1, 1, 0, 0, 0, 0}),
            pattern(fv(base + 3) * Kb * 6 * -15000 / (T * T * S), {-1, 1, 1, -1, 0, 0, 0, 0}),
        };
        Points& sum = side == 0 ? Sx : Sy;
        for (std::size_t k = 0; k < 6; ++k) {
            expect_points(r.rows[first + k].s, rows[k], r.rows[first + k].label);
            for (std::size_t i = 0; i < 8; ++i)
                sum[i] += rows[k][i];
        }
        EXPECT_EQ(r.rows[first].figure, "SP-6");
        EXPECT_EQ(r.rows[first + 2].figure, "SM-6");
        EXPECT_TRUE(r.rows[first + 6].label.empty());
        EXPECT_EQ(r.rows[first + 7].label, side == 0 ? "Radial Stresses (Sx)" : "Tangential Stresses (Sy)");
        expect_points(r.rows[first + 7].s, sum, r.rows[first + 7].label);
    }
    EXPECT_EQ(r.rows[0].label, "Radial Membrane (P)");
    EXPECT_EQ(r.rows[14].label, "Tangential Bending (M2)");
    // Shear: Av = pi ro T; V1 at C, D; V2 at A, B; MT / (2 pi ro^2 T) everywhere.
    const double pi = 3.1415927f, Av = pi * 3.25;
    const Points v1 = pattern(800 / Av, {0, 0, 0, 0, -1, -1, 1, 1});
    const Points v2 = pattern(-600 / Av, {1, 1, -1, -1, 0, 0, 0, 0});
    const Points mt = pattern(9000 / (2 * pi * 3.25 * 3.25), {1, 1, 1, 1, 1, 1, 1, 1});
    expect_points(r.rows[18].s, v1, "Shear Stress (V1)");
    expect_points(r.rows[19].s, v2, "Shear Stress (V2)");
    expect_points(r.rows[20].s, mt, "Shear Stress (MT)");
    EXPECT_EQ(r.rows[22].label, "Shear Stresses (Z)");
    double largest = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const double tau = v1[i] + v2[i] + mt[i];
        EXPECT_NEAR(r.intensity[i], intensity(Sx[i], Sy[i], tau), 1e-6 * (1 + r.intensity[i])) << "point " << i;
        largest = std::max(largest, intensity(Sx[i], Sy[i], tau));
    }
    EXPECT_EQ(r.intensity_label, "Combined Stress Intensity (Pl+Q)");
    EXPECT_EQ(r.compliance_label, "Stress (Pm+Pb+Pl+Q)");
    EXPECT_EQ(r.compliance_title, "Stress Compliance as per ASME Section VIII Division 2 - Operating Load");
    expect_relative(r.calculated, 10000 + 2000 + largest, 1e-9, "Pm + Pb + Pl + Q");
    EXPECT_DOUBLE_EQ(r.allowed, 30000);
}

TEST(Wrc537Sphere, SustainedCountsMembraneOnlyAndNeedsNoBendingCurves)
{
    NozzleEvaluation n = wrc_sphere();
    n.load_case = WRC_SUSTAINED;
    Wrc537CurveStore store;
    for (int f : {0, 2, 4, 6})
        store.add(wrc537_sphere_family_key(f), 6, constant(f == 2 || f == 6 ? "SM-6" : "SP-6", 0.1));
    const Wrc537Result r = wrc537_sphere(n, store);
    ASSERT_TRUE(r.missing.empty());
    for (std::size_t k : {1u, 3u, 5u, 10u, 12u, 14u})
        expect_points(r.rows[k].s, Points{}, r.rows[k].label);
    EXPECT_NE(r.rows[0].s[0], 0.0);
    EXPECT_EQ(r.intensity_label, "Combined Stress Intensity (Pl)");
    EXPECT_EQ(r.compliance_label, "Stress (Pm+Pb+Pl)");
}

TEST(Wrc537Cylinder, StressesWithSyntheticCurves)
{
    // Rm/T = 20: the curves of 25 (3C and 1A: of 50); beta = 0.875 ro/Rm.
    NozzleEvaluation n = wrc_sphere();
    n.spherical = 0;
    n.Rm = 20.0f;
    n.T = 1.0f;
    n.ro = 4.0f;
    n.Kn = 1.2f;   // given: no Fig. B-2
    n.Kb = 1.1f;
    Wrc537CurveStore store;
    double value = 0.05;
    std::map<int, double> of_figure;
    for (const Wrc537Figure& f : wrc537_cylinder_figures()) {
        const double gamma = (*f.gammas)[static_cast<std::size_t>(wrc537_curve_index(f.id, 20))];
        store.add(wrc537_cylinder_key(f), gamma, constant(f.name, value));
        of_figure[f.id] = static_cast<float>(value);
        value += 0.013;
    }
    const Wrc537Result r = wrc537_cylinder(n, store);
    ASSERT_TRUE(r.figure_error.empty() && r.missing.empty() && r.problem.empty());
    EXPECT_FALSE(r.kn_looked_up || r.kb_looked_up);
    const double Rm = 20, T = 1, beta = 0.875 * 4 / 20, Kn = 1.2f, Kb = 1.1f, P = 5000, MC = 20000, ML = -15000;
    EXPECT_NEAR(r.beta, beta, 1e-7);
    struct Expected {
        int id;
        double v;
        std::array<int, 8> signs;
    };
    const Expected circumferential[7] = {
        {1, of_figure[1] * Kn * P / (Rm * T), {-1, -1, -1, -1, -1, -1, -1, -1}},
        {3, of_figure[3] * Kb * 6 * P / (T * T), {-1, 1, -1, 1, 0, 0, 0, 0}},
        {2, of_figure[2] * Kb * 6 * P / (T * T), {0, 0, 0, 0, -1, 1, -1, 1}},
        {4, of_figure[4] * Kn * MC / (Rm * Rm * beta * T), {0, 0, 0, 0, -1, -1, 1, 1}},
        {5, of_figure[5] * Kb * 6 * MC / (Rm * beta * T * T), {0, 0, 0, 0, -1, 1, 1, -1}},
        {6, of_figure[6] * Kn * ML / (Rm * Rm * beta * T), {-1, -1, 1, 1, 0, 0, 0, 0}},
        {7, of_figure[7] * Kb * 6 * ML / (Rm * beta * T * T), {-1, 1, 1, -1, 0, 0, 0, 0}},
    };
    const int longitudinal_ids[7] = {11, 12, 13, 14, 15, 16, 17};
    ASSERT_EQ(r.rows.size(), 25u);
    Points Sp{}, Sx{};
    for (int side = 0; side < 2; ++side) {
        Points& sum = side == 0 ? Sp : Sx;
        const std::size_t first = side == 0 ? 0 : 10;
        for (std::size_t k = 0; k < 7; ++k) {
            Expected e = circumferential[k];
            if (side == 1) {   // the same formulas with the longitudinal figures
                e.v *= of_figure[longitudinal_ids[k]] / of_figure[e.id];
                e.id = longitudinal_ids[k];
            }
            const Points p = pattern(e.v, e.signs);
            expect_points(r.rows[first + k].s, p, r.rows[first + k].label);
            EXPECT_EQ(r.rows[first + k].figure, wrc537_cylinder_figure(e.id)->name);
            for (std::size_t i = 0; i < 8; ++i)
                sum[i] += p[i];
        }
        expect_points(r.rows[first + 8].s, sum, r.rows[first + 8].label);
    }
    EXPECT_EQ(r.rows[8].label, "Circumferential Stresses (Sp)");
    EXPECT_EQ(r.rows[18].label, "Longitudinal Stresses (Sx)");
    // Shear: VC at A, B; VL at C, D.
    const double pi = 3.1415927f, Av = pi * 4 * 1;
    const Points v1 = pattern(800 / Av, {1, 1, -1, -1, 0, 0, 0, 0});
    const Points v2 = pattern(-600 / Av, {0, 0, 0, 0, -1, -1, 1, 1});
    const Points mt = pattern(9000 / (2 * pi * 16 * 1), {1, 1, 1, 1, 1, 1, 1, 1});
    expect_points(r.rows[20].s, v1, "Shear Stress (V1)");
    expect_points(r.rows[21].s, v2, "Shear Stress (V2)");
    double largest = 0;
    for (std::size_t i = 0; i < 8; ++i)
        largest = std::max(largest, intensity(Sp[i], Sx[i], v1[i] + v2[i] + mt[i]));
    EXPECT_EQ(r.intensity_label, "Combined Stress Intensity (PL+Q)");
    expect_relative(r.max_intensity, largest, 1e-9, "largest intensity");
}

TEST(Wrc537Curves, MissingRecordsAreListedBeforeAnyStress)
{
    // The shipped store holds SP-1 of the radial membrane family only.
    const Wrc537CurveStore store = read_wrc537_curves(std::string(KV_SOURCE_DIR) + "/libraries/wrc537_curves.txt");
    NozzleEvaluation n = wrc_sphere();
    n.rm = 2.0f;    // gamma = 4
    n.T = 0.1f;     // rho = 0.2: record 0
    n.r = 0.1f;
    const Wrc537Result r = wrc537_sphere(n, store);
    EXPECT_EQ(r.record, 0);
    EXPECT_TRUE(r.rows.empty());
    ASSERT_EQ(r.missing.size(), 7u);
    EXPECT_EQ(r.missing[0], "SP-1 (radial bending, radial load)");
    EXPECT_EQ(r.missing[1], "SM-1 (radial membrane, moment)");
    // A cylinder with Rm/T = 5 finds 3C, then misses the rest.
    n.spherical = 0;
    n.T = 1.0f;
    n.Rm = 5.0f;
    n.ro = 1.0f;
    const Wrc537Result c = wrc537_cylinder(n, store);
    ASSERT_EQ(c.missing.size(), 13u);
    EXPECT_EQ(c.missing[0], "2C-1 (Rm/T = 5)");
    EXPECT_TRUE(c.rows.empty());
    // A zero vessel thickness from a file gives a message, not a division.
    n.T = 0.0f;
    EXPECT_FALSE(wrc537_cylinder(n, store).problem.empty());
}

TEST(Wrc537Cylinder, NumbersOutOfRangeGiveAMessageNotAnInfinity)
{
    // Found by fuzzing: a file's torsional moment of -1e37 on an attachment
    // radius of 1e-42 drives the shear past the range of numbers.
    NozzleEvaluation n = wrc_sphere();
    n.spherical = 0;
    n.MT = -1.0633823e37f;
    n.T = 1.1754944e-38f;
    n.Rm = 1.4349296e-42f;
    n.ro = 1.4349296e-42f;
    Wrc537CurveStore store;
    for (const Wrc537Figure& f : wrc537_cylinder_figures())
        store.add(wrc537_cylinder_key(f), (*f.gammas)[0], constant(f.name, 0.5));
    const Wrc537Result r = wrc537_cylinder(n, store);
    EXPECT_FALSE(r.problem.empty());
    EXPECT_TRUE(r.rows.empty());
    EXPECT_TRUE(std::isfinite(r.calculated));
}

TEST(En13445Sphere, NegativeNozzleStressFromAFileGivesAMessage)
{
    // Found by fuzzing: fb < 0 made nu negative and sqrt(1 + nu) undefined.
    NozzleEvaluation n = en_sphere();
    n.fb = -8.6e9f;
    const En13445Result r = en13445_sphere(n);
    EXPECT_FALSE(r.problem.empty());
    EXPECT_DOUBLE_EQ(r.Fz_max, 0.0);
}
