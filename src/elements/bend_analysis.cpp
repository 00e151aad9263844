// The curved element in a run: the arcs of bends (kind Bend), miters
// (Miter) and jacketed bends' jackets (Jacketed bend; the core's arcs are of
// kind Bend). Stiffness and loads come from the kernels of bend_element.h in
// the arc's frame; the end forces of node 2 are given in the axes of the
// arc's tangent there.
#include "analysis_core/analysis_run.h"
#include "analysis_core/element_assembly.h"
#include "analysis_core/section_properties.h"
#include "analysis_core/steps.h"
#include "elements/bend_element.h"
#include "elements/bend_flexibility.h"
#include "elements/element_analysis.h"
#include "elements/straight_element.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "model/elements.h"

#include <cmath>

namespace {

struct Arc {
    BendElement bend;
    BendAxes axes;
    SectionProperties section;
};

double flexibility_factor(const AnalysisRun& run, const Elem& e, const SectionProperties& p, double radius)
{
    // A factor of 0 would make the bending flexibility vanish and the arc's
    // flexibility singular; the model check refuses it, and so does this.
    if (p.user_flexibility_factor == 0.0 || !std::isfinite(p.user_flexibility_factor))
        throw_message(c_format("Row %d: the flexibility factor of the bend is %g", e.row, p.user_flexibility_factor));
    if (p.user_flexibility_factor > 0.0)
        return p.user_flexibility_factor;
    const AnalysisModel& m = run.snapshot();
    BendFlexibilityInput in;
    in.outside_diameter = p.outside_diameter;
    in.thickness = p.thickness;
    in.radius = radius;
    in.pressure = p.pressure;
    in.modulus = p.modulus;
    in.reference_modulus = p.reference_modulus;
    in.frp = p.frp;
    in.piping_code = m.piping_code;
    in.pressure_correction = m.options.pressure_correction;
    if (e.kind == ET_MITER)
        in.miter_spacing = p.miter_spacing == MITER_WIDELY_SPACED ? MITER_WIDELY_SPACED : MITER_CLOSELY_SPACED;
    in.flanged_ends = e.flanged_ends(m.model);
    return bend_flexibility_factor(in);
}

// The arc's stiffness into the run's scratch, with its equations and axes.
Arc arc_stiffness(AnalysisRun& run, int index)
{
    const Model& model = run.layout();
    const Elem& e = model.elems[index];
    Arc arc;
    arc.section = section_properties(run, index);
    const SectionProperties& p = arc.section;
    const double radius = e.bend_radius(model);
    KV_ASSERT(radius > 0.0);
    arc.axes = bend_arc(model, index);

    BendElement& b = arc.bend;
    b.radius = radius;
    b.angle = arc.axes.theta;
    b.flexibility_factor = flexibility_factor(run, e, p, radius);
    b.area = p.area;
    b.inertia = p.inertia;
    b.shear_coefficient = p.shear_coefficient;
    b.modulus = p.modulus;
    b.shear_modulus = p.shear_modulus;
    b.poisson = p.poisson;
    b.expansion = p.expansion;
    b.outside_diameter = p.outside_diameter;
    b.thickness = p.thickness;
    b.weight = p.weight;
    b.temperature = p.temperature;
    b.pressure = p.pressure;

    ElementScratch& scratch = run.element();
    scratch.element = index;
    set_element_dofs(run, e.node1, e.node2);
    set_element_axes(run, arc.axes.axes, bend_tangent_axes(arc.axes.axes, b.angle));
    bend_element_stiffness(b, scratch.k);
    return arc;
}

void arc_loads(AnalysisRun& run, const Arc& arc)
{
    ElementScratch& scratch = run.element();
    bend_element_loads(arc.bend, scratch.axes, scratch.k, element_load_step(run), element_load_options(run),
                       scratch.f);
}

// The wind on the chord of the arc.
void arc_wind(AnalysisRun& run, int index, const Arc& arc)
{
    const Model& m = run.layout();
    const Elem& e = m.elems[index];
    const NodeRecord& a = m.nodes[e.node1];
    const NodeRecord& b = m.nodes[e.node2];
    Vec3 chord{double(b.x) - a.x, double(b.y) - a.y, double(b.z) - a.z};
    normalize3(chord.x, chord.y, chord.z);
    const double exposed = arc.section.outside_diameter + 2.0 * arc.section.insulation_thickness;
    add_member_wind(run, e, exposed, bend_wind_area(exposed, arc.bend.radius, arc.bend.angle), chord);
}

}  // namespace

void assemble_bend(AnalysisRun& run, int index)
{
    const Arc arc = arc_stiffness(run, index);
    assemble_element_stiffness(run);
    if (step_is_modal(run)) {
        add_lumped_mass(run, run.layout().elems[index], bend_element_mass(arc.bend));
        return;
    }
    arc_wind(run, index, arc);
    arc_loads(run, arc);
    assemble_element_loads(run);
}

void bend_forces(AnalysisRun& run, int index)
{
    const Arc arc = arc_stiffness(run, index);
    arc_loads(run, arc);
    ElementVector forces = compute_end_forces(run);
    bend_forces_to_tangent_axes(arc.bend.angle, forces);
    record_end_forces(run, forces);
}
