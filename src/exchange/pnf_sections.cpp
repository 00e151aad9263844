// The lines of a PipePak neutral file that set the model as a whole and
// define its named sets: TITLE, UNIT, GLOBAL, MATERIAL, ALLOWABLE, LOAD and
// PIPE. Each is handled in the first pass only.
#include "exchange/pnf_reader.h"

#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "loads/pipe_load.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/property_set_checks.h"
#include "model/analysis_options.h"
#include "model/element_data.h"
#include "model/model.h"
#include "model/piping_codes.h"
#include "model/value_bounds.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// The title the model keeps behind "Title = ".
constexpr std::size_t PNF_TITLE_LENGTH = 48;
// The temperature that a pipe load's T1..T3 take where the line gives none.
constexpr float PNF_LOAD_TEMPERATURE = 70.0f;
constexpr int PNF_ALLOWABLE_PAIRS = 8;

// The unit choices of the UNIT line, by quantity (slot 0 unused).
struct UnitSystem {
    std::string_view word;
    PnfUnits units;
    std::array<int32_t, NUM_UNIT_QUANTITIES + 1> choice;
};
constexpr std::array<UnitSystem, 3> UNIT_SYSTEMS = {{
    //                            -  len dim dis ang frc mom wpl wgt den wde tmp exp prs str mod stf rst are ine spd
    {"ENGLISH", PnfUnits::English, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"METRIC", PnfUnits::Metric, {0, 4, 1, 1, 0, 2, 3, 1, 1, 2, 1, 1, 1, 5, 4, 4, 3, 4, 1, 1, 2}},
    {"SI", PnfUnits::Si, {0, 4, 1, 1, 0, 1, 2, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 2, 1, 1, 2}},
}};

// Piping codes by the GLOBAL line's code word, compared whole.
struct CodeWord {
    std::string_view word;
    int32_t code;
};
constexpr std::array<CodeWord, 10> CODE_WORDS = {{
    {"B31.1", CODE_B311},
    {"B31.3", CODE_B313},
    {"B31.4", CODE_B314},
    {"B31.8", CODE_B318},
    {"CLASS2-1997", CODE_ASME_CLASS2_1992},
    {"CLASS2-2001", CODE_ASME_CLASS2_1992},
    {"CLASS3-1977", CODE_B311},
    {"CLASS3-2001", CODE_B311},
    {"BS806", CODE_BS806},
    {"13480", CODE_EN13480},
}};

// The two rows every material of the file starts with: temperature (degF),
// E (psi), expansion (in/in/degF), allowable (psi).
constexpr PropertyRow DEFAULT_ROW_1 = {70.0f, 30.0e6f, 6.0e-6f, 20000.0f, 0.0f, 0.0f, 0.0f, 0.0f};
constexpr PropertyRow DEFAULT_ROW_2 = {1200.0f, 20.0e6f, 8.0e-6f, 1000.0f, 0.0f, 0.0f, 0.0f, 0.0f};

// A column of the default rows at a temperature: linear between them, their
// values beyond them.
float default_column(int column, double t)
{
    const auto c = static_cast<std::size_t>(column);
    const double t1 = DEFAULT_ROW_1[0], t2 = DEFAULT_ROW_2[0];
    const double s = std::clamp((t - t1) / (t2 - t1), 0.0, 1.0);
    return static_cast<float>(DEFAULT_ROW_1[c] + s * (DEFAULT_ROW_2[c] - DEFAULT_ROW_1[c]));
}

bool has_default_table(const PipeMaterial& m)
{
    return m.numtemps() == 2 && m.table[1] == DEFAULT_ROW_1 && m.table[2] == DEFAULT_ROW_2;
}

// A name of a material, load or section: required, at most NAME_LENGTH
// characters, letters, digits, "-" and "/".
std::string read_set_name(PnfImport& p, const std::string& what)
{
    const std::optional<std::string> name = p.next();
    if (!name)
        p.fail(what + " name is required");
    if (const std::string fault = name_fault_text(what, *name, NAME_LENGTH); !fault.empty())
        p.fail(fault, *name);
    return *name;
}

