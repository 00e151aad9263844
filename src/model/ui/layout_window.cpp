// The layout table: cells, typing, rows, choosers and the window.
#include "model/ui/layout_window.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/find_node.h"
#include "framework/ui/messages.h"
#include "framework/ui/report.h"
#include "framework/units.h"
#include "model/model.h"
#include "model/ui/dialogs_layout.h"
#include "model/ui/model_edit.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>

namespace {

constexpr const char* LAYOUT_TITLE = "Layout";

// Character limits of the columns: "99999A*", the longest type names, a
// length in feet and inches, names, comments.
const std::vector<int> LAYOUT_CHAR_LIMITS = {7, 16, 20, 20, 20, 5, 5, 5, 20, 80};

const char* const COLUMN_NAMES[LAYOUT_COLUMNS + 1] = {
    "", "Node", "Type", "DX", "DY", "DZ", "Material", "Section", "Load", "Data", "Description",
};

const char* const FIELD_NAMES[] = {"Material", "Section", "Load"};
const char* const BEAM_FIELD_NAMES[] = {"Beam material", "Beam section", "Beam load"};

Model& m() { return model(); }

bool is_input_row(int row) { return row > numrows(); }

// True when the row's offsets are coordinates.
bool absolute_row(const LayoutRow& r) { return r.etype == ET_FROM || r.absolute; }

// The code first..last whose name equals the text, or failing that the only
// one that starts with it (both ignoring case and outer blanks); -1 when none
// or several.
int match_name(const std::string& text, int first, int last, const char* (*name_of)(int)) {
    std::string wanted = lower_case(text);
    trim_blanks(wanted);
    if (wanted.empty()) return -1;
    int prefix_match = -1;
    int prefix_count = 0;
    for (int code = first; code <= last; ++code) {
        const std::string name = lower_case(name_of(code));
        if (name == wanted) return code;
        if (name.compare(0, wanted.size(), wanted) == 0) {
            prefix_match = code;
            ++prefix_count;
        }
    }
    return prefix_count == 1 ? prefix_match : -1;
}

std::string invalid_text(const std::string& name, const std::string& value) {
    return name + " =  " + value + "  is invalid";
}

// The nearest row before `row` whose type carries names; 0 when none.
int previous_named_row(int row) {
    for (int i = std::min(row - 1, numrows()); i >= 1; --i)
        if (etype_has_names(m().rows[i].etype)) return i;
    return 0;
}

// The element type of a row that a typed node creates at the end.
int new_row_etype() { return LayoutRow::previous_element_row(numrows() + 1) == 0 ? ET_FROM : ET_PIPE; }

// Appends a row of the element type; a row that carries names takes those
// of the named row before it.
int append_row_of_type(int etype) {
    const int index = append_layout_row();
    LayoutRow& r = m().rows[index];
    r.etype = etype;
    if (etype != ET_NONE) r.create_element_object();
    if (etype_has_names(etype)) {
        if (int named = previous_named_row(index)) {
            const LayoutRow& p = m().rows[named];
            r.material = p.material;
            r.section = p.section;
            r.load = p.load;
        }
    }
    return index;
}

// The built position of a row's node, when the last build made it.
std::optional<Vec3> built_position(int node_index) {
    if (node_index < 1 || node_index > numnodes()) return std::nullopt;
    return node_position(m(), node_index);
}

// Rewrites a row's offsets so that its node stays where the last build put
// it when the row changes between absolute coordinates and offsets.
void keep_node_in_place(int row, bool becomes_absolute) {
    LayoutRow& r = m().rows[row];
    std::optional<Vec3> p = built_position(r.node_index);
    if (!p) return;
    Vec3 d = *p;
    if (!becomes_absolute) {
        int previous = LayoutRow::previous_element_row(row);
        std::optional<Vec3> start = previous ? built_position(m().rows[previous].node_index) : std::nullopt;
        if (!start) return;
        d = Vec3{p->x - start->x, p->y - start->y, p->z - start->z};
    }
    r.dx = static_cast<float>(d.x);
    r.dy = static_cast<float>(d.y);
    r.dz = static_cast<float>(d.z);
}

// A typed node: the number and whether it ends in "*". Throws the node error
// at the Node column.
struct TypedNode {
    int number = 0;
    bool absolute = false;
};

TypedNode parse_typed_node(const std::string& typed, int row, int etype) {
    std::string text = squeeze_blanks(typed);
    TypedNode node;
    if (!text.empty() && text.back() == '*') {
        node.absolute = true;
        text.pop_back();
    }
    const int code = parse_node_text_code(text, node.number);
    if (code != 0) {
        const std::string message = text.empty() ? node_error_text(code) : text + "  " + node_error_text(code);
        throw CI{message, LAYOUT_NODE};
    }
    // Numbers above 99999 name the nodes that a bend or jacket makes; a row
    // can only be placed at one that exists.
    if (node.number > MAX_NODE_NUMBER && node_index(node.number) == 0)
        throw CI{text + "  " + node_error_text(2), LAYOUT_NODE};
    // An element from a node to itself has no length.
    if (etype_is_element(etype)) {
        const int previous = LayoutRow::previous_element_row(row);
        if (previous && m().rows[previous].node == node.number)
            throw CI{"Node  " + node_text(node.number) + "  is the From node of this row", LAYOUT_NODE};
    }
    return node;
}

float parse_offset(const std::string& text, int column) {
    float value = 0.0f;
    if (parse_length(text, value) != 0) throw CI{invalid_text(COLUMN_NAMES[column], text), column};
    return value;
}

int parse_type_cell(const std::string& text) {
    if (text.empty()) throw CI{"Element type is required", LAYOUT_TYPE};
    const int etype = match_name(text, 1, MAX_ETYPE, element_type_name);
    if (etype < 0) throw CI{invalid_text("Element type", text), LAYOUT_TYPE};
    return etype;
}

int parse_data_cell(const std::string& text) {
    if (text.empty()) return DT_NONE;
    const int dtype = match_name(text, 1, MAX_DTYPE, data_type_name);
    if (dtype < 0) throw CI{invalid_text("Data type", text), LAYOUT_DATA};
    return dtype;
}

// Everything a row takes from a typed or pasted line, checked before any of
// it is stored.
struct RowValues {
    std::optional<int> etype;
    std::optional<TypedNode> node;
    std::optional<float> offset[3];
    std::optional<std::string> name[3];
};

// Stores checked values in a row (appending it for the input row) and
// returns the row's index; 0 when the row keeps its type because the new
// type's dialog was cancelled, and then nothing else of the values is stored.
int store_row_values(int row, const RowValues& v) {
    if (is_input_row(row)) {
        row = append_row_of_type(v.etype ? *v.etype : new_row_etype());
    } else if (v.etype) {
        if (!set_row_element_type(row, *v.etype) && m().rows[row].etype != *v.etype) return 0;
    }
    LayoutRow& r = m().rows[row];
    if (v.node) {
        r.node = v.node->number;
        const bool absolute = v.node->absolute && r.etype != ET_FROM;
        if (absolute != (r.absolute != 0) && r.etype != ET_FROM) {
            keep_node_in_place(row, absolute);
            r.absolute = absolute ? 1 : 0;
        }
    }
    float* offsets[3] = {&r.dx, &r.dy, &r.dz};
    for (int i = 0; i < 3; ++i)
        if (v.offset[i]) *offsets[i] = *v.offset[i];
    for (int field = 0; field < 3; ++field)
        if (v.name[field]) row_name(r, field) = *v.name[field];
    return row;
}

// After an edit of the rows: the model is built again, marked modified, and
// the tables show it.
void commit_edit() {
    model_changed();
    reload_layout_table();
}

}  // namespace

