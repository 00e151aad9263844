// The table sections of property sets and loads: MATERIAL (materials and
// their temperature lines), SOILS, PIPE, LOADS, BMATERIALS, BSECTIONS and
// BLOADS. Each data line appends one record, after every check of the line
// has passed.
#include "exchange/batch_sections.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "loads/beam_load.h"
#include "loads/pipe_load.h"
#include "materials/beam_material.h"
#include "materials/beam_section.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/pipe_section_checks.h"
#include "materials/soil.h"
#include "model/analysis_options.h"
#include "model/layout_row.h"
#include "model/value_bounds.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace {

// The temperature that an operating temperature a line does not reach takes.
constexpr float DEFAULT_LOAD_TEMPERATURE = 70.0f;

using Parser = int (*)(const std::string&, float&);

// A field read by a parser (0 for empty text) and checked.
float parsed(const BatchReader& reader, const std::string& text, Parser parser, const std::string& message)
{
    float v = 0.0f;
    if (parser(text, v) != 0)
        reader.fail(message, text);
    return v;
}

template <typename Check>
float checked(const BatchReader& reader, const std::string& text, Parser parser, const std::string& message,
              Check check)
{
    float v = 0.0f;
    if (parser(text, v) != 0 || !check(v))
        reader.fail(message, text);
    return v;
}

int plain_real(const std::string& text, float& v) { return parse_real(text, v); }

bool temperature_in_range(float t) { return t >= LOWEST_LOAD_TEMPERATURE; }

// The temperature line of the current material: the values behind the
// material's name, which the line reader's tokenizer stands behind.
void read_material_temperature(BatchImport& b)
{
    BatchReader& r = b.reader;
    BatchTokenizer& t = r.tokens;
    PipeMaterial& m = pipe_materials()[b.current_material];
    PropertyRow row{};
    const std::optional<std::string> temperature = t.next_token();
    if (!given(temperature))
        r.fail("Temperature is required");
    row[PROP_TEMPERATURE] = parsed(r, *temperature, parse_temperature, "Invalid temperature");
    const std::optional<std::string> modulus = t.next_token();
    if (!given(modulus))
        r.fail("Elastic modulus is required");
    row[PROP_MODULUS] = parsed(r, *modulus, parse_modulus, "Invalid elastic modulus");
    struct Column {
        int column;
        Parser parser;
        const char* message;
    };
    for (const Column& c : {Column{PROP_ALPHA, parse_expansion, "Invalid alpha"},
                            Column{PROP_STRESS1, parse_stress, "Invalid allowable stress"},
                            Column{PROP_STRESS2, parse_stress, "Invalid yield stress"},
                            Column{PROP_STRESS3, parse_stress, "Invalid rupture stress"}}) {
        const std::optional<std::string> field = t.next_token();
        if (!field)
            break;
        row[static_cast<std::size_t>(c.column)] = parsed(r, *field, c.parser, c.message);
    }
    if (m.numtemps() + 1 > MAXTEMPS)
        r.fail(c_format("Maximum %d temperature dependent properties are allowed", MAXTEMPS));
    if (m.numtemps() > 0 && !(m.table[m.numtemps()][PROP_TEMPERATURE] < row[PROP_TEMPERATURE]))
        r.fail("Temperatures are not in ascending order");
    m.table.push_back(row);
}

// The number of thermal load sets that the loads (and the line's record)
// call for, while the options leave it at 1: a T2 above 70 degF calls for 2
// sets, a T3 for 3, a T4 for all ten. The highest call of any load counts.
void settle_numtloads(const BatchImport& b, const PipeLoad& line_load)
{
    if (numtloads() > 1 || b.numtloads_given)
        return;
    int32_t n = 1;
    auto visit = [&n](const PipeLoad& l) {
        if (l.temperature[2] > DEFAULT_LOAD_TEMPERATURE)
            n = std::max(n, 2);
        if (l.temperature[3] > DEFAULT_LOAD_TEMPERATURE)
            n = std::max(n, 3);
        if (l.temperature[4] > DEFAULT_LOAD_TEMPERATURE)
            n = 10;
    };
    for (const PipeLoad& l : pipe_loads())
        visit(l);
    visit(line_load);
    numtloads() = n;
}