// The first problem the analysis would find in a new record, as the line's error.
void refuse_problems(const PnfImport& p, const std::vector<std::string>& problems)
{
    if (!problems.empty())
        p.fail(problems.front());
}

// ---- Thermal sets ----------------------------------------------------------------------

// 3 when any load's T3 lies above 70 degF, else 2 for a T2 above it, else 1.
void count_thermal_cases()
{
    int32_t n = 1;
    for (const PipeLoad& l : pipe_loads()) {
        if (l.temperature[3] > PNF_LOAD_TEMPERATURE) {
            n = 3;
            break;
        }
        if (l.temperature[2] > PNF_LOAD_TEMPERATURE)
            n = 2;
    }
    numtloads() = n;
}

}  // namespace

// ---- TITLE, UNIT, GLOBAL -------------------------------------------------------------------

void read_pnf_title(PnfImport& p)
{
    std::optional<std::string> word = p.next();
    if (!word)
        return;
    if (numrows() != 0) {
        p.note(PNF_IGNORED_LINES, p.here("TITLE"));
        return;
    }
    std::string title;
    for (; word; word = p.next())
        title += *word + " ";
    title = title.substr(0, PNF_TITLE_LENGTH);
    const int row = p.append_row();
    LayoutRow& r = model().rows[row];
    r.etype = ET_COMMENT;
    r.create_element_object();
    LayoutRow::set_comment_text(row, "Title = " + title);
}

void read_pnf_unit(PnfImport& p)
{
    const std::optional<std::string> word = p.next();
    if (!word)
        p.fail("Unit is required");
    for (const UnitSystem& s : UNIT_SYSTEMS)
        if (s.word == *word) {
            for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q)
                unit_choice()[static_cast<std::size_t>(q)] = s.choice[static_cast<std::size_t>(q)];
            p.units = s.units;
            p.end_of_line();
            return;
        }
    p.fail("Invalid UNIT Type", *word);
}

void read_pnf_global(PnfImport& p)
{
    AnalysisOptions& o = analysis_options();
    o.z_vertical = false;
    std::optional<std::string> word = p.next();
    if (!word)
        return;
    if (*word == "BS") {
        std::string named = "BS";
        std::optional<std::string> next = p.next();
        if (next && *next == "EN") {
            named += " EN";
            next = p.next();
        }
        if (next && *next == "13480")
            piping_code() = CODE_EN13480;
        else
            p.note(PNF_CODE_NOTE, named + (next ? " " + *next : std::string()) + " not known, the code kept");
    } else {
        const auto* found = std::find_if(CODE_WORDS.begin(), CODE_WORDS.end(),
                                         [&](const CodeWord& c) { return c.word == *word; });
        if (found != CODE_WORDS.end()) {
            piping_code() = found->code;
        } else {
            piping_code() = CODE_B311;
            p.note(PNF_CODE_NOTE, *word + " not known, B31.1 taken");
        }
    }
    if (!(word = p.next()))
        return;
    const float ambient = p.parsed(*word, parse_temperature, "Invalid temperature", NeutralQuantity::Temperature);
    // The ambient temperature is the one the pipe is installed at: the
    // reference of every thermal strain, and what a pipe load takes where it
    // gives no temperature.
    o.default_temperature = ambient;
    o.reference_temperature = ambient;
    if (!(word = p.next()))
        return;
    p.plain(*word, "Invalid F factor", NeutralQuantity::Factor);
    if (!(word = p.next()))
        return;
    // The peak pressure factor is at least 1.
    const double e_factor = p.plain(*word, "Invalid E factor", NeutralQuantity::Factor);
    if (e_factor < 1.0)
        p.fail("Invalid E factor", *word);
    o.peak_pressure_factor = static_cast<float>(e_factor);
    if (!(word = p.next()))
        return;
    int32_t count = 0;
    if (parse_int(*word, count) != 0 || count < 0)
        p.fail("Invalid No. of dynamic loads", *word);
    if (!(word = p.next()))
        return;
    int32_t cutoff = 0;
    if (parse_int(*word, cutoff) != 0 || cutoff < 0)
        p.fail("Invalid cut-off frequency", *word);
    o.cutoff_frequency = cutoff;
    p.end_of_line();
}

