// The run-pipe stresses at lug attachments: the stress indices of ASME III
// Division 1 (2010) Appendix Y, Y-3410 (rectangular) and Y-5410 (hollow
// circular), the five checks of NC/ND-3653 with the Appendix Y additions and
// of EN 13480-3 (2017) 11.6 with their allowables, and the weld checks,
// each worked out here from the clauses' formulas.
#include "closeness.h"
#include "qualification/lug_evaluation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double PI = 3.141592653589793;

LugLoads loads(float W, float Q1, float Q2, float ML, float MN, float MT)
{
    LugLoads l;
    l.W = W;
    l.Q1 = Q1;
    l.Q2 = Q2;
    l.ML = ML;
    l.MN = MN;
    l.MT = MT;
    return l;
}

// A 10 in. run pipe (10.75 x 0.5) with a 2 x 3 in. rectangular lug (L1 = 1,
// L2 = 1.5) and five load sets.
LugInput rectangular_lug(int32_t code, int32_t level)
{
    LugInput in;
    in.code = code;
    in.level = level;
    in.attachment = LUG_RECTANGULAR;
    in.Do = 10.75f;
    in.T = 0.5f;
    in.L1 = 1.0f;
    in.L2 = 1.5f;
    in.sustained_stress = 5000;
    in.expansion_stress = 8000;
    in.occasional_stress = 7000;
    in.settlement_stress = 2000;
    in.thermal_stress = 12000;
    in.sh = 15000;
    in.sy = 30000;
    in.sa = 22500;
    in.fh = 14000;
    in.fa = 21000;
    in.fcr = 9000;
    in.ReHt = 25000;
    in.sustained = loads(500, 100, -200, 1000, -800, 300);
    in.thermal = loads(-1000, 50, 75, 2000, 1500, -400);
    in.occasional = loads(250, -60, 40, -500, 700, 100);
    in.settlement = loads(100, 20, 30, 400, -300, 50);
    in.maxima = loads(1500, 160, 275, 3000, 2300, 700);
    return in;
}

// Y-3410, worked here: X of each index and the index itself, at least 1.
struct RectIndices {
    double Kn, KL, KC;
};
RectIndices y3410(double Do, double T, double L1, double L2)
{
    const double Rm = (Do - T) / 2.0, g = Rm / T, b1 = L1 / Rm, b2 = L2 / Rm;
    auto X = [&](double deg, double a1, double a2, double c) {
        const double th = deg * PI / 180.0, x1 = std::log10(b1) - a1, x2 = std::log10(b2) - a2;
        return -(std::cos(th) * x1 + std::sin(th) * x2) - std::pow(std::sin(th) * x1 - std::cos(th) * x2, 2) / c;
    };
    return {std::max(1.0, 3.82 * std::pow(g, 1.64) * b1 * b2 * std::pow(X(40, 0, -0.05, 2.2), 1.54)),
            std::max(1.0, 0.26 * std::pow(g, 1.74) * b1 * b2 * b2 * std::pow(X(50, 0.45, 0.55, 2.0), 4.74)),
            std::max(1.0, 0.38 * std::pow(g, 1.9) * b1 * b1 * b2 * std::pow(X(40, 0.75, 0.6, 1.8), 3.4))};
}

// Y-3410 local stress of a load set with the indices given.
double y3410_local(const LugInput& in, const LugLoads& l, double kn, double kl, double kc)
{
    const double L1 = in.L1, L2 = in.L2, T = in.T;
    const double A = 4 * L1 * L2, ZL = 4.0 / 3.0 * L1 * L2 * L2, ZN = 4.0 / 3.0 * L1 * L1 * L2;
    const double lmin = std::min(L1, L2), lmax = std::max(L1, L2);
    const double t1 = l.MT / ((1 + lmin / lmax) * T * lmax * lmin), t2 = l.MT / ((0.8 + 0.05 * lmax / lmin) * lmax * lmin * lmin);
    const double tau = std::max(std::fabs(t1), std::fabs(t2));
    return std::fabs(l.Q2 / (2 * L2 * std::min(T, L1))) + std::fabs(l.Q1 / (2 * L1 * std::min(T, L2))) +
           std::fabs(l.MN * kc / ZN) + std::fabs(l.ML * kl / ZL) + std::fabs(l.W * kn / A) + tau;
}

}  // namespace

