// The miter dialog (MITER_DIALOG), the "Miter bends" table and its printed
// and CSV forms.
#include "elements/element_common.h"
#include "elements/element_dialog_ids.h"
#include "elements/miter.h"
#include "elements/ui/dialogs_elements.h"
#include "elements/ui/element_ui.h"
#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/report.h"
#include "framework/units.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/ui/record_combos.h"
#include "model/model.h"
#include "model/piping_codes.h"

namespace {

Miter* miter_of_row(int row)
{
    return row_element_of<Miter>(row, ET_MITER);
}

class MiterDialog final : public ElementDialog {
public:
    using ElementDialog::ElementDialog;

    void init(Dialog& d) override
    {
        b313_ = code_is_b313_group();
        d.set_caption(row_caption_at_node(row_, "Miter bend"));
        dialog_set_unit_label(MITER_RADIUS_UNIT, DIMENSION);
        dialog_set_unit_label(MITER_THICKNESS_UNIT, DIMENSION);
        dialog_set_radio(MITER_CLOSELY, MITER_WIDELY, MITER_CLOSELY);
        dialog_set_focus(MITER_RADIUS);
        dialog_fill_material_combo(MITER_MATERIAL, true);
        dialog_list_select(MITER_MATERIAL, 0);
        if (piping_code() == CODE_IGEM)
            dialog_disable(MITER_SIF_IN);
        if (!b313_) {
            dialog_hide(MITER_SIF_OUT_LABEL);
            dialog_hide(MITER_SIF_OUT);
            dialog_set_text(MITER_SIF_IN_LABEL, "SIF");
        }
        if (bend_shows_axial_sif()) {
            dialog_enable_item(MITER_SIF_AXIAL_LABEL, true);
            dialog_enable_item(MITER_SIF_AXIAL, true);
        }
        if (bend_uses_b31j()) {
            dialog_show(MITER_SIF_OUT_LABEL);
            dialog_show(MITER_SIF_OUT);
            dialog_show(MITER_FF_OUT_LABEL);
            dialog_show(MITER_FF_OUT);
            dialog_enable_item(MITER_SIF_TORSION_LABEL, true);
            dialog_enable_item(MITER_SIF_TORSION, true);
            dialog_set_text(MITER_FF_IN_LABEL, "Flexibility factor: In Plane");
        }
        LayoutRow::fill_element_dialog(row_, d, ET_MITER);
        remember_texts(d, {MITER_RADIUS, MITER_THICKNESS, MITER_FF_IN, MITER_FF_OUT, MITER_SIF_IN, MITER_SIF_OUT,
                           MITER_SIF_AXIAL, MITER_SIF_TORSION});
        if (input_locked()) {
            for (int id = MITER_RADIUS; id <= MITER_SIF_TORSION; ++id)
                dialog_set_readonly(id);
            for (int id : {int{MITER_CLOSELY}, int{MITER_WIDELY}, int{MITER_MATERIAL}})
                dialog_disable(id);
            dialog_set_focus(IDOK);
        }
    }

