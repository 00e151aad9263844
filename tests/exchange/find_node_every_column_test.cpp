// Find Node (Ctrl+F) finds a node in any column of a table that shows
// nodes: in every table of the analysed sample's input and results, each
// node a cell under a node heading shows, among them the Minimum nodes of
// the displacement extremes (40, and 30B, a bend's tangent point).
#include "exchange/exchange_fixture.h"
#include "exchange/result_tables_walk.h"
#include "framework/strings.h"
#include "framework/ui/dialogs_common.h"
#include "golden.h"
#include "model/nodes.h"
#include "results/ui/displacement_tables.h"

namespace {

class FindNodeEveryColumn : public ExchangeResultsTest {
protected:
    void SetUp() override
    {
        ExchangeResultsTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(open_analysed(read_text_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf")));
    }
};

// "Node", "From", "To", "CNode" on a heading line ("Int." over "Node").
bool node_heading(TableWindow& t, int column)
{
    for (int line = 0; line < t.header_lines; ++line)
        for (const char* h : {"node", "from", "to", "cnode"})
            if (lower_case(trimmed(t.header_text(column, line))) == h)
                return true;
    return false;
}

}  // namespace

TEST_F(FindNodeEveryColumn, EveryNodeATableShowsIsFound)
{
    // Ctrl+F 40 and 30B in the extremes, where they stand under Minimum (column 5) only.
    show_other_displacements();
    frame_command(results_frame(), CMD_NEXT_ITEM);
    TableWindow& x = displacement_extremes_table();
    for (const std::string node : {"40", "30B"}) {
        script().once("FIND_NODE_DIALOG", [node](HeadlessDialog& d) {
            d.type(FIND_NODE_TEXT, node);
            if (d.press(IDOK) && !d.ended())
                d.press(IDCANCEL);
        });
        script().key(results_frame().window, 'F', MOD_CONTROL);
        EXPECT_EQ(x.cell_text(x.current_row, 5, 0), node);
        for (int row = 1; row <= x.row_count; ++row)
            EXPECT_NE(x.cell_text(row, 3, 0), node);
    }

    int found = 0;
    std::vector<std::string> missed;
    auto check = [&](TableWindow& t, const std::string& what) {
        for (int column = 1; column <= t.columns(); ++column)
            for (int row = 1; row <= t.row_count && node_heading(t, column); ++row)
                for (int line = 0, node = 0; line < t.text_lines; ++line) {
                    if (parse_node_text_code(trimmed(t.cell_text(row, column, line)), node) != 0)
                        continue;
                    // From the row above, Find Node goes to this row.
                    table_goto_row(t, row > 1 ? row - 1 : t.row_count, 0, false);
                    if (table_window_find_node(t, node) && t.current_row == row)
                        ++found;
                    else
                        missed.push_back(what + " row " + std::to_string(row) + " column " + std::to_string(column));
                }
    };
    walk_result_tables([&](const std::string&) { check(*results_table_view().table(), results_frame().title_text); });
    const int in_results = found;
    for_every_data_list_table([&](const DataList& list, TableWindow& t) { check(t, list.name); });
    EXPECT_TRUE(missed.empty()) << ::testing::PrintToString(missed);
    // Among them the Minimum nodes of the extremes and the From nodes of the valve and the reducer.
    EXPECT_GE(in_results, 1000);
    EXPECT_GE(found - in_results, 10);
}
