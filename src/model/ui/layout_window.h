// The layout window: the model's spreadsheet, the client of the main frame.
// One line per layout row and an empty input row at the end:
//
//   Node  Type  DX  DY  DZ  Material  Section  Load  Data  Description
//
// Node is the row's node (with "*" when the offsets of a row other than From
// are absolute coordinates); Type its element type; DX, DY, DZ its offsets in
// the length unit (the coordinates on a From row); Material, Section and Load
// the names of its records; Data its data item; Description the element's
// description (the text of a Comment row).
//
// A node typed into the input row appends a row: a From row when no element
// row comes before it, else a Pipe row that takes the names of the element
// row before it. Every stored cell rebuilds the model and marks it modified.
#pragma once

#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "model/data_item.h"
#include "model/element_data.h"

#include <array>
#include <functional>
#include <map>
#include <string>

enum LayoutColumn : int {
    LAYOUT_NODE = 1,
    LAYOUT_TYPE,
    LAYOUT_DX,
    LAYOUT_DY,
    LAYOUT_DZ,
    LAYOUT_MATERIAL,
    LAYOUT_SECTION,
    LAYOUT_LOAD,
    LAYOUT_DATA,
    LAYOUT_DESCRIPTION,
};
inline constexpr int LAYOUT_COLUMNS = LAYOUT_DESCRIPTION;

class LayoutTable : public TableWindow {
public:
    LayoutTable();

    std::string header_text(int column, int line) override;
    std::string cell_text(int row, int column, int line) override;
    bool cell_editable(int row, int column) override;
    std::string typing_refused(int row, int column) override;
    void filter_char(int column, std::string& ch) override;
    void store_cell(int row, int column, const std::string& text) override;
    bool can_insert(int row) override;
    bool can_delete(int row) override;
    void insert_row(int row) override;
    void delete_row(int row) override;
    bool edit_row(int row) override;
    // Copies offsets and coordinates with every digit, so that a paste puts
    // back exactly what was copied.
    std::string copy_row(int row) override;
    bool paste_row(int row, const std::vector<std::string>& cells) override;
    bool on_key(int key, unsigned mods) override;
    void on_row_changed(int row) override;
    void context_menu(Point at) override;
    int row_node(int row) override;
    void contents_entry() override;

private:
    bool exact_lengths_ = false;
};

LayoutTable& layout_table();
// The view that shows it in the main frame (made by create_layout_window).
TableView& layout_view();

// The dialogs the layout opens, registered by the subsystems that own the
// element kinds, data kinds and named records. Each takes the layout row and
// returns true when it stored something.
struct LayoutHooks {
    std::array<std::function<bool(int row)>, MAX_ETYPE + 1> element_dialog;
    std::array<std::function<bool(int row)>, MAX_DTYPE + 1> data_dialog;
    std::function<bool(int row)> material_dialog;
    std::function<bool(int row)> section_dialog;
    std::function<bool(int row)> load_dialog;
    // Who follows the current layout row (the graphics highlight it, an
    // open Sections table moves to its section), by name, so that a module
    // installed again follows it once.
    std::map<std::string, std::function<void(int row)>> row_changed;
};
LayoutHooks& layout_hooks();
// A hook of the dialog `Edit` (row, owner) owned by the layout window.
template <bool (*Edit)(int, WindowId)>
bool edit_from_layout(int row)
{
    return Edit(row, layout_frame().window);
}

// Makes the layout table the client of the main frame (which must exist) and
// loads it; destroy_layout_window takes it away again.
void create_layout_window();
void destroy_layout_window();
// Shows the model's rows again (after the model was replaced or edited
// outside the table), keeping the current row where it can.
void reload_layout_table();

// Makes the row the current row and scrolls the layout table to it.
void select_layout_row(int row);
// Gives the layout table the keyboard focus.
void focus_layout_table();
// The current layout row; 0 when the input row or no row is current.
int current_layout_row();

// ---- Rows --------------------------------------------------------------------------

// True for the element types whose rows name a material, section and load.
bool etype_has_names(int etype);
// True for the element types whose rows have a node and can hold a data item.
bool etype_has_node(int etype);
// True for the element types whose rows have offsets (or coordinates).
bool etype_has_offsets(int etype);

// The names a row carries.
enum NameField : int { FIELD_MATERIAL = 0, FIELD_SECTION = 1, FIELD_LOAD = 2 };

struct LayoutRow;
// The material, section or load name of a row.
std::string& row_name(LayoutRow& row, int field);

// Checks a typed material, section or load name for a row of the element
// type: at most 5 letters, digits, '-' or '/'; a name that the materials,
// sections or loads can look up must be defined. Throws a cell exception (CI)
// at the name's column.
void check_row_name(int field, int etype, const std::string& name);

// Gives a row another element type: its objects, names, node and data item
// follow the rules of the type (a From row keeps the node where it was, with
// its coordinates; a Comment row has no node and no data item). The row's
// element dialog opens when its kind has one, and the change stands only
// when that dialog closes with OK: until then the old element, with all its
// values, is kept, and Cancel (or Escape) leaves the row exactly as it was
// and the model as modified as it was. True when the type changed.
// A row with a data item does not become a bend, miter or jacketed bend,
// whose node is off the pipe (item_off_pipe_refusal; a CI at the Type column).
bool set_row_element_type(int row, int etype);
// Gives a row another data item (0 removes it), in the same way: the new
// item stands once its dialog closes with OK. The row must have a node on
// the pipe: not a bend's corner (item_off_pipe_refusal; a CI at the Data
// column). Every path that changes a row's kind comes here: the Type and
// Data cells, pasted rows, the Element types and Data types lists.
bool set_row_data_type(int row, int dtype);
// The dialog of a row's element or data item closed with OK: a change of
// the row's kind that waits for it stands (the element, data-item and
// support dialogs call this).
void row_kind_confirmed(int row);

// The element-type and data-type choosers: the chosen type, or -1 on Cancel.
int choose_element_type(WindowId owner, int current);
int choose_data_type(WindowId owner, int current);
// The commands "Element &types..." and "&Data types..." on the current row.
void element_types_command(WindowId owner);
void data_types_command(WindowId owner);

// Finds a node in the layout table (FIND_NODE_DIALOG).
void layout_find_node_command();
