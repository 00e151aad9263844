#include "analysis_core/element_assembly.h"

#include "analysis_core/analysis_run.h"
#include "analysis_core/element_forces.h"
#include "framework/errors.h"
#include "model/elements.h"
#include "model/nodes.h"

#include <span>

namespace {

// Component c (0..2) of local axis m (0..2) in global axes.
double cosine(const LocalAxes& axes, int m, int c)
{
    const Vec3& v = m == 0 ? axes.x : m == 1 ? axes.y : axes.z;
    return c == 0 ? v.x : c == 1 ? v.y : v.z;
}

// Lambda^T K Lambda: the local matrix in global axes, block by block.
void to_global(const ElementMatrix& k, const LocalAxes& axes, ElementMatrix& out)
{
    double r[3][3];
    for (int m = 0; m < 3; ++m)
        for (int c = 0; c < 3; ++c)
            r[m][c] = cosine(axes, m, c);
    for (int bi = 0; bi < 4; ++bi) {
        for (int bj = 0; bj < 4; ++bj) {
            // t = K_block R (3 x 3), then out = R^T t.
            double t[3][3];
            for (int m = 0; m < 3; ++m)
                for (int d = 0; d < 3; ++d) {
                    double sum = 0.0;
                    for (int n = 0; n < 3; ++n)
                        sum += k.k[1 + 3 * bi + m][1 + 3 * bj + n] * r[n][d];
                    t[m][d] = sum;
                }
            for (int c = 0; c < 3; ++c)
                for (int d = 0; d < 3; ++d) {
                    double sum = 0.0;
                    for (int m = 0; m < 3; ++m)
                        sum += r[m][c] * t[m][d];
                    out.k[1 + 3 * bi + c][1 + 3 * bj + d] = sum;
                }
        }
    }
}

std::span<const double> solution_span(const AnalysisRun& run)
{
    return {run.solution.data(), static_cast<std::size_t>(run.solution.size()) + 1};
}

Vec3 node_translation(const AnalysisRun& run, int node)
{
    return {node_displacement(run, node, 0), node_displacement(run, node, 1), node_displacement(run, node, 2)};
}

}  // namespace

void set_element_dofs(AnalysisRun& run, int a, int b)
{
    ElementScratch& e = run.element();
    e.node1 = a;
    e.node2 = b;
    e.dofs[0] = 0;
    for (int d = 0; d < 6; ++d) {
        e.dofs[1 + d] = run.equation(a, d);
        e.dofs[7 + d] = run.equation(b, d);
    }
}

void set_element_axes(AnalysisRun& run, const LocalAxes& axes, const LocalAxes& axes_at_node2)
{
    run.element().axes = axes;
    run.element().axes2 = axes_at_node2;
}

void set_element_axes(AnalysisRun& run, const LocalAxes& axes)
{
    set_element_axes(run, axes, axes);
}

void assemble_element_stiffness(AnalysisRun& run)
{
    ElementScratch& e = run.element();
    if (run.structure_pass()) {
        run.coupled_nodes.push_back({e.node1, e.node2});
        return;
    }
    if (!run.stiffness_wanted())
        return;
    ElementMatrix global;
    to_global(e.k, e.axes, global);
    run.store.add_element(e.dofs, global.k);
}

void assemble_element_loads(AnalysisRun& run)
{
    ElementScratch& e = run.element();
    for (int block = 0; block < 4; ++block) {
        for (int c = 0; c < 3; ++c) {
            double sum = 0.0;
            for (int m = 0; m < 3; ++m)
                sum += cosine(e.axes, m, c) * e.f.f[1 + 3 * block + m];
            run.add_load(e.dofs[1 + 3 * block + c], sum);
        }
    }
}

void add_node_load(AnalysisRun& run, int node, int direction, double value)
{
    run.add_load(run.equation(node, direction), value);
}

