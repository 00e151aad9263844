// The sorted stresses and the code compliance: their rows from an
// evaluation of the tests (known stresses and allowables), the order and
// ratio-column commands (374, 338), the marks of stresses over their
// allowable and above the display thresholds, the text and CSV layouts
// (hand-written below), and the one set of thresholds and stress-ratio
// kind that the tables, the choosers and the views share.
//
// The model: anchor 10, a pipe along +X to 20, a pipe along +Z to anchor
// 30; elements 1 (10-20) and 2 (20-30). Cases: Sustained (1), Expansion (T1)
// (2) and Expansion (T2) (3). Stress of end `end` of element e in case c:
// 1000 e + 100 end + c psi, allowable 20000 psi; element 2's second end in
// Expansion (T2) is 25000 psi (125 %), and element 1's first end has an
// allowable of 1000 psi in every case.
#include "codes/stress_display.h"
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "model/piping_codes.h"
#include "results/result_tables_fixture.h"
#include "results/ui/results_window.h"
#include "results/ui/stress_result_tables.h"

#include <chrono>
#include <filesystem>

class StressTablesTest : public ResultTablesTest {
protected:
    void open(bool evaluation = true, bool model_newer = false)
    {
        if (evaluation) {
            StandIn s;
            s.stress = [](int e, int end, int code) {
                return e == 2 && end == 1 && code == LC_EXPANSION_T1 + 1 ? 25000.0 : stand_in_stress(e, end, code);
            };
            s.allowable = [](int e, int end, int) { return e == 1 && end == 0 ? 1000.0 : 20000.0; };
            install_stand_in(s);
        } else {
            register_code_evaluation({});
        }
        start_model();
        add(10, ET_FROM, 0, 0, 0, DT_ANCHOR);
        add(20, ET_PIPE, 100, 0, 0);
        add(30, ET_PIPE, 0, 0, 50, DT_ANCHOR);
        piping_code() = CODE_B311;
        ASSERT_NO_FATAL_FAILURE(write_results({LC_SUSTAINED, LC_EXPANSION_T1, LC_EXPANSION_T1 + 1}, {}));
        if (model_newer)
            std::filesystem::last_write_time(path("sample.mod"), std::filesystem::last_write_time(path("sample.res")) +
                                                                     std::chrono::seconds(5));
        ASSERT_NO_FATAL_FAILURE(open_written());
    }
    // Node, case, stress, allowable and ratio of every row.
    static std::vector<std::vector<std::string>> rows_of(TableWindow& t)
    {
        std::vector<std::vector<std::string>> out;
        for (int r = 1; r <= t.row_count; ++r) {
            std::vector<std::string> row;
            for (int c = 1; c <= 5; ++c)
                row.push_back(t.cell_text(r, c, 0));
            out.push_back(row);
        }
        return out;
    }
};

class SortedStressTable : public StressTablesTest {};

TEST_F(SortedStressTable, TheGoverningCaseOfEveryEndByRatioOrByStress)
{
    ASSERT_NO_FATAL_FAILURE(open());
    stress_display_flags().ratio_kind = RATIO_EXPANSION;
    show_sorted_stresses();
    TableWindow& t = sorted_stress_table();
    EXPECT_EQ(current_result(), RESULT_SORTED_STRESSES);
    EXPECT_NE(results_title().find("Sorted stresses: Expansion stress"), std::string::npos);
    EXPECT_EQ(t.header_text(3, 0), "Stress");
    EXPECT_EQ(t.header_text(4, 1), "(psi)");
    EXPECT_EQ(t.header_text(5, 0), "Ratio");
    // The largest of the two expansion cases at each end, largest ratio first.
    const std::vector<std::vector<std::string>> by_ratio = {
        {"30", "Expansion (T2)", "25000", "20000", "125.0"},
        {"10", "Expansion (T2)", "1003", "1000", "100.3"},
        {"20", "Expansion (T2)", "2003", "20000", "10.0"},
        {"20", "Expansion (T2)", "1103", "20000", "5.5"},
    };
    EXPECT_EQ(rows_of(t), by_ratio);
    // 374: the largest stress first; the menu item says what it does next.
    Frame& f = results_frame();
    EXPECT_TRUE(f.menu.contains(CMD_SORTED_STRESS_OPTION));
    EXPECT_TRUE(frame_command_available(f, CMD_SORTED_STRESS_OPTION));
    frame_command(f, CMD_SORTED_STRESS_OPTION);
    EXPECT_EQ(stress_display_flags().sorted_order, StressOrder::Stress);
    const std::vector<std::vector<std::string>> by_stress = {by_ratio[0], by_ratio[2], by_ratio[3], by_ratio[1]};
    EXPECT_EQ(rows_of(t), by_stress);
    // Left and Right step the category: sustained, expansion, occasional.
    t.on_key(KEY_LEFT, MOD_NONE);
    EXPECT_EQ(stress_display_flags().ratio_kind, RATIO_SUSTAINED);
    EXPECT_EQ(t.cell_text(1, 2, 0), "Sustained (W+P)");
    EXPECT_EQ(t.cell_text(1, 3, 0), "2101");
    // The range the views colour over.
    const StressRange range = current_sorted_stress_range();
    EXPECT_DOUBLE_EQ(range.smallest, 1001.0);
    EXPECT_DOUBLE_EQ(range.largest, 2101.0);
}

