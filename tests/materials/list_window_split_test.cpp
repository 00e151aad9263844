// The list window's lower pane: the property grid under the Pipe Materials
// table follows the current material, takes the mouse and keys of its pane,
// writes what was typed back into the material when the caret leaves it, and
// goes away with the materials table. What the window holds reaches the model
// before it is saved or given up.
#include "framework/binfile.h"
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "framework/ui/table.h"
#include "materials/beam_material.h"
#include "materials/material_records.h"
#include "materials/pipe_material.h"
#include "materials/property_sets.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/material_props_editor.h"
#include "materials/ui/pipe_material_library.h"
#include "materials/ui/pipe_material_ui.h"
#include "model/model_file_fixture.h"
#include "model/row_lists.h"
#include "model/ui/list_window.h"
#include "table_cell_point.h"

#include <cstdio>

namespace {

PipeMaterial steel(const std::string& name, float first_temperature)
{
    return sample_material(name, "Carbon steel",
                           {property_row(first_temperature, 29.5e6f, 6.07e-6f, 20000),
                            property_row(400, 27.7e6f, 6.82e-6f, 18000)});
}

class ListWindowSplitTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        material_library_mode() = false;
        install_property_sets();
        install_pipe_materials_ui();
        pipe_materials().push_back(steel("CS1", 70));
        pipe_materials().push_back(steel("CS2", 125));
        // As the program does: the list frame's commands go to ListCommand,
        // then to the command registry.
        open_list_frame(900, 600);
    }
    void TearDown() override
    {
        close_list_frame();
        ModelFileUiTest::TearDown();
    }

    static WindowId client() { return list_frame().client; }
    static std::vector<std::string> paint() { return script().paint(client()); }
    static PropertyGrid& grid() { return material_properties_grid(); }
    static float grid_temperature(int row) { return grid().rows[static_cast<size_t>(row - 1)].values[PROP_TEMPERATURE]; }

    static void click(Point p)
    {
        script().mouse_down(client(), MouseButton::Left, p.x, p.y);
        script().mouse_up(client(), MouseButton::Left, p.x, p.y);
    }
    static void type(const std::string& text) { type_into(client(), text); }
    // Whether a text was painted in a band of the client.
    static bool painted(const std::vector<std::string>& lines, const std::string& text, int top, int bottom)
    {
        for (const std::string& line : lines) {
            int x = 0, y = 0;
            char quoted[64] = {};
            if (std::sscanf(line.c_str(), "text %d %d \"%63[^\"]\"", &x, &y, quoted) == 3 && text == quoted &&
                y >= top && y < bottom)
                return true;
        }
        return false;
    }
};

