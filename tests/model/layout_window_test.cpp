// The layout table, typed into headless as a user types: rows appear from
// the input row, every committed cell rebuilds the model, refused cells
// change nothing, and rows are inserted, deleted, retyped and found.
#include "framework/ui/dialogs_common.h"
#include "framework/ui/messages.h"
#include "model/layout_fixture.h"
#include "model/ui/dialogs_layout.h"

namespace {

class LayoutWindowTest : public LayoutFixture {};

TEST_F(LayoutWindowTest, TypingASmallModelBuildsItAfterEveryCell) {
    EXPECT_EQ(table().row_count, 1);   // the input row alone
    EXPECT_EQ(main_frame().client, view().window());

    // The first node typed makes the From row; ft-in is the length unit, in
    // which a plain number is feet. The input row has nothing to delete.
    table_set_row(table(), 1);
    table().on_row_changed(1);
    EXPECT_FALSE(main_frame().menu.is_enabled(CMD_DELETE));
    cell(1, LAYOUT_NODE, "10");
    ASSERT_EQ(numrows(), 1);
    EXPECT_EQ(row(1).etype, ET_FROM);
    EXPECT_TRUE(model_modified());
    EXPECT_EQ(numnodes(), 1);
    EXPECT_EQ(table().row_count, 2);
    EXPECT_EQ(table().current_row, 1);   // Tab went on in the new row
    EXPECT_EQ(table().current_column, LAYOUT_TYPE);
    EXPECT_TRUE(main_frame().menu.is_enabled(CMD_DELETE));   // the new row can be deleted

    model_modified() = false;
    cell(1, LAYOUT_DX, "5");
    EXPECT_FLOAT_EQ(row(1).dx, 60.0f);
    EXPECT_TRUE(model_modified());
    EXPECT_POINT(at(10), 60, 0, 0);
    EXPECT_EQ(table().cell_text(1, LAYOUT_DY, 0), "0'0");   // coordinates show their zeros

    // A pipe 10 ft 6 in along X, with its material.
    cell(2, LAYOUT_NODE, "20");
    EXPECT_EQ(row(2).etype, ET_PIPE);
    cell(2, LAYOUT_DX, "10'6");
    cell(2, LAYOUT_MATERIAL, "a106");
    EXPECT_EQ(row(2).material, "A106");
    EXPECT_POINT(at(20), 186, 0, 0);
    EXPECT_EQ(table().cell_text(2, LAYOUT_DX, 0), "10'6");
    EXPECT_EQ(table().cell_text(2, LAYOUT_DY, 0), "");   // zero offsets are blank
    EXPECT_FALSE(model_rebuild_needed());

    // In millimetres: the next row takes the material of the pipe before it
    // and becomes a bend, whose long radius the section gives.
    unit_choice()[LENGTH] = 4;
    EXPECT_EQ(table().header_text(LAYOUT_DX, 1), "(mm)");
    cell(3, LAYOUT_NODE, "30");
    EXPECT_EQ(row(3).material, "A106");
    cell(3, LAYOUT_DX, "1000");
    cell(3, LAYOUT_TYPE, "bend");
    EXPECT_EQ(row(3).etype, ET_BEND);
    EXPECT_EQ(table().cell_text(3, LAYOUT_TYPE, 0), "Bend");
    EXPECT_EQ(table().cell_text(3, LAYOUT_DX, 0), "1000");
    cell(4, LAYOUT_NODE, "40");
    cell(4, LAYOUT_DY, "2000");

    EXPECT_POINT(at(30), 186 + 1000 / 25.4, 0, 0);
    EXPECT_POINT(at(40), 186 + 1000 / 25.4, 2000 / 25.4, 0);
    // The arc is laid out: near and far tangent points 15 inch from the corner.
    ASSERT_NE(node_index(30 + NEAR_TANGENT_OFFSET), 0);
    EXPECT_POINT(at(30 + NEAR_TANGENT_OFFSET), 186 + 1000 / 25.4 - 15, 0, 0);
    EXPECT_POINT(at(30 + FAR_TANGENT_OFFSET), 186 + 1000 / 25.4, 15, 0);
    EXPECT_EQ(numelems(), 4);   // 10-20, the leg to 30A, the arc, 30B-40
    EXPECT_EQ(table().row_count, 5);
    EXPECT_EQ(frame_title(main_frame()), "Korvane - Layout  (4)  [Untitled]");
}

TEST_F(LayoutWindowTest, RefusedCellsShowTheirMessageAndChangeNothing) {
    small_model();
    model_modified() = false;
    model_hooks().material_index = [](const std::string& name) { return name == "A106" ? 1 : 0; };

    const struct {
        int row, column;
        const char* typed;
        const char* message;
    } cases[] = {
        {2, LAYOUT_NODE, "0", "0  Node number should be > 0"},
        {2, LAYOUT_NODE, "100000", "100000  Node number should be < 100000"},
        {2, LAYOUT_NODE, "77A", "77A  Invalid node"},            // a tangent point that does not exist
        {3, LAYOUT_NODE, "20", "Node  20  is the From node of this row"},
        {2, LAYOUT_NODE, "-10", "-10  Node number should be > 0"},
        {2, LAYOUT_DX, "1..2", "DX =  1..2  is invalid"},
        // No typed character is dropped on the way to the parser: none of
        // these becomes 12'0, 56'0 or 10'0.
        {2, LAYOUT_DX, "1/2", "DX =  1/2  is invalid"},
        {2, LAYOUT_DX, "5 6", "DX =  5 6  is invalid"},
        {2, LAYOUT_DX, "0x10", "DX =  0x10  is invalid"},
        {2, LAYOUT_DY, "1,5", "DY =  1,5  is invalid"},
        {2, LAYOUT_TYPE, "B", "Element type =  B  is invalid"},  // Bend, Bellows, Ball joint, Beam
        {2, LAYOUT_DATA, "Spring", "Data type =  Spring  is invalid"},
        {2, LAYOUT_MATERIAL, "X1", "Material X1 is not defined"},
    };
    for (const auto& c : cases) {
        // The decimal comma is tried in millimetres, where 15 mm would pass unseen.
        unit_choice()[LENGTH] = c.column == LAYOUT_DY ? 4 : 1;
        cell(c.row, c.column, c.typed);
        EXPECT_EQ(script().last_message(), c.message) << c.typed;
        // The caret is back in the cell with the typed text.
        EXPECT_TRUE(table().edit.active) << c.typed;
        EXPECT_EQ(table().current_column, c.column) << c.typed;
        key(KEY_ESCAPE);
    }
    unit_choice()[LENGTH] = 1;
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(row(2).node, 20);
    EXPECT_EQ(row(2).etype, ET_PIPE);
    EXPECT_FLOAT_EQ(row(2).dx, 120.0f);
    EXPECT_EQ(row(2).material, "A106");

    // A unique beginning of a name is enough.
    cell(2, LAYOUT_TYPE, "bel");
    EXPECT_EQ(row(2).etype, ET_BELLOWS);
    // Cells a row does not have cannot be typed: a From row has no names,
    // which its first key says, and a beep the keys after it.
    table().current_row = 1;
    table().current_column = LAYOUT_MATERIAL;
    const int beeps = script().beeps();
    type("A");
    EXPECT_FALSE(table().edit.active);
    EXPECT_EQ(script().last_message(),
              "A From row takes no material, section or load: type them on the rows of the elements after it");
    type("B");
    EXPECT_FALSE(table().edit.active);
    EXPECT_EQ(script().beeps(), beeps + 1);
    EXPECT_TRUE(row(1).material.empty());
}

TEST_F(LayoutWindowTest, InsertAndDeleteRowsKeepTheRestInPlace) {
    small_model();

    // The Insert key puts an empty row before the current one; it disturbs
    // nothing until it gets a node.
    table().current_row = 3;
    key(KEY_INSERT);
    ASSERT_EQ(numrows(), 6);
    EXPECT_EQ(row(3).etype, ET_NONE);
    EXPECT_EQ(row(4).node, 30);
    EXPECT_POINT(at(30), 240, 0, 0);
    EXPECT_EQ(table().current_row, 3);

    cell(3, LAYOUT_NODE, "25");
    EXPECT_EQ(row(3).etype, ET_PIPE);
    cell(3, LAYOUT_DX, "5");
    EXPECT_POINT(at(25), 180, 0, 0);
    EXPECT_POINT(at(30), 300, 0, 0);

    // Ctrl+X deletes the current row, Ctrl+Ins inserts through the accelerators.
    table().current_row = 3;
    EXPECT_TRUE(script().key(view().window(), 'X', MOD_CONTROL));
    EXPECT_EQ(numrows(), 5);
    EXPECT_EQ(node_index(25), 0);
    EXPECT_POINT(at(30), 240, 0, 0);
    EXPECT_TRUE(script().key(view().window(), KEY_INSERT, MOD_CONTROL));
    EXPECT_EQ(numrows(), 6);
    table().current_row = 3;
    frame_command(main_frame(), CMD_DELETE);
    EXPECT_EQ(numrows(), 5);

    // An element whose node an allowable load names stays.
    model_edit_hooks().allowable_at_node = [](int node) { return node == 20 ? 4 : 0; };
    model_modified() = false;
    table().current_row = 2;
    frame_command(main_frame(), CMD_DELETE);
    EXPECT_EQ(script().last_message(), "Element at Node 20 is referred by Allowable at '4'. \nHence cannot be deleted.");
    EXPECT_EQ(numrows(), 5);
    EXPECT_FALSE(model_modified());

    // The input row has nothing to delete.
    table().current_row = 6;
    const int beeps = script().beeps();
    frame_command(main_frame(), CMD_DELETE);
    EXPECT_EQ(script().beeps(), beeps + 1);

    // A row typed as far as its element type, without a node yet, is not
    // the next row's From row either.
    const int elements = numelems();
    table().current_row = 3;
    key(KEY_INSERT);
    cell(3, LAYOUT_TYPE, "Valve");
    EXPECT_EQ(row(3).etype, ET_VALVE);
    EXPECT_EQ(row(3).node, 0);
    EXPECT_POINT(at(30), 240, 0, 0);
    EXPECT_EQ(numelems(), elements);
}

TEST_F(LayoutWindowTest, RetypingARowKeepsItsNodeWhereItWas) {
    small_model();
    unit_choice()[LENGTH] = 2;   // inch

    // A pipe that becomes a From row takes its node's coordinates; back to a
    // pipe it takes the offset from the row before.
    row(1).dx = 10.0f;
    make_model();
    EXPECT_TRUE(set_row_element_type(2, ET_FROM));
    EXPECT_FLOAT_EQ(row(2).dx, 130.0f);
    EXPECT_POINT(at(20), 130, 0, 0);
    EXPECT_EQ(row(2).material, "");   // a From row carries no names
    EXPECT_TRUE(set_row_element_type(2, ET_PIPE));
    EXPECT_FLOAT_EQ(row(2).dx, 120.0f);
    EXPECT_POINT(at(20), 130, 0, 0);
    EXPECT_FALSE(set_row_element_type(2, ET_PIPE));   // no change

    // A star after the node makes the offsets coordinates.
    cell(4, LAYOUT_NODE, "40*");
    EXPECT_TRUE(row(4).absolute);
    EXPECT_FLOAT_EQ(row(4).dx, 250.0f);
    EXPECT_FLOAT_EQ(row(4).dy, 120.0f);
    EXPECT_EQ(table().cell_text(4, LAYOUT_NODE, 0), "40*");
    EXPECT_POINT(at(40), 250, 120, 0);
    cell(4, LAYOUT_DY, "130");
    EXPECT_POINT(at(40), 250, 130, 0);
    EXPECT_POINT(at(50), 250, 250, 0);   // the next row follows by its offset

    // Row 1 as a comment holds the model's title behind its first 8 characters.
    table().current_row = 1;
    key(KEY_INSERT);
    cell(1, LAYOUT_TYPE, "Comment");
    EXPECT_EQ(row(1).etype, ET_COMMENT);
    EXPECT_EQ(row(1).node, 0);
    cell(1, LAYOUT_DESCRIPTION, "TITLE:  Cooling water");
    EXPECT_EQ(model().title, "Cooling water");
    EXPECT_EQ(table().cell_text(1, LAYOUT_DESCRIPTION, 0), "TITLE:  Cooling water");
    EXPECT_EQ(row(2).etype, ET_FROM);
    EXPECT_POINT(at(10), 10, 0, 0);
    // A comment row has no node cell and takes no data item.
    table().current_row = 1;
    table().current_column = LAYOUT_NODE;
    EXPECT_FALSE(table_begin_edit(table()));
    EXPECT_THROW(set_row_data_type(1, DT_ANCHOR), CI);
}

TEST_F(LayoutWindowTest, TheChoosersListTheTypesAndOpenTheKindsDialog) {
    small_model();
    table().current_row = 2;
    script().once("ELEMENT_TYPES_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.list_count(LAYOUT_CHOICE_LIST), MAX_ETYPE);
        EXPECT_EQ(d.list_text(LAYOUT_CHOICE_LIST, 0), "From");
        EXPECT_EQ(d.list_text(LAYOUT_CHOICE_LIST, MAX_ETYPE - 1), "Hydrotest load");
        EXPECT_EQ(d.list_selection(LAYOUT_CHOICE_LIST), ET_PIPE - 1);
        d.select(LAYOUT_CHOICE_LIST, ET_VALVE - 1);
        d.press(IDOK);
    });
    command(CMD_ELEMENT_TYPES);
    EXPECT_EQ(row(2).etype, ET_VALVE);
    EXPECT_TRUE(model_modified());

