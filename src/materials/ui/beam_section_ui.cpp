#include "materials/ui/beam_section_ui.h"

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
#include "framework/ui/help.h"
#include "framework/ui/messages.h"
#include "framework/ui/report.h"
#include "framework/ui/table.h"
#include "framework/units.h"
#include "materials/beam_section.h"
#include "materials/pipe_section.h"
#include "materials/ui/aisc_chooser.h"
#include "materials/ui/dialogs_beams.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/value_bounds.h"
#include "model/ui/list_window.h"
#include "model/ui/named_set_ui.h"

#include <algorithm>
#include <cctype>

namespace {

int quantity(int v) { return beam_section_value_bound(v).quantity; }
// Field names of the values in the dialog and the table.
const char* const DIALOG_FIELD[BS_VALUE_COUNT] = {"Area",       "Moment of inertia", "Moment of inertia",
                                                  "Torsional constant", "Area", "Area", "Depth", "Width"};
const char* const TABLE_FIELD[BS_VALUE_COUNT] = {"Area",              "Moment of inertia", "Moment of inertia",
                                                 "Torsional inertia", "Area", "Area", "Depth", "Width"};

std::string format_value(int v, float value) {
    if (value == 0.0f) return {};
    switch (quantity(v)) {
    case AREA: return format_area(value);
    case INERTIA: return format_inertia(value);
    default: return format_dimension(value);
    }
}

// A value above what a piping model can hold (model/value_bounds.h): the
// table's text, as the model check gives it.
void check_beam_value_bound(int v, float value, const char* field)
{
    if (value > 0.0f)
        if (const std::string fault = beyond(beam_section_value_bound(v), value, field); !fault.empty())
            throw_message(fault);
}

// Parses a value; 0 on success. Empty is 0.
int parse_value(int v, const std::string& text, float& out) {
    out = 0.0f;
    switch (quantity(v)) {
    case AREA: return parse_area(text, out);
    case INERTIA: return parse_inertia(text, out);
    default: return parse_dimension(text, out);
    }
}

bool size_differs(const BeamSection& a, const BeamSection& b) {
    return a.values[BS_DEPTH] != b.values[BS_DEPTH] || a.values[BS_WIDTH] != b.values[BS_WIDTH];
}

WindowId owner_window() { return list_frame().window; }

class BeamSectionDialog : public SnapshotDialogProc {
public:
    explicit BeamSectionDialog(int index) : index_(index) {}

