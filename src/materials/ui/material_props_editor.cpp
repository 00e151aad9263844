#include "materials/ui/material_props_editor.h"

#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/frame.h"
#include "framework/ui/help.h"
#include "framework/ui/messages.h"
#include "framework/units.h"
#include "materials/ui/dialogs_materials.h"
#include "model/piping_codes.h"

#include <algorithm>
#include <numeric>

namespace {

// Parse and format by the unit quantity of a column.
int parse_quantity(int q, const std::string& text, float& out)
{
    switch (q) {
    case TEMPERATURE: return parse_temperature(text, out);
    case MODULUS: return parse_modulus(text, out);
    case EXPANSION: return parse_expansion(text, out);
    case STRESS: return parse_stress(text, out);
    default: return parse_real(text, out);
    }
}

std::string format_quantity(int q, double v)
{
    if (v == 0.0)
        return {};
    switch (q) {
    case TEMPERATURE: return format_temperature(v);
    case MODULUS: return format_modulus(v);
    case EXPANSION: return format_expansion(v);
    case STRESS: return format_stress(v);
    default: return format_g5(v);
    }
}

bool row_lacks_modulus(const PropertyRow& r, bool frp)
{
    return r[PROP_MODULUS] == 0.0f ||
           (frp && (r[PROP_HOOP_MODULUS] == 0.0f || r[PROP_SHEAR_MODULUS] == 0.0f));
}

}  // namespace

PropertyGridColumn property_grid_column(int column, bool frp, int32_t code)
{
    if (frp) {
        switch (column) {
        case 1: return {PROP_TEMPERATURE, "Temp", TEMPERATURE, "Temperature"};
        case 2: return {PROP_MODULUS, "Axial Mod.", MODULUS, "Modulus"};
        case 3: return {PROP_HOOP_MODULUS, "Hoop Mod.", MODULUS, "Modulus"};
        case 4: return {PROP_SHEAR_MODULUS, "Shear Mod.", MODULUS, "Modulus"};
        case 5: return {PROP_ALPHA, "Alpha", EXPANSION, "Alpha"};
        case 6: return {PROP_STRESS1, "Hoop All.", STRESS, "Hoop Allowable stress"};
        case 7: return {PROP_STRESS2, "Torsional All.", STRESS, "Torsional Allowable stress"};
        case 8: return {PROP_STRESS3, "Axial All.", STRESS, "Axial Allowable stress"};
        default: return {};
        }
    }
    const bool bs806 = code == CODE_BS806;
    switch (column) {
    case 1: return {PROP_TEMPERATURE, "Temp", TEMPERATURE, "Temperature"};
    case 2: return {PROP_MODULUS, "E", MODULUS, "Modulus"};
    case 3: return {PROP_ALPHA, "Alpha", EXPANSION, "Alpha"};
    case 4:
        if (code_is_canadian(code))
            return {};
        if (code_is_one_of(code, {CODE_B314, CODE_B318, CODE_STOOMWEZEN, CODE_IGEM}))
            return {PROP_STRESS2, "Yield", STRESS, "Yield stress"};
        return {PROP_STRESS1,
                bs806                   ? "Design"
                : code == CODE_EN13480  ? "f"
                : code == CODE_CODETI   ? "fh"
                                        : "Allowable",
                STRESS, bs806 ? "Design stress" : "Allowable stress"};
    case 5:
        if (code_is_one_of(code, {CODE_ASME_CLASS2_1986, CODE_ASME_CLASS2_1992, CODE_ASME_CLASS2_2015,
                                  CODE_ASME_CLASS2_2017, CODE_ASME_CLASS3_2017}))
            return {PROP_STRESS2, "Yield", STRESS, "Yield stress"};
        if (bs806)
            return {PROP_STRESS2, "Proof", STRESS, "Proof stress"};
        if (code == CODE_STOOMWEZEN)
            return {PROP_STRESS3, "Rupture", STRESS, "Rupture stress"};
        if (code == CODE_CODETI || code == CODE_EN13480)
            return {PROP_STRESS3, "fCR", STRESS, "Rupture stress"};
        return {};
    case 6:
        if (bs806)
            return {PROP_STRESS3, "Rupture", STRESS, "Rupture stress"};
        return {};
    default: return {};
    }
}

