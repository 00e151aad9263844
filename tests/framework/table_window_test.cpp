// The table window: rows and captions, find node, Insert and Delete, popups,
// copy and paste, the mouse, painting, a table inside a dialog and the
// results frame's shared table window, on the scripted backend.
#include "framework/commands.h"
#include "framework/table_fixture.h"
#include "framework/ui/dialogs_common.h"
#include "framework/ui/table.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Cell = std::pair<int, int>;

int count_starting(const std::vector<std::string>& lines, const std::string& prefix) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

TEST_F(TableTest, InputRowsAddTheEmptyRowAndCaptionTheFrameWhileShown) {
    EXPECT_EQ(table.row_count, 4);
    EXPECT_TRUE(table.input_row);
    EXPECT_EQ(table.record_count(), 3);
    table.current_row = 4;
    // Results shown: no input row, and the current row is clamped.
    input_locked() = true;
    table.show();
    EXPECT_EQ(table.row_count, 3);
    EXPECT_EQ(table.current_row, 3);
    input_locked() = false;
    // A table that is not shown leaves the caption alone.
    table_attach(view, nullptr);
    EXPECT_EQ(table.leaves, 1);
    table.records.pop_back();
    table.show("Other");
    EXPECT_EQ(frame_title(frame), "Korvane - Pipes  (3)  [Untitled]");
    table_attach(view, &table);
    EXPECT_EQ(table.enters, 2);
    table.show("Other");
    EXPECT_EQ(frame_title(frame), "Korvane - Other  (2)  [Untitled]");

    table_show_at(table, "Shown", 50, 40, 30);
    EXPECT_EQ(table.row_count, 50);
    EXPECT_FALSE(table.input_row);
    EXPECT_EQ(table.current_row, 40);
    EXPECT_EQ(table.top_row, 29);
    table_refresh(table, "Shown", 60, true);
    EXPECT_EQ(cell().first, 1);
    EXPECT_EQ(table.top_row, 0);
    table_set_rows(table, "Set", 5, 4);
    EXPECT_EQ(table.current_row, 4);
    table_set_row_count(table, 2);
    EXPECT_EQ(table.current_row, 2);
}

TEST_F(TableTest, FindNodeSearchesAfterTheCurrentRowAndWrapsToRowOne) {
    table.fill(5);                 // nodes 10..50
    table.records[3].node = 20;    // rows 2 and 4 hold node 20
    table.current_row = 3;
    EXPECT_TRUE(table_window_find_node(table, 20));
    EXPECT_EQ(table.current_row, 4);
    EXPECT_TRUE(table_window_find_node(table, 20));
    EXPECT_EQ(table.current_row, 2);
    EXPECT_TRUE(table_window_find_node(table, 20));
    EXPECT_EQ(table.current_row, 4);
    EXPECT_TRUE(table_window_find_node(table, 10));
    EXPECT_EQ(table.current_row, 1);
    // The only row with the node is found from itself.
    EXPECT_TRUE(table_window_find_node(table, 10));
    EXPECT_EQ(table.current_row, 1);
    EXPECT_FALSE(table_window_find_node(table, 99));
    EXPECT_EQ(table.current_row, 1);

    // Either node of a row matches.
    ElementTable elements;
    elements.elements = {{10, 20}, {20, 30}, {30, 40}};
    table_set_rows(elements, "Elements", 3, 0);
    EXPECT_TRUE(table_window_find_node(elements, 40));
    EXPECT_EQ(elements.current_row, 3);
    EXPECT_TRUE(table_window_find_node(elements, 20));
    EXPECT_EQ(elements.current_row, 1);

    // The command: a node that no row has keeps the dialog open with its message.
    auto parse = [](const std::string& text, int& node) {
        int32_t n = 0;
        if (parse_int(text, n) != 0) return false;
        node = n;
        return true;
    };
    script().once("FIND_NODE_DIALOG", [](HeadlessDialog& d) {
        d.type(FIND_NODE_TEXT, "77");
        d.press(IDOK);
        d.type(FIND_NODE_TEXT, "30");
        d.press(IDOK);
    });
    EXPECT_TRUE(table_find_node_command(table, parse));
    EXPECT_EQ(table.current_row, 3);
    EXPECT_EQ(script().last_message(), "Node  77  not found");
}