    void init(Dialog& d) override {
        d.set_caption(c_format(BEAM_SECTION_DIALOG.caption.c_str(), index_));
        for (int v = 0; v < BS_VALUE_COUNT; ++v) dialog_set_unit_label(BSEC_FIRST_UNIT + v, quantity(v));
        fill(record());
        if (beam_library_mode()) dialog_disable(BEAM_NAME);
        if (input_locked()) {
            for (int id = BEAM_NAME; id < BSEC_FIRST_VALUE + int{BS_VALUE_COUNT}; ++id) dialog_set_readonly(id);
            dialog_disable(BSEC_LIBRARY);
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(beam_library_mode() ? BEAM_DESCRIPTION : BEAM_NAME);
        }
    }
    void command(Dialog& d, int id, int) override {
        if (id != BSEC_LIBRARY || input_locked()) return;
        if (!choose_aisc_shape(d.window())) return;
        BeamSection shape = aisc_shape_buffer();
        if (!beam_library_mode()) {
            dialog_get_text(BEAM_NAME);
            shape.name = item_text();
        }
        fill(shape);
        if (!shape.name.empty()) {
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(BEAM_NAME);
        }
        dialog_point_to_item(IDOK);
    }
    bool ok(Dialog& d) override {
        if (input_locked()) {
            d.end(0);
            return true;
        }
        const BeamSection old = record();
        BeamSection s;
        if (!beam_library_mode()) {
            dialog_get_text(BEAM_NAME);
            s.name = item_text();
            check_beam_section_name(s.name, index_);
        }
        dialog_get_record_text(BEAM_DESCRIPTION, BEAM_SECTION_DESCRIPTION_LENGTH);
        s.description = item_text();
        for (int v = 0; v < BS_VALUE_COUNT; ++v) {
            dialog_get_text(BSEC_FIRST_VALUE + v);
            const bool required = v <= BS_MINOR_I;
            if (required && item_text().empty()) throw_required(DIALOG_FIELD[v]);
            // A field still showing its text (stored or picked) keeps the exact value.
            float& value = s.values[static_cast<std::size_t>(v)];
            if (!shown_.unchanged(BSEC_FIRST_VALUE + v, value) && parse_value(v, item_text(), value) != 0)
                throw_invalid(DIALOG_FIELD[v]);
            if (required && s.values[static_cast<std::size_t>(v)] <= 0.0f)
                throw_invalid_text(DIALOG_FIELD[v], "should be > 0");
            check_beam_value_bound(v, value, DIALOG_FIELD[v]);
        }
        if (s == old && beam_sections().valid(index_)) {
            discard_undo_snapshot();
            return true;
        }
        if (!beam_library_mode() &&
            !confirm_entry_rename(BEAM_SECTIONS, d.window(), "Beam section name", old.name, s.name)) {
            dialog_set_text(BEAM_NAME, old.name);
            dialog_throw(BEAM_NAME, "");
        }
        if (beam_sections().valid(index_))
            beam_sections()[index_] = s;
        else
            index_ = beam_sections().push_back(s);
        if (size_differs(s, old)) beam_section_size_changed();
        model_modified() = true;
        refresh_beam_section_table();
        return true;
    }

private:
    BeamSection record() const { return beam_sections().valid(index_) ? beam_sections()[index_] : BeamSection{}; }
    void fill(const BeamSection& s) {
        if (!beam_library_mode()) dialog_set_text_limit(BEAM_NAME, s.name, 5);
        dialog_set_text_limit(BEAM_DESCRIPTION, s.description, 15);
        for (int v = 0; v < BS_VALUE_COUNT; ++v) {
            const float value = s.values[static_cast<std::size_t>(v)];
            shown_.show(BSEC_FIRST_VALUE + v, value, format_value(v, value));
        }
    }
    int index_;
    ShownValues shown_;
};

class BeamSectionTable : public TableWindow {
public:
    BeamSection input;

    BeamSectionTable() : TableWindow(&list_frame(), 10, 3, {5, 15, 12, 12, 12, 12, 12, 12, 12, 12}) {
        for (int c = 3; c <= 10; ++c) alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
        groups.push_back(TableGroup{4, 5, "Moment of inertia", 0});
        groups.push_back(TableGroup{7, 8, "Shear area", 0});
    }

    const char* table_title() const { return beam_library_mode() ? "Beam Section Library" : "Beams"; }
    void load() { table_set_input_rows(*this, table_title(), numbsections()); }

    BeamSection* record(int row) {
        if (beam_sections().valid(row)) return &beam_sections()[row];
        return row == numbsections() + 1 ? &input : nullptr;
    }