TEST_F(SortedStressTable, TheRatioColumnComesAndGoes)
{
    ASSERT_NO_FATAL_FAILURE(open());
    show_sorted_stresses();
    TableWindow& t = sorted_stress_table();
    table_ensure_measured(t);
    EXPECT_GT(t.widths[5], 0);
    frame_command(results_frame(), CMD_RATIOS_COLUMN);
    EXPECT_FALSE(stress_display_flags().ratio_column);
    table_ensure_measured(t);
    EXPECT_EQ(t.widths[5], 0);
    EXPECT_EQ(t.cell_text(1, 5, 0), "");
    frame_command(results_frame(), CMD_RATIOS_COLUMN);
    EXPECT_EQ(t.cell_text(1, 5, 0), "125.0");
    // Leaving the table takes its items away.
    table_window_detach();
    EXPECT_FALSE(results_frame().menu.contains(CMD_RATIOS_COLUMN));
}

TEST_F(SortedStressTable, OverTheAllowableRedAboveAThresholdBlue)
{
    ASSERT_NO_FATAL_FAILURE(open());
    show_sorted_stresses();
    TableWindow& t = sorted_stress_table();
    auto colour = [&t](int row, int column) {
        t.marks = {};
        t.cell_text(row, column, 0);
        return t.marks.text_color;
    };
    // No thresholds: only the ratios over 100 % are marked, red and inverted in print.
    EXPECT_EQ(colour(1, 5), (Color{255, 0, 0}));
    EXPECT_FALSE(t.marks.highlighted.empty());
    EXPECT_EQ(colour(2, 5), (Color{255, 0, 0}));
    EXPECT_FALSE(colour(3, 5).has_value());
    EXPECT_FALSE(colour(3, 3).has_value());
    // The thresholds of THRESHOLDS_DIALOG: 2000 psi and 8 %.
    script().once("THRESHOLDS_DIALOG", [](HeadlessDialog& d) {
        d.type(1301, "2000");
        d.type(1302, "8");
        d.press(IDOK);
    });
    frame_command(results_frame(), CMD_THRESHOLDS);
    EXPECT_FLOAT_EQ(stress_display_flags().stress_threshold, 2000.0f);
    EXPECT_FLOAT_EQ(stress_display_flags().ratio_threshold, 8.0f);
    EXPECT_EQ(colour(3, 3), (Color{0, 0, 192}));   // 2003 psi
    EXPECT_FALSE(colour(4, 3).has_value());        // 1103 psi
    EXPECT_EQ(colour(3, 5), (Color{0, 0, 192}));   // 10 %
    EXPECT_FALSE(colour(4, 5).has_value());        // 5.5 %
    EXPECT_EQ(colour(1, 5), (Color{255, 0, 0}));
    // Leaving results mode forgets them.
    terminate_results();
    EXPECT_FLOAT_EQ(stress_display_flags().stress_threshold, 0.0f);
}

TEST_F(SortedStressTable, TextAndCsvLayouts)
{
    ASSERT_NO_FATAL_FAILURE(open());
    stress_display_flags().ratio_kind = RATIO_EXPANSION;
    show_sorted_stresses();
    auto row = [](const std::string& node, const std::string& stress, const std::string& allowable,
                  const std::string& ratio) {
        return std::string(TextLine()
                               .at(6, node)
                               .at(14, "Expansion (T2)")
                               .right(52, stress)
                               .right(70, allowable)
                               .right(82, ratio));
    };
    const std::vector<std::string> expected = {
        TextLine().centred(6, 78, "Sorted stresses: Expansion stress"),
        rule_line(),
        TextLine()
            .at(6, "Node")
            .at(14, "Load case")
            .right(52, "Stress (psi)")
            .right(70, "Allowable (psi)")
            .right(82, "Ratio (%)"),
        rule_line(),
        row("30", "25000", "20000", "125.0"),
        row("10", "1003", "1000", "100.3"),
        row("20", "2003", "20000", "10.0"),
        row("20", "1103", "20000", "5.5"),
        rule_line(),
    };
    EXPECT_EQ(table_lines(sorted_stress_table()), expected);
    const std::vector<std::string> csv = {
        "Sorted stresses: Expansion stress,",
        "Node,Load case,Stress (psi),Allowable (psi),Ratio (%),",
        "30,Expansion (T2),25000,20000,125.0,",
        "10,Expansion (T2),1003,1000,100.3,",
        "20,Expansion (T2),2003,20000,10.0,",
        "20,Expansion (T2),1103,20000,5.5,",
    };
    EXPECT_EQ(table_lines(sorted_stress_table(), true), csv);
}

