#include "materials/ui/pipe_section_ui.h"

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
#include "materials/beam_section.h"
#include "materials/pipe_section_checks.h"
#include "materials/size_tables.h"
#include "materials/soil.h"
#include "materials/ui/dialogs_sections.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/value_bounds.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/ui/named_set_ui.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

enum Column : int {
    COL_NAME = 1,
    COL_NOMINAL,
    COL_SCHEDULE,
    COL_OD,
    COL_THICKNESS,
    COL_CORROSION,
    COL_MILL,
    COL_INS_DENSITY,
    COL_INS_THICKNESS,
    COL_LIN_DENSITY,
    COL_LIN_THICKNESS,
    COL_SOIL,
    TABLE_COLUMNS = COL_SOIL,
};

std::string dimension_text(float v) { return v == 0.0f ? std::string() : format_dimension(v); }
std::string density_text(float v) { return v == 0.0f ? std::string() : format_weight_density(v); }
std::string mill_text(float v, int decimals) { return v == 0.0f ? std::string() : format_real(v, 7, decimals); }

// Name checks of the dialog and the Name cell, for section `index` (0: a
// section not stored yet).
void check_section_name(const std::string& name, int index)
{
    check_entry_name(PIPE_SECTIONS, name, index);
}

// A typed text that the field's parser refused: invalid, and when the
// parser refused it for its sign, with what the field takes.
[[noreturn]] void refuse_typed(SectionField field, const char* name)
{
    if (const ValueBound* bound = section_field_bound(field))
        throw_below_bound(name, *bound, false);
    throw_invalid(name);
}

// A typed value against the bound of its field, as the dialog and the cells
// take it: below the bound it is invalid (the text for a value the editors
// cannot take, with what the field takes), above it the bound's text
// (section_value_fault). `name` is the field's name where it is typed.
void check_typed_value(SectionField field, const char* name, float value)
{
    const ValueBound* bound = section_field_bound(field);
    if (!bound)
        return;
    if (below_bound(*bound, value))
        throw_below_bound(name, *bound, true);
    if (const std::string fault = section_value_fault(field, value); !fault.empty())
        throw_message(fault);
}

// The order in which the dialog reads its fields; a combined check is shown
// once the fields it depends on have been read.
int check_stage(SectionField f)
{
    switch (f) {
    case SectionField::None: return 0;
    case SectionField::OutsideDiameter:
    case SectionField::Thickness: return 1;
    case SectionField::CorrosionAllowance: return 2;
    case SectionField::MillTolerance: return 3;
    case SectionField::InsulationDensity:
    case SectionField::InsulationThickness: return 4;
    case SectionField::LiningDensity:
    case SectionField::LiningThickness: return 5;
    }
    return 5;
}

int field_item(SectionField f)
{
    switch (f) {
    case SectionField::OutsideDiameter: return SEC_OD;
    case SectionField::Thickness: return SEC_THICKNESS;
    case SectionField::CorrosionAllowance: return SEC_CORROSION;
    case SectionField::MillTolerance: return SEC_MILL_TOLERANCE;
    case SectionField::InsulationDensity: return SEC_INS_DENSITY;
    case SectionField::InsulationThickness: return SEC_INS_THICKNESS;
    case SectionField::LiningDensity: return SEC_LIN_DENSITY;
    case SectionField::LiningThickness: return SEC_LIN_THICKNESS;
    case SectionField::None: break;
    }
    return SEC_NAME;
}

void erase_section_highlight()
{
    if (const auto& erase = pipe_section_highlight().erase)
        erase();
    else if (const auto& erase_hook = model_hooks().erase_highlight)
        erase_hook();
}

// ---- SECTION_DIALOG ----------------------------------------------------------------------

class SectionDialog final : public SnapshotDialogProc {
public:
    SectionDialog(int index, const PipeSection& start) : index_(index), start_(start) {}

