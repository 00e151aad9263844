// The bend dialogs (BEND1_DIALOG, BEND2_DIALOG), the "Bends" table and its
// printed and CSV forms.
#include "elements/bend.h"
#include "elements/element_common.h"
#include "elements/element_dialog_ids.h"
#include "elements/ui/dialogs_elements.h"
#include "elements/ui/element_ui.h"
#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/help.h"
#include "framework/ui/messages.h"
#include "framework/ui/report.h"
#include "framework/units.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/ui/record_combos.h"
#include "model/model.h"
#include "model/value_bounds.h"
#include "model/piping_codes.h"

#include <tuple>

namespace {

Bend* bend_of_row(int row)
{
    return row_element_of<Bend>(row, ET_BEND);
}

const PipeSection* section_of_row(int row)
{
    const int index = model().rows.valid(row) ? section_index(model().rows[row].section) : 0;
    return index ? &pipe_sections()[index] : nullptr;
}

double section_radius_of(const std::string& section, int kind)
{
    const auto& hook = model_hooks().section_bend_radius;
    return hook ? hook(section, kind) : 0.0;
}

// ---- The dialog ---------------------------------------------------------------------------

class BendDialog final : public ElementDialog {
public:
    using ElementDialog::ElementDialog;

    void init(Dialog& d) override
    {
        b313_ = code_is_b313_group();
        d.set_caption(row_caption_at_node(row_, "Bend"));
        dialog_set_unit_label(BEND_RADIUS_UNIT, DIMENSION);
        dialog_set_unit_label(BEND_THICKNESS_UNIT, DIMENSION);
        dialog_set_unit_label(BEND_ANGLE1_UNIT, ANGLE);
        dialog_set_unit_label(BEND_ANGLE2_UNIT, ANGLE);
        if (d.has_item(BEND_FF_OUT)) {
            const bool axial = bend_shows_axial_sif();
            dialog_enable_item(BEND_SIF_AXIAL_LABEL, axial);
            dialog_enable_item(BEND_SIF_AXIAL, axial);
            if (bend_uses_b31j()) {
                dialog_show(BEND_FF_OUT_LABEL);
                dialog_show(BEND_FF_OUT);
                dialog_enable_item(BEND_SIF_TORSION_LABEL, true);
                dialog_enable_item(BEND_SIF_TORSION, true);
            } else {
                dialog_set_text(BEND_FF_IN_LABEL, "&Flexibility Factor");
                dialog_hide(BEND_FF_OUT_LABEL);
                dialog_hide(BEND_FF_OUT);
                dialog_enable_item(BEND_SIF_TORSION_LABEL, false);
                dialog_enable_item(BEND_SIF_TORSION, false);
            }
        }
        if (piping_code() == CODE_IGEM)
            dialog_disable(BEND_SIF_IN);
        dialog_set_radio(BEND_LONG, BEND_USER, BEND_LONG);
        dialog_disable(BEND_RADIUS);
        dialog_disable(BEND_RADIUS_UNIT);
        dialog_set_focus(BEND_THICKNESS);
        dialog_fill_material_combo(BEND_MATERIAL, true);
        dialog_list_select(BEND_MATERIAL, 0);
        LayoutRow::fill_element_dialog(row_, d, ET_BEND);
        remember_texts(d, {BEND_RADIUS, BEND_THICKNESS, BEND_FF_IN, BEND_FF_OUT, BEND_SIF_IN, BEND_SIF_OUT,
                           BEND_SIF_AXIAL, BEND_SIF_TORSION, BEND_ANGLE1, BEND_ANGLE2});
        if (input_locked()) {
            for (int id = BEND_RADIUS; id <= BEND_SIF_TORSION; ++id)
                if (d.has_item(id))
                    dialog_set_readonly(id);
            for (int id : {int{BEND_LONG}, int{BEND_SHORT}, int{BEND_USER}, int{BEND_MATERIAL}})
                dialog_disable(id);
            dialog_set_focus(IDOK);
        }
    }

