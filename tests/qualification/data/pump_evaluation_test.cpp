// Pump nozzle loads in pump axes and the allowables of API 610 (11th ed.) /
// ISO 13709 Table 5 and ANSI/HI 9.6.2-2011, each checked against values
// worked out here from the standards' rules.
#include "elements/branch_joints.h"
#include "materials/size_tables.h"
#include "qualification/data/equipment_fixture.h"
#include "qualification/pump_evaluation.h"
#include "qualification/pump_standards.h"

#include <gtest/gtest.h>

using namespace equipment_test;

namespace {

class PumpEvaluationTest : public EquipmentTest {
protected:
    // Suction line 5 -> 10 (4 in, anchor at 10, at (-20, 0, 0)); discharge
    // line 15 -> 20 (2 in, anchor at 20, at (0, 30, 30)).
    void two_nozzle_model()
    {
        section("S4", 4.5f);
        section("S2", 2.375f);
        suction_row = line_to_anchor(5, {-120, 0, 0}, 10, {100, 0, 0}, "S4");
        discharge_row = line_to_anchor(15, {0, 100, 30}, 20, {0, -70, 0}, "S2");
        make_model();
    }
    PumpRecord horizontal_pump() const { return api610_pump("P-1", {1, 0.5f, 0}, {0, 0, 0}); }
    int suction_row = 0, discharge_row = 0;
};

// API 610 Table 5 in SI units as the same book reproduces it (Forsthoffer,
// Best Practice Handbook for Rotating Machinery, 2011, Table 2.20.1 p. 109
// and Table 10.6.1 p. 565): N and N m, sizes 2, 3, 4, 6, 8, 10, 12, 14, 16 in.
struct SiRows {
    std::array<double, 9> fa{710, 1070, 1420, 2490, 3780, 5340, 6670, 7120, 8450};       // top FX
    std::array<double, 9> fb{580, 890, 1160, 2050, 3110, 4450, 5340, 5780, 6670};        // top FY
    std::array<double, 9> fc{890, 1330, 1780, 3110, 4890, 6670, 8000, 8900, 10230};      // top FZ
    std::array<double, 9> fr{1280, 1930, 2560, 4480, 6920, 9630, 11700, 12780, 14850};
    std::array<double, 9> mx{460, 950, 1330, 2300, 3530, 5020, 6100, 6370, 7320};
    std::array<double, 9> my{230, 470, 680, 1180, 1760, 2440, 2980, 3120, 3660};
    std::array<double, 9> mz{350, 720, 1000, 1760, 2580, 3800, 4610, 4750, 5420};
    std::array<double, 9> mr{620, 1280, 1800, 3130, 4710, 6750, 8210, 8540, 9820};
};

}  // namespace

TEST(Api610Table, EveryCellAgreesWithTheSiTableOfTheSameStandard)
{
    // 1 lbf = 4.44822 N, 1 ft lbf = 1.35582 N m; the US table rounds to its
    // steps, so a cell may differ from the converted SI value by up to 2 %.
    const SiRows si;
    const std::array<double, 9> sizes{2, 3, 4, 6, 8, 10, 12, 14, 16};
    auto near = [](double us, double si_amount, double per_unit, const char* what, double size) {
        EXPECT_NEAR(us, si_amount / per_unit, 0.02 * us) << what << " " << size << " in";
    };
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const Api610Loads* row = api610_loads(sizes[i]);
        ASSERT_NE(row, nullptr) << sizes[i];
        EXPECT_EQ(row->nominal_size, sizes[i]);
        // Top: FX, FY, FZ; side: FX, FZ of top swapped into FY, FZ; end: FX
        // the top's FZ, FY the top's FX, FZ the top's FY (ISO 1503 axes).
        const std::array<std::array<double, 3>, 3> expected_si = {{
            {si.fa[i], si.fb[i], si.fc[i]}, {si.fa[i], si.fc[i], si.fb[i]}, {si.fc[i], si.fa[i], si.fb[i]}}};
        for (int location = 0; location < 3; ++location) {
            const std::array<double, 4>& f = api610_forces(*row, location);
            for (int c = 0; c < 3; ++c)
                near(f[static_cast<std::size_t>(c)], expected_si[static_cast<std::size_t>(location)][static_cast<std::size_t>(c)],
                     4.44822, "force", sizes[i]);
            near(f[3], si.fr[i], 4.44822, "FR", sizes[i]);
            EXPECT_EQ(f[3], row->top[3]) << "FR is the same at every location";
        }
        near(row->moments[0], si.mx[i], 1.35582, "MX", sizes[i]);
        near(row->moments[1], si.my[i], 1.35582, "MY", sizes[i]);
        near(row->moments[2], si.mz[i], 1.35582, "MZ", sizes[i]);
        near(row->moments[3], si.mr[i], 1.35582, "MR", sizes[i]);
    }
    // The 6 in end nozzle as quoted independently: 700, 560, 460 lbf.
    const Api610Loads* six = api610_loads(6.0);
    EXPECT_EQ(six->end[0], 700);
    EXPECT_EQ(six->end[1], 560);
    EXPECT_EQ(six->end[2], 460);
}

