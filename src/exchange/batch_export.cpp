// The batch export's frame and its table sections: title, VERSION, the
// option groups, materials, soils, pipe sections, pipe loads, beam data,
// equipment, seismic and wind data and allowable loads, in the order the
// batch import reads them. The LAYOUT section is batch_export_layout.cpp.
#include "exchange/batch_export.h"

#include "exchange/batch_export_writer.h"
#include "exchange/batch_import.h"
#include "exchange/batch_reader.h"
#include "analysis/analysis_model.h"
#include "framework/app_state.h"
#include "framework/qa_block.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "loads/beam_load.h"
#include "loads/pipe_load.h"
#include "loads/spectrum.h"
#include "loads/time_function.h"
#include "loads/seismic.h"
#include "loads/wind.h"
#include "materials/beam_material.h"
#include "materials/beam_section.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/soil.h"
#include "model/analysis_options.h"
#include "model/layout_row.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/piping_codes.h"
#include "qualification/equipment.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>
#include <string_view>

constexpr BatchNotCarriedEntry BATCH_NOT_CARRIED[NC_KINDS] = {
    {NC_SPECTRA, "spectra"},
    {NC_FORCE_SPECTRA, "force spectra"},
    {NC_TIME_FUNCTIONS, "time functions"},
    {NC_LOAD_CASES, "the chosen load cases (the model read back runs the default ones)"},
    {NC_VIEW_AND_UNITS, "view settings"},
    {NC_DISPLAY_UNITS, "display units the file does not carry, which the model read back shows in others"},
    {NC_REVISIONS, "the revision record"},
    {NC_QA_BLOCK, "the quality-assurance record"},
    {NC_OPTIONS, "analysis options without a batch field (default temperature, iteration limits, node increment)"},
    {NC_TIME_VARYING_LOAD, "time-varying loads"},
    {NC_FORCE_SPECTRUM_LOAD, "force spectrum loads"},
    {NC_GENERIC_SUPPORT, "generic supports"},
    {NC_SECTION_SIZE, "nominal sizes, schedules and size standards of pipe sections"},
    {NC_BEAM_DESCRIPTION, "descriptions of beam materials and sections"},
    {NC_MATERIAL_FIELDS, "material strengths, FRP flags and property columns 6-7"},
    {NC_PUMP_FIELDS, "pump fields a PUMPS line has no place for"},
    {NC_SECTION_RADIUS,
     "bends whose radius follows their section (short radius, or long radius of a section with a nominal size): "
     "written with the radius they have, which then no longer follows the section"},
    {NC_HANGER_DESIGN, "hanger design results"},
    {NC_LOWER_CASE, "lower-case letters of names, tags and descriptions (read back in capitals)"},
    {NC_LONG_TITLE, "title characters past 48, and a title that the first comment row does not give"},
    {NC_ROW_WITHOUT_NODE, "rows without a node or element type, and nodes of hydrotest rows"},
    {NC_ROW_NAMES, "row names a following row cannot clear or a row kind does not keep"},
    {NC_UNDEFINED_NAME, "names of materials, sections or loads that are not defined"},
    {NC_ELEMENT_FIELDS,
     "element values that no keyword gives, read back as none: bend axial and torsion SIFs below 1, miter SIFs, "
     "hydrotest temperatures, a jacketed bend's own material, flexibility factor and SIFs, reducer knuckles and "
     "offsets, beam end releases, a rigid element's contents weight, valve lengths and types"},
    // The batch reader takes an ES stiffness below 1 lb/in as 1 lb/in.
    {NC_BELLOWS_STIFFNESS, "bellows axial and lateral stiffnesses below {value}, read back as {value}", STIFFNESS, 1.0},
    {NC_DATA_FIELDS,
     "data-item values that no keyword gives, read back as none: a nozzle's pad, L1, L2 or axis that its vessel "
     "does not take, a limit stop's direction beside its connected node, the load type, short range, rate and load "
     "of a hanger other than a catalogue or user spring, branch SIF flanges and values that its kind does not take, "
     "IGEM factors under another code or below 1, the load case of a force (read back as one with the weight)"},
    {NC_BEND_PLANES, "bend out-of-plane flexibility factors and SIFs unlike the in-plane ones, read back as the "
                     "in-plane ones"},
    {NC_DATA_REPLACED, "flange types other than the seven (read back as weld neck) and welds of no kind (read back as "
                       "butt welds)"},
    {NC_DATA_ITEM_LEFT_OUT, "data items the file cannot give, left out: a restraint, limit stop or snubber without a "
                            "direction or limits, a mass without weight, a harmonic load without frequency, a branch "
                            "SIF of no kind"},
    {NC_SHARED_KEYWORD, "values of one keyword that an element and its data item both need"},
    {NC_SEISMIC_FLAGS, "seismic direction flags of a zero factor"},
    {NC_WIND_FIELDS, "wind fields without a place (structure height, profile of the other kind)"},
    {NC_LOAD_FIELDS, "design values of 0 (written as the highest operating value)"},
    {NC_FORM_6XX, "fields of the current form that the 6.xx form leaves out"},
    {NC_MATERIAL_DESCRIPTION,
     "characters of material descriptions that the file cannot hold, replaced (Materials table)"},
    {NC_PUMP_DESCRIPTION, "characters of pump descriptions that the file cannot hold, replaced (Pumps table)"},
    {NC_COMPRESSOR_DESCRIPTION,
     "characters of compressor descriptions that the file cannot hold, replaced (Compressors table)"},
    {NC_TURBINE_DESCRIPTION, "characters of turbine descriptions that the file cannot hold, replaced (Turbines table)"},
};
// The table is indexed by kind.
static_assert([] {
    for (int k = 0; k < NC_KINDS; ++k)
        if (BATCH_NOT_CARRIED[k].kind != k)
            return false;
    return true;
}());

