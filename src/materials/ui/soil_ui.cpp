#include "materials/ui/soil_ui.h"

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
#include "materials/pipe_section.h"
#include "materials/ui/dialogs_sections.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/ui/list_window.h"
#include "model/ui/named_set_ui.h"

#include <map>
#include <string_view>

namespace {

enum Column : int {
    COL_NAME = 1,
    COL_TYPE,
    COL_DENSITY,
    COL_STRENGTH,
    COL_DELTA,
    COL_KS,
    COL_GROUND_LEVEL,
    COL_INCLUDE,
    TABLE_COLUMNS = COL_INCLUDE,
};

const char* type_text(const Soil& s) { return s.type == SOIL_COHESIVE ? "Cohesive" : "Cohesionless"; }
const char* yes_no(uint8_t flag) { return flag ? "Yes" : "No"; }

// The texts of the values shown for the soil's type; a value of 0 is empty.
std::string density_text(const Soil& s) { return s.density == 0.0f ? std::string() : format_weight_density(s.density); }
std::string strength_text(const Soil& s)
{
    return s.type != SOIL_COHESIVE || s.strength == 0.0f ? std::string() : format_stress(s.strength);
}
std::string delta_text(const Soil& s)
{
    return s.type == SOIL_COHESIVE || s.delta == 0.0f ? std::string() : format_angle(s.delta);
}
std::string ks_text(const Soil& s)
{
    return s.type == SOIL_COHESIVE || s.ks == 0.0f ? std::string() : format_real(s.ks, 10, 2);
}
std::string ground_text(const Soil& s) { return s.ground_level == 0.0f ? std::string() : format_length(s.ground_level); }

// A float parsed from the current item text must be above zero; an entered
// zero marker counts as zero.
bool above_zero(float v) { return v > ENTERED_ZERO_LIMIT; }

// ---- SOIL_DIALOG -------------------------------------------------------------------------

class SoilDialog final : public SnapshotDialogProc {
public:
    explicit SoilDialog(int index) : index_(index) {}

    void init(Dialog& d) override
    {
        d.set_caption(c_format(SOIL_DIALOG.caption.c_str(), index_));
        dialog_set_unit_label(SOIL_DENSITY_UNIT, WEIGHT_DENSITY);
        dialog_set_unit_label(SOIL_STRENGTH_UNIT, STRESS);
        dialog_set_unit_label(SOIL_DELTA_UNIT, ANGLE);
        dialog_set_unit_label(SOIL_GROUND_LEVEL_UNIT, LENGTH);
        const Soil s = record();
        dialog_set_radio(SOIL_COHESIVE_BUTTON, SOIL_COHESIONLESS_BUTTON, SOIL_COHESIVE_BUTTON);
        dialog_set_text_limit(SOIL_NAME, s.name, int{SOIL_NAME_LENGTH});
        if (s.density != 0.0f)
            dialog_set_text(SOIL_DENSITY, format_weight_density(s.density));
        if (s.type == SOIL_COHESIONLESS) {
            dialog_set_radio(SOIL_COHESIVE_BUTTON, SOIL_COHESIONLESS_BUTTON, SOIL_COHESIONLESS_BUTTON);
            enable_type(false);
            if (s.delta != 0.0f)
                dialog_set_text(SOIL_DELTA, format_angle(s.delta));
            if (s.ks != 0.0f)
                dialog_set_text(SOIL_KS, format_real(s.ks, 10, 2));
        } else {
            enable_type(true);
            if (s.strength != 0.0f)
                dialog_set_text(SOIL_STRENGTH, format_stress(s.strength));
        }
        if (s.ground_level != 0.0f)
            dialog_set_text(SOIL_GROUND_LEVEL, format_length(s.ground_level));
        dialog_check(SOIL_CHECK_INSULATION, s.include_insulation != 0);
        for (int id : {int{SOIL_DENSITY}, int{SOIL_STRENGTH}, int{SOIL_DELTA}, int{SOIL_KS}, int{SOIL_GROUND_LEVEL}})
            shown_[id] = upper_case(squeeze_blanks(d.text(id)));
        if (input_locked()) {
            for (int id = SOIL_NAME; id <= SOIL_GROUND_LEVEL; ++id)
                dialog_set_readonly(id);
            for (int id : {int{SOIL_COHESIVE_BUTTON}, int{SOIL_COHESIONLESS_BUTTON}, int{SOIL_CHECK_INSULATION}})
                dialog_disable(id);
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(SOIL_NAME);
        }
    }

