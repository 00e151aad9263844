// The time-history result on the scripted backend: its chooser and pick
// lists, the support, element-force and displacement history tables with
// their maximum rows, the CSV export, the remembered row, a cancelled pick
// list, and a file that fails while it is read.
#include "results/results_program_fixture.h"

#include "framework/text.h"
#include "framework/ui/pick_list.h"
#include "framework/units.h"
#include "platform/headless/headless_dialog.h"
#include "results/time_history.h"
#include "results/ui/time_history_ui.h"
#include "supports/skewed_restraint.h"

#include <fstream>
#include <iterator>

namespace {

class TimeHistoryUiTest : public ResultsProgramTest {
protected:
    void SetUp() override
    {
        ResultsProgramTest::SetUp();
        open_by_extension(path("sample.mod"));
        write_time_history_results(4);
        open_results();
        hb->run_loop();
        ASSERT_TRUE(in_results());
        ASSERT_TRUE(time_history_available());
    }
    // Answers the chooser with a kind, and the pick list by moving `down`
    // rows from its current row and pressing OK (or Cancel).
    void answer(int kind, int down, bool ok = true)
    {
        script().once("TIME_HISTORY_RESULTS_DIALOG", [kind](HeadlessDialog& d) {
            EXPECT_TRUE(d.press(kind));
            EXPECT_TRUE(d.press(IDOK));
        });
        script().once("SELECT_DIALOG", [this, down, ok](HeadlessDialog& d) {
            picked_title = d.caption();
            const int view = d.control(PICK_LIST_TABLE)->client;
            for (int i = 0; i < down; ++i)
                script().key(view, KEY_DOWN);
            EXPECT_TRUE(d.press(ok ? IDOK : IDCANCEL));
        });
    }
    TableWindow& table() const
    {
        TableWindow* t = current_time_history_table();
        EXPECT_NE(t, nullptr);
        return *t;
    }
    // The support row of the sample at an index of the support list in row order.
    const LayoutRow& support_row(int index) const { return model().rows[results().supports_by_row[index]]; }

    std::string picked_title;
};

}  // namespace

TEST_F(TimeHistoryUiTest, SupportHistoryTableWithItsMaximumRow)
{
    const std::vector<int>& list = result_list();
    ASSERT_NE(std::find(list.begin(), list.end(), RESULT_TIME_HISTORY), list.end());
    answer(TH_SUPPORT_LOADS, 0);
    show_time_history();
    EXPECT_EQ(picked_title, "Support Loads Time History");
    EXPECT_EQ(current_result(), RESULT_TIME_HISTORY);
    const LayoutRow& anchor = support_row(1);
    ASSERT_EQ(anchor.dtype, DT_ANCHOR);
    TableWindow& t = table();
    EXPECT_EQ(t.title, "Loads on Anchor at Node " + node_text(anchor.node));
    EXPECT_EQ(results_title().rfind("Korvane - Loads on Anchor at Node", 0), 0u) << results_title();
    EXPECT_EQ(t.row_count, 4 + 2);
    EXPECT_EQ(t.header_text(1, 0), "Time");
    EXPECT_EQ(t.header_text(1, 1), "(Sec)");
    EXPECT_EQ(t.header_text(2, 0), "FX");
    EXPECT_EQ(t.header_text(2, 1), unit_label(FORCE));
    EXPECT_EQ(t.header_text(7, 1), unit_label(MOMENT));
    // Times 0, 0.05 ... 0.2; row 1 zeros; word w of step t is (t - 2.5)(w + 1).
    EXPECT_EQ(t.cell_text(1, 1, 0), "0");
    EXPECT_EQ(t.cell_text(2, 1, 0), "0.05");
    EXPECT_EQ(t.cell_text(5, 1, 0), "0.2");
    EXPECT_EQ(t.cell_text(1, 2, 0), format_force_integer(0.0));
    const int w0 = anchor.results_offset / 4;
    EXPECT_EQ(t.cell_text(4, 3, 0), format_force_integer((3 - 2.5) * (w0 + 2)));
    EXPECT_EQ(t.cell_text(2, 7, 0), format_moment_integer((1 - 2.5) * (w0 + 6)));
    // The maximum row: step 1 (-1.5) and step 4 (+1.5) times (w + 1): the earlier.
    EXPECT_EQ(t.cell_text(6, 1, 0), "Max.Abs [Signed]");
    EXPECT_EQ(t.cell_text(6, 2, 0), format_force_integer(-1.5 * (w0 + 1)));
    EXPECT_EQ(t.cell_text(6, 7, 0), format_moment_integer(-1.5 * (w0 + 6)));
    // Its popup and its F6: the chooser again.
    EXPECT_TRUE(results_frame().menu.contains(CMD_OTHER_ITEM));
    EXPECT_EQ(results_tooltip(CMD_OTHER_ITEM), "Other Time History");
}

