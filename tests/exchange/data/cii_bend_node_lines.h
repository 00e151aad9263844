// CAESAR II lines that meet a bend at its node, the to node of the bend's
// element where its tangents meet: a drain that rises into that node, which
// joins the bend where the file's bend ends, at its far tangent point, in
// whatever order and direction the file writes it; and a line that ends in
// a bend, with an anchor at the bend's node. English units (inch, lb), the
// 6 in STD line of the two-bend line with water in every element, and the
// drain's weight worked by hand.
#pragma once

#include "exchange/data/cii_branch_lines.h"
#include "exchange/data/cii_model_fixture.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

namespace cii_test {

// The drain: 4 in STD pipe, a valve of 60 lb (a rigid of the file, which its
// length of 12 in, above the pipe's 4.5 in, makes a valve).
inline constexpr double DRAIN_OD = 4.5, DRAIN_WALL = 0.237, DRAIN_VALVE_WEIGHT = 60;

// Where the drain's nodes stand: straight below the bend's node 30 at
// (120, 0, 120), 500 its free end, the valve 500-505, the pipe 505-510 and
// 510-30, 28 in, rising into the bend's node.
inline std::vector<PlacedNode> drain_nodes()
{
    return {{500, {120, -52, 120}}, {505, {120, -40, 120}}, {510, {120, -28, 120}}, {30, {120, 0, 120}}};
}

// The orders and directions a file writes the drain in.
enum class DrainOrder {
    AfterTheLine,      // the line, then 500-505, 505-510, 510-30
    FromTheBend,       // the line, then 30-510, 510-505, 505-500: written from the bend outward
    BeforeTheLine,     // 500-505, 505-510, 510-30, then the line
    BeforeTheBendEnds  // 10-20, 20-30, 510-30, 500-505, 505-510, 30-40: between the bend and its continuation
};

// The two-bend line (its ends fixed by displacements) and the drain into
// the bend at 30, with a Y restraint at 510; water (a specific gravity of 1)
// in every element.
inline CiiFile drain_line(DrainOrder order = DrainOrder::AfterTheLine)
{
    CiiFile f = two_bend_line();
    f.title = "DRAIN INTO A BEND";
    f.restraints = {y_restraint(510)};
    f.rigids = {DRAIN_VALVE_WEIGHT};
    const std::vector<PlacedNode> nodes = drain_nodes();
    const bool outward = order == DrainOrder::FromTheBend;
    std::vector<CiiElementRecord> drain;
    for (std::size_t k = 0; k + 1 < nodes.size(); ++k) {
        CiiElementRecord e = outward ? element_between(nodes, nodes[k + 1].node, nodes[k].node)
                                     : element_between(nodes, nodes[k].node, nodes[k + 1].node);
        e.od = DRAIN_OD, e.wall = DRAIN_WALL;
        e.rigid = k == 0 ? 1 : 0;
        drain.push_back(e);
    }
    if (outward)
        std::reverse(drain.begin(), drain.end());
    for (CiiElementRecord& e : f.elements)
        e.fluid_density = WATER;
    for (CiiElementRecord& e : drain)
        e.fluid_density = WATER;
    std::vector<CiiElementRecord>& line = f.elements;
    switch (order) {
    case DrainOrder::AfterTheLine:
    case DrainOrder::FromTheBend: line.insert(line.end(), drain.begin(), drain.end()); break;
    case DrainOrder::BeforeTheLine: line.insert(line.begin(), drain.begin(), drain.end()); break;
    case DrainOrder::BeforeTheBendEnds:
        line.insert(line.begin() + 2, drain.back());
        line.insert(line.begin() + 3, drain.begin(), drain.end() - 1);
        break;
    }
    return f;
}

// The weight the supports of the drain line carry, lb, by hand from the
// model's float sections (6.625 x 0.28 and 4.5 x 0.237 in, steel of
// 0.283 lb/in3) and water of 0.03609 lb/in3, the analysis's water:
//   the line: 3 legs of 120 in, each bend taking R of each leg it joins and
//     giving a quarter arc: 360 - 4 R + 2 (pi / 2) R;
//   the drain's pipe: 505-510, 12 in, and 510 to the bend's far tangent
//     point 30B, R = 9 in along X from the bend's node: hypot(28, 9);
//   the valve: its 60 lb and the water in its bore over its 12 in.
struct DrainWeights {
    double line_per_inch, drain_per_inch, valve, total, below_the_rest;
};

inline DrainWeights drain_weights()
{
    const auto per_inch = [](double od, float wall, bool steel) {
        const double ro = od / 2, ri = ro - static_cast<double>(wall);
        return (steel ? static_cast<double>(0.283f) * std::numbers::pi * (ro * ro - ri * ri) : 0.0) +
               WATER * std::numbers::pi * ri * ri;
    };
    const double r = LINE_BEND_RADIUS;
    DrainWeights w{};
    w.line_per_inch = per_inch(6.625, 0.28f, true);
    w.drain_per_inch = per_inch(DRAIN_OD, static_cast<float>(DRAIN_WALL), true);
    w.valve = DRAIN_VALVE_WEIGHT + 12 * per_inch(DRAIN_OD, static_cast<float>(DRAIN_WALL), false);
    w.total = w.line_per_inch * (360 - 4 * r + std::numbers::pi * r) + w.drain_per_inch * (12 + std::hypot(28, r)) +
              w.valve;
    // What hangs below the Y restraint at 510: the valve and 12 in of pipe.
    w.below_the_rest = w.valve + 12 * w.drain_per_inch;
    return w;
}

// A line 10 - 20 - 30 whose last element, 20-30, is a bend that no element
// continues (its 0-degree node 28, its radius 9 in), the bend at 20 with its
// mid and 0-degree nodes; anchored at 10 and at the bend's node 30, with a
// Y restraint at 28.
inline CiiFile bend_at_line_end()
{
    CiiFile f = bent_line({10, 20, 30}, {{0, 0, 0}, {120, 0, 0}, {120, 0, 120}});
    f.title = "BEND AT THE LINE'S END";
    f.bends.push_back({LINE_BEND_RADIUS, 0, 28, 0, 0, 0});
    f.elements[1].bend = 2;
    f.displacements.clear();
    f.restraints = {{anchor_at(10), anchor_at(30)}, y_restraint(28)};
    return f;
}

}  // namespace cii_test
