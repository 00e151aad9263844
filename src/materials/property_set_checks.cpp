#include "materials/property_set_checks.h"

#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "materials/beam_material.h"
#include "materials/beam_section.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/pipe_section_checks.h"
#include "materials/soil.h"
#include "model/element_data.h"
#include "model/model.h"
#include "model/value_bounds.h"

#include <set>

namespace {

// Collects the problems of one record under its name: "Material CS1: ...".
class Problems {
public:
    Problems(const char* noun, const std::string& name) : who_(name.empty() ? noun : std::string(noun) + " " + name) {}
    void add(const std::string& text) { list_.push_back(who_ + ": " + text); }
    void add_whole(const std::string& text) { list_.push_back(text); }
    bool empty() const { return list_.empty(); }
    std::vector<std::string> take() { return std::move(list_); }

private:
    std::string who_;
    std::vector<std::string> list_;
};

void check_not_negative(Problems& p, double value, const std::string& field)
{
    if (value < 0.0)
        p.add(field + " should be >= 0");
}

void check_above_zero(Problems& p, double value, const std::string& field)
{
    if (!(value > 0.0))
        p.add(field + " should be > 0");
}

// The names of one set: each record named, with a name its editor takes,
// once in the set; `other` is the set of the same name space whose names
// must differ (checked from one side only, so that a clash is told once).
template <typename T, typename Other = T>
void check_names(const char* key, const char* noun, std::vector<std::string>& out,
                 const NamedSet<Other>* other = nullptr, const char* clash = nullptr)
{
    const NamedSet<T>& set = named_set<T>();
    const std::size_t limit = named_set_info(key).name_limit;
    std::set<std::string> repeated;
    for (int i = 1; i <= set.size(); ++i) {
        const std::string& name = set[i].name;
        if (name.empty()) {
            out.push_back(c_format("%s %d has no name", noun, i));
            continue;
        }
        switch (name_fault(name, limit)) {
        case NameFault::NONE: break;
        case NameFault::NOT_ALPHANUMERIC:
            out.push_back(std::string(noun) + " " + name + ": Name should be alpha numeric");
            break;
        default: out.push_back(std::string(noun) + " " + name + ": Name is too long"); break;
        }
        if (set.index(name) != i && repeated.insert(name).second)
            out.push_back(std::string(noun) + " " + name + " is defined more than once");
        if (other && set.index(name) == i && other->index(name) != 0)
            out.push_back(std::string(noun) + " " + name + " is defined as " + clash);
    }
}

template <typename T>
void check_records(std::vector<std::string> (*problems)(const T&), std::vector<std::string>& out)
{
    for (const T& record : named_set<T>())
        for (std::string& text : problems(record))
            out.push_back(std::move(text));
}

// A name a row gives that its set does not define.
void check_defined(std::vector<std::string>& out, int row, const char* what, const std::string& name, int index)
{
    if (!name.empty() && index == 0)
        out.push_back(c_format("Row %d: %s %s is not defined", row, what, name.c_str()));
}

}  // namespace

std::vector<std::string> pipe_material_problems(const PipeMaterial& m)
{
    Problems p("Material", m.name);
    // What makes the material unusable for the property look-ups first, in
    // the texts the analysis gives for it.
    if (std::string why = material_unusable_reason(m); !why.empty())
        p.add_whole(why);
    if (m.numtemps() > MAXTEMPS)
        p.add(c_format("%d temperatures, more than the %d allowed", m.numtemps(), MAXTEMPS));
    if (m.nu >= 0.5f && !m.frp)
        p.add("Nu should be < 0.5");
    check_not_negative(p, m.density, "Density");
    if (!(m.joint_factor > 0.0f && m.joint_factor <= 1.0f))
        p.add("Joint factor should be > 0 and <= 1");
    if (m.circ_joint_factor != 0.0f && !(m.circ_joint_factor > 0.0f && m.circ_joint_factor <= 1.0f))
        p.add("Circumferential joint factor should be > 0 and <= 1");
    check_not_negative(p, m.strength, "Strength");
    for (int i = 1; i <= m.numtemps(); ++i) {
        const PropertyRow& r = m.table[i];
        if (r[PROP_TEMPERATURE] == 0.0f)
            p.add(c_format("Temperature is required in property row %d", i));
        for (int c : {PROP_STRESS1, PROP_STRESS2, PROP_STRESS3})
            check_not_negative(p, r[static_cast<std::size_t>(c)],
                               c_format("%s of property row %d", property_column_name(c), i));
    }
    return p.take();
}