// The design values of a load against the thermal sets in use: one the line
// does not give covers the sets in use and those the line gives; a given one
// must cover the sets in use (a set the analysis does not take may hold
// anything). A load settled again after a later line added a set takes the
// sets in use then. A refusal names the load's line.
void settle_design(PipeLoad& l, const BatchImport::LoadLine& line)
{
    float max_temperature = l.temperature[1];
    float max_pressure = l.pressure[1];
    float given_temperature = max_temperature;
    float given_pressure = max_pressure;
    for (int k = 2; k <= NUM_LOAD_SETS; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (k <= load_sets_in_use()) {
            max_temperature = std::max(max_temperature, l.temperature[i]);
            max_pressure = std::max(max_pressure, l.pressure[i]);
        }
        if (k <= load_sets_in_use() || line.sets_given[i]) {
            given_temperature = std::max(given_temperature, l.temperature[i]);
            given_pressure = std::max(given_pressure, l.pressure[i]);
        }
    }
    if (!line.design_temperature_given)
        l.design_temperature = given_temperature;
    if (!line.design_pressure_given)
        l.design_pressure = given_pressure;
    auto fail_design = [&](const char* message) {
        throw MessageText(batch_error_text(line.source.number, line.source.text, message, line.wind));
    };
    if (max_temperature > l.design_temperature)
        fail_design(DESIGN_TEMPERATURE_BELOW_OPERATING);
    if (max_pressure > l.design_pressure)
        fail_design(DESIGN_PRESSURE_BELOW_OPERATING);
}

}  // namespace

void check_room(const BatchReader& reader, int count, int limit, const char* things)
{
    if (count >= limit)
        reader.fail(c_format("Maximum number of %s exceeded", things));
}

std::string read_name_field(const BatchReader& reader, const std::optional<std::string>& field, std::size_t limit,
                            const char* noun)
{
    if (!given(field))
        reader.fail(std::string(noun) + " name is required");
    if (const std::string fault = name_fault_text(noun, *field, limit); !fault.empty())
        reader.fail(fault, *field);
    return *field;
}

// ---- MATERIAL ------------------------------------------------------------------------------

void read_material_line(BatchImport& b)
{
    BatchReader& r = b.reader;
    BatchTokenizer& f = r.line_fields();
    const std::optional<std::string> first = f.next_field();
    if (b.current_material != 0 && given(first) && *first == pipe_materials()[b.current_material].name) {
        read_material_temperature(b);
        return;
    }
    PipeMaterial m;
    m.name = read_name_field(r, first, NAME_LENGTH, "Material");
    m.nu = 0.3f;
    m.joint_factor = 1.0f;
    m.circ_joint_factor = 1.0f;
    // Fields 2 to 7: a missing field ends the line, an empty one keeps its default.
    auto next = [&f]() { return f.next_field(); };
    std::optional<std::string> field;
    auto joint = [](float v) { return v > 0.0f && v <= 1.0f; };
    if ((field = next()) && !field->empty())
        m.density = checked(r, *field, parse_density, "Invalid density", [](float v) { return v >= 0.0f; });
    if (field && (field = next()) && !field->empty())
        m.nu = checked(r, *field, plain_real, "Invalid Poisson's ratio", [](float v) { return v < 0.5f; });
    if (field && (field = next()) && !field->empty())
        m.joint_factor = checked(r, *field, plain_real, "Invalid joint factor", joint);
    if (field && (field = next()) && !field->empty())
        m.circ_joint_factor = checked(r, *field, plain_real, "Invalid circ joint factor", joint);
    if (field && (field = next()) && !field->empty()) {
        // The type codes of the material dialog (CS, SS, FR, ...).
        if (!is_material_type_code(*field))
            r.fail("Invalid material type", *field);
        m.set_type(*field);
    }
    if (field && (field = next()) && !field->empty()) {
        if (field->size() > MATERIAL_DESCRIPTION_LENGTH)
            r.fail(c_format("Material description should be <= %zu characters", MATERIAL_DESCRIPTION_LENGTH),
                   *field);
        m.description = *field;
    }
    check_room(r, nummats(), MAXMATS, "materials");
    b.current_material = pipe_materials().push_back(std::move(m));
}

// ---- SOILS ---------------------------------------------------------------------------------

