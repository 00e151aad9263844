#include "analysis_core/section_properties.h"

#include "analysis_core/analysis_model.h"
#include "analysis_core/analysis_run.h"
#include "analysis_core/steps.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "model/element_data.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double PI = std::numbers::pi;
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

// The value of a set of a load (1..10); `none` when not given.
double set_value(const std::array<double, MAX_LOAD_SETS + 1>& values, int set, double none)
{
    if (set < 1 || set > MAX_LOAD_SETS)
        return none;
    const double v = values[static_cast<std::size_t>(set)];
    return v == 0.0 ? none : v;
}

}  // namespace

PipeLoadStep pipe_load_step(const AnalysisModel& m, const StepRow& step, int load, int row)
{
    PipeLoadStep out;
    const double reference = m.options.reference_temperature;
    out.temperature = reference;
    if (m.loads.pipe_loads.valid(load)) {
        const PipeLoadValues& l = m.loads.pipe_loads[load];
        const double given_none = m.options.default_temperature;
        if (step.temperature_set == SET_DESIGN)
            out.temperature = l.design_temperature == 0.0 ? given_none : l.design_temperature;
        else if (step.temperature_set >= 1 && step.temperature_set <= MAX_LOAD_SETS)
            out.temperature = set_value(l.temperature, step.temperature_set, given_none);

        switch (step.pressure_set) {
        case SET_NONE:
            break;
        case SET_DESIGN:
            out.pressure = l.design_pressure;
            break;
        case SET_MAX_PRESSURE: {
            const int sets = std::clamp<int>(m.options.numtloads, 1, MAX_LOAD_SETS);
            double largest = 0.0;
            for (int k = 1; k <= sets; ++k)
                largest = std::max(largest, l.pressure[static_cast<std::size_t>(k)]);
            out.pressure = largest;
            break;
        }
        case SET_HYDROTEST:
            break;
        default:
            out.pressure = set_value(l.pressure, step.pressure_set, 0.0);
            break;
        }
        out.specific_gravity = step.no_contents ? 0.0 : l.specific_gravity;
        out.added_weight = l.added_weight;
    }
    if (step.pressure_set == SET_HYDROTEST) {
        const HydrotestValues& h =
            m.loads.row_hydrotest.valid(row) ? m.loads.row_hydrotest[row] : m.loads.hydrotest;
        if (h.defined) {
            out.pressure = h.pressure;
            out.specific_gravity = h.specific_gravity;
            if (h.temperature != 0.0)
                out.temperature = h.temperature;
        }
    }
    // An entered zero is stored as 1e-36.
    if (std::fabs(out.pressure) < 1e-30)
        out.pressure = 0.0;
    return out;
}

double element_wall_thickness(const AnalysisModel& m, const Elem& e)
{
    if (!m.model.rows.valid(e.row))
        return 0.0;
    const LayoutRow& r = m.model.rows[e.row];
    if (!e.jacket && (e.kind == ET_BEND || e.kind == ET_MITER) && r.element) {
        // The arc of a bend row; the straight leg before it is a kind-3 element.
        const BendGeometry* b = r.element->bend_geometry();
        if (b && b->thickness != 0.0f)
            return b->thickness;
    }
    if (e.jacket && e.kind == ET_JACKETED_BEND && r.element) {
        // The jacket's arc of a jacketed bend; its straight leg is a kind-6 element.
        const JacketGeometry* j = r.element->jacket_geometry();
        if (j && j->thickness != 0.0f)
            return j->thickness;
    }
    return m.pipe_sections.valid(e.section) ? m.pipe_sections[e.section].thickness : 0.0;
}

