// The ASCE/SEI 7-10 computations against the standard: the site
// coefficients of table 11.4-1, the component force of eqs. 13.3-1 to
// 13.3-3 worked by hand, the exposure coefficients of table 29.3-1, the
// topographic factor worked through figure 26.8-1, the velocity pressure of
// eq. 29.3-1 at several elevations and the force coefficients of figure
// 29.5-1; and the wind pressures of velocity and pressure profiles.
#include "closeness.h"
#include "loads/data/loads_fixture.h"

#include <cmath>

using namespace loads_test;

namespace {

class AsceTest : public LoadsFileTest {};

constexpr double FT = 12.0;   // inch

}  // namespace

TEST_F(AsceTest, SiteCoefficientsFollowTable11_4_1)
{
    // The table's columns as printed, SS = 0.25, 0.5, 0.75, 1.0, 1.25.
    const double printed[5][5] = {{0.8, 0.8, 0.8, 0.8, 0.8},
                                  {1.0, 1.0, 1.0, 1.0, 1.0},
                                  {1.2, 1.2, 1.1, 1.0, 1.0},
                                  {1.6, 1.4, 1.2, 1.1, 1.0},
                                  {2.5, 1.7, 1.2, 0.9, 0.9}};
    for (int site = SITE_A; site <= SITE_E; ++site)
        for (int c = 0; c < 5; ++c)
            EXPECT_DOUBLE_EQ(asce_site_coefficient(site, 0.25 * (c + 1)), printed[site][c]) << site << " " << c;
    // Between columns the note allows straight-line interpolation: class D
    // at SS 0.6 is 1.4 - 0.4 (1.4 - 1.2) = 1.32; class C at 0.6 is 1.16.
    EXPECT_NEAR(asce_site_coefficient(SITE_D, 0.6), 1.32, 1e-12);
    EXPECT_NEAR(asce_site_coefficient(SITE_C, 0.6), 1.16, 1e-12);
    // Beyond the table the end columns hold.
    EXPECT_DOUBLE_EQ(asce_site_coefficient(SITE_E, 0.1), 2.5);
    EXPECT_DOUBLE_EQ(asce_site_coefficient(SITE_D, 2.0), 1.0);
}

TEST_F(AsceTest, ComponentForceWorkedByHand)
{
    // Site D, SS = 0.6: Fa = 1.32, SMS = 0.792, SDS = 0.528. Welded piping
    // (ap 2.5, Rp 12), Ip 1.0, attached at z = 20 ft in a 40 ft structure:
    // Fp = 0.4 (2.5)(0.528)(1.0)(1 + 2 x 0.5) / 12 = 0.088, below the floor
    // 0.3 SDS Ip = 0.1584, which governs. With ASD 0.7: horizontal 0.11088,
    // vertical 0.7 x 0.2 x 0.528 = 0.07392.
    AsceSeismic a;
    a.site_class = SITE_D;
    a.ss = 0.6f;
    a.component_height = static_cast<float>(20 * FT);
    a.structure_height = static_cast<float>(40 * FT);
    a.ap = 2.5f;
    a.rp = 12.0f;
    a.ip = 1.0f;
    a.asd = 0.7f;
    AsceSeismicFactors f = asce_seismic_factors(a);
    expect_relative(f.fa, 1.32, 1e-6, "Fa");
    expect_relative(f.sds, 0.528, 1e-6, "SDS");
    expect_relative(f.fp, 0.1584, 1e-6, "Fp at its floor");
    expect_relative(f.horizontal, 0.11088, 1e-6, "horizontal");
    expect_relative(f.vertical, 0.07392, 1e-6, "vertical");

    // Site E, SS = 1.5: Fa = 0.9, SDS = 0.9. ap 2.5, Rp 2.5, Ip 1.5, z above
    // h (z/h taken as 1): Fp = 0.4 (2.5)(0.9)(1.5)(3) / 2.5 = 1.62, between
    // 0.405 and 2.16. ASD 1.0.
    a.site_class = SITE_E;
    a.ss = 1.5f;
    a.component_height = static_cast<float>(50 * FT);
    a.rp = 2.5f;
    a.ip = 1.5f;
    a.asd = 1.0f;
    f = asce_seismic_factors(a);
    expect_relative(f.fp, 1.62, 1e-6, "Fp between its bounds");
    expect_relative(f.vertical, 0.18, 1e-6, "vertical");
    // Rp 1.0: 4.05, above the ceiling 1.6 SDS Ip = 2.16.
    a.rp = 1.0f;
    expect_relative(asce_seismic_factors(a).fp, 2.16, 1e-6, "Fp at its ceiling");

    // Compute puts the horizontal factor on X and the other horizontal axis
    // and the vertical one on the vertical axis; the flags stay.
    asce_seismic() = a;
    seismic_g().flag = {1, 0, 1};
    analysis_options().z_vertical = true;
    asce_seismic_compute();
    expect_relative(seismic_g().g[0], 2.16, 1e-6, "X");
    expect_relative(seismic_g().g[1], 2.16, 1e-6, "Y");
    expect_relative(seismic_g().g[2], 0.18, 1e-6, "Z vertical");
    EXPECT_EQ(seismic_g().flag, (std::array<uint8_t, 3>{1, 0, 1}));
    analysis_options().z_vertical = false;
    asce_seismic_compute();
    expect_relative(seismic_g().g[1], 0.18, 1e-6, "Y vertical");

    // The range checks of the data, both ends included.
    a.ip = 1.5f;
    EXPECT_EQ(asce_seismic_fault(a), "");
    a.ip = 1.51f;
    EXPECT_EQ(asce_seismic_fault(a), "Invalid Importance Factor. Value should be between 1.00 to 1.50");
    a.ip = 1.0f;
    a.structure_height = 0.0f;
    EXPECT_EQ(asce_seismic_fault(a), "Invalid Structure height");
}