void read_soil_line(BatchImport& b)
{
    BatchReader& r = b.reader;
    BatchTokenizer& t = r.line_tokens();
    Soil s;
    s.name = read_name_field(r, t.next_token(), SOIL_NAME_LENGTH, "Soil");
    // Present fields go to their parsers, which read an empty one as 0.
    auto required = [&](const char* message) {
        const std::optional<std::string> field = t.next_token();
        if (!field)
            r.fail(message);
        return *field;
    };
    std::string field = required("Soil type is required");
    int32_t type = 0;
    if (parse_int(field, type) != 0 || type < 0 || type > 1)
        r.fail("Invalid Cohesive/Cohesiveless", field);
    s.type = type == 1 ? SOIL_COHESIVE : SOIL_COHESIONLESS;
    field = required("Soil density is required");
    s.density = checked(r, field, parse_weight_density, "Invalid density", [](float v) { return v > 0.0f; });
    field = required("Ground level required");
    if (parse_length(field, s.ground_level) != 0)
        r.fail("Invalid ground level");
    if (s.type == SOIL_COHESIVE) {
        field = required("Strength required");
        s.strength = checked(r, field, parse_stress, "Invalid cohesive strength", [](float v) { return v > 0.0f; });
    } else {
        field = required("Delta required");
        s.delta = checked(r, field, parse_angle, "Invalid delta value", [](float v) { return soil_delta_valid(v); });
        // An entered 0 is kept apart from a delta never given, as the soil dialog keeps it.
        if (s.delta == 0.0f)
            s.delta = SOIL_ZERO_DELTA;
        field = required("ks required");
        s.ks = checked(r, field, plain_real, "Invalid KS", [](float v) { return v > 0.0f; });
    }
    if (const std::optional<std::string> include = t.next_token()) {
        int32_t flag = 0;
        if (parse_int(*include, flag) != 0 || flag < 0 || flag > 1)
            r.fail("Include Insulation Thickness can be 0 or 1 (0 = Exclude, 1 = Include)", *include);
        s.include_insulation = static_cast<uint8_t>(flag);
    }
    check_room(r, numsoils(), MAXSOILS, "soils");
    soils().push_back(std::move(s));
}

// ---- PIPE ----------------------------------------------------------------------------------

void read_pipe_line(BatchImport& b)
{
    BatchReader& r = b.reader;
    BatchTokenizer& t = r.line_tokens();
    PipeSection s;
    s.name = read_name_field(r, t.next_token(), SECTION_NAME_LENGTH, "Section");
    s.nominal_size = "Non Std";
    std::optional<std::string> field = t.next_token();
    if (!given(field))
        r.fail("Pipe diameter is required");
    s.outside_diameter = checked(r, *field, parse_dimension, "Invalid pipe diameter",
                                 [](float v) { return !below_bound(OUTSIDE_DIAMETER_BOUND, v); });
    field = t.next_token();
    if (!given(field))
        r.fail("Pipe thickness is required");
    s.thickness = checked(r, *field, parse_dimension, "Invalid pipe thickness",
                          [](float v) { return !below_bound(WALL_THICKNESS_BOUND, v); });
    if (s.outside_diameter / 2.0f < s.thickness)
        r.fail("Thickness is greater than radius");

    // The optional fields are positional: an empty one keeps its 0, and the
    // end of the line ends them.
    field = t.next_token();
    if (given(field)) {
        s.corrosion_allowance = parsed(r, *field, parse_dimension, "Invalid corrosion allowance");
        if (!(s.corrosion_allowance < s.thickness))
            r.fail("Corrosion allowance is >= wall thickness");
    }
    struct Optional {
        Parser parser;
        const char* message;
        float PipeSection::*member;
        std::function<bool(float)> ok;
    };
    const Optional optionals[] = {
        {plain_real, "Invalid mill tolerance", &PipeSection::mill_tolerance,
         [](float v) { return v >= 0.0f && v <= MAX_MILL_TOLERANCE; }},
        {parse_weight_density, "Invalid insulation density", &PipeSection::insulation_density, {}},
        {parse_dimension, "Invalid insulation thickness", &PipeSection::insulation_thickness, {}},
        {parse_weight_density, "Invalid lining density", &PipeSection::lining_density, {}},
        {parse_dimension, "Invalid lining thickness", &PipeSection::lining_thickness, {}},
    };
    for (const Optional& o : optionals) {
        if (!field || !(field = t.next_token()))
            break;
        if (!field->empty())
            s.*o.member = o.ok ? checked(r, *field, o.parser, o.message, o.ok) : parsed(r, *field, o.parser, o.message);
    }
    // The soil, when the field is there (an empty one too), must stand in the model.
    if (field && (field = t.next_token())) {
        const NameFault fault = name_fault(*field, SECTION_SOIL_LENGTH);
        if (fault == NameFault::TOO_LONG)
            r.fail(name_fault_text("Soil", fault, SECTION_SOIL_LENGTH), *field);
        if (soil_index(*field) == 0)
            r.fail("Soil not defined", *field);
        if (fault != NameFault::NONE)
            r.fail(name_fault_text("Soil", fault, SECTION_SOIL_LENGTH), *field);
        s.soil = *field;
    }
    // What a piping model can hold and the section dialog's combined checks
    // of the values, as the model check says them. The pairs of an
    // insulation or a lining are the model check's alone: a density entered
    // as 0 without its thickness is a pair the table mends.
    if (const std::vector<SectionCheck> faults = section_bound_faults(s); !faults.empty())
        r.fail("Section " + s.name + ": " + faults.front().message);
    if (const SectionCheck c = check_section_values(s, false); !c.ok())
        r.fail("Section " + s.name + ": " + c.message);
    check_room(r, numsections(), MAXSECTIONS, "pipe sections");
    pipe_sections().push_back(std::move(s));
}