    int opened = 0;
    // The anchor's dialog closes with OK and nothing changed in it: the new
    // item stands.
    layout_hooks().data_dialog[DT_ANCHOR] = [&](int r) {
        opened = r;
        row_kind_confirmed(r);
        return false;
    };
    script().once("DATA_TYPES_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.list_count(LAYOUT_CHOICE_LIST), MAX_DTYPE + 1);
        EXPECT_EQ(d.list_text(LAYOUT_CHOICE_LIST, 0), "None");
        EXPECT_EQ(d.list_text(LAYOUT_CHOICE_LIST, DT_GENERIC_SUPPORT), "Generic support");
        d.double_click(LAYOUT_CHOICE_LIST, DT_ANCHOR);
    });
    command(CMD_DATA_TYPES);
    EXPECT_EQ(row(2).dtype, DT_ANCHOR);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(table().cell_text(2, LAYOUT_DATA, 0), "Anchor");
    EXPECT_EQ(model().list(ANCHOR_ROWS).count, 1);

    // Cancel keeps the item; "None" removes it.
    script().once("DATA_TYPES_DIALOG", [](HeadlessDialog& d) { d.press(IDCANCEL); });
    command(CMD_DATA_TYPES);
    EXPECT_EQ(row(2).dtype, DT_ANCHOR);
    script().once("DATA_TYPES_DIALOG", [](HeadlessDialog& d) {
        d.select(LAYOUT_CHOICE_LIST, 0);
        d.press(IDOK);
    });
    command(CMD_DATA_TYPES);
    EXPECT_EQ(row(2).dtype, DT_NONE);
    EXPECT_EQ(row(2).data, nullptr);

    // On the input row the element chooser appends a row of the chosen type,
    // ready for its node.
    table().current_row = 6;
    script().once("ELEMENT_TYPES_DIALOG", [](HeadlessDialog& d) {
        d.select(LAYOUT_CHOICE_LIST, ET_RIGID - 1);
        d.press(IDOK);
    });
    command(CMD_ELEMENT_TYPES);
    ASSERT_EQ(numrows(), 6);
    EXPECT_EQ(row(6).etype, ET_RIGID);
    EXPECT_EQ(row(6).section, "S8");
    EXPECT_EQ(table().current_row, 6);
    EXPECT_EQ(table().current_column, LAYOUT_NODE);
}

