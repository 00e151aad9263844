// The model editing operations and their commands.
#include "model/ui/model_edit.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/messages.h"
#include "framework/ui/shell.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/ui/dialogs_layout.h"
#include "model/ui/layout_window.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace {

// Node numbers that stand in while a renumbering is applied pair by pair.
constexpr int RENUMBER_TEMPORARY_BASE = 10000000;
// The bands of node numbers (plain, A, B, C, D, J).
constexpr int NODE_BANDS = 6;

// Sets the generate repetition for a scope.
class GenerateRepetition {
public:
    GenerateRepetition(int increment, int repetition) { set_generate_node_offset(increment * repetition); }
    ~GenerateRepetition() { set_generate_node_offset(0); }
    GenerateRepetition(const GenerateRepetition&) = delete;
    GenerateRepetition& operator=(const GenerateRepetition&) = delete;
};

Model& m() { return model(); }

void check_range(int first, int last) {
    if (numrows() == 0) throw_message("There are no rows");
    if (first < 1 || first > numrows()) throw_message(c_format("From row =  %d  is invalid", first));
    if (last < first || last > numrows()) throw_message(c_format("To row =  %d  is invalid", last));
}

int band_of(int number) { return number / NODE_BAND; }
int base_of(int number) { return number % NODE_BAND; }

void bring_build_up_to_date() {
    if (model_rebuild_needed()) make_model();
}

BendGeometry* bend_of(LayoutRow& r) { return r.element ? r.element->bend_geometry() : nullptr; }

// Every node number the rows and their bends name: the numbers a new node
// must not take.
std::set<int> numbers_in_use() {
    std::set<int> used;
    for (LayoutRow& r : m().rows) {
        if (r.node) used.insert(r.node);
        if (const BendGeometry* bend = bend_of(r)) {
            if (bend->node1) used.insert(bend->node1);
            if (bend->node2) used.insert(bend->node2);
        }
    }
    for (const NodeRecord& n : m().nodes) used.insert(n.number);
    return used;
}

void check_new_node(long long number, const std::set<int>& used) {
    if (number < 1) throw_node_error(int_text(number), 3);
    if (number > MAX_NODE_NUMBER) throw_node_error(int_text(number), 4);
    if (used.count(static_cast<int>(number))) throw_node_error(node_text(static_cast<int>(number)), 7);
}

// A copy of a row with its own element and data objects.
LayoutRow copy_of_row(const LayoutRow& source, int index) {
    LayoutRow copy;
    copy.node = source.node;
    copy.absolute = source.absolute;
    copy.etype = source.etype;
    copy.dtype = source.dtype;
    copy.dx = source.dx;
    copy.dy = source.dy;
    copy.dz = source.dz;
    copy.material = source.material;
    copy.section = source.section;
    copy.load = source.load;
    if (copy.etype >= 1 && copy.etype <= MAX_ETYPE) {
        copy.create_element_object();
        if (source.element) copy.element->copy_from(*source.element);
    }
    if (copy.create_data_object(index) && source.data) copy.data->copy_from(*source.data);
    return copy;
}

// check_row_name for a command: the cell exception becomes a message text.
void check_name_for_command(int field, int etype, const std::string& name) {
    try {
        check_row_name(field, etype, name);
    } catch (const CI& e) {
        throw MessageText(e.message);
    }
}

// The rotation of a vector about a coordinate axis.
Vec3 rotated(Vec3 v, int axis, double c, double s) {
    switch (axis) {
    case AXIS_X: return {v.x, c * v.y - s * v.z, s * v.y + c * v.z};
    case AXIS_Y: return {c * v.x + s * v.z, v.y, -s * v.x + c * v.z};
    default: return {c * v.x - s * v.y, s * v.x + c * v.y, v.z};
    }
}

}  // namespace

ModelEditHooks& model_edit_hooks() {
    return session_part<ModelEditHooks>();
}


// ===========================================================================
// Operations

int insert_blank_row(int row) {
    if (row < 1 || row > numrows() + 1) throw_message(c_format("Row =  %d  is invalid", row));
    insert_layout_row(row);
    model_changed();
    return row;
}