    void init(Dialog& d) override
    {
        d.set_caption(c_format(SECTION_DIALOG.caption.c_str(), index_));
        for (int id : {SEC_OD_UNIT, SEC_THICKNESS_UNIT, SEC_CORROSION_UNIT, SEC_INS_THICKNESS_UNIT,
                       SEC_LIN_THICKNESS_UNIT})
            dialog_set_unit_label(id, DIMENSION);
        dialog_set_unit_label(SEC_INS_DENSITY_UNIT, WEIGHT_DENSITY);
        dialog_set_unit_label(SEC_LIN_DENSITY_UNIT, WEIGHT_DENSITY);
        const PipeSection s = record();
        // A new section starts from the one before it.
        if (s.name.empty() && index_ >= 2 && pipe_sections().valid(index_ - 1)) {
            const PipeSection& before = pipe_sections()[index_ - 1];
            set_value(SEC_CORROSION, before.corrosion_allowance, dimension_text);
            set_value(SEC_MILL_TOLERANCE, before.mill_tolerance, [](float v) { return mill_text(v, 2); });
            set_value(SEC_INS_DENSITY, before.insulation_density, density_text);
            set_value(SEC_LIN_DENSITY, before.lining_density, density_text);
        }
        if (numsoils() > 0) {
            dialog_enable_item(SEC_SOIL_LABEL, true);
            dialog_enable_item(SEC_SOIL, true);
            dialog_list_reset(SEC_SOIL);
            dialog_list_add("");
            for (const Soil& soil : soils())
                dialog_list_add(soil.name);
        }
        fill(s);
        if (input_locked()) {
            for (int id = SEC_NAME; id <= SEC_LIN_THICKNESS; ++id)
                dialog_set_readonly(id);
            for (int id : {int{SEC_ANSI}, SEC_ANSI + 1, SEC_ANSI + 2, int{SEC_ISO}, int{SEC_NOMINAL},
                           int{SEC_SCHEDULE}, int{SEC_SOIL}, int{SEC_INSULATION_BUTTON}})
                dialog_disable(id);
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(SEC_NAME);
        }
    }

    void command(Dialog& d, int id, int code) override
    {
        if (input_locked())
            return;
        if (id >= SEC_ANSI && id <= SEC_ISO && code == NOTIFY_CLICKED) {
            if (id - SEC_ANSI == standard_)
                return;   // the checked standard again: the size stays
            standard_ = id - SEC_ANSI;
            fill_sizes();
            select_size(0, {});
        } else if (id == SEC_NOMINAL && code == NOTIFY_SELCHANGE) {
            // The schedule shown is kept when the new size has it.
            const std::string schedule = dialog_get_text_raw(SEC_SCHEDULE, int{SCHEDULE_LENGTH} + 1);
            const int row = dialog_list_selection(SEC_NOMINAL);
            select_size(row < 0 ? 0 : row, schedule);
        } else if (id == SEC_SCHEDULE && code == NOTIFY_SELCHANGE) {
            const int row = dialog_list_selection(SEC_NOMINAL);
            const int position = dialog_list_selection(SEC_SCHEDULE);
            const PipeSizeTable& table = pipe_size_table(standard_);
            if (row > 0 && row < table.row_count() && position >= 0 &&
                position < table.rows[static_cast<std::size_t>(row)].schedule_count())
                set_value(SEC_THICKNESS, table.rows[static_cast<std::size_t>(row)]
                                             .thicknesses[static_cast<std::size_t>(position)],
                          format_dimension);
        } else if (id == SEC_INSULATION_BUTTON && code == NOTIFY_CLICKED) {
            const int chosen = run_insulation_dialog(d.window());
            if (chosen > 0 && !input_locked()) {
                set_value(SEC_INS_DENSITY,
                          static_cast<float>(insulation_materials()[static_cast<std::size_t>(chosen - 1)].density()),
                          format_weight_density);
                dialog_select_focus(SEC_INS_THICKNESS);
            }
        }
    }

    bool ok(Dialog& d) override
    {
        if (input_locked()) {
            d.end(0);
            return true;
        }
        const PipeSection old = record();
        PipeSection s;
        dialog_get_text(SEC_NAME);
        const std::string name = item_text();
        check_section_name(name, pipe_sections().valid(index_) ? index_ : 0);
        // Combined checks run under the stored name: the jacketed rows name it.
        s.name = old.name;
        for (int b = 0; b < NUM_SIZE_STANDARDS; ++b)
            if (dialog_is_checked(SEC_ANSI + b))
                s.size_standard = b;
        s.nominal_size = dialog_get_text_raw(SEC_NOMINAL, int{NOMINAL_SIZE_LENGTH} + 1);
        s.schedule = dialog_get_text_raw(SEC_SCHEDULE, int{SCHEDULE_LENGTH} + 1);

        read_required(SEC_OD, SectionField::OutsideDiameter, s.outside_diameter);
        read_required(SEC_THICKNESS, SectionField::Thickness, s.thickness);
        check_up_to(1, s);
        read_value(SEC_CORROSION, SectionField::CorrosionAllowance, parse_dimension_buffer, s.corrosion_allowance);
        check_up_to(2, s);
        read_value(SEC_MILL_TOLERANCE, SectionField::MillTolerance, parse_real_buffer, s.mill_tolerance);
        if (!mill_tolerance_in_range(s.mill_tolerance))
            throw_invalid("Mill tolerance");
        check_up_to(3, s);
        read_value(SEC_INS_DENSITY, SectionField::InsulationDensity, parse_weight_density_buffer,
                   s.insulation_density);
        read_value(SEC_INS_THICKNESS, SectionField::InsulationThickness, parse_dimension_buffer,
                   s.insulation_thickness);
        check_up_to(4, s);
        read_value(SEC_LIN_DENSITY, SectionField::LiningDensity, parse_weight_density_buffer, s.lining_density);
        read_value(SEC_LIN_THICKNESS, SectionField::LiningThickness, parse_dimension_buffer, s.lining_thickness);
        check_up_to(5, s);

        const int soil = numsoils() > 0 ? dialog_list_selection(SEC_SOIL) : 0;
        s.soil = soil >= 1 && soils().valid(soil) ? soils()[soil].name : std::string();
        s.name = name;

        if (!store_named_entry(pipe_sections(), index_, s, old, PIPE_SECTIONS, d.window(), "Section name", SEC_NAME))
            return true;
        if (std::fabs(double(s.outside_diameter) - old.outside_diameter) > 0.001)
            model_changed();
        refresh_sections_table();
        return true;
    }

private:
    PipeSection record() const { return pipe_sections().valid(index_) ? pipe_sections()[index_] : start_; }