TEST_F(LayoutWindowTest, PasteChecksEveryCellAndFindNodeMovesToTheRow) {
    small_model();
    unit_choice()[LENGTH] = 2;   // inch

    table().current_row = 2;
    command(CMD_COPY);
    EXPECT_EQ(backend().clipboard_text(), "20\tPipe\t120.0000\t\t\tA106\tS8\tL1\t\t");

    // A pasted line on the input row appends a row.
    backend().set_clipboard_text("60\tPipe\t\t\t120\tB1\tS1\tL1\t\t");
    table().current_row = 6;
    command(CMD_PASTE);
    ASSERT_EQ(numrows(), 6);
    EXPECT_EQ(row(6).node, 60);
    EXPECT_EQ(row(6).material, "B1");
    EXPECT_POINT(at(60), 240, 240, 120);

    // A copy carries every digit of the offsets: the paste puts back exactly
    // what was copied, in metres too (shown as 1234.6).
    unit_choice()[LENGTH] = 3;
    model().rows[6].dz = static_cast<float>(1234.567 / 0.0254);
    table().current_row = 6;
    command(CMD_COPY);
    const std::string copied = backend().clipboard_text();
    ASSERT_EQ(copied.substr(0, 3), "60\t");
    backend().set_clipboard_text("70" + copied.substr(2));
    table().current_row = 7;
    command(CMD_PASTE);
    ASSERT_EQ(numrows(), 7) << script().last_message();
    EXPECT_EQ(table().cell_text(6, LAYOUT_DZ, 0), "1234.6");
    EXPECT_EQ(row(7).dz, row(6).dz);
    delete_layout_row(7);
    unit_choice()[LENGTH] = 2;
    backend().set_clipboard_text("60\tPipe\t\t\t120\tB1\tS1\tL1\t\t");

    // A comment row keeps its text.
    backend().set_clipboard_text("\tComment\t\t\t\t\t\t\t\tPump P-101 suction");
    table().current_row = 7;
    command(CMD_PASTE);
    ASSERT_EQ(numrows(), 7);
    EXPECT_EQ(row(7).etype, ET_COMMENT);
    EXPECT_EQ(row(7).comment_text(), "Pump P-101 suction");
    delete_layout_row(7);

    // One bad cell and nothing is pasted.
    model_modified() = false;
    backend().set_clipboard_text("70\tPipe\t\t\tx\tB1\tS1\tL1");
    table().current_row = 7;
    command(CMD_PASTE);
    EXPECT_EQ(script().last_message(), "DZ =  x  is invalid");
    EXPECT_EQ(numrows(), 6);
    EXPECT_FALSE(model_modified());

    script().once("FIND_NODE_DIALOG", [](HeadlessDialog& d) {
        d.type(FIND_NODE_TEXT, "40");
        d.press(IDOK);
    });
    table().current_row = 1;
    command(CMD_FIND_NODE);
    EXPECT_EQ(table().current_row, 4);
    EXPECT_EQ(model().current_row, 4);
    EXPECT_EQ(current_layout_row(), 4);

    select_layout_row(2);
    EXPECT_EQ(table().current_row, 2);
    EXPECT_EQ(model().current_row, 2);
}

