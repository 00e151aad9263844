// The title lines, the VERSION check and the option sections: OPTIONS
// (piping code, units, vertical axis, hanger catalogue) and the value lines
// OPCODE, OPTEMP, OPPRES and OPMISC.
#include "exchange/batch_import.h"
#include "exchange/batch_sections.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "loads/pipe_load.h"
#include "model/analysis_options.h"
#include "model/element_data.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/piping_codes.h"

#include <functional>
#include <vector>

namespace {

// The longest title a file gives; the title row holds "Title = " before it.
constexpr std::size_t TITLE_LENGTH = 48;
constexpr double HIGHEST_VERSION = 10.20;

struct CatalogueKeyword {
    const char* keyword;
    int catalogue;
};
// HGRA .. HGRK and the spring-hanger catalogues they choose.
constexpr CatalogueKeyword CATALOGUE_KEYWORDS[] = {
    {"HGRA", 16}, {"HGRB", 3},  {"HGRC", 12}, {"HGRD", 2},  {"HGRE", 28}, {"HGRF", 24},
    {"HGRG", 8},  {"HGRH", 25}, {"HGRI", 27}, {"HGRJ", 9},  {"HGRK", 11},
};

// One value of an option line: how it is read, checked and stored.
struct OptionValue {
    const char* required = nullptr;    // the message when it is missing; null: optional
    enum Kind { INTEGER, REAL, TEMPERATURE } kind = INTEGER;
    std::function<bool(double)> ok;    // the range
    const char* message = "";          // a value that does not read, or lies outside
    std::function<void(double)> store;
};

// The values in order: a missing or empty optional value ends the line and
// leaves it and all behind it as they were.
void read_option_values(BatchImport& b, const std::vector<OptionValue>& values)
{
    BatchTokenizer& t = b.reader.line_tokens();
    for (const OptionValue& v : values) {
        const std::optional<std::string> token = t.next_token();
        if (!given(token)) {
            if (v.required)
                b.reader.fail(v.required);
            return;
        }
        double value = 0.0;
        bool read = false;
        if (v.kind == OptionValue::INTEGER) {
            int32_t n = 0;
            read = parse_int(*token, n) == 0;
            value = n;
        } else {
            float f = 0.0f;
            read = (v.kind == OptionValue::REAL ? parse_real(*token, f) : parse_temperature(*token, f)) == 0;
            value = f;
        }
        if (!read || (v.ok && !v.ok(value)))
            b.reader.fail(v.message, *token);
        v.store(value);
    }
}

std::function<bool(double)> between(double low, double high)
{
    return [low, high](double v) { return v >= low && v <= high; };
}

std::function<void(double)> flag(bool& member)
{
    return [&member](double v) { member = v != 0.0; };
}

std::function<void(double)> whole(int32_t& member)
{
    return [&member](double v) { member = static_cast<int32_t>(v); };
}

}  // namespace

void set_batch_si_units()
{
    UnitChoices& u = unit_choice();
    u[LENGTH] = 4;
    u[DIMENSION] = 1;
    u[DISPLACEMENT] = 1;
    u[FORCE] = 1;
    u[MOMENT] = 2;
    u[WEIGHT_PER_LENGTH] = 1;
    u[WEIGHT] = 1;
    u[DENSITY] = 2;
    u[WEIGHT_DENSITY] = 1;
    u[TEMPERATURE] = 1;
    u[EXPANSION] = 1;
    u[PRESSURE] = 1;
    u[STRESS] = 1;
    u[MODULUS] = 1;
    u[STIFFNESS] = 1;
    u[ROT_STIFFNESS] = 2;
    u[AREA] = 1;
    u[INERTIA] = 1;
    u[SPEED] = 2;
}

