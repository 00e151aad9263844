#include "codes/flange_loads.h"

#include "analysis_core/analysis_model.h"
#include "analysis_core/section_properties.h"
#include "analysis_core/steps.h"
#include "elements/flange.h"

#include <cmath>
#include <numbers>

double flange_equivalent_pressure(double f, double m, double g)
{
    if (!(g > 0.0))
        return 0.0;
    const double pi = std::numbers::pi;
    return 16.0 * std::fabs(m) / (pi * g * g * g) + (f > 0.0 ? 4.0 * f / (pi * g * g) : 0.0);
}

std::vector<int32_t> flange_report_cases(const std::vector<int32_t>& results_cases)
{
    std::vector<int32_t> out;
    for (int32_t c : results_cases)
        if ((c >= 8 && c <= 10) || (c >= 100 && c <= 106))
            out.push_back(c);
    if (out.empty())
        for (int32_t c : results_cases)
            if (c == LC_STATIC_ANALYSIS)
                out.push_back(c);
    return out;
}

namespace {

// The element of the flange: its row's element ending at the node, else the
// first pipe-type element there; 0 for none.
int flange_element(const Model& m, int row, int node)
{
    int first = 0;
    for (int e : m.nodes[node].elements) {
        const Elem& el = m.elems[e];
        if (el.row == row && (el.node1 == node || el.node2 == node))
            return e;
        if (!first && element_is_pipe_like(el))
            first = e;
    }
    return first;
}

}  // namespace

std::vector<FlangeLoadRow> flange_report_rows(const AnalysisModel& a, const std::vector<int32_t>& cases,
                                              const CaseForceReader& forces)
{
    std::vector<FlangeLoadRow> rows;
    const Model& m = a.model;
    std::vector<FlangeLoadRow> flanges;
    for (int r = 1; r <= a.numrows(); ++r) {
        const LayoutRow& row = m.rows[r];
        const auto* flange = dynamic_cast<const Flange*>(row.data.get());
        if (row.dtype != DT_FLANGE || !flange || !m.nodes.valid(row.node_index))
            continue;
        FlangeLoadRow f;
        f.row = r;
        f.node = row.node_index;
        f.element = flange_element(m, r, row.node_index);
        f.allowable = flange->allowable_pressure;
        flanges.push_back(f);
    }
    if (flanges.empty())
        return rows;
    std::vector<std::vector<FlangeLoadRow>> by_flange(flanges.size());
    for (int32_t code : cases) {
        OneBased<ElementForces> f(a.numelems());
        if (forces)
            forces(code, f);
        for (std::size_t k = 0; k < flanges.size(); ++k) {
            FlangeLoadRow out = flanges[k];
            out.load_case = code;
            const auto* flange = dynamic_cast<const Flange*>(m.rows[out.row].data.get());
            if (out.element && out.element <= f.size()) {
                const Elem& el = m.elems[out.element];
                const std::size_t o = el.node1 == out.node ? 0 : 6;
                // The first end's forces act on the element: the force in
                // the pipe there is their opposite.
                const double sign = o == 0 ? -1.0 : 1.0;
                out.axial = sign * f[out.element][o];
                out.moment = std::hypot(f[out.element][o + 4], f[out.element][o + 5]);
                out.pressure = pipe_load_step(a, step_row(code), el.load, el.row).pressure;
            }
            const double g = flange ? flange->gasket_diameter : 0.0;
            out.equivalent = flange_equivalent_pressure(out.axial, out.moment, g);
            out.checked = g > 0.0 && out.allowable > 0.0 && std::isfinite(out.total());
            by_flange[k].push_back(out);
        }
    }
    for (const auto& v : by_flange)
        rows.insert(rows.end(), v.begin(), v.end());
    return rows;
}
