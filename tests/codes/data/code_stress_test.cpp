// The code stress equations and allowables against hand calculations from
// their inputs: the 6 in Sch 40 long-radius elbow end under given forces,
// moments and 300 psi by B31.3 and B31.1, the pressure stress option, the
// axial force option, occasional loads, the no-code principal stresses of a
// hand stress state, the stress-range factor and the allowables.
#include "closeness.h"
#include "codes/code_catalog.h"
#include "codes/code_stress.h"
#include "model/piping_codes.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double REL = 1e-4;
constexpr double PI = std::numbers::pi;

// The elbow: Do 6.625, T 0.280; h = 0.28 x 9 / 3.1725^2.
constexpr double D = 6.625, T = 0.280, DI = 6.625 - 2 * 0.280;
const double H = 0.28 * 9.0 / (3.1725 * 3.1725);
// Its wall by hand: A = pi/4 (D^2 - d^2), Z = pi/32 (D^4 - d^4)/D.
const double AREA = PI / 4 * (D * D - DI * DI);
const double Z = PI / 32 * (std::pow(D, 4) - std::pow(DI, 4)) / D;

// End loads: Fx 1500 lb, Mt 20 000, Mi 50 000, Mo 30 000 in-lb; 300 psi.
const EndLoads LOADS{1500.0, 20000.0, 50000.0, 30000.0};
constexpr double P = 300.0;

StressInput elbow_input(StressRules rules)
{
    StressInput in;
    in.rules = rules;
    in.section = stress_section(D, T);
    in.corroded = in.section;
    const double h23 = std::cbrt(H * H);
    if (rules == StressRules::B311)
        in.sifs = {0.9 / h23, 0.9 / h23, 0.9 / h23, 0.9 / h23};
    else
        in.sifs = {0.9 / h23, 0.75 / h23, 1.0, 1.0};
    return in;
}

}  // namespace

TEST(CodeStress, PipeWallQuantitiesByHand)
{
    const StressSection s = stress_section(D, T);
    expect_relative(s.area, AREA, 1e-12, "A");
    expect_relative(s.section_modulus, Z, 1e-12, "Z");
    expect_relative(s.area, 5.5814, 1e-4, "A, 6 in Sch 40 (B36.10: 5.581 in2)");
    expect_relative(s.section_modulus, 8.4958, 1e-4, "Z, 6 in Sch 40 (B36.10: 8.50 in3)");
    EXPECT_FALSE(stress_section(1.0, 0.5).valid());
}

TEST(CodeStress, B313SustainedStressAtTheElbowEndUnder300Psi)
{
    // B31.3 para. 320.2: SL = sqrt((|Sa| + Sb)^2 + (2 St)^2), Sa = (Fa + the
    // pressure force)/Ap, Sb = sqrt((Ii Mi)^2 + (Io Mo)^2)/Z, St = It Mt/2Z,
    // Ii = max(0.75 ii, 1), Io = max(0.75 io, 1), It = 1. Option off: the
    // longitudinal pressure stress P D/4T.
    const StressInput in = elbow_input(StressRules::B313);
    const double h23 = std::cbrt(H * H);
    const double ii = std::max(0.75 * 0.9 / h23, 1.0), io = std::max(0.75 * 0.75 / h23, 1.0);
    const double sa = 1500.0 / AREA + P * D / (4 * T);
    const double sb = std::sqrt(std::pow(ii * 50000.0, 2) + std::pow(io * 30000.0, 2)) / Z;
    const double st = 20000.0 / (2 * Z);
    const double sl = std::sqrt(std::pow(sa + sb, 2) + std::pow(2 * st, 2));
    expect_relative(sustained_stress(in, LOADS, P), sl, REL, "SL");
    expect_relative(sl, 13431.73, 1e-5, "SL by hand");

    // With the pressure stress option: P d^2/(D^2 - d^2).
    StressInput exact = in;
    exact.pressure_stress_option = true;
    const double sa_exact = 1500.0 / AREA + P * DI * DI / (D * D - DI * DI);
    expect_relative(sustained_stress(exact, LOADS, P), std::sqrt(std::pow(sa_exact + sb, 2) + 4 * st * st), REL,
                    "SL exact pressure term");

    // A corrosion allowance of 0.05 in thins the sustained wall.
    StressInput corroded = in;
    corroded.corroded = stress_section(D, T - 0.05);
    const double di = D - 2 * (T - 0.05);
    const double a2 = PI / 4 * (D * D - di * di), z2 = PI / 32 * (std::pow(D, 4) - std::pow(di, 4)) / D;
    const double sa2 = 1500.0 / a2 + P * D / (4 * (T - 0.05));
    const double sb2 = std::sqrt(std::pow(ii * 50000.0, 2) + std::pow(io * 30000.0, 2)) / z2;
    expect_relative(sustained_stress(corroded, LOADS, P),
                    std::sqrt(std::pow(sa2 + sb2, 2) + std::pow(20000.0 / z2, 2)), REL, "SL less allowance");
}