std::vector<float> property_rows_without_modulus(const std::vector<PropertyGridRow>& rows, bool frp)
{
    std::vector<float> out;
    for (const PropertyGridRow& r : rows)
        if (r.values[PROP_TEMPERATURE] != 0.0f && row_lacks_modulus(r.values, frp))
            out.push_back(r.values[PROP_TEMPERATURE]);
    return out;
}

PropertyTable property_rows_write_back(const std::vector<PropertyGridRow>& rows, bool frp,
                                       std::vector<float>* dropped)
{
    std::vector<PropertyGridRow> kept;
    for (const PropertyGridRow& r : rows) {
        if (r.values[PROP_TEMPERATURE] == 0.0f)
            continue;
        if (row_lacks_modulus(r.values, frp)) {
            if (dropped)
                dropped->push_back(r.values[PROP_TEMPERATURE]);
            continue;
        }
        kept.push_back(r);
    }
    std::stable_sort(kept.begin(), kept.end(), [](const PropertyGridRow& a, const PropertyGridRow& b) {
        return a.values[PROP_TEMPERATURE] < b.values[PROP_TEMPERATURE];
    });
    std::vector<const PropertyGridRow*> table;
    for (const PropertyGridRow& r : kept) {
        if (!table.empty() && table.back()->values[PROP_TEMPERATURE] == r.values[PROP_TEMPERATURE]) {
            // Equal temperatures: the row changed last wins; of two rows
            // changed alike the later one.
            if (r.edited >= table.back()->edited)
                table.back() = &r;
            continue;
        }
        table.push_back(&r);
    }
    const int k = static_cast<int>(table.size());
    KV_ASSERT(k <= MAX_FILE_TEMPS);
    PropertyTable out(k);
    for (int i = 1; i <= k; ++i)
        out[i] = table[static_cast<std::size_t>(i - 1)]->values;
    return out;
}

// ---- The grid ----------------------------------------------------------------------------

PropertyGrid::PropertyGrid(Frame* frame)
    : TableWindow(frame, PROPERTY_GRID_COLUMNS, 2, {12, 12, 12, 12, 12, 12, 12, 12})
{
    for (int c = 1; c <= PROPERTY_GRID_COLUMNS; ++c)
        alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
}

void PropertyGrid::set_rows(int count)
{
    rows.resize(static_cast<std::size_t>(std::max(count, 1)));
    table_set_row_count(*this, static_cast<int>(rows.size()));
}

void PropertyGrid::load(const PropertyTable& table, bool frp_layout)
{
    frp = frp_layout;
    rows.clear();
    for (const PropertyRow& r : table)
        rows.push_back(PropertyGridRow{r, 0});
    input_row = !input_locked();
    if (input_row)
        rows.push_back(PropertyGridRow{});
    set_rows(static_cast<int>(rows.size()));
    modified = false;
    edit_clock_ = 0;
    measure_needed = true;
    table_set_row(*this, 1);
}

PropertyTable PropertyGrid::write_back(WindowId owner)
{
    // Both editors write back every row, the input row included: a row
    // typed there and accepted with OK is kept (an empty one is dropped).
    const std::vector<PropertyGridRow>& source = rows;
    const std::vector<float> lacking = property_rows_without_modulus(source, frp);
    if (!lacking.empty()) {
        std::string text = "These temperatures have no ";
        text += frp ? "axial, hoop or shear modulus" : "modulus";
        text += " and are dropped:";
        for (float t : lacking)
            text += "\n" + format_temperature(t);
        message_warning(owner, message_clamp_lines(text));
    }
    return property_rows_write_back(source, frp);
}

std::string PropertyGrid::header_text(int column, int line)
{
    const PropertyGridColumn c = property_grid_column(column, frp, piping_code());
    if (c.field < 0)
        return {};
    return line == 0 ? c.heading : unit_label(c.quantity);
}

