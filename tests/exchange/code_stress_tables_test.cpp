// The result tables of the code evaluation in the results window on the
// scripted backend, for models imported from batch files, saved, analysed
// and opened: the ASME Class 2 branch-connection table with its own
// load-case chooser (231) and Left/Right, the FRP stresses of the current
// case and the sorted FRP list, the flange report's equivalent pressures
// worked in the test from the results file's forces; the pipeline codes'
// hoop rows of the code compliance and the sorted hoop stresses, the reason
// of a row that is not checked, the Z662 tee's SIF in the element forces
// and the factors of expansion stresses on the reference modulus beside
// them.
#include "exchange/exchange_fixture.h"

#include "exchange/data/code_stress_models.h"
#include "exchange/text_pages.h"

#include "analysis/ui/analysis_ui.h"
#include "codes/code_driver.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "framework/units.h"
#include "materials/pipe_material.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/ui/model_commands.h"
#include "model/named_set.h"
#include "model/nodes.h"
#include "platform/headless/headless_dialog.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/results_state.h"
#include "results/ui/code_stress_ui.h"
#include "results/ui/result_choosers.h"
#include "results/ui/results_hooks.h"
#include "results/ui/element_force_tables.h"
#include "results/ui/stress_result_tables.h"
#include "codes/stress_display.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>
#include <string>

namespace {

std::string model_text(const std::string& code, const std::string& type = "", const std::string& load = "350,300")
{
    return code_stress_models::tee_model_text({code, type, "", false, true, load});
}

// The model's material MAT by hand at 350 degF, linear between its rows at
// 70 and 700 degF (code_stress_models.h).
double mat350(double v70, double v700)
{
    return v70 + (v700 - v70) * (350.0 - 70.0) / 630.0;
}

class CodeStressTablesTest : public ExchangeProgramTest {
protected:
    // Imports, lets `change` edit the model, saves, analyses and opens the results.
    template <typename F>
    void open(const std::string& text, F change)
    {
        script().answer_file(write("model.mbf", text));
        ASSERT_TRUE(run_command(CMD_IMPORT));
        change();
        set_model_file_path(path("model.mod"));
        ASSERT_TRUE(save_model(0));
        const bool analysed = analyze_command(0);
        if (!analysed)
            for (const ScriptEvent& e : script().log())
                ADD_FAILURE() << e.kind << " " << e.name << " " << e.caption << " " << e.text;
        ASSERT_TRUE(analysed);
        open_results();
        hb->run_loop();
        ASSERT_TRUE(in_results());
    }
    void open(const std::string& text)
    {
        open(text, [] {});
    }
    void TearDown() override
    {
        terminate_results();
        ExchangeProgramTest::TearDown();
    }
    static bool offered(int kind)
    {
        const std::vector<int>& list = result_list();
        return std::find(list.begin(), list.end(), kind) != list.end();
    }
    static void make_frp()
    {
        PipeMaterial& m = named_set<PipeMaterial>()[1];
        for (int row = 1; row <= m.numtemps(); ++row) {
            m.table[row][6] = 3.0e6f;
            m.table[row][7] = 0.6e6f;
        }
    }
};

}  // namespace