    void read_required(int item, SectionField field, float& out) const
    {
        dialog_get_text(item);
        if (item_text().empty())
            throw_required(section_field_name(field));
        read_value(item, field, parse_dimension_buffer, out);
    }

    // A field read with its parser, or, while it still shows the text it was
    // given, the exact value behind that text (a shown text is rounded); then
    // within its bound.
    template <typename Parser>
    void read_value(int item, SectionField field, Parser parse, float& out) const
    {
        dialog_get_text(item);
        out = 0.0f;
        if (!untouched(item, out) && parse(out) != 0)
            refuse_typed(field, section_field_name(field));
        check_typed_value(field, section_field_name(field), out);
    }

    bool untouched(int item, float& out) const { return shown_.unchanged(item, out); }

    // Shows a value and remembers the text with the value behind it.
    template <typename Format>
    void set_value(int item, float value, Format format)
    {
        shown_.show(item, value, format(value));
    }

    // The combined checks whose fields have been read by stage `stage`.
    static void check_up_to(int stage, const PipeSection& s)
    {
        const SectionCheck c = check_section_values(s);
        if (!c.ok() && check_stage(c.field) <= stage)
            dialog_throw(field_item(c.field), c.message);
    }

    void fill_sizes()
    {
        const PipeSizeTable& table = pipe_size_table(standard_);
        dialog_set_radio(SEC_ANSI, SEC_ISO, SEC_ANSI + standard_);
        dialog_list_reset(SEC_NOMINAL);
        for (const PipeSizeRow& row : table.rows)
            dialog_list_add(row.name);
    }

    // Selects size row `row` and, when the size has it, the schedule named
    // `schedule` (else its first).
    void select_size(int row, const std::string& schedule)
    {
        const PipeSizeTable& table = pipe_size_table(standard_);
        dialog_list_select(SEC_NOMINAL, row);
        dialog_list_reset(SEC_SCHEDULE);
        if (row <= 0 || row >= table.row_count()) {
            dialog_disable(SEC_SCHEDULE);
            if (!input_locked()) {
                dialog_clear_readonly(SEC_OD);
                dialog_clear_readonly(SEC_THICKNESS);
                dialog_set_focus(SEC_OD);
            }
            return;
        }
        const PipeSizeRow& size = table.rows[static_cast<std::size_t>(row)];
        set_value(SEC_OD, size.outside_diameter, format_dimension);
        dialog_enable_item(SEC_SCHEDULE, !input_locked());
        dialog_set_readonly(SEC_OD);
        dialog_set_readonly(SEC_THICKNESS);
        for (int p = 0; p < size.schedule_count(); ++p)
            dialog_list_add(table.schedule_name(row, p));
        int position = table.find_schedule(row, schedule);
        if (position < 0)
            position = 0;
        if (size.schedule_count() > 0) {
            dialog_list_select(SEC_SCHEDULE, position);
            set_value(SEC_THICKNESS, size.thicknesses[static_cast<std::size_t>(position)], format_dimension);
        }
    }

