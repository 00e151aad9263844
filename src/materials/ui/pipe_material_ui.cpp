#include "materials/ui/pipe_material_ui.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/frame.h"
#include "framework/ui/messages.h"
#include "framework/ui/report.h"
#include "framework/units.h"
#include "materials/beam_material.h"
#include "materials/pipe_material_merge.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/material_props_editor.h"
#include "materials/ui/material_report.h"
#include "materials/ui/pipe_material_library.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/piping_codes.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/ui/named_set_ui.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace {

constexpr int NAME_LIMIT = 5;
constexpr int COL_NAME = 1, COL_DESCRIPTION = 2, COL_TYPE = 3, COL_DENSITY = 4, COL_NU = 5, COL_JOINT = 6,
              COL_CIRC = 7, COL_STRENGTH = 8;
constexpr int TABLE_COLUMNS = 8;

// Stoomwezen and the Canadian codes take no material type.
bool code_has_type(int32_t c) { return c != CODE_STOOMWEZEN && !code_is_canadian(c); }
bool code_has_strength(int32_t c) { return !material_strength_label(c).empty(); }

std::string factor_text(float v)
{
    if (v == 0.0f)
        return {};
    std::string s = format_real(v, 5, 2);
    trim_blanks(s);
    return s;
}

// ---- Checks shared by the dialog and the table ----------------------------------------

// The name rules of a material at `index` (0: none yet).
void check_material_name(const std::string& name, int index)
{
    check_entry_name(PIPE_MATERIALS, name, index);
}

// "" when Nu may go with the FRP flag, else the message. A Nu of -1 or below
// would make the shear modulus E / (2 (1 + Nu)) infinite or negative.
std::string nu_problem(float nu, bool frp)
{
    if (nu >= 0.5f && !frp)
        return "Nu should be < 0.5";
    if (nu <= -1.0f)
        return "Nu should be > -1";
    return {};
}

// An FRP material's rows need the hoop and shear moduli that the elements
// divide by; "" when they are there.
std::string frp_table_problem(const PropertyTable& table, bool frp)
{
    if (!frp)
        return {};
    for (const PropertyRow& r : table) {
        if (r[PROP_HOOP_MODULUS] == 0.0f)
            return "Hoop modulus is required at " + format_temperature(r[PROP_TEMPERATURE]) + " " +
                   unit_label(TEMPERATURE);
        if (r[PROP_SHEAR_MODULUS] == 0.0f)
            return "Shear modulus is required at " + format_temperature(r[PROP_TEMPERATURE]) + " " +
                   unit_label(TEMPERATURE);
    }
    return {};
}

// A joint factor from `item_text()`: empty gives 1.0; 0 < value <= 1.
float read_joint_factor()
{
    if (item_text().empty())
        return 1.0f;
    float v = 0.0f;
    if (parse_real_buffer(v) != 0 || !(v > 0.0f) || v > 1.0f)
        throw_invalid("Joint factor");
    return v;
}

float read_strength(int32_t code)
{
    float v = 0.0f;
    if (parse_stress_buffer(v) != 0)
        throw_invalid(material_strength_label(code));
    return v;
}