TEST(Api610Table, SizeBandsTakeTheRowBelowTheNextSize)
{
    EXPECT_EQ(api610_size_band(2.0), 2);
    EXPECT_EQ(api610_size_band(2.5), 2);
    EXPECT_EQ(api610_size_band(2.9), 3);   // 2.9 is no longer below 2.9
    EXPECT_EQ(api610_size_band(5.0), 4);
    EXPECT_EQ(api610_size_band(15.8), 14);
    EXPECT_EQ(api610_size_band(15.9), 16);
    EXPECT_EQ(api610_size_band(24.0), 16);
    // F.2 nozzle sections follow the same bands.
    EXPECT_EQ(api610_nozzle_section(2.9).area, 2.228);
    EXPECT_EQ(api610_nozzle_section(16).modulus, 91.5);
}

// ---- Where a pump's nozzles sit ------------------------------------------------------------------

namespace {

class PumpLocation : public EquipmentTest {
protected:
    // Two 6 in lines to anchors at nodes 10 and 20.
    void SetUp() override
    {
        EquipmentTest::SetUp();
        section("S6", 6.625f);
        line_to_anchor(5, {-50, 0, 0}, 10, {50, 0, 0}, "S6");
        line_to_anchor(15, {10, 0, 60}, 20, {0, 0, -50}, "S6");
        make_model();
    }
    // A pump between the anchors with both nozzle locations Top, as batch
    // files stored a vertical inline pump.
    static PumpEvaluation evaluated(bool vertical)
    {
        PumpRecord p = api610_pump("P", {1, 0, 0}, {5, 0, 5});
        p.suction_node = 10;
        p.discharge_node = 20;
        p.suction_location = p.discharge_location = LOCATION_TOP;
        if (vertical) {
            p.vertical = 1;
            p.shaft_axis = {};
            p.centre = {};
        }
        PumpEvaluation e;
        prepare_pump(p, e);
        evaluate_pump_loads(p, e, 0);
        return e;
    }
};

}  // namespace

TEST_F(PumpLocation, AVerticalInlinePumpIsCheckedAsSideNozzlesWhateverLocationItsRecordHolds)
{
    // API 610 Table 5, 6 in nozzles: side FX 560, FY 700, FZ 460, FR 1010
    // lbf; top FX 560, FY 460, FZ 700; moments MX 1700, MY 870, MZ 1300, MR
    // 2310 ft-lbf. A vertical inline pump's nozzles are side nozzles whose
    // forces and moments are doubled (F.2): a record of Top locations (as
    // batch files stored them) is checked as the dialog's Side.
    const PumpEvaluation v = evaluated(true);
    for (int n : {SUCTION, DISCHARGE}) {
        const PumpLoads& w = v.nozzle[static_cast<std::size_t>(n)].allowed[0];
        EXPECT_EQ(w[P_FX], 2 * 560) << n;
        EXPECT_EQ(w[P_FY], 2 * 700) << n;
        EXPECT_EQ(w[P_FZ], 2 * 460) << n;
        EXPECT_EQ(w[P_FR], 2 * 1010) << n;
        EXPECT_EQ(w[P_MX], 2 * 1700 * 12) << n;
        EXPECT_EQ(w[P_MR], 2 * 2310 * 12) << n;
    }
    // A horizontal pump keeps the location its record gives: top, not
    // doubled.
    const PumpEvaluation horizontal = evaluated(false);
    const PumpLoads& h = horizontal.nozzle[SUCTION].allowed[0];
    EXPECT_EQ(h[P_FX], 560);
    EXPECT_EQ(h[P_FY], 460);
    EXPECT_EQ(h[P_FZ], 700);
    EXPECT_EQ(h[P_MX], 1700 * 12);
}

