#include "codes/branch_connection_table.h"

#include "analysis_core/analysis_model.h"
#include "analysis_core/section_properties.h"
#include "analysis_core/steps.h"
#include "model/piping_codes.h"

#include <algorithm>
#include <cmath>

bool branch_connection_table_available(int32_t code, bool sustained_present, bool any_branch_sif)
{
    return code_is_one_of(code, {CODE_ASME_CLASS2_1986, CODE_ASME_CLASS2_1992, CODE_ASME_CLASS2_2015,
                                 CODE_ASME_CLASS2_2017, CODE_ASME_CLASS3_2017}) &&
           sustained_present && any_branch_sif;
}

std::vector<int32_t> branch_connection_load_cases(const CodeStressResults& results)
{
    std::vector<int32_t> out;
    for (const CaseStresses& c : results.cases)
        out.push_back(c.code);
    return out;
}

namespace {

bool straight(const Elem& e)
{
    return e.kind == ET_PIPE || e.kind == ET_JACKETED_PIPE || e.kind == ET_REDUCER;
}

struct Leg {
    int element = 0;
    int end = 0;      // 0 the element's node 1 is the junction
    Vec3 away;        // unit direction away from the junction
};

// The moment a leg puts on the junction, in global axes: minus the
// element's end moment there.
std::array<double, 3> junction_moment(const AnalysisModel& m, const Leg& leg, const ElementForces& f)
{
    const Elem& el = m.model.elems[leg.element];
    const LocalAxes a = element_axes(m.model, el.node1, el.node2, m.options.z_vertical);
    const std::size_t o = leg.end == 0 ? 3 : 9;
    const double mx = f[o], my = f[o + 1], mz = f[o + 2];
    return {-(mx * a.x.x + my * a.y.x + mz * a.z.x), -(mx * a.x.y + my * a.y.y + mz * a.z.y),
            -(mx * a.x.z + my * a.y.z + mz * a.z.z)};
}

std::array<double, 3> plus(const std::array<double, 3>& a, const std::array<double, 3>& b, bool magnitudes)
{
    if (!magnitudes)
        return a;
    return {std::fabs(a[0]) + std::fabs(b[0]), std::fabs(a[1]) + std::fabs(b[1]), std::fabs(a[2]) + std::fabs(b[2])};
}

}  // namespace

std::vector<BranchConnectionRow> branch_connection_rows(const AnalysisModel& m, const CodeStressResults& r,
                                                        int32_t load_case, const OneBased<ElementForces>& forces,
                                                        const OneBased<ElementForces>* sustained)
{
    std::vector<BranchConnectionRow> rows;
    if (stress_rules(r.piping_code) != StressRules::Class2)
        return rows;
    const CaseStress kind = case_stress(load_case);
    if (kind == CaseStress::None)
        return rows;
    const CaseStresses* c = r.find(load_case);
    std::vector<uint8_t> done(static_cast<std::size_t>(m.numnodes()) + 1, 0);
    for (int row = 1; row <= m.numrows(); ++row) {
        const LayoutRow& lr = m.model.rows[row];
        const int node = lr.node_index;
        if (lr.dtype != DT_BRANCH_SIF || !m.model.nodes.valid(node) || done[static_cast<std::size_t>(node)])
            continue;
        done[static_cast<std::size_t>(node)] = 1;
        std::vector<Leg> legs;
        bool all_straight = true;
        for (int e : m.model.nodes[node].elements) {
            const Elem& el = m.model.elems[e];
            if (!element_is_pipe_like(el))
                continue;
            if (!straight(el) || !r.evaluated.valid(e) || !r.evaluated[e] || e > forces.size())
                all_straight = false;
            Leg leg;
            leg.element = e;
            leg.end = el.node1 == node ? 0 : 1;
            Vec3 d = minus(node_position(m.model, leg.end == 0 ? el.node2 : el.node1), node_position(m.model, node));
            const double n = norm(d);
            if (n > 0.0)
                d = {d.x / n, d.y / n, d.z / n};
            leg.away = d;
            legs.push_back(leg);
        }
        if (!all_straight || legs.size() < 3 || legs.size() > 4)
            continue;
        // The run: the pair most nearly opposite.
        std::size_t ra = 0, rb = 1;
        double best = 2.0;
        for (std::size_t i = 0; i < legs.size(); ++i)
            for (std::size_t j = i + 1; j < legs.size(); ++j)
                if (dot(legs[i].away, legs[j].away) < best) {
                    best = dot(legs[i].away, legs[j].away);
                    ra = i;
                    rb = j;
                }
        std::size_t bi = 0;
        while (bi == ra || bi == rb)
            ++bi;
        const Leg& run1 = legs[ra];
        const Leg& run2 = legs[rb];
        const Leg& branch = legs[bi];

        BranchConnectionRow out;
        out.node = node;
        out.branch_element = branch.element;
        out.run_elements[0] = run1.element;
        out.run_elements[1] = run2.element;
        const Sifs& i = r.sifs.elements[branch.element].end[static_cast<std::size_t>(branch.end)];
        out.sif = std::max(i.in_plane, 1.0);
        out.indices = class2_indices(Class2Component::BranchConnection, 0.0, out.sif);

        const bool occasional = kind == CaseStress::Occasional && sustained;
        const auto moment = [&](const Leg& leg) {
            const std::array<double, 3> own = junction_moment(m, leg, forces[leg.element]);
            if (!occasional)
                return own;
            return plus(junction_moment(m, leg, (*sustained)[leg.element]), own, true);
        };
        BranchConnectionInput in;
        const Elem& run_el = m.model.elems[run1.element];
        const auto [rd, rt] = element_end_size(m, run_el, node);
        const auto [bd, bt] = element_end_size(m, m.model.elems[branch.element], node);
        in.run = stress_section(rd, rt);
        in.branch = stress_section(bd, bt);
        in.sif = out.sif;
        in.indices = out.indices;
        in.branch_moment = moment(branch);
        if (occasional) {
            // Magnitudes added: the run moment of each set by the rule, then summed.
            const auto a = branch_run_moment(junction_moment(m, run1, (*sustained)[run1.element]),
                                             junction_moment(m, run2, (*sustained)[run2.element]));
            const auto b = branch_run_moment(junction_moment(m, run1, forces[run1.element]),
                                             junction_moment(m, run2, forces[run2.element]));
            in.run_moment = plus(a, b, true);
        } else {
            in.run_moment = branch_run_moment(junction_moment(m, run1, forces[run1.element]),
                                              junction_moment(m, run2, forces[run2.element]));
        }
        in.primary = kind == CaseStress::Sustained || kind == CaseStress::Occasional ||
                     kind == CaseStress::Hydrotest || kind == CaseStress::Operating;
        if (in.primary) {
            const int32_t pressure_case = kind == CaseStress::Occasional ? LC_SUSTAINED : load_case;
            in.pressure = pipe_load_step(m, step_row(pressure_case), run_el.load, run_el.row).pressure;
            if (kind == CaseStress::Occasional)
                in.pressure *= std::max(m.options.peak_pressure_factor, 1.0f);
        }
        out.stress = branch_connection_stress(in);
        if (c && c->ends.valid(run1.element)) {
            const EndStress& s = c->ends[run1.element][static_cast<std::size_t>(run1.end)];
            out.checked = s.checked;
            out.allowable = s.allowable;
            out.unchecked = s.evaluated ? s.unchecked : Unchecked::None;
        }
        rows.push_back(out);
    }
    return rows;
}
