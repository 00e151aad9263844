// The rotating-equipment report from end to end: a batch model with a pump
// between two nozzle anchors, a compressor and a turbine, analysed by the
// program, its results opened; the report's nozzle loads are the anchors'
// loads as this test reads them from the results file, negated (the loads
// on the machine) and resolved along the machine's axes here. Also the
// report's load cases, stepping with wrap-around, the chooser's entry, and
// machines whose data is bad.
#include "analysis/analysis_model.h"
#include "analysis/ui/analysis_ui.h"
#include "analysis_core/results_sink.h"
#include "exchange_fixture.h"
#include "framework/binfile.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/table.h"
#include "model/analysis_options.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/ui/model_commands.h"
#include "qualification/equipment.h"
#include "qualification/pump_evaluation.h"
#include "qualification/rot_equip.h"
#include "qualification/ui/report_lines.h"
#include "qualification/ui/rot_equip_ui.h"
#include "page_layout.h"
#include "platform/headless/headless_printing.h"
#include "report_contents.h"
#include "results/ui/result_choosers.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_report.h"
#include "results/ui/results_window.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>

namespace {

// A 6 in line at two operating temperatures: the pump's suction nozzle
// anchored at 10, a loop to its discharge nozzle anchored at 40, on to the
// compressor's inlet anchored at 60, then the turbine's inlet anchored at 80
// and its exhaust at 90. Y is vertical. The pump's shaft is along X, the compressor's along X, the
// turbine's along Z.
const std::string MODEL = "Rotating equipment\nOPTIONS\nIN,B313\nMATERIAL\nCS,0.283\n"
                          "CS,70,29.5E6,6.07E-6,20000\nCS,400,27.7E6,6.82E-6,20000\nPIPE\nP6,6.625,0.28\n"
                          "LOADS\nL1,300,150,1.0,400,150\nLAYOUT\nF10,MCS,PP6,KA,CL=L1\nT20,Y60\nT30,X120\nT40,Y-60,KA\n"
                          "T50,X60\nT60,Z60,KA\nT70,X60\nT80,Z-60,KA\nT90,X60,KA\n"
                          "PUMPS\nP-1,0,1,0,0,60,-12,0,10,0,40,0\nCOMPRESSORS\nK-1,1,0,0,60\n"
                          "TURBINES\nT-1,0,0,1,80,90\n";

using Axes = std::array<std::array<double, 3>, 3>;
using Six = std::array<double, 6>;

// Loads along three axes: f . axis and m . axis.
Six along(const Axes& a, const Six& l)
{
    Six out{};
    for (std::size_t i = 0; i < 3; ++i) {
        out[i] = a[i][0] * l[0] + a[i][1] * l[1] + a[i][2] * l[2];
        out[i + 3] = a[i][0] * l[3] + a[i][1] * l[4] + a[i][2] * l[5];
    }
    return out;
}

class RotEquipProgramTest : public ExchangeProgramTest {
protected:
    void SetUp() override
    {
        ExchangeProgramTest::SetUp();
        script().answer_file(write("rot.mbf", MODEL));
        ASSERT_TRUE(run_command(CMD_IMPORT));
        ASSERT_EQ(pumps().size(), 1);
        ASSERT_EQ(compressors().size(), 1);
        ASSERT_EQ(turbines().size(), 1);
        pumps()[1].kind = PUMP_HORIZONTAL_API610;
        ASSERT_FALSE(analysis_options().z_vertical);
    }
    void TearDown() override
    {
        terminate_results();
        ExchangeProgramTest::TearDown();
    }
    // Saves, analyses and opens the results (the chooser left unanswered).
    void analyse_and_open()
    {
        set_model_file_path(path("rot.mod"));
        ASSERT_TRUE(save_model(0));
        ASSERT_TRUE(analyze_command(0));
        open_results();
        hb->run_loop();
        ASSERT_TRUE(in_results());
    }