void BatchExportReport::add(BatchNotCarried kind, int row, int count)
{
    Entry& e = entries[kind];
    e.count += count;
    if (row > 0 && (e.rows.empty() || e.rows.back() != row))
        e.rows.push_back(row);
}

void BatchExportReport::add_named(BatchNotCarried kind, const std::string& name)
{
    add(kind);
    entries[kind].names.push_back(name);
}

bool BatchExportReport::empty() const
{
    return std::all_of(std::begin(entries), std::end(entries), [](const Entry& e) { return e.count == 0; });
}

std::string batch_not_carried_text(BatchNotCarried kind)
{
    const BatchNotCarriedEntry& entry = BATCH_NOT_CARRIED[kind];
    std::string text = entry.text;
    constexpr std::string_view VALUE = "{value}";
    if (entry.quantity == 0)
        return text;
    const std::string value = value_with_unit(entry.quantity, entry.value);
    for (std::size_t at = 0; (at = text.find(VALUE, at)) != std::string::npos; at += value.size())
        text.replace(at, VALUE.size(), value);
    return text;
}

std::string BatchExportReport::message() const
{
    if (empty())
        return {};
    constexpr std::size_t ROWS_SHOWN = 8;
    std::string text = "The batch file leaves out:";
    for (int k = 0; k < NC_KINDS; ++k) {
        const Entry& e = entries[k];
        if (e.count == 0)
            continue;
        text += "\n" + batch_not_carried_text(static_cast<BatchNotCarried>(k)) + ": " + std::to_string(e.count);
        if (!e.rows.empty()) {
            text += e.rows.size() == 1 ? " (row " : " (rows ";
            for (std::size_t i = 0; i < e.rows.size() && i < ROWS_SHOWN; ++i)
                text += (i ? ", " : "") + std::to_string(e.rows[i]);
            if (e.rows.size() > ROWS_SHOWN)
                text += ", ...";
            text += ")";
        }
        for (std::size_t i = 0; i < e.names.size(); ++i)
            text += (i ? "; " : " (") + e.names[i] + (i + 1 == e.names.size() ? ")" : "");
    }
    return text;
}

namespace {

// The quantities as the warning names them.
constexpr const char* QUANTITY_NAMES[NUM_UNIT_QUANTITIES + 1] = {
    "",
    "length",
    "dimension",
    "displacement",
    "angle",
    "force",
    "moment",
    "weight per length",
    "weight",
    "density",
    "weight density",
    "temperature",
    "expansion coefficient",
    "pressure",
    "stress",
    "modulus",
    "translational stiffness",
    "rotational stiffness",
    "area",
    "moment of inertia",
    "speed",
};

// Units that another unit form of the file would carry, and how to get it.
struct UnitFormHint {
    int quantity;
    int unit;
    BatchUnitForm form;
    const char* hint;
};
constexpr UnitFormHint UNIT_FORM_HINTS[] = {
    {LENGTH, 2, BATCH_UNITS_FEET_INCH, "the environment variable EXPORT_INCHES keeps inch"},
};

// The unit choices that the file's OPTIONS line gives the model read back.
UnitChoices unit_form_choices(BatchUnitForm form)
{
    UnitChoicesKept kept;
    reset_unit_choice();
    if (form == BATCH_UNITS_SI)
        set_batch_si_units();
    else if (form == BATCH_UNITS_INCH)
        unit_choice()[LENGTH] = 2;
    return unit_choice();
}

}  // namespace

std::vector<std::string> batch_units_not_carried(const UnitChoices& shown, BatchUnitForm form)
{
    const UnitChoices read_back = unit_form_choices(form);
    std::vector<std::string> names;
    for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q) {
        const int unit = unit_choice_valid(q, shown[q]) ? shown[q] : 0;
        if (unit == read_back[q])
            continue;
        std::string name = std::string(QUANTITY_NAMES[q]) + " in " + unit_name(q, unit) + " is read back in " +
                           unit_name(q, read_back[q]);
        for (const UnitFormHint& h : UNIT_FORM_HINTS)
            if (h.quantity == q && h.unit == unit && h.form == form)
                name += std::string(" (") + h.hint + ")";
        names.push_back(name);
    }
    return names;
}