// ---- MATERIAL, ALLOWABLE ---------------------------------------------------------------------

void read_pnf_material(PnfImport& p)
{
    PipeMaterial m;
    m.name = read_set_name(p, "Material");
    m.nu = 0.3f;
    m.joint_factor = 1.0f;
    m.circ_joint_factor = 1.0f;
    m.table.push_back(DEFAULT_ROW_1);
    m.table.push_back(DEFAULT_ROW_2);
    std::optional<std::string> word = p.next();
    if (word && *word != "*")
        m.description = word->substr(0, MATERIAL_DESCRIPTION_LENGTH);
    if (word && (word = p.next()))
        m.density = p.parsed(*word, parse_density, "Invalid density", NeutralQuantity::Density);
    if (word && (word = p.next())) {
        double nu = 0.0;
        if (parse_real(*word, nu) != 0 || !(nu > -1.0 && nu < 0.5))
            p.fail("Invalid Poisson's ratio", *word);
        m.nu = static_cast<float>(nu);
    }
    if (word)
        p.end_of_line();
    // The first definition of a name holds, as for pipe sections.
    if (material_index(m.name) != 0) {
        p.note(PNF_IGNORED_LINES, p.here("MATERIAL " + m.name + " again"));
        return;
    }
    if (nummats() >= MAXMATS)
        p.fail("Maximum number of materials exceeded");
    refuse_problems(p, pipe_material_problems(m));
    pipe_materials().push_back(std::move(m));
}

void read_pnf_allowable(PnfImport& p)
{
    const std::optional<std::string> name = p.next();
    const int index = name ? material_index(*name) : 0;
    if (index == 0) {
        p.note(PNF_IGNORED_LINES, p.here(name ? "ALLOWABLE of " + *name : "ALLOWABLE"));
        return;
    }
    PipeMaterial& m = pipe_materials()[index];
    std::vector<PropertyRow> rows;
    for (int pair = 0; pair < PNF_ALLOWABLE_PAIRS; ++pair) {
        const std::optional<std::string> t = p.next();
        if (!t)
            break;
        const std::optional<std::string> s = p.next();
        if (!s)
            p.fail("Allowable stress is required", *t);
        float temperature = 0.0f, allowable = 0.0f;
        if (*t != "*")
            temperature = p.parsed(*t, parse_temperature, "Invalid temperature", NeutralQuantity::Temperature);
        if (*s != "*") {
            if (p.units == PnfUnits::Si) {
                // The file's allowables are in kPa, the program's SI stresses in MPa.
                const double kpa = p.plain(*s, "Invalid allowable stress", NeutralQuantity::Pressure);
                allowable = static_cast<float>(unit_to_internal(STRESS, current_unit(STRESS), kpa * 0.001));
                if (!neutral_value_in_range(NeutralQuantity::Pressure, allowable) || allowable < 0.0f)
                    p.fail("Invalid allowable stress", *s);
            } else {
                allowable = p.parsed(*s, parse_stress, "Invalid allowable stress", NeutralQuantity::Pressure);
            }
        }
        // A pair that leaves a value out gives no row of the table.
        if (*t == "*" || *s == "*") {
            p.note(PNF_IGNORED_LINES, p.here("ALLOWABLE " + *t + " " + *s));
            continue;
        }
        rows.push_back({temperature, default_column(PROP_MODULUS, temperature),
                        default_column(PROP_ALPHA, temperature), allowable, 0.0f, 0.0f, 0.0f, 0.0f});
    }
    p.end_of_line();
    if (rows.empty())
        return;
    // The file's allowables replace the default rows; E and the expansion
    // coefficient are the default rows' at each temperature.
    if (has_default_table(m))
        m.table = PropertyTable();
    for (const PropertyRow& row : rows) {
        if (m.numtemps() > 0 && !(m.table[m.numtemps()][PROP_TEMPERATURE] < row[PROP_TEMPERATURE]))
            p.fail("Temperatures are not in ascending order");
        if (m.numtemps() >= MAXTEMPS)
            p.fail(c_format("Maximum %d temperature dependent properties are allowed", MAXTEMPS));
        m.table.push_back(row);
    }
}