    void command(Dialog& d, int id, int code) override
    {
        if (id == BEND_HELP && code == NOTIFY_CLICKED) {
            // Each of the two bend dialogs has its page.
            help_page(d.templ().name, d.window(), BEND_DIALOG_HELP_CONTEXT);
            return;
        }
        if (input_locked() || code != NOTIFY_CLICKED)
            return;
        if (id == BEND_LONG || id == BEND_SHORT) {
            dialog_set_text(BEND_RADIUS, "");
            dialog_disable(BEND_RADIUS);
            dialog_disable(BEND_RADIUS_UNIT);
        } else if (id == BEND_USER) {
            dialog_enable_item(BEND_RADIUS, true);
            dialog_enable_item(BEND_RADIUS_UNIT, true);
            dialog_select_focus(BEND_RADIUS);
        }
    }

    bool store(Dialog& d) override
    {
        if (model_rebuild_needed())
            make_model();
        const Bend* old = bend_of_row(row_);
        Bend stored_values;
        const Bend& before = old ? *old : stored_values;
        const BendGeometry& og = before.geometry;
        const PipeSection* section = section_of_row(row_);
        const std::string& section_name = model().rows[row_].section;

        // 1. Radius kind and radius.
        Bend next;
        BendGeometry& g = next.geometry;
        if (dialog_is_checked(BEND_SHORT)) {
            g.radius_kind = RADIUS_SHORT;
            g.radius = section ? static_cast<float>(section_radius_of(section_name, RADIUS_SHORT)) : 0.0f;
        } else if (dialog_is_checked(BEND_USER)) {
            g.radius_kind = RADIUS_USER;
            g.radius = read_dimension(BEND_RADIUS, "Radius", 0.1, true, og.radius);
            if (section && g.radius < section->outside_diameter)
                message_warning(d.window(), "Bend radius < Section OD");
        } else {
            g.radius_kind = RADIUS_LONG;
            g.radius = section ? static_cast<float>(section_radius_of(section_name, RADIUS_LONG)) : 0.0f;
        }
        // 2. Thickness.
        g.thickness = read_dimension(BEND_THICKNESS, "Thickness", 0.0, false, og.thickness);
        if (const std::string fault = bend_wall_fault(g.thickness, section ? section->outside_diameter : 0.0f);
            !fault.empty())
            dialog_throw(BEND_THICKNESS, fault);
        // 3. Material.
        const int material = dialog_list_selection(BEND_MATERIAL);
        g.material = material > 0 && pipe_materials().valid(material) ? pipe_materials()[material].name : "";
        // 4, 5. Flexibility factors.
        next.ff_in = read_flexibility_factor(BEND_FF_IN, before.ff_in);
        if (bend_uses_b31j()) {
            next.ff_out = read_flexibility_factor(BEND_FF_OUT, before.ff_out);
            if (next.ff_out != next.ff_in)
                dialog_throw(BEND_FF_OUT, "Inplane FF should be equal to Outplane FF");
        }
        // 6 - 8. SIFs.
        next.sif_in = read_sif(BEND_SIF_IN, before.sif_in);
        next.sif_out = b313_ || bend_uses_b31j() ? read_sif(BEND_SIF_OUT, before.sif_out) : next.sif_in;
        next.sif_axial = bend_shows_axial_sif() ? read_sif(BEND_SIF_AXIAL, before.sif_axial) : 0.0f;
        next.sif_torsion = bend_uses_b31j() ? read_sif(BEND_SIF_TORSION, before.sif_torsion) : 0.0f;
        // 9 - 11. Intermediate nodes.
        g.node1 = read_intermediate_node(BEND_NODE1);
        if (g.node1 != 0)
            g.angle1 = read_intermediate_angle(BEND_ANGLE1, og.angle1);
        g.node2 = read_intermediate_node(BEND_NODE2);
        if (g.node2 != 0)
            g.angle2 = read_intermediate_angle(BEND_ANGLE2, og.angle2);
        if (g.node1 != 0 && g.node1 == g.node2)
            dialog_throw(BEND_NODE2, "Node is same as previous node");
        if (g.angle1 != 0.0f && g.angle1 == g.angle2)
            dialog_throw(BEND_ANGLE2, "Angle is same as previous angle");
        // 12. Within the arc laid out.
        if (old && og.geometry_valid) {
            const float limit = og.bend_angle - static_cast<float>(MIN_INTERMEDIATE_ANGLE);
            for (const auto& [node, angle, item] : {std::tuple{g.node1, g.angle1, int{BEND_ANGLE1}},
                                                    std::tuple{g.node2, g.angle2, int{BEND_ANGLE2}}})
                if (node != 0 && angle > limit) {
                    dialog_get_text(item);
                    throw_invalid_text("Angle", "is too large");
                }
        }
        order_intermediate_nodes(g.node1, g.angle1, g.node2, g.angle2);

        const bool arc_same =
            g.radius_kind == og.radius_kind && g.radius == og.radius && next.same_intermediate_nodes(before);
        if (old && next.same_bend_values(before) && next.same_intermediate_nodes(before)) {
            discard_undo_snapshot();
            return true;
        }
        // 13 - 15.
        Bend* bend = old ? bend_of_row(row_) : dynamic_cast<Bend*>(LayoutRow::change_etype(row_, ET_BEND));
        KV_ASSERT(bend != nullptr);
        bend->copy_bend_values(next);
        bend->copy_intermediate_nodes(next);
        finish_store(!arc_same);
        return true;
    }

private:
    bool b313_ = false;
};

// ---- The table ------------------------------------------------------------------------------

enum BendColumn : int {
    BC_NODE = 1,
    BC_RADIUS,
    BC_KIND,
    BC_THICKNESS,
    BC_MATERIAL,
    BC_FF_IN,
    BC_FF_OUT,
    BC_SIF_IN,
    BC_SIF_OUT,
    BC_SIF_AXIAL,
    BC_SIF_TORSION,
    BC_NODE1,
    BC_ANGLE1,
    BC_NODE2,
    BC_ANGLE2,
    BEND_COLUMNS = BC_ANGLE2,
};

class BendsTable final : public ElementRowsTable {
public:
    BendsTable() : ElementRowsTable(BEND_ROWS, "Bends", "Bend", BEND_COLUMNS, 2, {0, 12, 0, 12, 5, 12, 12})
    {
        for (int c = BC_RADIUS; c <= BC_ANGLE2; ++c)
            if (c != BC_KIND && c != BC_MATERIAL)
                alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
        open_dialog = edit_bend;
    }

