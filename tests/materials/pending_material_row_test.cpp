// A material typed on the input row of the Materials table and not yet
// stored, then F6 (or a click) into the property grid below: the row is
// stored first, so that the grid belongs to it and keeps what is typed there.
// A row that cannot be stored yet says why and keeps the caret above; an
// empty input row still gives the grid nothing to take.
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "materials/material_library_file.h"
#include "materials/material_records.h"
#include "materials/pipe_material.h"
#include "materials/program_fixture.h"
#include "materials/ui/library_mode.h"
#include "materials/ui/material_props_editor.h"
#include "materials/ui/pipe_material_library.h"
#include "materials/ui/pipe_material_ui.h"
#include "model/piping_codes.h"
#include "model/ui/list_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class PendingMaterialRow : public HeadlessProgramTest {
protected:
    void SetUp() override
    {
        HeadlessProgramTest::SetUp();
        piping_code() = CODE_B313;
    }

    Script& script() { return hb->script(); }
    bool key(int k, unsigned mods = MOD_NONE) { return script().key(list_frame().window, k, mods); }
    void type(const std::string& text) const { type_into_list(text); }
    // Cells typed one after the other with Tab between them; `last` ends the
    // last one (Tab, Enter, or 0 to leave its edit open).
    void type_cells(const std::vector<std::string>& cells, int last)
    {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            type(cells[i]);
            if (i + 1 < cells.size())
                key(KEY_TAB);
            else if (last != 0)
                key(last);
        }
    }
    static PropertyGrid& grid() { return material_properties_grid(); }

    // Opens the Materials table on its input row, as Misc > Materials does.
    void open_on_input_row()
    {
        ASSERT_TRUE(script().menu_command(main_frame().window, CMD_MATERIALS));
        ASSERT_EQ(list_window_table(), &materials_table());
        table_goto_row(materials_table(), materials_table().row_count, 1);
    }

    // The properties of the new material typed into the grid, two rows.
    void type_two_temperatures()
    {
        ASSERT_TRUE(list_lower_pane_active());
        EXPECT_TRUE(grid().has_material);
        type_cells({"70", "29.5E6", "6.07E-6", "20000"}, KEY_RETURN);
        type_cells({"200", "28.8E6", "6.38E-6", "20000"}, KEY_RETURN);
        EXPECT_EQ(grid().cell_text(1, 1, 0), "70");
        EXPECT_EQ(grid().cell_text(2, 2, 0), "28.8E+6");
    }

    // The stored material holds both rows as typed.
    static void expect_two_temperatures(const PipeMaterial& m)
    {
        ASSERT_EQ(m.numtemps(), 2);
        EXPECT_FLOAT_EQ(m.table[1][PROP_TEMPERATURE], 70.0f);
        EXPECT_FLOAT_EQ(m.table[1][PROP_MODULUS], 29.5e6f);
        EXPECT_FLOAT_EQ(m.table[1][PROP_ALPHA], 6.07e-6f);
        EXPECT_FLOAT_EQ(m.table[1][PROP_STRESS1], 20000.0f);
        EXPECT_FLOAT_EQ(m.table[2][PROP_TEMPERATURE], 200.0f);
        EXPECT_FLOAT_EQ(m.table[2][PROP_MODULUS], 28.8e6f);
    }
};

}  // namespace

// The order of the user guide's walk-through: the material's row typed, its
// last cell still open, F6, its properties; F6 back writes them to it.
TEST_F(PendingMaterialRow, F6StoresTheTypedMaterialAndTheGridKeepsItsProperties)
{
    ASSERT_NO_FATAL_FAILURE(open_on_input_row());
    type_cells({"A106B", "Carbon steel pipe", "0.283", "0.3", "CS"}, 0);
    ASSERT_TRUE(materials_table().edit.active);
    ASSERT_EQ(nummats(), 0);

    script().clear_log();
    ASSERT_TRUE(key(KEY_F6));
    EXPECT_TRUE(script().messages().empty()) << script().last_message();
    ASSERT_EQ(nummats(), 1);
    EXPECT_EQ(pipe_materials()[1].name, "A106B");
    EXPECT_EQ(pipe_materials()[1].type, "CS");
    EXPECT_EQ(materials_table().current_row, 1);
    type_two_temperatures();
    EXPECT_TRUE(script().messages().empty()) << script().last_message();

    ASSERT_TRUE(key(KEY_F6));
    EXPECT_FALSE(list_lower_pane_active());
    expect_two_temperatures(pipe_materials()[1]);
    // Enter on the material's row now passes: its properties are there.
    script().clear_log();
    ASSERT_TRUE(key(KEY_RETURN));
    EXPECT_TRUE(script().messages().empty()) << script().last_message();
    EXPECT_EQ(materials_table().current_row, 2);
}