// ===========================================================================
// Rows

std::string& row_name(LayoutRow& r, int field) {
    return field == FIELD_MATERIAL ? r.material : field == FIELD_SECTION ? r.section : r.load;
}

bool etype_has_names(int etype) {
    switch (etype) {
    case ET_PIPE:
    case ET_BEND:
    case ET_MITER:
    case ET_JACKETED_PIPE:
    case ET_JACKETED_BEND:
    case ET_VALVE:
    case ET_REDUCER:
    case ET_BELLOWS:
    case ET_SLIP_JOINT:
    case ET_RIGID:
    case ET_CUT_PIPE:
    case ET_BEAM: return true;
    default: return false;
    }
}

bool etype_has_node(int etype) {
    return etype != ET_NONE && etype != ET_COMMENT && etype != ET_HYDROTEST_LOAD && etype >= 0 && etype <= MAX_ETYPE;
}

bool etype_has_offsets(int etype) { return etype_has_node(etype); }

void check_row_name(int field, int etype, const std::string& name) {
    const bool beam = etype == ET_BEAM;
    const std::string what = beam ? BEAM_FIELD_NAMES[field] : FIELD_NAMES[field];
    if (name.empty()) return;
    if (name_fault(name, NAME_LENGTH) != NameFault::NONE)
        throw CI{invalid_text(what, name), LAYOUT_MATERIAL + field};
    const ModelHooks& h = model_hooks();
    const std::function<int(const std::string&)>* lookup = nullptr;
    switch (field) {
    case FIELD_MATERIAL: lookup = beam ? &h.beam_material_index : &h.material_index; break;
    case FIELD_SECTION: lookup = beam ? &h.beam_section_index : &h.section_index; break;
    default: lookup = beam ? &h.beam_load_index : &h.load_index; break;
    }
    if (*lookup && (*lookup)(name) == 0) throw CI{what + " " + name + " is not defined", LAYOUT_MATERIAL + field};
}