TEST_F(TableTest, InsertAndDeleteFollowTheTableAndTheMenuShowsTheirState) {
    frame.menu = Menu(MenuTemplate{"TABLE_MENU", {{"&Edit", 0, {{"&Copy", CMD_COPY}, {"&Delete\tCtrl+X", CMD_DELETE}}}}});
    table_add_insert_item(frame);
    const MenuItem& edit = frame.menu.items()[0];
    ASSERT_EQ(edit.items.size(), 3u);
    EXPECT_EQ(edit.items[1].id, CMD_INSERT);
    EXPECT_EQ(edit.items[1].text, "&Insert\tCtrl+Ins");

    table_update_insert_delete(table);
    EXPECT_TRUE(frame.menu.is_enabled(CMD_INSERT));
    EXPECT_TRUE(frame.menu.is_enabled(CMD_DELETE));
    table_goto_last_row(table);   // the input row: nothing to insert before or delete
    table_update_insert_delete(table);
    EXPECT_FALSE(frame.menu.is_enabled(CMD_INSERT));
    EXPECT_FALSE(frame.menu.is_enabled(CMD_DELETE));
    table_command(table, CMD_DELETE);
    EXPECT_EQ(script().beeps(), 1);
    EXPECT_EQ(table.records.size(), 3u);

    table_goto_row(table, 2);
    table_disable_delete(table);
    EXPECT_TRUE(frame.menu.is_enabled(CMD_INSERT));
    EXPECT_FALSE(frame.menu.is_enabled(CMD_DELETE));
    table_command(table, CMD_DELETE);
    EXPECT_EQ(table.records.size(), 3u);
    table_enable_delete(table);
    EXPECT_TRUE(frame.menu.is_enabled(CMD_DELETE));
    input_locked() = true;
    table_update_insert_delete(table);
    EXPECT_FALSE(frame.menu.is_enabled(CMD_INSERT));
    EXPECT_FALSE(frame.menu.is_enabled(CMD_DELETE));
    input_locked() = false;

    table_command(table, CMD_DELETE);
    ASSERT_EQ(table.records.size(), 2u);
    EXPECT_EQ(table.records[1].name, "P3");
    EXPECT_EQ(table.row_count, 3);
    table_command(table, CMD_INSERT);
    ASSERT_EQ(table.records.size(), 3u);
    EXPECT_EQ(table.records[1].name, "");
    EXPECT_EQ(frame_title(frame), "Korvane - Pipes  (3)  [Untitled]");

    table_remove_insert_item(frame);
    EXPECT_FALSE(frame.menu.contains(CMD_INSERT));
}

TEST_F(TableTest, PopupsNameTheRowAndSendTheChosenCommand) {
    MenuItem p = table_popup_show_edit_delete(table, "Section", true);
    ASSERT_EQ(p.items.size(), 4u);
    EXPECT_EQ(p.items[0].text, "&Edit Section");
    EXPECT_EQ(p.items[0].id, CMD_EDIT_ROW);
    EXPECT_EQ(p.items[1].text, "&Delete Section");
    EXPECT_EQ(p.items[1].id, CMD_DELETE);
    EXPECT_EQ(p.items[2].text, "&List");
    EXPECT_EQ(p.items[2].id, CMD_LIST);
    EXPECT_EQ(p.items[3].id, CMD_LOCAL_AXES);
    input_locked() = true;
    p = table_popup_show_edit_delete(table, "Section");
    ASSERT_EQ(p.items.size(), 2u);
    EXPECT_EQ(p.items[0].text, "&Show Section");
    input_locked() = false;

    // The right button selects the cell and offers the table's menu.
    const Point at2 = point_of(2, 3);
    script().answer_popup(CMD_INSERT);
    script().mouse_down(view.window(), MouseButton::Right, at2.x, at2.y);
    EXPECT_EQ(cell(), Cell(2, 3));
    EXPECT_EQ(sent, std::vector<int>{CMD_INSERT});
    EXPECT_EQ(table.records.size(), 4u);
    ASSERT_FALSE(script().log().empty());
    EXPECT_EQ(script().log().back().kind, ScriptEvent::PopupMenu);
}

