// Compressor (API 617) and turbine (NEMA SM 23) nozzle loads: Dc, De, the
// limits, the shaft axes and the transfer of every nozzle's loads to the
// reference connection, against values worked out here.
#include "qualification/compressor_evaluation.h"
#include "qualification/data/equipment_fixture.h"

#include <gtest/gtest.h>

using namespace equipment_test;

namespace {

class CompressorEvaluationTest : public EquipmentTest {
protected:
    // Inlet line to an anchor at node 10 (at (0, 40, -30)), exhaust at node
    // 20 (at (50, 0, 0)), extraction 1 at node 30 (at (20, 10, 30)).
    void machine_model(float inlet_od, float exhaust_od, float extraction_od)
    {
        section("SI", inlet_od);
        section("SE", exhaust_od);
        section("SX", extraction_od);
        inlet_row = line_to_anchor(5, {0, 140, -30}, 10, {0, -100, 0}, "SI");
        exhaust_row = line_to_anchor(15, {50, -100, 0}, 20, {0, 100, 0}, "SE");
        extraction_row = line_to_anchor(25, {20, 10, 130}, 30, {0, 0, -100}, "SX");
        make_model();
    }
    int inlet_row = 0, exhaust_row = 0, extraction_row = 0;
};

// Shaft axes by the elements' rule (Y vertical): x the shaft, y the vertical
// made perpendicular to x, z = x cross y.
void shaft_axes_by_hand(V3 shaft, V3& x, V3& y, V3& z)
{
    x = unit(shaft);
    const double h = std::sqrt(x[0] * x[0] + x[2] * x[2]);
    y = h >= 0.0005 ? V3{-x[0] * x[1] / h, h, -x[2] * x[1] / h} : V3{-1, 0, 0};
    z = cross(x, y);
}

}  // namespace

TEST(NemaLimits, CombinedDiameterAndEquivalentDiameter)
{
    // NEMA SM 23: Dc of a 6 in and an 8 in connection is sqrt(36 + 64) = 10
    // in, above 9 in so (10 + 18) / 3 = 9.333 in.
    EXPECT_NEAR(combined_diameter(36 + 64), 28.0 / 3.0, 1e-12);
    EXPECT_NEAR(combined_diameter(81), 9.0, 1e-12);
    EXPECT_NEAR(combined_diameter(16 + 36), std::sqrt(52.0), 1e-12);
    // De of a 10 in connection: (10 + 16) / 3 = 8.667; 8 in stays 8.
    EXPECT_NEAR(equivalent_diameter(10), 26.0 / 3.0, 1e-12);
    EXPECT_EQ(equivalent_diameter(8), 8);
    EXPECT_EQ(machine_limit_factor(MACHINE_COMPRESSOR), 1.85);
    EXPECT_EQ(machine_limit_factor(MACHINE_TURBINE), 1.0);
}

TEST_F(CompressorEvaluationTest, TurbineAndCompressorLimitsOfASixAndAnEightInchNozzle)
{
    section("S6", 6.625f);
    section("S8", 8.625f);
    line_to_anchor(5, {0, 100, 0}, 10, {0, -100, 0}, "S6");
    line_to_anchor(15, {50, -100, 0}, 20, {0, 100, 0}, "S8");
    make_model();
    const CompressorRecord t{"T-1", 10, 20, 0, 0, {1, 0, 0}};
    CompressorEvaluation e;
    prepare_compressor(t, e, MACHINE_TURBINE);
    const double dc = 28.0 / 3.0;
    EXPECT_NEAR(e.dc, dc, 1e-9);
    EXPECT_NEAR(e.allowable[0], 50 * dc, 1e-9);          // 466.7 lb
    EXPECT_NEAR(e.allowable[0], 466.67, 0.01);
    EXPECT_NEAR(e.allowable[1], 125 * dc, 1e-9);         // vertical
    EXPECT_NEAR(e.allowable[2], 100 * dc, 1e-9);
    EXPECT_NEAR(e.allowable[3], 250 * dc * 12, 1e-9);    // 250 Dc ft-lb in in-lb
    EXPECT_NEAR(e.allowable[4], 125 * dc * 12, 1e-9);
    EXPECT_NEAR(e.allowable[5], 125 * dc * 12, 1e-9);
    EXPECT_NEAR(e.allowable[LIMIT_2F_M], 2333.33, 0.01);
    // A compressor with the same nozzles: 1.85 times every limit.
    CompressorEvaluation c;
    prepare_compressor(t, c, MACHINE_COMPRESSOR);
    for (std::size_t i = 0; i < 7; ++i)
        EXPECT_NEAR(c.allowable[i], 1.85 * e.allowable[i], 1e-9) << i;
    // Z vertical: FY 100 Dc, FZ 125 Dc.
    analysis_options().z_vertical = true;
    prepare_compressor(t, e, MACHINE_TURBINE);
    EXPECT_NEAR(e.allowable[1], 100 * dc, 1e-9);
    EXPECT_NEAR(e.allowable[2], 125 * dc, 1e-9);
}

