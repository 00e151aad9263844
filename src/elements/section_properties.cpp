// The section quantities of an element in the current analysis step: its
// geometry from the section (or the kind's own sizes), E, G, Nu and alpha from
// the material's table at the step temperature, and the weight per length
// from the metal, the contents, the insulation, the lining and the pipe
// load's added weight.
#include "framework/errors.h"
#include "framework/text.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/analysis_options.h"
#include "model/element_data.h"
#include "model/elements.h"
#include "model/model.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double PI = 3.1415927;
// Weight of a cubic inch of water, lb.
constexpr double WATER_DENSITY = 0.03609;
// The length that stands for a zero one where the weight is divided by it.
constexpr double MIN_LENGTH = 1.0e-8;

// Kinds whose section quantities depend on their own object's data.
bool kind_needs_own_terms(int kind)
{
    return kind == ET_VALVE || kind == ET_REDUCER || kind == ET_BELLOWS || kind == ET_SLIP_JOINT ||
           kind == ET_RIGID;
}

// Kinds that need a material and a section with a wall.
bool kind_needs_section(int kind)
{
    return kind == ET_PIPE || kind == ET_BEND || kind == ET_MITER || kind == ET_JACKETED_PIPE ||
           kind == ET_JACKETED_BEND || kind == ET_VALVE || kind == ET_REDUCER;
}

// Area of the ring between two radii (0 when they are not in order).
double ring_area(double outer, double inner)
{
    return outer > inner ? PI * (outer * outer - inner * inner) : 0.0;
}

const std::string& element_material_name(const Elem& e, const LayoutRow& r)
{
    if (e.jacket) {
        if (const JacketGeometry* j = r.element ? r.element->jacket_geometry() : nullptr)
            return j->material;
    } else if (e.kind == ET_BEND || e.kind == ET_MITER) {
        const BendGeometry* b = r.element ? r.element->bend_geometry() : nullptr;
        if (b && !b->material.empty())
            return b->material;
    }
    return r.material;
}

const std::string& element_section_name(const Elem& e, const LayoutRow& r)
{
    if (e.jacket) {
        if (const JacketGeometry* j = r.element ? r.element->jacket_geometry() : nullptr)
            return j->section;
    }
    return r.section;
}

[[noreturn]] void throw_undefined(int row, const char* what, const std::string& name)
{
    if (name.empty())
        throw_message(c_format("Row %d: %s is not defined", row, what));
    throw_message(c_format("Row %d: %s %s is not defined", row, what, name.c_str()));
}

}  // namespace

double Elem::wall_thickness() const
{
    const Model& m = model();
    if (!m.rows.valid(row))
        return 0.0;
    const LayoutRow& r = m.rows[row];
    if (!jacket && (kind == ET_BEND || kind == ET_MITER) && r.element) {
        // The arc of a bend row; the straight leg before it is a kind-3 element.
        const BendGeometry* b = r.element->bend_geometry();
        if (b && b->thickness != 0.0f)
            return b->thickness;
    }
    return pipe_sections().valid(section) ? pipe_sections()[section].thickness : 0.0;
}

