// The pipeline codes against hand calculations: a B31.8 restrained buried
// pipe (hoop, longitudinal, Tresca and von Mises stresses) with the design
// factor chosen by the options' index and the temperature derating, a Z662
// unrestrained pipe with its location and temperature factors, and B31.4's
// limits.
#include "closeness.h"
#include "codes/code_catalog.h"
#include "codes/pipeline_stress.h"
#include "model/analysis_options.h"
#include "model/piping_codes.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double PI = std::numbers::pi;
constexpr double REL = 1e-9;

}  // namespace

TEST(PipelineStress, B318RestrainedBuriedPipeByHand)
{
    // 12.75 x 0.375 X52 (S 52 000 psi) at 1000 psi, laid at 60 degF, run at
    // 150 degF; E 29.5e6, alpha 6.5e-6.
    const StressSection s = stress_section(12.75, 0.375);
    const double sh = pipeline_hoop_stress(s, 1000.0);
    EXPECT_DOUBLE_EQ(sh, 1000.0 * 12.75 / (2 * 0.375));   // 17 000
    // para. 833.3: SL = 0.3 SH + E alpha (T1 - T2) + SB; SB = 2 000 psi of
    // bending on the compressive side.
    const RestrainedStress r =
        restrained_stress(PipelineCode::B318, sh, 0.27, 29.5e6, 6.5e-6, 60.0, 150.0, 2000.0, 0.0);
    const double sl = 0.3 * 17000.0 + 29.5e6 * 6.5e-6 * (60.0 - 150.0) - 2000.0;   // -14 157.5
    expect_relative(r.longitudinal, sl, REL, "SL");
    // Tresca |SL - SH| and von Mises sqrt(SL^2 - SL SH + SH^2).
    expect_relative(r.tresca, std::fabs(sl - 17000.0), REL, "Tresca");
    expect_relative(r.von_mises, std::sqrt(sl * sl - sl * 17000.0 + 17000.0 * 17000.0), REL, "von Mises");
    // B31.8 checks von Mises (para. 833.4).
    EXPECT_DOUBLE_EQ(r.equivalent, r.von_mises);
    // With torsion 3 000 psi: Tresca 2 sqrt(((SL - SH)/2)^2 + St^2).
    const RestrainedStress t =
        restrained_stress(PipelineCode::B318, sh, 0.3, 29.5e6, 6.5e-6, 60.0, 150.0, 2000.0, 3000.0);
    expect_relative(t.tresca, 2 * std::sqrt(std::pow((sl - 17000.0) / 2, 2) + 9.0e6), REL, "Tresca with St");
    expect_relative(t.von_mises, std::sqrt(sl * sl - sl * 17000.0 + 17000.0 * 17000.0 + 3 * 9.0e6), REL,
                    "von Mises with St");
}

TEST(PipelineStress, B318DesignFactorIndexAndTemperatureDerating)
{
    // The options' index 0..4 picks F of 0.80, 0.72, 0.60, 0.50, 0.40.
    PipelineFactors f;
    f.yield = 52000.0;
    f.joint = 1.0;
    for (int index = 0; index < 5; ++index) {
        f.design = b318_design_factor(index);
        f.temperature = b318_temperature_factor(200.0);
        EXPECT_DOUBLE_EQ(*pipeline_hoop_allowable(PipelineCode::B318, f), B318_DESIGN_FACTORS[index] * 52000.0);
    }
    // Table 841.1.8-1: 1.000 to 250 degF, 0.967 at 300, halfway 0.9835 at 275.
    EXPECT_DOUBLE_EQ(*b318_temperature_factor(300.0), 0.967);
    expect_relative(*b318_temperature_factor(275.0), 0.9835, 1e-12, "T at 275");
    EXPECT_FALSE(b318_temperature_factor(451.0).has_value());
    // Index 1 (0.72), E 0.8, 300 degF: F E T S = 0.72 x 0.8 x 0.967 x 52 000;
    // restrained and combined 0.9 S T.
    f.design = b318_design_factor(1);
    f.joint = 0.8;
    f.temperature = b318_temperature_factor(300.0);
    EXPECT_DOUBLE_EQ(*pipeline_hoop_allowable(PipelineCode::B318, f), 0.72 * 0.8 * 0.967 * 52000.0);
    EXPECT_DOUBLE_EQ(*restrained_allowable(PipelineCode::B318, f), 0.9 * 52000.0 * 0.967);
    // No yield: nothing is checked.
    f.yield = 0.0;
    EXPECT_FALSE(pipeline_hoop_allowable(PipelineCode::B318, f).has_value());
}

