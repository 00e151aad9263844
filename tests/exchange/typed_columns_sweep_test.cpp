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
#include "materials/beam_material.h"
#include "materials/ui/beam_library_ui.h"
#include "materials/ui/beam_material_ui.h"
#include "materials/ui/library_mode.h"
#include "materials/ui/material_library_ui.h"
#include "materials/ui/valve_library_ui.h"
#include "materials/valve_library.h"
#include "qualification/equipment.h"
#include "qualification/ui/allowable_ui.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
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
        // The model swept before is dropped unsaved, with the rows the sweep
        // left typed on input rows (which a close would enter first).
        close_model();
        open(copy);
        ASSERT_TRUE(library_mode_active()) << file;
        TableWindow* t = list_window_table();
        ASSERT_NE(t, nullptr) << file;
        sweep(*t, 3);
        close_model();
    }

    // Types a text into a cell as the sweep does; the message it brought
    // up, "" when the cell took it.
    std::string typed(TableWindow& t, int row, int column, const std::string& text)
    {
        table_goto_row(t, row, column);
        EXPECT_TRUE(table_begin_edit(t, true)) << where(t, row, column);
        t.edit.text = text;
        const std::size_t said = script().messages().size();
        table_end_edit(t);
        table_cancel_edit(t);
        return script().messages().size() > said ? script().last_message() : std::string();
    }
    // Enter on a row; the message it brought up, "" when none.
    std::string enter(TableWindow& t, int row)
    {
        table_goto_row(t, row, 1);
        const std::size_t said = script().messages().size();
        table_leave(t);
        return script().messages().size() > said ? script().last_message() : std::string();
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

// The Allowables table takes the node and the six loads typed into it with
// the dialog's checks, in the units its headings show: 1000 N and 500 Nm.
TEST_F(TypedColumnsSweep, AllowablesTakeTheNodeAndLoadsInTheUnitsShown)
{
    init_model();
    std::istringstream in("Two nodes\nLAYOUT\nF10\nT20,X10\n");
    import_batch_text(in);
    reset_unit_choice();
    unit_choice()[FORCE] = 1;    // N
    unit_choice()[MOMENT] = 2;   // Nm
    show_allowables_table();
    TableWindow& t = allowables_table();
    ASSERT_EQ(t.row_count, 1);
    // Loads before the node wait for it: Enter asks for it.
    EXPECT_EQ(typed(t, 1, 2, "1000"), "");
    EXPECT_EQ(enter(t, 1), "Node number is required");
    EXPECT_EQ(allowables().size(), 0);
    EXPECT_EQ(typed(t, 1, 1, "99"), "Node =  99  is not defined");
    EXPECT_EQ(typed(t, 1, 5, "X"), "MX/MT =  X  is invalid");
    EXPECT_EQ(typed(t, 1, 1, "20"), "");
    EXPECT_EQ(typed(t, 1, 5, "500"), "");
    EXPECT_EQ(enter(t, 1), "");
    ASSERT_EQ(allowables().size(), 1);
    const AllowableLoad& a = allowables()[1];
    EXPECT_EQ(a.node, 20);
    // A pound-force is 0.45359237 kg x 9.80665 m/s2 = 4.4482216 N, an inch 0.0254 m.
    const double lbf_newtons = 0.45359237 * 9.80665;
    EXPECT_NEAR(a.values[0], 1000.0 / lbf_newtons, 1e-3);                // 224.809 lb
    EXPECT_NEAR(a.values[3], 500.0 / (lbf_newtons * 0.0254), 1e-2);      // 4425.37 in-lb
    EXPECT_EQ(a.values[1], 0.0f);
    EXPECT_TRUE(model_modified());
    // A stored record keeps its node.
    EXPECT_EQ(typed(t, 1, 1, ""), "Node number is required");
    EXPECT_EQ(allowables()[1].node, 20);
}

// The input rows of the beam materials and of the valve library keep what is
// typed before the name or description that makes them a record.
TEST_F(TypedColumnsSweep, InputRowsKeepValuesTypedBeforeTheirName)
{
    init_model();
    reset_unit_choice();
    open_beam_materials_table();
    TableWindow* t = list_window_table();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(typed(*t, 1, 2, "Structural A36"), "");
    EXPECT_EQ(typed(*t, 1, 3, "29E6"), "");
    EXPECT_EQ(typed(*t, 1, 4, "0.3"), "");
    EXPECT_EQ(t->cell_text(1, 2, 0), "Structural A36");
    EXPECT_EQ(enter(*t, 1), "Name is required");
    EXPECT_EQ(typed(*t, 1, 1, "a36"), "");
    EXPECT_EQ(enter(*t, 1), "");
    ASSERT_EQ(beam_materials().size(), 1);
    EXPECT_EQ(beam_materials()[1].name, "A36");
    EXPECT_EQ(beam_materials()[1].description, "Structural A36");
    EXPECT_FLOAT_EQ(beam_materials()[1].E, 29.0e6f);
    close_model();

    new_valve_library();
    t = list_window_table();
    ASSERT_NE(t, nullptr);
    const int input = t->row_count;
    // 2 ft 6 in = 30 in; 250 lb.
    EXPECT_EQ(typed(*t, input, 6, "2-6"), "");
    EXPECT_EQ(typed(*t, input, 7, "250"), "");
    EXPECT_EQ(typed(*t, input, 1, "GATE 6 IN"), "");
    const ValveRecord& kept = valve_library_table().input;
    EXPECT_EQ(kept.description, "GATE 6 IN");
    EXPECT_FLOAT_EQ(kept.length, 30.0f);
    EXPECT_FLOAT_EQ(kept.weight, 250.0f);
    model_modified() = false;
    close_model();
}
