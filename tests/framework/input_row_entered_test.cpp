// An input table whose input row keeps what is typed into it until Enter
// makes it a record (as the program's property-set tables do): what a
// window that closes or a save takes of it (table_enter_typed_input). A
// row typed or pasted into and not entered is entered as Enter enters it;
// a refusal is shown with the caret in its column; an input row that only
// shows what the table puts there, or that was cleared, is left alone.
#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/ui/frame.h"
#include "framework/ui/messages.h"
#include "framework/ui/table.h"
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Draft {
    std::string name;
    std::string value;
    bool empty() const { return name.empty() && value.empty(); }
};

// Name and Value; Enter wants a name (at column 1) and a value (at column 2).
class DraftTable : public TableWindow {
public:
    std::vector<Draft> records;
    Draft draft;                 // the input row
    std::string shown_default;   // what the empty input row shows as its value
    int enters = 0;

    DraftTable() : TableWindow(nullptr, 2, 1, {8, 8}) {}
    void load() { table_set_input_rows(*this, "Drafts", static_cast<int>(records.size())); }
    Draft* record(int row)
    {
        if (row >= 1 && row <= static_cast<int>(records.size())) return &records[static_cast<std::size_t>(row - 1)];
        return input_row && row == row_count ? &draft : nullptr;
    }
    std::string cell_text(int row, int column, int) override
    {
        const Draft* d = record(row);
        if (!d) return {};
        if (column == 1) return d->name;
        return d == &draft && d->empty() ? shown_default : d->value;
    }
    void store_cell(int row, int column, const std::string& text) override
    {
        if (Draft* d = record(row)) (column == 1 ? d->name : d->value) = text;
    }
    bool paste_row(int row, const std::vector<std::string>& cells) override
    {
        Draft* d = record(row);
        if (!d || cells.size() < 2) return false;
        *d = Draft{cells[0], cells[1]};
        return true;
    }
    bool can_delete(int row) override { return record(row) != nullptr; }
    void delete_row(int row) override
    {
        if (record(row) == &draft) draft = {};
    }
    void leave_row(int row) override
    {
        ++enters;
        Draft* d = record(row);
        if (d != &draft) return;
        if (d->name.empty()) throw CI{"Name is required", 1};
        if (d->value.empty()) throw CI{"Value is required", 2};
        records.push_back(draft);
        draft = {};
        load();
    }
};

class InputRowNotLost : public ::testing::Test {
protected:
    void SetUp() override
    {
        hb = &install_headless_backend();
        table.load();
        table_reset(table);
    }
    void TearDown() override { remove_backend(); }

    void type(int column, const std::string& text)
    {
        table_move_to(table, table.row_count, column);
        table_begin_edit(table, true);
        table.edit.text = text;
        table.edit.caret = table.edit.anchor = text.size();
    }

    HeadlessBackend* hb = nullptr;
    DraftTable table;
};

TEST_F(InputRowNotLost, ATypedRowIsEnteredAsEnterEntersIt)
{
    type(1, "A");
    type(2, "1");   // the edit still open
    EXPECT_TRUE(table_enter_typed_input(table));
    ASSERT_EQ(table.records.size(), 1u);
    EXPECT_EQ(table.records[0].value, "1");
    EXPECT_TRUE(table.draft.empty());
    // Entered: nothing is left to enter.
    EXPECT_FALSE(table_input_row_typed(table));
    EXPECT_TRUE(table_enter_typed_input(table));
    EXPECT_EQ(table.enters, 1);
}

TEST_F(InputRowNotLost, ARefusalIsShownWithTheCaretInItsColumn)
{
    type(2, "7");
    table_move_to(table, 1, 1);
    EXPECT_FALSE(table_enter_typed_input(table));
    EXPECT_EQ(hb->script().last_message(), "Name is required");
    EXPECT_EQ(table.current_row, table.row_count);
    EXPECT_EQ(table.current_column, 1);
    EXPECT_TRUE(table.edit.active);
    EXPECT_TRUE(table.records.empty());
    EXPECT_EQ(table.draft.value, "7");
}

TEST_F(InputRowNotLost, APastedRowIsEnteredAndAShownDefaultOrAClearedRowIsNot)
{
    // What the table shows in an input row nobody typed into is no row.
    table.shown_default = "0";
    EXPECT_FALSE(table_input_row_typed(table));
    EXPECT_TRUE(table_enter_typed_input(table));
    EXPECT_EQ(table.enters, 0);

    // Typed, then deleted.
    type(1, "B");
    ASSERT_TRUE(table_end_edit(table));
    EXPECT_TRUE(table_input_row_typed(table));
    table_delete(table);
    EXPECT_FALSE(table_input_row_typed(table));
    EXPECT_TRUE(table_enter_typed_input(table));
    EXPECT_EQ(table.enters, 0);

    // Pasted.
    hb->set_clipboard_text("C\t3");
    table_paste(table);
    EXPECT_TRUE(table_input_row_typed(table));
    EXPECT_TRUE(table_enter_typed_input(table));
    ASSERT_EQ(table.records.size(), 1u);
    EXPECT_EQ(table.records[0].name, "C");

    // While results are shown nothing is typed, and nothing entered.
    type(1, "D");
    ASSERT_TRUE(table_end_edit(table));
    input_locked() = true;
    EXPECT_FALSE(table_input_row_typed(table));
    EXPECT_TRUE(table_enter_typed_input(table));
    input_locked() = false;
    EXPECT_EQ(table.records.size(), 1u);
}

}  // namespace
