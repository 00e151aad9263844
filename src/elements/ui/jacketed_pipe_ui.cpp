// The jacketed-pipe dialog (JPIPE_DIALOG), the jacket defaults that it and
// the jacketed-bend dialog propose, and the "Jacketed pipes" table of
// jacketed pipes and jacketed bends with its printed and CSV forms.
#include "elements/attribute_dialog_ids.h"
#include "elements/jacketed_bend.h"
#include "elements/jacketed_pipe.h"
#include "elements/ui/dialogs_attributes.h"
#include "elements/ui/element_ui.h"
#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/report.h"
#include "framework/units.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/ui/record_combos.h"
#include "model/model.h"

#include <algorithm>

namespace {

JacketedPipe* jacketed_pipe_of_row(int row)
{
    return row_element_of<JacketedPipe>(row, ET_JACKETED_PIPE);
}

class JacketedPipeDialog final : public ElementDialog {
public:
    using ElementDialog::ElementDialog;

    void init(Dialog& d) override
    {
        d.set_caption(row_caption_from_to(row_, "Jacketed pipe"));
        dialog_fill_material_combo(JPIPE_MATERIAL);
        dialog_fill_section_combo(JPIPE_SECTION);
        dialog_list_reset(JPIPE_LOAD);
        for (const std::string& name : pipe_load_names())
            dialog_list_add(name);
        for (int id : {int{JPIPE_MATERIAL}, int{JPIPE_SECTION}, int{JPIPE_LOAD}})
            if (d.list_count(id) > 0)
                dialog_list_select(id, 0);
        jacket_defaults_to_dialog(row_);
        if (input_locked()) {
            for (int id : {int{JPIPE_MATERIAL}, int{JPIPE_SECTION}, int{JPIPE_LOAD}})
                dialog_disable(id);
            dialog_set_focus(IDOK);
        } else {
            dialog_set_focus(JPIPE_MATERIAL);
        }
    }

    bool store(Dialog&) override
    {
        const int material = dialog_list_selection(JPIPE_MATERIAL);
        if (material < 0 || !pipe_materials().valid(material + 1))
            dialog_throw(JPIPE_MATERIAL, "Jacket material is required");
        const int section = dialog_list_selection(JPIPE_SECTION);
        if (section < 0 || !pipe_sections().valid(section + 1))
            dialog_throw(JPIPE_SECTION, "Jacket section is required");
        const std::string& section_name = pipe_sections()[section + 1].name;
        if (jacket_clearance_short(section_name, model().rows[row_].section))
            dialog_throw(JPIPE_SECTION, "(Jacket I.D. - lining) < (core O.D. + insulation)");
        const std::vector<std::string> loads = pipe_load_names();
        const int load = dialog_list_selection(JPIPE_LOAD);
        if (load < 0 || load >= static_cast<int>(loads.size()))
            dialog_throw(JPIPE_LOAD, "Jacket load is required");

        JacketGeometry next;
        next.material = pipe_materials()[material + 1].name;
        next.section = section_name;
        next.load = loads[static_cast<std::size_t>(load)];
        JacketedPipe* pipe = jacketed_pipe_of_row(row_);
        if (pipe && pipe->jacket.material == next.material && pipe->jacket.section == next.section &&
            pipe->jacket.load == next.load) {
            discard_undo_snapshot();
            return true;
        }
        const bool changed_type = pipe == nullptr;
        if (!pipe)
            pipe = dynamic_cast<JacketedPipe*>(LayoutRow::change_etype(row_, ET_JACKETED_PIPE));
        KV_ASSERT(pipe != nullptr);
        pipe->jacket.material = next.material;
        pipe->jacket.section = next.section;
        pipe->jacket.load = next.load;
        // A new jacket makes new nodes; another section changes the symbol.
        finish_store(changed_type);
        return true;
    }
};

// ---- The "Jacketed pipes" table ---------------------------------------------------------------

class JacketedPipesTable final : public ElementRowsTable {
public:
    JacketedPipesTable() : ElementRowsTable(JACKET_ROWS, "Jacketed pipes", "Jacketed pipe", 13, 2)
    {
        open_dialog = [](int row, WindowId owner) {
            return model().rows.valid(row) && model().rows[row].etype == ET_JACKETED_BEND
                       ? edit_jacketed_bend(row, owner)
                       : edit_jacketed_pipe(row, owner);
        };
    }

    std::string header_text(int c, int line) override
    {
        if (line == 0) {
            switch (c) {
            case 1: return "From";
            case 2: return "To";
            case 3: return "Type";
            default: return {};
            }
        }
        if (line == 1 && c >= 4 && c <= 13)
            return c % 2 == 0 ? "Jckt" : "Core";
        return {};
    }

    std::string cell_text(int row, int c, int line) override
    {
        const int r = layout_row(row);
        if (line != 0 || !model().rows.valid(r) || !model().rows[r].element)
            return {};
        const LayoutRow& lr = model().rows[r];
        switch (c) {
        case 1: case 2: return LayoutRow::element_cell_text(r, c);
        case 5: return lr.material;
        case 7: return lr.section;
        case 9: return lr.load;
        default: return lr.element->cell_text(c);
        }
    }

    bool cell_editable(int, int) override { return false; }