TEST_F(TableTest, CopyGivesTheRowsCellsAndPasteIsCheckedBeforeAnythingIsStored) {
    table_goto_row(table, 1);
    table_command(table, CMD_COPY);
    EXPECT_EQ(backend().clipboard_text(), "10\tP1\t3.375\t0.154\t");
    table_goto_last_row(table);
    table_command(table, CMD_PASTE);   // the input row: a copy, renamed
    ASSERT_EQ(table.records.size(), 3u);
    EXPECT_EQ(script().last_message(), "Name P1 is already defined");
    EXPECT_EQ(cell().second, 2);

    backend().set_clipboard_text("60\tP6\t6.625\t0.28\tcopied\r\nnext line");
    table_command(table, CMD_PASTE);
    ASSERT_EQ(table.records.size(), 4u);
    EXPECT_EQ(table.records[3].name, "P6");
    EXPECT_EQ(table.records[3].note, "copied");
    EXPECT_FLOAT_EQ(table.records[3].thk, 0.28f);

    // A bad value anywhere leaves the row as it was.
    table_goto_row(table, 1);
    backend().set_clipboard_text("70\tP7\tbad\t0.2\t");
    table_command(table, CMD_PASTE);
    EXPECT_EQ(table.records[0].node, 10);
    EXPECT_EQ(table.records[0].name, "P1");
    EXPECT_EQ(script().last_message(), "OD =  bad  is invalid");

    // A table that does not paste beeps.
    ElementTable elements;
    elements.elements = {{1, 2}};
    table_set_rows(elements, "E", 1, 1);
    const int beeps = script().beeps();
    table_paste(elements);
    EXPECT_EQ(script().beeps(), beeps + 1);
    table_copy(elements);
    EXPECT_EQ(backend().clipboard_text(), "1\t-102\t-103\n2\t102\t103");
}

TEST_F(TableTest, TheMouseSelectsEditsResizesAndScrolls) {
    table.fill(60);
    table_reset(table);
    const WindowId w = view.window();
    Point p = point_of(3, 2);
    script().mouse_down(w, MouseButton::Left, p.x, p.y);
    script().mouse_up(w, MouseButton::Left, p.x, p.y);
    EXPECT_EQ(cell(), Cell(3, 2));
    EXPECT_FALSE(table.edit.active);
    EXPECT_EQ(hb->focus_window(), w);
    // A click into the current cell opens it with its whole text selected;
    // a second click puts the caret into it.
    script().mouse_down(w, MouseButton::Left, p.x, p.y);
    ASSERT_TRUE(table.edit.active);
    EXPECT_EQ(table.edit.text, "P3");
    EXPECT_EQ(table.edit.anchor, 0u);
    EXPECT_EQ(table.edit.caret, 2u);
    script().mouse_down(w, MouseButton::Left, p.x, p.y);
    EXPECT_EQ(table.edit.caret, 0u);   // the click was left of the text
    EXPECT_EQ(table.edit.anchor, 0u);
    key(KEY_ESCAPE);

    // A double click opens the row's dialog through the frame.
    p = point_of(5, 1);
    script().double_click(w, MouseButton::Left, p.x, p.y);
    EXPECT_EQ(table.current_row, 5);
    EXPECT_EQ(sent, std::vector<int>{CMD_EDIT_ROW});
    EXPECT_EQ(table.edit_calls, 1);

    // Dragging the rule at the right of column 2 sets its width, kept over measuring.
    const TableView::Layout l = view.layout();
    const int rule_x = point_of(1, 3).x - 3;
    script().mouse_down(w, MouseButton::Left, rule_x, 30);
    script().mouse_move(w, rule_x + 25, 30);
    script().mouse_up(w, MouseButton::Left, rule_x + 25, 30);
    const int widened = table.widths[2];
    table.measure_needed = true;
    table_ensure_measured(table);
    EXPECT_EQ(table.widths[2], widened);

    // The wheel scrolls three rows a notch; a click under the thumb a page.
    script().wheel(w, -120, 100, 100);
    EXPECT_EQ(table.top_row, 3);
    EXPECT_EQ(table.current_row, 5);   // scrolling leaves the current row
    ASSERT_TRUE(l.has_vbar);
    script().mouse_down(w, MouseButton::Left, l.vbar.left + 2, l.vbar.bottom - 2);
    EXPECT_EQ(table.top_row, 3 + view.visible_rows());
    // Dragging the thumb to the end shows the last rows.
    table.top_row = 0;
    script().mouse_down(w, MouseButton::Left, l.vbar.left + 2, l.vbar.top + 2);
    script().mouse_move(w, l.vbar.left + 2, l.vbar.bottom + 50);
    script().mouse_up(w, MouseButton::Left, l.vbar.left + 2, l.vbar.bottom + 50);
    EXPECT_EQ(table.top_row, table.row_count - view.visible_rows());
    EXPECT_FALSE(hb->window(w)->mouse_captured);
}