void delete_rows(int first, int last) {
    check_range(first, last);
    if (const auto& allowable_at = model_edit_hooks().allowable_at_node) {
        for (int row = first; row <= last; ++row) {
            const LayoutRow& r = m().rows[row];
            if (r.node == 0 || !(r.etype == ET_FROM || etype_is_element(r.etype))) continue;
            if (int allowable = allowable_at(r.node))
                throw_message(c_format("Element at Node %d is referred by Allowable at '%d'. \nHence cannot be deleted.",
                                       static_cast<int>(r.node), allowable));
        }
    }
    for (int row = last; row >= first; --row) delete_layout_row(row);
    model_changed();
}

void split_row(int row, int parts, int first_node, int increment) {
    if (!m().rows.valid(row)) throw_message(c_format("Row =  %d  is invalid", row));
    const int etype = m().rows[row].etype;
    if (etype != ET_PIPE && etype != ET_JACKETED_PIPE && etype != ET_BEAM)
        throw_message("Only a pipe, jacketed pipe or beam can be split");
    if (parts < 2) throw_message(c_format("Number of parts =  %d  is invalid", parts));
    if (increment < 1) throw_message(c_format("Node increment =  %d  is invalid", increment));
    if (numrows() + parts - 1 > row_capacity()) throw_message(TOO_MANY_ROWS);

    bring_build_up_to_date();
    const LayoutRow& r = m().rows[row];
    if (r.from_node == 0 || r.node_index == 0) throw_message(c_format("Row %d has no element to split", row));
    const Vec3 p0 = node_position(m(), r.from_node);
    const Vec3 p1 = node_position(m(), r.node_index);
    const Vec3 delta{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z};
    const double length = length3(delta.x, delta.y, delta.z);
    if (length < 1.0e-3) throw_message(c_format("The element at row %d has no length", row));

    // After a bend the straight part starts at the bend's far tangent point:
    // the first part must end beyond it.
    const int previous = LayoutRow::previous_element_row(row);
    if (previous) {
        LayoutRow& p = m().rows[previous];
        const BendGeometry* bend = etype_is_bend(p.etype) ? bend_of(p) : nullptr;
        if (bend && bend->geometry_valid && bend->far_node) {
            const double tangent = node_distance(r.from_node, bend->far_node);
            if (length / parts <= tangent + 1.0e-3)
                throw_message("The first part would end inside the bend at node " + node_text(p.node));
        }
    }

    const std::set<int> used = numbers_in_use();
    std::vector<int> numbers;
    for (int k = 0; k < parts - 1; ++k) {
        const long long number = static_cast<long long>(first_node) + static_cast<long long>(k) * increment;
        check_new_node(number, used);
        numbers.push_back(static_cast<int>(number));
    }

    const Vec3 part{delta.x / parts, delta.y / parts, delta.z / parts};
    for (int k = 0; k < parts - 1; ++k) {
        LayoutRow copy = copy_of_row(m().rows[row + k], row + k);
        copy.node = numbers[static_cast<std::size_t>(k)];
        copy.absolute = 0;
        copy.dtype = DT_NONE;
        copy.data.reset();
        copy.dx = static_cast<float>(part.x);
        copy.dy = static_cast<float>(part.y);
        copy.dz = static_cast<float>(part.z);
        m().rows.insert(row + k, std::move(copy));
    }
    LayoutRow& original = m().rows[row + parts - 1];
    if (!original.absolute) {
        // The last part takes what is left, so the row's node stays in place.
        original.dx = static_cast<float>(delta.x - (parts - 1) * part.x);
        original.dy = static_cast<float>(delta.y - (parts - 1) * part.y);
        original.dz = static_cast<float>(delta.z - (parts - 1) * part.z);
    }
    if (m().current_row >= row) m().current_row += parts - 1;
    model_changed();
}