    void fill(const PipeSection& s)
    {
        dialog_set_text_limit(SEC_NAME, s.name, int{SECTION_NAME_LENGTH});
        standard_ = valid_size_standard(s.size_standard) ? s.size_standard : SIZE_ANSI;
        fill_sizes();
        const int row = pipe_size_table(standard_).find_row(s.nominal_size);
        select_size(row < 0 ? 0 : row, s.schedule);
        if (row <= 0) {
            set_value(SEC_OD, s.outside_diameter, dimension_text);
            set_value(SEC_THICKNESS, s.thickness, dimension_text);
        } else {
            // A stored wall that differs from the table's schedule keeps its own value.
            set_value(SEC_THICKNESS, s.thickness, format_dimension);
        }
        if (s.corrosion_allowance != 0.0f)
            set_value(SEC_CORROSION, s.corrosion_allowance, format_dimension);
        if (s.mill_tolerance != 0.0f)
            set_value(SEC_MILL_TOLERANCE, s.mill_tolerance, [](float v) { return mill_text(v, 1); });
        if (s.has_insulation()) {
            set_value(SEC_INS_DENSITY, s.insulation_density, format_weight_density);
            set_value(SEC_INS_THICKNESS, s.insulation_thickness, format_dimension);
        }
        if (s.has_lining()) {
            set_value(SEC_LIN_DENSITY, s.lining_density, format_weight_density);
            set_value(SEC_LIN_THICKNESS, s.lining_thickness, format_dimension);
        }
        if (numsoils() > 0)
            dialog_list_select(SEC_SOIL, soil_index(s.soil));
    }

    int index_;
    PipeSection start_;
    int standard_ = SIZE_ANSI;
    ShownValues shown_;
};

// ---- INSULATION_DIALOG -------------------------------------------------------------------

class InsulationTable final : public ChoiceTable {
public:
    InsulationTable() : ChoiceTable(nullptr, 2, 2) { editing_allowed = false; }

    std::string header_text(int column, int line) override
    {
        if (column == 1)
            return line == 0 ? "Insulation" : line == 1 ? "Material" : "";
        if (column == 2)
            return line == 0 ? "Density" : line == 1 ? unit_label(WEIGHT_DENSITY) : "";
        return {};
    }
    std::string cell_text(int row, int column, int line) override
    {
        const auto& all = insulation_materials();
        if (line != 0 || row < 1 || row > static_cast<int>(all.size()))
            return {};
        const InsulationMaterial& m = all[static_cast<std::size_t>(row - 1)];
        return column == 1 ? m.name : column == 2 ? format_weight_density(m.density()) : std::string();
    }
};

class InsulationDialog final : public InputDialogProc {
public:
    void init(Dialog& d) override
    {
        table_.chosen = [&d, this] { d.end(table_.current_row); };
        const int rows = static_cast<int>(insulation_materials().size());
        view_ = table_create_in_dialog(d, INSULATION_TABLE, table_);
        table_show_at(table_, "", rows, 1, 0);
        // The whole list shows, every column; the buttons stay under it.
        const Rect size = view_->preferred_size(rows);
        d.set_item_min_size(INSULATION_TABLE, size.width(), size.height());
    }
    bool ok(Dialog& d) override
    {
        if (!table_end_edit(table_))
            return false;
        const int rows = static_cast<int>(insulation_materials().size());
        d.end(table_.current_row >= 1 && table_.current_row <= rows ? table_.current_row : 0);
        return false;
    }
    bool cancel(Dialog& d) override
    {
        d.end(0);
        return false;
    }

private:
    InsulationTable table_;
    std::unique_ptr<TableView> view_;
};

// ---- Report --------------------------------------------------------------------------------

void print_heading()
{
    report_print_centred("Pipe Sections", 6, 78);
    report_rule();
    report_print_at(" Nominal      O.D.   Thk   Cor.Al M.Tol Ins.Dens Ins.Th Lin.Dens Lin.Th Soil", 9);
    report_next_line();
    report_print_at("Name   Dia.   Sch", 4);
    report_print_centred(unit_label(DIMENSION), 22, 27);
    report_print_centred(unit_label(DIMENSION), 29, 34);
    report_print_centred(unit_label(DIMENSION), 36, 41);
    report_print_at("(%)", 44);
    report_print_centred(unit_label(WEIGHT_DENSITY), 49, 56);
    report_print_centred(unit_label(DIMENSION), 58, 63);
    report_print_centred(unit_label(WEIGHT_DENSITY), 65, 72);
    report_print_centred(unit_label(DIMENSION), 74, 79);
    report_next_line();
    report_rule();
}