namespace {

// The row whose kind a dialog is asked to confirm, and whether its OK came.
struct KindChangeInWait {
    int row = 0;
    bool confirmed = false;
};

KindChangeInWait& kind_change_in_wait() { return session_part<KindChangeInWait>(); }

enum class RowPart { Element, DataItem };

// Gives a row another element type or data item (`part`) by `change`, then
// runs the new kind's dialog, if it has one: the change stands when the
// dialog closes with OK. Until then the row as it was, its own objects with
// all their values, is kept aside while a copy takes the change; any other
// end puts the row back whole and leaves the model as modified as it was.
// On OK the part that did not change is the row's own object again. True
// when the change stands.
bool change_row_kind(int row, RowPart part, const std::function<void()>& change,
                     const std::function<bool(int)>& dialog) {
    Model& model_ = m();
    if (!dialog) {
        change();
        commit_edit();
        return true;
    }
    const bool was_modified = model_modified();
    LayoutRow kept = std::move(model_.rows[row]);
    model_.rows[row] = kept;
    auto put_back = [&] {
        kind_change_in_wait() = {};
        LayoutRow::erase_element(row);
        LayoutRow::erase_data_item(row);
        model_.rows[row] = std::move(kept);
        model_.rebuild_needed = true;
        model_rebuilt();
        model_modified() = was_modified;
        reload_layout_table();
    };
    bool confirmed = false;
    try {
        change();
        model_rebuilt();
        reload_layout_table();
        kind_change_in_wait() = {row, false};
        dialog(row);
        confirmed = kind_change_in_wait().confirmed;
    } catch (...) {
        put_back();
        throw;
    }
    if (!confirmed) {
        put_back();
        return false;
    }
    kind_change_in_wait() = {};
    LayoutRow& r = model_.rows[row];
    if (part == RowPart::DataItem && r.element && kept.element && r.etype == kept.etype)
        r.element = std::move(kept.element);
    if (part == RowPart::Element && r.data && kept.data && r.dtype == kept.dtype) r.data = std::move(kept.data);
    commit_edit();
    return true;
}

}  // namespace

