#include "materials/ui/material_report.h"

#include "framework/app_state.h"
#include "framework/binfile.h"
#include "framework/text.h"
#include "framework/ui/file_dialogs.h"
#include "framework/ui/messages.h"
#include "framework/ui/report.h"
#include "framework/ui/table.h"
#include "framework/units.h"
#include "materials/ui/material_props_editor.h"
#include "model/piping_codes.h"
#include "platform/file_replace.h"

#include <algorithm>

namespace {

bool yield_first(int32_t c) { return code_is_one_of(c, {CODE_B314, CODE_B318, CODE_STOOMWEZEN, CODE_IGEM}); }
bool yield_second(int32_t c)
{
    return code_is_one_of(c, {CODE_ASME_CLASS2_1986, CODE_ASME_CLASS2_1992, CODE_ASME_CLASS2_2015,
                              CODE_ASME_CLASS2_2017, CODE_ASME_CLASS3_2017});
}

std::string blank_zero(const std::string& text, double v) { return v == 0.0 ? std::string() : text; }

std::string value_text(int q, double v)
{
    if (v == 0.0)
        return {};
    switch (q) {
    case TEMPERATURE: return format_temperature(v);
    case MODULUS: return format_modulus(v);
    case EXPANSION: return format_expansion(v);
    default: return format_stress(v);
    }
}

std::string title_of(const PipeMaterial& m)
{
    return c_format("Pipe material %s: %s", m.name.c_str(), m.description.c_str());
}

std::string values_line(const PipeMaterial& m)
{
    std::string s = c_format("Density = %s %s,  Nu = %s,  Joint factor = %s", format_density(m.density).c_str(),
                             unit_label(DENSITY).c_str(), format_real(m.nu, 9, 3).c_str(),
                             format_real(m.joint_factor, 5, 2).c_str());
    if (m.frp)
        s += ", Type = FRP";
    else if (!m.type.empty())
        s += ", Type = " + m.type;
    return s;
}

// The metal table's stress columns under a code: field and heading.
struct StressColumn {
    int field;
    const char* text_heading;
    int text_heading_column;
    const char* csv_heading;
};

std::vector<StressColumn> metal_stress_columns(int32_t code)
{
    std::vector<StressColumn> out;
    if (yield_first(code))
        out.push_back({PROP_STRESS2, "Yield", 41, "Yield"});
    else if (code == CODE_BS806)
        out.push_back({PROP_STRESS1, "Design", 40, "Design"});
    else if (code == CODE_EN13480)
        out.push_back({PROP_STRESS1, "All.(f)", 39, "f"});
    else
        out.push_back({PROP_STRESS1, "Allowable", 39, code == CODE_CODETI ? "fh" : "Allowable"});
    if (yield_second(code))
        out.push_back({PROP_STRESS2, "Yield", 52, "Yield"});
    else if (code == CODE_BS806) {
        out.push_back({PROP_STRESS2, "Proof", 52, "Proof"});
        out.push_back({PROP_STRESS3, "Rupture", 62, "Rupture"});
    } else if (code == CODE_STOOMWEZEN)
        out.push_back({PROP_STRESS3, "Rupture", 51, "Rupture"});
    return out;
}

const int FRP_FIELDS[PROPERTY_COLUMNS] = {PROP_TEMPERATURE, PROP_MODULUS,  PROP_HOOP_MODULUS, PROP_SHEAR_MODULUS,
                                          PROP_ALPHA,       PROP_STRESS1, PROP_STRESS2,      PROP_STRESS3};
const int FRP_QUANTITIES[PROPERTY_COLUMNS] = {TEMPERATURE, MODULUS, MODULUS, MODULUS,
                                              EXPANSION,   STRESS,  STRESS,  STRESS};

// The heading of a material's table in the text report: its title, its
// values and the column headings of its property table.
void print_text_heading(const PipeMaterial& m)
{
    const int32_t code = piping_code();
    report_print_centred(title_of(m), 6, 78);
    report_next_line();
    report_rule();
    report_print_at(values_line(m), 6);
    report_next_line();
    const std::string strength = material_strength_label(code);
    if (code_is_nordic(code)) {
        report_print_at("Circumferential joint factor = " + format_real(m.circ_joint_factor, 5, 2), 6);
        report_next_line();
    }
    if (!strength.empty()) {
        report_print_at(strength + " = ", 6);
        report_print_at(blank_zero(format_stress(m.strength) + " " + unit_label(STRESS), m.strength), 25);
        report_next_line();
    }
    report_next_line();
    if (m.frp) {
        report_print_at("Temp   Axial mod    Hoop mod   Shear mod    Alpha    Hoop All. Tors. All.  Axial. All.", 8);
        report_next_line();
        report_print_at(unit_label(TEMPERATURE), 8);
        report_print_centred(unit_label(MODULUS), 15, 23);
        report_print_centred(unit_label(MODULUS), 27, 35);
        report_print_centred(unit_label(MODULUS), 39, 47);
        report_print_at(unit_label(EXPANSION), 51);
        report_print_centred(unit_label(STRESS), 61, 70);
        report_print_centred(unit_label(STRESS), 72, 90);
        report_next_line();
        report_rule();
        return;
    }
    const std::vector<StressColumn> stresses = metal_stress_columns(code);
    report_print_at("Temp", 8);
    report_print_at("E", 19);
    report_print_at("Alpha", 29);
    for (const StressColumn& s : stresses)
        report_print_at(s.text_heading, s.text_heading_column);
    report_next_line();
    report_print_at(unit_label(TEMPERATURE), 8);
    report_print_centred(unit_label(MODULUS), 15, 23);
    report_print_at(unit_label(EXPANSION), 27);
    static const int UNIT_FROM[3] = {40, 51, 62};
    for (std::size_t i = 0; i < stresses.size(); ++i)
        report_print_centred(unit_label(STRESS), UNIT_FROM[i], UNIT_FROM[i] + 7);
    report_next_line();
    report_dashes(6, stresses.size() == 1 ? 48 : stresses.size() == 2 ? 58 : 70);
    report_next_line();
}

// A material on one page when it fits one, under its heading on every page
// it reaches when not.
void print_text_form(const PipeMaterial& m)
{
    ReportTable table([&m] { print_text_heading(m); }, m.numtemps());
    if (in_results())
        report_contents_line("Material " + m.name + ": " + m.description);
    if (m.frp) {
        static const int ENDS[PROPERTY_COLUMNS] = {10, 22, 34, 46, 58, 69, 78, 87};
        for (const PropertyRow& r : m.table) {
            for (int i = 0; i < PROPERTY_COLUMNS; ++i)
                report_print_right(value_text(FRP_QUANTITIES[i], r[static_cast<std::size_t>(FRP_FIELDS[i])]),
                                   ENDS[i]);
            report_next_line();
        }
    } else {
        const std::vector<StressColumn> stresses = metal_stress_columns(piping_code());
        static const int ENDS[3] = {45, 56, 67};
        for (const PropertyRow& r : m.table) {
            report_print_right(value_text(TEMPERATURE, r[PROP_TEMPERATURE]), 10);
            report_print_right(value_text(MODULUS, r[PROP_MODULUS]), 22);
            report_print_right(value_text(EXPANSION, r[PROP_ALPHA]), 34);
            for (std::size_t i = 0; i < stresses.size(); ++i)
                report_print_right(value_text(STRESS, r[static_cast<std::size_t>(stresses[i].field)]), ENDS[i]);
            report_next_line();
        }
    }
    table.end();
    report_next_line();
}

void print_csv_form(const PipeMaterial& m)
{
    const int32_t code = piping_code();
    csv_add_text(c_format("Material %s: %s", m.name.c_str(), m.description.c_str()));
    report_rule();
    csv_add_text(c_format("Density = %s %s", format_density(m.density).c_str(), unit_label(DENSITY).c_str()));
    csv_add_text(c_format("Nu = %.3f", m.nu));
    if (code_is_nordic(code)) {
        csv_add_text("Longitudinal joint factor = " + format_real(m.joint_factor, 5, 2));
        csv_add_text("Circumferential joint factor = " + format_real(m.circ_joint_factor, 5, 2));
    } else {
        csv_add_text("Joint factor = " + format_real(m.joint_factor, 5, 2));
    }
    if (m.frp)
        csv_add_text("Type = FRP");
    else
        csv_add_text("Type = " + m.type);
    report_next_line();
    const std::string strength = material_strength_label(code);
    if (!strength.empty()) {
        csv_add_text(c_format("%s = %s %s", strength.c_str(), blank_zero(format_stress(m.strength), m.strength).c_str(),
                              unit_label(STRESS).c_str()));
        report_next_line();
    }
    if (m.frp) {
        for (const char* h : {"Temp", "Axial mod", "Hoop mod", "Shear mod", "Alpha", "Hoop All.", "Torsional All.",
                              "Axial All."})
            csv_add_text(h);
        report_next_line();
        for (int q : FRP_QUANTITIES)
            csv_add_unit_cell(q);
        report_next_line();
        report_rule();
        for (const PropertyRow& r : m.table) {
            for (int i = 0; i < PROPERTY_COLUMNS; ++i)
                csv_add_cell(value_text(FRP_QUANTITIES[i], r[static_cast<std::size_t>(FRP_FIELDS[i])]));
            report_next_line();
        }
    } else {
        const std::vector<StressColumn> stresses = metal_stress_columns(code);
        for (const char* h : {"Temp", "E", "Alpha"})
            csv_add_text(h);
        for (const StressColumn& s : stresses)
            csv_add_text(s.csv_heading);
        report_next_line();
        for (int q : {TEMPERATURE, MODULUS, EXPANSION})
            csv_add_unit_cell(q);
        for (std::size_t i = 0; i < stresses.size(); ++i)
            csv_add_unit_cell(STRESS);
        report_next_line();
        report_rule();
        for (const PropertyRow& r : m.table) {
            csv_add_cell(value_text(TEMPERATURE, r[PROP_TEMPERATURE]));
            csv_add_cell(value_text(MODULUS, r[PROP_MODULUS]));
            csv_add_cell(value_text(EXPANSION, r[PROP_ALPHA]));
            for (const StressColumn& s : stresses)
                csv_add_cell(value_text(STRESS, r[static_cast<std::size_t>(s.field)]));
            report_next_line();
        }
    }
    report_rule();
}

// The page form reads like the text form: the title, the values line, the
// strength line, then the property table with the columns of the code.
void print_page_form(const PipeMaterial& m)
{
    const int32_t code = piping_code();
    if (gdi_lines_left() < 8)
        gdi_new_page();
    gdi_print_title_bar(title_of(m));
    gdi_next_line();
    gdi_print_text(values_line(m));
    gdi_next_line();
    const std::string strength = material_strength_label(code);
    const std::string value =
        blank_zero(format_stress(m.strength) + " " + unit_label(STRESS), m.strength);
    if (code_is_nordic(code)) {
        gdi_print_text("Circumferential joint factor = " + format_real(m.circ_joint_factor, 5, 2) + ",  " +
                       strength + " = " + value);
        gdi_next_line();
    } else if (!strength.empty()) {
        gdi_print_text(strength + " = " + value);
        gdi_next_line();
    }
    gdi_half_line();
    if (m.numtemps() > 0) {
        PropertyGrid grid;
        grid.in_list_window = false;
        const bool locked = input_locked();
        input_locked() = true;   // no input row in a printout
        grid.load(m.table, m.frp != 0);
        input_locked() = locked;
        table_print_under(grid, title_of(m), m.numtemps());
    }
}

}  // namespace

