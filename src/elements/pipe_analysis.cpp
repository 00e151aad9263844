// The straight element in a run: kinds Pipe (cut pipes included), Jacketed
// pipe and Reducer (of its mean diameter and wall), with the B31J joint
// flexibility at branch connections. Its stiffness and load vector come from the kernels of
// straight_element.h with the section quantities of the step; wind and the
// lumped masses go straight into the global vector.
#include "analysis_core/analysis_run.h"
#include "analysis_core/element_assembly.h"
#include "analysis_core/section_properties.h"
#include "analysis_core/steps.h"
#include "elements/branch_joints.h"
#include "elements/element_analysis.h"
#include "elements/straight_element.h"
#include "model/elements.h"

namespace {

// The element's stiffness into the run's scratch, with its equations and
// axes; returns what its load vector needs.
StraightElement straight_stiffness(AnalysisRun& run, int index)
{
    const Elem& e = run.layout().elems[index];
    const SectionProperties p = section_properties(run, index);
    ElementScratch& scratch = run.element();
    scratch.element = index;
    set_element_dofs(run, e.node1, e.node2);
    set_element_axes(run, element_axes(run.layout(), e.node1, e.node2, run.snapshot().options.z_vertical));
    StraightFlexibility flexibility =
        pipe_flexibility(p.length, p.area, p.inertia, p.modulus, p.shear_modulus, p.shear_coefficient);
    apply_branch_joints(run, index, p, flexibility);
    straight_element_stiffness(flexibility, p.length, scratch.k);

    StraightElement out;
    out.length = p.length;
    out.outside_diameter = p.outside_diameter;
    out.thickness = p.thickness;
    out.modulus = p.modulus;
    out.poisson = p.poisson;
    out.expansion = p.expansion;
    out.weight = p.weight;
    out.temperature = p.temperature;
    out.pressure = p.pressure;
    out.thrust_area = p.thrust_area;
    out.cut = p.cold_spring_cut;
    out.bourdon = true;
    out.thermal = true;
    return out;
}

void straight_loads(AnalysisRun& run, const StraightElement& element)
{
    ElementScratch& scratch = run.element();
    straight_element_loads(element, scratch.axes, scratch.k, element_load_step(run), element_load_options(run),
                           scratch.f);
}

void straight_wind(AnalysisRun& run, int index)
{
    const Elem& e = run.layout().elems[index];
    if (!wind_acts_on(run, e))
        return;
    const SectionProperties p = section_properties(run, index);
    const double exposed = p.outside_diameter + 2.0 * p.insulation_thickness;
    const double area = straight_wind_area(element_length(p.length), p.outside_diameter, p.insulation_thickness);
    add_member_wind(run, e, exposed, area, run.element().axes.x);
}

}  // namespace

void assemble_straight_element(AnalysisRun& run, int index)
{
    const StraightElement element = straight_stiffness(run, index);
    assemble_element_stiffness(run);
    if (step_is_modal(run)) {
        add_lumped_mass(run, run.layout().elems[index],
                        straight_element_mass(element.weight, element_length(element.length)));
        return;
    }
    straight_wind(run, index);
    straight_loads(run, element);
    assemble_element_loads(run);
}

void straight_element_forces(AnalysisRun& run, int index)
{
    const StraightElement element = straight_stiffness(run, index);
    straight_loads(run, element);
    element_end_forces(run);
}
