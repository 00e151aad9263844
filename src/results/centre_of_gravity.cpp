#include "results/centre_of_gravity.h"

#include "analysis_core/analysis_model.h"
#include "analysis_core/analysis_run.h"
#include "model/data_item.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/row_kinds.h"

#include <algorithm>

namespace {

WeightAndCentre step_weight(AnalysisRun& run, int code)
{
    const Model& m = run.layout();
    run.set_step(code);
    std::fill(run.loads.begin(), run.loads.end(), 0.0);
    for (int e = 1; e <= m.numelems(); ++e) {
        const int kind = m.elems[e].kind;
        if (kind < 0 || kind > MAX_ETYPE)
            continue;
        const ElementKind& k = run.kinds()[static_cast<std::size_t>(kind)];
        if (k.reset)
            k.reset(run, e);
        if (k.assemble)
            k.assemble(run, e);
    }
    for (int row = 1; row <= m.numrows(); ++row)
        if (const DataItem* item = m.rows[row].data.get();
            item && (m.rows[row].dtype == DT_FLANGE || m.rows[row].dtype == DT_CONC_MASS))
            item->add_loads(run, row);

    const bool z_vertical = run.snapshot().options.z_vertical;
    Vec3 force, moment;
    double vertical_moment = 0.0;   // sum of the vertical loads times their node's elevation
    for (int node = 1; node <= m.numnodes(); ++node) {
        const int eq = run.equation(node, 0);
        if (!eq)
            continue;
        const Vec3 f{run.loads[eq], run.loads[eq + 1], run.loads[eq + 2]};
        const Vec3 r = node_position(m, node);
        const Vec3 rf = cross(r, f);
        force = {force.x + f.x, force.y + f.y, force.z + f.z};
        moment = {moment.x + rf.x + run.loads[eq + 3], moment.y + rf.y + run.loads[eq + 4],
                  moment.z + rf.z + run.loads[eq + 5]};
        vertical_moment += (z_vertical ? f.z : f.y) * (z_vertical ? r.z : r.y);
    }
    WeightAndCentre out;
    const double vertical = z_vertical ? force.z : force.y;
    out.weight = -vertical;
    if (!(out.weight > 0.0))
        return out;
    // M = r x F with F = -W up: Y up gives Mx = -W (-z), Mz = -W x; Z up gives
    // Mx = -W y, My = W x.
    if (z_vertical)
        out.centre = {moment.y / out.weight, -moment.x / out.weight, vertical_moment / vertical};
    else
        out.centre = {-moment.z / out.weight, vertical_moment / vertical, moment.x / out.weight};
    return out;
}

}  // namespace

PipingCentreOfGravity piping_centre_of_gravity(const AnalysisModel& model)
{
    AnalysisRun run(model);
    run.set_identity_numbering();
    run.set_pass(RunPass::Assembly);
    run.set_stiffness_wanted(false);
    const Model& m = run.layout();
    for (int e = 1; e <= m.numelems(); ++e) {
        const int kind = m.elems[e].kind;
        if (kind < 0 || kind > MAX_ETYPE)
            continue;
        if (const ElementKind& k = run.kinds()[static_cast<std::size_t>(kind)]; k.init)
            k.init(run, e);
    }
    PipingCentreOfGravity out;
    out.empty = step_weight(run, LC_EMPTY_WEIGHT);
    out.operating = step_weight(run, LC_SUSTAINED);
    return out;
}