SectionProperties section_properties(const AnalysisModel& m, const StepRow& step, int element)
{
    KV_ASSERT(m.model.elems.valid(element));
    const Elem& e = m.model.elems[element];
    const int row = e.row;
    KV_ASSERT(m.model.rows.valid(row));
    const LayoutRow& r = m.model.rows[row];
    const int kind = e.kind;
    SectionProperties out;
    out.kind = kind;
    out.length = node_distance(m.model, e.node1, e.node2);

    // What the row's own object adds. A kind whose object is still a neutral
    // one keeps data that cannot be read here: refuse it rather than guess.
    ElementSectionTerms terms;
    if (kind_needs_own_terms(kind)) {
        if (!r.element || dynamic_cast<const NeutralElement*>(r.element.get()))
            throw_message(
                c_format("Row %d: %s elements cannot be analysed in this version", row, element_type_name(kind)));
    }
    if (r.element)
        r.element->section_terms(terms);

    const PipeLoadStep load = pipe_load_step(m, step, e.load, row);
    out.temperature = load.temperature;
    out.pressure = load.pressure;

    // Material.
    const PipeMaterial* mat = m.pipe_materials.valid(e.material) ? &m.pipe_materials[e.material] : nullptr;
    if (mat) {
        const std::string why = material_unusable_reason(*mat);
        if (!why.empty())
            throw_message(c_format("Row %d: %s", row, why.c_str()));
    } else if (kind_needs_section(kind)) {
        throw_undefined(row, "Material", element_material_name(e, r));
    }

    // Section and wall.
    const PipeSection* sec = m.pipe_sections.valid(e.section) ? &m.pipe_sections[e.section] : nullptr;
    if (!sec && kind_needs_section(kind) && !(kind == ET_REDUCER && terms.two_ends))
        throw_undefined(row, "Section", element_section_name(e, r));
    double od = sec ? sec->outside_diameter : 0.0;
    double t = element_wall_thickness(m, e);
    if (terms.two_ends) {
        od = (terms.od1 + terms.od2) / 2.0;
        t = (terms.thickness1 + terms.thickness2) / 2.0;
    }
    if (kind_needs_section(kind) && !(od > 0.0 && t > 0.0 && 2.0 * t <= od))
        throw_message(c_format("Row %d: Section %s has no valid outside diameter and wall thickness", row,
                               element_section_name(e, r).c_str()));
    out.outside_diameter = od;
    out.thickness = t;
    out.insulation_thickness = sec && sec->has_insulation() ? sec->insulation_thickness : 0.0;

    const double ro = od / 2.0;
    const double ri = std::max(ro - t, 0.0);
    // A valve is as stiff as a pipe with a thicker wall, grown outwards.
    const double ro_stiff = kind == ET_VALVE ? ri + terms.thickness_multiplier * t : ro;
    if (ro_stiff > ri) {
        out.area = ring_area(ro_stiff, ri);
        out.inertia = PI / 4.0 * (std::pow(ro_stiff, 4) - std::pow(ri, 4));
        out.shear_coefficient = 4.0 / 3.0 * (std::pow(ro_stiff, 3) - std::pow(ri, 3)) /
                                ((ro_stiff - ri) * (ri * ri + ro_stiff * ro_stiff));
    }

    // Material values at the step temperature.
    if (mat) {
        const double T = load.temperature;
        out.modulus = material_modulus_at(*mat, T);
        out.reference_modulus = material_modulus_at(*mat, m.options.reference_temperature);
        out.expansion = material_column2_at(*mat, T);
        out.poisson = effective_poisson_ratio(*mat, T);
        out.shear_modulus = effective_shear_modulus(*mat, T);
        out.frp = mat->frp != 0;
        if (mat->frp)
            out.hoop_modulus = material_hoop_modulus_at(*mat, T);
    }

    // Weights per length.
    const double length = std::max(out.length, MIN_LENGTH);
    double metal = 0.0;
    if (terms.own_weight)
        metal = terms.weight / length;
    else if (element_is_pipe_like(e) && mat)
        metal = mat->density * ring_area(ro, ri);

    double contents = 0.0, insulation = 0.0, lining = 0.0;
    if (terms.add_cil && sec) {
        // The contents fill the bore inside the lining, which takes its own
        // weight below.
        const double lined = sec->has_lining() ? std::max(ri - sec->lining_thickness, 0.0) : ri;
        double bore = PI * lined * lined;
        if (e.jacket) {
            // The jacket's contents fill the space around the core and its insulation.
            const int core = m.pipe_sections.index(r.section);
            if (m.pipe_sections.valid(core)) {
                const PipeSection& c = m.pipe_sections[core];
                const double core_radius = c.outside_diameter / 2.0 + c.insulation_thickness;
                bore = ring_area(lined, core_radius);
            }
        }
        contents = load.specific_gravity * bore * WATER_DENSITY;
        if (sec->has_insulation())
            insulation = sec->insulation_density * ring_area(ro + sec->insulation_thickness, ro) *
                         terms.insulation_multiplier;
        if (sec->has_lining())
            lining = sec->lining_density * ring_area(ri, std::max(ri - sec->lining_thickness, 0.0));
    }
    out.metal_weight = metal;
    out.contents_weight = contents;
    out.insulation_weight = insulation;
    out.lining_weight = lining;
    // The load's added weight lies on the pipe; a rigid element without
    // "Add CIL" carries its own weight alone.
    out.added_weight = terms.add_cil ? load.added_weight : 0.0;
    out.weight = metal + contents + insulation + lining + out.added_weight;
    out.thrust_area = terms.thrust_area;
    out.cold_spring_cut = terms.cold_spring_cut;
    out.user_flexibility_factor = terms.user_flexibility_factor;
    out.miter_spacing = terms.miter_spacing;
    return out;
}

const SectionProperties& section_properties(const AnalysisRun& run, int element)
{
    const StepRow& step = current_step(run);
    const SectionCache::Sets sets{step.temperature_set, step.pressure_set, step.no_contents};
    SectionCache& cache = run.section_cache();
    auto at = std::find_if(cache.by_sets.begin(), cache.by_sets.end(),
                           [&](const auto& entry) { return entry.first == sets; });
    if (at == cache.by_sets.end()) {
        cache.by_sets.emplace_back(sets, std::vector<SectionCache::Entry>(
                                             static_cast<std::size_t>(run.layout().numelems()) + 1));
        at = cache.by_sets.end() - 1;
    }
    KV_ASSERT(element >= 1 && static_cast<std::size_t>(element) < at->second.size());
    SectionCache::Entry& entry = at->second[static_cast<std::size_t>(element)];
    if (!entry.made) {
        entry.properties = section_properties(run.snapshot(), step, element);
        entry.made = true;
    }
    return entry.properties;
}