void print_text_form()
{
    ReportTable table(print_heading);
    report_contents_line("Pipe sections");
    // The size and the schedule within the room before the next column.
    constexpr int SIZE_ROOM = 7, SCHEDULE_ROOM = 3;
    for (const PipeSection& s : pipe_sections()) {
        table.keep(
            std::max(report_lines_within(s.nominal_size, SIZE_ROOM), report_lines_within(s.schedule, SCHEDULE_ROOM)));
        report_print_at(s.name, 4);
        report_print_within(s.nominal_size, 10, SIZE_ROOM);
        report_print_within(s.schedule, 18, SCHEDULE_ROOM);
        report_print_at(format_dimension(s.outside_diameter), 22);
        report_print_at(format_dimension(s.thickness), 30);
        report_print_at(format_dimension(s.corrosion_allowance), 37);
        report_print_at(format_real(s.mill_tolerance, 7, 1), 44);
        if (s.insulation_density != 0.0f) {
            report_print_at(format_weight_density(s.insulation_density), 51);
            if (s.insulation_thickness != 0.0f)
                report_print_at(format_dimension(s.insulation_thickness), 59);
        }
        if (s.lining_density != 0.0f) {
            report_print_at(format_weight_density(s.lining_density), 66);
            if (s.lining_thickness != 0.0f)
                report_print_at(format_dimension(s.lining_thickness), 75);
        }
        if (!s.soil.empty())
            report_print_at(s.soil, 81);
        report_next_line();
    }
    table.close();
}

void print_csv_form()
{
    csv_add_text("Pipe sections");
    report_rule();
    for (const char* cell : {"", "Nominal", "", "O.D.", "Thk", "Cor.Al", "M.Tol", "Ins.Dens", "Ins.Th", "Lin.Dens",
                             "Lin.Th", "Soil"})
        csv_add_text(cell);
    report_next_line();
    for (const char* cell : {"Name", "Diameter", "Sch"})
        csv_add_text(cell);
    for (int q : {DIMENSION, DIMENSION, DIMENSION})
        csv_add_unit_cell(q);
    csv_add_text("(%)");
    for (int q : {WEIGHT_DENSITY, DIMENSION, WEIGHT_DENSITY, DIMENSION})
        csv_add_unit_cell(q);
    report_next_line();
    report_rule();
    for (const PipeSection& s : pipe_sections()) {
        csv_add_text(s.name);
        csv_add_text(s.nominal_size);
        csv_add_text(s.schedule);
        csv_add_cell(dimension_text(s.outside_diameter));
        csv_add_cell(dimension_text(s.thickness));
        csv_add_cell(dimension_text(s.corrosion_allowance));
        csv_add_cell(mill_text(s.mill_tolerance, 1));
        csv_add_cell(density_text(s.insulation_density));
        csv_add_cell(s.insulation_density != 0.0f ? dimension_text(s.insulation_thickness) : std::string());
        csv_add_cell(density_text(s.lining_density));
        csv_add_cell(s.lining_density != 0.0f ? dimension_text(s.lining_thickness) : std::string());
        csv_add_cell(s.soil);
        report_next_line();
    }
    report_rule();
}

}  // namespace

// ---- Public: dialogs -------------------------------------------------------------------

int edit_pipe_section(int index, WindowId owner, const PipeSection& start)
{
    SectionDialog proc(index, start);
    const int result = run_dialog(SECTION_DIALOG, proc, owner);
    return result == IDOK ? IDOK : IDCANCEL;
}

const std::vector<InsulationMaterial>& insulation_materials()
{
    static const std::vector<InsulationMaterial> materials = {
        {"Amosite Asbestos", 16.0}, {"Calcium Silicate", 15.0}, {"Careytemp", 10.0},   {"Cellular Glass", 9.0},
        {"Fiberglass", 7.0},        {"High Temperature", 24.0}, {"Kaylo 10", 12.5},    {"Mineral Wool", 8.5},
        {"Perlite", 13.0},          {"Poly Urethane", 2.2},     {"Styro Foam", 1.8},   {"Super-X", 25.0},
    };
    return materials;
}

int run_insulation_dialog(WindowId owner)
{
    InsulationDialog proc;
    const int result = run_dialog(INSULATION_DIALOG, proc, owner);
    const int rows = static_cast<int>(insulation_materials().size());
    return result >= 1 && result <= rows ? result : 0;
}

// ---- Public: the table ------------------------------------------------------------------

// Size and schedule take typing, so that Tab goes from the name to them; the
// diameter and wall take it on a section of no table size.
SectionsTable::SectionsTable() : TableWindow(&list_frame(), TABLE_COLUMNS, 2, {5, 8, 8, 12, 12, 12, 12, 12, 12, 12, 12, 0})
{
    for (int c = COL_OD; c <= COL_LIN_THICKNESS; ++c)
        alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
}

SectionsTable& sections_table()
{
    return session_part<SectionsTable>();
}

void SectionsTable::load() { table_set_input_rows(*this, "Pipe Sections", numsections()); }

PipeSection* SectionsTable::record(int row)
{
    if (pipe_sections().valid(row))
        return &pipe_sections()[row];
    return row == numsections() + 1 ? &input : nullptr;
}

