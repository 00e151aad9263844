// EN 13480-3 (2017) clause 12.3 against hand calculations: sigma1 to sigma6
// at an elbow end with in- and out-of-plane SIFs, the design stress with
// and without fCR governing, the occasional factor and the range factor.
#include "closeness.h"
#include "codes/code_catalog.h"
#include "codes/en13480_stress.h"
#include "model/load_cases.h"
#include "model/piping_codes.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double PI = std::numbers::pi;
constexpr double REL = 1e-9;
constexpr double D = 6.625, T = 0.280, DI = D - 2 * T;
const double Z = PI / 32 * (std::pow(D, 4) - std::pow(DI, 4)) / D;
// The elbow's ii 3.5, io 2.9 (EN 13480-3 Table H.1 forms).
const Sifs ELBOW{3.5, 2.9, 1.0, 1.0};
const EndLoads MA{0.0, 20000.0, 50000.0, 30000.0};
const EndLoads MB{0.0, -5000.0, -40000.0, 10000.0};
const EndLoads MC{0.0, 15000.0, 120000.0, -45000.0};
constexpr double P = 1000.0;

// 0.75 i M and i M by 12.3.1: sqrt((ii Mi)^2 + (io Mo)^2 + Mt^2).
double im(double ii, double io, const EndLoads& l)
{
    return std::sqrt(std::pow(ii * l.in_plane, 2) + std::pow(io * l.out_plane, 2) + l.torsion * l.torsion);
}

}  // namespace

TEST(En13480Stress, Sigma1To6AtAnElbowEndByHand)
{
    const StressSection s = stress_section(D, T);
    const double slp = P * D / (4 * T);
    const double sus_a = im(0.75 * 3.5, 0.75 * 2.9, MA) / Z;
    const double sus_b = im(0.75 * 3.5, 0.75 * 2.9, MB) / Z;
    const double full_c = im(3.5, 2.9, MC) / Z;
    expect_relative(en13480_sigma1(s, Z, ELBOW, MA, P), slp + sus_a, REL, "sigma1");
    expect_relative(en13480_sigma2(s, Z, ELBOW, MA, MB, P), slp + sus_a + sus_b, REL, "sigma2");
    expect_relative(en13480_sigma3(Z, ELBOW, MC), full_c, REL, "sigma3");
    expect_relative(en13480_sigma4(s, Z, ELBOW, MA, MC, P), slp + sus_a + full_c, REL, "sigma4");
    expect_relative(en13480_sigma5(s, Z, ELBOW, MA, MC, P), slp + sus_a + im(0.75 * 3.5, 0.75 * 2.9, MC) / (3 * Z),
                    REL, "sigma5");
    expect_relative(en13480_sigma6(Z, ELBOW, MC), full_c, REL, "sigma6");
    // 0.75 i below 1 counts as 1: a plain pipe's 0.75 is raised.
    expect_relative(en13480_sustained_moment_stress(Sifs{}, Z, MA), im(1.0, 1.0, MA) / Z, REL, "index 1");
}

TEST(En13480Stress, DesignStressWithAndWithoutCreepGoverning)
{
    // ff = min(f, fCR): f 15 000 with fCR 12 000 (creep governs), with fCR
    // 18 000 (f governs), without fCR (not in the creep range).
    EXPECT_DOUBLE_EQ(en13480_design_stress(15000.0, 12000.0), 12000.0);
    EXPECT_DOUBLE_EQ(en13480_design_stress(15000.0, 18000.0), 15000.0);
    EXPECT_DOUBLE_EQ(en13480_design_stress(15000.0, 0.0), 15000.0);
}

TEST(En13480Stress, OccasionalFactorAndRangeFactor)
{
    // The seismic cases take K (at least 1.0), wind 1.15.
    EXPECT_DOUBLE_EQ(en13480_occasional_factor(LC_SEISMIC_G, 1.2), 1.2);
    EXPECT_DOUBLE_EQ(en13480_occasional_factor(LC_RESPONSE_SPECTRUM, 1.5), 1.5);
    EXPECT_DOUBLE_EQ(en13480_occasional_factor(LC_SEISMIC_G, 0.8), 1.0);
    EXPECT_DOUBLE_EQ(en13480_occasional_factor(LC_WIND, 1.2), 1.15);
    EXPECT_DOUBLE_EQ(en13480_occasional_factor(108, 1.2), 1.15);
    // Table 12.1.3-1.
    EXPECT_DOUBLE_EQ(*en13480_range_factor(7000), 1.0);
    EXPECT_DOUBLE_EQ(*en13480_range_factor(7001), 0.9);
    EXPECT_DOUBLE_EQ(*en13480_range_factor(200000), 0.5);
    EXPECT_DOUBLE_EQ(*en13480_range_factor(2000000), 0.3);
    EXPECT_FALSE(en13480_range_factor(2000001).has_value());
}

TEST(En13480Catalog, LabelsAndTheInOutPlaneChart)
{
    EXPECT_EQ(stress_rules(CODE_EN13480), StressRules::En13480);
    EXPECT_EQ(sif_table(CODE_EN13480), SifTable::Chart);
    EXPECT_TRUE(code_has_in_out_plane_sifs(CODE_EN13480, false));
    // The standard table's labels S1, S3, S6, S2 (never reached, as the
    // code has separate in- and out-of-plane SIFs; the rule is kept).
    EXPECT_EQ(stress_label(LC_SUSTAINED, CODE_EN13480, true), "S1");
    EXPECT_EQ(stress_label(LC_SETTLEMENT, CODE_EN13480, true), "S6");
    EXPECT_EQ(stress_label(LC_SETTLEMENT, CODE_CODETI, true), "SS");
    EXPECT_EQ(stress_label(LC_SETTLEMENT, CODE_EN13480, false), "SS");
}