bool same_table(const PropertyTable& a, const PropertyTable& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

bool material_differs(const PipeMaterial& a, const PipeMaterial& b)
{
    return a.name != b.name || a.description != b.description || a.type != b.type || a.density != b.density ||
           a.nu != b.nu || a.joint_factor != b.joint_factor || a.circ_joint_factor != b.circ_joint_factor ||
           a.strength != b.strength || !same_table(a.table, b.table);
}

// ---- The material dialog ------------------------------------------------------------------

class MaterialDialog final : public InputDialogProc {
public:
    MaterialDialog(int index, std::string new_name, const PipeMaterial* typed)
        : index_(index), new_name_(std::move(new_name)), typed_(typed ? std::optional<PipeMaterial>(*typed) : std::nullopt)
    {
    }

    int stored = 0;

    void init(Dialog& d) override
    {
        const int32_t code = piping_code();
        d.set_caption(c_format(d.templ().caption.c_str(), index_));
        if (code_has_type(code)) {
            dialog_list_reset(MAT_TYPE);
            for (int i = 0; i < MATERIAL_TYPE_COUNT; ++i)
                dialog_list_add(material_type_name(i));
            dialog_list_select(MAT_TYPE, 0);
        }
        dialog_set_unit_label(MAT_DENSITY_UNIT, DENSITY);
        const MaterialStrengthField* strength = material_strength_field(code);
        if (d.has_item(MAT_STRENGTH_LABEL) && strength)
            dialog_set_text(MAT_STRENGTH_LABEL, strength->dialog_label);
        if (d.has_item(MAT_STRENGTH_UNIT)) {
            if (strength && strength->unit_shown)
                dialog_set_unit_label(MAT_STRENGTH_UNIT, STRESS);
            else
                dialog_hide(MAT_STRENGTH_UNIT);
        }

        PipeMaterial m = record();
        if (!pipe_materials().valid(index_)) {
            if (typed_)
                m = *typed_;
            if (!new_name_.empty() || !typed_)
                m.name = new_name_;
        }
        fill(d, m);
        copy_ = m.table;
        table_modified_ = false;

        if (material_library_mode()) {
            dialog_disable(MAT_NAME);
            dialog_hide(MAT_LIBRARY);
            dialog_set_focus(MAT_DESCRIPTION);
        } else {
            dialog_select_focus(MAT_NAME);
        }
        if (input_locked()) {
            for (int id = MAT_NAME; id <= MAT_STRENGTH; ++id)
                if (d.has_item(id))
                    dialog_set_readonly(id);
            dialog_disable(MAT_TYPE);
            dialog_hide(MAT_LIBRARY);
            dialog_set_focus(IDOK);
        }
        center_window(d);
    }

    void command(Dialog& d, int id, int) override
    {
        if (id == MAT_PROPERTIES) {
            bool changed = false;
            const bool frp = dialog_list_selection(MAT_TYPE) == FRP_TYPE_INDEX;
            run_material_properties_dialog(copy_, frp, changed, d.window());
            table_modified_ = table_modified_ || changed;
            dialog_set_focus(IDOK);
        } else if (id == MAT_LIBRARY && !input_locked()) {
            if (numlibmats() == 0 && !open_material_library(d.window()))
                return;
            if (numlibmats() == 0)
                return;
            const int pick = run_library_use_dialog(d.window());
            if (pick == 0)
                return;
            const PipeMaterial picked = material_library().records[pick];
            check_library_material(picked);
            // Library records have no names: the name the field holds, as
            // typed, stays.
            dialog_get_text(MAT_NAME);
            const std::string typed_name = item_text();
            fill(d, picked);
            copy_ = picked.table;
            table_modified_ = true;
            dialog_set_text_limit(MAT_NAME, picked.name.empty() ? typed_name : picked.name, NAME_LIMIT);
            dialog_select_focus(MAT_NAME);
        }
    }

    bool ok(Dialog& d) override
    {
        if (input_locked()) {
            d.end(0);
            return false;
        }
        const int32_t code = piping_code();
        const PipeMaterial old = record();
        PipeMaterial m = old;

        if (!material_library_mode()) {
            dialog_get_text(MAT_NAME);
            m.name = item_text();
            check_material_name(m.name, pipe_materials().valid(index_) ? index_ : 0);
        }
        dialog_get_record_text(MAT_DESCRIPTION, MATERIAL_DESCRIPTION_LENGTH);
        if (item_text().empty())
            throw_required("Description");
        m.description = item_text();

        // Codes without a type list keep the type the material has (an FRP
        // material stays FRP).
        if (code_has_type(code)) {
            const int type = dialog_list_selection(MAT_TYPE);
            m.set_type(type > 0 ? material_type_code(type) : "");
        }

        dialog_get_text(MAT_DENSITY);
        m.density = 0.0f;
        if (parse_density_buffer(m.density) != 0)
            throw_invalid("Density");

        dialog_get_text(MAT_NU);
        m.nu = 0.0f;
        if (parse_real_buffer(m.nu) != 0)
            throw_invalid("Nu");
        if (const std::string p = nu_problem(m.nu, m.frp != 0); !p.empty())
            dialog_throw(MAT_NU, p);

        dialog_get_text(MAT_JOINT_FACTOR);
        m.joint_factor = read_joint_factor();
        if (code_is_nordic(code)) {
            dialog_get_text(MAT_CIRC_JOINT_FACTOR);
            m.circ_joint_factor = read_joint_factor();
        }
        if (code_has_strength(code) && d.has_item(MAT_STRENGTH)) {
            dialog_get_text(MAT_STRENGTH);
            m.strength = read_strength(code);
        }
        m.table = copy_;
        if (const std::string p = frp_table_problem(m.table, m.frp != 0); !p.empty())
            dialog_throw(MAT_PROPERTIES, p);

        if (pipe_materials().valid(index_) && !material_differs(m, old)) {
            if (!table_modified_)
                discard_undo_snapshot();
            stored = 1;
            d.end(1);
            return false;
        }
        if (!material_library_mode() && pipe_materials().valid(index_) &&
            !confirm_entry_rename(PIPE_MATERIALS, d.window(), "Material name", old.name, m.name)) {
            dialog_set_text(MAT_NAME, old.name);
            dialog_throw(MAT_NAME, "");
        }
        if (m.circ_joint_factor == 0.0f)
            m.circ_joint_factor = 1.0f;
        if (material_library_mode())
            m.name.clear();
        if (pipe_materials().valid(index_))
            pipe_materials()[index_] = std::move(m);
        else
            index_ = pipe_materials().push_back(std::move(m));
        model_modified() = true;
        stored = 1;
        d.end(1);
        return false;
    }

    bool cancel(Dialog& d) override
    {
        if (!table_modified_)
            discard_undo_snapshot();
        d.end(0);
        return false;
    }

private:
    PipeMaterial record() const
    {
        return pipe_materials().valid(index_) ? pipe_materials()[index_] : PipeMaterial{};
    }

    void fill(Dialog& d, const PipeMaterial& m)
    {
        const int32_t code = piping_code();
        if (!material_library_mode())
            dialog_set_text_limit(MAT_NAME, m.name, NAME_LIMIT);
        dialog_set_text_limit(MAT_DESCRIPTION, m.description, static_cast<int>(MATERIAL_DESCRIPTION_LENGTH));
        if (code_has_type(code))
            dialog_list_select(MAT_TYPE, std::max(material_type_index(m.type), 0));
        dialog_set_text(MAT_DENSITY, format_or_empty(m.density, format_density));
        dialog_set_text_limit(MAT_NU, format_or_empty(m.nu, format_g3), 6);
        dialog_set_text_limit(MAT_JOINT_FACTOR, factor_text(m.joint_factor), 5);
        if (code_is_nordic(code) && d.has_item(MAT_CIRC_JOINT_FACTOR))
            dialog_set_text_limit(MAT_CIRC_JOINT_FACTOR, factor_text(m.circ_joint_factor), 5);
        if (d.has_item(MAT_STRENGTH)) {
            const MaterialStrengthField* strength = material_strength_field(code);
            dialog_set_text(MAT_STRENGTH, strength && strength->always_shown
                                              ? format_stress(m.strength)
                                              : format_or_empty(m.strength, format_stress));
        }
    }

    int index_;
    std::string new_name_;
    std::optional<PipeMaterial> typed_;
    PropertyTable copy_;
    bool table_modified_ = false;
};

// ---- The type chooser ---------------------------------------------------------------------

class MaterialTypesDialog final : public DialogProc {
public:
    explicit MaterialTypesDialog(int current) : current_(current) {}
    int chosen = -1;

    void init(Dialog& d) override
    {
        for (int i = 0; i < MATERIAL_TYPE_COUNT; ++i)
            dialog_listbox_add(MATTYPES_LIST, material_type_name(i));
        dialog_listbox_select(MATTYPES_LIST, std::clamp(current_, 0, MATERIAL_TYPE_COUNT - 1));
        center_window(d);
    }
    void command(Dialog& d, int id, int notification) override
    {
        if (id == MATTYPES_LIST && notification == NOTIFY_DBLCLK) {
            chosen = dialog_listbox_selection(MATTYPES_LIST);
            d.end(IDOK);
        }
    }
    bool ok(Dialog&) override
    {
        chosen = dialog_listbox_selection(MATTYPES_LIST);
        return true;
    }
    bool cancel(Dialog&) override
    {
        chosen = -1;
        return true;
    }

private:
    int current_;
};

// ---- Menu additions while the table is shown ---------------------------------------------------

const char* const HIGHLIGHT_TEXT = "&Highlight Material";

struct MenuAdditions {
    bool file_items = false;
    bool export_added = false;
    bool insert_item = false;
    bool highlight = false;
};
MenuAdditions& menu_additions() { return session_part<MenuAdditions>(); }

void add_menu_items(Frame& f, bool library_mode)
{
    // File: "&Library..." and "&Export..." with a separator before Print.
    if (!f.menu.contains(CMD_LIBRARY) && f.menu.contains(CMD_PRINT)) {
        menu_additions().export_added = !f.menu.contains(CMD_EXPORT);
        if (menu_additions().export_added)
            f.menu.insert_before(CMD_PRINT, MenuItem{"&Export...", CMD_EXPORT});
        f.menu.insert_before(CMD_EXPORT, MenuItem{"&Library...", CMD_LIBRARY});
        f.menu.insert_before(CMD_PRINT, MenuItem{});
        menu_additions().file_items = true;
    }
    table_add_insert_item(f);
    menu_additions().insert_item = true;
    frame_show_button(f, CMD_LIBRARY);
    if (!library_mode) {
        if (!f.menu.contains(CMD_HIGHLIGHT_MATERIAL) &&
            f.menu.append_beside(CMD_LIST, MenuItem{HIGHLIGHT_TEXT, CMD_HIGHLIGHT_MATERIAL}))
            menu_additions().highlight = true;
        frame_show_button(f, CMD_HIGHLIGHT_MATERIAL);
        frame_show_button(f, CMD_HIGHLIGHT_BUTTON);
        frame_register_command(
            f, CMD_HIGHLIGHT_MATERIAL,
            [](int) {
                MaterialsTable& t = materials_table();
                const PipeMaterialHighlight& h = pipe_material_highlight();
                if (h.draw && pipe_materials().valid(t.current_row))
                    h.draw(pipe_materials()[t.current_row].name);
            },
            [] { return static_cast<bool>(pipe_material_highlight().draw); });
    }
    frame_update_menu(f);
}

void remove_menu_items(Frame& f)
{
    if (menu_additions().file_items) {
        f.menu.remove_separator_after(CMD_EXPORT);
        f.menu.remove(CMD_LIBRARY);
        if (menu_additions().export_added)
            f.menu.remove(CMD_EXPORT);
    }
    if (menu_additions().insert_item)
        table_remove_insert_item(f);
    if (menu_additions().highlight)
        f.menu.remove(CMD_HIGHLIGHT_MATERIAL);
    frame_hide_button(f, CMD_LIBRARY);
    frame_hide_button(f, CMD_HIGHLIGHT_MATERIAL);
    frame_hide_button(f, CMD_HIGHLIGHT_BUTTON);
    frame_register_command(f, CMD_HIGHLIGHT_MATERIAL, {});
    menu_additions() = MenuAdditions{};
    frame_update_menu(f);
}

}  // namespace

