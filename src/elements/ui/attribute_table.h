// The input tables of the row attributes (jacket connections, flanges,
// branch SIFs, user SIFs, welds, threaded joints): one line per layout row
// that holds an attribute of the kind, in row order, the column "Node"
// first. Edit opens the kind's dialog (when it has one), Delete removes the
// attribute from its row, choosing a line makes its row the current layout
// row; the table prints as a table, a text report and CSV.
#pragma once

#include "framework/ui/report.h"
#include "framework/ui/table.h"
#include "model/data_item.h"
#include "model/ui/list_window.h"
#include "platform/backend.h"

#include <functional>
#include <string>
#include <vector>

class AttributeRowsTable : public LayoutRowsTable {
public:
    // `kind_name` names a row in the popup ("Flange"); `dtypes` are the data
    // types it lists (spiders and end caps share a list).
    AttributeRowsTable(int list_id, std::vector<int> dtypes, const char* title, const char* kind_name, int columns,
                       int header_lines = 1);

    // The table again from the kind's row list (the model rebuilt first
    // when it needs it), keeping the current layout row current.
    void load();
    DataItem* item(int row) const;

    std::string header_text(int column, int line) override;
    // Column 1 the node, the others the attribute's cell_text.
    std::string cell_text(int row, int column, int line) override;
    bool cell_editable(int, int) override { return false; }
    bool can_delete(int row) override;
    void delete_row(int row) override;
    bool edit_row(int row) override;
    void on_row_changed(int row) override;
    int row_node(int row) override;
    void context_menu(Point at) override;
    void contents_entry() override;
    void print() override;
    void print_text() override;
    void print_csv() override;

    // The report: nothing without rows; graphic pages print the table; the
    // text report and CSV print the heading and a line per row.
    void write_report();

    // The kind's dialog for a layout row; true when it stored. Empty for a
    // kind without a dialog.
    std::function<bool(int layout_row, WindowId owner)> open_dialog;
    // Column headings (1-based) on header line 0, and on line 1 when given.
    std::vector<std::string> headings;
    std::vector<std::string> second_headings;

protected:
    // The heading of the text and CSV forms.
    virtual ReportHeading report_heading() = 0;
    // One row's line (report_print_at, which makes cells in CSV mode).
    virtual void report_line(int layout_row, const DataItem& item) = 0;

    int list_id_;
    std::vector<int> dtypes_;
    const char* kind_name_;
};

// Shows an attribute table in the list window and records it as the table
// opened last.
void open_attribute_table(AttributeRowsTable& table);