void row_kind_confirmed(int row) {
    KindChangeInWait& wait = kind_change_in_wait();
    if (wait.row == row && row != 0) wait.confirmed = true;
}

bool set_row_element_type(int row, int etype) {
    Model& model_ = m();
    if (!model_.rows.valid(row) || etype < 1 || etype > MAX_ETYPE) return false;
    LayoutRow& r = model_.rows[row];
    if (r.etype == etype && r.element) return false;
    // A bend's node is off the pipe: the row's item would act on nothing there.
    if (r.data) {
        if (model_.rebuild_needed) make_model();
        if (const std::string fault = item_off_pipe_refusal(model_, row, etype, r.dtype); !fault.empty())
            throw CI{fault, LAYOUT_TYPE};
    }
    auto change = [row, etype] {
        Model& model_ = m();
        const LayoutRow& r = model_.rows[row];
        const bool was_absolute = absolute_row(r);
        const bool will_be_absolute = etype == ET_FROM || (r.absolute && etype != ET_FROM);
        if (etype_has_node(etype) && was_absolute != will_be_absolute) keep_node_in_place(row, will_be_absolute);

        LayoutRow::change_etype(row, etype);
        LayoutRow& changed = model_.rows[row];
        if (etype == ET_FROM) changed.absolute = 0;
        if (!etype_has_node(etype)) {
            // Comments and hydrotest loads stand at no node.
            if (changed.data) LayoutRow::remove_data_item(row);
            changed.node = 0;
            changed.absolute = 0;
            changed.dx = changed.dy = changed.dz = 0.0f;
        }
        if (!etype_has_names(etype)) {
            changed.material.clear();
            changed.section.clear();
            changed.load.clear();
        } else if (changed.material.empty() && changed.section.empty() && changed.load.empty()) {
            if (int named = previous_named_row(row)) {
                const LayoutRow& p = model_.rows[named];
                changed.material = p.material;
                changed.section = p.section;
                changed.load = p.load;
            }
        }
    };
    return change_row_kind(row, RowPart::Element, change,
                           layout_hooks().element_dialog[static_cast<std::size_t>(etype)]);
}

bool set_row_data_type(int row, int dtype) {
    Model& model_ = m();
    if (!model_.rows.valid(row) || dtype < 0 || dtype > MAX_DTYPE) return false;
    LayoutRow& r = model_.rows[row];
    if (r.dtype == dtype && (dtype == DT_NONE || r.data)) return false;
    if (dtype != DT_NONE && (!etype_has_node(r.etype) || r.node == 0))
        throw CI{c_format("Row %d has no node for a data item", row), LAYOUT_DATA};
    if (model_.rebuild_needed) make_model();
    if (const std::string fault = item_off_pipe_refusal(model_, row, r.etype, dtype); !fault.empty())
        throw CI{fault, LAYOUT_DATA};
    if (dtype == DT_NONE) {
        LayoutRow::remove_data_item(row);
        commit_edit();
        return true;
    }
    return change_row_kind(row, RowPart::DataItem, [row, dtype] { LayoutRow::change_dtype(row, dtype); },
                           layout_hooks().data_dialog[static_cast<std::size_t>(dtype)]);
}

// ===========================================================================
// The table

LayoutTable::LayoutTable() : TableWindow(&main_frame(), LAYOUT_COLUMNS, 2, LAYOUT_CHAR_LIMITS) {
    for (int c = LAYOUT_DX; c <= LAYOUT_DZ; ++c) alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
}

std::string LayoutTable::header_text(int column, int line) {
    if (column < 1 || column > LAYOUT_COLUMNS) return {};
    if (line == 0) return COLUMN_NAMES[column];
    if (line == 1 && column >= LAYOUT_DX && column <= LAYOUT_DZ) return unit_label(LENGTH);
    return {};
}

