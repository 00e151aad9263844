// What the equipment input tables share: a column rule that starts below
// the group heading of header line 0 (for the inner columns of a group),
// and the input row's record, which typing and the dialog fill before Enter
// appends it.
#pragma once

#include "framework/app_state.h"
#include "framework/document.h"
#include "framework/document_events.h"
#include "framework/one_based.h"
#include "framework/ui/report_pages.h"
#include "framework/ui/table.h"

#include <array>
#include <set>
#include <string>
#include <vector>

// Draws the left rule of a column; a column of `inner` starts it below
// header line 0 inside the header.
void draw_group_column_rule(TableCanvas& c, int column, const std::set<int>& inner);

// An equipment input table over one list of records: the stored records,
// then the input row. Each kind supplies its list, its title (the input
// rows' title and the contents entry) and the name of one record in the
// popup menu.
template <typename T>
class EquipmentListTable : public TableWindow {
public:
    using TableWindow::TableWindow;

    T draft;   // the input row's record

    virtual OneBased<T>& list() const = 0;
    virtual std::string title() const = 0;
    virtual std::string record_name() const = 0;
    // The nodes a record names, one for each node column (find node).
    virtual std::vector<int> record_nodes(const T& record) const = 0;

    void load() { table_set_input_rows(*this, title(), list().size()); }
    T* record(int row)
    {
        if (list().valid(row))
            return &list()[row];
        return row == list().size() + 1 && input_row ? &draft : nullptr;
    }
    // Appends the input row's record to the list and puts the caret on it
    // in `column`; the input row starts empty again.
    void append_draft(int column = 0)
    {
        list().push_back(draft);
        draft = T{};
        model_modified() = true;
        notify_document_changed();
        load();
        table_goto_row(*this, list().size(), column);
    }
    // Stores what a typed cell changed: a stored record marks the model
    // modified, the input row's record waits for Enter; a cell that changed
    // nothing leaves no undo step.
    void store_typed(T& record, const T& changed)
    {
        if (changed == record) {
            discard_undo_snapshot();
            return;
        }
        record = changed;
        if (&record != &draft) {
            model_modified() = true;
            notify_document_changed();
        }
    }
    std::vector<int> row_nodes(int row) override
    {
        return list().valid(row) ? record_nodes(list()[row]) : std::vector<int>{};
    }
    bool can_delete(int row) override { return !input_locked() && list().valid(row); }
    void delete_row(int row) override
    {
        if (!can_delete(row))
            return;
        list().erase(row);
        model_modified() = true;
        notify_document_changed();
        load();
    }
    void context_menu(Point) override
    {
        table_popup_menu(*this, input_locked() ? table_popup_show_edit(*this, record_name())
                                               : table_popup_show_edit_delete(*this, record_name()));
    }
    void print_text() override { print(); }
    void print_csv() override { print(); }
    void contents_entry() override { add_contents_entry(title(), 1); }
};

class ShownValues;

// What a dialog's OK does with the record it read: stores it when it differs
// from the stored one and marks the model modified, else drops the undo
// snapshot that the dialog's command took.
template <typename T>
void store_if_changed(T& stored, const T& read)
{
    if (read == stored) {
        discard_undo_snapshot();
    } else {
        stored = read;
        model_modified() = true;
    }
}

// A shaft axis component as a table or a dialog shows it: blank for 0,
// else three decimals where they read back as the component, else the
// shortest text that does (format_real_exact).
std::string shaft_component_text(float v);
// A value field of a dialog: the exact stored value while the field still
// shows its text, else the text read by `parse` (item_text parsers); an
// unreadable text throws the invalid-value message with `name`.
float read_shown_value(const ShownValues& shown, int item, int (*parse)(float&), const char* name);
// The three components of a direction from three such fields ("X comp",
// "Y comp", "Z comp").
std::array<float, 3> read_shown_components(const ShownValues& shown, int first);
// The same as a direction: all three zero throws "Direction is invalid" on
// the first.
std::array<float, 3> read_shown_direction(const ShownValues& shown, int first);
// Reads a node field of a dialog: empty gives 0; otherwise a node number of
// the model that is not a bend corner ("<name> =  <text>  is not defined",
// "... is bend node").
int read_node_field(int item, const char* name);
// The same of item_text(): a node typed into a table cell.
int read_node_text(const char* name);
// Why a node number cannot be an equipment nozzle, named `name` in the
// message: no node of the model ("<name> =  <node>  is not defined") or a
// bend's corner ("... is bend node"); empty when it can.
std::string equipment_node_refusal(int number, const std::string& name);