TEST_F(AsceTest, ExposureCoefficientsMatchTable29_3_1)
{
    // Table 29.3-1 as printed (two decimals): heights in ft, exposures B, C, D.
    const struct {
        double z;
        double b, c, d;
    } printed[] = {{0, 0.57, 0.85, 1.03}, {15, 0.57, 0.85, 1.03}, {20, 0.62, 0.90, 1.08},
                   {30, 0.70, 0.98, 1.16}, {50, 0.81, 1.09, 1.27}};
    for (const auto& row : printed) {
        EXPECT_NEAR(asce_exposure_coefficient(EXPOSURE_B, row.z * FT), row.b, 0.0051) << row.z;
        EXPECT_NEAR(asce_exposure_coefficient(EXPOSURE_C, row.z * FT), row.c, 0.0051) << row.z;
        EXPECT_NEAR(asce_exposure_coefficient(EXPOSURE_D, row.z * FT), row.d, 0.0051) << row.z;
    }
    // Below ground the 15 ft value holds; above zg the gradient value 2.01.
    EXPECT_DOUBLE_EQ(asce_exposure_coefficient(EXPOSURE_C, -100.0), asce_exposure_coefficient(EXPOSURE_C, 15 * FT));
    EXPECT_NEAR(asce_exposure_coefficient(EXPOSURE_D, 900 * FT), 2.01, 1e-12);
}

