// FRP stresses and ratios against hand calculations on the wall's mean
// diameter, with allowables interpolated at a temperature between two rows
// of the material's table.
#include "closeness.h"
#include "codes/frp_stress.h"
#include "materials/pipe_material.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double PI = std::numbers::pi;
constexpr double REL = 1e-9;

}  // namespace

TEST(FrpStress, StressesAndRatiosInterpolatedBetweenTwoTableRows)
{
    // An FRP material: at 70 degF hoop 12 000, torsion 5 000, axial 6 000;
    // at 200 degF 9 000, 4 000, 4 500 (columns 3, 4, 5).
    PipeMaterial m;
    m.set_type("FR");
    ASSERT_EQ(m.frp, 1);
    m.table.resize(2);
    m.table[1] = {70.0f, 2.0e6f, 1.0e-5f, 12000.0f, 5000.0f, 6000.0f, 3.0e6f, 0.6e6f};
    m.table[2] = {200.0f, 1.6e6f, 1.1e-5f, 9000.0f, 4000.0f, 4500.0f, 2.6e6f, 0.5e6f};
    // At 135 degF, halfway: 10 500, 4 500, 5 250.
    FrpAllowables a;
    a.hoop = material_property_at(m, 3, 135.0);
    a.torsion = material_property_at(m, 4, 135.0);
    a.axial = material_property_at(m, 5, 135.0);
    expect_relative(a.hoop, 10500.0, 1e-6, "hoop allowable");
    expect_relative(a.torsion, 4500.0, 1e-6, "torsion allowable");
    expect_relative(a.axial, 5250.0, 1e-6, "axial allowable");

    // 6.0 x 0.25 wall, 150 psi, Fx 800 lb, Mt 3 000, Mi 10 000, Mo 4 000,
    // SIFs ii 1.5, io 1.2, it 1.0.
    const StressSection s = stress_section(6.0, 0.25);
    const Sifs i{1.5, 1.2, 1.0, 1.0};
    const EndLoads l{800.0, 3000.0, 10000.0, 4000.0};
    const FrpEndStress r = frp_end_stress(s, i, l, 150.0, a);
    const double dm = 5.75, di = 5.5;
    const double area = PI / 4 * (36.0 - di * di);
    const double z = PI / 32 * (std::pow(6.0, 4) - std::pow(di, 4)) / 6.0;
    const double hoop = 150.0 * dm / 0.5;
    const double axial = 150.0 * dm / 1.0 + 800.0 / area + std::hypot(1.5 * 10000.0, 1.2 * 4000.0) / z;
    const double torsion = 3000.0 / (2 * z);
    expect_relative(r.hoop, hoop, REL, "hoop");
    expect_relative(r.axial, axial, REL, "axial");
    expect_relative(r.torsion, torsion, REL, "torsion");
    expect_relative(r.hoop_ratio, hoop / 10500.0, 1e-6, "hoop ratio");
    expect_relative(r.axial_ratio, axial / 5250.0, 1e-6, "axial ratio");
    expect_relative(r.torsion_ratio, torsion / 4500.0, 1e-6, "torsion ratio");
    EXPECT_DOUBLE_EQ(r.largest_ratio(), std::max({r.hoop_ratio, r.axial_ratio, r.torsion_ratio}));
}

TEST(FrpStress, CompressiveAxialTakesTheCompressedSideAndNoAllowableNoRatio)
{
    const StressSection s = stress_section(6.0, 0.25);
    const EndLoads l{-20000.0, 0.0, 5000.0, 0.0};
    const FrpEndStress r = frp_end_stress(s, Sifs{}, l, 0.0, FrpAllowables{});
    const double di = 5.5;
    const double area = PI / 4 * (36.0 - di * di);
    const double z = PI / 32 * (std::pow(6.0, 4) - std::pow(di, 4)) / 6.0;
    expect_relative(r.axial, -20000.0 / area - 5000.0 / z, REL, "compressed side");
    EXPECT_DOUBLE_EQ(r.hoop, 0.0);
    EXPECT_DOUBLE_EQ(r.largest_ratio(), 0.0);
}