// ---- Public: dialogs --------------------------------------------------------------------------

const DialogTemplate& material_dialog_template()
{
    // The Nordic codes' template has two joint factors and the tensile
    // strength; the other codes with a strength the one strength.
    const int32_t code = piping_code();
    if (code_is_nordic(code))
        return MATERIAL2_DIALOG;
    return code_has_strength(code) ? MATERIAL3_DIALOG : MATERIAL1_DIALOG;
}

int edit_pipe_material(int index, WindowId owner, const std::string& new_name, const PipeMaterial* typed)
{
    // Rows typed into the property grid reach their material before the
    // dialog (of this material or another) can change the table.
    commit_material_properties_grid();
    MaterialDialog proc(index, new_name, typed);
    run_dialog(material_dialog_template(), proc, owner);
    if (proc.stored) {
        refresh_materials_table();
        load_material_properties_grid(materials_table().current_row);
    }
    return proc.stored;
}

int run_material_types_dialog(int current, WindowId owner)
{
    MaterialTypesDialog proc(current);
    const int r = run_dialog(MATERIAL_TYPES_DIALOG, proc, owner);
    return r == IDOK ? proc.chosen : -1;
}

// ---- Public: the table ---------------------------------------------------------------------------

MaterialsTable::MaterialsTable() : TableWindow(&list_frame(), TABLE_COLUMNS, 2, {5, 31, 2, 12, 6, 5, 5, 12})
{
    for (int c = COL_DENSITY; c <= COL_STRENGTH; ++c)
        alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
}