TEST_F(PumpEvaluationTest, VerticalInlinePumpDoublesTheSideNozzleLoads)
{
    // A vertical inline pump between two 2 in anchors: suction node 10 at
    // (0, 0, 0), discharge node 20 at (10, 0, 10); both nozzles are side
    // nozzles (the dialog stores them so).
    section("S2", 2.375f);
    line_to_anchor(5, {-50, 0, 0}, 10, {50, 0, 0}, "S2");
    line_to_anchor(15, {10, 0, 60}, 20, {0, 0, -50}, "S2");
    make_model();
    PumpRecord p;
    p.name = "VIL";
    p.suction_node = 10;
    p.discharge_node = 20;
    p.suction_location = p.discharge_location = LOCATION_SIDE;
    p.vertical = 1;
    p.kind = PUMP_VERTICAL_INLINE_API610;
    const PumpRecord stored = p;
    PumpEvaluation e;
    prepare_pump(p, e);
    evaluate_pump_loads(p, e, 0);
    // Table 5, 2 in side nozzle, doubled: FX 320, FY 400, FZ 260, FR 580 lbf,
    // MX 2 x 340 = 680 ft-lbf = 8160 in-lbf.
    const PumpLoads& w = e.nozzle[SUCTION].allowed[0];
    EXPECT_EQ(w[P_FX], 320);
    EXPECT_EQ(w[P_FY], 400);
    EXPECT_EQ(w[P_FZ], 260);
    EXPECT_EQ(w[P_FR], 580);
    EXPECT_EQ(w[P_MX], 8160);
    EXPECT_EQ(w[P_MY], 2 * 170 * 12);
    EXPECT_EQ(w[P_MR], 2 * 460 * 12);
    // Y axis along the horizontal line from suction to discharge; X = Y x V.
    const PumpAxes a = pump_axes(p, e);
    const V3 y = unit({10, 0, 10});
    const V3 x = cross(y, {0, 1, 0});
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(a.y[static_cast<std::size_t>(i)], y[static_cast<std::size_t>(i)], 1e-12);
        EXPECT_NEAR(a.x[static_cast<std::size_t>(i)], x[static_cast<std::size_t>(i)], 1e-12);
    }
    // The axis is the evaluation's; the record keeps its zero shaft axis.
    EXPECT_TRUE(p == stored);
}

TEST_F(PumpEvaluationTest, AxisMessagesOfHorizontalAndVerticalPumps)
{
    two_nozzle_model();
    PumpRecord p = horizontal_pump();
    PumpEvaluation e;
    // A shaft of (0, 0, 0), and one along the vertical: no horizontal axis,
    // each with its reason.
    p.shaft_axis = {0, 0, 0};
    EXPECT_EQ(thrown_text([&] { prepare_pump(p, e); }),
              std::string("Invalid shaft axis for pump: P-1. ") + SHAFT_WITHOUT_DIRECTION);
    p.shaft_axis = {0, 2, 0};
    EXPECT_EQ(thrown_text([&] { prepare_pump(p, e); }),
              "Invalid shaft axis for pump: P-1. Shaft axis of a horizontal pump cannot be vertical: give it an X or Z "
              "component (Y is vertical)");
    // A vertical inline pump whose discharge node lies straight above its
    // suction node.
    PumpRecord v;
    v.name = "V-2";
    v.vertical = 1;
    v.suction_node = 10;
    v.discharge_node = 30;
    from(25, -20, 0, 0);
    row(30, ET_PIPE, 0, 40, 0);
    make_model();
    EXPECT_EQ(thrown_text([&] { prepare_pump(v, e); }), "Unable to find z axis for vertical inline pump: V-2");
}