TEST_F(ListWindowSplitTest, GridUnderTheMaterialsFollowsTheRowAndTakesItsPanesInput)
{
    open_materials_table();
    MaterialsTable& t = materials_table();
    ASSERT_EQ(list_window_table(), &t);
    ASSERT_EQ(list_lower_table(), &grid());
    EXPECT_FALSE(list_lower_pane_active());

    // The panes share the client: the materials above the bar, the grid under it.
    const Rect bar = list_split_bar();
    EXPECT_GT(bar.top, 0);
    EXPECT_EQ(list_view().height(), bar.top);
    EXPECT_EQ(list_lower_view().origin().y, bar.bottom);
    EXPECT_EQ(list_lower_view().height(), 600 - bar.bottom);
    std::vector<std::string> lines = paint();
    EXPECT_TRUE(painted(lines, "CS1", 0, bar.top));
    EXPECT_TRUE(painted(lines, "70", bar.bottom, 600));
    EXPECT_FALSE(painted(lines, "125", 0, 600));

    // The grid moves with the current row, by the table's own moves and by a click.
    table_goto_row(t, 2);
    EXPECT_FLOAT_EQ(grid_temperature(1), 125.0f);
    EXPECT_TRUE(painted(paint(), "125", bar.bottom, 600));
    click(table_cell_point(list_view(), 1, 0));
    EXPECT_EQ(t.current_row, 1);
    EXPECT_FLOAT_EQ(grid_temperature(1), 70.0f);
    EXPECT_FALSE(list_lower_pane_active());

    // A click in the grid gives it the keys; typing goes into its cell, and the
    // material is written only when the caret leaves the grid (F6).
    paint();
    click(table_cell_point(list_lower_view(), 2, 2));
    EXPECT_TRUE(list_lower_pane_active());
    EXPECT_EQ(grid().current_row, 2);
    EXPECT_EQ(grid().current_column, 2);
    type("25000000");
    EXPECT_TRUE(grid().edit.active);
    EXPECT_EQ(t.current_row, 1);   // the materials table saw none of it
    EXPECT_FLOAT_EQ(pipe_materials()[1].table[2][PROP_MODULUS], 27.7e6f);
    EXPECT_TRUE(script().key(list_frame().window, KEY_F6));
    EXPECT_FALSE(list_lower_pane_active());
    EXPECT_FLOAT_EQ(pipe_materials()[1].table[2][PROP_MODULUS], 25e6f);
    EXPECT_TRUE(model_modified());
    EXPECT_EQ(grid().current_row, 2);   // written back, the caret keeps its place
    EXPECT_EQ(grid().current_column, 2);

    // A capital E is the exponent of a number, as the grid shows them.
    click(table_cell_point(list_lower_view(), 1, 1));
    click(table_cell_point(list_lower_view(), 1, 2));
    type("29E6");
    EXPECT_TRUE(script().key(list_frame().window, KEY_F6));
    EXPECT_FLOAT_EQ(pipe_materials()[1].table[1][PROP_MODULUS], 29e6f);

    // The grid's right-click menu opens where the mouse is, below the bar.
    script().answer_popup(0);
    script().clear_log();
    const Point in_grid = table_cell_point(list_lower_view(), 1, 2);
    script().mouse_down(client(), MouseButton::Right, in_grid.x, in_grid.y);
    script().mouse_up(client(), MouseButton::Right, in_grid.x, in_grid.y);
    ASSERT_FALSE(script().log().empty());
    EXPECT_EQ(script().log().back().kind, ScriptEvent::PopupMenu);
    EXPECT_EQ(script().log().back().at, backend().client_to_screen(client(), in_grid));
    EXPECT_TRUE(script().key(list_frame().window, KEY_F6));

    // Keys go to the active pane: Down moves the materials, then (after F6) the grid.
    EXPECT_TRUE(script().key(list_frame().window, KEY_DOWN));
    EXPECT_EQ(t.current_row, 2);
    EXPECT_TRUE(script().key(list_frame().window, KEY_F6));
    EXPECT_TRUE(script().key(list_frame().window, KEY_DOWN));
    EXPECT_EQ(t.current_row, 2);
    EXPECT_EQ(grid().current_row, 2);

    // The table commands of the list window act on the active pane: Delete
    // takes a temperature off the grid, not the material off the list.
    frame_command(list_frame(), CMD_DELETE);
    EXPECT_EQ(nummats(), 2);
    EXPECT_EQ(grid().row_count, 2);
    // A click into the materials is the caret leaving the grid too.
    click(table_cell_point(list_view(), 2, 0));
    EXPECT_FALSE(list_lower_pane_active());
    EXPECT_EQ(pipe_materials()[2].numtemps(), 1);

    // A value the grid refuses keeps the caret in it, and nothing is written.
    click(table_cell_point(list_lower_view(), 1, 1));
    type("-");
    script().clear_log();
    EXPECT_TRUE(script().key(list_frame().window, KEY_F6));
    EXPECT_TRUE(list_lower_pane_active());
    EXPECT_FALSE(script().messages().empty());
    EXPECT_FLOAT_EQ(pipe_materials()[2].table[1][PROP_TEMPERATURE], 125.0f);
    table_cancel_edit(grid());

    // Dragging the bar up gives the grid more room; it stops short of the top.
    const int middle = (bar.top + bar.bottom) / 2;
    script().mouse_down(client(), MouseButton::Left, 10, middle);
    script().mouse_move(client(), 10, middle - 100);
    script().mouse_up(client(), MouseButton::Left, 10, middle - 100);
    EXPECT_EQ(list_split_bar().top, bar.top - 100);
    EXPECT_EQ(list_lower_view().height(), 600 - bar.bottom + 100);
    EXPECT_EQ(list_view().height(), bar.top - 100);
    script().mouse_down(client(), MouseButton::Left, 10, middle - 100);
    script().mouse_move(client(), 10, -500);
    script().mouse_up(client(), MouseButton::Left, 10, -500);
    EXPECT_GT(list_view().height(), 0);
    EXPECT_DOUBLE_EQ(list_lower_share(), 0.9);
}

