// Nothing typed into a table vanishes without a word: on models that hold
// every element, data item, property set and piece of equipment, and in the
// material, beam and valve libraries as shipped, a value is typed into every
// cell that takes the caret, in the first rows of every table of the list
// window and of the layout and in their input rows. Each cell stores what
// was typed (the cell shows it changed) or refuses it aloud (a message, or
// the dialog where the value is given).
#include "every_table.h"
#include "exchange_fixture.h"
#include "framework/ui/table.h"
#include "framework/units.h"
#include "materials/ui/beam_library_ui.h"
#include "materials/ui/library_mode.h"
#include "materials/ui/material_library_ui.h"
#include "materials/ui/valve_library_ui.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

class TypedColumnsSweep : public ExchangeProgramTest {
protected:
    void SetUp() override
    {
        ExchangeProgramTest::SetUp();
        // A dialog that a typed cell opens is where its value is given: it
        // answers the typing, and is left as it was.
        script().on_any([this](HeadlessDialog& d) {
            ++dialogs;
            d.press(IDCANCEL);
        });
    }

    // Types `text` into a cell that takes the caret; true when the cell
    // answered: it refused the text aloud, opened a dialog, or shows
    // something else than before.
    bool answers(TableWindow& t, int row, int column, const std::string& text)
    {
        const std::string before = t.cell_text(row, column, 0);
        const std::size_t said = script().messages().size();
        const int opened = dialogs;
        t.edit.text = text;
        const bool taken = table_end_edit(t);
        // A refused text is left in the cell for its correction: dropped here.
        table_cancel_edit(t);
        if (script().messages().size() > said) {
            EXPECT_FALSE(script().last_message().empty()) << where(t, row, column) << " refused " << text;
            return true;
        }
        EXPECT_TRUE(taken) << where(t, row, column) << " refused " << text << " without a word";
        return !taken || dialogs > opened || t.cell_text(row, column, 0) != before;
    }

    static std::string where(const TableWindow& t, int row, int column)
    {
        return t.title + " row " + std::to_string(row) + " column " + std::to_string(column);
    }

    // Every cell that takes the caret in the first `rows` rows and the
    // input row: two values typed one after the other; at least one of them
    // is answered (the first may be what the cell held).
    void sweep(TableWindow& t, int rows)
    {
        std::vector<int> swept;
        for (int row = 1; row <= std::min(t.record_count(), rows); ++row)
            swept.push_back(row);
        if (t.input_row)
            swept.push_back(t.row_count);
        for (const int row : swept) {
            // The input row from its last column: each value typed before
            // the name or node that makes the row a record.
            const bool input = t.input_row && row == t.row_count;
            for (int k = 1; k <= t.columns(); ++k) {
                const int c = input ? t.columns() + 1 - k : k;
                if (row > t.row_count)
                    break;
                table_goto_row(t, row, c);
                if (!table_begin_edit(t, true))
                    continue;
                bool answered = answers(t, row, c, "3");
                if (!answered && row <= t.row_count) {
                    table_goto_row(t, row, c);
                    answered = table_begin_edit(t, true) && answers(t, row, c, "4");
                }
                EXPECT_TRUE(answered) << where(t, row, c) << " took 3 and 4 and dropped them";
                ++cells;
            }
        }
        swept_tables.insert(t.title);
    }

    void sweep_model(const std::string& batch_file)
    {
        init_model();
        import_batch_file_at(std::string(KV_SOURCE_DIR) + "/tests/data/batch/" + batch_file);
        reset_unit_choice();
        visit_every_table([this](TableWindow& t) { sweep(t, 3); }, [this](TableWindow& layout) { sweep(layout, 3); });
    }

    // A library as shipped, copied into the scratch folder, in its window.
    void sweep_library(void (*open)(const std::string&), const std::string& file)
    {
        const std::string copy = path(file);
        std::filesystem::copy_file(std::filesystem::path(KV_PROGRAM_PATH).parent_path() / file, copy,
                                   std::filesystem::copy_options::overwrite_existing);
        // The model swept before is dropped unsaved.
        model_modified() = false;
        open(copy);
        ASSERT_TRUE(library_mode_active()) << file;
        TableWindow* t = list_window_table();
        ASSERT_NE(t, nullptr) << file;
        sweep(*t, 3);
        close_model();
    }

    int dialogs = 0;
    int cells = 0;
    std::set<std::string> swept_tables;
};

}  // namespace

TEST_F(TypedColumnsSweep, EveryCellThatTakesTheCaretStoresOrRefusesWhatIsTyped)
{
    sweep_model("every_element_kind.mbf");
    sweep_model("every_keyword.mbf");
    sweep_model("every_section.mbf");
    sweep_library(open_material_library_file, "materials.mat");
    sweep_library(open_beam_library_file, "beams.bli");
    sweep_library(open_valve_library_file, "valves.val");
    // The sweep reached the tables of the kinds the files hold, the
    // equipment lists among them, and the libraries' tables.
    for (const char* table : {"Pumps", "Compressors", "Turbines", "Allowables", "Valves", "Materials", "Nozzles",
                              "Beam materials", "Material Library", "Beam Section Library", "Valve Library"})
        EXPECT_TRUE(swept_tables.count(table)) << table;
    EXPECT_GE(swept_tables.size(), 46u);
    EXPECT_GT(cells, 300);
}
