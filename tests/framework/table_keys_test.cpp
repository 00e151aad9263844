// Table keys, the cell editor and what follows a typed cell, on the
// scripted backend with the test table of table_fixture.h.
#include "framework/commands.h"
#include "framework/table_fixture.h"
#include "framework/ui/menus.h"
#include "framework/ui/table.h"

#include <gtest/gtest.h>

namespace {

using Cell = std::pair<int, int>;

TEST_F(TableTest, TabVisitsEditableCellsAndWrapsToTheNextAndPreviousRow) {
    EXPECT_EQ(cell(), Cell(1, 1));
    for (int i = 0; i < 4; ++i) key(KEY_TAB);
    EXPECT_EQ(cell(), Cell(1, 5));
    key(KEY_TAB);
    EXPECT_EQ(cell(), Cell(2, 1));
    EXPECT_EQ(table.row_changes, 1);
    // Row 2 has no editable Note: Tab skips it and wraps.
    for (int i = 0; i < 3; ++i) key(KEY_TAB);
    EXPECT_EQ(cell(), Cell(2, 4));
    key(KEY_TAB);
    EXPECT_EQ(cell(), Cell(3, 1));
    key(KEY_TAB, MOD_SHIFT);
    EXPECT_EQ(cell(), Cell(2, 4));
    for (int i = 0; i < 4; ++i) key(KEY_TAB, MOD_SHIFT);
    EXPECT_EQ(cell(), Cell(1, 5));
    // The first cell of row 1 and the last of the last row are the ends.
    at(1, 1);
    key(KEY_TAB, MOD_SHIFT);
    EXPECT_EQ(cell(), Cell(1, 1));
    at(4, 5);
    key(KEY_TAB);
    EXPECT_EQ(cell(), Cell(4, 5));
}

TEST_F(TableTest, ArrowsHomeEndAndPagesMoveTheCurrentCellAndScroll) {
    table.fill(100);   // 101 rows with the input row
    table_reset(table);
    key(KEY_DOWN);
    key(KEY_RIGHT);
    EXPECT_EQ(cell(), Cell(2, 2));
    key(KEY_UP);
    key(KEY_UP);   // stays on row 1
    key(KEY_LEFT);
    key(KEY_LEFT);
    EXPECT_EQ(cell(), Cell(1, 1));
    key(KEY_END);
    EXPECT_EQ(cell(), Cell(1, 5));
    key(KEY_HOME);
    EXPECT_EQ(cell(), Cell(1, 1));

    const int page = view.visible_rows();
    ASSERT_GT(page, 3);
    key(KEY_NEXT);
    EXPECT_EQ(table.current_row, 1 + page - 1);
    EXPECT_EQ(table.top_row, page - 1);
    key(KEY_NEXT);
    EXPECT_EQ(table.current_row, 1 + 2 * (page - 1));
    key(KEY_PRIOR);
    EXPECT_EQ(table.current_row, 1 + page - 1);

    key(KEY_END, MOD_CONTROL);
    EXPECT_EQ(table.current_row, 101);
    EXPECT_EQ(table.top_row, 101 - page);   // the last row at the bottom
    key(KEY_HOME, MOD_CONTROL);
    EXPECT_EQ(cell(), Cell(1, 1));
    EXPECT_EQ(table.top_row, 0);
}

TEST_F(TableTest, TypingReplacesTheCellAndEnterStoresItAndLeavesTheRow) {
    at(1, 2);
    type("q9");
    ASSERT_TRUE(table.edit.active);
    EXPECT_EQ(table.edit.text, "Q9");          // the name filter upper-cases
    EXPECT_EQ(table.records[0].name, "P1");    // nothing stored yet
    key(KEY_RETURN);
    EXPECT_FALSE(table.edit.active);
    EXPECT_EQ(table.records[0].name, "Q9");
    EXPECT_EQ(cell(), Cell(2, 1));

    // F2 edits the text with the caret at its end; the caret keys act on it.
    at(2, 2);
    key(KEY_F2);
    EXPECT_EQ(table.edit.text, "P2");
    EXPECT_EQ(table.edit.caret, 2u);
    key(KEY_BACK);
    type("x");
    key(KEY_HOME);
    type("a");
    EXPECT_EQ(table.edit.text, "APX");
    key(KEY_END);
    key(KEY_LEFT, MOD_SHIFT);
    key(KEY_LEFT, MOD_SHIFT);
    type("7");   // replaces the selection
    EXPECT_EQ(table.edit.text, "A7");
    key(KEY_HOME);
    key(KEY_DELETE);
    EXPECT_EQ(table.edit.text, "7");
    // Escape drops the edit; Tab stores it.
    key(KEY_ESCAPE);
    EXPECT_FALSE(table.edit.active);
    EXPECT_EQ(table.records[1].name, "P2");
    type("N2");
    key(KEY_TAB);
    EXPECT_EQ(table.records[1].name, "N2");
    EXPECT_EQ(cell(), Cell(2, 3));
    EXPECT_EQ(script().beeps(), 0);
}

TEST_F(TableTest, CtrlAInAnOpenCellSelectsItsTextElsewhereTheWindowTakesIt) {
    // The layout window's keys, where Ctrl+A is Zoom All.
    set_current_accelerators(frame, &accelerator_resource("LAYOUT_ACCEL"));
    at(1, 2);
    type("ab");
    key(KEY_LEFT);
    key('A', MOD_CONTROL);
    EXPECT_EQ(table.edit.anchor, 0u);
    EXPECT_EQ(table.edit.caret, 2u);
    EXPECT_TRUE(sent.empty());
    type("z");   // replaces the whole text
    EXPECT_EQ(table.edit.text, "Z");
    key(KEY_RETURN);
    EXPECT_EQ(table.records[0].name, "Z");
    // No cell open: the window's command.
    key('A', MOD_CONTROL);
    EXPECT_EQ(sent, std::vector<int>{CMD_ZOOM_ALL});
    EXPECT_FALSE(table.edit.active);
}

TEST_F(TableTest, TheLimitAndLockedCellsRefuseTypingWithABeep) {
    at(1, 2);
    type("abcdefg");   // five characters at most
    EXPECT_EQ(table.edit.text, "ABCDE");
    EXPECT_EQ(script().beeps(), 2);
    key(KEY_ESCAPE);
    at(2, 5);   // the table locks this cell
    type("x");
    key(KEY_F2);
    EXPECT_FALSE(table.edit.active);
    EXPECT_EQ(script().beeps(), 4);
    // While results are shown nothing is typed.
    input_locked() = true;
    at(1, 2);
    type("x");
    EXPECT_FALSE(table.edit.active);
    input_locked() = false;
}

// A stored cell may change what the columns need (the view measures them
// again when it paints): the Tab that stores it already goes past a hidden
// column, never into a cell that is not shown.
TEST_F(TableTest, TabFromAStoredCellSkipsAHiddenColumn) {
    table.od_hidden = true;
    table.measure_needed = true;
    script().paint(view.window());
    at(1, 2);
    type("Q9");
    key(KEY_TAB);
    EXPECT_EQ(table.records[0].name, "Q9");
    EXPECT_EQ(cell(), Cell(1, 4));
    key(KEY_LEFT);
    EXPECT_EQ(cell(), Cell(1, 2));
}

// A cell that takes no typing for a reason of its own says it at the first
// key, and beeps at the keys after; the others beep.
TEST_F(TableTest, ARefusedCellSaysWhyOnceThenBeeps) {
    table.notes_say_why = true;
    at(2, 5);
    type("x");
    EXPECT_EQ(script().messages(), std::vector<std::string>{"Row 2 takes no note"});
    type("yz");
    EXPECT_EQ(script().messages().size(), 1u);
    EXPECT_EQ(script().beeps(), 2);
    EXPECT_FALSE(table.edit.active);
    EXPECT_EQ(table.records[1].note, "");
}

TEST_F(TableTest, TypingIntoTheInputRowAppendsARecord) {
    EXPECT_EQ(frame_title(frame), "Korvane - Pipes  (3)  [Untitled]");
    key(KEY_END, MOD_CONTROL);
    EXPECT_EQ(table.current_row, 4);
    key(KEY_HOME);
    type("40");
    key(KEY_TAB);
    ASSERT_EQ(table.records.size(), 4u);
    EXPECT_EQ(table.records[3].node, 40);
    EXPECT_EQ(table.row_count, 5);
    EXPECT_EQ(frame_title(frame), "Korvane - Pipes  (4)  [Untitled]");
    // Enter on the new row without a name: the caret goes to the Name column.
    key(KEY_RETURN);
    EXPECT_EQ(script().last_message(), "Name is required");
    EXPECT_EQ(cell(), Cell(4, 2));
    EXPECT_TRUE(table.edit.active);
    type("P4");
    key(KEY_RETURN);
    EXPECT_EQ(table.records[3].name, "P4");
    EXPECT_EQ(table.current_row, 5);
}

TEST_F(TableTest, ACellRefusalShowsTheTextAndPutsTheCaretBackIntoItsColumn) {
    // CI in the typed column: the typed text is offered again.
    at(2, 2);
    type("P1");
    key(KEY_DOWN);
    EXPECT_EQ(script().last_message(), "Name P1 is already defined");
    EXPECT_EQ(cell(), Cell(2, 2));
    ASSERT_TRUE(table.edit.active);
    EXPECT_EQ(table.edit.column, 2);
    EXPECT_EQ(table.edit.text, "P1");
    EXPECT_EQ(table.records[1].name, "P2");
    key(KEY_ESCAPE);

    // CI naming another column: the caret goes there.
    at(1, 1);
    type("0");
    key(KEY_TAB);
    EXPECT_EQ(script().last_message(), "Node should be > 0");
    EXPECT_EQ(cell(), Cell(1, 1));
    key(KEY_ESCAPE);

    // A message text: the edit stays as typed. No typed character is
    // dropped on the way: a number the parser cannot read is refused whole.
    const float od = table.records[0].od;
    for (const char* typed : {"1.2.3", "1/2", "0x10", "1,5", "5 6"}) {
        at(1, 3);
        type(typed);
        key(KEY_TAB);
        EXPECT_EQ(script().last_message(), std::string("OD =  ") + typed + "  is invalid");
        EXPECT_EQ(cell(), Cell(1, 3));
        EXPECT_TRUE(table.edit.active);
        EXPECT_EQ(table.edit.text, typed);
        key(KEY_ESCAPE);
        EXPECT_EQ(table.records[0].od, od);
    }
    EXPECT_EQ(script().beeps(), 0);
    EXPECT_TRUE(sent.empty());
}

TEST_F(TableTest, ACommandRefusalShowsTheTextAndSendsTheCommandToTheFrame) {
    // MsgCmd: the message, then the row's dialog through the owning frame.
    table_command(table, CMD_INSERT);   // a blank row 1 without an OD
    at(1, 4);
    type("0.1");
    key(KEY_RETURN);
    EXPECT_EQ(script().last_message(), "OD is required");
    EXPECT_EQ(sent, std::vector<int>{CMD_EDIT_ROW});
    EXPECT_EQ(table.edit_calls, 1);
    EXPECT_FALSE(table.edit.active);
    EXPECT_EQ(table.records[0].thk, 0.0f);

    // MsgColCmd: both, the current cell in the named column.
    sent.clear();
    at(2, 4);   // P1: OD 3.375
    type("2");
    key(KEY_TAB);
    EXPECT_EQ(script().last_message(), "Thickness is greater than radius");
    EXPECT_EQ(sent, std::vector<int>{CMD_EDIT_ROW});
    EXPECT_EQ(cell(), Cell(2, 3));
    EXPECT_FALSE(table.edit.active);
    EXPECT_EQ(table.records[1].thk, 0.154f);

    // Without an owning frame the table gets the command itself.
    PipeTable alone;
    alone.fill(1);
    alone.records[0].od = 0;
    alone.current_row = 1;
    alone.current_column = 4;
    table_on_char(alone, "1");
    EXPECT_TRUE(table_end_edit(alone) == false);
    EXPECT_EQ(alone.commands, std::vector<int>{CMD_EDIT_ROW});
    EXPECT_EQ(alone.edit_calls, 1);
}

TEST_F(TableTest, AnEditLeftUnchangedStoresNothing) {
    at(1, 4);   // Thk 0.154 of OD 3.375
    table.records[0].od = 0;   // storing would now be refused
    key(KEY_F2);
    key(KEY_RETURN);
    EXPECT_EQ(script().messages().size(), 0u);
    EXPECT_EQ(table.current_row, 2);
}

}  // namespace