TEST_F(ListWindowSplitTest, GridTakesNoInputForAMaterialNotYetEntered)
{
    // On the materials' input row there is no stored material for the grid's
    // rows to go to: typing there is refused, not silently dropped later.
    open_materials_table();
    paint();
    click(table_cell_point(list_view(), 3, 1));
    ASSERT_EQ(materials_table().current_row, 3);
    paint();
    click(table_cell_point(list_lower_view(), 1, 1));
    type("100");
    EXPECT_FALSE(grid().edit.active);
    EXPECT_FALSE(grid().modified);
}

TEST_F(ListWindowSplitTest, PaneGoesWhenAnotherTableIsShownAndWritesWhatWasTyped)
{
    open_materials_table();
    paint();
    click(table_cell_point(list_lower_view(), 1, 2));
    type("30000000");
    ASSERT_TRUE(grid().edit.active);

    // Another list in the window: the open edit is stored and written back,
    // and the list takes the whole client again.
    show_kind_rows(ANCHOR_ROWS);
    EXPECT_NE(list_window_table(), &materials_table());
    EXPECT_EQ(list_lower_table(), nullptr);
    EXPECT_FALSE(list_lower_pane_active());
    EXPECT_EQ(list_split_bar(), Rect{});
    EXPECT_EQ(list_view().height(), 600);
    EXPECT_FALSE(grid().view);
    EXPECT_FLOAT_EQ(pipe_materials()[1].table[1][PROP_MODULUS], 30e6f);
    // F6 is nothing to a single table.
    EXPECT_FALSE(script().key(list_frame().window, KEY_F6));

    // The pane comes back with the materials, with the upper pane active,
    // and goes when the window closes.
    open_materials_table();
    EXPECT_EQ(list_lower_table(), &grid());
    EXPECT_FALSE(list_lower_pane_active());
    close_list_window();
    EXPECT_EQ(list_lower_table(), nullptr);
    EXPECT_EQ(list_view().height(), 600);
}

}  // namespace

namespace {

// The same window with the file and list commands installed as the program
// has them, and the pending-edits committer: what the window holds reaches
// the model before it is saved or given up.
class ListWindowEditsTest : public ListWindowSplitTest {
protected:
    void SetUp() override
    {
        ListWindowSplitTest::SetUp();
        install_model_file_commands();
        set_pending_edits_committer([] { return commit_list_window_edits(); });
        model_modified() = false;
    }
    void TearDown() override
    {
        set_pending_edits_committer(nullptr);
        input_locked() = false;
        materials_table().copied.reset();
        materials_table().input = PipeMaterial{};
        ListWindowSplitTest::TearDown();
    }