    void measure_window(Surface& dc) override
    {
        set_groups();
        ElementRowsTable::measure_window(dc);
        equalise();
    }
    void measure_print(Surface& dc) override
    {
        set_groups();
        ElementRowsTable::measure_print(dc);
        equalise();
    }

protected:
    void print_text_form() override;
    void print_csv_form() override;

private:
    void set_groups()
    {
        const std::string unit = " " + unit_label(DIMENSION);
        groups = {{4, 5, "Material", 0}, {6, 7, "Section", 0}, {8, 9, "Load", 0},
                  {10, 11, "Bend Rad" + unit, 0}, {12, 13, "Bend Thk" + unit, 0}};
    }
    // Columns 1-2 and 4-13 of equal widths.
    void equalise()
    {
        if (widths.size() < 14)
            return;
        widths[1] = widths[2] = std::max(widths[1], widths[2]);
        const int widest = *std::max_element(widths.begin() + 4, widths.begin() + 14);
        std::fill(widths.begin() + 4, widths.begin() + 14, widest);
    }
};

// The jacketed bend's radius in the report: "Short", the value of a User
// radius, "Long"; empty for a jacketed pipe.
std::string report_bend_radius(const LayoutRow& r)
{
    const BendGeometry* bend = r.element ? r.element->bend_geometry() : nullptr;
    if (r.etype != ET_JACKETED_BEND || !bend)
        return {};
    if (bend->radius_kind == RADIUS_SHORT)
        return "Short";
    if (bend->radius_kind == RADIUS_USER)
        return format_dimension(bend->radius);
    return "Long";
}

void JacketedPipesTable::print_text_form()
{
    ReportHeading h;
    h.type_code = ET_JACKETED_PIPE;
    h.title = "Jacketed pipes";
    h.heading_lines = 2;
    h.entries = {{"Core", 0, 21},   {"Core", 0, 29},   {"Core", 0, 37},       {"Jacket", 0, 44},
                 {"Jacket", 0, 52}, {"Jacket", 0, 60}, {"Bend Radius", 0, 68}, {"From", 1, 6},
                 {"To", 1, 14},     {"Material Section  Load  Material Section  Load", 1, 19}};
    h.units = {{DIMENSION, 1, 70, 75}};
    print_text_lines(h, [](int, int layout) {
        const LayoutRow& r = model().rows[layout];
        const JacketGeometry* j = r.element->jacket_geometry();
        report_print_at(LayoutRow::element_cell_text(layout, 1), 6);
        report_print_at(LayoutRow::element_cell_text(layout, 2), 14);
        report_print_at(r.material, 21);
        report_print_at(r.section, 30);
        report_print_at(r.load, 38);
        if (j) {
            report_print_at(j->material, 45);
            report_print_at(j->section, 54);
            report_print_at(j->load, 62);
        }
        report_print_at(report_bend_radius(r), 70);
    });
}

void JacketedPipesTable::print_csv_form()
{
    csv_add_text("Jacketed pipes/bends");
    report_next_line();
    for (const char* cell : {"", "", "Core", "Core", "Core", "Jacket", "Jacket", "Jacket", "Bend Radius"})
        csv_add_text(cell);
    report_next_line();
    for (const char* cell : {"From", "To", "Material", "Section", "Load", "Material", "Section", "Load", ""})
        csv_add_text(cell);
    report_next_line();
    for (int row = 1; row <= record_count(); ++row) {
        const int layout = layout_row(row);
        if (!model().rows.valid(layout) || !model().rows[layout].element)
            continue;
        const LayoutRow& r = model().rows[layout];
        const JacketGeometry* j = r.element->jacket_geometry();
        csv_add_text(LayoutRow::element_cell_text(layout, 1));
        csv_add_text(LayoutRow::element_cell_text(layout, 2));
        for (const std::string* name : {&r.material, &r.section, &r.load})
            csv_add_text(*name);
        for (const std::string& name : {j ? j->material : std::string(), j ? j->section : std::string(),
                                        j ? j->load : std::string()})
            csv_add_text(name);
        csv_add_text(report_bend_radius(r));
        report_next_line();
    }
}

}  // namespace

void jacket_defaults_to_dialog(int row)
{
    const Model& m = model();
    for (int i = std::min(row, m.numrows()); i >= 2; --i) {
        const LayoutRow& r = m.rows[i];
        if ((r.etype != ET_JACKETED_PIPE && r.etype != ET_JACKETED_BEND) || !r.element)
            continue;
        const JacketGeometry* jacket = r.element->jacket_geometry();
        if (!jacket)
            continue;
        // The jacketed-pipe and jacketed-bend dialogs have the jacket's
        // combos at the same ids.
        dialog_list_select(JPIPE_MATERIAL, std::max(0, pipe_material_index(jacket->material) - 1));
        dialog_list_select(JPIPE_SECTION, std::max(0, section_index(jacket->section) - 1));
        dialog_list_select(JPIPE_LOAD, std::max(0, name_entry(pipe_load_names(), jacket->load)));
        return;
    }
}

bool edit_jacketed_pipe(int row, WindowId owner)
{
    return edit_element_row<JacketedPipeDialog>(JPIPE_DIALOG, row, owner);
}

ElementRowsTable& jacketed_pipes_table()
{
    return session_part<JacketedPipesTable>();
}