std::vector<std::string> pipe_section_problems(const PipeSection& s)
{
    Problems p("Section", s.name);
    // Each value within its bound (model/value_bounds.h), then the dialog's
    // combined checks once every value is in its own range.
    for (const SectionCheck& fault : section_bound_faults(s))
        p.add(fault.message);
    if (p.empty())
        if (const SectionCheck check = check_section_values(s); !check.ok())
            p.add(check.message);
    if (!s.soil.empty() && soil_index(s.soil) == 0)
        p.add("Soil " + s.soil + " is not defined");
    return p.take();
}

std::vector<std::string> beam_material_problems(const BeamMaterial& m)
{
    Problems p("Beam material", m.name);
    check_above_zero(p, m.E, "Modulus");
    if (const std::string fault = beam_nu_fault(m.nu); !fault.empty())
        p.add(fault);
    check_not_negative(p, m.density, "Density");
    return p.take();
}

std::vector<std::string> beam_section_problems(const BeamSection& s)
{
    Problems p("Beam section", s.name);
    for (int v = 0; v < BS_VALUE_COUNT; ++v) {
        const float value = s.values[static_cast<std::size_t>(v)];
        if (v <= BS_MINOR_I)
            check_above_zero(p, value, beam_section_value_name(v));
        else
            check_not_negative(p, value, beam_section_value_name(v));
        if (value > 0.0f)
            if (const std::string fault = beyond(beam_section_value_bound(v), value, beam_section_value_name(v));
                !fault.empty())
                p.add(fault);
    }
    return p.take();
}

std::vector<std::string> soil_problems(const Soil& s)
{
    Problems p("Soil", s.name);
    check_above_zero(p, s.density, "Density");
    if (s.type == SOIL_COHESIVE) {
        check_above_zero(p, s.strength, "Strength");
    } else {
        if (!soil_delta_valid(s.delta))
            p.add("Delta should be between 0 and 75 degrees");
        check_above_zero(p, s.ks, "Ks");
    }
    return p.take();
}

std::vector<std::string> named_set_problems()
{
    std::vector<std::string> out;
    check_names<PipeMaterial, BeamMaterial>(PIPE_MATERIALS, "Material", out, &beam_materials(),
                                            "a pipe material and as a beam material");
    check_names<BeamMaterial>(BEAM_MATERIALS, "Beam material", out);
    check_names<PipeSection, BeamSection>(PIPE_SECTIONS, "Section", out, &beam_sections(),
                                          "a pipe section and as a beam section");
    check_names<Soil>(SOILS, "Soil", out);
    check_names<BeamSection>(BEAM_SECTIONS, "Beam section", out);

    check_records<PipeMaterial>(pipe_material_problems, out);
    check_records<BeamMaterial>(beam_material_problems, out);
    check_records<PipeSection>(pipe_section_problems, out);
    check_records<Soil>(soil_problems, out);
    check_records<BeamSection>(beam_section_problems, out);

    for (int i = 1; i <= numrows(); ++i) {
        LayoutRow& r = model().rows[i];
        if (r.etype == ET_BEAM) {
            check_defined(out, i, "Beam material", r.material, beam_material_index(r.material));
            check_defined(out, i, "Beam section", r.section, beam_section_index(r.section));
        } else {
            check_defined(out, i, "Material", r.material, pipe_material_index(r.material));
            check_defined(out, i, "Section", r.section, section_index(r.section));
        }
        if (!r.element)
            continue;
        if (const BendGeometry* bend = r.element->bend_geometry())
            check_defined(out, i, "Bend material", bend->material, pipe_material_index(bend->material));
        if (const JacketGeometry* jacket = r.element->jacket_geometry()) {
            check_defined(out, i, "Jacket material", jacket->material, pipe_material_index(jacket->material));
            check_defined(out, i, "Jacket section", jacket->section, section_index(jacket->section));
        }
    }
    return out;
}