TEST_F(CodeStressTablesTest, BranchConnectionTableWithItsOwnLoadCaseChooser)
{
    ASSERT_NO_FATAL_FAILURE(open(model_text("ASME-2015")));
    ASSERT_TRUE(offered(RESULT_BRANCH_CONNECTION));
    EXPECT_FALSE(offered(RESULT_FRP_STRESSES));
    ASSERT_TRUE(results_open());
    show_branch_connection_table();
    EXPECT_EQ(current_result(), RESULT_BRANCH_CONNECTION);
    TableWindow& t = *branch_connection_table();
    const std::vector<BranchConnectionRow>& rows = branch_connection_shown_rows();
    ASSERT_EQ(rows.size(), 1u);
    const int32_t first = branch_connection_load_case();
    EXPECT_EQ(t.title, "Branch connection stresses: " + load_case_names(first));
    EXPECT_EQ(t.cell_text(1, 1, 0), "20");
    EXPECT_EQ(t.cell_text(1, 6, 0), format_stress(rows[0].stress.stress));
    EXPECT_EQ(t.header_text(6, 1), unit_label(STRESS));
    // Right steps through the cases with a code stress, wrapping.
    const std::vector<int32_t> cases = branch_connection_load_cases(results().code.stresses->results);
    ASSERT_GE(cases.size(), 2u);
    t.on_key(KEY_RIGHT, MOD_NONE);
    EXPECT_EQ(branch_connection_load_case(), cases[1]);
    // 231: the table's chooser lists its own cases; the pick shows it.
    script().once(load_cases_chooser_template(static_cast<int>(cases.size())), [&](HeadlessDialog& d) {
        ASSERT_EQ(d.list_count(RADIO_LIST), static_cast<int>(cases.size()));
        EXPECT_EQ(d.list_text(RADIO_LIST, 0), load_case_names(cases[0]));
        EXPECT_TRUE(d.click_item(RADIO_LIST, 0));
    });
    frame_command(results_frame(), CMD_LOAD_CASES);
    EXPECT_EQ(branch_connection_load_case(), cases[0]);
    EXPECT_EQ(t.title, "Branch connection stresses: " + load_case_names(cases[0]));
    // The text report holds the row.
    EXPECT_NE(table_report_text(t, false).find(format_stress(branch_connection_shown_rows()[0].stress.stress)),
              std::string::npos);
}

TEST_F(CodeStressTablesTest, BranchConnectionTableNotOfferedUnderB31)
{
    ASSERT_NO_FATAL_FAILURE(open(model_text("B311")));
    EXPECT_FALSE(offered(RESULT_BRANCH_CONNECTION));
    EXPECT_TRUE(offered(RESULT_FLANGE_REPORT));
}

TEST_F(CodeStressTablesTest, FrpStressesOfTheCurrentCaseAndTheSortedFrpList)
{
    ASSERT_NO_FATAL_FAILURE(open(model_text("B313", "FR"), make_frp));
    ASSERT_TRUE(offered(RESULT_FRP_STRESSES));
    ASSERT_TRUE(offered(RESULT_SORTED_FRP_STRESSES));
    ASSERT_TRUE(set_results_load_case(LC_SUSTAINED));
    show_frp_stresses();
    TableWindow& t = *frp_stresses_table();
    const ResultsState& r = results();
    ASSERT_GT(r.numfrp(), 0);
    const FrpCaseStresses* c = r.code.stresses->results.find_frp(LC_SUSTAINED);
    ASSERT_NE(c, nullptr);
    // Row 1's two lines: the element's first and second end, hoop stress
    // P Dm/2t of its wall.
    const int e = r.lists.frp[1];
    EXPECT_EQ(t.cell_text(1, 2, 0), format_stress(c->ends[e][0].hoop));
    EXPECT_EQ(t.cell_text(1, 2, 1), format_stress(c->ends[e][1].hoop));
    const double dm = 8.625 - 0.322;
    EXPECT_NEAR(c->ends[e][0].hoop, 300.0 * dm / (2 * 0.322), 1e-6 * 4000.0);
    // The sorted list: every FRP end once, largest ratio first; Right takes
    // the hoop ratio next.
    show_sorted_frp_stresses();
    TableWindow& s = *sorted_frp_stresses_table();
    EXPECT_EQ(s.row_count, 2 * r.numfrp());
    EXPECT_EQ(s.title, "Sorted FRP stresses: Largest ratio");
    double previous = 1e300;
    for (int row = 1; row <= s.row_count; ++row) {
        const double ratio = std::stod(s.cell_text(row, 6, 0));
        EXPECT_LE(ratio, previous + 1e-9);
        previous = ratio;
    }
    s.on_key(KEY_RIGHT, MOD_NONE);
    EXPECT_EQ(sorted_frp_kind(), 1);
    EXPECT_EQ(s.title, "Sorted FRP stresses: Hoop ratio");
    s.on_key(KEY_LEFT, MOD_NONE);
    s.on_key(KEY_LEFT, MOD_NONE);
    EXPECT_EQ(sorted_frp_kind(), 3);
}