TEST_F(AsceTest, TopographicFactorWorkedThroughFigure26_8_1)
{
    // A 2-D escarpment 100 ft high with Lh = 200 ft (H/Lh = 0.5), exposure
    // C, the site 50 ft behind the crest at 30 ft above ground:
    // K1 = 0.85 x 0.5 = 0.425, K2 = 1 - 50 / (4 x 200) = 0.9375,
    // K3 = exp(-2.5 x 30 / 200) = 0.687289, Kzt = (1 + K1 K2 K3)^2.
    AsceWind w;
    w.exposure = EXPOSURE_C;
    w.hill = HILL_ESCARPMENT;
    w.hill_height = static_cast<float>(100 * FT);
    w.crest_distance = static_cast<float>(200 * FT);
    w.crest_to_site = static_cast<float>(50 * FT);
    w.height_above_ground = static_cast<float>(30 * FT);
    const double k3 = std::exp(-2.5 * 30.0 / 200.0);
    const double expected = std::pow(1.0 + 0.425 * 0.9375 * k3, 2);
    expect_relative(asce_topographic_factor(w), expected, 1e-6, "escarpment");
    // The figure's tables give K1 0.43, K2 0.94, K3 0.69 there.
    expect_relative(asce_topographic_factor(w), std::pow(1.0 + 0.43 * 0.94 * 0.69, 2), 0.01, "tabulated");
    // A steeper hill, H/Lh = 1: K1 with 0.5, K2 and K3 with Lh = 2H: the same.
    w.crest_distance = static_cast<float>(100 * FT);
    expect_relative(asce_topographic_factor(w), expected, 1e-6, "steep escarpment");
    // A 3-D hill in exposure B: K1 = 0.95 x 0.3, mu 1.5, gamma 4, H = 80 ft.
    w.hill = HILL_AXISYMMETRIC;
    w.exposure = EXPOSURE_B;
    w.hill_height = static_cast<float>(80 * FT);
    w.crest_distance = static_cast<float>(80 / 0.3 * FT);
    const double lh = 80 / 0.3;
    expect_relative(asce_topographic_factor(w),
                    std::pow(1.0 + 0.95 * 0.3 * (1.0 - 50.0 / (1.5 * lh)) * std::exp(-4.0 * 30.0 / lh), 2), 1e-5,
                    "3-D hill");
    // Where 26.8.1 does not call for it: H/Lh below 0.2, or a hill lower than
    // 60 ft in exposure B (15 ft in C and D).
    w.crest_distance = static_cast<float>(500 * FT);
    EXPECT_DOUBLE_EQ(asce_topographic_factor(w), 1.0);
    w.crest_distance = static_cast<float>(100 * FT);
    w.hill_height = static_cast<float>(50 * FT);
    EXPECT_DOUBLE_EQ(asce_topographic_factor(w), 1.0);
    w.exposure = EXPOSURE_C;
    EXPECT_GT(asce_topographic_factor(w), 1.0);
    w.hill = HILL_NONE;
    EXPECT_DOUBLE_EQ(asce_topographic_factor(w), 1.0);
}

TEST_F(AsceTest, VelocityPressureAtSeveralElevations)
{
    // V = 115 mph, Kd = 0.85, exposure C, flat ground:
    // qz = 0.00256 Kz (1.0)(0.85)(115^2) psf with Kz = 2.01 (z / 900)^(2 / 9.5),
    // z held at 15 ft below it.
    AsceWind w;
    w.speed = 115.0f;
    w.kd = 0.85f;
    w.exposure = EXPOSURE_C;
    for (double z_ft : {5.0, 15.0, 30.0, 75.0, 160.0}) {
        const double kz = 2.01 * std::pow(std::max(z_ft, 15.0) / 900.0, 2.0 / 9.5);
        const double psf = 0.00256 * kz * 1.0 * 0.85 * 115.0 * 115.0;
        expect_relative(asce_velocity_pressure(w, z_ft * FT), psf / 144.0, 1e-6, "qz at " + std::to_string(z_ft));
    }
    // At 30 ft with the table's Kz = 0.98 (rounded to 0.005): 28.2 psf.
    expect_relative(asce_velocity_pressure(w, 30 * FT) * 144.0, 0.00256 * 0.98 * 0.85 * 115 * 115, 0.005, "30 ft");

    // As wind load 1's ASCE profile it needs the ASCE data and a direction.
    wind_data().asce = w;
    wind_load(1).asce = 1;
    wind_load(1).direction = {0.0f, 0.0f, 1.0f};
    EXPECT_FALSE(wind_load1_defined());
    EXPECT_DOUBLE_EQ(wind_pressure_at(1, 30 * FT), 0.0);
    asce_wind_on() = true;
    EXPECT_TRUE(wind_load1_defined());
    expect_relative(wind_pressure_at(1, 30 * FT), asce_velocity_pressure(w, 30 * FT), 1e-12, "wind load 1");
    wind_load(1).direction = {0.0f, 0.0f, 0.00001f};
    EXPECT_FALSE(wind_load1_defined());
}