    Bend* bend_at(int row) const { return bend_of_row(layout_row(row)); }

    std::string header_text(int c, int line) override
    {
        const bool b31j = bend_uses_b31j();
        const bool both = bend_shows_out_of_plane_sif();
        if (line == 0) {
            switch (c) {
            case BC_NODE: return "Bend";
            case BC_RADIUS: return "Radius";
            case BC_KIND: return "Rad.";
            case BC_THICKNESS: return "Thk";
            case BC_MATERIAL: return "Bend";
            case BC_FF_IN: return "Flex.F";
            case BC_FF_OUT: return b31j ? "Flex.F" : "";
            case BC_SIF_IN: return both ? "In Pln" : "SIF";
            case BC_SIF_OUT: return "Out Pln";
            case BC_SIF_AXIAL: return "Axial";
            case BC_SIF_TORSION: return "Torsion";
            case BC_NODE1:
            case BC_NODE2: return "Int.";
            case BC_ANGLE1:
            case BC_ANGLE2: return "Angle";
            default: return {};
            }
        }
        if (line != 1)
            return {};
        switch (c) {
        case BC_NODE: return "Node";
        case BC_RADIUS:
        case BC_THICKNESS: return unit_label(DIMENSION);
        case BC_KIND: return "Type";
        case BC_MATERIAL: return "Matl";
        case BC_FF_IN: return b31j ? "In Pln" : "";
        case BC_FF_OUT: return b31j ? "Out Pln" : "";
        case BC_SIF_IN: return both ? "SIF" : "";
        case BC_SIF_OUT:
        case BC_SIF_AXIAL:
        case BC_SIF_TORSION: return "SIF";
        case BC_NODE1:
        case BC_NODE2: return "Node";
        case BC_ANGLE1:
        case BC_ANGLE2: return unit_label(ANGLE);
        default: return {};
        }
    }