std::string SectionsTable::header_text(int column, int line)
{
    static const char* const first[] = {"",       "Name",     "Nom",     "Sch",      "OD",      "Thk", "Cor.Al",
                                        "M.Tol",  "Ins.Dens", "Ins.Thk", "Lin.Dens", "Lin.Thk", "Soil"};
    if (column < 1 || column > TABLE_COLUMNS)
        return {};
    if (line == 0)
        return first[column];
    if (line != 1)
        return {};
    switch (column) {
    case COL_NOMINAL: return "Dia";
    case COL_MILL: return "(%)";
    case COL_INS_DENSITY:
    case COL_LIN_DENSITY: return unit_label(WEIGHT_DENSITY);
    case COL_OD:
    case COL_THICKNESS:
    case COL_CORROSION:
    case COL_INS_THICKNESS:
    case COL_LIN_THICKNESS: return unit_label(DIMENSION);
    default: return {};
    }
}

std::string SectionsTable::cell_text(int row, int column, int line)
{
    const PipeSection* s = record(row);
    if (!s || line != 0)
        return {};
    switch (column) {
    case COL_NAME: return s->name;
    case COL_NOMINAL: return s->nominal_size;
    case COL_SCHEDULE: return s->schedule;
    case COL_OD: return dimension_text(s->outside_diameter);
    case COL_THICKNESS: return dimension_text(s->thickness);
    case COL_CORROSION: return dimension_text(s->corrosion_allowance);
    case COL_MILL: return mill_text(s->mill_tolerance, 1);
    case COL_INS_DENSITY: return density_text(s->insulation_density);
    case COL_INS_THICKNESS: return dimension_text(s->insulation_thickness);
    case COL_LIN_DENSITY: return density_text(s->lining_density);
    case COL_LIN_THICKNESS: return dimension_text(s->lining_thickness);
    case COL_SOIL: return s->soil;
    default: return {};
    }
}

namespace {

// The row of the section's size in its standard's table, 0 for none.
int size_row_of(const PipeSection& s)
{
    const int standard = valid_size_standard(s.size_standard) ? s.size_standard : SIZE_ANSI;
    return std::max(0, pipe_size_table(standard).find_row(s.nominal_size));
}

}  // namespace

bool SectionsTable::cell_editable(int row, int column)
{
    if (!TableWindow::cell_editable(row, column))
        return false;
    // A table size gives the diameter and the wall, as in the dialog.
    const PipeSection* s = record(row);
    return !(column == COL_OD || column == COL_THICKNESS) || !s || size_row_of(*s) == 0;
}

void SectionsTable::filter_char(int column, std::string& ch)
{
    if (column == COL_NAME)
        table_filter_name(ch);
}

