// The elastic element and the tie rod in a run. The elastic element is six
// springs in its own axes between node 1 and a point on a rigid arm from
// node 2; the tie rod an axial spring acting beyond its gaps, whose state
// (slack, compression, tension) is iterated.
#include "analysis_core/analysis_run.h"
#include "analysis_core/convergence.h"
#include "analysis_core/element_assembly.h"
#include "analysis_core/steps.h"
#include "elements/elastic_element.h"
#include "elements/element_analysis.h"
#include "elements/tie_rod.h"
#include "framework/errors.h"
#include "framework/text.h"

#include <cmath>

namespace {

// ---- Elastic element ---------------------------------------------------------------------------

void elastic_scratch(AnalysisRun& run, int element)
{
    const ElasticElement& elastic = element_object_as<ElasticElement>(run, element);
    const Elem& e = run.layout().elems[element];
    LocalAxes axes;
    if (!elastic.axes(axes))
        throw_message(c_format("Row %d: the local axes of the elastic element are not valid", e.row));
    ElementScratch& scratch = run.element();
    scratch.element = element;
    set_element_dofs(run, e.node1, e.node2);
    set_element_axes(run, axes);
    const Vec3 a = node_position(run.layout(), e.node1), b = node_position(run.layout(), e.node2);
    const Vec3 d{b.x - a.x, b.y - a.y, b.z - a.z};
    auto dot = [&d](const Vec3& v) { return d.x * v.x + d.y * v.y + d.z * v.z; };
    double rates[6];
    elastic.rates(rates);
    elastic_element_stiffness(rates, dot(axes.x), dot(axes.y), dot(axes.z), scratch.k);
    scratch.f.clear();
}

void assemble_elastic(AnalysisRun& run, int element)
{
    elastic_scratch(run, element);
    assemble_element_stiffness(run);
}

void elastic_forces(AnalysisRun& run, int element)
{
    elastic_scratch(run, element);
    element_end_forces(run);
}

// ---- Tie rod -------------------------------------------------------------------------------------

struct TieRodState : CopiedState<TieRodState> {
    TieRodStatus status = TIE_TENSION;
    double last_extension = 0.0;
};

// Stiffness of the rod's state into the scratch; returns the gap load.
double tie_rod_scratch(AnalysisRun& run, int element)
{
    const TieRod& rod = element_object_as<TieRod>(run, element);
    const TieRodState& s = run.element_state<TieRodState>(element);
    const Elem& e = run.layout().elems[element];
    ElementScratch& scratch = run.element();
    scratch.element = element;
    set_element_dofs(run, e.node1, e.node2);
    set_element_axes(run, element_axes(run.layout(), e.node1, e.node2, run.snapshot().options.z_vertical));
    tie_rod_stiffness(rod.axial_stiffness(s.status), scratch.k);
    scratch.f.clear();
    return rod.gap_load(s.status);
}

void assemble_tie_rod(AnalysisRun& run, int element)
{
    const double gap_load = tie_rod_scratch(run, element);
    assemble_element_stiffness(run);
    if (gap_load == 0.0 || step_is_hanger_load_recalc(run) || step_is_modal(run) || run.force_recovery)
        return;
    const Elem& e = run.layout().elems[element];
    const Vec3& x = run.element().axes.x;
    const double along[3] = {x.x, x.y, x.z};
    for (int d = 0; d < 3; ++d) {
        add_node_load(run, e.node1, d, -gap_load * along[d]);
        add_node_load(run, e.node2, d, gap_load * along[d]);
    }
}

void tie_rod_forces(AnalysisRun& run, int element)
{
    const double gap_load = tie_rod_scratch(run, element);
    ElementVector& f = run.element().f;
    f.f[1] -= gap_load;
    f.f[7] += gap_load;
    element_end_forces(run);
}

void update_tie_rod(AnalysisRun& run, int element)
{
    const TieRod& rod = element_object_as<TieRod>(run, element);
    TieRodState& s = run.element_state<TieRodState>(element);
    const Elem& e = run.layout().elems[element];
    const LocalAxes axes = element_axes(run.layout(), e.node1, e.node2, run.snapshot().options.z_vertical);
    double extension = relative_along(run, e.node2, e.node1, axes.x);
    if (std::fabs(extension) < 1.0e-14)
        extension = 0.0;
    const TieRodStatus solved = s.status;
    s.status = rod.status_of(extension);
    bool settled = check_convergence(run, extension, s.last_extension, ET_TIE_ROD, 0, e.node2);
    if (settled && s.status != solved) {
        // However little the rod moved, a changed state has not settled:
        // the solution was made with the other stiffness, and the rod's end
        // forces are recovered from its state.
        check_convergence(run, 1.0, 0.0, ET_TIE_ROD, 0, e.node2);
        settled = false;
    }
    if (!settled)
        count_unconverged(run);
    s.last_extension = extension;
}

}  // namespace

ElementKind elastic_element_kind()
{
    ElementKind kind;
    kind.assemble = assemble_elastic;
    kind.forces = elastic_forces;
    return kind;
}

ElementKind tie_rod_element_kind()
{
    ElementKind kind;
    kind.assemble = assemble_tie_rod;
    kind.forces = tie_rod_forces;
    kind.nonlinear = [](const AnalysisRun&, int) { return true; };
    kind.init = [](AnalysisRun& run, int element) { run.element_state<TieRodState>(element) = TieRodState{}; };
    kind.reset = [](AnalysisRun& run, int element) { run.element_state<TieRodState>(element) = TieRodState{}; };
    kind.update = update_tie_rod;
    return kind;
}