TEST_F(PumpEvaluationTest, AnchorLoadsNegatedIntoTiltedShaftAxesWithOffsets)
{
    two_nozzle_model();
    const PumpRecord p = horizontal_pump();   // shaft (1, 0.5, 0): tilted upwards
    PumpEvaluation e;
    prepare_pump(p, e);
    // Loads on the pipe at the suction anchor (lbf, in-lbf, global).
    anchor_loads(suction_row, {120, -340, 56, 1500, -2600, 800});
    anchor_loads(discharge_row, {-80, 40, 200, -900, 300, 1200});
    evaluate_pump_loads(p, e, 3);

    // Axes worked here: the shaft projected on the horizontal plane gives
    // X = (1, 0, 0); Z = V = (0, 1, 0); Y = V x X = (0, 0, -1).
    const V3 X{1, 0, 0}, Z{0, 1, 0}, Y = cross(Z, X);
    EXPECT_EQ(Y, (V3{0, 0, -1}));
    // The nozzle loads are those on the anchor, the negated pipe loads.
    const V3 f{-120, 340, -56}, m{-1500, 2600, -800};
    const PumpLoads& s = e.nozzle[SUCTION].loads[3];
    EXPECT_NEAR(s[P_FX], dot(X, f), 1e-9);
    EXPECT_NEAR(s[P_FY], dot(Y, f), 1e-9);
    EXPECT_NEAR(s[P_FZ], dot(Z, f), 1e-9);
    EXPECT_NEAR(s[P_FR], std::sqrt(120.0 * 120 + 340.0 * 340 + 56.0 * 56), 1e-9);
    EXPECT_NEAR(s[P_MX], dot(X, m), 1e-9);
    EXPECT_NEAR(s[P_MY], dot(Y, m), 1e-9);
    EXPECT_NEAR(s[P_MZ], dot(Z, m), 1e-9);
    EXPECT_NEAR(s[P_MY], 800, 1e-9);
    EXPECT_NEAR(s[P_MR], std::sqrt(1500.0 * 1500 + 2600.0 * 2600 + 800.0 * 800), 1e-9);
    // Other slots untouched.
    EXPECT_EQ(e.nozzle[SUCTION].loads[2][P_FX], 0.0);

    // Offsets from the centre along the pump axes: suction at (-20, 0, 0),
    // discharge at (0, 30, 30).
    EXPECT_NEAR(e.nozzle[SUCTION].dx, -20, 1e-9);
    EXPECT_NEAR(e.nozzle[SUCTION].dy, 0, 1e-9);
    EXPECT_NEAR(e.nozzle[DISCHARGE].dx, 0, 1e-9);
    EXPECT_NEAR(e.nozzle[DISCHARGE].dy, -30, 1e-9);
    EXPECT_NEAR(e.nozzle[DISCHARGE].dz, 30, 1e-9);

    // Sizes from the smallest pipe at the node: 4.5 in -> 4, 2.375 in -> 2.
    EXPECT_EQ(e.nozzle[SUCTION].size, 4);
    EXPECT_EQ(e.nozzle[DISCHARGE].size, 2);
    // Allowables of a horizontal pump: the suction end nozzle (4 in) FX 400,
    // FY 320, FZ 260, FR 570; the discharge top nozzle (2 in) FX 160, FY 130,
    // FZ 200; moments x 12 in-lbf, not doubled.
    const PumpLoads& ws = e.nozzle[SUCTION].allowed[3];
    EXPECT_EQ(ws[P_FX], 400);
    EXPECT_EQ(ws[P_FY], 320);
    EXPECT_EQ(ws[P_FZ], 260);
    EXPECT_EQ(ws[P_FR], 570);
    EXPECT_EQ(ws[P_MX], 980 * 12);
    EXPECT_EQ(ws[P_MZ], 740 * 12);
    const PumpLoads& wd = e.nozzle[DISCHARGE].allowed[3];
    EXPECT_EQ(wd[P_FX], 160);
    EXPECT_EQ(wd[P_FY], 130);
    EXPECT_EQ(wd[P_FZ], 200);
    EXPECT_EQ(wd[P_MR], 460 * 12);
}