std::string join_fields(std::vector<std::string> fields)
{
    while (fields.size() > 1 && fields.back().empty())
        fields.pop_back();
    std::string text;
    for (std::size_t i = 0; i < fields.size(); ++i)
        text += (i ? "," : "") + fields[i];
    return text;
}

bool has_lower_case(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

namespace {

// ---- Checks before writing -----------------------------------------------------------

bool is_section_key(const std::string& text)
{
    std::string first = text.substr(0, text.find_first_of(" \t,"));
    return batch_section_key(upper_case(first)).has_value();
}

// True when the reader takes the description back as it is (in capitals):
// as a first field (followed by others) it must also be there and not begin
// with a section key.
bool description_reads_back(const std::string& text, bool first_field)
{
    if (holds_controls(text))
        return false;
    const std::string upper = upper_case(text);
    BatchTokenizer tokens;
    tokens.start(upper + (first_field ? ",X" : ""));
    if (tokens.next_field().value_or("") != upper)
        return false;
    return !first_field || (!text.empty() && !is_section_key(upper));
}

template <typename Set>
void check_names(const Set& set, const char* noun)
{
    std::set<std::string> seen;
    for (int i = 1; i <= set.size(); ++i) {
        const std::string& name = set[i].name;
        // A record without a name is a free slot, which is not written.
        if (name.empty())
            continue;
        if (!is_valid_name(name) || is_section_key(name))
            throw MessageText(c_format("%s %d \"%s\": the batch file cannot hold this name; rename it", noun, i,
                                       name.c_str()));
        if (!seen.insert(upper_case(name)).second)
            throw MessageText(c_format("%s %d: the name \"%s\" is given twice; rename one of them", noun, i,
                                       name.c_str()));
    }
}

void check_model_text()
{
    // Written as codes it would read back as another title, and written as
    // it is it would reach whatever shows the file (a line end would end
    // the title there). The title is quoted with the codes, a line end's
    // too, so that the message names the character.
    if (holds_controls(model_title()))
        throw MessageText("The title \"" + shown_controls(model_title()) +
                          "\" holds a control character or a byte that is not UTF-8; change the title");
    if (is_section_key(model_title()))
        throw MessageText("The title \"" + model_title() +
                          "\" begins with a key of the batch file, which would end the title; change the title");
    check_names(pipe_materials(), "Material");
    check_names(soils(), "Soil");
    check_names(pipe_sections(), "Pipe section");
    check_names(pipe_loads(), "Pipe load");
    check_names(beam_materials(), "Beam material");
    check_names(beam_sections(), "Beam section");
    check_names(beam_loads(), "Beam load");
    check_layout_text();
}

// ---- Units and options ---------------------------------------------------------------

BatchUnitForm unit_form(BatchUnitForm asked)
{
    if (asked != BATCH_UNITS_FROM_MODEL)
        return asked;
    const int length = current_unit(LENGTH);
    if (length > 2)
        return BATCH_UNITS_SI;
    if (length == 2 && env_switches().export_inches)
        return BATCH_UNITS_INCH;
    return BATCH_UNITS_FEET_INCH;
}

void write_options(BatchWriter& w, BatchUnitForm form)
{
    w.line("OPTIONS");
    std::string line = "HGRA," + piping_code_keyword(piping_code());
    for (const std::string& name : batch_units_not_carried(unit_choice(), form))
        w.report.add_named(NC_DISPLAY_UNITS, name);
    unit_choice() = unit_form_choices(form);
    if (form == BATCH_UNITS_SI)
        line += ",SI";
    else if (form == BATCH_UNITS_INCH)
        line += ",IN";
    const AnalysisOptions& o = analysis_options();
    if (o.z_vertical)
        line += ",Z";
    w.line(line);
    const AnalysisOptions defaults;
    if (o.default_temperature != defaults.default_temperature ||
        o.iteration_tolerance != defaults.iteration_tolerance || o.max_iterations != defaults.max_iterations ||
        model().node_increment != Model().node_increment)
        w.report.add(NC_OPTIONS);
    if (!w.current()) {
        const bool changed = o.include_axial_force != defaults.include_axial_force ||
                             o.liberal_allowable != defaults.liberal_allowable || o.use_b31j != defaults.use_b31j ||
                             o.service_level != defaults.service_level ||
                             o.reference_temperature != defaults.reference_temperature ||
                             o.thermal_cycles != defaults.thermal_cycles || o.numtloads != defaults.numtloads ||
                             o.peak_pressure_factor != defaults.peak_pressure_factor ||
                             o.cutoff_frequency != defaults.cutoff_frequency ||
                             o.number_of_modes != defaults.number_of_modes;
        if (changed)
            w.report.add(NC_FORM_6XX);
        return;
    }
    w.line("OPCODE");
    w.line(c_format("%d,%d,%d,%d,%d,%d,%d,%d,", o.include_axial_force ? 1 : 0, o.liberal_allowable ? 1 : 0,
                    o.use_b31j ? 1 : 0, o.service_level, o.b318_design_factor_index, o.z183_location_factor_index,
                    o.z184_class_location, o.z184_sour_service ? 1 : 0) +
           exact_real(o.seismic_coefficient));
    w.line("OPTEMP");
    w.line(exact_quantity_required(TEMPERATURE, o.reference_temperature) +
           c_format(",%d,%d,%d,%d", o.thermal_cycles, o.numtloads, o.solve_thermal_case ? 1 : 0,
                    o.use_cold_modulus ? 1 : 0));
    w.line("OPPRES");
    w.line(c_format("%d,%d,%d,", o.pressure_stress_option ? 1 : 0, o.bourdon_effect ? 1 : 0,
                    o.pressure_correction ? 1 : 0) +
           exact_real(o.peak_pressure_factor));
    w.line("OPMISC");
    w.line(c_format("%d,%d,%d,%d,%d", o.cutoff_frequency, o.number_of_modes, o.include_missing_mass ? 1 : 0,
                    o.friction_in_dynamics ? 1 : 0, o.include_hanger_stiffness ? 1 : 0));
}

// ---- Property sets and loads ---------------------------------------------------------

// A description as the file can hold it: as it is when it reads back;
// else with a comma written as ";", parentheses as square brackets, line
// ends, other control characters and bytes that are no UTF-8 (what
// shown_controls writes as codes) as blanks and no blanks before it, and
// a first field that would be empty or begin with a section key after "-".
// A description written otherwise is counted with its record's row.
std::string description_text(BatchWriter& w, const std::string& text, bool first_field, std::size_t limit,
                             BatchNotCarried kind, int index)
{
    if (description_reads_back(text, first_field))
        return text;
    std::string carried;
    for (char c : blanked_controls(text))
        carried += c == ',' ? ';' : c == '(' ? '[' : c == ')' ? ']' : c;
    carried.erase(0, carried.find_first_not_of(' '));
    if (first_field && !description_reads_back(carried, true))
        carried = ("-" + carried).substr(0, limit);
    w.report.add(kind, index);
    return carried;
}

void write_materials(BatchWriter& w)
{
    w.line("MATERIAL");
    for (int i = 1; i <= nummats(); ++i) {
        const PipeMaterial& m = pipe_materials()[i];
        if (m.name.empty())
            continue;
        if (has_lower_case(m.name) || has_lower_case(m.description))
            w.report.add(NC_LOWER_CASE);
        if (m.strength != 0.0f || m.frp != (is_frp_code(m.type) ? 1 : 0))
            w.report.add(NC_MATERIAL_FIELDS);
        w.line(join_fields({m.name, exact_quantity(DENSITY, m.density), exact_real(m.nu), exact_real(m.joint_factor),
                            // A circumferential factor of 0 stands for 1, which an empty field reads back as.
                            m.circ_joint_factor == 0.0f ? "" : exact_real(m.circ_joint_factor), m.type,
                            description_text(w, m.description, false, MATERIAL_DESCRIPTION_LENGTH,
                                             NC_MATERIAL_DESCRIPTION, i)}));
        for (int k = 1; k <= m.numtemps(); ++k) {
            const PropertyRow& row = m.table[k];
            if (row[PROP_HOOP_MODULUS] != 0.0f || row[PROP_SHEAR_MODULUS] != 0.0f)
                w.report.add(NC_MATERIAL_FIELDS);
            w.line(join_fields({m.name, exact_quantity_required(TEMPERATURE, row[PROP_TEMPERATURE]),
                                exact_quantity(MODULUS, row[PROP_MODULUS]), exact_quantity(EXPANSION, row[PROP_ALPHA]),
                                exact_quantity(STRESS, row[PROP_STRESS1]), exact_quantity(STRESS, row[PROP_STRESS2]),
                                exact_quantity(STRESS, row[PROP_STRESS3])}));
        }
    }
}

void write_soils(BatchWriter& w)
{
    if (numsoils() == 0)
        return;
    w.line("SOILS");
    for (int i = 1; i <= numsoils(); ++i) {
        const Soil& s = soils()[i];
        if (s.name.empty())
            continue;
        if (has_lower_case(s.name))
            w.report.add(NC_LOWER_CASE);
        std::vector<std::string> f = {s.name, s.type == SOIL_COHESIVE ? "1" : "0",
                                      exact_quantity_required(WEIGHT_DENSITY, s.density),
                                      exact_quantity(LENGTH, s.ground_level)};
        if (s.type == SOIL_COHESIVE) {
            f.push_back(exact_quantity(STRESS, s.strength));
        } else {
            f.push_back(s.delta == SOIL_ZERO_DELTA ? "0" : exact_quantity(ANGLE, s.delta));
            f.push_back(exact_real(s.ks));
        }
        if (s.include_insulation) {
            if (w.current())
                f.push_back("1");
            else
                w.report.add(NC_FORM_6XX);
        }
        w.line(join_fields(f));
    }
}

void write_sections(BatchWriter& w)
{
    w.line("PIPE");
    for (int i = 1; i <= numsections(); ++i) {
        const PipeSection& s = pipe_sections()[i];
        if (s.name.empty())
            continue;
        if (has_lower_case(s.name) || has_lower_case(s.soil))
            w.report.add(NC_LOWER_CASE);
        if (s.size_standard != PipeSection().size_standard || s.nominal_size != "Non Std" || !s.schedule.empty())
            w.report.add(NC_SECTION_SIZE);
        w.line(join_fields({s.name, exact_quantity(DIMENSION, s.outside_diameter),
                            exact_quantity(DIMENSION, s.thickness),
                            s.corrosion_allowance == 0.0f ? "" : exact_quantity(DIMENSION, s.corrosion_allowance),
                            s.mill_tolerance == 0.0f ? "" : exact_real(s.mill_tolerance),
                            exact_quantity(WEIGHT_DENSITY, s.insulation_density),
                            s.insulation_thickness == 0.0f ? "" : exact_quantity(DIMENSION, s.insulation_thickness),
                            exact_quantity(WEIGHT_DENSITY, s.lining_density),
                            s.lining_thickness == 0.0f ? "" : exact_quantity(DIMENSION, s.lining_thickness),
                            s.soil}));
    }
}

// The temperature of a thermal set that a 6.xx file leaves out of use.
constexpr float UNUSED_SET_TEMPERATURE = 70.0f;

// The highest operating value of the sets in use, for a design value of 0.
float highest_in_use(const std::array<float, NUM_LOAD_SETS + 1>& values)
{
    float highest = values[1];
    for (int k = 2; k <= load_sets_in_use(); ++k)
        highest = std::max(highest, values[static_cast<std::size_t>(k)]);
    return highest;
}

void write_loads(BatchWriter& w)
{
    if (numloads() == 0)
        return;
    w.line("LOADS");
    for (int i = 1; i <= numloads(); ++i) {
        const PipeLoad& l = pipe_loads()[i];
        if (l.name.empty())
            continue;
        if (has_lower_case(l.name))
            w.report.add(NC_LOWER_CASE);
        auto t = [&](int k) { return exact_quantity_required(TEMPERATURE, l.temperature[static_cast<std::size_t>(k)]); };
        auto p = [&](int k) { return exact_quantity_required(PRESSURE, l.pressure[static_cast<std::size_t>(k)]); };
        std::vector<std::string> f = {l.name, t(1), p(1), exact_real(l.specific_gravity)};
        if (w.current()) {
            f.insert(f.end(), {t(2), p(2), t(3), p(3), exact_quantity(WEIGHT_PER_LENGTH, l.added_weight)});
            float design_t = l.design_temperature;
            float design_p = l.design_pressure;
            if (design_t == 0.0f || design_p == 0.0f)
                w.report.add(NC_LOAD_FIELDS);
            if (design_t == 0.0f)
                design_t = highest_in_use(l.temperature);
            if (design_p == 0.0f)
                design_p = highest_in_use(l.pressure);
            f.push_back(exact_quantity_required(TEMPERATURE, design_t));
            f.push_back(exact_quantity_required(PRESSURE, design_p));
            for (int k = 4; k <= NUM_LOAD_SETS; ++k) {
                f.push_back(t(k));
                f.push_back(p(k));
            }
            if (l.wind)
                f.push_back("1");
        } else {
            // Without OPTEMP the reader counts a set above 70 degF as one in
            // use: a set not in use keeps a temperature of at most 70 degF.
            bool lost = l.wind != 0;
            for (int k = 2; k <= 3; ++k) {
                const auto ks = static_cast<std::size_t>(k);
                if (k <= numtloads() || l.temperature[ks] <= UNUSED_SET_TEMPERATURE) {
                    f.push_back(t(k));
                } else {
                    f.push_back(exact_quantity_required(TEMPERATURE, UNUSED_SET_TEMPERATURE));
                    lost = true;
                }
                f.push_back(p(k));
            }
            for (int k = 4; k <= NUM_LOAD_SETS; ++k) {
                const auto ks = static_cast<std::size_t>(k);
                lost = lost || l.temperature[ks] != UNUSED_SET_TEMPERATURE || l.pressure[ks] >= ENTERED_ZERO_LIMIT;
            }
            f.push_back(exact_quantity(WEIGHT_PER_LENGTH, l.added_weight));
            if (lost)
                w.report.add(NC_FORM_6XX);
        }
        w.line(join_fields(f));
    }
}

void write_beam_data(BatchWriter& w)
{
    if (numbmats() > 0) {
        w.line("BMATERIALS");
        for (int i = 1; i <= numbmats(); ++i) {
            const BeamMaterial& m = beam_materials()[i];
            if (m.name.empty())
                continue;
            if (!m.description.empty())
                w.report.add(NC_BEAM_DESCRIPTION);
            if (has_lower_case(m.name))
                w.report.add(NC_LOWER_CASE);
            w.line(join_fields({m.name, m.E == 0.0f ? "" : exact_quantity(MODULUS, m.E),
                                m.nu == 0.0f ? "" : exact_real(m.nu), m.density == 0.0f ? "" : exact_quantity(DENSITY, m.density),
                                m.alpha == 0.0f ? "" : exact_quantity(EXPANSION, m.alpha)}));
        }
    }
    if (beam_sections().size() > 0) {
        w.line("BSECTIONS");
        for (int i = 1; i <= beam_sections().size(); ++i) {
            const BeamSection& s = beam_sections()[i];
            if (s.name.empty())
                continue;
            if (!s.description.empty())
                w.report.add(NC_BEAM_DESCRIPTION);
            if (has_lower_case(s.name))
                w.report.add(NC_LOWER_CASE);
            std::vector<std::string> f = {s.name};
            const int quantity[BS_VALUE_COUNT] = {AREA, INERTIA, INERTIA, INERTIA, AREA, AREA, DIMENSION, DIMENSION};
            for (std::size_t k = 0; k < BS_VALUE_COUNT; ++k)
                f.push_back(k < 3 ? exact_quantity_required(quantity[k], s.values[k])
                                  : s.values[k] == 0.0f ? "" : exact_quantity(quantity[k], s.values[k]));
            w.line(join_fields(f));
        }
    }
    if (numbloads() > 0) {
        w.line("BLOADS");
        for (int i = 1; i <= numbloads(); ++i) {
            const BeamLoad& l = beam_loads()[i];
            if (l.name.empty())
                continue;
            if (has_lower_case(l.name))
                w.report.add(NC_LOWER_CASE);
            auto t = [&](int k) { return exact_quantity_required(TEMPERATURE, l.temperature[static_cast<std::size_t>(k)]); };
            std::vector<std::string> f = {l.name, t(1), t(2), t(3), exact_quantity(WEIGHT_PER_LENGTH, l.added_weight)};
            if (w.current()) {
                for (int k = 4; k <= NUM_LOAD_SETS; ++k)
                    f.push_back(t(k));
                if (l.wind)
                    f.push_back("1");
            } else {
                bool lost = l.wind != 0;
                for (int k = 4; k <= NUM_LOAD_SETS; ++k)
                    lost = lost || l.temperature[static_cast<std::size_t>(k)] != 70.0f;
                if (lost)
                    w.report.add(NC_FORM_6XX);
            }
            w.line(join_fields(f));
        }
    }
}

// ---- Equipment -----------------------------------------------------------------------

std::string node_field(int32_t node)
{
    return node == 0 ? std::string() : node_text(node);
}

void write_pumps(BatchWriter& w)
{
    if (pumps().size() == 0)
        return;
    w.line("PUMPS");
    for (int i = 1; i <= pumps().size(); ++i) {
        const PumpRecord& p = pumps()[i];
        if (has_lower_case(p.name))
            w.report.add(NC_LOWER_CASE);
        // What the line gives back: an API 610 pump of the flag's kind (a
        // record of an older file, kind 0, is one too).
        PumpRecord plain;
        plain.kind = api610_pump_kind(p.vertical);
        plain.name = p.name;
        plain.suction_node = p.suction_node;
        plain.suction_location = p.suction_location;
        plain.discharge_node = p.discharge_node;
        plain.discharge_location = p.discharge_location;
        plain.shaft_axis = p.shaft_axis;
        plain.centre = p.centre;
        plain.vertical = p.vertical;
        if (p.vertical) {
            plain.suction_location = plain.discharge_location = LOCATION_SIDE;
            plain.shaft_axis = {};
            plain.centre = {};
        }
        PumpRecord stored = p;
        if (stored.kind == PUMP_KIND_UNSET)
            stored.kind = plain.kind;
        if (!(plain == stored))
            w.report.add(NC_PUMP_FIELDS);
        std::vector<std::string> f = {
            description_text(w, p.name, true, EQUIPMENT_DESCRIPTION_LENGTH, NC_PUMP_DESCRIPTION, i),
            p.vertical ? "1" : "0"};
        if (!p.vertical) {
            for (float a : p.shaft_axis)
                f.push_back(exact_real(a));
            for (float c : p.centre)
                f.push_back(exact_quantity(LENGTH, c));
            f.push_back(node_field(p.suction_node));
            f.push_back(int_text(p.suction_location));
            f.push_back(node_field(p.discharge_node));
            f.push_back(p.discharge_node ? int_text(p.discharge_location) : "");
        } else {
            f.push_back(node_field(p.suction_node));
            f.push_back(node_field(p.discharge_node));
        }
        // The suction field stands even when empty.
        std::string text = join_fields(f);
        if (p.vertical && p.suction_node == 0 && p.discharge_node == 0)
            text += ",";
        w.line(text);
    }
}

void write_compressors(BatchWriter& w, const OneBased<CompressorRecord>& records, const char* key,
                       BatchNotCarried changed_description)
{
    if (records.size() == 0)
        return;
    w.line(key);
    for (int i = 1; i <= records.size(); ++i) {
        const CompressorRecord& c = records[i];
        if (has_lower_case(c.name))
            w.report.add(NC_LOWER_CASE);
        std::vector<std::string> f = {
            description_text(w, c.name, true, EQUIPMENT_DESCRIPTION_LENGTH, changed_description, i)};
        for (float a : c.shaft_axis)
            f.push_back(exact_real(a));
        for (int32_t node : {c.inlet, c.exhaust, c.extraction1, c.extraction2})
            f.push_back(node_field(node));
        w.line(join_fields(f));
    }
}

void write_seismic(BatchWriter& w)
{
    const SeismicData& s = seismic_data();
    for (std::size_t i = 0; i < 3; ++i)
        if ((s.load.flag[i] != 0) != (s.load.g[i] != 0.0f))
            w.report.add(NC_SEISMIC_FLAGS);
    if (s.asce_on && w.current()) {
        const AsceSeismic& a = s.asce;
        w.line("ASCES");
        w.line(join_fields({int_text(a.occupancy), int_text(a.site_class), exact_real(a.ss),
                            exact_quantity(LENGTH, a.component_height), exact_quantity(LENGTH, a.structure_height),
                            exact_real(a.ap), exact_real(a.rp), exact_real(a.ip), exact_real(a.asd),
                            int_text(s.load.combination)}));
        return;
    }
    if (s.asce_on)
        w.report.add(NC_FORM_6XX);
    if (s.load.g == std::array<float, 3>{})
        return;
    w.line("SEISMIC");
    std::vector<std::string> f = {exact_real(s.load.g[0]), exact_real(s.load.g[1]), exact_real(s.load.g[2])};
    if (w.current())
        f.push_back(int_text(s.load.combination));
    else if (s.load.combination != SeismicLoad().combination)
        w.report.add(NC_FORM_6XX);
    w.line(join_fields(f));
}

bool wind_load_defined(const WindLoad& l)
{
    return std::hypot(l.direction[0], l.direction[1], l.direction[2]) >= MIN_DIRECTION_LENGTH;
}

void write_wind(BatchWriter& w)
{
    const WindData& d = wind_data();
    bool any = d.asce_on;
    for (int n = 1; n <= NUM_WIND_LOADS; ++n)
        any = any || wind_load_defined(d.loads[static_cast<std::size_t>(n)]);
    if (!w.current()) {
        if (any)
            w.report.add(NC_FORM_6XX);
        return;
    }
    if (d.asce_on) {
        const AsceWind& a = d.asce;
        w.line("ASCEW");
        w.line(join_fields({int_text(a.occupancy), exact_quantity(SPEED, a.speed), exact_real(a.kd),
                            int_text(a.exposure), int_text(a.hill), exact_quantity(LENGTH, a.hill_height),
                            exact_quantity(LENGTH, a.crest_distance), exact_quantity(LENGTH, a.height_above_ground),
                            exact_quantity(LENGTH, a.crest_to_site), int_text(a.surface), exact_real(a.gust)}));
    }
    for (int n = 1; n <= NUM_WIND_LOADS; ++n) {
        const WindLoad& l = d.loads[static_cast<std::size_t>(n)];
        if (!wind_load_defined(l)) {
            if (!l.velocity.empty() || !l.pressure.empty())
                w.report.add(NC_WIND_FIELDS);
            continue;
        }
        if (l.height_given || l.structure_height != 0.0f)
            w.report.add(NC_WIND_FIELDS);
        w.line(c_format("WIND%d", n));
        const bool asce = l.asce && d.asce_on;
        std::vector<std::string> f = {asce ? "1" : "0", exact_real(l.shape_factor), exact_real(l.direction[0]),
                                      exact_real(l.direction[1]), exact_real(l.direction[2])};
        if (asce) {
            if (!l.velocity.empty() || !l.pressure.empty())
                w.report.add(NC_WIND_FIELDS);
            w.line(join_fields(f));
            continue;
        }
        const WindProfileUnits& u = d.units;
        f.insert(f.end(), {int_text(u.elevation), int_text(u.pressure), int_text(u.velocity), int_text(u.kind)});
        w.line(join_fields(f));
        const XYCurve& profile = u.kind == PROFILE_VELOCITY ? l.velocity : l.pressure;
        const XYCurve& other = u.kind == PROFILE_VELOCITY ? l.pressure : l.velocity;
        if (!other.empty())
            w.report.add(NC_WIND_FIELDS);
        w.line(int_text(static_cast<int64_t>(profile.size())));
        UnitChoicesKept file_units;
        unit_choice()[LENGTH] = profile_length_unit(u.elevation);
        unit_choice()[PRESSURE] = profile_pressure_unit(u.pressure);
        unit_choice()[SPEED] = profile_speed_unit(u.velocity);
        for (const XYPair& point : profile)
            w.line(exact_quantity_required(LENGTH, point.x == ENTERED_ZERO ? 0.0f : point.x) + "," +
                   (u.kind == PROFILE_VELOCITY ? exact_quantity_required(SPEED, point.y)
                                               : exact_quantity_required(PRESSURE, point.y)));
    }
}

void write_allowables(BatchWriter& w)
{
    if (allowables().size() == 0)
        return;
    if (!w.current()) {
        w.report.add(NC_FORM_6XX, 0, allowables().size());
        return;
    }
    w.line("ALLOWABLES");
    for (int i = 1; i <= allowables().size(); ++i) {
        const AllowableLoad& a = allowables()[i];
        std::vector<std::string> f = {node_text(a.node)};
        for (std::size_t k = 0; k < ALLOWABLE_VALUES; ++k)
            f.push_back(exact_quantity_required(k < 3 ? FORCE : MOMENT, a.values[k]));
        w.line(join_fields(f));
    }
}

// What the model holds that no section has a place for: the model read
// back has none of it, and runs the default load cases.
void count_unplaced(BatchWriter& w)
{
    if (numspectrums() > 0)
        w.report.add(NC_SPECTRA, 0, numspectrums());
    if (numforcespectra() > 0)
        w.report.add(NC_FORCE_SPECTRA, 0, numforcespectra());
    if (numtimefunctions() > 0)
        w.report.add(NC_TIME_FUNCTIONS, 0, numtimefunctions());
    if (!load_case_list().empty() && !(load_case_list() == default_analysis_load_cases()))
        w.report.add(NC_LOAD_CASES);
    if (!(qa_block() == QABlock{}))
        w.report.add(NC_QA_BLOCK);
}

}  // namespace

BatchExportReport write_batch_text(std::ostream& out, const BatchExportSettings& settings)
{
    check_model_text();
    UnitChoicesKept user_units;
    BatchWriter w;
    w.version = settings.version == BATCH_EXPORT_6XX ? BATCH_EXPORT_6XX : BATCH_EXPORT_CURRENT;
    const BatchUnitForm form = unit_form(settings.units);
    // The reader makes the title row "Title = " and the title from a title
    // line that is not blank, of at most 48 characters. A first row that is
    // that title row is written as the title line alone; any other first
    // comment is written as a comment row behind a blank title line, so that
    // it reads back as the first row and gives the title it gives now.
    constexpr std::size_t TITLE_LENGTH = 48;
    std::string title = model_title();
    std::string blank_test = title;
    trim_blanks(blank_test);
    const LayoutRow* first = numrows() > 0 && model().rows[1].etype == ET_COMMENT ? &model().rows[1] : nullptr;
    w.first_row_is_title = first && !blank_test.empty() && title.size() <= TITLE_LENGTH &&
                           first->comment_text() == "Title = " + title;
    if (first && !w.first_row_is_title) {
        const std::string comment = first->comment_text();
        if (title != (comment.size() > TITLE_OFFSET ? comment.substr(TITLE_OFFSET, MAX_TITLE_LENGTH) : ""))
            w.report.add(NC_LONG_TITLE, 1);
        title.clear();
    }
    if (title.size() > TITLE_LENGTH) {
        title.resize(TITLE_LENGTH);
        w.report.add(NC_LONG_TITLE);
    }
    w.line(title);
    w.line("");
    if (w.current()) {
        w.line("VERSION");
        w.line("10.20");
    }
    write_options(w, form);
    write_materials(w);
    write_soils(w);
    write_sections(w);
    write_loads(w);
    write_beam_data(w);
    batch_write_layout(w);
    write_pumps(w);
    write_compressors(w, compressors(), "COMPRESSORS", NC_COMPRESSOR_DESCRIPTION);
    write_compressors(w, turbines(), "TURBINES", NC_TURBINE_DESCRIPTION);
    write_seismic(w);
    write_wind(w);
    write_allowables(w);
    count_unplaced(w);
    for (const std::string& line : w.lines)
        out << line << '\n';
    return w.report;
}

std::string batch_export_text(const BatchExportSettings& settings, BatchExportReport* report)
{
    std::ostringstream out;
    BatchExportReport r = write_batch_text(out, settings);
    if (report)
        *report = r;
    return out.str();
}

BatchExportReport export_batch_file_at(const std::string& path, const BatchExportSettings& settings,
                                       const ExportBufferFilter& filter)
{
    BatchExportReport report;
    // The checks run before the file is opened, so a refused model leaves no file.
    check_model_text();
    write_export_file(
        path, [&](std::ostream& out) { report = write_batch_text(out, settings); }, filter);
    return report;
}