    bool store(Dialog&) override
    {
        const Miter* old = miter_of_row(row_);
        Miter defaults;
        const Miter& before = old ? *old : defaults;
        const int section = section_index(model().rows[row_].section);

        Miter next;
        BendGeometry& g = next.geometry;
        g.radius = read_dimension(MITER_RADIUS, "Radius", 0.1, true, before.geometry.radius);
        g.thickness = read_dimension(MITER_THICKNESS, "Thickness", 0.0, false, before.geometry.thickness);
        if (const std::string fault =
                bend_wall_fault(g.thickness, section ? pipe_sections()[section].outside_diameter : 0.0f);
            !fault.empty())
            dialog_throw(MITER_THICKNESS, fault);
        const int material = dialog_list_selection(MITER_MATERIAL);
        g.material = material > 0 && pipe_materials().valid(material) ? pipe_materials()[material].name : "";
        next.ff_in = read_flexibility_factor(MITER_FF_IN, before.ff_in);
        next.ff_out = bend_uses_b31j() ? read_flexibility_factor(MITER_FF_OUT, before.ff_out) : -1.0f;
        next.sif_in = read_sif(MITER_SIF_IN, before.sif_in);
        next.sif_out = b313_ || bend_uses_b31j() ? read_sif(MITER_SIF_OUT, before.sif_out) : next.sif_in;
        next.sif_axial = bend_shows_axial_sif() ? read_sif(MITER_SIF_AXIAL, before.sif_axial) : 0.0f;
        next.sif_torsion = bend_uses_b31j() ? read_sif(MITER_SIF_TORSION, before.sif_torsion) : 0.0f;
        next.spacing = dialog_is_checked(MITER_WIDELY) ? MITER_WIDELY_SPACED_ID : MITER_CLOSELY_SPACED_ID;

        g.radius_kind = RADIUS_USER;
        if (old && next.same_bend_values(before) && next.spacing == before.spacing) {
            discard_undo_snapshot();
            return true;
        }
        const bool radius_changed = !old || g.radius != before.geometry.radius;
        Miter* miter = old ? miter_of_row(row_) : dynamic_cast<Miter*>(LayoutRow::change_etype(row_, ET_MITER));
        KV_ASSERT(miter != nullptr);
        miter->copy_bend_values(next);
        miter->spacing = next.spacing;
        finish_store(radius_changed);
        return true;
    }

private:
    bool b313_ = false;
};

enum MiterColumn : int {
    MC_NODE = 1,
    MC_RADIUS,
    MC_THICKNESS,
    MC_MATERIAL,
    MC_FF_IN,
    MC_FF_OUT,
    MC_SIF_IN,
    MC_SIF_OUT,
    MC_SIF_AXIAL,
    MC_SIF_TORSION,
    MC_TYPE,
    MITER_COLUMNS = MC_TYPE,
};

class MitersTable final : public ElementRowsTable {
public:
    MitersTable() : ElementRowsTable(MITER_ROWS, "Miter bends", "Miter bend", MITER_COLUMNS, 2)
    {
        for (int c = MC_RADIUS; c <= MC_SIF_TORSION; ++c)
            if (c != MC_MATERIAL)
                alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
        editing_allowed = false;
        open_dialog = edit_miter;
    }

    Miter* miter_at(int row) const { return miter_of_row(layout_row(row)); }

    std::string header_text(int c, int line) override
    {
        const bool b31j = bend_uses_b31j();
        const bool both = bend_shows_out_of_plane_sif();
        const bool axial = bend_shows_axial_sif();
        if (line == 0) {
            switch (c) {
            case MC_RADIUS: return "Radius";
            case MC_THICKNESS: return "Thk";
            case MC_FF_IN: return "Flex.F.";
            case MC_FF_OUT: return b31j ? "Flex.F" : "";
            case MC_SIF_IN: return both ? "InPln" : "SIF";
            case MC_SIF_OUT: return "OutPl";
            case MC_SIF_AXIAL: return axial ? "Axial" : "";
            case MC_SIF_TORSION: return b31j ? "Torsion" : "";
            default: return {};
            }
        }
        if (line != 1)
            return {};
        switch (c) {
        case MC_NODE: return "Node";
        case MC_RADIUS:
        case MC_THICKNESS: return unit_label(DIMENSION);
        case MC_MATERIAL: return "Matl";
        case MC_FF_IN:
        case MC_FF_OUT: return b31j ? (c == MC_FF_IN ? "In Pln" : "Out Pln") : "";
        case MC_SIF_IN:
        case MC_SIF_OUT: return both ? "SIF" : "";
        case MC_SIF_AXIAL: return axial ? "SIF" : "";
        case MC_SIF_TORSION: return b31j ? "SIF" : "";
        case MC_TYPE: return "Type";
        default: return {};
        }
    }

    std::string cell_text(int row, int c, int line) override
    {
        const Miter* m = miter_at(row);
        if (!m || line != 0)
            return {};
        if (c == MC_NODE)
            return node_text(model().rows[layout_row(row)].node);
        return m->cell_text(c);
    }
    // Only the miter's own node stands in the table.
    std::vector<int> row_nodes(int row) override { return {row_node(row)}; }