TEST(LugEvaluation, RectangularIndicesY3410)
{
    const LugInput in = rectangular_lug(LUG_ASME_NC, 0);
    const LugEvaluation ev = evaluate_lug(in);
    ASSERT_TRUE(ev.problem.empty()) << ev.problem;
    const RectIndices k = y3410(10.75, 0.5, 1.0, 1.5);
    const RectangularLugIndices& r = ev.rectangular;
    expect_relative(r.Kn, k.Kn, 1e-12, "Kn");
    expect_relative(r.KL, k.KL, 1e-12, "KL");
    expect_relative(r.KC, k.KC, 1e-12, "KC");
    // Worked by hand for this lug: gamma = 10.25, beta1 = 0.19512, beta2 = 0.29268.
    EXPECT_NEAR(r.Kn, 7.737, 0.001);
    EXPECT_NEAR(r.KL, 2.034, 0.001);
    EXPECT_NEAR(r.KC, 2.824, 0.001);
    // The primary indices are two thirds, at least 1.
    expect_relative(r.Kn_p, 2.0 * k.Kn / 3.0, 1e-12, "Kn'");
    expect_relative(r.KL_p, std::max(1.0, 2.0 * k.KL / 3.0), 1e-12, "KL'");
    // Section values of the lug.
    EXPECT_DOUBLE_EQ(r.A, 6.0);
    EXPECT_DOUBLE_EQ(r.ZL, 4.0 / 3.0 * 2.25);
    EXPECT_DOUBLE_EQ(r.ZN, 4.0 / 3.0 * 1.5);
    EXPECT_DOUBLE_EQ(r.shear_Q1, 2.0 * 0.5);
    EXPECT_DOUBLE_EQ(r.shear_Q2, 3.0 * 0.5);

    // Indices never fall below 1 where the formulas give less (a tiny lug).
    LugInput small = in;
    small.L1 = small.L2 = 0.01f;
    const LugEvaluation s = evaluate_lug(small);
    ASSERT_TRUE(s.problem.empty()) << s.problem;
    EXPECT_DOUBLE_EQ(s.rectangular.Kn, 1.0);
    EXPECT_DOUBLE_EQ(s.rectangular.KL, 1.0);
}