// ---- LOADS ---------------------------------------------------------------------------------

void read_loads_line(BatchImport& b)
{
    BatchReader& r = b.reader;
    BatchTokenizer& t = r.line_tokens();
    PipeLoad l;
    for (int k = 1; k <= NUM_LOAD_SETS; ++k) {
        l.temperature[static_cast<std::size_t>(k)] = DEFAULT_LOAD_TEMPERATURE;
        l.pressure[static_cast<std::size_t>(k)] = ENTERED_ZERO;
    }
    l.name = read_name_field(r, t.next_token(), NAME_LENGTH, "Load");
    std::optional<std::string> field = t.next_token();
    if (!given(field))
        r.fail("T1 is required");
    l.temperature[1] = checked(r, *field, parse_temperature, "Invalid T1", temperature_in_range);
    field = t.next_token();
    if (!given(field))
        r.fail("P1 is required");
    l.pressure[1] = parsed(r, *field, parse_pressure, "Invalid P1");

    // The optional fields in the order of the line; the first missing one ends it.
    BatchImport::LoadLine given_by_line{numloads() + 1, {r.line_number(), r.line()}, {}, false, false, {}};
    std::array<bool, NUM_LOAD_SETS + 1>& sets_given = given_by_line.sets_given;
    sets_given[1] = true;
    auto temperature = [&](int k) {
        l.temperature[static_cast<std::size_t>(k)] =
            checked(r, *field, parse_temperature, c_format("Invalid T%d", k), temperature_in_range);
        sets_given[static_cast<std::size_t>(k)] = true;
    };
    auto pressure = [&](int k) {
        l.pressure[static_cast<std::size_t>(k)] = parsed(r, *field, parse_pressure, c_format("Invalid P%d", k));
        sets_given[static_cast<std::size_t>(k)] = true;
    };
    std::vector<std::function<void()>> fields = {
        [&] {
            l.specific_gravity =
                checked(r, *field, plain_real, "Invalid Specific Gravity", [](float v) { return v >= 0.0f; });
        },
        [&] { temperature(2); }, [&] { pressure(2); }, [&] { temperature(3); }, [&] { pressure(3); },
        [&] {
            l.added_weight = checked(r, *field, parse_weight_per_length, "Invalid additional weight",
                                     [](float v) { return v >= 0.0f; });
        },
        [&] {
            l.design_temperature =
                checked(r, *field, parse_temperature, "Invalid Design Temperature", temperature_in_range);
            given_by_line.design_temperature_given = true;
        },
        [&] {
            l.design_pressure = parsed(r, *field, parse_pressure, "Invalid Design Pressure");
            given_by_line.design_pressure_given = true;
        },
    };
    for (int k = 4; k <= NUM_LOAD_SETS; ++k) {
        fields.push_back([&, k] { temperature(k); });
        fields.push_back([&, k] { pressure(k); });
    }
    fields.push_back([&] {
        int32_t option = 0;
        if (parse_int(*field, option) != 0 || option < 0 || option > 1)
            r.fail("Invalid Wind option. Can be 0 or 1 (0 = Exclude, 1 = Include)", *field);
        l.wind = static_cast<uint8_t>(option);
        given_by_line.wind = field;
    });
    for (const std::function<void()>& read : fields) {
        if (!(field = t.next_token()))
            break;
        read();
    }

    // The number of thermal sets is settled first, so that the design values
    // cover every set in use and every set the line gives.
    settle_numtloads(b, l);
    settle_design(l, given_by_line);
    check_room(r, numloads(), MAXLOADS, "loads");
    pipe_loads().push_back(std::move(l));
    b.load_lines.push_back(std::move(given_by_line));
}

void settle_loads(const BatchImport& b)
{
    for (const BatchImport::LoadLine& line : b.load_lines)
        if (pipe_loads().valid(line.load))
            settle_design(pipe_loads()[line.load], line);
}

// ---- BMATERIALS, BSECTIONS, BLOADS ---------------------------------------------------------