void generate_rows(int first, int last, int copies, int increment) {
    check_range(first, last);
    if (copies < 1) throw_message(c_format("Number of copies =  %d  is invalid", copies));
    if (increment < 1) throw_message(c_format("Node increment =  %d  is invalid", increment));
    const int block = last - first + 1;
    if (static_cast<long long>(numrows()) + static_cast<long long>(copies) * block > row_capacity())
        throw_message(TOO_MANY_ROWS);
    for (int row = first; row <= last; ++row) {
        const LayoutRow& r = m().rows[row];
        if (r.etype == ET_FROM || r.absolute)
            throw_message(c_format("Row %d has absolute coordinates; its copies would lie on it", row));
    }

    // Every number the copies make must be free and below 100000.
    // A number may stand more than once in the block (a Location row at an
    // element's node, a loop closing inside the block): its copies repeat it.
    const std::set<int> used = numbers_in_use();
    auto check = [&](int number, long long offset) {
        if (number == 0) return;
        const long long base = base_of(number) + offset;
        if (base > MAX_NODE_NUMBER) throw_message(c_format("%lld  %s", base, node_error_text(4)));
        const int shifted = band_of(number) * NODE_BAND + static_cast<int>(base);
        if (band_of(number) != 0) return;   // tangent and jacket points come with their own row
        if (used.count(shifted)) throw_node_error(node_text(shifted), 7);
    };
    for (int k = 1; k <= copies; ++k) {
        const long long offset = static_cast<long long>(k) * increment;
        for (int row = first; row <= last; ++row) {
            LayoutRow& r = m().rows[row];
            check(r.node, offset);
            if (const BendGeometry* bend = bend_of(r)) {
                check(bend->node1, offset);
                check(bend->node2, offset);
            }
        }
    }

    int at = last + 1;
    for (int k = 1; k <= copies; ++k) {
        GenerateRepetition repetition(increment, k);
        for (int row = first; row <= last; ++row, ++at) {
            LayoutRow copy = copy_of_row(m().rows[row], at);
            if (copy.node) copy.node = band_of(copy.node) * NODE_BAND + base_of(copy.node) + generate_node_offset();
            m().rows.insert(at, std::move(copy));
        }
    }
    model_changed();
}

void renumber_nodes(int first, int last, int first_node, int increment) {
    check_range(first, last);
    if (increment < 1) throw_message(c_format("Node increment =  %d  is invalid", increment));
    if (first_node < 1 || first_node > MAX_NODE_NUMBER) throw_node_error(int_text(first_node), first_node < 1 ? 3 : 4);

    // The plain numbers of the range in order of first use.
    std::vector<int> olds;
    std::set<int> seen;
    auto take = [&](int number) {
        if (number == 0) return;
        const int base = base_of(number);
        if (seen.insert(base).second) olds.push_back(base);
    };
    for (int row = first; row <= last; ++row) {
        LayoutRow& r = m().rows[row];
        take(r.node);
        if (const BendGeometry* bend = bend_of(r)) {
            take(bend->node1);
            take(bend->node2);
        }
    }
    if (olds.empty()) throw_message("There are no nodes in these rows");

    std::map<int, int> mapping;
    for (std::size_t k = 0; k < olds.size(); ++k) {
        const long long number = first_node + static_cast<long long>(k) * increment;
        if (number > MAX_NODE_NUMBER) throw_message(c_format("%lld  %s", number, node_error_text(4)));
        mapping[olds[k]] = static_cast<int>(number);
    }
    // The numbers that stay must not be taken.
    std::set<int> kept;
    for (int number : numbers_in_use())
        if (!mapping.count(base_of(number))) kept.insert(base_of(number));
    for (const auto& [old_number, new_number] : mapping)
        if (kept.count(new_number)) throw_node_error(node_text(new_number), 7);

    bool changes = false;
    for (const auto& [old_number, new_number] : mapping) changes = changes || old_number != new_number;
    if (!changes) return;

    auto mapped = [&](int number) {
        if (number == 0) return number;
        auto found = mapping.find(base_of(number));
        return found == mapping.end() ? number : band_of(number) * NODE_BAND + found->second;
    };
    for (LayoutRow& r : m().rows) {
        r.node = mapped(r.node);
        if (BendGeometry* bend = bend_of(r)) {
            bend->node1 = mapped(bend->node1);
            bend->node2 = mapped(bend->node2);
        }
    }
    // Data items renumber one pair at a time: through stand-in numbers, so
    // that a number that is both old and new is not renumbered twice.
    std::vector<std::pair<int, int>> pairs;
    for (const auto& [old_number, new_number] : mapping)
        if (old_number != new_number) pairs.emplace_back(old_number, new_number);
    for (LayoutRow& r : m().rows) {
        if (!r.data) continue;
        for (int step = 0; step < 2; ++step) {
            int k = 0;
            for (const auto& [old_number, new_number] : pairs) {
                for (int band = 0; band < NODE_BANDS; ++band) {
                    const int temporary = RENUMBER_TEMPORARY_BASE + band * NODE_BAND + k;
                    if (step == 0)
                        r.data->renumber_node(band * NODE_BAND + old_number, temporary);
                    else
                        r.data->renumber_node(temporary, band * NODE_BAND + new_number);
                }
                ++k;
            }
        }
    }
    if (const auto& hook = model_edit_hooks().renumber_allowables) {
        if (!pairs.empty()) hook(pairs);
    }
    model_changed();
}