TEST_F(TimeHistoryUiTest, TimeHistoryCsvAndExport)
{
    answer(TH_SUPPORT_LOADS, 0);
    show_time_history();
    const LayoutRow& anchor = support_row(1);
    const int w0 = anchor.results_offset / 4;
    // The title, the headings with their units, a line per time (no maximum).
    std::string expected = "Loads on Anchor at Node " + node_text(anchor.node) + ",\nTime(sec),";
    for (const char* h : {"FX", "FY", "FZ"})
        expected += std::string(h) + unit_label(FORCE) + ",";
    for (const char* h : {"MX", "MY", "MZ"})
        expected += std::string(h) + unit_label(MOMENT) + ",";
    expected += "\n";
    for (int t = 0; t <= 4; ++t) {
        expected += t == 0 ? "0," : c_format("%.6g,", 0.05 * t);
        for (int w = 0; w < 6; ++w) {
            const double v = t == 0 ? 0.0 : (t - 2.5) * (w0 + w + 1);
            expected += (w < 3 ? format_force_integer(v) : format_moment_integer(v)) + ",";
        }
        expected += "\n";
    }
    // Cells are trimmed in CSV.
    std::string trimmed;
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (expected[i] != ' ')
            trimmed += expected[i];
    std::string text = time_history_csv_text();
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    EXPECT_EQ(text, trimmed);
    EXPECT_EQ(time_history_csv_name("Anchor", anchor.node), "Anchor" + node_text(anchor.node) + ".csv");

    // Export: the CSV file under the table's name.
    results_menu_popup();
    EXPECT_TRUE(results_frame().menu.is_enabled(CMD_EXPORT));
    script().answer_file(path("anchor.csv"));
    EXPECT_TRUE(script().menu_command(results_frame().window, CMD_EXPORT));
    std::ifstream in(path("anchor.csv"), std::ios::binary);
    std::string written{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    written.erase(std::remove(written.begin(), written.end(), ' '), written.end());
    EXPECT_EQ(written, trimmed);
    EXPECT_EQ(script().last_message(), "csv written.");
}

TEST_F(TimeHistoryUiTest, ElementForceAndDisplacementHistories)
{
    // End 2 of element 1: the second row of the element-force pick list.
    answer(TH_ELEMENT_FORCES, 1);
    choose_time_history(results_frame().window);
    EXPECT_EQ(picked_title, "Element Forces Time History");
    const ResultsElement& e1 = results().elements[1];
    const int node2 = model().nodes[e1.node2].number;
    TableWindow& t = table();
    EXPECT_EQ(t.title, "Forces on Element at Node " + node_text(node2) + " in local coordinates");
    // Force k of element 1 at step t is t - k; end 2 holds k = 6..11.
    EXPECT_EQ(t.cell_text(3, 2, 0), format_force_integer(2.0 - 6));
    EXPECT_EQ(t.cell_text(5, 7, 0), format_moment_integer(4.0 - 11));
    EXPECT_EQ(t.cell_text(6, 2, 0), format_force_integer(1.0 - 6));   // -5 .. -2 and 0 at time 0: step 1
    // The first results node's displacements.
    answer(TH_DISPLACEMENTS, 0);
    choose_time_history(results_frame().window);
    EXPECT_EQ(picked_title, "Displacements Time History");
    const int n1 = results().results_nodes[1];
    TableWindow& d = table();
    EXPECT_EQ(d.title, "Displacements at Node " + node_text(model().nodes[n1].number));
    EXPECT_EQ(d.header_text(5, 1), unit_label(ANGLE));
    EXPECT_EQ(d.cell_text(3, 2, 0), format_displacement_g5(2.0 + n1));
    EXPECT_EQ(d.cell_text(6, 2, 0), format_displacement_g5(4.0 + n1));
}

TEST_F(TimeHistoryUiTest, CancelledPickListKeepsTheTableAndRowsAreRemembered)
{
    answer(TH_SUPPORT_LOADS, 1);
    choose_time_history(results_frame().window);
    TableWindow& t = table();
    const std::string first_title = t.title;
    EXPECT_NE(first_title.find(node_text(support_row(2).node)), std::string::npos);
    table_goto_row(t, 3);
    // Cancel in the pick list: the table stays as it was.
    answer(TH_SUPPORT_LOADS, 0, false);
    choose_time_history(results_frame().window);
    EXPECT_EQ(table().title, first_title);
    // The next history opens at the row the last one was left at.
    answer(TH_DISPLACEMENTS, 0);
    choose_time_history(results_frame().window);
    EXPECT_EQ(table().current_row, 3);
    EXPECT_NE(table().title, first_title);
    // The result shows the current table again.
    set_current_result(RESULT_NONE);
    show_time_history();
    EXPECT_EQ(current_result(), RESULT_TIME_HISTORY);
    EXPECT_EQ(script().runs("TIME_HISTORY_RESULTS_DIALOG"), 3);
}

TEST_F(TimeHistoryUiTest, FileThatFailsWhileReadWithdrawsTheResult)
{
    // The file was opened whole; its last two steps are cut off now.
    const ResultsState& r = results();
    const int64_t step = time_history_step_size(r.nodes, r.numelems(), r.support_bytes);
    std::filesystem::resize_file(folder / "sample.rth", static_cast<std::uintmax_t>(24 + 2 * step));
    set_current_result(RESULT_TIME_HISTORY);
    answer(TH_SUPPORT_LOADS, 0);
    frame_command(results_frame(), CMD_OTHER_ITEM);   // F6: the chooser, the pick list, the history
    EXPECT_EQ(script().last_message(), "There was an error while reading time history");
    EXPECT_FALSE(time_history_available());
    EXPECT_FALSE(results().history.file.is_open());
    // No longer offered.
    build_result_list();
    const std::vector<int>& list = result_list();
    EXPECT_EQ(std::find(list.begin(), list.end(), RESULT_TIME_HISTORY), list.end());
}

namespace {

// A line with one support of every kind, saved, with its results and a
// time-history file written here.
class TimeHistoryKindsTest : public ResultsProgramTest {
protected:
    void SetUp() override
    {
        ResultsProgramTest::SetUp();
        const int kinds[] = {DT_ANCHOR,  DT_RESTRAINT, DT_SKEWED_RESTRAINT, DT_HANGER,         DT_GUIDE,
                             DT_LIMIT_STOP, DT_NOZZLE, DT_SNUBBER,          DT_GENERIC_SUPPORT};
        Model& m = model();
        for (int i = 0; i <= 9; ++i) {
            const int r = append_layout_row();
            LayoutRow& row = m.rows[r];
            row.node = 10 * (i + 1);
            row.etype = i == 0 ? ET_FROM : ET_PIPE;
            row.dx = i == 0 ? 0.0f : 50.0f;
            row.dtype = i < 9 ? kinds[i] : DT_NONE;
            row.create_element_object();
            row.create_data_object(r);
        }
        make_model();
        set_model_file_path(path("every.mod"));
        ASSERT_TRUE(save_model(0));
        load_case_list().clear();
        load_case_list().add(LC_SUSTAINED);
        write_time_history_results(2);
        // Named as the model, so that the results are found.
        std::filesystem::rename(folder / "sample.res", folder / "every.res");
        std::filesystem::rename(folder / "sample.rth", folder / "every.rth");
        open_results();
        hb->run_loop();
        ASSERT_TRUE(time_history_available());
    }
};

}  // namespace

TEST_F(TimeHistoryKindsTest, EveryKindHasItsTableTitleColumnsAndCsvName)
{
    struct Kind {
        int dtype;
        std::string title, prefix, first_heading, maximum;
        int columns;
    };
    const std::vector<Kind> expected = {
        {DT_ANCHOR, "Loads on Anchor at Node 10", "Anchor", "FX", "Max.Abs [Signed]", 6},
        {DT_RESTRAINT, "Loads on Restraint at Node 20", "Restraint", "X", "Max.Abs [Signed]", 3},
        {DT_SKEWED_RESTRAINT, "Loads on Skewed Restraint at Node 30 (0.000 0.000 0.000)", "SkewedRestraint", "Load",
         "Max. Abs (Signed)", 1},
        {DT_HANGER, "Loads on Hanger at Node 40", "Hanger", "Load", "Max. Abs (Signed)", 1},
        {DT_GUIDE, "Loads on Guide at Node 50", "Guide", "FX", "Max.Abs [Signed]", 3},
        {DT_LIMIT_STOP, "Loads on Limit Stop at Node 60", "LimitStop", "Load", "Max. Abs (Signed)", 2},
        {DT_NOZZLE, "Loads on Nozzle at Node 70", "Nozzle", "Axial", "Max.Abs [Signed]", 6},
        {DT_SNUBBER, "Loads on Snubber at Node 80", "Snubber", "Load", "Max. Abs (Signed)", 1},
        {DT_GENERIC_SUPPORT, "Loads on Generic Support at Node 90", "GenericSupport", "FX", "Max.Abs [Signed]", 6},
    };
    const ResultsState& r = results();
    ASSERT_EQ(r.numsupports(), 9);
    for (int i = 1; i <= 9; ++i) {
        const Kind& k = expected[static_cast<std::size_t>(i - 1)];
        ASSERT_EQ(model().rows[r.supports_by_row[i]].dtype, k.dtype);
        show_support_loads_history(i);
        TableWindow* t = current_time_history_table();
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->title, k.title);
        EXPECT_EQ(t->header_text(2, 0), k.first_heading) << k.title;
        EXPECT_EQ(t->header_text(k.columns + 1, 1).empty(), false) << k.title;
        EXPECT_EQ(t->header_text(k.columns + 2, 0), "") << k.title;
        EXPECT_EQ(t->cell_text(4, 1, 0), k.maximum);
        EXPECT_EQ(t->row_count, 2 + 2);
        EXPECT_EQ(results().history.values, k.columns);
        const std::string csv = time_history_csv_text();
        EXPECT_EQ(csv.substr(0, csv.find(',')), k.title);
    }
    // A rotational skewed restraint's load is a moment.
    auto& skewed = dynamic_cast<SkewedRestraint&>(*model().rows[r.supports_by_row[3]].data);
    skewed.v.rotational = true;
    show_support_loads_history(3);
    EXPECT_EQ(current_time_history_table()->header_text(2, 1), unit_label(MOMENT));
}

