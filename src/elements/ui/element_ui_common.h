// What the element dialogs and input tables share: the dialog procedure's
// base with its row and the texts it showed, the readers of the fields that
// several dialogs have (lengths, flexibility factors, SIFs, intermediate
// nodes), and the table of the rows of one element kind.
#pragma once

#include "framework/ui/dialog_helper.h"
#include "framework/ui/report.h"
#include "framework/ui/table.h"
#include "model/model.h"
#include "model/ui/list_window.h"
#include "platform/backend.h"
#include "platform/dialog.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

// "<text> at node <node>" and "<text> from <From node> to <node>" of a row.
std::string row_caption_at_node(int row, const std::string& text);
std::string row_caption_from_to(int row, const std::string& text);

// The base of the element dialogs: the layout row the dialog was opened for
// (never the current layout row, which may be another), whether the dialog
// stored anything, and the texts its fields showed after filling, so that a
// field the user left alone keeps the exact stored value behind its rounded
// text.
class ElementDialog : public SnapshotDialogProc {
public:
    explicit ElementDialog(int row) : row_(row) {}
    int row() const { return row_; }
    bool stored() const { return stored_; }

    // While input is locked OK only closes the dialog (its undo snapshot
    // discarded); otherwise it checks and stores the values (store).
    bool ok(Dialog& d) final;

protected:
    // Reads and checks the fields (dialog_throw on the first refused) and
    // stores what changed; true closes the dialog.
    virtual bool store(Dialog& d) = 0;
    // Remembers the texts the items show now.
    void remember_texts(Dialog& d, std::initializer_list<int> items);
    // True while the item still shows the text it was given (an empty text
    // is never unchanged).
    bool untouched(int item) const;

    // A size (the dimension unit): empty gives 0, or the required-value
    // message with `required`; unreadable, negative or below `smallest`
    // gives the invalid-value message for `name`. An untouched field gives
    // `stored`.
    float read_dimension(int item, const char* name, double smallest, bool required, float stored) const;
    // A flexibility factor: -1 when empty; otherwise a real above 0 (a
    // factor of 0 would leave the bend without bending flexibility), else
    // the invalid-value message for "Flexibility factor".
    float read_flexibility_factor(int item, float stored) const;
    // A SIF: 0 when empty; a real above 0 ("SIF value" invalid), not below
    // 1.0 ("SIF value is less than 1.00"); 1.0 up to 1.0001 is 1.0001.
    float read_sif(int item, float stored) const;
    // An intermediate node of the row: 0 when empty. Refused with the node
    // error messages: a number the parser refuses (codes 1, 3, 4), a suffix
    // (6), the row's own node or a node that another row defined (7).
    int read_intermediate_node(int item) const;
    // Its angle: required ("Angle"), an angle ("Angle" invalid) and not
    // below 0.08 rad ("Angle" ... "is too small").
    float read_intermediate_angle(int item, float stored) const;

    // The end of an OK that stored: the row redrawn, the model modified, and
    // rebuilt when the geometry changed (or a change of the row's type asked
    // for it).
    void finish_store(bool geometry_changed);

    int row_;
    bool stored_ = false;

private:
    std::map<int, std::string> shown_;
};

// Runs an element dialog for a row with an undo snapshot taken first: true
// when the dialog stored something (the snapshot is kept), false otherwise
// (the dialog discarded it).
bool run_element_dialog(const DialogTemplate& t, ElementDialog& proc, WindowId owner);

// The dialog `Proc` of template `t` for a row; false for a row that does not exist.
template <typename Proc>
bool edit_element_row(const DialogTemplate& t, int row, WindowId owner)
{
    if (!model().rows.valid(row))
        return false;
    Proc proc(row);
    return run_element_dialog(t, proc, owner);
}

// The element object of a row of kind `etype`; null for a row of another kind.
template <typename T>
T* row_element_of(int row, int etype)
{
    const Model& m = model();
    if (!m.rows.valid(row) || m.rows[row].etype != etype)
        return nullptr;
    return dynamic_cast<T*>(m.rows[row].element.get());
}

// SELECT_DIALOG: the names of the model's pipe sections; the chosen one's
// index (1..), 0 on Cancel or without sections.
int choose_pipe_section(WindowId owner);

// The rows of one element kind's row list, as an input table shows them:
// row r of the table is layout row row_list[r]. Selecting a line highlights
// its element; the edit command opens the kind's dialog for that line's row
// and refocuses the table after OK; the popup offers Show or Edit and List
// under the kind's name.
class ElementRowsTable : public LayoutRowsTable {
public:
    ElementRowsTable(int list_id, const char* title, const char* kind_name, int columns, int header_lines,
                     std::vector<int> char_limits = {});

    // The table again from the kind's row list after a recount.
    void load();

    int row_node(int row) override;
    // The element's From and To nodes, as its columns 1 and 2 show them.
    std::vector<int> row_nodes(int row) override;
    void on_row_changed(int row) override;
    bool edit_row(int row) override;
    void context_menu(Point at) override;
    void contents_entry() override;
    // Measured as usual, then hide_columns.
    void measure_window(Surface& dc) override;
    void measure_print(Surface& dc) override;
    // Every form is write_report.
    void print() override;
    void print_text() override;
    void print_csv() override;

    // The table's report: nothing without rows; on graphic pages the table,
    // in a text report its text form, in CSV its CSV form.
    void write_report();

    // Opens the kind's dialog for a layout row; true when it stored.
    std::function<bool(int layout_row, WindowId owner)> open_dialog;
    // The popup offers the local-axes display (command 327) of the kinds
    // whose local axes are their own (beams, elastic elements).
    bool local_axes_item = false;

protected:
    // The text form: the title in the contents, the heading (again on every
    // new page), a line per listed row by `line` (table row, layout row), a rule.
    void print_text_lines(const ReportHeading& heading, const std::function<void(int row, int layout_row)>& line);
    // Sets the widths of the columns that do not apply now to 0.
    virtual void hide_columns() {}
    virtual void print_text_form() = 0;
    virtual void print_csv_form() = 0;

    int list_id_;
    const char* kind_name_;
};

// Shows a kind's table in the list window, at the current layout row when
// it is listed, and records it as the table opened last.
void open_element_rows_table(ElementRowsTable& table);