void rotate_rows(int first, int last, int axis, double angle) {
    check_range(first, last);
    if (axis < AXIS_X || axis > AXIS_Z) throw_message("Axis is invalid");
    if (!std::isfinite(angle)) throw_message("Angle is invalid");
    bring_build_up_to_date();

    Vec3 pivot{};
    const LayoutRow& start = m().rows[first];
    if (start.etype == ET_FROM) {
        pivot = {start.dx, start.dy, start.dz};
    } else if (int previous = LayoutRow::previous_element_row(first); previous && m().rows[previous].node_index) {
        pivot = node_position(m(), m().rows[previous].node_index);
    }
    // A quarter turn typed in degrees arrives with the round-off of a float:
    // sines and cosines that close to 0 or 1 are taken as exact.
    auto exact = [](double x) {
        if (std::fabs(x) < 1.0e-6) return 0.0;
        if (std::fabs(std::fabs(x) - 1.0) < 1.0e-6) return x > 0.0 ? 1.0 : -1.0;
        return x;
    };
    const double c = exact(std::cos(angle));
    const double s = exact(std::sin(angle));
    for (int row = first; row <= last; ++row) {
        LayoutRow& r = m().rows[row];
        if (!etype_has_offsets(r.etype)) continue;
        Vec3 v{r.dx, r.dy, r.dz};
        if (r.etype == ET_FROM || r.absolute) {
            Vec3 t = rotated({v.x - pivot.x, v.y - pivot.y, v.z - pivot.z}, axis, c, s);
            v = {pivot.x + t.x, pivot.y + t.y, pivot.z + t.z};
        } else {
            v = rotated(v, axis, c, s);
        }
        // Round-off of a quarter turn is not left as a tiny offset.
        auto clean = [](double x) { return static_cast<float>(std::fabs(x) < 1.0e-6 ? 0.0 : x); };
        r.dx = clean(v.x);
        r.dy = clean(v.y);
        r.dz = clean(v.z);
    }
    model_changed();
}

void change_rows(int first, int last, const std::string& material, const std::string& section,
                 const std::string& load) {
    check_range(first, last);
    const std::string names[3] = {upper_case(material), upper_case(section), upper_case(load)};
    for (int row = first; row <= last; ++row) {
        const LayoutRow& r = m().rows[row];
        if (!etype_has_names(r.etype)) continue;
        for (int field = 0; field < 3; ++field) check_name_for_command(field, r.etype, names[field]);
    }
    int changed = 0;
    for (int row = first; row <= last; ++row) {
        LayoutRow& r = m().rows[row];
        if (!etype_has_names(r.etype)) continue;
        for (int field = 0; field < 3; ++field) {
            if (names[field].empty() || row_name(r, field) == names[field]) continue;
            row_name(r, field) = names[field];
            ++changed;
        }
    }
    if (changed) model_changed();
}

int replace_names(int field, const std::string& find, const std::string& replace,
                  const std::function<int(int row)>& question) {
    if (field < FIELD_MATERIAL || field > FIELD_LOAD) throw_message("Field is invalid");
    std::string wanted = find;
    trim_blanks(wanted);
    std::string with = upper_case(replace);
    trim_blanks(with);
    if (wanted.empty()) throw_required("Find String");
    if (with.empty()) throw_required("Replace String");
    const std::string key = lower_case(wanted);

    std::vector<int> matches;
    for (int row = 1; row <= numrows(); ++row) {
        LayoutRow& r = m().rows[row];
        if (etype_has_names(r.etype) && lower_case(row_name(r, field)) == key) {
            check_name_for_command(field, r.etype, with);
            matches.push_back(row);
        }
    }
    int replaced = 0;
    for (int row : matches) {
        if (question) {
            const int answer = question(row);
            if (answer == IDCANCEL) break;
            if (answer != IDYES) continue;
        }
        std::string& name = row_name(m().rows[row], field);
        if (name == with) continue;
        name = with;
        ++replaced;
    }
    if (replaced) model_changed();
    return replaced;
}