std::string PropertyGrid::cell_text(int row, int column, int line)
{
    const PropertyGridColumn c = property_grid_column(column, frp, piping_code());
    if (line != 0 || c.field < 0 || row < 1 || row > static_cast<int>(rows.size()))
        return {};
    return format_quantity(c.quantity, rows[static_cast<std::size_t>(row - 1)].values[static_cast<std::size_t>(c.field)]);
}

bool PropertyGrid::cell_editable(int, int column)
{
    if (in_list_window && !has_material)
        return false;
    return property_grid_column(column, frp, piping_code()).field >= 0;
}

// Columns the code does not use take no room, on screen or on paper.
void PropertyGrid::hide_unused_columns()
{
    for (int c = 1; c <= PROPERTY_GRID_COLUMNS; ++c)
        if (property_grid_column(c, frp, piping_code()).field < 0)
            widths[static_cast<std::size_t>(c)] = 0;
}

void PropertyGrid::measure_window(Surface& dc)
{
    TableWindow::measure_window(dc);
    hide_unused_columns();
}

void PropertyGrid::measure_print(Surface& dc)
{
    TableWindow::measure_print(dc);
    hide_unused_columns();
}

void PropertyGrid::store_cell(int row, int column, const std::string& text)
{
    const PropertyGridColumn c = property_grid_column(column, frp, piping_code());
    if (c.field < 0 || row < 1 || row > static_cast<int>(rows.size()))
        return;
    float value = 0.0f;
    item_text() = text;
    if (parse_quantity(c.quantity, text, value) != 0)
        throw_invalid(c.name);
    PropertyGridRow& r = rows[static_cast<std::size_t>(row - 1)];
    float& slot = r.values[static_cast<std::size_t>(c.field)];
    if (slot == value)
        return;
    slot = value;
    r.edited = ++edit_clock_;
    modified = true;
}

void PropertyGrid::on_help(WindowId owner)
{
    help_page(MATERIAL_PROPERTIES_DIALOG.name, owner, std::string("window-list"));
}

bool PropertyGrid::on_key(int key, unsigned mods)
{
    // Tab past the last cell of the last row goes on to a new row, as Enter does.
    const int row = current_row, column = current_column;
    const bool used = TableWindow::on_key(key, mods);
    if (key == KEY_TAB && mods == MOD_NONE && row == row_count && current_row == row && current_column == column &&
        !edit.active)
        table_leave(*this);
    return used;
}

void PropertyGrid::leave_row(int row)
{
    if (row < 1 || row > static_cast<int>(rows.size()))
        return;
    // Without a material the grid holds nothing to take.
    if (in_list_window && !has_material) {
        beep();
        return;
    }
    PropertyRow& v = rows[static_cast<std::size_t>(row - 1)].values;
    if (v[PROP_TEMPERATURE] == 0.0f)
        throw_cell_required("Temperature", 1);
    if (v[PROP_MODULUS] == 0.0f)
        throw_cell_required("Modulus", 2);
    if (v[PROP_ALPHA] == 0.0f)
        v[PROP_ALPHA] = ENTERED_ZERO;
    if (frp && v[PROP_HOOP_MODULUS] == 0.0f)
        throw_cell_required("Modulus", 3);
    if (frp && v[PROP_SHEAR_MODULUS] == 0.0f)
        throw_cell_required("Modulus", 4);
    if (row == static_cast<int>(rows.size())) {
        if (row_count >= MAXTEMPS)
            throw_message("Maximum number of temperatures exceeded");
        set_rows(row_count + 1);
        table_goto_row(*this, row_count, 1);
    } else {
        table_goto_row(*this, row + 1, 1);
    }
}

bool PropertyGrid::can_insert(int row)
{
    return !input_locked() && row_count < MAXTEMPS && row < static_cast<int>(rows.size()) && row >= 1 &&
           rows[static_cast<std::size_t>(row - 1)].values[PROP_TEMPERATURE] != 0.0f;
}

bool PropertyGrid::can_delete(int row)
{
    return !input_locked() && row >= 1 && row <= static_cast<int>(rows.size());
}

void PropertyGrid::insert_row(int row)
{
    if (row_count >= MAXTEMPS) {
        beep();
        return;
    }
    if (!can_insert(row))
        return;
    rows.insert(rows.begin() + (row - 1), PropertyGridRow{});
    set_rows(static_cast<int>(rows.size()));
    modified = true;
}

