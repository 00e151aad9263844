// The kinds built on the straight element: the rigid element (1.0e12 stiff in
// every direction), the valve (the pipe with a thickened wall, and its
// additional weight), the bellows (four spring rates) and the slip joint
// (axial and torsional stiffness of the iteration, friction loads and the
// stick-or-slide update). Their weights come through the section quantities.
#include "analysis_core/analysis_run.h"
#include "analysis_core/convergence.h"
#include "analysis_core/element_assembly.h"
#include "analysis_core/section_properties.h"
#include "analysis_core/steps.h"
#include "elements/bellows.h"
#include "elements/element_analysis.h"
#include "elements/slip_joint.h"
#include "elements/slip_joint_state.h"
#include "elements/straight_element.h"
#include "elements/valve.h"
#include "framework/errors.h"
#include "framework/text.h"

#include <cmath>

namespace {

// The assembly common to these kinds: stiffness; masses in a modal step;
// else wind, the local loads and `extra` straight into the load vector.
template <typename Extra>
void assemble_with(AnalysisRun& run, int element, const StraightFlexibility* flexibility, bool thermal,
                   double insulation_multiplier, Extra extra)
{
    StraightElement terms = straight_element_setup(run, element, flexibility);
    terms.bourdon = false;
    terms.thermal = thermal;
    assemble_element_stiffness(run);
    if (step_is_modal(run)) {
        add_lumped_mass(run, run.layout().elems[element], straight_element_mass(terms.weight, element_length(terms.length)));
        extra(terms);
        return;
    }
    straight_element_wind(run, element, insulation_multiplier);
    straight_element_step_loads(run, terms);
    assemble_element_loads(run);
    extra(terms);
}

// The end forces of the step with the given flexibility.
void forces_with(AnalysisRun& run, int element, const StraightFlexibility& flexibility)
{
    StraightElement terms = straight_element_setup(run, element, &flexibility);
    terms.bourdon = false;
    straight_element_step_loads(run, terms);
    element_end_forces(run);
}

// ---- Rigid element -------------------------------------------------------------------------

void assemble_rigid(AnalysisRun& run, int element)
{
    const StraightFlexibility rigid = rigid_flexibility();
    assemble_with(run, element, &rigid, true, 1.0, [](const StraightElement&) {});
}

void rigid_forces(AnalysisRun& run, int element)
{
    forces_with(run, element, rigid_flexibility());
}

// ---- Valve -----------------------------------------------------------------------------------

// The pipe's flexibility of the valve's thickened section.
StraightFlexibility valve_flexibility(const AnalysisRun& run, int element)
{
    const SectionProperties p = section_properties(run, element);
    return pipe_flexibility(p.length, p.area, p.inertia, p.modulus, p.shear_modulus, p.shear_coefficient);
}

// The additional weight of the valve into the load vector (or the masses).
void valve_extra(AnalysisRun& run, int element)
{
    const Valve& valve = element_object_as<Valve>(run, element);
    if (valve.additional_weight == 0.0f)
        return;
    const ElementLoadStep step = element_load_step(run);
    if (!step.weight && !step.seismic_g && !step.modal)
        return;
    const Elem& e = run.layout().elems[element];
    const Model& m = run.layout();
    ElementVector global;
    valve_added_weight_loads(valve.additional_weight, {valve.offset_dx, valve.offset_dy, valve.offset_dz},
                             node_position(m, e.node1), node_position(m, e.node2), step, element_load_options(run),
                             global);
    for (int d = 0; d < 6; ++d) {
        add_node_load(run, e.node1, d, global.f[1 + d]);
        add_node_load(run, e.node2, d, global.f[7 + d]);
    }
}

void assemble_valve(AnalysisRun& run, int element)
{
    const Valve& valve = element_object_as<Valve>(run, element);
    const StraightFlexibility flexibility = valve_flexibility(run, element);
    assemble_with(run, element, &flexibility, true, valve.insulation_multiplier,
                  [&](const StraightElement&) { valve_extra(run, element); });
}

void valve_forces(AnalysisRun& run, int element)
{
    forces_with(run, element, valve_flexibility(run, element));
}

// ---- Bellows ---------------------------------------------------------------------------------

StraightFlexibility flexibility_of(const Bellows& b)
{
    return bellows_flexibility(b.axial_stiffness, b.lateral_stiffness, b.bending_stiffness, b.torsional_stiffness);
}

void assemble_bellows(AnalysisRun& run, int element)
{
    const StraightFlexibility flexibility = flexibility_of(element_object_as<Bellows>(run, element));
    assemble_with(run, element, &flexibility, true, 1.0, [](const StraightElement&) {});
}

void bellows_forces(AnalysisRun& run, int element)
{
    forces_with(run, element, flexibility_of(element_object_as<Bellows>(run, element)));
}

// ---- Slip joint -------------------------------------------------------------------------------

SlipJointState& slip_state(AnalysisRun& run, int element)
{
    SlipJointState& s = run.element_state<SlipJointState>(element);
    if (!s.ready) {
        s.reset_full();
        s.ready = true;
    }
    return s;
}

// The flexibility of the step: the stiffnesses of the iteration; in the
// first operating case (not while forces are evaluated) the secants for a
// later modal step are kept; a modal step with "Friction in dynamics" takes them.
StraightFlexibility slip_flexibility(AnalysisRun& run, int element, bool evaluating)
{
    const SlipJoint& joint = element_object_as<SlipJoint>(run, element);
    SlipJointState& s = slip_state(run, element);
    double ka = s.axial_stiffness, kt = s.torsional_stiffness;
    const bool modal_friction = step_is_modal(run) && run.snapshot().options.friction_in_dynamics;
    if (joint.friction_force != 0.0f) {
        if (step_is_operating1(run) && !evaluating)
            s.secant_axial_stiffness = slip_joint_secant_stiffness(ka, s.axial_force, joint.friction_force);
        if (modal_friction)
            ka = s.secant_axial_stiffness;
    }
    if (joint.friction_torque != 0.0f) {
        if (step_is_operating1(run) && !evaluating)
            s.secant_torsional_stiffness = slip_joint_secant_stiffness(kt, s.torque, joint.friction_torque);
        if (modal_friction)
            kt = s.secant_torsional_stiffness;
    }
    return slip_joint_flexibility(ka, kt);
}

void assemble_slip_joint(AnalysisRun& run, int element)
{
    const StraightFlexibility flexibility = slip_flexibility(run, element, run.force_recovery);
    assemble_with(run, element, &flexibility, false, 1.0, [&](const StraightElement&) {
        if (run.force_recovery || step_is_hanger_load_recalc(run) || step_is_modal(run))
            return;
        const SlipJointState& s = slip_state(run, element);
        if (s.friction_load == 0.0 && s.friction_moment == 0.0)
            return;
        ElementVector global;
        slip_joint_friction_loads(run.element().axes.x, s.friction_load, s.friction_moment, global);
        const Elem& e = run.layout().elems[element];
        for (int d = 0; d < 6; ++d) {
            add_node_load(run, e.node1, d, global.f[1 + d]);
            add_node_load(run, e.node2, d, global.f[7 + d]);
        }
    });
}

// The joint's local end forces with the friction in them; `thrust_back`
// adds the pressure thrust back (the force through the joint's sleeve).
ElementVector slip_end_forces(AnalysisRun& run, int element, bool with_friction, bool thrust_back)
{
    const StraightFlexibility flexibility = slip_flexibility(run, element, true);
    StraightElement terms = straight_element_setup(run, element, &flexibility);
    terms.bourdon = false;
    terms.thermal = false;
    straight_element_step_loads(run, terms);
    ElementVector& f = run.element().f;
    if (with_friction) {
        const SlipJointState& s = slip_state(run, element);
        remove_slip_joint_friction(s.friction_load, s.friction_moment, f);
    }
    if (thrust_back && step_has_weight(run)) {
        const double thrust = terms.pressure * terms.thrust_area;
        f.f[1] += thrust;
        f.f[7] -= thrust;
    }
    return compute_end_forces(run);
}

void slip_joint_forces(AnalysisRun& run, int element)
{
    const int code = current_step_type(run);
    const bool dynamic = code == 31 || code == 35 || code == 36 || code == 37;
    record_end_forces(run, slip_end_forces(run, element, !dynamic, false));
}

// One direction of the update (axial: shift s, force N; torsion: twist,
// torque): the stick-or-slide decision, its convergence tests, the new
// friction load.
void update_direction(AnalysisRun& run, int node, double friction, double movement, double force,
                      double& stiffness, double& friction_load, double& last)
{
    // Sticking: the force through the joint stays below the friction, in
    // tension as in compression.
    if (std::fabs(friction_load) > 1.0e-6 && friction > std::fabs(force)) {
        if (std::fabs(movement) <= 1.0e-6) {
            stiffness = RIGID_LINK;
        } else {
            stiffness = 1.01 * friction / std::fabs(movement);
            check_convergence(run, movement, 1.0e-6, ET_SLIP_JOINT, 0, node);
            count_unconverged(run);
        }
    } else {
        stiffness = 1.0;
    }
    if (!check_convergence(run, movement, last, ET_SLIP_JOINT, 0, node))
        count_unconverged(run);
    friction_load = std::min(friction, std::fabs(force));
    if (force > 0.0)
        friction_load = -friction_load;
    last = movement;
}

void update_slip_joint(AnalysisRun& run, int element)
{
    const SlipJoint& joint = element_object_as<SlipJoint>(run, element);
    if (!joint.is_nonlinear())
        return;
    SlipJointState& s = slip_state(run, element);
    const Elem& e = run.layout().elems[element];
    const bool recovering = run.force_recovery;
    run.force_recovery = true;
    const ElementVector f = slip_end_forces(run, element, true, true);
    run.force_recovery = recovering;
    s.axial_force = (f.f[1] + f.f[7]) / 2.0;
    s.torque = (f.f[4] + f.f[10]) / 2.0;
    const Vec3& x = run.element().axes.x;
    if (joint.friction_force != 0.0f)
        update_direction(run, e.node2, joint.friction_force, relative_along(run, e.node2, e.node1, x), s.axial_force,
                         s.axial_stiffness, s.friction_load, s.last_shift);
    if (joint.friction_torque != 0.0f)
        update_direction(run, e.node2, joint.friction_torque, relative_along(run, e.node2, e.node1, x, true), s.torque,
                         s.torsional_stiffness, s.friction_moment, s.last_twist);
}

}  // namespace

ElementKind rigid_element_kind()
{
    ElementKind kind;
    kind.assemble = assemble_rigid;
    kind.forces = rigid_forces;
    return kind;
}

ElementKind valve_element_kind()
{
    ElementKind kind;
    kind.assemble = assemble_valve;
    kind.forces = valve_forces;
    return kind;
}

ElementKind bellows_element_kind()
{
    ElementKind kind;
    kind.assemble = assemble_bellows;
    kind.forces = bellows_forces;
    return kind;
}

ElementKind slip_joint_element_kind()
{
    ElementKind kind;
    kind.assemble = assemble_slip_joint;
    kind.forces = slip_joint_forces;
    kind.nonlinear = [](const AnalysisRun& run, int element) {
        const ElementData* object = element_object(run, element);
        return object && object->is_nonlinear();
    };
    kind.init = [](AnalysisRun& run, int element) {
        SlipJointState& s = run.element_state<SlipJointState>(element);
        s.reset_full();
        s.ready = true;
    };
    kind.reset = [](AnalysisRun& run, int element) { slip_state(run, element).reset(); };
    kind.update = update_slip_joint;
    return kind;
}