TEST_F(TableTest, AnotherTextFontMeasuresTheColumnsAgain) {
    table.fill(100);
    script().paint(view.window());
    table.cell_calls = 0;
    script().paint(view.window());
    const int visible_only = table.cell_calls;
    // Options > Font: the next paint measures every row again, so that the
    // columns fit the new font.
    const FontSpec before = app_settings().preferences.text_font;
    app_settings().preferences.text_font.height += 4;
    table.cell_calls = 0;
    script().paint(view.window());
    EXPECT_GE(table.cell_calls, 100 * 5);
    EXPECT_GT(table.cell_calls, visible_only);
    app_settings().preferences.text_font = before;
}

TEST_F(TableTest, PaintingAsksOnlyForTheVisibleRows) {
    table.fill(10000);
    table_goto_row(table, 5000);
    script().paint(view.window());   // measures every row once
    table.cell_calls = 0;
    const std::vector<std::string> lines = script().paint(view.window());
    // 5 columns of the visible rows (the last one may show in part).
    EXPECT_LE(table.cell_calls, 5 * (view.visible_rows() + 1));
    EXPECT_GT(table.cell_calls, 0);
    // Row numbers of the rows shown, with the current row's among them.
    const int first = table.top_row + 1;
    EXPECT_GE(count_starting(lines, "text"), view.visible_rows());
    bool current_number = false, first_number = false;
    for (const std::string& l : lines) {
        if (l.find("\"5000\" right") != std::string::npos) current_number = true;
        if (l.find("\"" + std::to_string(first) + "\" right") != std::string::npos) first_number = true;
    }
    EXPECT_TRUE(current_number);
    EXPECT_TRUE(first_number);
    // The header texts and the group heading over OD and Thk.
    for (const char* h : {"\"Node\"", "\"Name\"", "\"OD\"", "\"Thk\"", "\"Size\"", "\"(inch)\""})
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(h) != std::string::npos; })) << h;
    // The current cell is highlighted (without focus in the light colour).
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("fill", 0) == 0 && l.find("#cce4f7") != std::string::npos; }));
}

TEST_F(TableTest, ARowsFontAndACellsColourAreTheTables) {
    table.records[1].note = "check";
    const std::vector<std::string> lines = script().paint(view.window());
    // Row 2 (bold, red note) and row 3 (bold, "long run" in black).
    auto at = [&](const std::string& text) {
        return std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.find("\"" + text + "\"") != std::string::npos; });
    };
    auto check = at("check"), long_run = at("long run");
    ASSERT_NE(check, lines.end());
    ASSERT_NE(long_run, lines.end());
    EXPECT_EQ(*(check - 1), "textcolor #c00000");
    EXPECT_EQ(*(long_run - 1), "textcolor #000000");
    EXPECT_EQ(*(check - 2), "font \"Monospace\" 10 700 fixed");
    // Back to the table font for the rows after them in the column.
    EXPECT_TRUE(std::any_of(long_run, lines.end(), [](const std::string& l) { return l == "font \"Monospace\" 10 400 fixed"; }));
}

TEST_F(TableTest, TheOpenEditorIsPaintedAndAnEmptyViewPaintsNothing) {
    at(2, 2);
    type("ab");
    const std::vector<std::string> lines = script().paint(view.window());
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) { return l.find("\"AB\" left") != std::string::npos; }));
    key(KEY_ESCAPE);
    // An empty view paints only its background.
    table_attach(view, nullptr);
    const std::vector<std::string> empty = script().paint(view.window());
    EXPECT_EQ(count_starting(empty, "text"), 0);
}

