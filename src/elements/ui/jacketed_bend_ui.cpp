// The jacketed-bend dialog (JBEND_DIALOG): the jacket's material, section
// and load, the radii and walls of jacket and core, and the intermediate
// nodes on the jacket.
#include "elements/element_common.h"
#include "elements/element_dialog_ids.h"
#include "elements/jacketed_bend.h"
#include "elements/ui/dialogs_elements.h"
#include "elements/ui/element_ui.h"
#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/ui/dialog_helper.h"
#include "framework/units.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/ui/record_combos.h"
#include "model/model.h"

#include <algorithm>

namespace {

JacketedBend* jacketed_bend_of_row(int row)
{
    return row_element_of<JacketedBend>(row, ET_JACKETED_BEND);
}

void fill_names(int item, const std::vector<std::string>& names)
{
    dialog_list_reset(item);
    for (const std::string& name : names)
        dialog_list_add(name);
}

class JacketedBendDialog final : public ElementDialog {
public:
    using ElementDialog::ElementDialog;

    void init(Dialog& d) override
    {
        const LayoutRow& r = model().rows[row_];
        d.set_caption(row_caption_at_node(row_, "Jacketed Bend"));
        for (int id : {int{JBEND_JACKET_RADIUS_GROUP}, int{JBEND_CORE_RADIUS_GROUP}, int{JBEND_THICKNESS_GROUP}})
            dialog_set_unit_label(id, DIMENSION);
        dialog_set_unit_label(JBEND_ANGLE1_UNIT, ANGLE);
        dialog_set_unit_label(JBEND_ANGLE2_UNIT, ANGLE);
        const std::vector<std::string> loads = pipe_load_names();
        dialog_fill_material_combo(JBEND_JACKET_MATERIAL);
        dialog_fill_section_combo(JBEND_JACKET_SECTION);
        fill_names(JBEND_JACKET_LOAD, loads);
        dialog_fill_material_combo(JBEND_CORE_MATERIAL);
        dialog_fill_section_combo(JBEND_CORE_SECTION);
        fill_names(JBEND_CORE_LOAD, loads);
        for (int id : {int{JBEND_JACKET_MATERIAL}, int{JBEND_JACKET_SECTION}, int{JBEND_JACKET_LOAD}})
            if (d.list_count(id) > 0)
                dialog_list_select(id, 0);
        dialog_list_select(JBEND_CORE_MATERIAL, pipe_material_index(r.material) - 1);
        dialog_list_select(JBEND_CORE_SECTION, section_index(r.section) - 1);
        dialog_list_select(JBEND_CORE_LOAD, name_entry(loads, r.load));
        dialog_set_radio(JBEND_JACKET_LONG, JBEND_JACKET_USER, JBEND_JACKET_LONG);
        dialog_set_radio(JBEND_CORE_LONG, JBEND_CORE_USER, JBEND_CORE_LONG);
        jacket_defaults_to_dialog(row_);
        LayoutRow::fill_element_dialog(row_, d, ET_JACKETED_BEND);
        remember_texts(d, {JBEND_JACKET_RADIUS, JBEND_CORE_RADIUS, JBEND_JACKET_THICKNESS, JBEND_CORE_THICKNESS,
                           JBEND_ANGLE1, JBEND_ANGLE2});
        if (input_locked()) {
            for (int id = JBEND_JACKET_RADIUS; id <= JBEND_ANGLE2; ++id)
                dialog_set_readonly(id);
            for (int id = JBEND_JACKET_MATERIAL; id <= JBEND_CORE_LOAD; ++id)
                dialog_disable(id);
            for (int first : {int{JBEND_JACKET_LONG}, int{JBEND_CORE_LONG}})
                for (int id = first; id <= first + 2; ++id)
                    dialog_disable(id);
            dialog_set_focus(IDOK);
        } else {
            dialog_set_focus(JBEND_JACKET_MATERIAL);
        }
    }

    void command(Dialog&, int id, int code) override
    {
        if (input_locked() || code != NOTIFY_CLICKED)
            return;
        for (const auto& [first, edit] : {std::pair{int{JBEND_JACKET_LONG}, int{JBEND_JACKET_RADIUS}},
                                          std::pair{int{JBEND_CORE_LONG}, int{JBEND_CORE_RADIUS}}}) {
            if (id == first || id == first + 1) {
                dialog_set_text(edit, "");
                dialog_disable(edit);
            } else if (id == first + 2) {
                dialog_enable_item(edit, true);
                dialog_select_focus(edit);
            }
        }
    }