TEST_F(TimeHistoryKindsTest, ElementForcesInGlobalAxesWhenTheConversionIsThere)
{
    // Without a conversion F7 changes nothing; with one (here: swapping the
    // signs, so that the test sees it used) the history turns.
    show_element_force_history(1);
    TableWindow* t = current_time_history_table();
    ASSERT_NE(t, nullptr);
    const std::string local = t->cell_text(3, 2, 0);
    EXPECT_NE(t->title.find("in local coordinates"), std::string::npos);
    frame_command(results_frame(), CMD_LOCAL_GLOBAL);
    EXPECT_NE(current_time_history_table()->title.find("in local coordinates"), std::string::npos);
    set_global_element_forces([](int, const ElementForceRecord& f) {
        ElementForceRecord g{};
        for (std::size_t i = 0; i < 12; ++i)
            g[i] = -f[i];
        return g;
    });
    EXPECT_EQ(results_tooltip(CMD_LOCAL_GLOBAL), "Global Forces");
    frame_command(results_frame(), CMD_LOCAL_GLOBAL);
    t = current_time_history_table();
    EXPECT_NE(t->title.find("in global coordinates"), std::string::npos);
    EXPECT_EQ(t->header_text(2, 0), "FX");
    // Element 1's first-end FX at step 2 is 2 * 1 - 0 = 2, turned -2, and
    // shown as the force on the element at its first end: 2.
    EXPECT_EQ(t->cell_text(3, 2, 0), format_force_integer(2.0));
    EXPECT_EQ(local, format_force_integer(2.0));
    EXPECT_EQ(results_tooltip(CMD_LOCAL_GLOBAL), "Local Forces");
}