TEST_F(CodeStressTablesTest, FlangeReportEquivalentPressureFromTheFileForces)
{
    ASSERT_NO_FATAL_FAILURE(open(model_text("B313")));
    ASSERT_TRUE(offered(RESULT_FLANGE_REPORT));
    show_flange_report();
    const std::vector<FlangeLoadRow>& rows = flange_report_shown_rows();
    ASSERT_FALSE(rows.empty());
    for (const FlangeLoadRow& row : rows) {
        SCOPED_TRACE(row.load_case);
        EXPECT_TRUE((row.load_case >= 8 && row.load_case <= 10) || (row.load_case >= 100 && row.load_case <= 106));
        // The flange at 45 sits between the branch elements; its own row's
        // element ends there (its second end).
        EXPECT_EQ(model().nodes[row.node].number, 45);
        OneBased<ElementForceRecord> f;
        read_load_case_forces_of(row.load_case, f);
        const Elem& el = model().elems[row.element];
        ASSERT_EQ(el.node2, row.node);
        const double axial = f[row.element][6];   // tension at the second end
        const double moment = std::hypot(f[row.element][10], f[row.element][11]);
        const double pi = std::numbers::pi, g = 5.0;
        const double peq = 16 * moment / (pi * g * g * g) + (axial > 0 ? 4 * axial / (pi * g * g) : 0.0);
        EXPECT_NEAR(row.equivalent, peq, 1e-6 * peq + 1e-9);
        EXPECT_NEAR(row.pressure, 300.0, 1e-9);
        EXPECT_TRUE(row.checked);
        EXPECT_NEAR(row.percent(), 100.0 * (300.0 + peq) / 740.0, 1e-6);
    }
    TableWindow& t = *flange_report_table();
    EXPECT_EQ(t.cell_text(1, 1, 0), "45");
    EXPECT_EQ(t.cell_text(1, 2, 0), "Weld neck");
    EXPECT_EQ(t.cell_text(1, 9, 0), format_pressure(740.0));
}

TEST_F(CodeStressTablesTest, PipelineHoopRowsFailInTheCodeComplianceAndItsReport)
{
    // B31.4 at 4 000 psi: SH = P D/2t = 4000 x 8.625 / 0.644 = 53 571 psi on
    // the run against 0.72 E Sy (para. 403.3.1), E 1.0, Sy the yield of
    // column 4 at 350 degF.
    ASSERT_NO_FATAL_FAILURE(open(model_text("B314", "", "350,4000")));
    const double sh = 4000 * 8.625 / (2 * 0.322), allowable = 0.72 * mat350(35000, 30000);
    EXPECT_NEAR(sh, 53571.4, 0.1);
    show_code_compliance();
    TableWindow& t = code_compliance_table();
    int row = 0;
    for (int r = 1; r <= t.row_count && row == 0; ++r)
        if (t.cell_text(r, 1, 0) == "10" && t.cell_text(r, 2, 0) == "Sustained (W+P): hoop")
            row = r;
    ASSERT_NE(row, 0);
    EXPECT_EQ(t.cell_text(row - 1, 2, 0), "Sustained (W+P)");
    EXPECT_EQ(t.cell_text(row, 3, 0), format_stress(sh));
    EXPECT_EQ(t.cell_text(row, 4, 0), format_stress(allowable));
    EXPECT_EQ(t.cell_text(row, 5, 0), format_real(100 * sh / allowable, 8, 1));
    EXPECT_GT(100 * sh / allowable, 100.0);
    // Only the failures: the hoop rows stay.
    frame_command(results_frame(), CMD_SORTED_STRESS_OPTION);
    bool hoop_failure = false;
    for (int r = 1; r <= t.row_count; ++r)
        hoop_failure = hoop_failure || t.cell_text(r, 2, 0) == "Sustained (W+P): hoop";
    EXPECT_TRUE(hoop_failure);
    frame_command(results_frame(), CMD_SORTED_STRESS_OPTION);
    // The text report's row.
    const std::string text = table_report_text(t, false);
    EXPECT_NE(text.find("Sustained (W+P): hoop"), std::string::npos);
    EXPECT_NE(text.find(format_real(100 * sh / allowable, 8, 1)), std::string::npos);
    // The sorted stresses step on to the hoop stresses under a pipeline code.
    stress_display_flags().ratio_kind = RATIO_SUSTAINED;
    show_sorted_stresses();
    TableWindow& sorted = sorted_stress_table();
    sorted.on_key(KEY_LEFT, MOD_NONE);
    EXPECT_EQ(stress_display_flags().ratio_kind, RATIO_HOOP);
    EXPECT_EQ(sorted.title, "Sorted stresses: Hoop stress");
    EXPECT_EQ(sorted.cell_text(1, 3, 0), format_stress(sh));
    sorted.on_key(KEY_RIGHT, MOD_NONE);
    EXPECT_EQ(stress_display_flags().ratio_kind, RATIO_SUSTAINED);
}