// The shell makes its frames after the subsystems are installed: the
// windows' clients and menu items follow once the main loop runs.
TEST_F(LayoutWindowTest, TheClientsAreMadeWhenTheFramesComeAfterTheInstall) {
    destroy_list_window();
    destroy_layout_window();
    frame_destroy(list_frame());
    frame_destroy(main_frame());
    clear_command_registry();

    install_layout_subsystem();
    EXPECT_EQ(layout_view().window(), 0);
    frame_create(main_frame(), "Korvane", "Korvane", nullptr, "LAYOUT_MENU", nullptr, "LAYOUT_ACCEL");
    frame_create(list_frame(), "KorvaneList", "Korvane", nullptr, "LIST_MENU", nullptr, "LIST_ACCEL");
    EXPECT_TRUE(frame_command_available(main_frame(), CMD_SPLIT));
    create_layout_windows();   // what the shell's window phase does at start-up
    EXPECT_EQ(main_frame().client, layout_view().window());
    EXPECT_NE(list_view().window(), 0);
    EXPECT_TRUE(main_frame().menu.is_enabled(CMD_SPLIT));
    EXPECT_TRUE(main_frame().menu.is_enabled(CMD_REPLACE));
    EXPECT_TRUE(list_frame().menu.contains(CMD_EXPORT));
    EXPECT_EQ(table().row_count, 1);
}

}  // namespace