TEST(CodeStress, B313ExpansionStressRangeAtTheElbowEnd)
{
    // B31.3 para. 319.4.4: SE = sqrt((|Sa| + Sb)^2 + (2 St)^2), Sa = ia Fa/Ap
    // (ia = 1 at an elbow), Sb with ii and io, St = it Mt/2Z (it = 1).
    const StressInput in = elbow_input(StressRules::B313);
    const double h23 = std::cbrt(H * H);
    const double sb = std::sqrt(std::pow(0.9 / h23 * 50000.0, 2) + std::pow(0.75 / h23 * 30000.0, 2)) / Z;
    const double se = std::sqrt(std::pow(1500.0 / AREA + sb, 2) + std::pow(20000.0 / Z, 2));
    expect_relative(expansion_stress(in, LOADS), se, REL, "SE");
    expect_relative(se, 15357.62, 1e-5, "SE by hand");
    // The sign of the axial range does not count.
    EndLoads compressed = LOADS;
    compressed.axial = -1500.0;
    expect_relative(expansion_stress(in, compressed), se, REL, "SE compressed");
}

TEST(CodeStress, B311SustainedAndExpansionStressesAtTheElbowEnd)
{
    // B31.1 para. 104.8.1 Eq. 15: SL = P Do/4tn + 0.75 i MA/Z (0.75 i >= 1),
    // MA the resultant moment; Eq. 17: SE = i MC/Z.
    const StressInput in = elbow_input(StressRules::B311);
    const double i = 0.9 / std::cbrt(H * H);
    const double m = std::sqrt(20000.0 * 20000.0 + 50000.0 * 50000.0 + 30000.0 * 30000.0);
    const double sl = P * D / (4 * T) + std::max(0.75 * i, 1.0) * m / Z;
    expect_relative(sustained_stress(in, LOADS, P), sl, REL, "SL");
    expect_relative(expansion_stress(in, LOADS), i * m / Z, REL, "SE");
    expect_relative(i * m / Z, 16438.71, 1e-5, "SE by hand");
    // B31.1 has no axial term; "Include axial force" adds |Fa|/A.
    StressInput axial = in;
    axial.include_axial_force = true;
    expect_relative(sustained_stress(axial, LOADS, P), sl + 1500.0 / AREA, REL, "SL with F/A");
    expect_relative(expansion_stress(axial, LOADS), i * m / Z + 1500.0 / AREA, REL, "SE with F/A");
    // B31.3 counts the axial force either way.
    StressInput b313 = elbow_input(StressRules::B313);
    const double without = expansion_stress(b313, LOADS);
    b313.include_axial_force = true;
    EXPECT_EQ(expansion_stress(b313, LOADS), without);
}

TEST(CodeStress, OccasionalLoadsAddTheirMagnitudes)
{
    // B31.3 para. 302.3.6(a): the occasional loads' stress by the sustained
    // equation, without pressure, from magnitudes: a negative moment adds
    // as much as a positive one.
    const StressInput in = elbow_input(StressRules::B313);
    const EndLoads minus{-1500.0, -20000.0, -50000.0, -30000.0};
    const double so = occasional_stress(in, LOADS);
    EXPECT_GT(so, 0.0);
    expect_relative(occasional_stress(in, minus), so, 1e-12, "magnitudes");
    const double h23 = std::cbrt(H * H);
    const double ii = std::max(0.75 * 0.9 / h23, 1.0), io = std::max(0.75 * 0.75 / h23, 1.0);
    const double sb = std::sqrt(std::pow(ii * 50000.0, 2) + std::pow(io * 30000.0, 2)) / Z;
    expect_relative(so, std::sqrt(std::pow(1500.0 / AREA + sb, 2) + std::pow(20000.0 / Z, 2)), REL, "SO");
    // B31.1 Eq. 16: 0.75 i MB/Z.
    const StressInput b311 = elbow_input(StressRules::B311);
    const double i = 0.9 / h23;
    expect_relative(occasional_stress(b311, minus), std::max(0.75 * i, 1.0) * LOADS.resultant() / Z, REL, "B31.1 SO");
}