void note_pnf_materials(PnfImport& p)
{
    for (const PipeMaterial& m : pipe_materials())
        p.note(PNF_DEFAULT_TABLES, has_default_table(m) ? m.name : m.name + " (E and expansion only)");
}

// ---- LOAD -----------------------------------------------------------------------------------------

void read_pnf_load(PnfImport& p)
{
    PipeLoad l = make_pipe_load();
    l.name = read_set_name(p, "Load");
    for (std::size_t k = 1; k <= 3; ++k) {
        l.temperature[k] = PNF_LOAD_TEMPERATURE;
        l.pressure[k] = 0.0f;
    }
    l.specific_gravity = 0.0f;
    l.added_weight = 0.0f;
    l.wind = 1;
    // T1 and P1 are required; T2, P2, T3, P3 follow as far as the line goes.
    for (std::size_t k = 1; k <= 3; ++k) {
        const std::string t_name = c_format("T%zu", k), p_name = c_format("P%zu", k);
        std::optional<std::string> word = p.next();
        if (!word) {
            if (k == 1)
                p.fail("T1 is required");
            break;
        }
        if (*word != "*")
            l.temperature[k] = p.parsed(*word, parse_temperature, "Invalid " + t_name, NeutralQuantity::Temperature);
        if (!(word = p.next())) {
            if (k == 1)
                p.fail("P1 is required");
            break;
        }
        if (*word != "*")
            l.pressure[k] = p.parsed(*word, parse_pressure, "Invalid " + p_name, NeutralQuantity::Pressure);
    }
    p.end_of_line();
    // A second load of a name would never be found by it.
    if (load_index(l.name) != 0) {
        p.note(PNF_IGNORED_LINES, p.here("LOAD " + l.name + " again"));
        return;
    }
    if (numloads() >= MAXLOADS)
        p.fail("Maximum number of loads exceeded");
    pipe_loads().push_back(std::move(l));
    count_thermal_cases();
}

// ---- PIPE ------------------------------------------------------------------------------------------

void read_pnf_pipe_section(PnfImport& p)
{
    PipeSection s;
    s.name = read_set_name(p, "Section");
    s.nominal_size = "Non Std";
    if (!p.next())
        p.fail("Pipe nominal size is required");
    if (!p.next())
        p.fail("Pipe schedule size is required");
    std::optional<std::string> word = p.next();
    if (!word)
        p.fail("Pipe diameter is required");
    s.outside_diameter = p.dimension(*word, "Invalid pipe diameter");
    if (below_bound(OUTSIDE_DIAMETER_BOUND, s.outside_diameter))
        p.fail("Invalid pipe diameter", *word);
    if (!(word = p.next()))
        p.fail("Pipe thickness is required");
    s.thickness = p.dimension(*word, "Invalid pipe thickness");
    if (below_bound(WALL_THICKNESS_BOUND, s.thickness))
        p.fail("Invalid pipe thickness", *word);
    if (s.thickness > s.outside_diameter / 2.0f)
        p.fail("Thickness is greater than radius");
    if ((word = p.next()) && *word != "*") {
        s.corrosion_allowance = p.dimension(*word, "Invalid corrosion allowance");
        if (!(s.corrosion_allowance < s.thickness))
            p.fail("Corrosion allowance is >= wall thickness");
    }
    if (word && (word = p.next())) {
        if (*word == "*") {
            s.insulation_thickness = s.insulation_density = 0.0f;
        } else {
            s.insulation_thickness = p.dimension(*word, "Invalid insulation thickness");
            if ((word = p.next()) && *word != "*")
                s.insulation_density =
                    p.parsed(*word, parse_weight_density, "Invalid insulation density", NeutralQuantity::Density);
        }
    }
    if (word)
        p.end_of_line();
    if (section_index(s.name) != 0) {
        p.note(PNF_IGNORED_LINES, p.here("PIPE " + s.name + " again"));
        return;
    }
    if (numsections() >= MAXSECTIONS)
        p.fail("Maximum number of pipe sections exceeded");
    refuse_problems(p, pipe_section_problems(s));
    pipe_sections().push_back(std::move(s));
}
