// What the loads' input tables share: columns described by their heading,
// unit, text and store, and two tables made of them:
//
//   ItemRowsTable   the rows of one data-item kind (forces, concentrated
//                   masses...) or of the hydrotest-load rows: "Node" (or
//                   "Row") first, then the kind's values; a typed cell is read
//                   with the dialog's parser and field name and stored only
//                   when it changes the value; Enter on a row opens the
//                   kind's dialog; Delete removes the data item.
//   NamedLoadTable  a named set (pipe loads, beam loads): one row per record
//                   and an input row; a name typed into the input row makes a
//                   record of the set's defaults; the other cells are typed as
//                   in the dialog; Enter on a row opens the set's dialog.
//
// Both print as graphic pages, text and CSV through the table forms, and
// hide the columns whose `shown` says no (the load sets beyond numtloads).
#pragma once

#include "framework/app_state.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/ui/frame.h"
#include "framework/ui/report_pages.h"
#include "framework/ui/table.h"
#include "model/named_set.h"
#include "model/ui/list_window.h"
#include "model/ui/named_set_ui.h"

#include <functional>
#include <string>
#include <vector>

class DataItem;

// A column of a load table over records of type R.
template <typename R>
struct LoadColumn {
    std::string heading;                        // header line 0
    std::function<std::string()> unit;          // header line 1 (a unit label); may be empty
    int limit = 0;                              // characters a typed cell takes; 0: not typed
    std::function<std::string(const R&)> text;  // the cell
    // Reads item_text() into the record; true when the value changed. Throws
    // the field's message on a text it refuses, changing nothing.
    std::function<bool(R&)> store;
    std::function<bool()> shown;                // empty: always shown
};

// Hides the columns of `columns` (1-based, slot 0 unused) that are not shown.
template <typename R>
void hide_columns(TablePrint& t, const std::vector<LoadColumn<R>>& columns)
{
    for (std::size_t c = 1; c < columns.size() && c < t.widths.size(); ++c)
        if (columns[c].shown && !columns[c].shown())
            t.widths[c] = 0;
}

// Prints a table as graphic pages, or its text or CSV form.
void print_load_table(TablePrint& t, const std::string& title, int count);

// ---- The rows of a kind ------------------------------------------------------------

class ItemRowsTable : public LayoutRowsTable {
public:
    // Column 1 is the node (or the row of a hydrotest load); the columns
    // from 2 on read and store the row's data item (or element object).
    ItemRowsTable(std::string title, int list_id, std::vector<LoadColumn<LayoutRow>> columns);

    std::string title_text;
    int list_id = 0;
    std::vector<LoadColumn<LayoutRow>> columns;   // slot 0 unused
    // Opens the dialog of a layout row; true when it stored something.
    std::function<bool(int row)> dialog;

    // Shows the kind's rows again, keeping the current layout row current.
    void load();

    std::string header_text(int column, int line) override;
    std::string cell_text(int row, int column, int line) override;
    bool cell_editable(int row, int column) override;
    void store_cell(int row, int column, const std::string& text) override;
    void measure_window(Surface& dc) override;
    void measure_print(Surface& dc) override;
    int row_node(int row) override;
    void on_row_changed(int row) override;
    bool edit_row(int row) override;
    bool can_delete(int row) override;
    void delete_row(int row) override;
    void context_menu(Point at) override;
    void print() override;
    void print_text() override;
    void print_csv() override;
    void contents_entry() override;
};

// Shows a kind's table in the list window and records it as the table
// opened last.
void open_item_rows_table(ItemRowsTable& table);

// ---- Named sets ------------------------------------------------------------------------

template <typename T>
class NamedLoadTable : public TableWindow {
public:
    struct Rules {
        std::string title;                        // "Pipe Loads"
        std::string key;                          // the set's registry key
        const char* what = "";                    // "Load": messages
        const char* rename_field = "";            // "Load name": the rename question
        std::function<NamedSet<T>&()> set;
        std::function<T()> make;                  // a new record's values
        // The checks of a whole record before it is stored (design values);
        // throws a cell exception.
        std::function<void(T&)> check;
        // The dialog of record `index` (numbers past the last make a new
        // one from `start`); true when it stored.
        std::function<bool(int index, const T& start)> dialog;
    };

    NamedLoadTable(Rules rules, std::vector<LoadColumn<T>> columns)
        : TableWindow(&list_frame(), static_cast<int>(columns.size()) - 1, 2, limits_of(columns)),
          rules_(std::move(rules)), columns_(std::move(columns)), input_(rules_.make())
    {
        for (std::size_t c = 2; c < columns_.size(); ++c)
            alignments[c] = TextAlign::Right;
    }

    NamedSet<T>& set() const { return rules_.set(); }
    T* record(int row)
    {
        if (set().valid(row))
            return &set()[row];
        return row == set().size() + 1 && !input_locked() ? &input_ : nullptr;
    }
    // A half-typed input record goes with its model.
    void forget_input() { input_ = rules_.make(); }

    void load() { table_set_input_rows(*this, rules_.title, set().size()); }