TEST(CodeStress, InOutPlaneFormOfTheOlderEditions)
{
    // B31.1 (1967), B31.5: SE = sqrt(Sb^2 + 4 St^2), St = Mt/2Z, no axial term.
    StressInput in = elbow_input(StressRules::InOutPlane);
    const double h23 = std::cbrt(H * H);
    const double sb = std::sqrt(std::pow(0.9 / h23 * 50000.0, 2) + std::pow(0.75 / h23 * 30000.0, 2)) / Z;
    expect_relative(expansion_stress(in, LOADS), std::sqrt(sb * sb + std::pow(20000.0 / Z, 2)), REL, "SE");
    expect_relative(sustained_stress(in, LOADS, P), P * D / (4 * T) + std::sqrt(sb * sb + std::pow(20000.0 / Z, 2)),
                    REL, "SL");
}

TEST(CodeStress, NoCodeVonMisesMaximumAndMinimumOfAHandStressState)
{
    // A straight 6 in pipe (SIFs 1) at 300 psi with Fx 1500, Mt 20 000 and
    // bending Mi 50 000, Mo 30 000: the outer surface has axial Fx/A +
    // P D/4T +- M/Z, hoop P D/2T, shear Mt/2Z.
    StressInput in;
    in.rules = StressRules::NoCode;
    in.section = stress_section(D, T);
    const PrincipalStresses s = no_code_stresses(in, LOADS, P);
    const double axial = 1500.0 / AREA + P * D / (4 * T);
    const double bending = std::hypot(50000.0, 30000.0) / Z;
    const double hoop = P * D / (2 * T);
    const double tau = 20000.0 / (2 * Z);
    // Mohr's circle by hand on each side.
    const auto principal = [&](double sx, int sign) {
        return (sx + hoop) / 2 + sign * std::sqrt(std::pow((sx - hoop) / 2, 2) + tau * tau);
    };
    const auto mises = [&](double sx) { return std::sqrt(sx * sx - sx * hoop + hoop * hoop + 3 * tau * tau); };
    expect_relative(s.maximum, principal(axial + bending, +1), REL, "maximum");
    expect_relative(s.minimum, principal(axial - bending, -1), REL, "minimum");
    expect_relative(s.von_mises, std::max(mises(axial + bending), mises(axial - bending)), REL, "von Mises");
    // A pure shear state: s1 = tau, s2 = -tau, von Mises sqrt(3) tau.
    const PlaneStress shear = plane_stress(0.0, 0.0, 1000.0);
    expect_relative(shear.s1, 1000.0, 1e-12, "shear s1");
    expect_relative(shear.s2, -1000.0, 1e-12, "shear s2");
    expect_relative(shear.von_mises, std::sqrt(3.0) * 1000.0, 1e-12, "shear von Mises");
}

TEST(Allowable, StressRangeFactorAt7000And14000Cycles)
{
    // B31.3 Eq. 1c and B31.1: f = 6.0 N^-0.2, at most 1.0 (B31.3's limit
    // fm for a material that does not reach 1.2): 7000 cycles give
    // 6 / 7000^0.2 = 1.0212 -> 1.0; 14 000 give 0.88905.
    EXPECT_EQ(stress_range_factor(StressRules::B313, 7000), 1.0);
    expect_relative(stress_range_factor(StressRules::B313, 14000), 6.0 * std::pow(14000.0, -0.2), 1e-12, "14 000");
    expect_relative(stress_range_factor(StressRules::B311, 14000), 0.889049, 1e-6, "14 000 by hand");
    // Never below 0.15 (2e9 cycles would give 0.082).
    EXPECT_EQ(stress_range_factor(StressRules::B313, 2000000000), 0.15);
    // The table of the 1967 edition and B31.5: 1.0 up to 7000, 0.9 to 14 000.
    EXPECT_EQ(stress_range_factor(StressRules::InOutPlane, 7000), 1.0);
    EXPECT_EQ(stress_range_factor(StressRules::InOutPlane, 7001), 0.9);
    EXPECT_EQ(stress_range_factor(StressRules::InOutPlane, 14000), 0.9);
    EXPECT_EQ(stress_range_factor(StressRules::InOutPlane, 250000), 0.5);
}

