// The input tables of the support kinds ("Anchors", "Restraints", ...): one
// line per layout row that holds a support of the kind, in row order, with
// the column "Node" first and a column per value, its unit under the
// heading. A typed cell is read with the dialog's parser and field name,
// checked with the kind's checks and stored only when it changes the value;
// Edit opens the row's dialog, Delete removes the support from its row, Copy
// and Paste copy one row's values to another row of the kind. The table
// prints as a table, as a text report and as CSV.
#pragma once

#include "framework/ui/table.h"
#include "model/ui/list_window.h"
#include "platform/backend.h"
#include "supports/support_item.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct SupportColumn {
    std::string heading;
    int quantity = 0;          // the unit shown under the heading (0: none)
    int second_quantity = 0;   // a second unit after it ("(lb/in) / (in-lb/rad)")
    std::string unit_text;     // a text under the heading instead, such as "(%)"
    int limit = 0;             // typing limit; 0: not typed into
    // Stores the typed text (item_text() holds it without outer blanks) into
    // a copy of the row's support; throws a message text for a bad value.
    std::function<void(SupportItem& item, int layout_row)> store;
    // A column of nodes: the node number it shows of a support (0 for none).
    std::function<int(SupportItem& item)> node;
};

struct SupportKindUi {
    int dtype = 0;
    std::string name;                     // "Anchor"
    std::string title;                    // "Anchors"
    std::vector<SupportColumn> columns;   // columns 2..n (column 1 is "Node")
    // The kind's dialog on a layout row; true when it stored a change.
    std::function<bool(int row, WindowId owner)> edit;
    // The kind's value checks of a whole support (throws a message text).
    std::function<void(const SupportItem& item)> check;
};

class SupportTable final : public LayoutRowsTable {
public:
    explicit SupportTable(const SupportKindUi& kind);

    const SupportKindUi& kind() const { return kind_; }
    // Lists the kind's rows again, keeping the current layout row current.
    void load();
    SupportItem* item(int row) const;

    std::string header_text(int column, int line) override;
    std::string cell_text(int row, int column, int line) override;
    bool cell_editable(int row, int column) override;
    void store_cell(int row, int column, const std::string& text) override;
    bool can_delete(int row) override;
    void delete_row(int row) override;
    bool edit_row(int row) override;
    std::string copy_row(int row) override;
    bool paste_row(int row, const std::vector<std::string>& cells) override;
    void on_row_changed(int row) override;
    int row_node(int row) override;
    // The row's node and those of its node columns (the connected node).
    std::vector<int> row_nodes(int row) override;
    void context_menu(Point at) override;
    void print() override;
    void print_text() override;
    void print_csv() override;
    void contents_entry() override;

private:
    const SupportKindUi& kind_;
};

// ---- Columns ------------------------------------------------------------------------

// A column only shown.
SupportColumn shown_column(std::string heading, int quantity = 0, std::string unit_text = {});
// The tag: at most 14 characters ("Tag =  <text>  is invalid").
SupportColumn tag_column(std::function<std::string&(SupportItem&)> tag);
// A value read by its parser in its quantity's unit; an empty cell is
// `empty`; a refused text (or a negative value with `not_negative`) gives
// "<name> =  <text>  is invalid".
SupportColumn value_column(std::string heading, int quantity, const char* name, int (*parser)(float&), float empty,
                           std::function<float&(SupportItem&)> field, bool not_negative = false);
// The connected node: an existing node other than the row's own.
SupportColumn connected_column(std::function<int32_t&(SupportItem&)> field);

// Installs a kind's input: its table (a data list of the list window), its
// dialog as the layout's dialog of its data type.
void install_support_kind_ui(SupportKindUi kind);
// The table of a data type installed so; null for another.
SupportTable* support_table(int dtype);
// Shows the table of a data type in the list window.
void open_support_table(int dtype);
// The dialog of the support on a layout row (push the undo snapshot first);
// true when it stored a change.
bool edit_support(int row, WindowId owner);
