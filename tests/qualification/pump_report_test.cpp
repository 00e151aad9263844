// The pump reports: API 610 (11th ed.) Annex F for horizontal pumps (F.1.1,
// F.1.2.a, F.1.2.b, F.1.2.c) and vertical inline pumps (F.1.1, F.2), and the
// ANSI/HI 9.6.2 reports of each pump type, built from anchor loads set here;
// every ratio, sum and stress is worked out in the test from the anchor
// loads, the pump axes and the standards' values, and the texts are checked
// against golden reports.
#include "framework/strings.h"
#include "framework/text.h"
#include "golden.h"
#include "qualification/pump_evaluation.h"
#include "qualification/pump_standards.h"
#include "qualification/qualification_ui_fixture.h"
#include "qualification/ui/pump_report.h"
#include "qualification/ui/report_lines.h"

#include <cmath>

using namespace qualification_test;

namespace {

class PumpReportTest : public QualificationUiTest {
protected:
    // Suction: node 10 at (-20, 0, 0) on a 6 in line; discharge: node 20 at
    // (0, 30, 0) on a 4 in line; both anchors.
    void SetUp() override
    {
        QualificationUiTest::SetUp();
        section("S6", 6.625f);
        section("S4", 4.5f);
        suction = line_to_anchor(5, {-120, 0, 0}, 10, {100, 0, 0}, "S6");
        discharge = line_to_anchor(15, {0, 100, 0}, 20, {0, -70, 0}, "S4");
        make_model();
    }
    // A horizontal pump, shaft along X, centre (0, 0, 5): suction End,
    // discharge Top.
    static PumpRecord horizontal() { return api610_pump("P-101", {1, 0, 0}, {0, 0, 5}); }
    // Builds the report with the loads on the pipe at both anchors (one
    // operating case) and writes pump 1's report to the window.
    std::vector<ReportLine> window_report(std::array<float, 6> at_suction, std::array<float, 6> at_discharge)
    {
        anchor_loads(suction, at_suction);
        anchor_loads(discharge, at_discharge);
        build_rot_equip_report(results({8}));
        pump_report(1, 1);
        return report_window_lines();
    }
    // The row of a label (flabel("FX")) in the window lines after line `from`:
    // calculated, allowed, ratio, status.
    static std::vector<std::string> row_words(const std::vector<ReportLine>& lines, const std::string& label,
                                              std::size_t from = 0)
    {
        for (std::size_t i = from; i < lines.size(); ++i)
            if (lines[i].kind == LINE_ROW && lines[i].text.rfind(label + "!", 0) == 0)
                return split_report_line(lines[i].text).words;
        ADD_FAILURE() << "no row " << label;
        return {};
    }
    static std::size_t line_index(const std::vector<ReportLine>& lines, const std::string& text)
    {
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].text == text)
                return i;
        return lines.size();
    }
    static bool has_line(const std::vector<ReportLine>& lines, const std::string& text)
    {
        return line_index(lines, text) < lines.size();
    }
    static std::string ratio(double calculated, double allowed) { return c_format("%.3f", std::fabs(calculated / allowed)); }
    // Values as the rows show them: integer force and moment formats.
    static std::string force(double lbf) { return trimmed(format_force_integer(lbf)); }
    static std::string moment(double inlbf) { return trimmed(format_moment_integer(inlbf)); }
    static std::string flabel(const char* name) { return std::string(name) + " " + unit_label(FORCE); }
    static std::string mlabel(const char* name) { return std::string(name) + " " + unit_label(MOMENT); }

    int suction = 0, discharge = 0;
};

class Api610ReportTest : public PumpReportTest {};
class AnsiHiReportTest : public PumpReportTest {};

// The nozzle loads in the pump axes of `horizontal()`: X = (1, 0, 0), Z =
// (0, 1, 0) the vertical, Y = Z x X = (0, 0, -1); the nozzle loads are the
// anchor's loads on the pipe negated.
std::array<double, 6> in_pump_axes(std::array<float, 6> on_pipe)
{
    const double fx = -on_pipe[0], fy = -on_pipe[1], fz = -on_pipe[2];
    const double mx = -on_pipe[3], my = -on_pipe[4], mz = -on_pipe[5];
    return {fx, -fz, fy, mx, -mz, my};
}

}  // namespace