    bool cell_editable(int, int) override { return false; }


private:
    void hide_columns() override
    {
        const bool b31j = bend_uses_b31j();
        if (bend_shows_out_of_plane_sif())
            equalize_two_widths(widths, MC_SIF_IN, MC_SIF_OUT);
        else
            widths[MC_SIF_OUT] = 0;
        if (!b31j)
            widths[MC_FF_OUT] = widths[MC_SIF_TORSION] = 0;
        if (!bend_shows_axial_sif() && !b31j)
            widths[MC_SIF_AXIAL] = 0;
    }

protected:
    void print_text_form() override;
    void print_csv_form() override;
};

ReportHeading text_heading()
{
    const bool b313 = code_is_b313_group();
    ReportHeading h;
    h.type_code = ET_MITER;
    h.title = "Miter bends";
    h.heading_lines = 2;
    h.entries = {{b313 ? "Radius  Thickness         Flex.    InPln   OutPln" : "Radius  Thickness         Flex.", 0, 13},
                 {"Node", 1, 4},
                 {b313 ? "Matl   Factor   SIF     SIF      Type" : "Matl   Factor   SIF     Type", 1, 32}};
    h.units = {{DIMENSION, 1, 11, 18}, {DIMENSION, 1, 21, 29}};
    return h;
}

void MitersTable::print_text_form()
{
    const bool b313 = code_is_b313_group();
    const bool out_of_plane = bend_shows_out_of_plane_sif();
    print_text_lines(text_heading(), [&](int row, int layout) {
        const Miter* m = miter_at(row);
        const BendGeometry& g = m->geometry;
        report_print_at(node_text(model().rows[layout].node), 4);
        report_print_at(format_dimension(g.radius), 13);
        if (g.thickness != 0.0f)
            report_print_at(format_dimension(g.thickness), 22);
        if (!g.material.empty())
            report_print_at(g.material, 32);
        if (m->ff_in >= 0.0f)
            report_print_at(c_format("%.5g", double(m->ff_in)), 39);
        if (m->sif_in > 1.0f)
            report_print_at(format_factor_above_one(m->sif_in), 48);
        if (m->sif_out > 1.0f && out_of_plane)
            report_print_at(format_factor_above_one(m->sif_out), 57);
        report_print_at(miter_spacing_text(m->spacing), b313 ? 66 : 57);
    });
}

void MitersTable::print_csv_form()
{
    const bool b31j = bend_uses_b31j();
    csv_add_text("Miter bends");
    report_rule();
    for (const char* cell : {"", "Radius", "Thickness", "Material", "Flex. Factor In Plane", "Flex. Factor Out Plane",
                             "Inplane SIF", "Outplane SIF", "Axial SIF", "Torsion SIF", "Type"})
        csv_add_text(cell);
    report_next_line();
    csv_add_text("Node");
    csv_add_unit_cell(DIMENSION);
    csv_add_unit_cell(DIMENSION);
    report_next_line();
    report_rule();
    auto sif = [](float value) { return value > 1.0f ? format_factor_above_one(value) : std::string(); };
    for (int row = 1; row <= record_count(); ++row) {
        const Miter* m = miter_at(row);
        if (!m)
            continue;
        const BendGeometry& g = m->geometry;
        csv_add_text(node_text(model().rows[layout_row(row)].node));
        csv_add_text(format_dimension(g.radius));
        csv_add_cell(g.thickness != 0.0f ? format_dimension(g.thickness) : std::string());
        csv_add_text(g.material);
        csv_add_text(m->ff_in >= 0.0f ? format_real(m->ff_in, 10, 3) : std::string());
        csv_add_text(b31j && m->ff_out > 0.0f ? format_real(m->ff_out, 10, 3) : std::string());
        csv_add_text(sif(m->sif_in));
        csv_add_text(sif(m->sif_out));
        csv_add_text(sif(m->sif_axial));
        csv_add_text(sif(m->sif_torsion));
        csv_add_text(miter_spacing_text(m->spacing));
        report_next_line();
    }
    report_rule();
}

}  // namespace

bool edit_miter(int row, WindowId owner)
{
    return edit_element_row<MiterDialog>(MITER_DIALOG, row, owner);
}

ElementRowsTable& miters_table()
{
    return session_part<MitersTable>();
}
