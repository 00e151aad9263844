// The turbine (NEMA SM 23) and compressor (API 617) reports: each
// connection's 3F + M against 500 De, the combined resultants at the
// exhaust or the largest connection against the component limits and 2F + M
// against 250 Dc (1.85 times for a compressor), worked out here from the
// anchor loads; the texts against golden reports.
#include "framework/strings.h"
#include "framework/text.h"
#include "golden.h"
#include "qualification/qualification_ui_fixture.h"
#include "qualification/ui/compressor_report.h"
#include "qualification/ui/report_lines.h"

#include <cmath>

using namespace qualification_test;

namespace {

class MachineReportTest : public QualificationUiTest {
protected:
    // Inlet node 10 at (-20, 0, 0) on a 6 in line, exhaust node 20 at (0,
    // 30, 0) on an 8 in line, extraction node 30 at (40, 0, 10) on a 4 in
    // line; all three anchors.
    void SetUp() override
    {
        QualificationUiTest::SetUp();
        section("S6", 6.625f);
        section("S8", 8.625f);
        section("S10", 10.75f);
        inlet = line_to_anchor(5, {-120, 0, 0}, 10, {100, 0, 0}, "S6");
        exhaust = line_to_anchor(15, {0, 100, 0}, 20, {0, -70, 0}, "S8");
        extraction = line_to_anchor(25, {40, 0, 110}, 30, {0, 0, -100}, "S10");
        make_model();
        anchor_loads(inlet, on_inlet);
        anchor_loads(exhaust, on_exhaust);
    }
    std::vector<ReportLine> window_report(int kind)
    {
        build_rot_equip_report(results({9}));
        compressor_report(1, kind, 1);
        return report_window_lines();
    }
    static bool has_line(const std::vector<ReportLine>& lines, int kind, const std::string& text)
    {
        for (const ReportLine& l : lines)
            if (l.kind == kind && l.text == text)
                return true;
        return false;
    }
    // An individual row worked out by hand: F (lb), M (ft-lb), 3F + M, the
    // allowable 500 De x factor and the ratio.
    static std::string individual_row(const std::string& head, double size, std::array<float, 6> on_pipe, double factor)
    {
        const double f = std::sqrt(double(on_pipe[0]) * on_pipe[0] + double(on_pipe[1]) * on_pipe[1] +
                                   double(on_pipe[2]) * on_pipe[2]);
        const double m = std::sqrt(double(on_pipe[3]) * on_pipe[3] + double(on_pipe[4]) * on_pipe[4] +
                                   double(on_pipe[5]) * on_pipe[5]) / 12.0;
        const double de = size > 8 ? (size + 16) / 3 : size;
        const double a = 500 * de * factor;
        return head + c_format(" %.3f %.0f %.0f %.0f %.0f %.3f", size, f, m, 3 * f + m, a, (3 * f + m) / a);
    }

    static std::string force(double lbf) { return trimmed(format_force_integer(lbf)); }
    static std::string moment(double inlbf) { return trimmed(format_moment_integer(inlbf)); }

    const std::array<float, 6> on_inlet{100, -200, 50, 1200, -2400, 600};
    const std::array<float, 6> on_exhaust{-60, -150, 40, 3000, 1000, -2000};
    int inlet = 0, exhaust = 0, extraction = 0;
};

class NemaReportTest : public MachineReportTest {};
class Api617ReportTest : public MachineReportTest {};

// The combined loads at node R in the shaft axes x = (1, 0, 0), y = (0, 1,
// 0), z = (0, 0, 1) (a shaft along X with Y vertical): forces summed,
// moments summed with the moments of the forces about R.
std::array<double, 6> combined_at(V3 r, const std::vector<std::pair<V3, std::array<float, 6>>>& nozzles)
{
    std::array<double, 6> k{};
    for (const auto& [at, on_pipe] : nozzles) {
        const V3 f{-on_pipe[0], -on_pipe[1], -on_pipe[2]};
        const V3 arm{at[0] - r[0], at[1] - r[1], at[2] - r[2]};
        const V3 rxf = cross(arm, f);
        for (std::size_t i = 0; i < 3; ++i) {
            k[i] += f[i];
            k[3 + i] += -on_pipe[3 + i] + rxf[i];
        }
    }
    return k;
}

}  // namespace