TEST_F(AsceTest, RoundForceCoefficientsOfFigure29_5_1)
{
    // D = 12 in at qz = 28 psf: D sqrt(qz) = 5.3 > 2.5, the rows by surface.
    const double qz = 28.0 / 144.0;
    EXPECT_DOUBLE_EQ(asce_round_force_coefficient(SURFACE_SMOOTH, 12.0, 12.0, qz), 0.5);   // h/D = 1
    EXPECT_DOUBLE_EQ(asce_round_force_coefficient(SURFACE_ROUGH, 84.0, 12.0, qz), 0.8);    // 7
    EXPECT_DOUBLE_EQ(asce_round_force_coefficient(SURFACE_VERY_ROUGH, 480.0, 12.0, qz), 1.2);  // 40, held at 25
    // h/D = 4, halfway from 1 to 7: 0.55, 0.75, 0.9.
    EXPECT_NEAR(asce_round_force_coefficient(SURFACE_SMOOTH, 48.0, 12.0, qz), 0.55, 1e-12);
    EXPECT_NEAR(asce_round_force_coefficient(SURFACE_ROUGH, 48.0, 12.0, qz), 0.75, 1e-12);
    EXPECT_NEAR(asce_round_force_coefficient(SURFACE_VERY_ROUGH, 48.0, 12.0, qz), 0.9, 1e-12);
    // D = 2 in: D sqrt(qz) = 0.88, the row of all surfaces; h/D = 16,
    // halfway from 7 to 25: 1.0.
    EXPECT_NEAR(asce_round_force_coefficient(SURFACE_SMOOTH, 32.0, 2.0, qz), 1.0, 1e-12);
    EXPECT_DOUBLE_EQ(asce_round_force_coefficient(SURFACE_VERY_ROUGH, 2.0, 2.0, qz), 0.7);
    // The model's own data: surface and qz at the height.
    asce_wind().speed = 115.0f;
    asce_wind().surface = SURFACE_ROUGH;
    EXPECT_DOUBLE_EQ(round_force_coefficient(12.0, 12.0), 0.7);
}

TEST_F(AsceTest, ProfilesGivePressureTimesShapeFactor)
{
    // Velocity 80 mph at elevation 0 and 100 mph at 600 in: at 300 in
    // 90 mph, q = 0.00256 x 90^2 = 20.736 psf, times the shape factor 0.6.
    WindLoad& w = wind_load(2);
    w.direction = {1.0f, 0.0f, 0.0f};
    w.velocity = curve({{ENTERED_ZERO, 80.0f}, {600.0f, 100.0f}});
    wind_data().units.kind = PROFILE_VELOCITY;
    EXPECT_TRUE(wind_load2_defined());
    EXPECT_NEAR(wind_pressure_at(2, 300.0), 0.00256 * 90 * 90 * 0.6 / 144, 1e-7);
    // Held beyond the ends.
    EXPECT_NEAR(wind_pressure_at(2, 2000.0), 0.00256 * 100 * 100 * 0.6 / 144, 1e-7);
    EXPECT_NEAR(wind_pressure_at(2, -50.0), 0.00256 * 80 * 80 * 0.6 / 144, 1e-7);
    // A pressure profile: its pressure times the shape factor. A load whose
    // profile of the chosen kind is empty takes its other one.
    WindLoad& p = wind_load(3);
    p.direction = {0.0f, 0.0f, 1.0f};
    p.shape_factor = 0.7f;
    p.pressure = curve({{100.0f, 0.1f}, {500.0f, 0.3f}});
    EXPECT_NEAR(wind_pressure_at(3, 200.0), 0.15 * 0.7, 1e-7);
    wind_data().units.kind = PROFILE_PRESSURE;
    EXPECT_NEAR(wind_pressure_at(2, 300.0), 0.00256 * 90 * 90 * 0.6 / 144, 1e-7);
    EXPECT_FALSE(wind_load4_defined());
    EXPECT_DOUBLE_EQ(wind_pressure_at(4, 100.0), 0.0);
}

TEST_F(AsceTest, OneVelocityWindSetsWindLoadOneAndTheUnits)
{
    unit_choice()[LENGTH] = 4;     // mm
    unit_choice()[PRESSURE] = 5;   // kg/cm2
    unit_choice()[SPEED] = 2;      // m/s
    wind_from_single_velocity(0.0f);
    EXPECT_EQ(wind_data().units, (WindProfileUnits{1, 2, 2, PROFILE_VELOCITY}));
    EXPECT_TRUE(wind_load(1).velocity.empty());
    wind_from_single_velocity(90.0f);
    wind_from_single_velocity(100.0f);
    // The second velocity takes the place of the first: the profile keeps
    // strictly increasing elevations.
    ASSERT_EQ(wind_load(1).velocity.size(), 1u);
    EXPECT_FLOAT_EQ(wind_load(1).velocity[0].y, 100.0f);
    unit_choice()[LENGTH] = 2;     // inch
    unit_choice()[PRESSURE] = 1;   // bar
    wind_from_single_velocity(100.0f);
    EXPECT_EQ(wind_data().units, (WindProfileUnits{0, 1, 2, PROFILE_VELOCITY}));
}