TEST_F(CompressorEvaluationTest, LargestConnectionPrefersTheExhaustOnEqualSizes)
{
    machine_model(8.625f, 8.625f, 6.625f);
    const CompressorRecord c{"K", 10, 20, 30, 0, {1, 0, 0}};
    CompressorEvaluation e;
    find_largest_connection(c, e);
    EXPECT_EQ(e.reference_node, 20);
    EXPECT_EQ(e.reference_size, 8);
    EXPECT_EQ(e.nozzle[EXTRACTION1].size, 6);
    // A larger extraction 1 takes it over.
    section("SB", 10.75f);
    model().rows[extraction_row].section = "SB";
    make_model();
    find_largest_connection(c, e);
    EXPECT_EQ(e.reference_node, 30);
    // An inlet equal to a later extraction stays the reference.
    const CompressorRecord k{"K2", 10, 0, 30, 0, {1, 0, 0}};
    model().rows[extraction_row].section = "SI";
    make_model();
    find_largest_connection(k, e);
    EXPECT_EQ(e.reference_node, 10);
}

TEST_F(CompressorEvaluationTest, CompressorLoadsResolvedAtTheLargestConnection)
{
    machine_model(8.625f, 6.625f, 4.5f);   // the inlet is the largest
    const V3 shaft{3, 1, 4};
    const CompressorRecord c{"K-9", 10, 20, 30, 0, {3, 1, 4}};
    CompressorEvaluation e;
    prepare_compressor(c, e, MACHINE_COMPRESSOR);
    // Loads on the pipe at each anchor (lbf, in-lbf, global).
    const std::array<std::array<float, 6>, 3> on_pipe = {{{100, -200, 50, 1000, 2000, -3000},
                                                          {-40, 80, 300, -500, 700, 900},
                                                          {25, 60, -90, 400, -100, 200}}};
    anchor_loads(inlet_row, on_pipe[0]);
    anchor_loads(exhaust_row, on_pipe[1]);
    anchor_loads(extraction_row, on_pipe[2]);
    evaluate_compressor_loads(c, e, 4, MACHINE_COMPRESSOR);
    ASSERT_EQ(e.reference_node, 10);

    V3 x, y, z;
    shaft_axes_by_hand(shaft, x, y, z);
    // In global axes: the sum of the nozzle forces, and of the nozzle
    // moments plus the moments of the forces about node 10.
    const std::array<V3, 3> at = {point(10), point(20), point(30)};
    V3 F{0, 0, 0}, M{0, 0, 0};
    for (std::size_t n = 0; n < 3; ++n) {
        const V3 f{-on_pipe[n][0], -on_pipe[n][1], -on_pipe[n][2]};
        const V3 m{-on_pipe[n][3], -on_pipe[n][4], -on_pipe[n][5]};
        const V3 r{at[n][0] - at[0][0], at[n][1] - at[0][1], at[n][2] - at[0][2]};
        const V3 rxf = cross(r, f);
        for (std::size_t i = 0; i < 3; ++i) {
            F[i] += f[i];
            M[i] += m[i] + rxf[i];
        }
        // Each nozzle's own loads in shaft axes.
        const MachineLoads& l = e.nozzle[n].loads[4];
        EXPECT_NEAR(l[0], dot(x, f), 1e-9);
        EXPECT_NEAR(l[1], dot(y, f), 1e-9);
        EXPECT_NEAR(l[5], dot(z, m), 1e-9);
    }
    const MachineLoads& k = e.combined[4];
    EXPECT_NEAR(k[0], dot(x, F), 1e-9);
    EXPECT_NEAR(k[1], dot(y, F), 1e-9);
    EXPECT_NEAR(k[2], dot(z, F), 1e-9);
    EXPECT_NEAR(k[3], dot(x, M), 1e-8);
    EXPECT_NEAR(k[4], dot(y, M), 1e-8);
    EXPECT_NEAR(k[5], dot(z, M), 1e-8);
}