TEST(LugEvaluation, RectangularChecksAsmeLevelsAndEn)
{
    const RectIndices k = y3410(10.75, 0.5, 1.0, 1.5);
    const double kp = 2.0 / 3.0;
    for (int32_t level = 0; level <= 3; ++level) {
        const LugInput in = rectangular_lug(LUG_ASME_NC, level);
        const LugEvaluation ev = evaluate_lug(in);
        ASSERT_EQ(ev.checks.size(), 5u);
        const double Psus = y3410_local(in, in.sustained, std::max(1.0, kp * k.Kn), std::max(1.0, kp * k.KL),
                                        std::max(1.0, kp * k.KC));
        const double Pocc = y3410_local(in, in.occasional, std::max(1.0, kp * k.Kn), std::max(1.0, kp * k.KL),
                                        std::max(1.0, kp * k.KC));
        const double Pth = y3410_local(in, in.thermal, k.Kn, k.KL, k.KC);
        const double Pset = y3410_local(in, in.settlement, k.Kn, k.KL, k.KC);
        // Full penetration: fw = 2, so fw P / 2 = P.
        EXPECT_EQ(ev.section_title, "Section Y-3410: Pipe Stresses at Attachment");
        expect_relative(ev.checks[0].calculated, 5000 + Psus, 1e-12, "Eq. 8");
        EXPECT_DOUBLE_EQ(ev.checks[0].allowed, 1.5 * 15000);
        expect_relative(ev.checks[1].calculated, 7000 + Pocc + Psus, 1e-12, "Eq. 9");
        // Level A and B: 1.5 Sy, C: 1.8 Sy, D: 2 Sy.
        const double factor[4] = {1.5, 1.5, 1.8, 2.0};
        EXPECT_DOUBLE_EQ(ev.checks[1].allowed, factor[level] * 30000) << "level " << level;
        expect_relative(ev.checks[2].calculated, 8000 + Pth, 1e-12, "Eq. 10");
        EXPECT_DOUBLE_EQ(ev.checks[2].allowed, 22500);
        expect_relative(ev.checks[3].calculated, 2000 + Pset, 1e-12, "Eq. 10a");
        EXPECT_DOUBLE_EQ(ev.checks[3].allowed, 3 * 15000);
        expect_relative(ev.checks[4].calculated, Psus + 12000 + Pth, 1e-12, "Eq. 11");
        EXPECT_DOUBLE_EQ(ev.checks[4].allowed, 22500 + 15000);
    }

    // Weld checks: Y-3410 Eq. 5 (SNT**, 2 Sy) and Eq. 6 (shear, Sy), with a
    // fillet weld on three sides or fewer (fw = 3.6 for the thermal sets).
    LugInput in = rectangular_lug(LUG_ASME_ND, 0);
    in.weld = 2;
    const LugEvaluation ev = evaluate_lug(in);
    EXPECT_DOUBLE_EQ(ev.weld_factor, 3.6);
    expect_relative(ev.checks[2].calculated, 8000 + 3.6 * y3410_local(in, in.thermal, k.Kn, k.KL, k.KC) / 2, 1e-12,
                    "Eq. 10 with fw");
    EXPECT_EQ(ev.weld_title, "Additional check for Fillet or Partial Penetration Weld (<= 3 Sides)");
    const LugLoads& m = in.maxima;
    const double A = 6.0, ZL = 3.0, ZN = 2.0, q1 = m.Q1 / 1.0, q2 = m.Q2 / 1.5;
    const double tau = std::max(m.MT / ((1 + 1.0 / 1.5) * 0.5 * 1.5 * 1.0), m.MT / ((0.8 + 0.05 * 1.5) * 1.5 * 1.0));
    const double snt = m.W * k.Kn / A + m.ML * k.KL / ZL + m.MN * k.KC / ZN + q1 + q2 + tau;
    ASSERT_EQ(ev.weld_checks.size(), 2u);
    EXPECT_EQ(ev.weld_checks[0].label, "Stress (SNT**) as per Y-3410 Eq. 5:");
    expect_relative(ev.weld_checks[0].calculated, snt, 1e-12, "SNT**");
    EXPECT_DOUBLE_EQ(ev.weld_checks[0].allowed, 60000);
    expect_relative(ev.weld_checks[1].calculated, q1 + q2 + tau, 1e-12, "Y-3410 Eq. 6");
    EXPECT_DOUBLE_EQ(ev.weld_checks[1].allowed, 30000);

    // EN 13480-3 11.6: S1 1.5 fh, S2a 1.8 fh, S3 fa, S4 fa + fh, S5 1.25 fcr;
    // the level does not count; 11.7.2-1 shear: sqrt(q1^2 + q2^2) + tau.
    LugInput en = rectangular_lug(LUG_EN13480, 3);
    const LugEvaluation e = evaluate_lug(en);
    const double Psus = y3410_local(en, en.sustained, std::max(1.0, kp * k.Kn), std::max(1.0, kp * k.KL),
                                    std::max(1.0, kp * k.KC));
    const double Pth = y3410_local(en, en.thermal, k.Kn, k.KL, k.KC);
    EXPECT_EQ(e.section_title, "Clause 11.6: Pipe Stresses at Attachment");
    EXPECT_EQ(e.checks[0].label, "Sustained Stress (S1) [Eq. 11.6-1]:");
    EXPECT_DOUBLE_EQ(e.checks[0].allowed, 1.5 * 14000);
    EXPECT_DOUBLE_EQ(e.checks[1].allowed, 1.8 * 14000);
    EXPECT_DOUBLE_EQ(e.checks[2].allowed, 21000);
    expect_relative(e.checks[3].calculated, Psus + 12000 + Pth, 1e-12, "S4");
    EXPECT_DOUBLE_EQ(e.checks[3].allowed, 21000 + 14000);
    // S5: the creep stress (the fourth stress field) + Psus + fw Pth / 2.
    expect_relative(e.checks[4].calculated, 2000 + Psus + Pth, 1e-12, "S5");
    EXPECT_DOUBLE_EQ(e.checks[4].allowed, 1.25 * 9000);
    EXPECT_EQ(e.weld_checks[0].label, "Stress (SNT**) as per Eq. 11.6-6:");
    EXPECT_DOUBLE_EQ(e.weld_checks[0].allowed, 2 * 25000);
    expect_relative(e.weld_checks[1].calculated, std::sqrt(q1 * q1 + q2 * q2) + tau, 1e-12, "Eq. 11.7.2-1");
}

TEST(LugEvaluation, NegativeTorsionTakesTheLargerMagnitude)
{
    // Y-3410: of the two torsion quotients the larger governs; a negative
    // moment must give the same stress as a positive one.
    LugInput in = rectangular_lug(LUG_ASME_NC, 0);
    in.sustained = loads(0, 0, 0, 0, 0, -300);
    LugInput positive = in;
    positive.sustained.MT = 300;
    const double negative_stress = evaluate_lug(in).checks[0].calculated;
    EXPECT_DOUBLE_EQ(negative_stress, evaluate_lug(positive).checks[0].calculated);
    // MT / ((1 + Lmin/Lmax) T Lmax Lmin) = 300 / 1.25 = 240 against
    // MT / ((0.8 + 0.05 Lmax/Lmin) Lmax Lmin^2) = 300 / 1.3125 = 228.6.
    EXPECT_NEAR(negative_stress - 5000, 240.0, 1e-9);
}