void Elem::section_properties(SectionProperties& out) const
{
    const Model& m = model();
    KV_ASSERT(m.rows.valid(row));
    const LayoutRow& r = m.rows[row];
    out = SectionProperties{};
    out.kind = kind;
    out.length = static_cast<float>(node_distance(node1, node2));

    // What the row's own object adds. A kind whose object is still a neutral
    // one keeps data that cannot be read here: refuse it rather than guess.
    ElementSectionTerms terms;
    if (kind_needs_own_terms(kind)) {
        if (!r.element || dynamic_cast<const NeutralElement*>(r.element.get()))
            throw_message(c_format("Row %d: %s elements cannot be analysed in this version", row,
                                   element_type_name(kind)));
        r.element->section_terms(terms);
    }

    // The pipe load's values in this step.
    PipeLoadStep step;
    step.temperature = analysis_options().reference_temperature;
    if (load != 0 && model_hooks().pipe_load_step)
        step = model_hooks().pipe_load_step(load);
    out.temperature = static_cast<float>(step.temperature);
    out.pressure = static_cast<float>(step.pressure);

    // Material.
    const PipeMaterial* mat = pipe_materials().valid(material) ? &pipe_materials()[material] : nullptr;
    if (mat) {
        const std::string why = material_unusable_reason(*mat);
        if (!why.empty())
            throw_message(c_format("Row %d: %s", row, why.c_str()));
    } else if (kind_needs_section(kind)) {
        throw_undefined(row, "Material", element_material_name(*this, r));
    }

    // Section and wall.
    const PipeSection* sec = pipe_sections().valid(section) ? &pipe_sections()[section] : nullptr;
    if (!sec && kind_needs_section(kind) && !(kind == ET_REDUCER && terms.two_ends))
        throw_undefined(row, "Section", element_section_name(*this, r));
    double od = sec ? sec->outside_diameter : 0.0;
    double t = wall_thickness();
    if (terms.two_ends) {
        od = (terms.od1 + terms.od2) / 2.0;
        t = (terms.thickness1 + terms.thickness2) / 2.0;
    }
    if (kind_needs_section(kind) && (od <= 0.0 || t <= 0.0 || 2.0 * t > od))
        throw_message(c_format("Row %d: Section %s has no valid outside diameter and wall thickness", row,
                               element_section_name(*this, r).c_str()));
    out.outside_diameter = static_cast<float>(od);
    out.thickness = static_cast<float>(t);

    const double ro = od / 2.0;
    const double ri = std::max(ro - t, 0.0);
    // A valve is as stiff as a pipe with a thicker wall, grown outwards.
    const double ro_stiff = kind == ET_VALVE ? ri + terms.thickness_multiplier * t : ro;
    if (ro_stiff > ri) {
        out.area = static_cast<float>(ring_area(ro_stiff, ri));
        out.inertia = static_cast<float>(PI / 4.0 * (std::pow(ro_stiff, 4) - std::pow(ri, 4)));
        out.shear_coefficient = static_cast<float>(
            1.333333 * (std::pow(ro_stiff, 3) - std::pow(ri, 3)) / ((ro_stiff - ri) * (ri * ri + ro_stiff * ro_stiff)));
    }

    // Material values at the step temperature.
    if (mat) {
        const double T = step.temperature;
        out.modulus = static_cast<float>(material_modulus_at(*mat, T));
        out.expansion = static_cast<float>(material_column2_at(*mat, T));
        out.poisson = static_cast<float>(effective_poisson_ratio(*mat, T));
        out.shear_modulus = static_cast<float>(effective_shear_modulus(*mat, T));
        if (mat->frp)
            out.hoop_modulus = static_cast<float>(material_hoop_modulus_at(*mat, T));
    }

    // Weights per length.
    const double length = std::max(static_cast<double>(out.length), MIN_LENGTH);
    double metal = 0.0;
    if (terms.own_weight)
        metal = terms.weight / length;
    else if (element_is_pipe_like(*this) && mat)
        metal = mat->density * ring_area(ro, ri);

    double contents = 0.0, insulation = 0.0, lining = 0.0;
    if (terms.add_cil && sec) {
        double bore = PI * ri * ri;
        if (jacket) {
            // The jacket's contents fill the space around the core and its insulation.
            const int core = section_index(r.section);
            if (pipe_sections().valid(core)) {
                const PipeSection& c = pipe_sections()[core];
                const double core_radius = c.outside_diameter / 2.0 + c.insulation_thickness;
                bore = ring_area(ri, core_radius);
            }
        }
        contents = step.specific_gravity * bore * WATER_DENSITY;
        if (sec->has_insulation())
            insulation = sec->insulation_density * ring_area(ro + sec->insulation_thickness, ro) *
                         terms.insulation_multiplier;
        if (sec->has_lining())
            lining = sec->lining_density * ring_area(ri, std::max(ri - sec->lining_thickness, 0.0));
    }
    out.metal_weight = static_cast<float>(metal);
    out.contents_weight = static_cast<float>(contents);
    out.insulation_weight = static_cast<float>(insulation);
    out.lining_weight = static_cast<float>(lining);
    out.added_weight = static_cast<float>(step.added_weight);
    out.weight = static_cast<float>(metal + contents + insulation + lining + step.added_weight);
    out.thrust_area = static_cast<float>(terms.thrust_area);
}
