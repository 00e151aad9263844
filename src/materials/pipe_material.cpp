#include "materials/pipe_material.h"

#include "framework/binfile.h"
#include "framework/document.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "model/element_data.h"
#include "model/model.h"
#include "model/model_file.h"

#include <cmath>

namespace {

const char* const TYPE_CODES[MATERIAL_TYPE_COUNT] = {"",   "AL", "AS", "CA", "CC", "CS",
                                                     "FR", "FS", "NA", "SS", "TI", "CI"};
const char* const TYPE_NAMES[MATERIAL_TYPE_COUNT] = {
    "",
    "AL : Aluminum",
    "AS : Austenitic stainless steel",
    "CA : Copper alloys: annealed",
    "CC : Copper alloys: cold worked",
    "CS : Carbon steel",
    "FR : Fiber Reinf. Plastic (FRP)",
    "FS : Ferritic steel",
    "NA : Nickel alloys",
    "SS : Stainless steel",
    "TI : Titanium",
    "CI : Cast Iron",
};

}  // namespace

// ---- Record --------------------------------------------------------------------------

const char* property_column_name(int column)
{
    static const char* const NAMES[PROPERTY_COLUMNS] = {"Temperature",     "Modulus",      "Expansion",
                                                        "Allowable stress", "Yield stress", "Rupture stress",
                                                        "Hoop modulus",    "Shear modulus"};
    return column >= 0 && column < PROPERTY_COLUMNS ? NAMES[column] : "";
}

void PipeMaterial::set_type(const std::string& code)
{
    type = code.substr(0, 2);
    frp = is_frp_code(type) ? 1 : 0;
}

void PipeMaterial::read(BinFile& f, std::size_t name_width)
{
    name = read_row_name(f, name_width);
    type = f.read_name(MATERIAL_TYPE_WIDTH);
    frp = f.read_byte();
    description = f.read_name(MATERIAL_DESCRIPTION_WIDTH).substr(0, MATERIAL_DESCRIPTION_LENGTH);
    nu = read_finite_float(f, "Nu");
    density = read_finite_float(f, "Density");
    joint_factor = read_finite_float(f, "Joint factor");
    circ_joint_factor = read_finite_float(f, "Circumferential joint factor");
    strength = read_finite_float(f, "Strength");
    const int32_t count = f.read_int();
    if (f.error())
        return;
    if (count < 0 || count > MAX_FILE_TEMPS || !f.fits(count, PROPERTY_ROW_BYTES))
        throw_message(c_format("Count of temperatures %d is out of range", count));
    // The flag follows the code: a file cannot make a steel code FRP.
    frp = is_frp_code(type) ? 1 : 0;
    table = PropertyTable(count);
    for (int i = 1; i <= count; ++i) {
        f.read_floats(table[i].data(), PROPERTY_COLUMNS);
        for (int c = 0; c < PROPERTY_COLUMNS; ++c)
            require_finite(table[i][static_cast<std::size_t>(c)],
                           c_format("%s of property row %d", property_column_name(c), i));
    }
}

void PipeMaterial::write(BinFile& f) const
{
    write_row_name(f, name);
    f.write_name(type, MATERIAL_TYPE_WIDTH);
    f.write_byte(frp);
    f.write_name(description, MATERIAL_DESCRIPTION_WIDTH);
    f.write_float(nu);
    f.write_float(density);
    f.write_float(joint_factor);
    f.write_float(circ_joint_factor);
    f.write_float(strength);
    f.write_int(numtemps());
    for (const PropertyRow& r : table)
        f.write_floats(r.data(), PROPERTY_COLUMNS);
}

// ---- Array and look-up ---------------------------------------------------------------

NamedSet<PipeMaterial>& pipe_materials() { return named_set<PipeMaterial>(); }

void clear_pipe_materials() { pipe_materials().clear(); }

int pipe_material_index(const std::string& name)
{
    return pipe_materials().index(name);
}

// ---- Types ------------------------------------------------------------------------------

const char* material_type_code(int index)
{
    return index >= 0 && index < MATERIAL_TYPE_COUNT ? TYPE_CODES[index] : "";
}

const char* material_type_name(int index)
{
    return index >= 0 && index < MATERIAL_TYPE_COUNT ? TYPE_NAMES[index] : "";
}

int material_type_index(const std::string& code)
{
    if (code.empty())
        return 0;
    for (int i = 1; i < MATERIAL_TYPE_COUNT; ++i)
        if (code == TYPE_CODES[i])
            return i;
    return -1;
}

bool is_material_type_code(const std::string& code) { return material_type_index(code) >= 0; }

bool material_is_ferrous(const PipeMaterial& m)
{
    for (const char* code : {"CS", "FS", "AS", "SS", "CI"})
        if (m.type == code)
            return true;
    return false;
}

bool is_frp_code(const std::string& code) { return upper_case(code) == "FR"; }

// ---- Interpolation ------------------------------------------------------------------------