TEST_F(PumpEvaluationTest, ZVerticalModelsTakeZAsThePumpVertical)
{
    analysis_options().z_vertical = true;
    two_nozzle_model();
    PumpRecord p = horizontal_pump();
    p.shaft_axis = {0, 2, 1};   // projected: (0, 1, 0)
    PumpEvaluation e;
    prepare_pump(p, e);
    const PumpAxes a = pump_axes(p, e);
    const V3 X{0, 1, 0}, V{0, 0, 1};
    EXPECT_EQ(a.x, X);
    EXPECT_EQ(a.z, V);
    EXPECT_EQ(a.y, cross(V, X));
    anchor_loads(discharge_row, {10, 20, 30, 40, 50, 60});
    evaluate_pump_loads(p, e, 0);
    EXPECT_NEAR(e.nozzle[DISCHARGE].loads[0][P_FX], -20, 1e-9);
    EXPECT_NEAR(e.nozzle[DISCHARGE].loads[0][P_FY], dot(cross(V, X), {-10, -20, -30}), 1e-9);
    EXPECT_NEAR(e.nozzle[DISCHARGE].loads[0][P_FZ], -30, 1e-9);
}

TEST_F(PumpEvaluationTest, NozzleWithoutAnchorOrPipeKeepsItsSlots)
{
    section("S4", 4.5f);
    // Node 10 is an anchor with no pipe section; node 20 a pipe end without anchor.
    line_to_anchor(5, {-120, 0, 0}, 10, {100, 0, 0}, "");
    from(15, 0, 50, 0);
    const int r = row(20, ET_PIPE, 0, -20, 0);
    model().rows[r].section = "S4";
    make_model();
    PumpRecord p = horizontal_pump();
    PumpEvaluation e;
    prepare_pump(p, e);
    EXPECT_EQ(e.nozzle[SUCTION].size, 0.0);
    EXPECT_NE(e.nozzle[SUCTION].anchor_row, 0);
    EXPECT_EQ(e.nozzle[DISCHARGE].size, 4.0);
    EXPECT_EQ(e.nozzle[DISCHARGE].anchor_row, 0);
    e.nozzle[SUCTION].loads[0][P_FX] = 7;
    evaluate_pump_loads(p, e, 0);
    EXPECT_EQ(e.nozzle[SUCTION].loads[0][P_FX], 7);
    EXPECT_EQ(e.nozzle[DISCHARGE].loads[0][P_FX], 0);
}

TEST_F(PumpEvaluationTest, NozzleSizeIsTheSmallestPipeAtTheNode)
{
    // A 6 in line and a 3 in branch meet at node 20.
    section("S6", 6.625f);
    section("S3", 3.5f);
    const int a = from(10);
    model().rows[a].section = "S6";
    model().rows[row(20, ET_PIPE, 100, 0, 0)].section = "S6";
    model().rows[row(30, ET_PIPE, 100, 0, 0)].section = "S6";
    model().rows[from(20, 200, 0, 0)].section = "S3";
    model().rows[row(40, ET_PIPE, 0, 50, 0)].section = "S3";
    make_model();
    EXPECT_EQ(smallest_section_at_node(node_index(20))->name, "S3");
    EXPECT_EQ(nozzle_size_at_node(20), 3.0);
    EXPECT_EQ(nozzle_size_at_node(30), 6.0);
    EXPECT_EQ(nozzle_size_at_node(99), 0.0);
    // Outside diameters of the standard sizes give their nominal sizes; any
    // other diameter stands for itself.
    EXPECT_EQ(nominal_pipe_size(0.405), 0.125);
    EXPECT_EQ(nominal_pipe_size(1.66), 1.25);
    EXPECT_EQ(nominal_pipe_size(4.0), 3.5);
    EXPECT_EQ(nominal_pipe_size(5.563), 5.0);
    EXPECT_EQ(nominal_pipe_size(44.0), 44.0);
    EXPECT_EQ(nominal_pipe_size(7.0), 7.0);
}

// ---- ANSI/HI 9.6.2 -------------------------------------------------------------