TEST(LugEvaluation, ZeroLoadsGiveTheRunPipeStresses)
{
    LugInput in = rectangular_lug(LUG_ASME_NC, 0);
    in.sustained = in.thermal = in.occasional = in.settlement = in.maxima = LugLoads{};
    const LugEvaluation ev = evaluate_lug(in);
    const double expected[5] = {5000, 7000, 8000, 2000, 12000};
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_DOUBLE_EQ(ev.checks[i].calculated, expected[i]) << ev.checks[i].label;
    EXPECT_DOUBLE_EQ(ev.weld_checks[0].calculated, 0.0);
    EXPECT_DOUBLE_EQ(ev.weld_checks[1].calculated, 0.0);
}

TEST(LugEvaluation, HollowIndicesAndChecksY5410)
{
    // A 10 in. run pipe with a 4 in. (4.5 x 0.337) trunnion: R = Do/T = 21.5,
    // t/T = 0.674, beta = do/Do = 0.4186.
    LugInput in = rectangular_lug(LUG_ASME_NC, 1);
    in.attachment = LUG_HOLLOW;
    in.d_o = 4.5f;
    in.t = 0.337f;
    in.weld = 1;
    const LugEvaluation ev = evaluate_lug(in);
    ASSERT_TRUE(ev.problem.empty()) << ev.problem;
    const double R = 10.75 / 0.5, tr = 0.337f / 0.5, b = 4.5 / 10.75;
    const double KW = std::max({1.0, 1.4 * std::exp(-1.2 * b * b * b) * std::pow(R, 0.81) * std::pow(tr, 1.33),
                                4.0 * std::exp(-1.35 * b * b * b) * std::pow(R, 0.55) * tr});
    const double KL = std::max({1.0, 0.46 * std::pow(b, -0.04) * std::pow(tr, 0.86) * std::pow(R, 0.6),
                                1.1 * std::pow(b, -0.38) * std::pow(tr, 0.38) * std::pow(R, 0.23)});
    const double KN = std::max({1.0, 0.51 * std::pow(R, 1.01) * std::pow(tr, 0.89) * std::pow(b, 0.79),
                                0.84 * std::pow(b, 0.8) * std::pow(tr, 0.54) * std::pow(R, 0.85)});
    const HollowLugIndices& k = ev.hollow;
    expect_relative(k.KW, KW, 1e-6, "KW");
    expect_relative(k.KL, KL, 1e-6, "KL");
    expect_relative(k.KN, KN, 1e-6, "KN");
    EXPECT_DOUBLE_EQ(k.KT, 1.0);
    // Section of the trunnion.
    const double d_o = 4.5, t = 0.337f, di = d_o - 2 * t;
    const double A = PI / 4 * (d_o * d_o - di * di), Z = PI / 4 * (std::pow(d_o / 2, 4) - std::pow(di / 2, 4)) / (d_o / 2);
    const double As = A / 2, Zt = std::max(PI * (d_o / 2) * (d_o / 2) * t, Z);
    expect_relative(k.A, A, 1e-12, "A");
    expect_relative(k.Z, Z, 1e-12, "Z");
    expect_relative(k.Zt, Zt, 1e-12, "Zt");
    auto local = [&](const LugLoads& l, double f) {
        return std::fabs(l.MT * std::max(1.0, f * 1.0) / Zt) + std::fabs(l.MN * std::max(1.0, f * KN) / Z) +
               std::fabs(l.ML * std::max(1.0, f * KL) / Z) + std::fabs(l.W * std::max(1.0, f * KW) / A) +
               std::fabs(l.Q2 / As) + std::fabs(l.Q1 / As);
    };
    const double Psus = local(in.sustained, 0.5), Pocc = local(in.occasional, 0.5), Pth = local(in.thermal, 1.0);
    // Fillet weld: fw = 1.8.
    EXPECT_EQ(ev.section_title, "Section Y-5410: Pipe Stresses at Attachment");
    expect_relative(ev.checks[0].calculated, 5000 + Psus, 1e-9, "Eq. 8");
    expect_relative(ev.checks[1].calculated, 7000 + Pocc + Psus, 1e-9, "Eq. 9");
    EXPECT_DOUBLE_EQ(ev.checks[1].allowed, 1.5 * 30000);   // level B
    expect_relative(ev.checks[2].calculated, 8000 + 1.8 * Pth / 2, 1e-9, "Eq. 10");
    const LugLoads& m = in.maxima;
    const double snt = m.Q1 / As + m.Q2 / As + m.W * KW / A + m.ML * KL / Z + m.MN * KN / Z + m.MT * 1.0 / Zt;
    expect_relative(ev.weld_checks[0].calculated, std::fabs(snt), 1e-6, "Y-5410 Eq. 5");
    expect_relative(ev.weld_checks[1].calculated, std::fabs(m.MT / Zt + std::fabs(m.Q1 / As) + std::fabs(m.Q2 / As)),
                    1e-9, "Y-5410 Eq. 6");
    EXPECT_EQ(ev.weld_title, "Additional check for Fillet or Partial Penetration Weld");

    // EN 13480-3 11.7.1-1: |MT/Zt + sqrt(Q1^2 + Q2^2)/As|.
    in.code = LUG_EN13480;
    const LugEvaluation en = evaluate_lug(in);
    expect_relative(en.weld_checks[1].calculated, std::fabs(m.MT / Zt + std::hypot(m.Q1, m.Q2) / As), 1e-9,
                    "Eq. 11.7.1-1");
    EXPECT_EQ(en.weld_checks[0].label, "Stress (SNT**) as per Eq. 11.4.3-4:");
}