void read_title_line(BatchImport& b)
{
    if (!model_title().empty() || numrows() != 0)
        return;
    std::string title = b.reader.line().substr(0, TITLE_LENGTH);
    std::string blank_test = title;
    trim_blanks(blank_test);
    if (blank_test.empty())
        return;
    const int row = append_layout_row();
    b.keep_row_line(row, {b.reader.line_number(), b.reader.line()});
    LayoutRow& r = model().rows[row];
    r.etype = ET_COMMENT;
    r.create_element_object();
    LayoutRow::set_comment_text(row, "Title = " + title);
}

void read_version_line(BatchImport& b)
{
    BatchTokenizer& t = b.reader.line_tokens();
    const std::optional<std::string> token = t.next_token();
    if (!given(token))
        b.reader.fail("Version number is required");
    float version = 0.0f;
    if (parse_real(*token, version) != 0 || version < 0.0f || version > HIGHEST_VERSION + 1e-6)
        b.reader.fail(c_format("MBF version number cannot be > %.2f", HIGHEST_VERSION), *token);
    read_options_line(b);
}

void read_options_line(BatchImport& b)
{
    BatchTokenizer& t = b.reader.line_tokens();
    while (const std::optional<std::string> token = t.next_token()) {
        const std::string& word = *token;
        bool catalogue = false;
        for (const CatalogueKeyword& k : CATALOGUE_KEYWORDS)
            if (word == k.keyword) {
                b.hanger_catalog = k.catalogue;
                catalogue = true;
            }
        if (catalogue)
            continue;
        if (word == "RAD")
            unit_choice()[ANGLE] = 1;
        else if (word == "Z")
            analysis_options().z_vertical = true;
        else if (word == "SI")
            set_batch_si_units();
        else if (word == "IN")
            unit_choice()[LENGTH] = 2;
        else if (word == "SE" || word == "F" || word == "FE")
            b.reader.fail(word + " option is presently not available");
        else if (word == "NAVY")
            b.reader.fail("NAVY code is presently not available");
        else if (const int32_t id = piping_code_from_keyword(word); id >= 0)
            piping_code() = id;
    }
}

void read_opcode_line(BatchImport& b)
{
    AnalysisOptions& o = analysis_options();
    const auto zero_one = between(0, 1);
    read_option_values(
        b, {{"Include axial force option is required", OptionValue::INTEGER, zero_one,
             "Include axial force should be 0 or 1 (0 = OFF, 1 = ON)", flag(o.include_axial_force)},
            {"Liberal allowable option is required", OptionValue::INTEGER, zero_one,
             "Liberal allowable should be 0 or 1 (0 = OFF, 1 = ON)", flag(o.liberal_allowable)},
            {nullptr, OptionValue::INTEGER, zero_one, "B31J should be 0 or 1 (0 = OFF or 1 = ON).",
             [&o](double v) { o.use_b31j = v == 1.0 && code_allows_b31j(); }},
            {nullptr, OptionValue::INTEGER, between(0, 2), "Invalid service level", whole(o.service_level)},
            {nullptr, OptionValue::INTEGER, between(0, B318_DESIGN_FACTOR_COUNT - 1),
             "B31.8 design factor index should be < 4", whole(o.b318_design_factor_index)},
            {nullptr, OptionValue::INTEGER, zero_one, "Z183 location factor index should be 0 or 1",
             whole(o.z183_location_factor_index)},
            {nullptr, OptionValue::INTEGER, between(1, 4), "Z184 class location should be between 1 and 4",
             whole(o.z184_class_location)},
            {nullptr, OptionValue::INTEGER, zero_one, "Z184 sour service should be 0 or 1 (0 = nonsour, 1 = sour)",
             flag(o.z184_sour_service)},
            {nullptr, OptionValue::REAL, [](double k) { return piping_code() != CODE_EN13480 || k >= 1.0; },
             "EN seismic K should be at least 1.00", [&o](double k) { o.seismic_coefficient = static_cast<float>(k); }}});
}