    // The support loads of the anchor at a node in the block of a load case,
    // read from the results file by its layout: the header, the element
    // records, the soil restraints, then per case of the run's list the node
    // block (two for code 31), the element forces and the support block.
    Six file_anchor_loads(int node, int code) const
    {
        const Model& m = model();
        int offset = -1;
        for (const LayoutRow& r : m.rows)
            if (r.dtype == DT_ANCHOR && r.node == node)
                offset = r.results_offset;
        EXPECT_GE(offset, 0) << "no anchor at " << node;
        BinFile f;
        EXPECT_TRUE(f.open_read(path("rot.res")));
        f.seek(16);
        const int64_t elements = f.read_int();
        f.seek(20 + 44 * elements);   // records of 8 int32 and 3 float32
        const int64_t soils = f.read_int();
        int64_t p = 24 + 44 * elements + 40 * soils;
        const int64_t nodes = 24 * int64_t{m.numnodes()};
        const int64_t supports = 4 * int64_t{support_value_count(m)};
        const LoadCaseList cases = analysis_load_cases();
        for (int i = 1; i <= cases.count(); ++i) {
            p += (cases.code(i) == LC_RESPONSE_SPECTRUM ? 2 : 1) * nodes + 48 * elements;
            if (cases.code(i) == code)
                break;
            p += supports;
        }
        f.seek(p + offset);
        std::array<float, 6> words{};
        f.read_floats(words.data(), words.size());
        Six out{};
        for (std::size_t i = 0; i < 6; ++i)
            out[i] = words[i];
        return out;
    }
    // The loads on the machine: the anchor's loads on the pipe negated.
    Six on_machine(int node, int code) const
    {
        Six l = file_anchor_loads(node, code);
        for (double& v : l)
            v = -v;
        return l;
    }
    static void expect_loads(const Six& expected, const Six& got, const std::string& what)
    {
        // The file holds float32; the largest load sets the tolerance.
        double scale = 1.0;
        for (double v : expected)
            scale = std::max(scale, std::fabs(v));
        for (std::size_t i = 0; i < 6; ++i)
            EXPECT_NEAR(got[i], expected[i], 1e-5 * scale) << what << " component " << i;
    }
    static std::string first_line() { return report_window_lines().empty() ? "" : report_window_lines()[0].text; }
    static bool window_has(const std::string& text)
    {
        const std::vector<ReportLine>& lines = report_window_lines();
        return std::any_of(lines.begin(), lines.end(), [&](const ReportLine& l) { return l.text == text; });
    }
};

}  // namespace