TEST_F(NemaReportTest, TurbineReportWithCombinedResultantsAtTheExhaust)
{
    turbines().push_back({"T-1", 10, 20, 0, 0, {1, 0, 0}});
    const std::vector<ReportLine> lines = window_report(MACHINE_TURBINE);
    EXPECT_EQ(lines[0].text, "NEMA SM23 (1991) report for turbine : T-1");
    EXPECT_EQ(lines[2].text, "Shaft axis: Xcomp = 1.000,  Ycomp = 0.000,  Zcomp = 0.000");
    // The inlet's loads on the turbine in shaft axes (moments in the display unit).
    EXPECT_TRUE(has_line(lines, CLINE_VALUES,
                         "10 Inlet -100 200 -50 " + moment(-1200) + " " + moment(2400) + " " + moment(-600)));
    // Individual checks: 6 in (De 6, 500 De = 3000), 8 in (4000).
    EXPECT_TRUE(has_line(lines, CLINE_VALUES, individual_row("10 Inlet", 6, on_inlet, 1.0)));
    EXPECT_TRUE(has_line(lines, CLINE_VALUES, individual_row("20 Exhaust", 8, on_exhaust, 1.0)));
    EXPECT_TRUE(has_line(lines, CLINE_TEXT, "Combined resultants at Exhaust node 20"));
    // Combined at the exhaust node (0, 30, 0).
    const std::array<double, 6> k = combined_at({0, 30, 0}, {{{-20, 0, 0}, on_inlet}, {{0, 30, 0}, on_exhaust}});
    std::string calculated = "Calculated";
    for (std::size_t i = 0; i < 6; ++i)
        calculated += " " + (i < 3 ? force(k[i]) : moment(k[i]));
    EXPECT_TRUE(has_line(lines, CLINE_LABELLED, calculated)) << calculated;
    // Dc = sqrt(36 + 64) = 10 -> (10 + 18) / 3; limits 50, 125, 100 Dc lb,
    // 250, 125, 125 Dc ft-lb.
    const double dc = 28.0 / 3.0;
    const std::array<double, 6> limits{50 * dc, 125 * dc, 100 * dc, 3000 * dc, 1500 * dc, 1500 * dc};
    std::string allowable = "Allowable", ratio = "Ratio";
    for (std::size_t i = 0; i < 6; ++i) {
        allowable += " " + (i < 3 ? force(limits[i]) : moment(limits[i]));
        ratio += c_format(" %.3f", std::fabs(k[i]) / limits[i]);
    }
    EXPECT_TRUE(has_line(lines, CLINE_LABELLED, allowable)) << allowable;
    EXPECT_TRUE(has_line(lines, CLINE_LABELLED, ratio)) << ratio;
    const double fc = std::sqrt(k[0] * k[0] + k[1] * k[1] + k[2] * k[2]);
    const double mc = std::sqrt(k[3] * k[3] + k[4] * k[4] + k[5] * k[5]) / 12;
    const std::string combined =
        c_format("Combined %.0f %.0f %.0f %.0f %.3f", fc, mc, 2 * fc + mc, 250 * dc, (2 * fc + mc) / (250 * dc));
    EXPECT_TRUE(has_line(lines, CLINE_COMBINED, combined)) << combined;
    expect_golden_file("qualification", "nema_turbine.txt", text_report([] { compressor_report(1, MACHINE_TURBINE, 1); }));
}

TEST_F(Api617ReportTest, CompressorAtItsLargestConnection)
{
    anchor_loads(extraction, {20, 30, -40, 500, 0, -700});
    compressors().push_back({"K-1", 10, 20, 30, 0, {1, 0, 0}});
    const std::vector<ReportLine> lines = window_report(MACHINE_COMPRESSOR);
    EXPECT_EQ(lines[0].text, "API 617 (7th Ed. 2003) report for compressor : K-1");
    // 1.85 times NEMA: 500 De x 1.85; a 10 in nozzle: De (10 + 16) / 3 =
    // 8.667, 500 De 1.85 = 8017.
    const std::string row = individual_row("30 Extr.1", 10, {20, 30, -40, 500, 0, -700}, 1.85);
    EXPECT_TRUE(has_line(lines, CLINE_VALUES, row));
    EXPECT_NE(row.find(" 8017 "), std::string::npos);
    // The largest connection is the 10 in extraction.
    EXPECT_TRUE(has_line(lines, CLINE_TEXT, "Combined resultants at largest connection 30"));
    const std::array<double, 6> k = combined_at(
        {40, 0, 10}, {{{-20, 0, 0}, on_inlet}, {{0, 30, 0}, on_exhaust}, {{40, 0, 10}, {20, 30, -40, 500, 0, -700}}});
    const double dc = 1.85 * (std::sqrt(36.0 + 64 + 100) + 18) / 3;   // sqrt(200) > 9
    const double fc = std::sqrt(k[0] * k[0] + k[1] * k[1] + k[2] * k[2]);
    const double mc = std::sqrt(k[3] * k[3] + k[4] * k[4] + k[5] * k[5]) / 12;
    const std::string combined =
        c_format("Combined %.0f %.0f %.0f %.0f %.3f", fc, mc, 2 * fc + mc, 250 * dc, (2 * fc + mc) / (250 * dc));
    EXPECT_TRUE(has_line(lines, CLINE_COMBINED, combined)) << combined;
    expect_golden_file("qualification", "api617_compressor.txt",
                       text_report([] { compressor_report(1, MACHINE_COMPRESSOR, 1); }));
}