void read_optemp_line(BatchImport& b)
{
    AnalysisOptions& o = analysis_options();
    const auto zero_one = between(0, 1);
    read_option_values(
        b, {{"Reference Temperature is required", OptionValue::TEMPERATURE,
             [](double t) { return t >= LOWEST_LOAD_TEMPERATURE; }, "Invalid Reference Temperature",
             [&o](double t) { o.reference_temperature = static_cast<float>(t); }},
            {nullptr, OptionValue::INTEGER, [](double n) { return n > 0; }, "Invalid thermal cycles",
             whole(o.thermal_cycles)},
            {nullptr, OptionValue::INTEGER, [](double n) { return numtloads_valid(static_cast<int32_t>(n)); },
             "Number of thermal loads can be 1, 2, 3 or 10",
             [&o, &b](double v) {
                 o.numtloads = static_cast<int32_t>(v);
                 // Given ahead of the loads it holds; the loads do not raise it.
                 b.numtloads_given = numloads() == 0;
             }},
            {nullptr, OptionValue::INTEGER, zero_one, "Solve Thermal Case should be 0 or 1 (0 = OFF, 1 = ON)",
             flag(o.solve_thermal_case)},
            // Tested under every code, taken where the code has the option.
            {nullptr, OptionValue::INTEGER, zero_one, "Cold modulus should be 0 or 1 (0 = OFF, 1 = ON)",
             [&o](double v) {
                 if (code_has_cold_modulus_option())
                     o.use_cold_modulus = v != 0.0;
             }}});
}

void apply_oppres_defaults()
{
    AnalysisOptions& o = analysis_options();
    o.pressure_stress_option = false;
    o.bourdon_effect = true;
    o.pressure_correction = true;
    o.peak_pressure_factor = 1.0f;
}

void read_oppres_line(BatchImport& b)
{
    AnalysisOptions& o = analysis_options();
    const auto zero_one = between(0, 1);
    read_option_values(
        b, {{nullptr, OptionValue::INTEGER, zero_one, "Pressure stress option should be 0 or 1",
             flag(o.pressure_stress_option)},
            {nullptr, OptionValue::INTEGER, zero_one, "Bourdon should be 0 or 1 (0 = OFF, 1 = ON)",
             flag(o.bourdon_effect)},
            {nullptr, OptionValue::INTEGER, zero_one, "Pressure correction should be 0 or 1 (0 = OFF, 1 = ON)",
             flag(o.pressure_correction)},
            {nullptr, OptionValue::REAL, [](double f) { return f >= 1.0; }, "Peak pressure factor should be >= 1.00",
             [&o](double f) { o.peak_pressure_factor = static_cast<float>(f); }}});
}

void apply_opmisc_defaults()
{
    AnalysisOptions& o = analysis_options();
    o.cutoff_frequency = 33;
    o.number_of_modes = 20;
    o.include_missing_mass = true;
    o.friction_in_dynamics = true;
    o.include_hanger_stiffness = true;
}

void read_opmisc_line(BatchImport& b)
{
    AnalysisOptions& o = analysis_options();
    const auto zero_one = between(0, 1);
    const auto not_negative = [](double n) { return n >= 0; };
    read_option_values(
        b, {{nullptr, OptionValue::INTEGER, not_negative, "Invalid cutoff frequency", whole(o.cutoff_frequency)},
            {nullptr, OptionValue::INTEGER, not_negative, "Invalid number of modes", whole(o.number_of_modes)},
            {nullptr, OptionValue::INTEGER, zero_one, "Missing mass should be 0 or 1 (0 = OFF, 1 = ON)",
             flag(o.include_missing_mass)},
            {nullptr, OptionValue::INTEGER, zero_one, "Friction in dynamics should be 0 or 1 (0 = OFF, 1 = ON)",
             flag(o.friction_in_dynamics)},
            {nullptr, OptionValue::INTEGER, zero_one,
             "Include Hanger stiffness should be 0 or 1 (0 = OFF, 1 = ON)", flag(o.include_hanger_stiffness)}});
}