    std::string header_text(int c, int line) override {
        static const char* const middle[] = {"",      "Name",  "Description", "area",  "Major", "Minor",
                                             "constant", "Major", "Minor",   "Depth", "Width"};
        if (c < 1 || c > 10) return {};
        if (line == 0) return c == 3 ? "Axial" : c == 6 ? "Torsional" : "";
        if (line == 1) return middle[c];
        return c >= 3 ? unit_label(quantity(c - 3)) : "";
    }
    std::string cell_text(int row, int c, int line) override {
        BeamSection* s = record(row);
        if (!s || line != 0) return {};
        if (c == 1) return s->name;
        if (c == 2) return s->description;
        if (c >= 3 && c <= 10) return format_value(c - 3, s->values[static_cast<std::size_t>(c - 3)]);
        return {};
    }
    void measure_window(Surface& dc) override {
        TableWindow::measure_window(dc);
        if (beam_library_mode()) widths[1] = 0;
    }
    bool cell_editable(int row, int c) override {
        return TableWindow::cell_editable(row, c) && !(c == 1 && beam_library_mode());
    }
    void filter_char(int c, std::string& ch) override {
        if (c == 1) table_filter_name(ch);
    }
    BeamSection checked(int row, const BeamSection& s, int c, const std::string& text) {
        BeamSection out = s;
        const std::string clean = c == 2 ? text : upper_case(squeeze_blanks(text));
        item_text() = clean;
        if (c == 1) {
            if (clean.empty() || beam_library_mode()) return out;
            check_beam_section_name(clean, beam_sections().valid(row) ? row : 0);
            out.name = clean;
        } else if (c == 2) {
            std::string d = text;
            trim_blanks(d);
            if (d.size() > BEAM_SECTION_DESCRIPTION_LENGTH) d.resize(BEAM_SECTION_DESCRIPTION_LENGTH);
            out.description = d;
        } else if (c >= 3 && c <= 10) {
            float value = 0.0f;
            if (parse_value(c - 3, clean, value) != 0) throw_invalid(TABLE_FIELD[c - 3]);
            check_beam_value_bound(c - 3, value, TABLE_FIELD[c - 3]);
            out.values[static_cast<std::size_t>(c - 3)] = value;
        }
        return out;
    }
    void store(int row, BeamSection s) {
        BeamSection* r = record(row);
        if (!r) return;
        if (!beam_library_mode() && beam_sections().valid(row)) {
            if (!confirm_entry_rename(BEAM_SECTIONS, owner_window(), "Section name", r->name, s.name))
                throw_message("");
            r = record(row);
        }
        // The input row keeps what is typed into it before its name, which
        // Enter asks for.
        if (s == *r) {
            discard_undo_snapshot();
            return;
        }
        const bool resized = size_differs(s, *r);
        *r = s;
        if (beam_sections().valid(row)) {
            model_modified() = true;
            if (resized) beam_section_size_changed();
        }
    }
    void store_cell(int row, int c, const std::string& text) override {
        BeamSection* r = record(row);
        if (r) store(row, checked(row, *r, c, text));
    }
    bool paste_row(int row, const std::vector<std::string>& cells) override {
        BeamSection* r = record(row);
        if (!r) return false;
        BeamSection next = *r;   // a copy: the array may grow while it is checked
        // A named row keeps its name: the copy's name is its source's.
        for (int c = next.name.empty() ? 1 : 2; c <= 10 && c <= static_cast<int>(cells.size()); ++c)
            next = checked(row, next, c, cells[static_cast<std::size_t>(c - 1)]);
        store(row, next);
        return true;
    }
    // The checks of a row that is left; true when the input row became a record.
    bool complete_row(BeamSection& r, int row) {
        if (beam_library_mode()) {
            r.name.clear();
            if (r.description.empty()) throw_cell_required("Description", 2);
        } else if (r.name.empty()) {
            throw_cell_required("Name", 1);
        }
        if (r.values[BS_AREA] <= 0.0f) throw_cell_required("Area", 3);
        if (r.values[BS_MAJOR_I] <= 0.0f) throw_cell_required("Moment of inertia", 4);
        if (r.values[BS_MINOR_I] <= 0.0f) throw_cell_required("Moment of inertia", 5);
        if (beam_sections().valid(row)) return false;
        // The name may have been taken since it was typed (by the dialog).
        if (!beam_library_mode()) check_beam_section_name(input.name, 0);
        beam_sections().push_back(input);
        input = BeamSection{};
        model_modified() = true;
        load();
        return true;
    }
    void leave_row(int row) override {
        BeamSection* r = record(row);
        if (!r) return;
        if (complete_row(*r, row))
            table_goto_row(*this, numbsections());
        else
            TableWindow::leave_row(row);
    }
    void before_leave_row(int row) override {
        // An input row with nothing typed into it is left as it is.
        BeamSection* r = record(row);
        if (r && (beam_sections().valid(row) || *r != BeamSection{})) complete_row(*r, row);
    }
    bool can_insert(int row) override {
        if (in_results()) return false;
        // Library entries have no names.
        if (beam_library_mode()) return !input_locked() && beam_sections().valid(row);
        return named_row_can_insert(beam_sections(), row);
    }
    bool can_delete(int row) override { return !input_locked() && record(row) != nullptr; }
    void insert_row(int row) override {
        named_row_insert(beam_sections(), row);
        load();
    }
    void delete_row(int row) override {
        if (!beam_sections().valid(row)) {
            input = BeamSection{};
            load();
            return;
        }
        if (named_row_delete(beam_sections(), BEAM_SECTIONS, row, owner_window(), "Beam section")) load();
    }
    bool edit_row(int row) override {
        if (!record(row)) return false;
        push_undo_snapshot(owner_window());
        const bool new_record = !beam_sections().valid(row);
        if (edit_beam_section(row) == IDOK) {
            if (new_record) input = BeamSection{};   // the dialog made the record
            load();
            table_window_refocus(*this);
        }
        return true;
    }
    bool on_command(int id) override {
        if (id == CMD_AISC_LIBRARY) {
            pick_aisc_beam_section(owner_window());
            return true;
        }
        if (id == CMD_LIBRARY) {
            pick_beam_section_from_library(owner_window());
            return true;
        }
        return TableWindow::on_command(id);
    }
    // The library pick needs the beam-section library.
    bool serves_command(int id) override {
        return id == CMD_AISC_LIBRARY || (id == CMD_LIBRARY && beam_section_library_hooks().choose_entry);
    }
    void on_enter() override {
        if (!frame || beam_library_mode() || in_results()) return;
        // File: the two picks and a separator, where the materials put their
        // Library item: after Save As, before Export and Print.
        Menu& menu = frame->menu;
        const int anchor = menu.contains(CMD_EXPORT) ? CMD_EXPORT : CMD_PRINT;
        if (!menu.contains(CMD_LIBRARY) && menu.contains(anchor)) {
            menu.insert_before(anchor, MenuItem{"Beam &Library...", CMD_LIBRARY});
            menu.insert_before(anchor, MenuItem{"&AISC Beam Library...", CMD_AISC_LIBRARY});
            menu.insert_before(anchor, MenuItem{});
            file_items_ = true;
        }
        table_add_insert_item(*frame);
        frame_show_button(*frame, CMD_LIBRARY);
        frame_show_button(*frame, CMD_AISC_LIBRARY);
        frame_update_menu(*frame);
    }
    void on_leave() override {
        if (!frame) return;
        if (file_items_) {
            frame->menu.remove_separator_after(CMD_AISC_LIBRARY);
            frame->menu.remove(CMD_LIBRARY);
            frame->menu.remove(CMD_AISC_LIBRARY);
            file_items_ = false;
        }
        table_remove_insert_item(*frame);
        frame_hide_button(*frame, CMD_LIBRARY);
        frame_hide_button(*frame, CMD_AISC_LIBRARY);
        frame_update_menu(*frame);
    }
    void context_menu(Point) override {
        if (in_results()) {
            table_popup_menu(*this, table_popup_show_edit(*this, "Beam section"));
            return;
        }
        MenuItem popup{"", 0, {}};
        if (can_insert(current_row)) popup.items.push_back(MenuItem{"&Insert", CMD_INSERT});
        if (can_delete(current_row)) popup.items.push_back(MenuItem{"&Delete", CMD_DELETE});
        popup.items.push_back(MenuItem{"&Edit", CMD_EDIT_ROW});
        popup.items.push_back(MenuItem{"Beam &Library...", CMD_LIBRARY, {}, !serves_command(CMD_LIBRARY)});
        popup.items.push_back(MenuItem{"&AISC Beam Library...", CMD_AISC_LIBRARY});
        popup.items.push_back(MenuItem{"List...", CMD_LIST});
        table_popup_menu(*this, popup);
    }
    // Pages, text or CSV, as the report being made asks.
    void print() override { print_beam_sections(); }
    void print_text() override { print_beam_sections(); }
    void print_csv() override { print_beam_sections(); }
    void contents_entry() override { add_contents_entry("Beam sections", 1); }
    // The guide's page of the beam sections, not that of the beam elements'
    // table of the same title.
    void on_help(WindowId owner) override {
        if (beam_library_mode())
            TableWindow::on_help(owner);
        else
            help_page("Beam sections", owner, std::string("window-list"));
    }

private:
    bool file_items_ = false;   // the File menu holds the picks this table added
};

BeamSectionTable& table() {
    return session_part<BeamSectionTable>();
}

// Replaces the current row's values (not its name) by a shape or a library entry.
void replace_current(const BeamSection& entry) {
    BeamSectionTable& t = table();
    BeamSection* r = t.record(t.current_row);
    if (!r) return;
    BeamSection next = entry;
    next.name = r->name;
    const bool resized = size_differs(next, *r);
    *r = next;
    if (resized && beam_sections().valid(t.current_row)) beam_section_size_changed();
    model_modified() = true;
    t.load();
    table_window_refocus(t);
}

// The text report's columns: the record's name and description, then its
// eight values, each in a column of ten characters.
constexpr int VALUE_COLUMN[BS_VALUE_COUNT] = {24, 33, 43, 53, 63, 73, 83, 93};
constexpr std::size_t VALUE_WIDTH[BS_VALUE_COUNT] = {8, 9, 9, 9, 9, 8, 8, 8};
// The rules span the table to the end of the Width column.
constexpr int LAST_COLUMN = 100;

void print_rule() {
    report_dashes(REPORT_LEFT_COLUMN, LAST_COLUMN);
    report_next_line();
}

void print_heading() {
    report_print_centred("Beam Sections", 6, 78);
    report_next_line();
    print_rule();
    report_print_at("Axial   Moment of inertia  Torsional    Shear area", 25);
    report_next_line();
    report_print_at(beam_library_mode()
                        ? "      Description    area     Major     Minor    constant   Major     Minor     Depth     Width"
                        : "Name  Description    area     Major     Minor    constant   Major     Minor     Depth     Width",
                    4);
    report_next_line();
    report_print_at(unit_label(AREA), 24);
    report_print_at(unit_label(INERTIA), 34);
    report_print_at(unit_label(INERTIA), 44);
    report_print_at(unit_label(INERTIA), 54);
    report_print_at(unit_label(AREA), 62);
    report_print_at(unit_label(AREA), 72);
    report_print_at(unit_label(DIMENSION), 83);
    report_print_at(unit_label(DIMENSION), 93);
    report_next_line();
    print_rule();
}

void print_csv_form() {
    const bool library = beam_library_mode();
    csv_add_text("Beam sections");
    report_rule();
    if (!library) csv_add_text("");
    for (const char* cell : {"", "Axial", "Moment of inertia", "", "Torsional", "Shear area"}) csv_add_text(cell);
    report_next_line();
    for (const char* cell :
         {"Name", "Description", "area", "Major", "Minor", "constant", "Major", "Minor", "Depth", "Width"})
        if (!library || std::string(cell) != "Name") csv_add_text(cell);
    report_next_line();
    if (!library) csv_add_text("");
    csv_add_text("");
    for (int v = 0; v < BS_VALUE_COUNT; ++v) csv_add_unit_cell(quantity(v));
    report_next_line();
    report_rule();
    for (const BeamSection& s : beam_sections()) {
        if (!library) csv_add_text(s.name);
        csv_add_text(s.description);
        for (int v = 0; v < BS_VALUE_COUNT; ++v) csv_add_cell(format_value(v, s.values[static_cast<std::size_t>(v)]));
        report_next_line();
    }
    report_rule();
}

}  // namespace