TEST(PipelineStress, Z662UnrestrainedPipeByHand)
{
    // 8.625 x 0.250, S 359 MPa = 52 069 psi, class location 2, 1400 psi.
    const StressSection s = stress_section(8.625, 0.25);
    PipelineFactors f;
    f.yield = 52069.0;
    f.joint = 1.0;
    f.location = z662_location_factor(2, false);
    f.temperature = z662_temperature_factor(212.0);   // 100 degC: 1.00
    EXPECT_DOUBLE_EQ(f.location, 0.90);
    EXPECT_DOUBLE_EQ(*f.temperature, 1.0);
    // Hoop P D/2t against S F L J T, F = 0.8.
    expect_relative(pipeline_hoop_stress(s, 1400.0), 1400.0 * 8.625 / 0.5, REL, "SH");
    EXPECT_DOUBLE_EQ(*pipeline_hoop_allowable(PipelineCode::Z662, f), 52069.0 * 0.8 * 0.9);
    // Expansion against 0.72 S T; the sustained limit is not checked here.
    EXPECT_DOUBLE_EQ(*unrestrained_expansion_allowable(PipelineCode::Z662, f), 0.72 * 52069.0);
    EXPECT_FALSE(unrestrained_sustained_allowable(PipelineCode::Z662, f).has_value());
    // The sustained longitudinal stress: P D/4t + |Fa|/A + sqrt((Ii Mi)^2 +
    // (Io Mo)^2)/Z with the indices 0.75 i >= 1.
    StressInput in;
    in.section = s;
    in.sifs = {2.0, 1.2, 1.0, 1.0};
    const EndLoads l{-3000.0, 0.0, 40000.0, 25000.0};
    const double di = 8.625 - 0.5;
    const double z = PI / 32 * (std::pow(8.625, 4) - std::pow(di, 4)) / 8.625;
    const double area = PI / 4 * (8.625 * 8.625 - di * di);
    const double hand = 1400.0 * 8.625 / 1.0 + 3000.0 / area + std::hypot(1.5 * 40000.0, 1.0 * 25000.0) / z;
    expect_relative(unrestrained_sustained_stress(in, l, 1400.0), hand, REL, "SL");
    // Table 4.4 at 150 degC (302 degF): 0.97; Table 4.2 sour, class 4: 0.50.
    expect_relative(*z662_temperature_factor(302.0), 0.97, 1e-12, "T");
    EXPECT_DOUBLE_EQ(z662_location_factor(4, true), 0.50);
}

TEST(PipelineStress, B314LimitsOnTheYieldStrength)
{
    PipelineFactors f;
    f.yield = 42000.0;
    f.joint = 0.85;
    EXPECT_DOUBLE_EQ(*pipeline_hoop_allowable(PipelineCode::B314, f), 0.72 * 0.85 * 42000.0);
    EXPECT_DOUBLE_EQ(*restrained_allowable(PipelineCode::B314, f), 0.90 * 42000.0);
    EXPECT_DOUBLE_EQ(*unrestrained_sustained_allowable(PipelineCode::B314, f), 0.75 * 42000.0);
    EXPECT_DOUBLE_EQ(*unrestrained_occasional_allowable(PipelineCode::B314, f), 0.80 * 42000.0);
    EXPECT_DOUBLE_EQ(*unrestrained_expansion_allowable(PipelineCode::B314, f), 0.90 * 42000.0);
    // B31.4 checks Tresca; B31.8 leaves its expansion and occasional limits.
    const RestrainedStress r = restrained_stress(PipelineCode::B314, 20000.0, 0.3, 29.0e6, 6.5e-6, 70.0, 70.0, 0.0, 0.0);
    EXPECT_DOUBLE_EQ(r.equivalent, r.tresca);
    EXPECT_DOUBLE_EQ(r.longitudinal, 6000.0);
    EXPECT_FALSE(unrestrained_expansion_allowable(PipelineCode::B318, f).has_value());
    for (int32_t code : {CODE_B314, CODE_B318, CODE_Z662}) {
        EXPECT_EQ(stress_rules(code), StressRules::Pipeline);
        EXPECT_TRUE(is_pipeline_code(code));
    }
    EXPECT_FALSE(is_pipeline_code(CODE_B313));
}