TEST_F(RotEquipProgramTest, ReportLoadsAreTheAnchorLoadsOfTheResultsFileInMachineAxes)
{
    ASSERT_NO_FATAL_FAILURE(analyse_and_open());
    const RotEquipReport& r = rot_equip_report();
    ASSERT_TRUE(r.ready);

    // The report's cases: the run's operating cases 8, 9, 10, 100 to 106 in
    // that order (the run has no cold-spring case 15, 16, 17, 110 to 116).
    const LoadCaseList run = analysis_load_cases();
    auto in_run = [&run](int code) {
        for (int i = 1; i <= run.count(); ++i)
            if (run.code(i) == code)
                return true;
        return false;
    };
    std::vector<int> expected_cases;
    for (int code : {15, 16, 17, 110, 111, 112, 113, 114, 115, 116})
        ASSERT_FALSE(in_run(code)) << code;
    for (int code : {8, 9, 10, 100, 101, 102, 103, 104, 105, 106})
        if (in_run(code))
            expected_cases.push_back(code);
    ASSERT_FALSE(expected_cases.empty());
    EXPECT_EQ(r.load_cases, expected_cases);
    ASSERT_EQ(r.equipment_count(), 3);

    // Pump axes (horizontal pump): X the shaft (1, 0, 0), Z the vertical
    // (0, 1, 0), Y = Z x X = (0, 0, -1).
    const Axes pump{{{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}};
    // Compressor, shaft along X: y the vertical, z = x cross y = (0, 0, 1).
    const Axes compressor{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    // Turbine, shaft along Z: y the vertical, z = x cross y = (-1, 0, 0).
    const Axes turbine{{{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}}};
    bool any_load = false;
    for (std::size_t slot = 0; slot < expected_cases.size(); ++slot) {
        const int code = expected_cases[slot];
        const std::string c = " case " + std::to_string(code);
        for (int nozzle : {SUCTION, DISCHARGE}) {
            const Six expected = along(pump, on_machine(nozzle == SUCTION ? 10 : 40, code));
            const PumpLoads& l = r.pumps[1].nozzle[static_cast<std::size_t>(nozzle)].loads[slot];
            expect_loads(expected, {l[P_FX], l[P_FY], l[P_FZ], l[P_MX], l[P_MY], l[P_MZ]},
                         "pump nozzle " + std::to_string(nozzle) + c);
            any_load = any_load || std::fabs(expected[0]) > 1.0;
        }
        const MachineLoads& k = r.compressors[1].nozzle[INLET].loads[slot];
        expect_loads(along(compressor, on_machine(60, code)), {k[0], k[1], k[2], k[3], k[4], k[5]}, "compressor" + c);
        for (int nozzle : {INLET, EXHAUST}) {
            const MachineLoads& t = r.turbines[1].nozzle[static_cast<std::size_t>(nozzle)].loads[slot];
            expect_loads(along(turbine, on_machine(nozzle == INLET ? 80 : 90, code)), {t[0], t[1], t[2], t[3], t[4], t[5]},
                         "turbine nozzle " + std::to_string(nozzle) + c);
        }
    }
    // The line is hot: its anchors carry loads.
    EXPECT_TRUE(any_load);

    // The results chooser offers the report; choosing it shows the pump.
    script().once(result_chooser_template(), [](HeadlessDialog& d) {
        int entry = -1;
        for (int i = 0; i < d.list_count(RADIO_LIST); ++i)
            if (d.list_text(RADIO_LIST, i) == "&Rot. equip report" || d.list_text(RADIO_LIST, i) == "Rot. equip report")
                entry = i;
        ASSERT_GE(entry, 0);
        EXPECT_TRUE(d.click_item(RADIO_LIST, entry));
        if (d.visible())
            d.press(IDOK);
    });
    run_result_chooser(results_frame().window);
    EXPECT_EQ(current_result(), RESULT_ROT_EQUIP_REPORT);
    EXPECT_EQ(results_table_view().table(), &pump_report_window());
    EXPECT_EQ(first_line(), "API 610 (11th ed.), Sep 2010 / ISO 13709 report for pump : P-1");
    EXPECT_TRUE(window_has("Load case: " + load_case_names(expected_cases[0])));

    // Next machine: the compressor, the turbine, then the pump again;
    // previous from the pump wraps to the turbine.
    EXPECT_TRUE(rot_equip_command(CMD_NEXT_ITEM, results_frame().window));
    EXPECT_EQ(first_line(), "API 617 (7th Ed. 2003) report for compressor : K-1");
    EXPECT_TRUE(rot_equip_command(CMD_NEXT_ITEM, results_frame().window));
    EXPECT_EQ(first_line(), "NEMA SM23 (1991) report for turbine : T-1");
    EXPECT_TRUE(rot_equip_command(CMD_NEXT_ITEM, results_frame().window));
    EXPECT_EQ(first_line(), "API 610 (11th ed.), Sep 2010 / ISO 13709 report for pump : P-1");
    EXPECT_TRUE(rot_equip_command(CMD_PREVIOUS_ITEM, results_frame().window));
    EXPECT_EQ(first_line(), "NEMA SM23 (1991) report for turbine : T-1");
    // Left from the first case wraps to the last.
    script().key(results_table_view().window(), KEY_LEFT);
    EXPECT_EQ(r.current_case, r.case_count());
    EXPECT_TRUE(window_has("Load case: " + load_case_names(expected_cases.back())));
    script().key(results_table_view().window(), KEY_RIGHT);
    EXPECT_EQ(r.current_case, 1);
    // Leaving results drops the report.
    terminate_results();
    EXPECT_FALSE(rot_equip_report().ready);
}

TEST_F(RotEquipProgramTest, ResultsReportTakesEveryMachineOfEveryCase)
{
    ASSERT_NO_FATAL_FAILURE(analyse_and_open());
    const RotEquipReport& r = rot_equip_report();
    ASSERT_TRUE(r.ready);
    const ResultsReportSelection s = default_report_selection();
    ASSERT_TRUE(s.parts[PART_OTHER_REPORTS]);
    const std::string text = report_render_text(results_report_job(s), false);
    // Each machine's report of each case, after the results' own parts.
    const std::size_t forces = text.rfind("Element forces in global coordinates");
    ASSERT_NE(forces, std::string::npos);
    const std::vector<ShownEntry> contents = text_contents(text);
    for (int j = 1; j <= r.case_count(); ++j) {
        const std::string c = load_case_names(r.case_code(j));
        for (const std::string& title : {"API 610 (11th ed.), Sep 2010 / ISO 13709 report for pump P-1, " + c,
                                         "API 617 report for K-1, " + c, "NEMA SM 23 report for T-1, " + c})
            EXPECT_TRUE(std::any_of(contents.begin(), contents.end(), [&](const ShownEntry& e) { return e.title == title; }))
                << title;
    }
    for (const char* first : {"API 610 (11th ed.), Sep 2010 / ISO 13709 report for pump : P-1",
                              "API 617 (7th Ed. 2003) report for compressor : K-1", "NEMA SM23 (1991) report for turbine : T-1"}) {
        const std::size_t at = text.find(first);
        ASSERT_NE(at, std::string::npos) << first;
        EXPECT_GT(at, forces) << first;
    }
    // Left out of the selection, no machine is printed.
    ResultsReportSelection without = s;
    without.parts[PART_OTHER_REPORTS] = false;
    EXPECT_EQ(report_render_text(results_report_job(without), false).find("report for pump"), std::string::npos);
}

TEST_F(RotEquipProgramTest, BadMachineDataGivesAMessageInThatMachinesReport)
{
    // A zero shaft (as an old file may hold it), a nozzle node the model
    // no longer has, a turbine without exhaust node.
    compressors()[1].shaft_axis = {0, 0, 0};
    pumps()[1].suction_node = 15;
    turbines()[1].exhaust = 0;
    ASSERT_NO_FATAL_FAILURE(analyse_and_open());
    const RotEquipReport& r = rot_equip_report();
    ASSERT_TRUE(r.ready);
    ASSERT_EQ(r.equipment_count(), 3);
    set_current_result(RESULT_ROT_EQUIP_REPORT);
    show_rot_equip();
    EXPECT_TRUE(window_has("*** Suction node: 15 is not defined ***"));
    EXPECT_TRUE(rot_equip_command(CMD_NEXT_ITEM, results_frame().window));
    EXPECT_TRUE(window_has(std::string("*** Invalid shaft axis for compressor: K-1. ") + SHAFT_WITHOUT_DIRECTION + " ***"));
    EXPECT_TRUE(rot_equip_command(CMD_NEXT_ITEM, results_frame().window));
    EXPECT_TRUE(window_has("*** Combined resultants at Exhaust node are not available ***"));
    // The turbine's inlet is still reported from its anchor.
    const MachineLoads& t = r.turbines[1].nozzle[INLET].loads[0];
    const Axes turbine{{{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}}};
    expect_loads(along(turbine, on_machine(80, r.case_code(1))), {t[0], t[1], t[2], t[3], t[4], t[5]}, "turbine inlet");
    EXPECT_TRUE(in_results());
    EXPECT_TRUE(script().messages().empty()) << script().last_message();
}

namespace {

class ContentsLine : public RotEquipProgramTest {};

}  // namespace

// The results report of a pump named "P-101 FEED PUMP": each of its contents
// entries, "API 610 (11th ed.), Sep 2010 / ISO 13709 report for pump P-101
// FEED PUMP, " and the case's name, reads whole over its lines with its page
// number after it, in the text report and on printed pages; no contents
// text is written over another.
TEST_F(ContentsLine, PumpReportContentsLinesAreWhole)
{
    pumps()[1].name = "P-101 FEED PUMP";
    ASSERT_NO_FATAL_FAILURE(analyse_and_open());
    const RotEquipReport& r = rot_equip_report();
    ASSERT_TRUE(r.ready);
    const ReportJob job = results_report_job(default_report_selection());
    const std::string text = report_render_text(job, false);
    const std::vector<ShownEntry> entries = text_contents(text);
    ASSERT_FALSE(entries.empty());
    for (int j = 1; j <= r.case_count(); ++j) {
        const std::string title =
            "API 610 (11th ed.), Sep 2010 / ISO 13709 report for pump P-101 FEED PUMP, " + load_case_names(r.case_code(j));
        const auto e = std::find_if(entries.begin(), entries.end(), [&](const ShownEntry& x) { return x.title == title; });
        ASSERT_NE(e, entries.end()) << title;
        // The page it names begins that pump report.
        std::size_t page_start = 0;
        for (int p = 1; p < e->page; ++p)
            page_start = text.find('\f', page_start) + 1;
        EXPECT_NE(text.substr(page_start, text.find('\f', page_start) - page_start).find("report for pump : P-101 FEED PUMP"),
                  std::string::npos)
            << title;
    }
    // No line of the contents pages (those before the first entry's page)
    // runs past column 88.
    std::size_t contents_end = 0;
    for (int p = 1; p < entries.front().page; ++p)
        contents_end = text.find('\f', contents_end) + 1;
    ASSERT_GT(contents_end, 0u);
    std::istringstream in(text.substr(0, contents_end));
    for (std::string line; std::getline(in, line);)
        EXPECT_LE(line.size(), 88u) << line;

    HeadlessPrintDocument doc{PageSetup{}, 96};
    ASSERT_TRUE(report_render_pages(doc, job));
    for (std::size_t p = 0; p < doc.pages().size(); ++p) {
        for (const std::string& fault : page_layout_faults(*doc.pages()[p]))
            ADD_FAILURE() << "page " << p + 1 << ": " << fault;
        const std::vector<DrawnText> texts = drawn_texts(*doc.pages()[p]);
        if (std::none_of(texts.begin(), texts.end(), [](const DrawnText& t) { return t.text == "Contents"; }))
            break;
    }
}