void check_beam_section_name(const std::string& name, int index) { check_entry_name(BEAM_SECTIONS, name, index); }

void beam_section_size_changed() {
    if (model_hooks().redraw_graphics) model_hooks().redraw_graphics();
}

int edit_beam_section(int index) {
    BeamSectionDialog proc(index);
    return run_dialog(BEAM_SECTION_DIALOG, proc, owner_window());
}

void open_beam_sections_table() {
    int row = 1;
    if (!beam_library_mode() && model().rows.valid(model().current_row)) {
        const int index = beam_section_index(model().rows[model().current_row].section);
        if (index != 0) row = index;
    }
    open_in_list_window(table(), row, false);
}

void reset_beam_section_table_input() { table().input = BeamSection{}; }

void refresh_beam_section_table() {
    if (list_window_table() == &table()) table().load();
}

namespace {

// Puts a picked entry into the current row, asking first when that row
// already holds another shape.
void replace_current_asking(int owner, const BeamSection& entry) {
    BeamSectionTable& t = table();
    const BeamSection* r = t.record(t.current_row);
    if (!r) return;
    if (!r->description.empty() && r->description != entry.description &&
        !ask_change_value(owner, "Beam Section", r->description, entry.description))
        return;
    replace_current(entry);
}

}  // namespace