TEST_F(CompressorEvaluationTest, TurbineExhaustLoadsEnterWithoutLeverArm)
{
    machine_model(6.625f, 8.625f, 4.5f);
    const CompressorRecord t{"T-2", 10, 20, 0, 0, {0, 0, 1}};
    CompressorEvaluation e;
    prepare_compressor(t, e, MACHINE_TURBINE);
    anchor_loads(exhaust_row, {10, 20, 30, 40, 50, 60});
    evaluate_compressor_loads(t, e, 0, MACHINE_TURBINE);
    // Shaft along Z: x = (0, 0, 1), y = (0, 1, 0) made from the vertical,
    // z = x cross y = (-1, 0, 0). Only the exhaust carries loads.
    V3 x, y, z;
    shaft_axes_by_hand({0, 0, 1}, x, y, z);
    const V3 f{-10, -20, -30}, m{-40, -50, -60};
    const MachineLoads& k = e.combined[0];
    EXPECT_NEAR(k[0], dot(x, f), 1e-12);
    EXPECT_NEAR(k[2], dot(z, f), 1e-12);
    EXPECT_NEAR(k[3], dot(x, m), 1e-12);
    EXPECT_NEAR(k[5], dot(z, m), 1e-12);
    // The inlet's loads are moved to the exhaust with their lever arm.
    anchor_loads(inlet_row, {0, -100, 0, 0, 0, 0});   // 100 lb up on the turbine
    evaluate_compressor_loads(t, e, 1, MACHINE_TURBINE);
    const V3 r{0 - 50, 40 - 0, -30 - 0};               // node 10 minus node 20
    const V3 M = cross(r, {0, 100, 0});
    V3 total_m{m[0] + M[0], m[1] + M[1], m[2] + M[2]};
    EXPECT_NEAR(e.combined[1][3], dot(x, total_m), 1e-9);
    EXPECT_NEAR(e.combined[1][4], dot(y, total_m), 1e-9);
    EXPECT_NEAR(e.combined[1][5], dot(z, total_m), 1e-9);
}

TEST_F(CompressorEvaluationTest, TurbineWithoutExhaustAndShaftMessages)
{
    machine_model(6.625f, 8.625f, 4.5f);
    const CompressorRecord no_exhaust{"T-3", 10, 0, 30, 0, {1, 0, 0}};
    CompressorEvaluation e;
    prepare_compressor(no_exhaust, e, MACHINE_TURBINE);
    anchor_loads(inlet_row, {1, 2, 3, 4, 5, 6});
    evaluate_compressor_loads(no_exhaust, e, 0, MACHINE_TURBINE);
    EXPECT_NEAR(e.nozzle[INLET].loads[0][0], -1, 1e-12);
    EXPECT_EQ(e.combined[0], MachineLoads{});
    // A shaft without a direction gives no axes.
    const CompressorRecord no_shaft{"K-0", 10, 20, 0, 0, {0, 0, 0}};
    EXPECT_EQ(thrown_text([&] { evaluate_compressor_loads(no_shaft, e, 0, MACHINE_COMPRESSOR); }),
              std::string("Invalid shaft axis for compressor: K-0. ") + SHAFT_WITHOUT_DIRECTION);
    // A reference node the model no longer has.
    const CompressorRecord gone{"T-4", 10, 77, 0, 0, {1, 0, 0}};
    prepare_compressor(gone, e, MACHINE_TURBINE);
    EXPECT_EQ(thrown_text([&] { evaluate_compressor_loads(gone, e, 0, MACHINE_TURBINE); }),
              "Node 77 of turbine T-4 is not defined");
}

TEST_F(CompressorEvaluationTest, NoConnectedPipeGivesZeroLimits)
{
    line_to_anchor(5, {0, 100, 0}, 10, {0, -100, 0}, "");
    make_model();
    const CompressorRecord t{"T-5", 10, 0, 0, 0, {1, 0, 0}};
    CompressorEvaluation e;
    prepare_compressor(t, e, MACHINE_TURBINE);
    EXPECT_EQ(e.dc, 0.0);
    for (double a : e.allowable)
        EXPECT_EQ(a, 0.0);
}
