#include "graphics/show_lists.h"

#include "graphics/view_settings.h"
#include "model/model.h"
#include "model/view_drawing.h"
#include "supports/anchor.h"
#include "supports/nozzle.h"

#include <algorithm>

namespace {

int count(int list)
{
    return model().list(list).count;
}

bool anchor_released(const LayoutRow& r)
{
    const auto* a = dynamic_cast<const Anchor*>(r.data.get());
    return a && std::any_of(a->v.released.begin(), a->v.released.end(), [](uint8_t x) { return x != 0; });
}

bool displacements_given(const LayoutRow& r)
{
    if (const auto* a = dynamic_cast<const Anchor*>(r.data.get()))
        return a->v.displacements.any();
    if (const auto* n = dynamic_cast<const Nozzle*>(r.data.get()))
        return n->v.displacements.any();
    return false;
}

bool any_row(bool (*test)(const LayoutRow&))
{
    for (const LayoutRow& r : model().rows)
        if (test(r))
            return true;
    return false;
}

// Whether the model has nodes of each Show Nodes kind.
bool node_kind_present(int kind)
{
    const Model& m = model();
    switch (kind) {
    case 0: return count(ANCHOR_ROWS) > 0;
    case 1: return any_row(anchor_released);
    case 2: return count(BALL_JOINT_ROWS) > 0;
    case 3: return count(BEAM_ROWS) > 0;
    case 4: return count(BELLOWS_ROWS) > 0;
    case 5: return count(BEND_ROWS) > 0;
    case 6: return !m.branch_points.empty();
    case 7: return count(BRANCH_SIF_ROWS) > 0;
    case 8: return count(CONC_MASS_ROWS) > 0;
    case 9: return count(CUT_PIPE_ROWS) > 0;
    case 10: return count(ELASTIC_ROWS) > 0;
    case 11: return count(FLANGE_ROWS) > 0;
    case 12: return count(FORCE_ROWS) > 0;
    case 13: return count(GUIDE_ROWS) > 0;
    case 14: return count(HANGER_ROWS) > 0;
    case 15: return count(HINGE_JOINT_ROWS) > 0;
    case 16: return count(JACKET_CONNECTION_ROWS) > 0;
    case 17: return count(LIMIT_STOP_ROWS) > 0;
    case 18: return count(MITER_ROWS) > 0;
    case 19: return count(NOZZLE_ROWS) > 0;
    case 20: return count(REDUCER_ROWS) > 0;
    case 21: return count(RESTRAINT_ROWS) > 0;
    case 22: return count(RIGID_ROWS) > 0;
    case 23: return count(SKEWED_RESTRAINT_ROWS) > 0;
    case 24: return count(SLIP_JOINT_ROWS) > 0;
    case 25: return count(SNUBBER_ROWS) > 0;
    case 26: return any_row(displacements_given);
    case 27: return count(THREADED_JOINT_ROWS) > 0;
    case 28: return count(TIE_ROD_ROWS) > 0;
    case 29: return count(USER_SIF_ROWS) > 0;
    case 30: return count(VALVE_ROWS) > 0;
    case 31: return count(WELD_ROWS) > 0;
    case 32: return count(GENERIC_SUPPORT_ROWS) > 0;
    default: return false;
    }
}

void add(ShowList& list, const char* label, bool& flag)
{
    list.entries.push_back(ShowEntry{label, &flag});
    list.initial.push_back(flag);
}

void finish(ShowList& list)
{
    list.ids = show_dialog_layout(static_cast<int>(list.entries.size())).ids;
}

bool numbers_flag()
{
    const ShowFlags& s = show_flags();
    return graphics_settings().render_mode ? s.node_numbers_render : s.node_numbers;
}

}  // namespace

