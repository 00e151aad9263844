// What the result tables of the results window share: the window class of a
// result (TableWindow) that records itself as the current result when it is
// shown, adds and removes the menu items of its kind when it enters and
// leaves the window, takes Tab (next result), Left and Right (previous and
// next load case) and the right button, refreshes when the load case
// changes, and prints in three forms: graphic pages (table_print), the
// text report and CSV, which each table writes in its own columns. Export
// (351) writes the CSV form.
//
// Column widths: columns listed together in `equal_widths` take their
// common maximum; columns in `hidden` have width 0.
#pragma once

#include "framework/number_text.h"
#include "framework/ui/table.h"
#include "framework/units.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// The menu items and popup a result table brings.
enum class ResultMenus {
    Plain,           // the results items only
    LoadCases,       // with the load-case items
    Forces,          // the element-force items (local or global, other forces)
    Supports,        // the support items (other supports) and load cases
    Summary,         // the per-support summary (other supports, no load cases)
    Displacements,   // the displacement items (other displacements) and load cases
};

class ResultTable : public TableWindow {
public:
    ResultTable(int result_kind, int columns, int header_lines, int text_lines = 1);

    int result_kind;
    // The page of the user guide on the table (ResultPageId, result_pages.h);
    // without one F1 opens the guide's topic on the results.
    int guide_page = -1;
    ResultMenus menus = ResultMenus::LoadCases;
    std::vector<std::pair<int, int>> equal_widths;
    std::vector<int> hidden;

    // Shows the table as the current result: its rows and title (refresh),
    // row `select` current (0 keeps the current row).
    void show(int select = 0);
    // Reads what the table shows for the current load case, sets the title
    // and the row count. The default does nothing.
    virtual void refresh() {}
    // The title of the printed table ("Loads on Restraints: Sustained (W+P)").
    virtual std::string print_title() { return title; }
    // Number of rows printed.
    virtual int print_count() { return row_count; }
    // Reads what a print of the current load case shows (whether the table
    // is shown or not) and sets the title and row count; false when there
    // is nothing to print. The default prints what the table holds.
    virtual bool prepare_print() { return true; }
    // The layout row the graphics highlight for a table row (0 none).
    virtual int highlight_layout_row(int /*row*/) { return 0; }

    void on_enter() override;
    void on_leave() override;
    bool on_key(int key, unsigned mods) override;
    void on_row_changed(int row) override;
    void on_load_case_changed() override;
    void context_menu(Point at) override;
    void on_help(WindowId owner) override;
    void measure_window(Surface& dc) override;
    void measure_print(Surface& dc) override;
    // Graphic pages, text report or CSV by the report state.
    void print() override;
    void print_text() override {}
    void print_csv() override {}

protected:
    // The widths after measuring: the equal groups, then the hidden columns.
    void adjust_widths();
};

// A result table whose rows are layout rows (the supports of a kind): row
// r shows layout row rows[r - 1], the graphics highlight that row and find
// node matches its node.
class LayoutRowsResultTable : public ResultTable {
public:
    using ResultTable::ResultTable;
    std::vector<int> rows;

    int layout_row(int row) const;
    int highlight_layout_row(int row) override { return layout_row(row); }
    int row_node(int row) override;
    int print_count() override { return static_cast<int>(rows.size()); }
};

// More than one element-force kind has elements (the force tables' other
// forces items).
bool several_force_kinds();

// A table made at its first use in a slot of its module's state.
template <typename T>
T& lazy_table(std::unique_ptr<TableWindow>& slot)
{
    if (!slot)
        slot = std::make_unique<T>();
    return static_cast<T&>(*slot);
}

// Appends an item to a popup.
void add_popup_item(MenuItem& popup, const std::string& text, int id);

// ---- Text-report helpers ---------------------------------------------------------------------

// A table of the text report (ReportTable, report.h): `header` where it
// begins, with `keep` lines of its rows (a new page first when they do not
// fit), and at the top of every page its rows go on to; the contents line at its
// level (1 for a table of a load case, under its part's heading); then each
// row `write_row(r)`, a row of `row_lines` lines (when > 0) kept on one
// page; a final rule unless at the top of a page. With `rows_apart` the
// rows are written on a few threads (ReportRowsApart, report.h), which
// write_row must allow. In CSV the same calls write the cells.
void report_rows(int keep, const std::function<void()>& header, const std::string& contents, int contents_level,
                 int count, const std::function<void(int row)>& write_row, int row_lines = 0, bool rows_apart = false);
// The same with rows of their own line counts: row r, of `lines_of(r)`
// lines (a row with the notes under it), is kept on one page.
void report_rows_kept(int keep, const std::function<void()>& header, const std::string& contents,
                      int contents_level, int count, const std::function<void(int row)>& write_row,
                      const std::function<int(int row)>& lines_of, bool rows_apart = false);
// The text right-aligned ending at `end`, when not empty.
void report_right(std::string_view text, int end);
// A node's text (node_text) at `column` of the text report.
void report_node_at(int number, int column);
// The text a writer of units.h (write_stress, write_angle...) makes into
// the buffer it is given, right-aligned ending at `end`, when it is not empty.
template <typename Write>
void report_written_right(Write&& write, int end)
{
    char text[NUMBER_TEXT_SIZE];
    report_right(std::string_view(text, static_cast<std::size_t>(write(text) - text)), end);
}
// The contents entry (level 1) of a table printed for the current load
// case: the text, ": " and the case's name, which its page heading shows.
void add_load_case_contents_entry(const std::string& text);
// A number right-aligned ending at `end` (report_real_right), when it is a
// number: one that is not shows nothing, as its empty text would.
void report_number_right(const ShownReal& shown, int end);
// A value cell of CSV (csv_add_cell) for each text.
void csv_cells(std::initializer_list<std::string> texts);
// The CSV form of a plain table: `first_line`, the headings of line 0, then
// each row's cells, value cells (csv_add_cell) in the columns `values` names
// and text cells in the others; a final rule.
void csv_plain_table(TablePrint& t, const std::string& first_line, int rows, const std::vector<int>& values);