TEST_F(Api610ReportTest, HorizontalPumpPassesF11AndF12c)
{
    pumps().push_back(horizontal());
    const std::array<float, 6> s{100, -200, 50, 1200, -2400, 600};
    const std::array<float, 6> d{-60, -150, 40, 3000, 1000, -2000};
    const std::vector<ReportLine> lines = window_report(s, d);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].text, "API 610 (11th ed.), Sep 2010 / ISO 13709 report for pump : P-101");
    EXPECT_EQ(lines[1].text, "Load case: " + load_case_names(8));
    EXPECT_EQ(lines[2].text, "Shaft axis: Xcomp = 1.000, Ycomp = 0.000, Zcomp = 0.000");

    // Suction, 6 in end nozzle, Table 5: FX 700, FY 560, FZ 460, FR 1010
    // lbf; MX 1700, MY 870, MZ 1300, MR 2310 ft-lbf.
    const std::array<double, 6> ls = in_pump_axes(s);
    EXPECT_TRUE(has_line(lines, "Suction node: 10,   Location: (End),  Size: 6.000 (inch)"));
    EXPECT_EQ(row_words(lines, flabel("FX")), (std::vector<std::string>{force(ls[0]), "700", ratio(ls[0], 700), "OK"}));
    EXPECT_EQ(row_words(lines, flabel("FY"))[2], ratio(ls[1], 560));
    EXPECT_EQ(row_words(lines, flabel("FZ"))[2], ratio(ls[2], 460));
    const double frs = std::sqrt(ls[0] * ls[0] + ls[1] * ls[1] + ls[2] * ls[2]);
    EXPECT_EQ(row_words(lines, flabel("FR"))[2], ratio(frs, 1010));
    EXPECT_EQ(row_words(lines, mlabel("MX")),
              (std::vector<std::string>{moment(ls[3]), moment(1700 * 12), ratio(ls[3], 1700 * 12), "OK"}));
    EXPECT_EQ(row_words(lines, mlabel("MZ"))[2], ratio(ls[5], 1300 * 12));
    // Offsets from the centre (0, 0, 5) along X, Y = (0, 0, -1), Z.
    EXPECT_TRUE(has_line(lines, "Offsets from center: dx = " + format_length(-20) + ", dy = " + format_length(5) +
                                    ", dz = " + format_length(0) + "  " + unit_label(LENGTH)));
    EXPECT_TRUE(has_line(lines, "Condition F.1.1 for suction node 10 passed"));
    EXPECT_TRUE(has_line(lines, "Condition F.1.1 for discharge node 20 passed"));

    // F.1.2.c: resultants of both nozzles at the centre, by hand.
    const std::array<double, 6> ld = in_pump_axes(d);
    const double dxs = -20, dys = 5, dzs = 0, dxd = 0, dyd = 5, dzd = 30;
    const double fxc = ls[0] + ld[0], fyc = ls[1] + ld[1], fzc = ls[2] + ld[2];
    const double frc = std::sqrt(fxc * fxc + fyc * fyc + fzc * fzc);
    const double myc = ls[4] + ld[4] + (ls[0] * dzs + ld[0] * dzd) - (ls[2] * dxs + ld[2] * dxd);
    const double mxc = ls[3] + ld[3] - (ls[1] * dzs + ld[1] * dzd) + (ls[2] * dys + ld[2] * dyd);
    const double mzc = ls[5] + ld[5] - (ls[0] * dys + ld[0] * dyd) + (ls[1] * dxs + ld[1] * dxd);
    const double mrc = std::sqrt(mxc * mxc + myc * myc + mzc * mzc);
    const std::size_t c = line_index(lines, "Check of Condition F.1.2.c:");
    ASSERT_LT(c, lines.size());
    // 1.5 (FRs + FRd) = 1.5 (1010 + 570); 2 (MYs + MYd) = 2 (870 + 500) x 12;
    // 1.5 (MRs + MRd) = 1.5 (2310 + 1330) x 12.
    EXPECT_EQ(row_words(lines, flabel("FRC"), c)[2], ratio(frc, 1.5 * (1010 + 570)));
    EXPECT_EQ(row_words(lines, mlabel("MYC"), c)[2], ratio(myc, 2.0 * (870 + 500) * 12));
    EXPECT_EQ(row_words(lines, mlabel("MRC"), c)[2], ratio(mrc, 1.5 * (2310 + 1330) * 12));
    EXPECT_EQ(lines.back().text, "Condition F.1.2.c passed");

    expect_golden_file("qualification", "api610_pass.txt", text_report([] { pump_report(1, 1); }));
}