ShowList build_show_list(bool local_axes_applicable)
{
    count_model_items();
    const Model& m = model();
    const bool render = graphics_settings().render_mode;
    const bool nodes = m.numnodes() > 0;
    ShowFlags& s = show_flags();
    ViewState& v = view_state();
    ShowList list;
    if (count(ANCHOR_ROWS) > 0)
        add(list, "Anchors", s.anchors);
    if (count(CONC_MASS_ROWS) > 0)
        add(list, "Conc masses", s.conc_masses);
    if (count(GENERIC_SUPPORT_ROWS) > 0)
        add(list, "Generic supports", s.generic_supports);
    if (!render && count(BEND_ROWS) > 0)
        add(list, "Curved bends", v.curved_bends);
    if (nodes) {
        list.render_dots = render ? static_cast<int>(list.entries.size()) : -1;
        add(list, "Dots at nodes", render ? s.dots_render : s.dots);
    }
    if (count(FLANGE_ROWS) > 0)
        add(list, "Flanges", v.flanges);
    if (!render && count(FORCE_ROWS) > 0)
        add(list, "Forces", s.forces);
    if (count(GUIDE_ROWS) > 0)
        add(list, "Guides", s.guides);
    if (count(HANGER_ROWS) > 0)
        add(list, "Hangers", s.hangers);
    if (count(JACKET_CONNECTION_ROWS) > 0)
        add(list, "Jacket connections", v.jacket_connections);
    if (!render && nodes)
        add(list, "Lengths", s.lengths);
    if (count(LIMIT_STOP_ROWS) > 0)
        add(list, "Limit stops", s.limit_stops);
    if (!render && local_axes_applicable) {
        list.local_axes = static_cast<int>(list.entries.size());
        add(list, "Local coord system", s.local_axes);
    }
    if (nodes) {
        list.numbers = static_cast<int>(list.entries.size());
        if (render)
            list.render_numbers = list.numbers;
        add(list, "Node numbers", render ? s.node_numbers_render : s.node_numbers);
    }
    if (!render && count(NOZZLE_ROWS) > 0)
        add(list, "Nozzles", s.nozzles);
    if (count(RESTRAINT_ROWS) > 0)
        add(list, "Restraints", s.restraints);
    if (!render && nodes)
        add(list, "Row numbers", s.row_numbers);
    if (count(SKEWED_RESTRAINT_ROWS) > 0)
        add(list, "Skewed restraints", s.skewed_restraints);
    if (count(SNUBBER_ROWS) > 0)
        add(list, "Snubbers", s.snubbers);
    if (any_row(displacements_given))
        add(list, "Specified displ", s.specified_displacements);
    finish(list);
    return list;
}

ShowList build_show_nodes_list()
{
    count_model_items();
    ShowNodesFlags& f = show_nodes_flags();
    ShowList list;
    for (int kind = 0; kind < NODE_KIND_COUNT; ++kind)
        if (node_kind_present(kind))
            add(list, node_kind_names()[static_cast<std::size_t>(kind)], f.kinds[static_cast<std::size_t>(kind)]);
    finish(list);
    return list;
}

ShowDialogLayout show_dialog_layout(int n)
{
    ShowDialogLayout l;
    n = std::clamp(n, 0, SHOW_BOXES);
    l.rows = (n + 2) / 3;
    const int r = l.rows;
    for (int i = 0; i < n; ++i) {
        int column = i / std::max(r, 1), row = i % std::max(r, 1);
        if (n == 4 && i == 3) {
            // Two, one and one.
            column = 2;
            row = 0;
        }
        l.ids.push_back(SHOW_FIRST_BOX + 11 * column + row);
        l.row_of.push_back(row);
    }
    l.button_y = 14 * r + 10;
    l.height = 14 * r + 32;
    return l;
}

ShowApplyResult show_apply(ShowList& list, const std::vector<bool>& checked)
{
    ShowApplyResult result;
    ShowFlags& s = show_flags();
    const bool render = graphics_settings().render_mode;
    const bool numbers_before = numbers_flag();
    bool other_changed = false;
    for (std::size_t i = 0; i < list.entries.size() && i < checked.size(); ++i) {
        const bool now = checked[i];
        *list.entries[i].flag = now;
        if (now == list.initial[i])
            continue;
        result.changed = true;
        const int index = static_cast<int>(i);
        if (index == list.local_axes)
            result.local_axes = true;
        if (index != list.render_dots && index != list.render_numbers)
            other_changed = true;
    }
    if (!result.changed)
        return result;
    for (std::size_t i = 0; i < list.entries.size(); ++i)
        list.initial[i] = *list.entries[i].flag;
    if (numbers_flag() != numbers_before)
        show_set_defaults();
    if (!render) {
        if (!s.node_numbers)
            s.node_numbers_render = false;
        result.new_scene = true;
    } else {
        if (s.node_numbers_render)
            s.node_numbers = true;
        result.overlays_only = !other_changed;
        result.new_scene = other_changed;
    }
    return result;
}

void show_nodes_apply(ShowList& list, const std::vector<bool>& checked)
{
    ShowFlags& s = show_flags();
    ShowNodesFlags& f = show_nodes_flags();
    f.all_kinds = true;
    s.node_numbers = false;
    for (std::size_t i = 0; i < list.entries.size() && i < checked.size(); ++i) {
        *list.entries[i].flag = checked[i];
        if (checked[i])
            s.node_numbers = true;
        else
            f.all_kinds = false;
    }
    for (std::size_t i = 0; i < list.entries.size(); ++i)
        list.initial[i] = *list.entries[i].flag;
    if (graphics_settings().render_mode && s.node_numbers)
        s.node_numbers_render = true;
}

void show_toggle_dots_and_numbers()
{
    const bool before = show_flags().node_numbers;
    toggle_dots_and_numbers();
    if (show_flags().node_numbers != before)
        show_set_defaults();
}