MaterialsTable& materials_table()
{
    return session_part<MaterialsTable>();
}

void MaterialsTable::load()
{
    table_set_input_rows(*this, material_library_mode() ? "Material Library" : "Materials", nummats());
    measure_needed = true;
}

PipeMaterial* MaterialsTable::record(int row)
{
    if (pipe_materials().valid(row))
        return &pipe_materials()[row];
    return input_row && row == nummats() + 1 ? &input : nullptr;
}

bool MaterialsTable::column_shown(int column) const
{
    const int32_t code = piping_code();
    switch (column) {
    case COL_NAME: return !material_library_mode();
    case COL_TYPE: return code_has_type(code);
    case COL_CIRC: return code_is_nordic(code);
    case COL_STRENGTH: return code_has_strength(code);
    default: return column >= 1 && column <= TABLE_COLUMNS;
    }
}

std::string MaterialsTable::header_text(int column, int line)
{
    if (!column_shown(column) || line > 1)
        return {};
    const int32_t code = piping_code();
    switch (column) {
    case COL_NAME: return line == 0 ? "Name" : "";
    case COL_DESCRIPTION: return line == 0 ? "Description" : "";
    case COL_TYPE: return line == 0 ? "Type" : "";
    case COL_DENSITY: return line == 0 ? "Density" : unit_label(DENSITY);
    case COL_NU: return line == 0 ? "Nu" : "";
    case COL_JOINT: return line == 0 ? (code_is_nordic(code) ? "Long." : "Joint") : "factor";
    case COL_CIRC: return line == 0 ? "Circ." : "factor";
    case COL_STRENGTH: return line == 1 ? unit_label(STRESS) : material_strength_field(code)->heading;
    default: return {};
    }
}