TEST_F(CodeStressTablesTest, NotCheckedReasonInTheTableAndItsReport)
{
    // Z662 of a material whose strength and yield column are not given.
    ASSERT_NO_FATAL_FAILURE(open(model_text("Z662"), [] {
        PipeMaterial& m = named_set<PipeMaterial>()[1];
        for (int row = 1; row <= m.numtemps(); ++row)
            m.table[row][4] = 0.0f;
    }));
    show_code_compliance();
    TableWindow& t = code_compliance_table();
    ASSERT_GT(t.row_count, 0);
    const std::string reason = "Not checked: the material has no specified minimum yield strength";
    int expansion = 0;
    for (int r = 1; r <= t.row_count; ++r)
        if (t.cell_text(r, 2, 0) == "Expansion (T1)") {
            EXPECT_EQ(t.cell_text(r, 4, 0), reason);
            EXPECT_EQ(t.cell_text(r, 5, 0), "");
            ++expansion;
        }
    EXPECT_GT(expansion, 0);
    // The text report: the reason under its row, from the load case's
    // column 14 on; the CSV report: the reason in the allowable's cell.
    for (bool csv : {false, true}) {
        std::istringstream lines(table_report_text(t, csv));
        bool found = false, reason_next = false;
        for (std::string line; std::getline(lines, line);) {
            if (reason_next) {
                EXPECT_EQ(line, std::string(13, ' ') + reason);
            }
            reason_next = false;
            if (line.find("Expansion (T1)") != std::string::npos) {
                if (csv) {
                    EXPECT_NE(line.find(",Expansion (T1),"), std::string::npos) << line;
                    EXPECT_EQ(line.find(reason), line.size() - reason.size() - 2) << line;
                } else {
                    EXPECT_EQ(line.find("Not checked"), std::string::npos) << line;
                    reason_next = true;
                }
                found = true;
            }
        }
        EXPECT_TRUE(found);
    }
}

TEST_F(CodeStressTablesTest, NotCheckedReasonOfABranchConnection)
{
    // ASME Class 2 of a material whose allowable stress (column 3) is not
    // given at 700 degF: the branch connection's stress, without allowable,
    // says why.
    ASSERT_NO_FATAL_FAILURE(open(model_text("ASME-2015"), [] {
        PipeMaterial& m = named_set<PipeMaterial>()[1];
        m.table[m.numtemps()][3] = 0.0f;
    }));
    show_branch_connection_table();
    TableWindow& t = *branch_connection_table();
    ASSERT_EQ(t.row_count, 1);
    EXPECT_EQ(t.cell_text(1, 7, 0),
              "Not checked: the material's allowable stress is not given at every temperature of its table");
    EXPECT_EQ(t.cell_text(1, 8, 0), "");
}