TEST_F(Api610ReportTest, RatioAboveTwoFailsF12a)
{
    pumps().push_back(horizontal());
    // Suction FZ along the pump: 1000 lbf against 460 (ratio 2.17).
    const std::vector<ReportLine> lines = window_report({0, -1000, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0});
    EXPECT_EQ(row_words(lines, flabel("FZ")), (std::vector<std::string>{force(1000), "460", ratio(1000, 460), "Failed"}));
    EXPECT_TRUE(has_line(lines, "Condition F.1.2.a for suction node 10 failed ***"));
    EXPECT_FALSE(has_line(lines, "Check of Condition F.1.2.c:"));
    expect_golden_file("qualification", "api610_fail_f12a.txt", text_report([] { pump_report(1, 1); }));
}

TEST_F(Api610ReportTest, CombinedRatioLeadsToF12c)
{
    pumps().push_back(horizontal());
    // Suction FZ 700 lbf against 460: 1.522, "----"; F.1.2.b:
    // |FR| / (1.5 x 1010) + |MR| / (1.5 x 2310 x 12) below 2.
    const std::array<float, 6> s{0, -700, 0, 0, 6000, 0};
    const std::vector<ReportLine> lines = window_report(s, {0, 0, 0, 0, 0, 0});
    EXPECT_EQ(row_words(lines, flabel("FZ"))[3], "----");
    const double combined = 700.0 / (1.5 * 1010) + 6000.0 / (1.5 * 2310 * 12);
    const std::size_t at = line_index(lines, "(FR/1.5FRT4) + (MR/1.5MRT4) =!" + c_format("%.3f", combined) + " OK");
    EXPECT_LT(at, lines.size());
    EXPECT_EQ(lines[at].kind, LINE_COMBINED);
    EXPECT_TRUE(has_line(lines, "Check of Condition F.1.2.c:"));
    expect_golden_file("qualification", "api610_f12c.txt", text_report([] { pump_report(1, 1); }));

    // A combined value of 2.0 or more: "Failed", and the pump fails: no F.1.2.c.
    // FX 1300 of 700, FZ 900 of 460, MX, MY, MZ at 1.76, 1.72 and 1.28 of
    // theirs: every row at most 2, the combined value above 2.
    const std::array<float, 6> heavy{-1300, -900, 0, -36000, -20000, 18000};
    anchor_loads(suction, heavy);
    build_rot_equip_report(results({8}));
    pump_report(1, 1);
    const std::vector<ReportLine>& failed = report_window_lines();
    const std::array<double, 6> h = in_pump_axes(heavy);
    const double value = std::sqrt(h[0] * h[0] + h[1] * h[1] + h[2] * h[2]) / (1.5 * 1010) +
                         std::sqrt(h[3] * h[3] + h[4] * h[4] + h[5] * h[5]) / (1.5 * 2310 * 12);
    ASSERT_GE(value, 2.0);
    EXPECT_TRUE(has_line(failed, "(FR/1.5FRT4) + (MR/1.5MRT4) =!" + c_format("%.3f", value) + " Failed"));
    EXPECT_FALSE(has_line(failed, "Check of Condition F.1.2.c:"));
    EXPECT_FALSE(has_line(failed, "Condition F.1.2.c passed"));
}