std::string LayoutTable::cell_text(int row, int column, int line) {
    if (line != 0 || row < 1 || row > numrows()) return {};
    const LayoutRow& r = m().rows[row];
    switch (column) {
    case LAYOUT_NODE: {
        if (r.node == 0) return {};
        std::string text = node_text(r.node);
        if (r.absolute && r.etype != ET_FROM) text += '*';
        return text;
    }
    case LAYOUT_TYPE: return element_type_name(r.etype);
    case LAYOUT_DX:
    case LAYOUT_DY:
    case LAYOUT_DZ: {
        if (!etype_has_offsets(r.etype)) return {};
        const float value = column == LAYOUT_DX ? r.dx : column == LAYOUT_DY ? r.dy : r.dz;
        // A zero offset is left blank; a zero coordinate is shown.
        if (value == 0.0f && !absolute_row(r)) return {};
        return exact_lengths_ ? format_length_exact(value) : format_length(value);
    }
    case LAYOUT_MATERIAL: return r.material;
    case LAYOUT_SECTION: return r.section;
    case LAYOUT_LOAD: return r.load;
    case LAYOUT_DATA: return r.dtype ? data_item_kind_name(r.dtype, r.data_subtype()) : std::string();
    case LAYOUT_DESCRIPTION: {
        std::string text = r.element ? r.element->description() : std::string();
        if (text.empty() && r.data) text = r.data->description();
        return text;
    }
    default: return {};
    }
}

bool LayoutTable::cell_editable(int row, int column) {
    if (!TableWindow::cell_editable(row, column)) return false;
    if (is_input_row(row)) return column == LAYOUT_NODE || column == LAYOUT_TYPE;
    const int etype = m().rows[row].etype;
    switch (column) {
    case LAYOUT_NODE: return etype == ET_NONE || etype_has_node(etype);
    case LAYOUT_TYPE: return true;
    case LAYOUT_DX:
    case LAYOUT_DY:
    case LAYOUT_DZ: return etype_has_offsets(etype);
    case LAYOUT_MATERIAL:
    case LAYOUT_SECTION:
    case LAYOUT_LOAD: return etype_has_names(etype);
    case LAYOUT_DATA: return etype_has_node(etype);
    case LAYOUT_DESCRIPTION: return etype == ET_COMMENT;
    default: return false;
    }
}

std::string LayoutTable::typing_refused(int row, int column) {
    // The names of a From row would go nowhere: its element rows carry them.
    if (!is_input_row(row) && m().rows.valid(row) && m().rows[row].etype == ET_FROM && column >= LAYOUT_MATERIAL &&
        column <= LAYOUT_LOAD)
        return "A From row takes no material, section or load: type them on the rows of the elements after it";
    return {};
}

void LayoutTable::filter_char(int column, std::string& ch) {
    // Node letters and names are upper case; the rest goes to the cell's parser as typed.
    switch (column) {
    case LAYOUT_NODE:
    case LAYOUT_MATERIAL:
    case LAYOUT_SECTION:
    case LAYOUT_LOAD: table_filter_name(ch); break;
    default: break;
    }
}

