// The straight element in a run: kinds Pipe (cut pipes included), Jacketed
// pipe and Reducer (of its mean diameter and wall), joined to the nodes of
// branch connections by their B31J joints. Its stiffness and load vector
// come from the kernels of straight_element.h with the section quantities of
// the step; wind and the lumped masses go straight into the global vector.
#include "analysis_core/analysis_run.h"
#include "analysis_core/element_assembly.h"
#include "analysis_core/section_properties.h"
#include "analysis_core/steps.h"
#include "elements/branch_joints.h"
#include "elements/element_analysis.h"
#include "elements/straight_element.h"
#include "model/elements.h"

StraightElement straight_element_setup(AnalysisRun& run, int index, const StraightFlexibility* given)
{
    const Elem& e = run.layout().elems[index];
    const SectionProperties p = section_properties(run, index);
    ElementScratch& scratch = run.element();
    scratch.element = index;
    set_element_dofs(run, e.node1, e.node2);
    set_element_axes(run, element_axes(run.layout(), e.node1, e.node2, run.snapshot().options.z_vertical));
    // Bellows, slip joints and rigid elements bring their own flexibilities.
    const StraightFlexibility flexibility =
        given ? *given : pipe_flexibility(p.length, p.area, p.inertia, p.modulus, p.shear_modulus, p.shear_coefficient);
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
    out.bourdon = !given;
    out.thermal = true;
    return out;
}

namespace {

void straight_loads(AnalysisRun& run, const StraightElement& element)
{
    ElementScratch& scratch = run.element();
    straight_element_loads(element, scratch.axes, scratch.k, element_load_step(run), element_load_options(run),
                           scratch.f);
}

}  // namespace

void straight_element_wind(AnalysisRun& run, int index, double insulation_multiplier)
{
    const Elem& e = run.layout().elems[index];
    if (!wind_acts_on(run, e))
        return;
    const SectionProperties p = section_properties(run, index);
    const double exposed = p.outside_diameter + 2.0 * p.insulation_thickness;
    const double area = straight_wind_area(element_length(p.length), p.outside_diameter, p.insulation_thickness,
                                           insulation_multiplier);
    add_member_wind(run, e, exposed, area, run.element().axes.x);
}

void straight_element_step_loads(AnalysisRun& run, const StraightElement& element)
{
    straight_loads(run, element);
}

void assemble_straight_element(AnalysisRun& run, int index)
{
    const StraightElement element = straight_element_setup(run, index, nullptr);
    if (step_is_modal(run)) {
        apply_branch_joints(run, index);
        assemble_element_stiffness(run);
        add_lumped_mass(run, run.layout().elems[index],
                        straight_element_mass(element.weight, element_length(element.length)));
        return;
    }
    straight_element_wind(run, index);
    straight_loads(run, element);
    // The pipe's joints at branch connections join it to its nodes.
    apply_branch_joints(run, index);
    assemble_element_stiffness(run);
    assemble_element_loads(run);
}

void straight_element_forces(AnalysisRun& run, int index)
{
    const StraightElement element = straight_element_setup(run, index, nullptr);
    straight_loads(run, element);
    apply_branch_joints(run, index);
    element_end_forces(run);
}