// A click into the grid is the same move as F6.
TEST_F(PendingMaterialRow, AClickIntoTheGridStoresTheTypedMaterialFirst)
{
    ASSERT_NO_FATAL_FAILURE(open_on_input_row());
    type_cells({"A106B", "Carbon steel pipe"}, KEY_TAB);
    ASSERT_EQ(nummats(), 0);
    script().paint(list_frame().client);
    TableView& lower = list_lower_view();
    const int y = lower.origin().y + table_row_y(grid(), 1) + lower.line_height() / 2;
    int x = 0;
    while (x < lower.width() && lower.hit_test(x, y - lower.origin().y).kind != TableView::Hit::Cell)
        ++x;
    script().mouse_down(list_frame().client, MouseButton::Left, x + 2, y);
    script().mouse_up(list_frame().client, MouseButton::Left, x + 2, y);
    ASSERT_EQ(nummats(), 1);
    type_two_temperatures();
    ASSERT_TRUE(key(KEY_F6));
    expect_two_temperatures(pipe_materials()[1]);
}

// A row that cannot be stored yet says what it lacks and keeps the caret on
// that cell above; an empty input row leaves the grid without a material,
// where typing and Enter store nothing and say nothing misleading.
TEST_F(PendingMaterialRow, ARowThatCannotBeStoredSaysWhyAndAnEmptyOneGivesTheGridNothing)
{
    ASSERT_NO_FATAL_FAILURE(open_on_input_row());
    type_cells({"A106B"}, 0);
    ASSERT_TRUE(key(KEY_F6));
    EXPECT_EQ(script().last_message(), "Description is required");
    EXPECT_FALSE(list_lower_pane_active());
    EXPECT_EQ(nummats(), 0);
    EXPECT_EQ(materials_table().current_column, 2);
    EXPECT_EQ(materials_table().input.name, "A106B") << "what was typed is kept";

    // The row given up (Escape clears nothing stored): an untouched input row.
    materials_table().input = PipeMaterial{};
    table_goto_row(materials_table(), materials_table().row_count, 1);
    script().clear_log();
    ASSERT_TRUE(key(KEY_F6));
    ASSERT_TRUE(list_lower_pane_active());
    EXPECT_FALSE(grid().has_material);
    type("70");
    EXPECT_FALSE(grid().edit.active);
    key(KEY_RETURN);
    EXPECT_TRUE(script().messages().empty()) << script().last_message();
    EXPECT_FALSE(grid().modified);
    EXPECT_EQ(nummats(), 0);
}

// In a material library the same order works: the library's record is made
// and keeps the rows typed for it, in the file saved.
TEST_F(PendingMaterialRow, InALibraryTheTypedRecordIsStoredAndSavedWithItsProperties)
{
    OneBased<PipeMaterial> records;
    records.push_back(sample_material("", "A53 GRADE B", {property_row(70, 29.5e6f, 6.07e-6f, 18000)}));
    const std::string file = path("lib.mat");
    write_material_library_file(file, CODE_B313, {0, 0, 0, 0, 0}, records);
    open_by_extension(file);
    ASSERT_TRUE(library_mode_is(LibraryKind::Material));
    ASSERT_EQ(nummats(), 1);
    // A library record has no name: its first cell is the description.
    table_goto_row(materials_table(), materials_table().row_count, 2);
    type("A106 GRADE B");
    ASSERT_TRUE(key(KEY_F6));
    EXPECT_TRUE(script().messages().empty()) << script().last_message();
    ASSERT_EQ(nummats(), 2);
    type_two_temperatures();
    ASSERT_TRUE(key('S', MOD_CONTROL));
    EXPECT_EQ(script().last_message(), "Material Library saved");
    const MaterialLibraryContents read = read_material_library_file(file);
    ASSERT_EQ(read.records.size(), 2);
    EXPECT_EQ(read.records[2].description, "A106 GRADE B");
    expect_two_temperatures(read.records[2]);
}