void SectionsTable::store_cell(int row, int column, const std::string& text)
{
    PipeSection* r = record(row);
    if (!r)
        return;
    const bool stored = pipe_sections().valid(row);
    PipeSection next = *r;   // a copy: a rename may change the array
    item_text() = upper_case(squeeze_blanks(text));
    // A number within the bound of its field; a diameter or wall cleared is
    // required.
    auto parse = [&](int (*parser)(float&), const char* name, SectionField field, float& out) {
        if ((field == SectionField::OutsideDiameter || field == SectionField::Thickness) && item_text().empty())
            throw_required(name);
        float value = 0.0f;
        if (parser(value) != 0)
            refuse_typed(field, name);
        check_typed_value(field, name, value);
        out = value;
    };
    switch (column) {
    case COL_NAME: {
        const std::string name = item_text();
        if (name.empty() || name == r->name)
            return;
        check_section_name(name, stored ? row : 0);
        if (stored && !confirm_entry_rename(PIPE_SECTIONS, frame_window(), "Section name", r->name, name))
            throw_message("");
        record(row)->name = name;
        if (stored)
            model_modified() = true;
        return;
    }
    case COL_NOMINAL:
    case COL_SCHEDULE: {
        // The size and schedule of the section's size table, as the dialog
        // lists them; the table gives the diameter and the wall.
        const int standard = valid_size_standard(next.size_standard) ? next.size_standard : SIZE_ANSI;
        const PipeSizeTable& table = pipe_size_table(standard);
        const std::string typed = item_text();
        if (typed.empty())
            return;
        const int row_of_size = column == COL_NOMINAL ? table.find_typed_row(typed) : size_row_of(next);
        if (column == COL_NOMINAL && row_of_size < 0)
            throw CI{"Size " + typed + " is not in the size table", COL_NOMINAL};
        if (column == COL_NOMINAL && row_of_size == 0) {
            // Non Std, as the dialog's first size: the diameter and the wall
            // are typed, and stay as they were.
            next.nominal_size = NON_STANDARD_SIZE;
            next.schedule.clear();
            break;
        }
        if (row_of_size <= 0)
            throw CI{next.nominal_size == NON_STANDARD_SIZE
                         ? "Schedule " + typed + " is not a schedule of size " + NON_STANDARD_SIZE
                         : std::string("Give the section's size before its schedule"),
                     COL_SCHEDULE};
        const PipeSizeRow& size = table.rows[static_cast<std::size_t>(row_of_size)];
        int position = table.find_schedule(row_of_size, column == COL_SCHEDULE ? typed : next.schedule);
        if (column == COL_SCHEDULE && position < 0)
            throw CI{"Schedule " + typed + " is not a schedule of size " + size.name, COL_SCHEDULE};
        if (position < 0)
            position = 0;
        next.nominal_size = size.name;
        next.outside_diameter = size.outside_diameter;
        if (size.schedule_count() > 0) {
            next.schedule = table.schedule_name(row_of_size, position);
            next.thickness = size.thicknesses[static_cast<std::size_t>(position)];
        }
        break;
    }
    case COL_OD:
    case COL_THICKNESS:
        if (column == COL_OD)
            parse(parse_dimension_buffer, "OD", SectionField::OutsideDiameter, next.outside_diameter);
        else
            parse(parse_dimension_buffer, "Thickness", SectionField::Thickness, next.thickness);
        // A diameter or a wall typed: a section of no size of the table.
        next.nominal_size = NON_STANDARD_SIZE;
        next.schedule.clear();
        break;
    case COL_CORROSION:
        parse(parse_dimension_buffer, "Corrosion allowance", SectionField::CorrosionAllowance, next.corrosion_allowance);
        break;
    case COL_MILL:
        parse(parse_real_buffer, "Mill tolerance", SectionField::MillTolerance, next.mill_tolerance);
        if (!mill_tolerance_in_range(next.mill_tolerance))
            throw_invalid("Mill tolerance");
        break;
    case COL_INS_DENSITY:
        parse(parse_weight_density_buffer, "Insulation density", SectionField::InsulationDensity,
              next.insulation_density);
        break;
    case COL_INS_THICKNESS:
        parse(parse_dimension_buffer, "Insulation thickness", SectionField::InsulationThickness,
              next.insulation_thickness);
        break;
    case COL_LIN_DENSITY:
        parse(parse_weight_density_buffer, "Lining density", SectionField::LiningDensity, next.lining_density);
        break;
    case COL_LIN_THICKNESS:
        parse(parse_dimension_buffer, "Lining thickness", SectionField::LiningThickness, next.lining_thickness);
        break;
    default: return;
    }
    if (next == *r)
        return;
    // The dialog's combined checks, once the record has its diameter and
    // thickness (a row without them goes to the dialog when it is left).
    // The pairs are settled when the row is left.
    if (next.outside_diameter > 0.0f && next.thickness > 0.0f) {
        const SectionCheck c = check_section_values(next, false);
        if (!c.ok())
            throw CI{c.message, column};
    }
    *r = next;
    if (stored)
        model_modified() = true;
}

bool SectionsTable::complete_row(PipeSection& r, int row)
{
    if (r.name.empty())
        throw_cell_required("Name", COL_NAME);
    if (r.outside_diameter <= 0.0f || r.thickness <= 0.0f)
        throw MsgCmd{"", CMD_EDIT_ROW};
    const bool stored = pipe_sections().valid(row);
    if ((r.insulation_density == 0.0f) != (r.insulation_thickness == 0.0f)) {
        r.insulation_density = r.insulation_thickness = 0.0f;
        if (stored)
            model_modified() = true;
    }
    if ((r.lining_density == 0.0f) != (r.lining_thickness == 0.0f)) {
        r.lining_density = r.lining_thickness = 0.0f;
        if (stored)
            model_modified() = true;
    }
    if (stored) {
        table_invalidate_rows(*this, row, row);
        return false;
    }
    pipe_sections().push_back(input);
    input = PipeSection{};
    model_modified() = true;
    load();
    return true;
}

void SectionsTable::leave_row(int row)
{
    PipeSection* r = record(row);
    if (!r) {
        TableWindow::leave_row(row);
        return;
    }
    // A new section: the caret goes on to the new input row below it, as
    // from any other row to the next.
    if (complete_row(*r, row))
        table_goto_row(*this, numsections() + 1, table_first_column(*this));
    else
        TableWindow::leave_row(row);
}

void SectionsTable::before_leave_row(int row)
{
    PipeSection* r = record(row);
    // An input row with nothing typed into it is left as it is.
    if (r && (pipe_sections().valid(row) || *r != PipeSection{}))
        complete_row(*r, row);
}