std::string MaterialsTable::cell_text(int row, int column, int line)
{
    PipeMaterial* m = record(row);
    if (!m || line != 0 || !column_shown(column))
        return {};
    switch (column) {
    case COL_NAME: return m->name;
    case COL_DESCRIPTION: return m->description;
    case COL_TYPE: return m->type;
    case COL_DENSITY: return format_or_empty(m->density, format_density);
    case COL_NU: return format_or_empty(m->nu, format_g3);
    case COL_JOINT: return factor_text(m->joint_factor);
    case COL_CIRC: return factor_text(m->circ_joint_factor);
    case COL_STRENGTH: return format_or_empty(m->strength, format_stress);
    default: return {};
    }
}

bool MaterialsTable::cell_editable(int row, int column)
{
    return column_shown(column) && TableWindow::cell_editable(row, column);
}

void MaterialsTable::filter_char(int column, std::string& ch)
{
    if (column == COL_NAME || column == COL_TYPE)
        table_filter_name(ch);
}

void MaterialsTable::store_cell(int row, int column, const std::string& text)
{
    PipeMaterial* r = record(row);
    if (!r)
        return;
    const int32_t code = piping_code();
    const bool existing = pipe_materials().valid(row);
    // A copy of the record: the checks and the rename question may change
    // the array before the value is stored.
    PipeMaterial m = *r;
    std::string clean = column == COL_DESCRIPTION ? text : upper_case(squeeze_blanks(text));
    item_text() = clean;
    switch (column) {
    case COL_NAME: {
        if (clean.empty() || clean == m.name) {
            discard_undo_snapshot();
            return;
        }
        check_material_name(clean, existing ? row : 0);
        if (existing && !m.name.empty()) {
            if (!confirm_entry_rename(PIPE_MATERIALS, frame_window(), "Material name", m.name, clean)) {
                discard_undo_snapshot();
                return;
            }
            load();
            return;
        }
        m.name = clean;
        break;
    }
    case COL_DESCRIPTION:
        trim_blanks(clean);
        m.description = clean.substr(0, MATERIAL_DESCRIPTION_LENGTH);
        break;
    case COL_TYPE: {
        if (material_type_index(clean) < 0)
            throw_invalid("Type");
        m.set_type(clean);
        if (const std::string p = nu_problem(m.nu, m.frp != 0); !p.empty())
            throw_cell_error(p, COL_NU);
        break;
    }
    case COL_DENSITY:
        m.density = 0.0f;
        if (parse_density_buffer(m.density) != 0)
            throw_invalid("Density");
        break;
    case COL_NU: {
        m.nu = 0.0f;
        if (parse_real_buffer(m.nu) != 0)
            throw_invalid("Nu");
        if (const std::string p = nu_problem(m.nu, m.frp != 0); !p.empty())
            throw_cell_error(p, COL_NU);
        break;
    }
    case COL_JOINT: m.joint_factor = read_joint_factor(); break;
    case COL_CIRC: m.circ_joint_factor = read_joint_factor(); break;
    case COL_STRENGTH: m.strength = read_strength(code); break;
    default: return;
    }
    if (!material_differs(m, *r)) {
        discard_undo_snapshot();
        return;
    }
    const bool frp_changed = m.frp != r->frp;
    *r = std::move(m);
    if (existing)
        model_modified() = true;
    if (frp_changed)
        load_material_properties_grid(existing ? row : 0);
}