TEST(AnsiHiFactor, LinearBetweenPointsAndHeldAtTheEnds)
{
    // Material 1 (A395): 0.89 at 100, 0.83 at 200: at 150, (0.89 + 0.83) / 2.
    EXPECT_NEAR(hi_material_factor(1, 150), 0.86, 1e-12);
    EXPECT_NEAR(hi_material_factor(0, 100), 1.0, 1e-12);
    // 625 degF for A216: halfway between 0.76 (600) and 0.74 (650).
    EXPECT_NEAR(hi_material_factor(2, 625), 0.75, 1e-12);
    // 660 degF for Type 304 (A744): 0.57 - 10 (0.57 - 0.56) / 50.
    EXPECT_NEAR(hi_material_factor(3, 660), 0.57 - 10 * 0.01 / 50, 1e-12);
    // Below 100 degF the 100 degF value, never more; above 700 the 700 value.
    EXPECT_NEAR(hi_material_factor(1, 20), 0.89, 1e-12);
    EXPECT_NEAR(hi_material_factor(1, -40), 0.89, 1e-12);
    EXPECT_NEAR(hi_material_factor(3, 900), 0.56, 1e-12);
    EXPECT_NEAR(hi_material_factor(17, 500), 0.83, 1e-12);
}

namespace {

PumpRecord hi_pump(int type, int size, int material, float temperature, int mounting = 0)
{
    PumpRecord p;
    p.name = "HI";
    p.kind = PUMP_ANSI_HI;
    p.hi_type = type;
    p.hi_size = size;
    p.hi_material = material;
    p.temperature = temperature;
    p.hi_mounting = mounting;
    return p;
}

}  // namespace

TEST(AnsiHiAllowables, EndSuctionEq1TakesTheSmallerEq2)
{
    PumpEvaluation e;
    hi_allowables(hi_pump(HI_B731, 0, 0, 100), e, 0);
    // Size 0 ("1.5 x 1 x 6"), material 0 at 100 degF: Table A suction FX
    // 1050, Table B 2020 (factor 1).
    EXPECT_EQ(e.hi[0].eq[0][SUCTION][0], 1050);
    EXPECT_EQ(e.hi[0].eq[1][SUCTION][0], 2020);
    // Moments in in-lbf: suction MX 720 ft-lbf.
    EXPECT_EQ(e.hi[0].eq[0][SUCTION][3], 720 * 12);
    // Material 11 (factor 0.5): Eq.2 FX 1010, and Eq.1 falls to it.
    hi_allowables(hi_pump(HI_B731, 0, 11, 100), e, 1);
    EXPECT_EQ(e.hi[1].eq[1][SUCTION][0], 1010);
    EXPECT_EQ(e.hi[1].eq[0][SUCTION][0], 1010);
    // Suction FY: Table A 750, B 750 x 0.5 = 375.
    EXPECT_EQ(e.hi[1].eq[0][SUCTION][1], 375);
    // Eq.3 and Eq.4 coefficients of group 1, signed, not factored.
    EXPECT_EQ(e.hi[1].eq[2][SUCTION][1], -2000);
    EXPECT_EQ(e.hi[1].eq[3][DISCHARGE][2], -3000);
    // B73.3, size 17 (group 3): the Eq.4 discharge MY coefficient 5000 ft-lbf.
    hi_allowables(hi_pump(HI_B733, 17, 2, 300), e, 2);
    EXPECT_EQ(e.hi[2].eq[3][DISCHARGE][4], 5000 * 12);
    EXPECT_NEAR(e.hi[2].eq[1][SUCTION][0], 6360 * 0.91, 1e-9);
}