void LayoutTable::store_cell(int row, int column, const std::string& text) {
    if (row < 1 || row > numrows() + 1) return;
    const int etype = is_input_row(row) ? new_row_etype() : m().rows[row].etype;
    RowValues v;
    switch (column) {
    case LAYOUT_NODE: {
        // A node typed into an empty row makes it a pipe (or the From row).
        int target = etype;
        if (!is_input_row(row) && etype == ET_NONE) {
            target = LayoutRow::previous_element_row(row) == 0 ? ET_FROM : ET_PIPE;
            v.etype = target;
        }
        v.node = parse_typed_node(text, row, target);
        break;
    }
    case LAYOUT_TYPE: v.etype = parse_type_cell(text); break;
    case LAYOUT_DX:
    case LAYOUT_DY:
    case LAYOUT_DZ: v.offset[column - LAYOUT_DX] = parse_offset(text, column); break;
    case LAYOUT_MATERIAL:
    case LAYOUT_SECTION:
    case LAYOUT_LOAD: {
        const int field = column - LAYOUT_MATERIAL;
        std::string name = upper_case(squeeze_blanks(text));
        check_row_name(field, etype, name);
        v.name[field] = name;
        break;
    }
    case LAYOUT_DATA:
        set_row_data_type(row, parse_data_cell(text));
        return;
    case LAYOUT_DESCRIPTION:
        LayoutRow::set_comment_text(row, text);
        commit_edit();
        return;
    default: return;
    }
    const int stored = store_row_values(row, v);
    if (stored == 0) return;
    commit_edit();
    // A new row from the input row: the next cell to fill is its first offset,
    // and the row can now be deleted.
    if (is_input_row(row) || stored != row) table_set_row(*this, stored);
    table_update_insert_delete(*this);
}

std::string LayoutTable::copy_row(int row) {
    exact_lengths_ = true;
    std::string text;
    try {
        text = TableWindow::copy_row(row);
    } catch (...) {
        exact_lengths_ = false;
        throw;
    }
    exact_lengths_ = false;
    return text;
}

bool LayoutTable::paste_row(int row, const std::vector<std::string>& cells) {
    if (row < 1 || row > numrows() + 1) return false;
    auto cell = [&](int column) {
        std::string text = column <= static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column - 1)] : "";
        trim_blanks(text);
        return text;
    };
    RowValues v;
    if (!cell(LAYOUT_TYPE).empty()) v.etype = parse_type_cell(cell(LAYOUT_TYPE));
    const int etype = v.etype ? *v.etype : is_input_row(row) ? new_row_etype() : m().rows[row].etype;
    if (etype_has_node(etype) && !cell(LAYOUT_NODE).empty()) v.node = parse_typed_node(cell(LAYOUT_NODE), row, etype);
    if (is_input_row(row) && !v.node && !v.etype) return false;
    if (etype_has_offsets(etype))
        for (int c = LAYOUT_DX; c <= LAYOUT_DZ; ++c) v.offset[c - LAYOUT_DX] = parse_offset(cell(c), c);
    if (etype_has_names(etype)) {
        for (int field = 0; field < 3; ++field) {
            std::string name = upper_case(squeeze_blanks(cell(LAYOUT_MATERIAL + field)));
            check_row_name(field, etype, name);
            v.name[field] = name;
        }
    }
    const int stored = store_row_values(row, v);
    if (stored == 0) return true;
    if (etype == ET_COMMENT) LayoutRow::set_comment_text(stored, cell(LAYOUT_DESCRIPTION));
    commit_edit();
    table_update_insert_delete(*this);
    return true;
}

bool LayoutTable::can_insert(int row) { return row >= 1 && row <= numrows() + 1 && numrows() < row_capacity(); }

bool LayoutTable::can_delete(int row) { return row >= 1 && row <= numrows(); }

void LayoutTable::insert_row(int row) {
    push_undo_snapshot(main_frame().window);
    insert_blank_row(row);
    reload_layout_table();
    table_set_row(*this, row);
    current_column = LAYOUT_NODE;
}

void LayoutTable::delete_row(int row) {
    push_undo_snapshot(main_frame().window);
    delete_rows(row, row);
    reload_layout_table();
}