void MaterialsTable::check_row(int row, bool enter)
{
    PipeMaterial* r = record(row);
    if (!r)
        return;
    if (material_library_mode())
        r->name.clear();
    else if (r->name.empty())
        throw_cell_required("Name", COL_NAME);
    if (r->description.empty())
        throw_cell_required("Description", COL_DESCRIPTION);
    if (r->nu == 0.0f)
        r->nu = 0.3f;
    if (r->density == 0.0f)
        r->density = ENTERED_ZERO;
    if (r->joint_factor == 0.0f)
        r->joint_factor = 1.0f;
    if (r->circ_joint_factor == 0.0f)
        r->circ_joint_factor = 1.0f;
    if (!pipe_materials().valid(row)) {
        pipe_materials().push_back(std::move(input));
        input = PipeMaterial{};
        model_modified() = true;
        load();
        table_set_row(*this, row);
        // The grid below shows the new material's properties and takes them.
        load_material_properties_grid(row);
    }
    if (!enter)
        return;
    const PipeMaterial& m = pipe_materials()[row];
    if (m.numtemps() == 0)
        refuse_properties("Properties are required\nType them in the properties grid below the table (F6 goes "
                          "there), or in the material's dialog (Ctrl+E)");
    if (const std::string p = frp_table_problem(m.table, m.frp != 0); !p.empty())
        refuse_properties(p);
}

void MaterialsTable::refuse_properties(const std::string& text)
{
    // The properties are typed in the grid under the table: after the
    // message the caret is there, and no cell of this table is left open
    // to take what is typed next.
    if (view == &list_view() && list_lower_table() == &material_properties_grid()) {
        message_error(frame_window(), text);
        activate_list_pane(true);
        throw MessageText("");
    }
    throw_cell_error(text, current_column);
}

void MaterialsTable::leave_row(int row)
{
    check_row(row, true);
    TableWindow::leave_row(row);
}

void MaterialsTable::before_leave_row(int row)
{
    // An input row with nothing typed into it is left as it is.
    if (!pipe_materials().valid(row) && !material_differs(input, PipeMaterial{}))
        return;
    check_row(row, false);
}

