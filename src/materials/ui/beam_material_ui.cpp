#include "materials/ui/beam_material_ui.h"

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
#include "framework/ui/table.h"
#include "framework/units.h"
#include "materials/beam_material.h"
#include "materials/ui/dialogs_beams.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/ui/list_window.h"
#include "model/ui/named_set_ui.h"

namespace {

const char* const TABLE_TITLE = "Beam materials";

class BeamMaterialDialog : public SnapshotDialogProc {
public:
    explicit BeamMaterialDialog(int index) : index_(index) {}

    void init(Dialog& d) override {
        d.set_caption(c_format(BEAM_MATERIAL_DIALOG.caption.c_str(), index_));
        dialog_set_unit_label(BMAT_E_UNIT, MODULUS);
        dialog_set_unit_label(BMAT_DENSITY_UNIT, DENSITY);
        dialog_set_unit_label(BMAT_ALPHA_UNIT, EXPANSION);
        const BeamMaterial m = record();
        dialog_set_text_limit(BEAM_NAME, m.name, 5);
        dialog_set_text_limit(BEAM_DESCRIPTION, m.description, 27);
        shown_.show(BMAT_E, m.E, format_or_empty(m.E, format_modulus));
        shown_.show(BMAT_NU, m.nu, format_or_empty(m.nu, format_g3));
        shown_.show(BMAT_DENSITY, m.density, format_or_empty(m.density, format_density));
        shown_.show(BMAT_ALPHA, m.alpha, format_or_empty(m.alpha, format_expansion));
        if (input_locked()) {
            for (int id = BEAM_NAME; id <= BMAT_ALPHA; ++id) dialog_set_readonly(id);
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(BEAM_NAME);
        }
    }

    bool ok(Dialog& d) override {
        if (input_locked()) {
            d.end(0);
            return true;
        }
        const BeamMaterial old = record();
        BeamMaterial m = old;
        dialog_get_text(BEAM_NAME);
        m.name = item_text();
        check_beam_material_name(m.name, index_);
        dialog_get_record_text(BEAM_DESCRIPTION, BEAM_MATERIAL_DESCRIPTION_LENGTH);
        m.description = item_text();
        // A field still showing its text keeps the exact stored value.
        dialog_get_text(BMAT_E);
        if (item_text().empty()) throw_required("Modulus");
        if (!shown_.unchanged(BMAT_E, m.E) && parse_modulus_buffer(m.E) != 0) throw_invalid("Modulus");
        dialog_get_text(BMAT_NU);
        if (!shown_.unchanged(BMAT_NU, m.nu)) m.nu = check_beam_material_nu(item_text());
        dialog_get_text(BMAT_DENSITY);
        if (!shown_.unchanged(BMAT_DENSITY, m.density)) {
            m.density = 0.0f;
            if (parse_density_buffer(m.density) != 0) throw_invalid("Density");
        }
        dialog_get_text(BMAT_ALPHA);
        if (!shown_.unchanged(BMAT_ALPHA, m.alpha)) {
            m.alpha = 0.0f;
            if (parse_expansion_buffer(m.alpha) != 0) throw_invalid("Alpha");
        }

        // A new material's `old` is unnamed: nothing to rename.
        if (store_named_entry(beam_materials(), index_, m, old, BEAM_MATERIALS, d.window(), "Beam material name",
                              BEAM_NAME))
            refresh_beam_material_table();
        return true;
    }

private:
    BeamMaterial record() const {
        return beam_materials().valid(index_) ? beam_materials()[index_] : BeamMaterial{};
    }
    ShownValues shown_;
    int index_;
};

class BeamMaterialTable : public TableWindow {
public:
    BeamMaterial input;     // the record typed into the input row

    BeamMaterialTable() : TableWindow(&list_frame(), 6, 2, {5, 27, 14, 10, 14, 14}) {
        for (int c = 3; c <= 6; ++c) alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
    }

    void load() { table_set_input_rows(*this, TABLE_TITLE, numbmats()); }