TEST(Allowable, ExpansionBasicAndLiberal)
{
    // SA = f (1.25 Sc + 0.25 Sh); liberal adds Sh - SL when positive.
    expect_relative(expansion_allowable(1.0, 20000, 16000, false, 5000), 1.25 * 20000 + 0.25 * 16000, 1e-12, "basic");
    expect_relative(expansion_allowable(0.9, 20000, 16000, true, 5000), 0.9 * (1.25 * 36000 - 5000), 1e-12,
                    "liberal");
    // SL above Sh: nothing to add.
    expect_relative(expansion_allowable(1.0, 20000, 16000, true, 17000), 29000, 1e-12, "SL above Sh");
}

TEST(Allowable, OccasionalFactorsAndTheHydrotestNeedTheirCodesData)
{
    EXPECT_EQ(occasional_allowable_factor(CODE_B313), 1.33);
    EXPECT_EQ(occasional_allowable_factor(CODE_B3112), 1.33);
    EXPECT_EQ(occasional_allowable_factor(CODE_B311), 1.15);
    EXPECT_FALSE(occasional_allowable_factor(CODE_B311_1967).has_value());
    EXPECT_FALSE(occasional_allowable_factor(CODE_NONE).has_value());
    // The hydrotest takes the yield strength that B31.3 materials hold; a
    // material without it, or a code whose record holds none, is not checked.
    EXPECT_EQ(hydrotest_allowable(CODE_B313, 35000), 35000);
    EXPECT_FALSE(hydrotest_allowable(CODE_B313, 0).has_value());
    EXPECT_FALSE(hydrotest_allowable(CODE_B311, 35000).has_value());
}

TEST(CodeStress, OnlyCasesWithAStressLabelGetACodeStress)
{
    struct Case {
        int code;
        CaseStress kind;
        const char* label;
    };
    const Case cases[] = {
        {1, CaseStress::Sustained, "SL"},    {19, CaseStress::Hydrotest, "SL"},  {2, CaseStress::Expansion, "SE"},
        {7, CaseStress::Expansion, "SE"},    {51, CaseStress::Expansion, "SE"},  {99, CaseStress::Expansion, "SE"},
        {8, CaseStress::Operating, "Sopr"},  {9, CaseStress::Operating, "Sopr"},  {10, CaseStress::Operating, "Sopr"},
        {100, CaseStress::Operating, "Sopr"}, {106, CaseStress::Operating, "Sopr"},
        {11, CaseStress::Settlement, "SS"}, {12, CaseStress::Occasional, "SL+SO"},
        {13, CaseStress::Occasional, "SL+SO"}, {31, CaseStress::Occasional, "SL+SO"},
        {35, CaseStress::Occasional, "SL+SO"}, {37, CaseStress::Occasional, "SL+SO"},
        {107, CaseStress::Occasional, "SL+SO"}, {109, CaseStress::Occasional, "SL+SO"},
        // No stress column.
        {14, CaseStress::None, ""},  {15, CaseStress::None, ""},  {30, CaseStress::None, ""},
        {32, CaseStress::None, ""},  {41, CaseStress::None, ""},  {110, CaseStress::None, ""},
        {124, CaseStress::None, ""}, {125, CaseStress::None, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(case_stress(c.code), c.kind) << c.code;
        EXPECT_EQ(stress_label(c.code, CODE_B313), c.label) << c.code;
    }
    // EN 13480 and CODETI in the standard table.
    EXPECT_EQ(stress_label(1, CODE_EN13480, true), "S1");
    EXPECT_EQ(stress_label(3, CODE_CODETI, true), "S3");
    EXPECT_EQ(stress_label(11, CODE_EN13480, true), "S6");
    EXPECT_EQ(stress_label(11, CODE_CODETI, true), "SS");
    EXPECT_EQ(stress_label(107, CODE_EN13480, true), "S2");
    EXPECT_EQ(stress_label(8, CODE_EN13480, true), "Sopr");
}

TEST(CodeStress, CodesEvaluatedAndTheOthersNot)
{
    for (int32_t code : {CODE_NONE, CODE_B311, CODE_B311_1967, CODE_B313, CODE_B315, CODE_B319, CODE_B3112,
                         CODE_B314, CODE_B318, CODE_Z662, CODE_EN13480, CODE_ASME_CLASS3_2017})
        EXPECT_TRUE(code_stresses_available(code)) << code;
    for (int32_t code : {CODE_BS806, CODE_IGEM, CODE_CODETI, CODE_RCCM})
        EXPECT_FALSE(code_stresses_available(code)) << code;
    EXPECT_EQ(code_stresses_unavailable_text(CODE_BS806), "Code stresses are not available for BS 806 (1986)");
}