    void command(Dialog&, int id, int code) override
    {
        if (input_locked() || code != NOTIFY_CLICKED)
            return;
        if (id == SOIL_COHESIVE_BUTTON || id == SOIL_COHESIONLESS_BUTTON) {
            dialog_set_radio(SOIL_COHESIVE_BUTTON, SOIL_COHESIONLESS_BUTTON, id);
            enable_type(id == SOIL_COHESIVE_BUTTON);
        }
    }

    bool ok(Dialog& d) override
    {
        if (input_locked()) {
            d.end(0);
            return true;
        }
        const Soil old = record();
        Soil s;
        dialog_get_text(SOIL_NAME);
        s.name = item_text();
        check_entry_name(SOILS, s.name, index_);
        s.type = dialog_is_checked(SOIL_COHESIVE_BUTTON) ? SOIL_COHESIVE : SOIL_COHESIONLESS;

        dialog_get_text(SOIL_DENSITY);
        if (item_text().empty())
            throw_required("Density");
        if (const bool read = parse_weight_density_buffer(s.density) == 0; !read || !above_zero(s.density))
            throw_invalid_taking("Density", ABOVE_ZERO, read);

        if (s.type == SOIL_COHESIONLESS) {
            dialog_get_text(SOIL_DELTA);
            if (item_text().empty())
                throw_required("Delta");
            if (parse_angle_buffer(s.delta) != 0 || !soil_delta_valid(s.delta))
                throw_invalid("Delta");
            if (s.delta == 0.0f)
                s.delta = SOIL_ZERO_DELTA;
            dialog_get_text(SOIL_KS);
            if (item_text().empty())
                throw_required("Ks");
            if (parse_real_buffer(s.ks) != 0 || !(s.ks > 0.0f))
                throw_invalid("Ks");
        } else {
            dialog_get_text(SOIL_STRENGTH);
            if (item_text().empty())
                throw_required("Strength");
            if (const bool read = parse_stress_buffer(s.strength) == 0; !read || !(s.strength > 0.0f))
                throw_invalid_taking("Strength", ABOVE_ZERO, read);
        }

        dialog_get_text(SOIL_GROUND_LEVEL);
        if (!item_text().empty() && parse_length_buffer(s.ground_level) != 0)
            throw_invalid("Ground level");
        s.include_insulation = dialog_is_checked(SOIL_CHECK_INSULATION) ? 1 : 0;

        // A value whose text was not touched keeps its stored precision.
        keep_if_shown(SOIL_DENSITY, old.density, s.density);
        if (s.type == old.type) {
            keep_if_shown(SOIL_STRENGTH, old.strength, s.strength);
            keep_if_shown(SOIL_DELTA, old.delta, s.delta);
            keep_if_shown(SOIL_KS, old.ks, s.ks);
        }
        keep_if_shown(SOIL_GROUND_LEVEL, old.ground_level, s.ground_level);
        if (store_named_entry(soils(), index_, s, old, SOILS, d.window(), "Soil name", SOIL_NAME))
            refresh_soils_table();
        return true;
    }

private:
    void keep_if_shown(int id, float old_value, float& value)
    {
        dialog_get_text(id);
        if (!item_text().empty() && item_text() == shown_[id])
            value = old_value;
    }

    Soil record() const { return soils().valid(index_) ? soils()[index_] : Soil{}; }

    // Enables the fields of one type, disables and empties those of the other.
    static void enable_type(bool cohesive)
    {
        for (int id : {int{SOIL_STRENGTH_LABEL}, int{SOIL_STRENGTH}, int{SOIL_STRENGTH_UNIT}})
            dialog_enable_item(id, cohesive);
        for (int id : {int{SOIL_DELTA_LABEL}, int{SOIL_DELTA}, int{SOIL_DELTA_UNIT}, int{SOIL_KS_LABEL},
                       int{SOIL_KS}})
            dialog_enable_item(id, !cohesive);
        if (cohesive) {
            dialog_set_text(SOIL_DELTA, "");
            dialog_set_text(SOIL_KS, "");
        } else {
            dialog_set_text(SOIL_STRENGTH, "");
        }
    }