void pick_aisc_beam_section(int owner) {
    if (input_locked()) return;
    if (!choose_aisc_shape(owner)) return;
    replace_current_asking(owner, aisc_shape_buffer());
}

void pick_beam_section_from_library(int owner) {
    if (input_locked()) return;
    const BeamSectionLibraryHooks& hooks = beam_section_library_hooks();
    BeamSection entry;
    if (!hooks.choose_entry || !hooks.choose_entry(owner, entry)) return;
    replace_current_asking(owner, entry);
}

namespace {

// A value of the text report in a column of `width` characters: with fewer
// digits when its full form (six) would run into the next column.
std::string report_value(int quantity, float value, std::size_t width) {
    if (value == 0.0f) return {};
    const double shown = to_display(quantity, value);
    std::string text;
    for (int digits = 6; digits >= 1; --digits) {
        text = c_format("%.*G", digits, shown);
        if (text.size() <= width) break;
    }
    return text;
}

}  // namespace

void print_beam_sections() {
    if (numbsections() == 0 || table_print_pages_or_csv(table(), "Beam sections", numbsections(), print_csv_form))
        return;
    ReportTable table(print_heading, 2);
    report_contents_line("Beam sections");
    // A description takes at most 15 characters, up to the area's column.
    constexpr int DESCRIPTION_ROOM = 15;
    for (const BeamSection& s : beam_sections()) {
        const std::vector<std::string> description = report_column_lines(s.description, DESCRIPTION_ROOM);
        const int description_width = utf8_length(description.front());
        table.keep(static_cast<int>(description.size()));
        if (!beam_library_mode()) report_print_at(s.name, 4);
        report_print_within(s.description, 10, DESCRIPTION_ROOM);
        for (int v = 0; v < BS_VALUE_COUNT; ++v) {
            int column = VALUE_COLUMN[v];
            std::size_t width = VALUE_WIDTH[v];
            // A description of 14 or 15 characters reaches the area's column:
            // the area moves on to stay a blank apart from it, with fewer
            // digits so that it still ends before the next column.
            if (v == BS_AREA && 10 + description_width >= column) {
                column = 10 + description_width + 1;
                width = static_cast<std::size_t>(std::max(1, VALUE_COLUMN[BS_MAJOR_I] - 1 - column));
            }
            report_print_at(report_value(quantity(v), s.values[static_cast<std::size_t>(v)], width), column);
        }
        report_next_line();
    }
    table.end();
    if (report_current_line() != REPORT_FIRST_LINE)
        print_rule();
}

void install_beam_sections_ui() {
    install_beam_sections();
    subscribe_document_changed("beam sections table", [](const DocumentChange& change) {
        if (change.kind == DocumentChange::Edited) refresh_beam_section_table();
        else if (change.part == SECTION_BEAM_SECTIONS) reset_beam_section_table_input();
    });
    // Listed by its contents entry's name: the beam rows' list is "Beams",
    // the table's title, and lists are kept by their names.
    register_data_list(DataList{"Beam sections", [] { return numbsections(); }, open_beam_sections_table, true, CMD_BEAM_SECTIONS});
    register_command(CMD_BEAM_SECTIONS, [](int) { open_beam_sections_table(); });
}