// A dialog with a table in it, as the insulation dialog has.
struct TableDialogProc : DialogProc {
    PipeTable table;
    std::unique_ptr<TableView> view;
    void init(Dialog& d) override {
        table.fill(4);
        view = table_create_in_dialog(d, 1500, table);
    }
};

const DialogTemplate TABLE_TEST_DIALOG = {
    "TABLE_TEST_DIALOG",
    "Pick",
    {
        {1500, ControlKind::Table, "", 0, 0, 2, 0, 0, CF_NONE, 6},
        {IDOK, ControlKind::Button, "OK", 6, 0},
        {IDCANCEL, ControlKind::Button, "Cancel", 6, 1},
    },
};

TEST_F(TableTest, ATableInADialogTakesKeysAndPaintsThroughItsControl) {
    TableDialogProc proc;
    WindowId client = 0;
    std::vector<std::string> painted;
    script().once("TABLE_TEST_DIALOG", [&](HeadlessDialog& d) {
        client = d.control(1500)->client;
        ASSERT_NE(client, 0);
        EXPECT_EQ(proc.view->window(), client);
        script().key(client, KEY_DOWN);
        script().key(client, KEY_DOWN);
        painted = script().paint(client);
        d.press(IDOK);
    });
    EXPECT_EQ(run_dialog(TABLE_TEST_DIALOG, proc, frame.window), IDOK);
    EXPECT_EQ(proc.table.current_row, 3);
    EXPECT_TRUE(std::any_of(painted.begin(), painted.end(), [](const std::string& l) { return l.find("\"P4\"") != std::string::npos; }));
    EXPECT_EQ(hb->window(client), nullptr);   // gone with the dialog
    EXPECT_TRUE(script().faults().empty());
}

TEST_F(TableTest, TheResultsTableWindowShowsOneTableAtATime) {
    frame_create(results_frame(), "KorvaneResults", "Results", nullptr, "", nullptr, "");
    ElementTable elements;
    elements.elements = {{10, 20}, {20, 30}};
    table_set_rows(elements, "Forces", 2, 1);
    EXPECT_FALSE(table_window_flag());
    table_window_show(elements);
    EXPECT_EQ(results_table_view().table(), &elements);
    EXPECT_EQ(results_frame().client, results_table_view().window());
    EXPECT_TRUE(table_window_flag());
    EXPECT_TRUE(table_window_find_node(30));
    EXPECT_EQ(elements.current_row, 2);
    table_window_detach();
    EXPECT_FALSE(table_window_flag());
    EXPECT_FALSE(table_window_find_node(10));
    EXPECT_EQ(elements.view, nullptr);
    // Another table takes the window back.
    table_window_show(table);
    EXPECT_TRUE(results_table_view().shown());
    EXPECT_EQ(table.view, &results_table_view());
    table_window_reset();
    EXPECT_EQ(table.view, nullptr);
    frame_destroy(results_frame());
}

}  // namespace

namespace {

TEST_F(TableTest, AViewSizedForItsRowsShowsThemAllWithoutScrollBars) {
    const int w = table_width_for_rows(table, table.row_count);
    const int h = table_height_for_rows(table, table.row_count);
    script().resize(frame.window, w, h);
    TableView::Layout l = view.layout();
    EXPECT_FALSE(l.has_vbar);
    EXPECT_FALSE(l.has_hbar);
    EXPECT_EQ(view.visible_rows(), table.row_count);
    EXPECT_EQ(table_row_y(table, 2), table_header_height(table, 3) + view.row_height());
    // A pixel less each way: both bars, each taking room from the other.
    script().resize(frame.window, w - 1, h - 1);
    l = view.layout();
    EXPECT_TRUE(l.has_vbar);
    EXPECT_TRUE(l.has_hbar);
    EXPECT_EQ(l.body.right, l.vbar.left);
    EXPECT_EQ(l.body.bottom, l.hbar.top);
}

}  // namespace