bool LayoutTable::edit_row(int row) {
    const WindowId owner = main_frame().window;
    if (current_column == LAYOUT_TYPE) {
        element_types_command(owner);
        return true;
    }
    if (is_input_row(row)) return false;
    const LayoutRow& r = m().rows[row];
    const LayoutHooks& h = layout_hooks();
    const std::function<bool(int)>* dialog = nullptr;
    switch (current_column) {
    case LAYOUT_DATA:
        if (r.dtype == DT_NONE) {
            data_types_command(owner);
            return true;
        }
        dialog = &h.data_dialog[static_cast<std::size_t>(r.dtype)];
        break;
    case LAYOUT_MATERIAL: dialog = &h.material_dialog; break;
    case LAYOUT_SECTION: dialog = &h.section_dialog; break;
    case LAYOUT_LOAD: dialog = &h.load_dialog; break;
    default:
        if (r.etype < 0 || r.etype > MAX_ETYPE) return false;
        dialog = &h.element_dialog[static_cast<std::size_t>(r.etype)];
        break;
    }
    if (!*dialog) return false;
    if ((*dialog)(row)) commit_edit();
    return true;
}

bool LayoutTable::on_key(int key, unsigned mods) {
    // The Insert key alone inserts a row, as Ctrl+Ins does.
    if (key == KEY_INSERT && mods == MOD_NONE && !edit.active) {
        table_send_command(*this, CMD_INSERT);
        return true;
    }
    return TableWindow::on_key(key, mods);
}

void LayoutTable::on_row_changed(int row) {
    m().current_row = row <= numrows() ? row : 0;
    table_update_insert_delete(*this);
    // A copy: a follower may change the list.
    const auto followers = layout_hooks().row_changed;
    for (const auto& [name, follow] : followers)
        if (follow) follow(m().current_row);
}

void LayoutTable::context_menu(Point) {
    const bool locked = input_locked() || view_only;
    MenuItem popup{"", 0, {}};
    popup.items.push_back(MenuItem{locked ? "&Show" : "&Edit", CMD_EDIT_ROW});
    for (MenuItem& item : table_popup_insert_delete(*this).items) popup.items.push_back(std::move(item));
    popup.items.push_back(MenuItem{});
    popup.items.push_back(MenuItem{"Element &types...", CMD_ELEMENT_TYPES, {}, locked});
    popup.items.push_back(MenuItem{"&Data types...", CMD_DATA_TYPES, {}, locked});
    popup.items.push_back(MenuItem{});
    popup.items.push_back(MenuItem{"&Copy", CMD_COPY});
    popup.items.push_back(MenuItem{"&Paste", CMD_PASTE, {}, locked});
    table_popup_menu(*this, popup);
}

int LayoutTable::row_node(int row) { return row >= 1 && row <= numrows() ? m().rows[row].node : 0; }

void LayoutTable::contents_entry() { add_contents_entry(LAYOUT_TITLE, 1); }

LayoutTable& layout_table() {
    return session_part<LayoutTable>();
}

namespace {
struct LayoutViewPart {
    TableView value{};
};
}  // namespace

TableView& layout_view() {
    return session_part<LayoutViewPart>().value;
}

LayoutHooks& layout_hooks() {
    return session_part<LayoutHooks>();
}

// ===========================================================================
// The window

void create_layout_window() {
    Frame& frame = main_frame();
    if (!frame.window) throw MessageText("Unable to create window KorvaneLayout");
    TableView& view = layout_view();
    view.create(frame);
    table_attach(view, &layout_table());
    table_reset(layout_table());
    reload_layout_table();
}

void destroy_layout_window() {
    table_attach(layout_view(), nullptr);
    layout_view().destroy();
}

void reload_layout_table() {
    LayoutTable& t = layout_table();
    const int current = m().current_row;
    table_set_input_rows(t, LAYOUT_TITLE, numrows());
    if (current >= 1 && current <= numrows() && !t.edit.active) table_set_row(t, current);
    t.measure_needed = true;
    table_invalidate_rows(t);
}

void select_layout_row(int row) {
    if (!m().rows.valid(row)) return;
    m().current_row = row;
    LayoutTable& t = layout_table();
    if (t.row_count < numrows()) reload_layout_table();
    table_goto_row(t, row);
}