void read_bmaterial_line(BatchImport& b)
{
    BatchReader& r = b.reader;
    BatchTokenizer& t = r.line_tokens();
    BeamMaterial m;
    m.name = read_name_field(r, t.next_token(), NAME_LENGTH, "Beam Material");
    std::optional<std::string> field;
    if ((field = t.next_token()) && !field->empty())
        m.E = parsed(r, *field, parse_modulus, "Invalid youngs modulus");
    if (field && (field = t.next_token()) && !field->empty())
        m.nu = checked(r, *field, plain_real, "Invalid Poisson's ratio", [](float v) { return v >= 0.0f && v < 0.5f; });
    if (field && (field = t.next_token()) && !field->empty())
        m.density = checked(r, *field, parse_density, "Invalid density", [](float v) { return v >= 0.0f; });
    if (field && (field = t.next_token()) && !field->empty())
        m.alpha = parsed(r, *field, parse_expansion, "Invalid alpha");
    check_room(r, numbmats(), MAX_BEAM_MATERIALS, "beam materials");
    beam_materials().push_back(std::move(m));
}

void read_bsection_line(BatchImport& b)
{
    BatchReader& r = b.reader;
    BatchTokenizer& t = r.line_tokens();
    BeamSection s;
    s.name = read_name_field(r, t.next_token(), NAME_LENGTH, "Beam Section");
    struct Value {
        const char* required;   // null: optional
        Parser parser;
        const char* message;
    };
    const Value values[BS_VALUE_COUNT] = {
        {"Axial area is required", parse_area, "Invalid axial area"},
        {"Major MOI is required", parse_inertia, "Invalid Major MOI"},
        {"Minor MOI is required", parse_inertia, "Invalid Minor MOI"},
        {nullptr, parse_inertia, "Invalid torsional inertia"},
        {nullptr, parse_area, "Invalid major shear"},
        {nullptr, parse_area, "Invalid minor shear"},
        {nullptr, parse_dimension, "Invalid depth"},
        {nullptr, parse_dimension, "Invalid width"},
    };
    for (std::size_t i = 0; i < BS_VALUE_COUNT; ++i) {
        const std::optional<std::string> field = t.next_token();
        if (!given(field)) {
            if (values[i].required)
                r.fail(values[i].required);
            if (!field)
                break;
            continue;
        }
        s.values[i] = parsed(r, *field, values[i].parser, values[i].message);
        const int v = static_cast<int>(i);
        if (const std::string fault = beyond(beam_section_value_bound(v), s.values[i], beam_section_value_name(v));
            !fault.empty())
            r.fail("Beam section " + s.name + ": " + fault);
    }
    check_room(r, beam_sections().size(), MAX_BEAM_SECTIONS, "beam sections");
    beam_sections().push_back(std::move(s));
}

void read_bload_line(BatchImport& b)
{
    BatchReader& r = b.reader;
    BatchTokenizer& t = r.line_tokens();
    BeamLoad l;
    for (int k = 1; k <= NUM_LOAD_SETS; ++k)
        l.temperature[static_cast<std::size_t>(k)] = DEFAULT_LOAD_TEMPERATURE;
    l.name = read_name_field(r, t.next_token(), NAME_LENGTH, "Beam Load");
    std::optional<std::string> field = t.next_token();
    if (!given(field))
        r.fail("T1 is required");
    l.temperature[1] = checked(r, *field, parse_temperature, "Invalid T1", temperature_in_range);
    // T2, T3, the added weight, T4 .. T10, the wind option.
    std::vector<std::function<void()>> fields;
    auto temperature = [&](int k) {
        return [&, k] {
            l.temperature[static_cast<std::size_t>(k)] =
                checked(r, *field, parse_temperature, c_format("Invalid T%d", k), temperature_in_range);
        };
    };
    fields.push_back(temperature(2));
    fields.push_back(temperature(3));
    // The beam load's added weight is a weight per length, as its editors
    // and the analysis take it.
    fields.push_back([&] {
        l.added_weight = checked(r, *field, parse_weight_per_length, "Invalid additional weight",
                                 [](float v) { return v >= 0.0f; });
    });
    for (int k = 4; k <= NUM_LOAD_SETS; ++k)
        fields.push_back(temperature(k));
    fields.push_back([&] {
        int32_t option = 0;
        if (parse_int(*field, option) != 0 || option < 0 || option > 1)
            r.fail("Invalid Wind option. Can be 0 or 1 (0 = Exclude, 1 = Include)", *field);
        l.wind = static_cast<uint8_t>(option);
    });
    for (const std::function<void()>& read : fields) {
        if (!(field = t.next_token()))
            break;
        read();
    }
    check_room(r, numbloads(), MAXLOADS, "beam loads");
    beam_loads().push_back(std::move(l));
}