    std::string header_text(int column, int line) override
    {
        if (column < 1 || column >= static_cast<int>(columns_.size()))
            return {};
        const LoadColumn<T>& c = columns_[static_cast<std::size_t>(column)];
        if (line == 0)
            return c.heading;
        return line == 1 && c.unit ? c.unit() : std::string();
    }
    std::string cell_text(int row, int column, int line) override
    {
        T* r = record(row);
        if (!r || line != 0 || column < 1 || column >= static_cast<int>(columns_.size()))
            return {};
        // The input row shows nothing until it is named.
        if (!set().valid(row) && r->name.empty() && column != 1)
            return {};
        return columns_[static_cast<std::size_t>(column)].text(*r);
    }
    bool cell_editable(int row, int column) override
    {
        if (!TableWindow::cell_editable(row, column) || input_locked() || !record(row))
            return false;
        // The input row takes its name first.
        return column == 1 || set().valid(row) || !input_.name.empty();
    }
    void filter_char(int column, std::string& ch) override
    {
        if (column == 1)
            table_filter_name(ch);
    }
    void store_cell(int row, int column, const std::string& text) override
    {
        T* r = record(row);
        if (!r || column < 1 || column >= static_cast<int>(columns_.size()))
            return;
        const bool stored = set().valid(row);
        item_text() = upper_case(squeeze_blanks(text));
        if (column == 1) {
            const std::string name = item_text();
            if (name.empty() || name == r->name)
                return;
            try {
                check_entry_name(rules_.key, name, stored ? row : 0);
            } catch (const MessageText& m) {
                throw CI{m.text, 1};
            }
            if (stored && !confirm_entry_rename(rules_.key, frame_window(), rules_.rename_field, r->name, name))
                throw_message("");
            record(row)->name = name;
            if (stored)
                changed();
            return;
        }
        T next = *r;
        if (!columns_[static_cast<std::size_t>(column)].store(next))
            return;
        if (stored && rules_.check)
            rules_.check(next);
        *r = next;
        if (stored)
            changed();
    }
    void measure_window(Surface& dc) override
    {
        TableWindow::measure_window(dc);
        hide_columns(*this, columns_);
    }
    void measure_print(Surface& dc) override
    {
        TableWindow::measure_print(dc);
        hide_columns(*this, columns_);
    }
    void leave_row(int row) override
    {
        if (complete(row))
            table_goto_row(*this, set().size());
        else
            TableWindow::leave_row(row);
    }
    void before_leave_row(int row) override
    {
        T* r = record(row);
        if (r && (set().valid(row) || !r->name.empty()))
            complete(row);
    }
    bool can_insert(int row) override { return named_row_can_insert(set(), row); }
    bool can_delete(int row) override { return !input_locked() && record(row) != nullptr; }
    void insert_row(int row) override
    {
        named_row_insert(set(), row);
        load();
    }
    void delete_row(int row) override
    {
        if (!set().valid(row)) {
            forget_input();
            load();
            return;
        }
        if (named_row_delete(set(), rules_.key, row, frame_window(), rules_.what)) {
            notify_document_changed();
            load();
        }
    }
    bool edit_row(int row) override
    {
        T* r = record(row);
        if (!r || !rules_.dialog)
            return false;
        const bool stored = set().valid(row);
        push_undo_snapshot(frame_window());
        if (rules_.dialog(stored ? row : set().size() + 1, *r)) {
            if (!stored)
                forget_input();
            load();
            table_window_refocus(*this);
        }
        return true;
    }
    void on_enter() override
    {
        if (frame && !input_locked())
            table_add_insert_item(*frame);
    }
    void on_leave() override
    {
        if (frame)
            table_remove_insert_item(*frame);
    }
    void context_menu(Point) override
    {
        if (input_locked()) {
            table_popup_menu(*this, table_popup_show_edit(*this, rules_.what));
            return;
        }
        table_popup_menu(*this, table_popup_show_edit_delete(*this, rules_.what));
    }
    void print() override { print_load_table(*this, rules_.title, set().size()); }
    void print_text() override { print(); }
    void print_csv() override { print(); }
    void contents_entry() override { add_contents_entry(rules_.title, 0); }

private:
    static std::vector<int> limits_of(const std::vector<LoadColumn<T>>& columns)
    {
        // Column 1's limit first (slot 0 of `columns` is unused).
        std::vector<int> limits;
        for (std::size_t c = 1; c < columns.size(); ++c)
            limits.push_back(columns[c].limit);
        return limits;
    }
    void changed()
    {
        model_modified() = true;
        notify_document_changed();
    }
    // The row's checks when it is left; the input row becomes a record.
    bool complete(int row)
    {
        T* r = record(row);
        if (!r)
            return false;
        if (r->name.empty())
            throw_cell_required("Name", 1);
        if (rules_.check)
            rules_.check(*r);
        if (set().valid(row))
            return false;
        set().push_back(input_);
        forget_input();
        changed();
        load();
        return true;
    }

    Rules rules_;
    std::vector<LoadColumn<T>> columns_;
    T input_;
};
