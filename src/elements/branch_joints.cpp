#include "elements/branch_joints.h"

#include "analysis_core/analysis_run.h"
#include "analysis_core/section_properties.h"
#include "elements/branch_sif.h"
#include "framework/errors.h"
#include "materials/pipe_section.h"
#include "model/model.h"
#include "model/piping_codes.h"

#include <vector>

namespace {

// What the run keeps of its branch connections: the mark of each node and
// the elements that end at each node.
struct BranchConnections final : RunState {
    bool made = false;
    std::vector<char> marked;                 // by node index
    std::vector<std::vector<int>> elements;   // by node index
};

BranchConnections& connections(AnalysisRun& run)
{
    BranchConnections& c = run.run_state<BranchConnections>();
    if (c.made)
        return c;
    const Model& m = run.layout();
    const std::size_t nodes = static_cast<std::size_t>(m.numnodes()) + 1;
    c.marked.assign(nodes, 0);
    c.elements.assign(nodes, {});
    for (const LayoutRow& r : m.rows)
        if (r.dtype == DT_BRANCH_SIF && m.nodes.valid(r.node_index))
            c.marked[static_cast<std::size_t>(r.node_index)] = 1;
    for (int e = 1; e <= m.numelems(); ++e)
        for (int node : {m.elems[e].node1, m.elems[e].node2})
            if (m.nodes.valid(node))
                c.elements[static_cast<std::size_t>(node)].push_back(e);
    c.made = true;
    return c;
}

// The element at the node whose section diameter is the largest (or the
// smallest).
int section_at_node(AnalysisRun& run, int node, bool largest)
{
    const BranchConnections& c = connections(run);
    if (node < 1 || static_cast<std::size_t>(node) >= c.elements.size())
        return 0;
    const AnalysisModel& m = run.snapshot();
    int best = 0;
    double best_diameter = 0.0;
    for (int e : c.elements[static_cast<std::size_t>(node)]) {
        const int section = m.model.elems[e].section;
        if (!m.pipe_sections.valid(section))
            continue;
        const double d = m.pipe_sections[section].outside_diameter;
        if (best == 0 || (largest ? d > best_diameter : d < best_diameter)) {
            best = e;
            best_diameter = d;
        }
    }
    return best;
}

bool type_counts_for_joint(int type, const AnalysisModel& m)
{
    switch (type) {
    case BRANCH_WELDING_TEE: case BRANCH_REINFORCED_TEE: case BRANCH_UNREINFORCED_TEE: case BRANCH_CONNECTION:
        return true;
    case BRANCH_EXTRUDED_TEE: case BRANCH_SWEEPOLET: case BRANCH_WELDOLET:
        return m.options.use_b31j || m.piping_code == CODE_IGEM;
    default:
        return false;
    }
}

}  // namespace

const BranchSif* branch_sif_at_node(const AnalysisModel& m, int node)
{
    const BranchSif* found = nullptr;
    for (const LayoutRow& r : m.model.rows)
        if (r.dtype == DT_BRANCH_SIF && node != 0 && r.node_index == node)
            if (const auto* sif = dynamic_cast<const BranchSif*>(r.data.get()))
                found = sif;
    return found && type_counts_for_joint(found->sif_type, m) ? found : nullptr;
}

bool node_has_branch_joint(AnalysisRun& run, int node)
{
    const BranchConnections& c = connections(run);
    return node >= 1 && static_cast<std::size_t>(node) < c.marked.size() &&
           c.marked[static_cast<std::size_t>(node)] && branch_sif_at_node(run.snapshot(), node) != nullptr;
}

int largest_section_at_node(AnalysisRun& run, int node)
{
    return section_at_node(run, node, true);
}

int smallest_section_at_node(AnalysisRun& run, int node)
{
    return section_at_node(run, node, false);
}

const PipeSection* smallest_section_at_node(int node)
{
    const Model& m = model();
    if (!m.nodes.valid(node))
        return nullptr;
    const NamedSet<PipeSection>& sections = pipe_sections();
    const PipeSection* best = nullptr;
    for (int e : m.nodes[node].elements) {
        if (!m.elems.valid(e) || !sections.valid(m.elems[e].section))
            continue;
        const PipeSection& s = sections[m.elems[e].section];
        if (!best || s.outside_diameter < best->outside_diameter)
            best = &s;
    }
    if (best)
        return best;
    const int row = m.nodes[node].row;
    if (!m.rows.valid(row))
        return nullptr;
    const int own = section_index(m.rows[row].section);
    return sections.valid(own) ? &sections[own] : nullptr;
}

bool branch_sif_in_range(const PipeSection& run_section, const PipeSection& branch_section)
{
    const double big_d = run_section.outside_diameter, big_t = run_section.thickness;
    const double d = branch_section.outside_diameter, t = branch_section.thickness;
    return big_d > 0.0 && big_t > 0.0 && d > 0.0 && t > 0.0 && 2.0 * big_t < big_d && 2.0 * t < d &&
           (d - t) <= (big_d - big_t);
}

void apply_branch_joints(AnalysisRun& run, int element, const SectionProperties& p, StraightFlexibility& f)
{
    const AnalysisModel& m = run.snapshot();
    if (!m.options.use_b31j)
        return;
    const Elem& e = m.model.elems[element];
    std::vector<BranchJointNode> nodes;
    for (int node : {e.node1, e.node2}) {
        if (!node_has_branch_joint(run, node))
            continue;
        const int run_element = largest_section_at_node(run, node);
        const int branch_element = smallest_section_at_node(run, node);
        if (run_element == 0 || branch_element == 0)
            continue;
        const PipeSection& run_section = m.pipe_sections[m.model.elems[run_element].section];
        const PipeSection& branch_section = m.pipe_sections[m.model.elems[branch_element].section];
        const BranchSif& sif = *branch_sif_at_node(m, node);
        BranchJointNode n;
        n.run_diameter = run_section.outside_diameter;
        n.run_thickness = run_section.thickness;
        n.run_modulus = section_properties(run, run_element).reference_modulus;
        n.branch_diameter = branch_section.outside_diameter;
        n.branch_thickness = branch_section.thickness;
        n.sif_type = sif.sif_type;
        n.sif_dimension = sif.value1;
        n.end_count = sif.num_flanges;
        n.in_range = branch_sif_in_range(run_section, branch_section);
        nodes.push_back(n);
    }
    if (nodes.empty() || !m.pipe_sections.valid(e.section))
        return;
    const bool branch =
        apply_branch_joint_flexibility(nodes, m.pipe_sections[e.section].outside_diameter, p.modulus, f);
    debug_print("%s", branch_joint_debug_line(branch, m.model.nodes[e.node1].number, m.model.nodes[e.node2].number, f)
                          .c_str());
}