void add_offset_mass(AnalysisRun& run, int node, double mass, const Vec3& offset)
{
    if (run.structure_pass() || run.node_n(node) == 0 || mass == 0.0)
        return;
    if (offset.x == 0.0 && offset.y == 0.0 && offset.z == 0.0) {
        for (int d = 0; d < 3; ++d)
            add_node_load(run, node, d, mass);
        return;
    }
    // The rigid body's velocity is v + w x d = v - [d]x w: its kinetic energy
    // m/2 |v - [d]x w|^2 gives the block [[I, -[d]x], [-[d]x^T, [d]x^T [d]x]].
    const double d[3] = {offset.x, offset.y, offset.z};
    double cross[3][3] = {{0.0, -d[2], d[1]}, {d[2], 0.0, -d[0]}, {-d[1], d[0], 0.0}};
    NodeMassBlock block;
    block.node = node;
    auto at = [&block](int i, int j) -> double& { return block.m[static_cast<std::size_t>(6 * i + j)]; };
    for (int i = 0; i < 3; ++i) {
        at(i, i) = mass;
        for (int j = 0; j < 3; ++j) {
            at(i, 3 + j) = -mass * cross[i][j];
            at(3 + j, i) = -mass * cross[i][j];
            double ctc = 0.0;
            for (int k = 0; k < 3; ++k)
                ctc += cross[k][i] * cross[k][j];
            at(3 + i, 3 + j) = mass * ctc;
        }
    }
    run.mass_blocks.push_back(block);
}

double node_displacement(const AnalysisRun& run, int node, int direction)
{
    return run.displacement(run.equation(node, direction));
}

Vec3 relative_motion(const AnalysisRun& run, int a, int b, bool rotational)
{
    const int offset = rotational ? 3 : 0;
    double u[3];
    for (int i = 0; i < 3; ++i)
        u[i] = node_displacement(run, a, offset + i) - (b ? node_displacement(run, b, offset + i) : 0.0);
    return {u[0], u[1], u[2]};
}

double relative_along(const AnalysisRun& run, int a, int b, const Vec3& d, bool rotational)
{
    return dot(relative_motion(run, a, b, rotational), d);
}

double base_relative_along(const AnalysisRun& run, int a, int b, const Vec3& d)
{
    const OneBased<double>& u = run.base_solution;
    auto at = [&](int node, int direction) {
        const int equation = run.equation(node, direction);
        return equation != 0 && u.valid(equation) ? u[equation] : 0.0;
    };
    double along = 0.0;
    const double n[3] = {d.x, d.y, d.z};
    for (int i = 0; i < 3; ++i)
        along += (at(a, i) - (b ? at(b, i) : 0.0)) * n[i];
    return along;
}

void assemble_coupled_pairs(AnalysisRun& run)
{
    for (const CoupledPair& pair : run.layout().coupled_pairs) {
        if (pair.flag != 0)
            continue;
        for (int d = 0; d < 6; ++d) {
            const int a = run.equation(pair.a, d);
            const int b = run.equation(pair.b, d);
            run.add_stiffness(a, a, RIGID_LINK);
            run.add_stiffness(b, b, RIGID_LINK);
            run.add_stiffness(a, b, -RIGID_LINK);
        }
    }
}

ElementVector compute_end_forces(AnalysisRun& run)
{
    ElementScratch& e = run.element();
    ElementVector forces;
    element_end_forces(e.k, e.f, e.axes, e.dofs, solution_span(run), forces, &e.turned);
    return forces;
}

void record_end_forces(AnalysisRun& run, const ElementVector& forces)
{
    ElementScratch& e = run.element();
    const int index = e.element;
    const AnalysisOutput& output = run.snapshot().output;
    KV_ASSERT(run.layout().elems.valid(index));
    const Elem& element = run.layout().elems[index];
    if (output.envelope)
        envelope_end_forces(forces, run.records[index]);
    if (output.square_sum)
        square_sum_end_forces(forces, run.records[index]);
    if (run.suppress_output || run.pass() != RunPass::Recovery)
        return;
    if (output.stiffness_export) {
        const Model& m = run.layout();
        run.stiffness_text += element_stiffness_text(node_text(m.nodes[element.node1].number),
                                                     node_text(m.nodes[element.node2].number),
                                                     element_type_name(element.kind), e.turned);
    }
    ElementVector written = forces;
    if (output.resultants && element_is_pipe_like(element)) {
        const EndResultants r = element_end_resultants(e.axes, e.axes2, node_translation(run, element.node1),
                                                       node_translation(run, element.node2), forces);
        written = ElementVector{};
        written.f[1] = r.transverse1;
        written.f[2] = r.moment1;
        written.f[3] = r.transverse2;
        written.f[4] = r.moment2;
    }
    std::vector<ElementVector>& out = run.current.forces;
    if (static_cast<int>(out.size()) != run.layout().numelems())
        out.assign(static_cast<std::size_t>(run.layout().numelems()), ElementVector{});
    out[static_cast<std::size_t>(index - 1)] = written;
}

void element_end_forces(AnalysisRun& run)
{
    record_end_forces(run, compute_end_forces(run));
}