    std::string cell_text(int row, int c, int line) override
    {
        const Bend* b = bend_at(row);
        if (!b || line != 0)
            return {};
        if (c == BC_NODE)
            return node_text(model().rows[layout_row(row)].node);
        return b->cell_text(c);
    }
    // The bend's node and its intermediate nodes.
    std::vector<int> row_nodes(int row) override
    {
        const Bend* b = bend_at(row);
        if (!b)
            return {};
        return {model().rows[layout_row(row)].node, b->geometry.node1, b->geometry.node2};
    }


    bool cell_editable(int row, int c) override
    {
        if (c == BC_FF_OUT && !bend_uses_b31j())
            return false;
        return ElementRowsTable::cell_editable(row, c) && bend_at(row) != nullptr;
    }

    void filter_char(int, std::string& ch) override { table_filter_name(ch); }

    void store_cell(int row, int c, const std::string& text) override
    {
        Bend* b = bend_at(row);
        if (!b)
            return;
        const int r = layout_row(row);
        item_text() = upper_case(squeeze_blanks(text));
        BendGeometry& g = b->geometry;
        switch (c) {
        case BC_RADIUS: {
            float radius = 0.0f;
            const bool read = parse_dimension_buffer(radius) == 0;
            if (!read || radius < 0.1f)
                throw_below_bound("Radius", ValueBound{DIMENSION, 0.1, 0.1}, read);
            if (radius == g.radius && g.radius_kind == RADIUS_USER)
                break;
            g.radius = radius;
            g.radius_kind = RADIUS_USER;
            model_changed();
            load();
            return;
        }
        case BC_THICKNESS: {
            float thickness = 0.0f;
            if (parse_dimension_buffer(thickness) != 0)
                throw_invalid("Thickness");
            const PipeSection* section = section_of_row(r);
            if (const std::string fault = bend_wall_fault(thickness, section ? section->outside_diameter : 0.0f);
                !fault.empty())
                throw CI{fault, c};
            if (thickness == g.thickness)
                break;
            g.thickness = thickness;
            stored(r);
            return;
        }
        case BC_MATERIAL: {
            const std::string name = item_text();
            if (!name.empty() && pipe_material_index(name) == 0)
                throw CI{"Material is not defined", c};
            if (name == g.material)
                break;
            g.material = name;
            stored(r);
            return;
        }
        case BC_FF_IN:
        case BC_FF_OUT: {
            float factor = -1.0f;
            if (!item_text().empty() && (parse_real_buffer(factor) != 0 || !(factor > 0.0f)))
                throw_invalid("Flexibility factor");
            float& field = c == BC_FF_IN ? b->ff_in : b->ff_out;
            if (factor == field)
                break;
            field = factor;
            stored(r);
            return;
        }
        default: return;
        }
        discard_undo_snapshot();
    }

    void on_help(WindowId owner) override { help_page(title, owner, BENDS_TABLE_HELP_CONTEXT); }


private:
    void stored(int r)
    {
        model_modified() = true;
        LayoutRow::redraw_element(r);
        table_invalidate_rows(*this);
    }