int find_text_row(const std::string& text, int after) {
    std::string key = lower_case(text);
    trim_blanks(key);
    const int n = numrows();
    if (key.empty() || n == 0) return 0;
    const int start = std::clamp(after, 0, n);
    for (int i = 1; i <= n; ++i) {
        const int row = (start + i - 1) % n + 1;
        const LayoutRow& r = m().rows[row];
        std::string haystack = node_text(r.node) + '\n' + element_type_name(r.etype) + '\n' + r.material + '\n' +
                               r.section + '\n' + r.load;
        if (r.element) haystack += '\n' + r.element->description();
        if (r.dtype) haystack += '\n' + data_item_kind_name(r.dtype, r.data_subtype());
        if (r.data) haystack += '\n' + r.data->description();
        if (lower_case(haystack).find(key) != std::string::npos) return row;
    }
    return 0;
}

// ===========================================================================
// Dialogs

namespace {

// Reads a whole number field: required, within min..max.
int read_int(int item, const std::string& name, int min, int max) {
    dialog_get_text(item);
    if (item_text().empty()) dialog_throw(item, name + " is required");
    int32_t value = 0;
    if (parse_int_buffer(value) != 0 || value < min || value > max)
        dialog_throw(item, name + " =  " + item_text() + "  is invalid");
    return value;
}

int read_node(int item, const std::string& name) {
    dialog_get_text(item);
    int number = 0;
    const int code = parse_node_text(number);
    if (code != 0) dialog_throw(item, name + " =  " + item_text() + "  " + node_error_text(code));
    return number;
}

struct RowRange {
    int first = 0;
    int last = 0;
    void init(int first_row, int last_row) const {
        dialog_set_text(EDIT_FIRST_ROW, int_text(first_row));
        dialog_set_text(EDIT_LAST_ROW, int_text(last_row));
    }
    void read() {
        first = read_int(EDIT_FIRST_ROW, "From row", 1, numrows());
        last = read_int(EDIT_LAST_ROW, "To row", first, numrows());
    }
};

int current_row_or_beep() {
    const int row = current_layout_row();
    if (row == 0) beep();
    return row;
}

bool editing_blocked() { return input_locked() || numrows() == 0 || !table_end_edit(layout_table()); }

// The largest plain node number of the rows.
int highest_node() {
    int highest = 0;
    for (const LayoutRow& r : m().rows) highest = std::max(highest, base_of(r.node));
    return highest;
}

// Runs an editing dialog: an undo entry is made before and dropped when the
// dialog is cancelled; afterwards the layout shows the model.
int run_edit_dialog(const DialogTemplate& t, DialogProc& proc, WindowId owner) {
    push_undo_snapshot(owner);
    const int result = run_dialog(t, proc, owner);
    if (result != IDOK) discard_undo_snapshot();
    reload_layout_table();
    return result;
}

struct SplitDialog : DialogProc {
    int row = 0;
    void init(Dialog& d) override {
        const LayoutRow& r = m().rows[row];
        const int previous = LayoutRow::previous_element_row(row);
        d.set_caption("Split element from " + (previous ? node_text(m().rows[previous].node) : std::string()) +
                      " to " + node_text(r.node));
        dialog_set_text(SPLIT_PARTS, "2");
        dialog_set_text(SPLIT_FIRST_NODE, int_text(next_node_number(highest_node())));
        dialog_set_text(SPLIT_INCREMENT, int_text(std::max(1, m().node_increment)));
    }
    bool ok(Dialog&) override {
        const int parts = read_int(SPLIT_PARTS, "Number of parts", 2, MAXROWS);
        const int first_node = read_node(SPLIT_FIRST_NODE, "First new node");
        const int increment = read_int(SPLIT_INCREMENT, "Node increment", 1, MAX_NODE_NUMBER);
        split_row(row, parts, first_node, increment);
        return true;
    }
};

struct GenerateDialog : DialogProc {
    RowRange range;
    int row = 0;
    void init(Dialog&) override {
        range.init(row, row);
        dialog_set_text(GENERATE_COPIES, "1");
        dialog_set_text(GENERATE_INCREMENT, int_text(std::max(1, m().node_increment)));
    }
    bool ok(Dialog&) override {
        range.read();
        const int copies = read_int(GENERATE_COPIES, "Number of copies", 1, MAXROWS);
        const int increment = read_int(GENERATE_INCREMENT, "Node increment", 1, MAX_NODE_NUMBER);
        generate_rows(range.first, range.last, copies, increment);
        return true;
    }
};

struct RenumberDialog : DialogProc {
    RowRange range;
    int row = 0;
    void init(Dialog&) override {
        range.init(row, numrows());
        const int step = std::max(1, m().node_increment);
        dialog_set_text(RENUMBER_FIRST_NODE, int_text(base_of(m().rows[row].node) ? base_of(m().rows[row].node) : step));
        dialog_set_text(RENUMBER_INCREMENT, int_text(step));
    }
    bool ok(Dialog&) override {
        range.read();
        const int first_node = read_node(RENUMBER_FIRST_NODE, "First node");
        const int increment = read_int(RENUMBER_INCREMENT, "Node increment", 1, MAX_NODE_NUMBER);
        renumber_nodes(range.first, range.last, first_node, increment);
        return true;
    }
};

struct RotateDialog : DialogProc {
    RowRange range;
    int row = 0;
    void init(Dialog&) override {
        range.init(row, numrows());
        dialog_set_unit_label(ROTATE_ANGLE_UNIT, ANGLE);
        const int vertical = analysis_options().z_vertical ? ROTATE_ABOUT_Z : ROTATE_ABOUT_Y;
        dialog_set_radio(ROTATE_ABOUT_X, ROTATE_ABOUT_Z, vertical);
    }
    bool ok(Dialog&) override {
        range.read();
        dialog_get_text(ROTATE_ANGLE);
        if (item_text().empty()) dialog_throw(ROTATE_ANGLE, "Angle is required");
        float angle = 0.0f;
        if (parse_angle_buffer(angle) != 0) dialog_throw(ROTATE_ANGLE, "Angle =  " + item_text() + "  is invalid");
        const int axis = dialog_is_checked(ROTATE_ABOUT_X) ? AXIS_X : dialog_is_checked(ROTATE_ABOUT_Z) ? AXIS_Z : AXIS_Y;
        rotate_rows(range.first, range.last, axis, angle);
        return true;
    }
};

struct ChangeDialog : DialogProc {
    RowRange range;
    int row = 0;
    void init(Dialog&) override { range.init(row, row); }
    bool ok(Dialog&) override {
        range.read();
        std::string names[3];
        const int items[3] = {CHANGE_MATERIAL, CHANGE_SECTION, CHANGE_LOAD};
        for (int field = 0; field < 3; ++field) {
            dialog_get_text(items[field]);
            names[field] = item_text();
        }
        if (names[0].empty() && names[1].empty() && names[2].empty())
            dialog_throw(CHANGE_MATERIAL, "Material, Section or Load is required");
        change_rows(range.first, range.last, names[0], names[1], names[2]);
        return true;
    }
};

// The find and replace texts last until the program ends.
struct ReplaceTexts {
    std::string find;
    std::string replace;
    int field = FIELD_MATERIAL;
};
ReplaceTexts& replace_texts() {
    return session_part<ReplaceTexts>();
}

struct ReplaceDialog : DialogProc {
    WindowId owner = 0;
    int replaced = -1;
    void init(Dialog&) override {
        const ReplaceTexts& t = replace_texts();
        dialog_item(REPLACE_FIELD);
        dialog_list_reset(REPLACE_FIELD);
        for (const char* name : {"Material", "Section", "Load"}) dialog_list_add(name);
        dialog_list_select(REPLACE_FIELD, t.field);
        dialog_set_text_limit(REPLACE_FIND, t.find, 25);
        dialog_set_text_limit(REPLACE_WITH, t.replace, 25);
        dialog_set_radio(REPLACE_ALL, REPLACE_PROMPT, REPLACE_ALL);
    }
    bool ok(Dialog&) override {
        ReplaceTexts& t = replace_texts();
        dialog_get_trimmed(REPLACE_FIND);
        if (item_text().empty()) dialog_throw(REPLACE_FIND, "Find String is required");
        const std::string find = item_text();
        dialog_get_trimmed(REPLACE_WITH);
        if (item_text().empty()) dialog_throw(REPLACE_WITH, "Replace String is required");
        const std::string with = item_text();
        const int field = std::clamp(dialog_list_selection(REPLACE_FIELD), 0, 2);
        t = {find, with, field};
        const bool prompt = dialog_is_checked(REPLACE_PROMPT);
        static const char* const names[] = {"material", "section", "load"};
        std::function<int(int)> question;
        if (prompt) {
            question = [&](int row) {
                select_layout_row(row);
                const LayoutRow& r = m().rows[row];
                const std::string text = c_format("Do you want to change the %s at node %s from %s to %s", names[field],
                                                  node_text(r.node).c_str(), row_name(m().rows[row], field).c_str(),
                                                  upper_case(with).c_str());
                return backend().message_box(owner, text, PRODUCT_NAME, MessageIcon::Question,
                                             MessageButtons::YesNoCancel);
            };
        }
        replaced = replace_names(field, find, with, question);
        return true;
    }
};

struct FindTextMemory {
    std::string value{};
};

struct FindTextDialog : DialogProc {
    int found = 0;
    int after = 0;
    void init(Dialog&) override { dialog_set_text(FIND_TEXT, find_text_value()); }
    bool ok(Dialog&) override {
        dialog_get_trimmed(FIND_TEXT);
        if (item_text().empty()) dialog_throw(FIND_TEXT, "Text is required");
        find_text_value() = item_text();
        found = find_text_row(item_text(), after);
        if (found == 0) dialog_throw(FIND_TEXT, "Text  " + item_text() + "  not found");
        return true;
    }
    static std::string& find_text_value() {
        return session_part<FindTextMemory>().value;
    }
};

// The command's failure is shown over its owner.
template <class F>
void guarded(WindowId owner, F&& action) {
    try {
        action();
    } catch (const MessageText& e) {
        message_error(owner, e.text);
    }
}

}  // namespace

