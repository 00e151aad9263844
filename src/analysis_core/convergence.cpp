#include "analysis_core/convergence.h"

#include "analysis_core/analysis_run.h"
#include "framework/text.h"
#include "model/nodes.h"
#include "model/row_kinds.h"

#include <cmath>

namespace {

void note(AnalysisRun& run, double change, int type, int id, int node)
{
    if (run.worst.type == 0 || change > run.worst.change)
        run.worst = {change, type, id, node};
}

}  // namespace

bool check_convergence(AnalysisRun& run, double a, double b, int type, int id, int node)
{
    if (std::fabs(a) < CONVERGENCE_ZERO)
        a = 0.0;
    if (std::fabs(b) < CONVERGENCE_ZERO)
        b = 0.0;
    if (std::fabs(a - b) < CONVERGENCE_ZERO)
        return true;
    const double tolerance = run.snapshot().options.iteration_tolerance;
    const double change = a == 0.0 ? 1.0 : std::fabs((a - b) / a);
    if (a != 0.0 && change < tolerance)
        return true;
    note(run, change, type, id, node);
    return false;
}

bool check_convergence_abs(AnalysisRun& run, double a, double b, int type, int id, int node)
{
    return check_convergence(run, std::fabs(a), std::fabs(b), type, id, node);
}

void count_unconverged(AnalysisRun& run)
{
    ++run.unconverged;
}

void start_iteration(AnalysisRun& run, int iteration)
{
    run.iteration = iteration;
    run.unconverged = 0;
    run.worst = UnconvergedItem{};
}

std::string nonlinear_item_name(int type)
{
    if (type < 0)
        return data_type_name(-type);
    return element_type_name(type);
}

std::string iteration_report(const AnalysisRun& run)
{
    std::string text = c_format("Iteration %d: %d nonlinearities not converged", run.iteration, run.unconverged);
    const UnconvergedItem& w = run.worst;
    if (w.type != 0 && run.unconverged > 0) {
        const Model& m = run.layout();
        const std::string node = m.nodes.valid(w.node) ? node_text(m.nodes[w.node].number) : std::string();
        text += c_format("\nLargest change %.3g%% at %s, node %s", 100.0 * w.change,
                         nonlinear_item_name(w.type).c_str(), node.c_str());
    }
    if (run.factor_reused)
        text += "\nStiffness unchanged, not factorised again";
    return text;
}