const MaterialStrengthField* material_strength_field(int32_t code)
{
    static constexpr MaterialStrengthField TENSILE{"Tensile strength", "Tensile strength", "Tensile", false, true};
    static constexpr MaterialStrengthField YIELD{"Yield strength", "Yield strength", "Yield", false, true};
    static constexpr MaterialStrengthField YIELD_ALWAYS{"Yield strength", "Yield strength", "Yield", true, true};
    static constexpr MaterialStrengthField ULTIMATE{"Ultimate strength", "Ultimate Strength", "Ultimate", true, false};
    struct CodeStrength {
        int32_t code;
        const MaterialStrengthField* field;
    };
    static constexpr CodeStrength CODES[] = {
        {CODE_NORWEGIAN_1983, &TENSILE}, {CODE_NORWEGIAN_1990, &TENSILE}, {CODE_SWEDISH, &TENSILE},
        {CODE_CODETI, &TENSILE},         {CODE_STOOMWEZEN, &TENSILE},     {CODE_EN13480, &TENSILE},
        {CODE_B318, &TENSILE},           {CODE_Z183, &YIELD},             {CODE_Z184, &YIELD},
        {CODE_Z662, &YIELD},             {CODE_B313, &YIELD_ALWAYS},      {CODE_B3112, &YIELD_ALWAYS},
        {CODE_IGEM, &ULTIMATE},
    };
    for (const CodeStrength& c : CODES)
        if (c.code == code)
            return c.field;
    return nullptr;
}