bool MaterialsTable::can_insert(int row)
{
    if (input_locked() || !pipe_materials().valid(row))
        return false;
    // Library records have no names.
    return material_library_mode() || named_row_can_insert(pipe_materials(), row);
}

bool MaterialsTable::can_delete(int row) { return !input_locked() && record(row) != nullptr; }

void MaterialsTable::insert_row(int row)
{
    commit_material_properties_grid();
    named_row_insert(pipe_materials(), row);
    load();
    load_material_properties_grid(row);
}

void MaterialsTable::delete_row(int row)
{
    if (!pipe_materials().valid(row)) {
        input = PipeMaterial{};
        load();
        return;
    }
    commit_material_properties_grid();
    if (!named_row_delete(pipe_materials(), PIPE_MATERIALS, row, frame_window(), "Material"))
        return;
    load();
    load_material_properties_grid(pipe_materials().valid(current_row) ? current_row : 0);
}

bool MaterialsTable::edit_row(int row)
{
    if (!record(row))
        return false;
    // The dialog edits the property table too: the grid's changes go in
    // first, and the grid shows the dialog's result after.
    commit_material_properties_grid();
    push_undo_snapshot(frame_window());
    const bool is_new = !pipe_materials().valid(row);
    if (edit_pipe_material(row, frame_window(), is_new ? input.name : std::string(), is_new ? &input : nullptr) &&
        is_new)
        input = PipeMaterial{};
    load();
    load_material_properties_grid(pipe_materials().valid(current_row) ? current_row : 0);
    return true;
}

std::string MaterialsTable::copy_row(int row)
{
    if (PipeMaterial* m = record(row)) {
        copied = *m;
        if (frame && frame->menu.enable(CMD_PASTE, true))
            frame_update_menu(*frame);
    }
    return TableWindow::copy_row(row);
}

bool MaterialsTable::paste_row(int row, const std::vector<std::string>&)
{
    PipeMaterial* r = record(row);
    if (!r || !copied)
        return false;
    commit_material_properties_grid();
    PipeMaterial m = std::move(*copied);
    copied.reset();
    m.name = material_library_mode() ? std::string() : r->name;
    if (m.joint_factor == 0.0f)
        m.joint_factor = 1.0f;
    if (m.circ_joint_factor == 0.0f)
        m.circ_joint_factor = 1.0f;
    *r = std::move(m);
    if (pipe_materials().valid(row))
        model_modified() = true;
    if (frame && frame->menu.enable(CMD_PASTE, false))
        frame_update_menu(*frame);
    load();
    load_material_properties_grid(pipe_materials().valid(row) ? row : 0);
    return true;
}

bool MaterialsTable::serves_command(int id) { return id == CMD_LIBRARY; }

bool MaterialsTable::on_command(int id)
{
    if (id == CMD_LIBRARY) {
        if (input_locked() || in_results()) {
            beep();
            return true;
        }
        if (!table_end_edit(*this))
            return true;
        commit_material_properties_grid();   // the grid's rows first, then the pick
        try {
            if (pick_material_from_library(frame_window(), current_row)) {
                load();
                load_material_properties_grid(current_row);
            }
        } catch (const MessageText& m) {
            message_error(frame_window(), m.text);
        }
        return true;
    }
    return TableWindow::on_command(id);
}

void MaterialsTable::on_row_changed(int row)
{
    load_material_properties_grid(pipe_materials().valid(row) ? row : 0);
    const PipeMaterialHighlight& h = pipe_material_highlight();
    if (!material_library_mode() && h.enabled && h.enabled() && h.draw && pipe_materials().valid(row))
        h.draw(pipe_materials()[row].name);
    else
        erase_material_highlight();
}

void MaterialsTable::on_enter()
{
    attached_ = true;
    // The library window's own menu has what a library needs.
    if (frame && !input_locked() && !material_library_mode())
        add_menu_items(*frame, false);
    // The property grid of the current material shows under the table;
    // what was typed into it is written back when the caret leaves it.
    if (view == &list_view()) {
        load_material_properties_grid(pipe_materials().valid(current_row) ? current_row : 0);
        show_list_lower_pane(material_properties_grid(), [] { commit_material_properties_grid(); });
    }
}

