// The editors of a material's property table over temperature: the grid
// under the Pipe Materials table, which edits the current material and
// writes back when the caret leaves it, and MATERIAL_PROPERTIES_DIALOG, which
// edits the material dialog's copy of the table. Both share the column
// layout (by FRP flag and piping code), the cell operations and the write-back
// that orders the rows by temperature.
#pragma once

#include "framework/ui/table.h"
#include "materials/pipe_material.h"

#include <cstdint>
#include <string>
#include <vector>

// What a grid column shows: the property field, its heading, unit quantity
// and the name its messages use; field -1 for a column that is not shown.
struct PropertyGridColumn {
    int field = -1;
    std::string heading;
    int quantity = 0;
    std::string name;
};
inline constexpr int PROPERTY_GRID_COLUMNS = 8;
// Grid column 1..8 for the FRP layout or a metal under a piping code.
PropertyGridColumn property_grid_column(int column, bool frp, int32_t code);

// A row of an editor's buffer: its values and when it was last changed (0:
// not changed since loading; larger is later).
struct PropertyGridRow {
    PropertyRow values{};
    int64_t edited = 0;
};

// The write-back: rows in strictly ascending temperature are taken as they
// are; otherwise the rows are sorted by temperature (stably), rows without a
// temperature are dropped, and of rows with equal temperatures the one
// changed last is kept (the later row when neither was changed). Rows with a
// temperature but no modulus - or, for FRP, no hoop or shear modulus - are
// dropped too: their temperatures are added to `dropped` so that the editor
// can say so first. Rows past MAXTEMPS are an internal error.
PropertyTable property_rows_write_back(const std::vector<PropertyGridRow>& rows, bool frp,
                                       std::vector<float>* dropped = nullptr);
// The rows of a write-back that would drop rows without a modulus.
std::vector<float> property_rows_without_modulus(const std::vector<PropertyGridRow>& rows, bool frp);

// The editor's table. Row r of the grid is buffer row r; the last row is the
// empty input row unless input is locked.
class PropertyGrid : public TableWindow {
public:
    explicit PropertyGrid(Frame* frame = nullptr);

    std::vector<PropertyGridRow> rows;   // rows[r - 1] is grid row r
    bool frp = false;
    bool modified = false;               // the table-modified flag
    // Grid under the materials table (true) or the properties dialog.
    bool in_list_window = false;

    // Loads rows 1..numtemps of a table; FRP layout as given.
    void load(const PropertyTable& table, bool frp_layout);
    // Writes back: says which rows without a modulus it drops (a warning),
    // then returns the ordered table.
    PropertyTable write_back(WindowId owner);

    std::string header_text(int column, int line) override;
    std::string cell_text(int row, int column, int line) override;
    bool cell_editable(int row, int column) override;
    // In the list window: whether the grid shows a stored material. The
    // record being typed in the materials' input row has none yet, and
    // nothing typed here could be kept, so the grid takes no input then.
    bool has_material = true;
    void measure_window(Surface& dc) override;
    void measure_print(Surface& dc) override;
    void store_cell(int row, int column, const std::string& text) override;
    bool on_key(int key, unsigned mods) override;
    void leave_row(int row) override;
    bool can_insert(int row) override;
    bool can_delete(int row) override;
    void insert_row(int row) override;
    void delete_row(int row) override;
    void context_menu(Point at) override;
    // F1 under the materials table: the page of the Material Properties
    // dialog, which says what the grid's columns hold.
    void on_help(WindowId owner) override;

private:
    void set_rows(int count);
    void hide_unused_columns();
    int64_t edit_clock_ = 0;
};

// The grid under the materials table, which edits the current material.
PropertyGrid& material_properties_grid();
// Loads the grid from a material (index 0: empty).
void load_material_properties_grid(int material);
// The caret left the grid: writes a changed table back into the material
// (not in results mode) and reloads the grid. False when nothing was stored.
bool commit_material_properties_grid();

// MATERIAL_PROPERTIES_DIALOG on an edit copy of a table: 1 when the copy
// was accepted (and possibly changed), 0 on Cancel or with input locked.
// `modified` is set when the copy changed.
int run_material_properties_dialog(PropertyTable& copy, bool frp, bool& modified, WindowId owner = 0);