void split_command(WindowId owner) {
    if (editing_blocked()) return;
    const int row = current_row_or_beep();
    if (row == 0) return;
    guarded(owner, [&] {
        const int etype = m().rows[row].etype;
        if (etype != ET_PIPE && etype != ET_JACKETED_PIPE && etype != ET_BEAM)
            throw_message("Only a pipe, jacketed pipe or beam can be split");
        SplitDialog proc;
        proc.row = row;
        if (run_edit_dialog(SPLIT_DIALOG, proc, owner) == IDOK) select_layout_row(row);
    });
}

void generate_command(WindowId owner) {
    if (editing_blocked()) return;
    const int row = current_row_or_beep();
    if (row == 0) return;
    GenerateDialog proc;
    proc.row = row;
    run_edit_dialog(GENERATE_DIALOG, proc, owner);
}

void renumber_command(WindowId owner) {
    if (editing_blocked()) return;
    RenumberDialog proc;
    proc.row = std::max(1, current_layout_row());
    run_edit_dialog(RENUMBER_DIALOG, proc, owner);
}

void rotate_command(WindowId owner) {
    if (editing_blocked()) return;
    RotateDialog proc;
    proc.row = std::max(1, current_layout_row());
    run_edit_dialog(ROTATE_DIALOG, proc, owner);
}