std::string material_strength_label(int32_t code)
{
    const MaterialStrengthField* f = material_strength_field(code);
    return f ? f->label : "";
}

void print_material(const PipeMaterial& m)
{
    if (report_state().csv_mode)
        print_csv_form(m);
    else
        print_text_form(m);
}

void print_materials()
{
    if (nummats() == 0)
        return;
    add_contents_entry("Pipe materials", 0);
    for (const PipeMaterial& m : pipe_materials()) {
        if (report_state().printing_pages)
            print_page_form(m);
        else if (report_state().text_report)
            print_material(m);
    }
}

std::string materials_csv_export_text()
{
    const int32_t code = piping_code();
    std::string out;
    for (const PipeMaterial& m : pipe_materials()) {
        // A line of text is one cell, quoted when it holds a comma or a quote.
        auto line = [&out](const std::string& text) { out += csv_cell_text(text) + "\n"; };
        line(c_format("Material %s: %s", m.name.c_str(), m.description.c_str()));
        line(c_format("Density = %s %s", format_density(m.density).c_str(), unit_label(DENSITY).c_str()));
        line(c_format("Nu = %.3f", m.nu));
        if (code_is_nordic(code)) {
            line(c_format("Longitudinal joint factor = %.2f", m.joint_factor));
            line(c_format("Circumferential joint factor = %.2f", m.circ_joint_factor));
        } else {
            line(c_format("Joint factor = %.2f", m.joint_factor));
        }
        if (m.frp)
            line("Type = FRP");
        else if (!m.type.empty())
            line(c_format("Type = %s", m.type.c_str()));
        const std::string strength = material_strength_label(code);
        if (!strength.empty() && m.strength > 0.0f)
            line(c_format("%s = %s %s", strength.c_str(), format_stress(m.strength).c_str(),
                          unit_label(STRESS).c_str()));
        if (m.frp) {
            out += "Temp,Axial mod,Hoop mod,Shear mod,Alpha,Hoop All.,Torsional All.,Axial All.\n";
            for (const PropertyRow& r : m.table) {
                for (int i = 0; i < PROPERTY_COLUMNS; ++i) {
                    if (i)
                        out += ',';
                    out += csv_cell_text(value_text(FRP_QUANTITIES[i], r[static_cast<std::size_t>(FRP_FIELDS[i])]));
                }
                out += '\n';
            }
        } else {
            const std::vector<StressColumn> stresses = metal_stress_columns(code);
            out += "Temp,E,Alpha";
            for (const StressColumn& s : stresses)
                out += std::string(",") + s.csv_heading;
            out += '\n';
            for (const PropertyRow& r : m.table) {
                out += csv_cell_text(value_text(TEMPERATURE, r[PROP_TEMPERATURE])) + ',' +
                       csv_cell_text(value_text(MODULUS, r[PROP_MODULUS])) + ',' +
                       csv_cell_text(value_text(EXPANSION, r[PROP_ALPHA]));
                for (const StressColumn& s : stresses)
                    out += ',' + csv_cell_text(value_text(STRESS, r[static_cast<std::size_t>(s.field)]));
                out += '\n';
            }
        }
    }
    return out;
}

bool export_materials_csv(WindowId owner)
{
    FileDialogRequest request;
    request.title = "Export to Comma Separated Values file";
    request.filters = {FileFilter{"Comma Separated Values file (*.csv)", "*.csv"}};
    request.default_extension = "csv";
    request.initial_path = "Materials.csv";
    if (!save_file_dialog_path(owner, request))
        return false;
    const std::string path = ofn_file_path();
    const std::string text = materials_csv_export_text();
    BinFile f;
    if (!f.open_write(path)) {
        message_error(owner, with_reason("Unable to open csv file:\n" + path, f.failure()));
        return false;
    }
    f.write(text.data(), text.size());
    if (!f.close()) {
        message_error(owner, with_reason("Unable to open csv file:\n" + path, f.failure()));
        return false;
    }
    info_dialog(owner, "csv written.");
    return true;
}