double material_property_at(const PipeMaterial& m, int column, double temperature)
{
    const int numtemps = m.numtemps();
    KV_ASSERT(numtemps > 0);
    KV_ASSERT(column >= 0 && column < PROPERTY_COLUMNS);
    const auto c = static_cast<std::size_t>(column);
    const PropertyTable& t = m.table;
    if (numtemps == 1 || temperature <= t[1][0])
        return t[1][c];
    if (temperature > t[numtemps][0])
        return t[numtemps][c];
    int i = 2;
    while (i <= numtemps && temperature > t[i][0])
        ++i;
    KV_ASSERT(i <= numtemps);
    const double t0 = t[i - 1][0], t1 = t[i][0];
    const double v0 = t[i - 1][c], v1 = t[i][c];
    // t1 > t0 here: temperature > t[i-1] and <= t[i].
    return (temperature - t0) / (t1 - t0) * (v1 - v0) + v0;
}

double material_modulus_at(const PipeMaterial& m, double temperature)
{
    return material_property_at(m, PROP_MODULUS, temperature);
}

double material_column2_at(const PipeMaterial& m, double temperature)
{
    return material_property_at(m, PROP_ALPHA, temperature);
}

double material_hoop_modulus_at(const PipeMaterial& m, double temperature)
{
    return material_property_at(m, PROP_HOOP_MODULUS, temperature);
}

double material_shear_modulus_at(const PipeMaterial& m, double temperature)
{
    return material_property_at(m, PROP_SHEAR_MODULUS, temperature);
}

double effective_poisson_ratio(const PipeMaterial& m, double temperature)
{
    if (!m.frp)
        return m.nu;
    const double hoop = material_hoop_modulus_at(m, temperature);
    if (hoop == 0.0)
        return 0.0;
    return m.nu * material_modulus_at(m, temperature) / hoop;
}

double effective_shear_modulus(const PipeMaterial& m, double temperature)
{
    if (m.frp)
        return material_shear_modulus_at(m, temperature);
    if (m.nu <= -1.0f)
        return 0.0;
    return material_modulus_at(m, temperature) * 0.5 / (m.nu + 1.0);
}

std::string material_unusable_reason(const PipeMaterial& m)
{
    // "Material CS1", or "Material" alone for a record without a name.
    const std::string who = m.name.empty() ? "Material" : "Material " + m.name;
    if (m.numtemps() == 0)
        return who + " has no temperature properties";
    if (m.nu <= -1.0f)
        return who + ": Nu should be > -1";
    // The look-ups need the rows in strictly ascending temperature; the
    // editors keep them so, a file may not.
    for (int i = 2; i <= m.numtemps(); ++i)
        if (!(m.table[i][PROP_TEMPERATURE] > m.table[i - 1][PROP_TEMPERATURE]))
            return who + ": temperatures are not in ascending order";
    for (const PropertyRow& r : m.table) {
        if (r[PROP_MODULUS] <= 0.0f)
            return who + ": Modulus is required";
        if (m.frp && (r[PROP_HOOP_MODULUS] <= 0.0f || r[PROP_SHEAR_MODULUS] <= 0.0f))
            return who + ": Hoop and shear moduli are required";
    }
    return {};
}

// ---- The set ------------------------------------------------------------------------------

const NamedSetRules<PipeMaterial>& pipe_material_rules()
{
    static const NamedSetRules<PipeMaterial> rules = [] {
        NamedSetRules<PipeMaterial> r;
        r.key = PIPE_MATERIALS;
        r.name_space = MATERIAL_NAMES;
        r.noun = "Material";
        r.described_as = "a pipe material";
        r.name_limit = NAME_LENGTH;
        r.section = SECTION_PIPE_MATERIALS;
        r.limit = MAXMATS;
        r.limit_message = [] { return std::string("Maximum number of materials exceeded"); };
        r.smallest_record = [](int32_t) {
            return MATERIAL_RECORD_FIXED_BYTES - NAME_FIELD_WIDTH + model_file_name_width();
        };
        r.count_message = [](int32_t count) { return c_format("Count %d is out of range", count); };
        r.read_record = [](PipeMaterial& m, BinFile& f) { m.read(f, model_file_name_width()); };
        r.write_record = [](const PipeMaterial& m, BinFile& f) { m.write(f); };
        r.check_merged = [](const OneBased<PipeMaterial>& merged) {
            for (const PipeMaterial& m : merged)
                if (m.numtemps() == 0)
                    throw_message(c_format("Material %s has no temperature properties", m.name.c_str()));
        };
        r.library_mode = [] { return material_library_mode(); };
        return r;
    }();
    return rules;
}

void install_pipe_materials()
{
    install_named_set(pipe_material_rules());
    register_row_reference(PIPE_MATERIALS, "layout rows' Material", [](LayoutRow& r, const NameVisitor& visit) {
        if (r.etype != ET_BEAM)
            visit(r.material);
    });
    // A bend's or a jacket's own material: a name of the materials' name space.
    register_row_reference(
        PIPE_MATERIALS, "bends' and jackets' own materials",
        [](LayoutRow& r, const NameVisitor& visit) {
            if (!r.element)
                return;
            if (BendGeometry* b = r.element->bend_geometry())
                visit(b->material);
            if (JacketGeometry* j = r.element->jacket_geometry())
                visit(j->material);
        },
        true);
    model_hooks().material_index = pipe_material_index;
}