bool SectionsTable::can_insert(int row) { return named_row_can_insert(pipe_sections(), row); }

bool SectionsTable::can_delete(int row) { return !input_locked() && record(row) != nullptr; }

void SectionsTable::insert_row(int row)
{
    named_row_insert(pipe_sections(), row);
    load();
}

void SectionsTable::delete_row(int row)
{
    if (!pipe_sections().valid(row)) {
        input = PipeSection{};
        load();
        return;
    }
    if (named_row_delete(pipe_sections(), PIPE_SECTIONS, row, frame_window(), "Section"))
        load();
}

bool SectionsTable::edit_row(int row)
{
    PipeSection* r = record(row);
    if (!r)
        return false;
    const bool stored = pipe_sections().valid(row);
    push_undo_snapshot(frame_window());
    if (edit_pipe_section(stored ? row : numsections() + 1, frame_window(), *r) == IDOK) {
        if (!stored)
            input = PipeSection{};
        load();
        table_window_refocus(*this);
    }
    return true;
}

std::string SectionsTable::copy_row(int row)
{
    copy_section_values(row);
    return TableWindow::copy_row(row);
}

bool SectionsTable::paste_row(int row, const std::vector<std::string>&)
{
    if (!paste_section_values(row))
        return false;
    load();
    return true;
}

void SectionsTable::on_row_changed(int row)
{
    const PipeSectionHighlight& h = pipe_section_highlight();
    erase_section_highlight();
    if (h.enabled && h.enabled() && h.draw && pipe_sections().valid(row))
        h.draw(pipe_sections()[row].name);
}

void SectionsTable::on_enter()
{
    if (frame && !input_locked())
        table_add_insert_item(*frame);
}

void SectionsTable::on_leave()
{
    if (frame)
        table_remove_insert_item(*frame);
    erase_section_highlight();
}

void SectionsTable::context_menu(Point)
{
    if (input_locked()) {
        table_popup_menu(*this, table_popup_show_edit(*this, "Section"));
        return;
    }
    MenuItem popup;
    popup.text = "Section";
    if (can_insert(current_row))
        popup.items.push_back(MenuItem{"&Insert", CMD_INSERT});
    if (PipeSection* r = record(current_row); r && !section_in_use(*r))
        popup.items.push_back(MenuItem{"&Delete", CMD_DELETE});
    popup.items.push_back(MenuItem{"&Edit", CMD_EDIT_ROW});
    popup.items.push_back(MenuItem{"List...", CMD_LIST});
    table_popup_menu(*this, popup);
}

void SectionsTable::print() { print_pipe_sections(); }
void SectionsTable::print_text() { print_pipe_sections(); }
void SectionsTable::print_csv() { print_pipe_sections(); }
void SectionsTable::contents_entry() { add_contents_entry("Pipe sections", 0); }

void open_sections_table()
{
    int row = 1;
    if (const int layout_row = current_layout_row(); model().rows.valid(layout_row))
        if (const int s = section_index(model().rows[layout_row].section))
            row = s;
    open_in_list_window(sections_table(), row, true);
}

void refresh_sections_table()
{
    reload_if_shown(sections_table());
}

void print_pipe_sections()
{
    if (numsections() > 0 && !table_print_pages_or_csv(sections_table(), "Pipe Sections", numsections(), print_csv_form))
        print_text_form();
}

PipeSectionHighlight& pipe_section_highlight()
{
    return session_part<PipeSectionHighlight>();
}

void install_pipe_sections_ui()
{
    install_pipe_sections();
    subscribe_document_changed("sections table", [](const DocumentChange& change) {
        // A half-typed record goes with its model.
        if (change.kind == DocumentChange::Cleared && change.part == SECTION_PIPE_SECTIONS)
            sections_table().input = PipeSection{};
    });
    register_data_list(DataList{"Sections", [] { return numsections(); }, open_sections_table, true, CMD_SECTIONS});
    register_command(CMD_SECTIONS, [](int) { open_sections_table(); });
    layout_hooks().row_changed["sections table"] = sections_table_follow_layout_row;
    layout_hooks().section_dialog = [](int row) {
        if (!model().rows.valid(row))
            return false;
        PipeSection start;
        start.name = model().rows[row].section;
        const int index = section_index(start.name);
        push_undo_snapshot(layout_frame().window);
        return edit_pipe_section(index != 0 ? index : numsections() + 1, layout_frame().window, start) == IDOK;
    };
}

void sections_table_follow_layout_row(int row)
{
    SectionsTable& t = sections_table();
    if (list_window_table() != &t || !model().rows.valid(row))
        return;
    if (const int s = section_index(model().rows[row].section); s != 0 && s != t.current_row)
        table_goto_row(t, s, 0, true);
}