    int index_;
    std::map<int, std::string> shown_;   // the value texts init showed
};

// ---- Report --------------------------------------------------------------------------------

constexpr std::string_view SOIL_HEADING =
    "Name     Type      Density    Strength    Delta        Ks     Ground Level  Include";

int heading_column(std::string_view word) { return 4 + static_cast<int>(SOIL_HEADING.find(word)); }

void print_soil_heading()
{
    report_print_centred("Soils", 6, 88);
    report_rule();
    report_print_at(std::string(SOIL_HEADING), 4);
    report_next_line();
    report_print_at(unit_label(WEIGHT_DENSITY), heading_column("Density"));
    report_print_at(unit_label(STRESS), heading_column("Strength"));
    report_print_at(unit_label(ANGLE), heading_column("Delta"));
    report_print_at(unit_label(LENGTH), heading_column("Ground Level"));
    report_print_at("Ins. Thk", heading_column("Include"));
    report_next_line();
    report_rule();
}

void print_buried_heading()
{
    report_print_centred("Buried Sections", 6, 78);
    report_rule();
    report_print_at("Section", 4);
    report_print_at("Soil", 14);
    report_next_line();
    report_rule();
}

void print_text_form()
{
    ReportTable soil_table(print_soil_heading);
    report_contents_line("Soils");
    for (const Soil& s : soils()) {
        report_print_at(s.name, 4);
        report_print_at(type_text(s), 9);
        report_print_at(format_weight_density(s.density), 24);
        if (s.type == SOIL_COHESIVE) {
            report_print_at(format_stress(s.strength), 35);
        } else {
            report_print_at(format_angle(s.delta), 46);
            report_print_at(format_real(s.ks, 10, 2), 57);
        }
        report_print_at(format_length(s.ground_level), 68);
        report_print_at(yes_no(s.include_insulation), 80);
        report_next_line();
    }
    soil_table.close();
    if (!any_section_flagged())
        return;
    ReportTable buried_table(print_buried_heading);
    report_contents_line("Buried sections");
    for (const PipeSection& section : pipe_sections()) {
        if (section.soil.empty())
            continue;
        report_print_at(section.name, 4);
        report_print_at(section.soil, 14);
        report_next_line();
    }
    buried_table.close();
}

void print_csv_form()
{
    csv_add_text("Soils");
    report_rule();
    for (const char* cell : {"Name", "Type", "Density", "Strength", "Delta", "Ks", "Ground Level", "Include"})
        csv_add_text(cell);
    report_next_line();
    csv_add_text("");
    csv_add_text("");
    for (int q : {WEIGHT_DENSITY, STRESS, ANGLE})
        csv_add_unit_cell(q);
    csv_add_text("");
    csv_add_unit_cell(LENGTH);
    csv_add_text("Ins. Thickness");
    report_next_line();
    report_rule();
    for (const Soil& s : soils()) {
        csv_add_text(s.name);
        csv_add_text(type_text(s));
        csv_add_cell(format_weight_density(s.density));
        csv_add_cell(s.type == SOIL_COHESIVE ? format_stress(s.strength) : std::string());
        csv_add_cell(s.type == SOIL_COHESIVE ? std::string() : format_angle(s.delta));
        csv_add_cell(s.type == SOIL_COHESIVE ? std::string() : format_real(s.ks, 10, 2));
        csv_add_cell(format_length(s.ground_level));
        csv_add_text(yes_no(s.include_insulation));
        report_next_line();
    }
    report_rule();
    if (!any_section_flagged())
        return;
    csv_add_text("Buried Sections");
    report_rule();
    csv_add_text("Section");
    csv_add_text("Soil");
    report_next_line();
    report_rule();
    for (const PipeSection& section : pipe_sections()) {
        csv_add_text(section.name);
        csv_add_text(section.soil);
        report_next_line();
    }
}

}  // namespace

// ---- Public: the dialog -------------------------------------------------------------------

int edit_soil(int index, WindowId owner)
{
    SoilDialog proc(index);
    return run_dialog(SOIL_DIALOG, proc, owner) == IDOK ? IDOK : IDCANCEL;
}

// ---- Public: the table ------------------------------------------------------------------