void change_command(WindowId owner) {
    if (editing_blocked()) return;
    ChangeDialog proc;
    proc.row = std::max(1, current_layout_row());
    run_edit_dialog(CHANGE_DIALOG, proc, owner);
}

void replace_command(WindowId owner) {
    if (editing_blocked()) return;
    ReplaceDialog proc;
    proc.owner = owner;
    if (run_edit_dialog(FINDANDREPLACE, proc, owner) == IDOK && proc.replaced == 0)
        message_info(owner, "Nothing was replaced");
}

void find_text_command(WindowId owner) {
    if (numrows() == 0 || !table_end_edit(layout_table())) return;
    FindTextDialog proc;
    proc.after = current_layout_row();
    if (run_dialog(FIND_TEXT_DIALOG, proc, owner) == IDOK && proc.found) select_layout_row(proc.found);
}

void install_model_edit_commands() {
    register_command(CMD_SPLIT, [](int) { split_command(command_owner()); });
    register_command(CMD_GENERATE, [](int) { generate_command(command_owner()); });
    register_command(CMD_RENUMBER, [](int) { renumber_command(command_owner()); });
    register_command(CMD_ROTATE, [](int) { rotate_command(command_owner()); });
    register_command(CMD_CHANGE, [](int) { change_command(command_owner()); });
    register_command(CMD_REPLACE, [](int) { replace_command(command_owner()); });
    register_command(CMD_FIND_TEXT, [](int) { find_text_command(command_owner()); });
}