TEST_F(SortedStressTable, WithoutAnEvaluationTheTablesAreEmpty)
{
    ASSERT_NO_FATAL_FAILURE(open(false));
    show_sorted_stresses();
    EXPECT_EQ(sorted_stress_table().row_count, 0);
    EXPECT_TRUE(current_sorted_stresses().empty());
    EXPECT_TRUE(current_compliance_rows().empty());
    EXPECT_TRUE(report_lines(print_sorted_stresses).empty());
    EXPECT_TRUE(report_lines(print_code_compliance, true).empty());
}

TEST_F(SortedStressTable, ResultsOlderThanTheModelShowTheirStressesMarkedOutOfDate)
{
    ASSERT_NO_FATAL_FAILURE(open(true, true));
    ASSERT_TRUE(results_out_of_date());
    show_sorted_stresses();
    EXPECT_GT(sorted_stress_table().row_count, 0);
    EXPECT_NE(results_title().find("(out of date)"), std::string::npos) << results_title();
    show_code_compliance();
    EXPECT_GT(code_compliance_table().row_count, 0);
    EXPECT_NE(results_title().find("(out of date)"), std::string::npos) << results_title();
}

class CodeComplianceTable : public StressTablesTest {};

TEST_F(CodeComplianceTable, EveryEndInEveryCaseAndTheFailuresAlone)
{
    ASSERT_NO_FATAL_FAILURE(open());
    show_code_compliance();
    TableWindow& t = code_compliance_table();
    EXPECT_EQ(current_result(), RESULT_CODE_COMPLIANCE);
    const std::string title = "Code compliance: " + piping_code_name(CODE_B311);
    EXPECT_NE(results_title().find(title), std::string::npos);
    // Element by element, the first end before the second, the cases in order.
    ASSERT_EQ(t.row_count, 12);
    const std::vector<std::string> first = {"10", "Sustained (W+P)", "1001", "1000", "100.1"};
    const std::vector<std::string> sixth = {"20", "Expansion (T2)", "1103", "20000", "5.5"};
    const std::vector<std::string> last = {"30", "Expansion (T2)", "25000", "20000", "125.0"};
    const auto rows = rows_of(t);
    EXPECT_EQ(rows[0], first);
    EXPECT_EQ(rows[5], sixth);
    EXPECT_EQ(rows[11], last);
    // 374: only the rows over their allowable.
    frame_command(results_frame(), CMD_SORTED_STRESS_OPTION);
    EXPECT_TRUE(compliance_failures_only());
    EXPECT_EQ(t.row_count, 4);
    EXPECT_EQ(rows_of(t).back(), last);
    EXPECT_NE(results_title().find("(over allowable)"), std::string::npos);
    const std::vector<std::string> csv = table_lines(t, true);
    ASSERT_EQ(csv.size(), 6u);
    EXPECT_EQ(csv[0], title + " (over allowable),");
    EXPECT_EQ(csv[1], "Node,Load case,Stress (psi),Allowable (psi),Ratio (%),");
    EXPECT_EQ(csv[5], "30,Expansion (T2),25000,20000,125.0,");
    const std::vector<std::string> text = table_lines(t);
    ASSERT_EQ(text.size(), 9u);
    EXPECT_EQ(text[0], std::string(TextLine().centred(6, 78, title + " (over allowable)")));
    EXPECT_EQ(text[4], std::string(TextLine()
                                       .at(6, "10")
                                       .at(14, "Sustained (W+P)")
                                       .right(52, "1001")
                                       .right(70, "1000")
                                       .right(82, "100.1")));
}

TEST_F(CodeComplianceTable, ACodeWithoutStressesSaysSoOnce)
{
    install_code_evaluation();
    start_model();
    add(10, ET_FROM, 0, 0, 0, DT_ANCHOR);
    add(20, ET_PIPE, 100, 0, 0);
    add(30, ET_PIPE, 0, 0, 50, DT_ANCHOR);
    piping_code() = CODE_STOOMWEZEN;
    ASSERT_NO_FATAL_FAILURE(write_results({LC_SUSTAINED, LC_EXPANSION_T1}, {}));
    ASSERT_NO_FATAL_FAILURE(open_written());
    const std::size_t before = script().messages().size();
    show_code_compliance();
    show_sorted_stresses();
    show_code_compliance();
    const std::vector<std::string> messages = script().messages();
    ASSERT_EQ(messages.size(), before + 1);
    EXPECT_EQ(messages.back(), "Code stresses are not available for " + piping_code_name(CODE_STOOMWEZEN));
    EXPECT_EQ(code_compliance_table().row_count, 0);
}