TEST(AnsiHiAllowables, B735BaseplatesBoundEq1WithoutZeroCoefficients)
{
    PumpEvaluation e;
    // Stilt-mounted metal baseplate (k1..k4 = 1, 1, 0.9, 0.9), size 0 (group 1).
    hi_allowables(hi_pump(HI_B735, 0, 5, 400, 1), e, 0);
    const HiLoads& s = e.hi[0].eq[0][SUCTION];
    // FX: Table A 1050; Eq.3 0 (no coefficient) replaces nothing; Eq.4
    // 0.9 x 1050 = 945 is smaller.
    EXPECT_NEAR(s[0], 945, 1e-9);
    EXPECT_NEAR(s[1], 750, 1e-9);    // Eq.3 -1800, Eq.4 0: 750 stays
    EXPECT_NEAR(s[2], 750, 1e-9);    // Eq.4 -1125 is larger
    const HiLoads& d = e.hi[0].eq[0][DISCHARGE];
    EXPECT_NEAR(d[0], 720, 1e-9);            // Eq.4 0.9 x 800
    EXPECT_NEAR(d[2], 2700, 1e-9);           // |Eq.4| 0.9 x 3000, as a magnitude
    EXPECT_NEAR(d[3], 410 * 12, 1e-9);       // Eq.3 -450 is larger than 410
    // No material factor for B73.5M: Eq.2 is k2 x Table B.
    EXPECT_NEAR(e.hi[0].eq[1][SUCTION][0], 2020, 1e-9);
    // No Eq.1 allowable of any size on baseplates 1 and 2 is zero.
    for (int mounting : {1, 2})
        for (int size = 0; size < 21; ++size) {
            hi_allowables(hi_pump(HI_B735, size, 0, 100, mounting), e, 0);
            for (int n = 0; n < 2; ++n)
                for (double v : e.hi[0].eq[0][static_cast<std::size_t>(n)])
                    EXPECT_GT(v, 0.0) << "size " << size << " baseplate " << mounting;
        }
    // Grouted nonmetal (0.8 for all): Eq.1 is 0.8 x Table A, Eq.3 0.8 x coefficient.
    hi_allowables(hi_pump(HI_B735, 20, 0, 100, 3), e, 0);
    EXPECT_NEAR(e.hi[0].eq[0][SUCTION][0], 0.8 * 3500, 1e-9);
    EXPECT_NEAR(e.hi[0].eq[2][DISCHARGE][3], 0.8 * -1250 * 12, 1e-9);
}

TEST(AnsiHiAllowables, AxialSplitInlineAndVerticalTurbineSets)
{
    PumpEvaluation e;
    // Axial split, 2 in with 0.625 in bolts: the smaller of the two rows.
    hi_allowables(hi_pump(HI_AXIAL_SPLIT, 0, 3, 600, 0), e, 0);
    EXPECT_EQ(e.hi[0].allowed, (HiLoads{600, 600, 1800, 7200, 8640, 5400}));
    // B73.2 "3 x 10 x 25", material 2 at 300 degF (0.91).
    hi_allowables(hi_pump(HI_B732, 9, 2, 300), e, 1);
    EXPECT_NEAR(e.hi[1].allowed[0], 638 * 0.91, 1e-9);
    EXPECT_NEAR(e.hi[1].allowed[1], 6328 * 0.91, 1e-9);
    EXPECT_NEAR(e.hi[1].allowed[4], 1880 * 12 * 0.91, 1e-9);
    // Vertical turbine 16 in: flange above the base (0) and below it (1); no factor.
    PumpRecord t = hi_pump(HI_VERTICAL_TURBINE, 8, 11, 500);
    hi_allowables(t, e, 2);
    EXPECT_EQ(e.hi[2].allowed, (HiLoads{1616, 1456, 1798, 3507 * 12, 4272 * 12, 3043 * 12}));
    t.discharge_location = 1;
    hi_allowables(t, e, 2);
    EXPECT_EQ(e.hi[2].allowed, (HiLoads{538, 484, 567, 1161 * 12, 1419 * 12, 1008 * 12}));
}

TEST_F(PumpEvaluationTest, AnsiHiPumpLoadsWithoutApi610Allowables)
{
    two_nozzle_model();
    PumpRecord p = horizontal_pump();
    p.kind = PUMP_ANSI_HI;
    p.hi_type = HI_B731;
    p.hi_size = 3;
    PumpEvaluation e;
    prepare_pump(p, e);
    anchor_loads(suction_row, {1, 2, 3, 4, 5, 6});
    evaluate_pump_loads(p, e, 0);
    EXPECT_NEAR(e.nozzle[SUCTION].loads[0][P_FX], -1, 1e-12);
    EXPECT_EQ(e.nozzle[SUCTION].allowed[0][P_FX], 0.0);
    EXPECT_EQ(e.hi[0].eq[0][SUCTION][0], 1050);
}