    bool store(Dialog&) override
    {
        if (model_rebuild_needed())
            make_model();
        const JacketedBend* old = jacketed_bend_of_row(row_);
        JacketedBend defaults;
        const JacketedBend& before = old ? *old : defaults;
        const LayoutRow& r = model().rows[row_];
        const int core_section = section_index(r.section);

        JacketedBend next;
        BendGeometry& g = next.geometry;
        JacketGeometry& j = next.jacket;
        // 1, 2. The core's radius and wall.
        read_radius(JBEND_CORE_LONG, JBEND_CORE_RADIUS, r.section, before.geometry.radius, g.radius_kind, g.radius);
        g.thickness = read_dimension(JBEND_CORE_THICKNESS, "Thickness", 0.0, false, before.geometry.thickness);
        if (const std::string fault =
                bend_wall_fault(g.thickness, core_section ? pipe_sections()[core_section].outside_diameter : 0.0f);
            !fault.empty())
            dialog_throw(JBEND_CORE_THICKNESS, fault);
        // 3. The jacket's material, section and load.
        const int material = dialog_list_selection(JBEND_JACKET_MATERIAL);
        if (material < 0 || !pipe_materials().valid(material + 1))
            dialog_throw(JBEND_JACKET_MATERIAL, "Jacket material is required");
        j.material = pipe_materials()[material + 1].name;
        const int section = dialog_list_selection(JBEND_JACKET_SECTION);
        if (section < 0 || !pipe_sections().valid(section + 1))
            dialog_throw(JBEND_JACKET_SECTION, "Jacket section is required");
        j.section = pipe_sections()[section + 1].name;
        const std::vector<std::string> loads = pipe_load_names();
        const int load = dialog_list_selection(JBEND_JACKET_LOAD);
        if (load < 0 || load >= static_cast<int>(loads.size()))
            dialog_throw(JBEND_JACKET_LOAD, "Jacket load is required");
        j.load = loads[static_cast<std::size_t>(load)];
        if (jacket_clearance_short(j.section, r.section))
            dialog_throw(JBEND_JACKET_SECTION, "(Jacket I.D. - lining) < (core O.D. + insulation)");
        // 4, 5. The jacket's radius and wall.
        read_radius(JBEND_JACKET_LONG, JBEND_JACKET_RADIUS, j.section, before.jacket.radius, j.radius_kind, j.radius);
        j.thickness = read_dimension(JBEND_JACKET_THICKNESS, "Thickness", 0.0, false, before.jacket.thickness);
        if (const std::string fault = bend_wall_fault(j.thickness, pipe_sections()[section + 1].outside_diameter);
            !fault.empty())
            dialog_throw(JBEND_JACKET_THICKNESS, fault);
        // 6. Intermediate nodes on the jacket.
        g.node1 = read_intermediate_node(JBEND_NODE1);
        if (g.node1 != 0)
            g.angle1 = read_intermediate_angle(JBEND_ANGLE1, before.geometry.angle1);
        g.node2 = read_intermediate_node(JBEND_NODE2);
        if (g.node2 != 0)
            g.angle2 = read_intermediate_angle(JBEND_ANGLE2, before.geometry.angle2);
        if (g.node1 != 0 && g.node1 == g.node2)
            dialog_throw(JBEND_NODE2, "Node is same as previous node");
        if (g.angle1 != 0.0f && g.angle1 == g.angle2)
            dialog_throw(JBEND_ANGLE2, "Angle is same as previous angle");
        order_intermediate_nodes(g.node1, g.angle1, g.node2, g.angle2);

        // 7, 8.
        const BendGeometry& og = before.geometry;
        const JacketGeometry& oj = before.jacket;
        const bool arc_same = g.radius_kind == og.radius_kind && g.radius == og.radius && g.node1 == og.node1 &&
                              g.node2 == og.node2 && g.angle1 == og.angle1 && g.angle2 == og.angle2 &&
                              j.radius == oj.radius && j.radius_kind == oj.radius_kind && j.section == oj.section;
        if (old && arc_same && g.thickness == og.thickness && j.thickness == oj.thickness &&
            j.material == oj.material && j.load == oj.load) {
            discard_undo_snapshot();
            return true;
        }
        JacketedBend* bend = old ? jacketed_bend_of_row(row_)
                                 : dynamic_cast<JacketedBend*>(LayoutRow::change_etype(row_, ET_JACKETED_BEND));
        KV_ASSERT(bend != nullptr);
        BendGeometry& b = bend->geometry;
        b.radius_kind = g.radius_kind;
        b.radius = g.radius;
        b.thickness = g.thickness;
        b.node1 = g.node1;
        b.node2 = g.node2;
        b.angle1 = g.angle1;
        b.angle2 = g.angle2;
        bend->jacket.material = j.material;
        bend->jacket.section = j.section;
        bend->jacket.load = j.load;
        bend->jacket.radius_kind = j.radius_kind;
        bend->jacket.radius = j.radius;
        bend->jacket.thickness = j.thickness;
        finish_store(!arc_same);
        return true;
    }

private:
    // A radius by its radio group (Long, Short, User from `first_radio`):
    // the section's long or short radius, or the typed one (required, at
    // least 0.1).
    void read_radius(int first_radio, int edit, const std::string& section, float stored, uint8_t& kind,
                     float& radius) const
    {
        const auto& hook = model_hooks().section_bend_radius;
        const bool known = section_index(section) != 0;
        if (dialog_is_checked(first_radio + 1)) {
            kind = RADIUS_SHORT;
            radius = known && hook ? static_cast<float>(hook(section, RADIUS_SHORT)) : 0.0f;
        } else if (dialog_is_checked(first_radio + 2)) {
            kind = RADIUS_USER;
            radius = read_dimension(edit, "Radius", 0.1, true, stored);
        } else {
            kind = RADIUS_LONG;
            radius = known && hook ? static_cast<float>(hook(section, RADIUS_LONG)) : 0.0f;
        }
    }
};

}  // namespace

bool edit_jacketed_bend(int row, WindowId owner)
{
    return edit_element_row<JacketedBendDialog>(JBEND_DIALOG, row, owner);
}
