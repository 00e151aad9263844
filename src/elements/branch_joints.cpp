#include "elements/branch_joints.h"

#include "analysis_core/analysis_run.h"
#include "analysis_core/section_properties.h"
#include "elements/branch_sif.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "materials/pipe_section.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/piping_codes.h"

#include <vector>

namespace {

// What the run keeps of its branch connections: the mark of each node.
struct BranchConnections final : CopiedState<BranchConnections> {
    bool made = false;
    std::vector<char> marked;   // by node index
};

BranchConnections& connections(AnalysisRun& run)
{
    BranchConnections& c = run.run_state<BranchConnections>();
    if (c.made)
        return c;
    const Model& m = run.layout();
    const std::size_t nodes = static_cast<std::size_t>(m.numnodes()) + 1;
    c.marked.assign(nodes, 0);
    for (const LayoutRow& r : m.rows)
        if (r.dtype == DT_BRANCH_SIF && m.nodes.valid(r.node_index))
            c.marked[static_cast<std::size_t>(r.node_index)] = 1;
    c.made = true;
    return c;
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

namespace {

// Legs closer to a straight line than this (the cosine of 1 degree) are a run.
constexpr double COLLINEAR_COSINE = 0.99985;

bool straight_leg(const Elem& e)
{
    return e.kind == ET_PIPE || e.kind == ET_REDUCER || e.kind == ET_JACKETED_PIPE;
}

// The elements that end at a node.
std::vector<int> elements_at(const Model& m, int node)
{
    std::vector<int> found;
    for (int e = 1; e <= m.numelems(); ++e)
        if (m.elems[e].node1 == node || m.elems[e].node2 == node)
            found.push_back(e);
    return found;
}

// The unit vector from the node along the element, away from it.
Vec3 leg_direction(const Model& m, int element, int node)
{
    const Elem& e = m.elems[element];
    const int other = e.node1 == node ? e.node2 : e.node1;
    const Vec3 a = node_position(m, node), b = node_position(m, other);
    const Vec3 d{b.x - a.x, b.y - a.y, b.z - a.z};
    const double length = norm(d);
    return length > 0.0 ? scaled(d, 1.0 / length) : Vec3{};
}

}  // namespace

BranchTee branch_tee_at_node(const AnalysisModel& model, int node)
{
    const Model& m = model.model;
    BranchTee tee;
    const std::vector<int> legs = elements_at(m, node);
    if (legs.size() != 3)
        return tee;
    for (int e : legs)
        if (!straight_leg(m.elems[e]) || !model.pipe_sections.valid(m.elems[e].section))
            return tee;
    Vec3 d[3];
    for (std::size_t i = 0; i < 3; ++i)
        d[i] = leg_direction(m, legs[i], node);
    int pairs = 0;
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = i + 1; j < 3; ++j)
            if (dot(d[i], d[j]) < -COLLINEAR_COSINE) {
                ++pairs;
                tee.run[0] = legs[i];
                tee.run[1] = legs[j];
                tee.branch = legs[3 - i - j];
                const Vec3 normal = cross(d[i], d[3 - i - j]);
                tee.plane_normal = norm(normal) > 1.0e-3 ? scaled(normal, 1.0 / norm(normal)) : Vec3{};
            }
    if (pairs != 1 || norm(tee.plane_normal) == 0.0)
        return BranchTee{};
    return tee;
}

std::string branch_joint_warning(const AnalysisModel& model, int node)
{
    if (!model.options.use_b31j || !branch_sif_at_node(model, node))
        return {};
    if (branch_tee_at_node(model, node).branch != 0)
        return {};
    return c_format("Node %s: the branch SIF is not at a tee of two collinear straight run pipes and a straight "
                    "branch; the B31J joint flexibility is not applied there",
                    node_text(model.model.nodes[node].number).c_str());
}

void apply_branch_joints(AnalysisRun& run, int element)
{
    const AnalysisModel& m = run.snapshot();
    if (!m.options.use_b31j)
        return;
    const Elem& e = m.model.elems[element];
    ElementScratch& scratch = run.element();
    for (int end = 0; end < 2; ++end) {
        const int node = end == 0 ? e.node1 : e.node2;
        if (!node_has_branch_joint(run, node))
            continue;
        const BranchTee tee = branch_tee_at_node(m, node);
        if (tee.branch == 0)
            continue;
        const bool branch = element == tee.branch;
        if (!branch && element != tee.run[0] && element != tee.run[1])
            continue;
        // The run's section: the larger of the two run legs'.
        const int run_leg = m.pipe_sections[m.model.elems[tee.run[0]].section].outside_diameter >=
                                    m.pipe_sections[m.model.elems[tee.run[1]].section].outside_diameter
                                ? tee.run[0]
                                : tee.run[1];
        const PipeSection& run_section = m.pipe_sections[m.model.elems[run_leg].section];
        const PipeSection& branch_section = m.pipe_sections[m.model.elems[tee.branch].section];
        const BranchSif& sif = *branch_sif_at_node(m, node);
        BranchJointNode joint;
        joint.run_diameter = run_section.outside_diameter;
        joint.run_thickness = run_section.thickness;
        joint.run_modulus = section_properties(run, run_leg).reference_modulus;
        joint.branch_diameter = branch_section.outside_diameter;
        joint.branch_thickness = branch_section.thickness;
        joint.sif_type = sif.sif_type;
        joint.sif_dimension = sif.value1;
        joint.end_count = sif.num_flanges;
        joint.in_range = branch_sif_in_range(run_section, branch_section);
        const double modulus = section_properties(run, element).modulus;
        const JointSpring spring = branch ? branch_leg_spring(joint, modulus) : run_leg_spring(joint, modulus);
        if (spring_is_rigid(spring))
            continue;
        // The tee's plane and the leg in the element's local axes.
        const LocalAxes& a = scratch.axes;
        const Vec3 n = tee.plane_normal;
        const Vec3 local_normal{dot(n, a.x), dot(n, a.y), dot(n, a.z)};
        join_end_through_spring(scratch.k, scratch.f, end, spring, local_normal, Vec3{1.0, 0.0, 0.0});
        debug_print("%s", branch_joint_debug_line(branch, m.model.nodes[e.node1].number,
                                                  m.model.nodes[e.node2].number, spring)
                              .c_str());
    }
}