TEST(LugEvaluation, HollowTorsionIndexGrowsAboveBetaOfPointFiftyFive)
{
    // Y-5410: KT = 1 up to beta = 0.55, then 1 + (KN - 1)(beta - 0.55)/0.45.
    LugInput in = rectangular_lug(LUG_ASME_NC, 0);
    in.attachment = LUG_HOLLOW;
    in.Do = 10.0f;
    in.T = 0.5f;
    in.t = 0.3f;
    in.d_o = 5.5f;
    EXPECT_DOUBLE_EQ(evaluate_lug(in).hollow.KT, 1.0);
    in.d_o = 8.0f;   // beta = 0.8
    const HollowLugIndices k = evaluate_lug(in).hollow;
    const double R = 20.0, tr = 0.6, b = 0.8;
    const double KN = std::max({1.0, 0.23 * std::pow(R, 1.01) * std::pow(tr, 0.89) * std::pow(b, -0.62),
                                0.44 * std::pow(b, -0.28) * std::pow(tr, 0.54) * std::pow(R, 0.85)});
    expect_relative(k.KN, KN, 1e-6, "KN");
    expect_relative(k.KT, 1.0 + (KN - 1.0) * (0.8 - 0.55) / 0.45, 1e-6, "KT");
}

TEST(LugEvaluation, OutsideTheLimitsSaysWhy)
{
    LugInput hollow = rectangular_lug(LUG_ASME_NC, 0);
    hollow.attachment = LUG_HOLLOW;
    hollow.d_o = 2.0f;   // beta = 0.186
    hollow.t = 0.3f;
    EXPECT_EQ(lug_geometry_problem(hollow), "do/Do should be between 0.3 and 1.0");
    hollow.d_o = 4.0f;
    hollow.t = 0.05f;    // t/T = 0.1
    EXPECT_EQ(lug_geometry_problem(hollow), "t/T should be between 0.2 and 1.0");
    hollow.t = 0.3f;
    hollow.T = 0.1f;     // Do/2T = 53.75
    EXPECT_EQ(lug_geometry_problem(hollow), "Run Pipe - Radius/Thickness should be between 4 and 50");
    const LugEvaluation ev = evaluate_lug(hollow);
    EXPECT_FALSE(ev.problem.empty());
    EXPECT_TRUE(ev.checks.empty());

    // Within the limits of the dialog X can be 0 or less (Do 200, T 1, L1
    // 0.001, L2 40): the indices are undefined and the evaluation says so.
    LugInput flat = rectangular_lug(LUG_ASME_NC, 0);
    flat.Do = 200.0f;
    flat.T = 1.0f;
    flat.L1 = 0.001f;
    flat.L2 = 40.0f;
    const std::string problem = lug_geometry_problem(flat);
    EXPECT_NE(problem.find("not defined"), std::string::npos) << problem;
    EXPECT_TRUE(evaluate_lug(flat).checks.empty());

    // Exact limits are accepted: L1/Ro = 0.5 with L1/Ro L2/Ro = 0.075.
    LugInput edge = rectangular_lug(LUG_ASME_NC, 0);
    edge.Do = 10.5f;
    edge.T = 0.5f;   // Ro = 5
    edge.L1 = 2.5f;
    edge.L2 = 0.75f;
    EXPECT_EQ(lug_geometry_problem(edge), "");
}