SoilsTable::SoilsTable() : TableWindow(&list_frame(), TABLE_COLUMNS, 2, {3, 12, 0, 0, 0, 10, 0, 8})
{
    for (int c = COL_DENSITY; c <= COL_GROUND_LEVEL; ++c)
        alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
}

SoilsTable& soils_table()
{
    return session_part<SoilsTable>();
}

void SoilsTable::load() { table_set_input_rows(*this, "Soils", numsoils()); }

const Soil* SoilsTable::record(int row) { return soils().valid(row) ? &soils()[row] : nullptr; }

std::string SoilsTable::header_text(int column, int line)
{
    static const char* const first[] = {"",      "Name", "Type",         "Density", "Strength",
                                        "Delta", "Ks",   "Ground Level", "Include"};
    if (column < 1 || column > TABLE_COLUMNS)
        return {};
    if (line == 0)
        return first[column];
    if (line != 1)
        return {};
    switch (column) {
    case COL_DENSITY: return unit_label(WEIGHT_DENSITY);
    case COL_STRENGTH: return unit_label(STRESS);
    case COL_DELTA: return unit_label(ANGLE);
    case COL_GROUND_LEVEL: return unit_label(LENGTH);
    case COL_INCLUDE: return "Ins. Thk";
    default: return {};
    }
}

std::string SoilsTable::cell_text(int row, int column, int line)
{
    const Soil* s = record(row);
    if (!s || line != 0)
        return {};
    switch (column) {
    case COL_NAME: return s->name;
    case COL_TYPE: return type_text(*s);
    case COL_DENSITY: return density_text(*s);
    case COL_STRENGTH: return strength_text(*s);
    case COL_DELTA: return delta_text(*s);
    case COL_KS: return ks_text(*s);
    case COL_GROUND_LEVEL: return ground_text(*s);
    case COL_INCLUDE: return yes_no(s->include_insulation);
    default: return {};
    }
}

bool SoilsTable::cell_editable(int, int) { return false; }

void SoilsTable::leave_row(int row)
{
    const Soil* s = record(row);
    if (!s || s->name.empty())
        throw_cell_required("Name", COL_NAME);
    TableWindow::leave_row(row);
}

void SoilsTable::before_leave_row(int row)
{
    // Soils are typed in their dialog: only an inserted empty record is
    // left without a name; the input row holds nothing.
    const Soil* s = record(row);
    if (s && s->name.empty())
        throw_cell_required("Name", COL_NAME);
}

bool SoilsTable::can_insert(int row) { return named_row_can_insert(soils(), row); }

bool SoilsTable::can_delete(int row) { return !input_locked() && soils().valid(row); }

void SoilsTable::insert_row(int row)
{
    named_row_insert(soils(), row);
    load();
}

void SoilsTable::delete_row(int row)
{
    if (!soils().valid(row)) {
        beep();
        return;
    }
    if (named_row_delete(soils(), SOILS, row, frame_window(), "Soil"))
        load();
}

bool SoilsTable::edit_row(int row)
{
    if (row < 1 || row > numsoils() + 1)
        return false;
    const bool stored = soils().valid(row);
    push_undo_snapshot(frame_window());
    if (edit_soil(stored ? row : numsoils() + 1, frame_window()) == IDOK) {
        load();
        if (!stored)
            table_goto_row(*this, numsoils());
        table_window_refocus(*this);
    }
    return true;
}

void SoilsTable::on_enter()
{
    if (frame && !input_locked())
        table_add_insert_item(*frame);
}

void SoilsTable::on_leave()
{
    if (frame)
        table_remove_insert_item(*frame);
}

void SoilsTable::print() { print_soils(); }
void SoilsTable::print_text() { print_soils(); }
void SoilsTable::print_csv() { print_soils(); }
void SoilsTable::contents_entry() { add_contents_entry("Soils", 0); }

void open_soils_table()
{
    open_in_list_window(soils_table(), 1, true);
}

void refresh_soils_table()
{
    reload_if_shown(soils_table());
}

void print_soils()
{
    if (numsoils() > 0 && !table_print_pages_or_csv(soils_table(), "Soils", numsoils(), print_csv_form))
        print_text_form();
}

void install_soils_ui()
{
    install_soils();
    register_data_list(DataList{"Soils", [] { return numsoils(); }, open_soils_table, true, CMD_SOILS});
    register_command(CMD_SOILS, [](int) { open_soils_table(); });
}