void focus_layout_table() { table_set_focus(layout_table()); }

int current_layout_row() {
    const int row = layout_table().current_row;
    return row >= 1 && row <= numrows() ? row : 0;
}

// ===========================================================================
// Choosers

namespace {

struct TypeChooser : DialogProc {
    std::vector<std::string> names;
    int selected = -1;
    int chosen = -1;

    void init(Dialog&) override {
        for (const std::string& name : names) dialog_listbox_add(LAYOUT_CHOICE_LIST, name);
        if (selected >= 0) dialog_listbox_select(LAYOUT_CHOICE_LIST, selected);
        dialog_set_focus(LAYOUT_CHOICE_LIST);
    }
    void command(Dialog& d, int id, int code) override {
        if (id == LAYOUT_CHOICE_LIST && code == NOTIFY_DBLCLK && ok(d)) d.end(IDOK);
    }
    bool ok(Dialog&) override {
        chosen = dialog_listbox_selection(LAYOUT_CHOICE_LIST);
        if (chosen < 0) dialog_throw(LAYOUT_CHOICE_LIST, "Select a type from the list");
        return true;
    }
};

}  // namespace

int choose_element_type(WindowId owner, int current) {
    TypeChooser proc;
    for (int etype = 1; etype <= MAX_ETYPE; ++etype) proc.names.push_back(element_type_name(etype));
    proc.selected = current >= 1 && current <= MAX_ETYPE ? current - 1 : -1;
    if (run_dialog(ELEMENT_TYPES_DIALOG, proc, owner) != IDOK || proc.chosen < 0) return -1;
    return proc.chosen + 1;
}

int choose_data_type(WindowId owner, int current) {
    TypeChooser proc;
    proc.names.push_back("None");
    for (int dtype = 1; dtype <= MAX_DTYPE; ++dtype) proc.names.push_back(data_type_name(dtype));
    proc.selected = current >= 0 && current <= MAX_DTYPE ? current : 0;
    if (run_dialog(DATA_TYPES_DIALOG, proc, owner) != IDOK || proc.chosen < 0) return -1;
    return proc.chosen;
}

void element_types_command(WindowId owner) {
    LayoutTable& t = layout_table();
    if (input_locked() || !table_end_edit(t)) return;
    const int row = t.current_row;
    const int current = row >= 1 && row <= numrows() ? m().rows[row].etype : ET_NONE;
    const int etype = choose_element_type(owner, current);
    if (etype < 1) return;
    push_undo_snapshot(owner);
    if (row >= 1 && row <= numrows()) {
        try {
            if (!set_row_element_type(row, etype)) discard_undo_snapshot();
        } catch (const CI& e) {
            discard_undo_snapshot();
            message_error(owner, e.message);
        }
        return;
    }
    // The input row: a new row of the type, its node still to be typed.
    const int added = append_row_of_type(etype);
    commit_edit();
    table_goto_row(t, added, etype_has_node(etype) ? LAYOUT_NODE : LAYOUT_TYPE);
    if (const auto& dialog = layout_hooks().element_dialog[static_cast<std::size_t>(etype)]) {
        if (dialog(added)) commit_edit();
    }
}

void data_types_command(WindowId owner) {
    LayoutTable& t = layout_table();
    if (input_locked() || !table_end_edit(t)) return;
    const int row = t.current_row;
    if (row < 1 || row > numrows()) {
        beep();
        return;
    }
    const int dtype = choose_data_type(owner, m().rows[row].dtype);
    if (dtype < 0) return;
    push_undo_snapshot(owner);
    try {
        if (!set_row_data_type(row, dtype)) discard_undo_snapshot();
    } catch (const CI& e) {
        discard_undo_snapshot();
        message_error(owner, e.message);
    }
}

void layout_find_node_command() {
    table_find_node_command(layout_table(), [](const std::string& text, int& node) {
        return parse_node_text_code(text, node) == 0;
    });
}