TEST_F(NemaReportTest, TurbineWithoutExhaustAndMachinesWithoutPipe)
{
    turbines().push_back({"T-3", 10, 0, 30, 0, {1, 0, 0}});
    std::vector<ReportLine> lines = window_report(MACHINE_TURBINE);
    EXPECT_EQ(lines.back().text, "*** Combined resultants at Exhaust node are not available ***");
    // The extraction's anchor holds no load here: its row shows zeros.
    EXPECT_TRUE(has_line(lines, CLINE_VALUES, "30 Extr.1 0 0 0 0 0 0"));
    expect_golden_file("qualification", "nema_no_exhaust.txt",
                       text_report([] { compressor_report(1, MACHINE_TURBINE, 1); }));

    // Nozzles without connected pipe: Dc 0, no ratio row, and no limit in
    // the combined row ("-----" twice on screen; the text ends after 2F + M).
    model().rows[inlet].section = "";
    model().rows[exhaust - 1].section = "";
    model().rows[exhaust].section = "";
    model().rows[inlet - 1].section = "";
    make_model();
    turbines()[1] = {"T-4", 10, 20, 0, 0, {1, 0, 0}};
    lines = window_report(MACHINE_TURBINE);
    EXPECT_TRUE(has_line(lines, CLINE_MESSAGE, "10 Inlet *** No connected pipe ***!"));
    bool ratio_row = false;
    for (const ReportLine& l : lines)
        ratio_row = ratio_row || (l.kind == CLINE_LABELLED && l.text.rfind("Ratio", 0) == 0);
    EXPECT_FALSE(ratio_row);
    ASSERT_EQ(lines.back().kind, CLINE_COMBINED);
    EXPECT_NE(lines.back().text.find(" ----- -----"), std::string::npos);
    const std::string text = text_report([] { compressor_report(1, MACHINE_TURBINE, 1); });
    EXPECT_EQ(text.find("-----\n", text.rfind("Combined")), std::string::npos);

    // A 10 in turbine nozzle: 500 De = 4333.
    turbines()[1] = {"T-6", 30, 0, 0, 0, {1, 0, 0}};
    anchor_loads(extraction, {0, 0, 0, 0, 0, 0});
    model().rows[extraction].section = "S10";
    model().rows[extraction - 1].section = "S10";
    make_model();
    lines = window_report(MACHINE_TURBINE);
    EXPECT_TRUE(has_line(lines, CLINE_VALUES, "30 Inlet 10.000 0 0 0 4333 0.000"));

    // A node that is no anchor.
    turbines()[1] = {"T-5", 5, 20, 0, 0, {1, 0, 0}};
    lines = window_report(MACHINE_TURBINE);
    EXPECT_TRUE(has_line(lines, CLINE_MESSAGE, "5 Inlet *** not an anchor ***!"));
}

TEST_F(NemaReportTest, CompressorWindowDrawsFieldsAtTheirColumns)
{
    turbines().push_back({"T-1", 10, 20, 0, 0, {1, 0, 0}});
    build_rot_equip_report(results({9}));
    compressor_report(1, MACHINE_TURBINE, 1);
    // Column positions of a font whose characters are 8 wide: N = 6 x 8,
    // C = 9 x 8, T = 7 x 8, p1 = T + N + C.
    std::vector<std::pair<int, std::string>> drawn;
    LinePlacer place;
    place.left = [&](int x, const std::string& t) { drawn.push_back({x, "L " + t}); };
    place.right = [&](int x, const std::string& t) { drawn.push_back({x, "R " + t}); };
    place.centre = [&](int x, const std::string& t) { drawn.push_back({x, "C " + t}); };
    CompressorColumns c;
    c.n = 48;
    c.c = 72;
    c.t = 56;
    c.d = 8;
    c.p[1] = c.t + c.n + c.c;
    for (int k = 2; k <= 6; ++k)
        c.p[k] = c.p[k - 1] + c.c;
    c.q = 80 + c.n;
    draw_compressor_line(CLINE_VALUES, "10 Inlet -100 200 -50 -1200 2400 -600", c, place);
    ASSERT_EQ(drawn.size(), 8u);
    EXPECT_EQ(drawn[0], (std::pair<int, std::string>{0, "L 10"}));
    EXPECT_EQ(drawn[1], (std::pair<int, std::string>{48, "L Inlet"}));
    EXPECT_EQ(drawn[2], (std::pair<int, std::string>{176, "R -100"}));
    EXPECT_EQ(drawn[7], (std::pair<int, std::string>{176 + 5 * 72, "R -600"}));
    drawn.clear();
    draw_compressor_line(CLINE_MESSAGE, "20 Exhaust *** not an anchor ***!", c, place);
    EXPECT_EQ(drawn[2], (std::pair<int, std::string>{128, "L *** not an anchor ***"}));
    drawn.clear();
    draw_compressor_line(CLINE_INDIVIDUAL_2, "Node Type (inch) F(lb) M(ft-lb) 3F + M !able Ratio", c, place);
    ASSERT_EQ(drawn.size(), 8u);
    EXPECT_EQ(drawn[5], (std::pair<int, std::string>{176 + 3 * 72 - 16, "C 3F + M "}));
    EXPECT_EQ(drawn[7], (std::pair<int, std::string>{176 + 5 * 72, "R Ratio"}));
}