    // Types a new modulus for the first temperature of the shown material
    // into the grid and stores it with Enter; the caret stays in the grid.
    void enter_grid_modulus(const std::string& value)
    {
        script().paint(client());
        // A click on the current cell would edit its text: come from another.
        click(table_cell_point(list_lower_view(), 1, 1));
        click(table_cell_point(list_lower_view(), 1, 2));
        ASSERT_TRUE(list_lower_pane_active());
        type(value);
        script().key(list_frame().window, KEY_RETURN);
        ASSERT_FALSE(grid().edit.active);
        ASSERT_TRUE(grid().modified);
    }
};

// A modulus stored in the grid (Enter) while the caret stays there is saved
// by Save, and Close asks about it.
TEST_F(ListWindowEditsTest, FileCommandsIgnoreWhatTheGridHolds)
{
    open_materials_table();
    enter_grid_modulus("31000000");

    model_file_path() = path("m.mod");
    frame_command(list_frame(), CMD_SAVE);
    EXPECT_EQ(script().last_message(), "Model saved.");
    read_model(path("m.mod"));
    ASSERT_EQ(nummats(), 2);
    EXPECT_FLOAT_EQ(pipe_materials()[1].table[1][PROP_MODULUS], 31e6f) << "saved file lacks the grid's value";

    // Again, and Close: the change must be asked about.
    open_materials_table();
    model_modified() = false;
    enter_grid_modulus("32000000");
    const int asked = script().runs("SAVE_CHANGES_DIALOG");
    script().answer(IDCANCEL);
    frame_command(list_frame(), CMD_CLOSE);
    EXPECT_EQ(script().runs("SAVE_CHANGES_DIALOG"), asked + 1) << "Close dropped the grid's change without asking";
}

// The material dialog run for another material (as from the layout window)
// keeps what the grid of the current material held.
TEST_F(ListWindowEditsTest, MaterialDialogOfAnotherMaterialDropsTheGridsChange)
{
    open_materials_table();
    ASSERT_EQ(materials_table().current_row, 1);
    enter_grid_modulus("31000000");
    script().once("MATERIAL1_DIALOG", [](HeadlessDialog& d) {
        d.type(MAT_DESCRIPTION, "Changed");
        d.press(IDOK);
    });
    EXPECT_EQ(edit_pipe_material(2), 1);
    EXPECT_EQ(pipe_materials()[2].description, "Changed");
    script().key(list_frame().window, KEY_F6);   // the caret leaves the grid
    EXPECT_FLOAT_EQ(pipe_materials()[1].table[1][PROP_MODULUS], 31e6f) << "the grid's value was dropped";
}

// With input locked the list frame's Library command changes nothing.
TEST_F(ListWindowEditsTest, LibraryCommandChangesAMaterialWithInputLocked)
{
    PipeMaterial rec = steel("", 70);
    rec.description = "A312 TP304";
    rec.set_type("AS");
    const std::string file = path("lib.mat");
    {
        BinFile f;
        ASSERT_TRUE(f.open_write(file));
        f.write_name(MATERIAL_LIBRARY_MAGIC, 16);
        f.write_int(CODE_B313);
        for (int i = 0; i < MATERIAL_LIBRARY_UNIT_COUNT; ++i)
            f.write_int(0);
        f.write_int(1);
        rec.write(f);
        ASSERT_TRUE(f.close());
    }
    material_library().path = file;
    open_materials_table();
    input_locked() = true;
    script().once("LIBRARY_USE_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    script().answer(IDYES);
    frame_command(list_frame(), CMD_LIBRARY);
    EXPECT_EQ(pipe_materials()[1].description, "Carbon steel") << "input is locked";
    EXPECT_FALSE(model_modified());
}

// A qualification mode's save question runs before New, Open and Close.
TEST_F(ListWindowEditsTest, QualificationCloseSkipsTheSaveQuestion)
{
    int asked = 0;
    std::vector<int> routed;
    ListMode mode;
    mode.kind = ListMode::Qualification;
    mode.name = "Flange";
    mode.ask_save = [&](WindowId) {
        ++asked;
        return false;   // Cancel
    };
    mode.command = [&](int id) { routed.push_back(id); };
    enter_list_mode(mode);
    model_modified() = true;
    EXPECT_TRUE(ListCommand(CMD_OPEN));
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(ListCommand(CMD_CLOSE));
    EXPECT_EQ(asked, 2) << "Close ran without the save question";
    EXPECT_TRUE(routed.empty()) << "the cancelled Close was routed";
    leave_list_mode();
}

}  // namespace

namespace {
// What was typed into the input row of one model does not show up in the next.
TEST_F(ListWindowEditsTest, InputRowOutlivesTheModel)
{
    open_materials_table();
    MaterialsTable& t = materials_table();
    ASSERT_EQ(t.row_count, 3);
    t.store_cell(3, 1, "NEW");
    t.store_cell(3, 2, "Half typed");
    ASSERT_EQ(t.cell_text(3, 2, 0), "Half typed");
    close_list_window();
    close_model();   // File > Close (no question: the model was not changed)
    pipe_materials().push_back(steel("A", 70));
    open_materials_table();
    EXPECT_EQ(t.cell_text(2, 2, 0), "") << "the input row of the new model holds the old model's typing";
}
}  // namespace
