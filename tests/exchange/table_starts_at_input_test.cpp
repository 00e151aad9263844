// A table that comes into its window starts on the first column that takes
// typing: the Materials table after File > New and after a model is opened
// takes the Tutorial's first value as the material's name, not as the Nu
// the caret was left on; and every table of the list window starts so when
// it is opened again.
#include "exchange/batch_import.h"
#include "exchange_fixture.h"
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "materials/pipe_material.h"
#include "model/model.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"

#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

class TableStartsAtInput : public ExchangeProgramTest {
protected:
    TableWindow& open_materials()
    {
        EXPECT_TRUE(script().menu_command(main_frame().window, CMD_MATERIALS));
        settle();
        TableWindow* t = list_window_table();
        EXPECT_NE(t, nullptr);
        script().paint(list_frame().client);
        return *t;
    }
    // The first and last columns of a table's current row that take typing.
    static std::pair<int, int> typed_columns(TableWindow& t)
    {
        int first = 0, last = 0;
        for (int c = 1; c <= t.columns(); ++c)
            if (t.cell_editable(t.current_row, c)) {
                if (first == 0)
                    first = c;
                last = c;
            }
        return {first, last};
    }
};

}  // namespace

TEST_F(TableStartsAtInput, TheMaterialsTableAfterFileNewTakesTheNameFirst)
{
    TableWindow& t = open_materials();
    type_list_cells({"A106B", "Carbon steel A106 Grade B", "CS", "0.283", "0.3"});
    ASSERT_GT(t.current_column, 5);
    // New takes the typed row first, as Enter does: a material, which then
    // wants its properties, and New waits.
    ASSERT_TRUE(script().menu_command(main_frame().window, CMD_NEW));
    EXPECT_EQ(script().last_message().rfind("Properties are required", 0), 0u) << script().last_message();
    EXPECT_EQ(script().runs("NEW_DIALOG"), 0);
    EXPECT_EQ(nummats(), 1);
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDNO); });
    script().once("NEW_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    ASSERT_TRUE(script().menu_command(main_frame().window, CMD_NEW));
    settle();
    ASSERT_EQ(nummats(), 0);
    script().clear_log();

    TableWindow& again = open_materials();
    EXPECT_EQ(again.current_row, 1);   // the input row of an empty table
    EXPECT_EQ(again.current_column, 1);
    type_list_cells({"A106B"});
    EXPECT_TRUE(script().messages().empty()) << script().last_message();
    EXPECT_EQ(again.cell_text(1, 1, 0), "A106B");
}

TEST_F(TableStartsAtInput, AfterAModelIsOpenedTheMaterialsTableStartsOnItsName)
{
    open_saved_batch(bytes(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf"), "sample.mod");
    TableWindow& t = open_materials();
    table_goto_row(t, 1, typed_columns(t).second);
    ASSERT_GT(t.current_column, 1);

    open_model_file(path("sample.mod"));
    settle();
    TableWindow& again = open_materials();
    EXPECT_EQ(again.current_column, 1);
    EXPECT_EQ(again.current_row, 1);
}

// Every table of the list window, left on its last column that takes
// typing and opened again after another, starts on its first one: the
// tables of a model of every element kind, and of the sample with its
// supports and a force.
TEST_F(TableStartsAtInput, EveryTableOfTheListWindowStartsOnItsFirstTypedColumn)
{
    std::set<std::string> checked;
    for (const std::string file : {"/tests/data/batch/every_element_kind.mbf", "/examples/sample.mbf"}) {
        close_model();
        std::istringstream in(bytes(std::string(KV_SOURCE_DIR) + file) + (file.find("sample") != std::string::npos
                                                                               ? "T70,X4-0,CFOR(100,0,-50)\n"
                                                                               : ""));
        import_batch_text(in);
        show_imported_model();
        settle();
        const std::vector<const DataList*> lists = offered_data_lists();
        for (std::size_t i = 0; i < lists.size(); ++i) {
            const DataList& list = *lists[i];
            SCOPED_TRACE(list.name);
            list.open();
            settle();
            TableWindow* t = list_window_table();
            ASSERT_NE(t, nullptr);
            script().paint(list_frame().client);
            const auto [first, last] = typed_columns(*t);
            if (first == 0 || first == last)
                continue;
            table_goto_row(*t, t->current_row, last);
            ASSERT_EQ(t->current_column, last);
            // Another table, then this one again.
            lists[(i + 1) % lists.size()]->open();
            list.open();
            settle();
            ASSERT_EQ(list_window_table(), t);
            EXPECT_EQ(t->current_column, typed_columns(*t).first);
            checked.insert(list.name);
        }
    }
    EXPECT_GE(checked.size(), 20u) << ::testing::PrintToString(checked);
    EXPECT_TRUE(script().faults().empty()) << ::testing::PrintToString(script().faults());
}