    BeamMaterial* record(int row) {
        if (beam_materials().valid(row)) return &beam_materials()[row];
        return row == numbmats() + 1 ? &input : nullptr;
    }

    std::string header_text(int c, int line) override {
        static const char* const names[] = {"", "Name", "Description", "E", "Nu", "Density", "Alpha"};
        if (c < 1 || c > 6) return {};
        if (c <= 2 || c == 4) return line == 1 ? names[c] : "";
        if (line == 0) return names[c];
        if (line == 1) return unit_label(c == 3 ? MODULUS : c == 5 ? DENSITY : EXPANSION);
        return {};
    }
    std::string cell_text(int row, int c, int line) override {
        BeamMaterial* m = record(row);
        if (!m || line != 0) return {};
        switch (c) {
        case 1: return m->name;
        case 2: return m->description;
        case 3: return format_or_empty(m->E, format_modulus);
        case 4: return format_or_empty(m->nu, format_g3);
        case 5: return format_or_empty(m->density, format_density);
        case 6: return format_or_empty(m->alpha, format_expansion);
        default: return {};
        }
    }
    void filter_char(int c, std::string& ch) override {
        if (c == 1) table_filter_name(ch);
    }
    // The record as it would be with the typed cell; throws on a bad value.
    BeamMaterial checked(int row, const BeamMaterial& m, int c, const std::string& text) {
        BeamMaterial out = m;
        const std::string clean = c == 2 ? text : upper_case(squeeze_blanks(text));
        item_text() = clean;
        switch (c) {
        case 1:
            if (clean.empty()) break;
            check_beam_material_name(clean, beam_materials().valid(row) ? row : 0);
            out.name = clean;
            break;
        case 2: {
            std::string d = text;
            trim_blanks(d);
            if (d.size() > BEAM_MATERIAL_DESCRIPTION_LENGTH) d.resize(BEAM_MATERIAL_DESCRIPTION_LENGTH);
            out.description = d;
            break;
        }
        case 3:
            out.E = 0.0f;
            if (!clean.empty() && parse_modulus_buffer(out.E) != 0) throw_invalid("E");
            break;
        case 4: out.nu = check_beam_material_nu(clean); break;
        case 5:
            out.density = 0.0f;
            if (parse_density_buffer(out.density) != 0) throw_invalid("Density");
            break;
        case 6:
            out.alpha = 0.0f;
            if (parse_expansion_buffer(out.alpha) != 0) throw_invalid("Alpha");
            break;
        }
        return out;
    }
    void store(int row, BeamMaterial m) {
        BeamMaterial* r = record(row);
        if (!r) return;
        if (beam_materials().valid(row)) {
            if (!confirm_entry_rename(BEAM_MATERIALS, frame_window(), "Material name", r->name, m.name))
                throw_message("");
            r = record(row);
        }
        // The input row keeps what is typed into it before its name, which
        // Enter asks for.
        if (m == *r) {
            discard_undo_snapshot();
            return;
        }
        *r = m;
        if (beam_materials().valid(row)) model_modified() = true;
    }
    void store_cell(int row, int c, const std::string& text) override {
        BeamMaterial* r = record(row);
        if (!r) return;
        store(row, checked(row, *r, c, text));
    }
    bool paste_row(int row, const std::vector<std::string>& cells) override {
        BeamMaterial* r = record(row);
        if (!r) return false;
        BeamMaterial next = *r;   // a copy: the array may grow while it is checked
        // A named row keeps its name: the copy's name is its source's.
        for (int c = next.name.empty() ? 1 : 2; c <= 6 && c <= static_cast<int>(cells.size()); ++c)
            next = checked(row, next, c, cells[static_cast<std::size_t>(c - 1)]);
        store(row, next);
        return true;
    }
    // The checks of a row that is left; true when the input row became a record.
    bool complete_row(const BeamMaterial& r, int row) {
        if (r.name.empty()) throw_cell_required("Name", 1);
        if (r.E == 0.0f) throw_cell_required("Modulus", 3);
        if (const std::string fault = beam_nu_fault(r.nu); !fault.empty()) throw_cell_error(fault, 4);
        if (beam_materials().valid(row)) return false;
        // The name may have been taken since it was typed (by the dialog).
        check_beam_material_name(input.name, 0);
        beam_materials().push_back(input);
        input = BeamMaterial{};
        model_modified() = true;
        load();
        return true;
    }
    void leave_row(int row) override {
        BeamMaterial* r = record(row);
        if (!r) return;
        if (complete_row(*r, row))
            table_goto_row(*this, numbmats());
        else
            TableWindow::leave_row(row);
    }
    void before_leave_row(int row) override {
        // An input row with nothing typed into it is left as it is.
        const BeamMaterial* r = record(row);
        if (r && (beam_materials().valid(row) || *r != BeamMaterial{})) complete_row(*r, row);
    }
    bool can_insert(int row) override { return named_row_can_insert(beam_materials(), row); }
    bool can_delete(int row) override { return !input_locked() && record(row) != nullptr; }
    void insert_row(int row) override {
        named_row_insert(beam_materials(), row);
        load();
    }
    void delete_row(int row) override {
        if (!beam_materials().valid(row)) {
            input = BeamMaterial{};
            load();
            return;
        }
        if (named_row_delete(beam_materials(), BEAM_MATERIALS, row, frame_window(), "Beam_Material")) load();
    }
    bool edit_row(int row) override {
        if (!record(row)) return false;
        push_undo_snapshot(frame_window());
        const bool new_record = !beam_materials().valid(row);
        if (edit_beam_material(row) == IDOK) {
            if (new_record) input = BeamMaterial{};   // the dialog made the record
            load();
            table_window_refocus(*this);
        }
        return true;
    }
    void on_row_changed(int row) override {
        const BeamMaterialHighlight& h = beam_material_highlight();
        if (h.enabled && h.enabled() && h.highlight_rows && beam_materials().valid(row))
            h.highlight_rows(beam_materials()[row].name);
        else if (model_hooks().erase_highlight)
            model_hooks().erase_highlight();
    }
    // While attached: Insert in the Edit menu, and the highlight command with
    // its tool buttons beside List in the View menu.
    void on_enter() override {
        if (!frame) return;
        table_add_insert_item(*frame);
        if (!frame->menu.contains(CMD_HIGHLIGHT_MATERIAL))
            highlight_added_ = frame->menu.append_beside(CMD_LIST, MenuItem{"&Highlight Material", CMD_HIGHLIGHT_MATERIAL});
        frame_show_button(*frame, CMD_HIGHLIGHT_MATERIAL);
        frame_show_button(*frame, CMD_HIGHLIGHT_BUTTON);
        frame_register_command(
            *frame, CMD_HIGHLIGHT_MATERIAL, [this](int) { on_row_changed(current_row); },
            [] { return beam_material_highlight().highlight_rows != nullptr; });
        frame_update_menu(*frame);
    }
    void on_leave() override {
        if (!frame) return;
        table_remove_insert_item(*frame);
        if (highlight_added_) frame->menu.remove(CMD_HIGHLIGHT_MATERIAL);
        highlight_added_ = false;
        frame_hide_button(*frame, CMD_HIGHLIGHT_MATERIAL);
        frame_hide_button(*frame, CMD_HIGHLIGHT_BUTTON);
        frame_register_command(*frame, CMD_HIGHLIGHT_MATERIAL, {});
        if (model_hooks().erase_highlight) model_hooks().erase_highlight();
        frame_update_menu(*frame);
    }
    void context_menu(Point) override { table_popup_menu(*this, table_popup_insert_delete(*this)); }
    // Pages, text or CSV, as the report being made asks.
    void print() override { print_beam_materials(); }
    void print_text() override { print_beam_materials(); }
    void print_csv() override { print_beam_materials(); }
    void contents_entry() override { add_contents_entry(TABLE_TITLE, 1); }

private:
    bool highlight_added_ = false;
};

BeamMaterialTable& table() {
    return session_part<BeamMaterialTable>();
}

void print_heading() {
    report_print_centred("Beam Materials", 6, 78);
    report_rule();
    report_print_at("E", 49);
    report_print_at("Density", 62);
    report_print_at("Alpha", 73);
    report_next_line();
    report_print_at("Name", 4);
    report_print_at("Description", 19);
    report_print_at("Nu", 56);
    report_print_centred(unit_label(MODULUS), 46, 54);
    report_print_centred(unit_label(DENSITY), 62, 70);
    report_print_centred(unit_label(EXPANSION), 71, 79);
    report_next_line();
    report_rule();
}

void print_csv_form() {
    csv_add_text("Beam Materials");
    report_rule();
    csv_add_text("");
    csv_add_text("");
    csv_add_text("E");
    csv_add_text("Nu");
    csv_add_text("Density");
    csv_add_text("Alpha");
    report_next_line();
    csv_add_text("Name");
    csv_add_text("Description");
    csv_add_unit_cell(MODULUS);
    csv_add_text("");
    csv_add_unit_cell(DENSITY);
    csv_add_unit_cell(EXPANSION);
    report_next_line();
    report_rule();
    for (const BeamMaterial& m : beam_materials()) {
        csv_add_text(m.name);
        csv_add_text(m.description);
        csv_add_cell(format_or_empty(m.E, format_modulus));
        csv_add_cell(format_or_empty(m.nu, format_g3));
        csv_add_cell(format_or_empty(m.density, format_density));
        csv_add_cell(format_or_empty(m.alpha, format_expansion));
        report_next_line();
    }
    report_rule();
}

}  // namespace