    void hide_columns() override
    {
        const bool b31j = bend_uses_b31j();
        if (bend_shows_out_of_plane_sif())
            equalize_two_widths(widths, BC_SIF_IN, BC_SIF_OUT);
        else
            widths[BC_SIF_OUT] = 0;
        if (!b31j)
            widths[BC_FF_OUT] = widths[BC_SIF_TORSION] = 0;
        if (!bend_shows_axial_sif())
            widths[BC_SIF_AXIAL] = 0;
    }

protected:
    void print_text_form() override;
    void print_csv_form() override;
};

// ---- Printed forms --------------------------------------------------------------------------

ReportHeading text_heading()
{
    ReportHeading h;
    h.type_code = ET_BEND;
    h.title = "Bends";
    h.heading_lines = 2;
    h.entries = {{"Bend   Radius   Thickness  Bend  Flex.   Int.  Angle  Int.  Angle", 0, 4},
                 {"Node", 1, 4},
                 {"Matl", 1, 31},
                 {"Factor", 1, 37},
                 {"Node", 1, 45},
                 {"Node", 1, 58}};
    h.units = {{DIMENSION, 1, 11, 18}, {DIMENSION, 1, 20, 29}, {ANGLE, 1, 51, 56}, {ANGLE, 1, 64, 69}};
    return h;
}

const char* kind_letter(uint8_t kind)
{
    return kind == RADIUS_SHORT ? "S" : kind == RADIUS_USER ? "U" : "L";
}

void BendsTable::print_text_form()
{
    print_text_lines(text_heading(), [this](int row, int layout) {
        const Bend* b = bend_at(row);
        const BendGeometry& g = b->geometry;
        report_print_at(node_text(model().rows[layout].node), 4);
        report_print_at(format_dimension(g.radius), 13);
        report_print_at(kind_letter(g.radius_kind), 20);
        if (g.thickness != 0.0f)
            report_print_at(format_dimension(g.thickness), 23);
        if (!g.material.empty())
            report_print_at(g.material, 33);
        if (b->ff_in >= 0.0f)
            report_print_at(c_format("%.5g", double(b->ff_in)), 39);
        if (g.node1 != 0) {
            report_print_at(node_text(g.node1), 47);
            report_print_at(format_angle(g.angle1), 53);
        }
        if (g.node2 != 0) {
            report_print_at(node_text(g.node2), 60);
            report_print_at(format_angle(g.angle2), 66);
        }
    });
}

void BendsTable::print_csv_form()
{
    const bool b31j = bend_uses_b31j();
    csv_add_text("Bends");
    report_rule();
    for (const char* cell : {"Bend", "Radius", "Thickness", "Bend Matl", "Int. Node", "Angle", "Int. Node", "Angle",
                             "Flex. Fact.", "Flex. Fact.", "In Pln", "Out Pln", "Axial", "Torsion"})
        csv_add_text(cell);
    report_next_line();
    csv_add_text("Node");
    csv_add_unit_cell(DIMENSION);
    csv_add_unit_cell(DIMENSION);
    csv_add_text("");
    csv_add_text("");
    csv_add_unit_cell(ANGLE);
    csv_add_text("");
    csv_add_unit_cell(ANGLE);
    for (const char* cell : {"In Pln", "Out Pln", "SIF", "SIF", "SIF", "SIF"})
        csv_add_text(cell);
    report_next_line();
    report_rule();
    auto sif = [](bool shown, float value) { return shown && value > 0.0f ? format_factor_above_one(value) : ""; };
    for (int row = 1; row <= record_count(); ++row) {
        const Bend* b = bend_at(row);
        if (!b)
            continue;
        const BendGeometry& g = b->geometry;
        csv_add_text(node_text(model().rows[layout_row(row)].node));
        csv_add_text(format_dimension(g.radius) + " " + kind_letter(g.radius_kind));
        csv_add_cell(g.thickness != 0.0f ? format_dimension(g.thickness) : std::string());
        csv_add_text(g.material);
        csv_add_text(g.node1 ? node_text(g.node1) : std::string());
        csv_add_text(g.node1 ? format_angle(g.angle1) : std::string());
        csv_add_text(g.node2 ? node_text(g.node2) : std::string());
        csv_add_text(g.node2 ? format_angle(g.angle2) : std::string());
        csv_add_text(b->ff_in >= 0.0f ? format_real(b->ff_in, 10, 3) : std::string());
        csv_add_text(b31j && b->ff_out >= 0.0f ? format_real(b->ff_out, 10, 3) : std::string());
        csv_add_text(sif(true, b->sif_in));
        csv_add_text(sif(bend_shows_out_of_plane_sif(), b->sif_out));
        csv_add_text(sif(bend_shows_axial_sif(), b->sif_axial));
        csv_add_text(sif(b31j, b->sif_torsion));
        report_next_line();
    }
    report_rule();
}

}  // namespace

bool edit_bend(int row, WindowId owner)
{
    return edit_element_row<BendDialog>(bend_shows_out_of_plane_sif() ? BEND2_DIALOG : BEND1_DIALOG, row, owner);
}

ElementRowsTable& bends_table()
{
    return session_part<BendsTable>();
}
