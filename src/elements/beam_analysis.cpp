// The beam in a run: its Timoshenko frame stiffness with the end releases
// condensed out, the weight, temperature and seismic loads of its beam load
// (condensed alike), the wind straight into the load vector, its lumped
// masses and its end forces.
#include "analysis_core/analysis_run.h"
#include "analysis_core/element_assembly.h"
#include "analysis_core/steps.h"
#include "elements/beam.h"
#include "elements/beam_stiffness.h"
#include "elements/element_analysis.h"
#include "elements/straight_element.h"
#include "framework/errors.h"
#include "framework/text.h"

#include <cmath>

namespace {

struct BeamTerms {
    BeamProperties p;
    BeamLoadTerms loads;
    BeamReleaseSet released{};
    bool any_release = false;
    double depth = 0.0, width = 0.0;
};


// The quantities of the beam in the run's step. A torsional constant of 0
// stands for I major + I minor (here only: the section keeps its 0).
BeamTerms beam_terms(AnalysisRun& run, int element)
{
    const AnalysisModel& m = run.snapshot();
    const Elem& e = m.model.elems[element];
    const LayoutRow& row = m.model.rows[e.row];
    if (!m.beam_materials.valid(e.beam_material))
        throw_message(c_format("Row %d: Beam material %s is not defined", e.row, row.material.c_str()));
    if (!m.beam_sections.valid(e.beam_section))
        throw_message(c_format("Row %d: Beam section %s is not defined", e.row, row.section.c_str()));
    const BeamMaterial& mat = m.beam_materials[e.beam_material];
    const BeamSection& sec = m.beam_sections[e.beam_section];
    const bool z_vertical = m.options.z_vertical;

    BeamTerms t;
    BeamProperties& p = t.p;
    p.length = node_distance(m.model, e.node1, e.node2);
    p.modulus = mat.E;
    p.shear_modulus = mat.E * 0.5 / (mat.nu + 1.0);
    p.area = sec.area();
    p.torsion = sec.torsion() != 0.0f ? double(sec.torsion()) : double(sec.major_i()) + sec.minor_i();
    const double major_i = sec.major_i(), minor_i = sec.minor_i();
    const double major_as = sec.values[BS_MAJOR_SHEAR], minor_as = sec.values[BS_MINOR_SHEAR];
    p.iy = z_vertical ? major_i : minor_i;
    p.asz = z_vertical ? major_as : minor_as;
    p.iz = z_vertical ? minor_i : major_i;
    p.asy = z_vertical ? minor_as : major_as;
    if (!(p.length > 0.0) || !(p.modulus > 0.0) || !(p.area > 0.0) || !(p.iy > 0.0) || !(p.iz > 0.0))
        throw_message(c_format("Row %d: the beam needs a length, a modulus, an area and both moments of inertia",
                               e.row));
    t.depth = sec.depth();
    t.width = sec.width();

    const int code = current_step_type(run);
    const int set = beam_temperature_set(code);
    if (set < 0)
        throw_message(c_format("Beam at row %d: load case %d has no beam temperature", e.row, code));
    double added = 0.0, temperature = m.options.reference_temperature;
    if (m.loads.beam_loads.valid(e.beam_load)) {
        const BeamLoadValues& load = m.loads.beam_loads[e.beam_load];
        added = load.added_weight;
        if (set > 0 && load.temperature[static_cast<std::size_t>(set)] != 0.0)
            temperature = load.temperature[static_cast<std::size_t>(set)];
    }
    t.loads.weight = double(mat.density) * p.area + added;
    t.loads.delta_t = temperature - m.options.reference_temperature;
    t.loads.expansion = mat.alpha;

    const Beam& beam = element_object_as<Beam>(run, element);
    for (int flag = 0; flag < BEAM_RELEASE_COUNT; ++flag) {
        if (!beam.releases[static_cast<std::size_t>(flag)])
            continue;
        const int end = flag / BEAM_RELEASES_PER_END;
        const int n = beam_release_direction(flag % BEAM_RELEASES_PER_END, z_vertical) + 6 * end;
        t.released[static_cast<std::size_t>(n)] = true;
        t.any_release = true;
    }
    return t;
}

LocalAxes beam_run_axes(const AnalysisRun& run, int element)
{
    const Model& m = run.layout();
    const Elem& e = m.elems[element];
    return beam_axes(node_position(m, e.node1), node_position(m, e.node2), element_object_as<Beam>(run, element).beta,
                     run.snapshot().options.z_vertical);
}

// Stiffness (and the load vector when `loads`) of the step into the scratch.
BeamTerms beam_scratch(AnalysisRun& run, int element, bool loads)
{
    const Elem& e = run.layout().elems[element];
    const BeamTerms t = beam_terms(run, element);
    ElementScratch& scratch = run.element();
    scratch.element = element;
    set_element_dofs(run, e.node1, e.node2);
    set_element_axes(run, beam_run_axes(run, element));
    ElementMatrix unreduced;
    beam_local_stiffness(t.p, unreduced);
    scratch.k = unreduced;
    if (t.any_release)
        condense_beam_releases(t.released, scratch.k);
    if (loads) {
        beam_loads(t.p, t.loads, scratch.axes, element_load_step(run), element_load_options(run), scratch.f);
        if (t.any_release)
            condense_beam_releases(t.released, unreduced, &scratch.f);
    }
    return t;
}

void beam_wind(AnalysisRun& run, int element, const BeamTerms& t)
{
    const int k = step_wind_case(run);
    const AnalysisModel& m = run.snapshot();
    const Elem& e = m.model.elems[element];
    if (k == 0 || !m.loads.wind[static_cast<std::size_t>(k)].defined || !m.loads.beam_loads.valid(e.beam_load) ||
        !m.loads.beam_loads[e.beam_load].wind)
        return;
    const double exposed = std::hypot(t.depth, t.width);
    const double elevation = e.mid_elevation(m.model, m.options.z_vertical);
    // The design-code force coefficient goes by the section's depth.
    const double p = member_wind_pressure(run, k, elevation, t.depth);
    const Vec3 force = wind_node_force(p, exposed * t.p.length, run.element().axes.x,
                                       m.loads.wind[static_cast<std::size_t>(k)].direction);
    for (int node : {e.node1, e.node2}) {
        add_node_load(run, node, 0, force.x);
        add_node_load(run, node, 1, force.y);
        add_node_load(run, node, 2, force.z);
    }
}

void assemble_beam(AnalysisRun& run, int element)
{
    const bool modal = step_is_modal(run);
    const BeamTerms t = beam_scratch(run, element, !modal);
    assemble_element_stiffness(run);
    if (modal) {
        add_lumped_mass(run, run.layout().elems[element], t.loads.weight * t.p.length * 0.5 / GRAVITY);
        return;
    }
    beam_wind(run, element, t);
    assemble_element_loads(run);
}

void beam_forces(AnalysisRun& run, int element)
{
    beam_scratch(run, element, true);
    element_end_forces(run);
}

}  // namespace

ElementKind beam_element_kind()
{
    ElementKind kind;
    kind.assemble = assemble_beam;
    kind.forces = beam_forces;
    return kind;
}