TEST_F(CodeStressTablesTest, Z662TeeSifShowsInTheElementForces)
{
    ASSERT_NO_FATAL_FAILURE(open(model_text("Z662")));
    ASSERT_TRUE(set_results_load_case(LC_EXPANSION_T1));
    show_pipe_forces();
    TableWindow& t = pipe_force_table();
    EXPECT_EQ(t.header_text(8, 0), "SIF");
    // The tee at 20: i = 0.9/h^(2/3), h = 4.4 T/r of the run, r = (D - T)/2
    // (not the chart's i_i = 0.75 i + 0.25 = 1.63).
    const double r2 = (8.625 - 0.322) / 2;
    const double tee = 0.9 / std::pow(4.4 * 0.322 / r2, 2.0 / 3.0);
    EXPECT_EQ(format_real(tee, 4, 2), "1.84");
    int tee_ends = 0;
    for (int r = 1; r <= t.row_count; ++r)
        for (int line = 0; line < 2; ++line)
            if (t.cell_text(r, 1, line) == "20") {
                EXPECT_EQ(t.cell_text(r, 8, line), "1.84");
                ++tee_ends;
            }
    EXPECT_EQ(tee_ends, 3);   // the run's two legs and the branch
    EXPECT_NE(table_report_text(t, false).find("1.84"), std::string::npos);
    // The material gives no yield strength (a batch file cannot): the code
    // compliance says S is its table's yield.
    show_code_compliance();
    EXPECT_NE(read_as_one(table_report_text(code_compliance_table(), false))
                  .find("Z662: material MAT has no yield strength; S is the smallest yield stress of its property "
                        "table at the temperatures of the thermal sets in use"),
              std::string::npos);
}

TEST_F(CodeStressTablesTest, ExpansionModulusFactorOfTheStressesIsPrintedBesideThem)
{
    // B31.4 takes SE on the ambient modulus (para. 402.2.2): the moments
    // solved on E(350 degF) times E(70)/E(350) of MAT.
    ASSERT_NO_FATAL_FAILURE(open(model_text("B314")));
    const double k = 27.9e6 / mat350(27.9e6, 25.5e6);
    EXPECT_NEAR(k, 1.0398, 5e-5);
    const std::string note = "SE is on the modulus at the reference temperature: the moments times "
                             "E(reference)/E(case), " + format_real(k, 6, 4) + " for MAT at 350 F";
    ASSERT_TRUE(set_results_load_case(LC_EXPANSION_T1));
    show_pipe_forces();
    const std::string forces = read_as_one(table_report_text(pipe_force_table(), false));
    EXPECT_NE(forces.find(note), std::string::npos) << forces;
    // Not beside a case whose stresses are as solved.
    ASSERT_TRUE(set_results_load_case(LC_SUSTAINED));
    show_pipe_forces();
    EXPECT_EQ(table_report_text(pipe_force_table(), false).find("SE is on"), std::string::npos);
    // The code compliance and the sorted expansion stresses name the case
    // and its factor under their rows.
    show_code_compliance();
    const std::string compliance = read_as_one(table_report_text(code_compliance_table(), false));
    EXPECT_NE(compliance.find("Expansion (T1): " + note), std::string::npos) << compliance;
    stress_display_flags().ratio_kind = RATIO_EXPANSION;
    show_sorted_stresses();
    EXPECT_NE(read_as_one(table_report_text(sorted_stress_table(), false)).find("Expansion (T1): " + note),
              std::string::npos);
    stress_display_flags().ratio_kind = RATIO_SUSTAINED;
    show_sorted_stresses();
    EXPECT_EQ(table_report_text(sorted_stress_table(), false).find("SE is on"), std::string::npos);
}