TEST_F(Api610ReportTest, EdgesOfTheRowRules)
{
    // A pump of a file before version 701 (kind 0) is a horizontal API 610 pump.
    PumpRecord old = horizontal();
    old.kind = PUMP_KIND_UNSET;
    pumps().push_back(old);
    EXPECT_EQ(window_report({0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0})[0].text,
              "API 610 (11th ed.), Sep 2010 / ISO 13709 report for pump : P-101");
    // A combined value of exactly 2.0: FR 1515 = 1.5 x 1010 (FX 1212, FY
    // 909, a 3-4-5 triangle) and MR 41580 = 1.5 x 2310 x 12 (MX 33264, MZ
    // 24948): 1 + 1, "Failed".
    std::vector<ReportLine> lines = window_report({-1212, 0, 909, -33264, -24948, 0}, {0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(has_line(lines, "(FR/1.5FRT4) + (MR/1.5MRT4) =!2.000 Failed"));
    EXPECT_FALSE(has_line(lines, "Check of Condition F.1.2.c:"));
    // Exactly the allowable passes F.1.1; a zero load shows 0.000 and OK.
    lines = window_report({-700, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0});
    EXPECT_EQ(row_words(lines, flabel("FX")), (std::vector<std::string>{"700", "700", "1.000", "OK"}));
    EXPECT_EQ(row_words(lines, flabel("FY")), (std::vector<std::string>{"0", "560", "0.000", "OK"}));
    EXPECT_TRUE(has_line(lines, "Condition F.1.1 for suction node 10 passed"));
    // Exactly twice the allowable: the combined check, not F.1.2.a.
    lines = window_report({-1400, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0});
    EXPECT_EQ(row_words(lines, flabel("FX"))[3], "----");
    EXPECT_FALSE(has_line(lines, "Condition F.1.2.a for suction node 10 failed ***"));
    // A suction nozzle without node: its one line, and the discharge checked.
    pumps()[1].suction_node = 0;
    lines = window_report({0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(has_line(lines, "*** Suction node is not defined ***"));
    EXPECT_TRUE(has_line(lines, "Condition F.1.1 for discharge node 20 passed"));
    EXPECT_FALSE(has_line(lines, "Check of Condition F.1.2.c:"));
    // A nozzle node that is no anchor.
    pumps()[1].suction_node = 5;
    lines = window_report({0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(has_line(lines, "*** Suction node: 5 is not an anchor ***"));
}

TEST_F(Api610ReportTest, VerticalInlinePumpWithTheF2StressCheck)
{
    // Vertical inline pump: its Y axis is the horizontal line from suction
    // (-20, 0, 0) to discharge (0, 30, 0): (1, 0, 0) after the vertical part
    // is dropped; X = Y x V = (1, 0, 0) x (0, 1, 0) = (0, 0, 1); Z = V.
    PumpRecord p;
    p.name = "VIL-1";
    p.vertical = 1;
    p.kind = PUMP_VERTICAL_INLINE_API610;
    p.suction_node = 10;
    p.discharge_node = 20;
    p.suction_location = p.discharge_location = LOCATION_SIDE;
    pumps().push_back(p);
    // Discharge (4 in side, doubled: FX 640, FY 800, FZ 520, FR 1140; MX
    // 2 x 980 ft-lbf): 900 lbf along X, beyond F.1.1.
    const std::array<float, 6> d{0, 0, -900, -2000, 3000, 1500};
    const std::vector<ReportLine> lines = window_report({0, 0, 0, 0, 0, 0}, d);
    EXPECT_EQ(lines[0].text, "API 610 (11th ed.), Sep 2010 / ISO 13709 report for vertical inline pump : VIL-1");
    EXPECT_EQ(lines[2].text, "Y axis: Xcomp = 1.000, Ycomp = 0.000, Zcomp = 0.000");
    // In pump axes: F = (0, 0, 900) global gives FX = 900, FY = FZ = 0; M =
    // (2000, -3000, -1500) gives MX = -1500, MY = 2000, MZ = -3000.
    const double fx = 900, fy = 0, fz = 0, mx = -1500, my = 2000, mz = -3000;
    EXPECT_EQ(row_words(lines, flabel("FX"), line_index(lines, "Check of condition F.1.1 for discharge node 20:")),
              (std::vector<std::string>{"900", "640", ratio(fx, 640), "----"}));
    EXPECT_TRUE(has_line(lines, "Check of condition F.2 for discharge node 20:"));
    // F.2 for the discharge nozzle, 4 in: A 3.17 in2, Zs 3.22 in3.
    const double area = 3.17, modulus = 3.22;
    const double sigma = std::hypot(mx, mz) / modulus + fy / area;
    const double tau = std::fabs(my) / (2 * modulus) + std::hypot(fx, fz) / area;
    const double S = sigma / 2 + std::hypot(sigma / 2, tau);
    EXPECT_NEAR(S, 1311.2, 0.1);
    const std::string expected = "S = " + format_stress(S) + " " + unit_label(STRESS) + ",  Allowed = " +
                                 format_stress(5950) + " " + unit_label(STRESS) + "!OK";
    EXPECT_TRUE(has_line(lines, expected)) << expected;
    expect_golden_file("qualification", "api610_vertical_f2.txt", text_report([] { pump_report(1, 1); }));
}

// ---- ANSI/HI 9.6.2 ---------------------------------------------------------------------

namespace {

PumpRecord hi(int type, int size)
{
    PumpRecord p;
    p.name = "HI-" + std::to_string(type);
    p.kind = PUMP_ANSI_HI;
    p.hi_type = type;
    p.hi_size = size;
    p.hi_material = 0;
    p.temperature = 100;
    p.suction_node = 10;
    p.discharge_node = 20;
    p.shaft_axis = {1, 0, 0};
    p.centre = {0, 0, 5};
    return p;
}

}  // namespace

TEST_F(AnsiHiReportTest, EndSuctionEquationsOneToFive)
{
    // B73.1 size 5 ("3 x 1.5 x 8", group 2), material 0 at 100 degF.
    pumps().push_back(hi(HI_B731, 5));
    const std::array<float, 6> s{100, -300, 50, 1200, -2400, 600};
    const std::array<float, 6> d{-60, -150, 40, 1500, 500, -1000};
    const std::vector<ReportLine> lines = window_report(s, d);
    EXPECT_EQ(lines[0].text, "ANSI/HI 9.6.2-2011 report for pump : HI-0");
    EXPECT_EQ(lines[1].text, "Horizontal end suction single stage pump");
    const std::array<double, 6> ls = in_pump_axes(s), ld = in_pump_axes(d);
    // Eq.1 (Table A, moments x 12) and Eq.2 (Table B) of size 5.
    const std::array<double, 6> a_s{2700, 1350, 1500, 1300 * 12, 370 * 12, 370 * 12};
    const std::array<double, 6> a_d{1400, 1350, 3250, 460 * 12, 460 * 12, 460 * 12};
    const std::array<double, 6> b_s{2700, 1350, 1820, 3730 * 12, 370 * 12, 370 * 12};
    const std::array<double, 6> b_d{2020, 1350, 6240, 460 * 12, 460 * 12, 460 * 12};
    EXPECT_EQ(row_words(lines, mlabel("MX"))[2], ratio(ls[3], a_s[3]));
    const std::size_t discharge_block = line_index(lines, "Check of condition 9.6.2.1.4a Eq.1 for discharge node 20:");
    EXPECT_EQ(row_words(lines, flabel("FZ"), discharge_block)[2], ratio(ld[2], a_d[2]));
    // Eq.2 = half the sum of the twelve ratios.
    double eq2 = 0;
    for (std::size_t i = 0; i < 6; ++i)
        eq2 += std::fabs(ls[i] / b_s[i]) + std::fabs(ld[i] / b_d[i]);
    eq2 /= 2;
    // Eq.3: FY, MX, MY, MZ of both nozzles over the group 2 coefficients
    // (-3500, 1300, 1300, 3000 and 2500, -1200, 1500, 3000 ft-lbf), signed.
    const double eq3 = ls[1] / -3500 + ls[3] / (1300 * 12) + ls[4] / (1300 * 12) + ls[5] / (3000 * 12) +
                       ld[1] / 2500 + ld[3] / (-1200 * 12) + ld[4] / (1500 * 12) + ld[5] / (3000 * 12);
    // Eq.4: suction FX, FZ, MX, MY, MZ and the discharge's six.
    const double eq4 = ls[0] / 3500 + ls[2] / -1500 + ls[3] / (1500 * 12) + ls[4] / (1300 * 12) + ls[5] / (-3500 * 12) +
                       ld[0] / 1400 + ld[1] / 2500 + ld[2] / -3250 + ld[3] / (-1500 * 12) + ld[4] / (2150 * 12) +
                       ld[5] / (-3500 * 12);
    ASSERT_LE(eq2, 1.0);
    ASSERT_LE(std::fabs(eq3), 1.0);
    ASSERT_LE(std::fabs(eq4), 1.0);
    EXPECT_TRUE(has_line(lines, c_format("Eq.2 = %.2f <= 1.00. Condition passed", eq2)));
    EXPECT_TRUE(has_line(lines, c_format("Eq.3 = %.2f; which is >= -1.0 and <= 1.00. Condition passed", eq3)));
    EXPECT_TRUE(has_line(lines, c_format("Eq.4 = %.2f; which is >= -1.0 and <= 1.00. Condition passed", eq4)));
    EXPECT_TRUE(has_line(lines, c_format("Eq.5 = %.2f <= 1.00. Condition passed", std::hypot(eq3, eq4))));
    // Signed rows in the Eq.3 block: the suction FY ratio keeps its sign.
    const std::size_t eq3_block = line_index(lines, "Assessment of y-axis movement as per Eq. 3 of Table 9.6.2.1.4a:");
    EXPECT_EQ(row_words(lines, flabel("FY"), eq3_block)[2], c_format("%.3f", ls[1] / -3500));
    expect_golden_file("qualification", "ansihi_end_suction.txt", text_report([] { pump_report(1, 1); }));
    // The report's row statuses are its own: no "----" switch left over
    // from a vertical inline report (ratio above 2 shows "Failed").
    anchor_loads(suction, {-6000, 0, 0, 0, 0, 0});
    build_rot_equip_report(results({8}));
    pump_report(1, 1);
    EXPECT_EQ(row_words(report_window_lines(), flabel("FX"))[3], "Failed");
    EXPECT_TRUE(has_line(report_window_lines(), "Condition 9.6.2.1.4a Eq.1 for suction node 10 failed ***"));
}

TEST_F(AnsiHiReportTest, EqThreeOfExactlyMinusOnePasses)
{
    // B73.1 size 5 (group 2): the suction MX coefficient of Eq.3 is 1300
    // ft-lbf, as is its Eq.1 allowable. MX = -1300 ft-lbf gives an Eq.1
    // ratio of exactly 1 (passes) and an Eq.3 of exactly -1 (passes).
    pumps().push_back(hi(HI_B731, 5));
    const std::vector<ReportLine> lines = window_report({0, 0, 0, 1300 * 12, 0, 0}, {0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(has_line(lines, "Condition 9.6.2.1.4a Eq.1 for suction node 10 passed"));
    EXPECT_TRUE(has_line(lines, "Eq.3 = -1.00; which is >= -1.0 and <= 1.00. Condition passed"));
    // Eq.4: suction MX / 1500 = -0.867, and Eq.5 = sqrt(1 + 0.867^2) fails.
    const double eq4 = -1300.0 / 1500.0;
    EXPECT_TRUE(has_line(lines, c_format("Eq.4 = %.2f; which is >= -1.0 and <= 1.00. Condition passed", eq4)));
    EXPECT_TRUE(has_line(lines, c_format("Eq.5 = %.2f > 1.00. Condition failed ***", std::hypot(1.0, eq4))));
}

TEST_F(AnsiHiReportTest, InlineAxialSplitAndVerticalTurbine)
{
    // B73.2 "2 x 6 x 17" (size 4): one allowed set for both nozzles.
    pumps().push_back(hi(HI_B732, 4));
    std::vector<ReportLine> lines = window_report({100, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0});
    EXPECT_EQ(lines[1].text, "ANSI/ASME B73.2 pump Assessment of applied nozzle loads");
    EXPECT_TRUE(has_line(lines, "Y axis: Xcomp = 1.000, Ycomp = 0.000, Zcomp = 0.000"));
    // Y = (1, 0, 0), X = Y x V = (0, 0, 1), Z = V: FX = X . (-100, 0, 0) = 0,
    // FY = -100 against 6328.
    EXPECT_EQ(row_words(lines, flabel("FY")), (std::vector<std::string>{force(-100), "6328", ratio(100, 6328), "OK"}));
    EXPECT_TRUE(has_line(lines, "Condition 9.6.2.2.4a Eq.6 for discharge node 20 passed"));
    expect_golden_file("qualification", "ansihi_inline.txt", text_report([] { pump_report(1, 1); }));

    // Axial split, 4 in with 0.625 in bolts: FX 600, FY 600, FZ 3300, MX
    // 1200 x 12, MY 1300 x 12, MZ 450 x 12 (the smaller of the two rows).
    pumps()[1] = hi(HI_AXIAL_SPLIT, 2);
    pumps()[1].hi_mounting = 0;
    const std::array<float, 6> s{-300, 0, 0, 0, 0, -2400}, d{0, -200, 0, 1200, 0, 0};
    lines = window_report(s, d);
    EXPECT_EQ(lines[1].text, "Axial split case pumps Assessment of applied nozzle loads");
    const std::array<double, 6> w{600, 600, 3300, 1200 * 12, 1300 * 12, 450 * 12};
    const std::array<double, 6> ls = in_pump_axes(s), ld = in_pump_axes(d);
    double squares = 0;
    for (std::size_t i = 0; i < 6; ++i)
        squares += (ls[i] / w[i]) * (ls[i] / w[i]) + (ld[i] / w[i]) * (ld[i] / w[i]);
    EXPECT_TRUE(has_line(lines, c_format("Eq.1 = %.2f <= 1.00. Condition passed", std::sqrt(squares))));
    expect_golden_file("qualification", "ansihi_axial_split.txt", text_report([] { pump_report(1, 1); }));

    // Vertical turbine, 6 in, flange below the base: 9.6.2.4.2b and the
    // below-base row (202, 181, 224, 314, 383, 272).
    pumps()[1] = hi(HI_VERTICAL_TURBINE, 3);
    pumps()[1].discharge_location = 1;
    lines = window_report({0, 0, 0, 0, 0, 0}, {0, 0, -100, 0, 1000, 0});
    EXPECT_EQ(lines[1].text, "Vertical Turbine pump Assessment of applied nozzle loads");
    EXPECT_TRUE(has_line(lines, "Check of condition 9.6.2.4.2b for discharge node 20:"));
    // Y = (1, 0, 0), X = (0, 0, 1), Z = V: the load (0, 0, 100) gives FX =
    // 100 against 202; the moment (0, -1000, 0) gives MZ = -1000 against 272 x 12.
    const double eq1 = 100.0 / 202 + 1000.0 / (272 * 12);
    EXPECT_TRUE(has_line(lines, c_format("Eq.1 = %.2f <= 1.00. Discharge condition passed", eq1)));
    EXPECT_TRUE(has_line(lines, "Eq.1 = 0.00 <= 1.00. Suction condition passed"));
    expect_golden_file("qualification", "ansihi_vertical_turbine.txt", text_report([] { pump_report(1, 1); }));

    // A nozzle whose node is no anchor takes no part, with its line.
    pumps()[1].suction_node = 5;
    lines = window_report({0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(has_line(lines, "*** Suction node: 5 is not an anchor ***"));
    EXPECT_FALSE(has_line(lines, "Eq.1 = 0.00 <= 1.00. Suction condition passed"));
}

TEST_F(PumpReportTest, ReportOfAMachineWhoseEvaluationFailed)
{
    PumpRecord p = horizontal();
    p.shaft_axis = {0, 0, 0};
    pumps().push_back(p);
    const std::vector<ReportLine> lines = window_report({0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0});
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2].text, std::string("*** Invalid shaft axis for pump: P-101. ") + SHAFT_WITHOUT_DIRECTION + " ***");
}

TEST_F(PumpReportTest, WindowLineListGrowsPastAHundredLines)
{
    for (int i = 0; i < 150; ++i)
        report_add_window_line(LINE_TEXT, std::to_string(i));
    EXPECT_EQ(report_window_lines().size(), 150u);
    EXPECT_EQ(report_window_lines().back().text, "149");
    report_clear_window_lines();
    EXPECT_TRUE(report_window_lines().empty());
}