void MaterialsTable::on_leave()
{
    attached_ = false;
    if (list_lower_table() == &material_properties_grid())
        remove_list_lower_pane();
    commit_material_properties_grid();
    if (frame)
        remove_menu_items(*frame);
    erase_material_highlight();
}

void MaterialsTable::context_menu(Point)
{
    if (input_locked()) {
        table_popup_menu(*this, table_popup_show_edit(*this, "Material"));
        return;
    }
    if (current_column == COL_TYPE && column_shown(COL_TYPE)) {
        PipeMaterial* r = record(current_row);
        if (!r)
            return;
        const int chosen = run_material_types_dialog(std::max(material_type_index(r->type), 0), frame_window());
        if (chosen < 0)
            return;
        try {
            push_undo_snapshot(frame_window());
            store_cell(current_row, COL_TYPE, material_type_code(chosen));
        } catch (const MessageText& m) {
            message_error(frame_window(), m.text);
        } catch (const CI& c) {
            message_error(frame_window(), c.message);
        }
        table_invalidate_rows(*this);
        return;
    }
    MenuItem popup;
    popup.text = "Material";
    if (can_insert(current_row))
        popup.items.push_back(MenuItem{"&Insert", CMD_INSERT});
    PipeMaterial* r = record(current_row);
    if (r && !material_in_use(*r))
        popup.items.push_back(MenuItem{"&Delete", CMD_DELETE});
    popup.items.push_back(MenuItem{"&Edit", CMD_EDIT_ROW});
    if (!material_library_mode()) {
        popup.items.push_back(MenuItem{"&Library...", CMD_LIBRARY});
        popup.items.push_back(MenuItem{"List...", CMD_LIST});
    }
    table_popup_menu(*this, popup);
}

void MaterialsTable::measure_window(Surface& dc)
{
    TableWindow::measure_window(dc);
    for (int c = 1; c <= TABLE_COLUMNS; ++c)
        if (!column_shown(c))
            widths[static_cast<std::size_t>(c)] = 0;
}

void MaterialsTable::print() { print_materials(); }
void MaterialsTable::print_text() { print_materials(); }
void MaterialsTable::print_csv() { print_materials(); }

bool MaterialsTable::export_csv(WindowId owner)
{
    // The export file of the materials, not the report's CSV form.
    return table_end_edit(*this) && export_materials_csv(owner);
}
void MaterialsTable::contents_entry() { add_contents_entry("Pipe materials", 0); }

void open_materials_table()
{
    int row = 1;
    if (const int layout_row = current_layout_row(); model().rows.valid(layout_row))
        if (const int m = pipe_material_index(model().rows[layout_row].material))
            row = m;
    open_in_list_window(materials_table(), row, true);
}

void refresh_materials_table()
{
    reload_if_shown(materials_table());
}

PipeMaterialHighlight& pipe_material_highlight()
{
    return session_part<PipeMaterialHighlight>();
}

void erase_material_highlight()
{
    if (const auto& erase = pipe_material_highlight().erase)
        erase();
    else if (const auto& erase_hook = model_hooks().erase_highlight)
        erase_hook();
}

void install_pipe_materials_ui()
{
    install_pipe_materials();
    subscribe_document_changed("materials table", [](const DocumentChange& change) {
        // A half-typed record goes with its model.
        if (change.kind == DocumentChange::Cleared && change.part == SECTION_PIPE_MATERIALS)
            materials_table().input = PipeMaterial{};
    });
    register_data_list(DataList{"Materials", [] { return nummats(); }, open_materials_table, true, CMD_MATERIALS});
    register_command(CMD_MATERIALS, [](int) { open_materials_table(); });
    layout_hooks().material_dialog = [](int row) {
        if (!model().rows.valid(row))
            return false;
        const std::string name = model().rows[row].material;
        const int index = pipe_material_index(name);
        push_undo_snapshot(layout_frame().window);
        return edit_pipe_material(index != 0 ? index : nummats() + 1, layout_frame().window, name) == 1;
    };
}