void PropertyGrid::delete_row(int row)
{
    if (!can_delete(row))
        return;
    if (row < static_cast<int>(rows.size())) {
        rows.erase(rows.begin() + (row - 1));
        set_rows(static_cast<int>(rows.size()));
    } else {
        rows[static_cast<std::size_t>(row - 1)] = PropertyGridRow{};
    }
    modified = true;
}

void PropertyGrid::context_menu(Point)
{
    table_popup_menu(*this, table_popup_insert_delete(*this));
}

// ---- The dialog ------------------------------------------------------------------------------

namespace {

struct PropertiesDialog final : InputDialogProc {
    PropertyTable& copy;
    bool frp;
    bool changed = false;
    PropertyGrid grid;
    std::unique_ptr<TableView> view;

    PropertiesDialog(PropertyTable& c, bool f) : copy(c), frp(f) {}

    void init(Dialog& d) override
    {
        grid.in_list_window = false;
        grid.load(copy, frp);
        // Between 10 and 20 rows show, and every column.
        view = table_create_in_dialog(d, MATPROP_GRID, grid, std::clamp(grid.row_count, 10, 20));
        center_window(d);
    }
    void command(Dialog&, int id, int) override
    {
        if (id == 126)
            table_delete(grid);
        else if (id == 128)
            table_insert(grid);
    }
    bool ok(Dialog& d) override
    {
        if (input_locked()) {
            d.end(0);
            return false;
        }
        if (!table_end_edit(grid))
            return false;
        if (grid.modified) {
            copy = grid.write_back(d.window());
            changed = true;
        }
        d.end(1);
        return false;
    }
    bool cancel(Dialog& d) override
    {
        grid.modified = false;
        d.end(0);
        return false;
    }
};

}  // namespace

int run_material_properties_dialog(PropertyTable& copy, bool frp, bool& modified, WindowId owner)
{
    PropertiesDialog proc(copy, frp);
    const int result = run_dialog(MATERIAL_PROPERTIES_DIALOG, proc, owner);
    modified = proc.changed;
    return result == 1 ? 1 : 0;
}

// ---- The grid under the materials table ----------------------------------------------------

namespace {


}  // namespace

namespace {

// The grid of the list window's material page.
struct ListWindowGrid {
    PropertyGrid grid{&list_frame()};
    int material = 0;   // the material the grid shows; 0: none
};

}  // namespace

PropertyGrid& material_properties_grid()
{
    PropertyGrid& grid = session_part<ListWindowGrid>().grid;
    grid.in_list_window = true;
    return grid;
}

void load_material_properties_grid(int material)
{
    PropertyGrid& grid = material_properties_grid();
    if (grid.modified)
        commit_material_properties_grid();   // never reload over rows not yet written back
    session_part<ListWindowGrid>().material = pipe_materials().valid(material) ? material : 0;
    grid.has_material = session_part<ListWindowGrid>().material != 0;
    if (session_part<ListWindowGrid>().material == 0) {
        grid.load(PropertyTable{}, false);
        return;
    }
    const PipeMaterial& m = pipe_materials()[session_part<ListWindowGrid>().material];
    grid.load(m.table, m.frp != 0);
}

bool commit_material_properties_grid()
{
    PropertyGrid& grid = material_properties_grid();
    if (!grid.modified || input_locked() || !pipe_materials().valid(session_part<ListWindowGrid>().material)) {
        grid.modified = false;
        return false;
    }
    PropertyTable table = grid.write_back(list_frame().window);
    grid.modified = false;
    PipeMaterial& m = pipe_materials()[session_part<ListWindowGrid>().material];
    m.table = std::move(table);
    model_modified() = true;
    // The caret keeps its place in the reloaded (sorted) rows.
    const int row = grid.current_row, column = grid.current_column;
    grid.load(m.table, m.frp != 0);
    if (row >= 1 && grid.row_count >= 1) table_set_row(grid, std::min(row, grid.row_count));
    if (column >= 1 && column <= grid.columns()) grid.current_column = column;
    return true;
}
