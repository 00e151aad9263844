#include "elements/element_analysis.h"

#include "analysis_core/analysis_run.h"
#include "analysis_core/element_assembly.h"
#include "analysis_core/element_kinds.h"
#include "analysis_core/steps.h"
#include "elements/straight_element.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "model/elements.h"
#include "model/model.h"

void install_element_analysis()
{
    ElementKind straight;
    straight.assemble = assemble_straight_element;
    straight.forces = straight_element_forces;
    register_element_kind(ET_PIPE, straight);
    register_element_kind(ET_JACKETED_PIPE, straight);
    // A reducer is a straight element of its mean diameter and wall.
    register_element_kind(ET_REDUCER, straight);

    ElementKind arc;
    arc.assemble = assemble_bend;
    arc.forces = bend_forces;
    register_element_kind(ET_BEND, arc);
    register_element_kind(ET_MITER, arc);
    register_element_kind(ET_JACKETED_BEND, arc);

    register_element_kind(ET_BEAM, beam_element_kind());
    register_element_kind(ET_BALL_JOINT, joint_element_kind());
    register_element_kind(ET_HINGE_JOINT, joint_element_kind());
    register_element_kind(ET_RIGID, rigid_element_kind());
    register_element_kind(ET_VALVE, valve_element_kind());
    register_element_kind(ET_BELLOWS, bellows_element_kind());
    register_element_kind(ET_SLIP_JOINT, slip_joint_element_kind());
    register_element_kind(ET_ELASTIC, elastic_element_kind());
    register_element_kind(ET_TIE_ROD, tie_rod_element_kind());
}

ElementLoadStep element_load_step(AnalysisRun& run)
{
    ElementLoadStep step;
    step.weight = step_has_weight(run);
    step.temperature = step_has_temperature(run);
    step.cold_spring = step_is_cold_spring(run);
    step.modal = step_is_modal(run);
    step.seismic_g = step_has_seismic_g(run);
    if (step.seismic_g) {
        const std::array<double, 3> g = step_seismic_factors(run);
        step.g = {g[0], g[1], g[2]};
    }
    return step;
}

ElementLoadOptions element_load_options(const AnalysisRun& run)
{
    const AnalysisModel& m = run.snapshot();
    ElementLoadOptions options;
    options.bourdon_effect = m.options.bourdon_effect;
    options.bourdon_with_weight = m.bourdon_with_weight;
    options.z_vertical = m.options.z_vertical;
    options.reference_temperature = m.options.reference_temperature;
    return options;
}

double member_wind_pressure(const AnalysisRun& run, int k, double elevation, double width)
{
    if (k < 1 || k > 4)
        return 0.0;
    const WindCase& wind = run.snapshot().loads.wind[static_cast<std::size_t>(k)];
    if (!wind.defined || !wind.pressure_at)
        return 0.0;
    double p = wind.pressure_at(elevation);
    if (wind.design_code) {
        const double height = wind.height_given ? wind.structure_height : elevation;
        p *= wind.gust_factor * (wind.force_coefficient ? wind.force_coefficient(height, width) : 1.0);
    }
    return p;
}

bool wind_acts_on(const AnalysisRun& run, const Elem& element)
{
    const int k = step_wind_case(run);
    if (k == 0)
        return false;
    const AnalysisModel& m = run.snapshot();
    if (!m.loads.wind[static_cast<std::size_t>(k)].defined || !m.loads.pipe_loads.valid(element.load))
        return false;
    return m.loads.pipe_loads[element.load].wind && !element.is_jacket_core(m.model);
}

void add_member_wind(AnalysisRun& run, const Elem& element, double width, double area, const Vec3& axis)
{
    if (!wind_acts_on(run, element))
        return;
    const AnalysisModel& m = run.snapshot();
    const int k = step_wind_case(run);
    const double elevation = element.mid_elevation(m.model, m.options.z_vertical);
    const Vec3 force = wind_node_force(member_wind_pressure(run, k, elevation, width), area, axis,
                                       m.loads.wind[static_cast<std::size_t>(k)].direction);
    for (int node : {element.node1, element.node2}) {
        add_node_load(run, node, 0, force.x);
        add_node_load(run, node, 1, force.y);
        add_node_load(run, node, 2, force.z);
    }
}

void add_lumped_mass(AnalysisRun& run, const Elem& element, double mass)
{
    for (int node : {element.node1, element.node2})
        for (int d = 0; d < 3; ++d)
            add_node_load(run, node, d, mass);
}

const ElementData* element_object(const AnalysisRun& run, int element)
{
    const Model& m = run.layout();
    const Elem& e = m.elems[element];
    return m.rows.valid(e.row) ? m.rows[e.row].element.get() : nullptr;
}

void throw_not_analysable(const AnalysisRun& run, int element)
{
    const Elem& e = run.layout().elems[element];
    throw_message(c_format("Row %d: %s elements cannot be analysed in this version", e.row, element_type_name(e.kind)));
}