BeamMaterialHighlight& beam_material_highlight() {
    return session_part<BeamMaterialHighlight>();
}

int edit_beam_material(int index) {
    BeamMaterialDialog proc(index);
    return run_dialog(BEAM_MATERIAL_DIALOG, proc, list_frame().window);
}

void open_beam_materials_table() {
    BeamMaterialTable& t = table();
    t.load();
    show_in_list_window(t);
    set_last_table_opener(t, [] { table().load(); });
}

void reset_beam_material_table_input() { table().input = BeamMaterial{}; }

void refresh_beam_material_table() {
    if (table_is_shown(table()) || list_window_table() == &table()) table().load();
}

void print_beam_materials() {
    if (numbmats() == 0 || table_print_pages_or_csv(table(), TABLE_TITLE, numbmats(), print_csv_form)) return;
    ReportTable table(print_heading);
    // The description within the room before the modulus's column.
    constexpr int DESCRIPTION_ROOM = 34;
    for (const BeamMaterial& m : beam_materials()) {
        table.keep(report_lines_within(m.description, DESCRIPTION_ROOM));
        report_print_at(m.name, 4);
        report_print_within(m.description, 13, DESCRIPTION_ROOM);
        if (m.E != 0.0f) report_print_at(format_modulus(m.E), 48);
        if (m.nu != 0.0f) report_print_at(format_real(m.nu, 9, 3), 56);
        if (m.density != 0.0f) report_print_at(format_density(m.density), 62);
        if (m.alpha != 0.0f) report_print_at(format_expansion(m.alpha), 71);
        report_next_line();
        if (in_results()) report_contents_line("Beam material " + m.name + ": " + m.description);
    }
    table.close();
}

void install_beam_materials_ui() {
    install_beam_materials();
    subscribe_document_changed("beam materials table", [](const DocumentChange& change) {
        if (change.kind == DocumentChange::Edited) refresh_beam_material_table();
        else if (change.part == SECTION_BEAM_MATERIALS) reset_beam_material_table_input();
    });
    register_data_list(DataList{TABLE_TITLE, [] { return numbmats(); }, open_beam_materials_table, true, CMD_BEAM_MATERIALS});
    register_command(CMD_BEAM_MATERIALS, [](int) { open_beam_materials_table(); });
}
