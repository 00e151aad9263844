#include "qualification/compressor_evaluation.h"

#include "framework/errors.h"
#include "framework/text.h"
#include "model/analysis_options.h"
#include "model/elements.h"
#include "model/model.h"

#include <cmath>

namespace {

using V3 = std::array<double, 3>;
double dot(const V3& a, const V3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
V3 vec(const Vec3& v) { return {v.x, v.y, v.z}; }

const char* machine_noun(int kind) { return kind == MACHINE_COMPRESSOR ? "compressor" : "turbine"; }

// The coordinates of a node number; throws when the model has no such node.
V3 node_point(int number, const CompressorRecord& c, int kind)
{
    const int index = node_index(number);
    if (index == 0)
        throw_message(c_format("Node %s of %s %s is not defined", node_text(number).c_str(), machine_noun(kind),
                               c.name.c_str()));
    const NodeRecord& n = model().nodes[index];
    return {n.x, n.y, n.z};
}

MachineLoads to_shaft_axes(const PumpAxes& a, int anchor_row)
{
    const std::array<double, 6> l = nozzle_loads_on_equipment(anchor_row);
    const V3 f{l[0], l[1], l[2]}, m{l[3], l[4], l[5]};
    return {dot(a.x, f), dot(a.y, f), dot(a.z, f), dot(a.x, m), dot(a.y, m), dot(a.z, m)};
}

// Adds loads (f, m) acting at node N to the combined loads at node R: the
// forces as they are, the moments with the moment of f about R.
void transfer(const CompressorRecord& c, int kind, const PumpAxes& a, int from, int to, const MachineLoads& l,
              MachineLoads& combined)
{
    V3 d{0.0, 0.0, 0.0};
    if (from != to) {
        const V3 n = node_point(from, c, kind), r = node_point(to, c, kind);
        d = {n[0] - r[0], n[1] - r[1], n[2] - r[2]};
    }
    const double dx = dot(a.x, d), dy = dot(a.y, d), dz = dot(a.z, d);
    combined[0] += l[0];
    combined[1] += l[1];
    combined[2] += l[2];
    combined[3] += l[3] - dz * l[1] + dy * l[2];
    combined[4] += l[4] + dz * l[0] - dx * l[2];
    combined[5] += l[5] - dy * l[0] + dx * l[1];
}

}  // namespace

int compressor_nozzle_node(const CompressorRecord& c, int nozzle)
{
    switch (nozzle) {
    case INLET: return c.inlet;
    case EXHAUST: return c.exhaust;
    case EXTRACTION1: return c.extraction1;
    case EXTRACTION2: return c.extraction2;
    default: return 0;
    }
}

const char* compressor_nozzle_name(int nozzle)
{
    static const char* const NAMES[COMPRESSOR_NOZZLES] = {"Inlet", "Exhaust", "Extr.1", "Extr.2"};
    return nozzle >= 0 && nozzle < COMPRESSOR_NOZZLES ? NAMES[nozzle] : "";
}

double machine_limit_factor(int kind) { return kind == MACHINE_COMPRESSOR ? 1.85 : 1.0; }

PumpAxes machine_shaft_axes(const CompressorRecord& c, int kind)
{
    V3 unit{};
    if (!shaft_direction(c.shaft_axis, unit))
        throw_message(c_format("Invalid shaft axis for %s: %s. %s", machine_noun(kind), c.name.c_str(),
                               machine_shaft_axis_refusal(c).c_str()));
    LocalAxes axes;
    axes.x = Vec3{unit[0], unit[1], unit[2]};
    complete_local_axes(axes, analysis_options().z_vertical);
    return PumpAxes{vec(axes.x), vec(axes.y), vec(axes.z)};
}

void find_largest_connection(const CompressorRecord& c, CompressorEvaluation& e)
{
    e.reference_node = 0;
    e.reference_size = 0.0;
    for (int n = INLET; n < COMPRESSOR_NOZZLES; ++n) {
        const int node = compressor_nozzle_node(c, n);
        if (node == 0)
            continue;
        const double size = nozzle_size_at_node(node);
        e.nozzle[static_cast<std::size_t>(n)].size = size;
        if (size > e.reference_size || (n == EXHAUST && size == e.reference_size)) {
            e.reference_node = node;
            e.reference_size = size;
        }
    }
}

double combined_diameter(double sum_of_squares)
{
    const double dc = std::sqrt(sum_of_squares);
    return dc > 9.0 ? (dc + 18.0) / 3.0 : dc;
}

double equivalent_diameter(double size) { return size > 8.0 ? (size + 16.0) / 3.0 : size; }

void prepare_compressor(const CompressorRecord& c, CompressorEvaluation& e, int kind)
{
    e = CompressorEvaluation{};
    double squares = 0.0;
    for (int n = INLET; n < COMPRESSOR_NOZZLES; ++n) {
        const int node = compressor_nozzle_node(c, n);
        if (node == 0)
            continue;
        CompressorNozzleEvaluation& z = e.nozzle[static_cast<std::size_t>(n)];
        z.size = nozzle_size_at_node(node);
        z.anchor_row = anchor_at_node(node);
        squares += z.size * z.size;
    }
    e.dc = combined_diameter(squares) * machine_limit_factor(kind);
    const bool z_vertical = analysis_options().z_vertical;
    e.allowable[0] = 50.0 * e.dc;
    e.allowable[1] = (z_vertical ? 100.0 : 125.0) * e.dc;
    e.allowable[2] = (z_vertical ? 125.0 : 100.0) * e.dc;
    e.allowable[3] = 3000.0 * e.dc;   // 250 Dc ft-lb
    e.allowable[4] = 1500.0 * e.dc;   // 125 Dc ft-lb
    e.allowable[5] = 1500.0 * e.dc;
    e.allowable[LIMIT_2F_M] = 250.0 * e.dc;
    if (kind == MACHINE_COMPRESSOR)
        find_largest_connection(c, e);
}

void evaluate_compressor_loads(const CompressorRecord& c, CompressorEvaluation& e, int slot, int kind)
{
    if (slot < 0 || slot >= ROT_LOAD_CASES)
        return;
    const PumpAxes a = machine_shaft_axes(c, kind);
    MachineLoads& combined = e.combined[static_cast<std::size_t>(slot)];
    combined = {};
    int reference = c.exhaust;
    if (kind == MACHINE_COMPRESSOR) {
        find_largest_connection(c, e);
        reference = e.reference_node;
    }
    for (int n = INLET; n < COMPRESSOR_NOZZLES; ++n) {
        const int node = compressor_nozzle_node(c, n);
        CompressorNozzleEvaluation& z = e.nozzle[static_cast<std::size_t>(n)];
        if (node == 0 || z.anchor_row == 0)
            continue;
        MachineLoads& l = z.loads[static_cast<std::size_t>(slot)];
        l = to_shaft_axes(a, z.anchor_row);
        // A turbine without exhaust node has no combined loads.
        if (kind == MACHINE_TURBINE && reference == 0)
            continue;
        transfer(c, kind, a, node, reference, l, combined);
    }
}
